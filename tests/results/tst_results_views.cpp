// The results screens loaded in an offscreen window with the real model on
// the fake service: what the user sees and what a click does.

#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "MaterialSplitController.h"
#include "MaterialSplitGeometry.h"
#include "ResultsTestSupport.h"
#include "Theme.h"

#include <QApplication>
#include <QFont>
#include <QQmlComponent>
#include <QWheelEvent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QWheelEvent>
#include <QtPlugin>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <algorithm>
#include <cmath>
#include <functional>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

using namespace PracticeTest;
using namespace ResultsTest;

namespace {

QQuickItem *find(QQuickItem *from, const QString &name)
{
    if (from->objectName() == name)
        return from;
    for (QQuickItem *child : from->childItems()) {
        if (QQuickItem *found = find(child, name))
            return found;
    }
    return nullptr;
}

// A list keeps the delegates it may reuse, hidden: only visible rows count.
QQuickItem *findShown(QQuickItem *from, const QString &name)
{
    if (!from->isVisible())
        return nullptr;
    if (from->objectName() == name)
        return from;
    for (QQuickItem *child : from->childItems()) {
        if (QQuickItem *found = findShown(child, name))
            return found;
    }
    return nullptr;
}

int countPrefixed(QQuickItem *from, const QString &prefix)
{
    int count = from->objectName().startsWith(prefix) && from->isVisible() ? 1 : 0;
    for (QQuickItem *child : from->childItems())
        count += countPrefixed(child, prefix);
    return count;
}

QJsonObject logRow(int i, int status)
{
    return QJsonObject{{QStringLiteral("id"), QStringLiteral("r%1").arg(i)},
                       {QStringLiteral("examId"), QStringLiteral("e%1").arg(i)},
                       {QStringLiteral("examName"), QStringLiteral("练习 %1").arg(i)},
                       {QStringLiteral("examStatus"), status},
                       {QStringLiteral("rightNum"), 3},
                       {QStringLiteral("wrongNum"), 1},
                       {QStringLiteral("unAnswerNum"), 1},
                       {QStringLiteral("beginTime"), QString::number(1'700'000'000'000 - i)}};
}

// The first text an item draws: a link button's label.
QQuickItem *firstText(QQuickItem *from)
{
    if (from->inherits("QQuickText") && !from->property("text").toString().isEmpty())
        return from;
    for (QQuickItem *child : from->childItems()) {
        if (QQuickItem *found = firstText(child))
            return found;
    }
    return nullptr;
}

} // namespace

class TestResultsViews : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    std::unique_ptr<QQuickView> view;
    std::unique_ptr<QObject> runner;

    AppModel &model() { return *env->model; }
    QQuickItem *root() { return view->rootObject(); }

    QQuickItem *item(const char *name)
    {
        QQuickItem *found = find(root(), QString::fromLatin1(name));
        if (!found)
            qWarning("no item named %s", name);
        return found;
    }

    bool show(const QString &file)
    {
        view = std::make_unique<QQuickView>();
        AppModelSingleton::install(view->engine(), env->model.get());
        view->setResizeMode(QQuickView::SizeRootObjectToView);
        view->resize(1000, 720);
        view->setSource(QUrl(QStringLiteral("qrc:/Vuzo/") + file));
        if (view->status() != QQuickView::Ready) {
            qWarning() << view->errors();
            return false;
        }
        view->show();
        return QTest::qWaitForWindowExposed(view.get());
    }

    QString textOf(const char *name)
    {
        QQuickItem *found = item(name);
        return found ? found->property("text").toString() : QStringLiteral("<no %1>").arg(QLatin1String(name));
    }

    void click(QQuickItem *target)
    {
        QVERIFY(target);
        const QPointF centre = target->mapToScene(QPointF(target->width() / 2, target->height() / 2));
        QTest::mouseClick(view.get(), Qt::LeftButton, Qt::NoModifier, centre.toPoint());
    }

    // The result of a script run in the page of an HtmlWebView.
    QVariant evaluate(QQuickItem *htmlView, const QString &text)
    {
        if (!runner) {
            QQmlComponent script(view->engine());
            script.setData("import QtQuick\nQtObject {\n property var last\n property int results: 0\n"
                           " function run(web, text) { web.runJavaScript(text, function (r) { last = r; results += 1; }); }\n}",
                           QUrl(QStringLiteral("qrc:/test/Runner.qml")));
            runner.reset(script.create());
        }
        auto *web = htmlView->property("webView").value<QObject *>();
        const int before = runner->property("results").toInt();
        QMetaObject::invokeMethod(runner.get(), "run", Q_ARG(QVariant, QVariant::fromValue(web)), Q_ARG(QVariant, text));
        if (!QTest::qWaitFor([&] { return runner->property("results").toInt() > before; }, 10000))
            return QStringLiteral("<no result>");
        return runner->property("last");
    }

    void drag(QPoint from, QPoint to)
    {
        QTest::mouseMove(view.get(), from);
        QTest::qWait(30);
        QTest::mousePress(view.get(), Qt::LeftButton, {}, from);
        QTest::qWait(30);
        constexpr int steps = 15;
        for (int i = 1; i <= steps; ++i) {
            QTest::mouseMove(view.get(), from + (to - from) * i / steps);
            QTest::qWait(20);
        }
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, to);
        QTest::qWait(50);
    }

    void settle() { QTRY_VERIFY(!model().isLoading() && !model().practiceHistory()->isLoading()); }

    // Puts one results screen up with enough data to build all its parts.
    bool showScreen(const QString &screen)
    {
        if (screen == QLatin1String("report")) {
            model().setReport(report(1, 1, 0, {choice(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("A")),
                                               choice(QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("B"))}));
            model().setScreen(AppScreen::report);
            return show(QStringLiteral("ReportView.qml"));
        }
        if (screen == QLatin1String("analysis")) {
            model().setAnalysisQuestions({choice(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("B")),
                                          choice(QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("A"))});
            model().setCurrentAnalysisIndex(0);
            model().setAnalysisFromCollections(false);
            model().setScreen(AppScreen::analysis);
            return show(QStringLiteral("AnalysisView.qml"));
        }
        if (screen == QLatin1String("collections")) {
            model().setScreen(AppScreen::collections);
            return show(QStringLiteral("CollectionsView.qml"));
        }
        QJsonArray page;
        for (int i = 0; i < 8; ++i)
            page.append(logRow(i, 2));
        env->service.setData(listPath, page);
        model().showPracticeHistory();
        if (!show(QStringLiteral("HistoryView.qml")))
            return false;
        settle();
        return true;
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<Environment>();
        env->makeModel();
    }

    void cleanup()
    {
        runner.reset();
        view.reset();
        env.reset();
    }

    void reportScreen()
    {
        model().setReport(report(7, 2, 1,
                                 {choice(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("A")),
                                  choice(QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("B")),
                                  choice(QStringLiteral("c"), QStringLiteral("A"), QString())},
                                 QStringLiteral("3725")));
        model().setScreen(AppScreen::report);
        QVERIFY(show(QStringLiteral("ReportView.qml")));
        QCOMPARE(item("rateText")->property("text").toString(), QStringLiteral("70%"));
        QCOMPARE(item("reportSummary")->property("text").toString(), QStringLiteral("本次练习共 10 题，用时 62分5秒"));
        QCOMPARE(item("reportTitle")->property("textFormat").toInt(), int(Qt::PlainText));
        QVERIFY(item("wrongAnalysisButton")->isVisible());
        QVERIFY(!item("reportEmptyState")->isVisible());

        // A title too long for its line wraps; none of it is cut.
        HistoryReport longTitle = *model().report();
        longTitle.title = QStringLiteral("2024年国家公务员录用考试《行政职业能力测验》（地市级）言语理解与表达专项强化训练");
        model().setReport(longTitle);
        QQuickItem *title = item("reportTitle");
        QTRY_VERIFY(title->property("lineCount").toInt() > 1);
        QVERIFY(!title->property("truncated").toBool());
        QCOMPARE(title->property("text").toString(), longTitle.title);

        click(item("reportCircle2"));
        QCOMPARE(model().screen(), AppScreen::analysis);
        QCOMPARE(model().currentAnalysisIndex(), 1);
    }

    void reportWithoutReport()
    {
        model().setScreen(AppScreen::report);
        QVERIFY(show(QStringLiteral("ReportView.qml")));
        QVERIFY(item("reportEmptyState")->isVisible());
        QVERIFY(!item("reportActionBar")->isVisible());
        click(item("reportBack"));
        QCOMPARE(model().screen(), AppScreen::home);
    }

    void analysisScreen()
    {
        QList<Question> questions;
        for (int i = 0; i < 12; ++i)
            questions.append(choice(QStringLiteral("q%1").arg(i), QStringLiteral("A"), i % 3 ? QStringLiteral("A") : QStringLiteral("C")));
        model().setAnalysisQuestions(questions);
        model().setCurrentAnalysisIndex(0);
        model().setAnalysisFromCollections(false);
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));
        QCOMPARE(item("analysisProgress")->property("text").toString(), QStringLiteral("1 / 12"));

        // Collapsed at first: only the handle strip shows.
        QQuickItem *handle = item("answerCardHandle");
        QCOMPARE(handle->parentItem()->width(), 36.0);
        click(handle);
        QTRY_COMPARE(handle->parentItem()->width(), 250.0);
        click(item("navigatorCircle7"));
        QCOMPARE(model().currentAnalysisIndex(), 6);
        QCOMPARE(item("analysisProgress")->property("text").toString(), QStringLiteral("7 / 12"));
        click(item("navigatorNext"));
        QCOMPARE(model().currentAnalysisIndex(), 7);
        click(item("cardPrevious"));
        QCOMPARE(model().currentAnalysisIndex(), 6);
        // q6 was answered C against A: C is marked as a wrong pick.
        QVERIFY(item("analysisOptionC"));
        QCOMPARE(item("userAnswer")->property("text").toString(), QStringLiteral("C"));

        // The collect toggle of the shown question.
        QCOMPARE(textOf("collectText"), QStringLiteral("收藏"));
        answerWith(env->service, collectPath, true);
        click(item("analysisCollect"));
        QTRY_COMPARE(textOf("collectText"), QStringLiteral("已收藏"));
        QCOMPARE(env->lastBody(collectPath).value(QStringLiteral("questionId")).toString(), QStringLiteral("q6"));

        click(item("analysisBack"));
        QCOMPARE(model().screen(), AppScreen::report);
    }

    // Over the stem a sideways drag selects its text and keeps the question,
    // while the same drag elsewhere on the pane turns it; a sideways wheel
    // turn over the stem reaches the screen's paging.
    void analysisContentKeepsItsDrags()
    {
        QList<Question> questions;
        for (int i = 0; i < 3; ++i)
            questions.append(choice(QStringLiteral("q%1").arg(i), QStringLiteral("A"), QStringLiteral("A")));
        questions[1].context = QStringLiteral("<p>") + QString(40, QChar(u'析')) + QStringLiteral("</p>");
        model().setAnalysisQuestions(questions);
        model().setCurrentAnalysisIndex(1);
        model().setAnalysisFromCollections(false);
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));
        QQuickItem *stem = item("analysisStem");
        QVERIFY(stem);
        auto *html = stem->property("view").value<QQuickItem *>();
        QTRY_VERIFY_WITH_TIMEOUT(html->property("contentHeight").toDouble() > 10, 20000);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate(html, QStringLiteral("document.readyState")).toString(),
                                  QStringLiteral("complete"), 10000);

        const QPoint start = stem->mapToScene(QPointF(8, 18)).toPoint();
        drag(start, start + QPoint(300, 0));
        QCOMPARE(model().currentAnalysisIndex(), 1);
        QTRY_VERIFY(evaluate(html, QStringLiteral("window.getSelection().toString().length")).toInt() >= 5);

        QQuickItem *pane = item("analysisQuestionPane");
        const QPoint aside = pane->mapToScene(QPointF(pane->width() - 20, pane->height() - 30)).toPoint();
        drag(aside, aside - QPoint(300, 0));
        QCOMPARE(model().currentAnalysisIndex(), 2);

        const QPoint over = stem->mapToScene(QPointF(20, 20)).toPoint();
        QVERIFY(stem->contains(stem->mapFromScene(over)));
        QWheelEvent wheel(over, view->mapToGlobal(over), QPoint(), QPoint(120, 0), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QGuiApplication::sendEvent(view.get(), &wheel);
        QTRY_COMPARE(model().currentAnalysisIndex(), 1);
    }

    // The swipe's 60 points are the content's own: under the panel's zoom
    // (the screen laid out at the window's size divided by the zoom and drawn
    // scaled) a drag covers its window distance divided by the zoom.
    void analysisSwipeIsMeasuredInTheZoomedContent_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("windowPixels");
        QTest::addColumn<bool>("turns");
        QTest::newRow("zoom 1.5, 60 px = 40 pt") << 1.5 << 60 << false;
        QTest::newRow("zoom 1.5, 90 px = 60 pt") << 1.5 << 90 << true;
        QTest::newRow("zoom 0.5, 30 px = 60 pt") << 0.5 << 30 << true;
        QTest::newRow("zoom 0.5, 28 px = 56 pt") << 0.5 << 28 << false;
        QTest::newRow("zoom 1, 58 px") << 1.0 << 58 << false;
        QTest::newRow("zoom 1, 62 px") << 1.0 << 62 << true;
    }
    void analysisSwipeIsMeasuredInTheZoomedContent()
    {
        QFETCH(double, zoom);
        QFETCH(int, windowPixels);
        QFETCH(bool, turns);
        QList<Question> questions;
        for (int i = 0; i < 3; ++i)
            questions.append(choice(QStringLiteral("q%1").arg(i), QStringLiteral("A"), QStringLiteral("A")));
        model().setAnalysisQuestions(questions);
        model().setCurrentAnalysisIndex(1);
        model().setAnalysisFromCollections(false);
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));
        root()->setTransformOrigin(QQuickItem::TopLeft);
        root()->setScale(zoom);
        root()->setSize(QSizeF(view->width() / zoom, view->height() / zoom));
        QTest::qWait(50);

        // Low on the right of the pane, below the question's content.
        QQuickItem *pane = item("analysisQuestionPane");
        const QPoint start = pane->mapToScene(QPointF(pane->width() - 20, pane->height() - 20)).toPoint();
        drag(start, start - QPoint(windowPixels, 0));
        QCOMPARE(model().currentAnalysisIndex(), turns ? 2 : 1);
        drag(start - QPoint(windowPixels, 0), start);
        QCOMPARE(model().currentAnalysisIndex(), 1);
    }

    // The collect button is the question screen's: its full 86 × 32 frame
    // beside a source line that gives way, "处理中" while the change is out.
    void analysisCollectButton()
    {
        Question question = choice(QStringLiteral("q1"), QStringLiteral("A"), QStringLiteral("B"));
        question.questionFrom = QStringLiteral("2023年国家公务员录用考试《行政职业能力测验》（地市级）第二部分言语理解与表达第四十六题至第六十题");
        model().setAnalysisQuestions({question});
        model().setCurrentAnalysisIndex(0);
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));
        view->resize(450, 720); // the panel's least width, with the navigator collapsed
        QQuickItem *collect = item("analysisCollect");
        QQuickItem *source = item("analysisSource");
        QQuickItem *pane = item("analysisQuestionPane");
        QVERIFY(collect && source && pane);
        QTRY_COMPARE(collect->width(), 86.0);
        QCOMPARE(collect->height(), 32.0);
        QVERIFY(source->property("truncated").toBool());
        const double sourceEnd = source->mapToScene(QPointF(source->width(), 0)).x();
        const double collectStart = collect->mapToScene(QPointF(0, 0)).x();
        QVERIFY2(sourceEnd <= collectStart, qPrintable(QStringLiteral("%1 > %2").arg(sourceEnd).arg(collectStart)));
        QVERIFY(collect->mapToScene(QPointF(collect->width(), 0)).x() <= pane->mapToScene(QPointF(pane->width(), 0)).x());

        env->service.holdReplies(collectPath);
        answerWith(env->service, collectPath, true);
        click(collect);
        QTRY_COMPARE(textOf("collectText"), QStringLiteral("处理中"));
        QQuickItem *control = find(collect, QStringLiteral("collectControl"));
        QVERIFY(control);
        QVERIFY(!control->isEnabled());
        env->service.releaseReplies(collectPath);
        QTRY_COMPARE(textOf("collectText"), QStringLiteral("已收藏"));
        QQuickItem *symbol = item("collectSymbol");
        QVERIFY(symbol);
        QCOMPARE(symbol->property("name").toString(), QStringLiteral("star.fill"));
    }

    // The question pane keeps each question's position under its own key and
    // brings it back once the returning question's page has grown again.
    void analysisQuestionPaneRemembersItsPosition()
    {
        QString tall;
        for (int i = 0; i < 80; ++i)
            tall += QStringLiteral("<p>题干第 %1 段，文字足够长以撑开页面。</p>").arg(i);
        QList<Question> questions{choice(QStringLiteral("q0"), QStringLiteral("A"), QStringLiteral("A")),
                                  choice(QStringLiteral("q1"), QStringLiteral("A"), QStringLiteral("A"), QuestionType::single, 2),
                                  choice(QStringLiteral("q2"), QStringLiteral("A"), QStringLiteral("A"))};
        questions[0].context = tall;
        questions[2].context = tall;
        model().setAnalysisQuestions(questions);
        model().setCurrentAnalysisIndex(0);
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));
        QQuickItem *pane = item("analysisQuestionPane");
        const auto contentY = [&] { return pane->property("contentY").toDouble(); };
        QTRY_VERIFY_WITH_TIMEOUT(pane->property("contentHeight").toDouble() > 2000, 15000);
        pane->setProperty("contentY", 400.0);

        model().moveAnalysis(1); // short: its page starts at the top
        QTRY_COMPARE(contentY(), 0.0);
        QTRY_VERIFY_WITH_TIMEOUT(pane->property("contentHeight").toDouble() < 1500, 15000);
        model().moveAnalysis(-1); // back on a page that still has the short heights
        QTRY_COMPARE_WITH_TIMEOUT(contentY(), 400.0, 15000);

        model().moveAnalysis(2); // another tall question: its own key, from the top
        QTRY_COMPARE(contentY(), 0.0);
        pane->setProperty("contentY", 250.0);
        model().moveAnalysis(-2);
        QTRY_COMPARE_WITH_TIMEOUT(contentY(), 400.0, 15000);
        model().moveAnalysis(2);
        QTRY_COMPARE_WITH_TIMEOUT(contentY(), 250.0, 15000);
    }

    // A restore that waits for the page to grow gives way to the user: a
    // wheel turn in the meantime keeps the pane where the user put it.
    void analysisUserScrollEndsAWaitingRestore()
    {
        QString tall;
        for (int i = 0; i < 120; ++i)
            tall += QStringLiteral("<p>题干第 %1 段，文字足够长以撑开页面。</p>").arg(i);
        QList<Question> questions{choice(QStringLiteral("q0"), QStringLiteral("A"), QStringLiteral("A")),
                                  choice(QStringLiteral("q1"), QStringLiteral("A"), QStringLiteral("A"), QuestionType::single, 12)};
        questions[0].context = tall;
        model().setAnalysisQuestions(questions);
        model().setCurrentAnalysisIndex(0);
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));
        QQuickItem *pane = item("analysisQuestionPane");
        const auto contentHeight = [&] { return pane->property("contentHeight").toDouble(); };
        QTRY_VERIFY_WITH_TIMEOUT(contentHeight() > 4000, 15000);
        pane->setProperty("contentY", 3000.0);
        model().moveAnalysis(1);
        QTRY_VERIFY_WITH_TIMEOUT(contentHeight() < 2500, 15000);
        QVERIFY(contentHeight() > pane->height() + 300);

        // Back on q0 while its page still has q1's height: the restore waits.
        model().moveAnalysis(-1);
        const double waiting = pane->property("contentY").toDouble();
        QVERIFY(waiting < 2500);
        // The wheel over the pane's margin, before q0's page reports.
        const QPointF at = pane->mapToScene(QPointF(10, pane->height() / 2));
        QWheelEvent wheel(at, view->mapToGlobal(at.toPoint()), QPoint(0, 120), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(view.get(), &wheel);

        QTRY_VERIFY_WITH_TIMEOUT(contentHeight() > 4000, 15000);
        QTest::qWait(300);
        QVERIFY2(pane->property("contentY").toDouble() < 2500,
                 qPrintable(QString::number(pane->property("contentY").toDouble())));
    }

    // Material questions: one material pane per material that comes back
    // where it was left once its page is tall enough again, and the split per
    // question, dragged with the pointer.
    void analysisMaterialPaneAndSplit()
    {
        QString tall;
        for (int i = 0; i < 80; ++i)
            tall += QStringLiteral("<p>材料第 %1 段，文字足够长以撑开页面。</p>").arg(i);
        const QList<Material> materials{Material{QStringLiteral("m1"), QStringLiteral("材料一"), tall},
                                        Material{QStringLiteral("m2"), QString(), QStringLiteral("<p>短材料</p>")}};
        QList<Question> questions;
        for (const QString &materialId : {QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("m1")}) {
            Question question = choice(QStringLiteral("s%1").arg(questions.size()), QStringLiteral("A"), QStringLiteral("A"));
            question.materialsId = materialId;
            questions.append(question);
        }
        model().setAnalysisQuestions(questions);
        model().setAnalysisMaterials(materials);
        model().setCurrentAnalysisIndex(0);
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));

        QQuickItem *pane = item("materialPane");
        QVERIFY(pane);
        // The material pane remembers its position per material.
        const auto scroller = [&]() -> QQuickItem * {
            QList<QQuickItem *> pending{pane};
            while (!pending.isEmpty()) {
                QQuickItem *next = pending.takeFirst();
                if (next->inherits("QQuickFlickable"))
                    return next;
                pending.append(next->childItems());
            }
            return nullptr;
        };
        QTRY_VERIFY_WITH_TIMEOUT(scroller() && scroller()->property("contentHeight").toDouble() > 2000, 15000);
        scroller()->setProperty("contentY", 500.0);
        model().moveAnalysis(1); // another material: its own pane, from the top
        QTRY_VERIFY(scroller());
        QTRY_COMPARE(scroller()->property("contentY").toDouble(), 0.0);
        // Read to its short end before going back.
        QTRY_VERIFY_WITH_TIMEOUT(scroller()->property("contentHeight").toDouble() < 1000, 15000);
        model().moveAnalysis(1); // the first material again
        QTRY_COMPARE_WITH_TIMEOUT(scroller() ? scroller()->property("contentY").toDouble() : -1.0, 500.0, 15000);
        model().moveAnalysis(-2); // same material: the pane stays where it is
        QCOMPARE(scroller()->property("contentY").toDouble(), 500.0);

        // The split: 46 % at first, then where the handle is dragged.
        auto *split = root()->findChild<MaterialSplitController *>(QStringLiteral("materialSplit"));
        QVERIFY(split);
        QTRY_VERIFY(split->height() > 400);
        const double top0 = MaterialSplitGeometry::layout(split->height(), std::nullopt).top;
        QCOMPARE(split->top(), top0);
        QCOMPARE(pane->height(), top0);
        QQuickItem *handle = item("splitHandle");
        const auto drag = [&](const QList<QPoint> &moves) {
            const QPoint press = handle->mapToScene(QPointF(handle->width() / 2, 15)).toPoint();
            QTest::mousePress(view.get(), Qt::LeftButton, {}, press);
            for (const QPoint &move : moves)
                QTest::mouseMove(view.get(), press + move, 5);
            QTest::mouseRelease(view.get(), Qt::LeftButton, {}, press + moves.last(), 5);
        };
        drag({{0, 30}, {0, 60}, {0, 100}});
        QTRY_COMPARE(qRound(split->top()), qRound(top0 + 100));
        drag({{0, -8}}); // from its own press
        QTRY_COMPARE(qRound(split->top()), qRound(top0 + 92));
        drag({{9, 0}, {9, -12}}); // begun sideways
        QTRY_COMPARE(qRound(split->top()), qRound(top0 + 80));
        QCOMPARE(pane->height(), split->top());

        // Each question keeps its own split.
        model().moveAnalysis(1);
        QCOMPARE(split->top(), top0);
        model().moveAnalysis(-1);
        QCOMPARE(qRound(split->top()), qRound(top0 + 80));
    }

    void emptyAnalysis()
    {
        model().setAnalysisQuestions({});
        model().setScreen(AppScreen::analysis);
        QVERIFY(show(QStringLiteral("AnalysisView.qml")));
        QVERIFY(item("analysisEmptyState")->isVisible());
        QCOMPARE(item("analysisProgress")->property("text").toString(), QStringLiteral("0 / 0"));
    }

    void historyScreen()
    {
        QJsonArray page;
        for (int i = 0; i < 10; ++i)
            page.append(logRow(i, i % 2 ? 2 : 1));
        env->service.setData(listPath, page);
        model().showPracticeHistory();
        QVERIFY(show(QStringLiteral("HistoryView.qml")));
        settle();
        QTRY_VERIFY(item("historyRow_r0"));
        QCOMPARE(item("historyTitle")->property("text").toString(), QStringLiteral("练习历史 · 教师资格证·综合素质（中学）"));
        // The tabs sit midway between the back button and the trailing buttons.
        const auto sceneX = [](QQuickItem *of, double x) { return of->mapToScene(QPointF(x, 0)).x(); };
        QQuickItem *firstTab = item("historyTab1");
        QQuickItem *lastTab = item("historyTab2");
        QVERIFY(firstTab && lastTab);
        const double gapBefore = sceneX(firstTab, 0) - sceneX(item("historyBack"), item("historyBack")->width());
        const double gapAfter = sceneX(item("historyRefresh"), 0) - sceneX(lastTab, lastTab->width());
        QVERIFY2(std::abs(gapBefore - gapAfter) <= 1, qPrintable(QStringLiteral("%1 against %2").arg(gapBefore).arg(gapAfter)));

        const auto statusOf = [this](const char *row) {
            return find(item(row), QStringLiteral("historyStatus"))->property("text").toString();
        };
        QCOMPARE(statusOf("historyRow_r0"), QStringLiteral("未完成 · 继续答题"));
        QCOMPARE(statusOf("historyRow_r1"), QStringLiteral("共 5 题，答对 3 道"));
        // Filed in this run: the row follows the report's figures.
        model().practiceHistory()->cacheCompletedReport(report(9, 1, 0), QStringLiteral("r0"));
        QCOMPARE(statusOf("historyRow_r0"), QStringLiteral("共 10 题，答对 9 道"));

        click(item("historyEdit"));
        QVERIFY(item("deletionBar")->isVisible());
        const auto markOf = [this](const char *row) {
            return find(item(row), QStringLiteral("selectionMark"))->property("name").toString();
        };
        QCOMPARE(markOf("historyRow_r0"), QStringLiteral("circle"));
        click(item("historyRow_r0"));
        QCOMPARE(markOf("historyRow_r0"), QStringLiteral("checkmark.circle.fill"));
        click(item("historyRow_r1"));
        QCOMPARE(item("selectedCount")->property("text").toString(), QStringLiteral("已选择 2 项"));
        click(item("deleteButton"));
        QTRY_VERIFY(item("deleteMessage"));
        QCOMPARE(item("deleteMessage")->property("text").toString(), QStringLiteral("将删除选中的 2 条记录，删除后无法恢复。"));

        QJsonArray rest;
        for (int i = 2; i < 10; ++i)
            rest.append(logRow(i, 1));
        env->service.setData(listPath, rest);
        click(item("confirmDelete"));
        settle();
        QTRY_VERIFY(!item("deletionBar")->isVisible());
        QTRY_VERIFY(!findShown(root(), QStringLiteral("historyRow_r0")));
        QVERIFY(findShown(root(), QStringLiteral("historyRow_r2")));
        QCOMPARE(model().noticeMessage().value_or(QString()), QStringLiteral("删除成功"));
    }

    // A deletion that fails and then succeeds on a second try ends with the
    // success in the banner, not the failure: the newest message wins.
    void bannerShowsTheRetrysSuccess()
    {
        QJsonArray page;
        for (int i = 0; i < 4; ++i)
            page.append(logRow(i, 2));
        env->service.setData(listPath, page);
        env->service.failWithStatus(deletePath, 500, 1);
        QVERIFY(show(QStringLiteral("RootView.qml")));
        settle();
        QTRY_VERIFY(findShown(root(), QStringLiteral("practiceHistoryButton")));
        click(findShown(root(), QStringLiteral("practiceHistoryButton")));
        QTRY_VERIFY(findShown(root(), QStringLiteral("historyRow_r0")));
        settle();
        const auto banner = [this] {
            QQuickItem *text = findShown(root(), QStringLiteral("bannerText"));
            return text ? text->property("text").toString() : QString();
        };
        const auto confirmDeletion = [&] {
            click(findShown(root(), QStringLiteral("deleteButton")));
            QTRY_VERIFY(findShown(root(), QStringLiteral("confirmDelete")));
            QTest::qWait(200); // the card's fade-in
            click(findShown(root(), QStringLiteral("confirmDelete")));
            settle();
        };

        click(findShown(root(), QStringLiteral("historyEdit")));
        QTRY_VERIFY(findShown(root(), QStringLiteral("deletionBar")));
        click(findShown(root(), QStringLiteral("historyRow_r0")));
        confirmDeletion();
        QTRY_COMPARE(banner(), QStringLiteral("服务器错误（HTTP 500）"));
        QVERIFY(findShown(root(), QStringLiteral("historyRow_r0")));

        // The same deletion again, with the error still shown.
        page.removeFirst();
        env->service.setData(listPath, page);
        QCOMPARE(findShown(root(), QStringLiteral("selectedCount"))->property("text").toString(), QStringLiteral("已选择 1 项"));
        confirmDeletion();
        QTRY_VERIFY(!findShown(root(), QStringLiteral("historyRow_r0")));
        QTRY_COMPARE(banner(), QStringLiteral("删除成功"));
        QVERIFY(!model().errorMessage().has_value());
        QVERIFY(!root()->property("viewState").value<QObject *>()->property("bannerIsError").toBool());

        // A tap on the banner's close button still dismisses it.
        QTest::qWait(250); // the banner's slide-in
        click(findShown(root(), QStringLiteral("bannerCloseButton")));
        QVERIFY(!model().noticeMessage().has_value());
        QTRY_VERIFY(!findShown(root(), QStringLiteral("bannerText")));
    }

    // The loading row's wheel turns inside its own small box, in the title
    // colour: a vivid ink tells it from a black default.
    void historyLoadingWheelStaysSmallInTheTitleColour()
    {
        model().setStudyTransparencyEnabled(true);
        model().setTransparentInkHexValue(QStringLiteral("#D02020"));
        env->service.holdReplies(listPath);
        model().showPracticeHistory();
        QVERIFY(show(QStringLiteral("HistoryView.qml")));
        QTRY_VERIFY(findShown(root(), QStringLiteral("historyLoading")));
        QQuickItem *row = findShown(root(), QStringLiteral("historyLoading"))->parentItem();
        QQuickItem *wheel = row->childItems().first();
        QTest::qWait(300); // a few turns of the wheel

        const qreal ratio = view->effectiveDevicePixelRatio();
        const QRectF box = wheel->mapRectToScene(QRectF(0, 0, wheel->width(), wheel->height()));
        QCOMPARE(box.size(), QSizeF(16, 16));
        const QImage picture = view->grabWindow();
        const QColor background = picture.pixelColor(int((box.left() - 20) * ratio), int(box.center().y() * ratio));
        const auto inked = [&](int x, int y) {
            const QColor pixel = picture.pixelColor(int(x * ratio), int(y * ratio));
            return std::abs(pixel.red() - background.red()) + std::abs(pixel.green() - background.green())
                       + std::abs(pixel.blue() - background.blue())
                   > 24;
        };
        // Nothing of the wheel above, below or left of its box.
        const QRect around = box.toAlignedRect().adjusted(-10, -10, 0, 10);
        int reddest = 0;
        int strongest = 0;
        for (int y = around.top(); y <= around.bottom(); ++y) {
            for (int x = around.left(); x <= around.right(); ++x) {
                const bool inside = box.adjusted(-1, -1, 1, 1).contains(QPointF(x + 0.5, y + 0.5));
                QVERIFY2(inside || !inked(x, y), qPrintable(QStringLiteral("wheel drawn at %1,%2").arg(x).arg(y)));
                const QColor pixel = picture.pixelColor(int(x * ratio), int(y * ratio));
                const int strength = 3 * 255 - pixel.red() - pixel.green() - pixel.blue();
                if (inside && strength > strongest) {
                    strongest = strength;
                    reddest = pixel.red() - (pixel.green() + pixel.blue()) / 2;
                }
            }
        }
        QVERIFY2(strongest > 60, "no wheel in its box");
        QVERIFY2(reddest > 40, qPrintable(QStringLiteral("the wheel is not in the ink colour (%1)").arg(reddest)));
        env->service.releaseReplies(listPath);
        settle();
    }

    // A first page over the client's size bound is a failed load like any
    // other: the tab shows why and offers a retry, not a blank list.
    void historyPageOverTheSizeCapShowsTheError()
    {
        FakeScenario huge;
        huge.rawBody = QByteArray(APIClient::maxReplyBytes + 1, 'x');
        huge.times = 1;
        env->service.setScenario(listPath, huge);
        env->service.setData(listPath, QJsonArray{logRow(0, 1)});
        model().showPracticeHistory();
        QVERIFY(show(QStringLiteral("HistoryView.qml")));
        settle();
        QTRY_VERIFY(findShown(root(), QStringLiteral("historyLoadError")));
        QCOMPARE(findShown(root(), QStringLiteral("historyLoadError"))->property("text").toString(),
                 QStringLiteral("加载失败：服务器返回的数据过大（超过 32 MB），已停止接收"));
        QQuickItem *retry = findShown(root(), QStringLiteral("historyRetry"));
        QVERIFY(retry);
        QCOMPARE(retry->property("text").toString(), QStringLiteral("重试"));
        QVERIFY(!findShown(root(), QStringLiteral("historyEmptyState")));

        click(retry);
        settle();
        QTRY_VERIFY(findShown(root(), QStringLiteral("historyRow_r0")));
        QVERIFY(!findShown(root(), QStringLiteral("historyLoadError")));
    }

    void historyBuildsOnlyVisibleRows()
    {
        // A long history: rows exist for what is in view, not for every record.
        FakeScenario scenario;
        for (int p = 0; p < 20; ++p) {
            QJsonArray page;
            for (int i = 0; i < 10; ++i)
                page.append(logRow(p * 10 + i, 1));
            scenario.rawBody = QJsonDocument(QJsonObject{{QStringLiteral("success"), true}, {QStringLiteral("data"), page}})
                                   .toJson(QJsonDocument::Compact);
            scenario.times = 1;
            env->service.addScenario(listPath, scenario);
        }
        env->service.setData(listPath, QJsonArray{});
        model().showPracticeHistory();
        QVERIFY(show(QStringLiteral("HistoryView.qml")));
        // The footer stays in view while pages are short of the window, so
        // pages follow one another until the rows fill it.
        settle();
        QTest::qWait(200);
        settle();
        const int loaded = int(model().practiceHistory()->page(PracticeHistoryTab::practice).records.size());
        QVERIFY(loaded >= 10);
        const int built = countPrefixed(root(), QStringLiteral("historyRow_"));
        QVERIFY2(built < 40, qPrintable(QStringLiteral("%1 rows built").arg(built)));
    }

    // Link buttons draw in the system's regular font; only where a screen
    // gives a row of buttons a weight of its own do they take it.
    void linkButtonsKeepTheirScreensWeight_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("weight");
        QTest::newRow("report back") << QStringLiteral("report") << QStringLiteral("reportBack") << int(QFont::Normal);
        QTest::newRow("analysis back") << QStringLiteral("analysis") << QStringLiteral("analysisBack") << int(QFont::Normal);
        QTest::newRow("navigator previous") << QStringLiteral("analysis") << QStringLiteral("navigatorPrevious")
                                            << int(QFont::Normal);
        QTest::newRow("navigator next") << QStringLiteral("analysis") << QStringLiteral("navigatorNext") << int(QFont::Normal);
        QTest::newRow("analysis card previous") << QStringLiteral("analysis") << QStringLiteral("cardPrevious")
                                                << int(QFont::DemiBold);
        QTest::newRow("analysis card next") << QStringLiteral("analysis") << QStringLiteral("cardNext") << int(QFont::DemiBold);
        QTest::newRow("collections back") << QStringLiteral("collections") << QStringLiteral("collectionsBack")
                                          << int(QFont::Normal);
        QTest::newRow("collections refresh") << QStringLiteral("collections") << QStringLiteral("collectionsRefresh")
                                             << int(QFont::Normal);
        QTest::newRow("history back") << QStringLiteral("history") << QStringLiteral("historyBack") << int(QFont::Medium);
        QTest::newRow("history refresh") << QStringLiteral("history") << QStringLiteral("historyRefresh") << int(QFont::Medium);
        QTest::newRow("history edit") << QStringLiteral("history") << QStringLiteral("historyEdit") << int(QFont::Medium);
        QTest::newRow("history retry") << QStringLiteral("history") << QStringLiteral("historyRetry") << int(QFont::Normal);
        QTest::newRow("history load more") << QStringLiteral("history") << QStringLiteral("historyLoadMore")
                                           << int(QFont::Normal);
        QTest::newRow("history select all") << QStringLiteral("history") << QStringLiteral("selectAll") << int(QFont::Normal);
        QTest::newRow("delete cancel") << QStringLiteral("history") << QStringLiteral("cancelDelete") << int(QFont::Normal);
    }
    void linkButtonsKeepTheirScreensWeight()
    {
        QFETCH(QString, screen);
        QFETCH(QString, button);
        QFETCH(int, weight);
        QVERIFY(showScreen(screen));
        if (button == QLatin1String("cancelDelete")) {
            QObject *history = root()->findChild<QObject *>(QStringLiteral("historyController"));
            QVERIFY(history);
            history->setProperty("showingDeleteConfirmation", true);
        }
        QTRY_VERIFY(find(root(), button));
        QQuickItem *label = firstText(find(root(), button));
        QVERIFY(label);
        QCOMPARE(label->property("font").value<QFont>().weight(), weight);
    }

    // The lines between regions are the neutral separator in either look,
    // not the secondary text colour with the ink in it.
    void dividersAreTheNeutralSeparator_data()
    {
        QTest::addColumn<QString>("screen");
        QTest::addColumn<QString>("divider");
        QTest::addColumn<bool>("transparent");
        const QList<std::pair<const char *, const char *>> dividers{
            {"report", "reportHeaderDivider"},     {"report", "reportOverviewDivider"},
            {"analysis", "analysisHeaderDivider"}, {"analysis", "analysisNavigatorRule"},
            {"analysis", "answerDivider"},         {"collections", "collectionsDivider"},
        };
        for (const bool transparent : {false, true}) {
            for (const auto &[screen, divider] : dividers)
                QTest::addRow("%s, %s", divider, transparent ? "transparent look" : "normal look")
                    << QString::fromLatin1(screen) << QString::fromLatin1(divider) << transparent;
        }
    }
    void dividersAreTheNeutralSeparator()
    {
        QFETCH(QString, screen);
        QFETCH(QString, divider);
        QFETCH(bool, transparent);
        model().setStudyTransparencyEnabled(transparent);
        model().setTransparentInkHexValue(QStringLiteral("#D02020"));
        QVERIFY(showScreen(screen));
        QQuickItem *line = find(root(), divider);
        QVERIFY(line);
        QVERIFY(line->isVisible());
        QCOMPARE(line->property("color").value<QColor>(), Theme::separatorColor());
    }

    // Nothing of the page shows inside the confirmation card: in the
    // transparent look the page is cut out beneath it (or, on a scene graph
    // without shaders, covered), so what the card shows is the same over
    // rows as over no page at all.
    void deleteConfirmationHidesThePageBeneath_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::newRow("normal look") << false;
        QTest::newRow("transparent look") << true;
    }
    void deleteConfirmationHidesThePageBeneath()
    {
        QFETCH(bool, transparent);
        model().setStudyTransparencyEnabled(transparent);
        QVERIFY(showScreen(QStringLiteral("history")));
        QTRY_VERIFY(findShown(root(), QStringLiteral("historyRow_r2")));
        QObject *history = root()->findChild<QObject *>(QStringLiteral("historyController"));
        QVERIFY(history);
        history->setProperty("showingDeleteConfirmation", true);
        QTRY_VERIFY(findShown(root(), QStringLiteral("deleteConfirmation")));
        QTest::qWait(300); // the card's fade-in

        QQuickItem *card = item("modalCard");
        QVERIFY(card);
        // Inside the rounded shape, clear of the anti-aliased edge.
        const qreal ratio = view->effectiveDevicePixelRatio();
        const QRect inner = QRectF(card->mapToScene(QPointF(0, 0)), card->size())
                                .adjusted(10, 10, -10, -10)
                                .toAlignedRect();
        // Rows lie under the card.
        int rowsBeneath = 0;
        for (int i = 0; i < 8; ++i) {
            if (QQuickItem *row = findShown(root(), QStringLiteral("historyRow_r%1").arg(i)))
                rowsBeneath += row->mapRectToScene(QRectF(0, 0, row->width(), row->height())).intersects(inner) ? 1 : 0;
        }
        QVERIFY(rowsBeneath > 0);

        const QImage overRows = view->grabWindow();
        for (QQuickItem *part : item("historyPage")->childItems())
            part->setVisible(false);
        QTest::qWait(50);
        const QImage overNothing = view->grabWindow();
        int differing = 0;
        for (int y = inner.top(); y <= inner.bottom(); ++y) {
            for (int x = inner.left(); x <= inner.right(); ++x) {
                if (overRows.pixel(int(x * ratio), int(y * ratio)) != overNothing.pixel(int(x * ratio), int(y * ratio)))
                    ++differing;
            }
        }
        QVERIFY2(differing == 0, qPrintable(QStringLiteral("%1 pixels of the page show in the card").arg(differing)));
    }

    void collectionsScreen()
    {
        model().setScreen(AppScreen::collections);
        QVERIFY(show(QStringLiteral("CollectionsView.qml")));
        settle();
        QVERIFY(!item("collectionsEmptyState")->isVisible());
        QVERIFY(!model().collectionMenus().isEmpty());
        const QString first = model().collectionMenus().first().menuId;
        QTRY_VERIFY(find(root(), QStringLiteral("folder_") + first));
        click(find(root(), QStringLiteral("folder_") + first));
        settle();
        QCOMPARE(env->lastBody(folderPath).value(QStringLiteral("menuId")).toString(), first);
    }

    // Folders that share an id, or have none, each open themselves: the
    // request carries the pressed folder's own count.
    void collectionRowsOpenTheirOwnFolder_data()
    {
        QTest::addColumn<QString>("rowName");
        QTest::addColumn<int>("nth");
        QTest::addColumn<int>("pageSize");
        QTest::newRow("first of two ids") << QStringLiteral("folder_dup") << 0 << 3;
        QTest::newRow("second of two ids") << QStringLiteral("folder_dup") << 1 << 7;
        QTest::newRow("first without id") << QStringLiteral("folder_") << 0 << 5;
        QTest::newRow("child without id") << QStringLiteral("folder_") << 1 << 9;
    }

    void collectionRowsOpenTheirOwnFolder()
    {
        QFETCH(QString, rowName);
        QFETCH(int, nth);
        QFETCH(int, pageSize);
        const auto folder = [](const QString &id, const QString &name, int count, const QJsonArray &children = {}) {
            return QJsonObject{{QStringLiteral("id"), id}, {QStringLiteral("name"), name},
                               {QStringLiteral("cnt"), count}, {QStringLiteral("children"), children}};
        };
        env->service.setData(foldersPath, QJsonArray{folder(QStringLiteral("dup"), QStringLiteral("甲"), 3),
                                                     folder(QStringLiteral("dup"), QStringLiteral("乙"), 7),
                                                     folder(QString(), QStringLiteral("丙"), 5,
                                                            QJsonArray{folder(QString(), QStringLiteral("丁"), 9)})});
        env->service.setData(folderPath, questionSet(QJsonArray{}));
        model().setScreen(AppScreen::collections);
        QVERIFY(show(QStringLiteral("CollectionsView.qml")));
        settle();
        QTRY_VERIFY(findShown(root(), QStringLiteral("folder_dup")));

        QList<QQuickItem *> rows;
        const std::function<void(QQuickItem *)> collect = [&](QQuickItem *from) {
            if (!from->isVisible())
                return;
            if (from->objectName() == rowName)
                rows.append(from);
            for (QQuickItem *child : from->childItems())
                collect(child);
        };
        collect(root());
        std::sort(rows.begin(), rows.end(),
                  [](QQuickItem *a, QQuickItem *b) { return a->mapToScene({0, 0}).y() < b->mapToScene({0, 0}).y(); });
        QCOMPARE(rows.size(), 2);
        click(rows.at(nth));
        settle();
        QCOMPARE(env->service.sendCount(folderPath), 1);
        QCOMPARE(env->lastBody(folderPath).value(QStringLiteral("pageSize")).toInt(), pageSize);
        QCOMPARE(model().noticeMessage().value_or(QString()), QStringLiteral("该目录暂无收藏题目"));
    }
};

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    TestResultsViews test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_results_views.moc"
