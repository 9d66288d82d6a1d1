#include "HtmlContentController.h"
#include "HtmlPageTemplate.h"
#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QSignalSpy>
#include <QTest>

#include <cmath>
#include <limits>

namespace {

QJsonObject resize(const QJsonValue &value, const QJsonValue &version, const QJsonValue &type = QStringLiteral("height"))
{
    QJsonObject body{{QStringLiteral("value"), value}, {QStringLiteral("version"), version}};
    if (!type.isUndefined())
        body.insert(QStringLiteral("type"), type);
    return body;
}

// A controller with a width and its first page loaded.
struct Loaded
{
    HtmlContentController controller;
    Loaded()
    {
        controller.setHtml(QStringLiteral("<p>甲</p>"));
        controller.setTextOpacity(0.86);
        controller.setImageOpacity(1.0);
        controller.setViewWidth(400);
        controller.flush();
    }
};

} // namespace

class TestHtmlContentController : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { TransparentAppearanceScale::setCurrentValue(1.0); }

    // Nothing loads before the view has a width; the first apply loads even
    // when every input is at its initial value.
    void firstLoadWaitsForWidth()
    {
        HtmlContentController controller;
        QSignalSpy pages(&controller, &HtmlContentController::pageUrlChanged);
        controller.flush();
        QCOMPARE(pages.count(), 0);
        QCOMPARE(controller.documentVersion(), 0);
        controller.setViewWidth(320);
        QTRY_COMPARE(pages.count(), 1);
        QCOMPARE(controller.documentVersion(), 1);
        QVERIFY(controller.pageUrl().toString().endsWith(QStringLiteral("/1")));
    }

    void reloadOrRecolour_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<bool>("reloads");
        QTest::addColumn<bool>("recolours");
        QTest::newRow("nothing") << "none" << false << false;
        QTest::newRow("same html again") << "sameHtml" << false << false;
        QTest::newRow("html") << "html" << true << false;
        QTest::newRow("style") << "style" << true << false;
        QTest::newRow("graphic flag") << "graphic" << true << false;
        QTest::newRow("text opacity") << "text" << false << true;
        QTest::newRow("image opacity") << "image" << false << true;
        QTest::newRow("ink colour on") << "ink" << false << true;
        QTest::newRow("ink intensity alone") << "intensity" << false << true;
        QTest::newRow("NaN opacity counts as a change") << "nan" << false << true;
        QTest::newRow("level without ink") << "level" << false << false;
        QTest::newRow("level with ink") << "inkThenLevel" << false << true;
        QTest::newRow("html and colour together") << "htmlAndText" << true << false;
    }

    void reloadOrRecolour()
    {
        QFETCH(QString, change);
        QFETCH(bool, reloads);
        QFETCH(bool, recolours);
        Loaded loaded;
        HtmlContentController &c = loaded.controller;
        if (change == QLatin1String("inkThenLevel")) {
            c.setTransparentInkHex(QStringLiteral("#112233"));
            c.flush();
        }
        QSignalSpy pages(&c, &HtmlContentController::pageUrlChanged);
        QSignalSpy scripts(&c, &HtmlContentController::scriptRequested);

        if (change == QLatin1String("sameHtml"))
            c.setHtml(c.html());
        else if (change == QLatin1String("html"))
            c.setHtml(QStringLiteral("<p>乙</p>"));
        else if (change == QLatin1String("style"))
            c.setContentStyle(HtmlContentStyle::QuestionOption);
        else if (change == QLatin1String("graphic"))
            c.setIsGraphicReasoning(true);
        else if (change == QLatin1String("text"))
            c.setTextOpacity(0.5);
        else if (change == QLatin1String("image"))
            c.setImageOpacity(0.68);
        else if (change == QLatin1String("ink"))
            c.setTransparentInkHex(QStringLiteral("#112233"));
        else if (change == QLatin1String("intensity"))
            c.setTransparentInkIntensity(0.4);
        else if (change == QLatin1String("nan"))
            c.setTextOpacity(std::numeric_limits<double>::quiet_NaN());
        else if (change == QLatin1String("level") || change == QLatin1String("inkThenLevel"))
            TransparentAppearanceScale::setCurrentValue(1.4);
        else if (change == QLatin1String("htmlAndText")) {
            c.setHtml(QStringLiteral("<p>丙</p>"));
            c.setTextOpacity(0.2);
        }
        c.flush();

        QCOMPARE(pages.count(), reloads ? 1 : 0);
        QCOMPARE(c.documentVersion(), reloads ? 2 : (change == QLatin1String("inkThenLevel") ? 1 : 1));
        QCOMPARE(scripts.count(), recolours ? 1 : 0);
        if (recolours) {
            // A recolour never asks for a new height.
            QVERIFY(!scripts.first().first().toString().contains(QStringLiteral("__notifyContentHeight")));
        }
    }

    // A drag of the colour wheel sends a burst of changes: one recolour per frame.
    void recoloursAreCoalesced()
    {
        Loaded loaded;
        QSignalSpy scripts(&loaded.controller, &HtmlContentController::scriptRequested);
        for (int i = 0; i < 20; ++i)
            loaded.controller.setTextOpacity(0.5 + i / 100.0);
        QTRY_COMPARE(scripts.count(), 1);
        QVERIFY(scripts.first().first().toString().contains(QStringLiteral("rgba(51, 51, 51, 0.69)")));
        QTest::qWait(40);
        QCOMPARE(scripts.count(), 1);
    }

    void loadEndAndActivationRecolourAndAskForHeight()
    {
        Loaded loaded;
        QSignalSpy scripts(&loaded.controller, &HtmlContentController::scriptRequested);
        loaded.controller.loadFinished(true);
        loaded.controller.applicationBecameActive();
        loaded.controller.loadFinished(false);
        QCOMPARE(scripts.count(), 2);
        for (const auto &call : scripts)
            QVERIFY(call.first().toString().endsWith(QStringLiteral("window.__notifyContentHeight(); }")));
    }

    void heightReports_data()
    {
        QTest::addColumn<QJsonValue>("body");
        QTest::addColumn<double>("expected");
        // The controller's height starts at 100 (set by a first report).
        QTest::newRow("accepted") << QJsonValue(resize(240.5, 1)) << 240.5;
        QTest::newRow("version as a double") << QJsonValue(resize(240, 1.0)) << 240.0;
        QTest::newRow("fractional version") << QJsonValue(resize(240, 1.5)) << 100.0;
        QTest::newRow("version as text") << QJsonValue(resize(240, QStringLiteral("1"))) << 100.0;
        QTest::newRow("stale version") << QJsonValue(resize(240, 0)) << 100.0;
        QTest::newRow("future version") << QJsonValue(resize(240, 2)) << 100.0;
        QTest::newRow("zero height") << QJsonValue(resize(0, 1)) << 100.0;
        QTest::newRow("negative height") << QJsonValue(resize(-5, 1)) << 100.0;
        QTest::newRow("height as text") << QJsonValue(resize(QStringLiteral("240"), 1)) << 100.0;
        QTest::newRow("just above the cap is held at it") << QJsonValue(resize(30001, 1)) << 30000.0;
        QTest::newRow("far above the cap is held at it") << QJsonValue(resize(90000, 1)) << 30000.0;
        QTest::newRow("largest height") << QJsonValue(resize(30000, 1)) << 30000.0;
        QTest::newRow("0.4 away") << QJsonValue(resize(100.4, 1)) << 100.0;
        QTest::newRow("0.6 away") << QJsonValue(resize(100.6, 1)) << 100.6;
        QTest::newRow("other type") << QJsonValue(resize(240, 1, QStringLiteral("width"))) << 100.0;
        QTest::newRow("no type") << QJsonValue(resize(240, 1, QJsonValue::Undefined)) << 100.0;
        QTest::newRow("not an object") << QJsonValue(240) << 100.0;
        QTest::newRow("array") << QJsonValue(QJsonArray{240, 1}) << 100.0;
    }

    void heightReports()
    {
        QFETCH(QJsonValue, body);
        QFETCH(double, expected);
        Loaded loaded;
        HtmlContentController &c = loaded.controller;
        c.handleMessage(QStringLiteral("resize"), resize(100, 1));
        QTRY_COMPARE(c.contentHeight(), 100.0);
        c.handleMessage(QStringLiteral("resize"), body);
        // Applied on a later turn, never at once; that turn comes after a
        // frame, later on a busy machine, and what it writes stays.
        QCOMPARE(c.contentHeight(), 100.0);
        QTRY_COMPARE(c.contentHeight(), expected);
        QTest::qWait(30);
        QCOMPARE(c.contentHeight(), expected);
    }

    // A page taller than the cap is shown at the cap and scrolls inside
    // itself; back under the cap it is whole again and stops scrolling. A
    // new document starts unscrolled.
    void tallPagesScrollInside()
    {
        Loaded loaded;
        HtmlContentController &c = loaded.controller;
        QSignalSpy scripts(&c, &HtmlContentController::scriptRequested);
        c.handleMessage(QStringLiteral("resize"), resize(45000, 1));
        QTRY_COMPARE(c.contentHeight(), HtmlContentController::maximumHeight);
        QVERIFY(c.scrollsInside());
        QCOMPARE(scripts.count(), 1);
        QCOMPARE(scripts.last().first().toString(), HtmlPageTemplate::innerScrollScript(true));
        // Still too tall: nothing to tell the page again.
        c.handleMessage(QStringLiteral("resize"), resize(46000, 1));
        QTest::qWait(30);
        QCOMPARE(scripts.count(), 1);
        // A renderer restart loads the same page: it scrolls again.
        c.loadFinished(true);
        QCOMPARE(scripts.last().first().toString(), HtmlPageTemplate::innerScrollScript(true));
        const int afterRestart = int(scripts.count());

        c.handleMessage(QStringLiteral("resize"), resize(800, 1));
        QTRY_COMPARE(c.contentHeight(), 800.0);
        QVERIFY(!c.scrollsInside());
        QCOMPARE(scripts.count(), afterRestart + 1);
        QCOMPARE(scripts.last().first().toString(), HtmlPageTemplate::innerScrollScript(false));

        c.handleMessage(QStringLiteral("resize"), resize(31000, 1));
        QTRY_VERIFY(c.scrollsInside());
        c.setHtml(QStringLiteral("<p>新</p>"));
        c.flush();
        QVERIFY(!c.scrollsInside());
        QCOMPARE(c.contentHeight(), HtmlContentController::maximumHeight); // kept until the new page reports
    }

    // A change made while a loaded view has no width waits for one, then goes out.
    void changesWaitingForAWidth()
    {
        Loaded loaded;
        HtmlContentController &c = loaded.controller;
        QSignalSpy pages(&c, &HtmlContentController::pageUrlChanged);
        QSignalSpy scripts(&c, &HtmlContentController::scriptRequested);
        c.setViewWidth(0);
        c.setHtml(QStringLiteral("<p>乙</p>"));
        c.setTextOpacity(0.4);
        c.flush();
        QTest::qWait(30);
        QCOMPARE(pages.count(), 0);
        QCOMPARE(c.documentVersion(), 1);
        c.setViewWidth(250);
        QTRY_COMPARE(pages.count(), 1);
        QCOMPARE(c.documentVersion(), 2);
        QVERIFY(c.currentPage().contains(QStringLiteral("<p>乙</p>")));
        QVERIFY(c.currentPage().contains(QStringLiteral("rgba(51, 51, 51, 0.4)")));

        // A recolour alone waits the same way.
        c.setViewWidth(0);
        c.setTextOpacity(0.7);
        c.flush();
        QCOMPARE(scripts.count(), 0);
        c.setViewWidth(250);
        QTRY_COMPARE(scripts.count(), 1);
        QVERIFY(scripts.first().first().toString().contains(QStringLiteral("rgba(51, 51, 51, 0.7)")));
        // A new width of a view that had one changes nothing.
        c.setViewWidth(300);
        QTest::qWait(30);
        QCOMPARE(scripts.count(), 1);
        QCOMPARE(pages.count(), 1);
    }

    // Reports of a document replaced before the write never land; the last
    // of several reports within a turn wins, and so does a return to the
    // current height.
    void heightWritesFollowTheCurrentDocument()
    {
        Loaded loaded;
        HtmlContentController &c = loaded.controller;
        QSignalSpy heights(&c, &HtmlContentController::contentHeightChanged);
        c.handleMessage(QStringLiteral("resize"), resize(300, 1));
        c.setHtml(QStringLiteral("<p>new</p>"));
        c.flush();
        QTest::qWait(30);
        QCOMPARE(heights.count(), 0);
        c.handleMessage(QStringLiteral("resize"), resize(300, 2));
        c.handleMessage(QStringLiteral("resize"), resize(420, 2));
        QTRY_COMPARE(c.contentHeight(), 420.0);
        QCOMPARE(heights.count(), 1);
        c.handleMessage(QStringLiteral("resize"), resize(500, 2));
        c.handleMessage(QStringLiteral("resize"), resize(420, 2));
        QTest::qWait(30);
        QCOMPARE(c.contentHeight(), 420.0);
        QCOMPARE(heights.count(), 1);
    }

    void imageClicks()
    {
        Loaded loaded;
        QSignalSpy taps(&loaded.controller, &HtmlContentController::imageTapped);
        loaded.controller.handleMessage(QStringLiteral("imageClick"), QStringLiteral("img/a.png"));
        loaded.controller.handleMessage(QStringLiteral("imageClick"), QJsonObject{{"src", "x"}});
        loaded.controller.handleMessage(QStringLiteral("other"), QStringLiteral("b.png"));
        QCOMPARE(taps.count(), 1);
        QCOMPARE(taps.first().first().toString(), QStringLiteral("img/a.png"));
    }

    void navigation()
    {
        Loaded loaded;
        const HtmlContentController &c = loaded.controller;
        QVERIFY(c.acceptsNavigation(c.pageUrl(), true));
        QVERIFY(!c.acceptsNavigation(c.pageUrl(), false));
        QVERIFY(!c.acceptsNavigation(QUrl(QStringLiteral("https://example.com/")), true));
        QVERIFY(!c.acceptsNavigation(QUrl(QStringLiteral("javascript:alert(1)")), true));
        QVERIFY(!c.acceptsNavigation(QUrl(c.pageUrl().toString() + QStringLiteral("#x")), true));
        HtmlContentController fresh;
        QVERIFY(!fresh.acceptsNavigation(QUrl(), true));
    }

    void renderProcessEndReloadsOnlyALoadedPage()
    {
        HtmlContentController fresh;
        QSignalSpy none(&fresh, &HtmlContentController::reloadRequested);
        fresh.renderProcessEnded();
        QCOMPARE(none.count(), 0);
        Loaded loaded;
        QSignalSpy reloads(&loaded.controller, &HtmlContentController::reloadRequested);
        loaded.controller.renderProcessEnded();
        QCOMPARE(reloads.count(), 1);
        QCOMPARE(loaded.controller.documentVersion(), 1);
    }
};

QTEST_GUILESS_MAIN(TestHtmlContentController)
#include "tst_htmlcontentcontroller.moc"
