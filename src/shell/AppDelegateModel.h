#pragma once

#include "windowing/ShellModel.h"
#include "windowing/ShellPorts.h"

#include <memory>

// Creates the application model as the shell sees it.
[[nodiscard]] std::unique_ptr<ShellModel> makeAppShellModel(SettingsStore &store);
