#include "AccountSites.h"
#include "AppModelTestSupport.h"
#include "LoginController.h"
#include "ManualSleeper.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QString sendCodePath = QStringLiteral("/user/sendVerifyCode");
const QString loginPath = QStringLiteral("/user/loginByVerifyCode");

// Takes the addresses handed to the default browser.
class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    QList<QUrl> opened;
public Q_SLOTS:
    void open(const QUrl &url) { opened.append(url); }
};

} // namespace

class TestLoginController : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppModelEnvironment> m_env;
    ManualSleeper m_sleeper;

    std::unique_ptr<LoginController> makeController(AppModel &model)
    {
        auto controller = std::make_unique<LoginController>();
        controller->setModel(&model);
        controller->setSleeper(&m_sleeper);
        return controller;
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<AppModelEnvironment>();
    }

    void cleanup()
    {
        // Wake whatever still sleeps so that no task is left hanging.
        m_sleeper.advance(3'600'000);
        m_env.reset();
    }

    void filteredDigits_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("limit");
        QTest::addColumn<QString>("expected");

        QTest::newRow("eleven digits") << "13800138000" << 11 << "13800138000";
        QTest::newRow("hyphenated groups") << "138-0013-8000" << 11 << "13800138000";
        QTest::newRow("spaced groups") << " 138 0013 8000 " << 11 << "13800138000";
        QTest::newRow("fifteen digits keep the first eleven") << "138001380001234" << 11 << "13800138000";
        QTest::newRow("country prefix") << "+86 138 0013 8000" << 11 << "86138001380";
        QTest::newRow("a letter alone") << "a" << 11 << "";
        QTest::newRow("letters between digits") << "1a2b3" << 11 << "123";
        QTest::newRow("fullwidth digits are dropped") << QString::fromUtf8("１３８００１３８０００") << 11 << "";
        QTest::newRow("arabic-indic digits are dropped") << QString::fromUtf8("١٣٨") << 11 << "";
        QTest::newRow("superscript and roman numerals") << QString::fromUtf8("²Ⅻ7") << 11 << "7";
        QTest::newRow("ten-digit code keeps eight") << "1234567890" << 8 << "12345678";
        QTest::newRow("code with spaces") << "12 34 56" << 8 << "123456";
        QTest::newRow("emoji and signs") << QString::fromUtf8("1😀2#3*") << 8 << "123";
        QTest::newRow("empty") << "" << 8 << "";
    }

    void filteredDigits()
    {
        QFETCH(QString, text);
        QFETCH(int, limit);
        QFETCH(QString, expected);
        QCOMPARE(LoginController::filteredDigits(text, limit), expected);
    }

    // The setters store the filtered text; an unchanged result announces nothing.
    void settersFilterAndAnnounceChangesOnly()
    {
        LoginController controller;
        QSignalSpy phoneChanged(&controller, &LoginController::phoneNumberChanged);
        QSignalSpy codeChanged(&controller, &LoginController::verifyCodeChanged);

        controller.setPhoneNumber(QStringLiteral("138-0013-8000-99"));
        QCOMPARE(controller.phoneNumber(), QStringLiteral("13800138000"));
        QCOMPARE(phoneChanged.count(), 1);
        controller.setPhoneNumber(QStringLiteral("13800138000x"));
        QCOMPARE(controller.phoneNumber(), QStringLiteral("13800138000"));
        QCOMPARE(phoneChanged.count(), 1);

        controller.setVerifyCode(QStringLiteral("1234567890"));
        QCOMPARE(controller.verifyCode(), QStringLiteral("12345678"));
        QCOMPARE(codeChanged.count(), 1);
        controller.setVerifyCode(QStringLiteral("12345678"));
        QCOMPARE(codeChanged.count(), 1);
    }

    void canLogin_data()
    {
        QTest::addColumn<bool>("agree");
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("expected");

        QTest::newRow("all three, one-digit code") << true << "13800138000" << "1" << true;
        QTest::newRow("all three, full code") << true << "13800138000" << "12345678" << true;
        QTest::newRow("agreement unticked") << false << "13800138000" << "123456" << false;
        QTest::newRow("ten-digit number") << true << "1380013800" << "123456" << false;
        QTest::newRow("empty code") << true << "13800138000" << "" << false;
        QTest::newRow("fullwidth number is dropped") << true << QString::fromUtf8("１３８００１３８０００") << "1"
                                                     << false;
        QTest::newRow("nothing") << true << "" << "" << false;
    }

    void canLogin()
    {
        QFETCH(bool, agree);
        QFETCH(QString, phone);
        QFETCH(QString, code);
        QFETCH(bool, expected);

        LoginController controller;
        QVERIFY(controller.agreeToTerms()); // a fresh screen starts ticked
        controller.setPhoneNumber(phone);
        controller.setVerifyCode(code);
        controller.setAgreeToTerms(agree);
        QCOMPARE(controller.canLogin(), expected);
    }

    void toggleAgreementGatesLogin()
    {
        LoginController controller;
        controller.setPhoneNumber(QStringLiteral("13800138000"));
        controller.setVerifyCode(QStringLiteral("1"));
        QSignalSpy canLoginChanged(&controller, &LoginController::canLoginChanged);
        controller.toggleAgreement();
        QVERIFY(!controller.agreeToTerms());
        QVERIFY(!controller.canLogin());
        QVERIFY(controller.codeButtonEnabled()); // the code stays requestable
        controller.toggleAgreement();
        QVERIFY(controller.canLogin());
        QCOMPARE(canLoginChanged.count(), 2);
    }

    // Each entry: the focus the view reports (phone, code) and the editing
    // report it must give: 'b' begin, 'e' end, '-' none.
    void focusReports_data()
    {
        QTest::addColumn<QList<int>>("reports"); // 0 none, 1 phone, 2 code
        QTest::addColumn<QString>("expected");

        QTest::newRow("focus the phone field") << QList<int>{1} << "b";
        QTest::newRow("phone then code") << QList<int>{1, 2} << "bb";
        QTest::newRow("phone, code, away") << QList<int>{1, 2, 0} << "bbe";
        QTest::newRow("the same field twice") << QList<int>{2, 2} << "b-";
        QTest::newRow("nothing focused from the start") << QList<int>{0} << "-";
        QTest::newRow("away and back") << QList<int>{1, 0, 1} << "beb";
    }

    void focusReports()
    {
        QFETCH(QList<int>, reports);
        QFETCH(QString, expected);

        LoginController controller;
        QSignalSpy began(&controller, &LoginController::beginEditing);
        QSignalSpy ended(&controller, &LoginController::endEditing);
        QString seen;
        for (const int report : reports) {
            const qsizetype beganBefore = began.count();
            const qsizetype endedBefore = ended.count();
            controller.reportFocus(report == 1, report == 2);
            const bool b = began.count() > beganBefore;
            const bool e = ended.count() > endedBefore;
            QVERIFY(!(b && e));
            seen += b ? QLatin1Char('b') : (e ? QLatin1Char('e') : QLatin1Char('-'));
        }
        QCOMPARE(seen, expected);
        QCOMPARE(controller.codeFieldFocused(), reports.last() == 2);
    }

    // A successful send moves the caret to the code field and counts 60 s down.
    void successfulSendRunsTheCountdown()
    {
        AppModel &model = m_env->makeModel();
        auto controller = makeController(model);
        controller->setPhoneNumber(QStringLiteral("13800138000"));
        controller->reportFocus(true, false);
        QSignalSpy began(controller.get(), &LoginController::beginEditing);

        controller->requestCode();
        QTRY_COMPARE(controller->countdownSeconds(), 60);
        QCOMPARE(m_env->service.sendCount(sendCodePath), 1);
        QCOMPARE(controller->focusedField(), LoginController::Field::code);
        QCOMPARE(began.count(), 1);
        QCOMPARE(controller->codeButtonText(), QStringLiteral("60s"));
        QVERIFY(!controller->codeButtonEnabled());
        QCOMPARE(model.noticeMessage(), std::optional<QString>(QStringLiteral("验证码已发送")));

        m_sleeper.advance(999);
        QCOMPARE(controller->countdownSeconds(), 60);
        m_sleeper.advance(1);
        QCOMPARE(controller->codeButtonText(), QStringLiteral("59s"));
        m_sleeper.advance(58'000);
        QCOMPARE(controller->codeButtonText(), QStringLiteral("1s"));
        QVERIFY(!controller->codeButtonEnabled());
        m_sleeper.advance(1'000);
        QCOMPARE(controller->countdownSeconds(), 0);
        QCOMPARE(controller->codeButtonText(), QStringLiteral("获取验证码"));
        QVERIFY(controller->codeButtonEnabled());
        QCOMPARE(m_sleeper.pendingCount(), 0);
    }

    // A send that does not go through starts no countdown and leaves the focus.
    void failedSendStartsNoCountdown_data()
    {
        QTest::addColumn<QString>("phone");
        QTest::addColumn<QString>("failure"); // "", "code", "declined"
        QTest::addColumn<int>("requests");
        QTest::addColumn<QString>("error");

        QTest::newRow("empty number") << "" << "" << 0 << QStringLiteral("请输入正确的 11 位手机号");
        QTest::newRow("short number") << "1380013" << "" << 0 << QStringLiteral("请输入正确的 11 位手机号");
        QTest::newRow("service error") << "13800138000" << "code" << 1 << QStringLiteral("短信发送失败");
        QTest::newRow("service declines") << "13800138000" << "declined" << 1 << QString();
    }

    void failedSendStartsNoCountdown()
    {
        QFETCH(QString, phone);
        QFETCH(QString, failure);
        QFETCH(int, requests);
        QFETCH(QString, error);

        if (failure == QLatin1String("code"))
            m_env->service.failWithCode(sendCodePath, QStringLiteral("500"), QStringLiteral("短信发送失败"));
        else if (failure == QLatin1String("declined"))
            m_env->service.setData(sendCodePath, false);

        AppModel &model = m_env->makeModel();
        auto controller = makeController(model);
        controller->setPhoneNumber(phone);
        controller->reportFocus(true, false);

        QCoro::waitFor(controller->getCode());
        QCOMPARE(m_env->service.sendCount(sendCodePath), requests);
        QCOMPARE(controller->countdownSeconds(), 0);
        QVERIFY(controller->codeButtonEnabled());
        QCOMPARE(controller->focusedField(), LoginController::Field::phone);
        if (error.isEmpty()) {
            QCOMPARE(model.errorMessage(), std::nullopt);
            QCOMPARE(model.noticeMessage(), std::nullopt);
        } else {
            QVERIFY(model.errorMessage());
            QVERIFY2(model.errorMessage()->contains(error), qPrintable(*model.errorMessage()));
        }
        QCOMPARE(m_sleeper.pendingCount(), 0);
    }

    // The countdown is not tied to the screen: a screen that goes away lets
    // it run out harmlessly, and a new screen starts idle.
    void countdownOutlivesTheScreen()
    {
        AppModel &model = m_env->makeModel();
        auto controller = makeController(model);
        controller->setPhoneNumber(QStringLiteral("13800138000"));
        controller->requestCode();
        QTRY_COMPARE(controller->countdownSeconds(), 60);
        m_sleeper.advance(10'000);
        QCOMPARE(controller->countdownSeconds(), 50);

        controller.reset();
        QCOMPARE(m_sleeper.pendingCount(), 1);
        m_sleeper.advance(1'000);
        QCOMPARE(m_sleeper.pendingCount(), 0);

        auto fresh = makeController(model);
        QCOMPARE(fresh->countdownSeconds(), 0);
        QCOMPARE(fresh->codeButtonText(), QStringLiteral("获取验证码"));
        QVERIFY(fresh->agreeToTerms());
        QVERIFY(fresh->verifyCode().isEmpty());
    }

    // Every successful send runs its own loop; loops are not merged.
    void eachSendRunsItsOwnLoop()
    {
        AppModel &model = m_env->makeModel();
        auto controller = makeController(model);
        controller->setPhoneNumber(QStringLiteral("13800138000"));
        QCoro::waitFor(model.sendVerificationCode(QStringLiteral("13800138000")));
        (void)controller->startCountdown();
        m_sleeper.advance(30'000);
        QCOMPARE(controller->countdownSeconds(), 30);
        (void)controller->startCountdown();
        QCOMPARE(controller->countdownSeconds(), 60);
        QCOMPARE(m_sleeper.pendingCount(), 2);
        m_sleeper.advance(1'000);
        QCOMPARE(controller->countdownSeconds(), 58);
        m_sleeper.advance(60'000);
        // Both loops may take the last step: the count ends at 0 or below,
        // which reads as idle all the same.
        QVERIFY(controller->countdownSeconds() <= 0);
        QCOMPARE(controller->codeButtonText(), QStringLiteral("获取验证码"));
        QVERIFY(controller->codeButtonEnabled());
        QCOMPARE(m_sleeper.pendingCount(), 0);
    }

    void loginSignsInAndKeepsFieldsOnFailure_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("signedIn");

        QTest::newRow("right code") << FakeService::verificationCode << true;
        QTest::newRow("wrong code") << "000000" << false;
    }

    void loginSignsInAndKeepsFieldsOnFailure()
    {
        QFETCH(QString, code);
        QFETCH(bool, signedIn);

        AppModel &model = m_env->makeModel();
        auto controller = makeController(model);
        controller->setPhoneNumber(QStringLiteral("13900139000"));
        controller->setVerifyCode(code);
        QVERIFY(controller->canLogin());

        QCoro::waitFor(controller->login());
        QCOMPARE(m_env->service.sendCount(loginPath), 1);
        const auto request = m_env->service.lastRequest(loginPath);
        QVERIFY(request);
        QCOMPARE(request->json[QStringLiteral("mobile")].toString(), QStringLiteral("13900139000"));
        QCOMPARE(request->json[QStringLiteral("verifyCode")].toString(), code);
        if (signedIn) {
            QCOMPARE(model.screen(), AppScreen::home);
            QCOMPARE(model.lastSuccessfulLoginMobile(), QStringLiteral("13900139000"));
            QVERIFY(model.token());
        } else {
            QCOMPARE(model.screen(), AppScreen::login);
            QVERIFY(model.errorMessage());
            QCOMPARE(controller->phoneNumber(), QStringLiteral("13900139000"));
            QCOMPARE(controller->verifyCode(), code);
        }
    }

    // The button does nothing while the login condition does not hold.
    void submitLoginNeedsCanLogin()
    {
        AppModel &model = m_env->makeModel();
        auto controller = makeController(model);
        controller->setPhoneNumber(QStringLiteral("13900139000"));
        controller->setVerifyCode(FakeService::verificationCode);
        controller->setAgreeToTerms(false);
        controller->submitLogin();
        QTest::qWait(200);
        QCOMPARE(m_env->service.sendCount(loginPath), 0);

        controller->setAgreeToTerms(true);
        controller->submitLogin();
        QTRY_COMPARE(model.screen(), AppScreen::home);
    }

    void appearancePrefillsThePhone_data()
    {
        QTest::addColumn<QString>("lastLogin");
        QTest::addColumn<QString>("accountMobile");
        QTest::addColumn<QString>("expected");

        QTest::newRow("last successful login") << "13700137000" << "13800138000" << "13700137000";
        QTest::newRow("stored account mobile") << "" << "13800138000" << "13800138000";
        QTest::newRow("nothing stored") << "" << "" << "";
        QTest::newRow("stored text is filtered") << "+86 137-0013-7000" << "" << "86137001370";
    }

    void appearancePrefillsThePhone()
    {
        QFETCH(QString, lastLogin);
        QFETCH(QString, accountMobile);
        QFETCH(QString, expected);

        if (!lastLogin.isEmpty())
            m_env->defaults->setValue(AppModel::lastSuccessfulLoginMobileKey, lastLogin);
        if (!accountMobile.isEmpty())
            m_env->defaults->setValue(AppModel::mobileKey, accountMobile);
        AppModel &model = m_env->makeModel();
        auto controller = makeController(model);
        controller->setPhoneNumber(QStringLiteral("123"));
        controller->setVerifyCode(QStringLiteral("55"));
        controller->appeared();
        QCOMPARE(controller->phoneNumber(), expected);
        QCOMPARE(controller->verifyCode(), QStringLiteral("55"));
    }

    // Without an application model the buttons do nothing and nothing breaks.
    void withoutModelNothingHappens()
    {
        LoginController controller;
        controller.setPhoneNumber(QStringLiteral("13800138000"));
        controller.setVerifyCode(QStringLiteral("1"));
        controller.appeared();
        QCoro::waitFor(controller.getCode());
        QCoro::waitFor(controller.login());
        QCOMPARE(controller.countdownSeconds(), 0);
        QCOMPARE(controller.phoneNumber(), QStringLiteral("13800138000"));
    }

    void siteAddresses_data()
    {
        QTest::addColumn<QString>("base");
        QTest::addColumn<QString>("shop");
        QTest::addColumn<QString>("agreement");
        QTest::addColumn<QString>("privacy");

        QTest::newRow("api host") << "https://api.vuzo.invalid" << "https://shop.vuzo.invalid"
                                  << "http://static.vuzo.invalid/appstore/server.html"
                                  << "http://static.vuzo.invalid/appstore/policy.html";
        QTest::newRow("api host with port and path")
            << "https://api.example.com:8443/v1" << "https://shop.example.com"
            << "http://static.example.com/appstore/server.html" << "http://static.example.com/appstore/policy.html";
        QTest::newRow("loopback") << "http://127.0.0.1:8080" << "https://127.0.0.1"
                                  << "http://127.0.0.1/appstore/server.html" << "http://127.0.0.1/appstore/policy.html";
        QTest::newRow("two labels stay") << "https://api.com" << "https://api.com"
                                         << "http://api.com/appstore/server.html" << "http://api.com/appstore/policy.html";
        QTest::newRow("no host") << "not a url" << "" << "" << "";
    }

    void siteAddresses()
    {
        QFETCH(QString, base);
        QFETCH(QString, shop);
        QFETCH(QString, agreement);
        QFETCH(QString, privacy);
        QCOMPARE(AccountSites::shopOrigin(base).toString(), shop);
        QCOMPARE(AccountSites::userAgreementUrl(base).toString(), agreement);
        QCOMPARE(AccountSites::privacyPolicyUrl(base).toString(), privacy);
    }

    // The links go to the default browser; an address that does not parse does nothing.
    void openLinkUsesTheDefaultBrowser()
    {
        UrlCatcher catcher;
        QDesktopServices::setUrlHandler(QStringLiteral("http"), &catcher, "open");
        LoginController controller;
        QVERIFY(controller.openLink(controller.userAgreementUrl()));
        QVERIFY(controller.openLink(controller.privacyPolicyUrl()));
        QVERIFY(!controller.openLink(QUrl(QStringLiteral("http://[bad"))));
        QVERIFY(!controller.openLink(QUrl()));
        QDesktopServices::unsetUrlHandler(QStringLiteral("http"));
        QCOMPARE(catcher.opened,
                 (QList<QUrl>{QUrl(QStringLiteral("http://static.vuzo.invalid/appstore/server.html")),
                              QUrl(QStringLiteral("http://static.vuzo.invalid/appstore/policy.html"))}));
    }

    void appLogo()
    {
        QCOMPARE(LoginController::appLogoUrl(), QUrl(QStringLiteral("qrc:/vuzo/appicon/AppIcon.png")));
        QCOMPARE(LoginController::appLogoUrl(QStringLiteral(":/vuzo/appicon/NoSuchIcon.png")), QUrl());
        // A file that is there but is no image.
        QCOMPARE(LoginController::appLogoUrl(QStringLiteral(":/qtwebchannel/qwebchannel.js")), QUrl());
        QCOMPARE(LoginController::appLogoUrl(QStringLiteral("/etc/passwd")), QUrl());
    }
};

QTEST_MAIN(TestLoginController)
#include "tst_logincontroller.moc"
