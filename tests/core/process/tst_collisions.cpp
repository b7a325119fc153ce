#include "core/process/collisions.h"
#include "engine_rig.h"

#include <QTest>

namespace {

const QString kFormat = QStringLiteral("%1 : %2 dans %3, en même temps que %4 : %5");
const QStringList kKinds{"agitation", "fin d'étape", "attente"};

// Cuve 1 stops at a wait mark at 2:10; Cuve 2, started at 0:10, agitates at
// 0:10 and every minute after until its end at 5:10.
struct Tanks
{
    EngineRig rig;
    qint64 margin = 15000;

    Tanks()
    {
        rig.clock.setNowMs(0);
        ProcessEnvironment &env = rig.engine->environment();
        env.collisionMarginMs = [this] { return margin; };
        rig.addProcess({"Dev|00:02:10||X|"});
        rig.addProcess({"Dev|00:05:00|||A"});
        rig.process(0).setTitle("Cuve 1");
        rig.process(1).setTitle("Cuve 2");
        rig.process(0).start();
        rig.clock.setNowMs(10000);
        rig.process(1).start();
    }
    QString text(int i)
    {
        const qint64 now = rig.clock.nowMs();
        const std::optional<Collision> c = rig.engine->nextCollision(now, i);
        if (!c)
            return {};
        return collisionText(kFormat, kKinds, rig.process(c->own.process).title(),
                             rig.process(c->other.process).title(), *c, now);
    }
};

} // namespace

class TestCollisions : public QObject
{
    Q_OBJECT
private slots:
    // Two processes: what each tab and the band say ahead, on the clock.
    void twoProcesses_data()
    {
        QTest::addColumn<int>("marginSeconds");
        QTest::addColumn<bool>("pauseCuve2");
        QTest::addColumn<bool>("seenBeforePause");
        QTest::addColumn<int>("atSeconds");
        QTest::addColumn<QString>("cuve1");
        QTest::addColumn<QString>("cuve2");
        QTest::addColumn<QString>("band");
        const QString one = "Cuve 1 : attente dans 0:20, en même temps que Cuve 2 : agitation";
        const QString two = "Cuve 2 : agitation dans 0:20, en même temps que Cuve 1 : attente";
        QTest::newRow("an agitation at a wait mark")
            << 15 << false << false << 110 << one << two << one;
        const QString soon = QString(one).replace("0:20", "0:01");
        QTest::newRow("as the moment comes")
            << 15 << false << false << 129 << soon << QString(two).replace("0:20", "0:01") << soon;
        QTest::newRow("once it has passed") << 15 << false << false << 131 << ""
                                            << ""
                                            << "";
        QTest::newRow("a paused process calls for nothing") << 15 << true << false << 110 << ""
                                                            << ""
                                                            << "";
        // The warning both tabs showed goes at the next look after the pause.
        QTest::newRow("paused once warned") << 15 << true << true << 110 << ""
                                            << ""
                                            << "";
        QTest::newRow("seven seconds apart, margin 5") << 5 << false << false << 110 << ""
                                                       << ""
                                                       << "";
    }
    void twoProcesses()
    {
        QFETCH(int, marginSeconds);
        QFETCH(bool, pauseCuve2);
        QFETCH(bool, seenBeforePause);
        QFETCH(int, atSeconds);
        QFETCH(QString, cuve1);
        QFETCH(QString, cuve2);
        QFETCH(QString, band);
        Tanks t;
        t.margin = marginSeconds * 1000;
        if (marginSeconds < 15) {
            // Cuve 1 waits seven seconds earlier: outside a five-second margin.
            t.rig.grid(0).setCell(1, 1, "00:02:03");
            t.rig.clock.setNowMs(0);
            t.rig.process(0).start();
        }
        if (seenBeforePause) {
            t.rig.clock.setNowMs(100000);
            QVERIFY(!t.text(0).isEmpty());
            QVERIFY(!t.text(1).isEmpty());
        }
        if (pauseCuve2)
            t.rig.process(1).pause();
        t.rig.clock.setNowMs(atSeconds * 1000);
        QCOMPARE(t.text(0), cuve1);
        QCOMPARE(t.text(1), cuve2);
        QCOMPARE(t.text(-1), band);
    }

    // A third process started at 1:50: whether it would collide, and the
    // delay that avoids every call of the others.
    void thirdProcessStart_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<int>("marginSeconds");
        QTest::addColumn<bool>("clash");
        QTest::addColumn<int>("delaySeconds");
        // Its end at 3:00, ten seconds before Cuve 2's agitation at 3:10:
        // clear of 3:10 by more than 15 s from 3:26 on.
        QTest::newRow("its end meets an agitation") << "Stop|00:01:10|||" << 15 << true << 26;
        QTest::newRow("twenty seconds apart") << "Stop|00:01:00|||" << 15 << false << 0;
        QTest::newRow("a narrower margin") << "Stop|00:01:10|||" << 5 << false << 0;
        // Its wait mark at 3:05 meets the agitation at 3:10.
        QTest::newRow("a wait mark meets an agitation") << "Dev|00:01:15||X|" << 15 << true << 21;
    }
    void thirdProcessStart()
    {
        QFETCH(QString, steps);
        QFETCH(int, marginSeconds);
        QFETCH(bool, clash);
        QFETCH(int, delaySeconds);
        Tanks t;
        t.margin = marginSeconds * 1000;
        const int third = t.rig.addProcess({steps});
        t.rig.process(third).setTitle("Cuve 3");
        t.rig.clock.setNowMs(110000);
        const auto found = t.rig.engine->startClash(third, 110000);
        QCOMPARE(bool(found), clash);
        if (!clash)
            return;
        QCOMPARE(found->collision.own.process, third);
        QCOMPARE(found->delayMs, std::optional<qint64>(delaySeconds * 1000));

        // "In N s": it counts down to its start and starts by itself.
        t.rig.process(third).scheduleStart(110000 + *found->delayMs);
        QVERIFY(!t.rig.process(third).isRunning());
        QCOMPARE(t.rig.face(third).agit.text,
                 QString("Démarre dans 0:%1").arg(delaySeconds, 2, 10, QChar('0')));
        int ticks = 0;
        while (!t.rig.process(third).isRunning() && ticks++ < 100)
            t.rig.tickWhenDue(third);
        QCOMPARE(ticks, delaySeconds);
        QCOMPARE(t.rig.clock.nowMs(), 110000 + *found->delayMs);
        // Started then, it collides with nobody.
        QVERIFY(!t.rig.engine->nextCollision(t.rig.clock.nowMs(), third));
        QVERIFY(!t.rig.engine->startClash(third, t.rig.clock.nowMs() - 1));
    }

    // Any command takes the place of a start put off.
    void aCommandCancelsThePutOffStart()
    {
        Tanks t;
        const int third = t.rig.addProcess({"Stop|00:01:10|||"});
        t.rig.process(third).scheduleStart(40000);
        QVERIFY(t.rig.process(third).pendingStartMs());
        t.rig.process(third).pause();
        QVERIFY(!t.rig.process(third).pendingStartMs());
        QVERIFY(!t.rig.face(third).tickDueMs);
        QCOMPARE(t.rig.face(third).agit.text, QString());
    }
};

QTEST_GUILESS_MAIN(TestCollisions)
#include "tst_collisions.moc"
