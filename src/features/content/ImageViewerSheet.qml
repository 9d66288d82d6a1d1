import QtQuick
import QtQuick.Window
import Vuzo

// One clicked image in the modal sheet over the window's content: a close
// button and the image fitted in, with a spinner while it loads and an empty
// state when it cannot be shown. While it is up, keys go to it alone (Escape
// closes it; answering and arrow keys reach nothing behind it) and the
// backdrop takes every click.
//
// The sheet is 640 x 480 points at the sheet scale of the window zoom, each
// side cut to the screen's visible frame and to the window. It sits inside
// the zoomed content (zoom: that content's scale), so it is sized in the
// content's units and its inside is drawn at the sheet scale.
FocusScope {
    id: sheet
    objectName: "imageViewerSheet"
    property string source
    property real zoom: 1
    signal closed()

    anchors.fill: parent
    z: 1000
    focus: true

    readonly property int addressKind: ContentViewRules.imageAddress(source)
    readonly property real drawnScale: zoom > 0 ? zoom : 1
    readonly property real sheetScale: ContentViewRules.sheetScale(zoom)
    readonly property size screenSize: ContentViewRules.imagePreviewSize(zoom, sheet)
    readonly property real cardWidth: Math.max(0, Math.min(screenSize.width / drawnScale, width - 40))
    readonly property real cardHeight: Math.max(0, Math.min(screenSize.height / drawnScale, height - 40))

    Keys.onPressed: (event) => {
        if (event.key === Qt.Key_Escape)
            sheet.closed();
        event.accepted = true;
    }
    Component.onCompleted: forceActiveFocus()

    AppModal {
        id: modal
        objectName: "imageViewerModal"
        isPresented: true
        transparent: false
        dimsBackground: true
        cornerRadius: 14
        onDismissed: sheet.closed()
        card: Rectangle {
            objectName: "imageViewerCard"
            width: sheet.cardWidth
            height: sheet.cardHeight
            radius: 14
            color: Theme.appBackground
            clip: true

            // Laid out at the sheet's own size and drawn at its scale.
            Item {
                id: inside
                width: parent.width * sheet.drawnScale / sheet.sheetScale
                height: parent.height * sheet.drawnScale / sheet.sheetScale
                scale: sheet.sheetScale / sheet.drawnScale
                transformOrigin: Item.TopLeft

                Column {
                    anchors.fill: parent
                    anchors.margins: 20
                    spacing: 16

                    Item {
                        width: parent.width
                        height: closeButton.implicitHeight
                        PrimaryButton {
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
                        height: Math.max(0, parent.height - closeButton.implicitHeight - 16)

                        Image {
                            id: image
                            objectName: "imageViewerImage"
                            anchors.fill: parent
                            fillMode: Image.PreserveAspectFit
                            asynchronous: true
                            cache: true
                            source: sheet.addressKind === ContentViewRules.Loadable ? sheet.source : ""
                            sourceSize: ContentViewRules.decodeSize(
                                            Qt.size(imageArea.width * inside.scale * sheet.drawnScale,
                                                    imageArea.height * inside.scale * sheet.drawnScale),
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
    }
}
