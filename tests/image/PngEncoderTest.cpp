// The map PNG encoder: every pixel comes back through an independent reader, for the formats a
// picture may arrive in; the density travels along; failures are told.
#include <gtest/gtest.h>

#include <QFile>
#include <QImage>
#include <QTemporaryDir>

#include <functional>

#include "image/PngEncoder.h"

namespace {

struct PngRow {
    const char* name;
    QSize size;
    QImage::Format format;
};

// Pixels that differ from their neighbours in every channel, so a swapped or shifted channel,
// row or column shows.
QImage Pattern(const PngRow& row)
{
    QImage rgb(row.size, QImage::Format_ARGB32);
    for (int y = 0; y < row.size.height(); ++y)
        for (int x = 0; x < row.size.width(); ++x)
            rgb.setPixel(x, y, qRgba((x * 37 + y * 11) & 255, (x * 5 + y * 73) & 255, (x * y + 91) & 255,
                                     row.format == QImage::Format_ARGB32 ? (x * 29 + y) & 255 : 255));
    return rgb.convertToFormat(row.format);
}

class PngEncoderTest : public ::testing::TestWithParam<PngRow> {};

TEST_P(PngEncoderTest, EveryPixelReadsBack)
{
    const QImage picture = Pattern(GetParam());
    const QByteArray png = EncodePng(picture);
    ASSERT_FALSE(png.isEmpty());
    const QImage back = QImage::fromData(png, "PNG");
    ASSERT_FALSE(back.isNull());
    ASSERT_EQ(back.size(), picture.size());
    const QImage::Format compare = picture.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32;
    const QImage expected = picture.convertToFormat(compare), found = back.convertToFormat(compare);
    for (int y = 0; y < expected.height(); ++y)
        for (int x = 0; x < expected.width(); ++x)
            ASSERT_EQ(found.pixel(x, y), expected.pixel(x, y)) << "at " << x << ", " << y;
}

INSTANTIATE_TEST_SUITE_P(
    Formats, PngEncoderTest,
    ::testing::Values(PngRow{"MapPicture", {200, 160}, QImage::Format_RGB32},
                      PngRow{"OnePixel", {1, 1}, QImage::Format_RGB32},
                      PngRow{"OneRowWide", {1500, 1}, QImage::Format_RGB32},
                      PngRow{"OddWidthTall", {3, 301}, QImage::Format_RGB32},
                      PngRow{"PackedRgb", {33, 17}, QImage::Format_RGB888},
                      PngRow{"Grey", {40, 9}, QImage::Format_Grayscale8},
                      PngRow{"Translucent", {25, 25}, QImage::Format_ARGB32}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PngEncoder, DensityTravelsInThePhysChunk)
{
    QImage picture(10, 10, QImage::Format_RGB32);
    picture.fill(Qt::white);
    picture.setDotsPerMeterX(11811);  // 300 dpi
    picture.setDotsPerMeterY(5906);
    const QImage back = QImage::fromData(EncodePng(picture), "PNG");
    EXPECT_EQ(back.dotsPerMeterX(), 11811);
    EXPECT_EQ(back.dotsPerMeterY(), 5906);
}

TEST(PngEncoder, NullPictureGivesNothing)
{
    EXPECT_TRUE(EncodePng(QImage()).isEmpty());
    QTemporaryDir dir;
    EXPECT_FALSE(WritePngFile(QImage(), dir.filePath(QStringLiteral("null.png"))));
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("null.png"))));
}

TEST(PngEncoder, FolderThatIsMissingIsAFailure)
{
    QTemporaryDir dir;
    QImage picture(4, 4, QImage::Format_RGB32);
    picture.fill(Qt::red);
    EXPECT_FALSE(WritePngFile(picture, dir.filePath(QStringLiteral("missing/m.png"))));
    EXPECT_TRUE(WritePngFile(picture, dir.filePath(QStringLiteral("m.png"))));
    EXPECT_EQ(QImage(dir.filePath(QStringLiteral("m.png"))).pixel(2, 2), qRgb(255, 0, 0));
}

}  // namespace
