import QtQuick
import QtQuick.Controls
import Vuzo

// The question screen's top bar: back, the set's title and mode, the export
// button of banks that allow it, and the progress text and bar.
Rectangle {
    id: bar
    required property QuestionScreenController controller
    property bool transparent: false
    property bool hoveringProgress: progressHover.hovered

    implicitHeight: 58
    color: transparent ? "transparent" : "white"

    readonly property color progressColor: transparent ? Theme.transparentPrimary(hoveringProgress, 1.0, Theme.level)
                                                       : Theme.appPrimary

    Row {
        anchors.left: parent.left
        anchors.leftMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        spacing: 14

        MouseArea {
            id: back
            objectName: "backButton"
            width: backRow.implicitWidth
            height: 30
            anchors.verticalCenter: parent.verticalCenter
            cursorShape: Qt.PointingHandCursor
            onClicked: bar.controller.goBack()
            Accessible.role: Accessible.Button
            Accessible.name: "返回"
            Row {
                id: backRow
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    name: "chevron.left"
                    color: Theme.appTitle
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "返回"
                    textFormat: Text.PlainText
                    font.pixelSize: 13
                    color: Theme.appTitle
                }
            }
        }

        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 1
            height: 18
            color: Theme.withOpacity(Theme.appSecondary, 0.35)
        }

        Column {
            anchors.verticalCenter: parent.verticalCenter
            spacing: 2
            Text {
                objectName: "setTitle"
                text: bar.controller.title
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
            Text {
                objectName: "modeLabel"
                text: bar.controller.modeLabel
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                font.pixelSize: 11
                color: Theme.appSecondary
            }
        }
    }

    Row {
        anchors.right: parent.right
        anchors.rightMargin: 20
        anchors.verticalCenter: parent.verticalCenter
        spacing: 14

        MouseArea {
            id: exportButton
            objectName: "exportButton"
            visible: bar.controller.exportVisible
            enabled: bar.controller.exportEnabled
            width: exportRow.implicitWidth
            height: 30
            anchors.verticalCenter: parent.verticalCenter
            hoverEnabled: true
            opacity: enabled ? 1 : 0.4
            ToolTip.visible: containsMouse
            ToolTip.text: "导出本组题目、材料、答案与解析为 PDF；每账号每天最多 150 题"
            ToolTip.delay: 600
            onClicked: AppModel.startExportPracticePDF()
            Accessible.role: Accessible.Button
            Accessible.name: "导出"
            Accessible.description: ToolTip.text
            Accessible.onPressAction: if (enabled) AppModel.startExportPracticePDF()
            Row {
                id: exportRow
                anchors.verticalCenter: parent.verticalCenter
                spacing: 4
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    width: 14
                    height: 14
                    name: "square.and.arrow.down"
                    color: Theme.appPrimary
                }
                Text {
                    anchors.verticalCenter: parent.verticalCenter
                    text: "导出"
                    textFormat: Text.PlainText
                    font.pixelSize: 12
                    font.weight: Font.DemiBold
                    color: Theme.appPrimary
                }
            }
        }

        Row {
            id: progressGroup
            anchors.verticalCenter: parent.verticalCenter
            spacing: 12
            HoverHandler {
                id: progressHover
            }
            Text {
                objectName: "progressText"
                anchors.verticalCenter: parent.verticalCenter
                text: bar.controller.progressText
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                font.pixelSize: 13
                font.weight: Font.DemiBold
                color: bar.progressColor
                Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
            }
            Item {
                anchors.verticalCenter: parent.verticalCenter
                width: 150
                height: 4
                Rectangle {
                    anchors.fill: parent
                    radius: 2
                    color: bar.transparent ? Theme.withOpacity(Theme.appSecondary, 0.12) : Theme.appPrimarySoft
                }
                Rectangle {
                    objectName: "progressFill"
                    width: parent.width * bar.controller.progressFraction
                    height: parent.height
                    radius: 2
                    color: bar.progressColor
                    Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutCubic } }
                }
            }
        }
    }
}
