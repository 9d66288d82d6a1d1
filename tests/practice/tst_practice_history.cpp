// The practice-history operations of the model: showing the screen, loading
// pages, opening a completed or an unfinished record, deleting records, and
// dropping what arrives after the history scope changed.

#include "PracticeTestSupport.h"

using namespace PracticeTest;

namespace {

QJsonObject record(const QString &id, int status, const QString &beginTime = QStringLiteral("1700000000000"))
{
    return QJsonObject{{QStringLiteral("id"), id},
                       {QStringLiteral("examId"), QStringLiteral("exam-") + id},
                       {QStringLiteral("examStatus"), status},
                       {QStringLiteral("beginTime"), beginTime}};
}

PracticeHistoryRecord recordValue(const QString &id, int status)
{
    return PracticeHistoryRecord::fromJson(record(id, status));
}

const ExamBank otherBank{QStringLiteral("103"), QStringLiteral("初级会计职称·经济法基础"), 1};

} // namespace

class TestPracticeHistory : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;

    AppModel &model() { return *env->model; }
    PracticeHistoryStore &store() { return *model().practiceHistory(); }

    bool loadPage(PracticeHistoryTab tab = PracticeHistoryTab::practice, bool refresh = true)
    {
        return QCoro::waitFor(completes(model().loadPracticeHistory(tab, refresh, false)));
    }

    bool openRecord(const PracticeHistoryRecord &value)
    {
        return QCoro::waitFor(completes(model().openPracticeHistory(value)));
    }

    bool deleteIds(const QSet<QString> &ids)
    {
        const auto result = QCoro::waitFor(captured(model().deletePracticeHistory(ids)));
        return result.value_or(false);
    }

    // The history screen with two practice records loaded.
    void showWithRecords()
    {
        env->makeModel();
        model().showPracticeHistory();
        env->service.setData(listPath, QJsonArray{record(QStringLiteral("9"), 1, QStringLiteral("2")),
                                                  record(QStringLiteral("10"), 2, QStringLiteral("1"))});
        QVERIFY(loadPage());
        QCOMPARE(store().page(PracticeHistoryTab::practice).records.size(), 2);
    }

private Q_SLOTS:
    void init() { env = std::make_unique<Environment>(); }
    void cleanup() { env.reset(); }

    void showingTheScreenEmptiesTheStore()
    {
        showWithRecords();
        store().setSelectedTab(PracticeHistoryTab::paper);
        model().setScreen(AppScreen::home);

        model().showPracticeHistory();
        QCOMPARE(model().screen(), AppScreen::history);
        QVERIFY(model().hasVisitedPracticeHistory());
        QVERIFY(store().pages().isEmpty()); // fetched afresh on every visit
        QCOMPARE(store().selectedTab(), PracticeHistoryTab::paper);
        QCOMPARE(store().scope()->bank, QStringLiteral("102"));
        QCOMPARE(store().scope()->token, std::optional<QString>(env->token));

        model().setSelectedExamBank(otherBank);
        model().showPracticeHistory();
        QCOMPARE(store().selectedTab(), PracticeHistoryTab::practice);
        QCOMPARE(store().scope()->bank, QStringLiteral("103"));
    }

    void loadingIsRefused_data()
    {
        QTest::addColumn<bool>("busy");
        QTest::newRow("model busy") << true;
        QTest::newRow("another screen") << false;
    }

    void loadingIsRefused()
    {
        QFETCH(bool, busy);
        env->makeModel();
        model().showPracticeHistory();
        store().reset(); // no scope: a load would have to configure it first
        if (busy)
            (void)AppModelTestProbe::beginLoading(model());
        else
            model().setScreen(AppScreen::home);
        QVERIFY(loadPage());
        QVERIFY(!store().scope());
        QCOMPARE(env->service.sendCount(listPath), 0);
    }

    void pageFailures_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<int>("expectedScreen");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("server error: no banner") << 500 << int(AppScreen::history) << QString();
        QTest::newRow("expired login") << 401 << int(AppScreen::login) << QStringLiteral("登录已失效，请重新登录");
    }

    void pageFailures()
    {
        QFETCH(int, status);
        QFETCH(int, expectedScreen);
        QFETCH(QString, expectedError);
        env->makeModel();
        model().showPracticeHistory();
        env->service.failWithStatus(listPath, status);
        QVERIFY(loadPage());
        QCOMPARE(int(model().screen()), expectedScreen);
        QCOMPARE(model().errorMessage().value_or(QString()), expectedError);
        if (status == 500)
            QCOMPARE(store().loadError(1), QStringLiteral("服务器错误（HTTP 500）"));
    }

    void openingACompletedRecordShowsItsReport()
    {
        showWithRecords();
        model().setAnalysisFromCollections(true);
        store().cacheCompletedReport(HistoryReport{}, QStringLiteral("10"));
        answerWith(env->service, reportPath, reportJson(QJsonArray{question(QStringLiteral("q"), 1, QStringLiteral("A"))}));

        QVERIFY(openRecord(recordValue(QStringLiteral("10"), 2)));
        QCOMPARE(env->lastBody(reportPath).value(QStringLiteral("id")).toString(), QStringLiteral("10"));
        QCOMPARE(model().screen(), AppScreen::report);
        QCOMPARE(model().report()->title, QStringLiteral("服务端报告")); // fetched, not the cached one
        QVERIFY(model().reportFromHistory());
        QVERIFY(!model().analysisFromCollections());
        QCOMPARE(model().activeHistoryRecordID(), std::optional<QString>(QStringLiteral("10")));
        QVERIFY(!model().isLoading());
    }

    void aSubmittedRecordStaysCompletedWhileTheListLags()
    {
        showWithRecords(); // "9" is listed as unfinished
        store().cacheCompletedReport(HistoryReport{}, QStringLiteral("9"));
        model().setScreen(AppScreen::home);

        model().showPracticeHistory(); // same scope: a new generation only
        QVERIFY(loadPage());
        const auto listed = store().record(QStringLiteral("9"));
        QVERIFY(listed);
        QCOMPARE(listed->examStatus, 1);
        QVERIFY(store().isCompleted(*listed)); // never offered as "继续答题" again

        model().setSelectedExamBank(otherBank);
        model().showPracticeHistory(); // another scope: nothing carried over
        QVERIFY(store().completedReports().isEmpty());
    }

    void resumingAnUnfinishedRecord()
    {
        showWithRecords();
        env->clock.advance(7'000);
        const QJsonArray questions{answered(question(QStringLiteral("a"), 1, QStringLiteral("A")), QStringLiteral("A")),
                                   question(QStringLiteral("b"), 1, QStringLiteral("A")),
                                   answered(question(QStringLiteral("c"), 2, QStringLiteral("AB")), QStringLiteral("B"))};
        answerWith(env->service, reportPath, reportJson(questions, QStringLiteral("125"), QStringLiteral("log-9")));
        model().setRevealedQuestionIDs({QStringLiteral("x")});

        QVERIFY(openRecord(recordValue(QStringLiteral("9"), 1)));
        QCOMPARE(model().screen(), AppScreen::questions);
        QCOMPARE(model().answers().size(), 3);
        QCOMPARE(model().answers().value(QStringLiteral("a")), QStringLiteral("A"));
        QCOMPARE(model().answers().value(QStringLiteral("b")), QString());
        QCOMPARE(model().answers().value(QStringLiteral("c")), QStringLiteral("B"));
        QCOMPARE(model().currentQuestionIndex(), 1);
        QVERIFY(model().revealedQuestionIDs().isEmpty());
        QVERIFY(!model().report());
        QCOMPARE(model().resumedPracticeCostTime(), 125);
        QCOMPARE(model().practiceStartedAtMilliseconds(), Environment::startTime + 7'000);
        QCOMPARE(model().questionModel()->userExamId, std::optional<QString>(QStringLiteral("log-9")));
        QVERIFY(model().reportFromHistory());
        QCOMPARE(model().activeHistoryRecordID(), std::optional<QString>(QStringLiteral("9")));

        const CardMenu menu = *model().selectedMenu();
        QCOMPARE(menu.menuId, QStringLiteral("exam-9"));
        QCOMPARE(menu.examBankId, std::optional<QString>(QStringLiteral("102")));
        QCOMPARE(menu.name, QStringLiteral("服务端报告"));
        QCOMPARE(menu.count, 3);
        QCOMPARE(menu.questionType, QuestionType::single);
        QCOMPARE(menu.needVip, 0);

        // Submitting it files the new report under the record and adds the time spent.
        answerWith(env->service, commitPath, commitResultJson());
        env->clock.advance(15'000);
        QVERIFY(env->submit());
        QCOMPARE(env->lastBody(commitPath).value(QStringLiteral("costTime")).toInteger(), 140);
        QCOMPARE(env->lastBody(commitPath).value(QStringLiteral("userExamId")).toString(), QStringLiteral("log-9"));
        QVERIFY(store().isCompleted(recordValue(QStringLiteral("9"), 1)));
    }

    void resumedPosition_data()
    {
        QTest::addColumn<QJsonArray>("questions");
        QTest::addColumn<QString>("extraInfo");
        QTest::addColumn<int>("expectedIndex");
        QTest::addColumn<QString>("answerOfDuplicate");

        const QJsonObject unanswered = question(QStringLiteral("u"), 1, QStringLiteral("A"));
        const QJsonObject done = answered(question(QStringLiteral("d"), 1, QStringLiteral("A")), QStringLiteral("C"));
        QTest::newRow("past paper: intro first, then unanswered")
            << QJsonArray{unanswered, done}
            << QStringLiteral(R"([{"rangBegin":0,"rangEnd":1,"title":"一","des":"说明"}])") << 1 << QString();
        QTest::newRow("all answered: from the start") << QJsonArray{done, answered(unanswered, QStringLiteral("B"))} << QString() << 0
                                                      << QString();
        QTest::newRow("same id twice: the later answer wins")
            << QJsonArray{done, answered(question(QStringLiteral("d"), 1, QStringLiteral("A")), QStringLiteral("D"))} << QString() << 0
            << QStringLiteral("D");
    }

    void resumedPosition()
    {
        QFETCH(QJsonArray, questions);
        QFETCH(QString, extraInfo);
        QFETCH(int, expectedIndex);
        QFETCH(QString, answerOfDuplicate);
        showWithRecords();
        QJsonObject report = reportJson(questions);
        if (!extraInfo.isEmpty())
            report.insert(QStringLiteral("extraInfo"), extraInfo);
        answerWith(env->service, reportPath, report);
        QVERIFY(openRecord(recordValue(QStringLiteral("9"), 1)));
        QCOMPARE(model().currentQuestionIndex(), expectedIndex);
        if (!extraInfo.isEmpty())
            QVERIFY(model().questions().first().sectionIntro);
        if (!answerOfDuplicate.isEmpty())
            QCOMPARE(model().answers().value(QStringLiteral("d")), answerOfDuplicate);
    }

    void resumedCostTime_data()
    {
        QTest::addColumn<QString>("useTime");
        QTest::addColumn<qint64>("expected");
        QTest::newRow("125") << QStringLiteral("125") << qint64(125);
        QTest::newRow("+30") << QStringLiteral("+30") << qint64(30);
        QTest::newRow("-5") << QStringLiteral("-5") << qint64(0);
        QTest::newRow("empty") << QString() << qint64(0);
        QTest::newRow("12.5") << QStringLiteral("12.5") << qint64(0);
        QTest::newRow("leading space") << QStringLiteral(" 30") << qint64(0);
        QTest::newRow("letters") << QStringLiteral("abc") << qint64(0);
        QTest::newRow("beyond 64 bits") << QStringLiteral("99999999999999999999") << qint64(0);
    }

    void resumedCostTime()
    {
        QFETCH(QString, useTime);
        QFETCH(qint64, expected);
        QCOMPARE(AppModel::resumedCostTime(useTime), expected);
    }

    void aRecordWithoutQuestions()
    {
        showWithRecords();
        answerWith(env->service, reportPath, reportJson(QJsonArray{}));
        QVERIFY(openRecord(recordValue(QStringLiteral("9"), 1)));
        QCOMPARE(model().noticeMessage(), std::optional<QString>(QStringLiteral("该记录暂无题目")));
        QCOMPARE(model().screen(), AppScreen::history);
        QVERIFY(!model().reportFromHistory());
        QVERIFY(!model().activeHistoryRecordID());
        QVERIFY(!model().isLoading());
    }

    void lateReports_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("fail");
        QTest::addColumn<int>("expectedScreen");
        QTest::addColumn<QString>("expectedError");
        QTest::newRow("bank switched, success dropped") << QStringLiteral("bank") << false << int(AppScreen::history) << QString();
        QTest::newRow("bank switched, failure dropped") << QStringLiteral("bank") << true << int(AppScreen::history) << QString();
        QTest::newRow("screen left, success dropped") << QStringLiteral("screen") << false << int(AppScreen::home) << QString();
        QTest::newRow("screen left, failure reported")
            << QStringLiteral("screen") << true << int(AppScreen::home) << QStringLiteral("服务器错误（HTTP 500）");
    }

    void lateReports()
    {
        QFETCH(QString, change);
        QFETCH(bool, fail);
        QFETCH(int, expectedScreen);
        QFETCH(QString, expectedError);
        showWithRecords();
        if (fail)
            env->service.failWithStatus(reportPath, 500);
        else
            answerWith(env->service, reportPath, reportJson(QJsonArray{question(QStringLiteral("q"), 1, QStringLiteral("A"))}));
        env->service.holdReplies(reportPath);
        auto opening = completes(model().openPracticeHistory(recordValue(QStringLiteral("10"), 2)));
        QTRY_COMPARE(env->service.heldReplyCount(reportPath), 1);
        if (change == QLatin1String("bank"))
            model().setSelectedExamBank(otherBank);
        else
            model().setScreen(AppScreen::home);
        env->service.releaseReplies(reportPath);
        QVERIFY(QCoro::waitFor(std::move(opening)));

        QCOMPARE(int(model().screen()), expectedScreen);
        QVERIFY(!model().report());
        QCOMPARE(model().errorMessage().value_or(QString()), expectedError);
        QVERIFY(!model().isLoading());
    }

    void membershipDemandOnOpen()
    {
        showWithRecords();
        env->service.failWithStatus(reportPath, 403);
        QVERIFY(openRecord(recordValue(QStringLiteral("9"), 1)));
        QCOMPARE(model().screen(), AppScreen::purchase);
        QVERIFY(!model().errorMessage());
    }

    void deleting_data()
    {
        QTest::addColumn<QString>("reply"); // "true", "false", "nodata"
        QTest::addColumn<bool>("expectedResult");
        QTest::newRow("confirmed") << QStringLiteral("true") << true;
        QTest::newRow("envelope without data") << QStringLiteral("nodata") << true;
        QTest::newRow("refused") << QStringLiteral("false") << false;
    }

    void deleting()
    {
        QFETCH(QString, reply);
        QFETCH(bool, expectedResult);
        showWithRecords();
        store().cacheCompletedReport(HistoryReport{}, QStringLiteral("9"));
        if (reply == QLatin1String("nodata"))
            answerWith(env->service, deletePath, QJsonValue::Undefined);
        else if (reply == QLatin1String("false"))
            answerWith(env->service, deletePath, false);

        QCOMPARE(deleteIds({QStringLiteral("9"), QStringLiteral("10")}), expectedResult);
        // Text order: "10" before "9".
        QCOMPARE(env->lastBody(deletePath).value(QStringLiteral("ids")).toArray(),
                 (QJsonArray{QStringLiteral("10"), QStringLiteral("9")}));
        QCOMPARE(store().page(PracticeHistoryTab::practice).records.isEmpty(), expectedResult);
        QCOMPARE(store().completedReports().isEmpty(), expectedResult);
        QCOMPARE(model().noticeMessage().value_or(QString()), expectedResult ? QStringLiteral("删除成功") : QString());
        QCOMPARE(model().errorMessage().value_or(QString()), expectedResult ? QString() : QStringLiteral("删除失败，请重试"));
        QVERIFY(!model().isLoading());
    }

    void deletingIsRefused_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("no ids") << QStringLiteral("empty");
        QTest::newRow("a page is loading") << QStringLiteral("page");
        QTest::newRow("model busy") << QStringLiteral("busy");
        QTest::newRow("another screen") << QStringLiteral("screen");
    }

    void deletingIsRefused()
    {
        QFETCH(QString, situation);
        showWithRecords();
        QSet<QString> ids{QStringLiteral("9")};
        std::optional<QCoro::Task<bool>> page;
        if (situation == QLatin1String("empty")) {
            ids.clear();
        } else if (situation == QLatin1String("page")) {
            env->service.holdReplies(listPath);
            page = completes(model().loadPracticeHistory(PracticeHistoryTab::paper, true, false));
            QVERIFY(store().isLoading());
        } else if (situation == QLatin1String("busy")) {
            (void)AppModelTestProbe::beginLoading(model());
        } else {
            model().setScreen(AppScreen::home);
        }
        QVERIFY(!deleteIds(ids));
        QCOMPARE(env->service.sendCount(deletePath), 0);
        if (page) {
            env->service.releaseReplies(listPath);
            QVERIFY(QCoro::waitFor(std::move(*page)));
        }
    }

    void deletionAfterAScopeChangeIsDropped()
    {
        showWithRecords();
        env->service.holdReplies(deletePath);
        auto deleting = captured(model().deletePracticeHistory({QStringLiteral("9")}));
        QTRY_COMPARE(env->service.heldReplyCount(deletePath), 1);
        model().setApiEnvironment(APIEnvironment::test);
        env->service.releaseReplies(deletePath);
        QCOMPARE(QCoro::waitFor(std::move(deleting)), std::optional<bool>(false));
        QCOMPARE(store().page(PracticeHistoryTab::practice).records.size(), 2);
        QVERIFY(!model().noticeMessage());
        QVERIFY(!model().isLoading());
    }

    void throughTheFakeService()
    {
        // The fake's own log: a practice set opened, left unfinished and resumed.
        env->makeModel();
        QVERIFY(QCoro::waitFor(completes(model().openQuestions(menu(QStringLiteral("t102-1"))))));
        const QString examId = *model().questionModel()->userExamId;
        model().backToHome();
        model().showPracticeHistory();
        QVERIFY(loadPage());
        const auto found = store().record(examId);
        QVERIFY(found);
        QVERIFY(!store().isCompleted(*found));
        QVERIFY(openRecord(*found));
        QCOMPARE(model().screen(), AppScreen::questions);
        QCOMPARE(*model().questionModel()->userExamId, examId);
    }
};

QTEST_GUILESS_MAIN(TestPracticeHistory)
#include "tst_practice_history.moc"
