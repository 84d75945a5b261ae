#pragma once
// The clipping region a map body is drawn through, in map coordinates rather than pixels, for
// computations that must agree with the drawn map (the noise zones).

#include <optional>

#include "mapping/NoiseZones.h"

class CTessarixSettings;

// The region applies in the picture modes, with at least one clipping polyline, and a clip
// target that includes the map. Each polyline's vertices are placed over the picture rectangle;
// the map-boundary polygon (the X and Y axis ranges) is added when the settings ask for it.
std::optional<ZoneClipRegion> MapClipRegionOf(const CTessarixSettings& settings);
