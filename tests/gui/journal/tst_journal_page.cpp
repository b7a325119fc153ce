#include "app_fixture.h"
#include "core/journal/journal_store.h"
#include "gui/editors/process_editor_page.h"
#include "gui/journal/journal_page.h"

#include <QApplication>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QTableView>
#include <QTest>
#include <QThread>

#include <algorithm>
#include <cstdio>

namespace {

// Soak, a development with a wait mark after it, a stop and a fix.
const QStringList kFilm{"[Titel]",
                        "Film",
                        "[Comments]",
                        "",
                        "[Process]",
                        "Step\tTime\tTime 2\tWait\tAgit",
                        "Soak\t00:00:10\t\t\t",
                        "Dev\t00:00:20\t\tX\t",
                        "Stop\t00:00:05\t\t\t",
                        "Fix\t00:00:08\t\t\t"};
const QStringList kPaper{"[Titel]",
                         "Paper",
                         "[Comments]",
                         "",
                         "[Process]",
                         "Step\tTime\tTime 2\tWait\tAgit",
                         "Dev\t00:00:06\t\t\t",
                         "Fix\t00:00:04\t\t\t"};

void writeFolder(AppFixture &f, const QString &filmTitle = "Film")
{
    f.writeStandardFolder();
    QStringList film = kFilm;
    film[1] = filmTitle;
    f.dir.write("proc/a.txt", crlf(film));
    f.dir.write("proc/b.txt", crlf(kPaper));
    f.dir.write("films.txt", crlf({"a.txt", "b.txt"}));
}

// Time passing: every tab's ticks fire at the instants they are set for, in
// order, until ms have gone by.
void runFor(FakeClock &clock, TfrmMain &w, qint64 ms)
{
    ProcessPages &pages = *w.processPages();
    const qint64 until = clock.nowMs() + ms;
    for (int guard = 0; guard < 10000; ++guard) {
        int next = -1;
        qint64 due = until + 1;
        for (int i = 0; i < pages.engine().size(); ++i) {
            const std::optional<qint64> d = pages.engine().face(i).tickDueMs;
            if (d && *d < due && StepTimer(pages.tab(i))->isActive()) {
                due = *d;
                next = i;
            }
        }
        if (next < 0)
            break;
        clock.setNowMs(std::max(due, clock.nowMs()));
        StepTimer(pages.tab(next))->stop();
        QMetaObject::invokeMethod(StepTimer(pages.tab(next)), "timeout");
    }
    clock.setNowMs(until);
}

// "0 start", "1 pause", "run 3000" (ms), "wait 4000" (no tick fires: the
// process is stopped).
void play(FakeClock &clock, TfrmMain &window, const QStringList &script)
{
    for (const QString &step : script) {
        const QStringList w = step.split(' ');
        if (w[0] == "run" || w[0] == "wait") {
            runFor(clock, window, w[1].toLongLong());
            continue;
        }
        ProcessTab *tab = window.processPages()->tab(w[0].toInt());
        static const QMap<QString, ProcessTab::Command> commands{
            {"start", ProcessTab::Command::Start},
            {"pause", ProcessTab::Command::Pause},
            {"next", ProcessTab::Command::Next},
            {"previous", ProcessTab::Command::Previous},
            {"reset", ProcessTab::Command::Reset}};
        tab->press(commands.value(w[1]));
    }
}

QStringList journalText(AppFixture &f)
{
    return QString::fromUtf8(f.dir.read("journal.txt")).split("\r\n", Qt::SkipEmptyParts);
}

JournalPage *showJournal(TfrmMain &w)
{
    w.show();
    QTest::keyClick(&w, Qt::Key_0, Qt::ControlModifier);
    return w.journalPage();
}

QTableView *runList(JournalPage *page)
{
    return control<QTableView>(page, "tblJOURRuns");
}

// The child of killedMidRun: a run begun in folder, then nothing until it is
// killed.
int runUntilKilled(const QString &folder)
{
    ScriptedDialogs dialogs;
    FakeClock clock;
    RecordingSound sound;
    TfrmMain::Services s;
    s.dialogs = &dialogs;
    s.clock = &clock;
    s.sound = &sound;
    s.programFolder = QStringLiteral("/opt/noctarel");
    s.workingFolder = QDir(folder);
    TfrmMain w(s);
    play(clock, w, {"0 start", "run 12000"});
    std::puts(dialogs.errors().isEmpty() ? "ready" : "failed");
    std::fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

} // namespace

class TestJournalPage : public QObject
{
    Q_OBJECT
private slots:
    void runsAreWrittenAsTheyGo_data()
    {
        QTest::addColumn<QStringList>("script");
        QTest::addColumn<QStringList>("journal");
        const QString filmHead = "[Run]\nStarted=2025-12-09 10:30:00\nProcess=Film\nFile=a.txt\n"
                                 "Films=1\nNote=";
        QTest::newRow("pause, late resume, Suivant over a cell, wait mark")
            << QStringList{"0 start",  "run 3000",  "0 pause",    "wait 4000",
                           "0 pause",  "run 30000", "wait 27000", "0 pause",
                           "run 2000", "0 next",    "0 pause",    "run 10000"}
            << (filmHead +
                "\nCell=1\tmain\tSoak\t00:00:10\t00:00:10\t\t\t00:00:00.000\t00:00:14.002\t1\t"
                "00:00:04.000\t\t"
                "\nCell=2\tmain\tDev\t00:00:20\t00:00:20\t\t\t00:00:14.002\t00:00:34.004\t0\t"
                "00:00:00.000\t\t"
                "\nCell=2\twait\tDev\tX\t\t\t\t00:00:34.004\t00:01:04.000\t0\t00:00:00.000\t\t"
                "\nCell=3\tmain\tStop\t00:00:05\t00:00:05\t\t\t00:01:05.002\t00:01:06.000\t0\t"
                "00:00:00.000\t\t"
                "\nCell=4\tmain\tFix\t00:00:08\t00:00:08\t\t\t00:01:06.000\t00:01:14.002\t0\t"
                "00:00:00.000\t\t"
                "\nEnd=finished\t00:01:14.002")
                   .split('\n');
        QTest::newRow("ended by Réinitialiser")
            << QStringList{"0 start", "run 12000", "0 reset"}
            << (filmHead +
                "\nCell=1\tmain\tSoak\t00:00:10\t00:00:10\t\t\t00:00:00.000\t00:00:10.002\t0\t"
                "00:00:00.000\t\t"
                "\nCell=2\tmain\tDev\t00:00:20\t00:00:20\t\t\t00:00:10.002\t00:00:12.000\t0\t"
                "00:00:00.000\t\t"
                "\nEnd=reset 2\t00:00:12.000")
                   .split('\n');
        QTest::newRow("two processes at once")
            << QStringList{"0 start", "run 2000", "1 start", "run 9000", "0 reset"}
            << (filmHead +
                "\nCell=1\tmain\tSoak\t00:00:10\t00:00:10\t\t\t00:00:00.000\t00:00:10.002\t0\t"
                "00:00:00.000\t\t"
                "\nCell=2\tmain\tDev\t00:00:20\t00:00:20\t\t\t00:00:10.002\t00:00:11.000\t0\t"
                "00:00:00.000\t\t"
                "\nEnd=reset 2\t00:00:11.000"
                "\n[Run]\nStarted=2025-12-09 10:30:02\nProcess=Paper\nFile=b.txt\nFilms=1\nNote="
                "\nCell=1\tmain\tDev\t00:00:06\t00:00:06\t\t\t00:00:00.000\t00:00:06.002\t0\t"
                "00:00:00.000\t\t"
                "\nCell=2\tmain\tFix\t00:00:04\t00:00:04\t\t\t00:00:06.002\t00:00:09.000\t0\t"
                "00:00:00.000\t\t"
                "\nEnd=closed\t00:00:09.000")
                   .split('\n');
    }
    void runsAreWrittenAsTheyGo()
    {
        QFETCH(QStringList, script);
        QFETCH(QStringList, journal);
        AppFixture f;
        writeFolder(f);
        f.start();
        play(f.clock, *f.window, script);
        // The program closes on whatever still runs.
        f.about.reset();
        f.window.reset();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(journalText(f), journal);
    }

    void killedMidRun()
    {
        AppFixture f;
        writeFolder(f);
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("NOCTAREL_JOURNAL_CHILD", f.dir.path());
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(60000));
        QCOMPARE(child.readAllStandardOutput().trimmed(), QByteArray("ready"));
        child.kill();
        QVERIFY(child.waitForFinished());

        TfrmMain &w = f.start();
        JournalPage *page = showJournal(w);
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(page->listedRuns().size(), size_t(1));
        const JournalRun &run = *page->listedRuns().front();
        QCOMPARE(run.end, JournalRun::End::CutOff);
        QCOMPARE(run.cells.size(), size_t(2));
        QCOMPARE(run.cells[0].actualMs(), std::optional<qint64>(10002));
        QCOMPARE(run.cells[1].step, QStringLiteral("Dev"));
        QCOMPARE(run.cells[1].actualMs(), std::nullopt);
        // As the list says it, in the language's words.
        QCOMPARE(runList(page)->model()->index(0, 4).data().toString(), QStringLiteral("T194"));
        // Its file, left by the crash, is now a run of journal.txt.
        QCOMPARE(journalText(f).last(), QStringLiteral("End=cut off"));
        QVERIFY(!QFile::exists(f.dir.file("journal-run-1.txt")));
    }

    void csvReadsBackAsWritten()
    {
        AppFixture f;
        const QString title = "Film, \"fast\" one";
        writeFolder(f, title);
        TfrmMain &w = f.start();
        play(f.clock, w, {"0 start", "run 12000", "0 reset"});
        JournalPage *page = showJournal(w);
        page->chooseRun(0);
        const QString note = "dense highlights,\ntry \"-10 %\"";
        control<QPlainTextEdit>(page, "mmoJOURNote")->setPlainText(note);
        control<QPushButton>(page, "btnJOURSaveNote")->click();
        QVERIFY(journalText(f).contains("Note=dense highlights,\\ntry \"-10 %\""));
        f.dialogs.saveAnswers.push_back(f.dir.file("out.csv"));
        control<QPushButton>(page, "btnJOURExportAll")->click();
        QCOMPARE(f.dialogs.errors(), QStringList());

        QProcess python;
        python.start("python3", {"-c",
                                 "import csv, json, sys\n"
                                 "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                                 "    print(json.dumps(list(csv.reader(f))))",
                                 f.dir.file("out.csv")});
        QVERIFY(python.waitForFinished(60000));
        QCOMPARE(python.exitCode(), 0);
        const QJsonArray rows = QJsonDocument::fromJson(python.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 3); // the headings, Soak and Dev
        for (int r = 0; r < 3; ++r)
            QCOMPARE(rows[r].toArray().size(), 19);
        QCOMPARE(rows[0].toArray()[0].toString(), QStringLiteral("T197"));
        for (int r = 1; r < 3; ++r) {
            const QJsonArray row = rows[r].toArray();
            QCOMPARE(row[1].toString(), title);
            QCOMPARE(row[6].toString(), QStringList({"Soak", "Dev"})[r - 1]);
            QCOMPARE(row[18].toString(), note);
        }
    }

    void savedAsProcessOpensOnTheProcessPage()
    {
        AppFixture f;
        writeFolder(f);
        TfrmMain &w = f.start();
        play(f.clock, w,
             {"0 start", "run 3000", "0 pause", "wait 4000", "0 pause", "run 30000", "0 reset"});
        JournalPage *page = showJournal(w);
        page->chooseRun(0);
        control<QPushButton>(page, "btnJOURSaveAsProcess")->click();
        auto *editor = control<ProcessEditorPage>(w, "tbshtProcess");
        QVERIFY(editor->isVisible());
        auto *file = control<QLineEdit>(editor, "lblePROCFile");
        QCOMPARE(file->text(), QStringLiteral("proc/a_20251209-1030.txt"));
        // Nothing is written before it is checked and saved.
        QVERIFY(!QFile::exists(f.dir.file("proc/a_20251209-1030.txt")));
        control<QPushButton>(editor, "btnPROCSave")->click();
        file->setText("proc/a.txt");
        control<QPushButton>(editor, "btnPROCOpen")->click();
        file->setText("proc/a_20251209-1030.txt");
        control<QPushButton>(editor, "btnPROCOpen")->click();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(f.dialogs.messages(), QStringList());
        const GridModel &g = *control<StringGrid>(editor, "sgrdPROC")->grid();
        // Soak's pause counts, Dev ran its time, Stop and Fix never ran.
        QCOMPARE(g.cell(1, 1), QStringLiteral("00:00:14"));
        QCOMPARE(g.cell(1, 2), QStringLiteral("00:00:20"));
        QCOMPARE(g.cell(3, 2), QStringLiteral("X"));
        QCOMPARE(g.cell(1, 3), QStringLiteral("00:00:05"));
        QCOMPARE(control<QLineEdit>(editor, "lblePROCTitel")->text(), QStringLiteral("Film"));
    }
};

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    const QString child = qEnvironmentVariable("NOCTAREL_JOURNAL_CHILD");
    if (!child.isEmpty())
        return runUntilKilled(child);
    TestJournalPage test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_journal_page.moc"
