#pragma once

#include "core/process/process.h"

#include <QString>
#include <memory>
#include <vector>

class Clock;
class SoundOutput;

// Every loaded process, paper processes first, and what they share: the
// clock, the sound output and the environment. Processes are addressed by
// their index, which is part of their tag.
class ProcessEngine
{
public:
    ProcessEngine(Clock &clock, SoundOutput &sound, ProcessEnvironment env = {});
    ProcessEngine(const ProcessEngine &) = delete;
    ProcessEngine &operator=(const ProcessEngine &) = delete;

    int add(const QString &fileName, bool paper);
    void clear();
    // The tabs go: every run under way ends, for how.
    void abandonAll(ProcessEvent::How how);
    int size() const { return static_cast<int>(m_processes.size()); }
    Process &process(int i) { return *m_processes[static_cast<size_t>(i)]; }
    const Process &process(int i) const { return *m_processes[static_cast<size_t>(i)]; }
    GridModel &grid(int i) { return process(i).grid(); }
    ProcessEnvironment &environment() { return m_env; }

    // The scheme and texts of the moment, and a process's face drawn with them.
    FaceStyle style() const;
    ProcessFace face(int i) const { return process(i).face(style()); }
    // Some process is under way: the screen is kept awake for it, and the
    // window asks before it closes.
    bool anyUnderway() const;
    // The hold a page of processes (paper or film) shows: a wait at a wait
    // mark before a pause.
    ProcessHold holdOf(bool paper) const;
    // The scheme was switched: every label takes its colours.
    void switchScheme();

    // How far ahead collisions are looked for.
    static constexpr qint64 CollisionHorizonMs = 10 * 60 * 1000;
    // The next collision of process i's calls with another's, or of any
    // process's for i = -1, after nowMs.
    std::optional<Collision> nextCollision(qint64 nowMs, int i = -1) const;
    // Démarrer on process i at nowMs would collide: the first collision, and
    // the delay (whole seconds) that would avoid every one.
    struct StartClash
    {
        Collision collision;
        std::optional<qint64> delayMs;
    };
    std::optional<StartClash> startClash(int i, qint64 nowMs) const;

    // Grid events of a step grid.
    static QString sgrdGetEditMask(int col, int row);
    static void sgrdSetEditText(GridModel &grid, int col, int row);
    static void PaintStepGrid(GridModel &grid, int col, int row, bool colourMode);

private:
    Clock &m_clock;
    SoundOutput &m_sound;
    ProcessEnvironment m_env;
    std::vector<std::unique_ptr<Process>> m_processes;

    // The collisions of the calls ahead, worked out again only when a
    // process's calls change or the horizon has moved on by half. Each
    // process's calls are kept over a span longer than the horizon, so that a
    // change makes again only the calls of the processes it changed.
    static constexpr qint64 CallSpanMs = CollisionHorizonMs * 3 / 2;
    struct OwnCalls
    {
        bool known = false;
        Process::CallsKey key;
        qint64 fromMs = 0; // the calls after it, up to CallSpanMs later
    };
    struct CollisionCache
    {
        quint64 revision = ~quint64(0);
        size_t count = 0;
        qint64 fromMs = 0;
        qint64 marginMs = -1;
        std::vector<OwnCalls> own;                     // by process
        std::vector<Call> calls;                       // every process's, in callOrder
        std::vector<Collision> all;                    // in the order of the calls
        std::vector<std::vector<Collision>> ofProcess; // each process's own
    };
    const CollisionCache &collisions(qint64 nowMs) const;
    std::vector<Call> callsOfOthers(int i, qint64 fromMs, qint64 untilMs) const;
    mutable CollisionCache m_collisions;
    quint64 m_callsRevision = 0;
};
