import QtQuick
import Vuzo

// The transparent look's past-paper dropdown: 420 wide, rows 34 high and 3
// apart inside 6 of padding; a virtualized list, so 500 papers cost no more
// than the rows on show. With no paper it offers "重新加载试卷".
Item {
    id: panel
    property string hoveredKey: ""
    // A closed dropdown keeps no highlight for the next time it opens.
    onVisibleChanged: if (!visible) hoveredKey = ""
    signal paperChosen(string paperId)
    signal reloadChosen()

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
    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onWheel: (wheel) => wheel.accepted = false
    }

    component PickerRow: Item {
        id: row
        property string key
        property alias symbol: icon.name
        property bool showsSymbol: false
        property alias text: label.text
        property color textColor: Theme.appTitle
        signal clicked()
        readonly property bool hovered: panel.hoveredKey === key
        height: 34
        Rectangle {
            anchors.fill: parent
            radius: 8
            antialiasing: true
            color: row.hovered ? Theme.withOpacity(Theme.appSecondary, 0.14) : "transparent"
        }
        Item {
            id: slot
            x: 10
            width: 14
            height: parent.height
            SymbolIcon {
                id: icon
                anchors.centerIn: parent
                width: 11
                height: 11
                visible: row.showsSymbol
                color: row.textColor
            }
        }
        Text {
            id: label
            anchors.verticalCenter: parent.verticalCenter
            x: slot.x + slot.width + 9
            width: row.width - x - 12 - 10
            textFormat: Text.PlainText
            elide: Text.ElideRight
            font.pixelSize: 13
            font.weight: Font.Medium
            color: row.textColor
        }
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onEntered: panel.hoveredKey = row.key
            onExited: if (panel.hoveredKey === row.key) panel.hoveredKey = ""
            onClicked: row.clicked()
        }
    }

    ListView {
        id: list
        objectName: "realExamPickerList"
        anchors.fill: parent
        anchors.margins: 6
        spacing: 3
        clip: true
        boundsBehavior: Flickable.StopAtBounds
        model: AppModel.realExamsModel
        delegate: PickerRow {
            objectName: "realExamRow_" + model.realExamId
            width: list.width
            key: "paper:" + model.realExamId
            text: model.name
            symbol: "lock.fill"
            showsSymbol: HomeText.isLocked(model.needVip, AppModel.hasCurrentExamBankVIP)
            readonly property string paperId: model.realExamId
            onClicked: panel.paperChosen(paperId)
            onHoveredChanged: if (hovered) ContentWarmupPolicy.intentShown()
        }
    }

    PickerRow {
        objectName: "realExamReloadRow"
        visible: list.count === 0
        x: 6
        y: 6
        width: panel.width - 12
        key: "reload"
        symbol: "arrow.clockwise"
        showsSymbol: true
        text: "重新加载试卷"
        textColor: Theme.transparentPrimary(hovered, 1, Theme.level)
        onClicked: panel.reloadChosen()
    }
}
