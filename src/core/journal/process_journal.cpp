#include "core/journal/process_journal.h"

#include "core/base/runtime_error.h"

ProcessJournal::ProcessJournal(JournalRecorder &recorder, Process &process)
    : m_recorder(recorder), m_process(process)
{
    process.addObserver([this](const Process &, const ProcessEvent &e) { onEvent(e); });
}

QStringList ProcessJournal::takeErrors()
{
    QStringList out;
    out.swap(m_errors);
    return out;
}

void ProcessJournal::record(const std::function<void()> &call)
{
    try {
        call();
    } catch (const RuntimeError &e) {
        m_errors << e.message();
    }
    if (m_changed)
        m_changed();
}

bool ProcessJournal::isWaitMark(int col, int row) const
{
    return col == 3 && m_process.grid().cell(col, row) == QLatin1String("X");
}

void ProcessJournal::startRun()
{
    JournalRecorder::RunStart start;
    start.title = m_process.title();
    start.file = m_process.fileName();
    start.films = m_films ? m_films() : m_process.films();
    // The recorder holds the run even when its first write fails.
    record([&] { m_run = m_recorder.runStarted(start); });
}

void ProcessJournal::startCell(int col, int row, qint64 plannedMs, qint64 givenMs,
                               const ProcessEvent *event)
{
    JournalRecorder::CellStart cell;
    cell.step = m_process.grid().cell(0, row);
    cell.row = row;
    cell.phase = col == 3   ? JournalCell::Phase::Wait
                 : col == 2 ? JournalCell::Phase::Second
                            : JournalCell::Phase::Main;
    if (cell.phase != JournalCell::Phase::Wait) {
        cell.fileSeconds = static_cast<int>(plannedMs / 1000);
        cell.givenSeconds = static_cast<int>(givenMs / 1000);
    }
    if (event) {
        cell.bath = event->bath;
        cell.bathUse = event->bathUse;
        cell.wearFactor = event->wearFactor;
        cell.temperatureFactor = event->temperatureFactor;
    }
    if (m_details)
        m_details(m_process, col, row, cell);
    // The recorder ends the open cell at the same instant, in the same write.
    m_endPending = false;
    const JournalRecorder::RunId id = *m_run;
    record([&] { m_recorder.cellStarted(id, cell); });
}

void ProcessJournal::flushEnd()
{
    if (!m_endPending)
        return;
    m_endPending = false;
    const JournalRecorder::RunId id = *m_run;
    record([&] { m_recorder.cellEnded(id); });
}

void ProcessJournal::openWait(Place at)
{
    startCell(at.col, at.row, 0, 0, nullptr);
    m_wait = at;
}

void ProcessJournal::closeWait()
{
    if (!m_wait)
        return;
    m_wait.reset();
    flushEnd();
    const JournalRecorder::RunId id = *m_run;
    record([&] { m_recorder.cellEnded(id); });
}

void ProcessJournal::onEvent(const ProcessEvent &e)
{
    switch (e.kind) {
    case ProcessEvent::Kind::CellStarted:
        if (!m_run)
            startRun();
        if (!m_run)
            return;
        if (isWaitMark(e.col, e.row)) {
            // The count-down leaves the wait mark at its next tick: the wait
            // ends now, at the resume.
            closeWait();
            return;
        }
        m_wait.reset();
        startCell(e.col, e.row, e.plannedMs, e.givenMs, &e);
        return;
    case ProcessEvent::Kind::CellEnded:
        // Written with the cell that follows in the same command, or after
        // the command: one write a cell change.
        if (m_run && !isWaitMark(e.col, e.row))
            m_endPending = true;
        return;
    case ProcessEvent::Kind::Paused:
        if (!m_run)
            return;
        if (isWaitMark(e.col, e.row) && m_process.state() == ProcessState::AtWaitMark) {
            if (!m_wait)
                openWait({e.col, e.row});
            return;
        }
        flushEnd();
        record([id = *m_run, this] { m_recorder.paused(id); });
        return;
    case ProcessEvent::Kind::Reading:
        reading(e.celsius);
        return;
    case ProcessEvent::Kind::Resumed:
        flushEnd();
        if (m_run)
            record([id = *m_run, this] { m_recorder.resumed(id); });
        return;
    case ProcessEvent::Kind::RunEnded: {
        if (!m_run)
            return;
        JournalRun::End end = JournalRun::End::Finished;
        switch (e.how) {
        case ProcessEvent::How::Reset:
            end = JournalRun::End::Reset;
            break;
        case ProcessEvent::How::Reload:
            end = JournalRun::End::Reload;
            break;
        case ProcessEvent::How::Closed:
            end = JournalRun::End::Closed;
            break;
        default:
            break;
        }
        const JournalRecorder::RunId id = *m_run;
        m_run.reset();
        m_wait.reset();
        m_endPending = false; // the end of the run ends its cell
        record([&] { m_recorder.runEnded(id, end, e.row); });
        return;
    }
    }
}

void ProcessJournal::settle()
{
    if (!m_run)
        return;
    flushEnd();
    if (!m_process.isUnderway()) {
        // Back to idle without saying so: the run is over all the same.
        const JournalRecorder::RunId id = *m_run;
        m_endPending = false;
        m_run.reset();
        m_wait.reset();
        record([&] { m_recorder.runEnded(id, JournalRun::End::Finished); });
        return;
    }
    const bool atWait = m_process.state() == ProcessState::AtWaitMark &&
                        isWaitMark(m_process.currentCol(), m_process.currentRow());
    const Place here{m_process.currentCol(), m_process.currentRow()};
    if (m_wait && (!atWait || *m_wait != here))
        closeWait();
    if (!m_wait && atWait)
        openWait(here);
}

void ProcessJournal::reading(double celsius)
{
    if (!m_run)
        return;
    flushEnd();
    record([id = *m_run, celsius, this] { m_recorder.reading(id, celsius); });
}
