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
// or a segment between points on two sides. A crossing point on a side shared by two triangles
// or two boxes is computed by the same formula with numerator and denominator negated, so it
// comes out bit-identical from both sides.
//
// One sweep for all sub-levels. The smallest and largest finite node value of every run of 32
// boxes within a row, and of every row, are found once, in one pass down the node columns, and
// the node values are copied row by row. The sweep then goes row by row from the top down and
// run by run from the left; a run is visited only for the sub-levels inside its range, its
// boxes' ranges are computed there, and a bit mask of the boxes holding a sub-level picks the
// boxes to trace. Each sub-level gets its own segment array, in exactly the order a sweep for
// it alone would give (rows top down, boxes left to right, triangles 1..4), while each box's
// nodes are read once for all sub-levels. A box with a node value that is not finite is never
// traced.
//
// Joining. The segments of one sub-level are joined into polylines by exact endpoint equality
// (-0.0 equal to 0.0), and a used flag marks the segments already consumed. A polyline starts
// from the lowest-numbered unused segment and grows at its first point, or else at its last
// point, until it closes or nothing touches either end; at each end a segment starting there is
// taken before one ending there. Front insertions are collected separately and reversed once at
// the end, so a long polyline costs linear time.
//
// Finding neighbours. Where exactly two ends meet at a point (the usual case) the other end is
// the only candidate, so every end is linked to its partner before the walk. The sweep notes
// where each row of boxes begins in a sub-level's segments; a point of one row can equal only
// points of the same row or of the row above (rows further apart have disjoint bands of y), and
// one of the row above only when it lies on the line between them, so two small hash tables,
// the current row's points and the previous row's, find the partners and stay in the cache.
// Without rows (JoinSegments), or when a point lies outside its row's band, one hash table
// takes all points. Where three or more ends meet (a level through a node or a box centre, or
// two crossings rounding to one point) the ends are marked crowded, and there the segment is
// found in two index arrays sorted by start point and by end point (x, then y): the first
// unused one in that order. Which of several segments comes first depends on how the sort
// leaves equal points, so both arrays are always sorted whole, the same way.
//
// Memory: the segments of all sub-levels are held until each is joined (16 bytes a segment,
// with a few bytes of row marks), beside a row-by-row copy of the node values.
//
// Cancellation: the surface's cancel flag is read once per row and once per run of boxes that
// holds a sub-level (at most 32 boxes apart), and before every polyline; a trace that sees it
// returns false and keeps the entries joined so far.

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
