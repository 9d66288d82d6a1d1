#pragma once

#include "HotKeyBackend.h"

#include <QProcessEnvironment>
#include <QString>
#include <memory>

class QWindow;

// Which way to global keys this session offers, decided at start-up from the
// environment alone (nothing here waits on the desktop): the desktop portal on
// a Wayland session, where an X11 grab through XWayland never sees keys typed
// into native windows, the X11 grab everywhere else. Whether the portal offers
// global shortcuts it says itself, later.
namespace HotKeyBackendChoice {

[[nodiscard]] bool isWaylandSession(const QProcessEnvironment &environment);
// The backend for this process; the portal's on a session-bus connection of
// its own.
[[nodiscard]] std::unique_ptr<HotKeyBackend> make();
// The window as the portal names a dialog's parent: "x11:<id in hex>" on
// X11 (XWayland included); empty on Wayland, where a parent needs a handle
// exported through the compositor, and for a window not made yet.
[[nodiscard]] QString portalWindowName(const QWindow *window);

} // namespace HotKeyBackendChoice
