#include "X11WindowHints.h"

#include <QByteArray>
#include <QGuiApplication>
#include <QList>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <cstring>
#include <xcb/xcb.h>

namespace {

constexpr quint32 allDesktops = 0xFFFFFFFF;
constexpr quint32 stateAdd = 1;
constexpr quint32 sourceApplication = 1;

xcb_atom_t atom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, quint16(std::strlen(name)), name), nullptr);
    if (!reply)
        return XCB_ATOM_NONE;
    const xcb_atom_t result = reply->atom;
    std::free(reply);
    return result;
}

void sendToRoot(xcb_connection_t *connection, xcb_window_t root, xcb_window_t window, xcb_atom_t type,
                const quint32 (&data)[5])
{
    xcb_client_message_event_t message {};
    message.response_type = XCB_CLIENT_MESSAGE;
    message.format = 32;
    message.window = window;
    message.type = type;
    std::memcpy(message.data.data32, data, sizeof(data));
    xcb_send_event(connection, 0, root,
                   XCB_EVENT_MASK_SUBSTRUCTURE_REDIRECT | XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY,
                   reinterpret_cast<const char *>(&message));
}

xcb_connection_t *connectionFor(QWindow *window)
{
    auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    xcb_connection_t *connection = x11 ? x11->connection() : nullptr;
    if (!window || !connection || xcb_connection_has_error(connection))
        return nullptr;
    return connection;
}

} // namespace

void X11WindowHints::setCompositorShadow(QWindow *window, bool shadow)
{
    xcb_connection_t *connection = connectionFor(window);
    if (!connection)
        return;
    const xcb_atom_t property = atom(connection, "_COMPTON_SHADOW");
    if (property == XCB_ATOM_NONE)
        return;
    const quint32 value = shadow ? 1 : 0;
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, xcb_window_t(window->winId()), property, XCB_ATOM_CARDINAL,
                        32, 1, &value);
    xcb_flush(connection);
}

void X11WindowHints::setApplicationId(QWindow *window, const QString &applicationId)
{
    xcb_connection_t *connection = connectionFor(window);
    if (!connection)
        return;
    const auto id = xcb_window_t(window->winId());
    const QByteArray name = applicationId.toUtf8();
    // WM_CLASS is two strings, each ending in a zero byte.
    QByteArray instance = qgetenv("RESOURCE_NAME");
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 0, 256), nullptr);
    if (reply && reply->format == 8 && xcb_get_property_value_length(reply) > 0) {
        const QByteArray written(static_cast<const char *>(xcb_get_property_value(reply)),
                                 xcb_get_property_value_length(reply));
        instance = written.left(written.indexOf('\0'));
    }
    std::free(reply);
    if (instance.isEmpty())
        instance = name;
    const QByteArray wmClass = instance + '\0' + name + '\0';
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8,
                        quint32(wmClass.size()), wmClass.constData());
    const xcb_atom_t utf8 = atom(connection, "UTF8_STRING");
    for (const char *property : {"_KDE_NET_WM_DESKTOP_FILE", "_GTK_APPLICATION_ID"}) {
        const xcb_atom_t named = atom(connection, property);
        if (named != XCB_ATOM_NONE && utf8 != XCB_ATOM_NONE)
            xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, named, utf8, 8, quint32(name.size()),
                                name.constData());
    }
    xcb_flush(connection);
}

void X11WindowHints::joinAllWorkspaces(QWindow *window)
{
    xcb_connection_t *connection = connectionFor(window);
    if (!connection)
        return;
    const auto id = xcb_window_t(window->winId());
    const xcb_atom_t desktop = atom(connection, "_NET_WM_DESKTOP");
    const xcb_atom_t state = atom(connection, "_NET_WM_STATE");
    const xcb_atom_t sticky = atom(connection, "_NET_WM_STATE_STICKY");
    if (desktop == XCB_ATOM_NONE || state == XCB_ATOM_NONE || sticky == XCB_ATOM_NONE)
        return;

    // For the next map: the properties themselves.
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, desktop, XCB_ATOM_CARDINAL, 32, 1, &allDesktops);
    QList<xcb_atom_t> states;
    xcb_get_property_reply_t *reply
        = xcb_get_property_reply(connection, xcb_get_property(connection, 0, id, state, XCB_ATOM_ATOM, 0, 64), nullptr);
    if (reply && reply->format == 32 && reply->type == XCB_ATOM_ATOM) {
        const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply));
        for (int i = 0; i < xcb_get_property_value_length(reply) / 4; ++i)
            states.append(values[i]);
    }
    std::free(reply);
    if (!states.contains(sticky)) {
        states.append(sticky);
        xcb_change_property(connection, XCB_PROP_MODE_REPLACE, id, state, XCB_ATOM_ATOM, 32, quint32(states.size()),
                            states.constData());
    }

    // For a window that is already mapped: the window manager's messages.
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    sendToRoot(connection, root, id, desktop, {allDesktops, sourceApplication, 0, 0, 0});
    sendToRoot(connection, root, id, state, {stateAdd, sticky, 0, sourceApplication, 0});
    xcb_flush(connection);
}

std::optional<QPoint> X11WindowHints::rootPosition(QWindow *window)
{
    xcb_connection_t *connection = connectionFor(window);
    if (!connection || !window->handle())
        return std::nullopt;
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    xcb_translate_coordinates_reply_t *reply = xcb_translate_coordinates_reply(
        connection, xcb_translate_coordinates(connection, xcb_window_t(window->winId()), root, 0, 0), nullptr);
    if (!reply)
        return std::nullopt;
    const QPoint position(reply->dst_x, reply->dst_y);
    std::free(reply);
    return position;
}

void X11WindowHints::moveTo(QWindow *window, const QPoint &position)
{
    xcb_connection_t *connection = connectionFor(window);
    if (!connection || !window->handle())
        return;
    const quint32 values[] = {quint32(qint32(position.x())), quint32(qint32(position.y()))};
    xcb_configure_window(connection, xcb_window_t(window->winId()), XCB_CONFIG_WINDOW_X | XCB_CONFIG_WINDOW_Y, values);
    xcb_flush(connection);
}
