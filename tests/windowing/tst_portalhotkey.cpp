// The hot key through the desktop portal's global shortcuts, against the
// project's fake portal on a private session bus (CTest runs this under
// dbus-run-session): binding at start, presses, refusals, the desktop's own
// changes and the end of the session, as the settings row shows them.
#include "ShellFakes.h"
#include "WindowShortcutRecorder.h"
#include "KeyCaptureRules.h"
#include "windowing/HotKeyBackendChoice.h"
#include "windowing/HotKeyCodec.h"
#include "windowing/PortalHotKeyBackend.h"
#include "windowing/WindowShortcutController.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QProcess>
#include <QTest>
#include <memory>

namespace {

QString failure(int status)
{
    return QStringLiteral("快捷键注册失败（%1），可能已被其他应用占用，请更换组合键。").arg(status);
}

bool portalRunning()
{
    return QDBusConnection::sessionBus().interface()->isServiceRegistered(PortalHotKeyBackend::service);
}

// The controller of the program, on the portal, with the row's recorder.
struct PortalFixture
{
    explicit PortalFixture(const QByteArray &stored = {})
    {
        if (!stored.isEmpty())
            store.values.insert(WindowShortcutController::storageKey, stored);
        auto owned = std::make_unique<PortalHotKeyBackend>(QDBusConnection::sessionBus());
        backend = owned.get();
        controller = std::make_unique<WindowShortcutController>(std::move(owned), store);
        controller->onToggle = [this] { ++toggles; };
        recorder.setController(controller.get());
    }
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
        QVERIFY(PortalHotKeyBackend::isOffered(QDBusConnection::sessionBus()));
        fixture.controller->start();
        QVERIFY(fixture.controller->isPending());
        QCOMPARE(fixture.recorder.messageText(), HotKeyRecording::pendingMessage);
        QTRY_VERIFY(fixture.controller->holdsHotKey());
        QCOMPARE(calls(), (QStringList{QStringLiteral("CreateSession"),
                                       QStringLiteral("BindShortcuts toggle-window ") + trigger}));
        // The row shows what the desktop says it bound.
        QCOMPARE(fixture.recorder.buttonTitle(), trigger);
        QCOMPARE(fixture.recorder.messageText(), HotKeyRecording::hint);
        QVERIFY(!fixture.controller->error());
        QVERIFY(fixture.store.writes.isEmpty());
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
        calls(); // a round trip after the signal: it has arrived by now
        QCoreApplication::processEvents();
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
        // The row still offers the stored combination for another try.
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

    void recordingBindsAgain()
    {
        PortalFixture fixture;
        startBound(fixture);
        // Ctrl+Alt+T recorded in the row.
        const WindowShortcut recorded{17, 0x900, QStringLiteral("⌘⌥ T")};
        QVERIFY(fixture.controller->registerShortcut(recorded, true));
        QVERIFY(fixture.controller->isPending());
        QVERIFY(fixture.store.writes.isEmpty()); // nothing is stored before the desktop agrees
        QTRY_VERIFY(!fixture.controller->isPending());
        QCOMPARE(calls().filter(QStringLiteral("BindShortcuts")).last(), QStringLiteral("BindShortcuts toggle-window CTRL+ALT+t"));
        // A session of its own for the new binding; the old one goes after it.
        QCOMPARE(calls().count(QStringLiteral("CreateSession")), 2);
        QTRY_COMPARE(calls().count(QStringLiteral("Session.Close")), 1);
        QCOMPARE(fixture.recorder.buttonTitle(), QStringLiteral("CTRL+ALT+t"));
        QCOMPARE(fixture.store.values.value(WindowShortcutController::storageKey).toByteArray(), recorded.toJson());

        // A refused new binding leaves the one in force, and nothing stored.
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
        // The first wish never reached the desktop as a binding.
        QVERIFY(!calls().contains(QStringLiteral("BindShortcuts toggle-window ALT+x")));
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
        QTRY_COMPARE(fixture.recorder.buttonTitle(), HotKeyRecording::unassignedTitle);
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
        calls();
        QCoreApplication::processEvents();
        QCOMPARE(fixture.toggles, 0);

        // Binding again makes a new session.
        fixture.recorder.restoreDefault();
        QTRY_VERIFY(fixture.controller->holdsHotKey());
        QCOMPARE(calls().count(QStringLiteral("CreateSession")), 2);
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

    void missingPortal()
    {
        cleanup(); // no portal on the bus
        QVERIFY(!PortalHotKeyBackend::isOffered(QDBusConnection::sessionBus(), 500));
        PortalFixture fixture;
        fixture.controller->start();
        QTRY_VERIFY(!fixture.controller->isPending());
        QVERIFY(!fixture.controller->holdsHotKey());
        QCOMPARE(fixture.controller->errorText(), failure(HotKeyBackend::unavailable));
        init(); // for cleanup()
    }

    void backendChoice_data()
    {
        QTest::addColumn<QString>("waylandDisplay");
        QTest::addColumn<QString>("sessionType");
        QTest::addColumn<bool>("offered");
        QTest::addColumn<int>("kind");
        using K = HotKeyBackendChoice::Kind;
        QTest::newRow("X11 session") << QString() << QStringLiteral("x11") << true << int(K::x11Grab);
        QTest::newRow("no session type") << QString() << QString() << false << int(K::x11Grab);
        QTest::newRow("Wayland with portal") << QStringLiteral("wayland-0") << QStringLiteral("wayland") << true
                                             << int(K::portal);
        QTest::newRow("Wayland without portal") << QStringLiteral("wayland-0") << QString() << false << int(K::none);
        QTest::newRow("session type only") << QString() << QStringLiteral("Wayland") << false << int(K::none);
    }
    void backendChoice()
    {
        QFETCH(QString, waylandDisplay);
        QFETCH(QString, sessionType);
        QFETCH(bool, offered);
        QFETCH(int, kind);
        QProcessEnvironment environment;
        if (!waylandDisplay.isEmpty())
            environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandDisplay);
        if (!sessionType.isEmpty())
            environment.insert(QStringLiteral("XDG_SESSION_TYPE"), sessionType);
        const bool wayland = HotKeyBackendChoice::isWaylandSession(environment);
        QCOMPARE(int(HotKeyBackendChoice::choose(wayland, offered)), kind);
    }
};

QTEST_MAIN(TestPortalHotKey)
#include "tst_portalhotkey.moc"
