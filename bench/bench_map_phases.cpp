// The steps after the surface, on one column of the twelve-column benchmark document's kind: a
// noisy sound field at 500 seeded positions on a 40 m x 25 m site, interpolated on a 1001 x 1001
// grid (Multiquadric, c = 0.2), seven levels from 30 to 90 dB (21 traced sub-levels).
//
//   build/bench/bench_map_phases --benchmark_repetitions=3
//
// Tracing, label placement along every level line (the search and the vertex-by-vertex walk it
// replaced), drawing the contour lines and the whole map picture (1000 x 800, "Normal" mode with
// labels and positions), and PNG encoding of a map picture (the map encoder and the general one).
#include <benchmark/benchmark.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include <cmath>
#include <random>
#include <thread>

#include "../tests/render/MapFixture.h"
#include "geometry/MapAxis.h"
#include "image/PngEncoder.h"
#include "mapping/ContourTracer.h"
#include "mapping/LabelPlacer.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"
#include "render/MapDrawing.h"
#include "render/MapGeometry.h"
#include "render/MapRenderer.h"
#include "util/TXCDC.h"

namespace {

constexpr int kGridIntervals = 1000;

// Computed once: the surface and its contours.
struct Column {
    CSurface3DData surface;
    CTXFloatArray levels{30, 40, 50, 60, 70, 80, 90};
    ContourParameters params;
    CCMAP_ContourResult contours;

    Column()
    {
        std::mt19937 rng(5);
        std::uniform_real_distribution<float> u(0.0f, 1.0f), noise(-1.0f, 1.0f);
        std::vector<float> x, y, v;
        for (int k = 0; k < 500; ++k) {
            const float px = 40.0f * u(rng), py = 25.0f * u(rng);
            x.push_back(px / 40.0f);
            y.push_back(py / 25.0f);
            v.push_back(60.0f + 20.0f * std::sin(px / 7.0f) * std::cos(py / 5.0f) + noise(rng));
        }
        surface.Allocate(kGridIntervals + 1, kGridIntervals + 1);
        const int threads = std::max(1, int(std::thread::hardware_concurrency()));
        ComputeSurface(int32_t(x.size()), x.data(), y.data(), v.data(), RbfMultiquadric, 0.2f, 0.0, 0.0,
                       1.0 / kGridIntervals, 1.0 / kGridIntervals, surface, threads);
        params.levelStep = 10.0f;
        TraceContours(surface, levels, params, contours);
    }
};

const Column& TheColumn()
{
    static const Column column;
    return column;
}

// The graph of a 1000 x 800 map: 850 x 560 pixels for 40 m x 25 m.
struct Graph {
    CMapAxis x{CMapAxis::BelowHorizontal, QStringLiteral("X")};
    CMapAxis y{CMapAxis::LeftOfVertical, QStringLiteral("Y")};
    NormalisedToDevice map;
    LabelStyle style;
    Graph()
    {
        const TxRect graph{60, 100, 910, 660};
        x.SetAxisRange(0.0f, 40.0f, 5.0f);
        y.SetAxisRange(0.0f, 25.0f, 5.0f);
        x.SetAxisRect(graph);
        y.SetAxisRect(graph);
        map = {&x, &y, 0.0f, 40.0f, 0.0f, 25.0f};
        style.graph = graph;
    }
};

void BM_TraceContours(benchmark::State& state)
{
    const Column& c = TheColumn();
    size_t segments = 0;
    for (auto _ : state) {
        CCMAP_ContourResult result;
        TraceContours(c.surface, c.levels, c.params, result);
        benchmark::DoNotOptimize(result.entries.data());
    }
    for (const auto& e : c.contours.entries)
        for (const auto& line : e.polylines)
            segments += line->size() - 1;
    state.counters["segments"] = double(segments);
}
BENCHMARK(BM_TraceContours)->Unit(benchmark::kMillisecond);

template <class Place>
void PlaceAll(benchmark::State& state, Place place)
{
    const Column& c = TheColumn();
    const Graph g;
    size_t labels = 0;
    for (auto _ : state) {
        labels = 0;
        for (size_t e = 0; e < c.contours.entries.size(); e += 3)
            for (const auto& line : c.contours.entries[e].polylines)
                labels += place(*line, g.map, g.style, 24, 9).size();
    }
    state.counters["labels"] = double(labels);
}

void BM_PlaceLabelsSearch(benchmark::State& state)
{
    PlaceAll(state, &PlaceLabelsOnPolyline);
}
BENCHMARK(BM_PlaceLabelsSearch)->Unit(benchmark::kMillisecond);

void BM_PlaceLabelsStepwise(benchmark::State& state)
{
    PlaceAll(state, &PlaceLabelsOnPolylineStepwise);
}
BENCHMARK(BM_PlaceLabelsStepwise)->Unit(benchmark::kMillisecond);

// The column as the map computation hands it to the drawing: 40 m x 25 m, levels 30 to 90 dB
// coloured by the colour scale, labels and the 500 positions shown.
struct DrawnColumn {
    MapFixture fixture;
    MapDrawInput in;
    DrawnColumn()
    {
        const Column& c = TheColumn();
        CTessarixSettings& s = fixture.settings;
        s.extent = {0.0f, 40.0f, 0.0f, 25.0f};
        s.xAxis.start = 0.0f, s.xAxis.stop = 40.0f, s.xAxis.step = 5.0f;
        s.yAxis.start = 0.0f, s.yAxis.stop = 25.0f, s.yAxis.step = 5.0f;
        s.zAxis.start = 30.0f, s.zAxis.stop = 90.0f, s.zAxis.step = 10.0f;
        s.gridCountX = s.gridCountY = kGridIntervals;
        s.useColorScaleOnMap = 1;
        std::mt19937 rng(5);
        std::uniform_real_distribution<float> u(0.0f, 1.0f);
        for (int k = 0; k < 500; ++k)
            fixture.AddPoint(40.0f * u(rng), 25.0f * u(rng), 60.0f);
        in = fixture.Input({1000, 800});
        in.surface = &c.surface;
        in.contours = &c.contours;
        in.levels = c.levels;
        s.colorScale.SetRange(30.0f, 90.0f);
    }
};

void BM_DrawContourLines(benchmark::State& state)
{
    const DrawnColumn column;
    QImage target(1000, 800, QImage::Format_RGB32);
    QPainter painter(&target);
    CTXCDC dc(&painter, 96, 96);
    const TxRect& graph = column.in.layout.graph;
    for (auto _ : state) {
        DrawContourLines(dc, column.in, graph);
        benchmark::DoNotOptimize(target.constBits());
    }
    // How many polylines and vertices the painter is handed, and how many vertices repeat the
    // device pixel of the one before.
    const NormalisedToDevice map = NormalisedMappingOf(column.in);
    size_t lines = 0, vertices = 0, repeats = 0;
    for (const auto& entry : TheColumn().contours.entries)
        for (const auto& line : entry.polylines) {
            ++lines;
            vertices += line->size();
            for (size_t v = 1; v < line->size(); ++v)
                repeats += map.MapX((*line)[v].x) == map.MapX((*line)[v - 1].x) &&
                           map.MapY((*line)[v].y) == map.MapY((*line)[v - 1].y);
        }
    state.counters["polylines"] = double(lines);
    state.counters["vertices"] = double(vertices);
    state.counters["repeats"] = double(repeats);
}
BENCHMARK(BM_DrawContourLines)->Unit(benchmark::kMillisecond);

void BM_RenderMapPicture(benchmark::State& state)
{
    const DrawnColumn column;
    QImage target(1000, 800, QImage::Format_RGB32);
    for (auto _ : state) {
        RenderMapImage(column.in, target);
        benchmark::DoNotOptimize(target.constBits());
    }
}
BENCHMARK(BM_RenderMapPicture)->Unit(benchmark::kMillisecond);

// A map-like picture: the column's contour lines over white, in a few colours.
QImage MapPicture()
{
    const Column& c = TheColumn();
    QImage picture(1000, 800, QImage::Format_RGB32);
    picture.fill(Qt::white);
    QPainter p(&picture);
    const QColor colours[] = {Qt::darkBlue, Qt::darkGreen, Qt::darkYellow, Qt::red};
    for (size_t e = 0; e < c.contours.entries.size(); ++e) {
        p.setPen(colours[e % 4]);
        for (const auto& line : c.contours.entries[e].polylines) {
            QPolygonF points;
            for (const KW_FPOINT& v : *line)
                points << QPointF(60 + 850 * v.x, 660 - 560 * v.y);
            p.drawPolyline(points);
        }
    }
    return picture;
}

void BM_EncodeMapPng(benchmark::State& state)
{
    const QImage picture = MapPicture();
    size_t bytes = 0;
    for (auto _ : state)
        bytes = size_t(EncodePng(picture).size());
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_EncodeMapPng)->Unit(benchmark::kMillisecond);

void BM_EncodePngGeneralWriter(benchmark::State& state)
{
    const QImage picture = MapPicture();
    size_t bytes = 0;
    for (auto _ : state) {
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        picture.save(&buffer, "PNG");
        bytes = size_t(png.size());
    }
    state.counters["bytes"] = double(bytes);
}
BENCHMARK(BM_EncodePngGeneralWriter)->Unit(benchmark::kMillisecond);

}  // namespace
