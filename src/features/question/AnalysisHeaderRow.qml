import QtQuick
import Vuzo

// The light bulb, "解析" and the navigation at the trailing end, at least 16
// apart: a row too narrow for them overflows rather than overlaps.
Item {
    id: row
    property QuestionBodyState bodyState
    property bool transparent: false
    implicitWidth: heading.implicitWidth + 16 + navigation.implicitWidth
    implicitHeight: Math.max(title.implicitHeight, navigation.implicitHeight)

    Row {
        id: heading
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
        objectName: "analysisNavigation"
        x: Math.max(heading.width + 16, row.width - width)
        anchors.verticalCenter: parent.verticalCenter
        bodyState: row.bodyState
        transparent: row.transparent
    }
}
