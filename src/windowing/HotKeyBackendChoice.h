#pragma once

#include "HotKeyBackend.h"

#include <QProcessEnvironment>
#include <memory>

// Which way to global keys this session offers, decided once at start-up: the
// desktop portal on a Wayland session (where an X11 grab through XWayland
// never sees keys typed into native windows), the X11 grab everywhere else.
namespace HotKeyBackendChoice {

enum class Kind {
    x11Grab,
    portal,
    // A Wayland session whose portal offers no global shortcuts.
    none,
};

[[nodiscard]] bool isWaylandSession(const QProcessEnvironment &environment);
[[nodiscard]] Kind choose(bool waylandSession, bool portalOffersShortcuts);
// The backend for this process, on the session bus.
[[nodiscard]] std::unique_ptr<HotKeyBackend> make();

} // namespace HotKeyBackendChoice
