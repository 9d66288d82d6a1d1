// Figures of the window shell on an X server (started with xvfb-run when
// there is none): cold start to the panel's first frame, also in a Wayland
// session whose desktop portal never answers, and the CPU the idle program
// uses with auto-hide polling the pointer.
#include "shell/AppDelegate.h"
#include "shell/ProgramStart.h"
#include "windowing/HoverVisibilityController.h"
#include "windowing/PanelWindow.h"
#include "platform/UserDefaults.h"
#include "windowing/StandInShellModel.h"

#include <QApplication>
#include <QDBusConnection>
#include <QFile>
#include <QElapsedTimer>
#include <QProcess>
#include <QQuickItem>
#include <QTemporaryDir>
#include <QTimer>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>
#include <QQuickWindow>
#include <algorithm>
#include <optional>
#include <csignal>
#include <cstdio>
#include <sys/resource.h>
#include <unistd.h>

// The views' QML module, as the program links it.
Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
        + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The launch of the program as main() does it (in a settings folder of the
// bench's own); prints "frame" at the panel's first frame, or the idle CPU
// share after 10 s with auto-hide on.
int child(int argc, char *argv[], bool idle, bool autoHide)
{
    ProgramStart::beforeApplication();
    QApplication application(argc, argv);
    ProgramStart::afterApplication();
    // The real model and root view, on a settings folder of the bench's own.
    UserDefaults::standard().setValue(StandInShellModel::hoverAutoHideKey, autoHide);
    AppDelegate delegate;
    delegate.applicationDidFinishLaunching();

    if (!idle) {
        QObject::connect(delegate.panelWindow(), &QQuickWindow::frameSwapped, &application, [&delegate] {
            const bool rootView = delegate.panelWindow()->rootView()
                && QString::fromLatin1(delegate.panelWindow()->rootView()->metaObject()->className())
                       .startsWith(QLatin1String("RootView"));
            std::printf("frame %s\n", rootView ? "root-view" : "stand-in");
            std::fflush(stdout);
            QCoreApplication::exit(0);
        }, Qt::QueuedConnection);
        return QApplication::exec();
    }

    // Settle first, then measure 10 s of idling with the poll running.
    double start = 0;
    QTimer::singleShot(1000, &application, [&] {
        start = cpuSeconds();
        QTimer::singleShot(10000, &application, [&] {
            const double used = cpuSeconds() - start;
            std::printf("idle-cpu %.3f polling %d\n", used / 10.0 * 100.0,
                        int(delegate.hoverController()->isPolling()));
            std::fflush(stdout);
            QCoreApplication::exit(0);
        });
    });
    return QApplication::exec();
}

// The anchor: a bare Qt Quick window with Qt WebEngine initialised, shown
// and drawn once; prints "frame" at its first frame.
int anchor(int argc, char *argv[])
{
    QtWebEngineQuick::initialize();
    QApplication application(argc, argv);
    QQuickWindow window;
    window.resize(1060, 740);
    QObject::connect(&window, &QQuickWindow::frameSwapped, &application, [] {
        std::printf("frame anchor\n");
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }, Qt::QueuedConnection);
    window.show();
    return QApplication::exec();
}

// A desktop portal that takes every call and never answers: it owns the
// portal's name on the session bus, says "ready", and stops.
int silentPortal(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    if (!QDBusConnection::sessionBus().registerService(QStringLiteral("org.freedesktop.portal.Desktop")))
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    std::raise(SIGSTOP);
    return 0;
}

// Median of `runs` launches of self with `mode`, in ms, to its first line.
std::optional<QList<qint64>> launchTimes(const QString &self, const QString &mode, int runs, QByteArray *content,
                                         const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QList<qint64> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
        process.setProcessEnvironment(environment);
        QElapsedTimer clock;
        clock.start();
        process.start(self, {mode});
        if (!process.waitForReadyRead(20000))
            return std::nullopt;
        times.append(clock.elapsed());
        if (content)
            *content = process.readLine().trimmed().split(' ').value(1);
        process.waitForFinished(20000);
    }
    std::sort(times.begin(), times.end());
    return times;
}

// First frames with a session bus of the bench's own on which the portal's
// name is held by a process that never answers.
std::optional<QList<qint64>> silentPortalLaunchTimes(const QString &self, const QTemporaryDir &settings, int runs)
{
    QFile config(settings.filePath(QStringLiteral("bus.conf")));
    if (!config.open(QIODevice::WriteOnly))
        return std::nullopt;
    config.write("<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
                 "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                 "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>");
    config.close();
    QProcess bus;
    bus.start(QStringLiteral("dbus-daemon"),
              {QStringLiteral("--nofork"), QStringLiteral("--print-address=1"), QStringLiteral("--config-file=") + config.fileName()});
    if (!bus.waitForReadyRead(10000))
        return std::nullopt;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromLatin1(bus.readLine().trimmed()));
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), QStringLiteral("vuzo-bench-no-compositor"));
    QProcess portal;
    portal.setProcessEnvironment(environment);
    portal.start(self, {QStringLiteral("--silent-portal")});
    std::optional<QList<qint64>> times;
    if (portal.waitForReadyRead(10000))
        times = launchTimes(self, QStringLiteral("--first-frame"), runs, nullptr, environment);
    portal.kill(); // stopped: only a kill ends it
    portal.waitForFinished();
    bus.terminate();
    bus.waitForFinished();
    return times;
}

int parent(const QString &self)
{
    QTemporaryDir settings;
    if (!settings.isValid())
        return 1;
    qputenv("XDG_CONFIG_HOME", settings.path().toLocal8Bit());
    constexpr int runs = 7;
    QByteArray content;
    // Interleaved would be fairer still; one after the other in the same run
    // is what the figures below compare.
    const auto anchorTimes = launchTimes(self, QStringLiteral("--anchor-frame"), runs, nullptr);
    const auto times = launchTimes(self, QStringLiteral("--first-frame"), runs, &content);
    if (!anchorTimes || !times) {
        std::fprintf(stderr, "no first frame\n");
        return 1;
    }
    std::printf("first frame of a bare Qt Quick window with Qt WebEngine (%d runs): median %lld ms, best %lld ms, "
                "worst %lld ms\n",
                runs, anchorTimes->at(runs / 2), anchorTimes->first(), anchorTimes->last());
    std::printf("cold start to first frame of the panel (%s, %d runs): median %lld ms, best %lld ms, worst %lld ms "
                "(target < 1.5 x the bare window)\n",
                content.constData(), runs, times->at(runs / 2), times->first(), times->last());
    std::printf("panel first frame over bare window: %.2f x\n",
                double(times->at(runs / 2)) / double(std::max<qint64>(1, anchorTimes->at(runs / 2))));

    // The same launch in a Wayland session (the panel still on X11) whose
    // portal never answers: the hot key's backend is the portal's, and the
    // first frame must not wait for it.
    const auto silentTimes = silentPortalLaunchTimes(self, settings, runs);
    if (!silentTimes) {
        std::fprintf(stderr, "no first frame with a silent portal\n");
        return 1;
    }
    std::printf("cold start to first frame, Wayland session whose portal never answers (%d runs): median %lld ms, "
                "best %lld ms, worst %lld ms (target: as without it)\n",
                runs, silentTimes->at(runs / 2), silentTimes->first(), silentTimes->last());

    for (const bool autoHide : {false, true}) {
        QProcess idle;
        idle.start(self, {autoHide ? QStringLiteral("--idle-auto-hide") : QStringLiteral("--idle")});
        if (!idle.waitForFinished(40000)) {
            std::fprintf(stderr, "idle run did not finish\n");
            return 1;
        }
        const QList<QByteArray> words = idle.readAllStandardOutput().trimmed().split(' ');
        if (words.size() < 4 || words.at(0) != "idle-cpu" || words.at(3) != (autoHide ? "1" : "0")) {
            std::fprintf(stderr, "idle run gave no figure\n");
            return 1;
        }
        std::printf("idle CPU over 10 s, auto-hide %s: %s %% of one core%s\n", autoHide ? "on (25-ms poll)" : "off",
                    words.at(1).constData(), autoHide ? " (target < 1 %)" : "");
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    const QString mode = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QString();
    if (mode == QLatin1String("--silent-portal"))
        return silentPortal(argc, argv);
    if (mode == QLatin1String("--anchor-frame")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return anchor(argc, argv);
    }
    if (mode == QLatin1String("--first-frame") || mode.startsWith(QLatin1String("--idle"))) {
        qputenv("QT_QPA_PLATFORM", "xcb");
        return child(argc, argv, mode != QLatin1String("--first-frame"), mode == QLatin1String("--idle-auto-hide"));
    }
    const QString self = QString::fromLocal8Bit(argv[0]);
    if (qEnvironmentVariableIsEmpty("DISPLAY")) {
        // No X server: run the whole measurement inside a fresh one.
        const QByteArray xvfb = "xvfb-run";
        execlp(xvfb.constData(), xvfb.constData(), "-a", "-s", "-screen 0 1440x900x24 -nolisten tcp", argv[0],
               static_cast<char *>(nullptr));
        std::perror("xvfb-run");
        return 1;
    }
    QCoreApplication application(argc, argv);
    return parent(QCoreApplication::applicationFilePath());
}
