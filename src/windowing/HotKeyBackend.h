#pragma once

#include <QString>
#include <QtGlobal>
#include <functional>

// The desktop's global key grab, one registration per handle.
class HotKeyBackend
{
public:
    // Registration outcomes of our own; a negative status is a failure.
    enum Status : int {
        ok = 0,
        // The desktop answers later, through the Listener (the portal may ask
        // the user first).
        pending = 1,
        busy = -1, // another program holds the combination
        unknownKey = -2, // the key does not exist on this keyboard
        unavailable = -3, // no way to reach global keys (no X11 display, no portal)
        noModifier = -4, // a modifier of the combination is on no modifier of this X server
        refused = -5, // the desktop refused the binding or failed to make it
        cancelled = -6, // the user turned the binding down in the desktop's dialog
        sessionClosed = -7, // the desktop ended the binding on its own
    };

    // Why no global key can work in this session.
    enum class Availability {
        available,
        // The program runs without X11 and no portal offers global shortcuts.
        noGlobalKeys,
        // A Wayland session whose portal offers no global shortcuts: an X11
        // grab through XWayland would never see keys typed into native windows.
        waylandWithoutPortal,
        // The portal gives global shortcuts only to programs it can name, and
        // could not name this one (its desktop entry is not installed).
        desktopRefusesProgram,
    };

    struct Registration
    {
        int status = ok;
        quint64 handle = 0;
    };

    // What a desktop that answers later reports.
    class Listener
    {
    public:
        virtual ~Listener() = default;
        // The answer to the registration `handle` that was pending.
        virtual void registrationAnswered(quint64 handle, int status) = 0;
        // The desktop's own words for the key in force ("Alt+Z"); empty when
        // it reports none.
        virtual void bindingDescribed(const QString &description) = 0;
        // The registration in force ended without being asked to (status < 0).
        virtual void bindingLost(int status) = 0;
        // availability() changed: the desktop's answer came after start-up.
        virtual void availabilityChanged() = 0;
    };

    virtual ~HotKeyBackend() = default;
    [[nodiscard]] virtual Availability availability() const { return Availability::available; }
    // False where no global key can ever work: the settings then offer no recording.
    [[nodiscard]] bool isAvailable() const { return availability() == Availability::available; }
    // True where the desktop keeps the key and the user changes it in the
    // desktop's own settings: a recorded combination is only a wish there.
    [[nodiscard]] virtual bool desktopKeepsKey() const { return false; }
    // Grabs the combination (stored key code and modifier mask) in addition to
    // whatever is already grabbed, or replaces the one binding where the
    // desktop keeps one per program.
    virtual Registration registerHotKey(quint32 keyCode, quint32 modifiers) = 0;
    virtual void unregisterHotKey(quint64 handle) = 0;
    // onPressed runs once per physical press of any registered combination.
    virtual void installHandler(std::function<void()> onPressed) = 0;
    virtual void removeHandler() = 0;
    // Only backends that answer later call it; it must outlive the backend's use.
    virtual void setListener(Listener *listener) { Q_UNUSED(listener) }
    // The window a desktop's confirmation dialog belongs to, as the portal
    // names windows ("x11:<id>"), asked for when the dialog may come; empty
    // when there is none.
    virtual void setDialogParent(std::function<QString()> parent) { Q_UNUSED(parent) }
};
