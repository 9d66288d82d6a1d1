#pragma once

#include "ShellPorts.h"

#include <QString>
#include <memory>

// Knows where the panel may be and how big it was left: remembers the panel's
// last usable frame (where a hidden panel comes back) and reads and writes the
// persisted base size and zoom.
class WindowGeometryManager
{
public:
    static inline const QString widthKey = QStringLiteral("main_window_width");
    static inline const QString heightKey = QStringLiteral("main_window_height");
    static inline const QString scaleKey = QStringLiteral("main_ui_scale");
    static constexpr double defaultWidth = 1060.0;
    static constexpr double defaultHeight = 740.0;
    // Used when there is no screen at all.
    static inline const QRectF fallbackWorkArea{80, 80, 1200, 800};

    WindowGeometryManager(std::weak_ptr<PanelPort> panel, const QRectF &targetFrame, double exitTolerance);

    // targetFrame becomes the panel's frame when the panel exists, is on
    // screen and has a non-empty frame; otherwise it keeps its value.
    void refreshWindowRegion();
    [[nodiscard]] QRectF targetFrame() const { return m_targetFrame; }
    [[nodiscard]] double exitTolerance() const { return m_exitTolerance; }

    [[nodiscard]] static QSizeF savedBaseSize(const SettingsStore &store);
    [[nodiscard]] static double savedScale(const SettingsStore &store);
    // The opening frame centred on the pointer, inside the work area of the
    // screen under it (the main screen when none is, or when the pointer is
    // unknown).
    [[nodiscard]] static QRectF initialFrameNearMouse(const std::optional<QPointF> &pointer, const ScreenList &screens,
                                                      const SettingsStore &store);
    // frame moved (and shrunk) only as far as needed to lie inside area.
    [[nodiscard]] static QRectF fittedFrame(const QRectF &frame, const QRectF &area);
    // Stores the base size (at least 450 x 600) and the normalised zoom; writes
    // nothing when the size is not finite.
    static void persistWindowSize(const QSizeF &size, double scale, SettingsStore &store);

private:
    std::weak_ptr<PanelPort> m_panel;
    QRectF m_targetFrame;
    const double m_exitTolerance;
};
