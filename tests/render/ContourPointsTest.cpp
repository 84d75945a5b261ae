// Leaving out the contour vertices that repeat a pixel: the raster engine must draw exactly the
// same pixels with and without them.
#include <gtest/gtest.h>

#include <QPainter>

#include <random>

#include "render/MapGeometry.h"

namespace {

constexpr int kWidth = 120, kHeight = 90;

// A contour-like walk over pixels: mostly steps of zero or one pixel (so vertices repeat), now and
// then a longer step, optionally wandering off the image.
QPolygon RandomWalk(std::mt19937& rng, int vertices, bool mayLeave, bool closed)
{
    std::uniform_int_distribution<int> step(-1, 1), rare(0, 19), jump(-9, 9);
    QPolygon walk;
    int x = kWidth / 2, y = kHeight / 2;
    for (int k = 0; k < vertices; ++k) {
        walk << QPoint(x, y);
        const int r = rare(rng);
        if (r == 0) {
            x += jump(rng);
            y += jump(rng);
        } else if (r < 8) {
            // repeat the pixel
        } else {
            x += step(rng);
            y += step(rng);
        }
        const int margin = mayLeave ? 15 : -1;
        x = std::clamp(x, -margin, kWidth - 1 + margin);
        y = std::clamp(y, -margin, kHeight - 1 + margin);
    }
    if (closed && !walk.isEmpty())
        walk << walk.first();
    return walk;
}

struct PainterSetup {
    const char* name;
    QRect clip;        // empty: none
    QPoint translate;  // whole pixels
    bool mayLeave;     // the walk goes off the image
    bool closed;
    bool ellipse = false;  // the clip is the ellipse in `clip`, as a clipping polyline gives
};

class DropRepeatedVerticesTest : public ::testing::TestWithParam<PainterSetup> {};

// The polyline through the pixel centres, as the map draws it.
QImage Draw(QPolygon line, const PainterSetup& setup, bool drop)
{
    QImage image(kWidth, kHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.translate(setup.translate);
    if (setup.ellipse)
        p.setClipRegion(QRegion(setup.clip, QRegion::Ellipse));
    else if (!setup.clip.isEmpty())
        p.setClipRect(setup.clip);
    p.setRenderHint(QPainter::Antialiasing, false);
    QPen pen(Qt::black);
    pen.setWidth(1);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::MiterJoin);
    p.setPen(pen);
    if (drop)
        DropRepeatedVertices(line, image.rect().translated(-setup.translate));
    QPolygonF centres;
    for (const QPoint& v : std::as_const(line))
        centres << QPointF(v.x() + 0.5, v.y() + 0.5);
    p.drawPolyline(centres);
    return image;
}

TEST_P(DropRepeatedVerticesTest, DrawsTheSamePixels)
{
    const PainterSetup& setup = GetParam();
    std::mt19937 rng(17);
    std::uniform_int_distribution<int> length(2, 60);
    int differing = 0, dropped = 0;
    for (int trial = 0; trial < 20000; ++trial) {
        // One polyline per picture, so a difference is not hidden by another line's pixels.
        const QPolygon line = RandomWalk(rng, length(rng), setup.mayLeave, setup.closed);
        QPolygon shorter = line;
        DropRepeatedVertices(shorter, QRect(0, 0, kWidth, kHeight).translated(-setup.translate));
        dropped += int(line.size() - shorter.size());
        const QImage a = Draw(line, setup, false), b = Draw(line, setup, true);
        if (a != b && ++differing == 1) {
            QString vertices;
            for (const QPoint& v : line)
                vertices += QString::asprintf("(%d, %d) ", v.x(), v.y());
            ADD_FAILURE() << "trial " << trial << " draws other pixels without its repeats: " << vertices.toStdString();
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(dropped, 100000);  // the walks do repeat pixels
}

INSTANTIATE_TEST_SUITE_P(
    Painters, DropRepeatedVerticesTest,
    ::testing::Values(PainterSetup{"WholeImage", {}, {0, 0}, false, false},
                      PainterSetup{"ClippedToAGraph", {20, 15, 70, 50}, {0, 0}, false, false},
                      PainterSetup{"OffTheImage", {}, {0, 0}, true, false},
                      PainterSetup{"OffTheImageClipped", {10, 10, 90, 60}, {0, 0}, true, false},
                      PainterSetup{"Translated", {5, 5, 100, 70}, {-7, 4}, true, false},
                      PainterSetup{"Closed", {}, {0, 0}, false, true},
                      PainterSetup{"ClosedOffTheImage", {8, 6, 100, 80}, {0, 0}, true, true},
                      PainterSetup{"ClippedToARegion", {10, 5, 100, 80}, {0, 0}, true, false, true}),
    [](const auto& info) { return std::string(info.param.name); });

struct DropRow {
    const char* name;
    QPolygon in;
    QPolygon out;
};

class DropRepeatedVerticesRows : public ::testing::TestWithParam<DropRow> {};

TEST_P(DropRepeatedVerticesRows, KeepsWhatTheEngineNeeds)
{
    QPolygon points = GetParam().in;
    DropRepeatedVertices(points, QRect(0, 0, 10, 10));
    EXPECT_EQ(points, GetParam().out);
}

const QPoint A(1, 1), B(2, 1), C(2, 2), Outside(-3, 1), Corner(9, 9), BeyondCorner(10, 9);

INSTANTIATE_TEST_SUITE_P(
    Rows, DropRepeatedVerticesRows,
    ::testing::Values(DropRow{"SecondVertexStaysEvenAsARepeat", {A, A, A, B, C, A}, {A, A, B, C, A}},
                      DropRow{"RunsInTheMiddle", {A, B, B, B, C, C, A, B}, {A, B, C, A, B}},
                      // A closed line's last segment gives the engine its direction at the start.
                      DropRow{"LastTwoStayEvenAsRepeats", {A, B, C, B, A, A}, {A, B, C, B, A, A}},
                      DropRow{"RepeatsOffTheAreaStay", {A, B, Outside, Outside, B, A}, {A, B, Outside, Outside, B, A}},
                      DropRow{"FourVerticesUntouched", {A, A, A, A}, {A, A, A, A}},
                      DropRow{"RepeatsOnTheLastPixelGo", {A, B, Corner, Corner, C, A}, {A, B, Corner, C, A}},
                      DropRow{"RepeatsJustBeyondStay", {A, B, BeyondCorner, BeyondCorner, C, A},
                              {A, B, BeyondCorner, BeyondCorner, C, A}}),
    [](const auto& info) { return std::string(info.param.name); });

// The raster engine strokes polylines of more than 65535 points another way; such a polyline
// must reach it as it is, or dropping would change the path and so the pixels.
TEST(DropRepeatedVertices, PolylineBeyondTheCosmeticLimitIsLeftAlone)
{
    QPolygon points(70000, A);
    DropRepeatedVertices(points, QRect(0, 0, 10, 10));
    EXPECT_EQ(points.size(), 70000);
}

}  // namespace
