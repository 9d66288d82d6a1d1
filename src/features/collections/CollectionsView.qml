import QtQuick
import Vuzo

// The collected questions of the selected bank as a tree of folders; any
// folder opens its own questions in the analysis screen.
Item {
    id: view
    objectName: "collectionsView"

    CollectionsController {
        id: collections
        objectName: "collectionsController"
        model: AppModel
    }

    readonly property bool transparent: AppModel.studyTransparencyEnabled

    Rectangle {
        anchors.fill: parent
        color: view.transparent ? "transparent" : Theme.appBackground
    }

    Rectangle {
        id: header
        width: parent.width
        height: 58
        color: "transparent"
        ResultsLinkButton {
            objectName: "collectionsBack"
            anchors.left: parent.left
            anchors.leftMargin: 20
            anchors.verticalCenter: parent.verticalCenter
            text: "首页"
            iconName: "chevron.left"
            color: Theme.appTitle
            onClicked: collections.back()
        }
        Text {
            objectName: "collectionsTitle"
            anchors.centerIn: parent
            width: Math.min(implicitWidth, parent.width - 240)
            elide: Text.ElideRight
            text: collections.title
            Accessible.role: Accessible.StaticText
            Accessible.name: text
            textFormat: Text.PlainText
            font.pixelSize: 16
            font.weight: Font.DemiBold
            color: Theme.appTitle
        }
        ResultsLinkButton {
            objectName: "collectionsRefresh"
            anchors.right: parent.right
            anchors.rightMargin: 20
            anchors.verticalCenter: parent.verticalCenter
            text: "刷新"
            iconName: "arrow.clockwise"
            color: Theme.appTitle
            enabled: collections.actionsEnabled
            onClicked: collections.refresh()
        }
    }
    Rectangle {
        id: divider
        objectName: "collectionsDivider"
        anchors.top: header.bottom
        width: parent.width
        height: 1
        color: Theme.separatorColor
        opacity: 0.18
    }

    Column {
        objectName: "collectionsEmptyState"
        visible: collections.showsEmptyState
        anchors.top: divider.bottom
        anchors.topMargin: 30
        x: 30
        width: parent.width - 60
        spacing: 12
        SymbolIcon {
            anchors.horizontalCenter: parent.horizontalCenter
            width: 28
            height: 28
            name: "star"
            color: Theme.appTitle
        }
        Text {
            anchors.horizontalCenter: parent.horizontalCenter
            text: "暂无收藏题目"
            textFormat: Text.PlainText
            font.pixelSize: Theme.fontBody
            color: Theme.appTitle
        }
        Text {
            width: parent.width
            horizontalAlignment: Text.AlignHCenter
            wrapMode: Text.Wrap
            text: "在做题或解析页面点击“收藏”，即可在这里查看。"
            textFormat: Text.PlainText
            font.pixelSize: 13
            color: Theme.appTitle
        }
    }

    // One card per top-level folder; sub-folders indent inside their card.
    ListView {
        id: folders
        objectName: "collectionFolders"
        visible: !collections.showsEmptyState
        anchors.top: divider.bottom
        anchors.bottom: parent.bottom
        width: parent.width
        clip: true
        topMargin: 28
        bottomMargin: 28
        leftMargin: 28
        rightMargin: 28
        boundsBehavior: Flickable.StopAtBounds
        model: collections.folders
        delegate: Item {
            id: entry
            required property string menuId
            required property string name
            required property int count
            required property int depth
            required property int index
            required property bool opensCard
            required property bool closesCard
            // Cards are 14 apart; inside a card rows are 10 apart, 20 from its edges.
            readonly property real gapAbove: opensCard && index > 0 ? 14 : 0
            readonly property real padAbove: opensCard ? 20 : 10
            readonly property real padBelow: closesCard ? 20 : 0
            width: folders.width - folders.leftMargin - folders.rightMargin
            height: gapAbove + padAbove + rowButton.height + padBelow

            // This row's slice of its card: rounded where the card begins and ends.
            CardSlice {
                y: entry.gapAbove
                width: parent.width
                height: parent.height - y
                part: entry.opensCard ? (entry.closesCard ? 3 : 0) : (entry.closesCard ? 2 : 1)
                transparent: view.transparent
            }

            Item {
                id: rowButton
                objectName: "folder_" + entry.menuId
                x: 20 + entry.depth * 18
                y: entry.gapAbove + entry.padAbove
                width: parent.width - x - 20
                height: Math.max(38, folderName.implicitHeight)
                enabled: collections.actionsEnabled
                opacity: enabled ? 1 : 0.5
                Accessible.role: Accessible.Button
                Accessible.name: entry.name + " " + entry.count
                Accessible.onPressAction: collections.open(entry.index)
                Text {
                    id: folderName
                    anchors.left: parent.left
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width - countRow.width - 8
                    text: entry.name
                    textFormat: Text.PlainText
                    wrapMode: Text.Wrap
                    maximumLineCount: 2
                    elide: Text.ElideRight
                    font.pixelSize: 15
                    font.weight: Font.Medium
                    color: Theme.appTitle
                }
                Row {
                    id: countRow
                    anchors.right: parent.right
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 6
                    Text {
                        objectName: "folderCount"
                        text: String(entry.count)
                        textFormat: Text.PlainText
                        font.pixelSize: 15
                        font.weight: Font.Medium
                        color: Theme.appTitle
                    }
                    SymbolIcon {
                        anchors.verticalCenter: parent.verticalCenter
                        width: 14
                        height: 14
                        name: "chevron.right"
                        color: Theme.appTitle
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    cursorShape: Qt.PointingHandCursor
                    onClicked: collections.open(entry.index)
                }
            }
        }
    }
}
