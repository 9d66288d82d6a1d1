import QtQuick
import Vuzo
import QtQuick.Controls
import QtQuick.Layouts

// The panel's top row in place of a title bar: window buttons, brightness
// control, a strip that moves the window, the masked phone number, and the
// transparency toggle, ink button and auto-hide switch.
Item {
    id: header
    // The window shell's requests object, when the shell provides one.
    property QtObject panel
    property RootViewState rootState
    signal closeRequested()
    signal minimizeRequested()
    signal toggleMaximizeRequested()

    readonly property bool movable: !AppModel.isWindowMaximized

    // The window's corner radius: the row's top corners follow the window shape.
    property real topCornerRadius: 0
    readonly property color color: headerState.backgroundColor

    implicitHeight: 48

    Item {
        anchors.fill: parent
        clip: true
        Rectangle {
            objectName: "headerBackground"
            width: parent.width
            height: parent.height + header.topCornerRadius
            radius: header.topCornerRadius
            antialiasing: true
            color: headerState.backgroundColor
            // The user's flip of the look fades, a change of screen switches it.
            Behavior on color {
                enabled: headerState.lookFadeMs > 0
                ColorAnimation { duration: headerState.lookFadeMs; easing.type: Easing.OutCubic }
            }
        }
    }

    WindowHeaderState {
        id: headerState
        screen: AppModel.screen
        studyTransparencyEnabled: AppModel.studyTransparencyEnabled
        hoverAutoHideEnabled: AppModel.hoverAutoHideEnabled
        hoveringTransparencyControl: header.rootState ? header.rootState.hoveringTransparencyControl : false
        hoveringAutoHideControl: header.rootState ? header.rootState.hoveringAutoHideControl : false
    }
    readonly property WindowHeaderState rules: headerState

    Rectangle {
        objectName: "headerDivider"
        anchors.left: parent.left
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        height: 1
        color: Theme.separatorColor
        opacity: headerState.dividerOpacity
        Behavior on opacity {
            enabled: headerState.lookFadeMs > 0
            NumberAnimation { duration: headerState.lookFadeMs; easing.type: Easing.OutCubic }
        }
    }

    RowLayout {
        anchors.fill: parent
        anchors.leftMargin: 18
        anchors.rightMargin: 18
        spacing: 10

        Item {
            Layout.preferredWidth: 72
            Layout.minimumWidth: 72
            Layout.maximumWidth: 72
            Layout.preferredHeight: 36
            z: 200
            // The whole 72 x 36 frame is the hover area that brings the
            // buttons back in the transparent look.
            NativeWindowControls {
                objectName: "windowControls"
                anchors.fill: parent
                transparent: headerState.transparent
                maximized: AppModel.isWindowMaximized
                onCloseRequested: header.closeRequested()
                onMinimizeRequested: header.minimizeRequested()
                onToggleMaximizeRequested: header.toggleMaximizeRequested()
            }
        }

        // Gives up its width first when the row is short.
        HeaderAppearanceControl {
            objectName: "appearanceControl"
            visible: headerState.showsAppearanceSlider
            Layout.fillWidth: true
            Layout.minimumWidth: 0
            Layout.maximumWidth: 250
            Layout.preferredWidth: implicitWidth
            Layout.preferredHeight: 28
            level: AppModel.transparentAppearanceLevel
            transparent: headerState.transparent
            movable: header.movable
            panel: header.panel
            onLevelMoved: (value) => AppModel.transparentAppearanceLevel = value
            onHelpRequested: header.rootState.showingAppearanceHelp = true
        }

        WindowDragArea {
            objectName: "headerDragStrip"
            Layout.fillWidth: true
            Layout.fillHeight: true
            Layout.minimumWidth: 0
            Layout.preferredWidth: 0
            movable: header.movable
            panel: header.panel
        }

        Text {
            objectName: "maskedMobile"
            visible: headerState.showsMaskedMobile
            Layout.preferredHeight: 36
            Layout.minimumWidth: implicitWidth
            Layout.maximumWidth: implicitWidth
            verticalAlignment: Text.AlignVCenter
            text: headerState.maskedMobile
            textFormat: Text.PlainText
            font.pixelSize: Theme.fontCaption
            color: headerState.maskedMobileColor
            WindowDragArea { anchors.fill: parent; movable: header.movable; panel: header.panel }
        }

        // Transparency toggle.
        Item {
            id: toggle
            objectName: "transparencyToggle"
            visible: headerState.showsTransparencyControls
            Layout.preferredWidth: toggleRow.implicitWidth + 20
            Layout.minimumWidth: Layout.preferredWidth
            Layout.maximumWidth: Layout.preferredWidth
            Layout.preferredHeight: 28
            Accessible.role: Accessible.Button
            Accessible.name: headerState.transparencyTitle
            Accessible.description: headerState.transparencyToolTip
            Accessible.onPressAction: AppModel.studyTransparencyEnabled = !AppModel.studyTransparencyEnabled

            Rectangle {
                id: toggleCapsule
                anchors.fill: parent
                radius: height / 2
                antialiasing: true
                color: headerState.transparencyFillColor
                border.width: 1
                border.color: headerState.transparencyOutlineColor
                Behavior on border.color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
            }
            Row {
                id: toggleRow
                anchors.centerIn: parent
                spacing: Theme.spacingXS
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    name: headerState.transparencyIcon
                    color: headerState.transparencyLabelColor
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: headerState.transparencyTitle
                    font.pixelSize: Theme.fontCaption
                    font.weight: Font.Medium
                    color: headerState.transparencyLabelColor
                    Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
                }
            }
            MouseArea {
                id: toggleMouse
                anchors.fill: parent
                hoverEnabled: true
                containmentMask: RoundedRectShape { width: toggleCapsule.width; height: toggleCapsule.height; radius: toggleCapsule.radius }
                cursorShape: Qt.PointingHandCursor
                onContainsMouseChanged: header.rootState.hoveringTransparencyControl = containsMouse
                onClicked: AppModel.studyTransparencyEnabled = !AppModel.studyTransparencyEnabled
            }
            ToolTip.visible: toggleMouse.containsMouse
            ToolTip.delay: 700
            ToolTip.text: headerState.transparencyToolTip
        }

        // Ink-colour button.
        Item {
            objectName: "inkButton"
            visible: headerState.showsInkButton
            Layout.preferredWidth: 28
            Layout.minimumWidth: 28
            Layout.maximumWidth: 28
            Layout.preferredHeight: 28
            Accessible.role: Accessible.Button
            Accessible.name: "设置透明模式文字颜色"
            Accessible.onPressAction: header.rootState.showingInkColorSettings = true
            SymbolIcon {
                anchors.centerIn: parent
                width: 15
                height: 15
                name: "gearshape"
                color: headerState.inkButtonColor
            }
            MouseArea {
                id: inkMouse
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                containmentMask: QtObject {
                    function contains(point: point): bool {
                        const dx = point.x - 14, dy = point.y - 14;
                        return dx * dx + dy * dy <= 196;
                    }
                }
                onClicked: header.rootState.showingInkColorSettings = true
            }
            ToolTip.visible: inkMouse.containsMouse
            ToolTip.delay: 700
            ToolTip.text: "设置透明模式文字颜色"
        }

        // Auto-hide switch: the label and the switch flip it alike.
        Item {
            id: autoHide
            objectName: "autoHideSwitch"
            visible: headerState.showsTransparencyControls
            readonly property bool on: AppModel.hoverAutoHideEnabled
            Layout.preferredWidth: autoHideRow.implicitWidth
            Layout.minimumWidth: Layout.preferredWidth
            Layout.maximumWidth: Layout.preferredWidth
            Layout.preferredHeight: 28
            Accessible.role: Accessible.CheckBox
            Accessible.name: "自动隐藏"
            Accessible.checkable: true
            Accessible.checked: on
            Accessible.description: headerState.autoHideToolTip
            Accessible.onToggleAction: AppModel.hoverAutoHideEnabled = !AppModel.hoverAutoHideEnabled
            Accessible.onPressAction: AppModel.hoverAutoHideEnabled = !AppModel.hoverAutoHideEnabled

            Row {
                id: autoHideRow
                anchors.verticalCenter: parent.verticalCenter
                spacing: 7
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "自动隐藏"
                    font.pixelSize: Theme.fontCaption
                    font.weight: Font.Medium
                    color: headerState.autoHideLabelColor
                    Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
                }
                HeaderToggleSwitch {
                    anchors.verticalCenter: parent.verticalCenter
                    on: autoHide.on
                    trackColor: headerState.autoHideTrackColor
                    borderColor: headerState.autoHideBorderColor
                    knobColor: headerState.autoHideKnobColor
                    knob.objectName: "autoHideKnob"
                }
            }
            MouseArea {
                id: autoHideMouse
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onContainsMouseChanged: header.rootState.hoveringAutoHideControl = containsMouse
                onClicked: AppModel.hoverAutoHideEnabled = !AppModel.hoverAutoHideEnabled
            }
            ToolTip.visible: autoHideMouse.containsMouse
            ToolTip.delay: 700
            ToolTip.text: headerState.autoHideToolTip
        }
    }
}
