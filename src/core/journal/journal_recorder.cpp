#include "core/journal/journal_recorder.h"

#include "core/base/clock.h"
#include "core/base/runtime_error.h"
#include "core/temperature/temperature_source.h"

JournalRecorder::JournalRecorder(JournalStore &store, const Clock &clock)
    : m_store(store), m_clock(clock)
{
}

qint64 JournalRecorder::sinceStart(const Live &live) const
{
    return std::max<qint64>(0, m_clock.nowMs() - live.startMs);
}

const JournalRun *JournalRecorder::run(RunId id) const
{
    return m_store.live(id);
}

void JournalRecorder::write(RunId id)
{
    try {
        m_store.saveRun(id);
        m_lastError.clear();
    } catch (const RuntimeError &e) {
        if (e.message() == m_lastError)
            return;
        m_lastError = e.message();
        throw;
    }
}

JournalRecorder::RunId JournalRecorder::runStarted(const RunStart &start)
{
    JournalRun run;
    const QDateTime now = m_clock.localNow();
    run.started = wallTime(now.date(), now.time().addMSecs(-now.time().msec()));
    run.title = start.title;
    run.file = start.file;
    run.films = std::max(1, start.films);
    std::optional<RuntimeError> unreadable;
    if (!m_store.isLoaded()) {
        try {
            m_store.load();
        } catch (const RuntimeError &e) {
            unreadable = e; // recorded all the same; the store refuses to write
        }
    }
    const RunId id = m_store.addLive(std::move(run));
    m_live[id].startMs = m_clock.nowMs();
    if (unreadable && unreadable->message() != m_lastError) {
        m_lastError = unreadable->message();
        throw *unreadable;
    }
    write(id);
    return id;
}

void JournalRecorder::endCell(JournalRun &run, Live &live, qint64 at)
{
    if (!live.cellOpen || run.cells.empty())
        return;
    JournalCell &cell = run.cells.back();
    if (live.pausedSince) {
        cell.pausedMs += at - *live.pausedSince;
        live.pausedSince.reset();
    }
    cell.endMs = std::max(at, cell.startMs);
    live.cellOpen = false;
}

void JournalRecorder::cellStarted(RunId id, const CellStart &start)
{
    JournalRun *run = m_store.live(id);
    const auto it = m_live.find(id);
    if (!run || it == m_live.end())
        return;
    const qint64 at = sinceStart(it->second);
    endCell(*run, it->second, at);
    JournalCell cell;
    cell.step = start.step;
    cell.row = start.row;
    cell.phase = start.phase;
    if (start.phase != JournalCell::Phase::Wait) {
        cell.fileSeconds = start.fileSeconds;
        cell.givenSeconds = start.givenSeconds;
    }
    cell.wearFactor = start.wearFactor;
    cell.temperatureFactor = start.temperatureFactor;
    cell.bath = start.bath;
    cell.bathUse = start.bath.isEmpty() ? 0 : start.bathUse;
    cell.startMs = at;
    run->cells.push_back(std::move(cell));
    it->second.cellOpen = true;
    write(id);
}

void JournalRecorder::cellEnded(RunId id)
{
    JournalRun *run = m_store.live(id);
    const auto it = m_live.find(id);
    if (!run || it == m_live.end() || !it->second.cellOpen)
        return;
    endCell(*run, it->second, sinceStart(it->second));
    write(id);
}

void JournalRecorder::paused(RunId id)
{
    JournalRun *run = m_store.live(id);
    const auto it = m_live.find(id);
    if (!run || it == m_live.end() || !it->second.cellOpen || it->second.pausedSince)
        return;
    it->second.pausedSince = sinceStart(it->second);
    ++run->cells.back().pauses;
    write(id);
}

void JournalRecorder::resumed(RunId id)
{
    JournalRun *run = m_store.live(id);
    const auto it = m_live.find(id);
    if (!run || it == m_live.end() || !it->second.pausedSince)
        return;
    run->cells.back().pausedMs += sinceStart(it->second) - *it->second.pausedSince;
    it->second.pausedSince.reset();
    write(id);
}

void JournalRecorder::reading(RunId id, double celsius)
{
    JournalRun *run = m_store.live(id);
    const auto it = m_live.find(id);
    if (!run || it == m_live.end() || !it->second.cellOpen)
        return;
    std::vector<JournalReading> &readings = run->cells.back().readings;
    if (!readings.empty() && readings.back().celsius == celsius)
        return;
    const JournalReading r{sinceStart(it->second), celsius};
    if (static_cast<int>(readings.size()) >= JournalFormat::MaxReadingsPerCell)
        readings.back() = r;
    else
        readings.push_back(r);
    write(id);
}

void JournalRecorder::runEnded(RunId id, JournalRun::End end, int resetStep)
{
    JournalRun *run = m_store.live(id);
    const auto it = m_live.find(id);
    if (!run || it == m_live.end())
        return;
    const qint64 at = sinceStart(it->second);
    endCell(*run, it->second, at);
    run->end = end == JournalRun::End::Open || end == JournalRun::End::CutOff
                   ? JournalRun::End::Finished
                   : end;
    run->resetStep = end == JournalRun::End::Reset ? resetStep : 0;
    run->endMs = at;
    m_live.erase(it);
    write(id);
}

void JournalRecorder::programClosed()
{
    std::vector<RunId> ids;
    for (const auto &[id, live] : m_live)
        ids.push_back(id);
    std::optional<RuntimeError> failed;
    for (const RunId id : ids) {
        JournalRun *run = m_store.live(id);
        auto it = m_live.find(id);
        if (!run)
            continue;
        const qint64 at = sinceStart(it->second);
        endCell(*run, it->second, at);
        run->end = JournalRun::End::Closed;
        run->endMs = at;
        m_live.erase(it);
        // Each run to journal.txt, whatever becomes of the others.
        try {
            write(id);
        } catch (const RuntimeError &e) {
            if (!failed)
                failed = e;
        }
    }
    if (failed)
        throw *failed;
}
