// The surface check against what it claims to shortcut: every leave-one-out residual is compared
// with a refit without that point, and the condition estimate with systems known to be well and
// badly conditioned.

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <random>
#include <thread>
#include <vector>

#include "mapping/RbfInterpolator.h"
#include "mapping/SurfaceCheck.h"

namespace {

struct Input {
    std::vector<float> x, y, v;
    int32_t measured = 0;
    void Add(float px, float py, float pv)
    {
        x.push_back(px);
        y.push_back(py);
        v.push_back(pv);
    }
    int32_t N() const { return int32_t(x.size()); }
};

// The value at point k of the surface fitted to every point but k.
double RefitWithout(const Input& in, int32_t k, int32_t kernel, float c)
{
    Input rest;
    for (int32_t j = 0; j < in.N(); ++j)
        if (j != k)
            rest.Add(in.x[size_t(j)], in.y[size_t(j)], in.v[size_t(j)]);
    CRbfInterpolator rbf;
    rbf.SetUp(kernel, c, rest.N(), rest.x.data(), rest.y.data(), rest.v.data());
    EXPECT_TRUE(rbf.Solve());
    return rbf.Evaluate(in.x[size_t(k)], in.y[size_t(k)]);
}

SurfaceCheck Check(const Input& in, int32_t kernel, float c)
{
    return CheckSurface(in.N(), in.measured, in.x.data(), in.y.data(), in.v.data(), kernel, c);
}

// Four corners of a square, one raised by 6 dB: without any one corner the surface is the plane
// through the other three, which misses the left-out corner by exactly 6 dB either way.
Input RaisedCorner()
{
    Input in;
    in.Add(0.2f, 0.2f, 60.0f);
    in.Add(0.8f, 0.2f, 60.0f);
    in.Add(0.2f, 0.8f, 60.0f);
    in.Add(0.8f, 0.8f, 66.0f);
    in.measured = 4;
    return in;
}

// Readings of a sound field inside the square and four boundary points at its corners,
// which stay in every refit.
Input FieldOf(int measured)
{
    Input in;
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(0.15f, 0.85f);
    for (int k = 0; k < measured; ++k) {
        const float x = u(rng), y = u(rng);
        in.Add(x, y, 85.0f - 12.0f * std::hypot(x - 0.4f, y - 0.5f) + 2.0f * std::sin(5.0f * y));
    }
    in.measured = in.N();
    for (float cx : {0.0f, 1.0f})
        for (float cy : {0.0f, 1.0f})
            in.Add(cx, cy, 70.0f);
    return in;
}

Input FieldWithBoundary()
{
    return FieldOf(6);
}

// More measured points than the diagonals solved side by side, the last block partly filled.
Input LargerFieldWithBoundary()
{
    return FieldOf(19);
}

struct RefitCase {
    const char* name;
    Input (*make)();
    int32_t kernel;
    float c;
};

class LeaveOneOutTest : public ::testing::TestWithParam<RefitCase> {};

TEST_P(LeaveOneOutTest, ResidualsMatchRefitsWithoutEachPoint)
{
    const RefitCase& rc = GetParam();
    const Input in = rc.make();
    const SurfaceCheck check = Check(in, rc.kernel, rc.c);
    ASSERT_EQ(check.status, SurfaceCheckStatus::Checked);
    ASSERT_EQ(int32_t(check.residuals.size()), in.measured);
    double squares = 0.0;
    for (int32_t k = 0; k < in.measured; ++k) {
        const double expected = in.v[size_t(k)] - RefitWithout(in, k, rc.kernel, rc.c);
        EXPECT_NEAR(check.residuals[size_t(k)], expected, 1e-7 * (1.0 + std::fabs(expected))) << "point " << k;
        squares += expected * expected;
    }
    EXPECT_NEAR(check.rms, std::sqrt(squares / in.measured), 1e-7);
    // A well-conditioned surface passes through its points.
    EXPECT_LT(check.largestMiss, 1e-9);
    EXPECT_GT(check.conditionEstimate, 1.0);
    EXPECT_LT(check.conditionEstimate, 1e8);
}

INSTANTIATE_TEST_SUITE_P(
    Kernels, LeaveOneOutTest,
    ::testing::Values(RefitCase{"CornerMultiquadric", RaisedCorner, RbfMultiquadric, 0.2f},
                      RefitCase{"CornerThinPlate", RaisedCorner, RbfThinPlateSpline, 0.3f},
                      RefitCase{"CornerGaussian", RaisedCorner, RbfGaussian, 4.0f},
                      RefitCase{"BoundaryMultiquadric", FieldWithBoundary, RbfMultiquadric, 0.2f},
                      RefitCase{"BoundaryCubic", FieldWithBoundary, RbfCubicMultiquadric, 0.1f},
                      RefitCase{"BoundaryMadychNelson", FieldWithBoundary, RbfMadychNelson, 0.0f},
                      RefitCase{"SeveralBlocksMultiquadric", LargerFieldWithBoundary, RbfMultiquadric, 0.2f},
                      RefitCase{"SeveralBlocksThinPlate", LargerFieldWithBoundary, RbfThinPlateSpline, 0.3f}),
    [](const ::testing::TestParamInfo<RefitCase>& info) { return std::string(info.param.name); });

TEST(SurfaceCheckTest, RaisedCornerMissesBySixEitherWay)
{
    const SurfaceCheck check = Check(RaisedCorner(), RbfMultiquadric, 0.2f);
    ASSERT_EQ(check.status, SurfaceCheckStatus::Checked);
    const double expected[] = {6.0, -6.0, -6.0, 6.0};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(check.residuals[size_t(k)], expected[k], 1e-9) << "point " << k;
    EXPECT_NEAR(check.rms, 6.0, 1e-9);
    // Fewer measured points than named worst ones: all of them, each once.
    std::vector<int32_t> worst = check.worst;
    std::sort(worst.begin(), worst.end());
    EXPECT_EQ(worst, (std::vector<int32_t>{0, 1, 2, 3}));
}

TEST(SurfaceCheckTest, OutlierRanksWorstAndOnlyFiveAreNamed)
{
    Input in;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            in.Add(0.1f + 0.25f * i, 0.1f + 0.25f * j, 70.0f + float(i) + 0.5f * float(j));
    in.v[9] += 15.0f;  // a wrong reading in the middle
    in.measured = in.N();
    const SurfaceCheck check = Check(in, RbfMultiquadric, 0.2f);
    ASSERT_EQ(check.status, SurfaceCheckStatus::Checked);
    ASSERT_EQ(check.worst.size(), size_t(SurfaceCheck::kWorstCount));
    EXPECT_EQ(check.worst.front(), 9);
    EXPECT_TRUE(check.IsWorst(9));
    for (size_t r = 1; r < check.worst.size(); ++r)
        EXPECT_GE(std::fabs(check.residuals[size_t(check.worst[r - 1])]),
                  std::fabs(check.residuals[size_t(check.worst[r])]));
    int named = 0;
    for (int32_t k = 0; k < in.measured; ++k)
        named += check.IsWorst(k) ? 1 : 0;
    EXPECT_EQ(named, SurfaceCheck::kWorstCount);
}

struct IllCase {
    const char* name;
    float offset;  // how far the last point lies from the first
    float c;
};

class IllConditionedTest : public ::testing::TestWithParam<IllCase> {};

TEST_P(IllConditionedTest, ConditionEstimateIsLarge)
{
    const IllCase& ic = GetParam();
    Input in = RaisedCorner();
    in.Add(0.5f, 0.5f, 63.0f);
    in.Add(0.5f + ic.offset, 0.5f, 64.0f);
    in.measured = in.N();
    const SurfaceCheck check = Check(in, RbfMultiquadric, ic.c);
    ASSERT_EQ(check.status, SurfaceCheckStatus::Checked);
    EXPECT_GT(check.conditionEstimate, 1e10);
    const SurfaceCheck sound = Check(RaisedCorner(), RbfMultiquadric, 0.2f);
    EXPECT_LT(sound.conditionEstimate * 1e4, check.conditionEstimate);
}

INSTANTIATE_TEST_SUITE_P(Inputs, IllConditionedTest,
                         ::testing::Values(IllCase{"NearlyCoincidentPoints", 1e-6f, 0.2f},
                                           IllCase{"HugeParameter", 0.3f, 5000.0f}),
                         [](const ::testing::TestParamInfo<IllCase>& info) { return std::string(info.param.name); });

TEST(SurfaceCheckTest, RefusesInputsItCannotCheck)
{
    const Input corner = RaisedCorner();
    struct Case {
        const char* name;
        int32_t n, measured;
        SurfaceCheckStatus status;
    };
    const Case cases[] = {
        {"TwoPoints", 2, 2, SurfaceCheckStatus::TooFewPoints},
        {"NoMeasuredPoint", 4, 0, SurfaceCheckStatus::TooFewPoints},
        {"MoreMeasuredThanPoints", 4, 5, SurfaceCheckStatus::TooFewPoints},
    };
    for (const Case& c : cases) {
        const SurfaceCheck check = CheckSurface(c.n, c.measured, corner.x.data(), corner.y.data(), corner.v.data(),
                                                RbfMultiquadric, 0.2f);
        EXPECT_EQ(check.status, c.status) << c.name;
        EXPECT_TRUE(check.residuals.empty()) << c.name;
    }
    // Beyond the point limit nothing is looked at: the pointers are never read.
    const SurfaceCheck big =
        CheckSurface(kMaxInterpolationPoints + 1, 1, nullptr, nullptr, nullptr, RbfMultiquadric, 0.2f);
    EXPECT_EQ(big.status, SurfaceCheckStatus::TooManyPoints);
}

TEST(SurfaceCheckTest, ZeroDiagonalKernelIsSingular)
{
    // A kernel with phi(0) = 0 and points where the first pivot is exactly zero.
    Input in = RaisedCorner();
    const SurfaceCheck check = Check(in, RbfLogarithmic, 0.0f);
    EXPECT_EQ(check.status, SurfaceCheckStatus::Singular);
    EXPECT_TRUE(check.residuals.empty());
}

// A cancel flag stops the check in each of its passes: raised before it starts, and raised by
// another thread while the decomposition of a large system is under way.
TEST(SurfaceCheckTest, CancelStopsWithoutAResult)
{
    std::mt19937 random(7);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    Input big;
    for (int k = 0; k < 1800; ++k)
        big.Add(unit(random), unit(random), 60.0f + 20.0f * unit(random));
    big.measured = big.N();
    for (const int delayMs : {-1, 30}) {
        SCOPED_TRACE(delayMs);
        std::atomic<int32_t> cancel{delayMs < 0 ? 1 : 0};
        std::thread raiser;
        if (delayMs >= 0)
            raiser = std::thread([&cancel, delayMs] {
                std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
                cancel.store(1);
            });
        const auto start = std::chrono::steady_clock::now();
        const SurfaceCheck check = CheckSurface(big.N(), big.measured, big.x.data(), big.y.data(), big.v.data(),
                                                RbfMultiquadric, 0.2f, 1, &cancel);
        const auto elapsed = std::chrono::steady_clock::now() - start;
        if (raiser.joinable())
            raiser.join();
        EXPECT_EQ(check.status, SurfaceCheckStatus::Cancelled);
        EXPECT_TRUE(check.residuals.empty());
        EXPECT_TRUE(check.worst.empty());
        EXPECT_EQ(check.largestMissPoint, -1);
        EXPECT_LT(elapsed, std::chrono::milliseconds(800));
    }
    // A flag that stays down changes nothing.
    std::atomic<int32_t> quiet{0};
    const Input corner = RaisedCorner();
    const SurfaceCheck with = CheckSurface(corner.N(), corner.measured, corner.x.data(), corner.y.data(),
                                           corner.v.data(), RbfMultiquadric, 0.2f, 1, &quiet);
    const SurfaceCheck without = Check(corner, RbfMultiquadric, 0.2f);
    EXPECT_EQ(with.residuals, without.residuals);
    EXPECT_EQ(with.conditionEstimate, without.conditionEstimate);
}

}  // namespace
