#include <gtest/gtest.h>

#include "document/TessarixSettings.h"

namespace {

TEST(Settings, NewSettingsHaveTheirDefaults)
{
    const CTessarixSettings s;
    EXPECT_EQ(s.xAxis.start, 0.0f);
    EXPECT_EQ(s.xAxis.stop, 1.0f);
    EXPECT_FLOAT_EQ(s.xAxis.step, 0.1f);
    EXPECT_EQ(s.xAxis.label, QStringLiteral("X"));
    EXPECT_EQ(s.yAxis.label, QStringLiteral("Y"));
    EXPECT_EQ(s.zAxis.label, QStringLiteral("dB"));
    EXPECT_EQ(s.xAxis.gridPen.color, 0x808080u);
    EXPECT_EQ(s.zAxis.start, 20.0f);
    EXPECT_EQ(s.zAxis.stop, 80.0f);
    EXPECT_EQ(s.zAxis.step, 10.0f);
    EXPECT_EQ(s.gridCountX, 20);
    EXPECT_EQ(s.gridCountY, 20);
    EXPECT_EQ(s.interpFunction, RbfMultiquadric);
    EXPECT_FLOAT_EQ(s.interpParameter, 0.2f);
    EXPECT_EQ(s.useBoundaryConditions, 1);
    EXPECT_EQ(s.boundaryLayout, 0);
    EXPECT_EQ(s.boundaryLevel, 50.0f);
    EXPECT_FLOAT_EQ(s.boundaryDistance, 0.1f);
    EXPECT_TRUE(s.clipPolylines.empty());
    EXPECT_EQ(s.mapMode, MapModeNormal);
    EXPECT_EQ(s.symbol, 8);
    EXPECT_EQ(s.labelFont.height, 90);
    EXPECT_STREQ(s.labelFont.faceName, "Arial");
    EXPECT_EQ(s.colorScale.Items(), CKWColorScale::MapDefault().Items());
    EXPECT_EQ(s.colorScale.Low(), 20.0f);
    EXPECT_EQ(s.colorScale.High(), 80.0f);
}

TEST(Settings, CopyingSetsTheColourRangeToTheColourAxis)
{
    CTessarixSettings a;
    a.zAxis.start = 35;
    a.zAxis.stop = 95;
    a.colorScale.SetRange(0, 1);
    const CTessarixSettings b = a;
    EXPECT_EQ(b.colorScale.Low(), 35.0f);
    EXPECT_EQ(b.colorScale.High(), 95.0f);
    CTessarixSettings c;
    c = a;
    EXPECT_EQ(c.colorScale.High(), 95.0f);
}

struct LevelsCase {
    const char* name;
    float start, stop, step;
    int scaleMode;
    float amplitude, maximum;
    std::vector<float> levels;
    float low, high;
};

class ContourLevelsTest : public ::testing::TestWithParam<LevelsCase> {};

TEST_P(ContourLevelsTest, LevelsAndColourRange)
{
    const LevelsCase& c = GetParam();
    CTessarixSettings s;
    s.zAxis.start = c.start;
    s.zAxis.stop = c.stop;
    s.zAxis.step = c.step;
    s.scaleMode = c.scaleMode;
    s.fixedAmplitude = c.amplitude;
    const CTessarixSettings::LevelRange r = s.ContourLevels(c.maximum);
    ASSERT_EQ(r.levels.size(), c.levels.size());
    for (size_t i = 0; i < r.levels.size(); ++i)
        EXPECT_FLOAT_EQ(r.levels[i], c.levels[i]);
    EXPECT_FLOAT_EQ(s.colorScale.Low(), c.low);
    EXPECT_FLOAT_EQ(s.colorScale.High(), c.high);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, ContourLevelsTest,
    ::testing::Values(LevelsCase{"normal", 20, 80, 10, 0, 20, 0, {20, 30, 40, 50, 60, 70, 80}, 20, 80},
                      LevelsCase{"start_21", 21, 80, 10, 0, 20, 0, {30, 40, 50, 60, 70, 80}, 21, 80},
                      LevelsCase{"fixed_73_4", 20, 80, 10, 1, 20, 73.4f, {60, 70}, 53.4f, 73.4f},
                      LevelsCase{"fixed_87_3", 20, 80, 10, 1, 20, 87.3f, {70, 80}, 67.3f, 87.3f},
                      LevelsCase{"empty_range", 81, 89, 10, 0, 20, 0, {}, 81, 89}),
    [](const auto& info) { return info.param.name; });

TEST(Settings, ShiftColourRangeByAFifthOfTheStep)
{
    CTessarixSettings s;
    s.ShiftColourRange(true);
    s.ShiftColourRange(true);
    EXPECT_FLOAT_EQ(s.zAxis.start, 24.0f);
    EXPECT_FLOAT_EQ(s.zAxis.stop, 84.0f);
}

}  // namespace
