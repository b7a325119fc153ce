#pragma once

#include <QDateTime>
#include <QElapsedTimer>

// Time as the timers see it. nowDays() is a date-time in days (the time of day
// as the fraction) that only ever moves forward: a daylight-saving change or a
// clock reset never stretches or cuts a running step. localNow() is the wall
// clock for display only.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual double nowDays() const = 0;
    virtual QDateTime localNow() const = 0;
};

// Days since 30 December 1899, the date epoch the stored date-times count from.
double dateTimeToDays(const QDateTime &dt);

class SystemClock final : public Clock
{
public:
    SystemClock();
    double nowDays() const override;
    QDateTime localNow() const override;

private:
    double m_startDays;
    QElapsedTimer m_elapsed;
};

// A clock that moves only when told: tests step time without sleeping.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double startDays = 46000.5,
                       QDateTime local = QDateTime(QDate(2025, 12, 9), QTime(10, 30, 0)))
        : m_days(startDays), m_local(local)
    {
    }
    double nowDays() const override { return m_days; }
    QDateTime localNow() const override { return m_local; }
    void setNowDays(double days) { m_days = days; }
    void advanceSeconds(double seconds) { m_days = (m_days * 86400.0 + seconds) / 86400.0; }
    void advanceMs(qint64 ms) { advanceSeconds(static_cast<double>(ms) / 1000.0); }
    void setLocalNow(const QDateTime &dt) { m_local = dt; }

private:
    double m_days;
    QDateTime m_local;
};
