import QtQuick
import Vuzo

// One option: the letter badge, the option's content and, on a revealed
// review question, its mark. The whole rounded row takes the click, also on
// HTML content, which takes no mouse input of its own.
Item {
    id: row
    property QuestionBodyState bodyState
    // Filled from the option list's roles.
    required property string letter
    required property string content
    required property bool selected
    required property int feedback
    property bool hovering: false
    // False keeps the content's web view unbuilt until the page is wanted.
    property bool loadContent: true
    signal clicked()
    signal hoverChanged(bool inside)

    readonly property bool transparent: bodyState ? bodyState.transparent : false
    readonly property bool marked: feedback !== 0

    // Colours read the look (transparency, ink, level) so that they follow it.
    function colourOf(kind) {
        if (!bodyState)
            return "transparent";
        void bodyState.transparent;
        void Theme.appPrimary;
        void Theme.level;
        switch (kind) {
        case "fill": return bodyState.optionFillColor(selected, feedback);
        case "border": return bodyState.optionBorderColor(selected, feedback, hovering);
        case "letter": return bodyState.optionLetterColor(selected, feedback, hovering);
        case "row": return bodyState.optionRowFillColor(selected, feedback);
        default: return bodyState.optionFeedbackColor(feedback);
        }
    }

    implicitHeight: Math.max(badge.height, contentLoader.height + 5, mark.visible ? mark.height + 5 : 0) + 30

    Accessible.role: Accessible.Button
    Accessible.name: letter

    Rectangle {
        objectName: "optionBackground"
        anchors.fill: parent
        radius: 11
        color: row.colourOf("row")
        border.width: 1
        border.color: row.colourOf("border")
        Behavior on border.color { ColorAnimation { duration: 140; easing.type: Easing.OutQuad } }
    }

    Rectangle {
        id: badge
        objectName: "optionBadge"
        x: 15
        y: 15
        width: 30
        height: 30
        radius: 15
        color: row.colourOf("fill")
        border.width: 1
        border.color: row.colourOf("border")
        Behavior on border.color { ColorAnimation { duration: 140; easing.type: Easing.OutQuad } }
        Text {
            anchors.centerIn: parent
            text: row.letter
            textFormat: Text.PlainText
            font.pixelSize: 14
            font.weight: Font.DemiBold
            color: row.colourOf("letter")
            Behavior on color { ColorAnimation { duration: 140; easing.type: Easing.OutQuad } }
        }
    }

    Loader {
        id: contentLoader
        objectName: "optionContent"
        x: badge.x + badge.width + 14
        y: 20
        width: row.width - x - 15 - (mark.visible ? mark.width + 14 : 0)
        // The content sizes itself: an HTML option is at least 30 high, a
        // plain one as high as its text. 30 until it is built.
        height: item ? item.implicitHeight : 30
        active: row.loadContent
        sourceComponent: QuestionOptionContentView {
            content: row.content
            fontSize: 16
            textOpacity: row.bodyState ? row.bodyState.htmlTextOpacity : 0.86
            imageOpacity: row.bodyState ? row.bodyState.htmlImageOpacity : 1
            transparentInkHex: row.bodyState ? row.bodyState.inkHex : ""
            transparentInkIntensity: row.bodyState ? row.bodyState.inkIntensity : 1
            isGraphicReasoning: row.bodyState ? row.bodyState.isGraphicReasoning : false
        }
    }

    Row {
        id: mark
        objectName: "optionMark"
        visible: row.marked
        anchors.right: parent.right
        anchors.rightMargin: 15
        y: 20
        spacing: 5
        SymbolIcon {
            anchors.verticalCenter: parent.verticalCenter
            width: 14
            height: 14
            name: row.feedback === 1 ? "checkmark.circle" : "xmark.circle"
            color: row.colourOf("mark")
        }
        Text {
            anchors.verticalCenter: parent.verticalCenter
            text: row.feedback === 1 ? "正确" : "错选"
            textFormat: Text.PlainText
            font.pixelSize: 13
            font.weight: Font.DemiBold
            color: row.colourOf("mark")
        }
    }

    MouseArea {
        objectName: "optionMouse"
        anchors.fill: parent
        hoverEnabled: true
        cursorShape: Qt.PointingHandCursor
        onEntered: row.hoverChanged(true)
        onExited: row.hoverChanged(false)
        // A press that travels is a swipe across the page, not a choice.
        property point pressedAt
        onPressed: (mouse) => pressedAt = Qt.point(mouse.x, mouse.y)
        onClicked: (mouse) => {
            if (Math.max(Math.abs(mouse.x - pressedAt.x), Math.abs(mouse.y - pressedAt.y)) <= Qt.styleHints.startDragDistance)
                row.clicked();
        }
    }
}
