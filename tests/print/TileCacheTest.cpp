// The tile cache: how many tiles, where they lie, and when they are reused.
#include <gtest/gtest.h>

#include "print/PrintTileCache.h"

namespace {

// An allocator that refuses bitmaps of more than `limit` pixels, counting its calls.
struct LimitedAllocator {
    qint64 limit;
    int* calls;
    QImage operator()(const QSize& size) const
    {
        ++*calls;
        if (qint64(size.width()) * size.height() > limit)
            return {};
        return QImage(size, QImage::Format_RGB32);
    }
};

struct CountRow {
    const char* name;
    QSize graph;
    qint64 limit;
    int perSide;
};
class TileCountTest : public ::testing::TestWithParam<CountRow> {};

TEST_P(TileCountTest, ProbeGrowsUntilABitmapFits)
{
    int calls = 0;
    CPrintTileCache cache(LimitedAllocator{GetParam().limit, &calls});
    EXPECT_EQ(cache.FindTilesPerSide(GetParam().graph), GetParam().perSide);
}

INSTANTIATE_TEST_SUITE_P(
    Limits, TileCountTest,
    ::testing::Values(CountRow{"AnythingFitsGivesThreeByThree", {3000, 2000}, 1LL << 40, 3},
                      CountRow{"HalfRefusedGivesFourByFour", {3000, 2000}, 1000 * 700, 4},
                      CountRow{"TenthFits", {3000, 2000}, 300 * 200, 11},
                      CountRow{"OnePixelGraph", {1, 1}, 1LL << 40, 3},
                      CountRow{"NothingFitsGivesNoTiles", {3000, 2000}, 0, 0},
                      CountRow{"EmptyGraph", {0, 500}, 1LL << 40, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TileCache, AllocationThatNeverSucceedsEndsInsteadOfLooping)
{
    int calls = 0;
    CPrintTileCache cache(LimitedAllocator{0, &calls});
    EXPECT_TRUE(cache.Prepare({100, 100, 700, 500}, 1));
    EXPECT_TRUE(cache.Tiles().empty());
    EXPECT_LE(calls, 700);  // one probe per tile count up to the longest side
}

TEST(TileCache, TilesCoverTheGraphOnceAndStayInside)
{
    CPrintTileCache cache;
    const TxRect graph{101, 57, 101 + 1000, 57 + 701};  // sizes not divisible by three
    ASSERT_TRUE(cache.Prepare(graph, 2));
    ASSERT_EQ(cache.TilesPerSide(), 3);
    EXPECT_EQ(cache.TileSize(), QSize(334, 234));
    qint64 area = 0;
    for (const auto& t : cache.Tiles()) {
        EXPECT_GE(t.rect.left, graph.left);
        EXPECT_GE(t.rect.top, graph.top);
        EXPECT_LE(t.rect.right, graph.right);
        EXPECT_LE(t.rect.bottom, graph.bottom);
        EXPECT_EQ(t.image.size(), QSize(t.rect.Width(), t.rect.Height()));
        area += qint64(t.rect.Width()) * t.rect.Height();
    }
    EXPECT_EQ(cache.Tiles().size(), 9u);
    EXPECT_EQ(area, qint64(graph.Width()) * graph.Height());
}

TEST(TileCache, SamePageAndSizeReusesTilesAndOnlyMovesThem)
{
    CPrintTileCache cache;
    ASSERT_TRUE(cache.Prepare({0, 0, 900, 600}, 1));
    const QImage first = cache.Tiles().front().image;
    EXPECT_FALSE(cache.Prepare({50, 20, 950, 620}, 1));
    EXPECT_EQ(cache.Builds(), 1);
    EXPECT_EQ(cache.Tiles().front().rect, (TxRect{50, 20, 350, 220}));
    EXPECT_EQ(cache.Tiles().front().image.constBits(), first.constBits());  // the very same bitmap
}

struct RebuildRow {
    const char* name;
    TxRect graph;
    int page;
};
class TileRebuildTest : public ::testing::TestWithParam<RebuildRow> {};

TEST_P(TileRebuildTest, AnotherPageOrSizeMakesNewTiles)
{
    CPrintTileCache cache;
    ASSERT_TRUE(cache.Prepare({0, 0, 900, 600}, 1));
    EXPECT_TRUE(cache.Prepare(GetParam().graph, GetParam().page));
    EXPECT_EQ(cache.Builds(), 2);
    EXPECT_EQ(cache.Page(), GetParam().page);
}

INSTANTIATE_TEST_SUITE_P(Changes, TileRebuildTest,
                         ::testing::Values(RebuildRow{"OtherPage", {0, 0, 900, 600}, 2},
                                           RebuildRow{"Wider", {0, 0, 901, 600}, 1},
                                           RebuildRow{"Lower", {0, 0, 900, 599}, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TileCache, ReleaseForgetsThePage)
{
    CPrintTileCache cache;
    cache.Prepare({0, 0, 90, 60}, 1);
    cache.Release();
    EXPECT_TRUE(cache.Tiles().empty());
    EXPECT_TRUE(cache.Prepare({0, 0, 90, 60}, 1));  // nothing left to reuse
}

}  // namespace
