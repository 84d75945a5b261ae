// Every place in the data entry windows that tells or asks the user something: the message keeps
// its text, buttons, icon and default button, and the answer to a question decides what the
// window does next.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>

#include "../support/TemporaryProfile.h"
#include "../support/PromptRecorder.h"
#include "DataEntryTestDoc.h"
#include "dataentry/EditDataDlg.h"
#include "dataentry/GridSetupDlg.h"
#include "dataentry/InsertDataDlg.h"
#include "dataentry/InsertDataModel.h"
#include "dataentry/KWGridWnd.h"
#include "dataentry/RecalcXYCoordinateDlg.h"
#include "dataentry/TXKeyPadDlg.h"
#include "util/KWProfileStore.h"

namespace {

struct PromptSite {
    const char* name;
    // Drives the window to the message once; returns what the window did afterwards.
    std::function<int()> run;
    PromptMessage expected;  // a text ending in "…" is compared up to there
    int afterOk;
    int afterCancel;
};

PromptMessage Warning(const char* text, PromptButtons buttons = PromptButtons::Ok,
                      std::optional<PromptAnswer> defaultButton = {})
{
    return {QString::fromUtf8(text), PromptIcon::Warning, buttons, defaultButton};
}

void ClickOk(QDialog& dlg)
{
    QTest::mouseClick(dlg.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

int KeyPadSignOfEmptyText()
{
    CTXKeyPad pad(KeyPadMode::Real, QString(), false);
    pad.show();
    pad.Button(QStringLiteral("+/-"))->click();
    return int(pad.Text().size());
}

int KeyPadOkOnEmptyInteger()
{
    CTXKeyPad pad(KeyPadMode::Integer, QString(), false);
    pad.show();
    pad.Button(QStringLiteral("OK"))->click();
    return pad.isVisible();
}

int EditDataCountOutOfRange()
{
    TestDoc t(3);
    CEditDataDlg dlg(*t.doc);
    dlg.CountField()->setText(QStringLiteral("-1"));
    dlg.accept();
    return dlg.result();
}

int EditDataLevelNotANumber()
{
    TestDoc t(3);
    t.doc->Settings().useBoundaryConditions = 1;
    CEditDataDlg dlg(*t.doc);
    dlg.LevelField()->setText(QStringLiteral("loud"));
    dlg.accept();
    return dlg.result();
}

// Rows 3 and 4 of ten selected, then Remove: the point count afterwards.
int EditDataRemoveTwoPoints()
{
    TestDoc t(10);
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    dlg.Grid()->MoveCurrentCell(2, 0);
    QTest::keyClick(dlg.Grid(), Qt::Key_Down, Qt::ShiftModifier);
    dlg.RemoveButton()->click();
    return dlg.Model().PointCount();
}

int EditDataPasteTooFewLines()
{
    TestDoc t(4);
    CEditDataDlg dlg(*t.doc);
    dlg.show();
    dlg.activateWindow();
    if (!QTest::qWaitForWindowActive(&dlg))
        return -1;  // the paste shortcut needs the active window
    dlg.Grid()->setFocus();
    dlg.Grid()->MoveCurrentCell(1, 0);
    QTest::keyClick(dlg.Grid(), Qt::Key_Down, Qt::ShiftModifier);
    QGuiApplication::clipboard()->setText(QStringLiteral("1\t2\n"));
    QTest::keyClick(dlg.Grid(), Qt::Key_V, Qt::ControlModifier);
    return int(dlg.Model().Value(1, 0));
}

// The Insert Data command: whether insert mode is on afterwards.
int InsertDataFrom(const char* clipboardText)
{
    TestDoc t(0, {3});
    CInsertDataModel model;
    QGuiApplication::clipboard()->setText(QString::fromUtf8(clipboardText));
    return CInsertDataDlg::Import(nullptr, model, *t.doc);
}

// A click outside the map extent in insert mode: whether the menu of pending lines opened.
int InsertDataOutsideTheExtent()
{
    TestDoc t;
    CInsertDataModel model;
    model.Import(QStringLiteral("93.5\r\n"), ExchangeLocale::System(), 1, [](const QString&) { return true; });
    bool menuOpened = false;
    QTimer::singleShot(0, [&menuOpened] {
        if (QWidget* menu = QApplication::activePopupWidget()) {
            menuOpened = true;
            menu->close();
        }
    });
    CInsertDataDlg::PlaceAt(nullptr, QPoint(10, 10), model, *t.doc, 5.0f, 0.5f);
    QCoreApplication::processEvents();  // the close timer, when no menu ran an event loop
    return menuOpened;
}

int GridSetupSnapStepOfZero()
{
    TestDoc t;
    CGridSetupDlg dlg(*t.doc);
    dlg.show();
    QTest::mouseClick(dlg.SnapBox(), Qt::LeftButton);
    dlg.Field(GridField::SnapX)->setText(QStringLiteral("0"));
    ClickOk(dlg);
    return dlg.result();
}

// The Recalculate XY dialog over `points` points with a 3 x 2 raster: its result after OK.
int RecalcXYWith(int points, const char* yCount)
{
    QTemporaryDir dir;
    CKWProfileStore store(TemporaryProfileSettings(dir));
    CRecalcXYCoordinateDlg dlg(points, nullptr, &store);
    dlg.show();
    dlg.FieldEdit(CRecalcXYCoordinateDlg::XCount)->setText(QStringLiteral("3"));
    dlg.FieldEdit(CRecalcXYCoordinateDlg::YCount)->setText(QString::fromUtf8(yCount));
    ClickOk(dlg);
    return dlg.result();
}

class PromptSites : public ::testing::TestWithParam<PromptSite> {};

TEST_P(PromptSites, ShowTheirMessageAndFollowTheAnswer)
{
    const PromptSite& site = GetParam();
    for (PromptAnswer answer : {PromptAnswer::Ok, PromptAnswer::Cancel}) {
        SCOPED_TRACE(answer == PromptAnswer::Ok ? "answered OK" : "answered Cancel");
        CPromptRecorder prompt;
        prompt.answer = answer;
        const int after = site.run();
        ASSERT_EQ(prompt.shown.size(), 1u) << prompt.Texts().join(u'\n').toStdString();
        const PromptMessage& shown = prompt.shown[0];
        if (site.expected.text.endsWith(u'…'))
            EXPECT_TRUE(shown.text.startsWith(site.expected.text.chopped(1))) << shown.text.toStdString();
        else
            EXPECT_EQ(shown.text, site.expected.text);
        EXPECT_EQ(shown.icon, site.expected.icon);
        EXPECT_EQ(shown.buttons, site.expected.buttons);
        EXPECT_EQ(shown.defaultButton, site.expected.defaultButton);
        EXPECT_EQ(after, answer == PromptAnswer::Ok ? site.afterOk : site.afterCancel);
    }
}

constexpr int kRejected = QDialog::Rejected;
constexpr int kAccepted = QDialog::Accepted;

INSTANTIATE_TEST_SUITE_P(
    DataEntry, PromptSites,
    ::testing::Values(
        PromptSite{"KeyPadSignOfEmptyText", KeyPadSignOfEmptyText, Warning("Enter a number."), 0, 0},
        PromptSite{"KeyPadOkOnEmptyInteger", KeyPadOkOnEmptyInteger, Warning("Enter an integer."), 1, 1},
        PromptSite{"EditDataCountOutOfRange", EditDataCountOutOfRange,
                   Warning("Enter an integer between 0 and 1000000."), kRejected, kRejected},
        PromptSite{"EditDataLevelNotANumber", EditDataLevelNotANumber, Warning("Enter a number."), kRejected, kRejected},
        PromptSite{"EditDataRemoveAsks", EditDataRemoveTwoPoints,
                   Warning("WARNING! Are you sure to remove 2 point(s) starting at point number 3?", PromptButtons::OkCancel),
                   8, 10},
        PromptSite{"EditDataPasteTooFewLines", EditDataPasteTooFewLines,
                   Warning("WARNING! Not enough lines in imported data."), 1, 1},
        PromptSite{"InsertDataNoLines", [] { return InsertDataFrom("no numbers here\r\n"); },
                   Warning("WARNING! No valid text lines in clipboard text."), 0, 0},
        PromptSite{"InsertDataPartialLinesAsk", [] { return InsertDataFrom("1\r\n2\r\n"); },
                   Warning("WARNING! The number of data columns in clipboard text is less then…", PromptButtons::OkCancel),
                   1, 0},
        PromptSite{"InsertDataOutsideTheExtentAsks", InsertDataOutsideTheExtent,
                   Warning("WARNING! The selected point is outside the map extent.…", PromptButtons::OkCancel), 1, 0},
        PromptSite{"GridSetupSnapStepOfZero", GridSetupSnapStepOfZero, Warning("Insert a value greater then 0."),
                   kRejected, kRejected},
        PromptSite{"RecalcXYCountOutOfRange", [] { return RecalcXYWith(6, "1"); },
                   Warning("Enter an integer between 2 and 1000."), kRejected, kRejected},
        PromptSite{"RecalcXYTooFewPointsAsks", [] { return RecalcXYWith(4, "2"); },
                   Warning("WARNING! The number of measurements is not enough…", PromptButtons::OkCancel, PromptAnswer::Ok),
                   kAccepted, kRejected}),
    [](const ::testing::TestParamInfo<PromptSite>& info) { return std::string(info.param.name); });

}  // namespace
