#pragma once

#include "windowing/HoverSettings.h"
#include "windowing/ShellPorts.h"

#include <QAction>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <optional>

class HoverVisibilityController;
class MainPanelController;
class PanelWindow;
class QMenu;
class QSystemTrayIcon;
class QWindow;
class ShellModel;
class WindowList;
class WindowShortcutController;

// Builds every long-lived object of the run in a fixed order, owns them until
// termination, puts the status item with its two-entry menu into the tray,
// and hides and shows the panel from the close button, the status menu and
// the global hot key. The program keeps running without a window on screen
// and quits only through the status menu or a quit request of the desktop.
class AppDelegate : public QObject
{
    Q_OBJECT

public:
    // What the delegate is built from; anything left empty is the real thing.
    struct Dependencies
    {
        std::function<std::unique_ptr<ShellModel>(SettingsStore &)> makeModel;
        WindowShortcutController *shortcuts = nullptr;
        SettingsStore *store = nullptr;
        const PointerSource *pointer = nullptr;
        // Kept over an auto-hidden panel's place; with no pointer given, the
        // X11 pointer source's own.
        PointerReturnWatch *returnWatch = nullptr;
        const ScreenList *screens = nullptr;
        std::function<bool()> isTrayAvailable;
    };

    explicit AppDelegate(QObject *parent = nullptr);
    explicit AppDelegate(Dependencies dependencies, QObject *parent = nullptr);
    ~AppDelegate() override;

    // Entry points of the application.
    void applicationDidFinishLaunching();
    void applicationWillTerminate();
    [[nodiscard]] bool applicationShouldTerminateAfterLastWindowClosed() const { return false; }
    bool applicationShouldHandleReopen(bool hasVisibleWindows);
    void applicationDidHide();
    void applicationDidUnhide();
    void menuWillOpen();
    void toggleMainWindowFromStatusItem();
    void terminateApplication();

    void hideMainWindowToStatusItem();
    void showMainWindow();
    void updateMainWindowMenuItem();

    // Hiding the application hides the panel and the program's dialogs;
    // unhiding shows them again as they were.
    void hideApplication();
    void unhideApplication();
    [[nodiscard]] bool isApplicationHidden() const { return m_applicationHidden; }

    [[nodiscard]] ShellModel *appModel() const { return m_appModel.get(); }
    [[nodiscard]] MainPanelController *panelController() const { return m_panelController.get(); }
    [[nodiscard]] HoverVisibilityController *hoverController() const { return m_hoverController.get(); }
    [[nodiscard]] PanelWindow *panelWindow() const { return m_panel.get(); }
    [[nodiscard]] QSystemTrayIcon *statusItem() const { return m_statusItem.get(); }
    [[nodiscard]] QMenu *statusMenu() const { return m_statusMenu.get(); }
    [[nodiscard]] QAction *mainWindowToggleMenuItem() const { return m_mainWindowToggleMenuItem; }
    [[nodiscard]] bool mainWindowHiddenByClose() const { return m_mainWindowHiddenByClose; }
    [[nodiscard]] bool hasTerminated() const { return m_terminated; }
    [[nodiscard]] HoverSettings hoverSettings() const;
    [[nodiscard]] bool isPanelShown() const;

Q_SIGNALS:
    // The unhide continuation has put the panel back.
    void mainWindowShown();

private:
    void configureStatusItem();
    void showIcons();
    void toggleMainWindow();
    void finishShowingMainWindow();
    void requestClose();
    void deliverHoverAutoHideEnabled();

    Dependencies m_deps;
    std::unique_ptr<SettingsStore> m_ownedStore;
    std::unique_ptr<PointerSource> m_ownedPointer;
    std::unique_ptr<ScreenList> m_ownedScreens;

    std::unique_ptr<ShellModel> m_appModel;
    std::shared_ptr<PanelWindow> m_panel;
    std::unique_ptr<MainPanelController> m_panelController;
    std::unique_ptr<WindowList> m_windowList;
    std::unique_ptr<HoverVisibilityController> m_hoverController;
    QMetaObject::Connection m_hoverEnabledObservation;
    std::optional<bool> m_lastHoverAutoHideEnabled;
    std::unique_ptr<QMenu> m_statusMenu;
    std::unique_ptr<QSystemTrayIcon> m_statusItem;
    QPointer<QAction> m_mainWindowToggleMenuItem;
    bool m_mainWindowHiddenByClose = false;
    bool m_applicationHidden = false;
    QList<QPointer<QWindow>> m_windowsHiddenWithApplication;
    bool m_terminated = false;
    bool m_iconsShown = false;
};
