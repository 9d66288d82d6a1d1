import QtQuick
import QtWebEngine
import QtWebChannel
import Vuzo

// The shop page with its bridge: a persistent profile, the bridge's user
// script at document creation, the bridge object in the web channel, the
// credentials hand-over and the one-shot payment report. New windows of the
// shop replace the page in place (http and https only): one view shows at
// any time.
Item {
    id: root
    property alias shopOrigin: bridge.shopOrigin
    readonly property PurchaseWebBridge bridge: bridge
    // The view showing the shop now.
    readonly property WebEngineView webView: views.current

    signal paymentSucceeded()

    QtObject {
        id: views
        property WebEngineView current: null
    }

    PurchaseWebBridge {
        id: bridge
        objectName: "purchaseWebBridge"
        model: AppModel
        currentUrl: views.current ? views.current.url : ""
        onScriptEvaluationRequested: (script) => { if (views.current) views.current.runJavaScript(script); }
        // Read where the page cannot reach: an isolated world of the main frame.
        onDocumentOriginRequested: {
            const view = views.current;
            if (view)
                view.runJavaScript("location.origin", WebEngineScript.ApplicationWorld,
                                   (origin) => bridge.documentOriginReported(String(origin)));
        }
        onPaymentSucceeded: root.paymentSucceeded()
    }

    WebChannel {
        id: channel
    }

    // A new window opens in a view of its own that takes the old one's
    // place: opened in the view that asked for it, it would end that page
    // while the engine is still inside the page's own call, which the engine
    // does not always survive. The old view goes once that call has returned.
    function replaceView(request) {
        if (!bridge.opensInPlace(request.requestedUrl))
            return;
        const previous = views.current;
        const next = viewComponent.createObject(root);
        // The whole request (a form posted to a blank target keeps its body).
        request.openIn(next);
        views.current = next;
        if (previous) {
            previous.visible = false;
            previous.destroy();
        }
    }

    Component {
        id: viewComponent

        WebEngineView {
            id: webView
            objectName: "shopWebEngineView"
            anchors.fill: parent
            profile: PurchaseWebProfile.profile
            webChannel: channel

            // The first request gives up when nothing of it arrives for 30 s, as
            // a request time-out would; a page still arriving is left alone.
            property bool firstLoadPending: false
            property int requestTimeout: 30000
            onLoadProgressChanged: {
                if (firstLoadPending)
                    firstLoadTimeout.restart();
            }

            onNewWindowRequested: (request) => root.replaceView(request)
            onLoadingChanged: (loadingInfo) => {
                if (loadingInfo.status !== WebEngineView.LoadStartedStatus) {
                    firstLoadPending = false;
                    firstLoadTimeout.stop();
                }
            }

            Timer {
                id: firstLoadTimeout
                interval: webView.requestTimeout
                onTriggered: {
                    if (webView.firstLoadPending && webView.loading)
                        webView.stop();
                    webView.firstLoadPending = false;
                }
            }

            Component.onCompleted: userScripts.insert(bridge.userScript())

            // The first request of the screen.
            function openShop() {
                // An address that does not parse leaves the view empty.
                if (bridge.pageUrl.toString() === "")
                    return;
                firstLoadPending = true;
                firstLoadTimeout.start();
                url = bridge.pageUrl;
            }
        }
    }

    Component.onCompleted: {
        channel.registerObject(bridge.handlerName, bridge.channelObject);
        views.current = viewComponent.createObject(root);
        views.current.openShop();
    }

    Component.onDestruction: {
        channel.deregisterObject(bridge.channelObject);
        if (views.current)
            views.current.stop();
    }
}
