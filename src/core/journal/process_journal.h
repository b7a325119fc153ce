#pragma once

#include "core/journal/journal_recorder.h"
#include "core/process/process.h"

#include <QStringList>

#include <functional>
#include <optional>

// The journal of one process: turns what the process says of its run into the
// recorder's calls. A run begins at the first cell that counts down with none
// recorded (Démarrer, or Pause on a cell reached by the steps) and ends when
// the process says its run is over. A wait mark is a cell of its own, from the
// moment the process stops there until it leaves it.
//
// The recorder's failures are kept for the tab to show after its command: the
// process has already taken its new state, and the other observers still hear
// the event.
class ProcessJournal
{
public:
    // More of what a cell was given than its event tells, asked as the cell
    // starts; the bath, its use and the factors come with the event.
    using CellDetails =
        std::function<void(const Process &, int col, int row, JournalRecorder::CellStart &)>;

    ProcessJournal(JournalRecorder &recorder, Process &process);
    ProcessJournal(const ProcessJournal &) = delete;
    ProcessJournal &operator=(const ProcessJournal &) = delete;

    // The films in the tank of a run as it starts; the process's own without it.
    void setFilms(std::function<int()> films) { m_films = std::move(films); }
    void setCellDetails(CellDetails details) { m_details = std::move(details); }
    // Called after every journal write.
    void setChanged(std::function<void()> changed) { m_changed = std::move(changed); }

    // After each command of the process: a wait mark reached or left without
    // an event of its own (Suivant onto it, Précédent off it).
    void settle();
    // A temperature read while the process runs (the process says its own).
    void reading(double celsius);

    bool isRecording() const { return m_run.has_value(); }
    std::optional<JournalRecorder::RunId> runId() const { return m_run; }
    QStringList takeErrors();

private:
    struct Place
    {
        int col = 0;
        int row = 0;
        bool operator==(const Place &) const = default;
    };
    void onEvent(const ProcessEvent &event);
    void startRun();
    void startCell(int col, int row, qint64 plannedMs, qint64 givenMs, const ProcessEvent *event);
    void openWait(Place at);
    void closeWait();
    // Writes the end of a cell left without a next one.
    void flushEnd();
    bool isWaitMark(int col, int row) const;
    // Runs a recorder call, keeping its failure.
    void record(const std::function<void()> &call);

    JournalRecorder &m_recorder;
    Process &m_process;
    std::function<int()> m_films;
    CellDetails m_details;
    std::function<void()> m_changed;
    std::optional<JournalRecorder::RunId> m_run;
    std::optional<Place> m_wait; // the wait mark recorded as open
    bool m_endPending = false;   // a cell ended, not yet written
    QStringList m_errors;
};
