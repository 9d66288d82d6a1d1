import QtQuick
import Vuzo

// The rounded card that holds a block of content. The caller sizes it.
Item {
    id: card
    property bool transparent: false
    property real verticalPadding: 16
    default property alias content: holder.data

    implicitWidth: holder.childrenRect.width + 40
    implicitHeight: holder.childrenRect.height + 2 * verticalPadding

    // No shadow in the transparent look.
    SoftShadow {
        anchors.fill: parent
        visible: !card.transparent
        radius: 12
        offsetY: 4
        color: Qt.rgba(0, 0, 0, 0.045)
        cornerRadius: Theme.radiusL
    }

    Rectangle {
        id: surface
        anchors.fill: parent
        radius: Theme.radiusL
        color: card.transparent ? "transparent" : "white"
        border.width: 1
        border.color: card.transparent ? Theme.withOpacity(Theme.appSecondary, 0.28) : Qt.rgba(0, 0, 0, 0.04)
    }

    Item {
        id: holder
        anchors.fill: parent
        anchors.leftMargin: Theme.spacingXXL
        anchors.rightMargin: Theme.spacingXXL
        anchors.topMargin: card.verticalPadding
        anchors.bottomMargin: card.verticalPadding
    }
}
