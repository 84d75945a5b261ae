// tessarix-cli zones end to end: the areas of a planar level field (the interpolation reproduces
// a plane), their share of the map or of the clipped region, the GeoJSON polygons read back with
// QJsonDocument, and the refusals.

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "CliRunner.h"
#include "document/ClipSettings.h"
#include "document/TessarixDoc.h"

namespace {

// Switches the boundary points off, so the surface is the measured points' own.
void WithoutBoundaryPoints(const QString& path)
{
    CTessarixDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(path), DocFileStatus::Ok);
    doc.Settings().useBoundaryConditions = 0;
    ASSERT_EQ(doc.OnSaveDocument(path), DocFileStatus::Ok);
}

// SLM rises 1 dB per map unit eastwards from 60 dB at x = 0; "Flat" is 50 dB everywhere. The
// interpolation reproduces the plane.
class CliZones : public CliImportedTable {
protected:
    CliZones()
        : CliImportedTable("X,Y,SLM,Flat\n0,0,60,50\n20,0,80,50\n0,20,60,50\n20,20,80,50\n10,10,70,50\n5,15,65,50\n")
    {
    }
    void SetUp() override
    {
        CliImportedTable::SetUp();
        WithoutBoundaryPoints(Path("t.Tsrix"));
        CTessarixDoc doc;
        ASSERT_EQ(doc.OnOpenDocument(Path("t.Tsrix")), DocFileStatus::Ok);
        extent = doc.Settings().extent;
    }
    double Width() const { return double(extent.x1) - double(extent.x0); }
    double Height() const { return double(extent.y1) - double(extent.y0); }
    // The area where SLM >= level: the strip east of x = level - 60.
    double SlmArea(double level) const { return (double(extent.x1) - std::max(double(extent.x0), level - 60.0)) * Height(); }

    // Clips the map (picture mode) to the square 5..15 of map units.
    void ClipToSquare()
    {
        CTessarixDoc doc;
        ASSERT_EQ(doc.OnOpenDocument(Path("t.Tsrix")), DocFileStatus::Ok);
        CTessarixSettings& s = doc.Settings();
        s.mapMode = MapModeImage;
        s.imageRect = {extent.x0, extent.y0, extent.x1, extent.y1};
        ClipPolylineSet set;
        ClipPolyline square;
        for (const auto& [x, y] : std::vector<std::pair<double, double>>{{5, 5}, {15, 5}, {15, 15}, {5, 15}})
            square.vertices.push_back({float((x - extent.x0) / Width()), float((y - extent.y0) / Height())});
        set.polylines.push_back(square);
        SetClipping(s, set);
        ASSERT_EQ(doc.OnSaveDocument(Path("t.Tsrix")), DocFileStatus::Ok);
    }
    QJsonObject Json(const std::vector<const char*>& args)
    {
        std::vector<const char*> all = args;
        all.push_back("--json");
        const CliRun run = RunOnTable("zones", all);
        EXPECT_EQ(run.status, CliOk) << run.err.toStdString();
        return QJsonDocument::fromJson(run.out.toUtf8()).object();
    }
    MapExtent extent;
};

double ShoelaceOfClosedRing(const QJsonArray& ring)
{
    double twice = 0.0;
    for (int k = 0; k + 1 < ring.size(); ++k) {
        const QJsonArray p = ring[k].toArray(), q = ring[k + 1].toArray();
        twice += p[0].toDouble() * q[1].toDouble() - q[0].toDouble() * p[1].toDouble();
    }
    return 0.5 * twice;
}

TEST_F(CliZones, JsonGivesAreaAndSharePerEnabledColumn)
{
    const QJsonObject root = Json({"--levels", "65,70,90"});
    const QJsonArray columns = root[QStringLiteral("columns")].toArray();
    ASSERT_EQ(columns.size(), 2);
    const QJsonObject slm = columns[0].toObject();
    EXPECT_EQ(slm[QStringLiteral("name")].toString(), QStringLiteral("SLM"));
    EXPECT_FALSE(slm[QStringLiteral("clipped")].toBool());
    EXPECT_NEAR(slm[QStringLiteral("regionArea")].toDouble(), Width() * Height(), 1e-6);
    const QJsonArray zones = slm[QStringLiteral("zones")].toArray();
    ASSERT_EQ(zones.size(), 3);
    const double levels[] = {65.0, 70.0, 90.0};
    for (int k = 0; k < 3; ++k) {
        const QJsonObject z = zones[k].toObject();
        EXPECT_EQ(z[QStringLiteral("level")].toDouble(), levels[k]);
        EXPECT_NEAR(z[QStringLiteral("area")].toDouble(), std::max(0.0, SlmArea(levels[k])), 1e-2) << levels[k];
        EXPECT_NEAR(z[QStringLiteral("share")].toDouble(), std::max(0.0, SlmArea(levels[k])) / (Width() * Height()),
                    1e-4);
    }
    // The flat column lies under every level.
    for (const QJsonValue& z : columns[1].toObject()[QStringLiteral("zones")].toArray())
        EXPECT_EQ(z.toObject()[QStringLiteral("area")].toDouble(), 0.0);
}

TEST_F(CliZones, TableNamesTheRegionAndOneLinePerLevel)
{
    const CliRun run = RunOnTable("zones", {"--column", "0"});
    ASSERT_EQ(run.status, CliOk) << run.err.toStdString();
    const QStringList lines = run.out.split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << run.out.toStdString();  // heading, column heads, 80, 85, 87
    EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Column 0 (SLM): map area "))) << lines[0].toStdString();
    EXPECT_EQ(lines[1], QStringLiteral("level\tarea\tshare"));
    EXPECT_TRUE(lines[2].startsWith(QStringLiteral("80\t")));
    EXPECT_TRUE(lines[4].startsWith(QStringLiteral("87\t")));
    EXPECT_TRUE(lines[4].endsWith(QStringLiteral(" %")));
}

TEST_F(CliZones, ClippingLimitsAreaAndShare)
{
    ClipToSquare();
    const QJsonObject slm = Json({"--levels", "72", "--column", "0"})[QStringLiteral("columns")].toArray()[0].toObject();
    EXPECT_TRUE(slm[QStringLiteral("clipped")].toBool());
    EXPECT_NEAR(slm[QStringLiteral("regionArea")].toDouble(), 100.0, 1e-3);
    // x >= 12 inside 5..15: 3 × 10.
    const QJsonObject z = slm[QStringLiteral("zones")].toArray()[0].toObject();
    EXPECT_NEAR(z[QStringLiteral("area")].toDouble(), 30.0, 1e-2);
    EXPECT_NEAR(z[QStringLiteral("share")].toDouble(), 0.3, 1e-4);
}

TEST_F(CliZones, GeoJsonHoldsClosedCounterClockwisePolygonsWithTheirArea)
{
    const CliRun run = RunOnTable("zones", {"--levels", "65,90", "--geojson", Path("z.geojson").toUtf8().constData()});
    ASSERT_EQ(run.status, CliOk) << run.err.toStdString();
    QFile file(Path("z.geojson"));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QJsonParseError error;
    const QJsonObject root = QJsonDocument::fromJson(file.readAll(), &error).object();
    ASSERT_EQ(error.error, QJsonParseError::NoError);
    EXPECT_EQ(root[QStringLiteral("type")].toString(), QStringLiteral("FeatureCollection"));
    // Only SLM at 65 has a zone: nothing reaches 90, the flat column is under both.
    const QJsonArray features = root[QStringLiteral("features")].toArray();
    ASSERT_EQ(features.size(), 1);
    const QJsonObject feature = features[0].toObject();
    EXPECT_EQ(feature[QStringLiteral("type")].toString(), QStringLiteral("Feature"));
    const QJsonObject properties = feature[QStringLiteral("properties")].toObject();
    EXPECT_EQ(properties[QStringLiteral("column")].toInt(), 0);
    EXPECT_EQ(properties[QStringLiteral("name")].toString(), QStringLiteral("SLM"));
    EXPECT_EQ(properties[QStringLiteral("level")].toDouble(), 65.0);
    const QJsonObject geometry = feature[QStringLiteral("geometry")].toObject();
    ASSERT_EQ(geometry[QStringLiteral("type")].toString(), QStringLiteral("Polygon"));
    const QJsonArray rings = geometry[QStringLiteral("coordinates")].toArray();
    ASSERT_EQ(rings.size(), 1);
    const QJsonArray outer = rings[0].toArray();
    ASSERT_GE(outer.size(), 4);
    EXPECT_EQ(outer.first().toArray(), outer.last().toArray()) << "a GeoJSON ring repeats its first position";
    EXPECT_NEAR(ShoelaceOfClosedRing(outer), properties[QStringLiteral("area")].toDouble(), 1e-6);
    EXPECT_NEAR(properties[QStringLiteral("area")].toDouble(), SlmArea(65.0), 1e-2);
}

TEST_F(CliZones, WrongArgumentsAreRefused)
{
    struct Case {
        std::vector<const char*> args;
        int status;
        const char* message;
    };
    const Case cases[] = {
        {{"--levels", "80,,85"}, CliUsage, "comma-separated list"},
        {{"--levels", "loud"}, CliUsage, "comma-separated list"},
        {{"--levels"}, CliUsage, "usage: tessarix-cli zones"},
        {{"--column", "12"}, CliUsage, "from 0 to 11"},
        {{"--column", "5"}, CliRefused, "not enabled"},
        {{"--loud"}, CliUsage, "usage: tessarix-cli zones"},
        {{"--geojson", "/nonexistent-folder/z.geojson"}, CliRefused, "Cannot write"},
    };
    for (const Case& c : cases) {
        const CliRun run = RunOnTable("zones", c.args);
        EXPECT_EQ(run.status, c.status) << c.args.front();
        EXPECT_TRUE(run.err.contains(QString::fromLatin1(c.message))) << run.err.toStdString();
    }
    EXPECT_EQ(RunTool({QStringLiteral("zones"), Path("missing.Tsrix")}).status, CliRefused);
}

class CliZonesTooFew : public CliImportedTable {
protected:
    CliZonesTooFew() : CliImportedTable("X,Y,SLM\n0,0,60\n20,0,80\n") {}
};

TEST_F(CliZonesTooFew, ColumnWithoutSurfaceIsReportedNotCountedAsEmpty)
{
    WithoutBoundaryPoints(Path("t.Tsrix"));
    const CliRun run = RunOnTable("zones", {});
    EXPECT_EQ(run.status, CliRefused);
    EXPECT_TRUE(run.err.contains(QStringLiteral("Column 0 (SLM) has no zones"))) << run.err.toStdString();
    EXPECT_FALSE(run.out.contains(QStringLiteral("level\tarea"))) << "no table of zeros for a missing surface";
}

}  // namespace
