#include "FakeService.h"

#include "FakeHttpServer.h"

#include <QUuid>

Q_LOGGING_CATEGORY(lcFakeService, "vuzo.fakeservice", QtInfoMsg)

FakeService::FakeService(QObject *parent)
    : QObject(parent),
      m_http(std::make_unique<FakeHttpServer>([this](const FakeHttpRequest &request) { handle(request); }))
{
    loadFixtures();
}

FakeService::~FakeService() = default;

bool FakeService::start(quint16 port)
{
    if (!m_http->listen(port)) {
        qCWarning(lcFakeService) << "cannot listen on 127.0.0.1 port" << port;
        return false;
    }
    return true;
}

void FakeService::stop()
{
    m_http->close();
    m_held.clear();
}

bool FakeService::isRunning() const
{
    return m_http->isListening();
}

quint16 FakeService::port() const
{
    return m_http->port();
}

QUrl FakeService::baseUrl() const
{
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port()));
}

QStringList FakeService::endpointPaths()
{
    return {QStringLiteral("/user/sendVerifyCode"),
            QStringLiteral("/user/loginByVerifyCode"),
            QStringLiteral("/user/getUserVipExpireTimeList"),
            initConfigPath,
            QStringLiteral("/common/getCardMenu"),
            QStringLiteral("/common/getUserCollectCardMenu"),
            QStringLiteral("/exam/getQuestionByMenuId"),
            QStringLiteral("/exam/getRealExamList"),
            QStringLiteral("/exam/getRealExamDetailAndJoinExam"),
            QStringLiteral("/exam/commitExam"),
            QStringLiteral("/userExam/getUserExamLogDetail"),
            QStringLiteral("/userExam/getUserExamLogList"),
            QStringLiteral("/userExam/delUserExamLog"),
            QStringLiteral("/userExam/getUserCollectList"),
            QStringLiteral("/userExam/manageUserCollect")};
}

void FakeService::reset()
{
    // Held replies are answered as they are, so that no client waits forever.
    const auto heldPaths = m_held.keys();
    for (const QString &path : heldPaths)
        releaseReplies(path);
    m_sessionModeEnabled = true;
    m_handshakePath = defaultHandshakePath;
    m_sessionTtlSeconds = 7200;
    m_sessionRejection = FakeSessionRejection::httpStatus;
    m_handshakeKeyFault = FakeHandshakeKeyFault::none;
    m_handshakeFields = {};
    m_sessions.clear();
    m_tokenRequired = true;
    m_tokens.clear();
    m_scenarios.clear();
    m_nextSessionFailure = 0;
    m_data.clear();
    m_largeSetMenus.clear();
    m_heavySetMenus.clear();
    m_holding.clear();
    clearLog();
    loadFixtures();
}

void FakeService::setSessionModeEnabled(bool enabled)
{
    m_sessionModeEnabled = enabled;
}

void FakeService::setHandshakePath(const QString &path)
{
    m_handshakePath = path;
}

void FakeService::setSessionTtlSeconds(qint64 seconds)
{
    m_sessionTtlSeconds = seconds;
}

void FakeService::expireSessions()
{
    for (Session &session : m_sessions)
        session.revoked = true;
}

QString FakeService::issueToken(const QString &mobile)
{
    const QString token = QUuid::createUuid().toString(QUuid::Id128);
    m_tokens.insert(token, mobile);
    return token;
}

void FakeService::revokeTokens()
{
    m_tokens.clear();
}

void FakeService::setScenario(const QString &path, const FakeScenario &scenario)
{
    m_scenarios.insert(path, {scenario});
}

void FakeService::addScenario(const QString &path, const FakeScenario &scenario)
{
    m_scenarios[path].append(scenario);
}

void FakeService::clearScenario(const QString &path)
{
    m_scenarios.remove(path);
}

void FakeService::failWithStatus(const QString &path, int status, int times)
{
    FakeScenario scenario;
    scenario.httpStatus = status;
    scenario.times = times;
    setScenario(path, scenario);
}

void FakeService::failWithCode(const QString &path, const QJsonValue &code, const QJsonValue &message, int times)
{
    FakeScenario scenario;
    scenario.fail = true;
    scenario.errCode = code;
    scenario.errMessage = message;
    scenario.times = times;
    setScenario(path, scenario);
}

void FakeService::setData(const QString &path, const QJsonValue &data)
{
    m_data.insert(path, data);
}

void FakeService::clearData(const QString &path)
{
    m_data.remove(path);
}

void FakeService::holdReplies(const QString &path)
{
    m_holding.insert(path);
}

void FakeService::releaseReplies(const QString &path)
{
    m_holding.remove(path);
    const QList<Held> held = m_held.take(path);
    for (const Held &reply : held)
        send(path, reply.exchangeId, reply.logIndex, reply.status, reply.body);
}

void FakeService::releaseReply(const QString &path, int index)
{
    QList<Held> &held = m_held[path];
    if (index < 0 || index >= held.size())
        return;
    const Held reply = held.takeAt(index);
    send(path, reply.exchangeId, reply.logIndex, reply.status, reply.body);
}

int FakeService::heldReplyCount(const QString &path) const
{
    return int(m_held.value(path).size());
}

QList<FakeRequest> FakeService::requests(const QString &path) const
{
    QList<FakeRequest> out;
    for (const FakeRequest &request : m_log) {
        if (request.path == path)
            out.append(request);
    }
    return out;
}

std::optional<FakeRequest> FakeService::lastRequest(const QString &path) const
{
    for (auto it = m_log.crbegin(); it != m_log.crend(); ++it) {
        if (it->path == path)
            return *it;
    }
    return std::nullopt;
}

QString FakeService::lastAnsweringLogId() const
{
    return m_lastOpenedLogId;
}

void FakeService::clearLog()
{
    m_log.clear();
    m_sendCounts.clear();
    m_handshakeCount = 0;
    m_successfulHandshakeCount = 0;
    // Held replies refer to log entries by index.
    for (auto &held : m_held) {
        for (Held &reply : held)
            reply.logIndex = -1;
    }
}

std::optional<FakeScenario> FakeService::takeScenario(const QString &path, FakeRequestMode mode)
{
    auto it = m_scenarios.find(path);
    if (it == m_scenarios.end())
        return std::nullopt;
    QList<FakeScenario> &list = it.value();
    for (qsizetype i = 0; i < list.size(); ++i) {
        FakeScenario &scenario = list[i];
        if (scenario.onlyFor != FakeRequestMode::any && scenario.onlyFor != mode)
            continue;
        const FakeScenario taken = scenario;
        if (scenario.times > 0 && --scenario.times == 0)
            list.removeAt(i);
        if (list.isEmpty())
            m_scenarios.erase(it);
        if (taken.times == 0)
            return std::nullopt;
        return taken;
    }
    return std::nullopt;
}

QByteArray FakeRequest::header(QByteArrayView name) const
{
    for (const auto &[key, value] : headers) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return value;
    }
    return {};
}

bool FakeRequest::hasHeader(QByteArrayView name) const
{
    for (const auto &entry : headers) {
        if (entry.first.compare(name, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

QList<QByteArray> FakeRequest::headerNames() const
{
    QList<QByteArray> names;
    for (const auto &entry : headers)
        names.append(entry.first);
    return names;
}
