#include "render/MapClipRegion.h"

#include "document/ClipSettings.h"
#include "document/TessarixSettings.h"

std::optional<ZoneClipRegion> MapClipRegionOf(const CTessarixSettings& s)
{
    if (s.mapMode != MapModeImage && s.mapMode != MapModeImageColorMap)
        return std::nullopt;
    if (s.clipTarget == ClipImageOnly)
        return std::nullopt;
    const ClipPolylineSet set = ClippingOf(s);
    if (set.polylines.empty())
        return std::nullopt;
    ZoneClipRegion region;
    region.rule = s.clipFillMode == 1 ? FillRule::Winding : FillRule::OddEven;
    const ImageRect& pic = s.imageRect;
    for (const ClipPolyline& line : set.polylines) {
        std::vector<PointD> ring;
        for (const KW_FPOINT& f : line.vertices)
            ring.push_back({double(pic.x0) + (double(pic.x1) - double(pic.x0)) * double(f.x),
                            double(pic.y0) + (double(pic.y1) - double(pic.y0)) * double(f.y)});
        if (!ring.empty())
            region.rings.push_back(std::move(ring));
    }
    if (s.autoBoundaryPolyline) {
        // The axes' ranges, as the drawing axes hold them (a range that is not increasing
        // spans ten units from its start).
        const auto stopOf = [](const AxisSettings& a) { return a.start >= a.stop ? a.start + 10.0 : double(a.stop); };
        const double x0 = s.xAxis.start, x1 = stopOf(s.xAxis);
        const double y0 = s.yAxis.start, y1 = stopOf(s.yAxis);
        region.rings.push_back({{x0, y0}, {x0, y1}, {x1, y1}, {x1, y0}});
    }
    return region;
}
