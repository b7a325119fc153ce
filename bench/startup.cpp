// Start-up time of the main window against a bare QMainWindow with eight empty
// tabs, each measured from process start to the window shown, in the same run.
// The parent notes the monotonic clock when it starts a child; the child reports
// the clock once its window is shown (tearing the window down is not counted).
//
//   bench_startup [runs]        prints both medians and their ratio
#include "core/base/clock.h"
#include "gui/app/main_window.h"
#include "gui/dialogs.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QDir>
#include <QMainWindow>
#include <QProcess>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <vector>

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

void reportShown()
{
    std::printf("%lld\n", static_cast<long long>(monotonicNs()));
    std::fflush(stdout);
}

int child(int argc, char **argv, bool full)
{
    QApplication app(argc, argv);
    if (full) {
        installFontSubstitutes();
        SystemClock clock;
        ScriptedDialogs dialogs;
        TfrmMain::Services s;
        s.dialogs = &dialogs;
        s.clock = &clock;
        s.programFolder = QCoreApplication::applicationDirPath();
        TfrmMain w(s);
        w.show();
        QCoreApplication::processEvents();
        reportShown();
        return dialogs.errors().isEmpty() ? 0 : 2;
    }
    QMainWindow w;
    auto *tabs = new QTabWidget;
    for (int i = 0; i < 8; ++i)
        tabs->addTab(new QWidget, QStringLiteral("Page %1").arg(i));
    w.setCentralWidget(tabs);
    w.resize(792, 582);
    w.show();
    QCoreApplication::processEvents();
    reportShown();
    return 0;
}

double runOnce(const QString &self, const QString &mode, const QString &folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    p.setProcessEnvironment(env);
    const qint64 started = monotonicNs();
    p.start(self, {mode});
    p.waitForFinished(60000);
    const qint64 shown = p.readAllStandardOutput().trimmed().toLongLong();
    const double ms = (shown - started) / 1e6;
    if (p.exitCode() != 0)
        std::fprintf(stderr, "%s run failed (%d)\n", qPrintable(mode), p.exitCode());
    return ms;
}

double median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

void copyFolder(const QString &from, const QString &to)
{
    QDir src(from);
    QDir().mkpath(to);
    for (const QFileInfo &fi : src.entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot)) {
        if (fi.isDir())
            copyFolder(fi.filePath(), to + QLatin1Char('/') + fi.fileName());
        else
            QFile::copy(fi.filePath(), to + QLatin1Char('/') + fi.fileName());
    }
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 1 && (qstrcmp(argv[1], "full") == 0 || qstrcmp(argv[1], "bare") == 0))
        return child(argc, argv, qstrcmp(argv[1], "full") == 0);

    QCoreApplication app(argc, argv);
    const int runs = argc > 1 ? std::max(3, atoi(argv[1])) : 15;
    QTemporaryDir work;
    copyFolder(QStringLiteral(NOCTAREL_SOURCE_DIR "/sample"), work.path());
    const QString self = QCoreApplication::applicationFilePath();
    std::vector<double> full, bare;
    runOnce(self, QStringLiteral("bare"), work.path()); // warm the caches
    for (int i = 0; i < runs; ++i) {
        bare.push_back(runOnce(self, QStringLiteral("bare"), work.path()));
        full.push_back(runOnce(self, QStringLiteral("full"), work.path()));
    }
    const double f = median(full), b = median(bare);
    const double fMin = *std::min_element(full.begin(), full.end());
    const double bMin = *std::min_element(bare.begin(), bare.end());
    std::printf("start-up to window shown (offscreen, %d runs each, interleaved)\n", runs);
    std::printf("                             median    fastest\n");
    std::printf("  bare QMainWindow, 8 tabs : %6.1f ms  %6.1f ms\n", b, bMin);
    std::printf("  Noctarel, sample folder  : %6.1f ms  %6.1f ms\n", f, fMin);
    std::printf("  ratio                    : %6.2f     %6.2f\n", f / b, fMin / bMin);
    return 0;
}
