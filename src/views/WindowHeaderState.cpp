#include "WindowHeaderState.h"

#include "HeaderAutoHideToggleStyle.h"
#include "MaskedPhone.h"
#include "Theme.h"
#include "models/Enums.h"

namespace {

bool isScreen(int screen, AppScreen value)
{
    return screen == int(value);
}

} // namespace

WindowHeaderState::WindowHeaderState(QObject *parent)
    : QObject(parent)
{
    connect(&Theme::shared(), &Theme::changed, this, &WindowHeaderState::changed);
}

void WindowHeaderState::setScreen(int screen)
{
    // Emitted on equal values too: the stored phone number may have changed
    // with the same screen (a new login), and the header re-reads it.
    m_screen = screen;
    followLook();
    Q_EMIT changed();
}

void WindowHeaderState::setStudyTransparencyEnabled(bool enabled)
{
    if (m_studyTransparencyEnabled == enabled)
        return;
    m_studyTransparencyEnabled = enabled;
    followLook();
    Q_EMIT changed();
}

void WindowHeaderState::followLook()
{
    const int before = lookFadeMs();
    m_lookFlip.follow(transparent(), m_screen);
    if (lookFadeMs() != before)
        Q_EMIT lookFadeChanged();
}

void WindowHeaderState::setHoverAutoHideEnabled(bool enabled)
{
    if (m_hoverAutoHideEnabled == enabled)
        return;
    m_hoverAutoHideEnabled = enabled;
    Q_EMIT changed();
}

void WindowHeaderState::setHoveringTransparencyControl(bool hovering)
{
    if (m_hoveringTransparencyControl == hovering)
        return;
    m_hoveringTransparencyControl = hovering;
    Q_EMIT changed();
}

void WindowHeaderState::setHoveringAutoHideControl(bool hovering)
{
    if (m_hoveringAutoHideControl == hovering)
        return;
    m_hoveringAutoHideControl = hovering;
    Q_EMIT changed();
}

bool WindowHeaderState::isTransparentLook(bool studyTransparencyEnabled, int screen)
{
    return studyTransparencyEnabled && !isScreen(screen, AppScreen::login) && !isScreen(screen, AppScreen::purchase);
}

bool WindowHeaderState::transparent() const
{
    return isTransparentLook(m_studyTransparencyEnabled, m_screen);
}

bool WindowHeaderState::showsAppearanceSlider() const
{
    return !isScreen(m_screen, AppScreen::login);
}

bool WindowHeaderState::showsMaskedMobile() const
{
    return !isScreen(m_screen, AppScreen::login) && !transparent();
}

bool WindowHeaderState::showsTransparencyControls() const
{
    return !isScreen(m_screen, AppScreen::login) && !isScreen(m_screen, AppScreen::purchase);
}

bool WindowHeaderState::showsInkButton() const
{
    return showsTransparencyControls() && m_studyTransparencyEnabled;
}

QColor WindowHeaderState::backgroundColor() const
{
    return transparent() ? QColor(Qt::transparent) : QColor(Qt::white);
}

double WindowHeaderState::dividerOpacity() const
{
    return transparent() ? 0.18 : 1.0;
}

QString WindowHeaderState::maskedMobile() const
{
    return MaskedPhone::maskedStoredMobile();
}

QColor WindowHeaderState::maskedMobileColor() const
{
    return Theme::appSecondary();
}

QString WindowHeaderState::transparencyTitle() const
{
    return m_studyTransparencyEnabled ? QStringLiteral("退出透明") : QStringLiteral("透明模式");
}

QString WindowHeaderState::transparencyIcon() const
{
    return m_studyTransparencyEnabled ? QStringLiteral("rectangle.fill") : QStringLiteral("rectangle.dashed");
}

QString WindowHeaderState::transparencyToolTip() const
{
    return m_studyTransparencyEnabled ? QStringLiteral("恢复页面背景") : QStringLiteral("切换为透明页面");
}

double WindowHeaderState::transparencyOpacity() const
{
    return Theme::levelScaled(m_hoveringTransparencyControl ? 0.56 : 0.34, Theme::level());
}

QColor WindowHeaderState::transparencyLabelColor() const
{
    if (!transparent())
        return Theme::appPrimary();
    return Theme::withOpacity(Theme::appTitle(), transparencyOpacity());
}

QColor WindowHeaderState::transparencyFillColor() const
{
    return transparent() ? QColor(Qt::transparent) : Theme::appPrimarySoft();
}

QColor WindowHeaderState::transparencyOutlineColor() const
{
    if (!transparent())
        return QColor(Qt::transparent);
    return Theme::withOpacity(Theme::appSecondary(), transparencyOpacity());
}

QColor WindowHeaderState::inkButtonColor() const
{
    return Theme::withOpacity(Theme::appTitle(), Theme::levelScaled(0.34, Theme::level()));
}

QString WindowHeaderState::autoHideToolTip() const
{
    return m_hoverAutoHideEnabled ? QStringLiteral("关闭鼠标移出自动隐藏")
                                  : QStringLiteral("鼠标移出窗口后完全隐藏，重新进入原窗口范围后显示");
}

QColor WindowHeaderState::autoHideLabelColor() const
{
    if (transparent())
        return Theme::withOpacity(Theme::appTitle(), Theme::levelScaled(m_hoveringAutoHideControl ? 0.58 : 0.48, Theme::level()));
    return m_hoverAutoHideEnabled ? Theme::appPrimary() : Theme::appSecondary();
}

QColor WindowHeaderState::autoHideKnobColor() const
{
    return HeaderAutoHideToggleStyle::knobColor(transparent(), m_hoveringAutoHideControl);
}

QColor WindowHeaderState::autoHideTrackColor() const
{
    return HeaderAutoHideToggleStyle::trackColor(transparent(), m_hoverAutoHideEnabled, m_hoveringAutoHideControl);
}

QColor WindowHeaderState::autoHideBorderColor() const
{
    return HeaderAutoHideToggleStyle::borderColor(transparent(), m_hoverAutoHideEnabled, m_hoveringAutoHideControl);
}
