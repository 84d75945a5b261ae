#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "util/Archive.h"
#include "util/KWFont.h"
#include "util/TXCDC.h"

namespace {

QByteArray FontRecordBytes(int32_t schema, int16_t size)
{
    QByteArray bytes;
    CTXArchive ar(&bytes);
    ar.PutInt32(schema);
    uint16_t s = uint16_t(size);
    ar.UInt16(s);
    ar.PutInt32(700);
    uint16_t style = 1;
    ar.UInt16(style);
    uint8_t b = 0;
    ar.UInt8(b);
    ar.UInt8(b);
    char face[32] = "Arial";
    ar.Bytes(face, 32);
    ar.PutInt32(0);
    return bytes;
}

TEST(KWFont, DefaultsAreArialTenPoint)
{
    const CKWFont f;
    EXPECT_EQ(f.Face(), QStringLiteral("Arial"));
    EXPECT_EQ(f.size, 100);
    EXPECT_EQ(f.weight, 0);
    EXPECT_EQ(f.style, 0);
    EXPECT_EQ(f.schema, 2);
}

TEST(KWFont, RecordIsSchemaAndFortySixBytes)
{
    CKWFont f;
    QByteArray bytes;
    CTXArchive ar(&bytes);
    f.Serialize(ar);
    EXPECT_EQ(bytes.size(), 50);
    EXPECT_EQ(bytes.left(6), QByteArray("\x02\x00\x00\x00\x64\x00", 6));
}

struct SchemaCase {
    const char* name;
    int32_t schema;
    int16_t storedSize;
    bool accepted;
    int16_t loadedSize;
};

class FontSchemaTest : public ::testing::TestWithParam<SchemaCase> {};

TEST_P(FontSchemaTest, LoadsKnownSchemas)
{
    const SchemaCase& c = GetParam();
    const QByteArray bytes = FontRecordBytes(c.schema, c.storedSize);
    CTXArchive ar(bytes);
    CKWFont f;
    if (!c.accepted) {
        EXPECT_THROW(f.Serialize(ar), CTXArchiveError);
        return;
    }
    f.Serialize(ar);
    EXPECT_EQ(f.size, c.loadedSize);
    EXPECT_EQ(f.weight, 700);
    EXPECT_EQ(f.style, CKWFont::Italic);
    EXPECT_EQ(f.schema, 2);
}

INSTANTIATE_TEST_SUITE_P(Schemas, FontSchemaTest,
                         ::testing::Values(SchemaCase{"schema1_size_corrected", 1, 110, true, 100},
                                           SchemaCase{"schema2", 2, 110, true, 110},
                                           SchemaCase{"schema3_refused", 3, 110, false, 0},
                                           SchemaCase{"schema0_refused", 0, 110, false, 0}),
                         [](const auto& info) { return info.param.name; });

TEST(KWFont, NegativePlatformHeightGivesTheSameSize)
{
    FontRecord r;
    r.height = -120;
    r.italic = 1;
    r.strikeOut = 1;
    const CKWFont f(r);
    EXPECT_EQ(f.size, 120);
    EXPECT_EQ(f.style, CKWFont::Italic | CKWFont::StrikeOut);
    const FontRecord back = f.ToFontRecord();
    EXPECT_EQ(back.height, 120);
    EXPECT_EQ(back.outPrecision, 7);
    EXPECT_EQ(back.clipPrecision, 16);
    EXPECT_EQ(back.quality, 2);
    EXPECT_EQ(back.italic, 1);
    EXPECT_EQ(back.underline, 0);
}

struct MulDivCase {
    int32_t a, b, c, expected;
};

class MulDivTest : public ::testing::TestWithParam<MulDivCase> {};

TEST_P(MulDivTest, RoundsHalvesAwayFromZero)
{
    const MulDivCase& m = GetParam();
    EXPECT_EQ(TxMulDiv(m.a, m.b, m.c), m.expected);
}

INSTANTIATE_TEST_SUITE_P(Values, MulDivTest,
                         ::testing::Values(MulDivCase{100, 96, 720, 13}, MulDivCase{90, 96, 720, 12},
                                           MulDivCase{1, 1, 2, 1}, MulDivCase{-1, 1, 2, -1},
                                           MulDivCase{128, 31, 63, 63}, MulDivCase{-128, 31, 63, -63},
                                           MulDivCase{5, 5, 0, -1}, MulDivCase{2000000000, 3, 4, 1500000000}));

struct ResolutionCase {
    const char* name;
    int argument;
    int expectedHeight;
};

class FontSelectionTest : public ::testing::TestWithParam<ResolutionCase> {};

TEST_P(FontSelectionTest, HeightFollowsTheResolutionRule)
{
    QImage image(50, 50, QImage::Format_RGB32);
    QPainter painter(&image);
    CTXCDC dc(&painter, 96, 96);
    CKWFontSelection sel;
    ASSERT_TRUE(sel.Open(dc, CKWFont(), 0, TRANSPARENT, 0x0000FF, GetParam().argument));
    EXPECT_EQ(sel.deviceHeight, GetParam().expectedHeight);
    EXPECT_GT(sel.zeroExtent.width(), 0);
    EXPECT_GT(sel.zeroExtent.height(), 0);
    EXPECT_EQ(dc.TextColor(), 0x0000FFu);
    sel.Close();
    sel.Close();  // a second close does nothing
    EXPECT_EQ(dc.BkMode(), OPAQUE);
    EXPECT_EQ(dc.TextColor(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Rules, FontSelectionTest,
                         ::testing::Values(ResolutionCase{"surface_96dpi", 0, 13},
                                           ResolutionCase{"one_means_1270", 1, 176},
                                           ResolutionCase{"explicit_300", 300, 42}),
                         [](const auto& info) { return info.param.name; });

TEST(FontSelection, EscapementTurnsTheAngle)
{
    EXPECT_EQ(CKWFontSelection::Escapement(0), 0);
    EXPECT_EQ(CKWFontSelection::Escapement(450), 3150);
    EXPECT_EQ(CKWFontSelection::Escapement(-450), 450);
    EXPECT_EQ(CKWFontSelection::Escapement(3600), 0);
}

}  // namespace
