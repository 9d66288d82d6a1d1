#pragma once

// The question screen alone in a 1100 × 760 window, as the question
// benchmarks show it; null (with the reason on stderr) when it cannot load.

#include "../EventLoopWait.h"

#include <QElapsedTimer>
#include <QObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QUrl>

#include <QQuickWindow>

#include <cstdio>
#include <functional>
#include <memory>

namespace BenchScreen {

inline std::unique_ptr<QObject> createQuestionScreen(QQmlEngine &engine)
{
    QQmlComponent component(&engine);
    component.setData(R"(
import QtQuick
import QtQuick.Window
import Vuzo
Window {
    width: 1100; height: 760; visible: true
    property alias view: view
    QuestionView { id: view; anchors.fill: parent }
}
)",
                      QUrl(QStringLiteral("qrc:/bench/Screen.qml")));
    std::unique_ptr<QObject> object(component.create());
    if (!object)
        std::fprintf(stderr, "%s\n", qPrintable(component.errorString()));
    return object;
}

// The clock's time once the condition holds and one more frame is on
// screen, so "painted" means shown; -1 when either does not come.
inline qint64 untilPainted(QQuickWindow *window, const std::function<bool()> &ready, const QElapsedTimer &clock)
{
    if (!BenchWait::until(ready, 20000))
        return -1;
    bool swapped = false;
    auto connection = QObject::connect(window, &QQuickWindow::frameSwapped, [&] { swapped = true; });
    window->update();
    if (!BenchWait::until([&] { return swapped; }, 2000))
        return -1;
    QObject::disconnect(connection);
    return clock.elapsed();
}

} // namespace BenchScreen
