// The Noise Zones dialog over real map workers: the remembered thresholds, the table of areas
// of a planar level field, refused thresholds, and columns without a surface.

#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>

#include "../support/TemporaryProfile.h"
#include "app/AppStrings.h"
#include "app/CommandIds.h"
#include "app/ShellLayout.h"
#include "app/NoiseZonesDlg.h"
#include "util/StringTable.h"
#include "workers/BatchMapRun.h"

namespace {

// Column 0 rises 20 dB across the unit map, from 60 dB at x = 0, so the area at or above T is
// 1 - (T - 60) / 20; column 1 is flat at 50 dB.
class NoiseZonesDlgTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        profile = TemporaryProfileStore(dir);
        const QString path = dir.filePath(QStringLiteral("plane.Tsrix"));
        {
            CTessarixDoc doc;
            doc.OnNewDocument();
            CTXFloatArray x, y;
            std::array<CTXFloatArray, kColumnCount> values;
            const float px[] = {0.0f, 1.0f, 0.0f, 1.0f, 0.5f, 0.25f};
            const float py[] = {0.0f, 0.0f, 1.0f, 1.0f, 0.5f, 0.75f};
            for (int k = 0; k < 6; ++k) {
                x.push_back(px[k]);
                y.push_back(py[k]);
                values[0].push_back(60.0f + 20.0f * px[k]);
                values[1].push_back(50.0f);
            }
            doc.SetPointTable(6, x, y, values);
            doc.Settings().extent = {0.0f, 1.0f, 0.0f, 1.0f};
            doc.Column(1).enabled = 1;
            doc.Settings().useBoundaryConditions = 0;  // the surface is then the plane itself
            ASSERT_EQ(doc.OnSaveDocument(path), DocFileStatus::Ok);
        }
        ASSERT_TRUE(run.OpenAndCompute(path, 0).isEmpty());
    }
    void Type(CNoiseZonesDlg& dlg, const char* text)
    {
        dlg.ThresholdsEdit()->clear();
        QTest::keyClicks(dlg.ThresholdsEdit(), QString::fromLatin1(text));
        QTest::mouseClick(dlg.ComputeButton(), Qt::LeftButton);
    }
    static double Number(QTableWidget* t, int row, int col) { return t->item(row, col)->text().toDouble(); }

    QTemporaryDir dir;
    std::unique_ptr<CKWProfileStore> profile;
    CBatchMapRun run;
};

TEST_F(NoiseZonesDlgTest, ShowsAreasAtTheRememberedThresholds)
{
    profile->WriteString(QStringLiteral("NoiseZones"), QStringLiteral("Levels"), QStringLiteral("75, 65"));
    CNoiseZonesDlg dlg(run.Doc(), &run.Maps(), *profile);
    EXPECT_EQ(dlg.ThresholdsEdit()->text(), QStringLiteral("65, 75"));
    QTableWidget* t = dlg.Table();
    ASSERT_EQ(t->rowCount(), 4);  // two thresholds for each of the two columns
    EXPECT_EQ(t->item(0, 0)->text(), run.Doc().Column(0).name);
    EXPECT_TRUE(t->item(1, 0)->text().isEmpty()) << "the name stands on its column's first row only";
    EXPECT_NEAR(Number(t, 0, 2), 0.75, 1e-3);
    EXPECT_NEAR(Number(t, 1, 2), 0.25, 1e-3);
    EXPECT_EQ(t->item(1, 3)->text(), QStringLiteral("25.0 %"));
    EXPECT_EQ(t->item(0, 4)->text(), TxFormat(IDS_ZONES_OF_MAP, QStringLiteral("1")));
    EXPECT_EQ(Number(t, 2, 2), 0.0) << "the flat column lies under both thresholds";
}

TEST_F(NoiseZonesDlgTest, NewThresholdsAreRememberedAndRefusedOnesAreNot)
{
    CNoiseZonesDlg dlg(run.Doc(), &run.Maps(), *profile);
    EXPECT_EQ(dlg.ThresholdsEdit()->text(), QStringLiteral("80, 85, 87")) << "the defaults without a remembered list";
    Type(dlg, "70,62");
    EXPECT_TRUE(dlg.WarningLabel()->isHidden());
    EXPECT_EQ(dlg.ThresholdsEdit()->text(), QStringLiteral("62, 70"));
    EXPECT_EQ(profile->ReadString(QStringLiteral("NoiseZones"), QStringLiteral("Levels"), {}), QStringLiteral("62, 70"));
    ASSERT_EQ(dlg.Table()->rowCount(), 4);
    EXPECT_NEAR(Number(dlg.Table(), 0, 2), 0.9, 1e-3);
    EXPECT_NEAR(Number(dlg.Table(), 1, 2), 0.5, 1e-3);

    Type(dlg, "70,,loud");
    EXPECT_FALSE(dlg.WarningLabel()->isHidden());
    EXPECT_TRUE(dlg.WarningLabel()->text().startsWith(QStringLiteral("WARNING! ")));
    EXPECT_EQ(profile->ReadString(QStringLiteral("NoiseZones"), QStringLiteral("Levels"), {}), QStringLiteral("62, 70"));
    EXPECT_EQ(dlg.Table()->rowCount(), 4) << "the table keeps the last good result";
    EXPECT_NEAR(Number(dlg.Table(), 1, 2), 0.5, 1e-3);
}

TEST_F(NoiseZonesDlgTest, ColumnsWithoutSurfaceSayWhyInsteadOfZero)
{
    CNoiseZonesDlg dlg(run.Doc(), nullptr, *profile);
    QTableWidget* t = dlg.Table();
    ASSERT_EQ(t->rowCount(), 2);
    for (int r = 0; r < 2; ++r) {
        EXPECT_EQ(t->item(r, 1)->text(), TxString(IDS_ZONES_NO_SURFACE));
        EXPECT_EQ(t->columnSpan(r, 1), 4);
    }
}

// The command sits with the map modes in the classic menu and the ribbon, with its prompt.
TEST(NoiseZonesCommand, SitsWithTheMapCommands)
{
    const auto places = [](const std::vector<MenuLayout>& layouts) {
        std::vector<int> titles;
        for (const MenuLayout& m : layouts)
            for (const LayoutItem& item : m.items)
                if (item.kind == LayoutItem::Command && item.command == ID_TX_NOISE_ZONES)
                    titles.push_back(m.title);
        return titles;
    };
    EXPECT_EQ(places(ClassicMenus()), std::vector<int>{IDS_MENU_MAP_MODE});
    EXPECT_EQ(places(RibbonPanels()), std::vector<int>{IDS_PANEL_MAP_MODE});
    EXPECT_TRUE(TxString(ID_TX_NOISE_ZONES).endsWith(QStringLiteral("\nNoise Zones")));
}

}  // namespace
