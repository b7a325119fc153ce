#pragma once

#include <QDateTime>

#include <cmath>

// Time as the timers see it. nowMs() counts whole milliseconds on a clock that
// only ever moves forward: a daylight-saving change or a clock reset never
// stretches or cuts a running step. Its origin means nothing; only differences
// do. localNow() is the wall clock, for display only.
class Clock
{
public:
    virtual ~Clock() = default;
    virtual qint64 nowMs() const = 0;
    virtual QDateTime localNow() const = 0;
};

class SystemClock final : public Clock
{
public:
    qint64 nowMs() const override { return steadyNs() / 1000000; }
    QDateTime localNow() const override;

    // Nanoseconds of a clock that never goes back and goes on counting while
    // the machine is suspended, so a step never outlasts its time by a sleep.
    static qint64 steadyNs();
};

// A clock that moves only when told, in whole milliseconds: tests step time
// without sleeping. Its local time moves with it.
class FakeClock final : public Clock
{
public:
    static constexpr qint64 DefaultStartMs = 3974443200000; // any origin will do

    explicit FakeClock(qint64 startMs = DefaultStartMs,
                       QDateTime local = QDateTime(QDate(2025, 12, 9), QTime(10, 30, 0)))
        : m_ms(startMs), m_localAt(startMs), m_local(std::move(local))
    {
    }
    qint64 nowMs() const override { return m_ms; }
    QDateTime localNow() const override { return m_local.addMSecs(m_ms - m_localAt); }
    void setNowMs(qint64 ms) { m_ms = ms; }
    void advanceSeconds(double seconds) { m_ms += std::llround(seconds * 1000.0); }
    void advanceMs(qint64 ms) { m_ms += ms; }
    void setLocalNow(const QDateTime &dt)
    {
        m_local = dt;
        m_localAt = m_ms;
    }

private:
    qint64 m_ms;
    qint64 m_localAt; // the instant m_local was true
    QDateTime m_local;
};
