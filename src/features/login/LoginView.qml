import QtQuick
import QtQuick.Controls.Basic
import Vuzo

// The phone and SMS-code login screen: the brand pane on the left, the form
// on the right. The form's rules live in LoginController; this view binds
// to it and forwards presses, text and focus.
Item {
    id: view

    // Keyboard editing, for the window's hover auto-hide.
    signal beginEditing()
    signal endEditing()

    readonly property LoginController controller: form

    LoginController {
        id: form
        objectName: "loginController"
        model: AppModel
        onBeginEditing: view.beginEditing()
        onEndEditing: view.endEditing()
        onFocusedFieldChanged: {
            if (form.codeFieldFocused && !codeField.activeFocus)
                codeField.forceActiveFocus();
        }
    }

    Component.onCompleted: form.appeared()

    // Reads both fields after the focus has settled, so that moving from one
    // field to the other is one change, not a leave and an enter.
    function reportFocus() {
        form.reportFocus(phoneField.activeFocus, codeField.activeFocus);
    }

    // A single-line field without a frame of its own, kept equal to the
    // controller's filtered value: text it refuses is taken back at once.
    component FilteredField: TextField {
        id: field
        property string value
        signal edited(string text)

        padding: 0
        leftPadding: 0
        rightPadding: 0
        background: Item {}
        font.pixelSize: Theme.fontHeadline
        color: Theme.appTitle
        placeholderTextColor: Qt.rgba(0.45, 0.48, 0.56, 0.6)
        selectByMouse: true
        verticalAlignment: TextInput.AlignVCenter
        inputMethodHints: Qt.ImhDigitsOnly

        onValueChanged: {
            if (text !== value)
                text = value;
        }
        onTextChanged: {
            if (text === value)
                return;
            const typed = text;
            const caret = cursorPosition;
            edited(typed);
            if (text !== value) {
                text = value;
                cursorPosition = Math.max(0, Math.min(value.length, caret - (typed.length - value.length)));
            }
        }
        onActiveFocusChanged: Qt.callLater(view.reportFocus)
        Component.onCompleted: text = value
    }

    // The labelled frame around a field's content.
    component LoginField: Column {
        id: labelled
        property string title
        default property alias content: box.data
        spacing: Theme.spacingM

        Text {
            text: labelled.title
            font.pixelSize: Theme.fontBody
            font.weight: Font.Medium
            color: Theme.appSecondary
        }
        Rectangle {
            id: box
            width: labelled.width
            height: 48
            radius: 10
            antialiasing: true
            color: Theme.appBackground
            border.width: 1
            border.color: Qt.rgba(0, 0, 0, 0.06)
        }
    }

    // A press-only text link in the accent colour.
    component TextLink: Text {
        id: link
        signal activated()
        color: Theme.appPrimary
        font.pixelSize: Theme.fontCaption
        Accessible.role: Accessible.Link
        Accessible.name: text
        Accessible.onPressAction: link.activated()
        MouseArea {
            anchors.fill: parent
            cursorShape: Qt.PointingHandCursor
            onClicked: link.activated()
        }
    }

    Row {
        anchors.fill: parent

        // ---- brand pane ----------------------------------------------------
        Item {
            id: brandPanel
            objectName: "brandPanel"
            width: parent.width / 2
            height: parent.height

            // The brand gradient, from the top-left corner to the bottom-right
            // one, its lines of one colour square to that diagonal: a vertical
            // gradient as long as the diagonal, turned onto it, and cut to the
            // pane. The same rectangles draw it as every other rounded one,
            // with no path renderer to load and no gradient shader to build.
            Item {
                anchors.fill: parent
                clip: true

                Rectangle {
                    id: brandGradient
                    readonly property real diagonal: Math.sqrt(brandPanel.width * brandPanel.width
                                                               + brandPanel.height * brandPanel.height)
                    // Beyond the pane on every side, so that no softened edge shows.
                    readonly property real margin: 2
                    width: diagonal > 0 ? 2 * brandPanel.width * brandPanel.height / diagonal + 2 * margin : 0
                    height: diagonal + 2 * margin
                    x: (brandPanel.width - width) / 2
                    y: (brandPanel.height - height) / 2
                    rotation: -Math.atan2(brandPanel.width, brandPanel.height) * 180 / Math.PI
                    antialiasing: true
                    gradient: Gradient {
                        GradientStop {
                            position: brandGradient.height > 0 ? brandGradient.margin / brandGradient.height : 0
                            color: Qt.rgba(0.06, 0.43, 0.98, 1)
                        }
                        GradientStop {
                            position: brandGradient.height > 0 ? 1 - brandGradient.margin / brandGradient.height : 1
                            color: Qt.rgba(0.30, 0.32, 0.95, 1)
                        }
                    }
                }
            }

            // A 320-wide frame as tall as the pane: the disc is as large as fits.
            Rectangle {
                readonly property real diameter: Math.min(320, brandPanel.height)
                width: diameter
                height: diameter
                radius: diameter / 2
                antialiasing: true
                color: Qt.rgba(1, 1, 1, 0.08)
                x: (brandPanel.width - width) / 2 - 160
                y: (brandPanel.height - height) / 2 - 230
            }

            Column {
                id: brandColumn
                x: 54
                width: Math.max(0, brandPanel.width - 108)
                anchors.verticalCenter: parent.verticalCenter
                spacing: 22

                // The logo tile: the program icon on a white plate.
                Item {
                    objectName: "brandLogo"
                    width: 82
                    height: 82

                    // The plate's shadow (black at 14 %, blur 12, 6 down),
                    // drawn at build time; it spreads 12 beyond the plate.
                    BorderImage {
                        x: -12
                        y: -12 + 6
                        width: parent.width + 24
                        height: parent.height + 24
                        border { left: 44; top: 44; right: 44; bottom: 44 }
                        source: "qrc:/Vuzo/images/logoTileShadow.png"
                    }
                    // The plate is drawn over a copy of itself, which gives
                    // its translucent outline the brighter edge it has
                    // always shown.
                    Rectangle {
                        anchors.fill: parent
                        radius: plate.radius
                        antialiasing: true
                        color: plate.color
                        border.width: plate.border.width
                        border.color: plate.border.color
                    }
                    Rectangle {
                        id: plate
                        anchors.fill: parent
                        radius: 20
                        antialiasing: true
                        color: "white"
                        border.width: 1
                        border.color: Qt.rgba(1, 1, 1, 0.72)
                    }
                    Item {
                        id: logoFrame
                        anchors.centerIn: parent
                        width: 64
                        height: 64
                        visible: form.appLogoUrl.toString() !== ""
                        Image {
                            anchors.fill: parent
                            source: form.appLogoUrl
                            fillMode: Image.PreserveAspectFit
                            sourceSize.width: 64 * Screen.devicePixelRatio
                            sourceSize.height: 64 * Screen.devicePixelRatio
                            smooth: true
                            mipmap: true
                        }
                        // The plate's white over the icon's corners: the icon
                        // shows through a rounded square of radius L, with no
                        // layer and mask (the border's inner radius is the
                        // outer one less its width).
                        Rectangle {
                            anchors.fill: parent
                            anchors.margins: -4
                            radius: Theme.radiusL + 4
                            antialiasing: true
                            color: "transparent"
                            border.width: 4
                            border.color: plate.color
                        }
                    }
                    SymbolIcon {
                        anchors.centerIn: parent
                        width: 42
                        height: 42
                        visible: !logoFrame.visible
                        name: "graduationcap.fill"
                        color: Theme.appPrimary
                    }
                }

                Text {
                    text: "vuzo"
                    color: "white"
                    font.pixelSize: 34
                    font.weight: Font.Bold
                }

                Text {
                    width: brandColumn.width
                    text: "刷题 · 报告 · 解析\n一套完整的备考闭环"
                    color: Qt.rgba(1, 1, 1, 0.82)
                    font.pixelSize: Theme.fontTitle
                    font.weight: Font.Medium
                    lineHeightMode: Text.FixedHeight
                    lineHeight: fontMetrics.height + 8
                    wrapMode: Text.Wrap
                    FontMetrics {
                        id: fontMetrics
                        font.pixelSize: Theme.fontTitle
                        font.weight: Font.Medium
                    }
                }
            }
        }

        // ---- form pane -----------------------------------------------------
        Rectangle {
            id: formPane
            objectName: "formPane"
            width: parent.width - brandPanel.width
            height: parent.height
            color: "white"

            // The form sits centred; a window too low for it scrolls it
            // instead of cutting off its top and bottom.
            Flickable {
                id: formScroll
                anchors.fill: parent
                contentWidth: width
                contentHeight: Math.max(height, formColumn.height + 48)
                interactive: contentHeight > height
                boundsBehavior: Flickable.StopAtBounds
                clip: true

                Column {
                    id: formColumn
                    // 56 on each side, less in a narrow window so that the fields
                    // keep a usable width.
                    readonly property real sidePadding: Math.min(56, Math.max(16, (formPane.width - 200) / 2))
                    width: Math.max(0, Math.min(390, formPane.width - 2 * sidePadding))
                    x: (formScroll.width - width) / 2
                    y: (formScroll.contentHeight - height) / 2
                    spacing: 24

                    Column {
                        width: formColumn.width
                        spacing: 7
                        Text {
                            width: parent.width
                            text: "手机号登录"
                            color: Theme.appTitle
                            font.pixelSize: 28
                            font.weight: Font.DemiBold
                            wrapMode: Text.Wrap
                        }
                        Text {
                            width: parent.width
                            text: "登录后同步做题记录和练习报告"
                            color: Theme.appSecondary
                            font.pixelSize: Theme.fontBody
                            wrapMode: Text.Wrap
                        }
                    }

                    Column {
                        width: formColumn.width
                        spacing: 18

                        LoginField {
                            width: parent.width
                            title: "手机号"
                            FilteredField {
                                id: phoneField
                                objectName: "phoneField"
                                anchors.fill: parent
                                anchors.leftMargin: Theme.spacingXL
                                anchors.rightMargin: Theme.spacingXL
                                placeholderText: "请输入手机号"
                                Accessible.name: "手机号"
                                value: form.phoneNumber
                                onEdited: (text) => form.phoneNumber = text
                            }
                        }

                        LoginField {
                            width: parent.width
                            title: "验证码"
                            Item {
                                anchors.fill: parent
                                anchors.leftMargin: Theme.spacingXL
                                anchors.rightMargin: Theme.spacingXL

                                FilteredField {
                                    id: codeField
                                    objectName: "codeField"
                                    anchors.left: parent.left
                                    anchors.right: divider.left
                                    anchors.rightMargin: Theme.spacingL
                                    anchors.verticalCenter: parent.verticalCenter
                                    height: parent.height
                                    placeholderText: "请输入验证码"
                                    Accessible.name: "验证码"
                                    value: form.verifyCode
                                    onEdited: (text) => form.verifyCode = text
                                }
                                Rectangle {
                                    id: divider
                                    anchors.right: codeButton.left
                                    anchors.rightMargin: Theme.spacingL
                                    anchors.verticalCenter: parent.verticalCenter
                                    width: 1
                                    height: 20
                                    color: Qt.rgba(0, 0, 0, 0.1)
                                }
                                Text {
                                    id: codeButton
                                    objectName: "codeButton"
                                    anchors.right: parent.right
                                    anchors.verticalCenter: parent.verticalCenter
                                    text: form.codeButtonText
                                    enabled: form.codeButtonEnabled
                                    color: form.codeButtonEnabled ? Theme.appPrimary : Theme.appSecondary
                                    font.pixelSize: Theme.fontBody
                                    font.weight: Font.Medium
                                    Accessible.role: Accessible.Button
                                    Accessible.name: text
                                    Accessible.onPressAction: if (enabled) form.requestCode()
                                    MouseArea {
                                        anchors.fill: parent
                                        anchors.margins: -6
                                        enabled: codeButton.enabled
                                        cursorShape: Qt.PointingHandCursor
                                        onClicked: form.requestCode()
                                    }
                                }
                            }
                        }
                    }

                    // The agreement row: the tick and the two page links, on
                    // further lines only when the window is too narrow for one.
                    Flow {
                        objectName: "agreementRow"
                        width: formColumn.width
                        spacing: Theme.spacingS

                        Item {
                            id: tick
                            objectName: "agreementTick"
                            width: 13
                            height: 16
                            Accessible.role: Accessible.CheckBox
                            Accessible.checkable: true
                            Accessible.checked: form.agreeToTerms
                            Accessible.name: "已阅读并同意"
                            Accessible.onToggleAction: form.toggleAgreement()
                            Accessible.onPressAction: form.toggleAgreement()

                            SymbolIcon {
                                anchors.centerIn: parent
                                width: 13
                                height: 13
                                visible: form.agreeToTerms
                                name: "checkmark.circle.fill"
                                color: Theme.appPrimary
                            }
                            Rectangle {
                                anchors.centerIn: parent
                                width: 12
                                height: 12
                                visible: !form.agreeToTerms
                                radius: width / 2
                                antialiasing: true
                                color: "transparent"
                                border.width: 1.2
                                border.color: Theme.appSecondary
                            }
                            MouseArea {
                                anchors.fill: parent
                                anchors.margins: -4
                                cursorShape: Qt.PointingHandCursor
                                onClicked: form.toggleAgreement()
                            }
                        }
                        Text {
                            height: 16
                            verticalAlignment: Text.AlignVCenter
                            text: "已阅读并同意"
                            color: Theme.appSecondary
                            font.pixelSize: Theme.fontCaption
                        }
                        TextLink {
                            height: 16
                            verticalAlignment: Text.AlignVCenter
                            text: "《用户协议》"
                            onActivated: form.openLink(form.userAgreementUrl)
                        }
                        Text {
                            height: 16
                            verticalAlignment: Text.AlignVCenter
                            text: "和"
                            color: Theme.appSecondary
                            font.pixelSize: Theme.fontCaption
                        }
                        TextLink {
                            height: 16
                            verticalAlignment: Text.AlignVCenter
                            text: "《隐私协议》"
                            onActivated: form.openLink(form.privacyPolicyUrl)
                        }
                    }

                    // The login button: the Return key does not press it.
                    Item {
                        id: loginButton
                        objectName: "loginButton"
                        width: formColumn.width
                        height: 48
                        enabled: form.canLogin
                        opacity: form.canLogin ? 1.0 : 0.48
                        Accessible.role: Accessible.Button
                        Accessible.name: loginLabel.text
                        Accessible.onPressAction: form.submitLogin()

                        Rectangle {
                            anchors.fill: parent
                            radius: height / 2
                            antialiasing: true
                            color: Theme.appPrimary
                        }
                        Text {
                            id: loginLabel
                            anchors.centerIn: parent
                            text: "登录 / 注册"
                            color: "white"
                            font.pixelSize: Theme.fontHeadline
                            font.weight: Font.DemiBold
                        }
                        MouseArea {
                            anchors.fill: parent
                            cursorShape: Qt.PointingHandCursor
                            onClicked: form.submitLogin()
                        }
                    }

                    Column {
                        width: formColumn.width
                        spacing: Theme.spacingS
                        Text {
                            width: parent.width
                            text: "新用户注册成功后，即可获赠 3 天通用会员，权益自注册之日起生效"
                            color: Theme.appPrimary
                            font.pixelSize: Theme.fontCaption
                            font.weight: Font.Medium
                            wrapMode: Text.Wrap
                            horizontalAlignment: Text.AlignHCenter
                        }
                        Text {
                            width: parent.width
                            text: "未注册的手机号，登录后将自动完成注册"
                            color: Theme.appSecondary
                            font.pixelSize: Theme.fontCaption
                            wrapMode: Text.Wrap
                            horizontalAlignment: Text.AlignHCenter
                        }
                    }
                }
            }
        }
    }
}
