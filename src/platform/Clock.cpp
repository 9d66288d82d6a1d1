#include "Clock.h"

namespace {
SystemClock s_systemClock;
Clock *s_shared = nullptr;
}

Clock &Clock::shared()
{
    return s_shared ? *s_shared : s_systemClock;
}

void Clock::setShared(Clock *clock)
{
    s_shared = clock;
}
