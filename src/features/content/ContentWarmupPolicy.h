#pragma once

#include "platform/Clock.h"

#include <QObject>
#include <QTimer>
#include <QtQml/qqmlregistration.h>

#include <optional>

class QQmlEngine;
class QJSEngine;

// When the content warm-up holds its page, and with it the engine's page
// process (the renderer), ahead of a question set. Both the engine and the
// renderer take a while to start, which would otherwise fall on the first
// stem; a held renderer costs tens of MB, so none is held at rest:
//
// - Engine start: the first time the warm-up is available (signed in, away
//   from the question screen, first frame out) for the start delay, the page
//   is held until the engine hold after it has loaded. The engine stays up;
//   the renderer goes with the page.
// - Intent: while available, the pointer on a control that opens a set (a
//   practice row, a past paper, a history row's button) holds the page at
//   once, until the intent hold after the latest such sign, and at least the
//   engine hold after it has loaded.
// - Hand-over: once no longer available (the question screen opened), the
//   page is held the hand-over time longer, so that the renderer passes to
//   the new screen's pages instead of ending between the two. Intent shown
//   before belonged to that set.
//
// One per QML engine; the root view's warm-up reports availability and the
// page's load, the set controls report intent, the warm-up loads its page
// while holdsPage is true.
class ContentWarmupPolicy : public QObject
{
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON

    Q_PROPERTY(bool available READ available WRITE setAvailable NOTIFY availableChanged)
    Q_PROPERTY(bool pageLoaded READ pageLoaded WRITE setPageLoaded NOTIFY pageLoadedChanged)
    Q_PROPERTY(bool holdsPage READ holdsPage NOTIFY holdsPageChanged)

public:
    struct Durations
    {
        qint64 startDelayMs = 1500;
        // Also the least time any page is held once loaded.
        qint64 engineHoldMs = 5000;
        qint64 intentHoldMs = 10000;
        qint64 handOverMs = 5000;
        // A page that never loads is let go this long after it was asked for.
        qint64 loadTimeoutMs = 20000;
    };

    // The clock (Clock::shared() when null) must outlive the policy.
    explicit ContentWarmupPolicy(const Clock *clock = nullptr, QObject *parent = nullptr);
    static ContentWarmupPolicy *create(QQmlEngine *engine, QJSEngine *);

    [[nodiscard]] const Durations &durations() const { return m_durations; }
    // Shorter times, for tests that run the engine.
    void setDurations(const Durations &durations);

    [[nodiscard]] bool available() const { return m_available; }
    void setAvailable(bool available);
    [[nodiscard]] bool pageLoaded() const { return m_loadedAt.has_value(); }
    void setPageLoaded(bool loaded);
    [[nodiscard]] bool holdsPage() const { return m_holds; }

    // The pointer is on a control that opens a set (entered it or moved on it).
    Q_INVOKABLE void intentShown();

    // Applies the rules at the clock's time (the timer does so at each deadline).
    void check();
    // The time to the next deadline, while one is pending.
    [[nodiscard]] std::optional<qint64> nextCheckInMs() const;

Q_SIGNALS:
    void availableChanged();
    void pageLoadedChanged();
    void holdsPageChanged();
    // The page was let go: what it and the screen before it freed can go back.
    void pageReleased();

private:
    [[nodiscard]] qint64 now() const { return m_clock->nowMilliseconds(); }
    [[nodiscard]] bool intentRecent(qint64 at) const;
    [[nodiscard]] std::optional<qint64> nextDeadline() const;
    void setHolds(bool holds);
    void scheduleCheck();

    const Clock *m_clock;
    Durations m_durations;
    bool m_available = false;
    bool m_holds = false;
    // The engine's first page has loaded: only intent warms from then on.
    bool m_engineStarted = false;
    std::optional<qint64> m_availableSince;
    std::optional<qint64> m_unavailableSince;
    std::optional<qint64> m_lastIntent;
    std::optional<qint64> m_heldSince;
    std::optional<qint64> m_loadedAt;
    QTimer m_timer;
};
