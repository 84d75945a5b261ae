#pragma once
// Current cell and selection of a data grid. The selection is the current cell plus an extent
// (row and column offsets, either sign) in one of four modes: a block, whole columns, whole rows,
// or the current cell alone.

#include "dataentry/GridOwner.h"

enum class GridSelectionMode : int { Block = 0, Columns = 1, Rows = 2, Cell = 3 };

class CGridCursor {
public:
    int row = 0;
    int column = 0;
    int rowExtent = 0;
    int columnExtent = 0;
    GridSelectionMode mode = GridSelectionMode::Block;

    // The selected cells of a table of `rows` by `columns`.
    GridRange Range(int rows, int columns) const;

    // A new current cell; the selection collapses to it.
    void MoveTo(int newRow, int newColumn);
    // Moves the far corner of the selection by (dRow, dColumn), kept inside the table; row
    // movement is ignored in column mode, column movement in row mode.
    void Extend(int dRow, int dColumn, int rows, int columns);
    // Sets the far corner to (toRow, toColumn), kept inside the table (drag selection).
    void ExtendTo(int toRow, int toColumn, int rows, int columns);
    // Selects whole rows or columns starting at the header that was clicked.
    void SelectRows(int firstRow);
    void SelectColumns(int firstColumn);

    bool Contains(int r, int c, int rows, int columns) const;
};
