#include "AppModel.h"

#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"
#include "platform/UserDefaults.h"

#include <QTimer>

#include <cmath>

// Transparency, brightness and ink colour. Ink changes come in bursts while the
// user drags the wheel or the slider: they are published and mirrored at once
// and saved once per 250 ms of quiet; the switches and the level are saved at once.

void AppModel::setStudyTransparencyEnabled(bool value)
{
    publish(m_studyTransparencyEnabled, value, &AppModel::studyTransparencyEnabledChanged);
    defaults().setValue(QStringLiteral("study_transparency_enabled"), value);
    updatePaletteActivity();
    if (!value)
        flushTransparentInkColor();
}

void AppModel::setHoverAutoHideEnabled(bool value)
{
    publish(m_hoverAutoHideEnabled, value, &AppModel::hoverAutoHideEnabledChanged);
    defaults().setValue(QStringLiteral("hover_auto_hide_enabled"), value);
}

void AppModel::setTransparentAppearanceLevel(double value)
{
    // NaN or infinity would spoil every colour computed from the level.
    if (!std::isfinite(value))
        return;
    // The shared level first: views that redraw on the announcement read it.
    TransparentAppearanceScale::setCurrentValue(value);
    publish(m_transparentAppearanceLevel, value, &AppModel::transparentAppearanceLevelChanged);
    defaults().setValue(transparentAppearanceLevelKey, value);
}

void AppModel::setTransparentInkHexValue(const QString &value)
{
    TransparentInkPalette::setCurrentHex(value);
    publish(m_transparentInkHex, value, &AppModel::transparentInkHexChanged);
}

void AppModel::setTransparentInkIntensityValue(double value)
{
    if (!std::isfinite(value))
        return;
    TransparentInkPalette::setCurrentIntensity(value);
    publish(m_transparentInkIntensity, value, &AppModel::transparentInkIntensityChanged);
}

QString AppModel::acceptedInkHex(const QString &normalized) const
{
    // An ink darker than the floor would make text invisible on a clear page.
    const auto rgb = TransparentInkPalette::rgbComponents(normalized);
    if (!rgb)
        return normalized;
    const double brightness = std::max({rgb->red, rgb->green, rgb->blue});
    if (brightness < TransparentInkPalette::minimumBrightness)
        return TransparentInkPalette::hex(normalized, TransparentInkPalette::minimumBrightness);
    return normalized;
}

void AppModel::setTransparentInkHex(const QString &text)
{
    const auto normalized = TransparentInkPalette::normalizedHex(text);
    if (!normalized)
        return;
    setTransparentInkHexValue(acceptedInkHex(*normalized));
    scheduleTransparentInkColorSave();
}

void AppModel::setTransparentInkIntensity(double value)
{
    if (!std::isfinite(value))
        return;
    setTransparentInkIntensityValue(std::min(std::max(value, 0.1), 1.0));
    scheduleTransparentInkColorSave();
}

void AppModel::restoreDefaultTransparentInk()
{
    m_inkSaveTimer->stop();
    setTransparentInkHexValue(QString::fromLatin1(TransparentInkPalette::defaultHex));
    setTransparentInkIntensityValue(1.0);
    flushTransparentInkColor();
}

void AppModel::scheduleTransparentInkColorSave()
{
    // Restarting the single-shot timer drops the pending save and waits anew.
    m_inkSaveTimer->start();
}

bool AppModel::hasPendingInkSave() const
{
    return m_inkSaveTimer->isActive();
}

void AppModel::flushTransparentInkColor()
{
    m_inkSaveTimer->stop();
    defaults().setValue(transparentInkHexKey, m_transparentInkHex);
    defaults().setValue(transparentInkIntensityKey, m_transparentInkIntensity);
}
