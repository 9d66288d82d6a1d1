import QtQuick
import QtQuick.Layouts
import Vuzo

// The practice section's title, the practice-type switch (not for a 行测
// bank, whose tree is always by knowledge point) and "刷新".
RowLayout {
    id: header
    property bool transparent: false
    property int hoveredType: 0
    spacing: 8

    Text {
        objectName: "practiceSectionTitle"
        text: HomeText.practiceSectionTitle(AppModel.isXingCeBank, AppModel.practiceType)
        textFormat: Text.PlainText
        font.pixelSize: 20
        font.weight: Font.Bold
        color: Theme.appTitle
    }
    Item { Layout.fillWidth: true }

    Item {
        id: typeSwitch
        objectName: "practiceTypeSwitch"
        visible: !AppModel.isXingCeBank
        implicitWidth: typeRow.implicitWidth + 8
        implicitHeight: typeRow.implicitHeight + 8
        Rectangle {
            anchors.fill: parent
            radius: height / 2
            antialiasing: true
            color: header.transparent ? "transparent" : Qt.rgba(0, 0, 0, 0.045)
            border.width: header.transparent ? 1 : 0
            border.color: Theme.withOpacity(Theme.appSecondary, 0.3)
        }
        Row {
            id: typeRow
            anchors.centerIn: parent
            spacing: 4
            Repeater {
                model: 2
                delegate: Item {
                    id: choice
                    objectName: "practiceType" + type
                    readonly property int type: index + 1
                    readonly property bool selected: AppModel.practiceType === type
                    readonly property bool hovered: header.hoveredType === type
                    // Hover eases over 0.14 s; a change of choice shows at once.
                    property real hoverMix: hovered ? 1 : 0
                    Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
                    readonly property color accent: Theme.mix(Theme.transparentPrimary(false, 1, Theme.level),
                                                              Theme.transparentPrimary(true, 1, Theme.level), hoverMix)
                    implicitWidth: choiceText.implicitWidth + 26
                    implicitHeight: 30
                    // The chosen capsule's shadow, in both looks.
                    SoftShadow {
                        anchors.fill: parent
                        visible: choice.selected
                        radius: 4
                        offsetY: 1
                        color: Qt.rgba(0, 0, 0, 0.07)
                        cornerRadius: height / 2
                    }
                    Rectangle {
                        id: choiceCapsule
                        anchors.fill: parent
                        radius: height / 2
                        antialiasing: true
                        color: choice.selected && !header.transparent ? "white" : "transparent"
                        border.width: choice.selected && header.transparent ? 1 : 0
                        border.color: choice.accent
                    }
                    Text {
                        id: choiceText
                        anchors.centerIn: parent
                        text: choice.type === 1 ? "按题型刷题" : "按知识点刷题"
                        textFormat: Text.PlainText
                        font.pixelSize: 12
                        font.weight: choice.selected ? Font.DemiBold : Font.Normal
                        color: !choice.selected ? Theme.appSecondary
                               : header.transparent ? choice.accent : Theme.appPrimary
                    }
                    MouseArea {
                        anchors.fill: parent
                        hoverEnabled: true
                        cursorShape: Qt.PointingHandCursor
                        containmentMask: RoundedRectShape { width: choiceCapsule.width; height: choiceCapsule.height; radius: choiceCapsule.radius }
                        onEntered: header.hoveredType = choice.type
                        onExited: if (header.hoveredType === choice.type) header.hoveredType = 0
                        onClicked: AppModel.startSelectPracticeType(choice.type)
                    }
                    Accessible.role: Accessible.RadioButton
                    Accessible.name: choiceText.text
                    Accessible.checked: selected
                }
            }
        }
    }

    Item {
        id: refresh
        objectName: "homeRefreshButton"
        implicitWidth: refreshRow.implicitWidth + 8
        implicitHeight: 30
        readonly property color accent: header.transparent ? Theme.transparentPrimary(refreshMouse.containsMouse, 1, Theme.level) : Theme.appPrimary
        Accessible.role: Accessible.Button
        Accessible.name: "刷新"
        Row {
            id: refreshRow
            anchors.centerIn: parent
            spacing: 4
            SymbolIcon { anchors.verticalCenter: parent.verticalCenter; width: 13; height: 13; name: "arrow.clockwise"; color: refresh.accent }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "刷新"
                font.pixelSize: 13
                color: refresh.accent
            }
        }
        MouseArea {
            id: refreshMouse
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: AppModel.startLoadHome()
        }
    }
}
