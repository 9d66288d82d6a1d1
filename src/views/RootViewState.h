#pragma once

#include <QColor>
#include "LookFlip.h"
#include "app/AppModel.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QUuid>
#include <QtQml/qqmlregistration.h>


// The root view's own state and rules: its five flags, the one banner with
// the notice timer, the zoom indicator with its auto-dismiss, the window
// shape, and the reactions to changes of the model (closing the ink card).
// Everything else lives in the model.
class RootViewState : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    Q_PROPERTY(AppModel *model READ model WRITE setModel NOTIFY modelChanged)

    Q_PROPERTY(bool hoveringTransparencyControl READ hoveringTransparencyControl WRITE setHoveringTransparencyControl NOTIFY flagsChanged)
    Q_PROPERTY(bool hoveringAutoHideControl READ hoveringAutoHideControl WRITE setHoveringAutoHideControl NOTIFY flagsChanged)
    Q_PROPERTY(bool showingAppearanceHelp READ showingAppearanceHelp WRITE setShowingAppearanceHelp NOTIFY flagsChanged)
    Q_PROPERTY(bool showingInkColorSettings READ showingInkColorSettings WRITE setShowingInkColorSettings NOTIFY flagsChanged)
    Q_PROPERTY(bool hoveringZoomIndicator READ hoveringZoomIndicator WRITE setHoveringZoomIndicator NOTIFY flagsChanged)

    Q_PROPERTY(bool transparent READ transparent NOTIFY lookChanged)
    Q_PROPERTY(double windowCornerRadius READ windowCornerRadius NOTIFY lookChanged)
    Q_PROPERTY(bool showsResizeGrip READ showsResizeGrip NOTIFY lookChanged)
    Q_PROPERTY(bool showsBorder READ showsBorder NOTIFY lookChanged)
    Q_PROPERTY(double screenAreaOpacity READ screenAreaOpacity NOTIFY lookChanged)
    // How the page follows a flip of the look: over 0.18 s, eased in and out,
    // when the user flipped the study-transparency setting; at once (0) when
    // a change of screen flipped it. Announced before the look itself.
    Q_PROPERTY(int lookFadeMs READ lookFadeMs NOTIFY lookFadeChanged)
    // How the screen area's opacity moves: with a flip of the look as above,
    // with a change of the brightness level eased out over 0.14 s.
    Q_PROPERTY(bool screenAreaFadeFollowsLook READ screenAreaFadeFollowsLook NOTIFY lookFadeChanged)
    Q_PROPERTY(int screenAreaFadeMs READ screenAreaFadeMs NOTIFY lookFadeChanged)
    Q_PROPERTY(QColor gripInkColor READ gripInkColor NOTIFY lookChanged)

    Q_PROPERTY(bool bannerVisible READ bannerVisible NOTIFY bannerChanged)
    Q_PROPERTY(bool bannerIsError READ bannerIsError NOTIFY bannerChanged)
    Q_PROPERTY(QString bannerMessage READ bannerMessage NOTIFY bannerChanged)

    Q_PROPERTY(bool zoomIndicatorPresented READ zoomIndicatorPresented NOTIFY zoomChanged)
    Q_PROPERTY(double zoomScale READ zoomScale NOTIFY zoomChanged)
    Q_PROPERTY(QString zoomPercentText READ zoomPercentText NOTIFY zoomChanged)
    Q_PROPERTY(QString zoomAccessibilityLabel READ zoomAccessibilityLabel NOTIFY zoomChanged)
    Q_PROPERTY(bool zoomOutDisabled READ zoomOutDisabled NOTIFY zoomChanged)
    Q_PROPERTY(bool zoomInDisabled READ zoomInDisabled NOTIFY zoomChanged)

    // How long a notice and the zoom indicator stay (2 s and 3 s).
    Q_PROPERTY(int noticeDismissMs READ noticeDismissMs WRITE setNoticeDismissMs NOTIFY timingChanged)
    Q_PROPERTY(int zoomDismissMs READ zoomDismissMs WRITE setZoomDismissMs NOTIFY timingChanged)

    // The pause reasons the root view reports to the window shell.
    Q_PROPERTY(int textEditingReason READ textEditingReason CONSTANT)
    Q_PROPERTY(int windowResizingReason READ windowResizingReason CONSTANT)

public:
    explicit RootViewState(QObject *parent = nullptr);

    [[nodiscard]] AppModel *model() const { return m_model; }
    void setModel(AppModel *model);

    [[nodiscard]] bool hoveringTransparencyControl() const { return m_hoveringTransparencyControl; }
    void setHoveringTransparencyControl(bool value);
    [[nodiscard]] bool hoveringAutoHideControl() const { return m_hoveringAutoHideControl; }
    void setHoveringAutoHideControl(bool value);
    [[nodiscard]] bool showingAppearanceHelp() const { return m_showingAppearanceHelp; }
    void setShowingAppearanceHelp(bool value);
    [[nodiscard]] bool showingInkColorSettings() const { return m_showingInkColorSettings; }
    void setShowingInkColorSettings(bool value);
    [[nodiscard]] bool hoveringZoomIndicator() const { return m_hoveringZoomIndicator; }
    void setHoveringZoomIndicator(bool value);

    [[nodiscard]] bool transparent() const;
    [[nodiscard]] double windowCornerRadius() const;
    [[nodiscard]] bool showsResizeGrip() const;
    [[nodiscard]] bool showsBorder() const;
    [[nodiscard]] double screenAreaOpacity() const;
    [[nodiscard]] int lookFadeMs() const { return m_lookFlip.fadeMs(); }
    [[nodiscard]] bool screenAreaFadeFollowsLook() const { return m_screenAreaFadeFollowsLook; }
    [[nodiscard]] int screenAreaFadeMs() const { return m_screenAreaFadeFollowsLook ? lookFadeMs() : 140; }
    [[nodiscard]] QColor gripInkColor() const;

    [[nodiscard]] bool bannerVisible() const { return m_banner != Banner::none; }
    [[nodiscard]] bool bannerIsError() const { return m_banner == Banner::error; }
    [[nodiscard]] QString bannerMessage() const;

    [[nodiscard]] bool zoomIndicatorPresented() const;
    [[nodiscard]] double zoomScale() const;
    [[nodiscard]] QString zoomPercentText() const;
    [[nodiscard]] QString zoomAccessibilityLabel() const;
    [[nodiscard]] bool zoomOutDisabled() const;
    [[nodiscard]] bool zoomInDisabled() const;

    [[nodiscard]] int noticeDismissMs() const { return m_noticeTimer.interval(); }
    void setNoticeDismissMs(int ms);
    [[nodiscard]] int zoomDismissMs() const { return m_zoomTimer.interval(); }
    void setZoomDismissMs(int ms);
    [[nodiscard]] static int textEditingReason();
    [[nodiscard]] static int windowResizingReason();

    // For tests: whether the two countdowns run.
    [[nodiscard]] bool isNoticeTimerRunning() const { return m_noticeTimer.isActive(); }
    [[nodiscard]] bool isZoomTimerRunning() const { return m_zoomTimer.isActive(); }

    // The banner's close button.
    Q_INVOKABLE void dismissBanner();
    // A click beside the zoom indicator.
    Q_INVOKABLE void dismissZoomIndicator();
    // A click on the ink card's backdrop: save the ink now, then close.
    Q_INVOKABLE void dismissInkSettingsFromBackdrop();
    // The ink sheet's own dismissal: it has saved already.
    Q_INVOKABLE void closeInkSettings();

Q_SIGNALS:
    void modelChanged();
    void flagsChanged();
    void lookChanged();
    void lookFadeChanged();
    void bannerChanged();
    void zoomChanged();
    void timingChanged();

private Q_SLOTS:
    void synchronize();

private:
    enum class Banner { none, error, notice };

    [[nodiscard]] Banner currentBanner() const;
    [[nodiscard]] bool isMaximized() const;
    [[nodiscard]] bool hasZoomFeedback() const;
    void updateBanner();
    void updateZoomCountdown();
    void reactToLookAndScreen();
    void announceLook();
    void noticeTimedOut();
    void zoomTimedOut();
    void closeInkSettingsSavingInk();

    QPointer<AppModel> m_model;
    bool m_hoveringTransparencyControl = false;
    bool m_hoveringAutoHideControl = false;
    bool m_showingAppearanceHelp = false;
    bool m_showingInkColorSettings = false;
    bool m_hoveringZoomIndicator = false;

    Banner m_banner = Banner::none;
    // The kind of the message set last: with both set, it has the banner.
    Banner m_newest = Banner::none;
    QTimer m_noticeTimer;

    // The identity of the zoom countdown: the feedback's id and the hover flag.
    QUuid m_zoomKeyID;
    bool m_zoomKeyHovering = false;
    bool m_zoomKeyValid = false;
    QTimer m_zoomTimer;

    bool m_lastTransparent = false;
    // What flipped the look last, what the screen area's opacity last
    // followed, and the level then.
    LookFlip m_lookFlip;
    bool m_screenAreaFadeFollowsLook = false;
    double m_fadeLevel = 1.0;
    int m_lastScreen = 0;
    bool m_synchronizing = false;
    bool m_resynchronize = false;
};
