// tessarix-cli render: argument checks, and pictures through the worker threads.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "CliRunner.h"
#include "cli/CliCommand.h"
#include "cli/CliRender.h"

namespace {

class CliRenderTest : public CliImportedTable {
protected:
    CliRenderTest() : CliImportedTable("X,Y,SLM,1 kHz\n0.1,0.1,71,60\n0.9,0.2,64,58\n0.5,0.8,80,66\n0.3,0.5,75,62\n0.7,0.6,69,61\n") {}
};

struct UsageRow {
    const char* name;
    std::vector<const char*> args;  // after "render FILE"
    int status;
};
class CliRenderUsageTest : public CliRenderTest, public ::testing::WithParamInterface<UsageRow> {};

TEST_P(CliRenderUsageTest, RefusesBadArgumentsBeforeRendering)
{
    const CliRun r = RunOnTable("render", GetParam().args);
    EXPECT_EQ(r.status, GetParam().status) << r.err.toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_FALSE(QFile::exists(Path("m.png")));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliRenderUsageTest,
    ::testing::Values(UsageRow{"NoOut", {}, CliUsage},
                      UsageRow{"SizeWithoutHeight", {"--size", "640", "--out", "m.png"}, CliUsage},
                      UsageRow{"SizeTooSmall", {"--size", "8x8", "--out", "m.png"}, CliUsage},
                      UsageRow{"DpiNotANumber", {"--dpi", "high", "--out", "m.png"}, CliUsage},
                      UsageRow{"ColumnOutOfRange", {"--column", "12", "--out", "m.png"}, CliUsage},
                      UsageRow{"ColumnAndAll", {"--column", "1", "--all", "--out", "m.png"}, CliUsage},
                      UsageRow{"UnknownOption", {"--colour", "1", "--out", "m.png"}, CliUsage},
                      UsageRow{"NamesWithoutAll", {"--column", "1", "--names", "--out", "m.png"}, CliUsage},
                      UsageRow{"TitleLeavesNoRoomForTheMap", {"--title", "--size", "400x40", "--out", "m.png"}, CliUsage},
                      UsageRow{"DisabledColumn", {"--column", "5", "--out", "m.png"}, CliRefused}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliRenderTest, MissingDocumentIsRefused)
{
    const CliRun r = RunTool({QStringLiteral("render"), Path("none.Tsrix"), QStringLiteral("--out"), Path("m.png")});
    EXPECT_EQ(r.status, CliRefused);
    EXPECT_FALSE(QFile::exists(Path("m.png")));
}

}  // namespace

namespace {

TEST_F(CliRenderTest, RendersEveryEnabledColumnThroughTheWorkers)
{
    const CliRun r = RunTool({QStringLiteral("render"), Path("t.Tsrix"), QStringLiteral("--all"),
                                   QStringLiteral("--size"), QStringLiteral("400x300"), QStringLiteral("--mode"),
                                   QStringLiteral("1"), QStringLiteral("--out"), Path("m.png")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    for (const char* name : {"m_0.png", "m_1.png"}) {
        const QImage picture(Path(name));
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_EQ(picture.size(), QSize(400, 300));
        // The colour map fills the middle of the graph with a colour of the scale.
        const QRgb middle = picture.pixel(200, 150);
        EXPECT_FALSE(qRed(middle) == 255 && qGreen(middle) == 255 && qBlue(middle) == 255) << name;
    }
    EXPECT_FALSE(QFile::exists(Path("m_2.png")));
    EXPECT_TRUE(r.out.contains(QStringLiteral("m_1.png")));
}

TEST_F(CliRenderTest, OneColumnGoesToTheNamedFile)
{
    const CliRun r = RunTool({QStringLiteral("render"), Path("t.Tsrix"), QStringLiteral("--column"),
                                   QStringLiteral("1"), QStringLiteral("--out"), Path("one.png")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    EXPECT_EQ(QImage(Path("one.png")).size(), QSize(1000, 800));
}

}  // namespace

namespace {

struct FileNameRow {
    const char* name;
    const char* column;
    const char* part;
};

class CliFileNamePart : public ::testing::TestWithParam<FileNameRow> {};

TEST_P(CliFileNamePart, ColumnNamesBecomeSafeFileNames)
{
    EXPECT_EQ(FileNamePart(QString::fromUtf8(GetParam().column)), QString::fromUtf8(GetParam().part));
}

INSTANTIATE_TEST_SUITE_P(
    Names, CliFileNamePart,
    ::testing::Values(FileNameRow{"Plain", "SLM", "SLM"}, FileNameRow{"Blank", "1 kHz", "1_kHz"},
                      FileNameRow{"Slashes", "../etc/passwd", "etc_passwd"},
                      FileNameRow{"RunsCollapse", "L(A) : max", "L_A_max"},
                      FileNameRow{"NonAscii", "\xc3\x98 63 Hz", "63_Hz"}, FileNameRow{"NothingLeft", "**", ""},
                      FileNameRow{"DecimalKept", "31.5 Hz", "31.5_Hz"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliRenderTest, NamesAndTitlesTellTheBatchApart)
{
    const CliRun r = RunTool({QStringLiteral("render"), Path("t.Tsrix"), QStringLiteral("--all"),
                              QStringLiteral("--names"), QStringLiteral("--title"), QStringLiteral("--size"),
                              QStringLiteral("400x300"), QStringLiteral("--out"), Path("hall.png")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("hall_0.png")));
    for (const char* name : {"hall_SLM.png", "hall_1_kHz.png"}) {
        const QImage picture(Path(name));
        ASSERT_FALSE(picture.isNull()) << name;
        EXPECT_EQ(picture.size(), QSize(400, 300)) << "the title band comes off the map, not on top of the size";
        // Dark title text in the middle of the band, nothing dark at its ends.
        const int band = TitleBandHeight(96);
        int dark = 0;
        for (int y = 0; y < band; ++y)
            for (int x = 100; x < 300; ++x)
                dark += qGray(picture.pixel(x, y)) < 100;
        EXPECT_GT(dark, 20) << name;
        EXPECT_EQ(picture.pixel(2, band / 2), qRgb(255, 255, 255)) << name;
    }
    EXPECT_TRUE(r.out.contains(QStringLiteral("hall_1_kHz.png")));
}

TEST_F(CliRenderTest, TwoNamesThatGiveOneFileNameAreToldApartByIndex)
{
    QFile table(Path("twins.csv"));
    ASSERT_TRUE(table.open(QIODevice::WriteOnly));
    table.write("X,Y,1 kHz,1/kHz,**\n0.1,0.1,71,60,1\n0.9,0.2,64,58,2\n0.5,0.8,80,66,3\n0.3,0.5,75,62,4\n");
    table.close();
    ASSERT_EQ(RunTool({QStringLiteral("import"), Path("twins.csv"), Path("twins.Tsrix")}).status, CliOk);
    const CliRun r = RunTool({QStringLiteral("render"), Path("twins.Tsrix"), QStringLiteral("--all"),
                              QStringLiteral("--names"), QStringLiteral("--size"), QStringLiteral("200x150"),
                              QStringLiteral("--out"), Path("b.png")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    for (const char* name : {"b_1_kHz.png", "b_1_kHz_1.png", "b_2.png"})
        EXPECT_TRUE(QFile::exists(Path(name))) << name << "\n" << r.out.toStdString();
}

}  // namespace

namespace {

TEST_F(CliRenderTest, TimingsTellEveryPhaseOnTheErrorOutput)
{
    const CliRun r = RunTool({QStringLiteral("render"), Path("t.Tsrix"), QStringLiteral("--all"), QStringLiteral("--size"),
                              QStringLiteral("300x200"), QStringLiteral("--timings"), QStringLiteral("--out"), Path("m.png")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    for (const char* phase : {"surface", "contour tracing", "label placement", "drawing", "png encoding",
                              "maps requested to all ready", "total"})
        EXPECT_TRUE(r.err.contains(QLatin1String(phase))) << phase << "\n" << r.err.toStdString();
    // Two columns: two pictures encoded, each drawn at least once.
    const QStringList lines = r.err.split(u'\n');
    for (const QString& line : lines) {
        const QStringList cells = line.simplified().split(u' ');
        if (line.startsWith(QLatin1String("png encoding"))) {
            EXPECT_EQ(cells.value(2), QStringLiteral("2")) << line.toStdString();
        }
        if (line.startsWith(QLatin1String("drawing"))) {
            EXPECT_GE(cells.value(1).toInt(), 2) << line.toStdString();
        }
    }
    EXPECT_FALSE(r.out.contains(QLatin1String("surface")));
    const CliRun quiet = RunTool({QStringLiteral("render"), Path("t.Tsrix"), QStringLiteral("--all"), QStringLiteral("--size"),
                                  QStringLiteral("300x200"), QStringLiteral("--out"), Path("q.png")});
    ASSERT_EQ(quiet.status, CliOk);
    EXPECT_FALSE(quiet.err.contains(QLatin1String("surface"))) << "timings only when asked";
}

TEST_F(CliRenderTest, WriteFailureNamesEveryFileAndFails)
{
    const CliRun r = RunTool({QStringLiteral("render"), Path("t.Tsrix"), QStringLiteral("--all"), QStringLiteral("--size"),
                              QStringLiteral("300x200"), QStringLiteral("--out"), Path("missing/m.png")});
    EXPECT_EQ(r.status, CliRefused);
    for (const char* name : {"missing/m_0.png", "missing/m_1.png"})
        EXPECT_TRUE(r.err.contains(Path(name) + QLatin1String(": the picture could not be written")))
            << name << "\n" << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty()) << r.out.toStdString();
}

}  // namespace
