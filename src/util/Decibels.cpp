#include "util/Decibels.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Sums 10^((L - top)/10) and adds the largest level back afterwards, so loud levels (and many of
// them) never overflow the energy and quiet ones keep their digits.
double EnergyAboveTop(std::span<const double> levels, double* top)
{
    *top = *std::max_element(levels.begin(), levels.end());
    double sum = 0.0;
    for (double l : levels)
        sum += std::pow(10.0, (l - *top) / 10.0);
    return sum;
}

}  // namespace

double EnergeticSum(std::span<const double> levels)
{
    if (levels.empty())
        return -std::numeric_limits<double>::infinity();
    double top = 0.0;
    const double energy = EnergyAboveTop(levels, &top);
    return top + 10.0 * std::log10(energy);
}

double EnergeticMean(std::span<const double> levels)
{
    if (levels.empty())
        return -std::numeric_limits<double>::infinity();
    return EnergeticSum(levels) - 10.0 * std::log10(double(levels.size()));
}
