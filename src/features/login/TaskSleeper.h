#pragma once

#include <QCoro/QCoroTask>

#include <chrono>

// Where the screens' countdowns and polls wait. The system sleeper waits on a
// Qt timer; tests hand a controller a sleeper whose time they move by hand.
class TaskSleeper
{
public:
    virtual ~TaskSleeper() = default;

    // Resumes the awaiting coroutine on the GUI thread after duration.
    virtual QCoro::Task<> sleep(std::chrono::milliseconds duration) = 0;

    // The timer-based sleeper shared by every screen.
    static TaskSleeper &system();
};
