// vuzo-fake-portal: the desktop portal's global shortcuts and registry on the session bus,
// for tests (run it under dbus-run-session). Prints "ready" once it owns the name.
#include "FakeDesktopPortal.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    PortalShortcut::registerDBusTypes();
    QDBusConnection bus = QDBusConnection::sessionBus();
    FakePortal portal;
    new FakeRegistryAdaptor(&portal);
    new FakeGlobalShortcutsAdaptor(&portal);
    FakePortalControl control(&portal);
    if (!bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), &portal,
                            QDBusConnection::ExportAdaptors)
        || !bus.registerObject(QStringLiteral("/control"), &control, QDBusConnection::ExportAllSlots)
        || !bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"))) {
        std::fprintf(stderr, "vuzo-fake-portal: cannot take the portal's name: %s\n",
                     qPrintable(bus.lastError().message()));
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);
    return QCoreApplication::exec();
}
