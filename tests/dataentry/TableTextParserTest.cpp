#include <gtest/gtest.h>

#include "dataentry/TableTextParser.h"

namespace {

const ExchangeLocale kDot{QStringLiteral("."), QStringLiteral(",")};
const ExchangeLocale kComma{QStringLiteral(","), QStringLiteral(";")};

struct TokenCase {
    const char* name;
    const char* token;
    bool ok;
    double value;
};

class NumberToken : public ::testing::TestWithParam<TokenCase> {};

TEST_P(NumberToken, AcceptsWrittenNumbersOnly)
{
    const TokenCase& c = GetParam();
    double v = -99;
    EXPECT_EQ(ParseNumberToken(QString::fromLatin1(c.token), &v), c.ok);
    if (c.ok) {
        EXPECT_DOUBLE_EQ(v, c.value);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, NumberToken,
    ::testing::Values(TokenCase{"Zero", "0", true, 0}, TokenCase{"MinusZero", "-0", true, 0},
                      TokenCase{"PlusZero", "+0", true, 0}, TokenCase{"ZeroPointZero", "0.0", true, 0},
                      TokenCase{"LeadingBlanksAndTab", " \t 12.5", true, 12.5},
                      TokenCase{"PlusNumber", "+7", true, 7}, TokenCase{"Exponent", "1e3", true, 1000},
                      TokenCase{"DigitsThenLetters", "93dB", true, 93},
                      TokenCase{"DigitsThenBlank", "4 5", true, 4},
                      TokenCase{"DotZero", ".0", false, 0}, TokenCase{"DotFive", ".5", true, 0.5},
                      TokenCase{"Word", "abc", false, 0}, TokenCase{"Empty", "", false, 0},
                      TokenCase{"BlanksOnly", "   ", false, 0}, TokenCase{"SignOnly", "-", false, 0},
                      TokenCase{"DoubleSign", "+-1", false, 0},
                      TokenCase{"FloatOverflow", "1e39", false, 0},
                      TokenCase{"FloatMaxRefused", "3.4028235e38", false, 0},
                      TokenCase{"JustBeyondCellBound", "1.0000001e9", false, 0},
                      TokenCase{"NegativeBeyondCellBound", "-2e9", false, 0},
                      TokenCase{"AtCellBound", "1e9", true, 1e9}, TokenCase{"NegativeAtCellBound", "-1e9", true, -1e9},
                      TokenCase{"Infinity", "inf", false, 0}, TokenCase{"NotANumber", "nan", false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(TokenSplit, SemicolonListSeparatorAndTabPrecedence)
{
    QString line = QStringLiteral("1,5;2;3,25");
    QStringView rest = line;
    QStringList tokens;
    while (!rest.isEmpty())
        tokens << TakeToken(rest, kComma).toString();
    EXPECT_EQ(tokens, QStringList({"1,5", "2", "3,25"}));

    line = QStringLiteral("1;2\t3;4");
    rest = line;
    EXPECT_EQ(TakeToken(rest, kComma), QStringLiteral("1;2"));
    EXPECT_EQ(TakeToken(rest, kComma), QStringLiteral("3"));  // no TAB left: the list separator
    EXPECT_EQ(TakeToken(rest, kComma), QStringLiteral("4"));
    EXPECT_TRUE(rest.isEmpty());

    double v = 0;
    ASSERT_TRUE(ParseLocalNumberToken(u"1,5", kComma, &v));
    EXPECT_DOUBLE_EQ(v, 1.5);
}

TEST(TextLines, LineEnds)
{
    const auto lines = SplitTextLines(u"a\r\nb\nc\r\n\r\nd");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], QStringLiteral("a"));
    EXPECT_EQ(lines[1], QStringLiteral("b"));
    EXPECT_EQ(lines[3], QStringLiteral(""));
    EXPECT_EQ(lines[4], QStringLiteral("d"));
    EXPECT_EQ(SplitTextLines(u"x\r\n").size(), 1u);
    EXPECT_EQ(SplitTextLines(QStringView(u"x\r\n\0", 4)).size(), 1u);
    EXPECT_TRUE(SplitTextLines(u"").empty());
}

struct PasteCase {
    const char* name;
    const char* text;
    int rows;
    int columns;
    PasteStatus status;
    int line;
    const char* message;
};

class GridPaste : public ::testing::TestWithParam<PasteCase> {};

TEST_P(GridPaste, ReadsBlockOrReportsLine)
{
    const PasteCase& c = GetParam();
    const PasteBlock block = ParsePasteBlock(QString::fromLatin1(c.text), c.rows, c.columns, kDot);
    EXPECT_EQ(block.status, c.status);
    EXPECT_EQ(block.line, c.line);
    EXPECT_EQ(block.Message(), QString::fromLatin1(c.message));
    if (c.status == PasteStatus::Ok) {
        EXPECT_EQ(block.values.size(), size_t(c.rows * c.columns));
    } else {
        EXPECT_TRUE(block.values.empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridPaste,
    ::testing::Values(
        PasteCase{"TwoByTwo", "1\t2\r\n3\t4\r\n", 2, 2, PasteStatus::Ok, 0, ""},
        PasteCase{"TwoByTwoWithoutFinalLineEnd", "1\t2\r\n3\t4", 2, 2, PasteStatus::Ok, 0, ""},
        PasteCase{"LineFeedsOnly", "1\t2\n3\t4\n", 2, 2, PasteStatus::Ok, 0, ""},
        PasteCase{"ExtraTokensAndLinesIgnored", "1\t2\t9\r\n3\t4\r\n5\r\n", 2, 2, PasteStatus::Ok, 0, ""},
        PasteCase{"NotEnoughLines", "1\t2\r\n", 2, 2, PasteStatus::NotEnoughLines, 0,
                  "WARNING! Not enough lines in imported data."},
        PasteCase{"EmptyTokenBetweenTabs", "1\t\t3\r\n", 1, 3, PasteStatus::SyntaxError, 1,
                  "WARNING! Syntax error in line 1."},
        PasteCase{"TwoNumbersForThreeColumns", "1\t2\r\n", 1, 3, PasteStatus::NotEnoughNumbers, 1,
                  "WARNING! Not enough numbers in line 1."},
        PasteCase{"SecondLineShort", "1,2,3\r\n4,5\r\n", 2, 3, PasteStatus::NotEnoughNumbers, 2,
                  "WARNING! Not enough numbers in line 2."},
        PasteCase{"WordOnThirdLine", "1\r\n2\r\nthree\r\n", 3, 1, PasteStatus::SyntaxError, 3,
                  "WARNING! Syntax error in line 3."},
        PasteCase{"EmptyLine", "1\r\n\r\n", 2, 1, PasteStatus::NotEnoughNumbers, 2,
                  "WARNING! Not enough numbers in line 2."},
        PasteCase{"HugeSelection", "1\r\n", 1 << 15, 1 << 14, PasteStatus::TooLarge, 0, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridPasteValues, RowMajorAndLocalised)
{
    const PasteBlock block = ParsePasteBlock(u"1,5;2\r\n-0;+3\r\n", 2, 2, kComma);
    ASSERT_EQ(block.status, PasteStatus::Ok);
    EXPECT_EQ(block.values, (std::vector<double>{1.5, 2, -0.0, 3}));
    EXPECT_DOUBLE_EQ(block.At(1, 1), 3);
}

}  // namespace
