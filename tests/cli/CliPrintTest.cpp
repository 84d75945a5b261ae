// tessarix-cli print: argument checks, and the PDF report of every enabled column.
#include <gtest/gtest.h>

#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include "CliRunner.h"
#include "cli/CliCommand.h"

namespace {

class CliPrintTest : public CliImportedTable {
protected:
    CliPrintTest() : CliImportedTable("X,Y,Leq,1 kHz\n0.1,0.1,71,60\n0.9,0.2,64,58\n0.5,0.8,80,66\n0.3,0.5,75,62\n0.7,0.6,69,61\n") {}
};

struct UsageRow {
    const char* name;
    std::vector<const char*> args;  // after "print FILE"
    int status;
};
class CliPrintUsageTest : public CliPrintTest, public ::testing::WithParamInterface<UsageRow> {};

TEST_P(CliPrintUsageTest, RefusesBadArgumentsWithoutWriting)
{
    const CliRun r = RunOnTable("print", GetParam().args);
    EXPECT_EQ(r.status, GetParam().status) << r.err.toStdString();
    EXPECT_FALSE(r.err.isEmpty());
    EXPECT_FALSE(QFile::exists(Path("r.pdf")));
}

INSTANTIATE_TEST_SUITE_P(
    Arguments, CliPrintUsageTest,
    ::testing::Values(UsageRow{"NoOut", {}, CliUsage},
                      UsageRow{"ThreeMargins", {"--margins", "10,10,10", "--out", "r.pdf"}, CliUsage},
                      UsageRow{"NegativeMargin", {"--margins", "10,-1,10,10", "--out", "r.pdf"}, CliUsage},
                      UsageRow{"MarginNotANumber", {"--margins", "10,a,10,10", "--out", "r.pdf"}, CliUsage},
                      UsageRow{"UnknownPaper", {"--paper", "A3", "--out", "r.pdf"}, CliUsage},
                      UsageRow{"TitleWithoutText", {"--out", "r.pdf", "--title"}, CliUsage},
                      UsageRow{"UnknownOption", {"--colour", "1", "--out", "r.pdf"}, CliUsage}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(CliPrintTest, MissingDocumentIsRefused)
{
    const CliRun r = RunTool({QStringLiteral("print"), Path("none.Tsrix"), QStringLiteral("--out"), Path("r.pdf")});
    EXPECT_EQ(r.status, CliRefused);
    EXPECT_FALSE(QFile::exists(Path("r.pdf")));
}

TEST_F(CliPrintTest, OnePagePerEnabledColumnWithTheColumnNamesAsText)
{
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    if (pdftotext.isEmpty())
        GTEST_SKIP() << "pdftotext (poppler-utils) not installed";
    const QString out = dir.filePath(QStringLiteral("r.pdf"));
    const CliRun r = RunTool({QStringLiteral("print"), Path("t.Tsrix"), QStringLiteral("--out"), out,
                              QStringLiteral("--title"), QStringLiteral("Column $"), QStringLiteral("--footer"),
                              QStringLiteral("Hall 7 survey"), QStringLiteral("--paper"), QStringLiteral("Letter"),
                              QStringLiteral("--landscape"), QStringLiteral("--margins"), QStringLiteral("12,12,15,15")});
    ASSERT_EQ(r.status, CliOk) << r.err.toStdString();
    EXPECT_EQ(r.out.trimmed(), out);
    QProcess p;
    p.start(pdftotext, {out, QStringLiteral("-")});
    ASSERT_TRUE(p.waitForFinished(60000));
    const QString text = QString::fromUtf8(p.readAllStandardOutput());
    EXPECT_EQ(text.count(u'\f'), 2) << text.toStdString();  // pages end in a form feed
    EXPECT_TRUE(text.contains(QStringLiteral("Column Leq")));
    EXPECT_TRUE(text.contains(QStringLiteral("Column 1 kHz")));
    EXPECT_EQ(text.count(QStringLiteral("Hall 7 survey")), 2);
    EXPECT_TRUE(text.contains(QStringLiteral("t.Tsrix")));  // the footer's document title line
}

}  // namespace
