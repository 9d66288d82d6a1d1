import QtQuick
import Vuzo

// Keeps a Flickable's vertical position in the screen's ScrollOffsetCache
// under `key`, and brings it back when the pane is built again.
ScrollOffsetObserver {
    id: memory
    required property Flickable flickable
    viewportY: flickable.contentY
    viewportHeight: flickable.height
    contentHeight: flickable.contentHeight
    onScrollRequested: (y) => memory.flickable.contentY = y

    // A drag, a flick or the wheel: the user's own scrolling.
    property Connections userMoves: Connections {
        target: memory.flickable
        function onMovementStarted() { memory.userScrolled(); }
    }
}
