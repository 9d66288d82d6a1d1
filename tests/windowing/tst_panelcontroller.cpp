#include "ShellFakes.h"
#include "windowing/MainPanelController.h"
#include "windowing/WindowGeometryManager.h"

#include <QTest>
#include <limits>

namespace {

using Flag = KeyEventInfo::ModifierFlag;

// A 1440 x 900 screen whose visible frame is 0, 25, 1440 x 875; the panel sits
// at 100, 100 at the stored base size and zoom.
struct Fixture
{
    explicit Fixture(double storedScale = 1.0, QSizeF base = {1060, 740})
    {
        store.values.insert(WindowGeometryManager::scaleKey, storedScale);
        store.values.insert(WindowGeometryManager::widthKey, base.width());
        store.values.insert(WindowGeometryManager::heightKey, base.height());
        screens.list = {ScreenInfo{{0, 0, 1440, 900}, {0, 25, 1440, 875}}};
        panel = std::make_shared<FakePanel>();
        panel->visibleFrame = QRectF(0, 25, 1440, 875);
        panel->m_frame = {100, 100, base.width() * storedScale, base.height() * storedScale};
        controller = std::make_unique<MainPanelController>(panel, HoverSettings{}, &model,
                                                           MainPanelController::Environment{&screens, &store});
        controller->onBeginInteraction = [this](SuspensionReason r) { events.append(QStringLiteral("begin %1").arg(int(r))); };
        controller->onEndInteraction = [this](SuspensionReason r) { events.append(QStringLiteral("end %1").arg(int(r))); };
        controller->onWindowRegionChanged = [this] { events.append(QStringLiteral("region")); };
        controller->onRequestClose = [this] { events.append(QStringLiteral("close")); };
    }

    [[nodiscard]] double storedScale() const { return store.values.value(WindowGeometryManager::scaleKey).toDouble(); }
    [[nodiscard]] QSizeF storedBase() const { return WindowGeometryManager::savedBaseSize(store); }

    MemoryStore store;
    FakeScreens screens;
    FakeShellModel model;
    std::shared_ptr<FakePanel> panel;
    std::unique_ptr<MainPanelController> controller;
    QStringList events;
};

KeyEventInfo key(int keyCode, const QString &characters, KeyEventInfo::ModifierFlags flags = {}, bool repeat = false)
{
    KeyEventInfo event;
    event.keyCode = keyCode;
    event.charactersIgnoringModifiers = characters;
    event.modifierFlags = flags;
    event.isRepeat = repeat;
    return event;
}

const QString resizeBegin = QStringLiteral("begin %1").arg(int(SuspensionReason::windowResizing));
const QString resizeEnd = QStringLiteral("end %1").arg(int(SuspensionReason::windowResizing));

} // namespace

class TestPanelController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void constructionFollowsStoreAndModel();
    void minimumSize_data();
    void minimumSize();
    void zoomRequests_data();
    void zoomRequests();
    void zoomKeepsTopLeftAndPersists();
    void sameZoomOnlyPublishesFeedback();
    void zoomShortcuts_data();
    void zoomShortcuts();
    void keyRouting();
    void exportRule();
    void liveResizeRule_data();
    void liveResizeRule();
    void shadowRule();
    void maximizeZoomRestore();
    void persistNormalWindowSize();
    void screenChanges();
    void workAreaWithoutScreen();
    void rootAndGripCallbacks();
    void missingModel();
};

void TestPanelController::constructionFollowsStoreAndModel()
{
    Fixture f(1.26, {300, 500});
    QCOMPARE(f.controller->uiScale(), 1.25);
    QCOMPARE(f.controller->baseWindowSize(), QSizeF(450, 600));
    QCOMPARE(f.panel->contentScale, 1.25);
    QCOMPARE(f.panel->minimum, QSizeF(562.5, 750));
    QVERIFY(f.panel->hasShadow);
    QVERIFY(f.panel->resizingEnabled);
    // No callback was set at construction, so no interaction was reported.
    QVERIFY(f.events.isEmpty());
}

void TestPanelController::minimumSize_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSizeF>("minimum");
    QTest::newRow("1.0") << 1.0 << QSizeF(450, 600);
    QTest::newRow("1.5") << 1.5 << QSizeF(675, 875);
}

void TestPanelController::minimumSize()
{
    QFETCH(double, zoom);
    QFETCH(QSizeF, minimum);
    Fixture f(zoom);
    QCOMPARE(f.panel->minimum, minimum);
}

void TestPanelController::zoomRequests_data()
{
    QTest::addColumn<double>("requested");
    QTest::addColumn<double>("zoom");
    QTest::newRow("1.07") << 1.07 << 1.05;
    QTest::newRow("1.08") << 1.08 << 1.1;
    QTest::newRow("1.125") << 1.125 << 1.15;
    QTest::newRow("2.0") << 2.0 << 1.5;
    QTest::newRow("0.1") << 0.1 << 0.5;
    QTest::newRow("nan") << std::nan("") << 1.0;
    QTest::newRow("+inf") << std::numeric_limits<double>::infinity() << 1.0;
    QTest::newRow("-inf") << -std::numeric_limits<double>::infinity() << 1.0;
}

void TestPanelController::zoomRequests()
{
    QFETCH(double, requested);
    QFETCH(double, zoom);
    Fixture f(0.8);
    f.controller->setScale(requested);
    QCOMPARE(f.controller->uiScale(), zoom);
    QCOMPARE(f.model.feedback, QList<double>{zoom});
    QCOMPARE(f.panel->contentScale, zoom);
    QCOMPARE(f.storedScale(), zoom);
}

void TestPanelController::zoomKeepsTopLeftAndPersists()
{
    Fixture f;
    QVERIFY(f.controller->handleScaleShortcut(key(24, QStringLiteral("="), Flag::Command)));
    QCOMPARE(f.panel->m_frame, QRectF(100, 100, 1113, 777));
    QCOMPARE(f.storedScale(), 1.05);
    QCOMPARE(f.storedBase(), QSizeF(1060, 740));
    QCOMPARE(f.panel->minimum, QSizeF(472.5, 630));
    QCOMPARE(f.events, (QStringList{resizeBegin, QStringLiteral("region"), resizeEnd}));

    // Near the bottom-right corner the fitted frame moves back into the work area.
    f.panel->m_frame = {700, 300, 1113, 777};
    f.controller->setScale(1.25);
    QCOMPARE(f.panel->m_frame, QRectF(1440 - 1325, 25, 1325, 875));
}

void TestPanelController::sameZoomOnlyPublishesFeedback()
{
    Fixture f;
    QVERIFY(f.controller->handleScaleShortcut(key(29, QStringLiteral("0"), Flag::Command)));
    QCOMPARE(f.model.feedback, QList<double>{1.0});
    QCOMPARE(f.panel->setFrameCount, 0);
    QVERIFY(f.store.writes.isEmpty());
    QVERIFY(f.events.isEmpty());

    Fixture top(1.5);
    const QRectF frame = top.panel->m_frame;
    QVERIFY(top.controller->handleScaleShortcut(key(24, QStringLiteral("="), Flag::Command)));
    QCOMPARE(top.model.feedback, QList<double>{1.5});
    QCOMPARE(top.panel->m_frame, frame);
}

void TestPanelController::zoomShortcuts_data()
{
    QTest::addColumn<int>("keyCode");
    QTest::addColumn<QString>("characters");
    QTest::addColumn<int>("flags");
    QTest::addColumn<bool>("consumed");
    QTest::addColumn<double>("zoom");
    const int command = int(Flag::Command);
    QTest::newRow("Ctrl+=") << 24 << "=" << command << true << 1.05;
    QTest::newRow("Ctrl+Shift+= gives +") << 24 << "+" << (command | int(Flag::Shift)) << true << 1.05;
    QTest::newRow("Ctrl+-") << 27 << "-" << command << true << 0.95;
    QTest::newRow("Ctrl+0") << 29 << "0" << command << true << 1.0;
    QTest::newRow("keypad plus") << 69 << "+" << (command | int(Flag::Function)) << true << 1.05;
    QTest::newRow("keypad minus by key code") << 78 << "" << command << true << 0.95;
    QTest::newRow("Ctrl+Alt+= is no zoom") << 24 << "=" << (command | int(Flag::Option)) << false << 1.0;
    QTest::newRow("Super+Ctrl+0 is no zoom") << 29 << "0" << (command | int(Flag::Control)) << false << 1.0;
    QTest::newRow("Ctrl+A") << 0 << "a" << command << false << 1.0;
}

void TestPanelController::zoomShortcuts()
{
    QFETCH(int, keyCode);
    QFETCH(QString, characters);
    QFETCH(int, flags);
    QFETCH(bool, consumed);
    QFETCH(double, zoom);
    Fixture f;
    const KeyEventInfo event = key(keyCode, characters, KeyEventInfo::ModifierFlags(flags));
    QCOMPARE(f.controller->routeKeyDown(event), consumed);
    QCOMPARE(f.controller->uiScale(), zoom);
}

void TestPanelController::keyRouting()
{
    Fixture f;
    // Holding a zoom key zooms on every repeat.
    QVERIFY(f.controller->routeKeyDown(key(24, QStringLiteral("="), Flag::Command, true)));
    QVERIFY(f.controller->routeKeyDown(key(24, QStringLiteral("="), Flag::Command, true)));
    QCOMPARE(f.controller->uiScale(), 1.1);

    // An answer key acts once: its repeats are not consumed and reach nothing.
    QVERIFY(f.controller->routeKeyDown(key(6, QStringLiteral("z"))));
    QVERIFY(!f.controller->routeKeyDown(key(6, QStringLiteral("z"), {}, true)));
    QCOMPARE(f.model.navigationKeys, QList<quint16>{6});
    f.model.navigationKeys.clear();

    // Arrows go to the question navigation, but not with Ctrl held.
    QVERIFY(f.controller->routeKeyDown(key(123, QString(QChar(0xF702)), Flag::Function)));
    QVERIFY(!f.controller->routeKeyDown(key(124, QString(QChar(0xF703)), Flag::Function | Flag::Command)));
    QCOMPARE(f.model.navigationKeys, QList<quint16>{123});

    // Keys the navigation leaves go to the answer shortcuts.
    f.model.navigationConsumes = false;
    QVERIFY(f.controller->routeKeyDown(key(7, QStringLiteral("x"))));
    QCOMPARE(f.model.shortcutKeys, QStringList{QStringLiteral("x")});
    QVERIFY(!f.controller->routeKeyDown(key(7, QStringLiteral("x"), Flag::Option)));
}

void TestPanelController::exportRule()
{
    Fixture f;
    f.model.setExporting(true);
    QVERIFY(!f.panel->resizingEnabled);
    QCOMPARE(f.events, QStringList{QStringLiteral("begin %1").arg(int(SuspensionReason::modalPresented))});
    // A repeated value is not delivered again.
    f.model.setExporting(true);
    QCOMPARE(f.events.size(), 1);

    // Zoom and maximize are dropped; the zoom key still counts as consumed.
    QVERIFY(f.controller->routeKeyDown(key(24, QStringLiteral("="), Flag::Command)));
    QCOMPARE(f.controller->uiScale(), 1.0);
    QVERIFY(f.model.feedback.isEmpty());
    f.controller->toggleMaximize();
    QVERIFY(!f.model.maximized);

    f.model.setExporting(false);
    QVERIFY(f.panel->resizingEnabled);
    QCOMPARE(f.events.last(), QStringLiteral("end %1").arg(int(SuspensionReason::modalPresented)));
}

void TestPanelController::liveResizeRule_data()
{
    QTest::addColumn<bool>("maximized");
    QTest::addColumn<bool>("exporting");
    QTest::addColumn<bool>("allowed");
    QTest::newRow("normal") << false << false << true;
    QTest::newRow("maximized") << true << false << false;
    QTest::newRow("exporting") << false << true << false;
}

void TestPanelController::liveResizeRule()
{
    QFETCH(bool, maximized);
    QFETCH(bool, exporting);
    QFETCH(bool, allowed);
    Fixture f;
    f.model.maximized = maximized;
    f.model.setExporting(exporting);
    f.events.clear();
    const QSizeF current(1060, 740);
    const QSizeF proposed(900, 700);
    f.controller->windowWillStartLiveResize();
    QCOMPARE(f.events, QStringList{resizeBegin});
    QCOMPARE(f.controller->windowWillResize(current, proposed), allowed ? proposed : current);
    f.panel->m_frame.setSize(allowed ? proposed : current);
    f.controller->windowDidEndLiveResize();
    QCOMPARE(f.events.last(), resizeEnd);
    // Saved at the end as a grip resize saves, never while maximized.
    QCOMPARE(f.storedBase(), maximized || !allowed ? QSizeF(1060, 740) : proposed);
    // Outside a live resize nothing is held back.
    QCOMPARE(f.controller->windowWillResize(current, proposed), proposed);
}

void TestPanelController::shadowRule()
{
    Fixture f;
    QVERIFY(f.panel->hasShadow);
    f.model.setTransparency(true);
    QVERIFY(!f.panel->hasShadow);
    f.model.setScreen(AppScreen::login);
    QVERIFY(f.panel->hasShadow);
    f.model.setScreen(AppScreen::purchase);
    QVERIFY(f.panel->hasShadow);
    f.model.setScreen(AppScreen::questions);
    QVERIFY(!f.panel->hasShadow);
    f.model.setTransparency(false);
    QVERIFY(f.panel->hasShadow);
}

void TestPanelController::maximizeZoomRestore()
{
    Fixture f;
    f.controller->toggleMaximize();
    QVERIFY(f.model.maximized);
    QVERIFY(!f.panel->movable);
    QVERIFY(!f.panel->resizingEnabled);
    QCOMPARE(f.panel->m_frame, QRectF(0, 25, 1440, 875));
    QCOMPARE(f.controller->restoredFrame(), QRectF(100, 100, 1060, 740));

    // Zooming while maximized keeps the full frame and updates the one to restore.
    f.controller->setScale(1.1);
    QCOMPARE(f.panel->m_frame, QRectF(0, 25, 1440, 875));
    QCOMPARE(*f.controller->restoredFrame(), QRectF(100, 86, 1166, 814)); // fitted into the work area
    QCOMPARE(f.storedScale(), 1.1);

    // A resize that ends while maximized stores nothing.
    f.store.writes.clear();
    f.controller->windowDidEndLiveResize();
    f.controller->gripDragEnded();
    QVERIFY(f.store.writes.isEmpty());

    f.events.clear();
    f.controller->toggleMaximize();
    QVERIFY(!f.model.maximized);
    QVERIFY(f.panel->movable);
    QVERIFY(f.panel->resizingEnabled);
    QCOMPARE(f.panel->m_frame, QRectF(100, 86, 1166, 814));
    QVERIFY(!f.controller->restoredFrame());
    QCOMPARE(f.events, (QStringList{resizeBegin, QStringLiteral("region"), resizeEnd}));

    // Said maximized without a frame to restore: maximizes.
    f.model.maximized = true;
    f.controller->toggleMaximize();
    QCOMPARE(f.panel->m_frame, QRectF(0, 25, 1440, 875));
    QVERIFY(f.controller->restoredFrame());
}

void TestPanelController::persistNormalWindowSize()
{
    Fixture f(1.5);
    f.panel->visibleFrame = QRectF(0, 0, 1440, 800);
    f.controller->applyMinimumSizeRule();
    QCOMPARE(f.panel->minimum, QSizeF(675, 800));
    f.panel->m_frame = {0, 0, 900, 800};
    f.controller->persistNormalWindowSize();
    QCOMPARE(f.controller->baseWindowSize(), QSizeF(600, 600));
    QCOMPARE(f.storedBase(), QSizeF(600, 600));
    f.controller->setScale(1.0);
    QCOMPARE(f.panel->m_frame, QRectF(0, 0, 600, 600));
}

void TestPanelController::screenChanges()
{
    Fixture f;
    f.panel->m_frame = {1000, 600, 1060, 740};
    f.controller->screenParametersChanged();
    QCOMPARE(f.panel->m_frame, QRectF(380, 160, 1060, 740));
    QCOMPARE(f.events, QStringList{QStringLiteral("region")});

    f.controller->toggleMaximize();
    f.panel->visibleFrame = QRectF(0, 0, 1920, 1050);
    f.controller->screenParametersChanged();
    QCOMPARE(f.panel->m_frame, QRectF(0, 0, 1920, 1050));
    QCOMPARE(*f.controller->restoredFrame(), QRectF(380, 160, 1060, 740)); // not refitted

    f.panel->visibleFrame = QRectF(1920, 0, 1280, 1000);
    f.controller->windowDidChangeScreen();
    QCOMPARE(f.panel->m_frame, QRectF(1920, 0, 1280, 1000));

    f.controller->stop();
    f.panel->visibleFrame = QRectF(0, 0, 800, 600);
    f.controller->screenParametersChanged();
    QCOMPARE(f.panel->m_frame, QRectF(1920, 0, 1280, 1000));
}

void TestPanelController::workAreaWithoutScreen()
{
    Fixture f;
    f.panel->visibleFrame.reset();
    f.panel->m_frame = {1500, 100, 800, 600}; // centre 1900, 400
    f.screens.list = {ScreenInfo{{0, 0, 1440, 900}, {0, 25, 1440, 875}},
                      ScreenInfo{{1440, 0, 1920, 1080}, {1440, 0, 1920, 1040}}};
    QCOMPARE(f.controller->currentWorkArea(), QRectF(1440, 0, 1920, 1040));
    // Equal distances keep the earlier screen.
    f.screens.list = {ScreenInfo{{0, 0, 1000, 800}, {0, 0, 1000, 780}},
                      ScreenInfo{{2800, 0, 1000, 800}, {2800, 0, 1000, 780}}};
    QCOMPARE(f.controller->currentWorkArea(), QRectF(0, 0, 1000, 780));
    f.screens.list.clear();
    QCOMPARE(f.controller->currentWorkArea(), QRectF(1500, 100, 800, 600));
    f.controller->applyMinimumSizeRule();
    QCOMPARE(f.panel->minimum, QSizeF(450, 600));
}

void TestPanelController::rootAndGripCallbacks()
{
    Fixture f;
    f.panel->m_frame = {100, 100, 1200, 800};
    f.controller->rootBeginInteraction(SuspensionReason::windowResizing);
    f.controller->rootEndInteraction(SuspensionReason::windowResizing);
    QCOMPARE(f.storedBase(), QSizeF(1200, 800));
    QCOMPARE(f.events, (QStringList{resizeBegin, QStringLiteral("region"), resizeEnd}));

    f.events.clear();
    f.controller->rootBeginInteraction(SuspensionReason::textEditing);
    f.controller->rootEndInteraction(SuspensionReason::textEditing);
    QCOMPARE(f.events.size(), 2);

    f.events.clear();
    f.panel->m_frame = {100, 100, 1000, 700};
    f.controller->gripDragBegan();
    f.controller->gripDragEnded();
    QCOMPARE(f.storedBase(), QSizeF(1000, 700));
    QCOMPARE(f.events, (QStringList{resizeBegin, QStringLiteral("region"), resizeEnd}));

    f.events.clear();
    f.controller->windowWillMove();
    f.controller->windowDidMove();
    const QString moving = QString::number(int(SuspensionReason::windowMoving));
    QCOMPARE(f.events, (QStringList{QStringLiteral("begin ") + moving, QStringLiteral("region"),
                                    QStringLiteral("end ") + moving}));

    f.events.clear();
    f.controller->close();
    QCOMPARE(f.events, QStringList{QStringLiteral("close")});
    f.controller->minimize();
    QVERIFY(f.panel->minimized);
    f.controller->changeScale(-0.05);
    QCOMPARE(f.controller->uiScale(), 0.95);
    f.controller->resetScale();
    QCOMPARE(f.controller->uiScale(), 1.0);
}

void TestPanelController::missingModel()
{
    MemoryStore store;
    FakeScreens screens;
    auto panel = std::make_shared<FakePanel>();
    panel->visibleFrame = QRectF(0, 0, 1440, 900);
    auto model = std::make_unique<FakeShellModel>();
    MainPanelController controller(panel, HoverSettings{}, model.get(), {&screens, &store});
    model.reset();
    controller.setScale(1.2);
    QCOMPARE(controller.uiScale(), 1.2);
    controller.toggleMaximize();
    QVERIFY(panel->movable);
    QVERIFY(!controller.routeKeyDown(key(6, QStringLiteral("z"))));
    QVERIFY(controller.routeKeyDown(key(29, QStringLiteral("0"), Flag::Command)));
}

QTEST_GUILESS_MAIN(TestPanelController)
#include "tst_panelcontroller.moc"
