#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>

class MainPanelController;
class PanelWindow;

// What the panel's content may ask of the window: the root view never touches
// the panel itself. Reasons are the names of the auto-hide pauses
// ("windowResizing", "textEditing", ...); unknown names are ignored.
class PanelRequests : public QObject
{
    Q_OBJECT
    Q_PROPERTY(double uiScale READ uiScale NOTIFY uiScaleChanged)
    Q_PROPERTY(bool movable READ isMovable NOTIFY movableChanged)
    Q_PROPERTY(bool hasShadow READ hasShadow NOTIFY hasShadowChanged)

public:
    explicit PanelRequests(PanelWindow *window, QObject *parent = nullptr);
    void setController(MainPanelController *controller);

    [[nodiscard]] double uiScale() const;
    [[nodiscard]] bool isMovable() const;
    [[nodiscard]] bool hasShadow() const;

    // Connects the root view's request signals (activationRequested(),
    // minimizeRequested(), toggleMaximizeRequested(), changeScaleRequested(real),
    // resetScaleRequested(), closeRequested(), interactionBegan(int),
    // interactionEnded(int)) to these slots; a view without them is left alone.
    void connectRootView(QObject *rootView);

public Q_SLOTS:
    void requestActivation();
    void minimize();
    void toggleMaximize();
    void changeScale(double delta);
    void resetScale();
    void close();
    void beginInteraction(const QString &reason);
    void endInteraction(const QString &reason);
    // Reasons as the integer values of SuspensionReason.
    void beginInteractionReason(int reason);
    void endInteractionReason(int reason);
    // Moving the panel by a press and drag in the content (global positions).
    void beginWindowDrag(QPointF globalPosition);
    void dragWindow(QPointF globalPosition);
    void endWindowDrag();

Q_SIGNALS:
    void uiScaleChanged();
    void movableChanged();
    void hasShadowChanged();

private:
    QPointer<PanelWindow> m_window;
    QPointer<MainPanelController> m_controller;
};
