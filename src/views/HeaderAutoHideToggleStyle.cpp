#include "HeaderAutoHideToggleStyle.h"

#include "Theme.h"

HeaderAutoHideToggleStyle::HeaderAutoHideToggleStyle(QObject *parent)
    : QObject(parent)
{
    // The colours follow the ink and the appearance level.
    connect(&Theme::shared(), &Theme::changed, this, &HeaderAutoHideToggleStyle::changed);
}

void HeaderAutoHideToggleStyle::setTransparent(bool transparent)
{
    if (m_transparent == transparent)
        return;
    m_transparent = transparent;
    Q_EMIT changed();
}

void HeaderAutoHideToggleStyle::setHovering(bool hovering)
{
    if (m_hovering == hovering)
        return;
    m_hovering = hovering;
    Q_EMIT changed();
}

void HeaderAutoHideToggleStyle::setOn(bool on)
{
    if (m_on == on)
        return;
    m_on = on;
    Q_EMIT changed();
}

QColor HeaderAutoHideToggleStyle::trackColor(bool transparent, bool on, bool hovering)
{
    if (!transparent)
        return on ? Theme::appPrimary() : Theme::withOpacity(Theme::appSecondary(), 0.25);
    const double factor = on ? (hovering ? 0.38 : 0.30) : (hovering ? 0.25 : 0.18);
    return Theme::withOpacity(Theme::appSecondary(), Theme::levelScaled(factor, Theme::level()));
}

QColor HeaderAutoHideToggleStyle::borderColor(bool transparent, bool on, bool hovering)
{
    if (!transparent)
        return on ? Theme::appPrimary() : Theme::withOpacity(Theme::appSecondary(), 0.35);
    const double factor = on ? (hovering ? 0.48 : 0.40) : (hovering ? 0.34 : 0.27);
    return Theme::withOpacity(Theme::appSecondary(), Theme::levelScaled(factor, Theme::level()));
}

QColor HeaderAutoHideToggleStyle::knobColor(bool transparent, bool hovering)
{
    if (!transparent)
        return QColor(Qt::white);
    return Theme::withOpacity(Theme::appTitle(), Theme::levelScaled(hovering ? 0.54 : 0.46, Theme::level()));
}
