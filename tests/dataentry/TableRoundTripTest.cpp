#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "DataEntryTestDoc.h"
#include "dataentry/EditDataModel.h"
#include "dataentry/TableToDocument.h"
#include "dataentry/TextTableReader.h"

namespace {

const ExchangeLocale kDot{QStringLiteral("."), QStringLiteral(",")};
const ExchangeLocale kComma{QStringLiteral(","), QStringLiteral(";")};

// A document with three points and columns SLM and "1 kHz" (renamed to hold an umlaut).
TestDoc MakeDoc()
{
    TestDoc t(3, {7});
    t.doc->Column(7).name = QStringLiteral("Pegel \u00e4");
    t.doc->SetPointTable(3, {0.5f, 1.25f, -2}, {10, 20.5f, 30},
                         {CTXFloatArray{93.5f, 88, 1e-7f}, {}, {}, {}, {}, {}, {}, CTXFloatArray{1, 2, 3}});
    return t;
}

TEST(PointTable, TextRenderingWithHeaderRow)
{
    TestDoc t = MakeDoc();
    EXPECT_EQ(RenderPointTable(*t.doc, TableFormat::Text, kComma),
              QByteArray("X;Y;SLM;Pegel \xe4\r\n0,5;10;93,5;1\r\n1,25;20,5;88;2\r\n-2;30;1e-07;3\r\n\0", 64));
    const QByteArray dif = RenderPointTable(*t.doc, TableFormat::Dif, kDot);
    EXPECT_TRUE(dif.startsWith("TABLE\r\n0,1\r\n\"\"\r\nVECTORS\r\n0,4\r\n\"\"\r\nTUPLES\r\n0,5\r\n"));
    EXPECT_TRUE(dif.contains("1,0\r\n\"Pegel \x84\"\r\n"));
}

struct RoundTripCase {
    const char* name;
    TableFormat format;
    bool comma;
};

class PointTableRoundTrip : public ::testing::TestWithParam<RoundTripCase> {};

TEST_P(PointTableRoundTrip, ImportReadsTheRenderingBack)
{
    TestDoc t = MakeDoc();
    const QByteArray bytes = RenderPointTable(*t.doc, GetParam().format, GetParam().comma ? kComma : kDot);
    TextTable table;
    TextTableError error;
    ASSERT_TRUE(ReadTextTableBytes(bytes, kColumnCount, &table, &error)) << error.line << ": " << error.message.toStdString();
    EXPECT_EQ(table.columnNames, QStringList({"SLM", QStringLiteral("Pegel \u00e4")}));
    EXPECT_EQ(table.x, t.doc->X());
    EXPECT_EQ(table.y, t.doc->Y());
    ASSERT_EQ(table.values.size(), 2u);
    EXPECT_EQ(table.values[0], t.doc->Column(0).values);
    EXPECT_EQ(table.values[1], t.doc->Column(7).values);
}

INSTANTIATE_TEST_SUITE_P(Rows, PointTableRoundTrip,
                         ::testing::Values(RoundTripCase{"TextDot", TableFormat::Text, false},
                                           RoundTripCase{"TextComma", TableFormat::Text, true},
                                           RoundTripCase{"DifDot", TableFormat::Dif, false},
                                           RoundTripCase{"DifComma", TableFormat::Dif, true}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SampleCase {
    const char* name;
    const char* file;
};

class SpreadsheetSample : public ::testing::TestWithParam<SampleCase> {};

// Tables written by a spreadsheet program import with the same cells.
TEST_P(SpreadsheetSample, Imports)
{
    QFile file(QStringLiteral(TESSARIX_SHARED_SAMPLES_DIR "/") + QLatin1String(GetParam().file));
    if (!file.open(QIODevice::ReadOnly))
        GTEST_SKIP() << "shared samples not present";
    TextTable table;
    TextTableError error;
    ASSERT_TRUE(ReadTextTableBytes(file.readAll(), kColumnCount, &table, &error))
        << error.line << ": " << error.message.toStdString();
    EXPECT_EQ(table.columnNames, QStringList({"SLM", "125 Hz", "1 kHz"}));
    ASSERT_EQ(table.x.size(), 12u);
    EXPECT_EQ(table.x[0], 2.46f);
    EXPECT_EQ(table.y[11], 20.16f);
    EXPECT_EQ(table.values[2][11], 75.7f);
}

INSTANTIATE_TEST_SUITE_P(Rows, SpreadsheetSample,
                         ::testing::Values(SampleCase{"Dif", "measurements.dif"}, SampleCase{"Tsv", "measurements.tsv"},
                                           SampleCase{"Comma", "measurements_comma.csv"},
                                           SampleCase{"Semicolon", "measurements_semicolon_decimalcomma.csv"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(TextTableReaderDif, RefusesBrokenDif)
{
    TextTable table;
    TextTableError error;
    EXPECT_FALSE(ReadTextTable(QStringLiteral("TABLE\r\n0,1\r\n\"\"\r\nVECTORS\r\n0,3\r\n"), 12, &table, &error));
    EXPECT_FALSE(ReadTextTable(QStringLiteral("TABLE\r\n0,1\r\n\"\"\r\nDATA\r\n0,0\r\n\"\"\r\n-1,0\r\nBOT\r\n"
                                              "1,0\r\n\"X\"\r\n1,0\r\n\"Y\"\r\n1,0\r\n\"S\"\r\n-1,0\r\nBOT\r\n"
                                              "1,0\r\n\"1\"\r\n1,0\r\n\"2\"\r\n1,0\r\n\"dB\"\r\n-1,0\r\nEOD\r\n"),
                               12, &table, &error));
    EXPECT_EQ(error.column, 3);
    EXPECT_TRUE(error.message.contains(QStringLiteral("dB")));
}

// Removes the quotes that the spreadsheet puts around text cells.
QStringList Unquoted(const QString& line)
{
    QStringList cells = line.split(u',');
    for (QString& c : cells)
        if (c.startsWith(u'"') && c.endsWith(u'"'))
            c = c.mid(1, c.size() - 2);
    return cells;
}

// The DIF written here opens in LibreOffice Calc with the same cells (run where it is installed).
TEST(PointTableInSpreadsheet, LibreOfficeReadsOurDif)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "LibreOffice is not installed";
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TestDoc t = MakeDoc();
    const QString dif = dir.filePath(QStringLiteral("table.dif"));
    {
        QFile f(dif);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(RenderPointTable(*t.doc, TableFormat::Dif, kDot));
    }
    QProcess p;
    p.setProcessEnvironment(QProcessEnvironment::systemEnvironment());
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("HOME"), dir.path());  // a profile of its own
    p.setProcessEnvironment(env);
    // Character set 4 is the OEM code page 850 of the DIF cells.
    p.start(soffice, {QStringLiteral("--headless"), QStringLiteral("--infilter=DIF:4"), QStringLiteral("--convert-to"),
                      QStringLiteral("csv:Text - txt - csv (StarCalc):44,34,76,1"), QStringLiteral("--outdir"),
                      dir.path(), dif});
    ASSERT_TRUE(p.waitForFinished(120000));
    QFile csv(dir.filePath(QStringLiteral("table.csv")));
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << p.readAllStandardError().toStdString();
    const QStringList lines = QString::fromUtf8(csv.readAll()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(Unquoted(lines[0].trimmed()), QStringList({"X", "Y", "SLM", QStringLiteral("Pegel \u00e4")}));
    EXPECT_EQ(Unquoted(lines[1].trimmed()), QStringList({"0.5", "10", "93.5", "1"}));
    EXPECT_EQ(Unquoted(lines[3].trimmed()), QStringList({"-2", "30", "1e-07", "3"}));
}

}  // namespace
