#pragma once

#include "ShellPorts.h"

// The screens as Qt reports them: frame = geometry, visible frame = the
// available geometry (without panels and docks).
class QtScreenList final : public ScreenList
{
public:
    [[nodiscard]] QList<ScreenInfo> screens() const override;
    [[nodiscard]] std::optional<ScreenInfo> mainScreen() const override;
};
