#include "engine_rig.h"

#include "test_support.h"

EngineRig::EngineRig()
{
    ProcessEnvironment env;
    env.colourMode = [this] { return colour; };
    env.soundMode = [this] { return soundMode; };
    env.soundSeconds = [this] { return soundSeconds; };
    env.agitationFile = [this] { return agitationFile; };
    env.agitComingText = [this] { return coming; };
    env.agitRunningText = [this] { return running; };
    env.finishedText = [this] { return finished; };
    env.isActiveTab = [this](int i) { return i == activeTab; };
    engine = std::make_unique<ProcessEngine>(clock, sound, env);
    writeAgitation({"A\tInversions\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00"});
}

void EngineRig::writeAgitation(const QStringList &lines)
{
    agitationFile = folder.filePath(QStringLiteral("agit.txt"));
    writeBytes(agitationFile, crlf(lines));
}

int EngineRig::addProcess(const QStringList &steps, bool paper)
{
    const int i = engine->add(QStringLiteral("p.txt"), paper);
    std::vector<QStringList> table{{"Step", "Time", "Time 2", "Wait", "Agit"}};
    for (const QString &s : steps)
        table.push_back(s.split(QLatin1Char('|')));
    GridModel &g = grid(i);
    g.setTable(table, 5);
    g.setDefaultRowHeight(16);
    g.setPixelHeight(425);
    g.setFixedCols(1);
    g.setFixedRows(1);
    g.setCurrent(1, 1);
    return i;
}

void EngineRig::tickAfter(int i, double seconds)
{
    clock.advanceSeconds(seconds);
    process(i).tick();
}

int EngineRig::runUntilStopped(int i, int limit)
{
    int n = 0;
    while (process(i).isRunning() && n < limit) {
        tickAfter(i, 1.0);
        ++n;
    }
    return n;
}

void EngineRig::tickWhenDue(int i, qint64 lateMs)
{
    clock.setNowMs(face(i).tickDueMs.value_or(clock.nowMs()));
    clock.advanceMs(lateMs);
    process(i).tick();
}
