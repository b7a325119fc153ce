#include "app_fixture.h"
#include "core/app/command_line.h"
#include "core/process/process_engine.h"
#include "full_disk.h"
#include "gui/app/preferences_page.h"
#include "gui/app/working_folder.h"
#include "gui/process/process_tab.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

#include <sys/inotify.h>
#include <unistd.h>

namespace {

// Whether anything opens one file, read without waiting.
class OpenWatch
{
public:
    explicit OpenWatch(const QString &path) : m_fd(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC))
    {
        ::inotify_add_watch(m_fd, QFile::encodeName(path).constData(), IN_OPEN);
    }
    ~OpenWatch() { ::close(m_fd); }
    OpenWatch(const OpenWatch &) = delete;
    OpenWatch &operator=(const OpenWatch &) = delete;
    bool opened() const
    {
        char events[4096];
        return ::read(m_fd, events, sizeof events) > 0;
    }

private:
    int m_fd;
};

// Shows a box through the real dialogs and returns the text format its text
// was shown in; the box is drawn, then closed.
Qt::TextFormat shownInBox(const ScriptedDialogs::Shown &box)
{
    Qt::TextFormat format = Qt::AutoText;
    QTimer::singleShot(0, [&format] {
        auto *shown = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!shown)
            return;
        shown->grab();
        format = shown->textFormat();
        shown->reject();
    });
    QtDialogs dialogs;
    switch (box.kind) {
    case ScriptedDialogs::Kind::Error:
        dialogs.showError(box.text);
        break;
    case ScriptedDialogs::Kind::Question:
        dialogs.askYesNo(box.text, box.caption);
        break;
    default:
        dialogs.showMessage(box.text);
    }
    return format;
}

} // namespace

Q_DECLARE_METATYPE(Dialogs::ChangedOnDisk)

class TestMainWindow : public QObject
{
    Q_OBJECT
private slots:
    void layout()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QCOMPARE(w.size(), QSize(792, 582));
        QCOMPARE(w.pgctrlMain->geometry(), QRect(4, 25, 781, 552));
        QCOMPARE(w.pgctrlMain->count(), 8);
        const QStringList names{
            "tbshtFilms",          "tbshtPapers", "tbshtDilutions", "tbshtUnitsConversion",
            "tbshtTimeConversion", "tbshtChem",   "tbshtProcess",   "tbshtPref"};
        for (int i = 0; i < 8; ++i)
            QCOMPARE(w.pgctrlMain->widget(i)->objectName(), names[i]);
        QCOMPARE(w.pgctrlFilms->geometry(), QRect(3, 3, 766, 518));
        QCOMPARE(w.pgctrlPapers->geometry(), QRect(3, 3, 766, 518));
        QCOMPARE(w.lblAppTitel->font().pixelSize(), 19);
        QVERIFY(w.lblAppTitel->font().bold());
        QCOMPARE(w.lblDateTime->geometry().right() + 1, 785);
        QCOMPARE(w.lblDateTime->y(), 6);
        QVERIFY(w.tmrMain->isActive());
        QCOMPARE(w.tmrMain->interval(), 1000);
    }

    void startsOnFilmsWithoutErrors()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(w.pgctrlMain->currentWidget(), w.tbshtFilms);
        QCOMPARE(w.preferences()->lbleSoundSeconds->text(), QStringLiteral("3"));
        QCOMPARE(w.context().current.SoundSeconds, 3);
        QCOMPARE(w.context().current.ProcessFolder, QStringLiteral("proc"));
        QCOMPARE(w.context().StartSnapshot, w.preferences()->SettingsSnapshot());
    }

    void missingSettingsStopsOnPreferences()
    {
        AppFixture f;
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList{"\"wsettings.txt\": File not found."});
        QCOMPARE(w.pgctrlMain->currentWidget(), w.preferences());
        QVERIFY(!w.lblDateTime->text().isEmpty());
        QVERIFY(w.tmrMain->isActive());
        QCOMPARE(w.pgctrlFilms->count(), 0);
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((w.frameGeometry().center() - centre).manhattanLength() <= 1);
        // The captions of the design stay.
        QCOMPARE(w.preferences()->btnPrefSave->text(), QStringLiteral("Enregistrer"));
    }

    // A line that cannot be read is reported by its number; the rest of the
    // file is taken and the start goes on, and what the file did not give is
    // no change of the user's: the close asks nothing and writes nothing.
    void badLineIsReportedAndTheRestRead()
    {
        AppFixture f;
        f.writeStandardFolder();
        QStringList lines = AppFixture::settingsLines();
        lines[0] = "Sound=2";
        lines[2] = "Color=x";
        f.dir.write("wsettings.txt", crlf(lines));
        const QByteArray before = f.dir.read("wsettings.txt");
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(),
                 QStringList{"\"wsettings.txt\": line 3: 'x' is not a valid integer value."});
        QVERIFY(w.preferences()->rbtnWaveYN->isChecked());
        QCOMPARE(w.preferences()->lbleChemFolder->text(), QStringLiteral("chem"));
        QCOMPARE(w.context().current.FilmProcessFile, QStringLiteral("films.txt"));
        QCOMPARE(w.pgctrlMain->currentWidget(), w.tbshtFilms);
        f.dialogs.yesNoAnswers.push_back(true);
        QVERIFY(w.FormClose());
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Question), 0);
        QCOMPARE(f.dir.read("wsettings.txt"), before);
    }

    // A settings file without a path line says which: "File not found" named
    // no file.
    void aMissingPathLineIsNamed_data()
    {
        QTest::addColumn<QString>("key");
        QTest::newRow("paper list") << "PaperProcessFile=";
        QTest::newRow("film list") << "FilmProcessFile=";
        QTest::newRow("agitation file") << "AgitationFile=";
    }
    void aMissingPathLineIsNamed()
    {
        QFETCH(QString, key);
        AppFixture f;
        f.writeStandardFolder();
        QStringList lines = AppFixture::settingsLines();
        lines.removeIf([&](const QString &line) { return line.startsWith(key); });
        f.dir.write("wsettings.txt", crlf(lines));
        f.dir.write("proc/a.txt", crlf({"[Titel]", "Film", "[Comments]", "", "[Process]",
                                        "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:05:00\t\t\tA"}));
        f.dir.write("films.txt", crlf({"a.txt"}));
        TfrmMain &w = f.start();
        if (key == "AgitationFile=") {
            w.processPages()->tab(0)->StartButton->click();
            QCoreApplication::processEvents(); // the box opens after the next tick is armed
        }
        QCOMPARE(f.dialogs.errors(),
                 QStringList{"No file is named for " + key + " in the settings."});
    }

    void nulInAPathIsAnError()
    {
        // The system would stop the name at the NUL and read lang.txt.
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("wsettings.txt", crlf(AppFixture::settingsLines(
                                         QString("LanguageFile=lang.txt") + QChar(0) + "junk")));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(),
                 QStringList{QString("\"lang.txt") + QChar(0x2400) + "junk\": Invalid file name."});
        QCOMPARE(w.preferences()->btnPrefSave->text(), QStringLiteral("Enregistrer"));
    }

    // A start from the desktop's menu has no terminal: what keeps the data
    // folder from being prepared is said in a box.
    void dataFolderProblemsShowInABox_data()
    {
        QTest::addColumn<QString>("blocked"); // a file put where the start needs a folder
        QTest::addColumn<bool>("works");
        QTest::addColumn<QString>("said");
        QTest::newRow("a file in the data folder's place")
            << "data/noctarel" << false << "The data folder @/data/noctarel cannot be made";
        QTest::newRow("a file in a sample subfolder's place")
            << "data/noctarel/proc" << true << "The sample file proc/a.txt was not copied";
        QTest::newRow("nothing in the way") << "" << true << "";
    }
    void dataFolderProblemsShowInABox()
    {
        QFETCH(QString, blocked);
        QFETCH(bool, works);
        QFETCH(QString, said);
        TempWorkDir dir;
        dir.write("sample/wsettings.txt", "Sound=1\r\n");
        dir.write("sample/proc/a.txt", "[Titel]\r\n");
        if (!blocked.isEmpty())
            dir.write(blocked, "in the way");
        const std::optional<QByteArray> xdg = qEnvironmentVariableIsSet("XDG_DATA_HOME")
                                                  ? std::optional(qgetenv("XDG_DATA_HOME"))
                                                  : std::nullopt;
        qputenv("XDG_DATA_HOME", QFile::encodeName(dir.file("data")));
        StartRequest request;
        request.userFolder = true;
        ScriptedDialogs dialogs;
        const bool worked = enterWorkingFolder(request, dir.file("sample"), dialogs);
        if (xdg)
            qputenv("XDG_DATA_HOME", *xdg);
        else
            qunsetenv("XDG_DATA_HOME");
        QCOMPARE(worked, works);
        if (works)
            QCOMPARE(QDir::currentPath(), dir.file("data/noctarel"));
        QCOMPARE(dialogs.count(ScriptedDialogs::Kind::Error), said.isEmpty() ? 0 : 1);
        if (!said.isEmpty())
            QVERIFY2(dialogs.errors().at(0).startsWith(said.replace("@", dir.path())),
                     qPrintable(dialogs.errors().at(0)));
    }

    void clockTextHasNoTimeZone()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.clock.setLocalNow(QDateTime(QDate(2026, 3, 29), QTime(2, 5, 9)));
        TfrmMain &w = f.start();
        QVERIFY2(w.lblDateTime->text().endsWith("02:05:09"), qPrintable(w.lblDateTime->text()));
        QVERIFY(w.lblDateTime->text().startsWith(
            QLocale::system().toString(QDate(2026, 3, 29), QLocale::ShortFormat) + " "));
        f.clock.setLocalNow(QDateTime(QDate(2026, 3, 29), QTime(23, 59, 58)));
        w.tmrMainTimer();
        QVERIFY(w.lblDateTime->text().endsWith("23:59:58"));
        QCOMPARE(w.lblDateTime->geometry().right() + 1, 785);
    }

    void closeAsksOnlyWhenChanged_data()
    {
        // Field texts typed over the loaded ones, each "name=text".
        QTest::addColumn<QStringList>("edits");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("written");
        QTest::newRow("unchanged") << QStringList() << false << false << false;
        QTest::newRow("changed, No") << QStringList{"lbleSoundSeconds=7"} << false << true << false;
        QTest::newRow("changed, Yes") << QStringList{"lbleSoundSeconds=7"} << true << true << true;
        QTest::newRow("changed back")
            << QStringList{"lbleSoundSeconds=99", "lbleSoundSeconds=3"} << true << false << false;
        QTest::newRow("a character moved to the next field")
            << QStringList{"lbleLanguageFile=lang.tx", "lblePaperPrcFile=tpapers.txt"} << false
            << true << false;
    }
    void closeAsksOnlyWhenChanged()
    {
        QFETCH(QStringList, edits);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        QFETCH(bool, written);
        AppFixture f;
        f.writeStandardFolder();
        const QByteArray before = f.dir.read("wsettings.txt");
        TfrmMain &w = f.start();
        for (const QString &edit : edits)
            w.findChild<LabeledEdit *>(edit.section('=', 0, 0))->setText(edit.section('=', 1));
        f.dialogs.yesNoAnswers.push_back(answer);
        QVERIFY(w.FormClose());
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Question), asked ? 1 : 0);
        if (asked) {
            QCOMPARE(f.dialogs.shown.back().text, QStringLiteral("T4"));
            QCOMPARE(f.dialogs.shown.back().caption, QStringLiteral("T5"));
        }
        const QByteArray after = f.dir.read("wsettings.txt");
        if (written) {
            QCOMPARE(after,
                     crlf({"Sound=1", "SoundSeconds=7", "Color=1", "LanguageFile=lang.txt",
                           "PaperProcessFile=papers.txt", "FilmProcessFile=films.txt",
                           "AgitationFile=agit.txt", "ProcessFolder=proc", "FormulaFolder=chem"}));
        } else {
            QCOMPARE(after, before);
        }
    }

    // Two Noctarels on one folder: the second's save finds the file the first
    // wrote and asks before writing over it.
    void changedOnDiskIsAskedAbout_data()
    {
        using A = Dialogs::ChangedOnDisk;
        QTest::addColumn<bool>("atClose");
        QTest::addColumn<A>("answer");
        QTest::addColumn<QString>("onDisk");   // whose settings the file holds after
        QTest::addColumn<QString>("onScreen"); // whose the page shows after
        QTest::addColumn<bool>("closes");
        QTest::newRow("close, keep mine") << true << A::KeepMine << "8"
                                          << "8" << true;
        QTest::newRow("close, take theirs") << true << A::TakeTheirs << "5"
                                            << "5" << true;
        QTest::newRow("close, cancel") << true << A::Cancel << "5"
                                       << "8" << false;
        QTest::newRow("Enregistrer, keep mine") << false << A::KeepMine << "8"
                                                << "8" << true;
        QTest::newRow("Enregistrer, take theirs") << false << A::TakeTheirs << "5"
                                                  << "5" << true;
        QTest::newRow("Enregistrer, cancel") << false << A::Cancel << "5"
                                             << "8" << true;
    }
    void changedOnDiskIsAskedAbout()
    {
        QFETCH(bool, atClose);
        QFETCH(Dialogs::ChangedOnDisk, answer);
        QFETCH(QString, onDisk);
        QFETCH(QString, onScreen);
        QFETCH(bool, closes);
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        w.preferences()->lbleSoundSeconds->setText("8");
        // The other window's save.
        QStringList theirs = AppFixture::settingsLines();
        theirs[1] = "SoundSeconds=5";
        f.dir.write("wsettings.txt", crlf(theirs));
        f.dialogs.changedOnDiskAnswers.push_back(answer);
        if (atClose) {
            f.dialogs.yesNoAnswers.push_back(true);
            QCOMPARE(w.FormClose(), closes);
        } else {
            w.preferences()->btnPrefSave->click();
        }
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::ChangedOnDiskQuestion), 1);
        QCOMPARE(f.dialogs.shown.back().text, QStringLiteral("T110"));
        QCOMPARE(f.dialogs.errors(), QStringList());
        QString saved = QString::fromLatin1(f.dir.read("wsettings.txt"));
        QCOMPARE(saved.section("\r\n", 1, 1), "SoundSeconds=" + onDisk);
        QCOMPARE(w.preferences()->lbleSoundSeconds->text(), onScreen);
        // Whatever the answer, the next save asks only if the file changes again.
        f.dialogs.clear();
        w.preferences()->btnPrefSave->click();
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::ChangedOnDiskQuestion),
                 answer == Dialogs::ChangedOnDisk::Cancel ? 1 : 0);
    }

    // Closing on a development under way asks first; Return says No.
    void closeAsksWhileAProcessIsUnderway()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("proc/a.txt", crlf({"[Titel]", "Film", "[Comments]", "", "[Process]",
                                        "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:05:00\t\t\t"}));
        f.dir.write("films.txt", crlf({"a.txt"}));
        TfrmMain &w = f.start();
        w.show();
        ProcessTab *tab = w.processPages()->tab(0);
        tab->StartButton->click();
        tab->PauseButton->click();
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Question), 1);
        const ScriptedDialogs::Shown asked = f.dialogs.shown.back();
        QCOMPARE(asked.text, QStringLiteral("T101"));
        QCOMPARE(asked.caption, QStringLiteral("T102"));
        QVERIFY(!asked.defaultYes);
        f.dialogs.yesNoAnswers.push_back(true);
        QVERIFY(w.FormClose());
        // Back to idle, nothing to ask.
        tab->ResetButton->click();
        f.dialogs.clear();
        QVERIFY(w.FormClose());
        QCOMPARE(f.dialogs.shown.size(), size_t(0));
    }

    void closeWithoutLanguageUsesOwnTexts()
    {
        AppFixture f;
        TfrmMain &w = f.start();
        w.preferences()->rbtnWaveYN->setChecked(true);
        QVERIFY(w.FormClose());
        QCOMPARE(f.dialogs.shown.back().text,
                 QStringLiteral("Les préférences ont été modifiées. Les enregistrer ?"));
        QCOMPARE(f.dialogs.shown.back().caption, QStringLiteral("Préférences"));
    }

    void failedSaveOnCloseKeepsWindowOpen()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        w.show();
        QFile::setPermissions(f.dir.file("wsettings.txt"), QFile::ReadOwner);
        w.preferences()->lbleSoundSeconds->setText("8");
        f.dialogs.yesNoAnswers.push_back(true);
        QVERIFY(!w.close());
        QVERIFY(w.isVisible());
        QCOMPARE(f.dialogs.errors(), QStringList{"\"wsettings.txt\": File access denied."});
        QFile::setPermissions(f.dir.file("wsettings.txt"), QFile::ReadOwner | QFile::WriteOwner);
    }

    // A save that finds the disk full says so and leaves the old file whole.
    // The writer's short buffer used to fail only in the commit's own flush,
    // which Qt took for success: the file was renamed over the old one empty.
    void aFullDiskKeepsTheOldFile_data()
    {
        QTest::addColumn<QString>("save");
        QTest::newRow("settings, close with Yes") << "close";
        QTest::newRow("Processus, Enregistrer") << "process";
    }
    void aFullDiskKeepsTheOldFile()
    {
        QFETCH(QString, save);
        if (FullDisk::folder().isEmpty()) {
            QString said;
            QVERIFY2(FullDisk::runChild(&said), qPrintable(said));
            return;
        }
        AppFixture f(FullDisk::folder());
        f.writeStandardFolder();
        const QByteArray process = crlf({"[Titel]", "Film", "[Comments]", "c", "[Process]",
                                         "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:05:00\t\t\t"});
        f.dir.write("proc/a.txt", process);
        const QByteArray settings = f.dir.read("wsettings.txt");
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        FullDisk::fill();
        QString saved;
        if (save == "close") {
            saved = "wsettings.txt";
            w.preferences()->lbleSoundSeconds->setText("8");
            f.dialogs.yesNoAnswers.push_back(true);
            QVERIFY(!w.FormClose());
        } else {
            saved = "proc/a.txt";
            w.findChild<QLineEdit *>("lblePROCFile")->setText(saved);
            w.findChild<QPushButton *>("btnPROCOpen")->click();
            w.findChild<QLineEdit *>("lblePROCTitel")->setText("Film 2");
            w.findChild<QPushButton *>("btnPROCSave")->click();
        }
        QCOMPARE(f.dialogs.errors(), QStringList{fileError(saved, "disk full") + '.'});
        QCOMPARE(f.dir.read("wsettings.txt"), settings);
        QCOMPARE(f.dir.read("proc/a.txt"), process);
    }

    // Text from a file is shown as it stands: a label or box that took it for
    // HTML would load the image its markup names (a FIFO there hung the
    // program, /dev/zero ate the memory).
    void fileTextShowsAsPlainText_data()
    {
        QTest::addColumn<QString>("source");
        QTest::newRow("language lines: captions, messages, agitation texts") << "language";
        QTest::newRow("process file: title, step, agitation description") << "process";
        QTest::newRow("a path in the settings, quoted by an error") << "settings";
    }
    void fileTextShowsAsPlainText()
    {
        QFETCH(QString, source);
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("probe.png", "not read");
        OpenWatch watch(f.dir.file("probe.png"));
        const QString markup = "<b>B</b><img src=\"" + f.dir.file("probe.png") + "\">";
        if (source == "language") {
            QStringList lang;
            for (int n = 1; n < LanguageTable::Size; ++n)
                lang << QString("%1\t%2").arg(n).arg(markup);
            f.dir.write("lang.txt", lang.join("\r\n").toUtf8());
        }
        const QString title = source == "process" ? markup : "Film";
        f.dir.write("proc/a.txt", ("[Titel]\r\n" + title +
                                   "\r\n[Comments]\r\n\r\n[Process]\r\nStep\tTime\tTime "
                                   "2\tWait\tAgit\r\n" +
                                   title + "\t00:05:00\t\t\tZ\r\n")
                                      .toUtf8());
        f.dir.write("agit.txt", ("Z\t" + markup + "\t0_00:00:10_00:00:00\r\n").toUtf8());
        f.dir.write("films.txt", crlf({"a.txt"}));
        if (source == "settings")
            f.dir.write("wsettings.txt",
                        crlf(AppFixture::settingsLines("FilmProcessFile=" + markup)));
        TfrmMain &w = f.start();
        w.show();
        if (source != "settings") {
            w.processPages()->tab(0)->StartButton->click();
            // The editor's message for a file of another kind, and the close question.
            w.findChild<QLineEdit *>("lblePROCFile")->setText("agit.txt");
            w.findChild<QPushButton *>("btnPROCOpen")->click();
            w.preferences()->lbleSoundSeconds->setText("9");
            f.dialogs.yesNoAnswers.push_back(true); // quit on the process under way
            QVERIFY(w.FormClose());
        }

        int showing = 0;
        QStringList asHtml;
        for (QLabel *label : w.findChildren<QLabel *>()) {
            label->grab();
            if (label->text().contains("<b>")) {
                ++showing;
                if (label->textFormat() != Qt::PlainText)
                    asHtml << label->objectName();
            }
        }
        for (const ScriptedDialogs::Shown &box : f.dialogs.shown) {
            if (box.text.contains("<b>")) {
                ++showing;
                if (shownInBox(box) != Qt::PlainText)
                    asHtml << "box: " + box.text;
            }
        }
        QVERIFY(showing > 0);
        QVERIFY(!watch.opened());
        QCOMPARE(asHtml, QStringList());
    }

    void saveWithBadCountDownTouchesNothing()
    {
        AppFixture f;
        f.writeStandardFolder();
        const QByteArray before = f.dir.read("wsettings.txt");
        TfrmMain &w = f.start();
        const auto snapshot = w.context().StartSnapshot;
        w.preferences()->lbleSoundSeconds->setText("abc");
        w.preferences()->btnPrefSave->click();
        QCOMPARE(f.dialogs.errors(), QStringList{"'abc' is not a valid integer value."});
        QCOMPARE(f.dir.read("wsettings.txt"), before);
        QCOMPARE(w.context().StartSnapshot, snapshot);
    }

    void saveContractsAndCancelReloads()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("wsettings.txt", crlf({"LanguageFile=%ROOT%/lang.txt", "SoundSeconds=07"}));
        f.dir.write("papers.txt", QByteArray());
        // The program folder is the working folder here, so %root% resolves.
        TfrmMain &w = f.start(f.dir.path());
        QCOMPARE(w.preferences()->lbleLanguageFile->text(), f.dir.file("lang.txt"));
        w.preferences()->lbleChemFolder->setText(f.dir.path() + "/chem");
        w.preferences()->btnPrefSave->click();
        const QStringList saved = QString::fromLatin1(f.dir.read("wsettings.txt")).split("\r\n");
        QCOMPARE(saved.at(1), QStringLiteral("SoundSeconds=7"));
        QCOMPARE(saved.at(3), QStringLiteral("LanguageFile=%root%/lang.txt"));
        QCOMPARE(saved.at(8), QStringLiteral("FormulaFolder=%root%/chem"));
        QCOMPARE(w.context().StartSnapshot, w.preferences()->SettingsSnapshot());
        QVERIFY(w.FormClose());
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Question), 0);

        f.dir.write("wsettings.txt", crlf({"SoundSeconds=7"}));
        w.preferences()->lbleSoundSeconds->setText("9");
        w.preferences()->rbtnMonoYN->setChecked(true);
        w.preferences()->btnPrefCancel->click();
        QCOMPARE(w.preferences()->lbleSoundSeconds->text(), QStringLiteral("7"));
        // The file names no colour: the radio buttons keep their state.
        QVERIFY(w.preferences()->rbtnMonoYN->isChecked());
        QCOMPARE(w.context().StartSnapshot, w.preferences()->SettingsSnapshot());
    }

    void languageFileCaptions()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QCOMPARE(w.windowTitle(), QStringLiteral("T10"));
        QCOMPARE(w.lblAppTitel->text(), QStringLiteral("T11"));
        QCOMPARE(w.pgctrlMain->tabText(1), QStringLiteral("T12"));
        QCOMPARE(w.pgctrlMain->tabText(0), QStringLiteral("T13"));
        QCOMPARE(w.pgctrlMain->tabText(7), QStringLiteral("T16"));
        QCOMPARE(w.preferences()->grpbxSound->title(), QStringLiteral("T41"));
        QCOMPARE(w.preferences()->lbleSoundSeconds->caption(), QStringLiteral("T45"));
        QCOMPARE(w.preferences()->lbleChemFolder->caption(), QStringLiteral("T94"));
        QCOMPARE(w.preferences()->btnPrefSave->text(), QStringLiteral("T38"));
        QCOMPARE(w.preferences()->grpbxFiles->title(), QStringLiteral("Fichiers"));
        QCOMPARE(w.context().Messages.at(0), QStringLiteral("T1"));
        QCOMPARE(w.context().Messages.at(9), QStringLiteral("T10"));
        QCOMPARE(w.context().AgitComingText, QStringLiteral("T79"));
        QCOMPARE(w.context().AgitRunningText, QStringLiteral("T80"));
        QCOMPARE(w.context().noFileMessage(), QStringLiteral("T95"));
        QCOMPARE(w.preferences()->chkbxSafelight->text(), QStringLiteral("T96"));
        const int expected = int(std::nearbyint((792 - w.lblAppTitel->width()) / 2.0));
        QCOMPARE(w.lblAppTitel->x(), expected);
        // Shown in its frame, the window keeps the heading where it was.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        w.preferences()->btnPrefReload->click();
        QCOMPARE(w.lblAppTitel->x(), expected);

        // A 20-line file blanks every caption from entry 21 on.
        QStringList twenty;
        for (int n = 1; n <= 20; ++n)
            twenty << QString("%1\tS%1").arg(n);
        twenty[9] = "10\t"; // an empty title, as the file says
        // A fresh window: the table starts empty at start-up.
        AppFixture g;
        g.writeStandardFolder();
        g.dir.write("short.txt", crlf(twenty));
        g.dir.write("wsettings.txt", crlf({"LanguageFile=short.txt", "PaperProcessFile=papers.txt",
                                           "FilmProcessFile=films.txt"}));
        TfrmMain &v = g.start();
        QCOMPARE(v.pgctrlMain->tabText(0), QStringLiteral("S13"));
        QCOMPARE(v.windowTitle(), QString());
        QCOMPARE(v.preferences()->btnPrefSave->text(), QString());
        QCOMPARE(v.preferences()->grpbxSound->title(), QString());
        QCOMPARE(v.context().AgitComingText, QString());
        // The safelight's caption is newer than most files: it has our own.
        QCOMPARE(v.preferences()->chkbxSafelight->text(), QStringLiteral("Lumière inactinique"));
    }

    void everyCaptionAndSchemeControlExists()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QStringList missing;
        for (const CaptionTarget &t : captionTargets())
            if (!w.findChild<QWidget *>(QLatin1String(t.control)))
                missing << QLatin1String(t.control);
        int found = 0;
        for (const char *name : schemeControlNames()) {
            if (w.findChild<QWidget *>(QLatin1String(name)))
                ++found;
            else
                missing << QLatin1String(name);
        }
        QCOMPARE(missing, QStringList());
        QCOMPARE(found, 57);
        // The scheme switch recolours all of them, the time grid through its cells.
        w.preferences()->rbtnMonoYN->click();
        for (const char *name : schemeControlNames()) {
            QWidget *c = w.findChild<QWidget *>(QLatin1String(name));
            if (auto *g = qobject_cast<StringGrid *>(c))
                QCOMPARE(g->grid()->fontColor(), 0x808080u);
            else
                QCOMPARE(fontColorOf(c), 0x808080u);
        }
        w.preferences()->rbtnColorYN->click();
        QCOMPARE(fontColorOf(w.findChild<QWidget *>("pnlQtyStockd")), 0x0000FFu);
        // Every caption of the table took its entry.
        QCOMPARE(w.findChild<QAbstractButton *>("btnDild")->text(), QStringLiteral("T27"));
        QCOMPARE(w.findChild<LabeledEdit *>("lbleChemType")->caption(), QStringLiteral("T84"));
        QCOMPARE(w.findChild<QGroupBox *>("rgrpDEVTUnit")->title(), QStringLiteral("T78"));
    }

    // What start-up leaves for after the first frame is there before the first
    // input is handled, captioned and coloured as if built at once; a page is
    // built as it is shown.
    void laterControlsComeBeforeTheFirstInput_data()
    {
        QTest::addColumn<QString>("first");
        QTest::newRow("first frame") << "frame";
        QTest::newRow("key press") << "key";
        QTest::newRow("click") << "click";
        QTest::newRow("page shown") << "page";
    }
    void laterControlsComeBeforeTheFirstInput()
    {
        QFETCH(QString, first);
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("wsettings.txt", crlf(AppFixture::settingsLines("Color=2")));
        f.dir.write("proc/a.txt", crlf({"[Titel]", "Dev", "[Comments]", "", "[Process]",
                                        "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:00:05\t\t\t"}));
        f.dir.write("films.txt", crlf({"a.txt", "a.txt"}));
        TfrmMain &w = f.start();
        // QObject's own look-up, which waits for nothing.
        const QObject &window = w;
        QCOMPARE(f.dialogs.errors(), QStringList());
        QVERIFY(!w.isBuilt());
        QVERIFY(!window.findChild<QWidget *>("btnDild"));
        if (first == "frame") {
            w.show();
            QVERIFY(QTest::qWaitFor([&] { return w.isBuilt(); }));
        } else if (first == "key") {
            QTest::keyClick(w.pgctrlMain->tabBar(), Qt::Key_Right);
        } else if (first == "click") {
            QTest::mouseClick(w.lblAppTitel, Qt::LeftButton);
        } else {
            w.pgctrlMain->setCurrentWidget(w.tbshtDilutions);
        }
        QCOMPARE(w.isBuilt(), first != "page");
        QVERIFY(window.findChild<QWidget *>("btnDild"));
        QCOMPARE(window.findChild<QAbstractButton *>("btnDild")->text(), QStringLiteral("T27"));
        QCOMPARE(fontColorOf(window.findChild<QWidget *>("pnlQtyStockd")), 0x808080u);
        if (first == "page")
            return;
        QCOMPARE(window.findChild<StringGrid *>("sgrdPROC")->grid()->colWidth(0), 160);
        QCOMPARE(window.findChild<LabeledEdit *>("lbleChemType")->caption(), QStringLiteral("T84"));
        QCOMPARE(window.findChild<QAbstractButton *>("btnF1Start")->text(), QStringLiteral("T17"));
        QCOMPARE(window.findChild<QLabel *>("lblF1Stepc")->text(), QStringLiteral("Dev"));
    }

    void emptyLanguagePathKeepsCaptions()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("wsettings.txt",
                    crlf({"PaperProcessFile=papers.txt", "FilmProcessFile=films.txt"}));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(w.pgctrlMain->tabText(0), QStringLiteral("Films"));
        QCOMPARE(w.pgctrlMain->currentWidget(), w.tbshtFilms);
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
