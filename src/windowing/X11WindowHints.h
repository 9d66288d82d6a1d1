#pragma once

#include <QPoint>
#include <optional>

class QString;
class QWindow;

// Window-manager hints Qt has no API for.
namespace X11WindowHints {

// Shows the window on every workspace: _NET_WM_DESKTOP 0xFFFFFFFF and the
// sticky state, written on the window for its next map and asked of a
// running window manager. Does nothing off X11.
void joinAllWorkspaces(QWindow *window);

// A frameless window gets its shadow from the compositing manager, if at all;
// this asks it for one or none (_COMPTON_SHADOW, read by the compositors that
// draw shadows for undecorated windows). Does nothing off X11.
void setCompositorShadow(QWindow *window, bool shadow);

// Names the window after the program's desktop entry (WM_CLASS, whose instance
// part stays what Qt wrote, and _KDE_NET_WM_DESKTOP_FILE, _GTK_APPLICATION_ID),
// so that desktops put it under that entry. For a window not mapped yet. Does
// nothing off X11.
void setApplicationId(QWindow *window, const QString &applicationId);

// Where the X server has the window's top-left corner, in root coordinates:
// the truth, where Qt's own idea of the place may be stale (a window manager
// that moves a window while it is withdrawn tells Qt nothing). None off X11
// or before the window exists.
std::optional<QPoint> rootPosition(QWindow *window);

// Asks the X server (and so a window manager, which sees the request) to put
// the window's top-left corner at `position`, even where Qt believes it is
// there already. Does nothing off X11.
void moveTo(QWindow *window, const QPoint &position);

} // namespace X11WindowHints
