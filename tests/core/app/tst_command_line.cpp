#include "core/app/command_line.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using Action = StartRequest::Action;
Q_DECLARE_METATYPE(StartRequest::Action)

class TestCommandLine : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        QFile file(m_dir.filePath("file.txt"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        QVERIFY(QFile::link(m_dir.filePath("loop"), m_dir.filePath("loop")));
    }

    // "@dir" stands for an existing folder, "@file" for an existing file,
    // "@loop" for a link to itself; "@bad" for a name whose bytes are not UTF-8.
    void decides_data()
    {
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("folder");
        QTest::addColumn<bool>("userFolder");
        QTest::addColumn<bool>("checkStart");
        QTest::addColumn<QString>("text"); // a part of the text

        QTest::newRow("no argument: the current folder")
            << QStringList{} << Action::Run << "" << false << false << "";
        QTest::newRow("a folder") << QStringList{"@dir"} << Action::Run << "@dir" << false << false
                                  << "";
        QTest::newRow("the user's folder")
            << QStringList{"--user-folder"} << Action::Run << "" << true << false << "";
        QTest::newRow("the start-up check") << QStringList{"--user-folder", "--check-start"}
                                            << Action::Run << "" << true << true << "";
        QTest::newRow("toolkit options are let through")
            << QStringList{"-platform", "offscreen", "-reverse", "--style=fusion", "@dir"}
            << Action::Run << "@dir" << false << false << "";

        QTest::newRow("help") << QStringList{"--help"} << Action::ShowHelp << "" << false << false
                              << "Usage: noctarel [options] [FOLDER]\n";
        QTest::newRow("help names the user folder")
            << QStringList{"-h"} << Action::ShowHelp << "" << false << false
            << "--user-folder  Work in your own data folder";
        QTest::newRow("help before a folder check")
            << QStringList{"--help", "/no/such/folder"} << Action::ShowHelp << "" << false << false
            << "FOLDER";
        QTest::newRow("version") << QStringList{"--version"} << Action::ShowVersion << "" << false
                                 << false << "noctarel " + programVersion();
        QTest::newRow("version, short") << QStringList{"-v"} << Action::ShowVersion << "" << false
                                        << false << "noctarel " + programVersion();

        const QString tryHelp = "\nTry 'noctarel --help' for more information.";
        QTest::newRow("unknown option") << QStringList{"--colour"} << Action::Refuse << "" << false
                                        << false << "noctarel: Unknown option 'colour'." + tryHelp;
        QTest::newRow("unknown short option") << QStringList{"-x", "@dir"} << Action::Refuse << ""
                                              << false << false << "Unknown option 'x'.";
        QTest::newRow("a value for the user folder")
            << QStringList{"--user-folder=/tmp"} << Action::Refuse << "" << false << false
            << "Unexpected value after '--user-folder'.";
        QTest::newRow("a folder that does not exist")
            << QStringList{"/no/such/folder"} << Action::Refuse << "" << false << false
            << "noctarel: The folder '/no/such/folder' does not exist." + tryHelp;
        QTest::newRow("an empty folder name") << QStringList{""} << Action::Refuse << "" << false
                                              << false << "The folder '' does not exist.";
        QTest::newRow("a file for a folder") << QStringList{"@file"} << Action::Refuse << ""
                                             << false << false << "'@file' is not a folder.";
        QTest::newRow("a file inside the path")
            << QStringList{"@file/sub"} << Action::Refuse << "" << false << false
            << "The folder '@file/sub' does not exist: a part of its path is a file.";
        QTest::newRow("a loop of links") << QStringList{"@loop"} << Action::Refuse << "" << false
                                         << false << "'@loop' is a loop of symbolic links.";
        QTest::newRow("a path too long")
            << QStringList{"/" + QStringList(50, QString(99, 'p')).join('/')} << Action::Refuse
            << "" << false << false << "is too long for the system (5000 characters).";
        QTest::newRow("a name that is not UTF-8")
            << QStringList{"@bad"} << Action::Refuse << "" << false << false
            << "The folder name 'bad\uFFFD' is not valid UTF-8.";
        QTest::newRow("two folders") << QStringList{"@dir", "@dir"} << Action::Refuse << "" << false
                                     << false << "One FOLDER at most, not 2.";
        QTest::newRow("a folder and the user folder")
            << QStringList{"--user-folder", "@dir"} << Action::Refuse << "" << false << false
            << "Give FOLDER or --user-folder, not both.";
    }

    void decides()
    {
        QFETCH(QStringList, arguments);
        QFETCH(Action, action);
        QFETCH(QString, folder);
        QFETCH(bool, userFolder);
        QFETCH(bool, checkStart);
        QFETCH(QString, text);
        const auto place = [this](QString s) {
            return s.replace("@dir", m_dir.path())
                .replace("@file", m_dir.filePath("file.txt"))
                .replace("@loop", m_dir.filePath("loop"));
        };
        // As main() has them: the bytes of argv.
        QList<QByteArray> argv{"/usr/bin/noctarel"};
        for (const QString &a : std::as_const(arguments))
            argv << (a == "@bad" ? QByteArray("bad\xFF") : place(a).toUtf8());

        const StartRequest r = parseRawCommandLine(argv);
        QCOMPARE(r.action, action);
        QCOMPARE(r.folder, place(folder));
        QCOMPARE(r.userFolder, userFolder);
        QCOMPARE(r.checkStart, checkStart);
        QVERIFY2(r.text.contains(place(text)), qPrintable(r.text));
    }

    // What the help lists is what a user may type: neither the start-up check
    // nor the toolkit's own options.
    void helpListsOurOptionsOnly()
    {
        const StartRequest r = parseCommandLine({"noctarel", "--help"});
        for (const char *word : {"check-start", "platform", "style", "reverse"})
            QVERIFY2(!r.text.contains(QLatin1String(word)), word);
        QVERIFY(!r.text.endsWith('\n'));
    }

private:
    QTemporaryDir m_dir;
};

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_command_line.moc"
