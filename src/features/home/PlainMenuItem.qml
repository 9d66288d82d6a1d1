import QtQuick
import QtQuick.Controls.Basic
import Vuzo

// A menu item whose text is never read as markup (names come from the
// service), with an optional leading symbol slot so texts line up.
MenuItem {
    id: item
    property string symbol
    property bool reserveSymbolSlot: false

    contentItem: Row {
        spacing: 9
        leftPadding: 4
        Item {
            visible: item.symbol !== "" || item.reserveSymbolSlot
            width: 14
            height: label.height
            SymbolIcon {
                anchors.centerIn: parent
                width: 12
                height: 12
                visible: item.symbol !== ""
                name: item.symbol !== "" ? item.symbol : "checkmark"
                color: label.color
            }
        }
        Text {
            id: label
            text: item.text
            textFormat: Text.PlainText
            font.pixelSize: 13
            color: item.highlighted ? "white" : "#212636"
            elide: Text.ElideRight
        }
    }
}
