import QtQuick
import Vuzo

// One tab's list of the history screen: rows built lazily as they come into
// view, the empty state, and the footer (error, loading, more, end). The
// footer tells the tab state whether it is in view, from the list's position.
ListView {
    id: list
    property PracticeHistoryController controller
    property HistoryTabState tabState
    readonly property bool transparent: AppModel.studyTransparencyEnabled

    clip: true
    spacing: 10
    boundsBehavior: Flickable.StopAtBounds
    leftMargin: 28
    rightMargin: 28
    bottomMargin: 24
    cacheBuffer: 200

    readonly property bool footerVisible: footerItem !== null && footerItem.height > 0
                                          && footerItem.y < contentY + height
                                          && footerItem.y + footerItem.height > contentY
    Binding {
        target: list.tabState
        property: "footerInView"
        value: list.footerVisible
        when: list.tabState !== null
    }

    delegate: HistoryRecordRow {
        width: list.width - list.leftMargin - list.rightMargin
        controller: list.controller
        transparent: list.transparent
    }

    header: Item {
        width: list.width - list.leftMargin - list.rightMargin
        height: list.tabState && list.tabState.showsEmptyState ? 70 + 140 : 0
        EmptyStateView {
            objectName: "historyEmptyState"
            visible: parent.height > 0
            y: 70
            width: parent.width
            height: 140
            title: list.tabState ? list.tabState.emptyTitle : ""
            systemImage: "clock.arrow.circlepath"
        }
    }

    footer: Item {
        id: footer
        objectName: "historyFooter"
        readonly property int kind: list.tabState ? list.tabState.footer : HistoryTabState.None
        width: list.width - list.leftMargin - list.rightMargin
        height: kind === HistoryTabState.None ? 0 : (kind === HistoryTabState.Error ? errorColumn.height + 32 : 48)

        Column {
            id: errorColumn
            visible: footer.kind === HistoryTabState.Error
            anchors.centerIn: parent
            spacing: 10
            Text {
                objectName: "historyLoadError"
                anchors.horizontalCenter: parent.horizontalCenter
                width: Math.min(implicitWidth, footer.width)
                text: list.tabState ? list.tabState.errorText : ""
                textFormat: Text.PlainText
                wrapMode: Text.Wrap
                font.pixelSize: 12
                color: Theme.appTitle
            }
            ResultsLinkButton {
                objectName: "historyRetry"
                anchors.horizontalCenter: parent.horizontalCenter
                text: "重试"
                color: list.transparent ? Theme.appTitle : Theme.appPrimary
                enabled: list.controller && list.controller.retryEnabled
                onClicked: list.controller.retry(list.tabState.tab)
            }
        }
        Row {
            visible: footer.kind === HistoryTabState.Loading
            anchors.centerIn: parent
            spacing: 8
            ActivitySpinner {
                anchors.verticalCenter: parent.verticalCenter
                size: 16
                color: Theme.appTitle
            }
            Text {
                objectName: "historyLoading"
                text: "正在加载…"
                textFormat: Text.PlainText
                font.pixelSize: 12
                color: Theme.appTitle
            }
        }
        ResultsLinkButton {
            objectName: "historyLoadMore"
            visible: footer.kind === HistoryTabState.LoadMore
            anchors.centerIn: parent
            text: "加载更多"
            color: list.transparent ? Theme.appTitle : Theme.appPrimary
            enabled: list.controller && list.controller.loadMoreEnabled
            onClicked: list.controller.loadMore(list.tabState.tab)
        }
        Text {
            objectName: "historyEnd"
            visible: footer.kind === HistoryTabState.End
            anchors.centerIn: parent
            text: "已经到底了"
            textFormat: Text.PlainText
            font.pixelSize: 12
            color: Theme.appSecondary
        }
    }
}
