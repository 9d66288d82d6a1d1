#include "ReportController.h"

#include "QuestionResult.h"
#include "app/AppModel.h"
#include "app/TransparentAppearanceScale.h"
#include "models/LenientJson.h"

#include <algorithm>

ReportController::ReportController(QObject *parent)
    : QObject(parent)
    , m_grid(new AnswerCircleModel(this))
{
    connect(&TransparentAppearanceScale::shared(), &TransparentAppearanceScale::currentValueChanged, this,
            &ReportController::changed);
}

ReportController::~ReportController() = default;

void ReportController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (m_model) {
        connect(m_model, &AppModel::reportChanged, this, &ReportController::reportChanged);
        connect(m_model, &AppModel::reportFromHistoryChanged, this, &ReportController::changed);
        connect(m_model, &AppModel::studyTransparencyEnabledChanged, this, &ReportController::changed);
    }
    Q_EMIT modelChanged();
    reportChanged();
}

void ReportController::reportChanged()
{
    const auto &report = m_model ? m_model->report() : std::optional<HistoryReport>();
    m_grid->setQuestions(report ? report->questionList : QList<Question>{},
                         [](const Question &question) { return int(QuestionResult::status(question)); });
    Q_EMIT changed();
}

bool ReportController::hasReport() const
{
    return m_model && m_model->report().has_value();
}

QString ReportController::backLabel() const
{
    return m_model && m_model->reportFromHistory() ? QStringLiteral("练习历史") : QStringLiteral("返回首页");
}

QString ReportController::title() const
{
    return hasReport() ? m_model->report()->title : QString();
}

QString ReportController::summary() const
{
    if (!hasReport())
        return {};
    const HistoryReport &report = *m_model->report();
    const qint64 total = report.rightNum + report.wrongNum + report.unAnswerNum;
    return QStringLiteral("本次练习共 %1 题，用时 %2").arg(total).arg(formattedDuration(report.useTime));
}

int ReportController::rightRate() const
{
    return hasReport() ? int(m_model->report()->rightRate()) : 0;
}

qint64 ReportController::rightNum() const
{
    return hasReport() ? m_model->report()->rightNum : 0;
}

qint64 ReportController::wrongNum() const
{
    return hasReport() ? m_model->report()->wrongNum : 0;
}

qint64 ReportController::unAnswerNum() const
{
    return hasReport() ? m_model->report()->unAnswerNum : 0;
}

bool ReportController::hasWrongAnswers() const
{
    return wrongNum() + unAnswerNum() > 0;
}

bool ReportController::transparent() const
{
    return m_model && m_model->studyTransparencyEnabled();
}

double ReportController::statusOpacity() const
{
    if (!transparent())
        return 1.0;
    return std::min(1.0, 0.55 * std::max(1.0, TransparentAppearanceScale::currentValue()));
}

double ReportController::neutralOpacity() const
{
    return std::clamp(TransparentAppearanceScale::currentValue() * 0.22, 0.0, 1.0);
}

QString ReportController::formattedDuration(const QString &useTime)
{
    const qint64 seconds = LenientJson::decimalIntegerParse(useTime).value_or(0);
    if (seconds >= 60) {
        const qint64 minutes = seconds / 60;
        return QStringLiteral("%1分%2秒").arg(minutes).arg(seconds - minutes * 60);
    }
    return QStringLiteral("%1秒").arg(seconds);
}

void ReportController::back()
{
    if (!m_model)
        return;
    // Read before backToHome() clears it.
    const bool fromHistory = m_model->reportFromHistory();
    m_model->backToHome();
    if (fromHistory)
        m_model->showPracticeHistory();
}

void ReportController::openQuestion(int index)
{
    if (!m_model || !m_model->report())
        return;
    m_model->showAnalysis(false);
    if (index >= 0 && index < m_model->analysisQuestions().size())
        m_model->setCurrentAnalysisIndex(index);
}

void ReportController::showAllAnalysis()
{
    if (m_model)
        m_model->showAnalysis(false);
}

void ReportController::showWrongAnalysis()
{
    if (m_model)
        m_model->showAnalysis(true);
}
