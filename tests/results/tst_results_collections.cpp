// The collections screen's controller on the real model.

#include "CollectionsController.h"
#include "ResultsTestSupport.h"

using namespace PracticeTest;

class TestCollectionsScreen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    std::unique_ptr<CollectionsController> controller;

    AppModel &model() { return *env->model; }

    void settle() { QTRY_VERIFY(!model().isLoading()); }

    void build()
    {
        controller = std::make_unique<CollectionsController>();
        controller->setModel(env->model.get());
    }

private Q_SLOTS:
    void init()
    {
        env = std::make_unique<Environment>();
        env->makeModel();
    }

    void cleanup()
    {
        controller.reset();
        env.reset();
    }

    void loadsEachTimeTheScreenIsEntered()
    {
        model().setScreen(AppScreen::collections);
        build();
        settle();
        QCOMPARE(env->service.sendCount(foldersPath), 1);
        QVERIFY(!model().collectionMenus().isEmpty());
        QVERIFY(!controller->showsEmptyState());

        model().setScreen(AppScreen::collections); // announced again, not entered again
        settle();
        QCOMPARE(env->service.sendCount(foldersPath), 1);

        model().setScreen(AppScreen::home);
        model().setScreen(AppScreen::collections);
        settle();
        QCOMPARE(env->service.sendCount(foldersPath), 2);
    }

    void emptyStateOnlyOnceLoaded()
    {
        env->service.setData(foldersPath, QJsonArray{});
        env->service.holdReplies(foldersPath);
        model().setScreen(AppScreen::collections);
        build();
        QTRY_COMPARE(env->service.heldReplyCount(foldersPath), 1);
        QVERIFY(model().isLoading());
        QVERIFY(!controller->showsEmptyState()); // nothing while the load runs
        QVERIFY(!controller->actionsEnabled());
        env->service.releaseReplies(foldersPath);
        settle();
        QVERIFY(controller->showsEmptyState());
        QVERIFY(controller->actionsEnabled());
    }

    void refreshAndOpen()
    {
        env->service.setData(foldersPath,
                             QJsonArray{QJsonObject{{QStringLiteral("id"), QStringLiteral("f1")},
                                                    {QStringLiteral("name"), QStringLiteral("言语")},
                                                    {QStringLiteral("cnt"), 0},
                                                    {QStringLiteral("children"),
                                                     QJsonArray{QJsonObject{{QStringLiteral("id"), QStringLiteral("f2")},
                                                                            {QStringLiteral("name"), QStringLiteral("片段阅读")},
                                                                            {QStringLiteral("cnt"), 3}}}}}});
        model().setScreen(AppScreen::collections);
        build();
        settle();
        QCOMPARE(controller->title(), QStringLiteral("我的收藏 · 教师资格证·综合素质（中学）"));

        controller->refresh();
        settle();
        QCOMPARE(env->service.sendCount(foldersPath), 2);

        // A parent folder opens its own questions, even with a count of 0.
        env->service.setData(folderPath, questionSet(QJsonArray{question(QStringLiteral("c1"), 1, QStringLiteral("A"))}));
        controller->open(0);
        settle();
        QCOMPARE(env->lastBody(folderPath).value(QStringLiteral("menuId")).toString(), QStringLiteral("f1"));
        QCOMPARE(model().screen(), AppScreen::analysis);
        QVERIFY(model().analysisFromCollections());

        controller->back();
        QCOMPARE(model().screen(), AppScreen::home);
    }

    void folderRowsFollowTheTree()
    {
        CardMenu leaf;
        leaf.menuId = QStringLiteral("c");
        leaf.name = QStringLiteral("第三层");
        CardMenu middle;
        middle.menuId = QStringLiteral("b");
        middle.children = {leaf};
        CardMenu top;
        top.menuId = QStringLiteral("a");
        top.children = {middle};
        CardMenu single;
        single.menuId = QStringLiteral("d");
        single.count = 0;

        build();
        QAbstractItemModelTester tester(controller->folders());
        model().setCollectionMenus({top, single});
        const CollectionFolderListModel &rows = *controller->folders();
        using ResultsTest::column;
        QCOMPARE(column(rows, "menuId"),
                 (QVariantList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("d")}));
        // The third level indents two steps, inside the first card.
        QCOMPARE(column(rows, "depth"), (QVariantList{0, 1, 2, 0}));
        QCOMPARE(column(rows, "opensCard"), (QVariantList{true, false, false, true}));
        QCOMPARE(column(rows, "closesCard"), (QVariantList{false, false, true, true}));
        QCOMPARE(column(rows, "count").last(), QVariant(qint64(0)));

        model().setCollectionMenus({});
        QCOMPARE(rows.rowCount(), 0);
    }

    void busyModelRefusesRefreshAndOpen()
    {
        model().setScreen(AppScreen::collections);
        build();
        settle();
        const quint64 busy = AppModelTestProbe::beginLoading(model());
        controller->refresh();
        controller->open(0);
        QCOMPARE(env->service.sendCount(foldersPath), 1);
        QCOMPARE(env->service.sendCount(folderPath), 0);
        controller->back(); // always enabled
        QCOMPARE(model().screen(), AppScreen::home);
        AppModelTestProbe::endLoading(model(), busy);
    }
};

QTEST_MAIN(TestCollectionsScreen)
#include "tst_results_collections.moc"
