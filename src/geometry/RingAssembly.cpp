#include "geometry/RingAssembly.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <numbers>

namespace {

double Cross(double ax, double ay, double bx, double by)
{
    return ax * by - ay * bx;
}

size_t HashDouble(double d)
{
    return std::hash<uint64_t>()(std::bit_cast<uint64_t>(d + 0.0));  // -0.0 hashes as 0.0
}

struct PointHash {
    size_t operator()(const PointD& p) const { return HashDouble(p.x) * 31u ^ HashDouble(p.y); }
};

bool Lower(const PointD& a, const PointD& b)
{
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// Clockwise angle in (0, 2π] from the way back along the incoming edge to an outgoing one.
double TurnFromBack(const PointD& backDir, const PointD& outDir)
{
    double a = std::atan2(Cross(outDir.x, outDir.y, backDir.x, backDir.y),
                          outDir.x * backDir.x + outDir.y * backDir.y);
    if (a <= 0.0)
        a += 2.0 * std::numbers::pi;
    return a;
}

// Walks the edges into closed vertex loops.
std::vector<std::vector<PointD>> ChainRings(const std::vector<CBoundaryEdges::Edge>& edges)
{
    std::unordered_map<PointD, std::vector<size_t>, PointHash> outgoing;
    for (size_t k = 0; k < edges.size(); ++k)
        outgoing[edges[k].from].push_back(k);
    std::vector<char> used(edges.size(), 0);
    std::vector<std::vector<PointD>> rings;
    for (size_t first = 0; first < edges.size(); ++first) {
        if (used[first])
            continue;
        used[first] = 1;
        std::vector<PointD> ring{edges[first].from};
        size_t current = first;
        bool closed = false;
        for (;;) {
            const PointD& at = edges[current].to;
            if (at == ring.front()) {
                closed = true;
                break;
            }
            const PointD back{edges[current].from.x - at.x, edges[current].from.y - at.y};
            size_t best = edges.size();
            double bestTurn = 0.0;
            for (size_t candidate : outgoing[at]) {
                if (used[candidate])
                    continue;
                const PointD dir{edges[candidate].to.x - at.x, edges[candidate].to.y - at.y};
                const double turn = TurnFromBack(back, dir);
                if (best == edges.size() || turn < bestTurn) {
                    best = candidate;
                    bestTurn = turn;
                }
            }
            if (best == edges.size())
                break;  // an open chain: not an outline, dropped
            ring.push_back(at);
            used[best] = 1;
            current = best;
        }
        if (closed)
            rings.push_back(std::move(ring));
    }
    return rings;
}

// Splits a loop that passes a vertex more than once into loops that pass each vertex once.
void SplitAtRepeatedVertices(const std::vector<PointD>& loop, std::vector<std::vector<PointD>>* out)
{
    std::vector<PointD> stack;
    std::unordered_map<PointD, size_t, PointHash> where;
    for (const PointD& p : loop) {
        auto found = where.find(p);
        if (found == where.end()) {
            where.emplace(p, stack.size());
            stack.push_back(p);
            continue;
        }
        const size_t start = found->second;
        std::vector<PointD> part(stack.begin() + std::ptrdiff_t(start), stack.end());
        for (size_t k = start + 1; k < stack.size(); ++k)
            where.erase(stack[k]);
        stack.resize(start + 1);
        out->push_back(std::move(part));
    }
    out->push_back(std::move(stack));
}

bool Straight(const PointD& a, const PointD& b, const PointD& c)
{
    return Cross(b.x - a.x, b.y - a.y, c.x - b.x, c.y - b.y) == 0.0;
}

// Drops vertices that lie on the straight line between their neighbours (and spikes back).
std::vector<PointD> WithoutStraightVertices(const std::vector<PointD>& ring)
{
    std::vector<PointD> out;
    for (const PointD& p : ring) {
        out.push_back(p);
        while (out.size() >= 3 && Straight(out[out.size() - 3], out[out.size() - 2], out.back()))
            out.erase(out.end() - 2);
    }
    bool changed = true;
    while (changed && out.size() >= 3) {
        changed = false;
        if (Straight(out[out.size() - 2], out.back(), out.front())) {
            out.pop_back();
            changed = true;
        } else if (Straight(out.back(), out.front(), out[1])) {
            out.erase(out.begin());
            changed = true;
        }
    }
    return out;
}

enum class Where { Inside, Outside, OnBorder };

Where Locate(const PointD& p, const std::vector<PointD>& ring)
{
    bool inside = false;
    for (size_t k = 0, j = ring.size() - 1; k < ring.size(); j = k++) {
        const PointD& a = ring[j];
        const PointD& b = ring[k];
        const double side = Cross(b.x - a.x, b.y - a.y, p.x - a.x, p.y - a.y);
        if (side == 0.0 && p.x >= std::min(a.x, b.x) && p.x <= std::max(a.x, b.x) && p.y >= std::min(a.y, b.y) &&
            p.y <= std::max(a.y, b.y))
            return Where::OnBorder;
        if ((a.y > p.y) != (b.y > p.y) && p.x < a.x + (p.y - a.y) * (b.x - a.x) / (b.y - a.y))
            inside = !inside;
    }
    return inside ? Where::Inside : Where::Outside;
}

bool RingInside(const std::vector<PointD>& hole, const std::vector<PointD>& outer)
{
    for (const PointD& p : hole) {
        const Where w = Locate(p, outer);
        if (w != Where::OnBorder)
            return w == Where::Inside;
    }
    return false;
}

struct Box {
    double x0, y0, x1, y1;
    bool Holds(const Box& o) const { return o.x0 >= x0 && o.x1 <= x1 && o.y0 >= y0 && o.y1 <= y1; }
};

Box BoxOf(const std::vector<PointD>& ring)
{
    Box b{ring[0].x, ring[0].y, ring[0].x, ring[0].y};
    for (const PointD& p : ring) {
        b.x0 = std::min(b.x0, p.x);
        b.x1 = std::max(b.x1, p.x);
        b.y0 = std::min(b.y0, p.y);
        b.y1 = std::max(b.y1, p.y);
    }
    return b;
}

}  // namespace

double PolygonWithHoles::Area() const
{
    double area = SignedArea(outer);
    for (const std::vector<PointD>& hole : holes)
        area += SignedArea(hole);
    return area;
}

size_t CBoundaryEdges::KeyHash::operator()(const Key& k) const
{
    return ((HashDouble(k.ax) * 31u ^ HashDouble(k.ay)) * 31u ^ HashDouble(k.bx)) * 31u ^ HashDouble(k.by);
}

void CBoundaryEdges::Add(const PointD& from, const PointD& to)
{
    if (from == to)
        return;
    if (from.y == to.y) {
        m_horizontal[from.y + 0.0].push_back({from.x, to.x});
        return;
    }
    if (Lower(from, to))
        m_edges[Key{from.x + 0.0, from.y + 0.0, to.x + 0.0, to.y + 0.0}] += 1;
    else
        m_edges[Key{to.x + 0.0, to.y + 0.0, from.x + 0.0, from.y + 0.0}] -= 1;
}

std::vector<CBoundaryEdges::Edge> CBoundaryEdges::Remaining() const
{
    std::vector<Edge> out;
    // Where the other edges end, per height: a horizontal run is split there, so a ring that
    // touches it at that point keeps the vertex it needs to be split off.
    std::map<double, std::vector<double>> ends;
    for (const auto& [key, net] : m_edges) {
        const PointD a{key.ax, key.ay}, b{key.bx, key.by};
        for (int32_t k = 0; k < std::abs(net); ++k)
            out.push_back(net > 0 ? Edge{a, b} : Edge{b, a});
        if (net != 0) {
            ends[a.y].push_back(a.x);
            ends[b.y].push_back(b.x);
        }
    }
    // Per height: the net run of rightward (+1) and leftward (-1) cover between break points.
    for (const auto& [y, intervals] : m_horizontal) {
        std::map<double, int32_t> change;
        for (const Interval& iv : intervals) {
            const int32_t sense = iv.from < iv.to ? 1 : -1;
            change[std::min(iv.from, iv.to)] += sense;
            change[std::max(iv.from, iv.to)] -= sense;
        }
        std::vector<double> splits;
        if (auto found = ends.find(y); found != ends.end())
            splits = found->second;
        std::sort(splits.begin(), splits.end());
        for (double x : splits)
            change.emplace(x, 0);
        int32_t cover = 0;
        double runStart = 0.0;
        for (const auto& [x, delta] : change) {
            const int32_t next = cover + delta;
            const bool split = std::binary_search(splits.begin(), splits.end(), x);
            if (next != cover || split) {
                if (cover != 0)
                    for (int32_t k = 0; k < std::abs(cover); ++k)
                        out.push_back(cover > 0 ? Edge{{runStart, y}, {x, y}} : Edge{{x, y}, {runStart, y}});
                runStart = x;
            }
            cover = next;
        }
    }
    return out;
}

std::vector<PolygonWithHoles> CBoundaryEdges::Polygons() const
{
    return AssemblePolygons(Remaining());
}

std::vector<PolygonWithHoles> AssemblePolygons(const std::vector<CBoundaryEdges::Edge>& edges)
{
    std::vector<std::vector<PointD>> loops;
    for (const std::vector<PointD>& loop : ChainRings(edges))
        SplitAtRepeatedVertices(loop, &loops);

    std::vector<PolygonWithHoles> polygons;
    std::vector<double> outerAreas;
    std::vector<std::vector<PointD>> holes;
    for (const std::vector<PointD>& loop : loops) {
        std::vector<PointD> ring = WithoutStraightVertices(loop);
        if (ring.size() < 3)
            continue;
        const double area = SignedArea(ring);
        if (area > 0.0) {
            polygons.push_back(PolygonWithHoles{std::move(ring), {}});
            outerAreas.push_back(area);
        } else if (area < 0.0) {
            holes.push_back(std::move(ring));
        }
    }
    // Smallest outer rings first, so each hole goes to the innermost ring around it.
    std::vector<size_t> order(polygons.size());
    for (size_t k = 0; k < order.size(); ++k)
        order[k] = k;
    std::sort(order.begin(), order.end(), [&](size_t l, size_t r) { return outerAreas[l] < outerAreas[r]; });
    std::vector<Box> boxes;
    for (const PolygonWithHoles& p : polygons)
        boxes.push_back(BoxOf(p.outer));
    for (std::vector<PointD>& hole : holes) {
        const Box holeBox = BoxOf(hole);
        for (size_t k : order) {
            if (boxes[k].Holds(holeBox) && RingInside(hole, polygons[k].outer)) {
                polygons[k].holes.push_back(std::move(hole));
                break;
            }
        }
    }
    return polygons;
}
