#include "TaskSleeper.h"

#include <QCoro/QCoroTimer>

namespace {

class SystemTaskSleeper final : public TaskSleeper
{
public:
    QCoro::Task<> sleep(std::chrono::milliseconds duration) override
    {
        co_await QCoro::sleepFor(duration);
    }
};

} // namespace

TaskSleeper &TaskSleeper::system()
{
    static SystemTaskSleeper sleeper;
    return sleeper;
}
