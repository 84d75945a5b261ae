// The shell's decisions without windows: command line, language, margins, folders, PDF list,
// interface style, recent files, layouts and the command table.
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "app/AppStrings.h"
#include "app/CommandIds.h"
#include "app/CommandTable.h"
#include "app/LookScheme.h"
#include "app/RecentFileList.h"
#include "app/ShellLayout.h"
#include "app/StartupOptions.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"

namespace {

struct CommandLineCase {
    const char* name;
    QStringList args;
    QString file;
    bool print;
    bool splash;
    bool error;
};

class CommandLineTest : public ::testing::TestWithParam<CommandLineCase> {};

TEST_P(CommandLineTest, Parses)
{
    const CommandLineCase& c = GetParam();
    const CommandLineRequest r = ParseCommandLine(c.args);
    EXPECT_EQ(r.file, c.file);
    EXPECT_EQ(r.print, c.print);
    EXPECT_EQ(r.splash, c.splash);
    EXPECT_EQ(!r.error.isEmpty(), c.error) << r.error.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Shell, CommandLineTest,
    ::testing::Values(
        CommandLineCase{"empty", {}, {}, false, true, false},
        CommandLineCase{"file", {"hall.Tsrix"}, "hall.Tsrix", false, true, false},
        CommandLineCase{"no_splash_before_file", {"--no-splash", "a.Tsrix"}, "a.Tsrix", false, false, false},
        CommandLineCase{"print_turns_splash_off", {"--print", "a.Tsrix"}, "a.Tsrix", true, false, false},
        CommandLineCase{"print_without_file", {"--print"}, {}, true, false, true},
        CommandLineCase{"unknown_option", {"--colour", "a.Tsrix"}, "a.Tsrix", false, true, true},
        CommandLineCase{"two_files", {"a.Tsrix", "b.Tsrix"}, "a.Tsrix", false, true, true},
        CommandLineCase{"lone_dash_is_a_file", {"-"}, "-", false, true, false}),
    [](const auto& info) { return std::string(info.param.name); });

struct LanguageCase {
    const char* name;
    std::vector<int> available;
    bool italian;
    bool shift;
    int expected;
};

class LanguageChoiceTest : public ::testing::TestWithParam<LanguageCase> {};

TEST_P(LanguageChoiceTest, Chooses)
{
    const LanguageCase& c = GetParam();
    EXPECT_EQ(ChooseLanguage(c.available, c.italian, c.shift), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, LanguageChoiceTest,
    ::testing::Values(LanguageCase{"english_user", {0, 1, 3}, false, false, 0},
                      LanguageCase{"italian_user_with_file", {0, 1}, true, false, 1},
                      LanguageCase{"italian_user_shift_held", {0, 1}, true, true, 0},
                      LanguageCase{"italian_user_without_file", {0, 2, 3}, true, false, 0},
                      LanguageCase{"empty_list", {}, true, false, 0}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(LanguageFiles, AvailableListsOnlyExistingFilesInOrder)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const char* name : {"TESSARIX_GER.DLL", "TESSARIX_ITA.DLL"}) {
        QFile f(dir.filePath(QString::fromLatin1(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    }
    QDir(dir.path()).mkdir(QStringLiteral("TESSARIX_FRA.DLL"));  // a folder is not a language file
    EXPECT_EQ(AvailableLanguages(QDir(dir.path())), (std::vector<int>{0, 1, 3}));
    EXPECT_EQ(LanguageFileName(5), QStringLiteral("TESSARIX_ESP.DLL"));
    EXPECT_TRUE(LanguageFileName(0).isEmpty());
    EXPECT_TRUE(LanguageFileName(6).isEmpty());
}

struct MarginsCase {
    const char* name;
    const char* text;
    PageMargins expected;
};

class MarginsTest : public ::testing::TestWithParam<MarginsCase> {};

TEST_P(MarginsTest, Parses)
{
    EXPECT_EQ(ParseMargins(QString::fromLatin1(GetParam().text)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Shell, MarginsTest,
                         ::testing::Values(MarginsCase{"default", "0,0,0,0", {0, 0, 0, 0}},
                                           MarginsCase{"order_left_right_top_bottom", "1000,1500,2000,2500",
                                                       {1000, 1500, 2000, 2500}},
                                           MarginsCase{"spaces", " 10, 20 ,30,40", {10, 20, 30, 40}},
                                           MarginsCase{"too_few_fields", "500,600", {500, 600, 0, 0}},
                                           MarginsCase{"garbage_field", "500,x,700,800", {500, 0, 700, 800}},
                                           MarginsCase{"negative_becomes_zero", "-5,10,10,10", {0, 10, 10, 10}},
                                           MarginsCase{"empty", "", {0, 0, 0, 0}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Margins, RoundTripThroughTheProfile)
{
    QTemporaryDir dir;
    CKWProfileStore::UseIniFile(dir.filePath(QStringLiteral("p.ini")));
    CKWProfileStore& store = CKWProfileStore::Instance();
    EXPECT_EQ(ReadMargins(store), PageMargins{});
    WriteMargins(store, {1, 2, 3, 4});
    store.WriteBack();
    QSettings ini(dir.filePath(QStringLiteral("p.ini")), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Settings/Margins")).toString(), QStringLiteral("1,2,3,4"));
    CKWProfileStore::UseIniFile(dir.filePath(QStringLiteral("p.ini")));
    EXPECT_EQ(ReadMargins(CKWProfileStore::Instance()), (PageMargins{1, 2, 3, 4}));
}

TEST(Margins, PageSetupUnitsAndOrder)
{
    const PageMargins m{1234, 1500, 2001, 999};
    const QMarginsF mm = MarginsToMillimetres(m);
    EXPECT_DOUBLE_EQ(mm.left(), 12.34);
    EXPECT_DOUBLE_EQ(mm.top(), 20.01);  // the dialog's order is left, top, right, bottom
    EXPECT_DOUBLE_EQ(mm.right(), 15.0);
    EXPECT_DOUBLE_EQ(mm.bottom(), 9.99);
    EXPECT_EQ(MarginsFromMillimetres(mm), m);
    EXPECT_EQ(MarginsFromMillimetres(QMarginsF(12.346, -1, 0.004, 7.996)), (PageMargins{1235, 0, 0, 800}));
}

TEST(Folders, DefaultDataFolder)
{
    EXPECT_EQ(DefaultDataFolder(QStringLiteral("/home/u/Documents")), QStringLiteral("/home/u/Documents/Tessarix/"));
    EXPECT_EQ(DefaultDataFolder(QStringLiteral("/home/u/Documents/")), QStringLiteral("/home/u/Documents/Tessarix/"));
    EXPECT_TRUE(DefaultDataFolder({}).isEmpty());
}

TEST(PdfDocuments, FirstTwentyOneSortedWithoutRepeats)
{
    QTemporaryDir a, b;
    for (int i = 0; i < 15; ++i)
        QFile(a.filePath(QStringLiteral("doc%1.pdf").arg(i, 2, 10, QLatin1Char('0')))).open(QIODevice::WriteOnly);
    QFile(a.filePath(QStringLiteral("notes.txt"))).open(QIODevice::WriteOnly);
    for (int i = 0; i < 10; ++i)
        QFile(b.filePath(QStringLiteral("extra%1.pdf").arg(i))).open(QIODevice::WriteOnly);
    QFile(b.filePath(QStringLiteral("doc00.pdf"))).open(QIODevice::WriteOnly);  // same name as in a
    const QStringList found = FindPdfDocuments({a.path(), QStringLiteral("/no/such/folder"), b.path()});
    ASSERT_EQ(found.size(), 21);
    EXPECT_TRUE(found.first().endsWith(QStringLiteral("doc00.pdf")));
    EXPECT_TRUE(found[14].endsWith(QStringLiteral("doc14.pdf")));
    EXPECT_TRUE(found[15].endsWith(QStringLiteral("extra0.pdf")));
    EXPECT_TRUE(FindPdfDocuments({}).isEmpty());
}

TEST(InterfaceStyleProfile, FirstStartIsRibbonBlueAndBadLooksFallBack)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.ini"));
    CKWProfileStore::UseIniFile(path);
    InterfaceStyle s = ReadInterfaceStyle(CKWProfileStore::Instance());
    EXPECT_TRUE(s.ribbon);
    EXPECT_EQ(s.ribbonLook, 215);
    EXPECT_EQ(s.classicLook, 214);
    {
        QSettings ini(path, QSettings::IniFormat);
        ini.setValue(QStringLiteral("Workspace/ApplicationUI"), 0);
        ini.setValue(QStringLiteral("Workspace/ApplicationLook"), 214);    // a classic look
        ini.setValue(QStringLiteral("Workspace/ApplicationLookVS"), 212);
    }
    CKWProfileStore::UseIniFile(path);
    s = ReadInterfaceStyle(CKWProfileStore::Instance());
    EXPECT_FALSE(s.ribbon);
    EXPECT_EQ(s.ribbonLook, 215);
    EXPECT_EQ(s.classicLook, 212);
}

TEST(RecentFiles, NewestFirstNoRepeatsAtMostFive)
{
    CRecentFileList list;
    for (int i = 1; i <= 6; ++i)
        list.Add(QStringLiteral("/data/f%1.Tsrix").arg(i));
    list.Add(QStringLiteral("/data/./f3.Tsrix"));  // the same file, spelled differently
    EXPECT_EQ(list.Files(), (QStringList{"/data/f3.Tsrix", "/data/f6.Tsrix", "/data/f5.Tsrix", "/data/f4.Tsrix",
                                         "/data/f2.Tsrix"}));
    list.Remove(QStringLiteral("/data/f6.Tsrix"));
    EXPECT_EQ(list.Files().size(), 4);
    EXPECT_EQ(list.MenuText(0, QStringLiteral("/data")), QStringLiteral("&1 f3.Tsrix"));
    EXPECT_TRUE(list.MenuText(7).isEmpty());
    CRecentFileList amp;
    amp.Add(QStringLiteral("/x/R&D.Tsrix"));
    EXPECT_EQ(amp.MenuText(0, QStringLiteral("/x")), QStringLiteral("&1 R&&D.Tsrix"));
}

TEST(RecentFiles, SurviveARestartAndShrinkingRemovesOldEntries)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("p.ini"));
    CKWProfileStore::UseIniFile(path);
    CRecentFileList list;
    for (int i = 1; i <= 5; ++i)
        list.Add(QStringLiteral("/d/f%1.Tsrix").arg(i));
    list.Save(CKWProfileStore::Instance());
    CKWProfileStore::Instance().WriteBack();

    CKWProfileStore::UseIniFile(path);
    CRecentFileList again;
    again.Load(CKWProfileStore::Instance());
    EXPECT_EQ(again.Files(), list.Files());
    again.Remove(QStringLiteral("/d/f1.Tsrix"));
    again.Save(CKWProfileStore::Instance());
    CKWProfileStore::Instance().WriteBack();
    QSettings ini(path, QSettings::IniFormat);
    EXPECT_FALSE(ini.contains(QStringLiteral("Recent File List/File5")));  // emptied entries are removed
}

// Layout filtering: what a menu looks like when some commands have no handler.
struct LayoutCase {
    const char* name;
    std::vector<int> present;
    QString expected;  // kinds: C<id> command, | separator, [..] submenu
};

QString Describe(const std::vector<LayoutItem>& items)
{
    QString s;
    for (const LayoutItem& i : items) {
        if (i.kind == LayoutItem::Command)
            s += QStringLiteral("C%1 ").arg(i.command);
        else if (i.kind == LayoutItem::Separator)
            s += QStringLiteral("| ");
        else if (i.kind == LayoutItem::Submenu)
            s += QStringLiteral("[%1] ").arg(
                (i.command ? QStringLiteral("C%1 ").arg(i.command) : QString()) + Describe(i.children)).replace(
                QStringLiteral(" ]"), QStringLiteral("]"));
        else
            s += QStringLiteral("S ");
    }
    return s.trimmed();
}

class LayoutFilterTest : public ::testing::TestWithParam<LayoutCase> {};

TEST_P(LayoutFilterTest, DropsAbsentCommandsAndStraySeparators)
{
    using L = LayoutItem;
    const std::vector<LayoutItem> menu = {L::Sep(), L::Cmd(1, 0), L::Sep(), L::Sep(), L::Cmd(2, 0), L::Sep(),
                                          L::Menu(0, {L::Cmd(3, 0), L::Sep(), L::Cmd(4, 0)}), L::Sep(),
                                          L::Menu(0, {L::Cmd(6, 0)}, 5), L::Sep()};
    const std::vector<int>& present = GetParam().present;
    const auto has = [&present](int id) { return std::find(present.begin(), present.end(), id) != present.end(); };
    EXPECT_EQ(Describe(PresentItems(menu, has)), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Shell, LayoutFilterTest,
    ::testing::Values(LayoutCase{"all", {1, 2, 3, 4, 5, 6}, "C1 | C2 | [C3 | C4] | [C5 C6]"},
                      LayoutCase{"none", {}, ""},
                      LayoutCase{"first_only", {1}, "C1"},
                      LayoutCase{"submenu_half", {2, 4}, "C2 | [C4]"},
                      LayoutCase{"submenu_button_without_children", {5}, "[C5]"},
                      LayoutCase{"submenu_children_without_button", {6}, "[C6]"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShellLayouts, ToolbarAndMenusKeepOnlyPresentCommands)
{
    const auto onlyFile = [](int id) { return id == ID_FILE_NEW || id == ID_FILE_OPEN || id == ID_APP_ABOUT; };
    EXPECT_EQ(PresentToolbar(ClassicToolbar(), onlyFile), (std::vector<int>{ID_FILE_NEW, ID_FILE_OPEN, 0, ID_APP_ABOUT}));
    // The Setup menu vanishes when none of its dialogs is there.
    for (const MenuLayout& m : ClassicMenus()) {
        if (m.title == IDS_MENU_SETUP) {
            EXPECT_TRUE(PresentItems(m.items, onlyFile).empty());
        }
    }
}

// The acoustic edits sit in the classic Edit menu and the ribbon's Data panel, nowhere else.
TEST(ShellLayouts, AcousticEditsAreInTheEditMenuAndTheDataPanel)
{
    const auto places = [](const std::vector<MenuLayout>& layouts, int id) {
        std::vector<int> titles;
        for (const MenuLayout& m : layouts)
            for (const LayoutItem& item : m.items)
                if (item.kind == LayoutItem::Command && item.command == id)
                    titles.push_back(m.title);
        return titles;
    };
    for (int id : {ID_TX_BAND_SUM, ID_TX_MERGE_READINGS}) {
        EXPECT_EQ(places(ClassicMenus(), id), std::vector<int>{IDS_MENU_EDIT}) << id;
        EXPECT_EQ(places(RibbonPanels(), id), std::vector<int>{IDS_PANEL_DATA}) << id;
        EXPECT_FALSE(TxString(id).isEmpty()) << id;  // the prompt
    }
}

TEST(CommandTableTest, RunsOnlyRegisteredEnabledCommands)
{
    CCommandTable t;
    int runs = 0;
    bool enabled = false;
    EXPECT_FALSE(t.Run(42));
    EXPECT_FALSE(t.State(42).enabled);
    t.Register(42, [&runs] { ++runs; }, [&enabled] { return CommandState{enabled, false, {}}; });
    EXPECT_FALSE(t.Run(42));
    enabled = true;
    EXPECT_TRUE(t.Run(42));
    EXPECT_EQ(runs, 1);
    t.Register(42, {});  // no handler: the command goes away
    EXPECT_FALSE(t.Has(42));
    // A handler may replace itself while it runs.
    t.Register(7, [&t, &runs] {
        t.Register(7, [&runs] { runs += 10; });
        ++runs;
    });
    EXPECT_TRUE(t.Run(7));
    EXPECT_TRUE(t.Run(7));
    EXPECT_EQ(runs, 12);
}

TEST(CommandTableTest, PromptSplitsIntoStatusTextAndTooltip)
{
    EXPECT_EQ(CCommandTable::StatusText(ID_FILE_NEW), QStringLiteral("Create a new document"));
    EXPECT_EQ(CCommandTable::TooltipText(ID_FILE_NEW), QStringLiteral("New"));
    EXPECT_EQ(CCommandTable::TooltipText(ID_UI_VISUAL_STUDIO), QStringLiteral("Select Visual Studio Style user interface"));
    EXPECT_EQ(TxString(IDS_UI_CHANGE_AT_RESTART).count(u'\n'), 3);
}

}  // namespace

namespace {

// The looks set their text colours for every colour group; a disabled row of the properties
// pane (Z "Start" in fixed-amplitude mode) looked exactly like an enabled one.
TEST(LookSchemeTest, DisabledTextDiffersFromEnabledTextInEveryLook)
{
    for (int look = ID_LOOK_WIN_2000; look <= ID_LOOK_OFFICE_2007_AQUA; ++look) {
        const QPalette p = PaletteOf(LookSchemeOf(look));
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::ButtonText, QPalette::Text})
            EXPECT_NE(p.color(QPalette::Disabled, role), p.color(QPalette::Active, role)) << look << " role " << role;
    }
}

}  // namespace
