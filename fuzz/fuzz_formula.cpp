// A formula file, read as the Chimies page reads it: the grid keeps its
// header row, is three columns wide or widens only to MaxTableColumns, loses
// no character of the table, and what the writer saves reads back the same.
#include "core/editors/formula_file.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    GridModel grid(FormulaColumns, 2);
    reduceToFirstRow(grid);
    std::vector<QStringList> table;
    int cols = grid.cols();
    const FormulaFileText text = parseFormulaLines(lines, table, cols);
    fuzz::fillTable(grid, lines, table, cols, FormulaColumns);

    const auto memo = [](const QStringList &l) { return memoLines(l.join(QLatin1Char('\n'))); };
    if (fuzz::holdsMarker(memo(text.characteristics), {"[Comments]", "[Characteristics]"}) ||
        fuzz::holdsMarker(memo(text.comments), {"[Formula]", "[Comments]"}))
        return 0;
    QStringList written{QStringLiteral("[Titel]"), text.title, QStringLiteral("[Type]"), text.type,
                        QStringLiteral("[Characteristics]")};
    written << memo(text.characteristics) << QStringLiteral("[Comments]") << memo(text.comments)
            << QStringLiteral("[Formula]") << gridLines(grid);
    std::vector<QStringList> backTable;
    int backCols = FormulaColumns;
    const FormulaFileText back =
        parseFormulaLines(fuzz::writeAndRead(written), backTable, backCols);
    FUZZ_CHECK(back.hasTitle && back.title == text.title);
    FUZZ_CHECK(back.hasType && back.type == text.type);
    FUZZ_CHECK(back.characteristics == memo(text.characteristics));
    FUZZ_CHECK(back.comments == memo(text.comments));
    FUZZ_CHECK(backCols == grid.cols());
    FUZZ_CHECK(backTable == grid.table());
    return 0;
}
