#pragma once

#include "HotKeyBackend.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

class QDBusMessage;
class QDBusPendingCallWatcher;

// The global hot key through the desktop portal's GlobalShortcuts interface,
// the one way a program reaches global keys on a Wayland desktop: one shortcut,
// bound with the recorded combination as the preferred trigger. The desktop
// may bind another key (the user decides in its dialog or settings) and says
// which; every request answers later. Each binding gets a session of its own
// (some portals bind only once per session); the session of the binding in
// force is closed only once a new one has been bound.
class PortalHotKeyBackend final : public QObject, public HotKeyBackend
{
    Q_OBJECT

public:
    static inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString interfaceName = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
    static inline const QString shortcutId = QStringLiteral("toggle-window");

    explicit PortalHotKeyBackend(const QDBusConnection &connection, QObject *parent = nullptr);
    ~PortalHotKeyBackend() override;

    // Whether the portal on this bus offers global shortcuts: its interface
    // answers for its version property with 1 or more. Blocks for at most
    // timeoutMs (the portal may be started on demand).
    [[nodiscard]] static bool isOffered(const QDBusConnection &connection, int timeoutMs = 2000);
    // Tells the portal which installed program this connection is (the name of
    // its desktop entry), for portals that bind shortcuts per program. Must
    // come before any other call to the portal; older portals do not know it.
    static void registerHostApplication(const QDBusConnection &connection, const QString &applicationId,
                                        int timeoutMs = 2000);

    Registration registerHotKey(quint32 keyCode, quint32 modifiers) override;
    void unregisterHotKey(quint64 handle) override;
    void installHandler(std::function<void()> onPressed) override;
    void removeHandler() override;
    void setListener(Listener *listener) override { m_listener = listener; }

    // The session of the binding in force; empty without one.
    [[nodiscard]] QString sessionPath() const { return m_bound ? m_bound->session : QString(); }

private Q_SLOTS:
    void onRequestResponse(const QDBusMessage &message);
    void onActivated(const QDBusMessage &message);
    void onShortcutsChanged(const QDBusMessage &message);
    void onSessionClosed(const QDBusMessage &message);

private:
    enum class RequestKind { createSession, bindShortcuts };
    struct Request
    {
        RequestKind kind = RequestKind::createSession;
        QString path;
    };
    struct Wish
    {
        quint64 handle = 0;
        QString trigger;
    };
    // A binding under way: its session, once made, and the request in flight.
    struct Attempt
    {
        Wish wish;
        QString session;
        std::optional<Request> request;
    };
    struct Binding
    {
        quint64 handle = 0;
        QString session;
    };

    [[nodiscard]] QString newToken();
    [[nodiscard]] QString requestPath(const QString &token) const;
    void watchRequest(const Request &request);
    void forgetRequest();
    void startAttempt();
    void createSession();
    void bind();
    void abandonAttempt();
    void answer(quint64 handle, int status);
    void closeSession(const QString &path);
    void handleCallReply(QDBusPendingCallWatcher *watcher, const QString &requestPath);
    static int statusForResponse(uint response);

    QDBusConnection m_connection;
    Listener *m_listener = nullptr;
    std::function<void()> m_onPressed;
    bool m_signalsConnected = false;

    // The newest registration asked for and not yet under way.
    std::optional<Wish> m_wanted;
    std::optional<Attempt> m_attempt;
    std::optional<Binding> m_bound;
    quint64 m_nextHandle = 1;
    quint64 m_tokenCounter = 0;
};
