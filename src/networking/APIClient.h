#pragma once

#include "APIEnvelope.h"
#include "APIError.h"
#include "RequestBodies.h"
#include "ResponseEncryptionSession.h"

#include "models/CardMenu.h"
#include "models/CommitExamRequest.h"
#include "models/CommitResult.h"
#include "models/ExamBank.h"
#include "models/HistoryReport.h"
#include "models/LoginResponse.h"
#include "models/PracticeHistoryRecord.h"
#include "models/QuestionModel.h"
#include "models/RealExamDetail.h"
#include "models/RealExamDetailRequest.h"
#include "models/RealExamListRequest.h"
#include "models/RealExamSummary.h"
#include "models/VIPStatusResponse.h"

#include <QByteArray>
#include <QJsonDocument>
#include <QList>
#include <QNetworkRequest>
#include <QObject>
#include <QSet>
#include <QString>

#include <QCoroTask>

#include <functional>
#include <limits>
#include <optional>
#include <type_traits>

class P256KeyPair;
class QNetworkAccessManager;
class QNetworkReply;

// The one client of the exam-practice service. Every call is a POST of a JSON
// body to the base address plus a path, with the common headers; the reply is
// decrypted (session or fixed key), unwrapped from its envelope and decoded.
// A rejected session (HTTP or business code 430) is renewed once by a new
// handshake, then dropped for a fixed-key fallback window; a call sends at
// most three times. Runs on the main thread; its state needs no lock.
//
// Failures are thrown: APIError, ResponseCryptoError (fixed-mode bodies that do
// not decrypt), TransferError (no HTTP reply) and DecodingError (envelope or
// data that does not decode).
class APIClient : public QObject
{
    Q_OBJECT

public:
    // The three limits of one transfer: the longest idle time between data,
    // the longest total time of a transfer and the limit of one request. The
    // transfer is aborted at the earlier of the last two.
    // The largest reply body accepted. The biggest real reply, a 150-question
    // set with inline images, is a few MB; anything past this is refused
    // before it is buffered whole.
    static constexpr qint64 maxReplyBytes = 32 * 1024 * 1024;

    struct Timeouts
    {
        int idleMs = 30'000;
        int transferMs = 45'000;
        int requestMs = 60'000;
    };

    // baseURL: scheme and host (and port), no trailing slash; request paths are
    // appended to it as text.
    explicit APIClient(const QString &baseURL = QStringLiteral(VUZO_API_BASE_URL), QObject *parent = nullptr);
    ~APIClient() override;

    // The program's client, created on first use with the built-in base address.
    static APIClient &shared();
    // Tests aim the program at another client; nullptr restores the built-in one.
    static void setShared(APIClient *client);

    [[nodiscard]] QString baseURL() const { return m_baseURL; }

    // The device identifier sent as "X-MAC": read from the user defaults, made
    // and stored on first need.
    [[nodiscard]] QString deviceIdentifier() const;

    // Tests shorten the limits and drive the fallback window's clock.
    void setTimeouts(const Timeouts &timeouts) { m_timeouts = timeouts; }
    [[nodiscard]] Timeouts timeouts() const { return m_timeouts; }
    // A monotonic millisecond source; nullptr restores the steady clock.
    void setMonotonicClock(std::function<qint64()> clock);

    // ---- endpoints; token: the login token, empty for none ----------------
    QCoro::Task<bool> sendVerifyCode(SendVerifyCodeRequest body, QString examBankId);
    QCoro::Task<LoginResponse> loginByVerifyCode(LoginRequest body, QString examBankId);
    QCoro::Task<VIPStatusResponse> getUserVipExpireTimeList(QString token, QString examBankId);
    QCoro::Task<InitConfigResponse> getInitConfig(InitConfigRequest body, QString token, QString examBankId);
    QCoro::Task<QList<CardMenu>> getCardMenu(CardMenuRequest body, QString token, QString examBankId);
    QCoro::Task<QList<CardMenu>> getUserCollectCardMenu(ReportRequest body, QString token, QString examBankId);
    QCoro::Task<QuestionModel> getQuestionByMenuId(QuestionRequest body, QString token, QString examBankId);
    QCoro::Task<QList<RealExamSummary>> getRealExamList(RealExamListRequest body, QString token,
                                                        QString examBankId);
    QCoro::Task<RealExamDetail> getRealExamDetailAndJoinExam(RealExamDetailRequest body, QString token,
                                                             QString examBankId);
    QCoro::Task<CommitResult> commitExam(CommitExamRequest body, QString token, QString examBankId);
    QCoro::Task<HistoryReport> getUserExamLogDetail(ReportRequest body, QString token, QString examBankId);
    QCoro::Task<QList<PracticeHistoryRecord>> getUserExamLogList(PracticeHistoryListRequest body, QString token,
                                                                 QString examBankId);
    QCoro::Task<bool> delUserExamLog(DeletePracticeHistoryRequest body, QString token, QString examBankId);
    QCoro::Task<QuestionModel> getUserCollectList(CollectionListRequest body, QString token, QString examBankId);
    QCoro::Task<bool> manageUserCollect(ManageCollectionRequest body, QString token, QString examBankId);

private:
    friend struct APIClientTestAccess;

    struct EnvelopeOutcome
    {
        bool success = false;
        std::optional<QString> errCode;
        std::optional<QString> errMessage;
    };
    // Decodes the decrypted bytes as the envelope of the call's result type,
    // keeping the typed data on the caller's side. Throws DecodingError.
    using EnvelopeReader = std::function<EnvelopeOutcome(const QByteArray &json)>;

    struct HttpReply
    {
        int statusCode = -1; // -1: not an HTTP reply
        QByteArray body;
    };

    // The typed pipeline: every endpoint is one instantiation.
    template<class T, class Body>
    QCoro::Task<T> request(QString path, Body body, QString token, QString examBankId, bool allowSecurityRetry);

    // One attempt and its resends; returns when the envelope reports success.
    QCoro::Task<void> performRequest(QString path, QByteArray body, QString token, QString examBankId,
                                     bool allowSecurityRetry, EnvelopeReader reader);

    // POSTs and awaits the reply under the three limits. Throws TransferError.
    QCoro::Task<HttpReply> send(QNetworkRequest request, QByteArray body);
    [[nodiscard]] QNetworkRequest makeRequest(const QUrl &url) const;

    // Throws HeaderValueError for a value that would split its header.
    void applyHeaders(QNetworkRequest &request, const QString &token, const QString &examBankId,
                      const std::optional<ResponseEncryptionSession> &encryptionSession) const;

    [[nodiscard]] std::optional<ResponseEncryptionSession> encryptionSessionFor(const QString &path,
                                                                                 const QString &baseURL) const;
    QCoro::Task<void> configureEncryption(QByteArray initConfigJSON, QString baseURL, QString examBankId);
    QCoro::Task<bool> establishEncryptionSession(QString baseURL, QString examBankId);
    QCoro::Task<ResponseEncryptionSession> performHandshake(QString baseURL, QString examBankId);
    [[nodiscard]] bool acceptsHandshakePath(const QString &candidate) const;

    void openFallbackWindow();
    [[nodiscard]] bool fallbackWindowOpen() const;
    [[nodiscard]] qint64 monotonicNow() const;
    [[nodiscard]] bool isGone() const { return m_shuttingDown; }

    QString m_baseURL;
    QNetworkAccessManager *m_manager;
    Timeouts m_timeouts;
    std::function<qint64()> m_monotonicClock;

    std::optional<ResponseEncryptionSession> m_encryptionSession;
    bool m_ecdhEnabled = false;
    QString m_handshakePath = QStringLiteral("/security/handshake");
    // Monotonic ms; the minimum is the distant past.
    qint64 m_fixedFallbackUntil = std::numeric_limits<qint64>::min();

    QSet<QNetworkReply *> m_inFlight;
    bool m_shuttingDown = false;

    // Where the handshake's key pair comes from; empty: a fresh random one.
    // Only tests set it, to run the agreement on a published vector.
    std::function<P256KeyPair()> m_handshakeKeyPair;
};

template<class T, class Body>
QCoro::Task<T> APIClient::request(QString path, Body body, QString token, QString examBankId,
                                  bool allowSecurityRetry)
{
    // Encoding a QJsonObject cannot fail.
    QByteArray bytes = QJsonDocument(body.toJson()).toJson(QJsonDocument::Compact);
    std::optional<T> result;
    co_await performRequest(std::move(path), std::move(bytes), std::move(token), std::move(examBankId),
                            allowSecurityRetry, [&result](const QByteArray &json) {
                                APIEnvelope<T> envelope = APIEnvelope<T>::decode(json);
                                result = std::move(envelope.data);
                                return EnvelopeOutcome {envelope.success, std::move(envelope.errCode),
                                                        std::move(envelope.errMessage)};
                            });
    if (result)
        co_return std::move(*result);
    if constexpr (std::is_same_v<T, bool>)
        co_return true;
    else
        throw APIError::missingData();
}
