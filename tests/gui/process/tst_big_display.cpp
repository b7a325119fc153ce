#include "app_fixture.h"
#include "core/base/colors.h"
#include "gui/app/darkroom.h"
#include "gui/process/big_display.h"
#include "gui/process/process_tab.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QFontMetricsF>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

class TestBigDisplay : public QObject
{
    Q_OBJECT

    // Process A on the first Films tab, B on the second; A on show, full screen.
    struct Rig
    {
        AppFixture f;
        TfrmMain *w = nullptr;
        ProcessTab *a = nullptr, *b = nullptr;
        BigDisplay *big = nullptr;

        Rig()
        {
            f.writeStandardFolder();
            f.dir.write("proc/a.txt",
                        crlf({"[Titel]", "Film A", "[Comments]", "", "[Process]",
                              "Step\tTime\tTime 2\tWait\tAgit", "Developer\t00:00:05\t\t\tA",
                              "Drain\t00:00:03\t\tX\t", "Fixer\t00:00:04\t\t\t"}));
            f.dir.write("proc/b.txt",
                        crlf({"[Titel]", "Film B", "[Comments]", "", "[Process]",
                              "Step\tTime\tTime 2\tWait\tAgit", "Stop\t00:00:02\t\t\t",
                              "Fix\t00:00:03\t\tX\t", "Wash\t00:00:02\t\t\t"}));
            f.dir.write("films.txt", crlf({"a.txt", "b.txt"}));
            w = &f.start();
            w->show();
            a = w->processPages()->tab(0);
            b = w->processPages()->tab(1);
        }
        ProcessEngine &engine() { return w->processPages()->engine(); }
        // The tick the tab's timer would give when it is due.
        void tick(ProcessTab *t)
        {
            f.clock.setNowMs(*engine().face(t->index()).tickDueMs);
            t->run([this, t] { engine().process(t->index()).tick(); });
        }
        void showBig()
        {
            QTest::keyClick(StepGrid(a), Qt::Key_F11);
            big = w->darkroom()->bigDisplay();
        }
        // The big display shows what the tab shows, in its colours.
        void checkSameFace()
        {
            const std::pair<QLabel *, QLabel *> pairs[] = {{StepLabel(big), StepLabel(a)},
                                                           {TimeLabel(big), TimeLabel(a)},
                                                           {AgitLabel(big), AgitLabel(a)}};
            for (const auto &[shown, onTab] : pairs) {
                QCOMPARE(shown->text(), onTab->text());
                QCOMPARE(fontColorOf(shown), fontColorOf(onTab));
            }
            QCOMPARE(Gauge(big)->value(), Gauge(a)->value());
        }
    };

private slots:
    void followsTheProcessOnShow()
    {
        Rig r;
        r.showBig();
        QVERIFY(r.big && r.big->isVisible());
        QVERIFY(r.big->isFullScreen());
        QCOMPARE(r.big->followed(), r.a);
        r.checkSameFace();
        QCOMPARE(fontColorOf(TimeLabel(r.big)), Colors::Blue);

        // The keys drive it from there.
        QTest::keyClick(r.big, Qt::Key_Return);
        QVERIFY(r.engine().process(0).isRunning());
        r.checkSameFace();
        QCOMPARE(fontColorOf(TimeLabel(r.big)), Colors::Red);
        r.tick(r.a);
        r.tick(r.a);
        QCOMPARE(TimeLabel(r.big)->text(), QStringLiteral("00:00:03"));
        QVERIFY(Gauge(r.big)->value() > 0);
        r.checkSameFace();

        // Through the cell's end, and on to the wait mark, where it pauses.
        while (r.engine().process(0).currentRow() == 1)
            r.tick(r.a);
        QCOMPARE(StepLabel(r.big)->text(), QStringLiteral("Drain"));
        r.checkSameFace();
        while (r.engine().process(0).isRunning())
            r.tick(r.a);
        QCOMPARE(r.engine().process(0).state(), ProcessState::AtWaitMark);
        r.checkSameFace();
        QCOMPARE(fontColorOf(TimeLabel(r.big)), Colors::Yellow);
        // Nothing in the band: the process on show says it itself.
        QVERIFY(BandLabel(r.big)->text().isEmpty());

        QTest::keyClick(r.big, Qt::Key_Space);
        QVERIFY(r.engine().process(0).isRunning());
        QTest::keyClick(r.big, Qt::Key_R, Qt::ControlModifier);
        QCOMPARE(r.engine().process(0).state(), ProcessState::Idle);
        r.checkSameFace();

        QTest::keyClick(r.big, Qt::Key_Escape);
        QVERIFY(!r.big->isVisible());
        // A double-click on the time label shows it again; F11 leaves.
        QTest::mouseDClick(TimeLabel(r.a), Qt::LeftButton);
        QVERIFY(r.big->isVisible());
        QTest::keyClick(r.big, Qt::Key_F11);
        QVERIFY(!r.big->isVisible());
    }

    void tellsWhatAnotherProcessReached()
    {
        Rig r;
        StartButton(r.b)->click();
        r.showBig();
        StartButton(r.a)->click();
        // Its count-down alone tells nothing (the band may say what comes
        // together ahead, but no notice of what was reached).
        r.tick(r.b);
        QVERIFY(!BandTimer(r.big)->isActive());
        // Stop ends: Fix runs.
        r.tick(r.b);
        r.tick(r.b);
        QCOMPARE(r.engine().process(1).currentRow(), 2);
        QCOMPARE(BandLabel(r.big)->text(), QStringLiteral("Film B  \u2013  Fix  00:00:03"));
        QCOMPARE(fontColorOf(BandLabel(r.big)), Colors::Red);
        QVERIFY(BandTimer(r.big)->isActive());
        QVERIFY(BandTimer(r.big)->interval() >= 3000);
        // Fix ends at its wait mark: paused.
        while (r.engine().process(1).isRunning())
            r.tick(r.b);
        QCOMPARE(BandLabel(r.big)->text(), QStringLiteral("Film B  \u2013  Wait  00:00:00"));
        QCOMPARE(fontColorOf(BandLabel(r.big)), Colors::Yellow);
        // The process on show went on all the while.
        QCOMPARE(r.big->followed(), r.a);
        r.checkSameFace();
        // A few seconds later the band is empty again.
        BandTimer(r.big)->start(0);
        QTRY_VERIFY(BandLabel(r.big)->text().isEmpty());

        // Another tab on show: the display follows it; no tab on show: it goes.
        QTest::keyClick(r.big, Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(r.big->followed(), r.b);
        QCOMPARE(TimeLabel(r.big)->text(), TimeLabel(r.b)->text());
        QTest::keyClick(r.big, Qt::Key_3, Qt::ControlModifier);
        QVERIFY(!r.big->isVisible());
        QCOMPARE(control<QTabWidget>(r.w, "pgctrlMain")->currentWidget(),
                 control<QWidget>(r.w, "tbshtDilutions"));
    }

    // Paused and waiting differ by more than a shade of red: the words stand
    // beside the colour, and a held process keeps its mark on its tab and on
    // the Films page's tab until it goes on.
    void statesInWordsAndLastingMarks()
    {
        Rig r;
        QTabWidget *main = control<QTabWidget>(r.w, "pgctrlMain");
        QTabWidget *films = control<QTabWidget>(r.w, "pgctrlFilms");
        const auto marks = [&] {
            return QStringList{films->tabText(0), films->tabText(1), main->tabText(0),
                               main->tabText(1)};
        };
        r.showBig();
        StartButton(r.a)->click();
        StartButton(r.b)->click();
        QCOMPARE(control<QLabel>(r.big, "lblBigState")->text(), QString());
        QCOMPARE(marks(), QStringList({"Film A", "Film B", "T13", "T12"}));
        PauseButton(r.a)->click();
        QCOMPARE(control<QLabel>(r.big, "lblBigState")->text(), "T220");
        QCOMPARE(fontColorOf(control<QLabel>(r.big, "lblBigState")), Colors::Yellow);
        QCOMPARE(marks(), QStringList({"T220 \u00B7 Film A", "Film B", "T220 \u00B7 T13", "T12"}));
        // B reaches its wait mark: the wait comes before the pause on the page.
        while (r.engine().process(1).isRunning())
            r.tick(r.b);
        QCOMPARE(control<QLabel>(r.b, "lblF1State")->text(), "T221");
        QCOMPARE(marks(), QStringList({"T220 \u00B7 Film A", "T221 \u00B7 Film B",
                                       "T221 \u00B7 T13", "T12"}));
        // The band has long gone; the marks stay until each goes on.
        BandTimer(r.big)->start(0);
        QTRY_VERIFY(BandLabel(r.big)->text().isEmpty());
        r.f.clock.setNowMs(r.f.clock.nowMs() + 600000);
        QCOMPARE(marks().at(1), "T221 \u00B7 Film B");
        PauseButton(r.b)->click();
        PauseButton(r.a)->click();
        QCOMPARE(control<QLabel>(r.big, "lblBigState")->text(), QString());
        QCOMPARE(marks(), QStringList({"Film A", "Film B", "T13", "T12"}));
    }

    // Démarrer on a process that would collide asks; "in N s" counts down on
    // its tab and starts it by itself; the band says what comes together.
    void aStartThatWouldCollide()
    {
        Rig r;
        r.f.dialogs.startWhenAnswers = {Dialogs::StartWhen::Later};
        r.showBig();
        StartButton(r.b)->click();
        QTest::keyClick(r.big, Qt::Key_Return);
        QCOMPARE(r.f.dialogs.count(ScriptedDialogs::Kind::StartWhenQuestion), 1);
        const ScriptedDialogs::Shown &asked = r.f.dialogs.shown.back();
        QVERIFY(asked.text.startsWith("Film A demandera votre attention en même temps que Film B"));
        const std::optional<qint64> due = r.engine().process(0).pendingStartMs();
        QVERIFY(due);
        QVERIFY(!r.engine().process(0).isRunning());
        QVERIFY(AgitLabel(r.a)->text().startsWith("T237 0:"));
        QCOMPARE(AgitLabel(r.big)->text(), AgitLabel(r.a)->text());
        while (!r.engine().process(0).isRunning())
            r.tick(r.a);
        QCOMPARE(r.f.clock.nowMs(), *due);
        // Started when it was put off to, it collides with nobody.
        QCOMPARE(control<QLabel>(r.a, "lblF0Collision")->text(), QString());
        QCOMPARE(BandLabel(r.big)->text(), QString());
        // Started at once instead, both tabs and the band say so ahead.
        ResetButton(r.a)->click();
        ResetButton(r.b)->click();
        StartButton(r.b)->click();
        r.f.dialogs.startWhenAnswers = {Dialogs::StartWhen::Now};
        StartButton(r.a)->click();
        QCOMPARE(r.f.dialogs.count(ScriptedDialogs::Kind::StartWhenQuestion), 2);
        QVERIFY(r.engine().process(0).isRunning());
        const QString ahead = control<QLabel>(r.a, "lblF0Collision")->text();
        QVERIFY2(ahead.startsWith("Film A : ") && ahead.contains(", en même temps que Film B : "),
                 qPrintable(ahead));
        // The other's tab says so at its next tick.
        r.tick(r.b);
        QVERIFY(!control<QLabel>(r.b, "lblF1Collision")->text().isEmpty());
        // Once the band's notice of the reset has gone.
        BandTimer(r.big)->start(0);
        QTRY_VERIFY(!BandTimer(r.big)->isActive());
        r.tick(r.a);
        QVERIFY2(BandLabel(r.big)->text().contains(" dans "), qPrintable(BandLabel(r.big)->text()));
        // The same collision a second nearer: the tab's line counts down.
        const QString before = control<QLabel>(r.a, "lblF0Collision")->text();
        const std::optional<Collision> coming = r.engine().nextCollision(r.f.clock.nowMs(), 0);
        r.tick(r.a);
        QVERIFY(coming && r.engine().nextCollision(r.f.clock.nowMs(), 0) == coming);
        QVERIFY2(control<QLabel>(r.a, "lblF0Collision")->text() != before, qPrintable(before));
        QCOMPARE(r.f.dialogs.errors(), QStringList());
    }

    void textsFillTheirShares()
    {
        Rig r;
        r.showBig();
        StartButton(r.a)->click();
        for (QLabel *l : {StepLabel(r.big), TimeLabel(r.big), AgitLabel(r.big)}) {
            const QSize box = l->contentsRect().size();
            QFont f = l->font();
            const QFontMetricsF fits(f);
            QVERIFY(fits.horizontalAdvance(l->text()) <= box.width());
            QVERIFY(fits.height() <= box.height());
            // A tenth larger would not fit.
            f.setPixelSize(f.pixelSize() * 11 / 10 + 1);
            const QFontMetricsF larger(f);
            QVERIFY2(larger.horizontalAdvance(l->text()) > box.width() ||
                         larger.height() > box.height(),
                     qPrintable(l->objectName()));
        }
        // The time is the largest of the three.
        QVERIFY(TimeLabel(r.big)->font().pixelSize() > StepLabel(r.big)->font().pixelSize());
    }

    void reloadTakesItAway()
    {
        Rig r;
        r.showBig();
        QVERIFY(r.big->isVisible());
        r.w->btnPrefReloadClick();
        QVERIFY(!r.big->isVisible());
        QCOMPARE(r.f.dialogs.errors(), QStringList());
    }
};

QTEST_MAIN(TestBigDisplay)
#include "tst_big_display.moc"
