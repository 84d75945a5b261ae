#include "image/ClipPolylineSet.h"

#include <algorithm>

namespace {

bool SameConditioningValues(const ClipPolyline& a, const ClipPolyline& b)
{
    return a.conditioning == b.conditioning && a.level == b.level && a.step == b.step;
}

}  // namespace

ClipSetDifference CompareClipSets(const ClipPolylineSet& before, const ClipPolylineSet& after)
{
    ClipSetDifference d;
    d.clipping = before.target != after.target || before.fillMode != after.fillMode ||
                 before.autoBoundary != after.autoBoundary || before.polylines.size() != after.polylines.size();
    const size_t common = std::min(before.polylines.size(), after.polylines.size());
    for (size_t i = 0; i < common; ++i) {
        const ClipPolyline& a = before.polylines[i];
        const ClipPolyline& b = after.polylines[i];
        const bool sameVertices = a.vertices == b.vertices;
        d.clipping = d.clipping || !sameVertices;
        d.conditioning = d.conditioning || !SameConditioningValues(a, b) ||
                         (!sameVertices && (a.conditioning != 0 || b.conditioning != 0));
    }
    // A polyline added or removed changes the per-polyline flags, levels and steps too.
    d.conditioning = d.conditioning || before.polylines.size() != after.polylines.size();
    return d;
}
