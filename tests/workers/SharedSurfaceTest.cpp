#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <thread>
#include <vector>

#include "document/TessarixDoc.h"
#include "mapping/RbfInterpolator.h"
#include "workers/ContourMapThread.h"
#include "workers/MapComputationSet.h"
#include "workers/MapReadyWaiter.h"
#include "workers/SharedSurfaceJob.h"
#include "WorkerDocument.h"

namespace {

#if defined(__SANITIZE_THREAD__)
constexpr bool kUnderThreadSanitizer = true;
#else
constexpr bool kUnderThreadSanitizer = false;
#endif

// The surface of `column` as its own computation (ComputeSurface alone) gives it for the
// document as it stands.
bool OwnSurface(const CTessarixDoc& doc, int column, CSurface3DData& out)
{
    const CTessarixSettings& s = doc.Settings();
    const InterpolationInput in = InterpolationInputOf(doc, s, column);
    CTXFloatArray xn, yn;
    NormaliseToExtent(s.extent, in.x, in.y, &xn, &yn);
    if (!out.Allocate(s.gridCountX + 1, s.gridCountY + 1))
        return false;
    return ComputeSurface(int32_t(in.v.size()), xn.data(), yn.data(), in.v.data(), s.interpFunction,
                          s.interpParameter, 0.0, 0.0, 1.0 / s.gridCountX, 1.0 / s.gridCountY, out, 2);
}

bool SameBits(const CSurface3DData& a, const CSurface3DData& b)
{
    if (!a.IsValid() || !b.IsValid() || a.NX() != b.NX() || a.NY() != b.NY())
        return false;
    const size_t nodes = size_t(a.NX()) * size_t(a.NY());
    return std::memcmp(a.Column(0), b.Column(0), nodes * sizeof(float)) == 0 &&
           std::memcmp(a.XArray().data(), b.XArray().data(), size_t(a.NX()) * sizeof(float)) == 0 &&
           std::memcmp(a.YArray().data(), b.YArray().data(), size_t(a.NY()) * sizeof(float)) == 0 &&
           a.maxPos == b.maxPos && a.minPos == b.minPos;
}

// A document with the program's twelve map workers and every column enabled.
struct TwelveColumns : WorkerDocument {
    TwelveColumns()
    {
        for (int c = 0; c < kColumnCount; ++c)
            doc->Column(c).enabled = true;
    }

    // `n` seeded positions in the unit square, twelve different sound fields at them;
    // `shift` moves every level (a data edit).
    void SetPoints(int n, float shift = 0.0f, unsigned seed = 5)
    {
        std::mt19937 rng(seed);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        CTXFloatArray x, y;
        std::array<CTXFloatArray, kColumnCount> values;
        for (int k = 0; k < n; ++k) {
            x.push_back(u(rng));
            y.push_back(u(rng));
            for (int c = 0; c < kColumnCount; ++c)
                values[size_t(c)].push_back(shift + 60.0f + 20.0f * std::sin(7.0f * x.back() + float(c)) *
                                                             std::cos(5.0f * y.back() - float(c)));
        }
        doc->SetPointTable(n, x, y, values);
    }

    void SetGrid(int32_t countX, int32_t countY)
    {
        doc->Settings().gridCountX = countX;
        doc->Settings().gridCountY = countY;
    }

    // Counts of MapReady so far, per column.
    std::vector<int> Counts() const
    {
        std::vector<int> counts;
        for (int c = 0; c < kColumnCount; ++c)
            counts.push_back(notify.Count(c));
        return counts;
    }

    // Waits for one more MapReady than `before` on each of `columns`, then for every worker.
    bool WaitForColumns(const std::vector<int>& before, const std::vector<int>& columns, int timeoutMs = 120000)
    {
        for (int c : columns)
            if (!notify.WaitForMapReady(c, before[size_t(c)] + 1, timeoutMs))
                return false;
        for (int c = 0; c < kColumnCount; ++c)
            maps->WaitUntilIdle(c);
        return true;
    }

    bool AllBusy()
    {
        for (int k = 0; k < 20000; ++k) {
            bool all = true;
            for (int c = 0; c < kColumnCount; ++c)
                all = all && maps->Thread(c).Contours().busy.load() != 0;
            if (all)
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }

    // Every column's surface has the bits of its own computation.
    void ExpectOwnBits(const char* what)
    {
        for (int c = 0; c < kColumnCount; ++c) {
            CSurface3DData own;
            ASSERT_TRUE(OwnSurface(*doc, c, own)) << what << ", column " << c;
            EXPECT_TRUE(SameBits(maps->Thread(c).Surface(), own)) << what << ", column " << c;
        }
    }
};

const std::vector<int> kAllColumns = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11};

struct DocumentCase {
    const char* name;
    int32_t kernel;
    float parameter;
    bool boundary;
    bool conditioning;
};

class SharedSurfaceDocumentTest : public ::testing::TestWithParam<DocumentCase> {};

// One request for all twelve columns: one shared computation, every surface with the bits its
// own computation gives.
TEST_P(SharedSurfaceDocumentTest, TwelveColumnsHaveTheBitsOfTheirOwnSurfaces)
{
    const DocumentCase& dc = GetParam();
    TwelveColumns f;
    f.SetPoints(80);
    f.SetGrid(70, 45);
    CTessarixSettings& s = f.doc->Settings();
    s.interpFunction = dc.kernel;
    s.interpParameter = dc.parameter;
    s.useBoundaryConditions = dc.boundary ? 1 : 0;
    s.boundaryLayout = BoundaryCornersAndSides;
    if (dc.conditioning) {
        s.imageRect = {0.0f, 0.0f, 1.0f, 1.0f};
        s.clipPolylines = {5};
        s.clipPoints = {{0.1f, 0.1f}, {0.3f, 0.2f}, {0.5f, 0.4f}, {0.7f, 0.5f}, {0.9f, 0.9f}};
        s.conditioningFlags = {1};
        s.conditioningLevels = {48.0f};
        s.conditioningSteps = {1};
    }
    const std::vector<int> before = f.Counts();
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.WaitForColumns(before, kAllColumns));
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_TRUE(f.maps->Thread(c).SharesSurface()) << c;
        EXPECT_EQ(f.maps->Thread(c).LastSurfaceStatus(), SurfaceStatus::Computed) << c;
    }
    f.ExpectOwnBits(dc.name);
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, SharedSurfaceDocumentTest,
    ::testing::Values(DocumentCase{"multiquadric", RbfMultiquadric, 0.2f, false, false},
                      DocumentCase{"multiquadric_boundary_conditioning", RbfMultiquadric, 0.2f, true, true},
                      DocumentCase{"madych_nelson_boundary", RbfMadychNelson, 0.2f, true, false},
                      DocumentCase{"thin_plate_conditioning", RbfThinPlateSpline, 0.2f, false, true},
                      DocumentCase{"cubic_boundary_conditioning", RbfCubicMultiquadric, 0.3f, true, true},
                      DocumentCase{"gaussian_boundary", RbfGaussian, 5.0f, true, false}),
    [](const auto& info) { return info.param.name; });

// The sample document (its positions, boundary and grid settings), with every column enabled and
// filled from its measured levels, against each column's own computation.
TEST(SharedSurfaceTest, SampleDocumentHasTheBitsOfItsOwnSurfaces)
{
    TwelveColumns f;
    std::vector<int> before = f.Counts();
    ASSERT_EQ(f.doc->OnOpenDocument(QStringLiteral(TESSARIX_SAMPLES_DIR "/factory-hall.Tsrix")), DocFileStatus::Ok);
    const std::vector<int32_t> enabled = f.doc->EnabledColumnIndices();
    ASSERT_GE(enabled.size(), 1u);
    ASSERT_TRUE(f.WaitForColumns(before, std::vector<int>(enabled.begin(), enabled.end())));
    const CTXFloatArray measured = f.doc->Column(enabled.front()).values;
    for (int c = 0; c < kColumnCount; ++c) {
        f.doc->Column(c).enabled = true;
        CTXFloatArray& values = f.doc->Column(c).values;
        values = measured;
        for (size_t k = 0; k < values.size(); ++k)
            values[k] -= float(c) * (1.0f + 0.1f * float(k % 7));  // a band spectrum of sorts
    }
    before = f.Counts();
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.WaitForColumns(before, kAllColumns));
    for (int c = 0; c < kColumnCount; ++c)
        EXPECT_TRUE(f.maps->Thread(c).SharesSurface()) << c;
    f.ExpectOwnBits("sample");
}

// A request for some columns computes those (sharing among them) and leaves the rest alone.
TEST(SharedSurfaceTest, SubsetOfColumnsSharesAmongThemselvesOnly)
{
    TwelveColumns f;
    f.SetPoints(60);
    f.SetGrid(50, 40);
    const std::vector<int> subset = {1, 4, 7};
    const std::vector<int> before = f.Counts();
    EXPECT_EQ(f.maps->RequestColumns(*f.doc, subset, 4, RECALC_ALL), 3);
    ASSERT_TRUE(f.WaitForColumns(before, subset));
    for (int c = 0; c < kColumnCount; ++c) {
        const bool asked = c == 1 || c == 4 || c == 7;
        EXPECT_EQ(f.notify.Count(c), asked ? 1 : 0) << c;
        EXPECT_EQ(f.maps->Thread(c).SharesSurface(), asked) << c;
        if (asked) {
            CSurface3DData own;
            ASSERT_TRUE(OwnSurface(*f.doc, c, own));
            EXPECT_TRUE(SameBits(f.maps->Thread(c).Surface(), own)) << c;
        } else {
            EXPECT_FALSE(f.maps->Thread(c).Surface().IsValid()) << c;
        }
    }
}

// A data edit while the shared pass runs stops it at once, and every column ends with the
// surface of the edit. The best of three tries is taken, so that a moment when the loaded
// machine gave the workers no core does not count; a pass that ran on would miss every time.
TEST(SharedSurfaceTest, NewRequestDuringThePassCancelsItQuickly)
{
    TwelveColumns f;
    auto best = std::chrono::steady_clock::duration::max();
    for (int attempt = 0; attempt < 3; ++attempt) {
        f.SetPoints(400);
        f.SetGrid(1000, 1000);
        const std::vector<int> before = f.Counts();
        f.doc->RequestMaps(RECALC_ALL);
        ASSERT_TRUE(f.AllBusy());
        std::this_thread::sleep_for(std::chrono::milliseconds(100));  // past the decomposition
        f.SetPoints(400, 3.0f + float(attempt));
        f.SetGrid(120, 90);
        const auto start = std::chrono::steady_clock::now();
        f.doc->RequestMaps(RECALC_ALL);
        best = std::min(best, std::chrono::steady_clock::now() - start);
        ASSERT_TRUE(f.WaitForColumns(before, kAllColumns));
        f.ExpectOwnBits("after the cancel");
    }
    const auto limit = std::chrono::milliseconds(kUnderThreadSanitizer ? 1000 : 50);
    EXPECT_LT(best, limit) << std::chrono::duration_cast<std::chrono::milliseconds>(best).count() << " ms";
}

// Two requests in quick succession: every column ends with the surface of the second and
// exactly one MapReady answers both. The first request is large enough (a 1000 x 1000 grid) that
// it cannot finish, and post a MapReady of its own, in the moment before the second arrives.
TEST(SharedSurfaceTest, TwoQuickRequestsLeaveTheSecondSurfaces)
{
    TwelveColumns f;
    f.SetPoints(400);
    f.SetGrid(1000, 1000);
    const std::vector<int> before = f.Counts();
    f.doc->RequestMaps(RECALC_ALL);
    f.SetPoints(150, -4.0f, 9);
    f.SetGrid(200, 150);
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.WaitForColumns(before, kAllColumns));
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    for (int c = 0; c < kColumnCount; ++c)
        EXPECT_EQ(f.notify.Count(c), before[size_t(c)] + 1) << c;
    f.ExpectOwnBits("second request");
}

// One column of a running group is asked again alone (its values edited): it computes on its
// own, the others finish the shared pass without it, and nobody is left half computed.
TEST(SharedSurfaceTest, ColumnRequestedAloneMidPassLeavesTheGroup)
{
    TwelveColumns f;
    f.SetPoints(300);
    f.SetGrid(400, 300);
    const std::vector<int> before = f.Counts();
    f.doc->RequestMaps(RECALC_ALL);
    ASSERT_TRUE(f.AllBusy());
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    CTXFloatArray& values = f.doc->Column(3).values;
    for (float& v : values)
        v += 2.5f;
    f.maps->Request(*f.doc, 3, false, RECALC_ALL);
    ASSERT_TRUE(f.WaitForColumns(before, kAllColumns));
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(f.maps->Thread(c).SharesSurface(), c != 3) << c;
        EXPECT_EQ(f.maps->Thread(c).LastSurfaceStatus(), SurfaceStatus::Computed) << c;
    }
    f.ExpectOwnBits("after the lone request");
}

// ---- the job alone --------------------------------------------------------------------------

SharedSurfaceKey KeyOf(float x0, int32_t countX = 10, int32_t function = RbfMultiquadric)
{
    SharedSurfaceKey key;
    key.x = {x0, 0.5f, 0.9f};
    key.y = {0.1f, 0.8f, 0.3f};
    key.gridCountX = countX;
    key.gridCountY = 10;
    key.function = function;
    key.parameter = 0.2f;
    return key;
}

struct JoinCase {
    const char* name;
    SharedSurfaceKey second;
    bool sealFirst;
    int expectedSlot;
};

class SharedSurfaceJoinTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(SharedSurfaceJoinTest, OnlyMatchingInputsJoinBeforeTheSeal)
{
    CSharedSurfaceJob job;
    ASSERT_EQ(job.Join(KeyOf(0.1f)), 0);
    if (GetParam().sealFirst)
        job.Seal();
    EXPECT_EQ(job.Join(GetParam().second), GetParam().expectedSlot);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, SharedSurfaceJoinTest,
    ::testing::Values(JoinCase{"same_inputs", KeyOf(0.1f), false, 1},
                      JoinCase{"other_position", KeyOf(0.2f), false, -1},
                      JoinCase{"other_grid", KeyOf(0.1f, 11), false, -1},
                      JoinCase{"other_function", KeyOf(0.1f, 10, RbfGaussian), false, -1},
                      JoinCase{"after_the_seal", KeyOf(0.1f), true, -1}),
    [](const auto& info) { return info.param.name; });

// Members that never compute (their request was superseded before the worker started) hold
// nobody up, wherever they leave; the others get their exact surfaces.
struct AbsentCase {
    const char* name;
    bool leaveBeforeSeal;
    bool cancelledWhileWaiting;  // the absent member computes with its flag raised instead
};

class SharedSurfaceAbsentTest : public ::testing::TestWithParam<AbsentCase> {};

TEST_P(SharedSurfaceAbsentTest, OthersFinishWithTheirOwnBits)
{
    const AbsentCase& ac = GetParam();
    std::mt19937 rng(4);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    const int n = 40;
    std::vector<float> x, y;
    std::vector<std::vector<float>> v(3);
    for (int k = 0; k < n; ++k) {
        x.push_back(u(rng)), y.push_back(u(rng));
        for (auto& column : v)
            column.push_back(50.0f + 10.0f * u(rng));
    }
    const RbfGridGeometry grid{0.0, 0.0, 1.0 / 30, 1.0 / 20};
    CSharedSurfaceJob job;
    for (int m = 0; m < 3; ++m)
        ASSERT_EQ(job.Join(KeyOf(0.1f)), m);
    if (ac.leaveBeforeSeal)
        job.Leave(1);
    job.Seal();
    std::vector<std::unique_ptr<CSurface3DData>> surfaces;
    std::vector<RbfStatus> status(3, RbfStatus::Singular);
    std::vector<char> ok(3, 0);  // one byte per member thread (vector<bool> would share words)
    for (int m = 0; m < 3; ++m) {
        surfaces.push_back(std::make_unique<CSurface3DData>());
        ASSERT_TRUE(surfaces.back()->Allocate(31, 21));
    }
    std::atomic<int32_t> raised{1}, lowered{0};
    std::vector<std::thread> members;
    for (int m = 0; m < 3; ++m) {
        if (m == 1 && !ac.cancelledWhileWaiting) {
            if (!ac.leaveBeforeSeal)
                job.Leave(1);
            continue;
        }
        members.emplace_back([&, m] {
            const std::atomic<int32_t>* cancel = m == 1 ? &raised : &lowered;
            if (m == 1)
                job.Leave(1);  // as RaiseCancel does before the worker gets to the job
            ok[size_t(m)] = char(job.Compute(m, {n, x.data(), y.data(), v[size_t(m)].data(), RbfMultiquadric, 0.2f, grid},
                                        *surfaces[size_t(m)], cancel, &status[size_t(m)]));
        });
    }
    for (std::thread& t : members)
        t.join();
    for (int m : {0, 2}) {
        ASSERT_TRUE(ok[size_t(m)]) << m;
        CSurface3DData own;
        ASSERT_TRUE(own.Allocate(31, 21));
        ASSERT_TRUE(ComputeSurface(n, x.data(), y.data(), v[size_t(m)].data(), RbfMultiquadric, 0.2f, 0.0, 0.0,
                                   grid.dx, grid.dy, own, 1));
        EXPECT_TRUE(SameBits(*surfaces[size_t(m)], own)) << m;
    }
    if (ac.cancelledWhileWaiting) {
        EXPECT_FALSE(ok[1]);
        EXPECT_EQ(status[1], RbfStatus::Cancelled);
        EXPECT_FALSE(surfaces[1]->IsValid());
    }
}

INSTANTIATE_TEST_SUITE_P(Phases, SharedSurfaceAbsentTest,
                         ::testing::Values(AbsentCase{"left_before_the_seal", true, false},
                                           AbsentCase{"left_after_the_seal", false, false},
                                           AbsentCase{"cancelled_member_computes", false, true}),
                         [](const auto& info) { return info.param.name; });

// A singular system fails every member alike, as each member's own solve would.
TEST(SharedSurfaceTest, SingularSystemFailsEveryMember)
{
    const std::vector<float> x = {0.1f, 0.5f, 0.9f, 0.3f}, y = {0.1f, 0.8f, 0.3f, 0.6f}, v = {1, 2, 3, 4};
    CSharedSurfaceJob job;
    ASSERT_EQ(job.Join(KeyOf(0.1f)), 0);
    ASSERT_EQ(job.Join(KeyOf(0.1f)), 1);
    job.Seal();
    std::atomic<int32_t> lowered{0};
    RbfStatus status[2] = {RbfStatus::Solved, RbfStatus::Solved};
    bool ok[2] = {true, true};
    auto run = [&](int m) {
        CSurface3DData s;
        s.Allocate(11, 11);
        ok[m] = job.Compute(m, {4, x.data(), y.data(), v.data(), RbfLogarithmic, 0.0f, {0, 0, 0.1, 0.1}}, s, &lowered,
                            &status[m]);
    };
    std::thread other(run, 1);
    run(0);
    other.join();
    for (int m = 0; m < 2; ++m) {
        EXPECT_FALSE(ok[m]) << m;
        EXPECT_EQ(status[m], RbfStatus::Singular) << m;
    }
}

}  // namespace
