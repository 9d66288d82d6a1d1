#include "SheetKeyMonitor.h"

#include "MainPanelController.h"
#include "platform/gui/KeyEventAdapter.h"

#include <QKeyEvent>
#include <QWindow>

SheetKeyMonitor::SheetKeyMonitor(QWindow *panel, MainPanelController *controller, QObject *parent)
    : QObject(parent)
    , m_panel(panel)
    , m_controller(controller)
{
}

bool SheetKeyMonitor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !m_controller || !m_panel || m_controller->isStopped())
        return false;
    // Every key press reaches its window first (widget dialogs included, through
    // their window handle) and only then a widget: look at the window alone, so
    // a press is never counted twice.
    QWindow *window = qobject_cast<QWindow *>(watched);
    if (!window || window == m_panel || window->transientParent() != m_panel)
        return false;
    return m_controller->handleScaleShortcut(keyEventInfo(*static_cast<QKeyEvent *>(event)));
}
