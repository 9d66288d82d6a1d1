#include "PracticeHistoryController.h"

#include "app/AppModel.h"
#include "app/PracticeHistoryStore.h"

PracticeHistoryController::PracticeHistoryController(QObject *parent)
    : QObject(parent)
    , m_practiceTab(new HistoryTabState(int(PracticeHistoryTab::practice), this))
    , m_paperTab(new HistoryTabState(int(PracticeHistoryTab::paper), this))
{
}

PracticeHistoryController::~PracticeHistoryController() = default;

void PracticeHistoryController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model) {
        disconnect(m_model, nullptr, this, nullptr);
        disconnect(m_model->practiceHistory(), nullptr, this, nullptr);
    }
    m_model = model;
    m_lastScreen.reset();
    m_lastTab.reset();
    if (m_model) {
        PracticeHistoryStore *history = m_model->practiceHistory();
        connect(m_model, &AppModel::screenChanged, this, &PracticeHistoryController::screenChanged);
        connect(m_model, &AppModel::isLoadingChanged, this, &PracticeHistoryController::storeChanged);
        connect(m_model, &AppModel::selectedExamBankChanged, this, &PracticeHistoryController::stateChanged);
        connect(history, &PracticeHistoryStore::selectedTabChanged, this, &PracticeHistoryController::tabChanged);
        connect(history, &PracticeHistoryStore::contentChanged, this, &PracticeHistoryController::storeChanged);
        connect(history, &PracticeHistoryStore::isLoadingChanged, this, &PracticeHistoryController::storeChanged);
        m_lastTab = history->selectedTab();
    }
    Q_EMIT modelChanged();
    storeChanged();
    // The screen's start-up: a screen built while history shows loads at once.
    screenChanged();
}

PracticeHistoryStore *PracticeHistoryController::store() const
{
    return m_model ? m_model->practiceHistory() : nullptr;
}

// ---- following the model -------------------------------------------------------

void PracticeHistoryController::screenChanged()
{
    if (!m_model)
        return;
    const AppScreen screen = m_model->screen();
    // The model announces every assignment; only a real change counts.
    if (m_lastScreen && *m_lastScreen == screen)
        return;
    m_lastScreen = screen;
    if (screen != AppScreen::history) {
        setShowingDeleteConfirmation(false);
        setEditing(false);
        setSelectedIDs({});
        return;
    }
    startLoad(store()->selectedTab(), true, false);
    Q_EMIT stateChanged();
}

void PracticeHistoryController::tabChanged()
{
    if (!m_model)
        return;
    const PracticeHistoryTab tab = store()->selectedTab();
    if (m_lastTab && *m_lastTab == tab)
        return;
    m_lastTab = tab;
    setSelectedIDs({});
    Q_EMIT stateChanged();
    Q_EMIT m_practiceTab->changed();
    Q_EMIT m_paperTab->changed();
    startLoad(tab, true, false);
}

void PracticeHistoryController::storeChanged()
{
    ++m_contentRevision;
    Q_EMIT stateChanged();
    ++m_selectionRevision;
    Q_EMIT selectionChanged();
    Q_EMIT m_practiceTab->changed();
    Q_EMIT m_paperTab->changed();
    autoLoadIfDue();
}

void PracticeHistoryController::startLoad(PracticeHistoryTab tab, bool refresh, bool nextPage)
{
    if (m_model)
        m_model->startLoadPracticeHistory(int(tab), refresh, nextPage);
}

void PracticeHistoryController::autoLoadIfDue()
{
    // A load publishes the page at once, which brings us back here.
    if (m_autoLoading || !m_model || m_model->screen() != AppScreen::history || m_editing || m_model->isLoading())
        return;
    HistoryTabState *state = tabState(store()->selectedTab());
    if (!state || !state->footerInView() || state->footer() != HistoryTabState::Footer::LoadMore)
        return;
    m_autoLoading = true;
    startLoad(store()->selectedTab(), false, true);
    m_autoLoading = false;
}

// ---- tabs and texts ---------------------------------------------------------------

int PracticeHistoryController::selectedTab() const
{
    return store() ? int(store()->selectedTab()) : int(PracticeHistoryTab::practice);
}

void PracticeHistoryController::selectTab(int tab)
{
    const auto parsed = PracticeHistoryTabs::fromRawValue(tab);
    if (store() && parsed && tabsEnabled())
        store()->setSelectedTab(*parsed);
}

HistoryTabState *PracticeHistoryController::tabState(PracticeHistoryTab tab) const
{
    return tab == PracticeHistoryTab::paper ? m_paperTab : m_practiceTab;
}

QString PracticeHistoryController::title() const
{
    return QStringLiteral("练习历史 · ") + (m_model ? m_model->selectedExamBank().name : QString());
}

QString PracticeHistoryController::subtitle() const
{
    return m_editing ? QStringLiteral("选择需要删除的记录") : QStringLiteral("未完成可继续答题，已完成可查看报告");
}

QString PracticeHistoryController::editButtonTitle() const
{
    return m_editing ? QStringLiteral("完成") : QStringLiteral("编辑");
}

QString PracticeHistoryController::statusText(const PracticeHistoryRecord &record, bool completed,
                                              const std::optional<HistoryReport> &report)
{
    if (!completed)
        return QStringLiteral("未完成 · 继续答题");
    const qint64 total = report ? report->rightNum + report->wrongNum + report->unAnswerNum
                                : record.rightNum + record.wrongNum + record.unAnswerNum;
    const qint64 right = report ? report->rightNum : record.rightNum;
    return QStringLiteral("共 %1 题，答对 %2 道").arg(total).arg(right);
}

QString PracticeHistoryController::statusText(const QString &recordId) const
{
    if (!store())
        return {};
    const auto record = store()->record(recordId);
    if (!record)
        return {};
    return statusText(*record, store()->isCompleted(*record), store()->completedReport(*record));
}

QString PracticeHistoryController::statusText(const QString &recordId, int contentRevision) const
{
    Q_UNUSED(contentRevision)
    return statusText(recordId);
}

// ---- enabled states ------------------------------------------------------------------

bool PracticeHistoryController::backEnabled() const
{
    return m_model && !m_model->isLoading();
}

bool PracticeHistoryController::tabsEnabled() const
{
    return !m_editing && backEnabled();
}

bool PracticeHistoryController::refreshEnabled() const
{
    return !m_editing && editEnabled();
}

bool PracticeHistoryController::editEnabled() const
{
    return backEnabled() && !store()->isLoading();
}

bool PracticeHistoryController::rowsEnabled() const
{
    return backEnabled();
}

bool PracticeHistoryController::loadMoreEnabled() const
{
    return !m_editing && backEnabled();
}

bool PracticeHistoryController::retryEnabled() const
{
    return backEnabled();
}

bool PracticeHistoryController::deleteEnabled() const
{
    return !m_selectedIDs.isEmpty() && editEnabled();
}

// ---- selection and deletion ---------------------------------------------------------

void PracticeHistoryController::setEditing(bool editing)
{
    if (m_editing == editing)
        return;
    m_editing = editing;
    Q_EMIT stateChanged();
    ++m_selectionRevision;
    Q_EMIT selectionChanged();
    autoLoadIfDue();
}

void PracticeHistoryController::setShowingDeleteConfirmation(bool showing)
{
    if (m_showingDeleteConfirmation == showing)
        return;
    m_showingDeleteConfirmation = showing;
    Q_EMIT stateChanged();
}

void PracticeHistoryController::setSelectedIDs(QSet<QString> ids)
{
    m_selectedIDs = std::move(ids);
    ++m_selectionRevision;
    Q_EMIT selectionChanged();
}

QSet<QString> PracticeHistoryController::loadedIDs() const
{
    QSet<QString> ids;
    if (!store())
        return ids;
    for (const PracticeHistoryRecord &record : store()->page(store()->selectedTab()).records)
        ids.insert(record.id);
    return ids;
}

QString PracticeHistoryController::selectedCountText() const
{
    return QStringLiteral("已选择 %1 项").arg(m_selectedIDs.size());
}

QString PracticeHistoryController::selectAllTitle() const
{
    // The same test as the action: a selection of as many other ids does not count.
    return !m_selectedIDs.isEmpty() && m_selectedIDs == loadedIDs() ? QStringLiteral("取消全选")
                                                                      : QStringLiteral("全选已加载记录");
}

QString PracticeHistoryController::confirmationMessage() const
{
    return QStringLiteral("将删除选中的 %1 条记录，删除后无法恢复。").arg(m_selectedIDs.size());
}

bool PracticeHistoryController::isSelected(const QString &recordId, int) const
{
    return isSelected(recordId);
}

bool PracticeHistoryController::isSelected(const QString &recordId) const
{
    return m_selectedIDs.contains(recordId);
}

void PracticeHistoryController::rowClicked(const QString &recordId)
{
    if (!m_model)
        return;
    if (m_editing) {
        QSet<QString> ids = m_selectedIDs;
        if (!ids.remove(recordId))
            ids.insert(recordId);
        setSelectedIDs(std::move(ids));
        return;
    }
    if (!m_model->isLoading())
        m_model->startOpenPracticeHistory(recordId);
}

void PracticeHistoryController::selectAll()
{
    const QSet<QString> loaded = loadedIDs();
    setSelectedIDs(m_selectedIDs == loaded ? QSet<QString>{} : loaded);
}

void PracticeHistoryController::toggleEditing()
{
    if (!editEnabled())
        return;
    setEditing(!m_editing);
    setSelectedIDs({});
}

void PracticeHistoryController::requestDelete()
{
    if (deleteEnabled())
        setShowingDeleteConfirmation(true);
}

void PracticeHistoryController::cancelDelete()
{
    setShowingDeleteConfirmation(false);
}

void PracticeHistoryController::confirmDelete()
{
    if (m_model)
        m_model->runDetached([](QPointer<PracticeHistoryController> self) -> QCoro::Task<> {
            if (self)
                (void)co_await self->deleteSelection();
        }(QPointer<PracticeHistoryController>(this)));
}

QCoro::Task<bool> PracticeHistoryController::deleteSelection()
{
    const QPointer<PracticeHistoryController> self(this);
    const QPointer<AppModel> model(m_model);
    const QSet<QString> ids = m_selectedIDs;
    setShowingDeleteConfirmation(false);
    if (!model)
        co_return false;

    const bool deleted = co_await model->deletePracticeHistory(ids);
    if (!self || !model || !deleted)
        co_return false; // a refusal or failure keeps the selection for a retry
    setSelectedIDs({});
    setEditing(false);
    co_await model->loadPracticeHistory(model->practiceHistory()->selectedTab(), true, false);
    co_return true;
}

// ---- loads ---------------------------------------------------------------------------------

void PracticeHistoryController::back()
{
    if (m_model && backEnabled())
        m_model->backToHome();
}

void PracticeHistoryController::refresh()
{
    if (refreshEnabled())
        startLoad(store()->selectedTab(), true, false);
}

void PracticeHistoryController::loadMore(int tab)
{
    const auto parsed = PracticeHistoryTabs::fromRawValue(tab);
    if (parsed && loadMoreEnabled())
        startLoad(*parsed, false, true);
}

void PracticeHistoryController::retry(int tab)
{
    const auto parsed = PracticeHistoryTabs::fromRawValue(tab);
    if (!parsed || !retryEnabled())
        return;
    const PracticeHistoryStore::Page page = store()->page(*parsed);
    if (!page.hasLoaded || page.loadErrorPage <= 1)
        startLoad(*parsed, true, false);
    else
        startLoad(*parsed, false, true);
}
