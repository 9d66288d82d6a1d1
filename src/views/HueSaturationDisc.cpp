#include "HueSaturationDisc.h"

#include "ColorWheelGeometry.h"
#include "app/TransparentInkPalette.h"

#include <QHash>
#include <QMutex>
#include <QPainter>
#include <QQuickWindow>

#include <algorithm>
#include <cmath>

HueSaturationDisc::HueSaturationDisc(QQuickItem *parent)
    : QQuickPaintedItem(parent)
{
    setAntialiasing(true);
}

QImage HueSaturationDisc::render(int side)
{
    if (side <= 0)
        return {};
    QImage image(side, side, QImage::Format_ARGB32_Premultiplied);
    const double half = side * 0.5;
    for (int y = 0; y < side; ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < side; ++x) {
            // Sample at the pixel's centre.
            const double px = x + 0.5;
            const double py = y + 0.5;
            const double coverage = std::clamp(half - std::hypot(px - half, py - half) + 0.5, 0.0, 1.0);
            if (coverage <= 0) {
                line[x] = 0;
                continue;
            }
            const ColorWheelGeometry::Selection s = ColorWheelGeometry::selection(px, py, half, half, half);
            const auto rgb = TransparentInkPalette::rgbFromHSV({s.hue, s.saturation, 1.0});
            const auto byte = [](double component) { return int(std::lround(std::clamp(component, 0.0, 1.0) * 255)); };
            const int a = int(std::lround(coverage * 255));
            line[x] = qPremultiply(qRgba(byte(rgb.red), byte(rgb.green), byte(rgb.blue), a));
        }
    }
    return image;
}

QImage HueSaturationDisc::cachedRender(int side)
{
    // Shared by every wheel, so that opening the ink sheet again costs
    // nothing; painting may run on the render thread.
    static QMutex mutex;
    static QHash<int, QImage> cache;
    QMutexLocker locker(&mutex);
    auto found = cache.constFind(side);
    if (found != cache.constEnd())
        return *found;
    if (cache.size() >= 8)
        cache.clear();
    const QImage image = render(side);
    cache.insert(side, image);
    return image;
}

void HueSaturationDisc::paint(QPainter *painter)
{
    const double ratio = window() ? window()->effectiveDevicePixelRatio() : 1.0;
    const double side = std::min(width(), height());
    const int pixels = int(std::ceil(side * ratio));
    if (pixels <= 0)
        return;
    if (m_cache.width() != pixels)
        m_cache = cachedRender(pixels);
    const QRectF target((width() - side) / 2, (height() - side) / 2, side, side);
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(target, m_cache);
}
