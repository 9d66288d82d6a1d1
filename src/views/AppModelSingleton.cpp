#include "AppModelSingleton.h"

#include <QHash>
#include <QJSEngine>
#include <QLoggingCategory>
#include <QPointer>
#include <QQmlEngine>

Q_LOGGING_CATEGORY(lcAppModelSingleton, "vuzo.qml")

namespace {

// Per engine, so that each test's engine gets the model it made.
QHash<const QJSEngine *, QPointer<AppModel>> &installedModels()
{
    static QHash<const QJSEngine *, QPointer<AppModel>> models;
    return models;
}

} // namespace

void AppModelSingleton::install(QQmlEngine *engine, AppModel *model)
{
    if (!engine)
        return;
    auto &models = installedModels();
    if (!models.contains(engine))
        QObject::connect(engine, &QObject::destroyed, [engine] { installedModels().remove(engine); });
    models.insert(engine, QPointer<AppModel>(model));
}

AppModel *AppModelSingleton::installed(const QJSEngine *engine)
{
    return installedModels().value(engine).data();
}

AppModel *AppModelSingleton::create(QQmlEngine *qmlEngine, QJSEngine *jsEngine)
{
    const QJSEngine *engine = qmlEngine ? static_cast<const QJSEngine *>(qmlEngine) : jsEngine;
    AppModel *model = installed(engine);
    if (!model) {
        qCWarning(lcAppModelSingleton) << "QML asked for AppModel before one was installed on its engine";
        return nullptr;
    }
    QJSEngine::setObjectOwnership(model, QJSEngine::CppOwnership);
    return model;
}
