#include "dataentry/MainSetupDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/SetupFieldsDlg.h"
#include "document/TessarixDoc.h"
#include "util/UserPromptBox.h"
#include "util/StringTable.h"

CMainSetupDlg::CMainSetupDlg(CTessarixDoc& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_model(doc)
{
    setWindowTitle(TxString(IDS_MAIN_SETUP_TITLE));

    auto* grid = new QGridLayout;
    for (int c = 0; c < kColumnCount; ++c) {
        auto* label = new QLabel(QString::number(c + 1), this);
        auto* box = new QCheckBox(TxString(IDS_MAIN_SETUP_ENABLE), this);
        auto* name = new QLineEdit(this);
        box->setObjectName(QStringLiteral("enable%1").arg(c + 1));
        name->setObjectName(QStringLiteral("name%1").arg(c + 1));
        box->setChecked(m_model.IsEnabled(c));
        box->setEnabled(CMainSetupModel::CanToggle(c));
        name->setText(m_model.Name(c));
        name->setMinimumWidth(180);
        label->setBuddy(name);
        grid->addWidget(label, c, 0);
        grid->addWidget(box, c, 1);
        grid->addWidget(name, c, 2);
        connect(box, &QCheckBox::clicked, this, [this] {
            ReadBoxes();
            UpdateEnabling();
        });
        m_enable[size_t(c)] = box;
        m_name[size_t(c)] = name;
    }
    grid->setColumnStretch(2, 1);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CMainSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CMainSetupDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
    UpdateEnabling();
}

CMainSetupDlg::~CMainSetupDlg() = default;

void CMainSetupDlg::ReadBoxes()
{
    for (int c = 0; c < kColumnCount; ++c)
        m_model.SetEnabled(c, m_enable[size_t(c)]->isChecked());
}

void CMainSetupDlg::UpdateEnabling()
{
    for (int c = 0; c < kColumnCount; ++c) {
        m_enable[size_t(c)]->setChecked(m_model.IsEnabled(c));
        m_name[size_t(c)]->setEnabled(m_model.CanEditName(c));
    }
}

void CMainSetupDlg::accept()
{
    ReadBoxes();
    for (int c = 0; c < kColumnCount; ++c)
        m_model.SetName(c, m_name[size_t(c)]->text());
    const int blank = m_model.TrimAndFindBlankName();
    if (blank >= 0) {
        // The blank name is the one to fix, so that field takes the focus.
        m_name[size_t(blank)]->setFocus();
        BeepAtUser();
        return;
    }
    m_level = m_model.Apply(m_doc);
    QDialog::accept();
}

bool RunMainSetupDialog(QWidget* parent, CTessarixDoc& doc)
{
    CMainSetupDlg dlg(doc, parent);
    return dlg.exec() == QDialog::Accepted;
}
