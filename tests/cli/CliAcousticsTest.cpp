// The band-sum and merge commands end to end: what they write, what they print, and how they
// refuse wrong arguments.

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <cmath>

#include "CliRunner.h"
#include "document/TessarixDoc.h"

namespace {

// Two readings at one place (80 and 90 dB), one elsewhere; 1 kHz 3 dB under SLM.
class CliAcoustics : public CliImportedTable {
protected:
    CliAcoustics() : CliImportedTable("X,Y,SLM,125 Hz,1 kHz\n1,1,80,70,77\n1,1.0004,90,80,87\n5,5,60,50,57\n") {}
};

TEST_F(CliAcoustics, MergeWritesTheEnergeticMean)
{
    const CliRun r = RunTool({QStringLiteral("merge"), Path("t.Tsrix"), QStringLiteral("--out"), Path("m.Tsrix")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("Points 1, 2 at (1, 1) merged."))) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains(QStringLiteral("1 points removed, 2 left.")));
    CTessarixDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(Path("m.Tsrix")), DocFileStatus::Ok);
    ASSERT_EQ(doc.PointCount(), 2);
    EXPECT_NEAR(doc.Column(0).values[0], 87.404, 0.001);
}

TEST_F(CliAcoustics, BandsFillsAColumnAndChecksIt)
{
    const CliRun fill = RunTool({QStringLiteral("bands"), Path("t.Tsrix"), QStringLiteral("--into"), QStringLiteral("0"),
                                 QStringLiteral("--out"), Path("b.Tsrix")});
    ASSERT_EQ(fill.status, CliOk) << fill.err.toStdString();
    CTessarixDoc doc;
    ASSERT_EQ(doc.OnOpenDocument(Path("b.Tsrix")), DocFileStatus::Ok);
    EXPECT_NEAR(doc.Column(0).values[2], 10.0 * std::log10(1e5 + std::pow(10.0, 5.7)), 1e-4);

    const CliRun check = RunTool({QStringLiteral("bands"), Path("t.Tsrix"), QStringLiteral("--check")});
    ASSERT_EQ(check.status, CliOk);
    // 70 and 77 dB sum to 77.79 dB, 2.2 dB under the measured 80.
    EXPECT_TRUE(check.out.contains(QStringLiteral("1\t1\t1\t80.0\t77.8\t2.2\t*"))) << check.out.toStdString();
    EXPECT_TRUE(check.out.contains(QStringLiteral("3 of 3 positions")));
}

TEST_F(CliAcoustics, WrongArgumentsAreRefused)
{
    const QString in = Path("t.Tsrix");
    const QString out = Path("x.Tsrix");
    struct Case {
        QStringList args;
        int status;
    };
    const Case cases[] = {
        {{QStringLiteral("bands"), in}, CliUsage},  // neither --into nor --check
        {{QStringLiteral("bands"), in, QStringLiteral("--into"), QStringLiteral("0")}, CliUsage},  // no --out
        {{QStringLiteral("bands"), in, QStringLiteral("--check"), QStringLiteral("--into"), QStringLiteral("0")}, CliUsage},
        {{QStringLiteral("bands"), in, QStringLiteral("--into"), QStringLiteral("1"), QStringLiteral("--out"), out}, CliUsage},
        {{QStringLiteral("bands"), in, QStringLiteral("--check"), QStringLiteral("--bands"), QStringLiteral("0,1")}, CliUsage},
        {{QStringLiteral("bands"), in, QStringLiteral("--check"), QStringLiteral("--bands"), QStringLiteral("12")}, CliUsage},
        {{QStringLiteral("merge"), in}, CliUsage},
        {{QStringLiteral("merge"), in, QStringLiteral("--out"), out, QStringLiteral("--tolerance"), QStringLiteral("-1")}, CliUsage},
        {{QStringLiteral("merge"), Path("missing.Tsrix"), QStringLiteral("--out"), out}, CliRefused},
    };
    for (const Case& c : cases)
        EXPECT_EQ(RunTool(c.args).status, c.status) << c.args.join(u' ').toStdString();
    EXPECT_FALSE(QFile::exists(out));
}

}  // namespace
