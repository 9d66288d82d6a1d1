#include "WindowResizeItem.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QQuickWindow>

WindowResizeItem::WindowResizeItem(QQuickItem *parent)
    : QQuickItem(parent)
{
    setAcceptedMouseButtons(Qt::LeftButton);
    setAcceptHoverEvents(true);
}

void WindowResizeItem::setResizingEnabled(bool enabled)
{
    m_logic.resizingEnabled = enabled;
    if (!enabled)
        unsetCursor();
}

bool WindowResizeItem::contains(const QPointF &point) const
{
    return m_logic.claims(point, size());
}

QImage WindowResizeItem::diagonalCursorImage(bool rising)
{
    QImage image(24, 24, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainterPath path;
    for (const QList<QPointF> &stroke : WindowResizeLogic::diagonalCursorStrokes(rising)) {
        path.moveTo(stroke.first());
        for (qsizetype i = 1; i < stroke.size(); ++i)
            path.lineTo(stroke.at(i));
    }
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.strokePath(path, QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    painter.strokePath(path, QPen(Qt::black, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    return image;
}

const QCursor &WindowResizeItem::risingCursor()
{
    static const QCursor cursor(QPixmap::fromImage(diagonalCursorImage(true)), 12, 12);
    return cursor;
}

const QCursor &WindowResizeItem::fallingCursor()
{
    static const QCursor cursor(QPixmap::fromImage(diagonalCursorImage(false)), 12, 12);
    return cursor;
}

QCursor WindowResizeItem::cursorFor(GripCursor cursor)
{
    switch (cursor) {
    case GripCursor::upDown:
        return QCursor(Qt::SizeVerCursor);
    case GripCursor::leftRight:
        return QCursor(Qt::SizeHorCursor);
    case GripCursor::rising:
        return risingCursor();
    case GripCursor::falling:
        break;
    }
    return fallingCursor();
}

void WindowResizeItem::updateCursor(const QPointF &point)
{
    const auto region = m_logic.resizingEnabled ? WindowResizeLogic::regionAt(point, size()) : std::nullopt;
    if (region)
        setCursor(cursorFor(region->cursor));
    else
        unsetCursor();
}

void WindowResizeItem::mousePressEvent(QMouseEvent *event)
{
    QQuickWindow *quickWindow = window();
    if (!quickWindow
        || !m_logic.mouseDown(event->position(), size(), QRectF(quickWindow->geometry()), event->globalPosition())) {
        event->ignore();
        return;
    }
    event->accept();
}

void WindowResizeItem::mouseMoveEvent(QMouseEvent *event)
{
    QQuickWindow *quickWindow = window();
    if (!quickWindow)
        return;
    const auto frame = m_logic.mouseDragged(event->globalPosition(), QSizeF(quickWindow->minimumSize()));
    if (!frame)
        return;
    if (applyFrame)
        applyFrame(*frame);
    else
        quickWindow->setGeometry(frame->toRect());
    event->accept();
}

void WindowResizeItem::mouseReleaseEvent(QMouseEvent *event)
{
    m_logic.mouseUp();
    event->accept();
}

void WindowResizeItem::mouseUngrabEvent()
{
    // A drag whose grab was taken away still ends, so the size is kept.
    m_logic.mouseUp();
}

void WindowResizeItem::hoverEnterEvent(QHoverEvent *event)
{
    updateCursor(event->position());
}

void WindowResizeItem::hoverMoveEvent(QHoverEvent *event)
{
    updateCursor(event->position());
}

void WindowResizeItem::hoverLeaveEvent(QHoverEvent *)
{
    unsetCursor();
}
