#pragma once

#include "ShellPorts.h"

#include <QPointer>

class QWindow;

// The program's other visible windows (dialogs, menus, pop-ups).
class QtWindowList final : public WindowList
{
public:
    explicit QtWindowList(QWindow *panel);
    [[nodiscard]] QList<QRectF> otherVisibleWindowFrames() const override;

private:
    QPointer<QWindow> m_panel;
};
