// Opening a practice set behind the membership gate, and answering it by
// mouse actions and single keys in practice and review mode.

#include "PracticeTestSupport.h"

#include "platform/KeyEventInfo.h"

#include <QSignalSpy>

using namespace PracticeTest;

namespace {

const ExamBank xingCeBank{QStringLiteral("101"), QStringLiteral("2025国考公务员行测"), 1};
const ExamBank teacherBank{QStringLiteral("102"), QStringLiteral("教师资格证·综合素质（中学）"), 1};

// Four questions: single, multiple, single, answer.
QJsonArray mixedSet()
{
    return QJsonArray{question(QStringLiteral("s1"), 1, QStringLiteral("A")),
                      question(QStringLiteral("m1"), 2, QStringLiteral("AC")),
                      question(QStringLiteral("s2"), 1, QStringLiteral("B"), 3),
                      question(QStringLiteral("a1"), 3, QStringLiteral("要点"), 0)};
}

} // namespace

class TestPracticeAnswering : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;

    AppModel &model() { return *env->model; }
    Question at(qint64 index) { return model().questions().at(index); }

    bool openMixed(ExamMode mode)
    {
        env->makeModel();
        model().setExamMode(mode);
        return env->open(questionSet(mixedSet(), QJsonValue::Undefined));
    }

    void waitPastAdvance() { QTest::qWait(AppModel::singleChoiceAdvanceMilliseconds + 120); }

private Q_SLOTS:
    void init() { env = std::make_unique<Environment>(); }
    void cleanup() { env.reset(); }

    void openSendsTheRequestAndResetsTheSet_data()
    {
        QTest::addColumn<bool>("xingCe");
        QTest::addColumn<int>("practiceType");
        QTest::addColumn<int>("menuType");
        QTest::addColumn<int>("expectedType");
        QTest::newRow("by type, single") << false << 1 << 1 << 1;
        QTest::newRow("by type, multiple") << false << 1 << 2 << 2;
        QTest::newRow("by type, answer") << false << 1 << 3 << 3;
        QTest::newRow("by knowledge point") << false << 2 << 2 << 0;
        QTest::newRow("行测 bank") << true << 1 << 2 << 0;
    }

    void openSendsTheRequestAndResetsTheSet()
    {
        QFETCH(bool, xingCe);
        QFETCH(int, practiceType);
        QFETCH(int, menuType);
        QFETCH(int, expectedType);
        env->makeModel(xingCe ? xingCeBank : teacherBank);
        model().setPracticeType(practiceType);
        model().setExamQuestionCount(15);
        // Leftovers of an earlier set that the new one must replace.
        model().setRevealedQuestionIDs({QStringLiteral("old")});
        model().setCurrentQuestionIndex(3);
        model().setReportFromHistory(true);
        AppModelTestProbe::setResumedPracticeCostTime(model(), 99);
        model().practiceHistory()->cacheCompletedReport(HistoryReport{}, QStringLiteral("r"));
        env->clock.set(Environment::startTime + 5'000);

        const QJsonArray questions{question(QStringLiteral("q1"), 1, QStringLiteral("A"), 4, QStringLiteral("B")),
                                   question(QStringLiteral("q2"), 1, QStringLiteral("A"))};
        const QString menuId = xingCe ? QStringLiteral("m101-11") : QStringLiteral("t102-2");
        QVERIFY(env->open(questionSet(questions), menu(menuId, QuestionType(menuType))));

        const QJsonObject body = env->lastBody(questionPath);
        QCOMPARE(body.value(QStringLiteral("questionType")).toInteger(), expectedType);
        QCOMPARE(body.value(QStringLiteral("menuId")).toString(), menuId);
        QCOMPARE(body.value(QStringLiteral("pageSize")).toInteger(), 15);
        QCOMPARE(body.value(QStringLiteral("examBankId")).toString(), model().selectedExamBank().id);
        QCOMPARE(env->service.lastRequest(questionPath)->header("X-EM-Token"), env->token.toUtf8());
        QCOMPARE(env->service.sendCount(vipPath), 0);

        QCOMPARE(model().answers().value(QStringLiteral("q1")), QStringLiteral("B"));
        QVERIFY(model().answers().contains(QStringLiteral("q2")));
        QVERIFY(model().revealedQuestionIDs().isEmpty());
        QCOMPARE(model().currentQuestionIndex(), 0);
        QVERIFY(!model().reportFromHistory());
        QCOMPARE(model().resumedPracticeCostTime(), 0);
        // Reports submitted in this run stay filed: the service's list may lag.
        QCOMPARE(model().practiceHistory()->completedReports().keys(), QList<QString>{QStringLiteral("r")});
        QCOMPARE(model().practiceStartedAtMilliseconds(), Environment::startTime + 5'000);
        QCOMPARE(model().selectedMenu()->menuId, menuId);
        QVERIFY(!model().isLoading());
    }

    void membershipGate_data()
    {
        QTest::addColumn<ExamBank>("bank");
        QTest::addColumn<int>("needVip");
        QTest::addColumn<int>("vipFailure");   // HTTP status of the membership call, 0 for none
        QTest::addColumn<bool>("cacheFirst");  // a valid cache from an earlier refresh
        QTest::addColumn<int>("expectedScreen");
        QTest::addColumn<QString>("expectedError");
        QTest::addColumn<int>("vipCalls");

        const int questions = int(AppScreen::questions);
        QTest::newRow("needVip 0") << teacherBank << 0 << 0 << false << questions << QString() << 0;
        QTest::newRow("needVip 2") << teacherBank << 2 << 0 << false << questions << QString() << 0;
        QTest::newRow("valid membership") << xingCeBank << 1 << 0 << false << questions << QString() << 1;
        QTest::newRow("expired membership") << teacherBank << 1 << 0 << false << int(AppScreen::purchase) << QString() << 1;
        QTest::newRow("refresh fails, valid cache") << xingCeBank << 1 << 500 << true << questions << QString() << 2;
        QTest::newRow("refresh fails, no cache")
            << xingCeBank << 1 << 500 << false << int(AppScreen::home) << QStringLiteral("会员状态验证失败，请检查网络后重试") << 1;
        QTest::newRow("refresh unauthorized")
            << xingCeBank << 1 << 401 << true << int(AppScreen::login) << QStringLiteral("登录已失效，请重新登录") << 2;
    }

    void membershipGate()
    {
        QFETCH(ExamBank, bank);
        QFETCH(int, needVip);
        QFETCH(int, vipFailure);
        QFETCH(bool, cacheFirst);
        QFETCH(int, expectedScreen);
        QFETCH(QString, expectedError);
        QFETCH(int, vipCalls);

        env->makeModel(bank);
        model().setScreen(AppScreen::home);
        if (cacheFirst)
            QVERIFY(QCoro::waitFor(completes(model().fetchVIPStatus())));
        if (vipFailure)
            env->service.failWithStatus(vipPath, vipFailure);
        env->service.setData(questionPath, questionSet(mixedSet()));
        // A menu the fake knows in that bank; the gate reads needVip from the model's record.
        const QString menuId = bank.id == QLatin1String("101") ? QStringLiteral("m101-11") : QStringLiteral("t102-1");
        QVERIFY(QCoro::waitFor(completes(model().openQuestions(menu(menuId, QuestionType::single, needVip)))));

        QCOMPARE(int(model().screen()), expectedScreen);
        QCOMPARE(model().errorMessage().value_or(QString()), expectedError);
        QCOMPARE(env->service.sendCount(vipPath), vipCalls);
        QCOMPARE(env->service.sendCount(questionPath), expectedScreen == int(AppScreen::questions) ? 1 : 0);
        QVERIFY(!model().isLoading());
    }

    void failedOpenKeepsTheOpenSet_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("expectedScreen");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("membership demanded") << 403 << int(AppScreen::purchase) << QString();
        QTest::newRow("server error") << 500 << int(AppScreen::questions) << QStringLiteral("服务器错误（HTTP 500）");
    }

    void failedOpenKeepsTheOpenSet()
    {
        QFETCH(int, status);
        QFETCH(int, expectedScreen);
        QFETCH(QString, expectedError);
        QVERIFY(openMixed(ExamMode::practice));
        model().chooseSingleAnswer(QStringLiteral("B"), at(0));

        env->service.failWithStatus(questionPath, status);
        QVERIFY(QCoro::waitFor(completes(model().openQuestions(menu(QStringLiteral("other"))))));
        QCOMPARE(int(model().screen()), expectedScreen);
        QCOMPARE(model().errorMessage().value_or(QString()), expectedError);
        QCOMPARE(model().questions().size(), 4);
        QCOMPARE(model().answers().value(QStringLiteral("s1")), QStringLiteral("B"));
        QCOMPARE(model().selectedMenu()->menuId, QStringLiteral("other"));
        QVERIFY(!model().isLoading());
    }

    void emptySet()
    {
        env->makeModel();
        QVERIFY(env->open(questionSet(QJsonArray{})));
        QVERIFY(!model().currentQuestion());
        QVERIFY(AppModelTestProbe::isLastQuestion(model()));
        model().moveQuestion(1);
        QCOMPARE(model().currentQuestionIndex(), 0);
        QVERIFY(!model().confirmCurrentQuestion());
        QCOMPARE(model().answeredCount(), 0);
        QCOMPARE(model().answerableQuestionCount(), 0);
        QCOMPARE(model().currentAnswerableQuestionNumber(), 0);
    }

    void practiceModeSingleChoiceMovesOnOnce()
    {
        QVERIFY(openMixed(ExamMode::practice));
        model().moveQuestion(2); // s2, a middle question
        model().chooseSingleAnswer(QStringLiteral("B"), at(2));
        model().chooseSingleAnswer(QStringLiteral("C"), at(2));
        QCOMPARE(model().currentQuestionIndex(), 2);
        QTRY_COMPARE(model().currentQuestionIndex(), 3);
        waitPastAdvance();
        QCOMPARE(model().currentQuestionIndex(), 3); // the second pick's move found another question
        QCOMPARE(model().answers().value(QStringLiteral("s2")), QStringLiteral("C"));
        QVERIFY(model().revealedQuestionIDs().isEmpty());
    }

    void movingAwayCancelsThePendingMove()
    {
        QVERIFY(openMixed(ExamMode::practice));
        model().moveQuestion(2);
        model().chooseSingleAnswer(QStringLiteral("A"), at(2));
        QVERIFY(model().handleQuestionNavigationKey(123));
        QCOMPARE(model().currentQuestionIndex(), 1);
        waitPastAdvance();
        QCOMPARE(model().currentQuestionIndex(), 1);
    }

    void reviewModeRevealsAndFreezes()
    {
        QVERIFY(openMixed(ExamMode::review));
        model().chooseSingleAnswer(QStringLiteral("B"), at(0));
        QVERIFY(model().revealedQuestionIDs().contains(QStringLiteral("s1")));
        model().chooseSingleAnswer(QStringLiteral("A"), at(0));
        QCOMPARE(model().answers().value(QStringLiteral("s1")), QStringLiteral("B"));
        waitPastAdvance();
        QCOMPARE(model().currentQuestionIndex(), 0); // no move in review mode
        QVERIFY(model().confirmCurrentQuestion()); // revealed: confirming moves on
        QCOMPARE(model().currentQuestionIndex(), 1);

        // Multiple choice: confirm with letters reveals; then option keys are swallowed.
        QVERIFY(model().handleQuestionShortcut(QStringLiteral("x")));
        QVERIFY(model().confirmCurrentQuestion());
        QVERIFY(model().revealedQuestionIDs().contains(QStringLiteral("m1")));
        QVERIFY(model().handleQuestionShortcut(QStringLiteral("z")));
        QCOMPARE(model().answers().value(QStringLiteral("m1")), QStringLiteral("B"));
        QCOMPARE(model().currentQuestionIndex(), 1);
    }

    void lastSingleChoiceSubmitsAfterThePause_data()
    {
        QTest::addColumn<ExamMode>("mode");
        QTest::newRow("practice") << ExamMode::practice;
        QTest::newRow("review") << ExamMode::review;
    }

    void lastSingleChoiceSubmitsAfterThePause()
    {
        QFETCH(ExamMode, mode);
        env->makeModel();
        model().setExamMode(mode);
        QVERIFY(env->open(questionSet(QJsonArray{question(QStringLiteral("q1"), 1, QStringLiteral("A")),
                                                 question(QStringLiteral("q2"), 1, QStringLiteral("B"))},
                                      QJsonValue::Undefined)));
        model().moveQuestion(1);
        model().chooseSingleAnswer(QStringLiteral("B"), at(1));
        QVERIFY(model().revealedQuestionIDs().isEmpty()); // the last question is not revealed first
        QCOMPARE(model().screen(), AppScreen::questions);
        QTRY_COMPARE(model().screen(), AppScreen::report);
        QCOMPARE(model().report()->examId, QStringLiteral("local"));
        QCOMPARE(model().report()->rightNum, 1);
    }

    void toggleMultipleLetters()
    {
        QVERIFY(openMixed(ExamMode::practice));
        const Question multiple = at(1);
        const QStringList expected{QStringLiteral("C"), QStringLiteral("A,C"), QStringLiteral("A"), QString()};
        const QStringList letters{QStringLiteral("C"), QStringLiteral("A"), QStringLiteral("C"), QStringLiteral("A")};
        for (qsizetype i = 0; i < letters.size(); ++i) {
            model().toggleMultipleAnswer(letters.at(i), multiple);
            QCOMPARE(model().answers().value(QStringLiteral("m1")), expected.at(i));
        }
        QVERIFY(model().answers().contains(QStringLiteral("m1")));
        QVERIFY(!model().isQuestionAnswered(multiple));
    }

    void confirmTable_data()
    {
        QTest::addColumn<ExamMode>("mode");
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("answer");   // stored before confirming
        QTest::addColumn<bool>("revealed");
        QTest::addColumn<bool>("expectedResult");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<bool>("expectedRevealed");
        QTest::addColumn<bool>("expectedSubmitted");

        QTest::newRow("single") << ExamMode::practice << 0 << QStringLiteral("A") << false << false << 0 << false << false;
        QTest::newRow("multiple, no letters") << ExamMode::practice << 1 << QString() << false << true << 1 << false << false;
        QTest::newRow("multiple, practice") << ExamMode::practice << 1 << QStringLiteral("A") << false << true << 2 << false << false;
        QTest::newRow("multiple, review") << ExamMode::review << 1 << QStringLiteral("A") << false << true << 1 << true << false;
        QTest::newRow("revealed, moves on") << ExamMode::review << 1 << QStringLiteral("A") << true << true << 2 << true << false;
        QTest::newRow("answer type, last") << ExamMode::practice << 3 << QString() << false << true << 3 << false << true;
        QTest::newRow("revealed, last") << ExamMode::practice << 3 << QString() << true << true << 3 << true << false;
    }

    void confirmTable()
    {
        QFETCH(ExamMode, mode);
        QFETCH(int, index);
        QFETCH(QString, answer);
        QFETCH(bool, revealed);
        QFETCH(bool, expectedResult);
        QFETCH(int, expectedIndex);
        QFETCH(bool, expectedRevealed);
        QFETCH(bool, expectedSubmitted);

        QVERIFY(openMixed(mode));
        model().moveQuestion(index);
        const QString id = at(index).id;
        auto answers = model().answers();
        answers.insert(id, answer);
        model().setAnswers(answers);
        if (revealed)
            model().setRevealedQuestionIDs({id});

        QCOMPARE(model().confirmCurrentQuestion(), expectedResult);
        QCOMPARE(model().currentQuestionIndex(), expectedIndex);
        QCOMPARE(model().revealedQuestionIDs().contains(id), expectedRevealed);
        if (expectedSubmitted)
            QTRY_COMPARE(model().screen(), AppScreen::report);
        else
            QCOMPARE(model().screen(), AppScreen::questions);
    }

    void answerTypeGoesRevealThenNext()
    {
        env->makeModel();
        QVERIFY(env->open(questionSet(QJsonArray{question(QStringLiteral("a1"), 3, QStringLiteral("要点"), 0),
                                                 question(QStringLiteral("a2"), 3, QStringLiteral("要点"), 0)})));
        QCOMPARE(model().answeredCount(), 0);
        QVERIFY(model().confirmCurrentQuestion());
        QVERIFY(model().revealedQuestionIDs().contains(QStringLiteral("a1")));
        QCOMPARE(model().answeredCount(), 1); // revealed counts as answered, even without text
        QVERIFY(model().confirmCurrentQuestion());
        QCOMPARE(model().currentQuestionIndex(), 1);
    }

    void answerKeys_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<QString>("key");
        QTest::addColumn<bool>("expectedResult");
        QTest::addColumn<QString>("expectedAnswer");

        QTest::newRow("optionB on single") << 0 << QStringLiteral("x") << true << QStringLiteral("B");
        QTest::newRow("optionD on three options") << 2 << QStringLiteral("v") << true << QString();
        QTest::newRow("option on answer type") << 3 << QStringLiteral("z") << true << QString();
        QTest::newRow("confirm on single") << 0 << QStringLiteral("return") << false << QString();
        QTest::newRow("unbound key") << 0 << QStringLiteral("q") << false << QString();
        QTest::newRow("multiple toggles") << 1 << QStringLiteral("c") << true << QStringLiteral("C");
    }

    void answerKeys()
    {
        QFETCH(int, index);
        QFETCH(QString, key);
        QFETCH(bool, expectedResult);
        QFETCH(QString, expectedAnswer);
        QVERIFY(openMixed(ExamMode::review));
        model().moveQuestion(index);
        const QString id = at(index).id;
        const QString before = model().answers().value(id);
        QCOMPARE(model().handleQuestionShortcut(key), expectedResult);
        QCOMPARE(model().answers().value(id), expectedAnswer.isEmpty() ? before : expectedAnswer);
    }

    void keysOnASectionIntroduction()
    {
        env->makeModel();
        QVERIFY(env->open(questionSet(QJsonArray{sectionIntro(QStringLiteral("intro")),
                                                 question(QStringLiteral("q1"), 1, QStringLiteral("A"))})));
        QVERIFY(model().handleQuestionShortcut(QStringLiteral("z"))); // swallowed: no options
        QVERIFY(!model().answers().value(QStringLiteral("intro")).size());
        QVERIFY(!model().handleQuestionShortcut(QStringLiteral("return")));
        QVERIFY(!model().isQuestionAnswered(at(0)));
    }

    void keysAreRefused_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("shortcutResult");
        QTest::addColumn<bool>("arrowResult");
        QTest::newRow("exporting a PDF") << QStringLiteral("pdf") << true << true;
        QTest::newRow("loading") << QStringLiteral("loading") << false << false;
        QTest::newRow("shortcuts off") << QStringLiteral("disabled") << false << true;
        QTest::newRow("another screen") << QStringLiteral("home") << false << false;
    }

    void keysAreRefused()
    {
        QFETCH(QString, situation);
        QFETCH(bool, shortcutResult);
        QFETCH(bool, arrowResult);
        QVERIFY(openMixed(ExamMode::practice));
        model().moveQuestion(1);
        if (situation == QLatin1String("pdf"))
            AppModelTestProbe::setIsExportingPDF(model(), true);
        else if (situation == QLatin1String("loading"))
            (void)AppModelTestProbe::beginLoading(model());
        else if (situation == QLatin1String("home"))
            model().setScreen(AppScreen::home);
        else {
            QuestionKeyboardShortcuts off = model().questionKeyboardShortcuts();
            off.enabled = false;
            model().setQuestionKeyboardShortcuts(off);
        }
        const auto answers = model().answers();
        QCOMPARE(model().handleQuestionShortcut(QStringLiteral("z")), shortcutResult);
        QCOMPARE(model().handleQuestionNavigationKey(124), arrowResult);
        QCOMPARE(model().answers(), answers);
        QCOMPARE(model().currentQuestionIndex(), situation == QLatin1String("disabled") ? 2 : 1);
    }

    void arrowKeysAtBothEnds_data()
    {
        QTest::addColumn<bool>("analysis");
        QTest::newRow("questions") << false;
        QTest::newRow("analysis") << true;
    }

    void arrowKeysAtBothEnds()
    {
        QFETCH(bool, analysis);
        QVERIFY(openMixed(ExamMode::practice));
        if (analysis) {
            model().setAnalysisQuestions(model().questions());
            model().setScreen(AppScreen::analysis);
        }
        const auto index = [&] { return analysis ? model().currentAnalysisIndex() : model().currentQuestionIndex(); };
        QVERIFY(model().handleQuestionNavigationKey(123)); // consumed at the first item
        QCOMPARE(index(), 0);
        for (int i = 0; i < 5; ++i)
            QVERIFY(model().handleQuestionNavigationKey(124));
        QCOMPARE(index(), 3); // consumed at the last item, no submission
        QVERIFY(!model().handleQuestionNavigationKey(125));
        waitPastAdvance();
        QCOMPARE(int(model().screen()), int(analysis ? AppScreen::analysis : AppScreen::questions));
        QVERIFY(model().handleQuestionNavigationKey(123));
        QCOMPARE(index(), 2);
    }

    void panelKeyEvents()
    {
        QVERIFY(openMixed(ExamMode::practice));
        KeyEventInfo right{KeyCode::RightArrow, KeyEventInfo::ModifierFlag::Function, QString(QChar(0xF703)), false};
        QVERIFY(model().handleQuestionKeyEvent(right));
        QCOMPARE(model().currentQuestionIndex(), 1);

        right.isRepeat = true; // auto-repeat is left to the window
        QVERIFY(!model().handleQuestionKeyEvent(right));

        KeyEventInfo c{KeyCode::C, {}, QStringLiteral("c"), false};
        QVERIFY(model().handleQuestionKeyEvent(c));
        QCOMPARE(model().answers().value(QStringLiteral("m1")), QStringLiteral("C"));

        KeyEventInfo commandC{KeyCode::C, KeyEventInfo::ModifierFlag::Command, QStringLiteral("c"), false};
        QVERIFY(!model().handleQuestionKeyEvent(commandC));
        QCOMPARE(model().answers().value(QStringLiteral("m1")), QStringLiteral("C"));
    }

    void movingClampsToTheList()
    {
        QVERIFY(openMixed(ExamMode::practice));
        model().moveQuestion(2);
        model().moveQuestion(5);
        QCOMPARE(model().currentQuestionIndex(), 3);
        QSignalSpy spy(&model(), &AppModel::currentQuestionIndexChanged);
        model().moveQuestion(std::numeric_limits<qint64>::max());
        QCOMPARE(model().currentQuestionIndex(), 3);
        QCOMPARE(spy.count(), 1); // written even when unchanged
        model().moveQuestion(-10);
        QCOMPARE(model().currentQuestionIndex(), 0);
        model().moveQuestion(std::numeric_limits<qint64>::min());
        QCOMPARE(model().currentQuestionIndex(), 0);
    }

    void numbersSkipSectionIntroductions()
    {
        env->makeModel();
        QVERIFY(env->open(questionSet(QJsonArray{sectionIntro(QStringLiteral("i1")), question(QStringLiteral("q1"), 1, QStringLiteral("A")),
                                                 question(QStringLiteral("q2"), 1, QStringLiteral("A")), sectionIntro(QStringLiteral("i2")),
                                                 question(QStringLiteral("q3"), 1, QStringLiteral("A"))})));
        QCOMPARE(model().answerableQuestionCount(), 3);
        const QList<qint64> expected{0, 1, 2, 0, 3};
        for (qint64 i = 0; i < expected.size(); ++i) {
            model().setCurrentQuestionIndex(i);
            QCOMPARE(model().currentAnswerableQuestionNumber(), expected.at(i));
        }
        model().setCurrentQuestionIndex(1);
        model().chooseSingleAnswer(QStringLiteral("A"), at(1));
        QCOMPARE(model().answeredCount(), 1);
    }

    void qmlEntryPointsCheckTheirInput()
    {
        QVERIFY(openMixed(ExamMode::practice));
        model().chooseSingleAnswerFor(QStringLiteral("AB"), QStringLiteral("s1"));
        model().chooseSingleAnswerFor(QStringLiteral("B"), QStringLiteral("missing"));
        model().toggleMultipleAnswerFor(QStringLiteral("c"), QStringLiteral("m1"));
        QVERIFY(model().answers().value(QStringLiteral("s1")).isEmpty());
        QVERIFY(model().answers().value(QStringLiteral("m1")).isEmpty());
        model().toggleMultipleAnswerFor(QStringLiteral("D"), QStringLiteral("m1"));
        QCOMPARE(model().answers().value(QStringLiteral("m1")), QStringLiteral("D"));
        QCOMPARE(model().property("answeredCount").toInt(), 1);
        QCOMPARE(model().questionsModel()->rowCount(), 4);
    }
};

QTEST_GUILESS_MAIN(TestPracticeAnswering)
#include "tst_practice_answering.moc"
