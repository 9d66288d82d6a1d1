import QtQuick
import Vuzo

// One history record: its name and date, and its status; a click opens it,
// or in edit mode toggles its selection.
Item {
    id: row
    required property string recordId
    required property string examName
    required property string formattedDate
    required property bool completed
    property PracticeHistoryController controller
    property bool transparent: false

    readonly property bool editing: controller ? controller.editing : false
    readonly property bool selected: controller ? controller.isSelected(recordId, controller.selectionRevision) : false
    readonly property string statusText: controller ? controller.statusText(recordId, controller.contentRevision) : ""

    objectName: "historyRow_" + recordId
    height: card.height
    enabled: controller ? controller.rowsEnabled : false

    Accessible.role: Accessible.Button
    Accessible.name: examName + " " + formattedDate + " " + statusText
    Accessible.checkable: editing
    Accessible.checked: selected
    Accessible.onPressAction: row.controller.rowClicked(row.recordId)

    AppCard {
        id: card
        width: parent.width
        height: content.height + 30
        transparent: row.transparent
        verticalPadding: 15

        Row {
            id: content
            width: parent.width
            spacing: 14
            SymbolIcon {
                objectName: "selectionMark"
                visible: row.editing
                anchors.verticalCenter: parent.verticalCenter
                width: 22
                height: 22
                name: row.selected ? "checkmark.circle.fill" : "circle"
                color: row.transparent ? Theme.appTitle : (row.selected ? Theme.appPrimary : Theme.appSecondary)
            }
            Column {
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - (row.editing ? 22 + 14 : 0) - status.width - 14
                spacing: 8
                Text {
                    width: parent.width
                    text: row.examName
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    maximumLineCount: 2
                    elide: Text.ElideRight
                    font.pixelSize: 16
                    font.weight: Font.DemiBold
                    color: Theme.appTitle
                }
                Text {
                    text: row.formattedDate
                    textFormat: Text.PlainText
                    font.pixelSize: 12
                    color: Theme.appSecondary
                }
            }
            Row {
                id: status
                anchors.verticalCenter: parent.verticalCenter
                spacing: 10
                readonly property color tint: row.transparent ? Theme.appTitle : Theme.appPrimary
                Text {
                    objectName: "historyStatus"
                    anchors.verticalCenter: parent.verticalCenter
                    text: row.statusText
                    textFormat: Text.PlainText
                    font.pixelSize: 12
                    color: status.tint
                }
                SymbolIcon {
                    visible: !row.editing
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    name: "chevron.right"
                    color: status.tint
                }
            }
        }
    }

    MouseArea {
        anchors.fill: parent
        cursorShape: Qt.PointingHandCursor
        onClicked: row.controller.rowClicked(row.recordId)
        // Outside edit mode a click opens the set or its report: the content
        // engine gets ready.
        hoverEnabled: !row.editing
        onContainsMouseChanged: if (containsMouse) ContentWarmupPolicy.intentShown()
        onPositionChanged: ContentWarmupPolicy.intentShown()
    }
}
