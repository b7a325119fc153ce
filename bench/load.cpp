// Loading cost: LoadProcessLists for 200 processes of 30 steps each, and
// ReadProcessFile on files of 4,000 to 32,000 lines (linear in the size; a
// larger file is over the 1 MB a text file may have).
#include "bench_rig.h"
#include "core/base/clock.h"
#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "core/textfile/text_file.h"
#include "gui/dialogs.h"
#include "gui/process/process_tab.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>

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

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchRig rig;
    QStringList papers, films;
    for (int i = 0; i < 200; ++i) {
        const QString name = QStringLiteral("p%1.txt").arg(i);
        TextFile::writeLines(QStringLiteral("proc/") + name, processLines(30));
        (i < 100 ? papers : films) << name;
    }
    TextFile::writeLines(QStringLiteral("papers.txt"), papers);
    TextFile::writeLines(QStringLiteral("films.txt"), films);

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
        TextFile::writeLines(QStringLiteral("big.txt"), processLines(n));
        GridModel g(5, 2);
        t.restart();
        ReadProcessFile(QStringLiteral("big.txt"), g);
        const double ms = t.nsecsElapsed() / 1e6;
        std::printf("  %6d lines: %7.1f ms (%.2f us per line)", n, ms, ms * 1000 / n);
        // Where the time goes: the file layer, the reading rules, the grid.
        t.restart();
        const QStringList lines = TextFile::readLines(QStringLiteral("big.txt"));
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
    return rig.dialogs.errors().isEmpty() ? 0 : 1;
}
