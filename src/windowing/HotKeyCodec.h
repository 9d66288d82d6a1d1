#pragma once

#include <QString>
#include <QtGlobal>
#include <optional>

// Translates a stored key combination (ANSI virtual key code and modifier
// mask) into what the X server grabs: a keysym and the logical modifiers.
// Command maps to Ctrl, Option to Alt, Control to Super, Shift to Shift.
namespace HotKeyCodec {

struct X11Modifiers
{
    bool control = false;
    bool alt = false;
    bool super = false;
    bool shift = false;
    friend bool operator==(const X11Modifiers &, const X11Modifiers &) = default;
};

// The X keysym of a virtual key code; none for a key this layout does not have.
[[nodiscard]] std::optional<quint32> keysymForKeyCode(quint32 keyCode);
[[nodiscard]] X11Modifiers x11Modifiers(quint32 modifierMask);
// The combination as a desktop portal's shortcut trigger: modifiers CTRL, ALT,
// SHIFT and LOGO, then the xkb keysym name, joined by '+' ("ALT+z"); none for
// a key this layout does not have.
[[nodiscard]] std::optional<QString> portalTrigger(quint32 keyCode, quint32 modifierMask);

} // namespace HotKeyCodec
