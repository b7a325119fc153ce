#include "core/process/process_engine.h"

#include "core/base/colors.h"

ProcessEngine::ProcessEngine(Clock &clock, SoundOutput &sound, ProcessEnvironment env)
    : m_clock(clock), m_sound(sound), m_env(std::move(env))
{
}

int ProcessEngine::add(const QString &fileName, bool paper)
{
    const int i = size();
    m_processes.push_back(std::make_unique<Process>(fileName, paper, i, m_clock, m_sound, m_env));
    return i;
}

void ProcessEngine::clear()
{
    m_processes.clear();
}

void ProcessEngine::abandonAll(ProcessEvent::How how)
{
    for (const auto &p : m_processes)
        p->abandon(how);
}

FaceStyle ProcessEngine::style() const
{
    return {m_env.colourMode(),   m_env.agitComingText(), m_env.agitRunningText(),
            m_env.finishedText(), m_env.pauseWord(),      m_env.waitWord()};
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
