#include "QuestionScreenController.h"

#include "QuestionScreenRules.h"
#include "SwipeRule.h"
#include "app/AppModel.h"
#include "platform/UserDefaults.h"

#include <QTimer>

namespace Rules = QuestionScreenRules;

namespace {

QList<Material> materialsOf(const AppModel &model)
{
    return model.questionModel() ? model.questionModel()->materialsList : QList<Material>();
}

// The answer card shows only whether a question has an answer.
AnswerCircleModel::StatusOf cardStatusOf(const AppModel *model)
{
    return [model](const Question &question) {
        return model && model->isQuestionAnswered(question) ? AnswerCircleModel::Answered : AnswerCircleModel::Open;
    };
}

} // namespace

QuestionScreenController::QuestionScreenController(QObject *parent)
    : QuestionScreenController(UserDefaults::standard(), parent)
{
}

QuestionScreenController::QuestionScreenController(UserDefaults &defaults, QObject *parent)
    : QObject(parent)
    , m_defaults(&defaults)
    , m_pages(this)
    , m_answerCard(this)
{
    // First launch: the card starts collapsed.
    m_answerCardCollapsed = defaults.contains(answerCardCollapsedKey) ? defaults.boolean(answerCardCollapsedKey) : true;
}

void QuestionScreenController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    for (const auto &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_model = model;
    connectModel();
    rebuild();
    Q_EMIT modelChanged();
}

void QuestionScreenController::connectModel()
{
    if (!m_model)
        return;
    AppModel *m = m_model;
    // A new set arrives before its index: rebuild once both are in.
    m_connections << connect(m, &AppModel::questionsChanged, this, &QuestionScreenController::setRebuildPending);
    m_connections << connect(m, &AppModel::currentQuestionIndexChanged, this,
                             &QuestionScreenController::followCurrentIndex);
    m_connections << connect(m, &AppModel::answersChanged, this, &QuestionScreenController::followAnswers);
    m_connections << connect(m, &AppModel::revealedQuestionIDsChanged, this, &QuestionScreenController::followAnswers);
    for (auto signal : {&AppModel::examModeChanged, &AppModel::selectedExamBankChanged,
                        &AppModel::isExportingPDFChanged, &AppModel::practiceProgressChanged})
        m_connections << connect(m, signal, this, &QuestionScreenController::changed);
    m_connections << connect(m, &QObject::destroyed, this, [this] { rebuild(); });
}

void QuestionScreenController::setRebuildPending()
{
    if (m_rebuildPending)
        return;
    m_rebuildPending = true;
    QTimer::singleShot(0, this, [this] {
        if (m_rebuildPending)
            rebuild();
    });
}

void QuestionScreenController::rebuild()
{
    m_rebuildPending = false;
    if (!m_model) {
        m_pages.resetWindow({}, {});
        m_answerCard.setQuestions({}, cardStatusOf(nullptr), AnswerCircleModel::Introductions::Skipped);
        m_answerCard.setCurrentIndex(-1);
        Q_EMIT changed();
        return;
    }
    const AppModel &m = *m_model;
    m_pages.resetWindow(m.questions(), Rules::visibleNormalQuestionIndices(m.questions(), m.currentQuestionIndex(),
                                                                             materialsOf(m)));
    m_answerCard.setQuestions(m.questions(), cardStatusOf(&m), AnswerCircleModel::Introductions::Skipped);
    m_answerCard.setCurrentIndex(m.currentQuestionIndex());
    Q_EMIT changed();
}

void QuestionScreenController::followCurrentIndex()
{
    if (!m_model || m_rebuildPending)
        return;
    const AppModel &m = *m_model;
    m_pages.moveWindow(Rules::visibleNormalQuestionIndices(m.questions(), m.currentQuestionIndex(), materialsOf(m)));
    m_answerCard.setCurrentIndex(m.currentQuestionIndex());
    Q_EMIT changed();
}

void QuestionScreenController::followAnswers()
{
    if (!m_model || m_rebuildPending)
        return;
    const AppModel &m = *m_model;
    m_answerCard.refreshStatuses(cardStatusOf(&m));
    Q_EMIT changed();
}

bool QuestionScreenController::hasCurrentQuestion() const
{
    return m_model && m_model->currentQuestion().has_value();
}

int QuestionScreenController::currentIndex() const
{
    return m_model ? int(m_model->currentQuestionIndex()) : 0;
}

QString QuestionScreenController::currentMaterialId() const
{
    if (!m_model)
        return {};
    const auto question = m_model->currentQuestion();
    const auto material = question ? Rules::materialFor(*question, materialsOf(*m_model)) : std::nullopt;
    // The trimmed id: questions of one material share one view.
    return material ? material->id.trimmed() : QString();
}

QString QuestionScreenController::currentMaterialTitle() const
{
    if (!m_model)
        return {};
    const auto question = m_model->currentQuestion();
    const auto material = question ? Rules::materialFor(*question, materialsOf(*m_model)) : std::nullopt;
    return material ? material->title : QString();
}

QString QuestionScreenController::currentMaterialContent() const
{
    if (!m_model)
        return {};
    const auto question = m_model->currentQuestion();
    const auto material = question ? Rules::materialFor(*question, materialsOf(*m_model)) : std::nullopt;
    return material ? material->context : QString();
}

QString QuestionScreenController::currentStem() const
{
    const auto question = m_model ? m_model->currentQuestion() : std::nullopt;
    return question ? question->context : QString();
}

bool QuestionScreenController::currentIsSectionIntro() const
{
    const auto question = m_model ? m_model->currentQuestion() : std::nullopt;
    return question && question->sectionIntro;
}

QString QuestionScreenController::title() const
{
    return Rules::title(m_model ? m_model->selectedMenu() : std::nullopt);
}

QString QuestionScreenController::modeLabel() const
{
    return Rules::modeLabel(m_model ? m_model->examMode() : ExamMode::practice);
}

QString QuestionScreenController::progressText() const
{
    if (!m_model)
        return Rules::progressText(false, 0, 0);
    return Rules::progressText(currentIsSectionIntro(), m_model->currentAnswerableQuestionNumber(),
                               m_model->answerableQuestionCount());
}

double QuestionScreenController::progressFraction() const
{
    if (!m_model)
        return 0;
    return Rules::progressFraction(
        Rules::answerableQuestionsBeforeCurrent(m_model->questions(), m_model->currentQuestionIndex()),
        m_model->answerableQuestionCount());
}

bool QuestionScreenController::exportVisible() const
{
    return m_model && m_model->isXingCeBank();
}

bool QuestionScreenController::exportEnabled() const
{
    return m_model && !m_model->isExportingPDF() && m_model->answerableQuestionCount() > 0;
}

QString QuestionScreenController::answeredCountText() const
{
    return m_model ? Rules::answeredCountText(m_model->answeredCount(), m_model->answerableQuestionCount())
                   : Rules::answeredCountText(0, 0);
}

bool QuestionScreenController::canGoPrevious() const
{
    return m_model && m_model->currentQuestionIndex() > 0;
}

bool QuestionScreenController::canGoNext() const
{
    return m_model && m_model->currentQuestionIndex() < m_model->questions().size() - 1;
}

void QuestionScreenController::setAnswerCardCollapsed(bool value)
{
    m_answerCardCollapsed = value;
    m_defaults->setValue(answerCardCollapsedKey, value);
    Q_EMIT answerCardCollapsedChanged();
}

QString QuestionScreenController::submitConfirmationMessage() const
{
    return m_model ? Rules::submitConfirmationMessage(m_model->answerableQuestionCount(), m_model->answeredCount())
                   : Rules::submitConfirmationMessage(0, 0);
}

void QuestionScreenController::goBack()
{
    if (!m_model || m_model->isExportingPDF())
        return;
    // The submission's outcome (the report) must not be pulled away from under it.
    if (m_model->isSubmittingPractice())
        return;
    const bool fromHistory = m_model->activeHistoryRecordID().has_value();
    m_model->backToHome();
    if (fromHistory)
        m_model->showPracticeHistory();
}

void QuestionScreenController::swipe(double dx, double dy)
{
    if (const int step = SwipeRule::step(dx, dy); step != 0 && m_model)
        m_model->moveQuestion(step);
}

void QuestionScreenController::move(int offset)
{
    if (m_model)
        m_model->moveQuestion(offset);
}

void QuestionScreenController::jumpTo(int sourceIndex)
{
    if (!m_model || sourceIndex < 0 || sourceIndex >= m_model->questions().size())
        return;
    m_model->setCurrentQuestionIndex(sourceIndex);
}

void QuestionScreenController::submit()
{
    if (m_model)
        m_model->startSubmitPractice();
}

bool QuestionScreenController::isGraphicReasoning(int questionIndex) const
{
    if (!m_model || questionIndex < 0 || questionIndex >= m_model->questions().size())
        return false;
    return m_model->isGraphicReasoningQuestion(m_model->questions().at(questionIndex));
}

int QuestionScreenController::numberFill(bool transparent, bool current, bool answered)
{
    return int(Rules::numberFill(transparent, current, answered));
}

int QuestionScreenController::numberText(bool transparent, bool current)
{
    return int(Rules::numberText(transparent, current));
}

int QuestionScreenController::numberStroke(bool transparent, bool current)
{
    return int(Rules::numberStroke(transparent, current));
}

QString QuestionScreenController::sectionCountText(int count)
{
    return Rules::sectionCountText(count);
}

QString QuestionScreenController::sectionDescriptionText(const QString &description)
{
    return Rules::sectionDescriptionText(description);
}
