#pragma once

#include <QtGlobal>

#include <optional>

// Where the boundary between the material pane and the question card lies, on
// the question screen and on the analysis screen alike. A ratio is the share
// of the height given to the material; the card always keeps at least
// cardMinimumHeight while the area is that tall.
namespace MaterialSplitGeometry {

inline constexpr double defaultRatio = 0.46;
inline constexpr double cardMinimumHeight = 72;
inline constexpr double handleDragMinimumDistance = 6;

struct Split
{
    double height = 1; // the area's height, never below 1
    double maxTop = 0;
    double top = 0; // the material pane's height
};

// The split of an area of the given height at the given ratio. No ratio, or a
// NaN one, opens at defaultRatio: a broken value must not hide the material.
[[nodiscard]] Split layout(double availableHeight, std::optional<double> ratio);
// Whether a pointer that moved (dx, dy) since its press on the handle drags
// it: at least handleDragMinimumDistance away, in any direction.
[[nodiscard]] bool handleDragStarts(double dx, double dy);
// The ratio stored while the handle is dragged by translationY from a drag
// that began with the boundary at startTop. A NaN translation leaves the
// boundary where the drag began.
[[nodiscard]] double ratioForDrag(const Split &split, double startTop, double translationY);

} // namespace MaterialSplitGeometry
