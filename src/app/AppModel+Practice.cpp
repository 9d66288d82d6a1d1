#include "AppModel.h"
#include "AppModelInternals.h"

#include "models/QuestionKeyboardShortcuts.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/KeyEventInfo.h"

#include <QStringList>
#include <QTimer>
#include <algorithm>
#include <limits>

// Opening a practice set for a menu and every rule of answering inside an open
// set: single and multiple choice, confirming, moving, and the two keyboard
// entry points of the panel.

using AppModelInternals::saturatingAdd;

namespace {

constexpr quint16 leftArrowKeyCode = 123;
constexpr quint16 rightArrowKeyCode = 124;

// New index after moving by offset within a list of n items.
qint64 movedIndex(qint64 index, qint64 offset, qint64 count)
{
    const qint64 target = std::max<qint64>(saturatingAdd(index, offset), 0);
    return std::min(std::max<qint64>(count - 1, 0), target);
}
} // namespace

void AppModel::setUpPracticeAndHistory()
{
    m_practiceHistory->setClient(m_client);
    for (auto signal : {&AppModel::questionsChanged, &AppModel::answersChanged, &AppModel::revealedQuestionIDsChanged,
                        &AppModel::currentQuestionIndexChanged})
        connect(this, signal, this, &AppModel::practiceProgressChanged);
}

// ---- derived values -----------------------------------------------------------

std::optional<Question> AppModel::currentQuestion() const
{
    if (m_currentQuestionIndex < 0 || m_currentQuestionIndex >= m_questions.size())
        return std::nullopt;
    return m_questions.at(m_currentQuestionIndex);
}

std::optional<Question> AppModel::currentAnalysisQuestion() const
{
    if (m_currentAnalysisIndex < 0 || m_currentAnalysisIndex >= m_analysisQuestions.size())
        return std::nullopt;
    return m_analysisQuestions.at(m_currentAnalysisIndex);
}

bool AppModel::isLastQuestion() const
{
    return m_currentQuestionIndex >= m_questions.size() - 1;
}

bool AppModel::isQuestionAnswered(const Question &question) const
{
    if (question.sectionIntro)
        return false;
    if (!m_answers.value(question.id).isEmpty())
        return true;
    return question.questionType == QuestionType::answer && m_revealedQuestionIDs.contains(question.id);
}

qint64 AppModel::answeredCount() const
{
    return std::count_if(m_questions.cbegin(), m_questions.cend(),
                         [this](const Question &question) { return isQuestionAnswered(question); });
}

qint64 AppModel::answerableQuestionCount() const
{
    return std::count_if(m_questions.cbegin(), m_questions.cend(),
                         [](const Question &question) { return !question.sectionIntro; });
}

qint64 AppModel::currentAnswerableQuestionNumber() const
{
    const std::optional<Question> current = currentQuestion();
    if (current && current->sectionIntro)
        return 0;
    const qint64 end = std::min<qint64>(std::max<qint64>(m_currentQuestionIndex + 1, 0), m_questions.size());
    return std::count_if(m_questions.cbegin(), m_questions.cbegin() + end,
                         [](const Question &question) { return !question.sectionIntro; });
}

// ---- opening a set ----------------------------------------------------------------

QCoro::Task<> AppModel::openQuestions(const CardMenu &menuArgument)
{
    const CardMenu menu = menuArgument; // the caller's value may not outlive the first await
    const SessionTicket ticket = sessionTicket();
    const quint64 loading = beginLoading();

    if (menu.needVip == 1) {
        const bool admitted = co_await passMembershipGate([&ticket] { return ticket.isCurrent(); }, loading,
                                                          &AppModel::endLoading);
        if (!admitted)
            co_return;
    }

    setSelectedMenu(menu);
    const QString bankId = m_selectedExamBank.id;
    const qint64 questionType
        = (isXingCeBank() || m_practiceType == 2) ? 0 : QuestionTypes::rawValue(menu.questionType);
    const QuestionRequest body{bankId, menu.menuId, m_examQuestionCount, questionType};

    QCoro::Task<QuestionModel> call = client().getQuestionByMenuId(body, tokenText(), bankId);
    // The handler opens the purchase page for a membership demand.
    QCoro::Task<std::optional<QuestionModel>> modelGuarded = guardedCall(std::move(call), ticket, loading);
    const std::optional<QuestionModel> model = co_await std::move(modelGuarded);
    if (!model)
        co_return;

    m_questionModel = *model;
    setReportFromHistory(false);
    m_activeHistoryRecordID.reset();
    m_resumedPracticeCostTime = 0;
    m_practiceHistory->invalidate();
    practiceSetReplaced();
    setQuestions(model->questionList);
    QHash<QString, QString> answers;
    for (const Question &question : std::as_const(model->questionList)) {
        // Ids are taken as unique; should one repeat, its first answer counts.
        if (!answers.contains(question.id))
            answers.insert(question.id, question.userAnswer);
    }
    setAnswers(answers);
    setRevealedQuestionIDs({});
    setCurrentQuestionIndex(0);
    m_practiceStartedAtMilliseconds = clock().nowMilliseconds();
    setScreen(AppScreen::questions);
    endLoading(loading);
}

// ---- answering ------------------------------------------------------------------------

void AppModel::chooseSingleAnswer(const QString &letter, const Question &question)
{
    if (question.questionType != QuestionType::single)
        return;
    if (m_examMode == ExamMode::review && m_revealedQuestionIDs.contains(question.id))
        return; // a revealed answer is final

    QHash<QString, QString> answers = m_answers;
    answers.insert(question.id, letter);
    setAnswers(answers);

    if (isLastQuestion()) {
        scheduleSingleChoiceAdvance(question.id, true);
    } else if (m_examMode == ExamMode::review) {
        QSet<QString> revealed = m_revealedQuestionIDs;
        revealed.insert(question.id);
        setRevealedQuestionIDs(revealed);
    } else {
        scheduleSingleChoiceAdvance(question.id, false);
    }
}

void AppModel::scheduleSingleChoiceAdvance(const QString &questionId, bool submit)
{
    // Each pick gets its own timer; one that finds another question shown
    // (the user moved, or an earlier pick already moved on) does nothing.
    QTimer::singleShot(singleChoiceAdvanceMilliseconds, this, [this, questionId, submit] {
        const std::optional<Question> current = currentQuestion();
        if (!current || current->id != questionId)
            return;
        if (submit)
            runDetached(submitPractice());
        else
            moveQuestion(1);
    });
}

void AppModel::toggleMultipleAnswer(const QString &letter, const Question &question)
{
    QSet<QString> letters = Question::answerSet(m_answers.value(question.id));
    if (letters.contains(letter))
        letters.remove(letter);
    else
        letters.insert(letter);
    QStringList sorted(letters.cbegin(), letters.cend());
    sorted.sort();
    QHash<QString, QString> answers = m_answers;
    answers.insert(question.id, sorted.join(u','));
    setAnswers(answers);
}

bool AppModel::confirmCurrentQuestion()
{
    if (m_isLoading)
        return false;
    const std::optional<Question> current = currentQuestion();
    if (!current)
        return false;

    if (m_revealedQuestionIDs.contains(current->id)) {
        if (!isLastQuestion())
            moveQuestion(1);
        return true;
    }

    const auto reveal = [this, &current] {
        QSet<QString> revealed = m_revealedQuestionIDs;
        revealed.insert(current->id);
        setRevealedQuestionIDs(revealed);
    };

    switch (current->questionType) {
    case QuestionType::single:
        return false;
    case QuestionType::multiple:
        if (m_answers.value(current->id).isEmpty())
            return true;
        if (isLastQuestion())
            runDetached(submitPractice());
        else if (m_examMode == ExamMode::review)
            reveal();
        else
            moveQuestion(1);
        return true;
    case QuestionType::answer:
        if (isLastQuestion())
            runDetached(submitPractice());
        else
            reveal();
        return true;
    }
    return false;
}

void AppModel::moveQuestion(qint64 offset)
{
    setCurrentQuestionIndex(movedIndex(m_currentQuestionIndex, offset, m_questions.size()));
}

void AppModel::moveAnalysis(qint64 offset)
{
    setCurrentAnalysisIndex(movedIndex(m_currentAnalysisIndex, offset, m_analysisQuestions.size()));
}

// ---- keys --------------------------------------------------------------------------------

bool AppModel::handleQuestionShortcut(const QString &key)
{
    if (m_isExportingPDF)
        return true;
    if (m_screen != AppScreen::questions || !m_questionKeyboardShortcuts.enabled || m_isLoading)
        return false;

    const std::optional<QuestionShortcutAction> action = m_questionKeyboardShortcuts.action(key);
    if (!action)
        return false;
    const std::optional<Question> current = currentQuestion();
    if (!current)
        return false;
    if (*action == QuestionShortcutAction::confirm)
        return confirmCurrentQuestion();

    const int position = *action == QuestionShortcutAction::optionA ? 0
        : *action == QuestionShortcutAction::optionB                ? 1
        : *action == QuestionShortcutAction::optionC                ? 2
                                                                    : 3;
    if (position >= current->questionOptions.size())
        return true;
    const QString letter(QChar(u'A' + position));

    switch (current->questionType) {
    case QuestionType::single:
        chooseSingleAnswer(letter, *current);
        break;
    case QuestionType::multiple:
        if (!(m_examMode == ExamMode::review && m_revealedQuestionIDs.contains(current->id)))
            toggleMultipleAnswer(letter, *current);
        break;
    case QuestionType::answer:
        break;
    }
    return true;
}

bool AppModel::handleQuestionNavigationKey(quint16 keyCode)
{
    if (m_isExportingPDF)
        return true;
    if (m_isLoading)
        return false;
    if (keyCode != leftArrowKeyCode && keyCode != rightArrowKeyCode)
        return false;

    if (m_screen == AppScreen::questions) {
        if (keyCode == leftArrowKeyCode && m_currentQuestionIndex > 0)
            moveQuestion(-1);
        else if (keyCode == rightArrowKeyCode && m_currentQuestionIndex < m_questions.size() - 1)
            moveQuestion(1);
        return true;
    }
    if (m_screen == AppScreen::analysis) {
        if (keyCode == leftArrowKeyCode && m_currentAnalysisIndex > 0)
            moveAnalysis(-1);
        else if (keyCode == rightArrowKeyCode && m_currentAnalysisIndex < m_analysisQuestions.size() - 1)
            moveAnalysis(1);
        return true;
    }
    return false;
}

bool AppModel::handleQuestionKeyEvent(const KeyEventInfo &event)
{
    if (event.isRepeat)
        return false;
    const auto commandKeys = KeyEventInfo::ModifierFlag::Control | KeyEventInfo::ModifierFlag::Option
        | KeyEventInfo::ModifierFlag::Command;
    if (!(event.modifierFlags & commandKeys) && event.keyCode >= 0
        && event.keyCode <= std::numeric_limits<quint16>::max()
        && handleQuestionNavigationKey(quint16(event.keyCode)))
        return true;
    const std::optional<QString> identifier = QuestionShortcutKey::identifier(event);
    if (!identifier)
        return false;
    return handleQuestionShortcut(*identifier);
}
