#include "core/base/colors.h"
#include "core/base/runtime_error.h"
#include "core/process/agitation.h"
#include "core/process/time_text.h"
#include "engine_rig.h"

#include <QFile>
#include <QTest>

namespace {

constexpr double S = 46000.25; // a start instant, in days
constexpr double kLate = 0.0005;

double at(double seconds)
{
    return S + seconds / 86400.0;
}

// Every agitation of a sequence in the order they become first, as the
// cues walk through them.
TAgitationSeq inTurn(TAgitationSeq seq)
{
    TAgitationSeq out;
    for (; !seq.empty(); DropFirstAgitation(seq))
        out.push_back(seq.front());
    return out;
}

} // namespace

class TestAgitation : public QObject
{
    Q_OBJECT
private slots:
    void sequenceFromInstructions()
    {
        const TAgitationSeq seq = inTurn(agitationSeqFromLines(
            {"A\tInversions\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00"}, "A", S, at(150)));
        QCOMPARE(int(seq.size()), 3);
        QCOMPARE(seq[0].Count, 4);
        QCOMPARE(seq[0].Duration * 86400.0, 10.0);
        QCOMPARE(seq[0].StartTime, S);
        QCOMPARE(seq[1].Count, 2);
        QVERIFY(qAbs(seq[1].StartTime - at(60)) < 1e-9);
        QVERIFY(qAbs(seq[2].StartTime - at(120)) < 1e-9);
        for (const TAgitation &a : seq) {
            QCOMPARE(a.Code, QStringLiteral("A"));
            QCOMPARE(a.Text, QStringLiteral("Inversions"));
            QCOMPARE(a.Counter, 0);
            QCOMPARE(a.PausedAt, 0.0);
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
        QTest::newRow("empty code matches lines without a first field")
            << QStringList{"", "\tlead\t2_00:00:01_00:00:40", "A\tx\t1_00:00:01_00:00:01"} << ""
            << QList<double>{40} << QList<int>{2};
    }
    void sequenceShapes()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, code);
        QFETCH(QList<double>, starts);
        QFETCH(QList<int>, counts);
        const TAgitationSeq seq = inTurn(agitationSeqFromLines(lines, code, S, at(150)));
        QCOMPARE(int(seq.size()), int(starts.size()));
        for (int k = 0; k < starts.size(); ++k) {
            const double want = starts[k] < 0 ? 0.0 : at(starts[k]);
            QVERIFY2(qAbs(seq[k].StartTime - want) < 1e-9, qPrintable(QString::number(k)));
            QCOMPARE(seq[k].Count, counts[k]);
        }
    }

    void lastMatchingLineNamesTheEmptyEntry()
    {
        const TAgitationSeq seq = agitationSeqFromLines({"E\tNo agitation\t"}, "E", S, at(60));
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
                                 << "'four' is not a valid integer value";
        QTest::newRow("empty count") << "A\tx\t_00:00:10_00:00:00"
                                     << "'' is not a valid integer value";
        QTest::newRow("repeated") << "A\tx\t*y_00:00:10_00:01:00"
                                  << "'y' is not a valid integer value";
        QTest::newRow("description only") << "A\tjust words"
                                          << "'' is not a valid integer value";
    }
    void countMustBeAWholeNumber()
    {
        QFETCH(QString, line);
        QFETCH(QString, message);
        try {
            agitationSeqFromLines({line}, "A", S, at(60));
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
        TAgitationSeq seq = agitationSeqFromLines(
            {"F\tx\t*1_00:00:01_00:00:01/2_00:00:01_00:00:30"}, "F", S, at(mainTime));
        QCOMPARE(int(seq.size()), 2);
        qint64 beginnings = 0;
        for (; seq.front().Count == 1; DropFirstAgitation(seq)) {
            ++beginnings;
            QVERIFY(seq.size() <= 2);
            if (beginnings % 100000 == 1 || beginnings == mainTime - 1)
                QVERIFY(qAbs(seq.front().StartTime - at(double(beginnings))) < 1e-9);
        }
        QCOMPARE(beginnings, qint64(mainTime - 1));
        QCOMPARE(seq.front().Count, 2);
    }

    void dropFirst()
    {
        TAgitationSeq seq(3);
        seq[0].Count = 1;
        seq[1].Count = 2;
        seq[2].Count = 3;
        DropFirstAgitation(seq);
        QCOMPARE(int(seq.size()), 2);
        QCOMPARE(seq[0].Count, 2);
        QCOMPARE(seq[1].Count, 3);
    }

    void labelThroughAHundredAndFiftySeconds()
    {
        EngineRig rig;
        rig.clock.setNowDays(S);
        const int p = rig.addProcess({"Dev|00:02:30|||A", "Stop|00:00:30|||"});
        rig.engine->btnStart(p);
        ProcessFace &f = rig.face(p);
        QCOMPARE(f.agit.text, QStringLiteral("Agitation in 00:00:00"));
        QCOMPARE(f.agit.color, Colors::Blue);
        QVERIFY(!f.agitTimerEnabled);

        rig.tickAfter(p, 1.0 + kLate);
        QCOMPARE(f.agit.text, QStringLiteral("***  AGITATE (1/4) 00:00:09  ***"));
        QCOMPARE(f.agit.color, Colors::Red);
        QVERIFY(f.agitTimerEnabled);
        QCOMPARE(f.agitInterval, 2500);
        rig.engine->tmrAgitTimer(p);
        QCOMPARE(f.agit.text, QStringLiteral("***  AGITATE (2/4) 00:00:09  ***"));
        rig.engine->tmrAgitTimer(p);
        rig.engine->tmrAgitTimer(p);
        QCOMPARE(f.agit.text, QStringLiteral("***  AGITATE (4/4) 00:00:09  ***"));
        rig.engine->tmrAgitTimer(p);
        QCOMPARE(f.agit.text, QStringLiteral("***  AGITATE (4/4) 00:00:09  ***"));

        for (int s = 2; s <= 9; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(f.agit.text, QStringLiteral("***  AGITATE (5/4) 00:00:01  ***"));
        rig.tickAfter(p, 1.0); // S + 10: no time left, the entry goes
        QVERIFY(!f.agitTimerEnabled);
        QVERIFY(qAbs(rig.engine->AgitSeqs[p].front().StartTime - at(60)) < 1e-9);
        rig.tickAfter(p, 1.0);
        QCOMPARE(f.agit.text, QStringLiteral("Agitation in 00:00:49"));
        QCOMPARE(f.agit.color, Colors::Blue);

        for (int s = 12; s <= 61; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(f.agit.text, QStringLiteral("***  AGITATE (1/2) 00:00:04  ***"));
        QCOMPARE(f.agitInterval, 2500);
        for (int s = 62; s <= 126; ++s)
            rig.tickAfter(p, 1.0);
        QVERIFY(rig.engine->AgitSeqs[p].empty());
        QCOMPARE(f.agit.text, QString());
        QCOMPARE(f.agit.color, Colors::Red);
        QCOMPARE(rig.process(p).CurrentRow, 1);
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
        QTest::newRow("1 in 1 s") << "1_00:00:01_00:00:00" << 1000 << false;
    }
    void timerIntervals()
    {
        QFETCH(QString, instruction);
        QFETCH(int, interval);
        QFETCH(bool, shown);
        EngineRig rig;
        rig.writeAgitation({"I\tx\t" + instruction});
        const int p = rig.addProcess({"Dev|00:01:00|||I"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 0.6);
        QCOMPARE(rig.face(p).agitInterval, interval);
        QCOMPARE(rig.face(p).agitTimerEnabled, shown);
    }

    void pauseDuringAnAnnouncement()
    {
        EngineRig rig;
        rig.clock.setNowDays(S);
        rig.writeAgitation({"M\tx\t*2_00:00:05_00:01:00"});
        const int p = rig.addProcess({"Dev|00:05:00|||M"});
        rig.engine->btnStart(p);
        for (int s = 1; s <= 40; ++s)
            rig.tickAfter(p, s == 1 ? 1.0 + kLate : 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:20"));
        rig.engine->btnPause(p);
        QVERIFY(rig.engine->AgitSeqs[p].front().PausedAt > 0.1);
        rig.clock.advanceSeconds(30);
        rig.engine->btnPause(p);
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
        rig.engine->btnNext(p); // paused on the main time, sequence built but never stamped
        rig.clock.advanceSeconds(500);
        rig.engine->btnPause(p);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:01:00"));
    }

    void unknownCodeLeavesTheLabelEmpty()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:30|||NOPE"});
        rig.engine->btnStart(p);
        for (int s = 0; s < 20; ++s) {
            rig.tickAfter(p, 1.0);
            QCOMPARE(rig.face(p).agit.text, QString());
            QVERIFY(!rig.face(p).agitTimerEnabled);
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
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        rig.engine->tmrAgitTimer(p);
        QCOMPARE(rig.face(p).agit.text, stepped);
    }

    void agitationOnlyDuringTheMainTime()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:12|00:00:20||A"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitTimerEnabled);
        for (int s = 2; s <= 12; ++s)
            rig.tickAfter(p, 1.0);
        QCOMPARE(rig.process(p).CurrentCol, 2);
        QCOMPARE(rig.face(p).agit.text, QString());
        // A tick of an agitation still running empties the label outside the main time.
        rig.face(p).agit.text = QStringLiteral("stale");
        rig.engine->tmrAgitTimer(p);
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
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitTimerEnabled);
        if (restart) {
            rig.engine->btnStart(p);
        } else {
            for (int s = 2; s <= 5; ++s)
                rig.tickAfter(p, 1.0);
            QCOMPARE(rig.engine->CellSecs[p], 60);
        }
        QVERIFY(!rig.face(p).agitTimerEnabled);
        // A tick of the old plan's timer already on its way steps nothing
        // that has not begun.
        rig.engine->tmrAgitTimer(p);
        QCOMPARE(rig.face(p).agit.text, label);
        if (rig.process(p).CurrentCol == 1) {
            rig.tickAfter(p, 1.0);
            QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (1/4) 00:00:09  ***"));
            QVERIFY(rig.face(p).agitTimerEnabled);
        }
    }

    void doubleClickOnAnotherCellDropsThePlan()
    {
        EngineRig rig;
        rig.writeAgitation(
            {"A\tx\t4_00:00:10_00:00:00/*2_00:00:05_00:01:00", "B\tx\t3_00:00:05_00:00:20"});
        const int p = rig.addProcess({"Dev|00:02:00|||A", "Fix|00:01:00|||B"});
        rig.engine->btnStart(p);
        rig.engine->btnPause(p); // stamps the plan
        rig.engine->btnPause(p);
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitTimerEnabled);
        QVERIFY(rig.grid(p).setCurrent(1, 2));
        rig.engine->sgrdDblClick(p);
        QVERIFY(!rig.face(p).agitTimerEnabled);
        QCOMPARE(rig.face(p).agit.text, QString());
        // The resume plans the new step's agitations, counted from now.
        rig.clock.advanceSeconds(7);
        rig.engine->btnPause(p);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("Agitation in 00:00:20"));
    }

    void finishedPlanStaysFinished()
    {
        EngineRig rig;
        rig.writeAgitation({"S\tOnce\t4_00:00:03_00:00:00"});
        const int p = rig.addProcess({"Dev|00:01:00|||S"});
        rig.engine->btnStart(p);
        for (int s = 1; s <= 4; ++s)
            rig.tickAfter(p, s == 1 ? 1.0 + kLate : 1.0);
        QVERIFY(rig.engine->AgitSeqs[p].empty());
        rig.engine->btnPause(p);
        rig.clock.advanceSeconds(30);
        rig.engine->btnPause(p);
        for (int s = 0; s < 5; ++s) {
            QCOMPARE(rig.face(p).agit.text, QString());
            QVERIFY(!rig.face(p).agitTimerEnabled);
            rig.tickAfter(p, 1.0);
        }
    }

    void resumeDuringAnAgitationKeepsCounting()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||A"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        rig.engine->tmrAgitTimer(p);
        rig.engine->btnPause(p);
        QVERIFY(!rig.face(p).agitTimerEnabled);
        rig.clock.advanceSeconds(30);
        rig.engine->btnPause(p);
        QVERIFY(rig.face(p).agitTimerEnabled);
        rig.engine->tmrAgitTimer(p);
        rig.tickAfter(p, 1.0);
        QCOMPARE(rig.face(p).agit.text, QStringLiteral("***  AGITATE (3/4) 00:00:08  ***"));
    }

    void unreadableFileLeavesNoOldCues()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:00:03|||A", "Fix|00:01:00|||A"});
        rig.engine->btnStart(p);
        rig.tickAfter(p, 1.0 + kLate);
        QVERIFY(rig.face(p).agitTimerEnabled);
        QFile::remove(rig.agitationFile);
        rig.tickAfter(p, 1.0);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, rig.tickAfter(p, 1.0));
        QCOMPARE(rig.face(p).step.text, QStringLiteral("Fix"));
        QCOMPARE(rig.face(p).agit.text, QString());
        QVERIFY(!rig.face(p).agitTimerEnabled);
        // One error per failed read: the ticks of the step read nothing.
        rig.tickAfter(p, 1.0);
        QVERIFY(rig.face(p).stepTimerEnabled);
        QCOMPARE(rig.face(p).agit.text, QString());
    }

    void previousNextAndResetStopTheAgitation()
    {
        EngineRig rig;
        const int p = rig.addProcess({"Dev|00:01:00|||A", "Fix|00:01:00|||A"});
        for (auto action :
             {&ProcessEngine::btnNext, &ProcessEngine::btnPrevious, &ProcessEngine::btnReset}) {
            rig.engine->btnStart(p);
            rig.tickAfter(p, 1.0 + kLate);
            QVERIFY(rig.face(p).agitTimerEnabled);
            (rig.engine.get()->*action)(p);
            QVERIFY(!rig.face(p).agitTimerEnabled);
        }
    }
};

QTEST_GUILESS_MAIN(TestAgitation)
#include "tst_agitation.moc"
