#include "dataentry/MergeReadingsDlg.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dataentry/DataEntryStrings.h"
#include "util/StringTable.h"

namespace {

// Fine enough for a tenth of a millimetre in metres; far beyond any site.
constexpr int kToleranceDecimals = 4;
constexpr double kMaxTolerance = 1e6;

}  // namespace

CMergeReadingsDlg::CMergeReadingsDlg(CTessarixDoc& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_model(doc)
{
    setWindowTitle(TxString(IDS_MERGE_TITLE));

    m_tolerance = new QDoubleSpinBox(this);
    m_tolerance->setObjectName(QStringLiteral("tolerance"));
    m_tolerance->setDecimals(kToleranceDecimals);
    m_tolerance->setRange(0.0, kMaxTolerance);
    m_tolerance->setSingleStep(0.001);
    m_tolerance->setValue(m_model.Tolerance());
    connect(m_tolerance, &QDoubleSpinBox::valueChanged, this, [this](double value) {
        m_model.SetTolerance(value);
        Refresh();
    });
    auto* form = new QFormLayout;
    form->addRow(TxString(IDS_MERGE_TOLERANCE), m_tolerance);

    m_table = new QTableWidget(0, 2, this);
    m_table->setObjectName(QStringLiteral("groups"));
    m_table->setHorizontalHeaderLabels({TxString(IDS_MERGE_HEAD_POINTS), TxString(IDS_MERGE_HEAD_POSITION)});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    m_table->setMinimumWidth(360);

    m_summary = new QLabel(this);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    auto* explain = new QLabel(TxString(IDS_MERGE_EXPLAIN), this);
    explain->setWordWrap(true);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_ok = buttons->button(QDialogButtonBox::Ok);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMergeReadingsDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMergeReadingsDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_table);
    layout->addWidget(m_summary);
    layout->addWidget(explain);
    layout->addWidget(buttons);
    Refresh();
}

void CMergeReadingsDlg::Refresh()
{
    m_table->setRowCount(m_model.GroupCount());
    for (int g = 0; g < m_model.GroupCount(); ++g) {
        m_table->setItem(g, 0, new QTableWidgetItem(m_model.PointsText(g)));
        m_table->setItem(g, 1, new QTableWidgetItem(m_model.PositionText(g)));
    }
    m_summary->setText(m_model.Summary());
    m_ok->setEnabled(m_model.CanApply());
}

void CMergeReadingsDlg::accept()
{
    if (!m_model.CanApply())
        return;
    m_model.Apply(m_doc);
    QDialog::accept();
}

bool RunMergeReadingsDialog(QWidget* parent, CTessarixDoc& doc)
{
    CMergeReadingsDlg dlg(doc, parent);
    return dlg.exec() == QDialog::Accepted;
}
