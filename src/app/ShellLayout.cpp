#include "app/ShellLayout.h"

#include "app/AppStrings.h"
#include "app/CommandIds.h"

LayoutItem LayoutItem::Cmd(int command, int label, bool large)
{
    LayoutItem item;
    item.command = command;
    item.label = label;
    item.large = large;
    return item;
}

LayoutItem LayoutItem::Sep()
{
    LayoutItem item;
    item.kind = Separator;
    return item;
}

LayoutItem LayoutItem::Menu(int label, std::vector<LayoutItem> children, int command)
{
    LayoutItem item;
    item.kind = Submenu;
    item.label = label;
    item.command = command;
    item.children = std::move(children);
    return item;
}

LayoutItem LayoutItem::Special(Kind kind, int label)
{
    LayoutItem item;
    item.kind = kind;
    item.label = label;
    return item;
}

std::vector<int> ClassicLooks()
{
    return {ID_LOOK_WIN_2000, ID_LOOK_OFFICE_XP, ID_LOOK_WIN_XP, ID_LOOK_OFFICE_2003, ID_LOOK_VS_2005};
}

std::vector<int> RibbonLooks()
{
    return {ID_LOOK_OFFICE_2007_BLUE, ID_LOOK_OFFICE_2007_BLACK, ID_LOOK_OFFICE_2007_SILVER,
            ID_LOOK_OFFICE_2007_AQUA};
}

std::vector<MenuLayout> ClassicMenus()
{
    using L = LayoutItem;
    return {
        {IDS_MENU_FILE,
         {L::Cmd(ID_FILE_NEW, IDS_LABEL_NEW), L::Cmd(ID_FILE_OPEN, IDS_LABEL_OPEN),
          L::Cmd(ID_FILE_SAVE, IDS_LABEL_SAVE), L::Cmd(ID_FILE_SAVE_AS, IDS_LABEL_SAVE_AS),
          L::Cmd(ID_FILE_CLOSE, IDS_LABEL_CLOSE), L::Sep(),
          L::Cmd(ID_FILE_PRINT, IDS_LABEL_PRINT), L::Cmd(ID_FILE_PRINT_PREVIEW, IDS_LABEL_PRINT_PREVIEW),
          L::Cmd(ID_FILE_PRINT_SETUP, IDS_LABEL_PRINT_SETUP), L::Cmd(ID_FILE_PAGE_SETUP, IDS_LABEL_PAGE_SETUP),
          L::Sep(), L::Special(L::RecentFiles, IDS_MENU_RECENT), L::Sep(),
          L::Cmd(ID_APP_EXIT, IDS_LABEL_EXIT)}},
        {IDS_MENU_EDIT,
         {L::Cmd(ID_EDIT_UNDO, IDS_LABEL_UNDO), L::Cmd(ID_EDIT_REDO, IDS_LABEL_REDO), L::Sep(),
          L::Cmd(ID_AUTORANGE_COLOR, IDS_LABEL_AUTORANGE), L::Cmd(ID_TX_SURFACE_CHECK, IDS_LABEL_SURFACE_CHECK_MENU),
          L::Sep(), L::Cmd(ID_EDIT_COPY, IDS_LABEL_COPY),
          L::Cmd(ID_EDIT_PASTE, IDS_LABEL_PASTE), L::Sep(), L::Cmd(ID_TX_BAND_SUM, IDS_LABEL_BAND_SUM_MENU),
          L::Cmd(ID_TX_MERGE_READINGS, IDS_LABEL_MERGE_READINGS_MENU)}},
        {IDS_MENU_SETUP,
         {L::Cmd(ID_TX_SETUP, IDS_LABEL_DOC_SETUP), L::Cmd(ID_TX_GRID, IDS_LABEL_GRID_MENU), L::Sep(),
          L::Cmd(ID_TX_IMPORT_IMAGE, IDS_LABEL_IMPORT_IMAGE_MENU),
          L::Cmd(ID_TX_IMAGE_SCALE, IDS_LABEL_IMAGE_SCALE_MENU),
          L::Cmd(ID_TX_IMAGE_CLIP, IDS_LABEL_IMAGE_CLIP_MENU), L::Sep(),
          L::Cmd(ID_SET_TITLE, IDS_LABEL_SET_TITLE), L::Cmd(ID_SET_TEXT_ABOVE, IDS_LABEL_SET_TEXT_ABOVE),
          L::Cmd(ID_SET_TEXT_BELOW, IDS_LABEL_SET_TEXT_BELOW), L::Cmd(ID_SET_FOOTER, IDS_LABEL_SET_FOOTER)}},
        {IDS_MENU_DATA,
         {L::Cmd(ID_TX_EDIT_DATA, IDS_LABEL_EDIT_DATA_MENU), L::Cmd(ID_TX_INSERT_DATA, IDS_LABEL_INSERT_POINT_MENU)}},
        {IDS_MENU_MAP_MODE,
         {L::Cmd(ID_MAP_MODE_NORMAL, IDS_LABEL_MODE_NORMAL_MENU),
          L::Cmd(ID_MAP_MODE_COLORMAP, IDS_LABEL_MODE_COLORMAP_MENU),
          L::Cmd(ID_MAP_MODE_IMAGE, IDS_LABEL_MODE_IMAGE_MENU),
          L::Cmd(ID_MAP_MODE_IMAGE_COLORMAP, IDS_LABEL_MODE_IMAGE_COLORMAP_MENU), L::Sep(),
          L::Cmd(ID_TX_NOISE_ZONES, IDS_LABEL_NOISE_ZONES_MENU)}},
        {IDS_MENU_VIEW,
         {L::Cmd(ID_VIEW_TOOLBAR, IDS_LABEL_TOOLBAR_MENU), L::Cmd(ID_VIEW_STATUS_BAR, IDS_LABEL_STATUS_BAR_MENU),
          L::Cmd(ID_VIEW_PROPERTIES, IDS_LABEL_PROPERTY_BAR_MENU), L::Cmd(ID_VIEW_SPECTRUM, IDS_LABEL_SPECTRUM_MENU),
          L::Sep(),
          L::Menu(IDS_MENU_APP_LOOK,
                  {L::Special(L::Looks), L::Sep(), L::Cmd(ID_UI_OFFICE_2007, IDS_LABEL_OFFICE_STYLE_MENU)})}},
        {IDS_MENU_HELP,
         {L::Special(L::PdfDocuments, IDS_MENU_PDF), L::Sep(), L::Cmd(ID_APP_ABOUT, IDS_LABEL_ABOUT_MENU)}},
    };
}

std::vector<int> ClassicToolbar()
{
    return {ID_FILE_NEW, ID_FILE_OPEN, ID_FILE_SAVE, 0, ID_EDIT_COPY, 0, ID_FILE_PRINT, 0, ID_APP_ABOUT, 0,
            ID_TX_SETUP, ID_TX_GRID, ID_TX_IMPORT_IMAGE, 0, ID_TX_EDIT_DATA, ID_TX_INSERT_DATA};
}

std::vector<LayoutItem> RibbonApplicationMenu()
{
    using L = LayoutItem;
    return {L::Cmd(ID_FILE_NEW, IDS_LABEL_NEW),
            L::Cmd(ID_FILE_OPEN, IDS_LABEL_OPEN),
            L::Cmd(ID_FILE_SAVE, IDS_LABEL_SAVE),
            L::Cmd(ID_FILE_SAVE_AS, IDS_LABEL_SAVE_AS),
            L::Sep(),
            L::Menu(IDS_RIBBON_PRINT,
                    {L::Cmd(ID_FILE_PRINT, IDS_LABEL_PRINT), L::Cmd(ID_FILE_PRINT_DIRECT, IDS_LABEL_QUICK_PRINT),
                     L::Cmd(ID_FILE_PRINT_PREVIEW, IDS_LABEL_PRINT_PREVIEW),
                     L::Cmd(ID_FILE_PRINT_SETUP, IDS_LABEL_PRINT_SETUP),
                     L::Cmd(ID_FILE_PAGE_SETUP, IDS_LABEL_PAGE_SETUP)}),
            L::Sep(),
            L::Cmd(ID_FILE_CLOSE, IDS_LABEL_CLOSE),
            L::Sep(),
            L::Special(L::RecentFiles, IDS_RECENT_DOCUMENTS),
            L::Sep(),
            L::Cmd(ID_APP_EXIT, IDS_LABEL_EXIT)};
}

std::vector<MenuLayout> RibbonPanels()
{
    using L = LayoutItem;
    return {
        {IDS_PANEL_CLIPBOARD, {L::Cmd(ID_EDIT_COPY, IDS_RIBBON_COPY), L::Cmd(ID_EDIT_PASTE, IDS_RIBBON_PASTE)}},
        {IDS_PANEL_EDIT,
         {L::Cmd(ID_EDIT_UNDO, IDS_RIBBON_UNDO), L::Cmd(ID_EDIT_REDO, IDS_RIBBON_REDO),
          L::Cmd(ID_AUTORANGE_COLOR, IDS_RIBBON_AUTORANGE), L::Cmd(ID_TX_SURFACE_CHECK, IDS_RIBBON_SURFACE_CHECK, false)}},
        {IDS_PANEL_VIEW,
         {L::Cmd(ID_VIEW_STATUS_BAR, IDS_RIBBON_STATUS_BAR, false),
          L::Cmd(ID_VIEW_PROPERTIES, IDS_RIBBON_PROPERTY_BAR, false),
          L::Cmd(ID_VIEW_SPECTRUM, IDS_RIBBON_SPECTRUM, false)}},
        {IDS_PANEL_SETUP,
         {L::Cmd(ID_TX_SETUP, IDS_RIBBON_MAIN), L::Cmd(ID_TX_GRID, IDS_RIBBON_GRID),
          L::Cmd(ID_TX_IMPORT_IMAGE, IDS_RIBBON_IMPORT_IMAGE), L::Cmd(ID_TX_IMAGE_SCALE, IDS_RIBBON_IMAGE_SCALE),
          L::Cmd(ID_TX_IMAGE_CLIP, IDS_RIBBON_IMAGE_CLIP)}},
        {IDS_PANEL_DATA,
         {L::Cmd(ID_TX_EDIT_DATA, IDS_RIBBON_EDIT), L::Cmd(ID_TX_INSERT_DATA, IDS_RIBBON_INSERT_POINT),
          L::Cmd(ID_TX_BAND_SUM, IDS_RIBBON_BAND_SUM, false), L::Cmd(ID_TX_MERGE_READINGS, IDS_RIBBON_MERGE_READINGS, false)}},
        {IDS_PANEL_MAP_MODE,
         {L::Cmd(ID_MAP_MODE_NORMAL, IDS_RIBBON_NORMAL), L::Cmd(ID_MAP_MODE_COLORMAP, IDS_RIBBON_COLORMAP),
          L::Cmd(ID_MAP_MODE_IMAGE, IDS_RIBBON_IMAGE),
          L::Cmd(ID_MAP_MODE_IMAGE_COLORMAP, IDS_RIBBON_IMAGE_COLORMAP),
          L::Cmd(ID_TX_NOISE_ZONES, IDS_RIBBON_NOISE_ZONES, false)}},
        {IDS_PANEL_PRINT_TEXTS,
         {L::Cmd(ID_SET_TITLE, IDS_RIBBON_TITLE, false), L::Cmd(ID_SET_TEXT_ABOVE, IDS_RIBBON_TEXT_ABOVE, false),
          L::Cmd(ID_SET_TEXT_BELOW, IDS_RIBBON_TEXT_BELOW, false), L::Cmd(ID_SET_FOOTER, IDS_RIBBON_FOOTER, false)}},
        {IDS_PANEL_DOCUMENTS, {L::Special(L::PdfDocuments, IDS_RIBBON_PDF)}},
    };
}

std::vector<LayoutItem> PresentItems(const std::vector<LayoutItem>& items, const std::function<bool(int)>& present)
{
    std::vector<LayoutItem> out;
    for (const LayoutItem& item : items) {
        switch (item.kind) {
        case LayoutItem::Command:
            if (present(item.command))
                out.push_back(item);
            break;
        case LayoutItem::Separator:
            // Never first, never two in a row; a trailing one is removed below.
            if (!out.empty() && out.back().kind != LayoutItem::Separator)
                out.push_back(item);
            break;
        case LayoutItem::Submenu: {
            LayoutItem copy = item;
            copy.children = PresentItems(item.children, present);
            if (copy.command != 0 && !present(copy.command))
                copy.command = 0;
            if (!copy.children.empty() || copy.command != 0)
                out.push_back(std::move(copy));
            break;
        }
        default:
            out.push_back(item);
            break;
        }
    }
    if (!out.empty() && out.back().kind == LayoutItem::Separator)
        out.pop_back();
    return out;
}

std::vector<int> PresentToolbar(const std::vector<int>& buttons, const std::function<bool(int)>& present)
{
    std::vector<int> out;
    for (int id : buttons) {
        if (id == 0) {
            if (!out.empty() && out.back() != 0)
                out.push_back(0);
        } else if (present(id)) {
            out.push_back(id);
        }
    }
    if (!out.empty() && out.back() == 0)
        out.pop_back();
    return out;
}
