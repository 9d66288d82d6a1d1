// The practice-history screen's controller on the real model: start-up and
// tab loads, the selection and its select-all rule, deletion, paging, retry
// and the footer.

#include "PracticeHistoryController.h"
#include "ResultsTestSupport.h"

using namespace PracticeTest;
using namespace ResultsTest;

namespace {

QJsonObject row(const QString &id, int status, qint64 beginTime, int right = 0, int wrong = 0, int unanswered = 0)
{
    return QJsonObject{{QStringLiteral("id"), id},
                       {QStringLiteral("examId"), QStringLiteral("exam-") + id},
                       {QStringLiteral("examName"), QStringLiteral("练习 ") + id},
                       {QStringLiteral("examStatus"), status},
                       {QStringLiteral("rightNum"), right},
                       {QStringLiteral("wrongNum"), wrong},
                       {QStringLiteral("unAnswerNum"), unanswered},
                       {QStringLiteral("beginTime"), QString::number(beginTime)}};
}

QJsonArray rows(const QStringList &ids, int status = 1)
{
    QJsonArray list;
    qint64 time = 1'700'000'000'000;
    for (const QString &id : ids)
        list.append(row(id, status, time--));
    return list;
}

QSet<QString> setOf(const QStringList &ids)
{
    return QSet<QString>(ids.cbegin(), ids.cend());
}

} // namespace

class TestHistoryScreen : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<Environment> env;
    std::unique_ptr<PracticeHistoryController> controller;

    AppModel &model() { return *env->model; }
    PracticeHistoryStore &store() { return *model().practiceHistory(); }
    int listRequests() const { return env->service.sendCount(listPath); }

    // Serves one list request, after those queued before.
    void queuePage(const QJsonArray &page)
    {
        FakeScenario scenario;
        scenario.rawBody = QJsonDocument(QJsonObject{{QStringLiteral("success"), true}, {QStringLiteral("data"), page}})
                               .toJson(QJsonDocument::Compact);
        scenario.times = 1;
        env->service.addScenario(listPath, scenario);
    }

    void settle()
    {
        QTRY_VERIFY(!store().isLoading() && !model().isLoading());
    }

    // The history screen entered with the controller built, its first page loaded.
    void enterWith(const QJsonArray &firstPage)
    {
        controller = std::make_unique<PracticeHistoryController>();
        controller->setModel(env->model.get());
        env->service.setData(listPath, firstPage);
        model().showPracticeHistory();
        settle();
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

    void startUpLoads_data()
    {
        QTest::addColumn<bool>("builtOnTheScreen");
        QTest::newRow("built while history shows") << true;
        QTest::newRow("built before, then entered") << false;
    }

    void startUpLoads()
    {
        QFETCH(bool, builtOnTheScreen);
        env->service.setData(listPath, rows({QStringLiteral("a")}));
        if (builtOnTheScreen)
            model().showPracticeHistory();
        controller = std::make_unique<PracticeHistoryController>();
        controller->setModel(env->model.get());
        if (!builtOnTheScreen)
            model().showPracticeHistory();
        settle();
        QCOMPARE(listRequests(), 1);
        QCOMPARE(env->lastBody(listPath).value(QStringLiteral("current")).toInteger(), 1);
        QCOMPARE(store().page(PracticeHistoryTab::practice).records.size(), 1);

        // The model announces the same screen again: no second load.
        model().setScreen(AppScreen::history);
        settle();
        QCOMPARE(listRequests(), 1);
    }

    void leavingEndsEditModeAndReentryReloads()
    {
        enterWith(rows({QStringLiteral("a"), QStringLiteral("b")}));
        controller->toggleEditing();
        controller->rowClicked(QStringLiteral("a"));
        controller->requestDelete();
        QVERIFY(controller->showingDeleteConfirmation());

        model().backToHome();
        QVERIFY(!controller->editing());
        QVERIFY(!controller->showingDeleteConfirmation());
        QCOMPARE(controller->selectedCount(), 0);

        model().showPracticeHistory();
        settle();
        QCOMPARE(listRequests(), 2);
        QCOMPARE(controller->subtitle(), QStringLiteral("未完成可继续答题，已完成可查看报告"));
    }

    void tabChange()
    {
        enterWith(rows({QStringLiteral("a")}));
        controller->toggleEditing();
        controller->rowClicked(QStringLiteral("a"));
        controller->toggleEditing(); // back to browsing; the selection went with it
        controller->toggleEditing();
        controller->rowClicked(QStringLiteral("a"));
        QCOMPARE(controller->selectedCount(), 1);

        // The same tab written again changes nothing.
        store().setSelectedTab(PracticeHistoryTab::practice);
        settle();
        QCOMPARE(controller->selectedCount(), 1);
        QCOMPARE(listRequests(), 1);

        // The tab buttons are off while editing; a new scope still resets the tab.
        controller->selectTab(int(PracticeHistoryTab::paper));
        QCOMPARE(store().selectedTab(), PracticeHistoryTab::practice);
        store().setSelectedTab(PracticeHistoryTab::paper);
        settle();
        QCOMPARE(controller->selectedCount(), 0);
        QVERIFY(controller->editing());
        QCOMPARE(listRequests(), 2);
        QCOMPARE(env->lastBody(listPath).value(QStringLiteral("examType")).toInteger(), 2);
        QVERIFY(controller->paperTab()->selected());
        QVERIFY(!controller->practiceTab()->selected());

        // Back to a tab loaded before: loaded again from page 1.
        controller->toggleEditing();
        controller->selectTab(int(PracticeHistoryTab::practice));
        settle();
        QCOMPARE(listRequests(), 3);
        QCOMPARE(env->lastBody(listPath).value(QStringLiteral("current")).toInteger(), 1);
    }

    void selectAll_data()
    {
        QTest::addColumn<QStringList>("loaded");
        QTest::addColumn<QStringList>("before");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("after");
        const QStringList abc{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        QTest::newRow("nothing selected") << abc << QStringList{} << QStringLiteral("全选已加载记录") << abc;
        QTest::newRow("all selected") << abc << abc << QStringLiteral("取消全选") << QStringList{};
        QTest::newRow("as many ids, not the same") << abc << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("x")}
                                                   << QStringLiteral("全选已加载记录") << abc;
        QTest::newRow("some") << abc << QStringList{QStringLiteral("b")} << QStringLiteral("全选已加载记录") << abc;
        QTest::newRow("all and a gone one") << abc << QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"), QStringLiteral("x")}
                                            << QStringLiteral("全选已加载记录") << abc;
        QTest::newRow("no records") << QStringList{} << QStringList{} << QStringLiteral("全选已加载记录") << QStringList{};
    }

    void selectAll()
    {
        QFETCH(QStringList, loaded);
        QFETCH(QStringList, before);
        QFETCH(QString, title);
        QFETCH(QStringList, after);
        enterWith(rows(loaded));
        controller->toggleEditing();
        for (const QString &id : before)
            controller->rowClicked(id);
        QCOMPARE(controller->selectedIDs(), setOf(before));
        QCOMPARE(controller->selectAllTitle(), title);
        QCOMPARE(controller->selectedCountText(), QStringLiteral("已选择 %1 项").arg(before.size()));

        controller->selectAll();
        QCOMPARE(controller->selectedIDs(), setOf(after));
        QCOMPARE(controller->deleteEnabled(), !after.isEmpty());
    }

    void rowClicks()
    {
        enterWith(rows({QStringLiteral("a"), QStringLiteral("b")}));
        controller->toggleEditing();
        controller->rowClicked(QStringLiteral("a"));
        QVERIFY(controller->isSelected(QStringLiteral("a")));
        controller->rowClicked(QStringLiteral("a"));
        QVERIFY(!controller->isSelected(QStringLiteral("a")));
        QCOMPARE(env->service.sendCount(reportPath), 0); // never opens in edit mode

        controller->toggleEditing();
        answerWith(env->service, reportPath, reportJson(QJsonArray{question(QStringLiteral("q"), 1, QStringLiteral("A"))}));
        controller->rowClicked(QStringLiteral("b"));
        settle();
        QCOMPARE(env->service.sendCount(reportPath), 1);
        QCOMPARE(model().screen(), AppScreen::questions); // unfinished: resumed
    }

    void whileTheModelLoads()
    {
        enterWith(rows({QStringLiteral("a")}));
        controller->toggleEditing();
        controller->rowClicked(QStringLiteral("a"));
        const quint64 busy = AppModelTestProbe::beginLoading(model());
        QVERIFY(!controller->rowsEnabled());
        QVERIFY(!controller->deleteEnabled());
        QVERIFY(!controller->tabsEnabled());
        QVERIFY(!controller->backEnabled());
        QVERIFY(!controller->editEnabled());
        QVERIFY(!controller->retryEnabled());
        controller->requestDelete();
        QVERIFY(!controller->showingDeleteConfirmation());
        controller->selectAll(); // no condition of its own
        QCOMPARE(controller->selectedCount(), 0);
        AppModelTestProbe::endLoading(model(), busy);
        QVERIFY(controller->rowsEnabled());
    }

    void deletion_data()
    {
        QTest::addColumn<QString>("reply"); // "true", "false", "500"
        QTest::addColumn<bool>("deleted");
        QTest::newRow("confirmed") << QStringLiteral("true") << true;
        QTest::newRow("refused by the service") << QStringLiteral("false") << false;
        QTest::newRow("request fails") << QStringLiteral("500") << false;
    }

    void deletion()
    {
        QFETCH(QString, reply);
        QFETCH(bool, deleted);
        enterWith(rows({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        controller->toggleEditing();
        controller->rowClicked(QStringLiteral("c"));
        controller->rowClicked(QStringLiteral("a"));
        controller->requestDelete();
        QVERIFY(controller->showingDeleteConfirmation());
        QCOMPARE(controller->confirmationMessage(), QStringLiteral("将删除选中的 2 条记录，删除后无法恢复。"));
        if (reply == QLatin1String("500"))
            env->service.failWithStatus(deletePath, 500, 1);
        else
            answerWith(env->service, deletePath, reply == QLatin1String("true"), 1);
        env->service.setData(listPath, rows({QStringLiteral("b")}));

        QCOMPARE(QCoro::waitFor(controller->deleteSelection()), deleted);
        QVERIFY(!controller->showingDeleteConfirmation()); // closed before anything was sent
        QCOMPARE(env->lastBody(deletePath).value(QStringLiteral("ids")).toArray(),
                 (QJsonArray{QStringLiteral("a"), QStringLiteral("c")}));
        QCOMPARE(controller->editing(), !deleted);
        QCOMPARE(controller->selectedIDs(), deleted ? QSet<QString>{} : setOf({QStringLiteral("a"), QStringLiteral("c")}));
        // Success reloads the tab from page 1; a failure removes nothing.
        QCOMPARE(listRequests(), deleted ? 2 : 1);
        const QStringList expectedIds = deleted ? QStringList{QStringLiteral("b")}
                                                : QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")};
        QStringList ids;
        for (const auto &record : store().page(PracticeHistoryTab::practice).records)
            ids.append(record.id);
        QCOMPARE(ids, expectedIds);
        QCOMPARE(model().errorMessage().has_value(), !deleted);
    }

    void confirmationCountsTheWholeSelection()
    {
        enterWith(rows({QStringLiteral("a"), QStringLiteral("b")}));
        controller->toggleEditing();
        controller->rowClicked(QStringLiteral("a"));
        controller->rowClicked(QStringLiteral("gone")); // no longer among the loaded records
        QCOMPARE(controller->confirmationMessage(), QStringLiteral("将删除选中的 2 条记录，删除后无法恢复。"));
        controller->requestDelete();
        controller->cancelDelete();
        QVERIFY(!controller->showingDeleteConfirmation());
        QVERIFY(controller->editing());
        QCOMPARE(controller->selectedCount(), 2);
    }

    void footer()
    {
        controller = std::make_unique<PracticeHistoryController>();
        controller->setModel(env->model.get());
        HistoryTabState &tab = *controller->practiceTab();
        env->service.holdReplies(listPath);
        env->service.setData(listPath, QJsonArray{});
        model().showPracticeHistory();
        QTRY_COMPARE(env->service.heldReplyCount(listPath), 1);
        // The first page in flight: only the loading row.
        QCOMPARE(tab.footer(), HistoryTabState::Footer::Loading);
        QVERIFY(!tab.showsEmptyState());
        env->service.releaseReplies(listPath);
        settle();
        // An empty first page: the empty state and no footer.
        QVERIFY(tab.showsEmptyState());
        QCOMPARE(tab.emptyTitle(), QStringLiteral("暂无练习历史"));
        QCOMPARE(tab.footer(), HistoryTabState::Footer::None);

        env->service.setData(listPath, rows({QStringLiteral("a")}));
        controller->refresh();
        settle();
        QVERIFY(!tab.showsEmptyState());
        QCOMPARE(tab.footer(), HistoryTabState::Footer::LoadMore); // also after a short page
        controller->loadMore(int(PracticeHistoryTab::practice));
        settle();
        QCOMPARE(tab.footer(), HistoryTabState::Footer::End);

        env->service.failWithCode(listPath, QStringLiteral("500"), QStringLiteral("系统繁忙"), 1);
        controller->refresh();
        settle();
        QCOMPARE(tab.footer(), HistoryTabState::Footer::Error);
        QCOMPARE(tab.errorText(), QStringLiteral("加载失败：系统繁忙"));
        QVERIFY(!tab.showsEmptyState());
        QCOMPARE(store().page(PracticeHistoryTab::practice).records.size(), 1); // the rows stay
    }

    void retry_data()
    {
        QTest::addColumn<bool>("firstPageLoaded");
        QTest::addColumn<bool>("failedRefresh");
        QTest::addColumn<qint64>("retriedPage");
        QTest::newRow("first page failed") << false << true << qint64(1);
        QTest::newRow("refresh failed after rows") << true << true << qint64(1);
        QTest::newRow("next page failed") << true << false << qint64(2);
    }

    void retry()
    {
        QFETCH(bool, firstPageLoaded);
        QFETCH(bool, failedRefresh);
        QFETCH(qint64, retriedPage);
        if (!firstPageLoaded)
            env->service.failWithCode(listPath, QStringLiteral("500"), QStringLiteral("系统繁忙"), 1);
        enterWith(rows({QStringLiteral("a")}));
        if (firstPageLoaded) {
            env->service.failWithCode(listPath, QStringLiteral("500"), QStringLiteral("系统繁忙"), 1);
            if (failedRefresh)
                controller->refresh();
            else
                controller->loadMore(int(PracticeHistoryTab::practice));
            settle();
        }
        QCOMPARE(controller->practiceTab()->footer(), HistoryTabState::Footer::Error);
        controller->retry(int(PracticeHistoryTab::practice));
        settle();
        QCOMPARE(env->lastBody(listPath).value(QStringLiteral("current")).toInteger(), retriedPage);
        QVERIFY(controller->practiceTab()->errorText().isEmpty());
    }

    void footerComingIntoView_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::addColumn<bool>("loads");
        QTest::addColumn<int>("setUpLoads"); // what setting the situation up asks by itself
        QTest::newRow("visible tab") << QStringLiteral("visible") << true << 0;
        // Choosing the other tab refreshes it.
        QTest::newRow("hidden tab") << QStringLiteral("hidden") << false << 1;
        QTest::newRow("while editing") << QStringLiteral("editing") << false << 0;
        QTest::newRow("screen behind another") << QStringLiteral("away") << false << 0;
    }

    void footerComingIntoView()
    {
        QFETCH(QString, situation);
        QFETCH(bool, loads);
        QFETCH(int, setUpLoads);
        enterWith(rows({QStringLiteral("a")}));
        env->service.setData(listPath, rows({QStringLiteral("p1")}));
        controller->selectTab(int(PracticeHistoryTab::paper));
        settle();
        controller->selectTab(int(PracticeHistoryTab::practice));
        settle();
        const int before = listRequests();

        HistoryTabState *tab = controller->practiceTab();
        if (situation == QLatin1String("hidden")) {
            controller->selectTab(int(PracticeHistoryTab::paper));
            settle();
            tab = controller->practiceTab(); // the practice list, now hidden
        } else if (situation == QLatin1String("editing")) {
            controller->toggleEditing();
        } else if (situation == QLatin1String("away")) {
            model().setScreen(AppScreen::report);
        }
        const int reference = listRequests();
        QCOMPARE(reference - before, setUpLoads);
        QCOMPARE(tab->footer(), HistoryTabState::Footer::LoadMore);
        env->service.setData(listPath, rows({QStringLiteral("z")}));
        tab->setFooterInView(true);
        settle();
        // Page 2 brings a new record and the footer stays in view, so page 3
        // follows; it brings nothing new and the paging ends.
        QCOMPARE(listRequests() - reference, loads ? 2 : 0);
        if (loads) {
            QCOMPARE(env->lastBody(listPath).value(QStringLiteral("current")).toInteger(), 3);
            QCOMPARE(tab->footer(), HistoryTabState::Footer::End);
        } else {
            // The tab's paging waits where it was.
            QCOMPARE(store().page(PracticeHistoryTab::practice).nextPage, 2);
            QCOMPARE(tab->footer(), HistoryTabState::Footer::LoadMore);
        }
    }

    void footerInViewKeepsPagingUntilNothingNew()
    {
        // Short pages with the footer in view: page after page, until a page
        // brings no new record; a repeating service is not asked forever.
        enterWith(rows({QStringLiteral("a")}));
        queuePage(rows({QStringLiteral("b")}));
        queuePage(rows({QStringLiteral("c")}));
        env->service.setData(listPath, rows({QStringLiteral("c")})); // repeats its last page from now on
        controller->practiceTab()->setFooterInView(true);
        QTRY_COMPARE(controller->practiceTab()->footer(), HistoryTabState::Footer::End);
        QCOMPARE(listRequests(), 4);
        QCOMPARE(store().page(PracticeHistoryTab::practice).records.size(), 3);
    }

    void statusText_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<bool>("filedReport");
        QTest::addColumn<QString>("text");
        QTest::newRow("submitted, own figures") << 2 << false << QStringLiteral("共 6 题，答对 3 道");
        QTest::newRow("submitted, filed report wins") << 2 << true << QStringLiteral("共 10 题，答对 7 道");
        QTest::newRow("submitted in this run") << 1 << true << QStringLiteral("共 10 题，答对 7 道");
        QTest::newRow("unfinished") << 1 << false << QStringLiteral("未完成 · 继续答题");
        QTest::newRow("unknown status") << 0 << false << QStringLiteral("未完成 · 继续答题");
    }

    void statusText()
    {
        QFETCH(int, status);
        QFETCH(bool, filedReport);
        QFETCH(QString, text);
        enterWith(QJsonArray{row(QStringLiteral("r"), status, 5, 3, 2, 1)});
        if (filedReport)
            store().cacheCompletedReport(report(7, 2, 1), QStringLiteral("r"));
        QCOMPARE(controller->statusText(QStringLiteral("r")), text);
    }

    void titleFollowsTheBank()
    {
        enterWith(rows({}));
        QCOMPARE(controller->title(), QStringLiteral("练习历史 · 教师资格证·综合素质（中学）"));
        model().setSelectedExamBank(ExamBank{QStringLiteral("103"), QStringLiteral("初级会计"), 1});
        QCOMPARE(controller->title(), QStringLiteral("练习历史 · 初级会计"));
    }
};

QTEST_MAIN(TestHistoryScreen)
#include "tst_results_history.moc"
