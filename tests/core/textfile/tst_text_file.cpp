#include "core/app/settings.h"
#include "core/base/runtime_error.h"
#include "core/editors/formula_file.h"
#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "core/textfile/text_file.h"
#include "test_support.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTest>

#include <cerrno>
#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// The three writers, each saving text where a user's text goes.
using Writer = std::function<void(const QString &path, const QString &text)>;

Writer writer(const QString &name)
{
    if (name == "settings")
        return [](const QString &path, const QString &text) {
            SettingsValues c;
            c.soundSeconds = "5";
            c.formulaFolder = text;
            TextFile::writeLines(path, SettingsFile::fileLines(c, "/opt/noctarel"));
        };
    if (name == "process")
        return [](const QString &path, const QString &text) {
            WriteProcessFile(path, text, "comments", GridModel(5, 3));
        };
    return [](const QString &path, const QString &text) {
        WriteFormulaFile(path, text, "type", "", "", GridModel(3, 3));
    };
}

// Runs save in a child process after prepare; returns its error message, or "saved".
QString saveInChild(const std::function<void()> &prepare, const std::function<void()> &save)
{
    int fds[2];
    if (::pipe(fds) != 0)
        return "no pipe";
    const pid_t pid = ::fork();
    if (pid == 0) {
        QByteArray said = "saved";
        prepare();
        try {
            save();
        } catch (const RuntimeError &e) {
            said = e.message().toUtf8();
        }
        [[maybe_unused]] const auto n = ::write(fds[1], said.constData(), size_t(said.size()));
        ::_exit(0);
    }
    ::close(fds[1]);
    QFile heard;
    heard.open(fds[0], QIODevice::ReadOnly, QFileDevice::AutoCloseHandle);
    ::waitpid(pid, nullptr, 0);
    return QString::fromUtf8(heard.readAll());
}

// Whether the process has a file open in folder: the new file of a save has no
// name until it replaces the old one.
bool writesInto(pid_t pid, const QString &folder)
{
    const QDir fds(QString("/proc/%1/fd").arg(pid));
    for (const QFileInfo &fd : fds.entryInfoList(QDir::AllEntries | QDir::System))
        if (fd.symLinkTarget().startsWith(folder + '/'))
            return true;
    return false;
}

} // namespace

class TestTextFile : public QObject
{
    Q_OBJECT
private slots:
    void lineRules_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QStringList>("lines");
        QTest::newRow("empty file") << QByteArray() << QStringList();
        QTest::newRow("crlf") << QByteArray("a\r\nb\r\n") << QStringList{"a", "b"};
        QTest::newRow("lone lf") << QByteArray("a\nb\n") << QStringList{"a", "b"};
        QTest::newRow("no final break") << QByteArray("a\r\nb") << QStringList{"a", "b"};
        QTest::newRow("lone cr dropped") << QByteArray("a\rb\r\nc") << QStringList{"ab", "c"};
        QTest::newRow("cr at end") << QByteArray("abc\r") << QStringList{"abc"};
        QTest::newRow("empty lines kept")
            << QByteArray("\r\n\r\nx\r\n") << QStringList{"", "", "x"};
        QTest::newRow("single break") << QByteArray("\r\n") << QStringList{""};
        QTest::newRow("ctrl-z ends") << QByteArray("a\r\nb\x1A"
                                                   "c\r\nd")
                                     << QStringList{"a", "b"};
        QTest::newRow("ctrl-z first") << QByteArray("\x1A"
                                                    "abc")
                                      << QStringList();
        QTest::newRow("tabs kept") << QByteArray("a\tb\t\r\n") << QStringList{"a\tb\t"};
        QTest::newRow("trailing blanks kept") << QByteArray("a  \r\n") << QStringList{"a  "};
        QTest::newRow("mixed endings")
            << QByteArray("a\nb\r\nc\rd\n") << QStringList{"a", "b", "cd"};
    }
    void lineRules()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QStringList, lines);
        QCOMPARE(TextFile::splitLines(bytes), lines);
    }

    void encodings_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("ascii") << QByteArray("Films") << "Films";
        QTest::newRow("1252 accents") << QByteArray("Pr\xE9"
                                                    "f\xE9rences")
                                      << "Préférences";
        QTest::newRow("1252 euro and quotes")
            << QByteArray("\x80 \x93x\x94 \x85") << QString::fromUtf8("€ “x” …");
        QTest::newRow("utf8 accents") << QByteArray("Pr\xC3\xA9"
                                                    "f\xC3\xA9rences")
                                      << "Préférences";
        QTest::newRow("utf8 with bom") << QByteArray("\xEF\xBB\xBF"
                                                     "\xC3\xA9t\xC3\xA9")
                                       << "été";
        QTest::newRow("invalid utf8 is 1252")
            << QByteArray("\xC3\xA9 and \xE9") << QString::fromUtf8("Ã© and é");
        QTest::newRow("overlong is 1252") << QByteArray("\xC0\xAF") << QString::fromUtf8("À¯");
        QTest::newRow("truncated sequence") << QByteArray("ab\xC3") << QString::fromUtf8("abÃ");
        QTest::newRow("undefined 1252 byte") << QByteArray("\x81") << QString(QChar(0x81));
    }
    void encodings()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QCOMPARE(TextFile::decode(bytes), text);
    }

    void everyByteSurvivesARoundTrip()
    {
        QByteArray all;
        for (int b = 0x20; b < 0x100; ++b)
            if (b != 0x7F)
                all.append(char(b));
        const QString text = TextFile::decodeWindows1252(all);
        QCOMPARE(TextFile::encode(text), all);
    }

    void writeUsesCrlfAnd1252()
    {
        TempWorkDir dir;
        TextFile::writeLines(dir.file("out.txt"), {"Révélateur", "", "a\tb"});
        QCOMPARE(dir.read("out.txt"), QByteArray("R\xE9v\xE9lateur\r\n\r\na\tb\r\n"));
        QCOMPARE(TextFile::readLines(dir.file("out.txt")), (QStringList{"Révélateur", "", "a\tb"}));
    }

    void writeFallsBackToUtf8_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("a character outside 1252")
            << QStringList{"Ω developer", "é"} << QByteArray("\xCE\xA9 developer\r\n\xC3\xA9\r\n");
        // The 1252 bytes C3 A9 would read back as "é".
        QTest::newRow("1252 bytes that look like UTF-8")
            << QStringList{"Ã©"} << QByteArray("\xC3\x83\xC2\xA9\r\n");
        QTest::newRow("leading byte-order mark kept")
            << QStringList{QString(QChar(0xFEFF)) + "x"}
            << QByteArray("\xEF\xBB\xBF\xEF\xBB\xBFx\r\n");
    }
    void writeFallsBackToUtf8()
    {
        QFETCH(QStringList, lines);
        QFETCH(QByteArray, bytes);
        TempWorkDir dir;
        TextFile::writeLines(dir.file("out.txt"), lines);
        QCOMPARE(dir.read("out.txt"), bytes);
        QCOMPARE(TextFile::readLines(dir.file("out.txt")), lines);
    }

    void readErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << "nothing.txt"
                                 << "File not found";
        QTest::newRow("missing folder") << "nofolder/x.txt"
                                        << "File not found";
        QTest::newRow("empty path") << ""
                                    << "File not found";
        QTest::newRow("folder") << "."
                                << "File access denied";
        // Each of these used to hang, swallow the memory or read another file.
        QTest::newRow("fifo") << "fifo"
                              << "Not a regular file";
        QTest::newRow("endless device") << "/dev/zero"
                                        << "Not a regular file";
        QTest::newRow("huge file") << "huge.txt"
                                   << "File too large (over 1 MB)";
        QTest::newRow("nul in the name") << QString("lang.txt") + QChar(0) + "junk"
                                         << "Invalid file name";
        QTest::newRow("name too long")
            << QString(300, 'n') << QString("I/O error %1").arg(ENAMETOOLONG);
    }
    void readErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TempWorkDir dir;
        QVERIFY(::mkfifo(QFile::encodeName(dir.file("fifo")).constData(), 0644) == 0);
        dir.write("lang.txt", "x\r\n");
        QFile huge(dir.file("huge.txt"));
        QVERIFY(huge.open(QIODevice::WriteOnly) && huge.resize(TextFile::MaxFileBytes + 1));
        huge.close();
        const QString path = name.isEmpty() || name.startsWith('/') ? name : dir.file(name);
        try {
            TextFile::readLines(path);
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            if (path.isEmpty() || (path.size() < 200 && !path.contains(QChar(0)))) {
                QCOMPARE(e.message(), path.isEmpty() ? message : fileError(path, message));
            } else {
                // Named all the same: a NUL made visible, a long path shortened.
                QString head = path.left(50);
                head.replace(QChar(0), QChar(0x2400));
                QVERIFY2(e.message().startsWith('"' + head), qPrintable(e.message()));
                QVERIFY(e.message().endsWith("\": " + message));
                QVERIFY(e.message().size() < 250);
            }
        }
    }

    void readOnlyTargetKeepsOldFile()
    {
        TempWorkDir dir;
        dir.write("keep.txt", "old\r\n");
        QFile::setPermissions(dir.file("keep.txt"), QFile::ReadOwner | QFile::ReadUser);
        try {
            TextFile::writeLines(dir.file("keep.txt"), {"new"});
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), fileError(dir.file("keep.txt"), "File access denied"));
        }
        QCOMPARE(dir.read("keep.txt"), QByteArray("old\r\n"));
    }

    void writeErrors_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("message");
        QTest::newRow("folder as target") << "sub"
                                          << "File access denied";
        QTest::newRow("missing folder") << "nofolder/x.txt"
                                        << "Folder \"<dir>/nofolder\" not found";
        QTest::newRow("missing folders") << "no/folder/x.txt"
                                         << "Folder \"<dir>/no\" not found";
        QTest::newRow("fifo as target") << "fifo"
                                        << "Not a regular file";
        QTest::newRow("nul in the name") << QString("sub") + QChar(0) + "x"
                                         << "Invalid file name";
    }
    void writeErrors()
    {
        QFETCH(QString, name);
        QFETCH(QString, message);
        TempWorkDir dir;
        dir.write("sub/inner.txt", "x");
        QVERIFY(::mkfifo(QFile::encodeName(dir.file("fifo")).constData(), 0644) == 0);
        try {
            TextFile::writeLines(dir.file(name), {"new"});
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QString shown = dir.file(name);
            shown.replace(QChar(0), QChar(0x2400)); // made visible
            QCOMPARE(e.message(), fileError(shown, QString(message).replace("<dir>", dir.path())));
        }
        QCOMPARE(dir.read("sub/inner.txt"), QByteArray("x"));
    }

    void failedSaveLosesNothing_data()
    {
        QTest::addColumn<QString>("writer");
        QTest::addColumn<QString>("fault");
        for (const char *w : {"settings", "process", "formula"})
            for (const char *fault :
                 {"read-only folder", "target a folder", "disk full", "killed mid-save"})
                QTest::addRow("%s, %s", w, fault) << w << fault;
    }
    void failedSaveLosesNothing()
    {
        QFETCH(QString, writer);
        QFETCH(QString, fault);
        const Writer save = ::writer(writer);
        TempWorkDir dir;
        const QString folder = dir.file("data");
        const QString path = folder + "/file.txt";
        const QByteArray old = "old contents\r\n";
        dir.write("data/file.txt", old);
        if (fault == "killed mid-save") {
            // A save may end between two looks at it on a fast or a busy
            // machine: then the old file is put back and the save tried again.
            bool caught = false;
            for (int attempt = 0; attempt < 5 && !caught; ++attempt) {
                dir.write("data/file.txt", old);
                const pid_t pid = ::fork();
                if (pid == 0) {
                    save(path, QString(8 << 20, 'k')); // large enough to be caught at it
                    ::_exit(0);
                }
                QElapsedTimer waited;
                waited.start();
                bool begun = false, ended = false;
                int status = 0;
                while (!begun && !ended && waited.elapsed() < 30'000) {
                    begun = writesInto(pid, folder);
                    ended = !begun && ::waitpid(pid, &status, WNOHANG) == pid;
                }
                if (!ended) {
                    ::kill(pid, SIGKILL);
                    ::waitpid(pid, &status, 0);
                }
                caught = begun && WIFSIGNALED(status);
            }
            QVERIFY2(caught, "the save ended before it was killed, five times");
        } else {
            std::function<void()> prepare = [] {};
            QString target = path;
            QString text = "new";
            QString message = "File access denied";
            if (fault == "read-only folder") {
                // Root writes into a read-only folder all the same: save as
                // nobody, to a file it may write, so that only the folder refuses.
                ::chmod(QFile::encodeName(dir.path()), 0711);
                ::chmod(QFile::encodeName(path), 0666);
                ::chmod(QFile::encodeName(folder), 0555);
                prepare = [] {
                    if (::geteuid() == 0 && (::setgid(65534) != 0 || ::setuid(65534) != 0))
                        ::_exit(1);
                };
            } else if (fault == "target a folder") {
                target = folder; // it holds the old file
            } else {
                // A disk full: no file may grow past 4 KB.
                prepare = [] {
                    std::signal(SIGXFSZ, SIG_IGN);
                    const rlimit limit{4096, 4096};
                    ::setrlimit(RLIMIT_FSIZE, &limit);
                };
                text = QString(100'000, 'n');
                message = QString("I/O error %1").arg(EFBIG);
            }
            const QString said = saveInChild(prepare, [&] { save(target, text); });
            ::chmod(QFile::encodeName(folder), 0700);
            QCOMPARE(said, fileError(target, message));
        }
        QCOMPARE(readBytes(path), old);
    }

    void replaceLeavesNoTemporaryFiles()
    {
        TempWorkDir dir;
        dir.write("a.txt", "old\r\n");
        TextFile::writeLines(dir.file("a.txt"), {"new"});
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files), QStringList{"a.txt"});
        QCOMPARE(dir.read("a.txt"), QByteArray("new\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestTextFile)
#include "tst_text_file.moc"
