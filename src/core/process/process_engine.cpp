#include "core/process/process_engine.h"

#include "core/base/colors.h"

#include <algorithm>
#include <iterator>

ProcessEngine::ProcessEngine(Clock &clock, SoundOutput &sound, ProcessEnvironment env)
    : m_clock(clock), m_sound(sound), m_env(std::move(env))
{
    m_env.callsChanged = [this] { ++m_callsRevision; };
}

int ProcessEngine::add(const QString &fileName, bool paper)
{
    const int i = size();
    m_processes.push_back(std::make_unique<Process>(fileName, paper, i, m_clock, m_sound, m_env));
    // A new process under an index is not the one before it.
    m_collisions = {};
    ++m_callsRevision;
    return i;
}

void ProcessEngine::clear()
{
    m_processes.clear();
    m_collisions = {};
    ++m_callsRevision;
}

void ProcessEngine::abandonAll(ProcessEvent::How how)
{
    for (const auto &p : m_processes)
        p->abandon(how);
}

FaceStyle ProcessEngine::style() const
{
    return {m_env.colourMode(),     m_env.agitComingText(), m_env.agitRunningText(),
            m_env.finishedText(),   m_env.pauseWord(),      m_env.waitWord(),
            m_env.startsInText(),   m_env.bathTexts(),      m_env.temperatureTexts(),
            m_env.temperatureUnit()};
}

bool ProcessEngine::anyUnderway() const
{
    for (const auto &p : m_processes)
        if (p->isUnderway())
            return true;
    return false;
}

ProcessHold ProcessEngine::holdOf(bool paper) const
{
    ProcessHold out = ProcessHold::None;
    for (const auto &p : m_processes) {
        if (p->paper() != paper)
            continue;
        const ProcessHold h = p->hold();
        if (h == ProcessHold::Waiting)
            return h;
        if (h == ProcessHold::Paused)
            out = h;
    }
    return out;
}

void ProcessEngine::switchScheme()
{
    for (const auto &p : m_processes)
        p->schemeSwitched();
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

void ProcessEngine::PaintStepGrid(GridModel &grid, int col, int row, bool colourMode)
{
    const quint32 doneBack = colourMode ? Colors::Blue : Colors::Black;
    const quint32 currentBack = colourMode ? Colors::Red : Colors::Gray;
    grid.setProgressColors(col, row, {Colors::White, doneBack}, {Colors::Black, currentBack},
                           {Colors::Black, Colors::WindowColor});
}

const ProcessEngine::CollisionCache &ProcessEngine::collisions(qint64 nowMs) const
{
    CollisionCache &c = m_collisions;
    const qint64 margin = m_env.collisionMarginMs();
    // Every commit that changes a process's calls counts; a grid edit counts
    // at the process's next tick (or at the next look after another's change).
    if (c.revision == m_callsRevision && c.count == m_processes.size() && c.marginMs == margin &&
        nowMs >= c.fromMs && nowMs - c.fromMs < CollisionHorizonMs / 2)
        return c;
    c.revision = m_callsRevision;
    c.count = m_processes.size();
    c.own.resize(c.count);
    // The processes whose calls are to be made again: changed since, or no
    // longer covering the horizon from now.
    std::vector<char> stale(c.count, 0);
    bool anyStale = false;
    std::vector<Call> fresh;
    for (size_t i = 0; i < c.count; ++i) {
        OwnCalls &own = c.own[i];
        const Process &p = *m_processes[i];
        const Process::CallsKey key = p.callsKey();
        if (own.known && own.key == key && nowMs >= own.fromMs &&
            nowMs + CollisionHorizonMs <= own.fromMs + CallSpanMs)
            continue;
        stale[i] = 1;
        anyStale = true;
        own = {true, key, nowMs};
        const std::vector<Call> calls = p.callsAhead(nowMs, nowMs + CallSpanMs);
        fresh.insert(fresh.end(), calls.begin(), calls.end());
    }
    if (anyStale) {
        std::erase_if(c.calls, [&stale](const Call &x) { return stale[size_t(x.process)]; });
        std::sort(fresh.begin(), fresh.end(), callOrder);
        std::vector<Call> merged;
        merged.reserve(c.calls.size() + fresh.size());
        std::merge(c.calls.begin(), c.calls.end(), fresh.begin(), fresh.end(),
                   std::back_inserter(merged), callOrder);
        c.calls = std::move(merged);
    }
    c.fromMs = nowMs;
    c.marginMs = margin;
    // The calls after now and within the horizon, as each process would give
    // them from now.
    const auto first = std::upper_bound(c.calls.begin(), c.calls.end(), nowMs,
                                        [](qint64 t, const Call &x) { return t < x.atMs; });
    const auto last = std::upper_bound(first, c.calls.end(), nowMs + CollisionHorizonMs,
                                       [](qint64 t, const Call &x) { return t < x.atMs; });
    c.all = collisionsAmongSorted(c.calls.data() + (first - c.calls.begin()),
                                  c.calls.data() + (last - c.calls.begin()), margin);
    c.ofProcess.assign(m_processes.size(), {});
    for (const Collision &x : c.all)
        c.ofProcess[static_cast<size_t>(x.own.process)].push_back(x);
    return c;
}

std::optional<Collision> ProcessEngine::nextCollision(qint64 nowMs, int i) const
{
    if (i >= size())
        return std::nullopt;
    const CollisionCache &c = collisions(nowMs);
    const std::vector<Collision> &list = i < 0 ? c.all : c.ofProcess[static_cast<size_t>(i)];
    // In the order of the calls: the first still ahead.
    for (const Collision &x : list)
        if (x.own.atMs > nowMs)
            return x;
    return std::nullopt;
}

std::vector<Call> ProcessEngine::callsOfOthers(int i, qint64 fromMs, qint64 untilMs) const
{
    std::vector<Call> out;
    for (const auto &p : m_processes) {
        if (p->index() == i)
            continue;
        const std::vector<Call> own = p->callsAhead(fromMs, untilMs);
        out.insert(out.end(), own.begin(), own.end());
    }
    return out;
}

std::optional<ProcessEngine::StartClash> ProcessEngine::startClash(int i, qint64 nowMs) const
{
    if (i < 0 || i >= size())
        return std::nullopt;
    const qint64 margin = m_env.collisionMarginMs();
    // The others' calls over the horizon and a delay's worth beyond it.
    const qint64 until = nowMs + 2 * CollisionHorizonMs;
    const std::vector<Call> others = callsOfOthers(i, nowMs, until);
    std::vector<Call> mine = process(i).callsIfStarted(nowMs, nowMs + CollisionHorizonMs);
    std::vector<Call> all = others;
    all.insert(all.end(), mine.begin(), mine.end());
    for (const Collision &x : collisionsAmong(std::move(all), margin)) {
        if (x.own.process != i)
            continue;
        return StartClash{x, delayAvoiding(mine, others, margin, CollisionHorizonMs)};
    }
    return std::nullopt;
}
