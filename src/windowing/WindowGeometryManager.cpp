#include "WindowGeometryManager.h"

#include "WindowMath.h"

#include <algorithm>
#include <cmath>

namespace {

// Any stored number counts; other kinds (strings, data, booleans) do not.
std::optional<double> storedDouble(const SettingsStore &store, const QString &key)
{
    const QVariant value = store.object(key);
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toDouble();
    default:
        return std::nullopt;
    }
}

double baseComponent(const std::optional<double> &stored, double fallback, double minimum)
{
    const double value = stored.value_or(fallback);
    if (!std::isfinite(value))
        return fallback;
    return std::max(value, minimum);
}

} // namespace

WindowGeometryManager::WindowGeometryManager(std::weak_ptr<PanelPort> panel, const QRectF &targetFrame,
                                             double exitTolerance)
    : m_panel(std::move(panel))
    , m_targetFrame(targetFrame)
    , m_exitTolerance(exitTolerance)
{
}

void WindowGeometryManager::refreshWindowRegion()
{
    const auto panel = m_panel.lock();
    if (!panel || !panel->isVisible())
        return;
    const QRectF frame = panel->frame();
    if (frame.width() > 0 && frame.height() > 0)
        m_targetFrame = frame;
}

QSizeF WindowGeometryManager::savedBaseSize(const SettingsStore &store)
{
    return {baseComponent(storedDouble(store, widthKey), defaultWidth, WindowMath::baseMinimumWidth),
            baseComponent(storedDouble(store, heightKey), defaultHeight, WindowMath::baseMinimumHeight)};
}

double WindowGeometryManager::savedScale(const SettingsStore &store)
{
    return WindowMath::normalizedZoom(storedDouble(store, scaleKey).value_or(1.0));
}

QRectF WindowGeometryManager::initialFrameNearMouse(const std::optional<QPointF> &pointer, const ScreenList &screens,
                                                    const SettingsStore &store)
{
    std::optional<QRectF> area;
    if (pointer) {
        for (const ScreenInfo &screen : screens.screens()) {
            if (WindowMath::halfOpenContains(screen.frame, *pointer)) {
                area = screen.visibleFrame;
                break;
            }
        }
    }
    if (!area) {
        if (const auto main = screens.mainScreen())
            area = main->visibleFrame;
    }
    const QRectF workArea = area.value_or(fallbackWorkArea);

    const QSizeF base = savedBaseSize(store);
    const double scale = savedScale(store);
    const double width = std::min(base.width() * scale, workArea.width());
    const double height = std::min(base.height() * scale, workArea.height());

    // Without a known pointer the panel opens in the middle of the work area.
    const QPointF centre = pointer.value_or(workArea.center());
    double x = centre.x() - width / 2;
    double y = centre.y() - height / 2;
    x = std::max(x, workArea.left());
    if (x > workArea.right() - width)
        x = workArea.right() - width;
    y = std::max(y, workArea.top());
    if (y > workArea.bottom() - height)
        y = workArea.bottom() - height;
    return {x, y, width, height};
}

QRectF WindowGeometryManager::fittedFrame(const QRectF &frame, const QRectF &area)
{
    const double width = std::min(frame.width(), area.width());
    const double height = std::min(frame.height(), area.height());
    const double x = std::min(std::max(frame.left(), area.left()), area.right() - width);
    const double y = std::min(std::max(frame.top(), area.top()), area.bottom() - height);
    return {x, y, width, height};
}

void WindowGeometryManager::persistWindowSize(const QSizeF &size, double scale, SettingsStore &store)
{
    if (!std::isfinite(size.width()) || !std::isfinite(size.height()))
        return;
    store.setValue(widthKey, std::max(WindowMath::baseMinimumWidth, size.width()));
    store.setValue(heightKey, std::max(WindowMath::baseMinimumHeight, size.height()));
    store.setValue(scaleKey, WindowMath::normalizedZoom(scale));
}
