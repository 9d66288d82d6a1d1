import QtQuick
import Vuzo

// The card frame of the analysis screen: a white card with a faint border
// and shadow, or a 1-pt outline on a clear ground in the transparent look.
Item {
    id: card
    property bool transparent: false
    default property alias content: holder.data

    implicitHeight: holder.childrenRect.height + 40

    SoftShadow {
        anchors.fill: parent
        visible: !card.transparent
        radius: 12
        offsetY: 4
        color: Qt.rgba(0, 0, 0, 0.045)
        cornerRadius: 14
    }

    Rectangle {
        id: surface
        anchors.fill: parent
        radius: 14
        color: card.transparent ? "transparent" : "white"
        border.width: 1
        border.color: card.transparent ? Theme.withOpacity(Theme.appSecondary, 0.28) : Qt.rgba(0, 0, 0, 0.04)
    }

    Item {
        id: holder
        anchors.fill: parent
        anchors.margins: 20
    }
}
