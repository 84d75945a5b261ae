// The trapezoids of a clipping region (their total area under both fill rules, inside the
// domain) and the outline of a union of pieces (cancelling, touching rings, holes).

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "geometry/RegionTrapezoids.h"
#include "geometry/RingAssembly.h"

namespace {

using Ring = std::vector<PointD>;

Ring Square(double x0, double y0, double x1, double y1)
{
    return {{x0, y0}, {x1, y0}, {x1, y1}, {x0, y1}};
}

Ring Reversed(Ring r)
{
    std::reverse(r.begin(), r.end());
    return r;
}

struct RegionCase {
    const char* name;
    std::vector<Ring> rings;
    FillRule rule;
    double area;
};

class RegionTest : public testing::TestWithParam<RegionCase> {};

TEST_P(RegionTest, TrapezoidsCoverTheRegionOnce)
{
    const RegionCase& c = GetParam();
    const RectD domain{0.0, 0.0, 10.0, 10.0};
    const std::vector<Trapezoid> parts = DecomposeRegion(c.rings, c.rule, domain);
    double area = 0.0;
    for (const Trapezoid& t : parts) {
        EXPECT_GT(t.Area(), 0.0);
        EXPECT_GE(t.yBottom, domain.y0);
        EXPECT_LE(t.yTop, domain.y1);
        area += t.Area();
    }
    EXPECT_NEAR(area, c.area, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(
    Regions, RegionTest,
    testing::Values(RegionCase{"Square", {Square(2, 2, 6, 6)}, FillRule::OddEven, 16.0},
                    RegionCase{"ClockwiseSquare", {Reversed(Square(2, 2, 6, 6))}, FillRule::Winding, 16.0},
                    RegionCase{"PastTheDomain", {Square(-5, 8, 15, 20)}, FillRule::OddEven, 20.0},
                    RegionCase{"OutsideTheDomain", {Square(11, 11, 12, 12)}, FillRule::OddEven, 0.0},
                    RegionCase{"NoRings", {}, FillRule::Winding, 0.0},
                    RegionCase{"OverlapOddEven", {Square(0, 0, 4, 4), Square(2, 2, 6, 6)}, FillRule::OddEven, 24.0},
                    RegionCase{"OverlapWinding", {Square(0, 0, 4, 4), Square(2, 2, 6, 6)}, FillRule::Winding, 28.0},
                    RegionCase{"NestedSameWayOddEven", {Square(1, 1, 9, 9), Square(3, 3, 5, 5)}, FillRule::OddEven,
                               60.0},
                    RegionCase{"NestedSameWayWinding", {Square(1, 1, 9, 9), Square(3, 3, 5, 5)}, FillRule::Winding,
                               64.0},
                    RegionCase{"NestedOppositeWinding", {Square(1, 1, 9, 9), Reversed(Square(3, 3, 5, 5))},
                               FillRule::Winding, 60.0},
                    // Two triangles of 4 meeting at (2, 2); both lobes wind once, one each way.
                    RegionCase{"BowTie", {{{0, 0}, {4, 4}, {4, 0}, {0, 4}}}, FillRule::Winding, 8.0},
                    RegionCase{"Diamond", {{{5, 1}, {9, 5}, {5, 9}, {1, 5}}}, FillRule::OddEven, 32.0},
                    // A ring with a vertex that is not a number bounds nothing (and breaks no ordering).
                    RegionCase{"NotANumberVertex", {{{2, 2}, {6, 2}, {6, 6}, {2, 6}}, {{1, 1}, {NAN, 3}, {3, 3}}},
                               FillRule::OddEven, 16.0},
                    // A polygon with a vertex on the domain's side: the sides cross there.
                    RegionCase{"SlantPastTheSide", {{{8, 0}, {12, 4}, {8, 8}}}, FillRule::OddEven, 16.0 - 4.0}),
    [](const testing::TestParamInfo<RegionCase>& info) { return std::string(info.param.name); });

// ---- outlines --------------------------------------------------------------------------------

void AddRing(CBoundaryEdges& edges, const Ring& ring)
{
    for (size_t k = 0; k < ring.size(); ++k)
        edges.Add(ring[k], ring[(k + 1) % ring.size()]);
}

struct OutlineCase {
    const char* name;
    std::vector<Ring> pieces;  // each counter-clockwise
    size_t polygons;
    size_t holes;
    size_t vertices;  // of all outer rings together
    double area;
};

class OutlineTest : public testing::TestWithParam<OutlineCase> {};

TEST_P(OutlineTest, AssemblesTheUnion)
{
    const OutlineCase& c = GetParam();
    CBoundaryEdges edges;
    for (const Ring& piece : c.pieces)
        AddRing(edges, piece);
    const std::vector<PolygonWithHoles> polygons = edges.Polygons();
    ASSERT_EQ(polygons.size(), c.polygons);
    size_t holes = 0, vertices = 0;
    double area = 0.0;
    for (const PolygonWithHoles& p : polygons) {
        EXPECT_GT(SignedArea(p.outer), 0.0);
        for (const Ring& h : p.holes)
            EXPECT_LT(SignedArea(h), 0.0);
        holes += p.holes.size();
        vertices += p.outer.size();
        area += p.Area();
    }
    EXPECT_EQ(holes, c.holes);
    EXPECT_EQ(vertices, c.vertices);
    EXPECT_NEAR(area, c.area, 1e-12);
}

// The eight unit squares around (1, 1) .. (2, 2): a frame with a hole.
std::vector<Ring> Frame()
{
    std::vector<Ring> pieces;
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            if (i != 1 || j != 1)
                pieces.push_back(Square(i, j, i + 1, j + 1));
    return pieces;
}

INSTANTIATE_TEST_SUITE_P(
    Unions, OutlineTest,
    testing::Values(
        OutlineCase{"FourSquaresOneRectangle",
                    {Square(0, 0, 1, 1), Square(1, 0, 2, 1), Square(0, 1, 1, 2), Square(1, 1, 2, 2)}, 1, 0, 4, 4.0},
        // Cut at y = 1 into pieces whose edges there have different end points.
        OutlineCase{"SlabCutsWithOtherEnds", {Square(0, 0, 2, 1), Square(0, 1, 0.5, 2), Square(0.5, 1, 2, 2)}, 1, 0, 4,
                    4.0},
        OutlineCase{"TouchingAtACorner", {Square(0, 0, 1, 1), Square(1, 1, 2, 2)}, 2, 0, 8, 2.0},
        OutlineCase{"FrameWithHole", Frame(), 1, 1, 4, 8.0},
        // The right middle square only half there: the middle hole touches the outer ring at (2, 2).
        OutlineCase{"HoleTouchingTheOuterRing",
                    {Square(0, 0, 1, 1), Square(1, 0, 2, 1), Square(2, 0, 3, 1), Square(0, 1, 1, 2), Square(0, 2, 1, 3),
                     Square(1, 2, 2, 3), Square(2, 2, 3, 3), {{2, 1}, {3, 1}, {2, 2}}},
                    1, 1, 7, 7.5},
        OutlineCase{"IslandInAHole",
                    {Square(0, 0, 3, 1), Square(0, 2, 3, 3), Square(0, 1, 1, 2), Square(2, 1, 3, 2),
                     Square(1.25, 1.25, 1.75, 1.75)},
                    2, 1, 8, 8.25}),
    [](const testing::TestParamInfo<OutlineCase>& info) { return std::string(info.param.name); });

TEST(Outline, OpenChainIsDroppedNotLooped)
{
    // Edges that do not close (a piece handed in only in part) give no ring and no hang.
    std::vector<CBoundaryEdges::Edge> edges{{{0, 0}, {1, 0}}, {{1, 0}, {1, 1}}};
    EXPECT_TRUE(AssemblePolygons(edges).empty());
}

TEST(Outline, OppositeEdgesCancelToNothing)
{
    CBoundaryEdges edges;
    AddRing(edges, Square(0, 0, 1, 1));
    AddRing(edges, Reversed(Square(0, 0, 1, 1)));
    EXPECT_TRUE(edges.Remaining().empty());
    EXPECT_TRUE(edges.Polygons().empty());
}

}  // namespace
