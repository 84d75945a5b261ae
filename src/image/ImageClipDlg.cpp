#include "image/ImageClipDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QResizeEvent>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "dataentry/DataEntryStrings.h"
#include "dataentry/KeyPadModel.h"
#include "dataentry/NumberText.h"
#include "dataentry/TXKeyPadDlg.h"
#include "document/ClipSettings.h"
#include "document/TessarixDoc.h"
#include "image/ImageClipBar.h"
#include "image/ImageClipWnd.h"
#include "image/ImageStrings.h"
#include "util/KWProfileStore.h"
#include "util/StringTable.h"
#include "util/UserPromptBox.h"

namespace {

// Shared with the Edit Data dialog: one remembered size and the level of new polylines.
const QString kProfileSection = QStringLiteral("EditDataDlg");
const QString kDefaultLevelKey = QStringLiteral("DefaultLevel");
constexpr float kFactoryDefaultLevel = 50.0f;

bool ReadLevel(const QLineEdit& field, float* level)
{
    double v = 0.0;
    if (!CKeyPadModel::ParseReal(field.text().trimmed(), &v) || !std::isfinite(float(v)))
        return false;
    *level = float(v);
    return true;
}

bool ReadStep(const QLineEdit& field, int* step)
{
    int v = 0;
    if (!CKeyPadModel::ParseInteger(field.text().trimmed(), &v) || v < kMinConditioningStep ||
        v > kMaxConditioningStep)
        return false;
    *step = v;
    return true;
}

// A pair of small arrow buttons standing for a spin control.
QVBoxLayout* SpinButtons(QWidget* parent, QToolButton** up, QToolButton** down)
{
    *up = new QToolButton(parent);
    (*up)->setArrowType(Qt::UpArrow);
    *down = new QToolButton(parent);
    (*down)->setArrowType(Qt::DownArrow);
    for (QToolButton* b : {*up, *down})
        b->setFixedSize(18, 12);
    auto* column = new QVBoxLayout;
    column->setSpacing(0);
    column->addWidget(*up);
    column->addWidget(*down);
    return column;
}

}  // namespace

CImageClipDlg::CImageClipDlg(const CTessarixDoc& doc, CKWProfileStore& profile, QWidget* parent)
    : QDialog(parent),
      m_model(std::make_unique<CImageClipModel>(ClippingOf(doc.Settings()),
                                                profile.ReadFloat(kProfileSection, kDefaultLevelKey,
                                                                  kFactoryDefaultLevel))),
      m_profile(profile)
{
    setWindowTitle(TxString(IDS_CLIP_TITLE));
    setSizeGripEnabled(true);

    m_bar = new CImageClipBar(this);
    m_window = new CImageClipWnd(*m_model, doc.Image(), this);

    // The selected polyline and its conditioning.
    m_numberLabel = new QLabel(TxString(IDS_CLIP_SELECT), this);
    m_number = new QLineEdit(this);
    m_number->setReadOnly(true);
    m_number->setMaximumWidth(60);
    m_numberLabel->setBuddy(m_number);
    m_conditioning = new QCheckBox(TxString(IDS_CLIP_CONDITIONING), this);
    m_levelLabel = new QLabel(TxString(IDS_CLIP_LEVEL), this);
    m_level = new CEditKeyPadReal(this);
    m_level->SetDecimalSeparator(QStringLiteral("."));
    m_level->setMaximumWidth(90);
    m_levelLabel->setBuddy(m_level);
    m_stepLabel = new QLabel(TxString(IDS_CLIP_STEP), this);
    m_step = new CEditKeyPadInteger(this);
    m_step->setMaximumWidth(60);
    m_stepLabel->setBuddy(m_step);
    m_stepUnit = new QLabel(TxString(IDS_CLIP_STEP_UNIT), this);

    auto* numberRow = new QHBoxLayout;
    numberRow->addWidget(m_numberLabel);
    numberRow->addWidget(m_number);
    numberRow->addLayout(SpinButtons(this, &m_selectUp, &m_selectDown));
    numberRow->addStretch();
    auto* levelRow = new QHBoxLayout;
    levelRow->addWidget(m_levelLabel);
    levelRow->addWidget(m_level);
    levelRow->addStretch();
    auto* stepRow = new QHBoxLayout;
    stepRow->addWidget(m_stepLabel);
    stepRow->addWidget(m_step);
    stepRow->addLayout(SpinButtons(this, &m_stepUp, &m_stepDown));
    stepRow->addWidget(m_stepUnit);
    stepRow->addStretch();
    auto* polylineColumn = new QVBoxLayout;
    polylineColumn->addLayout(numberRow);
    polylineColumn->addWidget(m_conditioning);
    polylineColumn->addLayout(levelRow);
    polylineColumn->addLayout(stepRow);

    // The clipping choices.
    const ClipPolylineSet& set = m_model->Set();
    m_test = new QCheckBox(TxString(IDS_CLIP_TEST), this);
    m_target = new QComboBox(this);
    for (int t = 0; t < 3; ++t)
        m_target->addItem(TxString(IDS_CLIP_TARGET_MAP + t));
    m_target->setCurrentIndex(std::clamp(set.target, 0, 2));
    m_fillMode = new QComboBox(this);
    for (int f = 0; f < 2; ++f)
        m_fillMode->addItem(TxString(IDS_CLIP_FILL_ALTERNATE + f));
    m_fillMode->setCurrentIndex(std::clamp(set.fillMode, 0, 1));
    m_autoBoundary = new QCheckBox(TxString(IDS_CLIP_AUTO_BOUNDARY), this);
    m_autoBoundary->setChecked(set.autoBoundary != 0);
    auto* choices = new QGridLayout;
    auto* targetLabel = new QLabel(TxString(IDS_CLIP_TARGET), this);
    targetLabel->setBuddy(m_target);
    auto* fillLabel = new QLabel(TxString(IDS_CLIP_FILL_MODE), this);
    fillLabel->setBuddy(m_fillMode);
    choices->addWidget(m_test, 0, 0, 1, 2);
    choices->addWidget(targetLabel, 1, 0);
    choices->addWidget(m_target, 1, 1);
    choices->addWidget(fillLabel, 2, 0);
    choices->addWidget(m_fillMode, 2, 1);
    choices->addWidget(m_autoBoundary, 3, 0, 1, 2);

    auto* controls = new QHBoxLayout;
    controls->addLayout(polylineColumn);
    controls->addStretch();
    controls->addLayout(choices);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    auto* main = new QVBoxLayout(this);
    main->addWidget(m_bar);
    main->addWidget(m_window, 1);
    main->addLayout(controls);
    main->addWidget(buttons);

    connect(buttons, &QDialogButtonBox::accepted, this, &CImageClipDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CImageClipDlg::reject);
    connect(m_bar, &CImageClipBar::toolChosen, this, &CImageClipDlg::ChooseTool);
    connect(m_bar, &CImageClipBar::deleteChosen, this, [this] {
        if (m_model->DeleteSelected()) {
            m_bar->ShowTool(ClipTool::None);
            ShowSelected();
            m_window->ModelChanged();
        }
    });
    connect(m_window, &CImageClipWnd::toolEnded, this, [this] { m_bar->ShowTool(ClipTool::None); });
    connect(m_window, &CImageClipWnd::polylinesChanged, this, [this] {
        if (m_model->Selected() != m_shownPolyline)
            ShowSelected();
        else
            UpdateEnabling();
    });
    connect(m_selectUp, &QToolButton::clicked, this, [this] { StepSelection(+1); });
    connect(m_selectDown, &QToolButton::clicked, this, [this] { StepSelection(-1); });
    connect(m_stepUp, &QToolButton::clicked, this, [this] { StepConditioningStep(+1); });
    connect(m_stepDown, &QToolButton::clicked, this, [this] { StepConditioningStep(-1); });
    connect(m_conditioning, &QCheckBox::clicked, this, [this] {
        StoreShownConditioning();
        UpdateEnabling();
    });
    for (CEditKeyPad* field : {static_cast<CEditKeyPad*>(m_level), static_cast<CEditKeyPad*>(m_step)}) {
        connect(field, &QLineEdit::textEdited, this, &CImageClipDlg::StoreShownConditioning);
        connect(field, &CEditKeyPad::changedByKeyPad, this, &CImageClipDlg::StoreShownConditioning);
    }
    auto choicesChanged = [this] {
        ClipPolylineSet& s = m_model->Set();
        s.target = m_target->currentIndex();
        s.fillMode = m_fillMode->currentIndex();
        s.autoBoundary = m_autoBoundary->isChecked() ? 1 : 0;
        m_window->SetTestClipping(m_test->isChecked(), s.fillMode);
    };
    connect(m_target, &QComboBox::currentIndexChanged, this, choicesChanged);
    connect(m_fillMode, &QComboBox::currentIndexChanged, this, choicesChanged);
    connect(m_autoBoundary, &QCheckBox::toggled, this, choicesChanged);
    connect(m_test, &QCheckBox::toggled, this, choicesChanged);

    // The designed size is also the smallest; the remembered size is taken when larger. It
    // leaves the editing window room enough to place vertices within a few pixels.
    const QSize designed = sizeHint().expandedTo(QSize(680, 560));
    setMinimumSize(designed);
    resize(QSize(profile.ReadInt(kProfileSection, QStringLiteral("Width"), designed.width()),
                 profile.ReadInt(kProfileSection, QStringLiteral("Height"), designed.height()))
               .expandedTo(designed));

    ShowSelected();
    m_ready = true;
}

CImageClipDlg::~CImageClipDlg() = default;

void CImageClipDlg::ShowSelected()
{
    m_showing = true;
    const int selected = m_model->Selected();
    m_shownPolyline = selected;
    if (selected == kNoPolyline) {
        m_number->clear();
        m_conditioning->setChecked(false);
        m_level->setText(FormatG(0.0));
        m_step->setText(QStringLiteral("1"));
    } else {
        const ClipPolyline& p = m_model->Set().polylines[size_t(selected)];
        m_number->setText(QString::number(selected + 1));
        m_conditioning->setChecked(p.conditioning != 0);
        m_level->setText(FloatFieldText(p.level, QLocale::c()));
        m_step->setText(QString::number(p.step));
    }
    m_showing = false;
    UpdateEnabling();
}

void CImageClipDlg::UpdateEnabling()
{
    const bool any = !m_model->Set().polylines.empty();
    const bool conditioning = any && m_conditioning->isChecked();
    for (QWidget* w : std::initializer_list<QWidget*>{m_numberLabel, m_number, m_selectUp, m_selectDown, m_conditioning})
        w->setEnabled(any);
    for (QWidget* w : std::initializer_list<QWidget*>{m_levelLabel, m_level, m_stepLabel, m_step, m_stepUp, m_stepDown,
                                                      m_stepUnit})
        w->setEnabled(conditioning);
}

void CImageClipDlg::StoreShownConditioning()
{
    const int selected = m_model->Selected();
    if (m_showing || selected == kNoPolyline)
        return;
    ClipPolyline& p = m_model->Set().polylines[size_t(selected)];
    p.conditioning = m_conditioning->isChecked() ? 1 : 0;
    ReadLevel(*m_level, &p.level);
    ReadStep(*m_step, &p.step);
}

void CImageClipDlg::StepSelection(int delta)
{
    StoreShownConditioning();
    m_model->StepSelection(delta);
    ShowSelected();
    m_window->ModelChanged();
}

void CImageClipDlg::StepConditioningStep(int delta)
{
    int step = kMinConditioningStep;
    ReadStep(*m_step, &step);
    m_step->setText(QString::number(std::clamp(step + delta, kMinConditioningStep, kMaxConditioningStep)));
    StoreShownConditioning();
}

void CImageClipDlg::ChooseTool(ClipTool tool)
{
    m_model->ChooseTool(tool);
    m_bar->ShowTool(tool);
    // Cancelling a line in progress may have removed a polyline.
    ShowSelected();
    m_window->ModelChanged();
}

void CImageClipDlg::accept()
{
    if (m_model->Selected() != kNoPolyline) {
        int step = 0;
        if (!ReadStep(*m_step, &step)) {
            TellUser(this, TxFormat(IDS_PARSE_INT_RANGE, QString::number(kMinConditioningStep),
                                    QString::number(kMaxConditioningStep)));
            m_step->setFocus();
            m_step->selectAll();
            return;
        }
        float level = 0.0f;
        if (!ReadLevel(*m_level, &level)) {
            TellUser(this, TxString(IDS_PARSE_REAL));
            m_level->setFocus();
            m_level->selectAll();
            return;
        }
    }
    // A line still being built is dropped, as a right click would.
    m_model->Cancel();
    StoreShownConditioning();
    m_profile.WriteFloat(kProfileSection, kDefaultLevelKey, m_model->DefaultLevel());
    QDialog::accept();
}

void CImageClipDlg::resizeEvent(QResizeEvent* event)
{
    QDialog::resizeEvent(event);
    if (!m_ready)
        return;
    m_profile.WriteInt(kProfileSection, QStringLiteral("Width"), event->size().width());
    m_profile.WriteInt(kProfileSection, QStringLiteral("Height"), event->size().height());
}

bool RunImageClipDlg(QWidget* parent, CTessarixDoc& doc, CKWProfileStore& profile)
{
    CImageClipDlg dialog(doc, profile, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return StoreImageClipping(doc, dialog.Result());
}
