// A process file, read as a process tab reads it: the grid keeps its header
// row, widens only to MaxTableColumns, loses no character of the table, and
// what the editor's writer saves reads back to the same title, comments and
// table, and to the same temperature section once that is taken out.
#include "core/temperature/temperature.h"
#include "fuzz_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QStringList lines = fuzz::readLines(fuzz::bytes(data, size));
    GridModel grid(5, 2);
    reduceToFirstRow(grid);
    std::vector<QStringList> table;
    int cols = grid.cols();
    const ProcessFileText text = parseProcessLines(lines, table, cols);
    fuzz::fillTable(grid, lines, table, cols, 5);

    const QStringList comments = memoLines(text.comments.join(QLatin1Char('\n')));
    if (fuzz::holdsMarker(comments, {"[Process]", "[Comments]"}))
        return 0;
    QStringList written{QStringLiteral("[Titel]"), text.title, QStringLiteral("[Comments]")};
    written << comments << QStringLiteral("[Process]") << gridLines(grid);
    std::vector<QStringList> backTable;
    int backCols = 5;
    const ProcessFileText back =
        parseProcessLines(fuzz::writeAndRead(written), backTable, backCols);
    FUZZ_CHECK(back.hasTitle && back.title == text.title);
    FUZZ_CHECK(back.comments == comments);
    FUZZ_CHECK(backCols == grid.cols());
    FUZZ_CHECK(backTable == grid.table());

    ProcessFileText sectioned = text;
    takeTemperatureSection(sectioned);
    FUZZ_CHECK(!sectioned.comments.contains(QStringLiteral("[Temperature]")));
    try {
        const double celsius = processTemperature(sectioned);
        FUZZ_CHECK(celsius >= MinCelsius && celsius <= MaxCelsius);
    } catch (const RuntimeError &) {
    }
    const QStringList kept = memoLines(sectioned.comments.join(QLatin1Char('\n')));
    // A section's line that is itself a marker cannot stand in the file, nor
    // can a kept comment that reads as the section's marker once the writer
    // has trimmed the memo's end ("[Temperature]" and a control character).
    if (fuzz::holdsMarker(kept, {"[Process]", "[Comments]", "[Temperature]"}) ||
        (sectioned.temperature &&
         fuzz::holdsMarker({*sectioned.temperature}, {"[Process]", "[Comments]", "[Temperature]"})))
        return 0;
    QStringList withSection{QStringLiteral("[Titel]"), text.title, QStringLiteral("[Comments]")};
    withSection << kept;
    if (sectioned.temperature)
        withSection << QStringLiteral("[Temperature]") << *sectioned.temperature;
    withSection << QStringLiteral("[Process]") << gridLines(grid);
    std::vector<QStringList> sectionTable;
    int sectionCols = 5;
    ProcessFileText again =
        parseProcessLines(fuzz::writeAndRead(withSection), sectionTable, sectionCols);
    takeTemperatureSection(again);
    FUZZ_CHECK(again.temperature == sectioned.temperature);
    FUZZ_CHECK(again.comments == kept);
    FUZZ_CHECK(sectionTable == grid.table());
    return 0;
}
