import QtQuick
import Vuzo

// Stands in for a screen whose view is not built yet.
Item {
    id: placeholder
    property QtObject model
    property QtObject store
    property string screenName
    signal beginEditing()
    signal endEditing()

    Text {
        anchors.centerIn: parent
        text: placeholder.screenName
        font.pixelSize: 15
        font.weight: Font.Medium
        color: Theme.appSecondary
    }
}
