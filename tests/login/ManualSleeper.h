#pragma once

#include "TaskSleeper.h"

#include <QtGlobal>

#include <algorithm>
#include <coroutine>
#include <vector>

// A sleeper whose time moves only when the test says so. advance() wakes the
// sleeps that fall due in order of their deadlines, each at its own moment,
// so that a loop of one-second sleeps steps once per second of advance.
class ManualSleeper final : public TaskSleeper
{
public:
    QCoro::Task<> sleep(std::chrono::milliseconds duration) override
    {
        // A named awaiter: it lives in the frame for the whole suspension.
        Wait wait{this, m_now + qMax<qint64>(0, duration.count())};
        co_await wait;
    }

    // Moves the time on by ms, waking every sleep due on the way.
    void advance(qint64 ms)
    {
        const qint64 target = m_now + ms;
        while (true) {
            auto next = std::min_element(m_waiting.begin(), m_waiting.end(),
                                         [](const Waiter &a, const Waiter &b) { return a.deadline < b.deadline; });
            if (next == m_waiting.end() || next->deadline > target)
                break;
            m_now = next->deadline;
            const std::coroutine_handle<> handle = next->handle;
            m_waiting.erase(next);
            handle.resume();
        }
        m_now = target;
    }

    [[nodiscard]] qint64 now() const { return m_now; }
    [[nodiscard]] int pendingCount() const { return int(m_waiting.size()); }

private:
    struct Waiter
    {
        qint64 deadline;
        std::coroutine_handle<> handle;
    };

    struct Wait
    {
        ManualSleeper *sleeper;
        qint64 deadline;
        [[nodiscard]] bool await_ready() const noexcept { return deadline <= sleeper->m_now; }
        void await_suspend(std::coroutine_handle<> handle) { sleeper->m_waiting.push_back({deadline, handle}); }
        void await_resume() const noexcept { }
    };

    qint64 m_now = 0;
    std::vector<Waiter> m_waiting;
};
