// tessarix-cli render: argument checks, and pictures through the worker threads.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include "CliRunner.h"
#include "cli/CliCommand.h"

namespace {

class CliRenderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QFile table(Path("t.csv"));
        ASSERT_TRUE(table.open(QIODevice::WriteOnly));
        table.write("X,Y,SLM,1 kHz\n0.1,0.1,71,60\n0.9,0.2,64,58\n0.5,0.8,80,66\n0.3,0.5,75,62\n0.7,0.6,69,61\n");
        table.close();
        ASSERT_EQ(RunTool({QStringLiteral("import"), Path("t.csv"), Path("t.Tsrix")}).status, CliOk);
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

struct UsageRow {
    const char* name;
    std::vector<const char*> args;  // after "render FILE"
    int status;
};
class CliRenderUsageTest : public CliRenderTest, public ::testing::WithParamInterface<UsageRow> {};

TEST_P(CliRenderUsageTest, RefusesBadArgumentsBeforeRendering)
{
    QStringList args{QStringLiteral("render"), Path("t.Tsrix")};
    for (const char* a : GetParam().args)
        args << QString::fromLatin1(a);
    const CliRun r = RunTool(args);
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
