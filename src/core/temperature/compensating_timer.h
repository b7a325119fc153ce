#pragma once

#include "core/temperature/temperature.h"

#include <QtGlobal>

#include <vector>

// The development of one step's main time while its bath's temperature moves,
// as a compensating darkroom timer counts it: every second at T does
// 1/factor(T) seconds of the development the step asks for. Instants are whole
// milliseconds of the injected clock (Clock::nowMs); nothing here reads a clock.
//
// A process tab holds one while a main time with a temperature runs: it sets
// the temperature typed before Démarrer, calls start() with the step's time
// (the file's time after the bath's wear), passes each new reading, pause and
// resume, and takes the cell's end from endMs().
class CompensatingTimer
{
public:
    enum class State
    {
        Idle,
        Running,
        Paused
    };
    enum class Reading
    {
        Applied,    // the plan follows it from its instant on
        FromResume, // given while paused: it applies from the resume
        Refused     // the bath gives no factor there; nothing changed
    };
    struct Record
    {
        qint64 atMs = 0;
        double celsius = 0;
        bool operator==(const Record &) const = default;
    };

    CompensatingTimer(TemperatureResponse response, double referenceCelsius);

    State state() const { return m_state; }
    double celsius() const { return m_celsius; }
    long double factor() const { return m_factor; }
    double referenceCelsius() const { return m_reference; }
    const TemperatureResponse &response() const { return m_response; }

    // A reading: before the start it is the temperature the step starts at;
    // while running it re-plans what is left from atMs (an instant before the
    // last one counts as the last one); while paused it waits for the resume.
    // A reading after the development is done changes nothing but is kept.
    Reading reading(qint64 atMs, double celsius);
    // Starts developmentMs of development at nowMs at the current temperature.
    void start(qint64 developmentMs, qint64 nowMs);
    void pause(qint64 nowMs);
    void resume(qint64 nowMs);
    // Back to idle; the temperature stays for the next start.
    void stop();

    // The time the step is given at the start, in whole seconds: the
    // development at the starting temperature, rounded as Conversion Temps
    // rounds (halves to even), so a bath at another temperature gets the
    // very time that page shows.
    int plannedSeconds() const { return m_plannedSeconds; }
    // The instant the development is done, while running; while paused, what
    // is left is not moving and the end is not known.
    qint64 endMs() const;
    // Wall time left: the development left at the current factor.
    qint64 remainingMs(qint64 nowMs) const;
    // Development done by nowMs, in milliseconds of the step's time.
    long double developmentDoneMs(qint64 nowMs) const;
    qint64 developmentMs() const { return m_developmentMs; }

    // Every reading taken (not refused) since the start, with its instant.
    const std::vector<Record> &readings() const { return m_readings; }

private:
    void advanceTo(qint64 ms);

    TemperatureResponse m_response;
    double m_reference;
    State m_state = State::Idle;
    double m_celsius;
    long double m_factor = 1;
    bool m_pending = false; // a reading while paused
    double m_pendingCelsius = 0;
    long double m_pendingFactor = 1;
    qint64 m_developmentMs = 0;
    long double m_doneMs = 0; // development done up to m_segmentMs
    qint64 m_segmentMs = 0;   // where the current factor began (or the pause)
    int m_plannedSeconds = 0;
    std::vector<Record> m_readings;
};
