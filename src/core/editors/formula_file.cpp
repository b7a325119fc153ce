#include "core/editors/formula_file.h"

#include "core/base/busy_cursor.h"
#include "core/base/runtime_error.h"
#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "core/textfile/text_file.h"

FormulaFileText parseFormulaLines(const QStringList &lines, std::vector<QStringList> &table,
                                  int &cols)
{
    FormulaFileText out;
    qsizetype i = 0;
    const qsizetype n = lines.size();
    // Reading past the end gives the empty text, as a read at the end of a file does.
    const auto next = [&] { return i < n ? lines[i++] : QString(); };

    if (isMarker(next(), QLatin1StringView("[Titel]"))) {
        out.hasTitle = true;
        out.title = next();
    }
    if (isMarker(next(), QLatin1StringView("[Type]"))) {
        out.hasType = true;
        out.type = next();
    }
    out.characteristics = readSection(lines, i, QLatin1StringView("[Comments]"),
                                      QLatin1StringView("[Characteristics]"));
    out.comments =
        readSection(lines, i, QLatin1StringView("[Formula]"), QLatin1StringView("[Comments]"));
    splitTableLines(lines, i, table, cols);
    return out;
}

FormulaFileText ReadFormulaFile(const FilePath &path, GridModel &grid)
{
    BusyCursor busy;
    reduceToFirstRow(grid);
    // A wider file read before must not widen this one: the writer saves every
    // column the grid holds.
    grid.setCols(FormulaColumns);
    const QStringList lines = TextFile::readLines(path);
    std::vector<QStringList> table;
    int cols = grid.cols();
    FormulaFileText text;
    try {
        text = parseFormulaLines(lines, table, cols);
    } catch (const RuntimeError &e) {
        throw e.inFile(path.name());
    }
    grid.setTable(table, cols);
    return text;
}

void WriteFormulaFile(const FilePath &path, const QString &title, const QString &type,
                      const QString &characteristics, const QString &comments,
                      const GridModel &grid)
{
    BusyCursor busy;
    QStringList lines;
    lines.reserve(grid.rows() + 12);
    lines << QStringLiteral("[Titel]") << TextFile::oneLine(title) << QStringLiteral("[Type]")
          << TextFile::oneLine(type);
    lines << QStringLiteral("[Characteristics]") << memoLines(characteristics);
    lines << QStringLiteral("[Comments]") << memoLines(comments);
    lines << QStringLiteral("[Formula]");
    lines << gridLines(grid);
    TextFile::writeLines(path, lines);
}
