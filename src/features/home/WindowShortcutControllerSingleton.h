#pragma once

#include "windowing/WindowShortcutController.h"

#include <QJSEngine>
#include <QtQml/qqmlregistration.h>

// The process-wide hot-key controller as the QML singleton
// `WindowShortcutController`. Tests put their own controller (with a fake
// grab) in `instance` before the first engine asks for it.
struct WindowShortcutControllerSingleton
{
    Q_GADGET
    QML_FOREIGN(WindowShortcutController)
    QML_NAMED_ELEMENT(WindowShortcutController)
    QML_SINGLETON

public:
    inline static WindowShortcutController *instance = nullptr;

    static WindowShortcutController *create(QQmlEngine *, QJSEngine *)
    {
        WindowShortcutController *controller = instance ? instance : &WindowShortcutController::shared();
        QJSEngine::setObjectOwnership(controller, QJSEngine::CppOwnership);
        return controller;
    }
};
