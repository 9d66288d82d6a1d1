#pragma once

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

class QQmlEngine;
class QJSEngine;

// The application colours and the opacity rules of the transparent look.
//
// The ink-aware colours (title, primary, green, red, secondary, primary-soft)
// turn into the user's ink colour while the ink palette is active; the page
// background never does. Every colour is computed afresh from the palette and
// the appearance level, and one `changed` signal announces any change of the
// four values they depend on, so a QML binding that reads any property of
// Theme is re-evaluated whenever the look changes.
class Theme : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(QColor appTitle READ appTitle NOTIFY changed)
    Q_PROPERTY(QColor appPrimary READ appPrimary NOTIFY changed)
    Q_PROPERTY(QColor appGreen READ appGreen NOTIFY changed)
    Q_PROPERTY(QColor appRed READ appRed NOTIFY changed)
    Q_PROPERTY(QColor appSecondary READ appSecondary NOTIFY changed)
    Q_PROPERTY(QColor appPrimarySoft READ appPrimarySoft NOTIFY changed)
    Q_PROPERTY(QColor appBackground READ appBackground CONSTANT)
    // The thin lines between regions, in either look.
    Q_PROPERTY(QColor separatorColor READ separatorColor CONSTANT)
    // Beneath a see-through card whose page cannot be cut out (a scene graph
    // without shaders): an opaque fill against the ink.
    Q_PROPERTY(QColor cutoutFallbackFill READ cutoutFallbackFill NOTIFY changed)
    // A face whose digits are all one width, so that a changing figure
    // (a percentage) keeps its place; the system face's digits need not be.
    Q_PROPERTY(QString digitFontFamily READ digitFontFamily CONSTANT)
    // The appearance level L of the transparent look (0.35 ... 1.65).
    Q_PROPERTY(double level READ level NOTIFY changed)
    Q_PROPERTY(bool inkActive READ inkActive NOTIFY changed)

    // Type sizes (pixels), spacings and corner radii the views share.
    Q_PROPERTY(int fontMini MEMBER fontMini CONSTANT)
    Q_PROPERTY(int fontCaption MEMBER fontCaption CONSTANT)
    Q_PROPERTY(int fontBody MEMBER fontBody CONSTANT)
    Q_PROPERTY(int fontCallout MEMBER fontCallout CONSTANT)
    Q_PROPERTY(int fontSubhead MEMBER fontSubhead CONSTANT)
    Q_PROPERTY(int fontHeadline MEMBER fontHeadline CONSTANT)
    Q_PROPERTY(int fontTitle MEMBER fontTitle CONSTANT)
    Q_PROPERTY(int spacingXS MEMBER spacingXS CONSTANT)
    Q_PROPERTY(int spacingS MEMBER spacingS CONSTANT)
    Q_PROPERTY(int spacingM MEMBER spacingM CONSTANT)
    Q_PROPERTY(int spacingL MEMBER spacingL CONSTANT)
    Q_PROPERTY(int spacingXL MEMBER spacingXL CONSTANT)
    Q_PROPERTY(int spacingXXL MEMBER spacingXXL CONSTANT)
    Q_PROPERTY(int radiusS MEMBER radiusS CONSTANT)
    Q_PROPERTY(int radiusM MEMBER radiusM CONSTANT)
    Q_PROPERTY(int radiusL MEMBER radiusL CONSTANT)
    Q_PROPERTY(int cardRadius MEMBER cardRadius CONSTANT)
    Q_PROPERTY(int windowRadius MEMBER windowCornerRadius CONSTANT)

public:
    static constexpr int fontMini = 10;
    static constexpr int fontCaption = 12;
    static constexpr int fontBody = 13;
    static constexpr int fontCallout = 14;
    static constexpr int fontSubhead = 15;
    static constexpr int fontHeadline = 16;
    static constexpr int fontTitle = 18;
    static constexpr int spacingXS = 4;
    static constexpr int spacingS = 6;
    static constexpr int spacingM = 8;
    static constexpr int spacingL = 12;
    static constexpr int spacingXL = 16;
    static constexpr int spacingXXL = 20;
    static constexpr int radiusS = 8;
    static constexpr int radiusM = 12;
    static constexpr int radiusL = 14;
    // The modal cards (help, ink colour).
    static constexpr int cardRadius = 22;
    // The panel's rounded corners while not maximised.
    static constexpr int windowCornerRadius = 18;

    static Theme &shared();
    // QML gets the one instance and never owns it.
    static Theme *create(QQmlEngine *, QJSEngine *);

    [[nodiscard]] static QColor appTitle();
    [[nodiscard]] static QColor appPrimary();
    [[nodiscard]] static QColor appGreen();
    [[nodiscard]] static QColor appRed();
    [[nodiscard]] static QColor appSecondary();
    [[nodiscard]] static QColor appPrimarySoft();
    [[nodiscard]] static QColor appBackground();
    [[nodiscard]] static QColor separatorColor();
    [[nodiscard]] static QColor cutoutFallbackFill();
    [[nodiscard]] static QString digitFontFamily();
    [[nodiscard]] static double level();
    [[nodiscard]] static bool inkActive();

    // The ink colour proper: the sRGB colour of the current ink hex (the
    // default ink when unreadable) at opacity currentIntensity.
    [[nodiscard]] static QColor inkColor();
    // The opaque colour of a hex text, the default ink when it does not parse.
    Q_INVOKABLE static QColor opaqueColor(const QString &hex);

    // min(1, max(0, x)); NaN counts as 0.
    Q_INVOKABLE static double clamp01(double value);
    // The level-scaled opacity of b: clamp01(b × L).
    Q_INVOKABLE static double levelScaled(double base, double level);
    // The level-capped opacity: min(1, L), never below 0.
    Q_INVOKABLE static double levelCapped(double level);
    // The level-boosted opacity of b: b up to level 1, min(1, b × L) above it.
    Q_INVOKABLE static double levelBoosted(double base, double level);
    // The colour with its opacity multiplied by opacity (clamped to 0 ... 1).
    Q_INVOKABLE static QColor withOpacity(const QColor &color, double opacity);
    // The colour t of the way from `from` to `to` (t clamped to 0 ... 1), so a
    // hover change can be eased without easing every other change of colour.
    Q_INVOKABLE static QColor mix(const QColor &from, const QColor &to, double t);
    // The accent of a control in the transparent look.
    Q_INVOKABLE static QColor transparentPrimary(bool hovered, double parentOpacity, double level);
    // The opacity of the window buttons: 1 in the normal look, else
    // clamp01(L × 0.34) under the pointer and clamp01(L × 0.18) at rest.
    Q_INVOKABLE static double windowControlsOpacity(bool transparent, bool hovering, double level);

    // "%lld%" of the level × 100 rounded half away from zero.
    Q_INVOKABLE static QString percentText(double level);
    // The whole percent of a level; non-finite levels give 0 and huge ones
    // are held at the range of a 64-bit integer.
    [[nodiscard]] static qint64 roundedPercent(double level);

Q_SIGNALS:
    void changed();

private:
    Theme();
};
