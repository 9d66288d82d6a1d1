#pragma once

#include "HotKeyBackend.h"
#include "PortalShortcut.h"

#include <QDBusConnection>
#include <QObject>
#include <QString>
#include <optional>

class QDBusError;
class QDBusMessage;

// The global hot key through the desktop portal's GlobalShortcuts interface,
// the one way a program reaches global keys on a Wayland desktop: one shortcut
// in one session per run. The desktop keeps the shortcut under the program's
// app id and the session's token, both the same from run to run, so a new run
// finds the key the user last had and binds nothing again. Nothing blocks:
// every call answers later, and the desktop may bind another key than the one
// asked for (the user decides in its dialog or settings) and says which.
class PortalHotKeyBackend final : public QObject, public HotKeyBackend
{
    Q_OBJECT

public:
    static inline const QString service = QStringLiteral("org.freedesktop.portal.Desktop");
    static inline const QString objectPath = QStringLiteral("/org/freedesktop/portal/desktop");
    static inline const QString interfaceName = QStringLiteral("org.freedesktop.portal.GlobalShortcuts");
    static inline const QString shortcutId = QStringLiteral("toggle-window");
    // What the desktop lists the shortcut as in its settings.
    static inline const QString shortcutDescription = QStringLiteral("显示 / 隐藏整个窗口");
    // The session's token: the desktop names the program's shortcuts after it.
    static inline const QString sessionToken = QStringLiteral("vuzo");

    // The connection must be the program's own for the portal: the portal
    // names a program by its first portal call on a connection, and the first
    // call made here is the registration of applicationId.
    PortalHotKeyBackend(const QDBusConnection &connection, QString applicationId, QObject *parent = nullptr);
    ~PortalHotKeyBackend() override;

    // Available until the portal says otherwise (it answers after start-up).
    [[nodiscard]] Availability availability() const override { return m_availability; }
    Registration registerHotKey(quint32 keyCode, quint32 modifiers) override;
    void unregisterHotKey(quint64 handle) override;
    void installHandler(std::function<void()> onPressed) override;
    void removeHandler() override;
    [[nodiscard]] bool desktopKeepsKey() const override { return true; }
    void setListener(Listener *listener) override { m_listener = listener; }
    void setDialogParent(std::function<QString()> parent) override { m_dialogParent = std::move(parent); }

    // The session of this run; empty without one.
    [[nodiscard]] QString sessionPath() const { return m_session; }

private Q_SLOTS:
    void onRequestResponse(const QDBusMessage &message);
    void onActivated(const QDBusMessage &message);
    void onShortcutsChanged(const QDBusMessage &message);
    void onSessionClosed(const QDBusMessage &message);

private:
    // The portal: not asked yet, being asked (registration, then its version),
    // known to offer global shortcuts, or known not to.
    enum class Handshake { none, underWay, done };
    // The request in flight; each answers with a Response signal.
    enum class Step { none, createSession, listShortcuts, bindShortcuts, listAfterBind, listAfterRefusal };
    struct Wish
    {
        quint64 handle = 0;
        QString trigger;
    };

    // Starts the next request when none is in flight.
    void advance();
    void startHandshake();
    void handshakeAnswered(bool offered);
    void createSession();
    void listShortcuts(Step step);
    void bindShortcuts();
    void send(Step step, const QString &method, const QVariantList &arguments, const QString &token);
    void callFailed(Step step, const QDBusError &error);
    void finishWish(int status);
    void becomeUnavailable(Availability reason);
    void forgetRequest();
    // Closes the session, if any.
    void forgetSession();
    // Closes the session once nothing is held or asked for any more.
    void releaseIfUnused();
    [[nodiscard]] QString newToken();
    [[nodiscard]] QString requestPath(const QString &token) const;
    [[nodiscard]] PortalShortcutList wishedShortcuts() const;
    void describe(const PortalShortcutList &shortcuts);
    void bindAnsweredWithFailure(uint response, const QVariantMap &results);
    static int statusForResponse(uint response);

    QDBusConnection m_connection;
    const QString m_applicationId;
    Listener *m_listener = nullptr;
    std::function<void()> m_onPressed;
    std::function<QString()> m_dialogParent;
    bool m_signalsConnected = false;
    Availability m_availability = Availability::available;
    Handshake m_handshake = Handshake::none;

    // The newest registration asked for and not yet under way.
    std::optional<Wish> m_wanted;
    // The registration under way.
    std::optional<Wish> m_current;
    Step m_step = Step::none;
    QString m_requestPath;
    QString m_session;
    // The registration in force in the session.
    std::optional<quint64> m_bound;
    // What the desktop said of the session's shortcuts while a bind was under
    // way, and the failure a bind answered that nothing has belied yet.
    std::optional<PortalShortcutList> m_changedDuringBind;
    int m_bindFailure = refused;
    bool m_releaseWhenIdle = false;
    quint64 m_nextHandle = 1;
    quint64 m_tokenCounter = 0;
};
