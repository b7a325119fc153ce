#include "core/temperature/temperature_source.h"

#include "core/base/clock.h"
#include "core/temperature/temperature.h"

#include <algorithm>
#include <cmath>

KeyboardThermometer::KeyboardThermometer(const Clock &clock, double celsius)
    : m_clock(clock), m_celsius(celsius)
{
}

void KeyboardThermometer::set(double celsius)
{
    if (!(celsius >= MinCelsius && celsius <= MaxCelsius))
        return;
    m_celsius = celsius;
    deliver({m_clock.nowMs(), celsius});
}

void KeyboardThermometer::nudge(int steps)
{
    if (steps == 0)
        return;
    // To the next half degree that way: a typed 20.3 goes up to 20.5, down to 20.
    const double halves = m_celsius / Step;
    const double from = (steps > 0 ? std::floor(halves) : std::ceil(halves)) * Step;
    set(std::clamp(from + steps * Step, MinCelsius, MaxCelsius));
}
