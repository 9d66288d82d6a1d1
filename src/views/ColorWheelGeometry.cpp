#include "ColorWheelGeometry.h"

#include "Theme.h"
#include "app/TransparentInkPalette.h"

#include <cmath>
#include <numbers>

namespace {

qint64 roundedWhole(double value)
{
    // Hue and saturation are fractions, so their display numbers are small;
    // anything unreadable shows as 0.
    const double rounded = std::round(value);
    if (!std::isfinite(rounded) || std::abs(rounded) > 1e15)
        return 0;
    return qint64(rounded);
}

} // namespace

ColorWheelGeometry::ColorWheelGeometry(QObject *parent)
    : QObject(parent)
{
}

double ColorWheelGeometry::radius(double width, double height, double knobSize)
{
    const double side = std::min(width, height);
    const double r = side * 0.5 - knobSize * 0.5;
    return r > 1.0 ? r : 1.0;
}

QPointF ColorWheelGeometry::knobOffset(double hue, double saturation, double radius)
{
    const double angle = hue * 2.0 * std::numbers::pi;
    const double distance = saturation * radius;
    if (!std::isfinite(angle) || !std::isfinite(distance))
        return {};
    return {std::cos(angle) * distance, std::sin(angle) * distance};
}

ColorWheelGeometry::Selection ColorWheelGeometry::selection(double x, double y, double centerX, double centerY, double radius)
{
    const double dx = x - centerX;
    const double dy = y - centerY;
    const double safeRadius = radius > 0 ? radius : 1.0;
    Selection result;
    result.saturation = Theme::clamp01(std::hypot(dx, dy) / safeRadius);
    double angle = std::atan2(dy, dx);
    if (std::isnan(angle))
        angle = 0;
    if (angle < 0)
        angle += 2.0 * std::numbers::pi;
    result.hue = angle / (2.0 * std::numbers::pi);
    return result;
}

QVariantMap ColorWheelGeometry::selectionAt(double x, double y, double centerX, double centerY, double radius)
{
    const Selection s = selection(x, y, centerX, centerY, radius);
    return {{QStringLiteral("hue"), s.hue}, {QStringLiteral("saturation"), s.saturation}};
}

QString ColorWheelGeometry::accessibilityValue(double hue, double saturation)
{
    return QStringLiteral("色相 %1 度，饱和度 %2%")
        .arg(roundedWhole(hue * 360.0))
        .arg(roundedWhole(saturation * 100.0));
}

QColor ColorWheelGeometry::knobColor(double hue, double saturation, double brightness)
{
    const auto rgb = TransparentInkPalette::rgbFromHSV(
        {Theme::clamp01(hue), Theme::clamp01(saturation), Theme::clamp01(brightness)});
    return QColor::fromRgbF(float(rgb.red), float(rgb.green), float(rgb.blue), 1.0f);
}

QColor ColorWheelGeometry::wheelColorAt(double x, double y, double side)
{
    const double half = side * 0.5;
    if (!(half > 0))
        return QColor(Qt::transparent);
    const double dx = x - half;
    const double dy = y - half;
    const double distance = std::hypot(dx, dy);
    if (distance > half)
        return QColor(Qt::transparent);
    const Selection s = selection(x, y, half, half, half);
    return knobColor(s.hue, s.saturation, 1.0);
}
