// A picture chosen under the wrong filter is read by its content; a file that is no picture is
// refused with a warning naming it and every format tried.

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ImageTestSupport.h"
#include "image/PictureFileImport.h"

namespace {

struct ContentRow {
    const char* name;
    const char* file;
    int32_t filter;  // the filter chosen
    int32_t kind;    // the kind imported
};

void PrintTo(const ContentRow& row, std::ostream* os)
{
    *os << row.name;
}

class WrongFilter : public ::testing::TestWithParam<ContentRow> {};

}  // namespace

TEST_P(WrongFilter, ContentDecides)
{
    const ContentRow& row = GetParam();
    const QString path = testpic::ShippedPicture(row.file);
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(PictureKindOfContent(f.readAll()), row.kind);
    const PictureImport import = ImportPictureFile(path, row.filter);
    ASSERT_TRUE(import.imported) << import.warning.toStdString();
    EXPECT_EQ(import.picture.kind(), row.kind);
    EXPECT_TRUE(import.picture.HasPicture());
    EXPECT_TRUE(import.warning.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Shipped, WrongFilter,
    ::testing::Values(ContentRow{"WmfUnderBitmap", "wmf_floorplan_placeable.wmf", CTXImage::Bitmap, CTXImage::Metafile},
                      ContentRow{"EmfUnderTiff", "emf_floorplan_400x250mm.emf", CTXImage::Tiff, CTXImage::Metafile},
                      ContentRow{"BmpUnderJpeg", "bmp_1bit_640x400.bmp", CTXImage::Jpeg, CTXImage::Bitmap},
                      ContentRow{"TiffUnderMetafile", "tiff_minblack_1bit_640x400.tif", CTXImage::Metafile, CTXImage::Tiff},
                      ContentRow{"JpegUnderBitmap", "jpeg_gray_150dpi_640x400.jpg", CTXImage::Bitmap, CTXImage::Jpeg},
                      ContentRow{"RightFilterStaysFirst", "bmp_1bit_640x400.bmp", CTXImage::Bitmap, CTXImage::Bitmap}),
    [](const ::testing::TestParamInfo<ContentRow>& info) { return std::string(info.param.name); });

TEST(PictureFileImport, ContentSignatures)
{
    EXPECT_EQ(PictureKindOfContent(QByteArray("BM\0\0", 4)), CTXImage::Bitmap);
    EXPECT_EQ(PictureKindOfContent(QByteArray("II*\0", 4)), CTXImage::Tiff);
    EXPECT_EQ(PictureKindOfContent(QByteArray("MM\0*", 4)), CTXImage::Tiff);
    EXPECT_EQ(PictureKindOfContent(QByteArray("\xFF\xD8\xFF\xE0", 4)), CTXImage::Jpeg);
    EXPECT_EQ(PictureKindOfContent(QByteArray::fromHex("d7cdc69a")), CTXImage::Metafile);
    // A plain Windows metafile header: memory type, 9 words, version 3.
    EXPECT_EQ(PictureKindOfContent(QByteArray::fromHex("010009000003000000000000000000000000")), CTXImage::Metafile);
    EXPECT_EQ(PictureKindOfContent(QByteArray::fromHex("010008000003000000000000000000000000")), 0);
    EXPECT_EQ(PictureKindOfContent(QByteArray("X\tY\tSLM\n")), 0);
    EXPECT_EQ(PictureKindOfContent(QByteArray()), 0);
}

TEST(PictureFileImport, TruncatedPictureOfTheRightKindIsRefusedWithEveryFormatTried)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QFile source(testpic::ShippedPicture("jpeg_gray_150dpi_640x400.jpg"));
    ASSERT_TRUE(source.open(QIODevice::ReadOnly));
    const QString path = dir.filePath(QStringLiteral("cut.jpg"));
    QFile cut(path);
    ASSERT_TRUE(cut.open(QIODevice::WriteOnly));
    cut.write(source.read(200));
    cut.close();
    const PictureImport import = ImportPictureFile(path, CTXImage::Jpeg);
    EXPECT_FALSE(import.imported);
    EXPECT_FALSE(import.picture.HasPicture());
    EXPECT_EQ(import.formatsTried,
              (QStringList{QStringLiteral("JPEG files"), QStringLiteral("Win Metafiles"), QStringLiteral("Bitmap"),
                           QStringLiteral("TIFF files")}));
    EXPECT_EQ(import.warning, QStringLiteral("WARNING! \"cut.jpg\" is no picture that can be imported.\n"
                                             "Formats tried: JPEG files, Win Metafiles, Bitmap, TIFF files."));
}

TEST(PictureFileImport, MissingFileIsRefused)
{
    const PictureImport import = ImportPictureFile(QStringLiteral("/nonexistent/plan.wmf"), CTXImage::Metafile);
    EXPECT_FALSE(import.imported);
    EXPECT_TRUE(import.warning.contains(QStringLiteral("\"plan.wmf\"")));
}
