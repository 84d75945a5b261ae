#pragma once
// Contour tracing of an interpolated surface (CSurface3DData) at a list of levels.
//
// Sub-levels. Every level L is traced three times, at L, L + s/3 and L + 2s/3 (s the level step);
// result entry 3k + j holds the polylines of level k at sub-level j.
//
// Segments. Each grid box (i, j)..(i+1, j+1) is cut through its centre into four triangles
// (vertex 0 the centre, 1..4 the corners (i, j), (i+1, j), (i+1, j+1), (i, j+1)); the heights
// h = z - v above the level value v decide, through a 27-entry case table on the three signs,
// whether a triangle emits nothing, a segment along one of its sides (a side lying on the level)
// or a segment between points on two sides. Boxes go row by row from the top row down, left to
// right within a row, and a box whose four values do not bracket v is skipped; a crossing point
// on a side shared by two triangles or two boxes is computed by the same formula with numerator
// and denominator negated, so it comes out bit-identical from both sides.
//
// Joining. The segments of one sub-level are joined into polylines by exact endpoint equality,
// and a used flag marks the segments already consumed. A polyline starts from the lowest-numbered
// unused segment and grows at its first point, or else at its last point, until it closes or
// nothing touches either end; at each end a segment starting there is taken before one ending
// there. Where at most two segment ends meet at every point (the usual case) the one candidate is
// found in a hash table of the points; where three or more meet, two index arrays sort the
// segments by start point and by end point (x, then y) and the first unused one in that order is
// taken. Front insertions are collected separately and reversed once at the end, so a long
// polyline costs linear time.
//
// Cancellation: the surface's cancel flag is read before every box and every polyline; a trace
// that sees it returns false and keeps the entries finished so far.

#include <atomic>
#include <cstdint>

#include "mapping/ContourResult.h"
#include "util/TxTypes.h"

class CSurface3DData;

struct ContourParameters {
    float levelStep = 10.0f;     // the colour axis step
    int32_t intermediate = 2;    // lines between two levels (three sub-levels per level)
};

// The segments of level value `v` over boxes i0..i1-1, j0..j1-1 (box (i, j) spans nodes i..i+1,
// j..j+1), appended to `out`. Returns false when the cancel flag was seen.
bool TraceLevel(const CSurface3DData& surface, int32_t i0, int32_t i1, int32_t j0, int32_t j1, float v,
                CCMAP_Templine& out);

// Joins `segments` into polylines appended to `level`; false when `cancel` was seen.
bool JoinSegments(const CCMAP_Templine& segments, CCMAP_ContourLevel& level, const std::atomic<int32_t>* cancel);

// Clears `result` and traces every level of `levels` at its three sub-levels. False without a
// valid surface, on a flat surface (minimum not below maximum) and when cancelled; true with an
// empty result for an empty level list.
bool TraceContours(const CSurface3DData& surface, const CTXFloatArray& levels, const ContourParameters& params,
                   CCMAP_ContourResult& result);

// The value traced at result entry `entry`.
float SubLevelValue(const CTXFloatArray& levels, const ContourParameters& params, int entry);
