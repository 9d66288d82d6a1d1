import QtQuick
import Vuzo

// The strip at the top of a material question's card: a small capsule, and
// the whole strip dragged up and down moves the boundary of the split.
Item {
    id: handle
    objectName: "splitHandle"
    property MaterialSplitController splitController
    property bool transparent: false

    height: 30

    Rectangle {
        anchors.centerIn: parent
        width: 44
        height: 5
        radius: 2.5
        color: handle.transparent ? Theme.appTitle : Qt.rgba(0.45, 0.48, 0.56, 0.45)
    }

    // The pointer goes to the controller in scene coordinates: the strip
    // itself moves with the split while it is dragged.
    MouseArea {
        objectName: "splitDrag"
        anchors.fill: parent
        preventStealing: true
        cursorShape: Qt.SizeVerCursor
        function scenePoint(mouse) { return mapToItem(null, mouse.x, mouse.y); }
        onPressed: (mouse) => {
            const p = scenePoint(mouse);
            if (handle.splitController)
                handle.splitController.pointerPressed(p.x, p.y);
        }
        onPositionChanged: (mouse) => {
            const p = scenePoint(mouse);
            if (handle.splitController)
                handle.splitController.pointerMoved(p.x, p.y);
        }
        onReleased: (mouse) => {
            const p = scenePoint(mouse);
            if (handle.splitController)
                handle.splitController.pointerReleased(p.x, p.y);
        }
        onCanceled: if (handle.splitController) handle.splitController.pointerCanceled()
    }
}
