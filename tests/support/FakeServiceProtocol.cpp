// The wire side of the fake service: routing, session checks, the envelope,
// reply encryption and its deliberate faults, and the handshake.

#include "FakeService.h"

#include "FakeCipher.h"
#include "FakeHttpServer.h"
#include "FakeHeavySet.h"
#include "FakeLargeSet.h"

#include "crypto/CryptoPrimitives.h"
#include "platform/Clock.h"

#include <QJsonDocument>
#include <QUuid>

#include <cmath>
namespace {

// Endpoints reachable without a sign-in.
bool isTokenFree(const QString &path)
{
    return path == QLatin1String("/user/sendVerifyCode") || path == QLatin1String("/user/loginByVerifyCode")
        || path == FakeService::initConfigPath;
}

QJsonValue numbersToStrings(const QJsonValue &value)
{
    if (value.isDouble()) {
        const double d = value.toDouble();
        // Whole numbers keep their integer text; 2^53 bounds the exactly representable range.
        if (d == std::floor(d) && std::fabs(d) < 9007199254740992.0)
            return QString::number(qint64(d));
        return QString::number(d, 'g', 17);
    }
    if (value.isArray()) {
        QJsonArray out;
        for (const QJsonValue &item : value.toArray())
            out.append(numbersToStrings(item));
        return out;
    }
    if (value.isObject()) {
        QJsonObject out;
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it)
            out.insert(it.key(), numbersToStrings(it.value()));
        return out;
    }
    return value;
}

QByteArray failureBody(int status, const QString &message)
{
    const QJsonObject envelope{{QStringLiteral("success"), false},
                               {QStringLiteral("errCode"), QString::number(status)},
                               {QStringLiteral("errMessage"), message},
                               {QStringLiteral("data"), QJsonValue::Null}};
    return QJsonDocument(envelope).toJson(QJsonDocument::Compact);
}

QString statusMessage(int status)
{
    switch (status) {
    case 401: return QStringLiteral("登录已失效");
    case 403: return QStringLiteral("无权访问");
    case 404: return QStringLiteral("接口不存在");
    case 405: return QStringLiteral("请求方法不支持");
    case 426: return QStringLiteral("需要开通会员");
    case 430: return QStringLiteral("会话已失效");
    default: return QStringLiteral("服务器繁忙");
    }
}

QByteArray wrapLines(const QByteArray &text, int width)
{
    QByteArray out;
    for (qsizetype i = 0; i < text.size(); i += width) {
        if (i > 0)
            out += "\r\n";
        out += text.mid(i, width);
    }
    return out;
}

} // namespace

void FakeService::send(const QString &path, quint64 exchangeId, int logIndex, int status, const QByteArray &body)
{
    if (logIndex >= 0 && logIndex < m_log.size())
        m_log[logIndex].status = status;
    m_http->respond(exchangeId, status, body);
    Q_EMIT replySent(path, status);
}

void FakeService::handle(const FakeHttpRequest &request)
{
    QString path = QString::fromUtf8(request.target);
    if (const qsizetype query = path.indexOf(QLatin1Char('?')); query >= 0)
        path.truncate(query);

    FakeRequest entry;
    entry.path = path;
    entry.method = request.method;
    entry.headers = request.headers;
    entry.body = request.body;
    QJsonParseError parseError{};
    const QJsonDocument document = QJsonDocument::fromJson(request.body, &parseError);
    if (parseError.error == QJsonParseError::NoError)
        entry.json = document.isArray() ? QJsonValue(document.array()) : QJsonValue(document.object());
    const int logIndex = int(m_log.size());
    m_log.append(entry);
    m_sendCounts[path] += 1;
    Q_EMIT requestReceived(path);

    // A slot of requestReceived may have cleared the log meanwhile.
    const auto reply = [&](int status, const QByteArray &body, const QString &mode) {
        const int index = logIndex < m_log.size() ? logIndex : -1;
        if (index >= 0)
            m_log[index].replyMode = mode;
        if (m_holding.contains(path)) {
            m_held[path].append(Held{request.exchangeId, index, status, body});
            return;
        }
        send(path, request.exchangeId, index, status, body);
    };

    // The large and heavy sets' images, as a content server would serve them.
    if (request.method == "GET") {
        std::optional<QByteArray> png = FakeLargeSet::figure(path);
        QList<QByteArray> headers;
        if (!png && (png = FakeHeavySet::figure(path)))
            headers = FakeHeavySet::cacheHeaders(*png);
        if (png) {
            if (logIndex < m_log.size())
                m_log[logIndex].status = 200;
            m_http->respond(request.exchangeId, 200, *png, QByteArrayLiteral("image/png"), headers);
            return;
        }
    }
    if (request.method != "POST") {
        reply(405, failureBody(405, statusMessage(405)), QStringLiteral("plain"));
        return;
    }
    if (path == m_handshakePath) {
        handleHandshake(request, entry.json, request.exchangeId, logIndex);
        return;
    }

    const QByteArray modeHeader = request.header("X-Encrypt-Mode");
    const FakeRequestMode mode = modeHeader == "ecdh"    ? FakeRequestMode::session
                                 : modeHeader == "fixed" ? FakeRequestMode::fixed
                                                         : FakeRequestMode::any;
    if (mode == FakeRequestMode::session && m_nextSessionFailure != 0) {
        const int status = std::exchange(m_nextSessionFailure, 0);
        reply(status, failureBody(status, statusMessage(status)), QStringLiteral("plain"));
        return;
    }
    const std::optional<FakeScenario> scenario = takeScenario(path, mode);

    if (scenario && scenario->rawBody) {
        reply(scenario->httpStatus ? scenario->httpStatus : 200, *scenario->rawBody, QStringLiteral("plain"));
        return;
    }
    if (scenario && scenario->httpStatus && (scenario->httpStatus < 200 || scenario->httpStatus > 299)) {
        reply(scenario->httpStatus, failureBody(scenario->httpStatus, statusMessage(scenario->httpStatus)),
              QStringLiteral("plain"));
        return;
    }
    if (!endpointPaths().contains(path)) {
        reply(404, failureBody(404, statusMessage(404)), QStringLiteral("plain"));
        return;
    }

    QByteArray sessionKey;
    if (mode == FakeRequestMode::session) {
        const QString sessionId = QString::fromUtf8(request.header("X-Session-Id"));
        const auto session = m_sessions.constFind(sessionId);
        const bool valid = !sessionId.isEmpty() && session != m_sessions.cend() && !session->revoked
            && Clock::shared().nowMilliseconds() < session->expiresAtMs;
        if (!valid) {
            if (m_sessionRejection == FakeSessionRejection::httpStatus) {
                reply(430, failureBody(430, statusMessage(430)), QStringLiteral("plain"));
            } else {
                // The session key is unknown, so the rejection can only go out in plain text.
                reply(200, failureBody(430, statusMessage(430)), QStringLiteral("plain"));
            }
            return;
        }
        sessionKey = session->aesKey;
    }

    if (m_tokenRequired && !isTokenFree(path)) {
        const QString token = QString::fromUtf8(request.header("X-EM-Token"));
        if (token.isEmpty() || !m_tokens.contains(token)) {
            reply(401, failureBody(401, statusMessage(401)), QStringLiteral("plain"));
            return;
        }
    }

    Reply result;
    const QJsonObject body = entry.json.toObject();
    dispatch(path, body, QString::fromUtf8(request.header("X-ExamBankId")), result);
    if (result.success && m_data.contains(path))
        result.data = m_data.value(path);

    FakeReplyEncoding encoding = FakeReplyEncoding::automatic;
    if (scenario) {
        if (scenario->httpStatus)
            result.status = scenario->httpStatus;
        if (scenario->fail) {
            result.success = false;
            if (scenario->data != FakeScenario::Data::kept)
                result.data = QJsonValue::Undefined;
            result.errCode = scenario->errCode;
            result.errMessage = scenario->errMessage;
        }
        if (scenario->data == FakeScenario::Data::missing)
            result.data = QJsonValue::Undefined;
        else if (scenario->data == FakeScenario::Data::null)
            result.data = QJsonValue::Null;
        if (scenario->numbersAsStrings)
            result.data = numbersToStrings(result.data);
        encoding = scenario->encoding;
    }

    QJsonObject envelope{{QStringLiteral("success"), result.success}};
    if (result.success) {
        envelope.insert(QStringLiteral("errCode"), QJsonValue::Null);
        envelope.insert(QStringLiteral("errMessage"), QJsonValue::Null);
    } else {
        if (!result.errCode.isUndefined())
            envelope.insert(QStringLiteral("errCode"), result.errCode);
        if (!result.errMessage.isUndefined())
            envelope.insert(QStringLiteral("errMessage"), result.errMessage);
    }
    if (!result.data.isUndefined())
        envelope.insert(QStringLiteral("data"), result.data);
    const QByteArray plain = QJsonDocument(envelope).toJson(QJsonDocument::Compact);

    if (encoding == FakeReplyEncoding::plain
        || (encoding == FakeReplyEncoding::automatic && mode == FakeRequestMode::any)) {
        reply(result.status, plain, QStringLiteral("plain"));
        return;
    }

    QByteArray payload;
    try {
        payload = sessionKey.isEmpty() ? FakeCipher::encryptFixed(plain)
                                       : FakeCipher::encryptForSession(sessionKey, plain);
    } catch (const std::exception &error) {
        qCWarning(lcFakeService) << "encryption failed:" << error.what();
        reply(500, failureBody(500, statusMessage(500)), QStringLiteral("plain"));
        return;
    }
    if (encoding == FakeReplyEncoding::corruptPadding) {
        // The last byte of the next-to-last block (or of the IV) decides the
        // last plaintext byte; 0x80 makes any padding value invalid.
        payload[payload.size() - 17] = char(payload.at(payload.size() - 17) ^ 0x80);
    } else if (encoding == FakeReplyEncoding::truncatedCiphertext) {
        payload.chop(1);
    }
    QByteArray text = payload.toBase64();
    if (encoding == FakeReplyEncoding::quotedBase64)
        text = '"' + text + '"';
    else if (encoding == FakeReplyEncoding::wrappedBase64)
        text = wrapLines(text, 64) + "\r\n";
    reply(result.status, text, sessionKey.isEmpty() ? QStringLiteral("fixed") : QStringLiteral("ecdh"));
}

void FakeService::handleHandshake(const FakeHttpRequest &request, const QJsonValue &json, quint64 exchangeId,
                                  int logIndex)
{
    ++m_handshakeCount;
    const QString path = m_handshakePath;
    const auto reply = [&](int status, const QByteArray &body) {
        const int index = logIndex < m_log.size() ? logIndex : -1;
        if (index >= 0)
            m_log[index].replyMode = QStringLiteral("plain");
        if (m_holding.contains(path)) {
            m_held[path].append(Held{exchangeId, index, status, body});
            return;
        }
        send(path, exchangeId, index, status, body);
    };
    Q_UNUSED(request);

    const std::optional<FakeScenario> scenario = takeScenario(path, FakeRequestMode::any);
    if (scenario && scenario->rawBody) {
        reply(scenario->httpStatus ? scenario->httpStatus : 200, *scenario->rawBody);
        return;
    }
    if (scenario && scenario->httpStatus && (scenario->httpStatus < 200 || scenario->httpStatus > 299)) {
        reply(scenario->httpStatus, failureBody(scenario->httpStatus, statusMessage(scenario->httpStatus)));
        return;
    }

    const QString encodedKey = json.toObject().value(QStringLiteral("clientPublicKey")).toString();
    const std::optional<QByteArray> clientKey = CryptoPrimitives::base64DecodeStrict(encodedKey.toLatin1());
    if (!clientKey || !CryptoPrimitives::isValidP256PublicKey(*clientKey)) {
        reply(400, failureBody(400, QStringLiteral("无效的客户端公钥")));
        return;
    }

    const QJsonValue fieldSessionId = m_handshakeFields.value(QStringLiteral("sessionId"));
    const QString sessionId = fieldSessionId.isString() ? fieldSessionId.toString()
                                                        : QUuid::createUuid().toString(QUuid::Id128);
    FakeCipher::Agreement agreement;
    try {
        agreement = FakeCipher::agree(*clientKey, sessionId);
    } catch (const std::exception &error) {
        qCWarning(lcFakeService) << "key agreement failed:" << error.what();
        reply(400, failureBody(400, QStringLiteral("无效的客户端公钥")));
        return;
    }

    QByteArray serverKey = agreement.serverPublicKey;
    switch (m_handshakeKeyFault) {
    case FakeHandshakeKeyFault::none:
    case FakeHandshakeKeyFault::lineBreak:
        break;
    case FakeHandshakeKeyFault::compressed:
        serverKey = char(0x02 | (serverKey.at(64) & 1)) + serverKey.mid(1, 32);
        break;
    case FakeHandshakeKeyFault::wrongPrefix:
        serverKey[0] = 0x02;
        break;
    case FakeHandshakeKeyFault::offCurve:
        serverKey[64] = char(serverKey.at(64) ^ 0x01);
        break;
    }
    QString encodedServerKey = QString::fromLatin1(serverKey.toBase64());
    if (m_handshakeKeyFault == FakeHandshakeKeyFault::lineBreak)
        encodedServerKey.insert(44, QLatin1Char('\n'));

    const qint64 now = Clock::shared().nowMilliseconds();
    const qint64 ttl = qBound<qint64>(0, m_sessionTtlSeconds, qint64(10) * 365 * 24 * 3600);
    const qint64 expiresAt = now + ttl * 1000;
    QJsonObject data{{QStringLiteral("sessionId"), sessionId},
                     {QStringLiteral("serverPublicKey"), encodedServerKey},
                     {QStringLiteral("ttlSeconds"), ttl},
                     {QStringLiteral("expireAt"), expiresAt}};
    for (auto it = m_handshakeFields.begin(); it != m_handshakeFields.end(); ++it) {
        if (it.value().isNull())
            data.remove(it.key());
        else
            data.insert(it.key(), it.value());
    }

    QJsonObject envelope{{QStringLiteral("success"), true}, {QStringLiteral("data"), data}};
    bool issued = m_handshakeKeyFault == FakeHandshakeKeyFault::none;
    if (scenario) {
        if (scenario->fail) {
            envelope.insert(QStringLiteral("success"), false);
            if (!scenario->errCode.isUndefined())
                envelope.insert(QStringLiteral("errCode"), scenario->errCode);
            if (!scenario->errMessage.isUndefined())
                envelope.insert(QStringLiteral("errMessage"), scenario->errMessage);
            issued = false;
        }
        if (scenario->data == FakeScenario::Data::missing) {
            envelope.remove(QStringLiteral("data"));
            issued = false;
        } else if (scenario->data == FakeScenario::Data::null) {
            envelope.insert(QStringLiteral("data"), QJsonValue::Null);
            issued = false;
        }
        if (scenario->numbersAsStrings)
            envelope.insert(QStringLiteral("data"), numbersToStrings(envelope.value(QStringLiteral("data"))));
    }
    if (issued) {
        m_sessions.insert(sessionId, Session{agreement.aesKey, expiresAt, false});
        ++m_successfulHandshakeCount;
    }
    reply(scenario && scenario->httpStatus ? scenario->httpStatus : 200,
          QJsonDocument(envelope).toJson(QJsonDocument::Compact));
}
