import QtQuick
import Vuzo

// The header's capsule buttons: a symbol and a text in the accent colour,
// outlined; in the transparent look the accent brightens under the pointer.
Item {
    id: button
    property string text
    property string symbol
    property bool transparent: false
    // Kept lit while its dropdown is open.
    property bool lit: false
    property color normalColor: Theme.appPrimary
    property real normalBorderOpacity: 0.2
    property color normalFill: "transparent"
    property real transparentBorderOpacity: 1
    readonly property bool hovering: mouse.containsMouse
    signal clicked()

    // The open dropdown's lit state eases in over 0.14 s; hover shows at once.
    property real litMix: lit ? 1 : 0
    Behavior on litMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
    readonly property color accent: transparent ? Theme.mix(Theme.transparentPrimary(hovering, 1, Theme.level),
                                                            Theme.transparentPrimary(true, 1, Theme.level), litMix)
                                                : normalColor

    implicitWidth: row.implicitWidth + 20
    implicitHeight: 32
    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: button.clicked()

    Rectangle {
        id: capsule
        anchors.fill: parent
        radius: height / 2
        antialiasing: true
        color: button.transparent ? "transparent" : button.normalFill
        border.width: 1
        border.color: button.transparent ? Theme.withOpacity(button.accent, button.transparentBorderOpacity)
                                         : Theme.withOpacity(button.normalColor, button.normalBorderOpacity)
    }
    Row {
        id: row
        anchors.centerIn: parent
        spacing: 5
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            width: 14
            height: 14
            name: button.symbol
            color: button.accent
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: button.text
            textFormat: Text.PlainText
            font.pixelSize: 12
            font.weight: Font.Medium
            color: button.accent
        }
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        containmentMask: RoundedRectShape { width: capsule.width; height: capsule.height; radius: capsule.radius }
        onClicked: button.clicked()
    }
}
