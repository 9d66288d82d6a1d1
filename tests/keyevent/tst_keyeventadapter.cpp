#include "models/QuestionKeyboardShortcuts.h"
#include "platform/gui/KeyEventAdapter.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QTest>
#include <QWindow>

using Flag = KeyEventInfo::ModifierFlag;
using Flags = KeyEventInfo::ModifierFlags;
Q_DECLARE_METATYPE(KeyEventInfo::ModifierFlags)
Q_DECLARE_METATYPE(Qt::KeyboardModifiers)

namespace {

QString ch(char16_t c)
{
    return QString(QChar(c));
}

// Records what the adapter makes of every key press the window receives.
class KeyWindow : public QWindow
{
public:
    QList<KeyEventInfo> presses;

protected:
    void keyPressEvent(QKeyEvent *event) override { presses.append(keyEventInfo(*event)); }
};

} // namespace

class TestKeyEventAdapter : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void translation_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<quint32>("scanCode"); // X11 key code, 0 when unknown
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<Flags>("flags");
        QTest::addColumn<QString>("chars");

        using M = Qt::KeyboardModifiers;
        const M none;
        const M ctrl = Qt::ControlModifier, alt = Qt::AltModifier, meta = Qt::MetaModifier;
        const M shift = Qt::ShiftModifier, keypad = Qt::KeypadModifier;
        const quint32 x = 0;

        // Letters and the modifier seam: Ctrl = Command, Alt = Option, Meta = Control.
        QTest::newRow("z") << int(Qt::Key_Z) << none << "z" << x << KeyCode::Z << Flags() << "z";
        QTest::newRow("shift z") << int(Qt::Key_Z) << shift << "Z" << x << 6 << Flags(Flag::Shift) << "Z";
        QTest::newRow("ctrl z") << int(Qt::Key_Z) << ctrl << "\u001a" << x << 6 << Flags(Flag::Command) << "z";
        QTest::newRow("ctrl shift z") << int(Qt::Key_Z) << (ctrl | shift) << "\u001a" << x << 6
                                      << (Flag::Command | Flag::Shift) << "Z";
        QTest::newRow("alt z") << int(Qt::Key_Z) << alt << "z" << x << 6 << Flags(Flag::Option) << "z";
        QTest::newRow("alt z typing a symbol") << int(Qt::Key_Z) << alt << "Ω" << x << 6 << Flags(Flag::Option) << "z";
        QTest::newRow("meta z") << int(Qt::Key_Z) << meta << "" << x << 6 << Flags(Flag::Control) << "z";
        QTest::newRow("a") << int(Qt::Key_A) << none << "a" << x << KeyCode::A << Flags() << "a";
        QTest::newRow("q") << int(Qt::Key_Q) << none << "q" << x << 12 << Flags() << "q";

        // Keys named by their fixed codes.
        QTest::newRow("return") << int(Qt::Key_Return) << none << "\r" << x << 36 << Flags() << "\r";
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << keypad << "\r" << x << 76 << Flags() << "\u0003";
        QTest::newRow("enter") << int(Qt::Key_Enter) << none << "\r" << x << 76 << Flags() << "\u0003";
        QTest::newRow("space") << int(Qt::Key_Space) << none << " " << x << 49 << Flags() << " ";
        QTest::newRow("ctrl space") << int(Qt::Key_Space) << ctrl << "" << x << 49 << Flags(Flag::Command) << " ";
        QTest::newRow("escape") << int(Qt::Key_Escape) << none << "\u001b" << x << 53 << Flags() << "\u001b";
        QTest::newRow("tab") << int(Qt::Key_Tab) << none << "\t" << x << 48 << Flags() << "\t";
        QTest::newRow("shift tab") << int(Qt::Key_Backtab) << shift << "" << x << 48 << Flags(Flag::Shift)
                                   << "\u0019";
        QTest::newRow("backspace") << int(Qt::Key_Backspace) << none << "\b" << x << 51 << Flags() << "\u007f";

        // Arrow, navigation and F keys carry the Function flag and private-use characters.
        QTest::newRow("left") << int(Qt::Key_Left) << none << "" << x << 123 << Flags(Flag::Function) << ch(0xF702);
        QTest::newRow("right") << int(Qt::Key_Right) << none << "" << x << 124 << Flags(Flag::Function) << ch(0xF703);
        QTest::newRow("down") << int(Qt::Key_Down) << none << "" << x << 125 << Flags(Flag::Function) << ch(0xF701);
        QTest::newRow("up") << int(Qt::Key_Up) << none << "" << x << 126 << Flags(Flag::Function) << ch(0xF700);
        QTest::newRow("keypad left") << int(Qt::Key_Left) << keypad << "" << x << 123 << Flags(Flag::Function)
                                     << ch(0xF702);
        QTest::newRow("shift up") << int(Qt::Key_Up) << shift << "" << x << 126 << (Flag::Function | Flag::Shift)
                                  << ch(0xF700);
        QTest::newRow("forward delete") << int(Qt::Key_Delete) << none << "\u007f" << x << 117
                                        << Flags(Flag::Function) << ch(0xF728);
        QTest::newRow("home") << int(Qt::Key_Home) << none << "" << x << 115 << Flags(Flag::Function) << ch(0xF729);
        QTest::newRow("end") << int(Qt::Key_End) << none << "" << x << 119 << Flags(Flag::Function) << ch(0xF72B);
        QTest::newRow("page up") << int(Qt::Key_PageUp) << none << "" << x << 116 << Flags(Flag::Function)
                                 << ch(0xF72C);
        QTest::newRow("page down") << int(Qt::Key_PageDown) << none << "" << x << 121 << Flags(Flag::Function)
                                   << ch(0xF72D);
        QTest::newRow("insert is help") << int(Qt::Key_Insert) << none << "" << x << 114 << Flags(Flag::Function)
                                        << ch(0xF746);
        QTest::newRow("f1") << int(Qt::Key_F1) << none << "" << x << 122 << Flags(Flag::Function) << ch(0xF704);
        QTest::newRow("f5") << int(Qt::Key_F5) << none << "" << x << 96 << Flags(Flag::Function) << ch(0xF708);
        QTest::newRow("f12") << int(Qt::Key_F12) << none << "" << x << 111 << Flags(Flag::Function) << ch(0xF70F);
        QTest::newRow("f20") << int(Qt::Key_F20) << none << "" << x << 90 << Flags(Flag::Function) << ch(0xF717);
        QTest::newRow("f24 has no code") << int(Qt::Key_F24) << none << "" << x << KeyCode::Unknown
                                         << Flags(Flag::Function) << ch(0xF71B);
        QTest::newRow("print screen is f13") << int(Qt::Key_Print) << none << "" << x << 105 << Flags(Flag::Function)
                                             << ch(0xF710);

        // Digits, punctuation and the keypad.
        QTest::newRow("1") << int(Qt::Key_1) << none << "1" << x << 18 << Flags() << "1";
        QTest::newRow("shift 1") << int(Qt::Key_Exclam) << shift << "!" << x << 18 << Flags(Flag::Shift) << "!";
        QTest::newRow("0") << int(Qt::Key_0) << none << "0" << x << 29 << Flags() << "0";
        QTest::newRow("equal") << int(Qt::Key_Equal) << none << "=" << x << 24 << Flags() << "=";
        QTest::newRow("ctrl equal") << int(Qt::Key_Equal) << ctrl << "" << x << 24 << Flags(Flag::Command) << "=";
        QTest::newRow("ctrl shift plus") << int(Qt::Key_Plus) << (ctrl | shift) << "" << x << 24
                                         << (Flag::Command | Flag::Shift) << "+";
        QTest::newRow("minus") << int(Qt::Key_Minus) << none << "-" << x << 27 << Flags() << "-";
        QTest::newRow("semicolon") << int(Qt::Key_Semicolon) << none << ";" << x << 41 << Flags() << ";";
        QTest::newRow("grave") << int(Qt::Key_QuoteLeft) << none << "`" << x << 50 << Flags() << "`";
        QTest::newRow("slash") << int(Qt::Key_Slash) << none << "/" << x << 44 << Flags() << "/";
        QTest::newRow("keypad 5") << int(Qt::Key_5) << keypad << "5" << x << 87 << Flags() << "5";
        QTest::newRow("keypad plus") << int(Qt::Key_Plus) << keypad << "+" << x << 69 << Flags() << "+";
        QTest::newRow("keypad minus") << int(Qt::Key_Minus) << keypad << "-" << x << 78 << Flags() << "-";
        QTest::newRow("ctrl keypad plus") << int(Qt::Key_Plus) << (ctrl | keypad) << "" << x << 69
                                          << Flags(Flag::Command) << "+";

        // Other layouts: the letter keeps its text, the position comes from the scan code.
        QTest::newRow("cyrillic on the z key") << 0x42F << none << "я" << quint32(44 + 8) << 6 << Flags() << "я";
        QTest::newRow("ctrl cyrillic on the z key") << 0x42F << ctrl << "\u001a" << quint32(44 + 8) << 6
                                                    << Flags(Flag::Command) << "я";
        QTest::newRow("german z key by its letter") << int(Qt::Key_Z) << none << "z" << quint32(21 + 8) << 6
                                                    << Flags() << "z";
        QTest::newRow("unknown key") << int(Qt::Key_unknown) << none << "" << x << KeyCode::Unknown << Flags()
                                     << "";
        QTest::newRow("unknown key by scan code") << int(Qt::Key_unknown) << none << "" << quint32(30 + 8)
                                                  << KeyCode::A << Flags() << "";

    }

    void translation()
    {
        QFETCH(int, qtKey);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(QString, text);
        QFETCH(quint32, scanCode);
        QFETCH(int, keyCode);
        QFETCH(Flags, flags);
        QFETCH(QString, chars);

        const QKeyEvent event(QEvent::KeyPress, qtKey, modifiers, scanCode, 0, 0, text);
        const KeyEventInfo info = keyEventInfo(event);
        QCOMPARE(info.keyCode, keyCode);
        QCOMPARE(info.modifierFlags, flags);
        QCOMPARE(info.charactersIgnoringModifiers, chars);
        QCOMPARE(info.isRepeat, false);
    }

    // Modifier and lock keys as the X server reports them pressed alone: the
    // X state before the press (none), the X key code and the keysym.
    void modifierKeys_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<quint32>("scanCode");
        QTest::addColumn<quint32>("keysym");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<bool>("modifier");
        QTest::newRow("shift") << int(Qt::Key_Shift) << 50u << 0xffe1u << KeyCode::Shift << true;
        QTest::newRow("ctrl is command") << int(Qt::Key_Control) << 37u << 0xffe3u << KeyCode::Command << true;
        QTest::newRow("alt is option") << int(Qt::Key_Alt) << 64u << 0xffe9u << KeyCode::Option << true;
        QTest::newRow("meta is control") << int(Qt::Key_Meta) << 64u << 0xffe7u << KeyCode::Control << true;
        QTest::newRow("super") << int(Qt::Key_Super_L) << 133u << 0xffebu << KeyCode::Control << true;
        QTest::newRow("altgr") << int(Qt::Key_AltGr) << 108u << 0xfe03u << KeyCode::RightOption << true;
        QTest::newRow("caps lock") << int(Qt::Key_CapsLock) << 66u << 0xffe5u << KeyCode::CapsLock << true;
        QTest::newRow("num lock") << int(Qt::Key_NumLock) << 77u << 0xff7fu << KeyCode::KeypadClear << true;
        QTest::newRow("scroll lock") << int(Qt::Key_ScrollLock) << 78u << 0xff14u << KeyCode::F14 << true;
        // Keysyms Qt has no key for arrive as key 0.
        QTest::newRow("level 5 shift") << 0 << 92u << 0xfe11u << KeyCode::Unknown << true;
        QTest::newRow("next group") << 0 << 50u << 0xfe08u << KeyCode::Shift << true;
        QTest::newRow("not: a letter") << int(Qt::Key_A) << 38u << 0x61u << KeyCode::A << false;
        QTest::newRow("not: an unknown key") << int(Qt::Key_unknown) << 0u << 0x1008ff13u << KeyCode::Unknown << false;
    }

    // A modifier key on its own types nothing, is never a function key and
    // says it is a modifier.
    void modifierKeys()
    {
        QFETCH(int, qtKey);
        QFETCH(quint32, scanCode);
        QFETCH(quint32, keysym);
        QFETCH(int, keyCode);
        QFETCH(bool, modifier);
        const QKeyEvent event(QEvent::KeyPress, qtKey, Qt::NoModifier, scanCode, keysym, 0);
        const KeyEventInfo info = keyEventInfo(event);
        QCOMPARE(info.keyCode, keyCode);
        QCOMPARE(info.isModifierKey, modifier);
        if (!modifier)
            return;
        // Num Lock and Scroll Lock keep the Clear and F14 characters of the
        // keys in their place; the others type nothing.
        if (qtKey == Qt::Key_NumLock || qtKey == Qt::Key_ScrollLock)
            return;
        QVERIFY(info.charactersIgnoringModifiers.isEmpty());
        QVERIFY(!info.modifierFlags.testFlag(Flag::Function));
        QCOMPARE(QuestionShortcutKey::identifier(info), std::nullopt);
    }

    void autoRepeat()
    {
        const QKeyEvent first(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"), false);
        const QKeyEvent repeated(QEvent::KeyPress, Qt::Key_X, Qt::NoModifier, QStringLiteral("x"), true);
        QVERIFY(!keyEventInfo(first).isRepeat);
        QVERIFY(keyEventInfo(repeated).isRepeat);
        QCOMPARE(keyEventInfo(repeated).keyCode, KeyCode::X);
    }

    // Key presses delivered by Qt to a window, read as answering keys.
    void deliveredKeysAsAnswerKeys_data()
    {
        QTest::addColumn<int>("qtKey");
        QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
        QTest::addColumn<int>("keyCode");
        QTest::addColumn<QString>("identifier"); // empty: none

        QTest::newRow("z") << int(Qt::Key_Z) << Qt::KeyboardModifiers() << 6 << "z";
        QTest::newRow("shift z") << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::ShiftModifier) << 6 << "z";
        QTest::newRow("alt z") << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::AltModifier) << 6 << "";
        QTest::newRow("ctrl z") << int(Qt::Key_Z) << Qt::KeyboardModifiers(Qt::ControlModifier) << 6 << "";
        QTest::newRow("return") << int(Qt::Key_Return) << Qt::KeyboardModifiers() << 36 << "return";
        QTest::newRow("space") << int(Qt::Key_Space) << Qt::KeyboardModifiers() << 49 << "space";
        QTest::newRow("left arrow is a navigation key") << int(Qt::Key_Left) << Qt::KeyboardModifiers() << 123 << "";
        QTest::newRow("tab") << int(Qt::Key_Tab) << Qt::KeyboardModifiers() << 48 << "";
        QTest::newRow("escape") << int(Qt::Key_Escape) << Qt::KeyboardModifiers() << 53 << "";
        QTest::newRow("f5") << int(Qt::Key_F5) << Qt::KeyboardModifiers() << 96 << "";
    }

    void deliveredKeysAsAnswerKeys()
    {
        QFETCH(int, qtKey);
        QFETCH(Qt::KeyboardModifiers, modifiers);
        QFETCH(int, keyCode);
        QFETCH(QString, identifier);

        KeyWindow window;
        window.resize(100, 100);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key(qtKey), modifiers);
        // Held modifiers arrive first as presses of their own.
        QVERIFY(!window.presses.isEmpty());
        const KeyEventInfo &info = window.presses.last();
        QCOMPARE(info.keyCode, keyCode);
        QCOMPARE(QuestionShortcutKey::identifier(info).value_or(QString()), identifier);
    }
};

QTEST_MAIN(TestKeyEventAdapter)
#include "tst_keyeventadapter.moc"
