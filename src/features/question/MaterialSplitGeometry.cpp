#include "MaterialSplitGeometry.h"

#include <algorithm>
#include <cmath>

namespace MaterialSplitGeometry {

namespace {

// Holds a boundary within 0 … maxTop; NaN lands on the top edge.
double clampTop(double top, double maxTop)
{
    if (!(top > 0))
        return 0;
    return std::min(top, maxTop);
}

} // namespace

Split layout(double availableHeight, std::optional<double> ratio)
{
    Split split;
    split.height = std::isfinite(availableHeight) && availableHeight > 1 ? availableHeight : 1;
    const double maxTop = split.height - cardMinimumHeight;
    split.maxTop = maxTop > 0 ? maxTop : 0;
    double share = ratio.value_or(defaultRatio);
    if (std::isnan(share))
        share = defaultRatio;
    split.top = clampTop(share * split.height, split.maxTop);
    return split;
}

bool handleDragStarts(double dx, double dy)
{
    return std::hypot(dx, dy) >= handleDragMinimumDistance;
}

double ratioForDrag(const Split &split, double startTop, double translationY)
{
    const double moved = std::isnan(translationY) ? startTop : startTop + translationY;
    return clampTop(moved, split.maxTop) / split.height;
}

} // namespace MaterialSplitGeometry
