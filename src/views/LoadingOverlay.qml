import QtQuick
import Vuzo

// Covers the panel while the model loads and swallows every click and
// scroll beneath it, in both looks.
Item {
    id: overlay
    property bool transparent: false

    MouseArea {
        objectName: "loadingBlocker"
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        hoverEnabled: true
        preventStealing: true
        onWheel: (wheel) => wheel.accepted = true
    }

    Rectangle {
        anchors.fill: parent
        color: overlay.transparent ? "transparent" : Qt.rgba(0, 0, 0, 0.12)
    }

    Rectangle {
        anchors.centerIn: parent
        width: column.implicitWidth + 48
        height: column.implicitHeight + 48
        radius: Theme.radiusL
        antialiasing: true
        color: overlay.transparent ? Theme.withOpacity(Theme.appTitle, Theme.levelScaled(0.06, Theme.level))
                                   : Qt.rgba(0.97, 0.97, 0.98, 0.92)
        border.width: overlay.transparent ? 1 : 0
        border.color: Theme.withOpacity(Theme.appTitle, Theme.levelScaled(0.42, Theme.level))

        Column {
            id: column
            anchors.centerIn: parent
            spacing: Theme.spacingL
            ActivitySpinner {
                anchors.horizontalCenter: parent.horizontalCenter
                size: 32
                color: overlay.transparent ? Theme.withOpacity(Theme.appTitle, Theme.levelCapped(Theme.level)) : Theme.appPrimary
            }
            Text {
                anchors.horizontalCenter: parent.horizontalCenter
                text: "加载中…"
                font.pixelSize: Theme.fontBody
                font.weight: Font.Medium
                color: overlay.transparent ? Theme.withOpacity(Theme.appTitle, Theme.levelCapped(Theme.level)) : Theme.appTitle
            }
        }
    }
}
