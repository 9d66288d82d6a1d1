#pragma once

#include "ShellPorts.h"

#include <QDeadlineTimer>
#include <QPoint>
#include <optional>

struct xcb_connection_t;

// The global pointer and the primary button from one X11 round trip. On other
// platforms there is no reliable global pointer, and none is reported.
//
// On XWayland the X server knows the pointer only while it is over one of its
// own windows; over a native Wayland window it keeps the last place it saw.
// There, a pointer over no X window is reported as elsewhere, and an
// invisible window of our own over a hidden panel's place (the return watch)
// lets the server see the pointer arrive there.
class XcbPointerSource final : public PointerSource, public PointerReturnWatch
{
public:
    XcbPointerSource();
    ~XcbPointerSource() override;
    XcbPointerSource(const XcbPointerSource &) = delete;
    XcbPointerSource &operator=(const XcbPointerSource &) = delete;

    [[nodiscard]] std::optional<QPointF> position() const override;
    [[nodiscard]] bool isPrimaryButtonPressed() const override;
    [[nodiscard]] Reading read() const override;

    void watch(const QRectF &region) override;
    void stopWatching() override;

    [[nodiscard]] bool isXWayland() const { return m_xwayland; }
    // The invisible window while it is on screen (for tests), else 0.
    [[nodiscard]] quint32 watchWindow() const { return m_watchMapped ? m_watchWindow : 0; }

private:
    struct Sample
    {
        QPointF position;
        bool primaryPressed = false;
        bool overNoWindow = false;
        QPoint native;
    };
    [[nodiscard]] std::optional<Sample> query() const;
    [[nodiscard]] bool createWatchWindow();

    // A connection of its own: a round trip on the program's connection would
    // also wake the toolkit's event reader, at ten times the cost per poll.
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
    bool m_xwayland = false;
    quint32 m_watchWindow = 0;
    bool m_watchMapped = false;
    // XWayland's last place for a pointer that went over native windows. A
    // window mapped there (the panel, the watch) makes the server report the
    // pointer in it, at that same place, though it never came back.
    mutable std::optional<QPoint> m_stalePlace;
    // Where the pointer was last seen for real, and, for a moment after the
    // watch that saw it come back is gone, that place: the panel maps there
    // a moment later, and the server reports the pointer over no window in
    // between though it never left.
    mutable std::optional<QPoint> m_seenPlace;
    mutable std::optional<QPoint> m_handOverPlace;
    QDeadlineTimer m_handOverEnd;
};
