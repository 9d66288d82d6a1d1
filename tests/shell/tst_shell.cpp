// The window shell on a real X server (run under xvfb-run): the program and
// its panel, the hot key, auto-hide and the zoom keys, driven from outside
// with xdotool as a user would.
#include "ShellFakes.h"
#include "shell/AppDelegate.h"
#include "platform/ApplicationIdentity.h"
#include "platform/UserDefaults.h"
#include "windowing/ApplicationIconAssets.h"
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
#include <QSystemTrayIcon>
#include <QDeadlineTimer>
#include <QDirIterator>
#include <QFile>
#include <QHash>
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <QKeyEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QProcess>
#include <QQuickItem>
#include <QScopeGuard>
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

// Key presses and releases a window receives.
struct KeyCounter : QObject
{
    void reset()
    {
        presses = releases = repeats = 0;
        lastWasRepeat = false;
    }
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress || event->type() == QEvent::KeyRelease) {
            const auto *key = static_cast<QKeyEvent *>(event);
            if (key->key() != Qt::Key_Z)
                return false;
            lastWasRepeat = key->isAutoRepeat();
            if (event->type() == QEvent::KeyPress) {
                ++presses;
                repeats += key->isAutoRepeat() ? 1 : 0;
            } else if (!key->isAutoRepeat()) {
                ++releases;
            }
        }
        return false;
    }
    int presses = 0;
    int releases = 0;
    int repeats = 0;
    bool lastWasRepeat = false;
};

QList<xcb_keycode_t> modifierMapping(xcb_connection_t *connection)
{
    QList<xcb_keycode_t> keycodes;
    xcb_get_modifier_mapping_reply_t *reply
        = xcb_get_modifier_mapping_reply(connection, xcb_get_modifier_mapping(connection), nullptr);
    if (!reply)
        return keycodes;
    const xcb_keycode_t *codes = xcb_get_modifier_mapping_keycodes(reply);
    for (int i = 0; i < reply->keycodes_per_modifier * 8; ++i)
        keycodes.append(codes[i]);
    std::free(reply);
    return keycodes;
}

bool setModifierMapping(xcb_connection_t *connection, const QList<xcb_keycode_t> &keycodes, int perModifier)
{
    xcb_set_modifier_mapping_reply_t *reply = xcb_set_modifier_mapping_reply(
        connection, xcb_set_modifier_mapping(connection, quint8(perModifier), keycodes.constData()), nullptr);
    const bool done = reply && reply->status == XCB_MAPPING_STATUS_SUCCESS;
    std::free(reply);
    return done;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// A 32-bit property of a window, as a list of values (the first maxValues).
QList<quint32> windowProperty(QWindow *window, const char *name, quint32 maxValues = 64)
{
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11->connection();
    QList<quint32> values;
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection,
        xcb_get_property(connection, 0, xcb_window_t(window->winId()), internAtom(connection, name), XCB_ATOM_ANY, 0,
                         maxValues),
        nullptr);
    if (reply && reply->format == 32) {
        const auto *data = static_cast<const quint32 *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            values.append(data[i]);
    }
    std::free(reply);
    return values;
}

// The sides of the images in a window's icon property (width, height, then
// the pixels, for each image); empty when it is missing or malformed.
QList<int> iconSides(QWindow *window)
{
    const QList<quint32> values = windowProperty(window, "_NET_WM_ICON", 8u << 20);
    QList<int> sides;
    for (qsizetype at = 0; at + 2 <= values.size();) {
        const quint64 pixels = quint64(values.at(at)) * values.at(at + 1);
        if (values.at(at) != values.at(at + 1) || at + 2 + qsizetype(pixels) > values.size())
            return {};
        sides.append(int(values.at(at)));
        at += 2 + qsizetype(pixels);
    }
    return sides;
}

// What a window manager does to the panel, from a connection of its own.
struct OtherClient
{
    OtherClient()
        : connection(xcb_connect(nullptr, nullptr))
    {
    }
    ~OtherClient() { xcb_disconnect(connection); }
    OtherClient(const OtherClient &) = delete;
    OtherClient &operator=(const OtherClient &) = delete;

    void resize(QWindow *window, int width, int height)
    {
        const quint32 values[] = {quint32(width), quint32(height)};
        xcb_configure_window(connection, xcb_window_t(window->winId()),
                             XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, values);
        xcb_flush(connection);
    }
    void move(QWindow *window, const QPoint &position)
    {
        const quint32 values[] = {quint32(qint32(position.x())), quint32(qint32(position.y()))};
        xcb_configure_window(connection, xcb_window_t(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y,
                             values);
        xcb_flush(connection);
    }
    // The window's place and size as the server has them.
    QRect geometry(QWindow *window)
    {
        const auto id = xcb_window_t(window->winId());
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
        xcb_get_geometry_reply_t *size = xcb_get_geometry_reply(connection, xcb_get_geometry(connection, id), nullptr);
        xcb_translate_coordinates_reply_t *place = xcb_translate_coordinates_reply(
            connection, xcb_translate_coordinates(connection, id, root, 0, 0), nullptr);
        const QRect result = size && place ? QRect(place->dst_x, place->dst_y, size->width, size->height) : QRect();
        std::free(size);
        std::free(place);
        return result;
    }
    // Alt+F4 or _NET_CLOSE_WINDOW end in this message to the client.
    void askToClose(QWindow *window)
    {
        xcb_client_message_event_t message {};
        message.response_type = XCB_CLIENT_MESSAGE;
        message.format = 32;
        message.window = xcb_window_t(window->winId());
        message.type = internAtom(connection, "WM_PROTOCOLS");
        message.data.data32[0] = internAtom(connection, "WM_DELETE_WINDOW");
        message.data.data32[1] = XCB_CURRENT_TIME;
        xcb_send_event(connection, 0, message.window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&message));
        xcb_flush(connection);
    }

    xcb_connection_t *connection;
};

// One launched shell with its own store, hot key and model.
struct Shell
{
    explicit Shell(bool trayAvailable = true, bool autoHide = false,
                   std::function<std::unique_ptr<ShellModel>(SettingsStore &)> makeModel = {})
    {
        if (autoHide)
            store.values.insert(StandInShellModel::hoverAutoHideKey, true);
        shortcuts = std::make_unique<WindowShortcutController>(std::make_unique<XcbHotKeyBackend>(), store);
        AppDelegate::Dependencies dependencies;
        dependencies.store = &store;
        dependencies.shortcuts = shortcuts.get();
        dependencies.isTrayAvailable = [trayAvailable] { return trayAvailable; };
        // The stand-in model keeps the test away from the user's own settings.
        dependencies.makeModel = makeModel ? std::move(makeModel) : [](SettingsStore &settings) -> std::unique_ptr<ShellModel> {
            return std::make_unique<StandInShellModel>(settings);
        };
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
    void panelComesBackWhereItWas();
    void hotKeyToggles();
    void busyHotKeyIsReported();
    void hotKeyIgnoresAutoRepeat();
    void typedHotKeyLetterReachesThePanel();
    void hotKeyNeedsItsModifier();
    void autoHideFollowsPointer();
    void windowManagerCloseHidesToStatusItem();
    void windowManagerResizeFollowsLiveResizeRules();
    void panelIsOnEveryWorkspace();
    void zoomKeysChangeAndPersistScale();
    void dragResizesFromEdge();
    void rootViewRequestsReachThePanel();
    void programStartsAndStopsOnSignal();
    void secondLaunchHandsOverToTheFirst();
    void launchMapsThePanelOnce();
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
    // The icons follow the first frame.
    QTRY_VERIFY(shell.delegate->statusItem()->isVisible());
    QVERIFY(!shell.delegate->statusItem()->icon().isNull());
    QVERIFY(!QGuiApplication::windowIcon().isNull());
    // The desktop gets the icon at the sides it draws, not the 1024-pixel
    // artwork (4 MB held, and sent again with every window the panel maps).
    QTRY_VERIFY(!iconSides(panel).isEmpty());
    QList<int> sides = iconSides(panel);
    std::sort(sides.begin(), sides.end());
    QCOMPARE(sides, ApplicationIconAssets::windowIconSides);
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

void TestShell::panelComesBackWhereItWas()
{
    Shell shell;
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    OtherClient windowManager;
    const QRect frame = panel->geometry();
    QCOMPARE(windowManager.geometry(panel), frame);
    for (int cycle = 1; cycle <= 3; ++cycle) {
        shell.delegate->toggleMainWindowFromStatusItem();
        QTRY_VERIFY(!panel->isVisible());
        shell.delegate->toggleMainWindowFromStatusItem();
        QTRY_VERIFY(panel->isExposed());
        // A window manager that places a window mapped again by a place of
        // its own: the panel goes back to where it was, and stays there.
        windowManager.move(panel, frame.topLeft() - QPoint(32, 32));
        QTRY_COMPARE(windowManager.geometry(panel), frame);
        QTest::qWait(300);
        QCOMPARE(windowManager.geometry(panel), frame);
        QCOMPARE(panel->geometry(), frame);
    }
    // Once it is back, a move is the panel's own again.
    QTest::qWait(1000);
    windowManager.move(panel, frame.topLeft() + QPoint(20, 10));
    QTRY_COMPARE(panel->geometry(), frame.translated(20, 10));
    QTest::qWait(300);
    QCOMPARE(windowManager.geometry(panel), frame.translated(20, 10));
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
    // Real key events left over from the tests before go by first: only the
    // events made up below may reach this backend's handler.
    QTest::qWait(300);
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
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(x11->connection())).data->root;
    const xcb_window_t appWindow = root + 1; // any window that is not a root

    const auto event = [&](bool press, quint16 state, quint32 time, xcb_window_t window) {
        xcb_key_press_event_t e{};
        e.response_type = press ? XCB_KEY_PRESS : XCB_KEY_RELEASE;
        e.detail = z;
        e.time = time;
        e.state = state;
        e.event = window;
        return backend.handleEvent(&e);
    };
    const quint16 alt = XCB_MOD_MASK_1;
    QVERIFY(event(true, alt, 100, root));
    QCOMPARE(presses, 1);
    QVERIFY(event(true, alt, 130, root)); // held down: repeats without releases
    QVERIFY(event(true, alt, 160, root));
    QCOMPARE(presses, 1);
    QVERIFY(event(false, alt, 190, root)); // repeats as release and press at one time
    QVERIFY(event(true, alt, 190, root));
    QCOMPARE(presses, 1);
    QVERIFY(event(false, 0, 220, root)); // Alt let go first: still the grab's release
    QVERIFY(event(true, alt | XCB_MOD_MASK_LOCK, 400, root)); // a new press, Caps Lock on
    QCOMPARE(presses, 2);
    QVERIFY(event(false, alt, 420, root));
    QVERIFY(!event(true, alt | XCB_MOD_MASK_CONTROL, 500, root)); // another combination
    QCOMPARE(presses, 2);

    // Z typed into a window of the program: neither its press nor its
    // release (nor a stray release) belongs to the grab.
    QVERIFY(!event(true, 0, 600, appWindow));
    QVERIFY(!event(false, 0, 650, appWindow));
    QVERIFY(!event(false, 0, 700, root));
    QVERIFY(!event(true, alt, 800, appWindow));
    QVERIFY(!event(false, alt, 850, appWindow));
    QCOMPARE(presses, 2);
    backend.removeHandler();
}

void TestShell::typedHotKeyLetterReachesThePanel()
{
    // With Alt+Z grabbed, a plain Z typed into the focused panel arrives as a
    // press and a release, and holding it answers once.
    auto makeModel = [](SettingsStore &) { return std::make_unique<FakeShellModel>(); };
    Shell shell(true, false, makeModel);
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    QVERIFY(shell.shortcuts->holdsHotKey());
    panel->requestActivate();
    QTRY_VERIFY(panel->isActive());
    auto *model = static_cast<FakeShellModel *>(shell.delegate->appModel());
    model->navigationConsumes = false; // Z is an answer key here

    KeyCounter keys;
    panel->installEventFilter(&keys);
    QVERIFY(pressKeys(QStringLiteral("z")));
    QTRY_COMPARE(keys.releases, 1);
    QCOMPARE(keys.presses, 1);
    QTRY_COMPARE(model->shortcutKeys, QStringList{QStringLiteral("z")});

    model->shortcutKeys.clear();
    keys.reset();
    QVERIFY(xdotool({QStringLiteral("keydown"), QStringLiteral("z")}));
    QTest::qWait(1500); // past the keyboard's repeat delay
    QVERIFY(xdotool({QStringLiteral("keyup"), QStringLiteral("z")}));
    QTRY_VERIFY(keys.releases >= 1 && !keys.lastWasRepeat);
    if (keys.presses < 2)
        QSKIP("this X server does not repeat held keys");
    // However the repeats arrived (Qt sees some as release and press), the
    // answer key acted once.
    QCOMPARE(model->shortcutKeys, QStringList{QStringLiteral("z")});

    // The hot key itself still toggles.
    QVERIFY(pressKeys(QStringLiteral("alt+z")));
    QTRY_VERIFY(!panel->isVisible());
}

void TestShell::hotKeyNeedsItsModifier()
{
    // A server on which no key gives Super: Super+Z must not become a grab
    // of the bare Z for the whole desktop.
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    xcb_connection_t *connection = x11->connection();
    const auto original = modifierMapping(connection);
    QVERIFY(!original.isEmpty());
    const int perModifier = original.size() / 8;
    QList<xcb_keycode_t> withoutSuper = original;
    xcb_key_symbols_t *symbols = xcb_key_symbols_alloc(connection);
    for (xcb_keycode_t &keycode : withoutSuper) {
        const xcb_keysym_t keysym = keycode ? xcb_key_symbols_get_keysym(symbols, keycode, 0) : 0;
        if (keysym == 0xffeb || keysym == 0xffec) // Super_L, Super_R
            keycode = 0;
    }
    xcb_key_symbols_free(symbols);
    QVERIFY(setModifierMapping(connection, withoutSuper, perModifier));
    {
        XcbHotKeyBackend backend(connection);
        const auto registration = backend.registerHotKey(6, 0x1000); // Super+Z
        QCOMPARE(registration.status, int(HotKeyBackend::noModifier));
        QCOMPARE(backend.registerHotKey(6, 0x800).status, int(HotKeyBackend::ok)); // Alt is there

        MemoryStore store;
        WindowShortcutController controller(std::make_unique<XcbHotKeyBackend>(connection), store);
        QVERIFY(!controller.registerShortcut({6, 0x1000, QStringLiteral("Super Z")}, true));
        QCOMPARE(controller.errorText(), QStringLiteral("快捷键注册失败（-4），可能已被其他应用占用，请更换组合键。"));
    }
    QVERIFY(setModifierMapping(connection, original, perModifier));

    // The bare Z was never grabbed: another client can still grab it.
    xcb_connection_t *other = xcb_connect(nullptr, nullptr);
    QVERIFY(other && !xcb_connection_has_error(other));
    {
        XcbHotKeyBackend otherProgram(other);
        QCOMPARE(otherProgram.registerHotKey(6, 0).status, int(HotKeyBackend::ok));
    }
    xcb_disconnect(other);
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

void TestShell::windowManagerCloseHidesToStatusItem()
{
    QVERIFY(movePointer(720, 450));
    Shell shell(true, true);
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    const QRect frame = panel->geometry();

    OtherClient windowManager;
    windowManager.askToClose(panel);
    QTRY_VERIFY(!panel->isVisible());
    QVERIFY(shell.delegate->mainWindowHiddenByClose());
    QVERIFY(shell.delegate->hoverController()->isManuallyHidden());
    QCOMPARE(shell.menuTitle(), QStringLiteral("显示主窗口"));

    // Auto-hide does not bring it back when the pointer passes by.
    QVERIFY(movePointer(frame.center().x(), frame.center().y()));
    QTest::qWait(400);
    QVERIFY(!panel->isVisible());

    // The status menu does, and the panel still works.
    shell.delegate->toggleMainWindowFromStatusItem();
    QTRY_VERIFY(panel->isVisible());
    QTRY_VERIFY(panel->isExposed());
    QVERIFY(!shell.delegate->mainWindowHiddenByClose());
}

void TestShell::windowManagerResizeFollowsLiveResizeRules()
{
    QVERIFY(movePointer(720, 450));
    Shell shell(true, false, [](SettingsStore &) { return std::make_unique<FakeShellModel>(); });
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    auto *model = static_cast<FakeShellModel *>(shell.delegate->appModel());
    HoverVisibilityController *hover = shell.delegate->hoverController();
    const QRect before = panel->geometry();
    const QSizeF savedBefore = WindowGeometryManager::savedBaseSize(shell.store);
    OtherClient windowManager;

    // A free resize: an interaction while it runs, the size saved at its end.
    const QSize larger(before.width() + 80, before.height() + 40);
    windowManager.resize(panel, larger.width(), larger.height());
    QTRY_COMPARE(panel->geometry().size(), larger);
    QVERIFY(hover->activeSuspensionReasons().contains(SuspensionReason::windowResizing));
    QTRY_VERIFY(hover->activeSuspensionReasons().isEmpty());
    QCOMPARE(WindowGeometryManager::savedBaseSize(shell.store), QSizeF(larger));
    QVERIFY(QSizeF(larger) != savedBefore);

    // Maximized: the frame stays the work area and nothing is saved.
    shell.delegate->panelController()->toggleMaximize();
    const QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    QTRY_COMPARE(panel->geometry(), area);
    QTest::qWait(300); // our own frame reaches the server first
    windowManager.resize(panel, 700, 650);
    QTest::qWait(2 * PanelWindow::windowManagerResizeSettleMs);
    QTRY_COMPARE(panel->geometry(), area);
    QTRY_VERIFY(!panel->isInWindowManagerResize());
    QCOMPARE(WindowGeometryManager::savedBaseSize(shell.store), QSizeF(larger));
    shell.delegate->panelController()->toggleMaximize();
    QTRY_COMPARE(panel->geometry().size(), larger);
    QTest::qWait(300);

    // While a PDF export runs the size does not change either.
    model->setExporting(true);
    windowManager.resize(panel, 700, 650);
    QTest::qWait(2 * PanelWindow::windowManagerResizeSettleMs);
    QTRY_COMPARE(panel->geometry().size(), larger);
    QTRY_VERIFY(!panel->isInWindowManagerResize());
    model->setExporting(false);
    QCOMPARE(WindowGeometryManager::savedBaseSize(shell.store), QSizeF(larger));
}

void TestShell::panelIsOnEveryWorkspace()
{
    Shell shell(true, false, [](SettingsStore &) { return std::make_unique<FakeShellModel>(); });
    PanelWindow *panel = shell.panel();
    QTRY_VERIFY(panel->isExposed());
    auto *x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    const quint32 sticky = internAtom(x11->connection(), "_NET_WM_STATE_STICKY");
    QCOMPARE(windowProperty(panel, "_NET_WM_DESKTOP"), QList<quint32>{0xFFFFFFFFu});
    QVERIFY(windowProperty(panel, "_NET_WM_STATE").contains(sticky));

    // A window manager drops the state of a withdrawn window; a show asks again.
    const quint32 none = 0;
    xcb_change_property(x11->connection(), XCB_PROP_MODE_REPLACE, xcb_window_t(panel->winId()),
                        internAtom(x11->connection(), "_NET_WM_DESKTOP"), XCB_ATOM_CARDINAL, 32, 1, &none);
    xcb_delete_property(x11->connection(), xcb_window_t(panel->winId()), internAtom(x11->connection(), "_NET_WM_STATE"));
    shell.delegate->toggleMainWindowFromStatusItem();
    QTRY_VERIFY(!panel->isVisible());
    shell.delegate->toggleMainWindowFromStatusItem();
    QTRY_VERIFY(panel->isVisible());
    QTRY_VERIFY(panel->isExposed());
    QTRY_COMPARE(windowProperty(panel, "_NET_WM_DESKTOP"), QList<quint32>{0xFFFFFFFFu});
    QVERIFY(windowProperty(panel, "_NET_WM_STATE").contains(sticky));

    // The shadow rule reaches the compositor: none in the transparent look.
    auto *model = static_cast<FakeShellModel *>(shell.delegate->appModel());
    QCOMPARE(windowProperty(panel, "_COMPTON_SHADOW"), QList<quint32>{1u});
    model->setTransparency(true);
    QCOMPARE(windowProperty(panel, "_COMPTON_SHADOW"), QList<quint32>{0u});
    model->setScreen(AppScreen::login);
    QCOMPARE(windowProperty(panel, "_COMPTON_SHADOW"), QList<quint32>{1u});
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
        // The program's panel, unlike a view on its own, starts the content
        // engine early: once its first frame is out.
        QTRY_VERIFY(root->property("warmsContent").toBool());

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

namespace {

// The visible windows named after the program that belong to one running
// copy. By the copy's process id, not by name alone: the X server drops the
// windows of a copy that has just ended only a moment after its process is
// gone, and gives the next copy the same window ids, so a search by name can
// still see the ended copy's panel; it also sees any panel of this test
// process that the server has not yet been told to destroy.
// Asked of the server directly, not through xdotool: its search ends with an
// X error, and finds nothing, when any window on the screen is destroyed while
// it looks (the GL probes of a starting program are), so a panel that is
// there all along seemed gone for a moment. A window that is gone before its
// answers come is simply not a match. There is no window manager here, so the
// panels are the root window's own children.
QStringList visibleWindowsOf(const QProcess &program)
{
    if (program.state() != QProcess::Running)
        return {};
    static xcb_connection_t *const connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection))
        return {};
    const auto atom = [](const char *name) {
        xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
            connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
        const xcb_atom_t result = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
        std::free(reply);
        return result;
    };
    static const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    static const xcb_atom_t nameAtom = atom("_NET_WM_NAME");
    static const xcb_atom_t utf8Atom = atom("UTF8_STRING");

    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_query_tree_reply_t *tree = xcb_query_tree_reply(connection, xcb_query_tree(connection, root), nullptr);
    if (!tree)
        return {};
    const xcb_window_t *children = xcb_query_tree_children(tree);
    const int count = xcb_query_tree_children_length(tree);
    struct Questions
    {
        xcb_window_t window;
        xcb_get_window_attributes_cookie_t attributes;
        xcb_get_property_cookie_t pid;
        xcb_get_property_cookie_t name;
    };
    QList<Questions> questions;
    for (int i = 0; i < count; ++i)
        questions.append({children[i], xcb_get_window_attributes(connection, children[i]),
                          xcb_get_property(connection, 0, children[i], pidAtom, XCB_ATOM_CARDINAL, 0, 1),
                          xcb_get_property(connection, 0, children[i], nameAtom, utf8Atom, 0, 64)});
    std::free(tree);

    QStringList windows;
    for (const Questions &question : questions) {
        // Each answer is taken, and each error freed, whatever the others say.
        xcb_generic_error_t *errors[3] = {};
        xcb_get_window_attributes_reply_t *attributes
            = xcb_get_window_attributes_reply(connection, question.attributes, &errors[0]);
        xcb_get_property_reply_t *pid = xcb_get_property_reply(connection, question.pid, &errors[1]);
        xcb_get_property_reply_t *name = xcb_get_property_reply(connection, question.name, &errors[2]);
        const bool viewable = attributes && attributes->map_state == XCB_MAP_STATE_VIEWABLE;
        const bool ours = pid && pid->format == 32 && xcb_get_property_value_length(pid) == 4
            && *static_cast<const quint32 *>(xcb_get_property_value(pid)) == quint32(program.processId());
        const bool named = name && name->format == 8
            && QByteArray(static_cast<const char *>(xcb_get_property_value(name)), xcb_get_property_value_length(name))
                == "vuzo";
        if (viewable && ours && named)
            windows.append(QString::number(question.window));
        for (xcb_generic_error_t *error : errors)
            std::free(error);
        std::free(attributes);
        std::free(pid);
        std::free(name);
    }
    return windows;
}

// The window that has the keyboard focus, as xdotool reports it.
QString focusedWindow()
{
    QProcess query;
    query.start(QStringLiteral("xdotool"), {QStringLiteral("getwindowfocus")});
    query.waitForFinished();
    return QString::fromLatin1(query.readAllStandardOutput()).trimmed();
}

} // namespace

void TestShell::programStartsAndStopsOnSignal()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("XDG_DATA_HOME"), home.filePath(QStringLiteral("data")));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    program.setProcessEnvironment(environment);
    program.start(QStringLiteral(VUZO_PROGRAM), {});
    QVERIFY(program.waitForStarted());

    // The panel shows up as a visible window named after the program.
    QTRY_VERIFY_WITH_TIMEOUT(!visibleWindowsOf(program).isEmpty(), 10'000);
    // Desktops put it under the program's desktop entry: its class and entry
    // properties are the application id.
    QProcess xprop;
    xprop.start(QStringLiteral("xprop"), {QStringLiteral("-id"), visibleWindowsOf(program).constFirst(),
                                          QStringLiteral("WM_CLASS"), QStringLiteral("_KDE_NET_WM_DESKTOP_FILE")});
    QVERIFY2(xprop.waitForFinished(), "xprop is missing");
    QCOMPARE(QString::fromUtf8(xprop.readAllStandardOutput()).trimmed(),
             QStringLiteral("WM_CLASS(STRING) = \"vuzo\", \"%1\"\n_KDE_NET_WM_DESKTOP_FILE(UTF8_STRING) = \"%1\"")
                 .arg(ApplicationIdentity::id));

    program.terminate(); // SIGTERM: the orderly shutdown, then a normal exit
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitStatus(), QProcess::NormalExit);
    QCOMPARE(program.exitCode(), 0);

    // The settings stay where earlier versions kept them; nothing is filed
    // under the application id.
    QVERIFY(QFile::exists(home.filePath(QStringLiteral("config/vuzo/user-defaults.json"))));
    QDirIterator files(home.path(), QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (files.hasNext())
        QVERIFY2(!files.next().contains(ApplicationIdentity::id), qPrintable(files.filePath()));
}

namespace {

QProcessEnvironment programEnvironment(const QTemporaryDir &home)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_CONFIG_HOME"), home.filePath(QStringLiteral("config")));
    environment.insert(QStringLiteral("HOME"), home.path());
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    return environment;
}

// Waits until the copy shows `count` panels. The look that finds them is the
// one that decides: a second look at the end could meet a panel that is
// already gone again, or not yet there.
bool waitForPanels(const QProcess &program, int count, int timeoutMs, QStringList *found = nullptr)
{
    QDeadlineTimer deadline(timeoutMs);
    for (;;) {
        const QStringList windows = visibleWindowsOf(program);
        if (windows.size() == count) {
            if (found)
                *found = windows;
            return true;
        }
        if (deadline.hasExpired())
            return false;
        QTest::qWait(50);
    }
}

// Whether the copy goes on showing just these panels, looked at again and
// again for a while.
bool keepsShowing(const QProcess &program, const QStringList &panels, int forMs)
{
    QDeadlineTimer deadline(forMs);
    while (!deadline.hasExpired()) {
        const QStringList windows = visibleWindowsOf(program);
        if (windows != panels) {
            qWarning() << "showing" << windows << "instead of" << panels;
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

} // namespace

void TestShell::secondLaunchHandsOverToTheFirst()
{
    QTemporaryDir home;
    QVERIFY(home.isValid());
    const QString settingsPath = home.filePath(QStringLiteral("config/vuzo/user-defaults.json"));
    const auto settingsText = [&] {
        QFile file(settingsPath);
        return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
    };

    QProcess first;
    QProcess second;
    QProcess third;
    // Whatever fails, no copy of the program outlives the test.
    const auto stopAll = qScopeGuard([&] {
        for (QProcess *process : {&first, &second, &third}) {
            if (process->state() != QProcess::NotRunning) {
                process->kill();
                process->waitForFinished(5000);
            }
        }
    });
    first.setProcessEnvironment(programEnvironment(home));
    first.start(QStringLiteral(VUZO_PROGRAM), {});
    QVERIFY(first.waitForStarted());
    QVERIFY(waitForPanels(first, 1, 60'000));

    // The first copy writes a setting of its own (a zoom key on its panel,
    // once the panel has the keyboard), then hides its panel with the hot key.
    QTRY_COMPARE_WITH_TIMEOUT(focusedWindow(), visibleWindowsOf(first).value(0), 10'000);
    QVERIFY(pressKeys(QStringLiteral("ctrl+equal")));
    QTRY_VERIFY_WITH_TIMEOUT(settingsText().contains(QStringLiteral("main_ui_scale")), 10'000);
    QVERIFY(pressKeys(QStringLiteral("alt+z")));
    QVERIFY(waitForPanels(first, 0, 20'000));

    // The second launch hands over and ends; the first shows its panel.
    second.setProcessEnvironment(programEnvironment(home));
    second.start(QStringLiteral(VUZO_PROGRAM), {});
    QVERIFY(second.waitForStarted());
    const bool ended = second.waitForFinished(60'000);
    if (!ended)
        second.kill();
    QVERIFY2(ended, "the second copy kept running");
    QCOMPARE(second.exitStatus(), QProcess::NormalExit);
    QCOMPARE(second.exitCode(), 0);
    QVERIFY(waitForPanels(first, 1, 20'000));
    QCOMPARE(first.state(), QProcess::Running);

    first.terminate();
    QVERIFY(first.waitForFinished(10'000));
    QCOMPARE(first.exitCode(), 0);
    // What the first copy wrote is still there.
    const QString kept = settingsText();
    QVERIFY2(kept.contains(QStringLiteral("main_ui_scale")) && kept.contains(QStringLiteral("1.05")), qPrintable(kept));

    // With the first copy gone, a launch starts normally again.
    third.setProcessEnvironment(programEnvironment(home));
    third.start(QStringLiteral(VUZO_PROGRAM), {});
    QVERIFY(third.waitForStarted());
    QStringList panels;
    QVERIFY(waitForPanels(third, 1, 60'000, &panels));
    QVERIFY(keepsShowing(third, panels, 1000));
    third.terminate();
    QVERIFY(third.waitForFinished(10'000));
}

namespace {

// The maps and unmaps of the screen's top-level windows, as the X server
// reports them, on a connection of its own so that Qt sees none of them.
class MapWatch
{
public:
    MapWatch()
        : m_connection(xcb_connect(nullptr, nullptr))
    {
        if (xcb_connection_has_error(m_connection))
            return;
        const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data->root;
        const quint32 mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
        xcb_generic_error_t *error
            = xcb_request_check(m_connection, xcb_change_window_attributes_checked(m_connection, root,
                                                                                   XCB_CW_EVENT_MASK, &mask));
        m_watching = !error;
        std::free(error);
    }
    ~MapWatch() { xcb_disconnect(m_connection); }

    bool isWatching() const { return m_watching; }

    // Takes in what the server has sent so far.
    void collect()
    {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            // Sent by a client (the withdraw request of a hide), not a change
            // of the window's state.
            const bool synthetic = event->response_type & 0x80;
            switch (event->response_type & ~0x80) {
            case XCB_MAP_NOTIFY:
                if (!synthetic)
                    ++m_maps[reinterpret_cast<xcb_map_notify_event_t *>(event)->window];
                break;
            case XCB_UNMAP_NOTIFY:
                if (!synthetic)
                    ++m_unmaps[reinterpret_cast<xcb_unmap_notify_event_t *>(event)->window];
                break;
            default:
                break;
            }
            std::free(event);
        }
    }
    int maps(xcb_window_t window) const { return m_maps.value(window); }
    int unmaps(xcb_window_t window) const { return m_unmaps.value(window); }

private:
    xcb_connection_t *m_connection;
    bool m_watching = false;
    QHash<xcb_window_t, int> m_maps;
    QHash<xcb_window_t, int> m_unmaps;
};

} // namespace

void TestShell::launchMapsThePanelOnce()
{
    // Once shown, the panel stays: no withdraw and map again while the program
    // finishes starting (the first frame, the icons, the web engine's GL).
    QTemporaryDir home;
    QVERIFY(home.isValid());
    MapWatch watch;
    QVERIFY(watch.isWatching());
    QProcess program;
    const auto stop = qScopeGuard([&] {
        if (program.state() != QProcess::NotRunning) {
            program.kill();
            program.waitForFinished(5000);
        }
    });
    program.setProcessEnvironment(programEnvironment(home));
    program.start(QStringLiteral(VUZO_PROGRAM), {});
    QVERIFY(program.waitForStarted());
    QStringList panels;
    QVERIFY(waitForPanels(program, 1, 60'000, &panels));

    QVERIFY(keepsShowing(program, panels, 2000));
    watch.collect();
    const auto panel = xcb_window_t(panels.first().toUInt());
    QCOMPARE(watch.maps(panel), 1);
    QCOMPARE(watch.unmaps(panel), 0);

    program.terminate();
    QVERIFY(program.waitForFinished(10'000));
}

QTEST_MAIN(TestShell)
#include "tst_shell.moc"
