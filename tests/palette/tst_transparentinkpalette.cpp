#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

using Palette = TransparentInkPalette;

Q_DECLARE_METATYPE(Palette::RGB)
Q_DECLARE_METATYPE(std::optional<QString>)

class TestTransparentInkPalette : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        Palette::setActive(false);
        Palette::setCurrentHex(QStringLiteral("#212636"));
        Palette::setCurrentIntensity(1.0);
    }

    void initialState()
    {
        // Set back by init(); the defaults of a fresh process are the same values.
        QCOMPARE(Palette::isActive(), false);
        QCOMPARE(Palette::currentHex(), QStringLiteral("#212636"));
        QCOMPARE(Palette::currentIntensity(), 1.0);
        QCOMPARE(TransparentAppearanceScale::currentValue(), 1.0);
    }

    void stateWritesAnnounceChanges()
    {
        QSignalSpy active(&Palette::shared(), &Palette::isActiveChanged);
        QSignalSpy hex(&Palette::shared(), &Palette::currentHexChanged);
        QSignalSpy intensity(&Palette::shared(), &Palette::currentIntensityChanged);
        Palette::setActive(true);
        Palette::setCurrentHex(QStringLiteral("#22A06B"));
        Palette::setCurrentIntensity(0.4);
        QCOMPARE(active.size(), 1);
        QCOMPARE(hex.size(), 1);
        QCOMPARE(intensity.size(), 1);
        QCOMPARE(Palette::currentHex(), QStringLiteral("#22A06B"));
        QCOMPARE(Palette::inkComponents(), (Palette::RGB{0x22 / 255.0, 0xA0 / 255.0, 0x6B / 255.0}));
        Palette::setCurrentHex(QStringLiteral("nonsense"));
        QCOMPARE(Palette::inkComponents(), (Palette::RGB{33 / 255.0, 38 / 255.0, 54 / 255.0}));
    }

    void normalizedHex_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("expected"); // empty: rejected
        QTest::newRow("blanks around lower case") << QStringLiteral("  22a06b \n") << QStringLiteral("#22A06B");
        QTest::newRow("hash lower case") << QStringLiteral("#22a06b") << QStringLiteral("#22A06B");
        QTest::newRow("tab and hash") << QStringLiteral("\t#212636\r\n") << QStringLiteral("#212636");
        QTest::newRow("mixed case") << QStringLiteral("aBcDeF") << QStringLiteral("#ABCDEF");
        QTest::newRow("two hashes") << QStringLiteral("##22a06b") << QString();
        QTest::newRow("three digits") << QStringLiteral("#abc") << QString();
        QTest::newRow("seven digits") << QStringLiteral("#1234567") << QString();
        QTest::newRow("non-hex digit") << QStringLiteral("#12345g") << QString();
        QTest::newRow("empty") << QString() << QString();
        QTest::newRow("lone hash") << QStringLiteral("#") << QString();
        QTest::newRow("inner blank") << QStringLiteral("#123 45") << QString();
        QTest::newRow("full-width digits") << QStringLiteral("２１２６３６") << QString();
        QTest::newRow("hash after blanks inside") << QStringLiteral("# 212636") << QString();
    }

    void normalizedHex()
    {
        QFETCH(QString, input);
        QFETCH(QString, expected);
        const auto result = Palette::normalizedHex(input);
        if (expected.isEmpty())
            QVERIFY(!result.has_value());
        else
            QCOMPARE(result.value_or(QString()), expected);
    }

    void rgbComponents()
    {
        QCOMPARE(Palette::rgbComponents(QStringLiteral("#212636")), (Palette::RGB{33 / 255.0, 38 / 255.0, 54 / 255.0}));
        QCOMPARE(Palette::rgbComponents(QStringLiteral(" ff8000")), (Palette::RGB{1.0, 128 / 255.0, 0.0}));
        QVERIFY(!Palette::rgbComponents(QStringLiteral("#21263")).has_value());
        QVERIFY(!Palette::rgbComponents(QStringLiteral("red")).has_value());
    }

    void hsv_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<double>("hue");
        QTest::addColumn<double>("saturation");
        QTest::addColumn<double>("brightness");
        QTest::newRow("red") << "#FF0000" << 0.0 << 1.0 << 1.0;
        QTest::newRow("green") << "#00FF00" << 1.0 / 3 << 1.0 << 1.0;
        QTest::newRow("blue") << "#0000FF" << 2.0 / 3 << 1.0 << 1.0;
        QTest::newRow("rose wraps below zero") << "#FF0080" << (6.0 - 128 / 255.0) / 6 << 1.0 << 1.0;
        QTest::newRow("black") << "#000000" << 0.0 << 0.0 << 0.0;
        QTest::newRow("grey") << "#808080" << 0.0 << 0.0 << 128 / 255.0;
        QTest::newRow("default ink") << "#212636" << (4.0 - 5.0 / 21) / 6 << 21.0 / 54 << 54 / 255.0;
        QTest::newRow("unreadable falls back") << "#21263X" << (4.0 - 5.0 / 21) / 6 << 21.0 / 54 << 54 / 255.0;
    }

    void hsv()
    {
        QFETCH(QString, hex);
        QFETCH(double, hue);
        QFETCH(double, saturation);
        QFETCH(double, brightness);
        const auto v = Palette::hsv(hex);
        QVERIFY2(std::abs(v.hue - hue) < 1e-12, qPrintable(QString::number(v.hue)));
        QVERIFY(std::abs(v.saturation - saturation) < 1e-12);
        QVERIFY(std::abs(v.brightness - brightness) < 1e-12);
    }

    void hexForColor_data()
    {
        QTest::addColumn<Palette::RGB>("color");
        QTest::addColumn<std::optional<QString>>("expected");
        QTest::newRow("default ink") << Palette::RGB{33 / 255.0, 38 / 255.0, 54 / 255.0} << std::optional(QStringLiteral("#212636"));
        QTest::newRow("half rounds away from zero") << Palette::RGB{127.5 / 255, 0.5 / 255, 0.49 / 255} << std::optional(QStringLiteral("#800100"));
        QTest::newRow("above one clamps") << Palette::RGB{1.5, 2.0, 1e300} << std::optional(QStringLiteral("#FFFFFF"));
        QTest::newRow("below zero clamps") << Palette::RGB{-0.2, -1e300, 0} << std::optional(QStringLiteral("#000000"));
        QTest::newRow("nan") << Palette::RGB{std::numeric_limits<double>::quiet_NaN(), 0, 0} << std::optional<QString>();
        QTest::newRow("infinity") << Palette::RGB{0, std::numeric_limits<double>::infinity(), 0} << std::optional<QString>();
    }

    void hexForColor()
    {
        QFETCH(Palette::RGB, color);
        QFETCH(std::optional<QString>, expected);
        QCOMPARE(Palette::hex(color), expected);
    }

    void hexFromHSB_data()
    {
        QTest::addColumn<double>("hue");
        QTest::addColumn<double>("saturation");
        QTest::addColumn<double>("brightness");
        QTest::addColumn<QString>("expected");
        const double nan = std::numeric_limits<double>::quiet_NaN();
        QTest::newRow("black is raised to the floor") << 0.0 << 0.0 << 0.0 << "#0D0D0D";
        QTest::newRow("out of range clamps to red") << -1.0 << 2.0 << 2.0 << "#FF0000";
        QTest::newRow("full turn is red") << 1.0 << 1.0 << 1.0 << "#FF0000";
        QTest::newRow("red") << 0.0 << 1.0 << 1.0 << "#FF0000";
        QTest::newRow("green") << 1.0 / 3 << 1.0 << 1.0 << "#00FF00";
        QTest::newRow("cyan half") << 0.5 << 1.0 << 0.5 << "#008080";
        QTest::newRow("white") << 0.3 << 0.0 << 1.0 << "#FFFFFF";
        QTest::newRow("nan inputs stay in range") << nan << nan << nan << "#0D0D0D";
    }

    void hexFromHSB()
    {
        QFETCH(double, hue);
        QFETCH(double, saturation);
        QFETCH(double, brightness);
        QFETCH(QString, expected);
        QCOMPARE(Palette::hex(hue, saturation, brightness), expected);
    }

    void hexSettingBrightness_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<double>("brightness");
        QTest::addColumn<QString>("expected");
        QTest::newRow("black to full is white") << "#000000" << 1.0 << "#FFFFFF";
        QTest::newRow("black to the floor") << "#000000" << 0.05 << "#0D0D0D";
        QTest::newRow("below floor clamps") << "#000000" << -3.0 << "#0D0D0D";
        QTest::newRow("above one clamps") << "#FF0000" << 7.0 << "#FF0000";
        QTest::newRow("default ink at full") << "#212636" << 1.0 << "#9CB3FF";
        QTest::newRow("keeps hue and saturation") << "#800000" << 1.0 << "#FF0000";
        QTest::newRow("unreadable text") << "#zzzzzz" << 0.5 << "#212636";
    }

    void hexSettingBrightness()
    {
        QFETCH(QString, hex);
        QFETCH(double, brightness);
        QFETCH(QString, expected);
        QCOMPARE(Palette::hex(hex, brightness), expected);
    }

    void roundTripKeepsColour()
    {
        // Every byte triple on a coarse grid survives HSV and back unchanged.
        for (int r = 0; r < 256; r += 15) {
            for (int g = 0; g < 256; g += 17) {
                for (int b = 0; b < 256; b += 51) {
                    const QString text = QString::asprintf("#%02X%02X%02X", r, g, b);
                    const auto v = Palette::hsv(text);
                    if (v.brightness < 0.05)
                        continue;
                    QCOMPARE(Palette::hex(v.hue, v.saturation, v.brightness), text);
                }
            }
        }
    }

    void cssRGBA_data()
    {
        QTest::addColumn<QString>("hex");
        QTest::addColumn<double>("opacity");
        QTest::addColumn<double>("intensity");
        QTest::addColumn<QString>("expected");
        QTest::newRow("full ink") << "#212636" << 1.0 << 1.0 << "rgba(33, 38, 54, 1.0)";
        QTest::newRow("intensity scales") << "#212636" << 0.7 << 0.5 << "rgba(33, 38, 54, 0.35)";
        QTest::newRow("unreadable draws default") << "oops" << 1.0 << 1.0 << "rgba(33, 38, 54, 1.0)";
        QTest::newRow("opacity above one") << "#FFFFFF" << 3.0 << 1.0 << "rgba(255, 255, 255, 1.0)";
        QTest::newRow("negative opacity") << "#22A06B" << -0.5 << 1.0 << "rgba(34, 160, 107, 0.0)";
        QTest::newRow("tiny alpha in exponent form") << "#000000" << 0.00001 << 1.0 << "rgba(0, 0, 0, 1e-05)";
        QTest::newRow("small alpha plain") << "#000000" << 0.0001 << 1.0 << "rgba(0, 0, 0, 0.0001)";
        QTest::newRow("nan opacity is transparent") << "#000000" << std::numeric_limits<double>::quiet_NaN() << 1.0
                                                    << "rgba(0, 0, 0, 0.0)";
    }

    void cssRGBA()
    {
        QFETCH(QString, hex);
        QFETCH(double, opacity);
        QFETCH(double, intensity);
        QFETCH(QString, expected);
        Palette::setCurrentIntensity(intensity);
        QCOMPARE(Palette::cssRGBA(hex, opacity), expected);
    }

    void appearanceScale()
    {
        QSignalSpy spy(&TransparentAppearanceScale::shared(), &TransparentAppearanceScale::currentValueChanged);
        TransparentAppearanceScale::setCurrentValue(1.4);
        QCOMPARE(TransparentAppearanceScale::currentValue(), 1.4);
        QCOMPARE(spy.size(), 1);
        TransparentAppearanceScale::setCurrentValue(1.0);
    }
};

QTEST_GUILESS_MAIN(TestTransparentInkPalette)
#include "tst_transparentinkpalette.moc"
