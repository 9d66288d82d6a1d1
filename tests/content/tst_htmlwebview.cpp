#include "ContentEngineSetup.h"
#include "HtmlContentController.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QWheelEvent>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QQuickItem>
#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>

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
    signal tapped(string source)
    function evaluate(script) {
        view.webView.runJavaScript(script, function (result) { lastResult = result; results += 1; });
    }
    Flickable {
        id: flick
        objectName: "flick"
        anchors.fill: parent
        contentHeight: view.height + 600
        HtmlWebView {
            id: view
            width: 400
            height: Math.max(20, contentHeight)
            onImageTapped: (source) => tapped(source)
        }
    }
}
)";

// A 40 x 40 red PNG.
QString redSquare()
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return QStringLiteral("data:image/png;base64,") + QString::fromLatin1(png.toBase64());
}

} // namespace

class TestHtmlWebView : public QObject
{
    Q_OBJECT

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

private Q_SLOTS:
    void init()
    {
        m_engine = std::make_unique<QQmlEngine>();
        m_engine->addImportPath(QStringLiteral("qrc:/"));
        QQmlComponent component(m_engine.get());
        component.setData(windowQml, QUrl(QStringLiteral("qrc:/test/Window.qml")));
        m_window.reset(component.create());
        QVERIFY2(m_window, qPrintable(component.errorString()));
    }

    void cleanup()
    {
        m_window.reset();
        m_engine.reset();
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

    // The wheel over the content scrolls the screen, not the page.
    void wheelScrollsTheEnclosingFlickable()
    {
        show(QStringLiteral("<p>滚动</p>"));
        QTRY_VERIFY_WITH_TIMEOUT(controller()->contentHeight() > 10, 15000);
        auto *window = qobject_cast<QQuickWindow *>(m_window.get());
        auto *flick = m_window->findChild<QQuickItem *>(QStringLiteral("flick"));
        QVERIFY(flick);
        QCOMPARE(flick->property("contentY").toDouble(), 0.0);
        const QPoint at(100, 10);
        QWheelEvent wheel(at, window->mapToGlobal(at), QPoint(), QPoint(0, -120), Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QGuiApplication::sendEvent(window, &wheel);
        QTRY_VERIFY(flick->property("contentY").toDouble() > 0);
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
