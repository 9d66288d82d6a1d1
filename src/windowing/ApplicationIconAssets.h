#pragma once

#include <QIcon>
#include <QImage>
#include <QList>
#include <QString>
#include <optional>

// The program's own icon images by base name ("AppIcon", "AppIconDock"): the
// PNG built into the program, else one in the program's data folder.
namespace ApplicationIconAssets {
[[nodiscard]] std::optional<QImage> image(const QString &name);

// The sides, in pixels, at which desktops draw a window's icon (task bars,
// switchers, title bars; twice over on high-density screens).
inline const QList<int> windowIconSides{16, 22, 24, 32, 48, 64, 128, 256};

// The window icon from a large image: the image scaled to each of those
// sides that it covers (itself when smaller than all). Kept whole, a
// 1024-pixel image holds 4 MB all day and is sent to the X server as a
// 4 MB property with every window the panel maps.
[[nodiscard]] QIcon windowIcon(const QImage &image);
}
