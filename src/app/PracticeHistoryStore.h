#pragma once

#include "models/Enums.h"
#include "models/HistoryReport.h"
#include "models/PracticeHistoryRecord.h"
#include "models/PracticeHistoryTab.h"
#include "app/PracticeHistoryListModel.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QPointer>
#include <QSet>
#include <QString>
#include <QUuid>
#include <QVariantList>
#include <QVariantMap>
#include <QCoro/QCoroTask>
#include <optional>

class APIClient;

// The user's practice log as the service lists it: one paged list per history
// tab, merged by record id and kept newest first, in memory only. The
// application model owns the one instance, tells it whose history it holds
// (environment, login token, exam bank) and drives every load; a generation
// token and a per-tab request id make late list replies stale. Main thread only.
class PracticeHistoryStore : public QObject
{
    Q_OBJECT

    // The tab the history screen shows: 1 practice sets, 2 past papers.
    Q_PROPERTY(int selectedTab READ selectedTabValue WRITE setSelectedTabValue NOTIFY selectedTabChanged)
    Q_PROPERTY(bool isLoading READ isLoading NOTIFY isLoadingChanged)
    // Each tab's paging state for the history screen: {hasMore, hasLoaded,
    // isLoading, loadError}; its rows are the tab's list model.
    Q_PROPERTY(QVariantMap practicePage READ practicePage NOTIFY contentChanged)
    Q_PROPERTY(QVariantMap paperPage READ paperPage NOTIFY contentChanged)
    Q_PROPERTY(PracticeHistoryListModel *practiceHistoryModel READ practiceHistoryModel CONSTANT)
    Q_PROPERTY(PracticeHistoryListModel *paperHistoryModel READ paperHistoryModel CONSTANT)

public:
    // Whose history the store holds. An absent token differs from an empty one.
    struct Scope
    {
        APIEnvironment environment = APIEnvironment::production;
        std::optional<QString> token;
        QString bank;

        bool operator==(const Scope &) const = default;
    };

    // The loaded state of one tab; a tab without an entry reads as Page{}.
    struct Page
    {
        QList<PracticeHistoryRecord> records; // merged, newest first
        qint64 nextPage = 1;                  // pages count from 1
        bool hasMore = true;
        bool hasLoaded = false;
        std::optional<QUuid> requestID;       // present while a request of the tab is in flight
        std::optional<QString> loadError;     // description of the last failed load
        qint64 loadErrorPage = 0;             // the page number whose load failed; 0 without an error

        bool operator==(const Page &) const = default;
    };

    static constexpr qint64 pageSize = 10;

    // Uses APIClient::shared() until setClient() names another client.
    explicit PracticeHistoryStore(QObject *parent = nullptr);
    PracticeHistoryStore(APIClient *client, QObject *parent);
    ~PracticeHistoryStore() override;

    // The client the list requests go through; nullptr means the shared one.
    void setClient(APIClient *client);

    [[nodiscard]] PracticeHistoryTab selectedTab() const { return m_selectedTab; }
    void setSelectedTab(PracticeHistoryTab tab);

    [[nodiscard]] const std::optional<Scope> &scope() const { return m_scope; }
    [[nodiscard]] QUuid generation() const { return m_generation; }
    [[nodiscard]] const QHash<PracticeHistoryTab, Page> &pages() const { return m_pages; }
    [[nodiscard]] const QHash<QString, HistoryReport> &completedReports() const { return m_completedReports; }
    // True while the page of any tab has a request in flight.
    [[nodiscard]] bool isLoading() const;

    // Nothing when an equal scope is held; otherwise reset() and adopt it.
    void configure(const Scope &scope);
    // New generation; pages emptied; scope, tab and filed reports kept (a set
    // submitted in this run stays completed while the service's list lags).
    void invalidate();
    // New generation; scope cleared; pages and filed reports emptied; tab back to practice.
    void reset();

    // Fetches one page of the tab when one is due (page 1 on refresh, the next
    // page while there is more, the first page of a tab never loaded). Throws
    // the service client's error while the request is current; an outcome made
    // stale by invalidate(), reset() or a newer request returns normally.
    QCoro::Task<> load(PracticeHistoryTab tab, bool refresh, bool nextPage);

    // Completed: status 2, or a report filed under the record's id.
    [[nodiscard]] bool isCompleted(const PracticeHistoryRecord &record) const;
    [[nodiscard]] std::optional<HistoryReport> completedReport(const PracticeHistoryRecord &record) const;
    [[nodiscard]] std::optional<HistoryReport> completedReport(const QString &recordID) const;
    void cacheCompletedReport(const HistoryReport &report, const QString &recordID);
    // Drops the records from every tab (paging state kept) and their filed reports.
    void remove(const QSet<QString> &ids);
    [[nodiscard]] Page page(PracticeHistoryTab tab) const;

    // Stable sort, newest first, by the begin time read as a C-locale number;
    // unreadable text and NaN count as 0.
    static void sortNewestFirst(QList<PracticeHistoryRecord> &records);

    // What the history screen reads: each tab's rows as a list model.
    [[nodiscard]] PracticeHistoryListModel *practiceHistoryModel() const { return m_practiceModel; }
    [[nodiscard]] PracticeHistoryListModel *paperHistoryModel() const { return m_paperModel; }
    [[nodiscard]] PracticeHistoryListModel *historyModel(PracticeHistoryTab tab) const;
    Q_INVOKABLE [[nodiscard]] bool hasMore(int tab) const;
    Q_INVOKABLE [[nodiscard]] bool hasLoaded(int tab) const;
    Q_INVOKABLE [[nodiscard]] bool isTabLoading(int tab) const;
    Q_INVOKABLE [[nodiscard]] QString loadError(int tab) const;
    [[nodiscard]] QVariantMap practicePage() const { return pageMap(PracticeHistoryTab::practice); }
    [[nodiscard]] QVariantMap paperPage() const { return pageMap(PracticeHistoryTab::paper); }
    // The record of a row, for the model's open operation.
    [[nodiscard]] std::optional<PracticeHistoryRecord> record(const QString &id) const;

Q_SIGNALS:
    void selectedTabChanged();
    void pagesChanged();
    void completedReportsChanged();
    void isLoadingChanged();
    void scopeChanged();
    void generationChanged();
    // The pages or the filed reports changed: what a row shows may differ.
    void contentChanged();

private:
    [[nodiscard]] int selectedTabValue() const { return int(m_selectedTab); }
    void setSelectedTabValue(int value); // anything but 1 and 2 is ignored
    void setPages(QHash<PracticeHistoryTab, Page> pages);
    void writePage(PracticeHistoryTab tab, const Page &page);
    void setCompletedReports(QHash<QString, HistoryReport> reports);
    void renewGeneration();
    [[nodiscard]] bool holdsRequest(PracticeHistoryTab tab, const QUuid &generation, const QUuid &requestID) const;
    void finishRequest(PracticeHistoryTab tab, const QUuid &generation, const QUuid &requestID);
    [[nodiscard]] APIClient &client() const;
    [[nodiscard]] QVariantMap pageMap(PracticeHistoryTab tab) const;
    void createListModels();
    void syncListModels();
    // Set by a merge that only appended records, so that the tab's list
    // model inserts the page without comparing the whole list.
    struct AppendedPage
    {
        PracticeHistoryTab tab;
        qsizetype keptCount = 0;
    };
    std::optional<AppendedPage> m_appendedPage;

    QPointer<APIClient> m_client;
    PracticeHistoryTab m_selectedTab = PracticeHistoryTab::practice;
    QHash<PracticeHistoryTab, Page> m_pages;
    QHash<QString, HistoryReport> m_completedReports;
    std::optional<Scope> m_scope;
    QUuid m_generation = QUuid::createUuid();
    PracticeHistoryListModel *m_practiceModel = nullptr;
    PracticeHistoryListModel *m_paperModel = nullptr;
};
