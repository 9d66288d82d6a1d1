// The question page and the material view loaded offscreen on a real model
// against the fake service: what the user sees and what a click does.

#include "PracticeTestSupport.h"

#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "MaterialPageWindow.h"
#include "MaterialPanelRatios.h"
#include "MaterialSplitController.h"

#include <QApplication>
#include <QQmlComponent>
#include <QQmlContext>
#include <QQmlExpression>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

using namespace PracticeTest;

namespace {

Question make(const QString &id, QuestionType type, const QString &answer, int options = 4)
{
    QJsonObject json = question(id, int(type), answer, options);
    json.insert(QStringLiteral("questionFrom"), QStringLiteral("2023年国考"));
    json.insert(QStringLiteral("analysis"), type == QuestionType::answer ? QString() : QStringLiteral("<p>解析</p>"));
    return Question::fromJson(json);
}

Question inMaterial(const QString &id, const QString &materialsId)
{
    QJsonObject json = question(id, 1, QStringLiteral("A"));
    json.insert(QStringLiteral("materialsId"), materialsId);
    return Question::fromJson(json);
}

} // namespace

class TestQuestionBodyView : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    QQmlEngine *engine = nullptr;
    std::unique_ptr<QObject> root;
    QQuickWindow *window = nullptr;

    AppModel &model() { return *env->model; }

    // A window of 760 × 900 holding the given item.
    bool show(const QByteArray &content)
    {
        QQmlComponent component(engine);
        component.setData("import QtQuick\nimport QtQuick.Window\nimport Vuzo\n"
                          "Window { id: root; width: 760; height: 900; visible: true\n"
                              + content + "\n}",
                          QUrl(QStringLiteral("qrc:/test/Host.qml")));
        root.reset(component.create());
        if (!root) {
            qWarning() << component.errorString();
            return false;
        }
        window = qobject_cast<QQuickWindow *>(root.get());
        return window && QTest::qWaitForWindowExposed(window);
    }
    // Looks through object children and visual children alike: items a
    // Repeater makes are only the latter.
    static QObject *search(QObject *from, const QString &name)
    {
        if (!from)
            return nullptr;
        if (from->objectName() == name)
            return from;
        for (QObject *child : from->children())
            if (QObject *found = search(child, name))
                return found;
        if (auto *item = qobject_cast<QQuickItem *>(from)) {
            for (QQuickItem *child : item->childItems())
                if (QObject *found = search(child, name))
                    return found;
        }
        if (auto *win = qobject_cast<QQuickWindow *>(from))
            return search(win->contentItem(), name);
        return nullptr;
    }
    template<class T = QQuickItem>
    T *find(const QString &name, QObject *from = nullptr) const
    {
        return qobject_cast<T *>(search(from ? from : root.get(), name));
    }
    void click(QQuickItem *item)
    {
        QVERIFY(item);
        const QPointF centre = item->mapToScene(QPointF(item->width() / 2, item->height() / 2));
        QTest::mouseClick(window, Qt::LeftButton, {}, centre.toPoint());
    }
    QString textOf(const QString &name) const
    {
        auto *item = find(name);
        return item ? item->property("text").toString() : QStringLiteral("<missing %1>").arg(name);
    }
    bool shown(const QString &name) const
    {
        auto *item = find(name);
        return item && item->isVisible() && item->height() > 0;
    }
    // The tool tip an item shows, or an empty text while it shows none.
    static QString toolTipOf(QQuickItem *item)
    {
        QQmlExpression expression(qmlContext(item), item, QStringLiteral("ToolTip.visible ? ToolTip.text : \"\""));
        return expression.evaluate().toString();
    }
    void screenshot(const QString &name)
    {
        const QString dir = qEnvironmentVariable("VUZO_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            window->grabWindow().save(dir + u'/' + name + QStringLiteral(".png"));
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<Environment>();
        env->makeModel();
        engine = new QQmlEngine;
        engine->addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(engine, env->model.get());
    }
    void cleanup()
    {
        root.reset();
        delete engine;
        engine = nullptr;
        env.reset();
    }

    void singleChoiceInReviewMode()
    {
        model().setExamMode(ExamMode::review);
        model().setQuestions({make(QStringLiteral("1"), QuestionType::single, QStringLiteral("A")),
                              make(QStringLiteral("2"), QuestionType::single, QStringLiteral("B"))});
        QVERIFY(show("Flickable { anchors.fill: parent; contentHeight: body.height + 60\n"
                     "QuestionBodyView { id: body; objectName: \"body\"; x: 30; y: 30; width: 700; questionId: \"1\"; contentWanted: true } }"));
        QCOMPARE(textOf(QStringLiteral("sourceLine")), QStringLiteral("来源：2023年国考"));
        QVERIFY(shown(QStringLiteral("optionD")));
        QVERIFY(!shown(QStringLiteral("reviewResult")));

        click(find(QStringLiteral("optionB")));
        QCOMPARE(model().answers().value(QStringLiteral("1")), QStringLiteral("B"));
        QTRY_VERIFY(shown(QStringLiteral("reviewResult")));
        QCOMPARE(textOf(QStringLiteral("correctAnswerText")), QStringLiteral("正确答案：A"));
        auto *markB = find(QStringLiteral("optionMark"), find(QStringLiteral("optionB")));
        auto *markC = find(QStringLiteral("optionMark"), find(QStringLiteral("optionC")));
        QVERIFY(markB && markB->isVisible());
        QVERIFY(markC && !markC->isVisible());
        // The review analysis waits for its web view's height, at least 40.
        QVERIFY(find(QStringLiteral("reviewAnalysis"))->height() >= 40);
        screenshot(QStringLiteral("single-review"));

        // Revealed: another click changes nothing.
        click(find(QStringLiteral("optionC")));
        QCOMPARE(model().answers().value(QStringLiteral("1")), QStringLiteral("B"));
        // The navigation in the analysis header moves the model.
        click(find(QStringLiteral("nextQuestionButton"), find(QStringLiteral("reviewResult"))));
        QCOMPARE(model().currentQuestionIndex(), qint64(1));
    }

    void multipleChoiceConfirm()
    {
        model().setExamMode(ExamMode::review);
        model().setQuestions({make(QStringLiteral("m"), QuestionType::multiple, QStringLiteral("A,C")),
                              make(QStringLiteral("n"), QuestionType::single, QStringLiteral("B"))});
        QVERIFY(show("QuestionBodyView { width: 700; questionId: \"m\"; contentWanted: true }"));
        auto *confirm = find(QStringLiteral("confirmButton"));
        QVERIFY(confirm);
        QCOMPARE(confirm->property("text").toString(), QStringLiteral("确定"));
        QVERIFY(!confirm->isEnabled());
        QCOMPARE(confirm->opacity(), 0.42);
        QVERIFY(shown(QStringLiteral("multipleHint")));

        click(find(QStringLiteral("optionC")));
        click(find(QStringLiteral("optionA")));
        QCOMPARE(model().answers().value(QStringLiteral("m")), QStringLiteral("A,C"));
        QVERIFY(confirm->isEnabled());
        click(confirm);
        QVERIFY(model().revealedQuestionIDs().contains(QStringLiteral("m")));
        QTRY_VERIFY(!confirm->isVisible());
        QVERIFY(shown(QStringLiteral("reviewResult")));
        click(find(QStringLiteral("optionB")));
        QCOMPARE(model().answers().value(QStringLiteral("m")), QStringLiteral("A,C"));
        screenshot(QStringLiteral("multiple-review"));
    }

    void subjectiveReveal()
    {
        model().setQuestions({make(QStringLiteral("s"), QuestionType::answer, QStringLiteral("要点"), 0),
                              make(QStringLiteral("t"), QuestionType::single, QStringLiteral("A"))});
        model().setStudyTransparencyEnabled(true);
        QVERIFY(show("QuestionBodyView { width: 700; questionId: \"s\"; contentWanted: true }"));
        auto *reveal = find(QStringLiteral("revealButton"));
        QVERIFY(reveal && reveal->isVisible());
        QCOMPARE(reveal->property("text").toString(), QStringLiteral("查看解析"));
        QVERIFY(!shown(QStringLiteral("analysisCard")));
        click(reveal);
        QTRY_VERIFY(shown(QStringLiteral("analysisCard")));
        QVERIFY(!reveal->isVisible());
        QVERIFY(!shown(QStringLiteral("reviewResult")));
        screenshot(QStringLiteral("subjective-transparent"));
    }

    void collectButtonShowsOnlyConfirmedState()
    {
        model().setQuestions({make(QStringLiteral("1"), QuestionType::single, QStringLiteral("A"))});
        answerWith(env->service, collectPath, true);
        env->service.holdReplies(collectPath);
        QVERIFY(show("QuestionBodyView { width: 700; questionId: \"1\"; contentWanted: true }"));
        auto *button = find(QStringLiteral("collectButton"));
        QCOMPARE(button->width(), 86.0);
        QCOMPARE(textOf(QStringLiteral("collectText")), QStringLiteral("收藏"));
        click(button);
        click(button);
        QCOMPARE(textOf(QStringLiteral("collectText")), QStringLiteral("处理中"));
        QCOMPARE(find(QStringLiteral("collectSymbol"))->property("name").toString(), QStringLiteral("star"));
        // Busy, it still follows the pointer with what a click would do.
        QTest::mouseMove(window, QPoint(2, 2));
        QTRY_COMPARE(toolTipOf(button), QString());
        QTest::mouseMove(window, button->mapToScene(QPointF(button->width() / 2, button->height() / 2)).toPoint());
        QTRY_COMPARE(toolTipOf(button), QStringLiteral("收藏这道题"));
        QTRY_COMPARE(env->service.heldReplyCount(collectPath), 1);
        env->service.releaseReplies(collectPath);
        QTRY_COMPARE(textOf(QStringLiteral("collectText")), QStringLiteral("已收藏"));
        QCOMPARE(find(QStringLiteral("collectSymbol"))->property("name").toString(), QStringLiteral("star.fill"));
        QCOMPARE(env->service.sendCount(collectPath), 1);
    }

    // A page not yet wanted builds no web view; once wanted it keeps them.
    void contentLoadsOnlyWhenWanted()
    {
        model().setQuestions({make(QStringLiteral("1"), QuestionType::single, QStringLiteral("A"))});
        QVERIFY(show("QuestionBodyView { objectName: \"body\"; width: 700; questionId: \"1\"; contentWanted: false }"));
        auto *stem = find(QStringLiteral("stemLoader"));
        QVERIFY(!stem->property("item").value<QObject *>());
        find(QStringLiteral("body"))->setProperty("contentWanted", true);
        QTRY_VERIFY(stem->property("item").value<QObject *>());
        find(QStringLiteral("body"))->setProperty("contentWanted", false);
        QVERIFY(stem->property("item").value<QObject *>());
    }

    void materialViewSplitsAndPages()
    {
        QList<Question> set{make(QStringLiteral("0"), QuestionType::single, QStringLiteral("A"))};
        for (int i = 1; i <= 4; ++i)
            set.append(inMaterial(QString::number(i), QStringLiteral(" m1 ")));
        model().setQuestions(set);
        model().setCurrentQuestionIndex(2);
        QVERIFY(show("MaterialQuestionView { anchors.fill: parent; materialId: \"m1\"\n"
                     "materialTitle: \"阅读材料\"; materialContent: \"<p>材料正文</p>\" }"));
        auto *split = find<MaterialSplitController>(QStringLiteral("materialSplit"));
        auto *pages = find<MaterialPageWindow>(QStringLiteral("materialPageWindow"));
        QVERIFY(split && pages);
        QCOMPARE(pages->count(), 4); // 1 … 4; question 0 has no material
        QCOMPARE(split->top(), 0.46 * 900);
        QCOMPARE(find(QStringLiteral("questionCard"))->y(), split->top());
        QVERIFY(shown(QStringLiteral("materialTitle")));
        screenshot(QStringLiteral("material"));

        // Drag the handle 100 up: the ratio of question 2 follows.
        auto *handle = find(QStringLiteral("splitHandle"));
        const QPoint start = handle->mapToScene(QPointF(handle->width() / 2, 15)).toPoint();
        QTest::mousePress(window, Qt::LeftButton, {}, start);
        for (int step = 1; step <= 10; ++step)
            QTest::mouseMove(window, start - QPoint(0, step * 10), 5);
        QTest::mouseRelease(window, Qt::LeftButton, {}, start - QPoint(0, 100));
        QTRY_COMPARE(qRound(split->top()), qRound(0.46 * 900 - 100));
        QVERIFY(!split->dragging());

        // A swipe to the left over the card moves to the next question,
        // whose own split is the default.
        auto *area = find(QStringLiteral("materialPages"));
        const QPoint from = area->mapToScene(QPointF(area->width() / 2 + 100, area->height() / 2)).toPoint();
        QTest::mousePress(window, Qt::LeftButton, {}, from);
        for (int step = 1; step <= 10; ++step)
            QTest::mouseMove(window, from - QPoint(step * 20, 0), 5);
        QTest::mouseRelease(window, Qt::LeftButton, {}, from - QPoint(200, 0));
        QTRY_COMPARE(model().currentQuestionIndex(), qint64(3));
        // The swipe moved, not an answer's own move on: nothing was answered.
        QVERIFY(model().answers().isEmpty());
        QCOMPARE(split->top(), 0.46 * 900);
        // Back again: question 2 keeps its split.
        model().moveQuestion(-1);
        QCOMPARE(qRound(split->top()), qRound(0.46 * 900 - 100));

        // A sideways drag that begins on the stem's text is a selection: it
        // moves to no other question. (The swipe above ended on an option,
        // whose answer moves on by itself a moment later.)
        QTest::qWait(300);
        model().setCurrentQuestionIndex(2);
        auto *page = find(QStringLiteral("materialPage2"));
        QVERIFY(page);
        QQuickItem *stem = nullptr;
        QTRY_VERIFY((stem = find(QStringLiteral("stemView"), page)) != nullptr);
        auto *html = stem->property("view").value<QQuickItem *>();
        QTRY_VERIFY_WITH_TIMEOUT(html->property("contentHeight").toDouble() > 10, 20000);
        const QPoint on = stem->mapToScene(QPointF(8, 18)).toPoint();
        QTest::mouseMove(window, on);
        QTest::mousePress(window, Qt::LeftButton, {}, on);
        for (int step = 1; step <= 15; ++step)
            QTest::mouseMove(window, on + QPoint(step * 20, 0), 5);
        QTest::mouseRelease(window, Qt::LeftButton, {}, on + QPoint(300, 0));
        QTest::qWait(250);
        QCOMPARE(model().currentQuestionIndex(), qint64(2));
    }

    // Each drag of the handle measures from its own press, and the 6 pt it
    // takes to start count in any direction.
    void handleDragStartsAnewAndInAnyDirection()
    {
        model().setQuestions({inMaterial(QStringLiteral("1"), QStringLiteral("m1")),
                              inMaterial(QStringLiteral("2"), QStringLiteral("m1"))});
        model().setCurrentQuestionIndex(0);
        QVERIFY(show("MaterialQuestionView { anchors.fill: parent; materialId: \"m1\"\n"
                     "materialContent: \"<p>材料正文</p>\" }"));
        auto *split = find<MaterialSplitController>(QStringLiteral("materialSplit"));
        auto *handle = find(QStringLiteral("splitHandle"));
        QVERIFY(split && handle);
        const double top0 = split->top();
        const auto grip = [&] { return handle->mapToScene(QPointF(handle->width() / 2, 15)).toPoint(); };
        // A drag made of the given moves (from the press), released at the last one.
        const auto drag = [&](const QList<QPoint> &moves) {
            const QPoint press = grip();
            QTest::mousePress(window, Qt::LeftButton, {}, press);
            for (const QPoint &move : moves)
                QTest::mouseMove(window, press + move, 5);
            QTest::mouseRelease(window, Qt::LeftButton, {}, press + moves.last(), 5);
        };

        drag({{0, -30}, {0, -60}, {0, -100}});
        QTRY_COMPARE(qRound(split->top()), qRound(top0 - 100));
        QVERIFY(!split->dragging());

        // A short drag right after: 8 down from its own press, not from the last one.
        drag({{0, 8}});
        QTRY_COMPARE(qRound(split->top()), qRound(top0 - 92));

        // 4 + 4 is less than 6 away: no drag; 5 + 5 is more: the split follows
        // the vertical part.
        drag({{4, 4}});
        QCOMPARE(qRound(split->top()), qRound(top0 - 92));
        drag({{5, 5}});
        QTRY_COMPARE(qRound(split->top()), qRound(top0 - 87));

        // A drag that starts sideways still drags the split.
        drag({{10, 0}, {12, 20}});
        QTRY_COMPARE(qRound(split->top()), qRound(top0 - 67));
        QVERIFY(!split->dragging());
    }

    // On the question screen: a page scrolled down and unmounted comes back
    // where it was; the material view keeps each question's split.
    void screenRemembersScrollAndSplit()
    {
        QList<Question> set;
        for (int i = 0; i < 8; ++i)
            set.append(make(QString::number(i), QuestionType::single, QStringLiteral("A"), 20)); // tall pages
        set[6].materialsId = QStringLiteral("m1");
        set[7].materialsId = QStringLiteral("m1");
        QuestionModel questionModel;
        questionModel.questionList = set;
        questionModel.materialsList = {Material{QStringLiteral("m1"), QStringLiteral("材料"), QStringLiteral("<p>材料</p>")}};
        model().setQuestionModel(questionModel);
        model().setQuestions(set);
        model().setScreen(AppScreen::questions);
        QVERIFY(show("QuestionView { anchors.fill: parent }"));

        auto *page = find<QQuickItem>(QStringLiteral("page0"));
        QVERIFY(page);
        QTRY_VERIFY(page->property("contentHeight").toDouble() > 1500);
        page->setProperty("contentY", 420.0);
        model().setCurrentQuestionIndex(5); // page 0 leaves the window
        QTRY_VERIFY(!find(QStringLiteral("page0")));
        model().setCurrentQuestionIndex(0);
        QTRY_VERIFY(find(QStringLiteral("page0")));
        QTRY_COMPARE(find(QStringLiteral("page0"))->property("contentY").toDouble(), 420.0);
        // A page that stayed mounted keeps its own position untouched.
        QCOMPARE(find(QStringLiteral("page1"))->property("contentY").toDouble(), 0.0);

        model().setCurrentQuestionIndex(6);
        QTRY_VERIFY(find<MaterialSplitController>(QStringLiteral("materialSplit")));
        auto *split = find<MaterialSplitController>(QStringLiteral("materialSplit"));
        QVERIFY(find(QStringLiteral("materialPage6")));
        QVERIFY(find(QStringLiteral("materialPage7")));
        split->dragEnded(-50);
        const double top6 = split->top();
        model().setCurrentQuestionIndex(7);
        QVERIFY(split->top() != top6);
        model().setCurrentQuestionIndex(6);
        QCOMPARE(split->top(), top6);
        // Leaving the material and coming back builds a new view with the
        // screen's ratios.
        model().setCurrentQuestionIndex(0);
        QTRY_VERIFY(!find(QStringLiteral("materialSplit")));
        model().setCurrentQuestionIndex(6);
        QTRY_VERIFY(find<MaterialSplitController>(QStringLiteral("materialSplit")));
        QCOMPARE(find<MaterialSplitController>(QStringLiteral("materialSplit"))->top(), top6);
        screenshot(QStringLiteral("screen-material"));
    }
};

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    TestQuestionBodyView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_questionbodyview.moc"
