#include "HomeGeometry.h"
#include "HomeText.h"
#include "KeyCaptureRules.h"

#include <QTest>

using namespace Qt::StringLiterals;

using Flag = KeyEventInfo::ModifierFlag;
using Flags = KeyEventInfo::ModifierFlags;
using Outcome = AnswerKeyCaptureResult::Outcome;
using HotOutcome = HotKeyRecordingResult::Outcome;

Q_DECLARE_METATYPE(Flags)

namespace {

// The answer-key refusal as the user reads it, with this desktop's key names.
const QString answerKeyRefusal = QStringLiteral("请按一个不带 Ctrl、Alt 或 Super 的按键");

// The hot-key row's texts as the user reads them, with this desktop's key names.
const QString hotKeyRefusal = QStringLiteral("请使用带 Alt、Ctrl 或 Super 的组合键。");

KeyEventInfo key(int code, const QString &characters, Flags flags = {}, bool repeat = false)
{
    KeyEventInfo event;
    event.keyCode = code;
    event.charactersIgnoringModifiers = characters;
    event.modifierFlags = flags;
    event.isRepeat = repeat;
    return event;
}

// A modifier or lock key pressed on its own, as X11 reports it.
KeyEventInfo modifierKey(int code, Flags flags)
{
    KeyEventInfo event = key(code, QString(), flags);
    event.isModifierKey = true;
    return event;
}

QuestionKeyboardShortcuts withBinding(QuestionShortcutAction action, const QString &binding)
{
    QuestionKeyboardShortcuts shortcuts = QuestionKeyboardShortcuts::defaultValue();
    shortcuts.bindings.insert(action, binding);
    return shortcuts;
}

} // namespace

// The pure rules behind the home screen and its settings panel.
class TestHomeRules : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void answerKeyCapture_data()
    {
        QTest::addColumn<KeyEventInfo>("event");
        QTest::addColumn<int>("capturing"); // index into allCases, -1 none
        QTest::addColumn<QuestionKeyboardShortcuts>("shortcuts");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("error");
        QTest::addColumn<QString>("newBinding"); // of the captured action afterwards

        const auto defaults = QuestionKeyboardShortcuts::defaultValue();
        QTest::newRow("idle: Esc passes") << key(KeyCode::Escape, u"\x1b"_s) << -1 << defaults << int(Outcome::passThrough) << QString() << QString();
        QTest::newRow("idle: a letter passes") << key(KeyCode::Q, u"q"_s) << -1 << defaults << int(Outcome::passThrough) << QString() << QString();
        QTest::newRow("Esc cancels, binding kept") << key(KeyCode::Escape, u"\x1b"_s, Flag::Command) << 0 << defaults
                                                   << int(Outcome::cancelled) << QString() << u"z"_s;
        QTest::newRow("new letter binds") << key(KeyCode::Q, u"q"_s) << 0 << defaults << int(Outcome::bound) << QString() << u"q"_s;
        QTest::newRow("Shift+Z gives z") << key(KeyCode::Z, u"Z"_s, Flag::Shift) << 1 << withBinding(QuestionShortcutAction::optionA, u"a"_s)
                                         << int(Outcome::bound) << QString() << u"z"_s;
        QTest::newRow("keypad Enter is return") << key(KeyCode::KeypadEnter, u"\x03"_s) << 4 << withBinding(QuestionShortcutAction::confirm, u"k"_s)
                                                << int(Outcome::bound) << QString() << u"return"_s;
        QTest::newRow("space") << key(KeyCode::Space, u" "_s) << 2 << defaults << int(Outcome::bound) << QString() << u"space"_s;
        QTest::newRow("own key again is accepted") << key(KeyCode::Z, u"z"_s) << 0 << defaults << int(Outcome::bound) << QString() << u"z"_s;
        QTest::newRow("key of B while on A") << key(KeyCode::X, u"x"_s) << 0 << defaults << int(Outcome::conflict)
                                             << u"该按键已用于选项 B"_s << u"z"_s;
        QTest::newRow("return while on B") << key(KeyCode::Return, u"\r"_s) << 1 << defaults << int(Outcome::conflict)
                                           << u"该按键已用于确认"_s << u"x"_s;
        QuestionKeyboardShortcuts sparse;
        sparse.bindings.insert(QuestionShortcutAction::optionA, u"q"_s);
        QTest::newRow("missing entry counts with its default") << key(KeyCode::C, u"c"_s) << 0 << sparse << int(Outcome::conflict)
                                                               << u"该按键已用于选项 C"_s << u"q"_s;
        QTest::newRow("Ctrl+K refused") << key(KeyCode::K, u"k"_s, Flag::Command) << 0 << defaults << int(Outcome::refused)
                                        << answerKeyRefusal << u"z"_s;
        QTest::newRow("Alt+K refused") << key(KeyCode::K, u"k"_s, Flag::Option) << 0 << defaults << int(Outcome::refused)
                                       << answerKeyRefusal << u"z"_s;
        QTest::newRow("Super+K refused") << key(KeyCode::K, u"k"_s, Flag::Control) << 0 << defaults << int(Outcome::refused)
                                         << answerKeyRefusal << u"z"_s;
        QTest::newRow("arrow refused with the one message")
            << key(KeyCode::LeftArrow, QString(QChar(FunctionKeyCharacter::LeftArrow)), Flag::Function) << 0 << defaults
            << int(Outcome::refused) << answerKeyRefusal << u"z"_s;
        QTest::newRow("F5 refused with the one message")
            << key(KeyCode::F5, QString(QChar(FunctionKeyCharacter::F1 + 4)), Flag::Function) << 0 << defaults
            << int(Outcome::refused) << answerKeyRefusal << u"z"_s;
        QTest::newRow("Tab refused with the one message") << key(KeyCode::Tab, u"\t"_s) << 0 << defaults << int(Outcome::refused)
                                                     << answerKeyRefusal << u"z"_s;
        QTest::newRow("Backspace refused with the one message") << key(KeyCode::Delete, u"\x7f"_s) << 0 << defaults << int(Outcome::refused)
                                                           << answerKeyRefusal << u"z"_s;
        // A modifier alone is no key: no message, the capture goes on.
        QTest::newRow("Shift alone waits") << modifierKey(KeyCode::Shift, Flag::Shift) << 0 << defaults << int(Outcome::ignored)
                                           << QString() << u"z"_s;
        QTest::newRow("Ctrl alone waits") << modifierKey(KeyCode::Command, Flag::Command) << 0 << defaults << int(Outcome::ignored)
                                          << QString() << u"z"_s;
        QTest::newRow("Caps Lock alone waits") << modifierKey(KeyCode::CapsLock, {}) << 0 << defaults << int(Outcome::ignored)
                                               << QString() << u"z"_s;
        QTest::newRow("key repeat is a fresh press") << key(KeyCode::Q, u"q"_s, {}, true) << 3 << defaults << int(Outcome::bound)
                                                     << QString() << u"q"_s;
    }
    void answerKeyCapture()
    {
        QFETCH(KeyEventInfo, event);
        QFETCH(int, capturing);
        QFETCH(QuestionKeyboardShortcuts, shortcuts);
        QFETCH(int, outcome);
        QFETCH(QString, error);
        QFETCH(QString, newBinding);

        const auto actions = QuestionShortcutActions::allCases();
        const std::optional<QuestionShortcutAction> action
            = capturing < 0 ? std::nullopt : std::optional(actions.at(capturing));
        const AnswerKeyCaptureResult result = AnswerKeyCapture::decide(event, action, shortcuts);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(result.consumed, action.has_value());
        QCOMPARE(result.error.value_or(QString()), error);
        if (action) {
            QCOMPARE(result.shortcuts.effectiveBinding(*action), newBinding);
            QCOMPARE(result.shortcuts.enabled, shortcuts.enabled);
            // Nothing but the captured action's binding ever changes.
            for (const QuestionShortcutAction other : actions) {
                if (other != *action)
                    QCOMPARE(result.shortcuts.effectiveBinding(other), shortcuts.effectiveBinding(other));
            }
        } else {
            QCOMPARE(result.shortcuts, shortcuts);
        }
    }

    void hotKeyRecording_data()
    {
        QTest::addColumn<KeyEventInfo>("event");
        QTest::addColumn<int>("outcome");
        QTest::addColumn<QString>("message");
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("mask");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown");

        QTest::newRow("Alt+Z") << key(KeyCode::Z, u"z"_s, Flag::Option) << int(HotOutcome::recorded) << QString()
                               << quint32(6) << quint32(0x800) << u"⌥ Z"_s << u"Alt + Z"_s;
        QTest::newRow("every modifier with K") << key(KeyCode::K, u"k"_s, Flag::Control | Flag::Option | Flag::Shift | Flag::Command)
                                               << int(HotOutcome::recorded) << QString() << quint32(KeyCode::K) << quint32(0x1B00)
                                               << u"⌃⌥⇧⌘ K"_s << u"Ctrl + Alt + Shift + Super + K"_s;
        QTest::newRow("Alt+Return") << key(KeyCode::Return, u"\r"_s, Flag::Option) << int(HotOutcome::recorded) << QString()
                                    << quint32(36) << quint32(0x800) << u"⌥ Enter"_s << u"Alt + Enter"_s;
        QTest::newRow("Alt+keypad Enter") << key(KeyCode::KeypadEnter, u"\x03"_s, Flag::Option) << int(HotOutcome::recorded) << QString()
                                          << quint32(76) << quint32(0x800) << u"⌥ Enter"_s << u"Alt + Enter"_s;
        QTest::newRow("Ctrl+Space") << key(KeyCode::Space, u" "_s, Flag::Command) << int(HotOutcome::recorded) << QString()
                                    << quint32(49) << quint32(0x100) << u"⌘ Space"_s << u"Ctrl + Space"_s;
        QTest::newRow("Super+left") << key(KeyCode::LeftArrow, QString(QChar(FunctionKeyCharacter::LeftArrow)), Flag::Control | Flag::Function)
                                    << int(HotOutcome::recorded) << QString() << quint32(123) << quint32(0x1000) << u"⌃ ←"_s << u"Super + ←"_s;
        QTest::newRow("Alt+F5 is named, not a glyph")
            << key(KeyCode::F5, QString(QChar(FunctionKeyCharacter::F1 + 4)), Flag::Option | Flag::Function)
            << int(HotOutcome::recorded) << QString() << quint32(KeyCode::F5) << quint32(0x800) << u"⌥ F5"_s << u"Alt + F5"_s;
        QTest::newRow("Shift+A refused") << key(KeyCode::A, u"A"_s, Flag::Shift) << int(HotOutcome::refused) << hotKeyRefusal
                                         << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("plain key refused") << key(KeyCode::A, u"a"_s) << int(HotOutcome::refused) << hotKeyRefusal
                                           << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("Alt+Tab refused") << key(KeyCode::Tab, u"\t"_s, Flag::Option) << int(HotOutcome::refused)
                                         << hotKeyRefusal << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("Ctrl+Backspace refused") << key(KeyCode::Delete, u"\x7f"_s, Flag::Command) << int(HotOutcome::refused)
                                                << hotKeyRefusal << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("Ctrl+Delete refused") << key(KeyCode::ForwardDelete, QString(QChar(FunctionKeyCharacter::Delete)), Flag::Command | Flag::Function)
                                             << int(HotOutcome::refused) << hotKeyRefusal << quint32(0) << quint32(0)
                                             << QString() << QString();
        QTest::newRow("no characters refused") << key(KeyCode::Unknown, QString(), Flag::Option) << int(HotOutcome::refused)
                                               << hotKeyRefusal << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("key without a readable name refused")
            << key(KeyCode::Unknown, QString(QChar(0xF8FF)), Flag::Option | Flag::Function) << int(HotOutcome::refused)
            << hotKeyRefusal << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("Esc cancels") << key(KeyCode::Escape, u"\x1b"_s, Flag::Option) << int(HotOutcome::cancelled) << QString()
                                     << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("Alt alone waits") << modifierKey(KeyCode::Option, Flag::Option) << int(HotOutcome::ignored) << QString()
                                         << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("Super alone waits") << modifierKey(KeyCode::Control, Flag::Control) << int(HotOutcome::ignored) << QString()
                                           << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("Num Lock alone waits") << modifierKey(KeyCode::KeypadClear, {}) << int(HotOutcome::ignored) << QString()
                                              << quint32(0) << quint32(0) << QString() << QString();
        QTest::newRow("repeat ignored") << key(KeyCode::Z, u"z"_s, Flag::Option, true) << int(HotOutcome::ignored) << QString()
                                        << quint32(0) << quint32(0) << QString() << QString();
    }
    void hotKeyRecording()
    {
        QFETCH(KeyEventInfo, event);
        QFETCH(int, outcome);
        QFETCH(QString, message);
        QFETCH(quint32, keyCode);
        QFETCH(quint32, mask);
        QFETCH(QString, label);
        QFETCH(QString, shown);

        const HotKeyRecordingResult result = HotKeyRecording::decide(event);
        QCOMPARE(int(result.outcome), outcome);
        QCOMPARE(result.message, message);
        if (result.outcome == HotOutcome::recorded) {
            QCOMPARE(result.shortcut.keyCode, keyCode);
            QCOMPARE(result.shortcut.modifiers, mask);
            QCOMPARE(result.shortcut.label, label);
            QCOMPARE(result.shortcut.displayLabel(), shown);
        }
    }

    void storedLabelsShowLinuxNames_data()
    {
        QTest::addColumn<quint32>("mask");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("shown");
        QTest::newRow("default") << quint32(0x800) << u"⌥ Z"_s << u"Alt + Z"_s;
        QTest::newRow("label without blank") << quint32(0x100) << u"K"_s << u"Ctrl + K"_s;
        QTest::newRow("empty label") << quint32(0x100) << QString() << u"Ctrl"_s;
    }
    void storedLabelsShowLinuxNames()
    {
        QFETCH(quint32, mask);
        QFETCH(QString, label);
        QFETCH(QString, shown);
        QCOMPARE((WindowShortcut{6, mask, label}.displayLabel()), shown);
    }

    // Where the row sends the user to change a key the desktop keeps.
    void desktopSettingsMessage_data()
    {
        QTest::addColumn<QString>("currentDesktop");
        QTest::addColumn<QString>("message");
        const QString gnome = u"快捷键由桌面保管：请在 GNOME 的“设置 → 应用 → vuzo → 全局快捷键”中更改。"_s;
        const QString kde = u"快捷键由桌面保管：请在 KDE 的“系统设置 → 快捷键”中更改。"_s;
        const QString other = u"快捷键由桌面保管：请在桌面的快捷键设置中更改。"_s;
        QTest::newRow("GNOME") << u"GNOME"_s << gnome;
        QTest::newRow("GNOME behind a distribution's name") << u"ubuntu:GNOME"_s << gnome;
        QTest::newRow("KDE") << u"KDE"_s << kde;
        QTest::newRow("KDE in lower case") << u"kde"_s << kde;
        QTest::newRow("a desktop with another name") << u"GNOME-Flashback-x"_s << other;
        QTest::newRow("none named") << QString() << other;
    }
    void desktopSettingsMessage()
    {
        QFETCH(QString, currentDesktop);
        QFETCH(QString, message);
        QCOMPARE(HotKeyRecording::desktopSettingsMessage(currentDesktop), message);
    }

    void dropdownSlots_data()
    {
        QTest::addColumn<bool>("bank");
        QTest::addColumn<QRectF>("anchor");
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<int>("count");
        QTest::addColumn<QRectF>("expected");

        const QRectF selector(600, 40, 200, 36); // right 800, bottom 76
        QTest::newRow("bank: right edges line up") << true << selector << 1000.0 << 2000.0 << 3 << QRectF(540, 82, 260, 117);
        QTest::newRow("bank: empty list keeps one row") << true << selector << 1000.0 << 2000.0 << 0 << QRectF(540, 82, 260, 47);
        QTest::newRow("bank: pushed off the right edge") << true << selector << 805.0 << 2000.0 << 1 << QRectF(537, 82, 260, 47);
        QTest::newRow("bank: pushed off the left edge") << true << QRectF(0, 40, 100, 36) << 1000.0 << 2000.0 << 1 << QRectF(8, 82, 260, 47);
        QTest::newRow("bank: too narrow, right margin wins") << true << selector << 200.0 << 2000.0 << 1 << QRectF(-68, 82, 260, 47);
        QTest::newRow("bank: long list capped by the window") << true << selector << 1000.0 << 600.0 << 40 << QRectF(540, 82, 260, 510);
        QTest::newRow("paper: 7 fit") << false << selector << 1000.0 << 2000.0 << 7 << QRectF(380, 82, 420, 271);
        QTest::newRow("paper: 8 capped at 300") << false << selector << 1000.0 << 2000.0 << 8 << QRectF(380, 82, 420, 300);
        QTest::newRow("paper: empty list keeps one row") << false << selector << 1000.0 << 2000.0 << 0 << QRectF(380, 82, 420, 49);
        QTest::newRow("paper: too narrow, right margin wins") << false << selector << 400.0 << 2000.0 << 3 << QRectF(-28, 82, 420, 123);
        QTest::newRow("paper: low window caps it") << false << selector << 1000.0 << 290.0 << 20 << QRectF(380, 82, 420, 200);
        QTest::newRow("paper: never below one row") << false << selector << 1000.0 << 100.0 << 20 << QRectF(380, 82, 420, 47);
    }
    void dropdownSlots()
    {
        QFETCH(bool, bank);
        QFETCH(QRectF, anchor);
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(int, count);
        QFETCH(QRectF, expected);
        const QRectF slot = bank ? HomeGeometry::examBankSlot(anchor, width, height, count)
                                 : HomeGeometry::realExamSlot(anchor, width, height, count);
        QCOMPARE(slot, expected);
    }

    void settingsCardHeight_data()
    {
        QTest::addColumn<double>("available");
        QTest::addColumn<double>("expected");
        QTest::newRow("roomy") << 900.0 << 520.0;
        QTest::newRow("exactly enough") << 536.0 << 520.0;
        QTest::newRow("small screen at 150 %") << 400.0 << 384.0;
        QTest::newRow("nothing left") << 10.0 << 0.0;
    }
    void settingsCardHeight()
    {
        QFETCH(double, available);
        QFETCH(double, expected);
        QCOMPARE(HomeGeometry::settingsCardHeightFor(available), expected);
    }

    void texts_data()
    {
        QTest::addColumn<QString>("actual");
        QTest::addColumn<QString>("expected");
        QTest::newRow("practice, 5") << HomeText::settingsButtonTitle(0, 5) << u"做题模式 · 5题"_s;
        QTest::newRow("review, 40") << HomeText::settingsButtonTitle(1, 40) << u"背题模式 · 40题"_s;
        QTest::newRow("unknown mode reads practice") << HomeText::settingsButtonTitle(7, 10) << u"做题模式 · 10题"_s;
        QTest::newRow("by type") << HomeText::practiceSectionTitle(false, 1) << u"按题型刷题"_s;
        QTest::newRow("by point") << HomeText::practiceSectionTitle(false, 2) << u"按知识点刷题"_s;
        QTest::newRow("行测 bank is always by point") << HomeText::practiceSectionTitle(true, 1) << u"按知识点刷题"_s;
        QTest::newRow("counts") << HomeText::menuCountText(3, 20) << u"3/20"_s;
        QTest::newRow("no counts") << HomeText::menuCountText(0, 0) << u"0/0"_s;
        QTest::newRow("tool tip") << HomeText::menuRowToolTip(u"<b>言语</b>"_s) << u"进入<b>言语</b>做题"_s;
        QTest::newRow("count option") << HomeText::questionCountText(15) << u"15 道"_s;
    }
    void texts()
    {
        QFETCH(QString, actual);
        QFETCH(QString, expected);
        QCOMPARE(actual, expected);
    }

    void lockRule_data()
    {
        QTest::addColumn<int>("needVip");
        QTest::addColumn<bool>("member");
        QTest::addColumn<bool>("locked");
        QTest::newRow("members only, no membership") << 1 << false << true;
        QTest::newRow("members only, member") << 1 << true << false;
        QTest::newRow("open") << 0 << false << false;
        QTest::newRow("2 never locks") << 2 << false << false;
        QTest::newRow("negative never locks") << -1 << false << false;
    }
    void lockRule()
    {
        QFETCH(int, needVip);
        QFETCH(bool, member);
        QFETCH(bool, locked);
        QCOMPARE(HomeText::isLocked(needVip, member), locked);
    }
};

QTEST_GUILESS_MAIN(TestHomeRules)
#include "tst_homerules.moc"
