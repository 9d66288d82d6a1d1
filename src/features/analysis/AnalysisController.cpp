#include "AnalysisController.h"
#include "QuestionBodyRules.h"

#include "QuestionResult.h"
#include "QuestionScreenRules.h"
#include "Theme.h"
#include "app/AppModel.h"
#include "app/TransparentAppearanceScale.h"
#include "platform/UserDefaults.h"

#include <algorithm>
#include <cmath>

AnalysisController::AnalysisController(QObject *parent)
    : QObject(parent)
    , m_navigator(new AnswerCircleModel(this))
    , m_options(new AnalysisOptionListModel(this))
{
    connect(&TransparentAppearanceScale::shared(), &TransparentAppearanceScale::currentValueChanged, this,
            &AnalysisController::changed);
}

AnalysisController::~AnalysisController() = default;

void AnalysisController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        connect(m_model, &AppModel::analysisQuestionsChanged, this, &AnalysisController::listChanged);
        connect(m_model, &AppModel::analysisFromCollectionsChanged, this, &AnalysisController::listChanged);
        connect(m_model, &AppModel::analysisMaterialsChanged, this, &AnalysisController::refreshCurrent);
        connect(m_model, &AppModel::currentAnalysisIndexChanged, this, &AnalysisController::indexChanged);
        connect(m_model, &AppModel::studyTransparencyEnabledChanged, this, &AnalysisController::changed);
        connect(m_model, &AppModel::selectedExamBankChanged, this, &AnalysisController::changed);
        connect(m_model, &AppModel::collectionOverridesChanged, this, &AnalysisController::changed);
        connect(m_model, &AppModel::collectionRequestsChanged, this, &AnalysisController::changed);
    }
    Q_EMIT modelChanged();
    listChanged();
}

void AnalysisController::listChanged()
{
    const bool fromCollections = m_model && m_model->analysisFromCollections();
    m_navigator->setQuestions(m_model ? m_model->analysisQuestions() : QList<Question>{},
                              [fromCollections](const Question &question) {
                                  return int(QuestionResult::status(question, fromCollections));
                              });
    indexChanged();
}

void AnalysisController::indexChanged()
{
    m_navigator->setCurrentIndex(m_model ? m_model->currentAnalysisIndex() : -1);
    refreshCurrent();
}

void AnalysisController::refreshCurrent()
{
    const std::optional<Question> next = m_model ? m_model->currentAnalysisQuestion() : std::nullopt;
    const bool sameQuestion = next.has_value() == m_current.has_value() && (!next || next->id == m_current->id);
    m_current = next;
    m_material = next ? QuestionScreenRules::materialFor(*next, m_model->analysisMaterials()) : std::nullopt;
    if (!sameQuestion) {
        // The content views keep their last heights until the new page reports.
        ++m_contentGeneration;
        Q_EMIT contentGenerationChanged();
    }
    // The pane takes the new question's key first, then its option rows: a
    // pane shrinking under the old key would overwrite that key's position.
    Q_EMIT changed();
    if (m_current)
        m_options->setQuestion(*m_current, fromCollections());
    else
        m_options->clear();
}

// ---- header and navigation ---------------------------------------------------

bool AnalysisController::fromCollections() const
{
    return m_model && m_model->analysisFromCollections();
}

QString AnalysisController::backLabel() const
{
    return fromCollections() ? QStringLiteral("我的收藏") : QStringLiteral("练习报告");
}

QString AnalysisController::title() const
{
    return fromCollections() ? QStringLiteral("收藏题目") : QStringLiteral("题目解析");
}

QString AnalysisController::navigatorTitle() const
{
    return fromCollections() ? QStringLiteral("收藏题目") : QStringLiteral("解析题目");
}

QString AnalysisController::progressText() const
{
    const qsizetype count = m_model ? m_model->analysisQuestions().size() : 0;
    if (count == 0)
        return QStringLiteral("0 / 0");
    return QStringLiteral("%1 / %2").arg(m_model->currentAnalysisIndex() + 1).arg(count);
}

int AnalysisController::currentIndex() const
{
    return m_model ? int(m_model->currentAnalysisIndex()) : 0;
}

bool AnalysisController::canMovePrevious() const
{
    return m_model && m_model->currentAnalysisIndex() != 0;
}

bool AnalysisController::canMoveNext() const
{
    return m_model && m_model->currentAnalysisIndex() < m_model->analysisQuestions().size() - 1;
}

// ---- the current question ----------------------------------------------------

QString AnalysisController::questionId() const
{
    return m_current ? m_current->id : QString();
}

QString AnalysisController::typeTag() const
{
    if (!m_current)
        return {};
    switch (m_current->questionType) {
    case QuestionType::single:
        return QStringLiteral("单选题");
    case QuestionType::multiple:
        return QStringLiteral("多选题");
    case QuestionType::answer:
        return QStringLiteral("简答题");
    }
    return {};
}

bool AnalysisController::hasSource() const
{
    return m_current && !m_current->questionFrom.isEmpty();
}

QString AnalysisController::sourceText() const
{
    return hasSource() ? QStringLiteral("来源：") + m_current->questionFrom : QString();
}

QString AnalysisController::source() const
{
    return m_current ? m_current->questionFrom : QString();
}

QString AnalysisController::stemHtml() const
{
    return m_current ? m_current->context : QString();
}

QString AnalysisController::analysisHtml() const
{
    return m_current ? QuestionBodyRules::analysisHtml(m_current->analysis) : QString();
}

bool AnalysisController::showsResultCard() const
{
    return m_current && m_current->questionType != QuestionType::answer;
}

QString AnalysisController::correctAnswerText() const
{
    if (!m_current)
        return {};
    return m_current->answer.isEmpty() ? QStringLiteral("—") : m_current->answer;
}

bool AnalysisController::showsUserAnswer() const
{
    return !fromCollections();
}

QString AnalysisController::userAnswerText() const
{
    if (!m_current)
        return {};
    return m_current->userAnswer.isEmpty() ? QStringLiteral("未作答") : m_current->userAnswer;
}

bool AnalysisController::userAnswerCorrect() const
{
    return m_current && m_current->isCorrect(m_current->userAnswer);
}

bool AnalysisController::isGraphicReasoning() const
{
    return m_current && m_model && m_model->isGraphicReasoningQuestion(*m_current);
}

bool AnalysisController::questionIsCollect() const
{
    return m_current && m_current->isCollect;
}

// ---- material ---------------------------------------------------------------------

QString AnalysisController::materialId() const
{
    return m_material ? m_material->id : QString();
}

QString AnalysisController::materialTitle() const
{
    return m_material ? m_material->title : QString();
}

QString AnalysisController::materialHtml() const
{
    return m_material ? m_material->context : QString();
}

// ---- look ---------------------------------------------------------------------------

bool AnalysisController::transparent() const
{
    return m_model && m_model->studyTransparencyEnabled();
}

double AnalysisController::raised(double base) const
{
    return Theme::levelBoosted(base, TransparentAppearanceScale::currentValue());
}

double AnalysisController::htmlTextOpacity() const
{
    return transparent() ? 1.0 : 0.86;
}

double AnalysisController::stemImageOpacity() const
{
    return transparent() ? raised(0.68) : 1.0;
}

double AnalysisController::analysisImageOpacity() const
{
    const bool subjective = m_current && m_current->questionType == QuestionType::answer;
    return transparent() && subjective ? raised(0.68) : 1.0;
}

double AnalysisController::verdictOpacity() const
{
    return transparent() ? raised(0.72) : 1.0;
}

double AnalysisController::headingIconOpacity() const
{
    return transparent() ? raised(0.83) : 1.0;
}

// ---- heights --------------------------------------------------------------------------

double AnalysisController::questionFrameHeight() const
{
    return std::max(80.0, m_questionContentHeight);
}

double AnalysisController::analysisFrameHeight() const
{
    return std::max(40.0, m_analysisContentHeight);
}

void AnalysisController::reportQuestionHeight(int generation, double height)
{
    if (generation != m_contentGeneration || !std::isfinite(height) || height < 0)
        return;
    m_questionContentHeight = height;
    Q_EMIT heightsChanged();
}

void AnalysisController::reportAnalysisHeight(int generation, double height)
{
    if (generation != m_contentGeneration || !std::isfinite(height) || height < 0)
        return;
    m_analysisContentHeight = height;
    Q_EMIT heightsChanged();
}

// ---- navigator column ---------------------------------------------------------------

bool AnalysisController::answerCardCollapsed() const
{
    const UserDefaults &defaults = UserDefaults::standard();
    return defaults.contains(answerCardCollapsedKey) ? defaults.boolean(answerCardCollapsedKey) : true;
}

void AnalysisController::setAnswerCardCollapsed(bool collapsed)
{
    UserDefaults::standard().setValue(answerCardCollapsedKey, collapsed);
    Q_EMIT answerCardCollapsedChanged();
}

QString AnalysisController::handleTooltip() const
{
    return answerCardCollapsed() ? QStringLiteral("展开答题卡") : QStringLiteral("收起答题卡");
}

void AnalysisController::toggleAnswerCard()
{
    setAnswerCardCollapsed(!answerCardCollapsed());
}

// ---- actions --------------------------------------------------------------------------

void AnalysisController::back()
{
    if (m_model)
        m_model->setScreen(fromCollections() ? AppScreen::collections : AppScreen::report);
}

void AnalysisController::moveBy(int step)
{
    if (m_model)
        m_model->moveAnalysis(step);
}

void AnalysisController::select(int index)
{
    if (m_model && index >= 0 && index < m_model->analysisQuestions().size())
        m_model->setCurrentAnalysisIndex(index);
}

bool AnalysisController::finishSwipe(double dx, double dy)
{
    const int step = SwipeRule::step(dx, dy);
    if (step == 0 || !m_model)
        return false;
    const qint64 before = m_model->currentAnalysisIndex();
    m_model->moveAnalysis(step);
    return m_model->currentAnalysisIndex() != before;
}

bool AnalysisController::wheelSwipe(double dx, double dy, qint64 timestampMilliseconds)
{
    const int step = m_wheel.feed(dx, dy, timestampMilliseconds);
    if (step == 0 || !m_model)
        return false;
    const qint64 before = m_model->currentAnalysisIndex();
    m_model->moveAnalysis(step);
    return m_model->currentAnalysisIndex() != before;
}
