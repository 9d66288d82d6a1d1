// The service client end to end over loopback against the fake service:
// headers, decryption, handshake, renewal and fallback, status and envelope
// mapping, time limits and every endpoint.

#include "FakeService.h"
#include "P256TestVector.h"

#include "crypto/CryptoPrimitives.h"
#include "models/LenientJson.h"
#include "networking/APIClient.h"
#include "networking/ResponseCryptoError.h"
#include "networking/TransferError.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QDateTime>
#include <QEventLoop>
#include <QJsonArray>
#include <QRegularExpression>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <exception>
#include <functional>

// Reaches the client's private state and pipeline.
struct APIClientTestAccess
{
    static std::optional<ResponseEncryptionSession> session(const APIClient &client)
    {
        return client.m_encryptionSession;
    }
    static bool ecdhEnabled(const APIClient &client) { return client.m_ecdhEnabled; }
    static QString handshakePath(const APIClient &client) { return client.m_handshakePath; }
    static bool fallbackWindowOpen(const APIClient &client) { return client.fallbackWindowOpen(); }
    static void setHandshakeKeyPair(APIClient &client, std::function<P256KeyPair()> make)
    {
        client.m_handshakeKeyPair = std::move(make);
    }
    template<class T>
    static QCoro::Task<T> request(APIClient &client, QString path, QString token, bool allowSecurityRetry)
    {
        return client.request<T>(std::move(path), EmptyRequest {}, std::move(token), QStringLiteral("101"),
                                 allowSecurityRetry);
    }
};

namespace {

const QString bankId = QStringLiteral("101");
const QString menuPath = QStringLiteral("/common/getCardMenu");
const QString vipPath = QStringLiteral("/user/getUserVipExpireTimeList");
const QString collectPath = QStringLiteral("/userExam/manageUserCollect");

// The result of one awaited call: a value or the exception it threw.
template<class T>
struct Outcome
{
    std::optional<T> value;
    std::exception_ptr error;

    template<class E>
    [[nodiscard]] std::optional<E> errorAs() const
    {
        if (!error)
            return std::nullopt;
        try {
            std::rethrow_exception(error);
        } catch (const E &e) {
            return e;
        } catch (...) {
        }
        return std::nullopt;
    }

    [[nodiscard]] QString errorText() const
    {
        if (!error)
            return QStringLiteral("<no error>");
        try {
            std::rethrow_exception(error);
        } catch (const VuzoError &e) {
            return e.localizedDescription();
        } catch (const std::exception &e) {
            return QString::fromLocal8Bit(e.what());
        }
    }
};

// Runs the task to its end in a nested event loop (QCoro's waitFor loses
// exceptions), failing after 20 s.
template<class T>
Outcome<T> await(QCoro::Task<T> task)
{
    Outcome<T> outcome;
    QEventLoop loop;
    bool done = false;
    auto runner = [&]() -> QCoro::Task<> {
        try {
            outcome.value = co_await std::move(task);
        } catch (...) {
            outcome.error = std::current_exception();
        }
        done = true;
        loop.quit();
    };
    QCoro::Task<> running = runner();
    if (!done) {
        QTimer::singleShot(20'000, &loop, &QEventLoop::quit);
        loop.exec();
    }
    if (!done)
        qFatal("call did not finish");
    return outcome;
}

QStringList ourHeaderNames(const FakeRequest &request)
{
    static const QStringList ours = {
        QStringLiteral("Accept"),       QStringLiteral("Content-Type"),  QStringLiteral("X-Request-Id"),
        QStringLiteral("X-Platform"),   QStringLiteral("X-Channel-Id"),  QStringLiteral("X-Channel"),
        QStringLiteral("X-ExamBankId"), QStringLiteral("X-Type"),        QStringLiteral("X-MAC"),
        QStringLiteral("X-Version"),    QStringLiteral("X-Encrypt-Mode"), QStringLiteral("X-Session-Id"),
        QStringLiteral("X-EM-Token"),
    };
    QStringList names;
    for (const QByteArray &name : request.headerNames()) {
        const QString text = QString::fromLatin1(name);
        for (const QString &known : ours) {
            if (text.compare(known, Qt::CaseInsensitive) == 0)
                names.append(known);
        }
    }
    return names;
}

} // namespace

class tst_APIClient : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void headerSet();
    void deviceIdentifierIsCreatedOnce();
    void lineBreaksNeverReachAHeader_data();
    void lineBreaksNeverReachAHeader();
    void sessionIdWithALineBreakIsRefused();
    void replyEncodings_data();
    void replyEncodings();
    void handshakeEstablishesSession();
    void handshakeDerivesTheKnownSessionKey();
    void initConfigAlwaysFixed();
    void handshakeFailures_data();
    void handshakeFailures();
    void fallbackWindowBlocksHandshake();
    void sessionModeSwitchedOff();
    void handshakePathFromInitConfig_data();
    void handshakePathFromInitConfig();
    void renewalOnRejection_data();
    void renewalOnRejection();
    void renewalWithFailedHandshake();
    void threeSendBound_data();
    void threeSendBound();
    void rejectionWithoutRetryFallsBack();
    void sessionDecryptionFailureFallsBack();
    void fixedDecryptionFailureSurfaces();
    void initConfigNeverRenews_data();
    void initConfigNeverRenews();
    void initConfigAppliedBeforeEnvelope();
    void expiredSessionStillUsed();
    void concurrentRejectionsEachRenew();
    void statusAndEnvelopeMapping_data();
    void statusAndEnvelopeMapping();
    void missingDataRule();
    void invalidURL_data();
    void invalidURL();
    void transferErrors();
    void oversizedReplyIsRefused_data();
    void oversizedReplyIsRefused();
    void timeLimits_data();
    void timeLimits();
    void destroyedWhileWaiting();
    void diagnosticsStaySilentAndSecret();
    void endpoints();

private:
    // Runs the init-config call, which switches session mode as the fake says.
    Outcome<InitConfigResponse> initConfig();
    [[nodiscard]] FakeRequest onlyRequest(const QString &path) const;

    QTemporaryDir m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
    FakeService m_fake;
    std::unique_ptr<APIClient> m_client;
    QString m_token;
    qint64 m_monotonic = 1'000'000;
};

void tst_APIClient::initTestCase()
{
    QVERIFY(m_dir.isValid());
    m_defaults = std::make_unique<UserDefaults>(m_dir.filePath(QStringLiteral("defaults.json")));
    UserDefaults::setStandard(m_defaults.get());
    QVERIFY(m_fake.start());
}

void tst_APIClient::init()
{
    m_fake.reset();
    m_client = std::make_unique<APIClient>(m_fake.baseUrl().toString());
    m_client->setMonotonicClock([this] { return m_monotonic; });
    m_token = m_fake.issueToken();
}

void tst_APIClient::cleanup()
{
    m_client.reset();
    Clock::setShared(nullptr);
    QLoggingCategory::setFilterRules(QString());
}

Outcome<InitConfigResponse> tst_APIClient::initConfig()
{
    return await(m_client->getInitConfig(InitConfigRequest {bankId}, m_token, bankId));
}

FakeRequest tst_APIClient::onlyRequest(const QString &path) const
{
    const QList<FakeRequest> requests = m_fake.requests(path);
    if (requests.size() != 1)
        qFatal("expected one request to %s, got %d", qPrintable(path), int(requests.size()));
    return requests.first();
}

void tst_APIClient::headerSet()
{
    // Sign-in call: no token even though one is at hand; an empty bank id is still sent.
    QVERIFY(!await(m_client->sendVerifyCode(SendVerifyCodeRequest {QStringLiteral("13800138000")}, QString()))
                 .error);
    const FakeRequest signIn = onlyRequest(QStringLiteral("/user/sendVerifyCode"));
    QCOMPARE(ourHeaderNames(signIn),
             QStringList({"Accept", "Content-Type", "X-Request-Id", "X-Platform", "X-Channel-Id", "X-Channel",
                          "X-ExamBankId", "X-Type", "X-MAC", "X-Version", "X-Encrypt-Mode"}));
    QVERIFY(signIn.hasHeader("X-ExamBankId"));
    QCOMPARE(signIn.header("X-ExamBankId"), QByteArray());
    QCOMPARE(signIn.header("Accept"), QByteArray("application/json"));
    QCOMPARE(signIn.header("Content-Type"), QByteArray("application/json"));
    QCOMPARE(signIn.header("X-Platform"), QByteArray("Mac"));
    QCOMPARE(signIn.header("X-Channel-Id"), QByteArray("9"));
    QCOMPARE(signIn.header("X-Channel"), QByteArray("Mac"));
    QCOMPARE(signIn.header("X-Type"), QByteArray("2"));
    QCOMPARE(signIn.header("X-Version"), QByteArray("1.0.0"));
    QCOMPARE(signIn.header("X-Encrypt-Mode"), QByteArray("fixed"));
    QCOMPARE(signIn.method, QByteArray("POST"));

    // A call with a token carries it last.
    QVERIFY(!await(m_client->getUserVipExpireTimeList(m_token, bankId)).error);
    const FakeRequest withToken = onlyRequest(vipPath);
    QCOMPARE(ourHeaderNames(withToken).last(), QStringLiteral("X-EM-Token"));
    QCOMPARE(withToken.header("X-EM-Token"), m_token.toUtf8());
    QCOMPARE(withToken.header("X-ExamBankId"), bankId.toUtf8());
    QVERIFY(!withToken.hasHeader("X-Session-Id"));

    // An empty token is no token at all.
    QCOMPARE(await(m_client->getUserVipExpireTimeList(QString(), bankId)).errorAs<APIError>()->kind(),
             APIError::Kind::unauthorized);
    QVERIFY(!m_fake.requests(vipPath).last().hasHeader("X-EM-Token"));

    // Request ids are fresh upper-case UUIDs; the device id stays.
    const QRegularExpression uuid(QStringLiteral("^[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}$"));
    QVERIFY(uuid.match(QString::fromLatin1(signIn.header("X-Request-Id"))).hasMatch());
    QVERIFY(uuid.match(QString::fromLatin1(signIn.header("X-MAC"))).hasMatch());
    QVERIFY(signIn.header("X-Request-Id") != withToken.header("X-Request-Id"));
    QCOMPARE(signIn.header("X-MAC"), withToken.header("X-MAC"));
}

void tst_APIClient::deviceIdentifierIsCreatedOnce()
{
    const QString key = QStringLiteral("zevarud_mac_device_id");
    m_defaults->setValue(key, QString());
    const QString created = m_client->deviceIdentifier();
    QCOMPARE(created.size(), 36);
    QCOMPARE(m_defaults->string(key).value_or(QString()), created);
    QCOMPARE(m_client->deviceIdentifier(), created);

    m_defaults->setValue(key, QStringLiteral("existing-device"));
    QVERIFY(!await(m_client->getUserVipExpireTimeList(m_token, bankId)).error);
    QCOMPARE(onlyRequest(vipPath).header("X-MAC"), QByteArray("existing-device"));

    // A stored value that could not be sent is replaced like an empty one.
    m_defaults->setValue(key, QStringLiteral("edited\nX-Injected: 1"));
    const QString replaced = m_client->deviceIdentifier();
    QCOMPARE(replaced.size(), 36);
    QVERIFY(replaced != created);
    QCOMPARE(m_defaults->string(key).value_or(QString()), replaced);
}

void tst_APIClient::lineBreaksNeverReachAHeader_data()
{
    QTest::addColumn<QString>("tokenSuffix");
    QTest::addColumn<QString>("bank");

    QTest::newRow("token with CR LF") << QStringLiteral("\r\nX-Injected: 1") << bankId;
    QTest::newRow("token with a lone LF") << QStringLiteral("\nX-Injected: 1") << bankId;
    QTest::newRow("token with a lone CR") << QStringLiteral("\rX-Injected: 1") << bankId;
    QTest::newRow("bank id with LF") << QString() << QStringLiteral("101\nX-Injected: 1");
    QTest::newRow("bank id with CR LF") << QString() << QStringLiteral("101\r\nX-Injected: 1");
}

// A value from the service that would split a header is refused with a clear
// error before anything is sent.
void tst_APIClient::lineBreaksNeverReachAHeader()
{
    QFETCH(QString, tokenSuffix);
    QFETCH(QString, bank);
    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token + tokenSuffix, bank));
    QVERIFY(outcome.error);
    QVERIFY2(outcome.errorText().contains(QStringLiteral("换行")), qPrintable(outcome.errorText()));
    QCOMPARE(m_fake.requests(vipPath).size(), 0);
}

// A session whose id cannot be sent is no session: calls go on in fixed mode.
void tst_APIClient::sessionIdWithALineBreakIsRefused()
{
    m_fake.setHandshakeFields(QJsonObject{{QStringLiteral("sessionId"), QStringLiteral("s-1\r\nX-Injected: 1")}});
    QVERIFY(!initConfig().error);
    QCOMPARE(m_fake.handshakeCount(), 1);
    QVERIFY(!APIClientTestAccess::session(*m_client));
    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    QVERIFY2(!outcome.error, qPrintable(outcome.errorText()));
    const FakeRequest call = onlyRequest(vipPath);
    QCOMPARE(call.header("X-Encrypt-Mode"), QByteArray("fixed"));
    QVERIFY(!call.hasHeader("X-Session-Id"));
    QVERIFY(!call.hasHeader("X-Injected"));
}

void tst_APIClient::replyEncodings_data()
{
    QTest::addColumn<bool>("sessionMode");
    QTest::addColumn<int>("encoding");

    for (bool session : {false, true}) {
        const char *mode = session ? "session" : "fixed";
        QTest::addRow("%s, bare Base64", mode) << session << int(FakeReplyEncoding::automatic);
        QTest::addRow("%s, quoted Base64", mode) << session << int(FakeReplyEncoding::quotedBase64);
        QTest::addRow("%s, wrapped Base64", mode) << session << int(FakeReplyEncoding::wrappedBase64);
        QTest::addRow("%s, plain JSON", mode) << session << int(FakeReplyEncoding::plain);
    }
}

void tst_APIClient::replyEncodings()
{
    QFETCH(bool, sessionMode);
    QFETCH(int, encoding);

    m_fake.setSessionModeEnabled(sessionMode);
    QVERIFY(!initConfig().error);
    QCOMPARE(APIClientTestAccess::session(*m_client).has_value(), sessionMode);

    FakeScenario scenario;
    scenario.encoding = FakeReplyEncoding(encoding);
    m_fake.setScenario(menuPath, scenario);
    const Outcome<QList<CardMenu>> menus =
        await(m_client->getCardMenu(CardMenuRequest {bankId, 1}, m_token, bankId));
    QVERIFY2(!menus.error, qPrintable(menus.errorText()));
    QVERIFY(!menus.value->isEmpty());
    QCOMPARE(menus.value->first().name, QStringLiteral("言语理解与表达"));

    const FakeRequest request = onlyRequest(menuPath);
    QCOMPARE(request.header("X-Encrypt-Mode"), sessionMode ? QByteArray("ecdh") : QByteArray("fixed"));
    QCOMPARE(request.hasHeader("X-Session-Id"), sessionMode);
    const QString expectedMode = encoding == int(FakeReplyEncoding::plain) ? QStringLiteral("plain")
                                 : sessionMode                              ? QStringLiteral("ecdh")
                                                                            : QStringLiteral("fixed");
    QCOMPARE(request.replyMode, expectedMode);
}

void tst_APIClient::handshakeEstablishesSession()
{
    QVERIFY(!initConfig().error);
    QCOMPARE(m_fake.handshakeCount(), 1);
    QCOMPARE(m_fake.successfulHandshakeCount(), 1);
    const std::optional<ResponseEncryptionSession> session = APIClientTestAccess::session(*m_client);
    QVERIFY(session);
    QCOMPARE(session->aesKey.size(), 32);
    QCOMPARE(session->baseURL, m_fake.baseUrl().toString());
    QVERIFY(APIClientTestAccess::ecdhEnabled(*m_client));

    // The handshake: headers 1 to 10 only, the key as 88 Base64 characters of a P-256 point.
    const FakeRequest handshake = onlyRequest(FakeService::defaultHandshakePath);
    QCOMPARE(ourHeaderNames(handshake),
             QStringList({"Accept", "Content-Type", "X-Request-Id", "X-Platform", "X-Channel-Id", "X-Channel",
                          "X-ExamBankId", "X-Type", "X-MAC", "X-Version"}));
    QCOMPARE(handshake.header("X-ExamBankId"), bankId.toUtf8());
    const QJsonObject body = handshake.json.toObject();
    QCOMPARE(body.keys(), QStringList {QStringLiteral("clientPublicKey")});
    const QByteArray key = body.value(QLatin1String("clientPublicKey")).toString().toLatin1();
    QCOMPARE(key.size(), 88);
    QVERIFY(CryptoPrimitives::isValidP256PublicKey(CryptoPrimitives::base64DecodeStrict(key).value_or(QByteArray())));

    // Business calls now run in session mode with that session id.
    QVERIFY(!await(m_client->getUserVipExpireTimeList(m_token, bankId)).error);
    const FakeRequest call = onlyRequest(vipPath);
    QCOMPARE(call.header("X-Encrypt-Mode"), QByteArray("ecdh"));
    QCOMPARE(call.header("X-Session-Id"), session->sessionId.toUtf8());
    QCOMPARE(call.replyMode, QStringLiteral("ecdh"));
}

// The agreement on a published vector, so that a fault shared with the fake
// service (which derives with the same code) cannot pass: the client's scalar
// and the service's point are NIST CAVS ECC CDH P-256, COUNT = 0, whose shared
// secret is 46fc6210…97bd7b. The expected key was computed outside this
// program: `openssl kdf -keylen 32 -kdfopt digest:SHA256 -kdfopt hexkey:<Z>
// -kdfopt salt:sess-5f1c2a9e -kdfopt info:quiz-svc-key-v1 HKDF`.
void tst_APIClient::handshakeDerivesTheKnownSessionKey()
{
    const QByteArray clientScalar = P256TestVector::privateKey();
    const QByteArray clientPublic = P256TestVector::ownPublic();
    const QByteArray serverPublic = P256TestVector::peerPublic();
    const QByteArray expectedKey
        = QByteArray::fromHex("37bf9c6f33bdf18bb5b2858200396a57481a9f6996293f086675ef0e9c1e140e");

    APIClientTestAccess::setHandshakeKeyPair(*m_client, [&] { return P256KeyPair::fromPrivateKey(clientScalar); });
    m_fake.setHandshakeFields(QJsonObject{{QStringLiteral("sessionId"), QStringLiteral("sess-5f1c2a9e")},
                                          {QStringLiteral("serverPublicKey"), QString::fromLatin1(serverPublic.toBase64())}});
    QVERIFY(!initConfig().error);

    const FakeRequest handshake = onlyRequest(FakeService::defaultHandshakePath);
    QCOMPARE(handshake.json.toObject().value(QLatin1String("clientPublicKey")).toString(),
             QString::fromLatin1(clientPublic.toBase64()));
    const std::optional<ResponseEncryptionSession> session = APIClientTestAccess::session(*m_client);
    QVERIFY(session);
    QCOMPARE(session->sessionId, QStringLiteral("sess-5f1c2a9e"));
    QCOMPARE(session->aesKey.toHex(), expectedKey.toHex());
}

void tst_APIClient::initConfigAlwaysFixed()
{
    QVERIFY(!initConfig().error);
    QVERIFY(APIClientTestAccess::session(*m_client));
    m_fake.clearLog();
    // A second init-config goes out in fixed mode and keeps the session it finds.
    QVERIFY(!initConfig().error);
    const FakeRequest request = onlyRequest(FakeService::initConfigPath);
    QCOMPARE(request.header("X-Encrypt-Mode"), QByteArray("fixed"));
    QVERIFY(!request.hasHeader("X-Session-Id"));
    QCOMPARE(m_fake.handshakeCount(), 0);
}

void tst_APIClient::handshakeFailures_data()
{
    QTest::addColumn<int>("keyFault");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("rawBody");
    QTest::addColumn<int>("data"); // FakeScenario::Data

    const int none = int(FakeHandshakeKeyFault::none);
    const int normal = int(FakeScenario::Data::normal);
    QTest::newRow("HTTP 500") << none << 500 << QByteArray() << normal;
    QTest::newRow("HTTP 404") << none << 404 << QByteArray() << normal;
    QTest::newRow("success without data") << none << 0 << QByteArray() << int(FakeScenario::Data::missing);
    QTest::newRow("data null") << none << 0 << QByteArray() << int(FakeScenario::Data::null);
    QTest::newRow("success false") << none << 0 << QByteArray(R"({"success":false})") << normal;
    QTest::newRow("success as string") << none << 0 << QByteArray(R"({"success":"true","data":null})") << normal;
    QTest::newRow("not JSON") << none << 0 << QByteArray("<html>busy</html>") << normal;
    QTest::newRow("compressed server key") << int(FakeHandshakeKeyFault::compressed) << 0 << QByteArray() << normal;
    QTest::newRow("server key prefix 0x02") << int(FakeHandshakeKeyFault::wrongPrefix) << 0 << QByteArray()
                                            << normal;
    QTest::newRow("line break in server key") << int(FakeHandshakeKeyFault::lineBreak) << 0 << QByteArray()
                                              << normal;
    QTest::newRow("server key off the curve") << int(FakeHandshakeKeyFault::offCurve) << 0 << QByteArray()
                                              << normal;
}

void tst_APIClient::handshakeFailures()
{
    QFETCH(int, keyFault);
    QFETCH(int, status);
    QFETCH(QByteArray, rawBody);
    QFETCH(int, data);

    m_fake.setHandshakeKeyFault(FakeHandshakeKeyFault(keyFault));
    FakeScenario scenario;
    scenario.httpStatus = status;
    if (!rawBody.isEmpty())
        scenario.rawBody = rawBody;
    scenario.data = FakeScenario::Data(data);
    m_fake.setScenario(FakeService::defaultHandshakePath, scenario);

    // The failure stays inside the client: init-config succeeds, no session, window open.
    const Outcome<InitConfigResponse> outcome = initConfig();
    QVERIFY2(!outcome.error, qPrintable(outcome.errorText()));
    QCOMPARE(m_fake.handshakeCount(), 1);
    QVERIFY(!APIClientTestAccess::session(*m_client));
    QVERIFY(APIClientTestAccess::fallbackWindowOpen(*m_client));

    QVERIFY(!await(m_client->getUserVipExpireTimeList(m_token, bankId)).error);
    QCOMPARE(onlyRequest(vipPath).header("X-Encrypt-Mode"), QByteArray("fixed"));
}

void tst_APIClient::fallbackWindowBlocksHandshake()
{
    m_fake.failWithStatus(FakeService::defaultHandshakePath, 500, 1);
    QVERIFY(!initConfig().error);
    QCOMPARE(m_fake.handshakeCount(), 1);

    // Inside the 600-s window: session mode stays on, but no handshake, even
    // when the wall clock jumps a day ahead (the window runs on a steady clock).
    m_monotonic += 599'000;
    ManualClock dayLater(QDateTime::currentMSecsSinceEpoch() + 86'400'000);
    Clock::setShared(&dayLater);
    QVERIFY(!initConfig().error);
    Clock::setShared(nullptr);
    QVERIFY(APIClientTestAccess::ecdhEnabled(*m_client));
    QVERIFY(!APIClientTestAccess::session(*m_client));
    QCOMPARE(m_fake.handshakeCount(), 1);

    m_monotonic += 1'000;
    QVERIFY(!initConfig().error);
    QCOMPARE(m_fake.handshakeCount(), 2);
    QVERIFY(APIClientTestAccess::session(*m_client));
    QVERIFY(!APIClientTestAccess::fallbackWindowOpen(*m_client));
}

void tst_APIClient::sessionModeSwitchedOff()
{
    QVERIFY(!initConfig().error);
    QVERIFY(APIClientTestAccess::session(*m_client));
    m_fake.setSessionModeEnabled(false);
    QVERIFY(!initConfig().error);
    QVERIFY(!APIClientTestAccess::session(*m_client));
    QVERIFY(!APIClientTestAccess::ecdhEnabled(*m_client));

    // An unreadable init-config reply switches it off too.
    m_fake.setSessionModeEnabled(true);
    QVERIFY(!initConfig().error);
    QVERIFY(APIClientTestAccess::session(*m_client));
    FakeScenario garbage;
    garbage.rawBody = QByteArrayLiteral("{\"success\":true,\"data\":{\"security\":{\"ecdhEnabled\":\"yes\"}}}");
    m_fake.setScenario(FakeService::initConfigPath, garbage);
    QVERIFY(initConfig().errorAs<DecodingError>());
    QVERIFY(!APIClientTestAccess::session(*m_client));
    QVERIFY(!APIClientTestAccess::ecdhEnabled(*m_client));
}

void tst_APIClient::handshakePathFromInitConfig_data()
{
    QTest::addColumn<QJsonValue>("announced");
    QTest::addColumn<QString>("used");

    const QString standard = FakeService::defaultHandshakePath;
    QTest::newRow("another path") << QJsonValue(QStringLiteral("/security/v2/handshake"))
                                  << QStringLiteral("/security/v2/handshake");
    QTest::newRow("empty keeps") << QJsonValue(QString()) << standard;
    QTest::newRow("absent keeps") << QJsonValue(QJsonValue::Undefined) << standard;
    QTest::newRow("number keeps") << QJsonValue(7) << standard;
    QTest::newRow("no leading slash") << QJsonValue(QStringLiteral("security/handshake")) << standard;
    QTest::newRow("user info to another host") << QJsonValue(QStringLiteral("@evil.example/handshake")) << standard;
    QTest::newRow("another port") << QJsonValue(QStringLiteral("1/handshake")) << standard;
    QTest::newRow("absolute address") << QJsonValue(QStringLiteral("https://evil.example/handshake")) << standard;
    QTest::newRow("not a URL") << QJsonValue(QStringLiteral("/hand shake")) << standard;
}

void tst_APIClient::handshakePathFromInitConfig()
{
    QFETCH(QJsonValue, announced);
    QFETCH(QString, used);

    QJsonObject security {{QStringLiteral("ecdhEnabled"), true}};
    if (!announced.isUndefined())
        security.insert(QStringLiteral("handshakePath"), announced);
    const QJsonObject data {{QStringLiteral("examBankList"), QJsonArray()}, {QStringLiteral("security"), security}};
    m_fake.setData(FakeService::initConfigPath, data);
    if (used != FakeService::defaultHandshakePath)
        m_fake.setHandshakePath(used);

    QVERIFY(!initConfig().error);
    QCOMPARE(APIClientTestAccess::handshakePath(*m_client), used);
    QCOMPARE(m_fake.requests(used).size(), 1);
    QVERIFY(APIClientTestAccess::session(*m_client));

    // The handshake path itself never gets a session.
    const Outcome<bool> probe = await(APIClientTestAccess::request<bool>(*m_client, used, m_token, true));
    Q_UNUSED(probe);
    QCOMPARE(m_fake.requests(used).last().header("X-Encrypt-Mode"), QByteArray("fixed"));
}

void tst_APIClient::renewalOnRejection_data()
{
    QTest::addColumn<int>("rejection");
    QTest::newRow("HTTP 430") << int(FakeSessionRejection::httpStatus);
    QTest::newRow("code 430") << int(FakeSessionRejection::envelopeCode);
}

void tst_APIClient::renewalOnRejection()
{
    QFETCH(int, rejection);
    m_fake.setSessionRejection(FakeSessionRejection(rejection));
    QVERIFY(!initConfig().error);
    const QString oldSession = APIClientTestAccess::session(*m_client)->sessionId;
    m_fake.expireSessions();
    m_fake.clearLog();

    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    QVERIFY2(!outcome.error, qPrintable(outcome.errorText()));
    QCOMPARE(m_fake.handshakeCount(), 1);
    const QList<FakeRequest> sends = m_fake.requests(vipPath);
    QCOMPARE(sends.size(), 2);
    QCOMPARE(sends.at(0).header("X-Session-Id"), oldSession.toUtf8());
    QCOMPARE(sends.at(1).header("X-Encrypt-Mode"), QByteArray("ecdh"));
    QVERIFY(sends.at(1).header("X-Session-Id") != oldSession.toUtf8());
    QVERIFY(sends.at(0).header("X-Request-Id") != sends.at(1).header("X-Request-Id"));
    QVERIFY(!APIClientTestAccess::fallbackWindowOpen(*m_client));
}

void tst_APIClient::renewalWithFailedHandshake()
{
    QVERIFY(!initConfig().error);
    m_fake.expireSessions();
    m_fake.failWithStatus(FakeService::defaultHandshakePath, 503);
    m_fake.clearLog();

    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    QVERIFY2(!outcome.error, qPrintable(outcome.errorText()));
    const QList<FakeRequest> sends = m_fake.requests(vipPath);
    QCOMPARE(sends.size(), 2);
    QCOMPARE(sends.at(1).header("X-Encrypt-Mode"), QByteArray("fixed"));
    QVERIFY(APIClientTestAccess::fallbackWindowOpen(*m_client));
}

void tst_APIClient::threeSendBound_data()
{
    QTest::addColumn<bool>("byCode");
    QTest::newRow("HTTP 430 every time") << false;
    QTest::newRow("code 430 every time") << true;
}

void tst_APIClient::threeSendBound()
{
    QFETCH(bool, byCode);
    QVERIFY(!initConfig().error);
    if (byCode)
        m_fake.failWithCode(vipPath, QStringLiteral("430"), QStringLiteral("会话已失效"));
    else
        m_fake.failWithStatus(vipPath, 430);
    m_fake.clearLog();

    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    // The third send is in fixed mode, where 430 is an ordinary failure.
    if (byCode) {
        const std::optional<APIError> error = outcome.errorAs<APIError>();
        QVERIFY(error);
        QCOMPARE(error->kind(), APIError::Kind::api);
        QCOMPARE(error->code(), QStringLiteral("430"));
        QCOMPARE(error->localizedDescription(), QStringLiteral("会话已失效"));
    } else {
        QCOMPARE(outcome.errorText(), QStringLiteral("服务器错误（HTTP 430）"));
    }
    const QList<FakeRequest> sends = m_fake.requests(vipPath);
    QCOMPARE(sends.size(), 3);
    QCOMPARE(sends.at(0).header("X-Encrypt-Mode"), QByteArray("ecdh"));
    QCOMPARE(sends.at(1).header("X-Encrypt-Mode"), QByteArray("ecdh"));
    QVERIFY(sends.at(0).header("X-Session-Id") != sends.at(1).header("X-Session-Id"));
    QCOMPARE(sends.at(2).header("X-Encrypt-Mode"), QByteArray("fixed"));
    QCOMPARE(m_fake.handshakeCount(), 1);
    QVERIFY(!APIClientTestAccess::session(*m_client));
    QVERIFY(APIClientTestAccess::fallbackWindowOpen(*m_client));

    // The window is open now: a new init-config starts no handshake.
    QVERIFY(!initConfig().error);
    QCOMPARE(m_fake.handshakeCount(), 1);
}

void tst_APIClient::rejectionWithoutRetryFallsBack()
{
    // A call that may not renew: a 430 drops the session, opens the window and
    // resends once in fixed mode, with no handshake.
    QVERIFY(!initConfig().error);
    m_fake.failWithStatus(vipPath, 430, 1);
    m_fake.clearLog();
    const Outcome<VIPStatusResponse> outcome =
        await(APIClientTestAccess::request<VIPStatusResponse>(*m_client, vipPath, m_token, false));
    QVERIFY2(outcome.value, qPrintable(outcome.errorText()));
    const QList<FakeRequest> sends = m_fake.requests(vipPath);
    QCOMPARE(sends.size(), 2);
    QCOMPARE(sends.at(0).header("X-Encrypt-Mode"), QByteArray("ecdh"));
    QCOMPARE(sends.at(1).header("X-Encrypt-Mode"), QByteArray("fixed"));
    QCOMPARE(m_fake.handshakeCount(), 0);
    QVERIFY(!APIClientTestAccess::session(*m_client));
    QVERIFY(APIClientTestAccess::fallbackWindowOpen(*m_client));
    m_monotonic += 600'000;
    QVERIFY(!APIClientTestAccess::fallbackWindowOpen(*m_client));
}

void tst_APIClient::sessionDecryptionFailureFallsBack()
{
    QVERIFY(!initConfig().error);
    FakeScenario corrupt;
    corrupt.encoding = FakeReplyEncoding::corruptPadding;
    corrupt.onlyFor = FakeRequestMode::session;
    m_fake.setScenario(vipPath, corrupt);
    m_fake.clearLog();

    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    QVERIFY2(!outcome.error, qPrintable(outcome.errorText()));
    const QList<FakeRequest> sends = m_fake.requests(vipPath);
    QCOMPARE(sends.size(), 2);
    QCOMPARE(sends.at(1).header("X-Encrypt-Mode"), QByteArray("fixed"));
    QCOMPARE(m_fake.handshakeCount(), 0);
    QVERIFY(APIClientTestAccess::fallbackWindowOpen(*m_client));
}

void tst_APIClient::fixedDecryptionFailureSurfaces()
{
    m_fake.setSessionModeEnabled(false);
    QVERIFY(!initConfig().error);
    FakeScenario corrupt;
    corrupt.encoding = FakeReplyEncoding::corruptPadding;
    m_fake.setScenario(vipPath, corrupt);

    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    const std::optional<ResponseCryptoError> error = outcome.errorAs<ResponseCryptoError>();
    QVERIFY(error);
    QCOMPARE(error->kind(), ResponseCryptoError::Kind::decryptionFailed);
    QCOMPARE(error->localizedDescription(), QStringLiteral("响应解密失败（-4304）"));
    QCOMPARE(m_fake.sendCount(vipPath), 1);
}

void tst_APIClient::initConfigNeverRenews_data()
{
    QTest::addColumn<bool>("byCode");
    QTest::addColumn<QString>("text");
    QTest::newRow("HTTP 430") << false << QStringLiteral("服务器错误（HTTP 430）");
    QTest::newRow("code 430") << true << QStringLiteral("会话已失效");
}

void tst_APIClient::initConfigNeverRenews()
{
    QFETCH(bool, byCode);
    QFETCH(QString, text);
    QVERIFY(!initConfig().error);
    if (byCode)
        m_fake.failWithCode(FakeService::initConfigPath, QStringLiteral("430"), QStringLiteral("会话已失效"));
    else
        m_fake.failWithStatus(FakeService::initConfigPath, 430);
    m_fake.clearLog();

    const Outcome<InitConfigResponse> outcome = initConfig();
    QCOMPARE(outcome.errorText(), text);
    QCOMPARE(m_fake.sendCount(FakeService::initConfigPath), 1);
    QCOMPARE(m_fake.handshakeCount(), 0);
}

void tst_APIClient::initConfigAppliedBeforeEnvelope()
{
    // A failed envelope that still carries the security settings: session mode
    // is switched on and the handshake runs before the failure is reported.
    FakeScenario failed;
    failed.rawBody = QByteArrayLiteral(
        R"({"success":false,"errCode":"500","errMessage":"稍后再试","data":{"security":{"ecdhEnabled":true}}})");
    m_fake.setScenario(FakeService::initConfigPath, failed);
    const Outcome<InitConfigResponse> outcome = initConfig();
    QVERIFY(outcome.errorAs<DecodingError>()); // its data is not an init-config record
    QCOMPARE(m_fake.handshakeCount(), 1);
    QVERIFY(APIClientTestAccess::session(*m_client));

    m_fake.failWithCode(FakeService::initConfigPath, QStringLiteral("E9"), QStringLiteral("稍后再试"));
    const std::optional<APIError> error = initConfig().errorAs<APIError>();
    QVERIFY(error);
    QCOMPARE(error->code(), QStringLiteral("E9"));
    // No "data.security": session mode is switched off before the error surfaces.
    QVERIFY(!APIClientTestAccess::session(*m_client));
}

void tst_APIClient::expiredSessionStillUsed()
{
    QVERIFY(!initConfig().error);
    const std::optional<ResponseEncryptionSession> session = APIClientTestAccess::session(*m_client);
    QVERIFY(session);
    QVERIFY(session->expiresAt > Clock::shared().nowMilliseconds());
    // Days later by the wall clock: the client does not look at the expiry.
    ManualClock later(session->expiresAt + 86'400'000);
    Clock::setShared(&later);
    m_fake.clearLog();
    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    Clock::setShared(nullptr);
    QVERIFY2(!outcome.error, qPrintable(outcome.errorText()));
    QCOMPARE(m_fake.requests(vipPath).first().header("X-Session-Id"), session->sessionId.toUtf8());
}

void tst_APIClient::concurrentRejectionsEachRenew()
{
    QVERIFY(!initConfig().error);
    m_fake.expireSessions();
    m_fake.clearLog();
    // Both calls are rejected before either renewal completes; each runs its own handshake.
    m_fake.holdReplies(vipPath);
    QEventLoop loop;
    int finished = 0;
    int failures = 0;
    auto call = [&]() -> QCoro::Task<> {
        try {
            co_await m_client->getUserVipExpireTimeList(m_token, bankId);
        } catch (...) {
            ++failures;
        }
        if (++finished == 2)
            loop.quit();
    };
    QCoro::Task<> first = call();
    QCoro::Task<> second = call();
    QTRY_COMPARE(m_fake.heldReplyCount(vipPath), 2);
    m_fake.releaseReplies(vipPath);
    QTimer::singleShot(20'000, &loop, &QEventLoop::quit);
    if (finished < 2)
        loop.exec();
    QCOMPARE(finished, 2);
    QCOMPARE(failures, 0);
    QCOMPARE(m_fake.handshakeCount(), 2);
    QCOMPARE(m_fake.sendCount(vipPath), 4);
}

void tst_APIClient::statusAndEnvelopeMapping_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("rawBody");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");

    const QString vip = QStringLiteral("当前题库需要会员权限");
    QTest::newRow("401") << 401 << QByteArray() << "unauthorized" << QStringLiteral("登录已失效，请重新登录");
    QTest::newRow("401 with undecryptable body") << 401 << QByteArray("@@@") << "unauthorized"
                                                 << QStringLiteral("登录已失效，请重新登录");
    QTest::newRow("403") << 403 << QByteArray() << "vipRequired" << vip;
    QTest::newRow("426 with undecryptable body") << 426 << QByteArray("@@@") << "vipRequired" << vip;
    QTest::newRow("500") << 500 << QByteArray() << "server" << QStringLiteral("服务器错误（HTTP 500）");
    QTest::newRow("502") << 502 << QByteArray() << "server" << QStringLiteral("服务器错误（HTTP 502）");
    QTest::newRow("404") << 404 << QByteArray() << "server" << QStringLiteral("服务器错误（HTTP 404）");
    QTest::newRow("430 without a session") << 430 << QByteArray() << "server"
                                           << QStringLiteral("服务器错误（HTTP 430）");
    QTest::newRow("204 with empty body") << 204 << QByteArray() << "crypto"
                                         << QStringLiteral("服务器返回了无法识别的数据");
    QTest::newRow("code 403") << 200 << QByteArray(R"({"success":false,"errCode":"403","errMessage":"x"})")
                              << "vipRequired" << vip;
    QTest::newRow("code 426") << 200 << QByteArray(R"({"success":false,"errCode":"426"})") << "vipRequired" << vip;
    QTest::newRow("code 430 without a session") << 200 << QByteArray(R"({"success":false,"errCode":"430","errMessage":"会话已失效"})")
                                                << "api 430" << QStringLiteral("会话已失效");
    QTest::newRow("code 401 is not unauthorized") << 200 << QByteArray(R"({"success":false,"errCode":"401","errMessage":"请登录"})")
                                                  << "api 401" << QStringLiteral("请登录");
    QTest::newRow("no code, no message") << 200 << QByteArray(R"({"success":false})") << "api unknown"
                                         << QStringLiteral("请求失败");
    QTest::newRow("empty message stays empty") << 200 << QByteArray(R"({"success":false,"errCode":"E7","errMessage":""})")
                                               << "api E7" << QString();
    QTest::newRow("code as a number") << 200 << QByteArray(R"({"success":false,"errCode":430})") << "decoding"
                                      << QString();
    QTest::newRow("plain body that is not JSON") << 200 << QByteArray("{oops") << "decoding" << QString();
}

void tst_APIClient::statusAndEnvelopeMapping()
{
    QFETCH(int, status);
    QFETCH(QByteArray, rawBody);
    QFETCH(QString, kind);
    QFETCH(QString, text);

    FakeScenario scenario;
    scenario.httpStatus = status;
    if (!rawBody.isEmpty() || status == 204)
        scenario.rawBody = rawBody;
    m_fake.setScenario(collectPath, scenario);
    const Outcome<bool> outcome = await(m_client->manageUserCollect(
        ManageCollectionRequest {bankId, QStringLiteral("q101-001"), true}, m_token, bankId));
    QVERIFY(outcome.error);
    QCOMPARE(m_fake.sendCount(collectPath), 1);

    QString actualKind;
    if (const auto error = outcome.errorAs<APIError>()) {
        switch (error->kind()) {
        case APIError::Kind::unauthorized:
            actualKind = QStringLiteral("unauthorized");
            break;
        case APIError::Kind::vipRequired:
            actualKind = QStringLiteral("vipRequired");
            break;
        case APIError::Kind::server:
            actualKind = QStringLiteral("server");
            QCOMPARE(error->statusCode(), status);
            break;
        case APIError::Kind::api:
            actualKind = QStringLiteral("api ") + error->code();
            break;
        default:
            actualKind = QStringLiteral("other");
        }
        QCOMPARE(error->localizedDescription(), text);
    } else if (outcome.errorAs<ResponseCryptoError>()) {
        actualKind = QStringLiteral("crypto");
        QCOMPARE(outcome.errorText(), text);
    } else if (outcome.errorAs<DecodingError>()) {
        actualKind = QStringLiteral("decoding");
    }
    QCOMPARE(actualKind, kind);
}

void tst_APIClient::missingDataRule()
{
    FakeScenario missing;
    missing.data = FakeScenario::Data::missing;
    FakeScenario null;
    null.data = FakeScenario::Data::null;

    // Truth-valued calls: absent or null data is true; false stays false.
    m_fake.setScenario(collectPath, missing);
    const ManageCollectionRequest collect {bankId, QStringLiteral("q101-001"), true};
    QCOMPARE(await(m_client->manageUserCollect(collect, m_token, bankId)).value, std::optional(true));
    m_fake.setScenario(QStringLiteral("/userExam/delUserExamLog"), null);
    QCOMPARE(await(m_client->delUserExamLog(DeletePracticeHistoryRequest {{QStringLiteral("nope")}}, m_token, bankId))
                 .value,
             std::optional(true));
    m_fake.clearScenario(collectPath);
    m_fake.setData(collectPath, false);
    QCOMPARE(await(m_client->manageUserCollect(collect, m_token, bankId)).value, std::optional(false));
    m_fake.setData(collectPath, 1);
    QVERIFY(await(m_client->manageUserCollect(collect, m_token, bankId)).errorAs<DecodingError>());

    // Records and lists: missing data is an error, an empty list is a list.
    m_fake.setScenario(menuPath, missing);
    QCOMPARE(await(m_client->getCardMenu(CardMenuRequest {bankId, 1}, m_token, bankId)).errorText(),
             QStringLiteral("服务器没有返回业务数据"));
    m_fake.setScenario(vipPath, null);
    QCOMPARE(await(m_client->getUserVipExpireTimeList(m_token, bankId)).errorAs<APIError>()->kind(),
             APIError::Kind::missingData);
    m_fake.clearScenario(menuPath);
    m_fake.setData(menuPath, QJsonArray());
    const Outcome<QList<CardMenu>> empty = await(m_client->getCardMenu(CardMenuRequest {bankId, 1}, m_token, bankId));
    QVERIFY(empty.value && empty.value->isEmpty());
    m_fake.setData(QStringLiteral("/exam/getQuestionByMenuId"), QJsonObject());
    QVERIFY(await(m_client->getQuestionByMenuId(QuestionRequest {bankId, QStringLiteral("m101-11"), 5, 0}, m_token,
                                                bankId))
                .errorAs<DecodingError>());
}

void tst_APIClient::invalidURL_data()
{
    QTest::addColumn<QString>("path");
    QTest::newRow("space") << QStringLiteral("/user/a b");
    QTest::newRow("bad escape") << QStringLiteral("/user/%zz");
    QTest::newRow("joined into the port") << QStringLiteral("x/user");
}

void tst_APIClient::invalidURL()
{
    QFETCH(QString, path);
    const Outcome<bool> outcome = await(APIClientTestAccess::request<bool>(*m_client, path, m_token, true));
    QCOMPARE(outcome.errorText(), QStringLiteral("接口地址无效"));
    QCOMPARE(m_fake.requests().size(), 0);
}

void tst_APIClient::transferErrors()
{
    // A port with nothing listening: the transfer's own error, no HTTP status.
    QTcpServer probe;
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const quint16 closedPort = probe.serverPort();
    probe.close();
    APIClient client(QStringLiteral("http://127.0.0.1:%1").arg(closedPort));
    const Outcome<VIPStatusResponse> outcome = await(client.getUserVipExpireTimeList(m_token, bankId));
    const std::optional<TransferError> error = outcome.errorAs<TransferError>();
    QVERIFY(error);
    QCOMPARE(error->error(), QNetworkReply::ConnectionRefusedError);
    QCOMPARE(error->localizedDescription(), QStringLiteral("无法连接到服务器，请检查网络连接"));
}

void tst_APIClient::oversizedReplyIsRefused_data()
{
    QTest::addColumn<bool>("announced");
    QTest::newRow("length announced") << true;
    QTest::newRow("length unknown") << false;
}

void tst_APIClient::oversizedReplyIsRefused()
{
    QFETCH(bool, announced);
    // A server that answers with a body past the bound: announced up front,
    // or streamed without a length until the connection closes.
    QTcpServer server;
    QVERIFY(server.listen(QHostAddress::LocalHost));
    const qint64 bodySize = APIClient::maxReplyBytes + 8 * 1024 * 1024;
    qint64 written = 0;
    QPointer<QTcpSocket> peer;
    const QByteArray chunk(256 * 1024, 'x');
    const auto feed = [&] {
        // Keeps at most a few chunks queued, so the client's reading paces it.
        while (peer && written < bodySize && peer->bytesToWrite() < 4 * chunk.size()) {
            peer->write(chunk);
            written += chunk.size();
        }
        if (peer && written >= bodySize && !announced)
            peer->disconnectFromHost();
    };
    connect(&server, &QTcpServer::newConnection, this, [&] {
        peer = server.nextPendingConnection();
        connect(peer, &QTcpSocket::readyRead, peer, [&] {
            if (peer->property("answered").toBool())
                return;
            peer->readAll();
            peer->setProperty("answered", true);
            QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: application/json\r\n";
            head += announced ? "Content-Length: " + QByteArray::number(bodySize) + "\r\n" : "Connection: close\r\n";
            peer->write(head + "\r\n");
            feed();
        });
        connect(peer, &QTcpSocket::bytesWritten, peer, feed);
    });

    APIClient client(QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()));
    const Outcome<VIPStatusResponse> outcome = await(client.getUserVipExpireTimeList(m_token, bankId));
    const std::optional<TransferError> error = outcome.errorAs<TransferError>();
    QVERIFY2(error, qPrintable(outcome.errorText()));
    QVERIFY(error->isReplyTooLarge());
    QVERIFY(!error->isTimeout());
    // Cut off by the client: a failure of the reply, not a cancellation.
    QVERIFY(!error->isCancellation());
    QVERIFY(error->error() != QNetworkReply::OperationCanceledError);
    QCOMPARE(error->localizedDescription(), QStringLiteral("服务器返回的数据过大（超过 32 MB），已停止接收"));
    // An announced length is refused at the headers, long before the end.
    // (Without one, how far the transfer runs past the bound before the
    // abort lands depends on the network thread's read-ahead.)
    if (announced)
        QVERIFY2(written < bodySize, qPrintable(QString::number(written)));
}

void tst_APIClient::timeLimits_data()
{
    QTest::addColumn<int>("idleMs");
    QTest::addColumn<int>("transferMs");
    QTest::addColumn<int>("requestMs");
    QTest::newRow("idle limit") << 300 << 60'000 << 60'000;
    QTest::newRow("transfer limit") << 60'000 << 300 << 60'000;
    QTest::newRow("request limit") << 60'000 << 60'000 << 300;
}

void tst_APIClient::timeLimits()
{
    QFETCH(int, idleMs);
    QFETCH(int, transferMs);
    QFETCH(int, requestMs);
    m_client->setTimeouts({idleMs, transferMs, requestMs});
    m_fake.holdReplies(vipPath);
    const Outcome<VIPStatusResponse> outcome = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    const std::optional<TransferError> error = outcome.errorAs<TransferError>();
    QVERIFY2(error, qPrintable(outcome.errorText()));
    QVERIFY(error->isTimeout());
    QCOMPARE(error->localizedDescription(), QStringLiteral("网络请求超时，请稍后重试"));
    QCOMPARE(m_fake.sendCount(vipPath), 1);
    m_fake.releaseReplies(vipPath);
}

void tst_APIClient::destroyedWhileWaiting()
{
    // A client that goes away under a waiting call ends it with a cancelled
    // transfer instead of leaving it hanging or touching freed state.
    QVERIFY(!initConfig().error);
    m_fake.holdReplies(vipPath);
    Outcome<VIPStatusResponse> outcome;
    bool done = false;
    auto call = [&]() -> QCoro::Task<> {
        try {
            outcome.value = co_await m_client->getUserVipExpireTimeList(m_token, bankId);
        } catch (...) {
            outcome.error = std::current_exception();
        }
        done = true;
    };
    QCoro::Task<> running = call();
    QTRY_COMPARE(m_fake.heldReplyCount(vipPath), 1);
    m_client.reset();
    QTRY_VERIFY(done);
    const std::optional<TransferError> error = outcome.errorAs<TransferError>();
    QVERIFY(error);
    QCOMPARE(error->error(), QNetworkReply::OperationCanceledError);
    QVERIFY(error->isCancellation());
    m_fake.releaseReplies(vipPath);
}

void tst_APIClient::diagnosticsStaySilentAndSecret()
{
    static QStringList captured;
    captured.clear();
    const QtMessageHandler previous = qInstallMessageHandler([](QtMsgType, const QMessageLogContext &context,
                                                                const QString &message) {
        if (QByteArray(context.category) == "vuzo.network")
            captured.append(message);
    });

    // Off by default: nothing is written.
    QVERIFY(!initConfig().error);
    QVERIFY(captured.isEmpty());

    QLoggingCategory::setFilterRules(QStringLiteral("vuzo.network.debug=true"));
    m_fake.expireSessions();
    QVERIFY(!await(m_client->getUserVipExpireTimeList(m_token, bankId)).error);
    m_fake.setHandshakeKeyFault(FakeHandshakeKeyFault::wrongPrefix);
    m_fake.expireSessions();
    QVERIFY(!await(m_client->getUserVipExpireTimeList(m_token, bankId)).error);
    qInstallMessageHandler(previous);

    const QString joined = captured.join(QLatin1Char('\n'));
    QVERIFY2(joined.contains(QStringLiteral("session rejected path=/user/getUserVipExpireTimeList http=430; renewing")),
             qPrintable(joined));
    QVERIFY(joined.contains(QStringLiteral("handshake started path=/security/handshake")));
    QVERIFY(joined.contains(QStringLiteral("handshake HTTP status=200")));
    QVERIFY(joined.contains(QStringLiteral("handshake failed: ")));
    // No secret of the exchange appears.
    QVERIFY(!joined.contains(m_token));
    QVERIFY(!joined.contains(m_client->deviceIdentifier()));
    for (const FakeRequest &request : m_fake.requests()) {
        const QByteArray sessionId = request.header("X-Session-Id");
        if (!sessionId.isEmpty())
            QVERIFY(!joined.contains(QString::fromLatin1(sessionId)));
    }
}

void tst_APIClient::endpoints()
{
    // Every call of the catalogue in session mode: its path, its body, its result.
    QVERIFY(!initConfig().error);
    QVERIFY(APIClientTestAccess::session(*m_client));
    const auto body = [this](const QString &path) { return m_fake.lastRequest(path)->json.toObject(); };
    const auto check = [this](const QString &path, bool withToken) {
        const std::optional<FakeRequest> request = m_fake.lastRequest(path);
        QVERIFY2(request, qPrintable(path));
        QCOMPARE(request->header("X-Encrypt-Mode"), QByteArray("ecdh"));
        QCOMPARE(request->hasHeader("X-EM-Token"), withToken);
        QCOMPARE(request->header("X-ExamBankId"), bankId.toUtf8());
        QCOMPARE(request->replyMode, QStringLiteral("ecdh"));
    };

    QCOMPARE(await(m_client->sendVerifyCode(SendVerifyCodeRequest {QStringLiteral("13800138000")}, bankId)).value,
             std::optional(true));
    check(QStringLiteral("/user/sendVerifyCode"), false);
    QCOMPARE(body(QStringLiteral("/user/sendVerifyCode")),
             QJsonObject({{QStringLiteral("mobile"), QStringLiteral("13800138000")}}));

    const Outcome<LoginResponse> login = await(
        m_client->loginByVerifyCode(LoginRequest {QStringLiteral("13800138000"), FakeService::verificationCode}, bankId));
    QVERIFY2(login.value, qPrintable(login.errorText()));
    QVERIFY(!login.value->token.isEmpty());
    QCOMPARE(login.value->mobile, QStringLiteral("13800138000"));
    check(QStringLiteral("/user/loginByVerifyCode"), false);
    QCOMPARE(body(QStringLiteral("/user/loginByVerifyCode")).value(QLatin1String("verifyCode")).toString(),
             FakeService::verificationCode);
    m_token = login.value->token;

    const Outcome<VIPStatusResponse> vip = await(m_client->getUserVipExpireTimeList(m_token, bankId));
    QVERIFY2(vip.value, qPrintable(vip.errorText()));
    QVERIFY(!vip.value->userVipList.isEmpty());
    check(vipPath, true);
    QCOMPARE(m_fake.lastRequest(vipPath)->body, QByteArray("{}"));

    const Outcome<QList<CardMenu>> menus = await(m_client->getCardMenu(CardMenuRequest {bankId, 2}, m_token, bankId));
    QVERIFY2(menus.value && !menus.value->isEmpty(), qPrintable(menus.errorText()));
    check(menuPath, true);
    QCOMPARE(body(menuPath), QJsonObject({{QStringLiteral("id"), bankId}, {QStringLiteral("type"), 2}}));

    const Outcome<QList<CardMenu>> folders =
        await(m_client->getUserCollectCardMenu(ReportRequest {bankId}, m_token, bankId));
    QVERIFY2(folders.value, qPrintable(folders.errorText()));
    check(QStringLiteral("/common/getUserCollectCardMenu"), true);
    QCOMPARE(body(QStringLiteral("/common/getUserCollectCardMenu")), QJsonObject({{QStringLiteral("id"), bankId}}));

    const Outcome<QuestionModel> questions = await(
        m_client->getQuestionByMenuId(QuestionRequest {bankId, QStringLiteral("m101-11"), 5, 0}, m_token, bankId));
    QVERIFY2(questions.value && !questions.value->questionList.isEmpty(), qPrintable(questions.errorText()));
    QVERIFY(questions.value->userExamId);
    check(QStringLiteral("/exam/getQuestionByMenuId"), true);
    QCOMPARE(body(QStringLiteral("/exam/getQuestionByMenuId")).value(QLatin1String("questionType")), QJsonValue(0));

    const Outcome<QList<RealExamSummary>> papers =
        await(m_client->getRealExamList(RealExamListRequest {bankId, 1, 10}, m_token, bankId));
    QVERIFY2(papers.value && !papers.value->isEmpty(), qPrintable(papers.errorText()));
    check(QStringLiteral("/exam/getRealExamList"), true);
    QCOMPARE(body(QStringLiteral("/exam/getRealExamList")).value(QLatin1String("pageSize")), QJsonValue(10));

    const Outcome<RealExamDetail> paper = await(m_client->getRealExamDetailAndJoinExam(
        RealExamDetailRequest {bankId, papers.value->first().id}, m_token, bankId));
    QVERIFY2(paper.value && !paper.value->questionList.isEmpty(), qPrintable(paper.errorText()));
    check(QStringLiteral("/exam/getRealExamDetailAndJoinExam"), true);

    CommitExamRequest commit;
    commit.userExamId = *questions.value->userExamId;
    commit.costTime = 42;
    for (const Question &question : std::as_const(questions.value->questionList))
        commit.userAnswerList.append(UserAnswerRequest {question.id, QStringLiteral("A"), 3});
    const Outcome<CommitResult> committed = await(m_client->commitExam(commit, m_token, bankId));
    QVERIFY2(committed.value, qPrintable(committed.errorText()));
    QCOMPARE(committed.value->rightNum + committed.value->wrongNum + committed.value->unAnswerNum,
             qint64(commit.userAnswerList.size()));
    check(QStringLiteral("/exam/commitExam"), true);
    QCOMPARE(body(QStringLiteral("/exam/commitExam")).value(QLatin1String("costTime")), QJsonValue(42));

    const Outcome<HistoryReport> report =
        await(m_client->getUserExamLogDetail(ReportRequest {commit.userExamId}, m_token, bankId));
    QVERIFY2(report.value, qPrintable(report.errorText()));
    QCOMPARE(report.value->questionList.size(), commit.userAnswerList.size());
    check(QStringLiteral("/userExam/getUserExamLogDetail"), true);

    // The history list sends the token and bank it is given (the store's scope).
    const Outcome<QList<PracticeHistoryRecord>> history = await(
        m_client->getUserExamLogList(PracticeHistoryListRequest {bankId, 1, 10, 1}, m_token, bankId));
    QVERIFY2(history.value && !history.value->isEmpty(), qPrintable(history.errorText()));
    check(QStringLiteral("/userExam/getUserExamLogList"), true);
    QCOMPARE(body(QStringLiteral("/userExam/getUserExamLogList")),
             QJsonObject({{QStringLiteral("examBankId"), bankId},
                          {QStringLiteral("current"), 1},
                          {QStringLiteral("pageSize"), 10},
                          {QStringLiteral("examType"), 1}}));

    const QStringList ids {history.value->first().id};
    QCOMPARE(await(m_client->delUserExamLog(DeletePracticeHistoryRequest {ids}, m_token, bankId)).value,
             std::optional(true));
    check(QStringLiteral("/userExam/delUserExamLog"), true);
    QCOMPARE(body(QStringLiteral("/userExam/delUserExamLog")).value(QLatin1String("ids")),
             QJsonValue(QJsonArray::fromStringList(ids)));

    const QString questionId = questions.value->questionList.first().id;
    const Outcome<bool> collected =
        await(m_client->manageUserCollect(ManageCollectionRequest {bankId, questionId, true}, m_token, bankId));
    QVERIFY2(collected.value, qPrintable(collected.errorText()));
    QVERIFY(m_fake.collectedQuestionIds().contains(questionId));
    check(collectPath, true);
    QCOMPARE(body(collectPath).value(QLatin1String("collect")), QJsonValue(true));

    QVERIFY(folders.value && !folders.value->isEmpty());
    const CardMenu folder = folders.value->first();
    const Outcome<QuestionModel> collection = await(m_client->getUserCollectList(
        CollectionListRequest {bankId, 1, std::max<qint64>(folder.count, 1), folder.menuId}, m_token, bankId));
    QVERIFY2(collection.value, qPrintable(collection.errorText()));
    check(QStringLiteral("/userExam/getUserCollectList"), true);
    QCOMPARE(body(QStringLiteral("/userExam/getUserCollectList")).value(QLatin1String("menuId")).toString(),
             folder.menuId);

    // Lenient variants: numbers sent as strings still decode.
    FakeScenario strings;
    strings.numbersAsStrings = true;
    m_fake.setScenario(menuPath, strings);
    const Outcome<QList<CardMenu>> lenient = await(m_client->getCardMenu(CardMenuRequest {bankId, 2}, m_token, bankId));
    QVERIFY2(lenient.value, qPrintable(lenient.errorText()));
    QCOMPARE(lenient.value->size(), menus.value->size());
    QCOMPARE(lenient.value->first().needVip, menus.value->first().needVip);
}

QTEST_GUILESS_MAIN(tst_APIClient)
#include "tst_apiclient.moc"
