// The print preview: its tool bar, its first page and the reuse of its tiles.
#include <gtest/gtest.h>

#include <QAction>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTemporaryDir>
#include <QToolBar>

#include "../render/MapFixture.h"
#include "document/TessarixDoc.h"
#include "print/TXPreviewView.h"

namespace {

class FixtureSource final : public IPrintMapSource {
public:
    explicit FixtureSource(MapFixture& fixture) : m_fixture(fixture) {}
    bool MapInput(int, MapDrawInput* input) override
    {
        *input = m_fixture.Input(QSize(400, 300));
        return true;
    }

private:
    MapFixture& m_fixture;
};

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.FillCone(10, 10);
        fixture.TraceConeCircles();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("preview.pdf")));
    }
    void EnableColumns(std::initializer_list<int> columns)
    {
        std::array<bool, kColumnCount> enabled{};
        std::array<QString, kColumnCount> names;
        for (int c = 0; c < kColumnCount; ++c)
            names[size_t(c)] = doc.Column(c).name;
        for (int c : columns)
            enabled[size_t(c)] = true;
        doc.SetColumnDefinitions(enabled, names);
    }
    QTemporaryDir dir;
    MapFixture fixture;
    FixtureSource source{fixture};
    CTessarixDoc doc;
    QPrinter printer{QPrinter::HighResolution};
};

TEST(PreviewToolBar, TextButtonsOnlyWhenAtMostSevenButtonsAreThere)
{
    EXPECT_TRUE(PreviewGetsTextButtons(0));
    EXPECT_TRUE(PreviewGetsTextButtons(7));
    EXPECT_FALSE(PreviewGetsTextButtons(8));
}

TEST_F(PreviewTest, ToolBarCarriesTheFourTextCommands)
{
    CTXPreviewView view(doc, printer, &source, {}, 1);
    const QStringList expected{QStringLiteral("Title"), QStringLiteral("Text Above"), QStringLiteral("Text Below"),
                               QStringLiteral("Footer")};
    for (int kind = 0; kind < kPrintBlockCount; ++kind) {
        ASSERT_NE(view.TextAction(kind), nullptr);
        EXPECT_EQ(view.TextAction(kind)->text(), expected[kind]);
        EXPECT_TRUE(view.ToolBar()->actions().contains(view.TextAction(kind)));
    }
}

TEST_F(PreviewTest, RepaintOfAnUnchangedPageReusesTheTiles)
{
    EnableColumns({0});
    CTXPreviewView view(doc, printer, &source, {}, 1);
    view.Refresh();
    ASSERT_EQ(view.Job().TileCache().Builds(), 1);
    view.Refresh();
    view.Refresh();
    EXPECT_EQ(view.Job().TileCache().Builds(), 1);
    // A short text below leaves the graph its size (the width limits it): the tiles only move.
    doc.PrintBlock(PrintTextBelow).flags |= CTXPrintSettings::Enabled;
    doc.PrintBlock(PrintTextBelow).text = QStringLiteral("Below\nthe\nmap");
    const PageComposition before = view.Job().LastPage();
    view.Refresh();
    EXPECT_LT(view.Job().LastPage().mapArea.bottom, before.mapArea.bottom);
    EXPECT_EQ(view.Job().LastPage().layout.graph.Height(), before.layout.graph.Height());
    EXPECT_EQ(view.Job().TileCache().Builds(), 1);
    // A long one takes height from the graph: new tiles.
    doc.PrintBlock(PrintTextBelow).text = QStringLiteral("line\n").repeated(60);
    view.Refresh();
    EXPECT_LT(view.Job().LastPage().layout.graph.Height(), before.layout.graph.Height());
    EXPECT_EQ(view.Job().TileCache().Builds(), 2);
}

TEST_F(PreviewTest, OpensAtThePageOfTheViewsColumn)
{
    EnableColumns({0, 3, 5});
    CTXPreviewView view(doc, printer, &source, {}, 2);
    view.Refresh();
    EXPECT_EQ(view.Preview()->pageCount(), 3);
    EXPECT_EQ(view.CurrentPage(), 2);
    EXPECT_EQ(view.PageText(), QStringLiteral("Page 2 of 3"));
    view.ToolBar()->actions().at(1)->trigger();  // Next Page
    EXPECT_EQ(view.PageText(), QStringLiteral("Page 3 of 3"));
}

TEST_F(PreviewTest, ClosingReleasesTheTiles)
{
    CTXPreviewView view(doc, printer, &source, {}, 1);
    view.Refresh();
    ASSERT_FALSE(view.Job().TileCache().Tiles().empty());
    view.reject();
    EXPECT_TRUE(view.Job().TileCache().Tiles().empty());
}

}  // namespace
