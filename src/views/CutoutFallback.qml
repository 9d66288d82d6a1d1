import QtQuick
import Vuzo

// The fill under a see-through card where the page beneath cannot be cut
// out: the software scene graph draws no shader effect, and without this the
// page would show through the card's light tint and blur its rows.
Rectangle {
    property bool wanted: true
    visible: wanted && GraphicsInfo.api === GraphicsInfo.Software
    antialiasing: true
    color: Theme.cutoutFallbackFill
}
