#pragma once

#include <QFlags>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <functional>
#include <optional>

// Which edges of the panel a grip moves.
enum class ResizeEdge : unsigned { left = 1, right = 2, top = 4, bottom = 8 };
Q_DECLARE_FLAGS(ResizeEdges, ResizeEdge)
Q_DECLARE_OPERATORS_FOR_FLAGS(ResizeEdges)

enum class GripCursor { upDown, leftRight, rising, falling };

struct GripRegion
{
    QRectF rect; // in the grip layer's own coordinates (origin top-left, y down)
    ResizeEdges edges;
    GripCursor cursor;
};

// The edge resize grips of the frameless panel, without any drawing or events:
// which points the grips claim, and the frame a drag produces. The layer
// covers the whole panel and claims only 6-px strips along the edges (18 px
// free at each end) and 18 x 18 squares in the corners.
class WindowResizeLogic
{
public:
    static constexpr double stripThickness = 6.0;
    static constexpr double cornerSize = 18.0;

    // The eight regions for a layer of this size; where regions overlap (a
    // tiny layer), the earlier one wins.
    [[nodiscard]] static QList<GripRegion> regions(const QSizeF &bounds);
    [[nodiscard]] static std::optional<GripRegion> regionAt(const QPointF &point, const QSizeF &bounds);
    // The frame after the pointer moved from initialMouse to mouse with these
    // edges held: the opposite edges stay put; never below minimum.
    [[nodiscard]] static QRectF resizedFrame(const QRectF &initialFrame, const QPointF &initialMouse,
                                             const QPointF &mouse, ResizeEdges edges, const QSizeF &minimum);
    // Polylines of the diagonal double-arrow cursor in a 24 x 24 image.
    [[nodiscard]] static QList<QList<QPointF>> diagonalCursorStrokes(bool rising);

    std::function<void()> onBegin;
    std::function<void()> onEnd;
    bool resizingEnabled = true;

    // Whether a press at point belongs to a grip (otherwise it goes to the content).
    [[nodiscard]] bool claims(const QPointF &point, const QSizeF &bounds) const;
    // Starts a drag when point lies in a grip; true when one started.
    bool mouseDown(const QPointF &point, const QSizeF &bounds, const QRectF &windowFrame, const QPointF &globalMouse);
    // The new window frame for the pointer at globalMouse, none when no drag runs.
    [[nodiscard]] std::optional<QRectF> mouseDragged(const QPointF &globalMouse, const QSizeF &minimum) const;
    // Ends a drag; true when one was running.
    bool mouseUp();

    [[nodiscard]] bool isDragging() const { return m_initialFrame.has_value(); }
    [[nodiscard]] ResizeEdges activeEdges() const { return m_activeEdges; }

private:
    std::optional<QRectF> m_initialFrame;
    std::optional<QPointF> m_initialMouse;
    ResizeEdges m_activeEdges;
};
