// Collection folders, opening one on the analysis screen, and the collect
// toggle with its confirmed overrides, its in-flight set and stale answers.

#include "PracticeTestSupport.h"

using namespace PracticeTest;

namespace {

const ExamBank otherBank{QStringLiteral("103"), QStringLiteral("初级会计职称·经济法基础"), 1};

Question questionValue(const QString &id, bool isCollect = false)
{
    QJsonObject json = question(id, 1, QStringLiteral("A"));
    json.insert(QStringLiteral("isCollect"), isCollect);
    return Question::fromJson(json);
}

CardMenu folder(const QString &menuId, qint64 count)
{
    CardMenu value = menu(menuId);
    value.count = count;
    return value;
}

} // namespace

class TestPracticeCollections : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;

    AppModel &model() { return *env->model; }

    bool toggle(const Question &question) { return QCoro::waitFor(completes(model().toggleCollection(question))); }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<Environment>();
        env->makeModel();
        model().setScreen(AppScreen::collections);
    }
    void cleanup() { env.reset(); }

    void toggling_data()
    {
        QTest::addColumn<bool>("isCollect");
        QTest::addColumn<QJsonValue>("reply");
        QTest::addColumn<bool>("expectedSent");
        QTest::addColumn<QVariant>("expectedOverride"); // invalid: no override
        QTest::addColumn<QString>("expectedNotice");
        QTest::addColumn<QString>("expectedError");

        QTest::newRow("collect") << false << QJsonValue(true) << true << QVariant(true) << QStringLiteral("已收藏") << QString();
        QTest::newRow("uncollect") << true << QJsonValue(true) << false << QVariant(false) << QStringLiteral("已取消收藏") << QString();
        QTest::newRow("envelope without data") << false << QJsonValue(QJsonValue::Undefined) << true << QVariant(true)
                                               << QStringLiteral("已收藏") << QString();
        QTest::newRow("refused") << false << QJsonValue(false) << true << QVariant() << QString()
                                 << QStringLiteral("收藏操作失败，请重试");
    }

    void toggling()
    {
        QFETCH(bool, isCollect);
        QFETCH(QJsonValue, reply);
        QFETCH(bool, expectedSent);
        QFETCH(QVariant, expectedOverride);
        QFETCH(QString, expectedNotice);
        QFETCH(QString, expectedError);

        answerWith(env->service, collectPath, reply);
        const Question q = questionValue(QStringLiteral("88"), isCollect);
        QCOMPARE(model().collectionKey(q), QStringLiteral("102:88"));
        QVERIFY(toggle(q));

        const QJsonObject body = env->lastBody(collectPath);
        QCOMPARE(body.value(QStringLiteral("collect")).toBool(), expectedSent);
        QCOMPARE(body.value(QStringLiteral("questionId")).toString(), QStringLiteral("88"));
        QCOMPARE(body.value(QStringLiteral("examBankId")).toString(), QStringLiteral("102"));
        const auto overrides = model().collectionOverrides();
        QCOMPARE(overrides.contains(QStringLiteral("102:88")), expectedOverride.isValid());
        if (expectedOverride.isValid())
            QCOMPARE(overrides.value(QStringLiteral("102:88")), expectedOverride.toBool());
        QCOMPARE(model().isCollected(q), expectedOverride.isValid() ? expectedOverride.toBool() : isCollect);
        QCOMPARE(model().noticeMessage().value_or(QString()), expectedNotice);
        QCOMPARE(model().errorMessage().value_or(QString()), expectedError);
        QVERIFY(model().collectionRequests().isEmpty());
    }

    void theOverrideDecidesTheNextToggle()
    {
        answerWith(env->service, collectPath, true);
        const Question q = questionValue(QStringLiteral("88"), false);
        QVERIFY(toggle(q));
        QVERIFY(toggle(q)); // the record still says uncollected; the override says collected
        QCOMPARE(env->lastBody(collectPath).value(QStringLiteral("collect")).toBool(), false);
        QVERIFY(!model().isCollected(q));
    }

    void secondPressWhileInFlightIsIgnored()
    {
        answerWith(env->service, collectPath, true);
        env->service.holdReplies(collectPath);
        const Question q = questionValue(QStringLiteral("88"));
        auto first = completes(model().toggleCollection(q));
        QVERIFY(model().collectionRequests().contains(QStringLiteral("102:88")));
        QVERIFY(toggle(q)); // returns at once
        // Another question may be toggled meanwhile.
        auto other = completes(model().toggleCollection(questionValue(QStringLiteral("89"))));
        QTRY_COMPARE(env->service.heldReplyCount(collectPath), 2);
        env->service.releaseReplies(collectPath);
        QVERIFY(QCoro::waitFor(std::move(first)));
        QVERIFY(QCoro::waitFor(std::move(other)));
        QCOMPARE(env->service.sendCount(collectPath), 2);
        QVERIFY(model().collectionRequests().isEmpty());
    }

    void staleAnswersAreDropped_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("fail");
        for (const QString &op : {QStringLiteral("toggle"), QStringLiteral("load"), QStringLiteral("open")}) {
            QTest::addRow("%s, bank switched", qPrintable(op)) << op << QStringLiteral("bank") << false;
            QTest::addRow("%s, signed out", qPrintable(op)) << op << QStringLiteral("token") << false;
            QTest::addRow("%s, bank switched, failure", qPrintable(op)) << op << QStringLiteral("bank") << true;
        }
    }

    void staleAnswersAreDropped()
    {
        QFETCH(QString, operation);
        QFETCH(QString, change);
        QFETCH(bool, fail);
        const QString path = operation == QLatin1String("toggle") ? collectPath
            : operation == QLatin1String("load")                  ? foldersPath
                                                                  : folderPath;
        if (fail)
            env->service.failWithStatus(path, 500);
        else if (operation == QLatin1String("toggle"))
            answerWith(env->service, path, true);
        else if (operation == QLatin1String("open"))
            env->service.setData(path, questionSet(QJsonArray{question(QStringLiteral("q102-001"), 1, QStringLiteral("C"))}));
        env->service.holdReplies(path);

        const QList<CardMenu> oldFolders{folder(QStringLiteral("old"), 1)};
        model().setCollectionMenus(oldFolders);
        QCoro::Task<bool> running = operation == QLatin1String("toggle")
            ? completes(model().toggleCollection(questionValue(QStringLiteral("q102-001"))))
            : operation == QLatin1String("load") ? completes(model().loadCollections())
                                                 : completes(model().openCollection(folder(QStringLiteral("m102-11"), 3)));
        QTRY_COMPARE(env->service.heldReplyCount(path), 1);
        if (change == QLatin1String("bank"))
            model().setSelectedExamBank(otherBank);
        else
            env->defaults->remove(AppModel::tokenKey); // the stored token is read afresh on each use
        env->service.releaseReplies(path);
        QVERIFY(QCoro::waitFor(std::move(running)));

        QVERIFY(model().collectionOverrides().isEmpty());
        QCOMPARE(model().collectionMenus().size(), 1);
        QVERIFY(model().analysisQuestions().isEmpty());
        QCOMPARE(model().screen(), AppScreen::collections);
        QVERIFY(!model().noticeMessage());
        QVERIFY(!model().errorMessage());
        QVERIFY(model().collectionRequests().isEmpty());
        QVERIFY(!model().isLoading());
    }

    void folderPageSize_data()
    {
        QTest::addColumn<qint64>("count");
        QTest::addColumn<qint64>("expectedPageSize");
        QTest::newRow("0") << qint64(0) << qint64(1);
        QTest::newRow("-4") << qint64(-4) << qint64(1);
        QTest::newRow("25") << qint64(25) << qint64(25);
        QTest::newRow("500") << qint64(500) << qint64(500);
        QTest::newRow("501") << qint64(501) << qint64(501);
        QTest::newRow("huge count from the service") << qint64(9'000'000'000'000) << qint64(9'000'000'000'000);
    }

    void folderPageSize()
    {
        QFETCH(qint64, count);
        QFETCH(qint64, expectedPageSize);
        env->service.setData(folderPath, questionSet(QJsonArray{}));
        QVERIFY(QCoro::waitFor(completes(model().openCollection(folder(QStringLiteral("m102-11"), count)))));
        const QJsonObject body = env->lastBody(folderPath);
        QCOMPARE(body.value(QStringLiteral("pageSize")).toInteger(), expectedPageSize);
        QCOMPARE(body.value(QStringLiteral("current")).toInteger(), 1);
        QCOMPARE(body.value(QStringLiteral("menuId")).toString(), QStringLiteral("m102-11"));
    }

    void anEmptyFolder()
    {
        env->service.setData(folderPath, questionSet(QJsonArray{}));
        QVERIFY(QCoro::waitFor(completes(model().openCollection(folder(QStringLiteral("m102-11"), 2)))));
        QCOMPARE(model().noticeMessage(), std::optional<QString>(QStringLiteral("该目录暂无收藏题目")));
        QCOMPARE(model().screen(), AppScreen::collections);
        QVERIFY(model().collectionOverrides().isEmpty());
        QVERIFY(!model().isLoading());
    }

    void openingAFolderShowsItsQuestions()
    {
        // An open practice set stays as it is.
        model().setQuestions({questionValue(QStringLiteral("set-q"))});
        env->service.setData(folderPath, questionSet(QJsonArray{question(QStringLiteral("c1"), 1, QStringLiteral("A")),
                                                                question(QStringLiteral("c2"), 2, QStringLiteral("AB"))}));
        QVERIFY(QCoro::waitFor(completes(model().openCollection(folder(QStringLiteral("m102-11"), 2)))));
        QCOMPARE(model().screen(), AppScreen::analysis);
        QVERIFY(model().analysisFromCollections());
        QCOMPARE(model().analysisQuestions().size(), 2);
        QCOMPARE(model().analysisMaterials().size(), 1);
        QCOMPARE(model().currentAnalysisIndex(), 0);
        // Marked collected although the records say otherwise.
        QCOMPARE(model().collectionOverrides().value(QStringLiteral("102:c1")), true);
        QCOMPARE(model().collectionOverrides().value(QStringLiteral("102:c2")), true);
        QVERIFY(model().isQuestionCollected(QStringLiteral("c1")));
        QCOMPARE(model().questions().size(), 1);
        QVERIFY(!model().isLoading());
    }

    // One page holds the folder however large: every question opens, with
    // no word of a limit.
    void aLargeFolderOpensWhole_data()
    {
        QTest::addColumn<int>("count");
        QTest::newRow("500") << 500;
        QTest::newRow("501") << 501;
        QTest::newRow("1000") << 1000;
    }

    void aLargeFolderOpensWhole()
    {
        QFETCH(int, count);
        QJsonArray questions;
        for (int i = 0; i < count; ++i)
            questions.append(question(QStringLiteral("c%1").arg(i), 1, QStringLiteral("A")));
        env->service.setData(folderPath, questionSet(questions));
        QVERIFY(QCoro::waitFor(completes(model().openCollection(folder(QStringLiteral("m102-11"), count)))));
        QCOMPARE(env->lastBody(folderPath).value(QStringLiteral("pageSize")).toInteger(), count);
        QVERIFY2(!model().errorMessage(), qPrintable(model().errorMessage().value_or(QString())));
        QCOMPARE(model().screen(), AppScreen::analysis);
        QCOMPARE(model().analysisQuestions().size(), count);
        QVERIFY(!model().noticeMessage());
    }

    void loadingFolders()
    {
        QVERIFY(QCoro::waitFor(completes(model().loadCollections())));
        QCOMPARE(env->lastBody(foldersPath).value(QStringLiteral("id")).toString(), QStringLiteral("102"));
        QVERIFY(!model().collectionMenus().isEmpty()); // the fake's folders of the bank
        QVERIFY(!model().isLoading());

        // Busy: nothing is asked.
        const quint64 busy = AppModelTestProbe::beginLoading(model());
        QVERIFY(QCoro::waitFor(completes(model().loadCollections())));
        QCOMPARE(env->service.sendCount(foldersPath), 1);
        AppModelTestProbe::endLoading(model(), busy);

        // An answer that arrives after the user went home keeps the old tree.
        const QList<CardMenu> before = model().collectionMenus();
        env->service.setData(foldersPath, QJsonArray{});
        env->service.holdReplies(foldersPath);
        auto late = completes(model().loadCollections());
        QTRY_COMPARE(env->service.heldReplyCount(foldersPath), 1);
        model().backToHome();
        env->service.releaseReplies(foldersPath);
        QVERIFY(QCoro::waitFor(std::move(late)));
        QCOMPARE(model().collectionMenus(), before);
    }

    void foldersOfAnotherBankNeverShow()
    {
        QVERIFY(QCoro::waitFor(completes(model().loadCollections())));
        QVERIFY(!model().collectionMenus().isEmpty());
        model().setSelectedExamBank(otherBank);
        (void)AppModelTestProbe::beginLoading(model()); // even a refused load drops them
        QVERIFY(QCoro::waitFor(completes(model().loadCollections())));
        QVERIFY(model().collectionMenus().isEmpty());
    }

    void expiredLoginOnToggleLogsOut()
    {
        env->service.failWithStatus(collectPath, 401);
        QVERIFY(toggle(questionValue(QStringLiteral("88"))));
        QCOMPARE(model().screen(), AppScreen::login);
        QCOMPARE(model().errorMessage().value_or(QString()), QStringLiteral("登录已失效，请重新登录"));
        QVERIFY(model().collectionRequests().isEmpty());
    }

    void collectingThroughTheFakeService()
    {
        const Question q = questionValue(QStringLiteral("q102-001"));
        QVERIFY(toggle(q));
        QVERIFY(env->service.collectedQuestionIds().contains(QStringLiteral("q102-001")));
        QVERIFY(toggle(q));
        QVERIFY(!env->service.collectedQuestionIds().contains(QStringLiteral("q102-001")));
    }
};

QTEST_GUILESS_MAIN(TestPracticeCollections)
#include "tst_practice_collections.moc"
