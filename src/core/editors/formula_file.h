#pragma once

#include "core/textfile/text_file.h"

#include <QString>
#include <QStringList>
#include <vector>

class GridModel;

// A formula file: "[Titel]", the title, "[Type]", the type, "[Characteristics]"
// and its lines, "[Comments]" and its lines, "[Formula]", then the table, one
// tab-separated line per grid row, the header row first.

// The table's usual width; a file with more fields per line widens it.
inline constexpr int FormulaColumns = 3;

struct FormulaFileText
{
    bool hasTitle = false; // "[Titel]" came first; otherwise the title stays as it was
    QString title;
    bool hasType = false; // likewise for "[Type]" on the next line
    QString type;
    QStringList characteristics;
    QStringList comments;
};

// The reading rules on lines already read; the table is split over cols
// columns, which grows (never shrinks) to fit the widest line.
FormulaFileText parseFormulaLines(const QStringList &lines, std::vector<QStringList> &table,
                                  int &cols);

// Cuts grid back to its row 0, unfixed and three columns wide, before opening
// path, then fills its rows and columns. Raises the I/O error of a failed read
// (the grid is cut back then). Making row 0 the fixed header is the caller's
// last step: it fails for a table of fewer than two lines.
FormulaFileText ReadFormulaFile(const FilePath &path, GridModel &grid);

// Writes the file with every column of every grid row; the memos lose their
// trailing blanks and line breaks (an empty memo gives one empty line).
void WriteFormulaFile(const FilePath &path, const QString &title, const QString &type,
                      const QString &characteristics, const QString &comments,
                      const GridModel &grid);
