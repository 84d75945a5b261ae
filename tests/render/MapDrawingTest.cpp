// The map body: coloured cells, the tint of the picture, clipping regions, contour line colours,
// the colour bar, the fixed-amplitude range and the abort flag.
#include <gtest/gtest.h>

#include <QPainter>

#include "MapFixture.h"
#include "colors/KWColorScale.h"
#include "image/TXImage.h"
#include "render/MapAnnotations.h"
#include "render/MapDrawing.h"
#include "render/MapGeometry.h"
#include "render/MapRenderer.h"
#include "util/TXCDC.h"

namespace {

// A picture of one colour, standing in for a decoded background picture.
class SolidPicture : public CTXImage {
public:
    explicit SolidPicture(QColor colour) : m_colour(colour)
    {
        m_kind = Bitmap;
        m_data = QByteArray("solid");
    }
    void DrawInto(QPainter& painter, const QRectF& target) const override { painter.fillRect(target, m_colour); }

private:
    QColor m_colour;
};

QImage DrawLayers(MapDrawInput in, QImage::Format format = QImage::Format_RGB32)
{
    QImage image(in.layout.client.Width(), in.layout.client.Height(), format);
    image.fill(Qt::white);
    QPainter p(&image);
    CTXCDC dc(&p, in.dpiX, in.dpiY);
    DrawMapArea(dc, in, in.layout.graph, in.layout.graph);
    p.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

QPoint CentreOf(const QRect& r)
{
    return QPoint(r.left() + r.width() / 2, r.top() + r.height() / 2);
}

// Node values that differ everywhere, so every cell has a colour of its own node.
float Distinct(int i, int j)
{
    return 20.0f + float((i * 7 + j * 13) % 61);
}

TEST(ColourCells, TwentyByTwentyDrawsFourHundredCellsFromTheirLowerLeftNode)
{
    MapFixture f;
    f.settings.mapMode = MapModeColorMap;
    f.settings.showPositions = 0;
    f.FillSurface(20, 20, Distinct);
    // The last node row and column are far off the others: they must colour no cell.
    for (int k = 0; k <= 20; ++k)
        f.surface.Value(20, k) = f.surface.Value(k, 20) = 80.0f;
    f.surface.Value(19, 19) = 20.0f;
    const MapDrawInput in = f.Input({500, 420});
    const CellEdges edges = ComputeCellEdges(in, 20, 20);
    int cells = 0;
    long area = 0;
    for (int i = 0; i < edges.CellsX(); ++i)
        for (int j = 0; j < edges.CellsY(); ++j) {
            const QRect r = edges.Cell(i, j);
            if (!r.isEmpty())
                ++cells;
            area += long(r.width()) * r.height();
        }
    EXPECT_EQ(cells, 400);
    const QRect whole = NormalisedRect(edges.xEdges.front(), edges.yEdges.front(), edges.xEdges.back(),
                                       edges.yEdges.back());
    EXPECT_EQ(area, long(whole.width()) * whole.height());  // no gaps, no overlaps

    const QImage image = DrawLayers(in);
    const MapColouring colouring{&f.settings.colorScale, f.settings.zAxis.start, f.settings.zAxis.stop};
    for (int i = 0; i < 20; ++i)
        for (int j = 0; j < 20; ++j) {
            const QPoint c = CentreOf(edges.Cell(i, j));
            ASSERT_TRUE(SameRgb(image.pixel(c), TxToQColor(colouring.ColourOf(f.surface.Value(i, j))).rgb()))
                << "cell " << i << "," << j;
        }
    // The top-right cell shows node (19, 19), the blue end of the scale, not the red (20, 20).
    const QRgb topRight = image.pixel(CentreOf(edges.Cell(19, 19)));
    EXPECT_TRUE(SameRgb(topRight, TxToQColor(f.settings.colorScale.ColorAt(0.0f) & 0xFFFFFF).rgb()));
}

TEST(ColourCells, DirectRowsGiveTheSamePixelsAsRectangleFills)
{
    MapFixture f;
    f.settings.mapMode = MapModeColorMap;
    f.settings.xAxis.stop = 3.0f;
    f.settings.extent = {0.1f, 2.7f, 0.05f, 0.93f};  // cells of uneven pixel widths
    f.FillSurface(37, 23, Distinct);
    const MapDrawInput in = f.Input({613, 377});
    const QImage direct = DrawLayers(in, QImage::Format_RGB32);
    const QImage filled = DrawLayers(in, QImage::Format_RGB888);  // no row access: rectangle fills
    EXPECT_EQ(direct, filled);
}

struct TintRow {
    const char* name;
    QColor picture;
    QRgb expected;  // with every cell coloured (255, 0, 128)
};
class TintTest : public ::testing::TestWithParam<TintRow> {};

TEST_P(TintTest, MultipliesThePictureByTheCellColour)
{
    MapFixture f;
    f.settings.mapMode = MapModeImageColorMap;
    f.settings.colorScale.SetItems({{0.0f, TxRgb(255, 0, 128)}, {1.0f, TxRgb(255, 0, 128)}});
    f.FillSurface(10, 10, Distinct);
    const SolidPicture picture(GetParam().picture);
    MapDrawInput in = f.Input({300, 260});
    in.image = &picture;
    const QImage image = DrawLayers(in);
    const TxRect& g = in.layout.graph;
    for (const QPoint p : {QPoint(g.left + 3, g.top + 3), QPoint((g.left + g.right) / 2, (g.top + g.bottom) / 2),
                           QPoint(g.right - 1, g.bottom - 1)})
        EXPECT_TRUE(SameRgb(image.pixel(p), GetParam().expected))
            << p.x() << "," << p.y() << " " << std::hex << image.pixel(p);
}

INSTANTIATE_TEST_SUITE_P(Pictures, TintTest,
                         ::testing::Values(TintRow{"White", QColor(255, 255, 255), qRgb(255, 0, 128)},
                                           TintRow{"Black", QColor(0, 0, 0), qRgb(0, 0, 0)},
                                           TintRow{"MidGrey", QColor(128, 128, 128), qRgb(128, 0, 64)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TintChannel, IsTheRoundedProductOverTwoFiftyFive)
{
    for (int p = 0; p < 256; ++p)
        for (int c = 0; c < 256; ++c) {
            const int out = TintChannel(p, c);
            ASSERT_LE(std::abs(out * 255 - p * c), 255) << p << " " << c;
            if (p == 255) {
                ASSERT_EQ(out, c);
            }
            if (p == 0 || c == 0) {
                ASSERT_EQ(out, 0);
            }
        }
    EXPECT_EQ(TintChannel(128, 255), 128);
}

TEST(ClipPolygons, ClosesEveryPolylineAndAppendsTheBoundary)
{
    CTessarixSettings s;
    s.clipPoints = {{0.2f, 0.2f}, {0.8f, 0.2f}, {0.5f, 0.9f}};
    s.clipPolylines = {3};
    s.conditioningFlags = {0};
    s.conditioningLevels = {50.0f};
    s.conditioningSteps = {1};
    CMapAxis x = AxisFrom(s.xAxis, CMapAxis::BelowHorizontal), y = AxisFrom(s.yAxis, CMapAxis::LeftOfVertical);
    x.SetAxisRect({10, 10, 210, 210});
    y.SetAxisRect({10, 10, 210, 210});
    std::vector<QPolygon> polygons = ClipPolygons(s, x, y);
    ASSERT_EQ(polygons.size(), 1u);
    ASSERT_EQ(polygons[0].size(), 4);
    EXPECT_EQ(polygons[0].first(), polygons[0].last());
    EXPECT_EQ(polygons[0][0], QPoint(50, 170));

    s.autoBoundaryPolyline = 1;
    polygons = ClipPolygons(s, x, y);
    ASSERT_EQ(polygons.size(), 2u);
    EXPECT_EQ(polygons[1], QPolygon({QPoint(10, 210), QPoint(10, 10), QPoint(210, 10), QPoint(210, 210), QPoint(10, 210)}));

    // A count beyond the stored vertices stops at their end.
    s.clipPolylines = {5};
    polygons = ClipPolygons(s, x, y);
    EXPECT_EQ(polygons[0].size(), 4);

    s.clipPolylines.clear();
    EXPECT_TRUE(ClipPolygons(s, x, y).empty());  // no polyline: no region, boundary or not
}

struct ClipRow {
    const char* name;
    int fillMode;
    bool boundary;
    bool reversed;      // the square runs the other way round from the boundary polygon
    bool insideShown;   // the middle of the square is inside the region
    bool ringShown;     // between the square and the map boundary
};
class ClipRegionTest : public ::testing::TestWithParam<ClipRow> {};

TEST_P(ClipRegionTest, SelectsTheRegionOfTheFillRule)
{
    const ClipRow& row = GetParam();
    MapFixture f;
    f.settings.clipFillMode = row.fillMode;
    f.settings.autoBoundaryPolyline = row.boundary;
    std::vector<KW_FPOINT> square = {{0.3f, 0.3f}, {0.3f, 0.7f}, {0.7f, 0.7f}, {0.7f, 0.3f}};
    if (row.reversed)
        std::reverse(square.begin(), square.end());
    f.settings.clipPoints = square;
    f.settings.clipPolylines = {4};
    f.settings.conditioningFlags = {0};
    f.settings.conditioningLevels = {50.0f};
    f.settings.conditioningSteps = {1};
    const MapDrawInput in = f.Input({400, 400});
    QImage image(400, 400, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter p(&image);
        CTXCDC dc(&p, 96, 96);
        ASSERT_TRUE(SelectClipRegion(dc, in));
        p.fillRect(image.rect(), Qt::black);
    }
    auto shown = [&](float wx, float wy) {
        return image.pixel(in.xAxis.WorldToDevice(wx), in.yAxis.WorldToDevice(wy)) == qRgb(0, 0, 0);
    };
    EXPECT_EQ(shown(0.5f, 0.5f), row.insideShown);
    EXPECT_EQ(shown(0.15f, 0.5f), row.ringShown);
    EXPECT_EQ(shown(0.5f, 0.85f), row.ringShown);
    // Outside the map boundary nothing is ever shown.
    EXPECT_FALSE(image.pixel(2, 2) == qRgb(0, 0, 0));
}

INSTANTIATE_TEST_SUITE_P(
    Rules, ClipRegionTest,
    ::testing::Values(ClipRow{"AlternateAlone", 0, false, false, true, false},
                      ClipRow{"WindingAlone", 1, false, false, true, false},
                      ClipRow{"AlternateWithBoundary", 0, true, false, false, true},
                      ClipRow{"WindingWithBoundarySameTurn", 1, true, false, true, true},
                      ClipRow{"WindingWithBoundaryOppositeTurn", 1, true, true, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct TargetRow {
    const char* name;
    int target;
    QRgb middle;  // inside the excluded square
    QRgb ring;    // inside the region
};
class ClipTargetTest : public ::testing::TestWithParam<TargetRow> {};

// A grey picture, cells of pure red, the map boundary minus a square in the middle as region.
TEST_P(ClipTargetTest, ClipsPictureAndMapAsChosen)
{
    MapFixture f;
    f.settings.mapMode = MapModeImageColorMap;
    f.settings.clipTarget = GetParam().target;
    f.settings.autoBoundaryPolyline = 1;
    f.settings.clipPoints = {{0.3f, 0.3f}, {0.3f, 0.7f}, {0.7f, 0.7f}, {0.7f, 0.3f}};
    f.settings.clipPolylines = {4};
    f.settings.conditioningFlags = {0};
    f.settings.conditioningLevels = {50.0f};
    f.settings.conditioningSteps = {1};
    f.settings.colorScale.SetItems({{0.0f, TxRgb(255, 0, 0)}, {1.0f, TxRgb(255, 0, 0)}});
    f.settings.showPositions = 0;
    f.FillSurface(8, 8, Distinct);
    const SolidPicture picture(QColor(200, 200, 200));
    MapDrawInput in = f.Input({400, 400});
    in.image = &picture;
    const QImage image = DrawLayers(in);
    const QRgb middle = image.pixel(in.xAxis.WorldToDevice(0.5f), in.yAxis.WorldToDevice(0.5f));
    const QRgb ring = image.pixel(in.xAxis.WorldToDevice(0.15f), in.yAxis.WorldToDevice(0.5f));
    EXPECT_TRUE(SameRgb(middle, GetParam().middle)) << std::hex << middle;
    EXPECT_TRUE(SameRgb(ring, GetParam().ring)) << std::hex << ring;
}

INSTANTIATE_TEST_SUITE_P(Targets, ClipTargetTest,
                         ::testing::Values(
                             // picture everywhere, tint only in the region
                             TargetRow{"MapOnly", ClipMapOnly, qRgb(200, 200, 200), qRgb(200, 0, 0)},
                             // picture only in the region, tint everywhere (white graph stays red)
                             TargetRow{"ImageOnly", ClipImageOnly, qRgb(255, 0, 0), qRgb(200, 0, 0)},
                             // both only in the region
                             TargetRow{"MapAndImage", ClipMapAndImage, qRgb(255, 255, 255), qRgb(200, 0, 0)}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ClipTargets, NoPolylineInImageModeAppliesNoRegion)
{
    MapFixture f;
    f.settings.mapMode = MapModeImage;
    f.settings.clipTarget = ClipMapAndImage;
    f.FillSurface(8, 8, Distinct);
    const SolidPicture picture(QColor(10, 200, 30));
    MapDrawInput in = f.Input({300, 300});
    in.image = &picture;
    const QImage image = DrawLayers(in);
    const TxRect& g = in.layout.graph;
    EXPECT_TRUE(SameRgb(image.pixel(g.left + 2, g.top + 2), qRgb(10, 200, 30)));
    EXPECT_TRUE(SameRgb(image.pixel(g.right - 1, g.bottom - 1), qRgb(10, 200, 30)));
}

struct LineColourRow {
    const char* name;
    int mode;
    bool useOnMap;
    bool distinct;  // the three sub-level lines differ in colour
};
class ContourColourTest : public ::testing::TestWithParam<LineColourRow> {};

TEST_P(ContourColourTest, SubLevelsTakeScaleColoursOnlyInTheLineModes)
{
    MapFixture f;
    f.settings.mapMode = GetParam().mode;
    f.settings.useColorScaleOnMap = GetParam().useOnMap;
    f.settings.contourPen.color = TxRgb(1, 2, 3);
    f.settings.showPositions = 0;
    f.settings.showLabels = 0;
    f.FillSurface(4, 4, [](int, int) { return 50.0f; });
    f.levels = {30.0f};
    f.contours.entries.resize(3);
    for (int j = 0; j < 3; ++j) {
        auto line = std::make_unique<CCMAP_Polyline>();
        const float yv = 0.2f + 0.2f * float(j);
        line->Start({0.1f, yv}, {0.5f, yv});
        line->InsertBack({0.9f, yv});
        f.contours.entries[size_t(j)].polylines.push_back(std::move(line));
    }
    const MapDrawInput in = f.Input({400, 400});
    const QImage image = DrawLayers(in);
    std::vector<QRgb> seen;
    for (int j = 0; j < 3; ++j)
        seen.push_back(image.pixel(in.xAxis.WorldToDevice(0.5f), in.yAxis.WorldToDevice(0.2f + 0.2f * float(j))));
    const MapColouring colouring{&f.settings.colorScale, 20.0f, 80.0f};
    if (GetParam().distinct) {
        EXPECT_NE(seen[0], seen[1]);
        EXPECT_NE(seen[1], seen[2]);
        EXPECT_TRUE(SameRgb(seen[1], TxToQColor(colouring.ColourOf(30.0f + 10.0f / 3.0f)).rgb()));
    } else {
        for (QRgb c : seen)
            EXPECT_TRUE(SameRgb(c, qRgb(1, 2, 3))) << std::hex << c;
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, ContourColourTest,
                         ::testing::Values(LineColourRow{"NormalUseOnMap", MapModeNormal, true, true},
                                           LineColourRow{"ImageUseOnMap", MapModeImage, true, true},
                                           LineColourRow{"ColorMapUseOnMap", MapModeColorMap, true, false},
                                           LineColourRow{"ImageColorMapUseOnMap", MapModeImageColorMap, true, false},
                                           LineColourRow{"NormalPenColour", MapModeNormal, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ScaleMode, FixedAmplitudeRunsFromMaximumLessAmplitude)
{
    MapFixture f;
    f.settings.scaleMode = 1;
    f.settings.fixedAmplitude = 20.0f;
    f.AddPoint(0.5f, 0.5f, 73.4f);
    f.AddPoint(0.2f, 0.2f, 41.0f);
    MapDrawInput in = f.Input({400, 300});
    ApplyScaleMode(in);
    EXPECT_FLOAT_EQ(in.zAxis.start, 53.4f);
    EXPECT_FLOAT_EQ(in.zAxis.stop, 73.4f);
    EXPECT_EQ(in.zAxis.tickLabels, QStringList({"60", "70"}));

    // The cells follow that range: the largest value takes the top colour.
    f.settings.mapMode = MapModeColorMap;
    f.FillSurface(4, 4, [](int i, int) { return i < 2 ? 73.4f : 53.4f; });
    in = f.Input({400, 300});
    const QImage image = RenderMapImage(in, QSize(400, 300));
    const CellEdges edges = ComputeCellEdges(in, 4, 4);
    EXPECT_TRUE(SameRgb(image.pixel(CentreOf(edges.Cell(0, 1))), qRgb(255, 0, 0)));
    EXPECT_TRUE(SameRgb(image.pixel(CentreOf(edges.Cell(3, 1))), qRgb(0, 0, 128)));

    f.settings.scaleMode = 0;
    in = f.Input({400, 300});
    ApplyScaleMode(in);
    EXPECT_EQ(in.zAxis.start, 20.0f);
}

TEST(ColourBar, RunsFromTheRangeStartAtTheBottomToItsEnd)
{
    MapFixture f;
    const MapDrawInput in = f.Input({500, 400});
    const QImage image = RenderMapImage(in, QSize(500, 400));
    DumpPicture(image, QStringLiteral("colourbar"));
    const TxRect bar = ColourBarRect(in.layout.colourBar, 96);
    ASSERT_EQ(bar.Width(), 11);
    const int h = bar.Height();
    const int x = bar.left + 5;
    auto expected = [&](int k) { return TxToQColor(f.settings.colorScale.ColorAt(float(k) / float(h)) & 0xFFFFFF).rgb(); };
    EXPECT_TRUE(SameRgb(image.pixel(x, bar.bottom - 1), expected(1)));
    EXPECT_TRUE(SameRgb(image.pixel(x, bar.top + 1), expected(h - 1)));
    // Framed with the border pen: left column and top row black.
    EXPECT_TRUE(SameRgb(image.pixel(bar.left, (bar.top + bar.bottom) / 2), qRgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(image.pixel(x, bar.top), qRgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(image.pixel(bar.right, (bar.top + bar.bottom) / 2), qRgb(0, 0, 0)));
}

TEST(Abort, StopsTheBodyButKeepsFrameAndBorder)
{
    MapFixture f;
    f.settings.mapMode = MapModeColorMap;
    f.FillCone(30, 30);
    f.TraceConeCircles();
    f.AddPoint(0.5f, 0.5f, 80.0f);
    f.abort = 1;
    const MapDrawInput in = f.Input({400, 300});
    const QImage image = RenderMapImage(in, QSize(400, 300));
    const TxRect& g = in.layout.graph;
    EXPECT_TRUE(SameRgb(image.pixel((g.left + g.right) / 2 + 3, (g.top + g.bottom) / 2 + 3), qRgb(255, 255, 255)));
    EXPECT_TRUE(SameRgb(image.pixel(g.left, (g.top + g.bottom) / 2), qRgb(0, 0, 0)));
}

TEST(NoSurface, DrawsFrameAxesAndBarOnly)
{
    MapFixture f;
    f.settings.mapMode = MapModeColorMap;
    f.AddPoint(0.5f, 0.5f, 80.0f);
    MapDrawInput in = f.Input({400, 300});
    const QImage image = RenderMapImage(in, QSize(400, 300));
    const TxRect& g = in.layout.graph;
    EXPECT_TRUE(SameRgb(image.pixel((g.left + g.right) / 2, (g.top + g.bottom) / 2), qRgb(255, 255, 255)));
    // A window too small for a graph: backgrounds and border only, and no crash.
    in = f.Input({30, 20});
    EXPECT_LE(in.layout.graph.Height(), 0);
    const QImage tiny = RenderMapImage(in, QSize(30, 20));
    EXPECT_FALSE(tiny.isNull());
}

TEST(Print, DrawsTheTileOnlyWithTheBodyClipped)
{
    MapFixture f;
    f.settings.mapMode = MapModeColorMap;
    f.settings.colorScale.SetItems({{0.0f, TxRgb(0, 0, 255)}, {1.0f, TxRgb(0, 0, 255)}});
    f.FillSurface(10, 10, Distinct);
    const MapDrawInput in = f.Input({600, 500});
    const TxRect g = in.layout.graph;
    const TxRect tile{g.left, g.top, (g.left + g.right) / 2, (g.top + g.bottom) / 2};
    QImage page(600, 500, QImage::Format_RGB32);
    page.fill(Qt::white);
    {
        QPainter p(&page);
        CTXCDC dc(&p, 96, 96);
        DrawMapForPrint(dc, in, in.layout.client, g, in.layout.colourBar, tile);
    }
    EXPECT_TRUE(SameRgb(page.pixel(tile.left + 5, tile.top + 5), qRgb(0, 0, 255)));
    EXPECT_TRUE(SameRgb(page.pixel(tile.right + 5, tile.bottom + 5), qRgb(255, 255, 255)));
}

}  // namespace
