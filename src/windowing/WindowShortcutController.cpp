#include "WindowShortcutController.h"

WindowShortcutController::WindowShortcutController(std::unique_ptr<HotKeyBackend> backend, SettingsStore &store,
                                                   QObject *parent)
    : QObject(parent)
    , m_backend(std::move(backend))
    , m_store(store)
{
    const QVariant stored = m_store.object(storageKey);
    if (stored.typeId() == QMetaType::QByteArray) {
        if (const auto decoded = WindowShortcut::fromJson(stored.toByteArray()))
            m_shortcut = *decoded;
    }
}

WindowShortcutController::~WindowShortcutController()
{
    stop();
}

bool WindowShortcutController::canRegister() const
{
    return m_backend->isAvailable();
}

void WindowShortcutController::setRecording(bool recording)
{
    if (m_isRecording == recording)
        return;
    m_isRecording = recording;
    Q_EMIT isRecordingChanged();
}

void WindowShortcutController::start()
{
    if (!m_handlerInstalled) {
        m_backend->installHandler([this] { handleHotKeyPressed(); });
        m_handlerInstalled = true;
    }
    registerShortcut(m_shortcut, false);
}

bool WindowShortcutController::registerShortcut(const WindowShortcut &shortcut, bool persist)
{
    if (m_hotKey && shortcut == m_shortcut) {
        setError(std::nullopt);
        return true;
    }
    if (m_hotKey && shortcut.sameKeys(m_shortcut)) {
        // Only the label differs: the grab in force already is this combination,
        // and releasing it after grabbing again would leave no grab at all.
        setShortcut(shortcut);
        setError(std::nullopt);
        if (persist)
            m_store.setValue(storageKey, shortcut.toJson());
        return true;
    }

    const HotKeyBackend::Registration registration = m_backend->registerHotKey(shortcut.keyCode, shortcut.modifiers);
    if (registration.status != HotKeyBackend::ok) {
        setError(QStringLiteral("快捷键注册失败（%1），可能已被其他应用占用，请更换组合键。").arg(registration.status));
        return false;
    }
    if (m_hotKey)
        m_backend->unregisterHotKey(*m_hotKey);
    m_hotKey = registration.handle;
    setShortcut(shortcut);
    setError(std::nullopt);
    if (persist)
        m_store.setValue(storageKey, shortcut.toJson());
    return true;
}

void WindowShortcutController::stop()
{
    if (m_hotKey) {
        m_backend->unregisterHotKey(*m_hotKey);
        m_hotKey.reset();
    }
    if (m_handlerInstalled) {
        m_backend->removeHandler();
        m_handlerInstalled = false;
    }
}

void WindowShortcutController::handleHotKeyPressed()
{
    if (m_isRecording)
        return;
    if (onToggle)
        onToggle();
}

void WindowShortcutController::setShortcut(const WindowShortcut &shortcut)
{
    m_shortcut = shortcut;
    Q_EMIT shortcutChanged();
}

void WindowShortcutController::setError(const std::optional<QString> &error)
{
    m_error = error;
    Q_EMIT errorChanged();
}
