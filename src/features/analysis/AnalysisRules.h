#pragma once

#include "models/Material.h"
#include "models/Question.h"

#include <QList>
#include <QString>
#include <optional>

// The analysis screen's rules that need no screen: which material a question
// reads, the option letters, and the material split.
namespace AnalysisRules {

// The material named by the question's material id, both ids trimmed; an
// absent, blank, "0" or "null" (any case) id names none.
[[nodiscard]] std::optional<Material> materialFor(const Question &question, const QList<Material> &materials);

// "A" for 0, "B" for 1, … past "Z" the following code points; the decimal
// position from 1 where no character exists.
[[nodiscard]] QString optionLetter(qsizetype index);

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
