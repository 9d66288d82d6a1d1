import QtQuick
import Vuzo

// Covers the whole panel while a PDF export runs and shows its progress.
Item {
    id: progress
    property string text

    MouseArea {
        objectName: "exportBlocker"
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        hoverEnabled: true
        preventStealing: true
        onWheel: (wheel) => wheel.accepted = true
    }
    Rectangle {
        anchors.fill: parent
        color: Qt.rgba(0, 0, 0, 0.12)
    }
    Rectangle {
        anchors.centerIn: parent
        width: column.implicitWidth + 56
        height: column.implicitHeight + 56
        radius: Theme.radiusL
        antialiasing: true
        color: Qt.rgba(0.975, 0.975, 0.98, 0.92)
        Column {
            id: column
            anchors.centerIn: parent
            spacing: 14
            // The regular indicator: the spinner's own size.
            ActivitySpinner {
                objectName: "exportSpinner"
                anchors.horizontalCenter: parent.horizontalCenter
                color: Qt.rgba(0, 0, 0, 0.7)
            }
            Text {
                objectName: "exportProgressText"
                anchors.horizontalCenter: parent.horizontalCenter
                text: progress.text
                textFormat: Text.PlainText
                font.pixelSize: Theme.fontCallout
                font.weight: Font.DemiBold
                color: Qt.rgba(0, 0, 0, 0.85)
            }
        }
    }
}
