#pragma once

#include <optional>

// The analysis screen's rule that needs no screen: the material split.
// Material lookup and option letters are the question screen's rules.
namespace AnalysisRules {

// The material pane's height in an area of the given height.
struct Split
{
    double height = 1;  // the area, at least 1
    double maxTop = 0;  // the question part keeps 72 pt while it can
    double top = 0;     // the material pane
};
inline constexpr double defaultMaterialRatio = 0.46;
[[nodiscard]] Split materialSplit(double areaHeight, std::optional<double> ratio);
// The ratio stored for a handle dragged by translation from start.
[[nodiscard]] double draggedRatio(const Split &split, double start, double translation);

} // namespace AnalysisRules
