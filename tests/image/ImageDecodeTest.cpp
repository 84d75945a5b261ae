// The decoded forms byte for byte: the DIB header the TIFF and JPEG decoders write, the output
// depth by photometric interpretation and bits per sample, pixels per metre from each
// resolution unit, bottom-up rows padded to 4 bytes, and the colour tables.

#include <QtEndian>

#include <gtest/gtest.h>

#include <cstring>

#include "ImageTestSupport.h"
#include "image/TXImage.h"

namespace {

int32_t DibField(const QByteArray& dib, int offset, int size = 4)
{
    int32_t v = 0;
    std::memcpy(&v, dib.constData() + offset, size_t(size));
    return qFromLittleEndian(v);
}

struct TiffRow {
    const char* name;
    testpic::TiffParams params;
    bool accepted;
    int depth;
    int ppm;
};

void PrintTo(const TiffRow& row, std::ostream* os)
{
    *os << row.name;
}

testpic::TiffParams Params(uint16_t photometric, uint16_t bits, uint16_t unit = 2, uint32_t res = 300, uint32_t den = 1)
{
    testpic::TiffParams s;
    s.photometric = photometric;
    s.bitsPerSample = bits;
    s.resolutionUnit = unit;
    s.resolutionNum = res;
    s.resolutionDen = den;
    return s;
}

testpic::TiffParams Rgb()
{
    testpic::TiffParams s = Params(2, 8);
    s.samplesPerPixel = 3;
    return s;
}

testpic::TiffParams NoResolution()
{
    testpic::TiffParams s = Params(1, 8);
    s.withResolution = false;
    return s;
}

class TiffDecoding : public ::testing::TestWithParam<TiffRow> {};

TEST_P(TiffDecoding, DepthAndResolutionFollowTheTags)
{
    const TiffRow& row = GetParam();
    CTXImage image;
    const QByteArray file = testpic::MakeTiff(row.params);
    ASSERT_EQ(image.ImportFileBytes(file, CTXImage::Tiff, QStringLiteral("t.tif")), row.accepted);
    if (!row.accepted)
        return;
    EXPECT_EQ(image.data(), file);
    const QByteArray dib = image.DecodedDib();
    ASSERT_GE(dib.size(), 40);
    EXPECT_EQ(DibField(dib, 0), 40);
    EXPECT_EQ(DibField(dib, 4), int32_t(row.params.width));
    EXPECT_EQ(DibField(dib, 8), int32_t(row.params.height));  // positive: bottom-up rows
    EXPECT_EQ(DibField(dib, 12, 2), 1);
    EXPECT_EQ(DibField(dib, 14, 2), row.depth);
    EXPECT_EQ(DibField(dib, 16), 0);
    EXPECT_EQ(DibField(dib, 24), row.ppm);
    EXPECT_EQ(DibField(dib, 28), row.ppm);
    const qsizetype stride = ((qsizetype(row.params.width) * row.depth + 31) / 32) * 4;
    const qsizetype table = row.depth == 1 ? 8 : 0;
    EXPECT_EQ(dib.size(), 40 + table + stride * row.params.height);
}

INSTANTIATE_TEST_SUITE_P(
    Image, TiffDecoding,
    ::testing::Values(TiffRow{"Inch300", Params(1, 8), true, 24, 11811},
                      TiffRow{"Inch72", Params(1, 8, 2, 72), true, 24, 2834},
                      TiffRow{"RationalDensity", Params(1, 8, 2, 601, 2), true, 24, 11830},
                      TiffRow{"Centimetre118", Params(0, 8, 3, 118), true, 24, 11800},
                      TiffRow{"UnitNone", Params(1, 8, 1, 5), true, 24, 2835},
                      TiffRow{"NoResolutionTags", NoResolution(), true, 24, 0},
                      TiffRow{"Bilevel", Params(0, 1), true, 1, 11811},
                      TiffRow{"TwoBitGreyIsBilevel", Params(1, 2), true, 1, 11811},
                      TiffRow{"FourBitGrey", Params(1, 4), true, 24, 11811},
                      TiffRow{"SixteenBitGreyIsBilevel", Params(1, 16), true, 1, 11811},
                      TiffRow{"Rgb", Rgb(), true, 24, 11811},
                      TiffRow{"TransparencyMask", Params(4, 1), false, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// Rows are stored bottom-up: the top row of the picture is the last row of the DIB.
TEST(TiffRows, TopRowOfThePictureIsTheLastDibRow)
{
    testpic::TiffParams s = Params(1, 8);
    s.width = 3;
    s.height = 2;
    s.pixels = QByteArray("\x00\x80\xFF" "\x40\x40\x40", 6);
    CTXImage image;
    ASSERT_TRUE(image.ImportFileBytes(testpic::MakeTiff(s), CTXImage::Tiff, {}));
    const QByteArray dib = image.DecodedDib();
    const QByteArray bottom("\x40\x40\x40\x40\x40\x40\x40\x40\x40\0\0\0", 12);
    const QByteArray top("\x00\x00\x00\x80\x80\x80\xFF\xFF\xFF\0\0\0", 12);
    EXPECT_EQ(dib.mid(40), bottom + top);
    EXPECT_EQ(qRed(image.DecodedBitmap().pixel(2, 0)), 255);
}

TEST(TiffRows, MinIsWhiteBilevelKeepsWhiteWhite)
{
    testpic::TiffParams s = Params(0, 1);
    s.width = 8;
    s.height = 1;
    s.pixels = QByteArray("\x0F", 1);  // min-is-white: four white pixels, then four black
    CTXImage image;
    ASSERT_TRUE(image.ImportFileBytes(testpic::MakeTiff(s), CTXImage::Tiff, {}));
    const QImage bitmap = image.DecodedBitmap();
    EXPECT_EQ(qRed(bitmap.pixel(0, 0)), 255);
    EXPECT_EQ(qRed(bitmap.pixel(7, 0)), 0);
    ASSERT_EQ(image.Palette().size(), 2);
}

struct DensityRow {
    const char* name;
    int unit;
    int density;
    int ppm;
};

void PrintTo(const DensityRow& row, std::ostream* os)
{
    *os << row.name;
}


class JpegDensity : public ::testing::TestWithParam<DensityRow> {};

TEST_P(JpegDensity, PixelsPerMetreFromTheJfifUnit)
{
    const DensityRow& row = GetParam();
    const QByteArray jpeg = testpic::WithJfifDensity(testpic::MakeJpeg(), row.unit, row.density);
    ASSERT_FALSE(jpeg.isEmpty());
    CTXImage image;
    ASSERT_TRUE(image.ImportFileBytes(jpeg, CTXImage::Jpeg, {}));
    const CTXPictureInfo info = image.DecodedInfo();
    EXPECT_EQ(info.ppmX, row.ppm);
    EXPECT_EQ(info.ppmY, row.ppm);
    EXPECT_EQ(info.bitsPerPixel, 24);
    EXPECT_EQ(info.paletteSize, 0);
    // Colour order in the DIB is blue, green, red: the left half is blue.
    const QImage bitmap = image.DecodedBitmap();
    EXPECT_GT(qBlue(bitmap.pixel(2, 8)), 180);
    EXPECT_GT(qRed(bitmap.pixel(30, 8)), 160);
}

INSTANTIATE_TEST_SUITE_P(Image, JpegDensity,
                         ::testing::Values(DensityRow{"DotsPerInch72", 1, 72, 2834},
                                           DensityRow{"DotsPerInch300", 1, 300, 11811},
                                           DensityRow{"DotsPerCentimetre28", 2, 28, 2800},
                                           DensityRow{"AspectOnly", 0, 1, 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(JpegGrey, OneComponentGetsAnEightBitGreyRamp)
{
    CTXImage image;
    ASSERT_TRUE(image.Import(testpic::ShippedPicture("jpeg_gray_150dpi_640x400.jpg"), CTXImage::Jpeg));
    const QList<QRgb> palette = image.Palette();
    ASSERT_EQ(palette.size(), 256);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(palette[i], qRgb(i, i, i)) << i;
    EXPECT_EQ(image.DecodedInfo().bitsPerPixel, 8);
}

TEST(BitmapImport, StoresTheFileWithoutItsFileHeader)
{
    const QByteArray file = testpic::MakeBmp(5, 3);
    CTXImage image;
    ASSERT_TRUE(image.ImportFileBytes(file, CTXImage::Bitmap, QStringLiteral("/a/b.bmp")));
    EXPECT_EQ(image.data(), file.mid(14));
    EXPECT_EQ(image.DecodedDib(), file.mid(14));
    EXPECT_EQ(image.DecodedInfo().width, 5);
    EXPECT_EQ(image.DecodedBitmap().pixel(4, 0), qRgb(255, 0, 64));
}

}  // namespace
