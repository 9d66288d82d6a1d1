import QtQuick
import QtWebEngine
import QtWebChannel
import Vuzo

// The shop page with its bridge: a persistent profile, the bridge's user
// script at document creation, the bridge object in the web channel, the
// credentials hand-over and the one-shot payment report. New windows of the
// shop open in this view (http and https only); nothing opens a second view.
Item {
    id: root
    property alias shopOrigin: bridge.shopOrigin
    readonly property PurchaseWebBridge bridge: bridge
    readonly property WebEngineView webView: webView

    signal paymentSucceeded()

    PurchaseWebBridge {
        id: bridge
        objectName: "purchaseWebBridge"
        model: AppModel
        currentUrl: webView.url
        onScriptEvaluationRequested: (script) => webView.runJavaScript(script)
        // Read where the page cannot reach: an isolated world of the main frame.
        onDocumentOriginRequested: webView.runJavaScript("location.origin", WebEngineScript.ApplicationWorld,
                                                         (origin) => bridge.documentOriginReported(String(origin)))
        onPaymentSucceeded: root.paymentSucceeded()
    }

    WebChannel {
        id: channel
    }

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

        // The whole request (a form posted to a blank target keeps its body).
        onNewWindowRequested: (request) => {
            if (bridge.opensInPlace(request.requestedUrl))
                request.openIn(webView);
        }
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

        Component.onCompleted: {
            userScripts.insert(bridge.userScript());
            channel.registerObject(bridge.handlerName, bridge.channelObject);
            // An address that does not parse leaves the view empty.
            if (bridge.pageUrl.toString() !== "") {
                firstLoadPending = true;
                firstLoadTimeout.start();
                url = bridge.pageUrl;
            }
        }
    }

    Component.onDestruction: {
        channel.deregisterObject(bridge.channelObject);
        webView.stop();
    }
}
