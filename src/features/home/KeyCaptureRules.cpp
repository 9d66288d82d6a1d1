#include "KeyCaptureRules.h"

namespace AnswerKeyCapture {

QString actionTitle(QuestionShortcutAction action)
{
    switch (action) {
    case QuestionShortcutAction::optionA:
        return QStringLiteral("选项 A");
    case QuestionShortcutAction::optionB:
        return QStringLiteral("选项 B");
    case QuestionShortcutAction::optionC:
        return QStringLiteral("选项 C");
    case QuestionShortcutAction::optionD:
        return QStringLiteral("选项 D");
    case QuestionShortcutAction::confirm:
        return QStringLiteral("确认");
    }
    return {};
}

QString actionCaption(QuestionShortcutAction action)
{
    switch (action) {
    case QuestionShortcutAction::optionA:
        return QStringLiteral("A");
    case QuestionShortcutAction::optionB:
        return QStringLiteral("B");
    case QuestionShortcutAction::optionC:
        return QStringLiteral("C");
    case QuestionShortcutAction::optionD:
        return QStringLiteral("D");
    case QuestionShortcutAction::confirm:
        return QStringLiteral("确认");
    }
    return {};
}

QString conflictMessage(QuestionShortcutAction holder)
{
    return QStringLiteral("该按键已用于") + actionTitle(holder);
}

AnswerKeyCaptureResult decide(const KeyEventInfo &event, std::optional<QuestionShortcutAction> capturing,
                              const QuestionKeyboardShortcuts &shortcuts)
{
    AnswerKeyCaptureResult result;
    result.shortcuts = shortcuts;
    if (!capturing)
        return result;
    result.consumed = true;

    if (event.keyCode == KeyCode::Escape) {
        result.outcome = AnswerKeyCaptureResult::Outcome::cancelled;
        return result;
    }
    // Shift or Ctrl on its way to a combination: wait for the key itself.
    if (event.isModifierKey) {
        result.outcome = AnswerKeyCaptureResult::Outcome::ignored;
        return result;
    }
    const std::optional<QString> key = QuestionShortcutKey::identifier(event);
    if (!key) {
        result.outcome = AnswerKeyCaptureResult::Outcome::refused;
        result.error = modifierMessage;
        return result;
    }
    for (const QuestionShortcutAction action : QuestionShortcutActions::allCases()) {
        if (action == *capturing)
            continue;
        if (shortcuts.effectiveBinding(action) == *key) {
            result.outcome = AnswerKeyCaptureResult::Outcome::conflict;
            result.error = conflictMessage(action);
            return result;
        }
    }
    result.shortcuts.bindings.insert(*capturing, *key);
    result.outcome = AnswerKeyCaptureResult::Outcome::bound;
    return result;
}

} // namespace AnswerKeyCapture

namespace HotKeyRecording {

std::optional<QString> keyName(const KeyEventInfo &event)
{
    switch (event.keyCode) {
    case KeyCode::Return:
    case KeyCode::KeypadEnter:
        return QStringLiteral("Enter");
    case KeyCode::Space:
        return QStringLiteral("Space");
    case KeyCode::LeftArrow:
        return QStringLiteral("←");
    case KeyCode::RightArrow:
        return QStringLiteral("→");
    case KeyCode::DownArrow:
        return QStringLiteral("↓");
    case KeyCode::UpArrow:
        return QStringLiteral("↑");
    default:
        break;
    }
    const QString characters = event.charactersIgnoringModifiers;
    if (characters.isEmpty())
        return std::nullopt;
    const char16_t first = characters.at(0).unicode();
    // Function and navigation keys report private-use characters: name them
    // rather than put an unreadable glyph into the label.
    if (first >= FunctionKeyCharacter::F1 && first < FunctionKeyCharacter::F1 + 35)
        return QStringLiteral("F%1").arg(int(first - FunctionKeyCharacter::F1) + 1);
    switch (first) {
    case FunctionKeyCharacter::Home:
        return QStringLiteral("Home");
    case FunctionKeyCharacter::End:
        return QStringLiteral("End");
    case FunctionKeyCharacter::PageUp:
        return QStringLiteral("PgUp");
    case FunctionKeyCharacter::PageDown:
        return QStringLiteral("PgDn");
    default:
        break;
    }
    if (first >= 0xE000 && first <= 0xF8FF)
        return std::nullopt;
    for (const QChar c : characters) {
        if (c.category() == QChar::Other_Control || c.isSpace())
            return std::nullopt;
    }
    return characters.toUpper();
}

HotKeyRecordingResult decide(const KeyEventInfo &event)
{
    using Flag = KeyEventInfo::ModifierFlag;
    HotKeyRecordingResult result;
    if (event.keyCode == KeyCode::Escape) {
        result.outcome = HotKeyRecordingResult::Outcome::cancelled;
        return result;
    }
    if (event.isRepeat || event.isModifierKey) {
        result.outcome = HotKeyRecordingResult::Outcome::ignored;
        return result;
    }

    // The stored symbols and mask keep the platform-neutral form of the
    // stored record; the row shows the Linux names (WindowShortcut::displayLabel).
    QString symbols;
    quint32 mask = 0;
    if (event.modifierFlags & Flag::Control) {
        symbols += QStringLiteral("⌃");
        mask |= WindowShortcut::controlModifier;
    }
    if (event.modifierFlags & Flag::Option) {
        symbols += QStringLiteral("⌥");
        mask |= WindowShortcut::optionModifier;
    }
    if (event.modifierFlags & Flag::Shift) {
        symbols += QStringLiteral("⇧");
        mask |= WindowShortcut::shiftModifier;
    }
    if (event.modifierFlags & Flag::Command) {
        symbols += QStringLiteral("⌘");
        mask |= WindowShortcut::commandModifier;
    }

    const std::optional<QString> name = keyName(event);
    if (!(event.modifierFlags & (Flag::Control | Flag::Option | Flag::Command)) || event.keyCode == KeyCode::Tab
        || event.keyCode == KeyCode::Delete || event.keyCode == KeyCode::ForwardDelete || event.keyCode < 0 || !name) {
        result.outcome = HotKeyRecordingResult::Outcome::refused;
        result.message = modifierMessage;
        return result;
    }
    result.outcome = HotKeyRecordingResult::Outcome::recorded;
    result.shortcut = WindowShortcut{quint32(event.keyCode), mask, symbols + QLatin1Char(' ') + *name};
    return result;
}

QString desktopSettingsMessage(const QString &currentDesktop)
{
    const QStringList desktops = currentDesktop.split(QLatin1Char(':'), Qt::SkipEmptyParts);
    if (desktops.contains(QLatin1String("GNOME"), Qt::CaseInsensitive))
        return QStringLiteral("快捷键由桌面保管：请在 GNOME 的“设置 → 应用 → vuzo → 全局快捷键”中更改。");
    if (desktops.contains(QLatin1String("KDE"), Qt::CaseInsensitive))
        return QStringLiteral("快捷键由桌面保管：请在 KDE 的“系统设置 → 快捷键”中更改。");
    return QStringLiteral("快捷键由桌面保管：请在桌面的快捷键设置中更改。");
}

} // namespace HotKeyRecording
