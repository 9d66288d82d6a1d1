// Figures of the window shell on an X server (started with xvfb-run when
// there is none): cold start to the panel's first frame, and the CPU the idle
// program uses with auto-hide polling the pointer.
#include "shell/AppDelegate.h"
#include "windowing/HoverVisibilityController.h"
#include "windowing/PanelWindow.h"
#include "platform/UserDefaults.h"
#include "windowing/StandInShellModel.h"

#include <QApplication>
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
    QtWebEngineQuick::initialize();
    QApplication application(argc, argv);
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

// Median of `runs` launches of self with `mode`, in ms, to its first line.
std::optional<QList<qint64>> launchTimes(const QString &self, const QString &mode, int runs, QByteArray *content)
{
    QList<qint64> times;
    for (int i = 0; i < runs; ++i) {
        QProcess process;
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
