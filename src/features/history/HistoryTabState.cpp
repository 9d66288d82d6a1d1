#include "HistoryTabState.h"

#include "PracticeHistoryController.h"
#include "app/PracticeHistoryStore.h"

HistoryTabState::HistoryTabState(int tab, PracticeHistoryController *controller)
    : QObject(controller)
    , m_tab(tab)
    , m_controller(controller)
{
}

QString HistoryTabState::title() const
{
    switch (m_tab) {
    case int(PracticeHistoryTab::practice):
        return QStringLiteral("练习");
    case int(PracticeHistoryTab::paper):
        return QStringLiteral("试卷");
    default:
        return {};
    }
}

QString HistoryTabState::emptyTitle() const
{
    return QStringLiteral("暂无") + title() + QStringLiteral("历史");
}

bool HistoryTabState::selected() const
{
    return m_controller->selectedTab() == m_tab;
}

HistoryTabState::Footer HistoryTabState::footer() const
{
    const PracticeHistoryStore *store = m_controller->store();
    const auto tab = PracticeHistoryTabs::fromRawValue(m_tab);
    if (!store || !tab)
        return Footer::None;
    const PracticeHistoryStore::Page page = store->page(*tab);
    if (page.loadError)
        return Footer::Error;
    if (page.requestID)
        return Footer::Loading;
    if (page.hasLoaded && page.hasMore)
        return Footer::LoadMore;
    if (!page.records.isEmpty())
        return Footer::End;
    return Footer::None;
}

bool HistoryTabState::showsEmptyState() const
{
    const PracticeHistoryStore *store = m_controller->store();
    const auto tab = PracticeHistoryTabs::fromRawValue(m_tab);
    if (!store || !tab)
        return false;
    const PracticeHistoryStore::Page page = store->page(*tab);
    return page.records.isEmpty() && page.hasLoaded && !page.loadError;
}

QString HistoryTabState::errorText() const
{
    const PracticeHistoryStore *store = m_controller->store();
    const auto tab = PracticeHistoryTabs::fromRawValue(m_tab);
    if (!store || !tab)
        return {};
    const auto error = store->page(*tab).loadError;
    return error ? QStringLiteral("加载失败：") + *error : QString();
}

void HistoryTabState::setFooterInView(bool inView)
{
    if (m_footerInView == inView)
        return;
    m_footerInView = inView;
    Q_EMIT footerInViewChanged();
    m_controller->autoLoadIfDue();
}
