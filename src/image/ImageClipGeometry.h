#pragma once
// The geometry of the Image Clip editing window, free of widgets: where the picture sits in the
// window, the conversion between window pixels (y down) and picture-relative coordinates (y up),
// the outlines the rectangle and ellipse tools make, and the hit tests of the point tools.
//
// The picture rectangle is the client area shrunk on its longer side, equally at both ends, to
// the picture's aspect, then inset by kPictureInset pixels on every side. A pixel (px, py) is
// x = (px - left) / (right - left), y = (bottom - py) / (bottom - top); the way back truncates to
// whole pixels.

#include <QPoint>
#include <QSize>

#include <vector>

#include "util/TxTypes.h"

constexpr int kPictureInset = 8;
// Add point tests the edges of a square reaching this far from the click.
constexpr int kSegmentReach = 4;
// Remove point and the vertex drag take a vertex this close in both directions.
constexpr int kVertexReach = 3;
// The elliptic tool's polyline has this many vertices.
constexpr int kEllipseVertices = 40;


class CImageClipGeometry {
public:
    // The picture's aspect: a bitmap's size in pixels, a metafile's bounds each plus one.
    CImageClipGeometry() = default;
    CImageClipGeometry(QSize client, QSize picture);

    const TxRect& PictureRect() const { return m_rect; }

    // The point moved onto the nearest pixel of the picture rectangle.
    QPoint Clamp(QPoint p) const;
    KW_FPOINT ToPicture(QPoint p) const;
    QPoint ToPixel(KW_FPOINT v) const;
    std::vector<QPoint> ToPixels(const std::vector<KW_FPOINT>& vertices) const;

    // Top left, top right, bottom right, bottom left of the rectangle the two corners span.
    std::vector<KW_FPOINT> RectangleVertices(QPoint a, QPoint b) const;
    // kEllipseVertices points on the ellipse inside the rectangle the two corners span; with a
    // zero radius the points lie on a segment through the centre.
    std::vector<KW_FPOINT> EllipseVertices(QPoint a, QPoint b) const;

private:
    TxRect m_rect;
};

// -1, 0 or 1: r lies right of, on, or left of the line from p to q (in the pixel plane).
int Orientation(QPoint p, QPoint q, QPoint r);
// The two segments meet: for each segment the ends of the other lie on different sides, or one
// lies on the segment between its ends.
bool SegmentsIntersect(QPoint p1, QPoint p2, QPoint q1, QPoint q2);
// The first segment of the closed outline (the last one joins the last vertex to the first)
// crossing an edge of the square reaching `reach` from `click`: the index of its first vertex,
// or -1.
int SegmentNear(const std::vector<QPoint>& outline, QPoint click, int reach = kSegmentReach);
// The first vertex within `reach` of `click` in both directions, or -1.
int VertexNear(const std::vector<QPoint>& outline, QPoint click, int reach = kVertexReach);
