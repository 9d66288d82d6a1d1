#pragma once

#include "HoverSettings.h"
#include "ShellModel.h"
#include "ShellPorts.h"
#include "models/Enums.h"
#include "platform/KeyEventInfo.h"

#include <QObject>
#include <QPointer>
#include <functional>
#include <memory>
#include <optional>

// Owns the one panel: zoom, maximize and restore, size persistence, key
// routing, the rules that follow the model (grips during an export, shadow in
// the transparent look), fitting after screen changes, and the reports of
// interactions and region changes that feed the auto-hide.
class MainPanelController : public QObject
{
    Q_OBJECT

public:
    static constexpr double zoomStep = 0.05;
    static constexpr int keypadPlusKeyCode = 69;
    static constexpr int keypadMinusKeyCode = 78;

    // The ports must outlive the controller.
    struct Environment
    {
        const ScreenList *screens = nullptr;
        SettingsStore *store = nullptr;
    };

    // The panel exists but is not on screen; zoom and base size come from the
    // store. Of the settings only alwaysOnTop matters, and the panel was made
    // with it.
    MainPanelController(std::shared_ptr<PanelPort> panel, const HoverSettings &settings, ShellModel *model,
                        Environment environment, QObject *parent = nullptr);
    ~MainPanelController() override;

    [[nodiscard]] const std::shared_ptr<PanelPort> &panel() const { return m_panel; }
    [[nodiscard]] double uiScale() const { return m_uiScale; }
    [[nodiscard]] QSizeF baseWindowSize() const { return m_baseWindowSize; }
    [[nodiscard]] std::optional<QRectF> restoredFrame() const { return m_restoredFrame; }
    [[nodiscard]] ShellModel *model() const { return m_model; }

    // Set by the application delegate; each does nothing while unset.
    std::function<void(SuspensionReason)> onBeginInteraction;
    std::function<void(SuspensionReason)> onEndInteraction;
    std::function<void()> onWindowRegionChanged;
    std::function<void()> onRequestClose;

    // The rectangle the panel may occupy.
    [[nodiscard]] QRectF currentWorkArea() const;
    void applyMinimumSizeRule();

    // Zoom, maximize, persistence and keys.
    void setScale(double scale);
    void toggleMaximize();
    void persistNormalWindowSize();
    bool handleScaleShortcut(const KeyEventInfo &event);
    // A key-down of the panel that no open card or focused text field
    // holds (those are offered to handleScaleShortcut alone); true when consumed.
    bool routeKeyDown(const KeyEventInfo &event);

    // Requests of the root view.
    void requestActivation();
    void minimize();
    void changeScale(double delta);
    void resetScale();
    void close();
    void rootBeginInteraction(SuspensionReason reason);
    void rootEndInteraction(SuspensionReason reason);

    // The edge grips.
    void gripDragBegan();
    void gripDragEnded();

    // Window events.
    void windowWillMove();
    void windowDidMove();
    void windowWillStartLiveResize();
    // The size a live resize may give the panel: the proposed one, or the
    // current one while maximized or while a PDF export runs.
    [[nodiscard]] QSizeF windowWillResize(const QSizeF &current, const QSizeF &proposed) const;
    void windowDidEndLiveResize();
    // True while a resize of our own runs (grips, the corner grip, zoom,
    // maximize): its frames are not the window manager's.
    [[nodiscard]] bool isResizingItself() const { return m_applyingGeometry || m_ownResizes > 0; }
    void windowDidResize();
    // The panel moves under a drag of its content; the move ends with windowDidMove().
    void windowIsMoving();
    void windowDidChangeScreen();
    void screenParametersChanged();

    // At termination: stops following the screens.
    void stop();
    [[nodiscard]] bool isStopped() const { return m_stopped; }

Q_SIGNALS:
    void uiScaleChanged();

private:
    void applyExportRule(bool exporting);
    void applyShadowRule();
    [[nodiscard]] bool modelSaysMaximized() const;
    void beginInteraction(SuspensionReason reason);
    void endInteraction(SuspensionReason reason);
    void windowRegionChanged();

    const std::shared_ptr<PanelPort> m_panel;
    QPointer<ShellModel> m_model;
    Environment m_env;
    std::optional<QRectF> m_restoredFrame;
    double m_uiScale = 1.0;
    QSizeF m_baseWindowSize;
    bool m_applyingGeometry = false;
    bool m_liveResizing = false;
    int m_ownResizes = 0;
    std::optional<bool> m_lastExporting;
    bool m_stopped = false;
};
