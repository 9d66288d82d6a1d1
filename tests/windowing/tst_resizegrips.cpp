#include "windowing/WindowResizeItem.h"
#include "windowing/WindowResizeLogic.h"

#include <QQuickWindow>
#include <QTest>

Q_DECLARE_METATYPE(ResizeEdges)
Q_DECLARE_METATYPE(GripCursor)

class TestResizeGrips : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void regions();
    void regionAt_data();
    void regionAt();
    void narrowPanel();
    void resizedFrame_data();
    void resizedFrame();
    void dragFromStartNotFromPreviousStep();
    void disabledGripsClaimNothing();
    void mouseUpWithoutDrag();
    void diagonalCursors();
    void itemClaimsOnlyGrips();
};

void TestResizeGrips::regions()
{
    const QList<GripRegion> r = WindowResizeLogic::regions({800, 600});
    QCOMPARE(r.size(), 8);
    QCOMPARE(r.at(0).rect, QRectF(18, 594, 764, 6));
    QCOMPARE(r.at(0).edges, ResizeEdges(ResizeEdge::bottom));
    QCOMPARE(r.at(1).rect, QRectF(18, 0, 764, 6));
    QCOMPARE(r.at(2).rect, QRectF(0, 18, 6, 564));
    QCOMPARE(r.at(3).rect, QRectF(794, 18, 6, 564));
    QCOMPARE(r.at(4).rect, QRectF(0, 582, 18, 18));
    QCOMPARE(r.at(4).edges, ResizeEdge::left | ResizeEdge::bottom);
    QCOMPARE(int(r.at(4).edges), 9);
    QCOMPARE(int(r.at(5).edges), 6);
    QCOMPARE(int(r.at(6).edges), 5);
    QCOMPARE(int(r.at(7).edges), 10);
}

void TestResizeGrips::regionAt_data()
{
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<int>("edges"); // 0 = the content gets the click
    QTest::addColumn<GripCursor>("cursor");
    // An 800 x 600 panel, y down.
    QTest::newRow("3 px in from the left, 100 above the bottom") << QPointF(3, 500) << 1 << GripCursor::leftRight;
    QTest::newRow("10 px in from the left") << QPointF(10, 500) << 0 << GripCursor::leftRight;
    QTest::newRow("bottom strip") << QPointF(400, 597) << 8 << GripCursor::upDown;
    QTest::newRow("top strip") << QPointF(400, 0) << 4 << GripCursor::upDown;
    QTest::newRow("right strip, last pixel") << QPointF(799.5, 300) << 2 << GripCursor::leftRight;
    QTest::newRow("bottom-left square") << QPointF(10, 590) << 9 << GripCursor::rising;
    QTest::newRow("top-right square") << QPointF(790, 10) << 6 << GripCursor::rising;
    QTest::newRow("top-left square") << QPointF(17, 17) << 5 << GripCursor::falling;
    QTest::newRow("bottom-right square") << QPointF(790, 590) << 10 << GripCursor::falling;
    QTest::newRow("outside below") << QPointF(400, 600) << 0 << GripCursor::upDown;
    QTest::newRow("middle") << QPointF(400, 300) << 0 << GripCursor::upDown;
}

void TestResizeGrips::regionAt()
{
    QFETCH(QPointF, point);
    QFETCH(int, edges);
    QFETCH(GripCursor, cursor);
    const auto region = WindowResizeLogic::regionAt(point, {800, 600});
    QCOMPARE(region.has_value(), edges != 0);
    if (region) {
        QCOMPARE(int(region->edges), edges);
        QCOMPARE(region->cursor, cursor);
    }
}

void TestResizeGrips::narrowPanel()
{
    const QList<GripRegion> r = WindowResizeLogic::regions({30, 30});
    QCOMPARE(r.at(0).rect.width(), 0.0);
    QCOMPARE(r.at(1).rect.width(), 0.0);
    QCOMPARE(r.at(2).rect.height(), 0.0);
    // Corners remain; where they overlap the earlier one in the table wins.
    // (15, 15) lies in all four squares: the bottom-left one comes first.
    QCOMPARE(WindowResizeLogic::regionAt({15, 15}, {30, 30})->edges, ResizeEdge::left | ResizeEdge::bottom);
    QCOMPARE(WindowResizeLogic::regionAt({20, 5}, {30, 30})->edges, ResizeEdge::right | ResizeEdge::top);
    QCOMPARE(WindowResizeLogic::regionAt({5, 5}, {30, 30})->edges, ResizeEdge::left | ResizeEdge::top);
}

void TestResizeGrips::resizedFrame_data()
{
    QTest::addColumn<int>("edges");
    QTest::addColumn<QPointF>("delta");
    QTest::addColumn<QRectF>("expected");
    // From 100, 100, 600 x 700 with a minimum of 450 x 600.
    QTest::newRow("left edge 500 right stops at the minimum")
        << int(ResizeEdge::left) << QPointF(500, 0) << QRectF(250, 100, 450, 700);
    QTest::newRow("left edge 50 left") << int(ResizeEdge::left) << QPointF(-50, 0) << QRectF(50, 100, 650, 700);
    QTest::newRow("top edge up 40") << int(ResizeEdge::top) << QPointF(0, -40) << QRectF(100, 60, 600, 740);
    QTest::newRow("bottom edge down 40") << int(ResizeEdge::bottom) << QPointF(0, 40) << QRectF(100, 100, 600, 740);
    QTest::newRow("bottom edge up to the minimum")
        << int(ResizeEdge::bottom) << QPointF(0, -300) << QRectF(100, 100, 600, 600);
    QTest::newRow("bottom-left corner") << int(ResizeEdge::left | ResizeEdge::bottom) << QPointF(-20, 30)
                                        << QRectF(80, 100, 620, 730);
    QTest::newRow("top-right corner") << int(ResizeEdge::right | ResizeEdge::top) << QPointF(25, -15)
                                      << QRectF(100, 85, 625, 715);
    QTest::newRow("right edge ignores vertical motion")
        << int(ResizeEdge::right) << QPointF(10, 99) << QRectF(100, 100, 610, 700);
}

void TestResizeGrips::resizedFrame()
{
    QFETCH(int, edges);
    QFETCH(QPointF, delta);
    QFETCH(QRectF, expected);
    const QPointF start(400, 400);
    const QRectF frame = WindowResizeLogic::resizedFrame({100, 100, 600, 700}, start, start + delta,
                                                         ResizeEdges(ResizeEdges::Int(edges)), {450, 600});
    QCOMPARE(frame, expected);
}

void TestResizeGrips::dragFromStartNotFromPreviousStep()
{
    WindowResizeLogic logic;
    int begins = 0;
    int ends = 0;
    logic.onBegin = [&] { ++begins; };
    logic.onEnd = [&] { ++ends; };
    // A press in the bottom-left square of a 600 x 700 panel at 100, 100.
    QVERIFY(logic.mouseDown({5, 695}, {600, 700}, {100, 100, 600, 700}, {105, 795}));
    QCOMPARE(begins, 1);
    QCOMPARE(logic.activeEdges(), ResizeEdge::left | ResizeEdge::bottom);
    QCOMPARE(*logic.mouseDragged({95, 805}, {450, 600}), QRectF(90, 100, 610, 710));
    QCOMPARE(*logic.mouseDragged({85, 815}, {450, 600}), QRectF(80, 100, 620, 720));
    QCOMPARE(*logic.mouseDragged({105, 795}, {450, 600}), QRectF(100, 100, 600, 700));
    QVERIFY(logic.mouseUp());
    QCOMPARE(ends, 1);
    QVERIFY(!logic.isDragging());
    QVERIFY(!logic.mouseDragged({0, 0}, {450, 600}));
}

void TestResizeGrips::disabledGripsClaimNothing()
{
    WindowResizeLogic logic;
    int begins = 0;
    logic.onBegin = [&] { ++begins; };
    logic.resizingEnabled = false;
    QVERIFY(!logic.claims({3, 300}, {800, 600}));
    QVERIFY(!logic.mouseDown({3, 300}, {800, 600}, {0, 0, 800, 600}, {3, 300}));
    QCOMPARE(begins, 0);

    // Turning the grips off does not end a drag that already runs.
    logic.resizingEnabled = true;
    QVERIFY(logic.mouseDown({3, 300}, {800, 600}, {0, 0, 800, 600}, {3, 300}));
    logic.resizingEnabled = false;
    QVERIFY(logic.mouseDragged({0, 300}, {450, 600}).has_value());
}

void TestResizeGrips::mouseUpWithoutDrag()
{
    WindowResizeLogic logic;
    int ends = 0;
    logic.onEnd = [&] { ++ends; };
    QVERIFY(!logic.mouseDown({400, 300}, {800, 600}, {0, 0, 800, 600}, {400, 300}));
    QVERIFY(!logic.mouseUp());
    QCOMPARE(ends, 0);
}

void TestResizeGrips::diagonalCursors()
{
    // Made once and shared.
    QCOMPARE(&WindowResizeItem::risingCursor(), &WindowResizeItem::risingCursor());
    QCOMPARE(&WindowResizeItem::fallingCursor(), &WindowResizeItem::fallingCursor());
    QCOMPARE(WindowResizeItem::risingCursor().hotSpot(), QPoint(12, 12));

    // The rising arrow runs from the bottom-left to the top-right corner:
    // black on its diagonal, outlined in white, clear elsewhere.
    const QImage rising = WindowResizeItem::diagonalCursorImage(true);
    QCOMPARE(rising.size(), QSize(24, 24));
    QCOMPARE(qAlpha(rising.pixel(12, 12)), 255);
    QVERIFY(qGray(rising.pixel(12, 12)) < 60);
    QCOMPARE(qAlpha(rising.pixel(6, 6)), 0);
    QCOMPARE(qAlpha(rising.pixel(18, 18)), 0);
    const QImage falling = WindowResizeItem::diagonalCursorImage(false);
    QVERIFY(qAlpha(falling.pixel(6, 6)) > 0);
    QCOMPARE(qAlpha(falling.pixel(18, 6)), 0);
}

void TestResizeGrips::itemClaimsOnlyGrips()
{
    QQuickWindow window;
    WindowResizeItem item(window.contentItem());
    item.setSize({800, 600});
    QVERIFY(item.contains({3, 300}));
    QVERIFY(!item.contains({10, 300}));
    item.setResizingEnabled(false);
    QVERIFY(!item.contains({3, 300}));
}

QTEST_MAIN(TestResizeGrips)
#include "tst_resizegrips.moc"
