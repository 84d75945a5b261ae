// The Image Scale dialog driven offscreen with the mouse, and its OK as one undoable step.

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../support/TemporaryProfile.h"
#include "../support/PromptRecorder.h"
#include "../support/Recorders.h"
#include "ImageTestSupport.h"
#include "dataentry/TXKeyPadDlg.h"
#include "document/TessarixDoc.h"
#include "image/ImagePositionDlg.h"
#include "image/ImagePositionWnd.h"
#include "util/KWProfileStore.h"

namespace {

class ImagePositionDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = TemporaryProfileStore(dir);
        doc.OnNewDocument();
        // A site of 40 x 25 m with a picture in the first quarter and two measured points.
        doc.Settings().xAxis.start = 0.0f;
        doc.Settings().xAxis.stop = 40.0f;
        doc.Settings().xAxis.step = 5.0f;
        doc.Settings().yAxis.start = 0.0f;
        doc.Settings().yAxis.stop = 25.0f;
        doc.Settings().yAxis.step = 5.0f;
        doc.RefreshAxes(-1);
        doc.InsertPoint(10.0f, 10.0f, {60.0f});
        doc.InsertPoint(30.0f, 20.0f, {65.0f});
        ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("jpeg_gray_150dpi_640x400.jpg"), CTXImage::Jpeg));
        doc.Settings().imageRect = {0.0f, 0.0f, 20.0f, 12.5f};
        maps->requests.clear();
        doc.SetModifiedFlag(false);
    }

    // Runs the dialog through the command's entry point; `drive` works the open dialog.
    bool Run(std::function<void(CImagePositionDlg&)> drive)
    {
        QTimer::singleShot(0, [drive] {
            auto* dialog = qobject_cast<CImagePositionDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            drive(*dialog);
        });
        return RunImagePositionDlg(nullptr, doc, *store);
    }

    static QPushButton* OkButton(CImagePositionDlg& d)
    {
        return d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    }

    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
    RequestRecorder* maps = new RequestRecorder;
    CTessarixDoc doc{std::unique_ptr<IMapComputations>(maps)};
};

TEST_F(ImagePositionDialog, DraggingHandleFiveWithTheMouseAndOkPlacesThePicture)
{
    ImageRect expected;
    EXPECT_TRUE(Run([&](CImagePositionDlg& d) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        CImagePositionWnd* preview = d.Preview();
        CImagePositionModel& m = d.Model();
        const QPoint from = preview->ToWidget(m.HandlePoint(5));
        // To the right top corner of the axes.
        const QPoint to = preview->ToWidget({m.Plot().right, m.Plot().top});
        QTest::mousePress(preview, Qt::LeftButton, {}, from);
        QTest::mouseMove(preview, (from + to) / 2);
        QTest::mouseMove(preview, to);
        QTest::mouseRelease(preview, Qt::LeftButton, {}, to);
        expected = {0.0f, 0.0f, float(m.WorldX(m.Plot().right)), float(m.WorldY(m.Plot().top))};
        EXPECT_EQ(d.Values(), expected);
        EXPECT_EQ(d.FieldEdit(CImagePositionDlg::FieldX1)->text(), QStringLiteral("40"));
        QTest::mouseClick(OkButton(d), Qt::LeftButton);
    }));
    EXPECT_EQ(doc.Settings().imageRect, expected);
    EXPECT_NEAR(expected.x1, 40.0f, 1e-4);
    EXPECT_NEAR(expected.y1, 25.0f, 1e-4);
    ASSERT_FALSE(maps->requests.empty());
    for (const auto& r : maps->requests)
        EXPECT_EQ(r.flags, RECALC_BITMAP);
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("&Undo Image Scale\t(Ctrl+Z)"));
}

TEST_F(ImagePositionDialog, FieldsScaleResetAndRevertDriveThePreview)
{
    const QString undoBefore = doc.UndoMenuText();
    EXPECT_FALSE(Run([&](CImagePositionDlg& d) {
        ASSERT_EQ(d.ScaleChoice()->count(), 10);
        EXPECT_EQ(d.ScaleChoice()->itemText(0), QStringLiteral("1:1"));
        EXPECT_EQ(d.ScaleChoice()->itemText(5), QStringLiteral("0.5:1"));
        EXPECT_EQ(d.ScaleChoice()->itemText(9), QStringLiteral("0.1:1"));
        EXPECT_EQ(d.ScaleChoice()->currentIndex(), 0);
        d.ScaleChoice()->setCurrentIndex(5);
        EXPECT_EQ(d.Model().ScaleIndex(), 5);

        CEditKeyPadReal* x1 = d.FieldEdit(CImagePositionDlg::FieldX1);
        x1->selectAll();
        QTest::keyClicks(x1, QStringLiteral("33.5"));
        EXPECT_FLOAT_EQ(d.Values().x1, 33.5f) << "typing re-reads the fields";
        QTest::keyClicks(x1, QStringLiteral("x"));
        EXPECT_FLOAT_EQ(d.Values().x1, 33.5f) << "a field that is no number keeps its last value";

        QTest::mouseClick(d.ResetButton(), Qt::LeftButton);
        EXPECT_EQ(d.Values(), (ImageRect{0.0f, 0.0f, 40.0f, 25.0f}));
        EXPECT_EQ(d.FieldEdit(CImagePositionDlg::FieldY1)->text(), QStringLiteral("25"));
        QTest::mouseClick(d.RevertButton(), Qt::LeftButton);
        EXPECT_EQ(d.Values(), (ImageRect{0.0f, 0.0f, 20.0f, 12.5f}));
        EXPECT_EQ(d.FieldEdit(CImagePositionDlg::FieldY1)->text(), QStringLiteral("12.5"));
        d.reject();
    }));
    EXPECT_EQ(doc.Settings().imageRect, (ImageRect{0.0f, 0.0f, 20.0f, 12.5f}));
    EXPECT_EQ(doc.UndoMenuText(), undoBefore) << "Cancel records nothing";
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ImagePositionDialog, OkWithAFieldThatIsNoNumberStaysOpen)
{
    CPromptRecorder prompt;
    EXPECT_TRUE(Run([&](CImagePositionDlg& d) {
        d.FieldEdit(CImagePositionDlg::FieldY0)->setText(QStringLiteral("abc"));
        d.accept();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(prompt.Messages(), QStringList{QStringLiteral("Enter a number.")});
        d.FieldEdit(CImagePositionDlg::FieldY0)->setText(QStringLiteral("-1.5"));
        d.accept();
    }));
    EXPECT_EQ(doc.Settings().imageRect, (ImageRect{0.0f, -1.5f, 20.0f, 12.5f}));
}

TEST_F(ImagePositionDialog, PressAwayFromThePictureChangesNothing)
{
    EXPECT_TRUE(Run([&](CImagePositionDlg& d) {
        CImagePositionWnd* preview = d.Preview();
        CImagePositionModel& m = d.Model();
        // Right of the picture, level with its middle, far from the handles.
        const QPoint away = preview->ToWidget({m.Plot().right - 5, m.HandlePoint(4).y});
        QTest::mousePress(preview, Qt::LeftButton, {}, away);
        QTest::mouseMove(preview, away - QPoint(100, 0));
        QTest::mouseRelease(preview, Qt::LeftButton, {}, away - QPoint(100, 0));
        EXPECT_FALSE(d.Model().Changed());
        QTest::mouseClick(OkButton(d), Qt::LeftButton);
    }));
    // Every OK is a step, but unchanged values draw nothing again.
    EXPECT_EQ(doc.Settings().imageRect, (ImageRect{0.0f, 0.0f, 20.0f, 12.5f}));
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("&Undo Image Scale\t(Ctrl+Z)"));
    EXPECT_TRUE(doc.IsModified());
    EXPECT_TRUE(maps->requests.empty());
}

TEST_F(ImagePositionDialog, HoverShowsTheHandlesResizeCursorAndTheArrowElsewhere)
{
    EXPECT_FALSE(Run([&](CImagePositionDlg& d) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        CImagePositionWnd* preview = d.Preview();
        CImagePositionModel& m = d.Model();
        QTest::mouseMove(preview, preview->ToWidget(m.HandlePoint(4)));
        EXPECT_EQ(preview->cursor().shape(), Qt::SizeHorCursor);
        QTest::mouseMove(preview, preview->ToWidget(m.HandlePoint(7)) + QPoint(3, -3));
        EXPECT_EQ(preview->cursor().shape(), Qt::SizeFDiagCursor);
        const PreviewRect r = m.PictureRect();
        QTest::mouseMove(preview, preview->ToWidget({(r.left + r.right) / 2 + 20, (r.bottom + r.top) / 2}));
        EXPECT_EQ(preview->cursor().shape(), Qt::ArrowCursor);
        d.reject();
    }));
}

TEST_F(ImagePositionDialog, SizeIsRememberedAndNeverBelowTheDesign)
{
    QSize designed;
    EXPECT_FALSE(Run([&](CImagePositionDlg& d) {
        designed = d.minimumSize();
        d.resize(designed + QSize(100, 60));
        d.reject();
    }));
    EXPECT_EQ(store->ReadInt(QStringLiteral("ImagePosDlg"), QStringLiteral("Width"), 0), designed.width() + 100);
    EXPECT_EQ(store->ReadInt(QStringLiteral("ImagePosDlg"), QStringLiteral("Height"), 0), designed.height() + 60);
    EXPECT_FALSE(Run([&](CImagePositionDlg& d) {
        EXPECT_EQ(d.size(), designed + QSize(100, 60));
        d.reject();
    }));
    store->WriteInt(QStringLiteral("ImagePosDlg"), QStringLiteral("Width"), 10);
    EXPECT_FALSE(Run([&](CImagePositionDlg& d) {
        EXPECT_EQ(d.width(), designed.width());
        d.reject();
    }));
}

TEST_F(ImagePositionDialog, PreviewShowsPositionsOnAnyPicture)
{
    EXPECT_FALSE(Run([&](CImagePositionDlg& d) {
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&d));
        CImagePositionWnd* preview = d.Preview();
        CImagePositionModel& m = d.Model();
        const QImage shot = preview->RenderPreview();
        // The point (10, 10) lies on the picture; its circle is the inverse of what is below.
        const QPoint c = preview->ToWidget({m.PixelX(10.0), m.PixelY(10.0)});
        const QPoint onCircle = c + QPoint(5, 0);
        const QRgb below = QColor(Qt::white).rgb() ^ shot.pixel(onCircle);
        EXPECT_NE(shot.pixel(onCircle), below);
        // Handle 1: black centre, white border.
        const QPoint h = preview->ToWidget(m.HandlePoint(1));
        EXPECT_EQ(QColor(shot.pixel(h)), QColor(Qt::black));
        EXPECT_EQ(QColor(shot.pixel(h + QPoint(-5, 0))), QColor(Qt::white));
        d.reject();
    }));
}

// Undo puts the document back as it was before the dialog, byte for byte; redo repeats it.
TEST_F(ImagePositionDialog, UndoRestoresTheDocumentByteForByte)
{
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_TRUE(StoreImagePosition(doc, {-3.0f, 2.0f, 45.5f, 30.25f}));
    const QByteArray after = doc.WriteFileBytes();
    ASSERT_NE(after, before);
    maps->requests.clear();
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), before);
    ASSERT_FALSE(maps->requests.empty());
    EXPECT_EQ(maps->requests.front().flags, RECALC_BITMAP);
    doc.Redo();
    EXPECT_EQ(doc.WriteFileBytes(), after);
    EXPECT_FALSE(StoreImagePosition(doc, {-3.0f, 2.0f, 45.5f, 30.25f}));
}

}  // namespace
