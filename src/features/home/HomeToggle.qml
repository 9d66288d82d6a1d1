import QtQuick
import Vuzo

// A 32 × 18 switch; the whole control flips the value.
Item {
    id: toggle
    property bool checked: false
    property bool transparent: false
    readonly property bool hovering: mouse.containsMouse
    signal toggled(bool checked)

    implicitWidth: 32
    implicitHeight: 18
    Accessible.role: Accessible.CheckBox
    Accessible.checkable: true
    Accessible.checked: checked
    Accessible.onToggleAction: toggle.toggled(!toggle.checked)

    readonly property color onColor: transparent ? Theme.transparentPrimary(hovering, 1, Theme.level) : Theme.appPrimary

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        antialiasing: true
        color: toggle.checked ? (toggle.transparent ? Theme.withOpacity(toggle.onColor, 0.35) : toggle.onColor)
                              : (toggle.transparent ? "transparent" : Qt.rgba(0.45, 0.48, 0.56, 0.28))
        border.width: 1
        border.color: toggle.transparent ? Theme.withOpacity(toggle.checked ? toggle.onColor : Theme.appSecondary, 0.6)
                                         : "transparent"
        Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
    }
    Rectangle {
        y: 2
        x: toggle.checked ? parent.width - width - 2 : 2
        width: 14
        height: 14
        radius: 7
        antialiasing: true
        color: "white"
        Behavior on x { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: toggle.toggled(!toggle.checked)
    }
}
