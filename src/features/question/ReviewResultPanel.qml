import QtQuick
import Vuzo

// The correct answer and the analysis of a revealed choice question in
// review mode, below its options.
QuestionCard {
    id: panel
    property QuestionBodyState bodyState
    property bool loadContent: true
    // The analysis height until its view reports one.
    property real analysisHeight: 80

    implicitHeight: rows.implicitHeight + 36

    Column {
        id: rows
        x: 18
        y: 18
        width: panel.width - 36
        spacing: 16

        Item {
            width: parent.width
            height: 9
            Rectangle {
                y: 4
                width: parent.width
                height: 1
                color: Theme.withOpacity(Theme.appSecondary, 0.2)
            }
        }

        Row {
            spacing: 8
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                width: 16
                height: 16
                name: "checkmark.circle.fill"
                color: panel.transparent ? Theme.withOpacity(Theme.appGreen, Theme.levelBoosted(0.72, Theme.level))
                                         : Theme.appGreen
            }
            Text {
                objectName: "correctAnswerText"
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                Accessible.ignored: !enabled // neighbour pages are disabled and not on screen
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, rows.width - 24)
                text: "正确答案：" + (panel.bodyState ? panel.bodyState.correctAnswer : "")
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
        }

        AnalysisHeaderRow {
            width: parent.width
            bodyState: panel.bodyState
            transparent: panel.transparent
        }

        Loader {
            id: analysis
            objectName: "reviewAnalysis"
            width: parent.width
            height: Math.max(40, panel.analysisHeight)
            active: panel.loadContent && panel.visible
            sourceComponent: HtmlWebViewWithImageViewer {
                html: panel.bodyState ? panel.bodyState.analysisHtml : ""
                textOpacity: panel.transparent ? 1.0 : 0.86
                imageOpacity: 1.0
                transparentInkHex: panel.bodyState ? panel.bodyState.inkHex : ""
                transparentInkIntensity: panel.bodyState ? panel.bodyState.inkIntensity : 1
                isGraphicReasoning: panel.bodyState ? panel.bodyState.isGraphicReasoning : false
                onContentHeightChanged: if (contentHeight > 0) panel.analysisHeight = contentHeight
            }
        }
    }
}
