#include "core/app/app_context.h"
#include "core/base/colors.h"
#include "core/grid/grid_model.h"
#include "core/process/sound_output.h"
#include "gui/calc/dilutions_page.h"
#include "gui/calc/time_conversion_page.h"
#include "gui/calc/units_conversion_page.h"
#include "gui/dialogs.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

namespace {

const QString MaskError = "Invalid input value.  Use escape key to abandon changes.";

template <class T = QWidget> T *child(QWidget *page, const QString &name)
{
    T *w = page->findChild<T *>(name);
    if (!w)
        qFatal("no control %s", qPrintable(name));
    return w;
}

void type(QLineEdit *field, const QString &text)
{
    field->clear();
    if (!text.isEmpty())
        QTest::keyClicks(field, text);
}

// The focusable controls after `from` in the focus chain, as many as asked.
QStringList focusOrder(QWidget *from, int count)
{
    QStringList names{from->objectName()};
    for (QWidget *w = from->nextInFocusChain(); w != from && names.size() < count;
         w = w->nextInFocusChain())
        if ((w->focusPolicy() & Qt::TabFocus) && !w->objectName().isEmpty())
            names << w->objectName();
    return names;
}

} // namespace

class TestCalculatorPages : public QObject
{
    Q_OBJECT

    ScriptedDialogs dialogs;
    RecordingSound sound;
    AppContext ctx;

private slots:
    void init()
    {
        dialogs.clear();
        sound.events.clear();
        ctx = AppContext();
        ctx.dialogs = &dialogs;
        ctx.sound = &sound;
    }

    // ---- Dilutions -------------------------------------------------------

    void dilutions_data()
    {
        QTest::addColumn<QString>("row");
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QChar>("sep");
        QTest::addColumn<QString>("panel"); // expected, or the previous text kept
        QTest::addColumn<int>("message");   // Messages entry shown, -1 none
        QTest::addColumn<QString>("error"); // standard error box
        QTest::newRow("a 1000 at 1+4")
            << "a" << QStringList{"1000", "1", "4"} << QChar('.') << "200" << -1 << "";
        QTest::newRow("a 1000 at 1+2 (,)")
            << "a" << QStringList{"1000", "1", "2"} << QChar(',') << "333,333333333333" << -1 << "";
        QTest::newRow("a empty field")
            << "a" << QStringList{"1000", "", "4"} << QChar('.') << "old" << 7 << "";
        QTest::newRow("a blanks") << "a" << QStringList{"1000", "1", " "} << QChar('.') << "old"
                                  << 7 << "";
        QTest::newRow("a point under comma")
            << "a" << QStringList{"2.5", "1", "4"} << QChar(',') << "old" << 7 << "";
        QTest::newRow("a beyond a double")
            << "a" << QStringList{"1e400", "1", "4"} << QChar('.') << "old" << 7 << "";
        QTest::newRow("a long result shows whole")
            << "a" << QStringList{"1", "1", "69"} << QChar('.') << "0.0142857142857143" << -1 << "";
        QTest::newRow("b 100 at 2+8")
            << "b" << QStringList{"100", "2", "8"} << QChar('.') << "500" << -1 << "";
        QTest::newRow("b a = 0") << "b" << QStringList{"200", "0", "4"} << QChar('.') << "old" << -1
                                 << "Floating point division by zero.";
        QTest::newRow("c 1000 at 30/1000")
            << "c" << QStringList{"1000", "30", "1000"} << QChar('.') << "30" << -1 << "";
        QTest::newRow("c 0 / 0") << "c" << QStringList{"0", "30", "0"} << QChar('.') << "old" << -1
                                 << "Invalid floating point operation.";
        QTest::newRow("d 500 at 2% of 20%")
            << "d" << QStringList{"500", "2", "20"} << QChar('.') << "50" << -1 << "";
        QTest::newRow("d equal") << "d" << QStringList{"500", "2,5", "2,5"} << QChar(',') << "500"
                                 << -1 << "";
        QTest::newRow("d stock weaker")
            << "d" << QStringList{"500", "20", "2"} << QChar('.') << "old" << 8 << "";
        QTest::newRow("d unreadable comes first")
            << "d" << QStringList{"x", "20", "2"} << QChar('.') << "old" << 7 << "";
    }
    void dilutions()
    {
        QFETCH(QString, row);
        QFETCH(QStringList, in);
        QFETCH(QChar, sep);
        QFETCH(QString, panel);
        QFETCH(int, message);
        QFETCH(QString, error);
        DilutionsPage page(ctx);
        page.setDecimalSeparator(sep);
        const bool a = row == "a", b = row == "b", c = row == "c";
        const QString q = a ? "edtQtyFina" : b ? "edtQtyStockb" : c ? "edtQtyFinc" : "edtQtyFind";
        const QString d = QStringLiteral("edtDil") + row;
        const QString result = a   ? "pnlQtyStocka"
                               : b ? "pnlQtyFinb"
                               : c ? "pnlQtyStockc"
                                   : "pnlQtyStockd";
        auto *out = child<QLabel>(&page, result);
        out->setText("old");
        type(child<QLineEdit>(&page, q), in[0]);
        type(child<QLineEdit>(&page, d + "1"), in[1]);
        type(child<QLineEdit>(&page, d + "2"), in[2]);
        QTest::mouseClick(child<QPushButton>(&page, "btnDil" + row), Qt::LeftButton);
        QCOMPARE(out->text(), panel);
        // Not cut by the panel.
        QVERIFY(QFontMetrics(out->font()).horizontalAdvance(out->text()) <=
                out->contentsRect().width());
        QCOMPARE(dialogs.messages(),
                 message < 0 ? QStringList() : QStringList{ctx.message(message)});
        // Without a language file the box still says something.
        if (message >= 0)
            QVERIFY(!dialogs.messages().front().isEmpty());
        QCOMPARE(dialogs.errors(), error.isEmpty() ? QStringList() : QStringList{error});
    }

    void dilutionMessagesFromTheLanguageFile()
    {
        ctx.Messages[7] = "Nombre illisible";
        DilutionsPage page(ctx);
        child<QPushButton>(&page, "btnDila")->click();
        QCOMPARE(dialogs.messages(), QStringList{"Nombre illisible"});
    }

    // ---- Conversion Temps ------------------------------------------------

    void timeCompensation_data()
    {
        QTest::addColumn<bool>("fahrenheit");
        QTest::addColumn<QString>("typedTime");
        QTest::addColumn<QString>("newTemp");
        QTest::addColumn<QString>("panel");
        QTest::addColumn<QString>("firstCell");
        QTest::newRow("24 C") << false << "001000"
                              << "24"
                              << "00:07:36"
                              << "19";
        QTest::newRow("18 C") << false << "001000"
                              << "18"
                              << "00:11:28"
                              << "13";
        QTest::newRow("75 F") << true << "001000"
                              << "75"
                              << "00:07:39"
                              << "70";
        QTest::newRow("blank time") << false << ""
                                    << "24"
                                    << "00:00:00"
                                    << "19";
    }
    void timeCompensation()
    {
        QFETCH(bool, fahrenheit);
        QFETCH(QString, typedTime);
        QFETCH(QString, newTemp);
        QFETCH(QString, panel);
        QFETCH(QString, firstCell);
        TimeConversionPage page(ctx);
        QCOMPARE(page.unitIndex(), 0);
        if (fahrenheit)
            QTest::mouseClick(child<QRadioButton>(&page, "rbtnDEVTFahrenheit"), Qt::LeftButton, {},
                              QPoint(8, 10));
        QCOMPARE(page.unitIndex(), fahrenheit ? 1 : 0);
        type(child<QLineEdit>(&page, "edtDEVTTemp1"), fahrenheit ? "68" : "20");
        child<TimeMaskEdit>(&page, "mskedtDEVTTime1")->setCursorPosition(0);
        QTest::keyClicks(child<TimeMaskEdit>(&page, "mskedtDEVTTime1"), typedTime);
        type(child<QLineEdit>(&page, "edtDEVTTemp2"), newTemp);
        QTest::mouseClick(child<QPushButton>(&page, "btnDEVTGo"), Qt::LeftButton);
        QCOMPARE(dialogs.shown.size(), size_t(0));
        QCOMPARE(child<QLabel>(&page, "pnlDEVTTime2")->text(), panel);
        const GridModel *grid = child<StringGrid>(&page, "sgrdDEVT")->grid();
        QCOMPARE(grid->cell(0, 0), firstCell);
        QCOMPARE(grid->cell(5, 0), newTemp);
        QCOMPARE(grid->cell(5, 1), panel);
    }

    void timeCompensationKeepsResultsOnError()
    {
        TimeConversionPage page(ctx);
        type(child<QLineEdit>(&page, "edtDEVTTemp1"), "20");
        type(child<QLineEdit>(&page, "edtDEVTTemp2"), "24");
        child<QPushButton>(&page, "btnDEVTGo")->click();
        QCOMPARE(child<QLabel>(&page, "pnlDEVTTime2")->text(), "00:00:00");
        child<QLineEdit>(&page, "edtDEVTTemp1")->clear();
        type(child<QLineEdit>(&page, "edtDEVTTemp2"), "30");
        child<QPushButton>(&page, "btnDEVTGo")->click();
        QCOMPARE(dialogs.messages(), QStringList{ctx.message(7)});
        QCOMPARE(child<StringGrid>(&page, "sgrdDEVT")->grid()->cell(0, 0), "19");
        QCOMPARE(child<QLabel>(&page, "pnlDEVTTime2")->text(), "00:00:00");
    }

    void timeGridLooks()
    {
        TimeConversionPage page(ctx);
        const GridModel *grid = child<StringGrid>(&page, "sgrdDEVT")->grid();
        QCOMPARE(grid->cols(), 11);
        QCOMPARE(grid->rows(), 2);
        QCOMPARE(grid->fixedRows(), 0);
        QCOMPARE(grid->fixedCols(), 0);
        QCOMPARE(child<StringGrid>(&page, "sgrdDEVT")->columnWidth(3), 68);
        QCOMPARE(child<StringGrid>(&page, "sgrdDEVT")->rowHeight(1), 23);
        QCOMPARE(grid->gridColor(), Colors::Black);
        QCOMPARE(grid->fontColor(), Colors::Red);
        QVERIFY(!(grid->flags(grid->index(1, 4)) & Qt::ItemIsEditable));
        QVERIFY(child<StringGrid>(&page, "sgrdDEVT")->font().bold());
        QCOMPARE(child<StringGrid>(&page, "sgrdDEVT")->font().pixelSize(), 13);
    }

    void maskedFieldStartsBlank()
    {
        TimeConversionPage page(ctx);
        QCOMPARE(child<TimeMaskEdit>(&page, "mskedtDEVTTime1")->maskedText(), "  :  :  ");
        child<TimeMaskEdit>(&page, "mskedtDEVTTime1")->setCursorPosition(1);
        QTest::keyClicks(child<TimeMaskEdit>(&page, "mskedtDEVTTime1"), "13000");
        QCOMPARE(child<TimeMaskEdit>(&page, "mskedtDEVTTime1")->maskedText(), " 1:30:00");
    }

    // Leaving the edited time field with a required digit blank is refused.
    void maskedFieldRefusal_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("refused");
        QTest::newRow("never edited") << "" << false;
        QTest::newRow("complete") << "001000" << false;
        QTest::newRow("one-digit hour") << "_10000" << false;
        QTest::newRow("seconds missing") << "0010" << true;
        QTest::newRow("hour's second digit missing") << "0" << true;
    }
    void maskedFieldRefusal()
    {
        QFETCH(QString, typed);
        QFETCH(bool, refused);
        TimeConversionPage page(ctx);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        TimeMaskEdit *mask = child<TimeMaskEdit>(&page, "mskedtDEVTTime1");
        mask->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(mask->hasFocus());
        mask->setCursorPosition(0);
        for (const QChar ch : typed) {
            if (ch == '_')
                QTest::keyClick(mask, Qt::Key_Right);
            else
                QTest::keyClick(mask, ch.toLatin1());
        }
        QTest::keyClick(mask, Qt::Key_Tab);
        if (refused) {
            QTRY_COMPARE(dialogs.errors(), QStringList{MaskError});
            QCOMPARE(sound.events, QStringList{"beep"});
            QTRY_VERIFY(mask->hasFocus());
            // Escape puts back the text the field had when it got the focus;
            // then it may be left.
            QTest::keyClick(mask, Qt::Key_Escape);
            QCOMPARE(mask->maskedText(), "  :  :  ");
            dialogs.clear();
            QTest::keyClick(mask, Qt::Key_Tab);
            QTRY_VERIFY(child<QLineEdit>(&page, "edtDEVTTemp2")->hasFocus());
            QTest::qWait(20);
            QCOMPARE(dialogs.errors(), QStringList());
        } else {
            QTRY_VERIFY(child<QLineEdit>(&page, "edtDEVTTemp2")->hasFocus());
            QTest::qWait(20);
            QCOMPARE(dialogs.errors(), QStringList());
            QCOMPARE(sound.events, QStringList());
            QVERIFY(!mask->hasFocus());
        }
    }

    // Leaving the page with a half-typed time skips the field's refusal: Calcul
    // makes it.
    void calculRefusesAHalfTypedTime()
    {
        TimeConversionPage page(ctx);
        type(child<QLineEdit>(&page, "edtDEVTTemp1"), "20");
        type(child<QLineEdit>(&page, "edtDEVTTemp2"), "24");
        child<TimeMaskEdit>(&page, "mskedtDEVTTime1")->setCursorPosition(0);
        QTest::keyClicks(child<TimeMaskEdit>(&page, "mskedtDEVTTime1"), "0010");
        child<QLabel>(&page, "pnlDEVTTime2")->setText("old");
        child<QPushButton>(&page, "btnDEVTGo")->click();
        QCOMPARE(dialogs.errors(), QStringList{MaskError});
        QCOMPARE(sound.events, QStringList{"beep"});
        QCOMPARE(child<QLabel>(&page, "pnlDEVTTime2")->text(), "old");
        QCOMPARE(child<StringGrid>(&page, "sgrdDEVT")->grid()->cell(0, 1), QString());
    }

    void maskedFieldEnterAndEscape()
    {
        TimeConversionPage page(ctx);
        page.show();
        QVERIFY(QTest::qWaitForWindowActive(&page));
        TimeMaskEdit *mask = child<TimeMaskEdit>(&page, "mskedtDEVTTime1");
        mask->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(mask->hasFocus());
        mask->setCursorPosition(0);
        QTest::keyClicks(mask, "012000");
        QTest::keyClick(mask, Qt::Key_Tab);
        QTRY_VERIFY(child<QLineEdit>(&page, "edtDEVTTemp2")->hasFocus());
        // Back in, spoil the seconds: Enter refuses, Escape gives 01:20:00 back.
        mask->setFocus(Qt::TabFocusReason);
        QTRY_VERIFY(mask->hasFocus());
        mask->setCursorPosition(8);
        QTest::keyClick(mask, Qt::Key_Backspace);
        QCOMPARE(mask->maskedText(), "01:20:0 ");
        QTest::keyClick(mask, Qt::Key_Return);
        QCOMPARE(dialogs.errors(), QStringList{MaskError});
        QVERIFY(mask->hasFocus());
        QTest::keyClick(mask, Qt::Key_Escape);
        QCOMPARE(mask->maskedText(), "01:20:00");
    }

    // ---- Conversion Unités -----------------------------------------------

    void unitConversionThroughTheFields_data()
    {
        QTest::addColumn<QString>("source");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("expected");
        QTest::newRow("100 F to C") << "lbleUNITTempF"
                                    << "100"
                                    << "btnUNITTemp"
                                    << "lbleUNITTempC"
                                    << "37.78";
        QTest::newRow("100 F to K") << "lbleUNITTempF"
                                    << "100"
                                    << "btnUNITTemp"
                                    << "lbleUNITTempK"
                                    << "310.93";
        QTest::newRow("1 mm to inches") << "lbleUNITLengthmm"
                                        << "1"
                                        << "btnUNITLength"
                                        << "lbleUNITLengthInches"
                                        << "0.0393700787401575";
        QTest::newRow("1 m2 to yards2") << "lbleUNITSurfacem"
                                        << "1"
                                        << "btnUNITSurface"
                                        << "lbleUNITSurfaceYards"
                                        << "1.19591589936703";
        QTest::newRow("1 l to US gallons") << "lbleUNITVoll"
                                           << "1"
                                           << "btnUNITVol"
                                           << "lbleUNITVolUSGallon"
                                           << "0.26417205238048";
        QTest::newRow("1 l to UK quarts") << "lbleUNITVoll"
                                          << "1"
                                          << "btnUNITVol"
                                          << "lbleUNITVolUKQuart"
                                          << "0.879875057741801";
        QTest::newRow("1 kg to troy pounds") << "lbleUNITWeightkg"
                                             << "1"
                                             << "btnUNITWeight"
                                             << "lbleUNITWeightTroyPound"
                                             << "2.67918381344307";
    }
    void unitConversionThroughTheFields()
    {
        QFETCH(QString, source);
        QFETCH(QString, text);
        QFETCH(QString, button);
        QFETCH(QString, target);
        QFETCH(QString, expected);
        UnitsConversionPage page(ctx);
        QTest::keyClicks(child<QLineEdit>(&page, source), text);
        QTest::mouseClick(child<QPushButton>(&page, button), Qt::LeftButton);
        QCOMPARE(child<QLineEdit>(&page, target)->text(), expected);
        QCOMPARE(child<QLineEdit>(&page, source)->text(), text);
        QCOMPARE(dialogs.shown.size(), size_t(0));
    }

    void secondClickConvertsFromTheFirstField()
    {
        UnitsConversionPage page(ctx);
        QTest::keyClicks(child<LabeledEdit>(&page, "lbleUNITTempF"), "100");
        child<QPushButton>(&page, "btnUNITTemp")->click();
        child<LabeledEdit>(&page, "lbleUNITTempF")->setText("999"); // not typed: nothing is emptied
        child<QPushButton>(&page, "btnUNITTemp")->click();
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITTempC")->text(), "37.78");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITTempF")->text(), "100");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITTempK")->text(), "310.93");
    }

    void typingEmptiesTheOtherFields_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("clears");
        QTest::newRow("digit") << int(Qt::Key_5) << 0 << "5" << true;
        QTest::newRow("letter") << int(Qt::Key_A) << 0 << "a" << true;
        QTest::newRow("Backspace") << int(Qt::Key_Backspace) << 0 << "\b" << true;
        QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << "" << true;
        QTest::newRow("Delete as X11 reports it") << int(Qt::Key_Delete) << 0 << "\x7f" << true;
        QTest::newRow("Ctrl+V") << int(Qt::Key_V) << int(Qt::ControlModifier) << "\x16" << true;
        QTest::newRow("Ctrl+X") << int(Qt::Key_X) << int(Qt::ControlModifier) << "\x18" << true;
        QTest::newRow("Ctrl+C copies")
            << int(Qt::Key_C) << int(Qt::ControlModifier) << "\x03" << false;
        QTest::newRow("Ctrl+A selects")
            << int(Qt::Key_A) << int(Qt::ControlModifier) << "\x01" << false;
        QTest::newRow("Enter") << int(Qt::Key_Return) << 0 << "\r" << false;
        QTest::newRow("Escape") << int(Qt::Key_Escape) << 0 << "\x1b" << false;
        QTest::newRow("Tab moves on") << int(Qt::Key_Tab) << 0 << "\t" << false;
        QTest::newRow("left arrow") << int(Qt::Key_Left) << 0 << "" << false;
        QTest::newRow("Shift alone") << int(Qt::Key_Shift) << int(Qt::ShiftModifier) << "" << false;
    }
    void typingEmptiesTheOtherFields()
    {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        QFETCH(QString, text);
        QFETCH(bool, clears);
        UnitsConversionPage page(ctx);
        QTest::keyClicks(child<LabeledEdit>(&page, "lbleUNITVoll"), "1");
        child<QPushButton>(&page, "btnUNITVol")->click();
        QTest::keyClicks(child<LabeledEdit>(&page, "lbleUNITLengthm"), "2");
        child<QPushButton>(&page, "btnUNITLength")->click();
        const QString before = child<LabeledEdit>(&page, "lbleUNITVolUKPint")->text();

        // Into an empty field, so that Backspace changes nothing in it.
        child<LabeledEdit>(&page, "lbleUNITVolUSQuart")->clear();
        QKeyEvent press(QEvent::KeyPress, key, Qt::KeyboardModifiers(modifiers), text);
        QApplication::sendEvent(child<LabeledEdit>(&page, "lbleUNITVolUSQuart"), &press);
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITVolUKPint")->text(),
                 clears ? QString() : before);
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITVolml")->text().isEmpty(), clears);
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITVoll")->text().isEmpty(), clears);
        // Other groups are left alone.
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITLengthm")->text(), "2");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITLengthmm")->text(), "2000");
    }

    void keyTakesItsEffectAfterEmptying()
    {
        UnitsConversionPage page(ctx);
        QTest::keyClicks(child<LabeledEdit>(&page, "lbleUNITWeightgr"), "1000");
        child<QPushButton>(&page, "btnUNITWeight")->click();
        child<LabeledEdit>(&page, "lbleUNITWeightkg")->setFocus();
        child<LabeledEdit>(&page, "lbleUNITWeightkg")->setCursorPosition(1);
        QTest::keyClicks(child<LabeledEdit>(&page, "lbleUNITWeightkg"), "5");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITWeightkg")->text(), "15");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITWeightgr")->text(), QString());
        child<QPushButton>(&page, "btnUNITWeight")->click();
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITWeightgr")->text(), "15000");
    }

    void volumeSearchesUKBeforeUS()
    {
        UnitsConversionPage page(ctx);
        child<LabeledEdit>(&page, "lbleUNITVolUSOunce")->setText("5");
        child<LabeledEdit>(&page, "lbleUNITVolUKOunce")->setText("1");
        child<QPushButton>(&page, "btnUNITVol")->click();
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITVolUKOunce")->text(), "1");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITVolcl")->text(), "2.8413125");
    }

    void unitErrorsReachTheErrorBox()
    {
        UnitsConversionPage page(ctx);
        child<QPushButton>(&page, "btnUNITSurface")->click(); // all empty: nothing at all
        QCOMPARE(dialogs.shown.size(), size_t(0));
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITSurfacem")->text(), QString());

        page.setDecimalSeparator(',');
        child<LabeledEdit>(&page, "lbleUNITLengthcm")->setText("  ");
        child<LabeledEdit>(&page, "lbleUNITLengthFeet")->setText("3");
        child<QPushButton>(&page, "btnUNITLength")->click();
        QCOMPARE(dialogs.errors(), QStringList{"'  ' is not a valid floating point value."});
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITLengthFeet")->text(), "3");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITLengthmm")->text(), QString());

        dialogs.clear();
        child<LabeledEdit>(&page, "lbleUNITLengthcm")->setText("2,54");
        child<QPushButton>(&page, "btnUNITLength")->click();
        QCOMPARE(dialogs.errors(), QStringList());
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITLengthInches")->text(), "1");
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITLengthFeet")->text(), "0,0833333333333333");

        child<LabeledEdit>(&page, "lbleUNITVolm")->setText("1e4930");
        child<QPushButton>(&page, "btnUNITVol")->click();
        QCOMPARE(dialogs.errors(), QStringList{"Floating point overflow."});
        QCOMPARE(child<LabeledEdit>(&page, "lbleUNITVolml")->text(), QString());
    }

    // ---- Shared ------------------------------------------------------------

    void enterComputes_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("fields"); // typed into, Enter in the last
        QTest::addColumn<QStringList>("in");
        QTest::addColumn<QString>("result");
        QTest::addColumn<QString>("shown");
        QTest::newRow("dilution a") << 0 << QStringList{"edtQtyFina", "edtDila1", "edtDila2"}
                                    << QStringList{"1000", "1", "4"} << "pnlQtyStocka"
                                    << "200";
        QTest::newRow("dilution d, Enter in the first field")
            << 0 << QStringList{"edtDild1", "edtDild2", "edtQtyFind"}
            << QStringList{"2", "20", "500"} << "pnlQtyStockd"
            << "50";
        QTest::newRow("temperature")
            << 1 << QStringList{"lbleUNITTempC"} << QStringList{"100"} << "lbleUNITTempF"
            << "212";
    }
    void enterComputes()
    {
        QFETCH(int, page);
        QFETCH(QStringList, fields);
        QFETCH(QStringList, in);
        QFETCH(QString, result);
        QFETCH(QString, shown);
        DilutionsPage dil(ctx);
        dil.setDecimalSeparator('.');
        UnitsConversionPage units(ctx);
        QWidget *pages[] = {&dil, &units};
        for (int i = 0; i < fields.size(); ++i)
            type(child<QLineEdit>(pages[page], fields[i]), in[i]);
        QTest::keyClick(child<QLineEdit>(pages[page], fields.back()), Qt::Key_Return);
        QWidget *out = child(pages[page], result);
        if (auto *field = qobject_cast<QLineEdit *>(out))
            QCOMPARE(field->text(), shown);
        else
            QCOMPARE(static_cast<QLabel *>(out)->text(), shown);
    }

    void tabLeavesTheTimeTable()
    {
        TimeConversionPage page(ctx);
        page.show();
        QApplication::setActiveWindow(&page);
        QVERIFY(QTest::qWaitForWindowActive(&page));
        auto *table = child(&page, "sgrdDEVT");
        table->setFocus();
        QCOMPARE(QApplication::focusWidget(), table);
        QTest::keyClick(table, Qt::Key_Tab);
        QVERIFY(QApplication::focusWidget() != table);
    }

    void focusOrder_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<QStringList>("order");
        QTest::newRow("row a") << 0
                               << QStringList{"edtQtyFina", "edtDila1", "edtDila2", "btnDila",
                                              "edtQtyStockb"};
        QTest::newRow("row d") << 0 << QStringList{"edtQtyFind", "edtDild1", "edtDild2", "btnDild"};
        QTest::newRow("volumes on screen order")
            << 1 << QStringList{"lbleUNITVolm",       "lbleUNITVolUSOunce",  "lbleUNITVolUSPint",
                                "lbleUNITVolUSQuart", "lbleUNITVolUSGallon", "lbleUNITVolUKOunce",
                                "lbleUNITVolUKPint",  "lbleUNITVolUKQuart",  "lbleUNITVolUKGallon",
                                "btnUNITVol"};
        QTest::newRow("weights") << 1
                                 << QStringList{
                                        "lbleUNITWeightkg",        "lbleUNITWeightADPGrain",
                                        "lbleUNITWeightADPOunce",  "lbleUNITWeightADPPound",
                                        "lbleUNITWeightTroyGrain", "lbleUNITWeightTroyPennyweight"};
        QTest::newRow("time") << 2
                              << QStringList{"rbtnDEVTFahrenheit", "edtDEVTTemp1",
                                             "mskedtDEVTTime1", "edtDEVTTemp2", "btnDEVTGo"};
    }
    void focusOrder()
    {
        QFETCH(int, page);
        QFETCH(QStringList, order);
        DilutionsPage dil(ctx);
        UnitsConversionPage units(ctx);
        TimeConversionPage time(ctx);
        QWidget *pages[] = {&dil, &units, &time};
        QCOMPARE(::focusOrder(child(pages[page], order.front()), int(order.size())), order);
    }
};

QTEST_MAIN(TestCalculatorPages)
#include "tst_calculator_pages.moc"
