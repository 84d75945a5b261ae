#pragma once
// CTessarixApp: starts the program and owns what lives for the whole run: the one document, the
// main frame, the command table, the recent-file list, the page margins and printer, the PDF
// documents of the program folder and the interface language. New and Open reuse the document.

#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

#include "app/CommandTable.h"
#include "app/MapNotifyRelay.h"
#include "app/RecentFileList.h"
#include "app/StartupOptions.h"
#include "document/MapComputations.h"

class CMainFrame;
class CRibbonBar;
class CTessarixDoc;
class QPrinter;

class CTessarixApp {
public:
    // `maps` replaces the program's map computations (tests); `programFolder` is where language
    // files and PDF documents are looked for (default: the folder of the executable).
    explicit CTessarixApp(std::unique_ptr<IMapComputations> maps = nullptr, QString programFolder = {});
    ~CTessarixApp();
    CTessarixApp(const CTessarixApp&) = delete;
    CTessarixApp& operator=(const CTessarixApp&) = delete;

    // Start-up with the arguments after the program name. Returns -1 when the event loop is to
    // run, otherwise the exit status (0 done, 1 a step failed, 2 wrong usage).
    int InitInstance(const QStringList& arguments);
    // Exit step: recent files and every changed profile entry are written back; the language
    // file is released.
    void ExitInstance();

    CTessarixDoc& Document() { return *m_doc; }
    CMainFrame* MainFrame() const { return m_frame.get(); }
    CCommandTable& Commands() { return m_commands; }
    CRecentFileList& RecentFiles() { return m_recent; }
    const QStringList& PdfDocuments() const { return m_pdfDocuments; }
    const PageMargins& Margins() const { return m_margins; }
    QPrinter& Printer();
    int Language() const { return m_language; }
    const InterfaceStyle& Style() const { return m_style; }
    const CommandLineRequest& Request() const { return m_request; }
    // "Tessarix Files (*.Tsrix)" from the document type string.
    QString DocumentFilter() const;

    // Document commands. SaveModified asks "Save changes to ...?" for a modified document and
    // returns false when the user cancels (or the save fails).
    bool SaveModified();
    bool OpenDocument(const QString& path);  // no question asked; shows the failure message
    void FileNew();
    void FileOpen();
    void OpenDroppedFile(const QString& path);
    bool FileSave();
    bool FileSaveAs();
    void FileClose();
    void OpenRecentFile(int index);
    void PageSetup();
    void SetMargins(const PageMargins& margins);
    void About();
    bool OpenPdfDocument(int index);
    // 56025 / 56026: stores the style for the next start and says so.
    void SelectInterface(bool ribbon);

    // Further panes (the properties pane) are created by these when the frame is built.
    using PaneFactory = std::function<void(CTessarixApp& app, CMainFrame& frame)>;
    void AddPaneFactory(PaneFactory factory) { m_paneFactories.push_back(std::move(factory)); }

private:
    void ChooseAndLoadLanguage();
    void RegisterShellCommands();
    void CreateMainFrame();
    bool SaveTo(const QString& path);

    QString m_programFolder;
    // The relay outlives the document: the document's workers post through it until they stop.
    CMapNotifyRelay m_relay;
    std::unique_ptr<CTessarixDoc> m_doc;
    CCommandTable m_commands;
    CRecentFileList m_recent;
    std::unique_ptr<CMainFrame> m_frame;
    std::unique_ptr<QPrinter> m_printer;
    std::vector<PaneFactory> m_paneFactories;
    CommandLineRequest m_request;
    InterfaceStyle m_style;
    PageMargins m_margins;
    QStringList m_pdfDocuments;
    int m_language = 0;
    bool m_exited = false;
};

// The registration point for the commands whose dialogs live in other folders (FeatureCommands.cpp):
// called once at start, before the main frame is built, so every registered command appears in
// both interface styles.
void RegisterFeatureCommands(CTessarixApp& app, CCommandTable& commands);
// The printing commands (PrintCommands.cpp), registered by RegisterFeatureCommands.
void RegisterPrintCommands(CTessarixApp& app, CCommandTable& commands);
// Quick Print and --print: every page on the application's printer without a dialog; false when
// nothing could be printed.
bool QuickPrintDocument(CTessarixApp& app);
// The ribbon look's print preview: a ribbon category named with the program's title, whose
// panel "Text" holds the four text-block commands (taken off the preview's tool bar).
CRibbonBar* AddPreviewRibbon(class CTXPreviewView& preview, int look);
