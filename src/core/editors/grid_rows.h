#pragma once

#include <QString>

class GridModel;

// The row operations under the editor grids. Row 0 is the header row; the
// rows below it hold the data. Only cells and the row count change.

// Inserts an empty row directly below the current one; the current cell stays.
// A grid reduced to its header row gets an empty data row, made current, and
// its header row fixed again.
void InsertGridRow(GridModel &grid);

// Removes the current row; the current row keeps its index, or moves to the new
// last row. The header row is never removed. Removing the only data row leaves
// the header row alone, then shown as an ordinary row (a grid cannot keep a
// fixed row with nothing under it).
void DeleteGridRow(GridModel &grid);

// Swaps the current row with its neighbour above (direction "up", any letter
// case) or below (any other text) and follows it. Nothing moves into or out of
// the header row. Returns whether the rows moved.
bool MoveGridRow(GridModel &grid, const QString &direction);
