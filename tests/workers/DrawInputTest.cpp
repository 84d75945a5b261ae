// What printing reads of a column's computed map.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <cmath>

#include "workers/BatchMapRun.h"

namespace {

// Saves a document of `points` positions on a circle (the second repeating the first when
// `coincide`) and returns its path.
QString SaveCircle(const QTemporaryDir& dir, int points, bool coincide)
{
    const QString path = dir.filePath(coincide ? QStringLiteral("coincide.Tsrix") : QStringLiteral("circle.Tsrix"));
    CTessarixDoc doc;
    doc.OnNewDocument();
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int k = 0; k < points; ++k) {
        x.push_back(0.5f + 0.3f * std::cos(0.7f * float(k)));
        y.push_back(0.5f + 0.3f * std::sin(0.7f * float(k)));
        values[0].push_back(60.0f + float(k));
    }
    if (coincide) {
        x[1] = x[0];
        y[1] = y[0];
    }
    doc.SetPointTable(points, x, y, values);
    EXPECT_EQ(doc.OnSaveDocument(path), DocFileStatus::Ok);
    return path;
}

TEST(IdleDrawInput, ComputedColumnHandsOutItsSurfaceAndContours)
{
    QTemporaryDir dir;
    CBatchMapRun run(0);
    ASSERT_TRUE(run.OpenAndCompute(SaveCircle(dir, 8, false), 0).isEmpty());
    MapDrawInput in;
    ASSERT_TRUE(run.Maps().IdleDrawInput(0, &in));
    ASSERT_NE(in.settings, nullptr);
    ASSERT_NE(in.surface, nullptr);
    EXPECT_TRUE(in.surface->IsValid());
    EXPECT_NE(in.contours, nullptr);
    EXPECT_EQ(in.measuredCount, 8);
    EXPECT_EQ(in.abort, nullptr);  // printing is never stopped by a request
    EXPECT_FALSE(run.Maps().IdleDrawInput(kColumnCount, &in));
    EXPECT_FALSE(run.Maps().IdleDrawInput(-1, &in));
}

// A failed solve must not print the surface or contours of an earlier, different input.
TEST(IdleDrawInput, FailedSurfaceLeavesNothingToPrint)
{
    QTemporaryDir dir;
    CBatchMapRun run(0);
    ASSERT_TRUE(run.OpenAndCompute(SaveCircle(dir, 8, true), 0).isEmpty());
    MapDrawInput in;
    ASSERT_TRUE(run.Maps().IdleDrawInput(0, &in));
    EXPECT_NE(in.settings, nullptr);  // the frame and axes still print
    EXPECT_EQ(in.surface, nullptr);
    EXPECT_EQ(in.contours, nullptr);
}

}  // namespace
