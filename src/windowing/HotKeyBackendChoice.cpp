#include "HotKeyBackendChoice.h"

#include "PortalHotKeyBackend.h"
#include "XcbHotKeyBackend.h"
#include "platform/ApplicationIdentity.h"

#include <QDBusConnection>
#include <QGuiApplication>
#include <QWindow>

namespace HotKeyBackendChoice {

bool isWaylandSession(const QProcessEnvironment &environment)
{
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || environment.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QLatin1String("wayland"), Qt::CaseInsensitive)
        == 0;
}

std::unique_ptr<HotKeyBackend> make()
{
    if (!isWaylandSession(QProcessEnvironment::systemEnvironment()))
        return std::make_unique<XcbHotKeyBackend>();
    // A connection of its own: the portal names the program by the first
    // portal call on a connection, and other parts of the toolkit may have
    // called it on the shared one already.
    const QDBusConnection connection
        = QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("vuzo-hotkey-portal"));
    return std::make_unique<PortalHotKeyBackend>(connection, ApplicationIdentity::id);
}

QString portalWindowName(const QWindow *window)
{
    if (!window || !window->handle() || QGuiApplication::platformName() != QLatin1String("xcb"))
        return {};
    return QStringLiteral("x11:%1").arg(window->winId(), 0, 16);
}

} // namespace HotKeyBackendChoice
