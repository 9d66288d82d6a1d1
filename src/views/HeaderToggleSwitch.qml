import QtQuick
import Vuzo

// The header's 32 × 18 switch: a capsule track with its 1-pt border and a
// 14-pt knob inset 2, at the trailing end while on. The colours come from
// HeaderAutoHideToggleStyle; knob and colours ease over 0.14 s.
Item {
    id: toggleSwitch
    property bool on: false
    property color trackColor
    property color borderColor
    property color knobColor
    property alias knob: knobItem

    implicitWidth: 32
    implicitHeight: 18

    Rectangle {
        anchors.fill: parent
        radius: height / 2
        antialiasing: true
        color: toggleSwitch.trackColor
        border.width: 1
        border.color: toggleSwitch.borderColor
        Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
        Behavior on border.color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
    }
    Rectangle {
        id: knobItem
        y: 2
        x: toggleSwitch.on ? parent.width - width - 2 : 2
        width: 14
        height: 14
        radius: 7
        antialiasing: true
        color: toggleSwitch.knobColor
        Behavior on x { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
        Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
    }
}
