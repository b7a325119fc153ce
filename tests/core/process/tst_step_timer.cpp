#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "engine_rig.h"
#include "test_support.h"

#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTest>

// Ticks land half a millisecond after the whole second, as a precise timer's do.
constexpr double kLate = 0.0005;

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

    void nextAroundAWaitMark()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Fix|00:00:30|00:00:10|X|", "Wash|00:01:00|||"});
        rig.engine->btnNext(p);
        QCOMPARE(rig.process(p).CurrentCol, 1);
        // From the main time the wait mark is two columns on: Next stops at
        // the second phase and stays paused.
        rig.engine->btnNext(p);
        QCOMPARE(rig.process(p).CurrentCol, 2);
        QVERIFY(rig.engine->isPaused(p));
        // From there Next enters the wait mark, whose pause resumes the
        // paused process: the next tick passes the mark.
        rig.engine->btnNext(p);
        QCOMPARE(rig.process(p).CurrentCol, 3);
        QVERIFY(rig.face(p).stepTimerEnabled);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).CurrentRow, 2);
        QCOMPARE(rig.face(p).time.text, QStringLiteral("00:01:00"));
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

    void randomPressesOverADay()
    {
        TempWorkDir dir;
        dir.write("agit.txt", crlf({"A\tInversions\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00",
                                    "Z\tBroken\t*x_00:00:01_00:00:05"}));
        EngineRig rig;
        rig.agitationFile = dir.file("agit.txt");
        rig.soundMode = 1;
        rig.soundSeconds = 2;
        QRandomGenerator rng(20261209);
        const QStringList codes{"A", "", "Q", "Z"};
        for (int n = 0; n < 12; ++n) {
            QStringList steps;
            const int count = 1 + rng.bounded(8);
            for (int s = 0; s < count; ++s) {
                const auto time = [&] {
                    const int v = rng.bounded(5);
                    return v == 0 ? QString()
                                  : QString("00:00:%1").arg(rng.bounded(1, 40), 2, 10, QChar('0'));
                };
                steps << QString("S%1|%2|%3|%4|%5")
                             .arg(s)
                             .arg(time(), rng.bounded(3) == 0 ? time() : QString(),
                                  rng.bounded(4) == 0 ? "X" : "", codes[rng.bounded(4)]);
            }
            rig.addProcess(steps, n < 4);
        }
        const int day = 86400;
        for (int second = 0; second < day; ++second) {
            rig.clock.advanceSeconds(1.0);
            for (int i = 0; i < rig.engine->size(); ++i) {
                const int action = rng.bounded(2000);
                try {
                    switch (action) {
                    case 0:
                        rig.engine->btnStart(i);
                        break;
                    case 1:
                        rig.engine->btnPause(i);
                        break;
                    case 2:
                        rig.engine->btnNext(i);
                        break;
                    case 3:
                        rig.engine->btnPrevious(i);
                        break;
                    case 4:
                        rig.engine->btnReset(i);
                        break;
                    case 5:
                        rig.engine->sgrdDblClick(i);
                        break;
                    default:
                        break;
                    }
                    if (rig.face(i).stepTimerEnabled)
                        rig.engine->tmrTimer(i);
                    if (rig.face(i).agitTimerEnabled)
                        rig.engine->tmrAgitTimer(i);
                } catch (const RuntimeError &e) {
                    // Only the broken agitation line may fail.
                    QCOMPARE(e.message(),
                             fileError(rig.agitationFile, "'x' is not a valid integer value"));
                }
                const TProcess &pr = rig.process(i);
                QVERIFY(pr.CurrentRow >= 0 && pr.CurrentRow < rig.grid(i).rows());
                QVERIFY(pr.CurrentCol >= 0 && pr.CurrentCol < rig.grid(i).cols());
                if (rig.face(i).stepTimerEnabled) {
                    // A running process never stays past its cell's end.
                    QVERIFY(rig.engine->RemainingSecs[i] >= -1);
                    QVERIFY(rig.engine->CellEndTime[i] * 86400.0 - rig.clock.nowDays() * 86400.0 <
                            rig.engine->CellSecs[i] + 1.0);
                }
            }
        }
        QCOMPARE(int(rig.engine->RemainingSecs.size()), rig.engine->size());
        QCOMPARE(int(rig.engine->CellSecs.size()), rig.engine->size());
        QCOMPARE(int(rig.engine->CellEndTime.size()), rig.engine->size());
        QCOMPARE(int(rig.engine->AgitSeqs.size()), rig.engine->size());
        // Left alone, every running process walks to its end and resets.
        for (int i = 0; i < rig.engine->size(); ++i) {
            const auto resumeIfPaused = [&] {
                try {
                    if (rig.engine->isPaused(i))
                        rig.engine->btnPause(i);
                } catch (const RuntimeError &) {
                }
            };
            resumeIfPaused();
            for (int guard = 0; guard < 200 && rig.face(i).stepTimerEnabled; ++guard) {
                try {
                    rig.runUntilStopped(i, 2000);
                } catch (const RuntimeError &) {
                }
                resumeIfPaused();
            }
            QVERIFY(!rig.face(i).stepTimerEnabled);
        }
    }
};

QTEST_GUILESS_MAIN(TestStepTimer)
#include "tst_step_timer.moc"
