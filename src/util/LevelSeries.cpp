#include "util/LevelSeries.h"

#include <algorithm>
#include <cmath>

float RoundToMultiple(float v, float s)
{
    const float q = v / s;
    if (q < 0.0f)
        return s * std::ceil(q - 0.5f);
    return s * std::floor(q + 0.5f);
}

namespace {

// Why (start, stop, step) cannot give a series, checked before a single value is generated.
LevelSeriesStatus Refusal(float start, float stop, float step)
{
    if (!(step > 0.0f) || !std::isfinite(step))
        return LevelSeriesStatus::StepDoesNotAdvance;
    // The largest magnitude of the range is where the float resolution is coarsest.
    const float magnitude = std::max(std::fabs(start), std::fabs(stop));
    const float up = magnitude + step;
    const float down = magnitude - step;
    if (!(up > magnitude) || !(down < magnitude))
        return LevelSeriesStatus::StepDoesNotAdvance;
    if (stop >= start) {
        const double count = std::floor(double(stop) / double(step)) - std::ceil(double(start) / double(step)) + 1.0;
        if (!(count <= double(kMaxLevelSeriesValues)))
            return LevelSeriesStatus::TooManyValues;
    }
    return LevelSeriesStatus::Ok;
}

}  // namespace

CTXFloatArray LevelSeries(float start, float stop, float step, LevelSeriesStatus* status)
{
    LevelSeriesStatus unused;
    LevelSeriesStatus& result = status ? *status : unused;
    result = LevelSeriesStatus::Ok;
    CTXFloatArray levels;
    if (!std::isfinite(start) || !std::isfinite(stop))
        return levels;
    result = Refusal(start, stop, step);
    if (result != LevelSeriesStatus::Ok)
        return levels;

    // Both loops below are bounded as well: the checks above make each step move the value, and
    // the counts stop a series that would still run past its bound.
    constexpr int32_t kLoopBound = kMaxLevelSeriesValues + 2;
    float v = step * std::floor(start / step);
    for (int32_t k = 0; v > start && k < kLoopBound; ++k)
        v -= step;
    if (stop < v)
        return levels;
    const float tolerance = step * 0.00001f;
    for (int32_t k = 0;; ++k) {
        if (k >= kLoopBound) {
            result = LevelSeriesStatus::TooManyValues;
            levels.clear();
            break;
        }
        if (v >= start)
            levels.push_back(v);
        const float next = RoundToMultiple(v + step, tolerance);
        if (!(next > v)) {  // rounding swallowed the step: the series cannot go on
            result = LevelSeriesStatus::StepDoesNotAdvance;
            levels.clear();
            break;
        }
        v = next;
        if (v > stop)
            break;
    }
    return levels;
}
