import QtQuick
import Vuzo

// Holds one screen's view for as long as the navigation table says: loaded
// while `wanted`, shown while its screen is current. A view's text-editing
// pause is forwarded, and ended should the view go away in the middle of it.
Loader {
    id: slot
    required property int screen
    property bool wanted: true
    // Changing it builds the view afresh (the history, per exam bank).
    property string instanceKey
    property bool editing: false

    signal beginEditing()
    signal endEditing()

    function reload() {
        if (!wanted) {
            if (status !== Loader.Null)
                source = "";
            return;
        }
        const properties = {};
        if (!ScreenCatalog.hasView(screen))
            properties.screenName = ScreenCatalog.title(screen);
        setSource(ScreenCatalog.viewUrl(screen), properties);
    }

    onWantedChanged: reload()
    onInstanceKeyChanged: if (wanted) reload()
    Component.onCompleted: reload()
    onItemChanged: {
        if (!item && editing) {
            editing = false;
            slot.endEditing();
        }
    }

    Connections {
        target: slot.item
        ignoreUnknownSignals: true
        function onBeginEditing() { slot.editing = true; slot.beginEditing(); }
        function onEndEditing() { slot.editing = false; slot.endEditing(); }
    }
}
