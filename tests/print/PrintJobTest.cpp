// Whole pages: page count, the tile cache across repeated pages, the PDF keeping lines and text
// as vectors, and the print blocks' life with the document.
#include <gtest/gtest.h>

#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "../render/MapFixture.h"
#include "document/TessarixDoc.h"
#include "print/PdfReport.h"
#include "print/PrintMapPage.h"

namespace {

// Hands out one hand-built map for every column and counts the requests.
class FixtureSource final : public IPrintMapSource {
public:
    explicit FixtureSource(MapFixture& fixture) : m_fixture(fixture) {}
    bool MapInput(int, MapDrawInput* input) override
    {
        ++requests;
        *input = m_fixture.Input(QSize(400, 300));
        return true;
    }
    int requests = 0;

private:
    MapFixture& m_fixture;
};

void EnableColumns(CTessarixDoc& doc, std::initializer_list<int> columns, const QString& nameOfThree = {})
{
    std::array<bool, kColumnCount> enabled{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = doc.Column(c).name;
    for (int c : columns)
        enabled[size_t(c)] = true;
    if (!nameOfThree.isEmpty())
        names[3] = nameOfThree;
    doc.SetColumnDefinitions(enabled, names);
}

class PrintJobTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        fixture.settings.mapMode = MapModeColorMap;
        fixture.FillCone(20, 20);
        fixture.TraceConeCircles();
        fixture.AddPoint(0.5f, 0.5f, 80.0f);
        page.fill(Qt::white);
    }
    MapFixture fixture;
    FixtureSource source{fixture};
    CTessarixDoc doc;
    QImage page{1240, 1754, QImage::Format_RGB32};  // A4 at 150 dpi
    PrintDevice device{1240, 1754, 150, 150};
};

TEST_F(PrintJobTest, OnePagePerEnabledColumnStartingAtTheViewsColumn)
{
    EnableColumns(doc, {0, 3, 5});
    CPrintJob job(doc, &source, {});
    EXPECT_EQ(job.PageCount(), 3);
    EXPECT_EQ(job.FirstPage(3), 2);
    QPainter painter(&page);
    EXPECT_FALSE(job.PrintMapPage(painter, device, 4));
    EXPECT_EQ(source.requests, 0);  // nothing asked for a page that does not exist
    EXPECT_TRUE(job.PrintMapPage(painter, device, 3));
    EXPECT_EQ(job.LastPage().column, 5);
}

TEST_F(PrintJobTest, RepeatedPageReusesItsTilesAnotherPageMakesNew)
{
    EnableColumns(doc, {0, 3});
    CPrintJob job(doc, &source, {});
    QPainter painter(&page);
    job.PrintMapPage(painter, device, 1);
    job.PrintMapPage(painter, device, 1);
    EXPECT_EQ(job.TileCache().Builds(), 1);
    EXPECT_GE(job.TileCache().Tiles().size(), 9u);
    job.PrintMapPage(painter, device, 2);
    EXPECT_EQ(job.TileCache().Builds(), 2);
    job.EndPrinting();
    EXPECT_TRUE(job.TileCache().Tiles().empty());
}

TEST_F(PrintJobTest, TitlePlaceholderUsesTheColumnName)
{
    EnableColumns(doc, {0, 3}, QStringLiteral("Leq"));
    doc.PrintBlock(PrintTitle).text = QStringLiteral("Map $ - $");
    CPrintJob job(doc, &source, {});
    QPainter painter(&page);
    job.PrintMapPage(painter, device, 2);
    EXPECT_EQ(job.LastPage().mapName, QStringLiteral("Leq"));
    EXPECT_EQ(BlockText(doc.PrintBlock(PrintTitle), PrintTitle, job.LastPage().mapName), QStringLiteral("Map Leq - Leq"));
}

TEST_F(PrintJobTest, ColourCellsReachThePageThroughTheTiles)
{
    CPrintJob job(doc, &source, {});
    QPainter painter(&page);
    ASSERT_TRUE(job.PrintMapPage(painter, device, 1));
    painter.end();
    DumpPicture(page, QStringLiteral("print-colour-map-page"));
    const TxRect g = job.LastPage().layout.graph;
    ASSERT_FALSE(g.IsEmpty());
    // The middle of the cone is the top of the colour scale: a strong colour, not white paper.
    const QRgb middle = page.pixel((g.left + g.right) / 2, (g.top + g.bottom) / 2);
    EXPECT_FALSE(SameRgb(middle, qRgb(255, 255, 255)));
}

// A bitmap allocator that refuses anything above `limit` pixels, so the probe needs more tiles.
CPrintTileCache::Allocator Refusing(qint64 limit)
{
    return [limit](const QSize& size) {
        return qint64(size.width()) * size.height() > limit ? QImage() : QImage(size, QImage::Format_RGB32);
    };
}

TEST_F(PrintJobTest, TileCountDoesNotChangeThePage)
{
    QImage fine = page.copy();
    CPrintJob threeByThree(doc, &source, {});
    CPrintJob many(doc, &source, {}, Refusing(120 * 120));
    {
        QPainter painter(&page);
        threeByThree.PrintMapPage(painter, device, 1);
        QPainter finePainter(&fine);
        many.PrintMapPage(finePainter, device, 1);
    }
    ASSERT_EQ(threeByThree.TileCache().TilesPerSide(), 3);
    ASSERT_GT(many.TileCache().TilesPerSide(), 6);
    EXPECT_EQ(page, fine);
}

// The PDF tools, when installed; tests that need them skip without.
QString Tool(const char* name)
{
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString RunTool(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

TEST_F(PrintJobTest, PdfKeepsTextSelectableAndOnlyTheMapBodyAsImages)
{
    if (Tool("pdftotext").isEmpty() || Tool("pdfimages").isEmpty())
        GTEST_SKIP() << "poppler-utils not installed";
    EnableColumns(doc, {0, 3}, QStringLiteral("Leq"));
    doc.PrintBlock(PrintTitle).text = QStringLiteral("Map $ - $");
    doc.PrintBlock(PrintFooter).text = QStringLiteral("Survey of hall 7");
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    CPrintJob job(doc, &source, {});
    ASSERT_EQ(WritePdfReport(path, job, PdfReportOptions{}), PdfReportStatus::Ok);

    const QString text = RunTool(Tool("pdftotext"), {path, QStringLiteral("-")});
    EXPECT_TRUE(text.contains(QStringLiteral("Map SLM - SLM"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("Map Leq - Leq")));
    EXPECT_TRUE(text.contains(QStringLiteral("Survey of hall 7")));
    EXPECT_TRUE(text.contains(QStringLiteral("dB")));  // the colour bar's title is text too
    EXPECT_EQ(text.count(u'\f'), 2);                    // two pages

    // Every image in the file is a tile of a map body: nine per page.
    const QStringList images = RunTool(Tool("pdfimages"), {QStringLiteral("-list"), path})
                                   .split(u'\n', Qt::SkipEmptyParts).mid(2);
    EXPECT_EQ(images.size(), 18);
    EXPECT_TRUE(job.TileCache().Tiles().empty());  // released at the end of the report
}

TEST_F(PrintJobTest, ReportIntoAMissingFolderFailsAndWritesNothing)
{
    CPrintJob job(doc, &source, {});
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("no/such/folder/report.pdf"));
    EXPECT_EQ(WritePdfReport(path, job, PdfReportOptions{}), PdfReportStatus::WriteFailed);
    EXPECT_FALSE(QFile::exists(path));
}

TEST(PrintBlocks, TitleKeptAcrossOpenAndResetByNew)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("saved.Tsrix"));
    CTessarixDoc doc;
    ASSERT_EQ(doc.OnSaveDocument(path), DocFileStatus::Ok);
    doc.PrintBlock(PrintTitle).text = QStringLiteral("Hall 7: $");
    ASSERT_EQ(doc.OnOpenDocument(path), DocFileStatus::Ok);
    EXPECT_EQ(doc.PrintBlock(PrintTitle).text, QStringLiteral("Hall 7: $"));
    doc.OnNewDocument();
    EXPECT_EQ(doc.PrintBlock(PrintTitle).text, QStringLiteral("$"));
    // The file holds no print blocks: the saved file did not change its size with the title.
    EXPECT_FALSE(doc.WriteFileBytes().contains(QByteArrayLiteral("Hall 7")));
}

}  // namespace
