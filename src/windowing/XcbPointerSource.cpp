#include "XcbPointerSource.h"

#include <QGuiApplication>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>

namespace {

// Qt keeps each screen's top-left corner in device pixels and scales the rest
// by the screen's pixel ratio.
QPointF toLogical(const QPoint &native)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect logical = screen->geometry();
        const double ratio = screen->devicePixelRatio();
        const QRectF nativeRect(logical.topLeft(), QSizeF(logical.size()) * ratio);
        if (nativeRect.contains(native))
            return QPointF(logical.topLeft()) + (QPointF(native) - QPointF(logical.topLeft())) / ratio;
    }
    return QPointF(native);
}

} // namespace

XcbPointerSource::XcbPointerSource()
{
    // Only where the program itself runs on X11, on the same display.
    const bool onX11 = qGuiApp && qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
    if (!onX11)
        return;
    m_connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(m_connection)) {
        xcb_disconnect(m_connection);
        m_connection = nullptr;
        return;
    }
    if (const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data)
        m_root = screen->root;
}

XcbPointerSource::~XcbPointerSource()
{
    if (m_connection)
        xcb_disconnect(m_connection);
}

std::optional<XcbPointerSource::Sample> XcbPointerSource::query() const
{
    if (!m_connection || !m_root || xcb_connection_has_error(m_connection))
        return std::nullopt;
    xcb_query_pointer_reply_t *reply
        = xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
    if (!reply)
        return std::nullopt;
    Sample sample{toLogical(QPoint(reply->root_x, reply->root_y)), (reply->mask & XCB_KEY_BUT_MASK_BUTTON_1) != 0};
    const bool sameScreen = reply->same_screen;
    std::free(reply);
    if (!sameScreen)
        return std::nullopt;
    return sample;
}

std::optional<QPointF> XcbPointerSource::position() const
{
    const auto sample = query();
    if (!sample)
        return std::nullopt;
    return sample->position;
}

bool XcbPointerSource::isPrimaryButtonPressed() const
{
    const auto sample = query();
    return sample && sample->primaryPressed;
}
