#pragma once
// CKWGridWnd: a spreadsheet-like window over a table it does not own. Every count, text, width
// and permission comes from its owner through IGridOwner::OnGridQuery, so the same window shows
// any table. It keeps a current cell and a selection (block, whole columns, whole rows or one
// cell), scrolls by rows and columns, and edits one cell at a time in place with CGridEdit; the
// owner decides whether an edited text is accepted.
//
// Layout inside the viewport: row headers at the left, column headers (and the optional extra
// band) at the top, the cells in the rest; column j is (width in characters x average character
// width + 4) pixels wide and every row is one text line plus a margin high.

#include <QAbstractScrollArea>
#include <QLineEdit>
#include <QTimer>

#include "dataentry/GridCursor.h"
#include "dataentry/GridOwner.h"

class CKWGridWnd;

enum GridOption : int {
    GridOptRowHeaders = 0x01,
    GridOptColumnHeaders = 0x02,
    GridOptBand = 0x04,
    GridOptDragSelect = 0x08,
    GridOptLines = 0x20,
    GridOptEnterNextColumn = 0x40,
    GridOptHeaderStyle = 0x80,
    GridOptReadOnly = 0x100,
    GridOptOutline = 0x200,
};

// What the in-place editor asks of the grid.
enum GridEditorCommand : int {
    GridEdCtrlLeft = 1,
    GridEdCtrlRight = 2,
    GridEdCtrlDown = 3,
    GridEdCtrlUp = 4,
    GridEdCtrlHome = 5,
    GridEdCtrlEnd = 6,
    GridEdEnter = 7,
    GridEdEscape = 8,
};

class CGridEdit : public QLineEdit {
    Q_OBJECT
public:
    CGridEdit(CKWGridWnd* grid, QWidget* parent);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    CKWGridWnd* m_grid;
};

class CKWGridWnd : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit CKWGridWnd(IGridOwner* owner, QWidget* parent = nullptr);

    void SetOptions(int options);
    int Options() const { return m_options; }

    // The selection as first column, first row, last row, last column.
    GridRange Selection() const;
    const CGridCursor& Cursor() const { return m_cursor; }
    int CurrentRow() const { return m_cursor.row; }
    int CurrentColumn() const { return m_cursor.column; }
    GridSelectionMode SelectionMode() const { return m_cursor.mode; }

    // Commits a pending edit; false when the owner refuses the text (the editor stays open).
    bool CommitEdit();
    bool IsEditing() const { return m_editing; }
    CGridEdit* Editor() const { return m_editor; }
    // Scroll position, current cell and selection back to row 0, column 0.
    void ResetScrollPosition();
    void Redraw();

    int FirstVisibleRow() const;
    int FirstVisibleColumn() const;
    int PageSize() const;
    int RowHeight() const { return m_rowHeight; }
    // The rectangle of a cell in viewport coordinates (outside the viewport when not visible).
    QRect CellRect(int row, int column) const;
    QRect RowHeaderRect(int row) const;
    QRect ColumnHeaderRect(int column) const;

    // Moves the current cell as a click does; false when a pending edit was refused.
    bool MoveCurrentCell(int row, int column);
    // Starts editing the current cell as a double click does (whole text selected).
    bool EditCurrentCell();

    void OnEditorCommand(int command, int repeat);

    // Tab and Shift+Tab: the next or previous cell of the row, wrapping to the next or previous
    // row (an open editor moves along). False at the last or first cell, where the focus may
    // leave the grid.
    bool TabToCell(bool forward);

protected:
    bool focusNextPrevChild(bool next) override;
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    enum class Hit { None, Cell, RowHeader, ColumnHeader, Corner };
    struct HitResult {
        Hit hit = Hit::None;
        int row = -1;
        int column = -1;
    };

    int Ask(GridQueryCode code, int argument = 0);
    int Ask(GridQueryCode code, GridCellRequest& cell, int argument = 0);
    int RowCount();
    int ColumnCount();
    int LastRow();
    int LastColumn(int row);
    bool CanEdit(int row, int column);

    void UpdateMetrics();
    void UpdateScrollBars();
    int HeaderLeft() const;
    int HeaderTop() const;
    int ColumnPixelWidth(int column) const;
    int ColumnX(int column) const;  // left edge in the viewport
    HitResult HitTest(const QPoint& pos, bool clampToCells) const;
    void EnsureVisible(int row, int column);
    void OpenEditor(const QString& initialText, bool selectAll, bool caretAtEnd);
    void CloseEditor();
    void PlaceEditor();
    void AutoScrollStep();
    void NotifyCurrentCell();

    void PaintHeaders(QPainter& p, int rows, int columns);
    void PaintCells(QPainter& p, int rows, int columns);

    IGridOwner* m_owner;
    int m_options = GridOptLines | GridOptEnterNextColumn | GridOptOutline;
    CGridCursor m_cursor;
    int m_rowHeight = 18;
    int m_charWidth = 7;
    std::vector<int> m_columnChars;  // width in characters of every column
    bool m_editing = false;
    CGridEdit* m_editor = nullptr;
    Hit m_dragging = Hit::None;
    QPoint m_lastMouse;
    QTimer m_autoScroll;
};
