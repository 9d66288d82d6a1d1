#include "AppModelTestSupport.h"

#include <QSignalSpy>
#include <QTest>

using namespace AppModelTest;

namespace {
const QString mobile = QStringLiteral("13800138000");

int count(const FakeService &service, const QString &path)
{
    return int(service.requests(path).size());
}
} // namespace

// What the home screen relies on from the model: the loads at sign-in and at
// start, recovery from a failed load, and the expansion and membership state.
class TestHomeLoading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The sign-in ends with the home data; the home screen's first
    // appearance then loads as it always does, past papers included, and
    // only once in the session.
    void signInEndsWithTheHomeDataAndTheScreenLoadsThePapers()
    {
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("102"));
        AppModel &model = env.makeModel();
        model.setScreen(AppScreen::login);
        env.wait(model.login(mobile, FakeService::verificationCode));

        QCOMPARE(count(env.service, initConfigPath), 1);
        QCOMPARE(count(env.service, cardMenuPath), 1);
        QCOMPARE(count(env.service, listPath), 0);
        QVERIFY(!model.menus().isEmpty());
        QVERIFY(!model.isLoading());

        model.startHomeStartUp();
        QTRY_VERIFY(!model.realExams().isEmpty());
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(count(env.service, initConfigPath), 2);
        QCOMPARE(count(env.service, cardMenuPath), 2);
        QVERIFY(count(env.service, listPath) >= 1);

        const int sent = int(env.service.requests().size());
        model.startHomeStartUp();
        QTest::qWait(100);
        QCOMPARE(int(env.service.requests().size()), sent);
    }

    void restartWithStoredLoginLoadsOnce()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("102"));
        AppModel &model = env.makeModel();
        QCOMPARE(model.screen(), AppScreen::home);
        QVERIFY(env.service.requests().isEmpty());

        model.startHomeStartUp();
        model.startHomeStartUp();
        QTRY_VERIFY(!model.realExams().isEmpty());
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(count(env.service, initConfigPath), 1);
        QCOMPARE(count(env.service, cardMenuPath), 1);
        QCOMPARE(count(env.service, listPath), 1);
        QVERIFY(!model.menus().isEmpty());

        // After a sign-out the next session's screen loads again.
        model.logout();
        QVERIFY(!model.homeStartedThisSession());
    }

    void homeLoadThatReplacesTheBankLoadsItsPapers()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("gone"));
        AppModel &model = env.makeModel();

        env.wait(model.loadHomeThenRealExams());
        QCOMPARE(model.selectedExamBank().id, QStringLiteral("101"));
        // One walk: its first page is asked for once.
        int firstPages = 0;
        for (const FakeRequest &request : env.service.requests(listPath))
            firstPages += request.json.toObject().value("current").toInt() == 1 ? 1 : 0;
        QCOMPARE(firstPages, 1);
        QCOMPARE(env.service.lastRequest(listPath)->json.toObject().value("examBankId").toString(), QStringLiteral("101"));
        QVERIFY(!model.realExams().isEmpty());
    }

    void homeLoadThatReplacesTheBankDropsTheOldPapers()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        env.wait(model.loadHomeThenRealExams());
        QVERIFY(!model.realExams().isEmpty());
        const QString oldFirst = model.realExams().first().id;

        // The service no longer lists bank 101; its papers must not stay on show.
        QJsonArray banks{QJsonObject{{"id", "102"}, {"name", "教师资格证·综合素质（中学）"}, {"isShow", 1}}};
        env.service.setData(initConfigPath, QJsonObject{{"examBankList", banks}});
        env.service.holdReplies(listPath);
        QSignalSpy papers(&model, &AppModel::realExamsChanged);
        QCoro::Task<> load = model.loadHome();
        QTRY_VERIFY(env.service.heldReplyCount(listPath) == 1);
        QCOMPARE(model.selectedExamBank().id, QStringLiteral("102"));
        QVERIFY(model.realExams().isEmpty());
        env.service.releaseReplies(listPath);
        env.wait(std::move(load));
        QVERIFY(!model.realExams().isEmpty());
        QVERIFY(model.realExams().first().id != oldFirst);
    }

    void failedHomeLoadKeepsTheUserSignedIn_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("rawBody");
        QTest::addColumn<QJsonValue>("data"); // replaces the endpoint's data when defined

        const QJsonValue none = QJsonValue::Undefined;
        QTest::newRow("init-config 500") << initConfigPath << 500 << QByteArray() << none;
        QTest::newRow("menu tree 503") << cardMenuPath << 503 << QByteArray() << none;
        QTest::newRow("menu tree corrupt body") << cardMenuPath << 200 << QByteArray("{\"success\":tr") << none;
        QTest::newRow("init-config not JSON") << initConfigPath << 200 << QByteArray("<html>busy</html>") << none;
        QTest::newRow("menu tree of the wrong type") << cardMenuPath << 0 << QByteArray() << QJsonValue(QStringLiteral("菜单"));
    }
    void failedHomeLoadKeepsTheUserSignedIn()
    {
        QFETCH(QString, path);
        QFETCH(int, status);
        QFETCH(QByteArray, rawBody);
        QFETCH(QJsonValue, data);

        AppModelEnvironment env;
        const QString token = env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("102"));
        AppModel &model = env.makeModel();
        if (!data.isUndefined()) {
            env.service.setData(path, data);
        } else {
            FakeScenario fault;
            fault.httpStatus = status;
            fault.times = 1;
            if (!rawBody.isEmpty())
                fault.rawBody = rawBody;
            env.service.setScenario(path, fault);
        }

        model.startHomeStartUp();
        QTRY_VERIFY(model.errorMessage().has_value());
        QTRY_VERIFY(!model.isLoading());
        QCOMPARE(model.screen(), AppScreen::home);
        QCOMPARE(model.token().value_or(QString()), token);

        // "刷新" then loads the home data; the past papers came with the start-up.
        env.service.clearData(path);
        model.dismissErrorMessage();
        model.startLoadHome();
        QTRY_VERIFY(!model.menus().isEmpty());
        QTRY_VERIFY(!model.realExams().isEmpty());
        QVERIFY(!model.errorMessage());
    }

    void membershipChangeIsAnnounced()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("101"));
        AppModel &model = env.makeModel();
        QSignalSpy spy(&model, &AppModel::hasCurrentExamBankVIPChanged);
        env.wait(model.fetchVIPStatus());
        QVERIFY(spy.size() >= 1);
        const bool before = model.hasCurrentExamBankVIP();
        spy.clear();
        env.wait(model.selectExamBank(bank("103", "初级会计职称·经济法基础")));
        QVERIFY(spy.size() >= 1);
        // The fixture holds a membership for 101 and none for 103.
        QVERIFY(before);
        QVERIFY(model.hasCurrentExamBankVIP() != before);
        QCOMPARE(model.property("hasCurrentExamBankVIP").toBool(), model.hasCurrentExamBankVIP());
    }

    // Every toggle is in the store as soon as it is made: nothing is lost
    // when the model goes away right after one.
    void expansionIsWrittenAtOnce()
    {
        AppModelEnvironment env;
        const QString key = QStringLiteral("home_menu_expansion");
        {
            AppModel &model = env.makeModel();
            QVERIFY(model.isMenuExpanded(QStringLiteral("a"), true));
            QVERIFY(!model.isMenuExpanded(QStringLiteral("a")));
            model.toggleMenu(QStringLiteral("a"), true);
            QCOMPARE(env.defaults->dictionary(key).value_or(QVariantMap()), (QVariantMap{{"a", false}}));
            model.toggleMenu(QStringLiteral("b"));
            model.toggleMenu(QStringLiteral("b"));
            QVERIFY(!model.isMenuExpanded(QStringLiteral("a"), true));
            QCOMPARE(env.defaults->dictionary(key).value_or(QVariantMap()), (QVariantMap{{"a", false}, {"b", false}}));
            model.toggleMenu(QStringLiteral("c"));
        }
        env.model.reset();
        QCOMPARE(env.defaults->dictionary(key).value_or(QVariantMap()).value("c"), QVariant(true));
    }

    // A home load forgets no stored state: rows missing from the new tree,
    // rows of other banks and foreign keys all stay, in memory and stored.
    void storedStatesAreNeverRemoved()
    {
        AppModelEnvironment env;
        env.storeToken();
        env.defaults->setValue(AppModel::examBankKey, QStringLiteral("102"));
        AppModel &model = env.makeModel();
        env.wait(model.loadHome());
        const QList<CardMenu> tree = model.menus();
        QVERIFY(!tree.isEmpty());
        const QString kept = model.menuPath(tree.first(), QString());
        CardMenu gone;
        gone.menuId = QStringLiteral("vanished");
        const QString vanished = model.menuPath(gone, QString());
        const QString otherBank = QStringLiteral(R"(["production","103","1","","1","x"])");
        const QString notAPath = QStringLiteral("k");
        const QStringList paths{kept, vanished, otherBank, notAPath};
        for (const QString &path : paths)
            model.toggleMenu(path);

        env.wait(model.loadHome());
        env.service.setData(cardMenuPath, QJsonArray());
        env.wait(model.loadHome());
        for (const QString &path : paths)
            QVERIFY2(model.menuExpansionStates().value(path), qPrintable(path));
        const auto stored = env.defaults->dictionary(QStringLiteral("home_menu_expansion"));
        QVERIFY(stored);
        for (const QString &path : paths)
            QCOMPARE(stored->value(path), QVariant(true));
    }

    // The third element of a path is the practice type on every bank, 行测
    // banks included.
    void pathsCarryThePracticeType_data()
    {
        QTest::addColumn<qint64>("practiceType");
        QTest::newRow("by question type") << qint64(1);
        QTest::newRow("by knowledge point") << qint64(2);
    }

    void pathsCarryThePracticeType()
    {
        QFETCH(qint64, practiceType);
        AppModelEnvironment env;
        env.defaults->setValue(AppModel::practiceTypeKey, practiceType);
        AppModel &model = env.makeModel();
        AppModelTestProbe::applyExamBanks(model, {bank("101", "2025国考公务员行测"), bank("103", "初级会计")});
        QVERIFY(model.isXingCeBank());
        CardMenu menu;
        menu.menuId = QStringLiteral("m");
        const QString type = QString::number(practiceType);
        QVERIFY(model.menuPath(menu, QString()).contains(QStringLiteral("\"101\",\"") + type + QStringLiteral("\"")));
        env.wait(model.selectExamBank(bank("103", "初级会计")));
        QVERIFY(model.menuPath(menu, QString()).contains(QStringLiteral("\"103\",\"") + type + QStringLiteral("\"")));
    }
};

QTEST_GUILESS_MAIN(TestHomeLoading)
#include "tst_homeloading.moc"
