#pragma once
// ClipPolylineSet: the clipping polylines with their conditioning values and the three clipping
// choices, as the Image Clip dialog edits them. Vertices are relative to the picture: x = 0 at
// its left edge and 1 at its right edge, y = 0 at its bottom and 1 at its top.

#include <cstdint>
#include <vector>

#include "util/TxTypes.h"

struct ClipPolyline {
    std::vector<KW_FPOINT> vertices;
    int32_t conditioning = 0;  // the vertices act as conditioning points of the interpolation
    float level = 0.0f;        // the value of those points
    int32_t step = 1;          // one conditioning point every `step` vertices, from the first
    friend bool operator==(const ClipPolyline&, const ClipPolyline&) = default;
};

struct ClipPolylineSet {
    std::vector<ClipPolyline> polylines;
    int32_t target = 0;        // 0 map only, 1 image only, 2 map and image
    int32_t fillMode = 0;      // 0 alternate, 1 winding
    int32_t autoBoundary = 0;  // one more polyline along the axes' rectangle
    friend bool operator==(const ClipPolylineSet&, const ClipPolylineSet&) = default;
};

// Conditioning steps run from 1 to 100.
constexpr int kMinConditioningStep = 1;
constexpr int kMaxConditioningStep = 100;
// A finished polyline has at least this many vertices.
constexpr int kMinPolylineVertices = 3;

// What a new set differs in from an old one. The outline: vertices, counts, target, fill mode,
// automatic boundary. The conditioning: flags, levels, steps (so also the number of polylines),
// and the vertices of any polyline that makes conditioning points, since those are the points.
struct ClipSetDifference {
    bool clipping = false;
    bool conditioning = false;
};
ClipSetDifference CompareClipSets(const ClipPolylineSet& before, const ClipPolylineSet& after);
