import QtQuick
import Vuzo

// The 28 pt grip in the bottom-right corner that resizes the panel.
Item {
    id: grip
    property color inkColor: "#212636"
    signal began()
    signal ended()

    width: 28
    height: 28

    Rectangle {
        anchors.fill: parent
        radius: Theme.radiusS
        antialiasing: true
        color: Theme.withOpacity(grip.inkColor, 0.12)
    }
    SymbolIcon {
        anchors.centerIn: parent
        width: 12
        height: 12
        name: "arrow.up.left.and.arrow.down.right"
        color: Theme.withOpacity(grip.inkColor, 0.92)
    }
    BottomTrailingWindowResizeArea {
        objectName: "resizeArea"
        anchors.fill: parent
        onBegan: grip.began()
        onEnded: grip.ended()
    }
}
