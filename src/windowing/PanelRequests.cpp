#include "PanelRequests.h"

#include "MainPanelController.h"
#include "PanelWindow.h"

#include <optional>

namespace {

std::optional<SuspensionReason> reasonNamed(const QString &name)
{
    static const QHash<QString, SuspensionReason> reasons{
        {QStringLiteral("windowMoving"), SuspensionReason::windowMoving},
        {QStringLiteral("windowResizing"), SuspensionReason::windowResizing},
        {QStringLiteral("textEditing"), SuspensionReason::textEditing},
        {QStringLiteral("menuPresented"), SuspensionReason::menuPresented},
        {QStringLiteral("popupPresented"), SuspensionReason::popupPresented},
        {QStringLiteral("dragAndDrop"), SuspensionReason::dragAndDrop},
        {QStringLiteral("modalPresented"), SuspensionReason::modalPresented},
        {QStringLiteral("manualPause"), SuspensionReason::manualPause},
    };
    const auto it = reasons.constFind(name);
    if (it == reasons.constEnd())
        return std::nullopt;
    return *it;
}

std::optional<SuspensionReason> reasonNumbered(int value)
{
    if (value < int(SuspensionReason::windowMoving) || value > int(SuspensionReason::manualPause))
        return std::nullopt;
    return SuspensionReason(value);
}

} // namespace

PanelRequests::PanelRequests(PanelWindow *window, QObject *parent)
    : QObject(parent)
    , m_window(window)
{
}

void PanelRequests::setController(MainPanelController *controller)
{
    if (m_controller)
        disconnect(m_controller, nullptr, this, nullptr);
    m_controller = controller;
    if (m_controller)
        connect(m_controller, &MainPanelController::uiScaleChanged, this, &PanelRequests::uiScaleChanged);
    Q_EMIT uiScaleChanged();
}

double PanelRequests::uiScale() const
{
    return m_controller ? m_controller->uiScale() : 1.0;
}

bool PanelRequests::isMovable() const
{
    return m_window && m_window->isMovable();
}

bool PanelRequests::hasShadow() const
{
    return m_window && m_window->hasShadow();
}

void PanelRequests::requestActivation()
{
    if (m_controller)
        m_controller->requestActivation();
}

void PanelRequests::minimize()
{
    if (m_controller)
        m_controller->minimize();
}

void PanelRequests::toggleMaximize()
{
    if (m_controller)
        m_controller->toggleMaximize();
}

void PanelRequests::changeScale(double delta)
{
    if (m_controller)
        m_controller->changeScale(delta);
}

void PanelRequests::resetScale()
{
    if (m_controller)
        m_controller->resetScale();
}

void PanelRequests::close()
{
    if (m_controller)
        m_controller->close();
}

void PanelRequests::beginInteraction(const QString &reason)
{
    if (const auto r = reasonNamed(reason); r && m_controller)
        m_controller->rootBeginInteraction(*r);
}

void PanelRequests::endInteraction(const QString &reason)
{
    if (const auto r = reasonNamed(reason); r && m_controller)
        m_controller->rootEndInteraction(*r);
}

void PanelRequests::beginInteractionReason(int reason)
{
    if (const auto r = reasonNumbered(reason); r && m_controller)
        m_controller->rootBeginInteraction(*r);
}

void PanelRequests::endInteractionReason(int reason)
{
    if (const auto r = reasonNumbered(reason); r && m_controller)
        m_controller->rootEndInteraction(*r);
}

void PanelRequests::connectRootView(QObject *rootView)
{
    if (!rootView)
        return;
    const QMetaObject *meta = rootView->metaObject();
    const auto link = [&](const char *signal, const char *slot) {
        const int signalIndex = meta->indexOfSignal(QMetaObject::normalizedSignature(signal).constData());
        const int slotIndex = metaObject()->indexOfSlot(QMetaObject::normalizedSignature(slot).constData());
        if (signalIndex >= 0 && slotIndex >= 0)
            QObject::connect(rootView, meta->method(signalIndex), this, metaObject()->method(slotIndex));
    };
    link("activationRequested()", "requestActivation()");
    link("minimizeRequested()", "minimize()");
    link("toggleMaximizeRequested()", "toggleMaximize()");
    link("changeScaleRequested(double)", "changeScale(double)");
    link("resetScaleRequested()", "resetScale()");
    link("closeRequested()", "close()");
    link("interactionBegan(int)", "beginInteractionReason(int)");
    link("interactionEnded(int)", "endInteractionReason(int)");
}

void PanelRequests::beginWindowDrag(QPointF globalPosition)
{
    if (m_window)
        m_window->beginWindowDrag(globalPosition);
}

void PanelRequests::dragWindow(QPointF globalPosition)
{
    if (m_window)
        m_window->dragWindow(globalPosition);
}

void PanelRequests::endWindowDrag()
{
    if (m_window)
        m_window->endWindowDrag();
}
