#pragma once

// Stand-ins for the desktop behind the window rules' ports.

#include "windowing/HotKeyBackend.h"
#include "windowing/ShellModel.h"
#include "windowing/ShellPorts.h"

#include <QHash>
#include <QList>
#include <QStringList>

class MemoryStore final : public SettingsStore
{
public:
    QVariant object(const QString &key) const override { return values.value(key); }
    void setValue(const QString &key, const QVariant &value) override
    {
        values.insert(key, value);
        writes.append(key);
    }
    QHash<QString, QVariant> values;
    QStringList writes;
};

class FakePanel final : public PanelPort
{
public:
    QRectF frame() const override { return m_frame; }
    void setFrame(const QRectF &frame) override
    {
        m_frame = frame;
        ++setFrameCount;
    }
    bool isVisible() const override { return shown && !minimized; }
    bool isMinimized() const override { return minimized; }
    void setIgnoresMouseEvents(bool value) override { ignoresMouse = value; }
    void orderOut() override
    {
        shown = false;
        ++orderOutCount;
    }
    void orderFrontWithoutActivation() override
    {
        shown = true;
        ++orderFrontCount;
    }
    void activateAndOrderFront() override
    {
        shown = true;
        activated = true;
    }
    void makeKey() override { activated = true; }
    void minimize() override { minimized = true; }
    void deminimize() override { minimized = false; }
    QSizeF minimumSize() const override { return minimum; }
    void setMinimumSize(const QSizeF &size) override { minimum = size; }
    void setMovable(bool value) override { movable = value; }
    void setHasShadow(bool value) override { hasShadow = value; }
    std::optional<QRectF> screenVisibleFrame() const override { return visibleFrame; }
    void setContentScale(double scale) override { contentScale = scale; }
    void setResizingEnabled(bool enabled) override { resizingEnabled = enabled; }

    QRectF m_frame{100, 100, 800, 600};
    bool shown = true;
    bool minimized = false;
    bool ignoresMouse = false;
    bool activated = false;
    bool movable = true;
    bool hasShadow = true;
    bool resizingEnabled = true;
    double contentScale = 1.0;
    QSizeF minimum;
    std::optional<QRectF> visibleFrame;
    int setFrameCount = 0;
    int orderOutCount = 0;
    int orderFrontCount = 0;
};

class FakePointer final : public PointerSource
{
public:
    std::optional<QPointF> position() const override
    {
        ++reads;
        return point;
    }
    bool isPrimaryButtonPressed() const override { return pressed; }
    Reading read() const override
    {
        ++reads;
        // Over a window the display cannot see into, `point` is stale.
        return elsewhere ? Reading{std::nullopt, true} : Reading{point, false};
    }
    std::optional<QPointF> point;
    bool pressed = false;
    bool elsewhere = false;
    mutable int reads = 0;
};

class FakeReturnWatch final : public PointerReturnWatch
{
public:
    void watch(const QRectF &watched) override
    {
        region = watched;
        ++watches;
    }
    void stopWatching() override
    {
        region.reset();
        ++stops;
    }
    std::optional<QRectF> region;
    int watches = 0;
    int stops = 0;
};

class FakeWindows final : public WindowList
{
public:
    QList<QRectF> otherVisibleWindowFrames() const override { return frames; }
    QList<QRectF> frames;
};

// A timer that fires only when the test says so.
class FakeTimer final : public PollTimer
{
public:
    void start(int intervalMs, std::function<void()> action) override
    {
        interval = intervalMs;
        m_action = std::move(action);
        running = true;
        ++starts;
    }
    void stop() override
    {
        running = false;
        m_action = nullptr;
    }
    bool isRunning() const override { return running; }
    void fire()
    {
        if (running && m_action)
            m_action();
    }
    int interval = 0;
    bool running = false;
    int starts = 0;

private:
    std::function<void()> m_action;
};

class FakeScreens final : public ScreenList
{
public:
    QList<ScreenInfo> screens() const override { return list; }
    std::optional<ScreenInfo> mainScreen() const override
    {
        if (list.isEmpty())
            return std::nullopt;
        return list.first();
    }
    QList<ScreenInfo> list;
};

class FakeShellModel final : public ShellModel
{
    Q_OBJECT

public:
    bool isExportingPDF() const override { return exporting; }
    bool isWindowMaximized() const override { return maximized; }
    void setWindowMaximized(bool value) override { maximized = value; }
    AppScreen screen() const override { return currentScreen; }
    bool studyTransparencyEnabled() const override { return transparency; }
    bool hoverAutoHideEnabled() const override { return autoHide; }
    void publishZoomFeedback(double scale) override { feedback.append(scale); }
    void flushTransparentInkColor() override { ++flushes; }
    bool handleQuestionNavigationKey(quint16 keyCode) override
    {
        navigationKeys.append(keyCode);
        return navigationConsumes;
    }
    bool handleQuestionShortcut(const QString &key) override
    {
        shortcutKeys.append(key);
        return true;
    }

    void setExporting(bool value)
    {
        exporting = value;
        Q_EMIT isExportingPDFChanged();
    }
    void setScreen(AppScreen value)
    {
        currentScreen = value;
        Q_EMIT screenChanged();
    }
    void setTransparency(bool value)
    {
        transparency = value;
        Q_EMIT studyTransparencyEnabledChanged();
    }
    void setAutoHide(bool value)
    {
        autoHide = value;
        Q_EMIT hoverAutoHideEnabledChanged();
    }

    bool exporting = false;
    bool maximized = false;
    AppScreen currentScreen = AppScreen::home;
    bool transparency = false;
    bool autoHide = false;
    bool navigationConsumes = true;
    QList<double> feedback;
    QList<quint16> navigationKeys;
    QStringList shortcutKeys;
    int flushes = 0;
};

class FakeHotKeyBackend final : public HotKeyBackend
{
public:
    Registration registerHotKey(quint32 keyCode, quint32 modifiers) override
    {
        registrations.append({keyCode, modifiers});
        if (!available)
            return {unavailable, 0};
        if (nextStatus != ok)
            return {nextStatus, 0};
        const quint64 handle = nextHandle++;
        held.append(handle);
        return {ok, handle};
    }
    void unregisterHotKey(quint64 handle) override
    {
        held.removeAll(handle);
        unregistered.append(handle);
    }
    void installHandler(std::function<void()> onPressed) override { handler = std::move(onPressed); }
    void removeHandler() override { handler = nullptr; }
    Availability availability() const override { return available ? Availability::available : unavailableReason; }
    void press()
    {
        if (handler)
            handler();
    }

    QList<QPair<quint32, quint32>> registrations;
    QList<quint64> held;
    QList<quint64> unregistered;
    std::function<void()> handler;
    int nextStatus = ok;
    quint64 nextHandle = 1;
    bool available = true;
    Availability unavailableReason = Availability::noGlobalKeys;
};
