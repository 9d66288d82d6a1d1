#include "SwipeRule.h"

#include <cmath>

namespace SwipeRule {

int step(double dx, double dy)
{
    // A drag measured in a zoomed view's coordinates can fall a rounding
    // short of a distance the hand made exactly.
    constexpr double rounding = 1e-9;
    if (!std::isfinite(dx) || !std::isfinite(dy) || std::hypot(dx, dy) < minimumDistance - rounding)
        return 0;
    if (!(std::abs(dx) > dominance * std::abs(dy)))
        return 0;
    return dx < 0 ? 1 : -1;
}

int WheelTracker::feed(double dx, double dy, qint64 timestampMilliseconds)
{
    if (!std::isfinite(dx) || !std::isfinite(dy))
        return 0;
    if (!m_started || timestampMilliseconds - m_last > gestureGapMilliseconds || timestampMilliseconds < m_last) {
        m_dx = 0;
        m_dy = 0;
        m_fired = false;
        m_started = true;
    }
    m_last = timestampMilliseconds;
    m_dx += dx;
    m_dy += dy;
    if (m_fired)
        return 0;
    const int moved = step(m_dx, m_dy);
    m_fired = moved != 0;
    return moved;
}

} // namespace SwipeRule
