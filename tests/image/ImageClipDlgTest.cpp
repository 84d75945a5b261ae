// The Image clipping dialog driven offscreen with the mouse and the tool bar: drawing, editing
// and deleting polylines, the conditioning fields and their enabling, message 409, the shared
// size, and OK as one undoable "Image Clip" step that redraws or recomputes as needed.

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../support/PromptRecorder.h"
#include "../support/Recorders.h"
#include "../support/TemporaryProfile.h"
#include "ImageTestSupport.h"
#include "dataentry/TXKeyPadDlg.h"
#include "document/ClipSettings.h"
#include "document/TessarixDoc.h"
#include "image/ImageClipBar.h"
#include "image/ImageClipDlg.h"
#include "image/ImageClipWnd.h"
#include "image/ImageStrings.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"

namespace {

class ImageClipDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = TemporaryProfileStore(dir);
        doc.OnNewDocument();
        doc.InsertPoint(0.5f, 0.5f, {60.0f});
        ASSERT_TRUE(doc.ImportImage(testpic::ShippedPicture("jpeg_gray_150dpi_640x400.jpg"), CTXImage::Jpeg));
        maps->requests.clear();
        doc.SetModifiedFlag(false);
    }

    // Runs the dialog through the command's entry point; `drive` works the open dialog.
    bool Run(std::function<void(CImageClipDlg&)> drive)
    {
        QTimer::singleShot(0, [drive] {
            auto* dialog = qobject_cast<CImageClipDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(dialog));
            drive(*dialog);
            if (dialog->isVisible())
                dialog->reject();
        });
        return RunImageClipDlg(nullptr, doc, *store);
    }

    static void Ok(CImageClipDlg& d) { QTest::mouseClick(OkButton(d), Qt::LeftButton); }
    static QPushButton* OkButton(CImageClipDlg& d)
    {
        return d.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
    }
    static void UseTool(CImageClipDlg& d, ClipTool tool) { d.ToolBar()->ToolAction(tool)->trigger(); }
    // The window pixel of a picture-relative point.
    static QPoint At(CImageClipDlg& d, float x, float y) { return d.Model().Geometry().ToPixel({x, y}); }
    static void Click(CImageClipDlg& d, QPoint p) { QTest::mouseClick(d.EditWindow(), Qt::LeftButton, {}, p); }
    // What the window system delivers for a double click: press, release, double click, release.
    static void DoubleClick(CImageClipDlg& d, QPoint p)
    {
        Click(d, p);
        QTest::mouseDClick(d.EditWindow(), Qt::LeftButton, {}, p);
        QTest::mouseRelease(d.EditWindow(), Qt::LeftButton, {}, p);
    }

    void StoreSquare(int conditioning)
    {
        ClipPolylineSet set;
        set.polylines.push_back({{{0.25f, 0.75f}, {0.75f, 0.75f}, {0.75f, 0.25f}, {0.25f, 0.25f}}, conditioning, 55.0f, 1});
        SetClipping(doc.Settings(), set);
    }
    int LastFlags() const { return maps->requests.empty() ? -1 : maps->requests.back().flags; }

    // Takes every message, so none waits for a person.
    CPromptRecorder prompt;
    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
    RequestRecorder* maps = new RequestRecorder;
    CTessarixDoc doc{std::unique_ptr<IMapComputations>(maps)};
};

TEST_F(ImageClipDialog, RectangleDrawnWithTheMouseIsStoredAsAnImageClipStep)
{
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        EXPECT_TRUE(d.SelectedNumber()->text().isEmpty());
        EXPECT_FALSE(d.ConditioningCheck()->isEnabled());
        UseTool(d, ClipTool::Rect);
        EXPECT_TRUE(d.ToolBar()->ToolAction(ClipTool::Rect)->isChecked());
        EXPECT_EQ(d.EditWindow()->cursor().shape(), Qt::BlankCursor);
        // From bottom right to top left.
        Click(d, At(d, 0.75f, 0.25f));
        Click(d, At(d, 0.25f, 0.75f));
        EXPECT_FALSE(d.ToolBar()->ToolAction(ClipTool::Rect)->isChecked());
        EXPECT_EQ(d.SelectedNumber()->text(), QStringLiteral("1"));
        EXPECT_TRUE(d.ConditioningCheck()->isEnabled());
        EXPECT_FALSE(d.LevelField()->isEnabled());
        // New polylines take the default level.
        EXPECT_EQ(d.LevelField()->text(), QStringLiteral("50"));
        Ok(d);
    }));
    const ClipPolylineSet stored = ClippingOf(doc.Settings());
    ASSERT_EQ(stored.polylines.size(), 1u);
    ASSERT_EQ(stored.polylines[0].vertices.size(), 4u);
    // Top left first, within a pixel of the picture fractions clicked.
    EXPECT_NEAR(stored.polylines[0].vertices[0].x, 0.25f, 0.01f);
    EXPECT_NEAR(stored.polylines[0].vertices[0].y, 0.75f, 0.01f);
    EXPECT_NEAR(stored.polylines[0].vertices[2].x, 0.75f, 0.01f);
    EXPECT_EQ(doc.UndoMenuText(), QStringLiteral("&Undo Image Clip\t(Ctrl+Z)"));
    EXPECT_TRUE(doc.IsModified());
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), before);
}

TEST_F(ImageClipDialog, LineEndedAfterTwoClicksShowsMessage409AndLeavesNothing)
{
    const QString undoBefore = doc.UndoMenuText();
    EXPECT_FALSE(Run([&](CImageClipDlg& d) {
        UseTool(d, ClipTool::Line);
        Click(d, At(d, 0.2f, 0.2f));
        DoubleClick(d, At(d, 0.6f, 0.6f));
        EXPECT_TRUE(d.Model().Set().polylines.empty());
        EXPECT_FALSE(d.ToolBar()->ToolAction(ClipTool::Line)->isChecked());
        Ok(d);
    }));
    EXPECT_EQ(prompt.Messages(), QStringList{TxString(IDS_CLIP_TOO_FEW_POINTS)});
    EXPECT_EQ(prompt.Messages().value(0),
              QStringLiteral("WARNING! Not enough points to define a polyline (minimum 3 points)"));
    EXPECT_EQ(doc.Settings().PolylineCount(), 0);
    EXPECT_EQ(doc.UndoMenuText(), undoBefore) << "nothing changed, nothing recorded";
    EXPECT_FALSE(doc.IsModified());
}

TEST_F(ImageClipDialog, LineOfThreeClicksAndADoubleClickMakesAPolyline)
{
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        UseTool(d, ClipTool::Line);
        Click(d, At(d, 0.2f, 0.2f));
        Click(d, At(d, 0.8f, 0.2f));
        DoubleClick(d, At(d, 0.5f, 0.8f));
        Ok(d);
    }));
    ASSERT_EQ(doc.Settings().PolylineCount(), 1);
    EXPECT_EQ(doc.Settings().clipPolylines[0], 3);
}

TEST_F(ImageClipDialog, VertexMovedWithTheMouseOnAPlainPolylineRedrawsOnly)
{
    StoreSquare(0);
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        const QPoint from = At(d, 0.75f, 0.25f);
        const QPoint to = At(d, 0.9f, 0.1f);
        QTest::mousePress(d.EditWindow(), Qt::LeftButton, {}, from + QPoint(2, -1));
        QTest::mouseMove(d.EditWindow(), to);
        QTest::mouseRelease(d.EditWindow(), Qt::LeftButton, {}, to);
        Ok(d);
    }));
    EXPECT_NEAR(doc.Settings().clipPoints[2].x, 0.9f, 0.01f);
    EXPECT_NEAR(doc.Settings().clipPoints[2].y, 0.1f, 0.01f);
    ASSERT_FALSE(maps->requests.empty());
    for (const auto& r : maps->requests)
        EXPECT_EQ(r.flags, RECALC_BITMAP);
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), before);
}

TEST_F(ImageClipDialog, LevelOnlyChangeRecomputesTheMaps)
{
    StoreSquare(1);
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        EXPECT_TRUE(d.ConditioningCheck()->isChecked());
        EXPECT_TRUE(d.LevelField()->isEnabled());
        EXPECT_EQ(d.LevelField()->text(), QStringLiteral("55"));
        d.LevelField()->selectAll();
        QTest::keyClicks(d.LevelField(), QStringLiteral("72.5"));
        Ok(d);
    }));
    EXPECT_FLOAT_EQ(doc.Settings().conditioningLevels[0], 72.5f);
    EXPECT_EQ(LastFlags(), RECALC_ALL);
    doc.Undo();
    EXPECT_EQ(doc.WriteFileBytes(), before);
    EXPECT_EQ(LastFlags(), RECALC_ALL);
}

TEST_F(ImageClipDialog, ConditioningCheckEnablesLevelAndStep)
{
    StoreSquare(0);
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        EXPECT_TRUE(d.ConditioningCheck()->isEnabled());
        EXPECT_FALSE(d.LevelField()->isEnabled());
        EXPECT_FALSE(d.StepField()->isEnabled());
        QTest::mouseClick(d.ConditioningCheck(), Qt::LeftButton);
        EXPECT_TRUE(d.LevelField()->isEnabled());
        EXPECT_TRUE(d.StepField()->isEnabled());
        d.StepField()->setText(QStringLiteral("4"));
        Ok(d);
    }));
    EXPECT_EQ(doc.Settings().conditioningFlags[0], 1);
    EXPECT_EQ(doc.Settings().conditioningSteps[0], 4);
}

TEST_F(ImageClipDialog, StepOutsideOneToHundredKeepsTheDialogOpen)
{
    StoreSquare(1);
    EXPECT_FALSE(Run([&](CImageClipDlg& d) {
        d.StepField()->setText(QStringLiteral("101"));
        d.accept();
        EXPECT_TRUE(d.isVisible());
        EXPECT_EQ(prompt.Messages(), QStringList{QStringLiteral("Enter an integer between 1 and 100.")});
        d.reject();
    }));
    EXPECT_EQ(doc.Settings().conditioningSteps[0], 1);
}

TEST_F(ImageClipDialog, PointToolsOnTheSelectedPolyline)
{
    StoreSquare(0);
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        UseTool(d, ClipTool::AddPoint);
        // On the closing segment, the left side: the new vertex goes after the last one.
        const QPoint onLeftSide = At(d, 0.25f, 0.5f);
        Click(d, onLeftSide);
        const auto& v = d.Model().Set().polylines[0].vertices;
        ASSERT_EQ(v.size(), 5u);
        EXPECT_EQ(d.Model().Geometry().ToPixel(v[4]), onLeftSide);
        Click(d, At(d, 0.5f, 0.5f));
        EXPECT_EQ(prompt.beeps, 1);
        UseTool(d, ClipTool::RemovePoint);
        for (float y : {0.75f, 0.25f})
            Click(d, At(d, 0.75f, y));
        EXPECT_EQ(d.Model().Set().polylines[0].vertices.size(), 3u);
        Click(d, At(d, 0.25f, 0.25f));
        EXPECT_EQ(prompt.beeps, 2) << "three vertices are the least";
        Ok(d);
    }));
    EXPECT_EQ(doc.Settings().clipPolylines, std::vector<int32_t>{3});
}

TEST_F(ImageClipDialog, DeleteAndSelectionSpin)
{
    StoreSquare(0);
    ClipPolylineSet set = ClippingOf(doc.Settings());
    set.polylines.push_back({{{0.1f, 0.1f}, {0.2f, 0.1f}, {0.2f, 0.2f}}, 1, 40.0f, 2});
    SetClipping(doc.Settings(), set);
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        EXPECT_EQ(d.SelectedNumber()->text(), QStringLiteral("2"));
        EXPECT_EQ(d.StepField()->text(), QStringLiteral("2"));
        QTest::mouseClick(d.SelectDown(), Qt::LeftButton);
        EXPECT_EQ(d.SelectedNumber()->text(), QStringLiteral("1"));
        EXPECT_FALSE(d.ConditioningCheck()->isChecked());
        QTest::mouseClick(d.SelectDown(), Qt::LeftButton);
        EXPECT_EQ(d.SelectedNumber()->text(), QStringLiteral("1")) << "clamped at the first";
        d.ToolBar()->DeleteAction()->trigger();
        EXPECT_EQ(d.SelectedNumber()->text(), QStringLiteral("1"));
        EXPECT_TRUE(d.ConditioningCheck()->isChecked()) << "the former second polyline is shown";
        d.ToolBar()->DeleteAction()->trigger();
        EXPECT_TRUE(d.SelectedNumber()->text().isEmpty());
        EXPECT_FALSE(d.SelectUp()->isEnabled());
        EXPECT_FALSE(d.ConditioningCheck()->isEnabled());
        Ok(d);
    }));
    EXPECT_EQ(doc.Settings().PolylineCount(), 0);
    EXPECT_EQ(LastFlags(), RECALC_ALL);
}

TEST_F(ImageClipDialog, ChoicesAreStoredAndTestClippingHidesThePictureOutside)
{
    StoreSquare(0);
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        const QPoint outside = At(d, 0.1f, 0.5f);
        const QPoint inside = At(d, 0.5f, 0.5f);
        const QColor background = d.EditWindow()->palette().color(QPalette::Window);
        const QImage shown = d.EditWindow()->Render();
        EXPECT_NE(shown.pixelColor(outside), background) << "the whole picture without the test";
        d.TestClippingCheck()->setChecked(true);
        const QImage clipped = d.EditWindow()->Render();
        EXPECT_EQ(clipped.pixelColor(outside), background);
        EXPECT_EQ(clipped.pixelColor(inside), shown.pixelColor(inside));
        d.TargetChoice()->setCurrentIndex(2);
        d.FillModeChoice()->setCurrentIndex(1);
        d.AutoBoundaryCheck()->setChecked(true);
        Ok(d);
    }));
    EXPECT_EQ(doc.Settings().clipTarget, ClipMapAndImage);
    EXPECT_EQ(doc.Settings().clipFillMode, 1);
    EXPECT_EQ(doc.Settings().autoBoundaryPolyline, 1);
    EXPECT_EQ(LastFlags(), RECALC_BITMAP);
}

TEST_F(ImageClipDialog, OpensAtTheSizeTheEditDataDialogLeftAndKeepsTheDefaultLevel)
{
    store->WriteInt(QStringLiteral("EditDataDlg"), QStringLiteral("Width"), 900);
    store->WriteInt(QStringLiteral("EditDataDlg"), QStringLiteral("Height"), 700);
    store->WriteFloat(QStringLiteral("EditDataDlg"), QStringLiteral("DefaultLevel"), 47.5f);
    EXPECT_TRUE(Run([&](CImageClipDlg& d) {
        EXPECT_EQ(d.size(), QSize(900, 700));
        UseTool(d, ClipTool::Ellipse);
        Click(d, At(d, 0.2f, 0.2f));
        Click(d, At(d, 0.6f, 0.7f));
        EXPECT_EQ(d.LevelField()->text(), QStringLiteral("47.5"));
        d.resize(950, 720);
        Ok(d);
    }));
    EXPECT_EQ(doc.Settings().clipPolylines, std::vector<int32_t>{40});
    EXPECT_FLOAT_EQ(doc.Settings().conditioningLevels[0], 47.5f);
    EXPECT_EQ(store->ReadInt(QStringLiteral("EditDataDlg"), QStringLiteral("Width"), 0), 950);
    EXPECT_FLOAT_EQ(store->ReadFloat(QStringLiteral("EditDataDlg"), QStringLiteral("DefaultLevel"), 0.0f), 47.5f);
}

TEST_F(ImageClipDialog, CancelChangesNothing)
{
    StoreSquare(0);
    const QByteArray before = doc.WriteFileBytes();
    EXPECT_FALSE(Run([&](CImageClipDlg& d) {
        d.ToolBar()->DeleteAction()->trigger();
        d.reject();
    }));
    EXPECT_EQ(doc.WriteFileBytes(), before);
    EXPECT_FALSE(doc.IsModified());
}

}  // namespace
