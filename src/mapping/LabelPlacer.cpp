// Label placement along one contour polyline.
//
// The search walks the polyline from its first vertex f. A stretch f..i is the shortest run of
// segments whose length (summed in normalised units, then converted to whole device pixels along
// the X axis) reaches need = text width + label distance. The stretch carries a label when
//   - it is straight enough: its length over its chord is at most the curve tolerance;
//   - its anchor (the midpoint of the segment where half the stretch length is reached) lies
//     inside the graph rectangle shrunk by half the text width plus the edge distance;
//   - on a closed polyline that already has a label, the anchor is at least `need` away from the
//     first label's anchor (so the line's start and end do not both get one).
// After a label the search goes on one vertex past the stretch; after a refusal, one vertex on.

#include "mapping/LabelPlacer.h"

#include <cmath>

namespace {

constexpr double kPi = 3.141592653589793;

float SegmentLength(KW_FPOINT a, KW_FPOINT b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

int NormalisedToDevice::MapX(float v) const
{
    return xAxis->WorldToDevice(x0 + v * (x1 - x0));
}

int NormalisedToDevice::MapY(float v) const
{
    return yAxis->WorldToDevice(y0 + v * (y1 - y0));
}

int NormalisedToDevice::MapLength(float v) const
{
    return xAxis->WorldToDevice(x0 + v * (x1 - x0)) - xAxis->WorldToDevice(x0);
}

std::vector<LabelPlacement> PlaceLabelsOnPolyline(const CCMAP_Polyline& line, const NormalisedToDevice& map,
                                                  const LabelStyle& style, int textWidth, int zeroHeight)
{
    std::vector<LabelPlacement> labels;
    const int count = int(line.size());
    const int need = textWidth + style.labelDistance;
    const int inset = textWidth / 2 + style.edgeDistance;
    bool placed = false;
    KW_FPOINT firstAnchor{0.0f, 0.0f};

    int f = 0;
    while (f < count) {
        // a. the end vertex i of the shortest stretch from f reaching `need` pixels.
        int i = f + 1;
        if (i >= count)
            break;
        float along = SegmentLength(line[size_t(f)], line[size_t(i)]);
        int len = map.MapLength(along);
        while (len < need && i != count - 1) {
            ++i;
            along += SegmentLength(line[size_t(i - 1)], line[size_t(i)]);
            len = map.MapLength(along);
        }
        if (len < need)
            break;  // the rest of the polyline is shorter than a label; later starts are shorter still

        // b. the anchor, at half the stretch length.
        int j = f + 1;
        float part = SegmentLength(line[size_t(f)], line[size_t(j)]);
        while (map.MapLength(part) < len / 2 && j < i) {
            ++j;
            part += SegmentLength(line[size_t(j - 1)], line[size_t(j)]);
        }
        const KW_FPOINT anchor{0.5f * (line[size_t(j - 1)].x + line[size_t(j)].x),
                               0.5f * (line[size_t(j - 1)].y + line[size_t(j)].y)};
        const int ax = map.MapX(anchor.x), ay = map.MapY(anchor.y);

        // c. straightness, d. distance from the border, e. spacing on a closed line.
        const int chord = map.MapLength(SegmentLength(line[size_t(f)], line[size_t(i)]));
        const bool straight = chord > 0 && float(len) / float(chord) <= style.curveTolerance;
        const TxRect& g = style.graph;
        const bool inside = ax >= g.left + inset && ax < g.right - inset && ay >= g.top + inset &&
                            ay < g.bottom - inset;
        const bool spaced = !(line.closed && placed) || map.MapLength(SegmentLength(anchor, firstAnchor)) >= need;
        if (!(straight && inside && spaced)) {
            ++f;  // g.
            continue;
        }

        // f. the label, rotated with the stretch read from left to right.
        if (!placed) {
            placed = true;
            firstAnchor = anchor;
        }
        int xl = map.MapX(line[size_t(f)].x), yl = map.MapY(line[size_t(f)].y);
        int xr = map.MapX(line[size_t(i)].x), yr = map.MapY(line[size_t(i)].y);
        if (xr < xl) {
            std::swap(xl, xr);
            std::swap(yl, yr);
        }
        const double theta = std::atan2(double(yr - yl), double(xr - xl));
        const double c = -(textWidth / 2), e = zeroHeight / 2;
        LabelPlacement p;
        p.anchorX = ax;
        p.anchorY = ay;
        p.angleTenths = int(theta * 1800.0 / kPi);
        p.textX = ax + int(c * std::cos(theta) - e * std::sin(theta));
        p.textY = ay + int(e * std::cos(theta) + c * std::sin(theta));
        labels.push_back(p);
        f = i + 1;
    }
    return labels;
}
