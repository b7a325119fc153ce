#include "core/base/runtime_error.h"
#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "test_support.h"

#include <QDir>
#include <QTest>

using Table = std::vector<QStringList>;
Q_DECLARE_METATYPE(Table)

namespace {

QStringList rowOf(const GridModel &g, int r)
{
    QStringList out;
    for (int c = 0; c < g.cols(); ++c)
        out << g.cell(c, r);
    return out;
}

} // namespace

class TestProcessFile : public QObject
{
    Q_OBJECT
private slots:
    void readingRules_data()
    {
        QTest::addColumn<QStringList>("lines");
        QTest::addColumn<bool>("hasTitle");
        QTest::addColumn<QString>("title");
        QTest::addColumn<QStringList>("comments");
        QTest::addColumn<int>("cols");
        QTest::addColumn<Table>("table");

        const QString h = "Step\tTime\tTime 2\tWait\tAgit";
        QTest::newRow("complete")
            << QStringList{"[Titel]",   "HP5", "[Comments]",          "c1", "c2",
                           "[Process]", h,     "Dev\t00:07:30\t\t\tA"}
            << true << "HP5" << QStringList{"c1", "c2"} << 5
            << Table{h.split('\t'), {"Dev", "00:07:30", "", "", "A"}};
        QTest::newRow("no title line drops line 1")
            << QStringList{"first", "second", "[Process]", h, "a\tb\tc\td\te"} << false << ""
            << QStringList{"second"} << 5 << Table{h.split('\t'), {"a", "b", "c", "d", "e"}};
        QTest::newRow("title is [Comments]")
            << QStringList{"[Titel]", "[Comments]", "x", "[Process]", h, "a\tb\tc\td\te"} << true
            << "[Comments]" << QStringList{"x"} << 5
            << Table{h.split('\t'), {"a", "b", "c", "d", "e"}};
        QTest::newRow("repeated [Comments] dropped, lines before kept")
            << QStringList{"[Titel]", "T",         "before", "[Comments]",   "mid", "[Comments]",
                           "end",     "[Process]", h,        "a\tb\tc\td\te"}
            << true << "T" << QStringList{"before", "mid", "end"} << 5
            << Table{h.split('\t'), {"a", "b", "c", "d", "e"}};
        QTest::newRow("[Process] inside the comments ends them")
            << QStringList{"[Titel]", "T", "[Comments]", "see", "[Process]", "later comment", h}
            << true << "T" << QStringList{"see"} << 5
            << Table{{"", "", "", "", "later comment"}, h.split('\t')};
        QTest::newRow("fewer tabs fill first columns, last field in the last")
            << QStringList{"[Titel]",   "T", "[Comments]",    "",
                           "[Process]", h,   "Dev\t00:05:00", "alone"}
            << true << "T" << QStringList{""} << 5
            << Table{h.split('\t'), {"Dev", "", "", "", "00:05:00"}, {"", "", "", "", "alone"}};
        QTest::newRow("more tabs widen the grid for good")
            << QStringList{"[Titel]",   "T", "[Comments]",       "",
                           "[Process]", h,   "a\tb\tc\td\te\tf", "1\t2\t3\t4\t5"}
            << true << "T" << QStringList{""} << 6
            << Table{{"Step", "Time", "Time 2", "Wait", "Agit", ""},
                     {"a", "b", "c", "d", "e", "f"},
                     {"1", "2", "3", "4", "", "5"}};
        QTest::newRow("empty fields kept")
            << QStringList{"[Titel]", "", "[Comments]", "", "[Process]", "\t\t\t\t", "x\t\t\t\t"}
            << true << "" << QStringList{""} << 5
            << Table{{"", "", "", "", ""}, {"x", "", "", "", ""}};
        QTest::newRow("markers with trailing blanks")
            << QStringList{"[Titel] ", "T", "[Comments]\t", "c", "[Process]  ", h, "a\tb\tc\td\te"}
            << true << "T" << QStringList{"c"} << 5
            << Table{h.split('\t'), {"a", "b", "c", "d", "e"}};
        QTest::newRow("title line at the end")
            << QStringList{"[Titel]"} << true << "" << QStringList{} << 5 << Table{};
        QTest::newRow("empty file")
            << QStringList{} << false << "" << QStringList{} << 5 << Table{};
    }
    void readingRules()
    {
        QFETCH(QStringList, lines);
        QFETCH(bool, hasTitle);
        QFETCH(QString, title);
        QFETCH(QStringList, comments);
        QFETCH(int, cols);
        QFETCH(Table, table);
        Table got;
        int gotCols = 5;
        const ProcessFileText text = parseProcessLines(lines, got, gotCols);
        QCOMPARE(text.hasTitle, hasTitle);
        QCOMPARE(text.title, title);
        QCOMPARE(text.comments, comments);
        QCOMPARE(gotCols, cols);
        QCOMPARE(got.size(), table.size());
        // Rows read before the grid widened are padded when they reach a grid.
        for (size_t r = 0; r < got.size(); ++r) {
            while (got[r].size() < cols)
                got[r] << QString();
            QCOMPARE(got[r], table[r]);
        }
    }

    void readIntoGridResetsAndKeepsWidth()
    {
        TempWorkDir dir;
        dir.write("p.txt", crlf({"[Titel]", "T", "[Comments]", "", "[Process]", "h0\th1",
                                 "a\tb\tc\td\te\tf\tg"}));
        GridModel g(5, 9);
        g.setFixedRows(1);
        g.setCell(0, 8, "old");
        ReadProcessFile(dir.file("p.txt"), g);
        QCOMPARE(g.rows(), 2);
        QCOMPARE(g.cols(), 7);
        QCOMPARE(g.fixedRows(), 0);
        QCOMPARE(rowOf(g, 0), (QStringList{"h0", "", "", "", "h1", "", ""}));
        g.setFixedRows(1);
        // A later file with five fields keeps the seven columns.
        dir.write("q.txt", crlf({"[Titel]", "Q", "[Comments]", "", "[Process]", "a\tb\tc\td\te",
                                 "1\t2\t3\t4\t5"}));
        ReadProcessFile(dir.file("q.txt"), g);
        QCOMPARE(g.cols(), 7);
        QCOMPARE(rowOf(g, 1), (QStringList{"1", "2", "3", "4", "", "", "5"}));
    }

    void wideLineKeepsTheRowsNarrow()
    {
        // One line of 5,000 fields over 5,000 short lines: the table stops
        // widening, and the copy written back starts with that line whole.
        TempWorkDir dir;
        QStringList fields;
        for (int f = 0; f < 5000; ++f)
            fields << QString::number(f);
        QStringList lines{"[Titel]", "T", "[Comments]", "c", "[Process]", fields.join('\t')};
        for (int r = 0; r < 5000; ++r)
            lines << QString("s%1\t00:00:05").arg(r);
        dir.write("wide.txt", crlf(lines));
        GridModel g(5, 2);
        ReadProcessFile(dir.file("wide.txt"), g);
        QCOMPARE(g.cols(), MaxTableColumns);
        QCOMPARE(g.rows(), 5001);
        QCOMPARE(g.cell(MaxTableColumns - 1, 1), QStringLiteral("00:00:05"));
        WriteProcessFile(dir.file("copy.txt"), "T", "c", g);
        GridModel back(5, 2);
        ReadProcessFile(dir.file("copy.txt"), back);
        QCOMPARE(back.table(), g.table());
        QVERIFY(dir.read("copy.txt").startsWith(crlf(lines.mid(0, 6))));
    }

    void hugeTableIsRefused()
    {
        // A quarter of a megabyte of one-letter lines: 65,536 rows of five cells.
        TempWorkDir dir;
        dir.write("huge.txt", crlf({"[Titel]", "T", "[Comments]", "c", "[Process]", "h"}) +
                                  QByteArray("a\n").repeated(int(MaxTableCells / 4)));
        GridModel g(5, 2);
        g.setCell(0, 0, "head");
        try {
            ReadProcessFile(dir.file("huge.txt"), g);
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(),
                     fileError(dir.file("huge.txt"), "Table too large (over 262144 cells)"));
        }
        QCOMPARE(g.rows(), 1);
        QCOMPARE(g.cell(0, 0), QStringLiteral("head"));
    }

    void missingFileLeavesTheGridReduced()
    {
        TempWorkDir dir;
        GridModel g(5, 4);
        g.setCell(0, 0, "head");
        g.setCell(0, 3, "row3");
        g.setFixedRows(1);
        try {
            ReadProcessFile(dir.file("none.txt"), g);
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), fileError(dir.file("none.txt"), "File not found"));
        }
        QCOMPARE(g.rows(), 1);
        QCOMPARE(g.fixedRows(), 0);
        QCOMPARE(g.cell(0, 0), QStringLiteral("head"));
    }

    void headerWithoutStepsCannotBeFixed()
    {
        TempWorkDir dir;
        dir.write("p.txt", crlf({"[Titel]", "T", "[Comments]", "", "[Process]", "only header"}));
        GridModel g(5, 3);
        ReadProcessFile(dir.file("p.txt"), g);
        QCOMPARE(g.rows(), 1);
        try {
            g.setFixedRows(1);
            QFAIL("no error");
        } catch (const RuntimeError &e) {
            QCOMPARE(e.message(), QStringLiteral("Fixed row count must be less than row count"));
        }
    }

    void writeReadRoundTrip()
    {
        TempWorkDir dir;
        GridModel g(5, 3);
        const Table cells{{"Étape", "Temps", "Temps 2", "Attente", "Agitation"},
                          {"Révélateur", "00:07:30", "", "", "ILFORD"},
                          {"Fixateur", "00:05:00", "00:01:00", "X", ""}};
        g.setTable(cells, 5);
        WriteProcessFile(dir.file("p.txt"), "Titre é", "ligne 1\n\tligne 2  \n\n  \n", g);
        QCOMPARE(dir.read("p.txt"),
                 QByteArray("[Titel]\r\nTitre \xE9\r\n[Comments]\r\nligne 1\r\n\tligne 2\r\n"
                            "[Process]\r\n\xC9tape\tTemps\tTemps 2\tAttente\tAgitation\r\n"
                            "R\xE9v\xE9lateur\t00:07:30\t\t\tILFORD\r\n"
                            "Fixateur\t00:05:00\t00:01:00\tX\t\r\n"));
        GridModel back(5, 2);
        const ProcessFileText text = ReadProcessFile(dir.file("p.txt"), back);
        QCOMPARE(text.title, QStringLiteral("Titre é"));
        QCOMPARE(text.comments, (QStringList{"ligne 1", "\tligne 2"}));
        QCOMPARE(back.table(), cells);
    }

    // A field of one line never leaves it: a pasted line break would start a
    // new line, a TAB a new column.
    void oneLineFieldsStayOnOneLine_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("temperature");
        QTest::addColumn<QByteArray>("written");
        QTest::newRow("a line break ending a step name")
            << "T"
            << "Bain\n"
            << "20"
            << QByteArray("T\r\n[Comments]\r\n\r\n[Temperature]\r\n20\r\n"
                          "[Process]\r\nBain \t\r\n");
        QTest::newRow("CR LF in the title, TAB in a cell")
            << "Titre\r\nsuite"
            << "a\tb"
            << "20"
            << QByteArray("Titre suite\r\n[Comments]\r\n\r\n[Temperature]\r\n20\r\n"
                          "[Process]\r\na b\t\r\n");
        QTest::newRow("lone CR in the temperature")
            << "T"
            << ""
            << "20\r5"
            << QByteArray("T\r\n[Comments]\r\n\r\n[Temperature]\r\n20 5\r\n"
                          "[Process]\r\n\t\r\n");
    }
    void oneLineFieldsStayOnOneLine()
    {
        QFETCH(QString, title);
        QFETCH(QString, cell);
        QFETCH(QString, temperature);
        QFETCH(QByteArray, written);
        TempWorkDir dir;
        GridModel g(2, 1);
        g.setCell(0, 0, cell);
        WriteProcessFile(dir.file("p.txt"), title, "", g, temperature);
        QCOMPARE(dir.read("p.txt"), "[Titel]\r\n" + written);
    }

    void emptyCommentsAreOneEmptyLine()
    {
        TempWorkDir dir;
        GridModel g(5, 2);
        WriteProcessFile(dir.file("p.txt"), "T", "", g);
        QCOMPARE(
            dir.read("p.txt"),
            QByteArray("[Titel]\r\nT\r\n[Comments]\r\n\r\n[Process]\r\n\t\t\t\t\r\n\t\t\t\t\r\n"));
        GridModel back(5, 2);
        QCOMPARE(ReadProcessFile(dir.file("p.txt"), back).comments, QStringList{""});
    }

    // The sample files, with the bath column (fp4_id11.txt) or without, read and
    // write back byte for byte, also through the temperature section's reading.
    void sampleFilesWriteBack_data()
    {
        QTest::addColumn<QString>("path");
        QDir dir(QFINDTESTDATA("../../../sample/processus"));
        for (const QString &name : dir.entryList({"*.txt"}, QDir::Files))
            QTest::newRow(qPrintable(name)) << dir.filePath(name);
        QVERIFY(dir.count() >= 6);
    }
    void sampleFilesWriteBack()
    {
        QFETCH(QString, path);
        TempWorkDir dir;
        GridModel g(5, 2);
        ProcessFileText text = ReadProcessFile(path, g);
        takeTemperatureSection(text);
        QVERIFY(!text.temperature);
        QCOMPARE(processTemperature(text), 20.0);
        // Row 2 is a developer: it names its bath where the file has the column.
        QCOMPARE(stepBath(g, 2).isEmpty(), g.cols() <= BathColumn);
        WriteProcessFile(dir.file("copy.txt"), text.title, text.comments.join('\n'), g,
                         text.temperature);
        QCOMPARE(dir.read("copy.txt"), readBytes(path));
    }

    // The temperature section among the comments, and the bath column.
    void temperatureSectionAndBath_data()
    {
        QTest::addColumn<QStringList>("comments"); // as the reader gives them
        QTest::addColumn<QStringList>("left");
        QTest::addColumn<QString>("temperature"); // "-" for none
        QTest::addColumn<double>("celsius");      // -1 when refused
        QTest::newRow("none") << QStringList{"c"} << QStringList{"c"} << "-" << 20.0;
        QTest::newRow("degrees Celsius")
            << QStringList{"c", "[Temperature]", "24"} << QStringList{"c"} << "24" << 24.0;
        QTest::newRow("°F, comments after")
            << QStringList{"[Temperature]", "68 °F", "d"} << QStringList{"d"} << "68 °F" << 20.0;
        QTest::newRow("a second marker is dropped")
            << QStringList{"[Temperature]", "21", "[Temperature]", "e"} << QStringList{"e"} << "21"
            << 21.0;
        QTest::newRow("section at the end, empty")
            << QStringList{"c", "[Temperature]"} << QStringList{"c"} << "" << 20.0;
        QTest::newRow("not a temperature")
            << QStringList{"[Temperature]", "tiède"} << QStringList{} << "tiède" << -1.0;
    }
    void temperatureSectionAndBath()
    {
        QFETCH(QStringList, comments);
        QFETCH(QStringList, left);
        QFETCH(QString, temperature);
        QFETCH(double, celsius);
        ProcessFileText text;
        text.comments = comments;
        takeTemperatureSection(text);
        QCOMPARE(text.comments, left);
        QCOMPARE(text.temperature.value_or("-"), temperature);
        try {
            QCOMPARE(processTemperature(text), celsius);
        } catch (const RuntimeError &e) {
            QCOMPARE(celsius, -1.0);
            QCOMPARE(e.message(), QString("'%1' is not a valid temperature").arg(temperature));
        }
        // Written and read back, the section and the comments stay.
        TempWorkDir dir;
        GridModel g(6, 2);
        g.setTable({{"Step", "Time", "Time 2", "Wait", "Agit", "Bath"},
                    {"Dev", "00:08:30", "", "", "ILFORD", " ID-11 "}},
                   6);
        WriteProcessFile(dir.file("p.txt"), "T", left.join('\n'), g, text.temperature);
        GridModel back(5, 2);
        ProcessFileText read = ReadProcessFile(dir.file("p.txt"), back);
        takeTemperatureSection(read);
        QCOMPARE(read.temperature, text.temperature);
        QCOMPARE(read.comments, left.isEmpty() ? QStringList{""} : left);
        QCOMPARE(stepBath(back, 1), QString("ID-11"));
    }

    void fileContainsText_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("found");
        QTest::newRow("exact") << crlf({"[Titel]", "[Process]"}) << "[Process]" << true;
        QTest::newRow("capitals") << crlf({"[PROCESS]"}) << "[Process]" << true;
        QTest::newRow("inside a comment")
            << crlf({"see the [process] part"}) << "[Process]" << true;
        QTest::newRow("absent") << crlf({"[Formula]"}) << "[Process]" << false;
        QTest::newRow("accented case") << QByteArray("\xC9TAPE\r\n") << "étape" << true;
        QTest::newRow("empty text never found") << crlf({"x"}) << "" << false;
        QTest::newRow("empty file") << QByteArray() << "[Process]" << false;
    }
    void fileContainsText()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, text);
        QFETCH(bool, found);
        TempWorkDir dir;
        dir.write("f.txt", bytes);
        QCOMPARE(FileContainsText(dir.file("f.txt"), text), found);
    }

    void capitalisedHeaderPassesCheckButFailsRead()
    {
        TempWorkDir dir;
        dir.write("p.txt", crlf({"[Titel]", "T", "[Comments]", "c", "[PROCESS]", "h", "a"}));
        QVERIFY(FileContainsText(dir.file("p.txt"), "[Process]"));
        GridModel g(5, 2);
        const ProcessFileText text = ReadProcessFile(dir.file("p.txt"), g);
        QCOMPARE(text.comments, (QStringList{"c", "[PROCESS]", "h", "a"}));
        QVERIFY_THROWS_EXCEPTION(RuntimeError, g.setFixedRows(1));
    }

    void badInputNeverCrashes_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("cols");
        QByteArray binary;
        for (int i = 0; i < 4096; ++i)
            binary.append(char((i * 37) % 256));
        QByteArray longLine = "[Titel]\r\nT\r\n[Process]\r\nh\r\n" + QByteArray(900'000, 'x');
        QByteArray wide = "[Titel]\r\nT\r\n[Process]\r\n" + QByteArray(5000, '\t') + "\r\nx\r\n";
        QTest::newRow("binary") << binary << -1 << -1;
        QTest::newRow("long line") << longLine << 2 << 5;
        QTest::newRow("five thousand columns") << wide << 2 << MaxTableColumns;
        QTest::newRow("nul bytes")
            << QByteArray("[Titel]\r\n\r\n[Process]\r\n\0\0\t\0\r\nx\r\n", 29) << 2 << 5;
    }
    void badInputNeverCrashes()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, rows);
        QFETCH(int, cols);
        TempWorkDir dir;
        dir.write("bad.txt", bytes);
        GridModel g(5, 2);
        ReadProcessFile(dir.file("bad.txt"), g);
        if (rows >= 0) {
            QCOMPARE(g.rows(), rows);
            QCOMPARE(g.cols(), cols);
        }
        QVERIFY(g.rows() >= 1);
    }
};

QTEST_GUILESS_MAIN(TestProcessFile)
#include "tst_process_file.moc"
