// The Image Clip window's geometry without widgets: the picture rectangle, the pixel and picture
// conversions, the rectangle and ellipse outlines, and the hit tests of the point tools.

#include <gtest/gtest.h>

#include <cmath>

#include "image/ImageClipGeometry.h"

namespace {

// A window whose picture rectangle is 8..208 across and 8..108 down (no picture aspect to keep).
CImageClipGeometry Window()
{
    return CImageClipGeometry({216, 116}, {0, 0});
}

struct PictureRectRow {
    const char* name;
    QSize client;
    QSize picture;
    TxRect expected;
};

class PictureRectTest : public ::testing::TestWithParam<PictureRectRow> {};

TEST_P(PictureRectTest, ShrinksTheLongerSideAndInsets)
{
    const PictureRectRow& row = GetParam();
    EXPECT_EQ(CImageClipGeometry(row.client, row.picture).PictureRect(), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PictureRectTest,
    ::testing::Values(
        // 400 x 200 window, square picture: 200 wide in the middle, then 8 in from every side.
        PictureRectRow{"WideWindowSquarePicture", {400, 200}, {100, 100}, {108, 8, 292, 192}},
        PictureRectRow{"TallWindowWidePicture", {300, 500}, {640, 400}, {8, 164, 292, 335}},
        PictureRectRow{"SameAspect", {640, 400}, {64, 40}, {8, 8, 632, 392}},
        // No picture size: the whole window, inset.
        PictureRectRow{"NoPictureSize", {100, 80}, {0, 0}, {8, 8, 92, 72}},
        // A window smaller than the insets gives an empty rectangle, never an inverted one.
        PictureRectRow{"TinyWindow", {10, 10}, {10, 10}, {8, 8, 8, 8}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageClipGeometry, EveryPixelOfThePictureMapsBackToItself)
{
    // Single precision loses a hair on the way (0.29f * 100 < 29); the way back must not drop a pixel.
    for (QSize client : {QSize(116, 116), QSize(517, 333), QSize(1000, 700)}) {
        const CImageClipGeometry g(client, {4, 3});
        const TxRect& r = g.PictureRect();
        for (int x = r.left; x <= r.right; ++x)
            for (int y = r.top; y <= r.bottom; y += 7)
                ASSERT_EQ(g.ToPixel(g.ToPicture({x, y})), QPoint(x, y)) << client.width() << " " << x << "," << y;
    }
}

TEST(ImageClipGeometry, PictureCoordinatesGrowUpAndRightAndClampStaysOnTheRectangle)
{
    const CImageClipGeometry g = Window();  // picture rectangle 8..208 x 8..108
    EXPECT_EQ(g.ToPicture({8, 108}), (KW_FPOINT{0.0f, 0.0f}));
    EXPECT_EQ(g.ToPicture({208, 8}), (KW_FPOINT{1.0f, 1.0f}));
    EXPECT_EQ(g.ToPicture({58, 83}), (KW_FPOINT{0.25f, 0.25f}));
    EXPECT_EQ(g.Clamp({-40, 500}), QPoint(8, 108));
    EXPECT_EQ(g.Clamp({300, 0}), QPoint(208, 8));
    EXPECT_EQ(g.Clamp({50, 50}), QPoint(50, 50));
}

TEST(ImageClipGeometry, RectangleFromEitherCornerGivesTheSameVerticesInTheSameOrder)
{
    const CImageClipGeometry g = Window();
    const auto forward = g.RectangleVertices({58, 33}, {158, 83});
    const auto backward = g.RectangleVertices({158, 83}, {58, 33});
    const auto crossed = g.RectangleVertices({158, 33}, {58, 83});
    EXPECT_EQ(forward, backward);
    EXPECT_EQ(forward, crossed);
    // Top left, top right, bottom right, bottom left.
    const std::vector<KW_FPOINT> expected{{0.25f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.25f}, {0.25f, 0.25f}};
    EXPECT_EQ(forward, expected);
}

TEST(ImageClipGeometry, EllipseHasFortyVerticesOnItsOutline)
{
    const CImageClipGeometry g = Window();
    const auto v = g.EllipseVertices({58, 33}, {158, 83});
    ASSERT_EQ(v.size(), size_t(kEllipseVertices));
    // Centre (0.5, 0.5), radii 0.25 in both picture directions.
    EXPECT_FLOAT_EQ(v[0].x, 0.75f);
    EXPECT_FLOAT_EQ(v[0].y, 0.5f);
    EXPECT_NEAR(v[10].x, 0.5f, 1e-6);
    EXPECT_FLOAT_EQ(v[10].y, 0.75f);
    for (const KW_FPOINT& p : v)
        EXPECT_NEAR(std::hypot(p.x - 0.5, p.y - 0.5), 0.25, 1e-6);
}

TEST(ImageClipGeometry, EllipseWithEqualXCornersLiesOnAVerticalSegment)
{
    const CImageClipGeometry g = Window();
    const auto v = g.EllipseVertices({108, 33}, {108, 83});
    ASSERT_EQ(v.size(), size_t(kEllipseVertices));
    float low = 1.0f;
    float high = 0.0f;
    for (const KW_FPOINT& p : v) {
        EXPECT_FLOAT_EQ(p.x, 0.5f);
        EXPECT_TRUE(std::isfinite(p.y));
        low = std::min(low, p.y);
        high = std::max(high, p.y);
    }
    EXPECT_FLOAT_EQ(low, 0.25f);
    EXPECT_FLOAT_EQ(high, 0.75f);
}

TEST(ImageClipGeometry, EllipseCentreIsTheTruncatedPixelMidpoint)
{
    const CImageClipGeometry g = Window();
    // Midpoint x (58 + 61) / 2 = 59.5 -> 59: the centre is 51/200 across, not 51.5/200.
    const auto v = g.EllipseVertices({58, 50}, {61, 50});
    const double centreX = (v[0].x + v[20].x) / 2.0;
    EXPECT_NEAR(centreX, 51.0 / 200.0, 1e-6);
}

TEST(ImageClipGeometry, EllipseSpanningThePictureStaysWithinIt)
{
    // Odd sizes make the fractions inexact; no vertex may come out beyond 0..1.
    for (QSize client : {QSize(333, 217), QSize(517, 301), QSize(1001, 703)}) {
        const CImageClipGeometry g(client, {0, 0});
        const TxRect& r = g.PictureRect();
        for (const KW_FPOINT& v : g.EllipseVertices({r.left, r.top}, {r.right, r.bottom})) {
            EXPECT_GE(v.x, 0.0f);
            EXPECT_LE(v.x, 1.0f);
            EXPECT_GE(v.y, 0.0f);
            EXPECT_LE(v.y, 1.0f);
        }
    }
}

struct SegmentRow {
    const char* name;
    QPoint p1, p2, q1, q2;
    bool meet;
};

class SegmentIntersectTest : public ::testing::TestWithParam<SegmentRow> {};

TEST_P(SegmentIntersectTest, OrientationTest)
{
    const SegmentRow& r = GetParam();
    EXPECT_EQ(SegmentsIntersect(r.p1, r.p2, r.q1, r.q2), r.meet);
    EXPECT_EQ(SegmentsIntersect(r.q1, r.q2, r.p1, r.p2), r.meet);
    EXPECT_EQ(SegmentsIntersect(r.p2, r.p1, r.q2, r.q1), r.meet);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, SegmentIntersectTest,
    ::testing::Values(SegmentRow{"Crossing", {0, 0}, {10, 10}, {0, 10}, {10, 0}, true},
                      SegmentRow{"Apart", {0, 0}, {10, 0}, {0, 5}, {10, 5}, false},
                      SegmentRow{"EndTouchesMiddle", {0, 0}, {10, 0}, {5, 0}, {5, 8}, true},
                      SegmentRow{"LineWouldCrossButSegmentStopsShort", {0, 0}, {4, 0}, {5, -3}, {5, 3}, false},
                      SegmentRow{"CollinearOverlapping", {0, 0}, {10, 0}, {5, 0}, {15, 0}, true},
                      SegmentRow{"CollinearDisjoint", {0, 0}, {4, 0}, {6, 0}, {9, 0}, false},
                      SegmentRow{"SharedEnd", {0, 0}, {5, 5}, {5, 5}, {9, 0}, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ImageClipGeometry, SegmentNearFindsTheClosingSegmentAfterTheOthers)
{
    const std::vector<QPoint> square{{10, 10}, {50, 10}, {50, 50}, {10, 50}};
    EXPECT_EQ(SegmentNear(square, {30, 12}), 0);
    EXPECT_EQ(SegmentNear(square, {48, 30}), 1);
    // The left side joins the last vertex to the first.
    EXPECT_EQ(SegmentNear(square, {11, 30}), 3);
    EXPECT_EQ(SegmentNear(square, {30, 30}), -1);
    // Four pixels reach: 4 away still touches an edge of the square, 5 does not.
    EXPECT_EQ(SegmentNear(square, {30, 14}), 0);
    EXPECT_EQ(SegmentNear(square, {30, 15}), -1);
    // Near a corner the first segment in vertex order wins.
    EXPECT_EQ(SegmentNear(square, {49, 11}), 0);
}

TEST(ImageClipGeometry, VertexNearReachesThreePixelsInBothDirections)
{
    const std::vector<QPoint> outline{{10, 10}, {50, 10}, {50, 50}};
    EXPECT_EQ(VertexNear(outline, {53, 47}), 2);
    EXPECT_EQ(VertexNear(outline, {54, 50}), -1);
    EXPECT_EQ(VertexNear(outline, {50, 14}), -1);
    EXPECT_EQ(VertexNear(outline, {7, 13}), 0);
}

}  // namespace
