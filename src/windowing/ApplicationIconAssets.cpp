#include "ApplicationIconAssets.h"

#include <QFile>
#include <QPixmap>
#include <QStandardPaths>

#include <algorithm>

namespace ApplicationIconAssets {

std::optional<QImage> image(const QString &name)
{
    const QString fileName = name + QStringLiteral(".png");
    QStringList candidates{QStringLiteral(":/vuzo/appicon/") + fileName};
    const QString installed = QStandardPaths::locate(QStandardPaths::AppDataLocation, fileName);
    if (!installed.isEmpty())
        candidates.append(installed);
    for (const QString &path : std::as_const(candidates)) {
        if (!QFile::exists(path))
            continue;
        QImage loaded(path);
        if (!loaded.isNull())
            return loaded;
    }
    return std::nullopt;
}

QIcon windowIcon(const QImage &image)
{
    QIcon icon;
    if (image.isNull())
        return icon;
    const int side = std::max(image.width(), image.height());
    for (const int wanted : windowIconSides) {
        if (wanted <= side)
            icon.addPixmap(QPixmap::fromImage(image.scaled(wanted, wanted, Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    }
    if (icon.isNull())
        icon.addPixmap(QPixmap::fromImage(image));
    return icon;
}

} // namespace ApplicationIconAssets
