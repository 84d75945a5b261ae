// The colour scale editor's strip without widgets: where a press lands, what dragging and letting
// go do to the stops, which buttons apply, and the labels.

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>

#include "colors/ColorScaleBar.h"
#include "colors/ColorScaleEditModel.h"

namespace {

// Scale limits 10..265: 255 pixels, so the default map scale's stops sit at 10, 73, 137, 201, 265.
constexpr int kLeft = 10;
constexpr int kRight = 265;

CColorScaleEditModel MapScaleModel()
{
    CKWColorScale scale = CKWColorScale::MapDefault();
    scale.SetRange(0.0f, 100.0f);
    CColorScaleEditModel model(scale);
    model.SetLimits(kLeft, kRight);
    return model;
}

// A point on the marker of `stop`, halfway down.
QPoint OnMarker(const CColorScaleEditModel& model, int stop)
{
    return {model.PixelOf(model.Scale().Item(stop).position), 8};
}

bool Sorted(const CKWColorScale& s)
{
    for (int i = 0; i + 1 < s.Count(); ++i)
        if (s.Item(i).position > s.Item(i + 1).position)
            return false;
    return true;
}

TEST(ColorScaleEditModel, MarkersSitWherePixelsMapBack)
{
    const CColorScaleEditModel model = MapScaleModel();
    const int expected[] = {10, 73, 137, 201, 265};
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(model.PixelOf(model.Scale().Item(i).position), expected[i]) << i;
    EXPECT_FLOAT_EQ(model.FractionAt(kLeft), 0.0f);
    EXPECT_FLOAT_EQ(model.FractionAt(kRight), 1.0f);
    EXPECT_FLOAT_EQ(model.FractionAt(kLeft - 51), -0.2f);
}

struct PressCase {
    const char* name;
    QPoint point;
    CColorScaleEditModel::PressResult result;
    int selected;  // before the press stop 2 is selected
    int count;
};

class PressTest : public ::testing::TestWithParam<PressCase> {};

TEST_P(PressTest, SelectsInsertsOrIgnores)
{
    const PressCase& c = GetParam();
    CColorScaleEditModel model = MapScaleModel();
    model.Select(2);
    EXPECT_EQ(model.Press(c.point), c.result);
    EXPECT_EQ(model.Selected(), c.selected);
    EXPECT_EQ(model.Scale().Count(), c.count);
    EXPECT_EQ(model.Captured(), c.result != CColorScaleEditModel::PressResult::Ignored);
    EXPECT_TRUE(Sorted(model.Scale()));
}

using Press = CColorScaleEditModel::PressResult;
INSTANTIATE_TEST_SUITE_P(
    Strip, PressTest,
    ::testing::Values(PressCase{"first_marker", {10, 8}, Press::Selected, 0, 5},
                      PressCase{"first_marker_top_left_corner", {6, 0}, Press::Selected, 0, 5},
                      PressCase{"left_of_the_first_marker", {5, 8}, Press::Ignored, 2, 5},
                      PressCase{"below_the_markers", {100, 15}, Press::Ignored, 2, 5},
                      PressCase{"last_marker_bottom_right", {268, 14}, Press::Selected, 4, 5},
                      PressCase{"right_edge_of_the_last_marker_is_outside", {269, 8}, Press::Ignored, 2, 5},
                      PressCase{"inner_marker", {76, 2}, Press::Selected, 1, 5},
                      PressCase{"just_right_of_an_inner_marker_inserts", {77, 8}, Press::Inserted, 2, 6},
                      PressCase{"between_yellow_and_orange_inserts", {170, 8}, Press::Inserted, 3, 6}),
    [](const auto& info) { return info.param.name; });

TEST(ColorScaleEditModel, InsertedStopTakesTheInterpolatedColourAndBecomesCurrent)
{
    CColorScaleEditModel model = MapScaleModel();
    const CKWColorScale before = model.Scale();
    ASSERT_EQ(model.Press({170, 8}), Press::Inserted);
    const float position = 160.0f / 255.0f;
    EXPECT_FLOAT_EQ(model.Scale().Item(3).position, position);
    EXPECT_EQ(model.Scale().Item(3).color, before.ColorBetween(2, position));
    EXPECT_EQ(model.CurrentColor(), before.ColorBetween(2, position));
    EXPECT_EQ(model.Label(3), QStringLiteral("63"));
}

TEST(ColorScaleEditModel, OverlappingMarkersGiveTheLowerIndex)
{
    CKWColorScale scale;
    scale.SetItems({{0.0f, 0}, {0.5f, 0x0000FF}, {0.51f, 0x00FF00}, {1.0f, 0xFFFFFF}});
    CColorScaleEditModel model(scale);
    model.SetLimits(kLeft, kRight);
    ASSERT_EQ(model.PixelOf(0.5f), 137);
    ASSERT_EQ(model.PixelOf(0.51f), 140);
    EXPECT_EQ(model.Press({139, 8}), Press::Selected);
    EXPECT_EQ(model.Selected(), 1);
}

TEST(ColorScaleEditModel, PressOnAStripWithoutWidthIsIgnored)
{
    CColorScaleEditModel model = MapScaleModel();
    model.SetLimits(50, 50);
    EXPECT_EQ(model.Press({50, 8}), Press::Ignored);
    EXPECT_FALSE(model.Drag(60));
}

struct DragCase {
    const char* name;
    int stop;
    int x;
    int index;       // where the dragged stop ends up, selected
    float position;  // its position there
};

class DragTest : public ::testing::TestWithParam<DragCase> {};

TEST_P(DragTest, MovesInnerStopsAndResorts)
{
    const DragCase& c = GetParam();
    CColorScaleEditModel model = MapScaleModel();
    const CKWColorScaleItem dragged = model.Scale().Item(c.stop);
    ASSERT_NE(model.Press(OnMarker(model, c.stop)), Press::Ignored);
    const bool inner = c.stop > 0 && c.stop < 4;
    EXPECT_EQ(model.Drag(c.x), inner);
    EXPECT_EQ(model.Selected(), c.index);
    EXPECT_EQ(model.Scale().Item(c.index).color, dragged.color);
    EXPECT_FLOAT_EQ(model.Scale().Item(c.index).position, c.position);
    EXPECT_EQ(model.Scale().Count(), 5);
    EXPECT_TRUE(Sorted(model.Scale()));
}

INSTANTIATE_TEST_SUITE_P(
    Strip, DragTest,
    ::testing::Values(DragCase{"between_its_neighbours", 2, 150, 2, 140.0f / 255.0f},
                      DragCase{"past_the_right_neighbour", 1, 220, 3, 210.0f / 255.0f},
                      DragCase{"past_the_left_neighbour", 3, 40, 1, 30.0f / 255.0f},
                      DragCase{"far_left_stays_after_the_first", 2, -50, 1, 0.0f},
                      DragCase{"far_right_stays_before_the_last", 2, 400, 3, 1.0f},
                      DragCase{"first_never_moves", 0, 150, 0, 0.0f},
                      DragCase{"last_never_moves", 4, 20, 4, 1.0f}),
    [](const auto& info) { return info.param.name; });

TEST(ColorScaleEditModel, MovesWithoutAPressDoNothing)
{
    CColorScaleEditModel model = MapScaleModel();
    model.Select(2);
    EXPECT_FALSE(model.Drag(150));
    ASSERT_EQ(model.Press({5, 8}), Press::Ignored);
    EXPECT_FALSE(model.Drag(150));
    EXPECT_FALSE(model.Release(-40));
    EXPECT_EQ(model.Scale(), MapScaleModel().Scale());
}

// A scale read from a file may have end stops inside 0..1. Dragging an inner stop beyond such an
// end stop made it the new end stop, and the old one became movable and removable.
TEST(ColorScaleEditModel, DraggedStopNeverOvertakesTheEndStopOfAShortScale)
{
    CKWColorScale scale;
    scale.SetItems({{0.2f, 0x000080}, {0.5f, 0x00FFFF}, {0.8f, 0x0000FF}});
    CColorScaleEditModel model(scale);
    model.SetLimits(kLeft, kRight);
    ASSERT_EQ(model.Press({137, 8}), Press::Selected);
    EXPECT_TRUE(model.Drag(kLeft));
    EXPECT_EQ(model.Selected(), 1);
    EXPECT_FLOAT_EQ(model.Scale().Item(1).position, 0.2f);
    EXPECT_TRUE(model.Drag(kRight));
    EXPECT_EQ(model.Selected(), 1);
    EXPECT_FLOAT_EQ(model.Scale().Item(1).position, 0.8f);
    EXPECT_EQ(model.Scale().Item(0).color, 0x000080u);
    EXPECT_EQ(model.Scale().Item(2).color, 0x0000FFu);
}

struct ReleaseCase {
    const char* name;
    int stop;
    int x;  // the pointer is dragged there and let go
    bool removed;
    int selected;
    bool canRemove;
};

class ReleaseTest : public ::testing::TestWithParam<ReleaseCase> {};

TEST_P(ReleaseTest, RemovesInnerStopsLetGoOffTheScale)
{
    const ReleaseCase& c = GetParam();
    CColorScaleEditModel model = MapScaleModel();
    const CKWColorScaleItem dragged = model.Scale().Item(c.stop);
    ASSERT_NE(model.Press(OnMarker(model, c.stop)), Press::Ignored);
    model.Drag(c.x);
    EXPECT_EQ(model.Release(c.x), c.removed);
    EXPECT_FALSE(model.Captured());
    EXPECT_EQ(model.Scale().Count(), c.removed ? 4 : 5);
    const auto& items = model.Scale().Items();
    const auto sameColour = [&](const CKWColorScaleItem& item) { return item.color == dragged.color; };
    EXPECT_EQ(std::count_if(items.begin(), items.end(), sameColour), c.removed ? 0 : 1)
        << "an inner stop is gone after removal; an end stop is where it was";
    EXPECT_EQ(model.Selected(), c.selected);
    EXPECT_EQ(model.CanRemove(), c.canRemove);
    EXPECT_EQ(model.CurrentColor(), model.Scale().Item(c.selected).color);
}

INSTANTIATE_TEST_SUITE_P(
    Strip, ReleaseTest,
    ::testing::Values(ReleaseCase{"inner_inside_the_scale_stays", 2, 150, false, 2, true},
                      ReleaseCase{"inner_on_the_left_limit_stays", 2, kLeft, false, 1, true},
                      ReleaseCase{"inner_on_the_right_limit_stays", 2, kRight, false, 3, true},
                      ReleaseCase{"inner_left_of_the_scale_is_removed", 2, kLeft - 1, true, 1, true},
                      ReleaseCase{"inner_right_of_the_scale_is_removed", 2, kRight + 1, true, 3, false},
                      ReleaseCase{"first_off_the_scale_stays", 0, -30, false, 0, false},
                      ReleaseCase{"last_off_the_scale_stays", 4, 400, false, 4, false}),
    [](const auto& info) { return info.param.name; });

// Letting go of a stop off the scale kept the removed stop's index selected without updating the
// enabling, so the last stop, now at that index, could be removed with the button.
TEST(ColorScaleEditModel, DragOffRemovalDoesNotLeaveTheEndStopRemovable)
{
    CColorScaleEditModel model = MapScaleModel();
    ASSERT_EQ(model.Press(OnMarker(model, 3)), Press::Selected);
    model.Drag(300);
    ASSERT_TRUE(model.Release(300));
    EXPECT_EQ(model.Selected(), 3);
    EXPECT_FALSE(model.CanRemove());
    EXPECT_FALSE(model.RemoveSelected());
    EXPECT_EQ(model.Scale().Count(), 4);
}

struct EnablingCase {
    const char* name;
    int stopCount;
    int selected;
    bool canRemove;
    bool canChooseColor;
};

class EnablingTest : public ::testing::TestWithParam<EnablingCase> {};

TEST_P(EnablingTest, OnlyInnerStopsCanBeRemoved)
{
    const EnablingCase& c = GetParam();
    CColorScaleEditModel model(c.stopCount == 2 ? CKWColorScale() : CKWColorScale::MapDefault());
    model.Select(c.selected);
    EXPECT_EQ(model.CanRemove(), c.canRemove);
    EXPECT_EQ(model.CanChooseColor(), c.canChooseColor);
    const int before = model.Scale().Count();
    EXPECT_EQ(model.RemoveSelected(), c.canRemove);
    EXPECT_EQ(model.Scale().Count(), c.canRemove ? before - 1 : before);
}

INSTANTIATE_TEST_SUITE_P(Buttons, EnablingTest,
                         ::testing::Values(EnablingCase{"two_stops_first", 2, 0, false, true},
                                           EnablingCase{"two_stops_last", 2, 1, false, true},
                                           EnablingCase{"two_stops_none", 2, -1, false, false},
                                           EnablingCase{"five_stops_first", 5, 0, false, true},
                                           EnablingCase{"five_stops_second", 5, 1, true, true},
                                           EnablingCase{"five_stops_fourth", 5, 3, true, true},
                                           EnablingCase{"five_stops_last", 5, 4, false, true}),
                         [](const auto& info) { return info.param.name; });

TEST(ColorScaleEditModel, RemovingSelectsTheFollowingStop)
{
    CColorScaleEditModel model = MapScaleModel();
    model.Select(2);
    ASSERT_TRUE(model.RemoveSelected());
    EXPECT_EQ(model.Selected(), 2);
    EXPECT_EQ(model.CurrentColor(), TxRgb(255, 128, 0));
}

TEST(ColorScaleEditModel, CurrentColourGoesToTheSelectedStopOnly)
{
    CColorScaleEditModel model = MapScaleModel();
    model.Select(2);
    model.SetCurrentColor(TxRgb(1, 2, 3));
    EXPECT_EQ(model.Scale().Item(2).color, TxRgb(1, 2, 3));
    EXPECT_EQ(model.Scale().Palette()[31], model.Scale().ColorAt(0.5f)) << "palette rebuilt";
    EXPECT_EQ(model.Scale().ColorAt(0.5f), CKWColorScale::kPaletteRelative | TxRgb(1, 2, 3));

    model.Select(-1);
    model.SetCurrentColor(TxRgb(9, 9, 9));
    EXPECT_EQ(model.CurrentColor(), TxRgb(9, 9, 9));
    EXPECT_EQ(model.Scale().Item(2).color, TxRgb(1, 2, 3));
}

struct LabelCase {
    const char* name;
    float low;
    float high;
    float position;
    const char* label;
};

class LabelTest : public ::testing::TestWithParam<LabelCase> {};

TEST_P(LabelTest, ShowsTheValueAsAWholeNumber)
{
    const LabelCase& c = GetParam();
    CKWColorScale scale;
    scale.SetItems({{0.0f, 0}, {c.position, 0x808080}, {1.0f, 0xFFFFFF}});
    scale.SetRange(c.low, c.high);
    EXPECT_EQ(CColorScaleEditModel(scale).Label(1), QLatin1String(c.label));
}

INSTANTIATE_TEST_SUITE_P(Strip, LabelTest,
                         ::testing::Values(LabelCase{"ascending", 20.0f, 80.0f, 0.25f, "35"},
                                           LabelCase{"rounds_up", 0.0f, 100.0f, 0.627f, "63"},
                                           LabelCase{"descending_range", 90.0f, 40.0f, 0.5f, "65"},
                                           LabelCase{"negative_values", -60.0f, -20.0f, 0.75f, "-30"},
                                           LabelCase{"at_the_end", 20.0f, 80.0f, 1.0f, "80"},
                                           // 52.5 exactly: the C library's "%.0f" rounds the tie to even
                                           LabelCase{"tie_as_the_c_library_rounds", 40.0f, 90.0f, 0.25f, "52"}),
                         [](const auto& info) { return info.param.name; });

TEST(ColorScaleEditModel, ReplaceTakesStopsAndRangeAndSelectsTheFirstStop)
{
    CColorScaleEditModel model = MapScaleModel();
    ASSERT_EQ(model.Press(OnMarker(model, 3)), Press::Selected);
    CKWColorScale loaded;
    loaded.SetRange(-10.0f, 10.0f);
    model.Replace(loaded);
    EXPECT_EQ(model.Scale(), loaded);
    EXPECT_EQ(model.Selected(), 0);
    EXPECT_EQ(model.CurrentColor(), 0u);
    EXPECT_FALSE(model.Captured()) << "a drag does not carry over into another scale";
    EXPECT_EQ(model.Label(1), QStringLiteral("10"));
}

TEST(ColorScaleBar, EveryColumnTakesTheColourAtItsFraction)
{
    const CKWColorScale scale = CKWColorScale::MapDefault();
    QImage image(70, 5, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawColorScaleBar(painter, QRect(3, 1, 64, 3), scale);
    painter.end();
    for (int column = 0; column < 64; ++column) {
        const TxColor c = scale.ColorAt(float(column) / 64.0f);
        const QRgb expected = qRgb(TxRed(c), TxGreen(c), TxBlue(c));
        for (int y = 1; y <= 3; ++y)
            ASSERT_EQ(image.pixel(3 + column, y), expected) << column << "," << y;
    }
    for (const QPoint outside : {QPoint(2, 2), QPoint(67, 2), QPoint(10, 0), QPoint(10, 4)})
        EXPECT_EQ(image.pixel(outside), QColor(Qt::magenta).rgb()) << outside.x() << "," << outside.y();
}

}  // namespace
