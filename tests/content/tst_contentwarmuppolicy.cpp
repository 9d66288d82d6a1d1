#include "ContentWarmupPolicy.h"

#include "platform/Clock.h"

#include <QSignalSpy>
#include <QTest>

// The warm-up's rules on a clock that moves only when told to: when the page
// (and with it the renderer) is held and when it is let go.
class TestContentWarmupPolicy : public QObject
{
    Q_OBJECT

    using Policy = ContentWarmupPolicy;

    ManualClock clock{1'000'000};

    void advance(Policy &policy, qint64 ms)
    {
        clock.advance(ms);
        policy.check();
    }

    // Available since now, with the engine's first page loaded and let go.
    void startEngine(Policy &policy)
    {
        policy.setAvailable(true);
        advance(policy, Policy::Durations{}.startDelayMs);
        QVERIFY(policy.holdsPage());
        policy.setPageLoaded(true);
        advance(policy, Policy::Durations{}.engineHoldMs);
        QVERIFY(!policy.holdsPage());
    }

private Q_SLOTS:
    // The engine starts once the warm-up has been available for the delay,
    // and its page goes a while after it has loaded although still
    // available; nothing warms again at rest.
    void engineStartsOnceAndItsPageGoes()
    {
        Policy policy(&clock);
        QSignalSpy released(&policy, &Policy::pageReleased);
        const Policy::Durations times;
        policy.setAvailable(true);
        QCOMPARE(policy.nextCheckInMs(), std::optional<qint64>(times.startDelayMs));
        advance(policy, times.startDelayMs - 1);
        QVERIFY(!policy.holdsPage());
        advance(policy, 1);
        QVERIFY(policy.holdsPage());

        advance(policy, 300);
        policy.setPageLoaded(true);
        QVERIFY(policy.pageLoaded());
        QCOMPARE(policy.nextCheckInMs(), std::optional<qint64>(times.engineHoldMs));
        advance(policy, times.engineHoldMs - 1);
        QVERIFY(policy.holdsPage());
        advance(policy, 1);
        QVERIFY(!policy.holdsPage());
        QVERIFY(!policy.pageLoaded());
        QCOMPARE(released.count(), 1);

        // At rest: no deadline, no page, however long.
        QCOMPARE(policy.nextCheckInMs(), std::nullopt);
        advance(policy, 3'600'000);
        QVERIFY(!policy.holdsPage());
        // Nor after a set and back: only intent warms from here on.
        policy.setAvailable(false);
        policy.setAvailable(true);
        advance(policy, 60'000);
        QVERIFY(!policy.holdsPage());
        QCOMPARE(released.count(), 1);
    }

    // Availability shorter than the delay starts nothing; a new one waits
    // the whole delay again.
    void briefAvailabilityStartsNothing()
    {
        Policy policy(&clock);
        const qint64 delay = Policy::Durations{}.startDelayMs;
        policy.setAvailable(true);
        advance(policy, delay - 100);
        policy.setAvailable(false);
        advance(policy, 200);
        QVERIFY(!policy.holdsPage());
        QCOMPARE(policy.nextCheckInMs(), std::nullopt);
        policy.setAvailable(true);
        advance(policy, delay - 1);
        QVERIFY(!policy.holdsPage());
        advance(policy, 1);
        QVERIFY(policy.holdsPage());
    }

    // Intent holds the page at once, for as long as it goes on and the hold
    // after the latest sign; then the page goes.
    void intentHoldsThePageUntilQuiet()
    {
        Policy policy(&clock);
        startEngine(policy);
        QSignalSpy released(&policy, &Policy::pageReleased);
        const Policy::Durations times;

        policy.intentShown();
        QVERIFY(policy.holdsPage());
        advance(policy, 200);
        policy.setPageLoaded(true);
        // The pointer moves on over the rows for a while.
        for (int i = 0; i < 8; ++i) {
            advance(policy, 1000);
            policy.intentShown();
        }
        QCOMPARE(policy.nextCheckInMs(), std::optional<qint64>(times.intentHoldMs));
        advance(policy, times.intentHoldMs - 1);
        QVERIFY(policy.holdsPage());
        QCOMPARE(released.count(), 0);
        advance(policy, 1);
        QVERIFY(!policy.holdsPage());
        QCOMPARE(released.count(), 1);

        // A new sign warms again at once.
        policy.intentShown();
        QVERIFY(policy.holdsPage());
    }

    // A page that loads late is still held a while after its load, so a
    // renderer that has just started is not let go at once; one that never
    // loads is let go after the load time-out.
    void lateOrMissingLoads()
    {
        Policy policy(&clock);
        startEngine(policy);
        const Policy::Durations times;

        policy.intentShown();
        advance(policy, times.intentHoldMs + 2000);
        QVERIFY(policy.holdsPage());
        policy.setPageLoaded(true);
        advance(policy, times.engineHoldMs - 1);
        QVERIFY(policy.holdsPage());
        advance(policy, 1);
        QVERIFY(!policy.holdsPage());

        policy.intentShown();
        advance(policy, times.loadTimeoutMs - 1);
        QVERIFY(policy.holdsPage());
        advance(policy, 1);
        QVERIFY(!policy.holdsPage());
    }

    // Once the question screen opens, the page is held for the hand-over
    // whatever the intent, then let go; intent shown before belonged to that
    // set and does not warm again on the way back.
    void handOverToTheQuestionScreen()
    {
        Policy policy(&clock);
        startEngine(policy);
        const Policy::Durations times;

        policy.intentShown();
        advance(policy, 150);
        policy.setPageLoaded(true);
        advance(policy, 100);
        policy.setAvailable(false);
        QVERIFY(policy.holdsPage());
        QCOMPARE(policy.nextCheckInMs(), std::optional<qint64>(times.handOverMs));
        advance(policy, times.handOverMs - 1);
        QVERIFY(policy.holdsPage());
        advance(policy, 1);
        QVERIFY(!policy.holdsPage());

        policy.setAvailable(true);
        advance(policy, 10);
        QVERIFY(!policy.holdsPage());
    }

    // Intent counts only while the warm-up is available (not on the question
    // screen, not signed out).
    void intentWhileUnavailableIsIgnored()
    {
        Policy policy(&clock);
        policy.intentShown();
        QVERIFY(!policy.holdsPage());
        startEngine(policy);
        policy.setAvailable(false);
        policy.intentShown();
        advance(policy, 10);
        QVERIFY(!policy.holdsPage());
        // A load report without a held page changes nothing.
        policy.setPageLoaded(true);
        QVERIFY(!policy.pageLoaded());
        policy.setAvailable(true);
        QVERIFY(!policy.holdsPage());
    }

    // Intent during the start delay does not wait for it.
    void intentBeforeTheEngineStarts()
    {
        Policy policy(&clock);
        policy.setAvailable(true);
        advance(policy, 100);
        policy.intentShown();
        QVERIFY(policy.holdsPage());
        policy.setPageLoaded(true);
        const Policy::Durations times;
        advance(policy, times.intentHoldMs);
        QVERIFY(!policy.holdsPage());
        // That load started the engine: no second engine warm-up.
        advance(policy, times.startDelayMs * 10);
        QVERIFY(!policy.holdsPage());
    }
};

QTEST_GUILESS_MAIN(TestContentWarmupPolicy)
#include "tst_contentwarmuppolicy.moc"
