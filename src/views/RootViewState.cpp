#include "RootViewState.h"

#include "Theme.h"
#include "WindowHeaderState.h"
#include "app/AppModel.h"
#include "models/Enums.h"

#include <cmath>

namespace {

constexpr double minimumZoom = 0.5;
constexpr double maximumZoom = 1.5;
// Zoom levels are multiples of 0.05; allow for their binary rounding.
constexpr double zoomTolerance = 1e-9;

} // namespace

RootViewState::RootViewState(QObject *parent)
    : QObject(parent)
{
    m_noticeTimer.setSingleShot(true);
    m_noticeTimer.setInterval(2000);
    m_zoomTimer.setSingleShot(true);
    m_zoomTimer.setInterval(3000);
    connect(&m_noticeTimer, &QTimer::timeout, this, &RootViewState::noticeTimedOut);
    connect(&m_zoomTimer, &QTimer::timeout, this, &RootViewState::zoomTimedOut);
    connect(&Theme::shared(), &Theme::changed, this, &RootViewState::announceLook);
}

void RootViewState::setModel(AppModel *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    m_lastTransparent = transparent();
    m_lastScreen = model ? int(model->screen()) : 0;
    m_lookFlip.reset(m_lastTransparent, m_lastScreen);
    m_fadeLevel = Theme::level();
    m_newest = Banner::none;
    if (model) {
        // Before the synchronisation below, so it sees which message is new.
        connect(model, &AppModel::errorMessageChanged, this, [this] {
            if (m_model && m_model->errorMessage())
                m_newest = Banner::error;
        });
        connect(model, &AppModel::noticeMessageChanged, this, [this] {
            if (m_model && m_model->noticeMessage())
                m_newest = Banner::notice;
        });
        for (auto changed : {&AppModel::screenChanged, &AppModel::studyTransparencyEnabledChanged,
                             &AppModel::errorMessageChanged, &AppModel::noticeMessageChanged,
                             &AppModel::zoomFeedbackChanged, &AppModel::isExportingPDFChanged,
                             &AppModel::isWindowMaximizedChanged, &AppModel::transparentInkHexChanged,
                             &AppModel::transparentAppearanceLevelChanged})
            connect(model, changed, this, &RootViewState::synchronize);
    }
    Q_EMIT modelChanged();
    synchronize();
}

void RootViewState::setHoveringTransparencyControl(bool value)
{
    if (m_hoveringTransparencyControl == value)
        return;
    m_hoveringTransparencyControl = value;
    Q_EMIT flagsChanged();
}

void RootViewState::setHoveringAutoHideControl(bool value)
{
    if (m_hoveringAutoHideControl == value)
        return;
    m_hoveringAutoHideControl = value;
    Q_EMIT flagsChanged();
}

void RootViewState::setShowingAppearanceHelp(bool value)
{
    if (m_showingAppearanceHelp == value)
        return;
    m_showingAppearanceHelp = value;
    Q_EMIT flagsChanged();
}

void RootViewState::setShowingInkColorSettings(bool value)
{
    if (m_showingInkColorSettings == value)
        return;
    m_showingInkColorSettings = value;
    Q_EMIT flagsChanged();
}

void RootViewState::setHoveringZoomIndicator(bool value)
{
    if (m_hoveringZoomIndicator == value)
        return;
    m_hoveringZoomIndicator = value;
    Q_EMIT flagsChanged();
    updateZoomCountdown();
}

void RootViewState::setNoticeDismissMs(int ms)
{
    m_noticeTimer.setInterval(ms);
    Q_EMIT timingChanged();
}

void RootViewState::setZoomDismissMs(int ms)
{
    m_zoomTimer.setInterval(ms);
    Q_EMIT timingChanged();
}

int RootViewState::textEditingReason()
{
    return int(SuspensionReason::textEditing);
}

int RootViewState::windowResizingReason()
{
    return int(SuspensionReason::windowResizing);
}

bool RootViewState::transparent() const
{
    return m_model && WindowHeaderState::isTransparentLook(m_model->studyTransparencyEnabled(), int(m_model->screen()));
}

double RootViewState::windowCornerRadius() const
{
    return isMaximized() ? 0.0 : Theme::windowCornerRadius;
}

bool RootViewState::showsResizeGrip() const
{
    return transparent() && !isMaximized();
}

bool RootViewState::showsBorder() const
{
    return !transparent();
}

double RootViewState::screenAreaOpacity() const
{
    // A level below 1 fades the screens; above 1 they stay opaque.
    return transparent() ? Theme::levelCapped(Theme::level()) : 1.0;
}

QColor RootViewState::gripInkColor() const
{
    return Theme::opaqueColor(m_model ? m_model->transparentInkHex() : QString());
}

RootViewState::Banner RootViewState::currentBanner() const
{
    const bool error = m_model && m_model->errorMessage();
    const bool notice = m_model && m_model->noticeMessage();
    // The newest message wins: a success after a failed try is shown as one.
    if (error && notice)
        return m_newest == Banner::notice ? Banner::notice : Banner::error;
    if (error)
        return Banner::error;
    if (notice)
        return Banner::notice;
    return Banner::none;
}

QString RootViewState::bannerMessage() const
{
    switch (m_banner) {
    case Banner::error:
        return m_model ? m_model->errorMessage().value_or(QString()) : QString();
    case Banner::notice:
        return m_model ? m_model->noticeMessage().value_or(QString()) : QString();
    case Banner::none:
        break;
    }
    return {};
}

bool RootViewState::isMaximized() const
{
    return m_model && m_model->isWindowMaximized();
}

bool RootViewState::hasZoomFeedback() const
{
    return m_model && m_model->zoomFeedback().has_value();
}

bool RootViewState::zoomIndicatorPresented() const
{
    return hasZoomFeedback() && !m_model->isExportingPDF();
}

double RootViewState::zoomScale() const
{
    if (!hasZoomFeedback())
        return 1.0;
    const double scale = m_model->zoomFeedback()->scale;
    return std::isfinite(scale) ? scale : 1.0;
}

QString RootViewState::zoomPercentText() const
{
    return Theme::percentText(zoomScale());
}

QString RootViewState::zoomAccessibilityLabel() const
{
    return QStringLiteral("当前缩放比例 ") + zoomPercentText();
}

bool RootViewState::zoomOutDisabled() const
{
    return zoomScale() <= minimumZoom + zoomTolerance;
}

bool RootViewState::zoomInDisabled() const
{
    return zoomScale() >= maximumZoom - zoomTolerance;
}

void RootViewState::synchronize()
{
    // Writes to the model below announce themselves again; run those
    // announcements after the current pass instead of inside it.
    if (m_synchronizing) {
        m_resynchronize = true;
        return;
    }
    m_synchronizing = true;
    do {
        m_resynchronize = false;
        updateBanner();
        updateZoomCountdown();
        reactToLookAndScreen();
    } while (m_resynchronize);
    m_synchronizing = false;
    Q_EMIT bannerChanged();
    Q_EMIT zoomChanged();
    announceLook();
}

void RootViewState::announceLook()
{
    // Settled before the look is announced, so each animation is chosen by
    // the change that moves it.
    const int lookFadeBefore = lookFadeMs();
    const int screenAreaFadeBefore = screenAreaFadeMs();
    const bool followsBefore = m_screenAreaFadeFollowsLook;
    const double level = Theme::level();
    if (m_lookFlip.follow(transparent(), m_model ? int(m_model->screen()) : 0))
        m_screenAreaFadeFollowsLook = true;
    else if (level != m_fadeLevel)
        m_screenAreaFadeFollowsLook = false;
    m_fadeLevel = level;
    if (lookFadeMs() != lookFadeBefore || screenAreaFadeMs() != screenAreaFadeBefore
        || m_screenAreaFadeFollowsLook != followsBefore)
        Q_EMIT lookFadeChanged();
    Q_EMIT lookChanged();
}

void RootViewState::updateBanner()
{
    const Banner previous = m_banner;
    const Banner next = currentBanner();
    m_banner = next;
    // A notice replaces the error it was set over: the error does not come
    // back when the notice goes.
    if (next == Banner::notice && m_model && m_model->errorMessage())
        m_model->setErrorMessage(std::nullopt);
    if (next == Banner::notice && previous != Banner::notice) {
        // The countdown belongs to the banner: a new text while it stays
        // does not restart it.
        m_noticeTimer.start();
    } else if (previous == Banner::notice && next != Banner::notice) {
        // Taking the banner away cancels its countdown, which clears the
        // notice as well: a notice pushed aside by an error does not return.
        m_noticeTimer.stop();
        if (m_model && m_model->noticeMessage())
            m_model->setNoticeMessage(std::nullopt);
    }
}

void RootViewState::updateZoomCountdown()
{
    const bool present = hasZoomFeedback();
    if (!present && m_hoveringZoomIndicator) {
        m_hoveringZoomIndicator = false;
        Q_EMIT flagsChanged();
    }
    // No feedback keys as the null id.
    const QUuid id = present ? m_model->zoomFeedback()->id : QUuid();
    const bool sameKey = m_zoomKeyValid && m_zoomKeyHovering == m_hoveringZoomIndicator && m_zoomKeyID == id;
    if (sameKey)
        return;
    m_zoomKeyValid = true;
    m_zoomKeyID = id;
    m_zoomKeyHovering = m_hoveringZoomIndicator;
    m_zoomTimer.stop();
    // The indicator stays while the pointer rests on it; the countdown runs
    // also while a PDF export holds the indicator back.
    if (present && !m_hoveringZoomIndicator)
        m_zoomTimer.start();
}

void RootViewState::reactToLookAndScreen()
{
    const bool nowTransparent = transparent();
    const int screen = m_model ? int(m_model->screen()) : 0;
    const bool lookTurnedOff = m_lastTransparent && !nowTransparent;
    const bool screenChanged = screen != m_lastScreen;
    m_lastTransparent = nowTransparent;
    m_lastScreen = screen;
    if ((lookTurnedOff || screenChanged) && m_showingInkColorSettings)
        closeInkSettingsSavingInk();
}

void RootViewState::noticeTimedOut()
{
    if (m_model)
        m_model->setNoticeMessage(std::nullopt);
}

void RootViewState::zoomTimedOut()
{
    if (m_model)
        m_model->setZoomFeedback(std::nullopt);
}

void RootViewState::closeInkSettingsSavingInk()
{
    if (m_model)
        m_model->flushTransparentInkColor();
    setShowingInkColorSettings(false);
}

void RootViewState::dismissBanner()
{
    if (!m_model)
        return;
    if (m_banner == Banner::error)
        m_model->setErrorMessage(std::nullopt);
    else if (m_banner == Banner::notice)
        m_model->setNoticeMessage(std::nullopt);
}

void RootViewState::dismissZoomIndicator()
{
    if (m_model)
        m_model->setZoomFeedback(std::nullopt);
}

void RootViewState::dismissInkSettingsFromBackdrop()
{
    closeInkSettingsSavingInk();
}

void RootViewState::closeInkSettings()
{
    setShowingInkColorSettings(false);
}
