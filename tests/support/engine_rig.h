#pragma once

#include "core/base/clock.h"
#include "core/process/process_engine.h"
#include "core/process/sound_output.h"

#include <QStringList>
#include <QTemporaryDir>
#include <memory>

// A process engine on a fake clock and a recording sound output, with the
// settings the timers read held in plain members.
struct EngineRig
{
    EngineRig();

    // Adds a process whose steps are "name|main|second|wait|agitation" rows
    // under the usual header; the grid is set up as a process tab sets it.
    int addProcess(const QStringList &steps, bool paper = false);
    // Lets seconds pass, then delivers one tick of process i.
    void tickAfter(int i, double seconds);
    // What a tab shows of process i, with the rig's scheme and texts.
    ProcessFace face(int i) const { return engine->face(i); }
    // Ticks once a second until the process is no longer running or the limit
    // is reached; returns the number of ticks.
    int runUntilStopped(int i, int limit = 100000);
    // Sets the clock to the instant process i's next tick is due, plus
    // lateMs, and delivers that tick, as the tab's timer would.
    void tickWhenDue(int i, qint64 lateMs = 0);

    GridModel &grid(int i) { return engine->grid(i); }
    Process &process(int i) { return engine->process(i); }

    // Writes the agitation file the rig's processes read.
    void writeAgitation(const QStringList &lines);

    QTemporaryDir folder;
    FakeClock clock;
    RecordingSound sound;
    bool colour = true;
    int soundMode = 3;
    int soundSeconds = 0;
    QString agitationFile;
    QString coming = QStringLiteral("Agitation in");
    QString running = QStringLiteral("AGITATE");
    QString finished = QStringLiteral("Finished");
    int activeTab = -1;
    std::unique_ptr<ProcessEngine> engine;
};
