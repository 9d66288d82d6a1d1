import QtQuick
import QtQuick.Controls
import QtQuick.Shapes
import Vuzo

// The column right of the question: every question as a numbered circle,
// the current one marked, and the move buttons; collapsed to the handle
// strip by the setting the question screen's answer card shares.
Item {
    id: column
    property AnalysisController controller
    readonly property bool transparent: controller ? controller.transparent : false
    readonly property bool collapsed: controller ? controller.answerCardCollapsed : true
    property bool hoveringHandle: handleMouse.containsMouse

    width: collapsed ? 36 : 250
    clip: true
    Behavior on width { NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }

    Rectangle {
        anchors.fill: parent
        color: column.transparent ? "transparent" : "white"
    }

    // The open column's content.
    Item {
        id: navigator
        objectName: "analysisNavigator"
        width: 250
        height: parent.height
        opacity: column.collapsed ? 0 : 1
        enabled: !column.collapsed
        visible: opacity > 0
        Behavior on opacity { NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }

        Text {
            id: title
            x: 42
            y: 18
            text: column.controller ? column.controller.navigatorTitle : ""
            textFormat: Text.PlainText
            font.pixelSize: 17
            font.weight: Font.DemiBold
            color: Theme.appTitle
        }

        // Scrolls between the fixed title and move row, and keeps the
        // current circle in view, so every question of a long paper is reachable.
        GridView {
            id: grid
            objectName: "navigatorGrid"
            x: 42
            anchors.top: title.bottom
            anchors.topMargin: 16
            anchors.bottom: moveRow.top
            anchors.bottomMargin: 16
            width: 198
            clip: true
            cellWidth: width / 5
            cellHeight: 36 + 8
            boundsBehavior: Flickable.StopAtBounds
            model: column.controller ? column.controller.navigator : null
            currentIndex: column.controller ? column.controller.currentIndex : -1
            onCurrentIndexChanged: if (currentIndex >= 0) positionViewAtIndex(currentIndex, GridView.Contain)
            property int hoveredIndex: -1
            delegate: Item {
                required property int index
                required property int number
                required property int status
                required property bool current
                width: grid.cellWidth
                height: grid.cellHeight
                AnswerStatusCircle {
                    objectName: "navigatorCircle" + parent.number
                    anchors.horizontalCenter: parent.horizontalCenter
                    number: parent.number
                    status: parent.status
                    isCurrent: parent.current
                    transparent: column.transparent
                    hovering: grid.hoveredIndex === parent.index
                    onClicked: column.controller.select(parent.index)
                    HoverHandler {
                        onHoveredChanged: grid.hoveredIndex = hovered ? parent.parent.index : -1
                    }
                }
            }
        }

        Item {
            id: moveRow
            x: 42
            width: 198
            height: 30
            anchors.bottom: parent.bottom
            anchors.bottomMargin: 18
            HoverHandler { id: rowHover }
            // The row's hover eases over 0.14 s.
            property real hoverMix: rowHover.hovered ? 1 : 0
            Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
            readonly property color tint: column.transparent
                ? Theme.mix(Theme.transparentPrimary(false, 1, Theme.level), Theme.transparentPrimary(true, 1, Theme.level), hoverMix)
                : Theme.appPrimary
            ResultsLinkButton {
                objectName: "navigatorPrevious"
                anchors.left: parent.left
                anchors.verticalCenter: parent.verticalCenter
                text: "上一题"
                iconName: "chevron.left"
                color: moveRow.tint
                enabled: column.controller && column.controller.canMovePrevious
                onClicked: column.controller.moveBy(-1)
            }
            ResultsLinkButton {
                objectName: "navigatorNext"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: "下一题"
                iconName: "chevron.right"
                iconAfterText: true
                color: moveRow.tint
                enabled: column.controller && column.controller.canMoveNext
                onClicked: column.controller.moveBy(1)
            }
        }
    }

    // The collapse handle, over the navigator's leading edge.
    Rectangle {
        id: handle
        objectName: "answerCardHandle"
        width: 36
        height: 78
        anchors.verticalCenter: parent.verticalCenter
        radius: 18
        readonly property color ink: Theme.opaqueColor(AppModel.transparentInkHex)
        readonly property bool hovered: column.hoveringHandle
        color: column.transparent
               ? Theme.withOpacity(ink, hovered ? 0.18 : (column.collapsed ? 0.13 : 0.08))
               : Theme.withOpacity(Theme.appBackground, hovered ? 1.0 : 0.82)
        scale: handleMouse.pressed ? 0.96 : 1
        opacity: handleMouse.pressed ? 0.76 : 1
        Behavior on scale { NumberAnimation { duration: 80; easing.type: Easing.OutCubic } }
        Behavior on opacity { NumberAnimation { duration: 80; easing.type: Easing.OutCubic } }
        Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutCubic } }

        Shape {
            id: chevron
            anchors.centerIn: parent
            width: 13
            height: 20
            readonly property bool pointsRight: column.collapsed
            ShapePath {
                strokeWidth: 2.4
                Behavior on strokeColor { ColorAnimation { duration: 120; easing.type: Easing.OutCubic } }
                strokeColor: column.transparent
                             ? Theme.withOpacity(handle.ink, handle.hovered ? 1.0 : (column.collapsed ? 0.92 : 0.72))
                             : Theme.withOpacity(Theme.appSecondary, handle.hovered ? 0.92 : 0.72)
                fillColor: "transparent"
                capStyle: ShapePath.RoundCap
                joinStyle: ShapePath.RoundJoin
                startX: chevron.pointsRight ? 0 : 13
                startY: 0
                PathLine { x: chevron.pointsRight ? 13 : 0; y: 10 }
                PathLine { x: chevron.pointsRight ? 0 : 13; y: 20 }
            }
        }

        Accessible.role: Accessible.Button
        Accessible.name: column.controller ? column.controller.handleTooltip : ""
        ToolTip.visible: handleMouse.containsMouse
        ToolTip.text: column.controller ? column.controller.handleTooltip : ""

        MouseArea {
            id: handleMouse
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: column.controller.toggleAnswerCard()
        }
    }
}
