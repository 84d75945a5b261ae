#include "print/TXPreviewView.h"

#include <QAbstractScrollArea>
#include <QAction>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QScrollBar>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "document/TessarixDoc.h"
#include "print/PrintStrings.h"
#include "print/PrinterOutput.h"
#include "print/TextBlockDlg.h"
#include "util/StringTable.h"

namespace {

int ButtonCount(const QToolBar* bar)
{
    int n = 0;
    for (QAction* a : bar->actions())
        n += !a->isSeparator() && qobject_cast<QToolButton*>(bar->widgetForAction(a)) != nullptr;
    return n;
}

}  // namespace

bool PreviewGetsTextButtons(int existingButtons)
{
    return existingButtons <= kMaxPreviewButtonsForTexts;
}

CTXPreviewView::CTXPreviewView(CTessarixDoc& doc, QPrinter& printer, IPrintMapSource* maps,
                               const PrintMargins& margins, int firstPage, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_printer(printer), m_job(std::make_unique<CPrintJob>(doc, maps, margins)),
      m_firstPage(firstPage)
{
    setWindowTitle(TxString(IDS_PREVIEW_CAPTION));
    setWindowFlag(Qt::WindowMaximizeButtonHint);
    PreparePrinter(m_printer);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_toolbar = new QToolBar(this);
    m_toolbar->setObjectName(QStringLiteral("PreviewToolBar"));
    m_toolbar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_preview = new QPrintPreviewWidget(&m_printer, this);
    m_preview->setObjectName(QStringLiteral("PreviewPages"));
    layout->addWidget(m_toolbar);
    layout->addWidget(m_preview, 1);

    QStyle* st = style();
    m_toolbar->addAction(st->standardIcon(QStyle::SP_ArrowLeft), TxString(IDS_PREVIEW_PREVIOUS), this, [this] {
        m_preview->setCurrentPage(m_preview->currentPage() - 1);
        UpdatePageText();
    });
    m_toolbar->addAction(st->standardIcon(QStyle::SP_ArrowRight), TxString(IDS_PREVIEW_NEXT), this, [this] {
        m_preview->setCurrentPage(m_preview->currentPage() + 1);
        UpdatePageText();
    });
    m_toolbar->addAction(TxString(IDS_PREVIEW_ZOOM_IN), m_preview, [this] { m_preview->zoomIn(); });
    m_toolbar->addAction(TxString(IDS_PREVIEW_ZOOM_OUT), m_preview, [this] { m_preview->zoomOut(); });
    QAction* two = m_toolbar->addAction(TxString(IDS_PREVIEW_TWO_PAGES));
    two->setCheckable(true);
    connect(two, &QAction::toggled, this, [this](bool on) {
        on ? m_preview->setFacingPagesViewMode() : m_preview->setSinglePageViewMode();
    });
    m_toolbar->addSeparator();
    m_toolbar->addAction(TxString(IDS_PREVIEW_PRINT), this, &CTXPreviewView::PrintFromPreview);
    m_toolbar->addAction(TxString(IDS_PREVIEW_CLOSE), this, &QDialog::reject);
    AddTextButtons();
    m_toolbar->addSeparator();
    m_pageText = new QLabel(m_toolbar);
    m_pageText->setContentsMargins(8, 0, 8, 0);
    m_toolbar->addWidget(m_pageText);

    connect(m_preview, &QPrintPreviewWidget::paintRequested, this, &CTXPreviewView::PaintPages);
    connect(m_preview, &QPrintPreviewWidget::previewChanged, this, &CTXPreviewView::UpdatePageText);
    // Scrolling through the pages changes the current page too.
    if (auto* area = m_preview->findChild<QAbstractScrollArea*>())
        connect(area->verticalScrollBar(), &QScrollBar::valueChanged, this, &CTXPreviewView::UpdatePageText);
    resize(900, 1000);
}

CTXPreviewView::~CTXPreviewView()
{
    m_job->EndPrinting();
}

void CTXPreviewView::AddTextButtons()
{
    const int captions[kPrintBlockCount] = {IDS_PREVIEW_TITLE, IDS_PREVIEW_TEXT_ABOVE, IDS_PREVIEW_TEXT_BELOW,
                                            IDS_PREVIEW_FOOTER};
    for (int kind = 0; kind < kPrintBlockCount; ++kind) {
        auto* a = new QAction(TxString(captions[kind]), this);
        a->setToolTip(TxString(captions[kind]));
        connect(a, &QAction::triggered, this, [this, kind] { EditBlock(kind); });
        m_textActions[kind] = a;
    }
    if (!PreviewGetsTextButtons(ButtonCount(m_toolbar)))
        return;
    m_textSeparator = m_toolbar->addSeparator();
    for (QAction* a : m_textActions)
        m_toolbar->addAction(a);
}

void CTXPreviewView::ShowTextCommandsIn(QWidget* bar)
{
    for (QAction* a : m_textActions)
        m_toolbar->removeAction(a);
    if (m_textSeparator) {
        m_toolbar->removeAction(m_textSeparator);
        m_textSeparator = nullptr;
    }
    static_cast<QVBoxLayout*>(layout())->insertWidget(0, bar);
}

void CTXPreviewView::PaintPages(QPrinter* printer)
{
    QPainter painter(printer);
    const PrintDevice device = PrintDeviceOf(*printer);
    for (int page = 1; page <= m_job->PageCount(); ++page) {
        if (page > 1)
            printer->newPage();
        m_job->PrintMapPage(painter, device, page);
    }
}

void CTXPreviewView::Refresh()
{
    m_preview->updatePreview();
    if (m_firstPaint) {
        m_firstPaint = false;
        m_preview->setCurrentPage(m_firstPage);
    }
    UpdatePageText();
}

int CTXPreviewView::CurrentPage() const
{
    return m_preview->currentPage();
}

QString CTXPreviewView::PageText() const
{
    return m_pageText->text();
}

void CTXPreviewView::UpdatePageText()
{
    m_pageText->setText(TxFormat(IDS_PREVIEW_PAGE, QString::number(m_preview->currentPage()),
                                 QString::number(m_preview->pageCount())));
}

bool CTXPreviewView::EditBlock(int kind)
{
    if (!RunTextBlockDialog(this, m_doc, kind))
        return false;
    Refresh();
    return true;
}

void CTXPreviewView::PrintFromPreview()
{
    QPrintDialog dialog(&m_printer, this);
    dialog.setMinMax(1, m_job->PageCount());
    if (dialog.exec() != QDialog::Accepted)
        return;
    PreparePrinter(m_printer);
    const bool range = m_printer.printRange() == QPrinter::PageRange;
    PrintJobPages(m_printer, *m_job, range ? m_printer.fromPage() : 0, range ? m_printer.toPage() : 0);
    accept();
}

void CTXPreviewView::closeEvent(QCloseEvent* e)
{
    m_job->EndPrinting();
    QDialog::closeEvent(e);
}

void CTXPreviewView::done(int result)
{
    m_job->EndPrinting();
    QDialog::done(result);
}
