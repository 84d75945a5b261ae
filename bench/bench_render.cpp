// Rendering one map picture of 1000 × 800 pixels: a 200 × 200 grid in "Color Map" mode with
// contour lines, labels, positions and values, and a 1000 × 1000 grid (a million cells) in
// "Color Map" and "Image + Color Map" modes.
//
//   build/bench/bench_render --benchmark_min_time=2s
#include <benchmark/benchmark.h>

#include <QPainter>

#include "../tests/render/MapFixture.h"
#include "image/TXImage.h"
#include "mapping/LabelPlacer.h"
#include "render/MapRenderer.h"

namespace {

// A picture of stripes standing in for a decoded site plan.
class StripedPicture : public CTXImage {
public:
    StripedPicture()
    {
        m_kind = Bitmap;
        m_data = QByteArray("stripes");
    }
    void DrawInto(QPainter& painter, const QRectF& target) const override
    {
        painter.fillRect(target, QColor(235, 235, 235));
        for (double x = target.left(); x < target.right(); x += 40)
            painter.fillRect(QRectF(x, target.top(), 8, target.height()), QColor(90, 90, 90));
    }
};

// A fake label placer: one label in the middle of every polyline, as many as a real map gets.
std::vector<LabelPlacement> MiddleLabel(const CCMAP_Polyline& line, const NormalisedToDevice& map,
                                        const LabelStyle&, int textWidth, int zeroHeight)
{
    const KW_FPOINT& p = line[line.size() / 2];
    LabelPlacement at;
    at.anchorX = map.xAxis->WorldToDevice(map.x0 + p.x * (map.x1 - map.x0));
    at.anchorY = map.yAxis->WorldToDevice(map.y0 + p.y * (map.y1 - map.y0));
    at.angleTenths = 300;
    at.textX = at.anchorX - textWidth / 2;
    at.textY = at.anchorY + zeroHeight / 2;
    return {at};
}

void Setup(MapFixture& f, int mode, int cells, int circleVertices)
{
    f.settings.mapMode = mode;
    f.settings.showValues = 1;
    f.FillCone(cells, cells);
    f.TraceConeCircles(circleVertices);
    for (int k = 0; k < 40; ++k)
        f.AddPoint(0.05f + 0.9f * float(k % 8) / 7.0f, 0.05f + 0.9f * float(k / 8) / 4.0f, 50.0f + float(k));
}

void RenderLoop(benchmark::State& state, MapFixture& f, const CTXImage* picture)
{
    MapDrawInput in = f.Input({1000, 800});
    in.image = picture;
    in.labelPlacer = &MiddleLabel;
    QImage target(1000, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        RenderMapImage(in, target);
        benchmark::DoNotOptimize(target.constBits());
    }
}

void BM_ColorMap200(benchmark::State& state)
{
    MapFixture f;
    Setup(f, MapModeColorMap, 200, 800);
    RenderLoop(state, f, nullptr);
}
BENCHMARK(BM_ColorMap200)->Unit(benchmark::kMillisecond);

void BM_ColorMapMillionCells(benchmark::State& state)
{
    MapFixture f;
    Setup(f, MapModeColorMap, 1000, 4000);
    RenderLoop(state, f, nullptr);
}
BENCHMARK(BM_ColorMapMillionCells)->Unit(benchmark::kMillisecond);

void BM_ImageColorMapMillionCells(benchmark::State& state)
{
    MapFixture f;
    Setup(f, MapModeImageColorMap, 1000, 4000);
    const StripedPicture picture;
    RenderLoop(state, f, &picture);
}
BENCHMARK(BM_ImageColorMapMillionCells)->Unit(benchmark::kMillisecond);

}  // namespace
