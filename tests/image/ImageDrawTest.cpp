// Drawing the picture into a rectangle: stretched without blending, upright on a painter whose
// y axis points up, the same from several threads drawing copies at once; and the stored
// record, which carries the bytes and rebuilds the decoded form when read back.

#include <QPainter>

#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "ImageTestSupport.h"
#include "image/TXImage.h"
#include "util/Archive.h"

namespace {

// 2 x 2 pixels: red, green on top; blue, white below.
CTXImage FourColours()
{
    QImage q(2, 2, QImage::Format_RGB32);
    q.setPixel(0, 0, qRgb(255, 0, 0));
    q.setPixel(1, 0, qRgb(0, 255, 0));
    q.setPixel(0, 1, qRgb(0, 0, 255));
    q.setPixel(1, 1, qRgb(255, 255, 255));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    q.save(&buffer, "BMP");
    CTXImage image;
    EXPECT_TRUE(image.ImportFileBytes(bytes, CTXImage::Bitmap, QStringLiteral("four.bmp")));
    return image;
}

QImage Draw(const CTXImage& image, QSize size, bool yUp, QRectF target = {})
{
    QImage out(size, QImage::Format_RGB32);
    out.fill(Qt::black);
    QPainter painter(&out);
    if (yUp) {
        painter.translate(0, size.height());
        painter.scale(1, -1);
    }
    image.DrawInto(painter, target.isNull() ? QRectF(QPointF(0, 0), QSizeF(size)) : target);
    return out;
}

TEST(PictureDrawing, BitmapIsStretchedWithoutBlending)
{
    const CTXImage image = FourColours();
    const QImage out = Draw(image, {40, 40}, false);
    EXPECT_EQ(out.pixel(5, 5), qRgb(255, 0, 0));
    EXPECT_EQ(out.pixel(35, 5), qRgb(0, 255, 0));
    EXPECT_EQ(out.pixel(5, 35), qRgb(0, 0, 255));
    EXPECT_EQ(out.pixel(35, 35), qRgb(255, 255, 255));
    for (int x = 0; x < 40; ++x) {
        const QRgb c = out.pixel(x, 10);
        EXPECT_TRUE(c == qRgb(255, 0, 0) || c == qRgb(0, 255, 0)) << "blended at x " << x;
    }
}

TEST(PictureDrawing, PainterWithYUpStillGetsThePictureUpright)
{
    const CTXImage image = FourColours();
    EXPECT_EQ(Draw(image, {40, 40}, true), Draw(image, {40, 40}, false));
    // A target given bottom to top is the same rectangle.
    EXPECT_EQ(Draw(image, {40, 40}, false, QRectF(0, 40, 40, -40)), Draw(image, {40, 40}, false));
}

TEST(PictureDrawing, MetafileIsDrawnUprightIntoItsRectangle)
{
    CTXImage image;
    ASSERT_TRUE(image.Import(testpic::ShippedPicture("emf_floorplan_400x250mm.emf"), CTXImage::Metafile));
    const QImage plain = Draw(image, {200, 125}, false);
    int dark = 0;
    for (int y = 0; y < plain.height(); ++y)
        for (int x = 0; x < plain.width(); ++x)
            dark += qGray(plain.pixel(x, y)) < 100;
    EXPECT_GT(dark, 200) << "walls and labels drawn";
    EXPECT_LT(dark, 200 * 125 / 2) << "the page background is light";
    EXPECT_EQ(Draw(image, {200, 125}, true), plain);
}

TEST(PictureDrawing, NothingWithoutAPictureOrIntoAnEmptyRectangle)
{
    const QImage black = Draw(CTXImage(), {10, 10}, false);
    EXPECT_EQ(black.pixel(5, 5), qRgb(0, 0, 0));
    EXPECT_EQ(Draw(FourColours(), {10, 10}, false, QRectF(2, 2, 0, 5)).pixel(2, 3), qRgb(0, 0, 0));
}

struct ThreadRow {
    const char* name;
    const char* file;
    int32_t kind;
};

void PrintTo(const ThreadRow& row, std::ostream* os)
{
    *os << row.name;
}


class ConcurrentDrawing : public ::testing::TestWithParam<ThreadRow> {};

// The map workers draw copies of the document's picture at the same time.
TEST_P(ConcurrentDrawing, CopiesDrawTheSameFromSeveralThreads)
{
    CTXImage image;
    ASSERT_TRUE(image.Import(testpic::ShippedPicture(GetParam().file), GetParam().kind));
    const QImage reference = Draw(image, {160, 100}, false);
    std::vector<QImage> results(4);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < results.size(); ++t) {
        threads.emplace_back([&, t, copy = image]() {
            for (int round = 0; round < 5; ++round)
                results[t] = Draw(copy, {160, 100}, round % 2 == 1);
        });
    }
    for (std::thread& t : threads)
        t.join();
    for (const QImage& r : results)
        EXPECT_EQ(r, reference);
}

INSTANTIATE_TEST_SUITE_P(Image, ConcurrentDrawing,
                         ::testing::Values(ThreadRow{"Bitmap", "bmp_1bit_640x400.bmp", CTXImage::Bitmap},
                                           ThreadRow{"Jpeg", "jpeg_gray_150dpi_640x400.jpg", CTXImage::Jpeg},
                                           ThreadRow{"Wmf", "wmf_floorplan_placeable.wmf", CTXImage::Metafile}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PictureCopy, SharesTheBytesAndTheDecodedForm)
{
    const CTXImage image = FourColours();
    const CTXImage copy = image;
    EXPECT_EQ(copy.data().constData(), image.data().constData());
    EXPECT_EQ(copy.DecodedBitmap().cacheKey(), image.DecodedBitmap().cacheKey());
}

QByteArray Record(CTXImage& image, bool withVersion)
{
    QByteArray bytes;
    CTXArchive ar(&bytes);
    image.Serialize(ar, withVersion);
    return bytes;
}

TEST(PictureRecord, CarriesTheBytesAndRebuildsTheDecodedForm)
{
    CTXImage image = FourColours();
    const QByteArray record = Record(image, true);
    QByteArray expected;
    testpic::Put32(expected, 0);
    testpic::Put32(expected, CTXImage::Bitmap);
    testpic::Put32(expected, uint32_t(image.data().size()));
    expected += image.data();
    expected += char(8);
    expected += "four.bmp";
    EXPECT_EQ(record, expected);

    CTXImage loaded;
    CTXArchive in(record);
    loaded.Serialize(in, true);
    EXPECT_EQ(in.Remaining(), 0);
    EXPECT_EQ(loaded.kind(), CTXImage::Bitmap);
    EXPECT_EQ(loaded.sourcePath(), QStringLiteral("four.bmp"));
    ASSERT_TRUE(loaded.HasDecodedForm());
    EXPECT_EQ(loaded.DecodedBitmap(), image.DecodedBitmap());
    // Without the version word the record starts at the kind.
    EXPECT_EQ(Record(image, false), expected.mid(4));
}

TEST(PictureRecord, EmptyPictureHasNoPathAndLoadsEmpty)
{
    CTXImage empty;
    const QByteArray record = Record(empty, true);
    EXPECT_EQ(record, QByteArray(12, '\0'));
    CTXImage loaded = FourColours();
    CTXArchive in(record);
    loaded.Serialize(in, true);
    EXPECT_FALSE(loaded.HasPicture());
    EXPECT_FALSE(loaded.HasDecodedForm());
    EXPECT_EQ(loaded.kind(), CTXImage::None);
}

TEST(PictureRecord, UnknownVersionAndOverlongLengthAreFormatErrors)
{
    CTXImage image = FourColours();
    QByteArray record = Record(image, true);
    QByteArray versioned = record;
    versioned[0] = 1;
    CTXImage a;
    CTXArchive in1(versioned);
    EXPECT_THROW(a.Serialize(in1, true), CTXArchiveError);
    QByteArray overlong = record;
    overlong[10] = char(0x7F);
    CTXArchive in2(overlong);
    EXPECT_THROW(a.Serialize(in2, true), CTXArchiveError);
}

// A document whose picture bytes are damaged still loads: the picture draws nothing.
TEST(PictureRecord, DamagedBytesLoadWithoutADecodedForm)
{
    QByteArray record;
    testpic::Put32(record, 0);
    testpic::Put32(record, CTXImage::Jpeg);
    testpic::Put32(record, 5);
    record += QByteArray("\xFF\xD8" "abc", 5);
    record += char(1);
    record += "j";
    CTXImage loaded;
    CTXArchive in(record);
    loaded.Serialize(in, true);
    EXPECT_TRUE(loaded.HasPicture());
    EXPECT_FALSE(loaded.HasDecodedForm());
    EXPECT_EQ(Draw(loaded, {4, 4}, false).pixel(1, 1), qRgb(0, 0, 0));
}

}  // namespace
