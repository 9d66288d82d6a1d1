import QtQuick
import Vuzo

// The app's main text button: filled (white on the accent), light (accent
// on a pale capsule) or transparent (accent text and outline on nothing).
Item {
    id: button
    property string text
    property bool filled: false
    property bool transparent: false
    property real transparentParentOpacity: 1
    // The plain button style: no scale and no darkening while pressed.
    property bool plain: false
    // A symbol before the text, when given.
    property string symbol
    readonly property bool hovering: mouse.containsMouse
    readonly property bool pressed: mouse.pressed
    signal clicked()

    readonly property color transparentColor: Theme.transparentPrimary(hovering || pressed, transparentParentOpacity, Theme.level)

    implicitWidth: content.implicitWidth + 44
    implicitHeight: Math.max(42, content.implicitHeight)
    scale: pressed && !plain ? 0.98 : 1.0

    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: button.clicked()

    Rectangle {
        id: capsule
        objectName: "primaryCapsule"
        anchors.fill: parent
        radius: height / 2
        antialiasing: true
        color: {
            if (button.transparent)
                return "transparent";
            if (button.filled)
                return Theme.withOpacity(Theme.appPrimary, button.pressed && !button.plain ? 0.78 : 1.0);
            return Theme.inkActive ? Theme.appPrimarySoft : Qt.rgba(0.894, 0.941, 1.0, 1);
        }
        border.width: button.transparent ? 1 : 0
        border.color: button.transparentColor
        Behavior on border.color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
    }

    property color labelColor: transparent ? transparentColor : (filled ? "white" : Theme.appPrimary)
    Behavior on labelColor { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }

    Row {
        id: content
        anchors.centerIn: parent
        spacing: 6
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            visible: button.symbol !== ""
            width: Theme.fontSubhead
            height: Theme.fontSubhead
            name: button.symbol === "" ? "checkmark" : button.symbol
            color: button.labelColor
        }
        Text {
            id: label
            objectName: "primaryLabel"
            anchors.verticalCenter: parent.verticalCenter
            text: button.text
            font.pixelSize: Theme.fontSubhead
            font.weight: Font.DemiBold
            color: button.labelColor
        }
    }

    // The capsule is the hit area: a click in a corner outside it is not the button's.
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        containmentMask: RoundedRectShape { width: capsule.width; height: capsule.height; radius: capsule.radius }
        onClicked: button.clicked()
    }
}
