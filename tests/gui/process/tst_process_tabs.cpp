#include "app_fixture.h"
#include "gui/app/preferences_page.h"
#include "gui/process/process_tab.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QLabel>
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
        QCOMPARE(names(w.pgctrlPapers), paperTabs);
        QCOMPARE(names(w.pgctrlFilms), filmTabs);
        ProcessEngine &e = w.processPages()->engine();
        QCOMPARE(e.size(), int(papers.size() + films.size()));
        QCOMPARE(int(e.RemainingSecs.size()), e.size());
        QCOMPARE(int(e.AgitSeqs.size()), e.size());
        for (const QString &tab : paperTabs + filmTabs) {
            const QString tag = tab.mid(3);
            for (const QString &name :
                 {"sgrd" + tag, "lbl" + tag + "Stepc", "lbl" + tag + "Timec", "lbl" + tag + "Agitc",
                  "btn" + tag + "Start", "btn" + tag + "Pause", "btn" + tag + "Previous",
                  "btn" + tag + "Next", "btn" + tag + "Reset", "mmo" + tag + "Comments",
                  "gge" + tag, "edt" + tag + "Titel"})
                QVERIFY2(w.findChild<QWidget *>(name), qPrintable(name));
            QVERIFY(w.findChild<QTimer *>("tmr" + tag));
            QVERIFY(w.findChild<QTimer *>("tmrAgit" + tag));
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
        QCOMPARE(w.processPages()->engine().process(0).FileName, QStringLiteral("a.txt"));
        QCOMPARE(w.pgctrlFilms->tabText(0), QStringLiteral("Ilford HP5"));
        QCOMPARE(t->StepLabel->text(), QStringLiteral("Ilford HP5"));
        QCOMPARE(t->StepGrid->geometry(), QRect(6, 5, 325, 425));
        QCOMPARE(t->StepLabel->geometry(), QRect(340, 5, 411, 55));
        QCOMPARE(t->TimeLabel->geometry(), QRect(340, 58, 411, 66));
        QCOMPARE(t->AgitLabel->geometry(), QRect(340, 123, 411, 20));
        QCOMPARE(t->TimeLabel->text(), QStringLiteral("00:00:00"));
        QCOMPARE(t->TimeLabel->font().pixelSize(), 60);
        QCOMPARE(t->StartButton->geometry(), QRect(340, 150, 80, 29));
        QCOMPARE(t->ResetButton->geometry(), QRect(671, 150, 80, 29));
        QCOMPARE(t->CommentsMemo->geometry(), QRect(340, 185, 411, 245));
        QVERIFY(t->CommentsMemo->isReadOnly());
        QCOMPARE(t->CommentsMemo->toPlainText(), QStringLiteral("comment of Ilford HP5"));
        QCOMPARE(t->Gauge->geometry(), QRect(6, 440, 747, 43));
        QVERIFY(!t->TitleEdit->isVisibleTo(t));
        QVERIFY(!t->StepTimer->isActive());
        QCOMPARE(t->StepTimer->interval(), 1000);
        QCOMPARE(t->StepTimer->timerType(), Qt::PreciseTimer);
        // Captions from the language file, entries 17 to 21.
        QCOMPARE(t->StartButton->text(), QStringLiteral("T17"));
        QCOMPARE(t->ResetButton->text(), QStringLiteral("T21"));
        GridModel *g = t->StepGrid->grid();
        QCOMPARE(g->fixedRows(), 1);
        QCOMPARE(g->fixedCols(), 1);
        QCOMPARE(g->colWidth(0), 125);
        QCOMPARE(g->colWidth(4), 35);
        QCOMPARE(g->currentCol(), 1);
        QCOMPARE(g->currentRow(), 1);
        QCOMPARE(w.processPages()->engine().process(0).CurrentCol, 0);
        QCOMPARE(w.processPages()->engine().process(0).CurrentRow, 0);
    }

    void noTitleAndWideFile()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", processFile(QString(), 1));
        f.dir.write("films.txt", crlf({"a.txt"}));
        TfrmMain &w = f.start();
        QCOMPARE(w.pgctrlFilms->tabText(0), QStringLiteral("edtF0Titel"));
        GridModel *g = w.processPages()->tab(0)->StepGrid->grid();
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
        QCOMPARE(w.pgctrlPapers->count(), 2);
        QCOMPARE(w.pgctrlPapers->tabText(0), QStringLiteral("A"));
        QCOMPARE(w.pgctrlPapers->tabText(1), QStringLiteral("TabP1"));
        QCOMPARE(w.processPages()->engine().size(), 2);
        QCOMPARE(w.pgctrlMain->currentWidget(), w.preferences());
        // The language file was not reached.
        QCOMPARE(w.preferences()->btnPrefSave->text(), QStringLiteral("Enregistrer"));
        // The tab built before the failure works.
        w.processPages()->tab(0)->StartButton->click();
        QVERIFY(w.processPages()->tab(0)->StepTimer->isActive());
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
        QTabWidget alone(w.tbshtFilms);
        alone.setGeometry(w.pgctrlFilms->geometry());
        for (const QString &title : titles)
            alone.addTab(new QWidget, title);
        w.pgctrlMain->setCurrentWidget(w.tbshtFilms);
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        QCOMPARE(w.pgctrlFilms->count(), titles.size());
        for (int i = 0; i < titles.size(); ++i)
            QCOMPARE(w.pgctrlFilms->tabBar()->tabRect(i), alone.tabBar()->tabRect(i));
        QCOMPARE(w.pgctrlFilms->tabBar()->geometry(), alone.tabBar()->geometry());
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
        QCOMPARE(w.pgctrlFilms->tabText(0), QStringLiteral("TabF0"));
    }

    void listLines_data()
    {
        QTest::addColumn<QStringList>("films");
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QStringList>("errors");
        // An editor's trailing empty line used to name the process folder
        // itself and stop the load with "File access denied".
        QTest::newRow("blank lines skipped") << QStringList{"", "a.txt", "", " \t ", "c.txt", ""}
                                             << QStringList{"A", "C"} << QStringList{};
        QTest::newRow("only blank lines")
            << QStringList{"", "  "} << QStringList{} << QStringList{};
        QTest::newRow("nul inside a name")
            << QStringList{QString("a.txt") + QChar(0) + "junk", "c.txt"} << QStringList{"TabF0"}
            << QStringList{QString("\"proc/a.txt") + QChar(0x2400) + "junk\": Invalid file name."};
    }
    void listLines()
    {
        QFETCH(QStringList, films);
        QFETCH(QStringList, tabs);
        QFETCH(QStringList, errors);
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", processFile("A"));
        f.dir.write("proc/c.txt", processFile("C"));
        f.dir.write("films.txt", crlf(films));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), errors);
        QStringList shown;
        for (int i = 0; i < w.pgctrlFilms->count(); ++i)
            shown << w.pgctrlFilms->tabText(i);
        QCOMPARE(shown, tabs);
        // Without an error the load went on to the captions.
        QCOMPARE(w.preferences()->btnPrefSave->text(),
                 errors.isEmpty() ? QStringLiteral("T38") : QStringLiteral("Enregistrer"));
    }
};

QTEST_MAIN(TestProcessTabs)
#include "tst_process_tabs.moc"
