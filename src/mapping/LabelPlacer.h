#pragma once
// Contour label placement geometry: where along a polyline the level text goes, at which angle,
// and where its text origin lies. The placer only computes; the drawing writes the text.
//
// Lengths along a polyline are summed in normalised units and turned into device pixels with
// the X axis (MapCoordinate kind 3), as integers.

#include <vector>

#include "mapping/ContourResult.h"
#include "geometry/MapAxis.h"
#include "geometry/NormalisedMapping.h"
#include "util/TxTypes.h"

struct MapExtent;

struct LabelStyle {
    TxRect graph;                 // device units
    float curveTolerance = 1.015f;
    int labelDistance = 50;       // device pixels
    int edgeDistance = 10;        // device pixels
};

struct LabelPlacement {
    int anchorX = 0;      // device units: the midpoint of the segment at half the stretch
    int anchorY = 0;
    int angleTenths = 0;  // text angle a = trunc(theta * 1800 / pi), y growing downwards
    int textX = 0;        // origin of the left-aligned, baseline-aligned text
    int textY = 0;
};

// The labels of one polyline for a text `textWidth` pixels wide whose digit "0" is
// `zeroHeight` pixels high. Where a stretch ends is found by a binary search over the summed
// segment lengths, with the same result as walking the polyline vertex by vertex.
std::vector<LabelPlacement> PlaceLabelsOnPolyline(const CCMAP_Polyline& line, const NormalisedToDevice& map,
                                                  const LabelStyle& style, int textWidth, int zeroHeight);
// The same labels found by walking vertex by vertex from every start: the placement for a device
// mapping that does not grow with the distance (a reversed axis or extent), and the reference
// the search is checked against.
std::vector<LabelPlacement> PlaceLabelsOnPolylineStepwise(const CCMAP_Polyline& line, const NormalisedToDevice& map,
                                                          const LabelStyle& style, int textWidth, int zeroHeight);

// The labels of every polyline of one result entry whose bounding box, mapped to device units
// and widened on every side by the larger of the text's width and height, meets `clip`.
std::vector<LabelPlacement> PlaceLabelsOnLevel(const CCMAP_ContourLevel& level, const NormalisedToDevice& map,
                                               const LabelStyle& style, int textWidth, int textHeight,
                                               int zeroHeight, const TxRect& clip);
