import QtQuick
import QtQuick.Controls
import QtQuick.Layouts
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

    // One row from edge to edge: the title block takes what the others
    // leave, so a long menu name is cut with an ellipsis before the export
    // button and the progress group instead of running under them.
    RowLayout {
        id: barRow
        anchors.fill: parent
        anchors.leftMargin: 20
        anchors.rightMargin: 20
        spacing: 14

        MouseArea {
            id: back
            objectName: "backButton"
            Layout.preferredWidth: backRow.implicitWidth
            Layout.minimumWidth: backRow.implicitWidth
            Layout.preferredHeight: 30
            Layout.alignment: Qt.AlignVCenter
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
            Layout.preferredWidth: 1
            Layout.minimumWidth: 1
            Layout.preferredHeight: 18
            Layout.alignment: Qt.AlignVCenter
            color: Theme.withOpacity(Theme.appSecondary, 0.35)
        }

        Column {
            id: titleBlock
            objectName: "titleBlock"
            Layout.fillWidth: true
            Layout.minimumWidth: 0
            Layout.alignment: Qt.AlignVCenter
            spacing: 2
            Text {
                objectName: "setTitle"
                width: parent.width
                text: bar.controller.title
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                // Two lines of it and the mode label would not fit the bar.
                maximumLineCount: 1
                elide: Text.ElideRight
                font.pixelSize: 15
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
            Text {
                objectName: "modeLabel"
                width: parent.width
                text: bar.controller.modeLabel
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                elide: Text.ElideRight
                font.pixelSize: 11
                color: Theme.appSecondary
            }
        }

        // The flexible space's least length.
        Item {
            Layout.preferredWidth: 8
            Layout.minimumWidth: 8
        }

        MouseArea {
            id: exportButton
            objectName: "exportButton"
            visible: bar.controller.exportVisible
            enabled: bar.controller.exportEnabled
            Layout.preferredWidth: exportRow.implicitWidth
            Layout.minimumWidth: exportRow.implicitWidth
            Layout.preferredHeight: 30
            Layout.alignment: Qt.AlignVCenter
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
            objectName: "progressGroup"
            Layout.minimumWidth: implicitWidth
            Layout.alignment: Qt.AlignVCenter
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
