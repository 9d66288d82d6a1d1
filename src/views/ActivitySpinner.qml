import QtQuick
import Vuzo

// An indeterminate progress indicator: twelve bars turning in steps.
Item {
    id: spinner
    property color color: "black"
    property real size: 32
    implicitWidth: size
    implicitHeight: size

    // The wheel is `size` across, centred in whatever box it is given.
    Item {
        id: wheel
        anchors.centerIn: parent
        width: spinner.size
        height: spinner.size

        Repeater {
            model: 12
            Rectangle {
                required property int index
                x: (spinner.size - width) / 2
                y: 0
                width: Math.max(2, spinner.size * 0.09)
                height: spinner.size * 0.28
                radius: width / 2
                antialiasing: true
                color: spinner.color
                opacity: 0.18 + 0.82 * (index / 11)
                transform: Rotation {
                    origin.x: width / 2
                    origin.y: spinner.size / 2
                    angle: index * 30
                }
            }
        }

        RotationAnimator on rotation {
            from: 0
            to: 360
            duration: 1000
            loops: Animation.Infinite
            running: spinner.visible
        }
    }
}
