#include "BottomTrailingWindowResizeArea.h"

#include <QCursor>
#include <QMouseEvent>
#include <QQuickWindow>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A pixel length from a pointer delta, held within int range.
int clampedLength(double value)
{
    if (std::isnan(value))
        return 0;
    constexpr double limit = double(std::numeric_limits<int>::max() / 2);
    return int(std::lround(std::clamp(value, -limit, limit)));
}

} // namespace

BottomTrailingWindowResizeArea::BottomTrailingWindowResizeArea(QQuickItem *parent)
    : QQuickItem(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setCursor(Qt::CrossCursor);
}

QRect BottomTrailingWindowResizeArea::resizedFrame(const QRect &initial, const QPointF &start, const QPointF &pointer,
                                                   const QSize &minimum)
{
    const int dx = clampedLength(pointer.x() - start.x());
    const int dy = clampedLength(pointer.y() - start.y());
    // Dragging down makes the window taller: y grows downwards here.
    const int width = std::max(int(std::clamp<qint64>(qint64(initial.width()) + dx, 0, std::numeric_limits<int>::max())),
                               minimum.width());
    const int height = std::max(int(std::clamp<qint64>(qint64(initial.height()) + dy, 0, std::numeric_limits<int>::max())),
                                minimum.height());
    return {initial.topLeft(), QSize(width, height)};
}

void BottomTrailingWindowResizeArea::mousePressEvent(QMouseEvent *event)
{
    event->accept();
    QQuickWindow *win = window();
    if (!win)
        return;
    m_initialFrame = win->geometry();
    m_initialPointer = event->globalPosition();
    Q_EMIT draggingChanged();
    Q_EMIT began();
}

void BottomTrailingWindowResizeArea::mouseMoveEvent(QMouseEvent *event)
{
    event->accept();
    QQuickWindow *win = window();
    if (!win || !m_initialFrame || !m_initialPointer)
        return;
    win->setGeometry(resizedFrame(*m_initialFrame, *m_initialPointer, event->globalPosition(), win->minimumSize()));
}

void BottomTrailingWindowResizeArea::mouseReleaseEvent(QMouseEvent *event)
{
    event->accept();
    finish();
}

void BottomTrailingWindowResizeArea::mouseUngrabEvent()
{
    // A grab taken away mid-drag still ends the drag, so the pause it began
    // is always released.
    finish();
}

void BottomTrailingWindowResizeArea::finish()
{
    if (!m_initialFrame)
        return;
    m_initialFrame.reset();
    m_initialPointer.reset();
    Q_EMIT draggingChanged();
    Q_EMIT ended();
}
