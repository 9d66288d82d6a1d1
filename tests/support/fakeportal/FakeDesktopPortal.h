#pragma once

#include "windowing/PortalShortcut.h"

#include <QDBusContext>
#include <QDBusObjectPath>
#include <QHash>
#include <QObject>
#include <QStringList>

// A stand-in for the desktop portal's GlobalShortcuts interface, small enough
// to read in one go: sessions, one binding per session, and the signals a
// desktop sends. Every request is answered with its Response signal before
// the call's own reply, so a client that subscribes late misses it.
class FakeGlobalShortcuts : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.GlobalShortcuts")
    Q_PROPERTY(uint version READ version)

public:
    [[nodiscard]] uint version() const { return 1; }

    // Steered by the control object.
    uint createSessionAnswer = 0;
    uint bindAnswer = 0;
    QString description; // empty: the preferred trigger is reported as bound
    QStringList calls;

    void activate();
    void changeTrigger(const QString &newDescription);
    void closeSessions();
    void sessionClosedByClient(const QString &path);

public Q_SLOTS:
    QDBusObjectPath CreateSession(const QVariantMap &options);
    QDBusObjectPath BindShortcuts(const QDBusObjectPath &session, const PortalShortcutList &shortcuts,
                                  const QString &parentWindow, const QVariantMap &options);

private:
    struct Session
    {
        QString owner;
        QString boundId;
    };
    [[nodiscard]] QString requestPath(const QString &token) const;
    void answer(const QString &requestPath, uint response, const QVariantMap &results, const QDBusObjectPath &handle);
    void emitTo(const QString &owner, const QString &path, const QString &interface, const QString &name,
                const QVariantList &arguments);

    QHash<QString, Session> m_sessions;
};

// The session object a client may close.
class FakePortalSession : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Session")

public:
    FakePortalSession(FakeGlobalShortcuts *portal, QString path)
        : m_portal(portal)
        , m_path(std::move(path))
    {
    }

public Q_SLOTS:
    void Close() { m_portal->sessionClosedByClient(m_path); }

private:
    FakeGlobalShortcuts *m_portal;
    QString m_path;
};

// What a test asks of the fake, over D-Bus (interface org.vuzo.FakePortal at /control).
class FakePortalControl : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.vuzo.FakePortal")

public:
    explicit FakePortalControl(FakeGlobalShortcuts *portal)
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
    void SetDescription(const QString &description) { m_portal->description = description; }
    void Activate() { m_portal->activate(); }
    void ChangeTrigger(const QString &description) { m_portal->changeTrigger(description); }
    void CloseSessions() { m_portal->closeSessions(); }
    QStringList Calls() const { return m_portal->calls; }

private:
    FakeGlobalShortcuts *m_portal;
};
