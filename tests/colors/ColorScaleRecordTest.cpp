// Reading colour scale records that are cut short or garbled: each one is refused as a whole and
// the scale it was read into stays exactly as it was, from a ".csc" file and from an archive.

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <limits>
#include <vector>

#include "colors/KWColorScale.h"
#include "util/Archive.h"

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

struct Stop {
    float position;
    uint32_t color;
};

// A record as the file holds it, with every field chosen by the test.
QByteArray Record(int32_t schema, float low, float high, int32_t count, const std::vector<Stop>& stops)
{
    QByteArray bytes;
    CTXArchive ar(&bytes);
    ar.PutInt32(schema);
    ar.PutFloat(low);
    ar.PutFloat(high);
    ar.PutInt32(count);
    for (const Stop& s : stops) {
        ar.PutFloat(s.position);
        ar.PutInt32(int32_t(s.color));
    }
    return bytes;
}

QByteArray Record(float low, float high, const std::vector<Stop>& stops)
{
    return Record(1, low, high, int32_t(stops.size()), stops);
}

// The scale every read goes into; a refused read must leave it so.
CKWColorScale Edited()
{
    CKWColorScale s = CKWColorScale::MapDefault();
    s.SetRange(35.0f, 85.0f);
    return s;
}

class CscFiles : public ::testing::Test {
protected:
    QString Write(const QByteArray& bytes)
    {
        const QString path = dir.filePath(QStringLiteral("scale.csc"));
        QFile f(path);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        f.write(bytes);
        return path;
    }
    QTemporaryDir dir;
};

TEST_F(CscFiles, EveryTruncationIsRefusedAndChangesNothing)
{
    QByteArray full;
    CTXArchive ar(&full);
    Edited().Serialize(ar);
    ASSERT_EQ(full.size(), 56);
    for (qsizetype length = 0; length < full.size(); ++length) {
        CKWColorScale s = Edited();
        EXPECT_EQ(s.ReadFile(Write(full.left(length))), ColorScaleFileStatus::NotAColorScale) << length;
        EXPECT_EQ(s, Edited()) << length;
        EXPECT_EQ(s.Palette(), Edited().Palette()) << length;
    }
    CKWColorScale s;
    EXPECT_EQ(s.ReadFile(Write(full)), ColorScaleFileStatus::Ok);
    EXPECT_EQ(s, Edited());
}

struct GarbledCase {
    const char* name;
    QByteArray bytes;
};

class GarbledRecord : public CscFiles, public ::testing::WithParamInterface<GarbledCase> {};

TEST_P(GarbledRecord, IsRefusedFromAFileAndFromAnArchive)
{
    CKWColorScale s = Edited();
    EXPECT_EQ(s.ReadFile(Write(GetParam().bytes)), ColorScaleFileStatus::NotAColorScale);
    EXPECT_EQ(s, Edited());

    // The same record inside a larger stream (as in a document) throws and leaves the scale alone.
    CTXArchive ar(GetParam().bytes);
    EXPECT_THROW(s.Serialize(ar), CTXArchiveError);
    EXPECT_EQ(s, Edited());
    EXPECT_EQ(s.Palette(), Edited().Palette());
}

const std::vector<Stop> kTwoStops = {{0.0f, 0x000000}, {1.0f, 0xFFFFFF}};

INSTANTIATE_TEST_SUITE_P(
    Records, GarbledRecord,
    ::testing::Values(
        GarbledCase{"schema_0", Record(0, 0.0f, 1.0f, 2, kTwoStops)},
        GarbledCase{"schema_2", Record(2, 0.0f, 1.0f, 2, kTwoStops)},
        GarbledCase{"schema_negative", Record(-1, 0.0f, 1.0f, 2, kTwoStops)},
        GarbledCase{"no_stops", Record(1, 0.0f, 1.0f, 0, {})},
        GarbledCase{"negative_count", Record(1, 0.0f, 1.0f, -2, kTwoStops)},
        GarbledCase{"count_beyond_the_bytes", Record(1, 0.0f, 1.0f, 3, kTwoStops)},
        GarbledCase{"count_far_beyond_the_bytes", Record(1, 0.0f, 1.0f, 0x7FFFFFFF, kTwoStops)},
        GarbledCase{"low_not_a_number", Record(kNaN, 1.0f, kTwoStops)},
        GarbledCase{"high_infinite", Record(0.0f, kInf, kTwoStops)},
        GarbledCase{"position_not_a_number", Record(0.0f, 1.0f, {{0.0f, 0}, {kNaN, 0xFF}, {1.0f, 0xFFFFFF}})},
        GarbledCase{"position_infinite", Record(0.0f, 1.0f, {{0.0f, 0}, {-kInf, 0xFF}})},
        GarbledCase{"positions_descending", Record(0.0f, 1.0f, {{0.0f, 0}, {0.7f, 0xFF}, {0.4f, 0xFF00}, {1.0f, 0}})},
        GarbledCase{"text_instead_of_a_record", QByteArray("0.0 0 0 128\n1.0 255 0 0\n")}),
    [](const auto& info) { return info.param.name; });

struct AcceptedCase {
    const char* name;
    QByteArray bytes;
    int count;
};

class UnusualRecord : public CscFiles, public ::testing::WithParamInterface<AcceptedCase> {};

// Records no editor of ours writes but that describe a usable scale are read as they stand.
TEST_P(UnusualRecord, IsRead)
{
    CKWColorScale s = Edited();
    EXPECT_EQ(s.ReadFile(Write(GetParam().bytes)), ColorScaleFileStatus::Ok);
    EXPECT_EQ(s.Count(), GetParam().count);
}

INSTANTIATE_TEST_SUITE_P(
    Records, UnusualRecord,
    ::testing::Values(AcceptedCase{"one_stop", Record(0.0f, 1.0f, {{0.5f, 0x00FF00}}), 1},
                      AcceptedCase{"ends_inside_the_scale", Record(0.0f, 1.0f, {{0.2f, 0}, {0.8f, 0xFF}}), 2},
                      AcceptedCase{"equal_positions", Record(0.0f, 1.0f, {{0.0f, 0}, {0.5f, 1}, {0.5f, 2}, {1.0f, 3}}), 4},
                      AcceptedCase{"descending_value_range", Record(90.0f, 40.0f, kTwoStops), 2},
                      AcceptedCase{"bytes_after_the_record", Record(0.0f, 1.0f, kTwoStops) + QByteArray(7, 'x'), 2}),
    [](const auto& info) { return info.param.name; });

TEST_F(CscFiles, UnreadablePathsAreToldApartFromBadContent)
{
    CKWColorScale s = Edited();
    EXPECT_EQ(s.ReadFile(dir.filePath(QStringLiteral("missing.csc"))), ColorScaleFileStatus::CannotOpen);
    EXPECT_EQ(s.ReadFile(dir.path()), ColorScaleFileStatus::CannotOpen) << "a folder is no file";
    EXPECT_EQ(s, Edited());
}

}  // namespace
