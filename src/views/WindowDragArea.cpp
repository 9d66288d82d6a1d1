#include "WindowDragArea.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QQuickWindow>
#include <QStyleHints>

WindowDragArea::WindowDragArea(QQuickItem *parent)
    : QQuickItem(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
}

void WindowDragArea::setPanel(QObject *panel)
{
    if (m_panel == panel)
        return;
    endPanelDrag();
    m_panel = panel;
    Q_EMIT changed();
}

void WindowDragArea::endPanelDrag()
{
    if (!m_panelDrag)
        return;
    m_panelDrag = false;
    if (m_panel)
        QMetaObject::invokeMethod(m_panel, "endWindowDrag", Qt::DirectConnection);
}

void WindowDragArea::setLeadingControlWidth(double width)
{
    if (m_leading == width)
        return;
    m_leading = width;
    Q_EMIT changed();
}

void WindowDragArea::setTrailingControlWidth(double width)
{
    if (m_trailing == width)
        return;
    m_trailing = width;
    Q_EMIT changed();
}

void WindowDragArea::setMovable(bool movable)
{
    if (m_movable == movable)
        return;
    m_movable = movable;
    Q_EMIT changed();
}

bool WindowDragArea::contains(const QPointF &point) const
{
    if (point.x() < 0 || point.y() < 0 || point.x() > width() || point.y() > height())
        return false;
    return m_leading <= point.x() && point.x() <= width() - m_trailing;
}

void WindowDragArea::mousePressEvent(QMouseEvent *event)
{
    // The press is ours either way: a double click or a press on a window
    // that cannot move goes no further.
    event->accept();
    const ulong time = event->timestamp();
    const int interval = QGuiApplication::styleHints()->mouseDoubleClickInterval();
    const bool secondClick = m_hasLastPress && time - m_lastPressTime <= ulong(interval);
    m_lastPressTime = time;
    m_hasLastPress = true;
    QQuickWindow *win = window();
    if (secondClick || !win || !m_movable)
        return;
    if (m_panel) {
        if (!m_panel->property("movable").toBool())
            return;
        m_panelDrag = QMetaObject::invokeMethod(m_panel, "beginWindowDrag", Qt::DirectConnection,
                                                Q_ARG(QPointF, event->globalPosition()));
        if (m_panelDrag)
            return;
    }
    if (win->startSystemMove())
        return;
    // Without a window-system move (no compositor support, offscreen), follow
    // the pointer ourselves.
    m_manualMove = true;
    m_pressGlobal = event->globalPosition();
    m_windowStart = win->position();
}

void WindowDragArea::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    if (m_panelDrag && m_panel) {
        QMetaObject::invokeMethod(m_panel, "dragWindow", Qt::DirectConnection, Q_ARG(QPointF, event->globalPosition()));
        return;
    }
    if (!m_manualMove || !window())
        return;
    const QPointF delta = event->globalPosition() - m_pressGlobal;
    window()->setPosition(m_windowStart + delta.toPoint());
}

void WindowDragArea::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    m_manualMove = false;
    endPanelDrag();
}

void WindowDragArea::mouseDoubleClickEvent(QMouseEvent *event)
{
    event->accept();
}

void WindowDragArea::mouseUngrabEvent()
{
    // A lost grab ends the move too, so the shell's pause is always released.
    m_manualMove = false;
    endPanelDrag();
}
