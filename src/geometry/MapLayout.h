#pragma once
// The layout of a map's client area: the graph rectangle, the label areas of the X and Y axes
// and the colour-bar area, sized from the axis fonts of the surface drawn on.

#include <QSize>

#include "geometry/MapAxis.h"
#include "util/TxTypes.h"

struct MapLayout {
    TxRect client;
    TxRect graph;
    TxRect xAxisArea;
    TxRect yAxisArea;
    TxRect colourBar;
    friend bool operator==(const MapLayout&, const MapLayout&) = default;
};

// Largest width and height among an axis's title and tick labels, in the axis font scaled to a
// surface with `dpiY` vertical pixels per inch (height in tenths of a point × dpiY / 720).
QSize MeasureAxis(const CMapAxis& axis, int dpiY);

// Shrinks `graph`, centred, on its longer side until one device unit stands for the same world
// length on the X and the Y axis.
TxRect KeepEqualScales(const TxRect& graph, const CMapAxis& x, const CMapAxis& y);

// Lays out `client` for the three axes on a surface with the given pixels per inch; a hidden
// axis takes no room. X and Y keep equal scales: the graph shrinks, centred, on its longer side.
MapLayout ComputeMapLayout(const TxRect& client, int dpiX, int dpiY, const CMapAxis& x,
                           const CMapAxis& y, const CMapAxis& z, bool xHidden, bool yHidden,
                           bool zHidden, int borderPenWidth);
