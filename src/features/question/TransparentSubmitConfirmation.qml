import QtQuick
import Vuzo

// The see-through confirmation card of the transparent look.
Item {
    id: card
    property string message
    signal cancelled()
    signal confirmed()

    readonly property bool hoveringSubmit: submitArea.containsMouse

    width: 300
    implicitHeight: column.implicitHeight + 30

    Column {
        id: column
        x: 18
        y: 15
        width: card.width - 36
        spacing: 12

        Text {
            text: "确认交卷"
            textFormat: Text.PlainText
            font.pixelSize: 14
            font.weight: Font.DemiBold
            color: Theme.appTitle
            opacity: 0.72
        }
        Text {
            objectName: "confirmationMessage"
            width: parent.width
            text: card.message
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 12
            color: Theme.appSecondary
            opacity: 0.72
        }
        Row {
            anchors.right: parent.right
            spacing: 18
            Text {
                objectName: "confirmationCancel"
                text: "取消"
                textFormat: Text.PlainText
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Theme.appSecondary
                opacity: 0.72
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -6
                    cursorShape: Qt.PointingHandCursor
                    onClicked: card.cancelled()
                }
            }
            Text {
                objectName: "confirmationSubmit"
                text: "确认交卷"
                textFormat: Text.PlainText
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Theme.transparentPrimary(card.hoveringSubmit, 1.0, Theme.level)
                Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
                MouseArea {
                    id: submitArea
                    anchors.fill: parent
                    anchors.margins: -6
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: card.confirmed()
                }
            }
        }
    }
}
