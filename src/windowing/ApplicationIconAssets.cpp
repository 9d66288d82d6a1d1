#include "ApplicationIconAssets.h"

#include <QFile>
#include <QStandardPaths>

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

} // namespace ApplicationIconAssets
