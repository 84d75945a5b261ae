#include <gtest/gtest.h>

#include "DataEntryTestDoc.h"
#include "dataentry/InsertDataModel.h"

namespace {

const ExchangeLocale kDot{QStringLiteral("."), QStringLiteral(",")};

struct AskRecorder {
    QStringList questions;
    bool answer = true;
    std::function<bool(const QString&)> Fn()
    {
        return [this](const QString& q) {
            questions << q;
            return answer;
        };
    }
};

TEST(InsertData, ShortestLineDecidesAndPartialImportAsks)
{
    TestDoc t(0, {3, 5});  // columns 0, 3 and 5 enabled
    CInsertDataModel model;
    AskRecorder ask;
    const InsertImportResult r =
        model.Import(QStringLiteral("1\t2\t3\t4\r\n5\t6\r\n7\t8\t9\r\n"), kDot, 3, ask.Fn());
    EXPECT_EQ(r.status, InsertImportStatus::Imported);
    ASSERT_EQ(ask.questions.size(), 1);
    EXPECT_TRUE(ask.questions[0].startsWith(QStringLiteral("WARNING! The number of data columns in clipboard text is less then")));
    ASSERT_EQ(model.Lines().size(), 3u);
    for (const CTXFloatArray& line : model.Lines())
        EXPECT_EQ(line.size(), 2u);
    EXPECT_TRUE(model.InsertMode());

    ASSERT_TRUE(model.Place(*t.doc, 102, 0.5f, 0.25f));
    CTessarixDoc& doc = *t.doc;
    ASSERT_EQ(doc.PointCount(), 1);
    EXPECT_EQ(doc.X()[0], 0.5f);
    EXPECT_EQ(doc.Y()[0], 0.25f);
    EXPECT_EQ(doc.Column(0).values[0], 7.0f);
    EXPECT_EQ(doc.Column(3).values[0], 8.0f);
    EXPECT_EQ(doc.Column(5).values[0], 0.0f);  // the third enabled column
    EXPECT_EQ(doc.Column(1).values[0], 0.0f);
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(t.requests, 3);  // one map per enabled column
    EXPECT_TRUE(model.IsPlaced(2));
    EXPECT_FALSE(model.Place(doc, 102, 0, 0));  // a placed line cannot be placed twice
}

TEST(InsertData, CancelOnPartialImportStaysOutOfInsertMode)
{
    CInsertDataModel model;
    AskRecorder ask;
    ask.answer = false;
    EXPECT_EQ(model.Import(QStringLiteral("1\r\n2\r\n"), kDot, 2, ask.Fn()).status, InsertImportStatus::Abandoned);
    EXPECT_FALSE(model.InsertMode());
    EXPECT_TRUE(model.Lines().empty());
}

TEST(InsertData, LongLinesAreCutToEnabledColumns)
{
    CInsertDataModel model;
    AskRecorder ask;
    model.Import(QStringLiteral("1,2,3,4\r\n5,6,7,8\r\n"), kDot, 2, ask.Fn());
    EXPECT_TRUE(ask.questions.isEmpty());
    EXPECT_EQ(model.Lines().at(1), (CTXFloatArray{5, 6}));
}

struct ImportCase {
    const char* name;
    const char* text;
    InsertImportStatus status;
    int lines;
};

class InsertImport : public ::testing::TestWithParam<ImportCase> {};

TEST_P(InsertImport, CountsUsableLines)
{
    const ImportCase& c = GetParam();
    CInsertDataModel model;
    AskRecorder ask;
    const InsertImportResult r = model.Import(QString::fromLatin1(c.text), kDot, 1, ask.Fn());
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(int(model.Lines().size()), c.lines);
    EXPECT_EQ(model.InsertMode(), c.status == InsertImportStatus::Imported);
    if (c.status == InsertImportStatus::NoValidLines) {
        EXPECT_EQ(r.message, QStringLiteral("WARNING! No valid text lines in clipboard text."));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, InsertImport,
    ::testing::Values(ImportCase{"WordBetweenValidLines", "1\t2\r\nnoise\r\n3\t4\r\n", InsertImportStatus::Imported, 2},
                      ImportCase{"LastLineWithoutLineEnd", "1\r\n2", InsertImportStatus::Imported, 2},
                      ImportCase{"BadTokenEndsLine", "1\t2\tx\t4\r\n", InsertImportStatus::Imported, 1},
                      ImportCase{"Empty", "", InsertImportStatus::NoValidLines, 0},
                      ImportCase{"OnlyWords", "a\tb\r\nc\r\n", InsertImportStatus::NoValidLines, 0},
                      ImportCase{"OnlyBlankLines", "\r\n\r\n", InsertImportStatus::NoValidLines, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(InsertData, PopupEntriesNumberTheRemainingLines)
{
    TestDoc t(0, {1, 2, 3, 4});
    CInsertDataModel model;
    AskRecorder ask;
    model.Import(QStringLiteral("1.5\t2\t3\t4\t5\r\nword\r\n6\t7\t8\t9\t10\r\n"), kDot, 5, ask.Fn());
    std::vector<InsertPopupEntry> entries = model.PopupEntries();
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].commandId, 100);
    EXPECT_EQ(entries[0].text, QStringLiteral(" 1 - 1.5, 2, 3,  (...)"));
    EXPECT_EQ(entries[1].commandId, 101);
    EXPECT_EQ(entries[1].text, QStringLiteral(" 2 - 6, 7, 8,  (...)"));

    ASSERT_TRUE(model.Place(*t.doc, 100, 0, 0));
    entries = model.PopupEntries();
    ASSERT_EQ(entries.size(), 1u);
    EXPECT_EQ(entries[0].commandId, 101);
    EXPECT_TRUE(model.InsertMode());
    ASSERT_TRUE(model.Place(*t.doc, 101, 1, 1));
    EXPECT_FALSE(model.InsertMode());  // every line placed
    EXPECT_EQ(t.doc->PointCount(), 2);
    EXPECT_EQ(t.doc->Column(4).values[1], 10.0f);
}

struct PopupCase {
    const char* name;
    int index;
    CTXFloatArray values;
    const char* text;
};

class PopupText : public ::testing::TestWithParam<PopupCase> {};

TEST_P(PopupText, FormatsUpToThreeValues)
{
    EXPECT_EQ(CInsertDataModel::PopupText(GetParam().index, GetParam().values), QString::fromLatin1(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PopupText,
    ::testing::Values(PopupCase{"TwoValues", 0, {93.5f, 88}, " 1 - 93.5, 88, "},
                      PopupCase{"ThreeValues", 4, {1, 2, 3}, " 5 - 1, 2, 3, "},
                      PopupCase{"FiveValues", 9, {1, 2, 3, 4, 5}, "10 - 1, 2, 3,  (...)"},
                      PopupCase{"OneValue", 99, {0.125f}, "100 - 0.125, "}),
    [](const auto& info) { return std::string(info.param.name); });

struct ExtentCase {
    const char* name;
    float x;
    float y;
    bool outside;
};

class InsertExtent : public ::testing::TestWithParam<ExtentCase> {};

TEST_P(InsertExtent, EdgesAreInside)
{
    MapExtent e;
    e.x0 = 0;
    e.x1 = 10;
    e.y0 = -5;
    e.y1 = 5;
    EXPECT_EQ(CInsertDataModel::IsOutsideExtent(e, GetParam().x, GetParam().y), GetParam().outside);
}

INSTANTIATE_TEST_SUITE_P(Rows, InsertExtent,
                         ::testing::Values(ExtentCase{"Inside", 5, 0, false}, ExtentCase{"LeftEdge", 0, 0, false},
                                           ExtentCase{"TopEdge", 10, 5, false},
                                           ExtentCase{"Left", -0.01f, 0, true},
                                           ExtentCase{"Above", 3, 5.5f, true},
                                           ExtentCase{"Below", 3, -6, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(InsertData, PlaceOutsideInsertModeDoesNothing)
{
    TestDoc t;
    CInsertDataModel model;
    EXPECT_FALSE(model.Place(*t.doc, 100, 0, 0));
    EXPECT_EQ(t.doc->PointCount(), 0);
}

}  // namespace
