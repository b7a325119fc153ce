// The baths and the temperature through the real window on the fake clock.
#include "app_fixture.h"
#include "core/baths/baths_file.h"
#include "gui/app/darkroom.h"
#include "gui/safelight.h"

#include <QLineEdit>
#include <QSpinBox>
#include <QTest>

namespace {

const QString kBathLine = QStringLiteral("lblF0Bath");
const QString kTemperatureLine = QStringLiteral("lblF0TemperatureLine");

// A window on one film process whose steps are given, with baths.txt, and
// the language texts of the baths left to our own wording.
struct BathRig
{
    AppFixture f;
    TfrmMain *w = nullptr;
    ProcessTab *tab = nullptr;
    qint64 startMs = 0;

    BathRig(const QStringList &steps, const QStringList &baths, const QStringList &comments = {})
    {
        f.writeStandardFolder();
        QStringList lang;
        for (int n = 1; n < LanguageTable::Size; ++n)
            lang << ((n >= 150 && n <= 189) ? QString("%1\t").arg(n) : QString("%1\tT%1").arg(n));
        f.dir.write("lang.txt", crlf(lang));
        f.dir.write("proc/p.txt", processBytes(steps, comments));
        f.dir.write("films.txt", crlf({"p.txt"}));
        if (!baths.isEmpty())
            f.dir.write("baths.txt", crlf(baths));
        w = &f.start();
        w->show();
        tab = w->processPages()->tab(0);
    }
    static QByteArray processBytes(const QStringList &steps, const QStringList &comments)
    {
        return crlf(QStringList{"[Titel]", "P", "[Comments]"} + comments +
                    QStringList{"[Process]"} + steps);
    }
    Process &process() { return tab->process(); }
    QString time() { return TimeLabel(tab)->text(); }
    QString line(const QString &name) { return control<QLabel>(tab, name)->text(); }
    void start()
    {
        StartButton(tab)->click();
        startMs = f.clock.nowMs();
    }
    // The tab's timer as it fires.
    void fire()
    {
        f.clock.setNowMs(*w->processPages()->engine().face(0).tickDueMs);
        StepTimer(tab)->stop();
        QMetaObject::invokeMethod(StepTimer(tab), "timeout");
    }
    void fireUntil(qint64 sinceStartMs)
    {
        for (int n = 0;
             n < 5000 && process().isRunning() && f.clock.nowMs() - startMs < sinceStartMs; ++n)
            fire();
    }
    void type(const QString &celsius)
    {
        auto *edit = control<QLineEdit>(tab, "edtF0Temperature");
        edit->setText(celsius);
        emit edit->editingFinished();
    }
    QByteArray bathsBytes() { return f.dir.read("baths.txt"); }
};

const QStringList kId11{"[Bath]",           "Name=ID-11",      "Volume=1",
                        "Wear=linear 10",   "Capacity=10",     "Temperature=conversion",
                        "Mixed=2025-11-02", "Use=2025-11-05 2"};

} // namespace

class TestBathsWindow : public QObject
{
    Q_OBJECT
private slots:
    void init() { Safelight::setOn(false); }

    void useOfABath_data()
    {
        QTest::addColumn<QString>("celsius");
        QTest::addColumn<bool>("resetFirst");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("temperatureLine");
        QTest::newRow("3rd film: added when the main time runs out")
            << QString() << false << "00:10:12"
            << "20 °C · 10:12 → 10:12";
        QTest::newRow("Réinitialiser before the end adds nothing")
            << QString() << true << "00:10:12"
            << "20 °C · 10:12 → 10:12";
        QTest::newRow("wear and temperature multiply: 3rd film at 22 °C")
            << "22" << false << "00:08:53"
            << "22 °C · 10:12 → 08:53";
    }
    void useOfABath()
    {
        QFETCH(QString, celsius);
        QFETCH(bool, resetFirst);
        QFETCH(QString, time);
        QFETCH(QString, temperatureLine);
        BathRig rig({"Step\tTime\tTime 2\tWait\tAgit\tBath", "Dev\t00:08:30\t\t\t\tID-11",
                     "Fix\t00:00:03\t\t\t\t"},
                    kId11);
        control<QSpinBox>(rig.tab, "spnF0Films")->setValue(2);
        if (!celsius.isEmpty())
            rig.type(celsius);
        const QByteArray before = rig.bathsBytes();
        rig.start();
        QCOMPARE(rig.time(), time);
        QCOMPARE(rig.line(kBathLine), QStringLiteral("ID-11 · 3e film · 08:30 → 10:12"));
        QCOMPARE(rig.line(kTemperatureLine), temperatureLine);
        rig.fireUntil(60000);
        QCOMPARE(rig.bathsBytes(), before);
        if (resetFirst) {
            ResetButton(rig.tab)->click();
            QCOMPARE(rig.bathsBytes(), before);
            QCOMPARE(rig.w->context().baths->find("ID-11")->filmsSoFar(), 2);
            return;
        }
        for (int n = 0; n < 1000 && rig.process().currentRow() == 1; ++n)
            rig.fire();
        QCOMPARE(rig.process().currentRow(), 2);
        QCOMPARE(rig.f.clock.nowMs() - rig.startMs, qint64(time == "00:10:12" ? 612002 : 533002));
        QVERIFY(rig.bathsBytes().contains("Use=2025-12-09 2\r\n"));
        QCOMPARE(rig.w->context().baths->find("ID-11")->filmsSoFar(), 4);
        QCOMPARE(rig.f.dialogs.errors(), QStringList());
    }

    void exhaustedBathAsksFirst()
    {
        QStringList baths = kId11;
        baths.last() = "Use=2025-11-05 10";
        BathRig rig({"Step\tTime\tTime 2\tWait\tAgit\tBath", "Dev\t00:08:30\t\t\t\tID-11"}, baths);
        QTest::keyClick(StepGrid(rig.tab), Qt::Key_Return);
        QCOMPARE(rig.f.dialogs.count(ScriptedDialogs::Kind::Question), 1);
        const ScriptedDialogs::Shown &asked = rig.f.dialogs.shown.back();
        QCOMPARE(asked.text,
                 QStringLiteral("ID-11 est épuisé : 11 films sur 10. Démarrer quand même ?"));
        // Return answers yes, Escape no (the box's own keys).
        QVERIFY(asked.defaultYes);
        QVERIFY(!rig.process().isUnderway());
        rig.f.dialogs.yesNoAnswers.push_back(true);
        QTest::keyClick(StepGrid(rig.tab), Qt::Key_Return);
        QVERIFY(rig.process().isRunning());
    }

    void readingsReplanTheStep()
    {
        BathRig rig({"Step\tTime\tTime 2\tWait\tAgit\tBath", "Dev\t00:10:00\t\t\t\tT",
                     "Fix\t00:00:03\t\t\t\t"},
                    {"[Bath]", "Name=T", "Volume=1", "Wear=capacity",
                     "Temperature=table 18:1.25 19:1.125 20:1 21:0.9 22:0.8 24:0.7"});
        rig.start();
        QCOMPARE(rig.time(), QStringLiteral("00:10:00"));
        rig.f.clock.setNowMs(rig.startMs + 120000);
        rig.type("22");
        QCOMPARE(rig.time(), QStringLiteral("00:06:24"));
        QCOMPARE(rig.line(kTemperatureLine), QStringLiteral("22 °C · 10:00 → 08:24"));
        rig.fireUntil(300000);
        QCOMPARE(rig.time(), QStringLiteral("00:03:24"));
        // Ctrl+Down four times: half a degree a press, down to 20 °C.
        rig.f.clock.setNowMs(rig.startMs + 300000);
        for (int n = 0; n < 4; ++n)
            QTest::keyClick(StepGrid(rig.tab), Qt::Key_Down, Qt::ControlModifier);
        QCOMPARE(rig.process().celsius(), 20.0);
        QCOMPARE(rig.time(), QStringLiteral("00:04:15"));
        for (int n = 0; n < 1000 && rig.process().currentRow() == 1; ++n)
            rig.fire();
        QCOMPARE(rig.f.clock.nowMs() - rig.startMs, qint64(555000 + 2));
        QCOMPARE(rig.f.dialogs.errors(), QStringList());
    }

    void fileWithoutTheColumnIsUnchanged_data()
    {
        QTest::addColumn<QStringList>("comments");
        QTest::newRow("no section") << QStringList{"c"};
        QTest::newRow("[Temperature] with a blank") << QStringList{"c", "[Temperature]", "20 "};
    }
    void fileWithoutTheColumnIsUnchanged()
    {
        QFETCH(QStringList, comments);
        const QStringList steps{"Step\tTime\tTime 2\tWait\tAgit", "Dev\t00:08:30\t\t\tA",
                                "Fix\t00:00:03\t\t\t"};
        BathRig rig(steps, kId11, comments);
        QCOMPARE(rig.process().grid().cols(), 5);
        QCOMPARE(CommentsMemo(rig.tab)->toPlainText(), QStringLiteral("c"));
        rig.start();
        QCOMPARE(rig.time(), QStringLiteral("00:08:30"));
        QCOMPARE(rig.line(kBathLine), QString());

        const QByteArray bytes = BathRig::processBytes(steps, comments);
        rig.w->showPage(6);
        control<QLineEdit>(rig.w, "lblePROCFile")->setText(rig.f.dir.path() + "/proc/p.txt");
        control<QPushButton>(rig.w, "btnPROCOpen")->click();
        QCOMPARE(control<QPlainTextEdit>(rig.w, "mmoPROCComments")->toPlainText(),
                 QStringLiteral("c"));
        QCOMPARE(control<StringGrid>(rig.w, "sgrdPROC")->grid()->cols(), 5);
        rig.f.dir.write("proc/p.txt", QByteArray());
        control<QPushButton>(rig.w, "btnPROCSave")->click();
        QCOMPARE(rig.f.dir.read("proc/p.txt"), bytes);
        QCOMPARE(rig.f.dialogs.errors(), QStringList());
    }
};

QTEST_MAIN(TestBathsWindow)
#include "tst_baths_window.moc"
