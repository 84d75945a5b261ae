#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "mapping/LabelPlacer.h"

namespace {

// A 1000 x 1000 pixel graph at (0, 0) for the unit extent: one normalised unit is 1000 pixels.
struct Device {
    CMapAxis x{CMapAxis::BelowHorizontal, QStringLiteral("X")};
    CMapAxis y{CMapAxis::LeftOfVertical, QStringLiteral("Y")};
    NormalisedToDevice map;
    LabelStyle style;
    Device()
    {
        x.SetAxisRange(0.0f, 1.0f, 0.1f);
        y.SetAxisRange(0.0f, 1.0f, 0.1f);
        x.SetAxisRect({0, 0, 1000, 1000});
        y.SetAxisRect({0, 0, 1000, 1000});
        map.xAxis = &x;
        map.yAxis = &y;
        style.graph = {0, 0, 1000, 1000};
    }
};

CCMAP_Polyline Line(KW_FPOINT a, KW_FPOINT b, int vertices)
{
    CCMAP_Polyline l;
    for (int k = 0; k < vertices; ++k) {
        const float t = float(k) / float(vertices - 1);
        l.push_back({a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t});
    }
    l.minX = std::min(a.x, b.x), l.maxX = std::max(a.x, b.x);
    l.minY = std::min(a.y, b.y), l.maxY = std::max(a.y, b.y);
    return l;
}

struct StretchCase {
    const char* name;
    KW_FPOINT a, b;
    int expectedAngle;  // tenths of a degree; negative for a line rising to the right
};

class StraightLineLabelsTest : public ::testing::TestWithParam<StretchCase> {};

TEST_P(StraightLineLabelsTest, LabelsOnConsecutiveStretches)
{
    const StretchCase& c = GetParam();
    Device d;
    const CCMAP_Polyline line = Line(c.a, c.b, 161);  // vertices about 5 px apart
    const auto labels = PlaceLabelsOnPolyline(line, d.map, d.style, 40, 10);
    ASSERT_GE(labels.size(), 3u);
    for (size_t k = 0; k < labels.size(); ++k) {
        const LabelPlacement& p = labels[k];
        EXPECT_NEAR(p.angleTenths, c.expectedAngle, 6);  // the ends sit on whole pixels
        // Inside the graph shrunk by w/2 + edge distance = 30 px.
        EXPECT_GE(p.anchorX, 30);
        EXPECT_LT(p.anchorX, 970);
        EXPECT_GE(p.anchorY, 30);
        EXPECT_LT(p.anchorY, 970);
        // The text starts half its width before the anchor, along the line.
        const double theta = c.expectedAngle * 3.141592653589793 / 1800.0;
        EXPECT_NEAR(p.textX, p.anchorX - 20 * std::cos(theta) - 5 * std::sin(theta), 1.5);
        EXPECT_NEAR(p.textY, p.anchorY + 5 * std::cos(theta) - 20 * std::sin(theta), 1.5);
        if (k > 0) {
            // Stretches of at least 90 px, one vertex apart: anchors at least ~90 px apart.
            const double gap = std::hypot(p.anchorX - labels[k - 1].anchorX, p.anchorY - labels[k - 1].anchorY);
            EXPECT_GE(gap, 88.0);
            EXPECT_LE(gap, 110.0);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Directions, StraightLineLabelsTest,
                         ::testing::Values(StretchCase{"horizontal", {0.1f, 0.5f}, {0.9f, 0.5f}, 0},
                                           StretchCase{"rising_right", {0.1f, 0.1f}, {0.7f, 0.7f}, -450},
                                           StretchCase{"rising_drawn_backwards", {0.7f, 0.7f}, {0.1f, 0.1f}, -450},
                                           StretchCase{"falling_right", {0.1f, 0.7f}, {0.7f, 0.1f}, 450}),
                         [](const auto& info) { return info.param.name; });

TEST(LabelPlacerTest, NoLabelWithinInsetOfTheBorder)
{
    Device d;
    // A horizontal line 20 px below the top edge: every anchor lies inside the 30 px inset.
    const CCMAP_Polyline line = Line({0.05f, 0.98f}, {0.95f, 0.98f}, 91);
    EXPECT_TRUE(PlaceLabelsOnPolyline(line, d.map, d.style, 40, 10).empty());
    // 35 px below it: labels appear.
    const CCMAP_Polyline inside = Line({0.05f, 0.965f}, {0.95f, 0.965f}, 91);
    EXPECT_FALSE(PlaceLabelsOnPolyline(inside, d.map, d.style, 40, 10).empty());
}

TEST(LabelPlacerTest, ShortOrCurvedStretchesCarryNoLabel)
{
    Device d;
    EXPECT_TRUE(PlaceLabelsOnPolyline(Line({0.4f, 0.5f}, {0.48f, 0.5f}, 9), d.map, d.style, 40, 10).empty());
    // A zigzag: long enough, but its length over its chord is far above the tolerance.
    CCMAP_Polyline zig;
    for (int k = 0; k < 60; ++k)
        zig.push_back({0.2f + 0.01f * k, 0.5f + ((k % 2) ? 0.01f : 0.0f)});
    EXPECT_TRUE(PlaceLabelsOnPolyline(zig, d.map, d.style, 40, 10).empty());
}

TEST(LabelPlacerTest, ClosedContourLabelsKeepAwayFromTheFirst)
{
    Device d;
    // A circle of radius 0.1 (circumference about 628 px) with 400 vertices.
    CCMAP_Polyline circle;
    for (int k = 0; k <= 400; ++k) {
        const double a = 2.0 * 3.141592653589793 * (k % 400) / 400.0;
        circle.push_back({float(0.5 + 0.1 * std::cos(a)), float(0.5 + 0.1 * std::sin(a))});
    }
    circle.closed = 1;
    d.style.curveTolerance = 1.1f;
    const auto labels = PlaceLabelsOnPolyline(circle, d.map, d.style, 40, 10);
    ASSERT_GE(labels.size(), 2u);
    const int need = 40 + d.style.labelDistance;
    for (size_t k = 1; k < labels.size(); ++k) {
        const double gap = std::hypot(labels[k].anchorX - labels[0].anchorX, labels[k].anchorY - labels[0].anchorY);
        EXPECT_GE(gap, need - 2) << "label " << k;
    }
    // The same line left open may put a label right next to the first one near its end.
    circle.closed = 0;
    const auto open = PlaceLabelsOnPolyline(circle, d.map, d.style, 40, 10);
    EXPECT_GE(open.size(), labels.size());
}

TEST(LabelPlacerTest, LevelSkipsPolylinesOutsideTheClip)
{
    Device d;
    CCMAP_ContourLevel level;
    level.polylines.push_back(std::make_unique<CCMAP_Polyline>(Line({0.1f, 0.2f}, {0.4f, 0.2f}, 61)));
    level.polylines.push_back(std::make_unique<CCMAP_Polyline>(Line({0.6f, 0.8f}, {0.9f, 0.8f}, 61)));
    const auto both = PlaceLabelsOnLevel(level, d.map, d.style, 40, 12, 10,
                                         {0, 0, 1000, 1000});
    const auto lowerOnly = PlaceLabelsOnLevel(level, d.map, d.style, 40, 12, 10, {0, 700, 500, 1000});
    ASSERT_FALSE(lowerOnly.empty());
    EXPECT_GT(both.size(), lowerOnly.size());
    for (const LabelPlacement& p : lowerOnly)
        EXPECT_GT(p.anchorY, 700);  // only the line at y = 0.2 (device 800)
    // A clip just beyond the widened box of the lower line still takes it.
    EXPECT_EQ(PlaceLabelsOnLevel(level, d.map, d.style, 40, 12, 10, {0, 835, 300, 900}).size(), lowerOnly.size());
    EXPECT_TRUE(PlaceLabelsOnLevel(level, d.map, d.style, 40, 12, 10, {0, 845, 300, 900}).empty());
}

TEST(LabelPlacerTest, NormalisedToDeviceUsesTheExtent)
{
    CMapAxis x{CMapAxis::BelowHorizontal, QStringLiteral("X")}, y{CMapAxis::LeftOfVertical, QStringLiteral("Y")};
    x.SetAxisRange(10.0f, 20.0f, 1.0f);
    y.SetAxisRange(0.0f, 5.0f, 1.0f);
    x.SetAxisRect({100, 0, 600, 400});
    y.SetAxisRect({100, 0, 600, 400});
    NormalisedToDevice m{&x, &y, 12.0f, 18.0f, 1.0f, 4.0f};
    EXPECT_EQ(m.MapX(0.0f), 200);   // world 12
    EXPECT_EQ(m.MapX(1.0f), 500);   // world 18
    EXPECT_EQ(m.MapY(0.0f), 320);   // world 1, counted up from the bottom
    EXPECT_EQ(m.MapY(1.0f), 80);    // world 4
    EXPECT_EQ(m.MapLength(0.5f), 150);
}

}  // namespace

namespace {

// Polylines for comparing the search with the vertex-by-vertex walk, from a seeded generator.
struct SearchCase {
    const char* name;
    TxRect graph;                      // the axes span it; the extent is mapped onto it
    float x0, x1;                      // the extent along X
    float tolerance;
    std::function<CCMAP_Polyline(std::mt19937&)> make;
};

CCMAP_Polyline Wiggly(std::mt19937& rng, int vertices, float step, float bend)
{
    std::uniform_real_distribution<float> turn(-bend, bend);
    CCMAP_Polyline l;
    float x = 0.1f, y = 0.5f, heading = 0.0f;
    for (int k = 0; k < vertices; ++k) {
        l.push_back({x, y});
        heading += turn(rng);
        x += step * std::cos(heading);
        y += step * std::sin(heading);
    }
    return l;
}

class LabelSearchTest : public ::testing::TestWithParam<SearchCase> {};

TEST_P(LabelSearchTest, SearchPlacesTheLabelsOfTheStepwiseWalk)
{
    const SearchCase& c = GetParam();
    CMapAxis x{CMapAxis::BelowHorizontal, QStringLiteral("X")}, y{CMapAxis::LeftOfVertical, QStringLiteral("Y")};
    x.SetAxisRange(std::min(c.x0, c.x1), std::max(c.x0, c.x1), 1.0f);
    y.SetAxisRange(0.0f, 1.0f, 0.1f);
    x.SetAxisRect(c.graph);
    y.SetAxisRect(c.graph);
    const NormalisedToDevice map{&x, &y, c.x0, c.x1, 0.0f, 1.0f};
    LabelStyle style;
    style.graph = c.graph;
    style.curveTolerance = c.tolerance;
    std::mt19937 rng(17);
    size_t placed = 0;
    for (int run = 0; run < 30; ++run) {
        CCMAP_Polyline line = c.make(rng);
        line.closed = (run % 3 == 0) ? 1 : 0;
        for (const int textWidth : {24, 41}) {
            const auto expected = PlaceLabelsOnPolylineStepwise(line, map, style, textWidth, 9);
            const auto found = PlaceLabelsOnPolyline(line, map, style, textWidth, 9);
            ASSERT_EQ(found.size(), expected.size()) << "run " << run << ", width " << textWidth;
            for (size_t k = 0; k < found.size(); ++k) {
                EXPECT_EQ(found[k].anchorX, expected[k].anchorX) << "run " << run << ", label " << k;
                EXPECT_EQ(found[k].anchorY, expected[k].anchorY) << "run " << run << ", label " << k;
                EXPECT_EQ(found[k].angleTenths, expected[k].angleTenths) << "run " << run << ", label " << k;
                EXPECT_EQ(found[k].textX, expected[k].textX) << "run " << run << ", label " << k;
                EXPECT_EQ(found[k].textY, expected[k].textY) << "run " << run << ", label " << k;
            }
            placed += found.size();
        }
    }
    if (c.x0 < c.x1) {
        EXPECT_GT(placed, 0u) << "the rows are meant to place labels";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Polylines, LabelSearchTest,
    ::testing::Values(
        // Contour-like lines of about one pixel per segment on a map of 850 pixels for 40 m.
        SearchCase{"GentleCurvesOnAFractionalScale", {60, 40, 910, 640}, 0.0f, 40.0f, 1.015f,
                   [](std::mt19937& r) { return Wiggly(r, 1500, 0.0012f, 0.01f); }},
        SearchCase{"TightCurvesMostlyRefused", {60, 40, 910, 640}, 0.0f, 40.0f, 1.015f,
                   [](std::mt19937& r) { return Wiggly(r, 1500, 0.0012f, 0.3f); }},
        // Quarter-pixel segments, as a 1001 x 1001 grid gives: every start's stretch ends within
        // a few vertices of the last one's, which the search starts from.
        SearchCase{"QuarterPixelSegmentsRefusedOneByOne", {60, 40, 910, 640}, 0.0f, 40.0f, 1.015f,
                   [](std::mt19937& r) { return Wiggly(r, 4000, 0.0003f, 0.02f); }},
        SearchCase{"LooseToleranceOnAShiftedExtent", {0, 0, 1000, 800}, 12.5f, 31.0f, 1.3f,
                   [](std::mt19937& r) { return Wiggly(r, 900, 0.0007f, 0.08f); }},
        // Segments of exactly one pixel: the float sums land on the pixel boundaries, where the
        // search has to sum exactly to tell.
        SearchCase{"WholePixelSegments", {0, 0, 1000, 1000}, 0.0f, 1.0f, 1.015f,
                   [](std::mt19937& r) {
                       CCMAP_Polyline l;
                       const int bendAt = int(r() % 200);
                       for (int k = 0; k < 700; ++k)
                           l.push_back({0.05f + 0.001f * float(k), k < bendAt ? 0.3f : 0.3f + 0.0005f * float(k - bendAt)});
                       return l;
                   }},
        SearchCase{"RepeatedVerticesAndLongJumps", {0, 0, 1000, 800}, 0.0f, 1.0f, 1.05f,
                   [](std::mt19937& r) {
                       CCMAP_Polyline l = Wiggly(r, 400, 0.002f, 0.05f);
                       for (size_t k = 5; k < l.size(); k += 7)
                           l[k] = l[k - 1];  // zero-length segments
                       l[200].x += 0.15f;    // one long jump
                       return l;
                   }},
        // A reversed extent shrinks device lengths with distance: the walk itself places them.
        SearchCase{"ReversedExtent", {0, 0, 1000, 800}, 1.0f, 0.0f, 1.015f,
                   [](std::mt19937& r) { return Wiggly(r, 600, 0.0012f, 0.01f); }}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LabelPlacerTest, VertexNotANumberFallsBackToTheWalk)
{
    Device d;
    CCMAP_Polyline line = Line({0.1f, 0.3f}, {0.9f, 0.3f}, 161);
    line[80].x = NAN;
    const auto expected = PlaceLabelsOnPolylineStepwise(line, d.map, d.style, 40, 10);
    const auto found = PlaceLabelsOnPolyline(line, d.map, d.style, 40, 10);
    ASSERT_EQ(found.size(), expected.size());
    for (size_t k = 0; k < found.size(); ++k)
        EXPECT_EQ(found[k].anchorX, expected[k].anchorX);
}

}  // namespace
