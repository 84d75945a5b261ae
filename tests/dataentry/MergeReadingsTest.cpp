// The Merge Repeated Readings model (groups for a tolerance, refused tolerances) and its dialog
// (the list following the tolerance, OK disabled when nothing is found, one undo step).
#include <QDoubleSpinBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

#include "DataEntryTestDoc.h"
#include "dataentry/DataEntryStrings.h"
#include "dataentry/MergeReadingsDlg.h"
#include "dataentry/MergeReadingsModel.h"
#include "document/AcousticEdits.h"
#include "util/StringTable.h"

namespace {

// Four points at X = i, Y = 10 i, except point 2 (shown as 3), read again half a millimetre
// from point 0 (shown as 1): 80 dB there against 90 dB at point 0 in the first column.
struct RepeatDoc : TestDoc {
    RepeatDoc() : TestDoc(4)
    {
        CTXFloatArray x = doc->X(), y = doc->Y();
        std::array<CTXFloatArray, kColumnCount> values;
        for (int c = 0; c < kColumnCount; ++c)
            values[size_t(c)] = doc->Column(c).values;
        values[0][0] = 90.0f;
        values[0][2] = 80.0f;
        x[2] = 0.0005f;
        y[2] = 0.0f;
        doc->SetPointTable(4, x, y, values);
        doc->SetModifiedFlag(false);
    }
};

}  // namespace

TEST(MergeReadingsModel, DefaultToleranceFindsTheRepeatedReading)
{
    RepeatDoc t;
    CMergeReadingsModel model(*t.doc);
    EXPECT_DOUBLE_EQ(model.Tolerance(), kDefaultRepeatTolerance);
    ASSERT_EQ(model.GroupCount(), 1);
    EXPECT_EQ(model.PointsText(0), QStringLiteral("1, 3"));
    EXPECT_EQ(model.PositionText(0), QStringLiteral("0; 0"));
    EXPECT_EQ(model.RemovedCount(), 1);
    EXPECT_TRUE(model.CanApply());
}

struct ToleranceCase {
    const char* name;
    double tolerance;
    int groups;
    int removed;
};
void PrintTo(const ToleranceCase& c, std::ostream* os) { *os << c.name; }

class MergeTolerance : public ::testing::TestWithParam<ToleranceCase> {};

TEST_P(MergeTolerance, GroupsFollowTheTolerance)
{
    RepeatDoc t;
    CMergeReadingsModel model(*t.doc);
    ASSERT_TRUE(model.SetTolerance(GetParam().tolerance));
    EXPECT_EQ(model.GroupCount(), GetParam().groups);
    EXPECT_EQ(model.RemovedCount(), GetParam().removed);
    EXPECT_EQ(model.CanApply(), GetParam().groups > 0);
}

// Neighbours are 0.0005, 10.05 and 20.1 apart; a chain of close points is one group.
INSTANTIATE_TEST_SUITE_P(Rows, MergeTolerance,
                         ::testing::Values(ToleranceCase{"Zero", 0.0, 0, 0},
                                           ToleranceCase{"BelowTheRepeat", 0.0004, 0, 0},
                                           ToleranceCase{"AboveTheRepeat", 0.0006, 1, 1},
                                           ToleranceCase{"ChainsTwoNeighbours", 10.1, 1, 2},
                                           ToleranceCase{"AllInOne", 30.0, 1, 3}),
                         [](const ::testing::TestParamInfo<ToleranceCase>& info) { return std::string(info.param.name); });

TEST(MergeReadingsModel, RefusedToleranceKeepsTheList)
{
    RepeatDoc t;
    CMergeReadingsModel model(*t.doc);
    for (double bad : {-0.001, std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(model.SetTolerance(bad)) << bad;
        EXPECT_DOUBLE_EQ(model.Tolerance(), kDefaultRepeatTolerance);
        EXPECT_EQ(model.GroupCount(), 1);
    }
}

TEST(MergeReadingsModel, ApplyMergesIntoTheEnergeticMeanAsOneStep)
{
    RepeatDoc t;
    CMergeReadingsModel model(*t.doc);
    EXPECT_EQ(model.Apply(*t.doc), 1);
    ASSERT_EQ(t.doc->PointCount(), 3);
    // 10 log10((10^8 + 10^9) / 2) = 87.40, not the arithmetic 85.
    EXPECT_NEAR(t.doc->Column(0).values[0], 87.404, 0.001);
    EXPECT_TRUE(t.doc->UndoMenuText().contains(QStringLiteral("Merge Readings")));
    t.doc->Undo();
    EXPECT_EQ(t.doc->PointCount(), 4);
    EXPECT_FALSE(t.doc->CanUndo());
}

TEST(MergeReadingsDlg, ListFollowsTheTolerance)
{
    RepeatDoc t;
    CMergeReadingsDlg dlg(*t.doc);
    ASSERT_EQ(dlg.GroupTable()->rowCount(), 1);
    EXPECT_EQ(dlg.GroupTable()->item(0, 0)->text(), QStringLiteral("1, 3"));
    EXPECT_TRUE(dlg.OkButton()->isEnabled());

    dlg.ToleranceBox()->setValue(0.0001);
    EXPECT_EQ(dlg.GroupTable()->rowCount(), 0);
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    EXPECT_EQ(dlg.SummaryLabel()->text(), TxFormat(IDS_MERGE_NONE_FOUND, QStringLiteral("0.0001")));

    dlg.ToleranceBox()->setValue(11.0);
    ASSERT_EQ(dlg.GroupTable()->rowCount(), 1);
    EXPECT_EQ(dlg.GroupTable()->item(0, 0)->text(), QStringLiteral("1, 2, 3"));
    EXPECT_EQ(dlg.SummaryLabel()->text(), TxFormat(IDS_MERGE_FOUND, QStringLiteral("1"), QStringLiteral("2")));
    EXPECT_TRUE(dlg.OkButton()->isEnabled());
}

TEST(MergeReadingsDlg, NothingFoundDisablesOkAndChangesNothing)
{
    TestDoc t(4);
    CMergeReadingsDlg dlg(*t.doc);
    EXPECT_EQ(dlg.GroupTable()->rowCount(), 0);
    EXPECT_FALSE(dlg.OkButton()->isEnabled());
    EXPECT_FALSE(dlg.SummaryLabel()->text().isEmpty());
    dlg.accept();
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(t.doc->PointCount(), 4);
    EXPECT_FALSE(t.doc->CanUndo());
}

TEST(MergeReadingsDlg, OkMergesAsOneUndoStep)
{
    RepeatDoc t;
    CMergeReadingsDlg dlg(*t.doc);
    dlg.OkButton()->click();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(t.doc->PointCount(), 3);
    t.doc->Undo();
    EXPECT_EQ(t.doc->PointCount(), 4);
    EXPECT_FALSE(t.doc->CanUndo());
}
