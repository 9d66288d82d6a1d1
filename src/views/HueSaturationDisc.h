#pragma once

#include <QImage>
#include <QQuickPaintedItem>
#include <QtQml/qqmlregistration.h>

// The painted disc of the colour wheel: every pixel is the HSV colour of its
// direction (hue, clockwise from the right) and distance from the centre
// (saturation) at full brightness. The image is made once per pixel size
// and kept for the process.
class HueSaturationDisc : public QQuickPaintedItem
{
    Q_OBJECT
    QML_ELEMENT

public:
    explicit HueSaturationDisc(QQuickItem *parent = nullptr);

    // The disc as an image of side × side pixels, transparent outside the
    // circle, with a one-pixel soft edge.
    [[nodiscard]] static QImage render(int side);
    // The same, made once per size for the whole process.
    [[nodiscard]] static QImage cachedRender(int side);

    void paint(QPainter *painter) override;

private:
    QImage m_cache;
};
