#pragma once
// The level series turns (start, stop, step) into contour levels and axis ticks: every multiple
// of step within [start, stop], each next value re-rounded to a multiple of step * 0.00001 so
// that no drift accumulates over many steps. All arithmetic is single precision.
//
// The series is bounded. A step that no longer moves a value of the range (zero, negative, NaN,
// or below the float resolution at the range's magnitude) and a range holding more than
// kMaxLevelSeriesValues multiples of the step are refused before any value is generated: the
// series is then empty and the status says why, so the caller can tell the user instead of
// drawing nothing silently.

#include <cstdint>

#include "util/TxTypes.h"

// The most values one series may hold (levels of a colour axis, ticks of an axis).
inline constexpr int32_t kMaxLevelSeriesValues = 10000;

enum class LevelSeriesStatus {
    Ok,                 // the series (possibly empty: no multiple of step in the range)
    StepDoesNotAdvance, // refused: adding the step does not change a value of the range
    TooManyValues,      // refused: more than kMaxLevelSeriesValues multiples in the range
};

// Nearest multiple of s, halves away from zero, in single precision.
float RoundToMultiple(float v, float s);

// The levels of [start, stop] with the given step; empty when stop lies below the first multiple
// and when the series is refused (then `status`, when given, says why).
CTXFloatArray LevelSeries(float start, float stop, float step, LevelSeriesStatus* status = nullptr);
