// Draws the soft shadow of a rounded rectangle into a picture at build time,
// so that the views show a fixed shadow as a plain image instead of blurring
// it on every start. The blur is the Gaussian the views' drop shadows use
// (deviation (radius + 1) / 3.3333 over samples / 2 pixels on each side); the
// picture is the rectangle's size plus that kernel radius on every side.
//   shadowimage <output.png> <scale> <width> <height> <corner radius>
//               <blur radius> <samples> <opacity> [<edge opacity>]
// The edge opacity is that of a 1-pt outline drawn in place of the fill's
// outermost point (a rectangle with a translucent border casts a lighter edge).
#include <QCoreApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

std::vector<double> gaussianKernel(int radius, double deviation)
{
    std::vector<double> weights(size_t(2 * radius + 1));
    double sum = 0;
    for (int i = -radius; i <= radius; ++i) {
        const double weight = std::exp(-double(i * i) / (2 * deviation * deviation));
        weights[size_t(i + radius)] = weight;
        sum += weight;
    }
    for (double &weight : weights)
        weight /= sum;
    return weights;
}

// One pass of the separable blur over an alpha plane, along x or y.
std::vector<double> blur(const std::vector<double> &plane, int width, int height, const std::vector<double> &kernel,
                         bool alongX)
{
    const int radius = int(kernel.size() / 2);
    std::vector<double> out(plane.size(), 0.0);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            double sum = 0;
            for (int k = -radius; k <= radius; ++k) {
                const int sx = alongX ? x + k : x;
                const int sy = alongX ? y : y + k;
                if (sx < 0 || sy < 0 || sx >= width || sy >= height)
                    continue;
                sum += plane[size_t(sy * width + sx)] * kernel[size_t(k + radius)];
            }
            out[size_t(y * width + x)] = sum;
        }
    }
    return out;
}

QPainterPath roundedRect(const QRectF &rect, double radius)
{
    QPainterPath path;
    path.addRoundedRect(rect, radius, radius);
    return path;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    const QStringList arguments = QCoreApplication::arguments();
    if (arguments.size() < 9) {
        std::fputs("usage: shadowimage <output.png> <scale> <width> <height> <corner radius> <blur radius> "
                   "<samples> <opacity> [<edge opacity>]\n",
                   stderr);
        return 2;
    }
    std::vector<double> values;
    for (int i = 2; i < arguments.size(); ++i) {
        bool ok = false;
        values.push_back(arguments.at(i).toDouble(&ok));
        if (!ok || !std::isfinite(values.back()) || values.back() < 0) {
            std::fprintf(stderr, "shadowimage: bad value %s\n", qPrintable(arguments.at(i)));
            return 1;
        }
    }
    const double scale = values[0];
    const double width = values[1] * scale;
    const double height = values[2] * scale;
    const double corner = values[3] * scale;
    const double blurRadius = values[4] * scale;
    const int kernelRadius = int(values[5] * scale) / 2;
    const double opacity = std::min(1.0, values[6]);
    const double edgeOpacity = values.size() > 7 ? std::min(1.0, values[7]) : 1.0;
    if (scale <= 0 || width < 1 || height < 1 || width > 4096 || height > 4096 || kernelRadius > 512) {
        std::fputs("shadowimage: sizes out of range\n", stderr);
        return 1;
    }

    const int imageWidth = int(std::ceil(width)) + 2 * kernelRadius;
    const int imageHeight = int(std::ceil(height)) + 2 * kernelRadius;
    QImage shape(imageWidth, imageHeight, QImage::Format_ARGB32_Premultiplied);
    shape.fill(Qt::transparent);
    {
        QPainter painter(&shape);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(Qt::NoPen);
        const QRectF outer(kernelRadius, kernelRadius, width, height);
        painter.setBrush(QColor::fromRgbF(1, 1, 1, float(edgeOpacity)));
        painter.drawPath(roundedRect(outer, corner));
        painter.setCompositionMode(QPainter::CompositionMode_Source);
        painter.setBrush(Qt::white);
        painter.drawPath(roundedRect(outer.adjusted(scale, scale, -scale, -scale), std::max(0.0, corner - scale)));
    }

    std::vector<double> plane(size_t(imageWidth * imageHeight));
    for (int y = 0; y < imageHeight; ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(shape.constScanLine(y));
        for (int x = 0; x < imageWidth; ++x)
            plane[size_t(y * imageWidth + x)] = qAlpha(line[x]) / 255.0;
    }
    const std::vector<double> kernel = gaussianKernel(kernelRadius, std::max(1.0e-5, (blurRadius + 1.0) / 3.3333));
    plane = blur(blur(plane, imageWidth, imageHeight, kernel, true), imageWidth, imageHeight, kernel, false);

    QImage shadow(imageWidth, imageHeight, QImage::Format_ARGB32);
    for (int y = 0; y < imageHeight; ++y) {
        auto *line = reinterpret_cast<QRgb *>(shadow.scanLine(y));
        for (int x = 0; x < imageWidth; ++x)
            line[x] = qRgba(0, 0, 0, int(std::lround(std::clamp(plane[size_t(y * imageWidth + x)] * opacity, 0.0, 1.0) * 255)));
    }
    if (!shadow.save(arguments.at(1))) {
        std::fprintf(stderr, "shadowimage: cannot write %s\n", qPrintable(arguments.at(1)));
        return 1;
    }
    return 0;
}
