#include "image/ImagePositionDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QVBoxLayout>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/KeyPadModel.h"
#include "dataentry/NumberText.h"
#include "dataentry/TXKeyPadDlg.h"
#include "document/TessarixDoc.h"
#include "image/ImagePositionWnd.h"
#include "image/ImageStrings.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

namespace {

const QString kProfileSection = QStringLiteral("ImagePosDlg");

PreviewAxisRange RangeOf(const CMapAxis& axis)
{
    return {axis.start, axis.stop, axis.step};
}

std::vector<QPointF> PositionsOf(const CTessarixDoc& doc)
{
    std::vector<QPointF> positions;
    const size_t n = std::min(doc.X().size(), doc.Y().size());
    for (size_t i = 0; i < n; ++i)
        positions.emplace_back(doc.X()[i], doc.Y()[i]);
    return positions;
}

float& ValueOf(ImageRect& r, CImagePositionDlg::Field f)
{
    switch (f) {
    case CImagePositionDlg::FieldX0: return r.x0;
    case CImagePositionDlg::FieldX1: return r.x1;
    case CImagePositionDlg::FieldY0: return r.y0;
    default: return r.y1;
    }
}

bool ReadField(const CEditKeyPadReal& field, float* value)
{
    double v = 0.0;
    if (!CKeyPadModel::ParseReal(field.text().trimmed(), &v) || !std::isfinite(float(v)))
        return false;
    *value = float(v);
    return true;
}

}  // namespace

CImagePositionDlg::CImagePositionDlg(const CTessarixDoc& doc, CKWProfileStore& profile, QWidget* parent)
    : QDialog(parent),
      m_model(std::make_unique<CImagePositionModel>(doc.Settings().imageRect, RangeOf(doc.Axis(CTessarixDoc::AxisX)),
                                                    RangeOf(doc.Axis(CTessarixDoc::AxisY)))),
      m_profile(profile)
{
    setWindowTitle(TxString(IDS_IMAGE_POS_TITLE));
    setSizeGripEnabled(true);

    m_preview = new CImagePositionWnd(*m_model, doc.Image(), PositionsOf(doc), this);

    static constexpr int kLabelIds[kFieldCount] = {IDS_IMAGE_POS_X0, IDS_IMAGE_POS_X1, IDS_IMAGE_POS_Y0,
                                                   IDS_IMAGE_POS_Y1};
    auto* fieldGrid = new QGridLayout;
    for (int f = 0; f < kFieldCount; ++f) {
        auto* label = new QLabel(TxString(kLabelIds[f]), this);
        auto* edit = new CEditKeyPadReal(this);
        edit->SetControlId(f);
        edit->SetDecimalSeparator(QStringLiteral("."));
        edit->setMaximumWidth(120);
        label->setBuddy(edit);
        m_fields[size_t(f)] = edit;
        // X0 and X1 in the first row, Y0 and Y1 in the second.
        const int row = f / 2;
        const int column = (f % 2) * 2;
        fieldGrid->addWidget(label, row, column);
        fieldGrid->addWidget(edit, row, column + 1);
        connect(edit, &QLineEdit::textEdited, this, [this] {
            ReadFields();
            Repaint();
        });
        connect(edit, &CEditKeyPad::changedByKeyPad, this, [this] {
            ReadFields();
            Repaint();
        });
    }

    auto* scaleLabel = new QLabel(TxString(IDS_IMAGE_POS_SCALE), this);
    m_scale = new QComboBox(this);
    const QString scaleFormat = TxString(IDS_IMAGE_POS_SCALE_CHOICE);
    for (int i = 0; i < kScaleChoiceCount; ++i)
        m_scale->addItem(QString(scaleFormat).replace(QStringLiteral("%g"), FormatG(CImagePositionModel::ScaleFactor(i))));
    scaleLabel->setBuddy(m_scale);
    fieldGrid->addWidget(scaleLabel, 0, 4);
    fieldGrid->addWidget(m_scale, 0, 5);
    fieldGrid->setColumnStretch(6, 1);

    m_reset = new QPushButton(TxString(IDS_IMAGE_POS_RESET), this);
    m_revert = new QPushButton(TxString(IDS_IMAGE_POS_REVERT), this);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->addButton(m_reset, QDialogButtonBox::ResetRole);
    buttons->addButton(m_revert, QDialogButtonBox::ActionRole);
    for (QPushButton* b : {m_reset, m_revert})
        b->setAutoDefault(false);

    auto* main = new QVBoxLayout(this);
    main->addWidget(m_preview, 1);
    main->addLayout(fieldGrid);
    main->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CImagePositionDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CImagePositionDlg::reject);
    connect(m_reset, &QPushButton::clicked, this, [this] {
        m_model->Reset();
        RefreshFields();
        Repaint();
    });
    connect(m_revert, &QPushButton::clicked, this, [this] {
        m_model->Revert();
        RefreshFields();
        Repaint();
    });
    connect(m_scale, &QComboBox::currentIndexChanged, this, [this](int index) {
        ReadFields();
        m_model->SetScaleIndex(index);
        Repaint();
    });
    connect(m_preview, &CImagePositionWnd::valuesDragged, this, &CImagePositionDlg::RefreshFields);

    // The designed size is also the smallest; the remembered size is taken when larger.
    const QSize designed = sizeHint().expandedTo(QSize(560, 480));
    setMinimumSize(designed);
    resize(QSize(profile.ReadInt(kProfileSection, QStringLiteral("Width"), designed.width()),
                 profile.ReadInt(kProfileSection, QStringLiteral("Height"), designed.height()))
               .expandedTo(designed));

    RefreshFields();
    m_ready = true;
}

CImagePositionDlg::~CImagePositionDlg() = default;

void CImagePositionDlg::RefreshFields()
{
    ImageRect values = m_model->Values();
    for (int f = 0; f < kFieldCount; ++f)
        m_fields[size_t(f)]->setText(FloatFieldText(ValueOf(values, Field(f)), QLocale::c()));
}

void CImagePositionDlg::ReadFields()
{
    ImageRect values = m_model->Values();
    for (int f = 0; f < kFieldCount; ++f)
        ReadField(*m_fields[size_t(f)], &ValueOf(values, Field(f)));
    m_model->SetValues(values);
}

void CImagePositionDlg::Repaint()
{
    m_preview->update();
}

void CImagePositionDlg::accept()
{
    ImageRect values = m_model->Values();
    for (int f = 0; f < kFieldCount; ++f) {
        if (!ReadField(*m_fields[size_t(f)], &ValueOf(values, Field(f)))) {
            TellUser(this, TxString(IDS_PARSE_REAL));
            m_fields[size_t(f)]->setFocus();
            m_fields[size_t(f)]->selectAll();
            return;
        }
    }
    m_model->SetValues(values);
    QDialog::accept();
}

void CImagePositionDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_ready)
        return;
    m_profile.WriteInt(kProfileSection, QStringLiteral("Width"), event->size().width());
    m_profile.WriteInt(kProfileSection, QStringLiteral("Height"), event->size().height());
}

bool StoreImagePosition(CTessarixDoc& doc, const ImageRect& values)
{
    const bool changed = !(doc.Settings().imageRect == values);
    // Unchanged values still make a step, as every OK does, but ask for no drawing.
    doc.ApplyChange({StepImageScale, changed ? int(RECALC_BITMAP) : 0},
                    [&doc, &values] { doc.Settings().imageRect = values; });
    return changed;
}

bool RunImagePositionDlg(QWidget* parent, CTessarixDoc& doc, CKWProfileStore& profile)
{
    CImagePositionDlg dialog(doc, profile, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    StoreImagePosition(doc, dialog.Values());
    return true;
}
