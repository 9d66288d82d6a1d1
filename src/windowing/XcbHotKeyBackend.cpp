#include "XcbHotKeyBackend.h"

#include "HotKeyCodec.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>
#include <cstdlib>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

namespace {

constexpr quint16 shiftMask = XCB_MOD_MASK_SHIFT;
constexpr quint16 lockMask = XCB_MOD_MASK_LOCK;
constexpr quint16 controlMask = XCB_MOD_MASK_CONTROL;

constexpr quint32 altLeft = 0xffe9;
constexpr quint32 altRight = 0xffea;
constexpr quint32 superLeft = 0xffeb;
constexpr quint32 superRight = 0xffec;
constexpr quint32 numLock = 0xff7f;

struct KeySymbols
{
    explicit KeySymbols(xcb_connection_t *connection)
        : symbols(xcb_key_symbols_alloc(connection))
    {
    }
    ~KeySymbols()
    {
        if (symbols)
            xcb_key_symbols_free(symbols);
    }
    KeySymbols(const KeySymbols &) = delete;
    KeySymbols &operator=(const KeySymbols &) = delete;
    xcb_key_symbols_t *symbols;
};

xcb_connection_t *applicationConnection()
{
    auto *application = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return application ? application->connection() : nullptr;
}

} // namespace

XcbHotKeyBackend::XcbHotKeyBackend()
    : XcbHotKeyBackend(applicationConnection())
{
}

XcbHotKeyBackend::XcbHotKeyBackend(xcb_connection_t *connection)
    : m_connection(connection)
{
    if (m_connection) {
        m_masks = modifierMasks();
        m_roots = roots();
    }
}

XcbHotKeyBackend::~XcbHotKeyBackend()
{
    removeHandler();
    const auto grabs = m_grabs;
    for (const Grab &grab : grabs)
        ungrab(grab);
}

XcbHotKeyBackend::ModifierMasks XcbHotKeyBackend::modifierMasks() const
{
    ModifierMasks masks;
    xcb_get_modifier_mapping_reply_t *reply
        = xcb_get_modifier_mapping_reply(m_connection, xcb_get_modifier_mapping(m_connection), nullptr);
    if (!reply)
        return masks;
    KeySymbols symbols(m_connection);
    const xcb_keycode_t *keycodes = xcb_get_modifier_mapping_keycodes(reply);
    const int perModifier = reply->keycodes_per_modifier;
    bool altFound = false;
    bool superFound = false;
    bool numFound = false;
    // Modifiers 3 ... 7 are Mod1 ... Mod5; the first three are fixed.
    for (int modifier = 3; modifier < 8 && symbols.symbols; ++modifier) {
        const auto mask = quint16(1u << modifier);
        for (int i = 0; i < perModifier; ++i) {
            const xcb_keycode_t keycode = keycodes[modifier * perModifier + i];
            if (keycode == 0)
                continue;
            const xcb_keysym_t keysym = xcb_key_symbols_get_keysym(symbols.symbols, keycode, 0);
            if (!altFound && (keysym == altLeft || keysym == altRight)) {
                masks.alt = mask;
                altFound = true;
            } else if (!superFound && (keysym == superLeft || keysym == superRight)) {
                masks.super = mask;
                superFound = true;
            } else if (!numFound && keysym == numLock) {
                masks.numLock = mask;
                numFound = true;
            }
        }
    }
    std::free(reply);
    return masks;
}

QList<quint32> XcbHotKeyBackend::roots() const
{
    QList<quint32> result;
    for (auto it = xcb_setup_roots_iterator(xcb_get_setup(m_connection)); it.rem; xcb_screen_next(&it))
        result.append(it.data->root);
    return result;
}

bool XcbHotKeyBackend::isRoot(quint32 window) const
{
    return m_roots.contains(window);
}

quint16 XcbHotKeyBackend::relevantModifiers() const
{
    return shiftMask | controlMask | m_masks.alt | m_masks.super;
}

HotKeyBackend::Registration XcbHotKeyBackend::registerHotKey(quint32 keyCode, quint32 modifiers)
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return {unavailable, 0};
    const auto keysym = HotKeyCodec::keysymForKeyCode(keyCode);
    if (!keysym)
        return {unknownKey, 0};

    Grab grab;
    {
        KeySymbols symbols(m_connection);
        if (!symbols.symbols)
            return {unavailable, 0};
        xcb_keycode_t *keycodes = xcb_key_symbols_get_keycode(symbols.symbols, *keysym);
        for (xcb_keycode_t *k = keycodes; k && *k != XCB_NO_SYMBOL; ++k) {
            if (!grab.keycodes.contains(*k))
                grab.keycodes.append(*k);
        }
        std::free(keycodes);
    }
    if (grab.keycodes.isEmpty())
        return {unknownKey, 0};

    const HotKeyCodec::X11Modifiers logical = HotKeyCodec::x11Modifiers(modifiers);
    // Grabbing without the modifier would take the bare key from every program.
    if ((logical.alt && !m_masks.alt) || (logical.super && !m_masks.super))
        return {noModifier, 0};
    grab.modifiers = quint16((logical.shift ? shiftMask : 0) | (logical.control ? controlMask : 0)
                             | (logical.alt ? m_masks.alt : 0) | (logical.super ? m_masks.super : 0));

    const quint16 lockVariants[] = {0, lockMask, m_masks.numLock, quint16(lockMask | m_masks.numLock)};
    QList<xcb_void_cookie_t> cookies;
    for (const quint32 root : roots()) {
        for (const quint8 keycode : std::as_const(grab.keycodes)) {
            for (const quint16 locks : lockVariants) {
                cookies.append(xcb_grab_key_checked(m_connection, 0, root, quint16(grab.modifiers | locks), keycode,
                                                    XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
            }
        }
    }
    bool refused = false;
    for (const xcb_void_cookie_t cookie : std::as_const(cookies)) {
        if (xcb_generic_error_t *error = xcb_request_check(m_connection, cookie)) {
            refused = true;
            std::free(error);
        }
    }
    if (refused) {
        // Another program holds at least one variant: release what we got.
        ungrab(grab);
        return {busy, 0};
    }
    grab.handle = m_nextHandle++;
    m_grabs.append(grab);
    return {ok, grab.handle};
}

void XcbHotKeyBackend::ungrab(const Grab &grab)
{
    if (!m_connection || xcb_connection_has_error(m_connection))
        return;
    const quint16 lockVariants[] = {0, lockMask, m_masks.numLock, quint16(lockMask | m_masks.numLock)};
    for (const quint32 root : roots()) {
        for (const quint8 keycode : grab.keycodes) {
            for (const quint16 locks : lockVariants)
                xcb_ungrab_key(m_connection, keycode, root, quint16(grab.modifiers | locks));
        }
    }
    xcb_flush(m_connection);
    for (const quint8 keycode : grab.keycodes)
        m_down.remove(keycode);
}

void XcbHotKeyBackend::unregisterHotKey(quint64 handle)
{
    for (qsizetype i = 0; i < m_grabs.size(); ++i) {
        if (m_grabs.at(i).handle == handle) {
            const Grab grab = m_grabs.takeAt(i);
            ungrab(grab);
            return;
        }
    }
}

void XcbHotKeyBackend::installHandler(std::function<void()> onPressed)
{
    m_onPressed = std::move(onPressed);
    if (!m_filterInstalled && QCoreApplication::instance()) {
        QCoreApplication::instance()->installNativeEventFilter(this);
        m_filterInstalled = true;
    }
}

void XcbHotKeyBackend::removeHandler()
{
    m_onPressed = nullptr;
    if (m_filterInstalled && QCoreApplication::instance())
        QCoreApplication::instance()->removeNativeEventFilter(this);
    m_filterInstalled = false;
}

bool XcbHotKeyBackend::nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(result)
    if (eventType != "xcb_generic_event_t" || !message)
        return false;
    return handleEvent(message);
}

bool XcbHotKeyBackend::handleEvent(const void *xcbEvent)
{
    const auto *event = static_cast<const xcb_generic_event_t *>(xcbEvent);
    const quint8 type = event->response_type & 0x7f;
    if (type != XCB_KEY_PRESS && type != XCB_KEY_RELEASE)
        return false;
    // Press and release events share one layout.
    const auto *key = reinterpret_cast<const xcb_key_press_event_t *>(event);

    if (type == XCB_KEY_RELEASE) {
        // Only the release of a press the grab took; the modifiers may be
        // gone by now. A release of the same key typed into a window is
        // the window's.
        if (!m_down.remove(key->detail))
            return false;
        m_lastReleasedKey = key->detail;
        m_lastReleaseTime = key->time;
        return true;
    }

    // The grab reports its presses on the root window it was made on; a
    // focused window of this program gets the same key without the
    // combination, and that press is not ours.
    if (!isRoot(key->event))
        return false;
    bool matches = false;
    for (const Grab &grab : std::as_const(m_grabs)) {
        if (grab.keycodes.contains(key->detail) && (key->state & relevantModifiers()) == grab.modifiers) {
            matches = true;
            break;
        }
    }
    if (!matches)
        return false;

    // Auto-repeat shows up either as presses without releases, or as a release
    // and a press carrying the same time stamp.
    const bool repeat = m_down.contains(key->detail)
        || (key->detail == m_lastReleasedKey && key->time == m_lastReleaseTime && key->time != 0);
    m_down.insert(key->detail);
    if (!repeat && m_onPressed) {
        // A copy: the handler may stop the controller, which clears m_onPressed.
        const auto onPressed = m_onPressed;
        onPressed();
    }
    return true;
}
