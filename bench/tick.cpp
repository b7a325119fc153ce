// The cost of one tick of a running process with 100 processes running
// (labels and grid included), the same for 100 processes whose steps use a
// bath and take temperature readings, and the lateness of cell ends under a
// real QTimer over a run of twenty 1-second cells.
#include "bench_rig.h"
#include "core/base/clock.h"
#include "core/baths/baths_file.h"
#include "core/textfile/text_file.h"
#include "gui/dialogs.h"
#include "gui/process/process_tab.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

double cpuMs()
{
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchRig rig;
    QStringList steps{"[Titel]", "Tick",      "[Comments]",
                      "",        "[Process]", "Step\tTime\tTime 2\tWait\tAgit"};
    for (int s = 0; s < 30; ++s)
        steps << QStringLiteral("S%1\t01:00:00\t\t\tA").arg(s);
    TextFile::writeLines(rig.settings.file(QStringLiteral("proc/long.txt")), steps);
    QStringList run{"[Titel]", "Run",       "[Comments]",
                    "",        "[Process]", "Step\tTime\tTime 2\tWait\tAgit"};
    for (int s = 0; s < 20; ++s)
        run << QStringLiteral("S%1\t00:00:01\t\t\t").arg(s);
    TextFile::writeLines(rig.settings.file(QStringLiteral("proc/run.txt")), run);
    QStringList bathSteps{"[Titel]", "Bath",      "[Comments]",
                          "",        "[Process]", "Step\tTime\tTime 2\tWait\tAgit\tBath"};
    for (int s = 0; s < 30; ++s)
        bathSteps << QStringLiteral("S%1\t01:00:00\t\t\tA\tT").arg(s);
    TextFile::writeLines(rig.settings.file(QStringLiteral("proc/bath.txt")), bathSteps);
    TextFile::writeLines(rig.settings.file(BathsFormat::FileName),
                         {QStringLiteral("[Bath]"), QStringLiteral("Name=T"),
                          QStringLiteral("Volume=1"), QStringLiteral("Wear=linear 10"),
                          QStringLiteral("Temperature=table 18:1.25 20:1 22:0.8 24:0.7")});
    BathStore baths(rig.settings.file(BathsFormat::FileName).path());
    baths.load();
    QStringList films;
    for (int i = 0; i < 100; ++i)
        films << QStringLiteral("long.txt");
    for (int i = 0; i < 100; ++i)
        films << QStringLiteral("bath.txt");
    TextFile::writeLines(rig.settings.file(QStringLiteral("films.txt")), films);
    TextFile::writeLines(rig.settings.file(QStringLiteral("papers.txt")),
                         {QStringLiteral("run.txt")});
    TextFile::writeLines(
        rig.settings.file(QStringLiteral("agit.txt")),
        {QStringLiteral("A\tInversions\t4_00:00:10_00:00:00/*4_00:00:10_00:01:00")});

    AppContext &ctx = rig.ctx;
    ctx.AgitComingText = QStringLiteral("Agitation dans");
    ctx.AgitRunningText = QStringLiteral("AGITEZ");
    ProcessEnvironment env;
    env.agitationFile = [&rig] { return rig.settings.file(QStringLiteral("agit.txt")); };
    env.agitComingText = [&ctx] { return ctx.AgitComingText; };
    env.agitRunningText = [&ctx] { return ctx.AgitRunningText; };
    env.baths = [&baths] { return &baths; };
    ProcessPages &pages = rig.makePages(env);
    ScriptedDialogs &dialogs = rig.dialogs;
    SystemClock &clock = rig.clock;
    QTabWidget *filmTabs = rig.filmTabs;
    pages.LoadProcessLists();
    ProcessEngine &engine = pages.engine();

    // 100 running processes; each round gives every one of them a tick.
    for (int i = 1; i <= 100; ++i)
        pages.tab(i)->run([&] { engine.process(i).start(); });
    QCoreApplication::processEvents();
    if (!dialogs.errors().isEmpty() || !engine.process(1).isRunning()) {
        std::fprintf(stderr, "processes did not start\n");
        return 1;
    }
    const int rounds = 200;
    double c0 = cpuMs();
    for (int r = 0; r < rounds; ++r) {
        for (int i = 1; i <= 100; ++i)
            pages.tab(i)->run([&] { engine.process(i).tick(); });
        QCoreApplication::processEvents();
    }
    const double perTickUs = (cpuMs() - c0) * 1000.0 / (rounds * 100);

    // The tab on show also repaints its labels, gauge and grid.
    filmTabs->setCurrentIndex(0);
    ProcessTab *shown = pages.tab(1);
    shown->repaint();
    c0 = cpuMs();
    for (int r = 0; r < rounds; ++r) {
        shown->run([&] { engine.process(1).tick(); });
        shown->repaint();
    }
    const double shownUs = (cpuMs() - c0) * 1000.0 / rounds;
    std::printf("one tick, 100 processes running: %.1f us CPU per process tick; the tab on show, "
                "repainted: %.1f us\n",
                perTickUs, shownUs);
    for (int i = 1; i <= 100; ++i)
        pages.tab(i)->run([&] { engine.process(i).reset(); });

    // The same with a bath, a reading for each every tenth round, against
    // processes without, both kinds running and ticked in turn so that both
    // see the same machine; the readings are not ticks and are left out.
    for (int i = 1; i <= 200; ++i)
        pages.tab(i)->run([&] { engine.process(i).start(); });
    QCoreApplication::processEvents();
    double plainMs = 0, bathMs = 0, readingMs = 0;
    for (int r = 0; r < rounds; ++r) {
        if (r % 10 == 5) {
            const double r0 = cpuMs();
            for (int i = 101; i <= 200; ++i)
                pages.tab(i)->run([&] { engine.process(i).reading(r % 20 < 10 ? 20.5 : 21); });
            readingMs += cpuMs() - r0;
        }
        const bool bathFirst = r % 2 == 1;
        for (const bool bath : {bathFirst, !bathFirst}) {
            const double t0 = cpuMs();
            for (int i = bath ? 101 : 1; i <= (bath ? 200 : 100); ++i)
                pages.tab(i)->run([&] { engine.process(i).tick(); });
            (bath ? bathMs : plainMs) += cpuMs() - t0;
        }
        QCoreApplication::processEvents();
    }
    const double bathTickUs = bathMs * 1000.0 / (rounds * 100);
    const double plainTickUs = plainMs * 1000.0 / (rounds * 100);
    const double readingUs = readingMs * 1000.0 / (rounds / 10 * 100);
    for (int i = 1; i <= 200; ++i)
        pages.tab(i)->run([&] { engine.process(i).reset(); });
    std::printf("with a bath and readings: %.1f us CPU per process tick, without: %.1f us "
                "(%.2f x); %.1f us a reading\n",
                bathTickUs, plainTickUs, bathTickUs / plainTickUs, readingUs);

    // Twenty 1-second cells under the real timer.
    std::vector<double> lateness;
    int lastRow = 1;
    qint64 lastEnd = 0;
    const qint64 startMs = clock.nowMs();
    QTimer watch;
    watch.setTimerType(Qt::PreciseTimer);
    watch.setInterval(0);
    Process &run0 = engine.process(0);
    pages.tab(0)->run([&] { run0.start(); });
    lastEnd = *run0.cellEndMs();
    QObject::connect(pages.tab(0)->findChild<QTimer *>(QStringLiteral("tmrP0")), &QTimer::timeout,
                     &app, [&] {
                         // Runs after the tab's own handler: a new row means a cell ended.
                         const int row = run0.currentRow();
                         if (row != lastRow || !run0.isRunning()) {
                             lateness.push_back(double(clock.nowMs() - lastEnd));
                             lastRow = row;
                             lastEnd = run0.cellEndMs().value_or(0);
                         }
                         if (!run0.isRunning())
                             QCoreApplication::quit();
                     });
    QTimer::singleShot(30000, &app, &QCoreApplication::quit);
    QCoreApplication::exec();
    const double total = double(clock.nowMs() - startMs);
    double sum = 0, worst = 0;
    for (const double l : lateness) {
        sum += l;
        worst = std::max(worst, l);
    }
    std::printf("20 cells of 1 s under a real QTimer: %zu cell ends, worst %.1f ms late, "
                "sum %.1f ms; whole run %.1f ms for 20000 ms planned (drift %.1f ms)\n",
                lateness.size(), worst, sum, total, total - 20000.0);
    return 0;
}
