// The fake service spoken to with a bare QNetworkAccessManager and the crypto
// primitives: if these hold, client tests that fail point at the client.

#include "FakeService.h"
#include "FakeServiceControl.h"
#include "FakeHeavySet.h"
#include "FakeLargeSet.h"

#include "crypto/AesCbc.h"
#include "crypto/CryptoPrimitives.h"
#include "crypto/FixedKeyMaterial.h"
#include "models/QuestionModel.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>
#include <QtEndian>

#include <QElapsedTimer>
#include <QHostAddress>
#include <QTcpSocket>

#include <algorithm>
#include <memory>

Q_DECLARE_METATYPE(FakeScenario)
Q_DECLARE_METATYPE(FakeSessionRejection)
Q_DECLARE_METATYPE(FakeHandshakeKeyFault)

namespace {

struct Answer
{
    int status = 0;
    QByteArray body;
};

struct Session
{
    QString id;
    QByteArray key;
};

// Decrypts a reply body as the client does: optional quotes, Base64 with
// stray characters skipped, then AES-CBC with the session key (IV first) or
// the fixed key. Returns the status of the decryption routine.
int decrypt(const QByteArray &body, const QByteArray &sessionKey, QByteArray *plain)
{
    QByteArray text = body.trimmed();
    if (text.size() >= 2 && text.startsWith('"') && text.endsWith('"'))
        text = text.mid(1, text.size() - 2);
    const std::optional<QByteArray> payload = CryptoPrimitives::base64DecodeSkippingUnknown(text);
    if (!payload)
        return 1;
    QByteArray key = FixedKeyMaterial::key();
    QByteArray iv = FixedKeyMaterial::initializationVector();
    QByteArray cipher = *payload;
    if (!sessionKey.isEmpty()) {
        key = sessionKey;
        iv = payload->left(16);
        cipher = payload->mid(16);
    }
    QByteArray out(cipher.size() + 16, '\0');
    size_t moved = 0;
    const int32_t status = vadr_aes_cbc_decrypt(cipher.constData(), size_t(cipher.size()), key.constData(),
                                                size_t(key.size()), iv.constData(), out.data(), size_t(out.size()),
                                                &moved);
    out.truncate(qsizetype(moved));
    *plain = out;
    return status;
}

QJsonObject envelopeOf(const QByteArray &plain)
{
    return QJsonDocument::fromJson(plain).object();
}

} // namespace

class TestFakeService : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FakeService> fake;
    QNetworkAccessManager nam;

    Answer post(const QString &path, const QJsonObject &body, const QList<std::pair<QByteArray, QByteArray>> &headers = {})
    {
        QNetworkRequest request(QUrl(fake->baseUrl().toString() + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        for (const auto &[name, value] : headers)
            request.setRawHeader(name, value);
        std::unique_ptr<QNetworkReply> reply(nam.post(request, QJsonDocument(body).toJson(QJsonDocument::Compact)));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        if (!reply->isFinished() && !finished.wait(10000))
            return {-1, {}};
        return {reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), reply->readAll()};
    }

    // A business call the way the client makes it, decrypted; fails the test on a transport problem.
    QJsonObject call(const QString &path, const QJsonObject &body, const QString &token = {},
                     const std::optional<Session> &session = std::nullopt)
    {
        QList<std::pair<QByteArray, QByteArray>> headers{{"X-Encrypt-Mode", session ? "ecdh" : "fixed"}};
        if (session)
            headers.append({"X-Session-Id", session->id.toUtf8()});
        if (!token.isEmpty())
            headers.append({"X-EM-Token", token.toUtf8()});
        const Answer answer = post(path, body, headers);
        QByteArray plain;
        if (answer.status != 200 || decrypt(answer.body, session ? session->key : QByteArray(), &plain) != 0)
            return {{QStringLiteral("transportStatus"), answer.status}};
        return envelopeOf(plain);
    }

    std::optional<Session> handshake()
    {
        const P256KeyPair clientKey = P256KeyPair::generate();
        const Answer answer = post(fake->handshakePath(),
                                   {{QStringLiteral("clientPublicKey"),
                                     QString::fromLatin1(clientKey.publicKeyX963().toBase64())}});
        const QJsonObject data = QJsonDocument::fromJson(answer.body).object().value(QStringLiteral("data")).toObject();
        const auto serverKey = CryptoPrimitives::base64DecodeStrict(
            data.value(QStringLiteral("serverPublicKey")).toString().toLatin1());
        if (answer.status != 200 || !serverKey || !CryptoPrimitives::isValidP256PublicKey(*serverKey))
            return std::nullopt;
        const QString id = data.value(QStringLiteral("sessionId")).toString();
        return Session{id, CryptoPrimitives::hkdfSha256(clientKey.sharedSecret(*serverKey), id.toUtf8(),
                                                        QByteArrayView("quiz-svc-key-v1"), 32)};
    }

private Q_SLOTS:
    void init()
    {
        fake = std::make_unique<FakeService>();
        QVERIFY(fake->start());
        QVERIFY(fake->port() != 0);
        QCOMPARE(fake->baseUrl().host(), QStringLiteral("127.0.0.1"));
    }

    void cleanup() { fake.reset(); }

    void handshakeThenSessionEncryptedEndpoint()
    {
        const QJsonObject config = call(FakeService::initConfigPath, {{QStringLiteral("examBankId"), QString()}});
        QCOMPARE(config.value(QStringLiteral("success")), QJsonValue(true));
        const QJsonObject security = config.value(QStringLiteral("data")).toObject().value(QStringLiteral("security")).toObject();
        QCOMPARE(security.value(QStringLiteral("ecdhEnabled")), QJsonValue(true));
        QCOMPARE(security.value(QStringLiteral("handshakePath")), QJsonValue(QStringLiteral("/security/handshake")));
        QVERIFY(!config.value(QStringLiteral("data")).toObject().value(QStringLiteral("examBankList")).toArray().isEmpty());

        const std::optional<Session> session = handshake();
        QVERIFY(session);
        QCOMPARE(session->key.size(), 32);
        QCOMPARE(fake->handshakeCount(), 1);
        QCOMPARE(fake->successfulHandshakeCount(), 1);

        const QString token = fake->issueToken();
        const QJsonObject menus = call(QStringLiteral("/common/getCardMenu"),
                                       {{QStringLiteral("id"), QStringLiteral("101")}, {QStringLiteral("type"), 2}},
                                       token, session);
        QCOMPARE(menus.value(QStringLiteral("success")), QJsonValue(true));
        const QJsonArray tree = menus.value(QStringLiteral("data")).toArray();
        QVERIFY(!tree.isEmpty());
        QCOMPARE(tree.first().toObject().value(QStringLiteral("name")).toString(), QStringLiteral("言语理解与表达"));
        QCOMPARE(fake->lastRequest(QStringLiteral("/common/getCardMenu"))->replyMode, QStringLiteral("ecdh"));

        // The same session key cannot read a fixed-mode reply and vice versa.
        const Answer fixedAnswer = post(QStringLiteral("/common/getCardMenu"),
                                        {{QStringLiteral("id"), QStringLiteral("101")}, {QStringLiteral("type"), 2}},
                                        {{"X-Encrypt-Mode", "fixed"}, {"X-EM-Token", token.toUtf8()}});
        QByteArray plain;
        QCOMPARE(decrypt(fixedAnswer.body, QByteArray(), &plain), 0);
        QCOMPARE(envelopeOf(plain).value(QStringLiteral("data")).toArray(), tree);
    }

    void rejectedSessions_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<FakeSessionRejection>("rejection");
        QTest::addColumn<int>("status");
        QTest::newRow("unknown id, http") << "unknown" << FakeSessionRejection::httpStatus << 430;
        QTest::newRow("expired, http") << "expired" << FakeSessionRejection::httpStatus << 430;
        QTest::newRow("past ttl, http") << "ttl" << FakeSessionRejection::httpStatus << 430;
        QTest::newRow("no id, http") << "missing" << FakeSessionRejection::httpStatus << 430;
        QTest::newRow("expired, code") << "expired" << FakeSessionRejection::envelopeCode << 200;
    }

    void rejectedSessions()
    {
        QFETCH(QString, how);
        QFETCH(FakeSessionRejection, rejection);
        QFETCH(int, status);
        fake->setSessionRejection(rejection);
        if (how == QLatin1String("ttl"))
            fake->setSessionTtlSeconds(0);
        std::optional<Session> session = handshake();
        QVERIFY(session);
        if (how == QLatin1String("unknown"))
            session->id = QStringLiteral("no-such-session");
        else if (how == QLatin1String("missing"))
            session->id.clear();
        else if (how == QLatin1String("expired"))
            fake->expireSessions();

        QList<std::pair<QByteArray, QByteArray>> headers{{"X-Encrypt-Mode", "ecdh"},
                                                         {"X-EM-Token", fake->issueToken().toUtf8()}};
        if (!session->id.isEmpty())
            headers.append({"X-Session-Id", session->id.toUtf8()});
        const Answer answer = post(QStringLiteral("/user/getUserVipExpireTimeList"), {}, headers);
        QCOMPARE(answer.status, status);
        const QJsonObject envelope = envelopeOf(answer.body); // rejections are plain JSON
        QCOMPARE(envelope.value(QStringLiteral("success")), QJsonValue(false));
        QCOMPARE(envelope.value(QStringLiteral("errCode")), QJsonValue(QStringLiteral("430")));
    }

    void handshakeFaults_data()
    {
        QTest::addColumn<FakeHandshakeKeyFault>("fault");
        QTest::addColumn<bool>("strictBase64");
        QTest::addColumn<int>("keyLength");
        QTest::addColumn<bool>("validPoint");
        QTest::newRow("none") << FakeHandshakeKeyFault::none << true << 65 << true;
        QTest::newRow("compressed") << FakeHandshakeKeyFault::compressed << true << 33 << false;
        QTest::newRow("wrong prefix") << FakeHandshakeKeyFault::wrongPrefix << true << 65 << false;
        QTest::newRow("line break") << FakeHandshakeKeyFault::lineBreak << false << 0 << false;
        QTest::newRow("off curve") << FakeHandshakeKeyFault::offCurve << true << 65 << false;
    }

    void handshakeFaults()
    {
        QFETCH(FakeHandshakeKeyFault, fault);
        QFETCH(bool, strictBase64);
        QFETCH(int, keyLength);
        QFETCH(bool, validPoint);
        fake->setHandshakeKeyFault(fault);
        const P256KeyPair clientKey = P256KeyPair::generate();
        const Answer answer = post(QStringLiteral("/security/handshake"),
                                   {{QStringLiteral("clientPublicKey"),
                                     QString::fromLatin1(clientKey.publicKeyX963().toBase64())}});
        QCOMPARE(answer.status, 200);
        const QString encoded = QJsonDocument::fromJson(answer.body)
                                    .object()
                                    .value(QStringLiteral("data"))
                                    .toObject()
                                    .value(QStringLiteral("serverPublicKey"))
                                    .toString();
        const auto key = CryptoPrimitives::base64DecodeStrict(encoded.toLatin1());
        QCOMPARE(key.has_value(), strictBase64);
        if (key) {
            QCOMPARE(key->size(), keyLength);
            QCOMPARE(CryptoPrimitives::isValidP256PublicKey(*key), validPoint);
        }
        // Only an intact handshake leaves a session behind.
        QCOMPARE(fake->sessionCount(), fault == FakeHandshakeKeyFault::none ? 1 : 0);
    }

    void handshakeRejectsBadClientKeyAndHonoursOverrides()
    {
        QCOMPARE(post(QStringLiteral("/security/handshake"),
                      {{QStringLiteral("clientPublicKey"), QStringLiteral("BAAA\nAAAA")}}).status,
                 400);
        QCOMPARE(fake->sessionCount(), 0);

        fake->setHandshakeFields({{QStringLiteral("ttlSeconds"), QStringLiteral("+120")},
                                  {QStringLiteral("expireAt"), QJsonValue::Null},
                                  {QStringLiteral("sessionId"), QStringLiteral("会话-1")}});
        const P256KeyPair clientKey = P256KeyPair::generate();
        const Answer answer = post(QStringLiteral("/security/handshake"),
                                   {{QStringLiteral("clientPublicKey"),
                                     QString::fromLatin1(clientKey.publicKeyX963().toBase64())}});
        const QJsonObject data = QJsonDocument::fromJson(answer.body).object().value(QStringLiteral("data")).toObject();
        QCOMPARE(data.value(QStringLiteral("ttlSeconds")), QJsonValue(QStringLiteral("+120")));
        QVERIFY(!data.contains(QStringLiteral("expireAt")));
        QCOMPARE(data.value(QStringLiteral("sessionId")).toString(), QStringLiteral("会话-1"));

        // The overridden id is the salt and the session the service accepts.
        const auto serverKey = CryptoPrimitives::base64DecodeStrict(data.value(QStringLiteral("serverPublicKey")).toString().toLatin1());
        QVERIFY(serverKey);
        const Session session{QStringLiteral("会话-1"),
                              CryptoPrimitives::hkdfSha256(clientKey.sharedSecret(*serverKey),
                                                           QStringLiteral("会话-1").toUtf8(),
                                                           QByteArrayView("quiz-svc-key-v1"), 32)};
        const QJsonObject vip = call(QStringLiteral("/user/getUserVipExpireTimeList"), {}, fake->issueToken(), session);
        QCOMPARE(vip.value(QStringLiteral("success")), QJsonValue(true));
    }

    void replyScenarios_data()
    {
        QTest::addColumn<FakeScenario>("scenario");
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("decryptStatus"); // -1: plain body, not decrypted
        QTest::addColumn<QByteArray>("expected"); // the envelope, or a fragment of the raw body

        FakeScenario s;
        s.encoding = FakeReplyEncoding::quotedBase64;
        QTest::newRow("quoted") << s << 200 << 0 << QByteArray("\"success\":true");
        s.encoding = FakeReplyEncoding::wrappedBase64;
        QTest::newRow("wrapped") << s << 200 << 0 << QByteArray("\"success\":true");
        s.encoding = FakeReplyEncoding::corruptPadding;
        QTest::newRow("corrupt padding") << s << 200 << int(VADR_AES_DECODE_ERROR) << QByteArray();
        s.encoding = FakeReplyEncoding::truncatedCiphertext;
        QTest::newRow("truncated") << s << 200 << int(VADR_AES_ALIGNMENT_ERROR) << QByteArray();
        s.encoding = FakeReplyEncoding::plain;
        QTest::newRow("plain") << s << 200 << -1 << QByteArray("\"success\":true");

        s = {};
        s.httpStatus = 502;
        QTest::newRow("http 502") << s << 502 << -1 << QByteArray("\"errCode\":\"502\"");
        s.httpStatus = 426;
        QTest::newRow("http 426") << s << 426 << -1 << QByteArray("\"success\":false");
        s = {};
        s.fail = true;
        s.errCode = 430;
        s.errMessage = QStringLiteral("会话失效");
        QTest::newRow("code as number") << s << 200 << 0 << QByteArray("\"errCode\":430,\"errMessage\":\"会话失效\"");
        s = {};
        s.fail = true;
        QTest::newRow("failure without code") << s << 200 << 0 << QByteArray("{\"success\":false}");
        s.errCode = QStringLiteral("500");
        s.data = FakeScenario::Data::kept;
        QTest::newRow("failure keeping data") << s << 200 << 0 << QByteArray("]},\"errCode\":\"500\",\"success\":false}");
        s = {};
        s.data = FakeScenario::Data::missing;
        QTest::newRow("data missing") << s << 200 << 0 << QByteArray("{\"errCode\":null,\"errMessage\":null,\"success\":true}");
        s.data = FakeScenario::Data::null;
        QTest::newRow("data null") << s << 200 << 0 << QByteArray("\"data\":null");
        s = {};
        s.numbersAsStrings = true;
        QTest::newRow("numbers as strings") << s << 200 << 0 << QByteArray("\"expireTime\":\"");
        s = {};
        s.rawBody = QByteArray("  {not json");
        QTest::newRow("raw body") << s << 200 << -1 << QByteArray("  {not json");
    }

    void replyScenarios()
    {
        QFETCH(FakeScenario, scenario);
        QFETCH(int, status);
        QFETCH(int, decryptStatus);
        QFETCH(QByteArray, expected);
        const QString path = QStringLiteral("/user/getUserVipExpireTimeList");
        scenario.times = 1;
        fake->setScenario(path, scenario);
        const QList<std::pair<QByteArray, QByteArray>> headers{{"X-Encrypt-Mode", "fixed"},
                                                               {"X-EM-Token", fake->issueToken().toUtf8()}};
        const Answer answer = post(path, {}, headers);
        QCOMPARE(answer.status, status);
        if (decryptStatus == -1) {
            QVERIFY2(answer.body.contains(expected), answer.body.constData());
        } else {
            QByteArray plain;
            QCOMPARE(decrypt(answer.body, QByteArray(), &plain), decryptStatus);
            if (!expected.isEmpty())
                QVERIFY2(plain.contains(expected), plain.constData());
        }
        // A scenario for one request is used up: the next reply is the normal one.
        QByteArray plain;
        QCOMPARE(decrypt(post(path, {}, headers).body, QByteArray(), &plain), 0);
        QCOMPARE(envelopeOf(plain).value(QStringLiteral("success")), QJsonValue(true));
        QVERIFY(envelopeOf(plain).value(QStringLiteral("data")).toObject().value(QStringLiteral("currentTime")).isDouble());
    }

    void scenarioLimitedToSessionRequests()
    {
        FakeScenario scenario;
        scenario.httpStatus = 430;
        scenario.onlyFor = FakeRequestMode::session;
        fake->setScenario(QStringLiteral("/user/getUserVipExpireTimeList"), scenario);
        const std::optional<Session> session = handshake();
        QVERIFY(session);
        const QString token = fake->issueToken();
        QCOMPARE(call(QStringLiteral("/user/getUserVipExpireTimeList"), {}, token, session)
                     .value(QStringLiteral("transportStatus")),
                 QJsonValue(430));
        QCOMPARE(call(QStringLiteral("/user/getUserVipExpireTimeList"), {}, token).value(QStringLiteral("success")),
                 QJsonValue(true));
    }

    void tokenIsChecked()
    {
        const QString path = QStringLiteral("/exam/getRealExamList");
        const QJsonObject body{{QStringLiteral("examBankId"), QStringLiteral("101")},
                               {QStringLiteral("current"), 1},
                               {QStringLiteral("pageSize"), 10}};
        const Answer missing = post(path, body, {{"X-Encrypt-Mode", "fixed"}});
        QCOMPARE(missing.status, 401);
        QCOMPARE(envelopeOf(missing.body).value(QStringLiteral("errCode")), QJsonValue(QStringLiteral("401")));
        QCOMPARE(post(path, body, {{"X-Encrypt-Mode", "fixed"}, {"X-EM-Token", "forged"}}).status, 401);
        const QString token = fake->issueToken();
        QCOMPARE(call(path, body, token).value(QStringLiteral("data")).toArray().size(), 10);
        fake->revokeTokens();
        QCOMPARE(post(path, body, {{"X-Encrypt-Mode", "fixed"}, {"X-EM-Token", token.toUtf8()}}).status, 401);
    }

    void signInAndPractise()
    {
        QSignalSpy codes(fake.get(), &FakeService::verificationCodeSent);
        QCOMPARE(call(QStringLiteral("/user/sendVerifyCode"), {{QStringLiteral("mobile"), QStringLiteral("1380013800")}})
                     .value(QStringLiteral("errCode")),
                 QJsonValue(QStringLiteral("1001")));
        QCOMPARE(call(QStringLiteral("/user/sendVerifyCode"), {{QStringLiteral("mobile"), QStringLiteral("13800138000")}})
                     .value(QStringLiteral("success")),
                 QJsonValue(true));
        QCOMPARE(codes.size(), 1);
        QCOMPARE(codes.first().first().toString(), QStringLiteral("123456"));

        const QJsonObject wrong = call(QStringLiteral("/user/loginByVerifyCode"),
                                       {{QStringLiteral("mobile"), QStringLiteral("13800138000")},
                                        {QStringLiteral("verifyCode"), QStringLiteral("654321")}});
        QCOMPARE(wrong.value(QStringLiteral("success")), QJsonValue(false));
        QVERIFY(!wrong.contains(QStringLiteral("data")));
        const QJsonObject login = call(QStringLiteral("/user/loginByVerifyCode"),
                                       {{QStringLiteral("mobile"), QStringLiteral("13800138000")},
                                        {QStringLiteral("verifyCode"), QStringLiteral("123456")}});
        const QString token = login.value(QStringLiteral("data")).toObject().value(QStringLiteral("token")).toString();
        QVERIFY(!token.isEmpty());
        QVERIFY(login.value(QStringLiteral("data")).toObject().value(QStringLiteral("id")).isString());

        // Membership: bank 101 valid, 102 expired; a members-only menu of 102 is refused.
        const QJsonObject vip = call(QStringLiteral("/user/getUserVipExpireTimeList"), {}, token).value(QStringLiteral("data")).toObject();
        const qint64 now = vip.value(QStringLiteral("currentTime")).toInteger();
        for (const QJsonValue &item : vip.value(QStringLiteral("userVipList")).toArray()) {
            const QJsonObject o = item.toObject();
            QCOMPARE(o.value(QStringLiteral("expireTime")).toInteger() > now,
                     o.value(QStringLiteral("examBankId")).toString() == QLatin1String("101"));
        }
        QCOMPARE(call(QStringLiteral("/exam/getQuestionByMenuId"),
                      {{QStringLiteral("examBankId"), QStringLiteral("102")}, {QStringLiteral("menuId"), QStringLiteral("m102-21")},
                       {QStringLiteral("pageSize"), 5}, {QStringLiteral("questionType"), 0}},
                      token)
                     .value(QStringLiteral("errCode")),
                 QJsonValue(QStringLiteral("403")));

        // A set with a material, submitted and reported.
        const QJsonObject set = call(QStringLiteral("/exam/getQuestionByMenuId"),
                                     {{QStringLiteral("examBankId"), QStringLiteral("101")},
                                      {QStringLiteral("menuId"), QStringLiteral("m101-3")},
                                      {QStringLiteral("pageSize"), 5},
                                      {QStringLiteral("questionType"), 0}},
                                     token)
                                    .value(QStringLiteral("data"))
                                    .toObject();
        const QJsonArray questions = set.value(QStringLiteral("questionList")).toArray();
        QCOMPARE(questions.size(), 2);
        QCOMPARE(set.value(QStringLiteral("materialsList")).toArray().size(), 1);
        const QString userExamId = set.value(QStringLiteral("userExamId")).toString();
        QVERIFY(!userExamId.isEmpty());
        const QJsonObject commit = call(QStringLiteral("/exam/commitExam"),
                                        {{QStringLiteral("userExamId"), userExamId},
                                         {QStringLiteral("costTime"), 90},
                                         {QStringLiteral("userAnswerList"),
                                          QJsonArray{QJsonObject{{QStringLiteral("questionId"), questions.at(0)[QStringLiteral("id")]},
                                                                 {QStringLiteral("userAnswer"), QStringLiteral("b")},
                                                                 {QStringLiteral("useTime"), 45}},
                                                     QJsonObject{{QStringLiteral("questionId"), questions.at(1)[QStringLiteral("id")]},
                                                                 {QStringLiteral("userAnswer"), QString()},
                                                                 {QStringLiteral("useTime"), 45}}}}},
                                        token)
                                       .value(QStringLiteral("data"))
                                       .toObject();
        QCOMPARE(commit, (QJsonObject{{QStringLiteral("rightNum"), 1}, {QStringLiteral("useTime"), QStringLiteral("90")},
                                      {QStringLiteral("wrongNum"), 0}, {QStringLiteral("unAnswerNum"), 1}}));
        const QJsonObject report = call(QStringLiteral("/userExam/getUserExamLogDetail"),
                                        {{QStringLiteral("id"), userExamId}}, token)
                                       .value(QStringLiteral("data"))
                                       .toObject();
        QCOMPARE(report.value(QStringLiteral("logId")).toString(), userExamId);
        QCOMPARE(report.value(QStringLiteral("questionList")).toArray().at(0)[QStringLiteral("userAnswer")].toString(),
                 QStringLiteral("b"));

        // History: newest first, ten a page; the new set leads page 1, then it is deleted.
        const auto historyPage = [&](int page) {
            return call(QStringLiteral("/userExam/getUserExamLogList"),
                        {{QStringLiteral("examBankId"), QStringLiteral("101")}, {QStringLiteral("current"), page},
                         {QStringLiteral("pageSize"), 10}, {QStringLiteral("examType"), 1}},
                        token)
                .value(QStringLiteral("data"))
                .toArray();
        };
        QCOMPARE(historyPage(1).size(), 10);
        QCOMPARE(historyPage(1).first()[QStringLiteral("id")].toString(), userExamId);
        QCOMPARE(historyPage(1).first()[QStringLiteral("examStatus")].toInt(), 2);
        QCOMPARE(historyPage(2).size(), 3);
        QCOMPARE(call(QStringLiteral("/userExam/delUserExamLog"), {{QStringLiteral("ids"), QJsonArray{userExamId}}}, token)
                     .value(QStringLiteral("data")),
                 QJsonValue(true));
        QCOMPARE(historyPage(2).size(), 2);

        // Collections: toggle one question in and find it in its folder.
        QCOMPARE(call(QStringLiteral("/userExam/manageUserCollect"),
                      {{QStringLiteral("examBankId"), QStringLiteral("101")}, {QStringLiteral("questionId"), QStringLiteral("q101-004")},
                       {QStringLiteral("collect"), true}},
                      token)
                     .value(QStringLiteral("data")),
                 QJsonValue(true));
        const QJsonArray folders = call(QStringLiteral("/common/getUserCollectCardMenu"),
                                        {{QStringLiteral("id"), QStringLiteral("101")}}, token)
                                       .value(QStringLiteral("data"))
                                       .toArray();
        QStringList folderIds;
        for (const QJsonValue &folder : folders)
            folderIds.append(folder[QStringLiteral("id")].toString());
        QCOMPARE(folderIds, (QStringList{QStringLiteral("m101-1"), QStringLiteral("m101-2"), QStringLiteral("m101-3")}));
        const QJsonObject collected = call(QStringLiteral("/userExam/getUserCollectList"),
                                           {{QStringLiteral("examBankId"), QStringLiteral("101")}, {QStringLiteral("current"), 1},
                                            {QStringLiteral("pageSize"), 1}, {QStringLiteral("menuId"), QStringLiteral("m101-2")}},
                                           token)
                                          .value(QStringLiteral("data"))
                                          .toObject();
        QCOMPARE(collected.value(QStringLiteral("questionList")).toArray().at(0)[QStringLiteral("id")].toString(),
                 QStringLiteral("q101-004"));
        QCOMPARE(collected.value(QStringLiteral("questionList")).toArray().at(0)[QStringLiteral("isCollect")], QJsonValue(true));
    }

    void pastPapersPageAndJoin()
    {
        const QString token = fake->issueToken();
        const auto page = [&](int current) {
            return call(QStringLiteral("/exam/getRealExamList"),
                        {{QStringLiteral("examBankId"), QStringLiteral("101")}, {QStringLiteral("current"), current},
                         {QStringLiteral("pageSize"), 10}},
                        token)
                .value(QStringLiteral("data"))
                .toArray();
        };
        QCOMPARE(page(1).size(), 10);
        QCOMPARE(page(2).size(), 2);
        QCOMPARE(page(3).size(), 0);

        const QJsonObject detail = call(QStringLiteral("/exam/getRealExamDetailAndJoinExam"),
                                        {{QStringLiteral("examBankId"), QStringLiteral("101")}, {QStringLiteral("id"), QStringLiteral("re101-01")}},
                                        token)
                                       .value(QStringLiteral("data"))
                                       .toObject();
        QCOMPARE(detail.value(QStringLiteral("questionList")).toArray().size(), 9);
        const QJsonArray sections = QJsonDocument::fromJson(detail.value(QStringLiteral("extraInfo")).toString().toUtf8()).array();
        QCOMPARE(sections.size(), 3);
        QCOMPARE(sections.at(1)[QStringLiteral("rangBegin")], QJsonValue(3));
        QVERIFY(!detail.value(QStringLiteral("userExamLogId")).toString().isEmpty());
    }

    void requestsRejectBadBodies()
    {
        const QString token = fake->issueToken();
        // Integers sent as text are refused, as a strict service would.
        QCOMPARE(call(QStringLiteral("/exam/getRealExamList"),
                      {{QStringLiteral("examBankId"), QStringLiteral("101")}, {QStringLiteral("current"), QStringLiteral("1")},
                       {QStringLiteral("pageSize"), 10}},
                      token)
                     .value(QStringLiteral("errCode")),
                 QJsonValue(QStringLiteral("400")));
        QCOMPARE(call(QStringLiteral("/userExam/manageUserCollect"),
                      {{QStringLiteral("examBankId"), QStringLiteral("101")}, {QStringLiteral("questionId"), QStringLiteral("q101-001")},
                       {QStringLiteral("collect"), 1}},
                      token)
                     .value(QStringLiteral("errCode")),
                 QJsonValue(QStringLiteral("400")));
        QCOMPARE(post(QStringLiteral("/no/such/path"), {}, {{"X-Encrypt-Mode", "fixed"}}).status, 404);
    }

    void logKeepsHeadersInOrderAndParsedBody()
    {
        const QString token = fake->issueToken();
        call(QStringLiteral("/common/getCardMenu"), {{QStringLiteral("id"), QStringLiteral("102")}, {QStringLiteral("type"), 1}}, token);
        const std::optional<FakeRequest> request = fake->lastRequest(QStringLiteral("/common/getCardMenu"));
        QVERIFY(request);
        QCOMPARE(request->json.toObject().value(QStringLiteral("type")), QJsonValue(1));
        QCOMPARE(request->header("x-em-token"), token.toUtf8());
        // As received: header names are case-insensitive and some clients
        // send them in lower case.
        const QList<QByteArray> names = request->headerNames();
        const auto position = [&names](QByteArrayView name) {
            for (qsizetype i = 0; i < names.size(); ++i) {
                if (names.at(i).compare(name, Qt::CaseInsensitive) == 0)
                    return i;
            }
            return qsizetype(-1);
        };
        QVERIFY(position("X-Encrypt-Mode") >= 0);
        QVERIFY(position("X-Encrypt-Mode") < position("X-EM-Token"));
        QCOMPARE(request->status, 200);
        QCOMPARE(fake->sendCount(QStringLiteral("/common/getCardMenu")), 1);
        fake->clearLog();
        QCOMPARE(fake->sendCount(QStringLiteral("/common/getCardMenu")), 0);
        QVERIFY(fake->requests().isEmpty());
    }

    void replacementData()
    {
        const QString path = QStringLiteral("/userExam/manageUserCollect");
        fake->setData(path, false);
        const QJsonObject envelope = call(path,
                                          {{QStringLiteral("examBankId"), QStringLiteral("101")},
                                           {QStringLiteral("questionId"), QStringLiteral("q101-001")},
                                           {QStringLiteral("collect"), true}},
                                          fake->issueToken());
        QCOMPARE(envelope.value(QStringLiteral("data")), QJsonValue(false));
        QVERIFY(fake->collectedQuestionIds().contains(QStringLiteral("q101-001")));
    }

    void heldRepliesWaitForRelease()
    {
        const QString path = QStringLiteral("/user/getUserVipExpireTimeList");
        fake->holdReplies(path);
        QNetworkRequest request(QUrl(fake->baseUrl().toString() + path));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setRawHeader("X-Encrypt-Mode", "fixed");
        request.setRawHeader("X-EM-Token", fake->issueToken().toUtf8());
        std::unique_ptr<QNetworkReply> reply(nam.post(request, QByteArrayLiteral("{}")));
        QSignalSpy received(fake.get(), &FakeService::requestReceived);
        QVERIFY(received.wait(5000));
        QTest::qWait(100);
        QVERIFY(!reply->isFinished());
        QCOMPARE(fake->heldReplyCount(path), 1);
        QCOMPARE(fake->sendCount(path), 1);

        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        fake->releaseReplies(path);
        QCOMPARE(fake->heldReplyCount(path), 0);
        QVERIFY(finished.wait(5000));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QByteArray plain;
        QCOMPARE(decrypt(reply->readAll(), QByteArray(), &plain), 0);
        QCOMPARE(envelopeOf(plain).value(QStringLiteral("success")), QJsonValue(true));
    }

    void malformedRequestsAreAnswered_data()
    {
        QTest::addColumn<QByteArray>("raw");
        QTest::addColumn<QByteArray>("statusLine");
        QTest::newRow("garbage") << QByteArray("hello\r\n\r\n") << QByteArray("HTTP/1.1 400");
        QTest::newRow("bad header") << QByteArray("POST /x HTTP/1.1\r\nnocolon\r\n\r\n") << QByteArray("HTTP/1.1 400");
        QTest::newRow("bad length") << QByteArray("POST /x HTTP/1.1\r\nContent-Length: -5\r\n\r\n")
                                    << QByteArray("HTTP/1.1 400");
        QTest::newRow("huge body") << QByteArray("POST /x HTTP/1.1\r\nContent-Length: 999999999999\r\n\r\n")
                                   << QByteArray("HTTP/1.1 413");
        QTest::newRow("chunked") << QByteArray("POST /x HTTP/1.1\r\nTransfer-Encoding: chunked\r\n\r\n0\r\n\r\n")
                                 << QByteArray("HTTP/1.1 501");
        QTest::newRow("endless header") << QByteArray("POST /x HTTP/1.1\r\nX: ") + QByteArray(70 * 1024, 'a')
                                        << QByteArray("HTTP/1.1 431");
        QTest::newRow("get") << QByteArray("GET /common/getInitConfig HTTP/1.1\r\n\r\n") << QByteArray("HTTP/1.1 405");
        QTest::newRow("get unknown figure") << QByteArray("GET /figures/99.png HTTP/1.1\r\n\r\n") << QByteArray("HTTP/1.1 405");
        QTest::newRow("not json") << QByteArray("POST /common/getCardMenu HTTP/1.1\r\nContent-Length: 3\r\n\r\n{x}")
                                  << QByteArray("HTTP/1.1 401");
    }

    void malformedRequestsAreAnswered()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QByteArray, statusLine);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, fake->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write(raw);
        QByteArray answer;
        QElapsedTimer timer;
        timer.start();
        while (!answer.contains("\r\n\r\n") && timer.elapsed() < 5000) {
            QSignalSpy readable(&socket, &QTcpSocket::readyRead);
            readable.wait(200);
            answer += socket.readAll();
        }
        QVERIFY2(answer.startsWith(statusLine), answer.left(80).constData());
        // The service is still fine for the next client.
        QCOMPARE(post(FakeService::initConfigPath, {}, {{"X-Encrypt-Mode", "fixed"}}).status, 200);
    }

    // The image at url is served over HTTP as a PNG of that size.
    static void checkServedPng(QNetworkAccessManager &nam, const QString &url, int width, int height)
    {
        std::unique_ptr<QNetworkReply> reply(nam.get(QNetworkRequest(QUrl(url))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY2(finished.wait(5000), qPrintable(url));
        QCOMPARE(reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);
        QCOMPARE(reply->header(QNetworkRequest::ContentTypeHeader).toString(), QStringLiteral("image/png"));
        const QByteArray png = reply->readAll();
        QVERIFY(png.startsWith(QByteArray("\x89PNG\r\n\x1a\n", 8)));
        QCOMPARE(qFromBigEndian<quint32>(png.constData() + 16), quint32(width));
        QCOMPARE(qFromBigEndian<quint32>(png.constData() + 20), quint32(height));
        // The image data inflates to one filtered RGB row per line.
        const quint32 idatLength = qFromBigEndian<quint32>(png.constData() + 33);
        QCOMPARE(png.mid(37, 4), QByteArray("IDAT"));
        QByteArray sized(4, '\0');
        qToBigEndian(quint32((width * 3 + 1) * height), sized.data());
        QCOMPARE(qUncompress(sized + png.mid(41, idatLength)).size(), qsizetype((width * 3 + 1) * height));
    }

    // The benchmark's large set: its shape is what the memory figures are about.
    void largeSetHasItsShapeAndFigures()
    {
        const QuestionModel set = QuestionModel::fromJson(FakeLargeSet::questionModel(fake->baseUrl()));
        QCOMPARE(set.questionList.size(), FakeLargeSet::questionCount);
        QCOMPARE(set.materialsList.size(), FakeLargeSet::materialCount);
        QSet<QString> materialIds;
        for (const Material &material : set.materialsList) {
            const qsizetype bytes = material.context.toUtf8().size();
            QVERIFY2(bytes >= 2000 && bytes <= 10600, qPrintable(QString::number(bytes)));
            QVERIFY(material.context.contains(QStringLiteral("<table")));
            materialIds.insert(material.id);
        }
        QSet<QString> used;
        int figures = 0;
        int escaped = 0;
        for (const Question &q : set.questionList) {
            QCOMPARE(q.questionOptions.size(), 4);
            if (q.materialsId)
                used.insert(*q.materialsId);
            figures += q.context.count(QStringLiteral("<img"));
            escaped += q.analysis.startsWith(QStringLiteral("&lt;p&gt;")) ? 1 : 0;
        }
        QCOMPARE(used, materialIds);
        QVERIFY(figures > 0);
        QVERIFY(escaped > 0);
        QVERIFY(set.questionList.at(FakeLargeSet::longStemIndex).context.toUtf8().size() >= FakeLargeSet::longStemBytes);
        for (int m = 0; m < set.materialsList.size(); ++m)
            QCOMPARE(set.materialsList.at(m).context.contains(QStringLiteral("<img")), m % 5 == 0);

        // Every image address in the set is served as a PNG of its kind's size:
        // figures in materials and stems, formulas beside the stems' text.
        static const QRegularExpression address(QStringLiteral("src=\"([^\"]+)\""));
        QNetworkAccessManager nam;
        QSet<QString> addresses;
        for (const Material &material : set.materialsList)
            for (const QRegularExpressionMatch &match : address.globalMatch(material.context))
                addresses.insert(match.captured(1));
        for (const Question &q : set.questionList)
            for (const QRegularExpressionMatch &match : address.globalMatch(q.context))
                addresses.insert(match.captured(1));
        QVERIFY(std::any_of(addresses.cbegin(), addresses.cend(),
                            [](const QString &url) { return url.contains(QLatin1String(FakeLargeSet::formulaPathPrefix)); }));
        for (const QString &url : std::as_const(addresses)) {
            const bool formula = url.contains(QLatin1String(FakeLargeSet::formulaPathPrefix));
            checkServedPng(nam, url, formula ? FakeLargeSet::formulaWidth : FakeLargeSet::figureWidth,
                           formula ? FakeLargeSet::formulaHeight : FakeLargeSet::figureHeight);
            if (QTest::currentTestFailed())
                return;
        }
    }

    // The heavy set: long materials with tables, figures every fifth, a
    // large figure, a formula of its own in every stem, a 12,000-character
    // stem, every image served over HTTP at its size, as a content server
    // serves it.
    void heavySetHasItsShapeAndImages()
    {
        const QuestionModel set = QuestionModel::fromJson(FakeHeavySet::questionModel(fake->baseUrl()));
        QCOMPARE(set.questionList.size(), FakeHeavySet::questionCount);
        QCOMPARE(set.materialsList.size(), FakeHeavySet::materialCount);
        static const QRegularExpression address(QStringLiteral("src=\"([^\"]+)\""));
        const auto addressesIn = [](const QString &html) {
            QStringList out;
            for (const QRegularExpressionMatch &match : address.globalMatch(html))
                out.append(match.captured(1));
            return out;
        };
        // Address -> the size it must be served at.
        QHash<QString, QSize> images;
        QSet<QString> materialIds;
        for (int m = 0; m < set.materialsList.size(); ++m) {
            const Material &material = set.materialsList.at(m);
            const qsizetype characters = material.context.size();
            const int wanted = FakeHeavySet::materialCharacters;
            QVERIFY2(characters >= wanted * 0.95 && characters <= wanted * 1.05,
                     qPrintable(QStringLiteral("material %1: %2 characters").arg(m).arg(characters)));
            QVERIFY(material.context.contains(QStringLiteral("<table")));
            const QStringList figures = addressesIn(material.context);
            QCOMPARE(figures.size(), m % FakeHeavySet::figureEvery == 0 ? 1 : 0);
            for (const QString &url : figures)
                images.insert(url, QSize(FakeHeavySet::figureWidth, FakeHeavySet::figureHeight));
            materialIds.insert(material.id);
        }
        QSet<QString> used;
        QSet<QString> formulas;
        for (int i = 0; i < set.questionList.size(); ++i) {
            const Question &q = set.questionList.at(i);
            QCOMPARE(q.questionOptions.size(), 4);
            if (q.materialsId)
                used.insert(*q.materialsId);
            const QStringList inStem = addressesIn(q.context);
            QCOMPARE(inStem.size(), i == FakeHeavySet::largeFigureIndex ? 2 : 1);
            for (const QString &url : inStem) {
                const bool formula = url.contains(QLatin1String(FakeHeavySet::formulaPathPrefix));
                if (formula)
                    formulas.insert(url);
                images.insert(url, formula ? QSize(FakeHeavySet::formulaWidth, FakeHeavySet::formulaHeight)
                                           : QSize(FakeHeavySet::largeFigureWidth, FakeHeavySet::largeFigureHeight));
            }
        }
        QCOMPARE(used, materialIds);
        // A formula of its own in every stem, beside the text.
        QCOMPARE(formulas.size(), FakeHeavySet::questionCount);
        QVERIFY(set.questionList.at(7).context.contains(QStringLiteral("若增长率为 <img")));
        QVERIFY(set.questionList.at(FakeHeavySet::longStemIndex).context.size() >= FakeHeavySet::longStemCharacters);
        QVERIFY(set.questionList.at(FakeHeavySet::longStemIndex + 1).context.size() < 1000);

        QNetworkAccessManager nam;
        for (auto image = images.cbegin(); image != images.cend(); ++image) {
            checkServedPng(nam, image.key(), image.value().width(), image.value().height());
            if (QTest::currentTestFailed())
                return;
        }
        // As a content server sends them: cacheable, with a validator; the
        // figures no smaller than a scan's (a flat chart would be 4 kB).
        const QString figure = *std::find_if(images.keyBegin(), images.keyEnd(), [](const QString &url) {
            return url.contains(QLatin1String(FakeHeavySet::figurePathPrefix));
        });
        std::unique_ptr<QNetworkReply> reply(nam.get(QNetworkRequest(QUrl(figure))));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QVERIFY(reply->rawHeader("Cache-Control").contains("max-age="));
        QVERIFY(!reply->rawHeader("ETag").isEmpty());
        QVERIFY(reply->readAll().size() > 100 * 1024);
    }

    void clientGoneBeforeReleaseAndStopInsideSlot()
    {
        const QString path = QStringLiteral("/user/getUserVipExpireTimeList");
        fake->holdReplies(path);
        {
            QTcpSocket socket;
            socket.connectToHost(QHostAddress::LocalHost, fake->port());
            QVERIFY(socket.waitForConnected(5000));
            socket.write("POST /user/getUserVipExpireTimeList HTTP/1.1\r\nContent-Length: 2\r\n\r\n{}");
            QSignalSpy received(fake.get(), &FakeService::requestReceived);
            QVERIFY(received.wait(5000));
        }
        QTest::qWait(50);
        fake->releaseReplies(path);
        QCOMPARE(fake->heldReplyCount(path), 0);

        // Two pipelined requests; the first one's listener stops the service.
        connect(fake.get(), &FakeService::requestReceived, this, [this] { fake->clearLog(); fake->stop(); },
                Qt::SingleShotConnection);
        QTcpSocket socket;
        socket.connectToHost(QHostAddress::LocalHost, fake->port());
        QVERIFY(socket.waitForConnected(5000));
        socket.write("POST /a HTTP/1.1\r\nContent-Length: 0\r\n\r\nPOST /b HTTP/1.1\r\nContent-Length: 0\r\n\r\n");
        QTRY_VERIFY(!fake->isRunning());
        QVERIFY(fake->requests().isEmpty());
    }

    void standaloneProgram()
    {
        QProcess process;
        process.setProgram(QStringLiteral(VUZO_FAKE_SERVICE_PROGRAM));
        process.setArguments({QStringLiteral("--port"), QStringLiteral("0")});
        process.start();
        QVERIFY(process.waitForStarted(5000));
        QByteArray out;
        const QRegularExpression address(QStringLiteral("listening on (http://127\\.0\\.0\\.1:\\d+)\\n"));
        QElapsedTimer timer;
        timer.start();
        while (!out.contains("SMS code: 123456\n") && timer.elapsed() < 10000) {
            process.waitForReadyRead(200);
            out += process.readAllStandardOutput();
        }
        const QRegularExpressionMatch match = address.match(QString::fromUtf8(out));
        QVERIFY2(match.hasMatch(), out.constData());
        QVERIFY(out.contains("SMS code: 123456\n"));

        QNetworkRequest request(QUrl(match.captured(1) + FakeService::initConfigPath));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setRawHeader("X-Encrypt-Mode", "fixed");
        std::unique_ptr<QNetworkReply> reply(nam.post(request, QByteArrayLiteral("{\"examBankId\":\"\"}")));
        QSignalSpy finished(reply.get(), &QNetworkReply::finished);
        QVERIFY(finished.wait(5000));
        QByteArray plain;
        QCOMPARE(decrypt(reply->readAll(), QByteArray(), &plain), 0);
        QCOMPARE(envelopeOf(plain).value(QStringLiteral("data")).toObject().value(QStringLiteral("examBankList")).toArray().size(), 4);

        process.kill();
        process.waitForFinished(5000);
    }

    void controlRejectsBadCommands_data()
    {
        QTest::addColumn<QString>("line");
        QTest::newRow("empty") << QString();
        QTest::newRow("unknown") << QStringLiteral("explode /exam/commitExam");
        QTest::newRow("fail without status") << QStringLiteral("fail /exam/commitExam");
        QTest::newRow("fail with a word for status") << QStringLiteral("fail /exam/commitExam busy");
        QTest::newRow("fail with status out of range") << QStringLiteral("fail /exam/commitExam 99");
        QTest::newRow("fail zero times") << QStringLiteral("fail /exam/commitExam 500 0");
        QTest::newRow("corrupt without path") << QStringLiteral("corrupt");
        QTest::newRow("session failure without status") << QStringLiteral("fail-next-session");
        QTest::newRow("hold with two paths") << QStringLiteral("hold /a /b");
        QTest::newRow("commits without set") << QStringLiteral("commits");
        QTest::newRow("no set opened yet") << QStringLiteral("last-set");
        QTest::newRow("large set without menu") << QStringLiteral("large-set");
        QTest::newRow("heavy set with two menus") << QStringLiteral("heavy-set m101-3 m101-31");
    }

    void controlRejectsBadCommands()
    {
        QFETCH(QString, line);
        FakeServiceControl control(*fake);
        QVERIFY2(control.execute(line).startsWith(QLatin1String("error: ")), qPrintable(control.execute(line)));
        // Nothing was switched on by a rejected command.
        const QString token = fake->issueToken();
        QCOMPARE(call(QStringLiteral("/common/getCardMenu"),
                      {{QStringLiteral("id"), QStringLiteral("101")}, {QStringLiteral("type"), 1}}, token)
                     .value(QStringLiteral("success")),
                 QJsonValue(true));
    }

    // The switches a driver outside the process uses, and the per-set hand-in count.
    void controlSwitchesFaultsAndCountsHandIns()
    {
        FakeServiceControl control(*fake);
        const QString token = fake->issueToken();
        const QString commitPath = QStringLiteral("/exam/commitExam");
        const QJsonObject setRequest{{QStringLiteral("examBankId"), QStringLiteral("101")},
                                     {QStringLiteral("menuId"), QStringLiteral("m101-11")},
                                     {QStringLiteral("pageSize"), 5},
                                     {QStringLiteral("questionType"), 0}};

        QCOMPARE(control.execute(QStringLiteral("corrupt /exam/getQuestionByMenuId 1")), QStringLiteral("ok"));
        QCOMPARE(call(QStringLiteral("/exam/getQuestionByMenuId"), setRequest, token).value(QStringLiteral("transportStatus")),
                 QJsonValue(200)); // a 200 whose body does not decrypt
        const QJsonObject set = call(QStringLiteral("/exam/getQuestionByMenuId"), setRequest, token)
                                    .value(QStringLiteral("data")).toObject();
        const QString setId = set.value(QStringLiteral("userExamId")).toString();
        QVERIFY(!setId.isEmpty());
        QCOMPARE(control.execute(QStringLiteral("last-set")), setId);
        QCOMPARE(control.execute(QStringLiteral("commits ") + setId), QStringLiteral("0"));

        const QJsonObject commit{{QStringLiteral("userExamId"), setId},
                                 {QStringLiteral("costTime"), 30},
                                 {QStringLiteral("userAnswerList"), QJsonArray{}}};
        QCOMPARE(control.execute(QStringLiteral("fail ") + commitPath + QStringLiteral(" 503 1")), QStringLiteral("ok"));
        QCOMPARE(call(commitPath, commit, token).value(QStringLiteral("transportStatus")), QJsonValue(503));
        QCOMPARE(control.execute(QStringLiteral("commits ") + setId), QStringLiteral("0"));
        QCOMPARE(call(commitPath, commit, token).value(QStringLiteral("success")), QJsonValue(true));
        QCOMPARE(control.execute(QStringLiteral("commits ") + setId), QStringLiteral("1"));
        QCOMPARE(control.execute(QStringLiteral("requests ") + commitPath), QStringLiteral("2"));

        // A held reply is sent on release; the hand-in itself was accepted on arrival.
        QCOMPARE(control.execute(QStringLiteral("hold ") + commitPath), QStringLiteral("ok"));
        QNetworkRequest request(QUrl(fake->baseUrl().toString() + commitPath));
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
        request.setRawHeader("X-Encrypt-Mode", "fixed");
        request.setRawHeader("X-EM-Token", token.toUtf8());
        std::unique_ptr<QNetworkReply> held(nam.post(request, QJsonDocument(commit).toJson(QJsonDocument::Compact)));
        QTRY_COMPARE(fake->heldReplyCount(commitPath), 1);
        QVERIFY(!held->isFinished());
        QCOMPARE(control.execute(QStringLiteral("commits ") + setId), QStringLiteral("2"));
        QCOMPARE(control.execute(QStringLiteral("release ") + commitPath), QStringLiteral("ok"));
        QTRY_VERIFY(held->isFinished());
        QCOMPARE(held->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200);

        QCOMPARE(control.execute(QStringLiteral("revoke-tokens")), QStringLiteral("ok"));
        QCOMPARE(call(commitPath, commit, token).value(QStringLiteral("transportStatus")), QJsonValue(401));
        const std::optional<Session> session = handshake();
        QVERIFY(session);
        // Only the next request under a session fails, whatever its path.
        const QJsonObject configBody{{QStringLiteral("examBankId"), QString()}};
        QCOMPARE(control.execute(QStringLiteral("fail-next-session 430")), QStringLiteral("ok"));
        QCOMPARE(call(FakeService::initConfigPath, configBody).value(QStringLiteral("success")), QJsonValue(true));
        QCOMPARE(call(FakeService::initConfigPath, configBody, {}, session).value(QStringLiteral("transportStatus")),
                 QJsonValue(430));
        QCOMPARE(call(FakeService::initConfigPath, configBody, {}, session).value(QStringLiteral("success")),
                 QJsonValue(true));
        QCOMPARE(control.execute(QStringLiteral("expire-sessions")), QStringLiteral("ok"));
        QCOMPARE(call(FakeService::initConfigPath, {}, {}, session).value(QStringLiteral("transportStatus")), QJsonValue(430));
    }

    // The switches the memory benchmark opens its sets with: the whole large
    // or heavy set for that menu only, whatever page size is asked.
    void controlServesTheLargeAndHeavySetsForTheirMenus()
    {
        FakeServiceControl control(*fake);
        const auto open = [&](const QString &menuId, const QString &token) {
            return call(QStringLiteral("/exam/getQuestionByMenuId"),
                        {{QStringLiteral("examBankId"), QStringLiteral("101")},
                         {QStringLiteral("menuId"), menuId},
                         {QStringLiteral("pageSize"), 5},
                         {QStringLiteral("questionType"), 0}},
                        token)
                .value(QStringLiteral("data"))
                .toObject();
        };
        QCOMPARE(control.execute(QStringLiteral("large-set m101-31")), QStringLiteral("ok"));
        const QString token = fake->issueToken();
        const QJsonObject large = open(QStringLiteral("m101-31"), token);
        QCOMPARE(large.value(QStringLiteral("questionList")).toArray().size(), FakeLargeSet::questionCount);
        QCOMPARE(large.value(QStringLiteral("materialsList")).toArray().size(), FakeLargeSet::materialCount);
        QVERIFY(!large.value(QStringLiteral("userExamId")).toString().isEmpty());
        QCOMPARE(control.execute(QStringLiteral("last-set")), large.value(QStringLiteral("userExamId")).toString());
        // The heavy set for another menu; the first keeps the large one.
        QCOMPARE(control.execute(QStringLiteral("heavy-set m101-3")), QStringLiteral("ok"));
        const auto firstId = [&](const QString &menuId, const QString &token) {
            return open(menuId, token).value(QStringLiteral("questionList")).toArray().first().toObject().value(QStringLiteral("id")).toString();
        };
        const QJsonObject heavy = open(QStringLiteral("m101-3"), token);
        QCOMPARE(heavy.value(QStringLiteral("questionList")).toArray().size(), FakeHeavySet::questionCount);
        QCOMPARE(heavy.value(QStringLiteral("materialsList")).toArray().size(), FakeHeavySet::materialCount);
        QCOMPARE(firstId(QStringLiteral("m101-3"), token), QStringLiteral("heavy-q0"));
        QCOMPARE(firstId(QStringLiteral("m101-31"), token), QStringLiteral("big-q0"));
        // Other menus keep their own questions and the page size.
        const QJsonArray other = open(QStringLiteral("m101-11"), token).value(QStringLiteral("questionList")).toArray();
        QVERIFY(!other.isEmpty() && other.size() <= 5);
        // A reset forgets the switches with the rest.
        fake->reset();
        for (const QString &menu : {QStringLiteral("m101-31"), QStringLiteral("m101-3")}) {
            const QJsonArray reset = open(menu, fake->issueToken()).value(QStringLiteral("questionList")).toArray();
            QVERIFY(!reset.isEmpty() && reset.size() <= 5);
        }
    }

    // The standalone program takes the same commands on standard input.
    void standaloneProgramControl()
    {
        QProcess process;
        process.setProgram(QStringLiteral(VUZO_FAKE_SERVICE_PROGRAM));
        process.setArguments({QStringLiteral("--port"), QStringLiteral("0"), QStringLiteral("--control")});
        process.start();
        QVERIFY(process.waitForStarted(5000));
        QByteArray out;
        QElapsedTimer timer;
        timer.start();
        const auto readUntil = [&](const QByteArray &text) {
            while (!out.contains(text) && timer.elapsed() < 10000) {
                process.waitForReadyRead(200);
                out += process.readAllStandardOutput();
            }
            return out.contains(text);
        };
        QVERIFY(readUntil("SMS code: 123456\n"));
        const QRegularExpressionMatch match =
            QRegularExpression(QStringLiteral("listening on (http://127\\.0\\.0\\.1:\\d+)\\n")).match(QString::fromUtf8(out));
        QVERIFY(match.hasMatch());

        process.write("fail /common/getInitConfig 503 1\nbogus\ncommits none\n");
        QVERIFY2(readUntil("0\n"), out.constData());
        QVERIFY(out.contains("\nok\nerror: unknown command: bogus\n0\n"));

        const auto initConfigStatus = [&] {
            QNetworkRequest request(QUrl(match.captured(1) + FakeService::initConfigPath));
            request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/json"));
            request.setRawHeader("X-Encrypt-Mode", "fixed");
            std::unique_ptr<QNetworkReply> reply(nam.post(request, QByteArrayLiteral("{\"examBankId\":\"\"}")));
            QSignalSpy finished(reply.get(), &QNetworkReply::finished);
            finished.wait(5000);
            return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        };
        QCOMPARE(initConfigStatus(), 503);
        QCOMPARE(initConfigStatus(), 200);

        process.kill();
        process.waitForFinished(5000);
    }
};

QTEST_GUILESS_MAIN(TestFakeService)
#include "tst_fakeservice.moc"
