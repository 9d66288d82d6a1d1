import QtQuick
import Vuzo
import QtQuick.Controls

// The standard yes/no card: a title, a message and two buttons. Escape
// cancels, Return confirms unless the confirmation is one that a stray
// Return must not set off. It never dismisses itself.
FocusScope {
    id: panel
    property string title
    property string message
    property string confirmTitle
    property bool confirmsOnReturn: true
    signal cancelled()
    signal confirmed()

    width: 340
    implicitHeight: column.implicitHeight + 48
    focus: true

    // Shown in a modal card, it takes the keyboard at once.
    Component.onCompleted: forceActiveFocus()

    Keys.onEscapePressed: panel.cancelled()
    // Taken either way, so a Return never reaches the screen behind the card.
    Keys.onReturnPressed: if (panel.confirmsOnReturn) panel.confirmed()
    Keys.onEnterPressed: if (panel.confirmsOnReturn) panel.confirmed()

    Rectangle {
        anchors.fill: parent
        radius: 16
        antialiasing: true
        color: Qt.rgba(0.975, 0.975, 0.98, 0.94)
    }

    Column {
        id: column
        x: 24
        y: 24
        width: panel.width - 48
        spacing: Theme.spacingXL

        Text {
            width: parent.width
            text: panel.title
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            textFormat: Text.PlainText
            font.pixelSize: Theme.fontSubhead
            font.weight: Font.DemiBold
            color: Theme.appTitle
            wrapMode: Text.Wrap
        }
        Text {
            width: parent.width
            text: panel.message
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            textFormat: Text.PlainText
            font.pixelSize: Theme.fontBody
            color: Theme.appTitle
            wrapMode: Text.Wrap
        }
        Row {
            anchors.right: parent.right
            spacing: Theme.spacingL
            Button {
                text: "取消"
                font.pixelSize: Theme.fontBody
                onClicked: panel.cancelled()
            }
            Button {
                text: panel.confirmTitle
                font.pixelSize: Theme.fontBody
                highlighted: true
                onClicked: panel.confirmed()
            }
        }
    }
}
