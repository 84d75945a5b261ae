// The registration point of the commands whose dialogs and windows live in other folders.
// A command appears in the menus, the toolbar and the ribbon only once it is registered here:
//
//     commands.Register(ID_TX_GRID, [&app] { /* open the Grid Setting dialog on app.Document() */ },
//                       [&app] { return CommandState{app.Document().PointCount() >= 0, false, {}}; });
//
// Handlers reach the document through app.Document(), the window through app.MainFrame() and the
// map of the active tab through app.MainFrame()->ActiveView(). Panes (the properties pane) are
// added with app.AddPaneFactory([](CTessarixApp&, CMainFrame& frame) { frame.AddPane(...); }).

#include "app/CommandIds.h"
#include "app/TessarixApp.h"

void RegisterFeatureCommands([[maybe_unused]] CTessarixApp& app, [[maybe_unused]] CCommandTable& commands)
{
}
