#include "ExamSettingsDraft.h"

#include "KeyCaptureRules.h"
#include "app/AppModel.h"

ExamSettingsDraft::ExamSettingsDraft(QObject *parent)
    : KeyCaptureHandler(parent)
{
    m_answerKeys.update(m_shortcuts, m_capturing);
}

void ExamSettingsDraft::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    m_model = model;
    if (model) {
        m_selectedMode = model->examMode();
        m_selectedQuestionCount = model->examQuestionCount();
        QuestionKeyboardShortcuts shortcuts = model->questionKeyboardShortcuts();
        if (!shortcuts.isValid()) {
            const bool enabled = shortcuts.enabled;
            shortcuts = QuestionKeyboardShortcuts::defaultValue();
            shortcuts.enabled = enabled;
        }
        setShortcuts(shortcuts);
        Q_EMIT selectedModeChanged();
        Q_EMIT selectedQuestionCountChanged();
    }
    Q_EMIT modelChanged();
}

QString ExamSettingsDraft::questionCountText() const
{
    return QStringLiteral("%1 道").arg(m_selectedQuestionCount);
}

void ExamSettingsDraft::setShortcutsEnabled(bool enabled)
{
    if (m_shortcuts.enabled == enabled)
        return;
    QuestionKeyboardShortcuts shortcuts = m_shortcuts;
    shortcuts.enabled = enabled;
    setShortcuts(shortcuts);
}

int ExamSettingsDraft::capturingActionValue() const
{
    return m_capturing ? int(QuestionShortcutActions::allCases().indexOf(*m_capturing)) : -1;
}

int ExamSettingsDraft::questionCountOptionCount() const
{
    return int(AppModel::examQuestionCountOptions().size());
}

int ExamSettingsDraft::questionCountOption(int index) const
{
    const QList<qint64> &options = AppModel::examQuestionCountOptions();
    return index >= 0 && index < options.size() ? int(options.at(index)) : 0;
}

void ExamSettingsDraft::chooseMode(int mode)
{
    const std::optional<ExamMode> chosen = ExamModes::fromRawValue(mode);
    if (!chosen || *chosen == m_selectedMode)
        return;
    m_selectedMode = *chosen;
    Q_EMIT selectedModeChanged();
}

void ExamSettingsDraft::chooseQuestionCount(int count)
{
    if (!AppModel::examQuestionCountOptions().contains(count) || count == m_selectedQuestionCount)
        return;
    m_selectedQuestionCount = count;
    Q_EMIT selectedQuestionCountChanged();
}

void ExamSettingsDraft::startCapture(int action)
{
    const QList<QuestionShortcutAction> actions = QuestionShortcutActions::allCases();
    if (action < 0 || action >= actions.size())
        return;
    setShortcutError(std::nullopt);
    claimCapture();
    setCapturing(actions.at(action));
}

void ExamSettingsDraft::restoreDefaultKeys()
{
    QuestionKeyboardShortcuts shortcuts = QuestionKeyboardShortcuts::defaultValue();
    shortcuts.enabled = m_shortcuts.enabled;
    setShortcuts(shortcuts);
    setCapturing(std::nullopt);
    setShortcutError(std::nullopt);
}

bool ExamSettingsDraft::confirm()
{
    if (!m_model)
        return false;
    const bool applied = m_model->updateExamSettings(m_selectedMode, m_selectedQuestionCount, m_shortcuts);
    const QString message = applied ? QString() : refusedMessage;
    if (message != m_confirmError) {
        m_confirmError = message;
        Q_EMIT confirmErrorChanged();
    }
    if (applied)
        setCapturing(std::nullopt);
    return applied;
}

void ExamSettingsDraft::handleCapturedKey(const KeyEventInfo &event)
{
    const AnswerKeyCaptureResult result = AnswerKeyCapture::decide(event, m_capturing, m_shortcuts);
    switch (result.outcome) {
    case AnswerKeyCaptureResult::Outcome::passThrough:
    case AnswerKeyCaptureResult::Outcome::ignored:
        return;
    case AnswerKeyCaptureResult::Outcome::cancelled:
        setCapturing(std::nullopt);
        setShortcutError(std::nullopt);
        return;
    case AnswerKeyCaptureResult::Outcome::refused:
    case AnswerKeyCaptureResult::Outcome::conflict:
        setShortcutError(result.error);
        return;
    case AnswerKeyCaptureResult::Outcome::bound:
        setShortcuts(result.shortcuts);
        setCapturing(std::nullopt);
        setShortcutError(std::nullopt);
        return;
    }
}

void ExamSettingsDraft::cancelCapture()
{
    setCapturing(std::nullopt);
}

void ExamSettingsDraft::setCapturing(std::optional<QuestionShortcutAction> action)
{
    if (!action)
        releaseCapture();
    if (m_capturing == action)
        return;
    m_capturing = action;
    m_answerKeys.update(m_shortcuts, m_capturing);
    Q_EMIT capturingChanged();
}

void ExamSettingsDraft::setShortcuts(const QuestionKeyboardShortcuts &shortcuts)
{
    if (m_shortcuts == shortcuts)
        return;
    m_shortcuts = shortcuts;
    m_answerKeys.update(m_shortcuts, m_capturing);
    Q_EMIT shortcutsChanged();
}

void ExamSettingsDraft::setShortcutError(const std::optional<QString> &error)
{
    if (m_shortcutError == error)
        return;
    m_shortcutError = error;
    Q_EMIT shortcutErrorChanged();
}
