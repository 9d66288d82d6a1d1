import QtQuick
import QtQuick.Controls
import Vuzo

// The scrolling column of the current question: its header row, stem and
// options, the result card (choice questions) and the analysis card. The
// views stay while the question changes; they only take new content.
Flickable {
    id: pane
    property AnalysisController controller
    // The screen's scroll positions: this pane keeps "analysis:" + question id.
    property ScrollOffsetCache scrollOffsets

    readonly property bool transparent: controller ? controller.transparent : false
    readonly property string inkHex: transparent ? AppModel.transparentInkHex : ""

    clip: true
    contentWidth: width
    contentHeight: column.height + 60
    boundsBehavior: Flickable.StopAtBounds
    flickableDirection: Flickable.VerticalFlick
    ScrollBar.vertical: ScrollBar { policy: ScrollBar.AsNeeded; visible: false }

    // A question seen before on this visit comes back where it was left,
    // as soon as its content is tall enough again.
    ScrollMemory {
        objectName: "analysisScrollMemory"
        flickable: pane
        cache: pane.scrollOffsets
        key: pane.scrollOffsets && pane.controller && pane.controller.questionId !== ""
             ? pane.scrollOffsets.analysisKey(pane.controller.questionId) : ""
    }

    Column {
        id: column
        x: 30
        y: 30
        width: Math.min(700, pane.width - 60)
        spacing: 22

        // Question block
        Column {
            width: parent.width
            spacing: 18

            Row {
                width: parent.width
                spacing: 9
                Rectangle {
                    id: tagBox
                    anchors.verticalCenter: parent.verticalCenter
                    width: tag.implicitWidth + 16
                    height: tag.implicitHeight + 8
                    radius: 5
                    color: pane.transparent ? "transparent" : Theme.appPrimarySoft
                    border.width: pane.transparent ? 1 : 0
                    border.color: Theme.withOpacity(Theme.appTitle, 0.16)
                    Text {
                        id: tag
                        objectName: "analysisTypeTag"
                        anchors.centerIn: parent
                        text: pane.controller ? pane.controller.typeTag : ""
                        textFormat: Text.PlainText
                        font.pixelSize: 12
                        font.weight: Font.DemiBold
                        color: pane.transparent ? Theme.withOpacity(Theme.appTitle, 0.72) : Theme.appPrimary
                    }
                }
                Text {
                    id: sourceLine
                    objectName: "analysisSource"
                    anchors.verticalCenter: parent.verticalCenter
                    visible: pane.controller && pane.controller.hasSource
                    // Gives way first: the collect button keeps its full frame.
                    width: Math.max(0, Math.min(implicitWidth, parent.width - tagBox.width - collect.width - 4 - 3 * parent.spacing))
                    text: pane.controller ? pane.controller.sourceText : ""
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    maximumLineCount: 1
                    font.pixelSize: 12
                    color: Theme.appSecondary
                    HoverHandler { id: sourceHover }
                    ToolTip.visible: sourceHover.hovered && text !== ""
                    ToolTip.text: pane.controller ? pane.controller.source : ""
                }
                Item {
                    width: Math.max(4, parent.width - x - collect.width - parent.spacing)
                    height: 1
                }
                // The collect button of the question screen, for the shown question.
                CollectionButton {
                    id: collect
                    objectName: "analysisCollect"
                    anchors.verticalCenter: parent.verticalCenter
                    questionId: pane.controller ? pane.controller.questionId : ""
                    questionIsCollect: pane.controller ? pane.controller.questionIsCollect : false
                    transparent: pane.transparent
                }
            }

            HtmlWebViewWithImageViewer {
                id: stem
                objectName: "analysisStem"
                width: parent.width
                height: pane.controller ? pane.controller.questionFrameHeight : 80
                html: pane.controller ? pane.controller.stemHtml : ""
                textOpacity: pane.controller ? pane.controller.htmlTextOpacity : 0.86
                imageOpacity: pane.controller ? pane.controller.stemImageOpacity : 1
                transparentInkHex: pane.inkHex
                transparentInkIntensity: AppModel.transparentInkIntensity
                isGraphicReasoning: pane.controller ? pane.controller.isGraphicReasoning : false
                // The generation the content was given with; the view reports
                // only its current document's height.
                readonly property int generation: pane.controller ? pane.controller.contentGeneration : 0
                onContentHeightChanged: if (pane.controller) pane.controller.reportQuestionHeight(generation, contentHeight)
            }

            Column {
                width: parent.width
                spacing: 11
                Repeater {
                    objectName: "analysisOptions"
                    model: pane.controller ? pane.controller.options : null
                    delegate: Rectangle {
                        id: option
                        required property string letter
                        required property string content
                        required property bool isRight
                        required property bool isWrongPick
                        required property bool isMarked
                        readonly property color tint: isWrongPick ? Theme.withOpacity(Theme.appRed, pane.controller.verdictOpacity)
                                                     : isRight ? Theme.withOpacity(Theme.appGreen, pane.controller.verdictOpacity)
                                                     : Theme.appSecondary
                        objectName: "analysisOption" + letter
                        width: parent.width
                        height: Math.max(30, optionContent.implicitHeight + 5) + 28
                        radius: 10
                        color: pane.transparent ? "transparent" : "white"
                        border.width: 1
                        border.color: Theme.withOpacity(tint, isMarked ? 0.55 : 0.12)

                        Row {
                            x: 14
                            y: 14
                            width: parent.width - 28
                            spacing: 14
                            Rectangle {
                                width: 30
                                height: 30
                                radius: 15
                                color: pane.transparent ? "transparent" : (option.isMarked ? option.tint : Theme.appBackground)
                                border.width: pane.transparent ? 1 : 0
                                border.color: Theme.withOpacity(option.tint, option.isMarked ? 0.9 : 0.45)
                                Text {
                                    anchors.centerIn: parent
                                    text: option.letter
                                    textFormat: Text.PlainText
                                    font.pixelSize: 14
                                    font.weight: Font.DemiBold
                                    color: pane.transparent ? option.tint : (option.isMarked ? "white" : option.tint)
                                }
                            }
                            QuestionOptionContentView {
                                id: optionContent
                                y: 5
                                width: parent.width - 30 - 14 - (mark.visible ? mark.width + 14 : 0)
                                height: implicitHeight
                                content: option.content
                                fontSize: 15
                                textOpacity: pane.controller.htmlTextOpacity
                                imageOpacity: pane.controller.stemImageOpacity
                                transparentInkHex: pane.inkHex
                                transparentInkIntensity: AppModel.transparentInkIntensity
                                isGraphicReasoning: pane.controller.isGraphicReasoning
                            }
                            Row {
                                id: mark
                                objectName: "optionMark"
                                visible: option.isMarked
                                spacing: 4
                                SymbolIcon {
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: 14
                                    height: 14
                                    name: option.isWrongPick ? "xmark.circle" : "checkmark.circle"
                                    color: option.tint
                                }
                                Text {
                                    text: option.isWrongPick ? "错选" : "正确"
                                    textFormat: Text.PlainText
                                    font.pixelSize: 13
                                    font.weight: Font.DemiBold
                                    color: option.tint
                                }
                            }
                        }
                    }
                }
            }
        }

        // Result card
        AnalysisResultCard {
            objectName: "analysisResultCard"
            visible: pane.controller && pane.controller.showsResultCard
            width: parent.width
            transparent: pane.transparent
            Row {
                spacing: 28
                Column {
                    spacing: 5
                    Text {
                        text: "正确答案"
                        textFormat: Text.PlainText
                        font.pixelSize: 12
                        color: Theme.appSecondary
                    }
                    Text {
                        objectName: "correctAnswer"
                        text: pane.controller ? pane.controller.correctAnswerText : ""
                        textFormat: Text.PlainText
                        font.pixelSize: 21
                        font.weight: Font.Bold
                        color: Theme.withOpacity(Theme.appGreen, pane.controller ? pane.controller.verdictOpacity : 1)
                    }
                }
                Rectangle {
                    objectName: "answerDivider"
                    visible: pane.controller && pane.controller.showsUserAnswer
                    width: 1
                    height: 46
                    color: Theme.separatorColor
                }
                Column {
                    visible: pane.controller && pane.controller.showsUserAnswer
                    spacing: 5
                    Text {
                        text: "你的答案"
                        textFormat: Text.PlainText
                        font.pixelSize: 12
                        color: Theme.appSecondary
                    }
                    Text {
                        objectName: "userAnswer"
                        text: pane.controller ? pane.controller.userAnswerText : ""
                        textFormat: Text.PlainText
                        font.pixelSize: 21
                        font.weight: Font.Bold
                        color: Theme.withOpacity(pane.controller && pane.controller.userAnswerCorrect ? Theme.appGreen : Theme.appRed,
                                                 pane.controller ? pane.controller.verdictOpacity : 1)
                    }
                }
            }
        }

        // Analysis card
        AnalysisResultCard {
            objectName: "analysisCard"
            width: parent.width
            transparent: pane.transparent
            Column {
                width: parent.width
                spacing: 14
                // At least 16 between the heading and the buttons: a narrow
                // card overflows rather than overlaps them.
                Item {
                    width: Math.max(parent.width, heading.width + 16 + moves.width)
                    height: Math.max(heading.height, moves.height)
                    Row {
                        id: heading
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 8
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 17
                            height: 17
                            name: "lightbulb.fill"
                            color: Theme.withOpacity(Theme.appPrimary, pane.controller ? pane.controller.headingIconOpacity : 1)
                        }
                        Text {
                            text: "解析"
                            textFormat: Text.PlainText
                            font.pixelSize: 17
                            font.weight: Font.DemiBold
                            color: Theme.appTitle
                        }
                    }
                    Row {
                        id: moves
                        anchors.right: parent.right
                        anchors.verticalCenter: parent.verticalCenter
                        spacing: 18
                        ResultsLinkButton {
                            objectName: "cardPrevious"
                            text: "上一题"
                            iconName: "chevron.left"
                            fontSize: 12
                            fontWeight: Font.DemiBold
                            color: pane.transparent ? Theme.appTitle : Theme.appPrimary
                            enabled: pane.controller && pane.controller.canMovePrevious
                            onClicked: pane.controller.moveBy(-1)
                        }
                        ResultsLinkButton {
                            objectName: "cardNext"
                            text: "下一题"
                            iconName: "chevron.right"
                            iconAfterText: true
                            fontSize: 12
                            fontWeight: Font.DemiBold
                            color: pane.transparent ? Theme.appTitle : Theme.appPrimary
                            enabled: pane.controller && pane.controller.canMoveNext
                            onClicked: pane.controller.moveBy(1)
                        }
                    }
                }
                HtmlWebViewWithImageViewer {
                    id: analysisView
                    objectName: "analysisHtml"
                    width: parent.width
                    height: pane.controller ? pane.controller.analysisFrameHeight : 40
                    html: pane.controller ? pane.controller.analysisHtml : ""
                    textOpacity: pane.controller ? pane.controller.htmlTextOpacity : 0.86
                    imageOpacity: pane.controller ? pane.controller.analysisImageOpacity : 1
                    transparentInkHex: pane.inkHex
                    transparentInkIntensity: AppModel.transparentInkIntensity
                    isGraphicReasoning: pane.controller ? pane.controller.isGraphicReasoning : false
                    readonly property int generation: pane.controller ? pane.controller.contentGeneration : 0
                    onContentHeightChanged: if (pane.controller) pane.controller.reportAnalysisHeight(generation, contentHeight)
                }
            }
        }
    }
}
