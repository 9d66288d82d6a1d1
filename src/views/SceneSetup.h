#pragma once

#include <QFont>
#include <QStringList>

// What the panel's scene needs once the application object exists and
// before its first window is drawn.
namespace SceneSetup {

// Han text in the forms the content pages use, whatever the locale: without
// a Chinese locale the desktop's fallback draws it in Japanese forms (and
// loads a second set of CJK faces beside the pages' own).
inline const QStringList hanFamilies{QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Source Han Sans SC"),
                                     QStringLiteral("WenQuanYi Micro Hei")};

// The system font with hanFamilies after its own family, so that Latin text
// keeps the desktop's face and Han text falls to them.
[[nodiscard]] QFont applicationFont(const QFont &systemFont);

// The scene's atlas for small images, in pixels a side. Qt sizes it from the
// window (2048 x 1024, 8 MB, for this panel) and allocates it whole; the
// panel's icons fill a fraction of 512 x 512, and larger images get
// textures of their own either way.
inline constexpr int imageAtlasSide = 512;

// Sets both, keeping an atlas size the user set in the environment.
void apply();

} // namespace SceneSetup
