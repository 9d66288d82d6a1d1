#pragma once

#include "ShellPorts.h"

struct xcb_connection_t;

// The global pointer and the primary button from one X11 round trip. On other
// platforms there is no reliable global pointer, and none is reported.
class XcbPointerSource final : public PointerSource
{
public:
    XcbPointerSource();
    ~XcbPointerSource() override;
    XcbPointerSource(const XcbPointerSource &) = delete;
    XcbPointerSource &operator=(const XcbPointerSource &) = delete;

    [[nodiscard]] std::optional<QPointF> position() const override;
    [[nodiscard]] bool isPrimaryButtonPressed() const override;

private:
    struct Sample
    {
        QPointF position;
        bool primaryPressed = false;
    };
    [[nodiscard]] std::optional<Sample> query() const;

    // A connection of its own: a round trip on the program's connection would
    // also wake the toolkit's event reader, at ten times the cost per poll.
    xcb_connection_t *m_connection = nullptr;
    quint32 m_root = 0;
};
