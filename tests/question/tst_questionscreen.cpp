#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "ModalKeyGuard.h"
#include "ModelTestEnvironment.h"
#include "QuestionScreenController.h"
#include "QuestionScreenRules.h"
#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"
#include "platform/gui/KeyEventAdapter.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QBuffer>
#include <QElapsedTimer>
#include <QImage>
#include <QKeyEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <atomic>
#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

struct AppModelTestProbe
{
    static void setActiveHistoryRecordID(AppModel &model, const std::optional<QString> &id)
    {
        model.m_activeHistoryRecordID = id;
    }
    static void setIsExportingPDF(AppModel &model, bool value) { model.setIsExportingPDF(value); }
};

namespace {

Question question(const QString &id, QuestionType type = QuestionType::single)
{
    Question q;
    q.id = id;
    q.context = QStringLiteral("<p>题干 %1</p>").arg(id);
    q.questionType = type;
    q.questionOptions = {QStringLiteral("甲"), QStringLiteral("乙")};
    return q;
}

Question intro(const QString &id, qint64 count = 2)
{
    Question q;
    q.id = id;
    q.sectionIntro = QuestionSectionIntro{QStringLiteral("一、常识判断"), QString(), count};
    return q;
}

QList<Question> plainSet(int n)
{
    QList<Question> set;
    for (int i = 0; i < n; ++i)
        set << question(QStringLiteral("q%1").arg(i));
    return set;
}

QList<int> indices(const PagerWindowModel &pages)
{
    QList<int> result;
    for (int row = 0; row < pages.rowCount(); ++row)
        result << pages.data(pages.index(row), PagerWindowModel::QuestionIndexRole).toInt();
    return result;
}

// Finds an item by object name anywhere in the visual tree under root
// (delegates of a Repeater are visual children only).
QQuickItem *find(QQuickItem *root, const QString &name)
{
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        return root;
    for (QQuickItem *child : root->childItems()) {
        if (QQuickItem *found = find(child, name))
            return found;
    }
    return nullptr;
}

// The web views built on the pager's page for a question index.
int webViewsOnPage(QQuickItem *view, int index)
{
    int count = 0;
    QList<QQuickItem *> pending{find(view, QStringLiteral("page%1").arg(index))};
    while (!pending.isEmpty()) {
        QQuickItem *item = pending.takeFirst();
        if (!item)
            continue;
        if (item->inherits("QQuickWebEngineView"))
            ++count;
        pending.append(item->childItems());
    }
    return count;
}

// Until the current page is ready, no neighbour (within two places, inside a
// set of n) builds a web view; afterwards every one of them does.
void verifyCurrentLoadsFirst(QQuickItem *view, int current, int n)
{
    QQuickItem *pager = find(view, QStringLiteral("pager"));
    QVERIFY(pager);
    QList<int> neighbours;
    for (int i : {current - 2, current - 1, current + 1, current + 2}) {
        if (i >= 0 && i < n)
            neighbours << i;
    }
    int checked = 0;
    QElapsedTimer clock;
    clock.start();
    while (!pager->property("currentReady").toBool()) {
        QVERIFY2(clock.elapsed() < 20000, "the current page never became ready");
        bool allMounted = find(view, QStringLiteral("page%1").arg(current)) != nullptr;
        for (int i : neighbours) {
            allMounted = allMounted && find(view, QStringLiteral("page%1").arg(i));
            QVERIFY2(webViewsOnPage(view, i) == 0,
                     qPrintable(QStringLiteral("page %1 built a web view before page %2 was ready").arg(i).arg(current)));
        }
        if (allMounted)
            ++checked;
        QTest::qWait(5);
    }
    QVERIFY(checked > 0);
    QVERIFY(webViewsOnPage(view, current) > 0);
    for (int i : neighbours)
        QTRY_VERIFY2(webViewsOnPage(view, i) > 0, qPrintable(QStringLiteral("page %1 never loaded").arg(i)));
}

// The panel hands every key press to the model's answering keys before any
// item sees it, unless an open card or a focused text field holds the keys;
// this window does the same.
class AnsweringWindow : public QQuickWindow
{
public:
    explicit AnsweringWindow(AppModel &model)
        : m_model(model)
    {
    }

protected:
    bool event(QEvent *event) override
    {
        if (event->type() == QEvent::KeyPress && !ModalKeyGuard::keysBelongToScene(this)
            && m_model.handleQuestionKeyEvent(keyEventInfo(*static_cast<QKeyEvent *>(event)))) {
            event->accept();
            return true;
        }
        return QQuickWindow::event(event);
    }

private:
    AppModel &m_model;
};

// The question screen in an answering window, with a way to run script in
// one of its web views.
struct ScreenWindow
{
    AnsweringWindow window;
    QQmlEngine engine;
    std::unique_ptr<QQuickItem> view;
    std::unique_ptr<QObject> runner;

    explicit ScreenWindow(AppModel &model)
        : window(model)
    {
        engine.addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(&engine, &model);
        QQmlComponent component(&engine);
        component.setData("import QtQuick\nimport Vuzo\nQuestionView {}", QUrl(QStringLiteral("qrc:/test/View.qml")));
        view.reset(qobject_cast<QQuickItem *>(component.create()));
        if (!view)
            qWarning() << component.errorString();
        QQmlComponent script(&engine);
        script.setData("import QtQuick\nQtObject {\n property var last\n property int results: 0\n"
                       " function run(web, text) { web.runJavaScript(text, function (r) { last = r; results += 1; }); }\n}",
                       QUrl(QStringLiteral("qrc:/test/Runner.qml")));
        runner.reset(script.create());
        window.resize(1100, 760);
        if (view) {
            view->setParentItem(window.contentItem());
            view->setSize(QSizeF(1100, 760));
        }
        window.show();
    }
    ~ScreenWindow() { view.reset(); }

    // The result of a script run in the page of an HtmlWebView.
    QVariant evaluate(QQuickItem *htmlView, const QString &text)
    {
        auto *web = htmlView->property("webView").value<QObject *>();
        const int before = runner->property("results").toInt();
        QMetaObject::invokeMethod(runner.get(), "run", Q_ARG(QVariant, QVariant::fromValue(web)),
                                  Q_ARG(QVariant, text));
        if (!QTest::qWaitFor([&] { return runner->property("results").toInt() > before; }, 10000))
            return QStringLiteral("<no result>");
        return runner->property("last");
    }

    // The stem's HTML view of a plain page, once its page is loaded and laid out.
    QQuickItem *loadedStem(const QString &page)
    {
        QQuickItem *found = nullptr;
        if (!QTest::qWaitFor([&] { return (found = find(view.get(), page)) != nullptr; }, 5000))
            return nullptr;
        QQuickItem *stem = nullptr;
        if (!QTest::qWaitFor([&] { return (stem = find(found, QStringLiteral("stemView"))) != nullptr; }, 5000))
            return nullptr;
        auto *html = stem->property("view").value<QQuickItem *>();
        if (!QTest::qWaitFor([&] { return html->property("contentHeight").toDouble() > 10; }, 20000))
            return nullptr;
        return stem;
    }
};

// A 200 x 120 red PNG as a data address.
QString redPicture()
{
    QImage image(200, 120, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

// A drag of the left button across the window in small steps, as a hand makes it.
void drag(QWindow *window, QPoint from, QPoint to)
{
    QTest::mouseMove(window, from);
    QTest::qWait(30);
    QTest::mousePress(window, Qt::LeftButton, {}, from);
    QTest::qWait(30);
    constexpr int steps = 15;
    for (int i = 1; i <= steps; ++i) {
        QTest::mouseMove(window, from + (to - from) * i / steps);
        QTest::qWait(20);
    }
    QTest::mouseRelease(window, Qt::LeftButton, {}, to);
    QTest::qWait(50);
}

} // namespace

class TestQuestionScreen : public QObject
{
    Q_OBJECT

    std::unique_ptr<ModelTestEnvironment> m_env;

    AppModel &model() { return *m_env->model; }

    void open(const QList<Question> &set, qint64 index = 0)
    {
        model().setQuestions(set);
        model().setCurrentQuestionIndex(index);
        model().setScreen(AppScreen::questions);
    }

    std::unique_ptr<QQmlEngine> m_engine;

    // The question screen in a window of the given width, on this model,
    // zoomed as the panel zooms its content: laid out in the window's size
    // divided by the zoom and drawn scaled from the top-left corner.
    std::unique_ptr<QObject> loadScreen(int width, int height = 760, double zoom = 1.0)
    {
        m_engine = std::make_unique<QQmlEngine>();
        m_engine->addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(m_engine.get(), &model());
        QQmlComponent component(m_engine.get());
        component.setData(QStringLiteral(R"(
import QtQuick
import QtQuick.Window
import Vuzo
Window {
    id: window
    width: %1; height: %2; visible: true
    property alias view: view
    Item {
        width: window.width / %3; height: window.height / %3
        scale: %3
        transformOrigin: Item.TopLeft
        QuestionView { id: view; anchors.fill: parent }
    }
}
)")
                              .arg(width)
                              .arg(height)
                              .arg(zoom)
                              .toUtf8(),
                          QUrl(QStringLiteral("qrc:/test/Screen.qml")));
        std::unique_ptr<QObject> window(component.create());
        if (!window) {
            qWarning() << component.errorString();
            return window;
        }
        auto *quickWindow = qobject_cast<QQuickWindow *>(window.get());
        if (!quickWindow || !QTest::qWaitForWindowExposed(quickWindow))
            return {};
        window->property("view").value<QQuickItem *>()->setProperty("model", QVariant::fromValue<QObject *>(&model()));
        return window;
    }

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<ModelTestEnvironment>();
        m_env->storeToken();
        m_env->model = std::make_unique<AppModel>(*m_env->client, *m_env->defaults, m_env->clock);
    }

    void cleanup()
    {
        m_engine.reset();
        m_env.reset();
    }

    // Moving by one inserts and removes only the pages that enter and leave
    // the window; a new set is one reset, built once its index is in.
    void pagerWindowMovesByRows()
    {
        QuestionScreenController controller(*m_env->defaults);
        QAbstractItemModelTester tester(controller.pages(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        controller.setModel(&model());
        QSignalSpy resets(controller.pages(), &QAbstractItemModel::modelReset);
        open(plainSet(10), 5);
        QTRY_COMPARE(resets.count(), 1);
        QCOMPARE(indices(*controller.pages()), (QList<int>{3, 4, 5, 6, 7}));

        QSignalSpy inserted(controller.pages(), &QAbstractItemModel::rowsInserted);
        QSignalSpy removed(controller.pages(), &QAbstractItemModel::rowsRemoved);
        model().moveQuestion(1);
        QCOMPARE(indices(*controller.pages()), (QList<int>{4, 5, 6, 7, 8}));
        QCOMPARE(inserted.count(), 1);
        QCOMPARE(removed.count(), 1);
        model().setCurrentQuestionIndex(0);
        QCOMPARE(indices(*controller.pages()), (QList<int>{0, 1, 2}));
        model().setCurrentQuestionIndex(9);
        QCOMPARE(indices(*controller.pages()), (QList<int>{7, 8, 9}));
        QCOMPARE(resets.count(), 1);
    }

    void materialQuestionsAreNoPlainPages()
    {
        QuestionScreenController controller(*m_env->defaults);
        controller.setModel(&model());
        QuestionModel set;
        set.materialsList = {Material{QStringLiteral("12"), QStringLiteral("材料"), QStringLiteral("<p>材料</p>")}};
        QList<Question> questions = plainSet(4);
        questions[1].materialsId = QStringLiteral(" 12");
        questions[2].materialsId = QStringLiteral("12");
        set.questionList = questions;
        model().setQuestionModel(set);
        open(questions, 0);
        QTRY_COMPARE(indices(*controller.pages()), QList<int>{0});
        QCOMPARE(controller.currentMaterialId(), QString());
        model().setCurrentQuestionIndex(1);
        QCOMPARE(controller.currentMaterialId(), QStringLiteral("12"));
        QCOMPARE(controller.currentMaterialContent(), QStringLiteral("<p>材料</p>"));
        model().setCurrentQuestionIndex(3);
        QCOMPARE(indices(*controller.pages()), QList<int>{3});
    }

    // Numbers skip introductions; an answer touches its own row only.
    void answerCardFollowsAnswers()
    {
        QuestionScreenController controller(*m_env->defaults);
        QAbstractItemModelTester tester(controller.answerCard(), QAbstractItemModelTester::FailureReportingMode::QtTest);
        controller.setModel(&model());
        QList<Question> set{intro(QStringLiteral("s1")), question(QStringLiteral("a")), question(QStringLiteral("b")),
                            question(QStringLiteral("c"), QuestionType::answer)};
        open(set, 0);
        AnswerCircleModel &card = *controller.answerCard();
        QTRY_COMPARE(card.rowCount(), 3);
        QCOMPARE(card.data(card.index(0), AnswerCircleModel::NumberRole).toInt(), 1);
        QCOMPARE(card.data(card.index(0), AnswerCircleModel::SourceIndexRole).toInt(), 1);
        // On an introduction no number is current.
        for (int row = 0; row < 3; ++row)
            QVERIFY(!card.data(card.index(row), AnswerCircleModel::CurrentRole).toBool());

        QSignalSpy changes(&card, &QAbstractItemModel::dataChanged);
        model().setAnswers({{QStringLiteral("b"), QStringLiteral("A")}});
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes.first().at(0).toModelIndex().row(), 1);
        QCOMPARE(card.data(card.index(1), AnswerCircleModel::StatusRole).toInt(), int(AnswerCircleModel::Answered));
        // A revealed subjective question counts as answered with nothing stored.
        model().setRevealedQuestionIDs({QStringLiteral("c")});
        QCOMPARE(card.data(card.index(2), AnswerCircleModel::StatusRole).toInt(), int(AnswerCircleModel::Answered));
        QCOMPARE(controller.answeredCountText(), QStringLiteral("已答 2 / 3"));
        QCOMPARE(controller.submitConfirmationMessage(), QStringLiteral("还有 1 道题未作答，确认提交吗？"));

        controller.jumpTo(1);
        QCOMPARE(model().currentQuestionIndex(), 1);
        QVERIFY(card.data(card.index(0), AnswerCircleModel::CurrentRole).toBool());
        controller.jumpTo(17);
        QCOMPARE(model().currentQuestionIndex(), 1);
    }

    void topBarFollowsTheSet()
    {
        QuestionScreenController controller(*m_env->defaults);
        controller.setModel(&model());
        QCOMPARE(controller.progressText(), QStringLiteral("0 / 0"));
        QVERIFY(!controller.hasCurrentQuestion());
        QVERIFY(!controller.exportEnabled());
        open({intro(QStringLiteral("s")), question(QStringLiteral("a")), question(QStringLiteral("b"))}, 0);
        QCOMPARE(controller.progressText(), QStringLiteral("题型说明"));
        QCOMPARE(controller.progressFraction(), 0.0);
        QVERIFY(controller.currentIsSectionIntro());
        QVERIFY(!controller.canGoPrevious());
        model().setCurrentQuestionIndex(2);
        QCOMPARE(controller.progressText(), QStringLiteral("2 / 2"));
        QCOMPARE(controller.progressFraction(), 1.0);
        QVERIFY(!controller.canGoNext());
        QCOMPARE(controller.title(), QStringLiteral("专项练习"));
        QCOMPARE(controller.modeLabel(), QStringLiteral("做题模式"));

        model().setSelectedExamBank(ExamBank{QStringLiteral("7"), QStringLiteral("行测题库"), 1});
        QVERIFY(controller.exportVisible());
        QVERIFY(controller.exportEnabled());
        AppModelTestProbe::setIsExportingPDF(model(), true);
        QVERIFY(!controller.exportEnabled());
    }

    void backGoesHomeOrToTheHistory_data()
    {
        QTest::addColumn<bool>("exporting");
        QTest::addColumn<bool>("fromHistory");
        QTest::addColumn<int>("screen");
        QTest::newRow("from home") << false << false << int(AppScreen::home);
        QTest::newRow("resumed from the history") << false << true << int(AppScreen::history);
        QTest::newRow("during an export") << true << true << int(AppScreen::questions);
    }

    void backGoesHomeOrToTheHistory()
    {
        QFETCH(bool, exporting);
        QFETCH(bool, fromHistory);
        QFETCH(int, screen);
        QuestionScreenController controller(*m_env->defaults);
        controller.setModel(&model());
        open(plainSet(3), 1);
        if (fromHistory)
            AppModelTestProbe::setActiveHistoryRecordID(model(), QString());
        AppModelTestProbe::setIsExportingPDF(model(), exporting);
        controller.goBack();
        QCOMPARE(int(model().screen()), screen);
        QCOMPARE(model().questions().isEmpty(), screen != int(AppScreen::questions));
    }

    // The submission's outcome must not be pulled away from under it.
    void backDuringASubmissionDoesNothing()
    {
        const QString commitPath = QStringLiteral("/exam/commitExam");
        QuestionScreenController controller(*m_env->defaults);
        controller.setModel(&model());
        QuestionModel set;
        set.userExamId = QStringLiteral("ue-1");
        set.questionList = plainSet(2);
        model().setQuestionModel(set);
        open(set.questionList, 1);
        m_env->service.holdReplies(commitPath);
        controller.submit();
        QTRY_VERIFY_WITH_TIMEOUT(m_env->service.heldReplyCount(commitPath) > 0, 10000);
        QVERIFY(model().isSubmittingPractice());
        controller.goBack();
        QCOMPARE(model().screen(), AppScreen::questions);
        QCOMPARE(model().questions().size(), 2);
        m_env->service.releaseReplies(commitPath);
        QTRY_VERIFY_WITH_TIMEOUT(!model().isSubmittingPractice(), 10000);
    }

    void swipeMovesWithinTheSet()
    {
        QuestionScreenController controller(*m_env->defaults);
        controller.setModel(&model());
        open(plainSet(3), 0);
        controller.swipe(100, 0); // previous on the first: stays
        QCOMPARE(model().currentQuestionIndex(), 0);
        controller.swipe(-100, 50);
        QCOMPARE(model().currentQuestionIndex(), 1);
        controller.swipe(-100, 80);
        QCOMPARE(model().currentQuestionIndex(), 1);
    }

    // Views that recolour on the model's announcement read the shared ink
    // and level, so those must already hold the new values.
    void sharedInkIsSetBeforeTheModelAnnounces()
    {
        QStringList seen;
        connect(&model(), &AppModel::transparentInkHexChanged, this,
                [&] { seen << TransparentInkPalette::currentHex(); });
        connect(&model(), &AppModel::transparentInkIntensityChanged, this,
                [&] { seen << QString::number(TransparentInkPalette::currentIntensity()); });
        connect(&model(), &AppModel::transparentAppearanceLevelChanged, this,
                [&] { seen << QString::number(TransparentAppearanceScale::currentValue()); });
        model().setTransparentInkHexValue(QStringLiteral("#FF0000"));
        model().setTransparentInkIntensityValue(0.5);
        model().setTransparentAppearanceLevel(1.25);
        QCOMPARE(seen, (QStringList{QStringLiteral("#FF0000"), QStringLiteral("0.5"), QStringLiteral("1.25")}));
    }

    void answerCardSwitchIsStored()
    {
        {
            QuestionScreenController first(*m_env->defaults);
            QVERIFY(first.answerCardCollapsed());
            first.toggleAnswerCard();
            QVERIFY(!first.answerCardCollapsed());
        }
        QCOMPARE(m_env->defaults->object(QuestionScreenController::answerCardCollapsedKey), QVariant(false));
        QuestionScreenController again(*m_env->defaults);
        QVERIFY(!again.answerCardCollapsed());
    }

    // The screen itself, offscreen: empty state, answer card and the
    // confirmation's two roads.
    void screenShowsAndHandsIn()
    {
        std::unique_ptr<QObject> window = loadScreen(1100);
        QVERIFY(window);
        auto *view = window->property("view").value<QQuickItem *>();

        QVERIFY(find(view, QStringLiteral("emptyQuestions"))->isVisible());
        QVERIFY(!find(view, QStringLiteral("answerCardColumn"))->isVisible());

        open(plainSet(4), 0);
        QTRY_VERIFY(!find(view, QStringLiteral("emptyQuestions"))->isVisible());
        QVERIFY(find(view, QStringLiteral("answerCardColumn"))->isVisible());
        QTRY_VERIFY(find(view, QStringLiteral("page0")));
        QVERIFY(find(view, QStringLiteral("page2")));
        QVERIFY(!find(view, QStringLiteral("page3")));
        QCOMPARE(find(view, QStringLiteral("progressText"))->property("text").toString(), QStringLiteral("1 / 4"));

        // The pages next to the current one are drawn (under it, unseen), so a
        // move by one shows a finished page; one two places away is loaded but
        // not drawn by the engine until it comes next.
        QVERIFY(find(view, QStringLiteral("page1"))->isVisible());
        QVERIFY(!find(view, QStringLiteral("page2"))->isVisible());
        QTRY_VERIFY(find(find(view, QStringLiteral("page2")), QStringLiteral("stemLoader"))->property("active").toBool());
        model().moveQuestion(1);
        QTRY_VERIFY(find(view, QStringLiteral("page2"))->isVisible());
        QVERIFY(find(view, QStringLiteral("page0"))->isVisible());
        model().moveQuestion(-1);

        // The card's numbers: the current one filled, an answered one soft.
        const auto fillOf = [&](int number) {
            QList<QQuickItem *> pending{view};
            while (!pending.isEmpty()) {
                QQuickItem *item = pending.takeFirst();
                if (item->objectName() == QLatin1String("answerNumber") && item->parentItem()
                    && item->parentItem()->property("number").toInt() == number)
                    return item->property("fillKind").toInt();
                pending.append(item->childItems());
            }
            return -1;
        };
        QTRY_COMPARE(fillOf(1), int(QuestionScreenRules::numberFill(false, true, false)));
        QCOMPARE(fillOf(2), int(QuestionScreenRules::numberFill(false, false, false)));
        model().setAnswers({{QStringLiteral("q1"), QStringLiteral("A")}});
        QTRY_COMPARE(fillOf(2), int(QuestionScreenRules::numberFill(false, false, true)));
        model().setAnswers({});
        QTRY_COMPARE(fillOf(2), int(QuestionScreenRules::numberFill(false, false, false)));

        // 交卷 asks first; cancel leaves everything as it was.
        view->setProperty("showingSubmitConfirmation", true);
        auto *modal = find(view, QStringLiteral("opaqueConfirmation"));
        QTRY_VERIFY(modal->property("cardItem").value<QQuickItem *>());
        auto *panel = modal->property("cardItem").value<QQuickItem *>();
        QCOMPARE(panel->property("message").toString(), QStringLiteral("还有 4 道题未作答，确认提交吗？"));
        QMetaObject::invokeMethod(panel, "cancelled");
        QVERIFY(!view->property("showingSubmitConfirmation").toBool());
        QCOMPARE(model().screen(), AppScreen::questions);

        // The transparent look swaps the form at once.
        model().setStudyTransparencyEnabled(true);
        view->setProperty("showingSubmitConfirmation", true);
        auto *seeThrough = find(view, QStringLiteral("transparentConfirmation"));
        QTRY_VERIFY(seeThrough->property("cardItem").value<QQuickItem *>());
        QVERIFY(!modal->property("isPresented").toBool());
        QCOMPARE(seeThrough->property("cardItem").value<QQuickItem *>()->width(), 300.0);
    }

    // The swipe's 60 points are the content's own: under the panel's zoom a
    // drag covers its distance in the window divided by the zoom, on the
    // plain pages as over a material question's card.
    void swipeIsMeasuredInTheZoomedContent_data()
    {
        QTest::addColumn<bool>("material");
        QTest::addColumn<double>("zoom");
        QTest::addColumn<int>("windowPixels");
        QTest::addColumn<bool>("turns");
        for (const bool material : {false, true}) {
            const char *where = material ? "material" : "page";
            QTest::addRow("%s, zoom 1.5, 60 px = 40 pt", where) << material << 1.5 << 60 << false;
            QTest::addRow("%s, zoom 1.5, 90 px = 60 pt", where) << material << 1.5 << 90 << true;
            QTest::addRow("%s, zoom 0.5, 30 px = 60 pt", where) << material << 0.5 << 30 << true;
            QTest::addRow("%s, zoom 0.5, 28 px = 56 pt", where) << material << 0.5 << 28 << false;
            QTest::addRow("%s, zoom 1, 58 px", where) << material << 1.0 << 58 << false;
            QTest::addRow("%s, zoom 1, 62 px", where) << material << 1.0 << 62 << true;
        }
    }
    void swipeIsMeasuredInTheZoomedContent()
    {
        QFETCH(bool, material);
        QFETCH(double, zoom);
        QFETCH(int, windowPixels);
        QFETCH(bool, turns);
        std::unique_ptr<QObject> window = loadScreen(1100, 760, zoom);
        QVERIFY(window);
        auto *view = window->property("view").value<QQuickItem *>();
        QuestionModel set;
        set.materialsList = {Material{QStringLiteral("m1"), QStringLiteral("材料"), QStringLiteral("<p>材料正文</p>")}};
        set.questionList = plainSet(3);
        if (material) {
            for (Question &q : set.questionList)
                q.materialsId = QStringLiteral("m1");
        }
        model().setQuestionModel(set);
        open(set.questionList, 1);
        // Low on the right of the pages, below the question's content.
        QQuickItem *area = nullptr;
        QTRY_VERIFY((area = find(view, material ? QStringLiteral("materialPages") : QStringLiteral("pager"))));
        QTRY_VERIFY(area->height() > 100);
        QTest::qWait(100);
        auto *quickWindow = qobject_cast<QQuickWindow *>(window.get());
        const QPoint start = area->mapToScene(QPointF(area->width() - 20, area->height() - 20)).toPoint();
        drag(quickWindow, start, start - QPoint(windowPixels, 0));
        QCOMPARE(model().currentQuestionIndex(), turns ? 2 : 1);
        drag(quickWindow, start - QPoint(windowPixels, 0), start);
        QCOMPARE(model().currentQuestionIndex(), 1);
    }

    // A sideways drag that begins on the stem's text selects it and keeps the
    // question; the same drag begun elsewhere on the page turns it.
    void dragOnTheStemSelects()
    {
        QList<Question> set = plainSet(3);
        set[1].context = QStringLiteral("<p>") + QString(120, QChar(u'材')) + QStringLiteral("</p>");
        open(set, 1);
        ScreenWindow screen(model());
        QVERIFY(screen.view);
        QVERIFY(QTest::qWaitForWindowExposed(&screen.window));
        QQuickItem *stem = screen.loadedStem(QStringLiteral("page1"));
        QVERIFY(stem);
        auto *html = stem->property("view").value<QQuickItem *>();
        QCOMPARE(screen.evaluate(html, QStringLiteral("window.getSelection().toString().length")).toInt(), 0);

        const QPoint start = stem->mapToScene(QPointF(8, 18)).toPoint();
        drag(&screen.window, start, start + QPoint(300, 0));
        QCOMPARE(model().currentQuestionIndex(), 1);
        QTRY_VERIFY(screen.evaluate(html, QStringLiteral("window.getSelection().toString().length")).toInt() >= 5);

        // Down across lines (on a page that could scroll): still a selection,
        // and the page stays where it is.
        screen.evaluate(html, QStringLiteral("window.getSelection().removeAllRanges(); 1"));
        QQuickItem *page = find(screen.view.get(), QStringLiteral("page1"));
        page->setProperty("contentHeight", 3000);
        drag(&screen.window, start, start + QPoint(120, 60));
        QCOMPARE(page->property("contentY").toDouble(), 0.0);
        QTRY_VERIFY(screen.evaluate(html, QStringLiteral("window.getSelection().toString().length")).toInt() > 40);
        QCOMPARE(model().currentQuestionIndex(), 1);

        // Below the content, on the page itself, the same drag leftward is a swipe.
        QQuickItem *pager = find(screen.view.get(), QStringLiteral("pager"));
        const QPoint open = pager->mapToScene(QPointF(pager->width() - 40, pager->height() - 30)).toPoint();
        drag(&screen.window, open, open - QPoint(300, 0));
        QCOMPARE(model().currentQuestionIndex(), 2);
    }

    // A clicked image opens the sheet: while it is up the answering and arrow
    // keys reach nothing behind it; Escape, its close button and a move to
    // another question close it.
    void imageSheetIsModal()
    {
        QList<Question> set = plainSet(3);
        set[1].context = QStringLiteral("<p>看图</p><p><img id=\"pic\" src=\"%1\"></p>").arg(redPicture());
        open(set, 1);
        ScreenWindow screen(model());
        QVERIFY(screen.view);
        QVERIFY(QTest::qWaitForWindowExposed(&screen.window));
        screen.window.requestActivate();
        QQuickItem *stem = screen.loadedStem(QStringLiteral("page1"));
        QVERIFY(stem);
        auto *html = stem->property("view").value<QQuickItem *>();
        QTRY_VERIFY_WITH_TIMEOUT(
            screen.evaluate(html, QStringLiteral("document.getElementById('pic').getBoundingClientRect().width")).toDouble()
                > 100,
            15000);

        // The keys work while no sheet is up.
        QTest::keyClick(&screen.window, Qt::Key_Right);
        QCOMPARE(model().currentQuestionIndex(), 2);
        QTest::keyClick(&screen.window, Qt::Key_Left);
        QCOMPARE(model().currentQuestionIndex(), 1);

        const auto openSheet = [&]() -> QQuickItem * {
            const QVariantList centre = screen.evaluate(html, QStringLiteral(
                "(function(){var r=document.getElementById('pic').getBoundingClientRect();"
                "return [r.x + r.width / 2, r.y + r.height / 2];})()")).toList();
            if (centre.size() != 2)
                return nullptr;
            const QPoint at = html->mapToScene(QPointF(centre[0].toDouble(), centre[1].toDouble())).toPoint();
            QTest::mouseMove(&screen.window, at);
            QTest::qWait(50);
            QTest::mouseClick(&screen.window, Qt::LeftButton, {}, at);
            QQuickItem *sheet = nullptr;
            const bool shown = QTest::qWaitFor(
                [&] { return (sheet = stem->property("imageViewer").value<QQuickItem *>()) != nullptr; }, 10000);
            return shown ? sheet : nullptr;
        };
        QQuickItem *sheet = openSheet();
        QVERIFY(sheet);
        QQuickItem *card = find(sheet, QStringLiteral("imageViewerCard"));
        QVERIFY(card);
        QCOMPARE(card->size(), QSizeF(640, 480));

        for (Qt::Key key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Z, Qt::Key_X, Qt::Key_Return})
            QTest::keyClick(&screen.window, key);
        QTest::qWait(250); // past the answer's move to the next question
        QCOMPARE(model().currentQuestionIndex(), 1);
        QVERIFY(model().answers().isEmpty());
        QCOMPARE(stem->property("imageViewer").value<QQuickItem *>(), sheet);

        QTest::keyClick(&screen.window, Qt::Key_Escape);
        QTRY_VERIFY(!stem->property("imageViewer").value<QQuickItem *>());
        QTest::keyClick(&screen.window, Qt::Key_Right);
        QCOMPARE(model().currentQuestionIndex(), 2);
        QTest::keyClick(&screen.window, Qt::Key_Left);

        sheet = openSheet();
        QVERIFY(sheet);
        QQuickItem *close = find(sheet, QStringLiteral("imageViewerClose"));
        QVERIFY(close);
        QTest::mouseClick(&screen.window, Qt::LeftButton, {},
                          close->mapToScene(QPointF(close->width() / 2, close->height() / 2)).toPoint());
        QTRY_VERIFY(!stem->property("imageViewer").value<QQuickItem *>());

        QVERIFY(openSheet());
        model().setCurrentQuestionIndex(0);
        QTRY_VERIFY(!stem->property("imageViewer").value<QQuickItem *>());
    }

    // While the current question reads a material, the plain pager keeps no
    // pages: the neighbours' pages and their web views are gone, not hidden.
    void materialQuestionUnmountsThePlainPages()
    {
        std::unique_ptr<QObject> window = loadScreen(1100);
        QVERIFY(window);
        auto *view = window->property("view").value<QQuickItem *>();
        QuestionModel set;
        set.materialsList = {Material{QStringLiteral("m1"), QStringLiteral("材料"), QStringLiteral("<p>材料正文</p>")}};
        set.questionList = plainSet(6);
        set.questionList[2].materialsId = QStringLiteral("m1");
        model().setQuestionModel(set);
        open(set.questionList, 1);
        auto *pager = find(view, QStringLiteral("pager"));
        QVERIFY(pager);
        const auto mounted = [&] {
            QStringList found;
            QList<QQuickItem *> pending{pager};
            while (!pending.isEmpty()) {
                QQuickItem *item = pending.takeFirst();
                if (item->objectName().startsWith(QLatin1String("page")) && item->objectName() != QLatin1String("pager"))
                    found << item->objectName();
                if (item->inherits("QQuickWebEngineView"))
                    found << QStringLiteral("web view");
                pending.append(item->childItems());
            }
            return found;
        };
        QTRY_VERIFY(mounted().contains(QStringLiteral("page3")));
        QVERIFY(!mounted().contains(QStringLiteral("page2")));

        model().setCurrentQuestionIndex(2);
        QTRY_VERIFY(find(view, QStringLiteral("questionCard")));
        QTRY_COMPARE(mounted(), QStringList());

        // Back on a plain question the pager builds its window again.
        model().setCurrentQuestionIndex(3);
        QTRY_VERIFY(mounted().contains(QStringLiteral("page3")));
        QVERIFY(mounted().contains(QStringLiteral("page1")));
        QVERIFY(!find(view, QStringLiteral("questionCard")));
    }

    // The current page loads first: until its stem has laid out, no page
    // beside it builds a web view; then they all load. The same holds after
    // a jump to a part of the set whose pages are all new.
    void neighboursLoadAfterTheCurrentPage()
    {
        open(plainSet(12), 2);
        std::unique_ptr<QObject> window = loadScreen(1100);
        QVERIFY(window);
        auto *view = window->property("view").value<QQuickItem *>();
        verifyCurrentLoadsFirst(view, 2, 12);
        if (QTest::currentTestFailed())
            return;
        model().setCurrentQuestionIndex(8);
        verifyCurrentLoadsFirst(view, 8, 12);
        if (QTest::currentTestFailed())
            return;
        // Another set on the shown screen, at the same index, starts over.
        QList<Question> other = plainSet(12);
        for (Question &q : other)
            q.id = QStringLiteral("other-") + q.id;
        open(other, 8);
        QTRY_VERIFY(find(view, QStringLiteral("page8"))
                    && find(view, QStringLiteral("page8"))->property("questionId").toString() == QStringLiteral("other-q8"));
        verifyCurrentLoadsFirst(view, 8, 12);
    }

    // The neighbours' web views are built after a frame that shows the
    // current page's laid-out content, not in the turns before it, where
    // building them would hold that frame back.
    void neighboursWaitForTheFrameThatShowsTheCurrentPage()
    {
        open(plainSet(6), 2);
        std::unique_ptr<QObject> window = loadScreen(1100);
        QVERIFY(window);
        auto *quickWindow = qobject_cast<QQuickWindow *>(window.get());
        auto *view = window->property("view").value<QQuickItem *>();
        std::atomic<int> frames{0};
        connect(quickWindow, &QQuickWindow::frameSwapped, quickWindow, [&frames] { ++frames; }, Qt::DirectConnection);
        int framesWhenShown = -1;
        QElapsedTimer clock;
        clock.start();
        for (;;) {
            QVERIFY2(clock.elapsed() < 20000, "the neighbours never loaded");
            QQuickItem *current = find(view, QStringLiteral("page2"));
            if (framesWhenShown < 0 && current && current->property("contentShown").toBool())
                framesWhenShown = frames;
            if (webViewsOnPage(view, 1) + webViewsOnPage(view, 3) > 0)
                break;
            QTest::qWait(1);
        }
        QVERIFY(framesWhenShown >= 0);
        QVERIFY2(frames > framesWhenShown, "a neighbour built its web view before a frame showed the current page");
    }

    // The neighbours' fallback delay runs from when a page is to be shown,
    // not from when the screen was built: a set that comes later than the
    // delay still loads its current page first.
    void neighboursWaitForASetPublishedLater()
    {
        open({}, 0);
        std::unique_ptr<QObject> window = loadScreen(1100);
        QVERIFY(window);
        auto *view = window->property("view").value<QQuickItem *>();
        QTest::qWait(2300);
        open(plainSet(6), 0);
        QTRY_VERIFY(find(view, QStringLiteral("page0")));
        verifyCurrentLoadsFirst(view, 0, 6);
    }

    // A long menu name gives way to the export button and the progress group
    // at every width down to the panel's least one: it is cut with an
    // ellipsis and stays inside the bar's height.
    void topBarTitleNeverRunsUnderTheRightGroup_data()
    {
        QTest::addColumn<int>("width");
        QTest::addColumn<bool>("xingCe");
        for (int width : {450, 560, 800}) {
            QTest::addRow("%d, with export", width) << width << true;
            QTest::addRow("%d, without export", width) << width << false;
        }
    }

    void topBarTitleNeverRunsUnderTheRightGroup()
    {
        QFETCH(int, width);
        QFETCH(bool, xingCe);
        std::unique_ptr<QObject> window = loadScreen(width);
        QVERIFY(window);
        auto *view = window->property("view").value<QQuickItem *>();
        if (xingCe)
            model().setSelectedExamBank(ExamBank{QStringLiteral("7"), QStringLiteral("行测题库"), 1});
        CardMenu menu;
        menu.menuId = QStringLiteral("m");
        menu.name = QStringLiteral("言语理解与表达·片段阅读·主旨概括与意图判断专项强化训练第二十三套（含近五年国考省考真题）");
        model().setSelectedMenu(menu);
        open(plainSet(120), 99);

        auto *bar = find(view, QStringLiteral("questionTopBar"));
        auto *title = find(view, QStringLiteral("setTitle"));
        auto *exportButton = find(view, QStringLiteral("exportButton"));
        auto *progressText = find(view, QStringLiteral("progressText"));
        QVERIFY(bar && title && exportButton && progressText);
        QQuickItem *block = title->parentItem();      // the title and the mode label
        QQuickItem *progress = progressText->parentItem(); // the text and the bar
        QTRY_COMPARE(progressText->property("text").toString(), QStringLiteral("100 / 120"));
        QCOMPARE(exportButton->isVisible(), xingCe);
        const auto left = [](QQuickItem *item) { return item->mapToScene(QPointF(0, 0)).x(); };
        const auto right = [](QQuickItem *item) { return item->mapToScene(QPointF(item->width(), 0)).x(); };
        QQuickItem *firstOnTheRight = xingCe ? exportButton : progress;
        QTRY_VERIFY2(right(title) + 8 <= left(firstOnTheRight),
                     qPrintable(QStringLiteral("title ends at %1, the right group starts at %2")
                                    .arg(right(title))
                                    .arg(left(firstOnTheRight))));
        QVERIFY(right(exportButton) <= left(progress) || !xingCe);
        QVERIFY(right(progress) <= bar->width() - 20 + 0.5);
        // The name does not fit at these widths.
        QCOMPARE(title->property("text").toString(), menu.name);
        QVERIFY(title->property("truncated").toBool());
        // And the block stays inside the bar.
        const QPointF blockTop = block->mapToItem(bar, QPointF(0, 0));
        QVERIFY2(blockTop.y() >= 0 && blockTop.y() + block->height() <= bar->height(),
                 qPrintable(QStringLiteral("title block %1 … %2").arg(blockTop.y()).arg(blockTop.y() + block->height())));
    }
};

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    TestQuestionScreen test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_questionscreen.moc"
