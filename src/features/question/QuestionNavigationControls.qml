import QtQuick
import Vuzo

// "上一题" and "下一题". They follow the model's current question, not the
// page's own, so a hidden neighbour page shows the same state.
Row {
    id: controls
    property QuestionBodyState bodyState
    property bool transparent: false
    readonly property color tint: transparent ? Theme.appTitle : Theme.appPrimary
    spacing: 18

    component NavButton: Item {
        id: nav
        property string text
        property string symbol
        property bool symbolFirst: true
        signal clicked()
        implicitWidth: content.implicitWidth + 8
        implicitHeight: content.implicitHeight + 8
        opacity: enabled ? 1 : 0.4
        Accessible.role: Accessible.Button
        Accessible.name: text
        // A neighbour page's controls are disabled and not on screen.
        Accessible.ignored: !controls.enabled
        Row {
            id: content
            anchors.centerIn: parent
            spacing: 5
            layoutDirection: nav.symbolFirst ? Qt.LeftToRight : Qt.RightToLeft
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                width: 11
                height: 11
                name: nav.symbol
                color: controls.tint
            }
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: nav.text
                textFormat: Text.PlainText
                font.pixelSize: 12
                font.weight: Font.DemiBold
                color: controls.tint
            }
        }
        MouseArea {
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: nav.clicked()
        }
    }

    NavButton {
        objectName: "previousQuestionButton"
        text: "上一题"
        symbol: "chevron.left"
        enabled: controls.bodyState ? controls.bodyState.canGoPrevious : false
        onClicked: controls.bodyState.goPrevious()
    }
    NavButton {
        objectName: "nextQuestionButton"
        text: "下一题"
        symbol: "chevron.right"
        symbolFirst: false
        enabled: controls.bodyState ? controls.bodyState.canGoNext : false
        onClicked: controls.bodyState.goNext()
    }
}
