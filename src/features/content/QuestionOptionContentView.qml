import QtQuick
import Vuzo

// The text of one choice option: plain text when it holds no markup, else
// HTML in the option style. The HTML takes no mouse input, so a click on it
// reaches the option row beneath. HTML that is one bare paragraph is drawn
// as text in the option style: it looks the same, and a web view would
// cost each option of every mounted page a page in the engine.
Item {
    id: root
    property string content
    property real fontSize: 16
    property real textOpacity: 1
    property real imageOpacity: 1
    property string transparentInkHex: ""
    property real transparentInkIntensity: 1
    property bool isGraphicReasoning: false

    readonly property bool isMarkup: ContentViewRules.hasMarkup(content)

    implicitHeight: isMarkup ? Math.max(30, htmlLoader.item ? htmlLoader.item.contentHeight : 0) : plain.implicitHeight

    Text {
        id: plain
        objectName: "optionPlainText"
        visible: !root.isMarkup
        width: parent.width
        text: root.isMarkup ? "" : ContentViewRules.decodeCharacterReferences(root.content)
        textFormat: Text.PlainText
        wrapMode: Text.Wrap
        font.pixelSize: root.fontSize
        color: Theme.withOpacity(Theme.appTitle, root.textOpacity)
    }

    Loader {
        id: htmlLoader
        active: root.isMarkup
        width: parent.width
        height: root.implicitHeight
        sourceComponent: ContentViewRules.isPlainParagraph(root.content) ? paragraphComponent : webComponent
    }

    Component {
        id: paragraphComponent
        // As the page lays the paragraph out: its type, line height and colour.
        Text {
            objectName: "optionParagraphText"
            readonly property int contentStyle: ContentViewRules.optionContentStyle(root.fontSize)
            readonly property real lineBox: ContentViewRules.styleLineHeight(contentStyle)
            // Read as the page's own height report.
            readonly property real contentHeight: Math.max(1, lineCount) * lineBox
            text: ContentViewRules.paragraphText(root.content)
            textFormat: Text.PlainText
            wrapMode: Text.WrapAtWordBoundaryOrAnywhere
            font.family: "Noto Sans CJK SC"
            font.pixelSize: ContentViewRules.styleFontSize(contentStyle)
            lineHeightMode: Text.FixedHeight
            lineHeight: lineBox
            color: {
                // The ink's intensity enters the colour through the palette.
                void root.transparentInkIntensity;
                return ContentViewRules.contentTextColor(root.textOpacity, root.transparentInkHex);
            }
        }
    }

    Component {
        id: webComponent
        HtmlWebView {
            interactive: false
            html: root.content
            textOpacity: root.textOpacity
            imageOpacity: root.imageOpacity
            transparentInkHex: root.transparentInkHex
            transparentInkIntensity: root.transparentInkIntensity
            isGraphicReasoning: root.isGraphicReasoning
            contentStyle: ContentViewRules.optionContentStyle(root.fontSize)
        }
    }
}
