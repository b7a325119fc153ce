#include "core/base/clock.h"

#include <chrono>
#include <ctime>

double dateTimeToDays(const QDateTime &dt)
{
    static const QDate epoch(1899, 12, 30);
    const qint64 days = epoch.daysTo(dt.date());
    const double msOfDay = dt.time().msecsSinceStartOfDay();
    return static_cast<double>(days) + msOfDay / 86400000.0;
}

SystemClock::SystemClock()
    : m_startDays(dateTimeToDays(QDateTime::currentDateTime())), m_startNs(steadyNs())
{
}

double SystemClock::nowDays() const
{
    return m_startDays + static_cast<double>(steadyNs() - m_startNs) / 86400e9;
}

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
