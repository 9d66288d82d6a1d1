import QtQuick
import QtQuick.Controls
import Vuzo

// The collapsible answer card at the trailing side: heading, answered count,
// one number per real question, previous and next, and "交卷". The handle
// collapses it to a 36-pt strip; the choice is stored.
Item {
    id: column
    required property QuestionScreenController controller
    property bool transparent: false
    property string inkHex: "#212636"
    signal submitRequested()

    readonly property bool collapsed: controller.answerCardCollapsed
    readonly property bool hoveringBottom: bottomHover.hovered
    readonly property bool hoveringHandle: handleArea.containsMouse
    // The handle's ink: the ink colour without its intensity.
    readonly property color handleInk: Theme.opaqueColor(inkHex)

    width: collapsed ? 36 : 250
    clip: true
    Behavior on width { NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }

    Rectangle {
        anchors.fill: parent
        color: column.transparent ? "transparent" : "white"
    }

    Item {
        id: card
        objectName: "answerCard"
        width: 250
        height: parent.height
        opacity: column.collapsed ? 0 : 1
        enabled: !column.collapsed
        // Fades with the column's collapse.
        Behavior on opacity { NumberAnimation { duration: 180; easing.type: Easing.InOutQuad } }

        Column {
            id: cardColumn
            anchors.fill: parent
            anchors.topMargin: 22
            anchors.bottomMargin: 22
            anchors.leftMargin: 44
            anchors.rightMargin: 18
            spacing: 18

            Text {
                text: "答题卡"
                textFormat: Text.PlainText
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
            Text {
                objectName: "answeredCount"
                text: column.controller.answeredCountText
                textFormat: Text.PlainText
                font.pixelSize: 12
                color: Theme.appSecondary
                opacity: column.transparent && !column.hoveringBottom ? 0.035 : 1
            }

            GridView {
                id: grid
                objectName: "answerGrid"
                width: parent.width
                height: parent.height - y - bottom.height - parent.spacing
                clip: true
                // Five flexible columns 8 apart and rows 12 apart: each circle
                // sits at the centre of its column, a fifth of the width less
                // the gaps, wherever the view's own cells fall.
                readonly property real columnWidth: Math.max(10, (width - 4 * 8) / 5)
                cellWidth: Math.floor(width / 5)
                cellHeight: 30 + 12
                boundsBehavior: Flickable.StopAtBounds
                model: column.controller.answerCard
                delegate: Item {
                    required property int index
                    required property int number
                    required property int sourceIndex
                    required property int status
                    required property bool current
                    readonly property bool answered: status === AnswerCircleModel.Answered
                    width: grid.cellWidth
                    height: grid.cellHeight
                    Rectangle {
                        objectName: "answerNumber"
                        x: (index % 5) * (grid.columnWidth + 8 - grid.cellWidth) + (grid.columnWidth - width) / 2
                        width: 30
                        height: 30
                        radius: 15
                        antialiasing: true
                        readonly property int fillKind: column.controller.numberFill(column.transparent, current, answered)
                        readonly property int strokeKind: column.controller.numberStroke(column.transparent, current)
                        color: fillKind === 1 ? Theme.appPrimary
                             : fillKind === 2 ? Theme.appPrimarySoft
                             : fillKind === 3 ? Theme.appBackground : "transparent"
                        border.width: strokeKind === 1 ? 1.2 : 0
                        border.color: Theme.withOpacity(Theme.appTitle, 0.18)
                        Text {
                            anchors.centerIn: parent
                            text: number
                            font.pixelSize: 12
                            font.weight: Font.Medium
                            color: column.controller.numberText(column.transparent, current) === 0 ? "white" : Theme.appTitle
                        }
                        MouseArea {
                            anchors.fill: parent
                            cursorShape: Qt.PointingHandCursor
                            onClicked: column.controller.jumpTo(sourceIndex)
                        }
                    }
                }
            }

            Column {
                id: bottom
                width: parent.width
                spacing: 14
                HoverHandler {
                    id: bottomHover
                }
                Row {
                    anchors.horizontalCenter: parent.horizontalCenter
                    spacing: 10
                    Repeater {
                        model: [
                            { symbol: "chevron.left", label: "上一题", step: -1 },
                            { symbol: "chevron.right", label: "下一题", step: 1 }
                        ]
                        delegate: Rectangle {
                            required property var modelData
                            objectName: modelData.step < 0 ? "previousButton" : "nextButton"
                            width: 40
                            height: 40
                            radius: 20
                            antialiasing: true
                            enabled: modelData.step < 0 ? column.controller.canGoPrevious : column.controller.canGoNext
                            color: column.transparent ? "transparent" : Theme.appBackground
                            border.width: column.transparent ? 1 : 0
                            border.color: Theme.withOpacity(Theme.appSecondary, 0.45)
                            opacity: (column.transparent && !column.hoveringBottom ? 0.08 : 1) * (enabled ? 1 : 0.4)
                            Behavior on opacity { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                            Accessible.role: Accessible.Button
                            Accessible.name: modelData.label
                            SymbolIcon {
                                anchors.centerIn: parent
                                width: 16
                                height: 16
                                name: modelData.symbol
                                color: column.transparent ? Theme.appTitle : Qt.rgba(11 / 255, 132 / 255, 254 / 255, 1)
                            }
                            MouseArea {
                                anchors.fill: parent
                                cursorShape: Qt.PointingHandCursor
                                onClicked: column.controller.move(modelData.step)
                            }
                        }
                    }
                }
                Rectangle {
                    objectName: "submitButton"
                    width: parent.width
                    height: 42
                    radius: 21
                    antialiasing: true
                    // The bottom controls' hover eases over 0.14 s.
                    property real hoverMix: column.hoveringBottom ? 1 : 0
                    Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                    readonly property color accent: Theme.mix(Theme.transparentPrimary(false, 1.0, Theme.level),
                                                              Theme.transparentPrimary(true, 1.0, Theme.level), hoverMix)
                    color: column.transparent ? "transparent" : Theme.appPrimary
                    border.width: column.transparent ? 1 : 0
                    border.color: accent
                    Accessible.role: Accessible.Button
                    Accessible.name: "交卷"
                    Text {
                        anchors.centerIn: parent
                        text: "交卷"
                        font.pixelSize: 14
                        color: column.transparent ? parent.accent : "white"
                    }
                    MouseArea {
                        anchors.fill: parent
                        cursorShape: Qt.PointingHandCursor
                        onClicked: column.submitRequested()
                    }
                }
            }
        }
    }

    // The handle: ">" while collapsed, "<" while open.
    Rectangle {
        id: handle
        objectName: "answerCardHandle"
        x: 0
        anchors.verticalCenter: parent.verticalCenter
        width: 36
        height: 78
        radius: 18
        antialiasing: true
        scale: handleArea.pressed ? 0.96 : 1
        opacity: handleArea.pressed ? 0.76 : 1
        Behavior on scale { NumberAnimation { duration: 80; easing.type: Easing.OutCubic } }
        Behavior on opacity { NumberAnimation { duration: 80; easing.type: Easing.OutCubic } }
        // Hover eases over 0.12 s, fill and chevron alike.
        Behavior on color { ColorAnimation { duration: 120; easing.type: Easing.OutCubic } }
        color: column.transparent
               ? Theme.withOpacity(column.handleInk, column.hoveringHandle ? 0.18 : column.collapsed ? 0.13 : 0.08)
               : Theme.withOpacity(Theme.appBackground, column.hoveringHandle ? 1.0 : 0.82)
        // The chevron's path spans 13 × 20; the canvas leaves room for
        // half the stroke around it.
        Canvas {
            id: chevron
            anchors.centerIn: parent
            width: 13 + 2.4
            height: 20 + 2.4
            readonly property bool pointsRight: column.collapsed
            property color stroke: column.transparent
                ? Theme.withOpacity(column.handleInk, column.hoveringHandle ? 1.0 : column.collapsed ? 0.92 : 0.72)
                : Theme.withOpacity(Theme.appSecondary, column.hoveringHandle ? 0.92 : 0.72)
            Behavior on stroke { ColorAnimation { duration: 120; easing.type: Easing.OutCubic } }
            onPointsRightChanged: requestPaint()
            onStrokeChanged: requestPaint()
            onPaint: {
                const ctx = getContext("2d");
                ctx.reset();
                ctx.lineWidth = 2.4;
                ctx.lineCap = "round";
                ctx.lineJoin = "round";
                ctx.strokeStyle = stroke;
                const inset = ctx.lineWidth / 2;
                ctx.beginPath();
                if (pointsRight) {
                    ctx.moveTo(inset, inset);
                    ctx.lineTo(width - inset, height / 2);
                    ctx.lineTo(inset, height - inset);
                } else {
                    ctx.moveTo(width - inset, inset);
                    ctx.lineTo(inset, height / 2);
                    ctx.lineTo(width - inset, height - inset);
                }
                ctx.stroke();
            }
        }
        MouseArea {
            id: handleArea
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: column.controller.toggleAnswerCard()
            ToolTip.visible: containsMouse
            ToolTip.delay: 600
            ToolTip.text: column.collapsed ? "展开答题卡" : "收起答题卡"
        }
        Accessible.role: Accessible.Button
        Accessible.name: column.collapsed ? "展开答题卡" : "收起答题卡"
    }
}
