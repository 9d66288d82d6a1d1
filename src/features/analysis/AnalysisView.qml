import QtQuick
import Vuzo

// The analysis of a report's questions or of a collection folder: one
// question at a time, with its material above it when it has one, and the
// navigator column beside it.
Item {
    id: view
    objectName: "analysisView"

    AnalysisController {
        id: analysis
        objectName: "analysisController"
        model: AppModel
    }

    readonly property bool transparent: analysis.transparent

    // Scroll positions and split ratios of this visit, by question and by
    // material; a new visit starts afresh.
    ScrollOffsetCache {
        id: visitScrollOffsets
    }
    MaterialPanelRatios {
        id: materialPanelRatios
    }
    MaterialSplitController {
        id: materialSplit
        objectName: "materialSplit"
        ratios: materialPanelRatios
        questionId: analysis.questionId
        availableHeight: body.height
    }

    // One material pane per material: another material gets a fresh pane
    // (its own reported height and remembered position), the same material
    // keeps its pane while the questions change.
    function syncMaterialPane() {
        const id = analysis.hasMaterial ? analysis.materialId : "";
        if (id !== materialPane.materialId)
            materialPane.materialId = "";
        materialPane.materialTitle = analysis.materialTitle;
        materialPane.materialHtml = analysis.materialHtml;
        materialPane.materialId = id;
    }
    Connections {
        target: analysis
        function onChanged() { view.syncMaterialPane(); }
    }
    Component.onCompleted: syncMaterialPane()

    Rectangle {
        anchors.fill: parent
        color: view.transparent ? "transparent" : Theme.appBackground
    }

    // Header
    Rectangle {
        id: header
        width: parent.width
        height: 58
        color: view.transparent ? "transparent" : "white"
        ResultsLinkButton {
            objectName: "analysisBack"
            anchors.left: parent.left
            anchors.leftMargin: 20
            anchors.verticalCenter: parent.verticalCenter
            text: analysis.backLabel
            iconName: "chevron.left"
            color: Theme.appTitle
            onClicked: analysis.back()
        }
        Text {
            anchors.centerIn: parent
            text: analysis.title
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            textFormat: Text.PlainText
            font.pixelSize: 16
            font.weight: Font.DemiBold
            color: Theme.appTitle
        }
        Item {
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: parent.verticalCenter
            width: 80
            height: 30
            HoverHandler { id: progressHover }
            Text {
                objectName: "analysisProgress"
                anchors.right: parent.right
                anchors.verticalCenter: parent.verticalCenter
                text: analysis.progressText
                Accessible.role: Accessible.StaticText
                Accessible.name: text
                textFormat: Text.PlainText
                font.pixelSize: 12
                font.weight: Font.Medium
                color: Theme.appSecondary
                // Nearly invisible in the transparent look until pointed at.
                opacity: view.transparent && !progressHover.hovered ? 0.035 : 1
                Behavior on opacity { NumberAnimation { duration: 140; easing.type: Easing.OutCubic } }
            }
        }
    }
    Rectangle {
        id: divider
        objectName: "analysisHeaderDivider"
        anchors.top: header.bottom
        width: parent.width
        height: 1
        color: Theme.separatorColor
        opacity: 0.18
    }

    EmptyStateView {
        objectName: "analysisEmptyState"
        visible: !analysis.hasCurrentQuestion
        anchors.top: divider.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        title: "暂无解析"
        systemImage: "doc.text.magnifyingglass"
    }

    Item {
        id: body
        visible: analysis.hasCurrentQuestion
        anchors.top: divider.bottom
        anchors.bottom: parent.bottom
        anchors.left: parent.left
        anchors.right: navigatorRule.left

        // Horizontal wheel and touchpad movement that the panes leave alone.
        WheelHandler {
            target: null
            orientation: Qt.Horizontal
            onWheel: (event) => {
                const dx = event.pixelDelta.x !== 0 ? event.pixelDelta.x : event.angleDelta.x / 2;
                const dy = event.pixelDelta.y !== 0 ? event.pixelDelta.y : event.angleDelta.y / 2;
                analysis.wheelSwipe(dx, dy, Date.now());
            }
        }

        // The material layout's own ground, under the material and the card.
        Rectangle {
            anchors.fill: parent
            visible: analysis.hasMaterial && !view.transparent
            color: "white"
        }

        // Material pane, when the question reads one.
        Loader {
            id: materialPane
            objectName: "materialPane"
            property string materialId: ""
            property string materialTitle: ""
            property string materialHtml: ""
            active: materialId !== ""
            visible: active
            width: parent.width
            height: active ? materialSplit.top : 0
            clip: true
            sourceComponent: MaterialContentLayer {
                objectName: "materialScroll"
                materialId: materialPane.materialId
                title: materialPane.materialTitle
                html: materialPane.materialHtml
                bottomInset: 24
                scrollOffsets: visitScrollOffsets
                inkHex: view.transparent ? AppModel.transparentInkHex : ""
                inkIntensity: AppModel.transparentInkIntensity
            }
        }

        // The question panel's shadow falls upwards onto the material.
        SoftShadow {
            visible: analysis.hasMaterial
            y: questionPanel.y
            width: questionPanel.width
            height: questionPanel.height
            radius: 18
            offsetY: -4
            color: Qt.rgba(0, 0, 0, 0.1)
            cornerRadius: 20
        }

        // The question panel, below the material with its split handle.
        Rectangle {
            id: questionPanel
            y: materialPane.height
            width: parent.width
            height: parent.height - y
            color: analysis.hasMaterial ? (view.transparent ? "transparent" : "white") : "transparent"
            radius: analysis.hasMaterial ? 20 : 0
            clip: true

            MaterialSplitHandle {
                id: splitHandle
                visible: analysis.hasMaterial
                width: parent.width
                height: analysis.hasMaterial ? 30 : 0
                splitController: materialSplit
                transparent: view.transparent
            }

            AnalysisQuestionPane {
                id: questionPane
                objectName: "analysisQuestionPane"
                anchors.top: splitHandle.bottom
                anchors.bottom: parent.bottom
                width: parent.width
                controller: analysis
                scrollOffsets: visitScrollOffsets
            }

            // A swipe across the question moves to its neighbour. A passive
            // observer: it takes no press from the buttons and web views
            // beneath, and a drag that begins on the text of a web view
            // selects it and moves nothing. The drag is measured in this
            // item's own points, so the panel's zoom does not change it.
            Item {
                anchors.fill: questionPane
                z: 2
                PointHandler {
                    id: swipe
                    objectName: "analysisSwipe"
                    acceptedButtons: Qt.LeftButton
                    property point start
                    property point last
                    property bool selecting: false
                    onActiveChanged: {
                        if (active) {
                            start = point.pressPosition;
                            last = point.position;
                            selecting = ContentViewRules.isOverContent(questionPane, point.scenePressPosition);
                        } else if (!selecting) {
                            analysis.finishSwipe(last.x - start.x, last.y - start.y);
                        }
                    }
                    onPointChanged: if (active) last = point.position
                }
            }
        }
    }

    Rectangle {
        id: navigatorRule
        objectName: "analysisNavigatorRule"
        visible: analysis.hasCurrentQuestion
        anchors.top: divider.bottom
        anchors.bottom: parent.bottom
        anchors.right: navigatorColumn.left
        width: visible ? 1 : 0
        color: Theme.separatorColor
        opacity: 0.18
    }

    AnalysisNavigator {
        id: navigatorColumn
        visible: analysis.hasCurrentQuestion
        anchors.top: divider.bottom
        anchors.bottom: parent.bottom
        anchors.right: parent.right
        controller: analysis
    }
}
