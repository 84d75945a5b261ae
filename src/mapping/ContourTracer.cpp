#include "mapping/ContourTracer.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstring>
#include <memory>
#include <optional>

#if defined(__SSE2__)
#include <xmmintrin.h>
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

    // The node values row by row: node (i, j) at j * NX + i. Left uninitialised until copied.
    std::unique_ptr<float[]> nodeRows;

    explicit BoxRanges(const CSurface3DData& s)
    {
        boxesX = std::max(0, s.NX() - 1);
        boxesY = std::max(0, s.NY() - 1);
        CopyRows(s);
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

    // The sweep goes along rows while the nodes are stored column by column: a copy row by row
    // lets it read neighbouring nodes from neighbouring addresses. Copied a block of rows at a
    // time, so that both the reads and the writes stay within a few cache lines per column.
    void CopyRows(const CSurface3DData& s)
    {
        const size_t nx = size_t(s.NX()), ny = size_t(s.NY());
        nodeRows.reset(new float[nx * ny]);
        constexpr size_t kRowBlock = 16;
        float* rows = nodeRows.get();
        for (size_t jb = 0; jb < ny; jb += kRowBlock) {
            const size_t jEnd = std::min(ny, jb + kRowBlock);
            size_t i = 0;
#if defined(__SSE2__)
            // Four columns by four rows at a time.
            for (; i + 4 <= nx; i += 4) {
                const float* c0 = s.Column(int32_t(i));
                const float* c1 = c0 + ny;
                const float* c2 = c1 + ny;
                const float* c3 = c2 + ny;
                size_t j = jb;
                for (; j + 4 <= jEnd; j += 4) {
                    __m128 a = _mm_loadu_ps(c0 + j), b = _mm_loadu_ps(c1 + j);
                    __m128 c = _mm_loadu_ps(c2 + j), d = _mm_loadu_ps(c3 + j);
                    _MM_TRANSPOSE4_PS(a, b, c, d);
                    float* at = rows + j * nx + i;
                    _mm_storeu_ps(at, a);
                    _mm_storeu_ps(at + nx, b);
                    _mm_storeu_ps(at + 2 * nx, c);
                    _mm_storeu_ps(at + 3 * nx, d);
                }
                for (; j < jEnd; ++j) {
                    float* at = rows + j * nx + i;
                    at[0] = c0[j];
                    at[1] = c1[j];
                    at[2] = c2[j];
                    at[3] = c3[j];
                }
            }
#endif
            for (; i < nx; ++i) {
                const float* c = s.Column(int32_t(i));
                for (size_t j = jb; j < jEnd; ++j)
                    rows[j * nx + i] = c[j];
            }
        }
    }

    // Node values (0, j) .. (NX - 1, j).
    const float* Row(int32_t j) const { return nodeRows.get() + size_t(j) * size_t(boxesX + 1); }

    float RunLo(int32_t run, int32_t j) const { return runLo[size_t(run) * size_t(boxesY) + size_t(j)]; }
    float RunHi(int32_t run, int32_t j) const { return runHi[size_t(run) * size_t(boxesY) + size_t(j)]; }
};

// Smallest and largest node value of boxes begin .. end - 1 of row j (at most kRunBoxes), a box
// with a value that is not finite getting an empty range so that it is never traced.
void RangesOfBoxes(const BoxRanges& r, int32_t begin, int32_t end, int32_t j, float* lo, float* hi)
{
    const float* below = r.Row(j) + begin;
    const float* above = r.Row(j + 1) + begin;
    const int32_t count = end - begin;
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
void TraceBox(const CSurface3DData& s, const BoxRanges& r, int32_t i, int32_t j, float v, CCMAP_Templine& out)
{
    double h[5], xh[5], yh[5];
    int sh[5];
    const double level = v;
    const int32_t ci[5] = {0, i, i + 1, i + 1, i};
    const int32_t cj[5] = {0, j, j, j + 1, j + 1};
    const float* below = r.Row(j);
    const float* above = r.Row(j + 1);
    const float z[5] = {0.0f, below[i], below[i + 1], above[i + 1], above[i]};
    for (int m = 4; m >= 1; --m) {
        h[m] = double(z[m]) - level;
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

// Where the segments of one row of boxes begin in a sub-level's array, and the band of y that
// row spans: every point of those segments lies within yLow .. yHigh.
struct SegmentRow {
    uint32_t first;
    float yLow, yHigh;
};

// One level value of a sweep and the segment array it fills.
struct SweepLevel {
    float value;
    CCMAP_Templine* out;
    std::vector<SegmentRow>* rows = nullptr;  // where each row's segments begin, when wanted
    int32_t lastRow = -1;                     // the row of the last segment, while rows are noted
};

// Appends the segments of every level of `levels` (ascending by value, none a NaN) over boxes
// i0..i1-1, j0..j1-1. One sweep serves all levels: a row, and within it a run of boxes, is
// visited for just the levels inside its range, so each box's nodes are read while they are in
// the cache. Each level's array still gets its segments in the order of a sweep for that level
// alone: rows from the top down, boxes left to right, triangles 1..4. The cancel flag is read
// once per row and once per run of boxes holding a level, at most kRunBoxes boxes apart.
bool TraceSweep(const CSurface3DData& s, const BoxRanges& r, int32_t i0, int32_t i1, int32_t j0, int32_t j1,
                std::vector<SweepLevel>& levels)
{
    const auto firstAtLeast = [](auto from, auto to, float bound) {
        return std::lower_bound(from, to, bound, [](const SweepLevel& l, float b) { return l.value < b; });
    };
    const int32_t firstRun = i0 / BoxRanges::kRunBoxes;
    const int32_t lastRun = i0 < i1 ? (i1 - 1) / BoxRanges::kRunBoxes : firstRun - 1;  // none when empty
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
            RangesOfBoxes(r, begin, end, j, lo, hi);
            for (; level != levels.end() && level->value <= runHi; ++level) {
                uint32_t crossed = CrossedBoxes(lo, hi, end - begin, level->value);
                if (crossed != 0 && level->rows && level->lastRow != j) {
                    level->rows->push_back({uint32_t(level->out->size()), s.Y(j), s.Y(j + 1)});
                    level->lastRow = j;
                }
                for (; crossed != 0; crossed &= crossed - 1)
                    TraceBox(s, r, begin + std::countr_zero(crossed), j, level->value, *level->out);
            }
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

// The segments sorted by one of their ends, for finding an unused segment with a given end point
// where three or more ends meet. The keys sit next to the segment numbers, so sorting and
// searching read one array in order; the sort compares exactly as (x, then y) does, so equal end
// points keep the order that sorting the segment numbers by their coordinates gives. That order
// decides which of several segments at one point is taken, so the whole array is sorted the
// same way every time, even when only a few points are crowded.
class EndpointIndex {
public:
    EndpointIndex(const CCMAP_Templine& segments, bool byStart) : m_segments(segments), m_byStart(byStart)
    {
        m_entries.resize(segments.size());
        for (size_t s = 0; s < segments.size(); ++s)
            m_entries[s] = {PointKey(End(uint32_t(s))), uint32_t(s)};
        std::sort(m_entries.begin(), m_entries.end(), [](const Entry& a, const Entry& b) { return a.key < b.key; });
    }

    // An unused segment whose end of this index equals p, or -1.
    int64_t Find(KW_FPOINT p, const std::vector<uint8_t>& used) const
    {
        const uint64_t key = PointKey(p);
        auto it = std::lower_bound(m_entries.begin(), m_entries.end(), key,
                                   [](const Entry& e, uint64_t k) { return e.key < k; });
        for (; it != m_entries.end() && it->key == key; ++it)
            if (!used[it->segment] && End(it->segment) == p)
                return it->segment;
        return -1;
    }

private:
    struct Entry {
        uint64_t key;
        uint32_t segment;
    };
    KW_FPOINT End(uint32_t s) const
    {
        const Templine& t = m_segments[s];
        return m_byStart ? KW_FPOINT{t.x1, t.y1} : KW_FPOINT{t.x2, t.y2};
    }

    const CCMAP_Templine& m_segments;
    bool m_byStart;
    std::vector<Entry> m_entries;
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
constexpr uint32_t kNoEnd = UINT32_MAX;        // no other end at the point
constexpr uint32_t kCrowded = UINT32_MAX - 1;  // three or more ends at the point

// Links every segment end to its partner, the one other end at the same point (equal x and equal
// y, -0.0 being 0.0). That is what a level gives almost everywhere: only where it passes exactly
// through a grid node or a box centre, or where two crossings round to one float, do three or
// more ends meet, and those ends are marked crowded. A point with a coordinate that is not a
// number equals nothing.
//
// Points are matched through a hash table. Given the rows of boxes the segments came from (in
// the order traced, from the top down), only two rows' points are in the table at a time: a
// point in one row can equal only points of that row or of the row next to it, since rows
// further apart have disjoint bands of y. The small tables stay in the cache where one table
// for a whole sub-level would not. Without rows, or when a point lies outside its row's band,
// one table takes all points.
class EndPartners {
public:
    void Build(const CCMAP_Templine& segments, const std::vector<SegmentRow>* rows)
    {
        if (segments.size() >= kEndMask / 2) {  // beyond the slot's end numbers: no links at all
            m_partner.assign(2 * segments.size(), kCrowded);
            m_crowded = true;
            return;
        }
        if (rows && BuildByRows(segments, *rows))
            return;
        Reset(segments.size());
        m_current.Reset(segments.size());
        for (size_t s = 0; s < segments.size(); ++s) {
            const Templine& t = segments[s];
            AddEnd(m_current, {t.x1, t.y1}, uint32_t(2 * s));
            AddEnd(m_current, {t.x2, t.y2}, uint32_t(2 * s + 1));
        }
    }

    // The other end at the point of `end`, kNoEnd or kCrowded.
    uint32_t Partner(uint32_t end) const { return m_partner[end]; }
    bool Crowded() const { return m_crowded; }

private:
    static constexpr uint32_t kPaired = 0x80000000u;   // a second end came to the point
    static constexpr uint32_t kCrowdedBit = 0x40000000u;  // and a third
    static constexpr uint32_t kEndMask = 0x3FFFFFFFu;

    struct Slot {
        uint32_t keyHigh = 0, keyLow = 0;  // the point's key, in two halves to keep slots at 16 bytes
        uint32_t stamp = 0;
        uint32_t end = 0;  // the first end seen at the point, with kPaired and kCrowdedBit
    };

    // Open addressing with linear probes. The slots are kept from one use to the next: a slot is
    // taken only while it carries the table's current stamp, so starting afresh costs nothing.
    class PointTable {
    public:
        void Reset(size_t points)
        {
            size_t slots = 16;
            while (2 * slots < 3 * points)  // a load of at most two thirds keeps the probes short
                slots *= 2;
            if (m_slots.size() < slots) {
                m_slots.assign(slots, Slot{});
                m_stamp = 0;
            }
            m_mask = slots - 1;
            if (++m_stamp == 0) {  // the stamps went round: clear them once
                std::fill(m_slots.begin(), m_slots.end(), Slot{});
                m_stamp = 1;
            }
        }
        Slot* Find(uint64_t key)
        {
            for (size_t i = Home(key);; i = (i + 1) & m_mask) {
                Slot& slot = m_slots[i];
                if (slot.stamp != m_stamp)
                    return nullptr;
                if (slot.keyHigh == uint32_t(key >> 32) && slot.keyLow == uint32_t(key))
                    return &slot;
            }
        }
        // The slot of `key` if it was there; else adds it with `end` and returns nullptr.
        Slot* FindOrAdd(uint64_t key, uint32_t end)
        {
            for (size_t i = Home(key);; i = (i + 1) & m_mask) {
                Slot& slot = m_slots[i];
                if (slot.stamp != m_stamp) {
                    slot = {uint32_t(key >> 32), uint32_t(key), m_stamp, end};
                    return nullptr;
                }
                if (slot.keyHigh == uint32_t(key >> 32) && slot.keyLow == uint32_t(key))
                    return &slot;
            }
        }

    private:
        size_t Home(uint64_t key) const
        {
            // Fibonacci hashing: the multiply spreads neighbouring coordinates over the table.
            return size_t((key * 0x9E3779B97F4A7C15ull) >> 32) & m_mask;
        }
        std::vector<Slot> m_slots;
        size_t m_mask = 0;
        uint32_t m_stamp = 0;
    };

    void Reset(size_t segments)
    {
        m_partner.assign(2 * segments, kNoEnd);
        m_crowded = false;
    }

    // Another end at the point of `slot`.
    void Meet(Slot& slot, uint32_t end)
    {
        const uint32_t first = slot.end & kEndMask;
        if (slot.end & kCrowdedBit) {
            m_partner[end] = kCrowded;
        } else if (slot.end & kPaired) {
            const uint32_t second = m_partner[first];
            m_partner[first] = m_partner[second] = m_partner[end] = kCrowded;
            slot.end |= kCrowdedBit;
            m_crowded = true;
        } else {
            m_partner[first] = end;
            m_partner[end] = first;
            slot.end |= kPaired;
        }
    }

    void AddEnd(PointTable& table, KW_FPOINT p, uint32_t end)
    {
        if (std::isnan(p.x) || std::isnan(p.y))
            return;
        if (Slot* slot = table.FindOrAdd(PointKey(p), end))
            Meet(*slot, end);
    }

    // False, with nothing decided, when the rows do not keep their points apart as they should.
    bool BuildByRows(const CCMAP_Templine& segments, const std::vector<SegmentRow>& rows)
    {
        for (size_t r = 0; r < rows.size(); ++r) {
            // Bands of positive height, each at or below the one before: rows two apart in the
            // list share no y.
            if (!(rows[r].yLow < rows[r].yHigh) || (r > 0 && !(rows[r].yHigh <= rows[r - 1].yLow)))
                return false;
            if (rows[r].first > segments.size() || (r > 0 && rows[r].first < rows[r - 1].first))
                return false;
        }
        if (segments.empty() || rows.empty() || rows[0].first != 0)
            return segments.empty();
        Reset(segments.size());
        PointTable* previous = &m_previous;
        PointTable* current = &m_current;
        previous->Reset(0);
        for (size_t r = 0; r < rows.size(); ++r) {
            const size_t first = rows[r].first;
            const size_t last = r + 1 < rows.size() ? rows[r + 1].first : segments.size();
            current->Reset(2 * (last - first));
            for (size_t s = first; s < last; ++s) {
                const Templine& t = segments[s];
                const KW_FPOINT ends[2] = {{t.x1, t.y1}, {t.x2, t.y2}};
                for (uint32_t k = 0; k < 2; ++k) {
                    const KW_FPOINT p = ends[k];
                    const uint32_t end = uint32_t(2 * s + k);
                    if (std::isnan(p.x) || std::isnan(p.y))
                        continue;
                    if (!(rows[r].yLow <= p.y && p.y <= rows[r].yHigh))
                        return false;
                    // Only a point on the line between this row and the one before can be in both.
                    const uint64_t key = PointKey(p);
                    Slot* slot = p.y == rows[r].yHigh ? previous->Find(key) : nullptr;
                    if (slot || (slot = current->FindOrAdd(key, end)) != nullptr)
                        Meet(*slot, end);
                }
            }
            std::swap(previous, current);
        }
        return true;
    }

    PointTable m_previous, m_current;
    std::vector<uint32_t> m_partner;  // per end: the other end at its point, kNoEnd or kCrowded
    bool m_crowded = false;
};

// Joins the segments of one sub-level after another, keeping its tables between them.
class SegmentJoiner {
public:
    bool Join(const CCMAP_Templine& segments, const std::vector<SegmentRow>* rows, CCMAP_ContourLevel& level,
              const std::atomic<int32_t>* cancel)
    {
        if (segments.empty())
            return true;
        m_partners.Build(segments, rows);
        // Where three or more ends meet, the sorted order of equal end points decides: a segment
        // starting at the point before one ending there.
        std::optional<EndpointIndex> starts, ends;
        if (m_partners.Crowded()) {
            starts.emplace(segments, true);
            ends.emplace(segments, false);
        }
        return Walk(segments, level, cancel, [&](KW_FPOINT p, uint32_t endThere) -> int64_t {
            const uint32_t other = m_partners.Partner(endThere);
            if (other == kCrowded) {
                const int64_t found = starts->Find(p, m_used);
                return found >= 0 ? found : ends->Find(p, m_used);
            }
            return (other == kNoEnd || m_used[other >> 1]) ? -1 : int64_t(other >> 1);
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
    return joiner.Join(segments, nullptr, level, cancel);
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
    std::vector<std::vector<SegmentRow>> rows(static_cast<size_t>(entries));
    std::vector<SweepLevel> sweep;
    for (int e = 0; e < entries; ++e) {
        const float v = SubLevelValue(levels, params, e);
        if (!std::isnan(v))  // a NaN holds no box
            sweep.push_back({v, &segments[size_t(e)], &rows[size_t(e)]});
    }
    std::stable_sort(sweep.begin(), sweep.end(),
                     [](const SweepLevel& a, const SweepLevel& b) { return a.value < b.value; });
    if (!TraceSweep(surface, ranges, 0, ranges.boxesX, 0, ranges.boxesY, sweep))
        return false;
    SegmentJoiner joiner;
    for (int e = 0; e < entries; ++e) {
        CCMAP_Templine& own = segments[size_t(e)];
        if (!joiner.Join(own, &rows[size_t(e)], result.entries[size_t(e)], &surface.cancel))
            return false;
        CCMAP_Templine().swap(own);  // no longer needed
        if (surface.Cancelled())
            return false;
    }
    return true;
}
