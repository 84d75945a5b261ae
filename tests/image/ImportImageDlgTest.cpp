// The Import Image dialog driven offscreen: it starts with the filter of the current picture,
// the filter the user picks decides how the file is read, and folder and filter are remembered.

#include <QApplication>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../support/TemporaryProfile.h"
#include "ImageTestSupport.h"
#include "document/MapComputations.h"
#include "document/TessarixDoc.h"
#include "image/ImageImportOptions.h"
#include "image/ImportImageDlg.h"
#include "util/KWProfileStore.h"

namespace {

class ImportDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = TemporaryProfileStore(dir);
        doc.OnNewDocument();
    }
    // Runs the dialog; `answer` sees it open and either accepts or rejects it.
    bool Run(std::function<void(QFileDialog&)> answer)
    {
        QTimer::singleShot(0, [answer] {
            auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            answer(*dialog);
        });
        return RunImportImageDlg(nullptr, doc, *store);
    }
    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
    CTessarixDoc doc;  // no workers: the idle computations
};

TEST_F(ImportDialog, ChosenFilterDecidesAndFolderIsRemembered)
{
    const QString bmp = testpic::ShippedPicture("bmp_1bit_640x400.bmp");
    QString initialFilter;
    EXPECT_FALSE(Run([&](QFileDialog& d) {
        initialFilter = d.selectedNameFilter();
        d.selectNameFilter(ImageFilterText(CTXImage::Jpeg));
        d.selectFile(bmp);
        static_cast<QDialog&>(d).accept();  // as the Open button does
    }));
    EXPECT_EQ(initialFilter, ImageFilterText(CTXImage::Bitmap));
    EXPECT_FALSE(doc.Image().HasPicture()) << "a bitmap read as JPEG is refused";
    EXPECT_EQ(store->ReadInt(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG_Filter"), 0), 4);
    EXPECT_EQ(store->ReadString(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG"), {}),
              QFileInfo(bmp).absolutePath());

    EXPECT_TRUE(Run([&](QFileDialog& d) {
        EXPECT_EQ(d.selectedNameFilter(), ImageFilterText(CTXImage::Jpeg));
        d.selectNameFilter(ImageFilterText(CTXImage::Bitmap));
        d.selectFile(bmp);
        static_cast<QDialog&>(d).accept();  // as the Open button does
    }));
    EXPECT_EQ(doc.Image().kind(), CTXImage::Bitmap);
    EXPECT_TRUE(doc.CanUndo());
}

TEST_F(ImportDialog, StartsWithTheCurrentPicturesKindAndCancelChangesNothing)
{
    ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("tiff_minblack_1bit_640x400.tif"), CTXImage::Tiff));
    const QByteArray before = doc.WriteFileBytes();
    QString initialFilter;
    EXPECT_FALSE(Run([&](QFileDialog& d) {
        initialFilter = d.selectedNameFilter();
        d.reject();
    }));
    EXPECT_EQ(initialFilter, ImageFilterText(CTXImage::Tiff));
    EXPECT_EQ(doc.WriteFileBytes(), before);
}

}  // namespace
