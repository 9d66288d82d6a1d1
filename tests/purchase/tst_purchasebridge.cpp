#include "AccountSites.h"
#include "AppModelTestSupport.h"
#include "PurchaseCredentials.h"
#include "PurchaseEvent.h"
#include "PurchaseWebBridge.h"

#include <QJSEngine>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <memory>

namespace {

const QUrl shopOrigin(QStringLiteral("https://shop.vuzo.invalid"));
const QUrl shopPage(QStringLiteral("https://shop.vuzo.invalid/?utm_source=official&utm_medium=website&desktop_client=mac"));

QJsonValue message(const char *json)
{
    return QJsonValue(QString::fromUtf8(json));
}

const char *authRequest = R"({"version":1,"type":"auth.request"})";

// Runs a hand-over script the way the page would and returns the one
// argument its callback received (undefined when it was not called).
// The script as a page at `address` would run it.
QJSValue runInPage(QJSEngine &engine, const QString &script,
                   const QUrl &address = QUrl(QStringLiteral("https://shop.vuzo.invalid/")))
{
    engine.evaluate(QStringLiteral(
        "var received = undefined; var window = { __TOLQ_ON_APP_TOKEN__: function (c) { received = c; } };"
        "window.top = window; var location = { protocol: %1, hostname: %2 };")
                        .arg(QString::fromUtf8(PurchaseCredentials::jsonString(address.scheme() + QLatin1Char(':'))),
                             QString::fromUtf8(PurchaseCredentials::jsonString(
                                 PurchaseWebBridge::locationHostname(address)))));
    const QJSValue result = engine.evaluate(script);
    if (result.isError())
        qWarning() << "script error:" << result.toString();
    return engine.globalObject().property(QStringLiteral("received"));
}

} // namespace

class TestPurchaseBridge : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<AppModelEnvironment> m_env;

    std::unique_ptr<PurchaseWebBridge> makeBridge(AppModel *model)
    {
        auto bridge = std::make_unique<PurchaseWebBridge>();
        bridge->setModel(model);
        bridge->setShopOrigin(shopOrigin);
        bridge->setCurrentUrl(shopPage);
        return bridge;
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<AppModelEnvironment>();
    }

    void cleanup()
    {
        m_env.reset();
    }

    // ---- the event decoder --------------------------------------------------

    void decode_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<bool>("decodes");
        QTest::addColumn<qint64>("version");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QVariant>("orderId"); // invalid for none

        QTest::newRow("credentials request") << QByteArray(R"({"version":1,"type":"auth.request"})") << true
                                             << qint64(1) << "auth.request" << QVariant();
        QTest::newRow("payment with order") << QByteArray(R"({"version":1,"type":"purchase.success","orderId":"A-1"})")
                                            << true << qint64(1) << "purchase.success" << QVariant(QStringLiteral("A-1"));
        QTest::newRow("order id null") << QByteArray(R"({"version":1,"type":"purchase.success","orderId":null})") << true
                                       << qint64(1) << "purchase.success" << QVariant();
        QTest::newRow("order id empty") << QByteArray(R"({"version":1,"type":"purchase.success","orderId":""})") << true
                                        << qint64(1) << "purchase.success" << QVariant(QString(""));
        QTest::newRow("other keys ignored") << QByteArray(R"({"extra":[1,2],"version":2,"type":"x","more":{}})") << true
                                            << qint64(2) << "x" << QVariant();
        QTest::newRow("whole float version") << QByteArray(R"({"version":1.0,"type":"auth.request"})") << true
                                             << qint64(1) << "auth.request" << QVariant();
        QTest::newRow("version as text") << QByteArray(R"({"version":"1","type":"auth.request"})") << false << qint64(0)
                                         << "" << QVariant();
        QTest::newRow("fractional version") << QByteArray(R"({"version":1.5,"type":"auth.request"})") << false
                                            << qint64(0) << "" << QVariant();
        QTest::newRow("huge version") << QByteArray(R"({"version":1e40,"type":"auth.request"})") << false << qint64(0)
                                      << "" << QVariant();
        QTest::newRow("boolean version") << QByteArray(R"({"version":true,"type":"auth.request"})") << false
                                         << qint64(0) << "" << QVariant();
        QTest::newRow("no version") << QByteArray(R"({"type":"auth.request"})") << false << qint64(0) << "" << QVariant();
        QTest::newRow("null version") << QByteArray(R"({"version":null,"type":"auth.request"})") << false << qint64(0)
                                      << "" << QVariant();
        QTest::newRow("no type") << QByteArray(R"({"version":1})") << false << qint64(0) << "" << QVariant();
        QTest::newRow("numeric type") << QByteArray(R"({"version":1,"type":5})") << false << qint64(0) << ""
                                      << QVariant();
        QTest::newRow("numeric order id") << QByteArray(R"({"version":1,"type":"purchase.success","orderId":7})")
                                          << false << qint64(0) << "" << QVariant();
        QTest::newRow("array") << QByteArray(R"([{"version":1,"type":"auth.request"}])") << false << qint64(0) << ""
                               << QVariant();
        QTest::newRow("bare string") << QByteArray(R"("auth.request")") << false << qint64(0) << "" << QVariant();
        QTest::newRow("trailing text") << QByteArray(R"({"version":1,"type":"auth.request"} x)") << false << qint64(0)
                                       << "" << QVariant();
        QTest::newRow("not json") << QByteArray("version=1&type=auth.request") << false << qint64(0) << ""
                                  << QVariant();
        QTest::newRow("empty") << QByteArray() << false << qint64(0) << "" << QVariant();
    }

    void decode()
    {
        QFETCH(QByteArray, json);
        QFETCH(bool, decodes);
        QFETCH(qint64, version);
        QFETCH(QString, type);
        QFETCH(QVariant, orderId);

        const std::optional<PurchaseEvent> event = PurchaseEvent::decode(json);
        QCOMPARE(event.has_value(), decodes);
        if (!event)
            return;
        QCOMPARE(event->version, version);
        QCOMPARE(event->type, type);
        QCOMPARE(event->orderId.has_value(), orderId.isValid());
        if (orderId.isValid())
            QCOMPARE(*event->orderId, orderId.toString());
    }

    // ---- the message checks ---------------------------------------------------

    void acceptedEvent_data()
    {
        QTest::addColumn<QUrl>("viewUrl");
        QTest::addColumn<QJsonValue>("body");
        QTest::addColumn<bool>("accepted");

        const QJsonValue request = message(authRequest);
        QTest::newRow("shop page") << shopPage << request << true;
        QTest::newRow("another path of the shop") << QUrl(QStringLiteral("https://shop.vuzo.invalid/pay/done")) << request
                                                  << true;
        QTest::newRow("any port") << QUrl(QStringLiteral("https://shop.vuzo.invalid:8443/")) << request << true;
        QTest::newRow("plain http") << QUrl(QStringLiteral("http://shop.vuzo.invalid/")) << request << false;
        QTest::newRow("payment provider") << QUrl(QStringLiteral("https://pay.example.com/")) << request << false;
        QTest::newRow("sub-host") << QUrl(QStringLiteral("https://evil.shop.vuzo.invalid/")) << request << false;
        QTest::newRow("host as prefix") << QUrl(QStringLiteral("https://shop.vuzo.invalid.example.com/")) << request
                                        << false;
        QTest::newRow("no address") << QUrl() << request << false;
        QTest::newRow("no host") << QUrl(QStringLiteral("https:///")) << request << false;
        QTest::newRow("file") << QUrl(QStringLiteral("file:///tmp/shop.html")) << request << false;
        QTest::newRow("posted object") << shopPage
                                       << QJsonValue(QJsonObject{{QStringLiteral("version"), 1},
                                                                 {QStringLiteral("type"), QStringLiteral("auth.request")}})
                                       << false;
        QTest::newRow("posted array") << shopPage << QJsonValue(QJsonArray{QString::fromUtf8(authRequest)}) << false;
        QTest::newRow("posted number") << shopPage << QJsonValue(1) << false;
        QTest::newRow("posted boolean") << shopPage << QJsonValue(true) << false;
        QTest::newRow("posted null") << shopPage << QJsonValue() << false;
        QTest::newRow("version 2") << shopPage << message(R"({"version":2,"type":"auth.request"})") << false;
        QTest::newRow("version as text") << shopPage << message(R"({"version":"1","type":"auth.request"})") << false;
        QTest::newRow("not json") << shopPage << message("auth.request") << false;
    }

    void acceptedEvent()
    {
        QFETCH(QUrl, viewUrl);
        QFETCH(QJsonValue, body);
        QFETCH(bool, accepted);
        QCOMPARE(PurchaseWebBridge::acceptedEvent(viewUrl, shopOrigin.host(), body).has_value(), accepted);
    }

    void emptyShopHostAcceptsNothing()
    {
        QVERIFY(!PurchaseWebBridge::acceptedEvent(QUrl(QStringLiteral("https:///")), QString(), message(authRequest)));
        QVERIFY(!PurchaseWebBridge::acceptedEvent(shopPage, QString(), message(authRequest)));
    }

    // ---- the credentials record -------------------------------------------------

    void credentialsKeepTheirOrder()
    {
        PurchaseCredentials credentials;
        credentials.token = QStringLiteral("tok-1");
        credentials.mobile = QStringLiteral("13800138000");
        QCOMPARE(credentials.toJson(),
                 QByteArray(R"({"token":"tok-1","mobile":"13800138000","platform":"Mac","type":"2","channel":"Mac","channelId":"9"})"));
        QVERIFY(credentials.handOverScript(QStringLiteral("shop.vuzo.invalid"))
                    .contains(QStringLiteral("window.__TOLQ_ON_APP_TOKEN__?.(") + QString::fromUtf8(credentials.toJson())
                              + QStringLiteral(");")));
    }

    // Whatever the token holds, the page receives exactly that text and
    // nothing of it runs as script.
    void valuesCannotLeaveTheirString_data()
    {
        QTest::addColumn<QString>("token");

        QTest::newRow("plain") << QStringLiteral("abc123");
        QTest::newRow("quote and call") << QStringLiteral("\"});window.hacked=1;//");
        QTest::newRow("backslashes") << QStringLiteral("a\\\"b\\");
        QTest::newRow("line breaks") << QStringLiteral("a\nb\r\nc\u2028d\u2029e");
        QTest::newRow("control characters") << QStringLiteral("\x01\x1f\t\b\f");
        QTest::newRow("script tag") << QStringLiteral("</script><script>window.hacked=1</script>");
        QTest::newRow("non-ascii") << QString::fromUtf8("令牌😀é");
        QTest::newRow("unpaired surrogate") << QString(QChar(0xD800)) + QStringLiteral("x");
        QTest::newRow("empty") << QString();
    }

    void valuesCannotLeaveTheirString()
    {
        QFETCH(QString, token);

        PurchaseCredentials credentials;
        credentials.token = token;
        credentials.mobile = token;

        // Valid JSON with the same values.
        QJsonParseError error{};
        const QJsonDocument document = QJsonDocument::fromJson(credentials.toJson(), &error);
        QCOMPARE(error.error, QJsonParseError::NoError);
        QCOMPARE(document.object().keys().size(), 6);

        // And as a script: exactly one call, with exactly these values.
        QJSEngine engine;
        const QJSValue received = runInPage(engine, credentials.handOverScript(QStringLiteral("shop.vuzo.invalid")));
        QVERIFY(received.isObject());
        QCOMPARE(received.property(QStringLiteral("token")).toString(), token);
        QCOMPARE(received.property(QStringLiteral("mobile")).toString(), token);
        QCOMPARE(received.property(QStringLiteral("channelId")).toString(), QStringLiteral("9"));
        QVERIFY(received.property(QStringLiteral("channelId")).isString());
        QVERIFY(received.property(QStringLiteral("type")).isString());
        QVERIFY(engine.globalObject().property(QStringLiteral("hacked")).isUndefined());
        QVERIFY(engine.globalObject().property(QStringLiteral("window")).property(QStringLiteral("hacked")).isUndefined());
    }

    // Without the page's callback the call is a no-op, not an error.
    void handOverWithoutCallbackIsHarmless()
    {
        QJSEngine engine;
        PurchaseCredentials credentials;
        credentials.token = QStringLiteral("t");
        engine.evaluate(QStringLiteral("var window = {}; window.top = window;"
                                       "var location = { protocol: 'https:', hostname: 'shop.vuzo.invalid' };"));
        const QJSValue result = engine.evaluate(credentials.handOverScript(QStringLiteral("shop.vuzo.invalid")));
        QVERIFY2(!result.isError(), qPrintable(result.toString()));
    }

    // ---- addresses and the user script ----------------------------------------

    void pageUrl_data()
    {
        QTest::addColumn<QUrl>("origin");
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("originText");

        const QString query = QStringLiteral("/?utm_source=official&utm_medium=website&desktop_client=mac");
        QTest::newRow("shop host") << shopOrigin << QStringLiteral("https://shop.vuzo.invalid") + query
                                   << "https://shop.vuzo.invalid";
        QTest::newRow("test port") << QUrl(QStringLiteral("https://127.0.0.1:4443"))
                                   << QStringLiteral("https://127.0.0.1:4443") + query << "https://127.0.0.1:4443";
        QTest::newRow("default port left out") << QUrl(QStringLiteral("https://shop.vuzo.invalid:443"))
                                               << QStringLiteral("https://shop.vuzo.invalid") + query
                                               << "https://shop.vuzo.invalid";
        QTest::newRow("always https") << QUrl(QStringLiteral("http://shop.vuzo.invalid"))
                                       << QStringLiteral("https://shop.vuzo.invalid") + query
                                       << "https://shop.vuzo.invalid";
        QTest::newRow("upper-case host") << QUrl(QStringLiteral("https://SHOP.Vuzo.invalid"))
                                         << QStringLiteral("https://shop.vuzo.invalid") + query
                                         << "https://shop.vuzo.invalid";
        QTest::newRow("ipv6") << QUrl(QStringLiteral("https://[::1]:4443")) << QStringLiteral("https://[::1]:4443") + query
                              << "https://[::1]:4443";
        QTest::newRow("no host") << QUrl() << QString() << QString();
    }

    void pageUrl()
    {
        QFETCH(QUrl, origin);
        QFETCH(QString, page);
        QFETCH(QString, originText);
        QCOMPARE(PurchaseWebBridge::pageUrl(origin).toString(QUrl::FullyEncoded), page);
        QCOMPARE(PurchaseWebBridge::originText(origin), originText);
    }

    void defaultsFollowTheBuild()
    {
        PurchaseWebBridge bridge;
        QCOMPARE(bridge.shopOrigin(), AccountSites::shopOrigin());
        QCOMPARE(bridge.pageUrl(), PurchaseWebBridge::pageUrl(AccountSites::shopOrigin()));
        QCOMPARE(bridge.handlerName(), QStringLiteral("tolqDesktopPurchase"));
        QVERIFY(!bridge.successHandled());
    }

    void userScriptRunsFirstInTheMainFrameOnly()
    {
        PurchaseWebBridge bridge;
        bridge.setShopOrigin(QUrl(QStringLiteral("https://127.0.0.1:4443")));
        const QWebEngineScript script = bridge.userScript();
        QCOMPARE(script.injectionPoint(), QWebEngineScript::DocumentCreation);
        QCOMPARE(script.worldId(), quint32(QWebEngineScript::MainWorld));
        QVERIFY(!script.runsOnSubFrames());
        const QString source = script.sourceCode();
        QVERIFY(source.contains(QStringLiteral("var QWebChannel"))); // the channel client, in scope
        QVERIFY(source.contains(QStringLiteral("var expectedOrigin = \"https:\\/\\/127.0.0.1:4443\";")));
        QVERIFY(source.contains(QStringLiteral("channel.objects[\"tolqDesktopPurchase\"]")));
        QVERIFY(source.contains(QStringLiteral("'TOLQDesktopPurchase'")));
        QVERIFY(source.contains(QStringLiteral("configurable: false")));
        // The whole script is one valid function scope.
        QJSEngine engine;
        const QJSValue parsed = engine.evaluate(QStringLiteral("new Function(") + QString::fromUtf8(
                                                    PurchaseCredentials::jsonString(source))
                                                + QStringLiteral(")"));
        QVERIFY2(!parsed.isError(), qPrintable(parsed.toString()));
    }

    void opensInPlace_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<bool>("inPlace");

        QTest::newRow("https") << "https://pay.example.com/checkout?id=1" << true;
        QTest::newRow("http") << "http://example.com/" << true;
        QTest::newRow("upper-case scheme") << "HTTPS://example.com/" << true;
        QTest::newRow("javascript") << "javascript:alert(1)" << false;
        QTest::newRow("file") << "file:///etc/passwd" << false;
        QTest::newRow("data") << "data:text/html,<b>x</b>" << false;
        QTest::newRow("about blank") << "about:blank" << false;
        QTest::newRow("mailto") << "mailto:someone@example.com" << false;
        QTest::newRow("ftp") << "ftp://example.com/" << false;
        QTest::newRow("custom app scheme") << "weixin://pay" << false;
        QTest::newRow("https without host") << "https:" << false;
        QTest::newRow("empty") << "" << false;
    }

    void opensInPlace()
    {
        QFETCH(QString, url);
        QFETCH(bool, inPlace);
        QCOMPARE(PurchaseWebBridge::opensInPlace(QUrl(url)), inPlace);
    }

    // ---- the bridge against the model ---------------------------------------------

    // Every check of the hand-over, with the page on the shop.
    void credentialsHandOver_data()
    {
        QTest::addColumn<QString>("token"); // "" stores nothing, "<empty>" an empty string
        QTest::addColumn<QString>("mobile");
        QTest::addColumn<QString>("environment");
        QTest::addColumn<bool>("onPurchase");
        QTest::addColumn<bool>("handsOver");

        QTest::newRow("signed in") << "issued" << "13800138000" << "production" << true << true;
        QTest::newRow("no stored mobile") << "issued" << "" << "production" << true << true;
        QTest::newRow("no token") << "" << "13800138000" << "production" << true << false;
        QTest::newRow("empty token") << "<empty>" << "13800138000" << "production" << true << false;
        QTest::newRow("test environment") << "issued" << "13800138000" << "test" << true << false;
        QTest::newRow("screen no longer purchase") << "issued" << "13800138000" << "production" << false << false;
    }

    void credentialsHandOver()
    {
        QFETCH(QString, token);
        QFETCH(QString, mobile);
        QFETCH(QString, environment);
        QFETCH(bool, onPurchase);
        QFETCH(bool, handsOver);

        QString storedToken;
        if (token == QLatin1String("issued")) {
            storedToken = m_env->storeToken();
            m_env->defaults->remove(AppModel::mobileKey);
        } else if (token == QLatin1String("<empty>")) {
            m_env->defaults->setValue(AppModel::tokenKey, QString());
        }
        if (!mobile.isEmpty())
            m_env->defaults->setValue(AppModel::mobileKey, mobile);
        AppModel &model = m_env->makeModel();
        model.setApiEnvironment(*APIEnvironments::fromRawValue(environment));
        model.setScreen(onPurchase ? AppScreen::purchase : AppScreen::home);

        auto bridge = makeBridge(&model);
        QSignalSpy scripts(bridge.get(), &PurchaseWebBridge::scriptEvaluationRequested);
        QSignalSpy originChecks(bridge.get(), &PurchaseWebBridge::documentOriginRequested);
        bridge->handleMessage(message(authRequest));
        QCOMPARE(originChecks.count(), 1);
        QCOMPARE(scripts.count(), 0); // nothing before the document has answered
        bridge->documentOriginReported(PurchaseWebBridge::originText(shopOrigin));
        QCOMPARE(scripts.count(), handsOver ? 1 : 0);
        if (!handsOver)
            return;

        QJSEngine engine;
        const QJSValue received = runInPage(engine, scripts.first().first().toString());
        QCOMPARE(received.property(QStringLiteral("token")).toString(), storedToken);
        QCOMPARE(received.property(QStringLiteral("mobile")).toString(), mobile);
        QCOMPARE(received.property(QStringLiteral("platform")).toString(), QStringLiteral("Mac"));
        QCOMPARE(received.property(QStringLiteral("type")).toString(), QStringLiteral("2"));
        QCOMPARE(received.property(QStringLiteral("channel")).toString(), QStringLiteral("Mac"));

        // Every accepted request is answered.
        bridge->handleMessage(message(authRequest));
        bridge->documentOriginReported(PurchaseWebBridge::originText(shopOrigin));
        QCOMPARE(scripts.count(), 2);
    }

    // The token goes, and a payment counts, only for a document that says,
    // from a world of our own, that it is an https page of the shop host: a
    // page that opened the shop and is still there when its message is
    // answered gets nothing and reports nothing.
    void handOverAndPaymentOnlyForTheShopDocument_data()
    {
        QTest::addColumn<QString>("documentOrigin");
        QTest::addColumn<bool>("handsOver");

        QTest::newRow("the shop") << "https://shop.vuzo.invalid" << true;
        QTest::newRow("the shop on another port") << "https://shop.vuzo.invalid:8443" << true;
        QTest::newRow("the shop over http") << "http://shop.vuzo.invalid" << false;
        QTest::newRow("the page that opened the shop") << "https://opener.example.com" << false;
        QTest::newRow("host as prefix") << "https://shop.vuzo.invalid.example.com" << false;
        QTest::newRow("sub-host") << "https://evil.shop.vuzo.invalid" << false;
        QTest::newRow("opaque origin") << "null" << false;
        QTest::newRow("no answer") << "undefined" << false;
        QTest::newRow("empty") << "" << false;
    }

    void handOverAndPaymentOnlyForTheShopDocument()
    {
        QFETCH(QString, documentOrigin);
        QFETCH(bool, handsOver);
        m_env->storeToken();
        AppModel &model = m_env->makeModel();
        model.openPurchasePage();
        auto bridge = makeBridge(&model);
        QSignalSpy scripts(bridge.get(), &PurchaseWebBridge::scriptEvaluationRequested);
        QSignalSpy payments(bridge.get(), &PurchaseWebBridge::paymentSucceeded);
        bridge->handleMessage(message(authRequest));
        bridge->documentOriginReported(documentOrigin);
        QCOMPARE(scripts.count(), handsOver ? 1 : 0);
        bridge->handleMessage(message(R"({"version":1,"type":"purchase.success","orderId":"A-1"})"));
        QCOMPARE(payments.count(), 0); // nothing before the document has answered
        bridge->documentOriginReported(documentOrigin);
        QCOMPARE(payments.count(), handsOver ? 1 : 0);
        QCOMPARE(bridge->successHandled(), handsOver);
    }

    // Answers come back in the order the messages were checked: each one
    // settles its own message.
    void originAnswersSettleTheirOwnMessages()
    {
        m_env->storeToken();
        AppModel &model = m_env->makeModel();
        model.openPurchasePage();
        auto bridge = makeBridge(&model);
        QSignalSpy scripts(bridge.get(), &PurchaseWebBridge::scriptEvaluationRequested);
        QSignalSpy payments(bridge.get(), &PurchaseWebBridge::paymentSucceeded);
        bridge->handleMessage(message(R"({"version":1,"type":"purchase.success","orderId":"A-1"})"));
        bridge->handleMessage(message(authRequest));
        bridge->documentOriginReported(QStringLiteral("https://opener.example.com"));
        bridge->documentOriginReported(PurchaseWebBridge::originText(shopOrigin));
        QCOMPARE(payments.count(), 0);
        QCOMPARE(scripts.count(), 1);
        // An answer nobody asked for settles nothing.
        bridge->documentOriginReported(PurchaseWebBridge::originText(shopOrigin));
        QCOMPARE(payments.count(), 0);
        QCOMPARE(scripts.count(), 1);
    }

    // The hand-over script itself checks the document it runs in, which may
    // have been replaced between the check and the call.
    void handOverScriptRechecksTheDocument_data()
    {
        QTest::addColumn<QUrl>("address");
        QTest::addColumn<bool>("topFrame");
        QTest::addColumn<bool>("receives");

        QTest::newRow("the shop") << QUrl(QStringLiteral("https://shop.vuzo.invalid/pay")) << true << true;
        QTest::newRow("the shop on another port") << QUrl(QStringLiteral("https://shop.vuzo.invalid:8443/")) << true
                                                  << true;
        QTest::newRow("another page") << QUrl(QStringLiteral("https://opener.example.com/")) << true << false;
        QTest::newRow("plain http") << QUrl(QStringLiteral("http://shop.vuzo.invalid/")) << true << false;
        QTest::newRow("a frame of the shop") << QUrl(QStringLiteral("https://shop.vuzo.invalid/")) << false << false;
    }

    void handOverScriptRechecksTheDocument()
    {
        QFETCH(QUrl, address);
        QFETCH(bool, topFrame);
        QFETCH(bool, receives);
        PurchaseCredentials credentials;
        credentials.token = QStringLiteral("tok");
        QJSEngine engine;
        if (!topFrame)
            engine.evaluate(QStringLiteral("var parentWindow = {};"));
        const QString script = credentials.handOverScript(PurchaseWebBridge::locationHostname(shopOrigin));
        const QString framed = topFrame ? script : QStringLiteral("window.top = parentWindow;") + script;
        const QJSValue received = runInPage(engine, framed, address);
        QCOMPARE(received.isObject(), receives);
    }

    // Messages that fail a check are dropped before anything happens.
    void refusedMessagesDoNothing()
    {
        m_env->storeToken();
        AppModel &model = m_env->makeModel();
        model.openPurchasePage();
        QCOMPARE(model.screen(), AppScreen::purchase);
        auto bridge = makeBridge(&model);
        QSignalSpy scripts(bridge.get(), &PurchaseWebBridge::documentOriginRequested);
        QSignalSpy payments(bridge.get(), &PurchaseWebBridge::paymentSucceeded);

        bridge->handleMessage(QJsonValue(QJsonObject{{QStringLiteral("version"), 1},
                                                     {QStringLiteral("type"), QStringLiteral("auth.request")}}));
        bridge->handleMessage(message(R"({"version":2,"type":"auth.request"})"));
        bridge->handleMessage(message(R"({"version":1,"type":"auth.refresh"})"));
        bridge->setCurrentUrl(QUrl(QStringLiteral("https://pay.example.com/")));
        bridge->handleMessage(message(authRequest));
        bridge->handleMessage(message(R"({"version":1,"type":"purchase.success","orderId":"A-1"})"));
        QCOMPARE(scripts.count(), 0);
        QCOMPARE(payments.count(), 0);

        // Back on the shop, the same messages go through.
        bridge->setCurrentUrl(shopPage);
        bridge->handleMessage(message(authRequest));
        QCOMPARE(scripts.count(), 1);
    }

    // The payment report fires once per bridge, and only with an order id.
    void paymentIsReportedOnce()
    {
        auto bridge = makeBridge(nullptr); // the report needs no model
        QSignalSpy payments(bridge.get(), &PurchaseWebBridge::paymentSucceeded);
        // Posted by the shop's own document.
        const auto post = [](PurchaseWebBridge &to, const char *json) {
            to.handleMessage(message(json));
            to.documentOriginReported(PurchaseWebBridge::originText(shopOrigin));
        };

        post(*bridge, R"({"version":1,"type":"purchase.success"})");
        post(*bridge, R"({"version":1,"type":"purchase.success","orderId":null})");
        post(*bridge, R"({"version":1,"type":"purchase.success","orderId":""})");
        QCOMPARE(payments.count(), 0);
        QVERIFY(!bridge->successHandled());

        post(*bridge, R"({"version":1,"type":"purchase.success","orderId":" "})");
        QCOMPARE(payments.count(), 1);
        QVERIFY(bridge->successHandled());
        post(*bridge, R"({"version":1,"type":"purchase.success","orderId":"B-2"})");
        QCOMPARE(payments.count(), 1);

        // A new page (a new visit) reports again.
        auto next = makeBridge(nullptr);
        QSignalSpy nextPayments(next.get(), &PurchaseWebBridge::paymentSucceeded);
        post(*next, R"({"version":1,"type":"purchase.success","orderId":"C-3"})");
        QCOMPARE(nextPayments.count(), 1);
    }

    // The channel object hands the page's messages to the bridge unchanged.
    void channelObjectForwardsToTheBridge()
    {
        auto bridge = makeBridge(nullptr);
        QSignalSpy payments(bridge.get(), &PurchaseWebBridge::paymentSucceeded);
        QObject *endpoint = bridge->channelObject();
        QVERIFY(endpoint);
        // The page sees one operation and no property of the program.
        const QMetaObject *meta = endpoint->metaObject();
        QCOMPARE(meta->propertyCount(), QObject::staticMetaObject.propertyCount());
        QCOMPARE(meta->methodCount(), QObject::staticMetaObject.methodCount() + 1);
        QVERIFY(QMetaObject::invokeMethod(
            endpoint, "postMessage",
            Q_ARG(QJsonValue, message(R"({"version":1,"type":"purchase.success","orderId":"A-1"})"))));
        bridge->documentOriginReported(PurchaseWebBridge::originText(shopOrigin));
        QCOMPARE(payments.count(), 1);
    }
};

QTEST_MAIN(TestPurchaseBridge)
#include "tst_purchasebridge.moc"
