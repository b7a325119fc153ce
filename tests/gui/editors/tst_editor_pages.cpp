#include "core/app/app_context.h"
#include "core/app/settings.h"
#include "core/process/sound_output.h"
#include "gui/dialogs.h"
#include "gui/editors/chem_page.h"
#include "gui/editors/process_editor_page.h"
#include "gui/string_grid.h"
#include "gui/widgets.h"
#include "test_support.h"

#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

namespace {

// Either page, driven through the names its controls carry: both name their
// shared controls after a prefix.
struct Page
{
    explicit Page(const QString &prefix) : prefix(prefix)
    {
        ctx.dialogs = &dialogs;
        ctx.sound = &sound;
        ctx.settings = &settings;
        ctx.Messages[2] = QStringLiteral("Ce n'est pas le bon fichier");
        if (prefix == "PROC")
            widget = std::make_unique<ProcessEditorPage>(ctx);
        else
            widget = std::make_unique<ChemPage>(ctx);
    }
    template <class T> T *get(const QString &name) const
    {
        T *w = widget->findChild<T *>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    bool process() const { return prefix == "PROC"; }
    QLineEdit *field(const char *role) const { return get<QLineEdit>("lble" + prefix + role); }
    QPushButton *button(const char *role) const { return get<QPushButton>("btn" + prefix + role); }
    StringGrid *view() const { return get<StringGrid>(process() ? "sgrdPROC" : "sgrdChemFormula"); }
    GridModel &grid() const { return *view()->grid(); }
    QPlainTextEdit *comments() const
    {
        return get<QPlainTextEdit>(process() ? "mmoPROCComments" : "mmoChemComments");
    }
    void click(const char *role, const QString &path)
    {
        field("File")->setText(path);
        button(role)->click();
    }
    // A file of the page's kind; without the marker line when marker is false.
    QByteArray file(const QStringList &comments, const QStringList &table, bool marker = true) const
    {
        QStringList lines{"[Titel]", "Titre du fichier"};
        if (!process())
            lines << "[Type]"
                  << "Type du fichier"
                  << "[Characteristics]"
                  << "car";
        lines << "[Comments]" << comments;
        if (marker)
            lines << (process() ? "[Process]" : "[Formula]");
        return crlf(lines + table);
    }
    // Title "avant", one comment line and a header over three data rows.
    void fillBefore()
    {
        field("Titel")->setText("avant");
        comments()->setPlainText("avant");
        grid().setRows(4);
        for (int r = 0; r < 4; ++r)
            grid().setCell(0, r, QString("ligne %1").arg(r));
    }
    void checkBefore() const
    {
        QCOMPARE(field("Titel")->text(), QStringLiteral("avant"));
        QCOMPARE(comments()->toPlainText(), QStringLiteral("avant"));
        QCOMPARE(grid().rows(), 4);
        QCOMPARE(grid().cell(0, 3), QStringLiteral("ligne 3"));
    }

    TempWorkDir dir;
    ScriptedDialogs dialogs;
    RecordingSound sound;
    // The working folder is the test's: the files are named relative to it.
    Settings settings{QDir(dir.path()), QString()};
    AppContext ctx;
    QString prefix;
    std::unique_ptr<QWidget> widget;
};

void bothPages()
{
    QTest::addColumn<QString>("prefix");
    QTest::newRow("Processus") << "PROC";
    QTest::newRow("Chimies") << "Chem";
}

QString column0(const GridModel &grid)
{
    QString out;
    for (int r = 1; r < grid.rows(); ++r)
        out += grid.cell(0, r).isEmpty() ? QStringLiteral("_") : grid.cell(0, r);
    return out;
}

} // namespace

class TestEditorPages : public QObject
{
    Q_OBJECT
private slots:
    void rowButtons_data() { bothPages(); }
    void rowButtons()
    {
        QFETCH(QString, prefix);
        Page page(prefix);
        page.widget->show();
        QApplication::setActiveWindow(page.widget.get());
        QVERIFY(QTest::qWaitForWindowActive(page.widget.get()));
        page.grid().setRows(4);
        for (int r = 1; r < 4; ++r)
            page.grid().setCell(0, r, QString("ABC").mid(r - 1, 1));
        page.grid().setCurrent(1, 2);

        QPushButton *up = page.button("Up");
        QVERIFY(up->text().isEmpty() && !up->icon().isNull());
        up->setFocus();
        up->click();
        QCOMPARE(column0(page.grid()), QStringLiteral("BAC"));
        QVERIFY(page.view()->hasFocus());
        up->setFocus();
        up->click(); // row 1: nothing moves, the focus stays
        QCOMPARE(column0(page.grid()), QStringLiteral("BAC"));
        QVERIFY(up->hasFocus());
        page.button("Down")->click();
        QCOMPARE(column0(page.grid()), QStringLiteral("ABC"));
        QCOMPARE(page.grid().currentRow(), 2);
        page.button("AddRow")->click();
        QCOMPARE(column0(page.grid()), QStringLiteral("AB_C"));
        page.button("DelRow")->click();
        page.button("DelRow")->click();
        QCOMPARE(column0(page.grid()), QStringLiteral("AC"));
        QCOMPARE(page.grid().currentRow(), 2);
    }

    void openChecksTheMarker_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("mention");
        QTest::newRow("Processus") << "PROC"
                                   << "voir [process] plus bas";
        QTest::newRow("Chimies") << "Chem"
                                 << "voir [formula] plus bas";
    }
    void openChecksTheMarker()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, mention);
        Page page(prefix);
        page.fillBefore();
        page.dir.write("sans.txt", page.file({"rien"}, {"a\tb", "c\td"}, false));
        page.click("Open", "sans.txt");
        QCOMPARE(page.dialogs.messages(), QStringList{page.ctx.Messages[2]});
        QVERIFY(page.dialogs.errors().isEmpty());
        page.checkBefore();

        // A mention in any letter case passes; the file then has no marker line
        // of its own, so all of it is read as comments and the table is too short.
        page.dialogs.clear();
        page.dir.write("mention.txt", page.file({mention}, {}, false));
        page.click("Open", "mention.txt");
        QVERIFY(page.dialogs.messages().isEmpty());
        QCOMPARE(page.dialogs.errors(),
                 QStringList{"\"mention.txt\": Fixed row count must be less than row count."});
        QCOMPARE(page.field("Titel")->text(), QStringLiteral("Titre du fichier"));
        QVERIFY(page.comments()->toPlainText().contains(mention));
    }

    void missingFile_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("button");
        QTest::addColumn<int>("rowsAfter");
        QTest::newRow("Processus Ouvrir") << "PROC"
                                          << "Open" << 4;
        QTest::newRow("Processus Annuler") << "PROC"
                                           << "Cancel" << 1;
        QTest::newRow("Chimies Ouvrir") << "Chem"
                                        << "Open" << 4;
        QTest::newRow("Chimies Annuler") << "Chem"
                                         << "Cancel" << 1;
    }
    void missingFile()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, button);
        QFETCH(int, rowsAfter);
        Page page(prefix);
        page.fillBefore();
        page.click(qPrintable(button), "absent.txt");
        QCOMPARE(page.dialogs.errors(), QStringList{"\"absent.txt\": File not found."});
        QCOMPARE(page.grid().rows(), rowsAfter);
        QCOMPARE(page.grid().cell(0, 0), QStringLiteral("ligne 0"));
        QCOMPARE(page.field("Titel")->text(), QStringLiteral("avant"));
    }

    void wideTableShownAndSavedWhole_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QStringList>("table");
        QTest::newRow("seven-column process")
            << "PROC" << QStringList{"Bain\tT\tT2\tX\tAg\tf\tg", "Rév\t00:08:00\t\tX\tA1\t6\t7"};
        QTest::newRow("four-column formula") << "Chem" << QStringList{"a\tb\tc\td", "e\tf\tg\th"};
    }
    void wideTableShownAndSavedWhole()
    {
        QFETCH(QString, prefix);
        QFETCH(QStringList, table);
        Page page(prefix);
        const QByteArray bytes = page.file({"une ligne"}, table);
        page.dir.write("large.txt", bytes);
        page.click("Open", "large.txt");
        QVERIFY(page.dialogs.shown.empty());
        const int cols = static_cast<int>(table[0].count('\t')) + 1;
        QCOMPARE(page.grid().cols(), cols);
        QCOMPARE(page.grid().cell(cols - 1, 1), table[1].section('\t', -1));
        QCOMPARE(page.grid().colWidth(cols - 1), page.process() ? 69 : 115);
        page.click("Save", "copie.txt");
        QCOMPARE(page.dir.read("copie.txt"), bytes);

        // The next file is read at the page's own width again, and saved so.
        const QStringList normal = page.process() ? QStringList{"a\tb\tc\td\te", "f\tg\th\ti\tj"}
                                                  : QStringList{"a\tb\tc", "d\te\tf"};
        page.dir.write("normal.txt", page.file({"x"}, normal));
        page.click("Open", "normal.txt");
        QCOMPARE(page.grid().cols(), page.process() ? 5 : 3);
        QCOMPARE(page.grid().cell(page.grid().cols() - 1, 1), normal[1].section('\t', -1));
        page.click("Save", "normal copie.txt");
        QCOMPARE(page.dir.read("normal copie.txt"), page.dir.read("normal.txt"));
    }

    void formulaPageRoundTrip()
    {
        Page page("Chem");
        page.field("Titel")->setText("Révélateur\tMQ");
        page.field("Type")->setText("Film");
        auto *characteristics = page.get<QPlainTextEdit>("mmoChemCharacteristics");
        QTest::keyClicks(characteristics, "pH\t9"); // TAB types a TAB
        QCOMPARE(characteristics->toPlainText(), QStringLiteral("pH\t9"));
        page.comments()->setPlainText(QString("20\u00A0°C  \nfin\n\n"));
        page.grid().setCell(1, 1, "2,5");
        page.click("Save", "f.txt");
        page.field("Titel")->clear();
        characteristics->clear();
        page.comments()->clear();
        page.grid().setCell(1, 1, "");
        page.button("Cancel")->click();
        QCOMPARE(page.field("Titel")->text(), QStringLiteral("Révélateur MQ"));
        QCOMPARE(page.field("Type")->text(), QStringLiteral("Film"));
        QCOMPARE(characteristics->toPlainText(), QStringLiteral("pH\t9"));
        QCOMPARE(page.comments()->document()->toRawText(), QString("20\u00A0°C  \u2029fin"));
        QCOMPARE(page.grid().cell(1, 1), QStringLiteral("2,5"));
        QVERIFY(page.dialogs.shown.empty());
    }

    void pasteKeepsOneLine_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("field"); // none: the grid's first step name
        QTest::newRow("process title") << "PROC"
                                       << "Titel";
        QTest::newRow("formula type") << "Chem"
                                      << "Type";
        QTest::newRow("step name") << "PROC"
                                   << "";
    }
    void pasteKeepsOneLine()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, field);
        Page page(prefix);
        page.widget->show();
        QApplication::setActiveWindow(page.widget.get());
        QVERIFY(QTest::qWaitForWindowActive(page.widget.get()));
        QGuiApplication::clipboard()->setText("Bain\r\nà\t20\n");
        QLineEdit *edit = nullptr;
        if (field.isEmpty()) {
            page.grid().setCurrent(0, 1);
            QTest::keyClick(page.view(), Qt::Key_F2);
            edit = page.view()->findChild<QLineEdit *>();
        } else {
            edit = page.field(qPrintable(field));
            edit->setFocus();
        }
        QVERIFY(edit);
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
        QCOMPARE(edit->text(), QStringLiteral("Bain à 20 "));
    }

    // Tab walks the fields in the order they stand, and leaves the grid at its
    // ends instead of wrapping round.
    void tabOrder_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("from"); // a field's role, or a cell "col,row" (F2: its editor)
        QTest::addColumn<bool>("back");
        QTest::addColumn<QString>("to");
        QTest::newRow("Chimies: the title, then the type") << "Chem"
                                                           << "Titel" << false << "lbleChemType";
        QTest::newRow("Tab on the last cell leaves the grid") << "PROC"
                                                              << "4,2" << false << "btnPROCAddRow";
        QTest::newRow("Tab in the last cell's editor leaves the grid")
            << "PROC"
            << "F2 4,2" << false << "btnPROCAddRow";
        QTest::newRow("Shift+Tab on the first cell leaves the grid")
            << "PROC"
            << "0,1" << true << "lblePROCTitel";
        QTest::newRow("Tab goes on to the next row") << "PROC"
                                                     << "4,1" << false << "sgrdPROC 0,2";
    }
    void tabOrder()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, from);
        QFETCH(bool, back);
        QFETCH(QString, to);
        Page page(prefix);
        page.widget->show();
        QApplication::setActiveWindow(page.widget.get());
        QVERIFY(QTest::qWaitForWindowActive(page.widget.get()));
        page.grid().setRows(3);
        QWidget *start = nullptr;
        if (from.contains(',')) {
            const QStringList at = from.section(' ', -1).split(',');
            page.grid().setCurrent(at[0].toInt(), at[1].toInt());
            page.view()->setFocus();
            start = page.view();
            if (from.startsWith("F2")) {
                QTest::keyClick(page.view(), Qt::Key_F2);
                start = QApplication::focusWidget();
            }
        } else {
            start = page.field(qPrintable(from));
            start->setFocus();
        }
        QTest::keyClick(start, back ? Qt::Key_Backtab : Qt::Key_Tab,
                        back ? Qt::ShiftModifier : Qt::NoModifier);
        QCoreApplication::processEvents();
        QWidget *focus = QApplication::focusWidget();
        QVERIFY(focus);
        QString shown = focus->objectName();
        if (focus == page.view())
            shown += QString(" %1,%2").arg(page.grid().currentCol()).arg(page.grid().currentRow());
        QCOMPARE(shown, to);
    }

    void longTextsSurviveASave_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<int>("line"); // of the file: the title, or the type
        QTest::newRow("process title") << "PROC" << 1;
        QTest::newRow("formula title") << "Chem" << 1;
        QTest::newRow("formula type") << "Chem" << 3;
    }
    void longTextsSurviveASave()
    {
        // An edit field used to keep 32,767 characters and save them cut.
        QFETCH(QString, prefix);
        QFETCH(int, line);
        Page page(prefix);
        QList<QByteArray> lines = page.file({"c"}, {"a\tb", "c\td"}).split('\n');
        lines[line] = QByteArray(40'000, 'y') + '\r';
        const QByteArray bytes = lines.join('\n');
        page.dir.write("long.txt", bytes);
        page.click("Open", "long.txt");
        page.click("Save", "copy.txt");
        QVERIFY(page.dialogs.shown.empty());
        QCOMPARE(page.dir.read("copy.txt").split('\n').value(line), lines[line]);
    }

    void failedSaveKeepsTheOldFile_data() { bothPages(); }
    void failedSaveKeepsTheOldFile()
    {
        QFETCH(QString, prefix);
        Page page(prefix);
        const QByteArray bytes = page.file({"c"}, {"a\tb", "c\td"});
        page.dir.write("garde.txt", bytes);
        page.click("Open", "garde.txt");
        QFile::setPermissions(page.dir.file("garde.txt"), QFile::ReadOwner | QFile::ReadUser);
        page.field("Titel")->setText("changé");
        page.button("Save")->click();
        QCOMPARE(page.dialogs.errors(), QStringList{"\"garde.txt\": File access denied."});
        QCOMPARE(page.dir.read("garde.txt"), bytes);
        QCOMPARE(page.field("Titel")->text(), QStringLiteral("changé"));
    }

    void emptyPathDoesNothing_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("path");
        for (const char *prefix : {"PROC", "Chem"})
            for (const char *button : {"Open", "Cancel", "Save"}) {
                QTest::addRow("%s %s empty", prefix, button) << prefix << button << "";
                QTest::addRow("%s %s blanks", prefix, button) << prefix << button << "  ";
            }
    }
    void emptyPathDoesNothing()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, button);
        QFETCH(QString, path);
        Page page(prefix);
        page.fillBefore();
        page.click(qPrintable(button), path);
        QCOMPARE(page.dialogs.messages(), QStringList{page.ctx.noFileMessage()});
        QVERIFY(!page.dialogs.messages()[0].isEmpty());
        // The language file's text, when it has one.
        page.dialogs.clear();
        page.ctx.NoFileText = "No file";
        page.click(qPrintable(button), path);
        QCOMPARE(page.dialogs.messages(), QStringList{"No file"});
        QVERIFY(page.dialogs.errors().isEmpty());
        page.checkBefore();
        QCOMPARE(QDir(page.dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList());
    }

    // A new file reaches its folder by the name asked for, and reads back as
    // it was made; a copy of it, made by Nouveau, saves as the same bytes.
    void newThenSaveAsReadsBack_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("button"); // Enregistrer asks a new file's name too
        for (const char *prefix : {"PROC", "Chem"})
            for (const char *button : {"SaveAs", "Save"})
                QTest::addRow("%s %s", prefix, button) << prefix << button;
    }
    void newThenSaveAsReadsBack()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, button);
        Page page(prefix);
        page.settings.setProcessFolder("dossier");
        page.settings.setFormulaFolder("dossier");
        QVERIFY(QDir(page.dir.path()).mkdir("dossier"));
        const QString folder = page.dir.file("dossier");
        page.fillBefore();
        page.button("New")->click();
        QCOMPARE(page.grid().rows(), 2);
        QCOMPARE(page.grid().cols(), page.process() ? 5 : 3);
        QCOMPARE(page.grid().cell(0, 0), page.process() ? "Étape" : "Composant");
        QCOMPARE(page.grid().cell(0, 1), QString());
        QCOMPARE(page.field("Titel")->text(), QString());
        page.field("Titel")->setText("Nouveau film");
        page.grid().setCell(0, 1, "Révélateur");
        page.grid().setCell(1, 1, "00:07:30");
        page.dialogs.saveAnswers.push_back(folder + "/neuf.txt");
        page.button(qPrintable(button))->click();
        QCOMPARE(page.dialogs.count(ScriptedDialogs::Kind::SaveFile), 1);
        QCOMPARE(page.dialogs.shown.back().folder, folder);
        QCOMPARE(page.dialogs.count(ScriptedDialogs::Kind::Question), 0);
        QCOMPARE(page.field("File")->text(), QStringLiteral("neuf.txt"));
        auto *status = page.get<QLabel>("lbl" + prefix + "Status");
        QVERIFY2(wholeText(status).contains(folder + "/neuf.txt"), qPrintable(wholeText(status)));
        const QByteArray saved = readBytes(folder + "/neuf.txt");

        page.button("New")->click(); // a copy, then an empty file
        QCOMPARE(page.field("Titel")->text(), QStringLiteral("Nouveau film"));
        page.button("New")->click();
        QCOMPARE(page.field("Titel")->text(), QString());
        // A bare name is in the folder, not in the working folder.
        page.click("Open", "neuf.txt");
        QCOMPARE(page.field("Titel")->text(), QStringLiteral("Nouveau film"));
        QCOMPARE(page.grid().cell(0, 1), QStringLiteral("Révélateur"));
        QCOMPARE(page.grid().cell(1, 1), QStringLiteral("00:07:30"));
        QCOMPARE(page.grid().rows(), 2);
        page.button("New")->click();
        page.dialogs.saveAnswers.push_back(folder + "/copie.txt");
        page.button("SaveAs")->click();
        QCOMPARE(readBytes(folder + "/copie.txt"), saved);
        QVERIFY(page.dialogs.errors().isEmpty());
    }

    // No file is written over unasked: Enregistrer sous onto any file that
    // exists, Enregistrer onto one other than the file on show.
    void replacingAFileAsks_data()
    {
        QTest::addColumn<QString>("prefix");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QString>("target");
        QTest::addColumn<bool>("answer");
        QTest::addColumn<bool>("asked");
        for (const char *prefix : {"PROC", "Chem"}) {
            QTest::addRow("%s Enregistrer sous, no", prefix) << prefix << "SaveAs"
                                                             << "b.txt" << false << true;
            QTest::addRow("%s Enregistrer sous, yes", prefix) << prefix << "SaveAs"
                                                              << "b.txt" << true << true;
            QTest::addRow("%s Enregistrer sous itself, no", prefix) << prefix << "SaveAs"
                                                                    << "a.txt" << false << true;
            QTest::addRow("%s Enregistrer another, no", prefix) << prefix << "Save"
                                                                << "b.txt" << false << true;
            QTest::addRow("%s Enregistrer the file on show", prefix) << prefix << "Save"
                                                                     << "a.txt" << false << false;
        }
    }
    void replacingAFileAsks()
    {
        QFETCH(QString, prefix);
        QFETCH(QString, button);
        QFETCH(QString, target);
        QFETCH(bool, answer);
        QFETCH(bool, asked);
        Page page(prefix);
        const QByteArray a = page.file({"a"}, {"h\th", "a\ta"});
        const QByteArray b = page.file({"b"}, {"h\th", "b\tb"});
        page.dir.write("a.txt", a);
        page.dir.write("b.txt", b);
        page.click("Open", "a.txt");
        page.field("Titel")->setText("nouveau titre");
        page.dialogs.yesNoAnswers.push_back(answer);
        if (button == "SaveAs") {
            page.dialogs.saveAnswers.push_back(page.dir.file(target));
            page.button("SaveAs")->click();
        } else {
            page.click("Save", target);
        }
        QCOMPARE(page.dialogs.count(ScriptedDialogs::Kind::Question), asked ? 1 : 0);
        if (asked) {
            QVERIFY(page.dialogs.shown.back().text.contains(target));
            QVERIFY(!page.dialogs.shown.back().defaultYes);
        }
        const bool written = answer || !asked;
        const QByteArray before = target == "a.txt" ? a : b;
        QCOMPARE(page.dir.read(target) == before, !written);
        QVERIFY(page.dir.read(target).contains("nouveau titre") == written);
        if (target == "b.txt")
            QCOMPARE(page.dir.read("a.txt"), a);
    }

    void processMasks_data()
    {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("before");
        QTest::addColumn<bool>("erase");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<bool>("beep"); // a refusal is heard
        QTest::newRow("a letter is the wait mark") << 3 << "" << false << "a"
                                                   << "X" << false;
        QTest::newRow("no digit in the wait column") << 3 << "" << false << "5"
                                                     << "" << false;
        QTest::newRow("a time") << 1 << "" << false << "013000"
                                << "01:30:00" << false;
        QTest::newRow("an untouched time") << 2 << "" << false << ""
                                           << "" << false;
        QTest::newRow("an erased time") << 2 << "00:05:00" << true << ""
                                        << "" << false;
        QTest::newRow("a half-typed time is refused") << 1 << "00:05:00" << true << "12"
                                                      << "00:05:00" << true;
        // "^" is Home, "_" moves the cursor one place on.
        QTest::newRow("a one-digit hour re-opens in place") << 1 << " 1:23:45" << false << "^_2"
                                                            << " 2:23:45" << false;
        QTest::newRow("a hand-made 5:00 re-opens in its fields")
            << 2 << "5:00" << false << "^____12"
            << " 5:00:12" << false;
        QTest::newRow("a one-digit minute re-opens in its fields")
            << 1 << "00:8:30" << false << "^1"
            << "10:08:30" << false;
        // An editor opened and closed unchanged stores nothing, whatever the
        // mask could not show of the cell.
        QTest::newRow("unchanged: a wait mark in a time column") << 1 << "X" << false << ""
                                                                 << "X" << false;
        QTest::newRow("unchanged: a 3-digit hour") << 1 << "100:00:00" << false << ""
                                                   << "100:00:00" << false;
        QTest::newRow("unchanged: text after a time") << 2 << "01:30:00 extra" << false << ""
                                                      << "01:30:00 extra" << false;
        QTest::newRow("unchanged: a one-digit minute") << 1 << "00:8:30" << false << ""
                                                       << "00:8:30" << false;
        QTest::newRow("free step name") << 0 << "" << false << " a 1 "
                                        << " a 1 " << false;
        QTest::newRow("free agitation code") << 4 << "" << false << "I 30"
                                             << "I 30" << false;
    }
    void processMasks()
    {
        QFETCH(int, col);
        QFETCH(QString, before);
        QFETCH(bool, erase);
        QFETCH(QString, typed);
        QFETCH(QString, stored);
        QFETCH(bool, beep);
        Page page("PROC");
        page.widget->show();
        QApplication::setActiveWindow(page.widget.get());
        QVERIFY(QTest::qWaitForWindowActive(page.widget.get()));
        page.grid().setCell(col, 1, before);
        page.grid().setCurrent(col, 1);
        QTest::keyClick(page.view(), Qt::Key_F2);
        auto *editor = page.view()->findChild<QLineEdit *>();
        QVERIFY(editor);
        if (erase) {
            QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(editor, Qt::Key_Delete);
        }
        for (const QChar ch : typed) {
            if (ch == '^')
                QTest::keyClick(editor, Qt::Key_Home);
            else if (ch == '_')
                QTest::keyClick(editor, Qt::Key_Right);
            else
                QTest::keyClicks(editor, ch);
        }
        // Enter stores a complete entry; a blank or half-typed time stays in the
        // editor until the user goes elsewhere.
        QTest::keyClick(editor, Qt::Key_Return);
        QCoreApplication::processEvents();
        page.field("Titel")->setFocus();
        QCoreApplication::processEvents();
        QCOMPARE(page.grid().cell(col, 1), stored);
        QCOMPARE(page.sound.events, beep ? QStringList{"beep"} : QStringList());
    }
};

QTEST_MAIN(TestEditorPages)
#include "tst_editor_pages.moc"
