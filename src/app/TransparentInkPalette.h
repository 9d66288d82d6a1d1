#pragma once

#include <QObject>
#include <QString>
#include <optional>

// The ink colour of the transparent look: the process-wide current ink (read by
// every tinted view while drawing, written only by the application model on the
// GUI thread) and the pure colour functions that the model, the ink settings and
// the HTML views share.
//
// HSB values are computed with the plain HSV hexcone model on 0...1 components;
// there is no separate calibrated and device colour space here.
class TransparentInkPalette : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool isActive READ isActive NOTIFY isActiveChanged)
    Q_PROPERTY(QString currentHex READ currentHex NOTIFY currentHexChanged)
    Q_PROPERTY(double currentIntensity READ currentIntensity NOTIFY currentIntensityChanged)

public:
    struct HSV
    {
        double hue = 0;        // fraction of a full turn, 0 = red
        double saturation = 0;
        double brightness = 0; // the largest component
        bool operator==(const HSV &) const = default;
    };

    struct RGB
    {
        double red = 0;
        double green = 0;
        double blue = 0;
        bool operator==(const RGB &) const = default;
    };

    static constexpr const char *defaultHex = "#212636";
    static constexpr double minimumBrightness = 0.05;

    // The one instance; views connect to its signals to redraw.
    static TransparentInkPalette &shared();

    // Process-wide state.
    [[nodiscard]] static bool isActive();
    [[nodiscard]] static QString currentHex();
    [[nodiscard]] static double currentIntensity();
    static void setActive(bool active);
    static void setCurrentHex(const QString &hex);
    static void setCurrentIntensity(double intensity);

    // "#RRGGBB" in upper case, or nothing for text that is not six hex digits
    // after trimming and dropping one leading "#".
    [[nodiscard]] static std::optional<QString> normalizedHex(const QString &value);
    // Components 0...1, or nothing when normalizedHex rejects the text.
    [[nodiscard]] static std::optional<RGB> rgbComponents(const QString &hex);
    // HSB of the colour; unreadable text gives the values of the default ink.
    [[nodiscard]] static HSV hsv(const QString &hex);
    // "#RRGGBB" of a colour; each channel is rounded (halves away from zero) and
    // clamped to 0...255. Nothing when a component is not a finite number.
    [[nodiscard]] static std::optional<QString> hex(const RGB &color);
    // Same hue and saturation, brightness clamped to 0.05...1.0.
    [[nodiscard]] static QString hex(const QString &hex, double settingBrightness);
    // The HSB colour with hue and saturation clamped to 0...1 and brightness to 0.05...1.0.
    [[nodiscard]] static QString hex(double hue, double saturation, double brightness);
    // "rgba(R, G, B, A)" with A = opacity × currentIntensity clamped to 0...1.
    [[nodiscard]] static QString cssRGBA(const QString &hex, double opacity);

    // The shortest decimal that reads back to the same double, always with a
    // fractional part ("1.0"); exponent form below 0.0001.
    [[nodiscard]] static QString decimalText(double value);

    // The ink colour components of currentHex (the default ink when unreadable);
    // its opacity is currentIntensity.
    [[nodiscard]] static RGB inkComponents();

    // Plain HSV arithmetic, exposed for the colour wheel.
    [[nodiscard]] static HSV hsvFromRGB(const RGB &color);
    [[nodiscard]] static RGB rgbFromHSV(const HSV &color);

Q_SIGNALS:
    void isActiveChanged();
    void currentHexChanged();
    void currentIntensityChanged();

private:
    TransparentInkPalette() = default;
    bool m_active = false;
    QString m_hex = QString::fromLatin1(defaultHex);
    double m_intensity = 1.0;
};
