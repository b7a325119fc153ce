#include "gui/app/about_window.h"
#include "test_support.h"

#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// Installs the built tree into a scratch prefix and checks what a user of the
// installed program meets: the files, their validity for the desktop, the
// command line, and the data folder prepared on first start.
namespace {

const QString kId = QStringLiteral(NOCTAREL_APP_ID);

struct Run
{
    int exitCode = -1; // -1: it did not end by itself
    QString out, err;
};

Run run(const QString &program, const QStringList &arguments,
        const QProcessEnvironment &environment = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(environment);
    p.start(program, arguments);
    Run r;
    if (p.waitForFinished(120000) && p.exitStatus() == QProcess::NormalExit)
        r.exitCode = p.exitCode();
    r.out = QString::fromLocal8Bit(p.readAllStandardOutput());
    r.err = QString::fromLocal8Bit(p.readAllStandardError());
    return r;
}

} // namespace

class TestInstall : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_root.isValid() && QDir().mkpath(m_root.filePath("empty")));
        const Run r = run(QStringLiteral(CMAKE_COMMAND),
                          {"--install", NOCTAREL_BUILD_DIR, "--prefix", prefix()});
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
    }

    void installsTheFiles_data()
    {
        QTest::addColumn<QString>("path");
        for (const char *path :
             {"bin/noctarel", "share/noctarel/sample/wsettings.txt",
              "share/noctarel/sample/processus/fp4_id11.txt", "share/applications/@.desktop",
              "share/icons/hicolor/scalable/apps/@.svg", "share/icons/hicolor/48x48/apps/@.png",
              "share/icons/hicolor/128x128/apps/@.png", "share/icons/hicolor/256x256/apps/@.png",
              "share/metainfo/@.metainfo.xml", "share/man/man1/noctarel.1.gz",
              "share/doc/noctarel/README.md", "share/doc/noctarel/tavo.pdf",
              "share/doc/noctarel/copyright", NOCTAREL_SOUND_DIR "/libnoctarel_sound.so"})
            QTest::newRow(qPrintable(path)) << QString::fromLatin1(path).replace('@', kId);
    }

    void installsTheFiles()
    {
        QFETCH(QString, path);
        QVERIFY(QFileInfo(prefix() + '/' + path).isFile());
    }

    void passesTheDesktopsChecks_data()
    {
        QTest::addColumn<QString>("program");
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<bool>("silent"); // prints nothing when it finds nothing
        QTest::newRow("desktop file")
            << "desktop-file-validate"
            << QStringList{prefix() + "/share/applications/" + kId + ".desktop"} << true;
        QTest::newRow("AppStream data")
            << "appstreamcli"
            << QStringList{"validate", "--no-net", "--explain",
                           prefix() + "/share/metainfo/" + kId + ".metainfo.xml"}
            << false;
    }

    void passesTheDesktopsChecks()
    {
        QFETCH(QString, program);
        QFETCH(QStringList, arguments);
        QFETCH(bool, silent);
        const QString path = QStandardPaths::findExecutable(program);
        QVERIFY2(!path.isEmpty(), qPrintable(program + " is not installed (scripts/common.sh)"));
        const Run r = run(path, arguments);
        QVERIFY2(r.exitCode == 0, qPrintable(r.out + r.err));
        // Hints and warnings pass, but they are findings all the same.
        QVERIFY2(!silent || r.out.isEmpty(), qPrintable(r.out));
    }

    void answersOnTheCommandLine_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("out");
        QTest::addColumn<QString>("err");
        QTest::newRow("help") << QStringList{"--help"} << 0 << "--user-folder"
                              << "";
        QTest::newRow("refused") << QStringList{"--colour"} << 2 << ""
                                 << "noctarel: Unknown option 'colour'.";
        // The start-up check preparesTheUserFolder relies on reports a failure.
        QTest::newRow("start-up error")
            << QStringList{m_root.filePath("empty"), "--check-start"} << 1 << ""
            << "noctarel: \"wsettings.txt\": File not found.";
    }

    void answersOnTheCommandLine()
    {
        QFETCH(QStringList, arguments);
        QFETCH(int, exitCode);
        QFETCH(QString, out);
        QFETCH(QString, err);
        const Run r = run(program(), arguments);
        QCOMPARE(r.exitCode, exitCode);
        QVERIFY2(out.isEmpty() ? r.out.isEmpty() : r.out.contains(out), qPrintable(r.out));
        QVERIFY2(r.err.contains(err), qPrintable(r.err));
    }

    // --version, the About window and the newest release of the AppStream
    // data name the same version.
    void saysOneVersion()
    {
        const Run r = run(program(), {"--version"});
        QCOMPARE(r.exitCode, 0);
        static const QRegularExpression versionLine(QStringLiteral("^noctarel (\\S+)\n$"));
        const auto m = versionLine.match(r.out);
        QVERIFY2(m.hasMatch(), qPrintable(r.out));
        const QString version = m.captured(1);
        TfrmAbout about(QDir::current());
        QCOMPARE(about.findChild<QLabel *>("lblTitel")->text(), "Noctarel - Version " + version);
        const QByteArray metainfo =
            readBytes(prefix() + "/share/metainfo/" + kId + ".metainfo.xml");
        QVERIFY(metainfo.contains("<releases>\n    <release version=\"" + version.toUtf8() + '"'));
    }

    // The menu's command on a new account: the data folder is made from the
    // installed sample in the desktop's language, the window opens without an
    // error, and a second start touches none of the user's files.
    void preparesTheUserFolder_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("english");
        QTest::newRow("French desktop") << "fr_FR.UTF-8" << false;
        QTest::newRow("English desktop") << "en_GB.UTF-8" << true;
        QTest::newRow("C locale") << "C" << true;
    }
    void preparesTheUserFolder()
    {
        QFETCH(QString, locale);
        QFETCH(bool, english);
        const QString home = m_root.filePath("home-" + locale);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", home);
        env.insert("XDG_DATA_HOME", home + "/data");
        env.insert("LC_ALL", locale);
        env.insert("LANG", locale);
        const QString folder = home + "/data/noctarel";
        const QString sample = prefix() + "/share/noctarel/sample";

        Run r = run(program(), {"--user-folder", "--check-start"}, env);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        auto prepared = fileSnapshot(folder);
        // The set of the language: the English subfolder's files in place of
        // the French ones for English; the subfolder itself never.
        QMap<QString, QByteArray> expected;
        const auto installed = fileSnapshot(sample);
        for (auto it = installed.cbegin(); it != installed.cend(); ++it)
            if (!it.key().startsWith("english/"))
                expected.insert(it.key(), it.value().first);
        if (english)
            for (auto it = installed.cbegin(); it != installed.cend(); ++it)
                if (it.key().startsWith("english/"))
                    expected.insert(it.key().mid(8), it.value().first);
        // Beside the sample files, the record of what was copied.
        QVERIFY(prepared.remove(".copied-samples.txt") == 1);
        QCOMPARE(prepared.keys(), expected.keys());
        for (auto it = expected.cbegin(); it != expected.cend(); ++it)
            QVERIFY2(prepared.value(it.key()).first == it.value(), qPrintable(it.key()));
        QVERIFY(prepared.value("wsettings.txt")
                    .first.contains(english ? "LanguageFile=english.txt"
                                            : "LanguageFile=francais.txt"));
        QVERIFY(prepared.value("processus/hp5_id11.txt")
                    .first.contains(english ? "Developer\t" : "R\xE9v\xE9lateur\t"));

        // The user's own list, one process fewer.
        writeBytes(folder + "/papiers.txt", "papier_baryte.txt\r\n");
        const auto before = fileSnapshot(folder);
        r = run(program(), {"--user-folder", "--check-start"}, env);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err));
        QCOMPARE(fileSnapshot(folder), before);
    }

    // A data folder that cannot be made or found stops the start with the
    // reason (in a box, on a desktop); nothing is written under "/".
    void refusesADataFolderItCannotUse_data()
    {
        QTest::addColumn<QString>("xdg"); // under the scratch root
        QTest::addColumn<bool>("home");
        QTest::addColumn<QString>("err");
        QTest::newRow("a file in its place")
            << "blocker" << true
            << "noctarel: The data folder @/blocker/noctarel cannot be made: "
               "\"@/blocker\" is a file, not a folder.";
        QTest::newRow("a relative XDG_DATA_HOME and no HOME")
            << "relative" << false
            << "noctarel: The data folder cannot be found: neither XDG_DATA_HOME nor HOME names "
               "an absolute folder.";
    }
    void refusesADataFolderItCannotUse()
    {
        QFETCH(QString, xdg);
        QFETCH(bool, home);
        QFETCH(QString, err);
        writeBytes(m_root.filePath("blocker"), "a file");
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("HOME");
        if (home)
            env.insert("HOME", m_root.filePath("home"));
        env.insert("XDG_DATA_HOME", xdg == "relative" ? xdg : m_root.filePath(xdg));
        const bool rootHadIt = QFileInfo::exists("/.local/share/noctarel");
        const Run r = run(program(), {"--user-folder", "--check-start"}, env);
        QCOMPARE(r.exitCode, 1);
        QVERIFY2(r.err.contains(err.replace("@", m_root.path())), qPrintable(r.err));
        QCOMPARE(QFileInfo::exists("/.local/share/noctarel"), rootHadIt);
    }

    // Qt Multimedia comes with the sound plugin at the first sound, not at start.
    void startsWithoutTheSoundSystem()
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("LD_DEBUG", "files");
        const Run r = run(program(), {prefix() + "/share/noctarel/sample", "--check-start"}, env);
        QVERIFY2(r.exitCode == 0, qPrintable(r.err.right(2000)));
        QVERIFY(r.err.contains("libQt6Widgets"));
        QVERIFY(!r.err.contains("libQt6Multimedia"));
    }

private:
    QString prefix() const { return m_root.filePath("usr"); }
    QString program() const { return prefix() + "/bin/noctarel"; }

    QTemporaryDir m_root;
};

QTEST_MAIN(TestInstall)
#include "tst_install.moc"
