#include "AppModelTestSupport.h"

#include "networking/APIError.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>

// Sign-in, the error handler, logging out, and membership with the purchase
// hand-off, against the fake service.

using namespace AppModelTest;

namespace {
const QString sendCodePath = QStringLiteral("/user/sendVerifyCode");
const QString loginPath = QStringLiteral("/user/loginByVerifyCode");
const QString mobile = QStringLiteral("13800138000");
} // namespace

class TestAppModelAccount : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void refusedNumbersNeverReachTheService_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("ten digits") << QStringLiteral("1380013800");
        QTest::newRow("ten digits and a letter") << QStringLiteral("1380013800x");
        QTest::newRow("ten full-width digits") << QStringLiteral("１３８００１３８００");
        QTest::newRow("superscript digit") << QStringLiteral("1380013800²");
        QTest::newRow("eleven digits with a blank") << QStringLiteral("1380013800 ");
    }

    void refusedNumbersNeverReachTheService()
    {
        QFETCH(QString, number);
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QSignalSpy loading(&model, &AppModel::isLoadingChanged);
        QCOMPARE(env.wait(model.sendVerificationCode(number)), false);
        QCOMPARE(model.errorMessage(), QStringLiteral("请输入正确的 11 位手机号"));
        env.wait(model.login(number, QStringLiteral("123456")));
        QCOMPARE(model.errorMessage(), QStringLiteral("请输入正确的手机号"));
        QCOMPARE(loading.size(), 0);
        QCOMPARE(env.service.sendCount(sendCodePath), 0);
        QCOMPARE(env.service.sendCount(loginPath), 0);
    }

    // A full-width input method's digits pass the rule; the service gets ASCII.
    void fullWidthDigitsReachTheServiceAsAscii()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        const QString typed = QStringLiteral("１３８００１３８０００");
        QCOMPARE(env.wait(model.sendVerificationCode(typed)), true);
        const auto codeRequest = env.service.lastRequest(sendCodePath);
        QVERIFY(codeRequest);
        QCOMPARE(codeRequest->json.toObject().value(QStringLiteral("mobile")).toString(), QStringLiteral("13800138000"));
        env.wait(model.login(typed, QStringLiteral("１２３４５６")));
        const auto loginRequest = env.service.lastRequest(loginPath);
        QVERIFY(loginRequest);
        QCOMPARE(loginRequest->json.toObject().value(QStringLiteral("mobile")).toString(), QStringLiteral("13800138000"));
        QVERIFY(model.token());
        QCOMPARE(model.screen(), AppScreen::home);
    }

    // The home screen's first appearance starts its chain (home data, then
    // past papers) as soon as sign-in shows it, while sign-in's own home load
    // still runs: the past papers still arrive, with no further action.
    void signInLoadsThePastPapers()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        QObject::connect(&model, &AppModel::screenChanged, &model, [&model] {
            if (model.screen() == AppScreen::home)
                model.startHomeStartUp();
        });
        model.startLogin(mobile, QStringLiteral("123456"));
        QTRY_COMPARE(model.screen(), AppScreen::home);
        QTRY_VERIFY_WITH_TIMEOUT(!model.realExams().isEmpty(), 10'000);
        QTRY_VERIFY(!model.isLoading());
        QVERIFY(!model.errorMessage());
    }

    // The stored bank is no longer listed and sign-in's home answer comes
    // before the home screen's: sign-in replaces the bank and loads its past
    // papers, while the home screen's chain, answered later, has started a
    // past-paper load of its own. Every busy share ends, so the panel is free.
    void signInWithAnUnlistedBankFreesThePanel()
    {
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("999"));
        AppModel &model = env.makeModel();
        QObject::connect(&model, &AppModel::screenChanged, &model, [&model] {
            if (model.screen() == AppScreen::home)
                model.startHomeStartUp();
        });
        env.service.holdReplies(initConfigPath);
        env.service.holdReplies(cardMenuPath);
        model.startLogin(mobile, QStringLiteral("123456"));
        QTRY_COMPARE(env.service.heldReplyCount(initConfigPath), 2); // the home screen's, then sign-in's
        env.service.holdReplies(vipPath);
        env.service.releaseReply(initConfigPath, 1);
        QTRY_COMPARE(env.service.heldReplyCount(cardMenuPath), 1); // sign-in goes on with the new bank
        env.service.releaseReplies(initConfigPath);
        QTRY_COMPARE(env.service.heldReplyCount(vipPath), 1); // the home screen's past papers
        env.service.releaseReplies(cardMenuPath);
        QTRY_COMPARE(env.service.heldReplyCount(vipPath), 2); // sign-in's past papers
        env.service.releaseReplies(vipPath);

        QTRY_VERIFY_WITH_TIMEOUT(!model.realExams().isEmpty(), 10'000);
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(model.selectedExamBank().id, QStringLiteral("101"));
        QVERIFY(!model.errorMessage());
    }

    void verificationCode()
    {
        AppModelEnvironment env;
        env.storeToken(); // not sent with the code request
        AppModel &model = env.makeModel();
        QCOMPARE(env.wait(model.sendVerificationCode(mobile)), true);
        QCOMPARE(model.noticeMessage(), QStringLiteral("验证码已发送"));
        QVERIFY(!model.isLoading());
        const auto request = env.service.lastRequest(sendCodePath);
        QVERIFY(request);
        QCOMPARE(request->json.toObject().value(QStringLiteral("mobile")).toString(), mobile);
        QVERIFY(!request->hasHeader("X-EM-Token"));

        // The service declines: no message, false.
        model.setNoticeMessage(std::nullopt);
        env.service.setData(sendCodePath, false);
        QCOMPARE(env.wait(model.sendVerificationCode(mobile)), false);
        QVERIFY(!model.noticeMessage());
        QVERIFY(!model.errorMessage());
        QVERIFY(!model.isLoading());

        // The service fails: its message.
        env.service.clearData(sendCodePath);
        env.service.failWithCode(sendCodePath, QStringLiteral("1001"), QStringLiteral("发送过于频繁"));
        QCOMPARE(env.wait(model.sendVerificationCode(mobile)), false);
        QCOMPARE(model.errorMessage(), QStringLiteral("发送过于频繁"));
        QVERIFY(!model.isLoading());
    }

    void codeChecks()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        env.wait(model.login(mobile, QStringLiteral(" \n\t ")));
        QCOMPARE(model.errorMessage(), QStringLiteral("请输入验证码"));
        QCOMPARE(env.service.sendCount(loginPath), 0);

        // The code goes out untrimmed; the fake then refuses it.
        env.wait(model.login(mobile, QStringLiteral(" 1234 ")));
        const auto request = env.service.lastRequest(loginPath);
        QVERIFY(request);
        QCOMPARE(request->json.toObject().value(QStringLiteral("verifyCode")).toString(), QStringLiteral(" 1234 "));
        QCOMPARE(model.errorMessage(), QStringLiteral("验证码错误或已过期"));
        QVERIFY(!model.isLoading());
        QCOMPARE(model.screen(), AppScreen::login);
        QVERIFY(!env.defaults->contains(AppModel::tokenKey));
        QVERIFY(!env.defaults->contains(AppModel::mobileKey));
    }

    void loginSignsInAndLoadsHome()
    {
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::tokenKey, QStringLiteral("stale")); // never sent with the login
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("102"));
        AppModel &model = env.makeModel();
        model.setScreen(AppScreen::login);
        QList<bool> loadingValues;
        connect(&model, &AppModel::isLoadingChanged, &model, [&] { loadingValues.append(model.isLoading()); });

        env.wait(model.login(mobile, FakeService::verificationCode));

        QVERIFY(!env.service.lastRequest(loginPath)->hasHeader("X-EM-Token"));
        QCOMPARE(model.noticeMessage(), QStringLiteral("登录成功"));
        QCOMPARE(model.screen(), AppScreen::home);
        QVERIFY(!model.errorMessage());
        QCOMPARE(env.defaults->string(AppModel::mobileKey), mobile);
        QCOMPARE(env.defaults->string(AppModel::lastSuccessfulLoginMobileKey), mobile);
        QVERIFY(env.defaults->string(AppModel::userIdKey).value_or(QString()).size() > 0);
        const QString token = model.token().value_or(QString());
        QVERIFY(!token.isEmpty() && token != QStringLiteral("stale"));
        // The new token is in force for the very next calls.
        QCOMPARE(env.service.lastRequest(cardMenuPath)->header("X-EM-Token"), token.toUtf8());
        QVERIFY(model.vipStatusCache());
        QVERIFY(!model.examBanks().isEmpty());
        QVERIFY(!model.menus().isEmpty());
        // Busy from the request until the home data has loaded, and only then
        // clear; the past papers are the home screen's to load.
        QVERIFY(!loadingValues.isEmpty());
        QCOMPARE(loadingValues.last(), false);
        QVERIFY(!loadingValues.mid(0, loadingValues.size() - 1).contains(false));
        QCOMPARE(env.service.sendCount(listPath), 0);
    }

    // The expired-login banner belongs to the signed-out state: signing in
    // again takes it away; a failed attempt replaces it with its own reason.
    void signingInAgainClearsTheExpiredLoginBanner()
    {
        AppModelEnvironment env;
        env.storeToken();
        AppModel &model = env.makeModel();
        env.service.failWithStatus(cardMenuPath, 401, 1);
        env.wait(model.loadHome());
        QCOMPARE(model.screen(), AppScreen::login);
        QCOMPARE(model.errorMessage(), QStringLiteral("登录已失效，请重新登录"));

        env.wait(model.login(mobile, QStringLiteral("000000")));
        QCOMPARE(model.errorMessage(), QStringLiteral("验证码错误或已过期"));
        QCOMPARE(model.screen(), AppScreen::login);

        model.setErrorMessage(QStringLiteral("登录已失效，请重新登录"));
        env.wait(model.login(mobile, FakeService::verificationCode));
        QCOMPARE(model.screen(), AppScreen::home);
        QVERIFY(!model.errorMessage());
        QCOMPARE(model.noticeMessage(), QStringLiteral("登录成功"));
    }

    void loginGoesOnWhenMembershipFails()
    {
        AppModelEnvironment env;
        env.service.failWithStatus(vipPath, 500);
        AppModel &model = env.makeModel();
        env.wait(model.login(mobile, FakeService::verificationCode));
        QCOMPARE(model.noticeMessage(), QStringLiteral("登录成功"));
        QCOMPARE(model.screen(), AppScreen::home);
        QVERIFY(!model.errorMessage());
        QVERIFY(!model.menus().isEmpty());
        QVERIFY(!model.vipStatusCache());
    }

    void loginWithoutTokenWritesNothing()
    {
        AppModelEnvironment env;
        env.service.setData(loginPath, QJsonObject{{"id", "7"}, {"mobile", mobile}, {"token", ""}});
        AppModel &model = env.makeModel();
        env.wait(model.login(mobile, FakeService::verificationCode));
        QCOMPARE(model.errorMessage(), QStringLiteral("服务器没有返回业务数据"));
        QCOMPARE(model.screen(), AppScreen::login);
        QVERIFY(!model.isLoading());
        QVERIFY(!env.defaults->contains(AppModel::tokenKey));
        QVERIFY(!env.defaults->contains(AppModel::mobileKey));
        QVERIFY(!env.defaults->contains(AppModel::userIdKey));
        QCOMPARE(env.service.sendCount(vipPath), 0);
    }

    void serviceErrorsAreRouted_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("screen");
        QTest::addColumn<QVariant>("message");
        QTest::newRow("unauthorized") << 401 << int(AppScreen::login) << QVariant(QStringLiteral("登录已失效，请重新登录"));
        QTest::newRow("membership") << 403 << int(AppScreen::purchase) << QVariant();
        QTest::newRow("upgrade demand") << 426 << int(AppScreen::purchase) << QVariant();
        QTest::newRow("server") << 500 << int(AppScreen::home) << QVariant(QStringLiteral("服务器错误（HTTP 500）"));
    }

    void serviceErrorsAreRouted()
    {
        QFETCH(int, status);
        QFETCH(int, screen);
        QFETCH(QVariant, message);
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(QStringLiteral("vip_expire_list_model"), QByteArray("{}"));
        AppModel &model = env.makeModel();
        env.service.failWithStatus(cardMenuPath, status);
        env.wait(model.loadHome());
        QCOMPARE(int(model.screen()), screen);
        QCOMPARE(model.errorMessage() ? QVariant(*model.errorMessage()) : QVariant(), message);
        QVERIFY(!model.isLoading());
        QCOMPARE(env.defaults->contains(AppModel::tokenKey), status != 401);
        QCOMPARE(env.defaults->contains(QStringLiteral("vip_expire_list_model")), status != 401);
    }

    void otherErrorsShowTheirDescription()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        AppModelTestProbe::handle(model, std::make_exception_ptr(APIError::api(QStringLiteral("9"), QString())));
        QCOMPARE(model.errorMessage(), QString()); // present, empty
        AppModelTestProbe::handle(model, std::make_exception_ptr(std::runtime_error("boom")));
        QVERIFY(model.errorMessage() && !model.errorMessage()->isEmpty());
        // A membership demand outside production leaves the screen and says why.
        model.setScreen(AppScreen::home);
        model.setApiEnvironment(APIEnvironment::test);
        model.setErrorMessage(std::nullopt);
        AppModelTestProbe::handle(model, std::make_exception_ptr(APIError::vipRequired()));
        QCOMPARE(model.screen(), AppScreen::home);
        QCOMPARE(model.noticeMessage(), QStringLiteral("请先切换到线上环境，再打开购买页"));
        QVERIFY(!model.errorMessage());
    }

    void logoutClearsExactlyTheAccount()
    {
        AppModelEnvironment env;
        env.storeToken(mobile);
        env.defaults->setValue(AppModel::userIdKey, QStringLiteral("42"));
        env.defaults->setValue(AppModel::lastSuccessfulLoginMobileKey, QStringLiteral("13900000000"));
        env.defaults->setValue(QStringLiteral("vip_expire_list_model"), QByteArray("{}"));
        env.defaults->setValue(QStringLiteral("unrelated_VIP_marker"), 1);
        env.defaults->setValue(QStringLiteral("VipOther"), QStringLiteral("x"));
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("102"));
        env.defaults->setValue(AppModel::practiceTypeKey, 2);
        env.defaults->setValue(QStringLiteral("study_transparency_enabled"), true);
        env.defaults->setValue(QStringLiteral("zevarud_mac_device_id"), QStringLiteral("DEVICE"));
        AppModel &model = env.makeModel();
        model.setNoticeMessage(QStringLiteral("kept"));
        model.setErrorMessage(QStringLiteral("cleared"));
        model.setMenus({CardMenu{}});
        model.setRealExams({RealExamSummary{QStringLiteral("1"), QStringLiteral("p"), 0}});
        model.setAnswers({{QStringLiteral("q"), QStringLiteral("A")}});
        model.setCurrentQuestionIndex(3);
        model.setHasVisitedPracticeHistory(true);

        const QStringList before = env.defaults->allKeys();
        model.logout();

        QStringList removed;
        for (const QString &key : before) {
            if (!env.defaults->contains(key))
                removed.append(key);
        }
        QStringList expected{QStringLiteral("VipOther"), AppModel::tokenKey, AppModel::mobileKey, AppModel::userIdKey,
                             QStringLiteral("unrelated_VIP_marker"), QStringLiteral("vip_expire_list_model")};
        removed.sort();
        expected.sort();
        QCOMPARE(removed, expected);
        QCOMPARE(env.defaults->string(AppModel::lastSuccessfulLoginMobileKey), mobile);
        QCOMPARE(model.screen(), AppScreen::login);
        QVERIFY(!model.errorMessage());
        QCOMPARE(model.noticeMessage(), QStringLiteral("kept"));
        QVERIFY(model.menus().isEmpty());
        QVERIFY(model.realExams().isEmpty());
        QVERIFY(model.answers().isEmpty());
        QCOMPARE(model.currentQuestionIndex(), 0);
        QVERIFY(!model.hasVisitedPracticeHistory());
        QVERIFY(!model.vipStatusCache());
        QCOMPARE(model.practiceType(), 2);
        QCOMPARE(model.selectedExamBank().id, QStringLiteral("102"));
        QVERIFY(model.studyTransparencyEnabled());
    }

    void invalidStoredMobileDoesNotReplaceTheLastOne()
    {
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::mobileKey, QStringLiteral("abc"));
        env.defaults->setValue(AppModel::lastSuccessfulLoginMobileKey, mobile);
        env.defaults->setValue(QStringLiteral("vip_x"), 1);
        AppModel &model = env.makeModel();
        model.clearAccountCaches(false);
        QCOMPARE(env.defaults->string(AppModel::lastSuccessfulLoginMobileKey), mobile);
        QVERIFY(!env.defaults->contains(AppModel::mobileKey));
        QVERIFY(env.defaults->contains(QStringLiteral("vip_x"))); // only with membership
    }

    void membershipIsFetchedAndStored()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        QVERIFY(!model.hasCurrentExamBankVIP());
        QCOMPARE(env.service.sendCount(vipPath), 0);

        env.clock.advance(1234);
        env.wait(model.fetchVIPStatus());
        QVERIFY(model.vipStatusCache());
        QCOMPARE(model.vipStatusCache()->fetchedAtMilliseconds, AppModelEnvironment::startTime + 1234);
        QVERIFY(model.hasCurrentExamBankVIP()); // bank 101 runs for 30 more days
        const auto stored = AppModel::restoreVIPStatusCache(AppModel::vipStatusCacheKey, *env.defaults);
        QVERIFY(stored);
        QCOMPARE(stored->serverCurrentTimeMilliseconds, model.vipStatusCache()->serverCurrentTimeMilliseconds);
        QCOMPARE(stored->fetchedAtMilliseconds, model.vipStatusCache()->fetchedAtMilliseconds);
        QCOMPARE(stored->userVipList, model.vipStatusCache()->userVipList);

        model.setSelectedExamBank(ExamBank{QStringLiteral("102"), QStringLiteral("b"), 1});
        QVERIFY(!model.hasCurrentExamBankVIP()); // expired three days ago
    }

    void membershipExpiringNowIsNotValid()
    {
        AppModelEnvironment env;
        AppModel &model = env.makeModel();
        const qint64 now = AppModelEnvironment::startTime;
        model.setSelectedExamBank(ExamBank{QStringLiteral("101"), QStringLiteral("b"), 1});
        AppModelTestProbe::setVipStatusCache(model, VIPStatusCache{now - 500, now - 1000, {VIPExpireItem{QStringLiteral("101"), now + 500}}});
        QVERIFY(!model.hasCurrentExamBankVIP()); // estimated server time: exactly the expiry
        env.clock.advance(-1);
        QVERIFY(model.hasCurrentExamBankVIP());
    }

    void lateMembershipRepliesAreDropped_data()
    {
        QTest::addColumn<bool>("logout");
        QTest::newRow("after a logout") << true;
        QTest::newRow("after an account change") << false;
    }

    void lateMembershipRepliesAreDropped()
    {
        QFETCH(bool, logout);
        AppModelEnvironment env;
        env.storeToken();
        AppModel &model = env.makeModel();
        env.service.holdReplies(vipPath);
        QCoro::Task<> fetch = model.fetchVIPStatus();
        QTRY_COMPARE(env.service.heldReplyCount(vipPath), 1);
        if (logout)
            model.logout();
        else
            env.storeToken(QStringLiteral("13900139000"));
        env.service.releaseReplies(vipPath);
        env.wait(std::move(fetch));
        QVERIFY(!model.vipStatusCache());
        QVERIFY(!env.defaults->contains(AppModel::vipStatusCacheKey));
    }

    void purchasePageHandOff()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.wait(model.fetchVIPStatus());

        model.setApiEnvironment(APIEnvironment::test);
        model.openPurchasePage();
        QCOMPARE(model.screen(), AppScreen::home);
        QCOMPARE(model.noticeMessage(), QStringLiteral("请先切换到线上环境，再打开购买页"));
        QVERIFY(!model.hadMembershipWhenPurchaseOpened());

        model.setApiEnvironment(APIEnvironment::production);
        model.openPurchasePage();
        QCOMPARE(model.screen(), AppScreen::purchase);
        QVERIFY(!model.noticeMessage());
        QVERIFY(model.hadMembershipWhenPurchaseOpened());

        const int fetches = env.service.sendCount(vipPath);
        env.wait(model.closePurchasePage());
        QCOMPARE(model.screen(), AppScreen::home);
        QTRY_COMPARE(env.service.sendCount(vipPath), fetches + 1);
        QTRY_VERIFY(env.service.lastRequest(vipPath)->status != 0);
        QTest::qWait(50);
        QVERIFY(!model.errorMessage());

        // Closing when not on the page does nothing and refreshes nothing.
        env.wait(model.closePurchasePage());
        QTest::qWait(50);
        QCOMPARE(env.service.sendCount(vipPath), fetches + 1);
    }

    void refreshAfterPurchaseFailures_data()
    {
        QTest::addColumn<int>("status"); // 0: the service is gone; -1: a reply over the size cap
        QTest::addColumn<int>("screen");
        QTest::addColumn<QString>("messageStart");
        QTest::newRow("network") << 0 << int(AppScreen::home) << QStringLiteral("会员状态刷新失败，请稍后重试：");
        QTest::newRow("membership demand") << 403 << int(AppScreen::home)
                                           << QStringLiteral("会员状态刷新失败，请稍后重试：当前题库需要会员权限");
        QTest::newRow("expired login") << 401 << int(AppScreen::login) << QStringLiteral("登录已失效，请重新登录");
        // The client cut the reply off; nobody cancelled anything.
        QTest::newRow("reply over the size cap")
            << -1 << int(AppScreen::home)
            << QStringLiteral("会员状态刷新失败，请稍后重试：服务器返回的数据过大（超过 32 MB），已停止接收");
    }

    void refreshAfterPurchaseFailures()
    {
        QFETCH(int, status);
        QFETCH(int, screen);
        QFETCH(QString, messageStart);
        AppModelEnvironment env;
        env.storeToken();
        AppModel &model = env.makeModel();
        model.openPurchasePage();
        if (status > 0) {
            env.service.failWithStatus(vipPath, status);
        } else if (status < 0) {
            FakeScenario huge;
            huge.rawBody = QByteArray(APIClient::maxReplyBytes + 1, 'x');
            env.service.setScenario(vipPath, huge);
        } else {
            env.service.stop();
        }
        env.wait(model.closePurchasePage());
        QTRY_VERIFY_WITH_TIMEOUT(model.errorMessage().has_value(), 10000);
        QVERIFY2(model.errorMessage()->startsWith(messageStart), qPrintable(*model.errorMessage()));
        QVERIFY(model.errorMessage()->size() > messageStart.size() || status != 0);
        QCOMPARE(int(model.screen()), screen);
    }
};

QTEST_GUILESS_MAIN(TestAppModelAccount)
#include "tst_appmodel_account.moc"
