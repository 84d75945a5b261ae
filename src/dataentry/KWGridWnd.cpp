#include "dataentry/KWGridWnd.h"

#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <qdrawutil.h>

#include <algorithm>

#include "util/UserPromptBox.h"

namespace {

constexpr QRgb kGridLineColour = qRgb(196, 196, 196);
constexpr int kAutoScrollPauseMs = 150;

}  // namespace

CGridEdit::CGridEdit(CKWGridWnd* grid, QWidget* parent) : QLineEdit(parent), m_grid(grid)
{
    setFrame(false);
}

void CGridEdit::keyPressEvent(QKeyEvent* event)
{
    const bool ctrl = event->modifiers() & Qt::ControlModifier;
    const int repeat = std::max(1, event->count());
    int command = 0;
    switch (event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        command = GridEdEnter;
        break;
    case Qt::Key_Escape:
        command = GridEdEscape;
        break;
    case Qt::Key_Left:
        command = ctrl ? GridEdCtrlLeft : 0;
        break;
    case Qt::Key_Right:
        command = ctrl ? GridEdCtrlRight : 0;
        break;
    case Qt::Key_Down:
        command = ctrl ? GridEdCtrlDown : 0;
        break;
    case Qt::Key_Up:
        command = ctrl ? GridEdCtrlUp : 0;
        break;
    case Qt::Key_Home:
        command = ctrl ? GridEdCtrlHome : 0;
        break;
    case Qt::Key_End:
        command = ctrl ? GridEdCtrlEnd : 0;
        break;
    default:
        break;
    }
    if (command == 0) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    event->accept();
    m_grid->OnEditorCommand(command, repeat);
}

CKWGridWnd::CKWGridWnd(IGridOwner* owner, QWidget* parent) : QAbstractScrollArea(parent), m_owner(owner)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setFocusProxy(this);
    viewport()->setMouseTracking(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    m_editor = new CGridEdit(this, viewport());
    m_editor->hide();
    m_autoScroll.setInterval(kAutoScrollPauseMs);
    connect(&m_autoScroll, &QTimer::timeout, this, &CKWGridWnd::AutoScrollStep);
    UpdateMetrics();
}

void CKWGridWnd::SetOptions(int options)
{
    m_options = options;
    UpdateMetrics();
    viewport()->update();
}

int CKWGridWnd::Ask(GridQueryCode code, int argument)
{
    GridCellRequest cell;
    return Ask(code, cell, argument);
}

int CKWGridWnd::Ask(GridQueryCode code, GridCellRequest& cell, int argument)
{
    return m_owner ? m_owner->OnGridQuery(code, argument, cell) : 0;
}

int CKWGridWnd::RowCount()
{
    return std::max(0, Ask(GridRowCount));
}

int CKWGridWnd::ColumnCount()
{
    return std::max(0, Ask(GridColumnCount));
}

int CKWGridWnd::LastRow()
{
    return Ask(GridLastRow);
}

int CKWGridWnd::LastColumn(int row)
{
    return Ask(GridLastColumn, row);
}

bool CKWGridWnd::CanEdit(int row, int column)
{
    GridCellRequest cell;
    cell.row = row;
    cell.column = column;
    return Ask(GridCanEdit, cell) != 0;
}

void CKWGridWnd::UpdateMetrics()
{
    const QFontMetrics fm(font());
    m_rowHeight = fm.height() + 4;
    m_charWidth = std::max(1, fm.averageCharWidth());
    const int columns = ColumnCount();
    m_columnChars.assign(size_t(columns), 0);
    for (int c = 0; c < columns; ++c)
        m_columnChars[size_t(c)] = std::max(0, Ask(GridColumnWidth, c));
    UpdateScrollBars();
    PlaceEditor();
}

void CKWGridWnd::UpdateScrollBars()
{
    const int rows = RowCount();
    const int columns = ColumnCount();
    // Scrolling stops once the last row and the last column are fully in view.
    const int fullRows = std::max(1, (viewport()->height() - HeaderTop()) / m_rowHeight);
    verticalScrollBar()->setRange(0, std::max(0, rows - fullRows));
    verticalScrollBar()->setPageStep(std::max(1, PageSize()));
    int firstColumn = columns - 1;
    int width = columns > 0 ? ColumnPixelWidth(columns - 1) : 0;
    const int room = viewport()->width() - HeaderLeft();
    while (firstColumn > 0 && width + ColumnPixelWidth(firstColumn - 1) <= room)
        width += ColumnPixelWidth(--firstColumn);
    horizontalScrollBar()->setRange(0, std::max(0, firstColumn));
    horizontalScrollBar()->setPageStep(1);
}

int CKWGridWnd::HeaderLeft() const
{
    if (!(m_options & GridOptRowHeaders))
        return 0;
    auto* self = const_cast<CKWGridWnd*>(this);
    return std::max(0, self->Ask(GridRowHeaderWidth));
}

int CKWGridWnd::HeaderTop() const
{
    auto* self = const_cast<CKWGridWnd*>(this);
    int top = 0;
    if (m_options & GridOptColumnHeaders)
        top += std::max(0, self->Ask(GridColumnHeaderHeight));
    if (m_options & GridOptBand)
        top += std::max(0, self->Ask(GridBandHeight));
    return top;
}

int CKWGridWnd::ColumnPixelWidth(int column) const
{
    const int chars = column >= 0 && size_t(column) < m_columnChars.size() ? m_columnChars[size_t(column)] : 0;
    return chars * m_charWidth + 4;
}

int CKWGridWnd::ColumnX(int column) const
{
    int x = HeaderLeft();
    const int first = FirstVisibleColumn();
    if (column >= first) {
        for (int c = first; c < column; ++c)
            x += ColumnPixelWidth(c);
    } else {
        for (int c = column; c < first; ++c)
            x -= ColumnPixelWidth(c);
    }
    return x;
}

int CKWGridWnd::FirstVisibleRow() const
{
    return verticalScrollBar()->value();
}

int CKWGridWnd::FirstVisibleColumn() const
{
    return horizontalScrollBar()->value();
}

int CKWGridWnd::PageSize() const
{
    const int height = viewport()->height() - HeaderTop();
    return std::max(1, (height + m_rowHeight - 1) / m_rowHeight);
}

QRect CKWGridWnd::CellRect(int row, int column) const
{
    const int y = HeaderTop() + (row - FirstVisibleRow()) * m_rowHeight;
    return {ColumnX(column), y, ColumnPixelWidth(column), m_rowHeight};
}

QRect CKWGridWnd::RowHeaderRect(int row) const
{
    const int y = HeaderTop() + (row - FirstVisibleRow()) * m_rowHeight;
    return {0, y, HeaderLeft(), m_rowHeight};
}

QRect CKWGridWnd::ColumnHeaderRect(int column) const
{
    auto* self = const_cast<CKWGridWnd*>(this);
    const int height = (m_options & GridOptColumnHeaders) ? std::max(0, self->Ask(GridColumnHeaderHeight)) : 0;
    return {ColumnX(column), 0, ColumnPixelWidth(column), height};
}

GridRange CKWGridWnd::Selection() const
{
    auto* self = const_cast<CKWGridWnd*>(this);
    return m_cursor.Range(self->RowCount(), self->ColumnCount());
}

CKWGridWnd::HitResult CKWGridWnd::HitTest(const QPoint& pos, bool clampToCells) const
{
    auto* self = const_cast<CKWGridWnd*>(this);
    const int rows = self->RowCount();
    const int columns = self->ColumnCount();
    HitResult h;
    const int left = HeaderLeft();
    const int top = HeaderTop();
    int row = FirstVisibleRow() + (pos.y() - top) / m_rowHeight;
    if (pos.y() < top)
        row = FirstVisibleRow() - 1 - (top - pos.y()) / m_rowHeight;
    int column = FirstVisibleColumn();
    int x = left;
    if (pos.x() >= left) {
        while (column < columns - 1 && x + ColumnPixelWidth(column) <= pos.x()) {
            x += ColumnPixelWidth(column);
            ++column;
        }
        if (x + ColumnPixelWidth(column) <= pos.x())
            column = columns;  // beyond the last column
    } else {
        column = FirstVisibleColumn() - 1;
    }
    if (clampToCells) {
        h.hit = Hit::Cell;
        h.row = std::clamp(row, 0, std::max(0, rows - 1));
        h.column = std::clamp(column, 0, std::max(0, columns - 1));
        return h;
    }
    const bool inRows = row >= 0 && row < rows && pos.y() >= top;
    const bool inColumns = column >= 0 && column < columns && pos.x() >= left;
    if (pos.x() < left && pos.y() < top)
        h.hit = Hit::Corner;
    else if (pos.x() < left && inRows)
        h.hit = Hit::RowHeader;
    else if (pos.y() < top && inColumns)
        h.hit = Hit::ColumnHeader;
    else if (inRows && inColumns)
        h.hit = Hit::Cell;
    h.row = row;
    h.column = column;
    return h;
}

void CKWGridWnd::EnsureVisible(int row, int column)
{
    const int top = HeaderTop();
    const int fullRows = std::max(1, (viewport()->height() - top) / m_rowHeight);
    int first = FirstVisibleRow();
    if (row < first)
        first = row;
    else if (row >= first + fullRows)
        first = row - fullRows + 1;
    verticalScrollBar()->setValue(std::max(0, first));

    int firstColumn = FirstVisibleColumn();
    if (column < firstColumn) {
        firstColumn = column;
    } else {
        // Scroll right until the column fits (or is the first visible one).
        while (firstColumn < column) {
            int right = HeaderLeft();
            for (int c = firstColumn; c <= column; ++c)
                right += ColumnPixelWidth(c);
            if (right <= viewport()->width())
                break;
            ++firstColumn;
        }
    }
    horizontalScrollBar()->setValue(std::max(0, firstColumn));
}

void CKWGridWnd::NotifyCurrentCell()
{
    GridCellRequest cell;
    cell.row = m_cursor.row;
    cell.column = m_cursor.column;
    Ask(GridCurrentCellChanged, cell);
}

bool CKWGridWnd::MoveCurrentCell(int row, int column)
{
    if (!CommitEdit())
        return false;
    const int rows = RowCount();
    const int columns = ColumnCount();
    if (rows == 0 || columns == 0)
        return false;
    row = std::clamp(row, 0, rows - 1);
    column = std::clamp(column, 0, columns - 1);
    m_cursor.MoveTo(row, column);
    EnsureVisible(row, column);
    viewport()->update();
    NotifyCurrentCell();
    return true;
}

bool CKWGridWnd::CommitEdit()
{
    if (!m_editing)
        return true;
    GridCellRequest cell;
    cell.row = m_cursor.row;
    cell.column = m_cursor.column;
    cell.text = m_editor->text();
    if (Ask(GridSetCellText, cell) == 0) {
        const int at = cell.number;
        if (at < 0 || at >= m_editor->text().size())
            m_editor->selectAll();
        else
            m_editor->setSelection(at, 1);
        m_editor->setFocus();
        BeepAtUser();
        return false;
    }
    CloseEditor();
    return true;
}

void CKWGridWnd::CloseEditor()
{
    if (!m_editing)
        return;
    m_editing = false;
    const bool hadFocus = m_editor->hasFocus();
    m_editor->hide();
    if (hadFocus)
        setFocus();
    viewport()->update();
}

void CKWGridWnd::PlaceEditor()
{
    if (m_editing)
        m_editor->setGeometry(CellRect(m_cursor.row, m_cursor.column).adjusted(1, 1, -1, -1));
}

void CKWGridWnd::OpenEditor(const QString& initialText, bool selectAll, bool caretAtEnd)
{
    GridCellRequest cell;
    cell.row = m_cursor.row;
    cell.column = m_cursor.column;
    Ask(GridCellText, cell);
    m_editor->setMaxLength(cell.number > 0 ? cell.number : 32767);
    m_editor->setFont(font());
    m_editor->setText(initialText.isNull() ? cell.text : initialText);
    m_editing = true;
    EnsureVisible(m_cursor.row, m_cursor.column);
    PlaceEditor();
    m_editor->show();
    m_editor->setFocus();
    if (selectAll)
        m_editor->selectAll();
    else if (caretAtEnd)
        m_editor->end(false);
    viewport()->update();
}

bool CKWGridWnd::EditCurrentCell()
{
    if (RowCount() == 0 || !CanEdit(m_cursor.row, m_cursor.column) || Ask(GridMayStartEdit, 1) == 0)
        return false;
    OpenEditor(QString(), true, false);
    return true;
}

void CKWGridWnd::OnEditorCommand(int command, int repeat)
{
    if (command == GridEdEscape) {
        CloseEditor();
        return;
    }
    const int row = m_cursor.row;
    const int column = m_cursor.column;
    if (!CommitEdit())
        return;
    const int lastRow = LastRow();
    int r = row;
    int c = column;
    auto step = [&](int dr, int dc) {
        for (int i = 0; i < repeat; ++i) {
            int nr = r + dr;
            int nc = c + dc;
            while (nr >= 0 && nr <= lastRow && nc >= 0 && nc <= LastColumn(nr) && !CanEdit(nr, nc)) {
                nr += dr;
                nc += dc;
            }
            if (nr < 0 || nr > lastRow || nc < 0 || nc > LastColumn(nr))
                break;
            r = nr;
            c = nc;
        }
    };
    switch (command) {
    case GridEdCtrlLeft:
        step(0, -1);
        break;
    case GridEdCtrlRight:
        step(0, 1);
        break;
    case GridEdCtrlDown:
        step(1, 0);
        break;
    case GridEdCtrlUp:
        step(-1, 0);
        break;
    case GridEdCtrlHome:
        r = 0;
        c = 0;
        break;
    case GridEdCtrlEnd:
        r = lastRow;
        c = LastColumn(lastRow);
        break;
    case GridEdEnter:
        if (m_options & GridOptEnterNextColumn) {
            if (++c > LastColumn(r)) {
                c = 0;
                if (++r > lastRow)
                    return;  // past the last cell: the editor stays closed
            }
        } else {
            if (++r > lastRow) {
                r = 0;
                if (++c > LastColumn(0))
                    return;
            }
        }
        break;
    default:
        return;
    }
    if (!MoveCurrentCell(r, c))
        return;
    if (CanEdit(r, c))
        OpenEditor(QString(), true, false);
}

bool CKWGridWnd::TabToCell(bool forward)
{
    const int lastRow = LastRow();
    if (RowCount() == 0 || lastRow < 0)
        return false;
    int r = m_cursor.row;
    int c = m_cursor.column;
    if (forward) {
        if (++c > LastColumn(r)) {
            c = 0;
            ++r;
        }
    } else if (--c < 0) {
        --r;
        c = r >= 0 ? LastColumn(r) : 0;
    }
    const bool wasEditing = m_editing;
    if (r < 0 || r > lastRow) {
        // Leaving the grid commits the open cell; a refused text keeps the focus in it.
        return !CommitEdit();
    }
    if (MoveCurrentCell(r, c) && wasEditing && CanEdit(r, c))
        OpenEditor(QString(), true, false);
    return true;
}

bool CKWGridWnd::focusNextPrevChild(bool next)
{
    // Tab on the grid or in its editor (whose focus chain ends here) moves between cells.
    if (!(m_options & GridOptReadOnly) && (hasFocus() || m_editor->hasFocus()) && TabToCell(next))
        return true;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void CKWGridWnd::ResetScrollPosition()
{
    CloseEditor();
    UpdateMetrics();
    verticalScrollBar()->setValue(0);
    horizontalScrollBar()->setValue(0);
    m_cursor = CGridCursor();
    viewport()->update();
}

void CKWGridWnd::Redraw()
{
    UpdateMetrics();
    const int rows = RowCount();
    // The first visible row stays within the table when it shrinks.
    if (FirstVisibleRow() > std::max(0, rows - 1))
        verticalScrollBar()->setValue(std::max(0, rows - 1));
    viewport()->update();
}

void CKWGridWnd::keyPressEvent(QKeyEvent* event)
{
    if (m_options & GridOptReadOnly) {
        event->ignore();
        return;
    }
    const int rows = RowCount();
    const int columns = ColumnCount();
    const int key = event->key();
    const bool shift = event->modifiers() & Qt::ShiftModifier;
    const bool navigation = key == Qt::Key_PageUp || key == Qt::Key_PageDown || key == Qt::Key_Home ||
                            key == Qt::Key_End || key == Qt::Key_Left || key == Qt::Key_Right ||
                            key == Qt::Key_Up || key == Qt::Key_Down;
    if (navigation) {
        event->accept();
        if (rows == 0 || columns == 0)
            return;
        const int page = PageSize();
        const int count = std::max(1, event->count());
        if (shift) {
            switch (key) {
            case Qt::Key_PageUp: m_cursor.Extend(-page, 0, rows, columns); break;
            case Qt::Key_PageDown: m_cursor.Extend(page, 0, rows, columns); break;
            case Qt::Key_Home: m_cursor.ExtendTo(0, m_cursor.column + m_cursor.columnExtent, rows, columns); break;
            case Qt::Key_End: m_cursor.ExtendTo(rows - 1, m_cursor.column + m_cursor.columnExtent, rows, columns); break;
            case Qt::Key_Left: m_cursor.Extend(0, -1, rows, columns); break;
            case Qt::Key_Right: m_cursor.Extend(0, 1, rows, columns); break;
            case Qt::Key_Up: m_cursor.Extend(-1, 0, rows, columns); break;
            case Qt::Key_Down: m_cursor.Extend(1, 0, rows, columns); break;
            default: break;
            }
            EnsureVisible(m_cursor.row + m_cursor.rowExtent, m_cursor.column + m_cursor.columnExtent);
            viewport()->update();
            return;
        }
        int r = m_cursor.row;
        int c = m_cursor.column;
        switch (key) {
        case Qt::Key_PageUp: r -= page; break;
        case Qt::Key_PageDown: r += page; break;
        case Qt::Key_Home: r = 0; c = 0; break;
        case Qt::Key_End: r = std::max(0, LastRow()); c = std::max(0, LastColumn(r)); break;
        case Qt::Key_Left: c -= count; break;
        case Qt::Key_Right: c += count; break;
        case Qt::Key_Up: r -= count; break;
        case Qt::Key_Down: r += count; break;
        default: break;
        }
        MoveCurrentCell(r, c);
        return;
    }
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        // Enter on the grid opens the current cell, so that it never closes the dialog.
        event->accept();
        EditCurrentCell();
        return;
    }
    const QString text = event->text();
    if (text.size() == 1 && !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier))) {
        const QChar upper = text.at(0).toUpper();
        if (upper.unicode() >= u' ' && upper.unicode() <= u'Z') {
            event->accept();
            if (rows == 0 || !CanEdit(m_cursor.row, m_cursor.column) || Ask(GridMayStartEdit, 0) == 0)
                return;
            if (text.at(0) == u' ')
                OpenEditor(QString(), false, true);
            else
                OpenEditor(text, false, true);
            return;
        }
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void CKWGridWnd::mousePressEvent(QMouseEvent* event)
{
    if (m_options & GridOptReadOnly)
        return;
    setFocus();
    const HitResult h = HitTest(event->position().toPoint(), false);
    if (event->button() == Qt::RightButton) {
        if (!CommitEdit())
            return;
        GridCellRequest cell;
        cell.row = h.row;
        cell.column = h.column;
        cell.screen = event->globalPosition().toPoint();
        Ask(GridContextMenu, cell);
        return;
    }
    if (event->button() != Qt::LeftButton)
        return;
    const bool drag = m_options & GridOptDragSelect;
    switch (h.hit) {
    case Hit::Cell:
        if (!MoveCurrentCell(h.row, h.column))
            return;
        if (drag)
            m_dragging = Hit::Cell;
        break;
    case Hit::RowHeader:
        if (!drag || !CommitEdit())
            return;
        m_cursor.SelectRows(h.row);
        m_dragging = Hit::RowHeader;
        viewport()->update();
        NotifyCurrentCell();
        break;
    case Hit::ColumnHeader:
        if (!drag || !CommitEdit())
            return;
        m_cursor.SelectColumns(h.column);
        m_dragging = Hit::ColumnHeader;
        viewport()->update();
        NotifyCurrentCell();
        break;
    default:
        break;
    }
    m_lastMouse = event->position().toPoint();
}

void CKWGridWnd::mouseMoveEvent(QMouseEvent* event)
{
    if (m_dragging == Hit::None)
        return;
    m_lastMouse = event->position().toPoint();
    const HitResult h = HitTest(m_lastMouse, true);
    m_cursor.ExtendTo(h.row, h.column, RowCount(), ColumnCount());
    viewport()->update();
    const QRect area = viewport()->rect().adjusted(HeaderLeft(), HeaderTop(), 0, 0);
    if (!area.contains(m_lastMouse)) {
        if (!m_autoScroll.isActive())
            m_autoScroll.start();
    } else {
        m_autoScroll.stop();
    }
}

void CKWGridWnd::AutoScrollStep()
{
    if (m_dragging == Hit::None) {
        m_autoScroll.stop();
        return;
    }
    const QRect area = viewport()->rect().adjusted(HeaderLeft(), HeaderTop(), 0, 0);
    if (m_lastMouse.y() < area.top() && m_dragging != Hit::ColumnHeader)
        verticalScrollBar()->setValue(FirstVisibleRow() - 1);
    else if (m_lastMouse.y() > area.bottom() && m_dragging != Hit::ColumnHeader)
        verticalScrollBar()->setValue(FirstVisibleRow() + 1);
    if (m_lastMouse.x() < area.left() && m_dragging != Hit::RowHeader)
        horizontalScrollBar()->setValue(FirstVisibleColumn() - 1);
    else if (m_lastMouse.x() > area.right() && m_dragging != Hit::RowHeader)
        horizontalScrollBar()->setValue(FirstVisibleColumn() + 1);
    const HitResult h = HitTest(m_lastMouse, true);
    m_cursor.ExtendTo(h.row, h.column, RowCount(), ColumnCount());
    viewport()->update();
}

void CKWGridWnd::mouseReleaseEvent(QMouseEvent*)
{
    m_dragging = Hit::None;
    m_autoScroll.stop();
}

void CKWGridWnd::mouseDoubleClickEvent(QMouseEvent* event)
{
    if ((m_options & GridOptReadOnly) || event->button() != Qt::LeftButton)
        return;
    const HitResult h = HitTest(event->position().toPoint(), false);
    if (h.hit != Hit::Cell)
        return;
    if (m_editing)
        return;  // a double click inside the open editor belongs to it
    if (!MoveCurrentCell(h.row, h.column))
        return;
    if (!CanEdit(h.row, h.column)) {
        GridCellRequest cell;
        cell.row = h.row;
        cell.column = h.column;
        Ask(GridDoubleClickReadOnly, cell);
        return;
    }
    if (Ask(GridMayStartEdit, 1) != 0)
        OpenEditor(QString(), true, false);
}

void CKWGridWnd::resizeEvent(QResizeEvent* event)
{
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollBars();
    PlaceEditor();
}

void CKWGridWnd::scrollContentsBy(int, int)
{
    PlaceEditor();
    viewport()->update();
}

bool CKWGridWnd::viewportEvent(QEvent* event)
{
    return QAbstractScrollArea::viewportEvent(event);
}

void CKWGridWnd::changeEvent(QEvent* event)
{
    if (event->type() == QEvent::FontChange)
        UpdateMetrics();
    QAbstractScrollArea::changeEvent(event);
}

void CKWGridWnd::paintEvent(QPaintEvent*)
{
    QPainter p(viewport());
    p.fillRect(viewport()->rect(), palette().base());
    const int rows = RowCount();
    const int columns = ColumnCount();
    if (int(m_columnChars.size()) != columns)
        UpdateMetrics();
    PaintCells(p, rows, columns);
    PaintHeaders(p, rows, columns);
    GridCellRequest hook;
    hook.painter = &p;
    Ask(GridPaintHook, hook);
}

void CKWGridWnd::PaintHeaders(QPainter& p, int rows, int columns)
{
    const QRect view = viewport()->rect();
    const int left = HeaderLeft();
    const int top = HeaderTop();
    const QPalette& pal = palette();
    auto drawHeader = [&](const QRect& r, const GridCellRequest& cell, bool selected) {
        p.fillRect(r, selected ? pal.mid() : pal.button());
        qDrawShadePanel(&p, r, pal, false, 1);
        const int flags = (cell.alignment == GridAlignRight ? Qt::AlignRight
                           : cell.alignment == GridAlignLeft ? Qt::AlignLeft
                                                             : Qt::AlignHCenter) | Qt::AlignVCenter;
        p.setPen(pal.color(QPalette::ButtonText));
        p.drawText(r.adjusted(2, 0, -2, 0), flags, cell.text);
    };
    const GridRange sel = m_cursor.Range(rows, columns);
    if (m_options & GridOptColumnHeaders) {
        const bool columnsMode = m_cursor.mode == GridSelectionMode::Columns;
        for (int c = FirstVisibleColumn(); c < columns; ++c) {
            const QRect r = ColumnHeaderRect(c);
            if (r.left() > view.right())
                break;
            GridCellRequest cell;
            cell.column = c;
            cell.alignment = GridAlignCentre;
            Ask(GridColumnTitle, cell);
            drawHeader(r, cell, columnsMode && c >= sel.firstColumn && c <= sel.lastColumn);
        }
    }
    if (m_options & GridOptBand) {
        const int y = ColumnHeaderRect(0).height();
        for (int c = FirstVisibleColumn(); c < columns; ++c) {
            QRect r = ColumnHeaderRect(c);
            if (r.left() > view.right())
                break;
            r.moveTop(y);
            r.setHeight(top - y);
            GridCellRequest cell;
            cell.column = c;
            Ask(GridBandText, cell);
            drawHeader(r, cell, false);
        }
    }
    if (m_options & GridOptRowHeaders) {
        const bool rowsMode = m_cursor.mode == GridSelectionMode::Rows;
        for (int r = FirstVisibleRow(); r < rows; ++r) {
            const QRect rect = RowHeaderRect(r);
            if (rect.top() > view.bottom())
                break;
            GridCellRequest cell;
            cell.row = r;
            cell.alignment = GridAlignCentre;
            Ask(GridRowTitle, cell);
            drawHeader(rect, cell, rowsMode && r >= sel.firstRow && r <= sel.lastRow);
        }
        if (top > 0)
            p.fillRect(QRect(0, 0, left, top), pal.button());
    }
}

void CKWGridWnd::PaintCells(QPainter& p, int rows, int columns)
{
    const QRect view = viewport()->rect();
    const int left = HeaderLeft();
    const int top = HeaderTop();
    const bool printing = p.device()->devType() == QInternal::Printer;
    const QColor window = palette().color(QPalette::Base);
    QColor highlight = palette().color(QPalette::Highlight);
    highlight.setAlpha(70);
    const int firstRow = FirstVisibleRow();
    const int firstColumn = FirstVisibleColumn();
    int lastVisibleColumn = firstColumn - 1;
    for (int c = firstColumn; c < columns && ColumnX(c) <= view.right(); ++c)
        lastVisibleColumn = c;
    int filledBottom = top;
    int filledRight = left;
    p.save();
    p.setClipRect(QRect(left, top, view.width() - left, view.height() - top));
    for (int r = firstRow; r < rows; ++r) {
        const int y = top + (r - firstRow) * m_rowHeight;
        if (y > view.bottom())
            break;
        filledBottom = y + m_rowHeight;
        const int rowLast = std::min(lastVisibleColumn, LastColumn(r));
        std::vector<GridCellRequest> cells;
        std::vector<int> has;
        for (int c = firstColumn; c <= rowLast; ++c) {
            GridCellRequest cell;
            cell.row = r;
            cell.column = c;
            has.push_back(Ask(GridCellText, cell));
            cells.push_back(cell);
        }
        // Backgrounds first, so that overflowing texts are not painted over by a neighbour.
        for (size_t i = 0; i < cells.size(); ++i) {
            const int c = firstColumn + int(i);
            const QRect rect = CellRect(r, c);
            filledRight = std::max(filledRight, rect.right() + 1);
            const GridCellRequest& cell = cells[i];
            if (cell.background.isValid() && cell.background != window)
                p.fillRect(rect, cell.background);
            if (m_cursor.Contains(r, c, rows, columns))
                p.fillRect(rect, highlight);
        }
        for (size_t i = 0; i < cells.size(); ++i) {
            if (!has[i] || cells[i].text.isEmpty())
                continue;
            const GridCellRequest& cell = cells[i];
            const int c = firstColumn + int(i);
            if (m_editing && r == m_cursor.row && c == m_cursor.column)
                continue;
            QRect rect = CellRect(r, c);
            const int needed = p.fontMetrics().horizontalAdvance(cell.text) + 4;
            if (cell.alignment == GridAlignLeft) {
                for (size_t j = i + 1; j < cells.size() && rect.width() < needed && !has[j]; ++j)
                    rect.setRight(CellRect(r, firstColumn + int(j)).right());
            } else if (cell.alignment == GridAlignRight) {
                for (size_t j = i; j-- > 0 && rect.width() < needed && !has[j];)
                    rect.setLeft(CellRect(r, firstColumn + int(j)).left());
            }
            const int flags = (cell.alignment == GridAlignRight ? Qt::AlignRight
                               : cell.alignment == GridAlignCentre ? Qt::AlignHCenter
                                                                   : Qt::AlignLeft) | Qt::AlignVCenter;
            p.save();
            p.setClipRect(rect.intersected(QRect(left, top, view.width() - left, view.height() - top)));
            p.setPen(cell.textColor.isValid() ? cell.textColor : palette().color(QPalette::Text));
            p.drawText(rect.adjusted(2, 0, -2, 0), flags, cell.text);
            p.restore();
        }
    }
    if ((m_options & GridOptLines) && !printing && filledBottom > top) {
        p.setPen(QPen(QColor(kGridLineColour), 1));
        for (int c = firstColumn; c <= lastVisibleColumn + 1 && c <= columns; ++c) {
            const int x = ColumnX(c) - 1;
            p.drawLine(x, top, x, filledBottom - 1);
        }
        for (int r = firstRow; r <= rows; ++r) {
            const int y = top + (r - firstRow) * m_rowHeight - 1;
            if (y > view.bottom())
                break;
            p.drawLine(left, y, filledRight - 1, y);
        }
    }
    if ((m_options & GridOptOutline) && !printing && rows > 0 && columns > 0) {
        const QRect rect = CellRect(m_cursor.row, m_cursor.column).adjusted(2, 2, -3, -3);
        p.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
        p.setPen(QPen(Qt::white, 1));
        p.setBrush(Qt::NoBrush);
        p.drawRect(rect);
    }
    p.restore();
}
