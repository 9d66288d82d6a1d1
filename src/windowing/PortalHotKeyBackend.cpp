#include "PortalHotKeyBackend.h"

#include "HotKeyCodec.h"
#include "PortalShortcut.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QRandomGenerator>

namespace {

const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");
// What the desktop lists the shortcut as in its settings.
const QString shortcutDescription = QStringLiteral("显示 / 隐藏整个窗口");

QString pathOf(const QVariant &value)
{
    // The session handle arrives as a string from most portals, as an object
    // path from some.
    if (value.canConvert<QDBusObjectPath>() && value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

std::optional<QString> describedTrigger(const PortalShortcutList &shortcuts)
{
    for (const PortalShortcut &shortcut : shortcuts) {
        if (shortcut.id == PortalHotKeyBackend::shortcutId)
            return shortcut.properties.value(QStringLiteral("trigger_description")).toString();
    }
    return std::nullopt;
}

PortalShortcutList shortcutsOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<PortalShortcutList>(value.value<QDBusArgument>());
    return value.value<PortalShortcutList>();
}

QVariantMap mapOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>())
        return qdbus_cast<QVariantMap>(value.value<QDBusArgument>());
    return value.toMap();
}

} // namespace

PortalHotKeyBackend::PortalHotKeyBackend(const QDBusConnection &connection, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
{
    PortalShortcut::registerDBusTypes();
    // Signals of the portal are subscribed before any call could cause them.
    m_signalsConnected
        = m_connection.connect(service, objectPath, interfaceName, QStringLiteral("Activated"), this,
                               SLOT(onActivated(QDBusMessage)))
        && m_connection.connect(service, objectPath, interfaceName, QStringLiteral("ShortcutsChanged"), this,
                                SLOT(onShortcutsChanged(QDBusMessage)));
}

PortalHotKeyBackend::~PortalHotKeyBackend()
{
    abandonAttempt();
    if (m_bound)
        closeSession(m_bound->session);
    m_connection.disconnect(service, objectPath, interfaceName, QStringLiteral("Activated"), this,
                            SLOT(onActivated(QDBusMessage)));
    m_connection.disconnect(service, objectPath, interfaceName, QStringLiteral("ShortcutsChanged"), this,
                            SLOT(onShortcutsChanged(QDBusMessage)));
}

bool PortalHotKeyBackend::isOffered(const QDBusConnection &connection, int timeoutMs)
{
    if (!connection.isConnected())
        return false;
    QDBusMessage get = QDBusMessage::createMethodCall(service, objectPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << interfaceName << QStringLiteral("version");
    const QDBusMessage reply = connection.call(get, QDBus::Block, timeoutMs);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    bool isNumber = false;
    const uint version = reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt(&isNumber);
    return isNumber && version >= 1;
}

void PortalHotKeyBackend::registerHostApplication(const QDBusConnection &connection, const QString &applicationId,
                                                  int timeoutMs)
{
    if (!connection.isConnected())
        return;
    QDBusMessage registration = QDBusMessage::createMethodCall(
        service, objectPath, QStringLiteral("org.freedesktop.host.portal.Registry"), QStringLiteral("Register"));
    registration << applicationId << QVariantMap();
    // An older portal, or a program not installed with its desktop entry, says
    // no; the portal then names the program as it can.
    connection.call(registration, QDBus::Block, timeoutMs);
}

HotKeyBackend::Registration PortalHotKeyBackend::registerHotKey(quint32 keyCode, quint32 modifiers)
{
    const auto trigger = HotKeyCodec::portalTrigger(keyCode, modifiers);
    if (!trigger)
        return {unknownKey, 0};
    if (!m_connection.isConnected() || !m_signalsConnected)
        return {unavailable, 0};
    const quint64 handle = m_nextHandle++;
    // A newer wish replaces one that waits; bindings go one at a time.
    m_wanted = Wish{handle, *trigger};
    if (!m_attempt)
        startAttempt();
    return {pending, handle};
}

void PortalHotKeyBackend::unregisterHotKey(quint64 handle)
{
    if (m_wanted && m_wanted->handle == handle)
        m_wanted.reset();
    if (m_attempt && m_attempt->wish.handle == handle)
        abandonAttempt();
    if (m_bound && m_bound->handle == handle) {
        closeSession(m_bound->session);
        m_bound.reset();
    }
}

void PortalHotKeyBackend::installHandler(std::function<void()> onPressed)
{
    m_onPressed = std::move(onPressed);
}

void PortalHotKeyBackend::removeHandler()
{
    m_onPressed = nullptr;
}

QString PortalHotKeyBackend::newToken()
{
    return QStringLiteral("vuzo_%1_%2").arg(++m_tokenCounter).arg(QRandomGenerator::global()->generate());
}

QString PortalHotKeyBackend::requestPath(const QString &token) const
{
    QString sender = m_connection.baseService();
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

void PortalHotKeyBackend::watchRequest(const Request &request)
{
    forgetRequest();
    m_attempt->request = request;
    m_connection.connect(service, request.path, requestInterface, QStringLiteral("Response"), this,
                         SLOT(onRequestResponse(QDBusMessage)));
}

void PortalHotKeyBackend::forgetRequest()
{
    if (!m_attempt || !m_attempt->request)
        return;
    m_connection.disconnect(service, m_attempt->request->path, requestInterface, QStringLiteral("Response"), this,
                            SLOT(onRequestResponse(QDBusMessage)));
    m_attempt->request.reset();
}

void PortalHotKeyBackend::startAttempt()
{
    if (!m_wanted)
        return;
    m_attempt = Attempt{*m_wanted, {}, std::nullopt};
    m_wanted.reset();
    createSession();
}

void PortalHotKeyBackend::abandonAttempt()
{
    if (!m_attempt)
        return;
    forgetRequest();
    if (!m_attempt->session.isEmpty())
        closeSession(m_attempt->session);
    m_attempt.reset();
}

void PortalHotKeyBackend::createSession()
{
    const QString token = newToken();
    const Request request{RequestKind::createSession, requestPath(token)};
    // Subscribed before the call: the answer may come before the call returns.
    watchRequest(request);
    QDBusMessage call = QDBusMessage::createMethodCall(service, objectPath, interfaceName, QStringLiteral("CreateSession"));
    call << QVariantMap{{QStringLiteral("handle_token"), token}, {QStringLiteral("session_handle_token"), newToken()}};
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path = request.path](QDBusPendingCallWatcher *finished) { handleCallReply(finished, path); });
}

void PortalHotKeyBackend::bind()
{
    const QString token = newToken();
    const Request request{RequestKind::bindShortcuts, requestPath(token)};
    watchRequest(request);
    const PortalShortcutList shortcuts{PortalShortcut{shortcutId,
                                                      {{QStringLiteral("description"), shortcutDescription},
                                                       {QStringLiteral("preferred_trigger"), m_attempt->wish.trigger}}}};
    QDBusMessage call = QDBusMessage::createMethodCall(service, objectPath, interfaceName, QStringLiteral("BindShortcuts"));
    call << QVariant::fromValue(QDBusObjectPath(m_attempt->session)) << QVariant::fromValue(shortcuts) << QString()
         << QVariantMap{{QStringLiteral("handle_token"), token}};
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, path = request.path](QDBusPendingCallWatcher *finished) { handleCallReply(finished, path); });
}

void PortalHotKeyBackend::handleCallReply(QDBusPendingCallWatcher *watcher, const QString &path)
{
    watcher->deleteLater();
    if (!m_attempt || !m_attempt->request || m_attempt->request->path != path)
        return; // answered already, or given up
    const QDBusPendingReply<QDBusObjectPath> reply = *watcher;
    if (reply.isError()) {
        const QDBusError::ErrorType type = reply.error().type();
        // No portal answering at all is a missing portal, not a refusal.
        const bool missing = type == QDBusError::ServiceUnknown || type == QDBusError::NoReply
            || type == QDBusError::UnknownInterface || type == QDBusError::UnknownMethod
            || type == QDBusError::UnknownObject || type == QDBusError::Disconnected;
        const quint64 handle = m_attempt->wish.handle;
        abandonAttempt();
        answer(handle, missing ? unavailable : refused);
        startAttempt();
        return;
    }
    const QString returned = reply.value().path();
    if (!returned.isEmpty() && returned != path) {
        // An older portal chose its own handle: follow it.
        Request moved = *m_attempt->request;
        moved.path = returned;
        watchRequest(moved);
    }
}

void PortalHotKeyBackend::onRequestResponse(const QDBusMessage &message)
{
    if (!m_attempt || !m_attempt->request || message.path() != m_attempt->request->path
        || message.arguments().size() < 2)
        return;
    const RequestKind kind = m_attempt->request->kind;
    forgetRequest();
    const uint response = message.arguments().at(0).toUInt();
    const QVariantMap results = mapOf(message.arguments().at(1));
    const quint64 handle = m_attempt->wish.handle;

    if (m_wanted) {
        // Superseded while it waited: the newest wish goes instead.
        if (kind == RequestKind::createSession && response == 0)
            m_attempt->session = pathOf(results.value(QStringLiteral("session_handle")));
        abandonAttempt();
        startAttempt();
        return;
    }

    if (kind == RequestKind::createSession) {
        const QString session = pathOf(results.value(QStringLiteral("session_handle")));
        if (response != 0 || session.isEmpty()) {
            abandonAttempt();
            answer(handle, response != 0 ? statusForResponse(response) : refused);
            return;
        }
        m_attempt->session = session;
        m_connection.connect(service, session, sessionInterface, QStringLiteral("Closed"), this,
                             SLOT(onSessionClosed(QDBusMessage)));
        bind();
        return;
    }

    if (response != 0) {
        abandonAttempt();
        answer(handle, statusForResponse(response));
        return;
    }
    // The new binding is in force; the one before it goes.
    const std::optional<Binding> previous = m_bound;
    m_bound = Binding{handle, m_attempt->session};
    m_attempt.reset();
    if (previous)
        closeSession(previous->session);
    const auto described = describedTrigger(shortcutsOf(results.value(QStringLiteral("shortcuts"))));
    if (m_listener)
        m_listener->bindingDescribed(described.value_or(QString()));
    answer(handle, ok);
}

void PortalHotKeyBackend::onActivated(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || !m_bound)
        return;
    if (pathOf(arguments.at(0)) != m_bound->session || arguments.at(1).toString() != shortcutId)
        return;
    if (m_onPressed) {
        // A copy: the handler may stop the controller, which clears m_onPressed.
        const auto onPressed = m_onPressed;
        onPressed();
    }
}

void PortalHotKeyBackend::onShortcutsChanged(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || !m_bound || pathOf(arguments.at(0)) != m_bound->session)
        return;
    // A shortcut missing from the list has no key any more.
    const auto described = describedTrigger(shortcutsOf(arguments.at(1)));
    if (m_listener)
        m_listener->bindingDescribed(described.value_or(QString()));
}

void PortalHotKeyBackend::onSessionClosed(const QDBusMessage &message)
{
    const QString path = message.path();
    if (m_attempt && !m_attempt->session.isEmpty() && m_attempt->session == path) {
        m_connection.disconnect(service, path, sessionInterface, QStringLiteral("Closed"), this,
                                SLOT(onSessionClosed(QDBusMessage)));
        m_attempt->session.clear(); // closed already
        const quint64 handle = m_attempt->wish.handle;
        abandonAttempt();
        answer(handle, sessionClosed);
        startAttempt();
        return;
    }
    if (m_bound && m_bound->session == path) {
        m_connection.disconnect(service, path, sessionInterface, QStringLiteral("Closed"), this,
                                SLOT(onSessionClosed(QDBusMessage)));
        m_bound.reset();
        if (m_listener)
            m_listener->bindingLost(sessionClosed);
    }
}

void PortalHotKeyBackend::answer(quint64 handle, int status)
{
    if (m_listener)
        m_listener->registrationAnswered(handle, status);
}

void PortalHotKeyBackend::closeSession(const QString &path)
{
    if (path.isEmpty())
        return;
    m_connection.disconnect(service, path, sessionInterface, QStringLiteral("Closed"), this,
                            SLOT(onSessionClosed(QDBusMessage)));
    m_connection.send(QDBusMessage::createMethodCall(service, path, sessionInterface, QStringLiteral("Close")));
}

int PortalHotKeyBackend::statusForResponse(uint response)
{
    return response == 1 ? cancelled : refused;
}
