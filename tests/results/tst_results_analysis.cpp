// The analysis screen: material lookup, option marks, the navigator, swipes,
// stale height reports and the answer card setting (the material split is
// tested on the screen itself, in tst_results_views).

#include "AnalysisController.h"
#include "QuestionBodyRules.h"
#include "QuestionScreenRules.h"
#include "ResultsTestSupport.h"
#include "app/TransparentAppearanceScale.h"

#include <QSignalSpy>

using namespace PracticeTest;
using namespace ResultsTest;

namespace {

Material material(const QString &id)
{
    Material value;
    value.id = id;
    value.title = QStringLiteral("材料 ") + id;
    value.context = QStringLiteral("<p>") + id + QStringLiteral("</p>");
    return value;
}

Question withMaterial(const QString &questionId, const std::optional<QString> &materialsId)
{
    Question question = choice(questionId, QStringLiteral("A"), QString());
    question.materialsId = materialsId;
    return question;
}

} // namespace

class TestAnalysisScreen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    std::unique_ptr<AnalysisController> controller;

    AppModel &model() { return *env->model; }

    void showList(const QList<Question> &questions, bool fromCollections = false,
                  const QList<Material> &materials = {})
    {
        model().setAnalysisQuestions(questions);
        model().setAnalysisMaterials(materials);
        model().setCurrentAnalysisIndex(0);
        model().setAnalysisFromCollections(fromCollections);
        model().setScreen(AppScreen::analysis);
    }

    QList<Question> numbered(int count)
    {
        QList<Question> questions;
        for (int i = 0; i < count; ++i)
            questions.append(choice(QStringLiteral("q%1").arg(i), QStringLiteral("A"), QStringLiteral("A")));
        return questions;
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<Environment>();
        env->makeModel();
        controller = std::make_unique<AnalysisController>();
        controller->setModel(env->model.get());
    }

    void cleanup()
    {
        controller.reset();
        env.reset();
        TransparentAppearanceScale::setCurrentValue(1.0);
    }

    void materialLookup_data()
    {
        QTest::addColumn<QVariant>("materialsId"); // invalid: absent
        QTest::addColumn<QString>("expected");     // empty: none
        QTest::newRow("absent") << QVariant() << QString();
        QTest::newRow("blanks around on both sides") << QVariant(QStringLiteral(" 12\n")) << QStringLiteral(" 12 ");
        QTest::newRow("empty") << QVariant(QString()) << QString();
        QTest::newRow("blank") << QVariant(QStringLiteral("  ")) << QString();
        QTest::newRow("0") << QVariant(QStringLiteral("0")) << QString();
        QTest::newRow("NuLl with blanks") << QVariant(QStringLiteral(" NuLl ")) << QString();
        QTest::newRow("00 is an id") << QVariant(QStringLiteral("00")) << QStringLiteral("00");
        QTest::newRow("no such material") << QVariant(QStringLiteral("99")) << QString();
        QTest::newRow("case matters") << QVariant(QStringLiteral("M7")) << QString();
    }

    void materialLookup()
    {
        QFETCH(QVariant, materialsId);
        QFETCH(QString, expected);
        const QList<Material> materials{material(QStringLiteral("m7")), material(QStringLiteral(" 12 ")),
                                        material(QStringLiteral("00"))};
        const std::optional<QString> id = materialsId.isValid() ? std::optional(materialsId.toString()) : std::nullopt;
        const auto found = QuestionScreenRules::materialFor(withMaterial(QStringLiteral("q"), id), materials);
        QCOMPARE(found ? found->id : QString(), expected);
    }

    void optionLetters_data()
    {
        QTest::addColumn<qint64>("index");
        QTest::addColumn<QString>("letter");
        QTest::newRow("0") << qint64(0) << QStringLiteral("A");
        QTest::newRow("25") << qint64(25) << QStringLiteral("Z");
        QTest::newRow("26") << qint64(26) << QStringLiteral("[");
        QTest::newRow("surrogate range") << qint64(0xD800 - 65) << QString::number(0xD800 - 65 + 1);
        QTest::newRow("beyond unicode") << qint64(0x110000) << QString::number(0x110000 + 1);
    }

    void optionLetters()
    {
        QFETCH(qint64, index);
        QFETCH(QString, letter);
        QCOMPARE(QuestionBodyRules::optionLetter(index), letter);
    }

    void optionMarks_data()
    {
        QTest::addColumn<bool>("fromCollections");
        QTest::addColumn<QVariantList>("right");
        QTest::addColumn<QVariantList>("wrongPicks");
        QTest::newRow("from a report") << false << QVariantList{true, true, false, false}
                                       << QVariantList{false, false, true, false};
        QTest::newRow("from a collection") << true << QVariantList{true, true, false, false}
                                           << QVariantList{false, false, false, false};
    }

    void optionMarks()
    {
        QFETCH(bool, fromCollections);
        QFETCH(QVariantList, right);
        QFETCH(QVariantList, wrongPicks);
        QAbstractItemModelTester tester(controller->options());
        showList({choice(QStringLiteral("m"), QStringLiteral("AB"), QStringLiteral("ac"), QuestionType::multiple)},
                 fromCollections);
        QCOMPARE(column(*controller->options(), "letter"),
                 (QVariantList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"), QStringLiteral("D")}));
        QCOMPARE(column(*controller->options(), "isRight"), right);
        QCOMPARE(column(*controller->options(), "isWrongPick"), wrongPicks);
        QCOMPARE(controller->correctAnswerText(), QStringLiteral("AB"));
        QCOMPARE(controller->userAnswerText(), QStringLiteral("ac"));
        QVERIFY(!controller->userAnswerCorrect());
        QCOMPARE(controller->showsUserAnswer(), !fromCollections);
        QCOMPARE(controller->typeTag(), QStringLiteral("多选题"));
    }

    void optionRowsAreKeptAcrossQuestions()
    {
        // Content views are reused: a move updates rows and adds or removes the difference.
        QAbstractItemModelTester tester(controller->options());
        showList({choice(QStringLiteral("a"), QStringLiteral("A"), QString(), QuestionType::single, 4),
                  choice(QStringLiteral("b"), QStringLiteral("B"), QString(), QuestionType::single, 2),
                  choice(QStringLiteral("c"), QStringLiteral("A"), QString(), QuestionType::answer, 0)});
        QSignalSpy resets(controller->options(), &QAbstractItemModel::modelReset);
        QSignalSpy removed(controller->options(), &QAbstractItemModel::rowsRemoved);
        controller->moveBy(1);
        QCOMPARE(controller->options()->rowCount(), 2);
        QCOMPARE(removed.count(), 1);
        QCOMPARE(column(*controller->options(), "isRight"), (QVariantList{false, true}));
        controller->moveBy(1);
        QCOMPARE(controller->options()->rowCount(), 0);
        QVERIFY(!controller->showsResultCard());
        QCOMPARE(controller->typeTag(), QStringLiteral("简答题"));
        QCOMPARE(resets.count(), 0);
    }

    void placeholders()
    {
        Question bare = choice(QStringLiteral("x"), QString(), QString());
        bare.questionFrom = QStringLiteral(" ");
        showList({bare});
        QCOMPARE(controller->correctAnswerText(), QStringLiteral("—"));
        QCOMPARE(controller->userAnswerText(), QStringLiteral("未作答"));
        QVERIFY(!controller->userAnswerCorrect());
        QCOMPARE(controller->analysisHtml(), QStringLiteral("暂无解析")); // shown in the analysis page
        QVERIFY(controller->hasSource()); // a blank source still shows
        QCOMPARE(controller->sourceText(), QStringLiteral("来源： "));
        QCOMPARE(column(*controller->options(), "isMarked"), (QVariantList{false, false, false, false}));
    }

    void headerAndNavigation_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("progress");
        QTest::addColumn<bool>("previous");
        QTest::addColumn<bool>("next");
        QTest::newRow("empty list") << 0 << 0 << QStringLiteral("0 / 0") << false << false;
        QTest::newRow("one question") << 1 << 0 << QStringLiteral("1 / 1") << false << false;
        QTest::newRow("first of 12") << 12 << 0 << QStringLiteral("1 / 12") << false << true;
        QTest::newRow("middle") << 12 << 6 << QStringLiteral("7 / 12") << true << true;
        QTest::newRow("last") << 12 << 11 << QStringLiteral("12 / 12") << true << false;
    }

    void headerAndNavigation()
    {
        QFETCH(int, count);
        QFETCH(int, index);
        QFETCH(QString, progress);
        QFETCH(bool, previous);
        QFETCH(bool, next);
        showList(numbered(count));
        controller->select(index);
        QCOMPARE(controller->progressText(), progress);
        QCOMPARE(controller->canMovePrevious(), previous);
        QCOMPARE(controller->canMoveNext(), next);
        QCOMPARE(controller->hasCurrentQuestion(), count > 0);
    }

    void backAndTitles_data()
    {
        QTest::addColumn<bool>("fromCollections");
        QTest::addColumn<QString>("backLabel");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("navigatorTitle");
        QTest::addColumn<int>("screen");
        QTest::newRow("report") << false << QStringLiteral("练习报告") << QStringLiteral("题目解析")
                                << QStringLiteral("解析题目") << int(AppScreen::report);
        QTest::newRow("collections") << true << QStringLiteral("我的收藏") << QStringLiteral("收藏题目")
                                     << QStringLiteral("收藏题目") << int(AppScreen::collections);
    }

    void backAndTitles()
    {
        QFETCH(bool, fromCollections);
        QFETCH(QString, backLabel);
        QFETCH(QString, title);
        QFETCH(QString, navigatorTitle);
        QFETCH(int, screen);
        showList(numbered(2), fromCollections);
        QCOMPARE(controller->backLabel(), backLabel);
        QCOMPARE(controller->title(), title);
        QCOMPARE(controller->navigatorTitle(), navigatorTitle);
        controller->back();
        QCOMPARE(int(model().screen()), screen);
    }

    void navigatorMarksAndStatuses()
    {
        QAbstractItemModelTester tester(controller->navigator());
        QList<Question> questions = numbered(12);
        questions[1].userAnswer = QStringLiteral("B");
        questions[2].userAnswer = QString();
        questions[3].userAnswer = QStringLiteral(" ");
        showList(questions);
        const AnswerCircleModel &grid = *controller->navigator();
        QCOMPARE(grid.rowCount(), 12);
        QCOMPARE(column(grid, "status").mid(0, 4),
                 (QVariantList{AnswerStatusCircleStyle::Correct, AnswerStatusCircleStyle::Incorrect,
                               AnswerStatusCircleStyle::Unanswered, AnswerStatusCircleStyle::Incorrect}));

        // A move changes the current mark of two rows only.
        QSignalSpy changes(controller->navigator(), &QAbstractItemModel::dataChanged);
        controller->select(6);
        QCOMPARE(model().currentAnalysisIndex(), 6);
        QCOMPARE(changes.count(), 2);
        QVariantList current = column(grid, "current");
        QCOMPARE(current.indexOf(true), 6);
        QCOMPARE(current.count(true), 1);

        // From a collection every circle is unanswered.
        model().setAnalysisFromCollections(true);
        const QVariantList statuses = column(grid, "status");
        QVERIFY(std::all_of(statuses.cbegin(), statuses.cend(),
                            [](const QVariant &s) { return s.toInt() == AnswerStatusCircleStyle::Unanswered; }));
    }

    void swipe_data()
    {
        QTest::addColumn<double>("dx");
        QTest::addColumn<double>("dy");
        QTest::addColumn<int>("step");
        QTest::newRow("(-100, 70): next") << -100.0 << 70.0 << 1;
        QTest::newRow("(-100, 72): not horizontal enough") << -100.0 << 72.0 << 0;
        QTest::newRow("rightward: previous") << 100.0 << 0.0 << -1;
        QTest::newRow("shorter than 60") << -59.0 << 0.0 << 0;
        QTest::newRow("exactly 60") << -60.0 << 0.0 << 1;
        QTest::newRow("vertical") << 0.0 << 300.0 << 0;
        QTest::newRow("not a number") << qQNaN() << 0.0 << 0;
    }

    void swipe()
    {
        QFETCH(double, dx);
        QFETCH(double, dy);
        QFETCH(int, step);
        showList(numbered(3));
        controller->select(1);
        QCOMPARE(controller->finishSwipe(dx, dy), step != 0);
        QCOMPARE(model().currentAnalysisIndex(), 1 + step);
    }

    void swipePastTheEndStays()
    {
        showList(numbered(2));
        QVERIFY(!controller->finishSwipe(200, 0));
        QCOMPARE(model().currentAnalysisIndex(), 0);
        controller->select(1);
        QVERIFY(!controller->finishSwipe(-200, 0));
        QCOMPARE(model().currentAnalysisIndex(), 1);
    }

    void horizontalWheel()
    {
        showList(numbered(5));
        // Touchpad deltas add up within one gesture; one gesture moves once.
        qint64 t = 1000;
        QVERIFY(!controller->wheelSwipe(-20, 0, t += 16));
        QVERIFY(!controller->wheelSwipe(-20, 3, t += 16));
        QVERIFY(controller->wheelSwipe(-25, 0, t += 16));
        QCOMPARE(model().currentAnalysisIndex(), 1);
        QVERIFY(!controller->wheelSwipe(-200, 0, t += 16));
        QCOMPARE(model().currentAnalysisIndex(), 1);

        // After a pause a new gesture starts; this one goes back.
        t += SwipeRule::WheelTracker::gestureGapMilliseconds + 1;
        QVERIFY(controller->wheelSwipe(120, 0, t));
        QCOMPARE(model().currentAnalysisIndex(), 0);

        // Vertical scrolling never moves.
        t += 1000;
        for (int i = 0; i < 10; ++i)
            QVERIFY(!controller->wheelSwipe(-10, -60, t += 16));
        QCOMPARE(model().currentAnalysisIndex(), 0);
    }

    void staleHeightReportsAreIgnored()
    {
        showList(numbered(2));
        const int first = controller->contentGeneration();
        controller->reportQuestionHeight(first, 300);
        controller->reportAnalysisHeight(first, 20);
        QCOMPARE(controller->questionFrameHeight(), 300.0);
        QCOMPARE(controller->analysisFrameHeight(), 40.0); // never below 40

        controller->moveBy(1);
        const int second = controller->contentGeneration();
        QVERIFY(second != first);
        // The new question starts at the previous heights.
        QCOMPARE(controller->questionFrameHeight(), 300.0);
        // The previous page reports late: ignored.
        controller->reportQuestionHeight(first, 900);
        QCOMPARE(controller->questionFrameHeight(), 300.0);
        controller->reportQuestionHeight(second, 10);
        QCOMPARE(controller->questionFrameHeight(), 80.0); // never below 80
        controller->reportQuestionHeight(second, qQNaN());
        QCOMPARE(controller->questionFrameHeight(), 80.0);

        // The same question published again is no new content.
        model().setCurrentAnalysisIndex(1);
        QCOMPARE(controller->contentGeneration(), second);
    }

    void answerCardSetting()
    {
        QVERIFY(controller->answerCardCollapsed()); // absent: collapsed
        QCOMPARE(controller->handleTooltip(), QStringLiteral("展开答题卡"));
        controller->toggleAnswerCard();
        QVERIFY(!controller->answerCardCollapsed());
        QCOMPARE(controller->handleTooltip(), QStringLiteral("收起答题卡"));
        // Kept in the store under the key the question screen shares.
        QVERIFY(env->defaults->contains(AnalysisController::answerCardCollapsedKey));
        QVERIFY(!env->defaults->boolean(AnalysisController::answerCardCollapsedKey));
        AnalysisController other;
        QVERIFY(!other.answerCardCollapsed());
    }

    void transparentOpacities_data()
    {
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("verdict");
        QTest::addColumn<double>("icon");
        QTest::addColumn<double>("stemImages");
        QTest::newRow("1.2") << 1.2 << 0.864 << 0.996 << 0.816;
        QTest::newRow("1.0") << 1.0 << 0.72 << 0.83 << 0.68;
        QTest::newRow("0.5") << 0.5 << 0.72 << 0.83 << 0.68;
        QTest::newRow("1.65") << 1.65 << 1.0 << 1.0 << 1.0;
    }

    void transparentOpacities()
    {
        QFETCH(double, level);
        QFETCH(double, verdict);
        QFETCH(double, icon);
        QFETCH(double, stemImages);
        showList({choice(QStringLiteral("c"), QStringLiteral("A"), QString()),
                  choice(QStringLiteral("s"), QStringLiteral("要点"), QString(), QuestionType::answer, 0)});
        TransparentAppearanceScale::setCurrentValue(level);
        QCOMPARE(controller->verdictOpacity(), 1.0); // the normal look
        QCOMPARE(controller->htmlTextOpacity(), 0.86);
        model().setStudyTransparencyEnabled(true);
        QVERIFY(qFuzzyCompare(controller->verdictOpacity(), verdict));
        QVERIFY(qFuzzyCompare(controller->headingIconOpacity(), icon));
        QVERIFY(qFuzzyCompare(controller->stemImageOpacity(), stemImages));
        QCOMPARE(controller->htmlTextOpacity(), 1.0);
        QCOMPARE(controller->analysisImageOpacity(), 1.0); // a choice question's analysis
        controller->moveBy(1);
        QVERIFY(qFuzzyCompare(controller->analysisImageOpacity(), stemImages));
    }
};

QTEST_MAIN(TestAnalysisScreen)
#include "tst_results_analysis.moc"
