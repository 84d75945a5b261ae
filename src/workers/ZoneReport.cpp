#include "workers/ZoneReport.h"

#include "document/TessarixDoc.h"
#include "document/TessarixSettings.h"
#include "render/MapClipRegion.h"
#include "render/MapDrawInput.h"
#include "workers/MapComputationSet.h"

std::vector<ColumnZones> ComputeColumnZones(const CTessarixDoc& doc, CMapComputationSet& maps,
                                            const std::vector<float>& levels, ZoneOutlines outlines, int onlyColumn)
{
    std::vector<ColumnZones> out;
    for (int32_t column : doc.EnabledColumnIndices()) {
        if (onlyColumn >= 0 && column != onlyColumn)
            continue;
        ColumnZones row;
        row.column = column;
        row.name = doc.Column(column).name;
        MapDrawInput in;
        // The surface pointer is null unless the worker's last surface step succeeded.
        if (maps.IdleDrawInput(column, &in) && in.surface && in.settings) {
            const std::optional<ZoneClipRegion> clip = MapClipRegionOf(*in.settings);
            row.zones = ComputeNoiseZones(*in.surface, in.settings->extent, clip ? &*clip : nullptr, levels, outlines);
        }
        out.push_back(std::move(row));
    }
    return out;
}
