// The map worker with the energy option: the grid holds levels computed from interpolated
// energies, nodes without a positive energy show the lowest measured level and are counted, and
// switching the option through the change path (and undoing it) computes the surface again.

#include <gtest/gtest.h>

#include <cmath>

#include "document/DocStrings.h"
#include "document/PropertiesModel.h"
#include "document/TessarixDoc.h"
#include "workers/BatchMapRun.h"

namespace {

double Level(double reference, double energy)
{
    return reference + 10.0 * std::log10(energy);
}

// Energies (relative to 60 dB) on the plane E = 2x - 0.6 at x = 0.5 .. 1 of the unit extent; on
// the 4 x 4 grid the columns x = 0 (E = -0.6) and x = 0.25 (E = -0.1) have no positive energy.
class EnergyMap : public ::testing::Test {
protected:
    EnergyMap() : model(run.Doc(), nullptr)
    {
        CTessarixDoc& doc = run.Doc();
        doc.OnNewDocument();
        run.Maps().WaitUntilIdle(0);
        const float xs[] = {0.5f, 1.0f, 0.5f, 1.0f, 0.75f};
        const float ys[] = {0.0f, 0.0f, 1.0f, 1.0f, 0.5f};
        CTXFloatArray x, y;
        std::array<CTXFloatArray, kColumnCount> values;
        for (int k = 0; k < 5; ++k) {
            x.push_back(xs[k]);
            y.push_back(ys[k]);
            values[0].push_back(float(Level(60.0, 2.0 * xs[k] - 0.6)));
        }
        doc.SetPointTable(5, x, y, values);
        doc.Settings().useBoundaryConditions = 0;
        doc.Settings().gridCountX = 4;
        doc.Settings().gridCountY = 4;
        model.Reload();
        energyRow = FindProperty(IDS_PROP_GROUP_INTERPOLATION, IDS_PROP_ENERGY);
    }
    // Runs `change` and waits until column 0 has its new map.
    template <class Change>
    void AndWait(Change&& change)
    {
        const int before = run.Notify().Count(0);
        change();
        ASSERT_TRUE(run.WaitForColumn(0, before, 20000));
    }
    void SetEnergy(bool on)
    {
        PropertyValue v = model.Value(energyRow);
        v.number = on ? 1 : 0;
        AndWait([&] { model.Edit(energyRow, v); });
    }
    const CContourMapThread& Thread() const { return run.Thread(0); }

    CBatchMapRun run;
    CPropertiesModel model;
    int energyRow = -1;
};

TEST_F(EnergyMap, NodesWithoutPositiveEnergyShowTheLowestMeasuredLevel)
{
    SetEnergy(true);
    ASSERT_EQ(Thread().LastSurfaceStatus(), SurfaceStatus::Computed);
    EXPECT_EQ(Thread().NonPositiveEnergyNodes(), 10);
    const CSurface3DData& s = Thread().Surface();
    ASSERT_EQ(s.NX(), 5);
    const float lowest = float(Level(60.0, 0.4));  // the measured points at x = 0.5
    for (int32_t j = 0; j < 5; ++j) {
        EXPECT_FLOAT_EQ(s.Value(0, j), lowest) << j;
        EXPECT_FLOAT_EQ(s.Value(1, j), lowest) << j;
        EXPECT_NEAR(s.Value(3, j), Level(60.0, 0.9), 1e-3) << j;  // x = 0.75 by hand
    }
    // The statistics, and so the colour range and the contour levels, are those of the levels.
    float lo = 0.0f, hi = 0.0f;
    s.GetValueRange(&lo, &hi);
    EXPECT_NEAR(lo, lowest, 1e-3f);
    EXPECT_NEAR(hi, Level(60.0, 1.4), 1e-3);
}

TEST_F(EnergyMap, SwitchingTheOptionAndUndoingItComputesTheSurfaceAgain)
{
    AndWait([&] { run.Doc().RequestMaps(RECALC_ALL); });
    EXPECT_EQ(Thread().NonPositiveEnergyNodes(), 0);
    // Node (1, 2) lies at x = 0.25, where the plane of energies is below zero.
    const float asLevels = Thread().Surface().Value(1, 2);

    SetEnergy(true);
    EXPECT_EQ(Thread().NonPositiveEnergyNodes(), 10);
    const float asEnergy = Thread().Surface().Value(1, 2);
    EXPECT_FLOAT_EQ(asEnergy, float(Level(60.0, 0.4)));
    EXPECT_GT(std::fabs(asEnergy - asLevels), 0.01f);

    AndWait([&] { run.Doc().Undo(); });
    EXPECT_EQ(run.Doc().Settings().energyInterpolation, 0);
    EXPECT_EQ(Thread().NonPositiveEnergyNodes(), 0);
    EXPECT_EQ(Thread().Surface().Value(1, 2), asLevels);

    AndWait([&] { run.Doc().Redo(); });
    EXPECT_EQ(Thread().NonPositiveEnergyNodes(), 10);
    EXPECT_EQ(Thread().Surface().Value(1, 2), asEnergy);
}

// A request that carries only the picture flag still computes the surface when the option
// differs from the one the surface was made with (a column enabled after the change, say).
TEST_F(EnergyMap, PictureOnlyRequestAfterAQuietChangeStillRecomputes)
{
    AndWait([&] { run.Doc().RequestMaps(RECALC_ALL); });
    run.Doc().Settings().energyInterpolation = 1;
    AndWait([&] { run.Doc().RequestMaps(RECALC_BITMAP); });
    EXPECT_EQ(Thread().NonPositiveEnergyNodes(), 10);
}

}  // namespace
