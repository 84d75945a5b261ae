#pragma once
// The map drawing pipeline, in its fixed order: window background, graph background, border,
// axes and colour bar (DrawMapFrame); then, clipped to the graph, the background picture with
// its clipping region (DrawMapArea) and the map body (DrawMapLayers): coloured cells, contour
// lines, contour labels, position symbols, measured values.
//
// Every function draws on a CTXCDC in device units and reads one MapDrawInput, the copy a map
// computation made of everything it draws from. The input is taken by non-const reference where
// a step assigns rectangles to its axes (the frame gives the graph to X and Y, the colour bar to
// Z); the render step works on its own copy of the input.
//
// The body polls the input's abort flag before every grid cell, every contour sub-level and the
// positions and values steps, and stops at once when a newer request raised it.

#include "render/MapDrawInput.h"
#include "util/TxTypes.h"

class CTXCDC;
class QImage;

// The parts of the map body a pass draws: the raster parts (background picture, coloured cells,
// tint) and the vector parts (contour lines, labels, position symbols, values). Printing draws
// the raster parts into bitmap tiles and the vector parts straight onto the page, so that lines
// and text stay lines and text in the printed file.
enum MapBodyParts : unsigned { MapBodyRaster = 1, MapBodyVector = 2, MapBodyAll = 3 };

// In the fixed-amplitude scale mode the Z axis runs from (largest value - amplitude) to the
// largest value; in the normal mode it is left as it is.
void ApplyScaleMode(MapDrawInput& in);

// Backgrounds, border, axes and colour bar. `fillWindow` is false when printing.
void DrawMapFrame(CTXCDC& dc, MapDrawInput& in, const TxRect& window, const TxRect& graph,
                  const TxRect& colourBar, bool fillWindow);

// The graph border: the border pen around the graph rectangle enlarged by half its width.
void DrawMapBorder(CTXCDC& dc, const MapDrawInput& in, const TxRect& graph);

// Clips to `clip`, draws the picture and sets the clipping region in the picture modes, then
// the map body; the surface's clipping is as before afterwards.
void DrawMapArea(CTXCDC& dc, MapDrawInput& in, const TxRect& graph, const TxRect& clip,
                 unsigned parts = MapBodyAll);

// Applies the clipping region of the settings to the painter (intersected with its clip);
// false, with nothing changed, when there is no clipping polyline.
bool SelectClipRegion(CTXCDC& dc, const MapDrawInput& in);

// The map body; nothing without a valid surface grid.
void DrawMapLayers(CTXCDC& dc, MapDrawInput& in, const TxRect& clip, const TxRect& graph,
                   unsigned parts = MapBodyAll);

// Coloured cells ("Color Map") and the tint of the picture ("Image + Color Map"): each cell in
// the colour of its lower-left node. False when stopped by the abort flag.
bool DrawColourCells(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip);
bool TintColourCells(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip);

// One channel of the tint: p × c / 255 with exact rounding.
inline int TintChannel(int p, int c)
{
    const int m = p * c;
    return (m + (m >> 8) + 1) >> 8;
}

// Contour lines of every level and sub-level. False when stopped by the abort flag.
bool DrawContourLines(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip);

// The printed map of one tile: frame without window background, the area clipped to the tile
// with the page's map rectangle standing in for the client rectangle, and the border again.
void DrawMapForPrint(CTXCDC& dc, const MapDrawInput& input, const TxRect& pageMapRect,
                     const TxRect& graph, const TxRect& colourBar, const TxRect& tile,
                     unsigned parts = MapBodyAll);
