import QtQuick
import Vuzo

// The hue-and-saturation wheel. A press anywhere picks at once; dragging
// outside the circle keeps saturation 1 and follows the direction.
Item {
    id: wheel
    property real hue: 0
    property real saturation: 0
    property real brightness: 1
    property real knobSize: 18
    signal picked(real hue, real saturation)

    readonly property real side: Math.min(width, height)
    readonly property real radius: ColorWheelGeometry.radius(width, height, knobSize)
    readonly property point knobOffset: ColorWheelGeometry.knobOffset(hue, saturation, radius)

    Accessible.role: Accessible.ColorChooser
    Accessible.name: "色相与饱和度"
    Accessible.description: ColorWheelGeometry.accessibilityValue(hue, saturation)

    HueSaturationDisc {
        anchors.centerIn: parent
        width: wheel.side
        height: wheel.side
    }

    Rectangle {
        id: knob
        SoftShadow {
            z: -1
            anchors.fill: parent
            radius: 2
            offsetY: 1
            color: Qt.rgba(0, 0, 0, 0.28)
            cornerRadius: width / 2
        }
        objectName: "wheelKnob"
        width: wheel.knobSize
        height: wheel.knobSize
        radius: width / 2
        antialiasing: true
        x: wheel.width / 2 + wheel.knobOffset.x - width / 2
        y: wheel.height / 2 + wheel.knobOffset.y - height / 2
        color: ColorWheelGeometry.knobColor(wheel.hue, wheel.saturation, wheel.brightness)
        border.width: 2
        border.color: "white"
    }

    MouseArea {
        anchors.fill: parent
        preventStealing: true
        // The circle of the frame is the hit area.
        containmentMask: QtObject {
            function contains(point: point): bool {
                const dx = point.x - wheel.width / 2, dy = point.y - wheel.height / 2;
                return dx * dx + dy * dy <= (wheel.side / 2) * (wheel.side / 2);
            }
        }
        function pick(event) {
            const s = ColorWheelGeometry.selectionAt(event.x, event.y, wheel.width / 2, wheel.height / 2, wheel.radius);
            wheel.picked(s.hue, s.saturation);
        }
        onPressed: (event) => pick(event)
        onPositionChanged: (event) => { if (pressed) pick(event); }
    }
}
