import QtQuick
import Vuzo

// Starts the content engine and its page process before a content page is
// asked for: both take a while the first time, which would otherwise fall
// on the first stem. A small page of the content kind, never shown, is
// loaded while ContentWarmupPolicy holds it (once the engine is to start,
// and while the user shows intent to open a set) and let go after: the
// engine stays up, while the page process, which costs tens of MB for as
// long as a page holds it, ends with the page. The root view makes the one
// warm-up; `wanted` is whether it may warm now.
Item {
    id: warmup
    property bool wanted: false
    // The page has loaded: engine and page process are up.
    readonly property bool warm: loader.item !== null && loader.item.contentHeight > 0

    Binding {
        target: ContentWarmupPolicy
        property: "available"
        value: warmup.wanted
    }
    onWarmChanged: if (warm) ContentWarmupPolicy.pageLoaded = true

    // Drawn by nobody, but shown to the engine: a page it thinks hidden is
    // not laid out, and the face would not load.
    opacity: 0
    enabled: false
    width: 1
    height: 1
    Accessible.ignored: true

    Connections {
        target: ContentWarmupPolicy
        function onPageReleased() { release.restart(); }
    }
    // By now the screen before (a question set) is gone as well; its web
    // views are torn down a moment after the page.
    Timer {
        id: release
        interval: 1000
        onTriggered: HeapRelease.releaseFreePages()
    }

    Loader {
        id: loader
        objectName: "warmupLoader"
        active: ContentWarmupPolicy.holdsPage
        sourceComponent: HtmlWebView {
            width: 400
            height: 40
            interactive: false
            // The CJK face the pages use, loaded once by the page process.
            html: "<p>题</p>"
            textOpacity: 1
            imageOpacity: 1
        }
    }
}
