#include "core/process/process_file.h"

#include "core/base/busy_cursor.h"
#include "core/base/runtime_error.h"
#include "core/grid/grid_model.h"
#include "core/temperature/temperature.h"
#include "core/textfile/text_file.h"

#include <QLocale>

#include <algorithm>

void splitTableLine(QStringView rest, QStringList &cells, int &cols)
{
    cells.clear();
    for (int c = 0;; ++c) {
        const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
        if (c == cols - 1 && tab >= 0 && cols < MaxTableColumns)
            ++cols;
        if (c == cols - 1) {
            cells.append(rest.toString());
            return;
        }
        if (tab >= 0) {
            cells.append(rest.left(tab).toString());
            rest = rest.mid(tab + 1);
        } else {
            cells.append(QString());
        }
    }
}

bool isMarker(QStringView line, QLatin1StringView marker)
{
    if (!line.startsWith(marker))
        return false;
    for (const QChar c : line.mid(marker.size()))
        if (c != QLatin1Char(' ') && c != QLatin1Char('\t'))
            return false;
    return true;
}

QStringList readSection(const QStringList &lines, qsizetype &i, QLatin1StringView end,
                        QLatin1StringView skip)
{
    QStringList out;
    while (i < lines.size()) {
        const QString &line = lines[i++];
        if (isMarker(line, end))
            break;
        if (!isMarker(line, skip))
            out.append(line);
    }
    return out;
}

void splitTableLines(const QStringList &lines, qsizetype from, std::vector<QStringList> &table,
                     int &cols)
{
    table.clear();
    const qsizetype rows = std::max<qsizetype>(0, lines.size() - from);
    // Checked before the rows are made, and again once lines have widened them.
    if (rows * cols > MaxTableCells)
        throw RuntimeError::tableTooLarge(MaxTableCells);
    table.reserve(static_cast<size_t>(rows));
    QStringList cells;
    for (qsizetype i = from; i < lines.size(); ++i) {
        splitTableLine(lines[i], cells, cols);
        table.push_back(cells);
    }
    if (rows * cols > MaxTableCells) {
        table.clear();
        throw RuntimeError::tableTooLarge(MaxTableCells);
    }
}

QStringList gridLines(const GridModel &grid)
{
    QStringList lines;
    lines.reserve(grid.rows());
    for (int r = 0; r < grid.rows(); ++r) {
        QString line;
        for (int c = 0; c < grid.cols(); ++c) {
            if (c > 0)
                line += QLatin1Char('\t');
            // The last column of a table as wide as it goes holds the rest of
            // a wider line, TABs and all, as the reader put it there; a TAB
            // anywhere else would make a column (the line writer flattens line
            // breaks in every case).
            const bool rest = c == grid.cols() - 1 && grid.cols() >= MaxTableColumns;
            line += rest ? grid.cell(c, r) : TextFile::oneLine(grid.cell(c, r));
        }
        lines << line;
    }
    return lines;
}

void reduceToFirstRow(GridModel &grid)
{
    grid.setFixedRows(0);
    grid.setRows(1);
}

void fixHeaderRow(GridModel &grid, const QString &path)
{
    try {
        grid.setFixedRows(1);
    } catch (const RuntimeError &e) {
        throw e.inFile(path);
    }
}

namespace {

const QLatin1StringView kTemperature("[Temperature]");

} // namespace

void takeTemperatureSection(ProcessFileText &text)
{
    const qsizetype at = text.comments.indexOf(kTemperature);
    if (at < 0)
        return;
    text.temperature = at + 1 < text.comments.size() ? text.comments[at + 1] : QString();
    text.comments.remove(at, std::min<qsizetype>(2, text.comments.size() - at));
    text.comments.removeAll(kTemperature);
}

QString stepBath(const GridModel &grid, int row)
{
    if (grid.cols() <= BathColumn)
        return QString();
    return grid.cell(BathColumn, row).trimmed();
}

double processTemperature(const ProcessFileText &text)
{
    // An empty section, as an editor's empty field saves it, says nothing.
    if (!text.temperature || text.temperature->trimmed().isEmpty())
        return 20;
    const std::optional<double> celsius =
        parseTemperature(*text.temperature, TemperatureUnit::Celsius);
    if (!celsius)
        throw RuntimeError(
            QStringLiteral("'%1' is not a valid temperature").arg(*text.temperature));
    return *celsius;
}

ProcessFileText parseProcessLines(const QStringList &lines, std::vector<QStringList> &table,
                                  int &cols)
{
    ProcessFileText out;
    qsizetype i = 0;
    const qsizetype n = lines.size();
    if (i < n && isMarker(lines[i++], QLatin1StringView("[Titel]"))) {
        // Line 2 is the title whatever it holds; any other first line is lost.
        out.hasTitle = true;
        out.title = i < n ? lines[i++] : QString();
    }
    out.comments =
        readSection(lines, i, QLatin1StringView("[Process]"), QLatin1StringView("[Comments]"));
    splitTableLines(lines, i, table, cols);
    return out;
}

ProcessFileText ReadProcessFile(const FilePath &path, GridModel &grid)
{
    BusyCursor busy;
    reduceToFirstRow(grid);
    const QStringList lines = TextFile::readLines(path);
    std::vector<QStringList> table;
    int cols = grid.cols();
    ProcessFileText text;
    try {
        text = parseProcessLines(lines, table, cols);
    } catch (const RuntimeError &e) {
        throw e.inFile(path.name());
    }
    grid.setTable(table, cols);
    return text;
}

QString trimmedRight(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text.at(end - 1).unicode() <= ' ')
        --end;
    return text.left(end);
}

QStringList memoLines(const QString &text)
{
    // Every kind of line break ends a line, as the reader takes them.
    QString lines = trimmedRight(text);
    lines.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    lines.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return lines.split(QLatin1Char('\n'));
}

void WriteProcessFile(const FilePath &path, const QString &title, const QString &comments,
                      const GridModel &grid, const std::optional<QString> &temperature)
{
    BusyCursor busy;
    QStringList lines;
    lines.reserve(grid.rows() + 8);
    lines << QStringLiteral("[Titel]") << TextFile::oneLine(title) << QStringLiteral("[Comments]");
    lines << memoLines(comments);
    if (temperature)
        lines << kTemperature << TextFile::oneLine(*temperature);
    lines << QStringLiteral("[Process]");
    lines << gridLines(grid);
    TextFile::writeLines(path, lines);
}

bool FileContainsText(const FilePath &path, const QString &text)
{
    BusyCursor busy;
    const QStringList lines = TextFile::readLines(path);
    if (text.isEmpty())
        return false;
    const QLocale locale = QLocale::system();
    const QString needle = locale.toUpper(text);
    for (const QString &line : lines)
        if (locale.toUpper(line).contains(needle))
            return true;
    return false;
}
