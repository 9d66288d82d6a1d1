import QtQuick
import Vuzo

// The stand-in question body: the stem alone. The full body (options,
// feedback, analysis) is given to QuestionView as questionBodyComponent and
// receives the same properties.
Column {
    id: body
    property QuestionScreenController controller
    property int questionIndex: -1
    property string questionId
    property string stem
    property bool transparent: false
    property string inkHex: ""
    property real inkIntensity: 1
    // Latched: once wanted, the content stays loaded.
    property bool contentWanted: false
    property bool loadContent: false
    onContentWantedChanged: if (contentWanted) loadContent = true
    signal contentReady()

    spacing: 16

    // No web view at all until the content is wanted.
    Loader {
        active: body.loadContent
        width: body.width
        height: item ? item.height : 24
        sourceComponent: HtmlWebViewWithImageViewer {
            objectName: "stemView"
            width: body.width
            height: Math.max(24, contentHeight)
            html: body.stem
            textOpacity: body.transparent ? 1.0 : 0.86
            imageOpacity: body.transparent ? Theme.levelBoosted(0.68, Theme.level) : 1.0
            transparentInkHex: body.transparent ? body.inkHex : ""
            transparentInkIntensity: body.inkIntensity
            isGraphicReasoning: body.controller ? body.controller.isGraphicReasoning(body.questionIndex) : false
            onContentHeightChanged: if (contentHeight > 0) body.contentReady()
        }
    }
}
