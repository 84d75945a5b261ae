#pragma once
// A damaged metafile converts to a drawing with coordinates in the hundreds of millions; the
// rasteriser's work grows with them, so one such shape takes seconds to draw into a map a few
// hundred pixels wide. Geometry far outside the drawing is pulled in to a bound before the
// drawing is kept: nothing visible changes, since the picture is cut to its own frame anyway.

#include <QByteArray>

// How many drawing sizes away from the origin a coordinate may lie.
constexpr double kSvgCoordinateReach = 16.0;

// The drawing with every number of the geometry attributes (path data, points, positions,
// sizes, font sizes, stroke widths) clamped to +-(kSvgCoordinateReach x the larger side of the
// root element, or of 1000 units when it has none).
QByteArray ClampSvgCoordinates(const QByteArray& svg);
