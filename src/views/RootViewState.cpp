#include "RootViewState.h"

#include "ModelAccess.h"
#include "Theme.h"
#include "WindowHeaderState.h"
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
    connect(&Theme::shared(), &Theme::changed, this, &RootViewState::lookChanged);
}

void RootViewState::setModel(QObject *model)
{
    if (m_model == model)
        return;
    if (m_model)
        disconnect(m_model, nullptr, this, nullptr);
    m_model = model;
    m_lastTransparent = transparent();
    m_lastScreen = ModelAccess::readInt(model, "screen");
    ModelAccess::connectChanges(model,
                                {QStringLiteral("screen"), QStringLiteral("studyTransparencyEnabled"),
                                 QStringLiteral("errorMessage"), QStringLiteral("noticeMessage"),
                                 QStringLiteral("zoomFeedback"), QStringLiteral("isExportingPDF"),
                                 QStringLiteral("isWindowMaximized"), QStringLiteral("transparentInkHex"),
                                 QStringLiteral("transparentAppearanceLevel")},
                                this, "synchronize()");
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
    return WindowHeaderState::isTransparentLook(ModelAccess::readBool(m_model, "studyTransparencyEnabled"),
                                                ModelAccess::readInt(m_model, "screen"));
}

double RootViewState::windowCornerRadius() const
{
    return ModelAccess::readBool(m_model, "isWindowMaximized") ? 0.0 : 18.0;
}

bool RootViewState::showsResizeGrip() const
{
    return transparent() && !ModelAccess::readBool(m_model, "isWindowMaximized");
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
    return Theme::opaqueColor(ModelAccess::readString(m_model, "transparentInkHex"));
}

RootViewState::Banner RootViewState::currentBanner() const
{
    if (ModelAccess::optionalText(ModelAccess::read(m_model, "errorMessage")))
        return Banner::error;
    if (ModelAccess::optionalText(ModelAccess::read(m_model, "noticeMessage")))
        return Banner::notice;
    return Banner::none;
}

QString RootViewState::bannerMessage() const
{
    switch (m_banner) {
    case Banner::error:
        return ModelAccess::optionalText(ModelAccess::read(m_model, "errorMessage")).value_or(QString());
    case Banner::notice:
        return ModelAccess::optionalText(ModelAccess::read(m_model, "noticeMessage")).value_or(QString());
    case Banner::none:
        break;
    }
    return {};
}

bool RootViewState::hasZoomFeedback() const
{
    return !ModelAccess::isAbsent(ModelAccess::read(m_model, "zoomFeedback"));
}

QVariant RootViewState::zoomFeedbackID() const
{
    const QVariant feedback = ModelAccess::read(m_model, "zoomFeedback");
    if (ModelAccess::isAbsent(feedback))
        return {};
    const QVariant id = ModelAccess::member(feedback, "id");
    // Without a readable id the value itself is its identity.
    return id.isValid() ? id : feedback;
}

bool RootViewState::zoomIndicatorPresented() const
{
    return hasZoomFeedback() && !ModelAccess::readBool(m_model, "isExportingPDF");
}

double RootViewState::zoomScale() const
{
    bool ok = false;
    const double scale = ModelAccess::member(ModelAccess::read(m_model, "zoomFeedback"), "scale").toDouble(&ok);
    return ok && std::isfinite(scale) ? scale : 1.0;
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
    Q_EMIT lookChanged();
}

void RootViewState::updateBanner()
{
    const Banner previous = m_banner;
    const Banner next = currentBanner();
    m_banner = next;
    if (next == Banner::notice && previous != Banner::notice) {
        // The countdown belongs to the banner: a new text while it stays
        // does not restart it.
        m_noticeTimer.start();
    } else if (previous == Banner::notice && next != Banner::notice) {
        // Taking the banner away cancels its countdown, which clears the
        // notice as well: a notice pushed aside by an error does not return.
        m_noticeTimer.stop();
        if (ModelAccess::optionalText(ModelAccess::read(m_model, "noticeMessage")))
            ModelAccess::clear(m_model, "noticeMessage");
    }
}

void RootViewState::updateZoomCountdown()
{
    const bool present = hasZoomFeedback();
    if (!present && m_hoveringZoomIndicator) {
        m_hoveringZoomIndicator = false;
        Q_EMIT flagsChanged();
    }
    const QVariant id = present ? zoomFeedbackID() : QVariant();
    const bool sameKey = m_zoomKeyValid && m_zoomKeyHovering == m_hoveringZoomIndicator
        && m_zoomKeyID.isValid() == id.isValid() && (!id.isValid() || m_zoomKeyID == id);
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
    const int screen = ModelAccess::readInt(m_model, "screen");
    const bool lookTurnedOff = m_lastTransparent && !nowTransparent;
    const bool screenChanged = screen != m_lastScreen;
    m_lastTransparent = nowTransparent;
    m_lastScreen = screen;
    if ((lookTurnedOff || screenChanged) && m_showingInkColorSettings)
        closeInkSettingsSavingInk();
}

void RootViewState::noticeTimedOut()
{
    ModelAccess::clear(m_model, "noticeMessage");
}

void RootViewState::zoomTimedOut()
{
    ModelAccess::clear(m_model, "zoomFeedback");
}

void RootViewState::closeInkSettingsSavingInk()
{
    ModelAccess::invoke(m_model, "flushTransparentInkColor");
    setShowingInkColorSettings(false);
}

void RootViewState::dismissBanner()
{
    if (m_banner == Banner::error)
        ModelAccess::clear(m_model, "errorMessage");
    else if (m_banner == Banner::notice)
        ModelAccess::clear(m_model, "noticeMessage");
}

void RootViewState::dismissZoomIndicator()
{
    ModelAccess::clear(m_model, "zoomFeedback");
}

void RootViewState::dismissInkSettingsFromBackdrop()
{
    closeInkSettingsSavingInk();
}

void RootViewState::closeInkSettings()
{
    setShowingInkColorSettings(false);
}
