#pragma once
// Map geometry without pixels: where the grid cells, contour vertices, clipping polygons and
// the picture land in device units, the pens made from the stored pen records, and the colour
// of a value. The drawing code only paints what these functions return, so the geometry is
// tested without looking at a single pixel.
//
// Grid nodes and contour vertices are held as fractions 0..1 of the map extent (X0..X1,
// Y0..Y1); they reach the device through the X and Y axes, each step truncated toward zero.

#include <QPainterPath>
#include <QPen>
#include <QPolygon>
#include <QRect>

#include <vector>

#include "geometry/MapAxis.h"
#include "geometry/NormalisedMapping.h"
#include "util/TxTypes.h"

class CKWColorScale;
class CSurface3DData;
class CTessarixSettings;
struct MapDrawInput;

// How a coordinate reaches the device (see MapCoordinate).
enum class MapCoordKind : int { NormalisedX = 0, NormalisedY = 1, Level = 2, NormalisedLengthX = 3 };

// kind 0: normalised x to device x; kind 1: normalised y to device y; kind 2: a Z value through
// the Z axis; kind 3: a normalised length along x as a device length.
int MapCoordinate(const MapDrawInput& in, float v, MapCoordKind kind);

// A rectangle with left < right and top < bottom from two corners given in any order.
QRect NormalisedRect(int x0, int y0, int x1, int y1);
inline QRect ToQRect(const TxRect& r)
{
    return QRect(r.left, r.top, r.Width(), r.Height());
}

// Device edges of the grid cells: xEdges[i] is the left edge of column i (nx + 1 values),
// yEdges[j] the lower edge of row j (ny + 1 values). Cell (i, j) spans xEdges[i]..xEdges[i + 1]
// and yEdges[j]..yEdges[j + 1]; adjacent cells share their edge, so no gaps appear.
struct CellEdges {
    std::vector<int> xEdges;
    std::vector<int> yEdges;
    int CellsX() const { return xEdges.empty() ? 0 : int(xEdges.size()) - 1; }
    int CellsY() const { return yEdges.empty() ? 0 : int(yEdges.size()) - 1; }
    // The device rectangle of cell (i, j); empty when the cell is narrower than a pixel.
    QRect Cell(int i, int j) const
    {
        return NormalisedRect(xEdges[size_t(i)], yEdges[size_t(j)], xEdges[size_t(i) + 1],
                              yEdges[size_t(j) + 1]);
    }
};
// The cells of the surface's grid (its nodes minus the last row and column), placed over the
// map extent with dx = |X1 - X0| / nx and dy = |Y1 - Y0| / ny.
CellEdges ComputeCellEdges(const MapDrawInput& in, int cellsX, int cellsY);

// Leaves out every vertex that repeats the vertex before it and lies in `area` (the image, in the
// painter's coordinates), except the first two and the last two vertices: drawn through their
// pixel centres with the raster engine's one-pixel aliased solid pen, the rest gives the same
// pixels. Its zero-length segment inside the image draws nothing and moves nothing on; the first
// and last segments, which it treats apart, and the drawing path (polylines of at most 65535
// points) are kept as they were.
void DropRepeatedVertices(QPolygon& pixels, const QRect& area);

// The colour of a value: the colour scale at (z - zmin) / (zmax - zmin).
struct MapColouring {
    const CKWColorScale* scale = nullptr;
    float zmin = 0.0f;
    float zmax = 1.0f;
    TxColor ColourOf(float z) const;  // plain 0x00BBGGRR, without the palette marker
};

// The clipping polygons in device units: every stored polyline closed explicitly (its first
// vertex repeated), then the map-boundary polygon when that option is set. Empty when there is
// no polyline.
std::vector<QPolygon> ClipPolygons(const CTessarixSettings& s, const CMapAxis& x, const CMapAxis& y);
// The polygons as one path with the stored fill rule (alternate or winding).
QPainterPath ClipPath(const CTessarixSettings& s, const CMapAxis& x, const CMapAxis& y);

// The picture's rectangle: its world corners through the X and Y axes.
QRect PictureRect(const CTessarixSettings& s, const CMapAxis& x, const CMapAxis& y);

// A pen from a stored pen record: width 0 draws one pixel wide, like width 1; a dashed or
// dotted style is kept only for pens one pixel wide (wider ones draw solid).
QPen MakePen(const PenRecord& record);
QPen MakePen(const PenRecord& record, TxColor colour);

// The pen width of the position symbols: circles (7 and 8) never take a pen of half the symbol
// size or more.
int PositionPenWidth(int symbol, int penWidth, int symbolSize);

// The map extent as four floats, read from the settings.
struct ExtentF {
    float x0 = 0.0f, x1 = 1.0f, y0 = 0.0f, y1 = 1.0f;
};
ExtentF MapExtentOf(const MapDrawInput& in);
// Kinds 0, 1 and 3 of MapCoordinate with the extent read once, for mapping many vertices; it
// points at the input's axes.
NormalisedToDevice NormalisedMappingOf(const MapDrawInput& in);
