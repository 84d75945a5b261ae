// Whole tables pasted from a spreadsheet: header detection, columns mapped by name or taken in
// order, the failures with their line numbers, and the model storing the rows.

#include <gtest/gtest.h>

#include "DataEntryTestDoc.h"
#include "dataentry/EditDataModel.h"
#include "dataentry/TablePaste.h"

namespace {

const ExchangeLocale kTabs{QStringLiteral("."), QStringLiteral(",")};
const QStringList kNames{QStringLiteral("X"), QStringLiteral("Y"), QStringLiteral("SLM"), QStringLiteral("125 Hz"),
                         QStringLiteral("1 kHz")};

// What LibreOffice Calc puts on the clipboard for a block with its header row: TAB between
// cells, LF after every row. Point i: X = i, Y = 2 i, then 80 + i, 60 + i, 70 + i / 4.
QString SpreadsheetText(int points, const QStringList& header)
{
    QString text = header.join(QLatin1Char('\t')) + QLatin1Char('\n');
    for (int i = 0; i < points; ++i)
        text += QStringLiteral("%1\t%2\t%3\t%4\t%5\n").arg(i).arg(2 * i).arg(80 + i).arg(60 + i).arg(70 + i / 4.0);
    return text;
}

struct HeaderRow {
    const char* name;
    const char* line;
    bool header;
};

class HeaderLine : public ::testing::TestWithParam<HeaderRow> {};

}  // namespace

TEST_P(HeaderLine, IsTakenWhenATokenIsNoNumber)
{
    EXPECT_EQ(IsHeaderLine(QString::fromUtf8(GetParam().line), kTabs), GetParam().header);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, HeaderLine,
    ::testing::Values(HeaderRow{"Names", "X\tY\tSLM", true}, HeaderRow{"Numbers", "1\t2.5\t-3", false},
                      HeaderRow{"OneWordAmongNumbers", "1\t2\tnote", true},
                      // A band name reads as the number it starts with, but X and Y do not.
                      HeaderRow{"BandNamesAfterXY", "X\tY\t63 Hz\t125 Hz", true},
                      HeaderRow{"CommaSeparated", "1,2,3", false}, HeaderRow{"EmptyCell", "1\t\t3", true}),
    [](const ::testing::TestParamInfo<HeaderRow>& info) { return std::string(info.param.name); });

namespace {

struct NameRow {
    const char* name;
    QStringList header;
    std::vector<int> columns;
};

class HeaderNames : public ::testing::TestWithParam<NameRow> {};

}  // namespace

TEST_P(HeaderNames, MapOntoColumnsOnlyWhenEveryNameIsKnown)
{
    EXPECT_EQ(ColumnsByName(GetParam().header, kNames), GetParam().columns);
}

INSTANTIATE_TEST_SUITE_P(
    Names, HeaderNames,
    ::testing::Values(NameRow{"InOrder", {"X", "Y", "SLM"}, {0, 1, 2}},
                      NameRow{"Shuffled", {"1 kHz", "X", "SLM", "Y"}, {4, 0, 2, 1}},
                      NameRow{"CaseAndBlanks", {" x ", "y", "slm"}, {0, 1, 2}},
                      NameRow{"UnknownNameLeftOut", {"X", "Y", "Level"}, {0, 1, -1}},
                      NameRow{"NoNameKnown", {"A", "B"}, {}},
                      NameRow{"NameTwice", {"X", "X", "SLM"}, {}}),
    [](const ::testing::TestParamInfo<NameRow>& info) { return std::string(info.param.name); });

TEST(TablePaste, SpreadsheetTableWithHeaderGivesEveryPoint)
{
    const TablePaste p = ParseTablePaste(SpreadsheetText(44, kNames), kNames, 0, kTabs, 1000);
    ASSERT_EQ(p.status, PasteStatus::Ok);
    EXPECT_TRUE(p.hasHeader);
    EXPECT_TRUE(p.byName);
    ASSERT_EQ(p.rows.size(), 44u);
    EXPECT_EQ(p.targets, (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(p.rows[43], (std::vector<float>{43, 86, 123, 103, 80.75f}));
}

TEST(TablePaste, ColumnOfAnUnknownNameIsLeftOutUnreadAndListed)
{
    // "Note" holds words; the column is not read, so they are no syntax error.
    const QString text = QStringLiteral("SLM\tNote\tX\n80\tby the press\t3\n81\t-\t4\n");
    const TablePaste p = ParseTablePaste(text, kNames, 0, kTabs, 1000);
    ASSERT_EQ(p.status, PasteStatus::Ok);
    EXPECT_TRUE(p.byName);
    EXPECT_EQ(p.targets, (std::vector<int>{2, -1, 0}));
    EXPECT_EQ(p.leftOut, QStringList{QStringLiteral("Note")});
    EXPECT_EQ(p.rows, (std::vector<std::vector<float>>{{80, 0, 3}, {81, 0, 4}}));
}

TEST(TablePaste, UnknownHeaderTakesColumnsInOrderFromTheSelectedColumn)
{
    const QString text = QStringLiteral("Level\tA\tB\tC\n1\t2\t3\t4\r\n5\t6\t7\t8\r\n");
    const TablePaste p = ParseTablePaste(text, kNames, 2, kTabs, 1000);
    ASSERT_EQ(p.status, PasteStatus::Ok);
    EXPECT_FALSE(p.byName);
    // Three columns from SLM on; the fourth pasted column has no place and is left out.
    EXPECT_EQ(p.targets, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(p.rows, (std::vector<std::vector<float>>{{1, 2, 3}, {5, 6, 7}}));
}

TEST(TablePaste, WithoutHeaderEveryLineIsAPointAndBlankLinesAreSkipped)
{
    const TablePaste p = ParseTablePaste(QStringLiteral("1\t2\n\n3\t4\n\n"), kNames, 0, kTabs, 1000);
    ASSERT_EQ(p.status, PasteStatus::Ok);
    EXPECT_FALSE(p.hasHeader);
    EXPECT_EQ(p.rows, (std::vector<std::vector<float>>{{1, 2}, {3, 4}}));
}

namespace {

struct FailureRow {
    const char* name;
    const char* text;
    int maxRows;
    PasteStatus status;
    int line;
};

class TablePasteFailure : public ::testing::TestWithParam<FailureRow> {};

}  // namespace

TEST_P(TablePasteFailure, NamesTheLineOfTheText)
{
    const FailureRow& row = GetParam();
    const TablePaste p = ParseTablePaste(QString::fromUtf8(row.text), kNames, 0, kTabs, row.maxRows);
    EXPECT_EQ(p.status, row.status);
    EXPECT_EQ(p.line, row.line);
    EXPECT_TRUE(p.rows.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TablePasteFailure,
    ::testing::Values(
        // Line numbers count the header line.
        FailureRow{"ShortLineAfterHeader", "X\tY\tSLM\n1\t2\t3\n4\t5\n", 10, PasteStatus::NotEnoughNumbers, 3},
        FailureRow{"WordInData", "X\tY\n1\t2\nthree\t4\n", 10, PasteStatus::SyntaxError, 3},
        FailureRow{"LoneWordIsNoHeader", "abc\n", 10, PasteStatus::SyntaxError, 1},
        FailureRow{"HeaderOnly", "X\tY\n\n", 10, PasteStatus::SyntaxError, 1},
        FailureRow{"Empty", "\n\n", 10, PasteStatus::NotEnoughLines, 0},
        FailureRow{"MoreThanTheTableMayHold", "1\t2\n3\t4\n5\t6\n", 2, PasteStatus::TooLarge, 0}),
    [](const ::testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

TEST(EditDataModelPaste, RowsPastTheTableAreAddedOnlyWhenAsked)
{
    TestDoc t(3);
    const QString text = QStringLiteral("7\t70\n8\t80\n9\t90\n");
    CEditDataModel model(*t.doc);
    const TablePaste p = model.ReadTablePaste(text, 2, 0, kTabs);
    ASSERT_EQ(p.status, PasteStatus::Ok);
    EXPECT_EQ(model.PointsMissingFor(p, 2), 2);

    CEditDataModel kept = model;
    kept.StoreTablePaste(p, 2, false);
    EXPECT_EQ(kept.PointCount(), 3);
    EXPECT_EQ(kept.Column(0), (CTXFloatArray{0, 1, 7}));

    model.StoreTablePaste(p, 2, true);
    EXPECT_EQ(model.PointCount(), 5);
    EXPECT_EQ(model.Column(0), (CTXFloatArray{0, 1, 7, 8, 9}));
    EXPECT_EQ(model.Column(1), (CTXFloatArray{0, 10, 70, 80, 90}));
    EXPECT_EQ(model.Column(2), (CTXFloatArray{0, 1, 2, 0, 0})) << "columns the paste leaves alone keep or get 0";
}

TEST(EditDataModelPaste, TableChangedSeesValuesAndCountNotRoundTrips)
{
    TestDoc t(3);
    CEditDataModel model(*t.doc);
    EXPECT_FALSE(model.TableChanged());
    model.SetCellText(1, 0, QStringLiteral("1"));  // the value it had
    EXPECT_FALSE(model.TableChanged());
    model.SetPointCount(5);
    EXPECT_TRUE(model.TableChanged());
    model.SetPointCount(3);
    EXPECT_FALSE(model.TableChanged()) << "raising and lowering N again changes nothing";
    model.SetCellText(2, 1, QStringLiteral("21"));
    EXPECT_TRUE(model.TableChanged());
}
