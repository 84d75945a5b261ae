#include "dataentry/BandSumDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

#include "dataentry/DataEntryStrings.h"
#include "document/TessarixDoc.h"
#include "util/Decibels.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

namespace {

const QColor kOutsideRow(0xff, 0xd8, 0xd0);

}  // namespace

CBandSumDlg::CBandSumDlg(CTessarixDoc& doc, QWidget* parent) : QDialog(parent), m_doc(doc), m_model(doc)
{
    setWindowTitle(TxString(IDS_BAND_SUM_TITLE));

    m_target = new QComboBox(this);
    m_target->setObjectName(QStringLiteral("target"));
    for (int c = 0; c < doc.ColumnCount(); ++c)
        m_target->addItem(doc.Column(c).name);
    m_target->setCurrentIndex(m_model.Target());
    connect(m_target, &QComboBox::currentIndexChanged, this, [this](int c) {
        m_model.SetTarget(c);
        Refresh();
    });

    auto* bandGroup = new QGroupBox(TxString(IDS_BAND_SUM_BANDS), this);
    auto* bandGrid = new QGridLayout(bandGroup);
    for (int c = 1; c <= kOctaveBandCount; ++c) {
        auto* box = new QCheckBox(doc.Column(c).name, bandGroup);
        box->setObjectName(QStringLiteral("band%1").arg(c + 1));
        box->setChecked(m_model.IsBand(c));
        connect(box, &QCheckBox::toggled, this, [this, c](bool on) {
            m_model.SetBand(c, on);
            Refresh();
        });
        bandGrid->addWidget(box, (c - 1) % 6, (c - 1) / 6);
        m_bands[size_t(c)] = box;
    }
    m_aWeighted = new QCheckBox(TxString(IDS_BAND_SUM_A_WEIGHTED), this);
    m_aWeighted->setObjectName(QStringLiteral("aWeighted"));
    connect(m_aWeighted, &QCheckBox::toggled, this, [this](bool on) {
        m_model.SetAWeighted(on);
        Refresh();
    });

    auto* choices = new QVBoxLayout;
    auto* form = new QFormLayout;
    form->addRow(TxString(IDS_BAND_SUM_TARGET), m_target);
    choices->addLayout(form);
    choices->addWidget(bandGroup);
    choices->addWidget(m_aWeighted);
    choices->addStretch(1);

    auto* checkGroup = new QGroupBox(TxString(IDS_BAND_SUM_CHECK), this);
    m_table = new QTableWidget(0, CBandSumModel::CheckColumnCount, checkGroup);
    m_table->setObjectName(QStringLiteral("check"));
    QStringList headers;
    for (int k = 0; k < CBandSumModel::CheckColumnCount; ++k)
        headers << CBandSumModel::CheckHeader(k);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    m_table->setMinimumWidth(460);
    m_summary = new QLabel(checkGroup);
    m_summary->setObjectName(QStringLiteral("summary"));
    m_summary->setWordWrap(true);
    auto* checkLayout = new QVBoxLayout(checkGroup);
    checkLayout->addWidget(m_table);
    checkLayout->addWidget(m_summary);

    auto* columns = new QHBoxLayout;
    columns->addLayout(choices);
    columns->addWidget(checkGroup, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CBandSumDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CBandSumDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttons);
    Refresh();
}

void CBandSumDlg::Refresh()
{
    const std::vector<BandCheckRow>& rows = m_model.CheckRows();
    m_table->setRowCount(int(rows.size()));
    for (int r = 0; r < int(rows.size()); ++r) {
        for (int k = 0; k < CBandSumModel::CheckColumnCount; ++k) {
            auto* item = new QTableWidgetItem(m_model.CheckCell(r, k));
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            if (rows[size_t(r)].outside)
                item->setBackground(kOutsideRow);
            m_table->setItem(r, k, item);
        }
    }
    m_summary->setText(m_model.Summary());
    m_summary->setStyleSheet(m_model.CanApply() ? QString() : QStringLiteral("color: #b00000;"));
}

void CBandSumDlg::accept()
{
    if (!m_model.CanApply()) {
        TellUser(this, m_model.Summary());
        return;
    }
    m_model.Apply(m_doc);
    QDialog::accept();
}

bool RunBandSumDialog(QWidget* parent, CTessarixDoc& doc)
{
    CBandSumDlg dlg(doc, parent);
    return dlg.exec() == QDialog::Accepted;
}
