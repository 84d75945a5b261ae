#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "document/TessarixDoc.h"
#include "workers/ContourMapThread.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"

namespace {

// A document with its own map computations and a waiter as the main window.
struct Fixture {
    CMapReadyWaiter notify;
    CMapComputationSet* maps = nullptr;
    std::unique_ptr<CTessarixDoc> doc;

    Fixture()
    {
        auto set = std::make_unique<CMapComputationSet>();
        maps = set.get();
        doc = std::make_unique<CTessarixDoc>(std::move(set));
        doc->SetNotify(&notify);
    }
    ~Fixture() { doc.reset(); }  // stops the workers before the waiter goes

    CContourMapThread& Thread(int column = 0) { return maps->Thread(column); }

    void SetPoints(int n, unsigned seed = 3)
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        CTXFloatArray x, y;
        std::array<CTXFloatArray, kColumnCount> values;
        for (int k = 0; k < n; ++k) {
            x.push_back(u(rng));
            y.push_back(u(rng));
            const float d = std::hypot(x.back() - 0.4f, y.back() - 0.5f) + 0.05f;
            values[0].push_back(85.0f - 20.0f * std::log10(d / 0.05f));
        }
        doc->SetPointTable(n, x, y, values);
    }

    // Waits until the worker of `column` runs (busy), or gives up after 5 s.
    bool WaitBusy(int column = 0)
    {
        for (int k = 0; k < 5000; ++k) {
            if (Thread(column).Contours().busy.load() != 0)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
};

struct BoundaryCase {
    const char* name;
    int32_t layout;
    std::vector<KW_FPOINT> expected;
};

class BoundaryPointsTest : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(BoundaryPointsTest, AroundTheAxisRanges)
{
    CTessarixSettings s;
    s.xAxis.start = 0.0f, s.xAxis.stop = 4.0f;
    s.yAxis.start = 1.0f, s.yAxis.stop = 3.0f;
    s.extent = {-9.0f, 9.0f, -9.0f, 9.0f};  // not used for the boundary
    s.boundaryDistance = 0.5f;
    s.boundaryLevel = 42.0f;
    s.boundaryLayout = GetParam().layout;
    CTXFloatArray x{7.0f}, y{7.0f}, v{1.0f};
    AppendBoundaryPoints(s, x, y, v);
    const auto& e = GetParam().expected;
    ASSERT_EQ(x.size(), e.size() + 1);
    for (size_t k = 0; k < e.size(); ++k) {
        EXPECT_EQ(x[k + 1], e[k].x) << k;
        EXPECT_EQ(y[k + 1], e[k].y) << k;
        EXPECT_EQ(v[k + 1], 42.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, BoundaryPointsTest,
    ::testing::Values(
        BoundaryCase{"corners", 0, {{-0.5f, 0.5f}, {4.5f, 0.5f}, {4.5f, 3.5f}, {-0.5f, 3.5f}}},
        BoundaryCase{"side_midpoints", 1, {{-0.5f, 2.0f}, {2.0f, 0.5f}, {4.5f, 2.0f}, {2.0f, 3.5f}}},
        BoundaryCase{"corners_then_midpoints",
                     2,
                     {{-0.5f, 0.5f}, {4.5f, 0.5f}, {4.5f, 3.5f}, {-0.5f, 3.5f}, {-0.5f, 2.0f}, {2.0f, 0.5f},
                      {4.5f, 2.0f}, {2.0f, 3.5f}}},
        BoundaryCase{"unknown_layout", 3, {}}),
    [](const auto& info) { return info.param.name; });

struct ConditioningCase {
    const char* name;
    int32_t flag;
    int32_t step;
    std::vector<int> vertices;  // of the second polyline
};

class ConditioningPointsTest : public ::testing::TestWithParam<ConditioningCase> {};

TEST_P(ConditioningPointsTest, EveryStepthVertexInPictureCoordinates)
{
    const ConditioningCase& c = GetParam();
    CTessarixSettings s;
    s.imageRect = {10.0f, 20.0f, 30.0f, 60.0f};
    // Polyline 0: 2 vertices, no conditioning. Polyline 1: 10 vertices at u = k / 10.
    s.clipPolylines = {2, 10};
    s.clipPoints = {{0.5f, 0.5f}, {0.6f, 0.6f}};
    for (int k = 0; k < 10; ++k)
        s.clipPoints.push_back({float(k) / 10.0f, 0.25f});
    s.conditioningFlags = {0, c.flag};
    s.conditioningLevels = {1.0f, 65.0f};
    s.conditioningSteps = {1, c.step};
    CTXFloatArray x, y, v;
    AppendConditioningPoints(s, x, y, v);
    ASSERT_EQ(x.size(), c.vertices.size());
    for (size_t k = 0; k < c.vertices.size(); ++k) {
        EXPECT_EQ(x[k], 10.0f + 20.0f * (float(c.vertices[k]) / 10.0f));
        EXPECT_EQ(y[k], 20.0f + 40.0f * 0.25f);
        EXPECT_EQ(v[k], 65.0f);
    }
}

INSTANTIATE_TEST_SUITE_P(Steps, ConditioningPointsTest,
                         ::testing::Values(ConditioningCase{"step_3", 1, 3, {0, 3, 6, 9}},
                                           ConditioningCase{"step_1", 1, 1, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
                                           ConditioningCase{"step_0_counts_as_1", 1, 0, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
                                           ConditioningCase{"negative_step", 1, -4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9}},
                                           ConditioningCase{"flag_off", 0, 3, {}}),
                         [](const auto& info) { return info.param.name; });

TEST(ContourMapThreadTest, RequestComputesSurfaceContoursAndPosts)
{
    Fixture f;
    f.SetPoints(40);
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    CContourMapThread& t = f.Thread();
    EXPECT_EQ(t.LastSurfaceStatus(), SurfaceStatus::Computed);
    EXPECT_EQ(t.PendingWork(), RECALC_BITMAP);
    EXPECT_EQ(t.Surface().NX(), 21);
    EXPECT_EQ(t.Contours().entries.size(), 21u);  // levels 20..80
    EXPECT_EQ(f.notify.LastRequestCount(), 1);
    float lo = 0, hi = 0;
    ASSERT_TRUE(f.maps->InputValueRange(0, &lo, &hi));
    EXPECT_EQ(lo, 50.0f);  // the boundary level is below every measured value
    EXPECT_FALSE(f.maps->InputValueRange(3, &lo, &hi));
}

// Autorange took the range from the measured values alone, though the map shows the levels of
// the boundary and conditioning points too: values 60..75 with boundary level 50 gave 60..76.
struct AutorangeCase {
    const char* name;
    int32_t useBoundary;
    int32_t conditioning;  // flag of one clipping polyline at level 90
    float start, stop;
};

void PrintTo(const AutorangeCase& row, std::ostream* os)
{
    *os << row.name;
}

class AutorangeIgnoresTheBoundaryAndConditioningPoints : public ::testing::TestWithParam<AutorangeCase> {};

TEST_P(AutorangeIgnoresTheBoundaryAndConditioningPoints, RangeSpansEveryInputOfTheLastRequest)
{
    const AutorangeCase& c = GetParam();
    Fixture f;
    std::array<CTXFloatArray, kColumnCount> values;
    values[0] = {60.0f, 64.0f, 68.0f, 72.0f, 75.0f};
    f.doc->SetPointTable(5, {0.1f, 0.9f, 0.5f, 0.2f, 0.8f}, {0.1f, 0.2f, 0.5f, 0.8f, 0.9f}, values);
    CTessarixSettings& s = f.doc->Settings();
    s.useBoundaryConditions = c.useBoundary;
    s.boundaryLevel = 50.0f;
    s.clipPolylines = {3};
    s.clipPoints = {{0.3f, 0.3f}, {0.4f, 0.6f}, {0.6f, 0.4f}};
    s.conditioningFlags = {c.conditioning};
    s.conditioningLevels = {90.0f};
    s.conditioningSteps = {1};
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);

    ASSERT_TRUE(f.doc->AutoScaleColor(0));
    EXPECT_FLOAT_EQ(s.zAxis.start, c.start);
    EXPECT_FLOAT_EQ(s.zAxis.stop, c.stop);
}

INSTANTIATE_TEST_SUITE_P(
    Inputs, AutorangeIgnoresTheBoundaryAndConditioningPoints,
    ::testing::Values(AutorangeCase{"boundary_level_below_the_values", 1, 0, 50.0f, 76.0f},
                      AutorangeCase{"measured_values_alone", 0, 0, 60.0f, 76.0f},
                      AutorangeCase{"conditioning_level_above_the_values", 0, 1, 60.0f, 90.0f},
                      AutorangeCase{"both", 1, 1, 50.0f, 90.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ContourMapThreadTest, TwoQuickRequestsGiveOneMapReady)
{
    Fixture f;
    f.SetPoints(300);
    f.doc->Settings().gridCountX = 1000;
    f.doc->Settings().gridCountY = 1000;
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.WaitBusy());
    f.doc->Settings().gridCountX = 30;
    f.doc->Settings().gridCountY = 30;
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 30000));
    f.maps->WaitUntilIdle(0);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(f.notify.Count(0), 1);
    EXPECT_EQ(f.Thread().Surface().NX(), 31);
    EXPECT_EQ(f.Thread().PendingWork(), RECALC_BITMAP);
}

TEST(ContourMapThreadTest, CancelMidSurfaceKeepsItPendingAndPostsNothing)
{
    Fixture f;
    f.SetPoints(300);
    f.doc->Settings().gridCountX = 1000;
    f.doc->Settings().gridCountY = 1000;
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.WaitBusy());
    f.maps->Reset();  // cancels exactly as a request does
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.notify.Count(0), 0);
    EXPECT_EQ(f.Thread().PendingWork(), RECALC_ALL);
    EXPECT_FALSE(f.Thread().Surface().IsValid());
    float z = 0;
    EXPECT_FALSE(f.maps->SurfaceValueAt(0, 0.5f, 0.5f, f.doc->Settings(), &z));
}

TEST(ContourMapThreadTest, CancelMidTraceKeepsContoursPending)
{
    Fixture f;
    f.SetPoints(60);
    f.doc->Settings().gridCountX = 1000;
    f.doc->Settings().gridCountY = 1000;
    f.doc->RequestMaps(RECALC_SURFACE);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 60000));
    f.maps->WaitUntilIdle(0);
    ASSERT_EQ(f.Thread().PendingWork(), 0);
    // Thousands of sub-levels keep the tracer busy long enough to be stopped.
    f.doc->Settings().zAxis.step = 0.005f;
    f.doc->RequestMaps(RECALC_CONTOURS);
    ASSERT_TRUE(f.WaitBusy());
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    f.maps->Reset();
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.notify.Count(0), 1);
    EXPECT_EQ(f.Thread().PendingWork(), RECALC_CONTOURS);
}

TEST(ContourMapThreadTest, FewerThanThreePointsKeepThePreviousSurface)
{
    Fixture f;
    f.SetPoints(12);
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    const float before = f.Thread().Surface().Value(3, 4);
    f.doc->Settings().useBoundaryConditions = 0;
    f.SetPoints(2);
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 2, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastSurfaceStatus(), SurfaceStatus::TooFewPoints);
    EXPECT_TRUE(f.Thread().Surface().IsValid());
    EXPECT_EQ(f.Thread().Surface().Value(3, 4), before);
    EXPECT_EQ(f.Thread().PendingWork() & RECALC_SURFACE, RECALC_SURFACE);
}

TEST(ContourMapThreadTest, EmptyColumnWithBoundaryIsFlatWithoutContours)
{
    Fixture f;
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastSurfaceStatus(), SurfaceStatus::Computed);
    float lo = 0, hi = 0;
    f.Thread().Surface().GetValueRange(&lo, &hi);
    EXPECT_NEAR(lo, 50.0f, 1e-3f);
    EXPECT_NEAR(hi, 50.0f, 1e-3f);
    EXPECT_EQ(f.Thread().PendingWork(), RECALC_CONTOURS | RECALC_BITMAP);  // a flat surface fails the trace
}

TEST(ContourMapThreadTest, SingularSurfaceStaysPendingAndStillPosts)
{
    Fixture f;
    f.SetPoints(5);
    f.doc->Settings().interpParameter = 0.0f;  // Multiquadric with c = 0: first pivot 0
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastSurfaceStatus(), SurfaceStatus::Singular);
    EXPECT_FALSE(f.Thread().Surface().IsValid());
    EXPECT_EQ(f.Thread().PendingWork(), RECALC_ALL);
}

TEST(ContourMapThreadTest, PictureFollowsTheClientSizeAndResetDropsIt)
{
    Fixture f;
    f.SetPoints(20);
    EXPECT_FALSE(f.maps->HasPicture(0));
    f.doc->OnViewSizeChanged({0, 0, 320, 200});
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    QImage picture;
    ASSERT_TRUE(f.maps->CopyPicture(0, &picture));
    EXPECT_EQ(picture.size(), QSize(320, 200));
    EXPECT_EQ(picture.format(), QImage::Format_RGB32);
    f.doc->OnViewSizeChanged({0, 0, 400, 300});
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 2, 20000));
    f.maps->WaitUntilIdle(0);
    ASSERT_TRUE(f.maps->CopyPicture(0, &picture));
    EXPECT_EQ(picture.size(), QSize(400, 300));
    f.doc->DeleteContents();
    EXPECT_FALSE(f.maps->HasPicture(0));
    EXPECT_FALSE(f.maps->CopyPicture(0, &picture));
}

struct ReadoutCase {
    const char* name;
    float x, y;
    bool has;
    int i, j;
};

class SurfaceReadoutTest : public ::testing::TestWithParam<ReadoutCase> {
protected:
    // One computed 10 x 5 cell surface over the extent 10..20 x 0..5, shared by the rows.
    static void SetUpTestSuite()
    {
        f = new Fixture;
        f->SetPoints(25);
        f->doc->Settings().extent = {10.0f, 20.0f, 0.0f, 5.0f};
        f->doc->Settings().gridCountX = 10;
        f->doc->Settings().gridCountY = 5;
        f->doc->RequestMaps(RECALC_SURFACE);
        f->notify.WaitForMapReady(0, 1, 20000);
        f->maps->WaitUntilIdle(0);
    }
    static void TearDownTestSuite()
    {
        delete f;
        f = nullptr;
    }
    static Fixture* f;
};

Fixture* SurfaceReadoutTest::f = nullptr;

TEST_P(SurfaceReadoutTest, LowerLeftNodeOfTheCell)
{
    ASSERT_TRUE(f->Thread().Surface().IsValid());
    const ReadoutCase& c = GetParam();
    float z = -1.0f;
    ASSERT_EQ(f->maps->SurfaceValueAt(0, c.x, c.y, f->doc->Settings(), &z), c.has);
    if (c.has) {
        EXPECT_EQ(z, f->Thread().Surface().Value(c.i, c.j));
    }
}

INSTANTIATE_TEST_SUITE_P(Positions, SurfaceReadoutTest,
                         ::testing::Values(ReadoutCase{"inside_cell", 13.7f, 2.2f, true, 3, 2},
                                           ReadoutCase{"on_node", 15.0f, 1.0f, true, 5, 1},
                                           ReadoutCase{"origin", 10.0f, 0.0f, true, 0, 0},
                                           ReadoutCase{"last_cell", 19.99f, 4.99f, true, 9, 4},
                                           ReadoutCase{"right_edge", 20.0f, 2.0f, false, 0, 0},
                                           ReadoutCase{"top_edge", 12.0f, 5.0f, false, 0, 0},
                                           ReadoutCase{"just_left_of_extent", 9.5f, 2.0f, false, 0, 0},
                                           ReadoutCase{"just_below_extent", 12.0f, -0.2f, false, 0, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(ContourMapThreadTest, ReadoutStaysInsideTheComputedGrid)
{
    Fixture f;
    f.SetPoints(25);
    f.doc->RequestMaps(RECALC_SURFACE);  // 20 x 20 cells
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    CTessarixSettings current = f.doc->Settings();
    current.gridCountX = current.gridCountY = 100;  // changed, not yet recomputed
    float z = 0;
    EXPECT_TRUE(f.maps->SurfaceValueAt(0, 0.1f, 0.1f, current, &z));
    EXPECT_FALSE(f.maps->SurfaceValueAt(0, 0.9f, 0.1f, current, &z));  // cell 90 of a 21-node grid
}

TEST(ContourMapThreadTest, DestroyingTheDocumentStopsARunningWorker)
{
    auto f = std::make_unique<Fixture>();
    f->SetPoints(400);
    f->doc->Settings().gridCountX = 1000;
    f->doc->Settings().gridCountY = 1000;
    f->doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f->WaitBusy());
    const auto start = std::chrono::steady_clock::now();
    f.reset();
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
}

}  // namespace
