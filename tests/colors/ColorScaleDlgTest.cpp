// The "Color Scale" dialog driven offscreen with the mouse: markers line up with the bar, clicks
// insert, drags re-sort and remove, the buttons follow the selection, and ".csc" files load and
// save through the file dialogs without a failed load changing anything.

#include <QApplication>
#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "../support/PromptRecorder.h"
#include "../support/TemporaryProfile.h"
#include "colors/ColButtn.h"
#include "colors/ColorScaleDlg.h"
#include "colors/TXColTableMarker.h"
#include "colors/TXColTableSpectrum.h"
#include "util/Archive.h"
#include "util/KWProfileStore.h"

namespace {

const TxColor kGreen = TxRgb(0, 128, 0);
const TxColor kYellow = TxRgb(255, 255, 0);
const TxColor kOrange = TxRgb(255, 128, 0);

CKWColorScale LabelledMapScale()
{
    CKWColorScale scale = CKWColorScale::MapDefault();
    scale.SetRange(40.0f, 90.0f);
    return scale;
}

// Runs `answer` on the modal dialog of type D that the next action opens.
template <typename D>
void AnswerNextModal(std::function<void(D&)> answer)
{
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<D*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(*dialog);
    });
}

void WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(bytes);
}

class ColorScaleDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = TemporaryProfileStore(dir);
        Open(LabelledMapScale());
    }
    void Open(const CKWColorScale& scale)
    {
        dialog = std::make_unique<CColorScaleDlg>(scale, *store);
        dialog->show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(dialog.get()));
    }
    CColorScaleEditModel& Model() { return dialog->Model(); }
    QWidget* Strip() { return dialog->Strip(); }
    // A point on the strip at `fraction` of the scale, at the height of the markers.
    QPoint At(float fraction) { return {Model().PixelOf(fraction), 8}; }
    QPoint OnMarker(int stop) { return At(Model().Scale().Item(stop).position); }
    void Click(QPoint p) { QTest::mouseClick(Strip(), Qt::LeftButton, {}, p); }
    void Drag(QPoint from, QPoint to)
    {
        QTest::mousePress(Strip(), Qt::LeftButton, {}, from);
        QTest::mouseMove(Strip(), QPoint((from.x() + to.x()) / 2, to.y()));
        QTest::mouseMove(Strip(), to);
        QTest::mouseRelease(Strip(), Qt::LeftButton, {}, to);
    }
    QString CscPath(const char* name) { return dir.filePath(QLatin1String(name)); }

    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
    std::unique_ptr<CColorScaleDlg> dialog;
    CPromptRecorder prompt;
};

TEST_F(ColorScaleDialog, MarkersLineUpWithTheSpectrumBar)
{
    const QWidget* bar = dialog->Spectrum();
    const int barLeft = bar->mapTo(dialog.get(), QPoint(0, 0)).x() - Strip()->mapTo(dialog.get(), QPoint(0, 0)).x();
    EXPECT_GT(barLeft, 0) << "the strip has room for the first marker's label";
    EXPECT_EQ(Model().Left(), barLeft);
    EXPECT_EQ(Model().Right(), barLeft + bar->width());

    dialog->resize(dialog->width() + 100, dialog->height());
    QApplication::processEvents();
    EXPECT_EQ(Model().Right() - Model().Left(), bar->width()) << "limits follow a resize";
}

TEST_F(ColorScaleDialog, OpensWithTheFirstStopSelected)
{
    EXPECT_EQ(Model().Selected(), 0);
    EXPECT_EQ(dialog->ColorButton()->Color(), TxRgb(0, 0, 128));
    EXPECT_TRUE(dialog->ColorButton()->isEnabled());
    EXPECT_FALSE(dialog->RemoveButton()->isEnabled());
}

TEST_F(ColorScaleDialog, ClickBetweenMarkersInsertsTheInterpolatedColour)
{
    const CKWColorScale before = Model().Scale();
    const QPoint click = At(0.6f);
    Click(click);
    ASSERT_EQ(Model().Scale().Count(), 6);
    EXPECT_EQ(Model().Selected(), 3);
    const float position = Model().FractionAt(click.x());
    EXPECT_FLOAT_EQ(Model().Scale().Item(3).position, position);
    EXPECT_EQ(Model().Scale().Item(3).color, before.ColorBetween(2, position));
    EXPECT_EQ(dialog->ColorButton()->Color(), before.ColorBetween(2, position));
    EXPECT_TRUE(dialog->RemoveButton()->isEnabled());
    EXPECT_EQ(Model().Label(3), QString::asprintf("%.0f", 40.0 + 50.0 * double(position)));
}

TEST_F(ColorScaleDialog, DragPastANeighbourReordersAndKeepsTheStopSelected)
{
    Drag(OnMarker(1), At(0.9f));
    ASSERT_EQ(Model().Scale().Count(), 5);
    EXPECT_EQ(Model().Selected(), 3);
    EXPECT_EQ(Model().Scale().Item(3).color, kGreen);
    EXPECT_EQ(Model().Scale().Item(1).color, kYellow);
    EXPECT_EQ(Model().Scale().Item(2).color, kOrange);
    EXPECT_EQ(dialog->ColorButton()->Color(), kGreen);
    EXPECT_TRUE(dialog->RemoveButton()->isEnabled());
}

struct OffStripCase {
    const char* name;
    int stop;
    int offset;  // pixels beyond the scale's end, negative to the left
    bool removed;
};

class DragOffTheStrip : public ColorScaleDialog, public ::testing::WithParamInterface<OffStripCase> {};

TEST_P(DragOffTheStrip, RemovesOnlyInnerStops)
{
    const OffStripCase& c = GetParam();
    const int x = c.offset < 0 ? Model().Left() + c.offset : Model().Right() + c.offset;
    Drag(OnMarker(c.stop), QPoint(x, 40));
    EXPECT_EQ(Model().Scale().Count(), c.removed ? 4 : 5);
    if (!c.removed) {
        EXPECT_EQ(Model().Scale(), LabelledMapScale());
    }
    EXPECT_EQ(dialog->RemoveButton()->isEnabled(), Model().CanRemove());
    EXPECT_EQ(dialog->ColorButton()->Color(), Model().Scale().Item(Model().Selected()).color);
}

INSTANTIATE_TEST_SUITE_P(Mouse, DragOffTheStrip,
                         ::testing::Values(OffStripCase{"inner_to_the_left", 2, -30, true},
                                           OffStripCase{"inner_to_the_right", 1, 30, true},
                                           OffStripCase{"inner_beyond_the_window", 3, -200, true},
                                           OffStripCase{"first_to_the_left", 0, -30, false},
                                           OffStripCase{"last_to_the_right", 4, 30, false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ColorScaleDialog, RemoveButtonStaysDisabledWithTwoStops)
{
    Open(CKWColorScale());
    for (int stop : {0, 1, 0}) {
        Click(OnMarker(stop));
        EXPECT_EQ(Model().Selected(), stop);
        EXPECT_FALSE(dialog->RemoveButton()->isEnabled()) << "stop " << stop;
        EXPECT_TRUE(dialog->ColorButton()->isEnabled());
    }
    Click(At(0.5f));
    ASSERT_EQ(Model().Scale().Count(), 3);
    EXPECT_TRUE(dialog->RemoveButton()->isEnabled());
    QTest::mouseClick(dialog->RemoveButton(), Qt::LeftButton);
    EXPECT_EQ(Model().Scale(), CKWColorScale());
    EXPECT_EQ(Model().Selected(), 1);
    EXPECT_FALSE(dialog->RemoveButton()->isEnabled());
}

TEST_F(ColorScaleDialog, CurrentColourPaintsTheSelectedStop)
{
    Click(OnMarker(3));
    AnswerNextModal<QColorDialog>([](QColorDialog& d) {
        EXPECT_EQ(d.currentColor(), QColor(255, 128, 0));
        d.setCurrentColor(QColor(10, 20, 30));
        d.accept();
    });
    QTest::mouseClick(dialog->ColorButton(), Qt::LeftButton);
    EXPECT_EQ(Model().Scale().Item(3).color, TxRgb(10, 20, 30));
    EXPECT_EQ(dialog->ColorButton()->Color(), TxRgb(10, 20, 30));

    AnswerNextModal<QColorDialog>([](QColorDialog& d) {
        d.setCurrentColor(QColor(200, 200, 200));
        d.reject();
    });
    QTest::mouseClick(dialog->ColorButton(), Qt::LeftButton);
    EXPECT_EQ(Model().Scale().Item(3).color, TxRgb(10, 20, 30)) << "Cancel keeps the colour";
}

TEST_F(ColorScaleDialog, LoadReplacesStopsLowAndHighAndRemembersTheFolder)
{
    CKWColorScale saved;
    saved.SetItems({{0.0f, 0x112233}, {0.3f, 0x445566}, {1.0f, 0x778899}});
    saved.SetRange(20.0f, 80.0f);
    const QString path = CscPath("site.csc");
    ASSERT_EQ(saved.SaveFile(path), FileWriteStatus::Ok);
    Click(OnMarker(2));

    AnswerNextModal<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptOpen);
        EXPECT_EQ(d.nameFilters(), QStringList{QStringLiteral("Color scale files (*.csc)")});
        d.selectFile(path);
        static_cast<QDialog&>(d).accept();  // as the Open button does
    });
    QTest::mouseClick(dialog->LoadButton(), Qt::LeftButton);
    EXPECT_EQ(Model().Scale(), saved);
    EXPECT_EQ(Model().Selected(), 0);
    EXPECT_EQ(Model().Label(0), QStringLiteral("20"));
    EXPECT_EQ(Model().Label(2), QStringLiteral("80"));
    EXPECT_EQ(dialog->ColorButton()->Color(), 0x112233u);
    EXPECT_TRUE(prompt.shown.empty());
    EXPECT_EQ(store->ReadString(QStringLiteral("DefaultDirectory"), QStringLiteral("ColorScale"), {}),
              QFileInfo(path).absolutePath());
}

struct FailedLoadCase {
    const char* name;
    QByteArray bytes;  // null: no file at all
    bool told;         // "WARNING! Cannot open file ..." shown
};

class FailedLoad : public ColorScaleDialog, public ::testing::WithParamInterface<FailedLoadCase> {};

TEST_P(FailedLoad, ChangesNothing)
{
    const FailedLoadCase& c = GetParam();
    const QString path = CscPath("bad.csc");
    if (!c.bytes.isNull())
        WriteBytes(path, c.bytes);
    Click(OnMarker(2));
    const CKWColorScale before = Model().Scale();

    EXPECT_FALSE(dialog->LoadScaleFrom(path));
    EXPECT_EQ(Model().Scale(), before);
    EXPECT_EQ(Model().Selected(), 2);
    EXPECT_TRUE(dialog->RemoveButton()->isEnabled());
    if (c.told)
        EXPECT_EQ(prompt.Messages(), QStringList{QStringLiteral("WARNING! Cannot open file %1.").arg(path)});
    else
        EXPECT_TRUE(prompt.shown.empty());
}

QByteArray ShortRecord()
{
    QByteArray bytes;
    CTXArchive ar(&bytes);
    ar.PutInt32(1);
    ar.PutFloat(0.0f);
    ar.PutFloat(50.0f);
    ar.PutInt32(3);  // three stops announced, one present
    ar.PutFloat(0.0f);
    ar.PutInt32(0xFF);
    return bytes;
}

INSTANTIATE_TEST_SUITE_P(Files, FailedLoad,
                         ::testing::Values(FailedLoadCase{"missing_file", QByteArray(), true},
                                           FailedLoadCase{"empty_file", QByteArray(""), false},
                                           FailedLoadCase{"text_file", QByteArray("low=0 high=1\n"), false},
                                           FailedLoadCase{"short_record", ShortRecord(), false}),
                         [](const auto& info) { return info.param.name; });

TEST_F(ColorScaleDialog, SaveAddsTheExtensionAndRemembersTheFolder)
{
    Click(At(0.6f));
    const CKWColorScale edited = Model().Scale();
    const QString base = CscPath("mine");
    AnswerNextModal<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(d.acceptMode(), QFileDialog::AcceptSave);
        EXPECT_EQ(d.defaultSuffix(), QStringLiteral("csc"));
        d.selectFile(base);
        static_cast<QDialog&>(d).accept();
    });
    QTest::mouseClick(dialog->SaveButton(), Qt::LeftButton);
    CKWColorScale loaded;
    ASSERT_EQ(loaded.ReadFile(base + QStringLiteral(".csc")), ColorScaleFileStatus::Ok);
    EXPECT_EQ(loaded, edited);
    EXPECT_EQ(QFileInfo(base + QStringLiteral(".csc")).size(), 4 + 4 + 4 + 4 + 6 * 8);
    EXPECT_EQ(store->ReadString(QStringLiteral("DefaultDirectory"), QStringLiteral("ColorScale"), {}), dir.path());

    // The next file dialog starts in that folder.
    AnswerNextModal<QFileDialog>([&](QFileDialog& d) {
        EXPECT_EQ(d.directory().absolutePath(), QDir(dir.path()).absolutePath());
        d.reject();
    });
    QTest::mouseClick(dialog->LoadButton(), Qt::LeftButton);
    EXPECT_EQ(Model().Scale(), edited);
}

TEST_F(ColorScaleDialog, SaveIntoAMissingFolderTellsTheUser)
{
    const QString path = CscPath("no/such/folder/x.csc");
    EXPECT_FALSE(dialog->SaveScaleTo(path));
    EXPECT_EQ(prompt.Messages(), QStringList{QStringLiteral("WARNING! Cannot open file %1.").arg(path)});
}

class RunDialog : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        store = TemporaryProfileStore(dir);
    }
    // Opens the dialog on `scale`, inserts a stop by clicking, and closes it with OK or Cancel.
    bool EditAndClose(CKWColorScale& scale, bool ok)
    {
        AnswerNextModal<CColorScaleDlg>([ok](CColorScaleDlg& d) {
            QTest::mouseClick(d.Strip(), Qt::LeftButton, {}, QPoint(d.Model().PixelOf(0.6f), 8));
            EXPECT_EQ(d.Model().Scale().Count(), 6);
            ok ? d.accept() : d.reject();
        });
        return RunColorScaleDlg(nullptr, scale, *store);
    }
    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
};

TEST_F(RunDialog, OkReplacesTheScaleAndCancelKeepsIt)
{
    CKWColorScale scale = LabelledMapScale();
    EXPECT_FALSE(EditAndClose(scale, false));
    EXPECT_EQ(scale, LabelledMapScale());
    EXPECT_TRUE(EditAndClose(scale, true));
    EXPECT_EQ(scale.Count(), 6);
    EXPECT_EQ(scale.Low(), 40.0f);
    EXPECT_EQ(scale.High(), 90.0f);
}

}  // namespace
