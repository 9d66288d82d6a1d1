#pragma once

// Waiting in a benchmark without QTest::qWait/qWaitFor: those poll with 10 ms
// sleeps between event batches, and the web engine's task pump runs on Qt's
// event loop, so every page load would pay for many such sleeps and the
// figures would measure the wait, not the program.

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <functional>

namespace BenchWait {

// Runs the event loop until ready() holds or timeoutMs passes; checks each millisecond.
inline bool until(const std::function<bool()> &ready, int timeoutMs)
{
    if (ready())
        return true;
    QEventLoop loop;
    QTimer poll;
    poll.setInterval(1);
    bool done = false;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (ready()) {
            done = true;
            loop.quit();
        }
    });
    QTimer::singleShot(timeoutMs, &loop, &QEventLoop::quit);
    poll.start();
    loop.exec();
    return done || ready();
}

// Runs the event loop for ms milliseconds.
inline void run(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace BenchWait
