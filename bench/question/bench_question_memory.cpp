// bench_question_memory: the memory of the question screen on the large set
// of the test support (150 questions with HTML options, 40 materials of 2 to
// 10 kB with tables, 600 px figures served by the fake service, a 12 kB
// stem), summed over the program and its web engine processes. Prints, one a
// line:
//   first stem: <ms> ms                 the set published -> first stem painted
//                                       (after the warm-up the home screen runs)
//   PSS: <MB> MB                        after opening the set, settled
//   RSS: <MB> MB
//   USS: <MB> MB                        pages of the tree no other process
//                                       maps (other programs that map the
//                                       same libraries lower PSS, not this)
//   main process PSS: <MB> MB           the program's own share of both
//   main process RSS: <MB> MB
//   next question: <ms> ms              median of the moves through the set
//   next question slowest: <ms> ms
//   PSS after paging: <MB> MB           after paging through all 150 and back
//                                       to the first, settled
//   RSS after paging: <MB> MB
//   USS after paging: <MB> MB
//   main process PSS after paging: <MB> MB
//   main process RSS after paging: <MB> MB
//   PSS highest while paging: <MB> MB   sampled every 10 questions
//   PSS lowest while paging: <MB> MB
//   PSS spread: <%> %                   (highest - lowest) / lowest
//   PSS growth: <%> %                   (after paging - after opening) / after opening
// The fake service runs as a child process and is left out of the figures.
// Run under xvfb-run. Options: --port N (default 18530); --trace prints each
// sample taken while paging on stderr, with the web views then drawn; --passes N pages through the set N
// times (forward and back each time; default 1) and prints on stderr the
// figures after each pass but the last, to tell a first pass's one-time
// costs from growth that goes on; --phases prints on stderr when each step
// towards the first stem happened; --opening-only stops after the figures
// of the opening; --cold opens the set without the program's warm-up of the
// content engine (as when a set is opened within moments of the home screen
// showing), which otherwise runs first (its time on stderr); --breakdown prints
// each process's largest mappings by PSS on stderr after opening and after
// paging, with the allocator's figures of the program and what a trim of
// its free memory would give back.

#include "../EventLoopWait.h"
#include "../ProcessTreeMemory.h"
#include "../QuickItemSearch.h"
#include "QuestionBenchScreen.h"
#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "FakeLargeSet.h"
#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTemporaryDir>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <algorithm>
#include <cstdio>
#include <memory>

#include <malloc.h>
#include <sys/prctl.h>

#include <csignal>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

using BenchItems::allItems;
using BenchItems::findItem;

bool stemShown(QQuickItem *view, AppModel &model)
{
    const int index = int(model.currentQuestionIndex());
    if (QQuickItem *page = findItem(view, QStringLiteral("page%1").arg(index)); page && page->isVisible()) {
        if (QQuickItem *stem = findItem(page, QStringLiteral("stemView")))
            return stem->property("contentHeight").toDouble() > 0;
    }
    auto *material = findItem(view, QStringLiteral("materialView"));
    if (!material || !material->isVisible())
        return false;
    QQuickItem *page = findItem(material, QStringLiteral("materialPage%1").arg(index));
    QQuickItem *stem = page ? findItem(page, QStringLiteral("stemView")) : nullptr;
    return stem && stem->property("contentHeight").toDouble() > 0;
}

void printUsage(const char *suffix, const BenchMemory::TreeUsage &usage)
{
    std::printf("PSS%s: %.1f MB\n", suffix, usage.tree.pss);
    std::printf("RSS%s: %.1f MB\n", suffix, usage.tree.rss);
    std::printf("USS%s: %.1f MB\n", suffix, usage.tree.uss);
    std::printf("main process PSS%s: %.1f MB\n", suffix, usage.main.pss);
    std::printf("main process RSS%s: %.1f MB\n", suffix, usage.main.rss);
    std::fflush(stdout);
}

QString processName(qint64 pid)
{
    QFile cmdline(QStringLiteral("/proc/%1/cmdline").arg(pid));
    if (!cmdline.open(QIODevice::ReadOnly))
        return QStringLiteral("?");
    const QList<QByteArray> args = cmdline.readAll().split('\0');
    QString name = QString::fromUtf8(args.value(0)).section(QLatin1Char('/'), -1);
    for (const QByteArray &arg : args) {
        if (arg.startsWith("--type="))
            name += QLatin1Char(' ') + QString::fromUtf8(arg.mid(7));
    }
    return name;
}

// The program's own allocator: in use, held free, and in large blocks of their own.
void printAllocator(const char *when)
{
    const struct mallinfo2 info = mallinfo2();
    std::fprintf(stderr, "-- %s: malloc in use %.1f MB, free in arenas %.1f MB (releasable at top %.1f MB), mmapped blocks %.1f MB\n",
                 when, double(info.uordblks) / 1048576.0, double(info.fordblks) / 1048576.0,
                 double(info.keepcost) / 1048576.0, double(info.hblkhd) / 1048576.0);
}

// The web views the engine draws (every one that is visible to it, also at
// opacity 0) and their area as 32-bit pixels: what their tiles cost at most.
void printWebViews(const char *when, QQuickItem *view)
{
    int count = 0;
    double bytes = 0;
    double tallest = 0;
    for (QQuickItem *item : allItems(view)) {
        if (!QByteArray(item->metaObject()->className()).contains("WebEngineView") || !item->isVisible())
            continue;
        ++count;
        const double ratio = item->window() ? item->window()->effectiveDevicePixelRatio() : 1.0;
        bytes += item->width() * item->height() * ratio * ratio * 4;
        tallest = std::max(tallest, item->height());
    }
    std::fprintf(stderr, "-- %s: %d web views shown to the engine, %.1f MB as pixels, tallest %.0f px\n", when, count,
                 bytes / 1048576.0, tallest);
}

void printBreakdown(const char *when, const QSet<qint64> &excluded)
{
    printAllocator(when);
    for (const qint64 pid : BenchMemory::treePids(QCoreApplication::applicationPid(), excluded)) {
        const QMap<QString, double> byMapping = BenchMemory::pssByMapping(pid);
        QList<std::pair<double, QString>> sorted;
        for (auto it = byMapping.cbegin(); it != byMapping.cend(); ++it)
            sorted.append({it.value(), it.key()});
        std::sort(sorted.begin(), sorted.end(), std::greater<>());
        std::fprintf(stderr, "-- %s: %s (pid %lld), PSS %.1f MB\n", when, qPrintable(processName(pid)),
                     static_cast<long long>(pid), BenchMemory::processUsage(pid).pss);
        for (int i = 0; i < std::min<qsizetype>(14, sorted.size()); ++i)
            std::fprintf(stderr, "   %8.1f MB  %s\n", sorted.at(i).first, qPrintable(sorted.at(i).second));
    }
}

// When each step towards the first stem happens: the page built, the stem's
// view built, its page address set, the engine's load ended, the height
// reported; and the web views and engine processes alive by then.
void tracePhases(QQuickItem *view, AppModel &model, const QElapsedTimer &timer, const QSet<qint64> &excluded)
{
    qint64 page = -1, stemItem = -1, addressed = -1, loaded = -1, processes = -1;
    const int processesBefore = int(BenchMemory::treePids(QCoreApplication::applicationPid(), excluded).size());
    int polls = 0;
    const bool shown = BenchWait::until([&] {
        QQuickItem *pageItem = findItem(view, QStringLiteral("page0"));
        if (pageItem && page < 0)
            page = timer.elapsed();
        QQuickItem *stem = pageItem ? findItem(pageItem, QStringLiteral("stemView")) : nullptr;
        if (stem && stemItem < 0)
            stemItem = timer.elapsed();
        auto *html = stem ? stem->property("view").value<QQuickItem *>() : nullptr;
        auto *controller = html ? html->property("controller").value<QObject *>() : nullptr;
        if (controller && addressed < 0 && controller->property("documentVersion").toInt() > 0)
            addressed = timer.elapsed();
        auto *web = html ? html->property("webView").value<QQuickItem *>() : nullptr;
        if (web && loaded < 0 && web->property("loadProgress").toInt() == 100 && !web->property("loading").toBool())
            loaded = timer.elapsed();
        if (processes < 0 && ++polls % 5 == 0
            && BenchMemory::treePids(QCoreApplication::applicationPid(), excluded).size() > processesBefore + 1)
            processes = timer.elapsed();
        return stemShown(view, model);
    }, 20000);
    int webViews = 0;
    for (QQuickItem *item : allItems(view))
        webViews += QByteArray(item->metaObject()->className()).contains("WebEngineView") ? 1 : 0;
    std::fprintf(stderr,
                 "-- phases (%s): page %lld, stem item %lld, address %lld, engine processes started %lld, loaded %lld, "
                 "height %lld ms; %d web views, %d processes before\n",
                 shown ? "shown" : "not shown", (long long)page, (long long)stemItem, (long long)addressed,
                 (long long)processes, (long long)loaded, (long long)timer.elapsed(), webViews, processesBefore);
}

} // namespace

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    const bool breakdown = args.contains(QStringLiteral("--breakdown"));
    const bool trace = args.contains(QStringLiteral("--trace"));
    const bool phases = args.contains(QStringLiteral("--phases"));
    const bool openingOnly = args.contains(QStringLiteral("--opening-only"));
    const bool cold = args.contains(QStringLiteral("--cold"));
    const qsizetype passesAt = args.indexOf(QStringLiteral("--passes"));
    const int passes = passesAt >= 0 ? std::max(1, args.value(passesAt + 1).toInt()) : 1;
    const qsizetype portAt = args.indexOf(QStringLiteral("--port"));
    const QString port = portAt >= 0 ? args.value(portAt + 1) : QStringLiteral("18530");

    // The figures come from the fake service, a child left out of the figures.
    QProcess service;
    service.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    service.start(QStringLiteral(VUZO_FAKE_SERVICE), {QStringLiteral("--port"), port});
    if (!service.waitForStarted(10000) || !BenchWait::until([&] { return service.canReadLine(); }, 10000)) {
        std::fprintf(stderr, "the fake service did not start\n");
        return 1;
    }
    const QSet<qint64> excluded{service.processId()};
    const QUrl base(QStringLiteral("http://127.0.0.1:%1").arg(port));

    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    UserDefaults::setStandard(&defaults);
    SystemClock clock;
    APIClient client(base.toString());
    AppModel model(client, defaults, clock);

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    AppModelSingleton::install(&engine, &model);
    std::unique_ptr<QObject> object = BenchScreen::createQuestionScreen(engine);
    if (!object)
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(object.get());
    auto *view = object->property("view").value<QQuickItem *>();
    if (!QTest::qWaitForWindowExposed(window))
        std::fprintf(stderr, "the window was not shown\n");
    BenchWait::run(500);

    QElapsedTimer timer;
    // The program's warm-up, as on the home screen before the user opens a
    // set: the content engine and its page process are up when the set comes,
    // and the warm-up lets go once the question screen shows (as there).
    std::unique_ptr<QQuickItem> warmup;
    if (!cold) {
        QQmlComponent starter(&engine);
        starter.setData("import QtQuick\nimport Vuzo\nContentWarmup { delay: 0 }",
                        QUrl(QStringLiteral("qrc:/bench/Warmup.qml")));
        warmup.reset(qobject_cast<QQuickItem *>(starter.create()));
        if (!warmup) {
            std::fprintf(stderr, "%s\n", qPrintable(starter.errorString()));
            return 1;
        }
        warmup->setParentItem(window->contentItem());
        timer.start();
        warmup->setProperty("wanted", true);
        if (!BenchWait::until([&] { return warmup->property("warm").toBool(); }, 20000))
            std::fprintf(stderr, "the warm-up did not finish\n");
        std::fprintf(stderr, "-- warm-up done in %lld ms\n", static_cast<long long>(timer.elapsed()));
        BenchWait::run(1000);
        warmup->setProperty("wanted", false);
    }
    {
        const QuestionModel set = QuestionModel::fromJson(FakeLargeSet::questionModel(base));
        timer.start();
        model.setQuestionModel(set);
        const qint64 questionModelSet = timer.elapsed();
        model.setQuestions(set.questionList);
        const qint64 questionsSet = timer.elapsed();
        model.setCurrentQuestionIndex(0);
        model.setScreen(AppScreen::questions);
        if (phases) {
            std::fprintf(stderr, "-- phases: question model published %lld, questions %lld, screen %lld ms\n",
                         (long long)questionModelSet, (long long)questionsSet, (long long)timer.elapsed());
            tracePhases(view, model, timer, excluded);
        }
    }
    const qint64 firstStem = BenchScreen::untilPainted(window, [&] { return stemShown(view, model); }, timer);
    std::printf("first stem: %lld ms\n", static_cast<long long>(firstStem));
    BenchWait::run(5000);
    // Settled: the warm-up's page is let go a while after the screen shows.
    if (warmup && !BenchWait::until([&] { return !warmup->property("warm").toBool(); }, 10000))
        std::fprintf(stderr, "the warm-up's page was kept\n");
    const BenchMemory::TreeUsage opened = BenchMemory::treeUsage(QCoreApplication::applicationPid(), excluded);
    printUsage("", opened);
    if (breakdown) {
        printWebViews("after opening", view);
        printBreakdown("after opening", excluded);
    }

    QList<qint64> moves;
    const auto finish = [&](int code) {
        warmup.reset();
        object.reset();
        UserDefaults::setStandard(nullptr);
        service.terminate();
        service.waitForFinished(5000);
        return code;
    };
    if (openingOnly)
        return finish(firstStem < 0 ? 1 : 0);
    double highest = opened.tree.pss;
    double lowest = opened.tree.pss;
    int lost = 0;
    const int last = int(model.questions().size()) - 1;
    for (int pass = 1; pass <= passes; ++pass) {
        for (int i = 1; i <= last; ++i) {
            timer.restart();
            model.moveQuestion(1);
            const qint64 shown = BenchScreen::untilPainted(window, [&] { return stemShown(view, model); }, timer);
            if (shown < 0)
                ++lost;
            else
                moves << shown;
            BenchWait::run(150);
            if (i % 10 == 0 || i == last) {
                BenchWait::run(1000);
                const BenchMemory::TreeUsage sample = BenchMemory::treeUsage(QCoreApplication::applicationPid(), excluded);
                const double pss = sample.tree.pss;
                if (trace) {
                    std::fprintf(stderr, "-- question %d: PSS %.1f MB, main %.1f MB, %d processes\n", i, pss, sample.main.pss,
                                 sample.processes);
                    printWebViews(qPrintable(QStringLiteral("question %1").arg(i)), view);
                }
                highest = std::max(highest, pss);
                lowest = std::min(lowest, pss);
            }
        }
        // Back to the first question: the screen is then as after opening, so the
        // two figures differ only by what paging left behind.
        for (int i = last - 1; i >= 0; --i) {
            model.moveQuestion(-1);
            if (!BenchWait::until([&] { return stemShown(view, model); }, 20000))
                ++lost;
            BenchWait::run(50);
        }
        if (pass < passes) {
            BenchWait::run(5000);
            const BenchMemory::TreeUsage after = BenchMemory::treeUsage(QCoreApplication::applicationPid(), excluded);
            std::fprintf(stderr, "-- after pass %d: PSS %.1f MB, RSS %.1f MB, main PSS %.1f MB, main RSS %.1f MB\n", pass,
                         after.tree.pss, after.tree.rss, after.main.pss, after.main.rss);
            highest = std::max(highest, after.tree.pss);
            lowest = std::min(lowest, after.tree.pss);
        }
    }
    std::sort(moves.begin(), moves.end());
    if (!moves.isEmpty()) {
        std::printf("next question: %lld ms\n", static_cast<long long>(moves.at(moves.size() / 2)));
        std::printf("next question slowest: %lld ms\n", static_cast<long long>(moves.last()));
    }
    if (lost > 0)
        std::fprintf(stderr, "%d questions did not show their stem\n", lost);
    BenchWait::run(5000);
    const BenchMemory::TreeUsage paged = BenchMemory::treeUsage(QCoreApplication::applicationPid(), excluded);
    highest = std::max(highest, paged.tree.pss);
    lowest = std::min(lowest, paged.tree.pss);
    printUsage(" after paging", paged);
    std::printf("PSS highest while paging: %.1f MB\n", highest);
    std::printf("PSS lowest while paging: %.1f MB\n", lowest);
    std::printf("PSS spread: %.1f %%\n", lowest > 0 ? (highest - lowest) * 100.0 / lowest : 0.0);
    std::printf("PSS growth: %.1f %%\n", opened.tree.pss > 0 ? (paged.tree.pss - opened.tree.pss) * 100.0 / opened.tree.pss : 0.0);
    std::fflush(stdout);
    if (breakdown) {
        printWebViews("after paging", view);
        printBreakdown("after paging", excluded);
        // What the allocator keeps that the program no longer uses.
        malloc_trim(0);
        BenchWait::run(500);
        std::fprintf(stderr, "-- after paging, trimmed: main process PSS %.1f MB\n",
                     BenchMemory::processUsage(QCoreApplication::applicationPid()).pss);
        printAllocator("after paging, trimmed");
    }

    return finish(lost > 0 ? 1 : 0);
}
