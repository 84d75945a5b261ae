// The Band Sum model (choices, refusals, the check table) and its dialog (one undo step, a
// refused target that leaves the document alone).
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTableWidget>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>

#include "DataEntryTestDoc.h"
#include "../support/PromptRecorder.h"
#include "dataentry/BandSumDlg.h"
#include "dataentry/BandSumModel.h"
#include "dataentry/DataEntryStrings.h"
#include "util/StringTable.h"

namespace {

// Three points with bands 1..3 (16, 31.5, 63 Hz) enabled. Point 0: bands 80, 80, 80 and a
// measured overall level of 84.8 (the sum is 84.77); point 1: the same bands, measured 87.0;
// point 2: bands 70, 60, 50, measured 70.0 (the sum is 70.45).
struct BandDoc : TestDoc {
    BandDoc() : TestDoc(3, {1, 2, 3})
    {
        const float bands[3][3] = {{80, 80, 80}, {80, 80, 80}, {70, 60, 50}};
        const float measured[3] = {84.8f, 87.0f, 70.0f};
        for (size_t p = 0; p < 3; ++p) {
            doc->Column(0).values[p] = measured[p];
            for (size_t b = 0; b < 3; ++b)
                doc->Column(int(b) + 1).values[p] = bands[p][b];
        }
    }
};

}  // namespace

TEST(BandSumModel, StartsWithTheEnabledBandsAndTheFirstColumn)
{
    TestDoc t(2, {1, 2, 5, 11});
    CBandSumModel model(*t.doc);
    EXPECT_EQ(model.Target(), 0);
    EXPECT_EQ(model.Bands(), (std::vector<int>{1, 2, 5, 11}));
    EXPECT_FALSE(model.AWeighted());
}

struct RefusalCase {
    const char* name;
    std::function<void(CBandSumModel&)> choose;
    int refusal;  // 0: OK applies
};
void PrintTo(const RefusalCase& c, std::ostream* os) { *os << c.name; }

class BandSumRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(BandSumRefusal, RefusesOnlyWhatCannotBeFilled)
{
    BandDoc t;
    CBandSumModel model(*t.doc);
    GetParam().choose(model);
    EXPECT_EQ(model.Refusal(), GetParam().refusal);
    // A refused choice shows no check and changes nothing.
    if (GetParam().refusal != 0) {
        EXPECT_TRUE(model.CheckRows().empty());
        EXPECT_FALSE(model.Apply(*t.doc));
        EXPECT_FALSE(t.doc->CanUndo());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, BandSumRefusal,
    ::testing::Values(
        RefusalCase{"Defaults", [](CBandSumModel&) {}, 0},
        RefusalCase{"TargetIsABand", [](CBandSumModel& m) { m.SetTarget(2); }, IDS_BAND_SUM_TARGET_IS_BAND},
        RefusalCase{"TargetLeftOutOfTheBands", [](CBandSumModel& m) { m.SetBand(2, false); m.SetTarget(2); }, 0},
        RefusalCase{"NoBandLeft",
                    [](CBandSumModel& m) { for (int c = 1; c <= 3; ++c) m.SetBand(c, false); },
                    IDS_BAND_SUM_NO_BANDS},
        RefusalCase{"FirstColumnCannotBecomeABand", [](CBandSumModel& m) { m.SetBand(0, true); }, 0},
        RefusalCase{"SixteenKilohertzColumnIsABandToo",
                    [](CBandSumModel& m) { m.SetBand(kColumnCount - 1, true); m.SetTarget(kColumnCount - 1); },
                    IDS_BAND_SUM_TARGET_IS_BAND},
        RefusalCase{"TargetOutOfRangeIsIgnored", [](CBandSumModel& m) { m.SetTarget(kColumnCount); m.SetTarget(-1); }, 0}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

TEST(BandSumModel, CheckTableShowsHandComputedSumsAndMarksRowsOverOneDecibel)
{
    BandDoc t;
    CBandSumModel model(*t.doc);
    ASSERT_EQ(model.CheckRows().size(), 3u);
    // 10 log10(3 * 10^8) = 84.77; 10 log10(10^7 + 10^6 + 10^5) = 70.45.
    EXPECT_NEAR(model.CheckRows()[0].bandSum, 84.771, 0.001);
    EXPECT_NEAR(model.CheckRows()[2].bandSum, 70.453, 0.001);
    const std::vector<bool> outside = {false, true, false};
    for (size_t r = 0; r < 3; ++r)
        EXPECT_EQ(model.CheckRows()[r].outside, outside[r]) << "row " << r;
    EXPECT_EQ(model.OutsideCount(), 1);
    EXPECT_EQ(model.Summary(), TxFormat(IDS_BAND_SUM_CHECK_SUMMARY, QStringLiteral("1"), QStringLiteral("3")));

    // Point 2 (shown as 2) at X 1, Y 10: measured 87.0, sum 84.8, difference +2.2.
    const QStringList cells = {"2", "1", "10", "87.0", "84.8", "+2.2"};
    for (int k = 0; k < CBandSumModel::CheckColumnCount; ++k)
        EXPECT_EQ(model.CheckCell(1, k), cells[k]) << "cell " << k;
    EXPECT_EQ(model.CheckCell(2, CBandSumModel::CheckDifference), QStringLiteral("-0.5"));
}

TEST(BandSumModel, AWeightingFollowsTheBandsAndRechecks)
{
    BandDoc t;
    CBandSumModel model(*t.doc);
    model.SetAWeighted(true);
    // 80 dB at 16, 31.5 and 63 Hz: 10 log10(10^2.33 + 10^4.06 + 10^5.38) = 54.01.
    EXPECT_NEAR(model.CheckRows()[0].bandSum, 54.006, 0.002);
    EXPECT_EQ(model.OutsideCount(), 3);
}

TEST(BandSumModel, ApplyFillsTheTargetAsOneUndoStep)
{
    BandDoc t;
    CBandSumModel model(*t.doc);
    model.SetBand(3, false);
    ASSERT_TRUE(model.Apply(*t.doc));
    // 10 log10(10^7 + 10^6) = 70.41.
    EXPECT_NEAR(t.doc->Column(0).values[2], 70.414f, 0.001f);
    EXPECT_TRUE(t.doc->UndoMenuText().contains(QStringLiteral("Band Sum")));
    t.doc->Undo();
    EXPECT_FLOAT_EQ(t.doc->Column(0).values[2], 70.0f);
    EXPECT_FALSE(t.doc->CanUndo());
}

TEST(BandSumDlg, OkFillsTheChosenColumnAsOneUndoStep)
{
    BandDoc t;
    t.doc->Column(4).enabled = 1;
    CPromptRecorder prompts;
    CBandSumDlg dlg(*t.doc);
    // An enabled column 1..11 starts as a band: it becomes a target once left out.
    EXPECT_TRUE(dlg.BandBox(4)->isChecked());
    dlg.BandBox(4)->setChecked(false);
    dlg.TargetBox()->setCurrentIndex(4);
    dlg.AWeightedBox()->setChecked(true);
    dlg.accept();
    EXPECT_TRUE(prompts.Texts().isEmpty());
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_NEAR(t.doc->Column(4).values[0], 54.006, 0.002);
    EXPECT_FLOAT_EQ(t.doc->Column(0).values[0], 84.8f);  // the measured level is left alone
    t.doc->Undo();
    EXPECT_FLOAT_EQ(t.doc->Column(4).values[0], 400.0f);
    EXPECT_FALSE(t.doc->CanUndo());
}

TEST(BandSumDlg, TargetAmongTheBandsIsToldAndLeavesTheDocumentAlone)
{
    BandDoc t;
    CPromptRecorder prompts;
    CBandSumDlg dlg(*t.doc);
    dlg.TargetBox()->setCurrentIndex(2);
    const QString refusal = TxFormat(IDS_BAND_SUM_TARGET_IS_BAND, t.doc->Column(2).name);
    EXPECT_EQ(dlg.SummaryLabel()->text(), refusal);
    EXPECT_EQ(dlg.CheckTable()->rowCount(), 0);
    dlg.accept();
    EXPECT_EQ(prompts.Messages(), QStringList{refusal});
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(t.doc->CanUndo());

    // Leaving the column out of the bands makes it a valid target again.
    dlg.BandBox(2)->setChecked(false);
    EXPECT_EQ(dlg.CheckTable()->rowCount(), 3);
    dlg.accept();
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_TRUE(t.doc->CanUndo());
}

TEST(BandSumDlg, CheckTableMarksOnlyTheRowsOverOneDecibel)
{
    BandDoc t;
    CBandSumDlg dlg(*t.doc);
    QTableWidget* table = dlg.CheckTable();
    ASSERT_EQ(table->rowCount(), 3);
    const QBrush plain = table->item(0, 0)->background();
    EXPECT_NE(table->item(1, 0)->background(), plain);
    EXPECT_EQ(table->item(2, 0)->background(), plain);
    EXPECT_EQ(table->item(1, CBandSumModel::CheckDifference)->text(), QStringLiteral("+2.2"));
}
