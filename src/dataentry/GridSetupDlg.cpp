#include "dataentry/GridSetupDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/SetupFieldsDlg.h"
#include "util/UserPromptBox.h"
#include "util/StringTable.h"

CGridSetupDlg::CGridSetupDlg(CTessarixDoc& doc, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_model(doc)
{
    setWindowTitle(TxString(IDS_GRID_SETTING_TITLE));

    auto* extent = new QGroupBox(TxString(IDS_GRID_MAP_EXTENT), this);
    auto* extentGrid = new QGridLayout(extent);
    const struct { GridField field; int label; int row, column; } corners[] = {
        {GridField::X0, IDS_GRID_X0, 0, 0}, {GridField::X1, IDS_GRID_X1, 0, 2},
        {GridField::Y0, IDS_GRID_Y0, 1, 0}, {GridField::Y1, IDS_GRID_Y1, 1, 2},
    };
    for (const auto& c : corners) {
        QLineEdit* edit = AddField(c.field, TxString(c.label), false, extent);
        extentGrid->addWidget(m_labels[c.field], c.row, c.column);
        extentGrid->addWidget(edit, c.row, c.column + 1);
    }

    auto* interpolation = new QGroupBox(TxString(IDS_GRID_INTERPOLATION), this);
    auto* form = new QFormLayout(interpolation);
    m_spinX = new CSpinButtonBar(interpolation);
    m_spinY = new CSpinButtonBar(interpolation);
    QLineEdit* countX = AddField(GridField::CountX, TxString(IDS_GRID_HORIZONTAL_COUNT), true, interpolation);
    QLineEdit* countY = AddField(GridField::CountY, TxString(IDS_GRID_VERTICAL_COUNT), true, interpolation);
    form->addRow(m_labels[GridField::CountX], WithSpinButtons(countX, m_spinX, interpolation));
    form->addRow(m_labels[GridField::CountY], WithSpinButtons(countY, m_spinY, interpolation));
    connect(m_spinX, &CSpinButtonBar::Stepped, this, [this](int d) { OnSpin(GridField::CountX, d); });
    connect(m_spinY, &CSpinButtonBar::Stepped, this, [this](int d) { OnSpin(GridField::CountY, d); });
    m_function = new QComboBox(interpolation);
    m_function->setObjectName(QStringLiteral("function"));
    m_function->addItems(CGridSetupModel::FunctionNames());
    auto* functionLabel = new QLabel(TxString(IDS_GRID_FUNCTION), interpolation);
    functionLabel->setBuddy(m_function);
    form->addRow(functionLabel, m_function);
    QLineEdit* parameter = AddField(GridField::Parameter, TxString(IDS_GRID_PARAMETER), false, interpolation);
    form->addRow(m_labels[GridField::Parameter], parameter);

    auto* input = new QGroupBox(TxString(IDS_GRID_INPUT_GRID), this);
    auto* inputGrid = new QGridLayout(input);
    m_snap = new QCheckBox(TxString(IDS_GRID_SNAP_MOUSE), input);
    m_round = new QCheckBox(TxString(IDS_GRID_ROUND_KEYBOARD), input);
    m_snap->setObjectName(QStringLiteral("snap"));
    m_round->setObjectName(QStringLiteral("round"));
    const struct { QCheckBox* box; GridField x, y; } rows[] = {
        {m_snap, GridField::SnapX, GridField::SnapY},
        {m_round, GridField::RoundX, GridField::RoundY},
    };
    int row = 0;
    for (const auto& r : rows) {
        inputGrid->addWidget(r.box, row, 0);
        QLineEdit* x = AddField(r.x, TxString(IDS_GRID_STEP_X), false, input);
        QLineEdit* y = AddField(r.y, TxString(IDS_GRID_STEP_Y), false, input);
        inputGrid->addWidget(m_labels[r.x], row, 1);
        inputGrid->addWidget(x, row, 2);
        inputGrid->addWidget(m_labels[r.y], row, 3);
        inputGrid->addWidget(y, row, 4);
        connect(r.box, &QCheckBox::clicked, this, [this] {
            m_model.Read(CurrentTexts());
            UpdateEnabling();
        });
        ++row;
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CGridSetupDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CGridSetupDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(extent);
    layout->addWidget(interpolation);
    layout->addWidget(input);
    layout->addWidget(buttons);

    ShowValues();
    connect(m_function, &QComboBox::currentIndexChanged, this, &CGridSetupDlg::OnFunctionChanged);
    UpdateEnabling();
}

CGridSetupDlg::~CGridSetupDlg() = default;

QLineEdit* CGridSetupDlg::AddField(GridField field, const QString& label, bool integer, QWidget* parent)
{
    QLineEdit* edit = integer ? NewIntegerEdit(parent) : NewRealEdit(parent);
    auto* text = new QLabel(label, parent);
    text->setBuddy(edit);
    m_fields[field] = edit;
    m_labels[field] = text;
    return edit;
}

GridSetupTexts CGridSetupDlg::CurrentTexts() const
{
    GridSetupTexts t;
    auto text = [this](GridField f) { return m_fields.at(f)->text(); };
    t.x0 = text(GridField::X0);
    t.x1 = text(GridField::X1);
    t.y0 = text(GridField::Y0);
    t.y1 = text(GridField::Y1);
    t.countX = text(GridField::CountX);
    t.countY = text(GridField::CountY);
    t.function = m_function->currentIndex();
    t.parameter = text(GridField::Parameter);
    t.snap = m_snap->isChecked();
    t.snapX = text(GridField::SnapX);
    t.snapY = text(GridField::SnapY);
    t.round = m_round->isChecked();
    t.roundX = text(GridField::RoundX);
    t.roundY = text(GridField::RoundY);
    return t;
}

void CGridSetupDlg::ShowValues()
{
    const GridSetupTexts t = m_model.Texts();
    m_fields[GridField::X0]->setText(t.x0);
    m_fields[GridField::X1]->setText(t.x1);
    m_fields[GridField::Y0]->setText(t.y0);
    m_fields[GridField::Y1]->setText(t.y1);
    m_fields[GridField::CountX]->setText(t.countX);
    m_fields[GridField::CountY]->setText(t.countY);
    {
        const QSignalBlocker block(m_function);
        m_function->setCurrentIndex(t.function);
    }
    m_fields[GridField::Parameter]->setText(t.parameter);
    m_snap->setChecked(t.snap);
    m_fields[GridField::SnapX]->setText(t.snapX);
    m_fields[GridField::SnapY]->setText(t.snapY);
    m_round->setChecked(t.round);
    m_fields[GridField::RoundX]->setText(t.roundX);
    m_fields[GridField::RoundY]->setText(t.roundY);
}

void CGridSetupDlg::UpdateEnabling()
{
    const bool parameter = CGridSetupModel::ParameterEnabled(m_model.Values().function);
    const bool snap = m_model.SnapStepsEnabled();
    const bool round = m_model.RoundStepsEnabled();
    const std::pair<GridField, bool> rules[] = {
        {GridField::Parameter, parameter}, {GridField::SnapX, snap}, {GridField::SnapY, snap},
        {GridField::RoundX, round}, {GridField::RoundY, round},
    };
    for (const auto& [field, on] : rules) {
        m_fields[field]->setEnabled(on);
        m_labels[field]->setEnabled(on);
    }
}

void CGridSetupDlg::OnFunctionChanged(int index)
{
    const SetupProblem problem = m_model.ChangeFunction(CurrentTexts(), index);
    if (problem)
        Refuse(problem);
    m_fields[GridField::Parameter]->setText(RealText(m_model.Values().parameter));
    UpdateEnabling();
}

void CGridSetupDlg::OnSpin(GridField count, int delta)
{
    QLineEdit* field = m_fields[count];
    const auto current = ReadIntegerText(field->text());
    const int base = current ? *current : (count == GridField::CountX ? m_model.Values().countX
                                                                      : m_model.Values().countY);
    field->setText(IntegerText(CGridSetupModel::SpinCount(base, delta)));
}

void CGridSetupDlg::Refuse(const SetupProblem& problem)
{
    TellUser(this, problem.message);
    if (QLineEdit* field = m_fields.count(problem.field) ? m_fields[problem.field] : nullptr) {
        field->setFocus();
        field->selectAll();
    }
}

void CGridSetupDlg::accept()
{
    if (const SetupProblem problem = m_model.ReadForOk(CurrentTexts())) {
        Refuse(problem);
        return;
    }
    m_mapsRequested = m_model.Apply(m_doc);
    QDialog::accept();
}

bool RunGridSetupDialog(QWidget* parent, CTessarixDoc& doc)
{
    CGridSetupDlg dlg(doc, parent);
    return dlg.exec() == QDialog::Accepted;
}
