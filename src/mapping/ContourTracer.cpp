#include "mapping/ContourTracer.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "mapping/Surface3DData.h"

namespace {

// castab[sign(h1) + 1][sign(h0) + 1][sign(h2) + 1] for a triangle (m1, centre, m3).
constexpr int kCaseTable[3][3][3] = {{{0, 0, 8}, {0, 2, 5}, {7, 6, 9}},
                                     {{0, 3, 4}, {1, 3, 1}, {4, 3, 0}},
                                     {{9, 6, 7}, {5, 2, 0}, {8, 0, 0}}};

inline int Sign(double h)
{
    return h > 0.0 ? 1 : (h < 0.0 ? -1 : 0);
}

// A node value that is not finite makes its boxes untraceable; for the ranges below it counts
// as no value at all (+inf for a smallest, -inf for a largest value).
inline bool IsFinite(float z)
{
    return std::fabs(z) <= FLT_MAX;
}

// The smallest and largest finite node value of every run of kRunBoxes boxes within a row of
// boxes (run r of row j spans boxes 32r .. 32r + 31, nodes 32r .. 32r + 32 by j .. j + 1), and
// of every whole row, so that a sweep passes over a row or a run without a level by reading two
// floats. A run's range holds the range of each of its boxes with only finite values, which is
// all a filter needs. The runs are stored run by run (run r of row j at r * boxesY + j), so one
// pass down the node columns, which are stored one after another, fills them.
struct BoxRanges {
    static constexpr int32_t kRunBoxes = 32;
    int32_t boxesX = 0;
    int32_t boxesY = 0;
    int32_t runsPerRow = 0;
    std::vector<float> runLo, runHi;
    std::vector<float> rowLo, rowHi;

    explicit BoxRanges(const CSurface3DData& s)
    {
        boxesX = std::max(0, s.NX() - 1);
        boxesY = std::max(0, s.NY() - 1);
        runsPerRow = (boxesX + kRunBoxes - 1) / kRunBoxes;
        runLo.assign(size_t(runsPerRow) * size_t(boxesY), INFINITY);
        runHi.assign(runLo.size(), -INFINITY);
        std::vector<float> pairLo(static_cast<size_t>(boxesY)), pairHi(static_cast<size_t>(boxesY));
        for (int32_t i = 0; i <= boxesX && boxesY > 0; ++i) {
            // Nodes (i, j) and (i, j + 1) of every row of boxes.
            const float* c = s.Column(i);
            for (int32_t j = 0; j < boxesY; ++j) {
                const float a = c[j], b = c[j + 1];
                const float aLo = IsFinite(a) ? a : INFINITY, bLo = IsFinite(b) ? b : INFINITY;
                const float aHi = IsFinite(a) ? a : -INFINITY, bHi = IsFinite(b) ? b : -INFINITY;
                pairLo[size_t(j)] = std::min(aLo, bLo);
                pairHi[size_t(j)] = std::max(aHi, bHi);
            }
            // Column i is the left side of a box of run i / 32 and the right side of one of
            // run (i - 1) / 32.
            const int32_t runs[2] = {i < boxesX ? i / kRunBoxes : -1,
                                     (i > 0 && (i % kRunBoxes == 0 || i == boxesX)) ? (i - 1) / kRunBoxes : -1};
            for (const int32_t run : runs) {
                if (run < 0)
                    continue;
                float* lo = runLo.data() + size_t(run) * size_t(boxesY);
                float* hi = runHi.data() + size_t(run) * size_t(boxesY);
                for (int32_t j = 0; j < boxesY; ++j) {
                    lo[j] = std::min(lo[j], pairLo[size_t(j)]);
                    hi[j] = std::max(hi[j], pairHi[size_t(j)]);
                }
            }
        }
        rowLo.assign(size_t(boxesY), INFINITY);
        rowHi.assign(size_t(boxesY), -INFINITY);
        for (int32_t run = 0; run < runsPerRow; ++run)
            for (int32_t j = 0; j < boxesY; ++j) {
                rowLo[size_t(j)] = std::min(rowLo[size_t(j)], RunLo(run, j));
                rowHi[size_t(j)] = std::max(rowHi[size_t(j)], RunHi(run, j));
            }
    }

    float RunLo(int32_t run, int32_t j) const { return runLo[size_t(run) * size_t(boxesY) + size_t(j)]; }
    float RunHi(int32_t run, int32_t j) const { return runHi[size_t(run) * size_t(boxesY) + size_t(j)]; }
};

// Smallest and largest node value of boxes begin .. end - 1 of row j (at most kRunBoxes), a box
// with a value that is not finite getting an empty range so that it is never traced.
void RangesOfBoxes(const CSurface3DData& s, int32_t begin, int32_t end, int32_t j, float* lo, float* hi)
{
    float below[BoxRanges::kRunBoxes + 1], above[BoxRanges::kRunBoxes + 1];
    const int32_t count = end - begin;
    for (int32_t k = 0; k <= count; ++k) {
        const float* c = s.Column(begin + k) + j;
        below[k] = c[0];
        above[k] = c[1];
    }
    for (int32_t k = 0; k < count; ++k) {
        const float a = below[k], b = below[k + 1], c = above[k + 1], d = above[k];
        float mn = std::min(std::min(a, b), std::min(c, d));
        float mx = std::max(std::max(a, b), std::max(c, d));
        if (!(IsFinite(a) && IsFinite(b) && IsFinite(c) && IsFinite(d))) {
            mn = INFINITY;
            mx = -INFINITY;
        }
        lo[k] = mn;
        hi[k] = mx;
    }
}

// Emits the segments of box (i, j) at level v.
void TraceBox(const CSurface3DData& s, int32_t i, int32_t j, float v, CCMAP_Templine& out)
{
    double h[5], xh[5], yh[5];
    int sh[5];
    const double level = v;
    const int32_t ci[5] = {0, i, i + 1, i + 1, i};
    const int32_t cj[5] = {0, j, j, j + 1, j + 1};
    for (int m = 4; m >= 1; --m) {
        h[m] = double(s.Value(ci[m], cj[m])) - level;
        xh[m] = s.X(ci[m]);
        yh[m] = s.Y(cj[m]);
    }
    h[0] = 0.25 * (h[1] + h[2] + h[3] + h[4]);
    xh[0] = 0.5 * (double(s.X(i)) + double(s.X(i + 1)));
    yh[0] = 0.5 * (double(s.Y(j)) + double(s.Y(j + 1)));
    for (int m = 0; m < 5; ++m)
        sh[m] = Sign(h[m]);

    auto sect = [&](int p, int q, double* x, double* y) {
        *x = (h[q] * xh[p] - h[p] * xh[q]) / (h[q] - h[p]);
        *y = (h[q] * yh[p] - h[p] * yh[q]) / (h[q] - h[p]);
    };
    for (int m = 1; m <= 4; ++m) {
        const int m1 = m, m2 = 0, m3 = (m == 4) ? 1 : m + 1;
        const int kase = kCaseTable[sh[m1] + 1][sh[m2] + 1][sh[m3] + 1];
        if (kase == 0)
            continue;
        double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
        switch (kase) {
        case 1:  // side m1-m2 lies on the level
            x1 = xh[m1], y1 = yh[m1], x2 = xh[m2], y2 = yh[m2];
            break;
        case 2:  // side m2-m3
            x1 = xh[m2], y1 = yh[m2], x2 = xh[m3], y2 = yh[m3];
            break;
        case 3:  // side m3-m1
            x1 = xh[m3], y1 = yh[m3], x2 = xh[m1], y2 = yh[m1];
            break;
        case 4:  // vertex m1 to side m2-m3
            x1 = xh[m1], y1 = yh[m1];
            sect(m2, m3, &x2, &y2);
            break;
        case 5:  // vertex m2 to side m3-m1
            x1 = xh[m2], y1 = yh[m2];
            sect(m3, m1, &x2, &y2);
            break;
        case 6:  // vertex m3 to side m1-m2
            x1 = xh[m3], y1 = yh[m3];
            sect(m1, m2, &x2, &y2);
            break;
        case 7:  // sides m1-m2 and m2-m3
            sect(m1, m2, &x1, &y1);
            sect(m2, m3, &x2, &y2);
            break;
        case 8:  // sides m2-m3 and m3-m1
            sect(m2, m3, &x1, &y1);
            sect(m3, m1, &x2, &y2);
            break;
        case 9:  // sides m3-m1 and m1-m2
            sect(m3, m1, &x1, &y1);
            sect(m1, m2, &x2, &y2);
            break;
        default:
            break;
        }
        out.push_back(Templine{float(x1), float(y1), float(x2), float(y2)});
    }
}

// Bit k set for each of the `count` (at most 32) boxes whose range [lo[k], hi[k]] holds v.
uint32_t CrossedBoxes(const float* lo, const float* hi, int32_t count, float v)
{
    uint32_t mask = 0;
    int32_t k = 0;
#if defined(__SSE2__)
    const __m128 level = _mm_set1_ps(v);
    for (; k + 4 <= count; k += 4) {
        const __m128 in = _mm_and_ps(_mm_cmple_ps(_mm_loadu_ps(lo + k), level),
                                     _mm_cmple_ps(level, _mm_loadu_ps(hi + k)));
        mask |= uint32_t(_mm_movemask_ps(in)) << k;
    }
#endif
    for (; k < count; ++k)
        mask |= uint32_t(lo[k] <= v && v <= hi[k]) << k;
    return mask;
}

// One level value of a sweep and the segment array it fills.
struct SweepLevel {
    float value;
    CCMAP_Templine* out;
};

// Appends the segments of every level of `levels` (ascending by value, none a NaN) over boxes
// i0..i1-1, j0..j1-1. One sweep serves all levels: a row, and within it a run of boxes, is
// visited for just the levels inside its range, so each box's nodes are read while they are in
// the cache. Each level's array still gets its segments in the order of a sweep for that level
// alone: rows from the top down, boxes left to right, triangles 1..4. The cancel flag is read
// once per row and once per run of boxes holding a level, at most kRunBoxes boxes apart.
bool TraceSweep(const CSurface3DData& s, const BoxRanges& r, int32_t i0, int32_t i1, int32_t j0, int32_t j1,
                const std::vector<SweepLevel>& levels)
{
    const auto firstAtLeast = [](auto from, auto to, float bound) {
        return std::lower_bound(from, to, bound, [](const SweepLevel& l, float b) { return l.value < b; });
    };
    const int32_t firstRun = i0 / BoxRanges::kRunBoxes;
    const int32_t lastRun = (i1 - 1) / BoxRanges::kRunBoxes;
    for (int32_t j = j1 - 1; j >= j0; --j) {
        if (s.Cancelled())
            return false;
        const auto rowFirst = firstAtLeast(levels.begin(), levels.end(), r.rowLo[size_t(j)]);
        if (rowFirst == levels.end() || !(rowFirst->value <= r.rowHi[size_t(j)]))
            continue;  // no box of this row holds a level
        for (int32_t run = firstRun; run <= lastRun; ++run) {
            const float runHi = r.RunHi(run, j);
            auto level = firstAtLeast(rowFirst, levels.end(), r.RunLo(run, j));
            if (level == levels.end() || !(level->value <= runHi))
                continue;
            if (s.Cancelled())
                return false;
            const int32_t begin = std::max(i0, run * BoxRanges::kRunBoxes);
            const int32_t end = std::min(i1, (run + 1) * BoxRanges::kRunBoxes);
            if (begin >= end)
                continue;
            float lo[BoxRanges::kRunBoxes], hi[BoxRanges::kRunBoxes];
            RangesOfBoxes(s, begin, end, j, lo, hi);
            for (; level != levels.end() && level->value <= runHi; ++level)
                for (uint32_t crossed = CrossedBoxes(lo, hi, end - begin, level->value);
                     crossed != 0; crossed &= crossed - 1)
                    TraceBox(s, begin + std::countr_zero(crossed), j, level->value, *level->out);
        }
    }
    return true;
}

// A polyline being grown at both ends: the front points in reverse order, then the back points.
struct PolylineBuilder {
    std::vector<KW_FPOINT> front;  // front.back() is the first point
    std::vector<KW_FPOINT> back;   // back.back() is the last point
    CCMAP_Polyline bounds;         // closed flag and bounding box only

    KW_FPOINT First() const { return front.empty() ? back.front() : front.back(); }
    KW_FPOINT Last() const { return back.back(); }
    void Widen(KW_FPOINT p)
    {
        bounds.minX = std::min(bounds.minX, p.x);
        bounds.minY = std::min(bounds.minY, p.y);
        bounds.maxX = std::max(bounds.maxX, p.x);
        bounds.maxY = std::max(bounds.maxY, p.y);
    }
    void Start(KW_FPOINT a, KW_FPOINT b)
    {
        front.clear();
        back.assign({a, b});
        bounds.minX = bounds.maxX = a.x;
        bounds.minY = bounds.maxY = a.y;
        Widen(b);
        bounds.closed = (a == b) ? 1 : 0;
    }
    void InsertFront(KW_FPOINT p)
    {
        front.push_back(p);
        Widen(p);
        bounds.closed = (p == Last()) ? 1 : 0;
    }
    void InsertBack(KW_FPOINT p)
    {
        back.push_back(p);
        Widen(p);
        bounds.closed = (p == First()) ? 1 : 0;
    }
    std::unique_ptr<CCMAP_Polyline> Finish() const
    {
        auto line = std::make_unique<CCMAP_Polyline>();
        line->reserve(front.size() + back.size());
        line->insert(line->end(), front.rbegin(), front.rend());
        line->insert(line->end(), back.begin(), back.end());
        line->closed = bounds.closed;
        line->minX = bounds.minX;
        line->minY = bounds.minY;
        line->maxX = bounds.maxX;
        line->maxY = bounds.maxY;
        return line;
    }
};

// A point as one 64-bit key that orders like (x, then y): the float bits turned so that integer
// order is numeric order, with -0.0 taken as 0.0 (the two are equal as end points).
uint64_t PointKey(KW_FPOINT p)
{
    auto ordered = [](float v) {
        if (v == 0.0f)
            v = 0.0f;
        uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return (bits & 0x80000000u) ? ~bits : (bits | 0x80000000u);
    };
    return (uint64_t(ordered(p.x)) << 32) | ordered(p.y);
}

// The segments sorted by one of their ends, for finding an unused segment with a given end point.
// The keys sit next to the segment numbers, so sorting and searching read one array in order;
// the sort compares exactly as (x, then y) does, so equal end points keep the order that sorting
// the segment numbers by their coordinates gives.
class EndpointIndex {
public:
    EndpointIndex(const CCMAP_Templine& segments, bool byStart) : m_segments(segments), m_byStart(byStart)
    {
        m_entries.resize(segments.size());
        for (size_t s = 0; s < segments.size(); ++s)
            m_entries[s] = {PointKey(End(uint32_t(s))), uint32_t(s)};
        std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
        // Where each key's run of entries starts, in an open-addressed table of at least twice
        // as many slots as entries.
        size_t slots = 16;
        while (slots < 2 * m_entries.size())
            slots *= 2;
        m_runStart.assign(slots, kEmpty);
        for (size_t e = 0; e < m_entries.size(); ++e) {
            if (e > 0 && m_entries[e].key == m_entries[e - 1].key)
                continue;
            size_t slot = Slot(m_entries[e].key);
            while (m_runStart[slot] != kEmpty)
                slot = (slot + 1) & (m_runStart.size() - 1);
            m_runStart[slot] = uint32_t(e);
        }
    }

    // An unused segment whose end of this index equals p, or -1.
    int64_t Find(KW_FPOINT p, const std::vector<uint8_t>& used) const
    {
        const uint64_t key = PointKey(p);
        for (size_t slot = Slot(key); m_runStart[slot] != kEmpty; slot = (slot + 1) & (m_runStart.size() - 1)) {
            auto it = m_entries.begin() + m_runStart[slot];
            if (it->key != key)
                continue;
            for (; it != m_entries.end() && it->key == key; ++it)
                if (!used[it->segment] && End(it->segment) == p)
                    return it->segment;
            return -1;
        }
        return -1;
    }

private:
    struct Entry {
        uint64_t key;
        uint32_t segment;
    };
    static constexpr uint32_t kEmpty = UINT32_MAX;
    size_t Slot(uint64_t key) const
    {
        // Fibonacci hashing: the multiply spreads neighbouring coordinates over the table.
        return size_t((key * 0x9E3779B97F4A7C15ull) >> 32) & (m_runStart.size() - 1);
    }
    KW_FPOINT End(uint32_t s) const
    {
        const Templine& t = m_segments[s];
        return m_byStart ? KW_FPOINT{t.x1, t.y1} : KW_FPOINT{t.x2, t.y2};
    }

    const CCMAP_Templine& m_segments;
    bool m_byStart;
    std::vector<Entry> m_entries;
    std::vector<uint32_t> m_runStart;  // hash slot -> first entry of a key, or kEmpty
};

}  // namespace

bool TraceLevel(const CSurface3DData& surface, int32_t i0, int32_t i1, int32_t j0, int32_t j1, float v,
                CCMAP_Templine& out)
{
    if (!surface.HasGrid())
        return true;
    i0 = std::max(0, i0);
    j0 = std::max(0, j0);
    i1 = std::min(i1, surface.NX() - 1);
    j1 = std::min(j1, surface.NY() - 1);
    const BoxRanges ranges(surface);
    std::vector<SweepLevel> levels;
    if (!std::isnan(v))  // a NaN holds no box
        levels.push_back({v, &out});
    return TraceSweep(surface, ranges, i0, i1, j0, j1, levels);
}

namespace {

// Segment ends are numbered 2 x segment (its start) and 2 x segment + 1 (its end).
constexpr uint32_t kNoEnd = UINT32_MAX;

// Every end point met by at most two segment ends, which is what a level gives except where it
// passes exactly through a grid node or a box centre (or two crossings round to one float). At
// such a point the one other end is the only candidate, so the segment found does not depend on
// how equal end points are ordered, and it is known before the walk: each end is linked to its
// partner, the other end at the same point.
//
// The table of points is kept from one sub-level to the next: a slot belongs to the current
// sub-level only when it carries the current stamp, so nothing is cleared between sub-levels.
class EndPartners {
public:
    // False when some point is met by three or more ends, or a coordinate is not a number.
    bool Build(const CCMAP_Templine& segments)
    {
        if (segments.size() >= kPaired / 2)
            return false;
        // About as many points as segments: a load of at most two thirds keeps the probes short
        // and the table small enough to stay in the cache.
        size_t slots = 64;
        while (2 * slots < 3 * segments.size())
            slots *= 2;
        if (m_slots.size() < slots) {
            m_slots.assign(slots, Slot{});
            m_stamp = 0;
        }
        m_mask = slots - 1;
        if (++m_stamp == 0) {  // the stamps went round: start afresh
            std::fill(m_slots.begin(), m_slots.end(), Slot{});
            m_stamp = 1;
        }
        m_partner.assign(2 * segments.size(), kNoEnd);
        for (size_t s = 0; s < segments.size(); ++s) {
            const Templine& t = segments[s];
            if (std::isnan(t.x1) || std::isnan(t.y1) || std::isnan(t.x2) || std::isnan(t.y2))
                return false;
            if (!AddEnd({t.x1, t.y1}, uint32_t(2 * s)) || !AddEnd({t.x2, t.y2}, uint32_t(2 * s + 1)))
                return false;
        }
        return true;
    }

    // The other end at the point of `end`, or kNoEnd.
    uint32_t Partner(uint32_t end) const { return m_partner[end]; }

private:
    static constexpr uint32_t kPaired = 0x80000000u;  // set in Slot::end once a second end came
    struct Slot {
        uint32_t keyHigh = 0, keyLow = 0;  // the point's key, in two halves to keep slots at 12 bytes
        uint32_t stamp = 0;
        uint32_t end = 0;  // the first end seen at this point, with kPaired
    };

    bool AddEnd(KW_FPOINT p, uint32_t end)
    {
        const uint64_t key = PointKey(p);
        // Fibonacci hashing: the multiply spreads neighbouring coordinates over the table.
        for (size_t i = size_t((key * 0x9E3779B97F4A7C15ull) >> 32) & m_mask;; i = (i + 1) & m_mask) {
            Slot& slot = m_slots[i];
            if (slot.stamp != m_stamp) {
                slot = {uint32_t(key >> 32), uint32_t(key), m_stamp, end};
                return true;
            }
            if (slot.keyHigh == uint32_t(key >> 32) && slot.keyLow == uint32_t(key)) {
                if (slot.end & kPaired)
                    return false;  // a third end
                m_partner[slot.end] = end;
                m_partner[end] = slot.end;
                slot.end |= kPaired;
                return true;
            }
        }
    }

    std::vector<Slot> m_slots;
    size_t m_mask = 0;
    uint32_t m_stamp = 0;
    std::vector<uint32_t> m_partner;  // per end
};

// Joins the segments of one sub-level after another, keeping its tables between them.
class SegmentJoiner {
public:
    bool Join(const CCMAP_Templine& segments, CCMAP_ContourLevel& level, const std::atomic<int32_t>* cancel)
    {
        if (segments.empty())
            return true;
        if (m_partners.Build(segments))
            return Walk(segments, level, cancel, [&](KW_FPOINT, uint32_t endThere) -> int64_t {
                const uint32_t other = m_partners.Partner(endThere);
                return (other == kNoEnd || m_used[other >> 1]) ? -1 : int64_t(other >> 1);
            });
        // Where three or more ends meet, the sorted order of equal end points decides: a segment
        // starting at the point before one ending there.
        const EndpointIndex starts(segments, true);
        const EndpointIndex ends(segments, false);
        return Walk(segments, level, cancel, [&](KW_FPOINT p, uint32_t) {
            const int64_t found = starts.Find(p, m_used);
            return found >= 0 ? found : ends.Find(p, m_used);
        });
    }

private:
    // Grows polylines from the segments; `find(p, endThere)` gives an unused segment with an end
    // at p, where p is the point of the (used) end `endThere`, or -1.
    template <class FindEnd>
    bool Walk(const CCMAP_Templine& segments, CCMAP_ContourLevel& level, const std::atomic<int32_t>* cancel,
              FindEnd find)
    {
        m_used.assign(segments.size(), 0);
        size_t remaining = segments.size();
        size_t next = 0;
        while (remaining > 0) {
            if (cancel && cancel->load(std::memory_order_relaxed) != 0)
                return false;
            while (m_used[next])
                ++next;
            const Templine& first = segments[next];
            m_line.Start({first.x1, first.y1}, {first.x2, first.y2});
            m_used[next] = 1;
            uint32_t headEnd = uint32_t(2 * next), tailEnd = uint32_t(2 * next + 1);
            // Segments only ever become used, so a first point that found no neighbour never will.
            bool headEnded = false;
            for (;;) {
                --remaining;
                if (m_line.bounds.closed || remaining == 0)
                    break;
                const KW_FPOINT head = m_line.First();
                const KW_FPOINT tail = m_line.Last();
                int64_t found = headEnded ? -1 : find(head, headEnd);
                headEnded = found < 0;
                if (found < 0)
                    found = find(tail, tailEnd);
                if (found < 0)
                    break;
                const Templine& t = segments[size_t(found)];
                const KW_FPOINT a{t.x1, t.y1}, b{t.x2, t.y2};
                const uint32_t startEnd = uint32_t(2 * found), endEnd = startEnd + 1;
                if (a == head) {
                    m_line.InsertFront(b);
                    headEnd = endEnd;
                } else if (a == tail) {
                    m_line.InsertBack(b);
                    tailEnd = endEnd;
                } else if (b == head) {
                    m_line.InsertFront(a);
                    headEnd = startEnd;
                } else {
                    m_line.InsertBack(a);
                    tailEnd = startEnd;
                }
                m_used[size_t(found)] = 1;
            }
            level.polylines.push_back(m_line.Finish());
        }
        return true;
    }

    EndPartners m_partners;
    std::vector<uint8_t> m_used;  // per segment
    PolylineBuilder m_line;
};

}  // namespace

bool JoinSegments(const CCMAP_Templine& segments, CCMAP_ContourLevel& level, const std::atomic<int32_t>* cancel)
{
    SegmentJoiner joiner;
    return joiner.Join(segments, level, cancel);
}

float SubLevelValue(const CTXFloatArray& levels, const ContourParameters& params, int entry)
{
    const int parts = params.intermediate + 1;
    const int k = entry / parts, j = entry % parts;
    return levels[size_t(k)] + float(j) * (params.levelStep / float(parts));
}

bool TraceContours(const CSurface3DData& surface, const CTXFloatArray& levels, const ContourParameters& params,
                   CCMAP_ContourResult& result)
{
    result.Clear();
    if (!surface.IsValid())
        return false;
    float mn = 0.0f, mx = 0.0f;
    surface.GetValueRange(&mn, &mx);
    if (!(mn < mx))
        return false;
    const int parts = std::max(1, params.intermediate + 1);
    const int entries = int(levels.size()) * parts;
    result.entries.resize(size_t(entries));
    if (entries == 0)
        return true;
    const BoxRanges ranges(surface);
    std::vector<CCMAP_Templine> segments(size_t(entries), CCMAP_Templine{});
    std::vector<SweepLevel> sweep;
    for (int e = 0; e < entries; ++e) {
        const float v = SubLevelValue(levels, params, e);
        if (!std::isnan(v))  // a NaN holds no box
            sweep.push_back({v, &segments[size_t(e)]});
    }
    std::stable_sort(sweep.begin(), sweep.end(),
                     [](const SweepLevel& a, const SweepLevel& b) { return a.value < b.value; });
    if (!TraceSweep(surface, ranges, 0, ranges.boxesX, 0, ranges.boxesY, sweep))
        return false;
    SegmentJoiner joiner;
    for (int e = 0; e < entries; ++e) {
        CCMAP_Templine& own = segments[size_t(e)];
        if (!joiner.Join(own, result.entries[size_t(e)], &surface.cancel))
            return false;
        CCMAP_Templine().swap(own);  // no longer needed
        if (surface.Cancelled())
            return false;
    }
    return true;
}
