import QtQuick
import Vuzo

// The light bulb, "解析" and the navigation at the trailing end.
Item {
    id: row
    property QuestionBodyState bodyState
    property bool transparent: false
    implicitHeight: Math.max(title.implicitHeight, navigation.implicitHeight)

    Row {
        anchors.verticalCenter: parent.verticalCenter
        spacing: 8
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            width: 17
            height: 17
            name: "lightbulb.fill"
            color: row.transparent ? Theme.transparentPrimary(false, 1, Theme.level) : Theme.appPrimary
        }
        Text {
            id: title
            anchors.verticalCenter: parent.verticalCenter
            text: "解析"
            textFormat: Text.PlainText
            font.pixelSize: 17
            font.weight: Font.DemiBold
            color: Theme.appTitle
        }
    }
    QuestionNavigationControls {
        id: navigation
        anchors.right: parent.right
        anchors.verticalCenter: parent.verticalCenter
        bodyState: row.bodyState
        transparent: row.transparent
    }
}
