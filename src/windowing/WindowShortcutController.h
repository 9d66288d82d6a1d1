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
class WindowShortcutController : public QObject
{
    Q_OBJECT
    Q_PROPERTY(WindowShortcut shortcut READ shortcut NOTIFY shortcutChanged)
    Q_PROPERTY(QString error READ errorText NOTIFY errorChanged)
    Q_PROPERTY(bool isRecording READ isRecording WRITE setRecording NOTIFY isRecordingChanged)
    // The combination in force as the user reads it (Linux key names).
    Q_PROPERTY(QString label READ label NOTIFY shortcutChanged)
    Q_PROPERTY(bool canRegister READ canRegister CONSTANT)

public:
    static inline const QString storageKey = QStringLiteral("window_toggle_shortcut");

    // Loads the stored combination (the default when there is none usable);
    // the store and backend must outlive the controller.
    WindowShortcutController(std::unique_ptr<HotKeyBackend> backend, SettingsStore &store, QObject *parent = nullptr);
    ~WindowShortcutController() override;

    // The process-wide instance, made on first use with the X11 backend and the
    // standard store.
    static WindowShortcutController &shared();

    [[nodiscard]] WindowShortcut shortcut() const { return m_shortcut; }
    [[nodiscard]] std::optional<QString> error() const { return m_error; }
    [[nodiscard]] QString errorText() const { return m_error.value_or(QString()); }
    [[nodiscard]] bool isRecording() const { return m_isRecording; }
    void setRecording(bool recording);
    [[nodiscard]] bool holdsHotKey() const { return m_hotKey.has_value(); }
    [[nodiscard]] QString label() const { return m_shortcut.displayLabel(); }
    // False when this session cannot grab global keys at all.
    [[nodiscard]] bool canRegister() const;
    // The settings row's own messages (a refused key) and their clearing.
    void setError(const std::optional<QString> &error);
    Q_INVOKABLE void clearError() { setError(std::nullopt); }

    // What a press does; set by the application delegate.
    std::function<void()> onToggle;

    // Installs the press handler and grabs the loaded combination.
    Q_INVOKABLE void start();
    // Makes shortcut the combination in force; true when it is.
    Q_INVOKABLE bool registerShortcut(const WindowShortcut &shortcut, bool persist);
    // Releases the grab and the handler.
    Q_INVOKABLE void stop();

    // A press of the registered combination.
    void handleHotKeyPressed();

Q_SIGNALS:
    void shortcutChanged();
    void errorChanged();
    void isRecordingChanged();

private:
    void setShortcut(const WindowShortcut &shortcut);

    std::unique_ptr<HotKeyBackend> m_backend;
    SettingsStore &m_store;
    WindowShortcut m_shortcut;
    std::optional<QString> m_error;
    bool m_isRecording = false;
    std::optional<quint64> m_hotKey;
    bool m_handlerInstalled = false;
};
