#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <memory>
#include <random>
#include <vector>

#include "mapping/RbfGridPass.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"
#include "util/RbfKernel.h"

namespace {

// Points in normalised coordinates, several value sets at the same positions.
struct Layout {
    std::vector<float> x, y;
    std::vector<std::vector<float>> values;
    int32_t N() const { return int32_t(x.size()); }
};

enum class Extras {
    None,
    OnNodes,      // measured points exactly on grid abscissas and on grid nodes
    Boundary,     // corner and side points outside the unit square, at one level
    Conditioning, // a row of points along a line at one level, some on grid nodes
};

constexpr int32_t kIntervalsX = 40, kIntervalsY = 25;

Layout MakeLayout(Extras extras, int sets)
{
    std::mt19937 rng(17);
    std::uniform_real_distribution<float> u(0.02f, 0.98f);
    Layout l;
    const int n = 60;
    for (int k = 0; k < n; ++k) {
        float px = u(rng), py = u(rng);
        if (extras == Extras::OnNodes && k % 5 == 0)
            px = float(double(k % kIntervalsX) / kIntervalsX);  // the column's abscissa exactly
        if (extras == Extras::OnNodes && k % 10 == 0)
            py = float(double(k % kIntervalsY) / kIntervalsY);  // and sometimes the node itself
        l.x.push_back(px);
        l.y.push_back(py);
    }
    const int measured = l.N();
    if (extras == Extras::Boundary) {
        const float out[][2] = {{-0.1f, -0.1f}, {1.1f, -0.1f}, {1.1f, 1.1f}, {-0.1f, 1.1f},
                                {-0.1f, 0.5f},  {0.5f, -0.1f}, {1.1f, 0.5f}, {0.5f, 1.1f}};
        for (const auto& p : out)
            l.x.push_back(p[0]), l.y.push_back(p[1]);
    }
    if (extras == Extras::Conditioning)
        for (int k = 0; k <= 8; ++k)
            l.x.push_back(0.05f + 0.1f * float(k)), l.y.push_back(float(double(k) / kIntervalsY));
    for (int s = 0; s < sets; ++s) {
        std::vector<float> v;
        for (int k = 0; k < l.N(); ++k) {
            const float level = 60.0f + 20.0f * std::sin(5.0f * l.x[size_t(k)] + float(s)) *
                                            std::cos(3.0f * l.y[size_t(k)] - float(s));
            v.push_back(k < measured ? level : 45.0f);
        }
        l.values.push_back(v);
    }
    return l;
}

bool SameSurfaceBits(const CSurface3DData& a, const CSurface3DData& b)
{
    if (a.NX() != b.NX() || a.NY() != b.NY())
        return false;
    const size_t nodes = size_t(a.NX()) * size_t(a.NY());
    return std::memcmp(a.Column(0), b.Column(0), nodes * sizeof(float)) == 0 &&
           std::memcmp(a.XArray().data(), b.XArray().data(), size_t(a.NX()) * sizeof(float)) == 0 &&
           std::memcmp(a.YArray().data(), b.YArray().data(), size_t(a.NY()) * sizeof(float)) == 0;
}

struct ShareCase {
    const char* name;
    int32_t kernel;
    float c;
    Extras extras;
    int sets;  // 7 = four, two and one side by side; 12 = three groups of four
};

class SharedPassTest : public ::testing::TestWithParam<ShareCase> {};

// Every value set evaluated beside the others has exactly the bits of its own ComputeSurface.
TEST_P(SharedPassTest, EverySetHasTheBitsOfItsOwnSurface)
{
    const ShareCase& c = GetParam();
    const Layout l = MakeLayout(c.extras, c.sets);
    const RbfGridGeometry grid{0.0, 0.0, 1.0 / kIntervalsX, 1.0 / kIntervalsY};

    CRbfSystem system;
    system.SetUp(c.kernel, c.c, l.N(), l.x.data(), l.y.data());
    ASSERT_EQ(system.Factorise(2, nullptr), RbfStatus::Solved);
    std::vector<RbfWeights> weights(size_t(c.sets));
    std::vector<std::unique_ptr<CSurface3DData>> shared;
    CRbfGridPass pass(system.Kernel(), system.Parameter(), system.PointCount(), system.X().data(), system.Y().data(),
                      grid);
    for (int s = 0; s < c.sets; ++s) {
        ASSERT_TRUE(system.Substitute(l.values[size_t(s)].data(), &weights[size_t(s)], nullptr));
        shared.push_back(std::make_unique<CSurface3DData>());
        ASSERT_TRUE(shared.back()->Allocate(kIntervalsX + 1, kIntervalsY + 1));
        pass.AddTarget(weights[size_t(s)], *shared.back());
    }
    pass.SetRowCoordinates();
    // Columns in an unusual order and uneven ranges: the result must not depend on either.
    ASSERT_TRUE(pass.EvaluateColumns(17, kIntervalsX + 1, nullptr));
    ASSERT_TRUE(pass.EvaluateColumns(3, 17, nullptr));
    ASSERT_TRUE(pass.EvaluateColumns(0, 3, nullptr));

    for (int s = 0; s < c.sets; ++s) {
        CSurface3DData own;
        ASSERT_TRUE(own.Allocate(kIntervalsX + 1, kIntervalsY + 1));
        ASSERT_TRUE(ComputeSurface(l.N(), l.x.data(), l.y.data(), l.values[size_t(s)].data(), c.kernel, c.c,
                                   grid.x0, grid.y0, grid.dx, grid.dy, own, 2));
        EXPECT_TRUE(SameSurfaceBits(*shared[size_t(s)], own)) << "value set " << s;
    }
}

INSTANTIATE_TEST_SUITE_P(
    KernelsAndPoints, SharedPassTest,
    ::testing::Values(ShareCase{"multiquadric", RbfMultiquadric, 0.2f, Extras::None, 7},
                      ShareCase{"multiquadric_on_nodes", RbfMultiquadric, 0.2f, Extras::OnNodes, 12},
                      ShareCase{"multiquadric_boundary", RbfMultiquadric, 0.2f, Extras::Boundary, 7},
                      ShareCase{"multiquadric_conditioning", RbfMultiquadric, 0.2f, Extras::Conditioning, 7},
                      ShareCase{"madych_nelson", RbfMadychNelson, 0.2f, Extras::OnNodes, 7},
                      ShareCase{"madych_nelson_boundary", RbfMadychNelson, 0.2f, Extras::Boundary, 12},
                      ShareCase{"thin_plate", RbfThinPlateSpline, 0.2f, Extras::OnNodes, 7},
                      ShareCase{"thin_plate_conditioning", RbfThinPlateSpline, 0.2f, Extras::Conditioning, 12},
                      ShareCase{"cubic", RbfCubicMultiquadric, 0.2f, Extras::OnNodes, 7},
                      ShareCase{"cubic_boundary", RbfCubicMultiquadric, 0.3f, Extras::Boundary, 7},
                      ShareCase{"gaussian", RbfGaussian, 5.0f, Extras::OnNodes, 7},
                      ShareCase{"gaussian_conditioning", RbfGaussian, 5.0f, Extras::Conditioning, 12}),
    [](const auto& info) { return info.param.name; });

TEST(RbfGridPassTest, CancelStopsBeforeTheFirstNode)
{
    const Layout l = MakeLayout(Extras::None, 1);
    CRbfSystem system;
    system.SetUp(RbfMultiquadric, 0.2f, l.N(), l.x.data(), l.y.data());
    ASSERT_EQ(system.Factorise(1, nullptr), RbfStatus::Solved);
    RbfWeights w;
    ASSERT_TRUE(system.Substitute(l.values[0].data(), &w, nullptr));
    CSurface3DData s;
    ASSERT_TRUE(s.Allocate(5, 5));
    s.Value(0, 0) = 123.0f;
    CRbfGridPass pass(system.Kernel(), system.Parameter(), system.PointCount(), system.X().data(), system.Y().data(),
                      {0.0, 0.0, 0.25, 0.25});
    pass.AddTarget(w, s);
    std::atomic<int32_t> cancel{1};
    EXPECT_FALSE(pass.EvaluateColumns(0, 5, &cancel));
    EXPECT_EQ(s.Value(0, 0), 123.0f);
    cancel = 0;
    EXPECT_TRUE(pass.EvaluateColumns(0, 5, &cancel));
    EXPECT_NE(s.Value(0, 0), 123.0f);
}

// A system that was never decomposed, or whose decomposition was cancelled, solves nothing.
TEST(RbfSystemTest, SubstituteNeedsADecomposition)
{
    const Layout l = MakeLayout(Extras::None, 1);
    CRbfSystem system;
    system.SetUp(RbfMultiquadric, 0.2f, l.N(), l.x.data(), l.y.data());
    RbfWeights w;
    EXPECT_FALSE(system.Substitute(l.values[0].data(), &w, nullptr));
    std::atomic<int32_t> cancel{1};
    EXPECT_EQ(system.Factorise(1, &cancel), RbfStatus::Cancelled);
    EXPECT_FALSE(system.IsFactorised());
    EXPECT_FALSE(system.Substitute(l.values[0].data(), &w, nullptr));
    EXPECT_TRUE(w.radial.empty());
}

TEST(RbfSystemTest, ZeroPivotIsSingular)
{
    // phi(0) = 0 for the logarithmic kernel with c = 0: the first pivot is exactly zero.
    const Layout l = MakeLayout(Extras::None, 1);
    CRbfSystem system;
    system.SetUp(RbfLogarithmic, 0.0f, l.N(), l.x.data(), l.y.data());
    EXPECT_EQ(system.Factorise(1, nullptr), RbfStatus::Singular);
    EXPECT_FALSE(system.IsFactorised());
}

// One decomposition serves every value set: each set's weights equal those of its own solve.
TEST(RbfSystemTest, SubstitutionsMatchTheirOwnSolves)
{
    const Layout l = MakeLayout(Extras::Boundary, 3);
    CRbfSystem system;
    system.SetUp(RbfThinPlateSpline, 0.2f, l.N(), l.x.data(), l.y.data());
    ASSERT_EQ(system.Factorise(2, nullptr), RbfStatus::Solved);
    for (int s = 0; s < 3; ++s) {
        RbfWeights w;
        ASSERT_TRUE(system.Substitute(l.values[size_t(s)].data(), &w, nullptr));
        CRbfInterpolator own;
        own.SetUp(RbfThinPlateSpline, 0.2f, l.N(), l.x.data(), l.y.data(), l.values[size_t(s)].data());
        ASSERT_TRUE(own.Solve(1));
        ASSERT_EQ(w.radial.size(), own.Weights().size());
        EXPECT_EQ(std::memcmp(w.radial.data(), own.Weights().data(), w.radial.size() * sizeof(double)), 0) << s;
        EXPECT_EQ(std::memcmp(w.poly, own.Polynomial(), sizeof w.poly), 0) << s;
    }
}

}  // namespace

namespace {

// A member of a shared job takes its finished surface back while a late member is still to ask
// how many columns the pass has: the count must not follow the surface.
TEST(RbfGridPassTest, ColumnCountDoesNotFollowATargetTakenBack)
{
    RbfWeights w;
    w.radial = {1.0};
    const double px[] = {0.5}, py[] = {0.5};
    CSurface3DData target, empty;
    ASSERT_TRUE(target.Allocate(7, 5));
    CRbfGridPass pass(RbfMultiquadric, 0.2, 1, px, py, {0.0, 0.0, 0.1, 0.1});
    ASSERT_TRUE(pass.AddTarget(w, target));
    CSurface3DData other;
    ASSERT_TRUE(other.Allocate(6, 5));
    EXPECT_FALSE(pass.AddTarget(w, other));  // other node counts
    RbfWeights tooFew;
    EXPECT_FALSE(pass.AddTarget(tooFew, target));  // the pass would read past the weights
    ASSERT_TRUE(pass.EvaluateColumns(0, 7, nullptr));
    target.SwapGrid(empty);
    EXPECT_EQ(pass.ColumnCount(), 7);
    EXPECT_EQ(pass.TargetCount(), 1);
}

}  // namespace

namespace {

struct BlockCase {
    const char* name;
    int32_t kernel;
    int32_t points;  // not a multiple of the vector width, to reach the reductions' remainders
    int32_t sets;
    bool pointOnColumn;
};

class NodeBlockTest : public ::testing::TestWithParam<BlockCase> {};

// The sanitizers' checks keep the reductions from being vectorised: the sums then run in
// ascending order, and only the comparison of blocked and lone nodes is left to make.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
constexpr bool kVectorisedSums = false;
#else
constexpr bool kVectorisedSums = true;
#endif

// The node's value with its terms added one by one in ascending order.
float AscendingSum(int32_t kernel, const std::vector<double>& px, const std::vector<double>& py, const RbfWeights& w,
                   const RbfGridGeometry& grid, int32_t i, int32_t j)
{
    const double x = grid.x0 + grid.dx * i, y = grid.y0 + grid.dy * j;
    double sum = 0.0;
    for (size_t k = 0; k < px.size(); ++k) {
        const double dx = x - px[k], dy = y - py[k];
        sum += w.radial[k] * (dx == 0.0 && dy == 0.0 ? RbfPhiAtZero(kernel, 0.3) : RbfPhi(kernel, 0.3, dx * dx + dy * dy));
    }
    return float(sum + w.poly[0] + w.poly[1] * x + w.poly[2] * y);
}

// Nodes of a column are summed several at a time; every node must keep the bits it has when it
// is the only node of its grid. Nine rows leave one node over after two blocks of four.
TEST_P(NodeBlockTest, BlockedNodesHaveTheBitsOfLoneNodes)
{
    const BlockCase& c = GetParam();
    constexpr int32_t kColumns = 3, kRows = 9;
    const RbfGridGeometry grid{0.05, -0.1, 0.37, 0.13};
    // Far points in pairs with huge weights of opposite sign: the sums cancel so deeply that
    // adding their terms in another order changes the surface's float bits. Points on the grid
    // get small weights, so that they do not drown the cancellation.
    std::vector<double> px, py;
    std::vector<double> scale;
    for (int32_t k = 0; k < c.points; ++k) {
        const bool onGrid = c.pointOnColumn && k % 3 == 0;
        px.push_back(onGrid ? grid.x0 + grid.dx * (k % kColumns) : 40.0 + 1e-11 * k);
        py.push_back(onGrid && k % 6 == 0 ? grid.y0 + grid.dy * (k % kRows) : 30.0);
        scale.push_back(onGrid ? 1.0 : 1e12);
    }
    std::vector<RbfWeights> weights(size_t(c.sets));
    for (int32_t s = 0; s < c.sets; ++s) {
        int32_t far = 0;
        for (int32_t k = 0; k < c.points; ++k) {
            const bool big = scale[size_t(k)] > 1.0;
            const bool unpaired = big && far % 2 == 0 && k == c.points - 1;
            weights[size_t(s)].radial.push_back(unpaired ? 0.0 : (far % 2 ? -1.0 : 1.0) * scale[size_t(k)] * (1 + s));
            far += big;
        }
        weights[size_t(s)].poly[2] = -0.25;
    }
    int ascendingDiffers = 0;
    std::vector<CSurface3DData> whole(size_t(c.sets));
    CRbfGridPass pass(c.kernel, 0.3, c.points, px.data(), py.data(), grid);
    for (int32_t s = 0; s < c.sets; ++s) {
        ASSERT_TRUE(whole[size_t(s)].Allocate(kColumns, kRows));
        pass.AddTarget(weights[size_t(s)], whole[size_t(s)]);
    }
    ASSERT_TRUE(pass.EvaluateColumns(0, kColumns, nullptr));

    for (int32_t j = 0; j < kRows; ++j) {
        const RbfGridGeometry row{grid.x0, grid.y0 + grid.dy * j, grid.dx, grid.dy};
        std::vector<CSurface3DData> lone(size_t(c.sets));
        CRbfGridPass single(c.kernel, 0.3, c.points, px.data(), py.data(), row);
        for (int32_t s = 0; s < c.sets; ++s) {
            ASSERT_TRUE(lone[size_t(s)].Allocate(kColumns, 1));
            single.AddTarget(weights[size_t(s)], lone[size_t(s)]);
        }
        ASSERT_TRUE(single.EvaluateColumns(0, kColumns, nullptr));
        for (int32_t s = 0; s < c.sets; ++s)
            for (int32_t i = 0; i < kColumns; ++i) {
                const float a = whole[size_t(s)].Column(i)[j], b = lone[size_t(s)].Column(i)[0];
                EXPECT_EQ(std::memcmp(&a, &b, sizeof a), 0) << "set " << s << " node " << i << "," << j;
                ascendingDiffers += (a != AscendingSum(c.kernel, px, py, weights[size_t(s)], grid, i, j));
            }
    }
    // The data must be able to tell the vector order from the ascending one (which the kernels
    // without a vector row use), or the comparison above proves nothing.
    if (kVectorisedSums && c.kernel != RbfThinPlateSpline && c.points > 8) {
        EXPECT_GT(ascendingDiffers, 0);
    }
}

INSTANTIATE_TEST_SUITE_P(
    KernelsPointsAndSets, NodeBlockTest,
    ::testing::Values(BlockCase{"multiquadric_3_points_1_set", RbfMultiquadric, 3, 1, false},
                      BlockCase{"multiquadric_8_points_4_sets", RbfMultiquadric, 8, 4, false},
                      BlockCase{"multiquadric_13_points_7_sets", RbfMultiquadric, 13, 7, false},
                      BlockCase{"multiquadric_on_column_61_points_12_sets", RbfMultiquadric, 61, 12, true},
                      BlockCase{"madych_nelson_23_points_3_sets", RbfMadychNelson, 23, 3, false},
                      BlockCase{"madych_nelson_on_column_29_points_6_sets", RbfMadychNelson, 29, 6, true},
                      BlockCase{"cubic_on_column_17_points_5_sets", RbfCubicMultiquadric, 17, 5, true},
                      BlockCase{"thin_plate_on_column_11_points_2_sets", RbfThinPlateSpline, 11, 2, true}),
    [](const auto& info) { return info.param.name; });

}  // namespace
