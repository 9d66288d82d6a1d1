#include "AppModelTestSupport.h"
#include "views/AppModelSingleton.h"
#include "LoginController.h"

#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

const QString loginPath = QStringLiteral("/user/loginByVerifyCode");
const QString sendCodePath = QStringLiteral("/user/sendVerifyCode");

} // namespace

// The login screen as the user meets it: typed and pasted text, the tick,
// both buttons, the Return key and the focus reports.
class TestLoginView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppModelEnvironment> m_env;
    std::unique_ptr<QQuickView> m_view;

    // Searches the visual tree: the root view's screens are made by a repeater,
    // whose items are not QObject children of the root.
    static QQuickItem *findVisual(QQuickItem *from, const QString &name)
    {
        if (from->objectName() == name)
            return from;
        for (QQuickItem *child : from->childItems()) {
            if (QQuickItem *found = findVisual(child, name))
                return found;
        }
        return nullptr;
    }
    QQuickItem *item(const char *name) const
    {
        auto *found = findVisual(m_view->rootObject(), QLatin1String(name));
        if (!found)
            qWarning() << "no item" << name;
        return found;
    }
    LoginController *controller() const
    {
        return m_view->rootObject()->findChild<LoginController *>(QStringLiteral("loginController"));
    }
    void click(QQuickItem *target)
    {
        const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(m_view.get(), Qt::LeftButton, {}, centre.toPoint());
    }
    // Types ASCII text key by key into the focused field.
    void typeText(const QString &text)
    {
        for (const QChar c : text)
            QTest::keyClick(m_view.get(), c.toLatin1());
    }
    // False (with the failure recorded) when the view did not come up.
    bool show(AppModel &model)
    {
        showView(model);
        return !QTest::currentTestFailed();
    }
    void showView(AppModel &model)
    {
        m_view = std::make_unique<QQuickView>();
        m_view->engine()->addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(m_view->engine(), &model);
        m_view->setResizeMode(QQuickView::SizeRootObjectToView);
        m_view->resize(960, 620);
        m_view->setSource(QUrl(QStringLiteral("qrc:/Vuzo/LoginView.qml")));
        QVERIFY2(m_view->status() == QQuickView::Ready, qPrintable(QDebug::toString(m_view->errors())));
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        m_view->requestActivate();
        QTest::qWait(50);
        // Looked at while developing: VUZO_SCREENSHOT_DIR=/tmp ctest -R tst_loginview
        const QString shots = qEnvironmentVariable("VUZO_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            m_view->grabWindow().save(shots + QStringLiteral("/login-") + QString::fromLatin1(QTest::currentTestFunction())
                                      + QStringLiteral(".png"));
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<AppModelEnvironment>();
    }

    void cleanup()
    {
        m_view.reset();
        m_env.reset();
    }

    void freshScreen()
    {
        m_env->defaults->setValue(AppModel::lastSuccessfulLoginMobileKey, QStringLiteral("13700137000"));
        AppModel &model = m_env->makeModel();
        QVERIFY(show(model));
        QCOMPARE(item("phoneField")->property("text").toString(), QStringLiteral("13700137000"));
        QCOMPARE(item("codeField")->property("text").toString(), QString());
        QCOMPARE(item("codeButton")->property("text").toString(), QStringLiteral("获取验证码"));
        QVERIFY(controller()->agreeToTerms());
        QVERIFY(!item("loginButton")->isEnabled());
        QCOMPARE(item("loginButton")->opacity(), 0.48);
    }

    // Typed and pasted text keeps only ASCII digits, up to 11 and 8.
    void fieldsKeepDigitsOnly()
    {
        AppModel &model = m_env->makeModel();
        QVERIFY(show(model));
        QQuickItem *phone = item("phoneField");
        QQuickItem *code = item("codeField");

        click(phone);
        QTRY_VERIFY(phone->hasActiveFocus());
        typeText(QStringLiteral("138a0013 8000-99"));
        QCOMPARE(phone->property("text").toString(), QStringLiteral("13800138000"));
        QVERIFY(!item("loginButton")->isEnabled());

        // A paste: the whole text at once.
        phone->setProperty("text", QStringLiteral("139-0013-9000"));
        QCOMPARE(phone->property("text").toString(), QStringLiteral("13900139000"));
        QCOMPARE(controller()->phoneNumber(), QStringLiteral("13900139000"));
        phone->setProperty("text", QString::fromUtf8("１３９００１３９０００"));
        QCOMPARE(phone->property("text").toString(), QString());

        code->setProperty("text", QStringLiteral("1234567890"));
        QCOMPARE(code->property("text").toString(), QStringLiteral("12345678"));
        phone->setProperty("text", QStringLiteral("13900139000"));
        QVERIFY(item("loginButton")->isEnabled());
        QCOMPARE(item("loginButton")->opacity(), 1.0);

        // Unticking disables and dims the button; the code stays requestable.
        click(item("agreementTick"));
        QVERIFY(!controller()->agreeToTerms());
        QVERIFY(!item("loginButton")->isEnabled());
        QCOMPARE(item("loginButton")->opacity(), 0.48);
        QVERIFY(item("codeButton")->isEnabled());
        click(item("agreementTick"));
        QVERIFY(controller()->agreeToTerms());
        QVERIFY(item("loginButton")->isEnabled());
    }

    // Return submits nothing; the button does; the screen reports the focus.
    void returnKeyFocusAndLogin()
    {
        AppModel &model = m_env->makeModel();
        QVERIFY(show(model));
        QSignalSpy began(m_view->rootObject(), SIGNAL(beginEditing()));
        QSignalSpy ended(m_view->rootObject(), SIGNAL(endEditing()));
        QQuickItem *phone = item("phoneField");
        QQuickItem *code = item("codeField");

        click(phone);
        QTRY_COMPARE(began.count(), 1);
        typeText(QStringLiteral("13900139000"));
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        click(code);
        QTRY_COMPARE(began.count(), 2);
        QCOMPARE(ended.count(), 0); // moving between the fields is no leave
        typeText(FakeService::verificationCode);
        QTest::keyClick(m_view.get(), Qt::Key_Return);
        QTest::keyClick(m_view.get(), Qt::Key_Enter);
        QTest::qWait(200);
        QCOMPARE(m_env->service.sendCount(loginPath), 0);

        code->setFocus(false);
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(began.count(), 2);

        click(item("loginButton"));
        QTRY_COMPARE(model.screen(), AppScreen::home);
        QCOMPARE(m_env->service.sendCount(loginPath), 1);
    }

    // In the root view: focus in a field pauses the auto-hide, and signing
    // in with the caret still in the field ends the pause as the screen goes.
    void signingInEndsTheEditingPause()
    {
        AppModel &model = m_env->makeModel();
        m_view = std::make_unique<QQuickView>();
        m_view->engine()->addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(m_view->engine(), &model);
        m_view->setResizeMode(QQuickView::SizeRootObjectToView);
        m_view->resize(960, 668);
        m_view->setSource(QUrl(QStringLiteral("qrc:/Vuzo/RootView.qml")));
        QVERIFY2(m_view->status() == QQuickView::Ready, qPrintable(QDebug::toString(m_view->errors())));
        m_view->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_view.get()));
        QCOMPARE(model.screen(), AppScreen::login);
        QSignalSpy began(m_view->rootObject(), SIGNAL(interactionBegan(int)));
        QSignalSpy ended(m_view->rootObject(), SIGNAL(interactionEnded(int)));
        const int textEditing = int(SuspensionReason::textEditing);

        QTRY_VERIFY(item("phoneField"));
        click(item("phoneField"));
        QTRY_COMPARE(began.count(), 1);
        QCOMPARE(began.first().first().toInt(), textEditing);
        typeText(QStringLiteral("13900139000"));
        click(item("codeField"));
        typeText(FakeService::verificationCode);
        QTRY_COMPARE(began.count(), 2);
        QVERIFY(item("codeField")->hasActiveFocus());
        QCOMPARE(ended.count(), 0);

        click(item("loginButton"));
        QTRY_COMPARE(model.screen(), AppScreen::home);
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(ended.first().first().toInt(), textEditing);
    }

    void getCodeButton()
    {
        AppModel &model = m_env->makeModel();
        QVERIFY(show(model));
        QQuickItem *phone = item("phoneField");
        QQuickItem *codeButton = item("codeButton");

        // A short number: the model's error, no countdown, the focus stays.
        click(phone);
        typeText(QStringLiteral("1380013"));
        click(codeButton);
        QTRY_VERIFY(model.errorMessage().has_value());
        QCOMPARE(*model.errorMessage(), QStringLiteral("请输入正确的 11 位手机号"));
        QCOMPARE(codeButton->property("text").toString(), QStringLiteral("获取验证码"));
        QVERIFY(phone->hasActiveFocus());

        typeText(QStringLiteral("8000"));
        click(codeButton);
        QTRY_COMPARE(codeButton->property("text").toString(), QStringLiteral("60s"));
        QVERIFY(!codeButton->isEnabled());
        QTRY_VERIFY(item("codeField")->hasActiveFocus());
        QCOMPARE(m_env->service.sendCount(sendCodePath), 1);
        // The button takes no second press while counting.
        click(codeButton);
        QTest::qWait(100);
        QCOMPARE(m_env->service.sendCount(sendCodePath), 1);
    }
};

QTEST_MAIN(TestLoginView)
#include "tst_loginview.moc"
