#include "InkSettingsController.h"

#include "ColorWheelGeometry.h"
#include "InkIntensityMapping.h"
#include "Theme.h"
#include "app/AppModel.h"
#include "app/TransparentInkPalette.h"

#include <algorithm>
#include <cmath>

namespace {

const QString defaultHex = QString::fromLatin1(TransparentInkPalette::defaultHex);

} // namespace

InkSettingsController::InkSettingsController(QObject *parent)
    : QObject(parent)
{
    connect(&Theme::shared(), &Theme::changed, this, &InkSettingsController::colorsChanged);
}

void InkSettingsController::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    if (model) {
        connect(model, &AppModel::transparentInkHexChanged, this, &InkSettingsController::modelInkChanged);
        connect(model, &AppModel::transparentInkIntensityChanged, this, &InkSettingsController::modelInkChanged);
    }
    Q_EMIT modelChanged();
    Q_EMIT colorsChanged();
}

void InkSettingsController::modelInkChanged()
{
    Q_EMIT colorsChanged();
}

void InkSettingsController::setHue(double hue)
{
    m_hue = hue;
    Q_EMIT stateChanged();
}

void InkSettingsController::setSaturation(double saturation)
{
    m_saturation = saturation;
    Q_EMIT stateChanged();
}

void InkSettingsController::setIntensity(double intensity)
{
    m_intensity = intensity;
    Q_EMIT stateChanged();
}

void InkSettingsController::setHoveringDone(bool hovering)
{
    if (m_hoveringDone == hovering)
        return;
    m_hoveringDone = hovering;
    Q_EMIT stateChanged();
    Q_EMIT colorsChanged();
}

QString InkSettingsController::modelHex() const
{
    return m_model ? m_model->transparentInkHex() : defaultHex;
}

double InkSettingsController::modelIntensity() const
{
    const double intensity = m_model ? m_model->transparentInkIntensity() : 1.0;
    return std::isfinite(intensity) ? intensity : 1.0;
}

QString InkSettingsController::intensityPercentText() const
{
    return Theme::percentText(m_intensity);
}

QString InkSettingsController::wheelAccessibilityValue() const
{
    return ColorWheelGeometry::accessibilityValue(m_hue, m_saturation);
}

QColor InkSettingsController::modelInkColor() const
{
    return Theme::opaqueColor(modelHex());
}

QColor InkSettingsController::swatchColor() const
{
    return Theme::withOpacity(modelInkColor(), modelIntensity());
}

QColor InkSettingsController::previewOutlineColor() const
{
    return Theme::withOpacity(Theme::inkColor(), 0.22);
}

QColor InkSettingsController::restoreDefaultColor() const
{
    return Theme::withOpacity(Theme::appPrimary(), Theme::levelBoosted(0.83, Theme::level()));
}

QColor InkSettingsController::liveDoneColor() const
{
    const double a = m_hoveringDone ? 1.0 : Theme::levelBoosted(0.83, Theme::level());
    return Theme::withOpacity(modelInkColor(), a * modelIntensity());
}

void InkSettingsController::synchronizeHSV(const QString &hex)
{
    const auto hsv = TransparentInkPalette::hsv(hex);
    m_hue = hsv.hue;
    m_saturation = hsv.saturation;
    m_baseBrightness = std::min(1.0, std::max(TransparentInkPalette::minimumBrightness, hsv.brightness));
}

void InkSettingsController::appear()
{
    const QString hex = modelHex();
    m_draftHex = hex;
    m_invalidHex = false;
    m_intensity = modelIntensity();
    synchronizeHSV(hex);
    Q_EMIT stateChanged();
}

void InkSettingsController::handleHexInput(const QString &text)
{
    QString digits = text;
    digits.remove(QLatin1Char('#'));
    const QString candidate = QLatin1Char('#') + digits.toUpper();
    m_draftHex = candidate;

    std::optional<QString> normalized = TransparentInkPalette::normalizedHex(candidate);
    if (!normalized) {
        // An empty field (only the "#") is not an error yet.
        m_invalidHex = candidate != QStringLiteral("#");
        Q_EMIT stateChanged();
        return;
    }
    QString accepted = *normalized;
    if (TransparentInkPalette::hsv(accepted).brightness < TransparentInkPalette::minimumBrightness)
        accepted = TransparentInkPalette::hex(accepted, TransparentInkPalette::minimumBrightness);
    m_draftHex = accepted; // the field shows the colour actually used
    m_invalidHex = false;
    synchronizeHSV(accepted);
    Q_EMIT stateChanged();
    if (m_model)
        m_model->setTransparentInkHex(accepted);
}

void InkSettingsController::applyHueAndSaturation()
{
    // A colour picked on the wheel is always fully bright.
    m_baseBrightness = 1.0;
    const QString hex = TransparentInkPalette::hex(m_hue, m_saturation, 1.0);
    m_draftHex = hex;
    m_invalidHex = false;
    Q_EMIT stateChanged();
    if (m_model)
        m_model->setTransparentInkHex(hex);
}

void InkSettingsController::applyIntensity()
{
    if (std::isnan(m_intensity))
        return;
    const double value = std::clamp(m_intensity, InkIntensityMapping::minimum, InkIntensityMapping::maximum);
    // The model's operation assigns the intensity and schedules the save.
    if (m_model)
        m_model->setTransparentInkIntensity(value);
}

void InkSettingsController::restoreDefault()
{
    if (m_model)
        m_model->restoreDefaultTransparentInk();
    m_draftHex = defaultHex;
    m_invalidHex = false;
    m_intensity = 1.0;
    synchronizeHSV(defaultHex);
    Q_EMIT stateChanged();
}

void InkSettingsController::done()
{
    if (m_model)
        m_model->flushTransparentInkColor();
    Q_EMIT dismissRequested();
}
