import QtQuick
import Vuzo

// Holds one screen's view while it is wanted, built with the model (and the
// history store for the history screen). A screen without a view yet gets
// the placeholder.
Loader {
    id: slot
    property string viewName
    property QtObject appModel
    property QtObject store
    property bool wanted: true

    function reload() {
        if (!wanted || viewName === "") {
            if (status !== Loader.Null)
                source = "";
            return;
        }
        const properties = { model: appModel };
        if (store)
            properties.store = store;
        if (!ScreenCatalog.hasView(viewName))
            properties.screenName = viewName;
        setSource(ScreenCatalog.viewUrl(viewName), properties);
    }

    onWantedChanged: reload()
    onViewNameChanged: reload()
    Component.onCompleted: reload()
}
