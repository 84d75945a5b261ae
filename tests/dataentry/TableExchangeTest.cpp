#include <QBuffer>
#include <QMimeData>

#include <gtest/gtest.h>

#include "dataentry/TableClipboard.h"
#include "dataentry/TableExchange.h"

namespace {

const ExchangeLocale kComma{QStringLiteral(","), QStringLiteral(";")};
const ExchangeLocale kDot{QStringLiteral("."), QStringLiteral(",")};

QByteArray Bytes(const char* s)
{
    return QByteArray(s);
}

TEST(TableExchange, SingleCellUnderCommaLocale)
{
    const CellTable table{{QStringLiteral("1.5")}};
    EXPECT_EQ(CTableTextWriter(kComma).Render(table), QByteArray("1,5\r\n\0", 6));
    EXPECT_EQ(CTableDifWriter(kComma).Render(table),
              Bytes("TABLE\r\n0,1\r\n\"\"\r\n"
                    "VECTORS\r\n0,1\r\n\"\"\r\n"
                    "TUPLES\r\n0,2\r\n\"\"\r\n"
                    "DATA\r\n0,0\r\n\"\"\r\n"
                    "-1,0\r\nBOT\r\n1,0\r\n\"1,5\"\r\n"
                    "-1,0\r\nEOD\r\n"));
}

struct CellCase {
    const char* name;
    const char* cell;
    const char* text;  // plain rendering of the one cell, without CR LF NUL
    const char* dif;   // the quoted DIF value, without the quotes
};

class LocalisedCell : public ::testing::TestWithParam<CellCase> {};

TEST_P(LocalisedCell, InBothRenderings)
{
    const CellCase& c = GetParam();
    const CellTable table{{QString::fromUtf8(c.cell)}};
    EXPECT_EQ(CTableTextWriter(kComma).Render(table), QByteArray(Bytes(c.text) + QByteArray("\r\n\0", 3)));
    const QByteArray dif = CTableDifWriter(kComma).Render(table);
    const QByteArray expected = QByteArray("BOT\r\n1,0\r\n\"") + Bytes(c.dif) + QByteArray("\"\r\n-1,0\r\nEOD\r\n");
    EXPECT_TRUE(dif.contains(expected)) << dif.constData();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, LocalisedCell,
    ::testing::Values(CellCase{"Number", "1.5", "1,5", "1,5"},
                      CellCase{"NegativeExponent", "-2.5e-07", "-2,5e-07", "-2,5e-07"},
                      CellCase{"Integer", "42", "42", "42"},
                      CellCase{"NumberWithUnit", "31.5 Hz", "31.5 Hz", "31.5 Hz"},
                      CellCase{"TwoDots", "1.2.3", "1.2.3", "1.2.3"},
                      CellCase{"Quote", "say \"hi\" 2.5", "say \"hi\" 2.5", "say 'hi' 2.5"},
                      CellCase{"NonAsciiToOem", "\xC3\xA4 dB", "\xE4 dB", "\x84 dB"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TableExchange, RowsOfDifferentLengthsUnderDotLocale)
{
    const CellTable table{{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("SLM")},
                          {QStringLiteral("0.5"), QStringLiteral("2")}};
    EXPECT_EQ(CTableTextWriter(kDot).Render(table), QByteArray("X,Y,SLM\r\n0.5,2\r\n\0", 17));
    const QByteArray dif = CTableDifWriter(kDot).Render(table);
    EXPECT_TRUE(dif.startsWith("TABLE\r\n0,1\r\n\"\"\r\nVECTORS\r\n0,3\r\n\"\"\r\nTUPLES\r\n0,3\r\n"));
    EXPECT_EQ(dif.count("BOT\r\n"), 2);
    EXPECT_EQ(dif.split('\n').count("1,0\r"), 5);
    EXPECT_FALSE(dif.contains('\0'));
}

TEST(TableExchange, EmptyTableStillHasHeaderAndEnd)
{
    EXPECT_EQ(CTableTextWriter(kDot).Render({}), QByteArray("\0", 1));
    EXPECT_EQ(CTableDifWriter(kDot).Render({}),
              Bytes("TABLE\r\n0,1\r\n\"\"\r\nVECTORS\r\n0,0\r\n\"\"\r\nTUPLES\r\n0,1\r\n\"\"\r\n"
                    "DATA\r\n0,0\r\n\"\"\r\n-1,0\r\nEOD\r\n"));
}

// The staging buffer writes in pieces of at most 16000 bytes, and a large table comes out whole.
TEST(TableExchange, StagingWritesLargeTablesInPieces)
{
    CellTable table;
    for (int r = 0; r < 3000; ++r)
        table.push_back({QString::number(r) + QStringLiteral(".25"), QStringLiteral("93.5")});
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(CTableTextWriter(kComma).Write(table, &buffer));
    EXPECT_EQ(bytes, CTableTextWriter(kComma).Render(table));
    EXPECT_TRUE(bytes.startsWith("0,25;93,5\r\n1,25;93,5\r\n"));
    EXPECT_TRUE(bytes.endsWith(QByteArray("2999,25;93,5\r\n\0", 15)));

    QByteArray sink;
    QBuffer counted(&sink);
    counted.open(QIODevice::WriteOnly);
    CStagingBuffer staging(&counted);
    for (int i = 0; i < 10; ++i)
        staging.Append(QByteArray(7000, 'a'));
    ASSERT_TRUE(staging.Finish());
    EXPECT_EQ(sink.size(), 70000);
    EXPECT_EQ(staging.SinkWrites(), 5);  // 2 pieces of 7000 fit in each 16000-byte fill
}

TEST(TableExchange, FailingSinkIsReported)
{
    QByteArray bytes;
    QBuffer readOnly(&bytes);
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(CTableDifWriter(kDot).Write({{QStringLiteral("1")}}, &readOnly));
    EXPECT_TRUE(CTableTextWriter(kDot).Render({}).size() == 1);
}

TEST(TableExchange, LocaleSeparators)
{
    EXPECT_EQ(ExchangeLocale::Of(QLocale(QLocale::German, QLocale::Germany)), kComma);
    EXPECT_EQ(ExchangeLocale::Of(QLocale(QLocale::English, QLocale::UnitedStates)), kDot);
    EXPECT_EQ(DelocaliseToken(QStringLiteral("1,5,7"), kComma), QStringLiteral("1.5,7"));
}

TEST(TableExchange, MimeDataCarriesBothRenderings)
{
    const CellTable table{{QStringLiteral("1.5"), QStringLiteral("2")}};
    const std::unique_ptr<QMimeData> data = MakeTableMimeData(table, kComma);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text(), QStringLiteral("1,5;2\r\n"));
    EXPECT_EQ(data->data(DifMimeType()), CTableDifWriter(kComma).Render(table));
}

}  // namespace
