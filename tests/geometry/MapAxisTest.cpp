// Axis mapping, ticks, tick layout and the map layout.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

#include "../render/MapFixture.h"
#include "render/MapAnnotations.h"
#include "geometry/MapAxis.h"
#include "geometry/MapLayout.h"
#include "util/TXCDC.h"

namespace {

CMapAxis MakeAxis(int side, float start, float stop, float step, const TxRect& rect)
{
    CMapAxis a(side, side & 1 ? QStringLiteral("X") : QStringLiteral("Y"));
    a.SetAxisRange(start, stop, step);
    a.SetAxisRect(rect);
    return a;
}

struct WorldRow {
    const char* name;
    int side;
    float offsetPixels;  // value = start + offsetPixels / scale
    int expected;        // device coordinate relative to left (horizontal) or bottom (vertical)
};

class WorldToDeviceTest : public ::testing::TestWithParam<WorldRow> {};

TEST_P(WorldToDeviceTest, TruncatesTheOffsetTowardZero)
{
    const WorldRow& row = GetParam();
    const CMapAxis a = MakeAxis(row.side, 2.0f, 12.0f, 1.0f, {100, 50, 600, 350});
    const float v = a.start + row.offsetPixels / a.scale;
    const int d = a.WorldToDevice(v);
    if (a.IsHorizontal())
        EXPECT_EQ(d, 100 + row.expected);
    else
        EXPECT_EQ(d, 350 - row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, WorldToDeviceTest,
    ::testing::Values(WorldRow{"HorizontalAtStart", 3, 0.0f, 0}, WorldRow{"HorizontalJustAbove", 3, 0.6f, 0},
                      WorldRow{"HorizontalJustBelow", 3, -0.6f, 0}, WorldRow{"HorizontalOnePixel", 3, 1.01f, 1},
                      WorldRow{"HorizontalMinusOne", 3, -1.01f, -1}, WorldRow{"HorizontalAtStop", 3, 500.0f, 500},
                      WorldRow{"VerticalAtStart", 0, 0.0f, 0}, WorldRow{"VerticalJustAbove", 0, 0.6f, 0},
                      WorldRow{"VerticalJustBelow", 0, -0.6f, 0}, WorldRow{"VerticalOnePixel", 0, 1.01f, 1},
                      WorldRow{"VerticalAtStop", 0, 300.0f, 300}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MapAxis, StopNotAboveStartBecomesStartPlusTen)
{
    CMapAxis a;
    a.SetAxisRange(5.0f, 5.0f, 1.0f);
    EXPECT_EQ(a.stop, 15.0f);
    a.SetAxisRange(5.0f, 2.0f, 1.0f);
    EXPECT_EQ(a.stop, 15.0f);
    EXPECT_EQ(a.ticks.size(), 11u);
}

TEST(MapAxis, TicksOfZeroToOneByPointThreeStopBeforeOne)
{
    CMapAxis a;
    a.SetAxisRange(0.0f, 1.0f, 0.3f);
    ASSERT_EQ(a.ticks.size(), 4u);
    EXPECT_EQ(a.tickLabels, QStringList({"0", "0.3", "0.6", "0.9"}));
}

// Building the ticks of an X axis at 16000006 with step 0.1 once never returned, on the GUI
// thread; the axis now has no ticks and says why, and a later sound range brings them back.
TEST(MapAxis, TinyTickStepLeavesNoTicksNotAHang)
{
    CMapAxis a;
    a.SetAxisRange(16000006.0f, 16000106.0f, 0.1f);
    EXPECT_TRUE(a.ticks.empty());
    EXPECT_TRUE(a.tickLabels.isEmpty());
    EXPECT_EQ(a.tickStatus, LevelSeriesStatus::StepDoesNotAdvance);
    a.SetAxisRange(0.0f, 1.0f, 0.5f);
    EXPECT_EQ(a.ticks.size(), 3u);
    EXPECT_EQ(a.tickStatus, LevelSeriesStatus::Ok);
}

struct TickTextRow {
    const char* name;
    float value;
    const char* text;
};
class TickTextTest : public ::testing::TestWithParam<TickTextRow> {};
TEST_P(TickTextTest, FormatsWithoutTrailingZeros)
{
    EXPECT_EQ(CMapAxis::FormatTick(GetParam().value), QString::fromLatin1(GetParam().text));
}
INSTANTIATE_TEST_SUITE_P(Values, TickTextTest,
                         ::testing::Values(TickTextRow{"Integer", 20.0f, "20"}, TickTextRow{"Tenth", 0.1f, "0.1"},
                                           TickTextRow{"Negative", -2.5f, "-2.5"}, TickTextRow{"Zero", 0.0f, "0"},
                                           TickTextRow{"Small", 1e-5f, "1e-05"},
                                           TickTextRow{"Large", 2500000.0f, "2.5e+06"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AxisLayout, TenthsOnFiveHundredPixels)
{
    const CMapAxis a = MakeAxis(CMapAxis::BelowHorizontal, 0.0f, 1.0f, 0.1f, {20, 10, 520, 310});
    const AxisLayout layout = LayoutAxis(a, 96, 15);
    ASSERT_EQ(layout.ticks.size(), 11u);
    for (size_t k = 0; k < layout.ticks.size(); ++k) {
        EXPECT_NEAR(layout.ticks[k].position, 20 + 50 * int(k), 1) << k;
        // Tick marks one pixel below the edge, pointing down, L - 2 pixels long.
        EXPECT_EQ(layout.ticks[k].mark, QRect(layout.ticks[k].position, 311, 1, TickLength(96) - 2));
        EXPECT_EQ(layout.ticks[k].labelOrigin.y(), 310 + TickLength(96));
    }
    EXPECT_EQ(layout.textAlign, unsigned(TA_CENTER | TA_TOP));
    EXPECT_EQ(layout.titleOrigin, QPoint(45, 310 + TickLength(96)));
}

TEST(AxisLayout, LowestVerticalLabelIsRaisedToEndAtItsTick)
{
    const CMapAxis a = MakeAxis(CMapAxis::LeftOfVertical, 0.0f, 1.0f, 0.25f, {50, 10, 250, 210});
    const int h = 15;
    const AxisLayout layout = LayoutAxis(a, 96, h);
    ASSERT_EQ(layout.ticks.size(), 5u);
    EXPECT_EQ(layout.ticks[0].position, 210);
    EXPECT_EQ(layout.ticks[0].labelOrigin, QPoint(50 - TickLength(96), 210 - h));
    EXPECT_EQ(layout.ticks[1].labelOrigin, QPoint(50 - TickLength(96), 160 - h / 2));
    EXPECT_EQ(layout.ticks[0].mark, QRect(50 - TickLength(96) + 2, 210, TickLength(96) - 2, 1));
    // Title between the two topmost labels.
    EXPECT_EQ(layout.titleOrigin, QPoint(50 - TickLength(96), (10 + 60) / 2 - h / 2));
}

struct ToleranceRow {
    const char* name;
    float tick;
    bool drawn;
};
class TickToleranceTest : public ::testing::TestWithParam<ToleranceRow> {};
TEST_P(TickToleranceTest, AHundredthOfTheStepPassesTheRangeTest)
{
    CMapAxis a = MakeAxis(CMapAxis::BelowHorizontal, 0.0f, 0.3f, 0.1f, {0, 0, 300, 100});
    a.ticks = {GetParam().tick};
    a.tickLabels = {QStringLiteral("t")};
    EXPECT_EQ(LayoutAxis(a, 96, 12).ticks.size(), GetParam().drawn ? 1u : 0u);
}
INSTANTIATE_TEST_SUITE_P(Ticks, TickToleranceTest,
                         ::testing::Values(ToleranceRow{"FloatErrorAboveStop", 0.30000001f, true},
                                           ToleranceRow{"WithinHundredthAboveStop", 0.3009f, true},
                                           ToleranceRow{"BeyondHundredthAboveStop", 0.302f, false},
                                           ToleranceRow{"WithinHundredthBelowStart", -0.0009f, true},
                                           ToleranceRow{"BeyondHundredthBelowStart", -0.002f, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(AxisLayout, NoTickInRangeWritesTheTitleAtAnchorZero)
{
    CMapAxis a = MakeAxis(CMapAxis::LeftOfVertical, 0.0f, 1.0f, 0.5f, {40, 10, 240, 210});
    a.ticks.clear();
    a.tickLabels.clear();
    const AxisLayout layout = LayoutAxis(a, 96, 14);
    EXPECT_TRUE(layout.ticks.empty());
    EXPECT_EQ(layout.titleOrigin.x(), 0);
}

struct EqualScaleRow {
    const char* name;
    float xStop, yStop;
    TxRect graph;
    TxRect expected;
};
class EqualScaleTest : public ::testing::TestWithParam<EqualScaleRow> {};
TEST_P(EqualScaleTest, ShrinksTheLongerSideCentred)
{
    const EqualScaleRow& row = GetParam();
    CMapAxis x, y;
    x.SetAxisRange(0.0f, row.xStop, 0.1f);
    y.SetAxisRange(0.0f, row.yStop, 0.1f);
    EXPECT_EQ(KeepEqualScales(row.graph, x, y), row.expected);
}
INSTANTIATE_TEST_SUITE_P(
    Rects, EqualScaleTest,
    ::testing::Values(EqualScaleRow{"WideSquareWorld", 1.0f, 1.0f, {0, 0, 400, 200}, {100, 0, 300, 200}},
                      EqualScaleRow{"TallSquareWorld", 1.0f, 1.0f, {10, 20, 210, 420}, {10, 120, 210, 320}},
                      EqualScaleRow{"WideWorldWideGraph", 2.0f, 1.0f, {0, 0, 400, 200}, {0, 0, 400, 200}},
                      EqualScaleRow{"WiderWorld", 4.0f, 1.0f, {0, 0, 400, 200}, {0, 50, 400, 150}},
                      EqualScaleRow{"EmptyGraphUntouched", 1.0f, 1.0f, {0, 0, 0, 200}, {0, 0, 0, 200}}),
    [](const auto& info) { return std::string(info.param.name); });

struct LayoutRow {
    const char* name;
    int width, height;
    bool xHidden, yHidden, zHidden;
};
class MapLayoutTest : public ::testing::TestWithParam<LayoutRow> {};
TEST_P(MapLayoutTest, KeepsEverythingInsideTheClientWithEqualScales)
{
    const LayoutRow& row = GetParam();
    MapFixture f;
    f.settings.xAxis.stop = 20.0f;
    f.settings.xAxis.step = 5.0f;
    f.settings.yAxis.stop = 10.0f;
    f.settings.yAxis.step = 5.0f;
    f.settings.xAxis.hidden = row.xHidden;
    f.settings.yAxis.hidden = row.yHidden;
    f.settings.zAxis.hidden = row.zHidden;
    const MapDrawInput in = f.Input({row.width, row.height});
    const MapLayout& l = in.layout;
    const TxRect& g = l.graph;
    ASSERT_GT(g.Width(), 0);
    ASSERT_GT(g.Height(), 0);
    EXPECT_GE(g.left, 0);
    EXPECT_GE(g.top, 0);
    EXPECT_LE(l.colourBar.right, row.width);
    EXPECT_LE(l.xAxisArea.bottom, row.height);
    // One pixel stands for the same world length on both axes, within the two truncated sides.
    EXPECT_NEAR(double(g.Width()) / 20.0, double(g.Height()) / 10.0, 2.0 / 10.0 + 0.01);  // each side truncated
    // The colour bar stands right of the graph, inset from its top and bottom by the bar width + 4.
    const int f9 = ColourBarWidth(96);
    EXPECT_GT(l.colourBar.left, g.right);
    EXPECT_EQ(l.colourBar.top, g.top + f9 + 4);
    EXPECT_EQ(l.colourBar.bottom, g.bottom - f9 - 4);
    const QSize zs = MeasureAxis(in.zAxis, 96);
    EXPECT_EQ(l.colourBar.Width(), zs.width() + f9);
}
INSTANTIATE_TEST_SUITE_P(Clients, MapLayoutTest,
                         ::testing::Values(LayoutRow{"AllShown", 800, 600, false, false, false},
                                           LayoutRow{"Tall", 400, 900, false, false, false},
                                           LayoutRow{"XHidden", 800, 600, true, false, false},
                                           LayoutRow{"YHidden", 800, 600, false, true, false},
                                           LayoutRow{"AllHidden", 640, 480, true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(MapLayout, MeasureAxisTakesTheWidestLabelOrTitle)
{
    CMapAxis a(CMapAxis::RightOfVertical, QStringLiteral("dB"));
    a.SetAxisRange(20.0f, 80.0f, 10.0f);
    const QSize narrow = MeasureAxis(a, 96);
    a.title = QStringLiteral("Sound pressure level");
    const QSize wide = MeasureAxis(a, 96);
    EXPECT_GT(wide.width(), 3 * narrow.width());
    EXPECT_EQ(wide.height(), narrow.height());
    // Printer resolution: six and a quarter times the screen's.
    const QSize print = MeasureAxis(a, 600);
    EXPECT_NEAR(double(print.height()) / double(wide.height()), 600.0 / 96.0, 0.8);
}

}  // namespace

namespace {

// A position far outside the axis (5e8 on a 0..10 axis), infinite or not a number was converted
// to int unchecked: signed overflow in the mapping and in the symbol rectangle around it.
struct FarRow {
    const char* name;
    int side;
    float value;
    int expected;  // absolute device coordinate
};

class FarPositionTest : public ::testing::TestWithParam<FarRow> {};

TEST_P(FarPositionTest, IsClampedToTheDeviceRange)
{
    const FarRow& r = GetParam();
    const CMapAxis a = MakeAxis(r.side, 0.0f, 10.0f, 1.0f, {100, 50, 700, 450});
    EXPECT_EQ(a.WorldToDevice(r.value), r.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Mapping, FarPositionTest,
    ::testing::Values(FarRow{"HorizontalFarRight", CMapAxis::BelowHorizontal, 5e8f, kMaxDeviceCoordinate},
                      FarRow{"HorizontalFarLeft", CMapAxis::BelowHorizontal, -5e8f, -kMaxDeviceCoordinate},
                      FarRow{"VerticalFarUp", CMapAxis::LeftOfVertical, 5e8f, -kMaxDeviceCoordinate},
                      FarRow{"VerticalFarDown", CMapAxis::LeftOfVertical, -5e8f, kMaxDeviceCoordinate},
                      FarRow{"HorizontalFloatMax", CMapAxis::BelowHorizontal, 3.4028235e38f, kMaxDeviceCoordinate},
                      FarRow{"HorizontalInfinity", CMapAxis::BelowHorizontal, -INFINITY, -kMaxDeviceCoordinate},
                      FarRow{"HorizontalNaNAtOrigin", CMapAxis::BelowHorizontal, NAN, 100},
                      FarRow{"VerticalNaNAtOrigin", CMapAxis::LeftOfVertical, NAN, 450},
                      FarRow{"HorizontalInsideUnchanged", CMapAxis::BelowHorizontal, 5.0f, 400}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(AxisContains, EndsIncludedNaNAndOutsideNot)
{
    const CMapAxis a = MakeAxis(CMapAxis::BelowHorizontal, 0.0f, 10.0f, 1.0f, {100, 50, 700, 450});
    EXPECT_TRUE(a.Contains(0.0f));
    EXPECT_TRUE(a.Contains(10.0f));
    EXPECT_FALSE(a.Contains(10.001f));
    EXPECT_FALSE(a.Contains(5e8f));
    EXPECT_FALSE(a.Contains(NAN));
}

}  // namespace

namespace {

// The mapping as first written, in double with a rounding function: the reference the inline
// integer version must match bit for bit.
int ReferenceWorldToDevice(const CMapAxis& a, float v)
{
    const double offset = (double(v) - double(a.start)) * double(a.scale);
    const double origin = a.IsHorizontal() ? double(a.left) : double(a.bottom);
    double device = a.IsHorizontal() ? origin + std::trunc(offset) : origin - std::trunc(offset);
    if (std::isnan(device))
        device = origin;
    device = std::clamp(device, -double(kMaxDeviceCoordinate), double(kMaxDeviceCoordinate));
    return int(device);
}

struct AxisShape {
    const char* name;
    int side;
    float start;
    float scale;  // set directly: negative for a reversed mapping, huge or tiny at the edges
    TxRect rect;
};

class WorldToDeviceMatchesReference : public ::testing::TestWithParam<AxisShape> {};

TEST_P(WorldToDeviceMatchesReference, AtEdgesAndAcrossTheRange)
{
    const AxisShape& shape = GetParam();
    CMapAxis a(shape.side, QStringLiteral("A"));
    a.SetAxisRect(shape.rect);
    a.start = shape.start;
    a.scale = shape.scale;
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<float> values = {0.0f, -0.0f, shape.start, std::nextafter(shape.start, inf),
                                 std::nextafter(shape.start, -inf), 1e-30f, -1e-30f, 0.5f, -0.5f, 1.0f, 40.0f,
                                 1e6f, -1e6f, 16777216.0f, 1e10f, -1e10f, 3.4e38f, -3.4e38f, inf, -inf,
                                 std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::denorm_min()};
    // Offsets of exactly whole pixels and just beside them, where truncation decides.
    for (int pixels : {1, 2, 100, 1000, 1 << 23, 1 << 24, (1 << 24) + 7, 1 << 30})
        for (int sign : {1, -1}) {
            const float v = shape.start + float(sign * pixels) / shape.scale;
            values.insert(values.end(), {v, std::nextafter(v, inf), std::nextafter(v, -inf)});
        }
    std::mt19937 rng(3);
    std::uniform_real_distribution<float> wide(-1e9f, 1e9f), near(-200.0f, 200.0f);
    for (int k = 0; k < 20000; ++k)
        values.push_back(k % 2 ? wide(rng) : shape.start + near(rng) / shape.scale);
    for (float v : values)
        ASSERT_EQ(a.WorldToDevice(v), ReferenceWorldToDevice(a, v)) << "value " << v;
}

INSTANTIATE_TEST_SUITE_P(
    Axes, WorldToDeviceMatchesReference,
    ::testing::Values(AxisShape{"Horizontal", CMapAxis::BelowHorizontal, 2.0f, 25.0f, {100, 50, 600, 350}},
                      AxisShape{"Vertical", CMapAxis::LeftOfVertical, 2.0f, 25.0f, {100, 50, 600, 350}},
                      AxisShape{"ReversedHorizontal", CMapAxis::BelowHorizontal, 40.0f, -21.25f, {60, 100, 910, 660}},
                      AxisShape{"ReversedVertical", CMapAxis::RightOfVertical, 25.0f, -22.4f, {60, 100, 910, 660}},
                      AxisShape{"HugeScale", CMapAxis::BelowHorizontal, 0.0f, 3e30f, {0, 0, 800, 600}},
                      AxisShape{"TinyScale", CMapAxis::LeftOfVertical, -1e6f, 1e-30f, {0, 0, 800, 600}},
                      AxisShape{"NanScale", CMapAxis::BelowHorizontal, 0.0f, std::numeric_limits<float>::quiet_NaN(),
                                {10, 10, 20, 20}},
                      AxisShape{"OriginBeyondTheClamp", CMapAxis::LeftOfVertical, 0.0f, 1.0f,
                                {-2000000000, -2000000000, 2000000000, 2000000000}},
                      AxisShape{"FarStart", CMapAxis::BelowHorizontal, 16000006.0f, 8.5f, {60, 100, 910, 660}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
