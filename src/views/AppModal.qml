import QtQuick
import Vuzo
import Qt5Compat.GraphicalEffects

// An in-window modal card over the content beneath it (a sibling filling the
// same parent). While presented, a backdrop as large as the content takes
// every click and reports a single click of the primary button as
// dismissed(), whether or not it dims; the card sits at `alignment` within
// the insets and consumes clicks inside its rounded shape that hit none of
// its controls, and the window's keys are for the focused item alone. In the
// transparent look the content under the card is cut out: the content item
// enables its layer with `cutoutActive` and the effect made by `cutoutEffect`.
Item {
    id: modal
    anchors.fill: parent

    property bool isPresented: false
    property bool transparent: false
    property real cornerRadius: 22
    property int alignment: Qt.AlignCenter
    property real topInset: 0
    property real leftInset: 0
    property real bottomInset: 0
    property real rightInset: 0
    property bool dimsBackground: true
    property Component card
    signal dismissed()

    readonly property Item cardItem: loader.item
    // The card's measured size; zero while not presented, so a new
    // presentation never shows a hole of a stale size.
    readonly property size modalSize: isPresented && loader.item ? Qt.size(loader.width, loader.height) : Qt.size(0, 0)
    // Shader effects need a hardware scene graph; the software one draws without them.
    readonly property bool cutoutActive: transparent && modalSize.width > 0 && modalSize.height > 0
                                         && GraphicsInfo.api !== GraphicsInfo.Software
    readonly property Item cutoutMask: mask

    // 0 when hidden, 1 when shown; eases out over 0.14 s.
    property real presence: isPresented ? 1 : 0
    Behavior on presence { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
    visible: isPresented || presence > 0

    // Each presentation builds its card afresh: one presented again while
    // the last is still fading out must not get the dismissed card back,
    // with the edits and state its dismissal dropped.
    onIsPresentedChanged: {
        if (isPresented) {
            loader.active = false;
            loader.active = true;
        }
    }
    onPresenceChanged: if (!isPresented && presence === 0) loader.active = false
    Component.onCompleted: loader.active = isPresented

    // While presented, the window's keys are the card's: the screen behind
    // answers and pages nothing; the zoom keys still work.
    ModalKeyGuard {
        active: modal.isPresented
    }

    MouseArea {
        id: backdrop
        objectName: "modalBackdrop"
        anchors.fill: parent
        enabled: modal.isPresented
        acceptedButtons: Qt.AllButtons
        hoverEnabled: true
        // Other buttons are taken too, so they never reach the content.
        onClicked: (mouse) => { if (mouse.button === Qt.LeftButton) modal.dismissed(); }
        onWheel: (wheel) => wheel.accepted = true

        Rectangle {
            anchors.fill: parent
            color: "black"
            // Invisible yet hit-testable unless dimming; the see-through
            // page is never darkened.
            opacity: (!modal.transparent && modal.dimsBackground ? 0.12 : 1 / 255) * modal.presence
        }
    }

    Item {
        id: placement
        anchors.fill: parent
        anchors.topMargin: modal.topInset
        anchors.leftMargin: modal.leftInset
        anchors.bottomMargin: modal.bottomInset
        anchors.rightMargin: modal.rightInset
    }

    Item {
        id: frame
        objectName: "modalCard"
        width: loader.width
        height: loader.height
        x: placement.x + ((modal.alignment & Qt.AlignLeft) ? 0
                          : (modal.alignment & Qt.AlignRight) ? placement.width - width
                          : (placement.width - width) / 2)
        y: placement.y + ((modal.alignment & Qt.AlignTop) ? 0
                          : (modal.alignment & Qt.AlignBottom) ? placement.height - height
                          : (placement.height - height) / 2)
        opacity: modal.presence
        scale: 0.97 + 0.03 * modal.presence
        // A card on its way out takes no clicks and no keys.
        enabled: modal.isPresented

        SoftShadow {
            anchors.fill: parent
            visible: !modal.transparent && loader.item !== null
            radius: 18
            offsetY: 8
            color: Qt.rgba(0, 0, 0, 0.12)
            cornerRadius: modal.cornerRadius
        }

        CutoutFallback {
            anchors.fill: parent
            wanted: modal.transparent
            radius: modal.cornerRadius
        }
        Rectangle {
            anchors.fill: parent
            radius: modal.cornerRadius
            antialiasing: true
            color: modal.transparent ? Qt.rgba(0, 0, 0, 0.18) : "transparent"
        }

        // Clicks inside the card that hit none of its controls stop here;
        // those in the corners outside its rounded shape reach the backdrop.
        MouseArea {
            objectName: "modalCardBlocker"
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
            containmentMask: RoundedRectShape {
                width: frame.width
                height: frame.height
                radius: modal.cornerRadius
            }
            onWheel: (wheel) => wheel.accepted = true
        }

        Loader {
            id: loader
            active: false
            sourceComponent: modal.card
        }

        Rectangle {
            anchors.fill: parent
            visible: modal.transparent
            radius: modal.cornerRadius
            antialiasing: true
            color: "transparent"
            border.width: 1
            border.color: Theme.withOpacity(Theme.appSecondary, 0.3)
        }
    }

    // The shape erased from the content beneath the card.
    Item {
        id: mask
        visible: false
        width: modal.width
        height: modal.height
        Rectangle {
            x: frame.x
            y: frame.y
            width: modal.modalSize.width
            height: modal.modalSize.height
            radius: modal.cornerRadius
            antialiasing: true
            color: "black"
        }
    }

    // The layer effect the content item uses while cutoutActive.
    property Component cutoutEffect: Component {
        OpacityMask {
            maskSource: mask
            invert: true
        }
    }
}
