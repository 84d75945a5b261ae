// The whole render step: frame, area and border on one picture, the modes, the abort flag.
#include <gtest/gtest.h>

#include <QPainter>

#include "MapFixture.h"
#include "colors/KWColorScale.h"
#include "render/MapAnnotations.h"
#include "render/MapDrawing.h"
#include "render/MapGeometry.h"
#include "render/MapRenderer.h"
#include "util/TXCDC.h"

namespace {

struct ModeRow {
    const char* name;
    int mode;
};

class RenderModeTest : public ::testing::TestWithParam<ModeRow> {};

TEST_P(RenderModeTest, DrawsFrameBodyAndBorder)
{
    MapFixture f;
    f.settings.mapMode = GetParam().mode;
    f.FillCone(40, 40);
    f.TraceConeCircles();
    f.AddPoint(0.5f, 0.5f, 80.0f);
    f.AddPoint(0.2f, 0.3f, 61.7f);
    f.AddPoint(0.8f, 0.7f, 61.7f);
    f.settings.showValues = 1;
    f.settings.relativePosition = ValueUpRight;
    const MapDrawInput in = f.Input({640, 480});
    const QImage image = RenderMapImage(in, QSize(640, 480));
    DumpPicture(image, QStringLiteral("mode%1").arg(GetParam().mode));

    const TxRect g = in.layout.graph;
    // The border (one pixel, black) runs on the graph's left column and its right edge.
    EXPECT_TRUE(SameRgb(image.pixel(g.left, (g.top + g.bottom) / 2), qRgb(0, 0, 0)));
    EXPECT_TRUE(SameRgb(image.pixel(g.right, (g.top + g.bottom) / 2), qRgb(0, 0, 0)));
    // Outside the graph the window colour stays.
    EXPECT_TRUE(SameRgb(image.pixel(2, 2), qRgb(255, 255, 255)));
    // A point between the contour rings, left of the middle: the colour of its cell in the
    // colour map modes, the graph colour otherwise (no picture here).
    const int px = in.xAxis.WorldToDevice(0.5f - 0.35f), py = in.yAxis.WorldToDevice(0.5f);
    const QRgb inside = image.pixel(px, py);
    if (GetParam().mode == MapModeColorMap) {
        EXPECT_FALSE(SameRgb(inside, qRgb(255, 255, 255)));
    } else if (GetParam().mode == MapModeNormal || GetParam().mode == MapModeImage) {
        EXPECT_TRUE(SameRgb(inside, qRgb(255, 255, 255)));
    }
}

INSTANTIATE_TEST_SUITE_P(Modes, RenderModeTest,
                         ::testing::Values(ModeRow{"Normal", 0}, ModeRow{"ColorMap", 1},
                                           ModeRow{"Image", 2}, ModeRow{"ImageColorMap", 3}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
