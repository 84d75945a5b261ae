#include "app/SimplePenDlg.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>

#include <algorithm>

#include "app/AppStrings.h"
#include "document/PropertyTable.h"
#include "util/StringTable.h"

namespace {

constexpr int kThinnest = 1;
constexpr int kThickest = 5;

}  // namespace

QColor ToQColor(TxColor c)
{
    return QColor(TxRed(c), TxGreen(c), TxBlue(c));
}

TxColor FromQColor(const QColor& c)
{
    return TxRgb(c.red(), c.green(), c.blue());
}

bool ChooseColorWithDialog(QWidget* parent, TxColor& color)
{
    const QColor chosen = QColorDialog::getColor(ToQColor(color), parent);
    if (!chosen.isValid())
        return false;
    color = FromQColor(chosen);
    return true;
}

CSimplePenDlg::CSimplePenDlg(const PenRecord& pen, QWidget* parent, ColorChooser chooseColor)
    : QDialog(parent), m_colorValue(pen.color & 0xFFFFFF),
      m_chooseColor(chooseColor ? std::move(chooseColor) : ChooseColorWithDialog)
{
    setWindowTitle(TxString(IDS_PEN_DLG_TITLE));
    m_style = new QComboBox(this);
    m_style->addItems(PenStyleNames());
    m_style->setCurrentIndex(int(std::min<uint32_t>(pen.style, PenInvisible)));
    m_thickness = new QComboBox(this);
    for (int w = kThinnest; w <= kThickest; ++w)
        m_thickness->addItem(QString::number(w));
    m_thickness->setCurrentIndex(std::clamp(pen.width, kThinnest, kThickest) - kThinnest);
    m_color = new QPushButton(TxString(IDS_PEN_DLG_COLOR), this);

    auto* form = new QFormLayout(this);
    form->addRow(TxString(IDS_PEN_DLG_STYLE), m_style);
    form->addRow(TxString(IDS_PEN_DLG_THICKNESS), m_thickness);
    form->addRow(QString(), m_color);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_style, &QComboBox::currentIndexChanged, this, &CSimplePenDlg::UpdateEnabling);
    connect(m_color, &QPushButton::clicked, this, &CSimplePenDlg::ChooseColor);
    UpdateEnabling();
    ShowColor();
}

PenRecord CSimplePenDlg::Pen() const
{
    return PenRecord{uint32_t(m_style->currentIndex()), m_thickness->currentIndex() + kThinnest, 0, m_colorValue};
}

// Only a solid pen draws wider than one pixel with every pattern the drawing code offers.
void CSimplePenDlg::UpdateEnabling()
{
    m_thickness->setEnabled(m_style->currentIndex() == PenSolid);
}

void CSimplePenDlg::ShowColor()
{
    QPixmap swatch(16, 16);
    swatch.fill(ToQColor(m_colorValue));
    QPainter(&swatch).drawRect(0, 0, 15, 15);
    m_color->setIcon(QIcon(swatch));
}

void CSimplePenDlg::ChooseColor()
{
    TxColor c = m_colorValue;
    if (!m_chooseColor(this, c))
        return;
    m_colorValue = c;
    ShowColor();
}
