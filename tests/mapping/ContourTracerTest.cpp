#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <random>

#include "mapping/ContourTracer.h"
#include "mapping/Surface3DData.h"

namespace {

// A valid surface of nx x ny nodes on the unit square with z = f(x, y).
void Fill(CSurface3DData& s, int nx, int ny, const std::function<float(float, float)>& f)
{
    ASSERT_TRUE(s.Allocate(nx, ny));
    for (int i = 0; i < nx; ++i)
        s.XArray()[size_t(i)] = float(double(i) / (nx - 1));
    for (int j = 0; j < ny; ++j)
        s.YArray()[size_t(j)] = float(double(j) / (ny - 1));
    for (int i = 0; i < nx; ++i)
        for (int j = 0; j < ny; ++j)
            s.Value(i, j) = f(s.X(i), s.Y(j));
    s.UpdateStatistics();
    s.SetValid(true);
}

float Peak(float x, float y)
{
    return 80.0f - 100.0f * ((x - 0.5f) * (x - 0.5f) + (y - 0.5f) * (y - 0.5f));
}

bool OnBorder(KW_FPOINT p)
{
    return p.x == 0.0f || p.x == 1.0f || p.y == 0.0f || p.y == 1.0f;
}

TEST(ContourTracerTest, SinglePeakGivesOneClosedPolylinePerSubLevel)
{
    CSurface3DData s;
    Fill(s, 41, 41, Peak);
    CCMAP_ContourResult result;
    ContourParameters params;
    params.levelStep = 3.0f;
    ASSERT_TRUE(TraceContours(s, {70.0f, 75.0f}, params, result));
    ASSERT_EQ(result.entries.size(), 6u);
    for (size_t e = 0; e < result.entries.size(); ++e) {
        const auto& lines = result.entries[e].polylines;
        ASSERT_EQ(lines.size(), 1u) << "entry " << e;
        const CCMAP_Polyline& l = *lines[0];
        EXPECT_EQ(l.closed, 1);
        EXPECT_EQ(l.front(), l.back());
        float minX = 1, minY = 1, maxX = 0, maxY = 0;
        for (const KW_FPOINT& p : l) {
            minX = std::min(minX, p.x), minY = std::min(minY, p.y);
            maxX = std::max(maxX, p.x), maxY = std::max(maxY, p.y);
        }
        EXPECT_EQ(l.minX, minX);
        EXPECT_EQ(l.minY, minY);
        EXPECT_EQ(l.maxX, maxX);
        EXPECT_EQ(l.maxY, maxY);
        // The circle of radius sqrt((80 - v) / 100) around the centre.
        const float v = SubLevelValue({70.0f, 75.0f}, params, int(e));
        const float r = std::sqrt((80.0f - v) / 100.0f);
        EXPECT_NEAR(maxX - 0.5f, r, 0.01f);
        EXPECT_NEAR(0.5f - minY, r, 0.01f);
    }
}

TEST(ContourTracerTest, LevelAcrossTheBorderGivesOpenPolylinesEndingOnIt)
{
    CSurface3DData s;
    Fill(s, 31, 21, [](float x, float y) { return 40.0f + 30.0f * x + 5.0f * y * y; });
    CCMAP_ContourResult result;
    ContourParameters params;
    ASSERT_TRUE(TraceContours(s, {55.0f}, params, result));
    const auto& lines = result.entries[0].polylines;
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0]->closed, 0);
    EXPECT_TRUE(OnBorder(lines[0]->front()));
    EXPECT_TRUE(OnBorder(lines[0]->back()));
}

// Every consecutive pair of vertices of a joined polyline must be one traced segment, in one
// direction or the other, and every segment must be used exactly once.
TEST(ContourTracerTest, JoinedVerticesAreTheSegmentEnds)
{
    CSurface3DData s;
    Fill(s, 37, 29, [](float x, float y) { return 50.0f + 10.0f * std::sin(7.0f * x) * std::cos(5.0f * y); });
    for (float v : {47.3f, 50.0f, 55.5f}) {
        CCMAP_Templine segments;
        ASSERT_TRUE(TraceLevel(s, 0, s.NX() - 1, 0, s.NY() - 1, v, segments));
        ASSERT_FALSE(segments.empty());
        CCMAP_ContourLevel level;
        ASSERT_TRUE(JoinSegments(segments, level, nullptr));
        std::vector<int> uses(segments.size(), 0);
        size_t edges = 0;
        for (const auto& line : level.polylines) {
            ASSERT_GE(line->size(), 2u);
            for (size_t k = 1; k < line->size(); ++k, ++edges) {
                const KW_FPOINT a = (*line)[k - 1], b = (*line)[k];
                bool found = false;
                for (size_t t = 0; t < segments.size() && !found; ++t) {
                    const Templine& g = segments[t];
                    const KW_FPOINT s1{g.x1, g.y1}, s2{g.x2, g.y2};
                    if (uses[t] == 0 && ((s1 == a && s2 == b) || (s1 == b && s2 == a))) {
                        uses[t] = 1;
                        found = true;
                    }
                }
                ASSERT_TRUE(found) << "level " << v << ": a vertex pair that is no segment";
            }
            EXPECT_EQ(line->closed, line->front() == line->back() ? 1 : 0);
        }
        EXPECT_EQ(edges, segments.size()) << "level " << v;
    }
}

TEST(ContourTracerTest, LevelThroughNodesEmitsSegmentsThroughThem)
{
    // z = 10 i exactly, so the level 30 lies on the node column i = 3.
    CSurface3DData s;
    Fill(s, 7, 5, [](float x, float) { return std::round(x * 6.0f) * 10.0f; });
    CCMAP_Templine segments;
    ASSERT_TRUE(TraceLevel(s, 0, 6, 0, 4, 30.0f, segments));
    ASSERT_FALSE(segments.empty());
    for (const Templine& t : segments) {
        EXPECT_EQ(t.x1, s.X(3));
        EXPECT_EQ(t.x2, s.X(3));
    }
    CCMAP_ContourLevel level;
    ASSERT_TRUE(JoinSegments(segments, level, nullptr));
    // Both boxes beside the node column emit the same sides; the duplicates join like any other
    // segments, so the column is covered from bottom to top by the union of the polylines.
    ASSERT_GE(level.polylines.size(), 1u);
    float minY = 1.0f, maxY = 0.0f;
    for (const auto& l : level.polylines) {
        EXPECT_EQ(l->minX, s.X(3));
        EXPECT_EQ(l->maxX, s.X(3));
        minY = std::min(minY, l->minY);
        maxY = std::max(maxY, l->maxY);
    }
    EXPECT_EQ(minY, 0.0f);
    EXPECT_EQ(maxY, 1.0f);
}

struct TraceFailCase {
    const char* name;
    bool valid;
    bool flat;
    bool cancel;
    std::vector<float> levels;
    bool expected;
    size_t entries;
};

class TraceOutcomeTest : public ::testing::TestWithParam<TraceFailCase> {};

TEST_P(TraceOutcomeTest, ReturnsAndClears)
{
    const TraceFailCase& c = GetParam();
    CSurface3DData s;
    Fill(s, 11, 11, c.flat ? std::function<float(float, float)>([](float, float) { return 50.0f; })
                           : std::function<float(float, float)>(Peak));
    s.SetValid(c.valid);
    s.cancel.store(c.cancel ? 1 : 0);
    CCMAP_ContourResult result;
    result.entries.resize(9);  // left over from an earlier trace
    EXPECT_EQ(TraceContours(s, c.levels, ContourParameters{}, result), c.expected);
    EXPECT_EQ(result.entries.size(), c.entries);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TraceOutcomeTest,
    ::testing::Values(TraceFailCase{"invalid_surface", false, false, false, {70.0f}, false, 0},
                      TraceFailCase{"flat_surface", true, true, false, {50.0f}, false, 0},
                      TraceFailCase{"empty_level_list", true, false, false, {}, true, 0},
                      TraceFailCase{"cancelled_keeps_sized_result", true, false, true, {70.0f, 75.0f}, false, 6},
                      TraceFailCase{"traced", true, false, false, {70.0f, 75.0f}, true, 6}),
    [](const auto& info) { return info.param.name; });

TEST(ContourTracerTest, SubLevelsAreThirdsOfTheStep)
{
    ContourParameters p;
    p.levelStep = 10.0f;
    const CTXFloatArray levels{20, 30, 40, 50, 60, 70, 80};
    EXPECT_EQ(SubLevelValue(levels, p, 0), 20.0f);
    EXPECT_EQ(SubLevelValue(levels, p, 1), 20.0f + 10.0f / 3.0f);
    EXPECT_EQ(SubLevelValue(levels, p, 2), 20.0f + 2.0f * (10.0f / 3.0f));
    EXPECT_EQ(SubLevelValue(levels, p, 20), 80.0f + 2.0f * (10.0f / 3.0f));
}

TEST(ContourTracerTest, CancelledJoinStops)
{
    CCMAP_Templine segments{{0, 0, 1, 0}, {2, 2, 3, 3}};
    CCMAP_ContourLevel level;
    std::atomic<int32_t> cancel{1};
    EXPECT_FALSE(JoinSegments(segments, level, &cancel));
    EXPECT_TRUE(level.polylines.empty());
}

TEST(ContourTracerTest, JoinGrowsAtBothEndsAndCloses)
{
    // A square given as four segments in mixed directions, started from its middle segment.
    CCMAP_Templine segments{{1, 0, 1, 1}, {0, 0, 1, 0}, {0, 1, 1, 1}, {0, 1, 0, 0}};
    CCMAP_ContourLevel level;
    ASSERT_TRUE(JoinSegments(segments, level, nullptr));
    ASSERT_EQ(level.polylines.size(), 1u);
    const CCMAP_Polyline& l = *level.polylines[0];
    EXPECT_EQ(l.size(), 5u);
    EXPECT_EQ(l.closed, 1);
    EXPECT_EQ(l.front(), l.back());
    EXPECT_EQ(l.minX, 0.0f);
    EXPECT_EQ(l.maxY, 1.0f);
}

}  // namespace

namespace {

// A chain of points given as shuffled segments, some reversed: joining must find every
// neighbour, whatever the signs and sizes of the coordinates.
struct ChainRow {
    const char* name;
    std::vector<KW_FPOINT> points;
    bool closed;
};

class JoinChainTest : public ::testing::TestWithParam<ChainRow> {};

TEST_P(JoinChainTest, ShuffledSegmentsJoinIntoOnePolyline)
{
    const ChainRow& row = GetParam();
    CCMAP_Templine segments;
    std::mt19937 rng(3);
    for (size_t k = 1; k < row.points.size(); ++k) {
        KW_FPOINT a = row.points[k - 1], b = row.points[k];
        if (rng() % 2)
            std::swap(a, b);
        segments.push_back({a.x, a.y, b.x, b.y});
    }
    std::shuffle(segments.begin(), segments.end(), rng);
    CCMAP_ContourLevel level;
    ASSERT_TRUE(JoinSegments(segments, level, nullptr));
    ASSERT_EQ(level.polylines.size(), 1u);
    const CCMAP_Polyline& l = *level.polylines[0];
    EXPECT_EQ(l.size(), row.points.size());
    EXPECT_EQ(l.closed, row.closed ? 1 : 0);
}

std::vector<KW_FPOINT> Zigzag(float x0, float y0, float dx, float dy, int n)
{
    std::vector<KW_FPOINT> p;
    for (int k = 0; k < n; ++k)
        p.push_back({x0 + dx * float(k), y0 + ((k % 2) ? dy : 0.0f)});
    return p;
}

INSTANTIATE_TEST_SUITE_P(
    Coordinates, JoinChainTest,
    ::testing::Values(ChainRow{"Positive", Zigzag(0.1f, 0.2f, 0.01f, 0.003f, 40), false},
                      ChainRow{"Negative", Zigzag(-0.9f, -0.8f, 0.01f, -0.003f, 40), false},
                      ChainRow{"AcrossZero", Zigzag(-0.2f, -0.001f, 0.01f, 0.002f, 41), false},
                      ChainRow{"ThroughZero", {{0.5f, 0.5f}, {0.0f, 0.25f}, {0.0f, 0.0f}, {0.25f, 0.0f}, {0.5f, 0.5f}}, true},
                      ChainRow{"TinyAndHuge", {{1e-30f, 1e30f}, {-1e-30f, 2e30f}, {3e-38f, -1e30f}, {0.0f, 5.0f}}, false}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// A crossing computed from the two sides of an edge at zero can come out as 0.0 on one side and
// -0.0 on the other: the two are one point.
TEST(ContourTracerTest, NegativeZeroEndJoinsZeroStart)
{
    CCMAP_Templine segments{{0.5f, 0.5f, -0.0f, 0.25f}, {0.0f, 0.25f, 0.25f, -0.0f}, {0.25f, 0.0f, 0.5f, 0.5f}};
    CCMAP_ContourLevel level;
    ASSERT_TRUE(JoinSegments(segments, level, nullptr));
    ASSERT_EQ(level.polylines.size(), 1u);
    EXPECT_EQ(level.polylines[0]->size(), 4u);
    EXPECT_EQ(level.polylines[0]->closed, 1);
}

}  // namespace

namespace {

// Four segments meeting at one point (a level through a saddle node): the sorted search decides,
// a segment starting at the point before one ending there.
TEST(ContourTracerTest, FourEndsAtOnePointGiveTwoPolylines)
{
    const float c = 0.5f;
    CCMAP_Templine segments{{c, c, 0.0f, 0.0f}, {c, c, 1.0f, 1.0f}, {0.0f, 1.0f, c, c}, {1.0f, 0.0f, c, c}};
    CCMAP_ContourLevel level;
    ASSERT_TRUE(JoinSegments(segments, level, nullptr));
    ASSERT_EQ(level.polylines.size(), 2u);
    const CCMAP_Polyline& first = *level.polylines[0];
    const CCMAP_Polyline& second = *level.polylines[1];
    ASSERT_EQ(first.size(), 3u);
    ASSERT_EQ(second.size(), 3u);
    EXPECT_EQ(first[0], (KW_FPOINT{1.0f, 1.0f}));
    EXPECT_EQ(first[1], (KW_FPOINT{c, c}));
    EXPECT_EQ(first[2], (KW_FPOINT{0.0f, 0.0f}));
    EXPECT_EQ(second[0], (KW_FPOINT{0.0f, 1.0f}));
    EXPECT_EQ(second[2], (KW_FPOINT{1.0f, 0.0f}));
}

}  // namespace
