#include "HoverVisibilityController.h"

#include "WindowMath.h"

HoverVisibilityController::HoverVisibilityController(std::shared_ptr<PanelPort> panel,
                                                     std::unique_ptr<WindowGeometryManager> geometry,
                                                     const HoverSettings &settings, Environment environment)
    : m_panel(std::move(panel))
    , m_geometry(std::move(geometry))
    , m_settings(settings)
    , m_env(std::move(environment))
{
    if (!m_env.clock)
        m_env.clock = &Clock::shared();
}

HoverVisibilityController::~HoverVisibilityController()
{
    stopTimer();
}

bool HoverVisibilityController::isPolling() const
{
    return m_env.timer && m_env.timer->isRunning();
}

HoverWindowState HoverVisibilityController::restingState() const
{
    return m_panel->isVisible() ? HoverWindowState::visible : HoverWindowState::hidden;
}

QRectF HoverVisibilityController::showRegion() const
{
    return m_geometry->targetFrame();
}

QRectF HoverVisibilityController::exitRegion() const
{
    return WindowMath::grown(m_geometry->targetFrame(), exitMargin);
}

void HoverVisibilityController::start()
{
    if (!m_isEnabled || !m_env.timer || m_env.timer->isRunning())
        return;
    m_env.timer->start(pollIntervalMs, [this] { tick(); });
    updateReturnWatch();
}

void HoverVisibilityController::stopTimer()
{
    if (m_env.timer)
        m_env.timer->stop();
    if (m_watchedRegion && m_env.returnWatch)
        m_env.returnWatch->stopWatching();
    m_watchedRegion.reset();
}

void HoverVisibilityController::updateReturnWatch()
{
    if (!m_env.returnWatch)
        return;
    // Only an auto-hidden panel comes back by the pointer; a panel hidden to
    // the status item does not.
    const bool wanted = m_isEnabled && !m_isManuallyHidden && m_state == HoverWindowState::hidden
        && isPolling() && !m_panel->isMinimized();
    if (wanted) {
        const QRectF region = showRegion();
        if (m_watchedRegion != region) {
            m_watchedRegion = region;
            m_env.returnWatch->watch(region);
        }
    } else if (m_watchedRegion) {
        m_watchedRegion.reset();
        m_env.returnWatch->stopWatching();
    }
}

void HoverVisibilityController::refreshWindowRegion()
{
    m_geometry->refreshWindowRegion();
}

void HoverVisibilityController::tick()
{
    // Early exits come before any look at the pointer: this runs 40 times a second.
    if (!m_isEnabled || m_isManuallyHidden || m_panel->isMinimized())
        return;
    // The watch of a panel that came back goes one poll later, when the panel
    // is surely on screen under it: in between, the pointer would be over no
    // window of the program, and taken for gone.
    if (m_watchedRegion && m_state != HoverWindowState::hidden)
        updateReturnWatch();
    recoverFinishedPointerInteractionIfNeeded();
    if (!m_activeSuspensionReasons.isEmpty())
        return;
    if (m_state == HoverWindowState::suspended)
        m_state = restingState();

    const PointerSource::Reading reading = m_env.pointer ? m_env.pointer->read() : PointerSource::Reading{};
    if (reading.elsewhere) {
        // Over another program's window that the display does not show us
        // (XWayland): certainly not over the panel. Its return is seen through
        // the watch, or as soon as it crosses one of the program's windows.
        if (m_state == HoverWindowState::visible)
            countDownToHide();
        return;
    }
    // Without a pointer position (a desktop that keeps it private) the panel is
    // never hidden: it could not be brought back.
    if (!reading.position)
        return;
    const QPointF p = *reading.position;

    if (m_env.windows) {
        for (const QRectF &frame : m_env.windows->otherVisibleWindowFrames()) {
            if (WindowMath::halfOpenContains(frame, p)) {
                m_hideCandidateSince.reset();
                return;
            }
        }
    }

    switch (m_state) {
    case HoverWindowState::hidden:
        if (WindowMath::halfOpenContains(showRegion(), p))
            showWithoutActivation();
        break;
    case HoverWindowState::visible: {
        if (WindowMath::halfOpenContains(exitRegion(), p)) {
            m_hideCandidateSince.reset();
            break;
        }
        countDownToHide();
        break;
    }
    case HoverWindowState::showing:
    case HoverWindowState::hiding:
    case HoverWindowState::suspended:
        break;
    }
}

void HoverVisibilityController::countDownToHide()
{
    const qint64 now = m_env.clock->nowMilliseconds();
    // A clock set back restarts the countdown instead of stalling it.
    if (!m_hideCandidateSince || now < *m_hideCandidateSince)
        m_hideCandidateSince = now;
    else if (now - *m_hideCandidateSince >= hideDelayMs)
        hide();
}

void HoverVisibilityController::recoverFinishedPointerInteractionIfNeeded()
{
    if (!m_activeSuspensionReasons.contains(SuspensionReason::windowMoving)
        && !m_activeSuspensionReasons.contains(SuspensionReason::windowResizing))
        return;
    if (m_env.pointer && m_env.pointer->isPrimaryButtonPressed())
        return;
    // The end of a move or resize was never reported, but the button is up.
    m_activeSuspensionReasons.remove(SuspensionReason::windowMoving);
    m_activeSuspensionReasons.remove(SuspensionReason::windowResizing);
    m_geometry->refreshWindowRegion();
    if (m_activeSuspensionReasons.isEmpty())
        m_state = restingState();
}

void HoverVisibilityController::hide()
{
    if (m_state == HoverWindowState::hidden || m_state == HoverWindowState::hiding)
        return;
    m_geometry->refreshWindowRegion();
    m_state = HoverWindowState::hiding;
    m_panel->setIgnoresMouseEvents(true);
    m_panel->orderOut();
    m_hideCandidateSince.reset();
    m_state = HoverWindowState::hidden;
    updateReturnWatch();
}

void HoverVisibilityController::showWithoutActivation()
{
    if (m_state != HoverWindowState::hidden)
        return;
    m_state = HoverWindowState::showing;
    const QRectF target = m_geometry->targetFrame();
    if (m_panel->frame() != target)
        m_panel->setFrame(target);
    m_panel->setIgnoresMouseEvents(false);
    m_panel->orderFrontWithoutActivation();
    m_hideCandidateSince.reset();
    m_state = HoverWindowState::visible;
}

void HoverVisibilityController::beginInteraction(SuspensionReason reason)
{
    m_activeSuspensionReasons.insert(reason);
    m_hideCandidateSince.reset();
    if (m_state == HoverWindowState::visible)
        m_state = HoverWindowState::suspended;
}

void HoverVisibilityController::endInteraction(SuspensionReason reason)
{
    m_activeSuspensionReasons.remove(reason);
    if (!m_activeSuspensionReasons.isEmpty())
        return;
    m_state = restingState();
    tick();
}

void HoverVisibilityController::setEnabled(bool enabled)
{
    if (m_isEnabled == enabled)
        return;
    m_isEnabled = enabled;
    m_hideCandidateSince.reset();
    if (enabled) {
        m_geometry->refreshWindowRegion();
        m_state = restingState();
        start();
        tick();
        updateReturnWatch();
        return;
    }
    stopTimer();
    m_activeSuspensionReasons.clear();
    // Hidden to the status item: turning auto-hide off must not bring the
    // panel back; showing it is the status item's (or the hot key's) job.
    if (m_isManuallyHidden)
        return;
    if (m_panel->isMinimized()) {
        m_panel->setIgnoresMouseEvents(false);
        m_state = HoverWindowState::visible;
    } else if (m_state == HoverWindowState::hidden || m_state == HoverWindowState::hiding || !m_panel->isVisible()) {
        m_state = HoverWindowState::hidden;
        showWithoutActivation();
    } else {
        m_panel->setIgnoresMouseEvents(false);
        m_state = HoverWindowState::visible;
    }
}

void HoverVisibilityController::setManuallyHidden(bool hidden)
{
    if (m_isManuallyHidden == hidden)
        return;
    m_isManuallyHidden = hidden;
    m_hideCandidateSince.reset();
    if (hidden) {
        stopTimer();
        m_activeSuspensionReasons.clear();
        m_geometry->refreshWindowRegion();
        m_panel->setIgnoresMouseEvents(true);
        m_panel->orderOut();
        m_state = HoverWindowState::hidden;
        return;
    }
    m_geometry->refreshWindowRegion();
    m_state = HoverWindowState::hidden;
    showWithoutActivation();
    start();
}
