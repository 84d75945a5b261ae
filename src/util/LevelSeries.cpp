#include "util/LevelSeries.h"

#include <cmath>

float RoundToMultiple(float v, float s)
{
    const float q = v / s;
    if (q < 0.0f)
        return s * std::ceil(q - 0.5f);
    return s * std::floor(q + 0.5f);
}

CTXFloatArray LevelSeries(float start, float stop, float step)
{
    CTXFloatArray levels;
    if (!(step > 0.0f) || !std::isfinite(start) || !std::isfinite(stop))
        return levels;  // a zero, negative or NaN step would never advance
    float v = step * std::floor(start / step);
    while (v > start)
        v -= step;
    if (stop < v)
        return levels;
    const float tolerance = step * 0.00001f;
    // A step too small for the magnitude of the values can no longer advance; stop there.
    for (;;) {
        if (v >= start)
            levels.push_back(v);
        const float next = RoundToMultiple(v + step, tolerance);
        if (!(next > v))
            break;
        v = next;
        if (v > stop)
            break;
    }
    return levels;
}
