// The Edit Data dialog as a spreadsheet user meets it: whole tables pasted from one cell (with
// the question before points are added), the designed block paste, Tab between cells, the
// number of points applied on Enter and Tab, and Cancel or Escape with and without edits.

#include <QApplication>
#include <QClipboard>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include "../support/PromptRecorder.h"
#include "DataEntryTestDoc.h"
#include "dataentry/EditDataDlg.h"
#include "dataentry/KWGridWnd.h"
#include "dataentry/TXKeyPadDlg.h"
#include "util/KWProfileStore.h"

namespace {

// Columns 0 (SLM) and 3 (63 Hz) enabled: the grid shows X, Y, SLM, 63 Hz.
QString Spreadsheet(int points, const QString& header)
{
    QString text = header + QLatin1Char('\n');
    for (int i = 0; i < points; ++i)
        text += QStringLiteral("%1\t%2\t%3\t%4\n").arg(i + 0.5).arg(100 - i).arg(80 + i).arg(60 + i);
    return text;
}

class EditDataPaste : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        CKWProfileStore::UseIniFile(dir.filePath(QStringLiteral("profile.ini")));
    }
    // Shows the dialog active with the focus in its grid, as the user meets it.
    static void Show(CEditDataDlg& dlg)
    {
        dlg.show();
        dlg.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
        dlg.Grid()->setFocus();
    }

    QTemporaryDir dir;
    CPromptRecorder prompt;
};

}  // namespace

TEST_F(EditDataPaste, SpreadsheetTableIntoEmptyTableIsOneUndoStep)
{
    TestDoc t(0, {3});
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    dlg.PasteText(Spreadsheet(44, QStringLiteral("X\tY\tSLM\t63 Hz")));
    EXPECT_TRUE(prompt.shown.empty()) << "an empty table grows without a question";
    ASSERT_EQ(dlg.Model().PointCount(), 44);
    EXPECT_EQ(dlg.CountField()->text(), QStringLiteral("44"));
    EXPECT_EQ(dlg.Model().Value(43, 0), 43.5f);
    EXPECT_EQ(dlg.Model().Value(43, 1), 57.0f);
    EXPECT_EQ(dlg.Model().Value(43, 2), 123.0f);
    EXPECT_EQ(dlg.Model().Value(43, 3), 103.0f);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    dlg.Model().ApplyTo(*t.doc);
    EXPECT_EQ(t.doc->PointCount(), 44);
    EXPECT_EQ(t.doc->Column(3).values[0], 60.0f);
    ASSERT_TRUE(t.doc->CanUndo());
    t.doc->Undo();
    EXPECT_EQ(t.doc->PointCount(), 0);
    EXPECT_FALSE(t.doc->CanUndo()) << "the whole paste was one step";
}

TEST_F(EditDataPaste, ShuffledHeaderNamesAreMappedByName)
{
    TestDoc t(0, {3});
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    // The same table with its columns in another order and the names in other cases.
    QString text = QStringLiteral("63 hz\tslm\tY\tX\n");
    for (int i = 0; i < 44; ++i)
        text += QStringLiteral("%1\t%2\t%3\t%4\n").arg(60 + i).arg(80 + i).arg(100 - i).arg(i + 0.5);
    dlg.PasteText(text);
    ASSERT_EQ(dlg.Model().PointCount(), 44);
    for (int row : {0, 20, 43}) {
        EXPECT_EQ(dlg.Model().Value(row, 0), row + 0.5f);
        EXPECT_EQ(dlg.Model().Value(row, 1), float(100 - row));
        EXPECT_EQ(dlg.Model().Value(row, 2), float(80 + row));
        EXPECT_EQ(dlg.Model().Value(row, 3), float(60 + row));
    }
}

TEST_F(EditDataPaste, ColumnsOfOtherNamesAreLeftOutAndSaidSo)
{
    TestDoc t(0, {3});
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    // "125 Hz" is no shown column here: SLM must not take its values.
    dlg.PasteText(QStringLiteral("X\tY\t125 Hz\tSLM\n1\t2\t55\t80\n3\t4\t56\t81\n"));
    ASSERT_EQ(dlg.Model().PointCount(), 2);
    EXPECT_EQ(dlg.Model().Column(2), (CTXFloatArray{80, 81}));
    EXPECT_EQ(dlg.Model().Column(3), (CTXFloatArray{0, 0}));
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Information);
    EXPECT_EQ(prompt.shown[0].text, QStringLiteral("These pasted columns have no shown column of their name in the "
                                                   "table and were left out: 125 Hz."));
}

TEST_F(EditDataPaste, CtrlVOnOneCellAsksOnceBeforeAddingPoints)
{
    TestDoc t(5, {3});
    struct Case {
        PromptAnswer answer;
        int points;
        float lastX;  // X of the last point
    };
    for (const Case& c : {Case{PromptAnswer::Yes, 13, 9.5f}, Case{PromptAnswer::No, 5, 1.5f},
                          Case{PromptAnswer::Cancel, 5, 4.0f}}) {
        CEditDataDlg dlg(*t.doc);
        Show(dlg);
        prompt.shown.clear();
        prompt.answer = c.answer;
        ASSERT_TRUE(dlg.Grid()->MoveCurrentCell(3, 0));
        QGuiApplication::clipboard()->setText(Spreadsheet(10, QStringLiteral("X\tY\tSLM\t63 Hz")));
        QTest::keyClick(dlg.Grid(), Qt::Key_V, Qt::ControlModifier);
        ASSERT_EQ(prompt.shown.size(), 1u);
        EXPECT_EQ(prompt.shown[0].buttons, PromptButtons::YesNoCancel);
        EXPECT_EQ(prompt.shown[0].text,
                  QStringLiteral("WARNING! The pasted table has 10 points, 8 more than the table holds from the "
                                 "selected point down.\nAdd the 8 missing points? (No fills only the points there are.)"));
        EXPECT_EQ(dlg.Model().PointCount(), c.points);
        EXPECT_EQ(dlg.Model().Value(c.points - 1, 0), c.lastX);
        EXPECT_EQ(dlg.Model().Value(2, 0), 2.0f) << "rows above the selected cell are untouched";
    }
}

TEST_F(EditDataPaste, TwoByTwoSelectionKeepsTheBlockPaste)
{
    TestDoc t(6, {3});
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    CKWGridWnd* grid = dlg.Grid();
    ASSERT_TRUE(grid->MoveCurrentCell(1, 2));
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    ASSERT_EQ(grid->Selection(), (GridRange{2, 1, 2, 3}));
    // More lines and columns than the block: only the block is filled, nothing grows.
    dlg.PasteText(QStringLiteral("1\t2\t9\r\n3\t4\t9\r\n5\t6\t9\r\n"));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(dlg.Model().PointCount(), 6);
    EXPECT_EQ(dlg.Model().Value(1, 2), 1.0f);
    EXPECT_EQ(dlg.Model().Value(1, 3), 2.0f);
    EXPECT_EQ(dlg.Model().Value(2, 2), 3.0f);
    EXPECT_EQ(dlg.Model().Value(2, 3), 4.0f);
    EXPECT_EQ(dlg.Model().Value(3, 2), 3.0f) << "the row below the block keeps its value";
    // A header line is a syntax error there, as it always was.
    dlg.PasteText(QStringLiteral("SLM\t63 Hz\r\n1\t2\r\n"));
    ASSERT_EQ(prompt.Messages().size(), 1);
    EXPECT_EQ(prompt.Messages()[0], QStringLiteral("WARNING! Syntax error in line 1."));
}

TEST_F(EditDataPaste, MainWindowPasteAddsTheTableAfterTheLastPoint)
{
    TestDoc t(2, {3});
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CEditDataDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->accept();
    });
    EXPECT_TRUE(RunEditDataDialog(nullptr, *t.doc, Spreadsheet(3, QStringLiteral("X\tY\tSLM\t63 Hz"))));
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(t.doc->PointCount(), 5);
    EXPECT_EQ(t.doc->X(), (CTXFloatArray{0, 1, 0.5f, 1.5f, 2.5f}));
    EXPECT_EQ(t.doc->Column(3).values, (CTXFloatArray{300, 301, 60, 61, 62}));
    t.doc->Undo();
    EXPECT_EQ(t.doc->PointCount(), 2);
    EXPECT_FALSE(t.doc->CanUndo());
}

namespace {

struct TabRow {
    const char* name;
    int row, column;
    Qt::KeyboardModifiers modifiers;
    int toRow, toColumn;
};

class EditDataTab : public EditDataPaste, public ::testing::WithParamInterface<TabRow> {};

}  // namespace

TEST_P(EditDataTab, MovesBetweenCellsWrappingRows)
{
    const TabRow& r = GetParam();
    TestDoc t(3, {3});  // columns 0..3
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    CKWGridWnd* grid = dlg.Grid();
    ASSERT_TRUE(grid->MoveCurrentCell(r.row, r.column));
    QTest::keyClick(grid, Qt::Key_Tab, r.modifiers);
    EXPECT_EQ(grid->CurrentRow(), r.toRow);
    EXPECT_EQ(grid->CurrentColumn(), r.toColumn);
    EXPECT_TRUE(grid->hasFocus());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EditDataTab,
    ::testing::Values(TabRow{"NextCell", 0, 1, Qt::NoModifier, 0, 2},
                      TabRow{"LastCellOfRowWrapsToNextRow", 1, 3, Qt::NoModifier, 2, 0},
                      TabRow{"ShiftTabPreviousCell", 2, 2, Qt::ShiftModifier, 2, 1},
                      TabRow{"ShiftTabFirstCellWrapsToPreviousRow", 2, 0, Qt::ShiftModifier, 1, 3}),
    [](const ::testing::TestParamInfo<TabRow>& info) { return std::string(info.param.name); });

TEST_F(EditDataPaste, TabCommitsTheOpenCellAndLeavesTheGridOnlyAfterTheLastCell)
{
    TestDoc t(2, {3});
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    CKWGridWnd* grid = dlg.Grid();
    ASSERT_TRUE(grid->MoveCurrentCell(0, 3));
    QTest::keyClick(grid, Qt::Key_4);
    QTest::keyClick(grid->Editor(), Qt::Key_2);
    QTest::keyClick(grid->Editor(), Qt::Key_Tab);
    EXPECT_EQ(dlg.Model().Value(0, 3), 42.0f);
    EXPECT_EQ(grid->CurrentRow(), 1);
    EXPECT_EQ(grid->CurrentColumn(), 0);
    EXPECT_TRUE(grid->IsEditing()) << "typing goes on in the next cell";
    // A refused text keeps the editor where it is.
    grid->Editor()->setText(QStringLiteral("1x"));
    QTest::keyClick(grid->Editor(), Qt::Key_Tab);
    EXPECT_EQ(grid->CurrentColumn(), 0);
    EXPECT_EQ(prompt.beeps, 1);
    grid->Editor()->setText(QStringLiteral("7"));
    ASSERT_TRUE(grid->CommitEdit());
    ASSERT_TRUE(grid->MoveCurrentCell(1, 3));
    QTest::keyClick(grid, Qt::Key_Tab);
    EXPECT_FALSE(grid->hasFocus()) << "after the last cell the focus goes on to the next control";
}

TEST_F(EditDataPaste, EnterInNumberOfPointsAppliesWithoutClosing)
{
    TestDoc t(5);
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    dlg.CountField()->setFocus();
    dlg.CountField()->selectAll();
    QTest::keyClicks(dlg.CountField(), QStringLiteral("7"));
    QTest::keyClick(dlg.CountField(), Qt::Key_Return);
    EXPECT_EQ(dlg.Model().PointCount(), 7);
    EXPECT_TRUE(dlg.isVisible()) << "Enter in the field must not press OK";
    EXPECT_EQ(dlg.result(), 0);

    dlg.CountField()->selectAll();
    QTest::keyClicks(dlg.CountField(), QStringLiteral("3"));
    QTest::keyClick(dlg.CountField(), Qt::Key_Tab);
    EXPECT_EQ(dlg.Model().PointCount(), 3);

    dlg.CountField()->setFocus();
    dlg.CountField()->selectAll();
    QTest::keyClicks(dlg.CountField(), QStringLiteral("4"));
    dlg.Grid()->setFocus();  // leaving the field by a click elsewhere
    EXPECT_EQ(dlg.Model().PointCount(), 4);
    EXPECT_TRUE(prompt.shown.empty());
}

TEST_F(EditDataPaste, EscapeWithoutEditsClosesAtOnce)
{
    TestDoc t(3);
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    QTest::keyClick(dlg.Grid(), Qt::Key_Escape);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_FALSE(dlg.isVisible());
}

TEST_F(EditDataPaste, EscapeWithEditsAsksBeforeDiscarding)
{
    TestDoc t(3);
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    CKWGridWnd* grid = dlg.Grid();
    QTest::keyClick(grid, Qt::Key_9);
    QTest::keyClick(grid->Editor(), Qt::Key_Return);  // 9 stored, the editor moves on
    QTest::keyClick(grid->Editor(), Qt::Key_Escape);  // closes the editor only
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_TRUE(dlg.isVisible());

    prompt.answer = PromptAnswer::Cancel;
    QTest::keyClick(grid, Qt::Key_Escape);
    ASSERT_EQ(prompt.Questions(), QStringList{QStringLiteral("Discard the changes to the table?")});
    EXPECT_TRUE(dlg.isVisible()) << "Cancel keeps the dialog and the typed value";
    EXPECT_EQ(dlg.Model().Value(0, 0), 9.0f);

    prompt.answer = PromptAnswer::Ok;
    QTest::keyClick(grid, Qt::Key_Escape);
    EXPECT_EQ(prompt.Questions().size(), 2);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
    EXPECT_EQ(t.doc->X(), (CTXFloatArray{0, 1, 2})) << "the document never saw the edit";
}

TEST_F(EditDataPaste, CancelButtonWithChangedPointCountAsks)
{
    TestDoc t(3);
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    dlg.SpinUp()->click();
    prompt.answer = PromptAnswer::Cancel;
    dlg.reject();
    EXPECT_EQ(prompt.Questions().size(), 1);
    EXPECT_TRUE(dlg.isVisible());
    dlg.SpinDown()->click();  // back to what it was: nothing to lose
    dlg.CountField()->setText(QStringLiteral("9"));  // typed, not applied yet
    dlg.reject();
    EXPECT_EQ(prompt.Questions().size(), 2);
    EXPECT_TRUE(dlg.isVisible());
    dlg.CountField()->setText(QStringLiteral("3"));
    dlg.reject();
    EXPECT_EQ(prompt.Questions().size(), 2);
    EXPECT_EQ(dlg.result(), QDialog::Rejected);
}

TEST_F(EditDataPaste, CellTypedButNotCommittedCountsAsAnEdit)
{
    TestDoc t(3);
    CEditDataDlg dlg(*t.doc);
    Show(dlg);
    QTest::keyClick(dlg.Grid(), Qt::Key_5);
    ASSERT_TRUE(dlg.Grid()->IsEditing());
    prompt.answer = PromptAnswer::Cancel;
    dlg.reject();  // the Cancel button, while the cell is still open
    EXPECT_EQ(prompt.Questions().size(), 1);
    EXPECT_TRUE(dlg.isVisible());
}
