import QtQuick
import Vuzo
import QtQuick.Controls

// The three window buttons: close, minimize, maximize/restore, 14 pt each
// and 22 pt apart. In the transparent look they fade and come back while
// the pointer is over them.
Item {
    id: controls
    property bool transparent: false
    property bool maximized: false
    signal closeRequested()
    signal minimizeRequested()
    signal toggleMaximizeRequested()

    readonly property bool hovering: hover.hovered
    // Made while transparent, the buttons start opaque and fade to rest.
    property bool settled: false
    readonly property real buttonOpacity: settled ? Theme.windowControlsOpacity(transparent, hovering, Theme.level) : 1.0
    Component.onCompleted: settled = true

    implicitWidth: 58
    implicitHeight: 14

    HoverHandler { id: hover }

    component Button: WindowButton {
        id: button
        property string label
        signal activated()
        y: Math.floor((controls.height - 14) * 0.5)
        width: 14
        height: 14
        maximized: controls.maximized
        showsSymbol: controls.hovering
        pressed: press.pressed && press.containsMouse
        opacity: controls.buttonOpacity
        Behavior on opacity { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
        Accessible.role: Accessible.Button
        Accessible.name: label
        Accessible.onPressAction: activated()
        MouseArea {
            id: press
            anchors.fill: parent
            hoverEnabled: true
            onClicked: button.activated()
        }
        ToolTip.visible: kind === WindowButton.Maximize && press.containsMouse
        ToolTip.delay: 700
        ToolTip.text: label
    }

    Button {
        objectName: "closeButton"
        kind: WindowButton.Close
        x: 0
        label: "关闭窗口"
        onActivated: controls.closeRequested()
    }
    Button {
        objectName: "minimizeButton"
        kind: WindowButton.Minimize
        x: 22
        label: "最小化窗口"
        onActivated: controls.minimizeRequested()
    }
    Button {
        objectName: "maximizeButton"
        kind: WindowButton.Maximize
        x: 44
        label: controls.maximized ? "还原窗口" : "最大化窗口"
        onActivated: controls.toggleMaximizeRequested()
    }
}
