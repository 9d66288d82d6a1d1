#pragma once

#include <QFlags>
#include <QString>

// One key press in the program's own key vocabulary: virtual key codes of an
// ANSI keyboard and the modifier flags Control, Option, Command, Function and
// Shift. The GUI layer builds it from a QKeyEvent (see gui/KeyEventAdapter.h);
// everything above that seam (shortcut tables, stored hot keys) speaks only
// this vocabulary, so stored formats stay the same on every desktop.
struct KeyEventInfo
{
    // Values are the device-independent modifier bits of the key vocabulary,
    // so stored masks and tests such as "any of Control/Option/Command/Function"
    // (mask 0x9C0000) read as plain numbers.
    enum class ModifierFlag : unsigned int {
        Shift = 0x20000,
        Control = 0x40000,   // the Meta/Super key on PC keyboards
        Option = 0x80000,    // Alt
        Command = 0x100000,  // Ctrl
        Function = 0x800000, // set for arrow, navigation and F keys
    };
    Q_DECLARE_FLAGS(ModifierFlags, ModifierFlag)

    int keyCode = -1;
    ModifierFlags modifierFlags;
    QString charactersIgnoringModifiers;
    bool isRepeat = false;
    // A modifier or lock key on its own (Shift, Ctrl, Alt, AltGr, Super, Caps
    // Lock, Num Lock, Scroll Lock…). X11 and Wayland report each of them as a
    // key press of its own before the key it modifies; it is no key to bind.
    bool isModifierKey = false;

    friend bool operator==(const KeyEventInfo &, const KeyEventInfo &) = default;
};
Q_DECLARE_OPERATORS_FOR_FLAGS(KeyEventInfo::ModifierFlags)

// Virtual key codes of an ANSI keyboard. Keys that such a keyboard lacks get
// Unknown; PC keys without an equivalent are mapped to the nearest one
// (Insert is Help, Print Screen/Scroll Lock/Pause are F13/F14/F15).
namespace KeyCode {
inline constexpr int Unknown = -1;

inline constexpr int A = 0x00;
inline constexpr int S = 0x01;
inline constexpr int D = 0x02;
inline constexpr int F = 0x03;
inline constexpr int H = 0x04;
inline constexpr int G = 0x05;
inline constexpr int Z = 0x06;
inline constexpr int X = 0x07;
inline constexpr int C = 0x08;
inline constexpr int V = 0x09;
inline constexpr int Section = 0x0A; // the extra key left of Z on ISO keyboards
inline constexpr int B = 0x0B;
inline constexpr int Q = 0x0C;
inline constexpr int W = 0x0D;
inline constexpr int E = 0x0E;
inline constexpr int R = 0x0F;
inline constexpr int Y = 0x10;
inline constexpr int T = 0x11;
inline constexpr int Digit1 = 0x12;
inline constexpr int Digit2 = 0x13;
inline constexpr int Digit3 = 0x14;
inline constexpr int Digit4 = 0x15;
inline constexpr int Digit6 = 0x16;
inline constexpr int Digit5 = 0x17;
inline constexpr int Equal = 0x18;
inline constexpr int Digit9 = 0x19;
inline constexpr int Digit7 = 0x1A;
inline constexpr int Minus = 0x1B;
inline constexpr int Digit8 = 0x1C;
inline constexpr int Digit0 = 0x1D;
inline constexpr int RightBracket = 0x1E;
inline constexpr int O = 0x1F;
inline constexpr int U = 0x20;
inline constexpr int LeftBracket = 0x21;
inline constexpr int I = 0x22;
inline constexpr int P = 0x23;
inline constexpr int Return = 0x24; // 36
inline constexpr int L = 0x25;
inline constexpr int J = 0x26;
inline constexpr int Quote = 0x27;
inline constexpr int K = 0x28;
inline constexpr int Semicolon = 0x29;
inline constexpr int Backslash = 0x2A;
inline constexpr int Comma = 0x2B;
inline constexpr int Slash = 0x2C;
inline constexpr int N = 0x2D;
inline constexpr int M = 0x2E;
inline constexpr int Period = 0x2F;
inline constexpr int Tab = 0x30;    // 48
inline constexpr int Space = 0x31;  // 49
inline constexpr int Grave = 0x32;
inline constexpr int Delete = 0x33; // 51, backspace
inline constexpr int Escape = 0x35; // 53
inline constexpr int RightCommand = 0x36;
inline constexpr int Command = 0x37;
inline constexpr int Shift = 0x38;
inline constexpr int CapsLock = 0x39;
inline constexpr int Option = 0x3A;
inline constexpr int Control = 0x3B;
inline constexpr int RightShift = 0x3C;
inline constexpr int RightOption = 0x3D;
inline constexpr int RightControl = 0x3E;
inline constexpr int Function = 0x3F;
inline constexpr int F17 = 0x40;
inline constexpr int KeypadDecimal = 0x41;
inline constexpr int KeypadMultiply = 0x43;
inline constexpr int KeypadPlus = 0x45; // 69
inline constexpr int KeypadClear = 0x47; // Num Lock on PC keyboards
inline constexpr int VolumeUp = 0x48;
inline constexpr int VolumeDown = 0x49;
inline constexpr int Mute = 0x4A;
inline constexpr int KeypadDivide = 0x4B;
inline constexpr int KeypadEnter = 0x4C; // 76
inline constexpr int KeypadMinus = 0x4E; // 78
inline constexpr int F18 = 0x4F;
inline constexpr int F19 = 0x50;
inline constexpr int KeypadEquals = 0x51;
inline constexpr int Keypad0 = 0x52;
inline constexpr int Keypad1 = 0x53;
inline constexpr int Keypad2 = 0x54;
inline constexpr int Keypad3 = 0x55;
inline constexpr int Keypad4 = 0x56;
inline constexpr int Keypad5 = 0x57;
inline constexpr int Keypad6 = 0x58;
inline constexpr int Keypad7 = 0x59;
inline constexpr int F20 = 0x5A;
inline constexpr int Keypad8 = 0x5B;
inline constexpr int Keypad9 = 0x5C;
inline constexpr int F5 = 0x60;
inline constexpr int F6 = 0x61;
inline constexpr int F7 = 0x62;
inline constexpr int F3 = 0x63;
inline constexpr int F8 = 0x64;
inline constexpr int F9 = 0x65;
inline constexpr int F11 = 0x67;
inline constexpr int F13 = 0x69;
inline constexpr int F16 = 0x6A;
inline constexpr int F14 = 0x6B;
inline constexpr int F10 = 0x6D;
inline constexpr int ContextMenu = 0x6E;
inline constexpr int F12 = 0x6F;
inline constexpr int F15 = 0x71;
inline constexpr int Help = 0x72; // Insert on PC keyboards
inline constexpr int Home = 0x73;
inline constexpr int PageUp = 0x74;
inline constexpr int ForwardDelete = 0x75; // 117
inline constexpr int F4 = 0x76;
inline constexpr int End = 0x77;
inline constexpr int F2 = 0x78;
inline constexpr int PageDown = 0x79;
inline constexpr int F1 = 0x7A;
inline constexpr int LeftArrow = 0x7B;  // 123
inline constexpr int RightArrow = 0x7C; // 124
inline constexpr int DownArrow = 0x7D;  // 125
inline constexpr int UpArrow = 0x7E;    // 126
} // namespace KeyCode

// Characters that arrow, navigation and function keys report as their text.
namespace FunctionKeyCharacter {
inline constexpr char16_t UpArrow = 0xF700;
inline constexpr char16_t DownArrow = 0xF701;
inline constexpr char16_t LeftArrow = 0xF702;
inline constexpr char16_t RightArrow = 0xF703;
inline constexpr char16_t F1 = 0xF704; // F1..F35 follow in order
inline constexpr char16_t Insert = 0xF727;
inline constexpr char16_t Delete = 0xF728; // forward delete
inline constexpr char16_t Home = 0xF729;
inline constexpr char16_t Begin = 0xF72A;
inline constexpr char16_t End = 0xF72B;
inline constexpr char16_t PageUp = 0xF72C;
inline constexpr char16_t PageDown = 0xF72D;
inline constexpr char16_t PrintScreen = 0xF72E;
inline constexpr char16_t ScrollLock = 0xF72F;
inline constexpr char16_t Pause = 0xF730;
inline constexpr char16_t Clear = 0xF739;
inline constexpr char16_t Help = 0xF746;
inline constexpr char16_t Menu = 0xF735;
} // namespace FunctionKeyCharacter
