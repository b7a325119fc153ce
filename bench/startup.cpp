// Start-up of the main window against a bare QMainWindow with eight empty tabs,
// each started as a process of its own and measured in the same run, the kinds
// alternated: the bare window, Noctarel on the sample folder, Noctarel on the
// sample folder with 200 processes.
//
// The parent notes the monotonic clock when it starts a child. The child notes it
// when the window's first expose event arrives (the window is mapped; on X11 that is
// what a user sees), when that event has been handled (the first frame is painted),
// and, for Noctarel, when the controls built after the first frame are all there.
// It then reports its peak resident memory (VmHWM): a process of its own for every
// run, so each peak is that run's alone, read once everything start-up builds is
// built. Tearing the window down is not counted.
//
//   bench_startup [runs]           medians, ratios to the bare window, memory (15 runs)
//   bench_startup --instructions   one run of each under callgrind: instructions to the
//                                  map, of the first frame and of the work after it
//
// The platform is the environment's (xvfb-run -a bench_startup measures on X11);
// without QT_QPA_PLATFORM or a display the children run offscreen.
#include "core/base/clock.h"
#include "gui/app/about_window.h"
#include "gui/app/main_window.h"
#include "gui/dialogs.h"
#include "gui/lazy_sound_output.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMainWindow>
#include <QProcess>
#include <QStandardPaths>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <memory>
#include <vector>

#if __has_include(<valgrind/callgrind.h>)
#include <valgrind/callgrind.h>
#define NOCTAREL_MARK(name) CALLGRIND_DUMP_STATS_AT(name)
#define NOCTAREL_HAS_MARKS 1
#else
#define NOCTAREL_MARK(name)
#define NOCTAREL_HAS_MARKS 0
#endif

namespace {

qint64 monotonicNs()
{
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

long peakResidentKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Notes when the watched window's first expose arrives and when it is handled.
class ProbeApplication : public QApplication
{
public:
    using QApplication::QApplication;

    QWindow *window = nullptr;
    qint64 mapped = 0;
    qint64 framed = 0;
    std::function<void()> onFrame;

    bool notify(QObject *receiver, QEvent *event) override
    {
        if (framed || !window || receiver != window || event->type() != QEvent::Expose)
            return QApplication::notify(receiver, event);
        const qint64 arrived = monotonicNs();
        NOCTAREL_MARK("mapped");
        const bool handled = QApplication::notify(receiver, event);
        if (window->isExposed()) {
            NOCTAREL_MARK("first frame");
            mapped = arrived;
            framed = monotonicNs();
            // After the event, as the program would go on from there.
            QTimer::singleShot(0, this, [this] { onFrame(); });
        }
        return handled;
    }
};

int child(int argc, char **argv, const QByteArray &kind)
{
    ProbeApplication app(argc, argv);
    qint64 built = 0;
    const auto report = [&] {
        built = monotonicNs();
        NOCTAREL_MARK("built");
        std::printf("%lld %lld %lld %ld\n", static_cast<long long>(app.mapped),
                    static_cast<long long>(app.framed), static_cast<long long>(built),
                    peakResidentKb());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    };

    if (kind == "bare") {
        QMainWindow w;
        auto *tabs = new QTabWidget;
        for (int i = 0; i < 8; ++i)
            tabs->addTab(new QWidget, QStringLiteral("Page %1").arg(i));
        w.setCentralWidget(tabs);
        w.resize(792, 582);
        w.show();
        app.window = w.windowHandle();
        app.onFrame = report;
        return QApplication::exec();
    }

    // As main() starts the program.
    QApplication::setApplicationName(QStringLiteral("noctarel"));
    installBusyCursorHooks();
    installFontSubstitutes();
    SystemClock clock;
    ScriptedDialogs dialogs;
    LazySoundOutput sound(LazySoundOutput::pluginPathsOfProgram(), QDir::current());
    TfrmMain::Services s;
    s.sound = &sound;
    s.dialogs = &dialogs;
    s.clock = &clock;
    s.programFolder = programFolderOf(QCoreApplication::applicationDirPath());
    // The bench starts each run in its folder, as a start without FOLDER does.
    s.workingFolder = QDir(QDir::currentPath());
    TfrmMain w(s);
    std::unique_ptr<TfrmAbout> about;
    w.buildLater([&] {
        about = std::make_unique<TfrmAbout>(s.workingFolder);
        w.setAboutWindow(about.get());
    });
    w.show();
    app.window = w.windowHandle();
    app.onFrame = [&] {
        if (w.isBuilt())
            report();
        else
            QObject::connect(&w, &TfrmMain::buildCompleted, &app, report);
    };
    const int code = QApplication::exec();
    return code != 0 || !dialogs.errors().isEmpty() ? 2 : 0;
}

struct Run
{
    double mappedMs = 0; // from the start of the process
    double frameMs = 0;  // the first frame: from the map to its end
    double builtMs = 0;  // from the start to the last control built
    double peakMb = 0;
};

QProcessEnvironment childEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    if (!env.contains(QStringLiteral("QT_QPA_PLATFORM")) &&
        !env.contains(QStringLiteral("DISPLAY")) &&
        !env.contains(QStringLiteral("WAYLAND_DISPLAY")))
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    return env;
}

QString platformName()
{
    const QProcessEnvironment env = childEnvironment();
    return env.value(QStringLiteral("QT_QPA_PLATFORM"),
                     env.contains(QStringLiteral("WAYLAND_DISPLAY")) ? QStringLiteral("wayland")
                                                                     : QStringLiteral("xcb"));
}

Run runOnce(const QString &self, const QString &kind, const QString &folder)
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessEnvironment(childEnvironment());
    const qint64 started = monotonicNs();
    p.start(self, {QStringLiteral("child"), kind});
    p.waitForFinished(120000);
    const QList<QByteArray> f = p.readAllStandardOutput().trimmed().split(' ');
    if (p.exitCode() != 0 || f.size() != 4) {
        std::fprintf(stderr, "%s run failed (%d)\n", qPrintable(kind), p.exitCode());
        std::exit(1);
    }
    Run r;
    r.mappedMs = (f[0].toLongLong() - started) / 1e6;
    r.frameMs = (f[1].toLongLong() - f[0].toLongLong()) / 1e6;
    r.builtMs = (f[2].toLongLong() - started) / 1e6;
    r.peakMb = f[3].toLong() / 1024.0;
    return r;
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

QByteArray readAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// The sample folder with 200 processes: 100 papers and 100 films, copies of the
// sample's processes, each with a title of its own as a user's would have.
void makeManyProcesses(const QString &folder, int count)
{
    const QDir processes(folder + QStringLiteral("/processus"));
    const QStringList originals = processes.entryList({QStringLiteral("*.txt")}, QDir::Files);
    QByteArray papers, films;
    for (int i = 0; i < count; ++i) {
        QList<QByteArray> lines =
            readAll(processes.filePath(originals[i % originals.size()])).split('\n');
        for (qsizetype l = 0; l + 1 < lines.size(); ++l)
            if (lines[l].trimmed() == "[Titel]")
                lines[l + 1] = lines[l + 1].trimmed() + " #" + QByteArray::number(i) + "\r";
        const QByteArray name = "many" + QByteArray::number(i) + ".txt";
        writeAll(processes.filePath(QString::fromLatin1(name)), lines.join('\n'));
        (i % 2 ? films : papers) += name + "\r\n";
    }
    writeAll(folder + QStringLiteral("/papiers.txt"), papers);
    writeAll(folder + QStringLiteral("/films.txt"), films);
}

struct Kind
{
    const char *label;
    QString kind;
    QString folder;
};

int processCount(const QString &folder)
{
    int n = 0;
    for (const char *list : {"/papiers.txt", "/films.txt"})
        for (const QByteArray &line : readAll(folder + QLatin1String(list)).split('\n'))
            n += line.trimmed().isEmpty() ? 0 : 1;
    return n;
}

int timings(const QString &self, const std::vector<Kind> &kinds, int runs)
{
    std::vector<std::vector<Run>> results(kinds.size());
    for (size_t k = 0; k < kinds.size(); ++k) // warms the caches
        runOnce(self, kinds[k].kind, kinds[k].folder);
    for (int i = 0; i < runs; ++i)
        for (size_t k = 0; k < kinds.size(); ++k)
            results[k].push_back(runOnce(self, kinds[k].kind, kinds[k].folder));

    const auto med = [&](size_t k, double Run::*field) {
        std::vector<double> v;
        for (const Run &r : results[k])
            v.push_back(r.*field);
        return median(v);
    };
    std::printf("start-up (%s, %d runs of each, alternated; medians)\n", qPrintable(platformName()),
                runs);
    std::printf("                               mapped    first frame   all built   VmHWM\n");
    for (size_t k = 0; k < kinds.size(); ++k)
        std::printf("  %-27s %6.1f ms  %6.2f ms   %7.1f ms  %5.1f MB\n", kinds[k].label,
                    med(k, &Run::mappedMs), med(k, &Run::frameMs), med(k, &Run::builtMs),
                    med(k, &Run::peakMb));
    const double bare = med(0, &Run::mappedMs);
    const double sample = med(1, &Run::mappedMs);
    const double many = med(2, &Run::mappedMs);
    const int added = processCount(kinds[2].folder) - processCount(kinds[1].folder);
    std::printf("ratios to the bare window\n");
    std::printf("  mapped, sample folder      : %5.2f  (goal <= 1.2)\n", sample / bare);
    std::printf("  mapped, 200 processes      : %5.2f  (goal <= 1.5)\n", many / bare);
    std::printf("  first frame, sample folder : %5.2f  (goal <= 2)\n",
                med(1, &Run::frameMs) / med(0, &Run::frameMs));
    std::printf("  VmHWM, sample folder       : %5.2f  (goal <= 1.2)\n",
                med(1, &Run::peakMb) / med(0, &Run::peakMb));
    std::printf("cost per added process to the map: %.3f ms (goal < 0.2)\n",
                (many - sample) / added);
    return 0;
}

// The instruction counts of callgrind's dump files, in the order they were written.
std::vector<double> dumpedMillions(const QString &base)
{
    std::vector<double> parts;
    for (int i = 1;; ++i) {
        const QByteArray text = readAll(base + QLatin1Char('.') + QString::number(i));
        if (text.isEmpty())
            break;
        for (const QByteArray &line : text.split('\n'))
            if (line.startsWith("totals:"))
                parts.push_back(line.mid(7).trimmed().toDouble() / 1e6);
    }
    return parts;
}

int instructions(const QString &self, const std::vector<Kind> &kinds)
{
    if (!NOCTAREL_HAS_MARKS) {
        std::fprintf(stderr, "built without <valgrind/callgrind.h>\n");
        return 1;
    }
    const QString valgrind = QStandardPaths::findExecutable(QStringLiteral("valgrind"));
    if (valgrind.isEmpty()) {
        std::fprintf(stderr, "valgrind not found\n");
        return 1;
    }
    QTemporaryDir out;
    std::printf("instructions (callgrind, %s; millions)\n", qPrintable(platformName()));
    std::printf("                               to the map  first frame  after it\n");
    for (size_t k = 0; k < kinds.size(); ++k) {
        const QString base = out.filePath(QStringLiteral("cg%1").arg(k));
        QProcess p;
        p.setWorkingDirectory(kinds[k].folder);
        // One hash seed for every run, so that the counts repeat.
        QProcessEnvironment env = childEnvironment();
        env.insert(QStringLiteral("QT_HASH_SEED"), QStringLiteral("0"));
        p.setProcessEnvironment(env);
        p.start(valgrind,
                {QStringLiteral("--tool=callgrind"), QStringLiteral("--callgrind-out-file=") + base,
                 self, QStringLiteral("child"), kinds[k].kind});
        p.waitForFinished(-1);
        const std::vector<double> m = dumpedMillions(base);
        if (m.size() < 3) {
            std::fprintf(stderr, "%s: no marks\n%s", kinds[k].label,
                         p.readAllStandardError().constData());
            return 1;
        }
        std::printf("  %-27s %9.1f  %10.1f  %9.1f\n", kinds[k].label, m[0], m[1], m[2]);
    }
    return 0;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc > 2 && qstrcmp(argv[1], "child") == 0)
        return child(argc, argv, argv[2]);

    QCoreApplication app(argc, argv);
    QTemporaryDir work;
    const QString sample = work.filePath(QStringLiteral("sample"));
    const QString many = work.filePath(QStringLiteral("many"));
    copyFolder(QStringLiteral(NOCTAREL_SOURCE_DIR "/sample"), sample);
    copyFolder(QStringLiteral(NOCTAREL_SOURCE_DIR "/sample"), many);
    makeManyProcesses(many, 200);
    const QString self = QCoreApplication::applicationFilePath();
    const std::vector<Kind> kinds{{"bare QMainWindow, 8 tabs", QStringLiteral("bare"), sample},
                                  {"Noctarel, sample folder", QStringLiteral("full"), sample},
                                  {"Noctarel, 200 processes", QStringLiteral("full"), many}};
    if (argc > 1 && qstrcmp(argv[1], "--instructions") == 0)
        return instructions(self, kinds);
    return timings(self, kinds, argc > 1 ? std::max(3, atoi(argv[1])) : 15);
}
