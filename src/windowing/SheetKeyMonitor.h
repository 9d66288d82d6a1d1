#pragma once

#include <QObject>
#include <QPointer>

class MainPanelController;
class QWindow;

// Offers key presses of dialogs that belong to the panel to the zoom
// shortcuts, so the panel zooms while such a dialog has the focus.
class SheetKeyMonitor : public QObject
{
    Q_OBJECT

public:
    SheetKeyMonitor(QWindow *panel, MainPanelController *controller, QObject *parent = nullptr);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QPointer<QWindow> m_panel;
    QPointer<MainPanelController> m_controller;
};
