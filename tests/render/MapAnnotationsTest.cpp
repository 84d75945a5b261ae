// Symbols, measured values, the value format and contour labels drawn from placements.
#include <gtest/gtest.h>

#include <QPainter>

#include <cmath>

#include "MapFixture.h"
#include "mapping/LabelPlacer.h"
#include "render/MapAnnotations.h"
#include "render/MapDrawing.h"
#include "render/MapGeometry.h"
#include "document/SettingsCheck.h"
#include "util/TXCDC.h"

namespace {

QRect InkBounds(const QImage& image, QRgb background = qRgb(255, 255, 255))
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (!SameRgb(image.pixel(x, y), background))
                box |= QRect(x, y, 1, 1);
    return box;
}

struct FormatRow {
    const char* name;
    float v;
    bool exponent;
    int decimals;
    const char* text;
};
class FormatValueTest : public ::testing::TestWithParam<FormatRow> {};
TEST_P(FormatValueTest, BuildsTheFormatFromTheDecimals)
{
    const FormatRow& r = GetParam();
    EXPECT_EQ(FormatValue(r.v, r.exponent, r.decimals), QString::fromLatin1(r.text));
}
INSTANTIATE_TEST_SUITE_P(Values, FormatValueTest,
                         ::testing::Values(FormatRow{"OneDecimal", 65.0f, false, 1, "65.0"},
                                           FormatRow{"NoDecimals", 65.4f, false, 0, "65"},
                                           FormatRow{"Rounds", 72.26f, false, 1, "72.3"},
                                           FormatRow{"Exponent", 65.0f, true, 2, "6.50e+01"},
                                           FormatRow{"NegativeDecimalsAsZero", 65.0f, false, -3, "65"},
                                           FormatRow{"HugeDecimalsKeptBounded", 1.5f, false, 400,
                                                     "1.50000000000000000000"},
                                           FormatRow{"Negative", -3.25f, false, 2, "-3.25"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct OriginRow {
    const char* name;
    int position;
    int hu;
    QPoint expected;  // for a text 30 × 12 at (100, 100)
};
class ValueOriginTest : public ::testing::TestWithParam<OriginRow> {};
TEST_P(ValueOriginTest, PlacesTheTextBesideThePoint)
{
    EXPECT_EQ(ValueTextOrigin(GetParam().position, 100, 100, 30, 12, GetParam().hu), GetParam().expected);
}
INSTANTIATE_TEST_SUITE_P(
    Positions, ValueOriginTest,
    ::testing::Values(OriginRow{"UpRightWithSymbols", ValueUpRight, 5, {105, 83}},
                      OriginRow{"UpRightWithoutSymbols", ValueUpRight, 0, {100, 88}},
                      OriginRow{"Centered", ValueCentered, 5, {85, 94}},
                      OriginRow{"UpLeft", ValueUpLeft, 5, {65, 83}}, OriginRow{"Up", ValueUp, 5, {85, 83}},
                      OriginRow{"Right", ValueRight, 5, {105, 94}}, OriginRow{"DownRight", ValueDownRight, 5, {105, 105}},
                      OriginRow{"Down", ValueDown, 5, {85, 105}}, OriginRow{"DownLeft", ValueDownLeft, 5, {65, 105}},
                      OriginRow{"Left", ValueLeft, 5, {65, 94}}, OriginRow{"UnknownIsCentered", 9, 5, {85, 94}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ValueDrawRow {
    const char* name;
    bool showPositions;
};
class ValueDrawTest : public ::testing::TestWithParam<ValueDrawRow> {};

TEST_P(ValueDrawTest, UpRightTextLiesInItsBox)
{
    MapFixture f;
    f.settings.showValues = 1;
    f.settings.showPositions = GetParam().showPositions;
    f.settings.relativePosition = ValueUpRight;
    f.AddPoint(0.5f, 0.5f, 65.0f);
    const MapDrawInput in = f.Input({300, 300});
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    CTXCDC dc(&p, 96, 96);
    DrawValues(dc, in);
    CKWFontSelection probe;
    probe.Open(dc, CKWFont(f.settings.valueFont), 0, TRANSPARENT, 0);
    const QSize extent = dc.TextExtent(QStringLiteral("65.0"));
    probe.Close();
    p.end();
    const int x = in.xAxis.WorldToDevice(0.5f), y = in.yAxis.WorldToDevice(0.5f);
    const int hu = GetParam().showPositions ? 5 : 0;
    const QRect box(x + hu, y - hu - extent.height(), extent.width(), extent.height());
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(box.contains(ink)) << ink.x() << "," << ink.y() << " " << ink.width() << "x" << ink.height();
}

INSTANTIATE_TEST_SUITE_P(Symbols, ValueDrawTest,
                         ::testing::Values(ValueDrawRow{"PositionsShown", true}, ValueDrawRow{"PositionsHidden", false}),
                         [](const auto& info) { return std::string(info.param.name); });

// The position symbols and their values on a white 300 x 300 picture.
static QImage PositionsAndValues(const MapDrawInput& in)
{
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    CTXCDC dc(&p, 96, 96);
    DrawPositions(dc, in);
    DrawValues(dc, in);
    return image;
}

TEST(Values, BoundaryPointsGetValuesButNoSymbol)
{
    MapFixture f;
    f.settings.showValues = 1;
    f.settings.relativePosition = ValueDown;
    f.AddPoint(0.3f, 0.5f, 61.0f);
    f.AddPoint(0.7f, 0.5f, 50.0f, false);  // a boundary point
    const MapDrawInput in = f.Input({300, 300});
    const QImage image = PositionsAndValues(in);
    const int y = in.yAxis.WorldToDevice(0.5f);
    const int measuredX = in.xAxis.WorldToDevice(0.3f), boundaryX = in.xAxis.WorldToDevice(0.7f);
    EXPECT_TRUE(SameRgb(image.pixel(measuredX, y), qRgb(0, 0, 0)));          // filled circle
    EXPECT_TRUE(SameRgb(image.pixel(boundaryX, y - 2), qRgb(255, 255, 255)));  // no symbol
    const QRect belowBoundary = InkBounds(image.copy(boundaryX - 20, y + 5, 40, 20));
    EXPECT_FALSE(belowBoundary.isEmpty());  // its value is written
}

struct PenRow {
    const char* name;
    int symbol, pen, size, expected;
};
class PositionPenTest : public ::testing::TestWithParam<PenRow> {};
TEST_P(PositionPenTest, CirclesNeverTakeHalfTheSymbol)
{
    const PenRow& r = GetParam();
    EXPECT_EQ(PositionPenWidth(r.symbol, r.pen, r.size), r.expected);
}
INSTANTIATE_TEST_SUITE_P(Pens, PositionPenTest,
                         ::testing::Values(PenRow{"FilledCircleWidePen", 8, 9, 10, 5},
                                           PenRow{"OpenCircleAtHalf", 7, 5, 10, 5},
                                           PenRow{"OpenCircleOddSize", 7, 6, 11, 5},
                                           PenRow{"CircleThinPen", 8, 4, 10, 4},
                                           PenRow{"SquareKeepsWidePen", 5, 9, 10, 9},
                                           PenRow{"ArrowKeepsWidePen", 11, 9, 10, 9}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ArrowRow {
    const char* name;
    int symbol;
    QPoint headDirection;  // sign of the head tip relative to the centre
};
class ArrowTest : public ::testing::TestWithParam<ArrowRow> {};
TEST_P(ArrowTest, PointsItsWay)
{
    const TxRect r{100, 100, 120, 120};
    const std::array<QPoint, 5> a = ArrowPoints(GetParam().symbol, r);
    const QPoint tip = a[2] - QPoint(110, 110);
    auto sign = [](int v) { return v > 1 ? 1 : v < -1 ? -1 : 0; };
    EXPECT_EQ(QPoint(sign(tip.x()), sign(tip.y())), GetParam().headDirection);
    EXPECT_EQ(a[1], a[2]);  // the head starts at the shaft's end
}
INSTANTIATE_TEST_SUITE_P(Directions, ArrowTest,
                         ::testing::Values(ArrowRow{"ElevenDown", 11, {0, 1}}, ArrowRow{"TwentyThreeRight", 23, {1, 0}},
                                           ArrowRow{"NineteenUp", 19, {0, -1}}, ArrowRow{"FifteenLeft", 15, {-1, 0}},
                                           ArrowRow{"TwentySevenIsElevenAgain", 27, {0, 1}},
                                           ArrowRow{"SeventeenUpLeft", 17, {-1, -1}}),
                         [](const auto& info) { return std::string(info.param.name); });

class SymbolShapeTest : public ::testing::TestWithParam<int> {};
TEST_P(SymbolShapeTest, DrawsInsideItsSquare)
{
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        dc.SetTextColor(TxRgb(0, 0, 255));
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
        p.setBrush(Qt::white);
        DrawSymbol(dc, QString(), GetParam(), {20, 20, 40, 40});
    }
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isEmpty()) << "symbol " << GetParam();
    EXPECT_TRUE(QRect(20, 20, 21, 21).contains(ink)) << "symbol " << GetParam();
    const QRgb centre = image.pixel(30, 30);
    const int s = GetParam();
    if (s == 4 || s == 6 || s == 8 || s == 10) {
        EXPECT_TRUE(SameRgb(centre, qRgb(0, 0, 255))) << "filled " << s;
    }
    if (s == 3 || s == 5 || s == 7) {
        EXPECT_TRUE(SameRgb(centre, qRgb(255, 255, 255))) << "open " << s;
    }
}
INSTANTIATE_TEST_SUITE_P(BuiltIn, SymbolShapeTest, ::testing::Range(0, kBuiltInSymbolCount));

TEST(Symbols, PlusCoversItsRowsAndColumnsWithoutTheEndPixel)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        p.setPen(QPen(Qt::black, 1, Qt::SolidLine, Qt::FlatCap));
        DrawSymbol(dc, QString(), 0, {10, 10, 20, 20});
    }
    EXPECT_EQ(InkBounds(image), QRect(10, 10, 10, 10));
    EXPECT_TRUE(SameRgb(image.pixel(15, 10), qRgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(image.pixel(15, 19), qRgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(image.pixel(15, 20), qRgb(255, 255, 255)));
}

TEST(Symbols, BeyondTheBuiltInShapesNothingIsDrawn)
{
    QImage image(40, 40, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        for (int s : {27, 40, -1})
            DrawSymbol(dc, QString(), s, {10, 10, 30, 30});
    }
    EXPECT_TRUE(InkBounds(image).isEmpty());
}

TEST(Symbols, AMissingSymbolFontStillWritesItsCharacter)
{
    QImage image(60, 60, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        dc.SetTextColor(TxRgb(200, 0, 0));
        DrawSymbol(dc, QStringLiteral("No Such Symbol Font"), 8, {10, 10, 40, 40});
    }
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_TRUE(QRect(0, 0, 60, 60).contains(ink));
}

struct CharRow {
    const char* name;
    int symbol, first, code;
};
class SymbolCharTest : public ::testing::TestWithParam<CharRow> {};
TEST_P(SymbolCharTest, CountsFromTheFirstCharacterAboveSpace)
{
    EXPECT_EQ(SymbolCharCode(GetParam().symbol, GetParam().first), GetParam().code);
}
INSTANTIATE_TEST_SUITE_P(Codes, SymbolCharTest,
                         ::testing::Values(CharRow{"FirstIsSpace", 8, 32, 41}, CharRow{"FirstAboveSpace", 8, 40, 48},
                                           CharRow{"FirstBelowSpace", 0, 0, 33}, CharRow{"FirstIs33", 2, 33, 35}),
                         [](const auto& info) { return std::string(info.param.name); });

// A placer that puts one label at a fixed place on every polyline it is asked about.
int g_placerCalls = 0;
std::vector<LabelPlacement> OneLabelAtFixedPlace(const CCMAP_Polyline&, const NormalisedToDevice&,
                                                 const LabelStyle&, int, int)
{
    ++g_placerCalls;
    LabelPlacement at;
    at.textX = 100;
    at.textY = 120;
    at.angleTenths = 0;
    return {at};
}

TEST(ContourLabels, WritesTheLevelAtThePlacementsOfVisibleLinesOnly)
{
    MapFixture f;
    f.levels = {40.0f, 50.0f};
    f.contours.entries.resize(6);
    auto line = std::make_unique<CCMAP_Polyline>();
    line->Start({0.2f, 0.5f}, {0.8f, 0.5f});
    f.contours.entries[3].polylines.push_back(std::move(line));  // level 50
    auto far = std::make_unique<CCMAP_Polyline>();
    far->Start({5.0f, 5.0f}, {6.0f, 5.0f});  // far outside the map
    f.contours.entries[0].polylines.push_back(std::move(far));
    auto sub = std::make_unique<CCMAP_Polyline>();
    sub->Start({0.2f, 0.6f}, {0.8f, 0.6f});
    f.contours.entries[4].polylines.push_back(std::move(sub));  // sub-levels carry no labels
    MapDrawInput in = f.Input({300, 300});
    in.labelPlacer = &OneLabelAtFixedPlace;
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    g_placerCalls = 0;
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        DrawContourLabels(dc, in, in.layout.graph);
    }
    EXPECT_EQ(g_placerCalls, 1);
    const QRect ink = InkBounds(image);
    ASSERT_FALSE(ink.isEmpty());
    // Left-aligned on the baseline at (100, 120): the digits stand above y = 120, right of x = 100.
    EXPECT_GE(ink.left(), 100);
    EXPECT_LE(ink.bottom(), 121);
    EXPECT_GT(ink.width(), ink.height());  // "50.0" written across
}

TEST(ContourLabels, OpaqueBackgroundFillsBehindTheText)
{
    MapFixture f;
    f.settings.labelBkMode = 1;
    f.settings.labelBkColor = TxRgb(0, 255, 0);
    f.levels = {50.0f};
    f.contours.entries.resize(3);
    auto line = std::make_unique<CCMAP_Polyline>();
    line->Start({0.2f, 0.5f}, {0.8f, 0.5f});
    f.contours.entries[0].polylines.push_back(std::move(line));
    MapDrawInput in = f.Input({300, 300});
    in.labelPlacer = &OneLabelAtFixedPlace;
    QImage image(300, 300, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        DrawContourLabels(dc, in, in.layout.graph);
        EXPECT_EQ(dc.BkMode(), OPAQUE);  // the surface's state as before (OPAQUE is its default)
    }
    EXPECT_TRUE(SameRgb(image.pixel(101, 118), qRgb(0, 255, 0)) || SameRgb(image.pixel(102, 117), qRgb(0, 255, 0)));
}

}  // namespace

namespace {

struct BorderRow {
    const char* name;
    float lineY;       // normalised height of a straight horizontal level line
    bool labelled;
};
class LabelBorderTest : public ::testing::TestWithParam<BorderRow> {};

// Through the drawing with the program's label placer: labels keep half their width plus the
// edge distance clear of the graph border, and a line hugging the border gets none.
TEST_P(LabelBorderTest, KeepsLabelsClearOfTheBorder)
{
    MapFixture f;
    f.levels = {50.0f};
    f.contours.entries.resize(3);
    auto line = std::make_unique<CCMAP_Polyline>();
    line->Start({0.0f, GetParam().lineY}, {0.01f, GetParam().lineY});
    for (int n = 2; n <= 100; ++n)
        line->InsertBack({float(n) / 100.0f, GetParam().lineY});
    f.contours.entries[0].polylines.push_back(std::move(line));
    const MapDrawInput in = f.Input({420, 400});
    ASSERT_EQ(in.labelPlacer, &PlaceLabelsOnPolyline);
    QImage image(420, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        DrawContourLabels(dc, in, in.layout.graph);
    }
    const QRect ink = InkBounds(image);
    if (!GetParam().labelled) {
        EXPECT_TRUE(ink.isEmpty());
        return;
    }
    ASSERT_FALSE(ink.isEmpty());
    const TxRect& g = in.layout.graph;
    EXPECT_GE(ink.left(), g.left + f.settings.edgeDistance - 1);
    EXPECT_LE(ink.right(), g.right - f.settings.edgeDistance);
    // Several labels along the line: the ink spans more than half the graph.
    EXPECT_GT(ink.width(), g.Width() / 2);
}

INSTANTIATE_TEST_SUITE_P(Lines, LabelBorderTest,
                         ::testing::Values(BorderRow{"Middle", 0.5f, true}, BorderRow{"HuggingTheTop", 0.98f, false},
                                           BorderRow{"HuggingTheBottom", 0.02f, false}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// One y of 5e8 in a 0..1 map (the factory-hall sample mutated): its symbol and value overflowed
// int on the way to the device; now a position outside the map is simply not drawn.
TEST(Positions, FarOutsideTheMapDrawsNothing)
{
    MapFixture f;
    f.settings.showValues = 1;
    f.settings.symbolSize = kMaxSymbolSize;
    f.AddPoint(0.5f, 5e8f, 61.0f);
    f.AddPoint(-5e8f, 0.5f, 62.0f);
    f.AddPoint(NAN, 0.5f, 63.0f);
    const MapDrawInput in = f.Input({300, 300});
    const QImage image = PositionsAndValues(in);
    EXPECT_TRUE(InkBounds(image).isEmpty());
}

}  // namespace
