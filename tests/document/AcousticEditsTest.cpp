// Decibel arithmetic checked against hand-computed values, and the two table edits that use it:
// each is one undo step whose undo gives back the document byte for byte.

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "document/AcousticEdits.h"
#include "document/TessarixDoc.h"
#include "util/Decibels.h"

namespace {

TEST(Decibels, SumsAndMeansAreEnergetic)
{
    // 10 log10(10^8 + 10^8.5 + 10^9) = 80 + 10 log10(1 + 3.16228 + 10)
    EXPECT_NEAR(EnergeticSum(std::vector<double>{80.0, 85.0, 90.0}), 91.511, 0.001);
    // Two readings of 80 and 90 dB average to 10 log10(5.5e8), not to 85.
    EXPECT_NEAR(EnergeticMean(std::vector<double>{80.0, 90.0}), 87.404, 0.001);
    EXPECT_NEAR(EnergeticSum(std::vector<double>{60.0, 60.0}), 63.010, 0.001);
    EXPECT_EQ(EnergeticSum(std::vector<double>{}), -std::numeric_limits<double>::infinity());
    // Energies of 10^400 and more do not fit a double; the sum still comes out.
    EXPECT_NEAR(EnergeticSum(std::vector<double>{4000.0, 4000.0}), 4003.010, 0.001);
    EXPECT_NEAR(EnergeticMean(std::vector<double>{-4000.0, -4000.0}), -4000.0, 1e-9);
}

// A document whose columns 0..11 are all enabled, with `rows` of {x, y, level of every column}.
struct Row {
    float x;
    float y;
    float level;
};

class AcousticDoc : public ::testing::Test {
protected:
    void Fill(const std::vector<Row>& rows, float bandOffsetStep = 0.0f)
    {
        doc.OnNewDocument();
        for (int c = 0; c < doc.ColumnCount(); ++c)
            doc.Column(c).enabled = 1;
        CTXFloatArray x;
        CTXFloatArray y;
        std::array<CTXFloatArray, kColumnCount> values;
        for (const Row& r : rows) {
            x.push_back(r.x);
            y.push_back(r.y);
            for (int c = 0; c < kColumnCount; ++c)
                values[size_t(c)].push_back(r.level + bandOffsetStep * float(c));
        }
        doc.SetPointTable(int32_t(rows.size()), x, y, values);
    }
    CTessarixDoc doc;
};

TEST_F(AcousticDoc, AWeightedSumOfFlatBandsUsesTheOctaveCorrections)
{
    Fill({{0, 0, 80.0f}});
    double energy = 0.0;
    for (double a : kOctaveAWeighting)
        energy += std::pow(10.0, (80.0 + a) / 10.0);
    const CTXFloatArray weighted = BandSums(doc, DefaultBandColumns(doc), true);
    const CTXFloatArray flat = BandSums(doc, DefaultBandColumns(doc), false);
    EXPECT_NEAR(weighted[0], 10.0 * std::log10(energy), 1e-3);
    EXPECT_NEAR(flat[0], 80.0 + 10.0 * std::log10(11.0), 1e-3);
}

TEST_F(AcousticDoc, BandNamesDecideTheWeighting)
{
    Fill({{0, 0, 80.0f}});
    doc.Column(1).name = QStringLiteral("125 Hz");
    doc.Column(2).name = QStringLiteral(" 1 KHZ ");
    doc.Column(3).name = QStringLiteral("Leq");
    EXPECT_EQ(OctaveBandOfColumn(doc, 1), 3);
    EXPECT_EQ(OctaveBandOfColumn(doc, 2), 6);
    EXPECT_EQ(OctaveBandOfColumn(doc, 3), 2) << "an unknown name keeps the band of its place";
    EXPECT_NEAR(BandSums(doc, {1}, true)[0], 80.0 - 16.1, 1e-4);
}

TEST_F(AcousticDoc, FillBandSumIsOneStepAndUndoesByteForByte)
{
    Fill({{0, 0, 60.0f}, {1, 2, 70.0f}}, 1.0f);
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_FALSE(FillBandSum(doc, 3, {1, 2, 3}, false)) << "the target cannot be one of its bands";
    EXPECT_FALSE(FillBandSum(doc, 0, {0, 1}, false)) << "column 0 is no band";
    EXPECT_FALSE(FillBandSum(doc, 0, {}, false));
    EXPECT_FALSE(doc.CanUndo());
    ASSERT_TRUE(FillBandSum(doc, 0, {1, 2}, false));
    EXPECT_NEAR(doc.Column(0).values[1], EnergeticSum(std::vector<double>{71.0, 72.0}), 1e-4);
    EXPECT_TRUE(doc.UndoMenuText().contains(QStringLiteral("Band Sum")));
    const QByteArray after = doc.WriteFileBytes();
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), before);
    doc.Redo();
    EXPECT_EQ(doc.WriteFileBytes(), after);
}

TEST_F(AcousticDoc, BandCheckMarksPositionsMoreThanOneDecibelOff)
{
    Fill({{0, 0, 50.0f}, {1, 0, 50.0f}});
    // Bands 1 and 2 at 50 dB sum to 53.01 dB.
    doc.Column(0).values = {53.5f, 55.0f};
    const std::vector<BandCheckRow> rows = CheckBandSum(doc, 0, {1, 2}, false);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NEAR(rows[0].difference, 0.49f, 0.01f);
    EXPECT_FALSE(rows[0].outside);
    EXPECT_NEAR(rows[1].difference, 1.99f, 0.01f);
    EXPECT_TRUE(rows[1].outside);
}

struct RepeatRow {
    const char* name;
    std::vector<Row> points;
    double tolerance;
    std::vector<std::vector<int>> groups;
};

void PrintTo(const RepeatRow& row, std::ostream* os)
{
    *os << row.name;
}

class RepeatedReadings : public AcousticDoc, public ::testing::WithParamInterface<RepeatRow> {};

TEST_P(RepeatedReadings, FindsTheGroups)
{
    Fill(GetParam().points);
    EXPECT_EQ(FindRepeatedReadings(doc, GetParam().tolerance), GetParam().groups);
}

const RepeatRow kRepeatRows[] = {
    {"NoneApart", {{0, 0, 1}, {1, 0, 1}, {0, 1, 1}}, 0.001, {}},
    {"TwoAtOnePlace", {{5, 5, 1}, {0, 0, 1}, {5, 5.0005f, 1}}, 0.001, {{0, 2}}},
    {"ExactlyTheToleranceApartIsNotRepeated", {{0, 0, 1}, {0.5f, 0, 1}}, 0.5, {}},
    {"ChainsJoinIntoOneGroup", {{0, 0, 1}, {0.4f, 0, 1}, {0.8f, 0, 1}, {3, 3, 1}}, 0.5, {{0, 1, 2}}},
    {"NeighboursInYOnlyAreFound", {{2, 0, 1}, {2, 0.2f, 1}, {1.9f, 9, 1}, {2.1f, 9.1f, 1}}, 0.3, {{0, 1}, {2, 3}}},
    {"GroupsInOrderOfTheirFirstPoint", {{9, 9, 1}, {1, 1, 1}, {1, 1, 1}, {9, 9, 1}}, 0.001, {{0, 3}, {1, 2}}},
};

INSTANTIATE_TEST_SUITE_P(Positions, RepeatedReadings, ::testing::ValuesIn(kRepeatRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(AcousticDoc, MergeKeepsTheEnergeticMeanAsOneStep)
{
    Fill({{1, 1, 80.0f}, {4, 4, 70.0f}, {1.0004f, 1, 90.0f}, {1, 1.0002f, 90.0f}});
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_EQ(MergeRepeatedReadings(doc, kDefaultRepeatTolerance), 2);
    ASSERT_EQ(doc.PointCount(), 2);
    // 10 log10((10^8 + 2 x 10^9) / 3) in every column, at the group's mean position.
    EXPECT_NEAR(doc.Column(0).values[0], 10.0 * std::log10(2.1e9 / 3.0), 1e-4);
    EXPECT_NEAR(doc.Column(11).values[0], doc.Column(0).values[0], 1e-6);
    EXPECT_NEAR(doc.X()[0], (1.0f + 1.0004f + 1.0f) / 3.0f, 1e-6);
    EXPECT_FLOAT_EQ(doc.Column(0).values[1], 70.0f);
    EXPECT_FLOAT_EQ(doc.X()[1], 4.0f);
    EXPECT_TRUE(doc.UndoMenuText().contains(QStringLiteral("Merge Readings")));
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), before);
    EXPECT_EQ(MergeRepeatedReadings(doc, 1e-6), 0) << "nothing that close";
}

}  // namespace
