// Table cells beyond any coordinate or level are refused with their line and column, and a
// refused cell is quoted short and readable.
#include <gtest/gtest.h>

#include <QFile>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/NumberText.h"
#include "dataentry/TextTableReader.h"
#include "util/StringTable.h"

namespace {

QString FindingText(const char* name)
{
    QFile f(QStringLiteral(TESSARIX_TEST_DATA_DIR "/findings/") + QString::fromLatin1(name));
    EXPECT_TRUE(f.open(QIODevice::ReadOnly)) << name;
    return QString::fromUtf8(f.readAll());
}

// A cell of 3.4028235e38 was taken: the fitted colour axis became infinite and every map was
// drawn without contours, with success reported.
TEST(TableCells, FloatMaxCellIsRefusedWithLineAndColumn)
{
    TextTable table;
    TextTableError error;
    ASSERT_FALSE(ReadTextTable(FindingText("fltmax.csv"), 12, &table, &error));
    EXPECT_EQ(error.line, 6);
    EXPECT_EQ(error.column, 5);
    EXPECT_EQ(error.message, TxString(IDS_CELL_OUT_OF_RANGE).arg(QStringLiteral("3.4028235e38"), QStringLiteral("1e+09")));
}

struct CellRow {
    const char* name;
    const char* cell;
    bool ok;
};

class TableCellRangeTest : public ::testing::TestWithParam<CellRow> {};

TEST_P(TableCellRangeTest, BoundIsOneBillion)
{
    const CellRow& r = GetParam();
    TextTable table;
    TextTableError error;
    const QString text = QStringLiteral("X\tY\tSLM\n1\t2\t%1\n").arg(QString::fromLatin1(r.cell));
    EXPECT_EQ(ReadTextTable(text, 12, &table, &error), r.ok) << error.message.toStdString();
    if (!r.ok) {
        EXPECT_EQ(error.line, 2);
        EXPECT_EQ(error.column, 3);
    }
}

INSTANTIATE_TEST_SUITE_P(Cells, TableCellRangeTest,
                         ::testing::Values(CellRow{"AtBound", "1e9", true}, CellRow{"NegativeAtBound", "-1e9", true},
                                           CellRow{"CommaDecimalAtBound", "1000000000,0", true},
                                           CellRow{"JustBeyond", "1000000001", false},
                                           CellRow{"NegativeBeyond", "-5e9", false},
                                           CellRow{"FloatMax", "3.4028235e38", false},
                                           CellRow{"Infinity", "inf", false}, CellRow{"NotANumber", "nan", false}),
                         [](const auto& info) { return std::string(info.param.name); });

struct QuoteRow {
    const char* name;
    QString cell;
    QString quoted;
};

class QuotedCellTest : public ::testing::TestWithParam<QuoteRow> {};

TEST_P(QuotedCellTest, CutAndEscaped)
{
    EXPECT_EQ(QuotedCellText(GetParam().cell), GetParam().quoted);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, QuotedCellTest,
    ::testing::Values(
        QuoteRow{"PlainUnchanged", QStringLiteral("93 dB"), QStringLiteral("93 dB")},
        QuoteRow{"ControlBytesEscaped", QString::fromLatin1("3\0\1\x1b[31mred", 11), QStringLiteral("3\\x00\\x01\\x1b[31mred")},
        QuoteRow{"TabAndLineBreaks", QStringLiteral("a\tb\r\n"), QStringLiteral("a\\tb\\r\\n")},
        QuoteRow{"ExactlyFortyKept", QString(40, u'a'), QString(40, u'a')},
        QuoteRow{"MillionCharactersCut", QString(1000000, u'a'), QString(40, u'a') + QChar(0x2026)}),
    [](const auto& info) { return std::string(info.param.name); });

// ctrl.tsv: control bytes in a refused cell were echoed to the terminal as they are.
TEST(TableCells, RefusedCellIsQuotedWithoutControlBytes)
{
    TextTable table;
    TextTableError error;
    ASSERT_FALSE(ReadTextTable(FindingText("ctrl.tsv"), 12, &table, &error));
    EXPECT_GT(error.line, 0);
    EXPECT_GT(error.column, 0);
    for (QChar ch : error.message)
        EXPECT_GE(ch.unicode(), 0x20) << error.message.toStdString();
    EXPECT_LE(error.message.size(), kQuotedCellLength + 80);
}

}  // namespace
