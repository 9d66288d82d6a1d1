import QtQuick
import Vuzo

// A stem, material or analysis: an HtmlWebView in the standard style whose
// image clicks open the image viewer over the (zoomed) window content.
//
// API: html, textOpacity, imageOpacity, transparentInkHex ("" outside the
// transparent look), transparentInkIntensity, isGraphicReasoning; read
// contentHeight and size the view from it (implicitHeight follows it).
Item {
    id: root
    property alias html: view.html
    property alias textOpacity: view.textOpacity
    property alias imageOpacity: view.imageOpacity
    property alias transparentInkHex: view.transparentInkHex
    property alias transparentInkIntensity: view.transparentInkIntensity
    property alias isGraphicReasoning: view.isGraphicReasoning
    readonly property real contentHeight: view.contentHeight
    readonly property HtmlWebView view: view
    // The viewer now shown, if any.
    property Item imageViewer: null

    implicitHeight: contentHeight

    HtmlWebView {
        id: view
        anchors.fill: parent
        contentStyle: HtmlContentStyle.Standard
        onImageTapped: (source) => root.showImage(source)
    }

    // The viewer goes into the topmost item inside the window zoom, so it is
    // zoomed with the rest of the content instead of a second time.
    function viewerHost() {
        let host = root;
        while (host.parent && !(host.parent.contentScale !== undefined))
            host = host.parent;
        return host;
    }

    function showImage(source) {
        closeImage();
        const host = viewerHost();
        const zoomHost = host.parent && host.parent.contentScale !== undefined ? host.parent : null;
        imageViewer = viewerComponent.createObject(host, { source: source });
        if (zoomHost)
            imageViewer.zoom = Qt.binding(() => zoomHost.contentScale);
    }

    function closeImage() {
        if (!imageViewer)
            return;
        const shown = imageViewer;
        imageViewer = null;
        shown.destroy();
    }

    // The sheet belongs to the question it was opened on.
    Connections {
        target: AppModel
        function onCurrentQuestionIndexChanged() { root.closeImage(); }
        function onCurrentAnalysisIndexChanged() { root.closeImage(); }
        function onScreenChanged() { root.closeImage(); }
    }

    Component {
        id: viewerComponent
        ImageViewerSheet {
            onClosed: root.closeImage()
        }
    }

    Component.onDestruction: closeImage()
}
