#pragma once

#include "HoverSettings.h"
#include "ShellPorts.h"
#include "WindowGeometryManager.h"
#include "models/Enums.h"
#include "platform/Clock.h"

#include <QSet>
#include <memory>
#include <optional>

// Auto-hide of the floating panel: polls the pointer and orders the panel out
// once the pointer has left it (with a small margin) and back in, without
// taking the focus, when the pointer returns to where it was. Interactions
// (moving, resizing, editing, exporting) pause it; a hide to the status item
// overrides it.
class HoverVisibilityController
{
public:
    static constexpr int pollIntervalMs = 25;
    static constexpr qint64 hideDelayMs = 50;
    static constexpr double exitMargin = 6.0;

    // The ports must outlive the controller; the timer is owned.
    struct Environment
    {
        const PointerSource *pointer = nullptr;
        const WindowList *windows = nullptr;
        const Clock *clock = nullptr;
        std::unique_ptr<PollTimer> timer;
        // Optional: kept over the panel's place while it is auto-hidden.
        PointerReturnWatch *returnWatch = nullptr;
    };

    HoverVisibilityController(std::shared_ptr<PanelPort> panel, std::unique_ptr<WindowGeometryManager> geometry,
                              const HoverSettings &settings, Environment environment);
    ~HoverVisibilityController();
    HoverVisibilityController(const HoverVisibilityController &) = delete;
    HoverVisibilityController &operator=(const HoverVisibilityController &) = delete;

    void setEnabled(bool enabled);
    void setManuallyHidden(bool hidden);
    void beginInteraction(SuspensionReason reason);
    void endInteraction(SuspensionReason reason);
    void refreshWindowRegion();
    // Starts polling when auto-hide is on and no poll runs yet.
    void start();
    // Stops polling (termination, auto-hide off, manual hide) and the watch
    // for the pointer's return.
    void stopTimer();
    void hide();
    void showWithoutActivation();

    [[nodiscard]] HoverWindowState state() const { return m_state; }
    [[nodiscard]] bool isEnabled() const { return m_isEnabled; }
    [[nodiscard]] bool isManuallyHidden() const { return m_isManuallyHidden; }
    [[nodiscard]] bool isPolling() const;
    [[nodiscard]] bool isWatchingForReturn() const { return m_watchedRegion.has_value(); }
    [[nodiscard]] const QSet<SuspensionReason> &activeSuspensionReasons() const { return m_activeSuspensionReasons; }
    [[nodiscard]] std::optional<qint64> hideCandidateSince() const { return m_hideCandidateSince; }
    [[nodiscard]] const WindowGeometryManager &geometry() const { return *m_geometry; }
    [[nodiscard]] const HoverSettings &settings() const { return m_settings; }

private:
    void tick();
    void recoverFinishedPointerInteractionIfNeeded();
    void countDownToHide();
    void updateReturnWatch();
    [[nodiscard]] HoverWindowState restingState() const;
    [[nodiscard]] QRectF showRegion() const;
    [[nodiscard]] QRectF exitRegion() const;

    const std::shared_ptr<PanelPort> m_panel;
    const std::unique_ptr<WindowGeometryManager> m_geometry;
    const HoverSettings m_settings;
    Environment m_env;

    HoverWindowState m_state = HoverWindowState::visible;
    std::optional<qint64> m_hideCandidateSince;
    QSet<SuspensionReason> m_activeSuspensionReasons;
    bool m_isEnabled = false;
    bool m_isManuallyHidden = false;
    std::optional<QRectF> m_watchedRegion;
};
