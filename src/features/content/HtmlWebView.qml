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
    onParentChanged: findZoomHost()
    Component.onCompleted: findZoomHost()

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
        width: root.width * root.renderScale
        height: root.height * root.renderScale
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
            if (info.status === WebEngineView.LoadSucceededStatus)
                controller.loadFinished(true);
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
