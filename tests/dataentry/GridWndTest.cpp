#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include "../support/PromptRecorder.h"
#include "dataentry/EditDataModel.h"
#include "dataentry/KWGridWnd.h"

namespace {

// A table of texts with Edit Data's acceptance rule; cells listed in `readOnly` refuse editing.
class CTableOwner : public IGridOwner {
public:
    CTableOwner(int rows, int columns) : cells(size_t(rows), std::vector<QString>(size_t(columns)))
    {
        for (int r = 0; r < rows; ++r)
            for (int c = 0; c < columns; ++c)
                cells[size_t(r)][size_t(c)] = QString::number(r * 10 + c);
    }
    int Rows() const { return int(cells.size()); }
    int Columns() const { return cells.empty() ? columnsWhenEmpty : int(cells[0].size()); }

    int OnGridQuery(GridQueryCode code, int argument, GridCellRequest& cell) override
    {
        queries.push_back(code);
        switch (code) {
        case GridCanEdit:
            return readOnly.count({cell.row, cell.column}) ? 0 : 1;
        case GridRowCount:
            return Rows();
        case GridColumnCount:
            return Columns();
        case GridLastRow:
            return Rows() - 1;
        case GridLastColumn:
            return Columns() - 1;
        case GridMayStartEdit:
            return 1;
        case GridColumnWidth:
            return 8;
        case GridRowHeaderWidth:
            return 30;
        case GridColumnHeaderHeight:
            return 18;
        case GridCellText:
            if (cell.row < 0 || cell.row >= Rows() || cell.column < 0 || cell.column >= Columns())
                return 0;
            cell.text = cells[size_t(cell.row)][size_t(cell.column)];
            cell.alignment = alignment;
            return cell.text.isEmpty() ? 0 : 1;
        case GridSetCellText: {
            float v = 0;
            const CellAcceptance a = CEditDataModel::CheckCellText(cell.text, &v);
            cell.number = a.errorPosition;
            if (a.accepted)
                cells[size_t(cell.row)][size_t(cell.column)] = cell.text.trimmed();
            return a.accepted ? 1 : 0;
        }
        case GridCurrentCellChanged:
            ++currentChanges;
            return 0;
        case GridContextMenu:
            menuAt = {cell.row, cell.column};
            return 1;
        default:
            return 0;
        }
        (void)argument;
    }

    std::vector<std::vector<QString>> cells;
    std::set<std::pair<int, int>> readOnly;
    std::vector<int> queries;
    int columnsWhenEmpty = 4;
    int alignment = GridAlignLeft;
    int currentChanges = 0;
    std::pair<int, int> menuAt{-9, -9};
};

class GridWnd : public ::testing::Test {
protected:
    void Make(int rows, int columns, int options = GridOptRowHeaders | GridOptColumnHeaders | GridOptDragSelect |
                                                   GridOptLines | GridOptOutline)
    {
        owner = std::make_unique<CTableOwner>(rows, columns);
        grid = std::make_unique<CKWGridWnd>(owner.get());
        grid->SetOptions(options);
        grid->resize(500, 300);
        grid->show();
        grid->setFocus();
    }
    QWidget* View() { return grid->viewport(); }
    QPoint CellCentre(int r, int c) { return grid->CellRect(r, c).center(); }

    std::unique_ptr<CTableOwner> owner;
    std::unique_ptr<CKWGridWnd> grid;
    CPromptRecorder prompt;
};

TEST_F(GridWnd, ShiftDownThreeTimesFromRowFour)
{
    Make(20, 4);
    ASSERT_TRUE(grid->MoveCurrentCell(4, 2));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(grid.get(), Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(grid->Selection(), (GridRange{2, 4, 7, 2}));
    EXPECT_EQ(grid->CurrentRow(), 4);
    QTest::keyClick(grid.get(), Qt::Key_Up, Qt::ShiftModifier);
    QTest::keyClick(grid.get(), Qt::Key_Left, Qt::ShiftModifier);
    EXPECT_EQ(grid->Selection(), (GridRange{1, 4, 6, 2}));
    QTest::keyClick(grid.get(), Qt::Key_Down);  // a plain key collapses the selection
    EXPECT_EQ(grid->Selection(), (GridRange{2, 5, 5, 2}));
}

struct KeyCase {
    const char* name;
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int startRow;
    int startColumn;
    GridRange expected;
};

class GridKeys : public GridWnd, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(GridKeys, MoveOrExtend)
{
    Make(50, 5);
    const KeyCase& c = GetParam();
    ASSERT_TRUE(grid->MoveCurrentCell(c.startRow, c.startColumn));
    QTest::keyClick(grid.get(), c.key, c.modifiers);
    EXPECT_EQ(grid->Selection(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridKeys,
    ::testing::Values(KeyCase{"Home", Qt::Key_Home, Qt::NoModifier, 9, 3, {0, 0, 0, 0}},
                      KeyCase{"End", Qt::Key_End, Qt::NoModifier, 9, 1, {4, 49, 49, 4}},
                      KeyCase{"UpAtTopStays", Qt::Key_Up, Qt::NoModifier, 0, 1, {1, 0, 0, 1}},
                      KeyCase{"RightAtEdgeStays", Qt::Key_Right, Qt::NoModifier, 3, 4, {4, 3, 3, 4}},
                      KeyCase{"PageUpClamps", Qt::Key_PageUp, Qt::NoModifier, 3, 2, {2, 0, 0, 2}},
                      KeyCase{"PageDownClamps", Qt::Key_PageDown, Qt::NoModifier, 48, 0, {0, 49, 49, 0}},
                      KeyCase{"ShiftHome", Qt::Key_Home, Qt::ShiftModifier, 9, 3, {3, 0, 9, 3}},
                      KeyCase{"ShiftEnd", Qt::Key_End, Qt::ShiftModifier, 9, 3, {3, 9, 49, 3}},
                      KeyCase{"ShiftRight", Qt::Key_Right, Qt::ShiftModifier, 9, 3, {3, 9, 9, 4}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridWnd, PageDownMovesByVisibleRows)
{
    Make(200, 3);
    const int page = grid->PageSize();
    ASSERT_GT(page, 3);
    QTest::keyClick(grid.get(), Qt::Key_PageDown);
    EXPECT_EQ(grid->CurrentRow(), page);
    QTest::keyClick(grid.get(), Qt::Key_PageDown, Qt::ShiftModifier);
    EXPECT_EQ(grid->Selection(), (GridRange{0, page, 2 * page, 0}));
    EXPECT_GT(grid->FirstVisibleRow(), 0);  // the far corner was scrolled into view
}

TEST_F(GridWnd, EmptyTableIgnoresKeys)
{
    Make(0, 4);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QTest::keyClick(grid.get(), Qt::Key_5);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(grid->CurrentRow(), 0);
    QImage image(grid->size(), QImage::Format_RGB32);
    grid->render(&image);  // headers only; no cell query outside the table
}

TEST_F(GridWnd, RowHeaderDragSelectsWholeRows)
{
    Make(20, 4);
    QTest::mousePress(View(), Qt::LeftButton, {}, grid->RowHeaderRect(6).center());
    QMouseEvent move(QEvent::MouseMove, grid->RowHeaderRect(9).center(), View()->mapToGlobal(grid->RowHeaderRect(9).center()),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View(), &move);
    QTest::mouseRelease(View(), Qt::LeftButton, {}, grid->RowHeaderRect(9).center());
    EXPECT_EQ(grid->SelectionMode(), GridSelectionMode::Rows);
    EXPECT_EQ(grid->Selection(), (GridRange{0, 6, 9, 3}));
    // Column movement is ignored in whole-row mode.
    QTest::keyClick(grid.get(), Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid->Selection(), (GridRange{0, 6, 9, 3}));
}

TEST_F(GridWnd, ColumnHeaderAndCellDrag)
{
    Make(20, 4);
    QTest::mouseClick(View(), Qt::LeftButton, {}, grid->ColumnHeaderRect(2).center());
    EXPECT_EQ(grid->Selection(), (GridRange{2, 0, 19, 2}));
    QTest::mousePress(View(), Qt::LeftButton, {}, CellCentre(1, 1));
    QMouseEvent move(QEvent::MouseMove, CellCentre(3, 2), View()->mapToGlobal(CellCentre(3, 2)), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(View(), &move);
    QTest::mouseRelease(View(), Qt::LeftButton, {}, CellCentre(3, 2));
    EXPECT_EQ(grid->Selection(), (GridRange{1, 1, 3, 2}));
    EXPECT_GE(owner->currentChanges, 2);
}

TEST_F(GridWnd, HeadersNeedDragOption)
{
    Make(20, 4, GridOptRowHeaders | GridOptColumnHeaders);
    QTest::mouseClick(View(), Qt::LeftButton, {}, grid->RowHeaderRect(3).center());
    EXPECT_EQ(grid->SelectionMode(), GridSelectionMode::Block);
    EXPECT_EQ(grid->Selection(), (GridRange{0, 0, 0, 0}));
}

TEST_F(GridWnd, TypingStartsEditing)
{
    Make(5, 3);
    ASSERT_TRUE(grid->MoveCurrentCell(1, 2));  // holds "12"
    QTest::keyClick(grid.get(), Qt::Key_5, Qt::NoModifier);
    ASSERT_TRUE(grid->IsEditing());
    EXPECT_EQ(grid->Editor()->text(), QStringLiteral("5"));
    QTest::keyClick(grid->Editor(), Qt::Key_Escape);
    EXPECT_FALSE(grid->IsEditing());
    EXPECT_EQ(owner->cells[1][2], QStringLiteral("12"));

    QTest::keyClick(grid.get(), Qt::Key_Space);
    ASSERT_TRUE(grid->IsEditing());
    EXPECT_EQ(grid->Editor()->text(), QStringLiteral("12"));
    EXPECT_EQ(grid->Editor()->cursorPosition(), 2);
    QTest::keyClicks(grid->Editor(), QStringLiteral("5"));
    QTest::keyClick(grid->Editor(), Qt::Key_Return);
    EXPECT_EQ(owner->cells[1][2], QStringLiteral("125"));
    EXPECT_EQ(grid->CurrentRow(), 2);  // Enter moves down
    EXPECT_TRUE(grid->IsEditing());
    EXPECT_EQ(grid->Editor()->selectedText(), QStringLiteral("22"));
}

TEST_F(GridWnd, RefusedTextSelectsWrongCharacterAndBeeps)
{
    Make(5, 3);
    ASSERT_TRUE(grid->MoveCurrentCell(0, 0));
    QTest::keyClick(grid.get(), Qt::Key_1);
    ASSERT_TRUE(grid->IsEditing());
    QTest::keyClicks(grid->Editor(), QStringLiteral("2a"));
    EXPECT_EQ(grid->Editor()->text(), QStringLiteral("12a"));
    QTest::keyClick(grid->Editor(), Qt::Key_Return);
    EXPECT_TRUE(grid->IsEditing());
    EXPECT_EQ(grid->Editor()->selectedText(), QStringLiteral("a"));
    EXPECT_EQ(grid->Editor()->selectionStart(), 2);
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_EQ(grid->CurrentRow(), 0);
    EXPECT_FALSE(grid->MoveCurrentCell(3, 1));  // nothing moves while the text is refused
    EXPECT_EQ(prompt.beeps, 2);

    grid->Editor()->setText(QStringLiteral("   "));
    EXPECT_FALSE(grid->CommitEdit());
    EXPECT_EQ(grid->Editor()->selectedText(), QStringLiteral("   "));
    EXPECT_EQ(prompt.beeps, 3);
    EXPECT_EQ(owner->cells[0][0], QStringLiteral("0"));
}

struct EnterCase {
    const char* name;
    int options;
    int startRow;
    int startColumn;
    int row;
    int column;
    bool editing;
};

class GridEnter : public GridWnd, public ::testing::WithParamInterface<EnterCase> {};

TEST_P(GridEnter, MovesInItsDirection)
{
    const EnterCase& c = GetParam();
    Make(6, 4, GridOptRowHeaders | GridOptColumnHeaders | c.options);
    ASSERT_TRUE(grid->MoveCurrentCell(c.startRow, c.startColumn));
    ASSERT_TRUE(grid->EditCurrentCell());
    QTest::keyClick(grid->Editor(), Qt::Key_Return);
    EXPECT_EQ(grid->CurrentRow(), c.row);
    EXPECT_EQ(grid->CurrentColumn(), c.column);
    EXPECT_EQ(grid->IsEditing(), c.editing);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridEnter,
    ::testing::Values(EnterCase{"LastRowToNextColumn", 0, 5, 2, 0, 3, true},
                      EnterCase{"Down", 0, 2, 2, 3, 2, true},
                      EnterCase{"LastCellCloses", 0, 5, 3, 5, 3, false},
                      EnterCase{"ByRowsRight", GridOptEnterNextColumn, 2, 1, 2, 2, true},
                      EnterCase{"ByRowsWraps", GridOptEnterNextColumn, 2, 3, 3, 0, true},
                      EnterCase{"ByRowsLastCellCloses", GridOptEnterNextColumn, 5, 3, 5, 3, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(GridWnd, CtrlArrowsSkipReadOnlyCellsAndStopAtEdge)
{
    Make(6, 5);
    owner->readOnly = {{2, 2}, {2, 3}};
    ASSERT_TRUE(grid->MoveCurrentCell(2, 1));
    ASSERT_TRUE(grid->EditCurrentCell());
    QTest::keyClick(grid->Editor(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(grid->CurrentColumn(), 4);
    QTest::keyClick(grid->Editor(), Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(grid->CurrentColumn(), 4);
    QTest::keyClick(grid->Editor(), Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(grid->Selection(), (GridRange{0, 0, 0, 0}));
    QTest::keyClick(grid->Editor(), Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(grid->Selection(), (GridRange{4, 5, 5, 4}));
    EXPECT_TRUE(grid->IsEditing());
}

TEST_F(GridWnd, DoubleClickEditsWithWholeTextSelected)
{
    Make(5, 3);
    QTest::mouseDClick(View(), Qt::LeftButton, {}, CellCentre(3, 1));
    ASSERT_TRUE(grid->IsEditing());
    EXPECT_EQ(grid->Editor()->selectedText(), QStringLiteral("31"));
    QTest::mouseClick(View(), Qt::RightButton, {}, CellCentre(4, 2));
    EXPECT_FALSE(grid->IsEditing());  // a right click commits
    EXPECT_EQ(owner->menuAt, std::make_pair(4, 2));
}

TEST_F(GridWnd, ReadOnlyOptionIgnoresInput)
{
    Make(5, 3, GridOptReadOnly);
    QTest::keyClick(grid.get(), Qt::Key_Down);
    QTest::keyClick(grid.get(), Qt::Key_7);
    QTest::mouseClick(View(), Qt::LeftButton, {}, CellCentre(3, 1));
    EXPECT_EQ(grid->CurrentRow(), 0);
    EXPECT_FALSE(grid->IsEditing());
}

TEST_F(GridWnd, ResetScrollPositionAndShrinkingTable)
{
    Make(200, 3);
    QTest::keyClick(grid.get(), Qt::Key_End);
    EXPECT_GT(grid->FirstVisibleRow(), 150);
    owner->cells.resize(10);
    grid->Redraw();
    EXPECT_LE(grid->FirstVisibleRow(), 9);
    grid->ResetScrollPosition();
    EXPECT_EQ(grid->FirstVisibleRow(), 0);
    EXPECT_EQ(grid->Selection(), (GridRange{0, 0, 0, 0}));
}

// Paints the grid and returns the picture.
QImage Paint(CKWGridWnd& grid)
{
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::black);
    grid.viewport()->render(&image);
    return image;
}

bool HasInk(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

TEST_F(GridWnd, LongTextsOverflowIntoEmptyNeighbours)
{
    Make(3, 4, GridOptColumnHeaders);
    const QString longText = QStringLiteral("WWWWWWWWWWWWWWWWWWWW");
    for (auto& row : owner->cells)
        std::fill(row.begin(), row.end(), QString());
    owner->cells[0][0] = longText;  // neighbour empty: overflows
    owner->cells[1][0] = longText;  // neighbour filled: clipped
    owner->cells[1][1] = QStringLiteral("1");
    grid->MoveCurrentCell(2, 3);
    const QRect next0 = grid->CellRect(0, 1).adjusted(2, 3, -2, -3);
    QRect next1 = grid->CellRect(1, 1).adjusted(2, 3, -2, -3);
    next1.setLeft(next1.left() + 12);  // past the "1"
    QImage image = Paint(*grid);
    EXPECT_TRUE(HasInk(image, next0));
    EXPECT_FALSE(HasInk(image, next1));

    owner->alignment = GridAlignRight;
    for (auto& row : owner->cells)
        std::fill(row.begin(), row.end(), QString());
    owner->cells[0][3] = longText;
    image = Paint(*grid);
    EXPECT_TRUE(HasInk(image, grid->CellRect(0, 2).adjusted(2, 3, -2, -3)));
}

TEST_F(GridWnd, GridLinesAndOutline)
{
    Make(3, 3, GridOptLines | GridOptOutline);
    const QImage image = Paint(*grid);
    const QRect cell = grid->CellRect(1, 1);
    EXPECT_EQ(image.pixel(cell.left() - 1, cell.center().y()), qRgb(196, 196, 196));
    // Below the filled part of the table there are no lines.
    EXPECT_NE(image.pixel(cell.left() - 1, grid->CellRect(3, 1).center().y()), qRgb(196, 196, 196));
    const QRect current = grid->CellRect(0, 0).adjusted(2, 2, -3, -3);
    EXPECT_NE(image.pixel(current.left(), current.center().y()), image.pixel(current.left() + 3, current.center().y()));
}

}  // namespace
