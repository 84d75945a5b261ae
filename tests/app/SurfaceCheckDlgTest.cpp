// The Surface Check dialog: what it says about a check, the circles it has the map view draw,
// and how both follow the document while the check runs off the user-interface thread.

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QLabel>
#include <QTableWidget>
#include <QTest>

#include <cmath>
#include <memory>

#include "app/AppStrings.h"
#include "app/SurfaceCheckDlg.h"
#include "app/SurfaceCheckText.h"
#include "document/TessarixDoc.h"
#include "render/TessarixView.h"
#include "util/StringTable.h"

namespace {

// ---- texts ----

SurfaceCheckReport Checked(double miss)
{
    SurfaceCheckReport r;
    r.check.status = SurfaceCheckStatus::Checked;
    r.check.rms = 0.4567;
    r.check.largestMiss = miss;
    r.check.largestMissPoint = 6;
    r.check.conditionEstimate = 2.5e7;
    r.largestMiss = {7, 12.5f, 30.0f, 81.0f, miss};
    r.worst = {{3, 10.0f, 20.0f, 90.5f, -2.25}, {7, 12.5f, 30.0f, 81.0f, 1.5}};
    return r;
}

SurfaceCheckReport Refused(SurfaceCheckStatus status, int32_t first = -1, int32_t second = -1)
{
    SurfaceCheckReport r;
    r.check.status = status;
    r.coincidingFirst = first;
    r.coincidingSecond = second;
    return r;
}

struct RefusalCase {
    const char* name;
    SurfaceCheckReport report;
    QString expected;
};

class RefusalTextTest : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(RefusalTextTest, SaysWhyThereIsNoCheck)
{
    const SurfaceCheckText text = DescribeSurfaceCheck(GetParam().report, 9001);
    EXPECT_EQ(text.refusal, GetParam().expected);
    EXPECT_TRUE(text.worstRows.empty());
    EXPECT_TRUE(text.marks.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, RefusalTextTest,
    ::testing::Values(
        RefusalCase{"TooFew", Refused(SurfaceCheckStatus::TooFewPoints),
                    QStringLiteral("The column has too few points to check: at least 3 are needed.")},
        RefusalCase{"TooMany", Refused(SurfaceCheckStatus::TooManyPoints),
                    QStringLiteral("9001 points are more than the 8000 a map is interpolated from; the surface is not "
                                   "checked.")},
        RefusalCase{"Singular", Refused(SurfaceCheckStatus::Singular),
                    QStringLiteral("The interpolation system is singular; change the interpolation function or its "
                                   "parameter.")},
        // Input indices from 0 become point numbers from 1.
        RefusalCase{"Coinciding", Refused(SurfaceCheckStatus::Singular, 2, 7),
                    QStringLiteral("Points 3 and 8 lie at the same position; merge the repeated readings first.")},
        RefusalCase{"NoMemory", Refused(SurfaceCheckStatus::OutOfMemory),
                    QStringLiteral("There is not enough memory to check the surface.")}),
    [](const ::testing::TestParamInfo<RefusalCase>& info) { return std::string(info.param.name); });

struct VerdictCase {
    const char* name;
    double miss;
    bool illConditioned;
};

class VerdictTest : public ::testing::TestWithParam<VerdictCase> {};

TEST_P(VerdictTest, MissAboveATenthOfADecibelAsksForAnotherParameter)
{
    const SurfaceCheckText text = DescribeSurfaceCheck(Checked(GetParam().miss), 20);
    EXPECT_TRUE(text.refusal.isEmpty());
    EXPECT_EQ(text.illConditioned, GetParam().illConditioned);
    EXPECT_EQ(text.verdict.contains(QStringLiteral("the parameter should change")), GetParam().illConditioned);
    const QString expected = GetParam().illConditioned
                                 ? QStringLiteral("The surface misses point 7 by more than 0.1 dB: the interpolation "
                                                  "system is ill-conditioned and the parameter should change.")
                                 : QStringLiteral("The surface passes through its measured points.");
    EXPECT_EQ(text.verdict, expected);
}

INSTANTIATE_TEST_SUITE_P(Misses, VerdictTest,
                         ::testing::Values(VerdictCase{"WellWithin", 1e-9, false}, VerdictCase{"AtTheLimit", 0.1, false},
                                           VerdictCase{"JustAbove", 0.1001, true}, VerdictCase{"Large", 3.0, true},
                                           VerdictCase{"NotANumber", std::nan(""), true}),
                         [](const ::testing::TestParamInfo<VerdictCase>& info) { return std::string(info.param.name); });

TEST(SurfaceCheckTextTest, SummaryTableAndMarksAgree)
{
    const SurfaceCheckText text = DescribeSurfaceCheck(Checked(0.02), 20);
    EXPECT_EQ(text.rms, QStringLiteral("RMS of the leave-one-out residuals: 0.457 dB"));
    EXPECT_EQ(text.miss, QStringLiteral("Largest miss at a measured point: 0.02 dB (point 7)"));
    EXPECT_EQ(text.condition, QStringLiteral("Condition estimate of the interpolation system: 2.500e+07"));
    ASSERT_EQ(text.worstRows.size(), 2u);
    EXPECT_EQ(text.worstRows[0], (QStringList{"3", "10", "20", "90.5", "-2.250"}));
    EXPECT_EQ(text.worstRows[1], (QStringList{"7", "12.5", "30", "81", "1.500"}));
    EXPECT_EQ(SurfaceCheckHeadings(), (QStringList{"Point", "X", "Y", "Measured", "Residual"}));
    // The circles are labelled with the rows' ranks, at the points' map positions.
    ASSERT_EQ(text.marks.size(), 2u);
    EXPECT_EQ(text.marks[0].label, QStringLiteral("1"));
    EXPECT_EQ(text.marks[0].x, 10.0f);
    EXPECT_EQ(text.marks[0].y, 20.0f);
    EXPECT_EQ(text.marks[1].label, QStringLiteral("2"));
}

// ---- where a circle goes ----

TEST(MapToPixelTest, InverseOfTheCursorReadout)
{
    CTessarixDoc doc;
    doc.OnNewDocument();
    doc.OnViewSizeChanged(TxRect{0, 0, 800, 600});
    const TxRect graph = doc.Layout().graph;
    ASSERT_FALSE(graph.IsEmpty());
    const int pixels[][2] = {{graph.left, graph.bottom}, {graph.right, graph.top}, {(graph.left + graph.right) / 2, 200}};
    for (const auto& p : pixels) {
        float x = 0.0f, y = 0.0f;
        PixelToMap(doc, p[0], p[1], &x, &y);
        int px = 0, py = 0;
        MapToPixel(doc, x, y, &px, &py);
        EXPECT_NEAR(px, p[0], 1);
        EXPECT_NEAR(py, p[1], 1);
    }
}

// ---- the dialog ----

// Every column holds a sloping plane at 5 x 5 points over 0..100 with a wrong reading at point 13.
std::unique_ptr<CTessarixDoc> FieldDoc(int points = 25)
{
    auto doc = std::make_unique<CTessarixDoc>();
    doc->OnNewDocument();
    doc->Settings().extent = {0.0f, 100.0f, 0.0f, 100.0f};
    doc->Settings().useBoundaryConditions = 0;  // only the measured points
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int k = 0; k < points; ++k) {
        const float px = 5.0f + 22.5f * float(k % 5), py = 5.0f + 22.5f * float(k / 5);
        x.push_back(px);
        y.push_back(py);
        for (CTXFloatArray& v : values)
            v.push_back(70.0f + 0.1f * px - 0.05f * py + (k == 12 ? 10.0f : 0.0f));
    }
    doc->SetPointTable(points, x, y, values);
    doc->OnViewSizeChanged(TxRect{0, 0, 800, 600});
    return doc;
}

class SurfaceCheckDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = FieldDoc();
        view = std::make_unique<CTessarixView>(*doc);
        view->SetColumn(0);
        dialog = std::make_unique<CSurfaceCheckDlg>(*doc, [this](int column) {
            return column == 0 ? shownView : nullptr;
        });
        shownView = view.get();
        dialog->SetColumn(0);
    }
    bool WaitForResult(int ms = 20000)
    {
        QElapsedTimer t;
        t.start();
        while ((dialog->Runner().Running() || !dialog->Runner().HasResult()) && t.elapsed() < ms)
            QTest::qWait(5);
        return dialog->Runner().HasResult();
    }

    std::unique_ptr<CTessarixDoc> doc;
    std::unique_ptr<CTessarixView> view;
    CTessarixView* shownView = nullptr;
    std::unique_ptr<CSurfaceCheckDlg> dialog;
};

TEST_F(SurfaceCheckDlgTest, ShowsTheCheckAndCirclesTheWorstPoints)
{
    dialog->show();
    EXPECT_TRUE(dialog->Runner().Running());
    EXPECT_EQ(dialog->StatusLabel()->text(), QStringLiteral("Checking the surface of 25 points..."));
    EXPECT_TRUE(view->Marks().empty());
    ASSERT_TRUE(WaitForResult());
    QTableWidget* table = dialog->WorstTable();
    ASSERT_EQ(table->rowCount(), SurfaceCheck::kWorstCount);
    EXPECT_EQ(table->item(0, CheckColumnPoint)->text(), QStringLiteral("13"));
    EXPECT_EQ(table->item(0, CheckColumnX)->text(), QStringLiteral("50"));
    EXPECT_EQ(table->item(0, CheckColumnY)->text(), QStringLiteral("50"));
    EXPECT_TRUE(dialog->SummaryText().contains(QStringLiteral("RMS of the leave-one-out residuals")));
    ASSERT_EQ(view->Marks().size(), size_t(SurfaceCheck::kWorstCount));
    EXPECT_EQ(view->Marks()[0].x, 50.0f);
    EXPECT_EQ(view->Marks()[0].y, 50.0f);
    EXPECT_EQ(view->Marks()[0].label, QStringLiteral("1"));
}

TEST_F(SurfaceCheckDlgTest, ChangedDataDropTheCirclesAtOnceAndAreCheckedAgain)
{
    dialog->show();
    ASSERT_TRUE(WaitForResult());
    ASSERT_FALSE(view->Marks().empty());

    // A change the check does not read keeps result and circles.
    doc->Settings().zAxis.start -= 10.0f;
    dialog->OnDocumentChanged();
    EXPECT_FALSE(dialog->Runner().Running());
    EXPECT_FALSE(view->Marks().empty());

    // A new reading outdates them: no circle may stay at a stale worst point.
    doc->InsertPoint(60.0f, 61.0f, {75.0f});
    dialog->OnDocumentChanged();
    EXPECT_TRUE(view->Marks().empty());
    EXPECT_TRUE(dialog->Runner().Running());
    EXPECT_EQ(dialog->WorstTable()->rowCount(), 0);
    EXPECT_EQ(dialog->StatusLabel()->text(), QStringLiteral("Checking the surface of 26 points..."));
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(view->Marks().size(), size_t(SurfaceCheck::kWorstCount));
}

TEST_F(SurfaceCheckDlgTest, RebuiltTabsGetTheCirclesWithoutANewCheck)
{
    dialog->show();
    ASSERT_TRUE(WaitForResult());
    // The frame replaces its views when the columns change; the result still holds.
    auto rebuilt = std::make_unique<CTessarixView>(*doc);
    rebuilt->SetColumn(0);
    shownView = rebuilt.get();
    view.reset();
    dialog->OnDocumentChanged();
    EXPECT_FALSE(dialog->Runner().Running());
    EXPECT_EQ(rebuilt->Marks().size(), size_t(SurfaceCheck::kWorstCount));
    dialog.reset();  // the dialog going clears the circles of the view it marked
    EXPECT_TRUE(rebuilt->Marks().empty());
}

TEST_F(SurfaceCheckDlgTest, ClosingCancelsTheCheckAndRemovesTheCircles)
{
    for (const bool waitForResult : {false, true}) {
        SCOPED_TRACE(waitForResult);
        dialog->show();
        if (waitForResult) {
            ASSERT_TRUE(WaitForResult());
        }
        dialog->close();
        EXPECT_FALSE(dialog->Runner().Running());
        EXPECT_FALSE(dialog->Runner().HasResult());
        EXPECT_TRUE(view->Marks().empty());
        // A change while closed starts nothing.
        dialog->OnDocumentChanged();
        EXPECT_FALSE(dialog->Runner().Running());
        QTest::qWait(20);
        EXPECT_TRUE(view->Marks().empty());
    }
}

TEST_F(SurfaceCheckDlgTest, ColumnWithTooFewPointsSaysSo)
{
    doc = FieldDoc(2);
    view = std::make_unique<CTessarixView>(*doc);
    shownView = view.get();
    dialog = std::make_unique<CSurfaceCheckDlg>(*doc, [this](int) { return shownView; });
    dialog->SetColumn(0);
    dialog->show();
    ASSERT_TRUE(WaitForResult());
    EXPECT_EQ(dialog->StatusLabel()->text(), TxString(IDS_CHECK_TOO_FEW));
    EXPECT_EQ(dialog->WorstTable()->rowCount(), 0);
    EXPECT_TRUE(view->Marks().empty());
    // Without a map tab there is nothing to check.
    dialog->SetColumn(-1);
    EXPECT_EQ(dialog->StatusLabel()->text(), TxString(IDS_CHECK_NO_COLUMN));
    EXPECT_FALSE(dialog->Runner().Running());
}

}  // namespace

TEST(SurfaceCheckTextTest, EnergyOptionAddsTheNodesWithoutPositiveEnergy)
{
    SurfaceCheckReport report = Checked(0.02);
    EXPECT_FALSE(DescribeSurfaceCheck(report, 20).condition.contains(QStringLiteral("energies")));
    report.nonPositiveEnergyNodes = 531;
    report.gridNodes = 2379;
    report.lowestLevel = 77.4f;
    EXPECT_EQ(DescribeSurfaceCheck(report, 20).condition,
              QStringLiteral("Condition estimate of the interpolation system: 2.500e+07\nInterpolated as energies "
                             "10^(L/10): 531 of 2379 grid nodes have no positive energy and show the lowest measured "
                             "level, 77.4 dB."));
}
