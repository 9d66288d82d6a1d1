#include "AppModel.h"

#include "networking/APIClient.h"

#include <algorithm>

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

std::function<bool()> AppModel::collectionsStillCurrent(const std::optional<QString> &tokenAtStart,
                                                       const QString &bankAtStart)
{
    return [this, tokenAtStart, bankAtStart] { return token() == tokenAtStart && m_selectedExamBank.id == bankAtStart; };
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
    const ReportRequest body{bankAtStart};
    const QString tokenText = tokenAtStart.value_or(QString());
    QCoro::Task<QList<CardMenu>> call = client().getUserCollectCardMenu(body, tokenText, bankAtStart);
    QCoro::Task<std::optional<QList<CardMenu>>> foldersGuarded = guardedCall(std::move(call), ticket, loading, &AppModel::endLoading, collectionsStillCurrent(tokenAtStart, bankAtStart));
    const std::optional<QList<CardMenu>> folders = co_await std::move(foldersGuarded);
    if (!folders)
        co_return;

    if (m_screen == AppScreen::collections) {
        setCollectionMenus(*folders);
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

    // One page holds the whole folder; the client's bound on a reply's size
    // guards against a folder too large to receive.
    const qint64 pageSize = std::max<qint64>(folder.count, 1);
    const CollectionListRequest body{bankAtStart, 1, pageSize, folder.menuId};
    const QString tokenText = tokenAtStart.value_or(QString());
    QCoro::Task<QuestionModel> call = client().getUserCollectList(body, tokenText, bankAtStart);
    QCoro::Task<std::optional<QuestionModel>> modelGuarded = guardedCall(std::move(call), ticket, loading, &AppModel::endLoading, collectionsStillCurrent(tokenAtStart, bankAtStart));
    const std::optional<QuestionModel> model = co_await std::move(modelGuarded);
    if (!model)
        co_return;

    if (m_screen == AppScreen::collections) {
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

    const ManageCollectionRequest body{bankAtStart, question.id, newState};
    const QString tokenText = tokenAtStart.value_or(QString());
    QCoro::Task<bool> call = client().manageUserCollect(body, tokenText, bankAtStart);
    // No busy token: the in-flight set marks this toggle instead.
    QCoro::Task<std::optional<bool>> confirmedGuarded = guardedCall(std::move(call), ticket, 0, nullptr, collectionsStillCurrent(tokenAtStart, bankAtStart));
    const std::optional<bool> confirmed = co_await std::move(confirmedGuarded);
    if (!ticket.model)
        co_return;

    if (confirmed) {
        if (*confirmed) {
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

void AppModel::showCollections()
{
    setScreen(AppScreen::collections);
}

// ---- QML -------------------------------------------------------------------------------

void AppModel::startLoadCollections()
{
    runDetached(loadCollections());
}

void AppModel::startOpenCollection(const CardMenu &folder)
{
    runDetached(openCollection(folder));
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
