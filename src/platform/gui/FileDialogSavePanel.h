#pragma once

#include "platform/SavePanel.h"

// The program's save panel: a file dialog in save mode, window-modal over the
// window that has the focus (so it never opens beneath the always-on-top
// panel), or free-standing when no window has it.
class FileDialogSavePanel final : public SavePanel
{
public:
    QCoro::Task<std::optional<QString>> chooseDestination(Request request) override;
};
