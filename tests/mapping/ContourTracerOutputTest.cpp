// The traced and joined output, pinned bit for bit: every polyline's points, their order, the
// closed flags and the bounding boxes of every result entry, as a 64-bit digest recorded from a
// trace known to be right. Any change in segment order, crossing arithmetic or joining choices
// (which segment is taken where three or more ends meet) changes the digest.
//
// The surfaces are built from integers and the four basic operations in double precision, then
// rounded to float once, so their values do not depend on the processor or the vector unit.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <random>

#include "mapping/ContourTracer.h"
#include "mapping/Surface3DData.h"

namespace {

// FNV-1a over the bytes fed to it.
class Digest {
public:
    void Add(const void* data, size_t size)
    {
        const auto* bytes = static_cast<const unsigned char*>(data);
        for (size_t k = 0; k < size; ++k) {
            m_value ^= bytes[k];
            m_value *= 0x100000001B3ull;
        }
    }
    template <class T>
    void Add(T value)
    {
        Add(&value, sizeof value);
    }
    uint64_t Value() const { return m_value; }

private:
    uint64_t m_value = 0xCBF29CE484222325ull;
};

void AddPolylines(Digest& d, const CCMAP_ContourLevel& level)
{
    d.Add(uint64_t(level.polylines.size()));
    for (const auto& line : level.polylines) {
        d.Add(uint64_t(line->size()));
        d.Add(line->closed);
        d.Add(line->minX);
        d.Add(line->minY);
        d.Add(line->maxX);
        d.Add(line->maxY);
        d.Add(line->data(), line->size() * sizeof(KW_FPOINT));
    }
}

uint64_t ResultDigest(const CCMAP_ContourResult& result)
{
    Digest d;
    d.Add(uint64_t(result.entries.size()));
    for (const CCMAP_ContourLevel& level : result.entries)
        AddPolylines(d, level);
    return d.Value();
}

// A value in [0, 1) from the node indices alone: a fixed integer hash.
double Noise(int i, int j)
{
    uint32_t h = uint32_t(i) * 0x9E3779B1u ^ uint32_t(j) * 0x85EBCA77u;
    h ^= h >> 15;
    h *= 0xC2B2AE3Du;
    h ^= h >> 13;
    return double(h % 4096u) / 4096.0;
}

using Coordinate = std::function<double(int index, int count)>;
using Height = std::function<double(int i, int j, double x, double y)>;

double Uniform(int k, int n)
{
    return n > 1 ? double(k) / double(n - 1) : 0.0;
}

// Denser towards 0: t * t.
double Squared(int k, int n)
{
    const double t = Uniform(k, n);
    return t * t;
}

// Denser towards both ends: 3t^2 - 2t^3.
double Smoothstep(int k, int n)
{
    const double t = Uniform(k, n);
    return t * t * (3.0 - 2.0 * t);
}

double Dome(double x, double y)
{
    return 80.0 - 100.0 * ((x - 0.45) * (x - 0.45) + (y - 0.55) * (y - 0.55));
}

// Two hills and a valley, with saddles between them.
double Hills(double x, double y)
{
    const double a = (x - 0.3) * (x - 0.3) + (y - 0.3) * (y - 0.3);
    const double b = (x - 0.7) * (x - 0.7) + (y - 0.6) * (y - 0.6);
    const double c = (x - 0.2) * (x - 0.2) + (y - 0.8) * (y - 0.8);
    return 40.0 + 30.0 / (1.0 + 20.0 * a) + 25.0 / (1.0 + 30.0 * b) - 20.0 / (1.0 + 40.0 * c);
}

struct SurfaceRow {
    const char* name;
    int nx, ny;
    Coordinate xAt, yAt;
    Height z;
    std::vector<float> levels;
    float step;
    bool traced;        // what TraceContours returns
    uint64_t expected;  // digest of the result
};

void Build(const SurfaceRow& row, CSurface3DData& s)
{
    ASSERT_TRUE(s.Allocate(row.nx, row.ny));
    for (int i = 0; i < row.nx; ++i)
        s.XArray()[size_t(i)] = float(row.xAt(i, row.nx));
    for (int j = 0; j < row.ny; ++j)
        s.YArray()[size_t(j)] = float(row.yAt(j, row.ny));
    for (int i = 0; i < row.nx; ++i)
        for (int j = 0; j < row.ny; ++j)
            s.Value(i, j) = float(row.z(i, j, double(s.X(i)), double(s.Y(j))));
    s.UpdateStatistics();
    s.SetValid(true);
}

void PrintTo(const SurfaceRow& row, std::ostream* os)
{
    *os << row.name;
}

class TracedOutputTest : public ::testing::TestWithParam<SurfaceRow> {};

TEST_P(TracedOutputTest, MatchesTheRecordedDigest)
{
    const SurfaceRow& row = GetParam();
    CSurface3DData s;
    Build(row, s);
    ContourParameters params;
    params.levelStep = row.step;
    CCMAP_ContourResult result;
    EXPECT_EQ(TraceContours(s, row.levels, params, result), row.traced);
    size_t polylines = 0, points = 0;
    for (const auto& level : result.entries)
        for (const auto& line : level.polylines) {
            ++polylines;
            points += line->size();
        }
    EXPECT_EQ(ResultDigest(result), row.expected)
        << std::hex << "0x" << ResultDigest(result) << std::dec << " (" << polylines << " polylines, " << points
        << " points)";
}

const float kNaN = std::numeric_limits<float>::quiet_NaN();
const float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Surfaces, TracedOutputTest,
    ::testing::Values(
        SurfaceRow{"Dome2x2", 2, 2, Uniform, Uniform, [](int, int, double x, double y) { return Dome(x, y); },
                   {20, 30}, 10, true, 0xdb7803dc6e36f41e},
        SurfaceRow{"Dome3x3", 3, 3, Uniform, Uniform, [](int, int, double x, double y) { return Dome(x, y); },
                   {50, 60, 70}, 10, true, 0x11671f0f6f8c7465},
        SurfaceRow{"OneColumn1x9", 1, 9, Uniform, Uniform, [](int, int j, double, double) { return 10.0 * j; },
                   {20, 30}, 10, true, 0x55b0986fe7822fc3},
        SurfaceRow{"OneRow9x1", 9, 1, Uniform, Uniform, [](int i, int, double, double) { return 10.0 * i; },
                   {20, 30}, 10, true, 0x55b0986fe7822fc3},
        SurfaceRow{"TwoRows40x2", 40, 2, Uniform, Uniform, [](int, int, double x, double y) { return Hills(x, y); },
                   {40, 50, 60}, 10, true, 0x1adedb9d97fdc3d5},
        SurfaceRow{"Hills17x13", 17, 13, Uniform, Uniform, [](int, int, double x, double y) { return Hills(x, y); },
                   {30, 40, 50, 60}, 10, true, 0xc83ce00acd0caa4a},
        SurfaceRow{"Hills200x150", 200, 150, Uniform, Uniform,
                   [](int, int, double x, double y) { return Hills(x, y); }, {30, 40, 50, 60}, 10, true, 0x28fa95c117b6e692},
        // Wider than any run of boxes a row might be split into, with an odd remainder.
        SurfaceRow{"NoisyHills301x257", 301, 257, Uniform, Uniform,
                   [](int i, int j, double x, double y) { return Hills(x, y) + 3.0 * Noise(i, j); },
                   {30, 40, 50, 60, 70}, 10, true, 0x3e15566ae7fca459},
        // The size of a map's grid.
        SurfaceRow{"NoisyHills1001x1001", 1001, 1001, Uniform, Uniform,
                   [](int i, int j, double x, double y) { return Hills(x, y) + 2.0 * Noise(i, j); },
                   {30, 40, 50, 60, 70, 80}, 10, true, 0xb43d8bf7cb5b0c8e},
        SurfaceRow{"NonUniformSpacing", 60, 45, Squared, Smoothstep,
                   [](int, int, double x, double y) { return Hills(x, y); }, {30, 40, 50, 60}, 10, true, 0x16af14441cd495b3},
        // Rows of boxes that are not in ascending order of y, or have no height, or straddle 0.
        SurfaceRow{"DescendingY", 45, 40, Uniform, [](int k, int n) { return 1.0 - Uniform(k, n); },
                   [](int, int, double x, double y) { return Hills(x, y); }, {30, 40, 50, 60}, 10, true, 0xfd37dd7b03a1fd19},
        SurfaceRow{"RepeatedY", 45, 40, Uniform, [](int k, int n) { return Uniform(k / 2, n / 2); },
                   [](int i, int j, double x, double y) { return Hills(x, y) + 3.0 * Noise(i, j); },
                   {30, 40, 50, 60}, 10, true, 0x24145da9520b19d5},
        SurfaceRow{"AcrossZero", 50, 42, [](int k, int n) { return 2.0 * Uniform(k, n) - 1.0; },
                   [](int k, int n) { return 0.5 - Uniform(k, n); },
                   [](int i, int j, double x, double y) { return Hills(0.5 + 0.5 * x, 0.5 + y) + Noise(i, j); },
                   {30, 40, 50, 60}, 10, true, 0xa466ed592564e8ed},
        // Integer heights on a ramp: every level runs through nodes and along box sides.
        SurfaceRow{"LevelsThroughNodes", 23, 19, Uniform, Uniform,
                   [](int i, int j, double, double) { return 10.0 * ((i + 2 * j) % 7); }, {0, 10, 20, 30, 40, 50, 60},
                   10, true, 0x118afdf0371fe45},
        // Alternating 0 and 20: every box centre is 10, so the level 10 meets four ends there.
        SurfaceRow{"LevelsThroughBoxCentres", 12, 11, Uniform, Uniform,
                   [](int i, int j, double, double) { return 20.0 * ((i + j) % 2); }, {0, 10, 20}, 10, true, 0xd5ba7e9ef01eb735},
        // Heights rounded to 2.5: terraces, whole boxes on a level, many points with 3+ ends.
        SurfaceRow{"Terraces", 41, 37, Uniform, Uniform,
                   [](int, int, double x, double y) { return 2.5 * std::floor(Hills(x, y) / 2.5); },
                   {40, 45, 50, 55, 60}, 5, true, 0xb5f4bf2c6cf4006a},
        // A plateau cut off exactly at a level, and a pit floored at another.
        SurfaceRow{"PlateauAtLevel", 33, 29, Uniform, Uniform,
                   [](int, int, double x, double y) { return std::max(40.0, std::min(70.0, Dome(x, y))); },
                   {40, 50, 60, 70}, 10, true, 0x6c5e067d3836634c},
        SurfaceRow{"NaNAndInfinityNodes", 31, 27, Uniform, Uniform,
                   [](int i, int j, double x, double y) -> double {
                       if (i == 7 && j == 9)
                           return kNaN;
                       if (i == 20 && j == 13)
                           return kInf;
                       if (i == 15 && j == 20)
                           return -kInf;
                       if (i == 30 && j == 0)
                           return kNaN;
                       return Dome(x, y);
                   },
                   {40, 50, 60, 70}, 10, true, 0x665021d14bf61994},
        SurfaceRow{"LevelsOutsideTheSurface", 20, 20, Uniform, Uniform,
                   [](int, int, double x, double y) { return Dome(x, y); }, {-100, 200}, 10, true, 0x55b0986fe7822fc3}),
    [](const auto& info) { return std::string(info.param.name); });

// The raw segments of one level over part of the grid, in the order they are emitted.
struct RangeRow {
    const char* name;
    int i0, i1, j0, j1;
    float level;
    uint64_t expected;
};

void PrintTo(const RangeRow& row, std::ostream* os)
{
    *os << row.name;
}

class TracedRangeTest : public ::testing::TestWithParam<RangeRow> {};

TEST_P(TracedRangeTest, MatchesTheRecordedDigest)
{
    const RangeRow& row = GetParam();
    const SurfaceRow surface{"Noisy", 150, 90, Uniform, Smoothstep,
                             [](int i, int j, double x, double y) { return Hills(x, y) + 3.0 * Noise(i, j); },
                             {}, 10, true, 0};
    CSurface3DData s;
    Build(surface, s);
    CCMAP_Templine segments;
    ASSERT_TRUE(TraceLevel(s, row.i0, row.i1, row.j0, row.j1, row.level, segments));
    Digest d;
    d.Add(uint64_t(segments.size()));
    d.Add(segments.data(), segments.size() * sizeof(Templine));
    EXPECT_EQ(d.Value(), row.expected) << std::hex << "0x" << d.Value() << std::dec << " (" << segments.size()
                                       << " segments)";
}

INSTANTIATE_TEST_SUITE_P(Ranges, TracedRangeTest,
                         ::testing::Values(RangeRow{"WholeGrid", 0, 149, 0, 89, 50.0f, 0xaad75847bcf31798},
                                           RangeRow{"BeyondTheGrid", -5, 400, -3, 300, 50.0f, 0xaad75847bcf31798},
                                           RangeRow{"InnerBlock", 37, 101, 11, 70, 47.5f, 0x8e6498469d14166a},
                                           RangeRow{"OneRowOfBoxes", 0, 149, 40, 41, 50.0f, 0x1a2acbea500f177a},
                                           RangeRow{"OneColumnOfBoxes", 75, 76, 0, 89, 50.0f, 0xc05ec6502821624d},
                                           RangeRow{"EmptyRange", 80, 80, 10, 60, 50.0f, 0xa8c7f832281a39c5}),
                         [](const auto& info) { return std::string(info.param.name); });

// Joining alone, on segments between the points of a small lattice: most points are met by
// three or more ends, so the order in which equal end points are tried decides every choice.
struct SoupRow {
    const char* name;
    int lattice;   // points per side
    int segments;  // how many
    unsigned seed;
    uint64_t expected;
};

void PrintTo(const SoupRow& row, std::ostream* os)
{
    *os << row.name;
}

class JoinedSoupTest : public ::testing::TestWithParam<SoupRow> {};

TEST_P(JoinedSoupTest, MatchesTheRecordedDigest)
{
    const SoupRow& row = GetParam();
    std::mt19937 rng(row.seed);
    auto coordinate = [&] {
        const int k = int(rng() % unsigned(row.lattice));
        // -0.0 and 0.0 are one point; both appear.
        if (k == 0)
            return (rng() % 2) ? -0.0f : 0.0f;
        return float(k) * 0.125f - 0.25f;
    };
    CCMAP_Templine segments;
    for (int s = 0; s < row.segments; ++s) {
        Templine t{coordinate(), coordinate(), coordinate(), coordinate()};
        segments.push_back(t);
    }
    CCMAP_ContourLevel level;
    ASSERT_TRUE(JoinSegments(segments, level, nullptr));
    Digest d;
    AddPolylines(d, level);
    EXPECT_EQ(d.Value(), row.expected) << std::hex << "0x" << d.Value();
}

INSTANTIATE_TEST_SUITE_P(Soups, JoinedSoupTest,
                         ::testing::Values(SoupRow{"Sparse", 40, 300, 1, 0x73096febe74813bb}, SoupRow{"Dense", 6, 500, 2, 0x4ac2445ef0657dcb},
                                           SoupRow{"Tiny", 3, 9, 3, 0x1a758b52c9378aaa}, SoupRow{"Large", 20, 20000, 4, 0xb5a1c9402723b866}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
