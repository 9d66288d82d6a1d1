import QtQuick
import Vuzo

// The small brightness slider of the header. It edits the appearance level
// through `levelChanged`; the owner writes the model.
Item {
    id: slider
    property real value: 1.0
    property bool transparent: false
    property real thumbDiameter: 12
    signal moved(real value)

    readonly property real travel: sliderState.travel(width, thumbDiameter)
    readonly property real thumbOffset: sliderState.thumbOffset(value, travel)

    implicitWidth: 80
    implicitHeight: 24

    AppearanceSliderState {
        id: sliderState
        transparent: slider.transparent
        hovering: mouse.containsMouse
    }

    Accessible.role: Accessible.Slider
    Accessible.name: "明暗调节"
    Accessible.description: Theme.percentText(slider.value)
    Accessible.onIncreaseAction: slider.moved(sliderState.incremented(slider.value))
    Accessible.onDecreaseAction: slider.moved(sliderState.decremented(slider.value))

    Rectangle {
        objectName: "sliderTrack"
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: 3
        radius: 1.5
        color: sliderState.trackColor
    }
    Rectangle {
        objectName: "sliderFill"
        anchors.verticalCenter: parent.verticalCenter
        width: slider.thumbOffset + slider.thumbDiameter * 0.5
        height: 3
        radius: 1.5
        color: sliderState.activeTrackColor
        Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
    }
    SoftShadow {
        x: thumb.x
        y: thumb.y
        width: thumb.width
        height: thumb.height
        visible: !slider.transparent
        radius: 2
        offsetY: 1
        color: sliderState.thumbShadowColor
        cornerRadius: width / 2
    }

    Rectangle {
        id: thumb
        objectName: "sliderThumb"
        anchors.verticalCenter: parent.verticalCenter
        x: slider.thumbOffset
        width: slider.thumbDiameter
        height: slider.thumbDiameter
        radius: width / 2
        antialiasing: true
        color: sliderState.thumbColor
        border.width: 1
        border.color: sliderState.thumbBorderColor
        Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
        Behavior on border.color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
    }

    // A plain click counts: every press and move sets the level.
    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        preventStealing: true
        onPressed: (event) => slider.moved(sliderState.valueForPointer(event.x, slider.travel, slider.thumbDiameter))
        onPositionChanged: (event) => {
            if (pressed)
                slider.moved(sliderState.valueForPointer(event.x, slider.travel, slider.thumbDiameter));
        }
    }
}
