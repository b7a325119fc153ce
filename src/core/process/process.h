#pragma once

#include "core/baths/bath_texts.h"
#include "core/grid/grid_model.h"
#include "core/process/agitation.h"
#include "core/process/collisions.h"
#include "core/temperature/compensating_timer.h"
#include "core/temperature/temperature_texts.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class BathStore;
class Clock;
class SoundOutput;
class TemperatureSource;

// What the timers need from the rest of the program, asked at the moment of
// use (the settings may change while processes run).
struct ProcessEnvironment
{
    std::function<bool()> colourMode = [] { return true; };
    std::function<int()> soundMode = [] { return 1; }; // 1 beeps, 2 waves, 3 none
    std::function<int()> soundSeconds = [] { return 0; };
    std::function<FilePath()> agitationFile = [] { return FilePath(QString()); };
    std::function<QString()> agitComingText = [] { return QString(); };
    std::function<QString()> agitRunningText = [] { return QString(); };
    // The word of a finished process's step label.
    std::function<QString()> finishedText = [] { return QStringLiteral("Terminé"); };
    // The words of a stopped process, beside its colour.
    std::function<QString()> pauseWord = [] { return QStringLiteral("PAUSE"); };
    std::function<QString()> waitWord = [] { return QStringLiteral("ATTENTE"); };
    // The name a count-down wave ("5.wav", "pause.wav") is played by.
    std::function<QString(const QString &)> waveName = [](const QString &name) { return name; };
    // What a process about to start says before its count-down ("Démarre
    // dans"), and the collision margin in milliseconds.
    std::function<QString()> startsInText = [] { return QStringLiteral("Démarre dans"); };
    std::function<qint64()> collisionMarginMs = [] { return qint64(15000); };
    // A process's calls ahead may have changed (the engine's own).
    std::function<void()> callsChanged = [] {};
    // Whether process i's tab is the active page of its page control.
    std::function<bool(int)> isActiveTab = [](int) { return false; };
    // The baths of the working folder; none: every step runs on the file's time.
    std::function<BathStore *()> baths = [] { return static_cast<BathStore *>(nullptr); };
    std::function<const BathTexts *()> bathTexts = [] {
        static const BathTexts texts;
        return &texts;
    };
    std::function<const TemperatureTexts *()> temperatureTexts = [] {
        static const TemperatureTexts texts;
        return &texts;
    };
    std::function<TemperatureUnit()> temperatureUnit = [] { return TemperatureUnit::Celsius; };
};

// Where a process stands. A process is in exactly one of these.
enum class ProcessState
{
    Idle,       // never started, or reset
    Running,    // counting down its current cell
    Paused,     // stopped part-way, or at a cell chosen by a step or a double-click
    AtWaitMark, // stopped at a wait mark, waiting for the photographer
    Finished,   // its count-down passed the last step; until the next command
};

// What keeps a process under way from going on by itself: the mark its tab
// and its page keep until it goes on.
enum class ProcessHold
{
    None,
    Paused,  // paused part-way by the photographer
    Waiting, // stopped at a wait mark
};

// The colour scheme and the texts the face is drawn with.
struct FaceStyle
{
    bool colour = true;
    QString agitComing;
    QString agitRunning;
    QString finished;
    // The words beside the colour of a stopped process (PAUSE, ATTENTE).
    QString pauseWord;
    QString waitWord;
    QString startsIn;
    // The lines of a step's bath and temperature; ours when none are given.
    const BathTexts *bathTexts = nullptr;
    const TemperatureTexts *temperatureTexts = nullptr;
    TemperatureUnit unit = TemperatureUnit::Celsius;
};

// What a process's tab shows of it, computed from its state and a style: the
// three big labels, the gauge, and the timers that keep it going.
struct ProcessFace
{
    struct Label
    {
        QString text;
        quint32 color = 0xFF0000;
        bool operator==(const Label &) const = default;
    };
    Label step;
    Label time;
    Label agit;
    // The state in words, beside the colour: empty unless stopped.
    Label state;
    ProcessHold hold = ProcessHold::None;
    // The use of the step's bath ("ID-11 · 3rd film · 08:30 → 10:12") and its
    // temperature ("21.5 °C · 08:30 → 07:37"); empty for a step without.
    QString bathLine;
    QString temperatureLine;
    int gauge = 0; // may exceed 100; the gauge shows at most 100
    // While the process runs: the instant its next tick is due.
    std::optional<qint64> tickDueMs;
    // While an agitation is being counted: the agitation timer's interval, and
    // which agitation it is (the timer starts afresh for each).
    std::optional<int> agitationStepMs;
    quint64 agitation = 0;
};

// What happened in a run, for whoever keeps a record of it.
struct ProcessEvent
{
    enum class Kind
    {
        CellStarted, // a cell began counting down from its full time
        CellEnded,   // a cell that had started was left
        Paused,
        Resumed,
        RunEnded, // the process is no longer under way
        Reading,  // a temperature reading was taken (celsius)
    };
    enum class How
    {
        None,
        RanOut,    // the cell's time was up
        Stepped,   // Suivant or Précédent
        Chosen,    // a double-click on a cell
        Restarted, // Démarrer on a cell under way
        Reset,     // Réinitialiser
        Finished,  // after the last step
        Reload,    // the tabs were built again
        Closed,    // the program ended
    };
    Kind kind;
    How how = How::None;
    int col = 0;
    int row = 0;
    qint64 atMs = 0;
    qint64 plannedMs = 0; // the cell's time in the file
    qint64 givenMs = 0;   // the time the cell was given when it started
    qint64 actualMs = 0;  // CellEnded: how long it counted down
    // A main time with a bath: the bath, the use it is in its bottle, and the
    // factors of its wear and of its temperature (none when it has none).
    QString bath = {};
    int bathUse = 0;
    std::optional<double> wearFactor = {};
    std::optional<double> temperatureFactor = {};
    double celsius = 0; // Reading
};

// The use of a bath by the current main time: how the time in the file became
// the time given.
struct StepUse
{
    QString bath;
    int fileSeconds = 0;
    int wornSeconds = 0; // after the bath's wear, cut to the second
    long double wearFactor = 1;
    qint64 filmsBefore = 0; // through the bottle in use before this tank's
    int useNumber = 0;      // the use this will be in the bottle, from 1
    // The bath's time follows its temperature (the factor at the last reading).
    bool compensated = false;
    long double temperatureFactor = 1;
};

// One loaded process: its list entry, its step grid and its whole run. Its
// commands compute the next state first and commit it last, so a command that
// cannot be carried out leaves the process as it was. The tab forwards its
// events here and draws face() after each.
class Process
{
public:
    Process(QString fileName, bool paper, int index, Clock &clock, SoundOutput &sound,
            const ProcessEnvironment &env);

    const QString &fileName() const { return m_fileName; }
    bool paper() const { return m_paper; }
    // "P" or "F" followed by the index.
    const QString &tag() const { return m_tag; }
    int index() const { return m_index; }
    GridModel &grid() { return m_grid; }
    const GridModel &grid() const { return m_grid; }
    // The step label of a process never started: the file's title.
    void setTitle(const QString &title) { m_title = title; }
    const QString &title() const { return m_title; }

    ProcessState state() const { return m_run.state; }
    bool isRunning() const { return m_run.state == ProcessState::Running; }
    // Started by Démarrer or resumed by Pause, and not back to idle since.
    bool isUnderway() const { return m_run.underway; }
    ProcessHold hold() const;
    // The current cell; 0, 0 until the process is first started or stepped.
    int currentCol() const { return m_run.col; }
    int currentRow() const { return m_run.row; }
    // The current cell's time as it was given when the cell became current.
    qint64 givenMs() const { return m_run.givenMs; }
    // While running: when the current cell ends.
    std::optional<qint64> cellEndMs() const;
    // What is left of the current cell at nowMs.
    qint64 remainingMs(qint64 nowMs) const;
    // The count-down second last shown (and sounded).
    int shownSeconds() const { return m_run.shown; }
    // The current main time's agitations; none outside a main time.
    const AgitationPlan *agitationPlan() const;
    // The instant a start put off by "in N s" is due, while it waits.
    std::optional<qint64> pendingStartMs() const { return m_run.pendingStartMs; }

    // The moments it will need the photographer after fromMs and up to
    // untilMs: while running, as its count-down goes on; while a start is put
    // off, as it would go from then; nothing otherwise (a stopped process
    // waits for the photographer to say when).
    std::vector<Call> callsAhead(qint64 fromMs, qint64 untilMs) const;
    // The same for Démarrer at startMs, from the cell it would start in.
    std::vector<Call> callsIfStarted(qint64 startMs, qint64 untilMs) const;
    // What callsAhead depends on besides the clock: equal while it would give
    // the same calls.
    struct CallsKey
    {
        ProcessState state = ProcessState::Idle;
        int col = 0;
        int row = 0;
        qint64 endMs = 0;
        std::optional<qint64> pendingStartMs;
        quint64 textRevision = 0;
        bool operator==(const CallsKey &) const = default;
    };
    CallsKey callsKey() const;

    // The films in the tank (1 unless changed): what a use adds to its bath.
    int films() const { return m_films; }
    void setFilms(int films);
    // The temperature the file's times are for: 20 °C without [Temperature].
    double referenceCelsius() const { return m_reference; }
    void setReferenceCelsius(double celsius);
    // The temperature last read; the reference until a reading.
    double celsius() const { return m_run.celsius; }
    // A reading of the bath's temperature. While the current main time runs it
    // re-plans what is left of it; while paused it applies from the resume;
    // before, it sets the time the step will be given. False, with its message
    // among the errors, when the current step's bath gives no factor there.
    bool reading(double celsius);
    // Takes the readings of source from now on (the keyboard, a probe).
    void listenTo(TemperatureSource &source);
    // The use of the current main time by its bath, if its step has one.
    const StepUse *use() const { return m_run.use ? &*m_run.use : nullptr; }
    // The development of the current main time while its bath's temperature
    // counts: every reading taken since its start.
    const CompensatingTimer *compensation() const { return m_run.comp.get(); }
    // What to ask before Démarrer: a question for each bath, of the main times
    // still to come from the cell it starts at, that is exhausted, expired or
    // due to be discarded.
    QStringList startQuestions() const;

    using Observer = std::function<void(const Process &, const ProcessEvent &)>;
    void addObserver(Observer observer) { m_observers.push_back(std::move(observer)); }

    // The five buttons, the two timers' ticks and the step grid's double-click
    // (true when the agitation file is to be opened instead).
    void start();
    // Démarrer answered "in N s": starts by itself at atMs, counting down to
    // it; any command before then takes its place.
    void scheduleStart(qint64 atMs);
    void pause();
    void previous();
    void next();
    void reset();
    void tick();
    void agitationTick();
    bool doubleClick();
    // The grid's selection query: while the process runs, only a cell after
    // the current one.
    bool maySelect(int col, int row) const;
    // The tabs go (a reload, the end of the program): a run under way ends.
    void abandon(ProcessEvent::How how);
    // A scheme switch: labels that kept the colour of a never-started tab take
    // the scheme's.
    void schemeSwitched() { m_run.designColours = false; }

    ProcessFace face(const FaceStyle &style) const;
    // The messages of what failed in the commands since the last call (an
    // agitation file or line that could not be read), to be shown once the
    // next tick is armed.
    QStringList takeErrors();

private:
    // One cell of the step table, as the walk and the count-down read it.
    struct StepCell
    {
        int seconds = 0;
        bool waitMark = false; // exactly "X"
        bool empty = true;
    };
    // The step grid parsed into typed values, read again after an edit.
    struct Steps
    {
        int cols = 0;
        int rows = 0;
        std::vector<StepCell> cells; // row by row
        QStringList names;           // column 0, by row
        QStringList headings;        // row 0, by column
        QStringList codes;           // column 4, by row
        QStringList baths;           // column 5, by row, blanks around dropped
        const StepCell &at(int col, int row) const;
    };
    // What the agitation label says.
    struct Cue
    {
        enum class Kind
        {
            None,        // nothing
            Description, // a plan was just made: its first entry's text
            Coming,      // seconds until the next agitation
            Agitating,   // counter, count and seconds left of the one under way
            UsedUp,      // every agitation of the cell has been given
        };
        enum class Tone
        {
            Labels, // the colour of the three labels
            Coming,
            Agitating,
        };
        Kind kind = Kind::None;
        Tone tone = Tone::Labels;
        QString description;
        int seconds = 0;
        int counter = 0;
        int count = 0;
        // The agitation timer's steps since: counters from stepFrom + 1 to
        // stepTo, each written over the text as the timer writes it.
        int stepFrom = 0;
        int stepTo = 0;
    };
    // All of a run, so that a command works on a copy and commits at once.
    struct Run
    {
        ProcessState state = ProcessState::Idle;
        bool underway = false;
        // The labels keep a never-started tab's blue, whatever the scheme.
        bool designColours = true;
        int col = 0;
        int row = 0;
        qint64 givenMs = 0;
        qint64 remainingMs = 0; // while stopped
        qint64 endMs = 0;       // while running
        qint64 tickDueMs = 0;   // while running
        int shown = 0;
        bool cellStarted = false; // the current cell has counted down since it became current
        std::optional<AgitationPlan> plan;
        Cue cue;
        quint64 agitation = 0; // counts the agitations begun
        QDateTime finishedAt;
        // The scheme the grid was last painted in; none: never painted.
        std::optional<bool> gridColour;
        // A start put off: when it is due.
        std::optional<qint64> pendingStartMs;
        double celsius = 20;
        // A main time with a bath: its use, and its development while the
        // bath's temperature counts.
        std::optional<StepUse> use;
        std::shared_ptr<CompensatingTimer> comp;
    };
    // What a command does besides its new state, in order, once it is
    // committed.
    struct Effects
    {
        std::vector<std::function<void(Process &)>> before; // seen by the old state
        std::vector<std::function<void(Process &)>> after;
        std::vector<ProcessEvent> events;
        QStringList errors;
    };
    struct Cell
    {
        int col;
        int row;
    };

    const Steps &steps() const;
    QString stepLabelText(int col, int row) const;
    qint64 plannedMs(int col, int row) const;
    qint64 givenDurationMs(int col, int row) const;

    void commit(Run next, Effects effects);
    void enterCell(Run &run, int col, int row, qint64 now, Effects &fx) const;
    // The bath's adjustment of the current main time, at the last reading.
    void planUse(Run &run, qint64 now, QStringList &errors) const;
    static void ownCompensation(Run &run);
    // The count-down of a main time begins: its development with it.
    void beginCount(Run &run, qint64 now) const;
    // After the count-down's end moved (a reading, a resume): the time given,
    // the second shown and the agitations still to come follow.
    void followEnd(Run &run, qint64 now, qint64 oldLeft) const;
    // The main time of a bath is over: its films are added to the bath.
    void addUse(const Run &run, Effects &fx) const;
    QString refusal(const TemperatureResponse &response, double celsius) const;
    void faceLines(ProcessFace &f, const FaceStyle &style) const;
    void setLabelsTone(Run &run) const { run.cue.tone = Cue::Tone::Labels; }
    void planAgitation(Run &run, qint64 now, Effects &fx) const;
    void updateAgitation(Run &run, qint64 now) const;
    void resetTo(Run &run, ProcessState state, Effects &fx) const;
    void arm(Run &run, qint64 now) const;
    void endCell(const Run &run, qint64 now, ProcessEvent::How how, Effects &fx) const;
    void startCell(const Run &run, qint64 now, Effects &fx) const;
    ProcessEvent cellEvent(const Run &run, qint64 now, ProcessEvent::Kind kind,
                           ProcessEvent::How how = {}) const;
    void endRun(const Run &run, qint64 now, ProcessEvent::How how, Effects &fx) const;
    // The next timed cell or wait mark, or none past the last step. pauseAt
    // tells whether the walk crossed a wait column on the way.
    std::optional<Cell> walkForward(int col, int row, bool *pauseAt) const;
    std::optional<Cell> walkBack(int col, int row) const;
    // The cell walk of the count-down (and of Suivant): into the next timed
    // cell or wait mark, pausing at a wait mark when pauseAtWait, or to the
    // end of the process.
    void advance(Run &run, qint64 now, bool pauseAtWait, Effects &fx) const;
    void paintGrid(Run &run, Effects &fx) const;
    // The calls from the end of cell (col, row) at endMs on, walking forward.
    void appendCallsFrom(int col, int row, qint64 endMs, qint64 fromMs, qint64 untilMs,
                         std::vector<Call> &out) const;
    void appendAgitations(int row, qint64 startMs, qint64 endMs, qint64 fromMs, qint64 untilMs,
                          std::vector<Call> &out) const;
    void countDownSound(int seconds, Effects &fx) const;
    void endBeep(Effects &fx) const;
    void refuse(Effects &fx) const;

    QString m_fileName;
    bool m_paper;
    int m_index;
    QString m_tag;
    QString m_title;
    Clock &m_clock;
    SoundOutput &m_sound;
    const ProcessEnvironment &m_env;
    GridModel m_grid;
    mutable Steps m_steps;
    mutable quint64 m_stepsRevision = ~quint64(0);
    Run m_run;
    CallsKey m_callsKey; // as last committed
    // The two lines of the last face drawn, made again only when what they
    // say changed: a tick changes neither.
    struct LinesCache
    {
        const BathTexts *bathTexts = nullptr;
        const TemperatureTexts *temperatureTexts = nullptr;
        TemperatureUnit unit = TemperatureUnit::Celsius;
        QString bath;
        qint64 filmsBefore = -1;
        int fileSeconds = -1, wornSeconds = -1, givenSeconds = -1;
        bool compensated = false;
        double celsius = 0;
        QString bathLine, temperatureLine;
    };
    mutable LinesCache m_lines;
    int m_films = 1;
    double m_reference = 20;
    QStringList m_errors;
    std::vector<Observer> m_observers;
};
