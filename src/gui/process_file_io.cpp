#include "gui/process_file_io.h"

#include "core/grid/grid_model.h"
#include "core/process/process_file.h"
#include "gui/widgets.h"

#include <QLineEdit>
#include <QPlainTextEdit>

void readProcessFileInto(const FilePath &file, QLineEdit *title, QPlainTextEdit *comments,
                         GridModel &grid)
{
    const ProcessFileText text = ReadProcessFile(file, grid);
    if (text.hasTitle)
        title->setText(text.title);
    setMemoLines(comments, text.comments);
    fixHeaderRow(grid, file.name());
}

void writeProcessFileFrom(const FilePath &file, const QLineEdit *title,
                          const QPlainTextEdit *comments, const GridModel &grid)
{
    WriteProcessFile(file, title->text(), memoText(comments), grid);
}
