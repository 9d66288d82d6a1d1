#include "AppearanceSliderState.h"

#include "Theme.h"

#include <algorithm>
#include <cmath>

AppearanceSliderState::AppearanceSliderState(QObject *parent)
    : QObject(parent)
{
    connect(&Theme::shared(), &Theme::changed, this, &AppearanceSliderState::changed);
}

void AppearanceSliderState::setTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    Q_EMIT changed();
}

void AppearanceSliderState::setHovering(bool hovering)
{
    if (m_hovering == hovering)
        return;
    m_hovering = hovering;
    Q_EMIT changed();
}

double AppearanceSliderState::travel(double width, double thumbDiameter)
{
    const double t = width - thumbDiameter;
    // NaN fails the comparison and takes the floor as well.
    return t > 1.0 ? t : 1.0;
}

double AppearanceSliderState::thumbOffset(double value, double travel)
{
    const double fraction = Theme::clamp01((value - minimumLevel) / span);
    return fraction * travel;
}

double AppearanceSliderState::valueForPointer(double x, double travel, double thumbDiameter)
{
    const double safeTravel = travel > 1.0 ? travel : 1.0;
    const double p = (x - thumbDiameter * 0.5) / safeTravel;
    const double raw = p > 0 ? minimumLevel + std::min(p, 1.0) * span : minimumLevel;
    const double snapped = std::round(raw / step) * step; // halves away from zero
    return std::clamp(snapped, minimumLevel, maximumLevel);
}

double AppearanceSliderState::incremented(double value)
{
    return std::min(maximumLevel, value + step);
}

double AppearanceSliderState::decremented(double value)
{
    return std::max(minimumLevel, value - step);
}

QColor AppearanceSliderState::trackColor() const
{
    const double opacity = m_transparent ? Theme::levelScaled(0.16, Theme::level()) : 0.18;
    return Theme::withOpacity(Theme::appSecondary(), opacity);
}

QColor AppearanceSliderState::activeTrackColor() const
{
    const double opacity = m_transparent ? Theme::levelScaled(m_hovering ? 0.50 : 0.42, Theme::level())
                                         : (m_hovering ? 0.58 : 0.48);
    return Theme::withOpacity(Theme::appPrimary(), opacity);
}

QColor AppearanceSliderState::thumbColor() const
{
    if (!m_transparent)
        return QColor(Qt::white);
    return Theme::withOpacity(Theme::appTitle(), Theme::levelScaled(m_hovering ? 0.46 : 0.36, Theme::level()));
}

QColor AppearanceSliderState::thumbBorderColor() const
{
    const double opacity = m_transparent ? Theme::levelScaled(m_hovering ? 0.42 : 0.30, Theme::level()) : 0.22;
    return Theme::withOpacity(Theme::appSecondary(), opacity);
}

QColor AppearanceSliderState::thumbShadowColor() const
{
    return m_transparent ? QColor(Qt::transparent) : QColor::fromRgbF(0, 0, 0, 0.14f);
}

QColor AppearanceSliderState::rowColor() const
{
    if (!m_transparent)
        return Theme::appSecondary();
    return Theme::withOpacity(Theme::appTitle(), Theme::levelScaled(0.52, Theme::level()));
}
