#include "AppModelSingleton.h"
#include "ContentEngineSetup.h"
#include "ContentViewRules.h"
#include "ContentWarmupPolicy.h"
#include "HtmlContentController.h"
#include "ScreenCatalog.h"
#include "TestAppModel.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QImage>
#include <QWheelEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

#include <cmath>
#include <memory>

Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

const QByteArray windowQml = R"(
import QtQuick
import QtQuick.Window
import Vuzo

Window {
    width: 600
    height: 500
    visible: true
    property alias view: view
    property var lastResult
    property int results: 0
    property int sidewaysWheels: 0
    signal tapped(string source)
    function evaluate(script) {
        view.webView.runJavaScript(script, function (result) { lastResult = result; results += 1; });
    }
    Item {
        objectName: "zoom"
        property real contentScale: 1
        width: 400
        height: 400
    }
    // Beneath the scroller: what a sideways wheel turn reaches (on the
    // analysis screen, its paging).
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.NoButton
        onWheel: (wheel) => {
            if (wheel.angleDelta.x !== 0)
                sidewaysWheels += 1;
            wheel.accepted = wheel.angleDelta.x !== 0;
        }
    }
    Flickable {
        id: flick
        objectName: "flick"
        anchors.fill: parent
        contentWidth: width
        contentHeight: view.height + 600
        // The window zoom, for the views that have no other host.
        property real contentScale: 1
        HtmlWebView {
            id: view
            width: 400
            height: Math.max(20, contentHeight)
            onImageTapped: (source) => tapped(source)
        }
    }
}
)";

// A red PNG, 40 x 40 unless told.
QString redSquare(int width = 40, int height = 40)
{
    QImage image(width, height, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

// One notch (or several) of a wheel at a window point, as the window gets it:
// each event later than the one before, as scrollers measure their speed.
void turnWheel(QQuickWindow *window, QPoint at, QPoint angle)
{
    static quint64 timestamp = 1000;
    timestamp += 40;
    QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), angle, Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
    wheel.setTimestamp(timestamp);
    QGuiApplication::sendEvent(window, &wheel);
}

} // namespace

class TestHtmlWebView : public QObject
{
    Q_OBJECT

    std::unique_ptr<TestAppModel> m_model;
    std::unique_ptr<QQmlEngine> m_engine;
    std::unique_ptr<QObject> m_window;

    QQuickItem *view() const { return m_window->property("view").value<QQuickItem *>(); }
    HtmlContentController *controller() const
    {
        return view()->property("controller").value<HtmlContentController *>();
    }
    QVariant evaluate(const QString &script)
    {
        const int before = m_window->property("results").toInt();
        QMetaObject::invokeMethod(m_window.get(), "evaluate", Q_ARG(QVariant, script));
        if (!QTest::qWaitFor([&] { return m_window->property("results").toInt() > before; }, 10000))
            return QStringLiteral("<no result>");
        return m_window->property("lastResult");
    }
    void show(const QString &html)
    {
        const qint64 before = controller()->documentVersion();
        view()->setProperty("html", html);
        QVERIFY(QTest::qWaitFor([&] { return controller()->documentVersion() > before; }, 5000));
        const QString page = controller()->pageUrl().toString();
        QVERIFY(QTest::qWaitFor(
            [&] { return evaluate("location.href + ' ' + document.readyState").toString() == page + " complete"; },
            15000));
    }

    // An option view in the window, showing content.
    std::unique_ptr<QQuickItem> makeOption(int width, const QString &content, int fontSize = 16)
    {
        QQmlComponent component(m_engine.get());
        component.setData(R"(
import QtQuick
import Vuzo
QuestionOptionContentView { height: implicitHeight }
)",
                          QUrl(QStringLiteral("qrc:/test/Option.qml")));
        std::unique_ptr<QQuickItem> option(qobject_cast<QQuickItem *>(component.create()));
        if (!option) {
            qWarning() << component.errorString();
            return option;
        }
        option->setParentItem(qobject_cast<QQuickWindow *>(m_window.get())->contentItem());
        option->setWidth(width);
        option->setProperty("fontSize", fontSize);
        option->setProperty("content", content);
        return option;
    }

private Q_SLOTS:
    void init()
    {
        m_model = std::make_unique<TestAppModel>();
        m_engine = std::make_unique<QQmlEngine>();
        m_engine->addImportPath(QStringLiteral("qrc:/"));
        AppModelSingleton::install(m_engine.get(), m_model.get());
        QQmlComponent component(m_engine.get());
        component.setData(windowQml, QUrl(QStringLiteral("qrc:/test/Window.qml")));
        m_window.reset(component.create());
        QVERIFY2(m_window, qPrintable(component.errorString()));
    }

    void cleanup()
    {
        m_window.reset();
        m_engine.reset();
        m_model.reset();
    }

    // The page reports its height over the bridge; more content, more height.
    void reportsContentHeight()
    {
        show(QStringLiteral("<p>一行</p>"));
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > 10, 15000);
        const double one = controller()->contentHeight();
        QVERIFY2(one < 120, qPrintable(QString::number(one)));
        show(QStringLiteral("<p>一</p><p>二</p><p>三</p><p>四</p><p>五</p><p>六</p>"));
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > one * 4, 15000);
        QCOMPARE(view()->height(), controller()->contentHeight());
    }

    // A page far above the 2 MB data-address limit still loads and measures.
    void largePageLoads()
    {
        const QString filler = QStringLiteral("<p>长文本</p><!-- ") + QString(2'600'000, QLatin1Char('x'))
            + QStringLiteral(" --><p>结尾</p>");
        show(filler);
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > 40, 20000);
        QCOMPARE(evaluate("document.body.innerText.indexOf('结尾') >= 0").toBool(), true);
    }

    // A click on an image reaches the owner with the src as written; scripts
    // and handlers inside the fragment never run, so they cannot post.
    void imageClickAndFragmentScripts()
    {
        QSignalSpy taps(m_window.get(), SIGNAL(tapped(QString)));
        show(QStringLiteral("<p>题干</p><img id=\"pic\" src=\"%1\" width=\"200\">"
                            "<img src=\"missing.png\" onerror=\"window.webkit.messageHandlers.imageClick.postMessage('handler')\">"
                            "<script>window.webkit.messageHandlers.imageClick.postMessage('script')</script>"
                            "<a id=\"away\" href=\"https://example.com/\">link</a>")
                 .arg(redSquare()));
        QTRY_VERIFY_WITH_TIMEOUT(evaluate("document.getElementById('pic').getBoundingClientRect().width").toDouble()
                                     > 150,
                                 15000);
        const QVariantList rect = evaluate("(function(){var r=document.getElementById('pic').getBoundingClientRect();"
                                           "return [r.x + r.width / 2, r.y + r.height / 2];})()")
                                      .toList();
        QCOMPARE(rect.size(), 2);
        auto *window = qobject_cast<QQuickWindow *>(m_window.get());
        QVERIFY(window);
        const QPoint centre(int(rect[0].toDouble()), int(rect[1].toDouble()));
        QTest::mouseMove(window, centre);
        QTest::qWait(50);
        QTest::mouseClick(window, Qt::LeftButton, {}, centre);
        QTRY_COMPARE_WITH_TIMEOUT(taps.count(), 1, 10000);
        QVERIFY(taps.first().first().toString().startsWith(QStringLiteral("data:image/png;base64,")));
        QTest::qWait(500);
        QCOMPARE(taps.count(), 1);

        // A link click is refused: the page stays.
        const QUrl page = controller()->pageUrl();
        evaluate("document.getElementById('away').click(); 1");
        QTest::qWait(500);
        QCOMPARE(evaluate("location.href").toString(), page.toString());
    }

    // A colour change recolours the loaded page without loading it again.
    void recolourKeepsTheDocument()
    {
        show(QStringLiteral("<p id=\"t\">颜色</p>"));
        view()->setProperty("textOpacity", 1.0);
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("getComputedStyle(document.getElementById('t')).color").toString(),
                                  QStringLiteral("rgb(51, 51, 51)"), 10000);
        evaluate("window.marker = 42; 1");
        view()->setProperty("transparentInkHex", QStringLiteral("#FF0000"));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("getComputedStyle(document.getElementById('t')).color").toString(),
                                  QStringLiteral("rgb(255, 0, 0)"), 10000);
        QCOMPARE(evaluate("window.marker").toInt(), 42);
        QCOMPARE(controller()->documentVersion(), 1);
    }

    // Under the window zoom the page is rendered at the zoomed size and keeps
    // reporting heights in the content's own units.
    void zoomedContentRendersAtTheZoomedSize()
    {
        show(QStringLiteral("<p>缩放</p><p>两行</p>"));
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > 10, 15000);
        const double plain = controller()->contentHeight();
        auto *zoom = m_window->findChild<QObject *>(QStringLiteral("zoom"));
        QVERIFY(zoom);
        zoom->setProperty("contentScale", 1.5);
        view()->setParentItem(qobject_cast<QQuickItem *>(zoom));
        auto *web = view()->property("webView").value<QQuickItem *>();
        QTRY_COMPARE(web->property("zoomFactor").toDouble(), 1.5);
        QCOMPARE(web->width(), view()->width() * 1.5);
        QCOMPARE(web->scale(), 1 / 1.5);
        evaluate("window.__notifyContentHeight(); 1");
        QTest::qWait(300);
        QVERIFY2(std::abs(controller()->contentHeight() - plain) <= 2,
                 qPrintable(QStringLiteral("%1 vs %2").arg(controller()->contentHeight()).arg(plain)));
    }

    // A clicked image opens in the sheet; what may not or cannot load says so.
    void imageViewerStates_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("emptyTitle"); // "" when the image shows
        QTest::newRow("data image") << redSquare() << "";
        QTest::newRow("relative address") << "img/a.png" << "图片加载失败";
        QTest::newRow("file address") << "file:///etc/hostname" << "图片加载失败";
        QTest::newRow("does not parse") << "http://exa mple.com/%zz" << "图片地址无效";
    }

    void imageViewerStates()
    {
        QFETCH(QString, source);
        QFETCH(QString, emptyTitle);
        QQmlComponent component(m_engine.get());
        component.setData(R"(
import QtQuick
import Vuzo
HtmlWebViewWithImageViewer { width: 300; height: 100; html: "<p>x</p>" }
)",
                          QUrl(QStringLiteral("qrc:/test/Viewer.qml")));
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        auto *viewer = qobject_cast<QQuickItem *>(object.get());
        auto *windowRoot = qobject_cast<QQuickWindow *>(m_window.get())->contentItem();
        viewer->setParentItem(windowRoot);
        QMetaObject::invokeMethod(viewer, "showImage", Q_ARG(QVariant, source));
        auto *sheet = viewer->property("imageViewer").value<QQuickItem *>();
        QVERIFY(sheet);
        QCOMPARE(sheet->parentItem(), windowRoot);
        QQuickItem *empty = nullptr;
        QQuickItem *image = nullptr;
        QList<QQuickItem *> pending{sheet};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeLast();
            if (item->objectName() == QLatin1String("imageViewerEmpty"))
                empty = item;
            if (item->objectName() == QLatin1String("imageViewerImage"))
                image = item;
            pending += item->childItems();
        }
        QVERIFY(empty && image);
        if (emptyTitle.isEmpty()) {
            QTRY_COMPARE(image->property("status").toInt(), 1); // Image.Ready
            QVERIFY(!empty->isVisible());
            // Decoded at the sheet's size, not the picture's own.
            QVERIFY(image->property("sourceSize").toSize().width() <= 640);
        } else {
            QTRY_VERIFY(empty->isVisible());
            QCOMPARE(empty->property("title").toString(), emptyTitle);
            QCOMPARE(image->property("status").toInt(), 0); // nothing requested
        }
        QMetaObject::invokeMethod(sheet, "closed");
        QTRY_VERIFY(!viewer->property("imageViewer").value<QQuickItem *>());
    }

    // The sheet is sized in screen points from the zoom and the screen's
    // visible frame, then drawn inside the zoomed content: in the content's
    // units it is that size over the zoom, and never beyond the window.
    void imageSheetSize()
    {
        auto *zoom = qobject_cast<QQuickItem *>(m_window->findChild<QObject *>(QStringLiteral("zoom")));
        QVERIFY(zoom);
        QQuickItem content(zoom);
        content.setSize(QSizeF(1000, 800));
        QQmlComponent component(m_engine.get());
        component.setData("import QtQuick\nimport Vuzo\nHtmlWebViewWithImageViewer { width: 300; height: 100 }",
                          QUrl(QStringLiteral("qrc:/test/Viewer.qml")));
        std::unique_ptr<QObject> object(component.create());
        QVERIFY2(object, qPrintable(component.errorString()));
        auto *viewer = qobject_cast<QQuickItem *>(object.get());
        viewer->setParentItem(&content);
        const QSizeF screen = qobject_cast<QQuickWindow *>(m_window.get())->screen()->availableGeometry().size();

        const auto shownCard = [&]() -> QQuickItem * {
            QMetaObject::invokeMethod(viewer, "showImage", Q_ARG(QVariant, redSquare()));
            auto *sheet = viewer->property("imageViewer").value<QQuickItem *>();
            if (!sheet || sheet->parentItem() != &content)
                return nullptr;
            QList<QQuickItem *> pending{sheet};
            while (!pending.isEmpty()) {
                QQuickItem *item = pending.takeLast();
                if (item->objectName() == QLatin1String("imageViewerCard"))
                    return item;
                pending += item->childItems();
            }
            return nullptr;
        };
        const auto expected = [&](double scale) {
            const QSizeF points = ContentViewRules::previewSize(scale, screen);
            return QSizeF(std::min(points.width() / scale, 960.0), std::min(points.height() / scale, 760.0));
        };
        for (double scale : {1.0, 1.5, 0.5}) {
            zoom->setProperty("contentScale", scale);
            QQuickItem *card = shownCard();
            QVERIFY(card);
            QCOMPARE(card->size(), expected(scale));
        }
        // A zoom change while it is up resizes it.
        QQuickItem *card = shownCard();
        zoom->setProperty("contentScale", 1.25);
        QTRY_COMPARE(card->size(), expected(1.25));
    }

    // The page's image layout: small images beside text are inline
    // formulas (never with the graphic flag, which takes the full width),
    // declared widths in %, pt and px are honoured up to the page width.
    void imageLayout_data()
    {
        QTest::addColumn<QString>("html"); // %1: the image's address
        QTest::addColumn<QSize>("picture");
        QTest::addColumn<bool>("graphic");
        QTest::addColumn<QString>("className");
        QTest::addColumn<QString>("width");
        const QSize small(40, 40);
        QTest::newRow("small image beside text") << "<p>设<img id=\"pic\" src=\"%1\">为常数</p>" << small << false
                                                 << "inline-formula" << "40px";
        QTest::newRow("the graphic flag takes the full width")
            << "<p>设<img id=\"pic\" src=\"%1\">为常数</p>" << small << true << "content-image" << "400px";
        QTest::newRow("alone in its paragraph") << "<p><img id=\"pic\" src=\"%1\"></p>" << small << false
                                                << "content-image" << "40px";
        QTest::newRow("taller than 120 beside text") << "<p>图<img id=\"pic\" src=\"%1\"></p>" << QSize(40, 130)
                                                     << false << "content-image" << "40px";
        QTest::newRow("75 % of a 400 px page") << "<img id=\"pic\" src=\"%1\" style=\"width: 75%\">" << small
                                               << false << "content-image" << "300px";
        QTest::newRow("72 pt") << "<img id=\"pic\" src=\"%1\" width=\"72pt\">" << small << false
                               << "content-image" << "96px";
        QTest::newRow("declared 0 takes the natural width") << "<img id=\"pic\" src=\"%1\" width=\"0\">" << small
                                                            << false << "content-image" << "40px";
        QTest::newRow("wider than the page is held to it") << "<img id=\"pic\" src=\"%1\" width=\"900\">"
                                                           << small << false << "content-image" << "400px";
    }

    void imageLayout()
    {
        QFETCH(QString, html);
        QFETCH(QSize, picture);
        QFETCH(bool, graphic);
        QFETCH(QString, className);
        QFETCH(QString, width);
        view()->setProperty("isGraphicReasoning", graphic);
        show(html.arg(redSquare(picture.width(), picture.height())));
        QTRY_VERIFY_WITH_TIMEOUT(!evaluate("document.getElementById('pic').style.width").toString().isEmpty(), 15000);
        QCOMPARE(evaluate("document.documentElement.clientWidth").toInt(), 400);
        QCOMPARE(evaluate("document.getElementById('pic').className").toString(), className);
        QCOMPARE(evaluate("document.getElementById('pic').style.width").toString(), width);
        QCOMPARE(evaluate("document.getElementById('pic').style.getPropertyPriority('width')").toString(),
                 QStringLiteral("important"));
    }

    // Only an image with an address posts its click.
    void imageClicksNeedAnAddress()
    {
        QSignalSpy taps(m_window.get(), SIGNAL(tapped(QString)));
        show(QStringLiteral("<p><img id=\"none\" alt=\"无\"><img id=\"empty\" src=\"\" alt=\"空\">"
                            "<img id=\"shown\" src=\"%1\"></p>")
                 .arg(redSquare()));
        QTRY_COMPARE_WITH_TIMEOUT(evaluate("document.getElementById('shown').dataset.macHandlersInstalled").toString(),
                                  QStringLiteral("true"), 15000);
        QCOMPARE(evaluate("document.getElementById('none').dataset.macHandlersInstalled").toString(),
                 QStringLiteral("true"));
        evaluate("document.getElementById('none').click(); document.getElementById('empty').click(); 1");
        QTest::qWait(300);
        QCOMPARE(taps.count(), 0);
        evaluate("document.getElementById('shown').click(); 1");
        QTRY_COMPARE(taps.count(), 1);
    }

    // An option is plain text unless it holds markup; HTML options are at
    // least 30 high and take no mouse input.
    void optionContent_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<QString>("plainText"); // "" for an HTML option
        QTest::newRow("plain with a comparison") << "x < 3" << "x < 3";
        QTest::newRow("character references decoded") << "A &amp; B" << "A & B";
        QTest::newRow("subscript is HTML") << "H<sub>2</sub>O" << "";
        QTest::newRow("escaped tags are HTML") << "&lt;p&gt;甲&lt;/p&gt;" << "";
    }

    void optionContent()
    {
        QFETCH(QString, content);
        QFETCH(QString, plainText);
        std::unique_ptr<QQuickItem> option = makeOption(300, content);
        QVERIFY(option);
        QCOMPARE(option->property("isMarkup").toBool(), plainText.isEmpty());
        auto *text = option->findChild<QQuickItem *>(QStringLiteral("optionPlainText"));
        QVERIFY(text);
        if (!plainText.isEmpty()) {
            QCOMPARE(text->property("text").toString(), plainText);
            QVERIFY(text->isVisible());
            return;
        }
        QVERIFY(!text->isVisible());
        QVERIFY(option->implicitHeight() >= 30);
        QQuickItem *web = nullptr;
        QList<QQuickItem *> pending{option.get()};
        while (!pending.isEmpty() && !web) {
            QQuickItem *item = pending.takeLast();
            if (QByteArray(item->metaObject()->className()).contains("WebEngineView"))
                web = item;
            pending += item->childItems();
        }
        QVERIFY(web);
        QVERIFY(!web->isEnabled());
    }

    // A bare paragraph is drawn as text, without a web view, and takes the
    // height its page gives it: a line box of the option style a line, at
    // least 30, and the same number of lines.
    void paragraphOptionTakesItsPageHeight_data()
    {
        QTest::addColumn<QString>("content");
        QTest::addColumn<int>("fontSize");
        QTest::newRow("one line") << "<p>选项1：增长约3%，比上年提高0个百分点</p>" << 16;
        QTest::newRow("several lines") << QStringLiteral("<p>%1</p>").arg(QString(QStringLiteral("城市更新不是简单的拆旧建新。")).repeated(6))
                                       << 16;
        QTest::newRow("analysis style, mixed text")
            << QStringLiteral("<p>%1</p>").arg(QString(QStringLiteral("Growth of 3.5% in 2023，比上年提高 0.4 个百分点；")).repeated(4))
            << 15;
    }

    void paragraphOptionTakesItsPageHeight()
    {
        QFETCH(QString, content);
        QFETCH(int, fontSize);
        std::unique_ptr<QQuickItem> option = makeOption(400, content, fontSize);
        QVERIFY(option);
        bool drawnAsText = false;
        QList<QQuickItem *> pending{option.get()};
        while (!pending.isEmpty()) {
            QQuickItem *item = pending.takeLast();
            QVERIFY2(!item->inherits("QQuickWebEngineView"), "a bare paragraph built a web view");
            drawnAsText = drawnAsText || item->objectName() == QLatin1String("optionParagraphText");
            pending += item->childItems();
        }
        QVERIFY(drawnAsText);

        // The same paragraph as a page in the option style, as wide.
        view()->setProperty("contentStyle", ContentViewRules::optionContentStyle(fontSize));
        show(content);
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > 10, 15000);
        const double page = std::max(30.0, controller()->contentHeight());
        QVERIFY2(std::abs(option->implicitHeight() - page) <= 1,
                 qPrintable(QStringLiteral("drawn %1 high, the page %2").arg(option->implicitHeight()).arg(page)));
    }

    // The wheel over the content is the scroller's, as if the view were not
    // there: a vertical turn is a user scroll of it (its movement signals
    // fire), a sideways one goes on to what lies beneath.
    void wheelGoesToWhatLiesBeneath()
    {
        show(QStringLiteral("<p>滚动</p><p>第二段</p>"));
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > 10, 15000);
        auto *window = qobject_cast<QQuickWindow *>(m_window.get());
        auto *flick = m_window->findChild<QQuickItem *>(QStringLiteral("flick"));
        QVERIFY(flick);
        QSignalSpy started(flick, SIGNAL(movementStarted()));
        QSignalSpy ended(flick, SIGNAL(movementEnded()));
        QCOMPARE(flick->property("contentY").toDouble(), 0.0);
        const QPoint at(100, 10);
        QVERIFY(view()->contains(view()->mapFromScene(at)));
        const auto turn = [&](QPoint angle) { turnWheel(window, at, angle); };
        turn(QPoint(0, -120));
        QTRY_VERIFY(flick->property("contentY").toDouble() > 0);
        QCOMPARE(started.count(), 1);
        QTRY_COMPARE(ended.count(), 1);
        QCOMPARE(evaluate("window.scrollY").toDouble(), 0.0);

        turn(QPoint(-120, 0));
        QTRY_COMPARE(m_window->property("sidewaysWheels").toInt(), 1);
        QCOMPARE(evaluate("window.scrollX").toDouble(), 0.0);
    }

    // A right click on selected text offers "拷贝", which copies it; a right
    // click without a selection offers nothing.
    void rightClickOnSelectionOffersCopy()
    {
        show(QStringLiteral("<p>可以复制的文字</p>"));
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > 10, 15000);
        auto *window = qobject_cast<QQuickWindow *>(m_window.get());
        const QPoint at(60, 10);
        const auto menu = [&] { return view()->property("copyMenu").value<QObject *>(); };
        QTest::mouseClick(window, Qt::RightButton, {}, at);
        QTest::qWait(300);
        QVERIFY(!menu() || !menu()->property("visible").toBool());

        evaluate("getSelection().selectAllChildren(document.body); getSelection().toString()");
        QTest::mouseClick(window, Qt::RightButton, {}, at);
        QTRY_VERIFY_WITH_TIMEOUT(menu() && menu()->property("visible").toBool(), 10000);
        QQuickItem *item = nullptr;
        QMetaObject::invokeMethod(menu(), "itemAt", Q_RETURN_ARG(QQuickItem *, item), Q_ARG(int, 0));
        QVERIFY(item);
        QCOMPARE(item->property("text").toString(), QStringLiteral("拷贝"));
        QGuiApplication::clipboard()->clear();
        QMetaObject::invokeMethod(item, "triggered");
        QTRY_COMPARE(QGuiApplication::clipboard()->text().trimmed(), QStringLiteral("可以复制的文字"));
    }

    // A tall page is drawn in a band around what the scroller shows, and
    // everything in it stays where the page puts it: the reported height,
    // what is drawn, clicks on images and text selection.
    void tallPageIsDrawnAroundWhatShows_data()
    {
        QTest::addColumn<double>("zoom");
        QTest::newRow("unzoomed") << 1.0;
        QTest::newRow("zoomed") << 1.5;
    }

    void tallPageIsDrawnAroundWhatShows()
    {
        QFETCH(double, zoom);
        m_window->findChild<QObject *>(QStringLiteral("flick"))->setProperty("contentScale", zoom);
        show(QStringLiteral("<div style=\"position: relative; height: 6000px\">"
                            "<div style=\"position: absolute; top: 3000px; width: 200px; height: 100px;"
                            " background: #ff0000\"></div>"
                            "<p id=\"deep\" style=\"position: absolute; top: 4000px; margin: 0\">深处的文字</p>"
                            "<img id=\"pic\" src=\"%1\" style=\"position: absolute; top: 5000px\"></div>")
                 .arg(redSquare(200, 100)));
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() >= 6000, 15000);
        QCOMPARE(view()->height(), controller()->contentHeight());
        auto *window = qobject_cast<QQuickWindow *>(m_window.get());
        auto *flick = m_window->findChild<QQuickItem *>(QStringLiteral("flick"));
        auto *web = view()->property("webView").value<QQuickItem *>();
        QVERIFY(flick && web);
        // Two screens of the 500 high scroller, not the page's 6000.
        QCOMPARE(web->height() * web->scale(), 1000.0);
        QCOMPARE(web->y(), 0.0);

        // The band follows the scroller; the page inside scrolls to it.
        const auto bandCovers = [&](double contentY) {
            return web->y() <= contentY && web->y() + web->height() * web->scale() >= contentY + flick->height()
                && std::abs(evaluate("window.scrollY").toDouble() - web->y()) < 1;
        };
        flick->setProperty("contentY", 2950.0);
        QTRY_VERIFY_WITH_TIMEOUT(bandCovers(2950), 10000);
        QCOMPARE(web->height() * web->scale(), 1000.0);
        // The red block at 3000...3100 of the page shows 50...150 down the window.
        QTest::qWait(300);
        const QImage shot = window->grabWindow();
        QCOMPARE(shot.pixelColor(100, 100), QColor(Qt::red));
        QVERIFY(shot.pixelColor(100, 20) != QColor(Qt::red));
        QVERIFY(shot.pixelColor(100, 180) != QColor(Qt::red));

        // Text deep in the page is selected where it shows.
        flick->setProperty("contentY", 3900.0);
        QTRY_VERIFY_WITH_TIMEOUT(bandCovers(3900), 10000);
        const double deep = evaluate("document.getElementById('deep').getBoundingClientRect().top + scrollY").toDouble();
        QCOMPARE(deep, 4000.0);
        const QPoint word(20, int(deep - 3900) + 10);
        QTest::mouseDClick(window, Qt::LeftButton, {}, word);
        QTRY_VERIFY_WITH_TIMEOUT(!evaluate("getSelection().toString()").toString().isEmpty(), 10000);
        QVERIFY(QStringLiteral("深处的文字").contains(evaluate("getSelection().toString()").toString()));

        // An image deep in the page takes its click where it shows.
        QSignalSpy taps(m_window.get(), SIGNAL(tapped(QString)));
        flick->setProperty("contentY", 4900.0);
        QTRY_VERIFY_WITH_TIMEOUT(bandCovers(4900), 10000);
        const QPoint picture(100, 5000 + 50 - 4900);
        QTest::mouseMove(window, picture);
        QTest::qWait(50);
        QTest::mouseClick(window, Qt::LeftButton, {}, picture);
        QTRY_COMPARE_WITH_TIMEOUT(taps.count(), 1, 10000);

        // Back at the top, the band is too; a short page is drawn whole.
        flick->setProperty("contentY", 0.0);
        QTRY_VERIFY_WITH_TIMEOUT(bandCovers(0), 10000);
        show(QStringLiteral("<div style=\"height: 900px\">短</div>"));
        QTRY_COMPARE_WITH_TIMEOUT(controller()->contentHeight(), 900.0, 15000);
        QTRY_COMPARE(web->height() * web->scale(), 900.0);
        QCOMPARE(web->y(), 0.0);
    }

    // The warm-up loads its page while the policy holds it: once the engine
    // is to start (after its delay), at once on intent, and through the
    // hand-over once no longer wanted; the page goes after each.
    void warmupFollowsThePolicy()
    {
        QQmlComponent component(m_engine.get());
        component.setData("import QtQuick\nimport Vuzo\n"
                          "ContentWarmup { readonly property QtObject policy: ContentWarmupPolicy }",
                          QUrl(QStringLiteral("qrc:/test/Warmup.qml")));
        std::unique_ptr<QQuickItem> warmup(qobject_cast<QQuickItem *>(component.create()));
        QVERIFY2(warmup, qPrintable(component.errorString()));
        auto *policy = qobject_cast<ContentWarmupPolicy *>(warmup->property("policy").value<QObject *>());
        QVERIFY(policy);
        ContentWarmupPolicy::Durations times;
        times.startDelayMs = 300;
        times.engineHoldMs = 800;
        times.intentHoldMs = 600;
        times.handOverMs = 700;
        policy->setDurations(times);
        warmup->setParentItem(qobject_cast<QQuickWindow *>(m_window.get())->contentItem());
        auto *loader = warmup->findChild<QObject *>(QStringLiteral("warmupLoader"));
        QVERIFY(loader);
        const auto page = [&] { return loader->property("item").value<QObject *>(); };

        // Intent counts only while wanted.
        policy->intentShown();
        QTest::qWait(50);
        QVERIFY(!page());

        warmup->setProperty("wanted", true);
        QVERIFY(policy->available());
        QVERIFY(!page());
        QTRY_VERIFY_WITH_TIMEOUT(warmup->property("warm").toBool(), 15000);
        QVERIFY(policy->pageLoaded());
        // Let go a while after loading although still wanted.
        QTRY_VERIFY_WITH_TIMEOUT(!page(), 5000);
        QVERIFY(!warmup->property("warm").toBool());
        QTest::qWait(500);
        QVERIFY(!page());

        // Intent loads it at once; quiet lets it go.
        policy->intentShown();
        QVERIFY(page());
        QTRY_VERIFY_WITH_TIMEOUT(warmup->property("warm").toBool(), 15000);
        QTRY_VERIFY_WITH_TIMEOUT(!page(), 5000);

        // Held through the hand-over once no longer wanted.
        policy->intentShown();
        QTRY_VERIFY_WITH_TIMEOUT(warmup->property("warm").toBool(), 15000);
        warmup->setProperty("wanted", false);
        QTest::qWait(300);
        QVERIFY(page());
        QTRY_VERIFY_WITH_TIMEOUT(!page(), 5000);
    }

    // Once the program's root view has the engine up, it holds the question
    // screen's compiled component, and keeps it through a collection, so the
    // first set does not compile the screen on its way to the first stem.
    void rootViewKeepsTheQuestionScreenCompiled()
    {
        QQmlComponent component(m_engine.get());
        component.setData("import QtQuick\nimport Vuzo\nRootView { width: 600; height: 500; warmsContent: true }",
                          QUrl(QStringLiteral("qrc:/test/Root.qml")));
        std::unique_ptr<QQuickItem> root(qobject_cast<QQuickItem *>(component.create()));
        QVERIFY2(root, qPrintable(component.errorString()));
        root->setParentItem(qobject_cast<QQuickWindow *>(m_window.get())->contentItem());
        const auto compiled = [&] { return root->property("questionScreenType").value<QQmlComponent *>(); };
        QTRY_VERIFY_WITH_TIMEOUT(compiled() && compiled()->isReady(), 20000);
        m_engine->collectGarbage();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QTest::qWait(50);
        QVERIFY(compiled());
        QCOMPARE(compiled()->url(), ScreenCatalog::viewUrl(int(AppScreen::questions)));
    }

    // A page above the tallest view is shown at that height, not dropped;
    // once the scroller is at its end the page scrolls inside itself, so its
    // end can be reached.
    void tallPageScrollsInside()
    {
        show(QStringLiteral("<div style=\"height: 45000px\">开头</div><p id=\"end\">结尾</p>"));
        QTRY_COMPARE_WITH_TIMEOUT(controller()->contentHeight(), HtmlContentController::maximumHeight, 15000);
        QVERIFY(controller()->scrollsInside());
        QCOMPARE(view()->height(), HtmlContentController::maximumHeight);
        auto *window = qobject_cast<QQuickWindow *>(m_window.get());
        auto *flick = m_window->findChild<QQuickItem *>(QStringLiteral("flick"));
        // Little below the view, so its foot is in sight at the scroller's end.
        flick->setProperty("contentHeight", view()->height() + 100);
        const QPoint at(100, 200);
        const auto turn = [&](int angle) { turnWheel(window, at, QPoint(0, angle)); };
        // While the scroller can move, the wheel is its own.
        turn(-120);
        QTRY_VERIFY(flick->property("contentY").toDouble() > 0);
        QCOMPARE(evaluate("window.scrollY").toDouble(), 0.0);
        // At its end (the view's foot in sight, more below it), the page moves.
        const double bottom = flick->property("contentHeight").toDouble() - flick->height();
        QTRY_VERIFY(!flick->property("moving").toBool());
        flick->setProperty("contentY", bottom - 700);
        QVERIFY(view()->contains(view()->mapFromScene(at)));
        for (int i = 0; i < 400 && flick->property("contentY").toDouble() < bottom - 0.5; ++i) {
            turn(-1200);
            QTest::qWait(5);
        }
        QTRY_VERIFY(!flick->property("moving").toBool());
        QCOMPARE(flick->property("contentY").toDouble(), bottom);
        for (int i = 0; i < 40; ++i)
            turn(-1200);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate("window.scrollY").toDouble() > 0, 10000);
        QTRY_VERIFY_WITH_TIMEOUT(evaluate("window.scrollY").toDouble() >= 14000, 20000);
        QCOMPARE(flick->property("contentY").toDouble(), bottom);
    }
};

int main(int argc, char *argv[])
{
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication app(argc, argv);
    TestHtmlWebView test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_htmlwebview.moc"
