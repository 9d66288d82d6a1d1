import QtQuick
import Vuzo

// The card of the question page (analysis card, review result): white with a
// faint outline, or only an outline in the secondary colour when see-through.
Rectangle {
    property bool transparent: false
    radius: 12
    color: transparent ? "transparent" : "white"
    border.width: 1
    border.color: transparent ? Theme.withOpacity(Theme.appSecondary, 0.28) : Qt.rgba(0, 0, 0, 0.06)
}
