#include "SwipeClassifier.h"

#include <cmath>

SwipeClassifier::SwipeClassifier(QObject *parent)
    : QObject(parent)
{
}

bool SwipeClassifier::isSwipe(double dx, double dy)
{
    return std::hypot(dx, dy) >= minimumDistanceValue;
}

int SwipeClassifier::moveFor(double dx, double dy)
{
    if (!isSwipe(dx, dy) || !(std::abs(dx) > dominance * std::abs(dy)))
        return 0;
    return dx < 0 ? 1 : -1;
}
