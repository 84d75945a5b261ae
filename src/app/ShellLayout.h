#pragma once
// Where each command appears in the two interface styles: the classic menus and toolbar, the
// ribbon's application menu and panels. Layouts are plain data; PresentItems drops the entries
// whose command has no handler, and with them separators and submenus left without a neighbour
// or content.

#include <functional>
#include <vector>

struct LayoutItem {
    enum Kind { Command, Separator, Submenu, RecentFiles, PdfDocuments, Looks };
    Kind kind = Command;
    int command = 0;  // Command; for Submenu the command the button itself runs, 0 for none
    int label = 0;    // string identifier of the text shown
    std::vector<LayoutItem> children;  // Submenu
    bool large = true;                 // ribbon buttons: large icon with text below

    static LayoutItem Cmd(int command, int label, bool large = true);
    static LayoutItem Sep();
    static LayoutItem Menu(int label, std::vector<LayoutItem> children, int command = 0);
    static LayoutItem Special(Kind kind, int label = 0);
};

struct MenuLayout {
    int title = 0;  // string identifier
    std::vector<LayoutItem> items;
};

std::vector<MenuLayout> ClassicMenus();
std::vector<int> ClassicToolbar();     // 0 marks a separator
std::vector<LayoutItem> RibbonApplicationMenu();
std::vector<MenuLayout> RibbonPanels();  // the panels of the "Home" category
std::vector<int> ClassicLooks();         // 210..214
std::vector<int> RibbonLooks();          // 215..218

// The items that remain when only commands for which `present` answers true are kept.
std::vector<LayoutItem> PresentItems(const std::vector<LayoutItem>& items,
                                     const std::function<bool(int)>& present);
std::vector<int> PresentToolbar(const std::vector<int>& buttons, const std::function<bool(int)>& present);
