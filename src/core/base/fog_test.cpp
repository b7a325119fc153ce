#include "core/base/fog_test.h"

#include <algorithm>

FogTest::FogTest(qint64 startMs, int minutes)
    : m_endMs(startMs + qint64(std::clamp(minutes, 1, MaxMinutes)) * 60000)
{
}

int FogTest::secondsLeft(qint64 nowMs) const
{
    const qint64 left = m_endMs - nowMs;
    return left <= 0 ? 0 : int((left + 999) / 1000);
}

qint64 FogTest::nextChangeMs(qint64 nowMs) const
{
    if (isOver(nowMs))
        return nowMs;
    // The seconds left drop as the time left passes a whole second.
    const qint64 left = m_endMs - nowMs;
    const qint64 step = (left - 1) % 1000 + 1;
    return nowMs + step;
}
