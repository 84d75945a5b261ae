#pragma once
// A plane region given by closed rings and a fill rule, cut into trapezoids.
//
// The rings may overlap, cross themselves and each other; the fill rule decides what is inside:
// odd-even (a point is inside when a ray from it crosses the rings an odd number of times) or
// winding (inside when the rings wind around it a non-zero number of times). The region is
// intersected with a rectangular domain.
//
// Decomposition: every vertex height and every height where two edges cross starts a new slab.
// Inside one slab no two edges cross, so the edges spanning it are ordered left to right by
// their x at mid-height, and a sweep over them with the running winding number finds the runs
// that are inside. Each run becomes one trapezoid: horizontal bottom and top, and a left and a
// right side lying on an edge of a ring or on a side of the domain. The trapezoids do not
// overlap and together cover exactly the region, so areas add up over them and a convex shape
// is cut to the region by clipping it against each trapezoid in turn.

#include <vector>

struct PointD {
    double x = 0.0;
    double y = 0.0;
    friend bool operator==(const PointD&, const PointD&) = default;
};

struct RectD {
    double x0 = 0.0, y0 = 0.0, x1 = 1.0, y1 = 1.0;  // x0 < x1, y0 < y1
};

enum class FillRule { OddEven, Winding };

// A side of a trapezoid: the line through `a` and `b` (a.y < b.y).
struct TrapezoidSide {
    PointD a, b;
    double XAt(double y) const;
    // Positive when p lies left of the line (looking from a to b), negative right of it.
    double Side(const PointD& p) const;
};

struct Trapezoid {
    double yBottom = 0.0;
    double yTop = 0.0;
    TrapezoidSide left;
    TrapezoidSide right;

    double Area() const;
    // Whether p lies in the trapezoid or on its border.
    bool Contains(const PointD& p) const;
};

// The trapezoids of the region of `rings` under `rule`, inside `domain`, bottom slab first.
// Rings are closed implicitly (the last vertex joins the first); horizontal edges are only
// slab borders; a ring with a coordinate that is not finite is left out. Empty when nothing of
// the region lies in the domain.
std::vector<Trapezoid> DecomposeRegion(const std::vector<std::vector<PointD>>& rings, FillRule rule,
                                       const RectD& domain);

// The domain itself as one trapezoid.
Trapezoid RectTrapezoid(const RectD& domain);

// Signed area of a ring (shoelace): positive when its vertices run counter-clockwise.
double SignedArea(const std::vector<PointD>& ring);
