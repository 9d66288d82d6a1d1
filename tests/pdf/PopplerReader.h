#pragma once

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QString>
#include <QTemporaryDir>

// Reads a PDF back with poppler's command-line tools, as a user's viewer would.
namespace Poppler {

inline QString run(const QString &program, const QStringList &arguments)
{
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60'000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

inline int pageCount(const QString &pdf)
{
    const auto match = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(run(QStringLiteral("pdfinfo"), {pdf}));
    return match.hasMatch() ? match.captured(1).toInt() : -1;
}

// "594.96 x 841.92 pts (A4)" and the like, for one page.
inline QString pageSize(const QString &pdf, int page)
{
    const QString info = run(QStringLiteral("pdfinfo"),
                             {QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"), QString::number(page), pdf});
    const auto match = QRegularExpression(QStringLiteral("Page\\s+%1 size:\\s+(.+)").arg(page)).match(info);
    return match.hasMatch() ? match.captured(1).trimmed() : QString();
}

inline QString text(const QString &pdf, int page = 0)
{
    QStringList arguments;
    if (page > 0)
        arguments << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
    arguments << pdf << QStringLiteral("-");
    return run(QStringLiteral("pdftotext"), arguments);
}

// One page as a grey image at 72 dpi: one pixel per point.
inline QImage raster(const QString &pdf, int page)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    run(QStringLiteral("pdftoppm"), {QStringLiteral("-gray"), QStringLiteral("-r"), QStringLiteral("72"),
                                     QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                     QString::number(page), QStringLiteral("-singlefile"), pdf, prefix});
    return QImage(prefix + QStringLiteral(".pgm")).convertToFormat(QImage::Format_Grayscale8);
}

// The darkest grey level in a rectangle (255 is white).
inline int darkest(const QImage &image, const QRect &area)
{
    int level = 255;
    const QRect clipped = area & image.rect();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            level = std::min(level, qGray(image.pixel(x, y)));
    }
    return level;
}

} // namespace Poppler
