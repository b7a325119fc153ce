#pragma once

#include <vector>

class ProcessEngine;

// Where a process stands; read after each of its events to tell what the
// event did.
struct ProcessPosition
{
    int col = 0;
    int row = 0;
    bool running = false;
    bool paused = false;
    bool atWaitMark = false;
    bool operator==(const ProcessPosition &) const = default;
};

ProcessPosition positionOf(ProcessEngine &engine, int i);

// What a running process reached between two positions, worth telling away
// from its tab.
enum class Milestone
{
    None,
    CellEnded, // it went on to its next timed cell, or ended and reset itself
    WaitMark,  // it paused at a wait mark
};
Milestone milestoneBetween(const ProcessPosition &before, const ProcessPosition &after);

// The positions of every process, kept to tell the milestones of each new
// event.
class ProcessWatch
{
public:
    // Forgets the old positions and takes every process's current one.
    void reset(ProcessEngine &engine);
    // The milestone of process i since its last position, which it keeps.
    Milestone update(ProcessEngine &engine, int i);

private:
    std::vector<ProcessPosition> m_positions;
};
