import QtQuick
import Vuzo

// The ink colour sheet: a wheel and a hex field for the colour, a slider for
// its intensity, a live preview, a reset and "完成". It edits the model live.
Item {
    id: sheet
    signal dismissed()

    width: 400
    implicitHeight: column.implicitHeight + 44

    InkSettingsController {
        id: controller
        model: AppModel
        onDismissRequested: sheet.dismissed()
    }
    Component.onCompleted: controller.appear()

    Column {
        id: column
        x: 22
        y: 22
        width: sheet.width - 44
        spacing: 18

        Item {
            width: parent.width
            height: 28
            Text {
                anchors.verticalCenter: parent.verticalCenter
                text: "透明模式文字颜色"
                font.pixelSize: 17
                font.weight: Font.DemiBold
                color: Theme.appTitle
            }
            Item {
                objectName: "inkCloseButton"
                anchors.right: parent.right
                width: 28
                height: 28
                Accessible.role: Accessible.Button
                Accessible.name: "关闭"
                Accessible.onPressAction: controller.done()
                SymbolIcon { anchors.centerIn: parent; width: 14; height: 14; name: "xmark"; color: Theme.appSecondary }
                MouseArea { anchors.fill: parent; cursorShape: Qt.PointingHandCursor; onClicked: controller.done() }
            }
        }

        Column {
            width: parent.width
            spacing: 10
            Text {
                text: "色相与饱和度"
                font.pixelSize: Theme.fontBody
                font.weight: Font.Medium
                color: Theme.appTitle
            }
            HSVColorWheel {
                objectName: "inkWheel"
                anchors.horizontalCenter: parent.horizontalCenter
                width: 190
                height: 190
                knobSize: 18
                hue: controller.hue
                saturation: controller.saturation
                brightness: controller.baseBrightness
                onPicked: (hue, saturation) => {
                    controller.hue = hue;
                    controller.saturation = saturation;
                    controller.applyHueAndSaturation();
                }
            }
        }

        Column {
            width: parent.width
            spacing: Theme.spacingM
            Item {
                width: parent.width
                height: intensityTitle.implicitHeight
                Text {
                    id: intensityTitle
                    text: "颜色透明度"
                    font.pixelSize: Theme.fontCaption
                    font.weight: Font.Medium
                    color: Theme.appTitle
                }
                Text {
                    objectName: "intensityPercent"
                    anchors.right: parent.right
                    text: controller.intensityPercentText
                    font.pixelSize: Theme.fontCaption
                    font.weight: Font.Medium
                    font.family: "DejaVu Sans Mono"
                    color: Theme.appSecondary
                }
            }
            InkIntensitySlider {
                objectName: "inkIntensitySlider"
                width: parent.width
                height: 24
                thumbDiameter: 16
                inkColor: controller.modelInkColor
                intensity: controller.intensity
                onMoved: (value) => {
                    controller.intensity = value;
                    controller.applyIntensity();
                }
            }
        }

        Column {
            width: parent.width
            spacing: 7
            Text {
                text: "十六进制色值"
                font.pixelSize: Theme.fontCaption
                font.weight: Font.Medium
                color: Theme.appTitle
            }
            Rectangle {
                width: parent.width
                height: 36
                radius: 7
                antialiasing: true
                color: Qt.rgba(0, 0, 0, 0.08)
                border.width: 1
                border.color: controller.invalidHex ? Theme.appRed : Theme.withOpacity(Theme.appSecondary, 0.24)

                TextInput {
                    id: field
                    objectName: "inkHexField"
                    anchors.fill: parent
                    anchors.leftMargin: 10
                    anchors.rightMargin: 10
                    verticalAlignment: TextInput.AlignVCenter
                    font.pixelSize: Theme.fontBody
                    font.family: "DejaVu Sans Mono"
                    color: Theme.appTitle
                    selectByMouse: true
                    clip: true
                    text: controller.draftHex
                    // Every edit goes through the sheet, which rewrites the text.
                    onTextEdited: controller.handleHexInput(text)

                    Text {
                        anchors.verticalCenter: parent.verticalCenter
                        visible: field.text.length === 0
                        text: "#RRGGBB"
                        font: field.font
                        color: Theme.withOpacity(Theme.appSecondary, 0.6)
                    }
                }
                Connections {
                    target: controller
                    function onStateChanged() {
                        if (field.text !== controller.draftHex)
                            field.text = controller.draftHex;
                    }
                }
            }
            Text {
                objectName: "inkHexError"
                visible: controller.invalidHex
                text: "请输入六位 RGB 色值，例如 #22A06B"
                font.pixelSize: 11
                color: Theme.appRed
            }
        }

        Rectangle {
            objectName: "inkPreview"
            width: parent.width
            height: previewRow.implicitHeight + 28
            radius: 11
            antialiasing: true
            color: "transparent"
            border.width: 1
            border.color: controller.previewOutlineColor

            Row {
                id: previewRow
                x: 14
                anchors.verticalCenter: parent.verticalCenter
                spacing: 14
                Rectangle {
                    objectName: "inkSwatch"
                    width: 52
                    height: 52
                    radius: 9
                    antialiasing: true
                    color: controller.swatchColor
                }
                Column {
                    anchors.verticalCenter: parent.verticalCenter
                    spacing: 7
                    Text {
                        text: "实时文字预览"
                        font.pixelSize: Theme.fontCallout
                        font.weight: Font.DemiBold
                        color: Theme.appTitle
                    }
                    Row {
                        spacing: 14
                        Repeater {
                            model: [{ symbol: "checkmark.circle", title: "正确" }, { symbol: "xmark.circle", title: "错选" }]
                            Row {
                                required property var modelData
                                spacing: Theme.spacingXS
                                SymbolIcon {
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: 13
                                    height: 13
                                    name: modelData.symbol
                                    color: Theme.appSecondary
                                }
                                Text {
                                    anchors.verticalCenter: parent.verticalCenter
                                    text: modelData.title
                                    font.pixelSize: Theme.fontCaption
                                    font.weight: Font.Medium
                                    color: Theme.appSecondary
                                }
                            }
                        }
                    }
                }
            }
        }

        Item {
            width: parent.width
            height: doneButton.height
            Text {
                objectName: "inkRestoreButton"
                anchors.verticalCenter: parent.verticalCenter
                text: "恢复默认"
                font.pixelSize: Theme.fontBody
                color: controller.restoreDefaultColor
                Accessible.role: Accessible.Button
                Accessible.name: text
                Accessible.onPressAction: controller.restoreDefault()
                MouseArea { anchors.fill: parent; cursorShape: Qt.PointingHandCursor; onClicked: controller.restoreDefault() }
            }
            Item {
                id: doneButton
                objectName: "inkDoneButton"
                anchors.right: parent.right
                width: doneLabel.implicitWidth + 44
                height: Math.max(42, doneLabel.implicitHeight)
                Accessible.role: Accessible.Button
                Accessible.name: "完成"
                Accessible.onPressAction: controller.done()
                Rectangle {
                    id: doneCapsule
                    anchors.fill: parent
                    radius: height / 2
                    antialiasing: true
                    color: "transparent"
                    border.width: 1
                    border.color: controller.liveDoneColor
                }
                Text {
                    id: doneLabel
                    anchors.centerIn: parent
                    text: "完成"
                    font.pixelSize: Theme.fontSubhead
                    font.weight: Font.DemiBold
                    color: controller.liveDoneColor
                }
                MouseArea {
                    anchors.fill: parent
                    hoverEnabled: true
                    cursorShape: Qt.PointingHandCursor
                    containmentMask: RoundedRectShape { width: doneCapsule.width; height: doneCapsule.height; radius: doneCapsule.radius }
                    onContainsMouseChanged: controller.hoveringDone = containsMouse
                    onClicked: controller.done()
                }
            }
        }
    }
}
