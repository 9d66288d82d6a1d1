#include "TestAppModel.h"
#include "ViewTestSupport.h"

#include "platform/UserDefaults.h"
#include "views/AnswerStatusCircleStyle.h"
#include "views/AppearanceSliderState.h"
#include "views/BottomTrailingWindowResizeArea.h"
#include "views/ColorWheelGeometry.h"
#include "views/HtmlPlainText.h"
#include "views/HueSaturationDisc.h"
#include "views/InkIntensityMapping.h"
#include "views/InkSettingsController.h"
#include "views/MaskedPhone.h"
#include "views/RoundedRectShape.h"
#include "views/Theme.h"
#include "views/WindowDragArea.h"
#include "views/WindowHeaderState.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

bool near(double a, double b, double tolerance = 1e-9)
{
    return std::abs(a - b) <= tolerance;
}

constexpr double alphaTolerance = 1.0 / 4096;

int screenValue(AppScreen screen)
{
    return int(screen);
}

} // namespace

class TestViewControllers : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<UserDefaults> m_defaults;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_dir.filePath(QStringLiteral("defaults.json")));
        UserDefaults::setStandard(m_defaults.get());
    }
    void cleanupTestCase() { UserDefaults::setStandard(nullptr); }

    void init()
    {
        ViewTest::resetAppearance();
    }

    // --- masked phone number -------------------------------------------

    void maskedPhone_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<QString>("shown");
        QTest::newRow("eleven characters") << "ABCDEFGHIJK" << "ABC****HIJK";
        QTest::newRow("eleven digits") << "13812345678" << "138****5678";
        QTest::newRow("six unchanged") << "123456" << "123456";
        QTest::newRow("seven all kept") << "1234567" << "123****4567";
        QTest::newRow("empty") << "" << "";
        // One user-perceived character each: never split apart.
        QTest::newRow("combining marks") << QString::fromUtf8("e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301e\u0301")
                                         << QString::fromUtf8("e\u0301e\u0301e\u0301****e\u0301e\u0301e\u0301e\u0301");
        QTest::newRow("emoji sequence") << QString::fromUtf8("👨‍👩‍👧12345678")
                                        << QString::fromUtf8("👨‍👩‍👧12****5678");
        QTest::newRow("six graphemes, more code units") << QString::fromUtf8("👍👍👍👍👍👍") << QString::fromUtf8("👍👍👍👍👍👍");
    }
    void maskedPhone()
    {
        QFETCH(QString, stored);
        QFETCH(QString, shown);
        QCOMPARE(MaskedPhone::masked(stored), shown);
        m_defaults->setValue(QString::fromLatin1(MaskedPhone::mobileKey), stored);
        QCOMPARE(MaskedPhone::maskedStoredMobile(), shown);
    }

    void maskedPhoneWithNothingStoredIsEmpty()
    {
        m_defaults->remove(QString::fromLatin1(MaskedPhone::mobileKey));
        QCOMPARE(MaskedPhone::maskedStoredMobile(), QString());
        WindowHeaderState header;
        header.setScreen(screenValue(AppScreen::home));
        QCOMPARE(header.maskedMobile(), QString());
    }

    // --- header per screen and look --------------------------------------

    void headerVisibility_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<bool>("setting");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("slider");
        QTest::addColumn<bool>("phone");
        QTest::addColumn<bool>("controls");
        QTest::addColumn<bool>("ink");
        QTest::addColumn<double>("divider");
        const auto row = [](const char *name, AppScreen screen, bool setting, bool t, bool slider, bool phone,
                            bool controls, bool ink, double divider) {
            QTest::newRow(name) << int(screen) << setting << t << slider << phone << controls << ink << divider;
        };
        row("login, off", AppScreen::login, false, false, false, false, false, false, 1.0);
        row("login, on", AppScreen::login, true, false, false, false, false, false, 1.0);
        row("purchase, off", AppScreen::purchase, false, false, true, true, false, false, 1.0);
        row("purchase, on", AppScreen::purchase, true, false, true, true, false, false, 1.0);
        for (AppScreen screen : {AppScreen::home, AppScreen::questions, AppScreen::report, AppScreen::analysis,
                                 AppScreen::collections, AppScreen::history}) {
            const QByteArray off = "screen " + QByteArray::number(int(screen)) + ", off";
            const QByteArray on = "screen " + QByteArray::number(int(screen)) + ", on";
            row(off.constData(), screen, false, false, true, true, true, false, 1.0);
            row(on.constData(), screen, true, true, true, false, true, true, 0.18);
        }
    }
    void headerVisibility()
    {
        QFETCH(int, screen);
        QFETCH(bool, setting);
        QFETCH(bool, transparent);
        QFETCH(bool, slider);
        QFETCH(bool, phone);
        QFETCH(bool, controls);
        QFETCH(bool, ink);
        QFETCH(double, divider);
        WindowHeaderState header;
        header.setScreen(screen);
        header.setStudyTransparencyEnabled(setting);
        QCOMPARE(header.transparent(), transparent);
        QCOMPARE(header.showsAppearanceSlider(), slider);
        QCOMPARE(header.showsMaskedMobile(), phone);
        QCOMPARE(header.showsTransparencyControls(), controls);
        QCOMPARE(header.showsInkButton(), ink);
        QCOMPARE(header.dividerOpacity(), divider);
        QCOMPARE(header.backgroundColor(), transparent ? QColor(Qt::transparent) : QColor(Qt::white));
    }

    void headerTextsFollowTheSettings()
    {
        WindowHeaderState header;
        header.setScreen(screenValue(AppScreen::home));
        QCOMPARE(header.transparencyTitle(), QStringLiteral("透明模式"));
        QCOMPARE(header.transparencyIcon(), QStringLiteral("rectangle.dashed"));
        QCOMPARE(header.transparencyToolTip(), QStringLiteral("切换为透明页面"));
        QCOMPARE(header.autoHideToolTip(), QStringLiteral("鼠标移出窗口后完全隐藏，重新进入原窗口范围后显示"));
        header.setStudyTransparencyEnabled(true);
        header.setHoverAutoHideEnabled(true);
        QVERIFY(header.transparencyTitle() != QStringLiteral("透明模式"));
        QVERIFY(!header.transparencyTitle().isEmpty());
        QCOMPARE(header.transparencyIcon(), QStringLiteral("rectangle.fill"));
        QCOMPARE(header.transparencyToolTip(), QStringLiteral("恢复页面背景"));
        QCOMPARE(header.autoHideToolTip(), QStringLiteral("关闭鼠标移出自动隐藏"));
    }

    void headerOpacitiesInTheTransparentLook_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<double>("toggle");
        QTest::addColumn<double>("ink");
        QTest::addColumn<double>("autoHideLabel");
        QTest::addColumn<double>("knob");
        QTest::newRow("L1 rest") << 1.0 << false << 0.34 << 0.34 << 0.48 << 0.46;
        QTest::newRow("L1 hovered") << 1.0 << true << 0.56 << 0.34 << 0.58 << 0.54;
        QTest::newRow("L1.65 hovered") << 1.65 << true << 0.924 << 0.561 << 0.957 << 0.891;
        QTest::newRow("L0.35 rest") << 0.35 << false << 0.119 << 0.119 << 0.168 << 0.161;
    }
    void headerOpacitiesInTheTransparentLook()
    {
        QFETCH(double, level);
        QFETCH(bool, hovering);
        QFETCH(double, toggle);
        QFETCH(double, ink);
        QFETCH(double, autoHideLabel);
        QFETCH(double, knob);
        TransparentInkPalette::setActive(true);
        TransparentAppearanceScale::setCurrentValue(level);
        WindowHeaderState header;
        header.setScreen(screenValue(AppScreen::home));
        header.setStudyTransparencyEnabled(true);
        header.setHoveringTransparencyControl(hovering);
        header.setHoveringAutoHideControl(hovering);
        const double secondary = Theme::appSecondary().alphaF();
        QVERIFY(near(header.transparencyLabelColor().alphaF(), toggle, alphaTolerance));
        QVERIFY(near(header.transparencyOutlineColor().alphaF(), secondary * toggle, alphaTolerance));
        QCOMPARE(header.transparencyFillColor().alpha(), 0);
        QVERIFY(near(header.inkButtonColor().alphaF(), ink, alphaTolerance));
        QVERIFY(near(header.autoHideLabelColor().alphaF(), autoHideLabel, alphaTolerance));
        QVERIFY(near(header.autoHideKnobColor().alphaF(), knob, alphaTolerance));
    }

    void autoHideSwitchTrack_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("on");
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<double>("track");
        QTest::addColumn<double>("border");
        QTest::newRow("on hovered") << true << true << true << 0.38 << 0.48;
        QTest::newRow("on") << true << true << false << 0.30 << 0.40;
        QTest::newRow("off hovered") << true << false << true << 0.25 << 0.34;
        QTest::newRow("off") << true << false << false << 0.18 << 0.27;
        QTest::newRow("normal off") << false << false << false << 0.25 << 0.35;
    }
    void autoHideSwitchTrack()
    {
        QFETCH(bool, transparent);
        QFETCH(bool, on);
        QFETCH(bool, hovering);
        QFETCH(double, track);
        QFETCH(double, border);
        TransparentInkPalette::setActive(transparent);
        WindowHeaderState header;
        header.setScreen(screenValue(AppScreen::home));
        header.setStudyTransparencyEnabled(transparent);
        header.setHoverAutoHideEnabled(on);
        header.setHoveringAutoHideControl(hovering);
        const double secondary = Theme::appSecondary().alphaF();
        QVERIFY(near(header.autoHideTrackColor().alphaF(), secondary * track, alphaTolerance));
        QVERIFY(near(header.autoHideBorderColor().alphaF(), secondary * border, alphaTolerance));
    }

    void autoHideSwitchOnInTheNormalLookIsAccent()
    {
        WindowHeaderState header;
        header.setScreen(screenValue(AppScreen::home));
        header.setHoverAutoHideEnabled(true);
        QCOMPARE(header.autoHideTrackColor(), Theme::appPrimary());
        QCOMPARE(header.autoHideBorderColor(), Theme::appPrimary());
        QCOMPARE(header.autoHideLabelColor(), Theme::appPrimary());
        QCOMPARE(header.autoHideKnobColor(), QColor(Qt::white));
        QCOMPARE(header.transparencyLabelColor(), Theme::appPrimary());
        QCOMPARE(header.transparencyFillColor(), Theme::appPrimarySoft());
        header.setHoverAutoHideEnabled(false);
        QCOMPARE(header.autoHideLabelColor(), Theme::appSecondary());
    }

    void headerFollowsTheLevel()
    {
        WindowHeaderState header;
        QSignalSpy spy(&header, &WindowHeaderState::changed);
        TransparentAppearanceScale::setCurrentValue(1.4);
        QCOMPARE(spy.count(), 1);
    }

    // --- brightness slider -----------------------------------------------

    void sliderPointerMapping_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("level");
        QTest::newRow("far left") << -50.0 << 0.35;
        QTest::newRow("left end of travel") << 6.0 << 0.35;
        QTest::newRow("x 10 rounds up to 0.45") << 10.0 << 0.45;
        QTest::newRow("centre") << 40.0 << 1.0;
        QTest::newRow("right end of travel") << 74.0 << 1.65;
        QTest::newRow("far right") << 500.0 << 1.65;
        QTest::newRow("NaN") << std::nan("") << 0.35;
        QTest::newRow("infinity") << std::numeric_limits<double>::infinity() << 1.65;
    }
    void sliderPointerMapping()
    {
        QFETCH(double, x);
        QFETCH(double, level);
        const double travel = AppearanceSliderState::travel(80, 12);
        QCOMPARE(travel, 68.0);
        QVERIFY(near(AppearanceSliderState::valueForPointer(x, travel, 12), level, 1e-12));
    }

    void sliderLevelsLieOnTheGridAndTheThumbInTheFrame()
    {
        const double travel = AppearanceSliderState::travel(80, 12);
        for (double x = -10; x <= 90; x += 0.25) {
            const double level = AppearanceSliderState::valueForPointer(x, travel, 12);
            QVERIFY(level >= 0.35 && level <= 1.65);
            QVERIFY2(near(level / 0.05, std::round(level / 0.05), 1e-9), qPrintable(QString::number(level, 'g', 17)));
            const double offset = AppearanceSliderState::thumbOffset(level, travel);
            QVERIFY(offset >= 0 && offset <= 68 + 1e-9);
        }
        QCOMPARE(AppearanceSliderState::thumbOffset(0.35, travel), 0.0);
        QVERIFY(near(AppearanceSliderState::thumbOffset(1.65, travel), 68.0));
    }

    void sliderZeroWidthNeverDividesByZero()
    {
        for (double width : {0.0, 5.0, 12.0, -3.0, std::nan("")}) {
            const double travel = AppearanceSliderState::travel(width, 12);
            QCOMPARE(travel, 1.0);
            const double level = AppearanceSliderState::valueForPointer(6.5, travel, 12);
            QVERIFY(std::isfinite(level));
            QVERIFY(level >= 0.35 && level <= 1.65);
        }
    }

    void sliderAccessibilitySteps_data()
    {
        QTest::addColumn<bool>("up");
        QTest::addColumn<double>("from");
        QTest::addColumn<double>("to");
        QTest::newRow("increment caps") << true << 1.62 << 1.65;
        QTest::newRow("decrement floors") << false << 0.37 << 0.35;
        QTest::newRow("off grid keeps offset") << true << 1.02 << 1.07;
        QTest::newRow("decrement") << false << 1.0 << 0.95;
    }
    void sliderAccessibilitySteps()
    {
        QFETCH(bool, up);
        QFETCH(double, from);
        QFETCH(double, to);
        const double actual = up ? AppearanceSliderState::incremented(from) : AppearanceSliderState::decremented(from);
        QVERIFY(near(actual, to));
    }

    void sliderColours_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<double>("thumb");
        QTest::addColumn<double>("track");
        QTest::addColumn<double>("active");
        QTest::addColumn<double>("outline");
        QTest::addColumn<double>("row");
        QTest::newRow("L1") << 1.0 << false << 0.36 << 0.16 << 0.42 << 0.30 << 0.52;
        QTest::newRow("L1 hovered") << 1.0 << true << 0.46 << 0.16 << 0.50 << 0.42 << 0.52;
        QTest::newRow("L1.65") << 1.65 << false << 0.594 << 0.264 << 0.693 << 0.495 << 0.858;
        QTest::newRow("L1.65 hovered") << 1.65 << true << 0.759 << 0.264 << 0.825 << 0.693 << 0.858;
        QTest::newRow("L0.35") << 0.35 << false << 0.126 << 0.056 << 0.147 << 0.105 << 0.182;
        QTest::newRow("L0.35 hovered") << 0.35 << true << 0.161 << 0.056 << 0.175 << 0.147 << 0.182;
    }
    void sliderColours()
    {
        QFETCH(double, level);
        QFETCH(bool, hovering);
        QFETCH(double, thumb);
        QFETCH(double, track);
        QFETCH(double, active);
        QFETCH(double, outline);
        QFETCH(double, row);
        TransparentInkPalette::setActive(true);
        TransparentAppearanceScale::setCurrentValue(level);
        AppearanceSliderState slider;
        slider.setTransparent(true);
        slider.setHovering(hovering);
        const double secondary = Theme::appSecondary().alphaF();
        QVERIFY(near(slider.thumbColor().alphaF(), thumb, alphaTolerance));
        QVERIFY(near(slider.trackColor().alphaF(), secondary * track, alphaTolerance));
        QVERIFY(near(slider.activeTrackColor().alphaF(), active, alphaTolerance));
        QVERIFY(near(slider.thumbBorderColor().alphaF(), secondary * outline, alphaTolerance));
        QVERIFY(near(slider.rowColor().alphaF(), row, alphaTolerance));
        QCOMPARE(slider.thumbShadowColor().alpha(), 0);
    }

    void sliderColoursInTheNormalLookIgnoreTheLevel()
    {
        AppearanceSliderState slider;
        TransparentAppearanceScale::setCurrentValue(0.35);
        const QColor thumb = slider.thumbColor();
        const QColor track = slider.trackColor();
        TransparentAppearanceScale::setCurrentValue(1.65);
        QCOMPARE(slider.thumbColor(), thumb);
        QCOMPARE(slider.trackColor(), track);
        QCOMPARE(thumb, QColor(Qt::white));
        QVERIFY(near(slider.thumbShadowColor().alphaF(), 0.14, alphaTolerance));
        QVERIFY(near(slider.activeTrackColor().alphaF(), 0.48, alphaTolerance));
        slider.setHovering(true);
        QVERIFY(near(slider.activeTrackColor().alphaF(), 0.58, alphaTolerance));
        QCOMPARE(slider.rowColor(), Theme::appSecondary());
    }

    // --- colour wheel and intensity slider --------------------------------

    void wheelRadius_data()
    {
        QTest::addColumn<double>("width");
        QTest::addColumn<double>("height");
        QTest::addColumn<double>("radius");
        QTest::newRow("sheet") << 190.0 << 190.0 << 86.0;
        QTest::newRow("shorter side wins") << 190.0 << 100.0 << 41.0;
        QTest::newRow("smaller than a knob") << 10.0 << 10.0 << 1.0;
        QTest::newRow("zero") << 0.0 << 0.0 << 1.0;
    }
    void wheelRadius()
    {
        QFETCH(double, width);
        QFETCH(double, height);
        QFETCH(double, radius);
        QCOMPARE(ColorWheelGeometry::radius(width, height, 18), radius);
    }

    void wheelSelection_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("y");
        QTest::addColumn<double>("hue");
        QTest::addColumn<double>("saturation");
        QTest::newRow("centre") << 95.0 << 95.0 << 0.0 << 0.0;
        QTest::newRow("right edge") << 181.0 << 95.0 << 0.0 << 1.0;
        QTest::newRow("below: clockwise") << 95.0 << 181.0 << 0.25 << 1.0;
        QTest::newRow("left") << 9.0 << 95.0 << 0.5 << 1.0;
        QTest::newRow("above") << 95.0 << 9.0 << 0.75 << 1.0;
        QTest::newRow("half way right") << 138.0 << 95.0 << 0.0 << 0.5;
        QTest::newRow("far outside keeps 1") << 2000.0 << 95.0 << 0.0 << 1.0;
    }
    void wheelSelection()
    {
        QFETCH(double, x);
        QFETCH(double, y);
        QFETCH(double, hue);
        QFETCH(double, saturation);
        const auto s = ColorWheelGeometry::selection(x, y, 95, 95, 86);
        QVERIFY(near(s.hue, hue));
        QVERIFY(near(s.saturation, saturation));
        // The knob goes where the pointer picked, within the radius.
        const QPointF knob = ColorWheelGeometry::knobOffset(s.hue, s.saturation, 86);
        QVERIFY(std::hypot(knob.x(), knob.y()) <= 86 + 1e-9);
        if (saturation < 1) {
            QVERIFY(near(knob.x(), x - 95, 1e-9));
            QVERIFY(near(knob.y(), y - 95, 1e-9));
        }
    }

    void wheelAccessibilityValue()
    {
        QCOMPARE(ColorWheelGeometry::accessibilityValue(1.0 / 3.0, 0.5), QStringLiteral("色相 120 度，饱和度 50%"));
        QCOMPARE(ColorWheelGeometry::accessibilityValue(0.62, 0.385), QStringLiteral("色相 223 度，饱和度 39%"));
        QCOMPARE(ColorWheelGeometry::accessibilityValue(std::nan(""), 0), QStringLiteral("色相 0 度，饱和度 0%"));
    }

    void wheelPaintsHueClockwiseAndWhiteInTheCentre()
    {
        const QImage disc = HueSaturationDisc::render(100);
        QCOMPARE(disc.size(), QSize(100, 100));
        QCOMPARE(qAlpha(disc.pixel(0, 0)), 0); // outside the circle
        const QColor centre = disc.pixelColor(50, 50);
        QVERIFY(centre.red() > 245 && centre.green() > 245 && centre.blue() > 245);
        const QColor right = disc.pixelColor(97, 50); // hue 0: red
        QVERIFY(right.red() > 240 && right.green() < 20 && right.blue() < 20);
        const QColor below = disc.pixelColor(50, 97); // hue 0.25 (90°): yellow-green
        QVERIFY(below.green() > 240 && below.blue() < 20 && below.red() > 100 && below.red() < 150);
        const QColor left = disc.pixelColor(2, 50); // hue 0.5: cyan
        QVERIFY(left.red() < 20 && left.green() > 240 && left.blue() > 240);
        QVERIFY(HueSaturationDisc::render(0).isNull());
    }

    void intensitySlider_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("intensity");
        QTest::newRow("middle of 216") << 108.0 << 0.55;
        QTest::newRow("left of the track") << -30.0 << 0.1;
        QTest::newRow("right of the track") << 400.0 << 1.0;
        QTest::newRow("unrounded") << 50.0 << 0.1 + 0.9 * 42.0 / 200.0;
    }
    void intensitySlider()
    {
        QFETCH(double, x);
        QFETCH(double, intensity);
        const double travel = InkIntensityMapping::travel(216, 16);
        QCOMPARE(travel, 200.0);
        QVERIFY(near(InkIntensityMapping::intensityForPointer(x, travel, 16), intensity));
        QCOMPARE(InkIntensityMapping::thumbOffset(0.1, travel), 0.0);
        QCOMPARE(InkIntensityMapping::thumbOffset(1.0, travel), 200.0);
        QCOMPARE(InkIntensityMapping::travel(4, 16), 1.0);
        QVERIFY(near(InkIntensityMapping::incremented(0.98), 1.0));
        QVERIFY(near(InkIntensityMapping::decremented(0.12), 0.1));
        QVERIFY(near(InkIntensityMapping::incremented(0.5), 0.55));
    }

    // --- ink colour sheet -------------------------------------------------

    void hexInput_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("field");
        QTest::addColumn<bool>("invalid");
        QTest::addColumn<QString>("modelHex");
        QTest::newRow("six digits") << "22a06b" << "#22A06B" << false << "#22A06B";
        QTest::newRow("two hash signs") << "##22a06b" << "#22A06B" << false << "#22A06B";
        QTest::newRow("hash in between") << "22#a06b" << "#22A06B" << false << "#22A06B";
        QTest::newRow("five digits") << "22A06" << "#22A06" << true << "#212636";
        QTest::newRow("everything deleted") << "" << "#" << false << "#212636";
        QTest::newRow("only hash signs") << "##" << "#" << false << "#212636";
        QTest::newRow("leading blank") << " 22A06B" << "# 22A06B" << true << "#212636";
        QTest::newRow("trailing blank") << "#22A06B " << "#22A06B" << false << "#22A06B";
        QTest::newRow("black raised to 0.05") << "000000" << "#0D0D0D" << false << "#0D0D0D";
        QTest::newRow("not hex") << "#GGGGGG" << "#GGGGGG" << true << "#212636";
    }
    void hexInput()
    {
        QFETCH(QString, typed);
        QFETCH(QString, field);
        QFETCH(bool, invalid);
        QFETCH(QString, modelHex);
        TestAppModel model;
        InkSettingsController sheet;
        sheet.setModel(&model);
        sheet.appear();
        const double hueBefore = sheet.hue();
        sheet.handleHexInput(typed);
        QCOMPARE(sheet.draftHex(), field);
        QCOMPARE(sheet.invalidHex(), invalid);
        QCOMPARE(model.transparentInkHex(), modelHex);
        // Only an accepted colour reaches the model, which then saves it after its pause.
        if (invalid || field == QLatin1String("#")) {
            QVERIFY(!model.hasPendingInkSave());
            QCOMPARE(sheet.hue(), hueBefore);
        } else {
            QVERIFY(model.hasPendingInkSave());
            QCOMPARE(sheet.hue(), TransparentInkPalette::hsv(modelHex).hue);
        }
    }

    void appearReadsTheModel()
    {
        TestAppModel model;
        model.setTransparentInkHexValue(QStringLiteral("#22A06B"));
        model.setTransparentInkIntensityValue(0.55);
        InkSettingsController sheet;
        sheet.setModel(&model);
        sheet.handleHexInput(QStringLiteral("12"));
        QVERIFY(sheet.invalidHex());
        sheet.appear();
        QCOMPARE(sheet.draftHex(), QStringLiteral("#22A06B"));
        QVERIFY(!sheet.invalidHex());
        QCOMPARE(sheet.intensityPercentText(), QStringLiteral("55%"));
        const auto hsv = TransparentInkPalette::hsv(QStringLiteral("#22A06B"));
        QCOMPARE(sheet.hue(), hsv.hue);
        QCOMPARE(sheet.saturation(), hsv.saturation);
        QCOMPARE(sheet.baseBrightness(), hsv.brightness);
    }

    void wheelAfterADarkColourIsFullyBright()
    {
        TestAppModel model;
        InkSettingsController sheet;
        sheet.setModel(&model);
        sheet.appear();
        sheet.handleHexInput(QStringLiteral("101010"));
        QVERIFY(sheet.baseBrightness() < 0.1);
        sheet.setHue(1.0 / 3.0);
        sheet.setSaturation(1.0);
        sheet.applyHueAndSaturation();
        QCOMPARE(sheet.baseBrightness(), 1.0);
        QCOMPARE(model.transparentInkHex(), QStringLiteral("#00FF00"));
        QCOMPARE(sheet.draftHex(), QStringLiteral("#00FF00"));
        QVERIFY(!sheet.invalidHex());
    }

    void intensityChangesAreClampedNotRounded_data()
    {
        QTest::addColumn<double>("slider");
        QTest::addColumn<double>("model");
        QTest::newRow("far left") << 0.1 << 0.1;
        QTest::newRow("below range") << 0.02 << 0.1;
        QTest::newRow("far right") << 1.0 << 1.0;
        QTest::newRow("unrounded") << 0.5432 << 0.5432;
    }
    void intensityChangesAreClampedNotRounded()
    {
        QFETCH(double, slider);
        QFETCH(double, model);
        TestAppModel appModel;
        InkSettingsController sheet;
        sheet.setModel(&appModel);
        sheet.setIntensity(slider);
        sheet.applyIntensity();
        QCOMPARE(appModel.transparentInkIntensity(), model);
        QCOMPARE(TransparentInkPalette::currentIntensity(), model);
        QVERIFY(appModel.hasPendingInkSave());
        QCOMPARE(sheet.intensity(), slider);
    }

    void restoreDefaultAndDone()
    {
        TestAppModel model;
        InkSettingsController sheet;
        sheet.setModel(&model);
        sheet.handleHexInput(QStringLiteral("22A06B"));
        sheet.setIntensity(0.4);
        sheet.applyIntensity();
        sheet.handleHexInput(QStringLiteral("zz"));
        QVERIFY(model.hasPendingInkSave());

        // The default is saved at once.
        sheet.restoreDefault();
        QVERIFY(!model.hasPendingInkSave());
        QCOMPARE(model.store().string(QStringLiteral("transparent_ink_color")).value_or(QString()), QStringLiteral("#212636"));
        QCOMPARE(sheet.draftHex(), QStringLiteral("#212636"));
        QVERIFY(!sheet.invalidHex());
        QCOMPARE(sheet.intensityPercentText(), QStringLiteral("100%"));
        QCOMPARE(model.transparentInkHex(), QStringLiteral("#212636"));
        QCOMPARE(model.transparentInkIntensity(), 1.0);

        // "完成" saves what is pending before it asks to close.
        sheet.handleHexInput(QStringLiteral("22A06B"));
        QVERIFY(model.hasPendingInkSave());
        bool savedBeforeDismissal = false;
        connect(&sheet, &InkSettingsController::dismissRequested, &model, [&] {
            savedBeforeDismissal = !model.hasPendingInkSave()
                && model.store().string(QStringLiteral("transparent_ink_color")) == QStringLiteral("#22A06B");
        });
        QSignalSpy dismissed(&sheet, &InkSettingsController::dismissRequested);
        sheet.done();
        QCOMPARE(dismissed.count(), 1);
        QVERIFY(savedBeforeDismissal);
    }

    void doneButtonColour_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<bool>("hovering");
        QTest::addColumn<double>("alpha");
        QTest::newRow("idle at L1") << 1.0 << false << 0.83 * 0.6;
        QTest::newRow("idle below 1") << 0.5 << false << 0.83 * 0.6;
        QTest::newRow("idle at L1.1") << 1.1 << false << 0.83 * 1.1 * 0.6;
        QTest::newRow("idle at L1.65") << 1.65 << false << 0.6;
        QTest::newRow("hovered") << 0.35 << true << 0.6;
    }
    void doneButtonColour()
    {
        QFETCH(double, level);
        QFETCH(bool, hovering);
        QFETCH(double, alpha);
        TestAppModel model;
        model.setTransparentInkHexValue(QStringLiteral("#22A06B"));
        model.setTransparentInkIntensityValue(0.6);
        model.setTransparentAppearanceLevel(level);
        InkSettingsController sheet;
        sheet.setModel(&model);
        sheet.setHoveringDone(hovering);
        const QColor done = sheet.liveDoneColor();
        QVERIFY(near(done.alphaF(), alpha, alphaTolerance));
        QCOMPARE(done.rgb(), QColor(QStringLiteral("#22A06B")).rgb());
        // The swatch always shows the model's ink, active palette or not.
        QCOMPARE(sheet.swatchColor().rgb(), QColor(QStringLiteral("#22A06B")).rgb());
        QVERIFY(near(sheet.swatchColor().alphaF(), 0.6, alphaTolerance));
    }

    // --- plain text from HTML ---------------------------------------------

    void htmlPlainText_data()
    {
        QTest::addColumn<QString>("html");
        QTest::addColumn<QString>("text");
        QTest::newRow("one paragraph") << "<p>word</p>" << "word";
        QTest::newRow("entities decoded") << "a &amp; b &lt;c&gt;" << "a & b <c>";
        QTest::newRow("empty") << "" << "";
        QTest::newRow("two paragraphs keep their break") << "<p>one</p><p>two</p>" << "one\ntwo";
        QTest::newRow("line break") << "one<br>two" << "one\ntwo";
        QTest::newRow("surrounding blanks trimmed") << "<br><p>  x  </p><br>&nbsp;" << "x";
        QTest::newRow("images dropped") << "<p>a<img src=\"q.png\">b</p>" << "ab";
        QTest::newRow("plain text") << "just text" << "just text";
        QTest::newRow("a run of no-break spaces stays") << "<p>a&nbsp;&nbsp;&nbsp;b</p>" << "a\u00A0\u00A0\u00A0b";
        QTest::newRow("no-break space beside a space") << "a &nbsp;b" << "a \u00A0b";
        QTest::newRow("no-break spaces between paragraphs") << "<p>a&nbsp;</p><p>&nbsp;b</p>" << "a\u00A0\n\u00A0b";
    }
    void htmlPlainText()
    {
        QFETCH(QString, html);
        QFETCH(QString, text);
        QCOMPARE(HtmlPlainText::plainText(html), text);
        QVERIFY(!HtmlPlainText::plainText(html).contains(QChar::ObjectReplacementCharacter));
    }

    void htmlThatCannotBeEncodedComesBackUnchanged()
    {
        QString broken = QStringLiteral("<p>a");
        broken.append(QChar(0xD800)); // an unpaired surrogate
        broken.append(QStringLiteral("</p>"));
        QCOMPARE(HtmlPlainText::plainText(broken), broken);
    }

    // --- answer status circle ------------------------------------------------

    void answerCircle_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<bool>("current");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("statusAlpha");
        QTest::addColumn<double>("fillAlpha");
        QTest::addColumn<double>("outlineAlpha");
        QTest::addColumn<double>("outlineWidth");
        QTest::addColumn<QString>("badge");
        using S = AnswerStatusCircleStyle;
        QTest::newRow("correct, normal") << int(S::Correct) << false << false << 1.0 << 1.0 << 0.16 << 0.0 << 1.0 << "checkmark";
        QTest::newRow("incorrect, current") << int(S::Incorrect) << false << true << 1.0 << 1.0 << 0.16 << 1.0 << 2.0 << "xmark";
        QTest::newRow("unanswered, normal") << int(S::Unanswered) << false << false << 1.0 << 1.0 << 1.0 << 0.0 << 1.0 << "";
        QTest::newRow("correct, transparent, L0.35 not dimmed")
            << int(S::Correct) << true << false << 0.35 << 0.72 << 0.72 * 0.12 << 0.063 << 1.0 << "checkmark";
        QTest::newRow("incorrect, transparent, L1.65")
            << int(S::Incorrect) << true << false << 1.65 << 1.0 << 0.12 << 0.297 << 1.0 << "xmark";
        QTest::newRow("unanswered, transparent") << int(S::Unanswered) << true << false << 1.0 << -1.0 << 0.0 << 0.18 << 1.0 << "";
        QTest::newRow("current, transparent") << int(S::Unanswered) << true << true << 1.0 << -1.0 << 0.0 << 0.83 << 2.0 << "";
    }
    void answerCircle()
    {
        QFETCH(int, status);
        QFETCH(bool, transparent);
        QFETCH(bool, current);
        QFETCH(double, level);
        QFETCH(double, statusAlpha);
        QFETCH(double, fillAlpha);
        QFETCH(double, outlineAlpha);
        QFETCH(double, outlineWidth);
        QFETCH(QString, badge);
        // The transparent look comes with the active ink, at full intensity.
        TransparentInkPalette::setActive(transparent);
        TransparentAppearanceScale::setCurrentValue(level);
        AnswerStatusCircleStyle style;
        style.setStatus(AnswerStatusCircleStyle::AnswerStatus(status));
        style.setTransparent(transparent);
        style.setIsCurrent(current);
        const double secondary = Theme::appSecondary().alphaF();
        const bool unanswered = status == AnswerStatusCircleStyle::Unanswered;
        if (statusAlpha >= 0)
            QVERIFY(near(style.statusColor().alphaF(), statusAlpha, alphaTolerance));
        else
            QCOMPARE(style.statusColor(), Theme::appSecondary());
        QVERIFY(near(style.fillColor().alphaF(), fillAlpha, alphaTolerance));
        const double outlineBase = transparent && !current ? secondary : 1.0;
        QVERIFY2(near(style.outlineColor().alphaF(), outlineBase * outlineAlpha, alphaTolerance),
                 qPrintable(QString::number(style.outlineColor().alphaF())));
        QCOMPARE(style.outlineWidth(), outlineWidth);
        QCOMPARE(style.badgeSymbol(), badge);
        QCOMPARE(style.numberColor(), unanswered ? Theme::appTitle() : style.statusColor());
        if (unanswered && !transparent)
            QCOMPARE(style.fillColor(), Theme::appBackground());
    }

    // --- drag strip hit testing -----------------------------------------------

    void dragStripLeavesTheControlWidthsToTheControls_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<bool>("inside");
        QTest::newRow("within the leading control") << 9.9 << false;
        QTest::newRow("leading edge included") << 10.0 << true;
        QTest::newRow("middle") << 50.0 << true;
        QTest::newRow("trailing edge included") << 80.0 << true;
        QTest::newRow("within the trailing control") << 80.1 << false;
        QTest::newRow("outside") << 120.0 << false;
    }
    void dragStripLeavesTheControlWidthsToTheControls()
    {
        QFETCH(double, x);
        QFETCH(bool, inside);
        WindowDragArea strip;
        strip.setSize(QSizeF(100, 20));
        strip.setLeadingControlWidth(10);
        strip.setTrailingControlWidth(20);
        QCOMPARE(strip.contains(QPointF(x, 10)), inside);
        QVERIFY(!strip.contains(QPointF(50, 25)));
    }

    // --- rounded hit shape ----------------------------------------------------

    void roundedShapeLeavesItsCornersOut_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<double>("radius");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");
        const QSizeF card(200, 120);
        QTest::newRow("centre") << card << 22.0 << QPointF(100, 60) << true;
        QTest::newRow("top edge beside the corner") << card << 22.0 << QPointF(22, 0) << true;
        QTest::newRow("corner, outside the arc") << card << 22.0 << QPointF(3, 3) << false;
        QTest::newRow("corner, inside the arc") << card << 22.0 << QPointF(8, 8) << true;
        QTest::newRow("bottom-right corner, outside") << card << 22.0 << QPointF(197, 117) << false;
        QTest::newRow("bottom-right corner, inside") << card << 22.0 << QPointF(188, 108) << true;
        QTest::newRow("outside the rectangle") << card << 22.0 << QPointF(100, 121) << false;
        QTest::newRow("no radius: corner inside") << card << 0.0 << QPointF(0, 0) << true;
        QTest::newRow("negative radius: a rectangle") << card << -5.0 << QPointF(0.5, 0.5) << true;
        QTest::newRow("radius not a number: a rectangle") << card << std::nan("") << QPointF(0.5, 0.5) << true;
        // A radius beyond half the height makes a capsule.
        QTest::newRow("capsule end, outside") << QSizeF(100, 20) << 50.0 << QPointF(1, 1) << false;
        QTest::newRow("capsule end, on its axis") << QSizeF(100, 20) << 50.0 << QPointF(0.5, 10) << true;
        QTest::newRow("capsule middle, top edge") << QSizeF(100, 20) << 50.0 << QPointF(50, 0) << true;
        QTest::newRow("empty size") << QSizeF(0, 0) << 0.0 << QPointF(0, 0) << false;
        QTest::newRow("point not a number") << card << 22.0 << QPointF(std::nan(""), 60) << false;
    }
    void roundedShapeLeavesItsCornersOut()
    {
        QFETCH(QSizeF, size);
        QFETCH(double, radius);
        QFETCH(QPointF, point);
        QFETCH(bool, inside);
        RoundedRectShape shape;
        shape.setProperty("width", size.width());
        shape.setProperty("height", size.height());
        shape.setProperty("radius", radius);
        QCOMPARE(shape.contains(point), inside);
    }

    // --- corner resize grip -------------------------------------------------

    void cornerResize_data()
    {
        QTest::addColumn<QPointF>("pointer");
        QTest::addColumn<QRect>("frame");
        const QRect initial(100, 100, 500, 650);
        QTest::newRow("still") << QPointF(600, 750) << initial;
        QTest::newRow("down and right grows") << QPointF(650, 800) << QRect(100, 100, 550, 700);
        QTest::newRow("past the minimum stops there") << QPointF(0, 0) << QRect(100, 100, 450, 600);
        QTest::newRow("beyond the screen is not clamped") << QPointF(5600, 750) << QRect(100, 100, 5500, 650);
        QTest::newRow("huge delta holds in range") << QPointF(1e15, 1e15)
                                                   << QRect(100, 100, std::numeric_limits<int>::max() / 2 + 500,
                                                            std::numeric_limits<int>::max() / 2 + 650);
        QTest::newRow("NaN pointer changes nothing") << QPointF(std::nan(""), std::nan("")) << initial;
    }
    void cornerResize()
    {
        QFETCH(QPointF, pointer);
        QFETCH(QRect, frame);
        const QRect result = BottomTrailingWindowResizeArea::resizedFrame(QRect(100, 100, 500, 650), QPointF(600, 750),
                                                                          pointer, QSize(450, 600));
        QCOMPARE(result, frame);
    }
};

QTEST_MAIN(TestViewControllers)
#include "tst_viewcontrollers.moc"
