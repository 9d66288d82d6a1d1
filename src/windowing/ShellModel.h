#pragma once

#include "models/Enums.h"

#include <QObject>

class AppModel;
#include <QString>

// What the window shell needs of the application model. The application
// model offers it through a small adapter, so the shell depends on nothing
// else of the model; tests use a fake.
class ShellModel : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    ~ShellModel() override = default;

    [[nodiscard]] virtual bool isExportingPDF() const = 0;
    [[nodiscard]] virtual bool isWindowMaximized() const = 0;
    // Written only by the panel controller's maximize and restore.
    virtual void setWindowMaximized(bool maximized) = 0;
    [[nodiscard]] virtual AppScreen screen() const = 0;
    [[nodiscard]] virtual bool studyTransparencyEnabled() const = 0;
    [[nodiscard]] virtual bool hoverAutoHideEnabled() const = 0;
    // Publishes a new zoom feedback value (a new identity each time) for the zoom indicator.
    virtual void publishZoomFeedback(double scale) = 0;
    // Saves a pending ink colour and intensity at once.
    virtual void flushTransparentInkColor() = 0;
    // true = the key was consumed.
    virtual bool handleQuestionNavigationKey(quint16 keyCode) = 0;
    virtual bool handleQuestionShortcut(const QString &key) = 0;
    // The model QML reaches as its AppModel singleton; none while there is no full model.
    [[nodiscard]] virtual AppModel *viewModel() { return nullptr; }

Q_SIGNALS:
    void isExportingPDFChanged();
    void screenChanged();
    void studyTransparencyEnabledChanged();
    void hoverAutoHideEnabledChanged();
};
