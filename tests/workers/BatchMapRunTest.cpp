#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <chrono>
#include <cmath>
#include <thread>
#include <vector>

#include "workers/BatchMapRun.h"
#include "workers/WorkerStrings.h"
#include "util/StringTable.h"

namespace {

struct DocumentCase {
    const char* name;
    int points;           // on a small circle of distinct positions
    bool duplicateFirst;  // the second point repeats the first position
    int boundary;
    float parameter;
    int column;
    int problemText;      // string identifier of the expected message; 0 for success
};

class BatchMapRunTest : public ::testing::TestWithParam<DocumentCase> {};

TEST_P(BatchMapRunTest, ComputesOrExplains)
{
    const DocumentCase& c = GetParam();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("case.Tsrix"));
    {
        CTessarixDoc doc(std::make_unique<CMapComputationSet>());
        doc.OnNewDocument();
        CTXFloatArray x, y;
        std::array<CTXFloatArray, kColumnCount> values;
        for (int k = 0; k < c.points; ++k) {
            const float a = 0.7f * float(k);
            x.push_back(0.5f + 0.3f * std::cos(a));
            y.push_back(0.5f + 0.3f * std::sin(a));
            values[0].push_back(60.0f + float(k));
        }
        if (c.duplicateFirst && c.points > 1) {
            x[1] = x[0];
            y[1] = y[0];
        }
        doc.SetPointTable(c.points, x, y, values);
        doc.Settings().useBoundaryConditions = c.boundary;
        doc.Settings().interpParameter = c.parameter;
        ASSERT_EQ(doc.OnSaveDocument(path), DocFileStatus::Ok);
    }
    CBatchMapRun run(c.column);
    QString problem = run.OpenAndCompute(path, c.column);
    if (problem.isEmpty())
        problem = run.SurfaceProblem(c.column);
    if (c.problemText == 0) {
        EXPECT_TRUE(problem.isEmpty()) << problem.toStdString();
        EXPECT_TRUE(run.Thread(c.column).Surface().IsValid());
        EXPECT_EQ(run.Notify().Count(c.column), 1);
    } else if (c.problemText == IDS_COLUMN_NOT_ENABLED) {
        EXPECT_EQ(problem, TxFormat(IDS_COLUMN_NOT_ENABLED, QString::number(c.column)));
    } else if (c.problemText == IDS_WARN_POINTS_COINCIDE) {
        // The batch run names the two points as the table numbers them, like the map does.
        EXPECT_EQ(problem, TxFormat(IDS_WARN_POINTS_COINCIDE, QStringLiteral("1"), QStringLiteral("2")));
        EXPECT_EQ(problem, run.Thread(c.column).WarningText());
    } else {
        EXPECT_EQ(problem, TxString(c.problemText));
    }
}

INSTANTIATE_TEST_SUITE_P(Documents, BatchMapRunTest,
                         ::testing::Values(DocumentCase{"computed", 8, false, 1, 0.2f, 0, 0},
                                           DocumentCase{"two_points_no_boundary", 2, false, 0, 0.2f, 0, IDS_SURFACE_TOO_FEW_POINTS},
                                           DocumentCase{"coincident_points", 6, true, 0, 0.2f, 0, IDS_WARN_POINTS_COINCIDE},
                                           DocumentCase{"parameter_zero", 6, false, 1, 0.0f, 0, IDS_WARN_SURFACE_SINGULAR},
                                           DocumentCase{"disabled_column", 6, false, 1, 0.2f, 4, IDS_COLUMN_NOT_ENABLED}),
                         [](const auto& info) { return info.param.name; });

TEST(BatchMapRunTest, MissingFileIsReported)
{
    CBatchMapRun run(0);
    const QString problem = run.OpenAndCompute(QStringLiteral("/nonexistent/none.Tsrix"), 0);
    EXPECT_FALSE(problem.isEmpty());
}

TEST(MapReadyWaiterTest, CountsPerColumnAndTimesOut)
{
    CMapReadyWaiter w(5);
    EXPECT_EQ(w.SendMapNotify(MapNotifyActiveColumn, 0), 5);
    w.PostMapNotify(MapNotifyMapReady, 2);
    w.PostMapNotify(MapNotifyMapReady, 2);
    w.PostMapNotify(MapNotifyMapsRequested, 3);
    w.PostMapNotify(MapNotifyMapReady, 99);  // no such column: ignored
    EXPECT_EQ(w.Count(2), 2);
    EXPECT_EQ(w.Count(3), 0);
    EXPECT_EQ(w.LastRequestCount(), 3);
    EXPECT_TRUE(w.WaitForMapReady(2, 2, 0));
    EXPECT_FALSE(w.WaitForMapReady(2, 3, 10));
    EXPECT_FALSE(w.WaitForMapReady(12, 1, 0));
}

}  // namespace

namespace {

struct TakeReadyRow {
    const char* name;
    std::vector<int> posted;    // columns given a MapReady, in order
    std::vector<int> pending;
    int count;
    std::vector<int> ready;     // what TakeReady returns
    std::vector<int> leftOver;  // what stays pending
};

class TakeReadyTest : public ::testing::TestWithParam<TakeReadyRow> {};

TEST_P(TakeReadyTest, TakesEveryReadyColumnOnce)
{
    const TakeReadyRow& row = GetParam();
    CMapReadyWaiter w;
    for (int c : row.posted)
        w.PostMapNotify(MapNotifyMapReady, c);
    std::vector<int> pending = row.pending;
    EXPECT_EQ(w.TakeReady(pending, row.count, 20), row.ready);
    EXPECT_EQ(pending, row.leftOver);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, TakeReadyTest,
    ::testing::Values(TakeReadyRow{"OneOfThree", {3}, {1, 3, 5}, 1, {3}, {1, 5}},
                      TakeReadyRow{"SeveralInPendingOrder", {5, 1}, {1, 3, 5}, 1, {1, 5}, {3}},
                      TakeReadyRow{"NoneReadyTimesOut", {2}, {1, 3}, 1, {}, {1, 3}},
                      TakeReadyRow{"SecondMapAsked", {3, 1, 3}, {1, 3}, 2, {3}, {1}},
                      TakeReadyRow{"NothingPending", {3}, {}, 1, {}, {}},
                      TakeReadyRow{"ColumnOutOfRangeNeverReady", {11}, {12, -1, 11}, 1, {11}, {12, -1}}),
    [](const auto& info) { return std::string(info.param.name); });

// A MapReady from another thread while the caller waits wakes it at once.
TEST(MapReadyWaiterTest, TakeReadyWakesOnAPostFromAWorker)
{
    CMapReadyWaiter w;
    std::vector<int> pending{0, 7};
    std::thread worker([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        w.PostMapNotify(MapNotifyMapReady, 7);
    });
    const auto start = std::chrono::steady_clock::now();
    const std::vector<int> ready = w.TakeReady(pending, 1, 20000);
    worker.join();
    EXPECT_EQ(ready, std::vector<int>{7});
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_EQ(pending, std::vector<int>{0});
}

}  // namespace
