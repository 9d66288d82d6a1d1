#include "TestAppModel.h"

#include "views/RootViewState.h"

#include <QSignalSpy>
#include <QTest>

#include <cmath>

namespace {

void setMessage(TestAppModel &model, const char *property, const QVariant &text)
{
    model.setProperty(property, text);
}

bool hasMessage(const TestAppModel &model, const char *property)
{
    const QVariant value = model.property(property);
    return value.isValid() && !value.isNull();
}

} // namespace

class TestRootViewState : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // --- banners ----------------------------------------------------------

    // The newest message has the banner: a notice set while an error stands
    // (a retry that worked) replaces the error, which does not come back.
    void aNoticeReplacesTheStandingError()
    {
        TestAppModel model;
        RootViewState state;
        state.setNoticeDismissMs(150);
        state.setModel(&model);
        setMessage(model, "errorMessage", QStringLiteral("出错了"));
        QVERIFY(state.bannerVisible());
        QVERIFY(state.bannerIsError());
        QCOMPARE(state.bannerMessage(), QStringLiteral("出错了"));
        QVERIFY(!state.isNoticeTimerRunning());
        // Error banners have no timer.
        QTest::qWait(250);
        QVERIFY(hasMessage(model, "errorMessage"));

        setMessage(model, "noticeMessage", QStringLiteral("已保存"));
        QVERIFY(state.bannerVisible());
        QVERIFY(!state.bannerIsError());
        QCOMPARE(state.bannerMessage(), QStringLiteral("已保存"));
        QVERIFY(!hasMessage(model, "errorMessage"));
        QVERIFY(state.isNoticeTimerRunning());
        QTRY_VERIFY(!hasMessage(model, "noticeMessage"));
        QVERIFY(!state.bannerVisible());
    }

    void anErrorPushesTheNoticeAway()
    {
        TestAppModel model;
        RootViewState state;
        state.setModel(&model);
        setMessage(model, "noticeMessage", QStringLiteral("验证码已发送"));
        QVERIFY(state.isNoticeTimerRunning());
        setMessage(model, "errorMessage", QStringLiteral("网络错误"));
        QVERIFY(state.bannerIsError());
        QVERIFY(!hasMessage(model, "noticeMessage"));
        QVERIFY(!state.isNoticeTimerRunning());
        state.dismissBanner();
        QVERIFY(!state.bannerVisible());
    }

    void aSecondNoticeDoesNotRestartTheCountdown()
    {
        TestAppModel model;
        RootViewState state;
        state.setNoticeDismissMs(600);
        state.setModel(&model);
        setMessage(model, "noticeMessage", QStringLiteral("第一条"));
        QTest::qWait(350);
        setMessage(model, "noticeMessage", QStringLiteral("第二条"));
        QCOMPARE(state.bannerMessage(), QStringLiteral("第二条"));
        // Timers never fire early, so what is left can only have shrunk.
        QVERIFY(state.isNoticeTimerRunning());
        QTRY_VERIFY(!hasMessage(model, "noticeMessage"));
    }

    void dismissingTheNoticeClearsOnlyIt()
    {
        TestAppModel model;
        RootViewState state;
        state.setModel(&model);
        setMessage(model, "noticeMessage", QStringLiteral("已保存"));
        state.dismissBanner();
        QVERIFY(!hasMessage(model, "noticeMessage"));
        QVERIFY(!state.isNoticeTimerRunning());
        QVERIFY(!state.bannerVisible());
    }

    // --- zoom indicator ---------------------------------------------------

    void zoomTexts_data()
    {
        QTest::addColumn<QVariant>("scale");
        QTest::addColumn<QString>("percent");
        QTest::addColumn<bool>("outDisabled");
        QTest::addColumn<bool>("inDisabled");
        QTest::newRow("no feedback") << QVariant() << "100%" << false << false;
        QTest::newRow("50%") << QVariant(0.5) << "50%" << true << false;
        QTest::newRow("55%") << QVariant(0.55) << "55%" << false << false;
        QTest::newRow("95% rounds") << QVariant(0.95) << "95%" << false << false;
        QTest::newRow("105% rounds") << QVariant(1.05) << "105%" << false << false;
        QTest::newRow("145%") << QVariant(1.45) << "145%" << false << false;
        QTest::newRow("150%") << QVariant(1.5) << "150%" << false << true;
        QTest::newRow("50% as a sum of steps") << QVariant(1.0 - 10 * 0.05) << "50%" << true << false;
    }
    void zoomTexts()
    {
        QFETCH(QVariant, scale);
        QFETCH(QString, percent);
        QFETCH(bool, outDisabled);
        QFETCH(bool, inDisabled);
        TestAppModel model;
        RootViewState state;
        state.setModel(&model);
        if (scale.isValid())
            model.showZoom(scale.toDouble());
        QCOMPARE(state.zoomPercentText(), percent);
        QCOMPARE(state.zoomAccessibilityLabel(), QStringLiteral("当前缩放比例 ") + percent);
        QCOMPARE(state.zoomOutDisabled(), outDisabled);
        QCOMPARE(state.zoomInDisabled(), inDisabled);
        QCOMPARE(state.zoomIndicatorPresented(), scale.isValid());
    }

    void zoomCountdownRestartsWithEveryRequest()
    {
        TestAppModel model;
        RootViewState state;
        state.setZoomDismissMs(500);
        state.setModel(&model);
        model.showZoom(1.05);
        QVERIFY(state.isZoomTimerRunning());
        QTest::qWait(300);
        model.showZoom(1.1); // a new id: a new countdown
        QTest::qWait(300);
        // 600 ms after the first request, 300 ms after the second.
        QVERIFY(state.zoomIndicatorPresented());
        QTRY_VERIFY(!state.zoomIndicatorPresented());
        QVERIFY(!model.property("zoomFeedback").isValid());
    }

    void zoomIndicatorStaysUnderThePointer()
    {
        TestAppModel model;
        RootViewState state;
        state.setZoomDismissMs(200);
        state.setModel(&model);
        model.showZoom(0.9);
        state.setHoveringZoomIndicator(true);
        QVERIFY(!state.isZoomTimerRunning());
        QTest::qWait(400);
        QVERIFY(state.zoomIndicatorPresented());
        state.setHoveringZoomIndicator(false);
        QVERIFY(state.isZoomTimerRunning());
        QTRY_VERIFY(!state.zoomIndicatorPresented());
    }

    void clearingTheFeedbackResetsTheHoverFlag()
    {
        TestAppModel model;
        RootViewState state;
        state.setModel(&model);
        model.showZoom(1.2);
        state.setHoveringZoomIndicator(true);
        state.dismissZoomIndicator();
        QVERIFY(!model.property("zoomFeedback").isValid());
        QVERIFY(!state.hoveringZoomIndicator());
        QVERIFY(!state.isZoomTimerRunning());
    }

    void exportHidesTheIndicatorButTheCountdownRuns()
    {
        TestAppModel model;
        RootViewState state;
        state.setZoomDismissMs(200);
        state.setModel(&model);
        model.showZoom(1.2);
        model.setIsExportingPDF(true);
        QVERIFY(!state.zoomIndicatorPresented());
        QVERIFY(state.isZoomTimerRunning());
        QTRY_VERIFY(!model.property("zoomFeedback").isValid());
        model.setIsExportingPDF(false);
        QVERIFY(!state.zoomIndicatorPresented());
        // A zoom during the export shows nothing either.
        model.setIsExportingPDF(true);
        model.showZoom(1.25);
        QVERIFY(!state.zoomIndicatorPresented());
    }

    // --- ink card ---------------------------------------------------------

    void inkCardClosesWithTheLookOrTheScreen_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("closes");
        // Whether the pending ink save ran; a screen assignment saves in any case.
        QTest::addColumn<bool>("saved");
        QTest::newRow("screen change") << "screen" << true << true;
        QTest::newRow("transparency off") << "off" << true << true;
        QTest::newRow("same screen again") << "sameScreen" << false << true;
        QTest::newRow("level change") << "level" << false << false;
    }
    void inkCardClosesWithTheLookOrTheScreen()
    {
        QFETCH(QString, change);
        QFETCH(bool, closes);
        QFETCH(bool, saved);
        TestAppModel model;
        model.setStudyTransparencyEnabled(true);
        RootViewState state;
        state.setModel(&model);
        state.setShowingInkColorSettings(true);
        model.setTransparentInkIntensity(0.5);
        QVERIFY(model.hasPendingInkSave());
        if (change == QLatin1String("screen"))
            model.setScreen(AppScreen::questions);
        else if (change == QLatin1String("off"))
            model.setStudyTransparencyEnabled(false);
        else if (change == QLatin1String("sameScreen"))
            model.setScreen(AppScreen::home);
        else
            model.setTransparentAppearanceLevel(0.5);
        QCOMPARE(state.showingInkColorSettings(), !closes);
        QCOMPARE(model.hasPendingInkSave(), !saved);
        QCOMPARE(model.store().doubleValue(QStringLiteral("transparent_ink_intensity")) == 0.5, saved);
    }

    void inkCardDismissals()
    {
        TestAppModel model;
        model.setStudyTransparencyEnabled(true);
        RootViewState state;
        state.setModel(&model);
        state.setShowingInkColorSettings(true);
        model.setTransparentInkIntensity(0.5);
        state.closeInkSettings(); // the sheet has saved already
        QVERIFY(!state.showingInkColorSettings());
        QVERIFY(model.hasPendingInkSave());
        state.setShowingInkColorSettings(true);
        state.dismissInkSettingsFromBackdrop();
        QVERIFY(!state.showingInkColorSettings());
        QVERIFY(!model.hasPendingInkSave());
        QCOMPARE(model.store().doubleValue(QStringLiteral("transparent_ink_intensity")), 0.5);
    }

    // --- window shape and screen area --------------------------------------

    void lookOfTheWindow_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<bool>("setting");
        QTest::addColumn<bool>("maximized");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("radius");
        QTest::addColumn<bool>("grip");
        QTest::addColumn<bool>("border");
        QTest::addColumn<double>("opacity");
        QTest::newRow("normal") << int(AppScreen::home) << false << false << 0.35 << 18.0 << false << true << 1.0;
        QTest::newRow("transparent L0.35") << int(AppScreen::home) << true << false << 0.35 << 18.0 << true << false << 0.35;
        QTest::newRow("transparent L1") << int(AppScreen::report) << true << false << 1.0 << 18.0 << true << false << 1.0;
        QTest::newRow("transparent L1.65") << int(AppScreen::history) << true << false << 1.65 << 18.0 << true << false << 1.0;
        QTest::newRow("maximized") << int(AppScreen::home) << true << true << 1.0 << 0.0 << false << false << 1.0;
        QTest::newRow("maximized normal") << int(AppScreen::home) << false << true << 1.0 << 0.0 << false << true << 1.0;
        QTest::newRow("login stays opaque") << int(AppScreen::login) << true << false << 0.35 << 18.0 << false << true << 1.0;
        QTest::newRow("purchase stays opaque") << int(AppScreen::purchase) << true << false << 0.35 << 18.0 << false << true << 1.0;
    }
    void lookOfTheWindow()
    {
        QFETCH(int, screen);
        QFETCH(bool, setting);
        QFETCH(bool, maximized);
        QFETCH(double, level);
        QFETCH(double, radius);
        QFETCH(bool, grip);
        QFETCH(bool, border);
        QFETCH(double, opacity);
        TestAppModel model;
        model.setScreen(screen);
        model.setStudyTransparencyEnabled(setting);
        model.setIsWindowMaximized(maximized);
        model.setTransparentAppearanceLevel(level);
        RootViewState state;
        state.setModel(&model);
        QCOMPARE(state.windowCornerRadius(), radius);
        QCOMPARE(state.showsResizeGrip(), grip);
        QCOMPARE(state.showsBorder(), border);
        QVERIFY(std::abs(state.screenAreaOpacity() - opacity) < 1e-12);
    }

    // A flip of the setting moves the page and the screen area over 0.18 s,
    // eased in and out; a change of the brightness level the screen area over
    // 0.14 s, eased out; a flip that a change of screen makes, at once.
    void screenAreaFadeFollowsWhatMovedIt()
    {
        TestAppModel model;
        model.setScreen(int(AppScreen::home));
        RootViewState state;
        state.setModel(&model);
        QSignalSpy fade(&state, &RootViewState::lookFadeChanged);
        model.setStudyTransparencyEnabled(true);
        QVERIFY(state.screenAreaFadeFollowsLook());
        QCOMPARE(state.lookFadeMs(), 180);
        QCOMPARE(state.screenAreaFadeMs(), 180);
        model.setTransparentAppearanceLevel(0.5);
        QVERIFY(!state.screenAreaFadeFollowsLook());
        QCOMPARE(state.screenAreaFadeMs(), 140);
        model.setStudyTransparencyEnabled(false);
        QCOMPARE(state.screenAreaFadeMs(), 180);
        QCOMPARE(fade.size(), 3);

        model.setStudyTransparencyEnabled(true);
        model.setScreen(int(AppScreen::purchase));
        QCOMPARE(state.lookFadeMs(), 0);
        QCOMPARE(state.screenAreaFadeMs(), 0);
        // The setting flipped where the look does not apply: nothing to fade.
        model.setStudyTransparencyEnabled(false);
        model.setStudyTransparencyEnabled(true);
        QCOMPARE(state.lookFadeMs(), 0);
        model.setScreen(int(AppScreen::report));
        QCOMPARE(state.lookFadeMs(), 0);
        // A screen change that keeps the look leaves the fade as it was.
        model.setScreen(int(AppScreen::home));
        QCOMPARE(state.lookFadeMs(), 0);
        model.setStudyTransparencyEnabled(false);
        QCOMPARE(state.lookFadeMs(), 180);
        QCOMPARE(state.screenAreaFadeMs(), 180);
    }

    void gripInkFallsBackToTheDefault()
    {
        TestAppModel model;
        RootViewState state;
        state.setModel(&model);
        model.setTransparentInkHexValue(QStringLiteral("#22A06B"));
        QCOMPARE(state.gripInkColor(), QColor(QStringLiteral("#22A06B")));
        model.setTransparentInkHexValue(QStringLiteral("nonsense"));
        QCOMPARE(state.gripInkColor(), QColor(QStringLiteral("#212636")));
        QCOMPARE(state.gripInkColor().alpha(), 255);
    }

    void aModelThatGoesAwayLeavesTheStateInert()
    {
        auto *model = new TestAppModel;
        RootViewState state;
        state.setModel(model);
        model->showZoom(1.1);
        delete model;
        QVERIFY(!state.zoomIndicatorPresented());
        state.dismissBanner();
        state.dismissZoomIndicator();
        QTest::qWait(10);
        QCOMPARE(state.model(), nullptr);
    }
};

QTEST_MAIN(TestRootViewState)
#include "tst_rootviewstate.moc"
