import QtQuick
import Vuzo

// The transparent look's bank dropdown, drawn in its slot by the picker
// overlay. Rows are at least 180 wide and 32 high, 3 apart, inside 6 of
// padding; a list longer than the slot scrolls. Its width is that of the
// longest name of the whole list, created row or not.
Item {
    id: panel
    property string hoveredBankId: ""
    // A closed dropdown keeps no highlight for the next time it opens.
    onVisibleChanged: if (!visible) hoveredBankId = ""
    signal chosen(string bankId)

    ExamBankNameWidth {
        id: names
        model: AppModel.examBanksModel
        font.pixelSize: 13
        selectedFont.pixelSize: 13
        selectedFont.weight: Font.DemiBold
    }
    readonly property size naturalSize: HomeGeometry.examBankPanelSize(names.widest, list.count)
    implicitWidth: naturalSize.width
    implicitHeight: naturalSize.height

    CutoutFallback {
        anchors.fill: parent
        radius: 11
    }
    Rectangle {
        anchors.fill: parent
        radius: 11
        antialiasing: true
        color: Qt.rgba(0, 0, 0, 0.18)
        border.width: 1
        border.color: Theme.withOpacity(Theme.appSecondary, 0.3)
    }
    // Clicks between rows stay in the panel.
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onWheel: (wheel) => wheel.accepted = false
    }

    ListView {
        id: list
        objectName: "examBankPickerList"
        anchors.fill: parent
        anchors.margins: 6
        spacing: 3
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: AppModel.examBanksModel
        delegate: Item {
            id: row
            objectName: "examBankRow_" + model.bankId
            readonly property string bankId: model.bankId
            readonly property bool selected: model.isSelected
            readonly property bool hovered: panel.hoveredBankId === bankId
            width: list.width
            height: 32

            Rectangle {
                anchors.fill: parent
                radius: 7
                antialiasing: true
                color: row.hovered ? Theme.withOpacity(Theme.appSecondary, 0.14) : "transparent"
            }
            Row {
                id: rowContent
                anchors.verticalCenter: parent.verticalCenter
                x: 10
                spacing: 10
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    name: "checkmark"
                    opacity: row.selected ? 1 : 0
                    color: nameText.color
                }
                Text {
                    id: nameText
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, row.width - 68)
                    text: model.name
                    textFormat: Text.PlainText
                    elide: Text.ElideRight
                    font.pixelSize: 13
                    font.weight: row.selected ? Font.DemiBold : Font.Normal
                    color: row.selected ? Theme.transparentPrimary(row.hovered, 1, Theme.level) : Theme.appTitle
                }
            }
            MouseArea {
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onEntered: panel.hoveredBankId = row.bankId
                // Only its own highlight: a late leave must not clear the next row's.
                onExited: if (panel.hoveredBankId === row.bankId) panel.hoveredBankId = ""
                onClicked: panel.chosen(row.bankId)
            }
        }
    }
}
