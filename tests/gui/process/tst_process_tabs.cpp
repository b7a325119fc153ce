#include "app_fixture.h"
#include "gui/app/darkroom.h"
#include "gui/app/preferences_page.h"
#include "gui/process/process_tab.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

QByteArray processFile(const QString &title, int extraFields = 0)
{
    QStringList lines;
    if (!title.isEmpty())
        lines << "[Titel]" << title;
    lines << "[Comments]"
          << "comment of " + title << "[Process]";
    QString extra;
    for (int i = 0; i < extraFields; ++i)
        extra += "\tx";
    lines << "Step\tTime\tTime 2\tWait\tAgit" + extra << "Dev\t00:00:05\t\t\tA" + extra
          << "Fix\t00:00:03\t\t\t" + extra;
    return crlf(lines);
}

// Two tabs of one process on the Films page, the window shown.
struct TwinTabs
{
    AppFixture f;
    TfrmMain *w = nullptr;
    ProcessTab *tab[2] = {};

    TwinTabs()
    {
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", crlf({"[Titel]", "Film", "[Comments]", "", "[Process]",
                                        "Step\tTime\tTime 2\tWait\tAgit", "Soak\t00:01:00\t\t\t",
                                        "Dev\t00:05:00\t00:00:30\tX\tA", "Fix\t00:05:00\t\t\t"}));
        f.dir.write("films.txt", crlf({"a.txt", "a.txt"}));
        w = &f.start();
        w->show();
        w->activateWindow();
        if (!QTest::qWaitForWindowActive(w))
            qWarning("the window is not active");
        tab[0] = w->processPages()->tab(0);
        tab[1] = w->processPages()->tab(1);
    }
    ProcessEngine &engine() { return w->processPages()->engine(); }
    QPushButton *button(int i, const QString &role) const
    {
        return tab[i]->findChild<QPushButton *>("btn" + tab[i]->objectName().mid(3) + role);
    }
    // What the tab shows of its process, and where its walk stands.
    QStringList state(int i)
    {
        const ProcessFace face = engine().face(i);
        const Process &p = engine().process(i);
        QStringList out;
        for (const ProcessFace::Label *l : {&face.step, &face.time, &face.agit})
            out << l->text << QString::number(l->color, 16);
        out << QString::number(face.gauge) << QString::number(int(p.state()))
            << QString::number(p.currentCol()) << QString::number(p.currentRow())
            << QString::number(p.grid().currentCol()) << QString::number(p.grid().currentRow());
        return out;
    }
};

} // namespace

class TestProcessTabs : public QObject
{
    Q_OBJECT
private slots:
    void tagsAndNames_data()
    {
        QTest::addColumn<QStringList>("papers");
        QTest::addColumn<QStringList>("films");
        QTest::addColumn<QStringList>("paperTabs");
        QTest::addColumn<QStringList>("filmTabs");
        QTest::newRow("two papers, one film")
            << QStringList{"a.txt", "b.txt"} << QStringList{"c.txt"}
            << QStringList{"TabP0", "TabP1"} << QStringList{"TabF2"};
        QTest::newRow("films only") << QStringList{} << QStringList{"a.txt", "b.txt"}
                                    << QStringList{} << QStringList{"TabF0", "TabF1"};
    }
    void tagsAndNames()
    {
        QFETCH(QStringList, papers);
        QFETCH(QStringList, films);
        QFETCH(QStringList, paperTabs);
        QFETCH(QStringList, filmTabs);
        AppFixture f;
        f.writeStandardFolder();
        for (const char *n : {"a.txt", "b.txt", "c.txt"})
            f.dir.write(QString("proc/") + n, processFile(n));
        f.dir.write("papers.txt", crlf(papers));
        f.dir.write("films.txt", crlf(films));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        const auto names = [](QTabWidget *t) {
            QStringList out;
            for (int i = 0; i < t->count(); ++i)
                out << t->widget(i)->objectName();
            return out;
        };
        QCOMPARE(names(control<QTabWidget>(w, "pgctrlPapers")), paperTabs);
        QCOMPARE(names(control<QTabWidget>(w, "pgctrlFilms")), filmTabs);
        ProcessEngine &e = w.processPages()->engine();
        QCOMPARE(e.size(), int(papers.size() + films.size()));
        for (const QString &tab : paperTabs + filmTabs) {
            const QString tag = tab.mid(3);
            for (const QString &name :
                 {"sgrd" + tag, "lbl" + tag + "Stepc", "lbl" + tag + "Timec", "lbl" + tag + "Agitc",
                  "btn" + tag + "Start", "btn" + tag + "Pause", "btn" + tag + "Previous",
                  "btn" + tag + "Next", "btn" + tag + "Reset", "mmo" + tag + "Comments",
                  "gge" + tag, "edt" + tag + "Titel"})
                QVERIFY2(control<QWidget>(w, name), qPrintable(name));
            QVERIFY(control<QTimer>(w, "tmr" + tag));
            QVERIFY(control<QTimer>(w, "tmrAgit" + tag));
        }
    }

    void tabIsBuiltAsLaidOut()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", processFile("Ilford HP5"));
        f.dir.write("films.txt", crlf({"  a.txt \t"}));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        ProcessTab *t = w.processPages()->tab(0);
        QCOMPARE(w.processPages()->engine().process(0).fileName(), QStringLiteral("a.txt"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->tabText(0), QStringLiteral("Ilford HP5"));
        QCOMPARE(StepLabel(t)->text(), QStringLiteral("Ilford HP5"));
        QCOMPARE(StepGrid(t)->geometry(), QRect(6, 5, 325, 425));
        QCOMPARE(StepLabel(t)->geometry(), QRect(340, 5, 411, 55));
        QCOMPARE(TimeLabel(t)->geometry(), QRect(340, 58, 411, 66));
        QCOMPARE(AgitLabel(t)->geometry(), QRect(340, 123, 411, 20));
        QCOMPARE(TimeLabel(t)->text(), QStringLiteral("00:00:00"));
        QCOMPARE(TimeLabel(t)->font().pixelSize(), 60);
        QCOMPARE(StartButton(t)->geometry(), QRect(340, 150, 80, 29));
        QCOMPARE(ResetButton(t)->geometry(), QRect(671, 150, 80, 29));
        QCOMPARE(CommentsMemo(t)->geometry(), QRect(340, 270, 411, 160));
        QVERIFY(CommentsMemo(t)->isReadOnly());
        QCOMPARE(CommentsMemo(t)->toPlainText(), QStringLiteral("comment of Ilford HP5"));
        QCOMPARE(Gauge(t)->geometry(), QRect(6, 440, 747, 43));
        QVERIFY(!TitleEdit(t)->isVisibleTo(t));
        QVERIFY(!StepTimer(t)->isActive());
        QCOMPARE(StepTimer(t)->interval(), 1000);
        QCOMPARE(StepTimer(t)->timerType(), Qt::PreciseTimer);
        // Captions from the language file, entries 17 to 21.
        QCOMPARE(StartButton(t)->text(), QStringLiteral("T17"));
        QCOMPARE(ResetButton(t)->text(), QStringLiteral("T21"));
        GridModel *g = StepGrid(t)->grid();
        QCOMPARE(g->fixedRows(), 1);
        QCOMPARE(g->fixedCols(), 1);
        QCOMPARE(g->colWidth(0), 125);
        QCOMPARE(g->colWidth(4), 35);
        QCOMPARE(g->currentCol(), 1);
        QCOMPARE(g->currentRow(), 1);
        QCOMPARE(w.processPages()->engine().process(0).currentCol(), 0);
        QCOMPARE(w.processPages()->engine().process(0).currentRow(), 0);
    }

    void noTitleAndWideFile()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", processFile(QString(), 1));
        f.dir.write("films.txt", crlf({"a.txt"}));
        TfrmMain &w = f.start();
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->tabText(0), QStringLiteral("a.txt"));
        GridModel *g = StepGrid(w.processPages()->tab(0))->grid();
        QCOMPARE(g->cols(), 6);
        QCOMPARE(g->colWidth(5), 85);
    }

    void missingFileStopsTheLoad()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", processFile("A"));
        f.dir.write("proc/c.txt", processFile("C"));
        f.dir.write("papers.txt", crlf({"a.txt", "b.txt", "c.txt"}));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList{"\"proc/b.txt\": File not found."});
        QCOMPARE(control<QTabWidget>(w, "pgctrlPapers")->count(), 2);
        QCOMPARE(control<QTabWidget>(w, "pgctrlPapers")->tabText(0), QStringLiteral("A"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlPapers")->tabText(1), QStringLiteral("TabP1"));
        QCOMPARE(w.processPages()->engine().size(), 2);
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->currentWidget(), w.preferences());
        // The language file was not reached.
        QCOMPARE(control<QPushButton>(w.preferences(), "btnPrefSave")->text(),
                 QStringLiteral("Enregistrer"));
        // The tab built before the failure works.
        StartButton(w.processPages()->tab(0))->click();
        QVERIFY(StepTimer(w.processPages()->tab(0))->isActive());
    }

    // The tabs of a list are measured once, after the last is added (here one
    // whose file is missing): they stand as tabs added one at a time would.
    void tabsAddedTogetherAreLaidOutAsOneByOne()
    {
        AppFixture f;
        f.writeStandardFolder();
        QStringList titles{"Ilford HP5 ID-11 1+1", "FP4", "Kodak Tri-X D-76 stock, 20 °C"};
        QStringList films;
        for (int i = 0; i < titles.size(); ++i) {
            f.dir.write(QString("proc/%1.txt").arg(i), processFile(titles[i]));
            films << QString("%1.txt").arg(i);
        }
        f.dir.write("films.txt", crlf(films << "missing.txt"));
        titles << "TabF3";
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors().size(), 1);
        QTabWidget alone(control<QWidget>(w, "tbshtFilms"));
        alone.setGeometry(control<QTabWidget>(w, "pgctrlFilms")->geometry());
        for (const QString &title : titles)
            alone.addTab(new QWidget, title);
        control<QTabWidget>(w, "pgctrlMain")->setCurrentWidget(control<QWidget>(w, "tbshtFilms"));
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->count(), titles.size());
        for (int i = 0; i < titles.size(); ++i)
            QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->tabBar()->tabRect(i),
                     alone.tabBar()->tabRect(i));
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->tabBar()->geometry(),
                 alone.tabBar()->geometry());
    }

    void fileWithoutStepsReportsFixedRows()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt",
                    crlf({"[Titel]", "Header only", "[Comments]", "", "[Process]", "h"}));
        f.dir.write("films.txt", crlf({"a.txt"}));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(),
                 QStringList{"\"proc/a.txt\": Fixed row count must be less than row count."});
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->tabText(0), QStringLiteral("TabF0"));
    }

    void listLines_data()
    {
        QTest::addColumn<QString>("folder"); // the process folder
        QTest::addColumn<QStringList>("films");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QStringList>("errors");
        // An editor's trailing empty line used to name the process folder
        // itself and stop the load with "File access denied".
        QTest::newRow("blank lines skipped")
            << "proc" << QStringList{"", "a.txt", "", " \t ", "c.txt", ""} << QStringList{"A", "C"}
            << QStringList{};
        QTest::newRow("only blank lines")
            << "proc" << QStringList{"", "  "} << QStringList{} << QStringList{};
        QTest::newRow("nul inside a name")
            << "proc" << QStringList{QString("a.txt") + QChar(0) + "junk", "c.txt"}
            << QStringList{"TabF0"}
            << QStringList{QString("\"proc/a.txt") + QChar(0x2400) + "junk\": Invalid file name."};
        // Not the file system's root: the working folder, as the editor's picker.
        QTest::newRow("no process folder")
            << "" << QStringList{"proc/a.txt"} << QStringList{"A"} << QStringList{};
    }
    void listLines()
    {
        QFETCH(QString, folder);
        QFETCH(QStringList, films);
        QFETCH(QStringList, tabs);
        QFETCH(QStringList, errors);
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("wsettings.txt", crlf(AppFixture::settingsLines().replaceInStrings(
                                         "ProcessFolder=proc", "ProcessFolder=" + folder)));
        f.dir.write("proc/a.txt", processFile("A"));
        f.dir.write("proc/c.txt", processFile("C"));
        f.dir.write("films.txt", crlf(films));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), errors);
        QStringList shown;
        for (int i = 0; i < control<QTabWidget>(w, "pgctrlFilms")->count(); ++i)
            shown << control<QTabWidget>(w, "pgctrlFilms")->tabText(i);
        QCOMPARE(shown, tabs);
        // Without an error the load went on to the captions.
        QCOMPARE(control<QPushButton>(w.preferences(), "btnPrefSave")->text(),
                 errors.isEmpty() ? QStringLiteral("T38") : QStringLiteral("Enregistrer"));
    }

    void keysPressTheButtons_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("focus");
        QTest::addColumn<QString>("before"); // buttons clicked on both tabs first
        QTest::addColumn<QString>("button");
        const int none = Qt::NoModifier;
        QTest::newRow("return on the grid starts") << int(Qt::Key_Return) << none << "grid"
                                                   << ""
                                                   << "Start";
        QTest::newRow("space on the Start button pauses") << int(Qt::Key_Space) << none << "start"
                                                          << "Start"
                                                          << "Pause";
        QTest::newRow("space resumes") << int(Qt::Key_Space) << none << "memo"
                                       << "Start,Pause"
                                       << "Pause";
        QTest::newRow("page down on the grid: next") << int(Qt::Key_PageDown) << none << "grid"
                                                     << "Start"
                                                     << "Next";
        QTest::newRow("page up: previous") << int(Qt::Key_PageUp) << none << "tabs"
                                           << "Next,Next"
                                           << "Previous";
        QTest::newRow("ctrl+r resets") << int(Qt::Key_R) << int(Qt::ControlModifier) << "pages"
                                       << "Start"
                                       << "Reset";
        QTest::newRow("keypad enter") << int(Qt::Key_Enter) << int(Qt::KeypadModifier) << "reset"
                                      << "Next"
                                      << "Start";
        // A modifier hit by a pedal or a glove never reaches the focused button.
        QTest::newRow("shift+space on a focused Reset pauses")
            << int(Qt::Key_Space) << int(Qt::ShiftModifier) << "reset"
            << "Start"
            << "Pause";
        QTest::newRow("ctrl+space on a focused Reset does nothing")
            << int(Qt::Key_Space) << int(Qt::ControlModifier) << "reset"
            << "Start"
            << "";
    }
    void keysPressTheButtons()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, focus);
        QFETCH(QString, before);
        QFETCH(QString, button);
        TwinTabs t;
        for (const QString &role : before.split(',', Qt::SkipEmptyParts))
            for (int i : {0, 1})
                t.button(i, role)->click();
        QCOMPARE(t.state(0), t.state(1));
        const QStringList start = t.state(0);
        control<QTabWidget>(t.w, "pgctrlFilms")->setCurrentIndex(0);
        QWidget *target = control<QTabWidget>(t.w, "pgctrlMain")->tabBar();
        if (focus == "grid")
            target = StepGrid(t.tab[0]);
        else if (focus == "start")
            target = StartButton(t.tab[0]);
        else if (focus == "reset")
            target = ResetButton(t.tab[0]);
        else if (focus == "memo")
            target = CommentsMemo(t.tab[0]);
        else if (focus == "tabs")
            target = control<QTabWidget>(t.w, "pgctrlFilms")->tabBar();
        target->setFocus();
        QTest::keyClick(target, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
        if (button.isEmpty()) {
            QCOMPARE(t.state(0), start);
        } else {
            QVERIFY(t.state(0) != start);
            // The twin, by a click on its own tab.
            control<QTabWidget>(t.w, "pgctrlFilms")->setCurrentIndex(1);
            t.button(1, button)->click();
            QCOMPARE(t.state(0), t.state(1));
        }
        QCOMPARE(t.f.dialogs.errors(), QStringList());
    }

    void aCellEditorKeepsItsKeys()
    {
        TwinTabs t;
        StringGrid *grid = StepGrid(t.tab[0]);
        const QModelIndex cell = grid->model()->index(2, 4);
        grid->setCurrentIndex(cell);
        const QStringList idle = t.state(0);
        grid->edit(cell);
        QLineEdit *editor = grid->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_B);
        QTest::keyClick(editor, Qt::Key_Space);
        QTest::keyClick(editor, Qt::Key_R, Qt::ControlModifier);
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid->isEditing());
        QCOMPARE(grid->grid()->cell(4, 2), QStringLiteral("b "));
        QCOMPARE(t.state(0), idle);
        // The editor closed, Return is the tab's again.
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(t.engine().process(0).isRunning());
    }

    // A foot pedal that types "b", learned on Préférences: it pauses the
    // process on show, once however long it is held, and types in a field.
    void aLearnedPedalKey()
    {
        TwinTabs t;
        PreferencesPage *pref = t.w->preferences();
        t.w->showPage(7);
        control<QPushButton>(pref, "btnPedalKey1")->click();
        QTest::keyClick(control<QPushButton>(pref, "btnPedalKey1"), Qt::Key_B);
        QCOMPARE(control<QPushButton>(pref, "btnPedalKey1")->text(), "B");
        QCOMPARE(control<QComboBox>(pref, "cbxPedalAction1")->currentIndex(), 1);
        // Typed in a field, it types.
        QTest::keyClick(control<LabeledEdit>(pref, "lbleFogMinutes"), Qt::Key_B);
        QCOMPARE(control<LabeledEdit>(pref, "lbleFogMinutes")->text(), "4b");

        t.w->showPage(0);
        StringGrid *grid = StepGrid(t.tab[0]);
        QTest::keyClick(grid, Qt::Key_Return);
        QVERIFY(t.engine().process(0).isRunning());
        QTest::keyClick(grid, Qt::Key_B);
        QCOMPARE(t.engine().process(0).state(), ProcessState::Paused);
        // Held down, it repeats: nothing more.
        for (int k = 0; k < 3; ++k) {
            QKeyEvent held(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b", true);
            QApplication::sendEvent(grid, &held);
        }
        QCOMPARE(t.engine().process(0).state(), ProcessState::Paused);
        QTest::keyClick(grid, Qt::Key_B);
        QVERIFY(t.engine().process(0).isRunning());
        // In a cell's editor it is a letter.
        const QModelIndex cell = grid->model()->index(3, 4);
        grid->setCurrentIndex(cell);
        grid->edit(cell);
        QLineEdit *editor = grid->viewport()->findChild<QLineEdit *>();
        QVERIFY(editor);
        QTest::keyClick(editor, Qt::Key_B);
        QVERIFY(t.engine().process(0).isRunning());
        QTest::keyClick(editor, Qt::Key_Return);
        QTRY_VERIFY(!grid->isEditing());
        QCOMPARE(grid->grid()->cell(4, 3), QStringLiteral("b"));

        // Kept as a line of its own.
        control<LabeledEdit>(pref, "lbleFogMinutes")->setText("4");
        control<QPushButton>(pref, "btnPrefSave")->click();
        QCOMPARE(t.f.dir.read("wsettings.txt"), crlf(AppFixture::settingsLines("PedalKey1=66,1")));
        QCOMPARE(t.f.dialogs.errors(), QStringList());
    }

    // An error box raised by a tick stays open while the process runs on the
    // fake clock: the count-down goes on behind it and its cells end on time,
    // and the box opens over the big display on show.
    void aBoxHoldsNoClock()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", crlf({"[Titel]", "Film", "[Comments]", "", "[Process]",
                                        "Step\tTime\tTime 2\tWait\tAgit", "Soak\t00:00:02\t\t\t",
                                        "Dev\t00:00:03\t\t\tA", "Fix\t00:00:04\t\t\t"}));
        f.dir.write("films.txt", crlf({"a.txt"}));
        f.dir.write("agit.txt", crlf({"A\tInversions\tdeux_00:00:02_00:00:00"}));
        TfrmMain &w = f.start();
        w.show();
        ProcessTab *tab = w.processPages()->tab(0);
        Process &p = tab->process();
        QTest::keyClick(StepGrid(tab), Qt::Key_F11);
        QVERIFY(w.darkroom()->bigDisplayShown());
        // The tab's timer as it fires: stopped, then its timeout.
        const auto fire = [&] {
            QVERIFY(StepTimer(tab)->isActive());
            f.clock.setNowMs(*w.processPages()->engine().face(0).tickDueMs);
            StepTimer(tab)->stop();
            QMetaObject::invokeMethod(StepTimer(tab), "timeout");
        };
        qint64 devStart = -1, devEnded = -1;
        f.dialogs.whileOpen = [&](const ScriptedDialogs::Shown &) {
            for (int n = 0; n < 10 && p.currentRow() == 2 && !QTest::currentTestFailed(); ++n)
                fire();
            devEnded = f.clock.nowMs();
        };
        StartButton(tab)->click();
        for (int n = 0; n < 10 && p.currentRow() == 1 && !QTest::currentTestFailed(); ++n)
            fire();
        devStart = f.clock.nowMs();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QTRY_COMPARE(f.dialogs.errors(),
                     QStringList{"\"agit.txt\": line 1: 'deux' is not a valid integer value."});
        QCOMPARE(f.dialogs.shown.back().parent, QStringLiteral("frmBigDisplay"));
        QCOMPARE(p.currentRow(), 3);
        QCOMPARE(devEnded, devStart + 3000 + 2);
        QVERIFY(p.isRunning());
    }

    void tabAndPageKeys()
    {
        TwinTabs t;
        QTest::keyClick(StepGrid(t.tab[0]), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(control<QTabWidget>(t.w, "pgctrlFilms")->currentIndex(), 1);
        QTest::keyClick(PauseButton(t.tab[1]), Qt::Key_Tab, Qt::ControlModifier);
        QCOMPARE(control<QTabWidget>(t.w, "pgctrlFilms")->currentIndex(), 0);
        QTest::keyClick(control<QTabWidget>(t.w, "pgctrlMain")->tabBar(), Qt::Key_Backtab,
                        Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(control<QTabWidget>(t.w, "pgctrlFilms")->currentIndex(), 1);
        QTest::keyClick(StepGrid(t.tab[1]), Qt::Key_3, Qt::ControlModifier);
        QCOMPARE(control<QTabWidget>(t.w, "pgctrlMain")->currentWidget(),
                 control<QWidget>(t.w, "tbshtDilutions"));
        // Away from the process tabs the keys are the controls' own.
        QTest::keyClick(control<QTabWidget>(t.w, "pgctrlMain")->tabBar(), Qt::Key_Return);
        QVERIFY(!t.engine().process(1).isRunning());
        QTest::keyClick(control<QTabWidget>(t.w, "pgctrlMain")->tabBar(), Qt::Key_2,
                        Qt::ControlModifier);
        QCOMPARE(control<QTabWidget>(t.w, "pgctrlMain")->currentWidget(),
                 control<QWidget>(t.w, "tbshtPapers"));
        QTest::keyClick(control<QTabWidget>(t.w, "pgctrlMain")->tabBar(), Qt::Key_1,
                        Qt::ControlModifier);
        QCOMPARE(control<QTabWidget>(t.w, "pgctrlMain")->currentWidget(),
                 control<QWidget>(t.w, "tbshtFilms"));
        QTest::keyClick(control<QTabWidget>(t.w, "pgctrlMain")->tabBar(), Qt::Key_Return);
        QVERIFY(t.engine().process(1).isRunning());
    }
};

QTEST_MAIN(TestProcessTabs)
#include "tst_process_tabs.moc"
