// The energy option from the command line: `set` switches it by its short key (and switching it
// off again writes the file as before), and `check` gives its residuals in dB with the number of
// grid nodes that had no positive energy, the same number the map worker counts.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "CliRunner.h"
#include "document/TessarixDoc.h"
#include "workers/BatchMapRun.h"

namespace {

// Corners at 60, 60, 60 and 66 dB (see EnergyDomainTest: residuals 0, -6, -6 and +6 dB).
constexpr char kRaisedCorner[] = "X,Y,SLM\n2,2,60\n8,2,60\n2,8,60\n8,8,66\n";
// Energies (relative to 60 dB) on E = 2x - 0.6 over x = 0.5 .. 1: 0.4, 1.4, 0.4, 1.4, 0.9.
constexpr char kFallingPlane[] =
    "X,Y,SLM\n0.5,0,56.0206\n1,0,61.4613\n0.5,1,56.0206\n1,1,61.4613\n0.75,0.5,59.5424\n";

class CliEnergyTest : public ::testing::Test {
protected:
    // Imports `csv` into t.Tsrix with the unit extent, a 4 x 4 grid, no boundary points and the
    // energy option as given.
    QString Document(const char* csv, bool energy)
    {
        QFile f(Path("t.csv"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(csv);
        f.close();
        EXPECT_EQ(RunTool({QStringLiteral("import"), Path("t.csv"), Path("t.Tsrix")}).status, CliOk);
        CTessarixDoc doc;
        EXPECT_EQ(doc.OnOpenDocument(Path("t.Tsrix")), DocFileStatus::Ok);
        doc.Settings().useBoundaryConditions = 0;
        doc.Settings().extent = {0.0f, 1.0f, 0.0f, 1.0f};
        doc.Settings().gridCountX = 4;
        doc.Settings().gridCountY = 4;
        doc.Settings().energyInterpolation = energy ? 1 : 0;
        EXPECT_EQ(doc.OnSaveDocument(Path("t.Tsrix")), DocFileStatus::Ok);
        return Path("t.Tsrix");
    }
    QJsonObject CheckJson(const QString& file)
    {
        const CliRun r = RunTool({QStringLiteral("check"), file, QStringLiteral("--json")});
        EXPECT_EQ(r.status, CliOk) << r.err.toStdString();
        return QJsonDocument::fromJson(r.out.toUtf8()).object();
    }
    QByteArray Bytes(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(CliEnergyTest, SetSwitchesTheOptionAndOffWritesTheFileAsBefore)
{
    const QString plain = Document(kRaisedCorner, false);
    const CliRun on = RunTool({QStringLiteral("set"), plain, QStringLiteral("Interpolation.Energy=on"),
                               QStringLiteral("--out"), Path("on.Tsrix")});
    ASSERT_EQ(on.status, CliOk) << on.err.toStdString();
    const CliRun info = RunTool({QStringLiteral("info"), Path("on.Tsrix")});
    const QJsonObject settings = QJsonDocument::fromJson(info.out.toUtf8()).object()[QStringLiteral("settings")].toObject();
    EXPECT_EQ(settings[QStringLiteral("energyInterpolation")].toInt(), 1);

    const CliRun off = RunTool({QStringLiteral("set"), Path("on.Tsrix"), QStringLiteral("interpolation.energy=off"),
                                QStringLiteral("--out"), Path("off.Tsrix")});
    ASSERT_EQ(off.status, CliOk) << off.err.toStdString();
    EXPECT_EQ(Bytes(Path("off.Tsrix")), Bytes(plain));

    const CliRun bad = RunTool({QStringLiteral("set"), plain, QStringLiteral("Interpolation.Energy=maybe"),
                                QStringLiteral("--out"), Path("bad.Tsrix")});
    EXPECT_EQ(bad.status, CliRefused);
    EXPECT_FALSE(QFile::exists(Path("bad.Tsrix")));
}

TEST_F(CliEnergyTest, CheckGivesTheEnergyResidualsInDecibels)
{
    const QJsonObject root = CheckJson(Document(kRaisedCorner, true));
    EXPECT_TRUE(root[QStringLiteral("energy")].toBool());
    const QJsonArray points = root[QStringLiteral("points")].toArray();
    ASSERT_EQ(points.size(), 4);
    const double residuals[] = {0.0, -6.0, -6.0, 6.0};
    for (int k = 0; k < 4; ++k)
        EXPECT_NEAR(points[k].toObject()[QStringLiteral("residual")].toDouble(), residuals[k], 1e-4) << k;
    EXPECT_NEAR(root[QStringLiteral("rms")].toDouble(), std::sqrt(27.0), 1e-4);
    EXPECT_LT(root[QStringLiteral("largestMiss")].toDouble(), 1e-4);
    EXPECT_EQ(root[QStringLiteral("gridNodes")].toInt(), 25);
}

TEST_F(CliEnergyTest, CheckCountsTheNodesTheMapWorkerCounts)
{
    const QString file = Document(kFallingPlane, true);
    const CliRun table = RunTool({QStringLiteral("check"), file});
    ASSERT_EQ(table.status, CliOk) << table.err.toStdString();
    EXPECT_TRUE(table.out.contains(QStringLiteral(
        "Interpolated as energies 10^(L/10): 10 of 25 grid nodes have no positive energy and show the lowest "
        "measured level, 56.0206 dB.\n")))
        << table.out.toStdString();

    const QJsonObject root = CheckJson(file);
    EXPECT_EQ(root[QStringLiteral("nonPositiveEnergyNodes")].toInt(), 10);
    EXPECT_NEAR(root[QStringLiteral("lowestLevel")].toDouble(), 56.0206, 1e-4);

    CBatchMapRun run(0);
    ASSERT_TRUE(run.OpenAndCompute(file, 0).isEmpty());
    EXPECT_EQ(run.Thread(0).NonPositiveEnergyNodes(), root[QStringLiteral("nonPositiveEnergyNodes")].toInt());
}

}  // namespace
