#pragma once

#include <QImage>
#include <QString>
#include <optional>

// The program's own icon images by base name ("AppIcon", "AppIconDock"): the
// PNG built into the program, else one in the program's data folder.
namespace ApplicationIconAssets {
[[nodiscard]] std::optional<QImage> image(const QString &name);
}
