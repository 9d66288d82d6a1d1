// The hot key through the desktop portal's global shortcuts, against the
// project's stand-in portal on a private session bus (CTest runs this under
// dbus-run-session with a bus that starts nothing by itself): binding at start
// and again after a relaunch, presses, the desktop's dialog turned down,
// refusals, the desktop's own changes, the end of the session, and portals
// that cannot serve the program, as the settings row shows them.
#include "ShellFakes.h"
#include "WindowShortcutRecorder.h"
#include "KeyCaptureRules.h"
#include "platform/ApplicationIdentity.h"
#include "windowing/HotKeyBackendChoice.h"
#include "windowing/HotKeyCodec.h"
#include "windowing/PortalHotKeyBackend.h"
#include "windowing/WindowShortcutController.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <memory>

namespace {

// The hot-key row's texts as the user reads them, with this desktop's key names.
const QString noPortalMessage = QStringLiteral("此 Wayland 会话的桌面不提供全局快捷键接口，快捷键无法使用；请改用 X11 会话，或 GNOME 48、KDE Plasma 5.27 及以上版本。");
const QString notInstalledMessage = QStringLiteral("桌面只为已安装的程序提供全局快捷键：请先安装 vuzo（含桌面文件 org.vuzo.Vuzo.desktop，见 README），再重新启动。");
const QString pendingMessage = QStringLiteral("已请桌面绑定快捷键，请在桌面弹出的窗口中确认。");
const QString unavailableTitle = QStringLiteral("不可用");
const QString unassignedTitle = QStringLiteral("未分配按键");

// The desktop keeps the key: a refusal asks for no other combination.
QString failure(int status)
{
    return QStringLiteral("快捷键未绑定（%1）：桌面没有确认绑定。点“恢复默认”可再次请求。").arg(status);
}

QString desktopSettings()
{
    return HotKeyRecording::desktopSettingsMessage(qEnvironmentVariable("XDG_CURRENT_DESKTOP"));
}

bool portalRunning()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(PortalHotKeyBackend::service);
}

// One run of the program: the controller on a portal connection of its own
// (as the program makes it), with the row's recorder.
struct PortalFixture
{
    explicit PortalFixture(const QByteArray &stored = {})
        : connectionName(QStringLiteral("portal-run-%1").arg(++runs))
    {
        if (!stored.isEmpty())
            store.values.insert(WindowShortcutController::storageKey, stored);
        auto owned = std::make_unique<PortalHotKeyBackend>(
            QDBusConnection::connectToBus(QDBusConnection::SessionBus, connectionName), ApplicationIdentity::id);
        backend = owned.get();
        controller = std::make_unique<WindowShortcutController>(std::move(owned), store);
        controller->onToggle = [this] { ++toggles; };
        recorder.setController(controller.get());
    }
    ~PortalFixture()
    {
        recorder.setController(nullptr);
        controller.reset();
        QDBusConnection::disconnectFromBus(connectionName);
    }
    static inline int runs = 0;
    QString connectionName;
    MemoryStore store;
    PortalHotKeyBackend *backend = nullptr;
    std::unique_ptr<WindowShortcutController> controller;
    WindowShortcutRecorder recorder;
    int toggles = 0;
};

} // namespace

class TestPortalHotKey : public QObject
{
    Q_OBJECT

private:
    QProcess m_portal;

    QDBusInterface control()
    {
        return QDBusInterface(PortalHotKeyBackend::service, QStringLiteral("/control"),
                              QStringLiteral("org.vuzo.FakePortal"));
    }
    QStringList calls()
    {
        QDBusReply<QStringList> reply = control().call(QStringLiteral("Calls"));
        return reply.value();
    }
    void tell(const QString &method, const QVariantList &arguments = {})
    {
        QDBusMessage reply = control().callWithArgumentList(QDBus::Block, method, arguments);
        QVERIFY2(reply.type() == QDBusMessage::ReplyMessage, qPrintable(reply.errorMessage()));
    }
    // Started and bound with the stored combination.
    void startBound(PortalFixture &fixture)
    {
        fixture.controller->start();
        QTRY_VERIFY(fixture.controller->holdsHotKey());
        QVERIFY(!fixture.controller->isPending());
    }
    // The desktop's signals are in: a round trip to the portal after them.
    void settle()
    {
        calls();
        QCoreApplication::processEvents();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run under dbus-run-session");
        QVERIFY2(!portalRunning(), "a portal already runs on this bus: run under a private dbus-run-session");
    }

    void init()
    {
        m_portal.setProgram(QStringLiteral(VUZO_FAKE_PORTAL));
        m_portal.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_portal.start();
        QVERIFY(m_portal.waitForStarted());
        QTRY_VERIFY(m_portal.canReadLine() || m_portal.state() != QProcess::Running);
        QCOMPARE(m_portal.readLine().trimmed(), QByteArray("ready"));
    }

    void cleanup()
    {
        m_portal.kill();
        m_portal.waitForFinished();
        QTRY_VERIFY(!portalRunning());
    }

    void triggers_data()
    {
        QTest::addColumn<quint32>("keyCode");
        QTest::addColumn<quint32>("modifiers");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("Alt+Z") << 6u << 0x800u << QStringLiteral("ALT+z");
        QTest::newRow("all four") << 40u << 0x1B00u << QStringLiteral("CTRL+ALT+SHIFT+LOGO+k");
        QTest::newRow("Super+Return") << 36u << 0x1000u << QStringLiteral("LOGO+Return");
        QTest::newRow("Ctrl+Space") << 49u << 0x100u << QStringLiteral("CTRL+space");
        QTest::newRow("Alt+F5") << 96u << 0x800u << QStringLiteral("ALT+F5");
        QTest::newRow("Ctrl+=") << 24u << 0x100u << QStringLiteral("CTRL+equal");
        QTest::newRow("Alt+left") << 123u << 0x800u << QStringLiteral("ALT+Left");
    }
    void triggers()
    {
        QFETCH(quint32, keyCode);
        QFETCH(quint32, modifiers);
        QFETCH(QString, trigger);
        QCOMPARE(HotKeyCodec::portalTrigger(keyCode, modifiers), std::optional<QString>(trigger));
    }

    void bindsStoredCombinationAtStart_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QString>("trigger");
        QTest::newRow("nothing stored") << QByteArray() << QStringLiteral("ALT+z");
        QTest::newRow("Ctrl+Shift+K") << WindowShortcut{40, 0x300, QStringLiteral("⌘⇧ K")}.toJson()
                                      << QStringLiteral("CTRL+SHIFT+k");
        QTest::newRow("unusable stored value") << QByteArray(R"({"keyCode":-1})") << QStringLiteral("ALT+z");
    }
    void bindsStoredCombinationAtStart()
    {
        QFETCH(QByteArray, stored);
        QFETCH(QString, trigger);
        PortalFixture fixture(stored);
        // Asked when the bind goes out, by when the panel is up.
        fixture.controller->setDialogParent([] { return QStringLiteral("x11:3a00007"); });
        fixture.controller->start();
        // Nothing was waited for: the desktop answers later.
        QVERIFY(fixture.controller->isPending());
        QCOMPARE(fixture.recorder.messageText(), pendingMessage);
        QTRY_VERIFY(fixture.controller->holdsHotKey());
        // The program names itself before anything else; the desktop keeps
        // nothing for it yet, so the shortcut is bound.
        QCOMPARE(calls(), (QStringList{QStringLiteral("Register ") + ApplicationIdentity::id,
                                       QStringLiteral("CreateSession ") + PortalHotKeyBackend::sessionToken,
                                       QStringLiteral("ListShortcuts"),
                                       QStringLiteral("BindShortcuts toggle-window ") + trigger,
                                       QStringLiteral("ListShortcuts")}));
        // The desktop's dialog goes over the panel.
        QCOMPARE(QDBusReply<QString>(control().call(QStringLiteral("LastParentWindow"))).value(),
                 QStringLiteral("x11:3a00007"));
        // The row shows what the desktop says it bound, and where to change it.
        QCOMPARE(fixture.recorder.buttonTitle(), trigger);
        QCOMPARE(fixture.recorder.messageText(), desktopSettings());
        QVERIFY(!fixture.controller->error());
        QVERIFY(fixture.store.writes.isEmpty());
    }

    // The desktop keeps the shortcut from run to run: a relaunch binds
    // nothing, and the key is the one the desktop has, the user's own choice
    // included.
    void relaunchBindsNothingNew_data()
    {
        QTest::addColumn<bool>("userChanges");
        QTest::addColumn<QString>("userKey");
        QTest::addColumn<QString>("title");
        QTest::newRow("as bound") << false << QString() << QStringLiteral("ALT+z");
        QTest::newRow("user chose another key") << true << QStringLiteral("Ctrl+Alt+V") << QStringLiteral("Ctrl+Alt+V");
        QTest::newRow("user took the key away") << true << QString() << unassignedTitle;
    }
    void relaunchBindsNothingNew()
    {
        QFETCH(bool, userChanges);
        QFETCH(QString, userKey);
        QFETCH(QString, title);
        {
            PortalFixture first;
            startBound(first);
            if (userChanges) {
                tell(QStringLiteral("ChangeTrigger"), {userKey});
                QTRY_COMPARE(first.recorder.buttonTitle(), title);
            }
        }
        const qsizetype before = calls().size();
        PortalFixture second;
        startBound(second);
        QCOMPARE(calls().mid(before), (QStringList{QStringLiteral("Register ") + ApplicationIdentity::id,
                                                   QStringLiteral("CreateSession ") + PortalHotKeyBackend::sessionToken,
                                                   QStringLiteral("ListShortcuts")}));
        QCOMPARE(second.recorder.buttonTitle(), title);
        QVERIFY(!second.controller->error());
        QVERIFY(second.store.writes.isEmpty());
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(second.toggles, 1);
    }

    void togglesOncePerActivation()
    {
        PortalFixture fixture;
        startBound(fixture);
        // The fake follows each Activated with a Deactivated, as a key release.
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 1);
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 2);
        // While a new combination is recorded, presses do nothing.
        fixture.controller->setRecording(true);
        tell(QStringLiteral("Activate"));
        settle();
        QCOMPARE(fixture.toggles, 2);
    }

    void refusedAtStart_data()
    {
        QTest::addColumn<uint>("sessionAnswer");
        QTest::addColumn<uint>("bindAnswer");
        QTest::addColumn<int>("status");
        QTest::newRow("bind cancelled by the user") << 0u << 1u << int(HotKeyBackend::cancelled);
        QTest::newRow("bind refused") << 0u << 2u << int(HotKeyBackend::refused);
        QTest::newRow("session cancelled") << 1u << 0u << int(HotKeyBackend::cancelled);
        QTest::newRow("session refused") << 2u << 0u << int(HotKeyBackend::refused);
    }
    void refusedAtStart()
    {
        QFETCH(uint, sessionAnswer);
        QFETCH(uint, bindAnswer);
        QFETCH(int, status);
        tell(QStringLiteral("SetAnswers"), {sessionAnswer, bindAnswer});
        PortalFixture fixture;
        fixture.controller->start();
        QTRY_VERIFY(!fixture.controller->isPending());
        QVERIFY(!fixture.controller->holdsHotKey());
        QCOMPARE(fixture.controller->errorText(), failure(status));
        QCOMPARE(fixture.recorder.messageText(), failure(status));
        QVERIFY(fixture.recorder.showsError());
        QVERIFY(!fixture.recorder.canRecord());
        // The row still names the stored combination for another try.
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("Alt + Z"));

        // The desktop agrees the next time: the same combination binds.
        tell(QStringLiteral("SetAnswers"), {0u, 0u});
        fixture.recorder.restoreDefault();
        QTRY_VERIFY(fixture.controller->holdsHotKey());
        QVERIFY(!fixture.controller->error());
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("ALT+z"));
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 1);
    }

    // Some desktops answer a bind they made with a failure code; what they
    // show of the session's shortcuts counts, and the row shows their key.
    void boundDespiteFailureCode_data()
    {
        QTest::addColumn<uint>("response");
        QTest::addColumn<QString>("report");
        QTest::newRow("refusal code, the answer lists it") << 2u << QStringLiteral("results");
        QTest::newRow("refusal code, changed before the answer") << 2u << QStringLiteral("signal");
        QTest::newRow("refusal code, only the session's list has it") << 2u << QStringLiteral("list");
        QTest::newRow("cancel code, the answer lists it") << 1u << QStringLiteral("results");
    }
    void boundDespiteFailureCode()
    {
        QFETCH(uint, response);
        QFETCH(QString, report);
        tell(QStringLiteral("SetBoundReport"), {response, report});
        tell(QStringLiteral("SetDescription"), {QStringLiteral("Press <Alt>z")});
        PortalFixture fixture;
        startBound(fixture);
        QVERIFY(!fixture.controller->error());
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("Press <Alt>z"));
        QCOMPARE(fixture.recorder.messageText(), desktopSettings());
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 1);
    }

    // Where the desktop keeps the key, the row records nothing and asks for
    // nothing while a key is in force: the desktop's settings change it.
    void rowOffersNoRecording()
    {
        tell(QStringLiteral("SetDescription"), {QStringLiteral("Ctrl+Alt+V")});
        PortalFixture fixture;
        startBound(fixture);
        QVERIFY(fixture.controller->canRegister());
        QVERIFY(!fixture.recorder.canRecord());
        QVERIFY(fixture.recorder.desktopKeepsKey());
        QVERIFY(!fixture.recorder.showsError());
        fixture.recorder.startRecording();
        QVERIFY(!fixture.recorder.isCapturing());
        QVERIFY(!fixture.controller->isRecording());
        const qsizetype before = calls().size();
        fixture.recorder.restoreDefault();
        settle();
        QCOMPARE(calls().mid(before), QStringList());
        QVERIFY(!fixture.controller->error());
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("Ctrl+Alt+V"));
        QCOMPARE(fixture.recorder.messageText(), desktopSettings());
    }

    void recordingBindsInTheSameSession()
    {
        PortalFixture fixture;
        startBound(fixture);
        const qsizetype before = calls().size();
        // Ctrl+Alt+T recorded in the row.
        const WindowShortcut recorded{17, 0x900, QStringLiteral("⌘⌥ T")};
        QVERIFY(fixture.controller->registerShortcut(recorded, true));
        QVERIFY(fixture.controller->isPending());
        QVERIFY(fixture.store.writes.isEmpty()); // nothing is stored before the desktop agrees
        QTRY_VERIFY(!fixture.controller->isPending());
        // The session's one shortcut gets the new wish; no new session, none closed.
        QCOMPARE(calls().mid(before), (QStringList{QStringLiteral("BindShortcuts toggle-window CTRL+ALT+t"),
                                                   QStringLiteral("ListShortcuts")}));
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("CTRL+ALT+t"));
        QCOMPARE(fixture.store.values.value(WindowShortcutController::storageKey).toByteArray(), recorded.toJson());

        // A new binding turned down leaves the one in force, and nothing stored.
        fixture.store.writes.clear();
        tell(QStringLiteral("SetAnswers"), {0u, 1u});
        QVERIFY(fixture.controller->registerShortcut({7, 0x800, QStringLiteral("⌥ X")}, true));
        QTRY_VERIFY(!fixture.controller->isPending());
        QCOMPARE(fixture.controller->errorText(), failure(HotKeyBackend::cancelled));
        QVERIFY(fixture.controller->holdsHotKey());
        QCOMPARE(fixture.controller->shortcut(), recorded);
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("CTRL+ALT+t"));
        QVERIFY(fixture.store.writes.isEmpty());
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 1);
        QVERIFY(!calls().contains(QStringLiteral("Session.Close")));
    }

    void newerRecordingWins()
    {
        PortalFixture fixture;
        startBound(fixture);
        // Two recordings before the desktop answers the first: the second is bound.
        QVERIFY(fixture.controller->registerShortcut({7, 0x800, QStringLiteral("⌥ X")}, true));
        QVERIFY(fixture.controller->registerShortcut({8, 0x800, QStringLiteral("⌥ C")}, true));
        QTRY_VERIFY(!fixture.controller->isPending());
        QCOMPARE(calls().filter(QStringLiteral("BindShortcuts")).last(), QStringLiteral("BindShortcuts toggle-window ALT+c"));
        QCOMPARE(fixture.controller->shortcut().keyCode, 8u);
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("ALT+c"));
    }

    void desktopChangesShowInTheRow()
    {
        tell(QStringLiteral("SetDescription"), {QStringLiteral("Alt+Z")});
        PortalFixture fixture;
        startBound(fixture);
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("Alt+Z"));
        // The user picks another key in the desktop's settings.
        tell(QStringLiteral("ChangeTrigger"), {QStringLiteral("Ctrl+Alt+V")});
        QTRY_COMPARE(fixture.recorder.buttonTitle(), QStringLiteral("Ctrl+Alt+V"));
        QCOMPARE(fixture.controller->label(), QStringLiteral("Ctrl+Alt+V"));
        // ... or takes the key away: the row says so instead of naming one.
        tell(QStringLiteral("ChangeTrigger"), {QString()});
        QTRY_COMPARE(fixture.recorder.buttonTitle(), unassignedTitle);
        QVERIFY(fixture.store.writes.isEmpty());
    }

    void closedSession()
    {
        PortalFixture fixture;
        startBound(fixture);
        tell(QStringLiteral("CloseSessions"));
        QTRY_VERIFY(!fixture.controller->holdsHotKey());
        QCOMPARE(fixture.controller->errorText(), failure(HotKeyBackend::sessionClosed));
        QCOMPARE(fixture.recorder.messageText(), failure(HotKeyBackend::sessionClosed));
        QVERIFY(fixture.backend->sessionPath().isEmpty());
        tell(QStringLiteral("Activate"));
        settle();
        QCOMPARE(fixture.toggles, 0);

        // Binding again makes a new session, under the same token.
        fixture.recorder.restoreDefault();
        QTRY_VERIFY(fixture.controller->holdsHotKey());
        QCOMPARE(calls().count(QStringLiteral("CreateSession ") + PortalHotKeyBackend::sessionToken), 2);
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 1);
    }

    // Answers of the wrong types bind nothing and change nothing.
    void garbledAnswers()
    {
        PortalFixture fixture;
        startBound(fixture);
        tell(QStringLiteral("SetGarbled"), {true});
        // A change that is no list leaves the key the row shows.
        tell(QStringLiteral("ChangeTrigger"), {QStringLiteral("Ctrl+Alt+V")});
        settle();
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("ALT+z"));
        // A recording answered with nonsense is refused; the key in force stays.
        QVERIFY(fixture.controller->registerShortcut({7, 0x800, QStringLiteral("⌥ X")}, true));
        QTRY_VERIFY(!fixture.controller->isPending());
        QCOMPARE(fixture.controller->errorText(), failure(HotKeyBackend::refused));
        QVERIFY(fixture.controller->holdsHotKey());
        QCOMPARE(fixture.controller->shortcut(), WindowShortcut::defaultShortcut());
        QVERIFY(fixture.store.writes.isEmpty());
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 1);
    }

    void stopClosesTheSession()
    {
        PortalFixture fixture;
        startBound(fixture);
        fixture.controller->stop();
        QTRY_VERIFY(calls().contains(QStringLiteral("Session.Close")));
        QVERIFY(fixture.backend->sessionPath().isEmpty());
    }

    // Where the portal cannot give this program global keys, the row says
    // why and offers no recording; it shows no failure number.
    void portalCannotServe_data()
    {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QVariantList>("arguments");
        QTest::addColumn<QString>("message");
        QTest::newRow("no portal") << QString() << QVariantList() << noPortalMessage;
        QTest::newRow("portal without global shortcuts")
            << QStringLiteral("SetVersion") << QVariantList{0u} << noPortalMessage;
        // Newer portals name an unsandboxed program only by its installed
        // desktop entry, and serve no program they cannot name.
        QTest::newRow("desktop entry not installed, portal needs an app id")
            << QStringLiteral("SetInstalled") << QVariantList{QStringList()}
            << notInstalledMessage;
    }
    void portalCannotServe()
    {
        QFETCH(QString, setting);
        QFETCH(QVariantList, arguments);
        QFETCH(QString, message);
        tell(QStringLiteral("SetRequireAppId"), {true});
        if (setting.isEmpty())
            cleanup();
        else
            tell(setting, arguments);
        PortalFixture fixture;
        QSignalSpy availability(fixture.controller.get(), &WindowShortcutController::canRegisterChanged);
        fixture.controller->start();
        QTRY_VERIFY(!fixture.controller->isPending());
        QVERIFY(!fixture.controller->holdsHotKey());
        QVERIFY(!fixture.controller->canRegister());
        QCOMPARE(availability.count(), 1);
        QVERIFY(!fixture.controller->error());
        QVERIFY(!fixture.recorder.canRecord());
        QCOMPARE(fixture.recorder.messageText(), message);
        QCOMPARE(fixture.recorder.buttonTitle(), unavailableTitle);
        fixture.recorder.startRecording();
        QVERIFY(!fixture.recorder.isCapturing());
        if (setting.isEmpty())
            init(); // for cleanup()
    }

    void registeredProgramGetsASession()
    {
        // The portal that needs an app id serves the program whose entry is installed.
        tell(QStringLiteral("SetRequireAppId"), {true});
        PortalFixture fixture;
        startBound(fixture);
        QVERIFY(fixture.controller->canRegister());
        tell(QStringLiteral("Activate"));
        QTRY_COMPARE(fixture.toggles, 1);
    }

    void waylandSession_data()
    {
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<bool>("wayland");
        QTest::newRow("X11 session") << QString() << QStringLiteral("x11") << false;
        QTest::newRow("no session type") << QString() << QString() << false;
        QTest::newRow("Wayland") << QStringLiteral("wayland-0") << QStringLiteral("wayland") << true;
        QTest::newRow("display only") << QStringLiteral("wayland-0") << QString() << true;
        QTest::newRow("session type only") << QString() << QStringLiteral("Wayland") << true;
    }
    void waylandSession()
    {
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, sessionType);
        QFETCH(bool, wayland);
        QProcessEnvironment environment;
        if (!waylandDisplay.isEmpty())
            environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay);
        if (!sessionType.isEmpty())
            environment.insert(QStringLiteral("XDG_SESSION_TYPE"), sessionType);
        QCOMPARE(HotKeyBackendChoice::isWaylandSession(environment), wayland);
    }
};

QTEST_MAIN(TestPortalHotKey)
#include "tst_portalhotkey.moc"
