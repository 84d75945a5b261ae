#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>

#include "CliRunner.h"
#include "cli/CliCommand.h"

namespace {

void WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class CliTest : public ::testing::Test {
protected:
    QString Path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    QTemporaryDir dir;
};

TEST_F(CliTest, NewWritesTheDefaultDocument)
{
    ASSERT_EQ(RunTool({QStringLiteral("new"), Path("a.Tsrix")}).status, CliOk);
    EXPECT_EQ(QFileInfo(Path("a.Tsrix")).size(), 1030);
}

TEST_F(CliTest, InfoPrintsFloatsThatReadBackExactly)
{
    WriteFile(Path("t.csv"), "X;Y;SLM;1 kHz\n0,1;2,5;71,3;65\n3;4;80,05;66,6\n");
    ASSERT_EQ(RunTool({QStringLiteral("import"), Path("t.csv"), Path("t.Tsrix")}).status, CliOk);
    const CliRun info = RunTool({QStringLiteral("info"), Path("t.Tsrix")});
    ASSERT_EQ(info.status, CliOk) << info.err.toStdString();
    const QJsonObject root = QJsonDocument::fromJson(info.out.toUtf8()).object();
    EXPECT_EQ(root[QStringLiteral("pointCount")].toInt(), 2);
    EXPECT_EQ(float(root[QStringLiteral("x")].toArray()[0].toDouble()), 0.1f);
    EXPECT_TRUE(info.out.contains(QStringLiteral("80.05"))) << "shortest form of the float";
    const QJsonArray columns = root[QStringLiteral("columns")].toArray();
    ASSERT_EQ(columns.size(), 12);
    EXPECT_EQ(columns[1].toObject()[QStringLiteral("name")].toString(), QStringLiteral("1 kHz"));
    EXPECT_EQ(columns[1].toObject()[QStringLiteral("enabled")].toInt(), 1);
    EXPECT_EQ(columns[2].toObject()[QStringLiteral("enabled")].toInt(), 0);
    EXPECT_TRUE(root[QStringLiteral("settings")].toObject().contains(QStringLiteral("interpParameter")));
}

struct BadTableCase {
    const char* name;
    const char* text;
    const char* where;  // expected "file:line:column" suffix
};

class CliImportErrorTest : public CliTest, public ::testing::WithParamInterface<BadTableCase> {};

TEST_P(CliImportErrorTest, RefusesWithLineAndColumnAndWritesNothing)
{
    WriteFile(Path("bad.csv"), GetParam().text);
    const CliRun r = RunTool({QStringLiteral("import"), Path("bad.csv"), Path("out.Tsrix")});
    EXPECT_EQ(r.status, CliRefused);
    EXPECT_TRUE(r.err.startsWith(Path("bad.csv") + QString::fromLatin1(GetParam().where))) << r.err.toStdString();
    EXPECT_FALSE(QFile::exists(Path("out.Tsrix")));
}

INSTANTIATE_TEST_SUITE_P(
    Tables, CliImportErrorTest,
    ::testing::Values(BadTableCase{"word_in_cell", "X,Y,SLM\n1,2,3\n1,2,loud\n", ":3:3:"},
                      BadTableCase{"short_row", "X\tY\tSLM\n1\t2\n", ":2:"},
                      BadTableCase{"header_only_two", "X,Y\n", ":1:"},
                      BadTableCase{"too_many_columns", "X,Y,a,b,c,d,e,f,g,h,i,j,k,l,m\n", ":1:15:"},
                      BadTableCase{"unit_after_number", "X;Y;SLM\n1;2;3,5 dB\n", ":2:3:"}),
    [](const auto& info) { return info.param.name; });

TEST_F(CliTest, InfoRefusesMalformedFilesWithTheDocumentMessage)
{
    WriteFile(Path("bad.Tsrix"), QByteArray("TRST\0\0\0\0", 8));
    const CliRun r = RunTool({QStringLiteral("info"), Path("bad.Tsrix")});
    EXPECT_EQ(r.status, CliRefused);
    EXPECT_EQ(r.err.trimmed(), QStringLiteral("Unexpected file format."));
    const CliRun missing = RunTool({QStringLiteral("info"), Path("missing.Tsrix")});
    EXPECT_EQ(missing.status, CliRefused);
    EXPECT_TRUE(missing.err.contains(QStringLiteral("Cannot find this file.")));
}

TEST_F(CliTest, WrongUsageIsStatusTwo)
{
    EXPECT_EQ(RunTool({}).status, CliUsage);
    EXPECT_EQ(RunTool({QStringLiteral("frobnicate")}).status, CliUsage);
    EXPECT_EQ(RunTool({QStringLiteral("info")}).status, CliUsage);
    EXPECT_EQ(RunTool({QStringLiteral("info"), Path("a"), QStringLiteral("--bogus")}).status, CliUsage);
    EXPECT_EQ(RunTool({QStringLiteral("import"), QStringLiteral("--help")}).status, CliOk);
}

}  // namespace
