#include "views/Theme.h"
#include "views/SceneSetup.h"

#include "ViewTestSupport.h"
#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QRawFont>
#include <QSignalSpy>
#include <QTextLayout>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// QColor keeps 16 bits per channel.
constexpr double colorTolerance = 1.0 / 4096;

bool near(double a, double b, double tolerance = 1e-9)
{
    return std::abs(a - b) <= tolerance;
}

void compareColor(const QColor &actual, double r, double g, double b, double a)
{
    QVERIFY2(near(actual.redF(), r, colorTolerance) && near(actual.greenF(), g, colorTolerance)
                 && near(actual.blueF(), b, colorTolerance) && near(actual.alphaF(), a, colorTolerance),
             qPrintable(QStringLiteral("got (%1, %2, %3, %4), want (%5, %6, %7, %8)")
                            .arg(actual.redF()).arg(actual.greenF()).arg(actual.blueF()).arg(actual.alphaF())
                            .arg(r).arg(g).arg(b).arg(a)));
}

QColor namedColor(const QString &name)
{
    if (name == QLatin1String("title")) return Theme::appTitle();
    if (name == QLatin1String("primary")) return Theme::appPrimary();
    if (name == QLatin1String("green")) return Theme::appGreen();
    if (name == QLatin1String("red")) return Theme::appRed();
    if (name == QLatin1String("secondary")) return Theme::appSecondary();
    if (name == QLatin1String("primarySoft")) return Theme::appPrimarySoft();
    return Theme::appBackground();
}

} // namespace

class TestTheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        ViewTest::resetAppearance();
    }

    void normalLookUsesFixedColours_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("r");
        QTest::addColumn<double>("g");
        QTest::addColumn<double>("b");
        QTest::newRow("title") << "title" << 0.13 << 0.15 << 0.21;
        QTest::newRow("primary") << "primary" << 0.043 << 0.518 << 0.996;
        QTest::newRow("green") << "green" << 0.2 << 0.72 << 0.45;
        QTest::newRow("red") << "red" << 0.96 << 0.31 << 0.32;
        QTest::newRow("secondary, no 0.79") << "secondary" << 0.45 << 0.48 << 0.56;
        QTest::newRow("primary soft") << "primarySoft" << 0.894 << 0.941 << 1.0;
        QTest::newRow("background") << "background" << 0.969 << 0.965 << 0.98;
    }
    void normalLookUsesFixedColours()
    {
        QFETCH(QString, name);
        QFETCH(double, r);
        QFETCH(double, g);
        QFETCH(double, b);
        // An ink that is set but not active changes nothing.
        TransparentInkPalette::setCurrentHex(QStringLiteral("#22A06B"));
        TransparentInkPalette::setCurrentIntensity(0.5);
        compareColor(namedColor(name), r, g, b, 1.0);
    }

    void activeInkTintsEverythingButTheBackground_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<QString>("name");
        QTest::addColumn<double>("r");
        QTest::addColumn<double>("g");
        QTest::addColumn<double>("b");
        QTest::addColumn<double>("alpha");
        const double r = 34 / 255.0, g = 160 / 255.0, b = 107 / 255.0;
        QTest::newRow("title") << "#22A06B" << "title" << r << g << b << 0.5;
        QTest::newRow("primary") << "#22A06B" << "primary" << r << g << b << 0.5;
        QTest::newRow("green") << "#22A06B" << "green" << r << g << b << 0.5;
        QTest::newRow("red") << "#22A06B" << "red" << r << g << b << 0.5;
        QTest::newRow("secondary at 0.79") << "#22A06B" << "secondary" << r << g << b << 0.395;
        QTest::newRow("primary soft at 0.14") << "#22A06B" << "primarySoft" << r << g << b << 0.07;
        QTest::newRow("background ignores ink") << "#22A06B" << "background" << 0.969 << 0.965 << 0.98 << 1.0;
        const double dr = 33 / 255.0, dg = 38 / 255.0, db = 54 / 255.0;
        QTest::newRow("empty hex falls back") << "" << "title" << dr << dg << db << 0.5;
        QTest::newRow("five digits fall back") << "#22A06" << "secondary" << dr << dg << db << 0.395;
    }
    void activeInkTintsEverythingButTheBackground()
    {
        QFETCH(QString, hex);
        QFETCH(QString, name);
        QFETCH(double, r);
        QFETCH(double, g);
        QFETCH(double, b);
        QFETCH(double, alpha);
        TransparentInkPalette::setActive(true);
        TransparentInkPalette::setCurrentHex(hex);
        TransparentInkPalette::setCurrentIntensity(0.5);
        compareColor(namedColor(name), r, g, b, alpha);
    }

    void transparentPrimary_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("hovered");
        QTest::addColumn<double>("parentOpacity");
        QTest::addColumn<double>("intensity");
        QTest::addColumn<double>("alpha");
        QTest::newRow("L1 idle") << 1.0 << false << 1.0 << 1.0 << 0.83;
        QTest::newRow("L0.35 idle is not dimmed") << 0.35 << false << 1.0 << 1.0 << 0.83;
        QTest::newRow("L1.65 idle") << 1.65 << false << 1.0 << 1.0 << 1.0;
        QTest::newRow("L1.1 idle boosted") << 1.1 << false << 1.0 << 1.0 << 0.913;
        QTest::newRow("hovered L0.35") << 0.35 << true << 1.0 << 1.0 << 1.0;
        QTest::newRow("half-opaque parent") << 1.0 << false << 0.5 << 1.0 << 1.0;
        QTest::newRow("parent 0.9") << 1.0 << false << 0.9 << 1.0 << 0.83 / 0.9;
        QTest::newRow("parent zero") << 1.0 << false << 0.0 << 1.0 << 1.0;
        QTest::newRow("parent negative") << 1.0 << false << -2.0 << 1.0 << 1.0;
        QTest::newRow("parent NaN") << 1.0 << false << std::nan("") << 1.0 << 1.0;
        QTest::newRow("multiplies with intensity") << 1.0 << false << 1.0 << 0.6 << 0.6 * 0.83;
    }
    void transparentPrimary()
    {
        QFETCH(double, level);
        QFETCH(bool, hovered);
        QFETCH(double, parentOpacity);
        QFETCH(double, intensity);
        QFETCH(double, alpha);
        TransparentInkPalette::setActive(true);
        TransparentInkPalette::setCurrentIntensity(intensity);
        const QColor color = Theme::transparentPrimary(hovered, parentOpacity, level);
        QVERIFY2(near(color.alphaF(), alpha, colorTolerance), qPrintable(QString::number(color.alphaF())));
    }

    void levelRules_data()
    {
        QTest::addColumn<QString>("rule");
        QTest::addColumn<double>("base");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("expected");
        QTest::newRow("scaled") << "scaled" << 0.42 << 1.65 << 0.693;
        QTest::newRow("scaled capped at 1") << "scaled" << 0.8 << 1.65 << 1.0;
        QTest::newRow("scaled negative") << "scaled" << 0.42 << -1.0 << 0.0;
        QTest::newRow("scaled NaN") << "scaled" << 0.42 << std::nan("") << 0.0;
        QTest::newRow("capped low") << "capped" << 0.0 << 0.35 << 0.35;
        QTest::newRow("capped high") << "capped" << 0.0 << 1.65 << 1.0;
        QTest::newRow("boosted below 1 keeps base") << "boosted" << 0.72 << 0.35 << 0.72;
        QTest::newRow("boosted at 1 keeps base") << "boosted" << 0.72 << 1.0 << 0.72;
        QTest::newRow("boosted above 1") << "boosted" << 0.72 << 1.2 << 0.864;
        QTest::newRow("boosted capped") << "boosted" << 0.72 << 1.65 << 1.0;
        QTest::newRow("controls idle L1") << "controls" << 0.0 << 1.0 << 0.18;
        QTest::newRow("controls hovered L1") << "controlsHover" << 0.0 << 1.0 << 0.34;
        QTest::newRow("controls idle L1.65") << "controls" << 0.0 << 1.65 << 0.297;
        QTest::newRow("controls hovered L1.65") << "controlsHover" << 0.0 << 1.65 << 0.561;
        QTest::newRow("controls idle L0.35") << "controls" << 0.0 << 0.35 << 0.063;
        QTest::newRow("controls hovered L0.35") << "controlsHover" << 0.0 << 0.35 << 0.119;
        QTest::newRow("controls normal look") << "controlsNormal" << 0.0 << 0.35 << 1.0;
    }
    void levelRules()
    {
        QFETCH(QString, rule);
        QFETCH(double, base);
        QFETCH(double, level);
        QFETCH(double, expected);
        double actual = -1;
        if (rule == QLatin1String("scaled"))
            actual = Theme::levelScaled(base, level);
        else if (rule == QLatin1String("capped"))
            actual = Theme::levelCapped(level);
        else if (rule == QLatin1String("boosted"))
            actual = Theme::levelBoosted(base, level);
        else if (rule == QLatin1String("controls"))
            actual = Theme::windowControlsOpacity(true, false, level);
        else if (rule == QLatin1String("controlsHover"))
            actual = Theme::windowControlsOpacity(true, true, level);
        else
            actual = Theme::windowControlsOpacity(false, true, level);
        QVERIFY2(near(actual, expected), qPrintable(QString::number(actual, 'g', 17)));
    }

    // A hover eases from the resting to the hovered colour; the ends are
    // exact and the way is held to 0 ... 1.
    void mixGoesFromOneColourToTheOther_data()
    {
        QTest::addColumn<double>("t");
        QTest::addColumn<double>("alpha");
        QTest::addColumn<double>("red");
        QTest::newRow("start") << 0.0 << 0.83 << 0.0;
        QTest::newRow("half way") << 0.5 << 0.915 << 0.5;
        QTest::newRow("end") << 1.0 << 1.0 << 1.0;
        QTest::newRow("before the start") << -2.0 << 0.83 << 0.0;
        QTest::newRow("past the end") << 3.0 << 1.0 << 1.0;
    }
    void mixGoesFromOneColourToTheOther()
    {
        QFETCH(double, t);
        QFETCH(double, alpha);
        QFETCH(double, red);
        const QColor mixed = Theme::mix(QColor::fromRgbF(0, 0.2f, 1, 0.83f), QColor::fromRgbF(1, 0.2f, 1, 1), t);
        compareColor(mixed, red, 0.2, 1, alpha);
    }

    void percentText_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<QString>("text");
        QTest::newRow("rest") << 1.0 << "100%";
        QTest::newRow("lowest") << 0.35 << "35%";
        QTest::newRow("highest") << 1.65 << "165%";
        QTest::newRow("0.95 rounds, not truncates") << 0.95 << "95%";
        QTest::newRow("1.05") << 1.05 << "105%";
        QTest::newRow("half away from zero") << 0.005 << "1%";
        QTest::newRow("negative half") << -0.005 << "-1%";
        QTest::newRow("NaN") << std::nan("") << "0%";
        QTest::newRow("infinity held") << std::numeric_limits<double>::infinity() << "9223372036854775807%";
        QTest::newRow("huge held") << 1e300 << "9223372036854775807%";
        QTest::newRow("negative huge held") << -1e300 << "-9223372036854775808%";
    }
    void percentText()
    {
        QFETCH(double, level);
        QFETCH(QString, text);
        QCOMPARE(Theme::percentText(level), text);
    }

    void oneSignalFollowsEveryChangeOfTheLook()
    {
        QSignalSpy spy(&Theme::shared(), &Theme::changed);
        TransparentInkPalette::setActive(true);
        TransparentInkPalette::setCurrentHex(QStringLiteral("#22A06B"));
        TransparentInkPalette::setCurrentIntensity(0.4);
        TransparentAppearanceScale::setCurrentValue(1.3);
        QCOMPARE(spy.count(), 4);
        QCOMPARE(Theme::shared().property("level").toDouble(), 1.3);
        QVERIFY(Theme::shared().property("inkActive").toBool());
    }

    // Han characters in the simplified forms whatever the locale, Latin
    // letters in the desktop's own face, at every weight the views use.
    void applicationFontDrawsHanInSimplifiedForms_data()
    {
        QTest::addColumn<int>("weight");
        QTest::newRow("regular") << int(QFont::Normal);
        QTest::newRow("demibold") << int(QFont::DemiBold);
        QTest::newRow("bold") << int(QFont::Bold);
    }

    void applicationFontDrawsHanInSimplifiedForms()
    {
        QFETCH(int, weight);
        const QStringList installed = QFontDatabase::families();
        const auto han = std::find_if(SceneSetup::hanFamilies.cbegin(), SceneSetup::hanFamilies.cend(),
                                      [&](const QString &family) { return installed.contains(family); });
        if (han == SceneSetup::hanFamilies.cend())
            QSKIP("no simplified Chinese face installed");
        const QFont system = QGuiApplication::font();
        QFont font = SceneSetup::applicationFont(system);
        font.setPixelSize(16);
        font.setWeight(QFont::Weight(weight));
        QTextLayout layout(QStringLiteral("返回 资料分析 Abc"), font);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        QStringList families;
        for (const QGlyphRun &run : layout.glyphRuns())
            families.append(run.rawFont().familyName());
        QVERIFY2(families.contains(*han), qPrintable(families.join(QStringLiteral(", "))));
        QVERIFY2(families.contains(QFontInfo(system).family()),
                 qPrintable(families.join(QStringLiteral(", "))));
        for (const QString &family : std::as_const(families))
            QVERIFY2(!family.endsWith(QLatin1String(" JP")) && !family.endsWith(QLatin1String(" KR")),
                     qPrintable(family));
    }
};

QTEST_MAIN(TestTheme)
#include "tst_theme.moc"
