#include "app/TessarixApp.h"

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLocale>
#include <QMessageBox>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QToolBar>
#include <QUrl>

#include <cmath>
#include <cstdio>

#include "app/AppStrings.h"
#include "app/CommandIcons.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/TessarixSplashWnd.h"
#include "document/TessarixDoc.h"
#include "print/PrintStrings.h"
#include "render/TessarixView.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"
#include "workers/MapComputationSet.h"

namespace {

QString DocumentsFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
}

}  // namespace

CTessarixApp::CTessarixApp(std::unique_ptr<IMapComputations> maps, QString programFolder)
    : m_programFolder(programFolder.isEmpty() ? QCoreApplication::applicationDirPath() : std::move(programFolder)),
      m_doc(std::make_unique<CTessarixDoc>(maps ? std::move(maps) : std::make_unique<CMapComputationSet>()))
{
    EnsureShellResources();
    m_doc->SetNotify(&m_relay);
}

CTessarixApp::~CTessarixApp()
{
    ExitInstance();
    m_relay.Detach();
    m_frame.reset();
    m_doc.reset();  // stops the map workers while the relay still exists
}

QPrinter& CTessarixApp::Printer()
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return *m_printer;
}

QString CTessarixApp::DocumentFilter() const
{
    return TxString(IDR_DOCUMENT_TYPE).section(u'\n', 3, 3);
}

void CTessarixApp::ChooseAndLoadLanguage()
{
    const QDir folder(m_programFolder);
    const bool italian = QLocale::system().language() == QLocale::Italian;
    const bool shift = QGuiApplication::queryKeyboardModifiers().testFlag(Qt::ShiftModifier);
    m_language = ChooseLanguage(AvailableLanguages(folder), italian, shift);
    if (m_language == 0)
        return;
    const QString name = LanguageFileName(m_language);
    if (!TxLoadLanguageFile(folder.filePath(name))) {
        TellUser(nullptr, name + TxString(IDS_LANGUAGE_NOT_FOUND));
        m_language = 0;
    }
}

int CTessarixApp::InitInstance(const QStringList& arguments)
{
    // 1-2: nothing to initialise on this platform.
    // 3: the interface language, before any text is shown.
    ChooseAndLoadLanguage();

    // 4: the profile and the recent-file list.
    CKWProfileStore& store = CKWProfileStore::Instance();
    m_recent.Load(store);
    m_style = ReadInterfaceStyle(store);

    // 5-7: the document type is this program's own; the desktop entry and the MIME type for
    // .Tsrix files are installed with the program.
    m_pdfDocuments = FindPdfDocuments(
        {m_programFolder, QDir(m_programFolder).filePath(QStringLiteral("../share/doc/tessarix"))});

    // 8: the command line.
    m_request = ParseCommandLine(arguments);
    if (m_request.help) {
        std::fprintf(stdout, "%s\n", qPrintable(TxString(IDS_USAGE)));
        return 0;
    }
    if (!m_request.error.isEmpty()) {
        std::fprintf(stderr, "%s\n%s\n", qPrintable(m_request.error), qPrintable(TxString(IDS_USAGE)));
        return 2;
    }
    RegisterShellCommands();
    RegisterFeatureCommands(*this, m_commands);
    CreateMainFrame();
    if (m_request.file.isEmpty()) {
        m_doc->OnNewDocument();
    } else if (!OpenDocument(m_request.file)) {
        return 1;
    }
    m_frame->UpdateTitle();

    // The page margins are the user's before anything is printed, --print included.
    m_margins = ReadMargins(store);
    if (m_request.print) {
        // Printing waits for each column's map; a printer that refuses the pages is an error.
        if (!QuickPrintDocument(*this)) {
            std::fprintf(stderr, "%s\n", qPrintable(TxString(IDS_PRINT_NOT_PRINTED)));
            return 1;
        }
        return 0;
    }

    // 9: the main window, which accepts dropped files.
    m_frame->show();
    // 10: the splash.
    CTessarixSplashWnd::ShowSplash(m_frame.get(), m_request.splash);
    // 11: the page margins were read before the command line was carried out.
    return -1;
}

void CTessarixApp::CreateMainFrame()
{
    m_frame = std::make_unique<CMainFrame>(*this, m_style);
    for (const PaneFactory& make : m_paneFactories)
        make(*this, *m_frame);
    m_frame->RestoreWorkspace();
    m_relay.Attach(m_frame.get());
}

void CTessarixApp::ExitInstance()
{
    if (m_exited || !m_frame)
        return;
    m_exited = true;
    CKWProfileStore& store = CKWProfileStore::Instance();
    m_recent.Save(store);
    store.WriteBack();
    if (m_language != 0) {
        TxResetLanguage();
        m_language = 0;
    }
}

// ---- documents ----

bool CTessarixApp::SaveModified()
{
    if (!m_doc->IsModified())
        return true;
    const PromptMessage question(TxFormat(IDS_ASK_TO_SAVE, m_doc->Title()), PromptIcon::Warning,
                                 PromptButtons::YesNoCancel);
    const PromptAnswer answer = AskUser(m_frame.get(), question);
    if (answer == PromptAnswer::Cancel)
        return false;
    if (answer == PromptAnswer::No)
        return true;
    return FileSave();
}

bool CTessarixApp::OpenDocument(const QString& path)
{
    const DocFileStatus status = m_doc->OnOpenDocument(path);
    if (status != DocFileStatus::Ok) {
        if (status == DocFileStatus::FileNotFound)
            m_recent.Remove(path);
        TellUser(m_frame.get(), DocFileMessage(status, QDir::toNativeSeparators(path), m_doc->LoadFailureReason()));
        if (m_frame)
            m_frame->UpdateTitle();
        return false;
    }
    m_recent.Add(m_doc->PathName());
    if (m_frame)
        m_frame->UpdateTitle();
    return true;
}

void CTessarixApp::FileNew()
{
    if (!SaveModified())
        return;
    m_doc->OnNewDocument();
    if (m_frame)
        m_frame->UpdateTitle();
}

void CTessarixApp::FileOpen()
{
    if (!SaveModified())
        return;
    CKWProfileStore& store = CKWProfileStore::Instance();
    QString start = ReadLoadSaveFolder(store, DocumentsFolder());
    if (start.isEmpty() || !QDir(start).exists())
        start = QDir::currentPath();
    const QString path = QFileDialog::getOpenFileName(m_frame.get(), {}, start, DocumentFilter());
    if (path.isEmpty())
        return;
    // The folder the user went to is where the next Open starts.
    WriteLoadSaveFolder(store, QFileInfo(path).absolutePath() + u'/');
    OpenDocument(path);
}

void CTessarixApp::OpenDroppedFile(const QString& path)
{
    if (!QFileInfo(path).isFile()) {
        TellUser(m_frame.get(), TxFormat(IDS_DROP_NOT_A_FILE, QDir::toNativeSeparators(path)));
        return;
    }
    if (!SaveModified())
        return;
    OpenDocument(path);
}

void CTessarixApp::OpenRecentFile(int index)
{
    const QStringList& files = m_recent.Files();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    if (!SaveModified())
        return;
    OpenDocument(path);
}

bool CTessarixApp::SaveTo(const QString& path)
{
    const DocFileStatus status = m_doc->OnSaveDocument(path);
    if (m_frame)
        m_frame->UpdateTitle();
    if (status != DocFileStatus::Ok) {
        TellUser(m_frame.get(), DocFileMessage(status, QDir::toNativeSeparators(path)));
        return false;
    }
    m_recent.Add(m_doc->PathName());
    return true;
}

bool CTessarixApp::FileSave()
{
    if (m_doc->PathName().isEmpty())
        return FileSaveAs();
    return SaveTo(m_doc->PathName());
}

bool CTessarixApp::FileSaveAs()
{
    CKWProfileStore& store = CKWProfileStore::Instance();
    QString folder = m_doc->PathName().isEmpty() ? ReadLoadSaveFolder(store, DocumentsFolder())
                                                 : QFileInfo(m_doc->PathName()).absolutePath();
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::currentPath();
    const QString extension = TxString(IDR_DOCUMENT_TYPE).section(u'\n', 4, 4);
    const QString proposal = QDir(folder).filePath(QFileInfo(m_doc->Title()).completeBaseName() + extension);
    QString path = QFileDialog::getSaveFileName(m_frame.get(), {}, proposal, DocumentFilter());
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += extension;
    return SaveTo(path);
}

void CTessarixApp::FileClose()
{
    if (!SaveModified())
        return;
    // One document for the whole run: closing leaves an empty, untitled one.
    m_doc->OnNewDocument();
    if (m_frame)
        m_frame->UpdateTitle();
}

// ---- page setup, help ----

void CTessarixApp::SetMargins(const PageMargins& margins)
{
    m_margins = margins;
    WriteMargins(CKWProfileStore::Instance(), margins);
}

void CTessarixApp::PageSetup()
{
    QPrinter& printer = Printer();
    printer.setPageMargins(MarginsToMillimetres(m_margins), QPageLayout::Millimeter);
    QPageSetupDialog dialog(&printer, m_frame.get());
    if (dialog.exec() != QDialog::Accepted)
        return;
    SetMargins(MarginsFromMillimetres(printer.pageLayout().margins(QPageLayout::Millimeter)));
}

void CTessarixApp::About()
{
    QMessageBox box(m_frame.get());
    box.setWindowTitle(TxString(IDS_ABOUT_TITLE));
    box.setIconPixmap(ApplicationIcon().pixmap(64, 64));
    box.setTextFormat(Qt::RichText);
    box.setText(TxFormat(IDS_ABOUT_TEXT, QStringLiteral(TESSARIX_VERSION)));
    box.exec();
}

bool CTessarixApp::OpenPdfDocument(int index)
{
    if (index < 0 || index >= m_pdfDocuments.size())
        return false;
    const QString path = m_pdfDocuments[index];
    if (QDesktopServices::openUrl(QUrl::fromLocalFile(path)))
        return true;
    TellUser(m_frame.get(), TxFormat(IDS_PDF_OPEN_FAILED, QDir::toNativeSeparators(path)));
    return false;
}

void CTessarixApp::SelectInterface(bool ribbon)
{
    CKWProfileStore::Instance().WriteInt(QStringLiteral("Workspace"), QStringLiteral("ApplicationUI"), ribbon ? 1 : 0);
    if (ribbon != m_style.ribbon)
        TellUser(m_frame.get(), TxString(IDS_UI_CHANGE_AT_RESTART), PromptIcon::Information);
}

// ---- the shell's own commands ----

void CTessarixApp::RegisterShellCommands()
{
    CCommandTable& t = m_commands;
    auto frame = [this] { return m_frame.get(); };
    auto view = [this]() -> CTessarixView* { return m_frame ? m_frame->ActiveView() : nullptr; };

    t.Register(ID_FILE_NEW, [this] { FileNew(); });
    t.Register(ID_FILE_OPEN, [this] { FileOpen(); });
    t.Register(ID_FILE_SAVE, [this] { FileSave(); });
    t.Register(ID_FILE_SAVE_AS, [this] { FileSaveAs(); });
    t.Register(ID_FILE_CLOSE, [this] { FileClose(); });
    t.Register(ID_FILE_PAGE_SETUP, [this] { PageSetup(); });
    t.Register(ID_APP_EXIT, [frame] {
        if (frame())
            frame()->close();
    });
    t.Register(ID_APP_ABOUT, [this] { About(); });
    for (int i = 0; i < kRecentFileCount; ++i)
        t.Register(ID_FILE_MRU_FIRST + i, [this, i] { OpenRecentFile(i); },
                   [this, i] { return CommandState{i < m_recent.Files().size(), false, {}}; });
    for (int i = 0; i < m_pdfDocuments.size() && i < kPdfCommandCount; ++i)
        t.Register(ID_PDF_FIRST + i, [this, i] { OpenPdfDocument(i); });

    t.Register(
        ID_EDIT_COPY, [view] {
            if (view())
                view()->CopyToClipboard();
        },
        [view] { return CommandState{view() && view()->HasPicture(), false, {}}; });
    t.Register(
        ID_AUTORANGE_COLOR, [view] {
            if (view())
                view()->Autorange();
        },
        [view] { return CommandState{view() && view()->CanAutorange(), false, {}}; });

    for (int mode = 0; mode < 4; ++mode)
        t.Register(
            ID_MAP_MODE_NORMAL + mode, [this, mode] { m_doc->SetMapMode(mode); },
            [this, mode] { return CommandState{true, m_doc->Settings().mapMode == mode, {}}; }, true);

    t.Register(
        ID_VIEW_STATUS_BAR, [frame] {
            if (frame())
                frame()->statusBar()->setVisible(!frame()->statusBar()->isVisibleTo(frame()));
        },
        [frame] { return CommandState{true, frame() && frame()->statusBar()->isVisibleTo(frame()), {}}; }, true);
    if (!m_style.ribbon)
        t.Register(
            ID_VIEW_TOOLBAR, [frame] {
                if (frame() && frame()->Toolbar())
                    frame()->Toolbar()->setVisible(!frame()->Toolbar()->isVisibleTo(frame()));
            },
            [frame] {
                return CommandState{true, frame() && frame()->Toolbar() && frame()->Toolbar()->isVisibleTo(frame()), {}};
            },
            true);

    for (int look = ID_LOOK_WIN_2000; look <= ID_LOOK_OFFICE_2007_AQUA; ++look)
        t.Register(
            look, [frame, look] {
                if (frame())
                    frame()->ApplyLook(look);
            },
            [frame, look] { return CommandState{true, frame() && frame()->Look() == look, {}}; }, true);
    t.Register(ID_UI_OFFICE_2007, [this] { SelectInterface(true); });
    t.Register(ID_UI_VISUAL_STUDIO, [this] { SelectInterface(false); });
}
