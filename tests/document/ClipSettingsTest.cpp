// The clipping fields of the settings as a polyline set, and OK of the Image clipping dialog as
// one "Image Clip" step: no step without a change, the drawing alone for outline changes, a
// recomputation for conditioning changes, and undo and redo restoring the file bytes.

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../support/Recorders.h"
#include "document/ClipSettings.h"
#include "document/TessarixDoc.h"

namespace {

ClipPolylineSet TwoPolylines()
{
    ClipPolylineSet set;
    set.target = ClipMapAndImage;
    set.fillMode = 1;
    set.autoBoundary = 1;
    set.polylines.push_back({{{0.1f, 0.1f}, {0.9f, 0.1f}, {0.5f, 0.9f}}, 0, 55.0f, 1});
    set.polylines.push_back({{{0.2f, 0.2f}, {0.4f, 0.2f}, {0.4f, 0.4f}, {0.2f, 0.4f}}, 1, 61.5f, 2});
    return set;
}

TEST(ClipSettings, RoundTripsThroughTheFlatArrays)
{
    CTessarixSettings settings;
    SetClipping(settings, TwoPolylines());
    EXPECT_EQ(settings.clipPoints.size(), 7u);
    EXPECT_EQ(settings.clipPolylines, (std::vector<int32_t>{3, 4}));
    EXPECT_EQ(settings.conditioningFlags, (std::vector<int32_t>{0, 1}));
    EXPECT_EQ(settings.conditioningSteps, (std::vector<int32_t>{1, 2}));
    EXPECT_EQ(settings.clipTarget, ClipMapAndImage);
    EXPECT_EQ(ClippingOf(settings), TwoPolylines());
}

TEST(ClipSettings, CountsRunningPastTheVerticesKeepWhatThereIs)
{
    CTessarixSettings settings;
    settings.clipPoints = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    settings.clipPolylines = {3, 5};
    settings.conditioningFlags = {1};
    const ClipPolylineSet set = ClippingOf(settings);
    ASSERT_EQ(set.polylines.size(), 2u);
    EXPECT_EQ(set.polylines[0].vertices.size(), 3u);
    EXPECT_EQ(set.polylines[1].vertices.size(), 1u);
    EXPECT_EQ(set.polylines[1].conditioning, 0);
    EXPECT_EQ(set.polylines[1].step, 1);
}

class StoreClipping : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc.OnNewDocument();
        doc.InsertPoint(0.5f, 0.5f, {60.0f});
        SetClipping(doc.Settings(), TwoPolylines());
        doc.SetModifiedFlag(false);
        maps->requests.clear();
    }
    int LastFlags() const { return maps->requests.empty() ? -1 : maps->requests.back().flags; }

    RequestRecorder* maps = new RequestRecorder;
    CTessarixDoc doc{std::unique_ptr<IMapComputations>(maps)};
};

TEST_F(StoreClipping, UnchangedSetRecordsNothing)
{
    const bool couldUndo = doc.CanUndo();
    EXPECT_FALSE(StoreImageClipping(doc, TwoPolylines()));
    EXPECT_FALSE(doc.IsModified());
    EXPECT_TRUE(maps->requests.empty());
    EXPECT_EQ(doc.CanUndo(), couldUndo);
}

struct StoreRow {
    const char* name;
    std::function<void(ClipPolylineSet&)> change;
    int flags;
};

class StoreClippingRows : public StoreClipping, public ::testing::WithParamInterface<StoreRow> {};

TEST_P(StoreClippingRows, AsksForTheWorkTheChangeNeedsAndUndoesByteForByte)
{
    const QByteArray before = doc.WriteFileBytes();
    ClipPolylineSet set = TwoPolylines();
    GetParam().change(set);
    EXPECT_TRUE(StoreImageClipping(doc, set));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(LastFlags(), GetParam().flags);
    EXPECT_EQ(ClippingOf(doc.Settings()), set);
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("&Undo Image Clip\t(Ctrl+Z)"));
    const QByteArray after = doc.WriteFileBytes();

    maps->requests.clear();
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), before);
    // Undo asks for the same work: a restored conditioning must recompute the surface too.
    EXPECT_EQ(LastFlags(), GetParam().flags);
    doc.Redo();
    EXPECT_EQ(doc.WriteFileBytes(), after);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StoreClippingRows,
    ::testing::Values(
        StoreRow{"LevelOnlyRecomputes", [](ClipPolylineSet& s) { s.polylines[1].level = 70.0f; }, RECALC_ALL},
        StoreRow{"FlagOnlyRecomputes", [](ClipPolylineSet& s) { s.polylines[0].conditioning = 1; }, RECALC_ALL},
        StoreRow{"VertexOfPlainPolylineRedrawsOnly",
                 [](ClipPolylineSet& s) { s.polylines[0].vertices[2] = {0.6f, 0.8f}; }, RECALC_BITMAP},
        StoreRow{"VertexOfConditionedPolylineRecomputes",
                 [](ClipPolylineSet& s) { s.polylines[1].vertices[2] = {0.6f, 0.8f}; }, RECALC_ALL},
        StoreRow{"TargetRedrawsOnly", [](ClipPolylineSet& s) { s.target = ClipImageOnly; }, RECALC_BITMAP},
        StoreRow{"AllDeletedRecomputes", [](ClipPolylineSet& s) { s.polylines.clear(); }, RECALC_ALL}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
