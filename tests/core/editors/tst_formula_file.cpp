#include "core/base/runtime_error.h"
#include "core/editors/formula_file.h"
#include "core/grid/grid_model.h"
#include "test_support.h"

#include <QTest>

static const QStringList kTable{"Composant\tQuantité\tUnité", "Métol\t2\tg", "Borax\t\t"};

static QStringList rowsOf(const GridModel &grid)
{
    QStringList out;
    for (const QStringList &row : grid.table())
        out << row.join(QLatin1Char('|'));
    return out;
}

class TestFormulaFile : public QObject
{
    Q_OBJECT
private slots:
    void roundTrip_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QString>("readTitle");
        QTest::addColumn<QString>("readType");
        QTest::addColumn<QString>("characteristics");
        QTest::addColumn<QString>("comments");
        QTest::addColumn<QStringList>("readCharacteristics");
        QTest::addColumn<QStringList>("readComments");
        QTest::addColumn<QStringList>("readTable");
        const QStringList table{"Composant|Quantité|Unité", "Métol|2|g", "Borax||"};
        QTest::newRow("tabs and trailing blanks")
            << "D-76"
            << "Révélateur"
            << "D-76"
            << "Révélateur"
            << "pH\t9,5  \n\tà 20 °C \n \n\t"
            << "un\tdeux\n  trois  " << QStringList{"pH\t9,5  ", "\tà 20 °C"}
            << QStringList{"un\tdeux", "  trois"} << table;
        QTest::newRow("empty memo") << "D-76"
                                    << "Révélateur"
                                    << "D-76"
                                    << "Révélateur"
                                    << ""
                                    << "x" << QStringList{""} << QStringList{"x"} << table;
        QTest::newRow("[Comments] in the characteristics")
            << "D-76"
            << "Révélateur"
            << "D-76"
            << "Révélateur"
            << "un\n[Comments]\ndeux"
            << "trois" << QStringList{"un"} << QStringList{"deux", "trois"} << table;
        QTest::newRow("[Formula] in the comments")
            << "D-76"
            << "Révélateur"
            << "D-76"
            << "Révélateur"
            << "c"
            << "un\n[Formula]\ndeux" << QStringList{"c"} << QStringList{"un"}
            << QStringList{"||deux", "||[Formula]"} + table;
        // One-line fields get a space for each line break or TAB; a lone CR in
        // a memo ends its line as the reader takes it.
        QTest::newRow("line breaks and TABs in the title and type")
            << "D-76\r\n"
            << "Révé\tlateur\n"
            << "D-76 "
            << "Révé lateur "
            << "c\rd"
            << "x" << QStringList{"c", "d"} << QStringList{"x"} << table;
    }
    void roundTrip()
    {
        QFETCH(QString, title);
        QFETCH(QString, type);
        QFETCH(QString, readTitle);
        QFETCH(QString, readType);
        QFETCH(QString, characteristics);
        QFETCH(QString, comments);
        QFETCH(QStringList, readCharacteristics);
        QFETCH(QStringList, readComments);
        QFETCH(QStringList, readTable);
        TempWorkDir dir;
        GridModel grid(3, 3);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c)
                grid.setCell(c, r, kTable[r].split('\t')[c]);
        WriteFormulaFile(dir.file("f.txt"), title, type, characteristics, comments, grid);

        GridModel back(3, 2);
        const FormulaFileText text = ReadFormulaFile(dir.file("f.txt"), back);
        QCOMPARE(text.title, readTitle);
        QCOMPARE(text.type, readType);
        QCOMPARE(text.characteristics, readCharacteristics);
        QCOMPARE(text.comments, readComments);
        QCOMPARE(rowsOf(back), readTable);
    }

    void layoutAsWritten()
    {
        TempWorkDir dir;
        GridModel grid(3, 2);
        grid.setCell(0, 0, "Composant");
        grid.setCell(2, 1, "ml");
        WriteFormulaFile(dir.file("f.txt"), "Arrêt", "", "", "1 l\n", grid);
        QCOMPARE(dir.read("f.txt"),
                 crlf({"[Titel]", "Arrêt", "[Type]", "", "[Characteristics]", "", "[Comments]",
                       "1 l", "[Formula]", "Composant\t\t", "\t\tml"}));
    }

    void readingRules_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("type");
        QTest::addColumn<QStringList>("table");
        QTest::addColumn<int>("cols");
        const QStringList tail{"[Characteristics]", "c", "[Comments]", "m", "[Formula]"};
        QTest::newRow("no [Titel]: line 2 is tested for [Type]")
            << QStringList{"Perdu", "[Type]", "Fixateur"} + tail + QStringList{"a\tb\tc"} << "avant"
            << "Fixateur" << QStringList{"a|b|c"} << 3;
        QTest::newRow("no [Titel], no [Type]")
            << QStringList{"[Type]", "Fixateur"} + tail + QStringList{"a\tb\tc"} << "avant"
            << "avant" << QStringList{"a|b|c"} << 3;
        QTest::newRow("two fields fill columns 0 and 2")
            << QStringList{"[Titel]", "T", "[Type]", "Y"} + tail + QStringList{"a\tb"} << "T"
            << "Y" << QStringList{"a||b"} << 3;
        QTest::newRow("one field fills column 2")
            << QStringList{"[Titel]", "T", "[Type]", "Y"} + tail + QStringList{"abc"} << "T"
            << "Y" << QStringList{"||abc"} << 3;
        QTest::newRow("markers with trailing blanks")
            << QStringList{"[Titel] ",     "T", "[Type]\t",   "Y",      "[Characteristics] ", "c",
                           "[Comments]  ", "m", "[Formula] ", "a\tb\tc"}
            << "T"
            << "Y" << QStringList{"a|b|c"} << 3;
        QTest::newRow("a wider line widens every row")
            << QStringList{"[Titel]", "T", "[Type]", "Y"} + tail +
                   QStringList{"a\tb\tc\td", "e\tf\tg"}
            << "T"
            << "Y" << QStringList{"a|b|c|d", "e|f||g"} << 4;
    }
    void readingRules()
    {
        QFETCH(QStringList, lines);
        QFETCH(QString, title);
        QFETCH(QString, type);
        QFETCH(QStringList, table);
        QFETCH(int, cols);
        TempWorkDir dir;
        dir.write("f.txt", crlf(lines));
        GridModel grid(5, 4); // wider than a formula: cut back to three columns
        const FormulaFileText text = ReadFormulaFile(dir.file("f.txt"), grid);
        QCOMPARE(text.hasTitle ? text.title : QStringLiteral("avant"), title);
        QCOMPARE(text.hasType ? text.type : QStringLiteral("avant"), type);
        QCOMPARE(text.characteristics, QStringList{"c"});
        QCOMPARE(text.comments, QStringList{"m"});
        QCOMPARE(rowsOf(grid), table);
        QCOMPARE(grid.cols(), cols);
    }

    void missingFileCutsTheGridBack()
    {
        TempWorkDir dir;
        GridModel grid(4, 5);
        grid.setCell(2, 0, "Unité");
        grid.setCell(0, 3, "x");
        grid.setFixedRows(1);
        QVERIFY_THROWS_EXCEPTION(RuntimeError, ReadFormulaFile(dir.file("absent.txt"), grid));
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.cols(), 3);
        QCOMPARE(grid.fixedRows(), 0);
        QCOMPARE(grid.cell(2, 0), QStringLiteral("Unité"));
    }
};

QTEST_GUILESS_MAIN(TestFormulaFile)
#include "tst_formula_file.moc"
