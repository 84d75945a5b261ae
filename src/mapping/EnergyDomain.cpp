#include "mapping/EnergyDomain.h"

#include <algorithm>
#include <cmath>

#include "mapping/Surface3DData.h"

double EnergyValues::LevelOf(double energy) const
{
    return energy > 0.0 ? double(reference) + 10.0 * std::log10(energy) : double(lowestLevel);
}

EnergyValues ToEnergies(const CTXFloatArray& levels, int32_t measured)
{
    EnergyValues e;
    if (levels.empty())
        return e;
    e.reference = *std::max_element(levels.begin(), levels.end());
    const size_t measuredCount = std::clamp<size_t>(size_t(std::max(measured, 0)), 0, levels.size());
    const auto lowestOf = levels.begin() + ptrdiff_t(measuredCount > 0 ? measuredCount : levels.size());
    e.lowestLevel = *std::min_element(levels.begin(), lowestOf);
    e.energies.resize(levels.size());
    for (size_t k = 0; k < levels.size(); ++k)
        e.energies[k] = float(std::pow(10.0, (double(levels[k]) - double(e.reference)) / 10.0));
    return e;
}

int32_t EnergiesToLevels(CSurface3DData& surface, const EnergyValues& scale)
{
    int32_t nonPositive = 0;
    for (int32_t i = 0; i < surface.NX(); ++i) {
        float* column = surface.Column(i);
        for (int32_t j = 0; j < surface.NY(); ++j) {
            if (!(column[j] > 0.0f))
                ++nonPositive;
            column[j] = float(scale.LevelOf(double(column[j])));
        }
    }
    surface.UpdateStatistics();
    return nonPositive;
}
