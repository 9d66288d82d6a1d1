#pragma once

#include "windowing/PortalShortcut.h"

#include <QDBusAbstractAdaptor>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QHash>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QStringList>

// A stand-in for the desktop portal, small enough to read in one go, for what
// no real portal on this machine shows: a desktop that asks the user before it
// binds (the user may turn it down), refusals, sessions the desktop ends, and
// a portal that serves only programs it can name. Like the real ones it keeps
// a program's shortcuts under its app id and the session's token, binds only
// in BindShortcuts, and names a program by the registration made before any
// other call on a connection. Every request is answered with its Response
// signal before the call's own reply, so a client that subscribes late misses
// it.
class FakePortal : public QObject, protected QDBusContext
{
    Q_OBJECT

public:
    struct Shortcut
    {
        QString description;
        QString trigger;
    };

    // Steered by the control object.
    uint version = 1;
    uint createSessionAnswer = 0;
    uint bindAnswer = 0;
    // How a bind that binds is answered: its response code, and where the
    // bound shortcuts show ("results" of the answer, a "signal" before it, or
    // only the "list" asked for afterwards).
    uint boundAnswer = 0;
    QString boundReport = QStringLiteral("results");
    QString lastParentWindow;
    QString description; // empty: the preferred trigger is what gets bound
    bool requireAppId = false; // refuses sessions to programs it cannot name
    bool garbled = false; // answers with values of the wrong types
    QSet<QString> installed{QStringLiteral("org.vuzo.Vuzo")}; // desktop entries
    QStringList calls;

    void activate();
    void changeTrigger(const QString &newDescription);
    void closeSessions();
    void sessionClosedByClient(const QString &path);

    // The interfaces' methods, for the adaptors.
    void registerApplication(const QString &appId);
    QDBusObjectPath createSession(const QVariantMap &options);
    QDBusObjectPath listShortcuts(const QDBusObjectPath &session, const QVariantMap &options);
    QDBusObjectPath bindShortcuts(const QDBusObjectPath &session, const PortalShortcutList &shortcuts,
                                  const QString &parentWindow, const QVariantMap &options);

private:
    struct Session
    {
        QString owner;
        QString component; // app id and token
    };
    [[nodiscard]] QString sender() const { return message().service(); }
    [[nodiscard]] QString requestPath(const QString &token) const;
    // The first portal call of a connection names its program for good.
    void noteCall();
    [[nodiscard]] const Session *ownSession(const QDBusObjectPath &path);
    [[nodiscard]] PortalShortcutList listOf(const QString &component) const;
    void answer(const QString &requestPath, uint response, const QVariantMap &results);
    void emitTo(const QString &owner, const QString &path, const QString &interface, const QString &name,
                const QVariantList &arguments);

    QHash<QString, QString> m_appIds; // by connection; empty: could not name it
    QHash<QString, Session> m_sessions;
    QHash<QString, QMap<QString, Shortcut>> m_components;
};

class FakeRegistryAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.host.portal.Registry")

public:
    explicit FakeRegistryAdaptor(FakePortal *portal)
        : QDBusAbstractAdaptor(portal)
        , m_portal(portal)
    {
    }

public Q_SLOTS:
    void Register(const QString &appId, const QVariantMap &) { m_portal->registerApplication(appId); }

private:
    FakePortal *m_portal;
};

class FakeGlobalShortcutsAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)

public:
    explicit FakeGlobalShortcutsAdaptor(FakePortal *portal)
        : QDBusAbstractAdaptor(portal)
        , m_portal(portal)
    {
    }
    [[nodiscard]] uint version() const { return m_portal->version; }

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap &options) { return m_portal->createSession(options); }
    QDBusObjectPath ListShortcuts(const QDBusObjectPath &session, const QVariantMap &options)
    {
        return m_portal->listShortcuts(session, options);
    }
    QDBusObjectPath BindShortcuts(const QDBusObjectPath &session, const PortalShortcutList &shortcuts,
                                  const QString &parentWindow, const QVariantMap &options)
    {
        return m_portal->bindShortcuts(session, shortcuts, parentWindow, options);
    }

private:
    FakePortal *m_portal;
};

// The session object a client may close.
class FakePortalSession : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public:
    FakePortalSession(FakePortal *portal, QString path)
        : m_portal(portal)
        , m_path(std::move(path))
    {
    }

public Q_SLOTS:
    void Close() { m_portal->sessionClosedByClient(m_path); }

private:
    FakePortal *m_portal;
    QString m_path;
};

// What a test asks of the fake, over D-Bus (interface org.vuzo.FakePortal at /control).
class FakePortalControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vuzo.FakePortal")

public:
    explicit FakePortalControl(FakePortal *portal)
        : m_portal(portal)
    {
    }

public Q_SLOTS:
    // Response codes of the next requests: 0 done, 1 cancelled by the user, 2 refused.
    void SetAnswers(uint createSession, uint bind)
    {
        m_portal->createSessionAnswer = createSession;
        m_portal->bindAnswer = bind;
    }
    // A bind that binds answers with `response` and shows what it bound as `report` says.
    void SetBoundReport(uint response, const QString &report)
    {
        m_portal->boundAnswer = response;
        m_portal->boundReport = report;
    }
    // The parent window the last bind named for its dialog.
    QString LastParentWindow() const { return m_portal->lastParentWindow; }
    // What the user binds in the desktop's dialog instead of the preferred trigger.
    void SetDescription(const QString &description) { m_portal->description = description; }
    // The GlobalShortcuts version the portal reports; 0 offers none.
    void SetVersion(uint version) { m_portal->version = version; }
    // As newer portals do: no session for a program without an app id, and an
    // app id only for a program whose desktop entry is installed.
    void SetRequireAppId(bool require) { m_portal->requireAppId = require; }
    void SetInstalled(const QStringList &ids) { m_portal->installed = QSet<QString>(ids.cbegin(), ids.cend()); }
    // Lists shortcuts as text and sends changes that are no lists.
    void SetGarbled(bool garbled) { m_portal->garbled = garbled; }
    void Activate() { m_portal->activate(); }
    void ChangeTrigger(const QString &description) { m_portal->changeTrigger(description); }
    void CloseSessions() { m_portal->closeSessions(); }
    QStringList Calls() const { return m_portal->calls; }

private:
    FakePortal *m_portal;
};
