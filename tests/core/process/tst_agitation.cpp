#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "core/process/agitation.h"
#include "core/process/time_text.h"
#include "engine_rig.h"
#include "test_support.h"

#include <QFile>
#include <QTest>

namespace {

constexpr qint64 S = 3974421600000; // a start instant, in milliseconds
constexpr double kLate = 0.0005;

constexpr qint64 at(double seconds)
{
    return S + qint64(seconds * 1000);
}

// Every agitation of a plan in the order they become first, as the cues walk
// through them.
std::vector<TAgitation> inTurn(AgitationPlan plan)
{
    std::vector<TAgitation> out;
    for (; !plan.entries.empty(); plan.dropFirst())
        out.push_back(plan.entries.front());
    return out;
}

} // namespace

class TestAgitation : public QObject
{
    Q_OBJECT
private slots:
    void sequenceFromInstructions()
    {
        const std::vector<TAgitation> seq = inTurn(agitationPlanFromLines(
            {"A\tInversions\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00"}, "A", S, at(150)));
        QCOMPARE(int(seq.size()), 3);
        QCOMPARE(seq[0].Count, 4);
        QCOMPARE(seq[0].durationMs, 10000);
        QCOMPARE(seq[0].startMs, S);
        QCOMPARE(seq[1].Count, 2);
        QCOMPARE(seq[1].startMs, at(60));
        QCOMPARE(seq[2].startMs, at(120));
        for (const TAgitation &a : seq) {
            QCOMPARE(a.Code, QStringLiteral("A"));
            QCOMPARE(a.Text, QStringLiteral("Inversions"));
            QCOMPARE(a.Counter, 0);
        }
    }

    void sequenceShapes_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("code");
        // Seconds after the start; -1 for the all-zero entry.
        QTest::addColumn<QList<double>>("starts");
        QTest::addColumn<QList<int>>("counts");
        QTest::newRow("repeated only at whole minutes")
            << QStringList{"R\tx\t*1_00:00:05_00:01:00"} << "R" << QList<double>{60, 120}
            << QList<int>{1, 1};
        QTest::newRow("beginning at the end is left out")
            << QStringList{"R\tx\t*1_00:00:05_00:00:50"} << "R" << QList<double>{50, 100}
            << QList<int>{1, 1};
        QTest::newRow("several lines, file order")
            << QStringList{"B\tfirst\t3_00:00:05_00:00:20", "C\tother\t9_00:00:01_00:00:00",
                           "B\tsecond\t5_00:00:05_00:00:10"}
            << "B" << QList<double>{20, 10} << QList<int>{3, 5};
        QTest::newRow("unknown code: one all-zero entry")
            << QStringList{"B\tx\t3_00:00:05_00:00:20"} << "Q" << QList<double>{-1}
            << QList<int>{0};
        QTest::newRow("code compared exactly") << QStringList{"a\tx\t3_00:00:05_00:00:20"} << "A"
                                               << QList<double>{-1} << QList<int>{0};
        QTest::newRow("zero period gives one agitation at the start")
            << QStringList{"P\tx\t*2_00:00:05_00:00:00"} << "P" << QList<double>{0}
            << QList<int>{2};
        QTest::newRow("negative period") << QStringList{"P\tx\t*2_00:00:05_-1:00:00"} << "P"
                                         << QList<double>{0} << QList<int>{2};
        QTest::newRow("unreadable period")
            << QStringList{"P\tx\t*2_00:00:05_soon"} << "P" << QList<double>{0} << QList<int>{2};
        QTest::newRow("negative count is none") << QStringList{"M\tx\t-4_00:00:05_00:00:10"} << "M"
                                                << QList<double>{10} << QList<int>{0};
        QTest::newRow("unreadable offset is the start")
            << QStringList{"O\tx\t2_00:00:05_later"} << "O" << QList<double>{0} << QList<int>{2};
        QTest::newRow("no second tab: all of it is instructions")
            << QStringList{"N\t4_00:00:10_00:00:30"} << "N" << QList<double>{30} << QList<int>{4};
        // An empty code means no cues, and a line without a TAB (a note, or
        // TABs an editor made spaces) has no code at all.
        QTest::newRow("empty code: no cues")
            << QStringList{"", "\tlead\t2_00:00:01_00:00:40", "note 4_00:00:01_00:00:01"} << ""
            << QList<double>{-1} << QList<int>{0};
        QTest::newRow("a line without a TAB matches no code")
            << QStringList{"A 2_00:00:01_00:00:40", "A\tx\t1_00:00:01_00:00:01"} << "A"
            << QList<double>{1} << QList<int>{1};
        // None announced that would begin when the main time is over.
        QTest::newRow("beginning after the end is left out")
            << QStringList{"L\tlate\t1_00:00:05_00:01:00/2_00:00:05_00:02:30/3_00:00:05_00:00:10"}
            << "L" << QList<double>{60, 10} << QList<int>{1, 3};
        QTest::newRow("all after the end: the description only")
            << QStringList{"L\tlate\t1_00:00:05_00:03:00"} << "L" << QList<double>{-1}
            << QList<int>{0};
    }
    void sequenceShapes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, code);
        QFETCH(QList<double>, starts);
        QFETCH(QList<int>, counts);
        const std::vector<TAgitation> seq = inTurn(agitationPlanFromLines(lines, code, S, at(150)));
        QCOMPARE(int(seq.size()), int(starts.size()));
        for (int k = 0; k < starts.size(); ++k) {
            QCOMPARE(seq[k].startMs, starts[k] < 0 ? 0 : at(starts[k]));
            QCOMPARE(seq[k].Count, counts[k]);
        }
    }

    void lastMatchingLineNamesTheEmptyEntry()
    {
        const std::vector<TAgitation> seq =
            agitationPlanFromLines({"E\tNo agitation\t"}, "E", S, at(60)).entries;
        QCOMPARE(int(seq.size()), 1);
        QCOMPARE(seq[0].Code, QStringLiteral("E"));
        QCOMPARE(seq[0].Text, QStringLiteral("No agitation"));
        QCOMPARE(seq[0].Count, 0);
    }

    void countMustBeAWholeNumber_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("message");
        QTest::newRow("letters") << "A\tx\tfour_00:00:10_00:00:00"
                                 << "\"agit.txt\": line 2: 'four' is not a valid integer value";
        QTest::newRow("empty count") << "A\tx\t_00:00:10_00:00:00"
                                     << "\"agit.txt\": line 2: '' is not a valid integer value";
        QTest::newRow("repeated") << "A\tx\t*y_00:00:10_00:01:00"
                                  << "\"agit.txt\": line 2: 'y' is not a valid integer value";
        QTest::newRow("description only")
            << "A\tjust words"
            << "\"agit.txt\": line 2: '' is not a valid integer value";
    }
    void countMustBeAWholeNumber()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        try {
            agitationPlanFromLines({"B\tx\t1_00:00:01_00:00:01", line}, "A", S, at(60), "agit.txt");
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), message);
        }
    }

    void repeatsComeAsTheyAreDue()
    {
        // One agitation a second over the longest main time there is: the
        // plan holds one entry whatever the number of beginnings.
        const int mainTime = TimeTextToSeconds(u"99:99:99");
        AgitationPlan plan = agitationPlanFromLines(
            {"F\tx\t*1_00:00:01_00:00:01/2_00:00:01_00:00:30"}, "F", S, at(mainTime));
        QCOMPARE(int(plan.entries.size()), 2);
        qint64 beginnings = 0;
        for (; plan.entries.front().Count == 1; plan.dropFirst()) {
            ++beginnings;
            QVERIFY(plan.entries.size() <= 2);
            if (beginnings % 100000 == 1 || beginnings == mainTime - 1)
                QCOMPARE(plan.entries.front().startMs, at(double(beginnings)));
        }
        QCOMPARE(beginnings, qint64(mainTime - 1));
        QCOMPARE(plan.entries.front().Count, 2);
    }

    void dropFirst()
    {
        AgitationPlan plan;
        plan.entries.resize(3);
        plan.entries[0].Count = 1;
        plan.entries[1].Count = 2;
        plan.entries[2].Count = 3;
        plan.dropFirst();
        QCOMPARE(int(plan.entries.size()), 2);
        QCOMPARE(plan.entries[0].Count, 2);
        QCOMPARE(plan.entries[1].Count, 3);
    }

    // What a look-ahead sees of a plan, a pause included, leaves it as it was.
    void beginningsToCome()
    {
        AgitationPlan plan = agitationPlanFromLines(
            {"A\tx\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00/1_00:00:05_00:00:30"}, "A", S,
            at(300));
        QCOMPARE(plan.beginningsBefore(at(200)),
                 (std::vector<qint64>{S, at(60), at(120), at(180), at(30)}));
        plan.entries.front().Counter = 1; // the first has begun
        plan.pausedAtMs = at(5);
        plan.shiftTo(at(25));
        QCOMPARE(plan.beginningsBefore(at(150)), (std::vector<qint64>{at(80), at(140), at(50)}));
        QCOMPARE(plan.entries.size(), size_t(3));
    }

    void labelThroughAHundredAndFiftySeconds()
    {
        EngineRig rig;
        rig.clock.setNowMs(S);
        const int p = rig.addProcess({"Dev|00:02:30|||A", "Stop|00:00:30|||"});
        Process &proc = rig.process(p);
        proc.start();
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:00"));
        QCOMPARE(rig.face(p).agit.color, Colors::Blue);
        QVERIFY(!rig.face(p).agitationStepMs);

        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (1/4) 00:00:09  ***"));
        QCOMPARE(rig.face(p).agit.color, Colors::Red);
        QCOMPARE(rig.face(p).agitationStepMs, 2500);
        proc.agitationTick();
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (2/4) 00:00:09  ***"));
        proc.agitationTick();
        proc.agitationTick();
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (4/4) 00:00:09  ***"));
        proc.agitationTick();
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (4/4) 00:00:09  ***"));

        for (int s = 2; s <= 9; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (5/4) 00:00:01  ***"));
        rig.tickAfter(p, 1.0); // S + 10: no time left, the entry goes
        QVERIFY(!rig.face(p).agitationStepMs);
        QCOMPARE(proc.agitationPlan()->entries.front().startMs, at(60));
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:49"));
        QCOMPARE(rig.face(p).agit.color, Colors::Blue);

        for (int s = 12; s <= 61; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (1/2) 00:00:04  ***"));
        QCOMPARE(rig.face(p).agitationStepMs, 2500);
        for (int s = 62; s <= 126; ++s)
            rig.tickAfter(p, 1.0);
        QVERIFY(proc.agitationPlan()->entries.empty());
        QCOMPARE(rig.face(p).agit.text, QString());
        QCOMPARE(rig.face(p).agit.color, Colors::Red);
        QCOMPARE(proc.currentRow(), 1);
    }

    void timerIntervals_data()
    {
        QTest::addColumn<QString>("instruction");
        QTest::addColumn<int>("interval");
        QTest::addColumn<bool>("shown");
        QTest::newRow("4 in 10 s") << "4_00:00:10_00:00:00" << 2500 << true;
        QTest::newRow("2 in 5 s") << "2_00:00:05_00:00:00" << 2500 << true;
        QTest::newRow("3 in 10 s") << "3_00:00:10_00:00:00" << 3333 << true;
        // Over before a tick can show it: begun and removed in the same call.
        QTest::newRow("1 in 1 s") << "1_00:00:01_00:00:00" << 0 << false;
        // The counter is read from across the room, not a blur.
        QTest::newRow("a huge count") << "2000000000_99:59:59_00:00:00" << 250 << true;
    }
    void timerIntervals()
    {
        QFETCH(QString, instruction);
        QFETCH(int, interval);
        QFETCH(bool, shown);
        EngineRig rig;
        rig.writeAgitation({"I\tx\t" + instruction});
        const int p = rig.addProcess({"Dev|99:59:59|||I"});
        rig.process(p).start();
        rig.tickAfter(p, 0.6);
        QCOMPARE(rig.face(p).agitationStepMs.has_value(), shown);
        QCOMPARE(rig.face(p).agitationStepMs.value_or(0), interval);
    }

    void pauseDuringAnAnnouncement()
    {
        EngineRig rig;
        rig.clock.setNowMs(S);
        rig.writeAgitation({"M\tx\t*2_00:00:05_00:01:00"});
        const int p = rig.addProcess({"Dev|00:05:00|||M"});
        rig.process(p).start();
        for (int s = 1; s <= 40; ++s)
            rig.tickAfter(p, s == 1 ? 1.0 + kLate : 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:20"));
        rig.process(p).pause();
        QVERIFY(rig.process(p).agitationPlan()->pausedAtMs);
        rig.clock.advanceSeconds(30);
        rig.process(p).pause();
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:19"));
        for (int s = 2; s <= 20; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:00"));
        rig.tickAfter(p, 1.0); // 50 s after the pause began, plus one
        QVERIFY(rig.face(p).agit.text.startsWith(QStringLiteral("***  AGITATE (1/2)")));
        // The later beginnings have moved with it.
        for (int s = 92; s <= 100; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:50"));
    }

    void resumeOfANeverPausedSequenceStartsAgain()
    {
        EngineRig rig;
        rig.writeAgitation({"M\tx\t*2_00:00:05_00:01:00"});
        const int p = rig.addProcess({"Dev|00:05:00|||M"});
        rig.process(p).next(); // paused on the main time, sequence built but never stamped
        rig.clock.advanceSeconds(500);
        rig.process(p).pause();
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:01:00"));
    }

    void unknownCodeLeavesTheLabelEmpty()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:30|||NOPE"});
        rig.process(p).start();
        for (int s = 0; s < 20; ++s) {
            rig.tickAfter(p, 1.0);
            QCOMPARE(rig.face(p).agit.text, QString());
            QVERIFY(!rig.face(p).agitationStepMs.has_value());
        }
    }

    void counterStepCutsAtTheFirstBracketAndSlash_data()
    {
        QTest::addColumn<QString>("runningText");
        QTest::addColumn<QString>("stepped");
        QTest::newRow("plain") << "GO"
                               << "***  GO (2/4) 00:00:09  ***";
        QTest::newRow("bracket in caption") << "GO (tank)"
                                            << "***  GO (2/4) 00:00:09  ***";
        QTest::newRow("slash in caption") << "in/out"
                                          << "***  in/out (2/out (1/4) 00:00:09  ***";
    }
    void counterStepCutsAtTheFirstBracketAndSlash()
    {
        QFETCH(QString, runningText);
        QFETCH(QString, stepped);
        EngineRig rig;
        rig.running = runningText;
        const int p = rig.addProcess({"Dev|00:01:00|||A"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        rig.process(p).agitationTick();
        QCOMPARE(rig.face(p).agit.text, stepped);
    }

    void agitationOnlyDuringTheMainTime()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:12|00:00:20||A"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitationStepMs.has_value());
        for (int s = 2; s <= 12; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).currentCol(), 2);
        QCOMPARE(rig.face(p).agit.text, QString());
        QVERIFY(!rig.face(p).agitationStepMs.has_value());
        // A tick of the agitation timer already on its way shows nothing.
        rig.process(p).agitationTick();
        QCOMPARE(rig.face(p).agit.text, QString());
    }

    void oneAgitationTimerPerPlan_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<bool>("restart");  // Start pressed, or the main time runs out
        QTest::addColumn<QString>("label"); // after a tick of the old plan's timer
        QTest::newRow("Start during an agitation")
            << QStringList{"Dev|00:01:00|||A"} << true << "Agitation in 00:00:00";
        QTest::newRow("main time ends into the next step's")
            << QStringList{"Dev|00:00:05|||A", "Fix|00:01:00|||A"} << false << "Inversions";
        QTest::newRow("main time ends into the second phase")
            << QStringList{"Dev|00:00:05|00:01:00||A"} << false << "";
    }
    void oneAgitationTimerPerPlan()
    {
        QFETCH(QStringList, steps);
        QFETCH(bool, restart);
        QFETCH(QString, label);
        EngineRig rig;
        const int p = rig.addProcess(steps);
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitationStepMs.has_value());
        if (restart) {
            rig.process(p).start();
        } else {
            for (int s = 2; s <= 5; ++s)
                rig.tickAfter(p, 1.0);
            QCOMPARE(rig.process(p).givenMs(), 60000);
        }
        QVERIFY(!rig.face(p).agitationStepMs.has_value());
        // A tick of the old plan's timer already on its way steps nothing
        // that has not begun.
        rig.process(p).agitationTick();
        QCOMPARE(rig.face(p).agit.text, label);
        if (rig.process(p).currentCol() == 1) {
            rig.tickAfter(p, 1.0);
            QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (1/4) 00:00:09  ***"));
            QVERIFY(rig.face(p).agitationStepMs.has_value());
        }
    }

    void doubleClickOnAnotherCellDropsThePlan()
    {
        EngineRig rig;
        rig.writeAgitation(
            {"A\tx\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00", "B\tx\t3_00:00:05_00:00:20"});
        const int p = rig.addProcess({"Dev|00:02:00|||A", "Fix|00:01:00|||B"});
        rig.process(p).start();
        rig.process(p).pause(); // stamps the plan
        rig.process(p).pause();
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitationStepMs.has_value());
        QVERIFY(rig.grid(p).setCurrent(1, 2));
        rig.process(p).doubleClick();
        QVERIFY(!rig.face(p).agitationStepMs.has_value());
        QCOMPARE(rig.face(p).agit.text, QString());
        // The resume plans the new step's agitations, counted from now.
        rig.clock.advanceSeconds(7);
        rig.process(p).pause();
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:20"));
    }

    void finishedPlanStaysFinished()
    {
        EngineRig rig;
        rig.writeAgitation({"S\tOnce\t4_00:00:03_00:00:00"});
        const int p = rig.addProcess({"Dev|00:01:00|||S"});
        rig.process(p).start();
        for (int s = 1; s <= 4; ++s)
            rig.tickAfter(p, s == 1 ? 1.0 + kLate : 1.0);
        QVERIFY(rig.process(p).agitationPlan()->entries.empty());
        rig.process(p).pause();
        rig.clock.advanceSeconds(30);
        rig.process(p).pause();
        for (int s = 0; s < 5; ++s) {
            QCOMPARE(rig.face(p).agit.text, QString());
            QVERIFY(!rig.face(p).agitationStepMs.has_value());
            rig.tickAfter(p, 1.0);
        }
    }

    void resumeDuringAnAgitationKeepsCounting()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||A"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        rig.process(p).agitationTick();
        rig.process(p).pause();
        QVERIFY(!rig.face(p).agitationStepMs.has_value());
        rig.clock.advanceSeconds(30);
        rig.process(p).pause();
        QVERIFY(rig.face(p).agitationStepMs.has_value());
        rig.process(p).agitationTick();
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (3/4) 00:00:08  ***"));
    }

    void unreadableFileLeavesNoOldCues()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:03|||A", "Fix|00:01:00|||A"});
        rig.process(p).start();
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitationStepMs.has_value());
        QFile::remove(rig.agitationFile);
        rig.tickAfter(p, 1.0);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).takeErrors(),
                 QStringList{fileError(rig.agitationFile, "File not found")});
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Fix"));
        QCOMPARE(rig.face(p).agit.text, QString());
        QVERIFY(!rig.face(p).agitationStepMs.has_value());
        // One error per failed read: the ticks of the step read nothing.
        rig.tickAfter(p, 1.0);
        QVERIFY(rig.process(p).isRunning());
        QCOMPARE(rig.face(p).agit.text, QString());
        QCOMPARE(rig.process(p).takeErrors(), QStringList());
    }

    void previousNextAndResetStopTheAgitation()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||A", "Fix|00:01:00|||A"});
        for (auto action : {&Process::next, &Process::previous, &Process::reset}) {
            rig.process(p).start();
            rig.tickAfter(p, 1.0 + kLate);
            QVERIFY(rig.face(p).agitationStepMs.has_value());
            (rig.process(p).*action)();
            QVERIFY(!rig.face(p).agitationStepMs.has_value());
        }
    }
};

QTEST_GUILESS_MAIN(TestAgitation)
#include "tst_agitation.moc"
