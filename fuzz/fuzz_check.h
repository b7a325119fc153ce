#pragma once

// What the fuzz targets share: the bytes as the program reads a file, and a
// check that stops the run with the broken promise (libFuzzer keeps the input).
#include "core/base/runtime_error.h"
#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "core/textfile/text_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

#define FUZZ_CHECK(condition)                                                                      \
    do {                                                                                           \
        if (!(condition)) {                                                                        \
            std::fprintf(stderr, "%s:%d: broken promise: %s\n", __FILE__, __LINE__, #condition);   \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)

namespace fuzz {

inline QByteArray bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// The lines of a file as the readers get them. Whatever was read is written
// back by the writers' text layer and must read back the same.
inline QStringList readLines(const QByteArray &file)
{
    const QStringList lines = TextFile::splitLines(file);
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    FUZZ_CHECK(TextFile::splitLines(TextFile::encode(text)) == lines);
    return lines;
}

// Lines as a writer produces them, read back as the program would.
inline QStringList writeAndRead(const QStringList &lines)
{
    QString text;
    for (const QString &line : lines)
        text += line + QLatin1String("\r\n");
    return TextFile::splitLines(TextFile::encode(text));
}

// A memo line that reads as a section marker ("[Process]", with or without
// trailing blanks and tabs) cannot be written back as a comment: the format
// has no escape. Such a memo is left out of the round trip.
inline bool holdsMarker(const QStringList &memoLines, std::initializer_list<const char *> markers)
{
    for (const char *marker : markers)
        for (const QString &line : memoLines)
            if (isMarker(line, QLatin1StringView(marker)))
                return true;
    return false;
}

// Every character of a that is not a tab, in order, is in b, and nothing else.
inline bool sameWithoutTabs(QString a, QString b)
{
    a.remove(QLatin1Char('\t'));
    b.remove(QLatin1Char('\t'));
    return a == b;
}

// Fills a grid of startCols columns with the table read from the last lines,
// as the readers do, and checks what every table promises: the header row
// stays, the width grows only up to MaxTableColumns, and no character of a
// table line is lost or added.
inline void fillTable(GridModel &grid, const QStringList &lines,
                      const std::vector<QStringList> &table, int cols, int startCols)
{
    grid.setTable(table, cols);
    try {
        fixHeaderRow(grid, QStringLiteral("file.txt"));
        FUZZ_CHECK(grid.fixedRows() == 1);
    } catch (const RuntimeError &) {
        FUZZ_CHECK(grid.rows() == 1); // a table without steps
    }
    FUZZ_CHECK(grid.rows() == std::max<int>(1, static_cast<int>(table.size())));
    FUZZ_CHECK(grid.cols() >= startCols && grid.cols() <= MaxTableColumns);
    const qsizetype first = lines.size() - static_cast<qsizetype>(table.size());
    for (int r = 0; r < static_cast<int>(table.size()); ++r) {
        QStringList row;
        for (int c = 0; c < grid.cols(); ++c)
            row << grid.cell(c, r);
        FUZZ_CHECK(sameWithoutTabs(row.join(QLatin1Char('\t')), lines[first + r]));
    }
}

} // namespace fuzz
