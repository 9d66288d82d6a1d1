#include "APIClient.h"

#include "HeaderValueError.h"
#include "TransferError.h"
#include "platform/UserDefaults.h"

#include <QCoroNetworkReply>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QTimer>
#include <QUuid>

#include <chrono>
#include <memory>

namespace {

APIClient *g_sharedOverride = nullptr;

const QString deviceIdentifierKey = QStringLiteral("zevarud_mac_device_id");

QString newUuidText()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces).toUpper();
}

// A header value from data (the service's or the store's). Qt writes raw
// header values as they are, so a line break would start a header of its own.
// Values must not be null either: Qt drops a header whose value is null.
QByteArray headerValue(const QString &text, const QString &what)
{
    if (!HeaderValueError::isSendable(text))
        throw HeaderValueError(what);
    QByteArray value = text.toUtf8();
    if (value.isNull())
        value = QByteArray("");
    return value;
}

// Errors that Qt derives from an HTTP status: the reply is a complete HTTP
// reply and goes to the status mapping with its body.
bool isHttpStatusError(QNetworkReply::NetworkError error)
{
    const int code = int(error);
    return (code >= QNetworkReply::ContentAccessDenied && code <= QNetworkReply::UnknownContentError
            && error != QNetworkReply::ContentReSendError)
           || error == QNetworkReply::ProtocolInvalidOperationError
           || (code >= QNetworkReply::InternalServerError && code <= QNetworkReply::UnknownServerError);
}

} // namespace

APIClient::APIClient(const QString &baseURL, QObject *parent)
    : QObject(parent), m_baseURL(baseURL), m_manager(new QNetworkAccessManager(this))
{
    setMonotonicClock(nullptr);
}

APIClient::~APIClient()
{
    // Calls still waiting for a reply end with a cancelled transfer; they see
    // m_shuttingDown and touch nothing else of this client.
    m_shuttingDown = true;
    const QSet<QNetworkReply *> pending = m_inFlight;
    for (QNetworkReply *reply : pending) {
        if (m_inFlight.contains(reply))
            reply->abort();
    }
}

APIClient &APIClient::shared()
{
    if (g_sharedOverride)
        return *g_sharedOverride;
    // Lives for the whole process, like the program's one service client.
    static APIClient *instance = new APIClient();
    return *instance;
}

void APIClient::setShared(APIClient *client)
{
    g_sharedOverride = client;
}

void APIClient::setMonotonicClock(std::function<qint64()> clock)
{
    if (clock) {
        m_monotonicClock = std::move(clock);
        return;
    }
    m_monotonicClock = [] {
        return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                          std::chrono::steady_clock::now().time_since_epoch())
                          .count());
    };
}

qint64 APIClient::monotonicNow() const
{
    return m_monotonicClock();
}

QString APIClient::deviceIdentifier() const
{
    UserDefaults &defaults = UserDefaults::standard();
    const std::optional<QString> stored = defaults.string(deviceIdentifierKey);
    // A stored value that could not be sent counts as none and is replaced.
    if (stored && !stored->isEmpty() && HeaderValueError::isSendable(*stored))
        return *stored;
    const QString identifier = newUuidText();
    defaults.setValue(deviceIdentifierKey, identifier);
    return identifier;
}

void APIClient::applyHeaders(QNetworkRequest &request, const QString &token, const QString &examBankId,
                             const std::optional<ResponseEncryptionSession> &encryptionSession) const
{
    // Raw headers keep the order in which they are set.
    request.setRawHeader("Accept", "application/json");
    request.setRawHeader("Content-Type", "application/json");
    request.setRawHeader("X-Request-Id", newUuidText().toLatin1());
    request.setRawHeader("X-Platform", "Mac");
    request.setRawHeader("X-Channel-Id", "9");
    request.setRawHeader("X-Channel", "Mac");
    request.setRawHeader("X-ExamBankId", headerValue(examBankId, QStringLiteral("题库 ID")));
    request.setRawHeader("X-Type", "2");
    request.setRawHeader("X-MAC", headerValue(deviceIdentifier(), QStringLiteral("设备标识")));
    request.setRawHeader("X-Version", "1.0.0");
    request.setRawHeader("X-Encrypt-Mode", encryptionSession ? QByteArray("ecdh") : QByteArray("fixed"));
    if (encryptionSession)
        request.setRawHeader("X-Session-Id", headerValue(encryptionSession->sessionId, QStringLiteral("会话 ID")));
    if (!token.isEmpty())
        request.setRawHeader("X-EM-Token", headerValue(token, QStringLiteral("登录凭证")));
}

QNetworkRequest APIClient::makeRequest(const QUrl &url) const
{
    QNetworkRequest request(url);
    request.setAttribute(QNetworkRequest::CacheLoadControlAttribute, QNetworkRequest::PreferNetwork);
    request.setTransferTimeout(m_timeouts.idleMs);
    return request;
}

QCoro::Task<APIClient::HttpReply> APIClient::send(QNetworkRequest request, QByteArray body)
{
    QPointer<APIClient> self(this);
    std::unique_ptr<QNetworkReply, QScopedPointerDeleteLater> reply(m_manager->post(request, body));
    m_inFlight.insert(reply.get());

    // The total limit of one transfer; the idle limit is Qt's transfer timeout.
    bool abortedByTimer = false;
    QTimer abortTimer;
    abortTimer.setSingleShot(true);
    QNetworkReply *raw = reply.get();
    QObject::connect(&abortTimer, &QTimer::timeout, raw, [raw, &abortedByTimer] {
        abortedByTimer = true;
        raw->abort();
    });
    abortTimer.start(std::min(m_timeouts.transferMs, m_timeouts.requestMs));

    // An oversized body is cut off as soon as its announced length, or the
    // bytes received so far, pass the bound.
    bool tooLarge = false;
    const auto refuse = [raw, &tooLarge] {
        if (tooLarge)
            return;
        tooLarge = true;
        raw->abort();
    };
    const QMetaObject::Connection lengthWatch = QObject::connect(raw, &QNetworkReply::metaDataChanged, raw, [raw, refuse] {
        bool known = false;
        const qint64 length = raw->header(QNetworkRequest::ContentLengthHeader).toLongLong(&known);
        if (known && length > maxReplyBytes)
            refuse();
    });
    const QMetaObject::Connection progressWatch
        = QObject::connect(raw, &QNetworkReply::downloadProgress, raw, [refuse](qint64 received, qint64) {
              if (received > maxReplyBytes)
                  refuse();
          });

    // The manager deletes its replies when the client goes, and the wait may
    // end only after that (the resumption can be queued): a reply that is
    // gone is not ours to delete.
    const QPointer<QNetworkReply> alive(raw);
    co_await reply.get();
    if (!alive)
        (void)reply.release();
    abortTimer.stop();
    QObject::disconnect(lengthWatch);
    QObject::disconnect(progressWatch);

    if (self)
        self->m_inFlight.remove(raw);
    if (!self || self->isGone() || !alive)
        throw TransferError(QNetworkReply::OperationCanceledError, QStringLiteral("client destroyed"));

    const QNetworkReply::NetworkError error = reply->error();
    const QVariant status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute);
    if (tooLarge)
        throw TransferError::replyTooLarge(maxReplyBytes);
    if (abortedByTimer)
        throw TransferError(QNetworkReply::TimeoutError, reply->errorString());
    if (error != QNetworkReply::NoError && !(status.isValid() && isHttpStatusError(error))) {
        // Nothing but the idle limit cancels a transfer while the client lives.
        if (error == QNetworkReply::OperationCanceledError)
            throw TransferError(QNetworkReply::TimeoutError, reply->errorString());
        throw TransferError(error, reply->errorString());
    }
    HttpReply result;
    if (status.isValid())
        result.statusCode = status.toInt();
    result.body = reply->readAll();
    co_return result;
}
