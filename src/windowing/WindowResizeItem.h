#pragma once

#include "WindowResizeLogic.h"

#include <QCursor>
#include <QImage>
#include <QQuickItem>
#include <functional>

// The edge grips of the frameless panel: a layer over the whole content that
// takes presses only in the grip regions, shows the matching resize cursor
// there, and resizes the window while dragged.
class WindowResizeItem : public QQuickItem
{
    Q_OBJECT

public:
    explicit WindowResizeItem(QQuickItem *parent = nullptr);

    [[nodiscard]] WindowResizeLogic &logic() { return m_logic; }
    [[nodiscard]] bool resizingEnabled() const { return m_logic.resizingEnabled; }
    // Off: new drags do not start and the cursors go; a running drag goes on.
    void setResizingEnabled(bool enabled);

    // Sets the window frame during a drag; the window's own geometry when unset.
    std::function<void(const QRectF &)> applyFrame;

    // The diagonal double-arrow cursors, made once and shared.
    [[nodiscard]] static const QCursor &risingCursor();
    [[nodiscard]] static const QCursor &fallingCursor();
    [[nodiscard]] static QImage diagonalCursorImage(bool rising);
    [[nodiscard]] static QCursor cursorFor(GripCursor cursor);

    bool contains(const QPointF &point) const override;

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseUngrabEvent() override;
    void hoverEnterEvent(QHoverEvent *event) override;
    void hoverMoveEvent(QHoverEvent *event) override;
    void hoverLeaveEvent(QHoverEvent *event) override;

private:
    void updateCursor(const QPointF &point);

    WindowResizeLogic m_logic;
};
