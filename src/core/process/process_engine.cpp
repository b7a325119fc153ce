#include "core/process/process_engine.h"

#include "core/base/clock.h"
#include "core/base/colors.h"
#include "core/process/sound_output.h"
#include "core/process/time_text.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kSoundBeeps = 1;
constexpr int kSoundWaves = 2;

double addSeconds(double t, int s)
{
    return (t * 86400.0 + s) / 86400.0;
}

int secondsBetween(double later, double earlier)
{
    return static_cast<int>(std::nearbyint((later - earlier) * 86400.0));
}

bool isWaitMark(const QString &text)
{
    return text == QLatin1String("X");
}

// The step timer's ticks are lined up a couple of milliseconds after each
// whole second before the cell's end, so the tick that ends a cell falls just
// after its end whatever the phase of the cell before it or of a resume. The
// next tick is the first of these instants at least half a second on: a
// closer one would show the second just shown again (and sound it again).
// The end itself is never passed over, however late this tick came.
double nextTickDue(double cellEnd, double now)
{
    constexpr double kMsPerDay = 86400000.0;
    constexpr double kAfterSecond = 2.0;
    constexpr double kMinGap = 500.0;
    const double endMs = cellEnd * kMsPerDay + kAfterSecond;
    const double nowMs = now * kMsPerDay;
    const double secondsBefore = std::floor((endMs - nowMs - kMinGap) / 1000.0);
    double due = endMs - secondsBefore * 1000.0;
    if (cellEnd > now)
        due = std::min(due, endMs);
    return due / kMsPerDay;
}

} // namespace

ProcessEngine::ProcessEngine(Clock &clock, SoundOutput &sound, ProcessEnvironment env)
    : m_clock(clock), m_sound(sound), m_env(std::move(env))
{
}

int ProcessEngine::add(const QString &fileName, bool paper)
{
    const int i = size();
    TProcess p;
    p.FileName = fileName;
    p.paper = paper;
    p.tag = (paper ? QStringLiteral("P") : QStringLiteral("F")) + QString::number(i);
    p.StepGrid = std::make_unique<GridModel>(5, 2);
    GridModel *g = p.StepGrid.get();
    g->selectQuery = [this, i](int c, int r) { return sgrdSelectCell(i, c, r); };
    g->editMaskQuery = [](int c, int r) { return sgrdGetEditMask(c, r); };
    g->editedText = [g](int c, int r) { sgrdSetEditText(*g, c, r); };
    Processes.push_back(std::move(p));
    RemainingSecs.push_back(0);
    CellSecs.push_back(0);
    CellEndTime.push_back(0.0);
    AgitSeqs.emplace_back();
    return i;
}

void ProcessEngine::clear()
{
    Processes.clear();
    RemainingSecs.clear();
    CellSecs.clear();
    CellEndTime.clear();
    AgitSeqs.clear();
}

bool ProcessEngine::isPaused(int i)
{
    const quint32 c = face(i).step.color;
    return !face(i).stepTimerEnabled && (c == Colors::Yellow || c == Colors::Silver);
}

void ProcessEngine::setLabelColors(int i, quint32 colour, quint32 mono)
{
    const quint32 c = pick(colour, mono);
    ProcessFace &f = face(i);
    f.time.color = c;
    f.step.color = c;
    f.agit.color = c;
}

void ProcessEngine::setStepAndTimeText(int i)
{
    TProcess &p = process(i);
    p.face.step.text =
        p.CurrentCol == 1 ? grid(i).cell(0, p.CurrentRow) : grid(i).cell(p.CurrentCol, 0);
    p.face.time.text = SecondsToTimeText(RemainingSecs[i]);
}

void ProcessEngine::loadAgitation(int i, double now)
{
    TProcess &p = process(i);
    // The old plan goes first, timer and cue included, so that a failed read
    // leaves no cue of another step, and no old timer steps the new plan.
    dropAgitation(i);
    AgitSeqs[i] =
        LoadAgitationSeq(m_env.agitationFile(), grid(i).cell(4, p.CurrentRow), now, CellEndTime[i]);
    p.face.agit.text = AgitSeqs[i].front().Text;
}

// Agitation belongs to the main time: outside it, no cue and no timer.
void ProcessEngine::leaveMainTime(int i)
{
    face(i).agitTimerEnabled = false;
    face(i).agit.text.clear();
}

// No plan, no cue and no agitation timer: the next resume plans afresh.
void ProcessEngine::dropAgitation(int i)
{
    ProcessFace &f = face(i);
    f.agitTimerEnabled = false;
    f.agit.text.clear();
    AgitSeqs[i].clear();
    process(i).agitationsDone = false;
}

// Previous, Next and Reset begin alike: both timers off, no agitation left.
void ProcessEngine::stopAndClearAgitation(int i)
{
    face(i).stepTimerEnabled = false;
    dropAgitation(i);
}

void ProcessEngine::countDownSound(int remaining)
{
    switch (m_env.soundMode()) {
    case kSoundBeeps:
        m_sound.beepDefault();
        break;
    case kSoundWaves:
        m_sound.playWave(QString::number(remaining) + QStringLiteral(".wav"));
        break;
    default:
        break;
    }
}

void ProcessEngine::endBeep()
{
    if (m_env.soundMode() == kSoundBeeps)
        m_sound.beepExclamation();
}

void ProcessEngine::btnStart(int i)
{
    TProcess &p = process(i);
    GridModel &g = grid(i);
    const double now = m_clock.nowDays();
    if (p.CurrentCol == 0)
        p.CurrentCol = 1;
    if (p.CurrentRow == 0)
        p.CurrentRow = 1;
    g.setCurrent(p.CurrentCol, p.CurrentRow);
    RemainingSecs[i] = TimeTextToSeconds(g.cell(p.CurrentCol, p.CurrentRow));
    CellSecs[i] = RemainingSecs[i];
    setLabelColors(i, Colors::Red, Colors::Gray);
    setStepAndTimeText(i);
    p.face.gauge = 0;
    PaintStepGrid(g, p.CurrentCol, p.CurrentRow, m_env.colourMode());
    CellEndTime[i] = addSeconds(now, RemainingSecs[i]);
    if (p.CurrentCol == 1) {
        loadAgitation(i, now);
        UpdateAgitation(i, now);
    } else {
        leaveMainTime(i);
    }
    g.setCurrent(4, p.CurrentRow);
    p.face.stepTimerEnabled = true;
    scheduleTick(i);
}

void ProcessEngine::btnPause(int i)
{
    TProcess &p = process(i);
    GridModel &g = grid(i);
    const double now = m_clock.nowDays();
    if (p.face.stepTimerEnabled) {
        p.face.stepTimerEnabled = false;
        if (p.CurrentCol == 1) {
            p.face.agitTimerEnabled = false;
            for (TAgitation &a : AgitSeqs[i])
                a.PausedAt = now;
        }
        setLabelColors(i, Colors::Yellow, Colors::Silver);
        if (m_env.soundMode() == kSoundWaves && m_env.isActiveTab(i))
            m_sound.playWave(QStringLiteral("pause.wav"));
    } else if (isPaused(i)) {
        setLabelColors(i, Colors::Red, Colors::Gray);
        CellEndTime[i] = addSeconds(now, RemainingSecs[i]);
        if (p.CurrentCol == 1) {
            TAgitationSeq &seq = AgitSeqs[i];
            if (!seq.empty() && seq.front().PausedAt > 0.1) {
                // Every start moves later by the length of the pause, as the
                // cell's end does.
                shiftAgitationSeq(seq, now);
                // An agitation the pause interrupted goes on counting.
                if (seq.front().Counter > 0)
                    p.face.agitTimerEnabled = true;
            } else if (p.agitationsDone) {
                // Every agitation of this cell has been given: none again.
                UpdateAgitation(i, now);
            } else {
                loadAgitation(i, now);
                UpdateAgitation(i, now);
            }
        } else {
            p.face.agit.text.clear();
        }
        g.setCurrent(4, g.currentRow());
        p.face.stepTimerEnabled = true;
        scheduleTick(i);
    }
    PaintStepGrid(g, p.CurrentCol, p.CurrentRow, m_env.colourMode());
}

void ProcessEngine::btnPrevious(int i)
{
    TProcess &p = process(i);
    GridModel &g = grid(i);
    stopAndClearAgitation(i);
    setLabelColors(i, Colors::Yellow, Colors::Silver);
    if (p.CurrentRow == 0)
        p.CurrentRow = 1;
    for (;;) {
        if (p.CurrentCol > 1) {
            --p.CurrentCol;
        } else {
            p.CurrentCol = g.cols() - 1;
            --p.CurrentRow;
        }
        if (p.CurrentRow < 1) {
            endBeep();
            btnReset(i);
            return;
        }
        const QString text = g.cell(p.CurrentCol, p.CurrentRow);
        if (TimeTextToSeconds(text) > 0 || isWaitMark(text))
            break;
    }
    g.setCurrent(p.CurrentCol, p.CurrentRow);
    RemainingSecs[i] = TimeTextToSeconds(g.cell(p.CurrentCol, p.CurrentRow));
    CellSecs[i] = RemainingSecs[i];
    setStepAndTimeText(i);
    p.face.gauge = 0;
    PaintStepGrid(g, p.CurrentCol, p.CurrentRow, m_env.colourMode());
    if (p.CurrentCol == 1)
        loadAgitation(i, m_clock.nowDays());
    else
        p.face.agit.text.clear();
}

void ProcessEngine::btnNext(int i)
{
    stopAndClearAgitation(i);
    setLabelColors(i, Colors::Yellow, Colors::Silver);
    // The process is paused now, so a wait mark on the way has nothing to
    // pause: Next stops there and leaves the clock to Start and Pause.
    AdvanceCell(i, false);
}

void ProcessEngine::btnReset(int i)
{
    TProcess &p = process(i);
    GridModel &g = grid(i);
    stopAndClearAgitation(i);
    g.setTopRow(1);
    p.CurrentCol = 1;
    g.setCurrentCol(1);
    p.CurrentRow = 1;
    g.setCurrentRow(1);
    RemainingSecs[i] = 0;
    CellSecs[i] = 0;
    CellEndTime[i] = 0.0;
    p.face.step.text = g.cell(0, 1);
    p.face.time.text = QStringLiteral("00:00:00");
    setLabelColors(i, Colors::Blue, Colors::White);
    p.face.gauge = 0;
    PaintStepGrid(g, 1, 1, m_env.colourMode());
    g.setSelectionColors(g.gridColor(), g.fontColor());
}

void ProcessEngine::scheduleTick(int i)
{
    if (face(i).stepTimerEnabled)
        face(i).stepTimerDue = nextTickDue(CellEndTime[i], m_clock.nowDays());
}

void ProcessEngine::tmrTimer(int i)
{
    TProcess &p = process(i);
    GridModel &g = grid(i);
    // The next tick is planned however this one ends, a failed agitation
    // read included: a running process must not be left without ticks.
    struct Reschedule
    {
        ProcessEngine &engine;
        int i;
        ~Reschedule() { engine.scheduleTick(i); }
    } reschedule{*this, i};
    double now = m_clock.nowDays();
    if (isWaitMark(g.cell(p.CurrentCol, p.CurrentRow))) {
        AdvanceCell(i, true);
        if (!p.face.stepTimerEnabled)
            return;
    }
    RemainingSecs[i] = secondsBetween(CellEndTime[i], now);
    p.face.time.text = SecondsToTimeText(RemainingSecs[i]);
    if (p.CurrentCol == 1)
        UpdateAgitation(i, now);
    else
        p.face.agit.text.clear();
    if (CellSecs[i] <= 0)
        p.face.gauge = 0;
    else
        p.face.gauge = static_cast<int>(std::nearbyint(
            static_cast<long double>(CellSecs[i] - RemainingSecs[i]) / CellSecs[i] * 100));
    if (RemainingSecs[i] <= m_env.soundSeconds())
        countDownSound(RemainingSecs[i]);
    now = m_clock.nowDays();
    if (now >= CellEndTime[i])
        AdvanceCell(i, true);
}

void ProcessEngine::AdvanceCell(int i, bool PauseAtWait)
{
    TProcess &p = process(i);
    GridModel &g = grid(i);
    if (p.CurrentRow == 0)
        p.CurrentRow = 1;
    for (;;) {
        if (p.CurrentCol < g.cols() - 1) {
            ++p.CurrentCol;
        } else {
            p.CurrentCol = 1;
            ++p.CurrentRow;
        }
        if (p.CurrentRow > g.rows() - 1) {
            endBeep();
            btnReset(i);
            return;
        }
        const QString text = g.cell(p.CurrentCol, p.CurrentRow);
        // Only a running process is paused: on a paused one the Pause
        // handler would resume it.
        if (p.CurrentCol == 3 && !text.isEmpty() && PauseAtWait && p.face.stepTimerEnabled)
            btnPause(i);
        if (TimeTextToSeconds(text) > 0.1 || (p.CurrentCol == 3 && isWaitMark(text)))
            break;
    }
    g.setCurrentRow(p.CurrentRow);
    g.setCurrentCol(4);
    RemainingSecs[i] = TimeTextToSeconds(g.cell(p.CurrentCol, p.CurrentRow));
    CellSecs[i] = RemainingSecs[i];
    setStepAndTimeText(i);
    p.face.gauge = 0;

    // Keep the current step in view, scrolling in blocks of half a page.
    const int rowHeight = g.defaultRowHeight();
    if (rowHeight > 0) {
        const int visible = g.pixelHeight() / rowHeight - 1;
        const int half = static_cast<int>(std::nearbyint(visible / 2.0));
        const int row = g.currentRow();
        if (half > 0 && row > visible)
            g.setTopRow(row / half * half - half);
    }

    PaintStepGrid(g, p.CurrentCol, p.CurrentRow, m_env.colourMode());
    const double now = m_clock.nowDays();
    CellEndTime[i] = addSeconds(now, RemainingSecs[i]);
    if (p.CurrentCol == 1)
        loadAgitation(i, now);
    else
        leaveMainTime(i);
}

void ProcessEngine::UpdateAgitation(int i, double now)
{
    TProcess &p = process(i);
    TAgitationSeq &seq = AgitSeqs[i];
    if (seq.empty()) {
        p.face.agit.text.clear();
        p.face.agit.color = pick(Colors::Red, Colors::Silver);
        return;
    }
    TAgitation &e = seq.front();
    if (e.Count <= 0)
        return;
    const int wait = secondsBetween(e.StartTime, now);
    if (wait >= 0) {
        p.face.agit.text = m_env.agitComingText() + QLatin1Char(' ') + SecondsToTimeText(wait);
        p.face.agit.color = pick(Colors::Blue, Colors::Gray);
        return;
    }
    if (e.Counter == 0) {
        // At least 1 ms: a zero interval would fire without pause.
        const double ms = std::nearbyint(e.Duration * 86400.0 / e.Count * 1000.0);
        p.face.agitInterval = static_cast<int>(std::clamp(ms, 1.0, 2147483647.0));
        e.Counter = 1;
        p.face.agitTimerEnabled = true;
    }
    const int left = secondsBetween(e.StartTime + e.Duration, now);
    if (left > 0) {
        p.face.agit.text = QStringLiteral("***  ") + m_env.agitRunningText() +
                           QStringLiteral(" (") + QString::number(e.Counter) + QLatin1Char('/') +
                           QString::number(e.Count) + QStringLiteral(") ") +
                           SecondsToTimeText(left) + QStringLiteral("  ***");
        p.face.agit.color = pick(Colors::Red, Colors::Silver);
    } else {
        p.face.agitTimerEnabled = false;
        DropFirstAgitation(seq);
        p.agitationsDone = seq.empty();
    }
}

void ProcessEngine::tmrAgitTimer(int i)
{
    TProcess &p = process(i);
    if (p.CurrentCol != 1) {
        p.face.agit.text.clear();
        return;
    }
    TAgitationSeq &seq = AgitSeqs[i];
    if (seq.empty())
        return;
    TAgitation &e = seq.front();
    // Only an agitation that has begun has movements to count.
    if (e.Counter == 0)
        return;
    ++e.Counter;
    if (e.Counter > e.Count)
        return;
    const QString &old = p.face.agit.text;
    const qsizetype open = old.indexOf(QLatin1Char('('));
    const qsizetype slash = old.indexOf(QLatin1Char('/'));
    const QString head = open < 0 ? QString() : old.left(open + 1);
    const QString tail = slash < 0 ? old : old.mid(slash);
    p.face.agit.text = head + QString::number(e.Counter) + tail;
    p.face.agit.color = pick(Colors::Red, Colors::Silver);
}

QString ProcessEngine::sgrdGetEditMask(int col, int)
{
    if (col == 1 || col == 2)
        return QStringLiteral("!90:00:00;1;_");
    if (col == 3)
        return QStringLiteral("l;0;_");
    return QString();
}

void ProcessEngine::sgrdSetEditText(GridModel &grid, int col, int row)
{
    if (grid.cell(col, row) == QLatin1String("  :  :  "))
        grid.setCell(col, row, QString());
    if (col == 3 && !grid.cell(col, row).isEmpty())
        grid.setCell(col, row, QStringLiteral("X"));
}

bool ProcessEngine::sgrdSelectCell(int i, int col, int row)
{
    const TProcess &p = process(i);
    if (p.face.stepTimerEnabled)
        return row > p.CurrentRow || (row == p.CurrentRow && col > p.CurrentCol);
    return true;
}

bool ProcessEngine::sgrdDblClick(int i)
{
    TProcess &p = process(i);
    GridModel &g = grid(i);
    const int c = g.currentCol();
    const int r = g.currentRow();
    if (c >= 1 && c <= 3) {
        p.face.stepTimerEnabled = false;
        // The old step's agitations have no place in another cell.
        if (c != p.CurrentCol || r != p.CurrentRow)
            dropAgitation(i);
        p.CurrentCol = c;
        p.CurrentRow = r;
        RemainingSecs[i] = TimeTextToSeconds(g.cell(c, r));
        CellSecs[i] = RemainingSecs[i];
        setLabelColors(i, Colors::Yellow, Colors::Silver);
        setStepAndTimeText(i);
        p.face.gauge = 0;
        PaintStepGrid(g, c, r, m_env.colourMode());
        return false;
    }
    return c == 4;
}

void ProcessEngine::switchScheme(bool colour)
{
    struct Map
    {
        quint32 from, to;
    };
    static const Map toColour[] = {{Colors::Silver, Colors::Yellow},
                                   {Colors::White, Colors::Blue},
                                   {Colors::Gray, Colors::Red}};
    static const Map toMono[] = {{Colors::Yellow, Colors::Silver},
                                 {Colors::Blue, Colors::White},
                                 {Colors::Red, Colors::Gray}};
    const Map *maps = colour ? toColour : toMono;
    for (TProcess &p : Processes) {
        ProcessFace::Label *labels[] = {&p.face.step, &p.face.time, &p.face.agit};
        for (int pass = 0; pass < 3; ++pass)
            for (ProcessFace::Label *l : labels)
                if (l->color == maps[pass].from)
                    l->color = maps[pass].to;
    }
}

void ProcessEngine::PaintStepGrid(GridModel &grid, int col, int row, bool colourMode)
{
    const quint32 doneBack = colourMode ? Colors::Blue : Colors::Black;
    const quint32 currentBack = colourMode ? Colors::Red : Colors::Gray;
    grid.setProgressColors(col, row, {Colors::White, doneBack}, {Colors::Black, currentBack},
                           {Colors::Black, Colors::WindowColor});
}

const std::vector<const char *> &schemeControlNames()
{
    static const std::vector<const char *> names = {"edtQtyFina",
                                                    "edtDila1",
                                                    "edtDila2",
                                                    "pnlQtyStocka",
                                                    "edtQtyStockb",
                                                    "edtDilb1",
                                                    "edtDilb2",
                                                    "pnlQtyFinb",
                                                    "edtQtyFinc",
                                                    "edtDilc1",
                                                    "edtDilc2",
                                                    "pnlQtyStockc",
                                                    "edtQtyFind",
                                                    "edtDild1",
                                                    "edtDild2",
                                                    "pnlQtyStockd",
                                                    "lbleUNITTempC",
                                                    "lbleUNITTempF",
                                                    "lbleUNITTempK",
                                                    "lbleUNITLengthmm",
                                                    "lbleUNITLengthcm",
                                                    "lbleUNITLengthm",
                                                    "lbleUNITLengthInches",
                                                    "lbleUNITLengthFeet",
                                                    "lbleUNITLengthYards",
                                                    "lbleUNITSurfacecm",
                                                    "lbleUNITSurfacem",
                                                    "lbleUNITSurfaceInches",
                                                    "lbleUNITSurfaceFeet",
                                                    "lbleUNITSurfaceYards",
                                                    "lbleUNITVolml",
                                                    "lbleUNITVolcl",
                                                    "lbleUNITVoldl",
                                                    "lbleUNITVoll",
                                                    "lbleUNITVolm",
                                                    "lbleUNITVolUSOunce",
                                                    "lbleUNITVolUSPint",
                                                    "lbleUNITVolUSQuart",
                                                    "lbleUNITVolUSGallon",
                                                    "lbleUNITVolUKOunce",
                                                    "lbleUNITVolUKPint",
                                                    "lbleUNITVolUKQuart",
                                                    "lbleUNITVolUKGallon",
                                                    "lbleUNITWeightgr",
                                                    "lbleUNITWeightkg",
                                                    "lbleUNITWeightADPGrain",
                                                    "lbleUNITWeightADPOunce",
                                                    "lbleUNITWeightADPPound",
                                                    "lbleUNITWeightTroyGrain",
                                                    "lbleUNITWeightTroyPennyweight",
                                                    "lbleUNITWeightTroyOunce",
                                                    "lbleUNITWeightTroyPound",
                                                    "edtDEVTTemp1",
                                                    "edtDEVTTemp2",
                                                    "mskedtDEVTTime1",
                                                    "pnlDEVTTime2",
                                                    "sgrdDEVT"};
    return names;
}
