#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "ModalKeyGuard.h"
#include "ModelTestEnvironment.h"
#include "QuestionScreenController.h"
#include "QuestionScreenRules.h"
#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

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

private Q_SLOTS:
    void init()
    {
        m_env = std::make_unique<ModelTestEnvironment>();
        m_env->storeToken();
        m_env->model = std::make_unique<AppModel>(*m_env->client, *m_env->defaults, m_env->clock);
    }

    void cleanup() { m_env.reset(); }

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
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(&engine, &model());
        QQmlComponent component(&engine);
        component.setData(R"(
import QtQuick
import QtQuick.Window
import Vuzo
Window {
    width: 1100; height: 760; visible: true
    property alias view: view
    QuestionView { id: view; anchors.fill: parent }
}
)",
                          QUrl(QStringLiteral("qrc:/test/Screen.qml")));
        std::unique_ptr<QObject> window(component.create());
        QVERIFY2(window, qPrintable(component.errorString()));
        auto *view = window->property("view").value<QQuickItem *>();
        view->setProperty("model", QVariant::fromValue<QObject *>(&model()));

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

    // While a modal is up, keys reach its focused control and nothing else
    // of the window sees them.
    void modalKeyGuardKeepsKeysInTheModal()
    {
        QQmlEngine engine;
        engine.addImportPath(QStringLiteral("qrc:/"));
        QQmlComponent component(&engine);
        component.setData(R"(
import QtQuick
import QtQuick.Window
import Vuzo
Window {
    width: 200; height: 200; visible: true
    property alias guard: guard
    property int panelKeys: 0
    ModalKeyGuard { id: guard }
    FocusScope {
        id: panel
        anchors.fill: parent
        focus: true
        Keys.onPressed: (event) => { panelKeys += 1; event.accepted = true; }
    }
}
)",
                          QUrl(QStringLiteral("qrc:/test/Guard.qml")));
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        auto *window = qobject_cast<QQuickWindow *>(object.get());
        QVERIFY(QTest::qWaitForWindowExposed(window));
        window->requestActivate();
        QTRY_VERIFY(window->activeFocusItem());

        struct Recorder : QObject
        {
            int keys = 0;
            bool eventFilter(QObject *, QEvent *event) override
            {
                if (event->type() == QEvent::KeyPress)
                    ++keys;
                return false;
            }
        } windowLevel;
        window->installEventFilter(&windowLevel);

        QTest::keyClick(window, Qt::Key_A);
        QCOMPARE(windowLevel.keys, 1);
        QCOMPARE(object->property("panelKeys").toInt(), 1);

        auto *guard = object->property("guard").value<ModalKeyGuard *>();
        guard->setActive(true);
        QTest::keyClick(window, Qt::Key_A);
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(windowLevel.keys, 1);
        QCOMPARE(object->property("panelKeys").toInt(), 3);

        guard->setActive(false);
        QTest::keyClick(window, Qt::Key_A);
        QCOMPARE(windowLevel.keys, 2);
        window->removeEventFilter(&windowLevel);
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
