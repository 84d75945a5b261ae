// CheckEnergySurface: the surface check of the energy option, in dB (declared in SurfaceCheck.h).

#include <cmath>
#include <cstdint>
#include <limits>

#include "mapping/EnergyDomain.h"
#include "mapping/RbfInterpolator.h"
#include "mapping/Surface3DData.h"
#include "mapping/SurfaceCheck.h"

namespace {

// The nodes of the map grid without a positive energy, from the same computation as the map
// worker's, into `count`; otherwise why there is none. The counts are those of a document, which
// its reader keeps within what the Grid Setting dialog allows; a count below 1 (or one whose
// node count overflows) has no grid and is refused like a grid that cannot be allocated.
SurfaceCheckStatus NonPositiveGridNodes(int32_t n, const float* x, const float* y, const EnergyValues& energies,
                                        int32_t kernel, float parameter, int32_t countX, int32_t countY, int threads,
                                        int32_t* count)
{
    CSurface3DData grid;
    if (countX < 1 || countY < 1 || countX == INT32_MAX || countY == INT32_MAX ||
        !grid.Allocate(countX + 1, countY + 1))
        return SurfaceCheckStatus::OutOfMemory;
    RbfStatus status = RbfStatus::Singular;
    if (!ComputeSurface(n, x, y, energies.energies.data(), kernel, parameter, 0.0, 0.0, 1.0 / countX, 1.0 / countY,
                        grid, threads, &status))
        return status == RbfStatus::OutOfMemory ? SurfaceCheckStatus::OutOfMemory : SurfaceCheckStatus::Singular;
    *count = EnergiesToLevels(grid, energies);
    return SurfaceCheckStatus::Checked;
}

}  // namespace

EnergySurfaceCheck CheckEnergySurface(int32_t n, int32_t measured, const float* x, const float* y,
                                      const float* levels, int32_t kernel, float parameter, int32_t countX,
                                      int32_t countY, int threads, const std::atomic<int32_t>* cancel)
{
    EnergySurfaceCheck result;
    const CTXFloatArray levelArray(levels, levels + (n > 0 ? n : 0));
    const EnergyValues energies = ToEnergies(levelArray, measured);
    result.lowestLevel = energies.lowestLevel;
    SurfaceCheck& check = result.check;
    check = CheckSurface(n, measured, x, y, energies.energies.data(), kernel, parameter, threads, cancel);
    if (check.status != SurfaceCheckStatus::Checked)
        return result;

    // In energy: e_k = E_k - (the value without point k) and s(p_k); in dB the levels of both.
    check.largestMiss = 0.0;
    check.largestMissPoint = -1;
    for (int32_t k = 0; k < measured; ++k) {
        const double level = double(levels[k]);
        const double energy = double(energies.energies[size_t(k)]);
        const double residual = check.residuals[size_t(k)];
        check.residuals[size_t(k)] = std::isnan(residual) ? std::numeric_limits<double>::quiet_NaN()
                                                          : level - energies.LevelOf(energy - residual);
        const double fitted = check.fitted[size_t(k)];
        check.fitted[size_t(k)] = std::isnan(fitted) ? fitted : energies.LevelOf(fitted);
        const double miss = std::fabs(check.fitted[size_t(k)] - level);
        if (check.largestMissPoint < 0 || miss > check.largestMiss || std::isnan(miss)) {
            check.largestMiss = miss;
            check.largestMissPoint = k;
        }
    }
    SummariseResiduals(check);
    // The grid pass polls only its own surface's flag: a cancel is seen before and after it.
    if (cancel && cancel->load(std::memory_order_relaxed) != 0) {
        result.check = SurfaceCheck{};
        result.check.status = SurfaceCheckStatus::Cancelled;
        return result;
    }
    check.status = NonPositiveGridNodes(n, x, y, energies, kernel, parameter, countX, countY, threads,
                                        &result.nonPositiveNodes);
    if (cancel && cancel->load(std::memory_order_relaxed) != 0) {
        result.check = SurfaceCheck{};
        result.check.status = SurfaceCheckStatus::Cancelled;
        result.nonPositiveNodes = -1;
    }
    return result;
}
