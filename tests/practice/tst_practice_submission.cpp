// Submitting a set (to the service, or a report built on the device), the
// analysis lists, going home, and the rules that keep a set from being
// submitted twice.

#include "PracticeTestSupport.h"

using namespace PracticeTest;

namespace {

QJsonArray singles(int count, const QString &prefix = QStringLiteral("q"))
{
    QJsonArray list;
    for (int i = 0; i < count; ++i)
        list.append(question(prefix + QString::number(i), 1, QStringLiteral("A")));
    return list;
}

QStringList idsOf(const QList<Question> &questions)
{
    QStringList ids;
    for (const Question &q : questions)
        ids.append(q.id);
    return ids;
}

} // namespace

class TestPracticeSubmission : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;

    AppModel &model() { return *env->model; }

    // A remote set whose commit and report the fake answers whatever they hold.
    bool openRemote(const QJsonArray &questions, const QJsonArray &reportQuestions = {})
    {
        env->makeModel();
        answerWith(env->service, commitPath, commitResultJson());
        answerWith(env->service, reportPath, reportJson(reportQuestions.isEmpty() ? questions : reportQuestions));
        return env->open(questionSet(questions, QStringLiteral("ue-42")));
    }

private Q_SLOTS:
    void init() { env = std::make_unique<Environment>(); }
    void cleanup() { env.reset(); }

    void commitCarriesTimesAndAnswers_data()
    {
        QTest::addColumn<int>("questionCount");
        QTest::addColumn<int>("intros");
        QTest::addColumn<qint64>("elapsedMs");
        QTest::addColumn<qint64>("resumed");
        QTest::addColumn<qint64>("expectedCost");
        QTest::addColumn<qint64>("expectedPerQuestion");

        QTest::newRow("125.9 s plus 60 resumed, 4 questions") << 4 << 0 << qint64(125'900) << qint64(60) << qint64(185) << qint64(46);
        QTest::newRow("400 questions get at least 1") << 400 << 0 << qint64(125'900) << qint64(60) << qint64(185) << qint64(1);
        QTest::newRow("only section intros") << 0 << 2 << qint64(10'000) << qint64(0) << qint64(10) << qint64(0);
        QTest::newRow("clock went back") << 3 << 1 << qint64(-50'000) << qint64(0) << qint64(0) << qint64(1);
    }

    void commitCarriesTimesAndAnswers()
    {
        QFETCH(int, questionCount);
        QFETCH(int, intros);
        QFETCH(qint64, elapsedMs);
        QFETCH(qint64, resumed);
        QFETCH(qint64, expectedCost);
        QFETCH(qint64, expectedPerQuestion);

        QJsonArray questions;
        for (int i = 0; i < intros; ++i)
            questions.append(sectionIntro(QStringLiteral("intro") + QString::number(i)));
        for (const QJsonValue &q : singles(questionCount))
            questions.append(q);
        QVERIFY(openRemote(questions));
        if (questionCount > 0)
            model().chooseSingleAnswer(QStringLiteral("B"), model().questions().at(intros));
        AppModelTestProbe::setResumedPracticeCostTime(model(), resumed);
        env->clock.advance(elapsedMs);

        QVERIFY(env->submit());
        const QJsonObject commit = env->lastBody(commitPath);
        QCOMPARE(commit.value(QStringLiteral("userExamId")).toString(), QStringLiteral("ue-42"));
        QCOMPARE(commit.value(QStringLiteral("costTime")).toInteger(), expectedCost);
        const QJsonArray list = commit.value(QStringLiteral("userAnswerList")).toArray();
        QCOMPARE(list.size(), questionCount);
        for (qsizetype i = 0; i < list.size(); ++i) {
            const QJsonObject entry = list.at(i).toObject();
            QCOMPARE(entry.value(QStringLiteral("questionId")).toString(), QStringLiteral("q") + QString::number(i));
            QCOMPARE(entry.value(QStringLiteral("useTime")).toInteger(), expectedPerQuestion);
            // The unanswered are sent with an empty answer.
            QCOMPARE(entry.value(QStringLiteral("userAnswer")).toString(), i == 0 ? QStringLiteral("B") : QString());
        }
        QCOMPARE(env->lastBody(reportPath).value(QStringLiteral("id")).toString(), QStringLiteral("ue-42"));
        QCOMPARE(model().screen(), AppScreen::report);
        QCOMPARE(model().report()->title, QStringLiteral("服务端报告"));
        QVERIFY(!model().isLoading());
    }

    void localReportForASetWithoutExamId_data()
    {
        QTest::addColumn<QJsonValue>("userExamId");
        QTest::newRow("absent") << QJsonValue(QJsonValue::Undefined);
        QTest::newRow("empty") << QJsonValue(QString());
    }

    void localReportForASetWithoutExamId()
    {
        QFETCH(QJsonValue, userExamId);
        env->makeModel();
        QVERIFY(env->open(questionSet(singles(3), userExamId, QStringLiteral("套题"))));
        model().chooseSingleAnswer(QStringLiteral("A"), model().questions().at(0));
        model().setAnswers({{QStringLiteral("q0"), QStringLiteral("A")}, {QStringLiteral("q1"), QStringLiteral("C")}});
        env->clock.advance(10'000);
        QVERIFY(env->submit());

        QCOMPARE(env->service.sendCount(commitPath), 0);
        QCOMPARE(env->service.sendCount(reportPath), 0);
        const HistoryReport report = *model().report();
        QCOMPARE(report.examId, QStringLiteral("local"));
        QCOMPARE(report.title, QStringLiteral("套题"));
        QCOMPARE(report.useTime, QStringLiteral("10"));
        QCOMPARE(report.rightNum, 1);
        QCOMPARE(report.wrongNum, 1);
        QCOMPARE(report.unAnswerNum, 1);
        QCOMPARE(report.questionList.at(1).useTime, QStringLiteral("3"));
        QCOMPARE(model().screen(), AppScreen::report);
    }

    void reportIsFiledForAResumedSetOnly_data()
    {
        QTest::addColumn<bool>("resumed");
        QTest::newRow("resumed from history") << true;
        QTest::newRow("opened from a menu") << false;
    }

    void reportIsFiledForAResumedSetOnly()
    {
        QFETCH(bool, resumed);
        QVERIFY(openRemote(singles(2)));
        if (resumed) {
            AppModelTestProbe::setActiveHistoryRecordID(model(), QStringLiteral("rec-9"));
            model().setReportFromHistory(true);
        }
        QVERIFY(env->submit());
        QCOMPARE(model().practiceHistory()->completedReport(QStringLiteral("rec-9")).has_value(), resumed);
        QCOMPARE(model().practiceHistory()->completedReports().size(), resumed ? 1 : 0);
        QCOMPARE(model().reportFromHistory(), resumed); // the report screen's back leads to history
    }

    void oneSubmissionAtATime_data()
    {
        QTest::addColumn<QString>("second");
        QTest::newRow("submit pressed twice") << QStringLiteral("submit");
        QTest::newRow("two quick picks on the last question") << QStringLiteral("picks");
        QTest::newRow("submit during the pending pick") << QStringLiteral("pick-then-submit");
    }

    void oneSubmissionAtATime()
    {
        QFETCH(QString, second);
        QVERIFY(openRemote(singles(2)));
        model().moveQuestion(1);
        const Question last = model().questions().at(1);

        if (second == QLatin1String("submit")) {
            env->service.holdReplies(commitPath);
            auto first = completes(model().submitPractice());
            QVERIFY(env->submit()); // returns at once
            QTRY_COMPARE(env->service.heldReplyCount(commitPath), 1);
            env->service.releaseReplies(commitPath);
            QVERIFY(QCoro::waitFor(std::move(first)));
        } else if (second == QLatin1String("picks")) {
            model().chooseSingleAnswer(QStringLiteral("A"), last);
            model().chooseSingleAnswer(QStringLiteral("B"), last);
            QTRY_COMPARE(model().screen(), AppScreen::report);
        } else {
            model().chooseSingleAnswer(QStringLiteral("A"), last);
            QVERIFY(env->submit());
            QCOMPARE(model().screen(), AppScreen::report);
        }
        QTest::qWait(AppModel::singleChoiceAdvanceMilliseconds + 150); // every pending timer has fired
        QCOMPARE(env->service.sendCount(commitPath), 1);
        QCOMPARE(env->service.sendCount(reportPath), 1);
        QCOMPARE(model().screen(), AppScreen::report);
        QVERIFY(!model().isLoading());
    }

    void retryAfterAFailedReportOnlyFetchesTheReport()
    {
        QVERIFY(openRemote(singles(2)));
        env->service.failWithStatus(reportPath, 500, 1);
        QVERIFY(env->submit());
        QCOMPARE(model().errorMessage().value_or(QString()), QStringLiteral("服务器错误（HTTP 500）"));
        QCOMPARE(model().screen(), AppScreen::questions);
        QVERIFY(!model().isLoading());

        answerWith(env->service, reportPath, reportJson(singles(2)));
        QVERIFY(env->submit());
        QCOMPARE(env->service.sendCount(commitPath), 1);
        QCOMPARE(env->service.sendCount(reportPath), 2);
        QCOMPARE(model().screen(), AppScreen::report);

        // A new set forgets the committed id: its submission commits again.
        model().backToHome();
        QVERIFY(env->open(questionSet(singles(2), QStringLiteral("ue-42"))));
        QVERIFY(env->submit());
        QCOMPARE(env->service.sendCount(commitPath), 2);
    }

    void failedCommitKeepsTheSet_data()
    {
        QTest::addColumn<bool>("malformedResult");
        QTest::newRow("server error") << false;
        QTest::newRow("commit result without useTime") << true;
    }

    void failedCommitKeepsTheSet()
    {
        QFETCH(bool, malformedResult);
        QVERIFY(openRemote(singles(2)));
        model().chooseSingleAnswer(QStringLiteral("A"), model().questions().at(0));
        const auto previousReport = model().report();
        if (malformedResult) {
            QJsonObject partial = commitResultJson();
            partial.remove(QStringLiteral("useTime"));
            answerWith(env->service, commitPath, partial, 1);
        } else {
            env->service.failWithStatus(commitPath, 500, 1);
        }
        QVERIFY(env->submit());
        QVERIFY(model().errorMessage().has_value());
        QCOMPARE(model().screen(), AppScreen::questions);
        QCOMPARE(model().answers().value(QStringLiteral("q0")), QStringLiteral("A"));
        QCOMPARE(model().report(), previousReport);
        QVERIFY(!model().isLoading());
        QCOMPARE(env->service.sendCount(reportPath), 0);

        answerWith(env->service, commitPath, commitResultJson());
        QVERIFY(env->submit()); // the commit did not go through: it is sent again
        QCOMPARE(env->service.sendCount(commitPath), 2);
        QCOMPARE(model().screen(), AppScreen::report);
    }

    void expiredLoginDuringCommitLogsOut()
    {
        QVERIFY(openRemote(singles(1)));
        env->service.failWithStatus(commitPath, 401);
        QVERIFY(env->submit());
        QCOMPARE(model().screen(), AppScreen::login);
        QCOMPARE(model().errorMessage().value_or(QString()), QStringLiteral("登录已失效，请重新登录"));
    }

    void lateResultAfterLeavingTheSet_data()
    {
        QTest::addColumn<bool>("logout");
        QTest::newRow("back to home") << false;
        QTest::newRow("logout") << true;
    }

    void lateResultAfterLeavingTheSet()
    {
        QFETCH(bool, logout);
        QVERIFY(openRemote(singles(2)));
        env->service.holdReplies(reportPath);
        auto running = completes(model().submitPractice());
        QTRY_COMPARE(env->service.heldReplyCount(reportPath), 1);
        if (logout)
            model().logout();
        else
            model().backToHome();
        env->service.releaseReplies(reportPath);
        QVERIFY(QCoro::waitFor(std::move(running)));

        QCOMPARE(model().screen(), logout ? AppScreen::login : AppScreen::home);
        QVERIFY(!model().report());
        QVERIFY(!model().isLoading());
        QVERIFY(!model().errorMessage());
    }

    void nothingIsSubmittedWhileBusy_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("loading") << QStringLiteral("loading");
        QTest::newRow("exporting a PDF") << QStringLiteral("pdf");
        QTest::newRow("no open set") << QStringLiteral("none");
    }

    void nothingIsSubmittedWhileBusy()
    {
        QFETCH(QString, situation);
        QVERIFY(openRemote(singles(1)));
        if (situation == QLatin1String("loading"))
            (void)AppModelTestProbe::beginLoading(model());
        else if (situation == QLatin1String("pdf"))
            AppModelTestProbe::setIsExportingPDF(model(), true);
        else
            model().backToHome();
        QVERIFY(env->submit());
        QCOMPARE(env->service.sendCount(commitPath), 0);
        QVERIFY(!model().errorMessage());
        QVERIFY(model().screen() != AppScreen::report);
    }

    void analysisLists_data()
    {
        QTest::addColumn<bool>("wrongOnly");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("all") << false
                             << QStringList{QStringLiteral("right"), QStringLiteral("order"), QStringLiteral("case"),
                                            QStringLiteral("blank"), QStringLiteral("none"), QStringLiteral("wrong")};
        QTest::newRow("wrong only") << true
                                    << QStringList{QStringLiteral("case"), QStringLiteral("blank"), QStringLiteral("none"),
                                                   QStringLiteral("wrong")};
    }

    void analysisLists()
    {
        QFETCH(bool, wrongOnly);
        QFETCH(QStringList, expected);
        const QJsonArray reported{answered(question(QStringLiteral("right"), 1, QStringLiteral("B")), QStringLiteral("b")),
                                  answered(question(QStringLiteral("order"), 2, QStringLiteral("AB")), QStringLiteral("BA")),
                                  answered(question(QStringLiteral("case"), 3, QStringLiteral("ABC"), 0), QStringLiteral("abc")),
                                  answered(question(QStringLiteral("blank"), 1, QStringLiteral("A")), QStringLiteral("   ")),
                                  question(QStringLiteral("none"), 1, QStringLiteral("A")),
                                  answered(question(QStringLiteral("wrong"), 2, QStringLiteral("AC")), QStringLiteral("A"))};
        QVERIFY(openRemote(singles(1), reported));
        model().setAnalysisFromCollections(true);
        QVERIFY(env->submit());
        // Judged by the report's answers, not by the model's.
        model().setAnswers({});
        model().showAnalysis(wrongOnly);
        QCOMPARE(idsOf(model().analysisQuestions()), expected);
        QCOMPARE(model().analysisMaterials(), model().report()->materialsList);
        QCOMPARE(model().currentAnalysisIndex(), 0);
        QVERIFY(!model().analysisFromCollections());
        QCOMPARE(model().screen(), AppScreen::analysis);
    }

    void analysisOfAnAllRightReportIsEmpty()
    {
        QVERIFY(openRemote(singles(1), QJsonArray{answered(question(QStringLiteral("q"), 1, QStringLiteral("A")), QStringLiteral("A"))}));
        QVERIFY(env->submit());
        model().showAnalysis(true);
        QVERIFY(model().analysisQuestions().isEmpty());
        QCOMPARE(model().screen(), AppScreen::analysis);
    }

    void analysisWithoutReportChangesNothing()
    {
        env->makeModel();
        model().setScreen(AppScreen::home);
        model().setAnalysisFromCollections(true);
        model().showAnalysis(false);
        QVERIFY(model().analysisFromCollections());
        QCOMPARE(model().screen(), AppScreen::home);
    }

    void backToHomeEmptiesTheSet()
    {
        QVERIFY(openRemote(singles(2)));
        AppModelTestProbe::setActiveHistoryRecordID(model(), QStringLiteral("rec"));
        AppModelTestProbe::setResumedPracticeCostTime(model(), 30);
        model().setReportFromHistory(true);
        model().setRevealedQuestionIDs({QStringLiteral("q0")});
        QVERIFY(env->submit());
        model().showAnalysis(false);
        model().setAnalysisFromCollections(true);
        model().practiceHistory()->cacheCompletedReport(HistoryReport{}, QStringLiteral("kept"));

        model().backToHome();
        QCOMPARE(model().screen(), AppScreen::home);
        QVERIFY(!model().reportFromHistory());
        QVERIFY(!model().activeHistoryRecordID());
        QCOMPARE(model().resumedPracticeCostTime(), 0);
        QVERIFY(!model().selectedMenu());
        QVERIFY(!model().questionModel());
        QVERIFY(model().questions().isEmpty());
        QVERIFY(model().answers().isEmpty());
        QVERIFY(model().revealedQuestionIDs().isEmpty());
        QVERIFY(!model().report());
        QVERIFY(model().analysisQuestions().isEmpty());
        QVERIFY(model().analysisMaterials().isEmpty());
        QVERIFY(model().analysisFromCollections()); // left as it was
        QVERIFY(model().practiceHistory()->completedReport(QStringLiteral("kept")));
    }

    void endToEndAgainstTheFakeService()
    {
        // The fake's own set, commit and report: what it scores is what shows.
        env->makeModel();
        QVERIFY(QCoro::waitFor(completes(model().openQuestions(menu(QStringLiteral("t102-2"), QuestionType::multiple)))));
        QCOMPARE(model().screen(), AppScreen::questions);
        const Question first = model().questions().first();
        for (const QChar letter : first.answer)
            model().toggleMultipleAnswer(QString(letter), first);
        QVERIFY(env->submit());
        QCOMPARE(model().screen(), AppScreen::report);
        QCOMPARE(model().report()->rightNum, 1);
        QCOMPARE(model().report()->logId, *model().questionModel()->userExamId);
    }
};

QTEST_GUILESS_MAIN(TestPracticeSubmission)
#include "tst_practice_submission.moc"
