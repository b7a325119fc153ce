#include "app_fixture.h"
#include "core/base/colors.h"
#include "gui/app/preferences_page.h"
#include "gui/app/process_list_editor.h"
#include "gui/process/process_tab.h"
#include "gui/widgets.h"

#include <QDesktopServices>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QUrl>

class UrlCatcher : public QObject
{
    Q_OBJECT
public:
    UrlCatcher() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "open"); }
    ~UrlCatcher() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> urls;
public slots:
    void open(const QUrl &url) { urls << url; }
};

namespace {

void writeProcesses(AppFixture &f)
{
    f.dir.write("proc/a.txt", crlf({"[Titel]", "Film A", "[Comments]", "", "[Process]",
                                    "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:05:00\t\t\tA",
                                    "Fix\t00:05:00\t\t\t"}));
    f.dir.write("films.txt", crlf({"a.txt"}));
}

} // namespace

class TestPreferencesPage : public QObject
{
    Q_OBJECT
private slots:
    void filePickers_data()
    {
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("field");
        QTest::newRow("language") << "btnSelLangFile"
                                  << "lbleLanguageFile";
        QTest::newRow("papers") << "btnSelPapPrcFile"
                                << "lblePaperPrcFile";
        QTest::newRow("films") << "btnSelFlmPrcFile"
                               << "lbleFilmPrcFile";
        QTest::newRow("agitation") << "btnSelAgitation"
                                   << "lbleAgitationFile";
    }
    void filePickers()
    {
        QFETCH(QString, button);
        QFETCH(QString, field);
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start("/opt/noctarel");
        auto *b = control<QPushButton>(w, button);
        auto *e = control<LabeledEdit>(w, field);
        QVERIFY(b && e);
        const QString before = e->text();
        b->click(); // cancelled
        QCOMPARE(e->text(), before);
        QVERIFY(!w.preferences()->hasUnsavedChanges());
        const ScriptedDialogs::Shown &asked = f.dialogs.shown.back();
        QCOMPARE(asked.kind, ScriptedDialogs::Kind::OpenFile);
        QCOMPARE(asked.caption, QStringLiteral("Text (*.txt)"));
        QCOMPARE(asked.fileName, QStringLiteral("*.txt"));
        // The working folder, where the user's files are, not the program's.
        QCOMPARE(asked.folder, f.dir.path());

        // A file of the program's folder is still saved with %root%.
        const QString picked = "/opt/noctarel/picked.txt";
        f.dialogs.fileAnswers.push_back(picked);
        b->click();
        QCOMPARE(e->text(), picked);
        control<QPushButton>(w.preferences(), "btnPrefSave")->click();
        QVERIFY(QString::fromLatin1(f.dir.read("wsettings.txt"))
                    .contains(e->objectName() == "lbleLanguageFile"
                                  ? QStringLiteral("LanguageFile=%root%/picked.txt")
                                  : QStringLiteral("=%root%/picked.txt")));
        QCOMPARE(f.dialogs.errors(), QStringList());
    }

    void folderPickers()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        PreferencesPage *p = w.preferences();
        f.dialogs.folderAnswers.push_back(QStringLiteral("/data/chimie"));
        control<QPushButton>(p, "btnChemFolder")->click();
        QCOMPARE(f.dialogs.shown.back().caption, QStringLiteral("T94"));
        QCOMPARE(control<LabeledEdit>(p, "lbleChemFolder")->text(), QStringLiteral("/data/chimie"));
        QCOMPARE(w.settings().values().formulaFolder, QStringLiteral("/data/chimie"));
        control<QPushButton>(p, "btnProcFolder")->click(); // cancelled
        QCOMPARE(f.dialogs.shown.back().caption, QStringLiteral("T93"));
        QCOMPARE(control<LabeledEdit>(p, "lbleProcFolder")->text(), QStringLiteral("proc"));
    }

    void processFolderFollowsTypingAtOnce()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        control<LabeledEdit>(w.preferences(), "lbleProcFolder")->clear();
        QTest::keyClicks(control<LabeledEdit>(w.preferences(), "lbleProcFolder"), "/films/process");
        QCOMPARE(w.settings().values().processFolder, QStringLiteral("/films/process"));
        auto *pick = control<QPushButton>(w, "btnPROCSelInput");
        QVERIFY(pick);
        pick->click();
        QCOMPARE(f.dialogs.shown.back().folder, QStringLiteral("/films/process"));
    }

    void countDownLengthChangesOnlyBySave()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QCOMPARE(w.settings().countDownSeconds(), 3);
        control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("9");
        control<QPushButton>(w.preferences(), "btnPrefReload")->click();
        QCOMPARE(w.settings().countDownSeconds(), 3);
        control<QPushButton>(w.preferences(), "btnPrefSave")->click();
        QCOMPARE(w.settings().countDownSeconds(), 9);
    }

    void reloadStopsARunningProcessForGood()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        TfrmMain &w = f.start();
        ProcessTab *tab = w.processPages()->tab(0);
        StartButton(tab)->click();
        QVERIFY(StepTimer(tab)->isActive());
        QPointer<QTimer> oldTimer = StepTimer(tab);
        QPointer<ProcessTab> oldTab = tab;
        control<QPushButton>(w.preferences(), "btnPrefReload")->click();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QVERIFY(oldTimer.isNull());
        QVERIFY(oldTab.isNull());
        QVERIFY(control<QTimer>(w, "tmrMain")->isActive());
        ProcessTab *rebuilt = w.processPages()->tab(0);
        QVERIFY(!StepTimer(rebuilt)->isActive());
        QCOMPARE(TimeLabel(rebuilt)->text(), QStringLiteral("00:00:00"));
        QCOMPARE(w.processPages()->engine().process(0).currentCol(), 0);
        QCOMPARE(StartButton(rebuilt)->text(), QStringLiteral("T17"));
        QCOMPARE(w.findChildren<QTimer *>("tmrF0").size(), 1);
    }

    // Every reload rebuilds the process tabs: nothing of the old ones may stay.
    void reloadsLeaveNothingBehind()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        f.dir.write("papers.txt", crlf({"a.txt", "a.txt"}));
        TfrmMain &w = f.start();
        LiveObjects live;
        if (!live.available())
            QSKIP("no object hooks in this Qt");
        const auto reload = [&] {
            control<QPushButton>(w.preferences(), "btnPrefReload")->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        reload();
        const long afterOne = live.count();
        for (int i = 1; i < 50; ++i)
            reload();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(control<QTabWidget>(w, "pgctrlPapers")->count(), 2);
        QCOMPARE(live.count(), afterOne);
    }

    void cancelRestoresThePathButNotTheLanguage()
    {
        AppFixture f;
        f.writeStandardFolder();
        QStringList other;
        for (int n = 1; n <= 99; ++n)
            other << QString("%1\tO%1").arg(n);
        f.dir.write("other.txt", crlf(other));
        TfrmMain &w = f.start();
        control<LabeledEdit>(w.preferences(), "lbleLanguageFile")->setText("other.txt");
        control<QPushButton>(w.preferences(), "btnPrefCancel")->click();
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleLanguageFile")->text(),
                 QStringLiteral("lang.txt"));
        QCOMPARE(control<QPushButton>(w.preferences(), "btnPrefSave")->text(),
                 QStringLiteral("T38"));
        control<LabeledEdit>(w.preferences(), "lbleLanguageFile")->setText("other.txt");
        control<QPushButton>(w.preferences(), "btnPrefReload")->click();
        QCOMPARE(control<QPushButton>(w.preferences(), "btnPrefSave")->text(),
                 QStringLiteral("O38"));
        // Reload reads no settings and keeps the snapshot of the file.
        QVERIFY(w.preferences()->hasUnsavedChanges());
    }

    void longValueIsSavedWhole()
    {
        // An edit field used to keep 32,767 characters and save them cut.
        AppFixture f;
        const QString folder = "chem/" + QString(40'000, 'd');
        f.writeStandardFolder();
        f.dir.write("wsettings.txt", crlf(AppFixture::settingsLines("FormulaFolder=" + folder)));
        TfrmMain &w = f.start();
        control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("4");
        control<QPushButton>(w.preferences(), "btnPrefSave")->click();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QVERIFY(
            f.dir.read("wsettings.txt").endsWith("FormulaFolder=" + folder.toLatin1() + "\r\n"));
    }

    void reloadWithAMissingListReportsIt()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        TfrmMain &w = f.start();
        control<QRadioButton>(w.preferences(), "rbtnMonoYN")->setChecked(true);
        control<LabeledEdit>(w.preferences(), "lbleFilmPrcFile")->setText("gone.txt");
        control<QPushButton>(w.preferences(), "btnPrefReload")->click();
        QCOMPARE(f.dialogs.errors(), QStringList{"\"gone.txt\": File not found."});
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->count(), 0);
    }

    void reloadAppliesTheChosenScheme()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        TfrmMain &w = f.start();
        control<QRadioButton>(w.preferences(), "rbtnMonoYN")->setChecked(true);
        control<QPushButton>(w.preferences(), "btnPrefReload")->click();
        // A new tab's blue labels turn white under the monochrome scheme.
        QCOMPARE(fontColorOf(TimeLabel(w.processPages()->tab(0))), Colors::White);
    }

    void colourButtonsSwitchAtOnce()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        TfrmMain &w = f.start();
        ProcessTab *tab = w.processPages()->tab(0);
        StartButton(tab)->click();
        PauseButton(tab)->click();
        QCOMPARE(fontColorOf(StepLabel(tab)), Colors::Yellow);
        control<QRadioButton>(w.preferences(), "rbtnMonoYN")->click();
        QCOMPARE(fontColorOf(StepLabel(tab)), Colors::Silver);
        PauseButton(tab)->click();
        QVERIFY(StepTimer(tab)->isActive());
        QCOMPARE(fontColorOf(TimeLabel(tab)), Colors::Gray);
        control<QRadioButton>(w.preferences(), "rbtnColorYN")->click();
        QCOMPARE(fontColorOf(TimeLabel(tab)), Colors::Red);
    }

    // A process goes on a tab from the editor, once; a rebuild that would stop
    // a run is asked about first.
    void addToFilmsAppendsOnce()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        f.dir.write("proc/b.txt", f.dir.read("proc/a.txt").replace("Film A", "Film B"));
        f.dir.write("proc/c.txt", f.dir.read("proc/a.txt").replace("Film A", "Film C"));
        TfrmMain &w = f.start();
        auto *films = control<QTabWidget>(w, "pgctrlFilms");
        auto *file = control<QLineEdit>(w, "lblePROCFile");
        auto *add = control<QPushButton>(w, "btnPROCAddFilms");
        file->setText("b.txt");
        control<QPushButton>(w, "btnPROCOpen")->click();
        add->click();
        QCOMPARE(f.dialogs.shown.size(), size_t(0));
        QCOMPARE(f.dir.read("films.txt"), crlf({"a.txt", "b.txt"}));
        QCOMPARE(films->count(), 2);
        QCOMPARE(films->tabText(1), QStringLiteral("Film B"));
        QCOMPARE(films->currentIndex(), 1);
        add->click();
        QCOMPARE(f.dir.read("films.txt"), crlf({"a.txt", "b.txt"}));
        QCOMPARE(films->count(), 2);

        // Under way: asked; No adds nothing and the run goes on.
        ProcessTab *running = w.processPages()->tab(0);
        StartButton(running)->click();
        file->setText("c.txt");
        control<QPushButton>(w, "btnPROCOpen")->click();
        add->click();
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Question), 1);
        QCOMPARE(f.dir.read("films.txt"), crlf({"a.txt", "b.txt"}));
        QVERIFY(StepTimer(running)->isActive());
        QCOMPARE(f.dialogs.errors(), QStringList());
    }

    // The list editor writes each change at once; a change that cannot be
    // written leaves the list file and the list shown as they were.
    void listEditorWritesTheList_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("button");
        QTest::addColumn<bool>("readOnly");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("down") << 0 << "btnListDown" << false
                              << QStringList{"b.txt", "a.txt", "c.txt"};
        QTest::newRow("up") << 2 << "btnListUp" << false << QStringList{"a.txt", "c.txt", "b.txt"};
        QTest::newRow("up from the top")
            << 0 << "btnListUp" << false << QStringList{"a.txt", "b.txt", "c.txt"};
        QTest::newRow("remove") << 1 << "btnListRemove" << false << QStringList{"a.txt", "c.txt"};
        QTest::newRow("failed save")
            << 1 << "btnListRemove" << true << QStringList{"a.txt", "b.txt", "c.txt"};
    }
    void listEditorWritesTheList()
    {
        QFETCH(int, row);
        QFETCH(QString, button);
        QFETCH(bool, readOnly);
        QFETCH(QStringList, expected);
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        for (const char *name : {"b.txt", "c.txt"})
            f.dir.write(QString("proc/") + name, f.dir.read("proc/a.txt"));
        f.dir.write("films.txt", crlf({"a.txt", "", " b.txt", "c.txt"}));
        TfrmMain &w = f.start();
        control<QPushButton>(w.preferences(), "btnFilmList")->click();
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Modal), 1);
        QCOMPARE(f.dialogs.shown.back().text, QStringLiteral("dlgProcessList"));
        auto *editor = control<ProcessListEditor>(w.preferences(), "dlgProcessList");
        auto *list = control<QListWidget>(editor, "lstProcessList");
        QCOMPARE(list->count(), 3);
        const QByteArray before = f.dir.read("films.txt");
        if (readOnly)
            QFile::setPermissions(f.dir.file("films.txt"), QFile::ReadOwner | QFile::ReadUser);
        list->setCurrentRow(row);
        control<QPushButton>(editor, button)->click();
        QStringList shown;
        for (int i = 0; i < list->count(); ++i)
            shown << list->item(i)->text();
        QCOMPARE(shown, expected);
        if (readOnly) {
            QCOMPARE(f.dialogs.errors(), QStringList{"\"films.txt\": File access denied."});
            QCOMPARE(f.dir.read("films.txt"), before);
        } else {
            QCOMPARE(f.dialogs.errors(), QStringList());
            if (expected != QStringList{"a.txt", "b.txt", "c.txt"})
                QCOMPARE(f.dir.read("films.txt"), crlf(expected));
        }
        QVERIFY(QFile::exists(f.dir.file("proc/b.txt")));
        // The tabs follow at the next Recharger.
        QCOMPARE(w.processPages()->tabs().size(), size_t(3));
        control<QPushButton>(w.preferences(), "btnPrefReload")->click();
        QCOMPARE(w.processPages()->tabs().size(), size_t(expected.size()));
    }

    void doubleClickOpensTheFile_data()
    {
        QTest::addColumn<QString>("field");
        QTest::newRow("language") << "lbleLanguageFile";
        QTest::newRow("papers") << "lblePaperPrcFile";
        QTest::newRow("films") << "lbleFilmPrcFile";
        QTest::newRow("agitation") << "lbleAgitationFile";
    }
    void doubleClickOpensTheFile()
    {
        QFETCH(QString, field);
        UrlCatcher urls;
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        auto *e = control<LabeledEdit>(w, field);
        QTest::mouseDClick(e, Qt::LeftButton);
        QCOMPARE(urls.urls, QList<QUrl>{QUrl::fromLocalFile(f.dir.file(e->text()))});
        QVERIFY(f.dialogs.shown.empty());
    }
};

QTEST_MAIN(TestPreferencesPage)
#include "tst_preferences_page.moc"
