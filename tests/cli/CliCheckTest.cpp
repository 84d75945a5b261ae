// tessarix-cli check end to end: the table and JSON of a surface whose leave-one-out residuals
// are known by hand, the warning of an ill-conditioned one, and the refusals.

#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "CliRunner.h"
#include "document/TessarixDoc.h"

namespace {

class CliCheckTest : public ::testing::Test {
protected:
    // Imports `csv` (X,Y,SLM) and stores it with the given interpolation and no boundary points.
    QString Document(const char* csv, int32_t function = RbfMultiquadric, float parameter = 0.2f,
                     int32_t boundary = 0)
    {
        QFile f(Path("t.csv"));
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(csv);
        f.close();
        EXPECT_EQ(RunTool({QStringLiteral("import"), Path("t.csv"), Path("t.Tsrix")}).status, CliOk);
        CTessarixDoc doc;
        EXPECT_EQ(doc.OnOpenDocument(Path("t.Tsrix")), DocFileStatus::Ok);
        doc.Settings().useBoundaryConditions = boundary;
        doc.Settings().interpFunction = function;
        doc.Settings().interpParameter = parameter;
        EXPECT_EQ(doc.OnSaveDocument(Path("t.Tsrix")), DocFileStatus::Ok);
        return Path("t.Tsrix");
    }
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

// Four corners, one 6 dB up: without any one corner the surface is the plane through the other
// three, whatever the kernel, and misses the left-out corner by 6 dB.
constexpr char kRaisedCorner[] = "X,Y,SLM\n2,2,60\n8,2,60\n2,8,60\n8,8,66\n";

TEST_F(CliCheckTest, TablePrintsResidualsWorstPointsAndSummary)
{
    const CliRun r = RunTool({QStringLiteral("check"), Document(kRaisedCorner)});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    const QString expected = QStringLiteral(
        "point\tx\ty\tvalue\tLOO residual\n"
        "1\t2\t2\t60\t6.000\t*\n"
        "2\t8\t2\t60\t-6.000\t*\n"
        "3\t2\t8\t60\t-6.000\t*\n"
        "4\t8\t8\t66\t6.000\t*\n"
        "The 4 points with the largest leave-one-out residuals are marked *.\n"
        "RMS of the leave-one-out residuals: 6.000 dB\n");
    EXPECT_TRUE(r.out.startsWith(expected)) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Condition estimate of the interpolation system: ")));
    EXPECT_FALSE(r.out.contains(QStringLiteral("WARNING! "))) << r.out.toStdString();
}

TEST_F(CliCheckTest, JsonCarriesTheSameNumbers)
{
    const CliRun r = RunTool({QStringLiteral("check"), Document(kRaisedCorner, RbfThinPlateSpline, 0.3f),
                              QStringLiteral("--json")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(r.out.toUtf8()).object();
    const QJsonArray points = root[QStringLiteral("points")].toArray();
    ASSERT_EQ(points.size(), 4);
    const double residuals[] = {6.0, -6.0, -6.0, 6.0};
    for (int k = 0; k < 4; ++k) {
        const QJsonObject p = points[k].toObject();
        EXPECT_EQ(p[QStringLiteral("point")].toInt(), k + 1);
        EXPECT_NEAR(p[QStringLiteral("residual")].toDouble(), residuals[k], 1e-6) << k;
        EXPECT_TRUE(p[QStringLiteral("worst")].toBool());
    }
    EXPECT_NEAR(root[QStringLiteral("rms")].toDouble(), 6.0, 1e-6);
    EXPECT_LT(root[QStringLiteral("largestMiss")].toDouble(), 1e-6);
    EXPECT_GT(root[QStringLiteral("conditionEstimate")].toDouble(), 1.0);
    EXPECT_TRUE(root[QStringLiteral("warning")].isNull());
}

TEST_F(CliCheckTest, BoundaryPointsTakePartButAreNotListed)
{
    const CliRun without = RunTool({QStringLiteral("check"), Document(kRaisedCorner), QStringLiteral("--json")});
    const CliRun with = RunTool(
        {QStringLiteral("check"), Document(kRaisedCorner, RbfMultiquadric, 0.2f, 1), QStringLiteral("--json")});
    ASSERT_EQ(with.status, CliOk) << with.err.toStdString();
    const QJsonArray a = QJsonDocument::fromJson(without.out.toUtf8()).object()[QStringLiteral("points")].toArray();
    const QJsonArray b = QJsonDocument::fromJson(with.out.toUtf8()).object()[QStringLiteral("points")].toArray();
    ASSERT_EQ(b.size(), 4);
    // The boundary points change the leave-one-out surfaces, so the residuals are no longer 6 dB.
    EXPECT_GT(std::fabs(a[0].toObject()[QStringLiteral("residual")].toDouble() -
                        b[0].toObject()[QStringLiteral("residual")].toDouble()),
              1e-3);
}

TEST_F(CliCheckTest, IllConditionedSurfaceWarns)
{
    const CliRun r = RunTool({QStringLiteral("check"),
                              Document("X,Y,SLM\n2,2,60\n8,2,71\n2,8,64\n8,8,66\n5,5,75\n3,6,68\n6.5,3.5,62\n",
                                       RbfMultiquadric, 2000.0f)});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("\nWARNING! The surface misses point "))) << r.out.toStdString();
}

TEST_F(CliCheckTest, RefusesWhatItCannotCheck)
{
    const QString good = Document(kRaisedCorner);
    struct Case {
        const char* name;
        QStringList args;
        int status;
        const char* message;  // part of the error text
    };
    const Case cases[] = {
        {"NoFile", {QStringLiteral("check")}, CliUsage, "usage: tessarix-cli check"},
        {"ColumnOutOfRange", {QStringLiteral("check"), good, QStringLiteral("--column"), QStringLiteral("12")}, CliUsage,
         "The column must be"},
        {"ColumnWithoutValue", {QStringLiteral("check"), good, QStringLiteral("--column")}, CliUsage, "usage:"},
        {"UnknownOption", {QStringLiteral("check"), good, QStringLiteral("--csv")}, CliUsage, "usage:"},
        {"MissingFile", {QStringLiteral("check"), Path("missing.Tsrix")}, CliRefused, ""},
    };
    for (const Case& c : cases) {
        const CliRun r = RunTool(c.args);
        EXPECT_EQ(r.status, c.status) << c.name;
        EXPECT_TRUE(r.err.contains(QString::fromLatin1(c.message))) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << c.name;
    }
}

TEST_F(CliCheckTest, RepeatedReadingIsRefusedWithItsPoints)
{
    const CliRun r = RunTool({QStringLiteral("check"), Document("X,Y,SLM\n2,2,60\n8,2,60\n2,8,60\n8,2,61\n")});
    EXPECT_EQ(r.status, CliRefused);
    EXPECT_TRUE(r.err.contains(QStringLiteral("Points 2 and 4 lie at the same position"))) << r.err.toStdString();
    EXPECT_TRUE(r.out.isEmpty());
}

TEST_F(CliCheckTest, TwoPointsAreTooFew)
{
    const CliRun r = RunTool({QStringLiteral("check"), Document("X,Y,SLM\n2,2,60\n8,2,60\n")});
    EXPECT_EQ(r.status, CliRefused);
    EXPECT_TRUE(r.err.contains(QStringLiteral("too few points"))) << r.err.toStdString();
}

}  // namespace
