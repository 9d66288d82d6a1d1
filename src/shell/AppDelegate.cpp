#include "shell/AppDelegate.h"

#include "shell/AppDelegateModel.h"
#include "windowing/ApplicationIconAssets.h"
#include "windowing/HotKeyBackendChoice.h"
#include "windowing/HoverVisibilityController.h"
#include "windowing/MainPanelController.h"
#include "windowing/PanelWindow.h"
#include "windowing/QtPollTimer.h"
#include "windowing/QtScreenList.h"
#include "windowing/QtWindowList.h"
#include "windowing/ShellModel.h"
#include "windowing/StatusMenuRules.h"
#include "windowing/UserDefaultsSettingsStore.h"
#include "windowing/WindowGeometryManager.h"
#include "windowing/WindowShortcutController.h"
#include "windowing/XcbPointerSource.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QMenu>
#include <QPixmap>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWindow>

AppDelegate::AppDelegate(QObject *parent)
    : AppDelegate(Dependencies{}, parent)
{
}

AppDelegate::AppDelegate(Dependencies dependencies, QObject *parent)
    : QObject(parent)
    , m_deps(std::move(dependencies))
{
    if (!m_deps.store) {
        m_ownedStore = std::make_unique<UserDefaultsSettingsStore>();
        m_deps.store = m_ownedStore.get();
    }
    if (!m_deps.pointer) {
        auto pointer = std::make_unique<XcbPointerSource>();
        if (!m_deps.returnWatch)
            m_deps.returnWatch = pointer.get();
        m_deps.pointer = pointer.get();
        m_ownedPointer = std::move(pointer);
    }
    if (!m_deps.screens) {
        m_ownedScreens = std::make_unique<QtScreenList>();
        m_deps.screens = m_ownedScreens.get();
    }
    if (!m_deps.makeModel)
        m_deps.makeModel = makeAppShellModel;
    if (!m_deps.shortcuts)
        m_deps.shortcuts = &WindowShortcutController::shared();
    if (!m_deps.isTrayAvailable)
        m_deps.isTrayAvailable = [] { return QSystemTrayIcon::isSystemTrayAvailable(); };
}

AppDelegate::~AppDelegate()
{
    applicationWillTerminate();
    if (m_deps.shortcuts)
        m_deps.shortcuts->onToggle = nullptr;
    // The hover controller and the controller refer to the panel; they go first.
    m_hoverController.reset();
    m_panelController.reset();
    m_windowList.reset();
    m_panel.reset();
}

HoverSettings AppDelegate::hoverSettings() const
{
    HoverSettings settings;
    settings.pollIntervalMs = 25;
    settings.showDelayMs = 0;
    settings.hideDelayMs = 50;
    settings.exitTolerance = 6.0;
    settings.alwaysOnTop = false;
    settings.startHidden = false;
    settings.autoHideEnabled = false;
    return settings;
}

bool AppDelegate::isPanelShown() const
{
    return StatusMenuRules::isPanelShown(m_panelController != nullptr, m_panel && m_panel->isVisible(),
                                         m_panel && m_panel->isMinimized());
}

void AppDelegate::applicationDidFinishLaunching()
{
    if (m_panelController)
        return;
    QApplication::setQuitOnLastWindowClosed(false);

    configureStatusItem();

    const HoverSettings settings = hoverSettings();
    m_appModel = m_deps.makeModel(*m_deps.store);
    const QRectF frame
        = WindowGeometryManager::initialFrameNearMouse(m_deps.pointer->position(), *m_deps.screens, *m_deps.store);

    m_panel = std::make_shared<PanelWindow>(frame, settings);
    m_panelController = std::make_unique<MainPanelController>(
        m_panel, settings, m_appModel.get(), MainPanelController::Environment{m_deps.screens, m_deps.store});
    m_panel->attach(m_panelController.get());
    m_panel->loadContent(m_appModel->viewModel());

    auto geometry = std::make_unique<WindowGeometryManager>(m_panel, frame, settings.exitTolerance);
    m_windowList = std::make_unique<QtWindowList>(m_panel.get());
    HoverVisibilityController::Environment environment;
    environment.pointer = m_deps.pointer;
    environment.windows = m_windowList.get();
    environment.clock = &Clock::shared();
    environment.timer = std::make_unique<QtPollTimer>();
    environment.returnWatch = m_deps.returnWatch;
    m_hoverController = std::make_unique<HoverVisibilityController>(m_panel, std::move(geometry), settings,
                                                                     std::move(environment));

    const QPointer<AppDelegate> self(this);
    m_panelController->onBeginInteraction = [self](SuspensionReason reason) {
        if (self && self->m_hoverController)
            self->m_hoverController->beginInteraction(reason);
    };
    m_panelController->onEndInteraction = [self](SuspensionReason reason) {
        if (self && self->m_hoverController)
            self->m_hoverController->endInteraction(reason);
    };
    m_panelController->onWindowRegionChanged = [self] {
        if (self && self->m_hoverController)
            self->m_hoverController->refreshWindowRegion();
    };
    m_panelController->onRequestClose = [self] {
        if (self)
            self->requestClose();
    };

    m_deps.shortcuts->onToggle = [self] {
        if (self)
            self->toggleMainWindow();
    };
    // Asked when the desktop may show its dialog, by when the panel is up.
    m_deps.shortcuts->setDialogParent([panel = QPointer<QWindow>(m_panel.get())] {
        return HotKeyBackendChoice::portalWindowName(panel);
    });
    m_deps.shortcuts->start();

    m_panel->activateAndOrderFront();
    updateMainWindowMenuItem();
    // After the first frame, or a moment later on a display that draws none.
    // The frame's other listeners go first: the icons wait for a later turn
    // of the event loop rather than holding up whatever the frame unblocks.
    connect(
        m_panel.get(), &QQuickWindow::frameSwapped, this,
        [this] { QTimer::singleShot(0, this, &AppDelegate::showIcons); },
        Qt::QueuedConnection);
    QTimer::singleShot(1000, this, &AppDelegate::showIcons);

    m_hoverEnabledObservation = connect(m_appModel.get(), &ShellModel::hoverAutoHideEnabledChanged, this,
                                        &AppDelegate::deliverHoverAutoHideEnabled);
    deliverHoverAutoHideEnabled();

    // The session is ending: save what is pending before the desktop ends us.
    connect(qApp, &QGuiApplication::commitDataRequest, this, [self] {
        if (self && self->m_appModel)
            self->m_appModel->flushTransparentInkColor();
    });
}

void AppDelegate::deliverHoverAutoHideEnabled()
{
    if (!m_appModel || !m_hoverController)
        return;
    const bool enabled = m_appModel->hoverAutoHideEnabled();
    if (m_lastHoverAutoHideEnabled == enabled)
        return;
    m_lastHoverAutoHideEnabled = enabled;
    m_hoverController->setEnabled(enabled);
}

void AppDelegate::configureStatusItem()
{
    m_statusItem = std::make_unique<QSystemTrayIcon>();
    m_statusItem->setToolTip(StatusMenuRules::toolTip);

    m_statusMenu = std::make_unique<QMenu>();
    connect(m_statusMenu.get(), &QMenu::aboutToShow, this, &AppDelegate::menuWillOpen);
    m_mainWindowToggleMenuItem = m_statusMenu->addAction(StatusMenuRules::showTitle);
    connect(m_mainWindowToggleMenuItem, &QAction::triggered, this, &AppDelegate::toggleMainWindowFromStatusItem);
    m_statusMenu->addSeparator();
    QAction *quit = m_statusMenu->addAction(StatusMenuRules::quitTitle);
    quit->setShortcut(QKeySequence(QStringLiteral("Ctrl+Q")));
    connect(quit, &QAction::triggered, this, &AppDelegate::terminateApplication);
    m_statusItem->setContextMenu(m_statusMenu.get());

    connect(m_statusItem.get(), &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        // A click on the tray icon is the desktop's way to reopen the program.
        if (reason == QSystemTrayIcon::Trigger || reason == QSystemTrayIcon::DoubleClick)
            applicationShouldHandleReopen(isPanelShown());
    });
}

void AppDelegate::showIcons()
{
    // Decoding the large icon and registering with the tray take a good part
    // of a second at start; they follow the panel's first frame instead of
    // holding it back.
    if (m_iconsShown || m_terminated)
        return;
    m_iconsShown = true;

    // The window icon stands for the program in task bars and switchers.
    if (const auto dockIcon = ApplicationIconAssets::image(QStringLiteral("AppIconDock")))
        QGuiApplication::setWindowIcon(ApplicationIconAssets::windowIcon(*dockIcon));

    if (!m_statusItem)
        return;
    std::optional<QImage> image = ApplicationIconAssets::image(QStringLiteral("AppIcon"));
    if (!image) {
        const QIcon applicationIcon = QGuiApplication::windowIcon();
        if (!applicationIcon.isNull())
            image = applicationIcon.pixmap(64).toImage();
    }
    if (image && !image->isNull()) {
        // 18 px, sharp on high-density screens; the colours are kept as drawn.
        const qreal ratio = qApp->devicePixelRatio();
        const int side = qRound(18 * ratio);
        QPixmap pixmap = QPixmap::fromImage(image->scaled(side, side, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        pixmap.setDevicePixelRatio(ratio);
        m_statusItem->setIcon(QIcon(pixmap));
    }
    m_statusItem->show();
}

void AppDelegate::updateMainWindowMenuItem()
{
    if (!m_mainWindowToggleMenuItem)
        return;
    m_mainWindowToggleMenuItem->setText(StatusMenuRules::toggleTitle(
        m_panelController != nullptr, m_panel && m_panel->isVisible(), m_panel && m_panel->isMinimized()));
}

void AppDelegate::hideMainWindowToStatusItem()
{
    m_mainWindowHiddenByClose = true;
    if (m_hoverController)
        m_hoverController->setManuallyHidden(true);
    if (m_panel) {
        m_panel->setIgnoresMouseEvents(true);
        m_panel->orderOut();
    }
    hideApplication();
    updateMainWindowMenuItem();
}

void AppDelegate::showMainWindow()
{
    if (m_applicationHidden) {
        // The rest follows once the application is back (applicationDidUnhide).
        unhideApplication();
        return;
    }
    finishShowingMainWindow();
}

void AppDelegate::finishShowingMainWindow()
{
    m_mainWindowHiddenByClose = false;
    if (m_hoverController)
        m_hoverController->setManuallyHidden(false);
    if (m_panelController && m_panel) {
        if (m_panel->isMinimized())
            m_panel->deminimize();
        m_panel->setIgnoresMouseEvents(false);
        m_panel->activateAndOrderFront();
    }
    updateMainWindowMenuItem();
}

void AppDelegate::toggleMainWindow()
{
    if (isPanelShown())
        hideMainWindowToStatusItem();
    else
        showMainWindow();
}

void AppDelegate::toggleMainWindowFromStatusItem()
{
    toggleMainWindow();
}

void AppDelegate::requestClose()
{
    // Without a tray there is nothing to hide into: minimise instead, so the
    // panel can always be found again.
    if (m_deps.isTrayAvailable()) {
        hideMainWindowToStatusItem();
    } else if (m_panel) {
        m_panel->minimize();
        updateMainWindowMenuItem();
    }
}

bool AppDelegate::applicationShouldHandleReopen(bool hasVisibleWindows)
{
    if (!hasVisibleWindows)
        showMainWindow();
    return true;
}

void AppDelegate::hideApplication()
{
    if (m_applicationHidden)
        return;
    m_applicationHidden = true;
    m_windowsHiddenWithApplication.clear();
    for (QWindow *window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible() || window == m_panel.get())
            continue;
        // The program's dialogs go with it; the tray icon's own window stays.
        const Qt::WindowType type = window->type();
        const bool belongsToPanel = window->transientParent() == m_panel.get();
        if (belongsToPanel || type == Qt::Dialog || type == Qt::Sheet || type == Qt::Tool) {
            m_windowsHiddenWithApplication.append(window);
            window->hide();
        }
    }
    applicationDidHide();
}

void AppDelegate::unhideApplication()
{
    if (!m_applicationHidden)
        return;
    m_applicationHidden = false;
    const auto windows = std::exchange(m_windowsHiddenWithApplication, {});
    for (const QPointer<QWindow> &window : windows) {
        if (window)
            window->show();
    }
    applicationDidUnhide();
}

void AppDelegate::applicationDidHide()
{
    updateMainWindowMenuItem();
}

void AppDelegate::applicationDidUnhide()
{
    if (!m_mainWindowHiddenByClose)
        return;
    // Runs after the unhide has returned, like the desktop's own notification.
    QMetaObject::invokeMethod(
        this,
        [this] {
            finishShowingMainWindow();
            Q_EMIT mainWindowShown();
        },
        Qt::QueuedConnection);
}

void AppDelegate::menuWillOpen()
{
    updateMainWindowMenuItem();
}

void AppDelegate::terminateApplication()
{
    QCoreApplication::quit();
}

void AppDelegate::applicationWillTerminate()
{
    if (m_terminated || !m_panelController)
        return;
    m_terminated = true;
    m_panelController->stop();
    m_deps.shortcuts->stop();
    if (m_appModel)
        m_appModel->flushTransparentInkColor();
    disconnect(m_hoverEnabledObservation);
    if (m_hoverController)
        m_hoverController->stopTimer();
    if (m_statusItem)
        m_statusItem->hide();
}
