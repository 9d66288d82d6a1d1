// The practice-history store against the fake service over loopback: which
// page it asks for, how pages merge and sort, and how late replies of an older
// generation are dropped.

#include "FakeService.h"
#include "TaskTestSupport.h"

#include "app/PracticeHistoryStore.h"
#include "networking/APIClient.h"
#include "networking/APIError.h"
#include "platform/UserDefaults.h"

#include <QCoro/QCoroTask>
#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString listPath = QStringLiteral("/userExam/getUserExamLogList");

QJsonObject row(const QString &id, const QString &beginTime, int status = 1, const QString &name = QString())
{
    QJsonObject object{{QStringLiteral("id"), id},
                       {QStringLiteral("examStatus"), status},
                       {QStringLiteral("beginTime"), beginTime}};
    if (!name.isEmpty())
        object.insert(QStringLiteral("examName"), name);
    return object;
}

QStringList idsOf(const QList<PracticeHistoryRecord> &records)
{
    QStringList ids;
    for (const PracticeHistoryRecord &record : records)
        ids.append(record.id);
    return ids;
}

PracticeHistoryRecord record(const QString &id, const QString &beginTime, qint64 status = 1)
{
    PracticeHistoryRecord r;
    r.id = id;
    r.beginTime = beginTime;
    r.examStatus = status;
    return r;
}

HistoryReport reportTitled(const QString &title)
{
    HistoryReport report;
    report.title = title;
    return report;
}

} // namespace

class TestPracticeHistoryStore : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<FakeService> m_fake;
    std::unique_ptr<APIClient> m_client;
    std::unique_ptr<PracticeHistoryStore> m_store;
    QString m_token;

    PracticeHistoryStore::Scope scope(const QString &bank = QStringLiteral("101")) const
    {
        return PracticeHistoryStore::Scope{APIEnvironment::test, m_token, bank};
    }

    void serve(const QJsonArray &rows) { m_fake->setData(listPath, rows); }

    // Runs one load to its end; false when it threw.
    bool load(PracticeHistoryTab tab, bool refresh = false, bool nextPage = false)
    {
        return QCoro::waitFor(completes(m_store->load(tab, refresh, nextPage)));
    }

    QJsonObject lastBody() const
    {
        const auto request = m_fake->lastRequest(listPath);
        return request ? request->json.toObject() : QJsonObject();
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        m_defaults = std::make_unique<UserDefaults>(m_dir.filePath(QStringLiteral("defaults.json")));
        UserDefaults::setStandard(m_defaults.get());
        m_fake = std::make_unique<FakeService>();
        QVERIFY(m_fake->start());
    }

    void cleanupTestCase()
    {
        m_store.reset();
        m_client.reset();
        m_fake.reset();
        UserDefaults::setStandard(nullptr);
    }

    void init()
    {
        m_fake->reset();
        m_token = m_fake->issueToken();
        m_client = std::make_unique<APIClient>(m_fake->baseUrl().toString());
        m_store = std::make_unique<PracticeHistoryStore>(m_client.get(), nullptr);
    }

    void cleanup()
    {
        m_store.reset();
        m_client.reset();
    }

    void loadWithoutScopeDoesNothing()
    {
        QVERIFY(load(PracticeHistoryTab::practice, true));
        QCOMPARE(m_fake->sendCount(listPath), 0);
        QVERIFY(m_store->pages().isEmpty());
    }

    void whichPageIsAskedFor_data()
    {
        QTest::addColumn<bool>("loadedBefore");
        QTest::addColumn<bool>("hasMoreBefore");
        QTest::addColumn<bool>("refresh");
        QTest::addColumn<bool>("nextPage");
        QTest::addColumn<int>("expectedPage"); // 0: no request

        QTest::newRow("plain, never loaded") << false << true << false << false << 1;
        QTest::newRow("plain, loaded") << true << true << false << false << 0;
        QTest::newRow("next, never loaded") << false << true << false << true << 1;
        QTest::newRow("next, loaded with more") << true << true << false << true << 2;
        QTest::newRow("next, no more") << true << false << false << true << 0;
        QTest::newRow("refresh, loaded") << true << true << true << false << 1;
        QTest::newRow("refresh wins over next") << true << false << true << true << 1;
    }

    void whichPageIsAskedFor()
    {
        QFETCH(bool, loadedBefore);
        QFETCH(bool, hasMoreBefore);
        QFETCH(bool, refresh);
        QFETCH(bool, nextPage);
        QFETCH(int, expectedPage);

        m_store->configure(scope());
        if (loadedBefore) {
            serve(hasMoreBefore ? QJsonArray{row(QStringLiteral("a"), QStringLiteral("5"))} : QJsonArray{});
            QVERIFY(load(PracticeHistoryTab::practice));
        }
        const int sentBefore = m_fake->sendCount(listPath);
        serve(QJsonArray{row(QStringLiteral("b"), QStringLiteral("4"))});
        QVERIFY(load(PracticeHistoryTab::practice, refresh, nextPage));

        if (expectedPage == 0) {
            QCOMPARE(m_fake->sendCount(listPath), sentBefore);
            return;
        }
        QCOMPARE(m_fake->sendCount(listPath), sentBefore + 1);
        QCOMPARE(lastBody().value(QStringLiteral("current")).toInteger(), expectedPage);
        QCOMPARE(m_store->page(PracticeHistoryTab::practice).nextPage, expectedPage + 1);
    }

    void requestCarriesScope_data()
    {
        QTest::addColumn<PracticeHistoryTab>("tab");
        QTest::addColumn<int>("examType");
        QTest::newRow("practice") << PracticeHistoryTab::practice << 1;
        QTest::newRow("paper") << PracticeHistoryTab::paper << 2;
    }

    void requestCarriesScope()
    {
        QFETCH(PracticeHistoryTab, tab);
        QFETCH(int, examType);
        m_store->configure(scope(QStringLiteral("102")));
        serve(QJsonArray{});
        QVERIFY(load(tab, true));

        const auto request = m_fake->lastRequest(listPath);
        QVERIFY(request);
        const QJsonObject body = request->json.toObject();
        QCOMPARE(body.value(QStringLiteral("examBankId")).toString(), QStringLiteral("102"));
        QCOMPARE(body.value(QStringLiteral("pageSize")).toInteger(), 10);
        QCOMPARE(body.value(QStringLiteral("examType")).toInteger(), examType);
        QCOMPARE(request->header("X-ExamBankId"), QByteArray("102"));
        QCOMPARE(request->header("X-EM-Token"), m_token.toUtf8());
    }

    void pagingFlags()
    {
        m_store->configure(scope());
        // A short page still leaves more to ask for.
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("3")), row(QStringLiteral("b"), QStringLiteral("2"))});
        QVERIFY(load(PracticeHistoryTab::practice));
        auto page = m_store->page(PracticeHistoryTab::practice);
        QVERIFY(page.hasMore);
        QVERIFY(page.hasLoaded);
        QCOMPARE(page.nextPage, 2);

        // An empty page ends the list but still advances the page number.
        serve(QJsonArray{});
        QVERIFY(load(PracticeHistoryTab::practice, false, true));
        page = m_store->page(PracticeHistoryTab::practice);
        QVERIFY(!page.hasMore);
        QCOMPARE(page.nextPage, 3);
        QCOMPARE(idsOf(page.records), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

        // A refresh replaces the list with page 1 alone; an empty refresh empties it.
        serve(QJsonArray{row(QStringLiteral("c"), QStringLiteral("9"))});
        QVERIFY(load(PracticeHistoryTab::practice, true));
        page = m_store->page(PracticeHistoryTab::practice);
        QCOMPARE(idsOf(page.records), QStringList{QStringLiteral("c")});
        QCOMPARE(page.nextPage, 2);
        QVERIFY(page.hasMore);

        serve(QJsonArray{});
        QVERIFY(load(PracticeHistoryTab::practice, true));
        QVERIFY(m_store->page(PracticeHistoryTab::practice).records.isEmpty());
        QVERIFY(!m_store->isLoading());
    }

    void repeatedLastPageEndsPaging()
    {
        // A service that answers every page past the end with its last page.
        m_store->configure(scope());
        const QJsonArray last{row(QStringLiteral("a"), QStringLiteral("3")), row(QStringLiteral("b"), QStringLiteral("2"))};
        serve(last);
        QVERIFY(load(PracticeHistoryTab::practice));
        QVERIFY(m_store->page(PracticeHistoryTab::practice).hasMore);

        serve(last);
        QVERIFY(load(PracticeHistoryTab::practice, false, true));
        auto page = m_store->page(PracticeHistoryTab::practice);
        QVERIFY(!page.hasMore);
        QCOMPARE(idsOf(page.records), (QStringList{QStringLiteral("a"), QStringLiteral("b")}));

        // No further request once the end is known.
        QVERIFY(load(PracticeHistoryTab::practice, false, true));
        QCOMPARE(m_fake->sendCount(listPath), 2);

        // One new id among repeated ones keeps the paging going.
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("3"))});
        QVERIFY(load(PracticeHistoryTab::practice, true));
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("3")), row(QStringLiteral("c"), QStringLiteral("1"))});
        QVERIFY(load(PracticeHistoryTab::practice, false, true));
        QVERIFY(m_store->page(PracticeHistoryTab::practice).hasMore);
    }

    void failedPageIsRecorded()
    {
        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("3"))});
        QVERIFY(load(PracticeHistoryTab::practice));

        m_fake->failWithCode(listPath, QStringLiteral("500"), QStringLiteral("系统繁忙"), 1);
        QVERIFY(!load(PracticeHistoryTab::practice, false, true));
        QCOMPARE(m_store->page(PracticeHistoryTab::practice).loadErrorPage, 2);

        m_fake->failWithCode(listPath, QStringLiteral("500"), QStringLiteral("系统繁忙"), 1);
        QVERIFY(!load(PracticeHistoryTab::practice, true));
        auto page = m_store->page(PracticeHistoryTab::practice);
        QCOMPARE(page.loadErrorPage, 1);
        QCOMPARE(idsOf(page.records), QStringList{QStringLiteral("a")}); // the rows stay

        serve(QJsonArray{row(QStringLiteral("b"), QStringLiteral("4"))});
        QVERIFY(load(PracticeHistoryTab::practice, true));
        page = m_store->page(PracticeHistoryTab::practice);
        QCOMPARE(page.loadErrorPage, 0);
        QVERIFY(!page.loadError);
    }

    void mergeKeepsOneRecordPerId()
    {
        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("300")), row(QStringLiteral("b"), QStringLiteral("200"), 1, QStringLiteral("旧"))});
        QVERIFY(load(PracticeHistoryTab::practice));
        // "b" comes again, renamed and completed; "c" is new; "c" twice in one reply.
        serve(QJsonArray{row(QStringLiteral("b"), QStringLiteral("200"), 2, QStringLiteral("新")),
                         row(QStringLiteral("c"), QStringLiteral("100")),
                         row(QStringLiteral("c"), QStringLiteral("100"), 2)});
        QVERIFY(load(PracticeHistoryTab::practice, false, true));

        const auto records = m_store->page(PracticeHistoryTab::practice).records;
        QCOMPARE(idsOf(records), (QStringList{QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")}));
        QCOMPARE(records.at(1).examName, QStringLiteral("新"));
        QCOMPARE(records.at(1).examStatus, 2);
        QCOMPARE(records.at(2).examStatus, 2);
    }

    void sortNewestFirst_data()
    {
        QTest::addColumn<QStringList>("beginTimes"); // ids are the positions "0", "1", …
        QTest::addColumn<QStringList>("expectedOrder");

        QTest::newRow("numeric, not textual") << QStringList{QStringLiteral("999"), QStringLiteral("1000")}
                                              << QStringList{QStringLiteral("1"), QStringLiteral("0")};
        QTest::newRow("equal times keep their order")
            << QStringList{QStringLiteral("5"), QStringLiteral("7"), QStringLiteral("5"), QStringLiteral("5")}
            << QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("3")};
        QTest::newRow("unreadable counts as 0")
            << QStringList{QString(), QStringLiteral("12"), QStringLiteral(" 50"), QStringLiteral("x"), QStringLiteral("-3")}
            << QStringList{QStringLiteral("1"), QStringLiteral("0"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4")};
        QTest::newRow("exponent form and nan")
            << QStringList{QStringLiteral("nan"), QStringLiteral("1.7e12"), QStringLiteral("inf"), QStringLiteral("1699999999999")}
            << QStringList{QStringLiteral("2"), QStringLiteral("1"), QStringLiteral("3"), QStringLiteral("0")};
    }

    void sortNewestFirst()
    {
        QFETCH(QStringList, beginTimes);
        QFETCH(QStringList, expectedOrder);
        QList<PracticeHistoryRecord> records;
        for (qsizetype i = 0; i < beginTimes.size(); ++i)
            records.append(record(QString::number(i), beginTimes.at(i)));
        PracticeHistoryStore::sortNewestFirst(records);
        QCOMPARE(idsOf(records), expectedOrder);
    }

    void secondLoadWhileInFlightIsIgnored()
    {
        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("1"))});
        m_fake->holdReplies(listPath);
        auto first = m_store->load(PracticeHistoryTab::practice, true, false);
        QVERIFY(m_store->isLoading());
        QVERIFY(m_store->isTabLoading(1));
        QTRY_COMPARE(m_fake->heldReplyCount(listPath), 1);

        QVERIFY(load(PracticeHistoryTab::practice, true)); // not queued, returns at once
        QCOMPARE(m_fake->sendCount(listPath), 1);

        m_fake->releaseReplies(listPath);
        QVERIFY(QCoro::waitFor(completes(std::move(first))));
        QVERIFY(!m_store->isLoading());
        QCOMPARE(idsOf(m_store->page(PracticeHistoryTab::practice).records), QStringList{QStringLiteral("a")});
    }

    void invalidateDropsTheLateReply()
    {
        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("old"), QStringLiteral("1"))});
        m_fake->holdReplies(listPath);
        QSignalSpy loading(m_store.get(), &PracticeHistoryStore::isLoadingChanged);
        auto stale = m_store->load(PracticeHistoryTab::practice, true, false);
        QTRY_COMPARE(m_fake->heldReplyCount(listPath), 1);

        m_store->invalidate();
        QVERIFY(!m_store->isLoading());
        QCOMPARE(loading.count(), 2);

        // A new load of the same tab starts at once and is the one that counts.
        serve(QJsonArray{row(QStringLiteral("new"), QStringLiteral("2"))});
        m_fake->releaseReplies(listPath);
        m_fake->holdReplies(listPath);
        auto fresh = m_store->load(PracticeHistoryTab::practice, true, false);
        QVERIFY(m_store->isLoading());
        QVERIFY(QCoro::waitFor(completes(std::move(stale)))); // no error reaches the caller
        QVERIFY(m_store->page(PracticeHistoryTab::practice).records.isEmpty());
        QVERIFY(m_store->isLoading()); // the stale end did not clear the new request

        m_fake->releaseReplies(listPath);
        QVERIFY(QCoro::waitFor(completes(std::move(fresh))));
        QCOMPARE(idsOf(m_store->page(PracticeHistoryTab::practice).records), QStringList{QStringLiteral("new")});
    }

    void staleFailureIsSwallowed()
    {
        m_store->configure(scope());
        m_fake->failWithStatus(listPath, 500);
        m_fake->holdReplies(listPath);
        auto stale = m_store->load(PracticeHistoryTab::paper, false, false);
        QTRY_COMPARE(m_fake->heldReplyCount(listPath), 1);
        m_store->configure(scope(QStringLiteral("102"))); // another bank: reset
        m_fake->releaseReplies(listPath);
        QVERIFY(QCoro::waitFor(completes(std::move(stale)))); // must not throw
        QVERIFY(m_store->pages().isEmpty());
    }

    void configure_data()
    {
        QTest::addColumn<bool>("sameScope");
        QTest::addColumn<QString>("bank");
        QTest::addColumn<bool>("dropToken");
        QTest::newRow("equal scope") << true << QStringLiteral("101") << false;
        QTest::newRow("another bank") << false << QStringLiteral("102") << false;
        QTest::newRow("no token") << false << QStringLiteral("101") << true;
    }

    void configure()
    {
        QFETCH(bool, sameScope);
        QFETCH(QString, bank);
        QFETCH(bool, dropToken);

        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("1"))});
        QVERIFY(load(PracticeHistoryTab::practice));
        m_store->cacheCompletedReport(reportTitled(QStringLiteral("r")), QStringLiteral("a"));
        m_store->setSelectedTab(PracticeHistoryTab::paper);
        m_fake->holdReplies(listPath);
        auto inFlight = m_store->load(PracticeHistoryTab::paper, false, false);
        const QUuid generation = m_store->generation();

        auto next = scope(bank);
        if (dropToken)
            next.token.reset();
        m_store->configure(next);

        QCOMPARE(m_store->page(PracticeHistoryTab::practice).records.size(), sameScope ? 1 : 0);
        QCOMPARE(m_store->completedReports().size(), sameScope ? 1 : 0);
        QCOMPARE(m_store->isLoading(), sameScope);
        QCOMPARE(m_store->generation() == generation, sameScope);
        QCOMPARE(m_store->selectedTab(), sameScope ? PracticeHistoryTab::paper : PracticeHistoryTab::practice);
        QVERIFY(m_store->scope());
        QCOMPARE(*m_store->scope(), next);

        m_fake->releaseReplies(listPath);
        QVERIFY(QCoro::waitFor(completes(std::move(inFlight))));
        QCOMPARE(m_store->page(PracticeHistoryTab::paper).hasLoaded, sameScope);
    }

    void scopeEquality()
    {
        const PracticeHistoryStore::Scope base{APIEnvironment::production, QStringLiteral("t"), QStringLiteral("1")};
        auto emptyToken = base;
        emptyToken.token = QString();
        auto noToken = base;
        noToken.token.reset();
        auto otherEnvironment = base;
        otherEnvironment.environment = APIEnvironment::test;
        QVERIFY(base == PracticeHistoryStore::Scope(base));
        QVERIFY(!(emptyToken == noToken));
        QVERIFY(!(base == otherEnvironment));
    }

    void failures_data()
    {
        QTest::addColumn<QString>("fault");
        QTest::addColumn<QString>("loadError"); // empty: none recorded
        QTest::newRow("server error") << QStringLiteral("server") << QStringLiteral("服务器错误（HTTP 500）");
        QTest::newRow("cancelled transfer") << QStringLiteral("cancel") << QString();
        // Cut off by the client, not by anyone's cancellation: a failure.
        QTest::newRow("reply over the size cap")
            << QStringLiteral("oversized") << QStringLiteral("服务器返回的数据过大（超过 32 MB），已停止接收");
    }

    void failures()
    {
        QFETCH(QString, fault);
        QFETCH(QString, loadError);
        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("1"))});
        QVERIFY(load(PracticeHistoryTab::practice));

        bool threw = false;
        if (fault == QLatin1String("cancel")) {
            // Destroying the client aborts its transfers as cancelled.
            m_fake->holdReplies(listPath);
            auto task = m_store->load(PracticeHistoryTab::practice, true, false);
            QTRY_COMPARE(m_fake->heldReplyCount(listPath), 1);
            m_client.reset();
            threw = !QCoro::waitFor(completes(std::move(task)));
            m_fake->releaseReplies(listPath);
        } else if (fault == QLatin1String("oversized")) {
            FakeScenario huge;
            huge.rawBody = QByteArray(APIClient::maxReplyBytes + 1, 'x');
            huge.times = 1;
            m_fake->setScenario(listPath, huge);
            threw = !load(PracticeHistoryTab::practice, true);
        } else {
            m_fake->failWithStatus(listPath, 500, 1);
            threw = !load(PracticeHistoryTab::practice, true);
        }
        QVERIFY(threw);
        const auto page = m_store->page(PracticeHistoryTab::practice);
        QCOMPARE(page.loadError, loadError.isEmpty() ? std::optional<QString>() : std::optional<QString>(loadError));
        QCOMPARE(idsOf(page.records), QStringList{QStringLiteral("a")}); // the list and paging stay
        QCOMPARE(page.nextPage, 2);
        QVERIFY(!page.requestID);

        if (!loadError.isEmpty()) {
            // The next load clears the error when it starts and on success.
            serve(QJsonArray{row(QStringLiteral("b"), QStringLiteral("2"))});
            QVERIFY(load(PracticeHistoryTab::practice, true));
            QVERIFY(!m_store->page(PracticeHistoryTab::practice).loadError);
        }
    }

    void firstLoadFailureIsRetriedByPlainLoad()
    {
        m_store->configure(scope());
        m_fake->failWithCode(listPath, QStringLiteral("500"), QStringLiteral("系统繁忙"), 1);
        QVERIFY(!load(PracticeHistoryTab::practice));
        QCOMPARE(m_store->loadError(1), QStringLiteral("系统繁忙"));
        serve(QJsonArray{});
        QVERIFY(load(PracticeHistoryTab::practice));
        QCOMPARE(m_fake->sendCount(listPath), 2);
        QVERIFY(m_store->hasLoaded(1));
    }

    void removeAcrossTabs()
    {
        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("3")), row(QStringLiteral("b"), QStringLiteral("2")),
                         row(QStringLiteral("c"), QStringLiteral("1"))});
        QVERIFY(load(PracticeHistoryTab::practice));
        serve(QJsonArray{row(QStringLiteral("b"), QStringLiteral("2")), row(QStringLiteral("d"), QStringLiteral("1"))});
        QVERIFY(load(PracticeHistoryTab::paper));
        m_store->cacheCompletedReport(reportTitled(QStringLiteral("b")), QStringLiteral("b"));
        m_store->cacheCompletedReport(reportTitled(QStringLiteral("c")), QStringLiteral("c"));

        m_store->remove({QStringLiteral("b"), QStringLiteral("zz")});

        QCOMPARE(idsOf(m_store->page(PracticeHistoryTab::practice).records), (QStringList{QStringLiteral("a"), QStringLiteral("c")}));
        QCOMPARE(idsOf(m_store->page(PracticeHistoryTab::paper).records), QStringList{QStringLiteral("d")});
        QCOMPARE(m_store->completedReports().keys(), QList<QString>{QStringLiteral("c")});
        QCOMPARE(m_store->page(PracticeHistoryTab::practice).nextPage, 2);
        QVERIFY(m_store->page(PracticeHistoryTab::paper).hasMore);
    }

    void completedByStatusOrFiledReport()
    {
        m_store->configure(scope());
        QVERIFY(m_store->isCompleted(record(QStringLiteral("x"), QString(), 2)));
        const auto unfinished = record(QStringLiteral("y"), QString(), 1);
        QVERIFY(!m_store->isCompleted(unfinished));

        m_store->cacheCompletedReport(reportTitled(QStringLiteral("交卷")), QStringLiteral("y"));
        QVERIFY(m_store->isCompleted(unfinished));
        QCOMPARE(m_store->completedReport(unfinished)->title, QStringLiteral("交卷"));

        // Once the service lists it as completed, the filed report is dropped.
        serve(QJsonArray{row(QStringLiteral("y"), QStringLiteral("1"), 2)});
        QVERIFY(load(PracticeHistoryTab::practice));
        QVERIFY(!m_store->completedReport(unfinished));
        QVERIFY(m_store->isCompleted(m_store->page(PracticeHistoryTab::practice).records.first()));
    }

    void invalidateAndReset()
    {
        m_store->configure(scope());
        serve(QJsonArray{row(QStringLiteral("a"), QStringLiteral("1"))});
        QVERIFY(load(PracticeHistoryTab::paper));
        m_store->setSelectedTab(PracticeHistoryTab::paper);
        m_store->cacheCompletedReport(reportTitled(QStringLiteral("r")), QStringLiteral("a"));

        m_store->invalidate();
        QVERIFY(m_store->pages().isEmpty());
        // A set submitted in this run stays completed while the service's list lags.
        QCOMPARE(m_store->completedReports().keys(), QList<QString>{QStringLiteral("a")});
        QCOMPARE(m_store->selectedTab(), PracticeHistoryTab::paper);
        QVERIFY(m_store->scope());

        m_store->reset();
        QVERIFY(!m_store->scope());
        QVERIFY(m_store->completedReports().isEmpty());
        QCOMPARE(m_store->selectedTab(), PracticeHistoryTab::practice);
    }

    void fixtureHistoryLoadsNewestFirst()
    {
        // The fake's own fixture rows, unmodified: a realistic page.
        m_store->configure(scope());
        QVERIFY(load(PracticeHistoryTab::practice));
        const PracticeHistoryListModel *rows = m_store->practiceHistoryModel();
        QVERIFY(rows->rowCount() > 0);
        const auto records = m_store->page(PracticeHistoryTab::practice).records;
        for (qsizetype i = 1; i < records.size(); ++i)
            QVERIFY(records.at(i - 1).beginTime.toLongLong() >= records.at(i).beginTime.toLongLong());
        QCOMPARE(rows->rowCount(), records.size());
        QCOMPARE(rows->index(0).data(PracticeHistoryListModel::RecordIdRole).toString(), records.first().id);
        QCOMPARE(rows->index(0).data(PracticeHistoryListModel::CompletedRole).toBool(),
                 m_store->isCompleted(records.first()));
        const QVariantMap page = m_store->property("practicePage").toMap();
        QCOMPARE(page.value(QStringLiteral("hasLoaded")).toBool(), true);
        QVERIFY(page.value(QStringLiteral("loadError")).isNull());
        QCOMPARE(m_store->paperHistoryModel()->rowCount(), 0);
    }
};

QTEST_GUILESS_MAIN(TestPracticeHistoryStore)
#include "tst_practicehistorystore.moc"
