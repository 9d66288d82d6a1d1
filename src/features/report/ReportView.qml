import QtQuick
import QtQuick.Shapes
import Vuzo

// The result of a submitted set: score card with the accuracy ring, the
// answer overview grid and the two ways into the analysis.
Item {
    id: view
    objectName: "reportView"

    ReportController {
        id: report
        objectName: "reportController"
        model: AppModel
    }

    readonly property bool transparent: report.transparent
    readonly property color statusGreen: Theme.withOpacity(Theme.appGreen, report.statusOpacity)
    readonly property color statusRed: Theme.withOpacity(Theme.appRed, report.statusOpacity)
    readonly property color neutral: transparent ? Theme.withOpacity(Theme.appSecondary, report.neutralOpacity)
                                                 : Theme.appBackground
    property bool hoveringScore: false
    // The score row's hover eases over 0.14 s; nothing else on the ring does.
    property real scoreHoverMix: hoveringScore ? 1 : 0
    Behavior on scoreHoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
    readonly property color ringColor: transparent ? Theme.mix(Theme.transparentPrimary(false, 1.0, Theme.level),
                                                               Theme.transparentPrimary(true, 1.0, Theme.level), scoreHoverMix)
                                                   : Theme.appPrimary

    Rectangle {
        anchors.fill: parent
        color: view.transparent ? "transparent" : Theme.appBackground
    }

    Column {
        anchors.fill: parent

        // Header
        Rectangle {
            width: parent.width
            height: 58
            color: view.transparent ? "transparent" : "white"
            ResultsLinkButton {
                objectName: "reportBack"
                anchors.left: parent.left
                anchors.leftMargin: 20
                anchors.verticalCenter: parent.verticalCenter
                text: report.backLabel
                iconName: "chevron.left"
                color: Theme.appTitle
                onClicked: report.back()
            }
            Text {
                anchors.centerIn: parent
                text: "练习报告"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                font.pixelSize: 16
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
        }
        Rectangle {
            objectName: "reportHeaderDivider"
            width: parent.width
            height: 1
            color: Theme.separatorColor
            opacity: view.transparent ? 0.18 : 1
        }

        EmptyStateView {
            objectName: "reportEmptyState"
            visible: !report.hasReport
            width: parent.width
            height: parent.height - 59
            title: "报告生成失败"
            systemImage: "exclamationmark.triangle"
        }

        Flickable {
            id: scroller
            objectName: "reportScroll"
            visible: report.hasReport
            width: parent.width
            height: parent.height - 59 - (actionBar.visible ? actionBar.height + 1 : 0)
            clip: true
            contentWidth: width
            contentHeight: body.height + 56
            boundsBehavior: Flickable.StopAtBounds

            Column {
                id: body
                x: 28
                y: 28
                width: scroller.width - 56
                spacing: 20

                // Score card
                AppCard {
                    width: parent.width
                    height: scoreRow.height + 40
                    transparent: view.transparent
                    verticalPadding: 20

                    Row {
                        id: scoreRow
                        spacing: 34
                        width: parent.width

                        // The whole row, its empty end too, and not the card's padding.
                        HoverHandler {
                            onHoveredChanged: view.hoveringScore = hovered
                        }

                        Item {
                            id: ring
                            objectName: "scoreRing"
                            width: 150
                            height: 150
                            readonly property real fraction: report.rightRate / 100
                            // The stroke is centred on the frame's own circle, so
                            // half of it lies outside the 150 frame; the shape is
                            // that much larger so that its layer keeps it.
                            Shape {
                                x: -7
                                y: -7
                                width: 164
                                height: 164
                                layer.enabled: true
                                layer.samples: 4
                                ShapePath {
                                    strokeColor: view.neutral
                                    strokeWidth: 14
                                    fillColor: "transparent"
                                    PathAngleArc { centerX: 82; centerY: 82; radiusX: 75; radiusY: 75; startAngle: 0; sweepAngle: 360 }
                                }
                                ShapePath {
                                    strokeColor: view.ringColor
                                    strokeWidth: 14
                                    fillColor: "transparent"
                                    capStyle: ShapePath.RoundCap
                                    PathAngleArc {
                                        centerX: 82; centerY: 82; radiusX: 75; radiusY: 75
                                        startAngle: -90
                                        sweepAngle: 360 * ring.fraction
                                    }
                                }
                            }
                            Column {
                                anchors.centerIn: parent
                                spacing: 2
                                Text {
                                    objectName: "rateText"
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    text: report.rightRate + "%"
                                    Accessible.role: Accessible.StaticText
                                    Accessible.name: text
                                    textFormat: Text.PlainText
                                    font.pixelSize: 28
                                    font.weight: Font.Bold
                                    color: view.ringColor
                                }
                                Text {
                                    anchors.horizontalCenter: parent.horizontalCenter
                                    text: "正确率"
                                    textFormat: Text.PlainText
                                    font.pixelSize: 12
                                    color: Theme.appSecondary
                                }
                            }
                        }

                        Column {
                            anchors.verticalCenter: parent.verticalCenter
                            width: parent.width - ring.width - 34
                            spacing: 12
                            Text {
                                objectName: "reportTitle"
                                width: parent.width
                                text: report.title
                                Accessible.role: Accessible.StaticText
                                Accessible.name: text
                                textFormat: Text.PlainText
                                wrapMode: Text.Wrap
                                font.pixelSize: 22
                                font.weight: Font.Bold
                                color: Theme.appTitle
                            }
                            Text {
                                objectName: "reportSummary"
                                width: parent.width
                                text: report.summary
                                Accessible.role: Accessible.StaticText
                                Accessible.name: text
                                textFormat: Text.PlainText
                                wrapMode: Text.Wrap
                                font.pixelSize: 13
                                color: Theme.appSecondary
                            }
                            Row {
                                spacing: 14
                                topPadding: 8
                                Repeater {
                                    model: [
                                        { title: "答对", value: report.rightNum, tint: view.statusGreen },
                                        { title: "答错", value: report.wrongNum, tint: view.statusRed },
                                        { title: "未答", value: report.unAnswerNum, tint: Theme.appSecondary }
                                    ]
                                    delegate: Rectangle {
                                        required property var modelData
                                        width: 76
                                        height: 66
                                        radius: 10
                                        color: Theme.withOpacity(modelData.tint, 0.08)
                                        Column {
                                            anchors.centerIn: parent
                                            spacing: 5
                                            Text {
                                                anchors.horizontalCenter: parent.horizontalCenter
                                                text: String(modelData.value)
                                                Accessible.role: Accessible.StaticText
                                                Accessible.name: modelData.title + " " + text
                                                textFormat: Text.PlainText
                                                font.pixelSize: 22
                                                font.weight: Font.Bold
                                                color: modelData.tint
                                            }
                                            Text {
                                                anchors.horizontalCenter: parent.horizontalCenter
                                                text: modelData.title
                                                Accessible.role: Accessible.StaticText
                                                Accessible.name: text
                                                textFormat: Text.PlainText
                                                font.pixelSize: 12
                                                color: Theme.appSecondary
                                            }
                                        }
                                    }
                                }
                            }
                        }
                    }
                }

                // Answer overview
                AppCard {
                    width: parent.width
                    height: overview.height + 40
                    transparent: view.transparent
                    verticalPadding: 20

                    Column {
                        id: overview
                        width: parent.width
                        spacing: 18
                        Item {
                            width: parent.width
                            height: overviewTitle.height
                            Text {
                                id: overviewTitle
                                text: "答题情况"
                                textFormat: Text.PlainText
                                font.pixelSize: 18
                                font.weight: Font.DemiBold
                                color: Theme.appTitle
                            }
                            Row {
                                anchors.right: parent.right
                                anchors.verticalCenter: parent.verticalCenter
                                spacing: 14
                                Repeater {
                                    model: [
                                        { label: "正确", tint: view.statusGreen },
                                        { label: "错误", tint: view.statusRed },
                                        { label: "未答", tint: view.neutral }
                                    ]
                                    delegate: Row {
                                        required property var modelData
                                        spacing: 5
                                        Rectangle {
                                            anchors.verticalCenter: parent.verticalCenter
                                            width: 8
                                            height: 8
                                            radius: 4
                                            color: modelData.tint
                                        }
                                        Text {
                                            text: modelData.label
                                            textFormat: Text.PlainText
                                            font.pixelSize: 11
                                            color: Theme.appSecondary
                                        }
                                    }
                                }
                            }
                        }
                        Rectangle {
                            objectName: "reportOverviewDivider"
                            width: parent.width
                            height: 1
                            color: Theme.separatorColor
                        }
                        Grid {
                            id: grid
                            objectName: "answerGrid"
                            width: parent.width
                            columns: 10
                            rowSpacing: 14
                            // Ten equal columns across the card, 14 apart.
                            readonly property real cell: Math.max(10, (width - 9 * 14) / 10)
                            columnSpacing: 14
                            Repeater {
                                model: report.answerGrid
                                delegate: Item {
                                    required property int index
                                    required property int number
                                    required property int status
                                    width: grid.cell
                                    height: 36
                                    AnswerStatusCircle {
                                        objectName: "reportCircle" + number
                                        anchors.centerIn: parent
                                        number: parent.number
                                        status: parent.status
                                        transparent: view.transparent
                                        onClicked: report.openQuestion(parent.index)
                                    }
                                }
                            }
                        }
                    }
                }
            }
        }

        Rectangle {
            width: parent.width
            height: 1
            visible: actionBar.visible
            color: Theme.separatorColor
            opacity: view.transparent ? 0.18 : 1
        }

        Rectangle {
            id: actionBar
            objectName: "reportActionBar"
            visible: report.hasReport
            width: parent.width
            height: 42 + 32
            color: view.transparent ? "transparent" : "white"
            Row {
                anchors.centerIn: parent
                spacing: 16
                PrimaryButton {
                    objectName: "allAnalysisButton"
                    width: 150
                    text: "全部解析"
                    filled: false
                    transparent: view.transparent
                    onClicked: report.showAllAnalysis()
                }
                PrimaryButton {
                    objectName: "wrongAnalysisButton"
                    visible: report.hasWrongAnswers
                    width: 150
                    text: "错题解析"
                    filled: true
                    transparent: view.transparent
                    onClicked: report.showWrongAnalysis()
                }
            }
        }
    }
}
