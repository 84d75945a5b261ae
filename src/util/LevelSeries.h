#pragma once
// The level series turns (start, stop, step) into contour levels and axis ticks: every multiple
// of step within [start, stop], each next value re-rounded to a multiple of step * 0.00001 so
// that no drift accumulates over many steps. All arithmetic is single precision.

#include "util/TxTypes.h"

// Nearest multiple of s, halves away from zero, in single precision.
float RoundToMultiple(float v, float s);

// The levels of [start, stop] with the given step; empty when stop lies below the first multiple.
CTXFloatArray LevelSeries(float start, float stop, float step);
