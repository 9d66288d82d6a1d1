import QtQuick
import Vuzo

// An on/off switch of the settings panel, drawn in the header switch's look;
// the whole control flips the value.
Item {
    id: toggle
    property bool checked: false
    property bool transparent: false
    readonly property bool hovering: mouse.containsMouse
    readonly property HeaderAutoHideToggleStyle switchStyle: style
    signal toggled(bool checked)

    implicitWidth: 32
    implicitHeight: 18
    Accessible.role: Accessible.CheckBox
    Accessible.checkable: true
    Accessible.checked: checked
    Accessible.onToggleAction: toggle.toggled(!toggle.checked)

    HeaderAutoHideToggleStyle {
        id: style
        transparent: toggle.transparent
        hovering: toggle.hovering
        on: toggle.checked
    }
    HeaderToggleSwitch {
        anchors.fill: parent
        on: toggle.checked
        trackColor: style.trackColor
        borderColor: style.borderColor
        knobColor: style.knobColor
    }
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onClicked: toggle.toggled(!toggle.checked)
    }
}
