// The surface check away from the user-interface thread: which document changes make a result
// outdated, what a report names (in map units, 1-based), and the runner under restarts,
// cancellation and destruction while a large check is still running.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

#include <chrono>
#include <cmath>
#include <functional>
#include <thread>

#include "document/TessarixDoc.h"
#include "mapping/RbfInterpolator.h"
#include "workers/SurfaceCheckRun.h"

namespace {

// A document whose columns hold a sloping plane (which the surface reproduces) at `side` x `side` points over 0..100, with
// one wrong reading at point `outlier` (0-based) when it is not negative.
std::unique_ptr<CTessarixDoc> FieldDoc(int side, int outlier = -1)
{
    auto doc = std::make_unique<CTessarixDoc>();
    doc->OnNewDocument();
    doc->Settings().extent = {0.0f, 100.0f, 0.0f, 100.0f};
    doc->Settings().useBoundaryConditions = 0;  // only the measured points
    const int n = side * side;
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int k = 0; k < n; ++k) {
        const float px = 5.0f + 90.0f * float(k % side) / float(side - 1);
        const float py = 5.0f + 90.0f * float(k / side) / float(side - 1);
        x.push_back(px);
        y.push_back(py);
        for (int c = 0; c < kColumnCount; ++c)
            values[size_t(c)].push_back(70.0f + 0.1f * px + 0.05f * py + float(c) + (k == outlier ? 12.0f : 0.0f));
    }
    doc->SetPointTable(n, x, y, values);
    return doc;
}

// Moves point k (0-based) of the document to (x, y), values kept.
void MovePoint(CTessarixDoc& doc, int k, float x, float y)
{
    CTXFloatArray xs = doc.X(), ys = doc.Y();
    xs[size_t(k)] = x;
    ys[size_t(k)] = y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int c = 0; c < kColumnCount; ++c)
        values[size_t(c)] = doc.Column(c).values;
    doc.SetPointTable(doc.PointCount(), std::move(xs), std::move(ys), values);
}

// ---- what makes a result outdated ----

struct ChangeCase {
    const char* name;
    std::function<void(CTessarixDoc&)> change;
    bool outdates;
};

class CheckInputTest : public ::testing::TestWithParam<ChangeCase> {};

TEST_P(CheckInputTest, OnlyChangesTheCheckReadsOutdateIt)
{
    auto doc = FieldDoc(4);
    const SurfaceCheckInput before = SurfaceCheckInputOf(*doc, 0);
    GetParam().change(*doc);
    EXPECT_EQ(!(SurfaceCheckInputOf(*doc, 0) == before), GetParam().outdates);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, CheckInputTest,
    ::testing::Values(
        ChangeCase{"Nothing", [](CTessarixDoc&) {}, false},
        ChangeCase{"ValueOfTheColumn", [](CTessarixDoc& d) { d.Column(0).values[3] += 0.5f; }, true},
        ChangeCase{"ValueOfAnotherColumn", [](CTessarixDoc& d) { d.Column(2).values[3] += 0.5f; }, false},
        ChangeCase{"PositionOfAPoint", [](CTessarixDoc& d) { MovePoint(d, 1, d.X()[1] + 1.0f, d.Y()[1]); }, true},
        ChangeCase{"Parameter", [](CTessarixDoc& d) { d.Settings().interpParameter = 0.3f; }, true},
        ChangeCase{"Function", [](CTessarixDoc& d) { d.Settings().interpFunction = RbfThinPlateSpline; }, true},
        ChangeCase{"Extent", [](CTessarixDoc& d) { d.Settings().extent.x1 = 120.0f; }, true},
        ChangeCase{"BoundaryPointsSwitchedOn",
                   [](CTessarixDoc& d) {
                       d.Settings().useBoundaryConditions = 1;
                       d.Settings().boundaryLayout = BoundaryCorners;
                   },
                   true},
        ChangeCase{"ColourRange", [](CTessarixDoc& d) { d.Settings().zAxis.start -= 10.0f; }, false},
        ChangeCase{"EnergyOptionSwitchedOn", [](CTessarixDoc& d) { d.Settings().energyInterpolation = 1; }, true},
        ChangeCase{"GridCountWithoutEnergyOption", [](CTessarixDoc& d) { d.Settings().gridCountX += 10; }, false},
        ChangeCase{"ValueBecomesNotANumber", [](CTessarixDoc& d) { d.Column(0).values[0] = std::nanf(""); }, true}),
    [](const ::testing::TestParamInfo<ChangeCase>& info) { return std::string(info.param.name); });

TEST(SurfaceCheckInputTest, ReadingThatIsNotANumberComparesEqualToItself)
{
    // Compared by value a NaN never equals itself, and every change notification would start
    // the same check again.
    auto doc = FieldDoc(3);
    doc->Column(0).values[4] = std::nanf("");
    EXPECT_TRUE(SurfaceCheckInputOf(*doc, 0) == SurfaceCheckInputOf(*doc, 0));
}

// ---- reports ----

TEST(SurfaceCheckReportTest, WorstPointsAreNamedInMapUnitsFromOne)
{
    auto doc = FieldDoc(5, 12);
    const SurfaceCheckReport report = RunSurfaceCheck(SurfaceCheckInputOf(*doc, 0), 1);
    ASSERT_TRUE(report.Checked());
    ASSERT_EQ(report.worst.size(), size_t(SurfaceCheck::kWorstCount));
    // Point 13 is the wrong reading; its position is the document's, not the normalised one.
    EXPECT_EQ(report.worst.front().number, 13);
    EXPECT_EQ(report.worst.front().x, doc->X()[12]);
    EXPECT_EQ(report.worst.front().y, doc->Y()[12]);
    EXPECT_EQ(report.worst.front().value, doc->Column(0).values[12]);
    EXPECT_EQ(report.worst.front().residual, report.check.residuals[12]);
    EXPECT_EQ(report.largestMiss.number, report.check.largestMissPoint + 1);
    EXPECT_EQ(report.largestMiss.residual, report.check.largestMiss);
}

TEST(SurfaceCheckReportTest, CoincidingPointsAreNamedNotSolved)
{
    auto doc = FieldDoc(3);
    MovePoint(*doc, 7, doc->X()[2], doc->Y()[2]);
    const SurfaceCheckReport report = RunSurfaceCheck(SurfaceCheckInputOf(*doc, 0), 1);
    EXPECT_EQ(report.check.status, SurfaceCheckStatus::Singular);
    EXPECT_EQ(report.coincidingFirst, 2);
    EXPECT_EQ(report.coincidingSecond, 7);
    EXPECT_TRUE(report.worst.empty());
}

TEST(SurfaceCheckReportTest, RaisedCancelFlagGivesNoResult)
{
    auto doc = FieldDoc(6);
    std::atomic<int32_t> cancel{1};
    const SurfaceCheckReport report = RunSurfaceCheck(SurfaceCheckInputOf(*doc, 0), 1, &cancel);
    EXPECT_EQ(report.check.status, SurfaceCheckStatus::Cancelled);
    EXPECT_TRUE(report.check.residuals.empty());
    EXPECT_TRUE(report.worst.empty());
}

// ---- the runner ----

bool WaitForFinished(QSignalSpy& spy, int count, int ms = 20000)
{
    QElapsedTimer t;
    t.start();
    while (spy.count() < count && t.elapsed() < ms)
        QTest::qWait(5);
    return spy.count() >= count;
}

TEST(SurfaceCheckRunnerTest, DeliversOnTheOwnersThreadAndKeepsTheInput)
{
    auto doc = FieldDoc(5, 3);
    CSurfaceCheckRunner runner;
    QSignalSpy finished(&runner, &CSurfaceCheckRunner::Finished);
    runner.Start(SurfaceCheckInputOf(*doc, 0));
    EXPECT_TRUE(runner.Running());
    EXPECT_EQ(runner.Result(), nullptr);
    ASSERT_TRUE(WaitForFinished(finished, 1));
    EXPECT_FALSE(runner.Running());
    ASSERT_NE(runner.Result(), nullptr);
    EXPECT_EQ(runner.Result()->worst.front().number, 4);
    EXPECT_TRUE(runner.Input() == SurfaceCheckInputOf(*doc, 0));
}

TEST(SurfaceCheckRunnerTest, RestartDeliversOnlyTheNewestResult)
{
    auto first = FieldDoc(5, 3);
    auto second = FieldDoc(5, 20);
    CSurfaceCheckRunner runner;
    QSignalSpy finished(&runner, &CSurfaceCheckRunner::Finished);
    runner.Start(SurfaceCheckInputOf(*first, 0));
    // Let the first run finish and post its result before the restart: the posted result is
    // outdated when it arrives and must not be shown.
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    runner.Start(SurfaceCheckInputOf(*second, 0));
    ASSERT_TRUE(WaitForFinished(finished, 1));
    QTest::qWait(100);
    EXPECT_EQ(finished.count(), 1);
    ASSERT_NE(runner.Result(), nullptr);
    EXPECT_EQ(runner.Result()->worst.front().number, 21);
}

TEST(SurfaceCheckRunnerTest, CancelDropsTheResultAndStopsALargeCheckQuickly)
{
    auto doc = FieldDoc(45);  // 2025 points: seconds of work
    CSurfaceCheckRunner runner;
    QSignalSpy finished(&runner, &CSurfaceCheckRunner::Finished);
    runner.Start(SurfaceCheckInputOf(*doc, 0));
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    QElapsedTimer t;
    t.start();
    runner.Cancel();
    EXPECT_LT(t.elapsed(), 1000);
    EXPECT_FALSE(runner.Running());
    QTest::qWait(100);
    EXPECT_EQ(finished.count(), 0);
    EXPECT_EQ(runner.Result(), nullptr);
}

TEST(SurfaceCheckRunnerTest, DestroyedWhileRunningStopsQuicklyAndPostsNothing)
{
    auto doc = FieldDoc(45);
    QElapsedTimer t;
    {
        CSurfaceCheckRunner runner;
        runner.Start(SurfaceCheckInputOf(*doc, 0));
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        t.start();
    }
    EXPECT_LT(t.elapsed(), 1000);
    // A result posted to the destroyed runner would crash here.
    QTest::qWait(50);
}

}  // namespace
