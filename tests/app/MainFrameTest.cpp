// The application started for real (offscreen), with fake map computations and a temporary
// profile: tabs, notifications, status bar, commands in both styles, the style switch, documents.
#include <QAction>
#include <QClipboard>
#include <QDockWidget>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPrinter>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "../support/PromptRecorder.h"
#include "FakeMapComputations.h"
#include "app/AppStrings.h"
#include "app/BusyIndicatorWnd.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/PropertiesWnd.h"
#include "document/DocStrings.h"
#include "app/RibbonBar.h"
#include "print/TXPreviewView.h"
#include "app/TessarixApp.h"
#include "document/TessarixDoc.h"
#include "render/TessarixView.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"

namespace {

class MainFrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        iniPath = dir.filePath(QStringLiteral("profile.ini"));
        programFolder = dir.filePath(QStringLiteral("bin"));
        QDir().mkpath(programFolder);
        CKWProfileStore::UseIniFile(iniPath);
    }
    void TearDown() override { app.reset(); }
    // Starts the program; the profile is read from the INI file as it is now.
    int Start(QStringList args = {QStringLiteral("--no-splash")})
    {
        app.reset();
        CKWProfileStore::UseIniFile(iniPath);
        app = std::make_unique<CTessarixApp>(std::make_unique<CFakeMapComputations>(&shared), programFolder);
        const int status = app->InitInstance(args);
        if (status < 0) {
            frame = app->MainFrame();
            if (resizeOnStart)
                frame->resize(900, 650);
            EXPECT_TRUE(QTest::qWaitForWindowExposed(frame));
        }
        return status;
    }
    void Restart()
    {
        app.reset();  // exit step: the profile is written back
        Start();
    }
    QStringList TabTitles() const
    {
        QStringList t;
        for (int i = 0; i < frame->Tabs()->count(); ++i)
            t.append(frame->Tabs()->tabText(i));
        return t;
    }
    std::vector<int> TabColumns() const
    {
        std::vector<int> c;
        for (int i = 0; i < frame->Tabs()->count(); ++i)
            c.push_back(qobject_cast<CTessarixView*>(frame->Tabs()->widget(i))->Column());
        return c;
    }
    QStringList MenuTitles() const
    {
        QStringList t;
        for (QAction* a : frame->menuBar()->actions())
            t.append(a->text());
        return t;
    }
    void DefineColumns(std::initializer_list<int> enabled, int renamed = -1, const QString& name = {})
    {
        std::array<bool, kColumnCount> flags{};
        std::array<QString, kColumnCount> names;
        for (int c = 0; c < kColumnCount; ++c)
            names[size_t(c)] = app->Document().Column(c).name;
        for (int c : enabled)
            flags[size_t(c)] = true;
        if (renamed >= 0)
            names[size_t(renamed)] = name;
        app->Document().SetColumnDefinitions(flags, names);
    }
    // The fake computations never finish: answer every map counted so far with the MapReady its
    // worker would post.
    void AnswerOutstandingMaps()
    {
        QCoreApplication::processEvents();
        while (frame->OutstandingMaps() > 0)
            frame->SendMapNotify(MapNotifyMapReady, 0);
    }

    QTemporaryDir dir;
    CPromptRecorder prompt;  // the messages the program shows, and its answers to questions
    QString iniPath;
    QString programFolder;
    CFakeMapComputations::Shared shared;
    std::unique_ptr<CTessarixApp> app;
    CMainFrame* frame = nullptr;
    bool resizeOnStart = true;
};

TEST_F(MainFrameTest, NewDocumentShowsOneTabSlm)
{
    ASSERT_EQ(Start(), -1);
    EXPECT_EQ(TabTitles(), QStringList{QStringLiteral("SLM")});
    EXPECT_EQ(TabColumns(), std::vector<int>{0});
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Untitled[*] - Tessarix"));
    EXPECT_TRUE(frame->IsRibbon());
    EXPECT_TRUE(prompt.Texts().isEmpty());
}

TEST_F(MainFrameTest, EnablingColumnsRebuildsTabsRenamingOnlyRetitles)
{
    ASSERT_EQ(Start(), -1);
    DefineColumns({0, 3, 5});
    EXPECT_EQ(TabTitles(), (QStringList{"SLM", "63 Hz", "250 Hz"}));
    EXPECT_EQ(TabColumns(), (std::vector<int>{0, 3, 5}));
    frame->Tabs()->setCurrentIndex(2);
    CTessarixView* before = frame->ViewOf(3);
    DefineColumns({0, 3, 5}, 3, QStringLiteral("Hall A"));
    EXPECT_EQ(TabTitles(), (QStringList{"SLM", "Hall A", "250 Hz"}));
    EXPECT_EQ(frame->ViewOf(3), before);  // the same windows, only retitled
    EXPECT_EQ(frame->ActiveColumn(), 5);
    DefineColumns({0, 5});
    EXPECT_EQ(TabColumns(), (std::vector<int>{0, 5}));
    EXPECT_EQ(frame->ActiveColumn(), 5);  // the active column stays active across a rebuild
}

class PaintCounter : public QObject {
public:
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST_F(MainFrameTest, MapReadyRepaintsTheActiveTabAtOnceAndCountsDown)
{
    ASSERT_EQ(Start(), -1);
    DefineColumns({0, 2});
    frame->Tabs()->setCurrentIndex(1);
    QTest::qWait(20);
    AnswerOutstandingMaps();
    QTest::qWait(20);
    PaintCounter counter;
    frame->ViewOf(2)->installEventFilter(&counter);
    std::thread worker([this] { app->Document().Notify()->PostMapNotify(MapNotifyMapsRequested, 2); });
    worker.join();
    EXPECT_FALSE(frame->BusyIndicator()->IsRunning());
    QCoreApplication::processEvents();
    EXPECT_EQ(frame->OutstandingMaps(), 2);
    EXPECT_TRUE(frame->BusyIndicator()->IsRunning());

    frame->SendMapNotify(MapNotifyMapReady, 0);  // not the active tab: no immediate repaint
    EXPECT_EQ(counter.paints, 0);
    EXPECT_TRUE(frame->BusyIndicator()->IsRunning());
    frame->SendMapNotify(MapNotifyMapReady, 2);
    EXPECT_GE(counter.paints, 1);
    EXPECT_EQ(frame->OutstandingMaps(), 0);
    EXPECT_FALSE(frame->BusyIndicator()->IsRunning());
    frame->SendMapNotify(MapNotifyMapReady, 2);  // a late one never goes below zero
    EXPECT_EQ(frame->OutstandingMaps(), 0);
}

TEST_F(MainFrameTest, BusyIndicatorAdvancesEvery150Ms)
{
    ASSERT_EQ(Start(), -1);
    frame->SendMapNotify(MapNotifyMapsRequested, 1);
    const int first = frame->BusyIndicator()->Frame();
    QTest::qWait(CBusyIndicatorWnd::kFrameMs * 3 + 60);
    EXPECT_NE(frame->BusyIndicator()->Frame(), first);
    AnswerOutstandingMaps();
    EXPECT_FALSE(frame->BusyIndicator()->IsRunning());
}

// MapsRequested is posted after the workers are woken, so a fast worker's MapReady can reach the
// frame first. The count was set, not added to, and stayed above zero with the indicator on.
TEST_F(MainFrameTest, BusyIndicatorStopsWhenMapReadyOvertakesMapsRequested)
{
    ASSERT_EQ(Start(), -1);
    AnswerOutstandingMaps();
    frame->SendMapNotify(MapNotifyMapReady, 0);
    frame->SendMapNotify(MapNotifyMapsRequested, 1);
    EXPECT_EQ(frame->OutstandingMaps(), 0);
    EXPECT_FALSE(frame->BusyIndicator()->IsRunning());
    // Two maps requested, one answered before and one after: running in between only.
    frame->SendMapNotify(MapNotifyMapReady, 0);
    frame->SendMapNotify(MapNotifyMapsRequested, 2);
    EXPECT_TRUE(frame->BusyIndicator()->IsRunning());
    EXPECT_EQ(frame->OutstandingMaps(), 1);
    frame->SendMapNotify(MapNotifyMapReady, 0);
    EXPECT_EQ(frame->OutstandingMaps(), 0);
    EXPECT_FALSE(frame->BusyIndicator()->IsRunning());
}

TEST_F(MainFrameTest, StatusBarReadsTheCursorOutThroughTheView)
{
    ASSERT_EQ(Start(), -1);
    CTessarixView* view = frame->ActiveView();
    ASSERT_NE(view, nullptr);
    QTest::qWait(20);
    const TxRect g = app->Document().Layout().graph;
    ASSERT_FALSE(g.IsEmpty());
    EXPECT_EQ(frame->ReadoutText(0), QStringLiteral("X= ..."));
    // A pixel a quarter into the graph, in the cell (i, j) = (5, 5).
    const QPoint p(g.left + g.Width() / 4 + 1, g.bottom - g.Height() / 4 - 1);
    QTest::mouseMove(view, p);
    const CursorReadout r = view->LastReadout();
    EXPECT_EQ(frame->ReadoutText(0), QString::asprintf("X= %g", double(r.x)));
    EXPECT_EQ(frame->ReadoutText(1), QString::asprintf("Y= %g", double(r.y)));
    EXPECT_EQ(frame->ReadoutText(2), QStringLiteral("Z= 505"));
    QTest::mouseMove(view, QPoint(g.right + 3, p.y()));
    EXPECT_EQ(frame->ReadoutText(2), QStringLiteral("Z= ..."));
    EXPECT_NE(frame->ReadoutText(0), QStringLiteral("X= ..."));
}

TEST_F(MainFrameTest, EveryLayoutCommandHasItsHandler)
{
    ASSERT_EQ(Start(), -1);
    for (int id : {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_SAVE_AS, ID_EDIT_COPY, ID_MAP_MODE_COLORMAP, ID_APP_ABOUT,
                   ID_TX_EDIT_DATA, ID_TX_INSERT_DATA, ID_TX_SETUP, ID_TX_GRID, ID_TX_IMPORT_IMAGE, ID_TX_IMAGE_CLIP, ID_EDIT_UNDO,
                   ID_EDIT_REDO, ID_FILE_PRINT, ID_SET_FOOTER, ID_TX_BAND_SUM, ID_TX_MERGE_READINGS})
        EXPECT_FALSE(frame->ActionsFor(id).isEmpty()) << id;
}

// The undo history gives its own menu text in the classic style; the ribbon keeps its label.
TEST_F(MainFrameTest, UndoTextFollowsTheCommandInClassicMenusOnlyAndItsKeysWork)
{
    ASSERT_EQ(Start(), -1);
    app->Document().InsertPoint(1.0f, 1.0f, {60.0f});
    frame->UpdateCommandStates();
    ASSERT_EQ(frame->ActionsFor(ID_EDIT_UNDO).size(), 1);
    EXPECT_NE(frame->ActionsFor(ID_EDIT_UNDO).first()->text(), QStringLiteral("&Undo Insert Point\t(Ctrl+Z)"));

    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Workspace/ApplicationUI"), 0);
    }
    app.reset();
    CKWProfileStore::UseIniFile(iniPath);
    app = std::make_unique<CTessarixApp>(std::make_unique<CFakeMapComputations>(&shared), programFolder);
    ASSERT_EQ(app->InitInstance({QStringLiteral("--no-splash")}), -1);
    frame = app->MainFrame();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frame));
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->ActionsFor(ID_EDIT_UNDO).first()->text(), QStringLiteral("Can't Undo"));
    EXPECT_FALSE(frame->ActionsFor(ID_EDIT_UNDO).first()->isEnabled());
    app->Document().InsertPoint(1.0f, 1.0f, {60.0f});
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->ActionsFor(ID_EDIT_UNDO).first()->text(), QStringLiteral("&Undo Insert Point\t(Ctrl+Z)"));
    QTest::keyClick(frame, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(app->Document().PointCount(), 0);
    frame->UpdateCommandStates();
    EXPECT_EQ(frame->ActionsFor(ID_EDIT_REDO).first()->text(), QStringLiteral("&Redo Insert Point\t(Ctrl+Y)"));
    QTest::keyClick(frame, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(app->Document().PointCount(), 1);
    frame->UpdateCommandStates();
    QTest::keyClick(frame, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(app->Document().PointCount(), 0);
}

TEST_F(MainFrameTest, InsertDataNeedsClipboardTextAndTogglesTheViewsInsertMode)
{
    ASSERT_EQ(Start(), -1);
    QGuiApplication::clipboard()->clear();
    frame->UpdateCommandStates();
    QAction* insert = frame->ActionsFor(ID_TX_INSERT_DATA).first();
    EXPECT_FALSE(insert->isEnabled());
    QGuiApplication::clipboard()->setText(QStringLiteral("55\n60\n"));
    frame->UpdateCommandStates();
    ASSERT_TRUE(insert->isEnabled());
    insert->trigger();
    EXPECT_TRUE(frame->ActiveView()->InsertMode());
    EXPECT_TRUE(insert->isChecked());
    // A right click on the map leaves the mode; the next command starts a new import.
    QTest::mouseClick(frame->ActiveView(), Qt::RightButton, {}, QPoint(50, 50));
    EXPECT_FALSE(frame->ActiveView()->InsertMode());
    insert->trigger();
    EXPECT_TRUE(frame->ActiveView()->InsertMode());
    insert->trigger();
    EXPECT_FALSE(frame->ActiveView()->InsertMode());
    EXPECT_EQ(app->Document().PointCount(), 0);
}

TEST_F(MainFrameTest, CopyIsEnabledOnlyWithAPicture)
{
    ASSERT_EQ(Start(), -1);
    frame->UpdateCommandStates();
    EXPECT_FALSE(frame->ActionsFor(ID_EDIT_COPY).first()->isEnabled());
    shared.pictures[0] = QImage(900, 600, QImage::Format_RGB32);
    shared.pictures[0].fill(Qt::blue);
    frame->UpdateCommandStates();
    EXPECT_TRUE(frame->ActionsFor(ID_EDIT_COPY).first()->isEnabled());
    QTest::keyClick(frame, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->image().size(), QSize(900, 600));
}

TEST_F(MainFrameTest, MapModeButtonsAreExclusiveAndMarkTheDocumentModified)
{
    ASSERT_EQ(Start(), -1);
    QAction* colorMap = frame->ActionsFor(ID_MAP_MODE_COLORMAP).first();
    colorMap->trigger();
    EXPECT_EQ(app->Document().Settings().mapMode, int(MapModeColorMap));
    EXPECT_TRUE(colorMap->isChecked());
    EXPECT_FALSE(frame->ActionsFor(ID_MAP_MODE_NORMAL).first()->isChecked());
    EXPECT_TRUE(app->Document().IsModified());
    EXPECT_TRUE(frame->isWindowModified());
}

TEST_F(MainFrameTest, StyleSwitchWritesTheProfileAndWaitsForTheRestart)
{
    ASSERT_EQ(Start(), -1);
    ASSERT_NE(frame->Ribbon(), nullptr);
    ASSERT_FALSE(frame->ActionsFor(ID_UI_VISUAL_STUDIO).isEmpty());
    frame->ActionsFor(ID_UI_VISUAL_STUDIO).first()->trigger();
    ASSERT_EQ(prompt.Texts().size(), 1);
    EXPECT_EQ(prompt.Texts().first(), TxString(IDS_UI_CHANGE_AT_RESTART));
    EXPECT_EQ(CKWProfileStore::Instance().ReadInt(QStringLiteral("Workspace"), QStringLiteral("ApplicationUI"), 1), 0);
    EXPECT_TRUE(frame->IsRibbon());
    EXPECT_NE(frame->Ribbon(), nullptr);
    EXPECT_TRUE(MenuTitles().isEmpty());

    Restart();
    EXPECT_FALSE(frame->IsRibbon());
    EXPECT_EQ(frame->Ribbon(), nullptr);
    EXPECT_EQ(frame->Look(), 214);
    EXPECT_EQ(MenuTitles(), (QStringList{"&File", "&Edit", "&Setup", "&Data", "&Map Mode", "&View", "&Help"}));
    ASSERT_NE(frame->Toolbar(), nullptr);
    EXPECT_FALSE(frame->ActionsFor(ID_UI_OFFICE_2007).isEmpty());
    EXPECT_TRUE(frame->ActionsFor(ID_UI_VISUAL_STUDIO).isEmpty());
    EXPECT_EQ(TabTitles(), QStringList{QStringLiteral("SLM")});
}

TEST_F(MainFrameTest, LooksApplyAtOnceAndAreRemembered)
{
    ASSERT_EQ(Start(), -1);
    EXPECT_EQ(frame->Look(), 215);
    frame->ActionsFor(ID_LOOK_OFFICE_2007_SILVER).first()->trigger();
    EXPECT_EQ(frame->Look(), 217);
    EXPECT_TRUE(frame->ActionsFor(ID_LOOK_OFFICE_2007_SILVER).first()->isChecked());
    EXPECT_TRUE(frame->ActionsFor(ID_LOOK_WIN_XP).isEmpty());  // classic looks are not offered here
    frame->ApplyLook(ID_LOOK_WIN_XP);
    EXPECT_EQ(frame->Look(), 217);
    Restart();
    EXPECT_EQ(frame->Look(), 217);
}

TEST_F(MainFrameTest, PdfDocumentsPanelOnlyWithDocuments)
{
    ASSERT_EQ(Start(), -1);
    auto panelTitles = [this] {
        QStringList t;
        for (CRibbonPanel* p : frame->Ribbon()->Panels(0))
            t.append(p->Title());
        return t;
    };
    EXPECT_FALSE(panelTitles().contains(QStringLiteral("Documents")));
    EXPECT_TRUE(panelTitles().contains(QStringLiteral("Map Mode")));
    for (const char* name : {"Manual.pdf", "Quick Start.pdf"})
        QFile(QDir(programFolder).filePath(QString::fromLatin1(name))).open(QIODevice::WriteOnly);
    ASSERT_EQ(Start(), -1);
    EXPECT_TRUE(panelTitles().contains(QStringLiteral("Documents")));
    ASSERT_EQ(frame->ActionsFor(ID_PDF_FIRST + 1).size(), 1);
    EXPECT_EQ(frame->ActionsFor(ID_PDF_FIRST + 1).first()->text(), QStringLiteral("Quick Start.pdf"));
    EXPECT_TRUE(frame->ActionsFor(ID_PDF_FIRST + 2).isEmpty());
}

TEST_F(MainFrameTest, ClassicHelpMenuSaysNoneWithoutDocuments)
{
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Workspace/ApplicationUI"), 0);
    }
    ASSERT_EQ(Start(), -1);
    QMenu* help = frame->menuBar()->actions().last()->menu();
    ASSERT_NE(help, nullptr);
    QMenu* pdf = help->actions().first()->menu();
    ASSERT_NE(pdf, nullptr);
    ASSERT_EQ(pdf->actions().size(), 1);
    EXPECT_EQ(pdf->actions().first()->text(), QStringLiteral("None"));
    EXPECT_FALSE(pdf->actions().first()->isEnabled());
}

TEST_F(MainFrameTest, ModifiedDocumentAsksBeforeNewAndCancelKeepsIt)
{
    ASSERT_EQ(Start(), -1);
    app->Document().InsertPoint(0.5f, 0.5f, {60.0f});
    ASSERT_TRUE(app->Document().IsModified());
    prompt.answer = PromptAnswer::Cancel;
    frame->ActionsFor(ID_FILE_NEW).first()->trigger();
    ASSERT_EQ(prompt.Texts().size(), 1);
    EXPECT_EQ(prompt.Texts().first(), QStringLiteral("Save changes to Untitled?"));
    EXPECT_EQ(app->Document().PointCount(), 1);
    prompt.answer = PromptAnswer::No;
    QTest::keyClick(frame, Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(prompt.Texts().size(), 2);
    EXPECT_EQ(app->Document().PointCount(), 0);
    EXPECT_FALSE(app->Document().IsModified());
    EXPECT_EQ(TabTitles(), QStringList{QStringLiteral("SLM")});
}

// New over a changed document that has a file: the answer to "Save changes?" saves it first,
// drops the changes, or keeps the document as it is.
struct SaveQuestionCase {
    const char* name;
    PromptAnswer answer;
    int pointsAfter;   // in the program's document
    int pointsOnDisk;  // in the file
};

class SaveQuestion : public MainFrameTest, public ::testing::WithParamInterface<SaveQuestionCase> {};

TEST_P(SaveQuestion, AnswerDecidesBetweenSavingDiscardingAndStaying)
{
    ASSERT_EQ(Start(), -1);
    const QString path = dir.filePath(QStringLiteral("hall.Tsrix"));
    app->Document().InsertPoint(0.25f, 0.75f, {55.5f});
    app->Document().SetPathName(path);
    ASSERT_TRUE(app->FileSave());
    app->Document().InsertPoint(0.5f, 0.5f, {60.0f});
    prompt.answer = GetParam().answer;
    app->FileNew();
    ASSERT_EQ(prompt.shown.size(), 1u);
    EXPECT_EQ(prompt.shown[0], (PromptMessage{QStringLiteral("Save changes to hall.Tsrix?"), PromptIcon::Warning,
                                              PromptButtons::YesNoCancel, {}}));
    EXPECT_EQ(app->Document().PointCount(), GetParam().pointsAfter);
    CTessarixDoc onDisk(std::make_unique<CFakeMapComputations>(&shared));
    ASSERT_EQ(onDisk.OnOpenDocument(path), DocFileStatus::Ok);
    EXPECT_EQ(onDisk.PointCount(), GetParam().pointsOnDisk);
}

INSTANTIATE_TEST_SUITE_P(Shell, SaveQuestion,
                         ::testing::Values(SaveQuestionCase{"YesSavesThenStartsNew", PromptAnswer::Yes, 0, 2},
                                           SaveQuestionCase{"NoDiscardsTheChanges", PromptAnswer::No, 0, 1},
                                           SaveQuestionCase{"CancelKeepsTheDocument", PromptAnswer::Cancel, 2, 1}),
                         [](const auto& info) { return std::string(info.param.name); });

// The shell's plain messages: one OK button, the warning icon except for the notice that a
// style change waits for the restart.
struct ShellMessageCase {
    const char* name;
    std::function<void(CTessarixApp& app, const QString& folder)> run;
    const char* textEnd;  // how the text ends ("" when it depends on the system)
    PromptIcon icon;
};

class ShellMessages : public MainFrameTest, public ::testing::WithParamInterface<ShellMessageCase> {};

TEST_P(ShellMessages, ShowTheirTextWithOkAndTheirIcon)
{
    ASSERT_EQ(Start(), -1);
    GetParam().run(*app, dir.path());
    ASSERT_EQ(prompt.shown.size(), 1u);
    const PromptMessage& shown = prompt.shown[0];
    EXPECT_FALSE(shown.text.isEmpty());
    EXPECT_TRUE(shown.text.endsWith(QString::fromUtf8(GetParam().textEnd))) << shown.text.toStdString();
    EXPECT_EQ(shown.icon, GetParam().icon);
    EXPECT_EQ(shown.buttons, PromptButtons::Ok);
    EXPECT_EQ(shown.defaultButton, std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, ShellMessages,
    ::testing::Values(
        ShellMessageCase{"OpenMissingFile",
                         [](CTessarixApp& app, const QString& folder) { app.OpenDocument(folder + u"/gone.Tsrix"); },
                         "Verify that the correct path and file name are given.", PromptIcon::Warning},
        ShellMessageCase{"SaveIntoMissingFolder",
                         [](CTessarixApp& app, const QString& folder) {
                             app.Document().SetPathName(folder + u"/no/such/folder/x.Tsrix");
                             app.FileSave();
                         },
                         "", PromptIcon::Warning},
        ShellMessageCase{"DropAFolder", [](CTessarixApp& app, const QString& folder) { app.OpenDroppedFile(folder); },
                         "is not a file that can be opened.", PromptIcon::Warning},
        ShellMessageCase{"StyleChangeWaitsForRestart",
                         [](CTessarixApp& app, const QString&) { app.SelectInterface(false); },
                         "If you want to change immediately restart the application now.", PromptIcon::Information}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainFrameTest, OpensTheSampleFromTheCommandLineAndRemembersIt)
{
    const QString sample = QStringLiteral(TESSARIX_SAMPLES_DIR "/factory-hall.Tsrix");
    ASSERT_EQ(Start({QStringLiteral("--no-splash"), sample}), -1);
    EXPECT_TRUE(prompt.Texts().isEmpty()) << prompt.Texts().join(u'\n').toStdString();
    EXPECT_GT(app->Document().PointCount(), 0);
    EXPECT_EQ(TabTitles(), app->Document().EnabledColumnNames());
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("factory-hall.Tsrix[*] - Tessarix"));
    Restart();
    ASSERT_FALSE(app->RecentFiles().Files().isEmpty());
    EXPECT_TRUE(app->RecentFiles().Files().first().endsWith(QStringLiteral("factory-hall.Tsrix")));
}

TEST_F(MainFrameTest, UnreadableFileOnTheCommandLineEndsTheStartAfterTheMessage)
{
    QFile bad(dir.filePath(QStringLiteral("bad.Tsrix")));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a document");
    bad.close();
    EXPECT_EQ(Start({QStringLiteral("--no-splash"), bad.fileName()}), 1);
    ASSERT_EQ(prompt.Texts().size(), 1);
    EXPECT_EQ(prompt.Texts().first(), QStringLiteral("Unexpected file format."));
    EXPECT_EQ(Start({QStringLiteral("--bogus")}), 2);
    EXPECT_EQ(Start({QStringLiteral("--print"), bad.fileName()}), 1);
}

TEST_F(MainFrameTest, SaveAndReopenKeepTheDocumentAndTheMarginsComeFromTheProfile)
{
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Settings/Margins"), QStringLiteral("1000,1500,2000,2500"));
    }
    ASSERT_EQ(Start(), -1);
    EXPECT_EQ(app->Margins(), (PageMargins{1000, 1500, 2000, 2500}));
    app->Document().InsertPoint(0.25f, 0.75f, {55.5f});
    const QString path = dir.filePath(QStringLiteral("saved.Tsrix"));
    app->Document().SetPathName(path);
    ASSERT_TRUE(app->FileSave());
    EXPECT_FALSE(frame->isWindowModified());
    app->FileNew();
    ASSERT_TRUE(app->OpenDocument(path));
    EXPECT_EQ(app->Document().PointCount(), 1);
    EXPECT_FLOAT_EQ(app->Document().Column(0).values.at(0), 55.5f);
    EXPECT_TRUE(prompt.Texts().isEmpty());
}

TEST_F(MainFrameTest, DroppedFilesAreOpenedAndFoldersRefused)
{
    ASSERT_EQ(Start(), -1);
    app->OpenDroppedFile(dir.path());
    ASSERT_EQ(prompt.Texts().size(), 1);
    EXPECT_TRUE(prompt.Texts().first().endsWith(QStringLiteral("is not a file that can be opened.")));
    app->OpenDroppedFile(QStringLiteral(TESSARIX_SAMPLES_DIR "/factory-hall.Tsrix"));
    EXPECT_EQ(prompt.Texts().size(), 1);
    EXPECT_GT(app->Document().PointCount(), 0);
    EXPECT_TRUE(frame->acceptDrops());
}

TEST_F(MainFrameTest, WindowGeometryIsRememberedPerStyle)
{
    ASSERT_EQ(Start(), -1);
    frame->resize(777, 555);
    QTest::qWait(20);
    ASSERT_TRUE(frame->close());
    resizeOnStart = false;
    Restart();
    EXPECT_EQ(frame->size(), QSize(777, 555));
    EXPECT_TRUE(CKWProfileStore::Instance().ReadString(QStringLiteral("WorkspaceVS"), QStringLiteral("WindowGeometry"), {}).isEmpty());
}

}  // namespace

namespace {

// Image Scale and Image Clip need a picture, in the ribbon and in the classic menus and toolbar.
struct PictureCommandRow {
    const char* name;
    int id;
    const char* label;
    const char* prompt;
};

class PictureCommandTest : public MainFrameTest, public ::testing::WithParamInterface<PictureCommandRow> {};

TEST_P(PictureCommandTest, IsEnabledOnlyWithAPictureInBothStyles)
{
    const PictureCommandRow& row = GetParam();
    const QString picture = QStringLiteral(TESSARIX_SAMPLES_DIR "/pictures/jpeg_gray_150dpi_640x400.jpg");
    for (int ui : {1, 0}) {
        SCOPED_TRACE(ui);
        {
            QSettings ini(iniPath, QSettings::IniFormat);
            ini.setValue(QStringLiteral("Workspace/ApplicationUI"), ui);
        }
        ASSERT_EQ(Start(), -1);
        EXPECT_EQ(frame->IsRibbon(), ui == 1);
        frame->UpdateCommandStates();
        const QList<QAction*> actions = frame->ActionsFor(row.id);
        ASSERT_FALSE(actions.isEmpty());
        for (QAction* a : actions) {
            EXPECT_FALSE(a->isEnabled());
            EXPECT_TRUE(a->toolTip().contains(QString::fromUtf8(row.label))) << a->toolTip().toStdString();
            EXPECT_TRUE(a->toolTip().contains(QString::fromUtf8(row.prompt))) << a->toolTip().toStdString();
        }
        ASSERT_TRUE(app->Document().ImportImage(picture, CTXImage::Jpeg));
        frame->UpdateCommandStates();
        for (QAction* a : frame->ActionsFor(row.id))
            EXPECT_TRUE(a->isEnabled());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Commands, PictureCommandTest,
    ::testing::Values(PictureCommandRow{"ImageScale", ID_TX_IMAGE_SCALE, "Image Scale",
                                        "Change the scale and position of the image"},
                      PictureCommandRow{"ImageClip", ID_TX_IMAGE_CLIP, "Image Clip", "Define the image clipping path"}),
    [](const ::testing::TestParamInfo<PictureCommandRow>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// The properties pane is a dock of the frame in both styles: "Property Bar" shows and hides it,
// its visibility survives a restart, and a change made elsewhere shows in it at once.
TEST_F(MainFrameTest, PropertyBarTogglesThePaneInBothStylesAndItIsRemembered)
{
    for (int ui : {1, 0}) {
        SCOPED_TRACE(ui);
        {
            QSettings ini(iniPath, QSettings::IniFormat);
            ini.setValue(QStringLiteral("Workspace/ApplicationUI"), ui);
        }
        ASSERT_EQ(Start(), -1);
        auto* pane = frame->findChild<CPropertiesWnd*>(QStringLiteral("PropertiesWnd"));
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(frame->dockWidgetArea(pane), Qt::RightDockWidgetArea);
        EXPECT_TRUE(pane->isVisible());
        frame->UpdateCommandStates();
        const QList<QAction*> toggles = frame->ActionsFor(ID_VIEW_PROPERTIES);
        ASSERT_FALSE(toggles.isEmpty());
        for (QAction* a : toggles)
            EXPECT_TRUE(a->isChecked());

        toggles.first()->trigger();
        EXPECT_FALSE(pane->isVisible());
        frame->UpdateCommandStates();
        for (QAction* a : frame->ActionsFor(ID_VIEW_PROPERTIES))
            EXPECT_FALSE(a->isChecked());

        ASSERT_TRUE(frame->close());
        Restart();
        pane = frame->findChild<CPropertiesWnd*>(QStringLiteral("PropertiesWnd"));
        ASSERT_NE(pane, nullptr);
        EXPECT_FALSE(pane->isVisible()) << "hidden at exit, hidden at the next start";
        frame->ActionsFor(ID_VIEW_PROPERTIES).first()->trigger();
        EXPECT_TRUE(pane->isVisible());
        // Its place is remembered too.
        frame->addDockWidget(Qt::LeftDockWidgetArea, pane);
        ASSERT_TRUE(frame->close());
        Restart();
        pane = frame->findChild<CPropertiesWnd*>(QStringLiteral("PropertiesWnd"));
        ASSERT_NE(pane, nullptr);
        EXPECT_EQ(frame->dockWidgetArea(pane), Qt::LeftDockWidgetArea);
        EXPECT_TRUE(pane->isVisible());
        ASSERT_TRUE(frame->close());
    }
}

TEST_F(MainFrameTest, PropertiesPaneReloadsOnTheFramesSettingsNotification)
{
    ASSERT_EQ(Start(), -1);
    auto* pane = frame->findChild<CPropertiesWnd*>(QStringLiteral("PropertiesWnd"));
    ASSERT_NE(pane, nullptr);
    const int zStart = FindProperty(IDS_PROP_GROUP_Z_AXIS, IDS_PROP_START);
    app->Document().MoveColorScale(true);  // 20..80 becomes 22..82
    EXPECT_EQ(pane->Cell(zStart)->Value().real, 22.0f);
    app->Document().Undo();
    EXPECT_EQ(pane->Cell(zStart)->Value().real, 20.0f);
    // An edit in the pane goes through the document like any other change.
    PropertyValue v = pane->Model().Value(zStart);
    v.real = 30.0f;
    pane->Model().Edit(zStart, v);
    EXPECT_EQ(app->Document().Settings().zAxis.start, 30.0f);
    EXPECT_EQ(pane->Cell(zStart)->Value().real, 30.0f);
}

// Printing in both interface styles: every print command has its place, and --print prints
// the opened document on the application's printer, one page per enabled column.
TEST_F(MainFrameTest, PrintCommandsInBothStyles)
{
    for (int ui : {1, 0}) {
        SCOPED_TRACE(ui);
        {
            QSettings ini(iniPath, QSettings::IniFormat);
            ini.setValue(QStringLiteral("Workspace/ApplicationUI"), ui);
        }
        ASSERT_EQ(Start(), -1);
        for (int id : {ID_FILE_PRINT, ID_FILE_PRINT_PREVIEW, ID_FILE_PRINT_SETUP, ID_FILE_PAGE_SETUP, ID_SET_TITLE,
                       ID_SET_TEXT_ABOVE, ID_SET_TEXT_BELOW, ID_SET_FOOTER})
            EXPECT_FALSE(frame->ActionsFor(id).isEmpty()) << id;
        EXPECT_EQ(frame->ActionsFor(ID_FILE_PRINT_DIRECT).isEmpty(), ui == 0);  // Quick Print: ribbon only
    }
}

// The ribbon look's preview shows the text commands in a ribbon category of its own.
TEST_F(MainFrameTest, RibbonPreviewHoldsTheTextCommandsInItsOwnCategory)
{
    ASSERT_EQ(Start(), -1);
    ASSERT_TRUE(frame->IsRibbon());
    CTXPreviewView preview(app->Document(), app->Printer(), nullptr, {}, 1, frame);
    CRibbonBar* ribbon = AddPreviewRibbon(preview, frame->Look());
    const std::vector<CRibbonPanel*> panels = ribbon->Panels(0);
    ASSERT_EQ(panels.size(), 1u);
    EXPECT_EQ(panels[0]->Title(), QStringLiteral("Text"));
    const auto& buttons = panels[0]->Buttons();
    ASSERT_EQ(int(buttons.size()), kPrintBlockCount);
    for (int kind = 0; kind < kPrintBlockCount; ++kind) {
        EXPECT_EQ(buttons[size_t(kind)]->defaultAction(), preview.TextAction(kind));
        EXPECT_FALSE(preview.ToolBar()->actions().contains(preview.TextAction(kind)));
    }
    const auto tabs = ribbon->findChildren<QToolButton*>(QStringLiteral("RibbonCategoryTab"));
    ASSERT_EQ(tabs.size(), 1);
    EXPECT_EQ(tabs[0]->text(), QStringLiteral("Tessarix"));
}

// Quick Print on a printer that cannot be opened says so instead of passing in silence.
TEST_F(MainFrameTest, QuickPrintThatFailsTellsTheUser)
{
    ASSERT_EQ(Start(), -1);
    app->Printer().setOutputFormat(QPrinter::PdfFormat);
    app->Printer().setOutputFileName(dir.filePath(QStringLiteral("no/such/folder/out.pdf")));
    ASSERT_TRUE(app->Commands().Run(ID_FILE_PRINT_DIRECT));
    EXPECT_EQ(prompt.Messages(), QStringList{QStringLiteral("The document could not be printed: the printer did not accept the pages.")});
}

TEST_F(MainFrameTest, PrintOptionPrintsEveryEnabledColumnWithTheProfilesMargins)
{
    {
        QSettings ini(iniPath, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Settings/Margins"), QStringLiteral("1000,1000,2000,2000"));
    }
    app = std::make_unique<CTessarixApp>(std::make_unique<CFakeMapComputations>(&shared), programFolder);
    const QString pdf = dir.filePath(QStringLiteral("printed.pdf"));
    app->Printer().setOutputFormat(QPrinter::PdfFormat);
    app->Printer().setOutputFileName(pdf);
    EXPECT_EQ(app->InitInstance({QStringLiteral("--print"), QStringLiteral(TESSARIX_SAMPLES_DIR "/factory-hall.Tsrix")}), 0);
    EXPECT_EQ(app->Margins(), (PageMargins{1000, 1000, 2000, 2000}));  // read before printing
    QFile file(pdf);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    // One page object per enabled column of the sample.
    const qsizetype pages = bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page ") +
                            bytes.count("/Type /Page/") + bytes.count("/Type /Page>");
    EXPECT_EQ(pages, qsizetype(app->Document().EnabledColumnIndices().size()));
    EXPECT_TRUE(prompt.Texts().isEmpty());
}

}  // namespace
