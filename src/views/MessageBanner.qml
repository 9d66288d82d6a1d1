import QtQuick
import Vuzo

// A capsule banner for an error or a notice. Only its close button dismisses it.
Item {
    id: banner
    property string message
    property bool isError: false
    property bool transparent: false
    // Longer messages wrap within this width.
    property real maximumWidth: 100000
    signal dismissed()

    readonly property color statusColor: isError ? Theme.appRed : Theme.appGreen
    readonly property color foreground: transparent ? Theme.withOpacity(Theme.appTitle, Theme.levelCapped(Theme.level)) : "white"

    implicitWidth: row.implicitWidth + 32
    implicitHeight: row.implicitHeight + 22

    SoftShadow {
        anchors.fill: capsule
        visible: !banner.transparent
        radius: 12
        offsetY: 5
        color: Qt.rgba(0, 0, 0, 0.15)
        cornerRadius: height / 2
    }

    Rectangle {
        id: capsule
        objectName: "bannerCapsule"
        anchors.fill: parent
        radius: height / 2
        antialiasing: true
        color: banner.transparent ? Theme.withOpacity(Theme.appTitle, Theme.levelScaled(0.06, Theme.level)) : banner.statusColor
        border.width: banner.transparent ? 1 : 0
        border.color: Theme.withOpacity(Theme.appTitle, Theme.levelScaled(0.42, Theme.level))
    }

    TextMetrics {
        id: metrics
        font: messageText.font
        text: banner.message
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 10

        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            width: 15
            height: 15
            name: banner.isError ? "exclamationmark.circle.fill" : "checkmark.circle.fill"
            color: banner.foreground
        }
        Text {
            id: messageText
            objectName: "bannerText"
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            anchors.verticalCenter: parent.verticalCenter
            width: Math.max(0, Math.min(metrics.advanceWidth + 1, banner.maximumWidth - 32 - 20 - 15 - 16))
            wrapMode: Text.Wrap
            text: banner.message
            textFormat: Text.PlainText
            font.pixelSize: Theme.fontBody
            font.weight: Font.Medium
            color: banner.foreground
        }
        Item {
            objectName: "bannerCloseButton"
            anchors.verticalCenter: parent.verticalCenter
            width: 16
            height: 16
            Accessible.role: Accessible.Button
            Accessible.name: "关闭"
            Accessible.onPressAction: banner.dismissed()
            SymbolIcon {
                anchors.centerIn: parent
                width: 12
                height: 12
                name: "xmark"
                color: banner.foreground
            }
            MouseArea {
                anchors.fill: parent
                anchors.margins: -4
                cursorShape: Qt.PointingHandCursor
                onClicked: banner.dismissed()
            }
        }
    }
}
