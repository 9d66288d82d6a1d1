#include "FakeDesktopPortal.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
} // namespace

QString FakeGlobalShortcuts::requestPath(const QString &token) const
{
    QString sender = message().service().mid(1);
    sender.replace(QLatin1Char('.'), QLatin1Char('_'));
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(sender, token);
}

void FakeGlobalShortcuts::emitTo(const QString &owner, const QString &path, const QString &interface,
                                 const QString &name, const QVariantList &arguments)
{
    QDBusMessage signal = QDBusMessage::createTargetedSignal(owner, path, interface, name);
    signal.setArguments(arguments);
    QDBusConnection::sessionBus().send(signal);
}

void FakeGlobalShortcuts::answer(const QString &path, uint response, const QVariantMap &results,
                                 const QDBusObjectPath &handle)
{
    // The Response goes out first, the reply with the handle after it.
    setDelayedReply(true);
    emitTo(message().service(), path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
           {response, results});
    QDBusConnection::sessionBus().send(message().createReply(QVariant::fromValue(handle)));
}

QDBusObjectPath FakeGlobalShortcuts::CreateSession(const QVariantMap &options)
{
    calls.append(QStringLiteral("CreateSession"));
    const QString request = requestPath(options.value(QStringLiteral("handle_token")).toString());
    QString sessionPath = request;
    sessionPath.replace(QStringLiteral("/request/"), QStringLiteral("/session/"));
    sessionPath = sessionPath.section(QLatin1Char('/'), 0, -2) + QLatin1Char('/')
        + options.value(QStringLiteral("session_handle_token")).toString();
    QVariantMap results;
    if (createSessionAnswer == 0) {
        m_sessions.insert(sessionPath, Session{message().service(), {}});
        QDBusConnection::sessionBus().registerObject(sessionPath, new FakePortalSession(this, sessionPath),
                                                     QDBusConnection::ExportAllSlots);
        results.insert(QStringLiteral("session_handle"), sessionPath); // a string, as portals send it
    }
    answer(request, createSessionAnswer, results, QDBusObjectPath(request));
    return {};
}

QDBusObjectPath FakeGlobalShortcuts::BindShortcuts(const QDBusObjectPath &session, const PortalShortcutList &shortcuts,
                                                   const QString &, const QVariantMap &options)
{
    const QString request = requestPath(options.value(QStringLiteral("handle_token")).toString());
    QStringList described;
    for (const PortalShortcut &shortcut : shortcuts)
        described.append(shortcut.id + QLatin1Char(' ')
                         + shortcut.properties.value(QStringLiteral("preferred_trigger")).toString());
    calls.append(QStringLiteral("BindShortcuts ") + described.join(QLatin1Char(',')));

    auto found = m_sessions.find(session.path());
    if (found == m_sessions.end() || found->owner != message().service()) {
        sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Invalid session"));
        return {};
    }
    QVariantMap results;
    if (bindAnswer == 0 && !shortcuts.isEmpty()) {
        const PortalShortcut &wanted = shortcuts.constFirst();
        found->boundId = wanted.id;
        const QString trigger = description.isEmpty()
            ? wanted.properties.value(QStringLiteral("preferred_trigger")).toString()
            : description;
        PortalShortcutList bound{PortalShortcut{
            wanted.id,
            {{QStringLiteral("description"), wanted.properties.value(QStringLiteral("description"))},
             {QStringLiteral("trigger_description"), trigger}}}};
        results.insert(QStringLiteral("shortcuts"), QVariant::fromValue(bound));
    }
    answer(request, bindAnswer, results, QDBusObjectPath(request));
    return {};
}

void FakeGlobalShortcuts::activate()
{
    for (auto it = m_sessions.cbegin(); it != m_sessions.cend(); ++it) {
        if (it->boundId.isEmpty())
            continue;
        for (const QString &name : {QStringLiteral("Activated"), QStringLiteral("Deactivated")})
            emitTo(it->owner, portalPath, shortcutsInterface, name,
                   {QVariant::fromValue(QDBusObjectPath(it.key())), it->boundId, qulonglong(1000), QVariantMap()});
    }
}

void FakeGlobalShortcuts::changeTrigger(const QString &newDescription)
{
    for (auto it = m_sessions.cbegin(); it != m_sessions.cend(); ++it) {
        if (it->boundId.isEmpty())
            continue;
        const PortalShortcutList changed{
            PortalShortcut{it->boundId, {{QStringLiteral("trigger_description"), newDescription}}}};
        emitTo(it->owner, portalPath, shortcutsInterface, QStringLiteral("ShortcutsChanged"),
               {QVariant::fromValue(QDBusObjectPath(it.key())), QVariant::fromValue(changed)});
    }
}

void FakeGlobalShortcuts::closeSessions()
{
    const auto sessions = std::exchange(m_sessions, {});
    for (auto it = sessions.cbegin(); it != sessions.cend(); ++it) {
        emitTo(it->owner, it.key(), QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"),
               {QVariantMap()});
        QDBusConnection::sessionBus().unregisterObject(it.key());
    }
}

void FakeGlobalShortcuts::sessionClosedByClient(const QString &path)
{
    calls.append(QStringLiteral("Session.Close"));
    m_sessions.remove(path);
    QDBusConnection::sessionBus().unregisterObject(path);
}
