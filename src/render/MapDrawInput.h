#pragma once
// MapDrawInput: everything the drawing pipeline reads from one map computation. The map
// computation fills it from its own copies (settings, axes, layout, surface, contours and the
// interpolation input), so drawing never touches the document.

#include <atomic>
#include <cstdint>
#include <vector>

#include "mapping/LabelPlacer.h"
#include "geometry/MapAxis.h"
#include "geometry/MapLayout.h"
#include "util/TxTypes.h"

class CTessarixSettings;
class CSurface3DData;
class CCMAP_ContourResult;
class CTXImage;
// Computes the contour labels of one polyline (the label placer of the contouring code).
using LabelPlacerFn = std::vector<LabelPlacement> (*)(const CCMAP_Polyline& line,
                                                      const NormalisedToDevice& map,
                                                      const LabelStyle& style, int textWidth,
                                                      int zeroHeight);

struct MapDrawInput {
    const CTessarixSettings* settings = nullptr;
    CMapAxis xAxis;
    CMapAxis yAxis;
    CMapAxis zAxis;
    MapLayout layout;                 // graph, axis areas, colour bar, client rectangle
    const CSurface3DData* surface = nullptr;      // null or invalid: no map body
    const CCMAP_ContourResult* contours = nullptr;
    CTXFloatArray levels;             // the contour levels the result was traced at
    const CTXFloatArray* x = nullptr;       // interpolation input: measured points first,
    const CTXFloatArray* y = nullptr;       // then boundary and conditioning points
    const CTXFloatArray* values = nullptr;
    int32_t measuredCount = 0;        // how many of the input points were measured
    float largestValue = 0.0f;
    const CTXImage* image = nullptr;  // background picture, may be empty
    int dpiX = 96;                    // pixels per inch of the surface the map is drawn for
    int dpiY = 96;
    const std::atomic<int32_t>* abort = nullptr;  // raised by a newer request
    LabelPlacerFn labelPlacer = &PlaceLabelsOnPolyline;  // null: no contour labels

    bool Aborted() const { return abort && abort->load(std::memory_order_relaxed) != 0; }
};
