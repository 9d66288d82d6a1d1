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
    m_backend->setListener(this);
}

WindowShortcutController::~WindowShortcutController()
{
    stop();
    m_backend->setListener(nullptr);
}

bool WindowShortcutController::canRegister() const
{
    return m_backend->isAvailable();
}

HotKeyBackend::Availability WindowShortcutController::availability() const
{
    return m_backend->availability();
}

bool WindowShortcutController::desktopKeepsKey() const
{
    return m_backend->desktopKeepsKey();
}

void WindowShortcutController::setDialogParent(std::function<QString()> parent)
{
    m_backend->setDialogParent(std::move(parent));
}

QString WindowShortcutController::label() const
{
    // Where the desktop binds the key itself, it may have bound another one
    // than the one asked for (the user chooses in its dialog or settings).
    if (m_hotKey && m_desktopDescription)
        return *m_desktopDescription;
    return m_shortcut.displayLabel();
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
    if (!m_pending && m_hotKey && shortcut == m_shortcut) {
        setError(std::nullopt);
        return true;
    }
    if (!m_pending && m_hotKey && shortcut.sameKeys(m_shortcut) && !m_desktopDescription) {
        // Only the label differs: the grab in force already is this combination,
        // and releasing it after grabbing again would leave no grab at all.
        setShortcut(shortcut);
        setError(std::nullopt);
        if (persist)
            m_store.setValue(storageKey, shortcut.toJson());
        return true;
    }

    const HotKeyBackend::Registration registration = m_backend->registerHotKey(shortcut.keyCode, shortcut.modifiers);
    if (registration.status == HotKeyBackend::pending) {
        // A request still waiting is superseded: its answer no longer counts.
        setPending(PendingRegistration{registration.handle, shortcut, persist});
        setError(std::nullopt);
        return true;
    }
    if (registration.status != HotKeyBackend::ok) {
        setPending(std::nullopt);
        reportFailure(registration.status);
        return false;
    }
    setPending(std::nullopt);
    adopt(registration.handle, shortcut, persist);
    return true;
}

void WindowShortcutController::adopt(quint64 handle, const WindowShortcut &shortcut, bool persist)
{
    if (m_hotKey && *m_hotKey != handle)
        m_backend->unregisterHotKey(*m_hotKey);
    m_hotKey = handle;
    setShortcut(shortcut);
    setError(std::nullopt);
    if (persist)
        m_store.setValue(storageKey, shortcut.toJson());
}

void WindowShortcutController::reportFailure(int status)
{
    // Where no global key can work, the settings row says why instead.
    if (status == HotKeyBackend::unavailable && !canRegister()) {
        setError(std::nullopt);
        return;
    }
    // A desktop that keeps the key itself answered no: another combination
    // would fare no better, asking again might.
    if (desktopKeepsKey())
        setError(QStringLiteral("快捷键未绑定（%1）：桌面没有确认绑定。点“恢复默认”可再次请求。").arg(status));
    else
        setError(QStringLiteral("快捷键注册失败（%1），可能已被其他应用占用，请更换组合键。").arg(status));
}

void WindowShortcutController::stop()
{
    if (m_pending) {
        m_backend->unregisterHotKey(m_pending->handle);
        setPending(std::nullopt);
    }
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

void WindowShortcutController::registrationAnswered(quint64 handle, int status)
{
    if (!m_pending || m_pending->handle != handle)
        return;
    const PendingRegistration answered = *m_pending;
    setPending(std::nullopt);
    if (status == HotKeyBackend::ok)
        adopt(answered.handle, answered.shortcut, answered.persist);
    else
        reportFailure(status);
}

void WindowShortcutController::bindingDescribed(const QString &description)
{
    m_desktopDescription = description;
    Q_EMIT shortcutChanged();
}

void WindowShortcutController::bindingLost(int status)
{
    m_hotKey.reset();
    m_desktopDescription.reset();
    Q_EMIT shortcutChanged();
    reportFailure(status);
}

void WindowShortcutController::availabilityChanged()
{
    Q_EMIT canRegisterChanged();
}

void WindowShortcutController::setPending(std::optional<PendingRegistration> pending)
{
    const bool was = m_pending.has_value();
    m_pending = std::move(pending);
    if (was != m_pending.has_value())
        Q_EMIT pendingChanged();
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
