#include "features/content/ContentEngineSetup.h"
#include "shell/AppDelegate.h"
#include "windowing/ShutdownSignals.h"

#include <QApplication>
#include <QtQml/qqmlextensionplugin.h>
#include <QtWebEngineQuick/qtwebenginequickglobal.h>
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
    ContentEngineSetup::prepareBeforeEngineStarts();
    QtWebEngineQuick::initialize();
    QApplication application(argc, argv);
    sharedApplication = &application;
    QApplication::setApplicationName(QStringLiteral("vuzo"));
    QApplication::setQuitOnLastWindowClosed(false);

    sharedDelegate = std::make_unique<AppDelegate>();
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
