#pragma once

#include <QtGlobal>
#include <functional>

// The desktop's global key grab, one registration per handle.
class HotKeyBackend
{
public:
    // Registration outcomes of our own; any non-zero status is a failure.
    enum Status : int {
        ok = 0,
        busy = -1, // another program holds the combination
        unknownKey = -2, // the key does not exist on this keyboard
        unavailable = -3, // no X11 display: global keys cannot be grabbed
        noModifier = -4, // a modifier of the combination is on no modifier of this X server
    };

    struct Registration
    {
        int status = ok;
        quint64 handle = 0;
    };

    virtual ~HotKeyBackend() = default;
    // False where no global grab can ever succeed (no X11 display, as on a
    // pure Wayland session): the settings then offer no recording.
    [[nodiscard]] virtual bool isAvailable() const { return true; }
    // Grabs the combination (stored key code and modifier mask) in addition to
    // whatever is already grabbed.
    virtual Registration registerHotKey(quint32 keyCode, quint32 modifiers) = 0;
    virtual void unregisterHotKey(quint64 handle) = 0;
    // onPressed runs once per physical press of any registered combination.
    virtual void installHandler(std::function<void()> onPressed) = 0;
    virtual void removeHandler() = 0;
};
