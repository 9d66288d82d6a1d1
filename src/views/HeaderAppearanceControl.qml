import QtQuick
import Vuzo
import QtQuick.Controls

// The header's brightness row: caption, sun symbols around the slider, the
// level as a percentage and the help button. Caption, symbols and
// percentage move the window when dragged; slider and help button do not.
Item {
    id: control
    property real level: 1.0
    property bool transparent: false
    property bool movable: true
    property QtObject panel
    signal levelMoved(real value)
    signal helpRequested()

    readonly property color rowColor: sliderColors.rowColor

    implicitWidth: row.implicitWidth
    implicitHeight: 28
    clip: true

    AppearanceSliderState {
        id: sliderColors
        transparent: control.transparent
    }

    Accessible.role: Accessible.Grouping
    Accessible.name: "明暗调节"
    Accessible.description: Theme.percentText(control.level)

    Row {
        id: row
        height: parent.height
        spacing: Theme.spacingS

        Text {
            anchors.verticalCenter: parent.verticalCenter
            height: 28
            verticalAlignment: Text.AlignVCenter
            text: "明暗调节"
            font.pixelSize: Theme.fontMini
            font.weight: Font.Medium
            color: control.rowColor
            WindowDragArea { anchors.fill: parent; movable: control.movable; panel: control.panel }
        }
        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: 18
            height: 28
            SymbolIcon { anchors.centerIn: parent; width: 12; height: 12; name: "sun.min"; color: control.rowColor }
            WindowDragArea { anchors.fill: parent; movable: control.movable; panel: control.panel }
        }
        HeaderAppearanceSlider {
            objectName: "appearanceSlider"
            anchors.verticalCenter: parent.verticalCenter
            width: 80
            height: 24
            value: control.level
            transparent: control.transparent
            onMoved: (value) => control.levelMoved(value)
        }
        Item {
            anchors.verticalCenter: parent.verticalCenter
            width: 18
            height: 28
            SymbolIcon { anchors.centerIn: parent; width: 13; height: 13; name: "sun.max.fill"; color: control.rowColor }
            WindowDragArea { anchors.fill: parent; movable: control.movable; panel: control.panel }
        }
        Text {
            objectName: "appearancePercent"
            anchors.verticalCenter: parent.verticalCenter
            width: 34
            height: 28
            horizontalAlignment: Text.AlignRight
            verticalAlignment: Text.AlignVCenter
            text: Theme.percentText(control.level)
            font.pixelSize: Theme.fontMini
            font.weight: Font.Medium
            font.family: Theme.digitFontFamily
            color: control.rowColor
            WindowDragArea { anchors.fill: parent; movable: control.movable; panel: control.panel }
        }
        Item {
            id: help
            objectName: "appearanceHelpButton"
            anchors.verticalCenter: parent.verticalCenter
            width: 24
            height: 24
            Accessible.role: Accessible.Button
            Accessible.name: "查看明暗调节说明"
            Accessible.onPressAction: control.helpRequested()
            SymbolIcon { anchors.centerIn: parent; width: 14; height: 14; name: "questionmark.circle"; color: control.rowColor }
            MouseArea {
                id: helpMouse
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                containmentMask: QtObject {
                    function contains(point: point): bool {
                        const dx = point.x - 12, dy = point.y - 12;
                        return dx * dx + dy * dy <= 144;
                    }
                }
                onClicked: control.helpRequested()
            }
            ToolTip.visible: helpMouse.containsMouse
            ToolTip.delay: 700
            ToolTip.text: "查看明暗调节说明"
        }
    }
}
