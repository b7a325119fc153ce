#pragma once

#include "core/grid/grid_model.h"
#include "core/process/agitation.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class Clock;
class SoundOutput;

// The three big labels, the gauge and the two timers of a process tab, as
// plain data. The tab draws it; the timer reads it back (a paused process is
// recognised by its step label's colour).
struct ProcessFace
{
    struct Label
    {
        QString text;
        quint32 color = 0xFF0000; // blue: a tab that was never started
    };
    Label step;
    Label time{QStringLiteral("00:00:00")};
    Label agit;
    int gauge = 0; // may exceed 100; the gauge shows at most 100
    bool stepTimerEnabled = false;
    // While the step timer runs: the date-time (days) its next tick is due.
    double stepTimerDue = 0;
    bool agitTimerEnabled = false;
    int agitInterval = 1000;
};

// One loaded process: its list entry, its step grid and its runtime state.
struct TProcess
{
    QString FileName;
    bool paper = false;
    QString tag;
    std::unique_ptr<GridModel> StepGrid;
    ProcessFace face;
    int CurrentCol = 0;
    int CurrentRow = 0;
    // The current cell's agitation plan has run out (not merely never built).
    bool agitationsDone = false;
};

// What the timers need from the rest of the program, asked at the moment of
// use (the settings may change while processes run).
struct ProcessEnvironment
{
    std::function<bool()> colourMode = [] { return true; };
    std::function<int()> soundMode = [] { return 1; }; // 1 beeps, 2 waves, 3 none
    std::function<int()> soundSeconds = [] { return 0; };
    std::function<QString()> agitationFile = [] { return QString(); };
    std::function<QString()> agitComingText = [] { return QString(); };
    std::function<QString()> agitRunningText = [] { return QString(); };
    // Whether process i's tab is the active page of its page control.
    std::function<bool(int)> isActiveTab = [](int) { return false; };
};

// Every process's count-down: the five buttons, the two timers' ticks, the
// cell walk, agitation cues, colours and sounds. Processes are addressed by
// their index; the tab forwards its events here and draws the face after each.
class ProcessEngine
{
public:
    ProcessEngine(Clock &clock, SoundOutput &sound, ProcessEnvironment env = {});

    // The tag is "P" or "F" followed by the index.
    int add(const QString &fileName, bool paper);
    void clear();
    int size() const { return static_cast<int>(Processes.size()); }
    TProcess &process(int i) { return Processes[static_cast<size_t>(i)]; }
    GridModel &grid(int i) { return *process(i).StepGrid; }
    ProcessFace &face(int i) { return process(i).face; }
    ProcessEnvironment &environment() { return m_env; }

    bool isRunning(int i) { return face(i).stepTimerEnabled; }
    bool isPaused(int i);

    void btnStart(int i);
    void btnPause(int i);
    void btnPrevious(int i);
    void btnNext(int i);
    void btnReset(int i);
    void tmrTimer(int i);
    void tmrAgitTimer(int i);
    void AdvanceCell(int i, bool PauseAtWait);
    void UpdateAgitation(int i, double now);

    // Grid events of a step grid.
    static QString sgrdGetEditMask(int col, int row);
    static void sgrdSetEditText(GridModel &grid, int col, int row);
    bool sgrdSelectCell(int i, int col, int row);
    // Returns true when the agitation file is to be opened (column 4).
    bool sgrdDblClick(int i);

    // Recolours every process's labels value by value for the new scheme.
    void switchScheme(bool colour);

    static void PaintStepGrid(GridModel &grid, int col, int row, bool colourMode);

    std::vector<TProcess> Processes;
    std::vector<int> RemainingSecs;
    std::vector<int> CellSecs;
    std::vector<double> CellEndTime;
    std::vector<TAgitationSeq> AgitSeqs;

private:
    void setLabelColors(int i, quint32 colour, quint32 mono);
    void setStepAndTimeText(int i);
    void loadAgitation(int i, double now);
    void leaveMainTime(int i);
    void dropAgitation(int i);
    void stopAndClearAgitation(int i);
    void scheduleTick(int i);
    void countDownSound(int remaining);
    void endBeep();
    quint32 pick(quint32 colour, quint32 mono) const { return m_env.colourMode() ? colour : mono; }

    Clock &m_clock;
    SoundOutput &m_sound;
    ProcessEnvironment m_env;
};

// The controls outside the process tabs that take the timers' font colour when
// the scheme is switched: the calculator fields and panels.
const std::vector<const char *> &schemeControlNames();
