#pragma once
// The annotations around and on the map body: the X, Y and Z axes (tick marks, tick labels,
// title), the colour bar, the contour labels, the symbols at the measurement positions and the
// measured values beside them. They draw on any CTXCDC, the off-screen map picture as well as a
// printer page, with fonts scaled to that surface.
//
// Pixel conventions: a rectangle's right and bottom edges are exclusive, and a line does not
// draw its end point. Tick marks start one pixel outside the axis edge and point away from the
// graph; their length is about a sixth of an inch ((dpiX + 17) / 18).

#include <QPoint>
#include <QRect>
#include <QString>
#include <QStringList>

#include <array>
#include <vector>

#include "geometry/MapAxis.h"
#include "util/TxTypes.h"

class CTXCDC;
class CTessarixSettings;
struct MapDrawInput;

// --- axes ---------------------------------------------------------------------------------

int TickLength(int dpiX);
// Width of the colour bar: about a ninth of an inch.
int ColourBarWidth(int dpiX);

struct AxisTickLayout {
    float value = 0.0f;
    int position = 0;     // device coordinate of the tick along the axis
    QRect mark;           // the tick mark's pixels
    QPoint labelOrigin;   // reference point of the label for the axis's text alignment
    QString label;
};
struct AxisLayout {
    std::vector<AxisTickLayout> ticks;
    QPoint titleOrigin;
    unsigned textAlign = 0;  // TA_* flags of the labels and the title
};
// Where the ticks, labels and title of an axis whose rectangle is set go, for a font whose
// lines are `textHeight` pixels high.
AxisLayout LayoutAxis(const CMapAxis& axis, int dpiX, int textHeight);

// Ticks, tick labels and title of one axis; the surface's text state is restored afterwards.
void DrawAxis(CTXCDC& dc, const CMapAxis& axis);

// A rectangle outlined with a stored pen the way the graph border is: the path runs around the
// rectangle enlarged by half the pen width.
void DrawFrameRect(CTXCDC& dc, const PenRecord& pen, const TxRect& rect);

// --- colour bar ---------------------------------------------------------------------------

// The bar: the left part of the colour-bar area, ColourBarWidth wide.
TxRect ColourBarRect(const TxRect& area, int dpiX);
// The bar with its frame and gradient, and the Z axis beside it (unless hidden). The Z axis of
// `in` is given the bar's rectangle.
void DrawColourBar(CTXCDC& dc, MapDrawInput& in, const TxRect& area);

// --- contour labels, positions, values ------------------------------------------------------

// The text of a number: "%.Nf", or "%.Ne" with the exponent flag (N decimals, kept to 0..20).
QString FormatValue(float v, bool exponent, int decimals);
QString FormatValue(float v, const CTessarixSettings& s);

// Level values written along the contour lines at the places the label placer chooses.
void DrawContourLabels(CTXCDC& dc, const MapDrawInput& in, const TxRect& clip);

// One symbol at every measured position (boundary and conditioning points get none).
void DrawPositions(CTXCDC& dc, const MapDrawInput& in);

// Symbol `symbol` of `symbolSet` (a font family; empty for the built-in shapes) in `rect`.
// Built-in shapes use the painter's pen for outlines and brush for the inside of the open
// shapes; the filled ones and font glyphs take the surface's text colour.
void DrawSymbol(CTXCDC& dc, const QString& symbolSet, int symbol, const TxRect& rect);
constexpr int kBuiltInSymbolCount = 27;  // 0..26

// The arrow symbols 11..26: shaft from points[0] to points[1], head triangle points[2..4].
std::array<QPoint, 5> ArrowPoints(int symbol, const TxRect& rect);

// The character written for `symbol` with a symbol font whose first character code is `first`.
int SymbolCharCode(int symbol, int firstCharCode);
// The first character code a font family covers (at least 32); 33 when it covers none.
int FirstCharCode(const QString& family);
// Installed families whose writing system is Symbol: the symbol sets one can choose.
QStringList SymbolFontFamilies();

// Relative positions of a value beside its point, 0..8.
enum ValuePosition : int {
    ValueCentered = 0, ValueUpLeft, ValueUp, ValueUpRight, ValueRight,
    ValueDownRight, ValueDown, ValueDownLeft, ValueLeft,
};
// Top-left corner of a value text w × h written at `position` beside the point (x, y) whose
// symbol reaches `hu` pixels from it; an unknown position counts as centred.
QPoint ValueTextOrigin(int position, int x, int y, int w, int h, int hu);

// The value of every interpolation input point beside it (boundary points included).
void DrawValues(CTXCDC& dc, const MapDrawInput& in);
