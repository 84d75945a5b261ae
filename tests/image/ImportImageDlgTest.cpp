// The Import Image dialog driven offscreen: it starts with the filter of the current picture,
// the filter the user picks decides how the file is read, and folder and filter are remembered.

#include <QApplication>
#include <QFile>
#include <QFileDialog>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../support/PromptRecorder.h"
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
    CPromptRecorder prompt;
};

TEST_F(ImportDialog, ChosenFilterDecidesAndFolderIsRemembered)
{
    const QString bmp = testpic::ShippedPicture("bmp_1bit_640x400.bmp");
    QString initialFilter;
    EXPECT_TRUE(Run([&](QFileDialog& d) {
        initialFilter = d.selectedNameFilter();
        d.selectNameFilter(ImageFilterText(CTXImage::Jpeg));
        d.selectFile(bmp);
        static_cast<QDialog&>(d).accept();  // as the Open button does
    }));
    EXPECT_EQ(initialFilter, ImageFilterText(CTXImage::Bitmap));
    EXPECT_EQ(doc.Image().kind(), CTXImage::Bitmap) << "a bitmap chosen under the JPEG filter is read as a bitmap";
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(store->ReadInt(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG_Filter"), 0), 4);
    EXPECT_EQ(store->ReadString(QStringLiteral("DefaultDirectory"), QStringLiteral("ImportIMG"), {}),
              QFileInfo(bmp).absolutePath());

    EXPECT_TRUE(Run([&](QFileDialog& d) {
        // The picture there is now (a bitmap) chooses the filter, not the remembered JPEG one.
        EXPECT_EQ(d.selectedNameFilter(), ImageFilterText(CTXImage::Bitmap));
        d.selectNameFilter(ImageFilterText(CTXImage::Bitmap));
        d.selectFile(bmp);
        static_cast<QDialog&>(d).accept();  // as the Open button does
    }));
    EXPECT_EQ(doc.Image().kind(), CTXImage::Bitmap);
    EXPECT_TRUE(doc.CanUndo());
}

TEST_F(ImportDialog, FileThatIsNoPictureIsNamedInAWarning)
{
    const QString path = dir.filePath(QStringLiteral("notes.wmf"));
    QFile text(path);
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("X\tY\tSLM\n1\t2\t80\n");
    text.close();
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_FALSE(Run([&](QFileDialog& d) {
        d.selectNameFilter(ImageFilterText(CTXImage::Bitmap));
        d.selectFile(path);
        static_cast<QDialog&>(d).accept();
    }));
    ASSERT_EQ(prompt.Messages().size(), 1);
    const QString warning = prompt.Messages().first();
    EXPECT_TRUE(warning.startsWith(QStringLiteral("WARNING! \"notes.wmf\"")));
    EXPECT_TRUE(warning.contains(QStringLiteral("Bitmap, Win Metafiles, TIFF files, JPEG files"))) << warning.toStdString();
    EXPECT_EQ(doc.WriteFileBytes(), before);
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
