import QtQuick
import QtQuick.Controls.Basic
import Vuzo

// One row of the flattened practice menu tree. A top-level row is a card's
// header (it only opens and closes the card); every other row is a node with
// an optional chevron and the button that opens its practice set. Rows are
// addressed by their row in the list model, so a menu id that appears twice
// in a tree still opens exactly the row that was clicked.
Item {
    id: row
    required property int index
    required property int depth
    required property string name
    required property bool expanded
    required property bool hasChildren
    required property int count
    required property int userWorkCount
    required property int needVip
    property bool transparent: false

    readonly property bool topLevel: depth === 0
    // A top-level row after the first closes the card above it.
    readonly property real capAbove: topLevel && index > 0 ? 20 + 14 : 0

    // Names are never cut: a long one wraps and its row grows.
    height: topLevel ? capAbove + 20 + topRow.height + 8 + (expanded ? 1 : 0) : nodeRow.height + 1

    // The card above ends here: its bottom padding and the gap.
    CardSlice {
        visible: row.capAbove > 0
        width: row.width
        height: 20
        part: 2
        transparent: row.transparent
    }
    CardSlice {
        y: row.capAbove
        width: row.width
        height: row.height - row.capAbove
        part: row.topLevel ? 0 : 1
        transparent: row.transparent
    }

    // ---- a card's header row ----------------------------------------------
    Item {
        id: topRow
        objectName: "menuCardHeader"
        visible: row.topLevel
        x: 20
        y: row.capAbove + 20
        width: row.width - 40
        height: row.topLevel ? Math.max(32, topName.implicitHeight) : 0

        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 4
            height: 16
            radius: 2
            color: row.transparent ? Theme.transparentPrimary(false, 1, Theme.level) : Theme.appPrimary
        }
        Row {
            x: 10
            anchors.verticalCenter: parent.verticalCenter
            spacing: 6
            Text {
                id: topName
                objectName: "menuCardName"
                anchors.verticalCenter: parent.verticalCenter
                width: Math.min(implicitWidth, topRow.width - 10 - 32 - 30)
                text: row.name
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
            SymbolIcon {
                anchors.verticalCenter: parent.verticalCenter
                visible: row.needVip === 1
                width: 12
                height: 12
                name: "lock.fill"
                color: Theme.appPrimary
                Accessible.name: "会员内容"
            }
        }
        SymbolIcon {
            anchors.right: parent.right
            anchors.verticalCenter: parent.verticalCenter
            anchors.rightMargin: 9
            width: 14
            height: 14
            name: row.expanded ? "chevron.down" : "chevron.right"
            color: Theme.appTitle
        }
        MouseArea {
            id: topMouse
            anchors.fill: parent
            hoverEnabled: true
            cursorShape: Qt.PointingHandCursor
            onClicked: {
                row.ListView.view.animateChanges = false;
                AppModel.toggleMenuRow(row.index);
            }
        }
        ToolTip.visible: topMouse.containsMouse && row.topLevel
        ToolTip.delay: 700
        ToolTip.text: row.expanded ? "收起目录" : "展开目录"
        Accessible.role: Accessible.Button
        Accessible.name: row.name
    }
    Rectangle {
        visible: row.topLevel && row.expanded
        x: 20
        y: row.height - 1
        width: row.width - 40
        height: 1
        color: Qt.rgba(0, 0, 0, 0.08)
    }

    // ---- a node row ----------------------------------------------------------
    Item {
        id: nodeRow
        objectName: "menuNodeRow"
        visible: !row.topLevel
        x: 20 + row.depth * 18
        width: row.width - 20 - x
        // 44 for one line, as the chevron's frame; each further line of the
        // name adds its height.
        height: row.topLevel ? 0 : 44 + nodeName.implicitHeight * (1 - 1 / Math.max(1, nodeName.lineCount))

        Item {
            id: chevron
            anchors.verticalCenter: parent.verticalCenter
            width: 32
            height: 44
            SymbolIcon {
                anchors.centerIn: parent
                visible: row.hasChildren
                width: 10
                height: 10
                name: "chevron.right"
                color: Theme.appSecondary
                rotation: row.expanded ? 90 : 0
                Behavior on rotation { NumberAnimation { duration: 160; easing.type: Easing.InOutQuad } }
            }
            MouseArea {
                id: chevronMouse
                objectName: "menuChevron"
                anchors.fill: parent
                enabled: row.hasChildren
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: {
                    row.ListView.view.animateChanges = true;
                    AppModel.toggleMenuRow(row.index);
                }
            }
            ToolTip.visible: chevronMouse.containsMouse && row.hasChildren
            ToolTip.delay: 700
            ToolTip.text: row.expanded ? "收起目录" : "展开目录"
        }
        Item {
            id: practice
            objectName: "menuPracticeRow"
            x: 32
            width: parent.width - 32
            height: parent.height
            Row {
                id: nameContent
                anchors.verticalCenter: parent.verticalCenter
                spacing: 5
                Text {
                    id: nodeName
                    objectName: "menuNodeName"
                    anchors.verticalCenter: parent.verticalCenter
                    width: Math.min(implicitWidth, practice.width - 40 - 12 - countText.implicitWidth - 20)
                    text: row.name
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    font.pixelSize: 17
                    font.weight: Font.Medium
                    color: Theme.appTitle
                }
                SymbolIcon {
                    anchors.verticalCenter: parent.verticalCenter
                    visible: row.needVip === 1
                    width: 12
                    height: 12
                    name: "lock.fill"
                    color: Theme.appPrimary
                    Accessible.name: "会员内容"
                }
            }
            Text {
                id: countText
                anchors.verticalCenter: parent.verticalCenter
                anchors.right: parent.right
                anchors.rightMargin: 40
                text: HomeText.menuCountText(row.userWorkCount, row.count)
                font.pixelSize: 14
                color: Theme.appSecondary
            }
            MouseArea {
                id: practiceMouse
                anchors.fill: parent
                hoverEnabled: true
                cursorShape: Qt.PointingHandCursor
                onClicked: AppModel.startOpenMenuRow(row.index)
                // A set may open from here: the content engine gets ready.
                onContainsMouseChanged: if (containsMouse) ContentWarmupPolicy.intentShown()
                onPositionChanged: ContentWarmupPolicy.intentShown()
            }
            Loader {
                active: practiceMouse.containsMouse && !row.topLevel
                sourceComponent: PlainToolTip {
                    visible: true
                    text: HomeText.menuRowToolTip(row.name)
                }
            }
            Accessible.role: Accessible.Button
            Accessible.name: HomeText.menuRowToolTip(row.name)
        }
    }
    Rectangle {
        visible: !row.topLevel
        x: 20 + (row.depth + 1) * 18
        y: nodeRow.height
        width: row.width - 20 - x
        height: 1
        color: Qt.rgba(0, 0, 0, 0.06)
    }
}
