// The Image Scale preview geometry: the frame by the axes' aspect and the label room, the plot
// by the scale, the picture rectangle, the handles, drags, Reset and Revert.

#include <gtest/gtest.h>

#include <string>

#include "image/ImagePositionModel.h"

namespace {

// A site of 40 x 25 m with ticks every 5 m, previewed in 420 x 270 pixels with Y labels 20
// pixels wide and 14 high: the width decides, the frame is (30, 20)-(410, 256).
const PreviewAxisRange kSiteX{0.0f, 40.0f, 5.0f};
const PreviewAxisRange kSiteY{0.0f, 25.0f, 5.0f};
const ImageRect kOpening{2.0f, 3.0f, 30.0f, 20.0f};

CImagePositionModel SiteModel(int scaleIndex = 0, const ImageRect& values = {0.0f, 0.0f, 40.0f, 25.0f})
{
    CImagePositionModel m(values, kSiteX, kSiteY);
    m.SetScaleIndex(scaleIndex);
    m.SetClientSize(420, 270, 20, 14);
    return m;
}

struct FrameCase {
    std::string name;
    int width, height, widestLabel, labelHeight;
    PreviewAxisRange x, y;
    PreviewRect frame;
};

class PreviewFrame : public ::testing::TestWithParam<FrameCase> {};

TEST_P(PreviewFrame, FollowsTheAspectAndLeavesRoomForLabels)
{
    const FrameCase& c = GetParam();
    CImagePositionModel m({}, c.x, c.y);
    m.SetClientSize(c.width, c.height, c.widestLabel, c.labelHeight);
    EXPECT_EQ(m.Frame(), c.frame);
    EXPECT_LE(m.Frame().left, m.Frame().right);
    EXPECT_LE(m.Frame().bottom, m.Frame().top);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PreviewFrame,
    ::testing::Values(
        // 420 / 1.6 = 262 rows, 4 free below and above; the labels push left and bottom.
        FrameCase{"WideAxesInASquarerWindow", 420, 270, 20, 14, kSiteX, kSiteY, {30, 20, 410, 256}},
        // 1.6 * 200 = 320 columns centred in 600: 140 free on each side, so 10 more suffice.
        FrameCase{"WideWindowShrinksItsWidth", 600, 200, 20, 14, kSiteX, kSiteY, {150, 20, 450, 190}},
        // Labels wider than the side room: the left margin is the label width plus ten.
        FrameCase{"WideLabelsWinOverTheSideRoom", 600, 200, 200, 14, kSiteX, kSiteY, {210, 20, 450, 190}},
        // A tall axis pair in a wide window: only the width shrinks, to 100 columns.
        FrameCase{"TallAxes", 400, 200, 8, 4, {0.0f, 10.0f, 1.0f}, {0.0f, 20.0f, 1.0f}, {160, 10, 240, 190}},
        FrameCase{"NoRoomStillOrdered", 15, 12, 20, 14, kSiteX, kSiteY, {30, 20, 30, 20}}),
    [](const auto& info) { return info.param.name; });

TEST(PreviewPlot, EachScaleShrinksTheAxesAroundTheFrameCentre)
{
    for (int index = 0; index < kScaleChoiceCount; ++index) {
        const CImagePositionModel m = SiteModel(index);
        const PreviewRect f = m.Frame();
        const PreviewRect p = m.Plot();
        SCOPED_TRACE(index);
        EXPECT_EQ(p.left - f.left, index * f.Width() / 20);
        EXPECT_EQ(f.right - p.right, index * f.Width() / 20);
        EXPECT_EQ(p.bottom - f.bottom, index * f.Height() / 20);
        EXPECT_EQ(f.top - p.top, index * f.Height() / 20);
    }
    EXPECT_DOUBLE_EQ(CImagePositionModel::ScaleFactor(0), 1.0);
    EXPECT_NEAR(CImagePositionModel::ScaleFactor(9), 0.1, 1e-12);
}

TEST(PreviewPlot, HalfScaleCoversHalfTheFrameCentredAndDragsOutsideTheAxes)
{
    CImagePositionModel m = SiteModel(5);
    // Frame 380 x 236: 95 and 59 pixels in on each side.
    EXPECT_EQ(m.Plot(), (PreviewRect{125, 79, 315, 197}));
    EXPECT_EQ(m.PictureRect(), m.Plot());
    // The whole picture moved right by half the plot width: 20 m.
    ASSERT_TRUE(m.Press({220, 138}));
    EXPECT_EQ(m.ActiveHandle(), kWholePicture);
    m.Move({267, 138});
    m.Release({315, 138});
    EXPECT_FLOAT_EQ(m.Values().x0, 20.0f);
    EXPECT_FLOAT_EQ(m.Values().x1, 60.0f);
    EXPECT_FLOAT_EQ(m.Values().y0, 0.0f);
    EXPECT_FLOAT_EQ(m.Values().y1, 25.0f);
    EXPECT_EQ(m.PictureRect(), (PreviewRect{220, 79, 410, 197}));
    EXPECT_FALSE(m.Dragging());
}

TEST(PreviewPixels, WorldAndPixelAgreeWithinAPixel)
{
    const CImagePositionModel m = SiteModel(3);
    for (int px : {m.Plot().left, m.Plot().left + 37, m.Plot().right}) {
        EXPECT_NEAR(m.PixelX(m.WorldX(px)), px, 1);
        EXPECT_NEAR(m.PixelY(m.WorldY(px)), px, 1);
    }
    EXPECT_DOUBLE_EQ(m.WorldX(m.Plot().left), 0.0);
    EXPECT_DOUBLE_EQ(m.WorldY(m.Plot().top), 25.0);
    // Left of and below the axes lie negative coordinates.
    EXPECT_LT(m.WorldX(m.Plot().left - 10), 0.0);
    EXPECT_LT(m.WorldY(m.Plot().bottom - 10), 0.0);
}

struct HitCase {
    std::string name;
    PreviewPoint at;
    int handle;
};

class HandleHit : public ::testing::TestWithParam<HitCase> {};

// Picture (30, 20)-(410, 256) at scale 1:1: the handles at its corners and edge middles.
TEST_P(HandleHit, FindsTheHandleOrThePicture)
{
    const CImagePositionModel m = SiteModel();
    EXPECT_EQ(m.HitTest(GetParam().at), GetParam().handle);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HandleHit,
    ::testing::Values(HitCase{"LeftBottom", {30, 20}, 1}, HitCase{"MiddleBottom", {220, 20}, 2},
                      HitCase{"RightBottom", {410, 20}, 3}, HitCase{"RightMiddle", {410, 138}, 4},
                      HitCase{"RightTop", {410, 256}, 5}, HitCase{"MiddleTop", {220, 256}, 6},
                      HitCase{"LeftTop", {30, 256}, 7}, HitCase{"LeftMiddle", {30, 138}, 8},
                      HitCase{"FivePixelsOffBothWays", {35, 15}, 1}, HitCase{"SixPixelsOffIsTheEdge", {36, 20}, 0},
                      HitCase{"SixPixelsOutsideIsNothing", {24, 20}, kNoHandle},
                      HitCase{"Inside", {100, 100}, kWholePicture}, HitCase{"Outside", {5, 5}, kNoHandle},
                      HitCase{"BeyondTheTop", {220, 262}, kNoHandle}),
    [](const auto& info) { return info.param.name; });

TEST(HandleHit, OverlappingHandlesGoToTheLowestNumber)
{
    // A picture of 6 x 4 pixels: every handle reaches the centre; handle 1 wins.
    CImagePositionModel m = SiteModel(0, {0.0f, 0.0f, 0.64f, 0.43f});
    const PreviewRect r = m.PictureRect();
    ASSERT_LE(r.Width(), 8);
    EXPECT_EQ(m.HitTest({(r.left + r.right) / 2, (r.bottom + r.top) / 2}), 1);
    EXPECT_EQ(m.HitTest({r.right + 3, r.bottom + 2}), 3) << "handle 3 is tested before 4 and 5";
}

struct DragCase {
    std::string name;
    int handle;
    PreviewPoint to;
    ImageRect expected;
};

class HandleDrag : public ::testing::TestWithParam<DragCase> {};

// Each handle dragged to a point; the plot has 9.5 pixels a metre across and 9.44 up.
TEST_P(HandleDrag, SetsOnlyItsValues)
{
    const DragCase& c = GetParam();
    CImagePositionModel m = SiteModel();
    ASSERT_TRUE(m.Press(m.HandlePoint(c.handle)));
    EXPECT_EQ(m.ActiveHandle(), c.handle);
    m.Move({(m.HandlePoint(c.handle).x + c.to.x) / 2, (m.HandlePoint(c.handle).y + c.to.y) / 2});
    m.Release(c.to);
    EXPECT_NEAR(m.Values().x0, c.expected.x0, 1e-4);
    EXPECT_NEAR(m.Values().y0, c.expected.y0, 1e-4);
    EXPECT_NEAR(m.Values().x1, c.expected.x1, 1e-4);
    EXPECT_NEAR(m.Values().y1, c.expected.y1, 1e-4);
    EXPECT_FALSE(m.Dragging());
}

// x = (px - 30) / 9.5, y = (py - 20) / 9.44.
constexpr float kLowY = 19.0f / 9.44f;
constexpr float kHighY = 217.0f / 9.44f;
INSTANTIATE_TEST_SUITE_P(
    Cases, HandleDrag,
    ::testing::Values(DragCase{"One", 1, {49, 39}, {2.0f, kLowY, 40.0f, 25.0f}},
                      DragCase{"Two", 2, {49, 39}, {0.0f, kLowY, 40.0f, 25.0f}},
                      DragCase{"Three", 3, {391, 39}, {0.0f, kLowY, 38.0f, 25.0f}},
                      DragCase{"Four", 4, {391, 39}, {0.0f, 0.0f, 38.0f, 25.0f}},
                      DragCase{"Five", 5, {391, 237}, {0.0f, 0.0f, 38.0f, kHighY}},
                      DragCase{"Six", 6, {49, 39}, {0.0f, 0.0f, 40.0f, kLowY}},
                      DragCase{"Seven", 7, {49, 39}, {2.0f, 0.0f, 40.0f, kLowY}},
                      DragCase{"Eight", 8, {49, 39}, {2.0f, 0.0f, 40.0f, 25.0f}}),
    [](const auto& info) { return info.param.name; });

TEST(HandleDrag, HandleFivePastTheLeftEdgeSwapsTheDrawnSides)
{
    CImagePositionModel m = SiteModel();
    ASSERT_TRUE(m.Press({410, 256}));
    m.Release({11, 256});  // 19 pixels left of the picture's left edge: x = -2
    EXPECT_FLOAT_EQ(m.Values().x0, 0.0f);
    EXPECT_FLOAT_EQ(m.Values().x1, -2.0f);
    const PreviewRect r = m.PictureRect();
    EXPECT_EQ(r.left, 11);
    EXPECT_EQ(r.right, 30);
    EXPECT_LE(r.bottom, r.top);
}

TEST(HandleDrag, PressAwayFromPictureAndHandlesChangesNothing)
{
    CImagePositionModel m = SiteModel(5);
    const ImageRect before = m.Values();
    EXPECT_FALSE(m.Press({20, 30}));
    EXPECT_FALSE(m.Dragging());
    m.Move({200, 100});
    m.Release({210, 110});
    EXPECT_EQ(m.Values(), before);
    EXPECT_FALSE(m.Changed());
}

TEST(HandleDrag, WholePictureFollowsEveryMoveOnce)
{
    CImagePositionModel m = SiteModel();
    ASSERT_TRUE(m.Press({100, 100}));
    for (int x = 101; x <= 119; ++x)
        m.Move({x, 100});
    m.Release({119, 100});  // 19 pixels in all: 2 m, not counted twice at the release
    EXPECT_NEAR(m.Values().x0, 2.0f, 1e-4);
    EXPECT_NEAR(m.Values().x1, 42.0f, 1e-4);
}

TEST(ResetRevert, ResetSpansTheAxesAndRevertRestoresTheOpening)
{
    CImagePositionModel m(kOpening, kSiteX, kSiteY);
    m.SetClientSize(420, 270, 20, 14);
    m.Reset();
    EXPECT_EQ(m.Values(), (ImageRect{0.0f, 0.0f, 40.0f, 25.0f}));
    EXPECT_TRUE(m.Changed());
    m.Revert();
    EXPECT_EQ(m.Values(), kOpening);
    EXPECT_FALSE(m.Changed());
}

TEST(HandleCursor, EachHandleShowsItsDirection)
{
    const Qt::CursorShape expected[] = {Qt::ArrowCursor,    Qt::SizeBDiagCursor, Qt::SizeVerCursor,
                                        Qt::SizeFDiagCursor, Qt::SizeHorCursor,   Qt::SizeBDiagCursor,
                                        Qt::SizeVerCursor,   Qt::SizeFDiagCursor, Qt::SizeHorCursor};
    for (int h = 0; h <= kHandleCount; ++h)
        EXPECT_EQ(CImagePositionModel::HandleCursor(h), expected[h]) << h;
    EXPECT_EQ(CImagePositionModel::HandleCursor(kNoHandle), Qt::ArrowCursor);
}

TEST(TickValues, IncludeBothEndsAndRefuseRunawaySteps)
{
    EXPECT_EQ(CImagePositionModel::TickValues(0, 25, 5), (std::vector<double>{0, 5, 10, 15, 20, 25}));
    EXPECT_EQ(CImagePositionModel::TickValues(0, 1, 0.1).size(), 11u) << "1.0 is not lost to rounding";
    EXPECT_EQ(CImagePositionModel::TickValues(0, 24, 5).back(), 20.0);
    EXPECT_TRUE(CImagePositionModel::TickValues(0, 25, 0).empty());
    EXPECT_TRUE(CImagePositionModel::TickValues(0, 25, -5).empty());
    EXPECT_TRUE(CImagePositionModel::TickValues(0, 1e9, 1e-3).empty());
}

}  // namespace
