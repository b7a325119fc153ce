// Loading cost: LoadProcessLists for 200 processes of 30 steps each,
// ReadProcessFile on files of 4,000 to 32,000 lines (linear in the size; a
// larger file is over the 1 MB a text file may have), and the journal of
// 10,000 runs the Journal page reads when it is first shown (journal.txt and
// the years moved aside), with the cost of one recorded event on a full
// journal.txt.
#include "bench_rig.h"
#include "core/base/clock.h"
#include "core/grid/grid_model.h"
#include "core/journal/journal_export.h"
#include "core/journal/journal_recorder.h"
#include "core/process/process_file.h"
#include "core/textfile/text_file.h"
#include "gui/dialogs.h"
#include "gui/journal/journal_page.h"
#include "gui/process/process_tab.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWidget>

#include <algorithm>
#include <cstdio>
#include <map>

namespace {

QStringList processLines(int steps)
{
    QStringList lines{"[Titel]",   "Benchmark", "[Comments]",
                      "Generated", "[Process]", "Step\tTime\tTime 2\tWait\tAgit"};
    for (int s = 0; s < steps; ++s)
        lines << QStringLiteral("Step %1\t00:0%2:00\t\t%3\tA")
                     .arg(s)
                     .arg(s % 10)
                     .arg(s % 7 ? "" : "X");
    return lines;
}

// A run as a film process leaves it: six cells, the developer read twice.
JournalRun benchRun(int i)
{
    JournalRun r;
    r.started = wallTime(QDate(2019, 1, 1).addDays(i / 4), QTime(9 + i % 4 * 3, 15));
    r.title = QStringLiteral("Ilford HP5 Plus - ID-11 stock - 20 °C");
    r.file = QStringLiteral("hp5_id11.txt");
    r.films = 1 + i % 3;
    static const char *steps[] = {"Prémouillage", "Révélateur", "Bain d'arrêt",
                                  "Fixateur",     "Lavage",     "Mouillant"};
    static const int times[] = {60, 450, 30, 300, 600, 30};
    qint64 at = 0;
    for (int s = 0; s < 6; ++s) {
        JournalCell c;
        c.step = QString::fromUtf8(steps[s]);
        c.row = s + 1;
        c.fileSeconds = c.givenSeconds = times[s];
        c.startMs = at;
        at += times[s] * 1000 + 250;
        c.endMs = at;
        if (s == 1) {
            c.bath = QStringLiteral("ID-11");
            c.bathUse = 1 + i % 10;
            c.wearFactor = 1 + (i % 10) / 10.0;
            c.readings = {{c.startMs, 20}, {c.startMs + 120000, 20.5}};
        }
        r.cells.push_back(std::move(c));
    }
    r.end = JournalRun::End::Finished;
    r.endMs = at;
    return r;
}

void benchJournal(BenchRig &rig)
{
    QTemporaryDir dir;
    // Written as the store would leave them: files under 1 MB, by year.
    std::vector<JournalRun> chunk;
    qsizetype bytes = 0;
    int files = 0;
    std::map<int, int> ofYear;
    const auto flush = [&](bool last) {
        const int year = chunk.front().started.date().year();
        const QString name =
            last ? QStringLiteral("journal.txt") : JournalStore::archiveName(year, ++ofYear[year]);
        files += last ? 0 : 1;
        TextFile::writeLines(dir.filePath(name), journalLines(chunk));
        chunk.clear();
        bytes = 0;
    };
    for (int i = 0; i < 10000; ++i) {
        JournalRun r = benchRun(i);
        const qsizetype size =
            TextFile::encode(journalLines({r}).join(QLatin1String("\r\n"))).size() + 2;
        if (bytes + size > TextFile::MaxFileBytes)
            flush(false);
        bytes += size;
        chunk.push_back(std::move(r));
    }
    flush(true);

    QElapsedTimer t;
    t.start();
    JournalStore store(dir.path());
    store.load();
    store.loadArchives();
    const std::vector<const JournalRun *> runs = filterRuns(allRuns(store), QString(), {}, {});
    const double ms = t.nsecsElapsed() / 1e6;
    std::printf("Journal of %zu runs in %d files: %.1f ms to read and list newest first\n",
                runs.size(), files + 1, ms);

    // The Journal page shown for the first time: read, listed and painted.
    std::vector<double> pageMs;
    for (int n = 0; n < 5; ++n) {
        JournalStore pageStore(dir.path());
        QTabWidget tabs(&rig.window);
        tabs.setGeometry(0, 0, 781, 552);
        tabs.addTab(new QWidget, QStringLiteral("Films"));
        auto *page = new JournalPage(rig.ctx, pageStore, &tabs, LazyPage::Build::Later);
        tabs.addTab(page, QStringLiteral("Journal"));
        tabs.show();
        QCoreApplication::processEvents();
        t.restart();
        tabs.setCurrentWidget(page);
        page->build();
        page->repaint();
        QCoreApplication::processEvents();
        pageMs.push_back(t.nsecsElapsed() / 1e6);
        if (page->listedRuns().size() != runs.size())
            std::printf("  the page lists %zu runs\n", page->listedRuns().size());
    }
    std::sort(pageMs.begin(), pageMs.end());
    std::printf("  the Journal page shown first on them: %.1f ms (median of 5, %.1f to %.1f)\n",
                pageMs[2], pageMs.front(), pageMs.back());

    // One event on a journal.txt near 1 MB: the whole file written again.
    SystemClock clock;
    JournalStore full(dir.path());
    std::vector<JournalRun> near;
    for (int i = 0; i < 1300; ++i)
        near.push_back(benchRun(i));
    TextFile::writeLines(full.journalPath(), journalLines(near));
    JournalRecorder recorder(full, clock);
    const auto id = recorder.runStarted({QStringLiteral("Bench"), QStringLiteral("b.txt"), 1});
    JournalRecorder::CellStart dev;
    dev.step = QStringLiteral("Révélateur");
    dev.row = 1;
    recorder.cellStarted(id, dev);
    t.restart();
    for (int i = 0; i < 20; ++i)
        recorder.reading(id, 20 + i * 0.1);
    std::printf("  a reading recorded on a journal.txt of %.0f KB: %.2f ms\n",
                QFileInfo(full.journalPath()).size() / 1024.0, t.nsecsElapsed() / 1e6 / 20);
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchRig rig;
    QStringList papers, films;
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("p%1.txt").arg(i);
        TextFile::writeLines(rig.settings.file(QStringLiteral("proc/") + name), processLines(30));
        (i < 100 ? papers : films) << name;
    }
    TextFile::writeLines(rig.settings.file(QStringLiteral("papers.txt")), papers);
    TextFile::writeLines(rig.settings.file(QStringLiteral("films.txt")), films);

    ProcessPages &pages = rig.makePages();
    QElapsedTimer t;
    t.start();
    pages.LoadProcessLists();
    QCoreApplication::processEvents();
    const double loadMs = t.nsecsElapsed() / 1e6;
    std::printf("LoadProcessLists, 200 processes x 30 steps: %.1f ms (%.3f ms per process)\n",
                loadMs, loadMs / 200);
    t.restart();
    pages.destroyTabs();
    std::printf("destroying the 200 tabs: %.1f ms\n", t.nsecsElapsed() / 1e6);

    std::printf("ReadProcessFile:\n");
    for (const int n : {4000, 8000, 16000, 32000}) {
        TextFile::writeLines(rig.settings.file(QStringLiteral("big.txt")), processLines(n));
        GridModel g(5, 2);
        t.restart();
        ReadProcessFile(rig.settings.file(QStringLiteral("big.txt")), g);
        const double ms = t.nsecsElapsed() / 1e6;
        std::printf("  %6d lines: %7.1f ms (%.2f us per line)", n, ms, ms * 1000 / n);
        // Where the time goes: the file layer, the reading rules, the grid.
        t.restart();
        const QStringList lines = TextFile::readLines(rig.settings.file(QStringLiteral("big.txt")));
        const double readMs = t.nsecsElapsed() / 1e6;
        t.restart();
        std::vector<QStringList> table;
        int cols = 5;
        parseProcessLines(lines, table, cols);
        const double parseMs = t.nsecsElapsed() / 1e6;
        t.restart();
        GridModel h(5, 2);
        h.setTable(table, cols);
        std::printf("  [read %.1f, parse %.1f, grid %.1f ms]\n", readMs, parseMs,
                    t.nsecsElapsed() / 1e6);
    }
    benchJournal(rig);
    return rig.dialogs.errors().isEmpty() ? 0 : 1;
}
