#pragma once
// CTXPreviewView: the print preview. The page images come from the job's pages (the platform's
// preview widget records them); its tool bar holds page navigation, zoom, one or two pages,
// print and close, followed by four buttons that edit the page's text blocks while the preview
// is open: "Title", "Text Above", "Text Below", "Footer". After an edit every shown page is
// drawn again. The tile cache of the job is released when the preview closes.

#include <QDialog>

#include <memory>

#include "print/PrintMapPage.h"

class CTessarixDoc;
class QLabel;
class QPrinter;
class QPrintPreviewWidget;
class QToolBar;

// The platform's preview tool bar gets the four text buttons only while it has at most this
// many buttons of its own.
inline constexpr int kMaxPreviewButtonsForTexts = 7;
bool PreviewGetsTextButtons(int existingButtons);

class CTXPreviewView : public QDialog {
    Q_OBJECT
public:
    // Shows the pages of `doc` from `maps` (may be null) on `printer`, starting at `firstPage`.
    CTXPreviewView(CTessarixDoc& doc, QPrinter& printer, IPrintMapSource* maps, const PrintMargins& margins,
                   int firstPage, QWidget* parent = nullptr);
    ~CTXPreviewView() override;

    QPrintPreviewWidget* Preview() const { return m_preview; }
    QToolBar* ToolBar() const { return m_toolbar; }
    CPrintJob& Job() { return *m_job; }
    // The text-block command of block `kind` (0 title .. 3 footer).
    QAction* TextAction(int kind) const { return m_textActions[kind]; }
    // Shows `bar` (a ribbon holding the text commands) above the pages; the tool bar then no
    // longer carries them.
    void ShowTextCommandsIn(QWidget* bar);
    // Draws every page again (after an edit of a text block).
    void Refresh();
    int CurrentPage() const;
    // "Page %1 of %2" as the tool bar shows it.
    QString PageText() const;

    // Runs the text-block dialog of `kind`; on OK the pages are drawn again.
    bool EditBlock(int kind);

protected:
    void closeEvent(QCloseEvent* e) override;
    void done(int result) override;

private:
    void PaintPages(QPrinter* printer);
    void AddTextButtons();
    void UpdatePageText();
    void PrintFromPreview();

    CTessarixDoc& m_doc;
    QPrinter& m_printer;
    std::unique_ptr<CPrintJob> m_job;
    QPrintPreviewWidget* m_preview = nullptr;
    QToolBar* m_toolbar = nullptr;
    QLabel* m_pageText = nullptr;
    QAction* m_textActions[kPrintBlockCount] = {};
    QAction* m_textSeparator = nullptr;
    int m_firstPage = 1;
    bool m_firstPaint = true;
};
