import QtQuick
import QtQuick.Controls.Basic
import Vuzo

// The exam-bank selector: a pull-down menu in the normal look, a button
// that opens the in-window dropdown in the transparent look. The label keeps
// the width of the longest bank name whichever bank is selected.
Item {
    id: selector
    property bool transparent: false
    property bool open: false
    readonly property bool hovering: mouse.containsMouse
    signal toggleRequested()

    // The open state eases in over 0.14 s; hover shows at once.
    property real openMix: open ? 1 : 0
    Behavior on openMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }

    implicitWidth: label.implicitWidth + 28
    implicitHeight: 36
    Accessible.role: Accessible.ButtonMenu
    Accessible.name: AppModel.selectedExamBank ? AppModel.selectedExamBank.name : ""
    Accessible.onPressAction: mouse.activate()

    Rectangle {
        id: capsule
        anchors.fill: parent
        radius: height / 2
        antialiasing: true
        color: selector.transparent ? "transparent" : "white"
        border.width: 1
        border.color: selector.transparent ? Theme.mix(Theme.transparentPrimary(selector.hovering, 1, Theme.level),
                                                       Theme.transparentPrimary(true, 1, Theme.level), selector.openMix)
                                           : "transparent"
    }

    Row {
        id: label
        anchors.centerIn: parent
        spacing: 8
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            width: 15
            height: 15
            name: "mappin.and.ellipse"
            color: Theme.appTitle
        }
        Item {
            id: nameArea
            anchors.verticalCenter: parent.verticalCenter
            width: Math.max(widest.widest, shown.implicitWidth)
            height: shown.implicitHeight
            // The longest name of the list reserves its width.
            ExamBankNameWidth {
                id: widest
                model: AppModel.examBanksModel
                font.pixelSize: 13
                font.weight: Font.Medium
            }
            Text {
                id: shown
                objectName: "selectedBankName"
                text: AppModel.selectedExamBank ? AppModel.selectedExamBank.name : ""
                textFormat: Text.PlainText
                font.pixelSize: 13
                font.weight: Font.Medium
                color: Theme.appTitle
            }
        }
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            width: 10
            height: 10
            name: "chevron.down"
            color: Theme.appTitle
            rotation: selector.open ? 180 : 0
            Behavior on rotation { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
        }
    }

    MouseArea {
        id: mouse
        objectName: "examBankSelectorArea"
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        containmentMask: RoundedRectShape { width: capsule.width; height: capsule.height; radius: capsule.radius }
        function activate() {
            if (selector.transparent)
                selector.toggleRequested();
            else
                menu.open();
        }
        onClicked: activate()
    }

    PlainMenu {
        id: menu
        objectName: "examBankMenu"
        y: selector.height + 4
        Instantiator {
            active: menu.visible
            model: AppModel.examBanksModel
            delegate: PlainMenuItem {
                text: model.name
                symbol: model.isSelected ? "checkmark" : ""
                reserveSymbolSlot: true
                readonly property string bankId: model.bankId
                onTriggered: AppModel.startSelectExamBank(bankId)
            }
            onObjectAdded: (index, object) => menu.insertItem(index, object)
            onObjectRemoved: (index, object) => menu.removeItem(object)
        }
    }
}
