#include "XcbPointerSource.h"

#include <QGuiApplication>
#include <QProcessEnvironment>
#include <QScreen>
#include <QtGui/qguiapplication_platform.h>
#include <cmath>
#include <cstdlib>
#include <optional>
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

QRect toNative(const QRectF &logical)
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        const QRect geometry = screen->geometry();
        if (!QRectF(geometry).contains(logical.center()))
            continue;
        const double ratio = screen->devicePixelRatio();
        const QPointF origin = QPointF(geometry.topLeft()) + (logical.topLeft() - QPointF(geometry.topLeft())) * ratio;
        return QRect(QPoint(int(std::lround(origin.x())), int(std::lround(origin.y()))),
                     QSize(int(std::lround(logical.width() * ratio)), int(std::lround(logical.height() * ratio))));
    }
    return logical.toAlignedRect();
}

// XWayland names its outputs XWAYLAND0, XWAYLAND1, …; the session's variables
// say so too where the outputs are named otherwise.
bool runsOnXWayland()
{
    for (const QScreen *screen : QGuiApplication::screens()) {
        if (screen->name().startsWith(QLatin1String("XWAYLAND")))
            return true;
    }
    const QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    return !environment.value(QStringLiteral("WAYLAND_DISPLAY")).isEmpty()
        || environment.value(QStringLiteral("XDG_SESSION_TYPE")).compare(QLatin1String("wayland"), Qt::CaseInsensitive)
        == 0;
}

// Long enough for a window manager to map the panel that came back.
constexpr int handOverMs = 300;

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
    m_xwayland = runsOnXWayland();
}

XcbPointerSource::~XcbPointerSource()
{
    if (m_connection)
        xcb_disconnect(m_connection); // takes the watch window with it
}

std::optional<XcbPointerSource::Sample> XcbPointerSource::query() const
{
    if (!m_connection || !m_root || xcb_connection_has_error(m_connection))
        return std::nullopt;
    // The watch window's own events are not needed: the server's idea of the
    // pointer is what counts. They are dropped so they do not pile up.
    while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection))
        std::free(event);
    xcb_query_pointer_reply_t *reply
        = xcb_query_pointer_reply(m_connection, xcb_query_pointer(m_connection, m_root), nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint native(reply->root_x, reply->root_y);
    Sample sample{toLogical(native), (reply->mask & XCB_KEY_BUT_MASK_BUTTON_1) != 0, reply->child == XCB_NONE, native};
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

PointerSource::Reading XcbPointerSource::read() const
{
    const auto sample = query();
    if (!sample)
        return {};
    if (!m_xwayland)
        return {sample->position, false};
    // On a plain X server a pointer over no window is over the bare desktop,
    // at the place reported; on XWayland that place is stale.
    if (sample->overNoWindow) {
        if (m_handOverPlace == sample->native && !m_handOverEnd.hasExpired())
            return {sample->position, false};
        m_handOverPlace.reset();
        m_seenPlace.reset();
        m_stalePlace = sample->native;
        return {std::nullopt, true};
    }
    m_handOverPlace.reset();
    // A pointer that really came back moved to get there (by a pixel at least).
    if (m_stalePlace && *m_stalePlace == sample->native)
        return {std::nullopt, true};
    m_stalePlace.reset();
    m_seenPlace = sample->native;
    return {sample->position, false};
}

bool XcbPointerSource::createWatchWindow()
{
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen)
        return false;
    // A 32-bit visual whose background is fully transparent: the compositor
    // shows nothing of it, but routes the pointer to it like to any window.
    xcb_visualid_t visual = 0;
    for (auto depth = xcb_screen_allowed_depths_iterator(screen); depth.rem && !visual; xcb_depth_next(&depth)) {
        if (depth.data->depth != 32)
            continue;
        for (auto type = xcb_depth_visuals_iterator(depth.data); type.rem; xcb_visualtype_next(&type)) {
            if (type.data->_class == XCB_VISUAL_CLASS_TRUE_COLOR) {
                visual = type.data->visual_id;
                break;
            }
        }
    }
    if (!visual)
        return false;
    const xcb_colormap_t colormap = xcb_generate_id(m_connection);
    xcb_create_colormap(m_connection, XCB_COLORMAP_ALLOC_NONE, colormap, m_root, visual);
    m_watchWindow = xcb_generate_id(m_connection);
    // Override-redirect: no frame, no focus, not in any task list.
    const quint32 values[] = {0, 0, 1, XCB_EVENT_MASK_ENTER_WINDOW | XCB_EVENT_MASK_POINTER_MOTION, colormap};
    xcb_create_window(m_connection, 32, m_watchWindow, m_root, 0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT, visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_BORDER_PIXEL | XCB_CW_OVERRIDE_REDIRECT | XCB_CW_EVENT_MASK
                          | XCB_CW_COLORMAP,
                      values);
    return true;
}

void XcbPointerSource::watch(const QRectF &region)
{
    // A plain X server reports the pointer everywhere; an ARGB window there
    // without a compositor would even show as a black box.
    if (!m_xwayland || !m_connection || xcb_connection_has_error(m_connection) || region.isEmpty())
        return;
    if (!m_watchWindow && !createWatchWindow())
        return;
    const QRect native = toNative(region);
    const quint32 geometry[] = {quint32(native.x()), quint32(native.y()), quint32(native.width()),
                                quint32(native.height()), XCB_STACK_MODE_ABOVE};
    xcb_configure_window(m_connection, m_watchWindow,
                         XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y | XCB_CONFIG_WINDOW_WIDTH
                             | XCB_CONFIG_WINDOW_HEIGHT | XCB_CONFIG_WINDOW_STACK_MODE,
                         geometry);
    xcb_map_window(m_connection, m_watchWindow);
    xcb_flush(m_connection);
    m_watchMapped = true;
    m_handOverPlace.reset();
}

void XcbPointerSource::stopWatching()
{
    if (!m_watchMapped || !m_connection)
        return;
    xcb_unmap_window(m_connection, m_watchWindow);
    xcb_flush(m_connection);
    m_watchMapped = false;
    m_handOverPlace = m_seenPlace;
    m_handOverEnd.setRemainingTime(handOverMs);
}
