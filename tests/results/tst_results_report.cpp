// The report screen's presentation and its ways out, on the real model.

#include "ResultsTestSupport.h"
#include "ReportController.h"
#include "app/TransparentAppearanceScale.h"

using namespace PracticeTest;
using namespace ResultsTest;

class TestReportScreen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    std::unique_ptr<ReportController> controller;

    AppModel &model() { return *env->model; }

    void showReport(const HistoryReport &value)
    {
        model().setReport(value);
        model().setScreen(AppScreen::report);
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<Environment>();
        env->makeModel();
        controller = std::make_unique<ReportController>();
        controller->setModel(env->model.get());
    }

    void cleanup()
    {
        controller.reset();
        env.reset();
        TransparentAppearanceScale::setCurrentValue(1.0);
    }

    void formattedDuration_data()
    {
        QTest::addColumn<QString>("useTime");
        QTest::addColumn<QString>("expected");
        QTest::newRow("empty") << QString() << QStringLiteral("0秒");
        QTest::newRow("59") << QStringLiteral("59") << QStringLiteral("59秒");
        QTest::newRow("60") << QStringLiteral("60") << QStringLiteral("1分0秒");
        QTest::newRow("3725: no hours") << QStringLiteral("3725") << QStringLiteral("62分5秒");
        QTest::newRow("+90") << QStringLiteral("+90") << QStringLiteral("1分30秒");
        QTest::newRow("negative keeps its sign") << QStringLiteral("-5") << QStringLiteral("-5秒");
        QTest::newRow("decimal") << QStringLiteral("12.5") << QStringLiteral("0秒");
        QTest::newRow("leading blank") << QStringLiteral(" 30") << QStringLiteral("0秒");
        QTest::newRow("letters") << QStringLiteral("abc") << QStringLiteral("0秒");
        QTest::newRow("sign alone") << QStringLiteral("-") << QStringLiteral("0秒");
        QTest::newRow("beyond 64 bits") << QStringLiteral("99999999999999999999") << QStringLiteral("0秒");
    }

    void formattedDuration()
    {
        QFETCH(QString, useTime);
        QFETCH(QString, expected);
        QCOMPARE(ReportController::formattedDuration(useTime), expected);
    }

    void figures_data()
    {
        QTest::addColumn<qint64>("right");
        QTest::addColumn<qint64>("wrong");
        QTest::addColumn<qint64>("unanswered");
        QTest::addColumn<int>("rate");
        QTest::addColumn<QString>("summary");
        QTest::addColumn<bool>("wrongButton");
        QTest::newRow("7/2/1") << qint64(7) << qint64(2) << qint64(1) << 70 << QStringLiteral("本次练习共 10 题，用时 1分5秒") << true;
        QTest::newRow("29 of 100 is exact") << qint64(29) << qint64(71) << qint64(0) << 29
                                            << QStringLiteral("本次练习共 100 题，用时 1分5秒") << true;
        QTest::newRow("all right: no wrong button") << qint64(3) << qint64(0) << qint64(0) << 100
                                                    << QStringLiteral("本次练习共 3 题，用时 1分5秒") << false;
        QTest::newRow("one unanswered shows it") << qint64(3) << qint64(0) << qint64(1) << 75
                                                 << QStringLiteral("本次练习共 4 题，用时 1分5秒") << true;
        QTest::newRow("no counters") << qint64(0) << qint64(0) << qint64(0) << 0 << QStringLiteral("本次练习共 0 题，用时 1分5秒")
                                     << false;
    }

    void figures()
    {
        QFETCH(qint64, right);
        QFETCH(qint64, wrong);
        QFETCH(qint64, unanswered);
        QFETCH(int, rate);
        QFETCH(QString, summary);
        QFETCH(bool, wrongButton);
        showReport(report(right, wrong, unanswered, {}, QStringLiteral("65")));
        QVERIFY(controller->hasReport());
        QCOMPARE(controller->rightRate(), rate);
        QCOMPARE(controller->summary(), summary);
        QCOMPARE(controller->hasWrongAnswers(), wrongButton);
        QCOMPARE(controller->title(), QStringLiteral("言语理解 <b>专项</b>")); // shown as plain text
    }

    void gridFollowsTheQuestionList()
    {
        QAbstractItemModelTester tester(controller->answerGrid());
        // The counters say 9, the list holds 4: the grid follows the list.
        showReport(report(5, 3, 1,
                          {choice(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("a")),
                           choice(QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("B")),
                           choice(QStringLiteral("c"), QStringLiteral("A"), QString()),
                           choice(QStringLiteral("d"), QStringLiteral("A"), QStringLiteral("  "))}));
        const AnswerCircleModel &grid = *controller->answerGrid();
        QCOMPARE(column(grid, "number"), (QVariantList{1, 2, 3, 4}));
        QCOMPARE(column(grid, "status"),
                 (QVariantList{AnswerStatusCircleStyle::Correct, AnswerStatusCircleStyle::Incorrect,
                               AnswerStatusCircleStyle::Unanswered, AnswerStatusCircleStyle::Incorrect}));

        model().setReport(std::nullopt);
        QCOMPARE(grid.rowCount(), 0);
        QVERIFY(!controller->hasReport());
        QVERIFY(!controller->hasWrongAnswers());
    }

    void circleOpensItsQuestion()
    {
        QList<Question> questions;
        for (int i = 0; i < 6; ++i)
            questions.append(choice(QStringLiteral("q%1").arg(i), QStringLiteral("A"), i % 2 ? QStringLiteral("A") : QString()));
        showReport(report(3, 0, 3, questions));
        controller->openQuestion(4);
        QCOMPARE(model().screen(), AppScreen::analysis);
        QCOMPARE(model().analysisQuestions().size(), 6); // all of them, not the wrong ones
        QCOMPARE(model().currentAnalysisIndex(), 4);
    }

    void analysisButtons()
    {
        showReport(report(1, 1, 0,
                          {choice(QStringLiteral("a"), QStringLiteral("A"), QStringLiteral("A")),
                           choice(QStringLiteral("b"), QStringLiteral("A"), QStringLiteral("C"))}));
        controller->showWrongAnalysis();
        QCOMPARE(model().analysisQuestions().size(), 1);
        QCOMPARE(model().analysisQuestions().first().id, QStringLiteral("b"));
        model().setScreen(AppScreen::report);
        controller->showAllAnalysis();
        QCOMPARE(model().analysisQuestions().size(), 2);
        QCOMPARE(model().screen(), AppScreen::analysis);
    }

    void back_data()
    {
        QTest::addColumn<bool>("fromHistory");
        QTest::addColumn<QString>("label");
        QTest::addColumn<int>("screen");
        QTest::newRow("fresh submission") << false << QStringLiteral("返回首页") << int(AppScreen::home);
        QTest::newRow("reopened from the history") << true << QStringLiteral("练习历史") << int(AppScreen::history);
    }

    void back()
    {
        QFETCH(bool, fromHistory);
        QFETCH(QString, label);
        QFETCH(int, screen);
        showReport(report(1, 0, 0));
        model().setReportFromHistory(fromHistory);
        QCOMPARE(controller->backLabel(), label);
        controller->back();
        QCOMPARE(int(model().screen()), screen);
        QVERIFY(!model().report());
        QVERIFY(!model().reportFromHistory());
    }

    void backWithoutReport()
    {
        model().setScreen(AppScreen::report);
        QVERIFY(!controller->hasReport());
        controller->back();
        QCOMPARE(model().screen(), AppScreen::home);
    }

    void transparentOpacities_data()
    {
        QTest::addColumn<bool>("transparent");
        QTest::addColumn<double>("level");
        QTest::addColumn<double>("status");
        QTest::addColumn<double>("neutral");
        QTest::newRow("normal look") << false << 1.5 << 1.0 << 0.33;
        QTest::newRow("level 1") << true << 1.0 << 0.55 << 0.22;
        QTest::newRow("level 0.5") << true << 0.5 << 0.55 << 0.11;
        QTest::newRow("level 1.5") << true << 1.5 << 0.825 << 0.33;
    }

    void transparentOpacities()
    {
        QFETCH(bool, transparent);
        QFETCH(double, level);
        QFETCH(double, status);
        QFETCH(double, neutral);
        model().setStudyTransparencyEnabled(transparent);
        TransparentAppearanceScale::setCurrentValue(level);
        QVERIFY(qFuzzyCompare(controller->statusOpacity(), status));
        QVERIFY(qFuzzyCompare(controller->neutralOpacity(), neutral));
    }
};

QTEST_MAIN(TestReportScreen)
#include "tst_results_report.moc"
