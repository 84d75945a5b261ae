#include "dataentry/RecalcXYCoordinateDlg.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/RecalcXYStatic.h"
#include "dataentry/SetupFieldsDlg.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

namespace {

struct FieldRule {
    int label;  // string identifier
    bool integer;
    int low, high;    // range of an integer field
    int row, column;  // place in the dialog's grid
};

constexpr FieldRule kFieldRules[CRecalcXYCoordinateDlg::FieldCount] = {
    {IDS_RECALC_HORIZONTAL_COUNT, true, RecalcXYLayout::kMinCount, RecalcXYLayout::kMaxCount, 0, 0},
    {IDS_RECALC_VERTICAL_COUNT, true, RecalcXYLayout::kMinCount, RecalcXYLayout::kMaxCount, 1, 0},
    {IDS_RECALC_WIDTH, false, 0, 0, 0, 2},
    {IDS_RECALC_HEIGHT, false, 0, 0, 1, 2},
    {IDS_RECALC_X_OFFSET, false, 0, 0, 0, 4},
    {IDS_RECALC_Y_OFFSET, false, 0, 0, 1, 4},
    {IDS_RECALC_POINT_SIZE, true, RecalcXYLayout::kMinFontSize, RecalcXYLayout::kMaxFontSize, 2, 0},
};

int* IntegerOf(RecalcXYLayout& l, CRecalcXYCoordinateDlg::Field f)
{
    switch (f) {
    case CRecalcXYCoordinateDlg::XCount: return &l.xCount;
    case CRecalcXYCoordinateDlg::YCount: return &l.yCount;
    case CRecalcXYCoordinateDlg::FontSize: return &l.fontSize;
    default: return nullptr;
    }
}

float* RealOf(RecalcXYLayout& l, CRecalcXYCoordinateDlg::Field f)
{
    switch (f) {
    case CRecalcXYCoordinateDlg::Width: return &l.width;
    case CRecalcXYCoordinateDlg::Height: return &l.height;
    case CRecalcXYCoordinateDlg::XStart: return &l.xStart;
    case CRecalcXYCoordinateDlg::YStart: return &l.yStart;
    default: return nullptr;
    }
}

}  // namespace

CRecalcXYCoordinateDlg::CRecalcXYCoordinateDlg(int pointCount, QWidget* parent, CKWProfileStore* store)
    : QDialog(parent), m_pointCount(std::max(0, pointCount)),
      m_store(store ? store : &CKWProfileStore::Instance())
{
    setWindowTitle(TxString(IDS_RECALC_TITLE));
    setSizeGripEnabled(true);
    m_layout = LoadRecalcXYLayout(*m_store);

    auto* raster = new QGroupBox(TxString(IDS_RECALC_RASTER), this);
    auto* grid = new QGridLayout(raster);
    m_spinX = new CSpinButtonBar(raster);
    m_spinY = new CSpinButtonBar(raster);
    m_spinFont = new CSpinButtonBar(raster);
    for (int i = 0; i < FieldCount; ++i) {
        const Field f = Field(i);
        QLineEdit* edit = AddField(f, kFieldRules[i].integer);
        auto* label = new QLabel(TxString(kFieldRules[i].label), raster);
        label->setBuddy(edit);
        QWidget* control = edit;
        if (CSpinButtonBar* spin = Spin(f)) {
            control = WithSpinButtons(edit, spin, raster);
            connect(spin, &CSpinButtonBar::Stepped, this, [this, f](int d) { OnSpin(f, d); });
        }
        grid->addWidget(label, kFieldRules[i].row, kFieldRules[i].column);
        grid->addWidget(control, kFieldRules[i].row, kFieldRules[i].column + 1);
    }

    auto* order = new QGroupBox(TxString(IDS_RECALC_ORDER), this);
    auto* orderLayout = new QGridLayout(order);
    m_rowMajor = new QRadioButton(TxString(IDS_RECALC_ROW_MAJOR), order);
    m_columnMajor = new QRadioButton(TxString(IDS_RECALC_COLUMN_MAJOR), order);
    auto* group = new QButtonGroup(this);
    group->addButton(m_rowMajor, FillRowMajor);
    group->addButton(m_columnMajor, FillColumnMajor);
    (m_layout.fillOrder == FillColumnMajor ? m_columnMajor : m_rowMajor)->setChecked(true);
    m_serpentine = new QCheckBox(TxString(IDS_RECALC_SERPENTINE), order);
    m_serpentine->setChecked(false);
    m_startFrom = new QComboBox(order);
    m_startFrom->addItems({TxString(IDS_RECALC_TOP_LEFT), TxString(IDS_RECALC_TOP_RIGHT),
                           TxString(IDS_RECALC_BOTTOM_RIGHT), TxString(IDS_RECALC_BOTTOM_LEFT)});
    m_startFrom->setCurrentIndex(m_layout.startFrom);
    auto* startLabel = new QLabel(TxString(IDS_RECALC_START_FROM), order);
    startLabel->setBuddy(m_startFrom);
    orderLayout->addWidget(m_rowMajor, 0, 0);
    orderLayout->addWidget(m_columnMajor, 0, 1);
    orderLayout->addWidget(startLabel, 0, 2);
    orderLayout->addWidget(m_startFrom, 0, 3);
    orderLayout->addWidget(m_serpentine, 1, 0, 1, 4);

    m_preview = new CRecalcXYStatic(this);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CRecalcXYCoordinateDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CRecalcXYCoordinateDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(raster);
    layout->addWidget(order);
    layout->addWidget(m_preview, 1);
    layout->addWidget(buttons);

    auto replace = [this] { ReadAndPlace(); };
    connect(group, &QButtonGroup::idClicked, this, replace);
    connect(m_serpentine, &QCheckBox::toggled, this, replace);
    connect(m_startFrom, &QComboBox::currentIndexChanged, this, replace);

    const QSize designed = DesignedSize();
    setMinimumSize(designed);
    int w = 0, h = 0;
    LoadRecalcXYWindowSize(*m_store, designed.width(), designed.height(), &w, &h);
    resize(w, h);
    m_loading = false;
    ReadAndPlace();
}

CRecalcXYCoordinateDlg::~CRecalcXYCoordinateDlg() = default;

CSpinButtonBar* CRecalcXYCoordinateDlg::Spin(Field f) const
{
    switch (f) {
    case XCount: return m_spinX;
    case YCount: return m_spinY;
    case FontSize: return m_spinFont;
    default: return nullptr;
    }
}

QLineEdit* CRecalcXYCoordinateDlg::AddField(Field f, bool integer)
{
    QLineEdit* edit = integer ? NewIntegerEdit(this) : NewRealEdit(this);
    if (int* v = IntegerOf(m_layout, f))
        edit->setText(IntegerText(*v));
    else
        edit->setText(RealText(*RealOf(m_layout, f)));
    connect(edit, &QLineEdit::textChanged, this, [this] {
        if (!m_loading)
            ReadAndPlace();
    });
    m_fields[f] = edit;
    return edit;
}

CRecalcXYCoordinateDlg::Field CRecalcXYCoordinateDlg::ReadAndPlace()
{
    Field first = FieldCount;
    for (int i = 0; i < FieldCount; ++i) {
        const Field f = Field(i);
        const QString text = m_fields[i]->text();
        bool good = false;
        if (int* target = IntegerOf(m_layout, f)) {
            const auto v = ReadIntegerText(text);
            good = v && *v >= kFieldRules[i].low && *v <= kFieldRules[i].high;
            if (good)
                *target = *v;
        } else if (const auto v = ReadRealText(text)) {
            *RealOf(m_layout, f) = *v;
            good = true;
        }
        if (!good && first == FieldCount)
            first = f;
    }
    m_layout.fillOrder = m_columnMajor->isChecked() ? FillColumnMajor : FillRowMajor;
    m_layout.serpentine = m_serpentine->isChecked();
    m_layout.startFrom = std::max(0, m_startFrom->currentIndex());
    m_placement = PlaceRecalcXYPoints(m_layout, m_pointCount);
    m_preview->SetLayout(m_layout, m_placement);
    return first;
}

void CRecalcXYCoordinateDlg::OnSpin(Field f, int delta)
{
    const int current = *IntegerOf(m_layout, f);
    const auto typed = ReadIntegerText(m_fields[f]->text());
    const int base = typed ? *typed : current;
    m_fields[f]->setText(IntegerText(RecalcXYSpin(base, delta, kFieldRules[f].low, kFieldRules[f].high)));
}

void CRecalcXYCoordinateDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_loading)
        StoreRecalcXYWindowSize(*m_store, event->size().width(), event->size().height());
}

void CRecalcXYCoordinateDlg::accept()
{
    const Field bad = ReadAndPlace();
    if (bad != FieldCount) {
        const FieldRule& params = kFieldRules[bad];
        TellUser(this, params.integer ? TxFormat(IDP_PARSE_INT_RANGE, QString::number(params.low),
                                                QString::number(params.high))
                                      : TxString(IDP_PARSE_REAL));
        m_fields[bad]->setFocus();
        m_fields[bad]->selectAll();
        return;
    }
    if (const int question = RecalcXYOkQuestion(m_layout, m_pointCount)) {
        if (!ConfirmOkCancel(this, TxString(question), PromptAnswer::Ok))
            return;
    }
    StoreRecalcXYLayout(*m_store, m_layout);
    StoreRecalcXYWindowSize(*m_store, width(), height());
    QDialog::accept();
}

bool RunRecalcXYDialog(QWidget* parent, int pointCount, CTXFloatArray* x, CTXFloatArray* y)
{
    CRecalcXYCoordinateDlg dlg(pointCount, parent);
    if (dlg.exec() != QDialog::Accepted)
        return false;
    CopyRecalcXYPlacement(dlg.Placement(), x, y);
    return true;
}
