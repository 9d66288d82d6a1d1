#include "APIClient.h"

#include "AESResponseDecoder.h"
#include "CryptoDiagnostics.h"
#include "ResponseCryptoError.h"
#include "TransferError.h"

#include <QNetworkReply>
#include <QPointer>
#include <QUrl>

namespace {

const QString initConfigPath = QStringLiteral("/common/getInitConfig");
const QString defaultErrorCode = QStringLiteral("unknown");
const QString defaultErrorMessage = QStringLiteral("请求失败");

enum class Recovery { none, renew, fallBack };

} // namespace

QCoro::Task<void> APIClient::performRequest(QString path, QByteArray body, QString token, QString examBankId,
                                            bool allowSecurityRetry, EnvelopeReader reader)
{
    QPointer<APIClient> self(this);
    const QString baseURL = m_baseURL;

    const QUrl url(baseURL + path, QUrl::StrictMode);
    if (!url.isValid() || url.isRelative())
        throw APIError::invalidURL();

    // The attempt's session decides the key and whether a rejection can be
    // renewed, whatever other calls do to the stored session meanwhile.
    const std::optional<ResponseEncryptionSession> session = encryptionSessionFor(path, baseURL);
    const QString mode = session ? QStringLiteral("ecdh") : QStringLiteral("fixed");
    CryptoDiagnostics::request(path, mode);

    QNetworkRequest request = makeRequest(url);
    applyHeaders(request, token, examBankId, session);

    const HttpReply reply = co_await send(request, body);
    if (!self || self->isGone())
        throw TransferError(QNetworkReply::OperationCanceledError, QStringLiteral("client destroyed"));

    Recovery recovery = Recovery::none;
    const int status = reply.statusCode;
    if (status < 0)
        throw APIError::invalidResponse();
    if (status == 430 && session && allowSecurityRetry) {
        CryptoDiagnostics::note(QStringLiteral("session rejected path=") + path + QStringLiteral(" http=430; renewing"));
        recovery = Recovery::renew;
    } else if (status == 430 && session) {
        CryptoDiagnostics::note(QStringLiteral("session rejected again path=") + path
                                + QStringLiteral(" http=430; using fixed fallback"));
        recovery = Recovery::fallBack;
    } else if (status == 401) {
        throw APIError::unauthorized();
    } else if (status == 403 || status == 426) {
        throw APIError::vipRequired();
    } else if (status < 200 || status > 299) {
        throw APIError::server(status);
    }

    if (recovery == Recovery::none) {
        QByteArray json;
        try {
            json = AESResponseDecoder::decodedJSONData(reply.body,
                                                       session ? std::optional(session->aesKey) : std::nullopt);
        } catch (const ResponseCryptoError &) {
            if (!session)
                throw;
            CryptoDiagnostics::note(QStringLiteral("session decryption failed path=") + path
                                    + QStringLiteral("; using fixed fallback"));
            recovery = Recovery::fallBack;
        }

        if (recovery == Recovery::none) {
            CryptoDiagnostics::response(path, mode,
                                        AESResponseDecoder::looksLikePlainJSON(reply.body)
                                            ? QStringLiteral("plain-json")
                                            : QStringLiteral("aes-cbc"));
            // The set-up takes effect before, and whatever, the envelope says.
            if (path == initConfigPath) {
                co_await configureEncryption(json, baseURL, examBankId);
                if (!self || self->isGone())
                    throw TransferError(QNetworkReply::OperationCanceledError, QStringLiteral("client destroyed"));
            }

            const EnvelopeOutcome envelope = reader(json);
            if (envelope.success)
                co_return;
            const QString message = envelope.errMessage.value_or(defaultErrorMessage);
            if (!envelope.errCode)
                throw APIError::api(defaultErrorCode, message);
            const QString &code = *envelope.errCode;
            if (code == QLatin1String("430") && session && allowSecurityRetry) {
                CryptoDiagnostics::note(QStringLiteral("session rejected path=") + path
                                        + QStringLiteral(" code=430; renewing"));
                recovery = Recovery::renew;
            } else if (code == QLatin1String("430") && session) {
                CryptoDiagnostics::note(QStringLiteral("session rejected again path=") + path
                                        + QStringLiteral(" code=430; using fixed fallback"));
                recovery = Recovery::fallBack;
            } else if (code == QLatin1String("403") || code == QLatin1String("426")) {
                throw APIError::vipRequired();
            } else {
                throw APIError::api(code, message);
            }
        }
    }

    if (recovery == Recovery::renew) {
        m_encryptionSession.reset();
        co_await establishEncryptionSession(baseURL, examBankId);
        if (!self || self->isGone())
            throw TransferError(QNetworkReply::OperationCanceledError, QStringLiteral("client destroyed"));
    } else {
        m_encryptionSession.reset();
        openFallbackWindow();
    }
    // A resend never renews: with the session gone it runs in fixed mode, so a
    // call sends at most three times.
    co_await performRequest(std::move(path), std::move(body), std::move(token), std::move(examBankId), false,
                            std::move(reader));
}
