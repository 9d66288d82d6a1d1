import QtQuick
import QtQuick.Controls.Basic
import QtQuick.Layouts
import Vuzo

// The global show/hide hot key: the combination in force, recording a new
// one (saved at once), and "恢复默认". Recording ends on Esc, a recorded
// combination, "恢复默认" or the row going away.
ColumnLayout {
    id: row
    spacing: 8
    readonly property WindowShortcutRecorder recorder: recorderObject

    WindowShortcutRecorder {
        id: recorderObject
        objectName: "windowShortcutRecorder"
        controller: WindowShortcutController
    }
    KeyCaptureItem {
        width: 0
        height: 0
        handler: recorderObject
    }

    RowLayout {
        Layout.fillWidth: true
        Text {
            text: "显示 / 隐藏整个窗口"
            font.pixelSize: 14
            font.weight: Font.Medium
            color: Theme.appTitle
        }
        Item { Layout.fillWidth: true }
        Item {
            id: comboButton
            objectName: "windowShortcutButton"
            implicitWidth: comboText.implicitWidth + 16
            implicitHeight: comboText.implicitHeight + 16
            opacity: recorderObject.canRecord || recorderObject.desktopKeepsKey ? 1 : 0.5
            Rectangle {
                anchors.fill: parent
                radius: 7
                antialiasing: true
                color: "transparent"
                border.width: 1
                border.color: Theme.inkActive ? Theme.appSecondary : Qt.rgba(0.45, 0.48, 0.56, 1)
            }
            Text {
                id: comboText
                objectName: "windowShortcutLabel"
                anchors.centerIn: parent
                text: recorderObject.buttonTitle
                textFormat: Text.PlainText
                font.pixelSize: 13
                color: Theme.appTitle
            }
            MouseArea {
                anchors.fill: parent
                enabled: recorderObject.canRecord
                cursorShape: Qt.PointingHandCursor
                onClicked: recorderObject.startRecording()
            }
            Accessible.role: Accessible.Button
            Accessible.name: comboText.text
        }
    }
    Text {
        Layout.fillWidth: true
        text: recorderObject.note
        font.pixelSize: 11
        color: Theme.appTitle
        wrapMode: Text.Wrap
    }
    RowLayout {
        Layout.fillWidth: true
        Text {
            objectName: "windowShortcutMessage"
            // Read out with the row: it tells whether the key works and where it is set.
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            Layout.fillWidth: true
            text: recorderObject.messageText
            textFormat: Text.PlainText
            font.pixelSize: 10
            color: Theme.appTitle
            wrapMode: Text.Wrap
        }
        // A plain borderless button: reachable by Tab, pressed with Space,
        // and a button with a press action for screen readers.
        AbstractButton {
            id: restoreButton
            objectName: "windowShortcutRestore"
            text: "恢复默认"
            focusPolicy: Qt.StrongFocus
            // The padding widens the hit area; the text stays at the row's edge.
            padding: 4
            Layout.rightMargin: -4
            font.pixelSize: 10
            contentItem: Text {
                text: restoreButton.text
                font: restoreButton.font
                color: Theme.appTitle
            }
            background: Rectangle {
                visible: restoreButton.visualFocus
                radius: 4
                color: "transparent"
                border.width: 1
                border.color: Theme.appPrimary
            }
            HoverHandler { cursorShape: Qt.PointingHandCursor }
            Accessible.role: Accessible.Button
            Accessible.name: text
            Accessible.onPressAction: clicked()
            onClicked: recorderObject.restoreDefault()
        }
    }
}
