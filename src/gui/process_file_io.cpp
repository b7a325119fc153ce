#include "gui/process_file_io.h"

#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "gui/widgets.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void readProcessFileInto(const QString &path, QLineEdit *title, QPlainTextEdit *comments,
                         GridModel &grid)
{
    const ProcessFileText text = ReadProcessFile(path, grid);
    if (text.hasTitle)
        title->setText(text.title);
    setMemoLines(comments, text.comments);
    fixHeaderRow(grid, path);
}

void writeProcessFileFrom(const QString &path, const QLineEdit *title,
                          const QPlainTextEdit *comments, const GridModel &grid)
{
    WriteProcessFile(path, title->text(), memoText(comments), grid);
}
