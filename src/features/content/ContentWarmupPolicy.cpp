#include "ContentWarmupPolicy.h"

#include <QQmlEngine>

#include <algorithm>

ContentWarmupPolicy::ContentWarmupPolicy(const Clock *clock, QObject *parent)
    : QObject(parent)
    , m_clock(clock ? clock : &Clock::shared())
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &ContentWarmupPolicy::check);
}

ContentWarmupPolicy *ContentWarmupPolicy::create(QQmlEngine *engine, QJSEngine *)
{
    auto *policy = new ContentWarmupPolicy(nullptr, engine);
    QQmlEngine::setObjectOwnership(policy, QQmlEngine::CppOwnership);
    return policy;
}

void ContentWarmupPolicy::setDurations(const Durations &durations)
{
    m_durations = durations;
    check();
}

void ContentWarmupPolicy::setAvailable(bool available)
{
    if (available == m_available)
        return;
    m_available = available;
    if (available) {
        m_availableSince = now();
        m_unavailableSince.reset();
    } else {
        m_unavailableSince = now();
        m_availableSince.reset();
        m_lastIntent.reset();
    }
    Q_EMIT availableChanged();
    check();
}

void ContentWarmupPolicy::setPageLoaded(bool loaded)
{
    // Only the held page's load counts; its end comes with the release.
    if (!loaded || !m_holds || m_loadedAt)
        return;
    m_loadedAt = now();
    m_engineStarted = true;
    Q_EMIT pageLoadedChanged();
    check();
}

void ContentWarmupPolicy::intentShown()
{
    if (!m_available)
        return;
    m_lastIntent = now();
    check();
}

bool ContentWarmupPolicy::intentRecent(qint64 at) const
{
    return m_lastIntent && at - *m_lastIntent < m_durations.intentHoldMs;
}

void ContentWarmupPolicy::check()
{
    const qint64 at = now();
    if (!m_holds) {
        const bool engineStart = !m_engineStarted && m_availableSince
                                 && at - *m_availableSince >= m_durations.startDelayMs;
        if (m_available && (engineStart || intentRecent(at))) {
            m_heldSince = at;
            setHolds(true);
        }
    } else {
        bool release = false;
        if (!m_available)
            release = at - *m_unavailableSince >= m_durations.handOverMs;
        else if (!intentRecent(at))
            release = m_loadedAt ? at - *m_loadedAt >= m_durations.engineHoldMs
                                 : at - *m_heldSince >= m_durations.loadTimeoutMs;
        if (release) {
            const bool wasLoaded = m_loadedAt.has_value();
            m_heldSince.reset();
            m_loadedAt.reset();
            setHolds(false);
            if (wasLoaded)
                Q_EMIT pageLoadedChanged();
            Q_EMIT pageReleased();
        }
    }
    scheduleCheck();
}

std::optional<qint64> ContentWarmupPolicy::nextDeadline() const
{
    if (!m_holds) {
        if (m_available && !m_engineStarted && m_availableSince)
            return *m_availableSince + m_durations.startDelayMs;
        return std::nullopt;
    }
    if (!m_available)
        return *m_unavailableSince + m_durations.handOverMs;
    const qint64 loaded = m_loadedAt ? *m_loadedAt + m_durations.engineHoldMs
                                     : *m_heldSince + m_durations.loadTimeoutMs;
    return m_lastIntent ? std::max(loaded, *m_lastIntent + m_durations.intentHoldMs) : loaded;
}

std::optional<qint64> ContentWarmupPolicy::nextCheckInMs() const
{
    const std::optional<qint64> deadline = nextDeadline();
    if (!deadline)
        return std::nullopt;
    return std::max<qint64>(0, *deadline - now());
}

void ContentWarmupPolicy::scheduleCheck()
{
    const std::optional<qint64> in = nextCheckInMs();
    if (!in) {
        m_timer.stop();
        return;
    }
    m_timer.start(int(std::min<qint64>(*in, 24 * 3600 * 1000)));
}

void ContentWarmupPolicy::setHolds(bool holds)
{
    if (holds == m_holds)
        return;
    m_holds = holds;
    Q_EMIT holdsPageChanged();
}
