#include "workers/SurfaceCheckRun.h"

#include <QMetaObject>

#include <algorithm>
#include <bit>

#include "document/TessarixDoc.h"
#include "mapping/RbfInterpolator.h"

namespace {

// Bitwise, so that a NaN reading equals itself and a result stays current when nothing moved.
bool SameFloats(const CTXFloatArray& a, const CTXFloatArray& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](float p, float q) {
               return std::bit_cast<uint32_t>(p) == std::bit_cast<uint32_t>(q);
           });
}

SurfaceCheckPoint PointOf(const InterpolationInput& in, int32_t k, double residual)
{
    return {k + 1, in.x[size_t(k)], in.y[size_t(k)], in.v[size_t(k)], residual};
}

}  // namespace

bool operator==(const SurfaceCheckInput& a, const SurfaceCheckInput& b)
{
    return a.column == b.column && a.points.measured == b.points.measured && SameFloats(a.points.x, b.points.x) &&
           SameFloats(a.points.y, b.points.y) && SameFloats(a.points.v, b.points.v) && a.extent == b.extent &&
           a.function == b.function && std::bit_cast<uint32_t>(a.parameter) == std::bit_cast<uint32_t>(b.parameter) &&
           a.energy == b.energy && (!a.energy || (a.gridCountX == b.gridCountX && a.gridCountY == b.gridCountY));
}

SurfaceCheckInput SurfaceCheckInputOf(const CTessarixDoc& doc, int column)
{
    SurfaceCheckInput in;
    if (column < 0 || column >= doc.ColumnCount())
        return in;
    const CTessarixSettings& s = doc.Settings();
    in.column = column;
    in.points = InterpolationInputOf(doc, s, column);
    in.extent = s.extent;
    in.function = s.interpFunction;
    in.parameter = s.interpParameter;
    in.energy = s.energyInterpolation != 0;
    in.gridCountX = s.gridCountX;
    in.gridCountY = s.gridCountY;
    return in;
}

SurfaceCheckReport RunSurfaceCheck(const SurfaceCheckInput& input, int threads, const std::atomic<int32_t>* cancel)
{
    SurfaceCheckReport report;
    const InterpolationInput& in = input.points;
    const int32_t n = int32_t(in.x.size());
    CTXFloatArray xn, yn;
    NormaliseToExtent(input.extent, in.x, in.y, &xn, &yn);
    // Above the limit the check refuses at once; below it, a coincidence is named rather than
    // reported as a bare singular system.
    if (n <= kMaxInterpolationPoints && FindCoincidingPoints(xn, yn, &report.coincidingFirst, &report.coincidingSecond)) {
        report.check.status = SurfaceCheckStatus::Singular;
        return report;
    }
    if (input.energy) {
        const EnergySurfaceCheck e = CheckEnergySurface(n, in.measured, xn.data(), yn.data(), in.v.data(),
                                                        input.function, input.parameter, input.gridCountX,
                                                        input.gridCountY, threads, cancel);
        report.check = e.check;
        report.nonPositiveEnergyNodes = e.nonPositiveNodes;
        report.gridNodes = (input.gridCountX + 1) * (input.gridCountY + 1);
        report.lowestLevel = e.lowestLevel;
    } else {
        report.check = CheckSurface(n, in.measured, xn.data(), yn.data(), in.v.data(), input.function,
                                    input.parameter, threads, cancel);
    }
    if (!report.Checked())
        return report;
    for (int32_t k : report.check.worst)
        report.worst.push_back(PointOf(in, k, report.check.residuals[size_t(k)]));
    if (report.check.largestMissPoint >= 0)
        report.largestMiss = PointOf(in, report.check.largestMissPoint, report.check.largestMiss);
    return report;
}

// ---- runner ----

CSurfaceCheckRunner::CSurfaceCheckRunner(QObject* parent) : QObject(parent) {}

CSurfaceCheckRunner::~CSurfaceCheckRunner()
{
    StopRun();
}

void CSurfaceCheckRunner::StopRun()
{
    if (m_run)
        m_run->cancel.store(1);
    if (m_thread.joinable())
        m_thread.join();
    m_run.reset();
    m_running = false;
}

void CSurfaceCheckRunner::Start(SurfaceCheckInput input)
{
    StopRun();
    m_result.reset();
    m_input = std::move(input);
    const quint64 generation = ++m_generation;
    auto run = std::make_shared<Run>();
    m_run = run;
    m_running = true;
    // The map workers recompute after the same change; the check takes the cores they leave.
    const int threads = SurfaceThreadBudget();
    m_thread = std::thread([this, run, generation, input = m_input, threads] {
        run->report = RunSurfaceCheck(input, threads, &run->cancel);
        if (run->cancel.load() != 0)
            return;
        QMetaObject::invokeMethod(this, [this, generation, run] { Deliver(generation, run); }, Qt::QueuedConnection);
    });
}

void CSurfaceCheckRunner::Cancel()
{
    ++m_generation;
    StopRun();
    m_result.reset();
}

void CSurfaceCheckRunner::Deliver(quint64 generation, std::shared_ptr<Run> run)
{
    // A result posted before a newer Start or a Cancel is outdated.
    if (generation != m_generation || run != m_run)
        return;
    if (m_thread.joinable())
        m_thread.join();
    m_result = std::make_unique<SurfaceCheckReport>(std::move(run->report));
    m_run.reset();
    m_running = false;
    emit Finished();
}
