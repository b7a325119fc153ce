#include "core/process/process_watch.h"

#include "core/process/process_engine.h"

ProcessPosition positionOf(ProcessEngine &engine, int i)
{
    const Process &p = engine.process(i);
    ProcessPosition pos;
    pos.col = p.currentCol();
    pos.row = p.currentRow();
    pos.running = p.isRunning();
    pos.paused = p.state() == ProcessState::Paused || p.state() == ProcessState::AtWaitMark;
    pos.atWaitMark = p.state() == ProcessState::AtWaitMark;
    return pos;
}

Milestone milestoneBetween(const ProcessPosition &before, const ProcessPosition &after)
{
    // Only the count-down moves a running process on by itself.
    if (!before.running)
        return Milestone::None;
    if (after.paused)
        return after.atWaitMark ? Milestone::WaitMark : Milestone::None;
    // Idle again after its last cell, or running on in its next one.
    const bool moved = after.col != before.col || after.row != before.row;
    if (!after.running || moved)
        return Milestone::CellEnded;
    return Milestone::None;
}

void ProcessWatch::reset(ProcessEngine &engine)
{
    m_positions.clear();
    for (int i = 0; i < engine.size(); ++i)
        m_positions.push_back(positionOf(engine, i));
}

Milestone ProcessWatch::update(ProcessEngine &engine, int i)
{
    if (i < 0 || i >= engine.size())
        return Milestone::None;
    if (static_cast<size_t>(i) >= m_positions.size())
        m_positions.resize(static_cast<size_t>(engine.size()));
    ProcessPosition &old = m_positions[static_cast<size_t>(i)];
    const ProcessPosition now = positionOf(engine, i);
    const Milestone m = milestoneBetween(old, now);
    old = now;
    return m;
}
