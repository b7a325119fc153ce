#include "core/app/user_folder.h"
#include "full_disk.h"
#include "test_support.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

namespace {

const QDateTime kInstalled = QDateTime::fromSecsSinceEpoch(1'800'000'000);

void setTime(const QString &path, const QDateTime &time)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadWrite));
    QVERIFY(f.setFileTime(time, QFileDevice::FileModificationTime));
}

} // namespace

class TestUserFolder : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_sample.emplace();
        m_home.emplace();
        for (const char *name :
             {"wsettings.txt", "francais.txt", "processus/fp4.txt", "tavo.pdf", ".hidden"}) {
            const QString path = m_sample->filePath(name);
            QDir().mkpath(QFileInfo(path).path());
            writeBytes(path, QByteArray("installed ") + name);
            setTime(path, kInstalled);
        }
    }

    // "user" files are there before the start, "sample" files hold the
    // installed bytes after it, "absent" files are not there after it.
    void prepares_data()
    {
        QTest::addColumn<QStringList>("user");
        QTest::addColumn<int>("guideAge"); // seconds the user's guide is older
        QTest::addColumn<QStringList>("sample");
        QTest::addColumn<QStringList>("absent");

        const QStringList all{"wsettings.txt", "francais.txt", "processus/fp4.txt", "tavo.pdf",
                              ".hidden"};
        QTest::newRow("first start: everything") << QStringList{} << 0 << all << QStringList{};
        QTest::newRow("first start keeps the user's files")
            << QStringList{"francais.txt", "processus/fp4.txt"} << 0
            << QStringList{"wsettings.txt", "tavo.pdf", ".hidden"} << QStringList{};
        QTest::newRow("later start adds no sample file")
            << QStringList{"wsettings.txt"} << 0 << QStringList{"tavo.pdf"}
            << QStringList{"francais.txt", "processus/fp4.txt", ".hidden"};
        QTest::newRow("an older guide is replaced")
            << QStringList{"wsettings.txt", "tavo.pdf"} << 60 << QStringList{"tavo.pdf"}
            << QStringList{"francais.txt"};
        QTest::newRow("a newer guide is kept") << QStringList{"wsettings.txt", "tavo.pdf"} << -60
                                               << QStringList{} << QStringList{"francais.txt"};
        QTest::newRow("a guide of the same time is kept")
            << QStringList{"wsettings.txt", "tavo.pdf"} << 0 << QStringList{}
            << QStringList{"francais.txt"};
    }

    void prepares()
    {
        QFETCH(QStringList, user);
        QFETCH(int, guideAge);
        QFETCH(QStringList, sample);
        QFETCH(QStringList, absent);
        // A folder that does not exist yet, two levels down.
        const QString folder = m_home->filePath("data/noctarel");
        for (const QString &name : std::as_const(user)) {
            const QString path = folder + '/' + name;
            QDir().mkpath(QFileInfo(path).path());
            writeBytes(path, "the user's");
            setTime(path, kInstalled.addSecs(-guideAge));
        }

        QCOMPARE(UserFolder::prepare(m_sample->path(), folder), QStringList());

        for (const QString &name : std::as_const(user)) {
            if (!sample.contains(name))
                QCOMPARE(readBytes(folder + '/' + name), QByteArray("the user's"));
        }
        for (const QString &name : std::as_const(sample)) {
            QCOMPARE(readBytes(folder + '/' + name), "installed " + name.toUtf8());
            QCOMPARE(QFileInfo(folder + '/' + name).lastModified(), kInstalled);
        }
        for (const QString &name : std::as_const(absent))
            QVERIFY2(!QFileInfo::exists(folder + '/' + name), qPrintable(name));
    }

    // The sample set speaks the system's language at a first start, and the
    // language the folder's settings name later.
    void setOfTheLanguage_data()
    {
        QTest::addColumn<int>("system");
        QTest::addColumn<QByteArray>("settings"); // the user's, none: a first start
        QTest::addColumn<QByteArray>("wsettings");
        QTest::addColumn<QByteArray>("process");
        const QByteArray french = "installed processus/fp4.txt";
        const QByteArray english = "installed english/processus/fp4.txt";
        const QByteArray englishSettings = "installed english/wsettings.txt";
        QTest::newRow("French system") << int(QLocale::French) << QByteArray()
                                       << QByteArray("installed wsettings.txt") << french;
        QTest::newRow("English system")
            << int(QLocale::English) << QByteArray() << englishSettings << english;
        QTest::newRow("German system: English")
            << int(QLocale::German) << QByteArray() << englishSettings << english;
        QTest::newRow("C locale: English")
            << int(QLocale::C) << QByteArray() << englishSettings << english;
        QTest::newRow("English folder on a French system")
            << int(QLocale::French) << QByteArray("Sound=1\r\nLanguageFile=%root%/english.txt\r\n")
            << QByteArray("Sound=1\r\nLanguageFile=%root%/english.txt\r\n") << english;
        QTest::newRow("French folder on an English system")
            << int(QLocale::English) << QByteArray("LanguageFile=francais.txt\r\n")
            << QByteArray("LanguageFile=francais.txt\r\n") << french;
    }
    void setOfTheLanguage()
    {
        QFETCH(int, system);
        QFETCH(QByteArray, settings);
        QFETCH(QByteArray, wsettings);
        QFETCH(QByteArray, process);
        QDir().mkpath(m_sample->filePath("english/processus"));
        for (const char *name : {"english/wsettings.txt", "english/processus/fp4.txt"})
            writeBytes(m_sample->filePath(name), QByteArray("installed ") + name);
        const QString folder = m_home->filePath("noctarel");
        if (!settings.isEmpty()) {
            QDir().mkpath(folder);
            writeBytes(folder + "/wsettings.txt", settings);
            // A folder from before the process file was in the sample.
            writeBytes(folder + "/.copied-samples.txt", "wsettings.txt\r\n");
        }
        QCOMPARE(UserFolder::prepare(m_sample->path(), folder, nullptr, QLocale::Language(system)),
                 QStringList());
        QCOMPARE(readBytes(folder + "/wsettings.txt"), wsettings);
        QCOMPARE(readBytes(folder + "/processus/fp4.txt"), process);
        QVERIFY(!QFileInfo::exists(folder + "/english"));
        QCOMPARE(readBytes(folder + "/francais.txt"), QByteArray("installed francais.txt"));
    }

    // Links are the user's too, dangling or not: nothing is written through
    // or over them.
    void keepsTheUsersLinks()
    {
        const QString folder = m_home->filePath("noctarel");
        QDir().mkpath(folder);
        QVERIFY(QFile::link(m_home->filePath("nowhere"), folder + "/francais.txt"));
        QVERIFY(QFile::link(m_home->filePath("old.pdf"), folder + "/tavo.pdf"));
        writeBytes(m_home->filePath("old.pdf"), "old");
        setTime(m_home->filePath("old.pdf"), kInstalled.addDays(-1));

        QCOMPARE(UserFolder::prepare(m_sample->path(), folder), QStringList());
        QVERIFY(QFileInfo(folder + "/francais.txt").isSymLink());
        QVERIFY(!QFileInfo::exists(m_home->filePath("nowhere")));
        QVERIFY(QFileInfo(folder + "/tavo.pdf").isSymLink());
        QCOMPARE(readBytes(m_home->filePath("old.pdf")), QByteArray("old"));
    }

    // A file that could not be copied comes at a later start; one the user
    // deleted stays deleted.
    void copiesWhatIsMissingAtTheNextStart()
    {
        const QString folder = m_home->filePath("noctarel");
        QDir().mkpath(folder);
        writeBytes(folder + "/processus", "in the way");
        QCOMPARE(UserFolder::prepare(m_sample->path(), folder).size(), 1);
        QVERIFY(QFileInfo::exists(folder + "/wsettings.txt"));

        QVERIFY(QFile::remove(folder + "/processus"));
        QVERIFY(QFile::remove(folder + "/francais.txt"));
        QCOMPARE(UserFolder::prepare(m_sample->path(), folder), QStringList());
        QCOMPARE(readBytes(folder + "/processus/fp4.txt"),
                 QByteArray("installed processus/fp4.txt"));
        QVERIFY(!QFileInfo::exists(folder + "/francais.txt"));
    }

    void saysWhatWentWrong_data()
    {
        QTest::addColumn<QString>("sampleFolder");
        QTest::addColumn<QString>("userFolder"); // under the scratch home
        QTest::addColumn<bool>("fatal");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no sample folder") << "/no/such/sample"
                                          << "noctarel" << false
                                          << "The installed sample folder /no/such/sample is "
                                             "missing.";
        QTest::newRow("a file in the way of the folder")
            << ""
            << "blocker/noctarel" << true
            << "The data folder @home/blocker/noctarel cannot be made: \"@home/blocker\" is a "
               "file, not a folder.";
        QTest::newRow("a loop of links in the way")
            << ""
            << "loop/noctarel" << true
            << "The data folder @home/loop/noctarel cannot be made: \"@home/loop\": Too many "
               "levels of symbolic links.";
        QTest::newRow("a file in the way of a subfolder")
            << ""
            << "partial" << false
            << "The sample file processus/fp4.txt was not copied: \"@home/partial/processus\" is a "
               "file, "
               "not a folder.";
    }

    void saysWhatWentWrong()
    {
        QFETCH(QString, sampleFolder);
        QFETCH(QString, userFolder);
        QFETCH(bool, fatal);
        QFETCH(QString, problem);
        writeBytes(m_home->filePath("blocker"), "a file");
        QVERIFY(QFile::link(m_home->filePath("loop"), m_home->filePath("loop")));
        QDir().mkpath(m_home->filePath("partial"));
        writeBytes(m_home->filePath("partial/processus"), "a file");
        const auto place = [this](QString s) {
            return s.replace("@home", m_home->path()).replace("@sample", m_sample->path());
        };
        const QString sample = sampleFolder.isEmpty() ? m_sample->path() : sampleFolder;

        bool stopped = !fatal;
        const QStringList problems =
            UserFolder::prepare(sample, m_home->filePath(userFolder), &stopped);
        QCOMPARE(problems, QStringList{place(problem)});
        QCOMPARE(stopped, fatal);
        // The rest is done all the same, the settings file last.
        if (userFolder == "partial") {
            QCOMPARE(readBytes(m_home->filePath("partial/francais.txt")),
                     QByteArray("installed francais.txt"));
            QVERIFY(QFileInfo::exists(m_home->filePath("partial/wsettings.txt")));
        }
    }

    // A copy that finds the disk full names the file and says so (it read
    // "Unknown error"), and copies nothing half.
    void aFullDiskIsSaid()
    {
        if (FullDisk::folder().isEmpty()) {
            QString said;
            QVERIFY2(FullDisk::runChild(&said), qPrintable(said));
            return;
        }
        const QString folder = FullDisk::folder() + "/noctarel";
        QVERIFY(QDir().mkpath(folder));
        FullDisk::fill();
        const QStringList problems = UserFolder::prepare(m_sample->path(), folder);
        QVERIFY(problems.contains("The sample file francais.txt was not copied: \"" + folder +
                                  "/francais.txt\": disk full."));
        QVERIFY(!QFileInfo::exists(folder + "/francais.txt"));
    }

    // The XDG rules: a relative XDG_DATA_HOME is no folder; without HOME
    // either there is none, rather than one under "/".
    void dataFolder_data()
    {
        QTest::addColumn<QString>("xdg");
        QTest::addColumn<QString>("home");
        QTest::addColumn<QString>("folder");
        QTest::newRow("XDG_DATA_HOME") << "/x/data"
                                       << "/home/u"
                                       << "/x/data/noctarel";
        QTest::newRow("no XDG_DATA_HOME") << ""
                                          << "/home/u"
                                          << "/home/u/.local/share/noctarel";
        QTest::newRow("a relative XDG_DATA_HOME") << "data"
                                                  << "/home/u"
                                                  << "/home/u/.local/share/noctarel";
        QTest::newRow("a relative one, no HOME") << "data"
                                                 << ""
                                                 << "";
        QTest::newRow("no HOME") << "/x/data"
                                 << ""
                                 << "/x/data/noctarel";
    }
    void dataFolder()
    {
        QFETCH(QString, xdg);
        QFETCH(QString, home);
        QFETCH(QString, folder);
        QString problem;
        QCOMPARE(UserFolder::dataFolder(xdg, home, &problem), folder);
        QCOMPARE(problem.isEmpty(), !folder.isEmpty());
    }

private:
    std::optional<QTemporaryDir> m_sample, m_home;
};

QTEST_GUILESS_MAIN(TestUserFolder)
#include "tst_user_folder.moc"
