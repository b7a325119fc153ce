#include "app_fixture.h"
#include "core/app/command_line.h"
#include "core/base/colors.h"
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
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QStyle>
#include <QTabBar>
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

// What of a control's text does not show: "" when all of it does. A text cut
// with "…" shows whole in the control's tooltip.
QString cutText(const QWidget *w)
{
    const auto tooWide = [w](const QString &text, const QFont &font, int room) {
        if (text.isEmpty())
            return false;
        if (text.endsWith(QChar(0x2026)) && w->toolTip().isEmpty())
            return true;
        return QFontMetrics(font).horizontalAdvance(text) > room;
    };
    const QStyle *style = w->style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, w);
    if (const auto *b = qobject_cast<const QPushButton *>(w)) {
        if (tooWide(b->text(), b->font(), b->width() - 2 * frame))
            return b->text();
    } else if (const auto *r = qobject_cast<const QRadioButton *>(w)) {
        const int room = r->width() -
                         style->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth, nullptr, r) -
                         style->pixelMetric(QStyle::PM_RadioButtonLabelSpacing, nullptr, r);
        if (tooWide(r->text(), r->font(), room))
            return r->text();
    } else if (const auto *c = qobject_cast<const QCheckBox *>(w)) {
        const int room = c->width() - style->pixelMetric(QStyle::PM_IndicatorWidth, nullptr, c) -
                         style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing, nullptr, c);
        if (tooWide(c->text(), c->font(), room))
            return c->text();
    } else if (const auto *g = qobject_cast<const QGroupBox *>(w)) {
        if (tooWide(g->title(), g->font(), g->width() - 16))
            return g->title();
    } else if (const auto *l = qobject_cast<const QLabel *>(w)) {
        if (l->text().isEmpty())
            return QString();
        const QRect room = l->contentsRect();
        const QRect needed = QFontMetrics(l->font()).boundingRect(
            room, int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0), l->text());
        // Within its own bounds, and its bounds within its parent's.
        if ((!l->wordWrap() && tooWide(l->text(), l->font(), room.width())) ||
            needed.height() > room.height() + 2 ||
            !w->parentWidget()->rect().contains(w->geometry()))
            return l->text();
    }
    return QString();
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
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->geometry(), QRect(4, 25, 781, 552));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->count(), 10);
        const QStringList names{
            "tbshtFilms",          "tbshtPapers", "tbshtDilutions", "tbshtUnitsConversion",
            "tbshtTimeConversion", "tbshtChem",   "tbshtProcess",   "tbshtBaths",
            "tbshtJournal",        "tbshtPref"};
        for (int i = 0; i < 10; ++i)
            QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->widget(i)->objectName(), names[i]);
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->geometry(), QRect(3, 3, 766, 518));
        QCOMPARE(control<QTabWidget>(w, "pgctrlPapers")->geometry(), QRect(3, 3, 766, 518));
        QCOMPARE(control<QLabel>(w, "lblAppTitel")->font().pixelSize(), 19);
        QVERIFY(control<QLabel>(w, "lblAppTitel")->font().bold());
        QCOMPARE(control<QLabel>(w, "lblDateTime")->geometry().right() + 1, 785);
        QCOMPARE(control<QLabel>(w, "lblDateTime")->y(), 6);
        QVERIFY(control<QTimer>(w, "tmrMain")->isActive());
        QCOMPARE(control<QTimer>(w, "tmrMain")->interval(), 1000);
    }

    void startsOnFilmsWithoutErrors()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->currentWidget(),
                 control<QWidget>(w, "tbshtFilms"));
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->text(),
                 QStringLiteral("3"));
        QCOMPARE(w.settings().countDownSeconds(), 3);
        QCOMPARE(w.settings().values().processFolder, QStringLiteral("proc"));
        QVERIFY(!w.preferences()->hasUnsavedChanges());
    }

    void missingSettingsStopsOnPreferences()
    {
        AppFixture f;
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList{"\"wsettings.txt\": File not found."});
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->currentWidget(), w.preferences());
        QVERIFY(!control<QLabel>(w, "lblDateTime")->text().isEmpty());
        QVERIFY(control<QTimer>(w, "tmrMain")->isActive());
        QCOMPARE(control<QTabWidget>(w, "pgctrlFilms")->count(), 0);
        const QPoint centre = QGuiApplication::primaryScreen()->availableGeometry().center();
        QVERIFY((w.frameGeometry().center() - centre).manhattanLength() <= 1);
        // The captions of the design stay.
        QCOMPARE(control<QPushButton>(w.preferences(), "btnPrefSave")->text(),
                 QStringLiteral("Enregistrer"));
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
        QVERIFY(control<QRadioButton>(w.preferences(), "rbtnWaveYN")->isChecked());
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleChemFolder")->text(),
                 QStringLiteral("chem"));
        QCOMPARE(w.settings().values().filmProcessFile, QStringLiteral("films.txt"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->currentWidget(),
                 control<QWidget>(w, "tbshtFilms"));
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
            StartButton(w.processPages()->tab(0))->click();
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
        QCOMPARE(control<QPushButton>(w.preferences(), "btnPrefSave")->text(),
                 QStringLiteral("Enregistrer"));
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
        const std::optional<QDir> folder = workingFolderFor(request, dir.file("sample"), dialogs);
        const bool worked = folder.has_value();
        if (xdg)
            qputenv("XDG_DATA_HOME", *xdg);
        else
            qunsetenv("XDG_DATA_HOME");
        QCOMPARE(worked, works);
        if (works)
            QCOMPARE(folder->path(), dir.file("data/noctarel"));
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
        QVERIFY2(control<QLabel>(w, "lblDateTime")->text().endsWith("02:05:09"),
                 qPrintable(control<QLabel>(w, "lblDateTime")->text()));
        QVERIFY(
            control<QLabel>(w, "lblDateTime")
                ->text()
                .startsWith(QLocale::system().toString(QDate(2026, 3, 29), QLocale::ShortFormat) +
                            " "));
        f.clock.setLocalNow(QDateTime(QDate(2026, 3, 29), QTime(23, 59, 58)));
        w.tmrMainTimer();
        QVERIFY(control<QLabel>(w, "lblDateTime")->text().endsWith("23:59:58"));
        QCOMPARE(control<QLabel>(w, "lblDateTime")->geometry().right() + 1, 785);
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
            control<LabeledEdit>(w, edit.section('=', 0, 0))->setText(edit.section('=', 1));
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
        control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("8");
        // The other window's save.
        QStringList theirs = AppFixture::settingsLines();
        theirs[1] = "SoundSeconds=5";
        f.dir.write("wsettings.txt", crlf(theirs));
        f.dialogs.changedOnDiskAnswers.push_back(answer);
        if (atClose) {
            f.dialogs.yesNoAnswers.push_back(true);
            QCOMPARE(w.FormClose(), closes);
        } else {
            control<QPushButton>(w.preferences(), "btnPrefSave")->click();
        }
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::ChangedOnDiskQuestion), 1);
        QCOMPARE(f.dialogs.shown.back().text, QStringLiteral("T110"));
        QCOMPARE(f.dialogs.errors(), QStringList());
        QString saved = QString::fromLatin1(f.dir.read("wsettings.txt"));
        QCOMPARE(saved.section("\r\n", 1, 1), "SoundSeconds=" + onDisk);
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->text(), onScreen);
        // Whatever the answer, the next save asks only if the file changes again.
        f.dialogs.clear();
        control<QPushButton>(w.preferences(), "btnPrefSave")->click();
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
        StartButton(tab)->click();
        PauseButton(tab)->click();
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
        ResetButton(tab)->click();
        f.dialogs.clear();
        QVERIFY(w.FormClose());
        QCOMPARE(f.dialogs.shown.size(), size_t(0));
    }

    void closeWithoutLanguageUsesOwnTexts()
    {
        AppFixture f;
        TfrmMain &w = f.start();
        control<QRadioButton>(w.preferences(), "rbtnWaveYN")->setChecked(true);
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
        control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("8");
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
            control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("8");
            f.dialogs.yesNoAnswers.push_back(true);
            QVERIFY(!w.FormClose());
        } else {
            saved = "proc/a.txt";
            control<QLineEdit>(w, "lblePROCFile")->setText(saved);
            control<QPushButton>(w, "btnPROCOpen")->click();
            control<QLineEdit>(w, "lblePROCTitel")->setText("Film 2");
            control<QPushButton>(w, "btnPROCSave")->click();
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
            StartButton(w.processPages()->tab(0))->click();
            // The editor's message for a file of another kind, and the close question.
            control<QLineEdit>(w, "lblePROCFile")->setText("agit.txt");
            control<QPushButton>(w, "btnPROCOpen")->click();
            control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("9");
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
        const SettingsValues saved = w.settings().saved();
        control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("abc");
        control<QPushButton>(w.preferences(), "btnPrefSave")->click();
        QCOMPARE(f.dialogs.errors(), QStringList{"'abc' is not a valid integer value."});
        QCOMPARE(f.dir.read("wsettings.txt"), before);
        QVERIFY(w.settings().saved() == saved);
        QVERIFY(w.preferences()->hasUnsavedChanges());
    }

    void saveContractsAndCancelReloads()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("wsettings.txt", crlf({"LanguageFile=%ROOT%/lang.txt", "SoundSeconds=07"}));
        f.dir.write("papers.txt", QByteArray());
        // The program folder is the working folder here, so %root% resolves.
        TfrmMain &w = f.start(f.dir.path());
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleLanguageFile")->text(),
                 f.dir.file("lang.txt"));
        control<LabeledEdit>(w.preferences(), "lbleChemFolder")->setText(f.dir.path() + "/chem");
        control<QPushButton>(w.preferences(), "btnPrefSave")->click();
        const QStringList saved = QString::fromLatin1(f.dir.read("wsettings.txt")).split("\r\n");
        QCOMPARE(saved.at(1), QStringLiteral("SoundSeconds=7"));
        QCOMPARE(saved.at(3), QStringLiteral("LanguageFile=%root%/lang.txt"));
        QCOMPARE(saved.at(8), QStringLiteral("FormulaFolder=%root%/chem"));
        QVERIFY(!w.preferences()->hasUnsavedChanges());
        QVERIFY(w.FormClose());
        QCOMPARE(f.dialogs.count(ScriptedDialogs::Kind::Question), 0);

        f.dir.write("wsettings.txt", crlf({"SoundSeconds=7"}));
        control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->setText("9");
        control<QRadioButton>(w.preferences(), "rbtnMonoYN")->setChecked(true);
        control<QPushButton>(w.preferences(), "btnPrefCancel")->click();
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->text(),
                 QStringLiteral("7"));
        // The file names no colour: the radio buttons keep their state.
        QVERIFY(control<QRadioButton>(w.preferences(), "rbtnMonoYN")->isChecked());
        QVERIFY(!w.preferences()->hasUnsavedChanges());
    }

    void languageFileCaptions()
    {
        AppFixture f;
        f.writeStandardFolder();
        TfrmMain &w = f.start();
        QCOMPARE(w.windowTitle(), QStringLiteral("T10"));
        QCOMPARE(control<QLabel>(w, "lblAppTitel")->text(), QStringLiteral("T11"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->tabText(1), QStringLiteral("T12"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->tabText(0), QStringLiteral("T13"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->tabText(7), QStringLiteral("T169"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->tabText(8), QStringLiteral("T188"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->tabText(9), QStringLiteral("T16"));
        QCOMPARE(control<QGroupBox>(w.preferences(), "grpbxSound")->title(), QStringLiteral("T41"));
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleSoundSeconds")->caption(),
                 QStringLiteral("T45"));
        QCOMPARE(control<LabeledEdit>(w.preferences(), "lbleChemFolder")->caption(),
                 QStringLiteral("T94"));
        QCOMPARE(control<QPushButton>(w.preferences(), "btnPrefSave")->text(),
                 QStringLiteral("T38"));
        QCOMPARE(control<QGroupBox>(w.preferences(), "grpbxFiles")->title(),
                 QStringLiteral("Fichiers"));
        QCOMPARE(w.context().Messages.at(0), QStringLiteral("T1"));
        QCOMPARE(w.context().Messages.at(9), QStringLiteral("T10"));
        QCOMPARE(w.context().AgitComingText, QStringLiteral("T79"));
        QCOMPARE(w.context().AgitRunningText, QStringLiteral("T80"));
        QCOMPARE(w.context().noFileMessage(), QStringLiteral("T95"));
        QCOMPARE(control<QCheckBox>(w.preferences(), "chkbxSafelight")->text(),
                 QStringLiteral("T96"));
        const int expected =
            int(std::nearbyint((792 - control<QLabel>(w, "lblAppTitel")->width()) / 2.0));
        QCOMPARE(control<QLabel>(w, "lblAppTitel")->x(), expected);
        // Shown in its frame, the window keeps the heading where it was.
        w.show();
        QVERIFY(QTest::qWaitForWindowExposed(&w));
        control<QPushButton>(w.preferences(), "btnPrefReload")->click();
        QCOMPARE(control<QLabel>(w, "lblAppTitel")->x(), expected);

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
        QCOMPARE(control<QTabWidget>(v, "pgctrlMain")->tabText(0), QStringLiteral("S13"));
        QCOMPARE(v.windowTitle(), QString());
        QCOMPARE(control<QPushButton>(v.preferences(), "btnPrefSave")->text(), QString());
        QCOMPARE(control<QGroupBox>(v.preferences(), "grpbxSound")->title(), QString());
        QCOMPARE(v.context().AgitComingText, QString());
        // The safelight's caption is newer than most files: it has our own.
        QCOMPARE(control<QCheckBox>(v.preferences(), "chkbxSafelight")->text(),
                 QStringLiteral("Lumière inactinique"));
    }

    // Every control of every page, the process tabs and the About window takes
    // its caption from the language file, and every number of the calculators
    // the scheme's colour, built before or after the load and the switch.
    void everyControlTakesItsCaptionAndTheScheme()
    {
        AppFixture f;
        f.writeStandardFolder();
        // The lines that hold lists give every piece.
        QStringList lang;
        for (int n = 1; n < LanguageTable::Size; ++n)
            lang << QString("%1\t").arg(n) + (n == 172   ? QStringList(6, "T172").join('|')
                                              : n == 179 ? QStringList(10, "T179").join('|')
                                                         : QString("T%1").arg(n));
        f.dir.write("lang.txt", crlf(lang));
        f.dir.write("proc/a.txt", crlf({"[Titel]", "Dev", "[Comments]", "", "[Process]",
                                        "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:00:05\t\t\t"}));
        f.dir.write("films.txt", crlf({"a.txt", "a.txt"}));
        TfrmMain &w = f.start();
        QVERIFY(!w.isBuilt());
        control<QRadioButton>(w.preferences(), "rbtnMonoYN")->click();
        w.completeBuild();

        // What no line of the language file replaces.
        const QSet<QString> ownTexts{"...",      "?",           "+",        "/",  "%",
                                     "°Celsius", "°Fahrenheit", "Fichiers", "°C", "°F"};
        const QRegularExpression fromFile("^T\\d+$");
        QStringList uncaptioned;
        const auto check = [&](const QWidget *w, const QString &text) {
            if (!text.isEmpty() && !ownTexts.contains(text) && !fromFile.match(text).hasMatch())
                uncaptioned << w->objectName() + ": " + text;
        };
        auto *pages = control<QTabWidget>(w, "pgctrlMain");
        for (int i = 0; i < pages->count(); ++i)
            check(pages->widget(i), pages->tabText(i));
        QWidget *units = control(w, "tbshtUnitsConversion");
        for (int i = 2; i < pages->count(); ++i) {
            for (const QAbstractButton *b : pages->widget(i)->findChildren<QAbstractButton *>())
                check(b, b->text());
            for (const QGroupBox *g : pages->widget(i)->findChildren<QGroupBox *>())
                check(g, g->title());
            for (const QLabel *l : pages->widget(i)->findChildren<QLabel *>()) {
                // The unit fields' captions are the units' own.
                const auto *field = qobject_cast<LabeledEdit *>(l->buddy());
                if (!(field && units->isAncestorOf(field)) && l->frameShape() == QFrame::NoFrame)
                    check(l, l->text());
            }
        }
        for (ProcessTab *tab : {w.processPages()->tab(0), w.processPages()->tab(1)})
            for (const QPushButton *b : tab->findChildren<QPushButton *>())
                check(b, b->text());
        w.setAboutWindow(f.about.get());
        check(f.about.get(), f.about->windowTitle());
        check(f.about.get(), control<QLabel>(f.about.get(), "lblDocTitel")->text());
        QCOMPARE(uncaptioned, QStringList());

        // The calculators' fields and result panels, the time table through its cells.
        QStringList uncoloured;
        int numbers = 0;
        for (const char *page : {"tbshtDilutions", "tbshtUnitsConversion", "tbshtTimeConversion"}) {
            for (QWidget *c : control(w, page)->findChildren<QWidget *>()) {
                const auto *panel = qobject_cast<QLabel *>(c);
                if (!qobject_cast<QLineEdit *>(c) &&
                    !(panel && panel->frameShape() != QFrame::NoFrame))
                    continue;
                ++numbers;
                if (fontColorOf(c) != Colors::Gray)
                    uncoloured << c->objectName();
            }
        }
        QCOMPARE(uncoloured, QStringList());
        QCOMPARE(numbers, 56);
        QCOMPARE(control<StringGrid>(w, "sgrdDEVT")->grid()->fontColor(), Colors::Gray);
        control<QRadioButton>(w.preferences(), "rbtnColorYN")->click();
        QCOMPARE(fontColorOf(control(w, "pnlQtyStockd")), Colors::Red);
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
        QTest::newRow("shown before built") << "shown";
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
            QTest::keyClick(window.findChild<QTabWidget *>("pgctrlMain")->tabBar(), Qt::Key_Right);
        } else if (first == "click") {
            QTest::mouseClick(window.findChild<QLabel *>("lblAppTitel"), Qt::LeftButton);
        } else if (first == "page") {
            window.findChild<QTabWidget *>("pgctrlMain")
                ->setCurrentWidget(window.findChild<QWidget *>("tbshtDilutions"));
        } else {
            // On screen, before the rest is built: a tab, then a page.
            w.show();
            window.findChild<QTabWidget *>("pgctrlFilms")->setCurrentIndex(1);
            QVERIFY(window.findChild<QWidget *>("btnF1Start")->isVisible());
            QVERIFY(window.findChild<QWidget *>("lblF1Stepc")->isVisible());
            window.findChild<QTabWidget *>("pgctrlMain")
                ->setCurrentWidget(window.findChild<QWidget *>("tbshtDilutions"));
            QVERIFY(window.findChild<QWidget *>("btnDild")->isVisible());
            QVERIFY(window.findChild<QWidget *>("lblQtyFina")->isVisible());
            return;
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

    // Under either supplied language file no caption, label or tab caption is
    // cut by its control, nor a code in a step grid.
    void noTextIsCut_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("english") << "english.txt";
        QTest::newRow("francais") << "francais.txt";
    }
    void noTextIsCut()
    {
        QFETCH(QString, language);
        const QString sample = QFINDTESTDATA("../../../sample/wsettings.txt").section('/', 0, -2);
        QVERIFY(!sample.isEmpty());
        AppFixture f;
        QStringList lines = QString::fromLatin1(readBytes(sample + "/wsettings.txt")).split("\r\n");
        for (QString &line : lines)
            if (line.contains('=') && !line.startsWith("Sound") && !line.startsWith("Color"))
                line = line.section('=', 0, 0) + '=' + sample + '/' +
                       (line.startsWith("LanguageFile=") ? language : line.section('=', 1));
        f.dir.write("wsettings.txt", lines.join("\r\n").toUtf8());
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        w.show();
        w.completeBuild();
        QStringList cut;
        auto *pages = control<QTabWidget>(w, "pgctrlMain");
        const auto tabsCut = [&cut](const QTabWidget *tabs) {
            const QTabBar *bar = tabs->tabBar();
            for (int i = 0; i < bar->count(); ++i) {
                const bool whole =
                    bar->tabRect(i).width() >=
                    QFontMetrics(bar->font()).horizontalAdvance(bar->tabText(i)) +
                        bar->style()->pixelMetric(QStyle::PM_TabBarTabHSpace, nullptr, bar);
                // A caption the bar cuts with "…" says itself whole over its tab.
                const bool fitted =
                    tabs->elideMode() != Qt::ElideNone && bar->tabToolTip(i) == bar->tabText(i);
                if ((!whole && !fitted) || bar->tabRect(i).right() > bar->width())
                    cut << tabs->objectName() + ": " + bar->tabText(i);
            }
        };
        tabsCut(pages);
        for (int i = 0; i < pages->count(); ++i) {
            pages->setCurrentIndex(i);
            for (const QWidget *c : pages->widget(i)->findChildren<QWidget *>())
                if (c->isVisible() && !cutText(c).isEmpty())
                    cut << c->objectName() + ": " + cutText(c);
        }
        pages->setCurrentIndex(0);
        for (const char *name : {"pgctrlFilms", "pgctrlPapers"}) {
            auto *tabs = control<QTabWidget>(w, name);
            tabsCut(tabs);
            pages->setCurrentWidget(tabs->parentWidget());
            for (int i = 0; i < tabs->count(); ++i) {
                tabs->setCurrentIndex(i);
                auto *tab = qobject_cast<ProcessTab *>(tabs->widget(i));
                for (QLabel *l : {StepLabel(tab), AgitLabel(tab)})
                    if (!cutText(l).isEmpty())
                        cut << l->objectName() + ": " + cutText(l);
                // The grid's cells, the agitation codes of column 4 included.
                const StringGrid *grid = StepGrid(tab);
                const GridModel *g = grid->grid();
                for (int row = 1; row < g->rows(); ++row)
                    for (int col = 0; col < g->cols(); ++col) {
                        const FittedText shown = grid->shownText(col, row);
                        if (QFontMetrics(shown.font).horizontalAdvance(shown.text) + 4 >
                                g->colWidth(col) ||
                            (!shown.whole && !shown.text.endsWith(QChar(0x2026))))
                            cut << grid->objectName() + ": " + g->cell(col, row);
                    }
            }
        }
        cut.removeDuplicates();
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join("\n")));
    }

    void emptyLanguagePathKeepsCaptions()
    {
        AppFixture f;
        f.writeStandardFolder();
        f.dir.write("wsettings.txt",
                    crlf({"PaperProcessFile=papers.txt", "FilmProcessFile=films.txt"}));
        TfrmMain &w = f.start();
        QCOMPARE(f.dialogs.errors(), QStringList());
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->tabText(0), QStringLiteral("Films"));
        QCOMPARE(control<QTabWidget>(w, "pgctrlMain")->currentWidget(),
                 control<QWidget>(w, "tbshtFilms"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_main_window.moc"
