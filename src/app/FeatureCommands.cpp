// The registration point of the commands whose dialogs and windows live in other folders.
// A command appears in the menus, the toolbar and the ribbon only once it is registered here:
//
//     commands.Register(ID_TX_GRID, [&app] { /* run the Grid Setting dialog on app.Document() */ },
//                       [&app] { return CommandState{true, false, {}}; });
//
// Handlers reach the document through app.Document(), the window through app.MainFrame() and the
// map of the active tab through app.MainFrame()->ActiveView(). Panes (the properties pane) are
// added with app.AddPaneFactory([](CTessarixApp&, CMainFrame& frame) { frame.AddPane(...); }).

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QTabWidget>

#include <array>
#include <memory>

#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/NoiseZonesDlg.h"
#include "app/PropertiesWnd.h"
#include "app/SpectrumWnd.h"
#include "app/SurfaceCheckDlg.h"
#include "app/TessarixApp.h"
#include "colors/ColorScaleDlg.h"
#include "dataentry/BandSumDlg.h"
#include "dataentry/EditDataDlg.h"
#include "dataentry/GridSetupDlg.h"
#include "dataentry/InsertDataDlg.h"
#include "dataentry/InsertDataModel.h"
#include "dataentry/MainSetupDlg.h"
#include "dataentry/MergeReadingsDlg.h"
#include "dataentry/RecalcXYCoordinateDlg.h"
#include "dataentry/TableClipboard.h"
#include "document/TessarixDoc.h"
#include "image/ImageClipDlg.h"
#include "image/ImagePositionDlg.h"
#include "image/ImportImageDlg.h"
#include "render/SymbolSets.h"
#include "render/TessarixView.h"
#include "util/KWProfileStore.h"
#include "util/UserPromptBox.h"

namespace {

// Insert Data keeps its pending lines per data column, so they outlive a rebuild of the tabs.
void RegisterInsertData(CTessarixApp& app, CCommandTable& commands)
{
    auto models = std::make_shared<std::array<CInsertDataModel, kColumnCount>>();
    auto activeView = [&app]() -> CTessarixView* { return app.MainFrame() ? app.MainFrame()->ActiveView() : nullptr; };
    commands.Register(
        ID_TX_INSERT_DATA,
        [&app, models, activeView] {
            CTessarixView* view = activeView();
            if (!view || view->Column() < 0)
                return;
            CInsertDataModel& model = (*models)[size_t(view->Column())];
            if (!view->InsertMode())
                model.LeaveInsertMode();  // the view left the mode on a right click
            const bool on = CInsertDataDlg::Import(view, model, app.Document());
            view->SetInsertClickHandler([&app, &model](CTessarixView& v, float x, float y, QPoint globalPos) {
                CInsertDataDlg::PlaceAt(&v, globalPos, model, app.Document(), x, y);
                v.SetInsertMode(model.InsertMode());
            });
            QObject::connect(view, &CTessarixView::InsertModeChanged, view, [&model](bool inserting) {
                if (!inserting)
                    model.LeaveInsertMode();
            }, Qt::UniqueConnection);
            view->SetInsertMode(on);
        },
        [activeView] {
            const CTessarixView* view = activeView();
            const QMimeData* clip = QGuiApplication::clipboard()->mimeData();
            const bool inserting = view && view->InsertMode();
            return CommandState{view && (inserting || (clip && clip->hasText())), inserting, {}};
        },
        true);
}

// Undo and Redo: the menu text names the step on top, except in the ribbon style, whose
// buttons keep their labels.
void RegisterUndoRedo(CTessarixApp& app, CCommandTable& commands)
{
    app.Document().SetUndoErrorHandler([&app](const QString& message) {
        TellUser(app.MainFrame(), message);
    });
    auto classicText = [&app](const QString& text) {
        return app.MainFrame() && !app.MainFrame()->IsRibbon() ? text : QString();
    };
    commands.Register(
        ID_EDIT_UNDO, [&app] { app.Document().Undo(); },
        [&app, classicText] { return CommandState{app.Document().CanUndo(), false, classicText(app.Document().UndoMenuText())}; });
    commands.Register(
        ID_EDIT_REDO, [&app] { app.Document().Redo(); },
        [&app, classicText] { return CommandState{app.Document().CanRedo(), false, classicText(app.Document().RedoMenuText())}; });
}

// The properties pane docks at the right of the frame in both interface styles; "Property Bar"
// shows and hides it, and the frame's saved layout remembers its place and visibility.
void RegisterPropertiesPane(CTessarixApp& app, CCommandTable& commands)
{
    auto pane = std::make_shared<QPointer<CPropertiesWnd>>();
    app.AddPaneFactory([pane](CTessarixApp& app, CMainFrame& frame) {
        auto* wnd = new CPropertiesWnd(app.Document(), &CKWProfileStore::Instance(), InstalledSymbolSets(), &frame);
        wnd->SetColorScaleEditor([](QWidget* parent, CKWColorScale& scale) { return RunColorScaleDlg(parent, scale); });
        frame.AddPane(wnd, Qt::RightDockWidgetArea);
        QObject::connect(&frame, &CMainFrame::DocumentChanged, wnd, &CPropertiesWnd::Reload);
        *pane = wnd;
    });
    commands.Register(
        ID_VIEW_PROPERTIES, [pane] {
            if (*pane)
                (*pane)->setVisible(!(*pane)->isVisibleTo((*pane)->parentWidget()));
        },
        [pane] { return CommandState{bool(*pane), *pane && (*pane)->isVisibleTo((*pane)->parentWidget()), {}}; },
        true);
}

// "Surface Check" opens (or brings forward) the one modeless check dialog; it follows the active
// map tab and the document's changes for as long as it is open.
void RegisterSurfaceCheck(CTessarixApp& app, CCommandTable& commands)
{
    auto dialog = std::make_shared<QPointer<CSurfaceCheckDlg>>();
    auto activeColumn = [&app] {
        const CTessarixView* view = app.MainFrame() ? app.MainFrame()->ActiveView() : nullptr;
        return view ? view->Column() : -1;
    };
    commands.Register(
        ID_TX_SURFACE_CHECK,
        [&app, dialog, activeColumn] {
            CMainFrame* frame = app.MainFrame();
            if (!frame)
                return;
            if (!*dialog) {
                auto* dlg = new CSurfaceCheckDlg(app.Document(), [frame](int column) { return frame->ViewOf(column); },
                                                 frame);
                // Rebuilt tabs may show another column without announcing a tab change.
                QObject::connect(frame, &CMainFrame::DocumentChanged, dlg, [dlg, activeColumn] {
                    dlg->SetColumn(activeColumn());
                    dlg->OnDocumentChanged();
                });
                QObject::connect(frame->Tabs(), &QTabWidget::currentChanged, dlg,
                                 [dlg, activeColumn] { dlg->SetColumn(activeColumn()); });
                *dialog = dlg;
            }
            (*dialog)->SetColumn(activeColumn());
            (*dialog)->show();
            (*dialog)->raise();
            (*dialog)->activateWindow();
        },
        [activeColumn] { return CommandState{activeColumn() >= 0, false, {}}; });
}

// The spectrum pane docks at the right like the properties pane; "Spectrum" shows and hides it.
void RegisterSpectrumPane(CTessarixApp& app, CCommandTable& commands)
{
    auto pane = std::make_shared<QPointer<CSpectrumWnd>>();
    app.AddPaneFactory([pane](CTessarixApp& app, CMainFrame& frame) {
        auto* wnd = new CSpectrumWnd(app.Document(), &frame);
        frame.AddPane(wnd, Qt::RightDockWidgetArea);
        QObject::connect(&frame, &CMainFrame::ReadoutShown, wnd, &CSpectrumWnd::ShowReadout);
        QObject::connect(&frame, &CMainFrame::DocumentChanged, wnd, &CSpectrumWnd::OnDocumentChanged);
        *pane = wnd;
    });
    commands.Register(
        ID_VIEW_SPECTRUM, [pane] {
            if (*pane)
                (*pane)->setVisible(!(*pane)->isVisibleTo((*pane)->parentWidget()));
        },
        [pane] { return CommandState{bool(*pane), *pane && (*pane)->isVisibleTo((*pane)->parentWidget()), {}}; },
        true);
}

}  // namespace

void RegisterFeatureCommands(CTessarixApp& app, CCommandTable& commands)
{
    RegisterUndoRedo(app, commands);
    commands.Register(ID_TX_SETUP, [&app] { RunMainSetupDialog(app.MainFrame(), app.Document()); });
    commands.Register(ID_TX_GRID, [&app] { RunGridSetupDialog(app.MainFrame(), app.Document()); });
    commands.Register(ID_TX_IMPORT_IMAGE,
                      [&app] { RunImportImageDlg(app.MainFrame(), app.Document(), CKWProfileStore::Instance()); });
    // Placing and clipping the picture need a picture.
    commands.Register(
        ID_TX_IMAGE_SCALE, [&app] { RunImagePositionDlg(app.MainFrame(), app.Document(), CKWProfileStore::Instance()); },
        [&app] { return CommandState{app.Document().Image().HasPicture(), false, {}}; });
    commands.Register(
        ID_TX_IMAGE_CLIP, [&app] { RunImageClipDlg(app.MainFrame(), app.Document(), CKWProfileStore::Instance()); },
        [&app] { return CommandState{app.Document().Image().HasPicture(), false, {}}; });
    CEditDataDlg::SetRecalcXYHandler(RunRecalcXYDialog);
    commands.Register(ID_TX_EDIT_DATA, [&app] { RunEditDataDialog(app.MainFrame(), app.Document()); });
    // Paste in the main window: Edit Data opens with the clipboard table added after the last point.
    commands.Register(
        ID_EDIT_PASTE, [&app] { RunEditDataDialog(app.MainFrame(), app.Document(), ClipboardText()); },
        [] { return CommandState{ClipboardHasText(), false, {}}; });
    RegisterInsertData(app, commands);
    // The acoustic edits need measured points to work on.
    auto hasPoints = [&app] { return CommandState{app.Document().PointCount() > 0, false, {}}; };
    commands.Register(ID_TX_BAND_SUM, [&app] { RunBandSumDialog(app.MainFrame(), app.Document()); }, hasPoints);
    commands.Register(ID_TX_MERGE_READINGS, [&app] { RunMergeReadingsDialog(app.MainFrame(), app.Document()); },
                      hasPoints);
    commands.Register(ID_TX_NOISE_ZONES, [&app] { RunNoiseZonesDialog(app.MainFrame(), app.Document()); }, hasPoints);
    RegisterPropertiesPane(app, commands);
    RegisterSpectrumPane(app, commands);
    RegisterSurfaceCheck(app, commands);
    RegisterPrintCommands(app, commands);
}
