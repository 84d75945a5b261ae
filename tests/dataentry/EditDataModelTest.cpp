#include <gtest/gtest.h>

#include "DataEntryTestDoc.h"
#include "dataentry/EditDataModel.h"

namespace {

const ExchangeLocale kDot{QStringLiteral("."), QStringLiteral(",")};

TEST(EditDataModel, EnabledColumnsOnlyAndWriteBackKeepsDisabled)
{
    TestDoc t(4, {1, 3});
    CTessarixDoc& doc = *t.doc;
    CEditDataModel model(doc);
    ASSERT_EQ(model.Names(), QStringList({"X", "Y", "SLM", "16 Hz", "63 Hz"}));
    EXPECT_EQ(model.Value(2, 0), 2.0f);
    EXPECT_EQ(model.Value(2, 1), 20.0f);
    EXPECT_EQ(model.Value(2, 3), 102.0f);  // column 1
    EXPECT_EQ(model.Value(2, 4), 302.0f);  // column 3

    ASSERT_TRUE(model.SetCellText(1, 3, QStringLiteral("55.5")).accepted);
    ASSERT_TRUE(model.SetCellText(1, 4, QStringLiteral("-7")).accepted);
    model.SetPointCount(6);
    model.boundary = {1, 2, 42.0f, 0.5f};
    model.ApplyTo(doc);

    ASSERT_EQ(doc.PointCount(), 6);
    EXPECT_EQ(doc.Column(1).values, (CTXFloatArray{100, 55.5f, 102, 103, 0, 0}));
    EXPECT_EQ(doc.Column(3).values, (CTXFloatArray{300, -7, 302, 303, 0, 0}));
    EXPECT_EQ(doc.Column(2).values, (CTXFloatArray{200, 201, 202, 203, 0, 0}));  // disabled: kept
    EXPECT_EQ(doc.X().size(), 6u);
    for (int c = 0; c < kColumnCount; ++c)
        EXPECT_EQ(doc.Column(c).values.size(), 6u) << c;
    const CTessarixSettings& s = doc.Settings();
    EXPECT_EQ(s.useBoundaryConditions, 1);
    EXPECT_EQ(s.boundaryLayout, 2);
    EXPECT_EQ(s.boundaryLevel, 42.0f);
    EXPECT_EQ(s.boundaryDistance, 0.5f);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(t.requests, 3);
}

TEST(EditDataModel, RaisingAndLoweringPointCountBeforeOk)
{
    TestDoc t(5);
    CEditDataModel model(*t.doc);
    model.SetPointCount(8);
    EXPECT_EQ(model.PointCount(), 8);
    for (int r = 5; r < 8; ++r)
        for (int c = 0; c < model.ColumnCount(); ++c)
            EXPECT_EQ(model.CellText(r, c), QStringLiteral("0"));
    model.SetPointCount(5);
    model.ApplyTo(*t.doc);
    ASSERT_EQ(t.doc->PointCount(), 5);
    EXPECT_EQ(t.doc->X(), (CTXFloatArray{0, 1, 2, 3, 4}));
    EXPECT_EQ(t.doc->Column(0).values, (CTXFloatArray{0, 1, 2, 3, 4}));
}

TEST(EditDataModel, LoweringKeepsValuesUntilOk)
{
    TestDoc t(5);
    CEditDataModel model(*t.doc);
    model.SetPointCount(2);
    model.SetPointCount(4);
    EXPECT_EQ(model.Value(3, 0), 3.0f);  // the hidden row comes back with its value
    model.SetPointCount(-3);
    EXPECT_EQ(model.PointCount(), 0);
    model.SetPointCount(CEditDataModel::kMaxPoints + 10);
    EXPECT_EQ(model.PointCount(), CEditDataModel::kMaxPoints);
}

TEST(EditDataModel, RemovingRowsThreeToFourOfTen)
{
    TestDoc t(10);
    CEditDataModel model(*t.doc);
    EXPECT_EQ(CEditDataModel::RemoveQuestion(2, 3),
              QStringLiteral("WARNING! Are you sure to remove 2 point(s) starting at point number 3?"));
    model.RemoveRows(2, 3);
    ASSERT_EQ(model.PointCount(), 8);
    EXPECT_EQ(model.Value(2, 0), 4.0f);  // the old point 5 is point 3 now
    EXPECT_EQ(model.Value(2, 2), 4.0f);
    EXPECT_EQ(model.Column(1).size(), 8u);
}

struct AcceptCase {
    const char* name;
    const char* text;
    bool accepted;
    int position;
    float value;
};

class CellAcceptanceRule : public ::testing::TestWithParam<AcceptCase> {};

TEST_P(CellAcceptanceRule, RefusesWithPosition)
{
    const AcceptCase& c = GetParam();
    TestDoc t(1);
    CEditDataModel model(*t.doc);
    const CellAcceptance a = model.SetCellText(0, 2, QString::fromLatin1(c.text));
    EXPECT_EQ(a.accepted, c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(a.errorPosition, c.position);
    }
    // A refused text leaves the stored value alone.
    EXPECT_EQ(model.Value(0, 2), c.value);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CellAcceptanceRule,
    ::testing::Values(AcceptCase{"Number", "93.5", true, 0, 93.5f},
                      AcceptCase{"LeadingBlanks", "  \t-1e2", true, 0, -100.0f},
                      AcceptCase{"LetterAfterNumber", "12a", false, 2, 0.0f},
                      AcceptCase{"LetterAfterBlanksAndNumber", "  7.5x", false, 5, 0.0f},
                      AcceptCase{"BlanksOnly", "   ", false, -1, 0.0f},
                      AcceptCase{"Empty", "", false, -1, 0.0f},
                      AcceptCase{"Word", "abc", false, 0, 0.0f},
                      AcceptCase{"TrailingBlank", "5 ", false, 1, 0.0f},
                      AcceptCase{"TooLargeForFloat", "1e40", false, -1, 0.0f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(EditDataModel, CellsAndPasteOverSelection)
{
    TestDoc t(3, {2});
    CEditDataModel model(*t.doc);
    const GridRange block{1, 0, 1, 2};  // columns Y..SLM, rows 0..1
    const CellTable cells = model.Cells(block);
    ASSERT_EQ(cells.size(), 2u);
    EXPECT_EQ(cells[1], QStringList({"10", "1"}));
    EXPECT_EQ(model.Cells(model.WholeTable(), true).front(), QStringList({"X", "Y", "SLM", "31.5 Hz"}));

    PasteBlock r = model.Paste(QStringLiteral("5\t6\r\n7\t8\r\n"), block, kDot);
    ASSERT_EQ(r.status, PasteStatus::Ok);
    EXPECT_EQ(model.Value(0, 1), 5.0f);
    EXPECT_EQ(model.Value(1, 2), 8.0f);

    // A failing paste stores nothing, not even the lines before the bad one.
    r = model.Paste(QStringLiteral("1\t2\r\n3\tx\r\n"), block, kDot);
    EXPECT_EQ(r.status, PasteStatus::SyntaxError);
    EXPECT_EQ(r.line, 2);
    EXPECT_EQ(model.Value(0, 1), 5.0f);
}

}  // namespace
