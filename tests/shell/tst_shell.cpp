// The window shell on a real X server (run under xvfb-run): the program and
// its panel, the hot key, auto-hide and the zoom keys, driven from outside
// with xdotool as a user would.
#include "ShellFakes.h"
#include "shell/AppDelegate.h"
#include "platform/UserDefaults.h"
#include "windowing/HoverVisibilityController.h"
#include "windowing/MainPanelController.h"
#include "windowing/PanelRequests.h"
#include "windowing/PanelWindow.h"
#include "windowing/StandInShellModel.h"
#include "windowing/WindowGeometryManager.h"
#include "windowing/WindowShortcutController.h"
#include "windowing/XcbHotKeyBackend.h"
#include "views/AppModelSingleton.h"
#include "views/RootViewState.h"

#include <QQmlEngine>

#include <QAction>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QQuickItem>
#include <QScreen>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QtGui/qguiapplication_platform.h>
#include <QtQml/qqmlextensionplugin.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

// The views' QML module, as the program links it.
Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

bool xdotool(const QStringList &arguments)
{
    return QProcess::execute(QStringLiteral("xdotool"), arguments) == 0;
}

bool movePointer(int x, int y)
{
    return xdotool({QStringLiteral("mousemove"), QString::number(x), QString::number(y)});
}

// Space-separated key combinations, pressed one after the other.
bool pressKeys(const QString &keys)
{
    return xdotool(QStringList{QStringLiteral("key")} + keys.split(QLatin1Char(' ')));
}

// One launched shell with its own store, hot key and model.
struct Shell
{
    explicit Shell(bool trayAvailable = true, bool autoHide = false)
    {
        if (autoHide)
            store.values.insert(StandInShellModel::hoverAutoHideKey, true);
        shortcuts = std::make_unique<WindowShortcutController>(std::make_unique<XcbHotKeyBackend>(), store);
        AppDelegate::Dependencies dependencies;
        dependencies.store = &store;
        dependencies.shortcuts = shortcuts.get();
        dependencies.isTrayAvailable = [trayAvailable] { return trayAvailable; };
        // The stand-in model keeps the test away from the user's own settings.
        dependencies.makeModel = [](SettingsStore &settings) { return std::make_unique<StandInShellModel>(settings); };
        delegate = std::make_unique<AppDelegate>(std::move(dependencies));
        delegate->applicationDidFinishLaunching();
    }
    ~Shell()
    {
        delegate.reset();
        shortcuts.reset();
    }

    PanelWindow *panel() const { return delegate->panelWindow(); }
    QString menuTitle() const { return delegate->mainWindowToggleMenuItem()->text(); }

    MemoryStore store;
    std::unique_ptr<WindowShortcutController> shortcuts;
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

class TestShell : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void launchOpensPanelNearPointer();
    void closeHidesToStatusItemAndShowsAgain();
    void closeWithoutTrayMinimises();
    void hotKeyToggles();
    void busyHotKeyIsReported();
    void hotKeyIgnoresAutoRepeat();
    void autoHideFollowsPointer();
    void zoomKeysChangeAndPersistScale();
    void dragResizesFromEdge();
    void rootViewRequestsReachThePanel();
    void programStartsAndStopsOnSignal();
};

void TestShell::initTestCase()
{
    if (QGuiApplication::platformName() != QLatin1String("xcb"))
        QSKIP("needs an X server (run under xvfb-run)");
    QVERIFY2(QProcess::execute(QStringLiteral("xdotool"), {QStringLiteral("version")}) == 0, "xdotool is missing");
    const QSize screen = QGuiApplication::primaryScreen()->size();
    QVERIFY2(screen.width() >= 1280 && screen.height() >= 800, "the X screen is too small");
}

void TestShell::launchOpensPanelNearPointer()
{
    QVERIFY(movePointer(900, 500));
    Shell shell;
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    const QRectF expected = WindowGeometryManager::fittedFrame(QRectF(900 - 530, 500 - 370, 1060, 740), area);
    QTRY_COMPARE(QRectF(panel->geometry()), expected);
    QVERIFY(panel->flags().testFlag(Qt::FramelessWindowHint));
    QCOMPARE(panel->title(), QStringLiteral("vuzo"));
    QCOMPARE(shell.menuTitle(), QStringLiteral("隐藏主窗口"));
    QVERIFY(shell.delegate->statusItem());
    QCOMPARE(shell.delegate->statusMenu()->actions().size(), 3);
    QCOMPARE(shell.delegate->statusMenu()->actions().at(2)->text(), QStringLiteral("退出澜舟题阁"));
    QVERIFY(panel->rootView());
    QVERIFY(!shell.delegate->applicationShouldTerminateAfterLastWindowClosed());
    QVERIFY(!QGuiApplication::quitOnLastWindowClosed());
}

void TestShell::closeHidesToStatusItemAndShowsAgain()
{
    Shell shell;
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    panel->requests()->close();
    QVERIFY(!panel->isVisible());
    QVERIFY(shell.delegate->mainWindowHiddenByClose());
    QVERIFY(shell.delegate->isApplicationHidden());
    QVERIFY(panel->ignoresMouseEvents());
    QCOMPARE(shell.menuTitle(), QStringLiteral("显示主窗口"));

    // Reopening (a click on the tray icon) unhides, then the continuation shows.
    QSignalSpy shown(shell.delegate.get(), &AppDelegate::mainWindowShown);
    QVERIFY(shell.delegate->applicationShouldHandleReopen(false));
    QVERIFY(!panel->isVisible()); // not yet: the continuation runs after the unhide
    QVERIFY(shown.wait(2000));
    QVERIFY(panel->isVisible());
    QVERIFY(!panel->ignoresMouseEvents());
    QVERIFY(!shell.delegate->mainWindowHiddenByClose());
    QCOMPARE(shell.menuTitle(), QStringLiteral("隐藏主窗口"));
    QTRY_VERIFY(panel->isExposed());
}

void TestShell::closeWithoutTrayMinimises()
{
    Shell shell(false);
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    panel->requests()->close();
    QVERIFY(panel->isMinimized());
    QVERIFY(!shell.delegate->mainWindowHiddenByClose());
    QCOMPARE(shell.menuTitle(), QStringLiteral("显示主窗口"));
    // The status menu's entry (or the hot key) shows a minimised panel.
    shell.delegate->toggleMainWindowFromStatusItem();
    QVERIFY(!panel->isMinimized());
    QVERIFY(panel->isVisible());
    QCOMPARE(shell.menuTitle(), QStringLiteral("隐藏主窗口"));
}

void TestShell::hotKeyToggles()
{
    Shell shell;
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    QVERIFY(shell.shortcuts->holdsHotKey());
    QVERIFY(movePointer(5, 5)); // the key goes to the desktop, not to the panel

    QVERIFY(pressKeys(QStringLiteral("alt+z")));
    QTRY_VERIFY(!panel->isVisible());
    QVERIFY(shell.delegate->mainWindowHiddenByClose());
    QCOMPARE(shell.menuTitle(), QStringLiteral("显示主窗口"));

    QVERIFY(pressKeys(QStringLiteral("alt+z")));
    QTRY_VERIFY(panel->isVisible());
    QTRY_COMPARE(shell.menuTitle(), QStringLiteral("隐藏主窗口"));
    QTRY_VERIFY(panel->isExposed());

    // Caps Lock does not get in the way.
    QVERIFY(pressKeys(QStringLiteral("Caps_Lock")));
    QVERIFY(pressKeys(QStringLiteral("alt+z")));
    QTRY_VERIFY(!panel->isVisible());
    QVERIFY(pressKeys(QStringLiteral("Caps_Lock")));

    // While a new combination is being recorded, presses do nothing.
    shell.shortcuts->setRecording(true);
    QVERIFY(pressKeys(QStringLiteral("alt+z")));
    QTest::qWait(300);
    QVERIFY(!panel->isVisible());
}

void TestShell::busyHotKeyIsReported()
{
    // Another program holds Alt+Z.
    xcb_connection_t *other = xcb_connect(nullptr, nullptr);
    QVERIFY(other && !xcb_connection_has_error(other));
    {
        XcbHotKeyBackend otherProgram(other);
        const auto held = otherProgram.registerHotKey(6, 0x800);
        QCOMPARE(held.status, int(HotKeyBackend::ok));

        MemoryStore store;
        WindowShortcutController controller(std::make_unique<XcbHotKeyBackend>(), store);
        controller.start();
        QVERIFY(!controller.holdsHotKey());
        QCOMPARE(controller.errorText(), QStringLiteral("快捷键注册失败（-1），可能已被其他应用占用，请更换组合键。"));
        // Another combination is free.
        QVERIFY(controller.registerShortcut({7, 0x800, QStringLiteral("⌥ X")}, false));
        QVERIFY(!controller.error());
    }
    xcb_disconnect(other);
}

void TestShell::hotKeyIgnoresAutoRepeat()
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    XcbHotKeyBackend backend(x11->connection());
    int presses = 0;
    backend.installHandler([&] { ++presses; });
    QCOMPARE(backend.registerHotKey(6, 0x800).status, int(HotKeyBackend::ok));

    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(x11->connection());
    xcb_keycode_t *codes = xcb_key_symbols_get_keycode(symbols, 'z');
    QVERIFY(codes && codes[0] != XCB_NO_SYMBOL);
    const xcb_keycode_t z = codes[0];
    std::free(codes);
    xcb_key_symbols_free(symbols);

    const auto event = [&](bool press, quint16 state, quint32 time) {
        xcb_key_press_event_t e{};
        e.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
        e.detail = z;
        e.time = time;
        e.state = state;
        return backend.handleEvent(&e);
    };
    const quint16 alt = XCB_MOD_MASK_1;
    QVERIFY(event(true, alt, 100));
    QCOMPARE(presses, 1);
    QVERIFY(event(true, alt, 130)); // held down: repeats without releases
    QVERIFY(event(true, alt, 160));
    QCOMPARE(presses, 1);
    QVERIFY(event(false, alt, 190)); // repeats as release and press at one time
    QVERIFY(event(true, alt, 190));
    QCOMPARE(presses, 1);
    QVERIFY(event(false, alt, 220));
    QVERIFY(event(true, alt | XCB_MOD_MASK_LOCK, 400)); // a new press, Caps Lock on
    QCOMPARE(presses, 2);
    QVERIFY(event(false, alt, 420));
    QVERIFY(!event(true, alt | XCB_MOD_MASK_CONTROL, 500)); // another combination
    QVERIFY(!event(true, 0, 600));
    QCOMPARE(presses, 2);
    backend.removeHandler();
}

void TestShell::autoHideFollowsPointer()
{
    QVERIFY(movePointer(720, 450));
    Shell shell(true, true);
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    HoverVisibilityController *hover = shell.delegate->hoverController();
    QVERIFY(hover->isEnabled());
    QVERIFY(hover->isPolling());
    const QRect frame = panel->geometry();

    QVERIFY(movePointer(frame.right() + 40, frame.center().y()));
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 2000);
    QCOMPARE(hover->state(), HoverWindowState::hidden);
    QVERIFY(!shell.delegate->mainWindowHiddenByClose()); // auto-hide is not a hide to the status item

    QVERIFY(movePointer(frame.center().x(), frame.center().y()));
    QTRY_VERIFY_WITH_TIMEOUT(panel->isVisible(), 2000);
    QCOMPARE(QRectF(panel->geometry()), QRectF(frame));
    QVERIFY(!panel->ignoresMouseEvents());

    // A stored setting turned off brings no second call; turning it off shows.
    auto *model = static_cast<StandInShellModel *>(shell.delegate->appModel());
    QVERIFY(movePointer(frame.right() + 40, frame.center().y()));
    QTRY_VERIFY_WITH_TIMEOUT(!panel->isVisible(), 2000);
    model->setHoverAutoHideEnabled(false);
    QVERIFY(panel->isVisible());
    QVERIFY(!hover->isPolling());
}

void TestShell::zoomKeysChangeAndPersistScale()
{
    QVERIFY(movePointer(720, 450));
    Shell shell;
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    QTRY_VERIFY(panel->isActive());
    const QRect before = panel->geometry();

    QVERIFY(pressKeys(QStringLiteral("ctrl+equal")));
    QTRY_COMPARE(shell.delegate->panelController()->uiScale(), 1.05);
    QCOMPARE(shell.store.values.value(WindowGeometryManager::scaleKey).toDouble(), 1.05);
    QTRY_COMPARE(panel->geometry(), QRect(before.topLeft(), QSize(1113, 777)));

    QVERIFY(pressKeys(QStringLiteral("ctrl+minus ctrl+minus")));
    QTRY_COMPARE(shell.delegate->panelController()->uiScale(), 0.95);
    QCOMPARE(shell.store.values.value(WindowGeometryManager::scaleKey).toDouble(), 0.95);

    QVERIFY(pressKeys(QStringLiteral("ctrl+0")));
    QTRY_COMPARE(shell.delegate->panelController()->uiScale(), 1.0);
    QCOMPARE(shell.store.values.value(WindowGeometryManager::scaleKey).toDouble(), 1.0);
    QTRY_COMPARE(panel->geometry(), before);
}

void TestShell::dragResizesFromEdge()
{
    QVERIFY(movePointer(720, 450));
    Shell shell;
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    const QRect before = panel->geometry();
    // Press 3 px inside the right edge, drag 100 px further right.
    const int x = before.right() - 2;
    const int y = before.center().y();
    QVERIFY(movePointer(x, y));
    QVERIFY(xdotool({QStringLiteral("mousedown"), QStringLiteral("1")}));
    QVERIFY(movePointer(x + 50, y + 20));
    QVERIFY(movePointer(x + 100, y + 40));
    QVERIFY(xdotool({QStringLiteral("mouseup"), QStringLiteral("1")}));
    QTRY_COMPARE(panel->geometry(), QRect(before.topLeft(), QSize(before.width() + 100, before.height())));
    QTRY_COMPARE(WindowGeometryManager::savedBaseSize(shell.store), QSizeF(before.width() + 100, before.height()));
}

void TestShell::rootViewRequestsReachThePanel()
{
    // The real model and root view, on a settings file of the test's own.
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    UserDefaults defaults(folder.filePath(QStringLiteral("user-defaults.json")));
    UserDefaults::setStandard(&defaults);
    {
        MemoryStore store;
        WindowShortcutController shortcuts(std::make_unique<XcbHotKeyBackend>(), store);
        AppDelegate::Dependencies dependencies;
        dependencies.store = &store;
        dependencies.shortcuts = &shortcuts;
        dependencies.isTrayAvailable = [] { return false; };
        AppDelegate delegate(std::move(dependencies));
        delegate.applicationDidFinishLaunching();
        PanelWindow *panel = delegate.panelWindow();
        QQuickItem *root = panel->rootView();
        QVERIFY(root);
        // QML reaches the delegate's model as its singleton.
        QVERIFY(delegate.appModel()->viewModel());
        QCOMPARE(AppModelSingleton::installed(qmlEngine(root)), delegate.appModel()->viewModel());
        QCOMPARE(root->property("viewState").value<RootViewState *>()->model(), delegate.appModel()->viewModel());

        QVERIFY(QMetaObject::invokeMethod(root, "changeScaleRequested", Q_ARG(double, 0.05)));
        QCOMPARE(delegate.panelController()->uiScale(), 1.05);
        QVERIFY(QMetaObject::invokeMethod(root, "resetScaleRequested"));
        QCOMPARE(delegate.panelController()->uiScale(), 1.0);
        QVERIFY(QMetaObject::invokeMethod(root, "toggleMaximizeRequested"));
        QVERIFY(delegate.appModel()->isWindowMaximized());
        QVERIFY(QMetaObject::invokeMethod(root, "toggleMaximizeRequested"));
        QVERIFY(!delegate.appModel()->isWindowMaximized());
        QVERIFY(QMetaObject::invokeMethod(root, "interactionBegan", Q_ARG(int, int(SuspensionReason::textEditing))));
        QVERIFY(delegate.hoverController()->activeSuspensionReasons().contains(SuspensionReason::textEditing));
        QVERIFY(QMetaObject::invokeMethod(root, "interactionEnded", Q_ARG(int, int(SuspensionReason::textEditing))));
        QVERIFY(delegate.hoverController()->activeSuspensionReasons().isEmpty());
        QVERIFY(QMetaObject::invokeMethod(root, "closeRequested"));
        QVERIFY(panel->isMinimized());
    }
    UserDefaults::setStandard(nullptr);
}

void TestShell::programStartsAndStopsOnSignal()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VUZO_PROGRAM), {});
    QVERIFY(program.waitForStarted());

    // The panel shows up as a visible window named after the program.
    bool found = false;
    for (int i = 0; i < 100 && !found; ++i) {
        QProcess search;
        search.start(QStringLiteral("xdotool"),
                     {QStringLiteral("search"), QStringLiteral("--onlyvisible"), QStringLiteral("--name"),
                      QStringLiteral("^vuzo$")});
        search.waitForFinished();
        found = !search.readAllStandardOutput().trimmed().isEmpty();
        if (!found)
            QTest::qWait(100);
    }
    QVERIFY(found);

    program.terminate(); // SIGTERM: the orderly shutdown, then a normal exit
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
