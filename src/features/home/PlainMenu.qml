import QtQuick
import QtQuick.Controls.Basic

// A menu as wide as its widest item: the basic style keeps every menu at
// 200 px, which cut long bank and paper names. Never wider than the window.
Menu {
    id: menu
    readonly property real widestItem: {
        let widest = 0;
        for (let i = 0; i < count; ++i) {
            const item = itemAt(i);
            if (item && item.visible)
                widest = Math.max(widest, item.implicitWidth);
        }
        return widest;
    }
    readonly property real windowWidth: parent && parent.Window.window ? parent.Window.window.width : Number.POSITIVE_INFINITY
    width: Math.min(Math.max(implicitWidth, widestItem + leftPadding + rightPadding), windowWidth - 16)
    margins: 8
}
