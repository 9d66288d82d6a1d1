#include "windowing/ScaledContentItem.h"

#include <QQuickWindow>
#include <QSignalSpy>
#include <QTest>
#include <cmath>

class TestScaledContent : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void layout_data();
    void layout();
    void followsResize();
    void sameZoomChangesNothing();
    void unusableZoomLaysOutUnscaled();
};

void TestScaledContent::layout_data()
{
    QTest::addColumn<double>("zoom");
    QTest::addColumn<QSizeF>("virtualSize");
    QTest::newRow("1.0: the panel's own size") << 1.0 << QSizeF(800, 600);
    QTest::newRow("0.5: twice the size, drawn at half") << 0.5 << QSizeF(1600, 1200);
    QTest::newRow("1.5: two thirds") << 1.5 << QSizeF(800 / 1.5, 400);
}

void TestScaledContent::layout()
{
    QFETCH(double, zoom);
    QFETCH(QSizeF, virtualSize);
    QQuickWindow window;
    ScaledContentItem host(window.contentItem());
    host.setSize({800, 600});
    QQuickItem content;
    host.setContent(&content);
    host.setContentScale(zoom);
    QCOMPARE(content.size(), virtualSize);
    QCOMPARE(content.scale(), zoom);
    QCOMPARE(content.transformOrigin(), QQuickItem::TopLeft);
    QCOMPARE(content.position(), QPointF(0, 0));
    // Drawn, it fills the host exactly from the top-left corner.
    const QRectF drawn = content.mapRectToItem(&host, QRectF(QPointF(0, 0), content.size()));
    QCOMPARE(drawn, QRectF(0, 0, 800, 600));
}

void TestScaledContent::followsResize()
{
    QQuickWindow window;
    ScaledContentItem host(window.contentItem());
    QQuickItem content;
    host.setContent(&content);
    host.setContentScale(0.5);
    host.setSize({1000, 700});
    QCOMPARE(content.size(), QSizeF(2000, 1400));
}

void TestScaledContent::sameZoomChangesNothing()
{
    QQuickWindow window;
    ScaledContentItem host(window.contentItem());
    host.setSize({800, 600});
    QQuickItem content;
    host.setContent(&content);
    host.setContentScale(1.25);
    QSignalSpy changes(&host, &ScaledContentItem::contentScaleChanged);
    QSignalSpy resized(&content, &QQuickItem::widthChanged);
    host.setContentScale(1.25);
    QCOMPARE(changes.size(), 0);
    QCOMPARE(resized.size(), 0);
}

void TestScaledContent::unusableZoomLaysOutUnscaled()
{
    QQuickWindow window;
    ScaledContentItem host(window.contentItem());
    host.setSize({800, 600});
    QQuickItem content;
    host.setContent(&content);
    QSignalSpy changes(&host, &ScaledContentItem::contentScaleChanged);
    host.setContentScale(std::nan(""));
    host.setContentScale(std::nan(""));
    QCOMPARE(changes.size(), 2); // not-a-number always counts as a change
    QCOMPARE(content.size(), QSizeF(800, 600));
    QCOMPARE(content.scale(), 1.0);
}

QTEST_MAIN(TestScaledContent)
#include "tst_scaledcontent.moc"
