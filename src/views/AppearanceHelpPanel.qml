import QtQuick
import Vuzo

// What the brightness setting does; the content of the help card.
Item {
    id: panel
    property real level: 1.0
    property bool transparent: false
    signal closeRequested()

    width: 410
    implicitHeight: column.implicitHeight + 44

    SoftShadow {
        anchors.fill: parent
        visible: !panel.transparent
        radius: 18
        offsetY: 8
        color: Qt.rgba(0, 0, 0, 0.12)
        cornerRadius: Theme.radiusL
    }

    Rectangle {
        id: surface
        anchors.fill: parent
        radius: Theme.radiusL
        antialiasing: true
        color: panel.transparent ? "transparent" : Theme.appBackground
        border.width: 1
        border.color: panel.transparent ? "transparent" : Qt.rgba(0, 0, 0, 0.07)
    }

    // Clicks inside the card's rounded shape never reach the backdrop behind it.
    MouseArea {
        anchors.fill: parent
        containmentMask: RoundedRectShape {
            width: panel.width
            height: panel.height
            radius: Theme.radiusL
        }
    }

    Column {
        id: column
        x: 22
        y: 22
        width: panel.width - 44
        spacing: Theme.spacingXL

        Item {
            width: parent.width
            height: 28
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "明暗调节"
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
            Item {
                objectName: "helpCloseButton"
                anchors.right: parent.right
                width: 28
                height: 28
                Accessible.role: Accessible.Button
                Accessible.name: "关闭"
                Accessible.onPressAction: panel.closeRequested()
                SymbolIcon { anchors.centerIn: parent; width: 14; height: 14; name: "xmark"; color: Theme.appSecondary }
                MouseArea { anchors.fill: parent; cursorShape: Qt.PointingHandCursor; onClicked: panel.closeRequested() }
            }
        }

        Column {
            width: parent.width
            spacing: 9
            FontMetrics {
                id: bodyMetrics
                font.pixelSize: Theme.fontBody
            }
            Repeater {
                model: [
                    "• 100% 是应用原来的默认显示效果。",
                    "• 向左调节，文字、图片、图标和状态色会更淡。",
                    "• 向右调节，透明内容会更清晰、更亮。",
                    "• 此设置只在透明模式生效，非透明模式不会改变。"
                ]
                // 3 between lines: each line is 3 higher than the face's
                // own, and the last one's extra is given back.
                Text {
                    required property string modelData
                    width: parent.width
                    height: Math.max(0, implicitHeight - 3)
                    text: modelData
                    wrapMode: Text.Wrap
                    font.pixelSize: Theme.fontBody
                    lineHeightMode: Text.FixedHeight
                    lineHeight: bodyMetrics.height + 3
                    color: Theme.appSecondary
                }
            }
        }

        Item {
            width: parent.width
            height: done.implicitHeight
            Text {
                objectName: "helpLevelText"
                anchors.verticalCenter: parent.verticalCenter
                text: "当前亮度 " + Theme.percentText(panel.level)
                font.pixelSize: Theme.fontCaption
                font.weight: Font.Medium
                font.family: Theme.digitFontFamily
                color: Theme.appSecondary
            }
            PrimaryButton {
                id: done
                objectName: "helpDoneButton"
                anchors.right: parent.right
                text: "知道了"
                filled: true
                transparent: panel.transparent
                transparentParentOpacity: 1
                onClicked: panel.closeRequested()
            }
        }
    }
}
