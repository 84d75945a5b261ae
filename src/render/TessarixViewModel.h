#pragma once
// What the map view decides, kept free of widgets: where its two arrow boxes are, which map
// position a pixel stands for (with the snapping of the coordinate input grid), the cursor
// read-out texts, and when the colour-scale commands apply.

#include <QString>

#include "util/TxTypes.h"

class CTessarixDoc;

struct ArrowBoxes {
    TxRect upper;  // above the colour bar
    TxRect lower;  // below it
};
// With W the colour bar's width: upper (B.left, B.top - W, B.right, B.top - 4), lower
// (B.left, B.bottom + 4, B.right, B.bottom + W). Empty boxes for an empty bar.
ArrowBoxes ArrowBoxesOf(const TxRect& colourBar);
bool BoxContains(const TxRect& r, int px, int py);

struct CursorReadout {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;
    bool xyValid = false;
    bool zValid = false;
    QString XText() const;  // "X= %g" or "X= ..."
    QString YText() const;
    QString ZText() const;
    QString ZTooltip() const;  // "%g" of Z, empty without one
};

// The map position of pixel (px, py) of a view showing `column`, read through the document's X
// and Y axes laid over its graph rectangle, snapped when the input grid asks for it; Z is the
// column's surface value there when its computation has one.
CursorReadout ReadCursor(CTessarixDoc& doc, int column, int px, int py);
// The same position without Z (Insert Data placement).
void PixelToMap(const CTessarixDoc& doc, int px, int py, float* x, float* y);
// The pixel where the map draws world position (x, y): the document's X and Y axes laid over
// its graph rectangle, as the map picture places its measurement symbols.
void MapToPixel(const CTessarixDoc& doc, float x, float y, int* px, int* py);

// A point the view circles over its map (the worst points of a surface check), in map units,
// with the label written beside the circle.
struct MapMark {
    float x = 0.0f;
    float y = 0.0f;
    QString label;
};

// Arrow clicks move the colour range only in the "Normal" scale mode.
bool ColourArrowsActive(const CTessarixDoc& doc);
// "Autorange Color Scale": at least four points and not a fixed amplitude.
bool AutorangeEnabled(const CTessarixDoc& doc);
