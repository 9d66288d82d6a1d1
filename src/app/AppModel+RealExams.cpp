#include "AppModel.h"
#include "AppModelInternals.h"

#include "networking/APIClient.h"
#include "platform/Clock.h"

// Past papers: the paged list of the selected bank, preparing a paper behind
// the membership gate (which joins it on the service), and starting it as the
// open practice set with its section introductions.
//
// A list load or a preparation holds the past-paper slot of the busy flag; a
// bank switch or the next list load or preparation supersedes it, so its
// results are dropped and its share of the flag is released at once.

using AppModelInternals::isUnauthorized;

namespace {
constexpr qint64 realExamPageSize = 10;
constexpr qint64 realExamLastPage = 50;
} // namespace

quint64 AppModel::beginRealExamsLoad()
{
    // The new share is taken before the superseded one is let go, so the
    // flag does not drop in between.
    const quint64 loading = beginLoading();
    supersedeRealExamsLoad();
    m_realExamsLoadingToken = loading;
    return loading;
}

void AppModel::finishRealExamsLoad(quint64 loadingToken)
{
    if (m_realExamsLoadingToken == loadingToken)
        m_realExamsLoadingToken = 0;
    endLoading(loadingToken);
}

QList<RealExamSummary> AppModel::cleanedRealExams(const QList<RealExamSummary> &entries)
{
    QList<RealExamSummary> kept;
    kept.reserve(entries.size());
    QSet<QString> seen;
    for (const RealExamSummary &entry : entries) {
        if (entry.id.isEmpty() || entry.name.isEmpty() || seen.contains(entry.id))
            continue;
        seen.insert(entry.id);
        kept.append(entry);
    }
    return kept;
}

QCoro::Task<> AppModel::loadRealExams()
{
    if (m_isLoading)
        co_return;
    co_await loadRealExamsUnchecked();
}

QCoro::Task<> AppModel::loadRealExamsUnchecked()
{
    ++m_realExamsLoadsStarted;
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginRealExamsLoad();
    const quint64 generation = m_realExamsGeneration;
    const auto isCurrent = [&ticket, generation, this] {
        return ticket.isCurrent() && m_realExamsGeneration == generation;
    };

    std::exception_ptr membershipFailure;
    try {
        co_await fetchVIPStatus();
    } catch (...) {
        membershipFailure = std::current_exception();
    }
    if (!isCurrent()) {
        finishRealExamsLoad(loading);
        co_return;
    }
    if (membershipFailure && isUnauthorized(membershipFailure)) {
        handle(membershipFailure);
        finishRealExamsLoad(loading);
        co_return;
    }

    // Every page belongs to the bank and the account of the load's start.
    const QString bankId = m_selectedExamBank.id;
    const QString accountToken = tokenText();
    QList<RealExamSummary> accumulated;
    for (qint64 page = 1; page <= realExamLastPage; ++page) {
        QCoro::Task<QList<RealExamSummary>> call
            = client().getRealExamList(RealExamListRequest{bankId, page, realExamPageSize}, accountToken, bankId);
        QCoro::Task<std::optional<QList<RealExamSummary>>> entriesGuarded = guardedCall(std::move(call), ticket, loading, &AppModel::finishRealExamsLoad, isCurrent);
        const std::optional<QList<RealExamSummary>> entries = co_await std::move(entriesGuarded);
        if (!entries)
            co_return;
        accumulated.append(*entries);
        if (entries->size() != realExamPageSize)
            break;
    }

    setRealExams(cleanedRealExams(accumulated));
    std::optional<RealExamSummary> listed;
    if (m_selectedRealExam) {
        for (const RealExamSummary &entry : std::as_const(m_realExams)) {
            if (entry.id == m_selectedRealExam->id) {
                listed = entry;
                break;
            }
        }
    }
    if (listed) {
        setSelectedRealExam(listed);
    } else {
        setSelectedRealExam(std::nullopt);
        setPreparedRealExam(std::nullopt);
    }
    finishRealExamsLoad(loading);
}

QCoro::Task<> AppModel::prepareRealExam(const RealExamSummary &summaryArgument)
{
    const RealExamSummary summary = summaryArgument;
    if (m_isLoading)
        co_return;
    setSelectedRealExam(std::nullopt);
    setPreparedRealExam(std::nullopt);
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginRealExamsLoad();
    const quint64 generation = m_realExamsGeneration;
    const auto isCurrent = [&ticket, generation, this] {
        return ticket.isCurrent() && m_realExamsGeneration == generation;
    };

    if (summary.needVip == 1) {
        const bool admitted = co_await passMembershipGate(isCurrent, loading, &AppModel::finishRealExamsLoad);
        if (!admitted)
            co_return;
    }

    const QString bankId = m_selectedExamBank.id;
    QCoro::Task<RealExamDetail> call
        = client().getRealExamDetailAndJoinExam(RealExamDetailRequest{bankId, summary.id}, tokenText(), bankId);
    // A membership demand opens the purchase page through the handler.
    QCoro::Task<std::optional<RealExamDetail>> detailGuarded = guardedCall(std::move(call), ticket, loading, &AppModel::finishRealExamsLoad, isCurrent);
    const std::optional<RealExamDetail> detail = co_await std::move(detailGuarded);
    if (!detail)
        co_return;
    setSelectedRealExam(summary);
    setPreparedRealExam(detail);
    m_practiceHistory->invalidate();
    finishRealExamsLoad(loading);
}

QCoro::Task<> AppModel::openRealExam(const RealExamSummary &summaryArgument)
{
    const RealExamSummary summary = summaryArgument;
    const QPointer<AppModel> self(this);
    QCoro::Task<> preparation = prepareRealExam(summary);
    co_await std::move(preparation);
    if (!self)
        co_return;
    if (m_selectedRealExam && m_selectedRealExam->id == summary.id && m_preparedRealExam)
        startPreparedRealExam();
}

void AppModel::startPreparedRealExam()
{
    if (!m_selectedRealExam || !m_preparedRealExam)
        return;
    setReportFromHistory(false);
    m_activeHistoryRecordID.reset();
    m_resumedPracticeCostTime = 0;

    const QuestionModel model = m_preparedRealExam->questionModel();
    QHash<QString, QString> startAnswers;
    qint64 realCount = 0;
    for (const Question &question : model.questionList) {
        if (question.sectionIntro)
            continue;
        ++realCount;
        // Ids are unique within a paper; should one repeat, its first answer counts.
        if (!startAnswers.contains(question.id))
            startAnswers.insert(question.id, question.userAnswer);
    }

    CardMenu menu;
    menu.menuId = m_selectedRealExam->id;
    menu.examBankId = m_selectedExamBank.id;
    menu.questionType = QuestionType::single;
    menu.menuType = std::nullopt;
    menu.name = m_preparedRealExam->name;
    menu.parentId = std::nullopt;
    menu.count = realCount;
    menu.userWorkCount = 0;
    menu.needVip = m_selectedRealExam->needVip;
    m_selectedMenu = menu;

    m_questionModel = model;
    practiceSetReplaced();
    setQuestions(model.questionList);
    setAnswers(startAnswers);
    setRevealedQuestionIDs({});
    setCurrentQuestionIndex(0);
    m_practiceStartedAtMilliseconds = clock().nowMilliseconds();
    setScreen(AppScreen::questions);
}
