#include "core/temperature/compensating_timer.h"

#include <algorithm>
#include <cmath>

CompensatingTimer::CompensatingTimer(TemperatureResponse response, double referenceCelsius)
    : m_response(std::move(response)), m_reference(referenceCelsius), m_celsius(referenceCelsius)
{
}

CompensatingTimer::Reading CompensatingTimer::reading(qint64 atMs, double celsius)
{
    const std::optional<long double> f = m_response.factor(celsius, m_reference);
    if (!f)
        return Reading::Refused;
    switch (m_state) {
    case State::Idle:
        m_celsius = celsius;
        m_factor = *f;
        return Reading::Applied;
    case State::Paused:
        m_pending = true;
        m_pendingCelsius = celsius;
        m_pendingFactor = *f;
        m_readings.push_back({std::max(atMs, m_segmentMs), celsius});
        return Reading::FromResume;
    case State::Running:
        break;
    }
    const qint64 at = std::max(atMs, m_segmentMs);
    m_readings.push_back({at, celsius});
    // Once the development is done a late reading has nothing left to plan.
    if (at < endMs()) {
        advanceTo(at);
        m_celsius = celsius;
        m_factor = *f;
    }
    return Reading::Applied;
}

void CompensatingTimer::advanceTo(qint64 ms)
{
    m_doneMs += static_cast<long double>(ms - m_segmentMs) / m_factor;
    m_doneMs = std::min<long double>(m_doneMs, m_developmentMs);
    m_segmentMs = ms;
}

void CompensatingTimer::start(qint64 developmentMs, qint64 nowMs)
{
    m_developmentMs = std::max<qint64>(0, developmentMs);
    m_doneMs = 0;
    m_segmentMs = nowMs;
    m_pending = false;
    m_state = State::Running;
    m_readings.assign(1, {nowMs, m_celsius});
    const long double seconds =
        std::nearbyint(m_factor * (static_cast<long double>(m_developmentMs) / 1000));
    m_plannedSeconds = static_cast<int>(std::min<long double>(seconds, 2147483647.0L));
}

void CompensatingTimer::pause(qint64 nowMs)
{
    if (m_state != State::Running)
        return;
    advanceTo(std::max(nowMs, m_segmentMs));
    m_state = State::Paused;
}

void CompensatingTimer::resume(qint64 nowMs)
{
    if (m_state != State::Paused)
        return;
    if (m_pending) {
        m_celsius = m_pendingCelsius;
        m_factor = m_pendingFactor;
        m_pending = false;
    }
    m_segmentMs = std::max(nowMs, m_segmentMs);
    m_state = State::Running;
}

void CompensatingTimer::stop()
{
    if (m_pending) {
        m_celsius = m_pendingCelsius;
        m_factor = m_pendingFactor;
        m_pending = false;
    }
    m_state = State::Idle;
}

qint64 CompensatingTimer::remainingMs(qint64 nowMs) const
{
    if (m_state == State::Idle)
        return 0;
    const long double left = (m_developmentMs - developmentDoneMs(nowMs)) * m_factor;
    return std::max<qint64>(0, std::llround(left));
}

qint64 CompensatingTimer::endMs() const
{
    return m_segmentMs + std::llround((m_developmentMs - m_doneMs) * m_factor);
}

long double CompensatingTimer::developmentDoneMs(qint64 nowMs) const
{
    if (m_state != State::Running || nowMs <= m_segmentMs)
        return m_doneMs;
    return std::min<long double>(
        m_developmentMs, m_doneMs + static_cast<long double>(nowMs - m_segmentMs) / m_factor);
}
