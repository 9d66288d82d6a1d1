#include "TestAppModel.h"
#include "ViewTestSupport.h"

#include "views/RootViewState.h"
#include "views/Theme.h"

#include <QGuiApplication>
#include <QPointer>
#include <QStyleHints>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/QQmlExtensionPlugin>

#include <cmath>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

using ViewTest::centreOf;
using ViewTest::findItem;
using ViewTest::settle;

namespace {

// The opacity the user sees: the item's own times every ancestor's.
double effectiveOpacity(const QQuickItem *item)
{
    double opacity = 1;
    for (; item; item = item->parentItem())
        opacity *= item->opacity();
    return opacity;
}

bool isShown(const QQuickItem *item)
{
    return item && item->isVisible() && effectiveOpacity(item) > 0.01;
}

} // namespace

// The window shell's requests object as the drag strips see it.
class FakePanel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(bool movable MEMBER movable NOTIFY movableChanged)

public:
    bool movable = true;
    QStringList calls;

public Q_SLOTS:
    void beginWindowDrag(QPointF) { calls << QStringLiteral("begin"); }
    void dragWindow(QPointF) { calls << QStringLiteral("drag"); }
    void endWindowDrag() { calls << QStringLiteral("end"); }

Q_SIGNALS:
    void movableChanged();
};

class TestRootView : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestAppModel> m_model;
    std::unique_ptr<QQuickView> m_view;

    QQuickItem *root() const { return m_view->rootObject(); }
    RootViewState *state() const { return root()->property("viewState").value<RootViewState *>(); }

    QQuickItem *item(const char *name) const { return ViewTest::namedItem(root(), name); }

    bool exists(const char *name) const { return findItem(root(), QString::fromLatin1(name)) != nullptr; }

    void click(const QPoint &point) { QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, point); }
    void click(const QQuickItem *target) { click(centreOf(target)); }

private Q_SLOTS:
    void init()
    {
        m_model = std::make_unique<TestAppModel>();
        m_view = std::make_unique<QQuickView>();
        const QString failure = ViewTest::showRootView(*m_view, m_model.get());
        QVERIFY2(failure.isEmpty(), qPrintable(failure));
    }

    void cleanup()
    {
        m_view.reset();
        m_model.reset();
    }

    void headerShowsItsControlsPerScreenAndLook_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<bool>("setting");
        QTest::addColumn<QStringList>("shown");
        QTest::addColumn<QStringList>("hidden");
        QTest::addColumn<bool>("fadedButtons");
        const QStringList all{QStringLiteral("appearanceControl"), QStringLiteral("maskedMobile"),
                              QStringLiteral("transparencyToggle"), QStringLiteral("inkButton"),
                              QStringLiteral("autoHideSwitch")};
        QTest::newRow("login") << int(AppScreen::login) << true << QStringList{} << all << false;
        QTest::newRow("purchase")
            << int(AppScreen::purchase) << true << QStringList{all[0], all[1]} << QStringList{all[2], all[3], all[4]} << false;
        QTest::newRow("home, off")
            << int(AppScreen::home) << false << QStringList{all[0], all[1], all[2], all[4]} << QStringList{all[3]} << false;
        QTest::newRow("home, on")
            << int(AppScreen::home) << true << QStringList{all[0], all[2], all[3], all[4]} << QStringList{all[1]} << true;
        QTest::newRow("report, on")
            << int(AppScreen::report) << true << QStringList{all[0], all[2], all[3], all[4]} << QStringList{all[1]} << true;
    }
    void headerShowsItsControlsPerScreenAndLook()
    {
        QFETCH(int, screen);
        QFETCH(bool, setting);
        QFETCH(QStringList, shown);
        QFETCH(QStringList, hidden);
        QFETCH(bool, fadedButtons);
        m_model->setScreen(screen);
        m_model->setStudyTransparencyEnabled(setting);
        settle();
        for (const QString &name : shown)
            QVERIFY2(isShown(item(name.toLatin1().constData())), qPrintable(name));
        for (const QString &name : hidden)
            QVERIFY2(!isShown(item(name.toLatin1().constData())), qPrintable(name));
        QVERIFY(isShown(item("windowControls")));
        QVERIFY(isShown(item("headerDragStrip")));
        const auto *closeButton = item("closeButton");
        QVERIFY(closeButton);
        QCOMPARE(closeButton->opacity() < 0.5, fadedButtons);
        const QColor header = item("windowHeader")->property("color").value<QColor>();
        QCOMPARE(header.alpha() == 0, fadedButtons);
        QCOMPARE(item("headerDivider")->opacity() < 0.5, fadedButtons);
    }

    void transparencyToggleSwitchesTheLook()
    {
        QVERIFY(isShown(item("pageBackground")));
        click(item("transparencyToggle"));
        QVERIFY(m_model->studyTransparencyEnabled());
        settle();
        QVERIFY(isShown(item("inkButton")));
        QVERIFY(!isShown(item("maskedMobile")));
        QCOMPARE(item("pageBackground")->property("color").value<QColor>().alpha(), 0);
        QVERIFY(!isShown(item("windowBorder")));
        QVERIFY(isShown(item("resizeGrip")));
        click(item("transparencyToggle"));
        QVERIFY(!m_model->studyTransparencyEnabled());
    }

    // The user's flip of the transparency toggle fades the page, the header
    // and the screen area; a change of screen that flips the look (the login
    // and purchase screens never wear it) switches them at once, both ways.
    void onlyTheTogglesFlipFadesTheLook_data()
    {
        QTest::addColumn<int>("screen");
        QTest::newRow("purchase") << int(AppScreen::purchase);
        QTest::newRow("login") << int(AppScreen::login);
    }
    void onlyTheTogglesFlipFadesTheLook()
    {
        QFETCH(int, screen);
        m_model->setTransparentAppearanceLevel(0.5);
        settle();
        struct Look
        {
            int page;
            int header;
            double divider;
            double screenArea;
        };
        const auto now = [&] {
            return Look{item("pageBackground")->property("color").value<QColor>().alpha(),
                        item("headerBackground")->property("color").value<QColor>().alpha(),
                        item("headerDivider")->opacity(), item("screenArea")->opacity()};
        };
        const Look opaque{255, 255, 1.0, 1.0};
        const Look seeThrough{0, 0, 0.18, 0.5};
        const auto is = [](const Look &a, const Look &b) {
            return a.page == b.page && a.header == b.header && std::abs(a.divider - b.divider) < 1e-6
                && std::abs(a.screenArea - b.screenArea) < 1e-6;
        };
        const auto describe = [](const Look &look) {
            return QStringLiteral("page %1, header %2, divider %3, screen area %4")
                .arg(look.page)
                .arg(look.header)
                .arg(look.divider)
                .arg(look.screenArea);
        };
        QVERIFY2(is(now(), opaque), qPrintable(describe(now())));

        // The toggle: nothing has moved yet, then everything gets there.
        click(item("transparencyToggle"));
        QVERIFY(m_model->studyTransparencyEnabled());
        QVERIFY2(!is(now(), seeThrough), qPrintable(describe(now())));
        QTRY_VERIFY2(is(now(), seeThrough), qPrintable(describe(now())));

        // Away to a screen without the look and back: at once.
        m_model->setScreen(screen);
        QVERIFY2(is(now(), opaque), qPrintable(describe(now())));
        settle();
        QVERIFY2(is(now(), opaque), qPrintable(describe(now())));
        m_model->setScreen(int(AppScreen::home));
        QVERIFY2(is(now(), seeThrough), qPrintable(describe(now())));
        settle();

        // The toggle again, the other way: a fade.
        click(item("transparencyToggle"));
        QVERIFY(!m_model->studyTransparencyEnabled());
        QVERIFY2(!is(now(), opaque), qPrintable(describe(now())));
        QTRY_VERIFY2(is(now(), opaque), qPrintable(describe(now())));
    }


    // A capsule button's hit area is the capsule: a click in a corner of its
    // box, outside the rounded end, does nothing.
    void capsuleCornersAreNotTheButtons()
    {
        const auto corner = [](const QQuickItem *button) { return button->mapToScene(QPointF(1, 1)).toPoint(); };
        m_model->setStudyTransparencyEnabled(true);
        settle();
        click(corner(item("transparencyToggle")));
        QVERIFY(m_model->studyTransparencyEnabled());

        // The card's "知道了" or "完成": its corner leaves the card open, its middle closes it.
        const auto closesOnlyInTheCapsule = [&](const char *opener, const char *done, bool (RootViewState::*showing)() const) {
            click(item(opener));
            settle();
            click(corner(item(done)));
            QVERIFY2((state()->*showing)(), done);
            click(item(done));
            QVERIFY2(!(state()->*showing)(), done);
            settle();
        };
        closesOnlyInTheCapsule("appearanceHelpButton", "helpDoneButton", &RootViewState::showingAppearanceHelp);
        closesOnlyInTheCapsule("inkButton", "inkDoneButton", &RootViewState::showingInkColorSettings);
    }

    // In the transparent look the window buttons come back while the pointer
    // is anywhere in the header's 72 x 36 frame that holds them.
    void windowButtonsComeBackOverTheirWholeFrame()
    {
        m_model->setStudyTransparencyEnabled(true);
        settle();
        auto *controls = item("windowControls");
        QCOMPARE(controls->width(), 72.0);
        QCOMPARE(controls->height(), 36.0);
        QVERIFY(!controls->property("hovering").toBool());
        QTest::mouseMove(m_view.get(), controls->mapToScene(QPointF(68, 18)).toPoint());
        QTRY_VERIFY(controls->property("hovering").toBool());
    }

    void clickOnTheAutoHideLabelFlipsTheSwitch()
    {
        auto *autoHide = item("autoHideSwitch");
        // The label sits at the switch row's leading end.
        click(autoHide->mapToScene(QPointF(6, autoHide->height() / 2)).toPoint());
        QVERIFY(m_model->property("hoverAutoHideEnabled").toBool());
        settle();
        auto *knob = item("autoHideKnob");
        QCOMPARE(knob->x(), 16.0);
        click(autoHide->mapToScene(QPointF(autoHide->width() - 4, autoHide->height() / 2)).toPoint());
        QVERIFY(!m_model->property("hoverAutoHideEnabled").toBool());
        settle();
        QCOMPARE(knob->x(), 2.0);
    }

    void sliderClickSetsTheLevel_data()
    {
        QTest::addColumn<double>("x");
        QTest::addColumn<double>("level");
        QTest::newRow("far left") << 1.0 << 0.35;
        QTest::newRow("centre") << 40.0 << 1.0;
        QTest::newRow("far right") << 79.0 << 1.65;
    }
    void sliderClickSetsTheLevel()
    {
        QFETCH(double, x);
        QFETCH(double, level);
        auto *slider = item("appearanceSlider");
        click(slider->mapToScene(QPointF(x, 12)).toPoint());
        QVERIFY(std::abs(m_model->transparentAppearanceLevel() - level) < 1e-9);
        QCOMPARE(item("appearancePercent")->property("text").toString(), Theme::percentText(level));
    }

    // Under the pointer the thumb's outline eases to its stronger colour
    // along with the fill, and back when the pointer leaves; neither jumps.
    void sliderOutlineEasesWithTheFill()
    {
        m_model->setStudyTransparencyEnabled(true);
        settle();
        auto *slider = item("appearanceSlider");
        QQuickItem *fill = item("sliderFill");
        QObject *outline = item("sliderThumb")->property("border").value<QObject *>();
        QVERIFY(slider && fill && outline);
        const auto fillColor = [fill] { return fill->property("color").value<QColor>(); };
        const auto outlineColor = [outline] { return outline->property("color").value<QColor>(); };
        const QPoint away = slider->mapToScene(QPointF(slider->width() / 2, slider->height() + 40)).toPoint();
        QTest::mouseMove(m_view.get(), away);
        settle();
        const QColor restingFill = fillColor();
        const QColor restingOutline = outlineColor();

        QTest::mouseMove(m_view.get(), centreOf(slider));
        // The change has begun, not ended: both still show the resting colours
        // (compared as drawn, eight bits a channel).
        QCOMPARE(fillColor().rgba(), restingFill.rgba());
        QCOMPARE(outlineColor().rgba(), restingOutline.rgba());
        settle();
        const QColor hoveredOutline = outlineColor();
        QVERIFY(hoveredOutline.alphaF() > restingOutline.alphaF() + 0.05);
        QVERIFY(fillColor().rgba() != restingFill.rgba());

        QTest::mouseMove(m_view.get(), away);
        QCOMPARE(outlineColor().rgba(), hoveredOutline.rgba());
        QTRY_COMPARE(outlineColor().rgba(), restingOutline.rgba());
    }

    void bannersAppearAndVanish()
    {
        state()->setNoticeDismissMs(300);
        m_model->setProperty("errorMessage", QStringLiteral("网络连接失败"));
        settle();
        auto *host = item("bannerHost");
        QVERIFY(isShown(host));
        QCOMPARE(item("bannerText")->property("text").toString(), QStringLiteral("网络连接失败"));
        QCOMPARE(host->y(), 60.0);
        // A click on the banner's body does not dismiss it.
        click(item("bannerText"));
        QVERIFY(m_model->property("errorMessage").isValid());
        click(item("bannerCloseButton"));
        QVERIFY(!m_model->property("errorMessage").isValid());
        settle();
        QVERIFY(!isShown(host));

        m_model->setProperty("noticeMessage", QStringLiteral("已保存"));
        settle();
        QVERIFY(isShown(host));
        QCOMPARE(item("bannerText")->property("text").toString(), QStringLiteral("已保存"));
        QTRY_VERIFY(!m_model->property("noticeMessage").isValid());
        QTRY_VERIFY(!isShown(host));
    }

    void modalBackdropDismissesButItsCardDoesNot()
    {
        click(item("appearanceHelpButton"));
        QVERIFY(state()->showingAppearanceHelp());
        settle();
        auto *panel = item("appearanceHelpPanel");
        QVERIFY(isShown(panel));
        // Inside the card, away from its two buttons.
        click(panel->mapToScene(QPointF(30, panel->height() / 2)).toPoint());
        QVERIFY(state()->showingAppearanceHelp());
        // Outside it: the dimmed backdrop.
        QSignalSpy activation(root(), SIGNAL(activationRequested()));
        click(QPoint(20, m_view->height() - 20));
        QVERIFY(!state()->showingAppearanceHelp());
        QCOMPARE(activation.count(), 0);
        settle();
        QVERIFY(!isShown(item("modalBackdrop")));

        click(item("appearanceHelpButton"));
        settle();
        click(item("helpDoneButton"));
        QVERIFY(!state()->showingAppearanceHelp());
    }

    void inkCardSavesWhenItsBackdropIsClicked()
    {
        m_model->setStudyTransparencyEnabled(true);
        settle();
        click(item("inkButton"));
        QVERIFY(state()->showingInkColorSettings());
        settle();
        QVERIFY(isShown(item("inkSettings")));
        m_model->setTransparentInkIntensity(0.5);
        QVERIFY(m_model->hasPendingInkSave());
        click(QPoint(20, m_view->height() - 20));
        QVERIFY(!state()->showingInkColorSettings());
        QVERIFY(!m_model->hasPendingInkSave());
    }

    void inkCardEditsTheModelLive()
    {
        m_model->setStudyTransparencyEnabled(true);
        state()->setShowingInkColorSettings(true);
        settle();
        auto *field = item("inkHexField");
        QVERIFY(isShown(field));
        QCOMPARE(field->property("text").toString(), QStringLiteral("#212636"));
        click(field);
        QTest::keySequence(m_view.get(), QKeySequence::SelectAll);
        for (const char key : {'2', '2', 'a', '0', '6', 'b'})
            QTest::keyClick(m_view.get(), key);
        QCOMPARE(field->property("text").toString(), QStringLiteral("#22A06B"));
        QCOMPARE(m_model->transparentInkHex(), QStringLiteral("#22A06B"));
        QVERIFY(!isShown(item("inkHexError")));
        QTest::keyClick(m_view.get(), Qt::Key_Backspace);
        QVERIFY(isShown(item("inkHexError")));
        QCOMPARE(m_model->transparentInkHex(), QStringLiteral("#22A06B"));

        auto *slider = item("inkIntensitySlider");
        click(slider->mapToScene(QPointF(0, 12)).toPoint());
        QCOMPARE(m_model->transparentInkIntensity(), 0.1);
        QCOMPARE(item("intensityPercent")->property("text").toString(), QStringLiteral("10%"));

        QVERIFY(m_model->hasPendingInkSave());
        click(item("inkDoneButton"));
        QVERIFY(!state()->showingInkColorSettings());
        QVERIFY(!m_model->hasPendingInkSave());
        QCOMPARE(m_model->store().doubleValue(QStringLiteral("transparent_ink_intensity")), 0.1);
    }

    void loadingOverlaySwallowsClicks_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::newRow("normal look") << false;
        QTest::newRow("transparent look") << true;
    }
    void loadingOverlaySwallowsClicks()
    {
        QFETCH(bool, transparent);
        m_model->setStudyTransparencyEnabled(transparent);
        m_model->setLoading(true);
        settle();
        QVERIFY(isShown(item("loadingOverlay")));
        QSignalSpy activation(root(), SIGNAL(activationRequested()));
        click(item("transparencyToggle"));
        QCOMPARE(m_model->studyTransparencyEnabled(), transparent);
        click(QPoint(m_view->width() / 2, m_view->height() - 30));
        QCOMPARE(activation.count(), 0);
        m_model->setLoading(false);
        settle();
        QVERIFY(!isShown(item("loadingOverlay")));
        // With the screen's own view out of the way, the click reaches the background.
        item("HomeViewSlot")->setVisible(false);
        click(QPoint(m_view->width() / 2, m_view->height() - 30));
        QCOMPARE(activation.count(), 1);
    }

    void zoomIndicatorButtonsAndDismissal()
    {
        QSignalSpy steps(root(), SIGNAL(changeScaleRequested(double)));
        QSignalSpy resets(root(), SIGNAL(resetScaleRequested()));
        QSignalSpy activation(root(), SIGNAL(activationRequested()));
        m_model->showZoom(0.5);
        settle();
        QVERIFY(isShown(item("zoomIndicator")));
        QCOMPARE(item("zoomPercent")->property("text").toString(), QStringLiteral("50%"));
        auto *zoomOut = item("zoomOutButton");
        QVERIFY(std::abs(zoomOut->opacity() - 0.35) < 1e-9);
        click(zoomOut);
        QCOMPARE(steps.count(), 0);
        click(item("zoomInButton"));
        QCOMPARE(steps.count(), 1);
        QCOMPARE(steps.at(0).at(0).toDouble(), 0.05);
        click(item("zoomResetButton"));
        QCOMPARE(resets.count(), 1);
        // The badge sits in the top-right corner, below the header.
        const QPointF topLeft = item("zoomIndicator")->mapToScene(QPointF(0, 0));
        QVERIFY(topLeft.y() >= 52 - 1);
        QVERIFY(topLeft.x() + item("zoomIndicator")->width() <= m_view->width() - 12 + 1);
        // A click beside it closes it and reaches nothing beneath.
        click(QPoint(40, m_view->height() - 40));
        QVERIFY(!m_model->property("zoomFeedback").isValid());
        QCOMPARE(activation.count(), 0);
    }

    void screensSwitchAndKeepHomeAndHistory()
    {
        const auto view = [this](const char *slot) { return item(slot)->property("item").value<QQuickItem *>(); };
        QVERIFY(isShown(item("HomeViewSlot")));
        auto *home = view("HomeViewSlot");
        QVERIFY(home);
        m_model->setScreen(AppScreen::questions);
        QVERIFY(!isShown(item("HomeViewSlot")));
        auto *current = view("QuestionViewSlot");
        QVERIFY(current);
        QVERIFY(isShown(item("QuestionViewSlot")));
        QCOMPARE(current->objectName(), QStringLiteral("questionView"));
        m_model->setScreen(AppScreen::home);
        QCOMPARE(view("HomeViewSlot"), home);
        QVERIFY(!view("QuestionViewSlot"));

        QVERIFY(!view("HistoryViewSlot"));
        m_model->setHasVisitedPracticeHistory(true);
        m_model->setScreen(AppScreen::history);
        auto *history = view("HistoryViewSlot");
        QVERIFY(history);
        QVERIFY(isShown(item("HistoryViewSlot")));
        m_model->setScreen(AppScreen::home);
        QVERIFY(!isShown(item("HistoryViewSlot")));
        m_model->setScreen(AppScreen::history);
        QCOMPARE(view("HistoryViewSlot"), history);
        // Another exam bank builds a new history screen.
        QPointer<QQuickItem> oldHistory = history;
        m_model->selectBank(QStringLiteral("bank-2"));
        QTRY_VERIFY(oldHistory.isNull());
        QVERIFY(view("HistoryViewSlot"));

        m_model->setScreen(AppScreen::login);
        QVERIFY(isShown(item("LoginViewSlot")));
        QVERIFY(!view("HomeViewSlot"));
        QVERIFY(!view("HistoryViewSlot"));
    }

    // Each screen shows in the slot of its row, and nothing else shows.
    void everyScreenHasItsSlot_data()
    {
        QTest::addColumn<int>("screen");
        QTest::addColumn<QString>("slot");
        QTest::newRow("home") << int(AppScreen::home) << "HomeViewSlot";
        QTest::newRow("report") << int(AppScreen::report) << "ReportViewSlot";
        QTest::newRow("analysis") << int(AppScreen::analysis) << "AnalysisViewSlot";
        QTest::newRow("collections") << int(AppScreen::collections) << "CollectionsViewSlot";
    }
    void everyScreenHasItsSlot()
    {
        QFETCH(int, screen);
        QFETCH(QString, slot);
        m_model->setScreen(screen);
        const QStringList holders{QStringLiteral("LoginViewSlot"), QStringLiteral("HomeViewSlot"),
                                QStringLiteral("PurchaseViewSlot"), QStringLiteral("QuestionViewSlot"),
                                QStringLiteral("ReportViewSlot"), QStringLiteral("AnalysisViewSlot"),
                                QStringLiteral("CollectionsViewSlot"), QStringLiteral("HistoryViewSlot")};
        for (const QString &name : holders) {
            QQuickItem *holder = item(name.toLatin1().constData());
            QVERIFY2(holder, qPrintable(name));
            QCOMPARE(isShown(holder), name == slot);
        }
        QVERIFY(item(slot.toLatin1().constData())->property("item").value<QQuickItem *>());
    }

    void gripResizesWithOnePauseEachDrag()
    {
        m_model->setStudyTransparencyEnabled(true);
        settle();
        auto *grip = item("resizeArea");
        QVERIFY(isShown(grip));
        QSignalSpy began(root(), SIGNAL(interactionBegan(int)));
        QSignalSpy ended(root(), SIGNAL(interactionEnded(int)));
        m_view->setMinimumSize(QSize(450, 600));
        const QSize before = m_view->size();
        const QPoint start = centreOf(grip);
        QTest::mousePress(m_view.get(), Qt::LeftButton, {}, start);
        QTest::mouseMove(m_view.get(), start + QPoint(30, 40));
        QTest::mouseRelease(m_view.get(), Qt::LeftButton, {}, start + QPoint(30, 40));
        QCOMPARE(began.count(), 1);
        QCOMPARE(ended.count(), 1);
        QCOMPARE(began.at(0).at(0).toInt(), int(SuspensionReason::windowResizing));
        QTRY_COMPARE(m_view->size(), before + QSize(30, 40));

        m_model->setProperty("isWindowMaximized", true);
        QVERIFY(!isShown(item("resizeGrip")));
    }

    void transparentLookLetsTheDesktopThrough()
    {
        const QPoint page(m_view->width() / 2, m_view->height() - 60);
        const QImage normal = m_view->grabWindow();
        QVERIFY(!normal.isNull());
        if (qEnvironmentVariableIsSet("VUZO_SAVE_GRABS"))
            normal.save(qEnvironmentVariable("VUZO_SAVE_GRABS") + QStringLiteral("/normal.png"));
        QCOMPARE(normal.pixelColor(page).rgb(), Theme::appBackground().rgb());
        // The software scene graph of a display-less run draws into a window
        // without alpha; the run under Xvfb checks what the desktop gets.
        if (!normal.hasAlphaChannel())
            QSKIP("this window has no alpha channel");
        QCOMPARE(qAlpha(normal.pixel(page)), 255);
        // The rounded corner lets the desktop through in both looks.
        QCOMPARE(qAlpha(normal.pixel(1, 1)), 0);

        m_model->setStudyTransparencyEnabled(true);
        settle();
        const QImage transparent = m_view->grabWindow();
        QCOMPARE(qAlpha(transparent.pixel(page)), 0);
        // Maximized: square corners.
        m_model->setProperty("isWindowMaximized", true);
        m_model->setStudyTransparencyEnabled(false);
        settle();
        QCOMPARE(qAlpha(m_view->grabWindow().pixel(1, 1)), 255);
    }

    // All four corners are cut round, whatever is drawn under them: the
    // login screen's opaque form pane under the bottom-right one included.
    void everyCornerLetsTheDesktopThrough_data()
    {
        QTest::addColumn<int>("screen");
        QTest::newRow("login") << int(AppScreen::login);
        QTest::newRow("home") << int(AppScreen::home);
    }
    void everyCornerLetsTheDesktopThrough()
    {
        QFETCH(int, screen);
        m_model->setScreen(screen);
        settle();
        const QImage picture = m_view->grabWindow();
        QVERIFY(!picture.isNull());
        if (!picture.hasAlphaChannel())
            QSKIP("this window has no alpha channel");
        const int right = picture.width() - 1;
        const int bottom = picture.height() - 1;
        // Corner pixels, and pixels well inside the 18-pt arcs.
        const QList<QPoint> corners{{0, 0}, {right, 0}, {0, bottom}, {right, bottom}};
        const QList<QPoint> inside{{8, 8}, {right - 8, 8}, {8, bottom - 8}, {right - 8, bottom - 8}};
        for (qsizetype i = 0; i < corners.size(); ++i) {
            QVERIFY2(qAlpha(picture.pixel(corners[i])) == 0, qPrintable(QStringLiteral("corner %1").arg(i)));
            QVERIFY2(qAlpha(picture.pixel(inside[i])) == 255, qPrintable(QStringLiteral("inside %1").arg(i)));
        }
    }

    void dragStripsMoveTheWindowThroughThePanel()
    {
        FakePanel panel;
        root()->setProperty("panel", QVariant::fromValue<QObject *>(&panel));
        auto *strip = item("headerDragStrip");
        QVERIFY(strip->width() > 20);
        const QPoint start = centreOf(strip);
        QTest::mousePress(m_view.get(), Qt::LeftButton, {}, start);
        QTest::mouseMove(m_view.get(), start + QPoint(10, 5));
        QTest::mouseRelease(m_view.get(), Qt::LeftButton, {}, start + QPoint(10, 5));
        QCOMPARE(panel.calls, (QStringList{QStringLiteral("begin"), QStringLiteral("drag"), QStringLiteral("end")}));

        // The second press of a double click does not move the window.
        panel.calls.clear();
        QTest::mouseDClick(m_view.get(), Qt::LeftButton, {}, start);
        QCOMPARE(panel.calls.count(QStringLiteral("begin")), 1);

        // Nor does any press while the panel cannot move (maximized).
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
        panel.calls.clear();
        panel.movable = false;
        QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, start);
        QVERIFY(panel.calls.isEmpty());

        // The phone number moves it too; the slider does not.
        panel.movable = true;
        QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, centreOf(item("maskedMobile")));
        QCOMPARE(panel.calls, (QStringList{QStringLiteral("begin"), QStringLiteral("end")}));
        QTest::qWait(QGuiApplication::styleHints()->mouseDoubleClickInterval() + 50);
        panel.calls.clear();
        QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, centreOf(item("appearanceSlider")));
        QVERIFY(panel.calls.isEmpty());
    }

    void pdfExportCoversEverything()
    {
        QSignalSpy activation(root(), SIGNAL(activationRequested()));
        m_model->setPdfExportProgress(QStringLiteral("正在导出 PDF…"));
        m_model->setIsExportingPDF(true);
        QVERIFY(isShown(item("exportProgress")));
        QCOMPARE(item("exportProgressText")->property("text").toString(), QStringLiteral("正在导出 PDF…"));
        click(item("transparencyToggle"));
        click(QPoint(m_view->width() / 2, m_view->height() - 30));
        QVERIFY(!m_model->studyTransparencyEnabled());
        QCOMPARE(activation.count(), 0);
    }

    // The export card turns the platform's regular indicator, the one a
    // spinner is when nothing sets its size, not a smaller one.
    void pdfExportShowsTheRegularIndicator()
    {
        m_model->setPdfExportProgress(QStringLiteral("正在导出 PDF…"));
        m_model->setIsExportingPDF(true);
        QQuickItem *spinner = item("exportSpinner");
        QVERIFY(isShown(spinner));
        QQmlComponent component(m_view->engine());
        component.setData("import QtQuick\nimport Vuzo\nActivitySpinner {}",
                          QUrl(QStringLiteral("qrc:/Vuzo/RegularSpinnerTest.qml")));
        std::unique_ptr<QObject> regular(component.create());
        QVERIFY2(regular, qPrintable(component.errorString()));
        const QSizeF regularSize(regular->property("implicitWidth").toReal(), regular->property("implicitHeight").toReal());
        QCOMPARE(QSizeF(spinner->width(), spinner->height()), regularSize);
    }
};

QTEST_MAIN(TestRootView)
#include "tst_rootview.moc"
