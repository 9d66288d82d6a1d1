#pragma once

#include "app/TransparentAppearanceScale.h"
#include "app/TransparentInkPalette.h"
#include "models/Enums.h"

#include <QObject>
#include <QString>
#include <QStringList>
#include <QUuid>
#include <QVariant>
#include <QVariantMap>

#include <algorithm>
#include <cmath>

// A stand-in for the application model with the published properties and
// operations the root view uses. Like the model it announces every
// assignment and mirrors the ink, the level and the active flag into the
// process-wide palette values.
class FakeAppModel : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int screen READ screen WRITE setScreen NOTIFY screenChanged)
    Q_PROPERTY(bool studyTransparencyEnabled READ studyTransparencyEnabled WRITE setStudyTransparencyEnabled NOTIFY studyTransparencyEnabledChanged)
    Q_PROPERTY(bool hoverAutoHideEnabled MEMBER m_hoverAutoHideEnabled NOTIFY hoverAutoHideEnabledChanged)
    Q_PROPERTY(double transparentAppearanceLevel READ transparentAppearanceLevel WRITE setTransparentAppearanceLevel NOTIFY transparentAppearanceLevelChanged)
    Q_PROPERTY(QString transparentInkHex READ transparentInkHex WRITE setTransparentInkHexProperty NOTIFY transparentInkHexChanged)
    Q_PROPERTY(double transparentInkIntensity READ transparentInkIntensity WRITE setTransparentInkIntensityValue NOTIFY transparentInkIntensityChanged)
    Q_PROPERTY(bool isLoading MEMBER m_isLoading NOTIFY isLoadingChanged)
    Q_PROPERTY(bool isExportingPDF MEMBER m_isExportingPDF NOTIFY isExportingPDFChanged)
    Q_PROPERTY(QString pdfExportProgress MEMBER m_pdfExportProgress NOTIFY pdfExportProgressChanged)
    Q_PROPERTY(bool isWindowMaximized MEMBER m_isWindowMaximized NOTIFY isWindowMaximizedChanged)
    Q_PROPERTY(QVariant errorMessage MEMBER m_errorMessage NOTIFY errorMessageChanged)
    Q_PROPERTY(QVariant noticeMessage MEMBER m_noticeMessage NOTIFY noticeMessageChanged)
    Q_PROPERTY(QVariant zoomFeedback MEMBER m_zoomFeedback NOTIFY zoomFeedbackChanged)
    Q_PROPERTY(bool hasVisitedPracticeHistory MEMBER m_hasVisitedPracticeHistory NOTIFY hasVisitedPracticeHistoryChanged)
    Q_PROPERTY(QVariantMap selectedExamBank MEMBER m_selectedExamBank NOTIFY selectedExamBankChanged)
    Q_PROPERTY(QObject *practiceHistory READ practiceHistory CONSTANT)

public:
    explicit FakeAppModel(QObject *parent = nullptr)
        : QObject(parent)
    {
        TransparentInkPalette::setActive(false);
        TransparentInkPalette::setCurrentHex(m_inkHex);
        TransparentInkPalette::setCurrentIntensity(m_inkIntensity);
        TransparentAppearanceScale::setCurrentValue(m_level);
        // MEMBER properties announce only changes; the model announces every
        // assignment, which matters for nothing the views check here.
    }

    [[nodiscard]] int screen() const { return m_screen; }
    void setScreen(int screen)
    {
        m_screen = screen;
        updateActive();
        Q_EMIT screenChanged();
    }
    void setScreen(AppScreen screen) { setScreen(int(screen)); }

    [[nodiscard]] bool studyTransparencyEnabled() const { return m_studyTransparencyEnabled; }
    void setStudyTransparencyEnabled(bool enabled)
    {
        m_studyTransparencyEnabled = enabled;
        updateActive();
        Q_EMIT studyTransparencyEnabledChanged();
    }

    [[nodiscard]] double transparentAppearanceLevel() const { return m_level; }
    void setTransparentAppearanceLevel(double level)
    {
        m_level = level;
        TransparentAppearanceScale::setCurrentValue(level);
        ++levelWrites;
        Q_EMIT transparentAppearanceLevelChanged();
    }

    [[nodiscard]] QString transparentInkHex() const { return m_inkHex; }
    void setTransparentInkHexProperty(const QString &hex)
    {
        m_inkHex = hex;
        TransparentInkPalette::setCurrentHex(hex);
        Q_EMIT transparentInkHexChanged();
    }

    [[nodiscard]] double transparentInkIntensity() const { return m_inkIntensity; }
    void setTransparentInkIntensityValue(double intensity)
    {
        m_inkIntensity = intensity;
        TransparentInkPalette::setCurrentIntensity(intensity);
        Q_EMIT transparentInkIntensityChanged();
    }

    [[nodiscard]] QObject *practiceHistory() const { return nullptr; }

    void showZoom(double scale)
    {
        m_zoomFeedback = QVariantMap{{QStringLiteral("id"), QUuid::createUuid()}, {QStringLiteral("scale"), scale}};
        Q_EMIT zoomFeedbackChanged();
    }

    Q_INVOKABLE void setTransparentInkHex(const QString &hex)
    {
        calls << QStringLiteral("setTransparentInkHex:") + hex;
        const auto normalized = TransparentInkPalette::normalizedHex(hex);
        if (!normalized)
            return;
        setTransparentInkHexProperty(*normalized);
    }
    // Like the model: clamps, assigns and schedules the debounced save.
    Q_INVOKABLE void setTransparentInkIntensity(double intensity)
    {
        if (!std::isfinite(intensity))
            return;
        setTransparentInkIntensityValue(std::clamp(intensity, 0.1, 1.0));
        calls << QStringLiteral("schedule");
    }
    Q_INVOKABLE void flushTransparentInkColor() { calls << QStringLiteral("flush"); }
    Q_INVOKABLE void restoreDefaultTransparentInk()
    {
        calls << QStringLiteral("restoreDefault");
        setTransparentInkHexProperty(QStringLiteral("#212636"));
        setTransparentInkIntensityValue(1.0);
    }

    QStringList calls;
    int levelWrites = 0;

Q_SIGNALS:
    void screenChanged();
    void studyTransparencyEnabledChanged();
    void hoverAutoHideEnabledChanged();
    void transparentAppearanceLevelChanged();
    void transparentInkHexChanged();
    void transparentInkIntensityChanged();
    void isLoadingChanged();
    void isExportingPDFChanged();
    void pdfExportProgressChanged();
    void isWindowMaximizedChanged();
    void errorMessageChanged();
    void noticeMessageChanged();
    void zoomFeedbackChanged();
    void hasVisitedPracticeHistoryChanged();
    void selectedExamBankChanged();

private:
    void updateActive()
    {
        TransparentInkPalette::setActive(m_studyTransparencyEnabled && m_screen != int(AppScreen::login)
                                         && m_screen != int(AppScreen::purchase));
    }

    int m_screen = int(AppScreen::home);
    bool m_studyTransparencyEnabled = false;
    bool m_hoverAutoHideEnabled = false;
    double m_level = 1.0;
    QString m_inkHex = QStringLiteral("#212636");
    double m_inkIntensity = 1.0;
    bool m_isLoading = false;
    bool m_isExportingPDF = false;
    QString m_pdfExportProgress;
    bool m_isWindowMaximized = false;
    QVariant m_errorMessage;
    QVariant m_noticeMessage;
    QVariant m_zoomFeedback;
    bool m_hasVisitedPracticeHistory = false;
    QVariantMap m_selectedExamBank{{QStringLiteral("id"), QStringLiteral("bank-1")},
                                   {QStringLiteral("name"), QStringLiteral("题库")},
                                   {QStringLiteral("isShow"), 1}};
};
