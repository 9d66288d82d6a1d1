#include "QtScreenList.h"

#include <QGuiApplication>
#include <QScreen>

namespace {

ScreenInfo infoFor(const QScreen *screen)
{
    return {QRectF(screen->geometry()), QRectF(screen->availableGeometry())};
}

} // namespace

QList<ScreenInfo> QtScreenList::screens() const
{
    QList<ScreenInfo> result;
    for (const QScreen *screen : QGuiApplication::screens())
        result.append(infoFor(screen));
    return result;
}

std::optional<ScreenInfo> QtScreenList::mainScreen() const
{
    if (const QScreen *primary = QGuiApplication::primaryScreen())
        return infoFor(primary);
    return std::nullopt;
}
