#include "PortalHotKeyBackend.h"

#include "HotKeyCodec.h"
#include "PortalShortcut.h"

#include <QDBusError>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>

namespace {

const QString requestInterface = QStringLiteral("org.freedesktop.portal.Request");
const QString sessionInterface = QStringLiteral("org.freedesktop.portal.Session");
const QString registryInterface = QStringLiteral("org.freedesktop.host.portal.Registry");
const QString notAllowedError = QStringLiteral("org.freedesktop.portal.Error.NotAllowed");

QString pathOf(const QVariant &value)
{
    // The session handle arrives as a string from most portals, as an object
    // path from some.
    if (value.metaType() == QMetaType::fromType<QDBusObjectPath>())
        return value.value<QDBusObjectPath>().path();
    return value.toString();
}

// None when the value is no list of shortcuts.
std::optional<PortalShortcutList> shortcutsOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        // Read as a list of shortcuts, a value of another type would stop at
        // its first element with a warning.
        if (argument.currentSignature() != QLatin1String("a(sa{sv})"))
            return std::nullopt;
        return qdbus_cast<PortalShortcutList>(argument);
    }
    if (value.metaType() == QMetaType::fromType<PortalShortcutList>())
        return value.value<PortalShortcutList>();
    return std::nullopt;
}

QVariantMap mapOf(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QDBusArgument>()) {
        const auto argument = value.value<QDBusArgument>();
        if (argument.currentSignature() != QLatin1String("a{sv}"))
            return {};
        return qdbus_cast<QVariantMap>(argument);
    }
    return value.toMap();
}

const PortalShortcut *ours(const PortalShortcutList &shortcuts)
{
    for (const PortalShortcut &shortcut : shortcuts) {
        if (shortcut.id == PortalHotKeyBackend::shortcutId)
            return &shortcut;
    }
    return nullptr;
}

// No portal answers on the bus, or it does not know the call.
bool portalMissing(const QDBusError &error)
{
    switch (error.type()) {
    case QDBusError::ServiceUnknown:
    case QDBusError::NoReply:
    case QDBusError::Timeout:
    case QDBusError::UnknownInterface:
    case QDBusError::UnknownMethod:
    case QDBusError::UnknownObject:
    case QDBusError::Disconnected:
        return true;
    default:
        return false;
    }
}

} // namespace

PortalHotKeyBackend::PortalHotKeyBackend(const QDBusConnection &connection, QString applicationId, QObject *parent)
    : QObject(parent)
    , m_connection(connection)
    , m_applicationId(std::move(applicationId))
{
    PortalShortcut::registerDBusTypes();
    // Signals of the portal are subscribed before any call could cause them;
    // this asks the bus, not the portal.
    m_signalsConnected
        = m_connection.connect(service, objectPath, interfaceName, QStringLiteral("Activated"), this,
                               SLOT(onActivated(QDBusMessage)))
        && m_connection.connect(service, objectPath, interfaceName, QStringLiteral("ShortcutsChanged"), this,
                                SLOT(onShortcutsChanged(QDBusMessage)));
}

PortalHotKeyBackend::~PortalHotKeyBackend()
{
    forgetRequest();
    forgetSession();
    m_connection.disconnect(service, objectPath, interfaceName, QStringLiteral("Activated"), this,
                            SLOT(onActivated(QDBusMessage)));
    m_connection.disconnect(service, objectPath, interfaceName, QStringLiteral("ShortcutsChanged"), this,
                            SLOT(onShortcutsChanged(QDBusMessage)));
}

HotKeyBackend::Registration PortalHotKeyBackend::registerHotKey(quint32 keyCode, quint32 modifiers)
{
    const auto trigger = HotKeyCodec::portalTrigger(keyCode, modifiers);
    if (!trigger)
        return {unknownKey, 0};
    if (!m_connection.isConnected() || !m_signalsConnected)
        becomeUnavailable(Availability::waylandWithoutPortal);
    if (m_availability != Availability::available)
        return {unavailable, 0};
    const quint64 handle = m_nextHandle++;
    // A newer wish replaces one that waits; requests go one at a time.
    m_wanted = Wish{handle, *trigger};
    m_releaseWhenIdle = false;
    advance();
    return {pending, handle};
}

void PortalHotKeyBackend::unregisterHotKey(quint64 handle)
{
    if (m_wanted && m_wanted->handle == handle)
        m_wanted.reset();
    // A request in flight still answers; its answer is then dropped.
    if (m_current && m_current->handle == handle)
        m_current.reset();
    if (m_bound && *m_bound == handle)
        m_bound.reset();
    if (!m_wanted && !m_current && !m_bound) {
        m_releaseWhenIdle = true;
        releaseIfUnused();
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

void PortalHotKeyBackend::advance()
{
    if (m_step != Step::none)
        return; // the answer in flight moves things on
    if (m_availability != Availability::available) {
        // Nothing can be bound: every wish hears so.
        for (auto *wish : {&m_current, &m_wanted}) {
            if (const auto dropped = std::exchange(*wish, std::nullopt); dropped && m_listener)
                m_listener->registrationAnswered(dropped->handle, unavailable);
        }
        return;
    }
    if (m_handshake != Handshake::done) {
        if (m_handshake == Handshake::none && (m_wanted || m_current))
            startHandshake();
        return;
    }
    if (!m_current) {
        if (!m_wanted)
            return;
        m_current = std::exchange(m_wanted, std::nullopt);
    }
    // The first registration of a run goes to the desktop with the session
    // (some desktops take shortcuts only from there); a later one is a new
    // combination for the session's shortcut.
    if (m_session.isEmpty())
        createSession();
    else
        bindShortcuts();
}

void PortalHotKeyBackend::startHandshake()
{
    m_handshake = Handshake::underWay;
    const auto askVersion = [this] {
        QDBusMessage get = QDBusMessage::createMethodCall(
            service, objectPath, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
        get << interfaceName << QStringLiteral("version");
        auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(get), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher *finished) {
            finished->deleteLater();
            const QDBusPendingReply<QDBusVariant> reply = *finished;
            bool isNumber = false;
            const uint version = reply.isError() ? 0 : reply.value().variant().toUInt(&isNumber);
            handshakeAnswered(isNumber && version >= 1);
        });
    };
    if (m_applicationId.isEmpty()) {
        askVersion();
        return;
    }
    // The registration goes first on this connection, and everything else
    // waits for its answer: the portal names the program by the first call.
    // An older portal has no registry, and one that cannot find the program's
    // desktop entry refuses; both then name the program as they can.
    QDBusMessage registration = QDBusMessage::createMethodCall(service, objectPath, registryInterface,
                                                               QStringLiteral("Register"));
    registration << m_applicationId << QVariantMap();
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(registration), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [askVersion](QDBusPendingCallWatcher *finished) {
        finished->deleteLater();
        askVersion();
    });
}

void PortalHotKeyBackend::handshakeAnswered(bool offered)
{
    m_handshake = Handshake::done;
    if (!offered) {
        becomeUnavailable(Availability::waylandWithoutPortal);
        return;
    }
    advance();
    releaseIfUnused();
}

QString PortalHotKeyBackend::newToken()
{
    return QStringLiteral("vuzo_%1").arg(++m_tokenCounter);
}

QString PortalHotKeyBackend::requestPath(const QString &token) const
{
    QString sender = m_connection.baseService();
    if (sender.startsWith(QLatin1Char(':')))
        sender.remove(0, 1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

PortalShortcutList PortalHotKeyBackend::wishedShortcuts() const
{
    return {PortalShortcut{shortcutId,
                           {{QStringLiteral("description"), shortcutDescription},
                            {QStringLiteral("preferred_trigger"), m_current->trigger}}}};
}

void PortalHotKeyBackend::createSession()
{
    const QString token = newToken();
    send(Step::createSession, QStringLiteral("CreateSession"),
         {QVariantMap{{QStringLiteral("handle_token"), token},
                      {QStringLiteral("session_handle_token"), sessionToken},
                      {QStringLiteral("shortcuts"), QVariant::fromValue(wishedShortcuts())}}},
         token);
}

void PortalHotKeyBackend::listShortcuts(Step step)
{
    const QString token = newToken();
    send(step, QStringLiteral("ListShortcuts"),
         {QVariant::fromValue(QDBusObjectPath(m_session)), QVariantMap{{QStringLiteral("handle_token"), token}}},
         token);
}

void PortalHotKeyBackend::bindShortcuts()
{
    const QString token = newToken();
    m_changedDuringBind.reset();
    // The desktop may ask the user first: its dialog goes over the panel.
    const QString parent = m_dialogParent ? m_dialogParent() : QString();
    send(Step::bindShortcuts, QStringLiteral("BindShortcuts"),
         {QVariant::fromValue(QDBusObjectPath(m_session)), QVariant::fromValue(wishedShortcuts()), parent,
          QVariantMap{{QStringLiteral("handle_token"), token}}},
         token);
}

void PortalHotKeyBackend::send(Step step, const QString &method, const QVariantList &arguments, const QString &token)
{
    m_step = step;
    m_requestPath = requestPath(token);
    // Subscribed before the call: the answer may come before the call returns.
    m_connection.connect(service, m_requestPath, requestInterface, QStringLiteral("Response"), this,
                         SLOT(onRequestResponse(QDBusMessage)));
    QDBusMessage call = QDBusMessage::createMethodCall(service, objectPath, interfaceName, method);
    call.setArguments(arguments);
    auto *watcher = new QDBusPendingCallWatcher(m_connection.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, step, path = m_requestPath](QDBusPendingCallWatcher *finished) {
                finished->deleteLater();
                if (m_step == Step::none || m_requestPath != path)
                    return; // answered already, or given up
                const QDBusPendingReply<QDBusObjectPath> reply = *finished;
                if (reply.isError()) {
                    callFailed(step, reply.error());
                    return;
                }
                const QString returned = reply.value().path();
                if (!returned.isEmpty() && returned != m_requestPath) {
                    // An older portal chose its own handle: follow it.
                    const Step following = m_step;
                    forgetRequest();
                    m_step = following;
                    m_requestPath = returned;
                    m_connection.connect(service, m_requestPath, requestInterface, QStringLiteral("Response"), this,
                                         SLOT(onRequestResponse(QDBusMessage)));
                }
            });
}

void PortalHotKeyBackend::forgetRequest()
{
    if (!m_requestPath.isEmpty())
        m_connection.disconnect(service, m_requestPath, requestInterface, QStringLiteral("Response"), this,
                                SLOT(onRequestResponse(QDBusMessage)));
    m_requestPath.clear();
    m_step = Step::none;
}

void PortalHotKeyBackend::callFailed(Step step, const QDBusError &error)
{
    forgetRequest();
    // The portal names programs and gives shortcuts only to those it can
    // name: this one it could not.
    if (step == Step::createSession && error.name() == notAllowedError) {
        becomeUnavailable(Availability::desktopRefusesProgram);
        return;
    }
    if (portalMissing(error)) {
        becomeUnavailable(Availability::waylandWithoutPortal);
        return;
    }
    finishWish(step == Step::listAfterRefusal ? m_bindFailure : refused);
}

void PortalHotKeyBackend::onRequestResponse(const QDBusMessage &message)
{
    if (m_step == Step::none || message.path() != m_requestPath || message.arguments().size() < 2)
        return;
    const Step step = m_step;
    forgetRequest();
    bool isNumber = false;
    uint response = message.arguments().at(0).toUInt(&isNumber);
    if (!isNumber)
        response = 2; // a reply that makes no sense is a refusal
    const QVariantMap results = mapOf(message.arguments().at(1));

    if (step == Step::createSession) {
        const QString session = pathOf(results.value(QStringLiteral("session_handle")));
        if (response == 0 && !session.isEmpty()) {
            m_session = session;
            m_connection.connect(service, m_session, sessionInterface, QStringLiteral("Closed"), this,
                                 SLOT(onSessionClosed(QDBusMessage)));
        }
    }
    if (!m_current || m_wanted) {
        // Given up, or superseded while it waited: the newest wish goes instead.
        m_current.reset();
        advance();
        releaseIfUnused();
        return;
    }
    if (response != 0) {
        if (step == Step::bindShortcuts)
            bindAnsweredWithFailure(response, results);
        else
            finishWish(step == Step::listAfterRefusal ? m_bindFailure : statusForResponse(response));
        return;
    }
    switch (step) {
    case Step::createSession:
        if (m_session.isEmpty()) {
            finishWish(refused);
            return;
        }
        // A shortcut the desktop already keeps for the program is not bound
        // again: binding makes some desktops ask the user or open their
        // settings, and would set aside the key the user chose there.
        listShortcuts(Step::listShortcuts);
        return;
    case Step::bindShortcuts:
        listShortcuts(Step::listAfterBind);
        return;
    case Step::listShortcuts:
    case Step::listAfterBind:
    case Step::listAfterRefusal: {
        const auto shortcuts = shortcutsOf(results.value(QStringLiteral("shortcuts")));
        if (!shortcuts) {
            // An answer that makes no sense binds nothing.
            finishWish(step == Step::listAfterRefusal ? m_bindFailure : refused);
        } else if (ours(*shortcuts)) {
            describe(*shortcuts);
            finishWish(ok);
        } else if (step == Step::listShortcuts) {
            bindShortcuts();
        } else if (step == Step::listAfterRefusal) {
            finishWish(m_bindFailure);
        } else {
            // The desktop said yes and bound nothing.
            finishWish(refused);
        }
        return;
    }
    case Step::none:
        return;
    }
}

void PortalHotKeyBackend::bindAnsweredWithFailure(uint response, const QVariantMap &results)
{
    // Some desktops answer a bind they made with a failure code. What they
    // show of the session's shortcuts tells: the answer's own list, a change
    // they signalled meanwhile, else the session's list asked for now. That
    // list would also hold a shortcut bound before, so it is asked only of a
    // session that had none.
    for (const auto &shown : {shortcutsOf(results.value(QStringLiteral("shortcuts"))), m_changedDuringBind}) {
        if (shown && ours(*shown)) {
            describe(*shown);
            finishWish(ok);
            return;
        }
    }
    m_bindFailure = statusForResponse(response);
    if (m_bound)
        finishWish(m_bindFailure);
    else
        listShortcuts(Step::listAfterRefusal);
}

void PortalHotKeyBackend::finishWish(int status)
{
    if (!m_current)
        return;
    const quint64 handle = m_current->handle;
    m_current.reset();
    if (status == ok)
        m_bound = handle;
    if (m_listener)
        m_listener->registrationAnswered(handle, status);
    advance();
}

void PortalHotKeyBackend::becomeUnavailable(Availability reason)
{
    if (m_availability == reason)
        return;
    forgetRequest();
    forgetSession();
    m_availability = reason;
    // The listener learns why before it hears of the failures.
    if (m_listener)
        m_listener->availabilityChanged();
    if (m_bound) {
        m_bound.reset();
        if (m_listener)
            m_listener->bindingLost(unavailable);
    }
    advance();
}

void PortalHotKeyBackend::describe(const PortalShortcutList &shortcuts)
{
    // A shortcut missing from the list has no key any more.
    const PortalShortcut *shortcut = ours(shortcuts);
    const QString description
        = shortcut ? shortcut->properties.value(QStringLiteral("trigger_description")).toString() : QString();
    if (m_listener)
        m_listener->bindingDescribed(description);
}

void PortalHotKeyBackend::onActivated(const QDBusMessage &message)
{
    const QVariantList arguments = message.arguments();
    if (arguments.size() < 2 || m_session.isEmpty())
        return;
    if (pathOf(arguments.at(0)) != m_session || arguments.at(1).toString() != shortcutId)
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
    if (arguments.size() < 2 || m_session.isEmpty() || pathOf(arguments.at(0)) != m_session)
        return;
    if (const auto shortcuts = shortcutsOf(arguments.at(1))) {
        if (m_step == Step::bindShortcuts)
            m_changedDuringBind = shortcuts;
        describe(*shortcuts);
    }
}

void PortalHotKeyBackend::onSessionClosed(const QDBusMessage &message)
{
    if (m_session.isEmpty() || message.path() != m_session)
        return;
    // Closed already: nothing to close.
    m_connection.disconnect(service, m_session, sessionInterface, QStringLiteral("Closed"), this,
                            SLOT(onSessionClosed(QDBusMessage)));
    m_session.clear();
    if (m_bound) {
        m_bound.reset();
        if (m_listener)
            m_listener->bindingLost(sessionClosed);
    }
    if (m_step != Step::none && m_step != Step::createSession) {
        forgetRequest();
        if (m_wanted) {
            m_current.reset();
            advance();
        } else {
            finishWish(sessionClosed);
        }
    }
}

void PortalHotKeyBackend::releaseIfUnused()
{
    if (!m_releaseWhenIdle || m_step != Step::none || m_current || m_wanted || m_bound)
        return;
    m_releaseWhenIdle = false;
    forgetSession();
}

void PortalHotKeyBackend::forgetSession()
{
    if (m_session.isEmpty())
        return;
    m_connection.disconnect(service, m_session, sessionInterface, QStringLiteral("Closed"), this,
                            SLOT(onSessionClosed(QDBusMessage)));
    m_connection.send(QDBusMessage::createMethodCall(service, m_session, sessionInterface, QStringLiteral("Close")));
    m_session.clear();
}

int PortalHotKeyBackend::statusForResponse(uint response)
{
    return response == 1 ? cancelled : refused;
}
