#pragma once

#include "HotKeyBackend.h"

#include <QAbstractNativeEventFilter>
#include <QList>
#include <QSet>

struct xcb_connection_t;

// Global hot keys on X11: a passive key grab on every root window for every
// keycode that yields the key's keysym, combined with the Caps Lock and Num
// Lock states so that the combination works whatever the lock keys say.
class XcbHotKeyBackend final : public HotKeyBackend, public QAbstractNativeEventFilter
{
public:
    // The application's own X11 connection; unavailable when not on X11.
    XcbHotKeyBackend();
    // A given connection (tests use their own, to play another program).
    explicit XcbHotKeyBackend(xcb_connection_t *connection);
    ~XcbHotKeyBackend() override;

    [[nodiscard]] Availability availability() const override
    {
        return m_connection ? Availability::available : Availability::noGlobalKeys;
    }
    Registration registerHotKey(quint32 keyCode, quint32 modifiers) override;
    void unregisterHotKey(quint64 handle) override;
    void installHandler(std::function<void()> onPressed) override;
    void removeHandler() override;

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *result) override;

    // Handles one X event; true when the grab took it: a press of a registered
    // combination delivered to a root window, its repeats and its release.
    // Every other key event goes on to the program's windows.
    bool handleEvent(const void *xcbEvent);

private:
    struct Grab
    {
        quint64 handle = 0;
        QList<quint8> keycodes;
        quint16 modifiers = 0; // X modifier mask without lock bits
    };
    // The X modifier bits the keys are mapped to; 0 when no key is.
    struct ModifierMasks
    {
        quint16 alt = 0;
        quint16 super = 0;
        quint16 numLock = 0;
    };

    [[nodiscard]] ModifierMasks modifierMasks() const;
    [[nodiscard]] QList<quint32> roots() const;
    void ungrab(const Grab &grab);
    [[nodiscard]] quint16 relevantModifiers() const;

    xcb_connection_t *m_connection = nullptr;
    QList<Grab> m_grabs;
    quint64 m_nextHandle = 1;
    std::function<void()> m_onPressed;
    bool m_filterInstalled = false;
    ModifierMasks m_masks;
    [[nodiscard]] bool isRoot(quint32 window) const;

    // Keys whose press the grab took and whose release is still to come: a
    // press of a key already down is the keyboard's auto-repeat.
    QSet<quint8> m_down;
    QList<quint32> m_roots;
    quint8 m_lastReleasedKey = 0;
    quint32 m_lastReleaseTime = 0;
};
