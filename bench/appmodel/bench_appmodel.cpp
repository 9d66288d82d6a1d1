// Start-up of the application model from a full store, and applying a large
// practice menu tree. Prints figures; run it from scripts/bench or by hand.

#include "app/AppModel.h"
#include "app/JsonStringArrayEncoder.h"
#include "models/LenientJson.h"
#include "networking/APIClient.h"
#include "platform/Clock.h"
#include "platform/UserDefaults.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

namespace {

double medianMilliseconds(int runs, const std::function<void()> &work)
{
    std::vector<double> times;
    times.reserve(runs);
    for (int i = 0; i < runs; ++i) {
        QElapsedTimer timer;
        timer.start();
        work();
        times.push_back(double(timer.nsecsElapsed()) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

QJsonArray menuTree();

void fillStore(UserDefaults &store, QRandomGenerator &random)
{
    QJsonArray banks;
    for (int i = 0; i < 100; ++i) {
        banks.append(QJsonObject{{"id", QString::number(1000 + i)},
                                 {"name", QStringLiteral("2025年国家公务员考试行测题库 %1").arg(i)},
                                 {"isShow", 1}});
    }
    store.setValue(AppModel::examBankListCacheKey, QJsonDocument(banks).toJson(QJsonDocument::Compact));
    store.setValue(AppModel::examBankKey, QStringLiteral("1099"));

    // Rows of the benchmark tree (bank 1099, practice type 2) and of other banks.
    QVariantMap expansion;
    const std::function<void(const QJsonArray &, const QString &)> addRows = [&](const QJsonArray &menus,
                                                                                   const QString &parent) {
        for (const QJsonValue &value : menus) {
            if (expansion.size() >= 1000)
                return;
            const QJsonObject menu = value.toObject();
            const QString key = *JsonStringArrayEncoder::encode(
                {QStringLiteral("production"), QStringLiteral("1099"), QStringLiteral("2"), parent, QStringLiteral("1"),
                 menu.value(QStringLiteral("id")).toString()});
            expansion.insert(key, random.bounded(2) == 1);
            addRows(menu.value(QStringLiteral("children")).toArray(), key);
        }
    };
    addRows(menuTree(), QString());
    for (int i = 0; expansion.size() < 2000; ++i) {
        const QString key = *JsonStringArrayEncoder::encode({QStringLiteral("production"),
                                                             QString::number(1000 + int(random.bounded(99))),
                                                             QStringLiteral("1"), QString(), QStringLiteral("1"),
                                                             QStringLiteral("m%1").arg(i)});
        expansion.insert(key, random.bounded(2) == 1);
    }
    store.setValue(QStringLiteral("home_menu_expansion"), expansion);

    QJsonArray vip;
    for (int i = 0; i < 100; ++i)
        vip.append(QJsonObject{{"examBankId", QString::number(1000 + i)}, {"expireTime", QString::number(1'800'000'000'000LL + i)}});
    store.setValue(AppModel::vipStatusCacheKey,
                   QJsonDocument(QJsonObject{{"serverCurrentTimeMilliseconds", 1'750'000'000'000LL},
                                             {"fetchedAtMilliseconds", 1'750'000'000'000LL},
                                             {"userVipList", vip}})
                       .toJson(QJsonDocument::Compact));
    store.setValue(AppModel::questionKeyboardShortcutsKey, QuestionKeyboardShortcuts::defaultValue().toJsonData());
    store.setValue(AppModel::tokenKey, QStringLiteral("0123456789abcdef0123456789abcdef"));
    store.setValue(AppModel::transparentInkHexKey, QStringLiteral("#22A06B"));
    store.setValue(AppModel::transparentInkIntensityKey, 0.8);
    store.setValue(AppModel::transparentAppearanceLevelKey, 1.2);
    store.setValue(AppModel::practiceTypeKey, 2);
    store.setValue(AppModel::examModeKey, 1);
    store.setValue(AppModel::examQuestionCountKey, 20);
    store.setValue(QStringLiteral("study_transparency_enabled"), true);
    store.setValue(QStringLiteral("hover_auto_hide_enabled"), true);
    store.synchronize();
}

// 30 top-level menus with 9 children with 10 leaves each: 3,000 nodes.
QJsonArray menuTree()
{
    QJsonArray top;
    for (int a = 0; a < 30; ++a) {
        QJsonArray middle;
        for (int b = 0; b < 9; ++b) {
            QJsonArray leaves;
            for (int c = 0; c < 10; ++c) {
                leaves.append(QJsonObject{{"id", QStringLiteral("m%1-%2-%3").arg(a).arg(b).arg(c)},
                                          {"examBankId", "1099"}, {"questionType", 1}, {"menuType", 2},
                                          {"name", QStringLiteral("知识点 %1-%2-%3").arg(a).arg(b).arg(c)},
                                          {"parentId", QStringLiteral("m%1-%2").arg(a).arg(b)},
                                          {"cnt", 120}, {"userWorkCnt", 7}, {"needVip", c % 2}, {"children", QJsonArray{}}});
            }
            middle.append(QJsonObject{{"id", QStringLiteral("m%1-%2").arg(a).arg(b)}, {"examBankId", "1099"}, {"questionType", 1},
                                      {"name", QStringLiteral("题型 %1-%2").arg(a).arg(b)}, {"parentId", QStringLiteral("m%1").arg(a)},
                                      {"cnt", 1200}, {"userWorkCnt", 70}, {"needVip", 0}, {"children", leaves}});
        }
        top.append(QJsonObject{{"id", QStringLiteral("m%1").arg(a)}, {"examBankId", "1099"}, {"questionType", 1},
                               {"name", QStringLiteral("模块 %1").arg(a)}, {"cnt", 12000}, {"userWorkCnt", 700},
                               {"needVip", 0}, {"children", middle}});
    }
    return top;
}

int countNodes(const QList<CardMenu> &menus)
{
    int n = 0;
    for (const CardMenu &menu : menus)
        n += 1 + countNodes(menu.children);
    return n;
}

int walkPaths(const AppModel &model, const QList<CardMenu> &menus, const QString &parent)
{
    int expanded = 0;
    for (const CardMenu &menu : menus) {
        const QString path = model.menuPath(menu, parent);
        expanded += model.menuExpansionStates().value(path, false) ? 1 : 0;
        expanded += walkPaths(model, menu.children, path);
    }
    return expanded;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QRandomGenerator random(20250601);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("defaults.json"));
    ManualClock clock(1'750'000'000'000LL);
    Clock::setShared(&clock);
    APIClient client(QStringLiteral("http://127.0.0.1:9"));
    {
        UserDefaults seed(file);
        fillStore(seed, random);
    }

    constexpr int runs = 51;
    UserDefaults store(file);
    const double modelOnly = medianMilliseconds(runs, [&] { AppModel model(client, store, clock); });
    const double withStore = medianMilliseconds(runs, [&] {
        UserDefaults fresh(file);
        AppModel model(client, fresh, clock);
    });

    AppModel model(client, store, clock);
    const QByteArray treeJson = QJsonDocument(menuTree()).toJson(QJsonDocument::Compact);
    QList<CardMenu> decoded;
    const double decode = medianMilliseconds(runs, [&] {
        decoded = decodeList<CardMenu>(QJsonDocument::fromJson(treeJson).array());
    });
    const double apply = medianMilliseconds(runs, [&] { model.setMenus(decoded); });
    int expanded = 0;
    const double paths = medianMilliseconds(runs, [&] { expanded = walkPaths(model, model.menus(), QString()); });
    const double qml = medianMilliseconds(runs, [&] { (void)model.menuTreeModel()->rowCount(); });

    std::printf("appmodel start-up, store of 100 banks and 2000 expansion entries (median of %d)\n", runs);
    std::printf("  model from a loaded store:     %8.3f ms   (target < 20 ms)\n", modelOnly);
    std::printf("  store file read + model:       %8.3f ms\n", withStore);
    std::printf("menu tree of %d nodes (%.0f KB JSON)\n", countNodes(decoded), treeJson.size() / 1024.0);
    std::printf("  decode (parse + records):      %8.3f ms\n", decode);
    std::printf("  publish to the model:          %8.3f ms\n", apply);
    std::printf("  menu paths + expansion lookup: %8.3f ms   (%d rows expanded)\n", paths, expanded);
    std::printf("  rows of the tree model:        %8.3f ms\n", qml);
    std::printf("  tree applied (decode+publish+paths): %8.3f ms   (target < 30 ms)\n", decode + apply + paths);
    Clock::setShared(nullptr);
    return 0;
}
