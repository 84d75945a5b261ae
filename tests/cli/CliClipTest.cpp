// tessarix-cli import --clip: outlines in map coordinates become picture-relative polylines,
// info lists them in both forms, and a bad file refuses the whole import.

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CliRunner.h"
#include "cli/CliCommand.h"

namespace {

class CliClipTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        Write("t.csv", "X;Y;SLM\n10;5;60\n30;20;70\n");
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Write(const char* name, const QByteArray& bytes)
    {
        QFile f(Path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
    }
    CliRun Import(const char* clipFile)
    {
        return RunTool({QStringLiteral("import"), Path("t.csv"), Path("c.Tsrix"), QStringLiteral("--image-rect"),
                        QStringLiteral("0,0,40,25"), QStringLiteral("--clip"), Path(clipFile)});
    }
    QJsonArray Polylines()
    {
        const CliRun info = RunTool({QStringLiteral("info"), Path("c.Tsrix")});
        EXPECT_EQ(info.status, CliOk) << info.err.toStdString();
        return QJsonDocument::fromJson(info.out.toUtf8())
            .object()[QStringLiteral("settings")]
            .toObject()[QStringLiteral("clipPolylines")]
            .toArray();
    }
    QTemporaryDir dir;
};

TEST_F(CliClipTest, TextOutlinesBecomePictureRelativePolylines)
{
    Write("room.txt", "0 0\n20 0\n20 25\n0 25\n\n30 5\n40 5\n35 15\n");
    const CliRun run = Import("room.txt");
    ASSERT_EQ(run.status, CliOk) << run.err.toStdString();
    const QJsonArray polylines = Polylines();
    ASSERT_EQ(polylines.size(), 2);
    const QJsonArray first = polylines[0].toObject()[QStringLiteral("points")].toArray();
    ASSERT_EQ(first.size(), 4);
    EXPECT_EQ(first[1].toArray()[0].toDouble(), 0.5);
    EXPECT_EQ(first[2].toArray()[1].toDouble(), 1.0);
    const QJsonArray mapPoints = polylines[1].toObject()[QStringLiteral("mapPoints")].toArray();
    ASSERT_EQ(mapPoints.size(), 3);
    // Back through single-precision fractions: within a float's reach of the numbers read.
    EXPECT_NEAR(mapPoints[2].toArray()[0].toDouble(), 35.0, 1e-5);
    EXPECT_NEAR(mapPoints[2].toArray()[1].toDouble(), 15.0, 1e-5);
    EXPECT_EQ(polylines[1].toObject()[QStringLiteral("conditioning")].toInt(), 0);
}

TEST_F(CliClipTest, GeoJsonPolygonIsReadAndOutsidePointsAreReported)
{
    Write("room.geojson", R"({"type":"Polygon","coordinates":[[[-4,0],[40,0],[40,25],[0,25],[-4,0]]]})");
    const CliRun run = Import("room.geojson");
    ASSERT_EQ(run.status, CliOk) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(QStringLiteral("1 coordinates lay outside the picture"))) << run.err.toStdString();
    const QJsonArray polylines = Polylines();
    ASSERT_EQ(polylines.size(), 1);
    EXPECT_EQ(polylines[0].toObject()[QStringLiteral("points")].toArray().size(), 4);
}

TEST_F(CliClipTest, BadOutlineFileRefusesTheImportAndWritesNothing)
{
    Write("bad.txt", "0 0\n20 zero\n20 25\n");
    const CliRun run = Import("bad.txt");
    EXPECT_EQ(run.status, CliRefused);
    EXPECT_TRUE(run.err.contains(QStringLiteral("bad.txt:2:"))) << run.err.toStdString();
    EXPECT_FALSE(QFileInfo::exists(Path("c.Tsrix")));
    const CliRun missing = Import("none.txt");
    EXPECT_EQ(missing.status, CliRefused);
}

}  // namespace
