#pragma once

#include "HotKeyBackend.h"
#include "ShellPorts.h"
#include "WindowShortcut.h"

#include <QObject>
#include <functional>
#include <memory>
#include <optional>

// Owns the one global hot key that shows and hides the panel: loads the
// stored combination, grabs it, runs onToggle on each press, swaps the grab
// when a new combination is recorded and persists it.
class WindowShortcutController : public QObject, private HotKeyBackend::Listener
{
    Q_OBJECT
    Q_PROPERTY(WindowShortcut shortcut READ shortcut NOTIFY shortcutChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)
    Q_PROPERTY(bool isRecording READ isRecording WRITE setRecording NOTIFY isRecordingChanged)
    // The combination in force as the user reads it: the desktop's own words
    // where it binds the key itself (the portal), else Linux key names.
    Q_PROPERTY(QString label READ label NOTIFY shortcutChanged)
    // The desktop may say only after start-up that it offers no global keys.
    Q_PROPERTY(bool canRegister READ canRegister NOTIFY canRegisterChanged)
    // A registration the desktop has not answered yet.
    Q_PROPERTY(bool isPending READ isPending NOTIFY pendingChanged)

public:
    static inline const QString storageKey = QStringLiteral("window_toggle_shortcut");

    // Loads the stored combination (the default when there is none usable);
    // the store and backend must outlive the controller.
    WindowShortcutController(std::unique_ptr<HotKeyBackend> backend, SettingsStore &store, QObject *parent = nullptr);
    ~WindowShortcutController() override;

    // The process-wide instance, made on first use with the backend this
    // session offers (HotKeyBackendChoice) and the standard store.
    static WindowShortcutController &shared();

    [[nodiscard]] WindowShortcut shortcut() const { return m_shortcut; }
    [[nodiscard]] std::optional<QString> error() const { return m_error; }
    [[nodiscard]] QString errorText() const { return m_error.value_or(QString()); }
    [[nodiscard]] bool isRecording() const { return m_isRecording; }
    void setRecording(bool recording);
    [[nodiscard]] bool holdsHotKey() const { return m_hotKey.has_value(); }
    [[nodiscard]] QString label() const;
    // What the desktop reported for the binding in force; none from an X11 grab.
    [[nodiscard]] std::optional<QString> desktopDescription() const { return m_desktopDescription; }
    // False when this session cannot grab global keys at all.
    [[nodiscard]] bool canRegister() const;
    [[nodiscard]] HotKeyBackend::Availability availability() const;
    // The desktop keeps the key and changes it in its own settings.
    [[nodiscard]] bool desktopKeepsKey() const;
    // The window the desktop's confirmation dialog goes over.
    void setDialogParent(std::function<QString()> parent);
    [[nodiscard]] bool isPending() const { return m_pending.has_value(); }
    // The settings row's own messages (a refused key) and their clearing.
    void setError(const std::optional<QString> &error);
    Q_INVOKABLE void clearError() { setError(std::nullopt); }

    // What a press does; set by the application delegate.
    std::function<void()> onToggle;

    // Installs the press handler and grabs the loaded combination.
    Q_INVOKABLE void start();
    // Makes shortcut the combination in force; true when it is, or when the
    // desktop was asked and answers later (isPending).
    Q_INVOKABLE bool registerShortcut(const WindowShortcut &shortcut, bool persist);
    // Releases the grab and the handler.
    Q_INVOKABLE void stop();

    // A press of the registered combination.
    void handleHotKeyPressed();

Q_SIGNALS:
    void shortcutChanged();
    void errorChanged();
    void isRecordingChanged();
    void pendingChanged();
    void canRegisterChanged();

private:
    struct PendingRegistration
    {
        quint64 handle = 0;
        WindowShortcut shortcut;
        bool persist = false;
    };

    void setShortcut(const WindowShortcut &shortcut);
    void adopt(quint64 handle, const WindowShortcut &shortcut, bool persist);
    void setPending(std::optional<PendingRegistration> pending);
    void reportFailure(int status);

    void registrationAnswered(quint64 handle, int status) override;
    void bindingDescribed(const QString &description) override;
    void bindingLost(int status) override;
    void availabilityChanged() override;

    std::unique_ptr<HotKeyBackend> m_backend;
    SettingsStore &m_store;
    WindowShortcut m_shortcut;
    std::optional<QString> m_error;
    bool m_isRecording = false;
    std::optional<quint64> m_hotKey;
    std::optional<PendingRegistration> m_pending;
    std::optional<QString> m_desktopDescription;
    bool m_handlerInstalled = false;
};
