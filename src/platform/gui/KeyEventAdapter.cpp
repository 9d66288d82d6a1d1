#include "platform/gui/KeyEventAdapter.h"

#include <QHash>
#include <QKeyEvent>

namespace {

using Flag = KeyEventInfo::ModifierFlag;

// Keys that name a key position whatever the modifiers (Qt reports shifted
// symbols as their own keys, e.g. Shift+1 as Key_Exclam on a US layout).
const QHash<int, int> &mainKeyCodes()
{
    static const QHash<int, int> table{
        {Qt::Key_A, KeyCode::A}, {Qt::Key_B, KeyCode::B}, {Qt::Key_C, KeyCode::C}, {Qt::Key_D, KeyCode::D},
        {Qt::Key_E, KeyCode::E}, {Qt::Key_F, KeyCode::F}, {Qt::Key_G, KeyCode::G}, {Qt::Key_H, KeyCode::H},
        {Qt::Key_I, KeyCode::I}, {Qt::Key_J, KeyCode::J}, {Qt::Key_K, KeyCode::K}, {Qt::Key_L, KeyCode::L},
        {Qt::Key_M, KeyCode::M}, {Qt::Key_N, KeyCode::N}, {Qt::Key_O, KeyCode::O}, {Qt::Key_P, KeyCode::P},
        {Qt::Key_Q, KeyCode::Q}, {Qt::Key_R, KeyCode::R}, {Qt::Key_S, KeyCode::S}, {Qt::Key_T, KeyCode::T},
        {Qt::Key_U, KeyCode::U}, {Qt::Key_V, KeyCode::V}, {Qt::Key_W, KeyCode::W}, {Qt::Key_X, KeyCode::X},
        {Qt::Key_Y, KeyCode::Y}, {Qt::Key_Z, KeyCode::Z},

        {Qt::Key_0, KeyCode::Digit0}, {Qt::Key_1, KeyCode::Digit1}, {Qt::Key_2, KeyCode::Digit2},
        {Qt::Key_3, KeyCode::Digit3}, {Qt::Key_4, KeyCode::Digit4}, {Qt::Key_5, KeyCode::Digit5},
        {Qt::Key_6, KeyCode::Digit6}, {Qt::Key_7, KeyCode::Digit7}, {Qt::Key_8, KeyCode::Digit8},
        {Qt::Key_9, KeyCode::Digit9},
        {Qt::Key_ParenRight, KeyCode::Digit0}, {Qt::Key_Exclam, KeyCode::Digit1}, {Qt::Key_At, KeyCode::Digit2},
        {Qt::Key_NumberSign, KeyCode::Digit3}, {Qt::Key_Dollar, KeyCode::Digit4},
        {Qt::Key_Percent, KeyCode::Digit5}, {Qt::Key_AsciiCircum, KeyCode::Digit6},
        {Qt::Key_Ampersand, KeyCode::Digit7}, {Qt::Key_Asterisk, KeyCode::Digit8},
        {Qt::Key_ParenLeft, KeyCode::Digit9},

        {Qt::Key_Minus, KeyCode::Minus}, {Qt::Key_Underscore, KeyCode::Minus},
        {Qt::Key_Equal, KeyCode::Equal}, {Qt::Key_Plus, KeyCode::Equal},
        {Qt::Key_BracketLeft, KeyCode::LeftBracket}, {Qt::Key_BraceLeft, KeyCode::LeftBracket},
        {Qt::Key_BracketRight, KeyCode::RightBracket}, {Qt::Key_BraceRight, KeyCode::RightBracket},
        {Qt::Key_Backslash, KeyCode::Backslash}, {Qt::Key_Bar, KeyCode::Backslash},
        {Qt::Key_Semicolon, KeyCode::Semicolon}, {Qt::Key_Colon, KeyCode::Semicolon},
        {Qt::Key_Apostrophe, KeyCode::Quote}, {Qt::Key_QuoteDbl, KeyCode::Quote},
        {Qt::Key_Comma, KeyCode::Comma}, {Qt::Key_Less, KeyCode::Comma},
        {Qt::Key_Period, KeyCode::Period}, {Qt::Key_Greater, KeyCode::Period},
        {Qt::Key_Slash, KeyCode::Slash}, {Qt::Key_Question, KeyCode::Slash},
        {Qt::Key_QuoteLeft, KeyCode::Grave}, {Qt::Key_AsciiTilde, KeyCode::Grave},
        {Qt::Key_Space, KeyCode::Space},

        {Qt::Key_Return, KeyCode::Return}, {Qt::Key_Enter, KeyCode::KeypadEnter},
        {Qt::Key_Tab, KeyCode::Tab}, {Qt::Key_Backtab, KeyCode::Tab},
        {Qt::Key_Escape, KeyCode::Escape}, {Qt::Key_Backspace, KeyCode::Delete},
        {Qt::Key_Delete, KeyCode::ForwardDelete}, {Qt::Key_Insert, KeyCode::Help}, {Qt::Key_Help, KeyCode::Help},
        {Qt::Key_Home, KeyCode::Home}, {Qt::Key_End, KeyCode::End},
        {Qt::Key_PageUp, KeyCode::PageUp}, {Qt::Key_PageDown, KeyCode::PageDown},
        {Qt::Key_Left, KeyCode::LeftArrow}, {Qt::Key_Right, KeyCode::RightArrow},
        {Qt::Key_Up, KeyCode::UpArrow}, {Qt::Key_Down, KeyCode::DownArrow},
        {Qt::Key_Clear, KeyCode::KeypadClear}, {Qt::Key_NumLock, KeyCode::KeypadClear},
        {Qt::Key_Print, KeyCode::F13}, {Qt::Key_ScrollLock, KeyCode::F14}, {Qt::Key_Pause, KeyCode::F15},
        {Qt::Key_Menu, KeyCode::ContextMenu},

        {Qt::Key_F1, KeyCode::F1}, {Qt::Key_F2, KeyCode::F2}, {Qt::Key_F3, KeyCode::F3},
        {Qt::Key_F4, KeyCode::F4}, {Qt::Key_F5, KeyCode::F5}, {Qt::Key_F6, KeyCode::F6},
        {Qt::Key_F7, KeyCode::F7}, {Qt::Key_F8, KeyCode::F8}, {Qt::Key_F9, KeyCode::F9},
        {Qt::Key_F10, KeyCode::F10}, {Qt::Key_F11, KeyCode::F11}, {Qt::Key_F12, KeyCode::F12},
        {Qt::Key_F13, KeyCode::F13}, {Qt::Key_F14, KeyCode::F14}, {Qt::Key_F15, KeyCode::F15},
        {Qt::Key_F16, KeyCode::F16}, {Qt::Key_F17, KeyCode::F17}, {Qt::Key_F18, KeyCode::F18},
        {Qt::Key_F19, KeyCode::F19}, {Qt::Key_F20, KeyCode::F20},

        {Qt::Key_Shift, KeyCode::Shift}, {Qt::Key_Control, KeyCode::Command}, {Qt::Key_Alt, KeyCode::Option},
        {Qt::Key_AltGr, KeyCode::RightOption}, {Qt::Key_Meta, KeyCode::Control},
        {Qt::Key_Super_L, KeyCode::Control}, {Qt::Key_Super_R, KeyCode::RightControl},
        {Qt::Key_CapsLock, KeyCode::CapsLock},

        {Qt::Key_VolumeUp, KeyCode::VolumeUp}, {Qt::Key_VolumeDown, KeyCode::VolumeDown},
        {Qt::Key_VolumeMute, KeyCode::Mute},
    };
    return table;
}

// Keys of the numeric keypad, told apart by Qt's keypad modifier.
const QHash<int, int> &keypadKeyCodes()
{
    static const QHash<int, int> table{
        {Qt::Key_0, KeyCode::Keypad0}, {Qt::Key_1, KeyCode::Keypad1}, {Qt::Key_2, KeyCode::Keypad2},
        {Qt::Key_3, KeyCode::Keypad3}, {Qt::Key_4, KeyCode::Keypad4}, {Qt::Key_5, KeyCode::Keypad5},
        {Qt::Key_6, KeyCode::Keypad6}, {Qt::Key_7, KeyCode::Keypad7}, {Qt::Key_8, KeyCode::Keypad8},
        {Qt::Key_9, KeyCode::Keypad9},
        {Qt::Key_Period, KeyCode::KeypadDecimal}, {Qt::Key_Comma, KeyCode::KeypadDecimal},
        {Qt::Key_Asterisk, KeyCode::KeypadMultiply}, {Qt::Key_Plus, KeyCode::KeypadPlus},
        {Qt::Key_Minus, KeyCode::KeypadMinus}, {Qt::Key_Slash, KeyCode::KeypadDivide},
        {Qt::Key_Equal, KeyCode::KeypadEquals}, {Qt::Key_Enter, KeyCode::KeypadEnter},
        {Qt::Key_Return, KeyCode::KeypadEnter}, {Qt::Key_Clear, KeyCode::Keypad5},
    };
    return table;
}

// evdev key codes (X11 key code minus 8) of a PC keyboard to key positions.
int keyCodeForEvdev(quint32 evdev)
{
    static const QHash<quint32, int> table{
        {1, KeyCode::Escape},
        {2, KeyCode::Digit1}, {3, KeyCode::Digit2}, {4, KeyCode::Digit3}, {5, KeyCode::Digit4},
        {6, KeyCode::Digit5}, {7, KeyCode::Digit6}, {8, KeyCode::Digit7}, {9, KeyCode::Digit8},
        {10, KeyCode::Digit9}, {11, KeyCode::Digit0}, {12, KeyCode::Minus}, {13, KeyCode::Equal},
        {14, KeyCode::Delete}, {15, KeyCode::Tab},
        {16, KeyCode::Q}, {17, KeyCode::W}, {18, KeyCode::E}, {19, KeyCode::R}, {20, KeyCode::T},
        {21, KeyCode::Y}, {22, KeyCode::U}, {23, KeyCode::I}, {24, KeyCode::O}, {25, KeyCode::P},
        {26, KeyCode::LeftBracket}, {27, KeyCode::RightBracket}, {28, KeyCode::Return},
        {29, KeyCode::Command},
        {30, KeyCode::A}, {31, KeyCode::S}, {32, KeyCode::D}, {33, KeyCode::F}, {34, KeyCode::G},
        {35, KeyCode::H}, {36, KeyCode::J}, {37, KeyCode::K}, {38, KeyCode::L},
        {39, KeyCode::Semicolon}, {40, KeyCode::Quote}, {41, KeyCode::Grave}, {42, KeyCode::Shift},
        {43, KeyCode::Backslash},
        {44, KeyCode::Z}, {45, KeyCode::X}, {46, KeyCode::C}, {47, KeyCode::V}, {48, KeyCode::B},
        {49, KeyCode::N}, {50, KeyCode::M}, {51, KeyCode::Comma}, {52, KeyCode::Period}, {53, KeyCode::Slash},
        {54, KeyCode::RightShift}, {55, KeyCode::KeypadMultiply}, {56, KeyCode::Option}, {57, KeyCode::Space},
        {58, KeyCode::CapsLock},
        {59, KeyCode::F1}, {60, KeyCode::F2}, {61, KeyCode::F3}, {62, KeyCode::F4}, {63, KeyCode::F5},
        {64, KeyCode::F6}, {65, KeyCode::F7}, {66, KeyCode::F8}, {67, KeyCode::F9}, {68, KeyCode::F10},
        {69, KeyCode::KeypadClear}, {70, KeyCode::F14},
        {71, KeyCode::Keypad7}, {72, KeyCode::Keypad8}, {73, KeyCode::Keypad9}, {74, KeyCode::KeypadMinus},
        {75, KeyCode::Keypad4}, {76, KeyCode::Keypad5}, {77, KeyCode::Keypad6}, {78, KeyCode::KeypadPlus},
        {79, KeyCode::Keypad1}, {80, KeyCode::Keypad2}, {81, KeyCode::Keypad3}, {82, KeyCode::Keypad0},
        {83, KeyCode::KeypadDecimal}, {86, KeyCode::Section}, {87, KeyCode::F11}, {88, KeyCode::F12},
        {96, KeyCode::KeypadEnter}, {97, KeyCode::RightCommand}, {98, KeyCode::KeypadDivide},
        {99, KeyCode::F13}, {100, KeyCode::RightOption},
        {102, KeyCode::Home}, {103, KeyCode::UpArrow}, {104, KeyCode::PageUp}, {105, KeyCode::LeftArrow},
        {106, KeyCode::RightArrow}, {107, KeyCode::End}, {108, KeyCode::DownArrow}, {109, KeyCode::PageDown},
        {110, KeyCode::Help}, {111, KeyCode::ForwardDelete},
        {113, KeyCode::Mute}, {114, KeyCode::VolumeDown}, {115, KeyCode::VolumeUp}, {117, KeyCode::KeypadEquals},
        {119, KeyCode::F15}, {125, KeyCode::Control}, {126, KeyCode::RightControl}, {127, KeyCode::ContextMenu},
        {183, KeyCode::F13}, {184, KeyCode::F14}, {185, KeyCode::F15}, {186, KeyCode::F16},
        {187, KeyCode::F17}, {188, KeyCode::F18}, {189, KeyCode::F19}, {190, KeyCode::F20},
    };
    return table.value(evdev, KeyCode::Unknown);
}

bool isFunctionKey(int qtKey)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35)
        return true;
    switch (qtKey) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Delete:
    case Qt::Key_Insert:
    case Qt::Key_Help:
    case Qt::Key_Print:
    case Qt::Key_ScrollLock:
    case Qt::Key_Pause:
        return true;
    default:
        return false;
    }
}

// The fixed text of keys that type no ordinary character; nothing for the rest.
std::optional<QString> specialCharacters(int qtKey, bool shift)
{
    if (qtKey >= Qt::Key_F1 && qtKey <= Qt::Key_F35)
        return QString(QChar(FunctionKeyCharacter::F1 + (qtKey - Qt::Key_F1)));
    auto one = [](char16_t c) { return QString(QChar(c)); };
    switch (qtKey) {
    case Qt::Key_Up:
        return one(FunctionKeyCharacter::UpArrow);
    case Qt::Key_Down:
        return one(FunctionKeyCharacter::DownArrow);
    case Qt::Key_Left:
        return one(FunctionKeyCharacter::LeftArrow);
    case Qt::Key_Right:
        return one(FunctionKeyCharacter::RightArrow);
    case Qt::Key_Delete:
        return one(FunctionKeyCharacter::Delete);
    case Qt::Key_Home:
        return one(FunctionKeyCharacter::Home);
    case Qt::Key_End:
        return one(FunctionKeyCharacter::End);
    case Qt::Key_PageUp:
        return one(FunctionKeyCharacter::PageUp);
    case Qt::Key_PageDown:
        return one(FunctionKeyCharacter::PageDown);
    case Qt::Key_Insert:
    case Qt::Key_Help:
        return one(FunctionKeyCharacter::Help);
    // These sit where F13, F14 and F15 are and report as those keys.
    case Qt::Key_Print:
        return one(char16_t(FunctionKeyCharacter::F1 + 12));
    case Qt::Key_ScrollLock:
        return one(char16_t(FunctionKeyCharacter::F1 + 13));
    case Qt::Key_Pause:
        return one(char16_t(FunctionKeyCharacter::F1 + 14));
    case Qt::Key_Clear:
    case Qt::Key_NumLock:
        return one(FunctionKeyCharacter::Clear);
    case Qt::Key_Menu:
        return one(FunctionKeyCharacter::Menu);
    case Qt::Key_Return:
        return QStringLiteral("\r");
    case Qt::Key_Enter:
        return QStringLiteral("\u0003");
    case Qt::Key_Tab:
        return shift ? QStringLiteral("\u0019") : QStringLiteral("\t");
    case Qt::Key_Backtab:
        return QStringLiteral("\u0019");
    case Qt::Key_Escape:
        return QStringLiteral("\u001b");
    case Qt::Key_Backspace:
        return QStringLiteral("\u007f");
    case Qt::Key_Space:
        return QStringLiteral(" ");
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Meta:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_CapsLock:
        return QString();
    default:
        return std::nullopt;
    }
}

// Modifier and lock keys, by Qt key or, for those Qt has no key for
// (ISO_Level5_Shift, ISO_Next_Group…), by their X keysym, which X11 and
// Wayland give as the native virtual key.
bool isModifierKey(int qtKey, quint32 keysym)
{
    switch (qtKey) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_Mode_switch:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
        return true;
    case 0:
    case Qt::Key_unknown:
        break;
    default:
        return false;
    }
    return (keysym >= 0xffe1 && keysym <= 0xffee) // Shift_L … Hyper_R
        || (keysym >= 0xfe01 && keysym <= 0xfe13) // ISO_Lock … ISO_Level5_Lock
        || keysym == 0xff7e || keysym == 0xff7f || keysym == 0xff14; // Mode_switch, Num_Lock, Scroll_Lock
}

bool hasControlCharacter(const QString &text)
{
    for (QChar c : text) {
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

} // namespace

KeyEventInfo keyEventInfo(const QKeyEvent &event)
{
    KeyEventInfo info;
    info.isRepeat = event.isAutoRepeat();

    const Qt::KeyboardModifiers mods = event.modifiers();
    const bool shift = mods.testFlag(Qt::ShiftModifier);
    if (shift)
        info.modifierFlags |= Flag::Shift;
    if (mods.testFlag(Qt::ControlModifier))
        info.modifierFlags |= Flag::Command;
    if (mods.testFlag(Qt::AltModifier))
        info.modifierFlags |= Flag::Option;
    if (mods.testFlag(Qt::MetaModifier))
        info.modifierFlags |= Flag::Control;

    const int qtKey = event.key();
    info.isModifierKey = isModifierKey(qtKey, event.nativeVirtualKey());
    if (isFunctionKey(qtKey))
        info.modifierFlags |= Flag::Function;

    // Key position.
    int code = KeyCode::Unknown;
    if (mods.testFlag(Qt::KeypadModifier))
        code = keypadKeyCodes().value(qtKey, KeyCode::Unknown);
    if (code == KeyCode::Unknown)
        code = mainKeyCodes().value(qtKey, KeyCode::Unknown);
    if (code == KeyCode::Unknown && event.nativeScanCode() > 8)
        code = keyCodeForEvdev(event.nativeScanCode() - 8);
    info.keyCode = code;

    // Text the key types with Shift but without the other modifiers.
    if (const auto special = specialCharacters(qtKey, shift)) {
        info.charactersIgnoringModifiers = *special;
        return info;
    }
    const bool commandLike = mods.testAnyFlags(Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const QString typed = event.text();
    if (!commandLike && !typed.isEmpty() && !hasControlCharacter(typed)) {
        info.charactersIgnoringModifiers = typed;
        return info;
    }
    // With Ctrl/Alt/Meta held the typed text is a control character or empty;
    // rebuild it from the key, which Qt gives as the unshifted upper-case
    // letter or the symbol as typed.
    if (qtKey > 0 && qtKey < 0x01000000) {
        const auto scalar = char32_t(qtKey);
        QString text = QString::fromUcs4(&scalar, 1);
        if (!shift)
            text = text.toLower();
        info.charactersIgnoringModifiers = text;
    }
    return info;
}
