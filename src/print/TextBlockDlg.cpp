#include "print/TextBlockDlg.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFontDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "dataentry/NumberText.h"
#include "dataentry/TXKeyPadDlg.h"
#include "document/TessarixDoc.h"
#include "print/PrintStrings.h"
#include "util/StringTable.h"
#include "util/TXCDC.h"
#include "util/UserPromptBox.h"

namespace {

QComboBox* NewList(QWidget* parent, std::initializer_list<int> texts, uint32_t current)
{
    auto* list = new QComboBox(parent);
    for (int id : texts)
        list->addItem(TxString(id));
    list->setCurrentIndex(current < uint32_t(list->count()) ? int(current) : 0);
    return list;
}

QComboBox* NewAlignmentList(QWidget* parent, uint32_t current)
{
    return NewList(parent, {IDS_ALIGN_LEFT, IDS_ALIGN_RIGHT, IDS_ALIGN_CENTER}, current);
}

void ShowColour(QPushButton* button, TxColor colour)
{
    QPixmap swatch(16, 16);
    swatch.fill(TxToQColor(colour));
    button->setIcon(QIcon(swatch));
}

}  // namespace

QFont BlockFontForDialog(const FontRecord& record)
{
    QFont font(QString::fromLatin1(record.Face()));
    font.setPointSizeF(std::clamp(record.height, kMinBlockFontTenths, kMaxBlockFontTenths) / 10.0);
    if (record.weight > 0)
        font.setWeight(QFont::Weight(std::clamp<int>(record.weight, 1, 1000)));
    font.setItalic(record.italic != 0);
    font.setUnderline(record.underline != 0);
    font.setStrikeOut(record.strikeOut != 0);
    return font;
}

FontRecord FontRecordFromDialog(const QFont& font)
{
    FontRecord r;
    r.SetFace(font.family().toLatin1().constData());
    r.height = int(std::lround(font.pointSizeF() * 10.0));
    r.weight = int(font.weight());
    r.italic = font.italic() ? 1 : 0;
    r.underline = font.underline() ? 1 : 0;
    r.strikeOut = font.strikeOut() ? 1 : 0;
    return r;
}

CTextBlockDlg::CTextBlockDlg(CTessarixDoc& doc, int kind, QWidget* parent)
    : QDialog(parent), m_doc(doc), m_model(doc.PrintBlock(kind), kind)
{
    setWindowTitle(m_model.Caption());
    auto* layout = new QVBoxLayout(this);
    m_enable = new QCheckBox(TxString(IDS_DLG_ENABLE), this);
    m_enable->setChecked(m_model.enabled);
    layout->addWidget(m_enable);

    auto* form = new QFormLayout;
    QWidget* textField;
    if (m_model.MultiLineText()) {
        m_lines = new QPlainTextEdit(m_model.text, this);
        m_lines->setTabChangesFocus(true);
        textField = m_lines;
    } else {
        m_line = new QLineEdit(m_model.text, this);
        textField = m_line;
    }
    auto* textLabel = new QLabel(TxString(IDS_DLG_TEXT_LABEL), this);
    textLabel->setBuddy(textField);
    form->addRow(textLabel, textField);
    m_followEnable << textLabel << textField;
    if (kind == PrintTitle) {
        auto* hint = new QLabel(TxString(IDS_DLG_TITLE_HINT), this);
        hint->setWordWrap(true);
        form->addRow(hint);
        m_followEnable << hint;
    }
    m_align = NewAlignmentList(this, m_model.align);
    auto* alignLabel = new QLabel(TxString(IDS_DLG_ALIGNMENT), this);
    alignLabel->setBuddy(m_align);
    form->addRow(alignLabel, m_align);
    m_followEnable << alignLabel << m_align;

    m_font = new QPushButton(TxString(IDS_DLG_FONT), this);
    m_colour = new QPushButton(TxString(IDS_DLG_COLOUR), this);
    ShowColour(m_colour, m_model.colour);
    auto* fontRow = new QHBoxLayout;
    fontRow->addWidget(m_font);
    fontRow->addWidget(m_colour);
    fontRow->addStretch();
    form->addRow(fontRow);
    m_followEnable << m_font << m_colour;
    layout->addLayout(form);

    auto* margins = new QGroupBox(TxString(IDS_DLG_MARGIN), this);
    auto* marginForm = new QFormLayout(margins);
    const QLocale locale;
    m_vertical = new CEditKeyPadReal(margins);
    m_vertical->setText(FloatFieldText(m_model.verticalMargin, locale));
    m_horizontal = new CEditKeyPadReal(margins);
    m_horizontal->setText(FloatFieldText(m_model.horizontalMargin, locale));
    marginForm->addRow(TxString(IDS_DLG_VERTICAL), m_vertical);
    marginForm->addRow(TxString(IDS_DLG_HORIZONTAL), m_horizontal);
    layout->addWidget(margins);
    m_followEnable << margins;

    if (m_model.IsFooter()) {
        auto* date = new QGroupBox(TxString(IDS_DLG_DATE_GROUP), this);
        auto* dateForm = new QFormLayout(date);
        m_dateMode = NewList(date, {IDS_DATE_NO, IDS_DATE_DATE, IDS_DATE_DATE_TIME}, m_model.dateMode);
        m_dateAlign = NewAlignmentList(date, m_model.dateAlign);
        dateForm->addRow(m_dateMode);
        dateForm->addRow(TxString(IDS_DLG_LINE_ALIGNMENT), m_dateAlign);
        auto* title = new QGroupBox(TxString(IDS_DLG_DOC_TITLE_GROUP), this);
        auto* titleForm = new QFormLayout(title);
        m_titleMode = NewList(title, {IDS_DOC_TITLE_NO, IDS_DOC_TITLE_TITLE, IDS_DOC_TITLE_PATH}, m_model.titleMode);
        m_titleAlign = NewAlignmentList(title, m_model.titleAlign);
        titleForm->addRow(m_titleMode);
        titleForm->addRow(TxString(IDS_DLG_LINE_ALIGNMENT), m_titleAlign);
        layout->addWidget(date);
        layout->addWidget(title);
        m_followEnable << m_dateMode << m_titleMode;
        for (QComboBox* mode : {m_dateMode, m_titleMode})
            connect(mode, &QComboBox::currentIndexChanged, this, [this] {
                m_model.dateMode = uint32_t(m_dateMode->currentIndex());
                m_model.titleMode = uint32_t(m_titleMode->currentIndex());
                UpdateEnabling();
            });
    }

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CTextBlockDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CTextBlockDlg::reject);
    layout->addWidget(buttons);

    connect(m_enable, &QCheckBox::toggled, this, [this](bool on) {
        m_model.enabled = on;
        UpdateEnabling();
    });
    // The text is what one comes to change.
    textField->setFocus();
    connect(m_font, &QPushButton::clicked, this, &CTextBlockDlg::ChooseFont);
    connect(m_colour, &QPushButton::clicked, this, &CTextBlockDlg::ChooseColour);
    UpdateEnabling();
}

QWidget* CTextBlockDlg::TextField() const
{
    return m_lines ? static_cast<QWidget*>(m_lines) : m_line;
}

void CTextBlockDlg::UpdateEnabling()
{
    for (QWidget* w : m_followEnable)
        w->setEnabled(m_model.ControlsEnabled());
    if (m_dateAlign)
        m_dateAlign->setEnabled(m_model.DateAlignEnabled());
    if (m_titleAlign)
        m_titleAlign->setEnabled(m_model.TitleAlignEnabled());
}

void CTextBlockDlg::ChooseFont()
{
    bool ok = false;
    const QFont chosen = QFontDialog::getFont(&ok, BlockFontForDialog(m_model.font), this, TxString(IDS_DLG_FONT),
                                              QFontDialog::ScalableFonts);
    if (ok)
        m_model.SetFont(FontRecordFromDialog(chosen), chosen.pointSizeF(), m_model.colour);
}

void CTextBlockDlg::ChooseColour()
{
    const QColor chosen = QColorDialog::getColor(TxToQColor(m_model.colour), this);
    if (!chosen.isValid())
        return;
    m_model.colour = TxFromQColor(chosen);
    ShowColour(m_colour, m_model.colour);
}

bool CTextBlockDlg::ReadFields()
{
    const QLocale locale;
    float vertical = 0.0f, horizontal = 0.0f;
    for (auto [field, value] : {std::pair{m_vertical, &vertical}, std::pair{m_horizontal, &horizontal}}) {
        if (!CTextBlockModel::ParseMargin(field->text(), locale, value)) {
            TellUser(this, TxString(IDS_DLG_MARGIN_INVALID));
            field->setFocus();
            field->selectAll();
            return false;
        }
    }
    m_model.verticalMargin = vertical;
    m_model.horizontalMargin = horizontal;
    m_model.enabled = m_enable->isChecked();
    m_model.text = m_lines ? m_lines->toPlainText() : m_line->text();
    m_model.align = uint32_t(m_align->currentIndex());
    if (m_model.IsFooter()) {
        m_model.dateMode = uint32_t(m_dateMode->currentIndex());
        m_model.dateAlign = uint32_t(m_dateAlign->currentIndex());
        m_model.titleMode = uint32_t(m_titleMode->currentIndex());
        m_model.titleAlign = uint32_t(m_titleAlign->currentIndex());
    }
    return true;
}

void CTextBlockDlg::accept()
{
    if (!ReadFields())
        return;
    m_doc.PrintBlock(m_model.Kind()) = m_model.Result();
    m_doc.SetModifiedFlag();
    QDialog::accept();
}

bool RunTextBlockDialog(QWidget* parent, CTessarixDoc& doc, int kind)
{
    CTextBlockDlg dialog(doc, kind, parent);
    return dialog.exec() == QDialog::Accepted;
}
