import QtQuick
import Vuzo

// The root of the panel: the window header over the current screen, the
// loading overlay, the banner, the corner grip, the help, ink and zoom
// cards, the window border and the PDF export progress. Window requests go
// to the window shell through the signals.
Item {
    id: root
    // The window shell's requests object (moves of the window); optional.
    property QtObject panel
    // The program's panel starts the content engine ahead of the question
    // screen, while the signed-in user is elsewhere; views on their own do not.
    property bool warmsContent: false
    // The question screen's component, compiled ahead (see the warm-up). A
    // var: only a script reference keeps the engine from collecting it.
    property var questionScreenType: null

    signal activationRequested()
    signal minimizeRequested()
    signal toggleMaximizeRequested()
    signal changeScaleRequested(real step)
    signal resetScaleRequested()
    signal closeRequested()
    // Reasons are SuspensionReason values.
    signal interactionBegan(int reason)
    signal interactionEnded(int reason)

    readonly property RootViewState viewState: rootViewState
    readonly property bool transparent: rootViewState.transparent

    RootViewState {
        id: rootViewState
        model: AppModel
    }

    ContentWarmup {
        wanted: root.warmsContent && AppModel.screen !== AppScreen.Login && AppModel.screen !== AppScreen.Questions
        // Once the engine is up, the question screen's types are compiled
        // (the engine keeps them), so the first set does not compile them on
        // its way to the first stem.
        onWarmChanged: {
            if (warm && !root.questionScreenType)
                root.questionScreenType = Qt.createComponent(ScreenCatalog.viewUrl(AppScreen.Questions), Component.Asynchronous);
        }
    }

    Item {
        id: windowShape
        anchors.fill: parent
        // Everything up to the cards is clipped to the window's rounded shape
        // (the cutout, drawn last in here).

        Item {
            id: underZoom
            anchors.fill: parent
            layer.enabled: zoomModal.cutoutActive
            layer.effect: zoomModal.cutoutEffect

            Item {
                id: underInk
                anchors.fill: parent
                layer.enabled: inkModal.cutoutActive
                layer.effect: inkModal.cutoutEffect

                Item {
                    id: stack
                    anchors.fill: parent
                    layer.enabled: helpModal.cutoutActive
                    layer.effect: helpModal.cutoutEffect

                    // 1. A click that reaches the background activates the panel.
                    MouseArea {
                        objectName: "backgroundCatcher"
                        anchors.fill: parent
                        onClicked: root.activationRequested()
                    }

                    // 2. The main column.
                    Rectangle {
                        objectName: "pageBackground"
                        anchors.fill: parent
                        // Rounded itself too, for scene graphs without the clipping effect.
                        radius: rootViewState.windowCornerRadius
                        antialiasing: true
                        color: root.transparent ? "transparent" : Theme.appBackground
                        // The user's flip of the look fades; a change of screen switches it.
                        Behavior on color {
                            enabled: rootViewState.lookFadeMs > 0
                            ColorAnimation { duration: rootViewState.lookFadeMs; easing.type: Easing.InOutQuad }
                        }
                    }

                    Item {
                        id: screenArea
                        objectName: "screenArea"
                        anchors.top: header.bottom
                        anchors.left: parent.left
                        anchors.right: parent.right
                        anchors.bottom: parent.bottom
                        opacity: rootViewState.screenAreaOpacity
                        Behavior on opacity {
                            enabled: rootViewState.screenAreaFadeMs > 0
                            NumberAnimation {
                                duration: rootViewState.screenAreaFadeMs
                                easing.type: rootViewState.screenAreaFadeFollowsLook ? Easing.InOutQuad : Easing.OutCubic
                            }
                        }

                        // One slot per row of the navigation table (ScreenCatalog).
                        Repeater {
                            model: ScreenCatalog.screens
                            delegate: ScreenSlot {
                                id: slot
                                required property int modelData
                                readonly property int lifetime: ScreenCatalog.lifetime(modelData)
                                readonly property bool current: AppModel.screen === modelData
                                readonly property bool signedIn: AppModel.screen !== AppScreen.Login
                                objectName: ScreenCatalog.title(modelData) + "Slot"
                                width: screenArea.width
                                height: screenArea.height
                                screen: modelData
                                visible: current
                                wanted: lifetime === ScreenCatalog.WhileSignedIn ? signedIn
                                      : lifetime === ScreenCatalog.OnceVisitedPerBank ? signedIn && AppModel.hasVisitedPracticeHistory
                                      : current
                                instanceKey: lifetime === ScreenCatalog.OnceVisitedPerBank
                                             ? String(AppModel.selectedExamBank ? AppModel.selectedExamBank.id : "") : ""
                                onBeginEditing: root.interactionBegan(rootViewState.textEditingReason)
                                onEndEditing: root.interactionEnded(rootViewState.textEditingReason)
                            }
                        }
                    }

                    WindowHeader {
                        id: header
                        objectName: "windowHeader"
                        z: 100
                        anchors.top: parent.top
                        anchors.left: parent.left
                        anchors.right: parent.right
                        height: 48
                        topCornerRadius: rootViewState.windowCornerRadius
                        panel: root.panel
                        rootState: rootViewState
                        onCloseRequested: root.closeRequested()
                        onMinimizeRequested: root.minimizeRequested()
                        onToggleMaximizeRequested: root.toggleMaximizeRequested()
                    }

                    // 3. Loading overlay.
                    LoadingOverlay {
                        objectName: "loadingOverlay"
                        anchors.fill: parent
                        z: 200
                        transparent: root.transparent
                        readonly property bool loading: AppModel.isLoading
                        opacity: loading ? 1 : 0
                        visible: loading || opacity > 0
                        enabled: loading
                        Behavior on opacity { NumberAnimation { duration: 200; easing.type: Easing.InOutQuad } }
                    }

                    // 4. The one banner, 60 pt below the top.
                    Item {
                        id: bannerHost
                        objectName: "bannerHost"
                        z: 300
                        anchors.horizontalCenter: parent.horizontalCenter
                        width: banner.implicitWidth
                        height: banner.implicitHeight
                        readonly property bool shown: rootViewState.bannerVisible
                        property string message
                        property bool isError: false
                        y: shown ? 60 : -height
                        opacity: shown ? 1 : 0
                        visible: shown || opacity > 0
                        Behavior on y { NumberAnimation { duration: 200; easing.type: Easing.InOutQuad } }
                        Behavior on opacity { NumberAnimation { duration: 200; easing.type: Easing.InOutQuad } }

                        // The leaving banner keeps its last text while it goes.
                        function follow() {
                            if (rootViewState.bannerVisible) {
                                message = rootViewState.bannerMessage;
                                isError = rootViewState.bannerIsError;
                            }
                        }
                        Connections {
                            target: rootViewState
                            function onBannerChanged() { bannerHost.follow(); }
                        }
                        Component.onCompleted: follow()

                        MessageBanner {
                            id: banner
                            objectName: "messageBanner"
                            message: bannerHost.message
                            isError: bannerHost.isError
                            transparent: root.transparent
                            maximumWidth: stack.width - 40
                            onDismissed: rootViewState.dismissBanner()
                        }
                    }

                    // 5. The corner grip, transparent look only.
                    ResizeGrip {
                        objectName: "resizeGrip"
                        z: 900
                        visible: rootViewState.showsResizeGrip
                        anchors.right: parent.right
                        anchors.bottom: parent.bottom
                        anchors.rightMargin: Theme.spacingXS
                        anchors.bottomMargin: Theme.spacingXS
                        inkColor: rootViewState.gripInkColor
                        onBegan: root.interactionBegan(rootViewState.windowResizingReason)
                        onEnded: root.interactionEnded(rootViewState.windowResizingReason)
                    }
                }

                // 6. Brightness help card.
                AppModal {
                    id: helpModal
                    objectName: "helpModal"
                    isPresented: rootViewState.showingAppearanceHelp
                    transparent: root.transparent
                    cornerRadius: Theme.cardRadius
                    alignment: Qt.AlignCenter
                    dimsBackground: true
                    onDismissed: rootViewState.showingAppearanceHelp = false
                    card: Component {
                        AppearanceHelpPanel {
                            objectName: "appearanceHelpPanel"
                            level: AppModel.transparentAppearanceLevel
                            transparent: root.transparent
                            onCloseRequested: rootViewState.showingAppearanceHelp = false
                        }
                    }
                }
            }

            // 7. Ink colour card.
            AppModal {
                id: inkModal
                objectName: "inkModal"
                isPresented: rootViewState.showingInkColorSettings
                transparent: root.transparent
                cornerRadius: Theme.cardRadius
                alignment: Qt.AlignCenter
                dimsBackground: true
                onDismissed: rootViewState.dismissInkSettingsFromBackdrop()
                card: Component {
                    TransparentInkSettingsView {
                        objectName: "inkSettings"
                        onDismissed: rootViewState.closeInkSettings()
                    }
                }
            }
        }

        // 8. Zoom indicator card, top right, without dimming.
        AppModal {
            id: zoomModal
            objectName: "zoomModal"
            isPresented: rootViewState.zoomIndicatorPresented
            transparent: root.transparent
            cornerRadius: 18
            alignment: Qt.AlignTop | Qt.AlignRight
            topInset: 52
            leftInset: 12
            bottomInset: 12
            rightInset: 12
            dimsBackground: false
            onDismissed: rootViewState.dismissZoomIndicator()
            card: Component {
                ZoomIndicator {
                    objectName: "zoomIndicator"
                    rootState: rootViewState
                    transparent: root.transparent
                    onChangeScale: (step) => root.changeScaleRequested(step)
                    onResetScale: root.resetScaleRequested()
                }
            }
        }

        // 9. The rounded corners of the window shape, over all of the above.
        RoundedCornerCutout {
            objectName: "windowCornerCutout"
            anchors.fill: parent
            radius: rootViewState.windowCornerRadius
        }
    }

    // 10. Border, normal look only; not clipped.
    Rectangle {
        objectName: "windowBorder"
        anchors.fill: parent
        visible: rootViewState.showsBorder
        color: "transparent"
        radius: rootViewState.windowCornerRadius
        antialiasing: true
        border.width: 1
        border.color: Qt.rgba(1, 1, 1, 0.8)
    }

    // 11. PDF export progress over everything.
    PdfExportProgress {
        objectName: "exportProgress"
        anchors.fill: parent
        visible: AppModel.isExportingPDF
        text: AppModel.pdfExportProgress
    }
}
