// The Image Clip tools driven through the model with window pixels: lines, rectangles and
// ellipses from clicks, the point tools on the selected polyline, the vertex drag, deletion
// and selection, and the comparison that decides between redrawing and recomputing.

#include <gtest/gtest.h>

#include <functional>

#include "image/ImageClipModel.h"

namespace {

// Picture rectangle 8..208 across and 8..108 down.
CImageClipGeometry Window()
{
    return CImageClipGeometry({216, 116}, {0, 0});
}

ClipPolyline Square(float level = 50.0f)
{
    ClipPolyline p;
    p.vertices = {{0.25f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.25f}, {0.25f, 0.25f}};
    p.level = level;
    return p;
}

ClipPolyline Triangle()
{
    ClipPolyline p;
    p.vertices = {{0.25f, 0.25f}, {0.75f, 0.25f}, {0.5f, 0.75f}};
    return p;
}

class ClipModel : public ::testing::Test {
protected:
    explicit ClipModel(ClipPolylineSet set = {}) : model(std::move(set), 62.5f) { model.SetGeometry(Window()); }

    ClipOutcome Click(QPoint p)
    {
        model.Press(p);
        return model.Release(p);
    }
    // What a double click delivers: press, release, double click, release.
    ClipOutcome DoubleClick(QPoint p)
    {
        Click(p);
        const ClipOutcome outcome = model.DoubleClick(p);
        model.Release(p);
        return outcome;
    }
    size_t Count() const { return model.Set().polylines.size(); }

    CImageClipModel model;
};

TEST_F(ClipModel, LineOfThreeClicksEndedByADoubleClickBecomesTheSelectedPolyline)
{
    model.ChooseTool(ClipTool::Line);
    Click({58, 83});
    Click({158, 83});
    EXPECT_TRUE(model.HasRubberBand());
    EXPECT_EQ(model.Anchor(), QPoint(158, 83));
    EXPECT_EQ(DoubleClick({108, 33}), ClipOutcome::Changed);
    ASSERT_EQ(Count(), 1u);
    const ClipPolyline& p = model.Set().polylines[0];
    const std::vector<KW_FPOINT> expected{{0.25f, 0.25f}, {0.75f, 0.25f}, {0.5f, 0.75f}};
    EXPECT_EQ(p.vertices, expected);
    // New polylines take the default level, no conditioning, step 1.
    EXPECT_EQ(p.conditioning, 0);
    EXPECT_FLOAT_EQ(p.level, 62.5f);
    EXPECT_EQ(p.step, 1);
    EXPECT_EQ(model.Selected(), 0);
    EXPECT_EQ(model.Tool(), ClipTool::None);
    EXPECT_FALSE(model.HasRubberBand());
}

struct ShortLineRow {
    const char* name;
    int clicksBefore;  // single clicks before the double click
};

class ShortLineTest : public ClipModel, public ::testing::WithParamInterface<ShortLineRow> {
protected:
    ShortLineTest() : ClipModel(ClipPolylineSet{{Square()}}) {}
};

TEST_P(ShortLineTest, LineEndedBelowThreeVerticesIsRefusedAndRemoved)
{
    model.ChooseTool(ClipTool::Line);
    for (int i = 0; i < GetParam().clicksBefore; ++i)
        Click({20 + 30 * i, 40});
    EXPECT_EQ(DoubleClick({150, 90}), ClipOutcome::TooFewPoints);
    ASSERT_EQ(Count(), 1u);
    EXPECT_EQ(model.Set().polylines[0], Square());
    EXPECT_EQ(model.Selected(), 0);
    EXPECT_EQ(model.Tool(), ClipTool::None);
}

INSTANTIATE_TEST_SUITE_P(Rows, ShortLineTest,
                         ::testing::Values(ShortLineRow{"DoubleClickAlone", 0}, ShortLineRow{"OneClickThenDoubleClick", 1}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClipModel, LineClickOutsideThePictureLandsOnItsEdgeAndRightClickDropsTheLine)
{
    model.ChooseTool(ClipTool::Line);
    Click({-30, 200});
    ASSERT_EQ(Count(), 1u);
    EXPECT_EQ(model.Set().polylines[0].vertices[0], (KW_FPOINT{0.0f, 0.0f}));
    Click({300, 50});
    EXPECT_EQ(model.Set().polylines[0].vertices[1].x, 1.0f);
    EXPECT_EQ(model.RightClick(), ClipOutcome::Changed);
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(model.Selected(), kNoPolyline);
    EXPECT_EQ(model.Tool(), ClipTool::None);
}

TEST_F(ClipModel, ChoosingAnotherToolCancelsTheLineInProgress)
{
    model.ChooseTool(ClipTool::Line);
    Click({50, 50});
    Click({90, 50});
    model.ChooseTool(ClipTool::Rect);
    EXPECT_EQ(Count(), 0u);
    EXPECT_EQ(model.Tool(), ClipTool::Rect);
    EXPECT_FALSE(model.HasRubberBand());
}

TEST_F(ClipModel, RectangleFromBottomRightToTopLeftMatchesTopLeftToBottomRight)
{
    model.ChooseTool(ClipTool::Rect);
    Click({158, 83});
    EXPECT_TRUE(model.HasRubberBand());
    model.Move({70, 40});
    EXPECT_EQ(model.Mouse(), QPoint(70, 40));
    Click({58, 33});
    model.ChooseTool(ClipTool::Rect);
    Click({58, 33});
    Click({158, 83});
    ASSERT_EQ(Count(), 2u);
    EXPECT_EQ(model.Set().polylines[0].vertices, model.Set().polylines[1].vertices);
    EXPECT_EQ(model.Set().polylines[0].vertices, Square().vertices);
    EXPECT_EQ(model.Selected(), 1);
    EXPECT_EQ(model.Tool(), ClipTool::None);
}

TEST_F(ClipModel, EllipseToolMakesFortyVertices)
{
    model.ChooseTool(ClipTool::Ellipse);
    Click({58, 33});
    Click({158, 83});
    ASSERT_EQ(Count(), 1u);
    EXPECT_EQ(model.Set().polylines[0].vertices.size(), size_t(kEllipseVertices));
}

class ClipModelWithSquare : public ClipModel {
protected:
    ClipModelWithSquare() : ClipModel(ClipPolylineSet{{Triangle(), Square()}}) {}
};

TEST_F(ClipModelWithSquare, OpensWithTheLastPolylineSelected)
{
    EXPECT_EQ(model.Selected(), 1);
}

struct AddPointRow {
    const char* name;
    QPoint click;
    size_t index;  // where the new vertex lands
};

class AddPointTest : public ClipModelWithSquare, public ::testing::WithParamInterface<AddPointRow> {};

TEST_P(AddPointTest, InsertsAfterTheFirstVertexOfTheSegmentHit)
{
    // Square pixels: (58,33) (158,33) (158,83) (58,83).
    model.ChooseTool(ClipTool::AddPoint);
    EXPECT_EQ(Click(GetParam().click), ClipOutcome::Changed);
    const auto& v = model.Set().polylines[1].vertices;
    ASSERT_EQ(v.size(), 5u);
    EXPECT_EQ(v[GetParam().index], Window().ToPicture(GetParam().click));
    // The tool stays for the next point.
    EXPECT_EQ(model.Tool(), ClipTool::AddPoint);
}

INSTANTIATE_TEST_SUITE_P(Rows, AddPointTest,
                         ::testing::Values(AddPointRow{"TopSegment", {100, 35}, 1},
                                           AddPointRow{"RightSegment", {156, 60}, 2},
                                           AddPointRow{"ClosingSegment", {60, 60}, 4}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(ClipModelWithSquare, AddPointAwayFromEverySegmentBeeps)
{
    model.ChooseTool(ClipTool::AddPoint);
    const ClipPolylineSet before = model.Set();
    EXPECT_EQ(Click({108, 58}), ClipOutcome::Refused);
    EXPECT_EQ(model.Set(), before);
}

TEST_F(ClipModelWithSquare, RemovePointTakesTheVertexUnderTheClickDownToThree)
{
    model.ChooseTool(ClipTool::RemovePoint);
    EXPECT_EQ(Click({100, 58}), ClipOutcome::Refused);
    EXPECT_EQ(Click({160, 31}), ClipOutcome::Changed);
    const std::vector<KW_FPOINT> expected{{0.25f, 0.75f}, {0.75f, 0.25f}, {0.25f, 0.25f}};
    EXPECT_EQ(model.Set().polylines[1].vertices, expected);
    // Three vertices are the least: the next removal beeps and keeps them.
    EXPECT_EQ(Click({58, 33}), ClipOutcome::Refused);
    EXPECT_EQ(model.Set().polylines[1].vertices, expected);
}

TEST_F(ClipModelWithSquare, RemovePointOnAThreeVertexPolylineBeeps)
{
    model.Select(0);
    model.ChooseTool(ClipTool::RemovePoint);
    const ClipPolylineSet before = model.Set();
    EXPECT_EQ(Click({58, 83}), ClipOutcome::Refused);
    EXPECT_EQ(model.Set(), before);
}

TEST_F(ClipModelWithSquare, DraggingAVertexFollowsTheMouseClampedToThePicture)
{
    EXPECT_EQ(model.Press({157, 84}), ClipOutcome::Changed);
    EXPECT_TRUE(model.DraggingVertex());
    model.Move({120, 70});
    EXPECT_EQ(model.Set().polylines[1].vertices[2], Window().ToPicture({120, 70}));
    model.Release({400, 400});
    EXPECT_FALSE(model.DraggingVertex());
    EXPECT_EQ(model.Set().polylines[1].vertices[2], (KW_FPOINT{1.0f, 0.0f}));
    // A press away from the selected polyline's vertices grabs nothing.
    EXPECT_EQ(model.Press({108, 58}), ClipOutcome::Nothing);
    EXPECT_FALSE(model.DraggingVertex());
}

TEST_F(ClipModelWithSquare, DeletingKeepsTheIndexOrFallsBackToTheLast)
{
    model.Select(0);
    EXPECT_TRUE(model.DeleteSelected());
    EXPECT_EQ(model.Selected(), 0);
    EXPECT_EQ(model.Set().polylines[0], Square());
    EXPECT_TRUE(model.DeleteSelected());
    EXPECT_EQ(model.Selected(), kNoPolyline);
    EXPECT_FALSE(model.DeleteSelected());
}

TEST_F(ClipModelWithSquare, SelectionStepsStopAtTheEnds)
{
    model.StepSelection(+1);
    EXPECT_EQ(model.Selected(), 1);
    model.StepSelection(-1);
    model.StepSelection(-1);
    EXPECT_EQ(model.Selected(), 0);
}

// What OK asks of the maps, decided by comparing the working copy with the stored polylines.
struct CompareRow {
    const char* name;
    std::function<void(ClipPolylineSet&)> change;
    bool clipping;
    bool conditioning;
};

class CompareClipSetsTest : public ::testing::TestWithParam<CompareRow> {};

TEST_P(CompareClipSetsTest, SaysWhatChanged)
{
    ClipPolyline conditioned = Triangle();
    conditioned.conditioning = 1;
    const ClipPolylineSet before{{Square(), conditioned}};
    ClipPolylineSet after = before;
    GetParam().change(after);
    const ClipSetDifference d = CompareClipSets(before, after);
    EXPECT_EQ(d.clipping, GetParam().clipping);
    EXPECT_EQ(d.conditioning, GetParam().conditioning);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, CompareClipSetsTest,
    ::testing::Values(
        CompareRow{"Nothing", [](ClipPolylineSet&) {}, false, false},
        CompareRow{"LevelOnly", [](ClipPolylineSet& s) { s.polylines[0].level = 70.0f; }, false, true},
        CompareRow{"StepOnly", [](ClipPolylineSet& s) { s.polylines[1].step = 3; }, false, true},
        CompareRow{"VertexOfPlainPolyline", [](ClipPolylineSet& s) { s.polylines[0].vertices[1].x = 0.8f; }, true,
                   false},
        // Its vertices are conditioning points, so moving one moves a point of the surface.
        CompareRow{"VertexOfConditionedPolyline", [](ClipPolylineSet& s) { s.polylines[1].vertices[1].x = 0.8f; },
                   true, true},
        CompareRow{"FillMode", [](ClipPolylineSet& s) { s.fillMode = 1; }, true, false},
        CompareRow{"Target", [](ClipPolylineSet& s) { s.target = 2; }, true, false},
        CompareRow{"AutoBoundary", [](ClipPolylineSet& s) { s.autoBoundary = 1; }, true, false},
        CompareRow{"PolylineDeleted", [](ClipPolylineSet& s) { s.polylines.erase(s.polylines.begin()); }, true,
                   true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
