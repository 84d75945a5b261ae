// Interpolation in the energy domain, checked against values computed by hand: levels whose
// energies lie on a plane give the level of the plane's energy at every grid node (the linear
// term of the interpolant reproduces a plane exactly); a node whose energy falls to zero or
// below shows the lowest measured level and is counted; and the surface check restates its
// leave-one-out residuals in dB.

#include <gtest/gtest.h>

#include <cmath>
#include <ostream>
#include <vector>

#include "mapping/EnergyDomain.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"
#include "mapping/SurfaceCheck.h"

namespace {

double Level(double reference, double energy)
{
    return reference + 10.0 * std::log10(energy);
}

struct ToEnergiesCase {
    const char* name;
    std::vector<float> levels;
    int32_t measured;
    float reference;
    float lowest;
    std::vector<double> energies;
};

void PrintTo(const ToEnergiesCase& row, std::ostream* os)
{
    *os << row.name;
}

class ToEnergiesTest : public ::testing::TestWithParam<ToEnergiesCase> {};

TEST_P(ToEnergiesTest, RelativeToTheLoudestWithTheLowestMeasuredLevel)
{
    const ToEnergiesCase& c = GetParam();
    const EnergyValues e = ToEnergies(CTXFloatArray(c.levels.begin(), c.levels.end()), c.measured);
    EXPECT_EQ(e.reference, c.reference);
    EXPECT_EQ(e.lowestLevel, c.lowest);
    ASSERT_EQ(e.energies.size(), c.energies.size());
    for (size_t k = 0; k < c.energies.size(); ++k)
        EXPECT_NEAR(e.energies[k], c.energies[k], 1e-7 * c.energies[k]) << k;
}

INSTANTIATE_TEST_SUITE_P(
    Rows, ToEnergiesTest,
    ::testing::Values(
        ToEnergiesCase{"loudest_point_is_one", {60, 70, 80}, 3, 80, 60, {0.01, 0.1, 1.0}},
        // A boundary level below every measured one is interpolated but is not the fallback.
        ToEnergiesCase{"quiet_boundary_is_not_the_lowest", {70, 80, 50, 50}, 2, 80, 70, {0.1, 1.0, 1e-3, 1e-3}},
        // A conditioning level above every measured one sets the reference.
        ToEnergiesCase{"loud_conditioning_point_is_the_reference", {40, 45, 50}, 2, 50, 40,
                       {0.1, 0.31622776601683794, 1.0}},
        ToEnergiesCase{"no_measured_point_takes_the_lowest_input", {50, 55, 50, 50}, 0, 55, 50,
                       {0.31622776601683794, 1.0, 0.31622776601683794, 0.31622776601683794}},
        ToEnergiesCase{"measured_count_beyond_the_levels", {66, 63}, 9, 66, 63, {1.0, 0.5011872336272722}},
        // Absolute energies of these levels (10^40) do not fit a float; relative ones do.
        ToEnergiesCase{"levels_beyond_the_float_range", {400, 390}, 2, 400, 390, {1.0, 0.1}},
        ToEnergiesCase{"no_levels", {}, 0, 0, 0, {}}),
    [](const auto& info) { return std::string(info.param.name); });

// Five points whose energies (relative to 70 dB) lie on the plane E = 1 + 2x + 3y.
struct PlaneFixture {
    std::vector<float> x{0.0f, 1.0f, 0.0f, 1.0f, 0.5f};
    std::vector<float> y{0.0f, 0.0f, 1.0f, 1.0f, 0.5f};
    CTXFloatArray levels;
    explicit PlaneFixture(double (*energy)(double, double), double reference)
    {
        for (size_t k = 0; k < x.size(); ++k)
            levels.push_back(float(Level(reference, energy(x[k], y[k]))));
    }
    // The surface on a 4 x 4 grid (steps 0.25) from `values`.
    bool Compute(const float* values, CSurface3DData& surface, int32_t kernel = RbfMultiquadric) const
    {
        return surface.Allocate(5, 5) && ComputeSurface(int32_t(x.size()), x.data(), y.data(), values, kernel, 0.2f, 0.0,
                                                        0.0, 0.25, 0.25, surface);
    }
};

double RisingPlane(double x, double y)
{
    return 1.0 + 2.0 * x + 3.0 * y;
}

class PlaneOfEnergies : public ::testing::TestWithParam<int32_t> {};

TEST_P(PlaneOfEnergies, EveryNodeHasTheLevelOfThePlanesEnergy)
{
    const PlaneFixture plane(RisingPlane, 70.0);
    const EnergyValues e = ToEnergies(plane.levels, 5);
    CSurface3DData surface;
    ASSERT_TRUE(plane.Compute(e.energies.data(), surface, GetParam()));
    EXPECT_EQ(EnergiesToLevels(surface, e), 0);
    // By hand at node (2, 1), i.e. (0.5, 0.25): E = 1 + 1 + 0.75 = 2.75, L = 70 + 4.3933 dB.
    EXPECT_NEAR(surface.Value(2, 1), 74.39333, 1e-3);
    for (int32_t i = 0; i < 5; ++i)
        for (int32_t j = 0; j < 5; ++j)
            EXPECT_NEAR(surface.Value(i, j), Level(70.0, RisingPlane(0.25 * i, 0.25 * j)), 1e-3) << i << ',' << j;
    // The statistics describe the levels: 70 dB at (0, 0), 70 + 10 log10(6) at (1, 1).
    float lo = 0.0f, hi = 0.0f;
    surface.GetValueRange(&lo, &hi);
    EXPECT_NEAR(lo, 70.0f, 1e-3f);
    EXPECT_NEAR(hi, 77.78151f, 1e-3f);
    EXPECT_EQ(surface.minPos, (GridIndex{0, 0}));
    EXPECT_EQ(surface.maxPos, (GridIndex{4, 4}));

    // The same levels interpolated as levels miss the energy's level between the points.
    CSurface3DData levels;
    ASSERT_TRUE(plane.Compute(plane.levels.data(), levels, GetParam()));
    EXPECT_GT(std::fabs(levels.Value(2, 1) - surface.Value(2, 1)), 0.05f);
}

INSTANTIATE_TEST_SUITE_P(Kernels, PlaneOfEnergies,
                         ::testing::Values(RbfMultiquadric, RbfMadychNelson, RbfThinPlateSpline),
                         [](const auto& info) { return "kernel_" + std::to_string(info.param); });

// Energies on the plane E = 2x - 0.6 (relative to 60 dB), measured at x = 0.5 .. 1 only: the
// plane is 0.4 at x = 0.5 and falls to -0.1 at x = 0.25 and -0.6 at x = 0.
double FallingPlane(double x, double)
{
    return 2.0 * x - 0.6;
}

struct FallingFixture : PlaneFixture {
    FallingFixture() : PlaneFixture(FallingPlane, 60.0)
    {
        x = {0.5f, 1.0f, 0.5f, 1.0f, 0.75f};
        y = {0.0f, 0.0f, 1.0f, 1.0f, 0.5f};
        levels.clear();
        for (size_t k = 0; k < x.size(); ++k)
            levels.push_back(float(Level(60.0, FallingPlane(x[k], y[k]))));
    }
};

TEST(EnergyDomain, NodesWithoutPositiveEnergyTakeTheLowestMeasuredLevelAndAreCounted)
{
    const FallingFixture plane;
    const EnergyValues e = ToEnergies(plane.levels, 5);
    CSurface3DData surface;
    ASSERT_TRUE(plane.Compute(e.energies.data(), surface));
    // Grid columns x = 0 and x = 0.25, five nodes each.
    EXPECT_EQ(EnergiesToLevels(surface, e), 10);
    const double lowest = Level(60.0, 0.4);  // 56.0206 dB at x = 0.5
    for (int32_t j = 0; j < 5; ++j) {
        EXPECT_FLOAT_EQ(surface.Value(0, j), float(lowest)) << j;
        EXPECT_FLOAT_EQ(surface.Value(1, j), float(lowest)) << j;
        EXPECT_NEAR(surface.Value(3, j), Level(60.0, 0.9), 1e-3) << j;
    }
    float lo = 0.0f, hi = 0.0f;
    surface.GetValueRange(&lo, &hi);
    EXPECT_NEAR(lo, lowest, 1e-3);
    EXPECT_NEAR(hi, Level(60.0, 1.4), 1e-3);  // 61.4613 dB at x = 1
}

TEST(EnergyDomain, AnEnergyThatIsNotANumberHasNoLevel)
{
    EnergyValues e;
    e.reference = 80.0f;
    e.lowestLevel = 55.0f;
    EXPECT_EQ(e.LevelOf(std::nan("")), 55.0);
    EXPECT_EQ(e.LevelOf(0.0), 55.0);
    EXPECT_EQ(e.LevelOf(-1e-300), 55.0);
    EXPECT_DOUBLE_EQ(e.LevelOf(0.01), 60.0);
}

// The check of the energy surface, in dB.
TEST(EnergySurfaceCheck, EnergiesOnAPlaneLeaveNoResidual)
{
    const PlaneFixture plane(RisingPlane, 70.0);
    const EnergySurfaceCheck e =
        CheckEnergySurface(5, 5, plane.x.data(), plane.y.data(), plane.levels.data(), RbfMultiquadric, 0.2f, 4, 4);
    ASSERT_EQ(e.check.status, SurfaceCheckStatus::Checked);
    // Without any one point the other four still lie on the plane, which the surface reproduces.
    for (double r : e.check.residuals)
        EXPECT_NEAR(r, 0.0, 1e-4);
    EXPECT_LT(e.check.largestMiss, 1e-4);
    EXPECT_EQ(e.nonPositiveNodes, 0);
    EXPECT_FLOAT_EQ(e.lowestLevel, 70.0f);
    // The levels themselves are not on a plane: checked as levels they leave residuals.
    const SurfaceCheck levels =
        CheckSurface(5, 5, plane.x.data(), plane.y.data(), plane.levels.data(), RbfMultiquadric, 0.2f);
    EXPECT_GT(levels.rms, 0.05);
}

// Corners at 60, 60, 60 and 66 dB: energies a, a, a and 1 with a = 10^-0.6 relative to 66 dB.
// Without one corner the surface is the plane through the other three:
//   without (0,0): a + a - 1 < 0, no level, so the lowest measured level 60: residual 0 dB;
//   without (1,0) or (0,1): a + 1 - a = 1, i.e. 66 dB: residual 60 - 66 = -6 dB;
//   without (1,1): a + a - a = a, i.e. 60 dB: residual 66 - 60 = +6 dB.
TEST(EnergySurfaceCheck, ResidualsAreInDecibelsWithTheLowestLevelWhereNoEnergyIsLeft)
{
    const std::vector<float> x{0.0f, 1.0f, 0.0f, 1.0f}, y{0.0f, 0.0f, 1.0f, 1.0f};
    const std::vector<float> levels{60.0f, 60.0f, 60.0f, 66.0f};
    for (int32_t kernel : {RbfMultiquadric, RbfThinPlateSpline}) {
        const EnergySurfaceCheck e =
            CheckEnergySurface(4, 4, x.data(), y.data(), levels.data(), kernel, 0.3f, 2, 2);
        ASSERT_EQ(e.check.status, SurfaceCheckStatus::Checked) << kernel;
        const double expected[] = {0.0, -6.0, -6.0, 6.0};
        for (size_t k = 0; k < 4; ++k)
            EXPECT_NEAR(e.check.residuals[k], expected[k], 1e-4) << kernel << " point " << k;
        EXPECT_NEAR(e.check.rms, std::sqrt(27.0), 1e-4);
        // Three residuals of 6 dB in some order, then the one of 0 dB.
        ASSERT_EQ(e.check.worst.size(), 4u);
        EXPECT_EQ(e.check.worst.back(), 0);
        EXPECT_LT(e.check.largestMiss, 1e-4);
        EXPECT_GE(e.nonPositiveNodes, 0);
    }
}

TEST(EnergySurfaceCheck, CountsTheNodesTheMapShowsAtTheLowestLevel)
{
    const FallingFixture plane;
    const EnergySurfaceCheck e =
        CheckEnergySurface(5, 5, plane.x.data(), plane.y.data(), plane.levels.data(), RbfMultiquadric, 0.2f, 4, 4);
    ASSERT_EQ(e.check.status, SurfaceCheckStatus::Checked);
    EXPECT_EQ(e.nonPositiveNodes, 10);
    EXPECT_NEAR(e.lowestLevel, Level(60.0, 0.4), 1e-4);
}

TEST(EnergySurfaceCheck, RefusalsOfTheCheckStayRefusals)
{
    const std::vector<float> x{0.0f, 1.0f}, y{0.0f, 0.0f}, levels{60.0f, 70.0f};
    const EnergySurfaceCheck few = CheckEnergySurface(2, 2, x.data(), y.data(), levels.data(), RbfMultiquadric, 0.2f, 4, 4);
    EXPECT_EQ(few.check.status, SurfaceCheckStatus::TooFewPoints);
    EXPECT_EQ(few.nonPositiveNodes, -1);
    const PlaneFixture plane(RisingPlane, 70.0);
    const EnergySurfaceCheck noGrid =
        CheckEnergySurface(5, 5, plane.x.data(), plane.y.data(), plane.levels.data(), RbfMultiquadric, 0.2f, 0, 4);
    EXPECT_EQ(noGrid.check.status, SurfaceCheckStatus::OutOfMemory);
    EXPECT_EQ(noGrid.nonPositiveNodes, -1);
}

}  // namespace
