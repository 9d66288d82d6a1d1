// The practice history at 2,000 records over 200 pages of 10: the time the
// tab's list model takes to take in each new page, and how many rows the
// history screen builds for them (at the top and scrolled to the end).

#include "AppModelSingleton.h"
#include "FakeService.h"
#include "ModelTestEnvironment.h"
#include "TaskTestSupport.h"

#include "app/PracticeHistoryListModel.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>

#include <algorithm>
#include <cstdio>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

constexpr int pages = 200;
constexpr int pageSize = 10;

QJsonObject logRow(int i)
{
    return QJsonObject{{QStringLiteral("id"), QStringLiteral("r%1").arg(i)},
                       {QStringLiteral("examId"), QStringLiteral("e%1").arg(i)},
                       {QStringLiteral("examName"), QStringLiteral("言语理解与表达 专项练习 %1").arg(i)},
                       {QStringLiteral("examStatus"), i % 3 ? 2 : 1},
                       {QStringLiteral("rightNum"), 7},
                       {QStringLiteral("wrongNum"), 2},
                       {QStringLiteral("unAnswerNum"), 1},
                       {QStringLiteral("beginTime"), QString::number(1'700'000'000'000 - qint64(i) * 60'000)}};
}

int countRows(QQuickItem *from)
{
    int count = from->objectName().startsWith(QLatin1String("historyRow_")) && from->isVisible() ? 1 : 0;
    for (QQuickItem *child : from->childItems())
        count += countRows(child);
    return count;
}

QQuickItem *findNamed(QQuickItem *from, const QString &name)
{
    if (from->objectName() == name)
        return from;
    for (QQuickItem *child : from->childItems()) {
        if (QQuickItem *found = findNamed(child, name))
            return found;
    }
    return nullptr;
}

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.isEmpty() ? 0 : values.at(values.size() / 2);
}

void appendFigures()
{
    PracticeHistoryListModel model([](const PracticeHistoryRecord &record) { return record.examStatus == 2; });
    QList<PracticeHistoryRecord> records;
    QList<double> times;
    for (int p = 0; p < pages; ++p) {
        for (int i = 0; i < pageSize; ++i)
            records.append(PracticeHistoryRecord::fromJson(logRow(p * pageSize + i)));
        QElapsedTimer timer;
        timer.start();
        model.appendRecords(records, records.size() - pageSize);
        times.append(double(timer.nsecsElapsed()) / 1e6);
    }
    std::printf("history page append, median: %.3f ms\n", median(times));
    QList<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    std::printf("history page append, 95th percentile: %.3f ms\n", sorted.at(sorted.size() * 95 / 100));
    std::printf("history page append, slowest: %.3f ms (page %lld)\n", sorted.last(),
                qlonglong(times.indexOf(sorted.last()) + 1));
    std::printf("history page append, last (1990 rows before): %.3f ms\n", times.last());

    // A list that is not a plain append (a refreshed page, a deletion) is
    // compared with the shown one; this is its cost at the full size.
    PracticeHistoryListModel compared([](const PracticeHistoryRecord &record) { return record.examStatus == 2; });
    compared.setRecords(records.mid(0, records.size() - pageSize));
    QElapsedTimer timer;
    timer.start();
    compared.setRecords(records);
    std::printf("history list compare, %lld rows: %.3f ms\n", qlonglong(records.size()),
                double(timer.nsecsElapsed()) / 1e6);
}

void screenFigures()
{
    ModelTestEnvironment env;
    env.storeToken();
    env.model = std::make_unique<AppModel>(*env.client, *env.defaults, env.clock);
    AppModel &model = *env.model;
    model.setSelectedExamBank(ExamBank{QStringLiteral("102"), QStringLiteral("教师资格证·综合素质（中学）"), 1});
    for (int p = 0; p < pages; ++p) {
        QJsonArray page;
        for (int i = 0; i < pageSize; ++i)
            page.append(logRow(p * pageSize + i));
        FakeScenario scenario;
        scenario.rawBody = QJsonDocument(QJsonObject{{QStringLiteral("success"), true}, {QStringLiteral("data"), page}})
                               .toJson(QJsonDocument::Compact);
        scenario.times = 1;
        env.service.addScenario(QStringLiteral("/userExam/getUserExamLogList"), scenario);
    }
    env.service.setData(QStringLiteral("/userExam/getUserExamLogList"), QJsonArray{});

    model.showPracticeHistory();
    QQuickView view;
    AppModelSingleton::install(view.engine(), &model);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(900, 700);
    view.setSource(QUrl(QStringLiteral("qrc:/Vuzo/HistoryView.qml")));
    if (view.status() != QQuickView::Ready) {
        qWarning() << view.errors();
        return;
    }
    view.show();
    (void)QTest::qWaitForWindowExposed(&view);

    // Every page, as "加载更多" would fetch them.
    PracticeHistoryStore &store = *model.practiceHistory();
    for (int waited = 0; store.isLoading() && waited < 10'000; waited += 10)
        QTest::qWait(10);
    QElapsedTimer loading;
    loading.start();
    while (store.page(PracticeHistoryTab::practice).hasMore) {
        if (!QCoro::waitFor(completes(model.loadPracticeHistory(PracticeHistoryTab::practice, false, true))))
            break;
    }
    const auto loaded = store.page(PracticeHistoryTab::practice).records.size();
    std::printf("history records loaded: %lld\n", qlonglong(loaded));
    std::printf("history 200 pages over loopback: %lld ms\n", qlonglong(loading.elapsed()));
    QTest::qWait(100);
    std::printf("history rows built at the top: %d\n", countRows(view.rootObject()));

    auto *list = qobject_cast<QQuickItem *>(findNamed(view.rootObject(), QStringLiteral("practiceList")));
    if (list) {
        QElapsedTimer scrolling;
        scrolling.start();
        const double end = list->property("contentHeight").toDouble();
        for (double y = 0; y < end; y += 350) {
            list->setProperty("contentY", y);
            QCoreApplication::processEvents();
        }
        std::printf("history scroll through 2000 rows in 350-px steps: %lld ms\n", qlonglong(scrolling.elapsed()));
        QTest::qWait(100);
        std::printf("history rows built at the end: %d\n", countRows(view.rootObject()));
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    appendFigures();
    screenFigures();
    return 0;
}
