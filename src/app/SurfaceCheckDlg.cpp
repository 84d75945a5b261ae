#include "app/SurfaceCheckDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/AppStrings.h"
#include "app/SurfaceCheckText.h"
#include "document/TessarixDoc.h"
#include "render/TessarixView.h"
#include "util/StringTable.h"

CSurfaceCheckDlg::CSurfaceCheckDlg(CTessarixDoc& doc, ViewLookup viewOf, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_viewOf(std::move(viewOf))
{
    setObjectName(QStringLiteral("SurfaceCheckDlg"));
    setWindowTitle(TxString(IDS_CHECK_TITLE));
    setModal(false);

    m_columnLabel = new QLabel(this);
    QFont bold = m_columnLabel->font();
    bold.setBold(true);
    m_columnLabel->setFont(bold);
    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_busy = new QProgressBar(this);
    m_busy->setRange(0, 0);  // running without a known end
    m_busy->setTextVisible(false);
    m_busy->setMaximumHeight(12);
    m_rms = new QLabel(this);
    m_miss = new QLabel(this);
    m_condition = new QLabel(this);
    m_verdict = new QLabel(this);
    m_verdict->setObjectName(QStringLiteral("verdict"));
    m_verdict->setWordWrap(true);
    m_worstCaption = new QLabel(TxString(IDS_CHECK_WORST), this);

    m_table = new QTableWidget(0, CheckColumnCount, this);
    m_table->setObjectName(QStringLiteral("worst"));
    m_table->setHorizontalHeaderLabels(SurfaceCheckHeadings());
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setMinimumWidth(420);
    m_table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setFixedHeight(m_table->horizontalHeader()->sizeHint().height() +
                            SurfaceCheck::kWorstCount * m_table->verticalHeader()->defaultSectionSize() + 4);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CSurfaceCheckDlg::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_columnLabel);
    layout->addWidget(m_status);
    layout->addWidget(m_busy);
    layout->addWidget(m_rms);
    layout->addWidget(m_miss);
    layout->addWidget(m_condition);
    layout->addWidget(m_verdict);
    layout->addWidget(m_worstCaption);
    layout->addWidget(m_table);
    layout->addWidget(buttons);

    connect(&m_runner, &CSurfaceCheckRunner::Finished, this, &CSurfaceCheckDlg::ShowResult);
    ShowMessage({}, false);
}

CSurfaceCheckDlg::~CSurfaceCheckDlg()
{
    ClearMarks();
}

void CSurfaceCheckDlg::SetColumn(int column)
{
    if (column == m_column)
        return;
    m_column = column;
    if (isVisible())
        Recheck();
}

void CSurfaceCheckDlg::OnDocumentChanged()
{
    if (isVisible())
        Recheck();
}

void CSurfaceCheckDlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    Recheck();
}

void CSurfaceCheckDlg::hideEvent(QHideEvent* e)
{
    // A closed dialog neither computes nor marks.
    m_runner.Cancel();
    ClearMarks();
    QDialog::hideEvent(e);
}

void CSurfaceCheckDlg::Recheck()
{
    const bool columnShown = m_column >= 0 && m_column < m_doc.ColumnCount();
    m_columnLabel->setText(columnShown ? TxFormat(IDS_CHECK_COLUMN, m_doc.Column(m_column).name) : QString());
    if (!columnShown) {
        m_runner.Cancel();
        ClearMarks();
        ShowMessage(TxString(IDS_CHECK_NO_COLUMN), false);
        return;
    }
    SurfaceCheckInput input = SurfaceCheckInputOf(m_doc, m_column);
    if ((m_runner.Running() || m_runner.HasResult()) && m_runner.Input() == input) {
        // Nothing the check reads has changed; the tabs may have been rebuilt, though.
        if (m_runner.HasResult())
            MarkWorstPoints();
        return;
    }
    ClearMarks();
    const int points = int(input.points.x.size());
    m_runner.Start(std::move(input));
    ShowMessage(TxFormat(IDS_CHECK_RUNNING, QString::number(points)), true);
}

void CSurfaceCheckDlg::ShowMessage(const QString& text, bool working)
{
    m_status->setText(text);
    m_status->setVisible(!text.isEmpty());
    m_busy->setVisible(working);
    for (QLabel* l : {m_rms, m_miss, m_condition, m_verdict})
        l->clear();
    m_table->setRowCount(0);
    m_worstCaption->setEnabled(false);
}

void CSurfaceCheckDlg::ShowResult()
{
    const SurfaceCheckReport* report = m_runner.Result();
    if (!report)
        return;
    const SurfaceCheckText text = DescribeSurfaceCheck(*report, int(m_runner.Input().points.x.size()));
    if (!text.refusal.isEmpty()) {
        ShowMessage(text.refusal, false);
        return;
    }
    ShowMessage({}, false);
    m_rms->setText(text.rms);
    m_miss->setText(text.miss);
    m_condition->setText(text.condition);
    m_verdict->setText(text.verdict);
    m_verdict->setStyleSheet(text.illConditioned ? QStringLiteral("color: #c00000; font-weight: bold;") : QString());
    m_worstCaption->setEnabled(true);
    m_table->setRowCount(int(text.worstRows.size()));
    for (int r = 0; r < int(text.worstRows.size()); ++r)
        for (int c = 0; c < CheckColumnCount; ++c) {
            auto* item = new QTableWidgetItem(text.worstRows[size_t(r)].value(c));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(r, c, item);
        }
    MarkWorstPoints();
}

QString CSurfaceCheckDlg::SummaryText() const
{
    QStringList lines;
    for (const QLabel* l : {m_status, m_rms, m_miss, m_condition, m_verdict})
        if (!l->text().isEmpty())
            lines.append(l->text());
    return lines.join(u'\n');
}

void CSurfaceCheckDlg::MarkWorstPoints()
{
    const SurfaceCheckReport* report = m_runner.Result();
    CTessarixView* view = m_viewOf ? m_viewOf(m_column) : nullptr;
    if (view != m_markedView)
        ClearMarks();
    if (!report || !view)
        return;
    view->SetMarks(DescribeSurfaceCheck(*report, int(m_runner.Input().points.x.size())).marks);
    m_markedView = view;
}

void CSurfaceCheckDlg::ClearMarks()
{
    if (m_markedView)
        m_markedView->SetMarks({});
    m_markedView = nullptr;
}
