#pragma once
// The outline of a union of convex pieces, as polygons with holes.
//
// Each piece hands in its edges running counter-clockwise, so the piece lies left of every edge.
// Where two pieces meet, their shared stretch arrives twice in opposite directions and cancels;
// what is left is the outline of the union, again with the inside on the left. Pieces that meet
// across a whole edge give exactly equal end points, which a hash of the end points cancels.
// Horizontal edges are cancelled per height as intervals instead, because pieces cut at the same
// height (slab borders) may meet there along stretches with different end points.
//
// The remaining edges are chained into rings. At a vertex where several rings touch, the walk
// takes the outgoing edge nearest clockwise to the way back, so rings never cross there; a ring
// that still visits a vertex twice is split at it. Collinear vertices are dropped, rings without
// area are discarded. Counter-clockwise rings are outer rings; each clockwise ring is a hole of
// the smallest outer ring around it.

#include <cstddef>
#include <cstdint>
#include <map>
#include <unordered_map>
#include <vector>

#include "geometry/RegionTrapezoids.h"

struct PolygonWithHoles {
    std::vector<PointD> outer;               // counter-clockwise, not closed (last != first)
    std::vector<std::vector<PointD>> holes;  // clockwise, not closed
    // The outer area minus the holes.
    double Area() const;
};

class CBoundaryEdges {
public:
    // A directed edge of a piece, the piece on its left. Zero-length edges are ignored.
    void Add(const PointD& from, const PointD& to);
    // The outline: the polygons of the union of everything added.
    std::vector<PolygonWithHoles> Polygons() const;

    struct Edge {
        PointD from, to;
    };
    // The edges left after cancelling, directed with the inside on their left.
    std::vector<Edge> Remaining() const;

private:
    struct Key {
        double ax, ay, bx, by;  // the end points, lower one (by x, then y) first
        friend bool operator==(const Key&, const Key&) = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const;
    };
    struct Interval {
        double from, to;  // along x; from > to runs leftwards
    };
    std::unordered_map<Key, int32_t, KeyHash> m_edges;  // +1 per edge running a -> b, -1 b -> a
    std::map<double, std::vector<Interval>> m_horizontal;
};

// Chains directed outline edges (inside on the left) into polygons; exposed for the tests.
std::vector<PolygonWithHoles> AssemblePolygons(const std::vector<CBoundaryEdges::Edge>& edges);
