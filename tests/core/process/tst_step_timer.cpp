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

// Fifty processes on the fake clock for days: random presses, ticks when the
// engine plans them (late now and then, all at once after a suspend), the
// tab's agitation timer, reloads, scheme and sound changes, and an agitation
// file that changes or vanishes. Every event is checked; a failure names the
// seed.
class Soak
{
public:
    explicit Soak(quint32 seed) : m_rng(seed), m_seed(seed)
    {
        m_rig.soundSeconds = 2;
        m_nowMs = std::llround(m_rig.clock.nowDays() * 86400000.0);
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
                event(i, "tick", [&] { m_rig.engine->tmrTimer(i); });
            } else if (timer >= 0) {
                m_agitDue[i] += m_rig.face(i).agitInterval;
                event(i, "agitation tick", [&] { m_rig.engine->tmrAgitTimer(i); });
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
        ProcessEngine &e = *m_rig.engine;
        for (int i = 0; i < size(); ++i) {
            for (int n = 0; n < 10'000'000 && !QTest::currentTestFailed(); ++n) {
                if (e.isPaused(i))
                    event(i, "resume", [&] { e.btnPause(i); });
                if (!e.isRunning(i))
                    break;
                moveTo(std::max(stepDue(i), m_nowMs));
                event(i, "tick", [&] { e.tmrTimer(i); });
            }
            SOAK_VERIFY(!e.isRunning(i), context(i, "left alone", "still running"));
        }
    }

private:
    struct Snapshot
    {
        bool running, paused;
        int col, row, remaining;
        double cellEnd, due;
    };

    int size() { return m_rig.engine->size(); }
    qint64 gap(int meanMs) { return 1 + qint64(m_rng.bounded(2 * meanMs)); }
    // The tab sets its timer to the nearest millisecond.
    qint64 stepDue(int i) { return std::llround(m_rig.face(i).stepTimerDue * 86400000.0); }
    qint64 endMs(int i) { return std::llround(m_rig.engine->CellEndTime[i] * 86400000.0); }
    qint64 timerDue(int k)
    {
        return k % 2 ? m_agitDue[k / 2] : m_rig.face(k / 2).stepTimerEnabled ? stepDue(k / 2) : -1;
    }
    void moveTo(qint64 ms)
    {
        m_rig.clock.advanceMs(ms - m_nowMs);
        m_nowMs = ms;
    }
    Snapshot snapshot(int i)
    {
        return {m_rig.face(i).stepTimerEnabled, m_rig.engine->isPaused(i),
                m_rig.process(i).CurrentCol,    m_rig.process(i).CurrentRow,
                m_rig.engine->RemainingSecs[i], m_rig.engine->CellEndTime[i],
                m_rig.face(i).stepTimerDue};
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
        try {
            f();
        } catch (const RuntimeError &e) {
            // Only a missing agitation file or its broken line may fail.
            SOAK_VERIFY(e.message() == fileError(m_rig.agitationFile, "File not found") ||
                            e.message() ==
                                fileError(m_rig.agitationFile, "'x' is not a valid integer value"),
                        context(i, what, e.message()));
        }
        followAgitationTimer(i);
        check(i, what, before);
    }

    // What the tab does with its agitation timer after each event.
    void followAgitationTimer(int i)
    {
        const ProcessFace &f = m_rig.face(i);
        if (!f.agitTimerEnabled)
            m_agitDue[i] = -1;
        else if (m_agitDue[i] < 0 || m_agitInterval[i] != f.agitInterval)
            m_agitDue[i] = m_nowMs + f.agitInterval;
        m_agitInterval[i] = f.agitInterval;
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
        ProcessEngine &e = *m_rig.engine;
        const int n = size();
        SOAK_VERIFY(int(e.RemainingSecs.size()) == n && int(e.CellSecs.size()) == n &&
                        int(e.CellEndTime.size()) == n && int(e.AgitSeqs.size()) == n,
                    context(i, what, "state arrays"));
        const ProcessFace &f = m_rig.face(i);
        const TProcess &p = m_rig.process(i);
        SOAK_VERIFY(p.CurrentRow >= 0 && p.CurrentRow < m_rig.grid(i).rows() && p.CurrentCol >= 0 &&
                        p.CurrentCol < m_rig.grid(i).cols(),
                    context(i, what, "current cell"));
        SOAK_VERIFY(isTime(f.time.text), context(i, what, f.time.text));
        SOAK_VERIFY(isCue(f.agit.text), context(i, what, f.agit.text));
        // However the file repeats, a plan holds at most one entry per
        // instruction of the file.
        static const int instructions = int(agitationLines().join('/').count('/')) + 1;
        SOAK_VERIFY(int(e.AgitSeqs[i].size()) <= instructions,
                    context(i, what, QString("plan of %1").arg(e.AgitSeqs[i].size())));
        const QLatin1String event(what);
        if (f.stepTimerEnabled) {
            // The next tick planned is ahead and no later than just after the
            // end (a second on for a cell of no time).
            const qint64 latest = endMs(i) > m_nowMs ? endMs(i) + 2 : m_nowMs + 1002;
            const bool planned = f.stepTimerDue != before.due || event == "tick";
            SOAK_VERIFY((!planned || stepDue(i) > m_nowMs) && stepDue(i) <= latest,
                        context(i, what, "next tick"));
        } else {
            SOAK_VERIFY(!f.agitTimerEnabled, context(i, what, "agitation timer while stopped"));
        }
        // Only Start and Pause start the clock; nothing moves a paused
        // process but a press.
        if (!before.running && event != "Start" && event != "Pause" && event != "resume")
            SOAK_VERIFY(!f.stepTimerEnabled, context(i, what, "started"));
        if (event == "tick") {
            // A tick walks forward only, never leaves a cell running past its
            // end, and stops only at a wait mark, paused, or after the last step.
            const bool moved = p.CurrentRow != before.row || p.CurrentCol != before.col;
            if (f.stepTimerEnabled && !moved)
                SOAK_VERIFY(e.CellEndTime[i] == before.cellEnd && endMs(i) > m_nowMs,
                            context(i, what, "past the end"));
            if (f.stepTimerEnabled && moved)
                SOAK_VERIFY(p.CurrentRow > before.row ||
                                (p.CurrentRow == before.row && p.CurrentCol > before.col),
                            context(i, what, "walked back"));
            if (!f.stepTimerEnabled)
                SOAK_VERIFY(e.isPaused(i) || f.step.color == Colors::Blue ||
                                f.step.color == Colors::White,
                            context(i, what, "stopped"));
        } else if (before.paused && event.startsWith(QLatin1String("global"))) {
            SOAK_VERIFY(e.isPaused(i) && p.CurrentCol == before.col && p.CurrentRow == before.row &&
                            e.RemainingSecs[i] == before.remaining,
                        context(i, what, "a paused process moved"));
        }
    }

    // A quarter of the presses go to a running process, when there is one.
    int pressTarget()
    {
        std::vector<int> running;
        for (int i = 0; i < size(); ++i)
            if (m_rig.face(i).stepTimerEnabled)
                running.push_back(i);
        return !running.empty() && m_rng.bounded(4) == 0
                   ? running[m_rng.bounded(quint32(running.size()))]
                   : int(m_rng.bounded(size()));
    }

    void press(int i)
    {
        ProcessEngine &e = *m_rig.engine;
        // A paused process is resumed more often than not, as at a wait mark.
        const int action = e.isPaused(i) && m_rng.bounded(2) == 0 ? 30 : int(m_rng.bounded(100));
        if (action < 20) {
            event(i, "Start", [&] { e.btnStart(i); });
        } else if (action < 42) {
            event(i, "Pause", [&] { e.btnPause(i); });
        } else if (action < 62) {
            event(i, "Next", [&] { e.btnNext(i); });
        } else if (action < 72) {
            event(i, "Previous", [&] { e.btnPrevious(i); });
        } else if (action < 77) {
            event(i, "Reset", [&] { e.btnReset(i); });
        } else {
            // A double-click where the user can click: while the process
            // runs, only a cell after the current one can be selected.
            GridModel &g = m_rig.grid(i);
            const int from = std::max(1, m_rig.process(i).CurrentRow);
            g.setCurrent(1 + int(m_rng.bounded(g.cols() - 1)),
                         from + int(m_rng.bounded(g.rows() - from)));
            event(i, "double-click", [&] { e.sgrdDblClick(i); });
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
            m_rig.engine->switchScheme(m_rig.colour);
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
        m_rig.engine->clear();
        for (int n = 0; n < 50; ++n)
            m_rig.addProcess(randomSteps(n), n < 20);
        m_agitDue.assign(size_t(size()), -1);
        m_agitInterval.assign(size_t(size()), 0);
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
    QByteArray m_context;
};

} // namespace

class TestStepTimer : public QObject
{
    Q_OBJECT
private slots:
    void fiveSecondCellEndsOnFirstTickAtItsEnd()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:05|||", "Fix|00:00:03|||"});
        rig.engine->btnStart(p);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:05"));
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Dev"));
        QVERIFY(rig.face(p).stepTimerEnabled);
        rig.clock.advanceSeconds(kLate);
        for (int left = 4; left >= 1; --left) {
            rig.tickAfter(p, 1.0);
            QCOMPARE(rig.face(p).time.text, QString("00:00:0%1").arg(left));
            QCOMPARE(rig.process(p).CurrentRow, 1);
        }
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).CurrentRow, 2);
        QCOMPARE(rig.process(p).CurrentCol, 1);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:03"));
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Fix"));
        QVERIFY(rig.face(p).stepTimerEnabled);
    }

    void lateTickSkipsSecondsButNotTheEnd()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:10|||", "Fix|00:00:03|||"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 6.4);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:04"));
        QCOMPARE(rig.face(p).gauge, 60);
        rig.tickAfter(p, 3.5);
        QCOMPARE(rig.process(p).CurrentRow, 1);
        rig.tickAfter(p, 0.1 + kLate);
        QCOMPARE(rig.process(p).CurrentRow, 2);
        // The next cell counts from the moment it was entered.
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:02"));
    }

    void pauseKeepsTheRemainingSeconds()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 18.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:42"));
        rig.engine->btnPause(p);
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QVERIFY(rig.engine->isPaused(p));
        rig.clock.advanceSeconds(600);
        rig.engine->btnPause(p);
        QVERIFY(rig.face(p).stepTimerEnabled);
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:41"));
    }

    void startOnAPausedCellRestartsIt()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 18.0 + kLate);
        rig.engine->btnPause(p);
        rig.engine->btnStart(p);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:01:00"));
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:59"));
    }

    void pauseOnAnIdleProcessDoesNothing()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.engine->btnPause(p);
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
        rig.engine->btnStart(p);
        rig.engine->btnReset(p);
        rig.engine->btnPause(p);
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
    }

    void nextAndPreviousFromANeverStartedTab()
    {
        EngineRig rig;
        rig.soundMode = 1;
        const int p = rig.addProcess({"Soak||||", "Dev|00:02:00|||", "Fix|00:05:00|||"});
        rig.engine->btnNext(p);
        QCOMPARE(rig.process(p).CurrentRow, 2);
        QCOMPARE(rig.process(p).CurrentCol, 1);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:02:00"));
        QVERIFY(rig.engine->isPaused(p));
        QCOMPARE(rig.grid(p).currentCol(), 4);
        QCOMPARE(rig.grid(p).currentRow(), 2);
        // Pause resumes from there, with the full time.
        rig.engine->btnPause(p);
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:01:59"));
        // Back before the first timed cell: end beep and reset.
        rig.engine->btnPrevious(p);
        QCOMPARE(rig.sound.events, QStringList{"exclamation"});
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Soak"));
        QCOMPARE(rig.process(p).CurrentRow, 1);
        QCOMPARE(rig.process(p).CurrentCol, 1);
    }

    void previousStepsBackOverEmptyCells()
    {
        EngineRig rig;
        const int p = rig.addProcess({"A|00:00:10|00:00:05||", "B||||", "C|00:00:20|||"});
        rig.engine->btnNext(p); // A main
        rig.engine->btnNext(p); // A second phase
        rig.engine->btnNext(p); // C main
        QCOMPARE(rig.process(p).CurrentRow, 3);
        rig.engine->btnPrevious(p);
        QCOMPARE(rig.process(p).CurrentRow, 1);
        QCOMPARE(rig.process(p).CurrentCol, 2);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Time 2"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:05"));
        QVERIFY(rig.engine->isPaused(p));
    }

    void emptyCellsAreSkipped()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Soak||||", "Dev|00:00:03|||"});
        rig.engine->btnStart(p);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.process(p).CurrentRow, 2);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:03"));
    }

    void processWithoutTimedCellsEndsOnFirstTick()
    {
        EngineRig rig;
        rig.soundMode = 1;
        const int p = rig.addProcess({"A||||", "B|00:00:00|||"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0);
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.sound.events.last(), QStringLiteral("exclamation"));
        QCOMPARE(rig.face(p).step.color, Colors::Blue);
    }

    void waitMarkPausesAndPauseResumes()
    {
        EngineRig rig;
        rig.soundMode = 2;
        rig.activeTab = 0;
        const int p = rig.addProcess({"Fix|00:00:02||X|", "Wash|00:00:04|||"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        rig.tickAfter(p, 1.0);
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QVERIFY(rig.engine->isPaused(p));
        QCOMPARE(rig.process(p).CurrentCol, 3);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Wait"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
        QVERIFY(rig.sound.events.contains("wave:pause.wav"));
        // It waits for as long as the user takes.
        rig.clock.advanceSeconds(300);
        rig.engine->btnPause(p);
        QVERIFY(rig.face(p).stepTimerEnabled);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).CurrentRow, 2);
        QCOMPARE(rig.process(p).CurrentCol, 1);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:04"));
        QVERIFY(rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.face(p).step.color, Colors::Red);
    }

    void twoWaitMarksInARow()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Fix|00:00:01||X|", "Look|||X|", "Wash|00:00:04|||"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.process(p).CurrentRow, 1);
        QCOMPARE(rig.process(p).CurrentCol, 3);
        rig.engine->btnPause(p);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).CurrentRow, 2);
        QCOMPARE(rig.process(p).CurrentCol, 3);
        QVERIFY(rig.engine->isPaused(p));
        rig.engine->btnPause(p);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).CurrentRow, 3);
        QVERIFY(rig.face(p).stepTimerEnabled);
    }

    void lastStepEndingWithAWaitMark()
    {
        EngineRig rig;
        rig.soundMode = 1;
        const int p = rig.addProcess({"Dev|00:00:01|||", "Fix|00:00:01||X|"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).CurrentCol, 3);
        rig.engine->btnPause(p);
        rig.sound.events.clear();
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.sound.events, QStringList{"exclamation"});
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Dev"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:00:00"));
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
            rig.engine->btnNext(p);
        QCOMPARE(rig.process(p).CurrentCol, 3);
        QCOMPARE(rig.process(p).CurrentRow, row);
        QVERIFY(!rig.face(p).stepTimerEnabled);
        QVERIFY(rig.engine->isPaused(p));
        QCOMPARE(rig.sound.events, QStringList{});
        // Only Pause (or Start) carries on past the mark.
        rig.engine->btnPause(p);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Wash"));
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:01:00"));
        QVERIFY(rig.face(p).stepTimerEnabled);
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
        rig.engine->btnStart(p);
        const auto msBetween = [](double later, double earlier) {
            return (later - earlier) * 86400000.0;
        };
        int n = 0;
        QString shown = rig.face(p).time.text;
        while (rig.face(p).stepTimerEnabled && n < 20) {
            const double end = rig.engine->CellEndTime[p];
            const double due = rig.face(p).stepTimerDue;
            // Due ahead, never past the end, a whole number of seconds before
            // it plus two milliseconds.
            QVERIFY(due > rig.clock.nowDays());
            const double beforeEnd = msBetween(end, due) + 2.0;
            QVERIFY(beforeEnd > -0.01);
            QVERIFY(qAbs(beforeEnd - 1000.0 * std::round(beforeEnd / 1000.0)) < 0.01);
            const int row = rig.process(p).CurrentRow;
            const int late = n < lateMs.size() ? lateMs[n] : 0;
            rig.tickWhenDue(p, late);
            if (++n == pauseAfter) {
                rig.clock.advanceMs(337);
                rig.engine->btnPause(p);
                rig.clock.advanceMs(10339);
                rig.engine->btnPause(p);
            }
            if (rig.process(p).CurrentRow != row || !rig.face(p).stepTimerEnabled) {
                // The cell ended on the tick just after its end.
                const double afterEnd = msBetween(rig.clock.nowDays(), end);
                QVERIFY2(afterEnd >= 0 && afterEnd < late + 2.01, qPrintable(QString::number(n)));
                if (rig.face(p).stepTimerEnabled)
                    QCOMPARE(std::round(msBetween(rig.engine->CellEndTime[p], rig.clock.nowDays())),
                             rig.engine->CellSecs[p] * 1000.0);
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
            rig.engine->btnNext(p);
        QCOMPARE(rig.process(p).CurrentRow, row);
        QCOMPARE(rig.grid(p).topRow(), top);
    }

    void gaugeShowsTheCellsProgress()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        rig.engine->btnStart(p);
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
        rig.engine->btnStart(p);
        QVERIFY(all(running));
        rig.engine->btnPause(p);
        QVERIFY(all(paused));
        rig.engine->btnPause(p);
        QVERIFY(all(running));
        rig.engine->btnReset(p);
        QVERIFY(all(idle));
    }

    void schemeSwitchWhilePaused()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||"});
        const int q = rig.addProcess({"Dev|00:01:00|||"});
        rig.engine->btnStart(p);
        rig.engine->btnPause(p);
        rig.engine->btnReset(q);
        rig.colour = false;
        rig.engine->switchScheme(false);
        QCOMPARE(rig.face(p).step.color, Colors::Silver);
        QCOMPARE(rig.face(q).step.color, Colors::White);
        rig.engine->btnPause(p);
        QVERIFY(rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.face(p).time.color, Colors::Gray);
        rig.colour = true;
        rig.engine->switchScheme(true);
        QCOMPARE(rig.face(p).time.color, Colors::Red);
        QCOMPARE(rig.face(q).time.color, Colors::Blue);
    }

    void schemeSwitchLeavesTheGridUntilRepainted()
    {
        EngineRig rig;
        const int p = rig.addProcess({"A|00:00:10|||", "B|00:00:10|||"});
        rig.engine->btnStart(p);
        QCOMPARE(rig.grid(p).backColor(1, 1), Colors::Red);
        rig.colour = false;
        rig.engine->switchScheme(false);
        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.grid(p).backColor(1, 1), Colors::Red);
        rig.tickAfter(p, 9.0);
        QCOMPARE(rig.process(p).CurrentRow, 2);
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
        rig.engine->btnStart(p);
        rig.clock.advanceSeconds(kLate);
        rig.runUntilStopped(p);
        QCOMPARE(rig.sound.events, sounds);
    }

    void lateTickAsksForMinusOne()
    {
        EngineRig rig;
        rig.soundMode = 2;
        const int p = rig.addProcess({"Dev|00:00:03|||", "Fix|00:00:09|||"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 2.7);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.sound.events, (QStringList{"wave:0.wav", "wave:-1.wav"}));
        QCOMPARE(rig.process(p).CurrentRow, 2);
    }

    void everyRunningProcessSounds()
    {
        EngineRig rig;
        rig.soundMode = 1;
        rig.soundSeconds = 1;
        const int p = rig.addProcess({"Dev|00:00:02|||", "Fix|00:01:00|||"});
        const int q = rig.addProcess({"Dev|00:00:02|||", "Fix|00:01:00|||"});
        rig.engine->btnStart(p);
        rig.engine->btnStart(q);
        rig.clock.advanceSeconds(1.0 + kLate);
        rig.engine->tmrTimer(p);
        rig.engine->tmrTimer(q);
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
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.engine->isPaused(p));
        QCOMPARE(rig.sound.events, sounds);
        rig.sound.events.clear();
        rig.engine->btnPause(p); // resuming is silent
        QCOMPARE(rig.sound.events, QStringList{});
    }

    void agitationFileErrorAbortsStart()
    {
        EngineRig rig;
        TempWorkDir dir;
        rig.agitationFile = dir.file("missing.txt");
        const int p = rig.addProcess({"Dev|00:01:00|||A"});
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rig.engine->btnStart(p));
        QCOMPARE(rig.face(p).step.color, Colors::Red);
        QVERIFY(!rig.face(p).stepTimerEnabled);
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
