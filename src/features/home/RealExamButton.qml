import QtQuick
import QtQuick.Controls.Basic
import Vuzo

// "历年真题": a pull-down menu of the past papers in the normal look, the
// button of the in-window dropdown in the transparent look.
HomeCapsuleButton {
    id: button
    property bool open: false
    signal toggleRequested()

    text: "历年真题"
    symbol: "doc.text.magnifyingglass"
    lit: open
    normalColor: Theme.appPrimary
    normalBorderOpacity: 0.3
    normalFill: Theme.inkActive ? Theme.appPrimarySoft : Qt.rgba(0.894, 0.941, 1.0, 1)
    transparentBorderOpacity: 0.72
    // A past paper may open from here: the content engine gets ready.
    onHoveringChanged: if (hovering) ContentWarmupPolicy.intentShown()
    onClicked: {
        if (transparent)
            toggleRequested();
        else
            menu.open();
    }

    PlainMenu {
        id: menu
        objectName: "realExamMenu"
        y: button.height + 4
        PlainMenuItem {
            objectName: "realExamMenuReload"
            // Only while there is no paper to show.
            visible: papers.count === 0
            height: visible ? implicitHeight : 0
            text: "重新加载试卷"
            onTriggered: AppModel.startLoadRealExams()
        }
        Instantiator {
            id: papers
            active: menu.visible
            model: AppModel.realExamsModel
            delegate: PlainMenuItem {
                text: model.name
                symbol: HomeText.isLocked(model.needVip, AppModel.hasCurrentExamBankVIP) ? "lock.fill" : ""
                reserveSymbolSlot: true
                readonly property string paperId: model.realExamId
                onTriggered: AppModel.startOpenRealExam(paperId)
                onHoveredChanged: if (hovered) ContentWarmupPolicy.intentShown()
            }
            onObjectAdded: (index, object) => menu.insertItem(index + 1, object)
            onObjectRemoved: (index, object) => menu.removeItem(object)
        }
    }
}
