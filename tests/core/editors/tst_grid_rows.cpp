#include "core/editors/grid_rows.h"
#include "core/grid/grid_model.h"

#include <QTest>

// A grid of four columns: a header row "H", then one data row per letter of
// rows; every cell holds its row's letter and its column number.
static void fill(GridModel &grid, const QString &rows)
{
    grid.setCols(4);
    grid.setRows(static_cast<int>(rows.size()) + 1);
    for (int r = 0; r <= rows.size(); ++r)
        for (int c = 0; c < 4; ++c)
            grid.setCell(c, r,
                         (r == 0 ? QStringLiteral("H") : rows.mid(r - 1, 1)) + QString::number(c));
    grid.setFixedRows(1);
}

// The data rows as letters, "_" for a row of empty cells; checks that every
// column of a row went along with column 0.
static QString letters(const GridModel &grid)
{
    QString out;
    for (int r = 1; r < grid.rows(); ++r) {
        const QString letter = grid.cell(0, r).left(1);
        for (int c = 0; c < grid.cols(); ++c)
            if (grid.cell(c, r) != (letter.isEmpty() ? QString() : letter + QString::number(c)))
                return QStringLiteral("row %1 torn").arg(r);
        out += letter.isEmpty() ? QStringLiteral("_") : letter;
    }
    return out;
}

class TestGridRows : public QObject
{
    Q_OBJECT
private slots:
    void operations_data()
    {
        QTest::addColumn<QString>("op");
        QTest::addColumn<int>("current");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("currentAfter");
        QTest::addColumn<bool>("moved");
        QTest::newRow("insert below B") << "insert" << 2 << "AB_C" << 2 << false;
        QTest::newRow("insert below the last") << "insert" << 3 << "ABC_" << 3 << false;
        QTest::newRow("insert below the first") << "insert" << 1 << "A_BC" << 1 << false;
        QTest::newRow("delete B") << "delete" << 2 << "AC" << 2 << false;
        QTest::newRow("delete the last") << "delete" << 3 << "AB" << 2 << false;
        QTest::newRow("delete the first") << "delete" << 1 << "BC" << 1 << false;
        QTest::newRow("up") << "up" << 2 << "BAC" << 1 << true;
        QTest::newRow("Up") << "Up" << 2 << "BAC" << 1 << true;
        QTest::newRow("UP") << "UP" << 3 << "ACB" << 2 << true;
        QTest::newRow("down") << "down" << 2 << "ACB" << 3 << true;
        QTest::newRow("DOWN") << "DOWN" << 1 << "BAC" << 2 << true;
        QTest::newRow("any other word is down") << "upward" << 2 << "ACB" << 3 << true;
        QTest::newRow("up from row 1") << "up" << 1 << "ABC" << 1 << false;
        QTest::newRow("down from the last") << "down" << 3 << "ABC" << 3 << false;
    }
    void operations()
    {
        QFETCH(QString, op);
        QFETCH(int, current);
        QFETCH(QString, after);
        QFETCH(int, currentAfter);
        QFETCH(bool, moved);
        GridModel grid;
        fill(grid, "ABC");
        QVERIFY(grid.setCurrent(2, current));
        bool didMove = false;
        if (op == "insert")
            InsertGridRow(grid);
        else if (op == "delete")
            DeleteGridRow(grid);
        else
            didMove = MoveGridRow(grid, op);
        QCOMPARE(letters(grid), after);
        QCOMPARE(grid.currentRow(), currentAfter);
        QCOMPARE(grid.currentCol(), 2);
        QCOMPARE(didMove, moved);
        QCOMPARE(grid.cell(3, 0), QStringLiteral("H3"));
        QCOMPARE(grid.fixedRows(), 1);
    }

    void headerAloneTakesANewDataRow()
    {
        GridModel grid;
        fill(grid, "A");
        DeleteGridRow(grid);
        QCOMPARE(grid.rows(), 1);
        QCOMPARE(grid.cell(1, 0), QStringLiteral("H1"));
        DeleteGridRow(grid); // the header row stays
        QVERIFY(!MoveGridRow(grid, "down"));
        QCOMPARE(grid.rows(), 1);
        InsertGridRow(grid);
        QCOMPARE(letters(grid), QStringLiteral("_"));
        QCOMPARE(grid.cell(1, 0), QStringLiteral("H1"));
        QCOMPARE(grid.fixedRows(), 1);
        QCOMPARE(grid.currentRow(), 1);
    }
};

QTEST_GUILESS_MAIN(TestGridRows)
#include "tst_grid_rows.moc"
