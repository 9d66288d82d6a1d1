#pragma once

#include "app/AppModel.h"

#include <QObject>
#include <QtQml/qqml.h>

class QJSEngine;
class QQmlEngine;

// QML's typed way to the one application model: `import Vuzo` and use
// `AppModel.screen`, `AppModel.startLogin(...)`. The model lives in the
// display-free core, so it is registered here as a foreign singleton whose
// instance the window shell (or a test) installs on the engine before any
// QML touches it. The engine never owns it.
struct AppModelSingleton
{
    Q_GADGET
    QML_FOREIGN(AppModel)
    QML_NAMED_ELEMENT(AppModel)
    QML_SINGLETON

public:
    // Makes `model` the AppModel singleton of `engine`. Call before the
    // engine creates the singleton, that is before loading any QML that uses
    // it; the engine keeps the instance it got first. The model must outlive
    // the engine's use of it.
    static void install(QQmlEngine *engine, AppModel *model);
    // The model installed on `engine`, if any.
    [[nodiscard]] static AppModel *installed(const QJSEngine *engine);

    static AppModel *create(QQmlEngine *qmlEngine, QJSEngine *jsEngine);
};
