#include "FakeDesktopPortal.h"

#include <QDBusConnection>
#include <QDBusMessage>

namespace {
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString shortcutsInterface = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");

QString escaped(QString sender)
{
    return sender.mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
}
} // namespace

QString FakePortal::requestPath(const QString &token) const
{
    return QStringLiteral("/org/freedesktop/portal/desktop/request/%1/%2").arg(escaped(sender()), token);
}

void FakePortal::noteCall()
{
    if (!m_appIds.contains(sender()))
        m_appIds.insert(sender(), QString());
}

void FakePortal::emitTo(const QString &owner, const QString &path, const QString &interface, const QString &name,
                        const QVariantList &arguments)
{
    QDBusMessage signal = QDBusMessage::createTargetedSignal(owner, path, interface, name);
    signal.setArguments(arguments);
    QDBusConnection::sessionBus().send(signal);
}

void FakePortal::answer(const QString &path, uint response, const QVariantMap &results)
{
    // The Response goes out first, the reply with the handle after it.
    setDelayedReply(true);
    emitTo(sender(), path, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
           {response, results});
    QDBusConnection::sessionBus().send(message().createReply(QVariant::fromValue(QDBusObjectPath(path))));
}

PortalShortcutList FakePortal::listOf(const QString &component) const
{
    PortalShortcutList list;
    const auto shortcuts = m_components.value(component);
    for (auto it = shortcuts.cbegin(); it != shortcuts.cend(); ++it)
        list.append(PortalShortcut{it.key(),
                                   {{QStringLiteral("description"), it->description},
                                    {QStringLiteral("trigger_description"), it->trigger}}});
    return list;
}

const FakePortal::Session *FakePortal::ownSession(const QDBusObjectPath &path)
{
    const auto found = m_sessions.constFind(path.path());
    if (found == m_sessions.constEnd() || found->owner != sender()) {
        sendErrorReply(QDBusError::AccessDenied, QStringLiteral("Invalid session"));
        return nullptr;
    }
    return &*found;
}

void FakePortal::registerApplication(const QString &appId)
{
    calls.append(QStringLiteral("Register ") + appId);
    if (m_appIds.contains(sender())) {
        sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.Failed"),
                       QStringLiteral("Connection already associated with an application ID"));
        return;
    }
    if (!installed.contains(appId)) {
        noteCall();
        sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.InvalidArgument"),
                       QStringLiteral("No desktop entry for ") + appId);
        return;
    }
    m_appIds.insert(sender(), appId);
}

QDBusObjectPath FakePortal::createSession(const QVariantMap &options)
{
    const QString token = options.value(QStringLiteral("session_handle_token")).toString();
    calls.append(QStringLiteral("CreateSession ") + token);
    noteCall();
    const QString appId = m_appIds.value(sender());
    if (requireAppId && appId.isEmpty()) {
        sendErrorReply(QStringLiteral("org.freedesktop.portal.Error.NotAllowed"), QStringLiteral("An app id is required"));
        return {};
    }
    const QString request = requestPath(options.value(QStringLiteral("handle_token")).toString());
    const QString sessionPath
        = QStringLiteral("/org/freedesktop/portal/desktop/session/%1/%2").arg(escaped(sender()), token);
    if (m_sessions.contains(sessionPath)) {
        sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("Session already exists"));
        return {};
    }
    QVariantMap results;
    if (createSessionAnswer == 0) {
        m_sessions.insert(sessionPath, Session{sender(), appId + QLatin1Char('/') + token});
        QDBusConnection::sessionBus().registerObject(sessionPath, new FakePortalSession(this, sessionPath),
                                                     QDBusConnection::ExportAllSlots);
        results.insert(QStringLiteral("session_handle"), sessionPath); // a string, as portals send it
    }
    answer(request, createSessionAnswer, results);
    return {};
}

QDBusObjectPath FakePortal::listShortcuts(const QDBusObjectPath &session, const QVariantMap &options)
{
    calls.append(QStringLiteral("ListShortcuts"));
    const Session *own = ownSession(session);
    if (!own)
        return {};
    const QVariant list = garbled ? QVariant(QStringLiteral("toggle-window")) : QVariant::fromValue(listOf(own->component));
    answer(requestPath(options.value(QStringLiteral("handle_token")).toString()), 0, {{QStringLiteral("shortcuts"), list}});
    return {};
}

QDBusObjectPath FakePortal::bindShortcuts(const QDBusObjectPath &session, const PortalShortcutList &shortcuts,
                                          const QString &parentWindow, const QVariantMap &options)
{
    lastParentWindow = parentWindow;
    QStringList described;
    for (const PortalShortcut &shortcut : shortcuts)
        described.append(shortcut.id + QLatin1Char(' ')
                         + shortcut.properties.value(QStringLiteral("preferred_trigger")).toString());
    calls.append(QStringLiteral("BindShortcuts ") + described.join(QLatin1Char(',')));
    const Session *own = ownSession(session);
    if (!own)
        return {};
    QVariantMap results;
    if (bindAnswer == 0) {
        // The user accepts in the desktop's dialog: the preferred trigger, or
        // the one set as the user's choice.
        auto &bound = m_components[own->component];
        for (const PortalShortcut &shortcut : shortcuts) {
            const QString trigger = description.isEmpty()
                ? shortcut.properties.value(QStringLiteral("preferred_trigger")).toString()
                : description;
            bound.insert(shortcut.id,
                         Shortcut{shortcut.properties.value(QStringLiteral("description")).toString(), trigger});
        }
        const QVariant list = QVariant::fromValue(listOf(own->component));
        if (boundReport == QLatin1String("results"))
            results.insert(QStringLiteral("shortcuts"), list);
        else if (boundReport == QLatin1String("signal"))
            emitTo(own->owner, portalPath, shortcutsInterface, QStringLiteral("ShortcutsChanged"),
                   {QVariant::fromValue(session), list});
    }
    answer(requestPath(options.value(QStringLiteral("handle_token")).toString()), bindAnswer == 0 ? boundAnswer : bindAnswer,
           results);
    return {};
}

void FakePortal::activate()
{
    for (auto it = m_sessions.cbegin(); it != m_sessions.cend(); ++it) {
        for (const QString &id : m_components.value(it->component).keys()) {
            for (const QString &name : {QStringLiteral("Activated"), QStringLiteral("Deactivated")})
                emitTo(it->owner, portalPath, shortcutsInterface, name,
                       {QVariant::fromValue(QDBusObjectPath(it.key())), id, qulonglong(1000), QVariantMap()});
        }
    }
}

void FakePortal::changeTrigger(const QString &newDescription)
{
    for (auto &component : m_components) {
        for (auto &shortcut : component)
            shortcut.trigger = newDescription;
    }
    for (auto it = m_sessions.cbegin(); it != m_sessions.cend(); ++it) {
        const QVariant list = garbled ? QVariant(42u) : QVariant::fromValue(listOf(it->component));
        emitTo(it->owner, portalPath, shortcutsInterface, QStringLiteral("ShortcutsChanged"),
               {QVariant::fromValue(QDBusObjectPath(it.key())), list});
    }
}

void FakePortal::closeSessions()
{
    const auto sessions = std::exchange(m_sessions, {});
    for (auto it = sessions.cbegin(); it != sessions.cend(); ++it) {
        emitTo(it->owner, it.key(), QStringLiteral("org.freedesktop.portal.Session"), QStringLiteral("Closed"),
               {QVariantMap()});
        QDBusConnection::sessionBus().unregisterObject(it.key());
    }
}

void FakePortal::sessionClosedByClient(const QString &path)
{
    calls.append(QStringLiteral("Session.Close"));
    m_sessions.remove(path);
    QDBusConnection::sessionBus().unregisterObject(path);
}
