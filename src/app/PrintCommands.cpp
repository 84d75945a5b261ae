// The printing commands: Print, Quick Print, Print Preview, Print Setup and the four text-block
// commands. Pages come from the print job of the print folder; the map bodies from the
// program's map computations.

#include <QApplication>
#include <QPrintDialog>
#include <QPrinter>

#include "app/AppStrings.h"
#include "app/CommandIcons.h"
#include "app/CommandIds.h"
#include "app/LookScheme.h"
#include "app/MainFrame.h"
#include "app/RibbonBar.h"
#include "app/TessarixApp.h"
#include "document/TessarixDoc.h"
#include "print/PrintMapPage.h"
#include "print/PrintStrings.h"
#include "print/PrinterOutput.h"
#include "print/TXPreviewView.h"
#include "print/TextBlockDlg.h"
#include "render/TessarixView.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"
#include "workers/MapComputationSet.h"

namespace {

// Pages draw from the program's own map computations, each column once its worker is idle;
// other computations (tests) leave the pages without map bodies.
std::unique_ptr<IPrintMapSource> MapSourceOf(CTessarixDoc& doc)
{
    auto* set = dynamic_cast<CMapComputationSet*>(&doc.Maps());
    if (!set)
        return nullptr;
    return std::make_unique<CPrintMapFunction>(
        [set](int column, MapDrawInput* input) { return set->IdleDrawInput(column, input); });
}

PrintMargins MarginsOf(const CTessarixApp& app)
{
    const PageMargins& m = app.Margins();
    return {m.left, m.right, m.top, m.bottom};
}

// The wait cursor while pages are composed.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

int ActiveColumn(CTessarixApp& app)
{
    const CTessarixView* view = app.MainFrame() ? app.MainFrame()->ActiveView() : nullptr;
    return view ? view->Column() : 0;
}

enum class PrintOutcome { Printed, Cancelled, Failed };

PrintOutcome PrintWithDialog(CTessarixApp& app)
{
    QPrinter& printer = app.Printer();
    const auto source = MapSourceOf(app.Document());
    CPrintJob job(app.Document(), source.get(), MarginsOf(app));
    QPrintDialog dialog(&printer, app.MainFrame());
    dialog.setMinMax(1, job.PageCount());
    if (dialog.exec() != QDialog::Accepted)
        return PrintOutcome::Cancelled;
    PreparePrinter(printer);
    const bool range = printer.printRange() == QPrinter::PageRange;
    WaitCursor wait;
    return PrintJobPages(printer, job, range ? printer.fromPage() : 0, range ? printer.toPage() : 0)
               ? PrintOutcome::Printed
               : PrintOutcome::Failed;
}

void PrintPreview(CTessarixApp& app)
{
    const auto source = MapSourceOf(app.Document());
    const int first = FirstPageOfColumn(app.Document().EnabledColumnIndices(), ActiveColumn(app));
    CTXPreviewView preview(app.Document(), app.Printer(), source.get(), MarginsOf(app), first, app.MainFrame());
    if (app.MainFrame() && app.MainFrame()->IsRibbon())
        AddPreviewRibbon(preview, app.MainFrame()->Look());
    preview.Refresh();
    preview.exec();
}

void PrintSetup(CTessarixApp& app)
{
    QPrintDialog dialog(&app.Printer(), app.MainFrame());
    dialog.setOption(QAbstractPrintDialog::PrintToFile);
    dialog.exec();  // the printer keeps what the user chose; nothing is printed
}

}  // namespace

CRibbonBar* AddPreviewRibbon(CTXPreviewView& preview, int look)
{
    auto* ribbon = new CRibbonBar(&preview);
    ribbon->setObjectName(QStringLiteral("PreviewRibbon"));
    // The preview's ribbon holds its own category only: no application menu.
    if (auto* appButton = ribbon->findChild<QWidget*>(QStringLiteral("RibbonApplicationButton")))
        appButton->hide();
    const int category = ribbon->AddCategory(TxString(IDR_DOCUMENT_TYPE).section(u'\n', 0, 0));
    CRibbonPanel* panel = ribbon->AddPanel(category, TxString(IDS_PREVIEW_TEXT_PANEL));
    const int ids[kPrintBlockCount] = {ID_SET_TITLE, ID_SET_TEXT_ABOVE, ID_SET_TEXT_BELOW, ID_SET_FOOTER};
    for (int kind = 0; kind < kPrintBlockCount; ++kind) {
        QAction* a = preview.TextAction(kind);
        a->setIcon(CommandIcon(ids[kind]));
        panel->AddLarge(a);
    }
    ribbon->ApplyScheme(LookSchemeOf(look));
    preview.ShowTextCommandsIn(ribbon);
    return ribbon;
}

bool QuickPrintDocument(CTessarixApp& app)
{
    QPrinter& printer = app.Printer();
    PreparePrinter(printer);
    const auto source = MapSourceOf(app.Document());
    CPrintJob job(app.Document(), source.get(), MarginsOf(app));
    WaitCursor wait;
    return PrintJobPages(printer, job);
}

void RegisterPrintCommands(CTessarixApp& app, CCommandTable& commands)
{
    // A printer that refuses the pages is said, never passed over in silence.
    auto tellFailure = [&app] { TellUser(app.MainFrame(), TxString(IDS_PRINT_NOT_PRINTED)); };
    commands.Register(ID_FILE_PRINT, [&app, tellFailure] {
        if (PrintWithDialog(app) == PrintOutcome::Failed)
            tellFailure();
    });
    commands.Register(ID_FILE_PRINT_DIRECT, [&app, tellFailure] {
        if (!QuickPrintDocument(app))
            tellFailure();
    });
    commands.Register(ID_FILE_PRINT_PREVIEW, [&app] { PrintPreview(app); });
    commands.Register(ID_FILE_PRINT_SETUP, [&app] { PrintSetup(app); });
    const int ids[kPrintBlockCount] = {ID_SET_TITLE, ID_SET_TEXT_ABOVE, ID_SET_TEXT_BELOW, ID_SET_FOOTER};
    for (int kind = 0; kind < kPrintBlockCount; ++kind)
        commands.Register(ids[kind], [&app, kind] { RunTextBlockDialog(app.MainFrame(), app.Document(), kind); });
}
