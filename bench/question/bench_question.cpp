// bench_question: the question screen with a 150-question set that has
// materials. Prints, one a line:
//   first stem with a cold engine: <ms> ms   the run's first set, engine starting
//   first stem: <ms> ms        model publishes the set -> first stem painted
//   next question: <ms> ms     median of 20 moves -> the next stem painted
//   RSS: <MB> MB               the program and all its web processes, settled
//   RSS after paging: <MB> MB  after paging through all 150 and back
//   anchor RSS: <MB> MB        a bare window with as many web views of small
//                              HTML as the screen mounts, same process model
//   anchor pages loaded: <ms> ms  its cold start, for comparing machines
// Run under xvfb-run; "--anchor N" is the anchor's own child run.

#include "../EventLoopWait.h"
#include "../ProcessTreeMemory.h"
#include "../QuickItemSearch.h"
#include "QuestionBenchScreen.h"
#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "app/AppModel.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QApplication>
#include <QElapsedTimer>
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

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

using BenchItems::allItems;
using BenchItems::findItem;
using BenchMemory::treeRssMegabytes;

void settle(int ms)
{
    BenchWait::run(ms);
}

QList<Question> makeSet(QList<Material> &materials)
{
    QList<Question> set;
    for (int m = 0; m < 10; ++m)
        materials << Material{QStringLiteral("m%1").arg(m), QStringLiteral("资料 %1").arg(m),
                              QStringLiteral("<p>资料正文 %1：").arg(m) + QString(QStringLiteral("根据下列资料回答问题。")).repeated(20)
                                  + QStringLiteral("</p>")};
    for (int i = 0; i < 150; ++i) {
        Question q;
        q.id = QStringLiteral("q%1").arg(i);
        q.context = QStringLiteral("<p>第 %1 题：下列说法正确的是（ ）。").arg(i + 1)
            + QString(QStringLiteral("这是一段题干文字。")).repeated(8) + QStringLiteral("</p>");
        q.questionOptions = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙"), QStringLiteral("丁")};
        q.answer = QStringLiteral("A");
        // Every fifth block of five questions shares a material.
        if ((i / 5) % 5 == 4)
            q.materialsId = materials.at((i / 25) % materials.size()).id;
        set << q;
    }
    return set;
}

QQuickItem *currentStem(QQuickItem *view, int index)
{
    return findItem(findItem(view, QStringLiteral("page%1").arg(index)), QStringLiteral("stemView"));
}

bool stemShown(QQuickItem *view, AppModel &model)
{
    const int index = int(model.currentQuestionIndex());
    if (QQuickItem *stem = currentStem(view, index))
        return stem->property("contentHeight").toDouble() > 0;
    // A material question: its views are in the material pane.
    auto *material = findItem(view, QStringLiteral("materialView"));
    if (!material || !material->isVisible())
        return false;
    for (QQuickItem *item : allItems(material)) {
        if (item->property("contentHeight").toDouble() > 0 && item->metaObject()->indexOfProperty("imageViewer") >= 0)
            return true;
    }
    return false;
}

int runAnchor(int count)
{
    QQmlEngine engine;
    QQmlComponent component(&engine);
    component.setData(QStringLiteral(R"(
import QtQuick
import QtQuick.Window
import QtWebEngine
Window {
    width: 1100; height: 760; visible: true
    property int loaded: 0
    Column {
        Repeater {
            model: %1
            WebEngineView {
                width: 600; height: 120
                Component.onCompleted: loadHtml("<p>第 " + index + " 题：一段题干文字。</p>")
                onLoadingChanged: (info) => { if (info.status === WebEngineView.LoadSucceededStatus) loaded += 1 }
            }
        }
    }
}
)")
                          .arg(count)
                          .toUtf8(),
                      QUrl());
    QElapsedTimer anchorClock;
    anchorClock.start();
    std::unique_ptr<QObject> window(component.create());
    if (!window)
        return 1;
    if (!BenchWait::until([&] { return window->property("loaded").toInt() >= count; }, 30000))
        std::fprintf(stderr, "the anchor's pages did not all load\n");
    const qint64 loadedAfter = anchorClock.elapsed();
    settle(2000);
    std::printf("%.1f %lld\n", treeRssMegabytes(QCoreApplication::applicationPid()), static_cast<long long>(loadedAfter));
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--anchor")
        return runAnchor(QByteArray(argv[2]).toInt());

    QTemporaryDir dir;
    UserDefaults defaults(dir.filePath(QStringLiteral("defaults.json")));
    UserDefaults::setStandard(&defaults);
    SystemClock clock;
    APIClient client(QStringLiteral("http://127.0.0.1:9"));
    AppModel model(client, defaults, clock);

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    AppModelSingleton::install(&engine, &model);
    std::unique_ptr<QObject> object = BenchScreen::createQuestionScreen(engine);
    if (!object)
        return 1;
    auto *window = qobject_cast<QQuickWindow *>(object.get());
    auto *view = object->property("view").value<QQuickItem *>();
    view->setProperty("model", QVariant::fromValue<QObject *>(&model));
    if (!QTest::qWaitForWindowExposed(window))
        std::fprintf(stderr, "the window was not shown\n");
    settle(500);

    QList<Material> materials;
    const QList<Question> set = makeSet(materials);
    QuestionModel questionModel;
    questionModel.materialsList = materials;
    questionModel.questionList = set;

    QElapsedTimer timer;
    // The first set of a run also starts the web engine's processes; that
    // cost is printed on its own line, then the set is opened again warm.
    {
        QuestionModel one;
        one.questionList = {set.first()};
        timer.start();
        model.setQuestionModel(one);
        model.setQuestions(one.questionList);
        model.setCurrentQuestionIndex(0);
        model.setScreen(AppScreen::questions);
        const qint64 cold = BenchScreen::untilPainted(window, [&] { return stemShown(view, model); }, timer);
        std::printf("first stem with a cold engine: %lld ms\n", static_cast<long long>(cold));
        std::fflush(stdout);
        model.setQuestions({});
        settle(1500);
    }

    timer.restart();
    model.setQuestionModel(questionModel);
    model.setQuestions(set);
    model.setCurrentQuestionIndex(0);
    model.setScreen(AppScreen::questions);
    if (qEnvironmentVariableIsSet("VUZO_BENCH_TRACE")) {
        qint64 found = -1, loaded = -1, progress = -1;
        const bool shown = BenchWait::until([&] {
            QQuickItem *stem = currentStem(view, 0);
            if (stem && found < 0)
                found = timer.elapsed();
            QObject *controller = stem ? stem->property("view").value<QQuickItem *>()->property("controller").value<QObject *>() : nullptr;
            if (controller && loaded < 0 && controller->property("documentVersion").toInt() > 0)
                loaded = timer.elapsed();
            QQuickItem *web = stem ? stem->property("view").value<QQuickItem *>()->property("webView").value<QQuickItem *>() : nullptr;
            if (web && progress < 0 && web->property("loadProgress").toInt() == 100)
                progress = timer.elapsed();
            return stemShown(view, model);
        }, 20000);
        std::printf("trace (%s): stem item %lld, page set %lld, loaded %lld, height %lld ms\n", shown ? "shown" : "not shown", (long long)found,
                    (long long)loaded, (long long)progress, (long long)timer.elapsed());
    }
    const qint64 firstStem = BenchScreen::untilPainted(window, [&] { return stemShown(view, model); }, timer);
    std::printf("first stem: %lld ms\n", static_cast<long long>(firstStem));
    std::fflush(stdout);
    settle(3000);

    QList<qint64> moves;
    for (int i = 0; i < 20; ++i) {
        timer.restart();
        model.moveQuestion(1);
        moves << BenchScreen::untilPainted(window, [&] { return stemShown(view, model); }, timer);
        settle(400);
    }
    std::sort(moves.begin(), moves.end());
    std::printf("next question: %lld ms\n", static_cast<long long>(moves.at(moves.size() / 2)));
    std::printf("next question slowest: %lld ms\n", static_cast<long long>(moves.last()));
    settle(2000);
    const double settled = treeRssMegabytes(QCoreApplication::applicationPid());
    std::printf("RSS: %.1f MB\n", settled);
    std::fflush(stdout);

    for (int i = int(model.currentQuestionIndex()); i < 149; ++i) {
        model.moveQuestion(1);
        settle(60);
    }
    for (int i = 149; i > 0; --i) {
        model.moveQuestion(-1);
        settle(60);
    }
    settle(3000);
    std::printf("RSS after paging: %.1f MB\n", treeRssMegabytes(QCoreApplication::applicationPid()));

    // The anchor: as many plain web views as the screen mounts at most (five
    // pages with one stem each), in a process of its own.
    int mounted = 0;
    for (QQuickItem *item : allItems(view)) {
        if (QByteArray(item->metaObject()->className()).contains("WebEngineView"))
            ++mounted;
    }
    QProcess anchor;
    anchor.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--anchor"), QString::number(std::max(mounted, 5))});
    anchor.waitForFinished(120000);
    std::printf("mounted web views: %d\n", mounted);
    const QList<QByteArray> anchorFigures = anchor.readAllStandardOutput().trimmed().split(' ');
    std::printf("anchor RSS: %s MB\n", anchorFigures.value(0).constData());
    std::printf("anchor pages loaded: %s ms\n", anchorFigures.value(1).constData());
    object.reset();
    UserDefaults::setStandard(nullptr);
    return 0;
}
