// The Import Image command of the document: an undo step, the modified mark, maps re-rendered
// (flags 4) only in the picture modes, and nothing at all when the file is refused.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "ImageTestSupport.h"
#include "document/MapComputations.h"
#include "document/TessarixDoc.h"
#include "document/UndoStack.h"

namespace {

class CountingMaps : public IMapComputations {
public:
    explicit CountingMaps(std::shared_ptr<std::vector<int>> flags) : m_flags(std::move(flags)) {}
    void Request(const CTessarixDoc&, int, bool, int flags) override { m_flags->push_back(flags); }
    void Reset() override {}
    bool CopyPicture(int, QImage*) const override { return false; }
    bool HasPicture(int) const override { return false; }
    bool SurfaceValueAt(int, float, float, const CTessarixSettings&, float*) const override { return false; }
    bool InputValueRange(int, float*, float*) const override { return false; }

private:
    std::shared_ptr<std::vector<int>> m_flags;
};

class ImportImageCommand : public ::testing::TestWithParam<int> {
protected:
    ImportImageCommand() : flags(std::make_shared<std::vector<int>>()), doc(std::make_unique<CountingMaps>(flags))
    {
        doc.OnNewDocument();
        flags->clear();
    }
    std::shared_ptr<std::vector<int>> flags;
    CTessarixDoc doc;
};

TEST_P(ImportImageCommand, RecordsAStepMarksModifiedAndRendersInPictureModes)
{
    const int mode = GetParam();
    doc.Settings().mapMode = mode;
    ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("bmp_1bit_640x400.bmp"), CTXImage::Bitmap));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_EQ(doc.Image().kind(), CTXImage::Bitmap);
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("&Undo Image\t(Ctrl+Z)"));
    if (mode == MapModeImage || mode == MapModeImageColorMap) {
        ASSERT_EQ(flags->size(), 1u);
        EXPECT_EQ(flags->front(), RECALC_BITMAP);
    } else {
        EXPECT_TRUE(flags->empty());
    }
}

INSTANTIATE_TEST_SUITE_P(Image, ImportImageCommand, ::testing::Values(0, 1, 2, 3),
                         [](const auto& info) { return "MapMode" + std::to_string(info.param); });

TEST_F(ImportImageCommand, RefusedFileChangesNothing)
{
    ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("tiff_minblack_1bit_640x400.tif"), CTXImage::Tiff));
    doc.SetModifiedFlag(false);
    const QByteArray before = doc.WriteFileBytes();
    const qint64 history = doc.UndoHistory().Size();
    // A bitmap read with the JPEG filter is not a JPEG.
    EXPECT_FALSE(doc.ImportImage(testpic::ShippedPicture("bmp_1bit_640x400.bmp"), CTXImage::Jpeg));
    EXPECT_EQ(doc.WriteFileBytes(), before);
    EXPECT_FALSE(doc.IsModified());
    EXPECT_EQ(doc.UndoHistory().Size(), history);
}

TEST_F(ImportImageCommand, UndoBringsBackTheEarlierPictureAndRedoTheNewOne)
{
    ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("jpeg_gray_150dpi_640x400.jpg"), CTXImage::Jpeg));
    const QByteArray first = doc.WriteFileBytes();
    ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("wmf_floorplan_placeable.wmf"), CTXImage::Metafile));
    const QByteArray second = doc.WriteFileBytes();
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), first);
    EXPECT_EQ(doc.Image().DecodedInfo().bitsPerPixel, 8);
    doc.Redo();
    EXPECT_EQ(doc.WriteFileBytes(), second);
    EXPECT_TRUE(doc.Image().DecodedInfo().decoded);
    EXPECT_FALSE(doc.Image().DecodedSvg().isEmpty());
}

TEST_F(ImportImageCommand, SavedPictureDecodesAgainAfterOpen)
{
    ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("tiff_minblack_1bit_640x400.tif"), CTXImage::Tiff));
    const QByteArray file = doc.WriteFileBytes();
    ASSERT_EQ(doc.ReadFileBytes(file), DocFileStatus::Ok);
    const CTXPictureInfo info = doc.Image().DecodedInfo();
    EXPECT_EQ(info.width, 640);
    EXPECT_EQ(info.bitsPerPixel, 1);
    EXPECT_EQ(info.ppmX, 7874);
    EXPECT_FALSE(doc.CanUndo());
}

}  // namespace
