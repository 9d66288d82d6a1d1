#include "AppModelTestSupport.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QSignalSpy>

// Past papers (paging, the membership gate, starting with section
// introductions) and the rules that drop results of superseded loads.

using namespace AppModelTest;

namespace {
QJsonArray papers(int count, const QString &prefix = QStringLiteral("p"))
{
    QJsonArray list;
    for (int i = 0; i < count; ++i)
        list.append(QJsonObject{{"id", prefix + QString::number(i)}, {"name", QStringLiteral("试卷%1").arg(i)}, {"needVip", 0}});
    return list;
}

RealExamSummary summary(const QString &id, qint64 needVip = 0)
{
    return RealExamSummary{id, QStringLiteral("试卷"), needVip};
}

} // namespace

class TestAppModelRealExams : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void realExamPaging_data()
    {
        QTest::addColumn<QJsonValue>("data"); // every page's reply; undefined: the fixtures
        QTest::addColumn<int>("calls");
        QTest::addColumn<int>("kept");
        QTest::newRow("twelve papers: two pages") << QJsonValue() << 2 << 12;
        QTest::newRow("every page full: stops at 50") << QJsonValue(papers(10)) << 50 << 10;
        QTest::newRow("more than a page ends it") << QJsonValue(papers(11)) << 1 << 11;
        QJsonArray dirty = papers(3);
        dirty.append(QJsonObject{{"id", ""}, {"name", "no id"}});
        dirty.append(QJsonObject{{"id", "x"}, {"name", ""}});
        dirty.append(QJsonObject{{"id", "p1"}, {"name", "repeated"}});
        QTest::newRow("cleaning") << QJsonValue(dirty) << 1 << 3;
    }

    void realExamPaging()
    {
        QFETCH(QJsonValue, data);
        QFETCH(int, calls);
        QFETCH(int, kept);
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        if (!data.isNull())
            env.service.setData(listPath, data);
        env.wait(model.loadRealExams());
        QCOMPARE(env.service.sendCount(listPath), calls);
        QCOMPARE(model.realExams().size(), kept);
        const QList<FakeRequest> sent = env.service.requests(listPath);
        for (int i = 0; i < sent.size(); ++i) {
            QCOMPARE(sent[i].json.toObject().value("current").toInt(), i + 1);
            QCOMPARE(sent[i].json.toObject().value("pageSize").toInt(), 10);
        }
        if (kept == 3)
            QCOMPARE(model.realExams().at(1).name, QStringLiteral("试卷1")); // the first occurrence
        QVERIFY(!model.isLoading());
    }

    void realExamPagesKeepTheirBankAndFailuresKeepTheList()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        int pages = 0;
        connect(&env.service, &FakeService::requestReceived, &model, [&](const QString &path) {
            if (path == listPath && ++pages == 1)
                model.setSelectedExamBank(bank("102", "b")); // not a switch: the load goes on for 101
        });
        env.wait(model.loadRealExams());
        const QList<FakeRequest> sent = env.service.requests(listPath);
        QCOMPARE(sent.size(), 2);
        QCOMPARE(sent[1].json.toObject().value("examBankId").toString(), QStringLiteral("101"));
        QCOMPARE(sent[1].header("X-ExamBankId"), QByteArray("101"));
        QCOMPARE(model.realExams().size(), 12);

        // A failure on the second page leaves the list as it was.
        model.setSelectedExamBank(bank("101", "a"));
        pages = 10; // the slot above stays quiet
        int listCalls = 0;
        connect(&env.service, &FakeService::requestReceived, &model, [&](const QString &path) {
            if (path == listPath && ++listCalls == 2)
                env.service.failWithStatus(listPath, 500, 1);
        });
        env.service.setData(listPath, papers(10, QStringLiteral("n")));
        env.wait(model.loadRealExams());
        QCOMPARE(model.realExams().size(), 12);
        QCOMPARE(model.realExams().first().id, QStringLiteral("re101-01"));
        QCOMPARE(model.errorMessage(), QStringLiteral("服务器错误（HTTP 500）"));
        QVERIFY(!model.isLoading());
    }

    void reloadRefreshesTheSelection()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.wait(model.loadRealExams());
        env.wait(model.prepareRealExam(model.realExams().first()));
        QVERIFY(model.preparedRealExam());

        QJsonArray renamed{QJsonObject{{"id", "re101-01"}, {"name", "新名字"}, {"needVip", 0}}};
        env.service.setData(listPath, renamed);
        env.wait(model.loadRealExams());
        QCOMPARE(model.selectedRealExam()->name, QStringLiteral("新名字"));
        QVERIFY(model.preparedRealExam());

        env.service.setData(listPath, papers(2));
        env.wait(model.loadRealExams());
        QVERIFY(!model.selectedRealExam());
        QVERIFY(!model.preparedRealExam());
    }

    void prepareBehindTheMembershipGate_data()
    {
        QTest::addColumn<QString>("bankId");
        QTest::addColumn<QString>("paperId");
        QTest::addColumn<qint64>("needVip");
        QTest::addColumn<int>("vipFailure"); // HTTP status of the membership call, 0: none
        QTest::addColumn<bool>("cachedMembership");
        QTest::addColumn<bool>("prepared");
        QTest::addColumn<int>("screen");
        QTest::addColumn<QString>("error");
        const int home = int(AppScreen::home);
        QTest::newRow("free paper: no membership call") << "101" << "re101-01" << qint64(0) << 0 << false << true << home << "";
        QTest::newRow("members only, valid") << "101" << "re101-02" << qint64(1) << 0 << false << true << home << "";
        QTest::newRow("members only, expired") << "102" << "re102-01" << qint64(1) << 0 << false << false
                                               << int(AppScreen::purchase) << "";
        QTest::newRow("refresh fails, valid cache") << "101" << "re101-02" << qint64(1) << 500 << true << true << home << "";
        QTest::newRow("refresh fails, no cache") << "101" << "re101-02" << qint64(1) << 500 << false << false << home
                                                 << "会员状态验证失败，请检查网络后重试";
        QTest::newRow("refresh: login expired") << "101" << "re101-02" << qint64(1) << 401 << true << false
                                                << int(AppScreen::login) << "登录已失效，请重新登录";
        // needVip 2 is not members-only here; the service then demands membership itself.
        QTest::newRow("service demands membership") << "101" << "re101-04" << qint64(2) << 0 << false << false
                                                     << int(AppScreen::purchase) << "";
    }

    void prepareBehindTheMembershipGate()
    {
        QFETCH(QString, bankId);
        QFETCH(QString, paperId);
        QFETCH(qint64, needVip);
        QFETCH(int, vipFailure);
        QFETCH(bool, cachedMembership);
        QFETCH(bool, prepared);
        QFETCH(int, screen);
        QFETCH(QString, error);
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, bankId);
        AppModel &model = env.makeModel();
        model.setScreen(AppScreen::home);
        if (cachedMembership)
            env.wait(model.fetchVIPStatus());
        if (paperId == QLatin1String("re101-04"))
            env.service.failWithCode(detailPath, QStringLiteral("403"), QStringLiteral("会员专享"));
        if (vipFailure)
            env.service.failWithStatus(vipPath, vipFailure);
        env.service.clearLog();

        env.wait(model.prepareRealExam(RealExamSummary{paperId, QStringLiteral("试卷"), needVip}));
        QCOMPARE(env.service.sendCount(vipPath), needVip == 1 ? 1 : 0);
        QCOMPARE(model.preparedRealExam().has_value(), prepared);
        QCOMPARE(model.selectedRealExam().has_value(), prepared);
        QCOMPARE(int(model.screen()), screen);
        QCOMPARE(model.errorMessage().value_or(QString()), error);
        QVERIFY(!model.isLoading());
        if (prepared) {
            QCOMPARE(model.selectedRealExam()->id, paperId);
            QCOMPARE(model.preparedRealExam()->id, paperId);
        }
    }

    void busyModelChangesNothing()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.wait(model.loadRealExams());
        env.wait(model.prepareRealExam(model.realExams().at(0)));

        env.service.holdReplies(initConfigPath);
        QCoro::Task<> home = model.loadHome();
        QVERIFY(model.isLoading());
        env.service.clearLog();
        env.wait(model.loadRealExams());
        env.wait(model.prepareRealExam(model.realExams().at(2)));
        QCOMPARE(env.service.sendCount(listPath), 0);
        QCOMPARE(env.service.sendCount(detailPath), 0);
        QCOMPARE(model.preparedRealExam()->id, QStringLiteral("re101-01"));
        // Opening starts only the paper that is already prepared.
        env.wait(model.openRealExam(model.realExams().at(2)));
        QCOMPARE(model.screen(), AppScreen::home);
        env.wait(model.openRealExam(model.realExams().at(0)));
        QCOMPARE(model.screen(), AppScreen::questions);
        env.service.releaseReplies(initConfigPath);
        env.wait(std::move(home));
    }

    void startingAPaper()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.wait(model.loadRealExams());
        env.clock.advance(5000);
        env.wait(model.openRealExam(model.realExams().first())); // nine questions in three sections

        QCOMPARE(model.screen(), AppScreen::questions);
        const QList<Question> &questions = model.questions();
        QCOMPARE(questions.size(), 12);
        QStringList intros;
        for (int i = 0; i < questions.size(); ++i) {
            if (questions[i].sectionIntro)
                intros.append(QString::number(i) + QLatin1Char(':') + questions[i].id);
        }
        QCOMPARE(intros, (QStringList{"0:real-exam-section-0-0-2", "4:real-exam-section-1-3-4", "7:real-exam-section-2-5-8"}));
        QCOMPARE(model.answers().size(), 9);
        for (const Question &q : questions)
            QCOMPARE(model.answers().contains(q.id), !q.sectionIntro.has_value());
        QCOMPARE(model.currentQuestionIndex(), 0);
        QVERIFY(model.revealedQuestionIDs().isEmpty());
        QVERIFY(!model.reportFromHistory());

        const CardMenu &menu = *model.selectedMenu();
        QCOMPARE(menu.menuId, QStringLiteral("re101-01"));
        QCOMPARE(menu.examBankId, QStringLiteral("101"));
        QCOMPARE(menu.count, 9);
        QCOMPARE(menu.needVip, 0);
        QCOMPARE(menu.name, model.preparedRealExam()->name);
        QVERIFY(!menu.menuType && !menu.parentId && menu.children.isEmpty());
        QCOMPARE(model.questionModel()->userExamId, model.preparedRealExam()->userExamLogId);
        QCOMPARE(AppModelTestProbe::practiceStartedAt(model), AppModelEnvironment::startTime + 5000);
        QVERIFY(model.selectedRealExam() && model.preparedRealExam()); // kept after the start
    }

    void startingOddPapers_data()
    {
        QTest::addColumn<QJsonArray>("questions");
        QTest::addColumn<QString>("extraInfo");
        QTest::addColumn<QStringList>("order");
        const QJsonArray two{QJsonObject{{"id", "a"}, {"userAnswer", "B"}}, QJsonObject{{"id", "b"}}};
        QTest::newRow("no sections") << two << "" << QStringList{"a", "b"};
        QTest::newRow("malformed sections") << two << "{not json" << QStringList{"a", "b"};
        QTest::newRow("beyond the end and before the start")
            << two << "[{\"rangBegin\":7,\"rangEnd\":9,\"title\":\"t\",\"des\":\"d\"},{\"rangBegin\":-5,\"rangEnd\":0,\"title\":\"t\",\"des\":\"d\"}]"
            << QStringList{"real-exam-section-1--5-0", "a", "b", "real-exam-section-0-7-9"};
        QTest::newRow("empty paper") << QJsonArray{} << "" << QStringList{};
    }

    void startingOddPapers()
    {
        QFETCH(QJsonArray, questions);
        QFETCH(QString, extraInfo);
        QFETCH(QStringList, order);
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.service.setData(detailPath, QJsonObject{{"id", "re101-03"}, {"name", "试卷"}, {"questionList", questions},
                                                    {"userExamLogId", ""}, {"extraInfo", extraInfo}});
        env.wait(model.openRealExam(summary(QStringLiteral("re101-03"))));
        QCOMPARE(model.screen(), AppScreen::questions);
        QStringList ids;
        for (const Question &q : model.questions())
            ids.append(q.id);
        QCOMPARE(ids, order);
        QCOMPARE(model.questionModel()->userExamId, QString()); // present even when empty
        if (!questions.isEmpty()) {
            QCOMPARE(model.answers().value("a"), QStringLiteral("B"));
            QVERIFY(model.answers().contains("b"));
        }
    }

    // ---- results of superseded loads --------------------------------------------

    void bankSwitchDropsTheEarlierTree()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.wait(model.loadHome()); // banks known
        env.service.holdReplies(cardMenuPath);
        QCoro::Task<> first = model.loadHome();
        QTRY_COMPARE(env.service.heldReplyCount(cardMenuPath), 1);

        QList<QStringList> published;
        QStringList events;
        connect(&model, &AppModel::menusChanged, &model, [&] {
            published.append(menuIds(model.menus()));
            events.append(QStringLiteral("menus ") + published.last().join(','));
        });
        connect(&model, &AppModel::isLoadingChanged, &model, [&] {
            events.append(model.isLoading() ? QStringLiteral("busy") : QStringLiteral("idle"));
        });
        QCoro::Task<> switching = model.selectExamBank(model.examBanks().at(2)); // bank 103
        QTRY_COMPARE(env.service.heldReplyCount(cardMenuPath), 2);
        QVERIFY(model.isLoading());
        env.service.releaseReplies(cardMenuPath);
        env.wait(std::move(switching));
        env.wait(std::move(first));

        QCOMPARE(menuIds(model.menus()), (QStringList{"t103-1", "t103-2"}));
        for (const QStringList &ids : std::as_const(published))
            QVERIFY2(ids.isEmpty() || !ids.first().startsWith(QLatin1String("m101")), qPrintable(ids.join(',')));
        // The flag stays up until the new bank's tree is in; the past papers
        // of the new bank load after that.
        QVERIFY(!model.isLoading());
        const qsizetype firstIdle = events.indexOf(QStringLiteral("idle"));
        QVERIFY2(firstIdle > events.indexOf(QStringLiteral("menus t103-1,t103-2")), qPrintable(events.join(" | ")));
        QCOMPARE(events.last(), QStringLiteral("idle"));
    }

    void bankSwitchReleasesAHeldPreparation()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.wait(model.loadHome());
        env.service.holdReplies(detailPath);
        QCoro::Task<> preparing = model.prepareRealExam(summary(QStringLiteral("re101-01")));
        QTRY_COMPARE(env.service.heldReplyCount(detailPath), 1);
        QVERIFY(model.isLoading());

        env.wait(model.selectExamBank(model.examBanks().at(1))); // bank 102
        // The switch ran its own loads and is done, though the old reply is still held.
        QVERIFY(!model.isLoading());
        QCOMPARE(model.realExams().size(), 1);

        env.service.releaseReplies(detailPath);
        env.wait(std::move(preparing));
        QVERIFY(!model.selectedRealExam());
        QVERIFY(!model.preparedRealExam());
        QVERIFY(!model.isLoading());
    }

    void logoutDropsEverythingInFlight()
    {
        AppModelEnvironment env;
        env.storeToken();
        AppModel &model = env.makeModel();
        env.service.holdReplies(cardMenuPath);
        QCoro::Task<> home = model.loadHome();
        QTRY_COMPARE(env.service.heldReplyCount(cardMenuPath), 1);
        model.logout();
        QVERIFY(!model.isLoading());
        env.service.releaseReplies(cardMenuPath);
        env.wait(std::move(home));
        QVERIFY(model.menus().isEmpty());
        QVERIFY(!model.errorMessage());
        QVERIFY(!model.isLoading());
        QCOMPARE(model.screen(), AppScreen::login);
    }
};

QTEST_GUILESS_MAIN(TestAppModelRealExams)
#include "tst_appmodel_realexams.moc"
