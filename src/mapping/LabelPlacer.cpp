// Label placement along one contour polyline.
//
// The search walks the polyline from its first vertex f. A stretch f..i is the shortest run of
// segments whose length (summed in normalised units, then converted to whole device pixels along
// the X axis) reaches need = text width + label distance. The stretch carries a label when
//   - it is straight enough: its length over its chord is at most the curve tolerance;
//   - its anchor (the midpoint of the segment where half the stretch length is reached) lies
//     inside the graph rectangle shrunk by half the text width plus the edge distance;
//   - on a closed polyline that already has a label, the anchor is at least `need` away from the
//     first label's anchor (so the line's start and end do not both get one).
// After a label the search goes on one vertex past the stretch; after a refusal, one vertex on.

#include "mapping/LabelPlacer.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

namespace {

constexpr double kPi = 3.141592653589793;

float SegmentLength(KW_FPOINT a, KW_FPOINT b)
{
    const float dx = b.x - a.x, dy = b.y - a.y;
    return std::sqrt(dx * dx + dy * dy);
}

}  // namespace

namespace {

// Steps c. to f. for one stretch: whether the stretch f..i, `len` device pixels long with its
// anchor on the segment j - 1..j, carries a label, which is then appended.
class LabelWalk {
public:
    LabelWalk(const CCMAP_Polyline& line, const NormalisedToDevice& map, const LabelStyle& style, int textWidth,
              int zeroHeight)
        : m_line(line), m_map(map), m_style(style), m_textWidth(textWidth), m_zeroHeight(zeroHeight),
          need(textWidth + style.labelDistance), m_inset(textWidth / 2 + style.edgeDistance)
    {
    }

    bool Consider(int f, int i, int j, int len)
    {
        const CCMAP_Polyline& line = m_line;
        const NormalisedToDevice& map = m_map;
        const KW_FPOINT anchor{0.5f * (line[size_t(j - 1)].x + line[size_t(j)].x),
                               0.5f * (line[size_t(j - 1)].y + line[size_t(j)].y)};
        const int ax = map.MapX(anchor.x), ay = map.MapY(anchor.y);

        // c. straightness, d. distance from the border, e. spacing on a closed line.
        const int chord = map.MapLength(SegmentLength(line[size_t(f)], line[size_t(i)]));
        const bool straight = chord > 0 && float(len) / float(chord) <= m_style.curveTolerance;
        const TxRect& g = m_style.graph;
        const bool inside = ax >= g.left + m_inset && ax < g.right - m_inset && ay >= g.top + m_inset &&
                            ay < g.bottom - m_inset;
        const bool spaced =
            !(line.closed && m_placed) || map.MapLength(SegmentLength(anchor, m_firstAnchor)) >= need;
        if (!(straight && inside && spaced))
            return false;

        // f. the label, rotated with the stretch read from left to right.
        if (!m_placed) {
            m_placed = true;
            m_firstAnchor = anchor;
        }
        int xl = map.MapX(line[size_t(f)].x), yl = map.MapY(line[size_t(f)].y);
        int xr = map.MapX(line[size_t(i)].x), yr = map.MapY(line[size_t(i)].y);
        if (xr < xl) {
            std::swap(xl, xr);
            std::swap(yl, yr);
        }
        const double theta = std::atan2(double(yr - yl), double(xr - xl));
        const double c = -(m_textWidth / 2), e = m_zeroHeight / 2;
        LabelPlacement p;
        p.anchorX = ax;
        p.anchorY = ay;
        p.angleTenths = int(theta * 1800.0 / kPi);
        p.textX = ax + int(c * std::cos(theta) - e * std::sin(theta));
        p.textY = ay + int(e * std::cos(theta) + c * std::sin(theta));
        labels.push_back(p);
        return true;
    }

private:
    const CCMAP_Polyline& m_line;
    const NormalisedToDevice& m_map;
    const LabelStyle& m_style;
    int m_textWidth, m_zeroHeight;

public:
    const int need;  // a stretch's device length: text width plus label distance
    std::vector<LabelPlacement> labels;

private:
    int m_inset;
    bool m_placed = false;
    KW_FPOINT m_firstAnchor{0.0f, 0.0f};
};

// Device lengths along the X axis grow with the normalised length: true for an axis running left
// to right over an extent with x0 < x1, which is what every map has.
bool LengthGrowsWithDistance(const NormalisedToDevice& map)
{
    return map.xAxis->IsHorizontal() && std::isfinite(map.xAxis->scale) && map.xAxis->scale > 0.0f &&
           std::isfinite(map.x0) && std::isfinite(map.x1) && map.x0 < map.x1;
}

// The shortest normalised lengths whose device lengths reach a number of pixels: with a mapping
// that never decreases, MapLength(v) >= pixels exactly when v >= Threshold(pixels).
class LengthThresholds {
public:
    explicit LengthThresholds(const NormalisedToDevice& map) : m_map(map) {}

    float Threshold(int pixels)
    {
        for (const auto& [p, t] : m_cache)
            if (p == pixels)
                return t;
        const float t = Search(pixels);
        m_cache.emplace_back(pixels, t);
        return t;
    }

private:
    float Search(int pixels) const
    {
        // Non-negative floats are ordered like their bit patterns.
        uint32_t lo = 0, hi = 0x7f7fffffu;  // 0 .. the largest finite float
        if (m_map.MapLength(FromBits(hi)) < pixels)
            return INFINITY;  // never reached
        while (lo < hi) {
            const uint32_t mid = lo + (hi - lo) / 2;
            if (m_map.MapLength(FromBits(mid)) >= pixels)
                hi = mid;
            else
                lo = mid + 1;
        }
        return FromBits(lo);
    }
    static float FromBits(uint32_t bits)
    {
        float v;
        std::memcpy(&v, &bits, sizeof v);
        return v;
    }

    const NormalisedToDevice& m_map;
    std::vector<std::pair<int, float>> m_cache;
};

// The lengths of a polyline's stretches as the stepwise walk sums them: Sum(f, i) adds the
// segment lengths f..f+1, ..., i-1..i one by one in float. Finding where such a sum first
// reaches a threshold takes a binary search over double prefix sums, whose distance from the
// float sum is bounded; only a sum within that bound of the threshold is summed exactly.
class StretchSums {
public:
    explicit StretchSums(const CCMAP_Polyline& line)
    {
        const size_t count = line.size();
        m_segment.resize(count, 0.0f);
        m_prefix.resize(count, 0.0);
        for (size_t k = 1; k < count; ++k) {
            m_segment[k] = SegmentLength(line[k - 1], line[k]);
            m_prefix[k] = m_prefix[k - 1] + double(m_segment[k]);
        }
        const double total = count > 0 ? m_prefix[count - 1] : 0.0;
        m_usable = std::isfinite(total) && total < 1e30;
        m_prefixError = 4.0 * double(count) * 0x1p-53 * total;
    }

    // False for lengths that are not finite or could overflow a float sum.
    bool Usable() const { return m_usable; }

    float Sum(int f, int i) const
    {
        float s = m_segment[size_t(f) + 1];
        for (int k = f + 2; k <= i; ++k)
            s += m_segment[size_t(k)];
        return s;
    }

    // An interval that surely holds Sum(f, i): a float sum of m non-negative terms lies within
    // (m - 1) 2^-24 of the exact sum, relative to it, plus half the smallest subnormal per term.
    void Bounds(int f, int i, double* lo, double* hi) const
    {
        const double estimate = m_prefix[size_t(i)] - m_prefix[size_t(f)];
        const double terms = double(i - f);
        const double slack = terms * 0x1p-22 * (estimate + m_prefixError) + 2.0 * m_prefixError + terms * 0x1p-148;
        *lo = std::max(0.0, estimate - slack);
        *hi = estimate + slack;
    }

    // The first i in [from, to] with Sum(f, i) >= threshold, to + 1 when there is none.
    int FirstReaching(int f, int from, int to, float threshold) const
    {
        return Settle(f, FirstPossiblyReaching(f, from, to + 1, threshold), to, threshold);
    }

    // FirstReaching for an answer expected close to `from`: gallops up from it, then bisects the
    // last gap. `*surelyBelow` receives the first i whose bound may reach the threshold; a later
    // start f' > f has no i below it reaching the threshold either (its bounds are smaller), so
    // it is a valid `from` for the next start's search.
    int FirstReachingNear(int f, int from, int to, float threshold, int* surelyBelow) const
    {
        int first = from, step = 1;
        while (first <= to && !MayReach(f, first, threshold)) {
            const int probe = int(std::min<int64_t>(int64_t(first) + step, int64_t(to) + 1));
            if (probe > to || MayReach(f, probe, threshold)) {
                first = FirstPossiblyReaching(f, first + 1, probe, threshold);
                break;
            }
            first = probe + 1;
            step *= 2;
        }
        *surelyBelow = first;
        return Settle(f, first, to, threshold);
    }
    // MapLength(Sum(f, i)), from the bounds where both ends give the same pixels.
    int DeviceLength(int f, int i, const NormalisedToDevice& map) const
    {
        double lo = 0.0, hi = 0.0;
        Bounds(f, i, &lo, &hi);
        float below = float(lo), above = float(hi);
        if (double(below) > lo)
            below = std::nextafter(below, 0.0f);
        if (double(above) < hi)
            above = std::nextafter(above, INFINITY);
        const int shortest = map.MapLength(below);
        if (shortest == map.MapLength(above))
            return shortest;
        return map.MapLength(Sum(f, i));
    }

private:
    // Whether Sum(f, i) may reach the threshold: its upper bound does.
    bool MayReach(int f, int i, float threshold) const
    {
        double lo = 0.0, hi = 0.0;
        Bounds(f, i, &lo, &hi);
        return !(hi < double(threshold));
    }

    // The first i in [first, end) that may reach the threshold, `end` when none may: every i
    // below `first` surely stays below it.
    int FirstPossiblyReaching(int f, int first, int end, float threshold) const
    {
        int last = end;
        while (first < last) {
            const int mid = first + (last - first) / 2;
            if (MayReach(f, mid, threshold))
                last = mid;
            else
                first = mid + 1;
        }
        return first;
    }

    // From the first i that may reach the threshold to the first that does: the bounds decide
    // when they can, otherwise the sum is taken exactly. to + 1 when none in [first, to] does.
    int Settle(int f, int first, int to, float threshold) const
    {
        if (first > to)
            return to + 1;
        double lo = 0.0, hi = 0.0;
        Bounds(f, first, &lo, &hi);
        if (lo >= double(threshold))
            return first;
        // Too close to tell: sum exactly from here on.
        float s = Sum(f, first);
        while (!(s >= threshold)) {
            if (++first > to)
                return to + 1;
            s += m_segment[size_t(first)];
        }
        return first;
    }

    std::vector<float> m_segment;  // m_segment[k]: length of the segment k-1..k
    std::vector<double> m_prefix;  // m_prefix[k]: m_segment[1] + ... + m_segment[k]
    double m_prefixError = 0.0;    // bound on the rounding of any prefix sum
    bool m_usable = true;
};

}  // namespace

std::vector<LabelPlacement> PlaceLabelsOnPolylineStepwise(const CCMAP_Polyline& line, const NormalisedToDevice& map,
                                                          const LabelStyle& style, int textWidth, int zeroHeight)
{
    LabelWalk walk(line, map, style, textWidth, zeroHeight);
    const int count = int(line.size());
    const int need = walk.need;
    int f = 0;
    while (f < count) {
        // a. the end vertex i of the shortest stretch from f reaching `need` pixels.
        int i = f + 1;
        if (i >= count)
            break;
        float along = SegmentLength(line[size_t(f)], line[size_t(i)]);
        int len = map.MapLength(along);
        while (len < need && i != count - 1) {
            ++i;
            along += SegmentLength(line[size_t(i - 1)], line[size_t(i)]);
            len = map.MapLength(along);
        }
        if (len < need)
            break;  // the rest of the polyline is shorter than a label; later starts are shorter still

        // b. the anchor, at half the stretch length.
        int j = f + 1;
        float part = SegmentLength(line[size_t(f)], line[size_t(j)]);
        while (map.MapLength(part) < len / 2 && j < i) {
            ++j;
            part += SegmentLength(line[size_t(j - 1)], line[size_t(j)]);
        }
        // After a label the search goes on past the stretch (g.), after a refusal one vertex on.
        f = walk.Consider(f, i, j, len) ? i + 1 : f + 1;
    }
    return std::move(walk.labels);
}

std::vector<LabelPlacement> PlaceLabelsOnPolyline(const CCMAP_Polyline& line, const NormalisedToDevice& map,
                                                  const LabelStyle& style, int textWidth, int zeroHeight)
{
    if (!LengthGrowsWithDistance(map))
        return PlaceLabelsOnPolylineStepwise(line, map, style, textWidth, zeroHeight);
    const StretchSums sums(line);
    if (!sums.Usable())
        return PlaceLabelsOnPolylineStepwise(line, map, style, textWidth, zeroHeight);
    LengthThresholds thresholds(map);
    LabelWalk walk(line, map, style, textWidth, zeroHeight);
    const int count = int(line.size());
    const float needLength = thresholds.Threshold(walk.need);
    int f = 0;
    int endFloor = 0;  // no stretch from f or later can end below this vertex
    while (f + 1 < count) {
        // a. the shortest stretch from f reaching `need` pixels, if any: close to the last one.
        const int i = sums.FirstReachingNear(f, std::max(f + 1, endFloor), count - 1, needLength, &endFloor);
        if (i >= count)
            break;  // later starts are shorter still
        const int len = sums.DeviceLength(f, i, map);
        // b. the anchor's segment, where half the stretch length is reached (the last one at most).
        const int j = std::min(i, sums.FirstReaching(f, f + 1, i, thresholds.Threshold(len / 2)));
        f = walk.Consider(f, i, j, len) ? i + 1 : f + 1;
    }
    return std::move(walk.labels);
}

std::vector<LabelPlacement> PlaceLabelsOnLevel(const CCMAP_ContourLevel& level, const NormalisedToDevice& map,
                                               const LabelStyle& style, int textWidth, int textHeight,
                                               int zeroHeight, const TxRect& clip)
{
    std::vector<LabelPlacement> all;
    const int widen = std::max(textWidth, textHeight);
    for (const auto& line : level.polylines) {
        // Device y grows downwards: the top of the box comes from the largest normalised y.
        const int left = map.MapX(line->minX) - widen, right = map.MapX(line->maxX) + widen;
        const int top = map.MapY(line->maxY) - widen, bottom = map.MapY(line->minY) + widen;
        if (right < clip.left || left > clip.right || bottom < clip.top || top > clip.bottom)
            continue;
        const auto labels = PlaceLabelsOnPolyline(*line, map, style, textWidth, zeroHeight);
        all.insert(all.end(), labels.begin(), labels.end());
    }
    return all;
}
