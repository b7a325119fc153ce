#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "engine_rig.h"
#include "test_support.h"

#include <QFile>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTest>

// Ticks land half a millisecond after the whole second, as a precise timer's do.
constexpr double kLate = 0.0005;

namespace {

// QVERIFY2 builds its message on every check; the soak's millions of checks
// build theirs on failure only.
#define SOAK_VERIFY(condition, message)                                                            \
    do {                                                                                           \
        if (!(condition))                                                                          \
            QFAIL(message);                                                                        \
    } while (false)

// Whether a process stands stopped part-way (paused, or at a wait mark).
bool isStopped(const Process &p)
{
    return p.state() == ProcessState::Paused || p.state() == ProcessState::AtWaitMark;
}

// Fifty processes on the fake clock for days: random presses, ticks when the
// process plans them (late now and then, all at once after a suspend), the
// tab's agitation timer, stray ticks of stopped timers, reloads, scheme and
// sound changes, and an agitation file that changes or vanishes. Every event
// is checked; a failure names the seed.
class Soak
{
public:
    explicit Soak(quint32 seed) : m_rng(seed), m_seed(seed)
    {
        m_rig.soundSeconds = 2;
        m_nowMs = m_rig.clock.nowMs();
        m_startMs = m_nowMs;
        writeAgitationFile();
        reload();
    }

    void run(int days)
    {
        const qint64 endMs = m_nowMs + qint64(days) * 86400000;
        qint64 nextPress = m_nowMs + gap(15000);
        qint64 nextGlobal = m_nowMs + gap(1200000);
        while (m_nowMs < endMs && !QTest::currentTestFailed()) {
            // The earliest of a press, a change of settings and the timers:
            // timer 2i is process i's step timer, 2i + 1 its agitation timer.
            qint64 at = std::min(nextPress, nextGlobal);
            int timer = -1;
            for (int k = 0; k < 2 * size(); ++k) {
                const qint64 due = timerDue(k);
                if (due >= 0 && due < at) {
                    at = due;
                    timer = k;
                }
            }
            // Now and then a second late, on a busy machine.
            const int late =
                m_rng.bounded(50) == 0 ? int(m_rng.bounded(1000)) : int(m_rng.bounded(3));
            moveTo(std::max(at + (timer >= 0 ? late : 0), m_nowMs));
            const int i = timer / 2;
            if (timer >= 0 && timer % 2 == 0) {
                event(i, "tick", [&] { m_rig.process(i).tick(); });
            } else if (timer >= 0) {
                m_agitDue[i] += m_agitInterval[i];
                event(i, "agitation tick", [&] { m_rig.process(i).agitationTick(); });
            } else if (at == nextPress) {
                nextPress = m_nowMs + gap(15000);
                press(pressTarget());
            } else {
                nextGlobal = m_nowMs + gap(1200000);
                global();
            }
        }
    }

    // Left alone, every process walks to its end; a paused one is resumed, as
    // a user at a wait mark would.
    void leaveAlone()
    {
        for (int i = 0; i < size(); ++i) {
            Process &p = m_rig.process(i);
            for (int n = 0; n < 10'000'000 && !QTest::currentTestFailed(); ++n) {
                if (isStopped(p))
                    event(i, "resume", [&] { p.pause(); });
                if (!p.isRunning())
                    break;
                moveTo(std::max(stepDue(i), m_nowMs));
                event(i, "tick", [&] { p.tick(); });
            }
            SOAK_VERIFY(!p.isRunning(), context(i, "left alone", "still running"));
        }
    }

private:
    struct Snapshot
    {
        ProcessState state;
        int col, row, shown;
        qint64 remaining;
        std::optional<qint64> cellEnd, due;
    };

    int size() { return m_rig.engine->size(); }
    qint64 gap(int meanMs) { return 1 + qint64(m_rng.bounded(2 * meanMs)); }
    qint64 stepDue(int i) { return m_stepDue[i]; }
    qint64 timerDue(int k) { return k % 2 ? m_agitDue[k / 2] : stepDue(k / 2); }
    void moveTo(qint64 ms)
    {
        m_rig.clock.advanceMs(ms - m_nowMs);
        m_nowMs = ms;
    }
    Snapshot snapshot(int i)
    {
        const Process &p = m_rig.process(i);
        return {p.state(),        p.currentCol(), p.currentRow(),         p.shownSeconds(),
                p.remainingMs(0), p.cellEndMs(),  m_rig.face(i).tickDueMs};
    }
    const char *context(int i, const char *what, const QString &detail)
    {
        const qint64 ms = m_nowMs - m_startMs;
        m_context =
            QString::asprintf("seed %u, day %lld, %lld ms: process %d, %s: %s", m_seed,
                              ms / 86400000 + 1, ms % 86400000, i, what, qUtf8Printable(detail))
                .toUtf8();
        return m_context.constData();
    }

    // Runs one event of process i and checks the process afterwards.
    template <class F> void event(int i, const char *what, F &&f)
    {
        const Snapshot before = snapshot(i);
        f();
        // Only a missing agitation file or its broken line may fail.
        for (const QString &e : m_rig.process(i).takeErrors())
            SOAK_VERIFY(e == fileError(m_rig.agitationFile, "File not found") ||
                            e.endsWith("'x' is not a valid integer value"),
                        context(i, what, e));
        followTimers(i);
        check(i, what, before);
    }

    // What the tab does with its timers after each event.
    void followTimers(int i)
    {
        const ProcessFace f = m_rig.face(i);
        m_stepDue[i] = f.tickDueMs.value_or(-1);
        if (!f.agitationStepMs)
            m_agitDue[i] = -1;
        else if (m_agitDue[i] < 0 || m_agitInterval[i] != *f.agitationStepMs ||
                 m_agitation[i] != f.agitation)
            m_agitDue[i] = m_nowMs + *f.agitationStepMs;
        m_agitInterval[i] = f.agitationStepMs.value_or(0);
        m_agitation[i] = f.agitation;
    }

    // Every label shows a well-formed time; a cue is otherwise empty or a
    // description from the file.
    static bool isTime(const QString &text)
    {
        static const QRegularExpression time(QStringLiteral("^\\d{2,}:\\d\\d:\\d\\d$"));
        return time.match(text).hasMatch();
    }
    static bool isCue(const QString &text)
    {
        static const QRegularExpression cue(
            QStringLiteral("^(|Agitation in %1|\\*{3}  AGITATE \\(\\d+/\\d+\\) %1  \\*{3}|%2)$")
                .arg(QStringLiteral("\\d{2,}:\\d\\d:\\d\\d"),
                     QStringLiteral("Inversions|Continuous first|Every second(, twice)?|Fast|"
                                    "Broken|None")));
        return cue.match(text).hasMatch();
    }

    void check(int i, const char *what, const Snapshot &before)
    {
        const ProcessFace f = m_rig.face(i);
        const Process &p = m_rig.process(i);
        const ProcessState state = p.state();
        SOAK_VERIFY(p.currentRow() >= 0 && p.currentRow() < m_rig.grid(i).rows() &&
                        p.currentCol() >= 0 && p.currentCol() < m_rig.grid(i).cols(),
                    context(i, what, "current cell"));
        SOAK_VERIFY(isTime(f.time.text), context(i, what, f.time.text));
        SOAK_VERIFY(isCue(f.agit.text), context(i, what, f.agit.text));
        // However the file repeats, a plan holds at most one entry per
        // instruction of the file.
        static const int instructions = int(agitationLines().join('/').count('/')) + 1;
        if (const AgitationPlan *plan = p.agitationPlan())
            SOAK_VERIFY(int(plan->entries.size()) <= instructions,
                        context(i, what, QString("plan of %1").arg(plan->entries.size())));
        // One state, and a face that says it: a tick is armed exactly when the
        // process runs, and no running colours over a stopped clock.
        const quint32 labels = f.step.color;
        const bool colour = m_rig.colour;
        switch (state) {
        case ProcessState::Running:
            SOAK_VERIFY(labels == (colour ? Colors::Red : Colors::Gray),
                        context(i, what, "colours"));
            break;
        case ProcessState::Paused:
        case ProcessState::AtWaitMark:
            SOAK_VERIFY(labels == (colour ? Colors::Yellow : Colors::Silver),
                        context(i, what, "colours"));
            SOAK_VERIFY((state == ProcessState::AtWaitMark) ==
                            (m_rig.grid(i).cell(p.currentCol(), p.currentRow()) == "X"),
                        context(i, what, "wait mark"));
            break;
        case ProcessState::Idle:
        case ProcessState::Finished:
            SOAK_VERIFY(labels == Colors::Blue || labels == (colour ? Colors::Blue : Colors::White),
                        context(i, what, "colours"));
            SOAK_VERIFY(!p.isUnderway(), context(i, what, "under way"));
            break;
        }
        SOAK_VERIFY(f.tickDueMs.has_value() == (state == ProcessState::Running) &&
                        p.cellEndMs().has_value() == (state == ProcessState::Running),
                    context(i, what, "tick armed"));
        SOAK_VERIFY(state == ProcessState::Running || !f.agitationStepMs,
                    context(i, what, "agitation timer while stopped"));
        const QLatin1String event(what);
        if (f.tickDueMs) {
            // The next tick planned is ahead and no later than just after the
            // end (a second on for a cell of no time).
            const qint64 end = *p.cellEndMs();
            const qint64 latest = end > m_nowMs ? end + 2 : m_nowMs + 1002;
            const bool planned = f.tickDueMs != before.due || event == "tick";
            SOAK_VERIFY((!planned || *f.tickDueMs > m_nowMs) && *f.tickDueMs <= latest,
                        context(i, what, "next tick"));
        }
        // Only Start and Pause start the clock; nothing moves a stopped
        // process but a press.
        const bool wasRunning = before.state == ProcessState::Running;
        if (!wasRunning && event != "Start" && event != "Pause" && event != "resume")
            SOAK_VERIFY(state != ProcessState::Running, context(i, what, "started"));
        const bool moved = p.currentRow() != before.row || p.currentCol() != before.col;
        if (event == "tick" || event == "agitation tick" ||
            event.startsWith(QLatin1String("global"))) {
            if (!wasRunning)
                SOAK_VERIFY(state == before.state && !moved && p.shownSeconds() == before.shown &&
                                p.remainingMs(0) == before.remaining,
                            context(i, what, "a stopped process moved"));
        }
        if (event == "tick" && wasRunning) {
            // A tick walks forward only, never leaves a cell running past its
            // end, and stops only at a wait mark, paused, or after the last
            // step, finished.
            if (state == ProcessState::Running && !moved)
                SOAK_VERIFY(p.cellEndMs() == before.cellEnd && *p.cellEndMs() > m_nowMs &&
                                p.shownSeconds() <= before.shown,
                            context(i, what, "past the end"));
            if (state == ProcessState::Running && moved)
                SOAK_VERIFY(p.currentRow() > before.row ||
                                (p.currentRow() == before.row && p.currentCol() > before.col),
                            context(i, what, "walked back"));
            if (state != ProcessState::Running)
                SOAK_VERIFY(isStopped(p) || state == ProcessState::Finished,
                            context(i, what, "stopped"));
        }
    }

    // A quarter of the presses go to a running process, when there is one.
    int pressTarget()
    {
        std::vector<int> running;
        for (int i = 0; i < size(); ++i)
            if (m_rig.process(i).isRunning())
                running.push_back(i);
        return !running.empty() && m_rng.bounded(4) == 0
                   ? running[m_rng.bounded(quint32(running.size()))]
                   : int(m_rng.bounded(size()));
    }

    void press(int i)
    {
        Process &p = m_rig.process(i);
        // A paused process is resumed more often than not, as at a wait mark.
        const int action = isStopped(p) && m_rng.bounded(2) == 0 ? 30 : int(m_rng.bounded(100));
        if (action < 20) {
            event(i, "Start", [&] { p.start(); });
        } else if (action < 42) {
            event(i, "Pause", [&] { p.pause(); });
        } else if (action < 62) {
            event(i, "Next", [&] { p.next(); });
        } else if (action < 72) {
            event(i, "Previous", [&] { p.previous(); });
        } else if (action < 75) {
            event(i, "Reset", [&] { p.reset(); });
        } else if (action < 78) {
            // A timer's event already on its way when the process stopped.
            if (!p.isRunning())
                event(i, "tick", [&] { p.tick(); });
            else
                event(i, "agitation tick", [&] { p.agitationTick(); });
        } else {
            // A double-click where the user can click: while the process
            // runs, only a cell after the current one can be selected.
            GridModel &g = m_rig.grid(i);
            const int from = std::max(1, p.currentRow());
            g.setCurrent(1 + int(m_rng.bounded(g.cols() - 1)),
                         from + int(m_rng.bounded(g.rows() - from)));
            event(i, "double-click", [&] { p.doubleClick(); });
        }
    }

    void global()
    {
        const int kind = int(m_rng.bounded(12));
        const char *what = "global: agitation file";
        if (kind == 0) {
            reload();
            return;
        } else if (kind <= 3) {
            m_rig.colour = !m_rig.colour;
            m_rig.engine->switchScheme();
            what = "global: scheme";
        } else if (kind <= 5) {
            m_rig.soundMode = 1 + int(m_rng.bounded(3));
            m_rig.soundSeconds = int(m_rng.bounded(11)) - 1;
            what = "global: sound";
        } else if (kind <= 9) {
            writeAgitationFile();
        } else {
            // The machine sleeps: every timer due meanwhile fires on waking.
            moveTo(m_nowMs + gap(600000));
            return;
        }
        for (int i = 0; i < size() && !QTest::currentTestFailed(); ++i)
            event(i, what, [] {});
    }
    // The agitation file changes between reads, or vanishes.
    static const QStringList &agitationLines()
    {
        static const QStringList lines{
            "A\tInversions\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00",
            "A\tInversions\t6_00:00:15_00:00:00/*4_00:00:10_00:00:30",
            "K\tContinuous first\t10_00:00:30_00:00:00/*2_00:00:05_00:00:30",
            "R\tEvery second\t*1_00:00:01_00:00:01",
            "R\tEvery second, twice\t*1_00:00:01_00:00:01/*2_00:00:01_00:00:01",
            "F\tFast\t3_00:00:02_00:00:03/*5_00:00:02_00:00:07/1_00:00:00_00:00:04",
            "Z\tBroken\t*x_00:00:01_00:00:05",
            "Zero\tNone\t0_00:00:05_00:00:02"};
        return lines;
    }

    void writeAgitationFile()
    {
        if (m_rng.bounded(5) == 0) {
            QFile::remove(m_rig.agitationFile);
            return;
        }
        QStringList lines;
        for (const QString &line : agitationLines())
            if (m_rng.bounded(3) != 0)
                lines << line;
        m_rig.writeAgitation(lines);
    }

    // The tabs are rebuilt from the files: every process idle again.
    void reload()
    {
        m_rig.engine->abandonAll(ProcessEvent::How::Reload);
        m_rig.engine->clear();
        for (int n = 0; n < 50; ++n)
            m_rig.addProcess(randomSteps(n), n < 20);
        m_agitDue.assign(size_t(size()), -1);
        m_agitInterval.assign(size_t(size()), 0);
        m_agitation.assign(size_t(size()), 0);
        m_stepDue.assign(size_t(size()), -1);
        for (int i = 0; i < size() && !QTest::currentTestFailed(); ++i)
            check(i, "reload", snapshot(i));
    }

    QStringList randomSteps(int n)
    {
        static const QStringList codes{"A", "", "Q", "Z", "R", "K", "F", "Zero"};
        QStringList steps;
        // The longest main time, with an agitation every second.
        if (n == 0)
            steps << QStringLiteral("Long|99:99:99|||R");
        const int count = 1 + int(m_rng.bounded(8));
        const auto time = [&] {
            const int v = int(m_rng.bounded(10));
            return v < 2   ? QString()
                   : v < 9 ? QString("00:00:%1").arg(m_rng.bounded(1, 60), 2, 10, QChar('0'))
                           : QString("00:%1:00").arg(m_rng.bounded(1, 20), 2, 10, QChar('0'));
        };
        for (int s = 0; s < count; ++s)
            steps << QString("S%1|%2|%3|%4|%5")
                         .arg(s)
                         .arg(time(), m_rng.bounded(3) == 0 ? time() : QString(),
                              m_rng.bounded(4) == 0 ? "X" : "", codes[m_rng.bounded(8)]);
        return steps;
    }

    EngineRig m_rig;
    QRandomGenerator m_rng;
    quint32 m_seed;
    qint64 m_nowMs = 0;
    qint64 m_startMs = 0;
    std::vector<qint64> m_agitDue;
    std::vector<int> m_agitInterval;
    std::vector<quint64> m_agitation;
    std::vector<qint64> m_stepDue;
    QByteArray m_context;
};

} // namespace

class TestStepTimer : public QObject
{
    Q_OBJECT
private slots:
    // A process in a state, one command, and what follows: the next state,
    // whether the process is under way, its face (step, time and agitation
    // labels, and the labels' colour), the sounds and the boxes the command
    // gives. Commands are played as the tab plays them; "tick" comes when the
    // process planned it, "late600" 600 ms after, "wait5000" lets time pass,
    // "dbl12" double-clicks cell (1, 2), "rm" takes the agitation file away.
    void commands_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("setup");
        QTest::addColumn<QString>("command");
        QTest::addColumn<QString>("state");
        QTest::addColumn<bool>("underway");
        QTest::addColumn<QString>("face");
        QTest::addColumn<quint32>("colour");
        QTest::addColumn<QStringList>("sounds");
        QTest::addColumn<int>("errors");
        const QStringList two{"Dev|00:00:05|||A", "Fix|00:00:03|||"};
        const QStringList wait{"Fix|00:00:02||X|", "Wash|00:00:04|||"};
        const QStringList one{"Dev|00:00:02|||"};
        const QString agitating = "***  AGITATE (1/4) 00:00:09  ***";
        const QStringList none;
        const quint32 red = Colors::Red, yellow = Colors::Yellow, blue = Colors::Blue;

        QTest::newRow("idle: Start")
            << two << ""
            << "start"
            << "Running" << true << "Dev|00:00:05|Agitation in 00:00:00" << red << none << 0;
        QTest::newRow("running: Pause") << two << "start tick"
                                        << "pause"
                                        << "Paused" << true << "Dev|00:00:04|" + agitating << yellow
                                        << QStringList{"wave:pause.wav"} << 0;
        QTest::newRow("paused: Pause resumes")
            << two << "start tick pause wait10000"
            << "pause"
            << "Running" << true << "Dev|00:00:04|" + agitating << red << none << 0;
        QTest::newRow("paused: Start restarts the cell")
            << two << "start tick pause"
            << "start"
            << "Running" << true << "Dev|00:00:05|Agitation in 00:00:00" << red << none << 0;
        QTest::newRow("idle: Pause") << two << ""
                                     << "pause"
                                     << "Idle" << false << "|00:00:00|" << blue << none << 0;
        QTest::newRow("idle: Next")
            << two << ""
            << "next"
            << "Paused" << false << "Dev|00:00:05|Inversions" << yellow << none << 0;
        QTest::newRow("running: Reset") << two << "start tick"
                                        << "reset"
                                        << "Idle" << false << "Dev|00:00:00|" << blue << none << 0;
        QTest::newRow("running: tick at the cell's end")
            << two << "start tick tick tick tick"
            << "tick"
            << "Running" << true << "Fix|00:00:03|" << red << QStringList{"wave:0.wav"} << 0;
        QTest::newRow("running: double-click on a later cell")
            << two << "start"
            << "dbl12"
            << "Paused" << true << "Fix|00:00:03|" << yellow << none << 0;
        QTest::newRow("running: tick into a wait mark")
            << wait << "start tick"
            << "tick"
            << "AtWaitMark" << true << "Wait|00:00:00|" << yellow
            << QStringList{"wave:0.wav", "wave:pause.wav"} << 0;
        QTest::newRow("at a wait mark: Pause, then a tick")
            << wait << "start tick tick"
            << "pause tick"
            << "Running" << true << "Wash|00:00:04|" << red << none << 0;
        QTest::newRow("only stepped: Next past the last resets")
            << two << "next next"
            << "next"
            << "Idle" << false << "Dev|00:00:00|" << blue << none << 0;
        QTest::newRow("only stepped: Previous before the first resets")
            << two << "next"
            << "prev"
            << "Idle" << false << "Dev|00:00:00|" << blue << none << 0;
        QTest::newRow("running: tick into a main time whose file is gone")
            << QStringList{"Soak|00:00:01|||", "Dev|00:01:00|||A"} << "start rm"
            << "tick"
            << "Running" << true << "Dev|00:01:00|" << red << QStringList{"wave:0.wav"} << 1;

        // Faults: a paused step resumed after a failed read (1); Start on a
        // line or a file that cannot be read (2).
        QTest::newRow("paused after a failed read: Pause resumes")
            << QStringList{"Soak|00:00:01|||", "Dev|00:01:00|||A"} << "start rm tick pause"
            << "pause"
            << "Running" << true << "Dev|00:01:00|" << red << none << 0;
        QTest::newRow("stepped onto a main time whose file is gone: Pause resumes")
            << two << "rm next"
            << "pause"
            << "Running" << true << "Dev|00:00:05|" << red << none << 0;
        QTest::newRow("idle, broken line: Start runs without cues")
            << QStringList{"Dev|00:01:00|||B"} << ""
            << "start"
            << "Running" << true << "Dev|00:01:00|" << red << none << 1;
        QTest::newRow("idle, no agitation file: Start runs without cues")
            << two << "rm"
            << "start"
            << "Running" << true << "Dev|00:00:05|" << red << none << 1;
        // A double-click on the current cell plans its agitations afresh (4).
        QTest::newRow("paused, current cell double-clicked: Pause plans afresh")
            << QStringList{"Dev|00:10:00|||A"} << "start tick pause wait5000 dbl11"
            << "pause"
            << "Running" << true << "Dev|00:10:00|Agitation in 00:00:00" << red << none << 0;
        // Only Start and a resume put a process under way (6).
        QTest::newRow("only stepped: double-click")
            << two << "next next"
            << "dbl11"
            << "Paused" << false << "Dev|00:00:05|" << yellow << none << 0;
        // A tick late in the last second: each second once, in order (7).
        QTest::newRow("running: a late tick in the last second, then the end")
            << two << "start tick tick tick"
            << "late600 tick"
            << "Running" << true << "Fix|00:00:03|" << red << QStringList{"wave:0.wav"} << 0;
        // A development under way is not thrown away by Previous or Next (9).
        QTest::newRow("under way: Previous on the first cell")
            << two << "start tick"
            << "prev"
            << "Running" << true << "Dev|00:00:04|" + agitating << red << QStringList{"beep"} << 0;
        QTest::newRow("under way: Next on the last cell")
            << two << "start next"
            << "next"
            << "Paused" << true << "Fix|00:00:03|" << yellow << QStringList{"beep"} << 0;
        // A finished process says so, until the next command (10).
        QTest::newRow("running: the last cell ends")
            << one << "start tick"
            << "tick"
            << "Finished" << false << "Finished 10:30|00:00:00|" << blue
            << QStringList{"wave:0.wav"} << 0;
        QTest::newRow("finished: Start")
            << one << "start tick tick"
            << "start"
            << "Running" << true << "Dev|00:00:02|" << red << none << 0;
        QTest::newRow("finished: Pause") << one << "start tick tick"
                                         << "pause"
                                         << "Idle" << false << "Dev|00:00:00|" << blue << none << 0;
        // No agitation announced that begins after the step's end (11).
        QTest::newRow("running: an agitation after the end")
            << QStringList{"Wash|00:00:15|||L"} << "start"
            << "tick"
            << "Running" << true << "Wash|00:00:14|Late" << red << none << 0;
        // A note without a TAB is no code, and no code reads nothing (13).
        QTest::newRow("idle, a note in the file: Start a step without a code")
            << QStringList{"Mouillant|00:00:30|||"} << ""
            << "start"
            << "Running" << true << "Mouillant|00:00:30|" << red << none << 0;
    }
    void commands()
    {
        QFETCH(QStringList, steps);
        QFETCH(QString, setup);
        QFETCH(QString, command);
        QFETCH(QString, state);
        QFETCH(bool, underway);
        QFETCH(QString, face);
        QFETCH(quint32, colour);
        QFETCH(QStringList, sounds);
        QFETCH(int, errors);
        EngineRig rig;
        rig.soundMode = 2;
        rig.soundSeconds = 2;
        rig.activeTab = 0;
        rig.writeAgitation({"A\tInversions\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00",
                            "B\tBroken\tdeux_00:00:02_00:00:00", "a note without a TAB",
                            "L\tLate\t1_00:00:05_00:01:00"});
        const int p = rig.addProcess(steps);
        Process &proc = rig.process(p);
        const auto play = [&](const QString &script) {
            for (const QString &t : script.split(' ', Qt::SkipEmptyParts)) {
                if (t == "start")
                    proc.start();
                else if (t == "pause")
                    proc.pause();
                else if (t == "next")
                    proc.next();
                else if (t == "prev")
                    proc.previous();
                else if (t == "reset")
                    proc.reset();
                else if (t == "tick")
                    rig.tickWhenDue(p);
                else if (t.startsWith("late"))
                    rig.tickWhenDue(p, t.mid(4).toInt());
                else if (t.startsWith("wait"))
                    rig.clock.advanceMs(t.mid(4).toInt());
                else if (t.startsWith("dbl") &&
                         rig.grid(p).setCurrent(t[3].digitValue(), t[4].digitValue()))
                    proc.doubleClick();
                else if (t == "rm")
                    QFile::remove(rig.agitationFile);
                else
                    QFAIL(qPrintable("cannot play " + t));
            }
        };
        play(setup);
        rig.sound.events.clear();
        proc.takeErrors();
        play(command);
        static const char *const names[] = {"Idle", "Running", "Paused", "AtWaitMark", "Finished"};
        QCOMPARE(QString(names[int(proc.state())]), state);
        QCOMPARE(proc.isUnderway(), underway);
        const ProcessFace f = rig.face(p);
        QCOMPARE(f.step.text + '|' + f.time.text + '|' + f.agit.text, face);
        QCOMPARE(f.step.color, colour);
        QCOMPARE(f.time.color, colour);
        QCOMPARE(f.tickDueMs.has_value(), proc.isRunning());
        QCOMPARE(rig.sound.events, sounds);
        QCOMPARE(int(proc.takeErrors().size()), errors);
    }

    void fiveSecondCellEndsOnFirstTickAtItsEnd()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:05|||", "Fix|00:00:03|||"});
        rig.process(p).start();
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:05"));
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Dev"));
        QVERIFY(rig.process(p).isRunning());
        rig.clock.advanceSeconds(kLate);
        for (int left = 4; left >= 1; --left) {
            rig.tickAfter(p, 1.0);
            QCOMPARE(rig.face(p).time.text, QString("00:00:0%1").arg(left));
            QCOMPARE(rig.process(p).currentRow(), 1);
        }
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).currentRow(), 2);
        QCOMPARE(rig.process(p).currentCol(), 1);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:03"));
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Fix"));
        QVERIFY(rig.process(p).isRunning());
    }

    void lateTickSkipsSecondsButNotTheEnd()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:10|||", "Fix|00:00:03|||"});
        rig.process(p).start();
        rig.tickAfter(p, 6.4);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:04"));
        QCOMPARE(rig.face(p).gauge, 60);
        rig.tickAfter(p, 3.5);
        QCOMPARE(rig.process(p).currentRow(), 1);
        rig.tickAfter(p, 0.1 + kLate);
        QCOMPARE(rig.process(p).currentRow(), 2);
        // The next cell counts from the moment it was entered.
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:02"));
    }

    void pauseKeepsTheRemainingSeconds()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.process(p).start();
        rig.tickAfter(p, 18.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:42"));
        rig.process(p).pause();
        QVERIFY(!rig.process(p).isRunning());
        QVERIFY(isStopped(rig.process(p)));
        rig.clock.advanceSeconds(600);
        rig.process(p).pause();
        QVERIFY(rig.process(p).isRunning());
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:41"));
    }

    void startOnAPausedCellRestartsIt()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.process(p).start();
        rig.tickAfter(p, 18.0 + kLate);
        rig.process(p).pause();
        rig.process(p).start();
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:01:00"));
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:59"));
    }

    void pauseOnAnIdleProcessDoesNothing()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.process(p).pause();
        QVERIFY(!rig.process(p).isRunning());
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
        rig.process(p).start();
        rig.process(p).reset();
        rig.process(p).pause();
        QVERIFY(!rig.process(p).isRunning());
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
    }

    void nextAndPreviousFromANeverStartedTab()
    {
        EngineRig rig;
        rig.soundMode = 1;
        const int p = rig.addProcess({"Soak||||", "Dev|00:02:00|||", "Fix|00:05:00|||"});
        rig.process(p).next();
        QCOMPARE(rig.process(p).currentRow(), 2);
        QCOMPARE(rig.process(p).currentCol(), 1);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:02:00"));
        QVERIFY(isStopped(rig.process(p)));
        QCOMPARE(rig.grid(p).currentCol(), 4);
        QCOMPARE(rig.grid(p).currentRow(), 2);
        // Back before the first timed cell of a process only stepped through:
        // end beep and reset.
        rig.process(p).previous();
        QCOMPARE(rig.sound.events, QStringList{"exclamation"});
        QCOMPARE(rig.process(p).state(), ProcessState::Idle);
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Soak"));
        QCOMPARE(rig.process(p).currentRow(), 1);
        QCOMPARE(rig.process(p).currentCol(), 1);
        // Pause resumes from a cell Suivant chose, with the full time.
        rig.process(p).next();
        rig.process(p).pause();
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:01:59"));
    }

    void previousStepsBackOverEmptyCells()
    {
        EngineRig rig;
        const int p = rig.addProcess({"A|00:00:10|00:00:05||", "B||||", "C|00:00:20|||"});
        rig.process(p).next(); // A main
        rig.process(p).next(); // A second phase
        rig.process(p).next(); // C main
        QCOMPARE(rig.process(p).currentRow(), 3);
        rig.process(p).previous();
        QCOMPARE(rig.process(p).currentRow(), 1);
        QCOMPARE(rig.process(p).currentCol(), 2);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Time 2"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:05"));
        QVERIFY(isStopped(rig.process(p)));
    }

    void emptyCellsAreSkipped()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Soak||||", "Dev|00:00:03|||"});
        rig.process(p).start();
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.process(p).currentRow(), 2);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:03"));
    }

    void processWithoutTimedCellsEndsOnFirstTick()
    {
        EngineRig rig;
        rig.soundMode = 1;
        const int p = rig.addProcess({"A||||", "B|00:00:00|||"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0);
        QVERIFY(!rig.process(p).isRunning());
        QCOMPARE(rig.sound.events.last(), QStringLiteral("exclamation"));
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
    }

    void waitMarkPausesAndPauseResumes()
    {
        EngineRig rig;
        rig.soundMode = 2;
        rig.activeTab = 0;
        const int p = rig.addProcess({"Fix|00:00:02||X|", "Wash|00:00:04|||"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        rig.tickAfter(p, 1.0);
        QVERIFY(!rig.process(p).isRunning());
        QVERIFY(isStopped(rig.process(p)));
        QCOMPARE(rig.process(p).currentCol(), 3);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Wait"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
        QVERIFY(rig.sound.events.contains("wave:pause.wav"));
        // It waits for as long as the user takes.
        rig.clock.advanceSeconds(300);
        rig.process(p).pause();
        QVERIFY(rig.process(p).isRunning());
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).currentRow(), 2);
        QCOMPARE(rig.process(p).currentCol(), 1);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:04"));
        QVERIFY(rig.process(p).isRunning());
        QCOMPARE(rig.face(p).step.color, Colors::Red);
    }

    void twoWaitMarksInARow()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Fix|00:00:01||X|", "Look|||X|", "Wash|00:00:04|||"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.process(p).currentRow(), 1);
        QCOMPARE(rig.process(p).currentCol(), 3);
        rig.process(p).pause();
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).currentRow(), 2);
        QCOMPARE(rig.process(p).currentCol(), 3);
        QVERIFY(isStopped(rig.process(p)));
        rig.process(p).pause();
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).currentRow(), 3);
        QVERIFY(rig.process(p).isRunning());
    }

    void lastStepEndingWithAWaitMark()
    {
        EngineRig rig;
        rig.soundMode = 1;
        const int p = rig.addProcess({"Dev|00:00:01|||", "Fix|00:00:01||X|"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).currentCol(), 3);
        rig.process(p).pause();
        rig.sound.events.clear();
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.sound.events, QStringList{"exclamation"});
        QCOMPARE(rig.process(p).state(), ProcessState::Finished);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Finished 10:30"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
        // Until the next command.
        rig.process(p).pause();
        QCOMPARE(rig.process(p).state(), ProcessState::Idle);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Dev"));
    }

    void nextStopsPausedAtAWaitMark_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<int>("presses");
        QTest::addColumn<int>("row");
        // From the main time Next stops at the second phase, then at the mark.
        QTest::newRow("second phase, then the mark")
            << QStringList{"Fix|00:00:30|00:00:10|X|", "Wash|00:01:00|||"} << 3 << 1;
        QTest::newRow("a step holding only a mark")
            << QStringList{"Dev|00:00:30|||", "Look|||X|", "Wash|00:01:00|||"} << 2 << 2;
    }
    void nextStopsPausedAtAWaitMark()
    {
        QFETCH(QStringList, steps);
        QFETCH(int, presses);
        QFETCH(int, row);
        EngineRig rig;
        rig.soundMode = 2;
        rig.activeTab = 0;
        const int p = rig.addProcess(steps);
        for (int n = 0; n < presses; ++n)
            rig.process(p).next();
        QCOMPARE(rig.process(p).currentCol(), 3);
        QCOMPARE(rig.process(p).currentRow(), row);
        QVERIFY(!rig.process(p).isRunning());
        QVERIFY(isStopped(rig.process(p)));
        QCOMPARE(rig.sound.events, QStringList{});
        // Only Pause (or Start) carries on past the mark.
        rig.process(p).pause();
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Wash"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:01:00"));
        QVERIFY(rig.process(p).isRunning());
    }

    void ticksLineUpOnTheCellsEnd_data()
    {
        QTest::addColumn<QList<int>>("lateMs"); // how late the ticks come, in turn
        QTest::addColumn<int>("pauseAfter");    // the tick after which a pause falls
        QTest::addColumn<int>("ticks");
        QTest::newRow("on time") << QList<int>{} << 0 << 9;
        // The tick that ends the first cell comes 37 ms late, so the second
        // cell is off the phase of the first by a fraction of a second.
        QTest::newRow("a cell after a fractional one")
            << QList<int>{0, 0, 37, 3, 480, 120} << 0 << 9;
        // More than half a second late: the second it would show next is
        // skipped, the end is not.
        QTest::newRow("a tick 700 ms late") << QList<int>{0, 700} << 0 << 9;
        QTest::newRow("a resume at an arbitrary phase") << QList<int>{} << 4 << 9;
        // An hour asleep during the first cell: it ends on the first tick
        // after waking and the next cell counts from there.
        QTest::newRow("a suspend") << QList<int>{0, 3600000} << 0 << 8;
    }
    void ticksLineUpOnTheCellsEnd()
    {
        QFETCH(QList<int>, lateMs);
        QFETCH(int, pauseAfter);
        QFETCH(int, ticks);
        EngineRig rig;
        const int p = rig.addProcess({"A|00:00:03|||", "B|00:00:02|||", "C|00:00:04|||"});
        rig.clock.advanceMs(123);
        Process &proc = rig.process(p);
        proc.start();
        int n = 0;
        QString shown = rig.face(p).time.text;
        while (proc.isRunning() && n < 20) {
            const qint64 end = *proc.cellEndMs();
            const qint64 due = *rig.face(p).tickDueMs;
            // Due ahead, never past the end, a whole number of seconds before
            // it plus two milliseconds.
            QVERIFY(due > rig.clock.nowMs());
            const qint64 beforeEnd = end - due + 2;
            QVERIFY(beforeEnd >= 0);
            QCOMPARE(beforeEnd % 1000, 0);
            const int row = proc.currentRow();
            const int late = n < lateMs.size() ? lateMs[n] : 0;
            rig.tickWhenDue(p, late);
            if (++n == pauseAfter) {
                rig.clock.advanceMs(337);
                proc.pause();
                rig.clock.advanceMs(10339);
                proc.pause();
            }
            if (proc.currentRow() != row || !proc.isRunning()) {
                // The cell ended on the tick just after its end.
                const qint64 afterEnd = rig.clock.nowMs() - end;
                QVERIFY2(afterEnd >= 0 && afterEnd <= late + 2, qPrintable(QString::number(n)));
                if (proc.isRunning())
                    QCOMPARE(*proc.cellEndMs() - rig.clock.nowMs(), proc.givenMs());
            } else {
                // Every tick shows a second of its own: no second is shown
                // (or sounded) twice.
                QVERIFY2(rig.face(p).time.text != shown, qPrintable(QString::number(n)));
            }
            shown = rig.face(p).time.text;
        }
        QCOMPARE(n, ticks);
    }

    void scrollsInBlocksOfTwelve_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("top");
        QTest::newRow("25 stays") << 25 << 1;
        QTest::newRow("26") << 26 << 12;
        QTest::newRow("35") << 35 << 12;
        QTest::newRow("36") << 36 << 24;
        QTest::newRow("40") << 40 << 24;
    }
    void scrollsInBlocksOfTwelve()
    {
        QFETCH(int, row);
        QFETCH(int, top);
        EngineRig rig;
        QStringList steps;
        for (int r = 1; r <= 40; ++r)
            steps << QString("S%1|00:00:01|||").arg(r);
        const int p = rig.addProcess(steps);
        for (int r = 1; r <= row; ++r)
            rig.process(p).next();
        QCOMPARE(rig.process(p).currentRow(), row);
        QCOMPARE(rig.grid(p).topRow(), top);
    }

    void gaugeShowsTheCellsProgress()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.process(p).start();
        QCOMPARE(rig.face(p).gauge, 0);
        rig.tickAfter(p, 45.0 + kLate);
        QCOMPARE(rig.face(p).gauge, 75);
    }

    void labelColours_data()
    {
        QTest::addColumn<bool>("colour");
        QTest::addColumn<quint32>("running");
        QTest::addColumn<quint32>("paused");
        QTest::addColumn<quint32>("idle");
        QTest::newRow("colour") << true << Colors::Red << Colors::Yellow << Colors::Blue;
        QTest::newRow("monochrome") << false << Colors::Gray << Colors::Silver << Colors::White;
    }
    void labelColours()
    {
        QFETCH(bool, colour);
        QFETCH(quint32, running);
        QFETCH(quint32, paused);
        QFETCH(quint32, idle);
        EngineRig rig;
        rig.colour = colour;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        const auto all = [&](quint32 c) {
            return rig.face(p).step.color == c && rig.face(p).time.color == c &&
                   rig.face(p).agit.color == c;
        };
        QVERIFY(all(Colors::Blue)); // a new tab, whatever the scheme
        rig.process(p).start();
        QVERIFY(all(running));
        rig.process(p).pause();
        QVERIFY(all(paused));
        rig.process(p).pause();
        QVERIFY(all(running));
        rig.process(p).reset();
        QVERIFY(all(idle));
    }

    void schemeSwitchWhilePaused()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        const int q = rig.addProcess({"Dev|00:01:00|||"});
        rig.process(p).start();
        rig.process(p).pause();
        rig.process(q).reset();
        rig.colour = false;
        rig.engine->switchScheme();
        QCOMPARE(rig.face(p).step.color, Colors::Silver);
        QCOMPARE(rig.face(q).step.color, Colors::White);
        rig.process(p).pause();
        QVERIFY(rig.process(p).isRunning());
        QCOMPARE(rig.face(p).time.color, Colors::Gray);
        rig.colour = true;
        rig.engine->switchScheme();
        QCOMPARE(rig.face(p).time.color, Colors::Red);
        QCOMPARE(rig.face(q).time.color, Colors::Blue);
    }

    void schemeSwitchLeavesTheGridUntilRepainted()
    {
        EngineRig rig;
        const int p = rig.addProcess({"A|00:00:10|||", "B|00:00:10|||"});
        rig.process(p).start();
        QCOMPARE(rig.grid(p).backColor(1, 1), Colors::Red);
        rig.colour = false;
        rig.engine->switchScheme();
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.grid(p).backColor(1, 1), Colors::Red);
        rig.tickAfter(p, 9.0);
        QCOMPARE(rig.process(p).currentRow(), 2);
        QCOMPARE(rig.grid(p).backColor(1, 1), Colors::Black);
        QCOMPARE(rig.grid(p).backColor(1, 2), Colors::Gray);
    }

    void paintStepGrid()
    {
        GridModel g(5, 5);
        // One change for the whole grid, whatever its size: the view redraws
        // the cells it shows, not every cell of a long process.
        QSignalSpy changes(&g, &GridModel::dataChanged);
        ProcessEngine::PaintStepGrid(g, 2, 3, true);
        QCOMPARE(changes.count(), 1);
        for (int r = 1; r < 5; ++r) {
            for (int c = 1; c < 5; ++c) {
                const bool done = r < 3 || (r == 3 && c < 2);
                const bool current = r == 3 && c == 2;
                QCOMPARE(g.backColor(c, r), done      ? Colors::Blue
                                            : current ? Colors::Red
                                                      : Colors::WindowColor);
                QCOMPARE(g.textColor(c, r), done ? Colors::White : Colors::Black);
            }
        }
        QCOMPARE(g.backColor(0, 2), GridModel::NoColor);
        QCOMPARE(g.backColor(2, 0), GridModel::NoColor);
    }

    void countDownSounds_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QStringList>("sounds");
        QTest::newRow("beeps") << 1 << QStringList{"beep", "beep", "beep", "beep", "exclamation"};
        QTest::newRow("waves") << 2
                               << QStringList{"wave:3.wav", "wave:2.wav", "wave:1.wav",
                                              "wave:0.wav"};
        QTest::newRow("silent") << 3 << QStringList{};
    }
    void countDownSounds()
    {
        QFETCH(int, mode);
        QFETCH(QStringList, sounds);
        EngineRig rig;
        rig.soundMode = mode;
        rig.soundSeconds = 3;
        rig.activeTab = 0;
        const int p = rig.addProcess({"Dev|00:00:06|||"});
        rig.process(p).start();
        rig.clock.advanceSeconds(kLate);
        rig.runUntilStopped(p);
        QCOMPARE(rig.sound.events, sounds);
    }

    void lateTickAsksForMinusOne()
    {
        EngineRig rig;
        rig.soundMode = 2;
        const int p = rig.addProcess({"Dev|00:00:03|||", "Fix|00:00:09|||"});
        rig.process(p).start();
        rig.tickAfter(p, 2.7);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.sound.events, (QStringList{"wave:0.wav", "wave:-1.wav"}));
        QCOMPARE(rig.process(p).currentRow(), 2);
    }

    void everyRunningProcessSounds()
    {
        EngineRig rig;
        rig.soundMode = 1;
        rig.soundSeconds = 1;
        const int p = rig.addProcess({"Dev|00:00:02|||", "Fix|00:01:00|||"});
        const int q = rig.addProcess({"Dev|00:00:02|||", "Fix|00:01:00|||"});
        rig.process(p).start();
        rig.process(q).start();
        rig.clock.advanceSeconds(1.0 + kLate);
        rig.process(p).tick();
        rig.process(q).tick();
        QCOMPARE(rig.sound.events, (QStringList{"beep", "beep"}));
    }

    void pauseSoundOnlyOnTheActiveTab_data()
    {
        QTest::addColumn<int>("active");
        QTest::addColumn<QStringList>("sounds");
        QTest::newRow("active tab") << 0 << QStringList{"wave:pause.wav"};
        QTest::newRow("other tab") << 1 << QStringList{};
    }
    void pauseSoundOnlyOnTheActiveTab()
    {
        QFETCH(int, active);
        QFETCH(QStringList, sounds);
        EngineRig rig;
        rig.soundMode = 2;
        rig.soundSeconds = -1;
        rig.activeTab = active;
        const int p = rig.addProcess({"Fix|00:00:01||X|", "Wash|00:01:00|||"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(isStopped(rig.process(p)));
        QCOMPARE(rig.sound.events, sounds);
        rig.sound.events.clear();
        rig.process(p).pause(); // resuming is silent
        QCOMPARE(rig.sound.events, QStringList{});
    }

    // What a record of the run is told: cells with their times as planned,
    // given and counted, pauses, and how the run ended.
    void eventsOfARun()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:03|||", "Fix|00:00:02|||"});
        Process &proc = rig.process(p);
        QStringList told;
        proc.addObserver([&](const Process &, const ProcessEvent &e) {
            static const char *const kinds[] = {"started", "ended", "paused", "resumed",
                                                "run ended"};
            static const char *const hows[] = {"",         "ran out",   "stepped",
                                               "chosen",   "restarted", "reset",
                                               "finished", "reload",    "closed"};
            told << QString("%1 %2 r%3 %4/%5")
                        .arg(kinds[int(e.kind)], hows[int(e.how)])
                        .arg(e.row)
                        .arg(e.givenMs)
                        .arg(e.actualMs);
        });
        proc.start();
        rig.tickWhenDue(p);
        rig.clock.advanceMs(500);
        proc.pause();
        rig.clock.advanceMs(60000);
        proc.pause();
        while (proc.currentRow() == 1)
            rig.tickWhenDue(p);
        rig.clock.advanceMs(700);
        proc.reset();
        proc.start();
        rig.runUntilStopped(p);
        proc.start();
        rig.tickWhenDue(p);
        proc.pause();
        proc.start();
        rig.engine->abandonAll(ProcessEvent::How::Reload);
        QCOMPARE(told,
                 (QStringList{"started  r1 3000/0", "paused  r1 0/0", "resumed  r1 0/0",
                              "ended ran out r1 3000/3002", "started  r2 2000/0",
                              "ended reset r2 2000/700", "run ended reset r2 0/0",
                              "started  r1 3000/0", "ended ran out r1 3000/3000",
                              "started  r2 2000/0", "ended ran out r2 2000/2000",
                              "run ended finished r2 0/0", "started  r1 3000/0", "paused  r1 0/0",
                              "ended restarted r1 3000/1002", "started  r1 3000/0",
                              "ended reload r1 3000/0", "run ended reload r1 0/0"}));
    }

    void randomPressesOverDays()
    {
        // One simulated day by default; NOCTAREL_SOAK_DAYS=30 runs the month.
        bool ok = false;
        const int days = qEnvironmentVariableIntValue("NOCTAREL_SOAK_DAYS", &ok);
        const quint32 seedEnv = qEnvironmentVariable("NOCTAREL_SOAK_SEED").toUInt(&ok);
        Soak soak(ok ? seedEnv : 20261209u);
        soak.run(days > 0 ? days : 1);
        if (QTest::currentTestFailed())
            return;
        soak.leaveAlone();
    }
};

QTEST_GUILESS_MAIN(TestStepTimer)
#include "tst_step_timer.moc"
