#pragma once
// The one question a data grid asks its owner. The grid owns no data: every count, text, width
// and permission comes from OnGridQuery with one of the codes below; a code that the owner does
// not handle is answered with 0, which the grid takes as no, none or width 0.

#include <QColor>
#include <QPoint>
#include <QString>

class QPainter;

enum GridQueryCode : int {
    GridCanEdit = 1,            // cell: may it be edited
    GridRowCount = 6,
    GridColumnCount = 7,
    GridSetCellText = 8,        // cell with text: non-zero to accept; on refusal cell.number is
                                // the position of the first wrong character, -1 the whole text
    GridCellText = 9,           // cell: non-zero if it has content; text, alignment, colours
    GridColumnWidth = 10,       // argument column: width in characters
    GridRowTitle = 11,          // cell (row): title and alignment
    GridColumnTitle = 12,       // cell (column): title and alignment
    GridContextMenu = 13,       // cell with screen position
    GridRowHeaderWidth = 14,    // pixels
    GridColumnHeaderHeight = 15,// pixels
    GridBandText = 16,          // cell (column): text of the extra header band
    GridBandHeight = 17,        // pixels
    GridCurrentCellChanged = 19,// cell: the new current cell
    GridLastRow = 20,
    GridLastColumn = 21,        // argument row
    GridMayStartEdit = 22,      // argument 0 typing, 1 double click
    GridColumnResizing = 23,    // cell (column, number = width in characters)
    GridColumnResized = 24,
    GridDoubleClickReadOnly = 26,
    GridPaintHook = 27,         // cell.painter after the cells are drawn
};

enum GridAlignment : int { GridAlignLeft = 0, GridAlignCentre = 1, GridAlignRight = 2 };

// What a query about one cell carries in both directions.
struct GridCellRequest {
    int row = -1;
    int column = -1;
    int number = 0;  // text-length limit, error position, or width
    int alignment = GridAlignLeft;
    QString text;
    QColor background;  // invalid: the window colour
    QColor textColor;   // invalid: the window text colour
    QPoint screen;      // context menu position
    QPainter* painter = nullptr;
};

class IGridOwner {
public:
    virtual ~IGridOwner() = default;
    virtual int OnGridQuery(GridQueryCode code, int argument, GridCellRequest& cell) = 0;
};

// The selection as the owner reads it.
struct GridRange {
    int firstColumn = 0;
    int firstRow = 0;
    int lastRow = -1;
    int lastColumn = -1;
    friend bool operator==(const GridRange&, const GridRange&) = default;
};
