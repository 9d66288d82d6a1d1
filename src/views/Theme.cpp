#include "Theme.h"

#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QJSEngine>

#include <cmath>
#include <limits>

namespace {

QColor fixedColor(double r, double g, double b)
{
    return QColor::fromRgbF(float(r), float(g), float(b), 1.0f);
}

// The ink colour at opacity 1: the palette's hex, the default ink when unreadable.
QColor opaqueInk()
{
    return Theme::opaqueColor(TransparentInkPalette::currentHex());
}

QColor inkAware(double r, double g, double b, double furtherOpacity = 1.0)
{
    if (!TransparentInkPalette::isActive())
        return fixedColor(r, g, b);
    return Theme::withOpacity(Theme::inkColor(), furtherOpacity);
}

} // namespace

Theme::Theme()
{
    // The palette and the level are written by the model; each of their
    // changes is one change of the look.
    connect(&TransparentInkPalette::shared(), &TransparentInkPalette::isActiveChanged, this, &Theme::changed);
    connect(&TransparentInkPalette::shared(), &TransparentInkPalette::currentHexChanged, this, &Theme::changed);
    connect(&TransparentInkPalette::shared(), &TransparentInkPalette::currentIntensityChanged, this, &Theme::changed);
    connect(&TransparentAppearanceScale::shared(), &TransparentAppearanceScale::currentValueChanged, this, &Theme::changed);
}

Theme &Theme::shared()
{
    static Theme *theme = new Theme; // lives for the process
    return *theme;
}

Theme *Theme::create(QQmlEngine *, QJSEngine *)
{
    Theme *theme = &shared();
    QJSEngine::setObjectOwnership(theme, QJSEngine::CppOwnership);
    return theme;
}

QColor Theme::appTitle() { return inkAware(0.13, 0.15, 0.21); }
QColor Theme::appPrimary() { return inkAware(0.043, 0.518, 0.996); }
QColor Theme::appGreen() { return inkAware(0.2, 0.72, 0.45); }
QColor Theme::appRed() { return inkAware(0.96, 0.31, 0.32); }
QColor Theme::appSecondary() { return inkAware(0.45, 0.48, 0.56, 0.79); }
QColor Theme::appPrimarySoft() { return inkAware(0.894, 0.941, 1.0, 0.14); }

QColor Theme::appBackground()
{
    static const QColor background = fixedColor(0.969, 0.965, 0.98);
    return background;
}

QColor Theme::separatorColor()
{
    return QColor::fromRgbF(0, 0, 0, 0.1);
}

QColor Theme::cutoutFallbackFill()
{
    // Opaque, light behind a dark ink and dark behind a light one: nothing
    // of the page may show through, so the card's rows read as they do over
    // the cut-out desktop.
    const QColor ink = opaqueInk();
    const double luminance = 0.2126 * ink.redF() + 0.7152 * ink.greenF() + 0.0722 * ink.blueF();
    return luminance < 0.5 ? appBackground() : fixedColor(0.12, 0.13, 0.16);
}

QString Theme::digitFontFamily()
{
    return QStringLiteral("DejaVu Sans");
}

double Theme::level()
{
    return TransparentAppearanceScale::currentValue();
}

bool Theme::inkActive()
{
    return TransparentInkPalette::isActive();
}

QColor Theme::inkColor()
{
    return withOpacity(opaqueInk(), TransparentInkPalette::currentIntensity());
}

QColor Theme::opaqueColor(const QString &hex)
{
    auto rgb = TransparentInkPalette::rgbComponents(hex);
    if (!rgb)
        rgb = TransparentInkPalette::rgbComponents(QString::fromLatin1(TransparentInkPalette::defaultHex));
    return fixedColor(rgb->red, rgb->green, rgb->blue);
}

double Theme::clamp01(double value)
{
    if (std::isnan(value) || value <= 0)
        return 0;
    return value > 1 ? 1 : value;
}

double Theme::levelScaled(double base, double level)
{
    return clamp01(base * level);
}

double Theme::levelCapped(double level)
{
    return clamp01(level);
}

double Theme::levelBoosted(double base, double level)
{
    if (!(level > 1))
        return base;
    return std::min(1.0, base * level);
}

QColor Theme::withOpacity(const QColor &color, double opacity)
{
    QColor result = color;
    result.setAlphaF(float(clamp01(color.alphaF() * clamp01(opacity))));
    return result;
}

QColor Theme::mix(const QColor &from, const QColor &to, double t)
{
    const double k = clamp01(t);
    const QColor a = from.toRgb();
    const QColor b = to.toRgb();
    return QColor::fromRgbF(float(a.redF() + (b.redF() - a.redF()) * k), float(a.greenF() + (b.greenF() - a.greenF()) * k),
                            float(a.blueF() + (b.blueF() - a.blueF()) * k),
                            float(a.alphaF() + (b.alphaF() - a.alphaF()) * k));
}

QColor Theme::transparentPrimary(bool hovered, double parentOpacity, double level)
{
    const double base = hovered ? 1.0 : 0.83;
    const double a = levelBoosted(base, level);
    // A NaN parent opacity fails the comparison and takes the floor too.
    const double divisor = parentOpacity > 0.001 ? parentOpacity : 0.001;
    return withOpacity(appPrimary(), std::min(1.0, a / divisor));
}

double Theme::windowControlsOpacity(bool transparent, bool hovering, double level)
{
    if (!transparent)
        return 1.0;
    return levelScaled(hovering ? 0.34 : 0.18, level);
}

qint64 Theme::roundedPercent(double level)
{
    const double percent = std::round(level * 100.0); // halves away from zero
    if (std::isnan(percent))
        return 0;
    // 2^63 is exactly representable; anything at or beyond it would overflow.
    constexpr double limit = 9223372036854775808.0;
    if (percent >= limit)
        return std::numeric_limits<qint64>::max();
    if (percent < -limit)
        return std::numeric_limits<qint64>::min();
    return qint64(percent);
}

QString Theme::percentText(double level)
{
    return QString::number(roundedPercent(level)) + QLatin1Char('%');
}
