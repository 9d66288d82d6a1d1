import QtQuick

// Fills the panel until the full root view is built in: a header to move the
// panel, the window controls and the zoom controls.
Rectangle {
    id: root

    property QtObject panel

    color: "#f7f6fa"
    radius: 12
    border.color: "#d9dce6"
    border.width: 1

    component HeaderButton: Rectangle {
        id: button
        property string label
        signal activated()
        width: 32
        height: 26
        radius: 6
        color: area.containsMouse ? "#e4f0ff" : "transparent"
        Text {
            anchors.centerIn: parent
            text: button.label
            color: "#212636"
            font.pixelSize: 15
        }
        MouseArea {
            id: area
            anchors.fill: parent
            hoverEnabled: true
            onClicked: button.activated()
        }
    }

    Rectangle {
        id: header
        anchors { left: parent.left; right: parent.right; top: parent.top; margins: 1 }
        height: 44
        radius: 12
        color: "#ffffff"

        MouseArea {
            anchors.fill: parent
            property bool dragging: false
            onPressed: (mouse) => {
                const p = mapToGlobal(mouse.x, mouse.y)
                if (root.panel) root.panel.beginWindowDrag(Qt.point(p.x, p.y))
            }
            onPositionChanged: (mouse) => {
                const p = mapToGlobal(mouse.x, mouse.y)
                if (root.panel) root.panel.dragWindow(Qt.point(p.x, p.y))
            }
            onReleased: if (root.panel) root.panel.endWindowDrag()
            onCanceled: if (root.panel) root.panel.endWindowDrag()
        }

        Text {
            anchors { left: parent.left; leftMargin: 16; verticalCenter: parent.verticalCenter }
            text: "澜舟题阁"
            color: "#212636"
            font.pixelSize: 16
            font.bold: true
        }

        Row {
            anchors { right: parent.right; rightMargin: 10; verticalCenter: parent.verticalCenter }
            spacing: 4
            HeaderButton { label: "A−"; onActivated: root.panel && root.panel.changeScale(-0.05) }
            HeaderButton {
                objectName: "zoomPercent"
                width: 52
                label: Math.round((root.panel ? root.panel.uiScale : 1) * 100) + "%"
                onActivated: root.panel && root.panel.resetScale()
            }
            HeaderButton { label: "A+"; onActivated: root.panel && root.panel.changeScale(0.05) }
            HeaderButton { label: "▢"; onActivated: root.panel && root.panel.toggleMaximize() }
            HeaderButton { label: "–"; onActivated: root.panel && root.panel.minimize() }
            HeaderButton { label: "✕"; onActivated: root.panel && root.panel.close() }
        }
    }

    Column {
        anchors.centerIn: parent
        spacing: 10
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "vuzo"
            color: "#0b84fe"
            font.pixelSize: 40
            font.bold: true
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "Alt+Z 显示或隐藏 · Ctrl+= / Ctrl+- / Ctrl+0 缩放"
            color: "#737a8f"
            font.pixelSize: 14
        }
    }
}
