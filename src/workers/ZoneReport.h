#pragma once
// The noise zones of the document's columns, from the surfaces the map workers computed last.
// Each worker is waited for until idle and its surface read with the settings it was computed
// with, so the zones always match the map on screen (clipping included).

#include <QString>

#include <vector>

#include "mapping/NoiseZones.h"

class CTessarixDoc;
class CMapComputationSet;

struct ColumnZones {
    int column = 0;
    QString name;
    NoiseZoneSet zones;  // status NoSurface when the column has no valid surface
};

// Every enabled column in order, or only `onlyColumn` when it is 0..11.
std::vector<ColumnZones> ComputeColumnZones(const CTessarixDoc& doc, CMapComputationSet& maps,
                                            const std::vector<float>& levels, ZoneOutlines outlines,
                                            int onlyColumn = -1);
