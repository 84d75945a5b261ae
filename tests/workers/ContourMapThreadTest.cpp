#include <gtest/gtest.h>

#include <ostream>

#include <chrono>
#include <cmath>
#include <climits>
#include <mutex>
#include <random>
#include <thread>

#include "document/TessarixDoc.h"
#include "mapping/RbfInterpolator.h"
#include "document/DocStrings.h"
#include "workers/ContourMapThread.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"
#include "workers/WorkerStrings.h"
#include "util/StringTable.h"
#include "WorkerDocument.h"

namespace {

// A document with its own map computations and a waiter as the main window.
struct Fixture : WorkerDocument {
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
    f.doc->Settings().zAxis.step = 0.01f;  // 6001 levels, within the series bound
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

// Enabling a column (Main Setup, or an Undo that re-enables it) gave a tab with axes but no
// surface: SetColumnDefinitions requested nothing, and later requests (flags 4 or 6) never
// copied the column's values. The newly enabled column now gets its map at once, and a column
// whose data changed while it was disabled is computed again from the new data.
TEST(ContourMapThreadTest, EnabledColumnGetsItsMapAtOnce)
{
    Fixture f;
    f.doc->OnNewDocument();
    auto table = [&](float offset) {
        CTXFloatArray x, y;
        std::array<CTXFloatArray, kColumnCount> values;
        for (int k = 0; k < 30; ++k) {
            x.push_back(0.03f * float(k));
            y.push_back(float((k * 7) % 30) / 30.0f);
            values[0].push_back(60.0f + float(k % 9));
            values[3].push_back(offset + 25.0f * x.back());
        }
        f.doc->SetPointTable(30, x, y, values);
    };
    table(30.0f);
    f.doc->OnViewSizeChanged({0, 0, 320, 240});
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    std::array<bool, kColumnCount> on{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = f.doc->Column(c).name;
    on[0] = on[3] = true;
    f.doc->SetColumnDefinitions(on, names);
    ASSERT_TRUE(f.notify.WaitForMapReady(3, 1, 20000)) << "no map for the newly enabled column";
    f.maps->WaitUntilIdle(3);
    EXPECT_EQ(f.Thread(3).LastSurfaceStatus(), SurfaceStatus::Computed);
    EXPECT_TRUE(f.Thread(3).Surface().IsValid());
    EXPECT_FALSE(f.Thread(3).Contours().entries.empty());
    EXPECT_EQ(f.Thread(3).PendingWork(), RECALC_BITMAP);
    EXPECT_TRUE(f.maps->HasPicture(3));

    // Disabled, its data changed, then re-enabled by Undo (a request with flags 4 only).
    on[3] = false;
    f.doc->SetColumnDefinitions(on, names);
    table(70.0f);
    f.doc->Undo();
    ASSERT_EQ(f.doc->Column(3).enabled, 1);
    ASSERT_TRUE(f.notify.WaitForMapReady(3, 2, 20000));
    f.maps->WaitUntilIdle(3);
    float lo = 0, hi = 0;
    ASSERT_TRUE(f.maps->InputValueRange(3, &lo, &hi));
    EXPECT_FLOAT_EQ(hi, 70.0f + 25.0f * (0.03f * 29.0f));  // the new data, not the copy from before
    float zlo = 0, zhi = 0;
    f.Thread(3).Surface().GetValueRange(&zlo, &zhi);
    EXPECT_GT(zhi, 85.0f);
    EXPECT_EQ(f.Thread(3).PendingWork(), RECALC_BITMAP);
}

// Two measurements at one position made the solve fail silently: the tab kept the old contours
// without colour areas. The map now carries the reason, naming the two points as the table
// numbers them, and draws no contour of the earlier surface.
TEST(ContourMapThreadTest, CoincidingPointsAreNamedInTheMap)
{
    Fixture f;
    f.SetPoints(12);
    f.doc->Settings().mapMode = MapModeColorMap;
    f.doc->OnViewSizeChanged({0, 0, 400, 300});
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_TRUE(f.Thread().WarningText().isEmpty());
    QImage good;
    ASSERT_TRUE(f.maps->CopyPicture(0, &good));

    CTXFloatArray x = f.doc->X(), y = f.doc->Y();
    std::array<CTXFloatArray, kColumnCount> values;
    for (int c = 0; c < kColumnCount; ++c)
        values[size_t(c)] = f.doc->Column(c).values;
    x[9] = x[4];  // points 5 and 10 of the table
    y[9] = y[4];
    x[11] = x[2];  // a later pair is not the first one
    y[11] = y[2];
    f.doc->SetPointTable(12, x, y, values);
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 2, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastSurfaceStatus(), SurfaceStatus::Singular);
    EXPECT_EQ(f.Thread().WarningText(), TxFormat(IDS_WARN_POINTS_COINCIDE, QStringLiteral("5"), QStringLiteral("10")));
    EXPECT_TRUE(f.Thread().WarningText().startsWith(QStringLiteral("WARNING! ")));
    QImage failed;
    ASSERT_TRUE(f.maps->CopyPicture(0, &failed));
    // No colour area is left: the graph holds the graph colour and the black and white warning box.
    const TxRect g = f.doc->Layout().graph;
    const QRgb graphColour = failed.pixel(g.left + 3, g.top + 3);
    int coloured = 0;
    for (int yy = g.top + 1; yy < g.bottom - 1; yy += 3)
        for (int xx = g.left + 1; xx < g.right - 1; xx += 3) {
            const QRgb p = failed.pixel(xx, yy);
            const bool grey = qRed(p) == qGreen(p) && qGreen(p) == qBlue(p);
            coloured += (p != graphColour && !grey) ? 1 : 0;
        }
    EXPECT_EQ(coloured, 0);
    EXPECT_NE(failed, good);
}

struct AddedPointCase {
    const char* name;
    int measured;   // measured points; one of them sits on the first boundary corner when asked
    bool onCorner;
    float parameter;
    int expectedText;
};

class FailedSolveReasonTest : public ::testing::TestWithParam<AddedPointCase> {};

TEST_P(FailedSolveReasonTest, TheMapSaysWhy)
{
    const AddedPointCase& c = GetParam();
    Fixture f;
    f.SetPoints(c.measured);
    if (c.onCorner) {
        CTXFloatArray x = f.doc->X(), y = f.doc->Y();
        std::array<CTXFloatArray, kColumnCount> values;
        values[0] = f.doc->Column(0).values;
        const CTessarixSettings& s = f.doc->Settings();
        x[2] = s.xAxis.start - s.boundaryDistance;
        y[2] = s.yAxis.start - s.boundaryDistance;
        f.doc->SetPointTable(c.measured, x, y, values);
    }
    f.doc->Settings().interpParameter = c.parameter;
    f.doc->OnViewSizeChanged({0, 0, 300, 200});
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    QString expected = TxString(c.expectedText);
    if (c.expectedText == IDS_WARN_POINT_ON_ADDED_POINT)
        expected = TxFormat(c.expectedText, QStringLiteral("3"));
    EXPECT_EQ(f.Thread().WarningText(), expected);
    EXPECT_EQ(f.Thread().SurfaceFailureText(), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Reasons, FailedSolveReasonTest,
    ::testing::Values(AddedPointCase{"measured_on_boundary_corner", 8, true, 0.2f, IDS_WARN_POINT_ON_ADDED_POINT},
                      AddedPointCase{"parameter_zero", 8, false, 0.0f, IDS_WARN_SURFACE_SINGULAR}),
    [](const auto& info) { return info.param.name; });

struct CoincidenceCase {
    const char* name;
    std::vector<float> x, y;
    bool found;
    int32_t first, second;
};

class FindCoincidingPointsTest : public ::testing::TestWithParam<CoincidenceCase> {};

TEST_P(FindCoincidingPointsTest, FirstRepeatAndItsEarliestTwin)
{
    const CoincidenceCase& c = GetParam();
    int32_t first = -1, second = -1;
    ASSERT_EQ(FindCoincidingPoints(c.x, c.y, &first, &second), c.found);
    if (c.found) {
        EXPECT_EQ(first, c.first);
        EXPECT_EQ(second, c.second);
    }
}

const float kNaN = std::nanf("");

INSTANTIATE_TEST_SUITE_P(
    Tables, FindCoincidingPointsTest,
    ::testing::Values(CoincidenceCase{"all_distinct", {0, 1, 2}, {0, 0, 0}, false, 0, 0},
                      CoincidenceCase{"same_x_other_y", {1, 1, 1}, {0, 1, 2}, false, 0, 0},
                      CoincidenceCase{"adjacent", {0, 5, 5, 2}, {0, 3, 3, 1}, true, 1, 2},
                      CoincidenceCase{"earliest_repeat_wins", {7, 1, 2, 1, 7}, {7, 1, 2, 1, 7}, true, 1, 3},
                      CoincidenceCase{"three_at_one_place", {4, 4, 0, 4}, {4, 4, 0, 4}, true, 0, 1},
                      CoincidenceCase{"negative_zero_is_zero", {0.0f, 1, -0.0f}, {2, 2, 2}, true, 0, 2},
                      CoincidenceCase{"nan_never_coincides", {kNaN, kNaN, 1}, {0, 0, 0}, false, 0, 0}),
    [](const auto& info) { return info.param.name; });

// A tiny colour axis step (3e7..3.1e7 by 0.3) hung the worker in the level series, and with it
// every later request and the program's exit. The map now comes with no contours and the
// reason; the next request is served at once.
TEST(ContourMapThreadTest, TinyColourStepGivesAWarningNotAHang)
{
    Fixture f;
    f.SetPoints(20);
    f.doc->Settings().zAxis.start = 3e7f;
    f.doc->Settings().zAxis.stop = 3.1e7f;
    f.doc->Settings().zAxis.step = 0.3f;
    f.doc->RefreshAxes(PropZRange);
    f.doc->OnViewSizeChanged({0, 0, 300, 200});
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastLevelStatus(), LevelSeriesStatus::StepDoesNotAdvance);
    EXPECT_TRUE(f.Thread().Levels().empty());
    EXPECT_TRUE(f.Thread().Contours().entries.empty());
    EXPECT_EQ(f.Thread().WarningText(), LevelRefusalText(0.3f, 3e7f, 3.1e7f));
    EXPECT_TRUE(f.Thread().WarningText().startsWith(QStringLiteral("WARNING! ")));

    f.doc->Settings().zAxis = CTessarixSettings().zAxis;
    f.doc->RefreshAxes(PropZRange);
    f.doc->RequestMaps(RECALC_BITMAP);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 2, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastLevelStatus(), LevelSeriesStatus::Ok);
    EXPECT_FALSE(f.Thread().Contours().entries.empty());
    EXPECT_TRUE(f.Thread().WarningText().isEmpty());
}

// Grid counts reach the worker unchecked from a file or a command: INT32_MAX made nx + 1
// overflow and 60000 x 60000 tried a 14 GB grid. Both are refused before any allocation.
TEST(ContourMapThreadTest, HugeGridCountIsRefusedBeforeAllocating)
{
    for (int32_t count : {1001, 60000, INT32_MAX, 0, -5}) {
        Fixture f;
        f.SetPoints(10);
        f.doc->Settings().gridCountX = count;
        f.doc->RequestMaps(RECALC_ALL);
        ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 20000));
        f.maps->WaitUntilIdle(0);
        EXPECT_EQ(f.Thread().LastSurfaceStatus(), SurfaceStatus::GridTooLarge) << count;
        EXPECT_FALSE(f.Thread().Surface().HasGrid()) << count;
        EXPECT_TRUE(f.Thread().WarningText().contains(QString::number(count))) << count;
    }
}

// A std::bad_alloc inside the worker ended the program. A system too large for the memory (or,
// below that, too slow to solve) is a failed map with a message, refused before it is allocated
// so that an overcommitting system cannot hand it out and then end the program while it is
// filled, and the worker serves the next request.
TEST(ContourMapThreadTest, OutOfMemoryIsAFailedMapNotATermination)
{
    Fixture f;
    f.SetPoints(400000);  // a 400003-order system needs 1.3 TB
    f.doc->Settings().gridCountX = f.doc->Settings().gridCountY = 10;
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 1, 60000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastSurfaceStatus(), SurfaceStatus::TooManyPoints);
    // The count given includes the boundary points the request added.
    const QString warning = f.Thread().WarningText();
    EXPECT_TRUE(warning.startsWith(TxString(IDS_WARN_TOO_MANY_POINTS).section(QStringLiteral("%1"), 0, 0) +
                                   QStringLiteral("4000")))
        << warning.toStdString();
    EXPECT_TRUE(warning.endsWith(TxString(IDS_WARN_TOO_MANY_POINTS).section(QStringLiteral("%2"), 1)))
        << warning.toStdString();
    EXPECT_TRUE(warning.contains(QString::number(kMaxInterpolationPoints))) << warning.toStdString();
    f.SetPoints(30);
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.notify.WaitForMapReady(0, 2, 20000));
    f.maps->WaitUntilIdle(0);
    EXPECT_EQ(f.Thread().LastSurfaceStatus(), SurfaceStatus::Computed);
    EXPECT_TRUE(f.Thread().WarningText().isEmpty());
}

// MapsRequested was posted after the workers were woken, and carried every request, cancelled or
// not; a fast MapReady before it, or a cancelled run that never answered, left the busy count
// above zero for good. Now each counted map gets exactly one MapReady, in whatever order.
class BalanceNotify final : public IMapNotify {
public:
    intptr_t SendMapNotify(int, intptr_t) override { return 0; }
    void PostMapNotify(int code, intptr_t argument) override
    {
        std::lock_guard<std::mutex> lock(m);
        if (code == MapNotifyMapsRequested)
            balance += int(argument);
        else if (code == MapNotifyMapReady)
            --balance;
    }
    int Balance()
    {
        std::lock_guard<std::mutex> lock(m);
        return balance;
    }
    std::mutex m;
    int balance = 0;
};

TEST(ContourMapThreadTest, BusyCountReturnsToZeroWhateverTheOrder)
{
    BalanceNotify notify;
    auto set = std::make_unique<CMapComputationSet>();
    CMapComputationSet* maps = set.get();
    auto doc = std::make_unique<CTessarixDoc>(std::move(set));
    doc->SetNotify(&notify);
    doc->OnNewDocument();
    std::array<bool, kColumnCount> on{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = doc->Column(c).name;
    on[0] = on[1] = on[2] = true;
    doc->SetColumnDefinitions(on, names);
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int k = 0; k < 200; ++k) {
        x.push_back(u(rng));
        y.push_back(u(rng));
        for (int c = 0; c < 3; ++c)
            values[size_t(c)].push_back(50.0f + 30.0f * u(rng));
    }
    doc->SetPointTable(200, x, y, values);
    doc->Settings().gridCountX = doc->Settings().gridCountY = 300;
    // Requests in quick succession cancel runs in progress, and a fast one may answer before its
    // MapsRequested is posted.
    for (int round = 0; round < 12; ++round) {
        doc->RequestMaps(round % 3 == 0 ? RECALC_ALL : RECALC_BITMAP);
        std::this_thread::sleep_for(std::chrono::milliseconds(round % 4));
    }
    for (int c = 0; c < 3; ++c)
        maps->WaitUntilIdle(c);
    EXPECT_EQ(notify.Balance(), 0);
    for (int c = 0; c < 3; ++c)
        EXPECT_FALSE(maps->Thread(c).MapOutstanding()) << c;
    doc.reset();
}

}  // namespace
