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
        anchors.top: header.bottom
        width: parent.width
        height: 1
        color: Theme.appSecondary
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

        // The material layout's panel fill.
        Rectangle {
            anchors.fill: parent
            visible: analysis.hasMaterial && !view.transparent
            color: "white"
        }

        // Material pane, when the question reads one.
        Item {
            id: materialPane
            objectName: "materialPane"
            visible: analysis.hasMaterial
            width: parent.width
            height: analysis.hasMaterial ? analysis.materialTop : 0
            clip: true
            Flickable {
                id: materialScroll
                anchors.fill: parent
                contentWidth: width
                contentHeight: materialColumn.height + 30 + 54
                boundsBehavior: Flickable.StopAtBounds
                flickableDirection: Flickable.VerticalFlick
                // One position per material, kept while this screen lasts.
                property var savedOffsets: ({})
                property string shownKey: ""
                readonly property string key: "material:" + analysis.materialId
                onKeyChanged: {
                    if (shownKey !== "")
                        savedOffsets[shownKey] = contentY;
                    shownKey = key;
                    contentY = Math.min(savedOffsets[key] || 0, Math.max(0, contentHeight - height));
                }
                Column {
                    id: materialColumn
                    x: 30
                    y: 30
                    width: Math.min(700, materialScroll.width - 60)
                    spacing: 12
                    Text {
                        text: "材料"
                        textFormat: Text.PlainText
                        font.pixelSize: 15
                        font.weight: Font.DemiBold
                        color: Theme.appTitle
                    }
                    HtmlWebViewWithImageViewer {
                        objectName: "materialHtml"
                        width: parent.width
                        height: Math.max(120, contentHeight)
                        html: analysis.materialHtml
                        textOpacity: analysis.htmlTextOpacity
                        imageOpacity: analysis.stemImageOpacity
                        transparentInkHex: view.transparent ? AppModel.transparentInkHex : ""
                        transparentInkIntensity: AppModel.transparentInkIntensity
                    }
                }
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

            Item {
                id: splitHandle
                objectName: "splitHandle"
                visible: analysis.hasMaterial
                width: parent.width
                height: analysis.hasMaterial ? 30 : 0
                Rectangle {
                    anchors.centerIn: parent
                    width: 44
                    height: 5
                    radius: 2.5
                    color: view.transparent ? Theme.appTitle : Theme.withOpacity(Theme.appSecondary, 0.45)
                }
                DragHandler {
                    target: null
                    dragThreshold: 6
                    onTranslationChanged: if (active) analysis.dragMaterialHandle(translation.y)
                    onActiveChanged: if (!active) analysis.endMaterialHandleDrag(translation.y)
                }
            }

            AnalysisQuestionPane {
                id: questionPane
                objectName: "analysisQuestionPane"
                anchors.top: splitHandle.bottom
                anchors.bottom: parent.bottom
                width: parent.width
                controller: analysis

                // A swipe across the question moves to its neighbour.
                DragHandler {
                    id: swipe
                    target: null
                    yAxis.enabled: false
                    property point moved
                    onCentroidChanged: {
                        if (active)
                            moved = Qt.point(centroid.scenePosition.x - centroid.scenePressPosition.x,
                                             centroid.scenePosition.y - centroid.scenePressPosition.y);
                    }
                    onActiveChanged: {
                        if (active)
                            moved = Qt.point(0, 0);
                        else
                            analysis.finishSwipe(moved.x, moved.y);
                    }
                }
            }
        }
        onHeightChanged: analysis.materialAreaHeight = height
        Component.onCompleted: analysis.materialAreaHeight = height
    }

    Rectangle {
        id: navigatorRule
        visible: analysis.hasCurrentQuestion
        anchors.top: divider.bottom
        anchors.bottom: parent.bottom
        anchors.right: navigatorColumn.left
        width: visible ? 1 : 0
        color: Theme.appSecondary
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
