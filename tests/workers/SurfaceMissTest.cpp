// The map warns when its surface misses a measured point by more than a tenth of a decibel: the
// weights of an ill-conditioned system no longer reproduce the values they were solved for. The
// miss is computed from the same weights on the per-column and on the shared path.

#include <gtest/gtest.h>

#include <cmath>

#include "document/TessarixDoc.h"
#include "util/RbfKernel.h"
#include "workers/BatchMapRun.h"

namespace {

struct MissCase {
    const char* name;
    float parameter;    // multiquadric parameter: a wide kernel makes the system ill-conditioned
    bool allColumns;    // every column enabled, so that the columns share one decomposition
    bool warns;
};

class SurfaceMiss : public ::testing::TestWithParam<MissCase> {};

TEST_P(SurfaceMiss, MapWarnsWhenTheSurfaceMissesAPoint)
{
    CBatchMapRun run;
    CTessarixDoc& doc = run.Doc();
    doc.OnNewDocument();
    run.Maps().WaitUntilIdle(0);
    // 60 points on a jittered lattice with a rough field.
    CTXFloatArray x, y;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int k = 0; k < 60; ++k) {
        const float px = 5.0f + 10.0f * float(k % 10) + 3.0f * std::sin(float(k));
        const float py = 5.0f + 15.0f * float(k / 10) + 3.0f * std::cos(float(2 * k));
        x.push_back(px);
        y.push_back(py);
        for (int c = 0; c < kColumnCount; ++c)
            values[size_t(c)].push_back(80.0f + 10.0f * std::sin(px * 0.3f + float(c)) * std::cos(py * 0.2f));
    }
    doc.SetPointTable(60, x, y, values);
    CTessarixSettings& s = doc.Settings();
    s.extent = {0.0f, 100.0f, 0.0f, 100.0f};
    s.useBoundaryConditions = 0;
    s.interpFunction = RbfMultiquadric;
    s.interpParameter = GetParam().parameter;
    s.gridCountX = 20;
    s.gridCountY = 20;
    for (int c = 0; c < kColumnCount; ++c)
        doc.Column(c).enabled = GetParam().allColumns || c == 0 ? 1 : 0;
    const int before = run.Notify().Count(0);
    doc.RequestMaps(RECALC_SURFACE | RECALC_CONTOURS | RECALC_BITMAP);
    ASSERT_TRUE(run.WaitForColumn(0, before, 60000));
    for (int c = 1; GetParam().allColumns && c < kColumnCount; ++c) {
        run.Maps().WaitUntilIdle(c);
        // The shared path hands every column its own weights, and so its own miss.
        EXPECT_EQ(run.Thread(c).WarningText().contains(QStringLiteral("misses point")), GetParam().warns) << c;
    }
    const CContourMapThread& t = run.Thread(0);
    ASSERT_EQ(t.LastSurfaceStatus(), SurfaceStatus::Computed);
    EXPECT_EQ(t.LargestMiss() > 0.1, GetParam().warns) << t.LargestMiss();
    EXPECT_EQ(t.WarningText().contains(QStringLiteral("misses point")), GetParam().warns) << t.WarningText().toStdString();
    if (GetParam().warns) {
        EXPECT_GE(t.LargestMissPoint(), 0);
    }
}

INSTANTIATE_TEST_SUITE_P(Kernels, SurfaceMiss,
                         ::testing::Values(MissCase{"NarrowKernelAlone", 0.2f, false, false},
                                           MissCase{"NarrowKernelShared", 0.2f, true, false},
                                           MissCase{"WideKernelAlone", 20.0f, false, true},
                                           MissCase{"WideKernelShared", 20.0f, true, true},
                                           MissCase{"WiderKernelAlone", 200.0f, false, true}),
                         [](const ::testing::TestParamInfo<MissCase>& info) { return std::string(info.param.name); });

}  // namespace
