import QtQuick
import Vuzo
import QtQuick.Controls

// The badge that shows the zoom level after a change, with zoom out, zoom
// in and reset.
Item {
    id: badge
    property RootViewState rootState
    property bool transparent: false
    signal changeScale(real step)
    signal resetScale()

    implicitWidth: row.implicitWidth + 32
    implicitHeight: row.implicitHeight + 24

    Rectangle {
        anchors.fill: parent
        radius: 18
        antialiasing: true
        color: badge.transparent ? "transparent" : Theme.appBackground
    }

    HoverHandler {
        onHoveredChanged: if (badge.rootState) badge.rootState.hoveringZoomIndicator = hovered
    }
    Component.onDestruction: if (badge.rootState) badge.rootState.hoveringZoomIndicator = false

    component ZoomButton: Item {
        id: zoomButton
        property string title
        property string symbol
        property bool disabled: false
        signal activated()
        width: 32
        height: 32
        opacity: disabled ? 0.35 : 1.0
        Accessible.role: Accessible.Button
        Accessible.name: title
        Accessible.onPressAction: if (!disabled) activated()
        SymbolIcon {
            anchors.centerIn: parent
            width: 16
            height: 16
            name: zoomButton.symbol
            color: Theme.appTitle
        }
        MouseArea {
            id: zoomMouse
            anchors.fill: parent
            enabled: !zoomButton.disabled
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: zoomButton.activated()
        }
        ToolTip.visible: zoomMouse.containsMouse
        ToolTip.delay: 700
        ToolTip.text: title
    }

    Row {
        id: row
        anchors.centerIn: parent
        spacing: Theme.spacingL

        Text {
            objectName: "zoomPercent"
            anchors.verticalCenter: parent.verticalCenter
            width: 50
            horizontalAlignment: Text.AlignLeft
            text: badge.rootState ? badge.rootState.zoomPercentText : "100%"
            font.pixelSize: Theme.fontCallout
            font.weight: Font.Medium
            font.family: Theme.digitFontFamily
            color: Theme.appTitle
            Accessible.name: badge.rootState ? badge.rootState.zoomAccessibilityLabel : ""
        }
        ZoomButton {
            objectName: "zoomOutButton"
            anchors.verticalCenter: parent.verticalCenter
            title: "缩小"
            symbol: "minus"
            disabled: badge.rootState ? badge.rootState.zoomOutDisabled : false
            onActivated: badge.changeScale(-0.05)
        }
        ZoomButton {
            objectName: "zoomInButton"
            anchors.verticalCenter: parent.verticalCenter
            title: "放大"
            symbol: "plus"
            disabled: badge.rootState ? badge.rootState.zoomInDisabled : false
            onActivated: badge.changeScale(0.05)
        }
        Item {
            objectName: "zoomResetButton"
            anchors.verticalCenter: parent.verticalCenter
            width: resetText.implicitWidth + 28
            height: 32
            Accessible.role: Accessible.Button
            Accessible.name: "重置"
            Accessible.onPressAction: badge.resetScale()
            Rectangle {
                id: resetCapsule
                anchors.fill: parent
                radius: height / 2
                antialiasing: true
                color: "transparent"
                border.width: 1
                border.color: badge.transparent ? Theme.withOpacity(Theme.appSecondary, 0.3) : Theme.appPrimary
            }
            Text {
                id: resetText
                anchors.centerIn: parent
                text: "重置"
                font.pixelSize: Theme.fontCallout
                font.weight: Font.Medium
                color: badge.transparent ? Theme.appTitle : Theme.appPrimary
            }
            MouseArea {
                id: resetMouse
                anchors.fill: parent
                hoverEnabled: true
                containmentMask: RoundedRectShape { width: resetCapsule.width; height: resetCapsule.height; radius: resetCapsule.radius }
                cursorShape: Qt.PointingHandCursor
                onClicked: badge.resetScale()
            }
            ToolTip.visible: resetMouse.containsMouse
            ToolTip.delay: 700
            ToolTip.text: "恢复 100%（Ctrl + 0）"
        }
    }
}
