#pragma once

#include "models/Material.h"
#include "models/Question.h"

#include <QList>
#include <QString>
#include <optional>

// The analysis screen's rules that need no screen: which material a question
// reads, the option letters, the material split and the swipe between questions.
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

// A finished drag: 1 to the next question (leftward), -1 to the previous,
// 0 when it is no swipe (shorter than 60 pt, or not clearly horizontal).
inline constexpr double swipeMinimumDistance = 60;
[[nodiscard]] int swipeStep(double dx, double dy);


// Horizontal wheel or touchpad movement read as a swipe: the deltas of one
// gesture (events less than gestureGap apart) add up, and the gesture moves
// one question at most, once its sum would count as a swipe. Deltas have the
// sign of a drag (content moving right is positive), as scroll views read them.
class WheelSwipeTracker
{
public:
    static constexpr qint64 gestureGapMilliseconds = 250;

    // The step this event completes, usually 0.
    int feed(double dx, double dy, qint64 timestampMilliseconds);

private:
    double m_dx = 0;
    double m_dy = 0;
    qint64 m_last = 0;
    bool m_started = false;
    bool m_fired = false;
};

} // namespace AnalysisRules
