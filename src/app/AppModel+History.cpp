#include "AppModel.h"
#include "AppModelInternals.h"

#include "models/LenientJson.h"
#include "networking/APIClient.h"
#include "networking/APIError.h"
#include "platform/Clock.h"

#include <QUuid>
#include <algorithm>

// The practice-history screen's operations: showing it, loading pages through
// the store, opening a record (its report, or the unfinished set resumed) and
// deleting records. Results are applied only while the history scope
// {environment, token, bank} is the one captured before the request.

namespace {

using AppModelInternals::apiErrorKind;

// Text order by Unicode scalar values (UTF-16 order differs above U+FFFF).
bool scalarLess(const QString &a, const QString &b)
{
    const QList<uint> left = a.toUcs4();
    const QList<uint> right = b.toUcs4();
    return std::lexicographical_compare(left.cbegin(), left.cend(), right.cbegin(), right.cend());
}

} // namespace

PracticeHistoryStore::Scope AppModel::currentHistoryScope() const
{
    return PracticeHistoryStore::Scope{m_apiEnvironment, token(), m_selectedExamBank.id};
}

qint64 AppModel::resumedCostTime(const QString &useTime)
{
    const std::optional<qint64> seconds = LenientJson::decimalIntegerParse(useTime);
    return seconds ? std::max<qint64>(0, *seconds) : 0;
}

void AppModel::showPracticeHistory()
{
    m_practiceHistory->configure(currentHistoryScope());
    m_practiceHistory->invalidate();
    setHasVisitedPracticeHistory(true);
    setScreen(AppScreen::history);
}

QCoro::Task<> AppModel::loadPracticeHistory(PracticeHistoryTab tab, bool refresh, bool nextPage)
{
    if (m_screen != AppScreen::history || m_isLoading)
        co_return;
    const PracticeHistoryStore::Scope scope = currentHistoryScope();
    m_practiceHistory->configure(scope);

    const QPointer<AppModel> self(this);
    std::exception_ptr failure;
    try {
        co_await m_practiceHistory->load(tab, refresh, nextPage);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self || !failure)
        co_return;
    // The store keeps the page's error text for the screen; only an expired
    // login concerns the model, and only for the scope that asked.
    if (currentHistoryScope() == scope && apiErrorKind(failure) == APIError::Kind::unauthorized)
        handle(failure);
}

QCoro::Task<> AppModel::openPracticeHistory(const PracticeHistoryRecord &recordArgument)
{
    if (m_screen != AppScreen::history || m_isLoading)
        co_return;
    const PracticeHistoryRecord record = recordArgument;
    const PracticeHistoryStore::Scope scope = currentHistoryScope();
    const bool completed = m_practiceHistory->isCompleted(record);
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginLoading();

    std::optional<HistoryReport> report;
    std::exception_ptr failure;
    try {
        const ReportRequest body{record.id};
        const QString tokenText = scope.token.value_or(QString());
        report = co_await client().getUserExamLogDetail(body, tokenText, scope.bank);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!ticket.model)
        co_return;

    if (failure) {
        if (currentHistoryScope() == scope) {
            if (apiErrorKind(failure) == APIError::Kind::vipRequired)
                openPurchasePage();
            else
                handle(failure);
        }
        endLoading(loading);
        co_return;
    }

    if (currentHistoryScope() != scope || m_screen != AppScreen::history) {
        endLoading(loading);
        co_return;
    }
    if (report->questionList.isEmpty()) {
        setNoticeMessage(QStringLiteral("该记录暂无题目"));
        endLoading(loading);
        co_return;
    }

    setAnalysisFromCollections(false);
    setReportFromHistory(true);
    m_activeHistoryRecordID = record.id;

    if (completed) {
        setReport(report);
        setScreen(AppScreen::report);
        endLoading(loading);
        co_return;
    }

    const QuestionModel model = report->resumedQuestionModel(record.id);
    CardMenu menu;
    menu.id = QUuid::createUuid();
    menu.menuId = record.examId;
    menu.examBankId = scope.bank;
    menu.questionType = QuestionType::single;
    menu.menuType = std::nullopt;
    menu.name = report->title;
    menu.parentId = std::nullopt;
    menu.count = std::count_if(report->questionList.cbegin(), report->questionList.cend(),
                               [](const Question &question) { return !question.sectionIntro; });
    menu.userWorkCount = 0;
    menu.needVip = 0;
    menu.children = {};
    setSelectedMenu(menu);

    m_questionModel = model;
    practiceSetReplaced();
    setQuestions(model.questionList);
    QHash<QString, QString> answers;
    qint64 firstUnanswered = -1;
    for (qsizetype i = 0; i < model.questionList.size(); ++i) {
        const Question &question = model.questionList.at(i);
        if (question.sectionIntro)
            continue;
        answers.insert(question.id, question.userAnswer); // a repeated id: the later answer wins
        if (firstUnanswered < 0 && question.userAnswer.isEmpty())
            firstUnanswered = i;
    }
    setAnswers(answers);
    setRevealedQuestionIDs({});
    setReport(std::nullopt);
    setCurrentQuestionIndex(std::max<qint64>(firstUnanswered, 0));
    m_resumedPracticeCostTime = resumedCostTime(report->useTime);
    m_practiceStartedAtMilliseconds = clock().nowMilliseconds();
    setScreen(AppScreen::questions);
    endLoading(loading);
}

QCoro::Task<bool> AppModel::deletePracticeHistory(const QSet<QString> &idsArgument)
{
    if (m_screen != AppScreen::history || m_isLoading || m_practiceHistory->isLoading() || idsArgument.isEmpty())
        co_return false;
    const QSet<QString> ids = idsArgument;
    const PracticeHistoryStore::Scope scope = currentHistoryScope();
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginLoading();

    QStringList sorted(ids.cbegin(), ids.cend());
    std::sort(sorted.begin(), sorted.end(), scalarLess);

    bool confirmed = false;
    std::exception_ptr failure;
    try {
        const DeletePracticeHistoryRequest body{sorted};
        const QString tokenText = scope.token.value_or(QString());
        confirmed = co_await client().delUserExamLog(body, tokenText, scope.bank);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!ticket.model)
        co_return false;

    const bool sameScope = currentHistoryScope() == scope;
    if (failure) {
        if (sameScope)
            handle(failure);
        endLoading(loading);
        co_return false;
    }
    if (!sameScope) {
        endLoading(loading);
        co_return false;
    }
    if (!confirmed) {
        setErrorMessage(QStringLiteral("删除失败，请重试"));
        endLoading(loading);
        co_return false;
    }
    m_practiceHistory->remove(ids);
    setNoticeMessage(QStringLiteral("删除成功"));
    endLoading(loading);
    co_return true;
}

// ---- QML ---------------------------------------------------------------------------

void AppModel::startLoadPracticeHistory(int tab, bool refresh, bool nextPage)
{
    if (const auto parsed = PracticeHistoryTabs::fromRawValue(tab))
        runDetached(loadPracticeHistory(*parsed, refresh, nextPage));
}

void AppModel::startOpenPracticeHistory(const QString &recordId)
{
    if (const auto record = m_practiceHistory->record(recordId))
        runDetached(openPracticeHistory(*record));
}

namespace {
QCoro::Task<> deleteAndReport(QPointer<AppModel> model, QSet<QString> ids)
{
    const bool deleted = co_await model->deletePracticeHistory(ids);
    if (model)
        Q_EMIT model->practiceHistoryDeletionFinished(deleted);
}
} // namespace

void AppModel::startDeletePracticeHistory(const QStringList &ids)
{
    runDetached(deleteAndReport(QPointer<AppModel>(this), QSet<QString>(ids.cbegin(), ids.cend())));
}
