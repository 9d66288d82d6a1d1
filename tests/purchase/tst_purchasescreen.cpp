#include "AppModelTestSupport.h"
#include "ManualSleeper.h"
#include "PurchaseScreenController.h"

#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString vipPath = QStringLiteral("/user/getUserVipExpireTimeList");
const QString bankWithMembership = QStringLiteral("101"); // valid for 30 days in the fixtures
const QString bankWithout = QStringLiteral("301");

} // namespace

class TestPurchaseScreen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppModelEnvironment> m_env;
    ManualSleeper m_sleeper;

    // A signed-in model on the purchase page for the given bank.
    AppModel &openPurchasePage(const QString &bankId, bool fetchFirst = false)
    {
        m_env->storeToken();
        m_env->defaults->setValue(AppModel::examBankKey, bankId);
        AppModel &model = m_env->makeModel();
        model.setScreen(AppScreen::home);
        if (fetchFirst)
            QCoro::waitFor(model.fetchVIPStatus());
        model.openPurchasePage();
        m_env->service.clearLog();
        return model;
    }

    std::unique_ptr<PurchaseScreenController> makeScreen(AppModel &model)
    {
        auto screen = std::make_unique<PurchaseScreenController>();
        screen->setModel(&model);
        screen->setSleeper(&m_sleeper);
        screen->start();
        return screen;
    }

    // Moves time on and lets the fetches it started reach the fake and come back.
    void advance(qint64 ms)
    {
        m_sleeper.advance(ms);
        QTest::qWait(50);
    }

    // The poll's next round: its sleep begins only once the last fetch came
    // back, and a fetch counts as soon as the fake receives it, so time moves
    // on only once the loop sleeps again (else the wake-up would be missed).
    void nextPoll()
    {
        QTRY_COMPARE(m_sleeper.pendingCount(), 1);
        advance(5'000);
    }

    [[nodiscard]] int vipFetches() const { return m_env->service.sendCount(vipPath); }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<AppModelEnvironment>();
    }

    void cleanup()
    {
        m_sleeper.advance(3'600'000);
        QTest::qWait(50);
        m_env.reset();
    }

    // Without a payment: no card, and the first fetch 5 s after the page shows.
    void pollFetchesEveryFiveSeconds()
    {
        AppModel &model = openPurchasePage(bankWithout);
        QVERIFY(!model.hadMembershipWhenPurchaseOpened());
        auto screen = makeScreen(model);
        QVERIFY(!screen->showSuccessToast());
        QCOMPARE(screen->returnSeconds(), 3);

        advance(4'999);
        QCOMPARE(vipFetches(), 0);
        m_sleeper.advance(1);
        QTRY_COMPARE(vipFetches(), 1);
        QTRY_VERIFY(model.vipStatusCache().has_value());
        nextPoll();
        QTRY_COMPARE(vipFetches(), 2);
        // The next sleep begins when the fetch has come back.
        nextPoll();
        QTRY_COMPARE(vipFetches(), 3);
        nextPoll();
        QTRY_COMPARE(vipFetches(), 4);
        QCOMPARE(model.screen(), AppScreen::purchase);
        QVERIFY(!screen->showSuccessToast());
    }

    // Once a valid membership for the bank is known, the loop goes on without fetching.
    void pollStopsFetchingOnceMembershipIsKnown()
    {
        AppModel &model = openPurchasePage(bankWithMembership);
        QVERIFY(!model.hasCurrentExamBankVIP());
        auto screen = makeScreen(model);
        advance(5'000);
        QTRY_COMPARE(vipFetches(), 1);
        QTRY_VERIFY(model.hasCurrentExamBankVIP());
        advance(30'000);
        QCOMPARE(vipFetches(), 1);
        QCOMPARE(m_sleeper.pendingCount(), 1); // still looping
    }

    void pollNeverFetchesForAMemberAtOpening()
    {
        AppModel &model = openPurchasePage(bankWithMembership, true);
        QVERIFY(model.hadMembershipWhenPurchaseOpened());
        auto screen = makeScreen(model);
        advance(60'000);
        QCOMPARE(vipFetches(), 0);
    }

    // Offline: each cycle fails silently and the next one tries again.
    void failedFetchesAreSilentAndRepeated()
    {
        m_env->service.failWithStatus(vipPath, 503);
        AppModel &model = openPurchasePage(bankWithout);
        auto screen = makeScreen(model);
        for (int cycle = 1; cycle <= 3; ++cycle) {
            nextPoll();
            QTRY_COMPARE(vipFetches(), cycle);
        }
        QTest::qWait(50);
        QCOMPARE(model.errorMessage(), std::nullopt);
        QCOMPARE(model.screen(), AppScreen::purchase);
    }

    // A payment shows the card reading 3, 2, 1, then returns home.
    void paymentCountsDownAndReturnsHome()
    {
        AppModel &model = openPurchasePage(bankWithMembership, true);
        auto screen = makeScreen(model);
        QSignalSpy shown(screen.get(), &PurchaseScreenController::showSuccessToastChanged);

        screen->paymentSucceeded();
        QVERIFY(screen->showSuccessToast());
        QCOMPARE(screen->returnSeconds(), 3);
        QCOMPARE(screen->countdownText(), QStringLiteral("3 秒后自动返回首页"));
        advance(1'000);
        QCOMPARE(screen->returnSeconds(), 2);
        // A second report changes nothing and does not restart the countdown.
        screen->paymentSucceeded();
        QCOMPARE(screen->returnSeconds(), 2);
        QCOMPARE(shown.count(), 1);
        advance(1'000);
        QCOMPARE(screen->returnSeconds(), 1);
        QCOMPARE(model.screen(), AppScreen::purchase);
        advance(999);
        QCOMPARE(model.screen(), AppScreen::purchase);
        advance(1);
        QCOMPARE(model.screen(), AppScreen::home);
        // The model refreshes the membership once after the return.
        QTRY_COMPARE(vipFetches(), 1);
        advance(10'000);
        QCOMPARE(vipFetches(), 1);
    }

    // "立即返回" hides the card at once and closes the page once; the header
    // buttons close it without touching the card; either way the countdown
    // does not close it again.
    void returnControls_data()
    {
        QTest::addColumn<bool>("returnNow");
        QTest::newRow("立即返回") << true;
        QTest::newRow("header button") << false;
    }

    void returnControls()
    {
        QFETCH(bool, returnNow);

        AppModel &model = openPurchasePage(bankWithMembership, true);
        auto screen = makeScreen(model);
        screen->paymentSucceeded();
        advance(1'500);
        if (returnNow)
            screen->returnNow();
        else
            screen->returnHome();
        QCOMPARE(screen->showSuccessToast(), !returnNow);
        QCOMPARE(model.screen(), AppScreen::home);
        QTRY_COMPARE(vipFetches(), 1);
        advance(5'000);
        QCOMPARE(vipFetches(), 1);
        QCOMPARE(model.screen(), AppScreen::home);
        QCOMPARE(m_sleeper.pendingCount(), 0);
    }

    // The model leaving the page by itself ends both tasks; the countdown
    // does not close the page.
    void modelLeavingEndsBothTasks()
    {
        AppModel &model = openPurchasePage(bankWithout);
        auto screen = makeScreen(model);
        screen->paymentSucceeded();
        advance(500);
        model.logout();
        QCOMPARE(model.screen(), AppScreen::login);
        advance(10'000);
        QCOMPARE(model.screen(), AppScreen::login);
        QCOMPARE(vipFetches(), 0);
        QCOMPARE(m_sleeper.pendingCount(), 0);
    }

    // The screen going away cancels both tasks at their next check.
    void stopEndsBothTasks_data()
    {
        QTest::addColumn<bool>("destroy");
        QTest::newRow("stopped") << false;
        QTest::newRow("destroyed") << true;
    }

    void stopEndsBothTasks()
    {
        QFETCH(bool, destroy);

        AppModel &model = openPurchasePage(bankWithout);
        auto screen = makeScreen(model);
        screen->paymentSucceeded();
        QCOMPARE(m_sleeper.pendingCount(), 2);
        if (destroy)
            screen.reset();
        else
            screen->stop();
        advance(10'000);
        QCOMPARE(m_sleeper.pendingCount(), 0);
        QCOMPARE(vipFetches(), 0);
        QCOMPARE(model.screen(), AppScreen::purchase);
        if (!destroy) {
            screen->start(); // a stopped screen does not start again
            QCOMPARE(m_sleeper.pendingCount(), 0);
        }
    }

    // One poll cycle on its own: each condition that skips the fetch.
    void pollCycleConditions_data()
    {
        QTest::addColumn<QString>("bank");
        QTest::addColumn<bool>("fetchFirst");
        QTest::addColumn<bool>("leavePage");
        QTest::addColumn<int>("fetches");

        QTest::newRow("no membership known") << bankWithout << false << false << 1;
        QTest::newRow("member at opening") << bankWithMembership << true << false << 0;
        QTest::newRow("page left") << bankWithout << false << true << 0;
    }

    void pollCycleConditions()
    {
        QFETCH(QString, bank);
        QFETCH(bool, fetchFirst);
        QFETCH(bool, leavePage);
        QFETCH(int, fetches);

        AppModel &model = openPurchasePage(bank, fetchFirst);
        if (leavePage)
            model.setScreen(AppScreen::home);
        PurchaseScreenController screen;
        screen.setModel(&model);
        QCoro::waitFor(screen.pollMembershipOnce());
        QCOMPARE(vipFetches(), fetches);
    }
};

QTEST_MAIN(TestPurchaseScreen)
#include "tst_purchasescreen.moc"
