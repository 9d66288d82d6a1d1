#pragma once

#include "LookFlip.h"

#include <QColor>
#include <QObject>
#include <QString>
#include <QtQml/qqmlregistration.h>

// What the window header shows and in which colours, worked out from the
// model's screen and settings and the root view's two hover flags. The header
// keeps no state of its own; every output follows its inputs and the look.
class WindowHeaderState : public QObject
{
    Q_OBJECT
    QML_ELEMENT

    // Inputs. `screen` is the model's screen as its enumeration value.
    Q_PROPERTY(int screen READ screen WRITE setScreen NOTIFY changed)
    Q_PROPERTY(bool studyTransparencyEnabled READ studyTransparencyEnabled WRITE setStudyTransparencyEnabled NOTIFY changed)
    Q_PROPERTY(bool hoverAutoHideEnabled READ hoverAutoHideEnabled WRITE setHoverAutoHideEnabled NOTIFY changed)
    Q_PROPERTY(bool hoveringTransparencyControl READ hoveringTransparencyControl WRITE setHoveringTransparencyControl NOTIFY changed)
    Q_PROPERTY(bool hoveringAutoHideControl READ hoveringAutoHideControl WRITE setHoveringAutoHideControl NOTIFY changed)

    // Which elements appear.
    Q_PROPERTY(bool transparent READ transparent NOTIFY changed)
    Q_PROPERTY(bool showsAppearanceSlider READ showsAppearanceSlider NOTIFY changed)
    Q_PROPERTY(bool showsMaskedMobile READ showsMaskedMobile NOTIFY changed)
    Q_PROPERTY(bool showsTransparencyControls READ showsTransparencyControls NOTIFY changed)
    Q_PROPERTY(bool showsInkButton READ showsInkButton NOTIFY changed)

    // Row. Its background and divider follow a flip of the look over
    // lookFadeMs: the header's own 0.14 s for a flip of the setting, at once
    // (0) for one that a change of screen made. Announced before the look itself.
    Q_PROPERTY(QColor backgroundColor READ backgroundColor NOTIFY changed)
    Q_PROPERTY(double dividerOpacity READ dividerOpacity NOTIFY changed)
    Q_PROPERTY(int lookFadeMs READ lookFadeMs NOTIFY lookFadeChanged)
    Q_PROPERTY(QString maskedMobile READ maskedMobile NOTIFY changed)
    Q_PROPERTY(QColor maskedMobileColor READ maskedMobileColor NOTIFY changed)

    // Transparency toggle.
    Q_PROPERTY(QString transparencyTitle READ transparencyTitle NOTIFY changed)
    Q_PROPERTY(QString transparencyIcon READ transparencyIcon NOTIFY changed)
    Q_PROPERTY(QString transparencyToolTip READ transparencyToolTip NOTIFY changed)
    Q_PROPERTY(QColor transparencyLabelColor READ transparencyLabelColor NOTIFY changed)
    Q_PROPERTY(QColor transparencyFillColor READ transparencyFillColor NOTIFY changed)
    Q_PROPERTY(QColor transparencyOutlineColor READ transparencyOutlineColor NOTIFY changed)

    // Ink-colour button.
    Q_PROPERTY(QColor inkButtonColor READ inkButtonColor NOTIFY changed)

    // Auto-hide switch.
    Q_PROPERTY(QString autoHideToolTip READ autoHideToolTip NOTIFY changed)
    Q_PROPERTY(QColor autoHideLabelColor READ autoHideLabelColor NOTIFY changed)
    Q_PROPERTY(QColor autoHideKnobColor READ autoHideKnobColor NOTIFY changed)
    Q_PROPERTY(QColor autoHideTrackColor READ autoHideTrackColor NOTIFY changed)
    Q_PROPERTY(QColor autoHideBorderColor READ autoHideBorderColor NOTIFY changed)

public:
    // How long the header eases into a new look, as into a hover.
    static constexpr int fadeMilliseconds = 140;

    explicit WindowHeaderState(QObject *parent = nullptr);

    [[nodiscard]] int screen() const { return m_screen; }
    void setScreen(int screen);
    [[nodiscard]] bool studyTransparencyEnabled() const { return m_studyTransparencyEnabled; }
    void setStudyTransparencyEnabled(bool enabled);
    [[nodiscard]] bool hoverAutoHideEnabled() const { return m_hoverAutoHideEnabled; }
    void setHoverAutoHideEnabled(bool enabled);
    [[nodiscard]] bool hoveringTransparencyControl() const { return m_hoveringTransparencyControl; }
    void setHoveringTransparencyControl(bool hovering);
    [[nodiscard]] bool hoveringAutoHideControl() const { return m_hoveringAutoHideControl; }
    void setHoveringAutoHideControl(bool hovering);

    // The transparent look: the setting is on and the screen is neither the
    // login screen nor the purchase page.
    [[nodiscard]] static bool isTransparentLook(bool studyTransparencyEnabled, int screen);

    [[nodiscard]] bool transparent() const;
    [[nodiscard]] bool showsAppearanceSlider() const;
    [[nodiscard]] bool showsMaskedMobile() const;
    [[nodiscard]] bool showsTransparencyControls() const;
    [[nodiscard]] bool showsInkButton() const;

    [[nodiscard]] QColor backgroundColor() const;
    [[nodiscard]] double dividerOpacity() const;
    [[nodiscard]] int lookFadeMs() const { return m_lookFlip.fades() ? fadeMilliseconds : 0; }
    [[nodiscard]] QString maskedMobile() const;
    [[nodiscard]] QColor maskedMobileColor() const;

    [[nodiscard]] QString transparencyTitle() const;
    [[nodiscard]] QString transparencyIcon() const;
    [[nodiscard]] QString transparencyToolTip() const;
    [[nodiscard]] QColor transparencyLabelColor() const;
    [[nodiscard]] QColor transparencyFillColor() const;
    [[nodiscard]] QColor transparencyOutlineColor() const;

    [[nodiscard]] QColor inkButtonColor() const;

    [[nodiscard]] QString autoHideToolTip() const;
    [[nodiscard]] QColor autoHideLabelColor() const;
    [[nodiscard]] QColor autoHideKnobColor() const;
    [[nodiscard]] QColor autoHideTrackColor() const;
    [[nodiscard]] QColor autoHideBorderColor() const;

Q_SIGNALS:
    void lookFadeChanged();
    void changed();

private:
    [[nodiscard]] double transparencyOpacity() const;
    // After a change of the screen or the setting, before it is announced.
    void followLook();

    int m_screen = 0;
    bool m_studyTransparencyEnabled = false;
    bool m_hoverAutoHideEnabled = false;
    bool m_hoveringTransparencyControl = false;
    bool m_hoveringAutoHideControl = false;
    LookFlip m_lookFlip;
};
