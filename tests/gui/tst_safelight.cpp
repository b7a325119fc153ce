#include "app_fixture.h"
#include "core/base/colors.h"
#include "gui/app/darkroom.h"
#include "gui/app/preferences_page.h"
#include "gui/dialogs.h"
#include "gui/fog_test_window.h"
#include "gui/process/big_display.h"
#include "gui/process/process_tab.h"
#include "gui/safelight.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>

namespace {

// Pixels that are neither black nor a dim red: any green or blue in them, or
// a red too bright for the dark (at the view's level).
int notDarkRed(const QImage &shot, int maxRed = 0xD0)
{
    const QImage image = shot.convertToFormat(QImage::Format_RGB32);
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x)
            if (qGreen(line[x]) > 8 || qBlue(line[x]) > 8 || qRed(line[x]) > maxRed)
                ++count;
    }
    return count;
}

void writeFolder(AppFixture &f, const QString &extraSetting = QString())
{
    f.writeStandardFolder();
    f.dir.write("wsettings.txt", crlf(AppFixture::settingsLines(extraSetting)));
    f.dir.write("proc/a.txt", crlf({"[Titel]", "Film", "[Comments]", "comment", "[Process]",
                                    "Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:05:00\t\t\tA",
                                    "Fix\t00:05:00\t\tX\t", "Wash\t00:10:00\t\t\t"}));
    f.dir.write("films.txt", crlf({"a.txt", "a.txt"}));
    f.dir.write("papers.txt", crlf({"a.txt"}));
}

} // namespace

class TestSafelight : public QObject
{
    Q_OBJECT
private slots:
    // Each brightness step, the dimmest a quarter of the brightest.
    void everyPageIsDarkRed_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("maxRed");
        QTest::newRow("4: as it always was") << 4 << 0xD0;
        QTest::newRow("3") << 3 << 0x9C;
        QTest::newRow("2") << 2 << 0x68;
        QTest::newRow("1: a quarter") << 1 << 0x34;
    }
    void everyPageIsDarkRed()
    {
        QFETCH(int, level);
        QFETCH(int, maxRed);
        AppFixture f;
        writeFolder(f, level == 4 ? QString() : QString("SafelightLevel=%1").arg(level));
        TfrmMain &w = f.start();
        w.show();
        ProcessTab *tab = w.processPages()->tab(0);
        StartButton(tab)->click();
        NextButton(w.processPages()->tab(1))->click();
        QVERIFY(notDarkRed(w.grab().toImage()) > 1000);

        QTest::keyClick(StepGrid(tab), Qt::Key_F12);
        QVERIFY(Safelight::isOn());
        QVERIFY(control<QCheckBox>(w.preferences(), "chkbxSafelight")->isChecked());
        QCOMPARE(control<QComboBox>(w.preferences(), "cbxSafelightLevel")->currentIndex(),
                 level - 1);
        for (int page = 0; page < control<QTabWidget>(w, "pgctrlMain")->count(); ++page) {
            control<QTabWidget>(w, "pgctrlMain")->setCurrentIndex(page);
            QCOMPARE(notDarkRed(w.grab().toImage(), maxRed), 0);
        }
        control<QTabWidget>(w, "pgctrlMain")->setCurrentIndex(0);
        QTest::keyClick(StepGrid(tab), Qt::Key_F11);
        BigDisplay *big = w.darkroom()->bigDisplay();
        QVERIFY(big->isVisible());
        QCOMPARE(notDarkRed(big->grab().toImage(), maxRed), 0);
        // Not merely black: the brightest pixels reach near the level's top.
        const QImage shot = w.grab().toImage().convertToFormat(QImage::Format_RGB32);
        int brightest = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x)
                brightest = std::max(brightest, qRed(shot.pixel(x, y)));
        QVERIFY2(brightest > maxRed * 3 / 4, qPrintable(QString::number(brightest)));
    }

    // The fog test: the whole screen one patch of the level's brightest red,
    // the count-down black on it, over by itself on the clock.
    void fogTestPatch_data()
    {
        QTest::addColumn<int>("level");
        QTest::addColumn<int>("red");
        QTest::newRow("brightest") << 4 << 0xD0;
        QTest::newRow("dimmest") << 1 << 0x34;
    }
    void fogTestPatch()
    {
        QFETCH(int, level);
        QFETCH(int, red);
        AppFixture f;
        writeFolder(f, "Safelight=1");
        TfrmMain &w = f.start();
        w.show();
        PreferencesPage *pref = w.preferences();
        control<QComboBox>(pref, "cbxSafelightLevel")->setCurrentIndex(level - 1);
        emit control<QComboBox>(pref, "cbxSafelightLevel")->activated(level - 1);
        QCOMPARE(Safelight::level(), level);
        control<LabeledEdit>(pref, "lbleFogMinutes")->setText("2");
        control<QPushButton>(pref, "btnFogTest")->click();
        auto *fog = qobject_cast<FogTestWindow *>(w.darkroom()->fogTest());
        QVERIFY(fog && fog->isVisible());
        QCOMPARE(control<QLabel>(fog, "lblFogTime")->text(), "T241 00:02:00");
        const QImage shot = fog->grab().toImage().convertToFormat(QImage::Format_RGB32);
        int patch = 0;
        for (int y = 0; y < shot.height(); ++y)
            for (int x = 0; x < shot.width(); ++x) {
                const QRgb c = shot.pixel(x, y);
                QVERIFY(qGreen(c) <= 8 && qBlue(c) <= 8 && qRed(c) <= red);
                patch += qRed(c) == red;
            }
        QVERIFY(patch > shot.width() * shot.height() * 9 / 10);
        f.clock.setNowMs(f.clock.nowMs() + 119000);
        fog->tick();
        QVERIFY(fog->isVisible());
        QVERIFY(f.sound.events.isEmpty());
        f.clock.setNowMs(f.clock.nowMs() + 1000);
        fog->tick();
        QTRY_VERIFY(!w.darkroom()->fogTest());
        QCOMPARE(f.sound.events, QStringList{"exclamation"});
        QCOMPARE(f.dialogs.errors(), QStringList());
    }

    // A box shown while the view is on is as dark as the window, its icon
    // (a white cross on bright red) included.
    void boxesAreDarkRed_data()
    {
        QTest::addColumn<bool>("error");
        QTest::newRow("error box") << true;
        QTest::newRow("changed-on-disk question") << false;
    }
    void boxesAreDarkRed()
    {
        QFETCH(bool, error);
        Safelight::setOn(true);
        int bright = -1;
        QTimer::singleShot(0, [&bright] {
            QWidget *box = QApplication::activeModalWidget();
            if (!box)
                return;
            bright = notDarkRed(box->grab().toImage());
            box->close();
        });
        QtDialogs dialogs;
        if (error)
            dialogs.showError("\"wsettings.txt\": disk full");
        else
            dialogs.askChangedOnDisk({"Changé", "Préférences", "&Garder", "&Prendre", "&Annuler"});
        Safelight::setOn(false);
        QCOMPARE(bright, 0);
    }

    void offAgainLooksAsBefore()
    {
        AppFixture f;
        writeFolder(f);
        TfrmMain &w = f.start();
        w.show();
        StartButton(w.processPages()->tab(0))->click();
        const QImage before = w.grab().toImage();
        control<QCheckBox>(w.preferences(), "chkbxSafelight")->click();
        QVERIFY(Safelight::isOn());
        QVERIFY(w.grab().toImage() != before);
        QTest::keyClick(control<QTabWidget>(w, "pgctrlMain")->tabBar(), Qt::Key_F12);
        QVERIFY(!Safelight::isOn());
        QVERIFY(w.grab().toImage() == before);
    }

    void countDownShadesStayApart_data()
    {
        QTest::addColumn<bool>("colour");
        QTest::newRow("colour scheme: reds") << true;
        QTest::newRow("monochrome: greys") << false;
    }
    void countDownShadesStayApart()
    {
        QFETCH(bool, colour);
        AppFixture f;
        writeFolder(f, "Safelight=1");
        TfrmMain &w = f.start();
        (colour ? control<QRadioButton>(w.preferences(), "rbtnColorYN")
                : control<QRadioButton>(w.preferences(), "rbtnMonoYN"))
            ->click();
        QVERIFY(Safelight::isOn());
        ProcessTab *idle = w.processPages()->tab(0);
        ProcessTab *running = w.processPages()->tab(1);
        ProcessTab *paused = w.processPages()->tab(2);
        StartButton(running)->click();
        NextButton(paused)->click();
        QList<QColor> shades;
        for (ProcessTab *t : {running, paused, idle}) {
            const QColor c = TimeLabel(t)->palette().color(QPalette::WindowText);
            QVERIFY(!shades.contains(c));
            if (colour)
                QVERIFY(c.green() == 0 && c.blue() == 0 && c.red() > 0x30);
            else
                QVERIFY(c.red() == c.green() && c.green() == c.blue() && c.red() < 0xA0);
            // In the order of the scheme's own: running brightest in colour,
            // idle brightest (white) in monochrome.
            if (!shades.isEmpty())
                QVERIFY(colour ? c.value() < shades.last().value()
                               : c.value() > shades.last().value());
            shades << c;
        }
    }

    void keptInTheSettingsFile()
    {
        AppFixture f;
        writeFolder(f);
        TfrmMain &w = f.start();
        QVERIFY(!Safelight::isOn());
        QTest::keyClick(control<QTabWidget>(w, "pgctrlMain")->tabBar(), Qt::Key_F12);
        // A change of the preferences, asked about at the close.
        QVERIFY(w.preferences()->hasUnsavedChanges());
        control<QPushButton>(w.preferences(), "btnPrefSave")->click();
        QCOMPARE(f.dir.read("wsettings.txt"), crlf(AppFixture::settingsLines("Safelight=1")));
        f.window.reset();
        QVERIFY(!Safelight::isOn());
        f.start();
        QVERIFY(Safelight::isOn());
        QVERIFY(control<QCheckBox>(f.window->preferences(), "chkbxSafelight")->isChecked());
        // Off, and saved: the file is the nine lines it was.
        control<QCheckBox>(f.window->preferences(), "chkbxSafelight")->click();
        control<QPushButton>(f.window->preferences(), "btnPrefSave")->click();
        QCOMPARE(f.dir.read("wsettings.txt"), crlf(AppFixture::settingsLines()));
        // A level below the brightest is a line of its own, and back.
        emit control<QComboBox>(f.window->preferences(), "cbxSafelightLevel")->activated(1);
        QCOMPARE(Safelight::level(), 2);
        control<QPushButton>(f.window->preferences(), "btnPrefSave")->click();
        QCOMPARE(f.dir.read("wsettings.txt"), crlf(AppFixture::settingsLines("SafelightLevel=2")));
        QCOMPARE(f.dialogs.errors(), QStringList());
    }
};

QTEST_MAIN(TestSafelight)
#include "tst_safelight.moc"
