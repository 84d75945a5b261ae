#include <gtest/gtest.h>

#include <cmath>

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
