import QtQuick
import QtQuick.Controls.Basic
import Vuzo

// The pane of one question: the header (type tag, source, collect button),
// the stem, the answer area (option rows, the multiple-choice confirm button
// or the subjective reveal button and analysis card) and, on a revealed
// review question, the review result. Everything is read from the model
// through QuestionBodyState; every action goes to a model operation.
//
// Reads the AppModel singleton. Hosted by the question screen's pages and by
// the material view, which set:
//   questionId      the question of this page
//   transparent, inkHex, inkIntensity   the look
//   contentWanted   false (the default) keeps every web view of the page
//                   unbuilt; once true the content loads and stays loaded
// and may listen to contentReady(), sent once the stem has laid out.
// controller, questionIndex and stem are accepted for the host's sake and
// not needed.
Column {
    id: body
    property QtObject controller
    property int questionIndex: -1
    property string questionId
    property string stem
    property bool transparent: false
    property string inkHex: ""
    property real inkIntensity: 1
    // False until the host says otherwise: a host that binds it only after
    // creation (a Loader's onLoaded) must not find the web views already built.
    property bool contentWanted: false
    property bool loadContent: false
    onContentWantedChanged: if (contentWanted) loadContent = true
    Component.onCompleted: if (contentWanted) loadContent = true
    signal contentReady()

    // Presentation state of the page, lost with it.
    property real questionContentHeight: 80
    property real answerAnalysisHeight: 80
    property string hoveringOptionLetter: ""

    readonly property QuestionBodyState bodyState: pageState
    readonly property real contentWidth: Math.min(700, width)

    spacing: 22

    QuestionBodyState {
        id: pageState
        model: AppModel
        questionId: body.questionId
    }

    // ---- header -----------------------------------------------------------
    Item {
        id: header
        objectName: "questionHeader"
        width: body.contentWidth
        height: 32

        Rectangle {
            id: typeTag
            objectName: "typeTag"
            anchors.verticalCenter: parent.verticalCenter
            width: tagText.implicitWidth + 16
            height: tagText.implicitHeight + 8
            radius: 5
            color: body.transparent ? "transparent" : Theme.appPrimarySoft
            border.width: 1
            border.color: body.transparent ? Theme.withOpacity(Theme.appTitle, 0.16) : "transparent"
            Text {
                id: tagText
                anchors.centerIn: parent
                text: pageState.typeTag
                textFormat: Text.PlainText
                font.pixelSize: 14
                font.weight: Font.DemiBold
                color: body.transparent ? Theme.withOpacity(Theme.appTitle, 0.72) : Theme.appPrimary
            }
        }

        Text {
            id: source
            objectName: "sourceLine"
            visible: pageState.questionFrom !== ""
            anchors.left: typeTag.right
            anchors.leftMargin: 9
            anchors.verticalCenter: parent.verticalCenter
            // It ends 22 before the collect button: spacing, the spacer's 4, spacing.
            width: Math.max(0, collect.x - 22 - x)
            text: "来源：" + pageState.questionFrom
            textFormat: Text.PlainText
            elide: Text.ElideRight
            maximumLineCount: 1
            font.pixelSize: 14
            color: Theme.appSecondary
            HoverHandler { id: sourceHover }
            ToolTip.visible: sourceHover.hovered
            ToolTip.delay: 700
            ToolTip.text: pageState.questionFrom
        }

        CollectionButton {
            id: collect
            objectName: "collectButton"
            Accessible.ignored: !body.enabled
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            questionId: body.questionId
            questionIsCollect: pageState.isCollect
            transparent: body.transparent
        }
    }

    // ---- stem -------------------------------------------------------------
    Loader {
        id: stem
        objectName: "stemLoader"
        width: body.contentWidth
        height: Math.max(80, body.questionContentHeight)
        active: body.loadContent
        sourceComponent: HtmlWebViewWithImageViewer {
            objectName: "stemView"
            html: pageState.stemHtml
            textOpacity: pageState.htmlTextOpacity
            imageOpacity: pageState.htmlImageOpacity
            transparentInkHex: pageState.inkHex
            transparentInkIntensity: pageState.inkIntensity
            isGraphicReasoning: pageState.isGraphicReasoning
            onContentHeightChanged: {
                if (contentHeight > 0) {
                    body.questionContentHeight = contentHeight;
                    body.contentReady();
                }
            }
        }
    }

    // ---- answer area ------------------------------------------------------
    Column {
        id: answerArea
        objectName: "answerArea"
        width: body.contentWidth
        spacing: pageState.questionType === QuestionType.Answer ? 10 : 12

        Text {
            objectName: "multipleHint"
            visible: pageState.questionType === QuestionType.Multiple
            text: "可选择多个答案"
            textFormat: Text.PlainText
            font.pixelSize: 14
            color: Theme.appSecondary
        }

        Repeater {
            model: pageState.questionType === QuestionType.Answer ? null : pageState.options
            delegate: OptionRow {
                objectName: "option" + letter
                width: answerArea.width
                bodyState: pageState
                // Neighbour pages stay mounted but disabled; they are not on screen.
                Accessible.ignored: !body.enabled
                hovering: body.hoveringOptionLetter === letter
                loadContent: body.loadContent
                onClicked: pageState.choose(letter)
                onHoverChanged: (inside) => body.hoveringOptionLetter = inside ? letter : ""
            }
        }

        // The primary action sits 6 below the item before it.
        Item {
            visible: pageState.showsConfirmButton
            width: answerArea.width
            height: 50
            PrimaryButton {
                objectName: "confirmButton"
                Accessible.ignored: !body.enabled
                y: 6
                width: parent.width
                height: 44
                text: pageState.confirmLabel
                plain: true
                filled: !body.transparent
                transparent: body.transparent
                enabled: pageState.hasAnswer
                opacity: pageState.confirmOpacity
                onClicked: pageState.confirm()
            }
        }

        Item {
            visible: pageState.questionType === QuestionType.Answer && !pageState.revealed
            width: answerArea.width
            height: 50
            PrimaryButton {
                objectName: "revealButton"
                Accessible.ignored: !body.enabled
                y: 6
                width: parent.width
                height: 44
                text: pageState.revealLabel
                plain: true
                filled: !body.transparent
                transparent: body.transparent
                onClicked: pageState.confirm()
            }
        }

        Item {
            visible: pageState.showsAnalysisCard
            width: answerArea.width
            height: 17
            Rectangle {
                y: 8
                width: parent.width
                height: 1
                color: Theme.withOpacity(Theme.appSecondary, 0.2)
            }
        }

        // Built only once shown: most pages never reveal.
        Loader {
            id: analysisCard
            width: answerArea.width
            active: pageState.showsAnalysisCard
            visible: active
            sourceComponent: QuestionCard {
                objectName: "analysisCard"
                width: answerArea.width
                height: cardRows.implicitHeight + 36
                transparent: body.transparent
                Column {
                    id: cardRows
                    x: 18
                    y: 18
                    width: parent.width - 36
                    spacing: 12
                    AnalysisHeaderRow {
                        width: parent.width
                        bodyState: pageState
                        transparent: body.transparent
                    }
                    Loader {
                        objectName: "analysisLoader"
                        width: parent.width
                        height: Math.max(40, body.answerAnalysisHeight)
                        active: body.loadContent
                        sourceComponent: HtmlWebViewWithImageViewer {
                            html: pageState.analysisHtml
                            textOpacity: pageState.htmlTextOpacity
                            imageOpacity: pageState.htmlImageOpacity
                            transparentInkHex: pageState.inkHex
                            transparentInkIntensity: pageState.inkIntensity
                            isGraphicReasoning: pageState.isGraphicReasoning
                            onContentHeightChanged: if (contentHeight > 0) body.answerAnalysisHeight = contentHeight
                        }
                    }
                }
            }
        }
    }

    // ---- review result ----------------------------------------------------
    Loader {
        width: body.contentWidth
        active: pageState.showsReviewResult
        visible: active
        sourceComponent: ReviewResultPanel {
            objectName: "reviewResult"
            width: body.contentWidth
            bodyState: pageState
            transparent: body.transparent
            loadContent: body.loadContent
        }
    }
}
