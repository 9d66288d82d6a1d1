import QtQuick
import Vuzo

// The material pane: the "材料" badge, the title when there is one, and the
// material's HTML, scrolling on its own and remembering its position.
Flickable {
    id: pane
    property string materialId
    property string title
    property string html
    property real bottomInset: 24
    property ScrollOffsetCache scrollOffsets
    property string inkHex: ""
    property real inkIntensity: 1
    property bool loadContent: true
    // The material's reported height until its view reports one.
    property real reportedHeight: 120

    clip: true
    contentWidth: width
    contentHeight: column.height + 60 + bottomInset
    boundsBehavior: Flickable.StopAtBounds

    Column {
        id: column
        x: 30
        y: 30
        width: Math.min(700, pane.width - 60)
        spacing: 16

        Rectangle {
            objectName: "materialBadge"
            width: badgeText.implicitWidth + 16
            height: badgeText.implicitHeight + 8
            radius: 5
            color: Theme.appPrimarySoft
            Text {
                id: badgeText
                anchors.centerIn: parent
                text: "材料"
                textFormat: Text.PlainText
                font.pixelSize: 14
                font.weight: Font.DemiBold
                color: Theme.appPrimary
            }
        }

        Text {
            objectName: "materialTitle"
            visible: pane.title.trim() !== ""
            width: parent.width
            text: pane.title
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 18
            font.weight: Font.DemiBold
            color: Theme.appTitle
        }

        Loader {
            objectName: "materialContent"
            width: parent.width
            height: Math.max(80, pane.reportedHeight)
            active: pane.loadContent
            sourceComponent: HtmlWebViewWithImageViewer {
                html: pane.html
                textOpacity: 1
                imageOpacity: 1
                transparentInkHex: pane.inkHex
                transparentInkIntensity: pane.inkIntensity
                isGraphicReasoning: false
                onContentHeightChanged: if (contentHeight > 0) pane.reportedHeight = contentHeight
            }
        }
    }

    ScrollMemory {
        flickable: pane
        cache: pane.scrollOffsets
        key: pane.scrollOffsets ? pane.scrollOffsets.materialKey(pane.materialId) : ""
    }
}
