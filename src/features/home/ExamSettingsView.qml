import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vuzo

// The practice settings card. It edits a draft made when the card opens;
// "确定" hands mode, count and keys to the model in one call. The hot-key
// row saves on its own, at once.
Item {
    id: panel
    property bool transparent: false
    property real availableHeight: 700
    signal closeRequested()

    readonly property ExamSettingsDraft draft: draftObject
    property int hoveredMode: -1
    property bool showingCountOptions: false
    property int hoveredCount: 0
    // Hover changes ease out over 0.14 s (through Theme.mix of the two
    // states); a change of choice shows at once.

    width: 440
    height: HomeGeometry.settingsCardHeightFor(availableHeight)

    ExamSettingsDraft {
        id: draftObject
        objectName: "examSettingsDraft"
        model: AppModel
    }
    KeyCaptureItem {
        width: 0
        height: 0
        handler: draftObject
    }

    SoftShadow {
        anchors.fill: parent
        visible: !panel.transparent
        radius: 18
        offsetY: 8
        color: Qt.rgba(0, 0, 0, 0.12)
        cornerRadius: 14
    }

    Rectangle {
        anchors.fill: parent
        radius: 14
        antialiasing: true
        color: panel.transparent ? "transparent" : Theme.appBackground
        border.width: panel.transparent ? 0 : 1
        border.color: Qt.rgba(0, 0, 0, 0.06)
    }

    Flickable {
        id: scroller
        objectName: "settingsScroller"
        anchors.fill: parent
        clip: true
        contentWidth: width
        contentHeight: column.implicitHeight + 48
        boundsBehavior: Flickable.StopAtBounds

        ColumnLayout {
            id: column
            x: 24
            y: 24
            width: scroller.width - 48
            spacing: 24

            // ---- header ---------------------------------------------------
            RowLayout {
                Layout.fillWidth: true
                Text {
                    text: "刷题设置"
                    font.pixelSize: 18
                    font.weight: Font.DemiBold
                    color: Theme.appTitle
                }
                Item { Layout.fillWidth: true }
                Item {
                    id: closeButton
                    objectName: "settingsClose"
                    implicitWidth: 30
                    implicitHeight: 30
                    property real hoverMix: closeMouse.containsMouse ? 1 : 0
                    Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                    SymbolIcon {
                        anchors.centerIn: parent
                        width: 14
                        height: 14
                        name: "xmark"
                        color: Theme.withOpacity(Theme.appSecondary, 0.72 + 0.28 * closeButton.hoverMix)
                    }
                    MouseArea {
                        id: closeMouse
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onClicked: panel.closeRequested()
                    }
                    Accessible.role: Accessible.Button
                    Accessible.name: "关闭"
                }
            }

            // ---- answer mode ------------------------------------------------
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 12
                Text { text: "设置刷题模式"; font.pixelSize: 14; font.weight: Font.Medium; color: Theme.appTitle }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 12
                    Repeater {
                        model: 2
                        delegate: Item {
                            id: modeButton
                            objectName: "modeButton" + index
                            readonly property bool selected: draftObject.selectedMode === index
                            readonly property bool hovered: panel.hoveredMode === index
                            property real hoverMix: hovered ? 1 : 0
                            Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                            readonly property color accent: panel.transparent
                                ? Theme.mix(Theme.transparentPrimary(false, 1, Theme.level), Theme.transparentPrimary(true, 1, Theme.level), hoverMix)
                                : Theme.appPrimary
                            Layout.fillWidth: true
                            implicitHeight: 40
                            Rectangle {
                                anchors.fill: parent
                                radius: 10
                                antialiasing: true
                                color: panel.transparent ? "transparent"
                                       : modeButton.selected ? Qt.rgba(0.894, 0.941, 1.0, 1) : Theme.appBackground
                                border.width: 1
                                border.color: modeButton.selected ? modeButton.accent
                                              : Theme.withOpacity(Theme.appSecondary, panel.transparent ? 0.28 : 0)
                            }
                            Text {
                                anchors.centerIn: parent
                                text: HomeText.modeTitle(index)
                                font.pixelSize: 14
                                font.weight: modeButton.selected ? Font.DemiBold : Font.Normal
                                color: modeButton.selected ? modeButton.accent : Theme.appTitle
                            }
                            MouseArea {
                                anchors.fill: parent
                                hoverEnabled: true
                                cursorShape: Qt.PointingHandCursor
                                onEntered: panel.hoveredMode = index
                                onExited: if (panel.hoveredMode === index) panel.hoveredMode = -1
                                onClicked: draftObject.chooseMode(index)
                            }
                            Accessible.role: Accessible.RadioButton
                            Accessible.name: HomeText.modeTitle(index)
                            Accessible.checked: selected
                        }
                    }
                }
            }

            // ---- questions per set ----------------------------------------------
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 12
                z: panel.showingCountOptions ? 10 : 0
                Text { text: "设置每组的数量"; font.pixelSize: 14; font.weight: Font.Medium; color: Theme.appTitle }
                Item {
                    id: countControl
                    objectName: "questionCountControl"
                    z: 10
                    implicitWidth: countRow.implicitWidth + 28
                    implicitHeight: 36
                    property real hoverMix: countMouse.containsMouse || panel.showingCountOptions ? 1 : 0
                    Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                    readonly property color accent: panel.transparent
                        ? Theme.mix(Theme.transparentPrimary(false, 1, Theme.level), Theme.transparentPrimary(true, 1, Theme.level), hoverMix)
                        : Theme.appTitle
                    Rectangle {
                        anchors.fill: parent
                        radius: height / 2
                        antialiasing: true
                        color: panel.transparent ? "transparent" : "white"
                        border.width: 1
                        border.color: panel.transparent ? countControl.accent : Qt.rgba(0, 0, 0, 0.08)
                    }
                    Row {
                        id: countRow
                        anchors.centerIn: parent
                        spacing: 18
                        Text {
                            objectName: "questionCountLabel"
                            anchors.verticalCenter: parent.verticalCenter
                            text: draftObject.questionCountText
                            font.pixelSize: 14
                            font.weight: Font.Medium
                            color: countControl.accent
                        }
                        SymbolIcon {
                            anchors.verticalCenter: parent.verticalCenter
                            width: 10
                            height: 10
                            name: "chevron.down"
                            color: countControl.accent
                            rotation: panel.showingCountOptions ? 180 : 0
                            Behavior on rotation { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                        }
                    }
                    MouseArea {
                        id: countMouse
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        onClicked: {
                            if (panel.transparent)
                                panel.showingCountOptions = !panel.showingCountOptions;
                            else
                                countMenu.open();
                        }
                    }
                    PlainMenu {
                        id: countMenu
                        objectName: "questionCountMenu"
                        y: countControl.height + 4
                        Instantiator {
                            model: draftObject.questionCountOptionCount
                            delegate: PlainMenuItem {
                                readonly property int option: draftObject.questionCountOption(index)
                                text: HomeText.questionCountText(option)
                                symbol: option === draftObject.selectedQuestionCount ? "checkmark" : ""
                                reserveSymbolSlot: true
                                onTriggered: draftObject.chooseQuestionCount(option)
                            }
                            onObjectAdded: (index, object) => countMenu.insertItem(index, object)
                            onObjectRemoved: (index, object) => countMenu.removeItem(object)
                        }
                    }

                    // The transparent look's list, over the sections below;
                    // it takes its own clicks.
                    Item {
                        id: countList
                        objectName: "questionCountList"
                        // Scales from 0.97 at its top edge and fades, both ways.
                        property real presence: panel.transparent && panel.showingCountOptions ? 1 : 0
                        Behavior on presence { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                        visible: panel.transparent && presence > 0
                        enabled: panel.showingCountOptions
                        opacity: presence
                        scale: 0.97 + 0.03 * presence
                        transformOrigin: Item.Top
                        y: 40
                        z: 10
                        width: countColumn.implicitWidth + 12
                        height: countColumn.implicitHeight + 12
                        Rectangle {
                            anchors.fill: parent
                            radius: 11
                            antialiasing: true
                            color: Qt.rgba(0, 0, 0, 0.06)
                            border.width: 1
                            border.color: Theme.withOpacity(Theme.appSecondary, 0.28)
                        }
                        MouseArea { anchors.fill: parent; acceptedButtons: Qt.AllButtons }
                        Column {
                            id: countColumn
                            x: 6
                            y: 6
                            spacing: 3
                            Repeater {
                                model: draftObject.questionCountOptionCount
                                delegate: Item {
                                    id: option
                                    objectName: "countOption" + value
                                    readonly property int value: draftObject.questionCountOption(index)
                                    readonly property bool selected: value === draftObject.selectedQuestionCount
                                    readonly property bool hovered: panel.hoveredCount === value
                                    width: Math.max(118, optionRow.implicitWidth + 20 + 18)
                                    height: 30
                                    Rectangle {
                                        anchors.fill: parent
                                        radius: 7
                                        color: option.hovered ? Theme.withOpacity(Theme.appSecondary, 0.08) : "transparent"
                                    }
                                    Row {
                                        id: optionRow
                                        x: 10
                                        anchors.verticalCenter: parent.verticalCenter
                                        spacing: 8
                                        SymbolIcon {
                                            anchors.verticalCenter: parent.verticalCenter
                                            width: 14
                                            height: 14
                                            name: "checkmark"
                                            opacity: option.selected ? 1 : 0
                                            color: optionText.color
                                        }
                                        Text {
                                            id: optionText
                                            text: HomeText.questionCountText(option.value)
                                            font.pixelSize: 13
                                            font.weight: option.selected ? Font.DemiBold : Font.Normal
                                            color: option.selected ? Theme.transparentPrimary(option.hovered, 1, Theme.level) : Theme.appTitle
                                        }
                                    }
                                    MouseArea {
                                        anchors.fill: parent
                                        hoverEnabled: true
                                        cursorShape: Qt.PointingHandCursor
                                        onEntered: panel.hoveredCount = option.value
                                        onExited: if (panel.hoveredCount === option.value) panel.hoveredCount = 0
                                        onClicked: {
                                            draftObject.chooseQuestionCount(option.value);
                                            panel.showingCountOptions = false;
                                        }
                                    }
                                }
                            }
                        }
                    }
                }
            }

            // ---- answer keys ----------------------------------------------------
            ColumnLayout {
                Layout.fillWidth: true
                spacing: 10
                RowLayout {
                    Layout.fillWidth: true
                    ColumnLayout {
                        spacing: 3
                        Text { text: "快捷键无鼠标操作"; font.pixelSize: 14; font.weight: Font.Medium; color: Theme.appTitle }
                        Text { text: "仅在题目页且应用窗口激活时生效"; font.pixelSize: 11; color: Theme.appSecondary }
                    }
                    Item { Layout.fillWidth: true }
                    HomeToggle {
                        objectName: "shortcutsToggle"
                        transparent: panel.transparent
                        checked: draftObject.shortcutsEnabled
                        onToggled: (checked) => draftObject.shortcutsEnabled = checked
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    spacing: 8
                    Repeater {
                        model: draftObject.answerKeys
                        delegate: ColumnLayout {
                            id: keyCell
                            required property int action
                            required property string caption
                            required property string keyLabel
                            required property bool capturing
                            Layout.fillWidth: true
                            Layout.preferredWidth: 10
                            spacing: 5
                            Text {
                                Layout.alignment: Qt.AlignHCenter
                                text: keyCell.caption
                                font.pixelSize: 11
                                font.weight: Font.Medium
                                color: Theme.appSecondary
                            }
                            Item {
                                objectName: "answerKey" + keyCell.action
                                Layout.fillWidth: true
                                implicitHeight: 30
                                Rectangle {
                                    anchors.fill: parent
                                    radius: 7
                                    antialiasing: true
                                    color: panel.transparent ? "transparent" : "white"
                                    border.width: keyCell.capturing ? 1.5 : 1
                                    border.color: keyCell.capturing
                                                  ? (panel.transparent ? Theme.transparentPrimary(false, 1, Theme.level) : Theme.appPrimary)
                                                  : Theme.withOpacity(Theme.appSecondary, panel.transparent ? 0.3 : 0.16)
                                }
                                Text {
                                    anchors.fill: parent
                                    anchors.margins: 4
                                    horizontalAlignment: Text.AlignHCenter
                                    verticalAlignment: Text.AlignVCenter
                                    text: keyCell.keyLabel
                                    textFormat: Text.PlainText
                                    font.pixelSize: 12
                                    font.weight: Font.DemiBold
                                    fontSizeMode: Text.HorizontalFit
                                    minimumPixelSize: 9
                                    elide: Text.ElideRight
                                    color: Theme.appTitle
                                }
                                MouseArea {
                                    anchors.fill: parent
                                    cursorShape: Qt.PointingHandCursor
                                    onClicked: draftObject.startCapture(keyCell.action)
                                }
                                Accessible.role: Accessible.Button
                                Accessible.name: keyCell.caption + " " + keyCell.keyLabel
                            }
                        }
                    }
                }
                RowLayout {
                    Layout.fillWidth: true
                    Text {
                        objectName: "shortcutFooter"
                        Layout.fillWidth: true
                        text: draftObject.hasShortcutError ? draftObject.shortcutError : "点击按键按钮后，按下新的单键；Esc 取消"
                        textFormat: Text.PlainText
                        font.pixelSize: 10
                        color: draftObject.hasShortcutError ? "red" : Theme.appSecondary
                        elide: Text.ElideRight
                        maximumLineCount: 1
                    }
                    Text {
                        objectName: "restoreDefaultKeys"
                        text: "恢复默认"
                        font.pixelSize: 10
                        font.weight: Font.Medium
                        color: panel.transparent ? Theme.appTitle : Theme.appPrimary
                        MouseArea {
                            anchors.fill: parent
                            anchors.margins: -4
                            cursorShape: Qt.PointingHandCursor
                            onClicked: draftObject.restoreDefaultKeys()
                        }
                    }
                }
            }

            WindowShortcutSettingsRow {
                Layout.fillWidth: true
            }

            Text {
                objectName: "confirmError"
                visible: draftObject.confirmError !== ""
                Layout.fillWidth: true
                text: draftObject.confirmError
                font.pixelSize: 11
                color: "red"
                wrapMode: Text.Wrap
            }

            Item {
                id: confirm
                objectName: "settingsConfirm"
                Layout.fillWidth: true
                implicitHeight: 44
                property real hoverMix: confirmMouse.containsMouse ? 1 : 0
                Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                readonly property color accent: Theme.mix(Theme.transparentPrimary(false, 1, Theme.level),
                                                            Theme.transparentPrimary(true, 1, Theme.level), hoverMix)
                Rectangle {
                    anchors.fill: parent
                    radius: height / 2
                    antialiasing: true
                    color: panel.transparent ? "transparent" : Theme.appPrimary
                    border.width: 1
                    border.color: panel.transparent ? confirm.accent : "transparent"
                }
                Text {
                    anchors.centerIn: parent
                    text: "确定"
                    font.pixelSize: 15
                    font.weight: Font.DemiBold
                    color: panel.transparent ? confirm.accent : "white"
                }
                MouseArea {
                    id: confirmMouse
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    onClicked: {
                        if (draftObject.confirm())
                            panel.closeRequested();
                    }
                }
                Accessible.role: Accessible.Button
                Accessible.name: "确定"
            }
        }
    }
}
