// Phase times: nothing is counted while off; a phase inside another pauses the outer one.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "util/PhaseTimes.h"

namespace {

class PhaseTimesTest : public ::testing::Test {
protected:
    void SetUp() override { PhaseTimes::Reset(); }
    void TearDown() override
    {
        PhaseTimes::SetEnabled(false);
        PhaseTimes::Reset();
    }
};

void Sleep(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

TEST_F(PhaseTimesTest, NothingIsCountedWhileOff)
{
    {
        const ScopedPhase p(MapPhase::Drawing);
        Sleep(2);
    }
    EXPECT_EQ(PhaseTimes::Total(MapPhase::Drawing).calls, 0);
    EXPECT_EQ(PhaseTimes::Total(MapPhase::Drawing).wallSeconds, 0.0);
}

TEST_F(PhaseTimesTest, InnerPhasePausesTheOuterOne)
{
    PhaseTimes::SetEnabled(true);
    {
        const ScopedPhase drawing(MapPhase::Drawing);
        for (int k = 0; k < 2; ++k) {
            const ScopedPhase labels(MapPhase::Labels);
            Sleep(150);
        }
    }
    const PhaseTotal drawing = PhaseTimes::Total(MapPhase::Drawing), labels = PhaseTimes::Total(MapPhase::Labels);
    EXPECT_EQ(drawing.calls, 1);
    EXPECT_EQ(labels.calls, 2);
    EXPECT_GE(labels.wallSeconds, 0.3);
    EXPECT_LT(drawing.wallSeconds, 0.1) << "the labels' time counted in the drawing as well";
    EXPECT_LT(labels.cpuSeconds, labels.wallSeconds) << "sleeping takes no CPU time";
}

TEST_F(PhaseTimesTest, PhasesOnOtherThreadsAddUp)
{
    PhaseTimes::SetEnabled(true);
    std::vector<std::thread> threads;
    for (int k = 0; k < 4; ++k)
        threads.emplace_back([] {
            const ScopedPhase p(MapPhase::Encoding);
            Sleep(30);
        });
    for (std::thread& t : threads)
        t.join();
    EXPECT_EQ(PhaseTimes::Total(MapPhase::Encoding).calls, 4);
    EXPECT_GE(PhaseTimes::Total(MapPhase::Encoding).wallSeconds, 0.12);
    EXPECT_EQ(PhaseTimes::Total(MapPhase::Surface).calls, 0);
}

}  // namespace
