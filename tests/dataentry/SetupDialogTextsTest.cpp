// The Main Setup, Grid Setting and Recalculate XY dialogs hard-coded their English texts, so a
// language file could not translate them. Their texts now come from the string table: the
// English ones stay as they were, and a replaced text shows up in the dialog.
#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <ostream>

#include <functional>
#include <memory>

#include "../support/TemporaryProfile.h"
#include "../support/Recorders.h"
#include "dataentry/DataEntryStrings.h"
#include "dataentry/GridSetupDlg.h"
#include "dataentry/MainSetupDlg.h"
#include "dataentry/RecalcXYCoordinateDlg.h"
#include "document/TessarixDoc.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"

namespace {

// Every text the dialog shows: caption, labels, buttons, group titles and list entries.
QStringList ShownTexts(const QWidget& dialog)
{
    QStringList texts{dialog.windowTitle()};
    for (const QLabel* l : dialog.findChildren<QLabel*>())
        texts << l->text();
    for (const QAbstractButton* b : dialog.findChildren<QAbstractButton*>())
        texts << b->text();
    for (const QGroupBox* g : dialog.findChildren<QGroupBox*>())
        texts << g->title();
    for (const QComboBox* c : dialog.findChildren<QComboBox*>())
        for (int i = 0; i < c->count(); ++i)
            texts << c->itemText(i);
    return texts;
}

class SetupDialogTexts : public ::testing::Test {
protected:
    void TearDown() override { TxResetLanguage(); }

    std::unique_ptr<QWidget> Open(const char* dialog)
    {
        const QString which = QString::fromLatin1(dialog);
        if (which == QLatin1String("MainSetup"))
            return std::make_unique<CMainSetupDlg>(*doc);
        if (which == QLatin1String("GridSetting"))
            return std::make_unique<CGridSetupDlg>(*doc);
        return std::make_unique<CRecalcXYCoordinateDlg>(4, nullptr, &store);
    }

    QTemporaryDir dir;
    std::unique_ptr<CTessarixDoc> doc = [] {
        auto d = std::make_unique<CTessarixDoc>(std::make_unique<RequestRecorder>());
        d->OnNewDocument();
        return d;
    }();
    CKWProfileStore store{TemporaryProfileSettings(dir)};
};

struct EnglishCase {
    const char* dialog;
    std::vector<const char*> texts;  // each must be shown exactly so
};

void PrintTo(const EnglishCase& row, std::ostream* os)
{
    *os << row.dialog;
}

class SetupDialogEnglish : public SetupDialogTexts, public ::testing::WithParamInterface<EnglishCase> {};

TEST_P(SetupDialogEnglish, ShowTheirTextsAsBefore)
{
    const auto dialog = Open(GetParam().dialog);
    const QStringList shown = ShownTexts(*dialog);
    for (const char* text : GetParam().texts)
        EXPECT_TRUE(shown.contains(QString::fromLatin1(text))) << text;
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, SetupDialogEnglish,
    ::testing::Values(
        EnglishCase{"MainSetup", {"Main Setup", "Enable", "1", "12"}},
        EnglishCase{"GridSetting",
                    {"Grid Setting", "Map extent", "&X0:", "X&1:", "Y&0:", "&Y1:", "Interpolation",
                     "&Horizontal count:", "&Vertical count:", "&Interpolate function:",
                     "Function &parameter:", "Coordinate input grid", "Snap mouse input to",
                     "Round keyboard input to", "&X:", "&Y:", "Multiquadric"}},
        EnglishCase{"RecalcXY",
                    {"Recalculate XY Coordinates", "Raster", "Horizontal count:", "Vertical count:",
                     "Element &Width:", "Element &Height:", "Horizontal Offset:", "Vertical Offset:",
                     "Point size:", "Order", "Row major order", "Column major order",
                     "At the end of a row or column invert moving direction", "Top Left", "Top Right",
                     "Bottom Right", "Bottom Left", "Start from:"}}),
    [](const auto& info) { return std::string(info.param.dialog); });

struct ReplacedCase {
    const char* name;
    const char* dialog;
    int id;
    const char* english;
};

void PrintTo(const ReplacedCase& row, std::ostream* os)
{
    *os << row.name;
}

class SetupDialogTextsComeFromTheStringTable : public SetupDialogTexts,
                                               public ::testing::WithParamInterface<ReplacedCase> {};

TEST_P(SetupDialogTextsComeFromTheStringTable, ALanguageFileReplacesThem)
{
    const ReplacedCase& c = GetParam();
    const QString replaced = QStringLiteral("Übersetzt %1").arg(c.id);
    const QString path = dir.filePath(QStringLiteral("TESSARIX_DEU.DLL"));
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QStringLiteral("%1\t%2\n").arg(c.id).arg(replaced).toUtf8());
    }
    ASSERT_TRUE(TxLoadLanguageFile(path));
    const auto dialog = Open(c.dialog);
    const QStringList shown = ShownTexts(*dialog);
    EXPECT_TRUE(shown.contains(replaced)) << shown.join(u'|').toStdString();
    EXPECT_FALSE(shown.contains(QString::fromLatin1(c.english)));
}

INSTANTIATE_TEST_SUITE_P(
    Dialogs, SetupDialogTextsComeFromTheStringTable,
    ::testing::Values(ReplacedCase{"MainSetupCaption", "MainSetup", IDS_MAIN_SETUP_TITLE, "Main Setup"},
                      ReplacedCase{"MainSetupEnable", "MainSetup", IDS_MAIN_SETUP_ENABLE, "Enable"},
                      ReplacedCase{"GridExtentGroup", "GridSetting", IDS_GRID_MAP_EXTENT, "Map extent"},
                      ReplacedCase{"GridCornerLabel", "GridSetting", IDS_GRID_X0, "&X0:"},
                      ReplacedCase{"GridSnapBox", "GridSetting", IDS_GRID_SNAP_MOUSE, "Snap mouse input to"},
                      ReplacedCase{"RecalcCaption", "RecalcXY", IDS_RECALC_TITLE, "Recalculate XY Coordinates"},
                      ReplacedCase{"RecalcFieldLabel", "RecalcXY", IDS_RECALC_WIDTH, "Element &Width:"},
                      ReplacedCase{"RecalcStartCorner", "RecalcXY", IDS_RECALC_BOTTOM_LEFT, "Bottom Left"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
