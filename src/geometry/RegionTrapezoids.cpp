#include "geometry/RegionTrapezoids.h"

#include <algorithm>
#include <cmath>

namespace {

double Cross(double ax, double ay, double bx, double by)
{
    return ax * by - ay * bx;
}

// One edge of a ring that is not horizontal, or one side of the domain (winding 0).
struct SlabEdge {
    TrapezoidSide line;  // a below b
    int winding = 0;     // +1 running upwards, -1 downwards, 0 for a domain side
    enum Kind { Ring, DomainLeft, DomainRight } kind = Ring;
};

// The height where two edges cross or touch, if they do.
bool CrossingHeight(const TrapezoidSide& p, const TrapezoidSide& q, double* y)
{
    const double rx = p.b.x - p.a.x, ry = p.b.y - p.a.y;
    const double sx = q.b.x - q.a.x, sy = q.b.y - q.a.y;
    const double d = Cross(rx, ry, sx, sy);
    if (d == 0.0)
        return false;  // parallel: where collinear edges meet, their end points already cut
    const double qx = q.a.x - p.a.x, qy = q.a.y - p.a.y;
    const double t = Cross(qx, qy, sx, sy) / d;
    const double u = Cross(qx, qy, rx, ry) / d;
    if (t < 0.0 || t > 1.0 || u < 0.0 || u > 1.0)
        return false;
    *y = p.a.y + t * ry;
    return true;
}

bool Inside(FillRule rule, int winding)
{
    return rule == FillRule::OddEven ? (winding % 2) != 0 : winding != 0;
}

std::vector<SlabEdge> CollectEdges(const std::vector<std::vector<PointD>>& rings, const RectD& domain)
{
    std::vector<SlabEdge> edges;
    for (const std::vector<PointD>& ring : rings) {
        // A damaged vertex would break the ordering of the slabs; its ring bounds nothing.
        if (!std::all_of(ring.begin(), ring.end(), [](const PointD& p) { return std::isfinite(p.x) && std::isfinite(p.y); }))
            continue;
        for (size_t k = 0; k < ring.size(); ++k) {
            const PointD& from = ring[k];
            const PointD& to = ring[(k + 1) % ring.size()];
            if (from.y == to.y)
                continue;  // adds nothing to the winding inside a slab
            SlabEdge e;
            e.line = from.y < to.y ? TrapezoidSide{from, to} : TrapezoidSide{to, from};
            e.winding = from.y < to.y ? 1 : -1;
            edges.push_back(e);
        }
    }
    SlabEdge left{{{domain.x0, domain.y0}, {domain.x0, domain.y1}}, 0, SlabEdge::DomainLeft};
    SlabEdge right{{{domain.x1, domain.y0}, {domain.x1, domain.y1}}, 0, SlabEdge::DomainRight};
    edges.push_back(left);
    edges.push_back(right);
    return edges;
}

std::vector<double> SlabHeights(const std::vector<SlabEdge>& edges, const RectD& domain)
{
    std::vector<double> ys{domain.y0, domain.y1};
    for (const SlabEdge& e : edges) {
        ys.push_back(e.line.a.y);
        ys.push_back(e.line.b.y);
    }
    for (size_t i = 0; i < edges.size(); ++i) {
        const TrapezoidSide& p = edges[i].line;
        const double pxMin = std::min(p.a.x, p.b.x), pxMax = std::max(p.a.x, p.b.x);
        for (size_t j = i + 1; j < edges.size(); ++j) {
            const TrapezoidSide& q = edges[j].line;
            if (q.b.y < p.a.y || q.a.y > p.b.y || std::max(q.a.x, q.b.x) < pxMin || std::min(q.a.x, q.b.x) > pxMax)
                continue;
            double y = 0.0;
            if (CrossingHeight(p, q, &y))
                ys.push_back(y);
        }
    }
    std::erase_if(ys, [&](double y) { return y < domain.y0 || y > domain.y1; });
    std::sort(ys.begin(), ys.end());
    ys.erase(std::unique(ys.begin(), ys.end()), ys.end());
    return ys;
}

}  // namespace

double TrapezoidSide::XAt(double y) const
{
    if (a.x == b.x)
        return a.x;
    return a.x + (y - a.y) * (b.x - a.x) / (b.y - a.y);
}

double TrapezoidSide::Side(const PointD& p) const
{
    return Cross(b.x - a.x, b.y - a.y, p.x - a.x, p.y - a.y);
}

double Trapezoid::Area() const
{
    const double bottom = right.XAt(yBottom) - left.XAt(yBottom);
    const double top = right.XAt(yTop) - left.XAt(yTop);
    return 0.5 * (yTop - yBottom) * (bottom + top);
}

bool Trapezoid::Contains(const PointD& p) const
{
    return p.y >= yBottom && p.y <= yTop && left.Side(p) <= 0.0 && right.Side(p) >= 0.0;
}

Trapezoid RectTrapezoid(const RectD& d)
{
    return Trapezoid{d.y0, d.y1, {{d.x0, d.y0}, {d.x0, d.y1}}, {{d.x1, d.y0}, {d.x1, d.y1}}};
}

std::vector<Trapezoid> DecomposeRegion(const std::vector<std::vector<PointD>>& rings, FillRule rule,
                                       const RectD& domain)
{
    std::vector<Trapezoid> result;
    if (!(domain.x0 < domain.x1) || !(domain.y0 < domain.y1))
        return result;
    std::vector<SlabEdge> edges = CollectEdges(rings, domain);
    const std::vector<double> ys = SlabHeights(edges, domain);
    std::sort(edges.begin(), edges.end(), [](const SlabEdge& l, const SlabEdge& r) { return l.line.a.y < r.line.a.y; });

    struct Crossing {
        double x;
        const SlabEdge* edge;
    };
    std::vector<const SlabEdge*> active;
    std::vector<Crossing> row;
    size_t next = 0;
    for (size_t s = 0; s + 1 < ys.size(); ++s) {
        const double y0 = ys[s], y1 = ys[s + 1];
        const double mid = 0.5 * (y0 + y1);
        while (next < edges.size() && edges[next].line.a.y <= y0)
            active.push_back(&edges[next++]);
        std::erase_if(active, [&](const SlabEdge* e) { return e->line.b.y <= y0; });
        row.clear();
        for (const SlabEdge* e : active)
            if (e->line.a.y <= y0 && e->line.b.y >= y1)
                row.push_back({e->line.XAt(mid), e});
        std::sort(row.begin(), row.end(), [](const Crossing& l, const Crossing& r) { return l.x < r.x; });

        int winding = 0;
        bool inDomain = false, inside = false;
        const Crossing* runStart = nullptr;
        for (const Crossing& c : row) {
            if (c.edge->kind == SlabEdge::DomainLeft)
                inDomain = true;
            else if (c.edge->kind == SlabEdge::DomainRight)
                inDomain = false;
            winding += c.edge->winding;
            const bool now = inDomain && Inside(rule, winding);
            if (now && !inside) {
                runStart = &c;
            } else if (!now && inside && c.x > runStart->x) {
                result.push_back(Trapezoid{y0, y1, runStart->edge->line, c.edge->line});
            }
            inside = now;
        }
    }
    return result;
}

double SignedArea(const std::vector<PointD>& ring)
{
    // Taken about the first vertex, so map coordinates far from the origin keep their digits.
    double twice = 0.0;
    if (ring.size() < 3)
        return 0.0;
    const PointD& o = ring.front();
    for (size_t k = 1; k + 1 < ring.size(); ++k)
        twice += Cross(ring[k].x - o.x, ring[k].y - o.y, ring[k + 1].x - o.x, ring[k + 1].y - o.y);
    return 0.5 * twice;
}
