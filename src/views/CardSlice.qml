import QtQuick
import Vuzo

// One horizontal slice of a menu card: the list draws each card as the
// rows it is made of, so every row paints its own part of the card (top
// with the rounded corners, middle, or bottom).
Item {
    id: slice
    // 0 top, 1 middle, 2 bottom.
    property int part: 1
    property bool transparent: false
    clip: true

    Rectangle {
        x: 0
        width: slice.width
        y: slice.part === 0 ? 0 : -20
        height: slice.height + (slice.part === 1 ? 40 : 20)
        radius: 14
        antialiasing: true
        color: slice.transparent ? "transparent" : "white"
        border.width: 1
        border.color: slice.transparent ? Theme.withOpacity(Theme.appSecondary, 0.28) : Qt.rgba(0, 0, 0, 0.06)
    }
}
