#include "AppModel.h"
#include "AppModelInternals.h"

#include <algorithm>

#include "networking/APIClient.h"

#include <QVariantMap>

// Collected questions: the folder tree of the selected bank, opening one folder
// on the analysis screen, and collecting or uncollecting one question. An
// answer that arrives after the login token or the selected bank changed is
// dropped.

QString AppModel::collectionKey(const Question &question) const
{
    return m_selectedExamBank.id + u':' + question.id;
}

bool AppModel::isCollected(const Question &question) const
{
    const auto it = m_collectionOverrides.constFind(collectionKey(question));
    return it != m_collectionOverrides.cend() ? *it : question.isCollect;
}

bool AppModel::acceptCollectionsAnswer(const SessionTicket &ticket, const std::optional<QString> &tokenAtStart,
                                       const QString &bankAtStart, const std::exception_ptr &failure)
{
    if (!ticket.isCurrent() || token() != tokenAtStart || m_selectedExamBank.id != bankAtStart)
        return false;
    if (failure) {
        handle(failure);
        return false;
    }
    return true;
}

QCoro::Task<> AppModel::loadCollections()
{
    const std::optional<QString> tokenAtStart = token();
    const QString bankAtStart = m_selectedExamBank.id;
    // Folders of another bank or account must never show under this one.
    if (m_collectionMenusOwner && *m_collectionMenusOwner != std::make_pair(tokenAtStart, bankAtStart)) {
        m_collectionMenusOwner.reset();
        setCollectionMenus({});
    }
    if (m_isLoading)
        co_return;

    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginLoading();
    QList<CardMenu> folders;
    std::exception_ptr failure;
    try {
        const ReportRequest body{bankAtStart};
        const QString tokenText = tokenAtStart.value_or(QString());
        folders = co_await client().getUserCollectCardMenu(body, tokenText, bankAtStart);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!ticket.model)
        co_return;

    if (acceptCollectionsAnswer(ticket, tokenAtStart, bankAtStart, failure) && m_screen == AppScreen::collections) {
        setCollectionMenus(folders);
        m_collectionMenusOwner = std::make_pair(tokenAtStart, bankAtStart);
    }
    endLoading(loading);
}

QCoro::Task<> AppModel::openCollection(const CardMenu &folderArgument)
{
    if (m_isLoading)
        co_return;
    const CardMenu folder = folderArgument;
    const std::optional<QString> tokenAtStart = token();
    const QString bankAtStart = m_selectedExamBank.id;
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginLoading();

    // One page holds the folder, up to a size the service and the analysis
    // screen handle; a folder that counts more says so when it opens.
    const qint64 pageSize = std::clamp<qint64>(folder.count, 1, collectionPageLimit);
    const CollectionListRequest body{bankAtStart, 1, pageSize, folder.menuId};
    std::optional<QuestionModel> model;
    std::exception_ptr failure;
    try {
        const QString tokenText = tokenAtStart.value_or(QString());
        model = co_await client().getUserCollectList(body, tokenText, bankAtStart);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!ticket.model)
        co_return;

    if (acceptCollectionsAnswer(ticket, tokenAtStart, bankAtStart, failure) && m_screen == AppScreen::collections) {
        if (model->questionList.isEmpty()) {
            setNoticeMessage(QStringLiteral("该目录暂无收藏题目"));
        } else {
            QHash<QString, bool> overrides = m_collectionOverrides;
            for (const Question &question : std::as_const(model->questionList))
                overrides.insert(collectionKey(question), true);
            setCollectionOverrides(overrides);
            setAnalysisQuestions(model->questionList);
            setAnalysisMaterials(model->materialsList);
            setCurrentAnalysisIndex(0);
            setAnalysisFromCollections(true);
            setScreen(AppScreen::analysis);
            if (folder.count > collectionPageLimit)
                setNoticeMessage(QStringLiteral("该目录题目较多，仅显示前 %1 道").arg(collectionPageLimit));
        }
    }
    endLoading(loading);
}

QCoro::Task<> AppModel::toggleCollection(const Question &questionArgument)
{
    const Question question = questionArgument;
    const QString key = collectionKey(question);
    if (m_collectionRequests.contains(key))
        co_return; // a toggle of this question is in flight

    const std::optional<QString> tokenAtStart = token();
    const QString bankAtStart = m_selectedExamBank.id;
    const SessionTicket ticket = sessionTicket();
    const bool newState = !isCollected(question);
    QSet<QString> requests = m_collectionRequests;
    requests.insert(key);
    setCollectionRequests(requests);

    bool confirmed = false;
    std::exception_ptr failure;
    try {
        const ManageCollectionRequest body{bankAtStart, question.id, newState};
        const QString tokenText = tokenAtStart.value_or(QString());
        confirmed = co_await client().manageUserCollect(body, tokenText, bankAtStart);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!ticket.model)
        co_return;

    if (acceptCollectionsAnswer(ticket, tokenAtStart, bankAtStart, failure)) {
        if (confirmed) {
            QHash<QString, bool> overrides = m_collectionOverrides;
            overrides.insert(key, newState);
            setCollectionOverrides(overrides);
            setNoticeMessage(newState ? QStringLiteral("已收藏") : QStringLiteral("已取消收藏"));
        } else {
            setErrorMessage(QStringLiteral("收藏操作失败，请重试"));
        }
    }
    requests = m_collectionRequests;
    requests.remove(key);
    setCollectionRequests(requests);
}

// ---- QML -------------------------------------------------------------------------------

void AppModel::startLoadCollections()
{
    runDetached(loadCollections());
}

void AppModel::startOpenCollection(const QString &folderMenuId)
{
    if (const CardMenu *folder = AppModelInternals::findMenu(m_collectionMenus, folderMenuId))
        runDetached(openCollection(*folder));
}

void AppModel::startToggleCollection(const QString &questionId)
{
    if (const auto question = findOpenQuestion(questionId))
        runDetached(toggleCollection(*question));
}

bool AppModel::isQuestionCollected(const QString &questionId) const
{
    const auto question = findOpenQuestion(questionId);
    return question && isCollected(*question);
}

bool AppModel::isCollectionInFlight(const QString &questionId) const
{
    const auto question = findOpenQuestion(questionId);
    return question && m_collectionRequests.contains(collectionKey(*question));
}

QVariantMap AppModel::collectionOverridesQml() const
{
    QVariantMap map;
    for (auto it = m_collectionOverrides.cbegin(); it != m_collectionOverrides.cend(); ++it)
        map.insert(it.key(), it.value());
    return map;
}

QStringList AppModel::collectionRequestsQml() const
{
    QStringList keys(m_collectionRequests.cbegin(), m_collectionRequests.cend());
    keys.sort();
    return keys;
}
