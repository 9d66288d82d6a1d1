#pragma once

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

} // namespace X11WindowHints
