#include "DesktopIdentity.h"

#include "X11WindowHints.h"
#include "platform/ApplicationIdentity.h"

#include <QEvent>
#include <QGuiApplication>
#include <QPlatformSurfaceEvent>
#include <QWindow>

namespace {

// Names each window as soon as it has its X11 window, before it is first shown.
class WindowNamer final : public QObject
{
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::PlatformSurface && watched->isWindowType()
            && static_cast<QPlatformSurfaceEvent *>(event)->surfaceEventType()
                == QPlatformSurfaceEvent::SurfaceCreated) {
            X11WindowHints::setApplicationId(static_cast<QWindow *>(watched), ApplicationIdentity::id);
        }
        return false;
    }
};

} // namespace

void DesktopIdentity::apply()
{
    QCoreApplication::setApplicationName(ApplicationIdentity::name);
    QGuiApplication::setDesktopFileName(ApplicationIdentity::id);
    if (QGuiApplication::platformName() == QLatin1String("xcb"))
        qGuiApp->installEventFilter(new WindowNamer(qGuiApp));
}
