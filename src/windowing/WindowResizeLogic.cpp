#include "WindowResizeLogic.h"

#include "WindowMath.h"

#include <algorithm>

QList<GripRegion> WindowResizeLogic::regions(const QSizeF &bounds)
{
    const double w = bounds.width();
    const double h = bounds.height();
    const double t = stripThickness;
    const double c = cornerSize;
    const double stripWidth = std::max(0.0, w - 2 * c);
    const double stripHeight = std::max(0.0, h - 2 * c);
    return {
        {{c, h - t, stripWidth, t}, ResizeEdge::bottom, GripCursor::upDown},
        {{c, 0, stripWidth, t}, ResizeEdge::top, GripCursor::upDown},
        {{0, c, t, stripHeight}, ResizeEdge::left, GripCursor::leftRight},
        {{w - t, c, t, stripHeight}, ResizeEdge::right, GripCursor::leftRight},
        {{0, h - c, c, c}, ResizeEdge::left | ResizeEdge::bottom, GripCursor::rising},
        {{w - c, 0, c, c}, ResizeEdge::right | ResizeEdge::top, GripCursor::rising},
        {{0, 0, c, c}, ResizeEdge::left | ResizeEdge::top, GripCursor::falling},
        {{w - c, h - c, c, c}, ResizeEdge::right | ResizeEdge::bottom, GripCursor::falling},
    };
}

std::optional<GripRegion> WindowResizeLogic::regionAt(const QPointF &point, const QSizeF &bounds)
{
    for (const GripRegion &region : regions(bounds)) {
        if (WindowMath::halfOpenContains(region.rect, point))
            return region;
    }
    return std::nullopt;
}

QRectF WindowResizeLogic::resizedFrame(const QRectF &initialFrame, const QPointF &initialMouse, const QPointF &mouse,
                                       ResizeEdges edges, const QSizeF &minimum)
{
    const double dx = mouse.x() - initialMouse.x();
    const double dy = mouse.y() - initialMouse.y();
    const double x0 = initialFrame.x();
    const double y0 = initialFrame.y();
    const double w0 = initialFrame.width();
    const double h0 = initialFrame.height();

    double x = x0;
    double width = w0;
    if (edges.testFlag(ResizeEdge::left)) {
        width = std::max(minimum.width(), w0 - dx);
        x = (x0 + w0) - width;
    } else if (edges.testFlag(ResizeEdge::right)) {
        width = std::max(minimum.width(), w0 + dx);
    }

    // y grows downwards: dragging the bottom edge down (dy > 0) grows the
    // panel; dragging the top edge keeps the bottom edge in place.
    double y = y0;
    double height = h0;
    if (edges.testFlag(ResizeEdge::bottom)) {
        height = std::max(minimum.height(), h0 + dy);
    } else if (edges.testFlag(ResizeEdge::top)) {
        height = std::max(minimum.height(), h0 - dy);
        y = (y0 + h0) - height;
    }
    return {x, y, width, height};
}

QList<QList<QPointF>> WindowResizeLogic::diagonalCursorStrokes(bool rising)
{
    // Drawn in a 24-px square with y down; the rising arrow runs from the
    // bottom-left to the top-right corner.
    const double a = rising ? 19 : 5;
    const double b = rising ? 5 : 19;
    return {
        {{5, a}, {19, b}},
        {{5, 12}, {5, a}, {12, a}},
        {{19, 12}, {19, b}, {12, b}},
    };
}

bool WindowResizeLogic::claims(const QPointF &point, const QSizeF &bounds) const
{
    return resizingEnabled && regionAt(point, bounds).has_value();
}

bool WindowResizeLogic::mouseDown(const QPointF &point, const QSizeF &bounds, const QRectF &windowFrame,
                                  const QPointF &globalMouse)
{
    if (!resizingEnabled)
        return false;
    const auto region = regionAt(point, bounds);
    if (!region)
        return false;
    m_initialFrame = windowFrame;
    m_initialMouse = globalMouse;
    m_activeEdges = region->edges;
    if (onBegin)
        onBegin();
    return true;
}

std::optional<QRectF> WindowResizeLogic::mouseDragged(const QPointF &globalMouse, const QSizeF &minimum) const
{
    if (!m_initialFrame || !m_initialMouse)
        return std::nullopt;
    return resizedFrame(*m_initialFrame, *m_initialMouse, globalMouse, m_activeEdges, minimum);
}

bool WindowResizeLogic::mouseUp()
{
    if (!m_initialFrame)
        return false;
    m_initialFrame.reset();
    m_initialMouse.reset();
    m_activeEdges = {};
    if (onEnd)
        onEnd();
    return true;
}
