#include "app/MainFrame.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDockWidget>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QScreen>
#include <QShortcut>
#include <QStatusBar>
#include <QStyle>
#include <QStyleFactory>
#include <QTabWidget>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include "app/AppStrings.h"
#include "app/BusyIndicatorWnd.h"
#include "app/CommandIcons.h"
#include "app/CommandIds.h"
#include "app/KeyLockState.h"
#include "app/LookScheme.h"
#include "app/RibbonBar.h"
#include "app/ShellLayout.h"
#include "app/TessarixApp.h"
#include "document/TessarixDoc.h"
#include "render/TessarixView.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"

namespace {

struct Accelerator {
    int id;
    QKeySequence keys[2];
};

// The main window's keyboard accelerators; a command without a handler has none.
const std::vector<Accelerator>& Accelerators()
{
    static const std::vector<Accelerator> table = {
        {ID_FILE_NEW, {QKeySequence(Qt::CTRL | Qt::Key_N), {}}},
        {ID_FILE_OPEN, {QKeySequence(Qt::CTRL | Qt::Key_O), {}}},
        {ID_FILE_SAVE, {QKeySequence(Qt::CTRL | Qt::Key_S), {}}},
        {ID_FILE_PRINT, {QKeySequence(Qt::CTRL | Qt::Key_P), {}}},
        {ID_EDIT_UNDO, {QKeySequence(Qt::CTRL | Qt::Key_Z), QKeySequence(Qt::ALT | Qt::Key_Backspace)}},
        {ID_EDIT_REDO, {QKeySequence(Qt::CTRL | Qt::Key_Y), {}}},
        {ID_EDIT_COPY, {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_Insert)}},
        {ID_EDIT_CUT, {QKeySequence(Qt::CTRL | Qt::Key_X), QKeySequence(Qt::SHIFT | Qt::Key_Delete)}},
        {ID_EDIT_PASTE, {QKeySequence(Qt::CTRL | Qt::Key_V), QKeySequence(Qt::SHIFT | Qt::Key_Insert)}},
    };
    return table;
}

QKeySequence PrimaryShortcut(int id)
{
    for (const Accelerator& a : Accelerators())
        if (a.id == id)
            return a.keys[0];
    return {};
}

// The view's context menu.
std::vector<LayoutItem> ViewContextMenu()
{
    using L = LayoutItem;
    return {L::Cmd(ID_EDIT_COPY, IDS_LABEL_COPY), L::Cmd(ID_AUTORANGE_COLOR, IDS_LABEL_AUTORANGE),
            L::Cmd(ID_TX_SURFACE_CHECK, IDS_LABEL_SURFACE_CHECK_MENU), L::Sep(),
            L::Cmd(ID_TX_INSERT_DATA, IDS_LABEL_INSERT_POINT_MENU), L::Cmd(ID_TX_EDIT_DATA, IDS_LABEL_EDIT_DATA_MENU),
            L::Sep(), L::Cmd(ID_TX_NOISE_ZONES, IDS_LABEL_NOISE_ZONES_MENU),
            L::Sep(), L::Cmd(ID_FILE_PRINT, IDS_LABEL_PRINT), L::Cmd(ID_FILE_PRINT_PREVIEW, IDS_LABEL_PRINT_PREVIEW)};
}

}  // namespace

CMainFrame::CMainFrame(CTessarixApp& app, const InterfaceStyle& style)
    : m_app(app), m_doc(app.Document()), m_style(style)
{
    setObjectName(QStringLiteral("TessarixMainFrame"));
    setWindowIcon(ApplicationIcon());
    setAcceptDrops(true);
    setDockNestingEnabled(true);
    setDockOptions(QMainWindow::AnimatedDocks | QMainWindow::AllowNestedDocks | QMainWindow::AllowTabbedDocks);

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("MapTabs"));
    m_tabs->setDocumentMode(true);
    m_tabs->setTabPosition(QTabWidget::South);
    setCentralWidget(m_tabs);
    connect(m_tabs, &QTabWidget::currentChanged, this, [this] {
        ClearReadout();
        UpdateCommandStates();
    });

    if (m_style.ribbon)
        BuildRibbon();
    else
        BuildClassic();
    BuildStatusBar();
    BuildShortcuts();
    ApplyLook(m_style.ribbon ? m_style.ribbonLook : m_style.classicLook);

    m_doc.SetScreenResolution(logicalDpiX(), logicalDpiY());
    RebuildTabs();
    UpdateTitle();

    // Command states follow the document and the clipboard between events, as menus do.
    m_stateTimer = new QTimer(this);
    m_stateTimer->setInterval(250);
    connect(m_stateTimer, &QTimer::timeout, this, &CMainFrame::UpdateCommandStates);
    m_stateTimer->start();
    UpdateCommandStates();
}

CMainFrame::~CMainFrame() = default;

QString CMainFrame::WorkspaceSection() const
{
    return m_style.ribbon ? QStringLiteral("WorkspaceOffice") : QStringLiteral("WorkspaceVS");
}

// ---- commands ----

QAction* CMainFrame::MakeAction(int id, const QString& label, bool inMenu)
{
    CCommandTable& commands = m_app.Commands();
    QString text = label;
    const QKeySequence key = PrimaryShortcut(id);
    // Menus show the accelerator after a tab; the keys themselves are window shortcuts, so the
    // same command on the ribbon or the toolbar never makes a shortcut ambiguous.
    if (inMenu && !key.isEmpty())
        text += u'\t' + key.toString(QKeySequence::NativeText);
    auto* a = new QAction(CommandIcon(id), text, this);
    a->setStatusTip(CCommandTable::StatusText(id));
    // Tooltips carry the command's name, its keys and its description.
    QString tip = QStringLiteral("<b>%1</b>").arg(CCommandTable::TooltipText(id).toHtmlEscaped());
    if (!key.isEmpty())
        tip += QStringLiteral(" (%1)").arg(key.toString(QKeySequence::NativeText));
    const QString description = CCommandTable::StatusText(id);
    if (description != CCommandTable::TooltipText(id))
        tip += QStringLiteral("<br>") + description.toHtmlEscaped();
    a->setToolTip(QStringLiteral("<qt>") + tip + QStringLiteral("</qt>"));
    a->setCheckable(commands.IsCheckable(id));
    a->setIconVisibleInMenu(true);
    connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
    m_actions.push_back({id, a, text, inMenu && !m_style.ribbon});
    return a;
}

void CMainFrame::RunCommand(int id)
{
    m_app.Commands().Run(id);
    UpdateCommandStates();
}

QList<QAction*> CMainFrame::ActionsFor(int id) const
{
    QList<QAction*> list;
    for (const ActionEntry& e : m_actions)
        if (e.id == id)
            list.append(e.action);
    return list;
}

void CMainFrame::UpdateCommandStates()
{
    CCommandTable& commands = m_app.Commands();
    for (const ActionEntry& e : m_actions) {
        const CommandState s = commands.State(e.id);
        e.action->setEnabled(s.enabled);
        if (e.action->isCheckable())
            e.action->setChecked(s.checked);
        if (e.dynamicText)
            e.action->setText(s.text.isEmpty() ? e.label : s.text);
    }
    UpdateTitle();
    if (m_lockPanes[0]) {
        const KeyLockState locks = QueryKeyLocks();
        m_lockPanes[0]->setText(locks.caps ? QStringLiteral("CAP") : QString());
        m_lockPanes[1]->setText(locks.num ? QStringLiteral("NUM") : QString());
        m_lockPanes[2]->setText(locks.scroll ? QStringLiteral("SCRL") : QString());
    }
}

void CMainFrame::FillMenu(QMenu* menu, const std::vector<LayoutItem>& items)
{
    for (const LayoutItem& item : items) {
        switch (item.kind) {
        case LayoutItem::Command:
            menu->addAction(MakeAction(item.command, TxString(item.label), true));
            break;
        case LayoutItem::Separator:
            menu->addSeparator();
            break;
        case LayoutItem::Submenu: {
            QMenu* sub = menu->addMenu(TxString(item.label));
            FillMenu(sub, item.children);
            break;
        }
        case LayoutItem::RecentFiles:
            AddRecentFiles(menu);
            break;
        case LayoutItem::PdfDocuments: {
            QMenu* sub = menu->addMenu(CommandIcon(ID_VIEW_PDF), TxString(item.label));
            AddPdfDocuments(sub);
            break;
        }
        case LayoutItem::Looks:
            AddLooks(menu, m_style.ribbon ? RibbonLooks() : ClassicLooks());
            break;
        }
    }
}

void CMainFrame::AddRecentFiles(QMenu* menu)
{
    m_recentEmpty = menu->addAction(TxString(IDS_MENU_RECENT).remove(u'&'));
    m_recentEmpty->setEnabled(false);
    for (int i = 0; i < kRecentFileCount; ++i) {
        const int id = ID_FILE_MRU_FIRST + i;
        if (!m_app.Commands().Has(id))
            continue;
        QAction* a = MakeAction(id, {}, true);
        a->setIcon({});
        m_recentActions.push_back(a);
        menu->addAction(a);
    }
    connect(menu, &QMenu::aboutToShow, this, &CMainFrame::RefreshRecentActions);
    RefreshRecentActions();
}

void CMainFrame::RefreshRecentActions()
{
    const QStringList& files = m_app.RecentFiles().Files();
    for (size_t i = 0; i < m_recentActions.size(); ++i) {
        QAction* a = m_recentActions[i];
        const bool used = int(i) < files.size();
        a->setVisible(used);
        if (used) {
            a->setText(m_app.RecentFiles().MenuText(int(i)));
            a->setStatusTip(files[int(i)]);
            for (ActionEntry& e : m_actions)
                if (e.action == a)
                    e.label = a->text();
        }
    }
    if (m_recentEmpty)
        m_recentEmpty->setVisible(files.isEmpty());
}

void CMainFrame::AddPdfDocuments(QMenu* menu)
{
    const QStringList& docs = m_app.PdfDocuments();
    int added = 0;
    for (int i = 0; i < docs.size(); ++i) {
        const int id = ID_PDF_FIRST + i;
        if (!m_app.Commands().Has(id))
            continue;
        QAction* a = MakeAction(id, QFileInfo(docs[i]).fileName(), true);
        a->setStatusTip(docs[i]);
        menu->addAction(a);
        ++added;
    }
    if (added == 0)
        menu->addAction(TxString(IDS_MENU_NONE))->setEnabled(false);
}

void CMainFrame::AddLooks(QMenu* menu, const std::vector<int>& looks)
{
    auto* group = new QActionGroup(menu);
    for (int look : looks) {
        if (!m_app.Commands().Has(look))
            continue;
        QAction* a = MakeAction(look, CCommandTable::TooltipText(look), true);
        a->setIcon({});
        group->addAction(a);
        menu->addAction(a);
    }
}

void CMainFrame::BuildClassic()
{
    const auto present = [this](int id) { return m_app.Commands().Has(id); };
    for (const MenuLayout& layout : ClassicMenus()) {
        const std::vector<LayoutItem> items = PresentItems(layout.items, present);
        if (items.empty())
            continue;
        FillMenu(menuBar()->addMenu(TxString(layout.title)), items);
    }
    m_toolbar = addToolBar(TxString(IDS_LABEL_TOOLBAR_MENU).remove(u'&'));
    m_toolbar->setObjectName(QStringLiteral("StandardToolbar"));
    m_toolbar->setIconSize(QSize(22, 22));
    for (int id : PresentToolbar(ClassicToolbar(), present)) {
        if (id == 0)
            m_toolbar->addSeparator();
        else
            m_toolbar->addAction(MakeAction(id, CCommandTable::TooltipText(id), false));
    }
}

void CMainFrame::BuildRibbon()
{
    const auto present = [this](int id) { return m_app.Commands().Has(id); };
    m_ribbon = new CRibbonBar(this);
    m_ribbon->setObjectName(QStringLiteral("Ribbon"));

    auto* appMenu = new QMenu(m_ribbon);
    FillMenu(appMenu, PresentItems(RibbonApplicationMenu(), present));
    m_ribbon->SetApplicationMenu(TxString(IDS_RIBBON_APP_BUTTON), appMenu);

    const int home = m_ribbon->AddCategory(TxString(IDS_RIBBON_HOME).remove(u'&'));
    for (const MenuLayout& layout : RibbonPanels()) {
        const std::vector<LayoutItem> items = PresentItems(layout.items, present);
        bool anything = false;
        for (const LayoutItem& item : items)
            anything |= item.kind != LayoutItem::PdfDocuments || !m_app.PdfDocuments().isEmpty();
        if (!anything)
            continue;
        CRibbonPanel* panel = m_ribbon->AddPanel(home, TxString(layout.title));
        for (const LayoutItem& item : items) {
            if (item.kind == LayoutItem::Command) {
                QAction* a = MakeAction(item.command, TxString(item.label), false);
                item.large ? panel->AddLarge(a) : panel->AddSmall(a);
            } else if (item.kind == LayoutItem::PdfDocuments) {
                auto* menu = new QMenu(panel);
                AddPdfDocuments(menu);
                QToolButton* b = panel->AddMenuButton(TxString(item.label), CommandIcon(ID_VIEW_PDF), menu);
                b->setToolTip(CCommandTable::TooltipText(ID_VIEW_PDF));
                b->setStatusTip(CCommandTable::StatusText(ID_VIEW_PDF));
            }
        }
    }

    auto* styleMenu = new QMenu(m_ribbon);
    AddLooks(styleMenu, RibbonLooks());
    if (present(ID_UI_VISUAL_STUDIO)) {
        styleMenu->addSeparator();
        QAction* vs = MakeAction(ID_UI_VISUAL_STUDIO, TxString(IDS_RIBBON_VS_STYLE), true);
        vs->setIcon({});
        styleMenu->addAction(vs);
    }
    m_ribbon->SetStyleMenu(TxString(IDS_RIBBON_STYLE), styleMenu);
    if (present(ID_APP_ABOUT))
        m_ribbon->SetAboutAction(MakeAction(ID_APP_ABOUT, CCommandTable::TooltipText(ID_APP_ABOUT), false));
    setMenuWidget(m_ribbon);
}

void CMainFrame::BuildStatusBar()
{
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    if (!m_style.ribbon) {
        m_message = new QLabel(TxString(IDS_READY), bar);
        bar->addWidget(m_message, 1);
    }
    const int width = fontMetrics().horizontalAdvance(QStringLiteral("X= 000.000")) + 14;
    for (int i = 0; i < 3; ++i) {
        m_readout[i] = new QLabel(bar);
        m_readout[i]->setMinimumWidth(width);
        bar->addPermanentWidget(m_readout[i]);
    }
    m_busy = new CBusyIndicatorWnd(bar);
    bar->addPermanentWidget(m_busy);
    if (!m_style.ribbon && QueryKeyLocks().known) {
        const int lockWidth = fontMetrics().horizontalAdvance(QStringLiteral("SCRL")) + 12;
        for (QLabel*& pane : m_lockPanes) {
            pane = new QLabel(bar);
            pane->setMinimumWidth(lockWidth);
            pane->setAlignment(Qt::AlignCenter);
            bar->addPermanentWidget(pane);
        }
    }
    ClearReadout();
}

void CMainFrame::BuildShortcuts()
{
    for (const Accelerator& acc : Accelerators()) {
        if (!m_app.Commands().Has(acc.id))
            continue;
        auto* a = new QAction(this);
        QList<QKeySequence> keys;
        for (const QKeySequence& k : acc.keys)
            if (!k.isEmpty())
                keys.append(k);
        a->setShortcuts(keys);
        a->setShortcutContext(Qt::WindowShortcut);
        const int id = acc.id;
        connect(a, &QAction::triggered, this, [this, id] { RunCommand(id); });
        addAction(a);
    }
    auto* next = new QShortcut(QKeySequence(Qt::Key_F6), this);
    connect(next, &QShortcut::activated, this, [this] { FocusPane(1); });
    auto* previous = new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), this);
    connect(previous, &QShortcut::activated, this, [this] { FocusPane(-1); });
}

void CMainFrame::FocusPane(int direction)
{
    std::vector<QWidget*> panes;
    if (CTessarixView* v = ActiveView())
        panes.push_back(v);
    for (QDockWidget* d : findChildren<QDockWidget*>())
        if (d->isVisible() && d->widget())
            panes.push_back(d->widget());
    if (panes.empty())
        return;
    int current = -1;
    for (size_t i = 0; i < panes.size(); ++i)
        if (panes[i]->isAncestorOf(QApplication::focusWidget()) || panes[i] == QApplication::focusWidget())
            current = int(i);
    const int n = int(panes.size());
    const int target = current < 0 ? 0 : ((current + direction) % n + n) % n;
    panes[size_t(target)]->setFocus(Qt::ShortcutFocusReason);
}

void CMainFrame::ApplyLook(int look)
{
    const bool ribbonLook = look >= ID_LOOK_OFFICE_2007_BLUE && look <= ID_LOOK_OFFICE_2007_AQUA;
    const bool classicLook = look >= ID_LOOK_WIN_2000 && look <= ID_LOOK_VS_2005;
    if ((m_style.ribbon && !ribbonLook) || (!m_style.ribbon && !classicLook))
        return;
    m_look = look;
    const LookScheme scheme = LookSchemeOf(look);
    if (QStyle* style = QStyleFactory::create(scheme.widgetStyle))
        QApplication::setStyle(style);
    QApplication::setPalette(PaletteOf(scheme));
    setStyleSheet(StyleSheetOf(scheme));
    if (m_ribbon)
        m_ribbon->ApplyScheme(scheme);
    CKWProfileStore::Instance().WriteInt(QStringLiteral("Workspace"),
                                         m_style.ribbon ? QStringLiteral("ApplicationLook")
                                                        : QStringLiteral("ApplicationLookVS"),
                                         look);
    update();
}

// ---- tabs ----

CTessarixView* CMainFrame::ViewOf(int column) const
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (auto* v = qobject_cast<CTessarixView*>(m_tabs->widget(i)); v && v->Column() == column)
            return v;
    return nullptr;
}

CTessarixView* CMainFrame::ActiveView() const
{
    return qobject_cast<CTessarixView*>(m_tabs->currentWidget());
}

int CMainFrame::ActiveColumn() const
{
    const CTessarixView* v = ActiveView();
    return v ? v->Column() : 0;
}

void CMainFrame::RebuildTabs()
{
    const int active = ActiveColumn();
    m_tabs->blockSignals(true);
    while (m_tabs->count() > 0) {
        QWidget* w = m_tabs->widget(0);
        m_tabs->removeTab(0);
        delete w;
    }
    const std::vector<int32_t> columns = m_doc.EnabledColumnIndices();
    const QStringList names = m_doc.EnabledColumnNames();
    for (size_t i = 0; i < columns.size(); ++i) {
        auto* view = new CTessarixView(m_doc, m_tabs);
        view->SetColumn(columns[i]);
        connect(view, &CTessarixView::CursorMoved, this, &CMainFrame::ShowReadout);
        connect(view, &CTessarixView::CursorLeft, this, &CMainFrame::ClearReadout);
        connect(view, &CTessarixView::ContextMenuRequested, this, &CMainFrame::ShowViewContextMenu);
        m_tabs->addTab(view, names.value(int(i)));
        if (columns[i] == active)
            m_tabs->setCurrentWidget(view);
    }
    m_tabs->blockSignals(false);
    ClearReadout();
}

void CMainFrame::RetitleTabs()
{
    for (int i = 0; i < m_tabs->count(); ++i)
        if (auto* v = qobject_cast<CTessarixView*>(m_tabs->widget(i)); v && v->Column() >= 0 &&
                                                                        v->Column() < m_doc.ColumnCount())
            m_tabs->setTabText(i, m_doc.Column(v->Column()).name);
}

void CMainFrame::ShowViewContextMenu(CTessarixView* view, const QPoint& globalPos)
{
    if (view != ActiveView())
        return;
    const auto present = [this](int id) { return m_app.Commands().Has(id); };
    const std::vector<LayoutItem> items = PresentItems(ViewContextMenu(), present);
    if (items.empty())
        return;
    QMenu menu(this);
    const size_t before = m_actions.size();
    FillMenu(&menu, items);
    UpdateCommandStates();
    menu.exec(globalPos);
    // The menu's actions go with it.
    for (size_t i = before; i < m_actions.size(); ++i)
        m_actions[i].action->deleteLater();
    m_actions.resize(before);
}

// ---- status bar ----

void CMainFrame::ShowReadout(const CursorReadout& r)
{
    m_readout[0]->setText(r.XText());
    m_readout[1]->setText(r.YText());
    m_readout[2]->setText(r.ZText());
    emit ReadoutShown(r);
}

void CMainFrame::ClearReadout()
{
    ShowReadout(CursorReadout{});
}

QString CMainFrame::ReadoutText(int pane) const
{
    return pane >= 0 && pane < 3 ? m_readout[pane]->text() : QString();
}

// ---- notifications ----

intptr_t CMainFrame::SendMapNotify(int code, intptr_t argument)
{
    switch (code) {
    case MapNotifyDocumentChanged: {
        const int level = int(argument);
        if (level > ChangeNames)
            RebuildTabs();
        if (level > ChangeData)
            RetitleTabs();
        emit DocumentChanged(level);
        UpdateCommandStates();
        return 0;
    }
    case MapNotifyMapReady: {
        const int column = int(argument);
        if (CTessarixView* active = ActiveView(); active && active->Column() == column) {
            active->repaint();
            active->RefreshReadout();
        }
        for (int i = 0; i < m_tabs->count(); ++i)
            m_tabs->widget(i)->update();
        CountOutstandingMaps(-1);
        return 0;
    }
    case MapNotifyMapsRequested:
        CountOutstandingMaps(int(std::max<intptr_t>(0, argument)));
        return 0;
    case MapNotifyActiveColumn:
        return ActiveColumn();
    default:
        return 0;
    }
}

// Every map counted by a MapsRequested gets exactly one MapReady, but a fast worker's MapReady
// can arrive before the MapsRequested that counted it: the count is a plain sum that may dip
// below zero for a moment, and the indicator runs while it is above zero.
void CMainFrame::CountOutstandingMaps(int change)
{
    m_outstandingMaps += change;
    if (m_outstandingMaps > 0)
        m_busy->Start();
    else
        m_busy->Stop();
}

// ---- window ----

void CMainFrame::UpdateTitle()
{
    const QString title = m_doc.Title() + QStringLiteral("[*] - ") + TxString(IDR_DOCUMENT_TYPE).section(u'\n', 0, 0);
    if (windowTitle() != title)
        setWindowTitle(title);
    setWindowModified(m_doc.IsModified());
}

void CMainFrame::AddPane(QDockWidget* pane, Qt::DockWidgetArea area)
{
    addDockWidget(area, pane);
}

void CMainFrame::SaveWorkspace()
{
    CKWProfileStore& store = CKWProfileStore::Instance();
    store.WriteString(WorkspaceSection(), QStringLiteral("WindowGeometry"), QString::fromLatin1(saveGeometry().toBase64()));
    store.WriteString(WorkspaceSection(), QStringLiteral("DockState"), QString::fromLatin1(saveState().toBase64()));
    store.WriteInt(WorkspaceSection(), QStringLiteral("StatusBar"), statusBar()->isVisibleTo(this) ? 1 : 0);
}

void CMainFrame::RestoreWorkspace()
{
    CKWProfileStore& store = CKWProfileStore::Instance();
    const QByteArray geometry =
        QByteArray::fromBase64(store.ReadString(WorkspaceSection(), QStringLiteral("WindowGeometry"), {}).toLatin1());
    if (geometry.isEmpty() || !restoreGeometry(geometry)) {
        const QRect screen = this->screen() ? this->screen()->availableGeometry() : QRect(0, 0, 1280, 900);
        const QSize size(std::min(1180, screen.width() - 40), std::min(820, screen.height() - 40));
        resize(size);
        move(screen.center() - QPoint(size.width() / 2, size.height() / 2));
    }
    const QByteArray state =
        QByteArray::fromBase64(store.ReadString(WorkspaceSection(), QStringLiteral("DockState"), {}).toLatin1());
    if (!state.isEmpty())
        restoreState(state);
    statusBar()->setVisible(store.ReadInt(WorkspaceSection(), QStringLiteral("StatusBar"), 1) != 0);
}

void CMainFrame::closeEvent(QCloseEvent* e)
{
    if (!m_app.SaveModified()) {
        e->ignore();
        return;
    }
    SaveWorkspace();
    e->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    if (!urls.isEmpty() && urls.first().isLocalFile())
        e->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* e)
{
    const QList<QUrl> urls = e->mimeData()->urls();
    if (urls.isEmpty() || !urls.first().isLocalFile())
        return;
    e->acceptProposedAction();
    activateWindow();
    // Opening may ask questions; the drag source should not wait for them.
    const QString path = urls.first().toLocalFile();
    QTimer::singleShot(0, this, [this, path] { m_app.OpenDroppedFile(path); });
}
