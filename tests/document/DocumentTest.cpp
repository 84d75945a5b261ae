#include <gtest/gtest.h>

#include "../support/Recorders.h"
#include "document/TessarixDoc.h"

namespace {

struct Fixture {
    Fixture()
    {
        auto r = std::make_unique<RequestRecorder>();
        requests = r.get();
        doc = std::make_unique<CTessarixDoc>(std::move(r));
        doc->SetNotify(&notify);
        doc->OnNewDocument();
        notify.calls.clear();
        requests->requests.clear();
    }
    void Enable(std::initializer_list<int> columns)
    {
        std::array<bool, kColumnCount> flags{};
        std::array<QString, kColumnCount> names;
        for (int c = 0; c < kColumnCount; ++c)
            names[size_t(c)] = doc->Column(c).name;
        for (int c : columns)
            flags[size_t(c)] = true;
        doc->SetColumnDefinitions(flags, names);
        notify.calls.clear();
        requests->requests.clear();
    }
    void ExpectInvariant() const
    {
        ASSERT_EQ(doc->X().size(), size_t(doc->PointCount()));
        ASSERT_EQ(doc->Y().size(), size_t(doc->PointCount()));
        for (int c = 0; c < doc->ColumnCount(); ++c)
            ASSERT_EQ(doc->Column(c).values.size(), size_t(doc->PointCount())) << "column " << c;
    }

    NotifyRecorder notify;
    RequestRecorder* requests = nullptr;
    std::unique_ptr<CTessarixDoc> doc;
};

TEST(Document, NewDocumentHasTwelveColumnsWithBandNames)
{
    Fixture f;
    const char* expected[kColumnCount] = {"SLM",    "16 Hz", "31.5 Hz", "63 Hz", "125 Hz", "250 Hz",
                                          "500 Hz", "1 kHz", "2 kHz",   "4 kHz", "8 kHz",  "16 kHz"};
    ASSERT_EQ(f.doc->ColumnCount(), kColumnCount);
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(f.doc->Column(c).name, QString::fromLatin1(expected[c]));
        EXPECT_EQ(f.doc->Column(c).enabled, c == 0 ? 1 : 0);
    }
    EXPECT_EQ(f.doc->PointCount(), 0);
    EXPECT_EQ(f.doc->EnabledColumnNames(), QStringList{QStringLiteral("SLM")});
}

TEST(Document, NewRequestsAllWorkAndReportsLevelTwo)
{
    Fixture f;
    f.doc->OnNewDocument();
    ASSERT_EQ(f.requests->requests.size(), 1u);
    EXPECT_EQ(f.requests->requests[0].flags, RECALC_ALL);
    EXPECT_EQ(f.notify.Arguments(MapNotifyDocumentChanged), std::vector<intptr_t>{ChangeColumns});
    EXPECT_EQ(f.notify.Arguments(MapNotifyMapsRequested), std::vector<intptr_t>{1});
}

TEST(Document, InsertPointWalksTheEnabledColumnsWithOneCursor)
{
    Fixture f;
    f.Enable({0, 3, 5});
    f.doc->InsertPoint(1.5f, 2.5f, {91.0f, 72.0f});
    f.ExpectInvariant();
    EXPECT_EQ(f.doc->PointCount(), 1);
    EXPECT_EQ(f.doc->X()[0], 1.5f);
    EXPECT_EQ(f.doc->Y()[0], 2.5f);
    EXPECT_EQ(f.doc->Column(0).values[0], 91.0f);
    EXPECT_EQ(f.doc->Column(3).values[0], 72.0f);
    EXPECT_EQ(f.doc->Column(5).values[0], 0.0f);
    for (int c : {1, 2, 4, 6, 7, 8, 9, 10, 11})
        EXPECT_EQ(f.doc->Column(c).values[0], 0.0f);
    EXPECT_TRUE(f.doc->IsModified());
    EXPECT_EQ(f.requests->requests.back().flags, RECALC_ALL);
}

TEST(Document, DisabledColumnsKeepTheirValuesAndArePadded)
{
    Fixture f;
    f.Enable({0, 1});
    f.doc->InsertPoint(0, 0, {1, 2});
    f.Enable({0});
    f.doc->InsertPoint(1, 1, {3, 4});
    f.ExpectInvariant();
    EXPECT_EQ(f.doc->Column(1).values, (CTXFloatArray{2, 0}));
    EXPECT_EQ(f.doc->Column(0).values, (CTXFloatArray{1, 3}));
}

struct LevelCase {
    const char* name;
    std::vector<int> enabled;
    std::vector<std::pair<int, const char*>> renames;
    int expected;
};

class ChangeLevelTest : public ::testing::TestWithParam<LevelCase> {};

TEST_P(ChangeLevelTest, SetColumnDefinitionsReportsTheLevel)
{
    Fixture f;
    const LevelCase& c = GetParam();
    std::array<bool, kColumnCount> flags{};
    std::array<QString, kColumnCount> names;
    for (int i = 0; i < kColumnCount; ++i)
        names[size_t(i)] = f.doc->Column(i).name;
    for (int i : c.enabled)
        flags[size_t(i)] = true;
    for (auto [i, name] : c.renames)
        names[size_t(i)] = QString::fromLatin1(name);
    EXPECT_EQ(f.doc->SetColumnDefinitions(flags, names), c.expected);
    EXPECT_EQ(f.notify.Arguments(MapNotifyDocumentChanged), std::vector<intptr_t>{c.expected});
    // A changed set of enabled columns requests the maps, so that a newly enabled column gets
    // its map at once; names alone need none.
    if (c.expected == ChangeColumns) {
        ASSERT_EQ(f.requests->requests.size(), c.enabled.size());
        for (size_t k = 0; k < c.enabled.size(); ++k) {
            EXPECT_EQ(f.requests->requests[k].column, c.enabled[k]);
            EXPECT_EQ(f.requests->requests[k].flags, RECALC_ALL);
        }
    } else {
        EXPECT_TRUE(f.requests->requests.empty()) << "renaming requests no map";
    }
    EXPECT_TRUE(f.doc->IsModified());
    for (int i = 0; i < kColumnCount; ++i)
        EXPECT_EQ(f.doc->Column(i).name, names[size_t(i)]);
}

INSTANTIATE_TEST_SUITE_P(
    Levels, ChangeLevelTest,
    ::testing::Values(LevelCase{"nothing_changed", {0}, {}, 0},
                      LevelCase{"rename_only", {0}, {{0, "Leq"}}, 1},
                      LevelCase{"rename_disabled_column", {0}, {{4, "125"}}, 1},
                      LevelCase{"enable_one", {0, 2}, {}, 2},
                      LevelCase{"enable_and_rename", {0, 2}, {{0, "Leq"}}, 2}),
    [](const auto& info) { return info.param.name; });

TEST(Document, ColumnZeroStaysEnabled)
{
    Fixture f;
    std::array<bool, kColumnCount> flags{};
    std::array<QString, kColumnCount> names;
    for (int i = 0; i < kColumnCount; ++i)
        names[size_t(i)] = f.doc->Column(i).name;
    f.doc->SetColumnDefinitions(flags, names);
    EXPECT_EQ(f.doc->Column(0).enabled, 1);
}

TEST(Document, RequestMapsIssuesOneRequestPerEnabledColumnWithPendingWork)
{
    Fixture f;
    f.Enable({0, 4, 11});
    f.notify.activeColumn = 4;
    f.doc->AddPendingWork(RECALC_CONTOURS);
    f.doc->RequestMaps(RECALC_BITMAP);
    ASSERT_EQ(f.requests->requests.size(), 3u);
    const int columns[] = {0, 4, 11};
    for (size_t i = 0; i < 3; ++i) {
        EXPECT_EQ(f.requests->requests[i].column, columns[i]);
        EXPECT_EQ(f.requests->requests[i].flags, RECALC_CONTOURS | RECALC_BITMAP);
        EXPECT_EQ(f.requests->requests[i].raisePriority, columns[i] == 4);
    }
    EXPECT_EQ(f.doc->PendingWork(), 0);
    // ActiveColumn is sent before the requests; MapsRequested is posted with the count after them.
    ASSERT_GE(f.notify.calls.size(), 2u);
    EXPECT_EQ(f.notify.calls.front().code, MapNotifyActiveColumn);
    EXPECT_FALSE(f.notify.calls.front().posted);
    EXPECT_EQ(f.notify.calls.back().code, MapNotifyMapsRequested);
    EXPECT_TRUE(f.notify.calls.back().posted);
    EXPECT_EQ(f.notify.calls.back().argument, 3);
}

struct SizeCase {
    const char* name;
    int width, height;
    bool recomputes;
};

class ViewSizeTest : public ::testing::TestWithParam<SizeCase> {};

TEST_P(ViewSizeTest, OnePixelNarrowerIsIgnored)
{
    Fixture f;
    f.doc->OnViewSizeChanged({0, 0, 800, 600});
    f.requests->requests.clear();
    const SizeCase& c = GetParam();
    f.doc->OnViewSizeChanged({0, 0, c.width, c.height});
    EXPECT_EQ(!f.requests->requests.empty(), c.recomputes);
    if (c.recomputes) {
        EXPECT_EQ(f.requests->requests[0].flags, RECALC_CONTOURS | RECALC_BITMAP);
    }
}

INSTANTIATE_TEST_SUITE_P(Sizes, ViewSizeTest,
                         ::testing::Values(SizeCase{"same", 800, 600, false},
                                           SizeCase{"one_narrower", 799, 600, false},
                                           SizeCase{"one_wider", 801, 600, true},
                                           SizeCase{"two_narrower", 798, 600, true},
                                           SizeCase{"taller", 800, 601, true}),
                         [](const auto& info) { return info.param.name; });

TEST(Document, RequestMapsLaysOutTheViewWithEqualScales)
{
    Fixture f;
    f.doc->OnViewSizeChanged({0, 0, 900, 500});
    const MapLayout& l = f.doc->Layout();
    EXPECT_GT(l.graph.Width(), 0);
    EXPECT_NEAR(l.graph.Width(), l.graph.Height(), 1) << "X and Y run 0..1 on a square graph";
    EXPECT_GT(l.colourBar.left, l.graph.right);
}

TEST(Document, DeleteContentsResetsTheComputations)
{
    Fixture f;
    f.doc->InsertPoint(1, 1, {50});
    const int before = f.requests->resets;
    f.doc->DeleteContents();
    EXPECT_EQ(f.requests->resets, before + 1);
    EXPECT_EQ(f.doc->PointCount(), 0);
}

TEST(Document, MoveColourScaleShiftsByAFifthOfTheStep)
{
    Fixture f;
    f.doc->MoveColorScale(true);
    EXPECT_FLOAT_EQ(f.doc->Settings().zAxis.start, 22.0f);
    EXPECT_FLOAT_EQ(f.doc->Settings().zAxis.stop, 82.0f);
    EXPECT_EQ(f.doc->Axis(CTessarixDoc::AxisZ).start, f.doc->Settings().zAxis.start);
    f.doc->MoveColorScale(false);
    f.doc->MoveColorScale(false);
    EXPECT_FLOAT_EQ(f.doc->Settings().zAxis.start, 18.0f);
    EXPECT_FLOAT_EQ(f.doc->Settings().zAxis.stop, 78.0f);
    EXPECT_EQ(f.notify.Arguments(MapNotifyDocumentChanged), (std::vector<intptr_t>{0, 0, 0}));
}

TEST(Document, AutoScaleRoundsToAFifthOfTheStep)
{
    Fixture f;
    f.doc->InsertPoint(0, 0, {41.2f});
    f.doc->InsertPoint(1, 1, {68.9f});
    f.requests->inputRanges[0] = {41.2f, 68.9f};
    f.requests->requests.clear();
    EXPECT_TRUE(f.doc->AutoScaleColor(0));
    EXPECT_FLOAT_EQ(f.doc->Settings().zAxis.start, 42.0f);
    EXPECT_FLOAT_EQ(f.doc->Settings().zAxis.stop, 70.0f);
    EXPECT_EQ(f.requests->requests.back().flags, RECALC_CONTOURS);
}

TEST(Document, AutoScaleWithoutSpreadChangesNothing)
{
    Fixture f;
    EXPECT_FALSE(f.doc->AutoScaleColor(0)) << "no points";
    f.doc->InsertPoint(0, 0, {55.0f});
    f.doc->InsertPoint(1, 1, {55.0f});
    f.requests->inputRanges[0] = {55.0f, 55.0f};
    f.requests->requests.clear();
    EXPECT_FALSE(f.doc->AutoScaleColor(0)) << "all values equal";
    EXPECT_EQ(f.doc->Settings().zAxis.start, 20.0f);
    EXPECT_TRUE(f.requests->requests.empty());
}

TEST(Document, MapModeRendersOnly)
{
    Fixture f;
    f.doc->SetMapMode(MapModeColorMap);
    EXPECT_EQ(f.doc->Settings().mapMode, MapModeColorMap);
    EXPECT_EQ(f.requests->requests.back().flags, RECALC_BITMAP);
}

TEST(Document, RefreshAxesCopiesSettingsIntoTheDrawingAxes)
{
    Fixture f;
    CTessarixSettings& s = f.doc->Settings();
    s.xAxis.label = QStringLiteral("m");
    s.zAxis.start = 30;
    s.zAxis.stop = 90;
    f.doc->RefreshAxes(PropXLabel);
    EXPECT_EQ(f.doc->Axis(CTessarixDoc::AxisX).title, QStringLiteral("m"));
    EXPECT_EQ(f.doc->Axis(CTessarixDoc::AxisZ).start, 20.0f) << "only the named identifier is copied";
    f.doc->RefreshAxes(PropZRange);
    EXPECT_EQ(f.doc->Axis(CTessarixDoc::AxisZ).start, 30.0f);
    EXPECT_EQ(f.doc->Axis(CTessarixDoc::AxisZ).ticks.front(), 30.0f);
    EXPECT_EQ(f.doc->PendingWork(), RECALC_CONTOURS);
}

}  // namespace
