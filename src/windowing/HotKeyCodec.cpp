#include "HotKeyCodec.h"

#include "WindowShortcut.h"

#include <QStringList>
#include <array>
#include <xkbcommon/xkbcommon.h>
#include <utility>

namespace HotKeyCodec {

namespace {

// Virtual key code -> X keysym for the keys of an ANSI keyboard.
constexpr std::array<std::pair<quint32, quint32>, 100> keyTable{{
    // letters
    {0, 'a'}, {1, 's'}, {2, 'd'}, {3, 'f'}, {4, 'h'}, {5, 'g'}, {6, 'z'}, {7, 'x'}, {8, 'c'}, {9, 'v'},
    {11, 'b'}, {12, 'q'}, {13, 'w'}, {14, 'e'}, {15, 'r'}, {16, 'y'}, {17, 't'}, {31, 'o'}, {32, 'u'},
    {34, 'i'}, {35, 'p'}, {37, 'l'}, {38, 'j'}, {40, 'k'}, {45, 'n'}, {46, 'm'},
    // digits
    {18, '1'}, {19, '2'}, {20, '3'}, {21, '4'}, {22, '6'}, {23, '5'}, {25, '9'}, {26, '7'}, {28, '8'}, {29, '0'},
    // punctuation
    {24, '='}, {27, '-'}, {30, ']'}, {33, '['}, {39, '\''}, {41, ';'}, {42, '\\'}, {43, ','}, {44, '/'},
    {47, '.'}, {50, '`'},
    // editing and whitespace
    {36, 0xff0d}, // Return
    {48, 0xff09}, // Tab
    {49, ' '},
    {51, 0xff08}, // BackSpace
    {53, 0xff1b}, // Escape
    {117, 0xffff}, // Delete (forward)
    // navigation
    {114, 0xff6a}, // Help
    {115, 0xff50}, // Home
    {116, 0xff55}, // Prior
    {119, 0xff57}, // End
    {121, 0xff56}, // Next
    {123, 0xff51}, // Left
    {124, 0xff53}, // Right
    {125, 0xff54}, // Down
    {126, 0xff52}, // Up
    // keypad
    {65, 0xffae}, // KP_Decimal
    {67, 0xffaa}, // KP_Multiply
    {69, 0xffab}, // KP_Add
    {71, 0xff0b}, // Clear
    {75, 0xffaf}, // KP_Divide
    {76, 0xff8d}, // KP_Enter
    {78, 0xffad}, // KP_Subtract
    {81, 0xffbd}, // KP_Equal
    {82, 0xffb0}, {83, 0xffb1}, {84, 0xffb2}, {85, 0xffb3}, {86, 0xffb4}, {87, 0xffb5}, {88, 0xffb6},
    {89, 0xffb7}, {91, 0xffb8}, {92, 0xffb9},
    // function keys F1 ... F20
    {122, 0xffbe}, {120, 0xffbf}, {99, 0xffc0}, {118, 0xffc1}, {96, 0xffc2}, {97, 0xffc3}, {98, 0xffc4},
    {100, 0xffc5}, {101, 0xffc6}, {109, 0xffc7}, {103, 0xffc8}, {111, 0xffc9}, {105, 0xffca}, {107, 0xffcb},
    {113, 0xffcc}, {106, 0xffcd}, {64, 0xffce}, {79, 0xffcf}, {80, 0xffd0}, {90, 0xffd1},
}};

} // namespace

std::optional<quint32> keysymForKeyCode(quint32 keyCode)
{
    for (const auto &[code, keysym] : keyTable) {
        if (code == keyCode)
            return keysym;
    }
    return std::nullopt;
}

X11Modifiers x11Modifiers(quint32 modifierMask)
{
    X11Modifiers result;
    result.control = modifierMask & WindowShortcut::commandModifier;
    result.alt = modifierMask & WindowShortcut::optionModifier;
    result.super = modifierMask & WindowShortcut::controlModifier;
    result.shift = modifierMask & WindowShortcut::shiftModifier;
    return result;
}

std::optional<QString> portalTrigger(quint32 keyCode, quint32 modifierMask)
{
    const auto keysym = keysymForKeyCode(keyCode);
    if (!keysym)
        return std::nullopt;
    char name[64];
    if (xkb_keysym_get_name(*keysym, name, sizeof name) <= 0)
        return std::nullopt;
    const X11Modifiers logical = x11Modifiers(modifierMask);
    QStringList parts;
    if (logical.control)
        parts.append(QStringLiteral("CTRL"));
    if (logical.alt)
        parts.append(QStringLiteral("ALT"));
    if (logical.shift)
        parts.append(QStringLiteral("SHIFT"));
    if (logical.super)
        parts.append(QStringLiteral("LOGO"));
    parts.append(QString::fromLatin1(name));
    return parts.join(QLatin1Char('+'));
}

} // namespace HotKeyCodec
