import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects
import Vuzo

// The home screen: title, bank selector and sign-out; past papers, practice
// history and the settings button; the practice section with the menu tree.
// The tree is one virtualized list of the flattened rows, with the page's
// header as its header, so a large tree costs only the rows on show.
Item {
    id: home
    objectName: "homeView"

    readonly property bool transparent: AppModel.studyTransparencyEnabled
    property bool showingExamBankPicker: false
    property bool showingRealExamPicker: false
    property bool showingExamSettings: false
    property bool showingLogoutConfirmation: false
    readonly property bool pickerOpen: transparent && (showingExamBankPicker || showingRealExamPicker)

    // The home data and then the past papers, once per session.
    Component.onCompleted: AppModel.startHomeStartUp()

    Connections {
        target: AppModel
        function onStudyTransparencyEnabledChanged() {
            if (!AppModel.studyTransparencyEnabled) {
                home.showingExamBankPicker = false;
                home.showingRealExamPicker = false;
            }
        }
    }

    function closePickers() {
        showingExamBankPicker = false;
        showingRealExamPicker = false;
    }
    function signOut() {
        showingLogoutConfirmation = false;
        AppModel.logout();
    }

    // Content, with each open card's shape cut out of it in the transparent look.
    Item {
        id: underLogout
        anchors.fill: parent
        layer.enabled: logoutModal.cutoutActive
        layer.effect: logoutModal.cutoutEffect
        Item {
            id: underSettings
            anchors.fill: parent
            layer.enabled: settingsModal.cutoutActive
            layer.effect: settingsModal.cutoutEffect
            Item {
                id: underPickers
                objectName: "underPickers"
                anchors.fill: parent
                // Clips the list here, not at its own edges: the cards' shadows
                // reach into the page's margins.
                clip: true
                layer.enabled: home.pickerOpen && GraphicsInfo.api !== GraphicsInfo.Software
                layer.effect: OpacityMask {
                    maskSource: pickerMask
                    invert: true
                }

                ListView {
                    id: page
                    objectName: "homePage"
                    anchors.fill: parent
                    anchors.leftMargin: 28
                    anchors.rightMargin: 28
                    boundsBehavior: Flickable.StopAtBounds
                    cacheBuffer: 400
                    model: AppModel.menuTreeModel
                    header: pageHeader
                    footer: pageFooter
                    delegate: MenuTreeRow {
                        width: page.width
                        transparent: home.transparent
                    }
                    // A node's children come in from above and fade in, and
                    // leave the same way; a card's own toggle changes at once.
                    property bool animateChanges: false
                    add: Transition {
                        id: addChildren
                        enabled: page.animateChanges
                        NumberAnimation { property: "opacity"; from: 0; to: 1; duration: 160; easing.type: Easing.InOutQuad }
                        NumberAnimation {
                            property: "y"
                            from: addChildren.ViewTransition.item
                                  ? addChildren.ViewTransition.destination.y
                                    - addChildren.ViewTransition.item.height * addChildren.ViewTransition.targetIndexes.length
                                  : 0
                            duration: 160
                            easing.type: Easing.InOutQuad
                        }
                    }
                    remove: Transition {
                        id: removeChildren
                        enabled: page.animateChanges
                        NumberAnimation { property: "opacity"; to: 0; duration: 160; easing.type: Easing.InOutQuad }
                        NumberAnimation {
                            property: "y"
                            to: removeChildren.ViewTransition.item
                                ? removeChildren.ViewTransition.item.y
                                  - removeChildren.ViewTransition.item.height * removeChildren.ViewTransition.targetIndexes.length
                                : 0
                            duration: 160
                            easing.type: Easing.InOutQuad
                        }
                    }
                    displaced: Transition {
                        enabled: page.animateChanges
                        NumberAnimation { property: "y"; duration: 160; easing.type: Easing.InOutQuad }
                    }
                }
            }
        }
    }

    Component {
        id: pageHeader
        Column {
            width: page.width
            spacing: 22
            topPadding: 28
            bottomPadding: 22

            // Title row and action row.
            Column {
                width: parent.width
                spacing: 6
                RowLayout {
                    width: parent.width
                    Text {
                        text: "练习"
                        font.pixelSize: 30
                        font.weight: Font.Bold
                        color: Theme.appTitle
                    }
                    Item { Layout.fillWidth: true }
                    ExamBankSelector {
                        id: bankSelector
                        objectName: "examBankSelector"
                        transparent: home.transparent
                        open: home.showingExamBankPicker
                        onToggleRequested: {
                            home.showingRealExamPicker = false;
                            home.showingExamBankPicker = !home.showingExamBankPicker;
                        }
                        Component.onCompleted: home.bankSelectorItem = bankSelector
                    }
                    Text {
                        objectName: "logoutLink"
                        // 10 from the selector in all.
                        Layout.leftMargin: 10 - parent.spacing
                        text: "退出登录"
                        font.pixelSize: 12
                        font.weight: Font.Medium
                        color: Theme.appSecondary
                        MouseArea {
                            anchors.fill: parent
                            anchors.margins: -4
                            cursorShape: Qt.PointingHandCursor
                            onClicked: home.showingLogoutConfirmation = true
                        }
                        Accessible.role: Accessible.Button
                        Accessible.name: text
                    }
                }
                RowLayout {
                    width: parent.width
                    spacing: 10
                    Item { Layout.fillWidth: true }
                    RealExamButton {
                        id: paperButton
                        objectName: "realExamButton"
                        transparent: home.transparent
                        open: home.showingRealExamPicker
                        onToggleRequested: {
                            home.showingExamBankPicker = false;
                            home.showingRealExamPicker = !home.showingRealExamPicker;
                        }
                        Component.onCompleted: home.paperButtonItem = paperButton
                    }
                    HomeCapsuleButton {
                        objectName: "practiceHistoryButton"
                        text: "练习历史"
                        symbol: "clock.arrow.circlepath"
                        transparent: home.transparent
                        onClicked: {
                            home.closePickers();
                            AppModel.showPracticeHistory();
                        }
                    }
                    HomeCapsuleButton {
                        objectName: "collectionsButton"
                        text: "我的收藏"
                        symbol: "star"
                        transparent: home.transparent
                        onClicked: {
                            home.closePickers();
                            AppModel.showCollections();
                        }
                    }
                    HomeCapsuleButton {
                        objectName: "examSettingsButton"
                        text: HomeText.settingsButtonTitle(AppModel.examMode, AppModel.examQuestionCount)
                        symbol: "square.and.pencil"
                        transparent: home.transparent
                        onClicked: home.showingExamSettings = true
                    }
                }
            }

            PracticeSectionHeader {
                width: parent.width
                transparent: home.transparent
            }
        }
    }

    Component {
        id: pageFooter
        Item {
            width: page.width
            height: page.count > 0 ? 20 + 28 : (emptyCard.visible ? emptyCard.height + 28 : 28)
            // The last card's bottom.
            CardSlice {
                visible: page.count > 0
                width: parent.width
                height: 20
                part: 2
                transparent: home.transparent
            }
            // No menus once loading has ended.
            Item {
                id: emptyCard
                objectName: "menuEmptyState"
                visible: page.count === 0 && !AppModel.isLoading
                width: parent.width
                height: emptyColumn.implicitHeight + 40
                CardSlice {
                    anchors.fill: parent
                    part: 3
                    transparent: home.transparent
                }
                Column {
                    id: emptyColumn
                    anchors.centerIn: parent
                    spacing: 12
                    SymbolIcon {
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: 28
                        height: 28
                        name: "tray"
                        color: Theme.appSecondary
                    }
                    Text {
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "暂无题型数据"
                        font.pixelSize: Theme.fontBody
                        color: Theme.appSecondary
                    }
                    PrimaryButton {
                        objectName: "menuReloadButton"
                        anchors.horizontalCenter: parent.horizontalCenter
                        text: "重新加载"
                        filled: true
                        transparent: home.transparent
                        onClicked: AppModel.startLoadHome()
                    }
                }
            }
        }
    }

    // ---- the transparent look's dropdowns --------------------------------------
    property Item bankSelectorItem
    property Item paperButtonItem

    // Where a selector is, in this item's space; follows scrolling, resizing and zoom.
    function anchorOf(item) {
        if (!item)
            return Qt.rect(0, 0, 0, 0);
        const p = item.mapToItem(home, 0, 0);
        return Qt.rect(p.x, p.y, item.width, item.height);
    }
    readonly property rect bankAnchor: {
        page.contentY; page.originY; width; height; showingExamBankPicker;
        // The selector's own size follows the bank names, and its place with it.
        if (bankSelectorItem) {
            bankSelectorItem.x; bankSelectorItem.y; bankSelectorItem.width; bankSelectorItem.height;
        }
        return anchorOf(bankSelectorItem);
    }
    readonly property rect paperAnchor: {
        page.contentY; page.originY; width; height; showingRealExamPicker;
        return anchorOf(paperButtonItem);
    }
    readonly property int bankCount: bankCounter.count
    readonly property int paperCount: paperCounter.count
    Instantiator { id: bankCounter; model: AppModel.examBanksModel; delegate: QtObject {} }
    Instantiator { id: paperCounter; model: AppModel.realExamsModel; delegate: QtObject {} }
    readonly property rect bankSlot: HomeGeometry.examBankSlot(bankAnchor, width, height, bankCount)
    readonly property rect paperSlot: HomeGeometry.realExamSlot(paperAnchor, width, height, paperCount)

    // What the dropdowns erase from the content beneath them.
    Item {
        id: pickerMask
        visible: false
        width: home.width
        height: home.height
        // A panel wider than its slot (long bank names) is cut out whole, so
        // no line of the page runs through it.
        Rectangle {
            opacity: home.showingExamBankPicker ? 1 : 0
            x: Math.min(home.bankSlot.x, bankPanel.x)
            y: home.bankSlot.y
            width: Math.max(home.bankSlot.right, bankPanel.x + bankPanel.width) - x
            height: home.bankSlot.height
            radius: 11
            antialiasing: true
            color: "black"
        }
        Rectangle {
            opacity: home.showingRealExamPicker ? 1 : 0
            x: home.paperSlot.x; y: home.paperSlot.y; width: home.paperSlot.width; height: home.paperSlot.height
            radius: 11
            antialiasing: true
            color: "black"
        }
    }

    Item {
        id: pickerOverlay
        objectName: "pickerOverlay"
        anchors.fill: parent
        visible: home.pickerOpen

        // Outside the dropdowns nothing reaches the page; a single click of
        // the primary button closes them, other buttons and the wheel do not.
        MouseArea {
            objectName: "pickerCatcher"
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            onClicked: (mouse) => {
                if (mouse.button === Qt.LeftButton)
                    home.closePickers();
            }
            onWheel: (wheel) => wheel.accepted = true
            Rectangle { anchors.fill: parent; color: Qt.rgba(0, 0, 0, 1 / 255) }
        }
        ExamBankPickerPanel {
            id: bankPanel
            objectName: "examBankPicker"
            visible: home.showingExamBankPicker
            // Wider than its slot for long names, but never wider than the
            // window; centred in its slot, 1.5 inside it at top and bottom
            // when the rows fill it.
            width: Math.min(implicitWidth, home.width - 16)
            height: Math.min(implicitHeight, home.bankSlot.height - 3)
            x: Math.max(8, Math.min(home.width - 8 - width, home.bankSlot.x + (home.bankSlot.width - width) / 2))
            y: home.bankSlot.y + (home.bankSlot.height - height) / 2
            onChosen: (bankId) => {
                home.showingExamBankPicker = false;
                AppModel.startSelectExamBank(bankId);
            }
        }
        RealExamPickerPanel {
            objectName: "realExamPicker"
            visible: home.showingRealExamPicker
            x: home.paperSlot.x
            y: home.paperSlot.y
            width: home.paperSlot.width
            height: home.paperSlot.height
            onPaperChosen: (paperId) => {
                home.showingRealExamPicker = false;
                AppModel.startOpenRealExam(paperId);
            }
            onReloadChosen: {
                home.showingRealExamPicker = false;
                AppModel.startLoadRealExams();
            }
        }
    }

    // ---- cards ---------------------------------------------------------------
    AppModal {
        id: settingsModal
        objectName: "settingsModal"
        isPresented: home.showingExamSettings
        transparent: home.transparent
        cornerRadius: 22
        onDismissed: home.showingExamSettings = false
        card: Component {
            ExamSettingsView {
                objectName: "examSettingsView"
                transparent: home.transparent
                availableHeight: home.height
                onCloseRequested: home.showingExamSettings = false
            }
        }
    }

    AppModal {
        id: logoutModal
        objectName: "logoutModal"
        isPresented: home.showingLogoutConfirmation
        transparent: home.transparent
        cornerRadius: 22
        onDismissed: home.showingLogoutConfirmation = false
        card: Component {
            Loader {
                sourceComponent: home.transparent ? transparentLogout : opaqueLogout
            }
        }
    }
    Component {
        id: opaqueLogout
        AppConfirmationPanel {
            objectName: "logoutConfirmation"
            title: "确认退出登录"
            message: "退出后需要重新登录，确定要退出吗？"
            confirmTitle: "退出登录"
            // Signing out takes a click: Return and Enter do nothing here.
            confirmsOnReturn: false
            onCancelled: home.showingLogoutConfirmation = false
            onConfirmed: home.signOut()
        }
    }
    Component {
        id: transparentLogout
        Item {
            objectName: "transparentLogoutConfirmation"
            width: 300
            implicitHeight: logoutColumn.implicitHeight + 30
            height: implicitHeight
            Column {
                id: logoutColumn
                x: 18
                y: 15
                width: 300 - 36
                spacing: 12
                Text {
                    text: "确认退出登录"
                    font.pixelSize: 14
                    font.weight: Font.DemiBold
                    color: Theme.withOpacity(Theme.appTitle, 0.72)
                }
                Text {
                    width: parent.width
                    text: "退出后需要重新登录，确定要退出吗？"
                    font.pixelSize: 12
                    color: Theme.withOpacity(Theme.appSecondary, 0.72)
                    wrapMode: Text.Wrap
                }
                Row {
                    anchors.right: parent.right
                    spacing: 18
                    Text {
                        objectName: "transparentLogoutCancel"
                        text: "取消"
                        font.pixelSize: 12
                        font.weight: Font.Medium
                        color: Theme.withOpacity(Theme.appSecondary, 0.72)
                        MouseArea { anchors.fill: parent; anchors.margins: -4; cursorShape: Qt.PointingHandCursor; onClicked: home.showingLogoutConfirmation = false }
                    }
                    Text {
                        objectName: "transparentLogoutConfirm"
                        text: "退出登录"
                        font.pixelSize: 12
                        font.weight: Font.Medium
                        color: Theme.transparentPrimary(logoutHover.containsMouse, 1, Theme.level)
                        MouseArea { id: logoutHover; anchors.fill: parent; anchors.margins: -4; hoverEnabled: true; cursorShape: Qt.PointingHandCursor; onClicked: home.signOut() }
                    }
                }
            }
        }
    }
}
