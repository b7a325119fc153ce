#pragma once

#include <QtGlobal>

// The safelight fog test: a patch of the view's brightest red held up over a
// sheet of paper for some minutes, counted down on the injected clock.
class FogTest
{
public:
    static constexpr int MaxMinutes = 60;

    // minutes clamped into 1..MaxMinutes.
    FogTest(qint64 startMs, int minutes);

    qint64 endMs() const { return m_endMs; }
    // Whole seconds left at nowMs, a second begun counting as a whole one; 0
    // once over.
    int secondsLeft(qint64 nowMs) const;
    bool isOver(qint64 nowMs) const { return nowMs >= m_endMs; }
    // The next instant the seconds left change, after nowMs.
    qint64 nextChangeMs(qint64 nowMs) const;

private:
    qint64 m_endMs;
};
