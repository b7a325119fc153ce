#pragma once

#include "core/textfile/text_file.h"

#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

class GridModel;

// What a process definition file holds besides its step table.
struct ProcessFileText
{
    bool hasTitle = false; // line 1 was "[Titel]"; otherwise the title stays as it was
    QString title;
    QStringList comments;
    // The line after "[Temperature]", as it stands ("20", "68 °F"): the
    // temperature the times are for. A file without the section has none, and
    // its times are for 20 °C. Filled by takeTemperatureSection.
    std::optional<QString> temperature;
};

// Takes the temperature section out of the comments the reader gave: the first
// "[Temperature]" line and the line after it; a later "[Temperature]" line is
// dropped, as "[Comments]" is, so that what WriteProcessFile writes reads back
// the same. The section stands among the comments in the file, where a
// reader that does not know it keeps it as two comment lines; so the callers
// that edit and save a file without showing it leave it in the comments.
void takeTemperatureSection(ProcessFileText &text);

// The optional sixth column of the step table: the name of the bath a step
// uses (see core/baths).
inline constexpr int BathColumn = 5;
// The bath named in a step row, blanks around it dropped; empty when the table
// has no such column.
QString stepBath(const GridModel &grid, int row);
// The temperature the file's times are for, in °C: 20 without the section or
// with an empty one.
// Raises "'<text>' is not a valid temperature" for a section that says
// something else (a caller names the file).
double processTemperature(const ProcessFileText &text);

// The reading rules on lines already read: the title and comment rules, then
// the step table split over cols columns, growing (never shrinking) the column
// count whenever a line has more fields. cols is updated. Raises "Table too
// large" for a table of more than MaxTableCells cells.
ProcessFileText parseProcessLines(const QStringList &lines, std::vector<QStringList> &table,
                                  int &cols);

// A line with more fields widens the table up to this many columns; what lies
// beyond stays in the last column, tabs and all, and is written back as it was
// read. Real tables have five columns (three for a formula); without a bound one
// line of thousands of fields would make every row of the file that wide.
inline constexpr int MaxTableColumns = 16;
// A real table has tens of cells; a file of a million empty lines would make a
// million rows. A table of more cells than this is refused (the rows of a grid
// cost far more than the bytes of their lines).
inline constexpr qsizetype MaxTableCells = qsizetype(1) << 18;

// Splits one table line over cols columns by the same rules (shared with the
// formula files).
void splitTableLine(QStringView line, QStringList &cells, int &cols);

// The pieces the process and formula files share.
// Whether line is the section marker ("[Process]"): trailing blanks and tabs,
// which an editor may leave and no one sees, do not count.
bool isMarker(QStringView line, QLatin1StringView marker);
// The lines from i up to the marker end (consumed) or the last one; the
// markers skip are dropped. i is left after them.
QStringList readSection(const QStringList &lines, qsizetype &i, QLatin1StringView end,
                        QLatin1StringView skip);
// Lines from `from` on as table rows, widening cols as they need. Raises
// "Table too large" past MaxTableCells.
void splitTableLines(const QStringList &lines, qsizetype from, std::vector<QStringList> &table,
                     int &cols);
// Every grid row as one line, its cells joined by tabs.
QStringList gridLines(const GridModel &grid);
// Every read starts from row 0 alone, without a fixed row.
void reduceToFirstRow(GridModel &grid);
// A read's last step: row 0 becomes the fixed header. A table of fewer than
// two lines raises the fixed-row error, naming the file read from path.
void fixHeaderRow(GridModel &grid, const QString &path);

// Reduces grid to its row 0 with no fixed row, reads path, and fills the grid's
// rows and columns. Raises the I/O error of a failed read (the grid is already
// reduced then). Making row 0 the fixed header is the caller's last step, after
// the title and comments are in place: it fails for a table of fewer than two
// lines.
ProcessFileText ReadProcessFile(const FilePath &path, GridModel &grid);

// Writes the file: "[Titel]", title, "[Comments]", the comments without their
// trailing blanks and line breaks, "[Temperature]" and its line when there is
// one, "[Process]", then every grid row with its cells joined by tabs.
void WriteProcessFile(const FilePath &path, const QString &title, const QString &comments,
                      const GridModel &grid,
                      const std::optional<QString> &temperature = std::nullopt);

// Whether some line of the file contains text, letter case ignored by the
// locale's rules. An empty text is never found.
bool FileContainsText(const FilePath &path, const QString &text);

// The text with every trailing blank, tab and line break removed.
QString trimmedRight(const QString &text);
// A memo's text as file lines (an empty memo gives one empty line).
QStringList memoLines(const QString &text);
