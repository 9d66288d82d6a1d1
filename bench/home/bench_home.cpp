// The home screen's list work: applying a 3,000-node practice tree to the
// list model, the delegates the page creates when one card opens or closes,
// and the 50-page past-paper walk against the fake service with the event
// loop's longest stall meanwhile. Prints one figure a line.

#include "FakeService.h"
#include "app/AppModel.h"
#include "models/LenientJson.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"
#include "views/AppModelSingleton.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickView>
#include <QTemporaryDir>
#include <QTimer>
#include <QCoro/QCoroTask>
#include <QtQml/qqmlextensionplugin.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

double medianMilliseconds(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

// 30 cards of 9 nodes of 10 leaves: 3,000 nodes.
QList<CardMenu> menuTree(const QString &salt)
{
    QJsonArray top;
    for (int a = 0; a < 30; ++a) {
        QJsonArray middle;
        for (int b = 0; b < 9; ++b) {
            QJsonArray leaves;
            for (int c = 0; c < 10; ++c)
                leaves.append(QJsonObject{{"id", QStringLiteral("m%1-%2-%3").arg(a).arg(b).arg(c)}, {"questionType", 1},
                                          {"name", QStringLiteral("知识点 %1-%2-%3%4").arg(a).arg(b).arg(c).arg(salt)},
                                          {"cnt", 120}, {"userWorkCnt", 7}, {"needVip", c % 2}});
            middle.append(QJsonObject{{"id", QStringLiteral("m%1-%2").arg(a).arg(b)}, {"questionType", 1},
                                      {"name", QStringLiteral("题型 %1-%2").arg(a).arg(b)}, {"children", leaves}});
        }
        top.append(QJsonObject{{"id", QStringLiteral("m%1").arg(a)}, {"questionType", 1},
                               {"name", QStringLiteral("模块 %1").arg(a)}, {"children", middle}});
    }
    return decodeList<CardMenu>(top);
}

const char *pageQml = R"(
import QtQuick
import Vuzo
ListView {
    id: list
    property int created: 0
    width: 800
    height: 900
    model: AppModel.menuTreeModel
    delegate: MenuTreeRow {
        width: list.width
        Component.onCompleted: list.created++
    }
}
)";

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QTemporaryDir dir;
    ManualClock clock(1'750'000'000'000LL);
    Clock::setShared(&clock);
    UserDefaults store(dir.filePath(QStringLiteral("defaults.json")));
    UserDefaults::setStandard(&store);
    FakeService service;
    if (!service.start())
        return 1;
    APIClient client(service.baseUrl().toString());
    store.setValue(AppModel::tokenKey, service.issueToken());
    store.setValue(AppModel::examBankKey, QStringLiteral("102"));
    AppModel model(client, store, clock);

    // Applying a new tree (a reset of the list model).
    const QList<CardMenu> first = menuTree(QString());
    const QList<CardMenu> second = menuTree(QStringLiteral("'"));
    bool flip = false;
    const double apply = medianMilliseconds(31, [&] {
        model.setMenus(flip ? first : second);
        flip = !flip;
    });
    std::printf("apply 3000-node tree to the list model: %.3f ms (target < 10 ms)\n", apply);
    std::printf("rows shown of the tree: %d\n", model.menuTreeModel()->rowCount());

    // The page's delegates while one card opens and closes.
    QQuickView view;
    view.engine()->addImportPath(QStringLiteral("qrc:/"));
    AppModelSingleton::install(view.engine(), &model);
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(800, 900);
    QQmlComponent component(view.engine());
    component.setData(pageQml, QUrl());
    auto *list = qobject_cast<QQuickItem *>(component.create());
    if (!list) {
        std::printf("page did not load: %s\n", qPrintable(component.errorString()));
        return 1;
    }
    list->setParentItem(view.contentItem());
    view.show();
    QCoreApplication::processEvents();
    std::printf("delegates created for the first screen: %d\n", list->property("created").toInt());

    const auto toggleFirstCard = [&](const char *what) {
        const int before = list->property("created").toInt();
        const int rowsBefore = model.menuTreeModel()->rowCount();
        QElapsedTimer timer;
        timer.start();
        model.toggleMenuRow(0);
        QCoreApplication::processEvents();
        const double ms = double(timer.nsecsElapsed()) / 1e6;
        std::printf("%s first card: %d rows changed, %d delegates created, %.3f ms\n", what,
                    std::abs(model.menuTreeModel()->rowCount() - rowsBefore), list->property("created").toInt() - before, ms);
    };
    toggleFirstCard("collapse");
    toggleFirstCard("expand");
    delete list;

    // The 50-page past-paper walk: every page full, so the walk goes to the last page.
    QJsonArray page;
    for (int i = 0; i < 10; ++i)
        page.append(QJsonObject{{"id", QStringLiteral("p%1").arg(i)}, {"name", QStringLiteral("真题 %1").arg(i)}, {"needVip", 0}});
    service.setData(QStringLiteral("/exam/getRealExamList"), page);
    QElapsedTimer sinceTick;
    qint64 longestStall = 0;
    QTimer ticker;
    ticker.setInterval(5);
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        longestStall = std::max(longestStall, sinceTick.restart());
    });
    QElapsedTimer walk;
    walk.start();
    sinceTick.start();
    ticker.start();
    QCoro::waitFor(model.loadRealExams());
    ticker.stop();
    std::printf("past papers, 50-page walk: %lld ms (%d list requests)\n", walk.elapsed(),
                int(service.requests(QStringLiteral("/exam/getRealExamList")).size()));
    std::printf("longest event-loop stall during the walk: %lld ms\n", longestStall);
    UserDefaults::setStandard(nullptr);
    Clock::setShared(nullptr);
    return 0;
}
