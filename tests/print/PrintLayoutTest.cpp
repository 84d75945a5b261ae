// Page numbering, the page area and the room the text blocks leave for the map.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "document/TessarixDoc.h"
#include "print/PrintMapPage.h"
#include "print/PrintPages.h"
#include "print/TextBlock.h"
#include "util/TXCDC.h"

namespace {

const std::vector<int32_t> kColumns035{0, 3, 5};

struct PageRow {
    const char* name;
    int page;
    int column;
};
class PageColumnTest : public ::testing::TestWithParam<PageRow> {};

TEST_P(PageColumnTest, EnabledColumnsZeroThreeFiveGiveThreePages)
{
    EXPECT_EQ(PageColumn(kColumns035, GetParam().page), GetParam().column);
}

INSTANTIATE_TEST_SUITE_P(Pages, PageColumnTest,
                         ::testing::Values(PageRow{"First", 1, 0}, PageRow{"Second", 2, 3}, PageRow{"Third", 3, 5},
                                           PageRow{"BeforeFirst", 0, -1}, PageRow{"AfterLast", 4, -1},
                                           PageRow{"Negative", -2, -1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FirstPageOfColumn, PrintingFromAViewStartsAtItsColumnsPage)
{
    EXPECT_EQ(FirstPageOfColumn(kColumns035, 0), 1);
    EXPECT_EQ(FirstPageOfColumn(kColumns035, 3), 2);
    EXPECT_EQ(FirstPageOfColumn(kColumns035, 5), 3);
    EXPECT_EQ(FirstPageOfColumn(kColumns035, 4), 1);  // not enabled: from the beginning
}

TEST(MillimetresToDevice, FiveMillimetresAt300DpiAre59Units)
{
    EXPECT_EQ(MillimetresToDevice(5.0f, 300), 59);
    CTXPrintSettings block;  // 5 mm both ways by default
    const TxRect inset = BlockInsetArea(block, {0, 0, 2480, 3508}, 300, 300);
    EXPECT_EQ(inset.left, 59);
    EXPECT_EQ(inset.top, 59);
    EXPECT_EQ(2480 - inset.right, 59);
    EXPECT_EQ(3508 - inset.bottom, 59);
}

TEST(PageArea, MarginsInHundredthsOfAMillimetreRoundToDeviceUnits)
{
    // 10 mm = 1000 at 300 dpi: 118.11 -> 118; 25.4 mm = 2540 -> exactly 300.
    const TxRect a = PageArea(2480, 3508, 300, 300, PrintMargins{1000, 2540, 0, 1000});
    EXPECT_EQ(a.left, 118);
    EXPECT_EQ(a.right, 2480 - 300);
    EXPECT_EQ(a.top, 0);
    EXPECT_EQ(a.bottom, 3508 - 118);
}

struct AreaRow {
    const char* name;
    TxRect title, above, below, footer;
    int top, bottom;
};
class MapAreaTest : public ::testing::TestWithParam<AreaRow> {};

TEST_P(MapAreaTest, MapSitsBetweenTheBlocks)
{
    const AreaRow& r = GetParam();
    const TxRect m = MapAreaBetween({0, 0, 1000, 2000}, r.title, r.above, r.below, r.footer);
    EXPECT_EQ(m.top, r.top);
    EXPECT_EQ(m.bottom, r.bottom);
    EXPECT_EQ(m.left, 0);
    EXPECT_EQ(m.right, 1000);
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, MapAreaTest,
    ::testing::Values(AreaRow{"NoBlocks", {}, {}, {}, {}, 0, 2000},
                      AreaRow{"TitleOnly", {10, 10, 990, 60}, {}, {}, {}, 60, 2000},
                      AreaRow{"AboveOnly", {}, {10, 10, 990, 90}, {}, {}, 90, 2000},
                      AreaRow{"TallerAboveWins", {10, 10, 990, 60}, {10, 10, 990, 150}, {}, {}, 150, 2000},
                      AreaRow{"TallerTitleWins", {10, 10, 990, 200}, {10, 10, 990, 150}, {}, {}, 200, 2000},
                      AreaRow{"FooterOnly", {}, {}, {}, {10, 1940, 990, 1990}, 0, 1940},
                      AreaRow{"HigherBelowWins", {}, {}, {10, 1800, 990, 1990}, {10, 1940, 990, 1990}, 0, 1800},
                      AreaRow{"AllFour", {10, 10, 990, 60}, {10, 10, 990, 150}, {10, 1900, 990, 1990},
                              {10, 1940, 990, 1990}, 150, 1900}),
    [](const auto& info) { return std::string(info.param.name); });

class PageCompositionTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::array<bool, kColumnCount> enabled{};
        std::array<QString, kColumnCount> names;
        for (int c = 0; c < kColumnCount; ++c)
            names[size_t(c)] = doc.Column(c).name;
        enabled[0] = enabled[3] = enabled[5] = true;
        names[3] = QStringLiteral("Leq");
        doc.SetColumnDefinitions(enabled, names);
    }
    PageComposition Compose(int page)
    {
        CTXCDC dc(&painter, device.dpiX, device.dpiY);
        return ComposePage(doc, dc, device, PrintMargins{1000, 1000, 1000, 1000}, page, DocumentMapInput(doc));
    }
    CTessarixDoc doc;
    QImage scratch{10, 10, QImage::Format_RGB32};
    QPainter painter{&scratch};
    PrintDevice device{2480, 3508, 300, 300};  // A4 at 300 dpi
};

TEST_F(PageCompositionTest, TitleAndTextAboveWithEqualMarginsStartAtOneTop)
{
    doc.PrintBlock(PrintTextAbove).flags |= CTXPrintSettings::Enabled;
    doc.PrintBlock(PrintTextAbove).text = QStringLiteral("Measured on the day shift\nwith all machines running");
    const PageComposition c = Compose(2);
    EXPECT_EQ(c.column, 3);
    EXPECT_EQ(c.mapName, QStringLiteral("Leq"));
    const TxRect& title = c.blocks[PrintTitle];
    const TxRect& above = c.blocks[PrintTextAbove];
    EXPECT_EQ(title.top, above.top);
    EXPECT_GT(above.Height(), title.Height());  // two lines against one
    EXPECT_EQ(c.mapArea.top, std::max(title.bottom, above.bottom));
    EXPECT_GE(c.layout.graph.top, c.mapArea.top);
}

TEST_F(PageCompositionTest, EnablingTheTextBelowMovesTheMapBottomUp)
{
    const int before = Compose(1).mapArea.bottom;
    doc.PrintBlock(PrintTextBelow).flags |= CTXPrintSettings::Enabled;
    doc.PrintBlock(PrintTextBelow).text = QStringLiteral("One\nTwo\nThree\nFour");
    const PageComposition c = Compose(1);
    EXPECT_LT(c.mapArea.bottom, before);
    EXPECT_EQ(c.mapArea.bottom, c.blocks[PrintTextBelow].top);
    EXPECT_LE(c.layout.graph.bottom, c.mapArea.bottom);
}

TEST_F(PageCompositionTest, DisabledBlocksTakeNoRoom)
{
    for (int kind = 0; kind < kPrintBlockCount; ++kind)
        doc.PrintBlock(kind).flags &= ~uint32_t(CTXPrintSettings::Enabled);
    const PageComposition c = Compose(3);
    EXPECT_EQ(c.mapArea, c.pageArea);
    for (const TxRect& r : c.blocks)
        EXPECT_EQ(r, TxRect{});
}

TEST_F(PageCompositionTest, PageOutsideTheEnabledColumnsIsNotComposed)
{
    EXPECT_EQ(Compose(4).column, -1);
    EXPECT_EQ(Compose(0).column, -1);
}

}  // namespace
