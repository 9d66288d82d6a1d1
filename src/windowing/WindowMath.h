#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

// Small geometry rules shared by the panel, the auto-hide and the resize grips.
namespace WindowMath {

inline constexpr double zoomStep = 0.05;
inline constexpr double minimumZoom = 0.5;
inline constexpr double maximumZoom = 1.5;
inline constexpr double baseMinimumWidth = 450.0;
inline constexpr double baseMinimumHeight = 600.0;

// Half-open containment: the left and top edges belong to the rectangle, the
// right and bottom edges do not, so neighbouring rectangles (screens stacked
// side by side) never share a point.
[[nodiscard]] bool halfOpenContains(const QRectF &rect, const QPointF &point);

// A zoom as every reader and writer sees it: 1.0 when not finite, otherwise the
// nearest multiple of 0.05 (halves away from zero) clamped to 0.5 ... 1.5.
[[nodiscard]] double normalizedZoom(double zoom);

// The smallest panel at a zoom within a work area of the given size.
[[nodiscard]] QSizeF minimumPanelSize(double zoom, const QSizeF &workArea);

// The unscaled size kept for a panel frame at a zoom: never below 450 x 600.
[[nodiscard]] QSizeF baseSizeForFrame(const QSizeF &frameSize, double zoom);

// rect grown by margin on every side.
[[nodiscard]] QRectF grown(const QRectF &rect, double margin);

} // namespace WindowMath
