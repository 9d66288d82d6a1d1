import QtQuick
import Vuzo

// A plain text button with an optional symbol before or after its text, as
// the results screens' headers and navigation rows use them.
Item {
    id: button
    property string text
    property string iconName
    property bool iconAfterText: false
    property color color: Theme.appPrimary
    property int fontSize: 13
    // The system's regular font, unless a screen sets a weight of its own.
    property int fontWeight: Font.Normal
    property real padding: 4
    readonly property bool hovering: mouse.containsMouse
    signal clicked()

    implicitWidth: row.implicitWidth + 2 * padding
    implicitHeight: Math.max(row.implicitHeight + 2 * padding, 28)
    opacity: enabled ? 1 : 0.4

    Accessible.role: Accessible.Button
    Accessible.name: text
    Accessible.onPressAction: if (button.enabled) button.clicked()

    Row {
        id: row
        anchors.centerIn: parent
        spacing: 5
        layoutDirection: button.iconAfterText ? Qt.RightToLeft : Qt.LeftToRight
        SymbolIcon {
            visible: button.iconName !== ""
            anchors.verticalCenter: parent.verticalCenter
            width: button.fontSize + 2
            height: width
            name: button.iconName
            color: button.color
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: button.text
            textFormat: Text.PlainText
            font.pixelSize: button.fontSize
            font.weight: button.fontWeight
            color: button.color
        }
    }

    MouseArea {
        id: mouse
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: button.enabled ? Qt.PointingHandCursor : Qt.ArrowCursor
        onClicked: button.clicked()
    }
}
