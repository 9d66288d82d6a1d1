#pragma once

#include <QObject>
#include <QString>
#include <QUrl>
#include <QtQml/qqmlregistration.h>

// Where the root view finds each screen's view: the module's file of that
// name, or the plain placeholder while a screen has no view yet.
class ScreenCatalog : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

public:
    explicit ScreenCatalog(QObject *parent = nullptr);

    // The view of a screen (the model's screen value): "LoginView",
    // "HomeView", ... ; empty for a value that names no screen.
    Q_INVOKABLE static QString viewName(int screen);
    Q_INVOKABLE static bool hasView(const QString &name);
    Q_INVOKABLE static QUrl viewUrl(const QString &name);
};
