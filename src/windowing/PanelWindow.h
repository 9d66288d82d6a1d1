#pragma once

#include "HoverSettings.h"
#include "ShellPorts.h"

#include <QList>
#include <QPointer>
#include <QQuickWindow>
#include <QTimer>
#include <memory>
#include <optional>

class AppModel;
class MainPanelController;
class PanelRequests;
class QQmlEngine;
class QUrl;
class ScaledContentItem;
class WindowResizeItem;

// The program's one window: a frameless, transparent-capable Qt Quick window
// that hosts the root view inside a scaled item, with the edge grips on top.
// It is a normal window (not a tool window), so it can be minimised and found
// in the task bar.
class PanelWindow : public QQuickWindow, public PanelPort
{
    Q_OBJECT

public:
    PanelWindow(const QRectF &frame, const HoverSettings &settings);
    ~PanelWindow() override;

    // Routes keys, clicks, moves, resizes, grips, screen changes and the
    // content's requests to the controller.
    void attach(MainPanelController *controller);
    // Loads the root view (the stand-in view until the real one is built in)
    // with the model it binds to; false when it could not be created.
    bool loadContent(AppModel *viewModel);

    [[nodiscard]] ScaledContentItem *scaledContent() const { return m_scaledContent; }
    [[nodiscard]] WindowResizeItem *resizeGrips() const { return m_grips; }
    [[nodiscard]] PanelRequests *requests() const { return m_requests; }
    [[nodiscard]] QQuickItem *rootView() const;
    [[nodiscard]] bool isMovable() const { return m_movable; }
    [[nodiscard]] bool hasShadow() const { return m_hasShadow; }
    [[nodiscard]] bool ignoresMouseEvents() const;

    // PanelPort
    [[nodiscard]] QRectF frame() const override;
    void setFrame(const QRectF &frame) override;
    [[nodiscard]] bool isVisible() const override;
    [[nodiscard]] bool isMinimized() const override;
    void setIgnoresMouseEvents(bool ignores) override;
    void orderOut() override;
    void orderFrontWithoutActivation() override;
    void activateAndOrderFront() override;
    void makeKey() override;
    void minimize() override;
    void deminimize() override;
    [[nodiscard]] QSizeF minimumSize() const override;
    void setMinimumSize(const QSizeF &size) override;
    void setMovable(bool movable) override;
    void setHasShadow(bool hasShadow) override;
    [[nodiscard]] std::optional<QRectF> screenVisibleFrame() const override;
    void setContentScale(double scale) override;
    void setResizingEnabled(bool enabled) override;

    // Moving by a drag in the content.
    void beginWindowDrag(const QPointF &globalPosition);
    void dragWindow(const QPointF &globalPosition);
    void endWindowDrag();
    [[nodiscard]] bool isDraggingWindow() const { return m_dragStart.has_value(); }

    // The window manager gives no end of its own resizes (keyboard resize,
    // its handles): one ends once the size has been still this long.
    static constexpr int windowManagerResizeSettleMs = 300;
    [[nodiscard]] bool isInWindowManagerResize() const { return m_windowManagerResize; }

Q_SIGNALS:
    void movableChanged();
    void hasShadowChanged();

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void exposeEvent(QExposeEvent *event) override;

private:
    bool createRootView(const QUrl &url);
    void layoutItems();
    void watchScreens();
    void positionChanged();
    void sizeChanged(const QSize &size);
    void endWindowManagerResize();
    void holdReturnPlace();
    void endReturn();

    QPointer<MainPanelController> m_controller;
    ScaledContentItem *m_scaledContent = nullptr;
    WindowResizeItem *m_grips = nullptr;
    PanelRequests *m_requests = nullptr;
    std::unique_ptr<QQmlEngine> m_engine;
    QPointer<QQuickItem> m_rootView;
    bool m_movable = true;
    bool m_hasShadow = true;
    std::optional<QPointF> m_dragStart;
    QPoint m_dragOrigin;
    // Sizes this program asked for whose configure has not come back yet.
    QList<QSize> m_requestedSizes;
    // The frame as last accepted: what a blocked resize returns to.
    QRect m_settledGeometry;
    bool m_windowManagerResize = false;
    quint32 m_lastReleasedScanCode = 0;
    quint64 m_lastReleaseTimestamp = 0;
    int m_blockedResizes = 0;
    QTimer m_windowManagerResizeEnd;
    // Where the panel was when it went: it comes back there, whatever place
    // the window manager gives a window that maps again.
    std::optional<QPoint> m_returnPlace;
    int m_returnMoves = 0;
    int m_returnChecks = 0;
    QTimer m_returnCheck;
};
