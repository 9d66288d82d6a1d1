// The application model as the window shell sees it: a thin adapter over
// AppModel that forwards its change signals and the few calls the shell makes.
#include "shell/AppDelegateModel.h"

#include "app/AppModel.h"

namespace {

class AppModelShellAdapter final : public ShellModel
{
public:
    AppModelShellAdapter()
        : m_model(new AppModel(this))
    {
        connect(m_model, &AppModel::isExportingPDFChanged, this, &ShellModel::isExportingPDFChanged);
        connect(m_model, &AppModel::screenChanged, this, &ShellModel::screenChanged);
        connect(m_model, &AppModel::studyTransparencyEnabledChanged, this,
                &ShellModel::studyTransparencyEnabledChanged);
        connect(m_model, &AppModel::hoverAutoHideEnabledChanged, this, &ShellModel::hoverAutoHideEnabledChanged);
    }

    bool isExportingPDF() const override { return m_model->isExportingPDF(); }
    bool isWindowMaximized() const override { return m_model->isWindowMaximized(); }
    void setWindowMaximized(bool maximized) override { m_model->setIsWindowMaximized(maximized); }
    AppScreen screen() const override { return m_model->screen(); }
    bool studyTransparencyEnabled() const override { return m_model->studyTransparencyEnabled(); }
    bool hoverAutoHideEnabled() const override { return m_model->hoverAutoHideEnabled(); }
    void publishZoomFeedback(double scale) override
    {
        ZoomFeedback feedback;
        feedback.scale = scale;
        m_model->setZoomFeedback(feedback);
    }
    void flushTransparentInkColor() override { m_model->flushTransparentInkColor(); }
    bool handleQuestionNavigationKey(quint16 keyCode) override { return m_model->handleQuestionNavigationKey(keyCode); }
    bool handleQuestionShortcut(const QString &key) override { return m_model->handleQuestionShortcut(key); }
    AppModel *viewModel() override { return m_model; }

private:
    AppModel *m_model;
};

} // namespace

std::unique_ptr<ShellModel> makeAppShellModel(SettingsStore &store)
{
    // The model keeps its settings in the user-defaults store itself.
    Q_UNUSED(store)
    return std::make_unique<AppModelShellAdapter>();
}
