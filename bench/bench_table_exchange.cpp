// Clipboard renderings and the paste parser on a large measurement table.
#include <benchmark/benchmark.h>

#include "dataentry/TableExchange.h"
#include "dataentry/TableTextParser.h"

namespace {

const ExchangeLocale kComma{QStringLiteral(","), QStringLiteral(";")};

CellTable MakeTable(int rows, int columns)
{
    CellTable table;
    for (int r = 0; r < rows; ++r) {
        QStringList row;
        for (int c = 0; c < columns; ++c)
            row << QString::asprintf("%g", r * 0.37 + c * 11.5);
        table.push_back(row);
    }
    return table;
}

void BM_RenderText(benchmark::State& state)
{
    const CellTable table = MakeTable(int(state.range(0)), 14);
    for (auto _ : state)
        benchmark::DoNotOptimize(CTableTextWriter(kComma).Render(table));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 14);
}
BENCHMARK(BM_RenderText)->Arg(1000)->Arg(10000);

void BM_RenderDif(benchmark::State& state)
{
    const CellTable table = MakeTable(int(state.range(0)), 14);
    for (auto _ : state)
        benchmark::DoNotOptimize(CTableDifWriter(kComma).Render(table));
    state.SetItemsProcessed(state.iterations() * state.range(0) * 14);
}
BENCHMARK(BM_RenderDif)->Arg(1000)->Arg(10000);

void BM_ParsePaste(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QByteArray bytes = CTableTextWriter(kComma).Render(MakeTable(rows, 14));
    const QString text = QString::fromLatin1(bytes);
    for (auto _ : state)
        benchmark::DoNotOptimize(ParsePasteBlock(text, rows, 14, kComma));
    state.SetItemsProcessed(state.iterations() * rows * 14);
}
BENCHMARK(BM_ParsePaste)->Arg(1000)->Arg(10000);

}  // namespace
