#include "WindowShortcutRecorder.h"

#include "KeyCaptureRules.h"

WindowShortcutRecorder::WindowShortcutRecorder(QObject *parent)
    : KeyCaptureHandler(parent)
{
}

WindowShortcutRecorder::~WindowShortcutRecorder()
{
    if (m_controller)
        m_controller->setRecording(false);
}

void WindowShortcutRecorder::setController(WindowShortcutController *controller)
{
    if (m_controller == controller)
        return;
    setCapturing(false);
    for (const auto &connection : std::as_const(m_connections))
        disconnect(connection);
    m_connections.clear();
    m_controller = controller;
    if (controller) {
        m_connections.append(connect(controller, &WindowShortcutController::shortcutChanged, this,
                                     &WindowShortcutRecorder::displayChanged));
        m_connections.append(connect(controller, &WindowShortcutController::errorChanged, this,
                                     &WindowShortcutRecorder::displayChanged));
        m_connections.append(connect(controller, &WindowShortcutController::pendingChanged, this,
                                     &WindowShortcutRecorder::displayChanged));
        m_connections.append(connect(controller, &WindowShortcutController::canRegisterChanged, this, [this] {
            if (!canRecord())
                setCapturing(false);
            Q_EMIT displayChanged();
        }));
    }
    Q_EMIT controllerChanged();
    Q_EMIT displayChanged();
}

QString WindowShortcutRecorder::buttonTitle() const
{
    if (m_capturing)
        return QStringLiteral("请按组合键…");
    if (!m_controller)
        return QString();
    if (!m_controller->canRegister())
        return HotKeyRecording::unavailableTitle;
    const QString label = m_controller->label();
    return label.isEmpty() ? HotKeyRecording::unassignedTitle : label;
}

QString WindowShortcutRecorder::messageText() const
{
    if (m_controller && m_controller->error())
        return *m_controller->error();
    if (!m_controller || !m_controller->canRegister()) {
        switch (m_controller ? m_controller->availability() : HotKeyBackend::Availability::noGlobalKeys) {
        case HotKeyBackend::Availability::waylandWithoutPortal:
            return HotKeyRecording::waylandWithoutPortalMessage;
        case HotKeyBackend::Availability::desktopRefusesProgram:
            return HotKeyRecording::desktopRefusesProgramMessage;
        case HotKeyBackend::Availability::available:
        case HotKeyBackend::Availability::noGlobalKeys:
            break;
        }
        return HotKeyRecording::unavailableMessage;
    }
    if (m_controller->isPending())
        return HotKeyRecording::pendingMessage;
    if (m_controller->desktopKeepsKey())
        return HotKeyRecording::desktopSettingsMessage(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
    return HotKeyRecording::hint;
}

bool WindowShortcutRecorder::showsError() const
{
    return m_controller && (m_controller->error() || !m_controller->canRegister());
}

bool WindowShortcutRecorder::canRecord() const
{
    // A combination recorded where the desktop keeps the key would not take
    // effect: the desktop binds what its own settings say.
    return m_controller && m_controller->canRegister() && !m_controller->desktopKeepsKey();
}

bool WindowShortcutRecorder::desktopKeepsKey() const
{
    return m_controller && m_controller->canRegister() && m_controller->desktopKeepsKey();
}

QString WindowShortcutRecorder::note() const
{
    return HotKeyRecording::note;
}

void WindowShortcutRecorder::startRecording()
{
    if (!canRecord())
        return;
    m_controller->clearError();
    claimCapture();
    setCapturing(true);
}

void WindowShortcutRecorder::restoreDefault()
{
    if (!m_controller)
        return;
    if (m_controller->desktopKeepsKey() && m_controller->holdsHotKey()) {
        // The desktop keeps the key in force; asking it for another changes
        // nothing there (some refuse a second bind outright).
        m_controller->clearError();
        return;
    }
    if (m_controller->registerShortcut(WindowShortcut::defaultShortcut(), true))
        setCapturing(false);
}

void WindowShortcutRecorder::handleCapturedKey(const KeyEventInfo &event)
{
    if (!m_capturing || !m_controller)
        return;
    const HotKeyRecordingResult result = HotKeyRecording::decide(event);
    switch (result.outcome) {
    case HotKeyRecordingResult::Outcome::cancelled:
        setCapturing(false);
        return;
    case HotKeyRecordingResult::Outcome::ignored:
        return;
    case HotKeyRecordingResult::Outcome::refused:
        m_controller->setError(result.message);
        return;
    case HotKeyRecordingResult::Outcome::recorded:
        if (m_controller->registerShortcut(result.shortcut, true))
            setCapturing(false);
        return;
    }
}

void WindowShortcutRecorder::cancelCapture()
{
    setCapturing(false);
}

void WindowShortcutRecorder::setCapturing(bool capturing)
{
    if (!capturing)
        releaseCapture();
    if (m_capturing == capturing)
        return;
    m_capturing = capturing;
    if (m_controller)
        m_controller->setRecording(capturing);
    Q_EMIT capturingChanged();
    Q_EMIT displayChanged();
}
