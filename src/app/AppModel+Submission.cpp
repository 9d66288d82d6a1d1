#include "AppModel.h"
#include "AppModelInternals.h"

#include "models/CommitExamRequest.h"
#include "networking/APIClient.h"
#include "networking/APIError.h"
#include "platform/Clock.h"

#include <algorithm>
#include <limits>

// Closing a practice set: submission (to the service, or a report built on the
// device for a set the service never registered), the analysis list, and the
// way back home.

using AppModelInternals::isUnauthorized;
using AppModelInternals::saturatingAdd;

namespace {

// Whole seconds from start to now, truncated; 0 when the clock went back.
qint64 elapsedSeconds(qint64 startMilliseconds, qint64 nowMilliseconds)
{
    qint64 difference = 0;
    if (__builtin_sub_overflow(nowMilliseconds, startMilliseconds, &difference))
        return nowMilliseconds > startMilliseconds ? std::numeric_limits<qint64>::max() / 1000 : 0;
    return std::max<qint64>(0, difference / 1000);
}

} // namespace

void AppModel::practiceSetReplaced()
{
    ++m_practiceSetSerial;
    m_runningSubmission = 0; // a submission still in flight belongs to the old set now
    m_practiceSetSubmitted = false;
    m_committedExamId.reset();
    m_submissionStateEpoch = m_sessionEpoch;
}

QCoro::Task<> AppModel::submitPractice()
{
    if (m_isLoading || m_isExportingPDF || !m_questionModel)
        co_return;
    if (m_submissionStateEpoch != m_sessionEpoch)
        practiceSetReplaced(); // a logout dropped the set the state belonged to
    // One submission at a time, and none after the set's report is shown: a
    // pending single-choice timer must not submit a second time.
    if (m_runningSubmission != 0 || m_practiceSetSubmitted)
        co_return;

    const qint64 costTime = saturatingAdd(std::max<qint64>(0, m_resumedPracticeCostTime),
                                          elapsedSeconds(m_practiceStartedAtMilliseconds, clock().nowMilliseconds()));
    QList<UserAnswerRequest> userAnswerList;
    for (const Question &question : std::as_const(m_questions)) {
        if (!question.sectionIntro)
            userAnswerList.append(UserAnswerRequest{question.id, m_answers.value(question.id), 0});
    }
    const qint64 count = userAnswerList.size();
    const qint64 perQuestionTime = count > 0 ? std::max<qint64>(1, costTime / count) : 0;
    for (UserAnswerRequest &entry : userAnswerList)
        entry.useTime = perQuestionTime;

    const quint64 loading = beginLoading();
    const quint64 submission = m_nextSubmissionId++;
    m_runningSubmission = submission;
    const SessionTicket ticket = sessionTicket();
    const quint64 setSerial = m_practiceSetSerial;
    const QuestionModel model = *m_questionModel;

    // Whether the result still belongs to what the user sees: no logout and
    // the same open set (going home drops it).
    const auto stillOurs = [&] { return ticket.isCurrent() && m_practiceSetSerial == setSerial; };
    const auto finish = [&] {
        if (!ticket.model)
            return;
        if (m_runningSubmission == submission)
            m_runningSubmission = 0;
        endLoading(loading);
    };
    const auto fail = [&](const std::exception_ptr &error) {
        // A failure of a dropped set is no longer the user's concern, unless
        // it says the login has expired.
        if (ticket.isCurrent() && (stillOurs() || isUnauthorized(error)))
            handle(error);
        finish();
    };
    // After each call: whether the submission goes on; otherwise it has been
    // wound up (or its model is gone).
    const auto goesOn = [&](const std::exception_ptr &failure) {
        if (!ticket.model)
            return false;
        if (failure) {
            fail(failure);
            return false;
        }
        if (!stillOurs()) {
            finish();
            return false;
        }
        return true;
    };

    std::optional<HistoryReport> report;
    if (model.userExamId && !model.userExamId->isEmpty()) {
        const QString examId = *model.userExamId;
        // After a commit that went through and a report that failed, only the
        // report is fetched again.
        if (m_committedExamId != examId) {
            std::exception_ptr failure;
            try {
                const QString bankId = m_selectedExamBank.id;
                const CommitExamRequest body{examId, costTime, userAnswerList};
                (void)co_await client().commitExam(body, tokenText(), bankId);
            } catch (...) {
                failure = std::current_exception();
            }
            if (!goesOn(failure))
                co_return;
            m_committedExamId = examId;
        }

        std::exception_ptr failure;
        try {
            const QString bankId = m_selectedExamBank.id;
            const ReportRequest body{examId};
            report = co_await client().getUserExamLogDetail(body, tokenText(), bankId);
        } catch (...) {
            failure = std::current_exception();
        }
        if (!goesOn(failure))
            co_return;
    } else {
        report = makeLocalReport(model, costTime, perQuestionTime);
    }

    setReport(report);
    if (m_activeHistoryRecordID && m_report)
        m_practiceHistory->cacheCompletedReport(*m_report, *m_activeHistoryRecordID);
    m_practiceSetSubmitted = true;
    m_committedExamId.reset();
    setScreen(AppScreen::report);
    finish();
}

void AppModel::showAnalysis(bool wrongOnly)
{
    if (!m_report)
        return;
    setAnalysisFromCollections(false);
    QList<Question> list;
    if (wrongOnly) {
        for (const Question &question : std::as_const(m_report->questionList)) {
            // Judged by the report's own record of the answer; unanswered counts as wrong.
            if (!question.isCorrect(question.userAnswer))
                list.append(question);
        }
    } else {
        list = m_report->questionList;
    }
    setAnalysisQuestions(list);
    setAnalysisMaterials(m_report->materialsList);
    setCurrentAnalysisIndex(0);
    setScreen(AppScreen::analysis);
}

void AppModel::backToHome()
{
    setScreen(AppScreen::home);
    setReportFromHistory(false);
    m_activeHistoryRecordID.reset();
    m_resumedPracticeCostTime = 0;
    setSelectedMenu(std::nullopt);
    m_questionModel.reset();
    practiceSetReplaced();
    setQuestions({});
    setAnswers({});
    setRevealedQuestionIDs({});
    setReport(std::nullopt);
    setAnalysisQuestions({});
    setAnalysisMaterials({});
}

void AppModel::startSubmitPractice()
{
    runDetached(submitPractice());
}
