import QtQuick
import QtQuick.Controls.Basic

// A tool tip for text that comes from the service: shown as plain text,
// never as markup. Made only while it is wanted (the Loader in the row).
ToolTip {
    id: tip
    delay: 700
    contentItem: Text {
        text: tip.text
        textFormat: Text.PlainText
        font: tip.font
        color: tip.palette.toolTipText
        wrapMode: Text.Wrap
    }
}
