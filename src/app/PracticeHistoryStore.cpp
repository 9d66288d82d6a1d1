#include "app/PracticeHistoryStore.h"

#include "models/LenientJson.h"
#include "networking/APIClient.h"
#include "networking/RequestBodies.h"
#include "networking/TransferError.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <limits>
#include <utility>

namespace {

double beginTimeKey(const PracticeHistoryRecord &record)
{
    const std::optional<double> value = LenientJson::doubleParse(record.beginTime);
    if (!value || std::isnan(*value))
        return 0.0;
    return *value;
}

// Whether records[from…] are newest first and none is newer than the one
// before them, so that a stable sort would leave the list as it is.
bool appendsInOrder(const QList<PracticeHistoryRecord> &records, qsizetype from)
{
    double previous = beginTimeKey(records.at(from - 1));
    for (qsizetype i = from; i < records.size(); ++i) {
        const double key = beginTimeKey(records.at(i));
        if (key > previous)
            return false;
        previous = key;
    }
    return true;
}

bool isCancellation(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const TransferError &transfer) {
        return transfer.isCancellation();
    } catch (...) {
        return false;
    }
}

QString descriptionOf(const std::exception_ptr &error)
{
    try {
        std::rethrow_exception(error);
    } catch (const VuzoError &known) {
        return known.localizedDescription();
    } catch (const std::exception &other) {
        return QString::fromLocal8Bit(other.what());
    } catch (...) {
        return QStringLiteral("未知错误");
    }
}

std::optional<PracticeHistoryTab> tabFromValue(int value)
{
    return PracticeHistoryTabs::fromRawValue(value);
}

} // namespace

PracticeHistoryStore::PracticeHistoryStore(QObject *parent)
    : QObject(parent)
{
    createListModels();
}

PracticeHistoryStore::PracticeHistoryStore(APIClient *client, QObject *parent)
    : QObject(parent)
    , m_client(client)
{
    createListModels();
}

void PracticeHistoryStore::createListModels()
{
    const auto completed = [this](const PracticeHistoryRecord &record) { return isCompleted(record); };
    m_practiceModel = new PracticeHistoryListModel(completed, this);
    m_paperModel = new PracticeHistoryListModel(completed, this);
}

PracticeHistoryListModel *PracticeHistoryStore::historyModel(PracticeHistoryTab tab) const
{
    return tab == PracticeHistoryTab::paper ? m_paperModel : m_practiceModel;
}

void PracticeHistoryStore::syncListModels()
{
    const std::optional<AppendedPage> appended = std::exchange(m_appendedPage, std::nullopt);
    for (const PracticeHistoryTab tab : {PracticeHistoryTab::practice, PracticeHistoryTab::paper}) {
        const QList<PracticeHistoryRecord> &records = m_pages.value(tab).records;
        if (appended && appended->tab == tab)
            historyModel(tab)->appendRecords(records, appended->keptCount);
        else
            historyModel(tab)->setRecords(records);
    }
}

PracticeHistoryStore::~PracticeHistoryStore() = default;

void PracticeHistoryStore::setClient(APIClient *client)
{
    m_client = client;
}

APIClient &PracticeHistoryStore::client() const
{
    return m_client ? *m_client : APIClient::shared();
}

// ---- published state --------------------------------------------------------

void PracticeHistoryStore::setSelectedTab(PracticeHistoryTab tab)
{
    m_selectedTab = tab;
    Q_EMIT selectedTabChanged();
}

void PracticeHistoryStore::setSelectedTabValue(int value)
{
    if (const auto tab = tabFromValue(value))
        setSelectedTab(*tab);
}

bool PracticeHistoryStore::isLoading() const
{
    return std::any_of(m_pages.cbegin(), m_pages.cend(),
                       [](const Page &page) { return page.requestID.has_value(); });
}

void PracticeHistoryStore::setPages(QHash<PracticeHistoryTab, Page> pages)
{
    const bool wasLoading = isLoading();
    m_pages = std::move(pages);
    syncListModels();
    Q_EMIT pagesChanged();
    Q_EMIT contentChanged();
    if (wasLoading != isLoading())
        Q_EMIT isLoadingChanged();
}

void PracticeHistoryStore::writePage(PracticeHistoryTab tab, const Page &page)
{
    QHash<PracticeHistoryTab, Page> pages = m_pages;
    pages.insert(tab, page);
    setPages(std::move(pages));
}

void PracticeHistoryStore::setCompletedReports(QHash<QString, HistoryReport> reports)
{
    m_completedReports = std::move(reports);
    syncListModels();
    m_practiceModel->refreshCompleted();
    m_paperModel->refreshCompleted();
    Q_EMIT completedReportsChanged();
    Q_EMIT contentChanged();
}

void PracticeHistoryStore::renewGeneration()
{
    m_generation = QUuid::createUuid();
    Q_EMIT generationChanged();
}

// ---- scope and life cycle ---------------------------------------------------

void PracticeHistoryStore::configure(const Scope &scope)
{
    if (m_scope && *m_scope == scope)
        return;
    reset();
    m_scope = scope;
    Q_EMIT scopeChanged();
}

void PracticeHistoryStore::invalidate()
{
    renewGeneration();
    setPages({});
}

void PracticeHistoryStore::reset()
{
    renewGeneration();
    m_scope.reset();
    Q_EMIT scopeChanged();
    setPages({});
    setCompletedReports({});
    setSelectedTab(PracticeHistoryTab::practice);
}

// ---- records and filed reports ---------------------------------------------

PracticeHistoryStore::Page PracticeHistoryStore::page(PracticeHistoryTab tab) const
{
    return m_pages.value(tab, Page{});
}

bool PracticeHistoryStore::isCompleted(const PracticeHistoryRecord &record) const
{
    return record.examStatus == 2 || m_completedReports.contains(record.id);
}

std::optional<HistoryReport> PracticeHistoryStore::completedReport(const PracticeHistoryRecord &record) const
{
    return completedReport(record.id);
}

std::optional<HistoryReport> PracticeHistoryStore::completedReport(const QString &recordID) const
{
    const auto it = m_completedReports.constFind(recordID);
    if (it == m_completedReports.cend())
        return std::nullopt;
    return *it;
}

void PracticeHistoryStore::cacheCompletedReport(const HistoryReport &report, const QString &recordID)
{
    QHash<QString, HistoryReport> reports = m_completedReports;
    reports.insert(recordID, report);
    setCompletedReports(std::move(reports));
}

void PracticeHistoryStore::remove(const QSet<QString> &ids)
{
    QHash<PracticeHistoryTab, Page> pages = m_pages;
    for (const PracticeHistoryTab tab : PracticeHistoryTabs::allCases()) {
        const auto it = pages.find(tab);
        if (it != pages.end())
            it->records.removeIf([&ids](const PracticeHistoryRecord &record) { return ids.contains(record.id); });
    }
    setPages(std::move(pages));

    QHash<QString, HistoryReport> reports = m_completedReports;
    for (const QString &id : ids)
        reports.remove(id);
    setCompletedReports(std::move(reports));
}

std::optional<PracticeHistoryRecord> PracticeHistoryStore::record(const QString &id) const
{
    for (const PracticeHistoryTab tab : PracticeHistoryTabs::allCases()) {
        for (const PracticeHistoryRecord &candidate : page(tab).records) {
            if (candidate.id == id)
                return candidate;
        }
    }
    return std::nullopt;
}

void PracticeHistoryStore::sortNewestFirst(QList<PracticeHistoryRecord> &records)
{
    // Each key is parsed once, not once per comparison.
    QList<std::pair<double, qsizetype>> keys;
    keys.reserve(records.size());
    for (qsizetype i = 0; i < records.size(); ++i)
        keys.append({beginTimeKey(records.at(i)), i});
    std::stable_sort(keys.begin(), keys.end(), [](const auto &a, const auto &b) { return a.first > b.first; });

    QList<PracticeHistoryRecord> sorted;
    sorted.reserve(records.size());
    for (const auto &key : std::as_const(keys))
        sorted.append(std::move(records[key.second]));
    records = std::move(sorted);
}

// ---- loading ----------------------------------------------------------------

bool PracticeHistoryStore::holdsRequest(PracticeHistoryTab tab, const QUuid &generation, const QUuid &requestID) const
{
    if (m_generation != generation)
        return false;
    const auto it = m_pages.constFind(tab);
    return it != m_pages.cend() && it->requestID == requestID;
}

void PracticeHistoryStore::finishRequest(PracticeHistoryTab tab, const QUuid &generation, const QUuid &requestID)
{
    if (!holdsRequest(tab, generation, requestID))
        return;
    Page finished = m_pages.value(tab);
    finished.requestID.reset();
    writePage(tab, finished);
}

QCoro::Task<> PracticeHistoryStore::load(PracticeHistoryTab tab, bool refresh, bool nextPage)
{
    if (!m_scope)
        co_return;
    Page current = page(tab);
    if (current.requestID)
        co_return; // one request per tab; a refresh asked for meanwhile is not queued

    qint64 pageNumber = 0;
    if (refresh)
        pageNumber = 1;
    else if (nextPage && current.hasMore)
        pageNumber = current.nextPage;
    else if (!nextPage && !current.hasLoaded)
        pageNumber = current.nextPage;
    else
        co_return;

    const QUuid requestID = QUuid::createUuid();
    const QUuid generation = m_generation;
    const Scope scope = *m_scope;
    current.requestID = requestID;
    current.loadError.reset();
    current.loadErrorPage = 0;
    writePage(tab, current); // the old list stays visible while a refresh runs

    const PracticeHistoryListRequest body{scope.bank, pageNumber, pageSize, PracticeHistoryTabs::rawValue(tab)};
    QPointer<PracticeHistoryStore> self(this);
    QList<PracticeHistoryRecord> received;
    std::exception_ptr failure;
    try {
        const QString tokenText = scope.token.value_or(QString());
        received = co_await client().getUserExamLogList(body, tokenText, scope.bank);
    } catch (...) {
        failure = std::current_exception();
    }
    if (!self)
        co_return;

    if (failure) {
        if (!holdsRequest(tab, generation, requestID))
            co_return; // stale: dropped, the caller sees no error
        if (!isCancellation(failure)) {
            Page failed = m_pages.value(tab);
            failed.loadError = descriptionOf(failure);
            failed.loadErrorPage = pageNumber;
            writePage(tab, failed);
        }
        finishRequest(tab, generation, requestID);
        std::rethrow_exception(failure);
    }

    if (!holdsRequest(tab, generation, requestID))
        co_return;

    Page merged = m_pages.value(tab);
    QList<PracticeHistoryRecord> records = refresh ? QList<PracticeHistoryRecord>{} : merged.records;
    QHash<QString, qsizetype> positions;
    positions.reserve(records.size() + received.size());
    for (qsizetype i = 0; i < records.size(); ++i) {
        if (!positions.contains(records.at(i).id)) // an id listed twice keeps its first place
            positions.insert(records.at(i).id, i);
    }

    QHash<QString, HistoryReport> reports = m_completedReports;
    bool reportsChanged = false;
    const qsizetype keptCount = records.size();
    qsizetype newRecords = 0;
    bool replaced = false;
    for (const PracticeHistoryRecord &record : std::as_const(received)) {
        const auto found = positions.constFind(record.id);
        if (found != positions.cend()) {
            records[*found] = record; // the newer copy takes the older one's place
            replaced = true;
        } else {
            ++newRecords;
            positions.insert(record.id, records.size());
            records.append(record);
        }
        // The service now knows the record as completed: its filed report has served.
        if (record.examStatus == 2 && reports.remove(record.id) > 0)
            reportsChanged = true;
    }
    if (reportsChanged)
        setCompletedReports(std::move(reports));

    // The usual next page only adds older records after the listed ones: the
    // list stays sorted and its model inserts just the page.
    if (!refresh && !replaced && keptCount > 0 && appendsInOrder(records, keptCount))
        m_appendedPage = AppendedPage{tab, keptCount};
    else
        sortNewestFirst(records);
    merged.records = std::move(records);
    merged.nextPage = pageNumber < std::numeric_limits<qint64>::max() ? pageNumber + 1 : pageNumber;
    merged.hasLoaded = true;
    // A page that brings no record not already listed ends the paging: a
    // service that repeats its last page past the end is not asked forever.
    merged.hasMore = newRecords > 0;
    merged.loadError.reset();
    merged.loadErrorPage = 0;
    writePage(tab, merged);
    finishRequest(tab, generation, requestID);
}

// ---- what the history screen reads -------------------------------------------

bool PracticeHistoryStore::hasMore(int tab) const
{
    const auto parsed = tabFromValue(tab);
    return parsed && page(*parsed).hasMore;
}

bool PracticeHistoryStore::hasLoaded(int tab) const
{
    const auto parsed = tabFromValue(tab);
    return parsed && page(*parsed).hasLoaded;
}

bool PracticeHistoryStore::isTabLoading(int tab) const
{
    const auto parsed = tabFromValue(tab);
    return parsed && page(*parsed).requestID.has_value();
}

QString PracticeHistoryStore::loadError(int tab) const
{
    const auto parsed = tabFromValue(tab);
    return parsed ? page(*parsed).loadError.value_or(QString()) : QString();
}

QVariantMap PracticeHistoryStore::pageMap(PracticeHistoryTab tab) const
{
    const Page tabPage = page(tab);
    return QVariantMap{
        {QStringLiteral("hasMore"), tabPage.hasMore},
        {QStringLiteral("hasLoaded"), tabPage.hasLoaded},
        {QStringLiteral("isLoading"), tabPage.requestID.has_value()},
        {QStringLiteral("loadError"), tabPage.loadError ? QVariant(*tabPage.loadError) : QVariant()},
    };
}
