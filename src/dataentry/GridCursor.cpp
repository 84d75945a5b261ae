#include "dataentry/GridCursor.h"

#include <algorithm>

GridRange CGridCursor::Range(int rows, int columns) const
{
    GridRange r;
    r.firstRow = row + std::min(0, rowExtent);
    r.lastRow = row + std::max(0, rowExtent);
    r.firstColumn = column + std::min(0, columnExtent);
    r.lastColumn = column + std::max(0, columnExtent);
    switch (mode) {
    case GridSelectionMode::Block:
        break;
    case GridSelectionMode::Columns:
        r.firstRow = 0;
        r.lastRow = rows - 1;
        break;
    case GridSelectionMode::Rows:
        r.firstColumn = 0;
        r.lastColumn = columns - 1;
        break;
    case GridSelectionMode::Cell:
        r = {column, row, row, column};
        break;
    }
    return r;
}

void CGridCursor::MoveTo(int newRow, int newColumn)
{
    row = newRow;
    column = newColumn;
    rowExtent = 0;
    columnExtent = 0;
    mode = GridSelectionMode::Block;
}

void CGridCursor::Extend(int dRow, int dColumn, int rows, int columns)
{
    ExtendTo(row + rowExtent + dRow, column + columnExtent + dColumn, rows, columns);
}

void CGridCursor::ExtendTo(int toRow, int toColumn, int rows, int columns)
{
    if (mode == GridSelectionMode::Cell)
        mode = GridSelectionMode::Block;
    if (mode != GridSelectionMode::Columns && rows > 0)
        rowExtent = std::clamp(toRow, 0, rows - 1) - row;
    if (mode != GridSelectionMode::Rows && columns > 0)
        columnExtent = std::clamp(toColumn, 0, columns - 1) - column;
}

void CGridCursor::SelectRows(int firstRow)
{
    MoveTo(firstRow, column);
    mode = GridSelectionMode::Rows;
}

void CGridCursor::SelectColumns(int firstColumn)
{
    MoveTo(row, firstColumn);
    mode = GridSelectionMode::Columns;
}

bool CGridCursor::Contains(int r, int c, int rows, int columns) const
{
    const GridRange g = Range(rows, columns);
    return r >= g.firstRow && r <= g.lastRow && c >= g.firstColumn && c <= g.lastColumn;
}
