#pragma once

#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"
#include "views/AppModelSingleton.h"

#include <QDebug>
#include <QObject>
#include <QQuickItem>
#include <QQmlEngine>
#include <QQuickView>
#include <QString>
#include <QTest>
#include <QUrl>
#include <QVariant>

// Shared by the view tests: the app-wide look put back to its default, the
// visual tree searched by object name, and the root view shown for a model.
namespace ViewTest {

// Normal look, default ink at full intensity, unscaled.
inline void resetAppearance()
{
    TransparentInkPalette::setActive(false);
    TransparentInkPalette::setCurrentHex(QStringLiteral("#212636"));
    TransparentInkPalette::setCurrentIntensity(1.0);
    TransparentAppearanceScale::setCurrentValue(1.0);
}

// Searches the visual tree: items made by repeaters are not QObject children.
inline QQuickItem *findItem(QQuickItem *from, const QString &name)
{
    if (from->objectName() == name)
        return from;
    for (QQuickItem *child : from->childItems()) {
        if (QQuickItem *found = findItem(child, name))
            return found;
    }
    return nullptr;
}

// The named item below root; warns when there is none.
inline QQuickItem *namedItem(QQuickItem *root, const char *name)
{
    QQuickItem *found = findItem(root, QString::fromLatin1(name));
    if (!found)
        qWarning("no item named %s", name);
    return found;
}

// The item's centre in scene coordinates, where a click lands.
inline QPoint centreOf(const QQuickItem *target)
{
    return target->mapToScene(QPointF(target->width() / 2, target->height() / 2)).toPoint();
}

// Lets the 0.14 s to 0.2 s fades finish.
inline void settle()
{
    QTest::qWait(320);
}

// Loads the root view for the model into a transparent 640×720 view, shows
// it and waits until it is exposed. Empty on success, else what went wrong.
[[nodiscard]] inline QString showRootView(QQuickView &view, AppModel *model)
{
    view.setColor(Qt::transparent);
    AppModelSingleton::install(view.engine(), model);
    view.setSource(QUrl(QStringLiteral("qrc:/Vuzo/RootView.qml")));
    if (view.status() != QQuickView::Ready)
        return QDebug::toString(view.errors());
    view.setResizeMode(QQuickView::SizeRootObjectToView);
    view.resize(640, 720);
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        return QStringLiteral("the view was not exposed");
    return QString();
}

} // namespace ViewTest
