// Bad picture files of every kind: truncated at many offsets, wrong signatures, read with the
// wrong filter, declaring sides no memory could hold, or with bytes flipped at random. Each must
// be refused without a crash and leave the picture that was there as it was.

#include <QtEndian>

#include <gtest/gtest.h>

#include <random>

#include "ImageTestSupport.h"
#include "image/TXImage.h"

namespace {

struct Source {
    const char* name;
    int32_t kind;
    std::function<QByteArray()> bytes;
};

void PrintTo(const Source& s, std::ostream* os)
{
    *os << s.name;
}

const Source kSources[] = {
    {"Bmp24", CTXImage::Bitmap, [] { return testpic::MakeBmp(); }},
    {"Bmp1", CTXImage::Bitmap, [] { return testpic::ReadFile(testpic::ShippedPicture("bmp_1bit_640x400.bmp")); }},
    {"TiffGrey", CTXImage::Tiff, [] { return testpic::MakeTiff({}); }},
    {"TiffBilevel", CTXImage::Tiff,
     [] { return testpic::ReadFile(testpic::ShippedPicture("tiff_minblack_1bit_640x400.tif")); }},
    {"Jpeg", CTXImage::Jpeg, [] { return testpic::MakeJpeg(); }},
    {"JpegGrey", CTXImage::Jpeg,
     [] { return testpic::ReadFile(testpic::ShippedPicture("jpeg_gray_150dpi_640x400.jpg")); }},
    {"Emf", CTXImage::Metafile,
     [] { return testpic::ReadFile(testpic::ShippedPicture("emf_floorplan_400x250mm.emf")); }},
    {"WmfPlaceable", CTXImage::Metafile,
     [] { return testpic::ReadFile(testpic::ShippedPicture("wmf_floorplan_placeable.wmf")); }},
};

// A picture that is already there and must survive every refused import.
CTXImage Existing()
{
    CTXImage image;
    EXPECT_TRUE(image.ImportFileBytes(testpic::MakeBmp(4, 4), CTXImage::Bitmap, QStringLiteral("/old.bmp")));
    return image;
}

void ExpectUnchanged(const CTXImage& image, const CTXImage& old)
{
    EXPECT_EQ(image.kind(), old.kind());
    EXPECT_EQ(image.data(), old.data());
    EXPECT_EQ(image.sourcePath(), old.sourcePath());
    EXPECT_EQ(image.DecodedBitmap(), old.DecodedBitmap());
}

class BrokenPicture : public ::testing::TestWithParam<Source> {};

TEST_P(BrokenPicture, ValidSourceImports)
{
    const QByteArray bytes = GetParam().bytes();
    ASSERT_FALSE(bytes.isEmpty());
    CTXImage image;
    EXPECT_TRUE(image.ImportFileBytes(bytes, GetParam().kind, QStringLiteral("x")));
}

TEST_P(BrokenPicture, TruncatedFilesAreRefused)
{
    const QByteArray bytes = GetParam().bytes();
    ASSERT_GT(bytes.size(), 100);
    const CTXImage old = Existing();
    const qsizetype n = bytes.size();
    for (qsizetype cut : {qsizetype(1), qsizetype(2), qsizetype(8), qsizetype(13), qsizetype(14), qsizetype(20),
                          qsizetype(40), qsizetype(44), qsizetype(60), qsizetype(100), n / 3, n / 2, n - 100,
                          n - 10, n - 2, n - 1}) {
        CTXImage image = old;
        EXPECT_FALSE(image.ImportFileBytes(bytes.left(cut), GetParam().kind, QStringLiteral("cut")))
            << "cut at " << cut << " of " << n;
        ExpectUnchanged(image, old);
    }
}

TEST_P(BrokenPicture, OtherFiltersRefuseTheFile)
{
    const QByteArray bytes = GetParam().bytes();
    const CTXImage old = Existing();
    for (int32_t kind = CTXImage::Metafile; kind <= CTXImage::Jpeg; ++kind) {
        if (kind == GetParam().kind)
            continue;
        CTXImage image = old;
        EXPECT_FALSE(image.ImportFileBytes(bytes, kind, QStringLiteral("wrong"))) << "filter " << kind;
        ExpectUnchanged(image, old);
    }
}

// Random damage must never crash a decoder or make it read outside the bytes; whether a damaged
// file is accepted depends on where the damage is.
TEST_P(BrokenPicture, FlippedBytesNeverCrash)
{
    const QByteArray bytes = GetParam().bytes();
    std::mt19937 random(20261209);
    std::uniform_int_distribution<qsizetype> where(0, bytes.size() - 1);
    std::uniform_int_distribution<int> value(0, 255);
    const int rounds = GetParam().kind == CTXImage::Metafile ? 60 : 150;
    for (int round = 0; round < rounds; ++round) {
        QByteArray damaged = bytes;
        // Damage concentrated in the headers, where the sizes and counts live.
        const int flips = 1 + round % 4;
        for (int k = 0; k < flips; ++k) {
            const qsizetype at = round % 2 ? where(random) % std::min<qsizetype>(bytes.size(), 256) : where(random);
            damaged[at] = char(value(random));
        }
        CTXImage image;
        if (image.ImportFileBytes(damaged, GetParam().kind, QStringLiteral("d")))
            EXPECT_TRUE(image.HasDecodedForm());
        else
            EXPECT_FALSE(image.HasPicture());
    }
}

INSTANTIATE_TEST_SUITE_P(Image, BrokenPicture, ::testing::ValuesIn(kSources),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadFileRow {
    const char* name;
    int32_t kind;
    std::function<QByteArray()> bytes;
};

void PrintTo(const BadFileRow& r, std::ostream* os)
{
    *os << r.name;
}

QByteArray Patched(QByteArray b, qsizetype at, const QByteArray& with)
{
    b.replace(at, with.size(), with);
    return b;
}

QByteArray Le32(uint32_t v)
{
    QByteArray b;
    testpic::Put32(b, v);
    return b;
}

// The floor plan with the first EMF+ comment record patched `at` bytes into the record.
QByteArray EmfPlusCommentPatched(qsizetype at, uint32_t value)
{
    const QByteArray emf = testpic::ReadFile(testpic::ShippedPicture("emf_floorplan_400x250mm.emf"));
    auto u32 = [&](qsizetype o) { return qFromLittleEndian<uint32_t>(emf.constData() + o); };
    constexpr uint32_t kComment = 70;
    constexpr uint32_t kEmfPlus = 0x2B464D45;
    for (qsizetype off = 0; off + 16 <= emf.size() && u32(off + 4) >= 8; off += u32(off + 4))
        if (u32(off) == kComment && u32(off + 12) == kEmfPlus)
            return Patched(emf, off + at, Le32(value));
    ADD_FAILURE() << "the sample has no EMF+ comment";
    return {};
}

testpic::TiffParams Huge(uint32_t w, uint32_t h)
{
    testpic::TiffParams s;
    s.width = w;
    s.height = h;
    s.pixels = QByteArray(16, '\x7F');
    return s;
}

const BadFileRow kBadFiles[] = {
    {"BmpWithoutBM", CTXImage::Bitmap, [] { return Patched(testpic::MakeBmp(), 0, "XM"); }},
    {"BmpUnknownHeaderSize", CTXImage::Bitmap, [] { return Patched(testpic::MakeBmp(), 14, Le32(41)); }},
    {"BmpWidth100000", CTXImage::Bitmap, [] { return Patched(testpic::MakeBmp(), 18, Le32(100000)); }},
    {"BmpHeightHuge", CTXImage::Bitmap, [] { return Patched(testpic::MakeBmp(), 22, Le32(0x7FFFFFFF)); }},
    {"BmpTooManyColours", CTXImage::Bitmap,
     [] { return Patched(testpic::ReadFile(testpic::ShippedPicture("bmp_1bit_640x400.bmp")), 46, Le32(100000)); }},
    {"BmpZeroPlanes", CTXImage::Bitmap, [] { return Patched(testpic::MakeBmp(), 26, QByteArray("\0\0", 2)); }},
    {"BmpDepth7", CTXImage::Bitmap, [] { return Patched(testpic::MakeBmp(), 28, QByteArray("\x07\0", 2)); }},
    {"TiffWrongMagic", CTXImage::Tiff, [] { return Patched(testpic::MakeTiff({}), 2, QByteArray("+\0", 2)); }},
    {"Tiff100000Square", CTXImage::Tiff, [] { return testpic::MakeTiff(Huge(100000, 100000)); }},
    {"TiffTallStrip", CTXImage::Tiff, [] { return testpic::MakeTiff(Huge(1, 0xFFFFFFFF)); }},
    {"TiffZeroWidth", CTXImage::Tiff, [] { return testpic::MakeTiff(Huge(0, 4)); }},
    {"JpegWrongMagic", CTXImage::Jpeg, [] { return Patched(testpic::MakeJpeg(), 0, QByteArray("\xFF\xD9", 2)); }},
    {"Jpeg60000Square", CTXImage::Jpeg, [] { return testpic::WithJpegSides(testpic::MakeJpeg(), 60000, 60000); }},
    {"JpegSidesLargerThanData", CTXImage::Jpeg, [] { return testpic::WithJpegSides(testpic::MakeJpeg(), 4000, 4000); }},
    {"EmfWrongSignature", CTXImage::Metafile,
     [] { return Patched(testpic::ReadFile(testpic::ShippedPicture("emf_floorplan_400x250mm.emf")), 40, "XEMF"); }},
    {"EmfRecordPastTheEnd", CTXImage::Metafile,
     [] { return Patched(testpic::ReadFile(testpic::ShippedPicture("emf_floorplan_400x250mm.emf")), 4, Le32(0x7FFFFFF0)); }},
    // The converter read EMF+ records wherever their sizes pointed, past the comment holding them.
    {"EmfPlusRecordPastItsComment", CTXImage::Metafile, [] { return EmfPlusCommentPatched(16 + 4, 0x1000); }},
    {"EmfPlusRecordPayloadPastItsSize", CTXImage::Metafile, [] { return EmfPlusCommentPatched(16 + 8, 0x1000); }},
    {"EmfPlusCommentDataPastItsRecord", CTXImage::Metafile, [] { return EmfPlusCommentPatched(8, 0x7FFFFFF0); }},
    {"WmfWrongHeaderSize", CTXImage::Metafile,
     [] { return Patched(testpic::ReadFile(testpic::ShippedPicture("wmf_floorplan_placeable.wmf")), 24, QByteArray("\x05\0", 2)); }},
    {"WmfRecordLargerThanItsMaximum", CTXImage::Metafile,
     [] { return Patched(testpic::ReadFile(testpic::ShippedPicture("wmf_floorplan_placeable.wmf")), 22 + 12, Le32(3)); }},
    {"EmptyFile", CTXImage::Bitmap, [] { return QByteArray(); }},
    {"TextFile", CTXImage::Jpeg, [] { return QByteArray("not a picture at all, only text\n"); }},
};

class BadPictureFile : public ::testing::TestWithParam<BadFileRow> {};

TEST_P(BadPictureFile, IsRefusedAndTheOldPictureStays)
{
    const QByteArray bytes = GetParam().bytes();
    const CTXImage old = Existing();
    CTXImage image = old;
    EXPECT_FALSE(image.ImportFileBytes(bytes, GetParam().kind, QStringLiteral("bad")));
    ExpectUnchanged(image, old);
}

INSTANTIATE_TEST_SUITE_P(Image, BadPictureFile, ::testing::ValuesIn(kBadFiles),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImportFromFile, MissingFileAndBadKindAreRefused)
{
    CTXImage image = Existing();
    EXPECT_FALSE(image.Import(QStringLiteral("/nonexistent/plan.bmp"), CTXImage::Bitmap));
    EXPECT_FALSE(image.Import(testpic::ShippedPicture("bmp_1bit_640x400.bmp"), 0));
    EXPECT_FALSE(image.Import(testpic::ShippedPicture("bmp_1bit_640x400.bmp"), 5));
    EXPECT_EQ(image.sourcePath(), QStringLiteral("/old.bmp"));
}

}  // namespace
