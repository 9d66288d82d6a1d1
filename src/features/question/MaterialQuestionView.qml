import QtQuick
import Vuzo

// A question of a reading material: the material above, the question card
// below, split by a handle whose position is kept per question. The card
// keeps the questions of the same material near the current one mounted as
// hidden pages; a sideways swipe over it moves between questions.
//
// Reads the AppModel singleton. The host (the question screen) builds one per
// material and sets:
//   controller      the screen controller, for the current material
//   materialId, materialTitle, materialContent   the material shown
//   scrollOffsets   the screen's ScrollOffsetCache
//   panelRatios     the screen's MaterialPanelRatios
//   transparent, inkHex, inkIntensity            the look
Item {
    id: view
    property QtObject controller
    property string materialId: controller ? controller.currentMaterialId : ""
    property string materialTitle: controller ? controller.currentMaterialTitle : ""
    property string materialContent: controller ? controller.currentMaterialContent : ""
    property ScrollOffsetCache scrollOffsets: ownOffsets
    property MaterialPanelRatios panelRatios: ownRatios
    property bool transparent: false
    property string inkHex: ""
    property real inkIntensity: 1

    clip: true

    // Used only when the host gives none: then they live as long as this view.
    ScrollOffsetCache { id: ownOffsets }
    MaterialPanelRatios { id: ownRatios }

    MaterialPageWindow {
        id: pageWindow
        objectName: "materialPageWindow"
        model: AppModel
        materialId: view.materialId
    }

    MaterialSplitController {
        id: split
        objectName: "materialSplit"
        ratios: view.panelRatios
        questionId: pageWindow.currentQuestionId
        availableHeight: view.height
    }

    Rectangle {
        anchors.fill: parent
        color: view.transparent ? "transparent" : "white"
    }

    MaterialContentLayer {
        id: materialPane
        objectName: "materialPane"
        width: view.width
        height: split.top
        visible: height > 0
        materialId: view.materialId
        title: view.materialTitle
        html: view.materialContent
        scrollOffsets: view.scrollOffsets
        inkHex: view.transparent ? view.inkHex : ""
        inkIntensity: view.inkIntensity
    }

    // The card's shadow falls upwards onto the material, in both looks.
    SoftShadow {
        x: card.x
        y: card.y
        width: card.width
        height: card.height
        radius: 18
        offsetY: -4
        color: Qt.rgba(0, 0, 0, 0.1)
        cornerRadius: 20
    }

    Item {
        id: card
        objectName: "questionCard"
        y: split.top
        width: view.width
        height: split.cardHeight

        Rectangle {
            anchors.fill: parent
            radius: 20
            color: view.transparent ? "transparent" : "white"
        }

        MaterialSplitHandle {
            id: handle
            width: parent.width
            splitController: split
            transparent: view.transparent
        }

        Item {
            id: pagesArea
            objectName: "materialPages"
            y: handle.height
            width: parent.width
            height: Math.max(0, parent.height - handle.height)
            clip: true

            // Neighbours load a moment after the current page.
            property bool neighboursWanted: false
            Connections {
                target: pageWindow
                function onCurrentQuestionIdChanged() {
                    pagesArea.neighboursWanted = false;
                    neighbourDelay.restart();
                }
            }
            Timer {
                id: neighbourDelay
                interval: 250
                running: true
                onTriggered: pagesArea.neighboursWanted = true
            }

            Repeater {
                model: pageWindow
                delegate: Flickable {
                    id: page
                    required property int questionIndex
                    required property string questionId
                    readonly property bool isCurrent: questionIndex === pageWindow.currentIndex

                    objectName: "materialPage" + questionIndex
                    width: pagesArea.width
                    height: pagesArea.height
                    opacity: isCurrent ? 1 : 0
                    // The engine draws the pages next to the current one, so a move by
                    // one shows a finished page; pages further away stay loaded but
                    // undrawn, which spares their tiles (a tall one costs tens of MB).
                    visible: Math.abs(questionIndex - pageWindow.currentIndex) <= 1
                    enabled: isCurrent
                    z: isCurrent ? 1 : 0
                    clip: true
                    contentWidth: width
                    contentHeight: pageBody.height + 60
                    boundsBehavior: Flickable.StopAtBounds

                    QuestionBodyView {
                        id: pageBody
                        x: 30
                        y: 30
                        width: page.width - 60
                        controller: view.controller
                        questionIndex: page.questionIndex
                        questionId: page.questionId
                        transparent: view.transparent
                        inkHex: view.inkHex
                        inkIntensity: view.inkIntensity
                        contentWanted: page.isCurrent || pagesArea.neighboursWanted
                    }

                    ScrollMemory {
                        flickable: page
                        cache: view.scrollOffsets
                        key: view.scrollOffsets ? view.scrollOffsets.questionKey(page.questionId) : ""
                    }
                }
            }

            // Watches drags over the pages without taking them from the
            // buttons and web views beneath; a drag that begins on the text
            // of a web view selects it and moves nothing. The drag is
            // measured in this item's own points, whatever the panel's zoom.
            Item {
                anchors.fill: parent
                z: 2
                PointHandler {
                    id: swipe
                    objectName: "materialSwipe"
                    acceptedButtons: Qt.LeftButton
                    property point start
                    property point last
                    property bool selecting: false
                    onActiveChanged: {
                        if (active) {
                            start = point.pressPosition;
                            last = point.position;
                            selecting = ContentViewRules.isOverContent(pagesArea, point.scenePressPosition);
                            return;
                        }
                        if (!selecting)
                            pageWindow.swipe(last.x - start.x, last.y - start.y);
                    }
                    onPointChanged: if (active) last = point.position
                }
            }
        }
    }
}
