#include "AnalysisRules.h"

#include <algorithm>
#include <cmath>

namespace AnalysisRules {

Split materialSplit(double areaHeight, std::optional<double> ratio)
{
    Split split;
    split.height = std::max(1.0, std::isfinite(areaHeight) ? areaHeight : 1.0);
    split.maxTop = std::max(0.0, split.height - 72);
    double share = ratio.value_or(defaultMaterialRatio);
    if (!std::isfinite(share))
        share = defaultMaterialRatio;
    split.top = std::min(split.maxTop, std::max(0.0, share * split.height));
    return split;
}

double draggedRatio(const Split &split, double start, double translation)
{
    const double moved = std::isfinite(translation) ? start + translation : start;
    const double top = std::min(split.maxTop, std::max(0.0, moved));
    return top / split.height;
}

} // namespace AnalysisRules
