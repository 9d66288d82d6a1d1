// The global hot key on a real KDE Plasma desktop: a headless KWin
// (kwin_wayland --virtual) with XWayland, the machine's own xdg-desktop-portal
// and its KDE backend, all on a D-Bus session of this test's own that starts
// nothing else of the machine's. The program runs on XWayland as in a Plasma
// Wayland session; the key is pressed through KDE's shortcut daemon
// (kglobalaccel's invokeShortcut), and a dbus-monitor watches what the program
// asks of the portal.
#include "DesktopTestSupport.h"
#include "platform/ApplicationIdentity.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRect>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace DesktopTestSupport;

namespace {

const QString waylandSocket = QStringLiteral("vuzo-kde-test");
const QString connectionName = QStringLiteral("kde-session");
const QString kglobalaccel = QStringLiteral("org.kde.kglobalaccel");
const QString shortcutId = QStringLiteral("toggle-window");
// The services of the desktop session the bus may start: the portal, its KDE
// backend and what they use. The shortcut daemon runs inside KWin.
const QStringList sessionServices{
    QStringLiteral("org.freedesktop.portal.Desktop.service"),
    QStringLiteral("org.freedesktop.impl.portal.desktop.kde.service"),
    QStringLiteral("org.freedesktop.impl.portal.PermissionStore.service"),
};

// One line of dbus-monitor --profile: type, time, serial, sender, destination,
// path, interface, member.
struct BusMessage
{
    QString type;
    QString sender;
    QString destination;
    QString path;
    QString member;
};

} // namespace

class TestKdePortal : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_root;
    QProcess m_bus;
    QProcess m_kwin;
    QProcess m_monitor;
    QString m_busAddress;
    QString m_display;
    QList<BusMessage> m_messages;

    QString path(const QString &relative) const { return m_root.filePath(relative); }
    QDBusConnection bus() const { return QDBusConnection(connectionName); }

    // The session as its programs see it.
    QProcessEnvironment sessionEnvironment() const
    {
        QProcessEnvironment environment;
        // The program on the session's PATH, as installed: the portal accepts
        // its name only for a desktop entry whose program it finds.
        environment.insert(QStringLiteral("PATH"), QFileInfo(QStringLiteral(VUZO_PROGRAM)).path() + QLatin1Char(':')
                                                       + qEnvironmentVariable("PATH"));
        environment.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), m_busAddress);
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), path(QStringLiteral("runtime")));
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandSocket);
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        environment.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("KDE"));
        environment.insert(QStringLiteral("XDG_SESSION_DESKTOP"), QStringLiteral("KDE"));
        environment.insert(QStringLiteral("KDE_FULL_SESSION"), QStringLiteral("true"));
        environment.insert(QStringLiteral("HOME"), path(QStringLiteral("home")));
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"), path(QStringLiteral("home/.config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), path(QStringLiteral("home/.local/share")));
        environment.insert(QStringLiteral("XDG_CACHE_HOME"), path(QStringLiteral("home/.cache")));
        if (!m_display.isEmpty())
            environment.insert(QStringLiteral("DISPLAY"), m_display);
        return environment;
    }

    QStringList visiblePanels() const
    {
        return searchWindows(m_display, {QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("^vuzo$")});
    }

    // The desktop's shortcut list: every entry (component) with the program's shortcut.
    QStringList entriesWithTheShortcut() const
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kglobalaccel, QStringLiteral("/kglobalaccel"),
                                                           QStringLiteral("org.kde.KGlobalAccel"),
                                                           QStringLiteral("allComponents"));
        const QDBusReply<QList<QDBusObjectPath>> components = bus().call(call);
        QStringList entries;
        for (const QDBusObjectPath &component : components.value()) {
            QDBusMessage names = QDBusMessage::createMethodCall(kglobalaccel, component.path(),
                                                                QStringLiteral("org.kde.kglobalaccel.Component"),
                                                                QStringLiteral("shortcutNames"));
            const QDBusReply<QStringList> shortcuts = bus().call(names);
            if (shortcuts.value().contains(shortcutId))
                entries.append(component.path());
        }
        return entries;
    }
    // A press of the key, as the desktop's shortcut daemon delivers it.
    bool press(const QString &entry) const
    {
        QDBusMessage call = QDBusMessage::createMethodCall(kglobalaccel, entry, QStringLiteral("org.kde.kglobalaccel.Component"),
                                                           QStringLiteral("invokeShortcut"));
        call << shortcutId;
        return bus().call(call).type() == QDBusMessage::ReplyMessage;
    }

    void readMonitor()
    {
        while (m_monitor.canReadLine()) {
            const QStringList fields = QString::fromUtf8(m_monitor.readLine()).trimmed().split(QLatin1Char('\t'));
            if (fields.size() >= 8 && !fields.at(0).startsWith(QLatin1Char('#')))
                m_messages.append({fields.at(0), fields.at(3), fields.at(4), fields.at(5), fields.at(7)});
        }
    }
    // The portal's calls from `from` on, by member name.
    QStringList portalCalls(qsizetype from)
    {
        readMonitor();
        QStringList calls;
        for (const BusMessage &message : m_messages.mid(from)) {
            if (message.type == QLatin1String("mc"))
                calls.append(message.member);
        }
        return calls;
    }
    // The program asked what the desktop keeps for it, and has the answer.
    bool listAnswered(qsizetype from)
    {
        readMonitor();
        QString asker;
        for (const BusMessage &message : m_messages.mid(from)) {
            if (message.type == QLatin1String("mc") && message.member == QLatin1String("ListShortcuts"))
                asker = message.sender;
            else if (!asker.isEmpty() && message.type == QLatin1String("sig")
                     && message.member == QLatin1String("Response") && message.destination == asker)
                return true;
        }
        return false;
    }

    struct Program
    {
        QProcess process;
        ~Program() { stop(process); }
    };
    std::unique_ptr<Program> launch(const QString &settings)
    {
        auto program = std::make_unique<Program>();
        QProcessEnvironment environment = sessionEnvironment();
        environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
        if (!startProgram(program->process, environment, settings))
            return nullptr;
        return program;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid());
        const QString kwin = QStandardPaths::findExecutable(QStringLiteral("kwin_wayland"));
        QVERIFY2(!kwin.isEmpty(), "kwin_wayland is missing (scripts/install-deps)");
        for (const QString &service : sessionServices.mid(0, 2))
            QVERIFY2(QFile::exists(QStringLiteral("/usr/share/dbus-1/services/") + service),
                     qPrintable(service + QStringLiteral(" is missing (scripts/install-deps)")));

        for (const QString &folder : {QStringLiteral("runtime"), QStringLiteral("services"), QStringLiteral("bin"),
                                      QStringLiteral("home/.config"), QStringLiteral("home/.local/share/applications"),
                                      QStringLiteral("home/.cache")})
            QVERIFY(QDir().mkpath(path(folder)));
        QVERIFY(::chmod(QFile::encodeName(path(QStringLiteral("runtime"))).constData(), 0700) == 0);
        // XWayland's sockets live there; a machine without any X server yet
        // may lack it.
        if (!QFile::exists(QStringLiteral("/tmp/.X11-unix"))) {
            QVERIFY(QDir().mkpath(QStringLiteral("/tmp/.X11-unix")));
            QVERIFY(::chmod("/tmp/.X11-unix", 01777) == 0);
        }
        // The program's desktop entry, installed: newer portals name a program
        // only by it.
        QVERIFY(QFile::copy(QStringLiteral(VUZO_DESKTOP_ENTRY),
                            path(QStringLiteral("home/.local/share/applications/%1.desktop").arg(ApplicationIdentity::id))));

        // The bus starts the desktop's portal services and nothing else.
        for (const QString &service : sessionServices) {
            const QString installed = QStringLiteral("/usr/share/dbus-1/services/") + service;
            if (QFile::exists(installed))
                QVERIFY(QFile::copy(installed, path(QStringLiteral("services/") + service)));
        }
        QFile config(path(QStringLiteral("bus.conf")));
        QVERIFY(config.open(QIODevice::WriteOnly));
        // (No raw string here: this moc would not see the class after one.)
        config.write(QStringLiteral("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\"\n"
                                    " \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                                    "<busconfig>\n"
                                    "  <type>session</type>\n"
                                    "  <listen>unix:dir=%1</listen>\n"
                                    "  <auth>EXTERNAL</auth>\n"
                                    "  <servicedir>%2</servicedir>\n"
                                    "  <policy context=\"default\">\n"
                                    "    <allow send_destination=\"*\" eavesdrop=\"true\"/>\n"
                                    "    <allow eavesdrop=\"true\"/>\n"
                                    "    <allow own=\"*\"/>\n"
                                    "  </policy>\n"
                                    "</busconfig>\n")
                         .arg(path(QStringLiteral("runtime")), path(QStringLiteral("services")))
                         .toUtf8());
        config.close();
        m_bus.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"),
                                                    QStringLiteral("--config-file=") + config.fileName()});
        QVERIFY2(m_bus.waitForStarted(), "dbus-daemon is missing");
        QTRY_VERIFY_WITH_TIMEOUT(m_bus.canReadLine() || m_bus.state() != QProcess::Running, 10'000);
        m_busAddress = QString::fromLatin1(m_bus.readLine().trimmed());
        QVERIFY(!m_busAddress.isEmpty());
        QVERIFY(QDBusConnection::connectToBus(m_busAddress, connectionName).isConnected());

        // What the bus gives the services it starts: the session's settings,
        // in place before KWin starts (KWin 6 starts the portal itself).
        qDBusRegisterMetaType<QMap<QString, QString>>();
        QMap<QString, QString> activation;
        const QProcessEnvironment environment = sessionEnvironment();
        for (const QString &key : environment.keys()) {
            if (key != QLatin1String("DBUS_SESSION_BUS_ADDRESS"))
                activation.insert(key, environment.value(key));
        }
        activation.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
        QDBusMessage update = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"),
                                                             QStringLiteral("/org/freedesktop/DBus"),
                                                             QStringLiteral("org.freedesktop.DBus"),
                                                             QStringLiteral("UpdateActivationEnvironment"));
        update << QVariant::fromValue(activation);
        QCOMPARE(bus().call(update).type(), QDBusMessage::ReplyMessage);

        m_monitor.start(QStringLiteral("dbus-monitor"),
                        {QStringLiteral("--address"), m_busAddress, QStringLiteral("--profile"),
                         QStringLiteral("interface='org.freedesktop.host.portal.Registry'"),
                         QStringLiteral("interface='org.freedesktop.portal.GlobalShortcuts'"),
                         QStringLiteral("interface='org.freedesktop.portal.Request'")});
        QVERIFY2(m_monitor.waitForStarted(), "dbus-monitor is missing");

        // A copy of KWin: the installed one carries a file capability that a
        // container may refuse to execute. KWin starts a shell once XWayland
        // runs, which writes down XWayland's display.
        const QString copy = path(QStringLiteral("bin/kwin_wayland"));
        QVERIFY(QFile::copy(kwin, copy));
        QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        const QString displayFile = path(QStringLiteral("display"));
        m_kwin.setProcessEnvironment(environment);
        m_kwin.setStandardOutputFile(path(QStringLiteral("kwin.log")));
        m_kwin.setStandardErrorFile(path(QStringLiteral("kwin.log")));
        m_kwin.start(copy, {QStringLiteral("--virtual"), QStringLiteral("--xwayland"), QStringLiteral("--socket"),
                            waylandSocket, QStringLiteral("--width"), QStringLiteral("1200"), QStringLiteral("--height"),
                            QStringLiteral("800"), QStringLiteral("--no-lockscreen"),
                            // One command line, split by KWin as a shell would.
                            QStringLiteral("/bin/sh -c 'printf %s \"$DISPLAY\" > %1'").arg(displayFile)});
        QVERIFY(m_kwin.waitForStarted());
        const auto readDisplay = [&] {
            QFile file(displayFile);
            return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed() : QString();
        };
        QTRY_VERIFY_WITH_TIMEOUT(!readDisplay().isEmpty() || m_kwin.state() != QProcess::Running, 60'000);
        m_display = readDisplay();
        if (m_display.isEmpty()) {
            QFile log(path(QStringLiteral("kwin.log")));
            QVERIFY(log.open(QIODevice::ReadOnly));
            QFAIL(qPrintable(QStringLiteral("KWin started no XWayland:\n") + QString::fromLocal8Bit(log.readAll())));
        }
        QTRY_VERIFY_WITH_TIMEOUT(bus().interface()->isServiceRegistered(kglobalaccel), 20'000);
    }

    void cleanupTestCase()
    {
        stop(m_kwin);
        stop(m_monitor);
        // The services the bus started end with it: they are this session's
        // (and the desktop's portal does not end on a signal to terminate).
        QList<pid_t> started;
        if (bus().isConnected()) {
            const QStringList names = bus().interface()->registeredServiceNames().value();
            for (const QString &name : names) {
                const uint pid = name.startsWith(QLatin1Char(':')) ? bus().interface()->servicePid(name).value() : 0;
                if (pid > 1 && pid != uint(::getpid()) && qint64(pid) != m_bus.processId() && !started.contains(pid_t(pid)))
                    started.append(pid_t(pid));
            }
        }
        for (const pid_t pid : std::as_const(started))
            ::kill(pid, SIGTERM);
        QDeadlineTimer grace(3000);
        for (const pid_t pid : std::as_const(started)) {
            while (::kill(pid, 0) == 0 && !grace.hasExpired())
                QTest::qWait(50);
            if (::kill(pid, 0) == 0)
                ::kill(pid, SIGKILL);
        }
        QDBusConnection::disconnectFromBus(connectionName);
        stop(m_bus);
    }

    // The key toggles the panel; a second launch on the same settings binds
    // nothing and leaves one entry in the desktop's shortcut list.
    void hotKeyTogglesAndSurvivesRelaunch()
    {
        QTemporaryDir settings;
        QVERIFY(settings.isValid());
        for (int run = 1; run <= 2; ++run) {
            readMonitor();
            const qsizetype from = m_messages.size();
            auto program = launch(settings.path());
            QVERIFY(program);
            QTRY_VERIFY_WITH_TIMEOUT(visiblePanels().size() == 1, 60'000);

            // Bound: the desktop lists the program's shortcut, once.
            QTRY_VERIFY_WITH_TIMEOUT(entriesWithTheShortcut().size() == 1, 20'000);
            if (run == 2)
                QTRY_VERIFY_WITH_TIMEOUT(listAnswered(from), 20'000);
            const QString entry = entriesWithTheShortcut().constFirst();

            // The key hides the panel and brings it back where it was, each time.
            const QRect frame = settledGeometry(m_display, visiblePanels().constFirst());
            for (int cycle = 1; cycle <= 3; ++cycle) {
                QVERIFY(press(entry));
                QTRY_VERIFY_WITH_TIMEOUT(visiblePanels().isEmpty(), 10'000);
                QVERIFY(press(entry));
                QTRY_VERIFY_WITH_TIMEOUT(visiblePanels().size() == 1, 10'000);
                QCOMPARE(settledGeometry(m_display, visiblePanels().constFirst()), frame);
            }

            const QStringList calls = portalCalls(from);
            qInfo() << "run" << run << "asked the portal:" << calls << "- the desktop lists the shortcut under" << entry;
            // The program names itself before it asks for anything.
            QVERIFY(!calls.isEmpty());
            QCOMPARE(calls.constFirst(), QStringLiteral("Register"));
            if (run == 2) {
                QVERIFY2(!calls.contains(QStringLiteral("BindShortcuts")), qPrintable(calls.join(QLatin1Char(' '))));
                QCOMPARE(entriesWithTheShortcut().size(), 1);
            }
            stop(program->process);
            QCOMPARE(program->process.exitStatus(), QProcess::NormalExit);
        }
    }
};

QTEST_GUILESS_MAIN(TestKdePortal)
#include "tst_kdeportal.moc"
