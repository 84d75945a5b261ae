#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "util/LevelSeries.h"

namespace {

struct RoundCase {
    const char* name;
    float v, s, expected;
};

class RoundToMultipleTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundToMultipleTest, HalvesGoAwayFromZero)
{
    const RoundCase& c = GetParam();
    EXPECT_FLOAT_EQ(RoundToMultiple(c.v, c.s), c.expected);
}

INSTANTIATE_TEST_SUITE_P(Edges, RoundToMultipleTest,
                         ::testing::Values(RoundCase{"minus_half", -2.5f, 1.0f, -3.0f},
                                           RoundCase{"plus_half", 2.5f, 1.0f, 3.0f},
                                           RoundCase{"below_half", 2.49f, 1.0f, 2.0f},
                                           RoundCase{"negative_below_half", -2.49f, 1.0f, -2.0f},
                                           RoundCase{"zero", 0.0f, 0.5f, 0.0f},
                                           RoundCase{"fifth_step", 41.0f, 2.0f, 42.0f},
                                           RoundCase{"fifth_step_up", 69.0f, 2.0f, 70.0f},
                                           RoundCase{"fine", 22.0000004f, 0.000001f, 22.0f}),
                         [](const auto& info) { return info.param.name; });

struct SeriesCase {
    const char* name;
    float start, stop, step;
    std::vector<float> expected;
};

class LevelSeriesTest : public ::testing::TestWithParam<SeriesCase> {};

TEST_P(LevelSeriesTest, MultiplesOfStepWithinRange)
{
    const SeriesCase& c = GetParam();
    const CTXFloatArray levels = LevelSeries(c.start, c.stop, c.step);
    ASSERT_EQ(levels.size(), c.expected.size());
    for (size_t i = 0; i < levels.size(); ++i)
        EXPECT_FLOAT_EQ(levels[i], c.expected[i]) << "level " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, LevelSeriesTest,
    ::testing::Values(SeriesCase{"default_colour_axis", 20, 80, 10, {20, 30, 40, 50, 60, 70, 80}},
                      SeriesCase{"start_off_multiple", 21, 80, 10, {30, 40, 50, 60, 70, 80}},
                      SeriesCase{"start_25", 25, 80, 10, {30, 40, 50, 60, 70, 80}},
                      SeriesCase{"fixed_amplitude", 53.4f, 73.4f, 10, {60, 70}},
                      SeriesCase{"fixed_amplitude_high", 67.3f, 87.3f, 10, {70, 80}},
                      SeriesCase{"step_0_3_no_tick_at_1", 0, 1, 0.3f, {0, 0.3f, 0.6f, 0.9f}},
                      SeriesCase{"negative_start", -1, 1, 0.5f, {-1, -0.5f, 0, 0.5f, 1}},
                      SeriesCase{"no_multiple_inside", 21, 29, 10, {}},
                      SeriesCase{"stop_below_start", 80, 20, 10, {}},
                      SeriesCase{"zero_step_is_empty", 0, 1, 0, {}}),
    [](const auto& info) { return info.param.name; });

TEST(LevelSeries, TenthsReachTheStop)
{
    // 0 + 0.1 + 0.1 ... drifts in float; re-rounding keeps the eleventh tick at exactly 1.
    const CTXFloatArray levels = LevelSeries(0.0f, 1.0f, 0.1f);
    ASSERT_EQ(levels.size(), 11u);
    EXPECT_FLOAT_EQ(levels[3], 0.3f);
    EXPECT_EQ(levels.back(), 1.0f);
}

// A step below the float resolution of the range once made `while (v > start) v -= step` spin
// forever (the colour axis 3e7..3.1e7 with step 0.3 hung `tessarix-cli info` and the window).
// Every row must come back at once with an empty, refused series.
struct RefusedCase {
    const char* name;
    float start, stop, step;
    LevelSeriesStatus expected;
};

class TinyStepIsRefusedNotLooped : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(TinyStepIsRefusedNotLooped, EmptyWithTheReason)
{
    const RefusedCase& c = GetParam();
    LevelSeriesStatus status = LevelSeriesStatus::Ok;
    const CTXFloatArray levels = LevelSeries(c.start, c.stop, c.step, &status);
    EXPECT_TRUE(levels.empty());
    EXPECT_EQ(status, c.expected);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Rows, TinyStepIsRefusedNotLooped,
    ::testing::Values(
        RefusedCase{"step_below_resolution", 3e7f, 3.1e7f, 0.3f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"projected_coordinates", 16000006.0f, 16000106.0f, 0.1f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"stop_near_float_max", 20.0f, 3.4e38f, 10.0f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"start_near_float_max", 3.4e38f, 3.4e38f, 10.0f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"step_1e_minus_30", 0.0f, 1.0f, 1e-30f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"stop_1e10_by_tenths", 0.0f, 1e10f, 0.1f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"two_million_halves", 0.0f, 1e6f, 0.5f, LevelSeriesStatus::TooManyValues},
        RefusedCase{"tiny_range_tiny_step", 0.0f, 1e-25f, 1e-30f, LevelSeriesStatus::TooManyValues},
        RefusedCase{"one_over_the_bound", 0.0f, 10000.0f, 1.0f, LevelSeriesStatus::TooManyValues},
        RefusedCase{"zero_step", 0.0f, 1.0f, 0.0f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"negative_step", 0.0f, 1.0f, -0.5f, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"nan_step", 0.0f, 1.0f, kNaN, LevelSeriesStatus::StepDoesNotAdvance},
        RefusedCase{"infinite_step", 0.0f, 1.0f, std::numeric_limits<float>::infinity(),
                    LevelSeriesStatus::StepDoesNotAdvance}),
    [](const auto& info) { return info.param.name; });

TEST(LevelSeries, ExactlyTheBoundIsAccepted)
{
    LevelSeriesStatus status = LevelSeriesStatus::TooManyValues;
    const CTXFloatArray levels = LevelSeries(1.0f, float(kMaxLevelSeriesValues), 1.0f, &status);
    EXPECT_EQ(status, LevelSeriesStatus::Ok);
    ASSERT_EQ(levels.size(), size_t(kMaxLevelSeriesValues));
    EXPECT_EQ(levels.front(), 1.0f);
    EXPECT_EQ(levels.back(), float(kMaxLevelSeriesValues));
}

}  // namespace
