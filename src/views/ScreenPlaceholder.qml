import QtQuick
import Vuzo

// Stands in for a screen whose view is not built yet.
Item {
    id: placeholder
    property string screenName
    signal beginEditing()
    signal endEditing()

    Text {
        anchors.centerIn: parent
        text: placeholder.screenName
        font.pixelSize: Theme.fontSubhead
        font.weight: Font.Medium
        color: Theme.appSecondary
    }
}
