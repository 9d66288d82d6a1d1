#pragma once

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

} // namespace X11WindowHints
