import QtQuick
import Vuzo

// Starts the content engine and its page process before the first content
// page is asked for. Both take a few hundred ms the first time, which would
// otherwise fall on the first question shown. A small page of the content
// kind, never shown, is loaded once the program has been `wanted` for
// `delay` ms (so never before the first frame), and let go `holdAfter` ms
// after it has loaded, or once no longer wanted: the engine stays up, while
// the page process, which costs tens of MB for as long as a page holds it,
// ends with the page. A new wish warms again.
Item {
    id: warmup
    property bool wanted: false
    property int delay: 1500
    property int holdAfter: 5000
    // The page has loaded: engine and page process are up.
    readonly property bool warm: loader.item !== null && loader.item.contentHeight > 0
    // This wish has had its page.
    property bool done: false

    onWantedChanged: if (wanted) done = false

    // Drawn by nobody, but shown to the engine: a page it thinks hidden is
    // not laid out, and the face would not load.
    opacity: 0
    enabled: false
    width: 1
    height: 1
    Accessible.ignored: true

    Timer {
        interval: warmup.delay
        running: warmup.wanted && !warmup.done && !loader.active
        onTriggered: loader.active = true
    }
    Timer {
        interval: warmup.holdAfter
        running: loader.active && (warmup.warm || !warmup.wanted)
        onTriggered: {
            warmup.done = true;
            loader.active = false;
            release.restart();
        }
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
        active: false
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
