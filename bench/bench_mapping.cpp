// Map engine benchmarks: the surface (solve, grid), contour tracing and the whole path from a
// request to MapReady for one column and for a twelve-column document. Data: a smooth sound field around one source, sampled at
// seeded random positions, Multiquadric with c = 0.2.

#include <benchmark/benchmark.h>


#include <sys/resource.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <thread>

#include "workers/BatchMapRun.h"
#include "mapping/ContourTracer.h"
#include "mapping/RbfGridPass.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"

namespace {

struct Field {
    std::vector<float> x, y, v;
};

Field SoundField(int n)
{
    std::mt19937 rng(11);
    std::uniform_real_distribution<float> u(0.0f, 1.0f);
    Field f;
    for (int k = 0; k < n; ++k) {
        const float x = u(rng), y = u(rng);
        const float d = std::hypot(x - 0.35f, y - 0.55f) + 0.05f;
        f.x.push_back(x);
        f.y.push_back(y);
        f.v.push_back(95.0f - 20.0f * std::log10(d / 0.05f) + 2.0f * std::sin(5.0f * x + 3.0f * y));
    }
    return f;
}

// CPU seconds of the whole process (every thread), so that a run on a loaded machine can be
// told apart from a slow one: real time far above cpu_s / cores means the cores were busy.
double ProcessCpuSeconds()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return double(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + 1e-6 * double(u.ru_utime.tv_usec + u.ru_stime.tv_usec);
}

struct CpuCounter {
    benchmark::State& state;
    double start = ProcessCpuSeconds();
    ~CpuCounter()
    {
        state.counters["process_cpu_s"] = benchmark::Counter(ProcessCpuSeconds() - start,
                                                             benchmark::Counter::kAvgIterations);
    }
};

int Cores()
{
    return std::max(1, int(std::thread::hardware_concurrency()));
}

void BM_Solve(benchmark::State& state)
{
    const Field f = SoundField(int(state.range(0)));
    CpuCounter cpu{state};
    for (auto _ : state) {
        CRbfInterpolator rbf;
        rbf.SetUp(RbfMultiquadric, 0.2f, int32_t(f.x.size()), f.x.data(), f.y.data(), f.v.data());
        if (!rbf.Solve(Cores()))
            state.SkipWithError("singular");
        benchmark::DoNotOptimize(rbf.Weights().data());
    }
}
BENCHMARK(BM_Solve)->Arg(200)->Arg(500)->Arg(2000)->Unit(benchmark::kMillisecond)->UseRealTime();

// How long a raised cancel flag takes to stop a 5000-point solve (order 5003): the flag rises
// `delay` ms after the solve started (during the assembly, early in the decomposition, late in
// it), and the iteration time is from the raise to the return of Solve. Manual time: only that
// latency is measured.
void BM_CancelSolve(benchmark::State& state)
{
    const Field f = SoundField(5000);
    const auto delay = std::chrono::milliseconds(state.range(0));
    double worst = 0.0;
    for (auto _ : state) {
        CRbfInterpolator rbf;
        rbf.SetUp(RbfMultiquadric, 0.2f, int32_t(f.x.size()), f.x.data(), f.y.data(), f.v.data());
        std::atomic<int32_t> cancel{0};
        RbfStatus status = RbfStatus::Solved;
        std::chrono::steady_clock::time_point raised;
        std::thread solver([&] { status = rbf.Solve(Cores(), &cancel); });
        std::this_thread::sleep_for(delay);
        raised = std::chrono::steady_clock::now();
        cancel.store(1);
        solver.join();
        const double latency = std::chrono::duration<double>(std::chrono::steady_clock::now() - raised).count();
        if (status != RbfStatus::Cancelled)
            state.SkipWithError("the solve finished before the cancel");
        worst = std::max(worst, latency);
        state.SetIterationTime(latency);
    }
    state.counters["worst_ms"] = worst * 1e3;
}
BENCHMARK(BM_CancelSolve)->Arg(20)->Arg(300)->Arg(1500)->Iterations(5)->UseManualTime()->Unit(benchmark::kMillisecond);

// Solve and grid: the surface step of a map computation.
void BM_Surface(benchmark::State& state)
{
    const Field f = SoundField(int(state.range(0)));
    const int cells = int(state.range(1));
    CSurface3DData s;
    s.Allocate(cells + 1, cells + 1);
    CpuCounter cpu{state};
    for (auto _ : state) {
        if (!ComputeSurface(int32_t(f.x.size()), f.x.data(), f.y.data(), f.v.data(), RbfMultiquadric, 0.2f, 0, 0,
                            1.0 / cells, 1.0 / cells, s, Cores()))
            state.SkipWithError("surface failed");
    }
    state.counters["terms_per_s"] = benchmark::Counter(double(f.x.size()) * (cells + 1) * (cells + 1),
                                                       benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Surface)
    ->Args({200, 200})
    ->Args({500, 200})
    ->Args({2000, 200})
    ->Args({200, 1000})
    ->Args({500, 1000})
    ->Args({2000, 1000})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The surfaces of a twelve-column document (twelve sound fields at the same positions), as the
// workers computed them one column at a time (Arg 0: a solve and a grid pass per column) and as
// they share them now (Arg 1: one decomposition, twelve substitutions, one pass over the grid).
// Both use every core; the surfaces are bit-identical.
void BM_TwelveSurfaces(benchmark::State& state)
{
    const Field f = SoundField(int(state.range(0)));
    const int cells = int(state.range(1));
    const bool shared = state.range(2) != 0;
    std::vector<std::vector<float>> columns(kColumnCount, f.v);
    for (int c = 0; c < kColumnCount; ++c)
        for (size_t k = 0; k < f.v.size(); ++k)
            columns[size_t(c)][k] += 3.0f * std::sin(float(c) + 7.0f * f.x[k]);
    std::vector<std::unique_ptr<CSurface3DData>> surfaces;
    for (int c = 0; c < kColumnCount; ++c) {
        surfaces.push_back(std::make_unique<CSurface3DData>());
        surfaces.back()->Allocate(cells + 1, cells + 1);
    }
    const int32_t n = int32_t(f.x.size());
    CpuCounter cpu{state};
    for (auto _ : state) {
        if (!shared) {
            for (int c = 0; c < kColumnCount; ++c)
                if (!ComputeSurface(n, f.x.data(), f.y.data(), columns[size_t(c)].data(), RbfMultiquadric, 0.2f, 0, 0,
                                    1.0 / cells, 1.0 / cells, *surfaces[size_t(c)], Cores()))
                    state.SkipWithError("surface failed");
            continue;
        }
        CRbfSystem system;
        system.SetUp(RbfMultiquadric, 0.2f, n, f.x.data(), f.y.data());
        if (system.Factorise(Cores(), nullptr) != RbfStatus::Solved)
            state.SkipWithError("singular");
        std::vector<RbfWeights> weights(kColumnCount);
        CRbfGridPass pass(system.Kernel(), system.Parameter(), n, system.X().data(), system.Y().data(),
                          {0.0, 0.0, 1.0 / cells, 1.0 / cells});
        for (int c = 0; c < kColumnCount; ++c) {
            system.Substitute(columns[size_t(c)].data(), &weights[size_t(c)], nullptr);
            pass.AddTarget(weights[size_t(c)], *surfaces[size_t(c)]);
        }
        system.Release();
        if (!RunGridPass(pass, Cores(), nullptr))
            state.SkipWithError("pass failed");
        for (auto& s : surfaces)
            s->UpdateStatistics();
    }
}
BENCHMARK(BM_TwelveSurfaces)
    ->ArgNames({"points", "cells", "shared"})
    ->Args({500, 1000, 0})
    ->Args({500, 1000, 1})
    ->Args({2000, 1000, 0})
    ->Args({2000, 1000, 1})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// Tracing on a 1001 x 1001 surface: 7 levels at three sub-levels each, and 61 single levels.
void BM_Trace(benchmark::State& state)
{
    static CSurface3DData* surface = [] {
        const Field f = SoundField(500);
        auto* s = new CSurface3DData;
        s->Allocate(1001, 1001);
        ComputeSurface(int32_t(f.x.size()), f.x.data(), f.y.data(), f.v.data(), RbfMultiquadric, 0.2f, 0, 0,
                       0.001, 0.001, *s, Cores());
        return s;
    }();
    float lo = 0, hi = 0;
    surface->GetValueRange(&lo, &hi);
    const int subLevels = int(state.range(0));
    ContourParameters params;
    CTXFloatArray levels;
    if (subLevels == 21) {
        params.levelStep = (hi - lo) / 7.0f;
        params.intermediate = 2;
        for (int k = 0; k < 7; ++k)
            levels.push_back(lo + params.levelStep * (float(k) + 0.01f));
    } else {
        params.levelStep = (hi - lo) / float(subLevels);
        params.intermediate = 0;
        for (int k = 0; k < subLevels; ++k)
            levels.push_back(lo + params.levelStep * (float(k) + 0.5f));
    }
    size_t lines = 0;
    CpuCounter cpu{state};
    for (auto _ : state) {
        CCMAP_ContourResult result;
        if (!TraceContours(*surface, levels, params, result))
            state.SkipWithError("trace failed");
        lines = 0;
        for (const auto& e : result.entries)
            lines += e.polylines.size();
    }
    state.counters["polylines"] = double(lines);
}
BENCHMARK(BM_Trace)->Arg(21)->Arg(61)->Unit(benchmark::kMillisecond)->UseRealTime();

// One request to its MapReady: 500 points on a 1000 x 1000 grid, contours at the default levels
// and the picture of an 800 x 600 view.
void BM_RequestToMapReady(benchmark::State& state)
{
    const Field f = SoundField(500);
    CBatchMapRun run(0);
    CTessarixDoc& doc = run.Doc();
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (size_t k = 0; k < f.x.size(); ++k) {
        x.push_back(f.x[k]);
        y.push_back(f.y[k]);
        values[0].push_back(f.v[k]);
    }
    doc.SetPointTable(int32_t(f.x.size()), x, y, values);
    doc.Settings().gridCountX = doc.Settings().gridCountY = int32_t(state.range(0));
    doc.Settings().zAxis.start = 50.0f;
    doc.Settings().zAxis.stop = 110.0f;
    doc.Settings().zAxis.step = 5.0f;
    doc.OnViewSizeChanged({0, 0, 800, 600});
    run.WaitForColumn(0, 0);
    CpuCounter cpu{state};
    for (auto _ : state) {
        const int before = run.Notify().Count(0);
        doc.RequestMaps(RECALC_ALL);
        run.WaitForColumn(0, before);
    }
}
BENCHMARK(BM_RequestToMapReady)->Arg(200)->Arg(1000)->Unit(benchmark::kMillisecond)->UseRealTime();

// One data edit of a twelve-column document to the last of its twelve MapReady: 500 points on a
// 1000 x 1000 grid, an 800 x 600 view. Arg 0 asks each column alone (one surface computation per
// column, as before); Arg 1 is the document's own request (the columns share their surface work).
void BM_TwelveColumnsToMapReady(benchmark::State& state)
{
    const Field f = SoundField(500);
    CBatchMapRun run(0);
    CTessarixDoc& doc = run.Doc();
    CTXFloatArray x(f.x.begin(), f.x.end()), y(f.y.begin(), f.y.end());
    std::array<CTXFloatArray, kColumnCount> values;
    for (int c = 0; c < kColumnCount; ++c) {
        doc.Column(c).enabled = true;
        for (size_t k = 0; k < f.v.size(); ++k)
            values[size_t(c)].push_back(f.v[k] + 3.0f * std::sin(float(c) + 7.0f * f.x[k]));
    }
    doc.SetPointTable(int32_t(f.x.size()), x, y, values);
    doc.Settings().gridCountX = doc.Settings().gridCountY = 1000;
    doc.Settings().zAxis.start = 50.0f;
    doc.Settings().zAxis.stop = 110.0f;
    doc.Settings().zAxis.step = 5.0f;
    doc.OnViewSizeChanged({0, 0, 800, 600});
    for (int c = 0; c < kColumnCount; ++c)
        run.WaitForColumn(c, 0);
    const bool shared = state.range(0) != 0;
    std::vector<int> all;
    for (int c = 0; c < kColumnCount; ++c)
        all.push_back(c);
    CpuCounter cpu{state};
    for (auto _ : state) {
        std::vector<int> before;
        for (int c = 0; c < kColumnCount; ++c)
            before.push_back(run.Notify().Count(c));
        if (shared)
            doc.RequestMaps(RECALC_ALL);
        else
            for (int c = 0; c < kColumnCount; ++c)
                run.Maps().Request(doc, c, c == 0, RECALC_ALL);
        for (int c = 0; c < kColumnCount; ++c)
            run.WaitForColumn(c, before[size_t(c)]);
    }
}
BENCHMARK(BM_TwelveColumnsToMapReady)->ArgName("shared")->Arg(0)->Arg(1)->Iterations(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
