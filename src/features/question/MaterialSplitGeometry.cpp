#include "MaterialSplitGeometry.h"

#include <algorithm>

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

Split layout(double availableHeight, double ratio)
{
    Split split;
    split.height = availableHeight > 1 ? availableHeight : 1;
    const double maxTop = split.height - cardMinimumHeight;
    split.maxTop = maxTop > 0 ? maxTop : 0;
    split.top = clampTop(ratio * split.height, split.maxTop);
    return split;
}

double ratioForDrag(const Split &split, double startTop, double translationY)
{
    return clampTop(startTop + translationY, split.maxTop) / split.height;
}

} // namespace MaterialSplitGeometry
