#include "core/process/process.h"

#include "core/base/clock.h"
#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "core/baths/baths_file.h"
#include "core/process/process_engine.h"
#include "core/process/process_file.h"
#include "core/process/sound_output.h"
#include "core/process/time_text.h"
#include "core/temperature/temperature_source.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>

namespace {

constexpr int kSoundBeeps = 1;
constexpr int kSoundWaves = 2;
// The movement counter is read from across the room: it never steps faster
// than a few times a second, whatever the count.
constexpr int kMinAgitationStepMs = 250;

qint64 floorDiv(qint64 a, qint64 b)
{
    const qint64 q = a / b;
    return (a % b != 0 && (a < 0) != (b < 0)) ? q - 1 : q;
}

// Whole seconds of a span, halves to the even neighbour.
int roundSeconds(qint64 ms)
{
    qint64 q = floorDiv(ms, 1000);
    const qint64 r = ms - q * 1000;
    if (r > 500 || (r == 500 && (q & 1)))
        ++q;
    return static_cast<int>(std::clamp<qint64>(q, INT_MIN, INT_MAX));
}

// The count-down's ticks are lined up a couple of milliseconds after each
// whole second before the cell's end, so the tick that ends a cell falls just
// after its end whatever the phase of the cell before it or of a resume. The
// next tick is the first of these instants still to come that shows a second
// lower than the one shown, so no second is shown (or sounded) twice, however
// late a tick came; but the instant just after the end is never passed over.
qint64 nextTickDue(qint64 end, int shown, qint64 now)
{
    constexpr qint64 kAfterSecond = 2;
    const qint64 endTick = end + kAfterSecond;
    const qint64 latest = floorDiv(endTick - now - 1, 1000); // seconds before the end
    const qint64 k = std::min<qint64>(qint64(shown) - 1, latest);
    qint64 due = endTick - k * 1000;
    if (end > now)
        due = std::min(due, endTick);
    return due;
}

// What the agitation timer writes over the label at each movement: the text
// up to its first "(", the counter, and the text from its first "/".
QString stepCounter(const QString &old, int counter)
{
    const qsizetype open = old.indexOf(QLatin1Char('('));
    const qsizetype slash = old.indexOf(QLatin1Char('/'));
    const QString head = open < 0 ? QString() : old.left(open + 1);
    const QString tail = slash < 0 ? old : old.mid(slash);
    return head + QString::number(counter) + tail;
}

} // namespace

Process::Process(QString fileName, bool paper, int index, Clock &clock, SoundOutput &sound,
                 const ProcessEnvironment &env)
    : m_fileName(std::move(fileName)), m_paper(paper), m_index(index),
      m_tag((paper ? QStringLiteral("P") : QStringLiteral("F")) + QString::number(index)),
      m_clock(clock), m_sound(sound), m_env(env), m_grid(5, 2)
{
    m_grid.selectQuery = [this](int c, int r) { return maySelect(c, r); };
    m_grid.editMaskQuery = [](int c, int r) { return ProcessEngine::sgrdGetEditMask(c, r); };
    m_grid.editedText = [this](int c, int r) { ProcessEngine::sgrdSetEditText(m_grid, c, r); };
}

const Process::StepCell &Process::Steps::at(int col, int row) const
{
    static const StepCell none;
    if (col < 0 || row < 0 || col >= cols || row >= rows)
        return none;
    return cells[static_cast<size_t>(row) * static_cast<size_t>(cols) + static_cast<size_t>(col)];
}

const Process::Steps &Process::steps() const
{
    if (m_stepsRevision == m_grid.textRevision())
        return m_steps;
    Steps s;
    s.cols = m_grid.cols();
    s.rows = m_grid.rows();
    s.cells.resize(static_cast<size_t>(s.cols) * static_cast<size_t>(s.rows));
    for (int r = 0; r < s.rows; ++r) {
        for (int c = 0; c < s.cols; ++c) {
            const QString text = m_grid.cell(c, r);
            StepCell &cell = s.cells[static_cast<size_t>(r) * s.cols + c];
            cell.seconds = TimeTextToSeconds(text);
            cell.waitMark = text == QLatin1String("X");
            cell.empty = text.isEmpty();
        }
        s.names << m_grid.cell(0, r);
        s.codes << m_grid.cell(4, r);
        s.baths << stepBath(m_grid, r);
    }
    for (int c = 0; c < s.cols; ++c)
        s.headings << m_grid.cell(c, 0);
    m_steps = std::move(s);
    m_stepsRevision = m_grid.textRevision();
    return m_steps;
}

QString Process::stepLabelText(int col, int row) const
{
    const Steps &s = steps();
    return col == 1 ? s.names.value(row) : s.headings.value(col);
}

qint64 Process::plannedMs(int col, int row) const
{
    return qint64(steps().at(col, row).seconds) * 1000;
}

// The time a cell is given when it becomes current: the file's time.
qint64 Process::givenDurationMs(int col, int row) const
{
    return plannedMs(col, row);
}

std::optional<qint64> Process::cellEndMs() const
{
    if (!isRunning())
        return std::nullopt;
    return m_run.endMs;
}

qint64 Process::remainingMs(qint64 nowMs) const
{
    return isRunning() ? m_run.endMs - nowMs : m_run.remainingMs;
}

ProcessHold Process::hold() const
{
    if (!m_run.underway)
        return ProcessHold::None;
    switch (m_run.state) {
    case ProcessState::Paused:
        return ProcessHold::Paused;
    case ProcessState::AtWaitMark:
        return ProcessHold::Waiting;
    default:
        return ProcessHold::None;
    }
}

const AgitationPlan *Process::agitationPlan() const
{
    return m_run.col == 1 && m_run.plan ? &*m_run.plan : nullptr;
}

Process::CallsKey Process::callsKey() const
{
    return {m_run.state,
            m_run.col,
            m_run.row,
            m_run.state == ProcessState::Running ? m_run.endMs : 0,
            m_run.pendingStartMs,
            m_grid.textRevision()};
}

void Process::appendAgitations(int row, qint64 startMs, qint64 endMs, qint64 fromMs, qint64 untilMs,
                               std::vector<Call> &out) const
{
    AgitationPlan plan;
    try {
        plan = LoadAgitationPlan(m_env.agitationFile(), steps().codes.value(row), startMs, endMs);
    } catch (const RuntimeError &) {
        return; // said when the cell comes; no cues to foresee
    }
    for (const qint64 at : plan.beginningsBefore(endMs))
        if (at > fromMs && at <= untilMs && at > startMs)
            out.push_back({m_index, at, Call::Kind::Agitation});
}

void Process::appendCallsFrom(int col, int row, qint64 endMs, qint64 fromMs, qint64 untilMs,
                              std::vector<Call> &out) const
{
    while (endMs <= untilMs) {
        bool pauseAt = false;
        const std::optional<Cell> to = walkForward(col, row, &pauseAt);
        if (endMs > fromMs)
            out.push_back({m_index, endMs, pauseAt ? Call::Kind::WaitMark : Call::Kind::CellEnd});
        // Past a wait mark, the photographer says when it goes on.
        if (pauseAt || !to)
            return;
        col = to->col;
        row = to->row;
        const qint64 startMs = endMs;
        endMs = startMs + givenDurationMs(col, row);
        if (col == 1)
            appendAgitations(row, startMs, endMs, fromMs, untilMs, out);
    }
}

std::vector<Call> Process::callsIfStarted(qint64 startMs, qint64 untilMs) const
{
    std::vector<Call> out;
    const int col = m_run.col == 0 ? 1 : m_run.col;
    const int row = m_run.row == 0 ? 1 : m_run.row;
    const qint64 endMs = startMs + givenDurationMs(col, row);
    if (col == 1)
        appendAgitations(row, startMs, endMs, startMs, untilMs, out);
    appendCallsFrom(col, row, endMs, startMs, untilMs, out);
    return out;
}

std::vector<Call> Process::callsAhead(qint64 fromMs, qint64 untilMs) const
{
    if (m_run.pendingStartMs) {
        std::vector<Call> out = callsIfStarted(*m_run.pendingStartMs, untilMs);
        std::erase_if(out, [fromMs](const Call &c) { return c.atMs <= fromMs; });
        return out;
    }
    std::vector<Call> out;
    if (!isRunning())
        return out;
    if (m_run.col == 1 && m_run.plan)
        for (const qint64 at : m_run.plan->beginningsBefore(m_run.endMs))
            if (at > fromMs && at <= untilMs)
                out.push_back({m_index, at, Call::Kind::Agitation});
    appendCallsFrom(m_run.col, m_run.row, m_run.endMs, fromMs, untilMs, out);
    return out;
}

void Process::scheduleStart(qint64 atMs)
{
    const qint64 now = m_clock.nowMs();
    if (atMs <= now) {
        start();
        return;
    }
    Run next = m_run;
    next.pendingStartMs = atMs;
    // Due as the seconds left change, a second begun counting whole.
    next.tickDueMs = now + (atMs - now - 1) % 1000 + 1;
    commit(std::move(next), {});
}

QStringList Process::takeErrors()
{
    QStringList out;
    out.swap(m_errors);
    return out;
}

void Process::commit(Run next, Effects effects)
{
    for (const auto &f : effects.before)
        f(*this);
    m_run = std::move(next);
    for (const auto &f : effects.after)
        f(*this);
    if (const CallsKey key = callsKey(); key != m_callsKey) {
        m_callsKey = key;
        m_env.callsChanged();
    }
    m_errors += effects.errors;
    for (const ProcessEvent &e : effects.events)
        for (const Observer &o : m_observers)
            o(*this, e);
}

// The cell becomes current with its full time, not yet counting; its
// agitations, if any, are planned by the caller.
void Process::enterCell(Run &run, int col, int row, qint64 now, Effects &fx) const
{
    run.col = col;
    run.row = row;
    run.givenMs = givenDurationMs(col, row);
    planUse(run, now, fx.errors);
    run.remainingMs = run.givenMs;
    run.shown = roundSeconds(run.givenMs);
    run.cellStarted = false;
    run.plan.reset();
    run.cue.kind = Cue::Kind::None;
    run.cue.stepFrom = run.cue.stepTo = 0;
}

// The time of a main time with a bath: the file's time after the bath's wear,
// cut to the second, then at the last reading's temperature when the bath's
// time follows it, rounded as Conversion Temps rounds.
void Process::planUse(Run &run, qint64 now, QStringList &errors) const
{
    run.use.reset();
    run.comp.reset();
    BathStore *store = run.col == 1 ? m_env.baths() : nullptr;
    if (!store)
        return;
    const QString &name = steps().baths.value(run.row);
    const Bath *bath = name.isEmpty() ? nullptr : store->find(name);
    const int fileSeconds = steps().at(1, run.row).seconds;
    if (!bath || fileSeconds <= 0)
        return;
    StepUse use;
    use.bath = bath->name;
    use.fileSeconds = fileSeconds;
    try {
        use.wornSeconds = adjustedSeconds(*bath, fileSeconds);
    } catch (const RuntimeError &e) {
        errors << e.message();
        return;
    }
    use.wearFactor = static_cast<long double>(use.wornSeconds) / fileSeconds;
    use.filmsBefore = bath->filmsSoFar();
    use.useNumber = bath->bottle() ? static_cast<int>(bath->bottle()->uses.size()) + 1 : 1;
    qint64 given = qint64(use.wornSeconds) * 1000;
    if (bath->temperature.model != TemperatureResponse::None) {
        CompensatingTimer comp(bath->temperature, m_reference);
        if (comp.reading(now, run.celsius) == CompensatingTimer::Reading::Refused) {
            errors << refusal(bath->temperature, run.celsius);
        } else {
            CompensatingTimer planned = comp;
            planned.start(given, now);
            given = qint64(planned.plannedSeconds()) * 1000;
            use.compensated = true;
            use.temperatureFactor = comp.factor();
            run.comp = std::make_shared<CompensatingTimer>(std::move(comp));
        }
    }
    run.givenMs = given;
    run.use = std::move(use);
}

// The runs a command copies share the timer until one of them changes it:
// a tick copies its run and never changes it.
void Process::ownCompensation(Run &run)
{
    if (run.comp && run.comp.use_count() > 1)
        run.comp = std::make_shared<CompensatingTimer>(*run.comp);
}

void Process::beginCount(Run &run, qint64 now) const
{
    if (!run.comp)
        return;
    // The development the time given asks for at the starting temperature,
    // so that the count-down ends on the very second it shows.
    const long double development = run.remainingMs / run.comp->factor();
    ownCompensation(run);
    run.comp->start(std::llround(development), now);
    run.endMs = run.comp->endMs();
}

void Process::followEnd(Run &run, qint64 now, qint64 oldLeft) const
{
    const qint64 left = run.endMs - now;
    run.givenMs += left - oldLeft;
    run.shown = roundSeconds(left);
    if (run.plan)
        run.plan->endAt(run.endMs);
    if (run.use && run.comp)
        run.use->temperatureFactor = run.comp->factor();
}

void Process::addUse(const Run &run, Effects &fx) const
{
    if (run.col != 1 || !run.use || !run.cellStarted)
        return;
    fx.after.push_back([name = run.use->bath](Process &p) {
        BathStore *store = p.m_env.baths();
        if (!store)
            return;
        try {
            // A bath removed meanwhile has nothing to count.
            store->addUse(name, p.m_clock.localNow().date(), p.m_films);
        } catch (const RuntimeError &e) {
            p.m_errors << e.message();
        }
    });
}

QString Process::refusal(const TemperatureResponse &response, double celsius) const
{
    return temperatureRefusal(*m_env.temperatureTexts(), response, celsius, m_reference,
                              m_env.temperatureUnit(), QLatin1Char('.'));
}

void Process::setFilms(int films)
{
    m_films = std::clamp(films, 1, BathsFormat::MaxFilmsPerUse);
}

void Process::setReferenceCelsius(double celsius)
{
    // Until a reading says otherwise the bath is at the temperature the times
    // are for.
    if (m_run.celsius == m_reference)
        m_run.celsius = celsius;
    m_reference = celsius;
}

void Process::listenTo(TemperatureSource &source)
{
    source.setListener([this](const TemperatureSource::Reading &r) { reading(r.celsius); });
}

bool Process::reading(double celsius)
{
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    Effects fx;
    if (next.comp) {
        const qint64 oldLeft = next.endMs - now;
        ownCompensation(next);
        const CompensatingTimer::Reading taken = next.comp->reading(now, celsius);
        if (taken == CompensatingTimer::Reading::Refused) {
            fx.errors << refusal(next.comp->response(), celsius);
            commit(std::move(next), std::move(fx));
            return false;
        }
        if (next.state == ProcessState::Running && next.cellStarted) {
            next.endMs = next.comp->endMs();
            followEnd(next, now, oldLeft);
            arm(next, now);
        } else if (!next.cellStarted) {
            // Not counting yet: the time it will be given.
            CompensatingTimer planned = *next.comp;
            planned.start(qint64(next.use->wornSeconds) * 1000, now);
            next.givenMs = next.remainingMs = qint64(planned.plannedSeconds()) * 1000;
            next.shown = roundSeconds(next.givenMs);
            next.use->temperatureFactor = next.comp->factor();
        }
    }
    next.celsius = celsius;
    ProcessEvent e{ProcessEvent::Kind::Reading};
    e.col = next.col;
    e.row = next.row;
    e.atMs = now;
    e.celsius = celsius;
    fx.events.push_back(e);
    commit(std::move(next), std::move(fx));
    return true;
}

void Process::faceLines(ProcessFace &f, const FaceStyle &style) const
{
    const Run *run = &m_run;
    Run preview;
    // Before Démarrer: the use the step it starts at would make.
    if (!m_run.use && m_env.baths() &&
        (m_run.state == ProcessState::Idle || m_run.state == ProcessState::Finished)) {
        preview.col = 1;
        preview.row = std::max(1, m_run.row);
        preview.celsius = m_run.celsius;
        QStringList ignored;
        planUse(preview, m_clock.nowMs(), ignored);
        run = &preview;
    }
    if (!run->use)
        return;
    const StepUse &u = *run->use;
    static const BathTexts ownBathTexts;
    static const TemperatureTexts ownTemperatureTexts;
    const BathTexts *bt = style.bathTexts ? style.bathTexts : &ownBathTexts;
    const TemperatureTexts *tt =
        style.temperatureTexts ? style.temperatureTexts : &ownTemperatureTexts;
    const int given = roundSeconds(run->givenMs);
    LinesCache &c = m_lines;
    if (c.bathTexts != bt || c.temperatureTexts != tt || c.unit != style.unit ||
        c.filmsBefore != u.filmsBefore || c.fileSeconds != u.fileSeconds ||
        c.wornSeconds != u.wornSeconds || c.givenSeconds != given ||
        c.compensated != u.compensated || c.celsius != run->celsius || c.bath != u.bath) {
        c = {bt,
             tt,
             style.unit,
             u.bath,
             u.filmsBefore,
             u.fileSeconds,
             u.wornSeconds,
             given,
             u.compensated,
             run->celsius,
             {},
             {}};
        c.bathLine = bt->useLabel.arg(u.bath, ordinalText(*bt, u.filmsBefore + 1),
                                      shortTimeText(u.fileSeconds), shortTimeText(u.wornSeconds));
        if (u.compensated)
            c.temperatureLine = temperatureLabel(*tt, run->celsius, style.unit, QLatin1Char('.'),
                                                 u.wornSeconds, given);
    }
    f.bathLine = c.bathLine;
    f.temperatureLine = c.temperatureLine;
}

QStringList Process::startQuestions() const
{
    const BathStore *store = m_env.baths();
    if (!store)
        return {};
    const Steps &s = steps();
    const int col = std::max(1, m_run.col);
    const int row = std::max(1, m_run.row);
    const QDate today = m_clock.localNow().date();
    QStringList asked;
    QStringList out;
    for (int r = row; r < s.rows; ++r) {
        const QString &name = s.baths.value(r);
        if ((r == row && col > 1) || s.at(1, r).seconds <= 0 || name.isEmpty() ||
            asked.contains(name))
            continue;
        asked << name;
        if (const Bath *bath = store->find(name)) {
            const QString q = startQuestion(*m_env.bathTexts(), *bath, m_films, today);
            if (!q.isEmpty())
                out << q;
        }
    }
    return out;
}

// The current main time's agitations from now to its end. A file or a line
// that cannot be read leaves the step without cues, and says so once.
void Process::planAgitation(Run &run, qint64 now, Effects &fx) const
{
    AgitationPlan plan;
    try {
        plan = LoadAgitationPlan(m_env.agitationFile(), steps().codes.value(run.row), now,
                                 now + run.remainingMs);
    } catch (const RuntimeError &e) {
        plan = noAgitation();
        plan.unreadable = true;
        fx.errors << e.message();
    }
    run.cue.kind = Cue::Kind::Description;
    run.cue.description = plan.entries.front().Text;
    run.cue.stepFrom = run.cue.stepTo = 0;
    run.plan = std::move(plan);
}

void Process::updateAgitation(Run &run, qint64 now) const
{
    if (!run.plan)
        return;
    std::vector<TAgitation> &seq = run.plan->entries;
    Cue &cue = run.cue;
    if (seq.empty()) {
        cue.kind = Cue::Kind::UsedUp;
        cue.tone = Cue::Tone::Agitating;
        cue.stepFrom = cue.stepTo = 0;
        return;
    }
    TAgitation &e = seq.front();
    if (e.Count <= 0)
        return;
    const int wait = roundSeconds(e.startMs - now);
    if (wait >= 0) {
        cue.kind = Cue::Kind::Coming;
        cue.tone = Cue::Tone::Coming;
        cue.seconds = wait;
        cue.stepFrom = cue.stepTo = 0;
        return;
    }
    if (e.Counter == 0) {
        e.Counter = 1;
        ++run.agitation;
    }
    const int left = roundSeconds(e.startMs + e.durationMs - now);
    if (left > 0) {
        cue.kind = Cue::Kind::Agitating;
        cue.tone = Cue::Tone::Agitating;
        cue.counter = e.Counter;
        cue.count = e.Count;
        cue.seconds = left;
        cue.stepFrom = cue.stepTo = 0;
    } else {
        // The label keeps what it said until the next tick.
        run.plan->dropFirst();
    }
}

void Process::arm(Run &run, qint64 now) const
{
    run.tickDueMs = nextTickDue(run.endMs, run.shown, now);
}

void Process::paintGrid(Run &run, Effects &fx) const
{
    const bool colour = m_env.colourMode();
    run.gridColour = colour;
    fx.after.push_back([col = run.col, row = run.row, colour](Process &p) {
        ProcessEngine::PaintStepGrid(p.m_grid, col, row, colour);
    });
}

void Process::countDownSound(int seconds, Effects &fx) const
{
    switch (m_env.soundMode()) {
    case kSoundBeeps:
        fx.after.push_back([](Process &p) { p.m_sound.beepDefault(); });
        break;
    case kSoundWaves:
        fx.after.push_back([seconds](Process &p) {
            p.m_sound.playWave(p.m_env.waveName(QString::number(seconds) + QStringLiteral(".wav")));
        });
        break;
    default:
        break;
    }
}

void Process::endBeep(Effects &fx) const
{
    if (m_env.soundMode() == kSoundBeeps)
        fx.after.push_back([](Process &p) { p.m_sound.beepExclamation(); });
}

// A command that would throw away a development: the editors' refusal beep.
void Process::refuse(Effects &fx) const
{
    fx.after.push_back([](Process &p) { p.m_sound.beepDefault(); });
}

// What a cell's start and end tell the observers alike: where, when, its
// times, and the bath it used with its factors.
ProcessEvent Process::cellEvent(const Run &run, qint64 now, ProcessEvent::Kind kind,
                                ProcessEvent::How how) const
{
    ProcessEvent e{kind, how};
    e.col = run.col;
    e.row = run.row;
    e.atMs = now;
    e.plannedMs = plannedMs(run.col, run.row);
    e.givenMs = run.givenMs;
    if (run.use) {
        e.bath = run.use->bath;
        e.bathUse = run.use->useNumber;
        e.wearFactor = static_cast<double>(run.use->wearFactor);
        if (run.use->compensated)
            e.temperatureFactor = static_cast<double>(run.use->temperatureFactor);
    }
    return e;
}

void Process::startCell(const Run &run, qint64 now, Effects &fx) const
{
    ProcessEvent e = cellEvent(run, now, ProcessEvent::Kind::CellStarted);
    if (run.use)
        e.celsius = run.celsius;
    fx.events.push_back(e);
}

void Process::endCell(const Run &run, qint64 now, ProcessEvent::How how, Effects &fx) const
{
    if (!run.cellStarted)
        return;
    ProcessEvent e = cellEvent(run, now, ProcessEvent::Kind::CellEnded, how);
    const qint64 left = run.state == ProcessState::Running ? run.endMs - now : run.remainingMs;
    e.actualMs = run.givenMs - left;
    fx.events.push_back(e);
}

void Process::endRun(const Run &run, qint64 now, ProcessEvent::How how, Effects &fx) const
{
    if (!run.underway)
        return;
    ProcessEvent e{ProcessEvent::Kind::RunEnded, how};
    e.col = run.col;
    e.row = run.row;
    e.atMs = now;
    fx.events.push_back(e);
}

// Back to the first step with nothing counted: Réinitialiser, and the end of
// the process (finished, or idle when it was only stepped through).
void Process::resetTo(Run &run, ProcessState state, Effects &fx) const
{
    run.state = state;
    run.underway = false;
    run.designColours = false;
    run.givenMs = run.remainingMs = run.endMs = 0;
    run.shown = 0;
    run.cellStarted = false;
    run.plan.reset();
    run.use.reset();
    run.comp.reset();
    run.cue = Cue{};
    if (state != ProcessState::Finished)
        run.finishedAt = QDateTime();
    run.col = 1;
    run.row = 1;
    fx.after.push_back([](Process &p) {
        p.m_grid.setTopRow(1);
        p.m_grid.setCurrentCol(1);
        p.m_grid.setCurrentRow(1);
    });
    paintGrid(run, fx);
    // The selected cell is drawn like any other.
    fx.after.push_back([](Process &p) {
        p.m_grid.setSelectionColors(p.m_grid.gridColor(), p.m_grid.fontColor());
    });
}

std::optional<Process::Cell> Process::walkForward(int col, int row, bool *pauseAt) const
{
    const Steps &s = steps();
    if (row == 0)
        row = 1;
    for (;;) {
        if (col < s.cols - 1) {
            ++col;
        } else {
            col = 1;
            ++row;
        }
        if (row > s.rows - 1)
            return std::nullopt;
        const StepCell &cell = s.at(col, row);
        if (pauseAt && col == 3 && !cell.empty)
            *pauseAt = true;
        if (cell.seconds > 0 || (col == 3 && cell.waitMark))
            return Cell{col, row};
    }
}

std::optional<Process::Cell> Process::walkBack(int col, int row) const
{
    const Steps &s = steps();
    if (row == 0)
        row = 1;
    for (;;) {
        if (col > 1) {
            --col;
        } else {
            col = s.cols - 1;
            --row;
        }
        if (row < 1)
            return std::nullopt;
        const StepCell &cell = s.at(col, row);
        if (cell.seconds > 0 || cell.waitMark)
            return Cell{col, row};
    }
}

void Process::advance(Run &run, qint64 now, bool pauseAtWait, Effects &fx) const
{
    const bool running = run.state == ProcessState::Running;
    bool pauseAt = false;
    const std::optional<Cell> to = walkForward(run.col, run.row, pauseAtWait ? &pauseAt : nullptr);
    endCell(run, now, running ? ProcessEvent::How::RanOut : ProcessEvent::How::Stepped, fx);
    addUse(run, fx);
    if (pauseAt && running) {
        // A wait mark on the way: paused, with the pause sound.
        run.state = ProcessState::Paused;
        setLabelsTone(run);
        if (m_env.soundMode() == kSoundWaves && m_env.isActiveTab(m_index))
            fx.after.push_back([](Process &p) {
                p.m_sound.playWave(p.m_env.waveName(QStringLiteral("pause.wav")));
            });
        ProcessEvent e{ProcessEvent::Kind::Paused};
        e.col = to ? to->col : run.col;
        e.row = to ? to->row : run.row;
        e.atMs = now;
        fx.events.push_back(e);
    }
    if (!to) {
        endBeep(fx);
        if (running) {
            // The count-down's own end: finished, and when.
            run.finishedAt = m_clock.localNow().addMSecs(std::min<qint64>(run.endMs - now, 0));
            endRun(run, now, ProcessEvent::How::Finished, fx);
            resetTo(run, ProcessState::Finished, fx);
        } else {
            resetTo(run, ProcessState::Idle, fx);
        }
        return;
    }
    enterCell(run, to->col, to->row, now, fx);
    if (run.state != ProcessState::Running)
        run.state =
            steps().at(to->col, to->row).waitMark ? ProcessState::AtWaitMark : ProcessState::Paused;
    fx.after.push_back([row = to->row](Process &p) {
        p.m_grid.setCurrentRow(row);
        p.m_grid.setCurrentCol(4);
        // Keep the current step in view, scrolling in blocks of half a page.
        const int rowHeight = p.m_grid.defaultRowHeight();
        if (rowHeight > 0) {
            const int visible = p.m_grid.pixelHeight() / rowHeight - 1;
            const int half = static_cast<int>(std::nearbyint(visible / 2.0));
            const int selected = p.m_grid.currentRow();
            if (half > 0 && selected > visible)
                p.m_grid.setTopRow(selected / half * half - half);
        }
    });
    paintGrid(run, fx);
    run.endMs = now + run.remainingMs;
    if (run.state == ProcessState::Running)
        beginCount(run, now);
    if (run.col == 1)
        planAgitation(run, now, fx);
    if (run.state == ProcessState::Running) {
        run.cellStarted = true;
        startCell(run, now, fx);
    }
}

void Process::start()
{
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    // A command takes the place of a start put off.
    next.pendingStartMs.reset();
    Effects fx;
    // A cell that had started, running or paused, is left.
    endCell(next, now, ProcessEvent::How::Restarted, fx);
    if (next.col == 0)
        next.col = 1;
    if (next.row == 0)
        next.row = 1;
    fx.before.push_back(
        [col = next.col, row = next.row](Process &p) { p.m_grid.setCurrent(col, row); });
    enterCell(next, next.col, next.row, now, fx);
    next.state = ProcessState::Running;
    next.underway = true;
    next.designColours = false;
    setLabelsTone(next);
    paintGrid(next, fx);
    next.endMs = now + next.givenMs;
    beginCount(next, now);
    if (next.col == 1) {
        planAgitation(next, now, fx);
        updateAgitation(next, now);
    }
    fx.after.push_back([row = next.row](Process &p) { p.m_grid.setCurrent(4, row); });
    next.cellStarted = true;
    startCell(next, now, fx);
    arm(next, now);
    commit(std::move(next), std::move(fx));
}

void Process::pause()
{
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    // A command takes the place of a start put off.
    next.pendingStartMs.reset();
    Effects fx;
    switch (next.state) {
    case ProcessState::Running: {
        next.remainingMs = std::max<qint64>(0, next.endMs - now);
        if (next.comp) {
            ownCompensation(next);
            next.comp->pause(now);
        }
        next.state = steps().at(next.col, next.row).waitMark ? ProcessState::AtWaitMark
                                                             : ProcessState::Paused;
        if (next.col == 1 && next.plan)
            next.plan->pausedAtMs = now;
        setLabelsTone(next);
        if (m_env.soundMode() == kSoundWaves && m_env.isActiveTab(m_index))
            fx.after.push_back([](Process &p) {
                p.m_sound.playWave(p.m_env.waveName(QStringLiteral("pause.wav")));
            });
        ProcessEvent e{ProcessEvent::Kind::Paused};
        e.col = next.col;
        e.row = next.row;
        e.atMs = now;
        fx.events.push_back(e);
        break;
    }
    case ProcessState::Paused:
    case ProcessState::AtWaitMark: {
        next.state = ProcessState::Running;
        next.underway = true;
        next.designColours = false;
        setLabelsTone(next);
        next.endMs = now + next.remainingMs;
        if (next.comp && next.cellStarted) {
            // A reading taken while paused counts from now.
            ownCompensation(next);
            next.comp->resume(now);
            next.endMs = next.comp->endMs();
            next.givenMs += next.endMs - now - next.remainingMs;
            next.shown = roundSeconds(next.endMs - now);
            next.use->temperatureFactor = next.comp->factor();
        } else if (!next.cellStarted) {
            planUse(next, now, fx.errors);
            next.remainingMs = next.givenMs;
            next.shown = roundSeconds(next.givenMs);
            next.endMs = now + next.remainingMs;
            beginCount(next, now);
        }
        if (next.col == 1) {
            if (next.plan && (next.plan->pausedAtMs || next.plan->unreadable)) {
                // Every beginning moves later by the length of the pause, as
                // the cell's end does; a plan that could not be read is not
                // read again.
                next.plan->shiftTo(now);
                next.plan->endAt(next.endMs);
            } else {
                planAgitation(next, now, fx);
                updateAgitation(next, now);
            }
        }
        fx.after.push_back([](Process &p) { p.m_grid.setCurrent(4, p.m_grid.currentRow()); });
        if (next.cellStarted) {
            ProcessEvent e{ProcessEvent::Kind::Resumed};
            e.col = next.col;
            e.row = next.row;
            e.atMs = now;
            fx.events.push_back(e);
        } else {
            next.cellStarted = true;
            startCell(next, now, fx);
        }
        arm(next, now);
        break;
    }
    case ProcessState::Finished:
        // Any command ends the notice of the end.
        next.state = ProcessState::Idle;
        next.finishedAt = QDateTime();
        break;
    case ProcessState::Idle:
        break;
    }
    paintGrid(next, fx);
    commit(std::move(next), std::move(fx));
}

void Process::previous()
{
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    // A command takes the place of a start put off.
    next.pendingStartMs.reset();
    Effects fx;
    const std::optional<Cell> to = walkBack(next.col, next.row);
    if (!to) {
        if (next.underway) {
            // Only Réinitialiser, or its own end, takes a development back.
            refuse(fx);
            commit(std::move(next), std::move(fx));
            return;
        }
        endBeep(fx);
        resetTo(next, ProcessState::Idle, fx);
        commit(std::move(next), std::move(fx));
        return;
    }
    endCell(next, now, ProcessEvent::How::Stepped, fx);
    enterCell(next, to->col, to->row, now, fx);
    next.state =
        steps().at(to->col, to->row).waitMark ? ProcessState::AtWaitMark : ProcessState::Paused;
    next.designColours = false;
    setLabelsTone(next);
    fx.after.push_back(
        [col = to->col, row = to->row](Process &p) { p.m_grid.setCurrent(col, row); });
    paintGrid(next, fx);
    if (next.col == 1)
        planAgitation(next, now, fx);
    commit(std::move(next), std::move(fx));
}

void Process::next()
{
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    // A command takes the place of a start put off.
    next.pendingStartMs.reset();
    Effects fx;
    if (!walkForward(next.col, next.row, nullptr) && next.underway) {
        refuse(fx);
        commit(std::move(next), std::move(fx));
        return;
    }
    // Stopped first: a wait mark on the way has nothing to pause, so Suivant
    // stops there and leaves the clock to Démarrer and Pause.
    endCell(next, now, ProcessEvent::How::Stepped, fx);
    // The photographer ended the bath's main time early: the films went
    // through it all the same.
    addUse(next, fx);
    next.cellStarted = false;
    next.state = ProcessState::Paused;
    next.designColours = false;
    setLabelsTone(next);
    advance(next, now, false, fx);
    commit(std::move(next), std::move(fx));
}

void Process::reset()
{
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    // A command takes the place of a start put off.
    next.pendingStartMs.reset();
    Effects fx;
    endCell(next, now, ProcessEvent::How::Reset, fx);
    endRun(next, now, ProcessEvent::How::Reset, fx);
    resetTo(next, ProcessState::Idle, fx);
    commit(std::move(next), std::move(fx));
}

void Process::tick()
{
    if (m_run.pendingStartMs) {
        const qint64 now = m_clock.nowMs();
        if (now >= *m_run.pendingStartMs) {
            start();
            return;
        }
        Run next = m_run;
        next.tickDueMs = now + (*next.pendingStartMs - now - 1) % 1000 + 1;
        commit(std::move(next), {});
        return;
    }
    // A tick already on its way when the process stopped changes nothing.
    if (!isRunning())
        return;
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    Effects fx;
    if (steps().at(next.col, next.row).waitMark) {
        advance(next, now, true, fx);
        if (next.state != ProcessState::Running) {
            commit(std::move(next), std::move(fx));
            return;
        }
    }
    const int seconds = roundSeconds(next.endMs - now);
    if (seconds < next.shown) {
        next.shown = seconds;
        if (seconds <= m_env.soundSeconds())
            countDownSound(seconds, fx);
    }
    if (next.col == 1)
        updateAgitation(next, now);
    if (now >= next.endMs)
        advance(next, now, true, fx);
    if (next.state == ProcessState::Running)
        arm(next, now);
    commit(std::move(next), std::move(fx));
}

void Process::agitationTick()
{
    if (!isRunning() || m_run.col != 1 || !m_run.plan || m_run.plan->entries.empty())
        return;
    Run next = m_run;
    TAgitation &e = next.plan->entries.front();
    // Only an agitation that has begun has movements to count.
    if (e.Counter == 0)
        return;
    ++e.Counter;
    if (e.Counter <= e.Count) {
        Cue &cue = next.cue;
        if (cue.stepTo == 0)
            cue.stepFrom = e.Counter - 1;
        cue.stepTo = e.Counter;
        cue.tone = Cue::Tone::Agitating;
    }
    commit(std::move(next), {});
}

bool Process::doubleClick()
{
    const int c = m_grid.currentCol();
    const int r = m_grid.currentRow();
    if (c < 1 || c > 3)
        return c == 4;
    const qint64 now = m_clock.nowMs();
    Run next = m_run;
    next.pendingStartMs.reset();
    Effects fx;
    endCell(next, now, ProcessEvent::How::Chosen, fx);
    // The cell starts afresh, its agitations too, when Pause sets it going.
    enterCell(next, c, r, now, fx);
    next.state = steps().at(c, r).waitMark ? ProcessState::AtWaitMark : ProcessState::Paused;
    next.designColours = false;
    setLabelsTone(next);
    paintGrid(next, fx);
    commit(std::move(next), std::move(fx));
    return false;
}

bool Process::maySelect(int col, int row) const
{
    if (isRunning())
        return row > m_run.row || (row == m_run.row && col > m_run.col);
    return true;
}

void Process::abandon(ProcessEvent::How how)
{
    const qint64 now = m_clock.nowMs();
    Effects fx;
    endCell(m_run, now, how, fx);
    endRun(m_run, now, how, fx);
    commit(m_run, std::move(fx));
}

ProcessFace Process::face(const FaceStyle &style) const
{
    const Run &r = m_run;
    const auto pick = [&style](quint32 colour, quint32 mono) {
        return style.colour ? colour : mono;
    };
    quint32 labels = 0;
    switch (r.state) {
    case ProcessState::Running:
        labels = pick(Colors::Red, Colors::Gray);
        break;
    case ProcessState::Paused:
    case ProcessState::AtWaitMark:
        labels = pick(Colors::Yellow, Colors::Silver);
        break;
    case ProcessState::Idle:
    case ProcessState::Finished:
        labels = r.designColours ? Colors::Blue : pick(Colors::Blue, Colors::White);
        break;
    }
    ProcessFace f;
    f.step.color = f.time.color = labels;
    if (r.state == ProcessState::Finished)
        f.step.text =
            style.finished + QLatin1Char(' ') + r.finishedAt.toString(QStringLiteral("HH:mm"));
    else if (r.col == 0 || r.row == 0)
        f.step.text = m_title;
    else
        f.step.text = stepLabelText(r.col, r.row);
    f.time.text = SecondsToTimeText(r.shown);
    f.state.color = labels;
    if (r.state == ProcessState::Paused)
        f.state.text = style.pauseWord;
    else if (r.state == ProcessState::AtWaitMark)
        f.state.text = style.waitWord;
    f.hold = hold();
    faceLines(f, style);
    const int cellSecs = roundSeconds(r.givenMs);
    if (cellSecs > 0)
        f.gauge = static_cast<int>(
            std::nearbyint(static_cast<long double>(cellSecs - r.shown) / cellSecs * 100));

    const Cue &cue = r.cue;
    switch (cue.tone) {
    case Cue::Tone::Labels:
        f.agit.color = labels;
        break;
    case Cue::Tone::Coming:
        f.agit.color = pick(Colors::Blue, Colors::Gray);
        break;
    case Cue::Tone::Agitating:
        f.agit.color = pick(Colors::Red, Colors::Silver);
        break;
    }
    // Agitation belongs to the main time.
    if (r.col == 1) {
        switch (cue.kind) {
        case Cue::Kind::None:
        case Cue::Kind::UsedUp:
            break;
        case Cue::Kind::Description:
            f.agit.text = cue.description;
            break;
        case Cue::Kind::Coming:
            f.agit.text = style.agitComing + QLatin1Char(' ') + SecondsToTimeText(cue.seconds);
            break;
        case Cue::Kind::Agitating:
            f.agit.text = QStringLiteral("***  ") + style.agitRunning + QStringLiteral(" (") +
                          QString::number(cue.counter) + QLatin1Char('/') +
                          QString::number(cue.count) + QStringLiteral(") ") +
                          SecondsToTimeText(cue.seconds) + QStringLiteral("  ***");
            break;
        }
        for (int n = cue.stepFrom + 1; n <= cue.stepTo; ++n)
            f.agit.text = stepCounter(f.agit.text, n);
    }

    if (r.pendingStartMs) {
        f.tickDueMs = r.tickDueMs;
        f.agit.text = style.startsIn + QLatin1Char(' ') +
                      minutesSecondsText(*r.pendingStartMs - m_clock.nowMs());
    }
    if (r.state == ProcessState::Running) {
        f.tickDueMs = r.tickDueMs;
        if (r.col == 1 && r.plan && !r.plan->entries.empty()) {
            const TAgitation &e = r.plan->entries.front();
            if (e.Counter > 0 && e.Count > 0) {
                const double ms = std::nearbyint(static_cast<double>(e.durationMs) / e.Count);
                f.agitationStepMs = static_cast<int>(std::clamp(
                    ms, double(kMinAgitationStepMs), double(std::numeric_limits<int>::max())));
            }
        }
    }
    f.agitation = r.agitation;
    return f;
}
