#pragma once

#include "core/journal/journal_store.h"

#include <map>
#include <optional>

class Clock;

// Writes runs down as they go. A process tab calls it after each of its own
// commands has taken effect: runStarted at Démarrer, cellStarted when a timed
// cell begins or the run stops at a wait mark, cellEnded when it is over (its
// time ran out, Suivant, or the resume after a wait mark), paused and resumed,
// reading for each temperature reading, and runEnded when the process is back
// to idle. Several runs may be recorded at once, one a process.
//
// Times come from the injected clock. Every event is written at once through
// the safe writer, into the run's own file (see JournalStore), so a crash
// loses at most what the current cell had not yet said. A failed write raises; the same failure is
// not raised again, event after event, until a write succeeds.
class JournalRecorder
{
public:
    using RunId = quint64;
    struct RunStart
    {
        QString title;
        QString file;
        int films = 1;
    };
    struct CellStart
    {
        QString step;
        int row = 0;
        JournalCell::Phase phase = JournalCell::Phase::Main;
        int fileSeconds = 0;
        int givenSeconds = 0;
        std::optional<double> wearFactor;
        std::optional<double> temperatureFactor;
        QString bath;
        int bathUse = 0;
    };

    JournalRecorder(JournalStore &store, const Clock &clock);

    // Reads the journal first if nobody has yet (its problems stay with the
    // store, for the Journal page to show).
    RunId runStarted(const RunStart &start);
    // A cell still open is ended first.
    void cellStarted(RunId run, const CellStart &cell);
    void cellEnded(RunId run);
    void paused(RunId run);
    void resumed(RunId run);
    // A reading the same as the cell's last one adds nothing.
    void reading(RunId run, double celsius);
    // The end reason: Finished, Reset (at resetStep), Reload or Closed.
    void runEnded(RunId run, JournalRun::End end, int resetStep = 0);
    // Every run still going ends as the program closes.
    void programClosed();

    bool isLive(RunId run) const { return m_live.count(run) > 0; }
    const JournalRun *run(RunId run) const;

private:
    struct Live
    {
        qint64 startMs = 0; // on the clock
        std::optional<qint64> pausedSince;
        bool cellOpen = false;
    };
    qint64 sinceStart(const Live &live) const;
    void endCell(JournalRun &run, Live &live, qint64 at);
    void write(RunId run);

    JournalStore &m_store;
    const Clock &m_clock;
    std::map<RunId, Live> m_live;
    QString m_lastError;
};
