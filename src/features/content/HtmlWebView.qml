import QtQuick
import QtQuick.Controls
import QtWebEngine
import QtWebChannel
import Vuzo

// One HTML fragment from the service in a non-scrolling web view.
//
// API (all the owner needs):
//   html                     the fragment (shown inside a generated page)
//   textOpacity, imageOpacity    0...1
//   transparentInkHex        "#RRGGBB" in the transparent look, "" otherwise
//   transparentInkIntensity  the ink intensity (a change recolours)
//   contentStyle             HtmlContentStyle.Standard / QuestionOption / AnalysisOption
//   isGraphicReasoning       images always block-sized to the full width
//   interactive              false: the view takes no mouse input at all
//   contentHeight            (read only) the rendered content's height; the
//                            owner sizes the view from it
//   imageTapped(source)      an image was clicked; its src as the page holds it
//
// The view never scrolls: a wheel over it scrolls the enclosing Flickable
// (and what lies beneath it). A page taller than the tallest view is shown
// at that height and scrolls inside itself once the Flickable is at its end.
// A page well over two screens of that Flickable is drawn only in a band
// around what it shows; its reported height is still the whole page's.
// Colour changes recolour the loaded page; a new html, style or graphic flag
// reloads it. Only its own page loads; links, forms and new windows do nothing.
Item {
    id: root

    property alias html: controller.html
    property alias textOpacity: controller.textOpacity
    property alias imageOpacity: controller.imageOpacity
    property alias transparentInkHex: controller.transparentInkHex
    property alias transparentInkIntensity: controller.transparentInkIntensity
    property alias contentStyle: controller.contentStyle
    property alias isGraphicReasoning: controller.isGraphicReasoning
    property bool interactive: true
    readonly property real contentHeight: controller.contentHeight
    readonly property HtmlContentController controller: controller
    readonly property WebEngineView webView: webView

    signal imageTapped(string source)

    implicitHeight: contentHeight

    // The window zoom scales the whole content; the page is rendered at the
    // zoomed size and scaled back, so its text stays sharp at every zoom.
    property Item zoomHost: null
    readonly property real renderScale: zoomHost && zoomHost.contentScale > 0 ? zoomHost.contentScale : 1
    function findZoomHost() {
        let host = parent;
        while (host && host.contentScale === undefined)
            host = host.parent;
        zoomHost = host;
    }
    onParentChanged: {
        findZoomHost();
        findScroller();
    }
    Component.onCompleted: {
        findZoomHost();
        findScroller();
    }

    // A tall page is drawn only in a band around what its scroller shows: the
    // view is that band, placed where the band lies in the page and scrolled
    // inside to it, so a page's memory follows the screen, not its length.
    // The view sits where the page's own scroll position says, so it is drawn
    // in its place even while a new band is on its way.
    property Item scroller: null
    property real bandHeight: height
    property real requestedBandTop: -1
    // The engine reports the scroll position in zoomed pixels.
    // Read once a page has loaded: before, there is no scroll to follow.
    property bool pageShown: false
    readonly property real shownBandTop: !pageShown || controller.scrollsInside ? 0 : webView.scrollPosition.y / renderScale
    function findScroller() {
        let item = parent;
        while (item && (item.contentY === undefined || item.flickableDirection === undefined))
            item = item.parent;
        scroller = item;
    }
    function placeBand() {
        if (controller.scrollsInside) {
            // The page scrolls by itself; one band, the whole view.
            bandHeight = height;
            requestedBandTop = -1;
            return;
        }
        let visibleTop = 0;
        let visibleBottom = 0;
        let viewport = 0;
        if (scroller && scroller.height > 0) {
            const top = scroller.mapToItem(root, 0, 0).y;
            const bottom = scroller.mapToItem(root, 0, scroller.height).y;
            viewport = bottom - top;
            visibleTop = Math.max(0, top);
            visibleBottom = Math.min(height, bottom);
        }
        bandHeight = ContentViewRules.bandHeight(height, viewport);
        const top = ContentViewRules.bandTop(height, bandHeight, visibleTop, visibleBottom, shownBandTop);
        if (top === requestedBandTop)
            return;
        requestedBandTop = top;
        // Most pages never move: no script for them.
        if (Math.abs(top - shownBandTop) >= 0.5)
            webView.runJavaScript("window.scrollTo(0, " + top + ")");
    }
    onHeightChanged: placeBand()
    onRenderScaleChanged: placeBand()
    Connections {
        target: root.scroller
        function onHeightChanged() { root.placeBand(); }
    }
    // Where the band lies matters only once there is one: a view drawn whole
    // does no work as its scroller moves.
    Connections {
        target: root.scroller
        enabled: root.bandHeight < root.height
        function onContentYChanged() { root.placeBand(); }
        // What lies above the view grew or shrank.
        function onContentHeightChanged() { root.placeBand(); }
    }
    Connections {
        target: controller
        function onScrollsInsideChanged() { root.placeBand(); }
    }

    HtmlContentController {
        id: controller
        viewWidth: root.width
        onScriptRequested: (script) => webView.runJavaScript(script)
        onReloadRequested: webView.reload()
        onImageTapped: (source) => root.imageTapped(source)
    }

    WebChannel {
        id: channel
    }

    WebEngineView {
        id: webView
        y: root.shownBandTop
        width: root.width * root.renderScale
        height: root.bandHeight * root.renderScale
        scale: 1 / root.renderScale
        transformOrigin: Item.TopLeft
        zoomFactor: root.renderScale
        enabled: root.interactive
        profile: ContentWebProfile.profile
        webChannel: channel
        backgroundColor: "transparent"
        // The engine drops mouse input of a view that may not take focus, so
        // a click must focus it; the answering keys still work because the
        // panel window routes them before any item sees a key.
        activeFocusOnPress: true
        url: controller.pageUrl
        settings.focusOnNavigationEnabled: false
        settings.javascriptCanOpenWindows: false
        settings.javascriptCanAccessClipboard: false
        settings.showScrollBars: false
        settings.pluginsEnabled: false
        settings.localContentCanAccessRemoteUrls: false
        settings.localContentCanAccessFileUrls: false

        onNavigationRequested: (request) => {
            if (controller.acceptsNavigation(request.url, request.isMainFrame))
                request.accept();
            else
                request.reject();
        }
        // Not opening the request anywhere refuses it.
        onNewWindowRequested: (request) => {}
        onLoadingChanged: (info) => {
            if (info.status === WebEngineView.LoadSucceededStatus) {
                controller.loadFinished(true);
                // A new document starts at its top.
                root.pageShown = true;
                root.requestedBandTop = -1;
                root.placeBand();
            }
        }
        onRenderProcessTerminated: (status, exitCode) => controller.renderProcessEnded()
        onContextMenuRequested: (request) => {
            request.accepted = true;
            if (request.selectedText.length > 0)
                root.showCopyMenu();
        }

        Component.onCompleted: channel.registerObject(ContentWebProfile.channelObjectName, controller.channelObject)
    }

    // Built on the first right click on a selection: most views never see
    // one, and a menu per view costs every page's opening.
    property Menu copyMenu: null
    function showCopyMenu() {
        if (!copyMenu)
            copyMenu = copyMenuComponent.createObject(root);
        copyMenu.popup();
    }
    Component {
        id: copyMenuComponent
        Menu {
            MenuItem {
                text: "拷贝"
                onTriggered: webView.triggerWebAction(WebEngineView.Copy)
            }
        }
    }

    // The page hides its overflow: the wheel goes on to the screen's
    // scroller, as if the view were not there.
    ContentWheelRouting {
        view: webView
        scrollsInside: controller.scrollsInside
    }

    Connections {
        target: Qt.application
        function onStateChanged() {
            if (Qt.application.state === Qt.ApplicationActive)
                controller.applicationBecameActive();
        }
    }

    // Detach the page first: deregistering while it lives would send it a
    // destroyed signal it may not know yet, and its late messages would meet
    // an object the channel no longer has. The channel dies with this view.
    Component.onDestruction: webView.webChannel = null
}
