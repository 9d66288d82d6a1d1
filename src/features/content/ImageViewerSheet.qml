import QtQuick
import QtQuick.Controls
import QtQuick.Window
import Vuzo

// One clicked image in an in-window sheet over its host: a close button and
// the image fitted into 640 x 480 (less when the window is smaller), with a
// spinner while it loads and an empty state when it cannot be shown.
Item {
    id: sheet
    property string source
    signal closed()

    anchors.fill: parent
    z: 1000

    readonly property int addressKind: ContentViewRules.imageAddress(source)
    readonly property size previewSize: ContentViewRules.previewSize(Qt.size(width - 40, height - 40))

    MouseArea {
        anchors.fill: parent
        acceptedButtons: Qt.AllButtons
        onClicked: sheet.closed()
        onWheel: (wheel) => wheel.accepted = true
        Rectangle {
            anchors.fill: parent
            color: "black"
            opacity: 0.18
        }
    }

    Rectangle {
        id: card
        objectName: "imageViewerCard"
        anchors.centerIn: parent
        width: sheet.previewSize.width
        height: sheet.previewSize.height
        radius: 14
        color: Theme.appBackground

        MouseArea {
            anchors.fill: parent
            acceptedButtons: Qt.AllButtons
        }

        Column {
            anchors.fill: parent
            anchors.margins: 20
            spacing: 16

            Item {
                width: parent.width
                height: closeButton.implicitHeight
                Button {
                    id: closeButton
                    objectName: "imageViewerClose"
                    anchors.right: parent.right
                    text: "关闭"
                    onClicked: sheet.closed()
                }
            }

            Item {
                id: imageArea
                width: parent.width
                height: parent.height - closeButton.implicitHeight - 16

                Image {
                    id: image
                    objectName: "imageViewerImage"
                    anchors.fill: parent
                    fillMode: Image.PreserveAspectFit
                    asynchronous: true
                    cache: true
                    source: sheet.addressKind === ContentViewRules.Loadable ? sheet.source : ""
                    sourceSize: ContentViewRules.decodeSize(Qt.size(imageArea.width, imageArea.height),
                                                            Screen.devicePixelRatio)
                    visible: status === Image.Ready
                }

                ActivitySpinner {
                    anchors.centerIn: parent
                    visible: sheet.addressKind === ContentViewRules.Loadable
                             && (image.status === Image.Loading || image.status === Image.Null)
                }

                EmptyStateView {
                    objectName: "imageViewerEmpty"
                    anchors.fill: parent
                    visible: sheet.addressKind !== ContentViewRules.Loadable || image.status === Image.Error
                    title: sheet.addressKind === ContentViewRules.Invalid ? "图片地址无效" : "图片加载失败"
                    systemImage: "photo"
                }
            }
        }
    }
}
