// Main Setup: the column rules of the model and what the dialog lets the user do and write.
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <ostream>

#include <functional>

#include "SetupTestDoubles.h"
#include "dataentry/MainSetupDlg.h"
#include "dataentry/MainSetupModel.h"
#include "dataentry/GridSetupDlg.h"
#include "util/StringTable.h"

namespace {

// Another folder reusing one of these identifiers would silently replace the text.
TEST(SetupTexts, IdentifiersHoldTheirOwnTexts)
{
    const struct { int id; const char* text; } rows[] = {
        {ID_TESSARIX_SETUP, "Setup the Tessarix document\nSetup"},
        {ID_TESSARIX_GRID, "Setup the Tessarix gridding parameters\nGrid"},
        {401, "Multiquadric"}, {402, "Madych - Nelson"}, {403, "Thin Plate Spline"},
        {3005, "Insert a value greater then %1."},
        {3030, "WARNING! Invalid map extent."},
        {IDP_PARSE_INT, "Enter an integer."}, {IDP_PARSE_REAL, "Enter a number."},
        {IDP_PARSE_INT_RANGE, "Enter an integer between %1 and %2."},
    };
    for (const auto& r : rows)
        EXPECT_EQ(TxString(r.id), QString::fromUtf8(r.text)) << r.id;
}

TEST(MainSetupModel, FirstColumnCannotBeSwitchedOff)
{
    SetupTestDocument t;
    CMainSetupModel model(*t.doc);
    model.SetEnabled(0, false);
    EXPECT_TRUE(model.IsEnabled(0));
    EXPECT_FALSE(CMainSetupModel::CanToggle(0));
    model.SetEnabled(11, true);
    model.SetEnabled(11, false);
    EXPECT_FALSE(model.IsEnabled(11));
    EXPECT_FALSE(model.CanEditName(11));
}

struct BlankNameCase {
    const char* name;
    std::function<void(CMainSetupModel&)> edit;
    int blankColumn;  // expected answer of TrimAndFindBlankName
};
void PrintTo(const BlankNameCase& c, std::ostream* os) { *os << c.name; }

class MainSetupBlankName : public ::testing::TestWithParam<BlankNameCase> {};

TEST_P(MainSetupBlankName, OnlyEnabledColumnsNeedANonBlankName)
{
    SetupTestDocument t;
    CMainSetupModel model(*t.doc);
    GetParam().edit(model);
    EXPECT_EQ(model.TrimAndFindBlankName(), GetParam().blankColumn);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainSetupBlankName,
    ::testing::Values(
        BlankNameCase{"Defaults", [](CMainSetupModel&) {}, -1},
        BlankNameCase{"BlanksOnEnabledColumn",
                      [](CMainSetupModel& m) { m.SetEnabled(3, true); m.SetName(3, QStringLiteral("   ")); }, 3},
        BlankNameCase{"BlanksOnDisabledColumn", [](CMainSetupModel& m) { m.SetName(3, QStringLiteral("   ")); }, -1},
        BlankNameCase{"TabsOnFirstColumn", [](CMainSetupModel& m) { m.SetName(0, QStringLiteral("\t \t")); }, 0},
        BlankNameCase{"FirstOfTwoBlanks",
                      [](CMainSetupModel& m) {
                          m.SetEnabled(4, true);
                          m.SetEnabled(9, true);
                          m.SetName(4, QString());
                          m.SetName(9, QString());
                      },
                      4}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainSetupModel, TrimsEnabledNamesOnly)
{
    SetupTestDocument t;
    CMainSetupModel model(*t.doc);
    model.SetName(0, QStringLiteral("  Leq A "));
    model.SetName(5, QStringLiteral(" off "));
    ASSERT_EQ(model.TrimAndFindBlankName(), -1);
    EXPECT_EQ(model.Name(0), QStringLiteral("Leq A"));
    EXPECT_EQ(model.Name(5), QStringLiteral(" off "));
}

struct LevelCase {
    const char* name;
    std::function<void(CMainSetupModel&)> edit;
    int level;
};
void PrintTo(const LevelCase& c, std::ostream* os) { *os << c.name; }

class MainSetupLevel : public ::testing::TestWithParam<LevelCase> {};

TEST_P(MainSetupLevel, ApplyReportsTheKindOfChange)
{
    SetupTestDocument t;
    CMainSetupModel model(*t.doc);
    GetParam().edit(model);
    EXPECT_EQ(model.Apply(*t.doc), GetParam().level);
    EXPECT_TRUE(t.doc->IsModified());
    EXPECT_EQ(t.notify.Arguments(MapNotifyDocumentChanged), std::vector<intptr_t>{GetParam().level});
    CMainSetupModel after(*t.doc);
    for (int c = 0; c < kColumnCount; ++c) {
        EXPECT_EQ(after.IsEnabled(c), model.IsEnabled(c)) << c;
        EXPECT_EQ(after.Name(c), model.Name(c)) << c;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MainSetupLevel,
    ::testing::Values(
        LevelCase{"NothingChanged", [](CMainSetupModel&) {}, 0},
        LevelCase{"RenameOnly", [](CMainSetupModel& m) { m.SetName(0, QStringLiteral("LAeq")); }, 1},
        LevelCase{"RenameDisabledColumn", [](CMainSetupModel& m) { m.SetName(7, QStringLiteral("1000 Hz")); }, 1},
        LevelCase{"EnableColumn", [](CMainSetupModel& m) { m.SetEnabled(2, true); }, 2},
        LevelCase{"EnableAndRename",
                  [](CMainSetupModel& m) { m.SetEnabled(2, true); m.SetName(0, QStringLiteral("LAeq")); }, 2},
        LevelCase{"TryToDisableFirst", [](CMainSetupModel& m) { m.SetEnabled(0, false); }, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(MainSetupModel, SwitchedOffColumnKeepsItsValues)
{
    SetupTestDocument t;
    std::array<CTXFloatArray, kColumnCount> values;
    for (int c = 0; c < kColumnCount; ++c)
        values[size_t(c)] = {float(c), float(c) + 0.5f};
    t.doc->SetPointTable(2, {0.0f, 1.0f}, {0.0f, 1.0f}, values);

    CMainSetupModel on(*t.doc);
    on.SetEnabled(6, true);
    on.Apply(*t.doc);
    CMainSetupModel off(*t.doc);
    off.SetEnabled(6, false);
    off.Apply(*t.doc);
    EXPECT_EQ(t.doc->Column(6).enabled, 0);
    EXPECT_EQ(t.doc->Column(6).values, (CTXFloatArray{6.0f, 6.5f}));
}

// The dialog over a fresh document with a recording prompt.
struct MainSetupDialogTest : ::testing::Test {
    SetupTestDocument t;
    CPromptRecorder prompt;
    CMainSetupDlg dlg{*t.doc};

    void ClickOk()
    {
        QPushButton* ok = dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok);
        QTest::mouseClick(ok, Qt::LeftButton);
    }
};

TEST_F(MainSetupDialogTest, FirstBoxIsCheckedAndCannotBeClicked)
{
    EXPECT_TRUE(dlg.EnableBox(0)->isChecked());
    EXPECT_FALSE(dlg.EnableBox(0)->isEnabled());
    QTest::mouseClick(dlg.EnableBox(0), Qt::LeftButton);
    EXPECT_TRUE(dlg.EnableBox(0)->isChecked());
    EXPECT_TRUE(dlg.NameField(0)->isEnabled());
}

TEST_F(MainSetupDialogTest, NameFieldFollowsItsBox)
{
    for (int c = 1; c < kColumnCount; ++c)
        EXPECT_FALSE(dlg.NameField(c)->isEnabled()) << c;
    QTest::mouseClick(dlg.EnableBox(4), Qt::LeftButton);
    EXPECT_TRUE(dlg.NameField(4)->isEnabled());
    EXPECT_FALSE(dlg.NameField(5)->isEnabled());
    QTest::mouseClick(dlg.EnableBox(4), Qt::LeftButton);
    EXPECT_FALSE(dlg.NameField(4)->isEnabled());
}

TEST_F(MainSetupDialogTest, BlankEnabledNameKeepsTheDialogOpen)
{
    dlg.show();
    QTest::mouseClick(dlg.EnableBox(3), Qt::LeftButton);
    dlg.NameField(3)->setText(QStringLiteral("  "));
    ClickOk();
    EXPECT_EQ(prompt.beeps, 1);
    EXPECT_TRUE(prompt.Messages().isEmpty());
    EXPECT_TRUE(dlg.isVisible());
    EXPECT_NE(dlg.result(), QDialog::Accepted);
    EXPECT_FALSE(t.doc->IsModified());
    EXPECT_EQ(t.doc->Column(3).enabled, 0);
    EXPECT_EQ(dlg.focusWidget(), dlg.NameField(3));
}

TEST_F(MainSetupDialogTest, BlankDisabledNameIsAccepted)
{
    dlg.show();
    dlg.NameField(3)->setText(QStringLiteral("  "));
    QTest::mouseClick(dlg.EnableBox(8), Qt::LeftButton);
    dlg.NameField(8)->setText(QStringLiteral(" 2 kHz (A) "));
    ClickOk();
    EXPECT_EQ(prompt.beeps, 0);
    EXPECT_EQ(dlg.result(), QDialog::Accepted);
    EXPECT_EQ(dlg.ChangeLevel(), 2);
    EXPECT_TRUE(t.doc->IsModified());
    EXPECT_EQ(t.doc->Column(8).enabled, 1);
    EXPECT_EQ(t.doc->Column(8).name, QStringLiteral("2 kHz (A)"));
    EXPECT_EQ(t.doc->Column(3).enabled, 0);
}

TEST_F(MainSetupDialogTest, UncheckingAllButTheFirstIsAllowed)
{
    for (int c = 0; c < kColumnCount; ++c)
        t.doc->Column(c).enabled = 1;
    CMainSetupDlg all(*t.doc);
    for (int c = 1; c < kColumnCount; ++c)
        QTest::mouseClick(all.EnableBox(c), Qt::LeftButton);
    all.accept();
    EXPECT_EQ(all.result(), QDialog::Accepted);
    EXPECT_EQ(t.doc->EnabledColumnIndices(), std::vector<int32_t>{0});
}

}  // namespace
