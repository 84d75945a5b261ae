// The surface check and the spectrum pane in the running program (offscreen, fake map
// computations, temporary profile): where their commands are in both interface styles, the
// pane's place and visibility across a restart, the pane following the cursor read-out, and
// Ctrl+C in the pane copying its values rather than the map picture.

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "../support/PromptRecorder.h"
#include "FakeMapComputations.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/SpectrumWnd.h"
#include "app/SurfaceCheckDlg.h"
#include "app/TessarixApp.h"
#include "document/TessarixDoc.h"
#include "render/TessarixView.h"
#include "util/KWProfileStore.h"

namespace {

class AcousticPanesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        iniPath = dir.filePath(QStringLiteral("profile.ini"));
    }
    void TearDown() override { app.reset(); }
    void Start(int ui)
    {
        app.reset();
        {
            QSettings ini(iniPath, QSettings::IniFormat);
            ini.setValue(QStringLiteral("Workspace/ApplicationUI"), ui);
        }
        CKWProfileStore::UseIniFile(iniPath);
        app = std::make_unique<CTessarixApp>(std::make_unique<CFakeMapComputations>(&shared), dir.path());
        ASSERT_EQ(app->InitInstance({QStringLiteral("--no-splash")}), -1);
        frame = app->MainFrame();
        frame->resize(900, 650);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
        pane = frame->findChild<CSpectrumWnd*>(QStringLiteral("SpectrumWnd"));
        ASSERT_NE(pane, nullptr);
    }
    void Restart(int ui)
    {
        ASSERT_TRUE(frame->close());
        Start(ui);
    }
    // The texts of the map's context menu, read while it is open.
    QStringList ContextMenuTexts()
    {
        QStringList texts;
        QTimer::singleShot(0, [&texts] {
            if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
                for (QAction* a : menu->actions())
                    texts.append(a->text());
                menu->close();
            }
        });
        emit frame->ActiveView()->ContextMenuRequested(frame->ActiveView(), frame->mapToGlobal(QPoint(100, 100)));
        return texts;
    }

    QTemporaryDir dir;
    CPromptRecorder prompt;
    QString iniPath;
    CFakeMapComputations::Shared shared;
    std::unique_ptr<CTessarixApp> app;
    CMainFrame* frame = nullptr;
    CSpectrumWnd* pane = nullptr;
};

TEST_F(AcousticPanesTest, CommandsHaveTheirPlacesAndThePaneIsRememberedInBothStyles)
{
    for (int ui : {1, 0}) {
        SCOPED_TRACE(ui);
        Start(ui);
        // Surface Check: the ribbon's Edit panel or the Edit menu, and the map's context menu.
        EXPECT_EQ(frame->ActionsFor(ID_TX_SURFACE_CHECK).size(), 1);
        EXPECT_TRUE(ContextMenuTexts().contains(QStringLiteral("Surface &Check...")));

        EXPECT_EQ(frame->dockWidgetArea(pane), Qt::RightDockWidgetArea);
        EXPECT_TRUE(pane->isVisible());
        const QList<QAction*> toggles = frame->ActionsFor(ID_VIEW_SPECTRUM);
        ASSERT_EQ(toggles.size(), 1);
        frame->UpdateCommandStates();
        EXPECT_TRUE(toggles.first()->isChecked());
        toggles.first()->trigger();
        EXPECT_FALSE(pane->isVisible());
        Restart(ui);
        EXPECT_FALSE(pane->isVisible()) << "hidden at exit, hidden at the next start";
        frame->ActionsFor(ID_VIEW_SPECTRUM).first()->trigger();
        frame->addDockWidget(Qt::LeftDockWidgetArea, pane);
        Restart(ui);
        EXPECT_TRUE(pane->isVisible());
        EXPECT_EQ(frame->dockWidgetArea(pane), Qt::LeftDockWidgetArea);
        ASSERT_TRUE(frame->close());
    }
}

TEST_F(AcousticPanesTest, PaneFollowsTheReadoutAndHoldsTheLastValuesInGrey)
{
    Start(1);
    std::array<bool, kColumnCount> enabled{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = app->Document().Column(c).name;
    enabled[0] = enabled[4] = enabled[6] = true;
    app->Document().SetColumnDefinitions(enabled, names);
    CTessarixDoc& doc = app->Document();
    doc.Settings().extent = {0.0f, 100.0f, 0.0f, 100.0f};
    doc.Settings().gridCountX = doc.Settings().gridCountY = 10;
    CSpectrumChart* chart = pane->Chart();
    ASSERT_EQ(chart->Entries().size(), 3u) << "the enabled columns, named, before any position";
    EXPECT_FALSE(chart->HasPosition());

    CursorReadout at;
    at.x = 42.0f;
    at.y = 18.0f;
    at.xyValid = true;
    frame->ShowReadout(at);
    ASSERT_EQ(chart->Entries().size(), 3u);
    EXPECT_EQ(chart->Entries()[1].name, doc.Column(4).name);
    for (const SpectrumEntry& e : chart->Entries()) {
        EXPECT_TRUE(e.valid);
        EXPECT_EQ(e.value, 401.0f);
    }
    EXPECT_FALSE(chart->Held());
    EXPECT_EQ(chart->CopyText(), QStringLiteral("401\t401\t401"));

    // The pointer leaves the map: the same values, held.
    frame->ClearReadout();
    EXPECT_TRUE(chart->Held());
    EXPECT_EQ(chart->CopyText(), QStringLiteral("401\t401\t401"));
    // A change of the document drops them.
    doc.MoveColorScale(true);
    EXPECT_FALSE(chart->HasPosition());
    EXPECT_TRUE(chart->CopyText().isEmpty());
}

TEST_F(AcousticPanesTest, CtrlCInThePaneCopiesTheValuesNotTheMap)
{
    Start(1);
    CTessarixDoc& doc = app->Document();
    doc.Settings().extent = {0.0f, 100.0f, 0.0f, 100.0f};
    doc.Settings().gridCountX = doc.Settings().gridCountY = 10;
    shared.pictures[0] = QImage(300, 200, QImage::Format_RGB32);
    shared.pictures[0].fill(Qt::blue);
    CursorReadout at;
    at.x = 55.0f;
    at.y = 95.0f;
    at.xyValid = true;
    frame->ShowReadout(at);

    QGuiApplication::clipboard()->clear();
    frame->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(frame));
    pane->Chart()->setFocus();
    QTest::keyClick(pane->Chart(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("509"));
    EXPECT_TRUE(QGuiApplication::clipboard()->image().isNull());

    // Elsewhere Ctrl+C is still the map picture's Copy.
    frame->ActiveView()->setFocus();
    QTest::keyClick(frame->ActiveView(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(300, 200));
}

TEST_F(AcousticPanesTest, SurfaceCheckFollowsTheActiveTab)
{
    Start(1);
    std::array<bool, kColumnCount> enabled{};
    std::array<QString, kColumnCount> names;
    for (int c = 0; c < kColumnCount; ++c)
        names[size_t(c)] = app->Document().Column(c).name;
    enabled[0] = enabled[2] = true;
    app->Document().SetColumnDefinitions(enabled, names);
    frame->UpdateCommandStates();
    frame->ActionsFor(ID_TX_SURFACE_CHECK).first()->trigger();
    auto* dialog = frame->findChild<CSurfaceCheckDlg*>(QStringLiteral("SurfaceCheckDlg"));
    ASSERT_NE(dialog, nullptr);
    EXPECT_TRUE(dialog->isVisible());
    EXPECT_FALSE(dialog->isModal());
    EXPECT_EQ(dialog->Column(), 0);
    frame->Tabs()->setCurrentIndex(1);
    EXPECT_EQ(dialog->Column(), 2);
    // The command brings the same dialog forward.
    frame->ActionsFor(ID_TX_SURFACE_CHECK).first()->trigger();
    EXPECT_EQ(frame->findChildren<CSurfaceCheckDlg*>().size(), 1);
    // Disabling the checked column rebuilds the tabs without a tab change: the dialog follows.
    enabled[2] = false;
    app->Document().SetColumnDefinitions(enabled, names);
    EXPECT_EQ(dialog->Column(), 0);
    dialog->close();
}

}  // namespace
