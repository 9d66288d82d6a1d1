import QtQuick
import QtQuick.Layouts
import Vuzo

// The practice history of the selected bank in two tabs, with paging, an
// edit mode for deleting records and its confirmation. It stays built while
// other screens show, and follows the model's screen.
Item {
    id: view
    objectName: "historyView"

    PracticeHistoryController {
        id: history
        objectName: "historyController"
        model: AppModel
    }

    readonly property bool transparent: AppModel.studyTransparencyEnabled
    readonly property color headerTint: transparent ? Theme.appTitle : Theme.appPrimary

    Rectangle {
        anchors.fill: parent
        color: view.transparent ? "transparent" : Theme.appBackground
    }

    // The page, with the confirmation card's shape cut out of it in the
    // transparent look, so no row shows through behind the card's text.
    Column {
        id: page
        objectName: "historyPage"
        anchors.fill: parent
        layer.enabled: deleteModal.cutoutActive
        layer.effect: deleteModal.cutoutEffect

        // Header: back, the tabs midway between it and the trailing buttons.
        Rectangle {
            width: parent.width
            height: 58
            color: view.transparent ? "transparent" : "white"
            RowLayout {
                anchors.fill: parent
                anchors.leftMargin: 20
                anchors.rightMargin: 20
                spacing: 16
                ResultsLinkButton {
                    objectName: "historyBack"
                    text: "返回首页"
                    iconName: "chevron.left"
                    fontSize: 12
                    fontWeight: Font.Medium
                    color: Theme.appTitle
                    enabled: history.backEnabled
                    onClicked: history.back()
                }
                Item {
                    Layout.fillWidth: true
                    Layout.minimumWidth: 12
                }
                Row {
                    spacing: 4
                    Repeater {
                        model: [history.practiceTab, history.paperTab]
                        delegate: Rectangle {
                            id: tabButton
                            required property var modelData
                            readonly property bool selected: modelData.selected
                            objectName: "historyTab" + modelData.tab
                            width: tabLabel.implicitWidth + 36
                            height: 32
                            radius: 16
                            color: selected && !view.transparent ? Theme.appPrimarySoft : "transparent"
                            border.width: selected ? 1 : 0
                            border.color: Theme.withOpacity(Theme.appPrimary, view.transparent ? 0.65 : 0.2)
                            opacity: enabled ? 1 : 0.5
                            enabled: history.tabsEnabled
                            Accessible.role: Accessible.PageTab
                            Accessible.name: modelData.title
                            Accessible.selected: selected
                            Accessible.onPressAction: history.selectTab(tabButton.modelData.tab)
                            Text {
                                id: tabLabel
                                anchors.centerIn: parent
                                text: tabButton.modelData.title
                                textFormat: Text.PlainText
                                font.pixelSize: 14
                                font.weight: Font.DemiBold
                                color: view.transparent ? Theme.appTitle
                                                        : (tabButton.selected ? Theme.appPrimary : Theme.appSecondary)
                            }
                            MouseArea {
                                anchors.fill: parent
                                cursorShape: Qt.PointingHandCursor
                                onClicked: history.selectTab(tabButton.modelData.tab)
                            }
                        }
                    }
                }
                Item {
                    Layout.fillWidth: true
                    Layout.minimumWidth: 12
                }
                ResultsLinkButton {
                    objectName: "historyRefresh"
                    text: "刷新"
                    iconName: "arrow.clockwise"
                    fontSize: 12
                    fontWeight: Font.Medium
                    color: view.headerTint
                    enabled: history.refreshEnabled
                    onClicked: history.refresh()
                }
                ResultsLinkButton {
                    objectName: "historyEdit"
                    text: history.editButtonTitle
                    fontSize: 12
                    fontWeight: Font.Medium
                    color: view.headerTint
                    enabled: history.editEnabled
                    onClicked: history.toggleEditing()
                }
            }
        }
        Rectangle {
            width: parent.width
            height: 1
            color: Theme.separatorColor
            opacity: view.transparent ? 0.18 : 1
        }

        // Title row
        Item {
            width: parent.width
            height: titleText.implicitHeight + 32
            Text {
                id: titleText
                objectName: "historyTitle"
                anchors.left: parent.left
                anchors.leftMargin: 28
                anchors.verticalCenter: parent.verticalCenter
                width: parent.width - 56 - subtitle.implicitWidth - 12
                elide: Text.ElideRight
                text: history.title
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                font.pixelSize: 14
                font.weight: Font.Medium
                color: Theme.appTitle
            }
            Text {
                id: subtitle
                objectName: "historySubtitle"
                anchors.right: parent.right
                anchors.rightMargin: 28
                anchors.verticalCenter: parent.verticalCenter
                text: history.subtitle
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                font.pixelSize: 12
                color: Theme.appSecondary
            }
        }

        // Both tabs stay built, so each keeps its scroll position.
        Item {
            width: parent.width
            height: page.height - y - (deletionBar.visible ? deletionBar.height : 0)
            HistoryRecordList {
                objectName: "practiceList"
                anchors.fill: parent
                controller: history
                tabState: history.practiceTab
                model: AppModel.practiceHistory.practiceHistoryModel
                opacity: tabState.selected ? 1 : 0
                enabled: tabState.selected
                Accessible.ignored: !tabState.selected
            }
            HistoryRecordList {
                objectName: "paperList"
                anchors.fill: parent
                controller: history
                tabState: history.paperTab
                model: AppModel.practiceHistory.paperHistoryModel
                opacity: tabState.selected ? 1 : 0
                enabled: tabState.selected
                Accessible.ignored: !tabState.selected
            }
        }

        // Deletion bar
        Rectangle {
            id: deletionBar
            objectName: "deletionBar"
            visible: history.editing
            width: parent.width
            height: 42 + 28
            color: view.transparent ? "transparent" : "white"
            Row {
                anchors.left: parent.left
                anchors.leftMargin: 28
                anchors.verticalCenter: parent.verticalCenter
                spacing: 16
                ResultsLinkButton {
                    objectName: "selectAll"
                    anchors.verticalCenter: parent.verticalCenter
                    text: history.selectAllTitle
                    fontSize: 12
                    fontWeight: Font.Normal
                    color: view.headerTint
                    onClicked: history.selectAll()
                }
                Text {
                    objectName: "selectedCount"
                    anchors.verticalCenter: parent.verticalCenter
                    text: history.selectedCountText
                    Accessible.role: Accessible.StaticText
                    Accessible.name: text
                    textFormat: Text.PlainText
                    font.pixelSize: 12
                    color: Theme.appSecondary
                }
            }
            PrimaryButton {
                objectName: "deleteButton"
                anchors.right: parent.right
                anchors.rightMargin: 28
                anchors.verticalCenter: parent.verticalCenter
                text: "删除"
                symbol: "trash"
                filled: true
                transparent: view.transparent
                enabled: history.deleteEnabled
                opacity: enabled ? 1 : 0.45
                onClicked: history.requestDelete()
            }
        }
    }

    AppModal {
        id: deleteModal
        objectName: "deleteModal"
        anchors.fill: parent
        isPresented: history.showingDeleteConfirmation
        transparent: view.transparent
        cornerRadius: 22
        alignment: Qt.AlignCenter
        dimsBackground: true
        onDismissed: history.cancelDelete()
        card: Component {
            Rectangle {
                objectName: "deleteConfirmation"
                width: 380
                height: confirmColumn.height + 48
                radius: 22
                color: view.transparent ? "transparent" : "white"
                Column {
                    id: confirmColumn
                    x: 24
                    y: 24
                    width: parent.width - 48
                    spacing: 18
                    Text {
                        text: "删除练习记录？"
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        textFormat: Text.PlainText
                        font.pixelSize: 18
                        font.weight: Font.DemiBold
                        color: Theme.appTitle
                    }
                    Text {
                        objectName: "deleteMessage"
                        width: parent.width
                        text: history.confirmationMessage
                        Accessible.role: Accessible.StaticText
                        Accessible.name: text
                        textFormat: Text.PlainText
                        wrapMode: Text.Wrap
                        font.pixelSize: 13
                        color: Theme.appTitle
                    }
                    Row {
                        anchors.right: parent.right
                        spacing: 14
                        ResultsLinkButton {
                            objectName: "cancelDelete"
                            anchors.verticalCenter: parent.verticalCenter
                            text: "取消"
                            color: Theme.appSecondary
                            onClicked: history.cancelDelete()
                        }
                        PrimaryButton {
                            objectName: "confirmDelete"
                            text: "确认删除"
                            filled: true
                            transparent: view.transparent
                            onClicked: history.confirmDelete()
                        }
                    }
                }
            }
        }
    }
}
