// bench_content: what one content view costs by the height of its content,
// and what a page's option views cost against their text drawn as plain
// items. Every case runs in a process of its own (so each starts from the
// same empty engine), the cases alternate in order from run to run, and each
// figure is the median of the runs. Prints, one a line:
//   view <H> px PSS: <MB> MB            a 700 px wide view in a scrolled page
//                                       of an 800 × 800 window, whose content
//                                       is H px tall; the whole process tree
//   view <H> px main process PSS: <MB> MB
//   view <H> px USS: <MB> MB            pages of the tree no other process
//                                       maps (steadier than PSS on a machine
//                                       where other programs map the engine)
//   view <H> px textures: <MB> MB       4 bytes a device pixel of every web
//                                       view the scene graph draws
//   view <H> px loaded: <ms> ms         window shown -> content laid out
//   options <N> as web views PSS: <MB> MB   a stem and N one-paragraph HTML
//                                           options, each in a web view
//   options <N> as option rows PSS: <MB> MB the same options as the option
//                                           rows show that HTML
//   options <N> as plain text PSS: <MB> MB  the same stem and options, their
//                                           text as plain options
//   options <N> as ... USS / textures / loaded    as for the views
// Run under xvfb-run. Options: --runs N (default 3); --case NAME runs one
// case in this process and prints its raw figures. Each run's raw figures
// go to stderr.

#include "../EventLoopWait.h"
#include "../ProcessTreeMemory.h"
#include "../QuickItemSearch.h"
#include "ContentEngineSetup.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMap>
#include <QProcess>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <algorithm>
#include <cstdio>
#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

using BenchItems::allItems;

constexpr int viewWidth = 700;
const QList<int> viewHeights{40, 1000, 5000, 20000};
const QList<int> optionCounts{4, 20};

// Text from top to bottom of a box exactly height px tall: the engine draws
// every tile of it, as it would a stem or material of that height.
QString contentOfHeight(int height)
{
    const QString sentence = QStringLiteral("城市更新不是简单的拆旧建新，而是对空间、功能与人文的系统修复。");
    // 20 px type at 1.8 line height: 36 px a line, about 35 characters.
    const int paragraphs = height / 36 / 3 + 2;
    QString html = QStringLiteral("<div style=\"height: %1px; overflow: hidden\">").arg(height);
    for (int i = 0; i < paragraphs; ++i)
        html += QStringLiteral("<p>") + QString::number(i + 1) + sentence + sentence + sentence + QStringLiteral("</p>");
    return html + QStringLiteral("</div>");
}

// As the large practice set's options are: one paragraph each.
QString optionHtml(int i)
{
    return QStringLiteral("<p>选项%1：增长约%2%，比上年提高%3个百分点</p>").arg(i % 4 + 1).arg(3 + i % 9).arg(i % 4);
}

QString optionText(int i)
{
    return QStringLiteral("选项%1：增长约%2%，比上年提高%3个百分点").arg(i % 4 + 1).arg(3 + i % 9).arg(i % 4);
}

QString quoted(const QString &text)
{
    QString out = text;
    out.replace(QLatin1Char('\\'), QStringLiteral("\\\\")).replace(QLatin1Char('"'), QStringLiteral("\\\""));
    return QLatin1Char('"') + out + QLatin1Char('"');
}

// A scrolled page of an 800 × 800 window holding item (whose id is
// "content"), 50 px from the left.
QByteArray scene(const QString &item)
{
    return QStringLiteral(R"(
import QtQuick
import QtQuick.Window
import Vuzo
Window {
    width: 800; height: 800; visible: true
    Flickable {
        anchors.fill: parent
        clip: true
        contentWidth: width
        contentHeight: content.height + 60
        %1
    }
}
)")
        .arg(item)
        .toUtf8();
}

QByteArray viewScene(int height)
{
    return scene(QStringLiteral(R"(
        HtmlWebView {
            id: content
            objectName: "measured"
            x: 50; y: 30; width: %1
            height: Math.max(1, contentHeight)
            html: %2
        })")
                     .arg(viewWidth)
                     .arg(quoted(contentOfHeight(height))));
}

enum class Options { WebViews, Rows, PlainText };

// A short stem and count options: each a web view in the option style, as
// the option rows show its HTML, or its text as a plain option.
QByteArray optionScene(int count, Options kind)
{
    QStringList contents;
    for (int i = 0; i < count; ++i)
        contents << quoted(kind == Options::PlainText ? optionText(i) : optionHtml(i));
    const QString option = kind == Options::WebViews ? QStringLiteral(R"(
                HtmlWebView {
                    objectName: "measured"
                    width: parent.width - 59
                    height: Math.max(30, contentHeight)
                    interactive: false
                    html: modelData
                    textOpacity: 0.86
                    contentStyle: HtmlContentStyle.QuestionOption
                })")
                                                     : QStringLiteral(R"(
                QuestionOptionContentView {
                    objectName: "measured"
                    width: parent.width - 59
                    height: implicitHeight
                    content: modelData
                    fontSize: 16
                    textOpacity: 0.86
                })");
    return scene(QStringLiteral(R"(
        Column {
            id: content
            x: 50; y: 30; width: %1
            spacing: 12
            HtmlWebView {
                objectName: "measured"
                width: parent.width
                height: Math.max(1, contentHeight)
                html: "<p>第1题：根据所给信息，下列说法正确的是（ ）。</p>"
            }
            Repeater {
                model: [%2]
                %3
            }
        })")
                     .arg(viewWidth)
                     .arg(contents.join(QStringLiteral(", ")), option));
}

// Every measured view has its content laid out.
bool laidOut(QQuickItem *root)
{
    for (QQuickItem *item : allItems(root)) {
        if (item->objectName() != QLatin1String("measured"))
            continue;
        const QVariant height = item->property("contentHeight");
        if (height.isValid() && !(height.toDouble() > 0))
            return false;
        if (!height.isValid() && !(item->height() > 0))
            return false;
    }
    return true;
}

// 4 bytes a device pixel of each web view the scene graph draws: the engine
// hands every view's output to it as one texture of the view's size.
double textureMegabytes(QQuickItem *root)
{
    double bytes = 0;
    for (QQuickItem *item : allItems(root)) {
        if (!item->inherits("QQuickWebEngineView") || !item->isVisible())
            continue;
        for (QQuickItem *output : item->childItems()) {
            if (!output->isVisible() || !(output->width() > 0))
                continue;
            const double ratio = output->window() ? output->window()->effectiveDevicePixelRatio() : 1.0;
            bytes += std::ceil(output->width() * ratio) * std::ceil(output->height() * ratio) * 4;
        }
    }
    return bytes / 1048576.0;
}

// One case in this process: "<tree PSS> <main PSS> <tree USS> <textures> <loaded ms>".
int runCase(const QString &name)
{
    QByteArray scene;
    if (name.startsWith(QLatin1String("view-")))
        scene = viewScene(name.mid(5).toInt());
    else if (name.startsWith(QLatin1String("web-")))
        scene = optionScene(name.mid(4).toInt(), Options::WebViews);
    else if (name.startsWith(QLatin1String("rows-")))
        scene = optionScene(name.mid(5).toInt(), Options::Rows);
    else if (name.startsWith(QLatin1String("plain-")))
        scene = optionScene(name.mid(6).toInt(), Options::PlainText);
    else
        return 2;

    QQmlEngine engine;
    engine.addImportPath(QStringLiteral("qrc:/"));
    QQmlComponent component(&engine);
    QElapsedTimer clock;
    clock.start();
    component.setData(scene, QUrl(QStringLiteral("qrc:/bench/Case.qml")));
    std::unique_ptr<QObject> object(component.create());
    if (!object) {
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
        return 1;
    }
    auto *window = qobject_cast<QQuickWindow *>(object.get());
    if (!window || !QTest::qWaitForWindowExposed(window))
        return 1;
    QQuickItem *root = window->contentItem();
    if (!BenchWait::until([&] { return laidOut(root); }, 30000)) {
        std::fprintf(stderr, "%s: the content did not lay out\n", qPrintable(name));
        return 1;
    }
    const qint64 loaded = clock.elapsed();
    // The engine rasters and hands over its tiles after the layout.
    BenchWait::run(4000);
    const BenchMemory::TreeUsage usage = BenchMemory::treeUsage(QCoreApplication::applicationPid());
    std::printf("%.1f %.1f %.1f %.1f %lld\n", usage.tree.pss, usage.main.pss, usage.tree.uss, textureMegabytes(root),
                static_cast<long long>(loaded));
    return 0;
}

double median(QList<double> values)
{
    if (values.isEmpty())
        return 0;
    std::sort(values.begin(), values.end());
    const qsizetype mid = values.size() / 2;
    return values.size() % 2 ? values.at(mid) : (values.at(mid - 1) + values.at(mid)) / 2;
}

} // namespace

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (const qsizetype at = args.indexOf(QStringLiteral("--case")); at >= 0)
        return runCase(args.value(at + 1));
    const qsizetype runsAt = args.indexOf(QStringLiteral("--runs"));
    const int runs = runsAt >= 0 ? std::max(1, args.value(runsAt + 1).toInt()) : 3;

    QStringList cases;
    for (int height : viewHeights)
        cases << QStringLiteral("view-%1").arg(height);
    for (int count : optionCounts)
        cases << QStringLiteral("web-%1").arg(count) << QStringLiteral("rows-%1").arg(count)
              << QStringLiteral("plain-%1").arg(count);

    // Per case: tree PSS, main PSS, tree USS, textures, loaded, one entry a run.
    QMap<QString, QList<QList<double>>> figures;
    for (int run = 0; run < runs; ++run) {
        QStringList order = cases;
        if (run % 2)
            std::reverse(order.begin(), order.end());
        for (const QString &name : std::as_const(order)) {
            QProcess child;
            child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--case"), name});
            if (!child.waitForFinished(120000) || child.exitCode() != 0) {
                std::fprintf(stderr, "case %s failed\n", qPrintable(name));
                continue;
            }
            const QByteArray line = child.readAllStandardOutput().trimmed();
            std::fprintf(stderr, "-- run %d, %s: %s\n", run + 1, qPrintable(name), line.constData());
            const QList<QByteArray> values = line.split(' ');
            QList<double> parsed;
            for (const QByteArray &value : values)
                parsed << value.toDouble();
            if (parsed.size() == 5)
                figures[name] << parsed;
        }
    }

    const auto print = [&](const QString &name, const QString &label) {
        const QList<QList<double>> &rows = figures.value(name);
        if (rows.isEmpty())
            return;
        const auto column = [&](int i) {
            QList<double> out;
            for (const QList<double> &row : rows)
                out << row.at(i);
            return median(out);
        };
        std::printf("%s PSS: %.1f MB\n", qPrintable(label), column(0));
        std::printf("%s main process PSS: %.1f MB\n", qPrintable(label), column(1));
        std::printf("%s USS: %.1f MB\n", qPrintable(label), column(2));
        std::printf("%s textures: %.1f MB\n", qPrintable(label), column(3));
        std::printf("%s loaded: %.0f ms\n", qPrintable(label), column(4));
        std::fflush(stdout);
    };
    for (int height : viewHeights)
        print(QStringLiteral("view-%1").arg(height), QStringLiteral("view %1 px").arg(height));
    for (int count : optionCounts) {
        print(QStringLiteral("web-%1").arg(count), QStringLiteral("options %1 as web views").arg(count));
        print(QStringLiteral("rows-%1").arg(count), QStringLiteral("options %1 as option rows").arg(count));
        print(QStringLiteral("plain-%1").arg(count), QStringLiteral("options %1 as plain text").arg(count));
    }
    return 0;
}
