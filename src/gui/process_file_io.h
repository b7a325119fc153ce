#pragma once

#include "core/textfile/text_file.h"

#include <QString>

class GridModel;
class QLineEdit;
class QPlainTextEdit;

// The process file reader and writer on the controls that show a process: a
// title field, a comments memo and a grid. Raises as the core reader does; on
// the fixed-row error the title, comments and rows are already filled.
void readProcessFileInto(const FilePath &file, QLineEdit *title, QPlainTextEdit *comments,
                         GridModel &grid);
void writeProcessFileFrom(const FilePath &file, const QLineEdit *title,
                          const QPlainTextEdit *comments, const GridModel &grid);
