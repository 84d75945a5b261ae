// Noise zones against hand-computed areas (planes, a sampled cone, thresholds on the nodes, a
// clipped square) and against identities a wrong cut or a wrong sign breaks: the zone at T and
// the zone of the negated surface at -T tile the region, and the outlines enclose the zone area.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <numbers>
#include <random>
#include <set>
#include <utility>

#include "document/ClipSettings.h"
#include "document/TessarixSettings.h"
#include "mapping/NoiseZones.h"
#include "mapping/Surface3DData.h"
#include "render/MapClipRegion.h"

namespace {

using NodeFn = std::function<float(int, int)>;

// A surface of nx × ny nodes; with 2^k + 1 nodes over an extent of 2^k units the nodes sit on
// whole map units exactly.
void Fill(CSurface3DData& s, int nx, int ny, const NodeFn& f)
{
    ASSERT_TRUE(s.Allocate(nx, ny));
    for (int i = 0; i < nx; ++i)
        s.XArray()[size_t(i)] = float(double(i) / (nx - 1));
    for (int j = 0; j < ny; ++j)
        s.YArray()[size_t(j)] = float(double(j) / (ny - 1));
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j)
            s.Value(i, j) = f(i, j);
    s.UpdateStatistics();
    s.SetValid(true);
}

// 3 × 3 nodes over 0..2: a peak of 90 in the middle, 80 around it.
float Cone(int i, int j)
{
    return i == 1 && j == 1 ? 90.0f : 80.0f;
}

// 5 × 5 nodes: 70 on the border and in the middle, 90 on the ring between.
float Crater(int i, int j)
{
    const bool border = i == 0 || j == 0 || i == 4 || j == 4;
    return border || (i == 2 && j == 2) ? 70.0f : 90.0f;
}

bool RepeatsVertex(const std::vector<PointD>& ring)
{
    std::set<std::pair<double, double>> seen;
    for (const PointD& p : ring)
        if (!seen.insert({p.x, p.y}).second)
            return true;
    return false;
}

// The outline invariants: outer rings counter-clockwise, holes clockwise, no vertex twice in a
// ring, and the polygons together enclose the zone's area.
void ExpectSoundOutlines(const NoiseZone& zone, double tolerance)
{
    double enclosed = 0.0;
    for (const PolygonWithHoles& p : zone.polygons) {
        EXPECT_GT(SignedArea(p.outer), 0.0);
        EXPECT_FALSE(RepeatsVertex(p.outer));
        for (const auto& hole : p.holes) {
            EXPECT_LT(SignedArea(hole), 0.0);
            EXPECT_FALSE(RepeatsVertex(hole));
        }
        enclosed += p.Area();
    }
    EXPECT_NEAR(enclosed, zone.area, tolerance) << "level " << zone.level;
}

struct AreaCase {
    const char* name;
    int nx, ny;
    NodeFn f;
    MapExtent extent;
    float level;
    double area;
};

class ZoneAreaTest : public testing::TestWithParam<AreaCase> {};

TEST_P(ZoneAreaTest, MatchesHandComputedArea)
{
    const AreaCase& c = GetParam();
    CSurface3DData s;
    Fill(s, c.nx, c.ny, c.f);
    const NoiseZoneSet set = ComputeNoiseZones(s, c.extent, nullptr, {c.level}, ZoneOutlines::Yes);
    ASSERT_EQ(set.status, NoiseZoneStatus::Computed);
    EXPECT_NEAR(set.zones[0].area, c.area, 1e-9 * std::max(1.0, c.area));
    ExpectSoundOutlines(set.zones[0], 1e-9 * std::max(1.0, c.area));
}

const MapExtent kEight{0.0f, 8.0f, 0.0f, 8.0f};
const NodeFn kPlaneX = [](int i, int) { return float(i); };

INSTANTIATE_TEST_SUITE_P(
    Surfaces, ZoneAreaTest,
    testing::Values(
        // z = x over 0..8: the zone is x >= T.
        AreaCase{"PlaneBetweenNodes", 9, 9, kPlaneX, kEight, 4.5f, 3.5 * 8.0},
        AreaCase{"PlaneThresholdOnNodes", 9, 9, kPlaneX, kEight, 3.0f, 5.0 * 8.0},
        AreaCase{"BelowEverything", 9, 9, kPlaneX, kEight, -1.0f, 64.0},
        AreaCase{"AboveEverything", 9, 9, kPlaneX, kEight, 8.5f, 0.0},
        AreaCase{"OnlyTheTopEdgeNodes", 9, 9, kPlaneX, kEight, 8.0f, 0.0},
        // z = x + y: the triangle above the anti-diagonal x + y = 8.
        AreaCase{"DiagonalPlane", 9, 9, [](int i, int j) { return float(i + j); }, kEight, 8.0f, 32.0},
        // A cell of 2 × 1 units (the extent is stretched): x >= 3.5 of 0..8 over 0..4 in y.
        AreaCase{"StretchedCells", 9, 5, kPlaneX, {0.0f, 8.0f, 0.0f, 4.0f}, 3.5f, 4.5 * 4.0},
        // Far from the origin the digits must not go into the coordinates.
        AreaCase{"FarFromOrigin", 9, 9, kPlaneX, {500000.0f, 500008.0f, 4000000.0f, 4000008.0f}, 4.5f, 28.0},
        // Per cell: two triangles of 1/12 at the peak corner (the centre is 82.5), four cells.
        AreaCase{"SampledCone", 3, 3, Cone, {0.0f, 2.0f, 0.0f, 2.0f}, 85.0f, 4.0 * 2.0 / 12.0},
        AreaCase{"ConeOnlyAtItsPeak", 3, 3, Cone, {0.0f, 2.0f, 0.0f, 2.0f}, 90.0f, 0.0},
        // A ridge of nodes exactly at the threshold, everything else below: a line, no area.
        AreaCase{"RidgeAtThreshold", 9, 9, [](int i, int) { return i == 4 ? 85.0f : 80.0f; }, kEight, 85.0f, 0.0}),
    [](const testing::TestParamInfo<AreaCase>& info) { return std::string(info.param.name); });

TEST(NoiseZoneOutline, ConeGivesOneOctagon)
{
    CSurface3DData s;
    Fill(s, 3, 3, Cone);
    const NoiseZoneSet set = ComputeNoiseZones(s, {0.0f, 2.0f, 0.0f, 2.0f}, nullptr, {85.0f}, ZoneOutlines::Yes);
    ASSERT_EQ(set.zones[0].polygons.size(), 1u);
    const PolygonWithHoles& p = set.zones[0].polygons[0];
    EXPECT_TRUE(p.holes.empty());
    ASSERT_EQ(p.outer.size(), 8u);
    for (const PointD& v : p.outer) {
        // Half-way along the axes from the peak, or two thirds of the way to a cell centre.
        const double dx = std::abs(v.x - 1.0), dy = std::abs(v.y - 1.0);
        const bool onAxis = (dx == 0.0 && dy == 0.5) || (dx == 0.5 && dy == 0.0);
        const bool diagonal = std::abs(dx - 1.0 / 3.0) < 1e-12 && std::abs(dy - 1.0 / 3.0) < 1e-12;
        EXPECT_TRUE(onAxis || diagonal) << v.x << ", " << v.y;
    }
}

TEST(NoiseZoneOutline, PlaneZoneIsOneRectangle)
{
    CSurface3DData s;
    Fill(s, 9, 9, kPlaneX);
    const NoiseZoneSet set = ComputeNoiseZones(s, kEight, nullptr, {4.5f}, ZoneOutlines::Yes);
    ASSERT_EQ(set.zones[0].polygons.size(), 1u);
    const std::vector<PointD>& ring = set.zones[0].polygons[0].outer;
    // Every collinear vertex along the grid lines is gone.
    ASSERT_EQ(ring.size(), 4u);
    const std::set<std::pair<double, double>> corners(
        {{4.5, 0.0}, {8.0, 0.0}, {8.0, 8.0}, {4.5, 8.0}});
    for (const PointD& v : ring)
        EXPECT_TRUE(corners.count({v.x, v.y})) << v.x << ", " << v.y;
}

TEST(NoiseZoneOutline, CraterRingHasAHole)
{
    CSurface3DData s;
    Fill(s, 5, 5, Crater);
    const NoiseZoneSet set = ComputeNoiseZones(s, {0.0f, 4.0f, 0.0f, 4.0f}, nullptr, {80.0f}, ZoneOutlines::Yes);
    ASSERT_EQ(set.zones[0].polygons.size(), 1u);
    EXPECT_EQ(set.zones[0].polygons[0].holes.size(), 1u);
    ExpectSoundOutlines(set.zones[0], 1e-12);
    EXPECT_GT(set.zones[0].area, 0.0);
}

TEST(NoiseZoneOutline, TwoPeaksGiveTwoPolygons)
{
    CSurface3DData s;
    Fill(s, 9, 5, [](int i, int j) { return (i == 2 || i == 6) && j == 2 ? 90.0f : 80.0f; });
    const NoiseZoneSet set = ComputeNoiseZones(s, {0.0f, 8.0f, 0.0f, 4.0f}, nullptr, {85.0f}, ZoneOutlines::Yes);
    EXPECT_EQ(set.zones[0].polygons.size(), 2u);
    EXPECT_NEAR(set.zones[0].area, 2.0 * 2.0 / 3.0, 1e-12);
}

TEST(NoiseZoneStatusTest, RefusesMissingSurfaceAndReversedExtent)
{
    CSurface3DData empty;
    EXPECT_EQ(ComputeNoiseZones(empty, kEight, nullptr, {80.0f}, ZoneOutlines::No).status, NoiseZoneStatus::NoSurface);
    CSurface3DData failed;
    Fill(failed, 9, 9, kPlaneX);
    failed.SetValid(false);  // a failed solve leaves the grid allocated but not valid
    EXPECT_EQ(ComputeNoiseZones(failed, kEight, nullptr, {80.0f}, ZoneOutlines::No).status, NoiseZoneStatus::NoSurface);
    CSurface3DData s;
    Fill(s, 9, 9, kPlaneX);
    EXPECT_EQ(ComputeNoiseZones(s, {8.0f, 0.0f, 0.0f, 8.0f}, nullptr, {80.0f}, ZoneOutlines::No).status,
              NoiseZoneStatus::InvalidExtent);
}

// ---- clipping ------------------------------------------------------------------------------

// Settings of a picture map over 0..8 whose picture covers the extent, with one polyline per
// entry of `polylines` (in map units).
CTessarixSettings ClippedSettings(const std::vector<std::vector<PointD>>& polylines, int fillMode = 0)
{
    CTessarixSettings s;
    s.mapMode = MapModeImage;
    s.extent = kEight;
    s.imageRect = {0.0f, 0.0f, 8.0f, 8.0f};
    s.xAxis.start = s.yAxis.start = 0.0f;
    s.xAxis.stop = s.yAxis.stop = 8.0f;
    ClipPolylineSet set;
    set.fillMode = fillMode;
    for (const auto& line : polylines) {
        ClipPolyline p;
        for (const PointD& v : line)
            p.vertices.push_back({float(v.x / 8.0), float(v.y / 8.0)});
        set.polylines.push_back(p);
    }
    SetClipping(s, set);
    return s;
}

const std::vector<PointD> kSquare26{{2, 2}, {6, 2}, {6, 6}, {2, 6}};
const std::vector<PointD> kSquare04{{0, 0}, {4, 0}, {4, 4}, {0, 4}};
const std::vector<PointD> kSquare37{{3, 3}, {7, 3}, {7, 7}, {3, 7}};

struct ClipCase {
    const char* name;
    CTessarixSettings settings;
    float level;
    double area;
    double regionArea;
};

class ZoneClipTest : public testing::TestWithParam<ClipCase> {};

TEST_P(ZoneClipTest, CountsOnlyTheClippedRegion)
{
    const ClipCase& c = GetParam();
    CSurface3DData s;
    Fill(s, 9, 9, kPlaneX);
    const std::optional<ZoneClipRegion> region = MapClipRegionOf(c.settings);
    ASSERT_TRUE(region.has_value());
    const NoiseZoneSet set = ComputeNoiseZones(s, kEight, &*region, {c.level}, ZoneOutlines::Yes);
    ASSERT_EQ(set.status, NoiseZoneStatus::Computed);
    EXPECT_TRUE(set.clipped);
    EXPECT_NEAR(set.regionArea, c.regionArea, 1e-9);
    EXPECT_NEAR(set.zones[0].area, c.area, 1e-9);
    ExpectSoundOutlines(set.zones[0], 1e-9);
}

CTessarixSettings WithBoundary(CTessarixSettings s)
{
    s.autoBoundaryPolyline = 1;
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Regions, ZoneClipTest,
    testing::Values(
        // z = x inside the square 2..6: x >= 4 leaves 2 × 4.
        ClipCase{"SquareHalfInZone", ClippedSettings({kSquare26}), 4.0f, 8.0, 16.0},
        ClipCase{"SquareBelowEverything", ClippedSettings({kSquare26}), -1.0f, 16.0, 16.0},
        // A triangle whose sides cut cells at odd places; z = x >= 4 takes half by symmetry.
        ClipCase{"TriangleAcrossCells", ClippedSettings({{{1, 1}, {7, 1}, {4, 7}}}), 4.0f, 9.0, 18.0},
        // Two overlapping squares (overlap 1 × 1... 1 unit: 3..4 squared): odd-even leaves the
        // overlap out, winding keeps it.
        ClipCase{"OverlapOddEven", ClippedSettings({kSquare04, kSquare37}), -1.0f, 30.0, 30.0},
        ClipCase{"OverlapWinding", ClippedSettings({kSquare04, kSquare37}, 1), -1.0f, 31.0, 31.0},
        // The map boundary with one polyline, odd-even: the map minus the square.
        ClipCase{"BoundaryMinusSquare", WithBoundary(ClippedSettings({kSquare26})), 4.0f, 32.0 - 8.0, 48.0},
        // A square reaching past the map: only the map's part counts.
        ClipCase{"SquarePastTheMap", ClippedSettings({{{6, 6}, {10, 6}, {10, 10}, {6, 10}}}), 7.0f, 2.0, 4.0}),
    [](const testing::TestParamInfo<ClipCase>& info) { return std::string(info.param.name); });

TEST(ZoneClipRegion, AppliesOnlyWhereTheMapIsClipped)
{
    CTessarixSettings s = ClippedSettings({kSquare26});
    EXPECT_TRUE(MapClipRegionOf(s).has_value());
    s.clipTarget = ClipMapAndImage;
    EXPECT_TRUE(MapClipRegionOf(s).has_value());
    s.mapMode = MapModeImageColorMap;
    EXPECT_TRUE(MapClipRegionOf(s).has_value());
    s.clipTarget = ClipImageOnly;
    EXPECT_FALSE(MapClipRegionOf(s).has_value()) << "the picture alone is clipped";
    s.clipTarget = ClipMapOnly;
    s.mapMode = MapModeColorMap;
    EXPECT_FALSE(MapClipRegionOf(s).has_value()) << "no clipping outside the picture modes";
    CTessarixSettings none = WithBoundary(ClippedSettings({}));
    EXPECT_FALSE(MapClipRegionOf(none).has_value()) << "the boundary alone clips nothing";
}

TEST(ZoneClipRegion, ClippedSquareOutlineIsOneRectangle)
{
    CSurface3DData s;
    Fill(s, 9, 9, kPlaneX);
    const auto region = MapClipRegionOf(ClippedSettings({kSquare26}));
    const NoiseZoneSet set = ComputeNoiseZones(s, kEight, &*region, {4.0f}, ZoneOutlines::Yes);
    ASSERT_EQ(set.zones[0].polygons.size(), 1u);
    EXPECT_EQ(set.zones[0].polygons[0].outer.size(), 4u);
}

// ---- a seeded random field, checked two ways ---------------------------------------------

struct FieldCase {
    const char* name;
    bool clipped;
    int fillMode;
};

class ZoneFieldTest : public testing::TestWithParam<FieldCase> {};

// Where z >= T and where -z >= -T cover the region once (their overlap z == T has no area),
// the areas fall as the threshold rises, and the outlines enclose the area.
TEST_P(ZoneFieldTest, ZoneAndComplementTileTheRegion)
{
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> level(60.0f, 100.0f);
    const int nx = 33, ny = 21;
    std::vector<float> values(size_t(nx * ny));
    for (float& v : values)
        v = level(random);
    // Some nodes exactly on a threshold, the degenerate case of the cut.
    for (size_t k = 0; k < values.size(); k += 7)
        values[k] = 85.0f;
    CSurface3DData up, down;
    Fill(up, nx, ny, [&](int i, int j) { return values[size_t(i * ny + j)]; });
    Fill(down, nx, ny, [&](int i, int j) { return -values[size_t(i * ny + j)]; });
    const MapExtent extent{-3.0f, 29.0f, 10.0f, 30.0f};

    std::optional<ZoneClipRegion> region;
    if (GetParam().clipped) {
        std::vector<PointD> ellipse, star;
        for (int k = 0; k < 40; ++k) {
            const double t = 2.0 * std::numbers::pi * k / 40.0;
            ellipse.push_back({13.0 + 14.0 * std::cos(t), 20.0 + 8.5 * std::sin(t)});
        }
        for (int k = 0; k < 5; ++k) {
            const double t = 2.0 * std::numbers::pi * (2 * k) / 5.0;
            star.push_back({13.0 + 9.0 * std::cos(t), 20.0 + 9.0 * std::sin(t)});
        }
        region = ZoneClipRegion{{ellipse, star}, GetParam().fillMode == 1 ? FillRule::Winding : FillRule::OddEven};
    }
    const ZoneClipRegion* clip = region ? &*region : nullptr;
    const std::vector<float> levels{70.0f, 80.0f, 85.0f, 90.0f};
    std::vector<float> negated;
    for (float l : levels)
        negated.push_back(-l);
    const NoiseZoneSet above = ComputeNoiseZones(up, extent, clip, levels, ZoneOutlines::Yes);
    const NoiseZoneSet below = ComputeNoiseZones(down, extent, clip, negated, ZoneOutlines::No);
    ASSERT_EQ(above.status, NoiseZoneStatus::Computed);
    if (!clip) {
        EXPECT_NEAR(above.regionArea, 32.0 * 20.0, 1e-9);
    }
    for (size_t k = 0; k < levels.size(); ++k) {
        EXPECT_NEAR(above.zones[k].area + below.zones[k].area, above.regionArea, 1e-9 * above.regionArea)
            << "level " << levels[k];
        if (k > 0) {
            EXPECT_LE(above.zones[k].area, above.zones[k - 1].area);
        }
        ExpectSoundOutlines(above.zones[k], 1e-9 * above.regionArea);
    }
}

INSTANTIATE_TEST_SUITE_P(Fields, ZoneFieldTest,
                         testing::Values(FieldCase{"WholeMap", false, 0}, FieldCase{"ClippedOddEven", true, 0},
                                         FieldCase{"ClippedWinding", true, 1}),
                         [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.name); });

// ---- the level list ------------------------------------------------------------------------

struct LevelsCase {
    const char* name;
    const char* text;
    bool ok;
    std::vector<float> levels;
};

class ZoneLevelsTest : public testing::TestWithParam<LevelsCase> {};

TEST_P(ZoneLevelsTest, ParsesOrRefuses)
{
    const LevelsCase& c = GetParam();
    std::vector<float> levels{1.0f};
    EXPECT_EQ(ParseZoneLevels(QString::fromUtf8(c.text), &levels), c.ok);
    EXPECT_EQ(levels, c.ok ? c.levels : std::vector<float>{1.0f}) << "a refused list leaves the levels alone";
}

INSTANTIATE_TEST_SUITE_P(
    Lists, ZoneLevelsTest,
    testing::Values(LevelsCase{"Defaults", "80,85,87", true, {80.0f, 85.0f, 87.0f}},
                    LevelsCase{"SpacesAndOrder", " 87 , 80,85.5", true, {80.0f, 85.5f, 87.0f}},
                    LevelsCase{"RepeatsOnce", "85,85", true, {85.0f}},
                    LevelsCase{"Negative", "-3", true, {-3.0f}},
                    LevelsCase{"Empty", "", false, {}},
                    LevelsCase{"EmptyItem", "80,,85", false, {}},
                    LevelsCase{"Word", "80,loud", false, {}},
                    LevelsCase{"NotANumber", "nan", false, {}},
                    LevelsCase{"Infinite", "inf", false, {}},
                    LevelsCase{"TooMany", "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21", false, {}}),
    [](const testing::TestParamInfo<LevelsCase>& info) { return std::string(info.param.name); });

TEST(ZoneLevelsText, ReadsBack)
{
    std::vector<float> levels;
    ASSERT_TRUE(ParseZoneLevels(ZoneLevelsText({80.0f, 85.5f, 87.0f}), &levels));
    EXPECT_EQ(levels, (std::vector<float>{80.0f, 85.5f, 87.0f}));
    EXPECT_EQ(ZoneLevelsText({80.0f, 85.5f}), QStringLiteral("80, 85.5"));
}

}  // namespace
