// The shared instance lives apart so that tests of the controller link
// without the desktop's backends and the user-defaults file.
#include "HotKeyBackendChoice.h"
#include "UserDefaultsSettingsStore.h"
#include "WindowShortcutController.h"

WindowShortcutController &WindowShortcutController::shared()
{
    // Lives for the whole run, like the application object's own singletons.
    static UserDefaultsSettingsStore store;
    static auto *instance = new WindowShortcutController(HotKeyBackendChoice::make(), store);
    return *instance;
}
