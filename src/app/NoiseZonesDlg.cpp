#include "app/NoiseZonesDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "app/AppStrings.h"
#include "document/TessarixDoc.h"
#include "mapping/NoiseZones.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"
#include "workers/MapComputationSet.h"

namespace {

enum TableColumn { ColColumn, ColThreshold, ColArea, ColShare, ColOf, ColCount };

QTableWidgetItem* Cell(const QString& text, Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(align);
    return item;
}

}  // namespace

CNoiseZonesDlg::CNoiseZonesDlg(CTessarixDoc& doc, CMapComputationSet* maps, CKWProfileStore& profile, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_maps(maps), m_model(profile)
{
    setWindowTitle(TxString(IDS_ZONES_TITLE));

    auto* label = new QLabel(TxString(IDS_ZONES_THRESHOLDS), this);
    m_thresholds = new QLineEdit(m_model.LevelsText(), this);
    m_thresholds->setObjectName(QStringLiteral("thresholds"));
    label->setBuddy(m_thresholds);
    m_compute = new QPushButton(TxString(IDS_ZONES_COMPUTE), this);
    m_compute->setObjectName(QStringLiteral("compute"));
    m_compute->setDefault(true);
    connect(m_compute, &QPushButton::clicked, this, &CNoiseZonesDlg::Recompute);
    connect(m_thresholds, &QLineEdit::returnPressed, this, &CNoiseZonesDlg::Recompute);
    auto* row = new QHBoxLayout;
    row->addWidget(label);
    row->addWidget(m_thresholds, 1);
    row->addWidget(m_compute);

    m_warning = new QLabel(this);
    m_warning->setObjectName(QStringLiteral("warning"));
    m_warning->setWordWrap(true);
    m_warning->hide();

    m_table = new QTableWidget(0, ColCount, this);
    m_table->setObjectName(QStringLiteral("zones"));
    m_table->setHorizontalHeaderLabels({TxString(IDS_ZONES_HEAD_COLUMN), TxString(IDS_ZONES_HEAD_THRESHOLD),
                                        TxString(IDS_ZONES_HEAD_AREA), TxString(IDS_ZONES_HEAD_SHARE),
                                        TxString(IDS_ZONES_HEAD_OF)});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setMinimumSize(480, 220);

    auto* explain = new QLabel(TxString(IDS_ZONES_EXPLAIN), this);
    explain->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &CNoiseZonesDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(m_warning);
    layout->addWidget(m_table);
    layout->addWidget(explain);
    layout->addWidget(buttons);

    m_model.Compute(m_doc, m_maps);
    FillTable();
}

void CNoiseZonesDlg::Recompute()
{
    if (!m_model.SetLevelsText(m_thresholds->text())) {
        m_warning->setText(TxFormat(IDS_ZONES_BAD_LEVELS, QString::number(kMaxZoneLevels)));
        m_warning->show();
        return;
    }
    m_warning->hide();
    m_thresholds->setText(m_model.LevelsText());
    QApplication::setOverrideCursor(Qt::WaitCursor);
    m_model.Compute(m_doc, m_maps);
    QApplication::restoreOverrideCursor();
    FillTable();
}

void CNoiseZonesDlg::FillTable()
{
    const auto& rows = m_model.Rows();
    m_table->clearSpans();
    m_table->setRowCount(int(rows.size()));
    const Qt::Alignment right = Qt::AlignRight | Qt::AlignVCenter;
    for (int r = 0; r < int(rows.size()); ++r) {
        const CNoiseZonesModel::Row& row = rows[size_t(r)];
        m_table->setItem(r, ColColumn, Cell(row.column));
        if (row.message) {
            m_table->setItem(r, ColThreshold, Cell(row.threshold));
            m_table->setSpan(r, ColThreshold, 1, ColCount - ColThreshold);
            continue;
        }
        m_table->setItem(r, ColThreshold, Cell(row.threshold, right));
        m_table->setItem(r, ColArea, Cell(row.area, right));
        m_table->setItem(r, ColShare, Cell(row.share, right));
        m_table->setItem(r, ColOf, Cell(row.of));
    }
}

void RunNoiseZonesDialog(QWidget* parent, CTessarixDoc& doc)
{
    // Surfaces come from the program's own map computations; others (tests) have none to read.
    auto* maps = dynamic_cast<CMapComputationSet*>(&doc.Maps());
    CNoiseZonesDlg dlg(doc, maps, CKWProfileStore::Instance(), parent);
    dlg.exec();
}
