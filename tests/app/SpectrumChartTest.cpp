// The spectrum at the cursor without a screen: the value scale, where the bars go, the copied
// line, and the values read through the map computations for the enabled columns.

#include <gtest/gtest.h>

#include <cmath>

#include "FakeMapComputations.h"
#include "app/SpectrumChart.h"
#include "document/TessarixDoc.h"

namespace {

struct ScaleCase {
    const char* name;
    double smallest, largest;
    SpectrumScale expected;
};

class SpectrumScaleTest : public ::testing::TestWithParam<ScaleCase> {};

TEST_P(SpectrumScaleTest, RoundsOutToWholeSteps)
{
    const ScaleCase& c = GetParam();
    const SpectrumScale s = SpectrumScaleFor(c.smallest, c.largest);
    EXPECT_DOUBLE_EQ(s.low, c.expected.low);
    EXPECT_DOUBLE_EQ(s.high, c.expected.high);
    EXPECT_DOUBLE_EQ(s.step, c.expected.step);
    // Whatever the input, the scale has room, ends on its ticks, and the smallest value still
    // gets a bar (a bar of no height would read as a column without a surface).
    EXPECT_GT(s.high, s.low);
    if (std::isfinite(c.smallest) && std::isfinite(c.largest)) {
        EXPECT_LT(s.low, std::min(c.smallest, c.largest));
    }
    EXPECT_NEAR(std::remainder(s.high - s.low, s.step), 0.0, 1e-9);
}

const double kNaN = std::nan("");

INSTANTIATE_TEST_SUITE_P(
    Ranges, SpectrumScaleTest,
    ::testing::Values(ScaleCase{"OctaveBands", 43.2, 96.8, {40.0, 100.0, 20.0}},
                      ScaleCase{"NarrowRange", 81.3, 84.9, {81.0, 85.0, 1.0}},
                      ScaleCase{"SingleValue", 72.0, 72.0, {71.5, 72.0, 0.5}},
                      ScaleCase{"NegativeLevels", -12.5, 3.0, {-15.0, 5.0, 5.0}},
                      ScaleCase{"ReversedBounds", 90.0, 50.0, {40.0, 90.0, 10.0}},
                      ScaleCase{"OnlyLargestKnown", kNaN, 64.0, {63.5, 64.0, 0.5}},
                      ScaleCase{"NothingKnown", kNaN, kNaN, {0.0, 100.0, 20.0}},
                      ScaleCase{"InfiniteIgnored", -INFINITY, 80.0, {79.5, 80.0, 0.5}}),
    [](const ::testing::TestParamInfo<ScaleCase>& info) { return std::string(info.param.name); });

SpectrumEntry Entry(float value, bool valid = true)
{
    return {0, QStringLiteral("c"), value, valid};
}

TEST(SpectrumBarsTest, BarsStandOnTheLowEndAndAreClampedToThePlot)
{
    const SpectrumScale scale{40.0, 100.0, 20.0};
    const QRectF plot(10, 20, 100, 60);  // bottom at 80
    const std::vector<SpectrumEntry> entries = {Entry(70.0f), Entry(30.0f), Entry(120.0f), Entry(55.0f, false),
                                                Entry(100.0f)};
    const std::vector<SpectrumBar> bars = LayoutSpectrumBars(entries, scale, plot);
    ASSERT_EQ(bars.size(), entries.size());
    struct Expect {
        const char* name;
        double top;
        bool valid;
    };
    const Expect expected[] = {{"HalfWay", 50.0, true},  // 70 dB is half of 40..100
                               {"BelowTheScale", 80.0, true},
                               {"AboveTheScale", 20.0, true},
                               {"NoSurface", 0.0, false},
                               {"AtTheTop", 20.0, true}};
    for (size_t i = 0; i < bars.size(); ++i) {
        SCOPED_TRACE(expected[i].name);
        EXPECT_EQ(bars[i].valid, expected[i].valid);
        // The slots share the width without gaps, one per column.
        EXPECT_DOUBLE_EQ(bars[i].slot.left(), 10.0 + 20.0 * double(i));
        EXPECT_DOUBLE_EQ(bars[i].slot.width(), 20.0);
        if (!expected[i].valid) {
            EXPECT_TRUE(bars[i].bar.isNull());
            continue;
        }
        EXPECT_DOUBLE_EQ(bars[i].bar.top(), expected[i].top);
        EXPECT_DOUBLE_EQ(bars[i].bar.bottom(), 80.0);
        EXPECT_DOUBLE_EQ(bars[i].bar.width(), 14.0);
        EXPECT_DOUBLE_EQ(bars[i].bar.center().x(), bars[i].slot.center().x());
    }
}

TEST(SpectrumBarsTest, NarrowSlotsKeepOnePixelAndNoColumnsGiveNoBars)
{
    const SpectrumScale scale;
    EXPECT_TRUE(LayoutSpectrumBars({}, scale, QRectF(0, 0, 100, 100)).empty());
    const std::vector<SpectrumEntry> twelve(12, Entry(50.0f));
    for (const SpectrumBar& b : LayoutSpectrumBars(twelve, scale, QRectF(0, 0, 6, 100)))
        EXPECT_DOUBLE_EQ(b.bar.width(), 1.0);
}

struct CopyCase {
    const char* name;
    std::vector<SpectrumEntry> entries;
    ExchangeLocale locale;
    QString expected;
};

class SpectrumCopyTest : public ::testing::TestWithParam<CopyCase> {};

TEST_P(SpectrumCopyTest, OneTabSeparatedLine)
{
    EXPECT_EQ(SpectrumCopyText(GetParam().entries, GetParam().locale), GetParam().expected);
}

ExchangeLocale Comma()
{
    ExchangeLocale l;
    l.decimal = QStringLiteral(",");
    l.list = QStringLiteral(";");
    return l;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SpectrumCopyTest,
    ::testing::Values(
        CopyCase{"PointDecimal", {Entry(85.25f), Entry(70.0f), Entry(-3.5f)}, {}, QStringLiteral("85.25\t70\t-3.5")},
        CopyCase{"CommaDecimal", {Entry(85.25f), Entry(70.0f)}, Comma(), QStringLiteral("85,25\t70")},
        // A column without a surface keeps its field, so pasted lines stay in their columns.
        CopyCase{"MissingValueKeepsItsField", {Entry(1.5f), Entry(9.0f, false), Entry(2.0f)}, {},
                 QStringLiteral("1.5\t\t2")},
        CopyCase{"NoColumns", {}, {}, QString()}),
    [](const ::testing::TestParamInfo<CopyCase>& info) { return std::string(info.param.name); });

// The fake computations answer 100 i + j for grid cell (i, j), or nothing while busy.
TEST(SpectrumAtTest, EveryEnabledColumnInOrderWithItsName)
{
    CFakeMapComputations::Shared shared;
    CTessarixDoc doc(std::make_unique<CFakeMapComputations>(&shared));
    doc.OnNewDocument();
    doc.Column(3).enabled = 1;
    doc.Column(7).enabled = 1;
    doc.Column(7).name = QStringLiteral("1 kHz");
    doc.Settings().extent = {0.0f, 100.0f, 0.0f, 100.0f};
    doc.Settings().gridCountX = 10;
    doc.Settings().gridCountY = 10;

    std::vector<SpectrumEntry> at = SpectrumAt(doc, 35.0f, 72.0f);
    ASSERT_EQ(at.size(), 3u);
    EXPECT_EQ(at[0].column, 0);
    EXPECT_EQ(at[1].column, 3);
    EXPECT_EQ(at[2].column, 7);
    EXPECT_EQ(at[2].name, QStringLiteral("1 kHz"));
    for (const SpectrumEntry& e : at) {
        EXPECT_TRUE(e.valid);
        EXPECT_EQ(e.value, 307.0f);
    }
    // Outside the grid, and while the surfaces are being computed: names, no values.
    for (const SpectrumEntry& e : SpectrumAt(doc, 150.0f, 50.0f))
        EXPECT_FALSE(e.valid);
    shared.busy = true;
    for (const SpectrumEntry& e : SpectrumAt(doc, 35.0f, 72.0f))
        EXPECT_FALSE(e.valid);
}

}  // namespace
