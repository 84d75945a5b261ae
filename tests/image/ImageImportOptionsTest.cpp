// The choices of the Import Image command: filter lines and their order, the kind a name
// stands for, the placement rectangle of the command line, and what the profile remembers.

#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

#include "../support/TemporaryProfile.h"
#include "image/ImageImportOptions.h"
#include "image/TXImage.h"
#include "util/KWProfileStore.h"

namespace {

TEST(ImageFilters, FourFiltersInTheOrderOfThePictureKinds)
{
    const QStringList filters = ImageFilterTexts();
    ASSERT_EQ(filters.size(), 4);
    EXPECT_EQ(filters[0], QStringLiteral("Win Metafiles (*.wmf,*.emf) (*.wmf *.emf)"));
    EXPECT_EQ(filters[1], QStringLiteral("Bitmap (*.dib,*.bmp) (*.dib *.bmp)"));
    EXPECT_EQ(filters[2], QStringLiteral("TIFF files (*.tif) (*.tif)"));
    EXPECT_EQ(filters[3], QStringLiteral("JPEG files (*.jpg,*.jpe) (*.jpg *.jpe)"));
    for (int kind = 1; kind <= 4; ++kind)
        EXPECT_EQ(ImageKindOfFilterText(filters[kind - 1]), kind);
    EXPECT_EQ(ImageKindOfFilterText(QStringLiteral("All files (*)")), 0);
}

struct NameRow {
    const char* name;
    const char* path;
    int32_t kind;
};

void PrintTo(const NameRow& row, std::ostream* os)
{
    *os << row.name;
}

class KindForFileName : public ::testing::TestWithParam<NameRow> {};

TEST_P(KindForFileName, ExtensionSuggestsTheFilter)
{
    EXPECT_EQ(ImageKindForFileName(QLatin1String(GetParam().path)), GetParam().kind);
}

INSTANTIATE_TEST_SUITE_P(Image, KindForFileName,
                         ::testing::Values(NameRow{"Wmf", "/p/plan.wmf", 1}, NameRow{"EmfUpper", "PLAN.EMF", 1},
                                           NameRow{"Dib", "a.dib", 2}, NameRow{"Bmp", "a.b.bmp", 2},
                                           NameRow{"Tif", "x.tif", 3}, NameRow{"Tiff", "x.tiff", 3},
                                           NameRow{"Jpe", "y.jpe", 4}, NameRow{"Jpeg", "y.jpeg", 4},
                                           NameRow{"Png", "z.png", 0}, NameRow{"NoExtension", "bmp", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ImageKindNames, RoundTripAndUnknown)
{
    for (int32_t kind = 1; kind <= 4; ++kind)
        EXPECT_EQ(ImageKindFromName(ImageKindName(kind)), kind);
    EXPECT_EQ(ImageKindFromName(QStringLiteral("png")), 0);
    EXPECT_EQ(ImageKindFromName(QStringLiteral("TIFF")), 0);
}

struct RectRow {
    const char* name;
    const char* text;
    bool valid;
    ImageRect rect;
};

void PrintTo(const RectRow& row, std::ostream* os)
{
    *os << row.name;
}

class ImageRectText : public ::testing::TestWithParam<RectRow> {};

TEST_P(ImageRectText, ParsesFourDistinctCoordinates)
{
    const std::optional<ImageRect> r = ParseImageRect(QLatin1String(GetParam().text));
    ASSERT_EQ(r.has_value(), GetParam().valid);
    if (r) {
        EXPECT_EQ(*r, GetParam().rect);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Image, ImageRectText,
    ::testing::Values(RectRow{"Plain", "0,0,40,25", true, {0, 0, 40, 25}},
                      RectRow{"SpacesAndNegatives", " -1.5, 2 ,3e1,-4", true, {-1.5f, 2, 30, -4}},
                      RectRow{"ThreeValues", "0,0,1", false, {}}, RectRow{"FiveValues", "0,0,1,1,1", false, {}},
                      RectRow{"NotANumber", "0,a,1,1", false, {}}, RectRow{"Infinite", "0,0,inf,1", false, {}},
                      RectRow{"NoWidth", "2,0,2,1", false, {}}, RectRow{"NoHeight", "0,3,1,3", false, {}}),
    [](const auto& info) { return std::string(info.param.name); });

class ImportProfile : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = TemporaryProfileStore(dir);
    }
    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
};

TEST_F(ImportProfile, FirstTimeStartsWithBitmapsAndNoFolder)
{
    CImageImportProfile p(*store);
    EXPECT_EQ(p.InitialFilter(CTXImage::None), CTXImage::Bitmap);
    EXPECT_TRUE(p.Folder().isEmpty());
}

TEST_F(ImportProfile, RemembersFolderAndFilterUnderImportImg)
{
    CImageImportProfile p(*store);
    p.Remember(QStringLiteral("/plans/site/north.tif"), CTXImage::Tiff);
    EXPECT_EQ(p.Folder(), QStringLiteral("/plans/site"));
    EXPECT_EQ(p.InitialFilter(CTXImage::None), CTXImage::Tiff);
    // The current picture's kind wins over the remembered filter.
    EXPECT_EQ(p.InitialFilter(CTXImage::Jpeg), CTXImage::Jpeg);
    EXPECT_EQ(store->ReadString(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG"), {}),
              QStringLiteral("/plans/site"));
    EXPECT_EQ(store->ReadInt(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG_Filter"), 0), 3);
}

TEST_F(ImportProfile, RememberedFilterOutsideTheListFallsBackToBitmaps)
{
    store->WriteInt(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG_Filter"), 9);
    EXPECT_EQ(CImageImportProfile(*store).InitialFilter(CTXImage::None), CTXImage::Bitmap);
    store->WriteInt(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG_Filter"), 0);
    EXPECT_EQ(CImageImportProfile(*store).InitialFilter(CTXImage::None), CTXImage::Bitmap);
}

}  // namespace
