import QtQuick
import Vuzo

// The numbered circle of an answer overview, tinted by the answer's status.
Item {
    id: circle
    property int number: 0
    // AnswerStatusCircleStyle.Correct, .Incorrect or .Unanswered
    property int status: AnswerStatusCircleStyle.Unanswered
    property bool isCurrent: false
    property bool transparent: false
    property bool hovering: false
    signal clicked()

    width: 36
    height: 36

    AnswerStatusCircleStyle {
        id: style
        status: circle.status
        isCurrent: circle.isCurrent
        transparent: circle.transparent
        hovering: false
    }
    // Only the hover eases (0.14 s): the ring goes from its resting to its
    // hovered colour; a change of status or of the current circle shows at once.
    AnswerStatusCircleStyle {
        id: hoveredStyle
        status: circle.status
        isCurrent: circle.isCurrent
        transparent: circle.transparent
        hovering: true
    }
    property real hoverMix: hovering ? 1 : 0
    Behavior on hoverMix { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        antialiasing: true
        color: style.fillColor
    }

    Text {
        objectName: "answerNumber"
        anchors.centerIn: parent
        // The badge needs room: an answered number moves up and left.
        anchors.horizontalCenterOffset: style.badgeSymbol === "" ? 0 : -1.5
        anchors.verticalCenterOffset: style.badgeSymbol === "" ? 0 : -1.5
        text: String(circle.number)
        font.pixelSize: Theme.fontBody
        font.weight: Font.DemiBold
        color: style.numberColor
    }

    SymbolIcon {
        objectName: "answerBadge"
        visible: style.badgeSymbol !== ""
        anchors.right: parent.right
        anchors.bottom: parent.bottom
        anchors.rightMargin: 1
        anchors.bottomMargin: 1
        width: 12
        height: 12
        name: style.badgeSymbol === "" ? "checkmark" : style.badgeSymbol
        color: style.statusColor
    }

    Rectangle {
        anchors.fill: parent
        radius: width / 2
        antialiasing: true
        color: "transparent"
        border.width: style.outlineWidth
        border.color: Theme.mix(style.outlineColor, hoveredStyle.outlineColor, circle.hoverMix)
    }

    MouseArea {
        anchors.fill: parent
        containmentMask: QtObject {
            function contains(point: point): bool {
                const dx = point.x - circle.width / 2;
                const dy = point.y - circle.height / 2;
                return dx * dx + dy * dy <= (circle.width / 2) * (circle.width / 2);
            }
        }
        onClicked: circle.clicked()
    }
}
