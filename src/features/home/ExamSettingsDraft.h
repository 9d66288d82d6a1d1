#pragma once

#include "AnswerKeyList.h"
#include "KeyCaptureHandler.h"
#include "models/ExamMode.h"
#include "models/QuestionKeyboardShortcuts.h"

#include <QPointer>
#include <QtQml/qqmlregistration.h>
#include <optional>

#include "app/AppModel.h"

// The practice settings panel's working copy: answer mode, questions per
// set, single-key answering and its keys, the key being captured and the
// message under the keys. Made afresh each time the panel opens, from the
// model's values of that moment; the model changes only on confirm().
class ExamSettingsDraft : public KeyCaptureHandler
{
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)
    Q_PROPERTY(int selectedMode READ selectedModeValue NOTIFY selectedModeChanged)
    Q_PROPERTY(int selectedQuestionCount READ selectedQuestionCount NOTIFY selectedQuestionCountChanged)
    Q_PROPERTY(QString questionCountText READ questionCountText NOTIFY selectedQuestionCountChanged)
    Q_PROPERTY(bool shortcutsEnabled READ shortcutsEnabled WRITE setShortcutsEnabled NOTIFY shortcutsChanged)
    // The action being captured (its index in A, B, C, D, confirm), -1 for none.
    Q_PROPERTY(int capturingAction READ capturingActionValue NOTIFY capturingChanged)
    Q_PROPERTY(QString shortcutError READ shortcutErrorText NOTIFY shortcutErrorChanged)
    Q_PROPERTY(bool hasShortcutError READ hasShortcutError NOTIFY shortcutErrorChanged)
    // Why "确定" did not apply; empty when it did or was not pressed.
    Q_PROPERTY(QString confirmError READ confirmError NOTIFY confirmErrorChanged)
    Q_PROPERTY(AnswerKeyList *answerKeys READ answerKeys CONSTANT)
    Q_PROPERTY(int questionCountOptionCount READ questionCountOptionCount CONSTANT)

public:
    static inline const QString footerHint = QStringLiteral("点击按键按钮后，按下新的单键；Esc 取消");
    static inline const QString refusedMessage = QStringLiteral("设置未能保存：答题键或每组数量无效，请检查后再试");

    explicit ExamSettingsDraft(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    // Takes the model's current settings; a stored key set that is not valid
    // is replaced by the default keys (its on/off switch kept), so "确定"
    // is never blocked by keys the user cannot see are wrong.
    void setModel(AppModel *model);

    [[nodiscard]] ExamMode selectedMode() const { return m_selectedMode; }
    [[nodiscard]] int selectedModeValue() const { return ExamModes::rawValue(m_selectedMode); }
    [[nodiscard]] int selectedQuestionCount() const { return int(m_selectedQuestionCount); }
    [[nodiscard]] QString questionCountText() const;
    [[nodiscard]] const QuestionKeyboardShortcuts &shortcuts() const { return m_shortcuts; }
    [[nodiscard]] bool shortcutsEnabled() const { return m_shortcuts.enabled; }
    void setShortcutsEnabled(bool enabled);
    [[nodiscard]] std::optional<QuestionShortcutAction> capturingAction() const { return m_capturing; }
    [[nodiscard]] int capturingActionValue() const;
    [[nodiscard]] const std::optional<QString> &shortcutError() const { return m_shortcutError; }
    [[nodiscard]] QString shortcutErrorText() const { return m_shortcutError.value_or(QString()); }
    [[nodiscard]] bool hasShortcutError() const { return m_shortcutError.has_value(); }
    [[nodiscard]] QString confirmError() const { return m_confirmError; }
    [[nodiscard]] AnswerKeyList *answerKeys() { return &m_answerKeys; }
    [[nodiscard]] int questionCountOptionCount() const;

    Q_INVOKABLE void chooseMode(int mode);
    Q_INVOKABLE void chooseQuestionCount(int count);
    Q_INVOKABLE [[nodiscard]] int questionCountOption(int index) const;
    // A key button: clears the message, then captures that action.
    Q_INVOKABLE void startCapture(int action);
    // "恢复默认": the default keys with the switch as it was; ends a capture.
    Q_INVOKABLE void restoreDefaultKeys();
    // "确定": hands the three values to the model. True when the model took
    // them (the panel closes); false leaves the panel open with confirmError.
    Q_INVOKABLE bool confirm();

    [[nodiscard]] bool isCapturing() const override { return m_capturing.has_value(); }
    void handleCapturedKey(const KeyEventInfo &event) override;
    void cancelCapture() override;

Q_SIGNALS:
    void modelChanged();
    void selectedModeChanged();
    void selectedQuestionCountChanged();
    void shortcutsChanged();
    void capturingChanged();
    void shortcutErrorChanged();
    void confirmErrorChanged();

private:
    void setCapturing(std::optional<QuestionShortcutAction> action);
    void setShortcuts(const QuestionKeyboardShortcuts &shortcuts);
    void setShortcutError(const std::optional<QString> &error);

    QPointer<AppModel> m_model;
    ExamMode m_selectedMode = ExamMode::practice;
    qint64 m_selectedQuestionCount = 5;
    QuestionKeyboardShortcuts m_shortcuts;
    std::optional<QuestionShortcutAction> m_capturing;
    std::optional<QString> m_shortcutError;
    QString m_confirmError;
    AnswerKeyList m_answerKeys;
};
