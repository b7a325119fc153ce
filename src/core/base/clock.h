#pragma once

#include <QDateTime>

#include <cmath>

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

    // Nanoseconds of a clock that never goes back and goes on counting while
    // the machine is suspended, so a step never outlasts its time by a sleep.
    static qint64 steadyNs();

private:
    double m_startDays;
    qint64 m_startNs;
};

// A clock that moves only when told, in whole milliseconds: tests step time
// without sleeping.
class FakeClock final : public Clock
{
public:
    explicit FakeClock(double startDays = 46000.5,
                       QDateTime local = QDateTime(QDate(2025, 12, 9), QTime(10, 30, 0)))
        : m_ms(std::llround(startDays * 86400000.0)), m_local(local)
    {
    }
    double nowDays() const override { return static_cast<double>(m_ms) / 86400000.0; }
    QDateTime localNow() const override { return m_local; }
    void setNowDays(double days) { m_ms = std::llround(days * 86400000.0); }
    void advanceSeconds(double seconds) { m_ms += std::llround(seconds * 1000.0); }
    void advanceMs(qint64 ms) { m_ms += ms; }
    void setLocalNow(const QDateTime &dt) { m_local = dt; }

private:
    qint64 m_ms;
    QDateTime m_local;
};
