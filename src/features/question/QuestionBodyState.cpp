#include "QuestionBodyState.h"

#include "Theme.h"

using namespace QuestionBodyRules;

QuestionBodyState::QuestionBodyState(QObject *parent)
    : QObject(parent)
    , m_options(new OptionListModel(this))
{
    connect(&Theme::shared(), &Theme::changed, this, &QuestionBodyState::changed);
}

void QuestionBodyState::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        connect(m_model, &AppModel::questionsChanged, this, [this] {
            findQuestion();
            refresh();
        });
        for (auto signal : {&AppModel::answersChanged, &AppModel::revealedQuestionIDsChanged,
                            &AppModel::examModeChanged, &AppModel::currentQuestionIndexChanged,
                            &AppModel::studyTransparencyEnabledChanged, &AppModel::transparentInkHexChanged,
                            &AppModel::transparentInkIntensityChanged, &AppModel::transparentAppearanceLevelChanged})
            connect(m_model, signal, this, &QuestionBodyState::refresh);
    }
    Q_EMIT modelChanged();
    findQuestion();
    refresh();
}

void QuestionBodyState::setQuestionId(const QString &questionId)
{
    if (m_questionId == questionId)
        return;
    m_questionId = questionId;
    Q_EMIT questionIdChanged();
    findQuestion();
    refresh();
}

void QuestionBodyState::findQuestion()
{
    m_question.reset();
    if (m_model && !m_questionId.isEmpty()) {
        for (const Question &candidate : m_model->questions()) {
            if (candidate.id == m_questionId) {
                m_question = candidate;
                break;
            }
        }
    }
    m_options->setContents(m_question ? m_question->questionOptions : QList<QString>());
}

void QuestionBodyState::refresh()
{
    if (m_question) {
        const ExamMode mode = examMode();
        const bool isRevealed = revealed();
        const std::optional<QString> stored = storedAnswer();
        const QString user = stored.value_or(QString());
        QList<OptionListModel::Marks> marks;
        marks.reserve(m_options->rowCount());
        for (int row = 0; row < m_options->rowCount(); ++row) {
            const QString letter = m_options->letter(row);
            marks.append({isOptionSelected(letter, m_question->questionType, stored),
                          optionFeedback(letter, mode, isRevealed, m_question->answer, user)});
        }
        m_options->setMarks(marks);
    }
    Q_EMIT changed();
}

ExamMode QuestionBodyState::examMode() const
{
    return m_model ? m_model->examMode() : ExamMode::practice;
}

std::optional<QString> QuestionBodyState::storedAnswer() const
{
    if (!m_model || !m_question)
        return std::nullopt;
    const auto it = m_model->answers().constFind(m_question->id);
    if (it == m_model->answers().cend())
        return std::nullopt;
    return *it;
}

QuestionType QuestionBodyState::questionType() const
{
    return m_question ? m_question->questionType : QuestionType::single;
}

QString QuestionBodyState::typeTag() const
{
    return QuestionBodyRules::typeTag(questionType());
}

QString QuestionBodyState::questionFrom() const
{
    return m_question ? m_question->questionFrom : QString();
}

QString QuestionBodyState::stemHtml() const
{
    return m_question ? m_question->context : QString();
}

QString QuestionBodyState::correctAnswer() const
{
    return m_question ? m_question->answer : QString();
}

QString QuestionBodyState::analysisHtml() const
{
    return QuestionBodyRules::analysisHtml(m_question ? m_question->analysis : QString());
}

bool QuestionBodyState::isCollect() const
{
    return m_question && m_question->isCollect;
}

bool QuestionBodyState::isGraphicReasoning() const
{
    return m_model && m_question && m_model->isGraphicReasoningQuestion(*m_question);
}

bool QuestionBodyState::isLastQuestion() const
{
    if (!m_model)
        return true;
    return QuestionBodyRules::isLastQuestion(m_model->currentQuestionIndex(), m_model->questions().size());
}

bool QuestionBodyState::revealed() const
{
    return m_model && m_question && m_model->revealedQuestionIDs().contains(m_question->id);
}

bool QuestionBodyState::locked() const
{
    return QuestionBodyRules::isLocked(examMode(), revealed());
}

bool QuestionBodyState::hasAnswer() const
{
    return !storedAnswer().value_or(QString()).isEmpty();
}

bool QuestionBodyState::showsConfirmButton() const
{
    return m_question && m_question->questionType == QuestionType::multiple && !locked();
}

QString QuestionBodyState::confirmLabel() const
{
    return QuestionBodyRules::confirmLabel(isLastQuestion(), examMode());
}

QString QuestionBodyState::revealLabel() const
{
    return QuestionBodyRules::revealLabel(isLastQuestion());
}

bool QuestionBodyState::showsAnalysisCard() const
{
    return m_question && m_question->questionType == QuestionType::answer && revealed();
}

bool QuestionBodyState::showsReviewResult() const
{
    return m_question && QuestionBodyRules::showsReviewResult(m_question->questionType, examMode(), revealed());
}

bool QuestionBodyState::canGoPrevious() const
{
    return m_model && m_model->currentQuestionIndex() > 0;
}

bool QuestionBodyState::canGoNext() const
{
    return m_model && !isLastQuestion();
}

bool QuestionBodyState::transparent() const
{
    return m_model && m_model->studyTransparencyEnabled();
}

double QuestionBodyState::htmlTextOpacity() const
{
    return QuestionBodyRules::htmlTextOpacity(transparent());
}

double QuestionBodyState::htmlImageOpacity() const
{
    return QuestionBodyRules::htmlImageOpacity(transparent(), Theme::level());
}

QString QuestionBodyState::inkHex() const
{
    return transparent() ? m_model->transparentInkHex() : QString();
}

double QuestionBodyState::inkIntensity() const
{
    return m_model ? m_model->transparentInkIntensity() : 1.0;
}

void QuestionBodyState::choose(const QString &letter)
{
    if (!m_model || !m_question)
        return;
    switch (m_question->questionType) {
    case QuestionType::single:
        m_model->chooseSingleAnswer(letter, *m_question);
        break;
    case QuestionType::multiple:
        // The model leaves the lock to its callers.
        if (!locked())
            m_model->toggleMultipleAnswer(letter, *m_question);
        break;
    case QuestionType::answer:
        break;
    }
}

void QuestionBodyState::confirm()
{
    if (m_model)
        m_model->confirmCurrentQuestion();
}

void QuestionBodyState::goPrevious()
{
    if (m_model)
        m_model->moveQuestion(-1);
}

void QuestionBodyState::goNext()
{
    if (m_model)
        m_model->moveQuestion(1);
}

OptionLook QuestionBodyState::look(bool selected, int feedback, bool hovering) const
{
    const auto mark = feedback == int(OptionFeedback::correct)     ? OptionFeedback::correct
                      : feedback == int(OptionFeedback::wrongPick) ? OptionFeedback::wrongPick
                                                                   : OptionFeedback::none;
    return OptionLook{transparent(), Theme::level(), selected, mark, hovering};
}

QColor QuestionBodyState::optionFillColor(bool selected, int feedback) const
{
    return QuestionBodyRules::optionFillColor(look(selected, feedback, false));
}

QColor QuestionBodyState::optionBorderColor(bool selected, int feedback, bool hovering) const
{
    return QuestionBodyRules::optionBorderColor(look(selected, feedback, hovering));
}

QColor QuestionBodyState::optionLetterColor(bool selected, int feedback, bool hovering) const
{
    return QuestionBodyRules::optionLetterColor(look(selected, feedback, hovering));
}

QColor QuestionBodyState::optionRowFillColor(bool selected, int feedback) const
{
    return QuestionBodyRules::optionRowFillColor(look(selected, feedback, false));
}

QColor QuestionBodyState::optionFeedbackColor(int feedback) const
{
    const OptionLook l = look(false, feedback, false);
    return QuestionBodyRules::optionFeedbackColor(l.feedback, l.transparent, l.level);
}
