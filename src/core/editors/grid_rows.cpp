#include "core/editors/grid_rows.h"

#include "core/grid/grid_model.h"

namespace {

void copyRow(GridModel &grid, int from, int to)
{
    for (int c = 0; c < grid.cols(); ++c)
        grid.setCell(c, to, grid.cell(c, from));
}

} // namespace

void InsertGridRow(GridModel &grid)
{
    const bool headerOnly = grid.rows() == 1;
    const int target = grid.currentRow() + 1;
    grid.setRows(grid.rows() + 1);
    for (int r = grid.rows() - 1; r > target; --r)
        copyRow(grid, r - 1, r);
    for (int c = 0; c < grid.cols(); ++c)
        grid.setCell(c, target, QString());
    if (headerOnly)
        grid.setFixedRows(1);
}

void DeleteGridRow(GridModel &grid)
{
    const int row = grid.currentRow();
    if (row == 0)
        return;
    for (int r = row; r < grid.rows() - 1; ++r)
        copyRow(grid, r + 1, r);
    grid.setRows(grid.rows() - 1);
}

bool MoveGridRow(GridModel &grid, const QString &direction)
{
    const bool up = direction.compare(QLatin1String("UP"), Qt::CaseInsensitive) == 0;
    const int row = grid.currentRow();
    const int target = up ? row - 1 : row + 1;
    if (row <= 0 || target <= 0 || target >= grid.rows())
        return false;
    for (int c = 0; c < grid.cols(); ++c) {
        const QString text = grid.cell(c, row);
        grid.setCell(c, row, grid.cell(c, target));
        grid.setCell(c, target, text);
    }
    grid.setCurrent(grid.currentCol(), target);
    return true;
}
