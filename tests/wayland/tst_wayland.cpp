// The program in a Wayland session: weston (nested in an Xvfb of its own, so
// that xdotool can move weston's pointer and click) runs XWayland, where the
// program's panel lives, and a maximised weston-terminal, a native Wayland
// window that XWayland cannot see. The fake desktop portal offers global
// shortcuts on the private session bus this test runs on (dbus-run-session).
#include "DesktopTestSupport.h"
#include "platform/UserDefaults.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

using namespace DesktopTestSupport;

namespace {

const QString waylandSocket = QStringLiteral("vuzo-wayland-test");
// weston's output, a window on the Xvfb screen at 0, 0; its global
// coordinates are the Xvfb screen's.
constexpr int outputWidth = 1200;
constexpr int outputHeight = 800;

// A point over the terminal, in the corner of weston's output farthest from the panel.
QPoint farFrom(const QRect &panel)
{
    const int x = panel.center().x() < outputWidth / 2 ? outputWidth - 30 : 30;
    const int y = panel.center().y() < outputHeight / 2 ? outputHeight - 30 : 60; // below weston's top bar
    return {x, y};
}

// How often the panel goes and comes back: weston put a window that maps
// again a little further up and left of its frame's corner on each showing.
constexpr int cycles = 3;

} // namespace

class TestWayland : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_runtime; // XDG_RUNTIME_DIR of the session: weston's socket
    QProcess m_xvfb;
    QProcess m_weston;
    QProcess m_terminal;
    QProcess m_portal;
    QString m_hostDisplay; // the Xvfb weston draws into
    QString m_xwaylandDisplay;

    QProcessEnvironment sessionEnvironment() const
    {
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        environment.insert(QStringLiteral("WAYLAND_DISPLAY"), waylandSocket);
        environment.insert(QStringLiteral("DISPLAY"), m_xwaylandDisplay);
        environment.insert(QStringLiteral("XDG_SESSION_TYPE"), QStringLiteral("wayland"));
        environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
        return environment;
    }
    // xdotool on weston's Xvfb: weston's own pointer and buttons.
    bool host(const QStringList &arguments)
    {
        int status = 0;
        runTool(QStringLiteral("xdotool"), arguments, onDisplay(m_hostDisplay), &status);
        return status == 0;
    }
    bool movePointer(const QPoint &p)
    {
        return host({QStringLiteral("mousemove"), QString::number(p.x()), QString::number(p.y())});
    }
    // xdotool on XWayland: what the program's X server knows.
    QString xwayland(const QStringList &arguments, int *status = nullptr)
    {
        return runTool(QStringLiteral("xdotool"), arguments, onDisplay(m_xwaylandDisplay), status);
    }
    QStringList search(const QStringList &arguments) { return searchWindows(m_xwaylandDisplay, arguments); }
    QStringList visiblePanels()
    {
        return search({QStringLiteral("--onlyvisible"), QStringLiteral("--name"), QStringLiteral("^vuzo$")});
    }
    // The panel's window, on screen or not.
    QStringList panels()
    {
        return search({QStringLiteral("--name"), QStringLiteral("^vuzo$")});
    }
    QRect panelGeometry(const QString &window) { return windowGeometry(m_xwaylandDisplay, window); }
    QRect settledGeometry(const QString &window) { return DesktopTestSupport::settledGeometry(m_xwaylandDisplay, window); }
    // The panel: of the program's windows named "vuzo", the big one (toolkit
    // helpers carry the name too).
    QString panelWindow()
    {
        QString best;
        int bestArea = 0;
        for (const QString &window : panels()) {
            const QRect frame = panelGeometry(window);
            if (frame.width() * frame.height() > bestArea) {
                bestArea = frame.width() * frame.height();
                best = window;
            }
        }
        return bestArea > 100 * 100 ? best : QString();
    }
    QStringList portalCalls()
    {
        QDBusReply<QStringList> reply = portalControl().call(QStringLiteral("Calls"));
        return reply.value();
    }
    // What XWayland knows, when a wait failed; and whether the native window
    // is there at all: without pseudo-terminals (no /dev/pts in a bare root)
    // weston-terminal ends as soon as it starts.
    QString diagnosis()
    {
        const QString terminal = m_terminal.state() == QProcess::Running
            ? QString()
            : QStringLiteral("weston-terminal ended (exit code %1): ").arg(m_terminal.exitCode())
                + QString::fromLocal8Bit(m_terminal.readAllStandardError() + m_terminal.readAllStandardOutput()).trimmed()
                + QLatin1Char('\n');
        return terminal + xwayland({QStringLiteral("getmouselocation"), QStringLiteral("--shell")}).replace(QLatin1Char('\n'), QLatin1Char(' '))
            + QLatin1Char('\n')
            + runTool(QStringLiteral("xwininfo"), {QStringLiteral("-root"), QStringLiteral("-tree")}, onDisplay(m_xwaylandDisplay));
    }
    QDBusInterface portalControl()
    {
        return QDBusInterface(QStringLiteral("org.freedesktop.portal.Desktop"), QStringLiteral("/control"),
                              QStringLiteral("org.vuzo.FakePortal"));
    }

    // The program with its own settings; auto-hide as asked.
    struct Program
    {
        QTemporaryDir home;
        QProcess process;
        ~Program() { stop(process); }
    };
    std::unique_ptr<Program> launch(bool autoHide)
    {
        auto program = std::make_unique<Program>();
        if (!program->home.isValid())
            return nullptr;
        const QString settings = program->home.filePath(QStringLiteral("config/vuzo/user-defaults.json"));
        QDir().mkpath(QFileInfo(settings).path());
        {
            UserDefaults defaults(settings);
            defaults.setValue(QStringLiteral("hover_auto_hide_enabled"), autoHide);
            // The smallest panel, so that the terminal shows well clear of it
            // (and of the margin of the frame weston puts around it).
            defaults.setValue(QStringLiteral("main_window_width"), 450.0);
            defaults.setValue(QStringLiteral("main_window_height"), 600.0);
        }
        if (!startProgram(program->process, sessionEnvironment(), program->home.path()))
            return nullptr;
        return program;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(QDBusConnection::sessionBus().isConnected(), "no session bus: run under dbus-run-session");
        QVERIFY(m_runtime.isValid());
        QFile::setPermissions(m_runtime.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);

        // An X server for weston to draw into; it picks a free display number.
        m_xvfb.start(QStringLiteral("Xvfb"), {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                                               QStringLiteral("0"), QStringLiteral("1280x1024x24"),
                                               QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY2(m_xvfb.waitForStarted(), "Xvfb is missing");
        QTRY_VERIFY_WITH_TIMEOUT(m_xvfb.canReadLine() || m_xvfb.state() != QProcess::Running, 10'000);
        m_hostDisplay = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());
        QVERIFY2(m_hostDisplay.size() > 1, "Xvfb did not say its display");

        const QString log = m_runtime.filePath(QStringLiteral("weston.log"));
        QProcessEnvironment westonEnvironment = onDisplay(m_hostDisplay);
        westonEnvironment.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtime.path());
        westonEnvironment.remove(QStringLiteral("WAYLAND_DISPLAY"));
        m_weston.setProcessEnvironment(westonEnvironment);
        m_weston.start(QStringLiteral("weston"),
                       {QStringLiteral("--backend=x11-backend.so"), QStringLiteral("--use-pixman"),
                        QStringLiteral("--width=%1").arg(outputWidth), QStringLiteral("--height=%1").arg(outputHeight),
                        QStringLiteral("--xwayland"), QStringLiteral("--socket=") + waylandSocket,
                        QStringLiteral("--no-config"), QStringLiteral("--idle-time=0"), QStringLiteral("--log=") + log});
        QVERIFY2(m_weston.waitForStarted(), "weston is missing");
        // XWayland's display number, from weston's log.
        const QRegularExpression listening(QStringLiteral("xserver listening on display (:\\d+)"));
        const auto readDisplay = [&] {
            QFile file(log);
            if (!file.open(QIODevice::ReadOnly))
                return QString();
            return listening.match(QString::fromUtf8(file.readAll())).captured(1);
        };
        QTRY_VERIFY_WITH_TIMEOUT(!readDisplay().isEmpty() || m_weston.state() != QProcess::Running, 20'000);
        m_xwaylandDisplay = readDisplay();
        QVERIFY2(!m_xwaylandDisplay.isEmpty(), "weston started no XWayland");

        // The native Wayland window, maximised: wherever the program's panel
        // is not, the pointer is over it.
        m_terminal.setProcessEnvironment(sessionEnvironment());
        m_terminal.start(QStringLiteral("weston-terminal"), {QStringLiteral("--maximized"), QStringLiteral("--shell=/bin/cat")});
        QVERIFY2(m_terminal.waitForStarted(), "weston-terminal is missing");

        m_portal.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_portal.start(QStringLiteral(VUZO_FAKE_PORTAL), {});
        QVERIFY(m_portal.waitForStarted());
        QTRY_VERIFY_WITH_TIMEOUT(m_portal.canReadLine() || m_portal.state() != QProcess::Running, 10'000);
        QCOMPARE(m_portal.readLine().trimmed(), QByteArray("ready"));

        // weston's x11 backend moves its pointer by the host pointer's steps;
        // pushed against the top-left corner, the two agree from then on.
        QVERIFY(movePointer({outputWidth / 2, outputHeight / 2}));
        QVERIFY(movePointer({2, 2}));
        QVERIFY(movePointer({0, 0}));
        QVERIFY(movePointer({0, 0}));
    }

    void cleanupTestCase()
    {
        stop(m_portal);
        stop(m_terminal);
        stop(m_weston);
        stop(m_xvfb);
    }

    void autoHideComesBackOverNativeWindow()
    {
        const auto program = launch(true);
        QVERIFY(program);
        // The panel opens where XWayland last saw the pointer; the pointer is
        // really over the terminal, so the panel may go at once. Its place is
        // known all the same.
        QString panel;
        QTRY_VERIFY_WITH_TIMEOUT(!(panel = panelWindow()).isEmpty(), 40'000);
        const QRect frame = settledGeometry(panel);

        // Into the panel's place: it is there, or comes back. (Not to its very
        // centre: that is where XWayland put the pointer when it started.)
        const QPoint inside = frame.center() + QPoint(17, 23);
        QVERIFY(movePointer(inside));
        QTRY_VERIFY2_WITH_TIMEOUT(visiblePanels().size() == 1, qPrintable(diagnosis()), 5000);
        QTRY_COMPARE(xwayland({QStringLiteral("getmouselocation"), QStringLiteral("--shell")})
                         .section(QLatin1Char('\n'), 0, 1)
                         .replace(QLatin1Char('\n'), QLatin1Char(' ')),
                     QStringLiteral("X=%1 Y=%2").arg(inside.x()).arg(inside.y()));
        QTest::qWait(300);
        QCOMPARE(visiblePanels().size(), 1);

        // Out, onto the native terminal: XWayland keeps reporting the last
        // place it saw, inside the panel, yet the panel goes ...
        const QPoint away = farFrom(frame);
        QVERIFY2(!frame.adjusted(-80, -80, 80, 80).contains(away), "the panel leaves no room beside it");
        QVERIFY(movePointer(away));
        QTRY_VERIFY2_WITH_TIMEOUT(visiblePanels().isEmpty(), qPrintable(diagnosis()), 5000);
        // ... and stays away: the invisible window at its place, mapped under
        // the place XWayland last saw the pointer, does not bring it back.
        QTest::qWait(500);
        QVERIFY2(visiblePanels().isEmpty(), qPrintable(diagnosis()));

        // Back to where the panel was, still over the native terminal: it
        // comes back, exactly where it was, however often it goes.
        QVERIFY(movePointer(frame.center() - QPoint(40, 30)));
        QTRY_VERIFY2_WITH_TIMEOUT(visiblePanels().size() == 1, qPrintable(diagnosis()), 5000);
        QTRY_COMPARE_WITH_TIMEOUT(panelGeometry(panel = panelWindow()), frame, 2000);

        // And goes again, and comes back again, as on a plain X server. A hand
        // moves on over the panel before it leaves: XWayland learns that the
        // pointer is over the panel that came up under it from the second
        // motion there (weston gives the first to the window that went).
        for (int cycle = 2; cycle <= cycles; ++cycle) {
            QVERIFY(movePointer(frame.center() - QPoint(30, 20)));
            QVERIFY(movePointer(frame.center() - QPoint(20, 10)));
            QTRY_VERIFY2(xwayland({QStringLiteral("getmouselocation")}).startsWith(
                             QStringLiteral("x:%1 y:%2").arg(frame.center().x() - 20).arg(frame.center().y() - 10)),
                         qPrintable(diagnosis()));
            QVERIFY(movePointer(away));
            QTRY_VERIFY2_WITH_TIMEOUT(visiblePanels().isEmpty(), qPrintable(diagnosis()), 5000);
            QTest::qWait(500);
            QVERIFY2(visiblePanels().isEmpty(), qPrintable(diagnosis()));
            QVERIFY(movePointer(frame.topLeft() + QPoint(40 + cycle, 40 + cycle)));
            QTRY_VERIFY2_WITH_TIMEOUT(visiblePanels().size() == 1, qPrintable(diagnosis()), 5000);
            QTRY_COMPARE_WITH_TIMEOUT(panelGeometry(panel = panelWindow()), frame, 2000);
            // Still there once the window manager is done with it.
            QTest::qWait(300);
            QCOMPARE(panelGeometry(panel), frame);
        }
    }

    void portalHotKeyTogglesOverNativeWindow()
    {
        const qsizetype callsBefore = portalCalls().size();
        const auto program = launch(false);
        QVERIFY(program);
        QTRY_VERIFY_WITH_TIMEOUT(visiblePanels().size() == 1, 40'000);
        const QString panel = visiblePanels().constFirst();
        const QRect frame = settledGeometry(panel);

        // Its session at the portal is made and the portal asked what it keeps
        // for the program. The shortcut is bound once in all: the portal keeps
        // it from whichever launch bound it first.
        QTRY_VERIFY_WITH_TIMEOUT(portalCalls().mid(callsBefore).contains(QStringLiteral("ListShortcuts")), 10'000);
        QCOMPARE(portalCalls().filter(QStringLiteral("BindShortcuts")),
                 QStringList{QStringLiteral("BindShortcuts toggle-window ALT+z")});

        // A click on the native terminal gives it the focus: XWayland's focus
        // leaves the panel.
        const QPoint away = farFrom(frame);
        QVERIFY(!frame.adjusted(-80, -80, 80, 80).contains(away));
        QVERIFY(movePointer(away));
        QVERIFY(host({QStringLiteral("click"), QStringLiteral("1")}));
        QTRY_VERIFY2_WITH_TIMEOUT(xwayland({QStringLiteral("getwindowfocus"), QStringLiteral("-f")}) != panel,
                                  qPrintable(diagnosis()), 5000);

        // The desktop reports the key: the panel hides, and comes back where
        // it was, each time.
        for (int cycle = 1; cycle <= cycles; ++cycle) {
            QVERIFY(portalControl().call(QStringLiteral("Activate")).type() == QDBusMessage::ReplyMessage);
            QTRY_VERIFY_WITH_TIMEOUT(visiblePanels().isEmpty(), 5000);
            QVERIFY(portalControl().call(QStringLiteral("Activate")).type() == QDBusMessage::ReplyMessage);
            QTRY_VERIFY_WITH_TIMEOUT(visiblePanels().size() == 1, 5000);
            QTRY_COMPARE_WITH_TIMEOUT(panelGeometry(visiblePanels().constFirst()), frame, 2000);
            QTest::qWait(300);
            QCOMPARE(panelGeometry(visiblePanels().constFirst()), frame);
        }
    }
};

QTEST_GUILESS_MAIN(TestWayland)
#include "tst_wayland.moc"
