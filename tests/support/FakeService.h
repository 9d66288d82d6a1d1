#pragma once

#include <QByteArray>
#include <QHash>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QLoggingCategory>
#include <QObject>
#include <QSet>
#include <QString>
#include <QUrl>
#include <memory>
#include <optional>
#include <utility>

class FakeHttpServer;
struct FakeHttpRequest;

Q_DECLARE_LOGGING_CATEGORY(lcFakeService)

// How a reply body is put on the wire.
enum class FakeReplyEncoding {
    automatic, // as the request headers ask: session key, fixed key, or plain without "X-Encrypt-Mode"
    plain, // the envelope as JSON text
    quotedBase64, // the encrypted text wrapped in double quotes
    wrappedBase64, // the encrypted text broken into lines of 64 characters
    corruptPadding, // a ciphertext whose last block decrypts to invalid padding
    truncatedCiphertext, // a ciphertext one byte short of a whole block
};

// Which requests a scenario applies to.
enum class FakeRequestMode { any, session, fixed };

// How an unknown or expired session is rejected.
enum class FakeSessionRejection { httpStatus, envelopeCode };

// What the handshake reply does to the service's public key.
enum class FakeHandshakeKeyFault {
    none,
    compressed, // a 33-byte compressed point
    wrongPrefix, // 65 bytes beginning with 0x02
    lineBreak, // valid Base64 with a line break inside
    offCurve, // 65 bytes beginning with 0x04 that are not a point on the curve
};

// A per-path override of the normal reply.
struct FakeScenario
{
    // normal: the endpoint's data on success, none on failure; kept: the data
    // also on failure; missing: no "data" key; null: "data": null.
    enum class Data { normal, kept, missing, null };

    int httpStatus = 0; // 0: the endpoint's own status (200 unless it fails)
    bool fail = false; // envelope "success": false
    QJsonValue errCode = QJsonValue::Undefined; // Undefined leaves the key out
    QJsonValue errMessage = QJsonValue::Undefined;
    Data data = Data::normal;
    bool numbersAsStrings = false; // every JSON number in "data" sent as its text
    FakeReplyEncoding encoding = FakeReplyEncoding::automatic;
    std::optional<QByteArray> rawBody; // sent as is, with httpStatus (or 200)
    FakeRequestMode onlyFor = FakeRequestMode::any;
    int times = -1; // how many matching requests it applies to; -1 for all
};

// One request as the fake received it.
struct FakeRequest
{
    QString path;
    QByteArray method;
    QList<std::pair<QByteArray, QByteArray>> headers; // arrival order, names as sent
    QByteArray body;
    QJsonValue json = QJsonValue::Undefined; // the parsed body; Undefined when it is not JSON
    int status = 0; // status of the reply (0 while it is held)
    QString replyMode; // "ecdh", "fixed" or "plain": how the reply body was encoded

    [[nodiscard]] QByteArray header(QByteArrayView name) const;
    [[nodiscard]] bool hasHeader(QByteArrayView name) const;
    [[nodiscard]] QList<QByteArray> headerNames() const;
};

// A local stand-in of the exam-practice service on 127.0.0.1: the session
// handshake, fixed- and session-key encryption of replies, the response
// envelope and every endpoint with fixture data, plus switches that make it
// misbehave on purpose and a log of what it received.
//
// Replies follow the request's "X-Encrypt-Mode": "ecdh" encrypts with the key
// of the "X-Session-Id" session (an unknown, expired or missing one is
// rejected with 430), "fixed" with the built-in key, anything else is plain.
// Every endpoint but sign-in and init-config needs a known "X-EM-Token" (401).
// Scenarios on the handshake path act on its plain reply; there a failure
// keeps its "data" unless the scenario removes it.
class FakeService : public QObject
{
    Q_OBJECT

public:
    explicit FakeService(QObject *parent = nullptr);
    ~FakeService() override;

    // Binds 127.0.0.1; port 0 picks a free one. False when the port is taken.
    bool start(quint16 port = 0);
    void stop();
    [[nodiscard]] bool isRunning() const;
    [[nodiscard]] quint16 port() const;
    [[nodiscard]] QUrl baseUrl() const; // "http://127.0.0.1:N", no trailing slash

    // Everything back to the fixture state: accounts, sessions, history,
    // collections, scenarios, replacement data, holds, log and counters.
    void reset();

    static inline const QString verificationCode = QStringLiteral("123456");
    static inline const QString defaultHandshakePath = QStringLiteral("/security/handshake");
    static inline const QString initConfigPath = QStringLiteral("/common/getInitConfig");
    [[nodiscard]] static QStringList endpointPaths(); // the fifteen business endpoints

    // Session mode as announced by the init-config reply.
    void setSessionModeEnabled(bool enabled);
    [[nodiscard]] bool sessionModeEnabled() const { return m_sessionModeEnabled; }
    // Moves the handshake endpoint and announces the new path.
    void setHandshakePath(const QString &path);
    [[nodiscard]] QString handshakePath() const { return m_handshakePath; }
    void setSessionTtlSeconds(qint64 seconds);
    void setSessionRejection(FakeSessionRejection rejection) { m_sessionRejection = rejection; }
    // Every session agreed so far is rejected from now on.
    void expireSessions();
    [[nodiscard]] int sessionCount() const { return int(m_sessions.size()); }
    void setHandshakeKeyFault(FakeHandshakeKeyFault fault) { m_handshakeKeyFault = fault; }
    // Members of the handshake reply's "data" that replace the generated ones; a
    // null value removes the member. A string "sessionId" becomes the session id.
    void setHandshakeFields(const QJsonObject &fields) { m_handshakeFields = fields; }

    // Accounts. A token for tests that skip the sign-in.
    QString issueToken(const QString &mobile = QStringLiteral("13800138000"));
    void revokeTokens();
    void setTokenRequired(bool required) { m_tokenRequired = required; }

    // Scenarios and replacement data, per path.
    // setScenario replaces the path's scenarios; addScenario queues another one
    // (the first that matches a request applies).
    void setScenario(const QString &path, const FakeScenario &scenario);
    void addScenario(const QString &path, const FakeScenario &scenario);
    void clearScenario(const QString &path);
    void failWithStatus(const QString &path, int status, int times = -1);
    // The next request sent under a session, whatever its path, gets this
    // status (the first session request of a run); 0 clears it.
    void failNextSessionRequest(int status) { m_nextSessionFailure = status; }
    void failWithCode(const QString &path, const QJsonValue &code, const QJsonValue &message = QJsonValue::Undefined,
                      int times = -1);
    void setData(const QString &path, const QJsonValue &data);
    void clearData(const QString &path);
    // Every set opened from this practice menu is the whole large set of the
    // test support (FakeLargeSet), whatever page size the client asks for.
    void serveLargeSet(const QString &menuId) { m_largeSetMenus.insert(menuId); }
    // The same with the heavy set (FakeHeavySet).
    void serveHeavySet(const QString &menuId) { m_heavySetMenus.insert(menuId); }

    // Held replies: requests are handled at once, their replies sent on release.
    void holdReplies(const QString &path);
    void releaseReplies(const QString &path);
    // Sends the index-th held reply of path (in arrival order) and keeps holding the rest.
    void releaseReply(const QString &path, int index);
    [[nodiscard]] int heldReplyCount(const QString &path) const;

    // What was received.
    [[nodiscard]] QList<FakeRequest> requests() const { return m_log; }
    [[nodiscard]] QList<FakeRequest> requests(const QString &path) const;
    [[nodiscard]] std::optional<FakeRequest> lastRequest(const QString &path) const;
    [[nodiscard]] int sendCount(const QString &path) const { return m_sendCounts.value(path); }
    [[nodiscard]] int handshakeCount() const { return m_handshakeCount; }
    [[nodiscard]] int successfulHandshakeCount() const { return m_successfulHandshakeCount; }
    void clearLog();

    // Server-side state for assertions.
    [[nodiscard]] QSet<QString> collectedQuestionIds() const { return m_collected; }
    [[nodiscard]] QJsonArray historyLogs() const;
    // Hand-ins of one answering log the service accepted.
    [[nodiscard]] int commitCount(const QString &logId) const { return m_commitCounts.value(logId); }
    // The answering log opened last (a practice set or a joined paper), empty before any.
    [[nodiscard]] QString lastAnsweringLogId() const;

Q_SIGNALS:
    void requestReceived(const QString &path);
    void replySent(const QString &path, int status);
    void verificationCodeSent(const QString &code);

private:
    struct Reply
    {
        int status = 200;
        bool success = true;
        QJsonValue errCode = QJsonValue::Undefined;
        QJsonValue errMessage = QJsonValue::Undefined;
        QJsonValue data = QJsonValue::Undefined;
    };
    struct Session
    {
        QByteArray aesKey;
        qint64 expiresAtMs = 0;
        bool revoked = false;
    };
    struct Held
    {
        quint64 exchangeId = 0;
        int logIndex = -1;
        int status = 0;
        QByteArray body;
    };
    struct Log; // an answering log: one practice set or joined past paper

    void handle(const FakeHttpRequest &request);
    void send(const QString &path, quint64 exchangeId, int logIndex, int status, const QByteArray &body);
    void handleHandshake(const FakeHttpRequest &request, const QJsonValue &json, quint64 exchangeId, int logIndex);
    [[nodiscard]] std::optional<FakeScenario> takeScenario(const QString &path, FakeRequestMode mode);

    // Endpoints (FakeServiceEndpoints.cpp). Each fills the reply's data or its failure.
    void dispatch(const QString &path, const QJsonObject &body, const QString &examBankId, Reply &reply);
    void sendVerifyCode(const QJsonObject &body, Reply &reply);
    void loginByVerifyCode(const QJsonObject &body, Reply &reply);
    void vipExpireTimeList(Reply &reply);
    void initConfig(Reply &reply);
    void cardMenu(const QJsonObject &body, Reply &reply);
    void collectCardMenu(const QJsonObject &body, Reply &reply);
    void questionByMenuId(const QJsonObject &body, Reply &reply);
    void realExamList(const QJsonObject &body, Reply &reply);
    void realExamDetail(const QJsonObject &body, Reply &reply);
    void commitExam(const QJsonObject &body, Reply &reply);
    void examLogDetail(const QJsonObject &body, Reply &reply);
    void examLogList(const QJsonObject &body, Reply &reply);
    void deleteExamLogs(const QJsonObject &body, Reply &reply);
    void collectList(const QJsonObject &body, Reply &reply);
    void manageCollect(const QJsonObject &body, Reply &reply);

    void loadFixtures();
    [[nodiscard]] QJsonObject questionWithState(const QJsonObject &question) const;
    [[nodiscard]] QJsonArray materialsFor(const QString &bankId, const QJsonArray &questions) const;
    [[nodiscard]] QString newId(const char *prefix);
    [[nodiscard]] bool hasValidMembership(const QString &bankId) const;

    std::unique_ptr<FakeHttpServer> m_http;

    bool m_sessionModeEnabled = true;
    QString m_handshakePath = defaultHandshakePath;
    qint64 m_sessionTtlSeconds = 7200;
    FakeSessionRejection m_sessionRejection = FakeSessionRejection::httpStatus;
    FakeHandshakeKeyFault m_handshakeKeyFault = FakeHandshakeKeyFault::none;
    QJsonObject m_handshakeFields;
    QHash<QString, Session> m_sessions;

    bool m_tokenRequired = true;
    QHash<QString, QString> m_tokens; // token -> mobile

    QHash<QString, QList<FakeScenario>> m_scenarios;
    int m_nextSessionFailure = 0;
    QHash<QString, QJsonValue> m_data;
    QSet<QString> m_largeSetMenus;
    QSet<QString> m_heavySetMenus;
    QSet<QString> m_holding;
    QHash<QString, QList<Held>> m_held;

    QList<FakeRequest> m_log;
    QHash<QString, int> m_sendCounts;
    int m_handshakeCount = 0;
    int m_successfulHandshakeCount = 0;

    // Fixture data (tests/data/fake/) and the state built on it.
    QJsonArray m_examBanks;
    QJsonObject m_menus; // bank id -> {"1": [...], "2": [...]}
    QJsonObject m_questionPools; // bank id -> {"materialsList": [...], "questionList": [...]}
    QJsonObject m_realExams; // bank id -> [paper, ...]
    QJsonArray m_membership;
    QList<std::shared_ptr<Log>> m_logs;
    QHash<QString, int> m_commitCounts; // log id -> accepted hand-ins
    QString m_lastOpenedLogId;
    QSet<QString> m_collected;
    quint64 m_idCounter = 0;
};
