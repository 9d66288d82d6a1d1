#include "APIClient.h"

#include "CryptoDiagnostics.h"
#include "HandshakeData.h"
#include "HeaderValueError.h"
#include "TransferError.h"
#include "crypto/CryptoPrimitives.h"
#include "platform/Clock.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QNetworkReply>
#include <QPointer>
#include <QUrl>

#include <exception>

namespace {

const QString initConfigPath = QStringLiteral("/common/getInitConfig");
const QString probePath = QStringLiteral("/business");
const QByteArray hkdfInfo = QByteArrayLiteral("quiz-svc-key-v1");
constexpr qint64 fallbackWindowMs = 600'000;
constexpr int sessionKeyLength = 32;

bool isSessionFreePath(const QString &path)
{
    return path.startsWith(QLatin1String("/h5/")) || path.startsWith(QLatin1String("/notify/"))
           || path.startsWith(QLatin1String("/outApi/")) || path.startsWith(QLatin1String("/view/"));
}

} // namespace

std::optional<ResponseEncryptionSession> APIClient::encryptionSessionFor(const QString &path,
                                                                         const QString &baseURL) const
{
    if (path == initConfigPath || path == m_handshakePath || isSessionFreePath(path))
        return std::nullopt;
    if (!m_encryptionSession || m_encryptionSession->baseURL != baseURL)
        return std::nullopt;
    return m_encryptionSession;
}

void APIClient::openFallbackWindow()
{
    qint64 until = 0;
    if (qAddOverflow(monotonicNow(), fallbackWindowMs, &until))
        until = std::numeric_limits<qint64>::max();
    m_fixedFallbackUntil = until;
}

bool APIClient::fallbackWindowOpen() const
{
    return m_fixedFallbackUntil > monotonicNow();
}

bool APIClient::acceptsHandshakePath(const QString &candidate) const
{
    // Only a path on the service itself: a crafted reply must not send the
    // handshake and the device id to another host.
    if (!candidate.startsWith(QLatin1Char('/')))
        return false;
    const QUrl base(m_baseURL, QUrl::StrictMode);
    const QUrl joined(m_baseURL + candidate, QUrl::StrictMode);
    return base.isValid() && joined.isValid() && joined.scheme() == base.scheme() && joined.host() == base.host()
           && joined.port() == base.port() && joined.userInfo() == base.userInfo();
}

QCoro::Task<void> APIClient::configureEncryption(QByteArray initConfigJSON, QString baseURL, QString examBankId)
{
    QJsonParseError parseError {};
    const QJsonDocument document = QJsonDocument::fromJson(initConfigJSON, &parseError);
    const QJsonValue data = document.isObject() ? document.object().value(QLatin1String("data")) : QJsonValue();
    const QJsonValue security = data.isObject() ? data.toObject().value(QLatin1String("security")) : QJsonValue();
    const QJsonValue enabled =
        security.isObject() ? security.toObject().value(QLatin1String("ecdhEnabled")) : QJsonValue();
    if (parseError.error != QJsonParseError::NoError || !enabled.isBool() || !enabled.toBool()) {
        m_ecdhEnabled = false;
        m_encryptionSession.reset();
        co_return;
    }

    m_ecdhEnabled = true;
    const QJsonValue path = security.toObject().value(QLatin1String("handshakePath"));
    if (path.isString() && !path.toString().isEmpty()) {
        if (acceptsHandshakePath(path.toString()))
            m_handshakePath = path.toString();
        else
            CryptoDiagnostics::note(QStringLiteral("handshake path refused; keeping ") + m_handshakePath);
    }
    if (!fallbackWindowOpen())
        co_await establishEncryptionSession(baseURL, examBankId);
}

QCoro::Task<bool> APIClient::establishEncryptionSession(QString baseURL, QString examBankId)
{
    if (!m_ecdhEnabled)
        co_return false;
    if (encryptionSessionFor(probePath, baseURL))
        co_return true;
    CryptoDiagnostics::note(QStringLiteral("handshake started path=") + m_handshakePath);

    QPointer<APIClient> self(this);
    QString failure;
    std::optional<ResponseEncryptionSession> session;
    try {
        session = co_await performHandshake(baseURL, examBankId);
    } catch (const VuzoError &error) {
        failure = error.localizedDescription();
    } catch (const std::exception &error) {
        failure = QString::fromLocal8Bit(error.what());
    }
    if (!self || self->isGone())
        co_return false;
    if (!session) {
        CryptoDiagnostics::note(QStringLiteral("handshake failed: ") + failure);
        m_encryptionSession.reset();
        openFallbackWindow();
        co_return false;
    }
    m_encryptionSession = std::move(session);
    m_fixedFallbackUntil = std::numeric_limits<qint64>::min();
    co_return true;
}

QCoro::Task<ResponseEncryptionSession> APIClient::performHandshake(QString baseURL, QString examBankId)
{
    QPointer<APIClient> self(this);
    P256KeyPair keyPair = m_handshakeKeyPair ? m_handshakeKeyPair() : P256KeyPair::generate();
    const QJsonObject bodyObject {
        {QStringLiteral("clientPublicKey"), QString::fromLatin1(keyPair.publicKeyX963().toBase64())}};
    const QByteArray body = QJsonDocument(bodyObject).toJson(QJsonDocument::Compact);

    const QUrl url(baseURL + m_handshakePath, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        throw APIError::invalidURL();
    QNetworkRequest request = makeRequest(url);
    applyHeaders(request, QString(), examBankId, std::nullopt);
    // Null values remove the three fields that carry mode, session and token.
    request.setRawHeader("X-Encrypt-Mode", QByteArray());
    request.setRawHeader("X-Session-Id", QByteArray());
    request.setRawHeader("X-EM-Token", QByteArray());

    const HttpReply reply = co_await send(request, body);
    if (!self || self->isGone())
        throw TransferError(QNetworkReply::OperationCanceledError, QStringLiteral("client destroyed"));
    CryptoDiagnostics::note(QStringLiteral("handshake HTTP status=") + QString::number(reply.statusCode));
    if (reply.statusCode < 200 || reply.statusCode > 299)
        throw APIError::invalidResponse();

    const HandshakeEnvelope envelope = HandshakeEnvelope::decode(reply.body);
    if (!envelope.success || !envelope.data)
        throw APIError::invalidResponse();
    const HandshakeData &data = *envelope.data;
    // Its id goes into every header set of the session.
    if (!HeaderValueError::isSendable(data.sessionId))
        throw APIError::invalidResponse();
    const std::optional<QByteArray> serverKey = CryptoPrimitives::base64DecodeStrict(data.serverPublicKey.toUtf8());
    if (!serverKey || serverKey->size() != CryptoPrimitives::p256PublicKeyLength || serverKey->at(0) != 0x04)
        throw APIError::invalidResponse();

    const QByteArray secret = keyPair.sharedSecret(*serverKey);
    ResponseEncryptionSession session;
    session.sessionId = data.sessionId;
    session.aesKey = CryptoPrimitives::hkdfSha256(secret, data.sessionId.toUtf8(), hkdfInfo, sessionKeyLength);
    session.baseURL = baseURL;
    session.expiresAt = data.expiresAtMilliseconds(Clock::shared().nowMilliseconds());
    co_return session;
}
