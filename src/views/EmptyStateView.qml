import QtQuick
import Vuzo

// A centred symbol and title for an empty list or page.
Item {
    id: empty
    property string title
    property string systemImage: "tray"

    Column {
        anchors.centerIn: parent
        spacing: Theme.spacingL
        SymbolIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 40
            height: 40
            name: empty.systemImage
            color: Theme.appSecondary
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: empty.title
            textFormat: Text.PlainText
            font.pixelSize: Theme.fontSubhead
            font.weight: Font.Medium
            color: Theme.appSecondary
        }
    }
}
