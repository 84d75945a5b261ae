#include <limits>

#include <gtest/gtest.h>

#include <cerrno>

#include <QTemporaryDir>

#include "colors/KWColorScale.h"
#include "util/Archive.h"

namespace {

struct ColourCase {
    const char* name;
    float x;
    TxColor expected;
};

class DefaultMapScaleTest : public ::testing::TestWithParam<ColourCase> {};

TEST_P(DefaultMapScaleTest, ColourAtFraction)
{
    const CKWColorScale scale = CKWColorScale::MapDefault();
    EXPECT_EQ(scale.ColorAt(GetParam().x), GetParam().expected) << std::hex << scale.ColorAt(GetParam().x);
}

INSTANTIATE_TEST_SUITE_P(
    Fractions, DefaultMapScaleTest,
    ::testing::Values(ColourCase{"yellow_at_half", 0.5f, 0x0200FFFF},
                      ColourCase{"blue_green_eighth", 0.125f, 0x02413F00},  // red 0, green 63, blue 65
                      ColourCase{"clamped_below", -3.0f, 0x02800000},
                      ColourCase{"clamped_above", 7.0f, 0x020000FF},
                      ColourCase{"first_stop", 0.0f, 0x02800000}),
    [](const auto& info) { return info.param.name; });

TEST(ColorScale, DefaultConstructedIsBlackToWhiteOverZeroToHundred)
{
    const CKWColorScale s;
    ASSERT_EQ(s.Count(), 2);
    EXPECT_EQ(s.Item(0).color, 0u);
    EXPECT_EQ(s.Item(1).color, 0xFFFFFFu);
    EXPECT_EQ(s.Low(), 0.0f);
    EXPECT_EQ(s.High(), 100.0f);
}

TEST(ColorScale, SingleStopIsReturnedAsStored)
{
    CKWColorScale s;
    s.SetItems({{0.3f, 0x123456}});
    EXPECT_EQ(s.ColorAt(0.9f), 0x123456u);
}

TEST(ColorScale, EqualPositionsUseTheLowerStop)
{
    CKWColorScale s;
    s.SetItems({{0.0f, 0x000000}, {0.5f, 0x0000FF}, {0.5f, 0x00FF00}, {1.0f, 0xFFFFFF}});
    EXPECT_EQ(s.ColorBetween(1, 0.5f), 0x020000FFu);
}

TEST(ColorScale, InsertThenResortKeepsOrder)
{
    CKWColorScale s = CKWColorScale::MapDefault();
    const int k = s.InsertStop(0.6f);
    ASSERT_EQ(k, 3);
    EXPECT_EQ(s.Item(3).color, s.ColorBetween(2, 0.6f));
    s.Item(3).position = 0.2f;
    EXPECT_EQ(s.ResortStop(3), 1);
    for (int i = 0; i + 1 < s.Count(); ++i)
        EXPECT_LE(s.Item(i).position, s.Item(i + 1).position);
    s.RemoveStop(1);
    EXPECT_EQ(s.Count(), 5);
    EXPECT_EQ(s, CKWColorScale::MapDefault());
}

TEST(ColorScale, PaletteSamplesFromOneSixtyFourthToOne)
{
    const CKWColorScale s = CKWColorScale::MapDefault();
    EXPECT_EQ(s.Palette()[0], s.ColorAt(1.0f / 64));
    EXPECT_EQ(s.Palette()[63], s.ColorAt(1.0f));
}

TEST(ColorScale, CscFileIsFiftySixBytesAndRoundTrips)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.csc"));
    CKWColorScale s = CKWColorScale::MapDefault();
    s.SetRange(20.0f, 80.0f);
    ASSERT_EQ(s.SaveFile(path), FileWriteStatus::Ok);
    EXPECT_EQ(QFileInfo(path).size(), 56);
    CKWColorScale loaded;
    ASSERT_TRUE(loaded.LoadFile(path));
    EXPECT_EQ(loaded, s);
}

// A failed save of a colour scale leaves the earlier file as it was, whichever step fails.
TEST(ColorScale, FailedSaveKeepsThePreviousCscFile)
{
    struct FailStep : IFileWriteFaults {
        FileWriteStep failing;
        int error;
        FailStep(FileWriteStep s, int e) : failing(s), error(e) {}
        int Before(FileWriteStep step) override { return step == failing ? error : 0; }
    };
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("map.csc"));
    CKWColorScale first = CKWColorScale::MapDefault();
    ASSERT_EQ(first.SaveFile(path), FileWriteStatus::Ok);
    CKWColorScale second = first;
    second.SetRange(-5.0f, 5.0f);
    for (FileWriteStep step : {FileWriteStep::Open, FileWriteStep::Write, FileWriteStep::Sync, FileWriteStep::Close,
                               FileWriteStep::Rename}) {
        FailStep fault(step, ENOSPC);
        EXPECT_EQ(second.SaveFile(path, &fault), FileWriteStatus::DiskFull);
        CKWColorScale loaded;
        ASSERT_TRUE(loaded.LoadFile(path));
        EXPECT_EQ(loaded, first);
    }
}

TEST(ColorScale, RefusedRecordsLeaveTheScaleUnchanged)
{
    // Stop i sits at i * spacing.
    auto record = [](int32_t schema, int32_t count, int stopsPresent, float spacing = 1.0f, float low = 0.0f) {
        QByteArray bytes;
        CTXArchive ar(&bytes);
        ar.PutInt32(schema);
        ar.PutFloat(low);
        ar.PutFloat(1.0f);
        ar.PutInt32(count);
        for (int i = 0; i < stopsPresent; ++i) {
            ar.PutFloat(float(i) * spacing);
            ar.PutInt32(0x00FF00);
        }
        return bytes;
    };
    const QByteArray cases[] = {record(2, 1, 1), record(1, 0, 0), record(1, 2, 1), record(1, -1, 0),
                                record(1, 1 << 28, 1),
                                // stops beyond the scale's fractions overflowed the interpolation
                                record(1, 2, 2, 3.0e8f), record(1, 2, 2, -1.0f),
                                record(1, 2, 2, std::numeric_limits<float>::quiet_NaN()),
                                record(1, 2, 2, 1.0f, std::numeric_limits<float>::quiet_NaN()),
                                record(1, 2, 2, 1.0f, -std::numeric_limits<float>::infinity())};
    QTemporaryDir dir;
    for (const QByteArray& bytes : cases) {
        const QString path = dir.filePath(QStringLiteral("bad.csc"));
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        f.close();
        CKWColorScale s = CKWColorScale::MapDefault();
        EXPECT_FALSE(s.LoadFile(path));
        EXPECT_EQ(s, CKWColorScale::MapDefault());
    }
}

}  // namespace
