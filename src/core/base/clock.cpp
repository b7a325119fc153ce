#include "core/base/clock.h"

#include <chrono>
#include <ctime>

qint64 SystemClock::steadyNs()
{
#ifdef CLOCK_BOOTTIME
    timespec ts{};
    if (clock_gettime(CLOCK_BOOTTIME, &ts) == 0)
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
#endif
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

QDateTime SystemClock::localNow() const
{
    return QDateTime::currentDateTime();
}
