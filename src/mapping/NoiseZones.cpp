#include "mapping/NoiseZones.h"

#include <QStringList>

#include <algorithm>
#include <cmath>

#include "mapping/Surface3DData.h"

namespace {

// A vertex of a triangle: its position in map units and its level minus the threshold.
struct Node {
    PointD p;
    double h = 0.0;
};

bool Lower(const PointD& a, const PointD& b)
{
    return a.x < b.x || (a.x == b.x && a.y < b.y);
}

// Where the linear function with values fa at a and fb at b (of opposite signs) is zero. The
// end points are taken in a fixed order, so the two triangles of a shared edge get the same bits.
PointD Crossing(PointD a, double fa, PointD b, double fb)
{
    if (Lower(b, a)) {
        std::swap(a, b);
        std::swap(fa, fb);
    }
    const double t = fa / (fa - fb);
    return {a.x + t * (b.x - a.x), a.y + t * (b.y - a.y)};
}

// The part of triangle (a, b, c) (counter-clockwise) where h >= 0: up to four vertices.
void CutTriangle(const Node& a, const Node& b, const Node& c, std::vector<PointD>* piece)
{
    piece->clear();
    const Node* t[3] = {&a, &b, &c};
    for (int k = 0; k < 3; ++k) {
        const Node& p = *t[k];
        const Node& q = *t[(k + 1) % 3];
        if (p.h >= 0.0)
            piece->push_back(p.p);
        // A vertex exactly at the threshold is itself the crossing and is already listed.
        if ((p.h > 0.0 && q.h < 0.0) || (p.h < 0.0 && q.h > 0.0))
            piece->push_back(Crossing(p.p, p.h, q.p, q.h));
    }
}

// Keeps the part of a convex polygon where side(p) >= 0; `snap` puts a new vertex exactly on the
// cutting line (a horizontal or vertical line is then met to the bit).
template <class SideFn, class SnapFn>
void ClipConvex(std::vector<PointD>* poly, std::vector<PointD>* scratch, SideFn side, SnapFn snap)
{
    scratch->clear();
    const size_t n = poly->size();
    for (size_t k = 0; k < n; ++k) {
        const PointD& p = (*poly)[k];
        const PointD& q = (*poly)[(k + 1) % n];
        const double fp = side(p), fq = side(q);
        if (fp >= 0.0)
            scratch->push_back(p);
        if ((fp > 0.0 && fq < 0.0) || (fp < 0.0 && fq > 0.0))
            scratch->push_back(snap(Crossing(p, fp, q, fq)));
    }
    poly->swap(*scratch);
}

void ClipToTrapezoid(const Trapezoid& z, std::vector<PointD>* poly, std::vector<PointD>* scratch)
{
    const auto keep = [](PointD p) { return p; };
    ClipConvex(poly, scratch, [&](const PointD& p) { return p.y - z.yBottom; },
               [&](PointD p) { return PointD{p.x, z.yBottom}; });
    ClipConvex(poly, scratch, [&](const PointD& p) { return z.yTop - p.y; },
               [&](PointD p) { return PointD{p.x, z.yTop}; });
    const auto sideClip = [&](const TrapezoidSide& line, double sense) {
        if (line.a.x == line.b.x)
            ClipConvex(poly, scratch, [&](const PointD& p) { return sense * line.Side(p); },
                       [&](PointD p) { return PointD{line.a.x, p.y}; });
        else
            ClipConvex(poly, scratch, [&](const PointD& p) { return sense * line.Side(p); }, keep);
    };
    sideClip(z.left, -1.0);  // the region lies right of its left side
    sideClip(z.right, 1.0);
}

double PolygonArea(const std::vector<PointD>& poly)
{
    return poly.size() < 3 ? 0.0 : SignedArea(poly);
}

// The grid in map units, and which cells lie wholly inside one trapezoid of the region.
class ZoneGrid {
public:
    ZoneGrid(const CSurface3DData& s, const MapExtent& e) : m_surface(s)
    {
        for (int32_t i = 0; i < s.NX(); ++i)
            m_x.push_back(double(e.x0) + double(s.X(i)) * (double(e.x1) - double(e.x0)));
        for (int32_t j = 0; j < s.NY(); ++j)
            m_y.push_back(double(e.y0) + double(s.Y(j)) * (double(e.y1) - double(e.y0)));
    }
    int32_t CellsX() const { return int32_t(m_x.size()) - 1; }
    int32_t CellsY() const { return int32_t(m_y.size()) - 1; }
    RectD Domain() const { return {m_x.front(), m_y.front(), m_x.back(), m_y.back()}; }
    PointD NodeAt(int32_t i, int32_t j) const { return {m_x[size_t(i)], m_y[size_t(j)]}; }
    double Z(int32_t i, int32_t j) const { return double(m_surface.Value(i, j)); }
    // The value at the centre of cell (i, j): the same expression wherever it is asked for.
    double CentreZ(int32_t i, int32_t j) const
    {
        return 0.25 * (Z(i, j) + Z(i + 1, j) + Z(i + 1, j + 1) + Z(i, j + 1));
    }
    // The cells whose open extent meets [x0, x1] × [y0, y1], as index ranges (empty: lo > hi).
    void CellRange(double x0, double x1, double y0, double y1, int32_t* i0, int32_t* i1, int32_t* j0,
                   int32_t* j1) const
    {
        Range(m_x, x0, x1, i0, i1);
        Range(m_y, y0, y1, j0, j1);
    }

    // Marks each cell with the trapezoid that holds it whole (-1: none or several).
    void AssignOwners(const std::vector<Trapezoid>& zones)
    {
        m_owner.assign(size_t(CellsX()) * size_t(CellsY()), -1);
        for (size_t t = 0; t < zones.size(); ++t) {
            const Trapezoid& z = zones[t];
            int32_t i0, i1, j0, j1;
            CellRange(std::min(z.left.XAt(z.yBottom), z.left.XAt(z.yTop)),
                      std::max(z.right.XAt(z.yBottom), z.right.XAt(z.yTop)), z.yBottom, z.yTop, &i0, &i1, &j0, &j1);
            for (int32_t i = i0; i <= i1; ++i)
                for (int32_t j = j0; j <= j1; ++j)
                    if (z.Contains(NodeAt(i, j)) && z.Contains(NodeAt(i + 1, j)) && z.Contains(NodeAt(i + 1, j + 1)) &&
                        z.Contains(NodeAt(i, j + 1)))
                        m_owner[Cell(i, j)] = int32_t(t);
        }
    }
    int32_t Owner(int32_t i, int32_t j) const
    {
        if (i < 0 || j < 0 || i >= CellsX() || j >= CellsY())
            return -1;
        return m_owner[Cell(i, j)];
    }

private:
    size_t Cell(int32_t i, int32_t j) const { return size_t(i) * size_t(CellsY()) + size_t(j); }
    static void Range(const std::vector<double>& nodes, double lo, double hi, int32_t* first, int32_t* last)
    {
        // Cell k spans nodes[k]..nodes[k + 1]; it counts when nodes[k] < hi and nodes[k + 1] > lo.
        const auto above = std::upper_bound(nodes.begin(), nodes.end(), lo) - nodes.begin();
        const auto atOrAbove = std::lower_bound(nodes.begin(), nodes.end(), hi) - nodes.begin();
        *first = std::max<int32_t>(0, int32_t(above) - 1);
        *last = std::min<int32_t>(int32_t(nodes.size()) - 2, int32_t(atOrAbove) - 1);
    }

    const CSurface3DData& m_surface;
    std::vector<double> m_x, m_y;
    std::vector<int32_t> m_owner;
};

// The zone at one threshold: its area, and its outline edges when asked.
class ZoneAccumulator {
public:
    ZoneAccumulator(const ZoneGrid& grid, double level, CBoundaryEdges* edges)
        : m_grid(grid), m_level(level), m_edges(edges)
    {
    }
    double Area() const { return m_area; }

    void AddCell(int32_t i, int32_t j, int32_t trapezoidIndex, const Trapezoid& z)
    {
        // Corners counter-clockwise from the lower left, then the centre.
        const int32_t ci[4] = {i, i + 1, i + 1, i};
        const int32_t cj[4] = {j, j, j + 1, j + 1};
        Node corner[4];
        for (int k = 0; k < 4; ++k)
            corner[k] = {m_grid.NodeAt(ci[k], cj[k]), m_grid.Z(ci[k], cj[k]) - m_level};
        const PointD& lo = corner[0].p;
        const PointD& hi = corner[2].p;
        const Node centre{{0.5 * (lo.x + hi.x), 0.5 * (lo.y + hi.y)}, m_grid.CentreZ(i, j) - m_level};
        if (std::all_of(corner, corner + 4, [](const Node& n) { return n.h < 0.0; }) && centre.h < 0.0)
            return;
        const bool whole = m_grid.Owner(i, j) == trapezoidIndex;
        for (int m = 0; m < 4; ++m) {
            const Node& a = corner[m];
            const Node& b = corner[(m + 1) % 4];
            CutTriangle(a, b, centre, &m_piece);
            if (!whole)
                ClipToTrapezoid(z, &m_piece, &m_scratch);
            const double area = PolygonArea(m_piece);
            if (!(area > 0.0))
                continue;  // nothing, or only a line or a point
            m_area += area;
            if (m_edges)
                AddOutline(i, j, m, corner, centre, whole);
        }
    }

private:
    // The piece's edges, leaving out the edges between two full triangles that both lie wholly
    // inside the same trapezoid (they would only cancel).
    void AddOutline(int32_t i, int32_t j, int m, const Node corner[4], const Node& centre, bool whole)
    {
        const Node& a = corner[m];
        const Node& b = corner[(m + 1) % 4];
        const bool full = whole && a.h >= 0.0 && b.h >= 0.0 && centre.h >= 0.0;
        if (!full) {
            for (size_t k = 0; k < m_piece.size(); ++k)
                m_edges->Add(m_piece[k], m_piece[(k + 1) % m_piece.size()]);
            return;
        }
        // Neighbour across the outer edge a -> b: below, right, above, left.
        static const int32_t di[4] = {0, 1, 0, -1};
        static const int32_t dj[4] = {-1, 0, 1, 0};
        const int32_t ni = i + di[m], nj = j + dj[m];
        const int32_t owner = m_grid.Owner(i, j);
        const bool outerInside = m_grid.Owner(ni, nj) == owner && m_grid.CentreZ(ni, nj) - m_level >= 0.0;
        const bool nextInside = corner[(m + 2) % 4].h >= 0.0;  // the triangle across b -> centre
        const bool prevInside = corner[(m + 3) % 4].h >= 0.0;  // the triangle across centre -> a
        if (!outerInside)
            m_edges->Add(a.p, b.p);
        if (!nextInside)
            m_edges->Add(b.p, centre.p);
        if (!prevInside)
            m_edges->Add(centre.p, a.p);
    }

    const ZoneGrid& m_grid;
    double m_level;
    CBoundaryEdges* m_edges;
    double m_area = 0.0;
    std::vector<PointD> m_piece, m_scratch;
};

}  // namespace

double NoiseZoneSet::Share(size_t zone) const
{
    return regionArea > 0.0 ? zones.at(zone).area / regionArea : 0.0;
}

NoiseZoneSet ComputeNoiseZones(const CSurface3DData& surface, const MapExtent& extent, const ZoneClipRegion* clip,
                               const std::vector<float>& levels, ZoneOutlines outlines)
{
    NoiseZoneSet result;
    if (!surface.IsValid() || surface.NX() < 2 || surface.NY() < 2) {
        result.status = NoiseZoneStatus::NoSurface;
        return result;
    }
    if (!(extent.x0 < extent.x1) || !(extent.y0 < extent.y1)) {
        result.status = NoiseZoneStatus::InvalidExtent;
        return result;
    }
    ZoneGrid grid(surface, extent);
    const RectD domain = grid.Domain();
    const std::vector<Trapezoid> region =
        clip ? DecomposeRegion(clip->rings, clip->rule, domain) : std::vector<Trapezoid>{RectTrapezoid(domain)};
    grid.AssignOwners(region);
    result.status = NoiseZoneStatus::Computed;
    result.clipped = clip != nullptr;
    for (const Trapezoid& z : region)
        result.regionArea += z.Area();

    for (float level : levels) {
        CBoundaryEdges edges;
        ZoneAccumulator zone(grid, double(level), outlines == ZoneOutlines::Yes ? &edges : nullptr);
        for (size_t t = 0; t < region.size(); ++t) {
            const Trapezoid& z = region[t];
            int32_t i0, i1, j0, j1;
            grid.CellRange(std::min(z.left.XAt(z.yBottom), z.left.XAt(z.yTop)),
                           std::max(z.right.XAt(z.yBottom), z.right.XAt(z.yTop)), z.yBottom, z.yTop, &i0, &i1, &j0,
                           &j1);
            for (int32_t i = i0; i <= i1; ++i)
                for (int32_t j = j0; j <= j1; ++j) {
                    const int32_t owner = grid.Owner(i, j);
                    if (owner < 0 || owner == int32_t(t))
                        zone.AddCell(i, j, int32_t(t), z);
                }
        }
        NoiseZone out;
        out.level = level;
        out.area = zone.Area();
        if (outlines == ZoneOutlines::Yes)
            out.polygons = edges.Polygons();
        result.zones.push_back(std::move(out));
    }
    return result;
}

bool ParseZoneLevels(const QString& text, std::vector<float>* levels)
{
    std::vector<float> parsed;
    for (const QString& part : text.split(u',')) {
        bool ok = false;
        const float v = part.trimmed().toFloat(&ok);
        if (!ok || !std::isfinite(v))
            return false;
        parsed.push_back(v);
    }
    std::sort(parsed.begin(), parsed.end());
    parsed.erase(std::unique(parsed.begin(), parsed.end()), parsed.end());
    if (parsed.empty() || int(parsed.size()) > kMaxZoneLevels)
        return false;
    *levels = std::move(parsed);
    return true;
}

QString ZoneLevelsText(const std::vector<float>& levels)
{
    QStringList parts;
    for (float v : levels)
        parts << QString::number(double(v), 'g', 7);
    return parts.join(QStringLiteral(", "));
}
