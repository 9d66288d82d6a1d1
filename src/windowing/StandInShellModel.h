#pragma once

#include "ShellModel.h"
#include "ShellPorts.h"

// Keeps the little state the shell needs while no full application model is
// built in: the maximized flag, the zoom feedback and the stored auto-hide
// and transparency settings. It handles no keys.
class StandInShellModel final : public ShellModel
{
    Q_OBJECT

public:
    static inline const QString hoverAutoHideKey = QStringLiteral("hover_auto_hide_enabled");
    static inline const QString studyTransparencyKey = QStringLiteral("study_transparency_enabled");

    explicit StandInShellModel(SettingsStore &store, QObject *parent = nullptr);

    [[nodiscard]] bool isExportingPDF() const override { return false; }
    [[nodiscard]] bool isWindowMaximized() const override { return m_isWindowMaximized; }
    void setWindowMaximized(bool maximized) override { m_isWindowMaximized = maximized; }
    [[nodiscard]] AppScreen screen() const override { return AppScreen::login; }
    [[nodiscard]] bool studyTransparencyEnabled() const override { return m_studyTransparencyEnabled; }
    [[nodiscard]] bool hoverAutoHideEnabled() const override { return m_hoverAutoHideEnabled; }
    void setHoverAutoHideEnabled(bool enabled);
    void publishZoomFeedback(double scale) override;
    void flushTransparentInkColor() override { }
    bool handleQuestionNavigationKey(quint16) override { return false; }
    bool handleQuestionShortcut(const QString &) override { return false; }

    [[nodiscard]] double lastZoomFeedback() const { return m_lastZoomFeedback; }
    [[nodiscard]] int zoomFeedbackCount() const { return m_zoomFeedbackCount; }

private:
    SettingsStore &m_store;
    bool m_isWindowMaximized = false;
    bool m_studyTransparencyEnabled = false;
    bool m_hoverAutoHideEnabled = false;
    double m_lastZoomFeedback = 1.0;
    int m_zoomFeedbackCount = 0;
};
