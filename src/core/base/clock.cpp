#include "core/base/clock.h"

double dateTimeToDays(const QDateTime &dt)
{
    static const QDate epoch(1899, 12, 30);
    const qint64 days = epoch.daysTo(dt.date());
    const double msOfDay = dt.time().msecsSinceStartOfDay();
    return static_cast<double>(days) + msOfDay / 86400000.0;
}

SystemClock::SystemClock() : m_startDays(dateTimeToDays(QDateTime::currentDateTime()))
{
    m_elapsed.start();
}

double SystemClock::nowDays() const
{
    return (m_startDays * 86400000.0 + static_cast<double>(m_elapsed.elapsed())) / 86400000.0;
}

QDateTime SystemClock::localNow() const
{
    return QDateTime::currentDateTime();
}
