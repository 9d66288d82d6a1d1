#include "InkIntensityMapping.h"

#include "Theme.h"

#include <algorithm>

InkIntensityMapping::InkIntensityMapping(QObject *parent)
    : QObject(parent)
{
}

double InkIntensityMapping::travel(double width, double thumbDiameter)
{
    const double t = width - thumbDiameter;
    return t > 1.0 ? t : 1.0;
}

double InkIntensityMapping::thumbOffset(double intensity, double travel)
{
    return travel * Theme::clamp01((intensity - minimum) / (maximum - minimum));
}

double InkIntensityMapping::intensityForPointer(double x, double travel, double thumbDiameter)
{
    const double safeTravel = travel > 1.0 ? travel : 1.0;
    const double f = Theme::clamp01((x - thumbDiameter * 0.5) / safeTravel);
    return minimum + f * (maximum - minimum);
}

double InkIntensityMapping::incremented(double intensity)
{
    return std::min(maximum, intensity + step);
}

double InkIntensityMapping::decremented(double intensity)
{
    return std::max(minimum, intensity - step);
}
