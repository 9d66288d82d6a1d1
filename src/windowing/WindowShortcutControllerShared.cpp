// The shared instance lives apart so that tests of the controller link
// without the X11 backend and the user-defaults file.
#include "UserDefaultsSettingsStore.h"
#include "WindowShortcutController.h"
#include "XcbHotKeyBackend.h"

WindowShortcutController &WindowShortcutController::shared()
{
    // Lives for the whole run, like the application object's own singletons.
    static UserDefaultsSettingsStore store;
    static auto *instance = new WindowShortcutController(std::make_unique<XcbHotKeyBackend>(), store);
    return *instance;
}
