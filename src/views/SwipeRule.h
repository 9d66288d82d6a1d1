#pragma once

#include <QtGlobal>

// The one rule for a sideways swipe between questions, used by the question
// screen (its pager and the material view) and the analysis screen: a drag of
// at least minimumDistance whose horizontal part is strictly more than
// dominance times its vertical part moves by one question, leftward to the
// next. Anything else is scrolling and moves nothing. Distances are the
// content's own points (the view's coordinates), not window pixels: under
// the panel's zoom z a drag of d pixels is d / z points.
namespace SwipeRule {

inline constexpr double minimumDistance = 60;
inline constexpr double dominance = 1.4;

// +1 (next), -1 (previous) or 0 for a drag that ended at (dx, dy).
[[nodiscard]] int step(double dx, double dy);

// Horizontal wheel or touchpad movement read as a swipe (the analysis screen
// pages this way; the question screen does not): the deltas of one gesture
// (events less than gestureGap apart) add up, and the gesture moves one
// question at most, once its sum counts as a swipe. Deltas have the sign of a
// drag (content moving right is positive), as scroll views read them.
class WheelTracker
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

} // namespace SwipeRule
