#include "ShellFakes.h"
#include "windowing/HoverVisibilityController.h"

#include <QTest>

namespace {

// The panel 100, 100, 800 x 600 with a poll timer, pointer and clock under
// the test's control.
struct Fixture
{
    Fixture()
    {
        panel = std::make_shared<FakePanel>();
        panel->m_frame = {100, 100, 800, 600};
        HoverVisibilityController::Environment environment;
        environment.pointer = &pointer;
        environment.windows = &windows;
        environment.clock = &clock;
        environment.returnWatch = &returnWatch;
        auto ownedTimer = std::make_unique<FakeTimer>();
        timer = ownedTimer.get();
        environment.timer = std::move(ownedTimer);
        controller = std::make_unique<HoverVisibilityController>(
            panel, std::make_unique<WindowGeometryManager>(panel, panel->m_frame, 6.0), HoverSettings{},
            std::move(environment));
    }

    // One poll 25 ms after the previous one, with the pointer at p.
    void tickAt(const QPointF &p)
    {
        pointer.point = p;
        clock.advance(25);
        timer->fire();
    }

    std::shared_ptr<FakePanel> panel;
    FakePointer pointer;
    FakeWindows windows;
    FakeReturnWatch returnWatch;
    ManualClock clock{1'000'000};
    FakeTimer *timer = nullptr;
    std::unique_ptr<HoverVisibilityController> controller;
};

const QPointF inside(500, 400);
const QPointF threeRight(903, 400); // 3 px beyond the right edge (x 900 is outside)
const QPointF tenRight(910, 400);

} // namespace

class TestHoverController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsVisibleWithoutTimer();
    void marginKeepsThePanel_data();
    void marginKeepsThePanel();
    void hidesAfterDelayAndRemembersFrame();
    void shortExcursionCancelsHide();
    void showsWhenPointerReturns_data();
    void showsWhenPointerReturns();
    void otherWindowOfTheProgramBlocks();
    void dragPausesAndRecoversWhenButtonUp();
    void exportPauseEndsWithTick();
    void pausesAreHeldByReason_data();
    void pausesAreHeldByReason();
    void pauseWhileHiddenKeepsHidden();
    void disableWhileHiddenShows();
    void manualHideAndShow();
    void manualShowWithAutoHideOff();
    void disableWhileManuallyHidden();
    void minimisedPanel();
    void unknownPointerNeverHides();
    void pointerOverUnseenWindowHides();
    void returnWatchCoversAutoHiddenPanel();
    void clockSetBackRestartsCountdown();
    void repeatedCallsChangeNothing();
};

void TestHoverController::startsVisibleWithoutTimer()
{
    Fixture f;
    QCOMPARE(f.controller->state(), HoverWindowState::visible);
    QVERIFY(!f.controller->isPolling());
    QVERIFY(!f.controller->isEnabled());
    f.controller->setEnabled(true);
    QVERIFY(f.controller->isPolling());
    QCOMPARE(f.timer->interval, 25);
}

void TestHoverController::marginKeepsThePanel_data()
{
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<bool>("hidden");
    QTest::newRow("3 px right") << threeRight << false;
    QTest::newRow("3 px above") << QPointF(500, 97) << false;
    QTest::newRow("6 px left is inside the margin") << QPointF(94, 400) << false;
    QTest::newRow("6 px right is outside (half-open)") << QPointF(906, 400) << true;
    QTest::newRow("10 px right") << tenRight << true;
}

void TestHoverController::marginKeepsThePanel()
{
    QFETCH(QPointF, pointer);
    QFETCH(bool, hidden);
    Fixture f;
    f.controller->setEnabled(true);
    for (int i = 0; i < 40; ++i) // one second
        f.tickAt(pointer);
    QCOMPARE(f.controller->state(), hidden ? HoverWindowState::hidden : HoverWindowState::visible);
    QCOMPARE(f.panel->shown, !hidden);
}

void TestHoverController::hidesAfterDelayAndRemembersFrame()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.panel->m_frame = {150, 120, 800, 600}; // moved since the last refresh
    f.tickAt(QPointF(960, 400)); // first sight outside: countdown starts
    QVERIFY(f.controller->hideCandidateSince().has_value());
    f.tickAt(QPointF(960, 400)); // 25 ms
    QVERIFY(f.panel->shown);
    f.tickAt(QPointF(960, 400)); // 50 ms: hidden
    QVERIFY(!f.panel->shown);
    QCOMPARE(f.controller->state(), HoverWindowState::hidden);
    QVERIFY(f.panel->ignoresMouse);
    QVERIFY(!f.controller->hideCandidateSince().has_value());
    QCOMPARE(f.controller->geometry().targetFrame(), QRectF(150, 120, 800, 600));
}

void TestHoverController::shortExcursionCancelsHide()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.tickAt(tenRight);
    f.clock.advance(5);
    f.tickAt(tenRight); // 30 ms outside
    f.tickAt(inside);
    QVERIFY(!f.controller->hideCandidateSince().has_value());
    f.tickAt(tenRight);
    f.tickAt(tenRight);
    QVERIFY(f.panel->shown); // the countdown started again from zero
    f.tickAt(tenRight);
    QVERIFY(!f.panel->shown);
}

void TestHoverController::showsWhenPointerReturns_data()
{
    QTest::addColumn<QPointF>("pointer");
    QTest::addColumn<bool>("shown");
    QTest::newRow("inside the remembered frame") << inside << true;
    QTest::newRow("on its left edge") << QPointF(100, 400) << true;
    QTest::newRow("3 px outside: no margin for showing") << threeRight << false;
}

void TestHoverController::showsWhenPointerReturns()
{
    QFETCH(QPointF, pointer);
    QFETCH(bool, shown);
    Fixture f;
    f.controller->setEnabled(true);
    for (int i = 0; i < 3; ++i)
        f.tickAt(tenRight);
    QVERIFY(!f.panel->shown);
    f.panel->m_frame = {0, 0, 10, 10}; // whatever the desktop did meanwhile
    f.tickAt(pointer);
    QCOMPARE(f.panel->shown, shown);
    if (shown) {
        QCOMPARE(f.panel->m_frame, QRectF(100, 100, 800, 600));
        QVERIFY(!f.panel->ignoresMouse);
        QVERIFY(!f.panel->activated); // the frontmost program stays frontmost
        QCOMPARE(f.controller->state(), HoverWindowState::visible);
    }
}

void TestHoverController::otherWindowOfTheProgramBlocks()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.windows.frames = {QRectF(1000, 300, 200, 200)};
    for (int i = 0; i < 10; ++i)
        f.tickAt(QPointF(1100, 400));
    QVERIFY(f.panel->shown);

    for (int i = 0; i < 3; ++i)
        f.tickAt(QPointF(1500, 400));
    QVERIFY(!f.panel->shown);
    // Over the dialog the hidden panel does not come back either, even where
    // the dialog overlaps the remembered frame.
    f.windows.frames = {QRectF(800, 300, 200, 200)};
    f.tickAt(QPointF(850, 400));
    QVERIFY(!f.panel->shown);
}

void TestHoverController::dragPausesAndRecoversWhenButtonUp()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.pointer.pressed = true;
    f.controller->beginInteraction(SuspensionReason::windowMoving);
    QCOMPARE(f.controller->state(), HoverWindowState::suspended);
    for (int i = 0; i < 10; ++i)
        f.tickAt(QPointF(2000, 2000));
    QVERIFY(f.panel->shown);

    // The end of the move is never reported; the button goes up.
    f.panel->m_frame = {300, 300, 800, 600};
    f.pointer.pressed = false;
    f.tickAt(QPointF(700, 700));
    QVERIFY(f.controller->activeSuspensionReasons().isEmpty());
    QCOMPARE(f.controller->state(), HoverWindowState::visible);
    QCOMPARE(f.controller->geometry().targetFrame(), QRectF(300, 300, 800, 600));
}

void TestHoverController::exportPauseEndsWithTick()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.controller->beginInteraction(SuspensionReason::modalPresented);
    for (int i = 0; i < 40; ++i)
        f.tickAt(tenRight);
    QVERIFY(f.panel->shown);
    QVERIFY(f.controller->activeSuspensionReasons().contains(SuspensionReason::modalPresented));

    f.clock.advance(25);
    f.controller->endInteraction(SuspensionReason::modalPresented);
    // The end ran a tick at once: the countdown has started.
    QVERIFY(f.controller->hideCandidateSince().has_value());
    QCOMPARE(f.controller->state(), HoverWindowState::visible);
    f.tickAt(tenRight);
    f.tickAt(tenRight);
    QVERIFY(!f.panel->shown);
}

void TestHoverController::pausesAreHeldByReason_data()
{
    // Reasons as their integer values; every reason begins before any ends.
    QTest::addColumn<QList<int>>("begun");
    QTest::addColumn<QList<int>>("ended");
    QTest::addColumn<QList<int>>("left"); // the reasons still holding the pause
    const int editing = int(SuspensionReason::textEditing);
    const int menu = int(SuspensionReason::menuPresented);
    const int popup = int(SuspensionReason::popupPresented);
    const int modal = int(SuspensionReason::modalPresented);
    const int drag = int(SuspensionReason::dragAndDrop);
    const int manual = int(SuspensionReason::manualPause);
    QTest::newRow("one reason begun twice, ended once") << QList<int>{editing, editing} << QList<int>{editing}
                                                        << QList<int>{};
    QTest::newRow("two reasons, one ended") << QList<int>{editing, menu} << QList<int>{editing} << QList<int>{menu};
    QTest::newRow("two reasons, both ended") << QList<int>{editing, menu} << QList<int>{menu, editing}
                                             << QList<int>{};
    QTest::newRow("a reason never begun ended") << QList<int>{popup} << QList<int>{drag} << QList<int>{popup};
    QTest::newRow("six reasons, all but one ended")
        << QList<int>{editing, menu, popup, drag, modal, manual} << QList<int>{manual, modal, drag, popup, editing}
        << QList<int>{menu};
}

void TestHoverController::pausesAreHeldByReason()
{
    QFETCH(QList<int>, begun);
    QFETCH(QList<int>, ended);
    QFETCH(QList<int>, left);
    Fixture f;
    f.controller->setEnabled(true);
    for (int reason : begun)
        f.controller->beginInteraction(SuspensionReason(reason));
    for (int reason : ended)
        f.controller->endInteraction(SuspensionReason(reason));

    QSet<SuspensionReason> expected;
    for (int reason : left)
        expected.insert(SuspensionReason(reason));
    QCOMPARE(f.controller->activeSuspensionReasons(), expected);
    QCOMPARE(f.controller->state(), left.isEmpty() ? HoverWindowState::visible : HoverWindowState::suspended);
    // The pointer leaves for a second: only a panel no reason holds goes.
    for (int i = 0; i < 40; ++i)
        f.tickAt(tenRight);
    QCOMPARE(f.panel->shown, !left.isEmpty());
}

void TestHoverController::pauseWhileHiddenKeepsHidden()
{
    Fixture f;
    f.controller->setEnabled(true);
    for (int i = 0; i < 3; ++i)
        f.tickAt(tenRight);
    QVERIFY(!f.panel->shown);
    f.controller->beginInteraction(SuspensionReason::textEditing);
    QCOMPARE(f.controller->state(), HoverWindowState::hidden);
    f.tickAt(inside);
    QVERIFY(!f.panel->shown);
    f.controller->endInteraction(SuspensionReason::textEditing);
    // The end's own tick sees the pointer inside and shows the panel.
    QVERIFY(f.panel->shown);
}

void TestHoverController::disableWhileHiddenShows()
{
    Fixture f;
    f.controller->setEnabled(true);
    for (int i = 0; i < 3; ++i)
        f.tickAt(tenRight);
    QVERIFY(!f.panel->shown);
    f.controller->beginInteraction(SuspensionReason::textEditing);
    f.controller->setEnabled(false);
    QVERIFY(f.panel->shown);
    QVERIFY(!f.panel->activated);
    QVERIFY(!f.panel->ignoresMouse);
    QCOMPARE(f.panel->m_frame, QRectF(100, 100, 800, 600));
    QVERIFY(!f.controller->isPolling());
    QVERIFY(f.controller->activeSuspensionReasons().isEmpty());
    QCOMPARE(f.controller->state(), HoverWindowState::visible);
}

void TestHoverController::manualHideAndShow()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.controller->beginInteraction(SuspensionReason::textEditing);
    f.panel->m_frame = {200, 150, 800, 600};
    f.controller->setManuallyHidden(true);
    QVERIFY(!f.controller->isPolling());
    QVERIFY(f.controller->activeSuspensionReasons().isEmpty());
    QVERIFY(!f.panel->shown);
    QVERIFY(f.panel->ignoresMouse);
    QCOMPARE(f.controller->state(), HoverWindowState::hidden);
    QCOMPARE(f.controller->geometry().targetFrame(), QRectF(200, 150, 800, 600));

    // While hidden by hand the pointer inside does nothing.
    f.controller->start();
    f.tickAt(QPointF(500, 500));
    QVERIFY(!f.panel->shown);

    f.controller->setManuallyHidden(false);
    QVERIFY(f.panel->shown);
    QVERIFY(!f.panel->ignoresMouse);
    QCOMPARE(f.panel->m_frame, QRectF(200, 150, 800, 600));
    QVERIFY(f.controller->isPolling());
}

void TestHoverController::manualShowWithAutoHideOff()
{
    Fixture f;
    f.controller->setManuallyHidden(true);
    f.controller->setManuallyHidden(false);
    QVERIFY(f.panel->shown);
    QVERIFY(!f.controller->isPolling());
    QCOMPARE(f.controller->state(), HoverWindowState::visible);
}

void TestHoverController::disableWhileManuallyHidden()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.controller->setManuallyHidden(true);
    f.controller->beginInteraction(SuspensionReason::textEditing);
    f.controller->setEnabled(false);
    // The panel stays hidden to the status item.
    QVERIFY(!f.panel->shown);
    QVERIFY(!f.controller->isPolling());
    QVERIFY(f.controller->activeSuspensionReasons().isEmpty());
}

void TestHoverController::minimisedPanel()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.panel->minimized = true;
    const int reads = f.pointer.reads;
    for (int i = 0; i < 10; ++i)
        f.tickAt(tenRight);
    QCOMPARE(f.pointer.reads, reads); // the early exit comes before any pointer read
    QCOMPARE(f.panel->orderOutCount, 0);

    f.panel->ignoresMouse = true;
    const int fronts = f.panel->orderFrontCount;
    f.controller->setEnabled(false);
    QCOMPARE(f.controller->state(), HoverWindowState::visible);
    QVERIFY(!f.panel->ignoresMouse);
    QCOMPARE(f.panel->orderFrontCount, fronts);
}

void TestHoverController::unknownPointerNeverHides()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.pointer.point.reset();
    for (int i = 0; i < 40; ++i) {
        f.clock.advance(25);
        f.timer->fire();
    }
    QVERIFY(f.panel->shown);
}

void TestHoverController::pointerOverUnseenWindowHides()
{
    // XWayland: the pointer left the panel for a native window; the server
    // still reports its last place, inside the panel.
    Fixture f;
    f.controller->setEnabled(true);
    f.pointer.point = inside;
    f.pointer.elsewhere = true;
    f.clock.advance(25);
    f.timer->fire();
    QVERIFY(f.controller->hideCandidateSince().has_value());
    f.clock.advance(25);
    f.timer->fire();
    QVERIFY(f.panel->shown);
    f.clock.advance(25);
    f.timer->fire();
    QVERIFY(!f.panel->shown);
    QCOMPARE(f.controller->state(), HoverWindowState::hidden);
    // Still elsewhere: the stale place inside the frame does not bring it back.
    for (int i = 0; i < 4; ++i) {
        f.clock.advance(25);
        f.timer->fire();
    }
    QVERIFY(!f.panel->shown);
    // Seen again over the program's watch window at the panel's place.
    f.pointer.elsewhere = false;
    f.tickAt(inside);
    QVERIFY(f.panel->shown);
}

void TestHoverController::returnWatchCoversAutoHiddenPanel()
{
    Fixture f;
    f.controller->setEnabled(true);
    QVERIFY(!f.returnWatch.region);
    for (int i = 0; i < 3; ++i)
        f.tickAt(tenRight);
    QVERIFY(!f.panel->shown);
    QCOMPARE(f.returnWatch.region, std::optional<QRectF>(QRectF(100, 100, 800, 600)));
    QVERIFY(f.controller->isWatchingForReturn());
    f.tickAt(tenRight);
    QCOMPARE(f.returnWatch.watches, 1); // kept, not made again on every poll

    // The pointer comes back: the panel comes, and the watch goes at the next
    // poll, once the panel is surely on screen under it.
    f.tickAt(inside);
    QVERIFY(f.panel->shown);
    QVERIFY(f.returnWatch.region);
    f.tickAt(inside);
    QVERIFY(!f.returnWatch.region);
    QCOMPARE(f.returnWatch.stops, 1);

    // Hidden to the status item: the pointer must not bring it back.
    for (int i = 0; i < 3; ++i)
        f.tickAt(tenRight);
    QVERIFY(f.returnWatch.region);
    f.controller->setManuallyHidden(true);
    QVERIFY(!f.returnWatch.region);
    f.controller->setManuallyHidden(false);
    QVERIFY(!f.returnWatch.region);

    // Auto-hide turned off while hidden: shown, no watch.
    for (int i = 0; i < 3; ++i)
        f.tickAt(tenRight);
    QVERIFY(f.returnWatch.region);
    f.controller->setEnabled(false);
    QVERIFY(f.panel->shown);
    QVERIFY(!f.returnWatch.region);

    // Turned on while the panel is off screen: watched at once.
    f.panel->shown = false;
    f.controller->setEnabled(true);
    QCOMPARE(f.controller->state(), HoverWindowState::hidden);
    QVERIFY(f.returnWatch.region);
    // Termination stops it.
    f.controller->stopTimer();
    QVERIFY(!f.returnWatch.region);
}

void TestHoverController::clockSetBackRestartsCountdown()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.tickAt(tenRight);
    f.clock.advance(-3'600'000);
    f.tickAt(tenRight);
    QVERIFY(f.panel->shown);
    f.tickAt(tenRight);
    f.tickAt(tenRight);
    QVERIFY(!f.panel->shown);
}

void TestHoverController::repeatedCallsChangeNothing()
{
    Fixture f;
    f.controller->setEnabled(true);
    f.controller->setEnabled(true);
    QCOMPARE(f.timer->starts, 1);
    f.controller->setManuallyHidden(false);
    QCOMPARE(f.panel->orderFrontCount, 0);
    f.controller->endInteraction(SuspensionReason::dragAndDrop); // never begun: harmless
    QCOMPARE(f.controller->state(), HoverWindowState::visible);
}

QTEST_GUILESS_MAIN(TestHoverController)
#include "tst_hovercontroller.moc"
