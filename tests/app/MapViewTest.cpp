// The map view on a document whose computations are a fake: read-out, snapping, arrows, copy,
// size reports.
#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "FakeMapComputations.h"
#include "document/TessarixDoc.h"
#include "render/TessarixView.h"

namespace {

class MapViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        doc = std::make_unique<CTessarixDoc>(std::make_unique<CFakeMapComputations>(&shared));
        doc->OnNewDocument();
        view = std::make_unique<CTessarixView>(*doc);
        view->SetColumn(0);
        view->resize(640, 480);
        view->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(view.get()));
        graph = doc->Layout().graph;
        ASSERT_FALSE(graph.IsEmpty());
    }
    QPoint Centre(const TxRect& r) const { return QPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2); }
    void SetZRange(float start, float stop, float step, int scaleMode)
    {
        doc->Settings().zAxis.start = start;
        doc->Settings().zAxis.stop = stop;
        doc->Settings().zAxis.step = step;
        doc->Settings().scaleMode = scaleMode;
        doc->RefreshAxes(PropZRange);
    }

    CFakeMapComputations::Shared shared;
    std::unique_ptr<CTessarixDoc> doc;
    std::unique_ptr<CTessarixView> view;
    TxRect graph;
};

struct ReadoutCase {
    const char* name;
    double fx;  // pixel as a fraction of the graph width from its left edge
    double fy;  // ... of the graph height from its bottom edge
    bool busy;
    const char* z;
};

class MapViewReadoutTest : public MapViewTest, public ::testing::WithParamInterface<ReadoutCase> {};

TEST_P(MapViewReadoutTest, ShowsTheCellValueOnlyInsideTheGrid)
{
    const ReadoutCase& c = GetParam();
    shared.busy = c.busy;
    const int px = graph.left + int(std::lround(c.fx * graph.Width()));
    const int py = graph.bottom - int(std::lround(c.fy * graph.Height()));
    QSignalSpy spy(view.get(), &CTessarixView::CursorMoved);
    QTest::mouseMove(view.get(), QPoint(px, py));
    ASSERT_GE(spy.count(), 1);
    const CursorReadout r = view->LastReadout();
    const CMapAxis& ax = doc->Axis(CTessarixDoc::AxisX);
    EXPECT_FLOAT_EQ(r.x, float(px - graph.left) / (float(graph.Width()) / (ax.stop - ax.start)) + ax.start);
    EXPECT_EQ(r.XText(), QString::asprintf("X= %g", double(r.x)));
    EXPECT_EQ(r.ZText(), QString::fromLatin1(c.z));
}

// Default extent 0..1 with a 20 x 20 grid; node (i, j) of the fake holds 100 i + j.
INSTANTIATE_TEST_SUITE_P(
    Shell, MapViewReadoutTest,
    ::testing::Values(ReadoutCase{"lower_left_cell", 0.0, 0.0, false, "Z= 0"},
                      ReadoutCase{"inside", 0.26, 0.51, false, "Z= 510"},
                      ReadoutCase{"right_edge_is_outside", 1.0, 0.5, false, "Z= ..."},
                      ReadoutCase{"top_edge_is_outside", 0.5, 1.0, false, "Z= ..."},
                      ReadoutCase{"beyond_the_graph", 1.2, 0.5, false, "Z= ..."},
                      ReadoutCase{"computation_busy", 0.5, 0.5, true, "Z= ..."}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MapViewTest, SnapsToTheInputGridHalvesAwayFromZero)
{
    // 100 pixels per unit, so pixel offsets are hundredths.
    doc->Settings().xAxis.start = 0.0f;
    doc->Settings().xAxis.stop = float(graph.Width()) / 100.0f;
    doc->RefreshAxes(PropXRange);
    doc->InputGrid().snapMouse = 1;
    doc->InputGrid().snapX = 0.5f;
    doc->InputGrid().snapY = 0.0f;  // a zero step leaves Y as it is instead of dividing by zero
    struct Row {
        int offset;
        const char* text;
    } rows[] = {{126, "X= 1.5"}, {124, "X= 1"}, {125, "X= 1.5"}, {24, "X= 0"}, {26, "X= 0.5"}};
    for (const Row& row : rows) {
        float x = 0, y = 0;
        PixelToMap(*doc, graph.left + row.offset, graph.bottom - 10, &x, &y);
        CursorReadout r;
        r.x = x;
        r.xyValid = true;
        EXPECT_EQ(r.XText(), QString::fromLatin1(row.text)) << row.offset;
        EXPECT_TRUE(std::isfinite(y));
    }
}

TEST_F(MapViewTest, TwoClicksOnTheUpperArrowMoveTheRangeByAFifthOfTheStepEach)
{
    SetZRange(20, 80, 10, 0);
    const ArrowBoxes boxes = view->Arrows();
    ASSERT_FALSE(boxes.upper.IsEmpty());
    QTest::mouseMove(view.get(), Centre(boxes.upper));
    EXPECT_EQ(view->HoverFlags(), CTessarixView::HoverUpper);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, Centre(boxes.upper));
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, Centre(boxes.upper));
    EXPECT_FLOAT_EQ(doc->Settings().zAxis.start, 24.0f);
    EXPECT_FLOAT_EQ(doc->Settings().zAxis.stop, 84.0f);
    EXPECT_EQ(doc->Axis(CTessarixDoc::AxisZ).ticks, (CTXFloatArray{30, 40, 50, 60, 70, 80}));
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, Centre(boxes.lower));
    EXPECT_FLOAT_EQ(doc->Settings().zAxis.start, 22.0f);
    EXPECT_TRUE(doc->IsModified());
}

TEST_F(MapViewTest, FixedAmplitudeArrowsNeitherHighlightNorMove)
{
    SetZRange(20, 80, 10, 1);
    const ArrowBoxes boxes = view->Arrows();
    QTest::mouseMove(view.get(), Centre(boxes.lower));
    EXPECT_EQ(view->HoverFlags(), 0);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, Centre(boxes.upper));
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, Centre(boxes.lower));
    EXPECT_FLOAT_EQ(doc->Settings().zAxis.start, 20.0f);
    EXPECT_FLOAT_EQ(doc->Settings().zAxis.stop, 80.0f);
    EXPECT_FALSE(view->CanAutorange());
}

TEST_F(MapViewTest, ArrowBoxesSitAboveAndBelowTheColourBar)
{
    const ArrowBoxes b = ArrowBoxesOf({500, 100, 520, 400});
    EXPECT_EQ(b.upper, (TxRect{500, 80, 520, 96}));
    EXPECT_EQ(b.lower, (TxRect{500, 404, 520, 420}));
    EXPECT_TRUE(ArrowBoxesOf({}).upper.IsEmpty());
    EXPECT_FALSE(BoxContains(b.upper, 520, 90));  // right edge exclusive
    EXPECT_TRUE(BoxContains(b.upper, 500, 80));
}

TEST_F(MapViewTest, CopyPutsTheMapPictureOnTheClipboardOnlyWhenThereIsOne)
{
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("before"));
    EXPECT_FALSE(view->HasPicture());
    EXPECT_FALSE(view->CopyToClipboard());
    EXPECT_EQ(clipboard->text(), QStringLiteral("before"));

    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    shared.pictures[0] = picture;
    EXPECT_TRUE(view->HasPicture());
    EXPECT_TRUE(view->CopyToClipboard());
    const QImage copied = clipboard->image();
    EXPECT_EQ(copied.size(), picture.size());
    EXPECT_EQ(copied.pixelColor(5, 5), QColor(10, 200, 30));
}

TEST_F(MapViewTest, PaintsThePictureOrTheWindowColour)
{
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(QColor(200, 10, 10));
    EXPECT_EQ(view->grab().toImage().pixelColor(3, 3), view->palette().color(QPalette::Base));
    shared.pictures[0] = picture;
    EXPECT_EQ(view->grab().toImage().pixelColor(3, 3), QColor(200, 10, 10));
}

TEST_F(MapViewTest, OnlyAOnePixelNarrowerSizeIsIgnored)
{
    struct Row {
        QSize size;
        bool renders;
    } rows[] = {{{639, 480}, false},  // one narrower than the stored 640: ignored, 640 stays stored
                {{640, 480}, false},  // the stored size
                {{641, 480}, true},
                {{640, 480}, false},  // one narrower than 641 again
                {{642, 480}, true},
                {{642, 479}, true}};
    for (const Row& row : rows) {
        const int before = shared.requests;
        view->resize(row.size);
        EXPECT_EQ(shared.requests > before, row.renders) << row.size.width() << "x" << row.size.height();
    }
}

TEST_F(MapViewTest, HiddenViewsOfOtherColumnsDoNotReport)
{
    CTessarixView other(*doc);
    other.SetColumn(3);
    const int before = shared.requests;
    other.resize(300, 200);
    EXPECT_EQ(shared.requests, before);
}

TEST_F(MapViewTest, InsertModeHandsTheClickToTheHandlerAndRightClickLeavesIt)
{
    float gotX = -1, gotY = -1;
    int clicks = 0;
    view->SetInsertClickHandler([&](CTessarixView&, float x, float y, QPoint) {
        gotX = x;
        gotY = y;
        ++clicks;
    });
    view->SetInsertMode(true);
    QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(graph.left, graph.bottom));
    EXPECT_EQ(clicks, 1);
    EXPECT_FLOAT_EQ(gotX, doc->Axis(CTessarixDoc::AxisX).start);
    EXPECT_FLOAT_EQ(gotY, doc->Axis(CTessarixDoc::AxisY).start);
    QSignalSpy menu(view.get(), &CTessarixView::ContextMenuRequested);
    QTest::mouseClick(view.get(), Qt::RightButton, {}, Centre(graph));
    EXPECT_FALSE(view->InsertMode());
    EXPECT_EQ(menu.count(), 0);  // the right click only left the mode
    QTest::mouseClick(view.get(), Qt::RightButton, {}, Centre(graph));
    EXPECT_EQ(menu.count(), 1);
}

TEST_F(MapViewTest, AutorangeNeedsFourPoints)
{
    for (int i = 0; i < 3; ++i)
        doc->InsertPoint(float(i) * 0.3f, 0.5f, {float(40 + 10 * i)});
    EXPECT_FALSE(view->CanAutorange());
    doc->InsertPoint(0.9f, 0.9f, {71.5f});
    shared.inputRange = std::pair(40.0f, 71.5f);
    EXPECT_TRUE(view->CanAutorange());
    EXPECT_TRUE(view->Autorange());
    EXPECT_FLOAT_EQ(doc->Settings().zAxis.start, 40.0f);
    EXPECT_FLOAT_EQ(doc->Settings().zAxis.stop, 72.0f);
}

}  // namespace
