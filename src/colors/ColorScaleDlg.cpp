#include "colors/ColorScaleDlg.h"

#include <QColorDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "colors/ColButtn.h"
#include "colors/ColorStrings.h"
#include "colors/TXColTableMarker.h"
#include "colors/TXColTableSpectrum.h"
#include "util/KWProfileStore.h"
#include "util/KWRememberedFolder.h"
#include "util/StringTable.h"
#include "util/TXCDC.h"
#include "util/UserPromptBox.h"

namespace {

const QString kFolderName = QStringLiteral("ColorScale");
const QString kExtension = QStringLiteral("csc");
// Room at both ends of the strip for the end markers and their labels.
constexpr int kBarInset = 24;

// The filter's title names its pattern already; a title that does not gets it appended, since the
// dialog reads the pattern from the parentheses at the end.
QString ScaleFilter()
{
    const QString pattern = QStringLiteral("(*.csc)");
    const QString title = TxString(IDS_COLOR_SCALE_FILTER).trimmed();
    return title.endsWith(pattern) ? title : title + QLatin1Char(' ') + pattern;
}

// The ".csc" file dialog in its remembered folder; an empty path when it was cancelled.
QString ChooseScaleFile(QWidget* parent, CKWProfileStore& profile, QFileDialog::AcceptMode mode)
{
    const CKWRememberedFolder remembered(profile, kFolderName);
    QFileDialog dialog(parent);
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    dialog.setNameFilters({ScaleFilter()});
    dialog.setDefaultSuffix(kExtension);
    const QString folder = remembered.Folder();
    if (!folder.isEmpty())
        dialog.setDirectory(folder);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    const QString path = dialog.selectedFiles().first();
    remembered.Remember(path, 1);  // the one filter there is
    return path;
}

}  // namespace

CColorScaleDlg::CColorScaleDlg(const CKWColorScale& scale, CKWProfileStore& profile, QWidget* parent)
    : QDialog(parent), m_model(std::make_unique<CColorScaleEditModel>(scale)), m_profile(profile)
{
    setWindowTitle(TxString(IDS_COLOR_SCALE_TITLE));

    m_spectrum = new CTXColTableSpectrum(m_model->Scale(), this);
    m_strip = new CTXColTableMarker(*m_model, this);
    m_color = new CColButtn(TxString(IDS_COLOR_SCALE_CURRENT_COLOR), this);
    m_remove = new QPushButton(TxString(IDS_COLOR_SCALE_REMOVE), this);
    m_load = new QPushButton(TxString(IDS_COLOR_SCALE_LOAD), this);
    m_save = new QPushButton(TxString(IDS_COLOR_SCALE_SAVE), this);
    for (QPushButton* b : {static_cast<QPushButton*>(m_color), m_remove, m_load, m_save})
        b->setAutoDefault(false);
    auto* okCancel = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);

    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(kBarInset, 0, kBarInset, 0);
    bar->addWidget(m_spectrum);
    auto* scaleBox = new QVBoxLayout;
    scaleBox->setSpacing(0);
    scaleBox->addLayout(bar);
    scaleBox->addWidget(m_strip);

    auto* stopButtons = new QHBoxLayout;
    stopButtons->addWidget(m_color);
    stopButtons->addWidget(m_remove);
    stopButtons->addStretch(1);
    stopButtons->addWidget(m_load);
    stopButtons->addWidget(m_save);

    auto* main = new QVBoxLayout(this);
    main->addLayout(scaleBox);
    main->addSpacing(8);
    main->addLayout(stopButtons);
    main->addStretch(1);
    main->addWidget(okCancel);

    connect(okCancel, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(okCancel, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_color, &QPushButton::clicked, this, &CColorScaleDlg::ChooseColor);
    connect(m_remove, &QPushButton::clicked, this, &CColorScaleDlg::RemoveCurrent);
    connect(m_load, &QPushButton::clicked, this, &CColorScaleDlg::ChooseFileAndLoad);
    connect(m_save, &QPushButton::clicked, this, &CColorScaleDlg::ChooseFileAndSave);
    connect(m_strip, &CTXColTableMarker::edited, this, &CColorScaleDlg::Refresh);

    // The strip's limits follow the bar wherever the layout puts the two.
    m_spectrum->installEventFilter(this);
    m_strip->installEventFilter(this);
    setMinimumWidth(480);
    Refresh();
}

CColorScaleDlg::~CColorScaleDlg() = default;

bool CColorScaleDlg::eventFilter(QObject* watched, QEvent* event)
{
    if ((watched == m_spectrum || watched == m_strip) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move))
        UpdateLimits();
    return QDialog::eventFilter(watched, event);
}

void CColorScaleDlg::UpdateLimits()
{
    const int left = m_strip->mapFrom(this, m_spectrum->mapTo(this, QPoint(0, 0))).x();
    m_model->SetLimits(left, left + m_spectrum->width());
    m_strip->update();
}

void CColorScaleDlg::Refresh()
{
    m_color->SetColor(m_model->CurrentColor());
    m_color->setEnabled(m_model->CanChooseColor());
    m_remove->setEnabled(m_model->CanRemove());
    m_spectrum->update();
    m_strip->update();
}

void CColorScaleDlg::ChooseColor()
{
    QColorDialog picker(TxToQColor(m_model->CurrentColor()), this);
    if (picker.exec() != QDialog::Accepted)
        return;
    m_model->SetCurrentColor(TxFromQColor(picker.selectedColor()));
    Refresh();
}

void CColorScaleDlg::RemoveCurrent()
{
    m_model->RemoveSelected();
    Refresh();
}

bool CColorScaleDlg::LoadScaleFrom(const QString& path)
{
    CKWColorScale loaded;
    switch (loaded.ReadFile(path)) {
    case ColorScaleFileStatus::Ok:
        m_model->Replace(loaded);
        Refresh();
        return true;
    case ColorScaleFileStatus::CannotOpen:
        TellUser(this, TxFormat(IDS_COLOR_SCALE_CANNOT_OPEN, QDir::toNativeSeparators(path)));
        return false;
    case ColorScaleFileStatus::NotAColorScale:
        return false;
    }
    return false;
}

bool CColorScaleDlg::SaveScaleTo(const QString& path)
{
    if (m_model->Scale().SaveFile(path) == FileWriteStatus::Ok)
        return true;
    TellUser(this, TxFormat(IDS_COLOR_SCALE_CANNOT_OPEN, QDir::toNativeSeparators(path)));
    return false;
}

void CColorScaleDlg::ChooseFileAndLoad()
{
    const QString path = ChooseScaleFile(this, m_profile, QFileDialog::AcceptOpen);
    if (!path.isEmpty())
        LoadScaleFrom(path);
}

void CColorScaleDlg::ChooseFileAndSave()
{
    const QString path = ChooseScaleFile(this, m_profile, QFileDialog::AcceptSave);
    if (!path.isEmpty())
        SaveScaleTo(path);
}

bool RunColorScaleDlg(QWidget* parent, CKWColorScale& scale, CKWProfileStore& profile)
{
    CColorScaleDlg dialog(scale, profile, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    scale = dialog.Scale();
    return true;
}

bool RunColorScaleDlg(QWidget* parent, CKWColorScale& scale)
{
    return RunColorScaleDlg(parent, scale, CKWProfileStore::Instance());
}
