#include "platform/UserDefaults.h"
#include "shell/AppDelegate.h"
#include "shell/ProgramStart.h"
#include "shell/SingleInstance.h"
#include "windowing/DesktopIdentity.h"
#include "windowing/ShutdownSignals.h"

#include <QApplication>
#include <QtQml/qqmlextensionplugin.h>
#include <cstdio>
#include <memory>

// The views' QML module is linked in statically.
Q_IMPORT_QML_PLUGIN(VuzoPlugin)

namespace {

// Global placement, the global pointer and global keys work on X11 only. In a
// Wayland session with XWayland at hand, run there unless the user chose.
void preferX11()
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb");
}

// The two process-wide objects of the run.
QApplication *sharedApplication = nullptr;
std::unique_ptr<AppDelegate> sharedDelegate;

} // namespace

int main(int argc, char *argv[])
{
    preferX11();
    ProgramStart::beforeApplication();
    QApplication application(argc, argv);
    sharedApplication = &application;
    DesktopIdentity::apply();
    QApplication::setQuitOnLastWindowClosed(false);

    // A second launch on the same settings shows the running copy's panel
    // and ends, as launching a running program does on other desktops.
    SingleInstance instance(UserDefaults::standard().filePath());
    switch (instance.claim()) {
    case SingleInstance::Outcome::primary:
        break;
    case SingleInstance::Outcome::handedOver:
        return 0;
    case SingleInstance::Outcome::failed:
        std::fputs("vuzo is already running but does not answer; not starting a second copy\n", stderr);
        return 1;
    }

    // Only the copy that stays pays for asking the graphics.
    ProgramStart::afterApplication();
    sharedDelegate = std::make_unique<AppDelegate>();
    QObject::connect(&instance, &SingleInstance::activationRequested, sharedDelegate.get(),
                     &AppDelegate::showMainWindow);
    // The desktop's quit request, the quit entry and a termination signal all
    // end the event loop; the orderly shutdown runs once, before it returns.
    QObject::connect(&application, &QCoreApplication::aboutToQuit, sharedDelegate.get(),
                     &AppDelegate::applicationWillTerminate);
    ShutdownSignals terminationSignals;
    QObject::connect(&terminationSignals, &ShutdownSignals::terminationRequested, &application, &QCoreApplication::quit);

    sharedDelegate->applicationDidFinishLaunching();
    const int status = QApplication::exec();
    sharedDelegate.reset();
    sharedApplication = nullptr;
    return status;
}
