#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMimeData>
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
#include "dataentry/TableExchange.h"
#include "util/KWProfileStore.h"

namespace {

class EditDataDlg : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        CKWProfileStore::UseIniFile(dir.filePath(QStringLiteral("profile.ini")));
    }

    QTemporaryDir dir;
    CPromptRecorder prompt;
};

TEST_F(EditDataDlg, ShowsEnabledColumnsAndWritesBackOnOk)
{
    TestDoc t(4, {1, 3});
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    CKWGridWnd* grid = dlg.Grid();
    GridCellRequest title;
    title.column = 3;
    ASSERT_EQ(dlg.OnGridQuery(GridColumnCount, 0, title), 5);
    dlg.OnGridQuery(GridColumnTitle, 0, title);
    EXPECT_EQ(title.text, QStringLiteral("16 Hz"));
    title.column = 4;
    dlg.OnGridQuery(GridColumnTitle, 0, title);
    EXPECT_EQ(title.text, QStringLiteral("63 Hz"));
    GridCellRequest cell;
    cell.row = 2;
    cell.column = 4;
    ASSERT_EQ(dlg.OnGridQuery(GridCellText, 0, cell), 1);
    EXPECT_EQ(cell.text, QStringLiteral("302"));

    // Type into column "63 Hz", row 2.
    ASSERT_TRUE(grid->MoveCurrentCell(2, 4));
    QTest::keyClick(grid, Qt::Key_7);
    QTest::keyClicks(grid->Editor(), QStringLiteral(".25"));
    dlg.accept();  // commits the open cell first
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    dlg.Model().ApplyTo(*t.doc);
    EXPECT_EQ(t.doc->Column(3).values[2], 7.25f);
    EXPECT_EQ(t.doc->Column(1).values, (CTXFloatArray{100, 101, 102, 103}));
    EXPECT_EQ(t.doc->Column(2).values, (CTXFloatArray{200, 201, 202, 203}));
    EXPECT_TRUE(t.doc->IsModified());
}

TEST_F(EditDataDlg, RefusedCellKeepsDialogOpen)
{
    TestDoc t(3);
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    ASSERT_TRUE(dlg.Grid()->MoveCurrentCell(0, 2));
    QTest::keyClick(dlg.Grid(), Qt::Key_X);
    dlg.accept();
    EXPECT_TRUE(dlg.Grid()->IsEditing());
    EXPECT_NE(dlg.result(), QDialog::Accepted);
}

TEST_F(EditDataDlg, SpinAndKeyPadChangePointCount)
{
    TestDoc t(5);
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    for (int i = 0; i < 3; ++i)
        dlg.SpinUp()->click();
    EXPECT_EQ(dlg.Model().PointCount(), 8);
    EXPECT_EQ(dlg.CountField()->text(), QStringLiteral("8"));
    EXPECT_EQ(dlg.Model().CellText(7, 2), QStringLiteral("0"));

    QTimer::singleShot(0, [] {
        auto* pad = qobject_cast<CTXKeyPad*>(QApplication::activeModalWidget());
        ASSERT_NE(pad, nullptr);
        EXPECT_FALSE(pad->Button(QStringLiteral("."))->isEnabled());
        pad->Line()->selectAll();
        pad->Button(QStringLiteral("5"))->click();
        pad->Button(QStringLiteral("OK"))->click();
    });
    QTest::mouseDClick(dlg.CountField(), Qt::LeftButton);
    EXPECT_EQ(dlg.Model().PointCount(), 5);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    dlg.Model().ApplyTo(*t.doc);
    EXPECT_EQ(t.doc->PointCount(), 5);
    EXPECT_EQ(t.doc->Column(0).values, (CTXFloatArray{0, 1, 2, 3, 4}));

    CEditDataDlg again(*t.doc);
    again.SpinDown()->click();
    for (int i = 0; i < 6; ++i)
        again.SpinDown()->click();
    EXPECT_EQ(again.Model().PointCount(), 0);  // never below 0
}

TEST_F(EditDataDlg, CountTextNotYetAppliedIsAppliedAndCheckedAtOk)
{
    TestDoc t(5);
    CEditDataDlg dlg(*t.doc);
    dlg.CountField()->setText(QStringLiteral("3"));
    EXPECT_EQ(dlg.Model().PointCount(), 5);
    dlg.accept();
    ASSERT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.Model().PointCount(), 3);
    EXPECT_EQ(dlg.Model().Column(0).size(), 3u);

    CEditDataDlg bad(*t.doc);
    bad.CountField()->setText(QStringLiteral("-1"));
    bad.accept();
    EXPECT_NE(bad.result(), QDialog::Accepted);
    ASSERT_EQ(prompt.Texts().size(), 1);
    EXPECT_EQ(prompt.Texts()[0], QStringLiteral("Enter an integer between 0 and 1000000."));
}

TEST_F(EditDataDlg, RemoveSelectedPointsAsksFirst)
{
    TestDoc t(10);
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    CKWGridWnd* grid = dlg.Grid();
    ASSERT_TRUE(grid->MoveCurrentCell(2, 0));
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    prompt.answer = PromptAnswer::Cancel;
    dlg.RemoveButton()->click();
    EXPECT_EQ(dlg.Model().PointCount(), 10);
    prompt.answer = PromptAnswer::Ok;
    dlg.RemoveButton()->click();
    ASSERT_EQ(prompt.Texts().size(), 2);
    EXPECT_EQ(prompt.Texts()[1], QStringLiteral("WARNING! Are you sure to remove 2 point(s) starting at point number 3?"));
    EXPECT_EQ(dlg.Model().PointCount(), 8);
    EXPECT_EQ(dlg.Model().Value(2, 0), 4.0f);
    EXPECT_EQ(dlg.CountField()->text(), QStringLiteral("8"));
    EXPECT_EQ(grid->Selection(), (GridRange{0, 0, 0, 0}));
}

TEST_F(EditDataDlg, BoundaryControlsFollowTheCheckBoxAndKeepValues)
{
    TestDoc t(2);
    t.doc->Settings().useBoundaryConditions = 1;
    t.doc->Settings().boundaryLayout = 1;
    t.doc->Settings().boundaryLevel = 45.5f;
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    EXPECT_TRUE(dlg.LayoutButton(1)->isChecked());
    EXPECT_TRUE(dlg.LevelField()->isEnabled());
    dlg.BoundaryCheck()->click();
    for (int i = 0; i < 3; ++i)
        EXPECT_FALSE(dlg.LayoutButton(i)->isEnabled());
    EXPECT_FALSE(dlg.LevelField()->isEnabled());
    EXPECT_FALSE(dlg.DistanceField()->isEnabled());
    EXPECT_EQ(dlg.LevelField()->text(), QStringLiteral("45.5"));
    dlg.accept();
    dlg.Model().ApplyTo(*t.doc);
    EXPECT_EQ(t.doc->Settings().useBoundaryConditions, 0);
    EXPECT_EQ(t.doc->Settings().boundaryLayout, 1);
    EXPECT_EQ(t.doc->Settings().boundaryLevel, 45.5f);
    EXPECT_FALSE(dlg.RecalcButton()->isVisibleTo(&dlg));
}

TEST_F(EditDataDlg, CopyAndPasteThroughTheClipboard)
{
    TestDoc t(4, {1});
    CEditDataDlg dlg(*t.doc);
    dlg.SetExchangeLocale({QStringLiteral(","), QStringLiteral(";")});
    dlg.show();
    dlg.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dlg));
    CKWGridWnd* grid = dlg.Grid();
    grid->setFocus();
    ASSERT_TRUE(grid->MoveCurrentCell(1, 0));
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    dlg.Model().SetCellText(1, 0, QStringLiteral("1.5"));
    QTest::keyClick(grid, Qt::Key_C, Qt::ControlModifier);
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("1,5;10\r\n"));
    EXPECT_TRUE(data->data(DifMimeType()).contains("\"1,5\""));

    // A block copied from a spreadsheet: TAB-separated, LF line ends.
    QGuiApplication::clipboard()->setText(QStringLiteral("7,5\t8\n9\t10,25\n"));
    ASSERT_TRUE(grid->MoveCurrentCell(2, 2));
    QTest::keyClick(grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(grid, Qt::Key_Insert, Qt::ShiftModifier);
    EXPECT_TRUE(prompt.Texts().isEmpty());
    EXPECT_EQ(dlg.Model().Value(2, 2), 7.5f);
    EXPECT_EQ(dlg.Model().Value(3, 3), 10.25f);

    QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\n"));
    QTest::keyClick(grid, Qt::Key_V, Qt::ControlModifier);
    ASSERT_EQ(prompt.Texts().size(), 1);
    EXPECT_EQ(prompt.Texts()[0], QStringLiteral("WARNING! Not enough lines in imported data."));
    EXPECT_EQ(dlg.Model().Value(2, 2), 7.5f);
}

TEST_F(EditDataDlg, SizeIsRememberedButNeverBelowDesigned)
{
    TestDoc t(1);
    QSize designed;
    {
        CEditDataDlg dlg(*t.doc);
        designed = dlg.minimumSize();
        dlg.show();
        dlg.resize(designed + QSize(100, 50));
        QApplication::processEvents();
    }
    EXPECT_EQ(CKWProfileStore::Instance().ReadInt(QStringLiteral("EditDataDlg"), QStringLiteral("Width"), 0),
              designed.width() + 100);
    CEditDataDlg reopened(*t.doc);
    EXPECT_EQ(reopened.size(), designed + QSize(100, 50));
    CKWProfileStore::Instance().WriteInt(QStringLiteral("EditDataDlg"), QStringLiteral("Width"), 10);
    CEditDataDlg small(*t.doc);
    EXPECT_EQ(small.width(), designed.width());
}

// The computed positions went back into the table through "%g" text, six significant digits:
// 12345.55 became 12345.5. The same held for the boundary fields, shown and read again at OK.
TEST_F(EditDataDlg, RecalculateXYKeepsEveryDigit)
{
    TestDoc t(3);
    t.doc->Settings().boundaryDistance = 0.123456789f;
    const CTXFloatArray x{12345.55f, 0.123456789f};  // one short: the third X becomes 0
    const CTXFloatArray y{98765.43f, -1.0e-7f, 7.0f};
    CEditDataDlg::SetRecalcXYHandler([&](QWidget*, int n, CTXFloatArray* xs, CTXFloatArray* ys) {
        EXPECT_EQ(n, 3);
        *xs = x;
        *ys = y;
        return true;
    });
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    dlg.RecalcButton()->click();
    CEditDataDlg::SetRecalcXYHandler({});
    EXPECT_EQ(dlg.Model().Column(0), (CTXFloatArray{12345.55f, 0.123456789f, 0.0f}));
    EXPECT_EQ(dlg.Model().Column(1), y);
    EXPECT_EQ(dlg.Model().Value(2, 2), t.doc->Column(0).values[2]) << "data columns untouched";
    dlg.accept();
    dlg.Model().ApplyTo(*t.doc);
    EXPECT_EQ(t.doc->X()[0], 12345.55f);
    EXPECT_EQ(t.doc->Settings().boundaryDistance, 0.123456789f);
}

TEST_F(EditDataDlg, RunDialogCancelChangesNothing)
{
    TestDoc t(3);
    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CEditDataDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->SpinUp()->click();
        dlg->reject();
    });
    EXPECT_FALSE(RunEditDataDialog(nullptr, *t.doc));
    EXPECT_EQ(t.doc->PointCount(), 3);
    EXPECT_FALSE(t.doc->IsModified());
    EXPECT_EQ(t.requests, 0);

    QTimer::singleShot(0, [] {
        auto* dlg = qobject_cast<CEditDataDlg*>(QApplication::activeModalWidget());
        ASSERT_NE(dlg, nullptr);
        dlg->SpinUp()->click();
        dlg->accept();
    });
    EXPECT_TRUE(RunEditDataDialog(nullptr, *t.doc));
    EXPECT_EQ(t.doc->PointCount(), 4);
    EXPECT_TRUE(t.doc->IsModified());
}

struct PictureCase {
    const char* name;
    int layout;
    int markers;
};

class BoundaryPicture : public ::testing::TestWithParam<PictureCase> {};

// Counts the red marker blobs around the frame.
TEST_P(BoundaryPicture, ShowsItsLayout)
{
    const QImage image = BoundaryLayoutPicture(GetParam().layout, QSize(80, 60)).toImage();
    const QPoint probes[8] = {{11, 8}, {68, 8}, {11, 51}, {68, 51}, {40, 8}, {40, 51}, {11, 30}, {68, 30}};
    int red = 0;
    for (const QPoint& p : probes) {
        const QColor c = image.pixelColor(p);
        if (c.red() > 150 && c.green() < 80)
            ++red;
    }
    EXPECT_EQ(red, GetParam().markers);
}

INSTANTIATE_TEST_SUITE_P(Rows, BoundaryPicture,
                         ::testing::Values(PictureCase{"Corners", 0, 4}, PictureCase{"Middles", 1, 4},
                                           PictureCase{"Both", 2, 8}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
