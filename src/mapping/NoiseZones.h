#pragma once
// Noise zones: where the interpolated level of a column is at or above a threshold, with the
// area and the outline of each zone.
//
// The surface between the grid nodes is the one the contour tracer draws: every cell is cut into
// four triangles meeting at its centre, whose value is the mean of the four corners, and the
// level is linear on each triangle. Inside one triangle {z >= T} is therefore the triangle cut
// by one straight line, a convex piece whose area is exact for that surface. The zone area is
// the sum over all pieces; no sampling and no pixels are involved.
//
// When the map is drawn through clipping polylines, only the clipped region counts: the region
// is cut into trapezoids (RegionTrapezoids.h), each piece is clipped against the trapezoids it
// overlaps, and the region's own area is the sum of the trapezoid areas. The outlines are the
// union of the pieces (RingAssembly.h): outer rings counter-clockwise, holes clockwise, in map
// coordinates.
//
// Degenerate cases: a threshold equal to node values counts those nodes as inside (the zone is
// closed); a zone reduced to a line or a point has no area and no polygon. Crossing points on an
// edge shared by two triangles are computed from the edge's end points in a fixed order, so
// both triangles agree on them to the bit and their shared edges cancel in the outline.

#include <QString>

#include <vector>

#include "geometry/RegionTrapezoids.h"
#include "geometry/RingAssembly.h"
#include "geometry/WorldRects.h"

class CSurface3DData;

// The usual workplace action values.
inline const std::vector<float> kDefaultZoneLevels{80.0f, 85.0f, 87.0f};

// A clipping region in map coordinates: its rings and fill rule (see MapClipRegionOf in
// render/MapClipRegion.h for the one a map is drawn through).
struct ZoneClipRegion {
    std::vector<std::vector<PointD>> rings;
    FillRule rule = FillRule::OddEven;
};

enum class NoiseZoneStatus {
    Computed,
    NoSurface,      // the surface is missing or invalid
    InvalidExtent,  // the map extent is empty or reversed
};

struct NoiseZone {
    float level = 0.0f;
    double area = 0.0;                       // map units squared
    std::vector<PolygonWithHoles> polygons;  // empty unless asked for
};

struct NoiseZoneSet {
    NoiseZoneStatus status = NoiseZoneStatus::NoSurface;
    bool clipped = false;     // the clipping region applied
    double regionArea = 0.0;  // the map's area, or the clipped region's
    std::vector<NoiseZone> zones;  // one per level, in the order asked

    // The zone's share of the region, 0..1; 0 when the region has no area.
    double Share(size_t zone) const;
};

enum class ZoneOutlines { No, Yes };

// The zones of `surface` (nodes normalised over `extent`) at `levels`, inside `clip` when given.
NoiseZoneSet ComputeNoiseZones(const CSurface3DData& surface, const MapExtent& extent,
                               const ZoneClipRegion* clip, const std::vector<float>& levels,
                               ZoneOutlines outlines);

// "80, 85,87" -> ascending levels without repeats; false for an empty list, a word that is not a
// finite number, or more than kMaxZoneLevels levels.
constexpr int kMaxZoneLevels = 20;
bool ParseZoneLevels(const QString& text, std::vector<float>* levels);
// The levels as the list they are typed in ("80, 85, 87").
QString ZoneLevelsText(const std::vector<float>& levels);
