// The properties pane driven through its widgets (offscreen): typing into cells, choosing from
// lists and pickers, the tool bar, and the "Set Pen" dialog. Dialogs are replaced by fakes.

#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <memory>

#include "../support/Recorders.h"
#include "../support/TemporaryProfile.h"
#include "app/PropertiesWnd.h"
#include "app/SimplePenDlg.h"
#include "document/DocStrings.h"
#include "document/TessarixDoc.h"
#include "document/UndoStack.h"
#include "util/StringTable.h"

namespace {

class PropertiesWndTest : public ::testing::Test {
protected:
    PropertiesWndTest() : doc(Recorder())
    {
        doc.OnNewDocument();
        store = TemporaryProfileStore(dir);
        MakePane();
        requests->requests.clear();
    }
    std::unique_ptr<IMapComputations> Recorder()
    {
        auto r = std::make_unique<RequestRecorder>();
        requests = r.get();
        return r;
    }
    void MakePane()
    {
        pane.reset();
        pane = std::make_unique<CPropertiesWnd>(doc, store.get(), std::vector<SymbolSetEntry>{{QStringLiteral("Glyphs"), {33, 90}}});
        pane->resize(320, 700);
        pane->show();
    }
    int Row(int32_t group, int32_t name) const { return FindProperty(group, name); }
    CPropertyCell* Cell(int32_t group, int32_t name) const { return pane->Cell(Row(group, name)); }
    void Type(int32_t group, int32_t name, const QString& text)
    {
        auto* line = qobject_cast<QLineEdit*>(Cell(group, name)->Editor());
        ASSERT_NE(line, nullptr);
        line->selectAll();
        QTest::keyClicks(line, text);
        QTest::keyClick(line, Qt::Key_Return);
    }
    void Choose(int32_t group, int32_t name, const QString& text)
    {
        auto* combo = qobject_cast<QComboBox*>(Cell(group, name)->Editor());
        ASSERT_NE(combo, nullptr);
        const int index = combo->findText(text);
        ASSERT_GE(index, 0) << text.toStdString();
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
    bool Bold(int32_t group, int32_t name) const { return pane->Item(Row(group, name))->font(0).bold(); }

    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> store;
    RequestRecorder* requests = nullptr;  // owned by doc
    CTessarixDoc doc;
    std::unique_ptr<CPropertiesWnd> pane;
};

TEST_F(PropertiesWndTest, DelayUpdateEditOfXStartLeavesTheMapUntilApplyChangesRendersOnce)
{
    pane->DelayUpdateAction()->trigger();
    ASSERT_TRUE(pane->DelayUpdateAction()->isChecked());
    EXPECT_FALSE(pane->ApplyChangesAction()->isEnabled());

    Type(IDS_PROP_GROUP_X_AXIS, IDS_PROP_START, QStringLiteral("0.6"));
    Type(IDS_PROP_GROUP_X_AXIS, IDS_PROP_STOP, QStringLiteral("4.6"));
    EXPECT_EQ(doc.Settings().xAxis.start, 0.0f);
    EXPECT_TRUE(requests->requests.empty());
    EXPECT_TRUE(doc.UndoHistory().IsEmpty());
    EXPECT_TRUE(Bold(IDS_PROP_GROUP_X_AXIS, IDS_PROP_START)) << "pending values show in bold";
    EXPECT_TRUE(Cell(IDS_PROP_GROUP_X_AXIS, IDS_PROP_START)->Editor()->font().bold());
    EXPECT_FALSE(Bold(IDS_PROP_GROUP_X_AXIS, IDS_PROP_STEP));
    EXPECT_TRUE(pane->ApplyChangesAction()->isEnabled());

    pane->ApplyChangesAction()->trigger();
    EXPECT_EQ(doc.Settings().xAxis.start, 0.6f);
    EXPECT_EQ(doc.Settings().xAxis.stop, 4.6f);
    EXPECT_EQ(doc.UndoHistory().Depth(), 1);
    EXPECT_EQ(requests->requests.size(), doc.EnabledColumnIndices().size()) << "one round of maps";
    EXPECT_FALSE(Bold(IDS_PROP_GROUP_X_AXIS, IDS_PROP_START));
    EXPECT_FALSE(pane->ApplyChangesAction()->isEnabled());
}

TEST_F(PropertiesWndTest, RefusedNumberShowsTheValueAgainAndChangesNothing)
{
    Type(IDS_PROP_GROUP_Y_AXIS, IDS_PROP_STEP, QStringLiteral("lots"));
    EXPECT_EQ(doc.Settings().yAxis.step, 0.1f);
    EXPECT_EQ(qobject_cast<QLineEdit*>(Cell(IDS_PROP_GROUP_Y_AXIS, IDS_PROP_STEP)->Editor())->text(), QStringLiteral("0.1"));
    EXPECT_TRUE(doc.UndoHistory().IsEmpty());
}

TEST_F(PropertiesWndTest, FixedAmplitudeScaleModeDisablesZStartAndStop)
{
    const auto zEnabled = [this](int32_t name) { return Cell(IDS_PROP_GROUP_Z_AXIS, name)->isEnabled(); };
    EXPECT_TRUE(zEnabled(IDS_PROP_START));
    EXPECT_FALSE(zEnabled(IDS_PROP_FIXED_AMPLITUDE));
    Choose(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_SCALE_MODE, QStringLiteral("Fixed Amplitude from Max Level"));
    EXPECT_EQ(doc.Settings().scaleMode, ScaleFixedAmplitude);
    EXPECT_FALSE(zEnabled(IDS_PROP_START));
    EXPECT_FALSE(zEnabled(IDS_PROP_STOP));
    EXPECT_TRUE(zEnabled(IDS_PROP_FIXED_AMPLITUDE));
    EXPECT_TRUE(pane->Item(Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_START))->isDisabled());
    EXPECT_TRUE(Cell(IDS_PROP_GROUP_X_AXIS, IDS_PROP_START)->isEnabled());
}

TEST_F(PropertiesWndTest, DefaultSetIsStoredEmptyAndTheRebuiltPaneShowsItAgain)
{
    Choose(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL_SET, QStringLiteral("Glyphs"));
    EXPECT_EQ(doc.Settings().symbolSet, QStringLiteral("Glyphs"));
    auto* spin = qobject_cast<QSpinBox*>(Cell(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL)->Editor());
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->value(), 8 + 33) << "the symbol moves with its set's first code";
    EXPECT_EQ(spin->maximum(), 90);

    Choose(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL_SET, QStringLiteral("Default Set"));
    EXPECT_TRUE(doc.Settings().symbolSet.isEmpty());
    MakePane();
    auto* combo = qobject_cast<QComboBox*>(Cell(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL_SET)->Editor());
    EXPECT_EQ(combo->currentText(), QStringLiteral("Default Set"));
}

TEST_F(PropertiesWndTest, SymbolSetNoLongerInstalledStaysSelectedByName)
{
    doc.Settings().symbolSet = QStringLiteral("Old Dingbats");
    pane->Reload();
    auto* combo = qobject_cast<QComboBox*>(Cell(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL_SET)->Editor());
    EXPECT_EQ(combo->currentText(), QStringLiteral("Old Dingbats"));
    EXPECT_EQ(qobject_cast<QSpinBox*>(Cell(IDS_PROP_GROUP_POSITIONS, IDS_PROP_SYMBOL)->Editor())->maximum(), 26);
}

TEST_F(PropertiesWndTest, ColourPickerDefaultIsTheButtonFaceAndOtherOpensTheChooser)
{
    int asked = 0;
    pane->SetColorChooser([&asked](QWidget*, TxColor& c) {
        ++asked;
        c = 0x00336699;
        return true;
    });
    QMenu* menu = Cell(IDS_PROP_GROUP_GENERAL, IDS_PROP_GRAPH_COLOR)->ColorMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> actions = menu->actions();
    ASSERT_EQ(actions.first()->text(), QStringLiteral("Default"));
    ASSERT_EQ(actions.last()->text(), QStringLiteral("Other..."));
    actions.last()->trigger();
    EXPECT_EQ(asked, 1);
    EXPECT_EQ(doc.Settings().graphColor, 0x00336699u);
    actions.first()->trigger();
    EXPECT_EQ(doc.Settings().graphColor, FromQColor(pane->palette().color(QPalette::Button)));
    EXPECT_EQ(doc.UndoHistory().Depth(), 2);
}

TEST_F(PropertiesWndTest, ColourScaleCellRunsTheInjectedEditorAndCancelChangesNothing)
{
    bool accept = false;
    pane->SetColorScaleEditor([&accept](QWidget*, CKWColorScale& scale) {
        scale.RemoveStop(1);
        return accept;
    });
    auto* button = qobject_cast<QToolButton*>(Cell(IDS_PROP_GROUP_COLOR_SCALE, IDS_PROP_SCALE)->Editor());
    ASSERT_NE(button, nullptr);
    ASSERT_TRUE(button->isEnabled());
    button->click();
    EXPECT_EQ(doc.Settings().colorScale.Count(), 5);
    EXPECT_TRUE(doc.UndoHistory().IsEmpty());
    accept = true;
    button->click();
    EXPECT_EQ(doc.Settings().colorScale.Count(), 4);
    EXPECT_EQ(doc.UndoHistory().Depth(), 1);
    doc.Undo();
    pane->Reload();
    EXPECT_EQ(Cell(IDS_PROP_GROUP_COLOR_SCALE, IDS_PROP_SCALE)->Value().scale.Count(), 5);
}

TEST_F(PropertiesWndTest, FontCellTakesTheChosenFontAndItsColourButton)
{
    pane->SetFontChooser([](QWidget*, FontRecord& f) {
        f.SetFace("DejaVu Serif");
        f.height = 120;
        return true;
    });
    pane->SetColorChooser([](QWidget*, TxColor& c) {
        c = 0x0000FF;
        return true;
    });
    CPropertyCell* cell = Cell(IDS_PROP_GROUP_CONTOUR_LABELS, IDS_PROP_FONT);
    qobject_cast<QToolButton*>(cell->Editor())->click();
    cell->FontColorButton()->click();
    EXPECT_STREQ(doc.Settings().labelFont.Face(), "DejaVu Serif");
    EXPECT_EQ(doc.Settings().labelFont.height, 120);
    EXPECT_EQ(doc.Settings().labelFontColor, 0x0000FFu);
    EXPECT_EQ(doc.UndoHistory().Depth(), 2);
}

TEST_F(PropertiesWndTest, SortedListsEveryRowAlphabeticallyAndCategorizedRestoresTheGroups)
{
    QTreeWidget* grid = pane->Grid();
    EXPECT_EQ(grid->topLevelItemCount(), 8);
    EXPECT_EQ(grid->topLevelItem(6)->text(0), QStringLiteral("Measurement Positions"));
    EXPECT_EQ(grid->topLevelItem(7)->text(0), QStringLiteral("Interpolation"));
    grid->collapseAll();
    pane->ExpandAllAction()->trigger();
    for (int i = 0; i < grid->topLevelItemCount(); ++i)
        EXPECT_TRUE(grid->topLevelItem(i)->isExpanded());

    pane->SortedAction()->trigger();
    ASSERT_EQ(grid->topLevelItemCount(), int(PropertyDefinitions().size()));
    for (int i = 1; i < grid->topLevelItemCount(); ++i)
        EXPECT_LE(grid->topLevelItem(i - 1)->text(0).compare(grid->topLevelItem(i)->text(0), Qt::CaseInsensitive), 0);
    // The cells still edit their own rows after the rebuild.
    Type(IDS_PROP_GROUP_Y_AXIS, IDS_PROP_STOP, QStringLiteral("25"));
    EXPECT_EQ(doc.Settings().yAxis.stop, 25.0f);

    pane->SortedAction()->trigger();
    EXPECT_EQ(grid->topLevelItemCount(), 8);
}

TEST_F(PropertiesWndTest, DelayUpdateIsRememberedAndSelectingARowShowsItsDescription)
{
    pane->DelayUpdateAction()->trigger();
    MakePane();
    EXPECT_TRUE(pane->DelayUpdateAction()->isChecked());
    pane->Grid()->setCurrentItem(pane->Item(Row(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_SCALE_MODE)));
    EXPECT_TRUE(pane->DescriptionArea()->text().contains(
        QStringLiteral("Select the amplitude scale mode, Normal or Fixed Amplitude From Max level.")));
}

// ---- "Set Pen" ----

struct PenCase {
    const char* name;
    PenRecord pen;
    bool thicknessEnabled;
    const char* thickness;
};

class SimplePenDlgTest : public ::testing::TestWithParam<PenCase> {};

TEST_P(SimplePenDlgTest, ThicknessListFollowsTheStyleAndTheClampedWidth)
{
    CSimplePenDlg dialog(GetParam().pen);
    EXPECT_EQ(dialog.ThicknessList()->isEnabled(), GetParam().thicknessEnabled);
    EXPECT_EQ(dialog.ThicknessList()->currentText(), QString::fromLatin1(GetParam().thickness));
    const PenRecord out = dialog.Pen();
    EXPECT_EQ(out.style, GetParam().pen.style);
    EXPECT_EQ(out.width, QString::fromLatin1(GetParam().thickness).toInt());
    EXPECT_EQ(out.reserved, 0);
}

INSTANTIATE_TEST_SUITE_P(Pens, SimplePenDlgTest,
                         ::testing::Values(PenCase{"SolidWidth3", {PenSolid, 3, 0, 0}, true, "3"},
                                           PenCase{"DashWidth9ShowsFive", {PenDash, 9, 0, 0}, false, "5"},
                                           PenCase{"SolidWidth0ShowsOne", {PenSolid, 0, 0, 0}, true, "1"},
                                           PenCase{"InvisibleIsNotSolid", {PenInvisible, 2, 0, 0}, false, "2"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SimplePenDlgTest, ChoosingDashDisablesThicknessAndTheColourShowsAtOnce)
{
    CSimplePenDlg dialog(PenRecord{PenSolid, 2, 0, 0}, nullptr, [](QWidget*, TxColor& c) {
        c = 0x00FF0000;
        return true;
    });
    dialog.StyleList()->setCurrentIndex(PenDash);
    EXPECT_FALSE(dialog.ThicknessList()->isEnabled());
    dialog.StyleList()->setCurrentIndex(PenSolid);
    EXPECT_TRUE(dialog.ThicknessList()->isEnabled());
    const qint64 before = dialog.ColorButton()->icon().cacheKey();
    dialog.ColorButton()->click();
    EXPECT_NE(dialog.ColorButton()->icon().cacheKey(), before);
    EXPECT_EQ(dialog.Pen().color, 0x00FF0000u);
}

TEST_F(PropertiesWndTest, PenCellStoresWhatTheSetPenDialogReturns)
{
    pane->SetPenEditor([](QWidget*, PenRecord& pen) {
        pen = PenRecord{PenDashDot, 5, 0, 0x0000FF};
        return true;
    });
    qobject_cast<QToolButton*>(Cell(IDS_PROP_GROUP_GENERAL, IDS_PROP_DEFAULT_PEN)->Editor())->click();
    EXPECT_EQ(doc.Settings().contourPen, (PenRecord{PenDashDot, 5, 0, 0x0000FF}));
    doc.Undo();
    EXPECT_EQ(doc.Settings().contourPen, PenRecord{});
}

}  // namespace
