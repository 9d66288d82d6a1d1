import QtQuick
import Vuzo

// One horizontal slice of a card in a list that draws each card as the rows
// it is made of: every row paints its own part of the card (top with the
// rounded corners, middle, bottom, or a whole card), with the card's soft
// shadow around that part only, so the slices join into one card.
Item {
    id: slice
    // 0 top, 1 middle, 2 bottom, 3 a whole card.
    property int part: 1
    property bool transparent: false

    readonly property bool opens: part === 0 || part === 3
    readonly property bool closes: part === 2 || part === 3

    // No shadow in the transparent look.
    SoftShadow {
        anchors.fill: parent
        visible: !slice.transparent
        radius: 12
        offsetY: 4
        color: Qt.rgba(0, 0, 0, 0.045)
        cornerRadius: 14
        openTop: !slice.opens
        openBottom: !slice.closes
    }

    Item {
        anchors.fill: parent
        clip: true
        Rectangle {
            x: 0
            width: slice.width
            y: slice.opens ? 0 : -20
            height: slice.height + (slice.opens ? 0 : 20) + (slice.closes ? 0 : 20)
            radius: 14
            antialiasing: true
            color: slice.transparent ? "transparent" : "white"
            border.width: 1
            border.color: slice.transparent ? Theme.withOpacity(Theme.appSecondary, 0.28) : Qt.rgba(0, 0, 0, 0.04)
        }
    }
}
