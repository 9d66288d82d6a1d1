import QtQuick
import Vuzo

// The ink opacity slider, 0.1 to 1.0, previewing the ink along its track.
Item {
    id: slider
    property color inkColor: "#212636"
    property real intensity: 1
    property real thumbDiameter: 16
    signal moved(real intensity)

    readonly property real travel: InkIntensityMapping.travel(width, thumbDiameter)

    implicitHeight: 24

    Accessible.role: Accessible.Slider
    Accessible.name: "颜色透明度"
    Accessible.description: Theme.percentText(intensity)
    Accessible.onIncreaseAction: slider.moved(InkIntensityMapping.incremented(slider.intensity))
    Accessible.onDecreaseAction: slider.moved(InkIntensityMapping.decremented(slider.intensity))

    Rectangle {
        anchors.verticalCenter: parent.verticalCenter
        width: parent.width
        height: 8
        radius: 4
        gradient: Gradient {
            orientation: Gradient.Horizontal
            GradientStop { position: 0; color: Theme.withOpacity(slider.inkColor, 0.1) }
            GradientStop { position: 1; color: Theme.withOpacity(slider.inkColor, 1) }
        }
    }

    Rectangle {
        objectName: "intensityThumb"
        SoftShadow {
            z: -1
            anchors.fill: parent
            radius: 2
            offsetY: 1
            color: Qt.rgba(0, 0, 0, 0.22)
            cornerRadius: width / 2
        }
        anchors.verticalCenter: parent.verticalCenter
        x: InkIntensityMapping.thumbOffset(slider.intensity, slider.travel)
        width: slider.thumbDiameter
        height: slider.thumbDiameter
        radius: width / 2
        antialiasing: true
        color: Theme.withOpacity(slider.inkColor, slider.intensity)
        border.width: 2
        border.color: "white"
    }

    MouseArea {
        anchors.fill: parent
        preventStealing: true
        onPressed: (event) => slider.moved(InkIntensityMapping.intensityForPointer(event.x, slider.travel, slider.thumbDiameter))
        onPositionChanged: (event) => {
            if (pressed)
                slider.moved(InkIntensityMapping.intensityForPointer(event.x, slider.travel, slider.thumbDiameter));
        }
    }
}
