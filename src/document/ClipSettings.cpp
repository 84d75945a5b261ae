#include "document/ClipSettings.h"

#include <algorithm>

#include "document/TessarixDoc.h"
#include "document/TessarixSettings.h"

namespace {

template <typename T>
T At(const std::vector<T>& values, size_t i, T fallback)
{
    return i < values.size() ? values[i] : fallback;
}

}  // namespace

ClipPolylineSet ClippingOf(const TessarixSettingsFields& settings)
{
    ClipPolylineSet set;
    set.target = settings.clipTarget;
    set.fillMode = settings.clipFillMode;
    set.autoBoundary = settings.autoBoundaryPolyline;
    size_t next = 0;
    for (size_t p = 0; p < settings.clipPolylines.size(); ++p) {
        ClipPolyline polyline;
        const size_t count = size_t(std::max(0, settings.clipPolylines[p]));
        const size_t end = std::min(settings.clipPoints.size(), next + count);
        polyline.vertices.assign(settings.clipPoints.begin() + long(next), settings.clipPoints.begin() + long(end));
        next = end;
        polyline.conditioning = At(settings.conditioningFlags, p, 0);
        polyline.level = At(settings.conditioningLevels, p, 0.0f);
        polyline.step = At(settings.conditioningSteps, p, 1);
        set.polylines.push_back(std::move(polyline));
    }
    return set;
}

void SetClipping(TessarixSettingsFields& settings, const ClipPolylineSet& set)
{
    settings.clipTarget = set.target;
    settings.clipFillMode = set.fillMode;
    settings.autoBoundaryPolyline = set.autoBoundary;
    settings.clipPoints.clear();
    settings.clipPolylines.clear();
    settings.conditioningFlags.clear();
    settings.conditioningLevels.clear();
    settings.conditioningSteps.clear();
    for (const ClipPolyline& polyline : set.polylines) {
        settings.clipPoints.insert(settings.clipPoints.end(), polyline.vertices.begin(), polyline.vertices.end());
        settings.clipPolylines.push_back(int32_t(polyline.vertices.size()));
        settings.conditioningFlags.push_back(polyline.conditioning);
        settings.conditioningLevels.push_back(polyline.level);
        settings.conditioningSteps.push_back(polyline.step);
    }
}

int ClipChangeWork(const ClipPolylineSet& before, const ClipPolylineSet& after)
{
    const ClipSetDifference d = CompareClipSets(before, after);
    if (d.conditioning)
        return RECALC_ALL;
    return d.clipping ? int(RECALC_BITMAP) : 0;
}

bool StoreImageClipping(CTessarixDoc& doc, const ClipPolylineSet& set)
{
    const int work = ClipChangeWork(ClippingOf(doc.Settings()), set);
    if (work == 0)
        return false;
    doc.ApplyChange({StepImageClip, work}, [&doc, &set] { SetClipping(doc.Settings(), set); });
    return true;
}
