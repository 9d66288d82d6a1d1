#include "WindowMath.h"

#include <algorithm>
#include <cmath>

namespace WindowMath {

bool halfOpenContains(const QRectF &rect, const QPointF &point)
{
    return point.x() >= rect.left() && point.x() < rect.left() + rect.width() && point.y() >= rect.top()
        && point.y() < rect.top() + rect.height();
}

double normalizedZoom(double zoom)
{
    if (!std::isfinite(zoom))
        return 1.0;
    // std::round rounds halves away from zero; the product stays a double, so
    // even huge inputs cannot overflow an integer here.
    const double snapped = std::round(zoom * 20.0) / 20.0;
    return std::min(std::max(snapped, minimumZoom), maximumZoom);
}

QSizeF minimumPanelSize(double zoom, const QSizeF &workArea)
{
    return {std::min(baseMinimumWidth * zoom, workArea.width()), std::min(baseMinimumHeight * zoom, workArea.height())};
}

QSizeF baseSizeForFrame(const QSizeF &frameSize, double zoom)
{
    return {std::max(frameSize.width() / zoom, baseMinimumWidth), std::max(frameSize.height() / zoom, baseMinimumHeight)};
}

QRectF grown(const QRectF &rect, double margin)
{
    return rect.adjusted(-margin, -margin, margin, margin);
}

} // namespace WindowMath
