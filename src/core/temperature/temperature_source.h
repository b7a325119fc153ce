#pragma once

#include <QtGlobal>

#include <functional>

class Clock;

// Where temperature readings come from: the keyboard today, a USB or serial
// thermometer later. A source hands each reading, stamped with its instant,
// to the one listener the process tab sets.
class TemperatureSource
{
public:
    struct Reading
    {
        qint64 atMs = 0;
        double celsius = 0;
    };
    using Listener = std::function<void(const Reading &)>;

    virtual ~TemperatureSource() = default;
    void setListener(Listener listener) { m_listener = std::move(listener); }

protected:
    void deliver(const Reading &reading) const
    {
        if (m_listener)
            m_listener(reading);
    }

private:
    Listener m_listener;
};

// The temperature typed on the tab: a value set from the field, or moved by
// half a degree Celsius a key press (Ctrl+Up, Ctrl+Down) for gloved hands.
class KeyboardThermometer final : public TemperatureSource
{
public:
    static constexpr double Step = 0.5;

    explicit KeyboardThermometer(const Clock &clock, double celsius = 20);
    double celsius() const { return m_celsius; }
    // A value inside MinCelsius..MaxCelsius becomes the reading; another is
    // ignored (the field's parser refuses it first).
    void set(double celsius);
    // steps half-degrees up (or down when negative), from the half degree
    // below (or above) a value between two, kept inside the range.
    void nudge(int steps);

private:
    const Clock &m_clock;
    double m_celsius;
};
