#pragma once

#include <QList>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QVariant>
#include <functional>
#include <optional>

// Small seams between the window rules and the desktop. The rules are plain
// C++ so that they run in tests without a display; the Qt/X11 side implements
// these interfaces. All coordinates are global, in device-independent pixels,
// with y growing downwards.

// The floating panel as the rules see it.
class PanelPort
{
public:
    virtual ~PanelPort() = default;

    [[nodiscard]] virtual QRectF frame() const = 0;
    virtual void setFrame(const QRectF &frame) = 0;
    // On screen: shown and not minimised.
    [[nodiscard]] virtual bool isVisible() const = 0;
    [[nodiscard]] virtual bool isMinimized() const = 0;

    virtual void setIgnoresMouseEvents(bool ignores) = 0;
    // Takes the panel off screen without destroying it.
    virtual void orderOut() = 0;
    // Puts the panel on screen in front of other windows without taking focus.
    virtual void orderFrontWithoutActivation() = 0;
    // Activates the program and gives the panel the keyboard focus, in front.
    virtual void activateAndOrderFront() = 0;
    // Gives the panel the keyboard focus without reordering it.
    virtual void makeKey() = 0;
    virtual void minimize() = 0;
    virtual void deminimize() = 0;

    [[nodiscard]] virtual QSizeF minimumSize() const = 0;
    virtual void setMinimumSize(const QSizeF &size) = 0;
    virtual void setMovable(bool movable) = 0;
    virtual void setHasShadow(bool hasShadow) = 0;
    // The work area of the screen the panel is on, none when it is on no screen.
    [[nodiscard]] virtual std::optional<QRectF> screenVisibleFrame() const = 0;

    // The zoom of the hosted content (laid out at size / scale, drawn scaled).
    virtual void setContentScale(double scale) = 0;
    // Whether the edge grips take presses and show resize cursors.
    virtual void setResizingEnabled(bool enabled) = 0;
};

// One display: its whole frame and the part not taken by panels and docks.
struct ScreenInfo
{
    QRectF frame;
    QRectF visibleFrame;
};

class ScreenList
{
public:
    virtual ~ScreenList() = default;
    // In the desktop's own order.
    [[nodiscard]] virtual QList<ScreenInfo> screens() const = 0;
    [[nodiscard]] virtual std::optional<ScreenInfo> mainScreen() const = 0;
};

class PointerSource
{
public:
    // Where the pointer is, as far as the desktop tells.
    struct Reading
    {
        // None when unknown.
        std::optional<QPointF> position;
        // The pointer is over a window this display cannot see into (a native
        // window of a Wayland session, seen from XWayland): over none of the
        // program's windows, at a place it does not tell.
        bool elsewhere = false;
    };

    virtual ~PointerSource() = default;
    // Global pointer position; none when the desktop does not tell it.
    [[nodiscard]] virtual std::optional<QPointF> position() const = 0;
    [[nodiscard]] virtual bool isPrimaryButtonPressed() const = 0;
    [[nodiscard]] virtual Reading read() const { return {position(), false}; }
};

// Where the display reports the pointer only over the program's own windows
// (XWayland), an invisible window of the program over a hidden panel's place
// makes the pointer's return there seen.
class PointerReturnWatch
{
public:
    virtual ~PointerReturnWatch() = default;
    virtual void watch(const QRectF &region) = 0;
    virtual void stopWatching() = 0;
};

// The other windows of this program (dialogs, pop-ups), panel excluded.
class WindowList
{
public:
    virtual ~WindowList() = default;
    [[nodiscard]] virtual QList<QRectF> otherVisibleWindowFrames() const = 0;
};

// A repeating timer; running only between start() and stop().
class PollTimer
{
public:
    virtual ~PollTimer() = default;
    virtual void start(int intervalMs, std::function<void()> action) = 0;
    virtual void stop() = 0;
    [[nodiscard]] virtual bool isRunning() const = 0;
};

// Typed settings as kept by the user-defaults store: an invalid QVariant
// when the key is absent.
class SettingsStore
{
public:
    virtual ~SettingsStore() = default;
    [[nodiscard]] virtual QVariant object(const QString &key) const = 0;
    virtual void setValue(const QString &key, const QVariant &value) = 0;
};
