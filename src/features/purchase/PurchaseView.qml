import QtQuick
import QtQuick.Layouts
import Qt5Compat.GraphicalEffects
import Vuzo

// The membership purchase page: a header with two ways home, the shop page
// below it, and after a reported payment a success card that returns home
// after 3 seconds. The page polls the membership while it shows.
Item {
    id: view
    property alias shopOrigin: shop.shopOrigin
    readonly property PurchaseScreenController controller: screen
    readonly property PurchaseWebBridge bridge: shop.bridge
    readonly property Item webView: shop.webView

    PurchaseScreenController {
        id: screen
        objectName: "purchaseController"
        model: AppModel
    }

    Component.onCompleted: screen.start()
    Component.onDestruction: screen.stop()

    Rectangle {
        anchors.fill: parent
        color: Theme.appBackground
    }

    ColumnLayout {
        anchors.fill: parent
        spacing: 0

        // ---- header bar ----------------------------------------------------
        RowLayout {
            Layout.fillWidth: true
            Layout.preferredHeight: 58
            Layout.leftMargin: 20
            Layout.rightMargin: 20
            spacing: Theme.spacingM

            Item {
                objectName: "backButton"
                implicitWidth: backRow.implicitWidth
                implicitHeight: backRow.implicitHeight
                Accessible.role: Accessible.Button
                Accessible.name: "返回首页"
                Accessible.onPressAction: screen.returnHome()
                Row {
                    id: backRow
                    spacing: Theme.spacingXS
                    // A drawn chevron pointing left.
                    Item {
                        width: 10
                        height: 16
                        anchors.verticalCenter: parent.verticalCenter
                        Rectangle {
                            x: 2; y: 7.25
                            width: 8; height: 1.6
                            radius: 0.8
                            antialiasing: true
                            color: Theme.appTitle
                            transformOrigin: Item.Left
                            rotation: -45
                        }
                        Rectangle {
                            x: 2; y: 7.25
                            width: 8; height: 1.6
                            radius: 0.8
                            antialiasing: true
                            color: Theme.appTitle
                            transformOrigin: Item.Left
                            rotation: 45
                        }
                    }
                    Text {
                        text: "返回首页"
                        color: Theme.appTitle
                        font.pixelSize: Theme.fontBody
                    }
                }
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -6
                    cursorShape: Qt.PointingHandCursor
                    onClicked: screen.returnHome()
                }
            }

            Item { Layout.fillWidth: true }

            Text {
                text: "会员与课程购买"
                color: Theme.appTitle
                font.pixelSize: Theme.fontHeadline
                font.weight: Font.DemiBold
            }

            Item { Layout.fillWidth: true }

            Text {
                id: doneButton
                objectName: "doneButton"
                text: "完成并返回首页"
                color: Theme.appTitle
                font.pixelSize: Theme.fontBody
                Accessible.role: Accessible.Button
                Accessible.name: text
                Accessible.onPressAction: screen.returnHome()
                MouseArea {
                    anchors.fill: parent
                    anchors.margins: -6
                    cursorShape: Qt.PointingHandCursor
                    onClicked: screen.returnHome()
                }
            }
        }

        // ---- the shop ------------------------------------------------------
        PurchaseWebView {
            id: shop
            objectName: "purchaseWebView"
            Layout.fillWidth: true
            Layout.fillHeight: true
            onPaymentSucceeded: screen.paymentSucceeded()
        }
    }

    // ---- success card, over everything -------------------------------------
    Item {
        id: successOverlay
        objectName: "successOverlay"
        anchors.fill: parent
        visible: screen.showSuccessToast
        // Fades in over 0.2 s; "立即返回" removes it at once.
        opacity: screen.showSuccessToast ? 1 : 0
        Behavior on opacity {
            enabled: screen.showSuccessToast
            NumberAnimation { duration: 200; easing.type: Easing.OutQuad }
        }

        Rectangle {
            anchors.fill: parent
            color: Qt.rgba(0, 0, 0, 0.42)
        }
        // The dimmed page takes no clicks.
        MouseArea {
            anchors.fill: parent
            hoverEnabled: true
            acceptedButtons: Qt.AllButtons
            onWheel: (wheel) => wheel.accepted = true
        }

        DropShadow {
            anchors.fill: card
            source: card
            horizontalOffset: 0
            verticalOffset: 12
            radius: 28
            samples: 57
            color: Qt.rgba(0, 0, 0, 0.17)
        }
        Rectangle {
            id: card
            objectName: "successCard"
            anchors.centerIn: parent
            width: 380
            height: cardColumn.implicitHeight + 60
            radius: 22
            antialiasing: true
            color: "white"

            Column {
                id: cardColumn
                x: 30
                y: 30
                width: 320

                SymbolIcon {
                    anchors.horizontalCenter: parent.horizontalCenter
                    width: 54
                    height: 54
                    name: "checkmark.circle.fill"
                    color: Qt.rgba(0.12, 0.67, 0.40, 1)
                }
                Item { width: 1; height: 16 }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "支付成功"
                    color: Theme.appTitle
                    font.pixelSize: 23
                    font.weight: Font.Bold
                }
                Item { width: 1; height: 7 }
                Text {
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: "会员权益已开通"
                    color: Theme.appSecondary
                    font.pixelSize: Theme.fontCallout
                }
                Item { width: 1; height: 18 }
                Text {
                    objectName: "countdownText"
                    anchors.horizontalCenter: parent.horizontalCenter
                    text: screen.countdownText
                    color: Theme.appSecondary
                    font.pixelSize: Theme.fontBody
                }
                Item { width: 1; height: 22 }
                Item {
                    id: returnButton
                    objectName: "returnNowButton"
                    width: 320
                    height: 42
                    Accessible.role: Accessible.Button
                    Accessible.name: "立即返回"
                    Accessible.onPressAction: screen.returnNow()
                    Rectangle {
                        anchors.fill: parent
                        radius: Theme.radiusS
                        antialiasing: true
                        color: returnMouse.pressed ? Qt.rgba(0.15, 0.32, 0.78, 1) : Qt.rgba(0.19, 0.40, 0.94, 1)
                    }
                    Text {
                        anchors.centerIn: parent
                        text: "立即返回"
                        color: "white"
                        font.pixelSize: Theme.fontSubhead
                        font.weight: Font.DemiBold
                    }
                    MouseArea {
                        id: returnMouse
                        anchors.fill: parent
                        cursorShape: Qt.PointingHandCursor
                        onClicked: screen.returnNow()
                    }
                }
            }
        }
    }
}
