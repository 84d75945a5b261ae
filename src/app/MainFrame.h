#pragma once
// CMainFrame: the main window. It is built once, in the interface style chosen at start (the
// ribbon or classic menus with a toolbar), from the command table and the layouts of
// ShellLayout.h; it shows one map tab per enabled data column, the status bar with the cursor
// read-out and the busy indicator, and it is the receiver of the document's and the map
// computations' notifications, which reach it through CMapNotifyRelay.

#include <QMainWindow>

#include <algorithm>
#include <vector>

#include "app/MapNotifyRelay.h"
#include "app/StartupOptions.h"
#include "render/TessarixViewModel.h"

class CBusyIndicatorWnd;
class CRibbonBar;
class CTessarixApp;
class CTessarixDoc;
class CTessarixView;
class QLabel;
class QMenu;
class QTabWidget;
class QToolBar;
struct LayoutItem;

class CMainFrame : public QMainWindow, public IMapNotifySink {
    Q_OBJECT
public:
    CMainFrame(CTessarixApp& app, const InterfaceStyle& style);
    ~CMainFrame() override;

    intptr_t SendMapNotify(int code, intptr_t argument) override;

    bool IsRibbon() const { return m_style.ribbon; }
    int Look() const { return m_look; }
    // Applies a look of the running style and remembers it; looks of the other style are ignored.
    void ApplyLook(int look);

    // Map tabs.
    QTabWidget* Tabs() const { return m_tabs; }
    CTessarixView* ViewOf(int column) const;
    CTessarixView* ActiveView() const;
    int ActiveColumn() const;
    void RebuildTabs();
    void RetitleTabs();

    // Status bar.
    void ShowReadout(const CursorReadout& readout);
    void ClearReadout();
    QString ReadoutText(int pane) const;  // 0 X, 1 Y, 2 Z
    CBusyIndicatorWnd* BusyIndicator() const { return m_busy; }
    // Maps requested and not yet ready (never shown below 0).
    int OutstandingMaps() const { return std::max(0, m_outstandingMaps); }

    // The actions showing command `id` (menus, toolbar, ribbon); empty when it is not offered.
    QList<QAction*> ActionsFor(int id) const;
    CRibbonBar* Ribbon() const { return m_ribbon; }
    QToolBar* Toolbar() const { return m_toolbar; }
    void UpdateCommandStates();
    void UpdateTitle();

    // Panes of other parts of the program (the properties pane) dock here; call before the
    // window is shown so that the remembered layout applies to them.
    void AddPane(class QDockWidget* pane, Qt::DockWidgetArea area);
    void SaveWorkspace();
    void RestoreWorkspace();

signals:
    // DocumentChanged as the document sent it: panes reload their contents at levels 0 and 3.
    void DocumentChanged(int level);
    // The cursor read-out just shown in the status bar (without a position: the pointer left).
    void ReadoutShown(const CursorReadout& readout);

protected:
    void closeEvent(QCloseEvent* e) override;
    void dragEnterEvent(QDragEnterEvent* e) override;
    void dropEvent(QDropEvent* e) override;

private:
    struct ActionEntry {
        int id;
        QAction* action;
        QString label;
        bool dynamicText;  // menu entries take the command's own text (Undo/Redo) in the classic style
    };
    QAction* MakeAction(int id, const QString& label, bool inMenu);
    void RunCommand(int id);
    // Adds `change` to the outstanding maps and runs the busy indicator while any are left.
    void CountOutstandingMaps(int change);
    void FillMenu(QMenu* menu, const std::vector<LayoutItem>& items);
    void AddRecentFiles(QMenu* menu);
    void AddPdfDocuments(QMenu* menu);
    void AddLooks(QMenu* menu, const std::vector<int>& looks);
    void BuildClassic();
    void BuildRibbon();
    void BuildStatusBar();
    void BuildShortcuts();
    void RefreshRecentActions();
    void ShowViewContextMenu(CTessarixView* view, const QPoint& globalPos);
    void FocusPane(int direction);
    QString WorkspaceSection() const;

    CTessarixApp& m_app;
    CTessarixDoc& m_doc;
    InterfaceStyle m_style;
    int m_look = 0;
    QTabWidget* m_tabs = nullptr;
    CRibbonBar* m_ribbon = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_message = nullptr;
    QLabel* m_readout[3] = {nullptr, nullptr, nullptr};
    CBusyIndicatorWnd* m_busy = nullptr;
    QLabel* m_lockPanes[3] = {nullptr, nullptr, nullptr};  // classic style on X11 only
    int m_outstandingMaps = 0;
    std::vector<ActionEntry> m_actions;
    std::vector<QAction*> m_recentActions;
    QAction* m_recentEmpty = nullptr;
    class QTimer* m_stateTimer = nullptr;
};
