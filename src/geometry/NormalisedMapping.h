#pragma once
// NormalisedToDevice: grid nodes and contour vertices are held as fractions 0..1 of the map
// extent (x0..x1, y0..y1); this maps them through the X and Y axes to device units, each step
// truncated toward zero like CMapAxis::WorldToDevice. Inline: a map has hundreds of thousands
// of contour vertices.

#include "geometry/MapAxis.h"

struct NormalisedToDevice {
    const CMapAxis* xAxis = nullptr;
    const CMapAxis* yAxis = nullptr;
    float x0 = 0.0f, x1 = 1.0f, y0 = 0.0f, y1 = 1.0f;  // the map extent

    // A normalised x to device x.
    int MapX(float v) const { return xAxis->WorldToDevice(x0 + v * (x1 - x0)); }
    // A normalised y to device y.
    int MapY(float v) const { return yAxis->WorldToDevice(y0 + v * (y1 - y0)); }
    // A normalised length along x in device units.
    int MapLength(float v) const { return MapX(v) - xAxis->WorldToDevice(x0); }
};
