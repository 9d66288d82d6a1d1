import QtQuick
import Vuzo

// A past paper's section heading in place of a question: title, number of
// questions, description and the button that enters the section.
Item {
    id: intro
    required property QuestionScreenController controller
    property string sectionTitle
    property string sectionDescription
    property int questionCount: 0
    property bool transparent: false

    readonly property bool hoveringEnter: enterArea.containsMouse
    readonly property color enterAccent: Theme.transparentPrimary(hoveringEnter, 1.0, Theme.level)

    implicitHeight: stack.implicitHeight

    Column {
        id: stack
        width: Math.min(700, intro.width)
        spacing: 18

        Text {
            objectName: "sectionTitle"
            width: parent.width
            text: intro.sectionTitle
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 24
            font.weight: Font.DemiBold
            color: Theme.appTitle
        }
        Row {
            spacing: 6
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                width: 16
                height: 16
                name: "list.number"
                color: Theme.appSecondary
            }
            Text {
                objectName: "sectionCount"
                anchors.verticalCenter: parent.verticalCenter
                text: intro.controller.sectionCountText(intro.questionCount)
                textFormat: Text.PlainText
                font.pixelSize: 15
                font.weight: Font.Medium
                color: Theme.appSecondary
            }
        }
        Text {
            objectName: "sectionDescription"
            width: parent.width
            text: intro.controller.sectionDescriptionText(intro.sectionDescription)
            textFormat: Text.PlainText
            wrapMode: Text.Wrap
            font.pixelSize: 14
            color: Theme.appSecondary
        }
        // The button sits 8 below the row spacing.
        Item {
            width: parent.width
            height: 52
        Rectangle {
            objectName: "enterSection"
            y: 8
            width: parent.width
            height: 44
            radius: 22
            antialiasing: true
            color: intro.transparent ? "transparent" : Theme.appPrimary
            border.width: intro.transparent ? 1 : 0
            border.color: intro.enterAccent
            Text {
                anchors.centerIn: parent
                text: "进入本题型"
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: intro.transparent ? intro.enterAccent : "white"
            }
            MouseArea {
                id: enterArea
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: intro.controller.move(1)
            }
        }
        }
    }
}
