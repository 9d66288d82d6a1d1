import QtQuick
import QtQuick.Controls
import Vuzo

// The answering screen: top bar, the pager of plain pages (or the material
// view for a question of a reading material), the answer card column and
// the confirmation that hands the set in. It reads everything from the
// model and sends every action to a model operation.
//
// questionBodyComponent: the body of a plain question page (QuestionBodyView
// unless replaced). It is created with the properties controller,
// questionIndex, questionId, stem, transparent, inkHex, inkIntensity and
// contentWanted (false until the current page has loaded: neighbours load
// after it), and may emit contentReady() once its first content is laid out.
// materialViewComponent: the view for questions of a material
// (MaterialQuestionView), built anew for each material.
//
// The screen keeps the scroll positions of its panes and the split ratios of
// its material questions for as long as it is shown.
Item {
    id: root
    objectName: "questionView"
    // The application model (a test may hand over another one).
    property AppModel model: AppModel
    property Component questionBodyComponent: defaultBody
    property Component materialViewComponent: defaultMaterialView

    readonly property QuestionScreenController controller: controller
    readonly property bool transparent: model ? model.studyTransparencyEnabled : false
    readonly property string inkHex: model ? model.transparentInkHex : ""
    readonly property real inkIntensity: model ? model.transparentInkIntensity : 1
    property bool showingSubmitConfirmation: false

    ScrollOffsetCache {
        id: screenScrollOffsets
    }
    MaterialPanelRatios {
        id: materialPanelRatios
    }

    QuestionScreenController {
        id: controller
        model: root.model
    }

    Rectangle {
        anchors.fill: parent
        color: root.transparent ? "transparent" : Theme.appBackground
    }

    Item {
        id: screenContent
        anchors.fill: parent
        layer.enabled: transparentModal.cutoutActive
        layer.effect: transparentModal.cutoutEffect

        QuestionTopBar {
            id: topBar
            objectName: "questionTopBar"
            width: parent.width
            controller: controller
            transparent: root.transparent
        }
        Rectangle {
            id: topDivider
            anchors.top: topBar.bottom
            width: parent.width
            height: 1
            color: Theme.separatorColor
            opacity: 0.18
        }

        Item {
            id: contentRow
            anchors.top: topDivider.bottom
            anchors.left: parent.left
            anchors.right: parent.right
            anchors.bottom: parent.bottom

            EmptyStateView {
                objectName: "emptyQuestions"
                anchors.fill: parent
                visible: !controller.hasCurrentQuestion
                title: "暂无题目"
                systemImage: "doc.questionmark"
            }

            Item {
                id: questionArea
                objectName: "questionArea"
                visible: controller.hasCurrentQuestion
                anchors.left: parent.left
                anchors.top: parent.top
                anchors.bottom: parent.bottom
                anchors.right: cardDivider.left

                // Plain pages: the current question and its neighbours within
                // two places, each kept while its index stays in the window.
                Item {
                    id: pager
                    objectName: "pager"
                    anchors.fill: parent
                    visible: controller.currentMaterialId === ""
                    // Neighbours load once the current page has shown its
                    // content, so they never compete with it for the one
                    // renderer; a page that reports nothing (an empty stem)
                    // lets them go after two seconds.
                    property bool currentReady: false
                    readonly property int currentIndex: controller.currentIndex
                    // The current page has laid out its content: the
                    // neighbours' views are built once the frame that shows
                    // it is out, not in the turns before it.
                    property int frameStage: 0
                    function currentLaidOut() {
                        if (currentReady || frameStage !== 0)
                            return;
                        frameStage = 1;
                        frameFallback.restart();
                        if (Window.window)
                            Window.window.update();
                    }
                    function currentDrawn() {
                        if (frameStage === 0)
                            return;
                        frameStage = 0;
                        frameFallback.stop();
                        currentReady = true;
                    }
                    Connections {
                        target: pager.Window.window
                        enabled: pager.frameStage !== 0
                        // A frame that took the new layout in, then its swap.
                        function onAfterSynchronizing() { if (pager.frameStage === 1) pager.frameStage = 2; }
                        function onFrameSwapped() { if (pager.frameStage === 2) Qt.callLater(pager.currentDrawn); }
                    }
                    // A window that draws nothing (hidden) lets them go anyway.
                    Timer {
                        id: frameFallback
                        interval: 500
                        onTriggered: pager.currentDrawn()
                    }
                    // Another current page: a move, or a new set (even at the
                    // same index). A page shown before (a neighbour) is ready
                    // with the move's frame; the delay runs from here, not
                    // from the screen's start.
                    function awaitCurrentPage() {
                        currentReady = false;
                        frameStage = 0;
                        frameFallback.stop();
                        let shownBefore = false;
                        for (let i = 0; i < pages.count; ++i) {
                            const shown = pages.itemAt(i);
                            if (shown && shown.questionIndex === currentIndex && shown.contentShown)
                                shownBefore = true;
                        }
                        if (shownBefore) {
                            neighbourDelay.stop();
                            currentLaidOut();
                        } else {
                            neighbourDelay.restart();
                        }
                    }
                    onCurrentIndexChanged: awaitCurrentPage()
                    Component.onCompleted: awaitCurrentPage()
                    Connections {
                        target: controller.pages
                        // Before the new pages are built, so that none of them
                        // finds the old set's readiness.
                        function onModelAboutToBeReset() {
                            pager.currentReady = false;
                            pager.frameStage = 0;
                            frameFallback.stop();
                            neighbourDelay.stop();
                        }
                        // No page of a new set has shown anything yet.
                        function onModelReset() {
                            if (!pager.currentReady)
                                neighbourDelay.restart();
                        }
                    }
                    Timer {
                        id: neighbourDelay
                        interval: 2000
                        onTriggered: pager.currentReady = true
                    }

                    Rectangle {
                        anchors.fill: parent
                        color: root.transparent ? "transparent" : Qt.rgba(0.985, 0.985, 0.99, 1)
                    }

                    Repeater {
                        id: pages
                        model: controller.pages
                        delegate: Flickable {
                            id: page
                            required property int questionIndex
                            required property string questionId
                            required property bool isSectionIntro
                            required property string sectionTitle
                            required property string sectionDescription
                            required property int sectionQuestionCount
                            required property string stem
                            readonly property bool isCurrent: questionIndex === pager.currentIndex
                            property bool contentShown: false

                            objectName: "page" + questionIndex
                            width: pager.width
                            height: pager.height
                            // Hidden pages stay mounted but take no input.
                            opacity: isCurrent ? 1 : 0
                            // The engine draws the pages next to the current one, so a move by
                            // one shows a finished page; pages further away stay loaded but
                            // undrawn, which spares their tiles (a tall one costs tens of MB).
                            visible: Math.abs(questionIndex - pager.currentIndex) <= 1
                            enabled: isCurrent
                            z: isCurrent ? 1 : 0
                            clip: true
                            contentWidth: width
                            contentHeight: pageBody.height + 60
                            boundsBehavior: Flickable.StopAtBounds

                            ScrollMemory {
                                flickable: page
                                cache: screenScrollOffsets
                                key: screenScrollOffsets.questionKey(page.questionId)
                            }

                            Loader {
                                id: pageBody
                                x: 30
                                y: 30
                                width: page.width - 60
                                sourceComponent: page.isSectionIntro ? sectionIntroComponent : root.questionBodyComponent
                                onLoaded: {
                                    if (page.isSectionIntro)
                                        return;
                                    item.controller = controller;
                                    item.questionIndex = Qt.binding(() => page.questionIndex);
                                    item.questionId = Qt.binding(() => page.questionId);
                                    item.stem = Qt.binding(() => page.stem);
                                    item.transparent = Qt.binding(() => root.transparent);
                                    item.inkHex = Qt.binding(() => root.inkHex);
                                    item.inkIntensity = Qt.binding(() => root.inkIntensity);
                                    item.contentWanted = Qt.binding(() => page.isCurrent || pager.currentReady);
                                    item.contentReady.connect(() => {
                                        page.contentShown = true;
                                        if (page.isCurrent)
                                            pager.currentLaidOut();
                                    });
                                }
                            }

                            Component {
                                id: sectionIntroComponent
                                QuestionSectionIntroView {
                                    // Nothing to load: the neighbours may start.
                                    Component.onCompleted: {
                                        page.contentShown = true;
                                        if (page.isCurrent)
                                            pager.currentLaidOut();
                                    }
                                    controller: root.controller
                                    sectionTitle: page.sectionTitle
                                    sectionDescription: page.sectionDescription
                                    questionCount: page.sectionQuestionCount
                                    transparent: root.transparent
                                }
                            }
                        }
                    }

                    // A passive observer of drags over the pages: it never takes
                    // the press from the web views or buttons beneath. A drag
                    // that begins on the text of a web view selects it and
                    // turns no page.
                    Item {
                        anchors.fill: parent
                        z: 2
                        PointHandler {
                            id: swipe
                            objectName: "swipeHandler"
                            acceptedButtons: Qt.LeftButton
                            property point start
                            property point last
                            property bool selecting: false
                            onActiveChanged: {
                                if (active) {
                                    start = point.pressPosition;
                                    last = point.position;
                                    selecting = ContentViewRules.isOverContent(pager, point.scenePressPosition);
                                } else if (!selecting) {
                                    controller.swipe(last.x - start.x, last.y - start.y);
                                }
                            }
                            onPointChanged: if (active) last = point.position
                        }
                    }
                }

                Loader {
                    id: materialLoader
                    objectName: "materialView"
                    anchors.fill: parent
                    active: controller.currentMaterialId !== ""
                    property string shownMaterial: ""
                    sourceComponent: root.materialViewComponent
                    onLoaded: shownMaterial = controller.currentMaterialId
                    Connections {
                        target: controller
                        // Another material builds a new view; the same one keeps it.
                        function onChanged() {
                            if (materialLoader.active && materialLoader.shownMaterial !== controller.currentMaterialId) {
                                materialLoader.active = false;
                                materialLoader.active = Qt.binding(() => controller.currentMaterialId !== "");
                            }
                        }
                    }
                }
            }

            Rectangle {
                id: cardDivider
                visible: controller.hasCurrentQuestion
                anchors.top: parent.top
                anchors.bottom: parent.bottom
                anchors.right: answerCard.left
                width: visible ? 1 : 0
                color: Theme.separatorColor
                opacity: 0.18
            }

            AnswerCardColumn {
                id: answerCard
                objectName: "answerCardColumn"
                visible: controller.hasCurrentQuestion
                anchors.top: parent.top
                anchors.bottom: parent.bottom
                anchors.right: parent.right
                controller: controller
                transparent: root.transparent
                inkHex: root.inkHex
                onSubmitRequested: root.showingSubmitConfirmation = true
            }
        }
    }

    Component {
        id: defaultBody
        QuestionBodyView {}
    }

    Component {
        id: defaultMaterialView
        MaterialQuestionView {
            controller: root.controller
            scrollOffsets: screenScrollOffsets
            panelRatios: materialPanelRatios
            transparent: root.transparent
            inkHex: root.inkHex
            inkIntensity: root.inkIntensity
        }
    }

    // The confirmation, see-through or opaque by the look.
    AppModal {
        id: transparentModal
        objectName: "transparentConfirmation"
        isPresented: root.transparent && root.showingSubmitConfirmation
        transparent: true
        cornerRadius: 22
        onDismissed: root.showingSubmitConfirmation = false
        card: TransparentSubmitConfirmation {
            message: controller.submitConfirmationMessage
            onCancelled: root.showingSubmitConfirmation = false
            onConfirmed: root.confirmSubmission()
        }
    }

    AppModal {
        id: opaqueModal
        objectName: "opaqueConfirmation"
        isPresented: !root.transparent && root.showingSubmitConfirmation
        transparent: false
        cornerRadius: 22
        onDismissed: root.showingSubmitConfirmation = false
        card: AppConfirmationPanel {
            title: "确认交卷"
            message: controller.submitConfirmationMessage
            confirmTitle: "确认交卷"
            onCancelled: root.showingSubmitConfirmation = false
            onConfirmed: root.confirmSubmission()
        }
    }

    function confirmSubmission() {
        showingSubmitConfirmation = false;
        controller.submit();
    }
}
