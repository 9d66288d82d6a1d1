#pragma once

// Names the program as desktops know it, once the application object exists:
// Qt's application name, the desktop file name (which Qt gives Wayland as the
// window's app id) and, on X11, every window's class and desktop-entry
// properties, which this Qt takes from elsewhere or does not write.
namespace DesktopIdentity {

void apply();

} // namespace DesktopIdentity
