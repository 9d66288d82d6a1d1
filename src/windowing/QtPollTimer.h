#pragma once

#include "ShellPorts.h"

#include <QTimer>

// A repeating QTimer on the GUI thread.
class QtPollTimer final : public PollTimer
{
public:
    QtPollTimer();
    void start(int intervalMs, std::function<void()> action) override;
    void stop() override;
    [[nodiscard]] bool isRunning() const override;

private:
    QTimer m_timer;
    std::function<void()> m_action;
};
