#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>

#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"

namespace {

struct Points {
    std::vector<float> x, y, v;
    void Add(float px, float py, float pv)
    {
        x.push_back(px);
        y.push_back(py);
        v.push_back(pv);
    }
    int32_t N() const { return int32_t(x.size()); }
};

// A smooth sound field sampled at `n` seeded random positions in the unit square.
Points SoundField(int n, unsigned seed = 7)
{
    std::mt19937 rng(seed);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    Points p;
    for (int k = 0; k < n; ++k) {
        const float x = u(rng), y = u(rng);
        const float d = std::hypot(x - 0.3f, y - 0.6f) + 0.05f;
        p.Add(x, y, 90.0f - 20.0f * std::log10(d / 0.05f) + 3.0f * std::sin(6.0f * x));
    }
    return p;
}

struct KernelCase {
    const char* name;
    int32_t kernel;
    float c;
};

class ExactInterpolationTest : public ::testing::TestWithParam<KernelCase> {};

TEST_P(ExactInterpolationTest, PassesThroughEveryPoint)
{
    const KernelCase& k = GetParam();
    Points p;
    p.Add(0.1f, 0.1f, 40.0f);
    p.Add(0.9f, 0.2f, 60.0f);
    p.Add(0.5f, 0.8f, 75.0f);
    p.Add(0.4f, 0.4f, 52.0f);
    p.Add(0.7f, 0.6f, 66.0f);
    CRbfInterpolator rbf;
    rbf.SetUp(k.kernel, k.c, p.N(), p.x.data(), p.y.data(), p.v.data());
    ASSERT_TRUE(rbf.Solve());
    for (int i = 0; i < p.N(); ++i)
        EXPECT_NEAR(rbf.Evaluate(p.x[size_t(i)], p.y[size_t(i)]), p.v[size_t(i)], 1e-6) << "point " << i;
}

INSTANTIATE_TEST_SUITE_P(Kernels, ExactInterpolationTest,
                         ::testing::Values(KernelCase{"multiquadric", RbfMultiquadric, 0.2f},
                                           KernelCase{"madych_nelson", RbfMadychNelson, 0.2f},
                                           KernelCase{"thin_plate", RbfThinPlateSpline, 0.5f},
                                           KernelCase{"cubic", RbfCubicMultiquadric, 0.3f},
                                           KernelCase{"gaussian", RbfGaussian, 2.0f}),
                         [](const auto& info) { return info.param.name; });

struct PhiCase {
    const char* name;
    int32_t kernel;
    double c, r2, expected;
};

class KernelValueTest : public ::testing::TestWithParam<PhiCase> {};

TEST_P(KernelValueTest, MatchesTable)
{
    const PhiCase& k = GetParam();
    const double got = k.r2 == 0.0 ? RbfPhiAtZero(k.kernel, k.c) : RbfPhi(k.kernel, k.c, k.r2);
    EXPECT_DOUBLE_EQ(got, k.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Table, KernelValueTest,
    ::testing::Values(PhiCase{"mq", 0, 0.2, 0.25, std::sqrt(0.25 + 0.04)},
                      PhiCase{"mq_zero_is_c", 0, -0.2, 0.0, -0.2},
                      PhiCase{"mn", 1, 0.7, 0.25, -2.0 * std::sqrt(3.141592653589793 * 1.25)},
                      PhiCase{"mn_zero", 1, 0.7, 0.0, -2.0 * std::sqrt(3.141592653589793)},
                      PhiCase{"tps", 2, 0.5, 0.25, 0.5 * std::log(0.5)},
                      PhiCase{"tps_zero_is_c", 2, 0.5, 0.0, 0.5},
                      PhiCase{"cubic", 3, 0.5, 0.75, 1.0},
                      PhiCase{"cubic_zero_is_c", 3, 0.5, 0.0, 0.5},
                      PhiCase{"log", 4, 1.0, 5.0, std::log(9.0)},
                      PhiCase{"log_zero", 4, 1.0, 0.0, 0.0},
                      PhiCase{"gauss", 5, 2.0, 0.5, std::exp(-1.0)},
                      PhiCase{"gauss_zero", 5, 2.0, 0.0, 1.0},
                      PhiCase{"unknown", 6, 2.0, 0.5, 0.0},
                      PhiCase{"unknown_zero", 9, 2.0, 0.0, 0.0}),
    [](const auto& info) { return info.param.name; });

struct FailCase {
    const char* name;
    int32_t kernel;
    float c;
    bool duplicate;
};

class SingularSystemTest : public ::testing::TestWithParam<FailCase> {};

TEST_P(SingularSystemTest, SolveFails)
{
    const FailCase& k = GetParam();
    Points p;
    p.Add(0.2f, 0.3f, 50.0f);
    p.Add(k.duplicate ? 0.2f : 0.8f, k.duplicate ? 0.3f : 0.4f, 50.0f);
    p.Add(0.5f, 0.9f, 70.0f);
    p.Add(0.6f, 0.1f, 60.0f);
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(11, 11));
    EXPECT_FALSE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), k.kernel, k.c, 0, 0, 0.1, 0.1, s));
    EXPECT_FALSE(s.IsValid());
}

INSTANTIATE_TEST_SUITE_P(Inputs, SingularSystemTest,
                         ::testing::Values(FailCase{"coincident_points", RbfMultiquadric, 0.2f, true},
                                           FailCase{"coincident_thin_plate", RbfThinPlateSpline, 0.5f, true},
                                           FailCase{"multiquadric_parameter_0", RbfMultiquadric, 0.0f, false},
                                           FailCase{"thin_plate_parameter_0", RbfThinPlateSpline, 0.0f, false},
                                           FailCase{"logarithmic_phi0_is_0", RbfLogarithmic, 0.3f, false}),
                         [](const auto& info) { return info.param.name; });

TEST(SurfaceTest, CoincidentPointsFarApartInTheInputFail)
{
    Points p = SoundField(40);
    p.x[31] = p.x[4];
    p.y[31] = p.y[4];
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(11, 11));
    EXPECT_FALSE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), RbfMultiquadric, 0.2f, 0, 0, 0.1, 0.1, s));
}

TEST(SurfaceTest, ConstantColumnGivesFlatGrid)
{
    Points p;
    p.Add(0.1f, 0.2f, 55.0f);
    p.Add(0.8f, 0.1f, 55.0f);
    p.Add(0.5f, 0.9f, 55.0f);
    p.Add(0.3f, 0.6f, 55.0f);
    CRbfInterpolator rbf;
    rbf.SetUp(RbfMultiquadric, 0.2f, p.N(), p.x.data(), p.y.data(), p.v.data());
    ASSERT_TRUE(rbf.Solve());
    for (double w : rbf.Weights())
        EXPECT_NEAR(w, 0.0, 1e-9);
    EXPECT_NEAR(rbf.Polynomial()[0], 55.0, 1e-9);
    EXPECT_NEAR(rbf.Polynomial()[1], 0.0, 1e-9);
    EXPECT_NEAR(rbf.Polynomial()[2], 0.0, 1e-9);
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(21, 21));
    ASSERT_TRUE(rbf.EvaluateGrid(s, 0, 0, 0.05, 0.05));
    s.UpdateStatistics();
    float lo = 0, hi = 0;
    s.GetValueRange(&lo, &hi);
    EXPECT_NEAR(lo, 55.0f, 1e-4f);
    EXPECT_NEAR(hi, 55.0f, 1e-4f);
}

TEST(SurfaceTest, MadychNelsonIgnoresItsParameter)
{
    const Points p = SoundField(30);
    CSurface3DData a, b;
    ASSERT_TRUE(a.Allocate(21, 21));
    ASSERT_TRUE(b.Allocate(21, 21));
    ASSERT_TRUE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), RbfMadychNelson, 0.2f, 0, 0, 0.05, 0.05, a));
    ASSERT_TRUE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), RbfMadychNelson, 0.9f, 0, 0, 0.05, 0.05, b));
    for (int i = 0; i < 21; ++i)
        for (int j = 0; j < 21; ++j)
            ASSERT_EQ(a.Value(i, j), b.Value(i, j));
}

TEST(SurfaceTest, ThinPlateNodeOnDataPointUsesPhiZeroEqualToC)
{
    // The node (0.5, 0.5) coincides with the first point; its term must be w * c, not the limit
    // of the formula (c^2 ln c^2).
    Points p;
    p.Add(0.5f, 0.5f, 70.0f);
    p.Add(0.1f, 0.2f, 50.0f);
    p.Add(0.9f, 0.1f, 55.0f);
    p.Add(0.2f, 0.9f, 60.0f);
    p.Add(0.8f, 0.8f, 52.0f);
    CRbfInterpolator rbf;
    rbf.SetUp(RbfThinPlateSpline, 0.5f, p.N(), p.x.data(), p.y.data(), p.v.data());
    ASSERT_TRUE(rbf.Solve());
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(11, 11));
    ASSERT_TRUE(rbf.EvaluateGrid(s, 0, 0, 0.1, 0.1));
    EXPECT_NEAR(s.Value(5, 5), 70.0f, 1e-4f);  // exact interpolation needs phi(0) = c
    double limitForm = rbf.Polynomial()[0] + rbf.Polynomial()[1] * 0.5 + rbf.Polynomial()[2] * 0.5;
    for (int k = 0; k < p.N(); ++k) {
        const double dx = 0.5 - p.x[size_t(k)], dy = 0.5 - p.y[size_t(k)];
        limitForm += rbf.Weights()[size_t(k)] * RbfPhi(RbfThinPlateSpline, 0.5, dx * dx + dy * dy);
    }
    EXPECT_GT(std::fabs(limitForm - 70.0), 1e-3);  // the formula at r = 0 would miss the point
}

TEST(SurfaceTest, GridNodesForTenByThousand)
{
    const Points p = SoundField(10);
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(11, 1001));
    ASSERT_TRUE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), 0, 0.2f, 0, 0, 1.0 / 10, 1.0 / 1000, s));
    ASSERT_EQ(s.NX(), 11);
    ASSERT_EQ(s.NY(), 1001);
    for (int i = 0; i <= 10; ++i)
        EXPECT_EQ(s.X(i), float(0.1 * i));
    for (int j = 0; j <= 1000; ++j)
        ASSERT_EQ(s.Y(j), float(0.001 * j));
    EXPECT_EQ(s.X(10), 1.0f);
    EXPECT_EQ(s.Y(1000), 1.0f);
    EXPECT_EQ(s.maxXIndex, 10);
    EXPECT_EQ(s.minYIndex, 0);
}

TEST(SurfaceTest, ThreadsGiveTheSameGridAsOne)
{
    const Points p = SoundField(120);
    CSurface3DData one, many;
    ASSERT_TRUE(one.Allocate(41, 37));
    ASSERT_TRUE(many.Allocate(41, 37));
    ASSERT_TRUE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), 0, 0.2f, 0, 0, 0.025, 1.0 / 36, one, 1));
    ASSERT_TRUE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), 0, 0.2f, 0, 0, 0.025, 1.0 / 36, many, 3));
    for (int i = 0; i < 41; ++i)
        for (int j = 0; j < 37; ++j)
            ASSERT_EQ(one.Value(i, j), many.Value(i, j)) << i << "," << j;
    EXPECT_EQ(one.maxPos, many.maxPos);
}

// The blocked decomposition against the element-by-element textbook loops, on orders that cross
// several panel and tile boundaries: every element must come out bit-identical.
TEST(CroutTest, BlockedMatchesElementByElement)
{
    for (int32_t n : {5, 67, 131, 203}) {
        std::mt19937 rng{unsigned(n)};
        std::uniform_real_distribution<double> u(-1.0, 1.0);
        const int32_t stride = n + 1;
        std::vector<double> a(size_t(n) * size_t(stride));
        for (int32_t r = 0; r < n; ++r)
            for (int32_t c = 0; c < n; ++c)
                a[size_t(r) * size_t(stride) + size_t(c)] = u(rng) + (r == c ? 4.0 : 0.0);
        std::vector<double> ref = a;
        auto at = [&](int32_t r, int32_t c) -> double& { return ref[size_t(r) * size_t(stride) + size_t(c)]; };
        for (int32_t m = 0; m < n; ++m) {
            for (int32_t r = m; r < n; ++r) {
                double s = at(r, m);
                for (int32_t k = 0; k < m; ++k)
                    s -= at(r, k) * at(k, m);
                at(r, m) = s;
            }
            for (int32_t c = m + 1; c < n; ++c) {
                double s = at(m, c);
                for (int32_t k = 0; k < m; ++k)
                    s -= at(m, k) * at(k, c);
                at(m, c) = s / at(m, m);
            }
        }
        ASSERT_TRUE(CroutDecompose(a.data(), n, stride, 2));
        for (int32_t r = 0; r < n; ++r)
            for (int32_t c = 0; c < n; ++c)
                ASSERT_EQ(a[size_t(r) * size_t(stride) + size_t(c)], at(r, c)) << n << ": " << r << "," << c;
    }
}

TEST(CroutTest, ExactZeroPivotInsideLaterPanelFails)
{
    // Rows 70 and 71 equal: the pivot at 71 is exactly zero, past the first panel.
    const int32_t n = 90, stride = 90;
    std::vector<double> a(size_t(n) * size_t(stride), 0.0);
    for (int32_t r = 0; r < n; ++r)
        a[size_t(r) * size_t(stride) + size_t(r)] = 1.0;
    for (int32_t c = 0; c < n; ++c)
        a[size_t(71) * size_t(stride) + size_t(c)] = a[size_t(70) * size_t(stride) + size_t(c)];
    EXPECT_FALSE(CroutDecompose(a.data(), n, stride, 2));
}

TEST(SurfaceTest, CancelStopsEvaluationWithoutStatistics)
{
    const Points p = SoundField(50);
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(101, 101));
    s.cancel.store(1);
    EXPECT_FALSE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), 0, 0.2f, 0, 0, 0.01, 0.01, s, 2));
    EXPECT_FALSE(s.IsValid());
    EXPECT_EQ(s.maxPos, GridIndex{});
    EXPECT_EQ(s.Value(50, 50), 0.0f);  // no node was evaluated
}

TEST(SurfaceTest, StatisticsFirstOccurrenceAndSignedRecords)
{
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(2, 3));
    const float z[2][3] = {{-1.0f, 2.0f, -0.5f}, {2.0f, 0.25f, -3.0f}};
    for (int i = 0; i < 2; ++i)
        for (int j = 0; j < 3; ++j)
            s.Value(i, j) = z[i][j];
    s.UpdateStatistics();
    EXPECT_EQ(s.maxPos, (GridIndex{0, 1}));  // 2.0 first seen at (0, 1)
    EXPECT_EQ(s.minPos, (GridIndex{1, 2}));
    EXPECT_EQ(s.minPositivePos, (GridIndex{1, 1}));
    EXPECT_EQ(s.maxNegativePos, (GridIndex{0, 2}));
}

}  // namespace

namespace {

// The factorisation never looked at the cancel flag, so a new request (on the GUI thread) and
// closing the program waited for a whole O(n^3) solve. A cancelled solve now ends early with
// "cancelled" and no weights; polling must not change a single bit of an uncancelled one.
TEST(RbfCancelTest, CancelledSolveReturnsCancelledNotAResult)
{
    const Points p = SoundField(2000, 5);
    CRbfInterpolator reference;
    reference.SetUp(RbfMultiquadric, 0.2f, p.N(), p.x.data(), p.y.data(), p.v.data());
    ASSERT_TRUE(reference.Solve(2));

    std::atomic<int32_t> lowered{0};
    CRbfInterpolator quiet;
    quiet.SetUp(RbfMultiquadric, 0.2f, p.N(), p.x.data(), p.y.data(), p.v.data());
    ASSERT_EQ(quiet.Solve(2, &lowered), RbfStatus::Solved);
    ASSERT_EQ(quiet.Weights().size(), reference.Weights().size());
    for (size_t k = 0; k < quiet.Weights().size(); ++k)
        ASSERT_EQ(quiet.Weights()[k], reference.Weights()[k]) << "weight " << k;
    for (int t = 0; t < 3; ++t)
        EXPECT_EQ(quiet.Polynomial()[t], reference.Polynomial()[t]);

    std::atomic<int32_t> raised{1};
    CRbfInterpolator early;
    early.SetUp(RbfMultiquadric, 0.2f, p.N(), p.x.data(), p.y.data(), p.v.data());
    EXPECT_EQ(early.Solve(2, &raised), RbfStatus::Cancelled);
    EXPECT_TRUE(early.Weights().empty());

    // Raised while the decomposition runs (a 2003-order solve takes far longer than 30 ms).
    std::atomic<int32_t> flag{0};
    CRbfInterpolator late;
    late.SetUp(RbfMultiquadric, 0.2f, p.N(), p.x.data(), p.y.data(), p.v.data());
    std::thread raiser([&flag] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        flag.store(1);
    });
    const RbfStatus status = late.Solve(2, &flag);
    raiser.join();
    EXPECT_EQ(status, RbfStatus::Cancelled);
    EXPECT_TRUE(late.Weights().empty());
}

TEST(RbfCancelTest, SurfaceTellsCancelledFromSingular)
{
    const Points p = SoundField(40);
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(11, 11));
    RbfStatus status = RbfStatus::Solved;
    s.cancel.store(1);
    EXPECT_FALSE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), 0, 0.2f, 0, 0, 0.1, 0.1, s, 1, &status));
    EXPECT_EQ(status, RbfStatus::Cancelled);
    s.cancel.store(0);
    // Multiquadric with c = 0: phi(0) = 0, so the very first pivot is zero.
    EXPECT_FALSE(ComputeSurface(p.N(), p.x.data(), p.y.data(), p.v.data(), 0, 0.0f, 0, 0, 0.1, 0.1, s, 1, &status));
    EXPECT_EQ(status, RbfStatus::Singular);
}

// The solver itself still refuses a system larger than the machine's memory before allocating
// it (the map worker refuses far smaller inputs first).
TEST(RbfInterpolator, SystemBeyondMemoryIsRefusedBeforeAllocating)
{
    const int32_t n = 400000;  // a 400003-order system needs 1.3 TB
    const size_t count = size_t(n);
    std::vector<float> x(count), y(count), v(count, 50.0f);
    for (int32_t k = 0; k < n; ++k) {
        x[size_t(k)] = float(k % 1000) / 1000.0f;
        y[size_t(k)] = float(k / 1000) / 400.0f;
    }
    CRbfInterpolator rbf;
    rbf.SetUp(0, 0.2f, n, x.data(), y.data(), v.data());
    EXPECT_EQ(rbf.Solve(1, nullptr), RbfStatus::OutOfMemory);
}

}  // namespace
