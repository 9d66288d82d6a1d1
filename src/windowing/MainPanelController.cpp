#include "MainPanelController.h"

#include "WindowGeometryManager.h"
#include "WindowMath.h"
#include "models/QuestionKeyboardShortcuts.h"

#include <cmath>
#include <limits>

namespace {

using Flag = KeyEventInfo::ModifierFlag;

bool anyOf(const KeyEventInfo &event, KeyEventInfo::ModifierFlags flags)
{
    return (event.modifierFlags & flags) != KeyEventInfo::ModifierFlags();
}

} // namespace

MainPanelController::MainPanelController(std::shared_ptr<PanelPort> panel, const HoverSettings &settings,
                                         ShellModel *model, Environment environment, QObject *parent)
    : QObject(parent)
    , m_panel(std::move(panel))
    , m_model(model)
    , m_env(environment)
{
    Q_UNUSED(settings)
    Q_ASSERT(m_env.store);
    m_uiScale = WindowGeometryManager::savedScale(*m_env.store);
    m_baseWindowSize = WindowGeometryManager::savedBaseSize(*m_env.store);
    applyMinimumSizeRule();
    m_panel->setContentScale(m_uiScale);

    if (m_model) {
        connect(m_model, &ShellModel::isExportingPDFChanged, this, [this] {
            if (m_model)
                applyExportRule(m_model->isExportingPDF());
        });
        connect(m_model, &ShellModel::screenChanged, this, &MainPanelController::applyShadowRule);
        connect(m_model, &ShellModel::studyTransparencyEnabledChanged, this, &MainPanelController::applyShadowRule);
        // Both rules take the current values at once, before any callback is set.
        applyExportRule(m_model->isExportingPDF());
        applyShadowRule();
    }
}

MainPanelController::~MainPanelController() = default;

bool MainPanelController::modelSaysMaximized() const
{
    return m_model && m_model->isWindowMaximized();
}

void MainPanelController::beginInteraction(SuspensionReason reason)
{
    if (onBeginInteraction)
        onBeginInteraction(reason);
}

void MainPanelController::endInteraction(SuspensionReason reason)
{
    if (onEndInteraction)
        onEndInteraction(reason);
}

void MainPanelController::windowRegionChanged()
{
    if (onWindowRegionChanged)
        onWindowRegionChanged();
}

QRectF MainPanelController::currentWorkArea() const
{
    if (const auto visible = m_panel->screenVisibleFrame())
        return *visible;
    const QRectF frame = m_panel->frame();
    const QList<ScreenInfo> screens = m_env.screens ? m_env.screens->screens() : QList<ScreenInfo>();
    if (screens.isEmpty())
        return frame;
    const QPointF centre = frame.center();
    std::optional<ScreenInfo> nearest;
    double nearestDistance = std::numeric_limits<double>::infinity();
    for (const ScreenInfo &screen : screens) {
        const QPointF d = screen.frame.center() - centre;
        const double distance = std::hypot(d.x(), d.y());
        // Ties keep the earlier screen.
        if (!nearest || distance < nearestDistance) {
            nearest = screen;
            nearestDistance = distance;
        }
    }
    return nearest->visibleFrame;
}

void MainPanelController::applyMinimumSizeRule()
{
    m_panel->setMinimumSize(WindowMath::minimumPanelSize(m_uiScale, currentWorkArea().size()));
}

void MainPanelController::applyExportRule(bool exporting)
{
    if (m_lastExporting == exporting)
        return;
    m_lastExporting = exporting;
    m_panel->setResizingEnabled(!exporting && !modelSaysMaximized());
    if (exporting)
        beginInteraction(SuspensionReason::modalPresented);
    else
        endInteraction(SuspensionReason::modalPresented);
}

void MainPanelController::applyShadowRule()
{
    if (!m_model)
        return;
    const AppScreen screen = m_model->screen();
    const bool transparentLook
        = m_model->studyTransparencyEnabled() && screen != AppScreen::login && screen != AppScreen::purchase;
    m_panel->setHasShadow(!transparentLook);
}

void MainPanelController::setScale(double scale)
{
    if (m_model && m_model->isExportingPDF())
        return;
    const double s = WindowMath::normalizedZoom(scale);
    if (m_model)
        m_model->publishZoomFeedback(s);
    if (s == m_uiScale)
        return;

    const QRectF area = currentWorkArea();
    const QRectF anchor = m_restoredFrame.value_or(m_panel->frame());
    beginInteraction(SuspensionReason::windowResizing);
    m_applyingGeometry = true;
    m_uiScale = s;
    m_panel->setContentScale(s);
    Q_EMIT uiScaleChanged();
    applyMinimumSizeRule();

    // The top-left corner stays where it was.
    const QRectF candidate(anchor.left(), anchor.top(), m_baseWindowSize.width() * s, m_baseWindowSize.height() * s);
    const QRectF fitted = WindowGeometryManager::fittedFrame(candidate, area);
    if (modelSaysMaximized())
        m_restoredFrame = fitted;
    else
        m_panel->setFrame(fitted);
    WindowGeometryManager::persistWindowSize(m_baseWindowSize, s, *m_env.store);
    m_applyingGeometry = false;
    windowRegionChanged();
    endInteraction(SuspensionReason::windowResizing);
}

void MainPanelController::toggleMaximize()
{
    if (!m_model || m_model->isExportingPDF())
        return;
    beginInteraction(SuspensionReason::windowResizing);
    if (m_model->isWindowMaximized() && m_restoredFrame) {
        m_model->setWindowMaximized(false);
        m_panel->setMovable(true);
        m_panel->setResizingEnabled(true);
        applyMinimumSizeRule();
        m_panel->setFrame(WindowGeometryManager::fittedFrame(*m_restoredFrame, currentWorkArea()));
        m_restoredFrame.reset();
    } else {
        const QRectF area = currentWorkArea();
        m_restoredFrame = m_panel->frame();
        m_model->setWindowMaximized(true);
        m_panel->setMovable(false);
        m_panel->setResizingEnabled(false);
        m_panel->setFrame(area);
    }
    windowRegionChanged();
    endInteraction(SuspensionReason::windowResizing);
}

void MainPanelController::persistNormalWindowSize()
{
    if (m_applyingGeometry)
        return;
    if (m_model && m_model->isWindowMaximized())
        return;
    m_baseWindowSize = WindowMath::baseSizeForFrame(m_panel->frame().size(), m_uiScale);
    WindowGeometryManager::persistWindowSize(m_baseWindowSize, m_uiScale, *m_env.store);
}

bool MainPanelController::handleScaleShortcut(const KeyEventInfo &event)
{
    if (!event.modifierFlags.testFlag(Flag::Command) || anyOf(event, Flag::Control | Flag::Option))
        return false;
    const QString characters = event.charactersIgnoringModifiers;
    if (characters == QLatin1String("0")) {
        setScale(1.0);
        return true;
    }
    if (characters == QLatin1String("+") || characters == QLatin1String("=") || event.keyCode == keypadPlusKeyCode) {
        setScale(m_uiScale + zoomStep);
        return true;
    }
    if (characters == QLatin1String("-") || event.keyCode == keypadMinusKeyCode) {
        setScale(m_uiScale - zoomStep);
        return true;
    }
    return false;
}

bool MainPanelController::routeKeyDown(const KeyEventInfo &event)
{
    // Before the repeat test: holding a zoom key zooms on every repeat.
    if (handleScaleShortcut(event))
        return true;
    if (event.isRepeat)
        return false;
    if (!anyOf(event, Flag::Control | Flag::Option | Flag::Command) && m_model && event.keyCode >= 0
        && event.keyCode <= 0xFFFF) {
        if (m_model->handleQuestionNavigationKey(quint16(event.keyCode)))
            return true;
    }
    if (const auto identifier = QuestionShortcutKey::identifier(event))
        return m_model && m_model->handleQuestionShortcut(*identifier);
    return false;
}

void MainPanelController::requestActivation()
{
    m_panel->makeKey();
}

void MainPanelController::minimize()
{
    m_panel->minimize();
}

void MainPanelController::changeScale(double delta)
{
    setScale(m_uiScale + delta);
}

void MainPanelController::resetScale()
{
    setScale(1.0);
}

void MainPanelController::close()
{
    if (onRequestClose)
        onRequestClose();
}

void MainPanelController::rootBeginInteraction(SuspensionReason reason)
{
    if (reason == SuspensionReason::windowResizing)
        ++m_ownResizes;
    beginInteraction(reason);
}

void MainPanelController::rootEndInteraction(SuspensionReason reason)
{
    if (reason == SuspensionReason::windowResizing) {
        if (m_ownResizes > 0)
            --m_ownResizes;
        persistNormalWindowSize();
        windowRegionChanged();
    }
    endInteraction(reason);
}

void MainPanelController::gripDragBegan()
{
    ++m_ownResizes;
    beginInteraction(SuspensionReason::windowResizing);
}

void MainPanelController::gripDragEnded()
{
    if (m_ownResizes > 0)
        --m_ownResizes;
    persistNormalWindowSize();
    windowRegionChanged();
    endInteraction(SuspensionReason::windowResizing);
}

void MainPanelController::windowWillMove()
{
    beginInteraction(SuspensionReason::windowMoving);
}

void MainPanelController::windowDidMove()
{
    windowRegionChanged();
    endInteraction(SuspensionReason::windowMoving);
}

void MainPanelController::windowWillStartLiveResize()
{
    m_liveResizing = true;
    beginInteraction(SuspensionReason::windowResizing);
}

QSizeF MainPanelController::windowWillResize(const QSizeF &current, const QSizeF &proposed) const
{
    if (m_liveResizing && (modelSaysMaximized() || (m_model && m_model->isExportingPDF())))
        return current;
    return proposed;
}

void MainPanelController::windowDidEndLiveResize()
{
    m_liveResizing = false;
    persistNormalWindowSize();
    windowRegionChanged();
    endInteraction(SuspensionReason::windowResizing);
}

void MainPanelController::windowDidResize()
{
    windowRegionChanged();
}

void MainPanelController::windowIsMoving()
{
    windowRegionChanged();
}

void MainPanelController::windowDidChangeScreen()
{
    applyMinimumSizeRule();
    if (modelSaysMaximized()) {
        if (const auto visible = m_panel->screenVisibleFrame())
            m_panel->setFrame(*visible);
    }
    windowRegionChanged();
}

void MainPanelController::screenParametersChanged()
{
    if (m_stopped)
        return;
    applyMinimumSizeRule();
    const QRectF area = currentWorkArea();
    const QRectF frame = modelSaysMaximized() ? area : WindowGeometryManager::fittedFrame(m_panel->frame(), area);
    m_panel->setFrame(frame);
    windowRegionChanged();
}

void MainPanelController::stop()
{
    m_stopped = true;
}
