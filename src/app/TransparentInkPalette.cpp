#include "TransparentInkPalette.h"

#include <QCoreApplication>
#include <QLocale>
#include <QThread>

#include <algorithm>
#include <cmath>

namespace {

// The state is read while drawing and written by the model; both happen on the
// GUI thread only, so there is no locking.
void assertGuiThread()
{
    Q_ASSERT(!QCoreApplication::instance() || QThread::currentThread() == QCoreApplication::instance()->thread());
}

double clampUnit(double v)
{
    if (std::isnan(v) || v <= 0)
        return 0;
    return v > 1 ? 1 : v;
}

double clampBrightness(double v)
{
    // NaN compares false everywhere: treat it as the floor.
    if (std::isnan(v))
        return TransparentInkPalette::minimumBrightness;
    return std::min(1.0, std::max(TransparentInkPalette::minimumBrightness, v));
}

bool isHexDigit(QChar c)
{
    const ushort u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'f') || (u >= 'A' && u <= 'F');
}

// Rounded to the nearest integer with halves away from zero, then kept in a byte.
int channelByte(double component)
{
    const double scaled = std::round(component * 255.0);
    return int(std::clamp(scaled, 0.0, 255.0));
}

QString shortestDouble(double v)
{
    // Exponent form only for magnitudes below 0.0001 (1e-05); otherwise plain
    // digits with at least one fractional digit (1.0, 0.35, 0.0001).
    const double magnitude = std::abs(v);
    if (magnitude != 0 && (magnitude < 1e-4 || magnitude >= 1e16))
        return QString::number(v, 'e', QLocale::FloatingPointShortest);
    QString text = QString::number(v, 'f', QLocale::FloatingPointShortest);
    if (!text.contains(QLatin1Char('.')))
        text += QStringLiteral(".0");
    return text;
}

} // namespace

TransparentInkPalette &TransparentInkPalette::shared()
{
    static TransparentInkPalette *palette = new TransparentInkPalette; // lives for the process
    return *palette;
}

bool TransparentInkPalette::isActive()
{
    return shared().m_active;
}

QString TransparentInkPalette::currentHex()
{
    return shared().m_hex;
}

double TransparentInkPalette::currentIntensity()
{
    return shared().m_intensity;
}

void TransparentInkPalette::setActive(bool active)
{
    assertGuiThread();
    auto &p = shared();
    if (p.m_active == active)
        return;
    p.m_active = active;
    Q_EMIT p.isActiveChanged();
}

void TransparentInkPalette::setCurrentHex(const QString &hex)
{
    assertGuiThread();
    auto &p = shared();
    if (p.m_hex == hex)
        return;
    p.m_hex = hex;
    Q_EMIT p.currentHexChanged();
}

void TransparentInkPalette::setCurrentIntensity(double intensity)
{
    assertGuiThread();
    auto &p = shared();
    if (p.m_intensity == intensity)
        return;
    p.m_intensity = intensity;
    Q_EMIT p.currentIntensityChanged();
}

std::optional<QString> TransparentInkPalette::normalizedHex(const QString &value)
{
    QString text = value.trimmed();
    if (text.startsWith(QLatin1Char('#')))
        text.remove(0, 1);
    if (text.size() != 6)
        return std::nullopt;
    for (QChar c : std::as_const(text)) {
        if (!isHexDigit(c))
            return std::nullopt;
    }
    return QLatin1Char('#') + text.toUpper();
}

std::optional<TransparentInkPalette::RGB> TransparentInkPalette::rgbComponents(const QString &hex)
{
    const auto normalized = normalizedHex(hex);
    if (!normalized)
        return std::nullopt;
    bool ok = false;
    const uint v = normalized->mid(1).toUInt(&ok, 16);
    if (!ok)
        return std::nullopt;
    return RGB{((v >> 16) & 0xFF) / 255.0, ((v >> 8) & 0xFF) / 255.0, (v & 0xFF) / 255.0};
}

TransparentInkPalette::HSV TransparentInkPalette::hsvFromRGB(const RGB &c)
{
    const double maxC = std::max({c.red, c.green, c.blue});
    const double minC = std::min({c.red, c.green, c.blue});
    const double delta = maxC - minC;
    HSV out;
    out.brightness = maxC;
    out.saturation = maxC > 0 ? delta / maxC : 0;
    if (delta <= 0) {
        out.hue = 0;
    } else {
        double h;
        if (maxC == c.red)
            h = (c.green - c.blue) / delta;
        else if (maxC == c.green)
            h = 2.0 + (c.blue - c.red) / delta;
        else
            h = 4.0 + (c.red - c.green) / delta;
        h /= 6.0;
        if (h < 0)
            h += 1.0;
        out.hue = h;
    }
    return out;
}

TransparentInkPalette::RGB TransparentInkPalette::rgbFromHSV(const HSV &c)
{
    const double v = c.brightness;
    const double s = c.saturation;
    if (s <= 0)
        return RGB{v, v, v};
    double h = c.hue * 6.0;
    if (h >= 6.0)
        h = 0; // a full turn is red again
    const int i = int(std::floor(h));
    const double f = h - i;
    const double p = v * (1 - s);
    const double q = v * (1 - s * f);
    const double t = v * (1 - s * (1 - f));
    switch (i) {
    case 0:
        return RGB{v, t, p};
    case 1:
        return RGB{q, v, p};
    case 2:
        return RGB{p, v, t};
    case 3:
        return RGB{p, q, v};
    case 4:
        return RGB{t, p, v};
    default:
        return RGB{v, p, q};
    }
}

TransparentInkPalette::HSV TransparentInkPalette::hsv(const QString &hex)
{
    const auto rgb = rgbComponents(hex);
    if (!rgb)
        return hsvFromRGB(*rgbComponents(QString::fromLatin1(defaultHex)));
    return hsvFromRGB(*rgb);
}

std::optional<QString> TransparentInkPalette::hex(const RGB &color)
{
    if (!std::isfinite(color.red) || !std::isfinite(color.green) || !std::isfinite(color.blue))
        return std::nullopt;
    return QString::asprintf("#%02X%02X%02X", channelByte(color.red), channelByte(color.green), channelByte(color.blue));
}

QString TransparentInkPalette::hex(const QString &hexText, double settingBrightness)
{
    const auto rgb = rgbComponents(hexText);
    if (!rgb)
        return QString::fromLatin1(defaultHex);
    HSV target = hsvFromRGB(*rgb);
    target.brightness = clampBrightness(settingBrightness);
    return hex(rgbFromHSV(target)).value_or(QString::fromLatin1(defaultHex));
}

QString TransparentInkPalette::hex(double hue, double saturation, double brightness)
{
    const HSV target{clampUnit(hue), clampUnit(saturation), clampBrightness(brightness)};
    return hex(rgbFromHSV(target)).value_or(QString::fromLatin1(defaultHex));
}

QString TransparentInkPalette::cssRGBA(const QString &hexText, double opacity)
{
    const RGB rgb = rgbComponents(hexText).value_or(*rgbComponents(QString::fromLatin1(defaultHex)));
    const double alpha = clampUnit(opacity * currentIntensity());
    return QStringLiteral("rgba(%1, %2, %3, %4)")
        .arg(channelByte(rgb.red))
        .arg(channelByte(rgb.green))
        .arg(channelByte(rgb.blue))
        .arg(shortestDouble(alpha));
}

QString TransparentInkPalette::decimalText(double value)
{
    return shortestDouble(value);
}

TransparentInkPalette::RGB TransparentInkPalette::inkComponents()
{
    return rgbComponents(currentHex()).value_or(*rgbComponents(QString::fromLatin1(defaultHex)));
}
