#pragma once
// Clipping outlines from a file, for the command line: either plain text, one "x y" pair a line
// (a comma or semicolon may stand between them, '#' starts a comment) with a blank line between
// polylines, or GeoJSON holding Polygon or MultiPolygon geometries (bare, in a Feature or in a
// FeatureCollection), each ring one polyline. Coordinates are map coordinates; they become
// picture-relative through the picture's map rectangle.

#include <QByteArray>
#include <QPointF>
#include <QString>

#include <vector>

#include "geometry/WorldRects.h"
#include "util/TxTypes.h"

using ClipOutline = std::vector<QPointF>;

struct ClipOutlineReadResult {
    std::vector<ClipOutline> outlines;
    QString error;  // empty on success
    int line = 0;   // the text line at fault, 0 when none applies
};

// Reads the outlines. A ring that repeats its first point at the end loses the repetition; an
// outline with fewer than three points, a number that is not finite, or a file without any
// outline is refused.
ClipOutlineReadResult ReadClipOutlines(const QByteArray& bytes);

// The outline relative to `rect` (x = 0 at X0, 1 at X1; y = 0 at Y0, 1 at Y1), each value kept
// within 0..1 as the editing window would; `clamped` counts the values that had to move.
std::vector<KW_FPOINT> ToPictureRelative(const ClipOutline& outline, const ImageRect& rect, int* clamped = nullptr);
