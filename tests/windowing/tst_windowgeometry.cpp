#include "ShellFakes.h"
#include "windowing/WindowGeometryManager.h"
#include "windowing/WindowMath.h"

#include <QTest>
#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(ScreenInfo)
Q_DECLARE_METATYPE(std::optional<QPointF>)

class TestWindowGeometry : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void normalizedZoom_data();
    void normalizedZoom();
    void halfOpenContains_data();
    void halfOpenContains();
    void minimumPanelSize_data();
    void minimumPanelSize();
    void savedBaseSize_data();
    void savedBaseSize();
    void savedScale_data();
    void savedScale();
    void initialFrameNearMouse_data();
    void initialFrameNearMouse();
    void fittedFrame_data();
    void fittedFrame();
    void persistWindowSize();
    void refreshWindowRegion();
};

void TestWindowGeometry::normalizedZoom_data()
{
    QTest::addColumn<double>("requested");
    QTest::addColumn<double>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("1.07") << 1.07 << 1.05;
    QTest::newRow("1.08") << 1.08 << 1.1;
    QTest::newRow("1.125 half goes up") << 1.125 << 1.15;
    QTest::newRow("1.025 half goes up") << 1.025 << 1.05;
    QTest::newRow("0.97") << 0.97 << 0.95;
    QTest::newRow("1.23") << 1.23 << 1.25;
    QTest::newRow("2.0 clamped") << 2.0 << 1.5;
    QTest::newRow("0.1 clamped") << 0.1 << 0.5;
    QTest::newRow("-3 clamped") << -3.0 << 0.5;
    QTest::newRow("huge") << 1e308 << 1.5;
    QTest::newRow("nan") << std::nan("") << 1.0;
    QTest::newRow("+inf") << inf << 1.0;
    QTest::newRow("-inf") << -inf << 1.0;
}

void TestWindowGeometry::normalizedZoom()
{
    QFETCH(double, requested);
    QFETCH(double, expected);
    QCOMPARE(WindowMath::normalizedZoom(requested), expected);
}

void TestWindowGeometry::halfOpenContains_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("inside");
    // Rectangle 10, 20, 100 x 50: x in [10, 110), y in [20, 70).
    QTest::newRow("left edge") << QPointF(10, 40) << true;
    QTest::newRow("top edge") << QPointF(50, 20) << true;
    QTest::newRow("top-left corner") << QPointF(10, 20) << true;
    QTest::newRow("right edge") << QPointF(110, 40) << false;
    QTest::newRow("bottom edge") << QPointF(50, 70) << false;
    QTest::newRow("just inside bottom-right") << QPointF(109.99, 69.99) << true;
    QTest::newRow("left of it") << QPointF(9.99, 40) << false;
    QTest::newRow("above it") << QPointF(50, 19.99) << false;
}

void TestWindowGeometry::halfOpenContains()
{
    QFETCH(QPointF, point);
    QFETCH(bool, inside);
    QCOMPARE(WindowMath::halfOpenContains(QRectF(10, 20, 100, 50), point), inside);
}

void TestWindowGeometry::minimumPanelSize_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSizeF>("area");
    QTest::addColumn<QSizeF>("expected");
    QTest::newRow("zoom 1.0") << 1.0 << QSizeF(1440, 875) << QSizeF(450, 600);
    QTest::newRow("zoom 1.5 limited by height") << 1.5 << QSizeF(1440, 875) << QSizeF(675, 875);
    QTest::newRow("zoom 0.5") << 0.5 << QSizeF(1440, 875) << QSizeF(225, 300);
    QTest::newRow("tiny area") << 1.0 << QSizeF(400, 300) << QSizeF(400, 300);
}

void TestWindowGeometry::minimumPanelSize()
{
    QFETCH(double, zoom);
    QFETCH(QSizeF, area);
    QFETCH(QSizeF, expected);
    QCOMPARE(WindowMath::minimumPanelSize(zoom, area), expected);
}

void TestWindowGeometry::savedBaseSize_data()
{
    QTest::addColumn<QVariant>("width");
    QTest::addColumn<QVariant>("height");
    QTest::addColumn<QSizeF>("expected");
    const double inf = std::numeric_limits<double>::infinity();
    QTest::newRow("nothing stored") << QVariant() << QVariant() << QSizeF(1060, 740);
    QTest::newRow("small values raised") << QVariant(300.0) << QVariant(500.0) << QSizeF(450, 600);
    QTest::newRow("integers count") << QVariant(qint64(900)) << QVariant(700) << QSizeF(900, 700);
    QTest::newRow("string width") << QVariant(QStringLiteral("900")) << QVariant(700.0) << QSizeF(1060, 700);
    QTest::newRow("infinite height") << QVariant(900.0) << QVariant(inf) << QSizeF(900, 740);
    QTest::newRow("nan width") << QVariant(std::nan("")) << QVariant(650.0) << QSizeF(1060, 650);
    QTest::newRow("boolean is no number") << QVariant(true) << QVariant(false) << QSizeF(1060, 740);
}

void TestWindowGeometry::savedBaseSize()
{
    QFETCH(QVariant, width);
    QFETCH(QVariant, height);
    QFETCH(QSizeF, expected);
    MemoryStore store;
    if (width.isValid())
        store.values.insert(WindowGeometryManager::widthKey, width);
    if (height.isValid())
        store.values.insert(WindowGeometryManager::heightKey, height);
    QCOMPARE(WindowGeometryManager::savedBaseSize(store), expected);
}

void TestWindowGeometry::savedScale_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<double>("expected");
    QTest::newRow("missing") << QVariant() << 1.0;
    QTest::newRow("0.97") << QVariant(0.97) << 0.95;
    QTest::newRow("1.23") << QVariant(1.23) << 1.25;
    QTest::newRow("1.025") << QVariant(1.025) << 1.05;
    QTest::newRow("2.0") << QVariant(2.0) << 1.5;
    QTest::newRow("0.1") << QVariant(0.1) << 0.5;
    QTest::newRow("-3") << QVariant(-3) << 0.5;
    QTest::newRow("nan") << QVariant(std::nan("")) << 1.0;
    QTest::newRow("string") << QVariant(QStringLiteral("1.2")) << 1.0;
}

void TestWindowGeometry::savedScale()
{
    QFETCH(QVariant, stored);
    QFETCH(double, expected);
    MemoryStore store;
    if (stored.isValid())
        store.values.insert(WindowGeometryManager::scaleKey, stored);
    QCOMPARE(WindowGeometryManager::savedScale(store), expected);
}

void TestWindowGeometry::initialFrameNearMouse_data()
{
    QTest::addColumn<QList<ScreenInfo>>("screens");
    QTest::addColumn<std::optional<QPointF>>("pointer");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QRectF>("expected");

    // A 1440 x 900 screen with a 25-px bar on top: visible frame 1440 x 875.
    const ScreenInfo laptop{{0, 0, 1440, 900}, {0, 25, 1440, 875}};
    const ScreenInfo right{{1440, 0, 1920, 1080}, {1440, 0, 1920, 1040}};

    QTest::newRow("centred on the pointer")
        << QList<ScreenInfo>{laptop} << std::optional<QPointF>(QPointF(720, 460)) << 1.0
        << QRectF(720 - 530, 460 - 370, 1060, 740);
    QTest::newRow("zoom 1.5 fills the visible frame")
        << QList<ScreenInfo>{laptop} << std::optional<QPointF>(QPointF(700, 400)) << 1.5 << QRectF(0, 25, 1440, 875);
    QTest::newRow("top-right corner keeps right and top edges")
        << QList<ScreenInfo>{laptop} << std::optional<QPointF>(QPointF(1439, 0)) << 1.0
        << QRectF(1440 - 1060, 25, 1060, 740);
    QTest::newRow("pointer on no screen uses the main screen")
        << QList<ScreenInfo>{laptop, right} << std::optional<QPointF>(QPointF(5000, 5000)) << 1.0
        << QRectF(1440 - 1060, 25 + 875 - 740, 1060, 740);
    QTest::newRow("left edge of the second screen belongs to it")
        << QList<ScreenInfo>{laptop, right} << std::optional<QPointF>(QPointF(1440, 500)) << 1.0
        << QRectF(1440, 500 - 370, 1060, 740);
    QTest::newRow("unknown pointer centres on the main screen")
        << QList<ScreenInfo>{laptop} << std::optional<QPointF>() << 1.0
        << QRectF(720 - 530, 25 + 437.5 - 370, 1060, 740);
    QTest::newRow("no screen at all") << QList<ScreenInfo>{} << std::optional<QPointF>(QPointF(0, 0)) << 1.0
                                      << QRectF(80, 80, 1060, 740);
}

void TestWindowGeometry::initialFrameNearMouse()
{
    QFETCH(QList<ScreenInfo>, screens);
    QFETCH(std::optional<QPointF>, pointer);
    QFETCH(double, scale);
    QFETCH(QRectF, expected);
    FakeScreens list;
    list.list = screens;
    MemoryStore store;
    store.values.insert(WindowGeometryManager::scaleKey, scale);
    QCOMPARE(WindowGeometryManager::initialFrameNearMouse(pointer, list, store), expected);
}

void TestWindowGeometry::fittedFrame_data()
{
    QTest::addColumn<QRectF>("frame");
    QTest::addColumn<QRectF>("expected");
    const QRectF area(0, 25, 1440, 875);
    QTest::newRow("larger than the area") << QRectF(-50, 0, 2000, 1000) << area;
    QTest::newRow("already inside") << QRectF(100, 100, 800, 600) << QRectF(100, 100, 800, 600);
    QTest::newRow("sticks out right and bottom") << QRectF(1000, 500, 800, 600) << QRectF(640, 300, 800, 600);
    QTest::newRow("above the area") << QRectF(100, -40, 800, 600) << QRectF(100, 25, 800, 600);
    QTest::newRow("too tall only") << QRectF(100, 100, 800, 1200) << QRectF(100, 25, 800, 875);
}

void TestWindowGeometry::fittedFrame()
{
    QFETCH(QRectF, frame);
    QFETCH(QRectF, expected);
    QCOMPARE(WindowGeometryManager::fittedFrame(frame, QRectF(0, 25, 1440, 875)), expected);
}

void TestWindowGeometry::persistWindowSize()
{
    MemoryStore store;
    WindowGeometryManager::persistWindowSize({std::numeric_limits<double>::infinity(), 700}, 1.0, store);
    WindowGeometryManager::persistWindowSize({800, std::nan("")}, 1.0, store);
    QVERIFY(store.writes.isEmpty());

    WindowGeometryManager::persistWindowSize({400, 500}, 1.26, store);
    QCOMPARE(store.values.value(WindowGeometryManager::widthKey).toDouble(), 450.0);
    QCOMPARE(store.values.value(WindowGeometryManager::heightKey).toDouble(), 600.0);
    QCOMPARE(store.values.value(WindowGeometryManager::scaleKey).toDouble(), 1.25);
    // Doubles, so that they read back as numbers of the same kind.
    QCOMPARE(store.values.value(WindowGeometryManager::widthKey).typeId(), int(QMetaType::Double));

    WindowGeometryManager::persistWindowSize({1200, 800}, std::nan(""), store);
    QCOMPARE(store.values.value(WindowGeometryManager::scaleKey).toDouble(), 1.0);
    QCOMPARE(WindowGeometryManager::savedBaseSize(store), QSizeF(1200, 800));
}

void TestWindowGeometry::refreshWindowRegion()
{
    auto panel = std::make_shared<FakePanel>();
    panel->m_frame = {10, 10, 500, 600};
    WindowGeometryManager geometry(panel, {0, 0, 100, 100}, 6);
    QCOMPARE(geometry.exitTolerance(), 6.0);

    geometry.refreshWindowRegion();
    QCOMPARE(geometry.targetFrame(), QRectF(10, 10, 500, 600));

    // Ordered out: the remembered frame stays the one it had on screen.
    panel->shown = false;
    panel->m_frame = {300, 300, 500, 600};
    geometry.refreshWindowRegion();
    QCOMPARE(geometry.targetFrame(), QRectF(10, 10, 500, 600));

    panel->shown = true;
    panel->m_frame = {300, 300, 0, 600};
    geometry.refreshWindowRegion();
    QCOMPARE(geometry.targetFrame(), QRectF(10, 10, 500, 600));

    panel->minimized = true;
    panel->m_frame = {40, 40, 500, 600};
    geometry.refreshWindowRegion();
    QCOMPARE(geometry.targetFrame(), QRectF(10, 10, 500, 600));

    panel.reset();
    geometry.refreshWindowRegion();
    QCOMPARE(geometry.targetFrame(), QRectF(10, 10, 500, 600));
}

QTEST_GUILESS_MAIN(TestWindowGeometry)
#include "tst_windowgeometry.moc"
