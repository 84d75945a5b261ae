// Costs of the picture decoders (built once per import or load) and of one undo step of a
// large measurement table (record, then undo and redo through the history files).

#include <QFile>
#include <QFileInfo>

#include <benchmark/benchmark.h>

#include <memory>

#include "document/MapComputations.h"
#include "document/TessarixDoc.h"
#include "image/TXImage.h"

namespace {

QByteArray Sample(const char* name)
{
    const QString dir = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + QStringLiteral("/../samples/pictures/");
    QFile f(dir + QLatin1String(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void Decode(benchmark::State& state, const char* name, int32_t kind)
{
    const QByteArray bytes = Sample(name);
    for (auto _ : state) {
        CTXImage image;
        if (!image.ImportFileBytes(bytes, kind, QString()))
            state.SkipWithError("sample missing or refused");
        benchmark::DoNotOptimize(image.HasDecodedForm());
    }
}
BENCHMARK_CAPTURE(Decode, Bmp1bit640x400, "bmp_1bit_640x400.bmp", CTXImage::Bitmap)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Tiff1bit640x400, "tiff_minblack_1bit_640x400.tif", CTXImage::Tiff)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, JpegGrey640x400, "jpeg_gray_150dpi_640x400.jpg", CTXImage::Jpeg)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, Emf977Records, "emf_floorplan_400x250mm.emf", CTXImage::Metafile)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(Decode, WmfPlaceable, "wmf_floorplan_placeable.wmf", CTXImage::Metafile)->Unit(benchmark::kMillisecond);

// Insert Point on a table of N points with all twelve columns enabled, then Undo and Redo.
void InsertUndoRedo(benchmark::State& state)
{
    CTessarixDoc doc;  // no workers: the idle computations
    doc.OnNewDocument();
    const int32_t n = int32_t(state.range(0));
    std::array<CTXFloatArray, kColumnCount> values;
    const CTXFloatArray x(static_cast<size_t>(n), 0.5f), y(static_cast<size_t>(n), 0.25f);
    for (int c = 0; c < kColumnCount; ++c) {
        doc.Column(c).enabled = 1;
        values[size_t(c)].assign(size_t(n), 50.0f + float(c));
    }
    doc.SetPointTable(n, x, y, values);
    for (auto _ : state) {
        doc.InsertPoint(0.5f, 0.5f, {60.0f});
        doc.Undo();
        doc.Redo();
        doc.Undo();
    }
    state.SetItemsProcessed(state.iterations() * 4);
}
BENCHMARK(InsertUndoRedo)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

}  // namespace
