#include "core/app/language.h"
#include "core/base/clock.h"
#include "core/base/runtime_error.h"
#include "core/journal/journal_export.h"
#include "core/journal/journal_recorder.h"
#include "core/process/process_file.h"
#include "core/textfile/text_file.h"
#include "test_support.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using Phase = JournalCell::Phase;

JournalTexts englishTexts()
{
    LanguageTable language;
    language.loadFile(QFINDTESTDATA("../../../sample/english.txt"));
    return JournalTexts::fromLanguage(language);
}

JournalRecorder::CellStart cell(const char *step, int row, Phase phase, int fileSeconds)
{
    JournalRecorder::CellStart c;
    c.step = step;
    c.row = row;
    c.phase = phase;
    c.fileSeconds = fileSeconds;
    c.givenSeconds = fileSeconds;
    return c;
}

JournalRun endedRun(const QString &title, QDateTime started, int cells = 6)
{
    JournalRun r;
    r.started = started;
    r.title = title;
    r.file = "p.txt";
    for (int i = 0; i < cells; ++i) {
        JournalCell c;
        c.step = QStringLiteral("Step %1").arg(i + 1);
        c.row = i + 1;
        c.fileSeconds = c.givenSeconds = 60;
        c.startMs = i * 60000;
        c.endMs = (i + 1) * 60000;
        r.cells.push_back(c);
    }
    r.end = JournalRun::End::Finished;
    r.endMs = cells * 60000;
    return r;
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT
private slots:
    // One run with a pause, a late resume, a Suivant over a cell and a wait
    // mark, ended by Réinitialiser, gives exactly this journal; a crash in the
    // middle leaves one that reads back as cut off.
    void recordedRun()
    {
        TempWorkDir dir;
        FakeClock clock;
        JournalStore store(dir.path());
        JournalRecorder rec(store, clock);
        const auto id =
            rec.runStarted({"Ilford FP4 Plus - ID-11 stock - 20 °C", "fp4_id11.txt", 2});
        rec.cellStarted(id, cell("Prémouillage", 1, Phase::Main, 60));
        clock.advanceMs(60000);
        rec.cellEnded(id);
        JournalRecorder::CellStart dev = cell("Révélateur", 2, Phase::Main, 510);
        dev.givenSeconds = 533;
        dev.wearFactor = 1.2;
        dev.temperatureFactor = 0.8717;
        dev.bath = "ID-11";
        dev.bathUse = 3;
        rec.cellStarted(id, dev);
        rec.reading(id, 20);
        clock.advanceMs(120000);
        rec.reading(id, 20); // the same again: nothing new
        rec.paused(id);

        JournalStore crashed(dir.path());
        QCOMPARE(crashed.load(), QStringList());
        QCOMPARE(crashed.runs().size(), size_t(1));
        QCOMPARE(crashed.runs()[0].end, JournalRun::End::CutOff);
        QCOMPARE(crashed.runs()[0].cells.back().pauses, 1);
        QVERIFY(!crashed.runs()[0].cells.back().endMs);

        clock.advanceMs(30500);
        rec.resumed(id);
        rec.reading(id, 22);
        clock.advanceMs(89750);
        rec.cellStarted(id, cell("Bain d'arrêt", 3, Phase::Main, 30)); // Suivant
        clock.advanceMs(30000);
        rec.cellStarted(id, cell("Fixateur", 4, Phase::Main, 60));
        clock.advanceMs(60000);
        rec.cellStarted(id, cell("Fixateur", 4, Phase::Wait, 60));
        clock.advanceMs(11750);
        rec.cellEnded(id);
        rec.cellStarted(id, cell("Lavage", 5, Phase::Main, 600));
        clock.advanceMs(48000);
        rec.runEnded(id, JournalRun::End::Reset, 5);
        QVERIFY(!rec.isLive(id));

        QCOMPARE(dir.read("journal.txt"),
                 crlf({"[Run]", "Started=2025-12-09 10:30:00",
                       "Process=Ilford FP4 Plus - ID-11 stock - 20 °C", "File=fp4_id11.txt",
                       "Films=2", "Note=",
                       "Cell=1\tmain\tPrémouillage\t00:01:00\t00:01:00\t\t\t00:00:00.000\t"
                       "00:01:00.000\t0\t00:00:00.000\t\t",
                       "Cell=2\tmain\tRévélateur\t00:08:30\t00:08:53\t1.2\t0.8717\t00:01:00.000\t"
                       "00:05:00.250\t1\t00:00:30.500\tID-11\t3",
                       "Reading=00:01:00.000\t20", "Reading=00:03:30.500\t22",
                       "Cell=3\tmain\tBain d'arrêt\t00:00:30\t00:00:30\t\t\t00:05:00.250\t"
                       "00:05:30.250\t0\t00:00:00.000\t\t",
                       "Cell=4\tmain\tFixateur\t00:01:00\t00:01:00\t\t\t00:05:30.250\t"
                       "00:06:30.250\t0\t00:00:00.000\t\t",
                       "Cell=4\twait\tFixateur\tX\t\t\t\t00:06:30.250\t00:06:42.000\t0\t"
                       "00:00:00.000\t\t",
                       "Cell=5\tmain\tLavage\t00:10:00\t00:10:00\t\t\t00:06:42.000\t"
                       "00:07:30.000\t0\t00:00:00.000\t\t",
                       "End=reset 5\t00:07:30.000"}));
        JournalStore back(dir.path());
        QCOMPARE(back.load(), QStringList());
        QVERIFY(back.runs() == store.runs());
        QCOMPARE(runEndText(englishTexts(), back.runs()[0]), QString("reset at step 5"));
    }

    void twoRunsAtOnceAndTheClose()
    {
        TempWorkDir dir;
        FakeClock clock;
        JournalStore store(dir.path());
        JournalRecorder rec(store, clock);
        const auto a = rec.runStarted({"Paper", "papier.txt", 1});
        rec.cellStarted(a, cell("Dev", 1, Phase::Main, 60));
        clock.advanceMs(5000);
        const auto b = rec.runStarted({"Film", "film.txt", 3});
        rec.cellStarted(b, cell("Dev", 1, Phase::Main, 480));
        clock.advanceMs(55000);
        rec.runEnded(a, JournalRun::End::Finished);
        clock.advanceMs(1000);
        rec.programClosed();
        JournalStore back(dir.path());
        back.load();
        QCOMPARE(back.runs().size(), size_t(2));
        QCOMPARE(back.runs()[0].end, JournalRun::End::Finished);
        QCOMPARE(back.runs()[0].totalMs(), qint64(60000));
        QCOMPARE(back.runs()[1].end, JournalRun::End::Closed);
        QCOMPARE(back.runs()[1].films, 3);
        QCOMPARE(back.runs()[1].cells[0].actualMs(), std::optional<qint64>(56000));
    }

    // A full disk: a cell end that cannot be written keeps the run's file as
    // it was, the run's end leaves journal.txt as it was, and the next start
    // reads the run from its file, cut off, and adds it.
    void failedWritesKeepTheJournal()
    {
        TempWorkDir dir;
        const QByteArray old =
            crlf(journalLines({endedRun("Old", wallTime(QDate(2025, 1, 1), QTime(9, 0)))}));
        dir.write("journal.txt", old);
        const pid_t pid = ::fork();
        if (pid == 0) {
            std::signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096}; // no file grows past 4 KB
            ::setrlimit(RLIMIT_FSIZE, &limit);
            FakeClock clock;
            JournalStore store(dir.path());
            JournalRecorder rec(store, clock);
            int failures = 0;
            const auto id = rec.runStarted({"New", "n.txt", 1});
            const QByteArray name(1000, 'a'); // the fourth cell takes the run past 4 KB
            for (int i = 0; i < 5; ++i) {
                try {
                    rec.cellStarted(id, cell(name.constData(), i + 1, Phase::Main, 60));
                } catch (const RuntimeError &) {
                    ++failures;
                }
            }
            try {
                rec.runEnded(id, JournalRun::End::Finished);
            } catch (const RuntimeError &) {
                ++failures;
            }
            ::_exit(failures);
        }
        int status = 0;
        QCOMPARE(::waitpid(pid, &status, 0), pid);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 2); // the cell end once, not again; the run's end
        QCOMPARE(dir.read("journal.txt"), old);

        JournalStore back(dir.path());
        QCOMPARE(back.load(), QStringList());
        QCOMPARE(back.runs().size(), size_t(2));
        QCOMPARE(back.runs()[1].end, JournalRun::End::CutOff);
        QCOMPARE(back.runs()[1].cells.size(), size_t(3));
        QVERIFY(dir.read("journal.txt").startsWith(old));
        JournalStore again(dir.path());
        again.load();
        QVERIFY(again.runs() == back.runs());
    }

    // A line that is not understood, or cut by a crash, is said with its file
    // and line; every other run reads, and a save gives the line back.
    void badLinesAreSaidAndKept_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QStringList>("problems");
        QTest::addColumn<int>("runs");
        const QStringList good{"[Run]",   "Started=2025-12-01 09:00:00", "Process=A", "File=a.txt",
                               "Films=1", "End=finished\t00:10:00.000"};
        QTest::newRow("a cut last line")
            << (QStringList(good) << "[Run]"
                                  << "Started=2025-12-02 09:00:00"
                                  << "Cell=1\tmain\tRév")
            << QStringList{"line 9: \"1\tmain\tRév\" is not a valid Cell"} << 2;
        QTest::newRow("before any run, an unknown key, after the end")
            << (QStringList{"hello"} << good.mid(0, 5) << "Colour=red" << good.last() << "Films=2")
            << QStringList{"line 1: \"hello\" is not a line of a run",
                           "line 7: \"Colour\" is not a key of a run",
                           "line 9: \"Films=2\" after the end of its run"}
            << 1;
        QTest::newRow("a bad date and a line after the end")
            << (QStringList{"[Run]", "Started=2025-02-30 09:00:00", "End=finished\t00:01:00.000",
                            "End=closed\t00:02:00.000"})
            << QStringList{"line 2: \"2025-02-30 09:00:00\" is not a valid Started",
                           "line 4: \"End=closed\t00:02:00.000\" after the end of its run"}
            << 1;
    }
    void badLinesAreSaidAndKept()
    {
        QFETCH(QStringList, lines);
        QFETCH(QStringList, problems);
        QFETCH(int, runs);
        TempWorkDir dir;
        dir.write("journal.txt", crlf(lines));
        JournalStore store(dir.path());
        QStringList expected;
        for (const QString &p : std::as_const(problems))
            expected << fileError(dir.file("journal.txt"), p);
        QCOMPARE(store.load(), expected);
        QCOMPARE(int(store.runs().size()), runs);
        store.save();
        JournalStore again(dir.path());
        QCOMPARE(again.load().size(), expected.size()); // the lines moved, not the problems
        QVERIFY(again.runs() == store.runs());
    }

    // Near 1 MB the ended runs go to journal-YYYY.txt, by the year of the
    // oldest; a journal.txt found over the limit is moved aside whole.
    void overTheLimitMovesAside()
    {
        TempWorkDir dir;
        std::vector<JournalRun> runs;
        qsizetype bytes = 0;
        for (int i = 0;; ++i) {
            JournalRun r = endedRun(QStringLiteral("Run %1").arg(i),
                                    wallTime(QDate(2024, 3, 1).addDays(i % 400), QTime(9, 0)));
            const qsizetype size = crlf(journalLines({r})).size();
            if (bytes + size > JournalFormat::MoveAsideBytes - 1500)
                break;
            bytes += size;
            runs.push_back(std::move(r));
        }
        dir.write("journal.txt", crlf(journalLines(runs)));
        FakeClock clock;
        JournalStore store(dir.path());
        JournalRecorder rec(store, clock);
        const auto id = rec.runStarted({"New", "n.txt", 1});
        const QByteArray longName(400, 'a');
        for (int i = 0; i < 8; ++i)
            rec.cellStarted(id, cell(longName.constData(), i + 1, Phase::Main, 60));
        QVERIFY(QFile::exists(dir.file("journal-2024.txt")));
        QCOMPARE(store.runs().size(), size_t(1));
        QCOMPARE(store.loadArchives(), QStringList());
        QCOMPARE(store.archives().size(), size_t(1));
        QCOMPARE(store.archives()[0].read.runs.size(), runs.size());
        QCOMPARE(allRuns(store).size(), runs.size() + 1);
        rec.programClosed(); // its run to journal.txt, out of its own file

        // Over the limit when read: moved aside under the next free name.
        dir.write("journal.txt", crlf({"[Run]", "Started=2024-05-01 10:00:00"}) +
                                     QByteArray(TextFile::MaxFileBytes, 'x'));
        JournalStore big(dir.path());
        QCOMPARE(big.load(), QStringList());
        QVERIFY(big.runs().empty());
        QVERIFY(!QFile::exists(dir.file("journal.txt")));
        QVERIFY(QFile::exists(dir.file("journal-2024-2.txt")));
    }

    // What a spreadsheet gets reads back, field for field, in Python's csv
    // module.
    void csvReadsBackAsWritten()
    {
        const QString python = QStandardPaths::findExecutable("python3");
        if (python.isEmpty())
            QSKIP("python3 is not installed");
        TempWorkDir dir;
        JournalRun run = endedRun("He said \"stop, now\"\nand left",
                                  wallTime(QDate(2025, 12, 9), QTime(10, 30)), 1);
        run.note = "dense highlights, try −10 %";
        run.cells[0].readings = {{30000, 20.5}};
        run.cells[0].bath = "ID-11";
        run.cells[0].bathUse = 2;
        JournalRun empty = endedRun("Nothing, yet", wallTime(QDate(2025, 12, 10), QTime(8, 0)), 0);
        writeJournalCsv(dir.file("out.csv"), {&run, &empty}, englishTexts());
        QProcess p;
        p.start(python, {"-c",
                         "import csv, json, sys\n"
                         "with open(sys.argv[1], newline='', encoding='utf-8') as f:\n"
                         "    print(json.dumps(list(csv.reader(f))))",
                         dir.file("out.csv")});
        QVERIFY(p.waitForFinished(30000));
        const QJsonArray rows = QJsonDocument::fromJson(p.readAllStandardOutput()).array();
        QCOMPARE(rows.size(), 3);
        QCOMPARE(rows[0].toArray().size(), 19);
        QCOMPARE(rows[0].toArray()[0].toString(), QString("Started"));
        QStringList first;
        for (const QJsonValue &v : rows[1].toArray())
            first << v.toString();
        QCOMPARE(first,
                 (QStringList{"2025-12-09 10:30:00", "He said \"stop, now\"\nand left", "p.txt",
                              "1", "finished", "00:01:00", "Step 1", "main time", "00:01:00",
                              "00:01:00", "", "", "00:01:00", "0", "00:00:00", "00:00:30 20.5 °C",
                              "ID-11", "2", "dense highlights, try −10 %"}));
        QCOMPARE(rows[2].toArray()[1].toString(), QString("Nothing, yet"));
        QCOMPARE(rows[2].toArray().size(), 19);
    }

    // "Save as process": the run's process with the times it actually took.
    void saveAsProcess()
    {
        JournalRun run = endedRun("FP4", wallTime(QDate(2025, 12, 9), QTime(10, 30)), 0);
        JournalCell dev;
        dev.row = 2;
        dev.startMs = 60000;
        dev.endMs = 60000 + 612400; // 10:12.4
        JournalCell wait = dev;
        wait.phase = Phase::Wait;
        run.cells = {dev, wait};
        const std::vector<QStringList> table{{"Étape", "Temps", "Temps 2", "Attente", "Agitation"},
                                             {"Pré", "00:01:00", "", "", "PRE"},
                                             {"Rév", "00:08:30", "", "X", "ILFORD"}};
        const ProcessDraft d =
            runAsProcess(run, "FP4", {"c", ""}, std::nullopt, table, englishTexts());
        std::vector<QStringList> read;
        int cols = 5;
        const ProcessFileText text = parseProcessLines(processDraftLines(d), read, cols);
        QCOMPARE(text.title, QString("FP4"));
        QCOMPARE(text.comments, (QStringList{"c", "Actual times of the run of 2025-12-09 10:30."}));
        QCOMPARE(read[1], table[1]);
        QCOMPARE(read[2], (QStringList{"Rév", "00:10:12", "", "X", "ILFORD"}));
        QCOMPARE(tableFromRun(run, table[0])[2], (QStringList{"", "00:00:00", "", "X", ""}));
    }

    void filterNewestFirst()
    {
        const JournalRun a = endedRun("Ilford HP5", wallTime(QDate(2025, 11, 1), QTime(9, 0)));
        const JournalRun b = endedRun("Papier RC", wallTime(QDate(2025, 11, 20), QTime(9, 0)));
        const JournalRun c = endedRun("Ilford FP4", wallTime(QDate(2025, 12, 5), QTime(9, 0)));
        const std::vector<const JournalRun *> all{&a, &b, &c};
        QCOMPARE(filterRuns(all, "", {}, {}), (std::vector<const JournalRun *>{&c, &b, &a}));
        QCOMPARE(filterRuns(all, "ilford", {}, {}), (std::vector<const JournalRun *>{&c, &a}));
        QCOMPARE(filterRuns(all, "", QDate(2025, 11, 20), QDate(2025, 12, 4)),
                 (std::vector<const JournalRun *>{&b}));
    }
};

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
