#include "process/process_file.h"

#include "core/busy_cursor.h"
#include "grid/grid_model.h"
#include "textfile/text_file.h"

#include <QLocale>

void splitTableLine(QStringView rest, QStringList &cells, int &cols)
{
    cells.clear();
    for (int c = 0;; ++c) {
        const qsizetype tab = rest.indexOf(QLatin1Char('\t'));
        if (c == cols - 1 && tab >= 0)
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

ProcessFileText parseProcessLines(const QStringList &lines, std::vector<QStringList> &table,
                                  int &cols)
{
    ProcessFileText out;
    qsizetype i = 0;
    const qsizetype n = lines.size();
    if (i < n) {
        if (lines[i] == QLatin1String("[Titel]")) {
            ++i;
            if (i < n)
                out.title = lines[i++];
            else
                out.title.clear();
            out.hasTitle = true;
        } else {
            ++i; // not a title line: it is dropped
        }
    }
    for (; i < n; ++i) {
        const QString &line = lines[i];
        if (line == QLatin1String("[Process]")) {
            ++i;
            break;
        }
        if (line != QLatin1String("[Comments]"))
            out.comments.append(line);
    }
    table.clear();
    table.reserve(static_cast<size_t>(n - i));
    QStringList cells;
    for (; i < n; ++i) {
        splitTableLine(lines[i], cells, cols);
        table.push_back(cells);
    }
    return out;
}

ProcessFileText ReadProcessFile(const QString &path, GridModel &grid)
{
    BusyCursor busy;
    grid.setFixedRows(0);
    grid.setRows(1);
    const QStringList lines = TextFile::readLines(path);
    std::vector<QStringList> table;
    int cols = grid.cols();
    ProcessFileText text = parseProcessLines(lines, table, cols);
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
    return trimmedRight(text).split(QLatin1Char('\n'));
}

void WriteProcessFile(const QString &path, const QString &title, const QString &comments,
                      const GridModel &grid)
{
    BusyCursor busy;
    QStringList lines;
    lines.reserve(grid.rows() + 8);
    lines << QStringLiteral("[Titel]") << title << QStringLiteral("[Comments]");
    lines << memoLines(comments);
    lines << QStringLiteral("[Process]");
    for (int r = 0; r < grid.rows(); ++r) {
        QString line;
        for (int c = 0; c < grid.cols(); ++c) {
            if (c > 0)
                line += QLatin1Char('\t');
            line += grid.cell(c, r);
        }
        lines << line;
    }
    TextFile::writeLines(path, lines);
}

bool FileContainsText(const QString &path, const QString &text)
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
