#pragma once

// The question screen alone in a 1100 × 760 window, as the question
// benchmarks show it; null (with the reason on stderr) when it cannot load.

#include <QObject>
#include <QQmlComponent>
#include <QQmlEngine>
#include <QUrl>

#include <cstdio>
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

} // namespace BenchScreen
