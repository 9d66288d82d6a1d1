#include "QtPollTimer.h"

QtPollTimer::QtPollTimer()
{
    QObject::connect(&m_timer, &QTimer::timeout, &m_timer, [this] {
        // A copy: the action may stop this timer, which drops m_action.
        if (const auto action = m_action)
            action();
    });
}

void QtPollTimer::start(int intervalMs, std::function<void()> action)
{
    m_action = std::move(action);
    m_timer.start(intervalMs);
}

void QtPollTimer::stop()
{
    m_timer.stop();
    m_action = nullptr;
}

bool QtPollTimer::isRunning() const
{
    return m_timer.isActive();
}
