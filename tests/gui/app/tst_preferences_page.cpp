#include "app_fixture.h"
#include "core/base/colors.h"
#include "gui/app/preferences_page.h"
#include "gui/process/process_tab.h"
#include "gui/widgets.h"

#include <QDesktopServices>
#include <QLabel>
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
        auto *b = w.findChild<QPushButton *>(button);
        auto *e = w.findChild<LabeledEdit *>(field);
        QVERIFY(b && e);
        const QString before = e->text();
        b->click(); // cancelled
        QCOMPARE(e->text(), before);
        QCOMPARE(w.context().StartSnapshot, w.preferences()->SettingsSnapshot());
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
        w.preferences()->btnPrefSave->click();
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
        p->btnChemFolder->click();
        QCOMPARE(f.dialogs.shown.back().caption, QStringLiteral("T94"));
        QCOMPARE(p->lbleChemFolder->text(), QStringLiteral("/data/chimie"));
        QCOMPARE(w.context().current.FormulaFolder, QStringLiteral("/data/chimie"));
        p->btnProcFolder->click(); // cancelled
        QCOMPARE(f.dialogs.shown.back().caption, QStringLiteral("T93"));
        QCOMPARE(p->lbleProcFolder->text(), QStringLiteral("proc"));
    }

    void processFolderFollowsTypingAtOnce()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        w.preferences()->lbleProcFolder->clear();
        QTest::keyClicks(w.preferences()->lbleProcFolder, "/films/process");
        QCOMPARE(w.context().current.ProcessFolder, QStringLiteral("/films/process"));
        auto *pick = w.findChild<QPushButton *>("btnPROCSelInput");
        QVERIFY(pick);
        pick->click();
        QCOMPARE(f.dialogs.shown.back().folder, QStringLiteral("/films/process"));
    }

    void countDownLengthChangesOnlyBySave()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QCOMPARE(w.context().current.SoundSeconds, 3);
        w.preferences()->lbleSoundSeconds->setText("9");
        w.preferences()->btnPrefReload->click();
        QCOMPARE(w.context().current.SoundSeconds, 3);
        w.preferences()->btnPrefSave->click();
        QCOMPARE(w.context().current.SoundSeconds, 9);
    }

    void reloadStopsARunningProcessForGood()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        TfrmMain &w = f.start();
        ProcessTab *tab = w.processPages()->tab(0);
        tab->StartButton->click();
        QVERIFY(tab->StepTimer->isActive());
        QPointer<QTimer> oldTimer = tab->StepTimer.data();
        QPointer<ProcessTab> oldTab = tab;
        w.preferences()->btnPrefReload->click();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QVERIFY(oldTimer.isNull());
        QVERIFY(oldTab.isNull());
        QVERIFY(w.tmrMain->isActive());
        ProcessTab *rebuilt = w.processPages()->tab(0);
        QVERIFY(!rebuilt->StepTimer->isActive());
        QCOMPARE(rebuilt->TimeLabel->text(), QStringLiteral("00:00:00"));
        QCOMPARE(w.processPages()->engine().process(0).currentCol(), 0);
        QCOMPARE(rebuilt->StartButton->text(), QStringLiteral("T17"));
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
            w.preferences()->btnPrefReload->click();
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        };
        reload();
        const long afterOne = live.count();
        for (int i = 1; i < 50; ++i)
            reload();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(w.pgctrlPapers->count(), 2);
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
        w.preferences()->lbleLanguageFile->setText("other.txt");
        w.preferences()->btnPrefCancel->click();
        QCOMPARE(w.preferences()->lbleLanguageFile->text(), QStringLiteral("lang.txt"));
        QCOMPARE(w.preferences()->btnPrefSave->text(), QStringLiteral("T38"));
        w.preferences()->lbleLanguageFile->setText("other.txt");
        w.preferences()->btnPrefReload->click();
        QCOMPARE(w.preferences()->btnPrefSave->text(), QStringLiteral("O38"));
        // Reload reads no settings and keeps the snapshot of the file.
        QVERIFY(w.context().StartSnapshot != w.preferences()->SettingsSnapshot());
    }

    void longValueIsSavedWhole()
    {
        // An edit field used to keep 32,767 characters and save them cut.
        AppFixture f;
        const QString folder = "chem/" + QString(40'000, 'd');
        f.writeStandardFolder();
        f.dir.write("wsettings.txt", crlf(AppFixture::settingsLines("FormulaFolder=" + folder)));
        TfrmMain &w = f.start();
        w.preferences()->lbleSoundSeconds->setText("4");
        w.preferences()->btnPrefSave->click();
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
        w.preferences()->rbtnMonoYN->setChecked(true);
        w.preferences()->lbleFilmPrcFile->setText("gone.txt");
        w.preferences()->btnPrefReload->click();
        QCOMPARE(f.dialogs.errors(), QStringList{"\"gone.txt\": File not found."});
        QCOMPARE(w.pgctrlFilms->count(), 0);
    }

    void reloadAppliesTheChosenScheme()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        TfrmMain &w = f.start();
        w.preferences()->rbtnMonoYN->setChecked(true);
        w.preferences()->btnPrefReload->click();
        // A new tab's blue labels turn white under the monochrome scheme.
        QCOMPARE(fontColorOf(w.processPages()->tab(0)->TimeLabel), Colors::White);
    }

    void colourButtonsSwitchAtOnce()
    {
        AppFixture f;
        f.writeStandardFolder();
        writeProcesses(f);
        TfrmMain &w = f.start();
        ProcessTab *tab = w.processPages()->tab(0);
        tab->StartButton->click();
        tab->PauseButton->click();
        QCOMPARE(fontColorOf(tab->StepLabel), Colors::Yellow);
        w.preferences()->rbtnMonoYN->click();
        QCOMPARE(fontColorOf(tab->StepLabel), Colors::Silver);
        tab->PauseButton->click();
        QVERIFY(tab->StepTimer->isActive());
        QCOMPARE(fontColorOf(tab->TimeLabel), Colors::Gray);
        w.preferences()->rbtnColorYN->click();
        QCOMPARE(fontColorOf(tab->TimeLabel), Colors::Red);
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
        auto *e = w.findChild<LabeledEdit *>(field);
        QTest::mouseDClick(e, Qt::LeftButton);
        QCOMPARE(urls.urls, QList<QUrl>{QUrl::fromLocalFile(f.dir.file(e->text()))});
        QVERIFY(f.dialogs.shown.empty());
    }
};

QTEST_MAIN(TestPreferencesPage)
#include "tst_preferences_page.moc"
