// Grid Setting: the checks of OK, the function change, the spins, the document write-back, and
// what the dialog enables and writes.
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <ostream>

#include <climits>
#include <functional>

#include "SetupTestDoubles.h"
#include "dataentry/GridSetupDlg.h"
#include "dataentry/GridSetupModel.h"
#include "dataentry/SetupFieldsDlg.h"

namespace {

// ---- checks at OK -------------------------------------------------------------------------

struct OkCase {
    const char* name;
    int function;                                // chosen before the fields are typed
    std::function<void(GridSetupTexts&)> type;   // what the user types
    GridField field;                             // the field that is refused, None for OK
    const char* message;
};
void PrintTo(const OkCase& c, std::ostream* os) { *os << c.name; }

class GridSetupOk : public ::testing::TestWithParam<OkCase> {};

TEST_P(GridSetupOk, RefusesTheFirstBadField)
{
    SetupTestDocument t;
    CGridSetupModel model(*t.doc);
    if (GetParam().function != RbfMultiquadric) {
        ASSERT_FALSE(model.ChangeFunction(model.Texts(), GetParam().function));
    }
    GridSetupTexts texts = model.Texts();
    GetParam().type(texts);
    const SetupProblem problem = model.ReadForOk(texts);
    EXPECT_EQ(problem.field, GetParam().field);
    EXPECT_EQ(problem.message, QString::fromUtf8(GetParam().message));
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridSetupOk,
    ::testing::Values(
        OkCase{"Defaults", RbfMultiquadric, [](GridSetupTexts&) {}, GridField::None, ""},
        OkCase{"X0EqualsX1", RbfMultiquadric, [](GridSetupTexts& t) { t.x0 = t.x1 = QStringLiteral("3"); },
               GridField::X0, "WARNING! Invalid map extent."},
        OkCase{"YReversed", RbfMultiquadric,
               [](GridSetupTexts& t) { t.y0 = QStringLiteral("2"); t.y1 = QStringLiteral("-2"); },
               GridField::Y0, "WARNING! Invalid map extent."},
        OkCase{"MultiquadricAboveRange", RbfMultiquadric, [](GridSetupTexts& t) { t.parameter = QStringLiteral("1.5"); },
               GridField::Parameter, "WARNING! Parameter error.\n\nInsert a value between 0 and 1."},
        OkCase{"MultiquadricNegative", RbfMultiquadric, [](GridSetupTexts& t) { t.parameter = QStringLiteral("-0.1"); },
               GridField::Parameter, "WARNING! Parameter error.\n\nInsert a value between 0 and 1."},
        OkCase{"MultiquadricEndsIncluded", RbfMultiquadric, [](GridSetupTexts& t) { t.parameter = QStringLiteral("0"); },
               GridField::None, ""},
        OkCase{"ThinPlateBelowRange", RbfThinPlateSpline, [](GridSetupTexts& t) { t.parameter = QStringLiteral("0.005"); },
               GridField::Parameter, "WARNING! Parameter error.\n\nInsert a value between 0.01 and 1."},
        OkCase{"ThinPlateLowEndIncluded", RbfThinPlateSpline, [](GridSetupTexts& t) { t.parameter = QStringLiteral("0.01"); },
               GridField::None, ""},
        OkCase{"MadychNelsonAnyValue", RbfMadychNelson, [](GridSetupTexts& t) { t.parameter = QStringLiteral("1e9"); },
               GridField::None, ""},
        OkCase{"MadychNelsonAnyText", RbfMadychNelson, [](GridSetupTexts& t) { t.parameter = QStringLiteral("n/a"); },
               GridField::None, ""},
        OkCase{"TypedCountOf5", RbfMultiquadric, [](GridSetupTexts& t) { t.countX = QStringLiteral("5"); },
               GridField::CountX, "Enter an integer between 10 and 1000."},
        OkCase{"VerticalCount1001", RbfMultiquadric, [](GridSetupTexts& t) { t.countY = QStringLiteral("1001"); },
               GridField::CountY, "Enter an integer between 10 and 1000."},
        OkCase{"CountsAtTheirEnds", RbfMultiquadric,
               [](GridSetupTexts& t) { t.countX = QStringLiteral("10"); t.countY = QStringLiteral("1000"); },
               GridField::None, ""},
        OkCase{"CountNotANumber", RbfMultiquadric, [](GridSetupTexts& t) { t.countX = QStringLiteral("2O"); },
               GridField::CountX, "Enter an integer."},
        OkCase{"ExtentNotANumber", RbfMultiquadric, [](GridSetupTexts& t) { t.y1 = QStringLiteral("one"); },
               GridField::Y1, "Enter a number."},
        OkCase{"CountCheckedBeforeExtent", RbfMultiquadric,
               [](GridSetupTexts& t) { t.countY = QStringLiteral("5"); t.x1 = t.x0; },
               GridField::CountY, "Enter an integer between 10 and 1000."},
        OkCase{"SnapOnWithX0", RbfMultiquadric, [](GridSetupTexts& t) { t.snap = true; t.snapX = QStringLiteral("0"); },
               GridField::SnapX, "Insert a value greater then 0."},
        OkCase{"SnapOnWithNegativeY", RbfMultiquadric,
               [](GridSetupTexts& t) { t.snap = true; t.snapY = QStringLiteral("-1"); },
               GridField::SnapY, "Insert a value greater then 0."},
        OkCase{"SnapOffWithX0", RbfMultiquadric, [](GridSetupTexts& t) { t.snap = false; t.snapX = QStringLiteral("0"); },
               GridField::None, ""},
        OkCase{"RoundOnWithY0", RbfMultiquadric, [](GridSetupTexts& t) { t.round = true; t.roundY = QStringLiteral("0"); },
               GridField::RoundY, "Insert a value greater then 0."},
        OkCase{"RoundOffWithText", RbfMultiquadric, [](GridSetupTexts& t) { t.round = false; t.roundX = QStringLiteral("x"); },
               GridField::None, ""}),
    [](const auto& info) { return std::string(info.param.name); });

// ---- function change ----------------------------------------------------------------------

struct FunctionCase {
    const char* name;
    int from;
    const char* typedParameter;
    int to;
    float parameter;  // after the change
};
void PrintTo(const FunctionCase& c, std::ostream* os) { *os << c.name; }

class GridSetupFunctionChange : public ::testing::TestWithParam<FunctionCase> {};

TEST_P(GridSetupFunctionChange, ReplacesAParameterOutsideTheNewRangeSilently)
{
    SetupTestDocument t;
    t.doc->Settings().interpFunction = GetParam().from;
    CGridSetupModel model(*t.doc);
    GridSetupTexts texts = model.Texts();
    texts.parameter = QString::fromUtf8(GetParam().typedParameter);
    EXPECT_FALSE(model.ChangeFunction(texts, GetParam().to));
    EXPECT_EQ(model.Values().function, GetParam().to);
    EXPECT_FLOAT_EQ(model.Values().parameter, GetParam().parameter);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridSetupFunctionChange,
    ::testing::Values(FunctionCase{"MultiquadricToThinPlateBelowRange", RbfMultiquadric, "0.005", RbfThinPlateSpline, 0.5f},
                      FunctionCase{"MultiquadricToThinPlateInRange", RbfMultiquadric, "0.2", RbfThinPlateSpline, 0.2f},
                      FunctionCase{"ThinPlateToMultiquadricInRange", RbfThinPlateSpline, "1", RbfMultiquadric, 1.0f},
                      FunctionCase{"ThinPlateToMultiquadricAbove", RbfThinPlateSpline, "3", RbfMultiquadric, 0.333f},
                      FunctionCase{"ToMadychNelsonKeepsTyped", RbfMultiquadric, "7", RbfMadychNelson, 7.0f},
                      // The disabled field of Madych - Nelson is not read; the stored 0.2 is kept.
                      FunctionCase{"FromMadychNelsonIgnoresField", RbfMadychNelson, "9", RbfThinPlateSpline, 0.2f}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridSetupModel, FunctionChangeWithBadExtentReportsItAndKeepsTheParameter)
{
    SetupTestDocument t;
    CGridSetupModel model(*t.doc);
    GridSetupTexts texts = model.Texts();
    texts.x1 = texts.x0;
    texts.parameter = QStringLiteral("0.005");
    const SetupProblem p = model.ChangeFunction(texts, RbfThinPlateSpline);
    EXPECT_EQ(p.message, QStringLiteral("WARNING! Invalid map extent."));
    EXPECT_FLOAT_EQ(model.Values().parameter, 0.005f);
}

TEST(GridSetupModel, SpinClampsToTheCountRange)
{
    const struct { int count, delta, expected; } rows[] = {
        {10, -1, 10}, {11, -1, 10}, {1000, +1, 1000}, {999, +1, 1000},
        {5, +1, 10}, {500, -1, 499}, {INT_MAX, +1, 1000}, {INT_MIN, -1, 10},
    };
    for (const auto& r : rows)
        EXPECT_EQ(CGridSetupModel::SpinCount(r.count, r.delta), r.expected) << r.count << " " << r.delta;
}

// ---- document write-back ------------------------------------------------------------------

struct ApplyCase {
    const char* name;
    std::function<void(GridSetupTexts&)> type;
    bool recompute;
};
void PrintTo(const ApplyCase& c, std::ostream* os) { *os << c.name; }

class GridSetupApply : public ::testing::TestWithParam<ApplyCase> {};

TEST_P(GridSetupApply, RecomputesOnlyWhenTheSurfaceChanges)
{
    SetupTestDocument t;
    t.doc->Column(4).enabled = 1;
    CGridSetupModel model(*t.doc);
    GridSetupTexts texts = model.Texts();
    GetParam().type(texts);
    ASSERT_FALSE(model.ReadForOk(texts));
    EXPECT_EQ(model.Apply(*t.doc), GetParam().recompute);
    EXPECT_TRUE(t.doc->IsModified());
    if (GetParam().recompute) {
        ASSERT_EQ(t.Requests().size(), 2u);
        EXPECT_EQ(t.Requests()[0].column, 0);
        EXPECT_EQ(t.Requests()[1].column, 4);
        EXPECT_EQ(t.Requests()[1].flags & RECALC_ALL, RECALC_ALL);
    } else {
        EXPECT_TRUE(t.Requests().empty());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rows, GridSetupApply,
    ::testing::Values(
        ApplyCase{"NothingChanged", [](GridSetupTexts&) {}, false},
        ApplyCase{"Extent", [](GridSetupTexts& t) { t.y1 = QStringLiteral("12.5"); }, true},
        ApplyCase{"HorizontalCount", [](GridSetupTexts& t) { t.countX = QStringLiteral("40"); }, true},
        ApplyCase{"VerticalCount", [](GridSetupTexts& t) { t.countY = QStringLiteral("40"); }, true},
        ApplyCase{"Parameter", [](GridSetupTexts& t) { t.parameter = QStringLiteral("0.75"); }, true},
        ApplyCase{"SnapOnly",
                  [](GridSetupTexts& t) { t.snap = true; t.snapX = QStringLiteral("0.5"); }, false},
        ApplyCase{"RoundOnly",
                  [](GridSetupTexts& t) { t.round = true; t.roundY = QStringLiteral("0.25"); }, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(GridSetupModel, SwitchedOffStepsKeepTheirStoredValues)
{
    SetupTestDocument t;
    t.doc->InputGrid() = CoordinateInputGrid{1, 0.5f, 0.5f, 1, 0.25f, 0.25f};
    CGridSetupModel model(*t.doc);
    GridSetupTexts texts = model.Texts();
    texts.snap = false;
    texts.snapX = QStringLiteral("0");
    texts.round = true;
    texts.roundX = QStringLiteral("2");
    ASSERT_FALSE(model.ReadForOk(texts));
    model.Apply(*t.doc);
    const CoordinateInputGrid& g = t.doc->InputGrid();
    EXPECT_EQ(g.snapMouse, 0);
    EXPECT_FLOAT_EQ(g.snapX, 0.5f);
    EXPECT_EQ(g.roundKeyboard, 1);
    EXPECT_FLOAT_EQ(g.roundX, 2.0f);
}

TEST(GridSetupModel, FunctionChangeIsStoredAndRecomputes)
{
    SetupTestDocument t;
    CGridSetupModel model(*t.doc);
    model.ChangeFunction(model.Texts(), RbfMadychNelson);
    ASSERT_FALSE(model.ReadForOk(model.Texts()));
    EXPECT_TRUE(model.Apply(*t.doc));
    EXPECT_EQ(t.doc->Settings().interpFunction, RbfMadychNelson);
}

// ---- the dialog ---------------------------------------------------------------------------

struct GridSetupDialogTest : ::testing::Test {
    SetupTestDocument t;
    CPromptRecorder prompt;

    std::unique_ptr<CGridSetupDlg> Open()
    {
        auto dlg = std::make_unique<CGridSetupDlg>(*t.doc);
        dlg->show();
        return dlg;
    }
    static void ClickOk(CGridSetupDlg& dlg)
    {
        QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    }
    static void Type(CGridSetupDlg& dlg, GridField f, const QString& text)
    {
        QLineEdit* e = dlg.Field(f);
        e->selectAll();
        QTest::keyClicks(e, text);
    }
};

TEST_F(GridSetupDialogTest, OpensWithTheDocumentValuesAndEnabling)
{
    t.doc->Settings().interpFunction = RbfMadychNelson;
    t.doc->Settings().gridCountX = 37;
    t.doc->InputGrid().roundKeyboard = 1;
    auto dlg = Open();
    EXPECT_EQ(dlg->Field(GridField::CountX)->text(), QStringLiteral("37"));
    EXPECT_EQ(dlg->FunctionList()->currentText(), QStringLiteral("Madych - Nelson"));
    EXPECT_EQ(dlg->FunctionList()->count(), 3);
    EXPECT_FALSE(dlg->Field(GridField::Parameter)->isEnabled());
    EXPECT_FALSE(dlg->Label(GridField::Parameter)->isEnabled());
    EXPECT_FALSE(dlg->Field(GridField::SnapX)->isEnabled());
    EXPECT_FALSE(dlg->Label(GridField::SnapY)->isEnabled());
    EXPECT_TRUE(dlg->Field(GridField::RoundX)->isEnabled());
    EXPECT_TRUE(dlg->Label(GridField::RoundY)->isEnabled());
}

TEST_F(GridSetupDialogTest, CheckBoxesSwitchTheirSteps)
{
    auto dlg = Open();
    QTest::mouseClick(dlg->SnapBox(), Qt::LeftButton);
    EXPECT_TRUE(dlg->Field(GridField::SnapX)->isEnabled());
    EXPECT_TRUE(dlg->Label(GridField::SnapX)->isEnabled());
    EXPECT_FALSE(dlg->Field(GridField::RoundX)->isEnabled());
    QTest::mouseClick(dlg->SnapBox(), Qt::LeftButton);
    EXPECT_FALSE(dlg->Field(GridField::SnapY)->isEnabled());
}

TEST_F(GridSetupDialogTest, ThinPlateReplacesTooSmallParameterWithoutMessage)
{
    auto dlg = Open();
    Type(*dlg, GridField::Parameter, QStringLiteral("0.005"));
    dlg->FunctionList()->setCurrentIndex(RbfThinPlateSpline);
    EXPECT_EQ(dlg->Field(GridField::Parameter)->text(), QStringLiteral("0.5"));
    EXPECT_TRUE(prompt.Messages().isEmpty());
    dlg->FunctionList()->setCurrentIndex(RbfMadychNelson);
    EXPECT_FALSE(dlg->Field(GridField::Parameter)->isEnabled());
    Type(*dlg, GridField::Parameter, QStringLiteral("123"));
    ClickOk(*dlg);
    EXPECT_TRUE(prompt.Messages().isEmpty());
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(t.doc->Settings().interpFunction, RbfMadychNelson);
}

TEST_F(GridSetupDialogTest, MultiquadricAboveRangeIsRefusedAtOk)
{
    auto dlg = Open();
    Type(*dlg, GridField::Parameter, QStringLiteral("1.5"));
    ClickOk(*dlg);
    ASSERT_EQ(prompt.Messages().size(), 1);
    EXPECT_EQ(prompt.Messages()[0], QStringLiteral("WARNING! Parameter error.\n\nInsert a value between 0 and 1."));
    EXPECT_TRUE(dlg->isVisible());
    EXPECT_EQ(dlg->focusWidget(), dlg->Field(GridField::Parameter));
    EXPECT_FALSE(t.doc->IsModified());
}

TEST_F(GridSetupDialogTest, TypedCountOf5IsRefusedAndKeepsTheFocus)
{
    auto dlg = Open();
    Type(*dlg, GridField::CountY, QStringLiteral("5"));
    ClickOk(*dlg);
    ASSERT_EQ(prompt.Messages().size(), 1);
    EXPECT_EQ(prompt.Messages()[0], QStringLiteral("Enter an integer between 10 and 1000."));
    EXPECT_EQ(dlg->focusWidget(), dlg->Field(GridField::CountY));
    EXPECT_NE(dlg->result(), QDialog::Accepted);
    EXPECT_EQ(t.doc->Settings().gridCountY, 20);
}

TEST_F(GridSetupDialogTest, SpinsStayWithinTheirRange)
{
    auto dlg = Open();
    Type(*dlg, GridField::CountX, QStringLiteral("11"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(dlg->CountSpin(GridField::CountX)->DownButton(), Qt::LeftButton);
    EXPECT_EQ(dlg->Field(GridField::CountX)->text(), QStringLiteral("10"));
    Type(*dlg, GridField::CountY, QStringLiteral("999"));
    for (int i = 0; i < 3; ++i)
        QTest::mouseClick(dlg->CountSpin(GridField::CountY)->UpButton(), Qt::LeftButton);
    EXPECT_EQ(dlg->Field(GridField::CountY)->text(), QStringLiteral("1000"));
}

TEST_F(GridSetupDialogTest, SnapOnWithZeroFocusesTheSnapField)
{
    auto dlg = Open();
    QTest::mouseClick(dlg->SnapBox(), Qt::LeftButton);
    Type(*dlg, GridField::SnapX, QStringLiteral("0"));
    ClickOk(*dlg);
    ASSERT_EQ(prompt.Messages().size(), 1);
    EXPECT_EQ(prompt.Messages()[0], QStringLiteral("Insert a value greater then 0."));
    EXPECT_EQ(prompt.shown[0].icon, PromptIcon::Warning);
    EXPECT_EQ(dlg->focusWidget(), dlg->Field(GridField::SnapX));
}

TEST_F(GridSetupDialogTest, RoundOnlyChangeMarksModifiedWithoutRecomputing)
{
    auto dlg = Open();
    QTest::mouseClick(dlg->RoundBox(), Qt::LeftButton);
    Type(*dlg, GridField::RoundX, QStringLiteral("0.5"));
    ClickOk(*dlg);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_TRUE(t.doc->IsModified());
    EXPECT_TRUE(t.Requests().empty());
    EXPECT_FALSE(dlg->MapsRequested());
    EXPECT_EQ(t.doc->InputGrid().roundKeyboard, 1);
    EXPECT_FLOAT_EQ(t.doc->InputGrid().roundX, 0.5f);
}

TEST_F(GridSetupDialogTest, ExtentChangeIsWrittenAndRecomputed)
{
    auto dlg = Open();
    Type(*dlg, GridField::X0, QStringLiteral("-5"));
    Type(*dlg, GridField::X1, QStringLiteral("25"));
    ClickOk(*dlg);
    EXPECT_EQ(dlg->result(), QDialog::Accepted);
    EXPECT_FLOAT_EQ(t.doc->Settings().extent.x0, -5.0f);
    EXPECT_FLOAT_EQ(t.doc->Settings().extent.x1, 25.0f);
    ASSERT_EQ(t.Requests().size(), 1u);
    EXPECT_EQ(t.Requests()[0].flags, RECALC_ALL);
}

TEST_F(GridSetupDialogTest, EqualExtentShowsTheExtentMessage)
{
    auto dlg = Open();
    Type(*dlg, GridField::X0, QStringLiteral("1"));
    ClickOk(*dlg);
    ASSERT_EQ(prompt.Messages().size(), 1);
    EXPECT_EQ(prompt.Messages()[0], QStringLiteral("WARNING! Invalid map extent."));
    EXPECT_FALSE(t.doc->IsModified());
}

}  // namespace
