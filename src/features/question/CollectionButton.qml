import QtQuick
import QtQuick.Controls.Basic
import Vuzo

// Collects or uncollects one question. It shows only what the service has
// confirmed; while a change is in flight it reads "处理中" and takes no
// clicks, yet keeps its tool tip. Keeps its full 86 × 32 size in a crowded
// row.
Item {
    id: button
    property string questionId
    property bool questionIsCollect: false
    property bool transparent: false
    readonly property CollectionButtonState buttonState: collectState

    implicitWidth: 86
    implicitHeight: 32
    width: 86
    height: 32

    CollectionButtonState {
        id: collectState
        model: AppModel
        questionId: button.questionId
        questionIsCollect: button.questionIsCollect
    }

    readonly property color tint: button.transparent ? Theme.appTitle : Theme.appPrimary

    // The tool tip follows the pointer over the whole frame, disabled or not.
    HoverHandler {
        id: hover
    }

    // The button proper: disabled while its change is in flight.
    Item {
        objectName: "collectControl"
        anchors.fill: parent
        enabled: collectState.enabled
        opacity: enabled ? 1 : 0.5

        Accessible.role: Accessible.Button
        Accessible.name: collectState.text

        Row {
            anchors.centerIn: parent
            spacing: 5
            SymbolIcon {
                objectName: "collectSymbol"
                anchors.verticalCenter: parent.verticalCenter
                width: 13
                height: 13
                name: collectState.symbol
                color: button.tint
            }
            Text {
                objectName: "collectText"
                anchors.verticalCenter: parent.verticalCenter
                text: collectState.text
                textFormat: Text.PlainText
                font.pixelSize: 12
                font.weight: Font.DemiBold
                color: button.tint
            }
        }

        // The whole frame is the hit area.
        MouseArea {
            objectName: "collectMouse"
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: collectState.toggle()
        }
    }

    ToolTip.visible: hover.hovered
    ToolTip.delay: 700
    ToolTip.text: collectState.toolTip
}
