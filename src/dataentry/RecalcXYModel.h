#pragma once
// Position layout: the X and Y coordinates of N measurement points placed on a regular raster
// of XCount × YCount cells, one point per cell centre, in the order a microphone is moved.
//
// Geometry: column c counts from 0 at the left, row r from 0 at the top; the centre of cell
// (c, r) is X = XStart + (c + 0.5) × Width, Y = YStart + (YCount − r − 1 + 0.5) × Height, so the
// top row has the largest Y (the map's Y axis points up). Each product is rounded to single
// precision before the offset is added, and the sum is rounded again.
//
// Order: the start corner gives the first cell and the direction of both steps. Row major moves
// along a row and then to the next row; column major moves down a column and then to the next
// column. Without serpentine every row (column) starts again at the start corner's side; with
// serpentine the direction turns at each end. Points beyond the raster keep X = Y = 0.
//
// The parameters, except serpentine, are remembered in the profile section
// "RecalcXYCoordinate".

#include <QPointF>
#include <QRectF>
#include <QString>

#include <vector>

#include "util/TxTypes.h"

class CKWProfileStore;
class QPainter;

enum RecalcXYStartCorner : int { StartTopLeft = 0, StartTopRight = 1, StartBottomRight = 2, StartBottomLeft = 3 };
enum RecalcXYFillOrder : int { FillRowMajor = 0, FillColumnMajor = 1 };

enum RecalcXYTextId : int {
    IDS_RECALC_TOO_FEW_POINTS = 415,
    IDS_RECALC_TOO_MANY_POINTS = 416,
};

struct RecalcXYLayout {
    static constexpr int kMinCount = 2;
    static constexpr int kMaxCount = 1000;
    static constexpr int kMinFontSize = 4;
    static constexpr int kMaxFontSize = 20;

    int xCount = 5;
    int yCount = 5;
    float width = 1.0f;
    float height = 1.0f;
    float xStart = 0.1f;
    float yStart = 0.1f;
    int fillOrder = FillRowMajor;
    bool serpentine = false;
    int startFrom = StartTopLeft;
    int fontSize = 8;

    int CellCount() const { return xCount * yCount; }
    // The layout with every integer brought into its range (counts, order, corner, point size).
    RecalcXYLayout Clamped() const;
    // The centre of cell (column, row).
    QPointF CellCentre(int column, int row) const;
};

// One spin click on a value with the range [low, high].
int RecalcXYSpin(int value, int delta, int low, int high);

// The profile section and its keys.
extern const char* const kRecalcXYSection;
RecalcXYLayout LoadRecalcXYLayout(CKWProfileStore& store);
void StoreRecalcXYLayout(CKWProfileStore& store, const RecalcXYLayout& layout);
// The remembered window size; never below `designed`.
void LoadRecalcXYWindowSize(CKWProfileStore& store, int designedWidth, int designedHeight,
                            int* width, int* height);
void StoreRecalcXYWindowSize(CKWProfileStore& store, int width, int height);

// The coordinates of `pointCount` points: min(pointCount, cells) placed in order, the rest 0.
struct RecalcXYPlacement {
    CTXFloatArray x;
    CTXFloatArray y;
    int placed = 0;
};
RecalcXYPlacement PlaceRecalcXYPoints(const RecalcXYLayout& layout, int pointCount);
// Replaces the first entries of `x` and `y` by the placement (growing them when shorter);
// entries beyond it stay as they are.
void CopyRecalcXYPlacement(const RecalcXYPlacement& placement, CTXFloatArray* x, CTXFloatArray* y);

// The question OK asks before it accepts: 415 when there are fewer points than cells, 416 when
// there are more, 0 when they match.
int RecalcXYOkQuestion(const RecalcXYLayout& layout, int pointCount);

// What the preview draws, in device pixels of the preview's client rectangle.
struct RecalcXYPreview {
    QRectF outline;                 // the raster, aspect kept, inset by 3 pixels
    std::vector<double> verticals;  // x of the inner vertical lines, whole pixels
    std::vector<double> horizontals;
    struct Label {
        QPointF at;  // the point's position
        QString text;
    };
    std::vector<Label> labels;
    bool empty = true;  // nothing to draw (an empty client or a raster without area)
};
RecalcXYPreview ComputeRecalcXYPreview(const RecalcXYLayout& layout,
                                       const RecalcXYPlacement& placement, const QRectF& client);
// Draws the preview: grey inner lines, black outline, the numbers in "Arial" at the point size
// for the given pixels per inch.
void DrawRecalcXYPreview(QPainter& painter, const RecalcXYPreview& preview, int fontSize, int dpi);
